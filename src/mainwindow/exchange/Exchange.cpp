#include "mainwindow/exchange/Exchange.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProgressDialog>

#include "bridge/TextCodec.h"
#include "exchange/PageExport.h"
#include "exchange/PageImport.h"
#include "mainwindow/UserMessage.h"
#include "mainwindow/WriteSchedule.h"
#include "mainwindow/exchange/ExchangeDialogs.h"
#include "settings/IniParam.h"
#include "storage/DayNumber.h"
#include "storage/ScrapList.h"

namespace {

int32_t DayOf(QDate date) {
    return EncodeDate(date.year(), date.month(), date.day());
}

// Progress of long work in a dialog that shows once the work takes a while, with its cancel.
class TProgress {
public:
    TProgress(QWidget* parent, const QString& label) : dialog_(label, u"中止"_qs, 0, 0, parent) {
        dialog_.setWindowModality(Qt::WindowModal);
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

}  // namespace

TExchange::TExchange(QWidget* window, TScrapList& store, TWriteSchedule& writes,
                     const TInitParam& params, const THolidayList& holidays, std::string baseName,
                     QObject* parent)
    : QObject(parent),
      window_(window),
      store_(store),
      writes_(writes),
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
        [&dir](QDate from, QDate to) {
            QStringList problems;
            return static_cast<int>(PagesBetween(dir, DayOf(from), DayOf(to), problems).size());
        },
        window_);
    if (!RunExport(dialog))
        return;
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

void TExchange::ImportActionExecute() {
    // The window's page is stored and written first: the import reads the store's year as it
    // is, and nothing held only in the window is left to overwrite the imported days later.
    if (!StorePage())
        return;
    const std::string dir = store_.DataDir();
    TImportDialog dialog(
        [this, &dir](TImportSource source, const QString& folder, QStringList& problems,
                     bool& cancelled) {
            TProgress progress(window_, u"読んでいます..."_qs);
            const TImportRead read = ReadImportSource(source, folder, progress.Function());
            problems = read.Problems;
            cancelled = read.Cancelled;
            return cancelled ? TImportPlan() : PlanImport(dir, read.Pages, &store_);
        },
        window_);
    if (!RunImport(dialog))
        return;
    const TImportPlan& plan = dialog.Plan();
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
