#include "mainwindow/printing/PrintCommands.h"

#include <QAction>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMainWindow>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextDocument>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "calendar/Almanac.h"
#include "calendar/QReki.h"
#include "controls/Diary.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/UserMessage.h"
#include "mainwindow/printing/PrintOptionsDialog.h"
#include "settings/IniParam.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"
#include "storage/VelmoraError.h"

namespace {

constexpr qreal kBodyPoints = 10.5;
constexpr qreal kMarginMillimetres = 15;
constexpr int kPdfResolution = 300;
constexpr int kShowProgressAfterMs = 500;
constexpr int kSavedNoticeMs = 30000;

QString DateText(int32_t date) {
    const TYmd ymd = DecodeDate(date);
    return QStringLiteral("%1年%2月%3日").arg(ymd.Year).arg(ymd.Month).arg(ymd.Day);
}

void SetUpPage(QPagedPaintDevice& device) {
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageMargins(
        QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
        QPageLayout::Millimeter);
}

// Shows how far printing has come once it takes a while, with a button that cancels it.
class TProgressShown {
public:
    explicit TProgressShown(QWidget* window)
        : dialog_(u"印刷しています..."_qs, u"キャンセル"_qs, 0, 1, window) {
        dialog_.setWindowTitle(u"印刷"_qs);
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(kShowProgressAfterMs);
        dialog_.setAutoReset(false);
    }
    TPrintProgress Callback() {
        return [this](int done, int total) {
            dialog_.setMaximum(std::max(total, 1));
            dialog_.setValue(done);
            return !dialog_.wasCanceled();
        };
    }

private:
    QProgressDialog dialog_;
};

const char* SpanWhat(TPrintSpan span) {
    switch (span) {
        case TPrintSpan::Month:
            return "今月の日記を印刷します。";
        case TPrintSpan::Year:
            return "今年の日記を印刷します。";
        case TPrintSpan::Day:
            break;
    }
    return "今日の日記を印刷します。";
}

}  // namespace

TPrintCommands::TPrintCommands(QWidget* window, const TMainActions& actions,
                               const TScrapList& store, const TInitParam& params, QObject* parent)
    : QObject(parent),
      window_(window),
      store_(store),
      params_(params),
      kyureki_(std::make_unique<TKyureki>()) {
    AskHow = [this](TPrintSpan span) -> std::optional<TRequest> {
        TPrintOptionsDialog dialog(QString::fromUtf8(SpanWhat(span)), lastOptions_, window_);
        const int choice = dialog.exec();
        if (choice == QDialog::Rejected)
            return std::nullopt;
        lastOptions_ = dialog.Options();
        return TRequest{choice, lastOptions_};
    };
    AskPdfPath = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(window_, u"PDFに保存"_qs, suggested, u"PDF (*.pdf)"_qs);
    };
    connect(actions.PrintToday, &QAction::triggered, this, [this] { Execute(TPrintSpan::Day); });
    connect(actions.PrintMonth, &QAction::triggered, this, [this] { Execute(TPrintSpan::Month); });
    connect(actions.PrintYear, &QAction::triggered, this, [this] { Execute(TPrintSpan::Year); });
}

TPrintCommands::~TPrintCommands() = default;

void TPrintCommands::Execute(TPrintSpan span) {
    Q_EMIT AboutToPrint();
    if (span != TPrintSpan::Day && Records(span).empty()) {
        ShowUserMessage(window_, u"印刷する日記がありません。"_qs);
        return;
    }
    const std::optional<TRequest> request = AskHow(span);
    if (!request)
        return;
    switch (request->Choice) {
        case TPrintOptionsDialog::Preview:
            Preview(span, request->Options)->exec();
            break;
        case TPrintOptionsDialog::SavePdf:
            SavePdf(span, request->Options);
            break;
        default:
            PrintThroughDialog(span, request->Options);
            break;
    }
}

std::vector<TDataInfo> TPrintCommands::Records(TPrintSpan span) const {
    const int32_t shown = store_.CurrentDate();
    std::vector<TDataInfo> records;
    for (const int32_t date : DaysWithPages(store_, PrintRangeOf(span, shown)))
        records.push_back(store_.FindByDate(date));
    if (span == TPrintSpan::Day && records.empty()) {
        // Without weather: an empty record's weather 0 would print as 晴れ.
        TDataInfo empty = EmptyDataInfo;
        empty.Date = shown;
        records.push_back(empty);
    }
    return records;
}

QString TPrintCommands::Title(TPrintSpan span) const {
    const TDayRange range = PrintRangeOf(span, store_.CurrentDate());
    if (range.First == range.Last)
        return DateText(range.First);
    return DateText(range.First) + u"～"_qs + DateText(range.Last);
}

