#include "mainwindow/printing/PrintDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QUrl>
#include <cstdint>

#include "bridge/TextCodec.h"
#include "richtext/BodyAgreement.h"
#include "richtext/RtfPictures.h"
#include "widgets/WeatherIcons.h"

namespace {

constexpr int kHeadingPoints = 14;
constexpr int kTitlePoints = 12;
constexpr int kCaptionPoints = 10;
constexpr int kWeatherPixels = 24;
// Space between days that flow on, in pixels at 96 dpi.
constexpr qreal kDayGap = 18;
constexpr int kFooterPoints = 9;
// Steps of the whole progress that one stage takes.
constexpr int kStageSteps = 1000;

QString FromRecordText(const std::string& text) {
    QString s = FromCp932(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

QTextCharFormat TextFormat(int points, bool bold) {
    QTextCharFormat format;
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return format;
}

QUrl WeatherUrl(int index) {
    return QUrl(QStringLiteral("weather:%1").arg(index));
}

class TBuilder {
public:
    TBuilder(const TPrintLabels& labels, const TPrintOptions& options, QTextDocument& document)
        : labels_(labels), options_(options), document_(document), cursor_(&document) {}

    void AddDay(const TDataInfo& rec) {
        QTextBlockFormat start;
        if (!first_) {
            if (options_.NewSheetPerDay)
                start.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            else
                start.setTopMargin(kDayGap);
            cursor_.insertBlock(start);
        } else {
            cursor_.setBlockFormat(start);
        }
        first_ = false;
        cursor_.insertText(labels_.Heading(rec.Date), TextFormat(kHeadingPoints, true));
        AddWeather(rec.Weather);
        if (!rec.Title.empty())
            Line(FromCp932(rec.Title), TextFormat(kTitlePoints, true));
        AddBody(rec.RichText.Empty() ? rec.Text.Text() : rec.RichText.Text(), rec.Text.Text());
        Section(labels_.NewsTitle, rec.News);
        if (options_.PrivateMemo)
            Section(labels_.PrivateTitle, rec.Private);
    }

private:
    void Line(const QString& text, const QTextCharFormat& format) {
        cursor_.insertBlock(QTextBlockFormat(), format);
        cursor_.insertText(text, format);
    }

    void AddWeather(int index) {
        if (index < 0 || index >= WeatherCount())
            return;
        const QUrl url = WeatherUrl(index);
        if (document_.resource(QTextDocument::ImageResource, url).isNull())
            document_.addResource(QTextDocument::ImageResource, url,
                                  WeatherIcon(index).pixmap(2 * kWeatherPixels).toImage());
        cursor_.insertBlock(QTextBlockFormat(), TextFormat(kCaptionPoints, false));
        QTextImageFormat image;
        image.setName(url.toString());
        image.setWidth(kWeatherPixels);
        image.setHeight(kWeatherPixels);
        image.setVerticalAlignment(QTextCharFormat::AlignMiddle);
        cursor_.insertImage(image);
        cursor_.insertText(QStringLiteral(" ") + WeatherName(index),
                           TextFormat(kCaptionPoints, false));
    }

    // The body as the page shows it (ReadPageBody).
    void AddBody(const std::string& body, const std::string& text) {
        if (body.empty())
            return;
        QTextDocument read;
        read.setDefaultFont(document_.defaultFont());
        ReadPageBody(body, text, read);
        CopyPictures(read, document_);
        // An inserted fragment's first paragraph takes the format of the one it lands in.
        cursor_.insertBlock(read.begin().blockFormat(), read.begin().charFormat());
        cursor_.insertFragment(QTextDocumentFragment(&read));
    }

    void Section(const QString& title, const std::string& text) {
        if (text.empty())
            return;
        QTextBlockFormat gap;
        gap.setTopMargin(kDayGap / 2);
        cursor_.insertBlock(gap, TextFormat(kCaptionPoints, true));
        cursor_.insertText(title, TextFormat(kCaptionPoints, true));
        Line(FromRecordText(text), TextFormat(kTitlePoints, false));
    }

    const TPrintLabels& labels_;
    const TPrintOptions& options_;
    QTextDocument& document_;
    QTextCursor cursor_;
    bool first_ = true;
};

}  // namespace

TPrintProgress ProgressStage(TPrintProgress whole, int stage, int stages) {
    return [whole = std::move(whole), stage, stages](int done, int total) {
        const int part =
            total > 0 ? static_cast<int>(int64_t{done} * kStageSteps / total) : kStageSteps;
        return whole(stage * kStageSteps + part, stages * kStageSteps);
    };
}

bool BuildPrintDocument(const std::vector<TDataInfo>& records, const TPrintLabels& labels,
                        const TPrintOptions& options, QTextDocument& document,
                        const TPrintProgress& progress) {
    document.clear();
    TBuilder builder(labels, options, document);
    const int total = static_cast<int>(records.size());
    for (int i = 0; i < total; ++i) {
        if (!progress(i, total))
            return false;
        builder.AddDay(records[i]);
    }
    return progress(total, total);
}

bool PaintPages(QTextDocument& document, QPagedPaintDevice& device,
                const TPrintProgress& progress) {
    QPainter painter(&device);
    if (!painter.isActive())
        return false;
    const QRectF paper = device.pageLayout().paintRectPixels(device.logicalDpiX());
    QFont footerFont = document.defaultFont();
    footerFont.setPointSize(kFooterPoints);
    const QFontMetricsF footerMetrics(footerFont, &device);
    const qreal footerHeight = 2 * footerMetrics.height();

    document.documentLayout()->setPaintDevice(&device);
    // A block's layout keeps its shaped text, so that painting a sheet does not shape again what
    // the page count has just laid out: shaping is most of the time printing takes.
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        block.layout()->setCacheEnabled(true);
    document.setPageSize(QSizeF(paper.width(), paper.height() - footerHeight));
    const qreal pageHeight = document.pageSize().height();
    const int pages = document.pageCount();

    painter.setFont(footerFont);
    for (int page = 0; page < pages; ++page) {
        if (!progress(page, pages))
            return false;
        if (page > 0)
            device.newPage();
        painter.save();
        const QRectF view(0, page * pageHeight, paper.width(), pageHeight);
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        document.drawContents(&painter, view);
        painter.restore();
        const QRectF footer(0, paper.height() - footerMetrics.height(), paper.width(),
                            footerMetrics.height());
        painter.drawText(footer, Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("%1 / %2").arg(page + 1).arg(pages));
    }
    return progress(pages, pages);
}
