#include "mainwindow/exchange/Exchange.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QProgressDialog>
#include <optional>

#include "bridge/TextCodec.h"
#include "exchange/NotesIcal.h"
#include "exchange/PageExport.h"
#include "exchange/PageImport.h"
#include "mainwindow/UserMessage.h"
#include "mainwindow/WriteSchedule.h"
#include "mainwindow/exchange/ExchangeDialogs.h"
#include "notes/NoteList.h"
#include "notes/NoteText.h"
#include "settings/IniParam.h"
#include "storage/Clock.h"
#include "storage/DailyBackup.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"
#include "storage/VelmoraError.h"

namespace {

const QString kNotesFormat = QStringLiteral("ics");
constexpr int kProgressAfterMs = 500;

int32_t DayOf(QDate date) {
    return EncodeDate(date.year(), date.month(), date.day());
}

std::vector<TNoteRec> Notes(const TNoteList& list) {
    std::vector<TNoteRec> notes;
    for (int i = 0; i < list.Count(); ++i)
        notes.push_back(*list.Items(i));
    return notes;
}

QStringList Titles(const std::vector<std::string>& titles) {
    QStringList shown;
    for (const std::string& title : titles)
        shown << u"　"_qs + FromCp932(title);
    return shown;
}

// A note as the reminder panel lists it: its days, then its title.
QString NoteLine(const TNoteRec& note, bool isReminder) {
    return u"　"_qs + FromCp932(DescribeNoteDate(note, isReminder)) + u"　"_qs +
           FromCp932(note.Title);
}

TExchangePreview PagePreview(int pages, const QString& format, QDate from, QDate to) {
    TExchangePreview preview;
    if (from > to)
        preview.Text = u"期間の始めが終わりより後です。"_qs;
    else if (pages == 0)
        preview.Text = u"この期間には日記がありません。"_qs;
    else if (format == QLatin1String("markdown"))
        preview.Text = u"%1 日分の日記を、1日1ファイルでフォルダに書き出します。"_qs.arg(pages);
    else
        preview.Text = u"%1 日分の日記を1つのファイルに書き出します。"_qs.arg(pages);
    preview.Ready = from <= to && pages > 0;
    return preview;
}

TExchangePreview NotesPreview(const TIcalExport& ics) {
    TExchangePreview preview;
    preview.Ready = ics.Reminders + ics.Anniversaries > 0;
    preview.Text = preview.Ready ? u"備忘録 %1 件、記念日 %2 件を1つのファイルに書き出します。"_qs
                                       .arg(ics.Reminders)
                                       .arg(ics.Anniversaries)
                                 : u"書き出す備忘録と記念日がありません。"_qs;
    if (!ics.AsDates.empty())
        preview.Details
            << u"次の繰返しは iCalendar の規則で表せないため、%1 年分の日付で書き出します:"_qs.arg(
                   kDateYears)
            << Titles(ics.AsDates);
    if (!ics.Left.empty())
        preview.Details << u"次の項目は当たる日がないため書き出しません:"_qs << Titles(ics.Left);
    return preview;
}

// Progress of long work in a dialog that shows once the work takes a while, with its cancel.
class TProgress {
public:
    TProgress(QWidget* parent, const QString& label) : dialog_(label, u"中止"_qs, 0, 0, parent) {
        dialog_.setWindowModality(Qt::WindowModal);
        // Qt's default of 4 s leaves a user looking at a window that does not answer.
        dialog_.setMinimumDuration(kProgressAfterMs);
    }

    TExchangeProgress Function() {
        return [this](int done, int total) {
            dialog_.setMaximum(total);
            dialog_.setValue(done);
            QApplication::processEvents();
            return !dialog_.wasCanceled();
        };
    }

private:
    QProgressDialog dialog_;
};

// What the last 確認 of the import dialog read, kept for the import.
struct TImportRun {
    std::optional<TImportPlan> Pages;
    std::vector<TNoteRec> Reminders;  // the notes the lists lack
    std::vector<TNoteRec> Anniversaries;
};

}  // namespace