QString TPrintCommands::Heading(int32_t date) const {
    const TYmd ymd = DecodeDate(date);
    QString heading = DateDispText(ymd.Year, ymd.Month, ymd.Day, DayOfWeek(date));
    if (const std::string era = EraDateText(date); params_.ShowEraDate && !era.empty())
        heading += u"（"_qs + FromCp932(era) + u"）"_qs;
    if (params_.ShowRokuyo) {
        kyureki_->Calculate(date);
        heading += QStringLiteral("　旧暦 %1%2月%3日【%4】")
                       .arg(kyureki_->Leap() ? u"閏"_qs : QString())
                       .arg(kyureki_->Month())
                       .arg(kyureki_->Day())
                       .arg(FromCp932(kyureki_->RokuyoName()));
    }
    return heading;
}

bool TPrintCommands::Build(TPrintSpan span, const TPrintOptions& options, QTextDocument& document,
                           const TPrintProgress& progress) const {
    QFont font = FontForFace(kPGothicFace);
    font.setPointSizeF(kBodyPoints);
    document.setDefaultFont(font);
    document.setMetaInformation(QTextDocument::DocumentTitle, Title(span));
    const TPrintLabels labels{[this](int32_t date) { return Heading(date); },
                              FromCp932(params_.Titles[1]), FromCp932(params_.Titles[2])};
    return BuildPrintDocument(Records(span), labels, options, document, progress);
}

std::string TPrintCommands::PdfBytes(TPrintSpan span, const TPrintOptions& options,
                                     const TPrintProgress& progress) const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(Title(span));
        writer.setCreator(QCoreApplication::applicationName());
        writer.setResolution(kPdfResolution);
        SetUpPage(writer);
        QTextDocument document;
        if (!Build(span, options, document, ProgressStage(progress, 0, 2)) ||
            !PaintPages(document, writer, ProgressStage(progress, 1, 2)))
            return {};
    }
    return buffer.data().toStdString();
}

std::unique_ptr<QPrintPreviewDialog> TPrintCommands::Preview(TPrintSpan span,
                                                             const TPrintOptions& options) {
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(Title(span));
    SetUpPage(*printer);
    auto preview = std::make_unique<QPrintPreviewDialog>(printer.get(), window_);
    preview->setObjectName(QStringLiteral("PrintPreview"));
    preview->setWindowTitle(u"印刷プレビュー - "_qs + Title(span));
    // The printer lives as long as the preview that paints on it.
    auto document = std::make_shared<QTextDocument>();
    bool built = false;
    connect(
        preview.get(), &QPrintPreviewDialog::paintRequested, preview.get(),
        [this, span, options, printer, document, built](QPrinter* target) mutable {
            TProgressShown shown(window_);
            const int stages = built ? 1 : 2;
            if (!built)
                built = Build(span, options, *document, ProgressStage(shown.Callback(), 0, stages));
            if (built)
                PaintPages(*document, *target, ProgressStage(shown.Callback(), stages - 1, stages));
        });
    return preview;
}

void TPrintCommands::PrintThroughDialog(TPrintSpan span, const TPrintOptions& options) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(Title(span));
    SetUpPage(printer);
    QPrintDialog dialog(&printer, window_);
    dialog.setWindowTitle(u"印刷"_qs);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The dialog's own "print to file" is written by the printer itself.
    TProgressShown shown(window_);
    QTextDocument document;
    if (!Build(span, options, document, ProgressStage(shown.Callback(), 0, 2)) ||
        !PaintPages(document, printer, ProgressStage(shown.Callback(), 1, 2)))
        printer.abort();
}

QString TPrintCommands::SuggestedPdfName(TPrintSpan span) const {
    const TYmd ymd = DecodeDate(store_.CurrentDate());
    QString name = QStringLiteral("diary-%1").arg(ymd.Year);
    if (span != TPrintSpan::Year)
        name += QStringLiteral("-%1").arg(ymd.Month, 2, 10, QLatin1Char('0'));
    if (span == TPrintSpan::Day)
        name += QStringLiteral("-%1").arg(ymd.Day, 2, 10, QLatin1Char('0'));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(name + u".pdf"_qs);
}

void TPrintCommands::SavePdf(TPrintSpan span, const TPrintOptions& options) {
    const QString path = AskPdfPath(SuggestedPdfName(span));
    if (path.isEmpty())
        return;
    std::string bytes;
    {
        TProgressShown shown(window_);
        bytes = PdfBytes(span, options, shown.Callback());
    }
    if (bytes.empty())
        return;
    try {
        SafeWriteFile(QFile::encodeName(path).toStdString(), bytes);
    } catch (const VelmoraError& e) {
        ShowUserMessage(window_, FromCp932(e.what()));
        return;
    }
    if (auto* main = qobject_cast<QMainWindow*>(window_))
        main->statusBar()->showMessage(u"PDFを保存しました: "_qs + QDir::toNativeSeparators(path),
                                       kSavedNoticeMs);
}
