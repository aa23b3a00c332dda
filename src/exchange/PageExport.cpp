#include "exchange/PageExport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <map>

#include "bridge/TextCodec.h"
#include "calendar/HolidayList.h"
#include "controls/Diary.h"
#include "exchange/PageBody.h"
#include "exchange/PageMarkdown.h"
#include "mainwindow/printing/PrintDocument.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"
#include "storage/YearFile.h"
#include "widgets/WeatherIcons.h"

namespace {

QString DayName(int32_t date) {
    const TYmd ymd = DecodeDate(date);
    return QStringLiteral("%1-%2-%3")
        .arg(ymd.Year, 4, 10, QLatin1Char('0'))
        .arg(ymd.Month, 2, 10, QLatin1Char('0'))
        .arg(ymd.Day, 2, 10, QLatin1Char('0'));
}

void WriteText(const QString& path, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    SafeWriteFile(QFile::encodeName(path).toStdString(),
                  std::string_view(bytes.constData(), bytes.size()));
}

QString Escaped(const QString& text) {
    return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

// What lies between <body> and </body> of a document's HTML. Qt gives a list item its
// character and its paragraph style as two style attributes, of which a browser keeps only the
// first: they are joined into one.
QString BodyHtml(const QTextDocument& document) {
    static const QRegularExpression twoStyles(
        QStringLiteral("(<li\\b[^>]*) style=\"([^\"]*)\" style=\"([^\"]*)\""));
    const QString html = document.toHtml();
    const qsizetype open = html.indexOf(QLatin1String("<body"));
    const qsizetype start = html.indexOf(QLatin1Char('>'), open) + 1;
    const qsizetype end = html.lastIndexOf(QLatin1String("</body>"));
    if (open < 0 || end < start)
        return {};
    return html.mid(start, end - start).replace(twoStyles, QStringLiteral("\\1 style=\"\\2 \\3\""));
}

// Every exporter runs the same loop over the days; each writes what its format needs per day.
class TExporter {
public:
    explicit TExporter(const TExportRequest& request) : request_(request) {}
    virtual ~TExporter() = default;
    virtual void Day(const TDataInfo& rec) = 0;
    virtual void Finish() {}

protected:
    QString Caption(int weather) const {
        return weather >= 0 && weather < WeatherCount() ? WeatherName(weather) : QString();
    }
    const TExportRequest& request_;
};

class THtmlExporter : public TExporter {
public:
    using TExporter::TExporter;

    void Day(const TDataInfo& rec) override {
        const TYmd ymd = DecodeDate(rec.Date);
        const QString month = QStringLiteral("%1年%2月").arg(ymd.Year).arg(ymd.Month);
        const QString id = QStringLiteral("d") + DayName(rec.Date);
        if (month != lastMonth_) {
            if (!lastMonth_.isEmpty())
                contents_ += QStringLiteral("</ul></li>\n");
            contents_ += QStringLiteral("<li><a href=\"#m%1\">%2</a><ul>\n")
                             .arg(DayName(rec.Date).left(7), month);
            days_ +=
                QStringLiteral("<h2 id=\"m%1\">%2</h2>\n").arg(DayName(rec.Date).left(7), month);
            lastMonth_ = month;
        }
        const QString heading = DayHeading(rec.Date, request_.Holidays);
        const QString title = RecordText(rec.Title);
        contents_ += QStringLiteral("<li><a href=\"#%1\">%2</a>%3</li>\n")
                         .arg(id, heading.toHtmlEscaped(),
                              title.isEmpty() ? QString() : QStringLiteral(" ") + Escaped(title));
        days_ += QStringLiteral("<section class=\"day\" id=\"%1\">\n<h3>%2</h3>\n")
                     .arg(id, heading.toHtmlEscaped());
        if (const QString weather = Caption(rec.Weather); !weather.isEmpty())
            days_ += QStringLiteral("<p class=\"weather\">%1</p>\n").arg(Escaped(weather));
        if (!title.isEmpty())
            days_ += QStringLiteral("<h4>%1</h4>\n").arg(Escaped(title));
        QTextDocument body;
        ReadBody(rec, body);
        const QFileInfo output(request_.Output);
        SavePictures(body, output.absolutePath(),
                     output.absolutePath() + QLatin1Char('/') + output.completeBaseName() +
                         QStringLiteral("_files"),
                     DayName(rec.Date));
        days_ +=
            QStringLiteral("<div class=\"body\">") + BodyHtml(body) + QStringLiteral("</div>\n");
        Memo(request_.NewsTitle, rec.News);
        if (request_.PrivateMemo)
            Memo(request_.PrivateTitle, rec.Private);
        days_ += QStringLiteral("</section>\n");
    }

    void Finish() override {
        if (!lastMonth_.isEmpty())
            contents_ += QStringLiteral("</ul></li>\n");
        const QString html =
            QStringLiteral(
                "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
                "<title>%1</title>\n<style>\nbody{font-family:sans-serif;max-width:50em;"
                "margin:auto;padding:1em}\nsection.day{border-top:1px solid #ccc;margin-top:1.5em}"
                "\n.weather{color:#555}\n.memo{white-space:pre-wrap}\nimg{max-width:100%}\n"
                "</style>\n</head>\n<body>\n<h1>%1</h1>\n<nav><h2>目次</h2>\n<ul>\n%2</ul></nav>\n"
                "%3</body>\n</html>\n")
                .arg(u"日記"_qs, contents_, days_);
        WriteText(request_.Output, html);
    }

private:
    void Memo(const QString& caption, const std::string& text) {
        if (text.empty())
            return;
        days_ += QStringLiteral("<h5>%1</h5>\n<p class=\"memo\">%2</p>\n")
                     .arg(caption.toHtmlEscaped(), RecordText(text).toHtmlEscaped());
    }

    QString contents_;
    QString days_;
    QString lastMonth_;
};

class TMarkdownExporter : public TExporter {
public:
    using TExporter::TExporter;

    void Day(const TDataInfo& rec) override {
        QTextDocument body;
        ReadBody(rec, body);
        const QString folder = request_.Output;
        SavePictures(body, folder, folder + QStringLiteral("/images"), DayName(rec.Date));
        QString text = FrontMatter(rec, request_.PrivateMemo);
        if (!rec.Text.Empty() || HoldsPicture(body))
            text += WithTableRules(body.toMarkdown(QTextDocument::MarkdownDialectGitHub));
        QDir().mkpath(folder);
        WriteText(QDir(folder).filePath(DayName(rec.Date) + QStringLiteral(".md")), text);
    }

private:
    // Qt writes a table's rule as "|-|--|", which Markdown readers, Qt's own among them, do not
    // take for a table: each cell's rule gets three dashes.
    static QString WithTableRules(QString markdown) {
        static const QRegularExpression rule(QString::fromLatin1(R"re((?m)^\|(?:-+\|)+$)re"));
        static const QRegularExpression dashes(QString::fromLatin1("-+"));
        QRegularExpressionMatchIterator it = rule.globalMatch(markdown);
        QList<QRegularExpressionMatch> matches;
        while (it.hasNext())
            matches << it.next();
        for (auto m = matches.rbegin(); m != matches.rend(); ++m)
            markdown.replace(m->capturedStart(), m->capturedLength(),
                             m->captured().replace(dashes, QStringLiteral("---")));
        return markdown;
    }

    static bool HoldsPicture(const QTextDocument& document) {
        return document.toPlainText().contains(QChar::ObjectReplacementCharacter);
    }
};

// The OpenDocument text is laid out as the printout is.
class TOdtExporter : public TExporter {
public:
    explicit TOdtExporter(const TExportRequest& request) : TExporter(request) {}

    void Day(const TDataInfo& rec) override { records_.push_back(rec); }

    void Finish() override {
        const TPrintLabels labels{
            [this](int32_t date) { return DayHeading(date, request_.Holidays); },
            request_.NewsTitle, request_.PrivateTitle};
        TPrintOptions options;
        options.PrivateMemo = request_.PrivateMemo;
        options.NewSheetPerDay = false;
        QTextDocument document;
        BuildPrintDocument(records_, labels, options, document, [](int, int) { return true; });
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QTextDocumentWriter writer(&buffer, "odf");
        if (!writer.write(&document))
            throw VelmoraError(ToCp932(u"OpenDocument に変換できません"_qs));
        SafeWriteFile(QFile::encodeName(request_.Output).toStdString(),
                      std::string_view(bytes.constData(), bytes.size()));
    }

private:
    std::vector<TDataInfo> records_;
};

class TTextExporter : public TExporter {
public:
    using TExporter::TExporter;

    void Day(const TDataInfo& rec) override {
        if (!text_.isEmpty())
            text_ += QLatin1Char('\n');
        text_ += DayHeading(rec.Date, request_.Holidays) + QLatin1Char('\n');
        if (const QString weather = Caption(rec.Weather); !weather.isEmpty())
            text_ += weather + QLatin1Char('\n');
        if (!rec.Title.empty())
            text_ += RecordText(rec.Title) + QLatin1Char('\n');
        if (!rec.Text.Empty())
            text_ += QLatin1Char('\n') + RecordText(rec.Text.Text()) + QLatin1Char('\n');
        Memo(request_.NewsTitle, rec.News);
        if (request_.PrivateMemo)
            Memo(request_.PrivateTitle, rec.Private);
    }

    void Finish() override { WriteText(request_.Output, text_); }

private:
    void Memo(const QString& caption, const std::string& text) {
        if (!text.empty())
            text_ += QStringLiteral("\n[%1]\n%2\n").arg(caption, RecordText(text));
    }

    QString text_;
};

std::unique_ptr<TExporter> ExporterFor(const TExportRequest& request) {
    switch (request.Format) {
        case TPageFormat::Html:
            return std::make_unique<THtmlExporter>(request);
        case TPageFormat::Markdown:
            return std::make_unique<TMarkdownExporter>(request);
        case TPageFormat::Odt:
            return std::make_unique<TOdtExporter>(request);
        case TPageFormat::Text:
            break;
    }
    return std::make_unique<TTextExporter>(request);
}

}  // namespace

std::optional<TPageFormat> PageFormatNamed(const QString& name) {
    static const std::map<QString, TPageFormat> formats{
        {QStringLiteral("html"), TPageFormat::Html},
        {QStringLiteral("markdown"), TPageFormat::Markdown},
        {QStringLiteral("odt"), TPageFormat::Odt},
        {QStringLiteral("text"), TPageFormat::Text}};
    const auto it = formats.find(name);
    if (it == formats.end())
        return std::nullopt;
    return it->second;
}

std::vector<TDataInfo> PagesBetween(const std::string& dir, int32_t from, int32_t to,
                                    QStringList& problems) {
    std::vector<TDataInfo> pages;
    for (int year = DecodeDate(from).Year; year <= DecodeDate(to).Year; ++year) {
        const std::string path = YearFilePath(dir, year);
        const TYearFileRead read = ReadYearFile(path);
        if (!read.Error.empty()) {
            problems << FromCp932(read.Error);
            continue;
        }
        if (!read.Text.ReadWhole())
            problems << u"ファイル %1 は一部しか読めません"_qs.arg(QFile::decodeName(path.c_str()));
        for (const TDataInfo& rec : read.Text.Records)
            if (rec.Date >= from && rec.Date <= to && HoldsPage(rec))
                pages.push_back(rec);
    }
    return pages;
}

QString DayHeading(int32_t date, const THolidayList* holidays) {
    const TYmd ymd = DecodeDate(date);
    QString heading = DateDispText(ymd.Year, ymd.Month, ymd.Day, DayOfWeek(date));
    if (holidays != nullptr) {
        QString names = FromCp932(holidays->DayText(date));
        names.replace(QStringLiteral("\r\n"), QStringLiteral("・"));
        if (!names.isEmpty())
            heading += QStringLiteral("　") + names;
    }
    return heading;
}

TExportResult ExportPageRecords(const std::vector<TDataInfo>& records,
                                const TExportRequest& request, const TExchangeProgress& progress) {
    TExportResult result;
    const std::unique_ptr<TExporter> exporter = ExporterFor(request);
    const int total = static_cast<int>(records.size());
    try {
        for (const TDataInfo& rec : records) {
            if (!progress(result.Pages, total)) {
                result.Cancelled = true;
                return result;
            }
            exporter->Day(rec);
            ++result.Pages;
        }
        exporter->Finish();
        progress(total, total);
    } catch (const VelmoraError& e) {
        result.Error = FromCp932(e.what());
    }
    return result;
}