TExchange::TExchange(QWidget* window, TScrapList& store, TWriteSchedule& writes,
                     TNoteList& todoNotes, TNoteList& memoryNotes, const TInitParam& params,
                     const THolidayList& holidays, std::string baseName, QObject* parent)
    : QObject(parent),
      window_(window),
      store_(store),
      writes_(writes),
      todoNotes_(todoNotes),
      memoryNotes_(memoryNotes),
      params_(params),
      holidays_(holidays),
      baseName_(std::move(baseName)),
      menu_(std::make_unique<QMenu>(u"ファイル(&F)"_qs, window)) {
    menu_->setObjectName(QStringLiteral("FileMenu"));
    ImportAction = menu_->addAction(u"インポート(&I)..."_qs);
    ImportAction->setObjectName(QStringLiteral("ImportAction"));
    ExportAction = menu_->addAction(u"エクスポート(&E)..."_qs);
    ExportAction->setObjectName(QStringLiteral("ExportAction"));
    connect(ImportAction, &QAction::triggered, this, &TExchange::ImportActionExecute);
    connect(ExportAction, &QAction::triggered, this, &TExchange::ExportActionExecute);
    RunExport = [](TExportDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
    RunImport = [](TImportDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
}

TExchange::~TExchange() = default;

bool TExchange::StorePage() {
    writes_.Save();
    if (!writes_.Unsaved())
        return true;
    ShowUserMessage(window_,
                    u"書込めなかった日記があるため、インポート・エクスポートはできません"_qs);
    return false;
}

void TExchange::ExportActionExecute() {
    // What goes out is read from the year files: the page being written goes there first.
    if (!StorePage())
        return;
    const int year = DecodeDate(store_.CurrentDate()).Year;
    const std::string dir = store_.DataDir();
    TExportDialog dialog(
        QDate(year, 1, 1), QDate(year, 12, 31),
        [this, &dir](const QString& format, QDate from, QDate to) {
            if (format == kNotesFormat)
                return NotesPreview(NotesToIcal(Notes(todoNotes_), Notes(memoryNotes_), Today()));
            QStringList problems;
            const int pages =
                from <= to
                    ? static_cast<int>(PagesBetween(dir, DayOf(from), DayOf(to), problems).size())
                    : 0;
            return PagePreview(pages, format, from, to);
        },
        window_);
    if (!RunExport(dialog))
        return;
    if (dialog.Format() == kNotesFormat) {
        ExportNotes(dialog.Target());
        return;
    }
    const std::optional<TPageFormat> format = PageFormatNamed(dialog.Format());
    if (!format) {
        ShowUserMessage(window_, u"形式 %1 では日記を書き出せません"_qs.arg(dialog.Format()));
        return;
    }
    QStringList problems;
    const std::vector<TDataInfo> pages =
        PagesBetween(dir, DayOf(dialog.From()), DayOf(dialog.To()), problems);
    TExportRequest request;
    request.Format = *format;
    request.Output = dialog.Target();
    request.PrivateMemo = dialog.PrivateMemo();
    request.NewsTitle = FromCp932(params_.Titles[1]);
    request.PrivateTitle = FromCp932(params_.Titles[2]);
    request.Holidays = &holidays_;
    TProgress progress(window_, u"書き出しています..."_qs);
    const TExportResult result = ExportPageRecords(pages, request, progress.Function());
    problems.prepend(result.Error);
    problems.removeAll(QString());
    if (result.Cancelled)
        problems << (request.Format == TPageFormat::Markdown
                         ? u"書き出しを中止しました。%1 日分は書き出し済みです。"_qs.arg(
                               result.Pages)
                         : u"書き出しを中止しました。"_qs);
    if (!problems.isEmpty())
        ShowUserMessage(window_, problems.join(QStringLiteral("\r\n")));
    else
        ShowUserMessage(window_, u"%1 日分の日記を書き出しました。"_qs.arg(result.Pages),
                        TMessageKind::Information);
}

// The notes as the window holds them, edits not yet written included.
void TExchange::ExportNotes(const QString& target) {
    const TIcalExport ics = NotesToIcal(Notes(todoNotes_), Notes(memoryNotes_), Today());
    try {
        SafeWriteFile(QFile::encodeName(target).toStdString(), ics.Text);
    } catch (const VelmoraError& e) {
        ShowUserMessage(window_, FromCp932(e.what()));
        return;
    }
    ShowUserMessage(window_,
                    u"備忘録 %1 件、記念日 %2 件を書き出しました。"_qs.arg(ics.Reminders)
                        .arg(ics.Anniversaries),
                    TMessageKind::Information);
}

void TExchange::ImportActionExecute() {
    // The window's page is stored and written first: the import reads the store's year as it
    // is, and nothing held only in the window is left to overwrite the imported days later.
    if (!StorePage())
        return;
    const std::string dir = store_.DataDir();
    TImportRun run;
    TImportDialog dialog(
        [this, &dir, &run](const QString& source, const QString& path) {
            run = {};
            TExchangePreview preview;
            if (source == kNotesFormat) {
                std::string text;
                try {
                    if (!ReadFileIfExists(QFile::encodeName(path).toStdString(), text)) {
                        preview.Text = u"ファイル %1 がありません。"_qs.arg(path);
                        return preview;
                    }
                } catch (const VelmoraError& e) {
                    preview.Text = FromCp932(e.what());
                    return preview;
                }
                const TIcalImport ics = IcalToNotes(text);
                if (!ics.Error.empty()) {
                    preview.Text = FromCp932(ics.Error);
                    return preview;
                }
                run.Reminders = NewNotes(Notes(todoNotes_), ics.Reminders);
                run.Anniversaries = NewNotes(Notes(memoryNotes_), ics.Anniversaries);
                const size_t added = run.Reminders.size() + run.Anniversaries.size();
                const size_t known = ics.Reminders.size() + ics.Anniversaries.size() - added;
                preview.Ready = added > 0;
                preview.Text =
                    u"備忘録 %1 件、記念日 %2 件を取り込みます（すでにあるもの %3 件、"
                    u"取り込まないもの %4 件）。"_qs.arg(run.Reminders.size())
                        .arg(run.Anniversaries.size())
                        .arg(known)
                        .arg(ics.Skipped.size());
                if (added > 0)
                    preview.Details << u"取り込む予定:"_qs;
                for (const TNoteRec& note : run.Reminders)
                    preview.Details << NoteLine(note, true);
                for (const TNoteRec& note : run.Anniversaries)
                    preview.Details << NoteLine(note, false);
                if (!ics.Skipped.empty())
                    preview.Details << u"取り込まない予定とその理由:"_qs << Titles(ics.Skipped);
                return preview;
            }
            TProgress progress(window_, u"読んでいます..."_qs);
            const TImportRead read =
                ReadImportSource(*ImportSourceNamed(source), path, progress.Function());
            if (read.Cancelled) {
                preview.Text = u"確認を中止しました。"_qs;
                return preview;
            }
            run.Pages = PlanImport(dir, read.Pages, &store_);
            const QStringList problems = read.Problems + run.Pages->Problems;
            const int days = run.Pages->New + run.Pages->Appended;
            preview.Details = problems;
            preview.Ready = problems.isEmpty() && days > 0;
            if (!problems.isEmpty())
                preview.Text =
                    u"読めないファイルが %1 個あります。直すまで何も取り込みません。"_qs.arg(
                        problems.size());
            else if (days == 0)
                preview.Text = run.Pages->Unchanged > 0 ? u"どの日記もすでに取り込まれています。"_qs
                                                        : u"取り込む日記が見つかりません。"_qs;
            else
                preview.Text =
                    u"新しい日記 %1 日、すでにある日記への追記 %2 日。"
                    u"すでにある日記は消さずに、区切り線の下に追記します。"_qs.arg(run.Pages->New)
                        .arg(run.Pages->Appended);
            return preview;
        },
        window_);
    if (!RunImport(dialog))
        return;
    if (!run.Pages) {
        if (AddNotes(run.Reminders, run.Anniversaries))
            ShowUserMessage(
                window_,
                u"備忘録 %1 件、記念日 %2 件を取り込みました。"_qs.arg(run.Reminders.size())
                    .arg(run.Anniversaries.size()),
                TMessageKind::Information);
        return;
    }
    const TImportPlan& plan = *run.Pages;
    const QString failure = WriteImport(dir, baseName_, plan, &store_);
    Q_EMIT Imported();
    if (!failure.isEmpty()) {
        ShowUserMessage(window_, failure + u"\r\n何も取り込みませんでした。"_qs);
        return;
    }
    ShowUserMessage(
        window_,
        u"新しい日記 %1 日、追記 %2 日を取り込みました。"_qs.arg(plan.New).arg(plan.Appended),
        TMessageKind::Information);
}

bool TExchange::AddNotes(const std::vector<TNoteRec>& reminders,
                         const std::vector<TNoteRec>& anniversaries) {
    // The note files as they were go into today's backup before the import changes them.
    const TBackupOutcome backup = BackUpDiary(store_.DataDir(), baseName_, Today());
    if (!backup.Problem.empty()) {
        ShowUserMessage(window_, u"控えが取れないため、取り込んでいません。"_qs);
        return false;
    }
    for (const auto& [list, notes] :
         {std::pair{&todoNotes_, &reminders}, std::pair{&memoryNotes_, &anniversaries}}) {
        if (notes->empty())
            continue;
        for (const TNoteRec& note : *notes)
            list->AddNote(note);
        list->SortByRule();
    }
    writes_.WriteAll();
    writes_.UpdateSaveState();
    Q_EMIT NotesImported();
    // A failed write was told by the writer; the notes stay in the lists, marked unwritten.
    return !writes_.Unsaved();
}
