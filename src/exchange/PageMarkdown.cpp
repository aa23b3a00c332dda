#include "exchange/PageMarkdown.h"

#include <yaml-cpp/yaml.h>

#include <QRegularExpression>
#include <QStringList>

#include "exchange/PageBody.h"
#include "widgets/WeatherIcons.h"

namespace {

const QString kFence = QStringLiteral("---");

// The front matter's keys, as daily-notes tools name them.
constexpr const char* kTitleKey = "title";
constexpr const char* kWeatherKey = "weather";
constexpr const char* kNewsKey = "memo";
constexpr const char* kPrivateKey = "private";
constexpr const char* kExtraKey = "extra";

QString ScalarText(const YAML::Node& node) {
    return node && node.IsScalar() ? QString::fromStdString(node.as<std::string>()) : QString();
}

// The weather index a note names: the page's name of it ("晴れ") or its number.
int WeatherOf(const QString& value) {
    for (int i = 0; i < WeatherCount(); ++i)
        if (WeatherName(i) == value)
            return i;
    bool number = false;
    const int index = value.toInt(&number);
    return number && index >= 0 && index < WeatherCount() ? index : -2;
}

// Inline txt2tags markup of one line as Markdown.
QString InlineMarkdown(QString line) {
    static const QRegularExpression picture(
        QString::fromLatin1(
            R"re(\[(?:[^\[\]"]*\s)?""(\S.*?\S|\S)""(\.(?:png|jpe?g|gif|bmp))(?:\?\d+)?\])re"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression namedLink(
        QString::fromLatin1(R"re(\[([^\[\]]*?)\s*""(\S.*?)""\])re"));
    static const QRegularExpression plainLink(
        QString::fromLatin1(R"re(\[([^\[\]]+?)\s+((?:https?|ftp|file|mailto):\S+)\])re"));
    static const QRegularExpression italic(QString::fromLatin1(R"re((?<!:)//(\S.*?\S|\S)//)re"));
    static const QRegularExpression struck(QString::fromLatin1(R"re(--(\S.*?\S|\S)--)re"));
    static const QRegularExpression underlined(QString::fromLatin1(R"re(__(\S.*?\S|\S)__)re"));
    static const QRegularExpression lineBreak(QString::fromLatin1(R"re(\\\\\s*$)re"));
    // In angle brackets, a path with blanks stays one link.
    line.replace(picture, QStringLiteral("![picture](<\\1\\2>)"));
    line.replace(namedLink, QStringLiteral("[\\1](\\2)"));
    line.replace(plainLink, QStringLiteral("[\\1](\\2)"));
    line.replace(QStringLiteral("[](http"), QStringLiteral("[http"));
    line.replace(italic, QStringLiteral("*\\1*"));
    line.replace(struck, QStringLiteral("~~\\1~~"));
    line.replace(underlined, QStringLiteral("\\1"));
    line.replace(lineBreak, QString());
    return line;
}

}  // namespace

QString FrontMatter(const TDataInfo& rec, bool withPrivate) {
    YAML::Emitter out;
    out << YAML::BeginMap;
    const auto add = [&out](const char* key, const QString& value) {
        if (value.isEmpty())
            return;
        out << YAML::Key << key << YAML::Value;
        // A block reads best; a line that starts with a blank would set the block's indent and
        // lose its blanks, so such a text is quoted.
        static const QRegularExpression blankStart(QString::fromLatin1(R"re((?m)^[ \t])re"));
        if (value.contains(blankStart))
            out << YAML::DoubleQuoted;
        else if (value.contains(QLatin1Char('\n')))
            out << YAML::Literal;
        out << value.toStdString();
    };
    add(kTitleKey, RecordText(rec.Title));
    if (rec.Weather >= 0 && rec.Weather < WeatherCount())
        add(kWeatherKey, WeatherName(rec.Weather));
    add(kNewsKey, RecordText(rec.News));
    if (withPrivate)
        add(kPrivateKey, RecordText(rec.Private));
    add(kExtraKey, RecordText(rec.Extra));
    out << YAML::EndMap;
    if (out.size() == 0 || QString::fromUtf8(out.c_str()) == QStringLiteral("{}"))
        return {};
    return kFence + QLatin1Char('\n') + QString::fromUtf8(out.c_str()) + QLatin1Char('\n') +
           kFence + QLatin1Char('\n');
}

TDailyNote ReadDailyNote(const QString& text) {
    TDailyNote note;
    QString rest = text;
    rest.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (rest.startsWith(QChar(0xFEFF)))
        rest.remove(0, 1);
    if (!rest.startsWith(kFence + QLatin1Char('\n'))) {
        note.Body = rest;
        return note;
    }
    const qsizetype end = rest.indexOf(QLatin1Char('\n') + kFence, kFence.size());
    if (end < 0) {
        note.Body = rest;
        return note;
    }
    const QString yaml = rest.mid(kFence.size() + 1, end - kFence.size());
    qsizetype bodyStart = rest.indexOf(QLatin1Char('\n'), end + 1);
    note.Body = bodyStart < 0 ? QString() : rest.mid(bodyStart + 1);
    try {
        const YAML::Node root = YAML::Load(yaml.toStdString());
        if (root.IsNull())
            return note;
        if (!root.IsMap()) {
            note.Error = u"先頭の --- の間が項目の並びではありません"_qs;
            return note;
        }
        note.Title = ScalarText(root[kTitleKey]);
        note.News = ScalarText(root[kNewsKey]);
        note.Private = ScalarText(root[kPrivateKey]);
        note.Extra = ScalarText(root[kExtraKey]);
        if (const QString weather = ScalarText(root[kWeatherKey]); !weather.isEmpty()) {
            note.Weather = WeatherOf(weather);
            if (note.Weather < -1)
                note.Error = u"天気 \"%1\" は日記の天気にありません"_qs.arg(weather);
        }
    } catch (const YAML::Exception& e) {
        note.Error = u"先頭の --- の間が読めません (%1)"_qs.arg(QString::fromStdString(e.msg));
    }
    return note;
}

QString RedNotebookToMarkdown(const QString& text) {
    static const QRegularExpression heading(
        QString::fromLatin1(R"re(^\s*(=+)\s*(.*?)\s*\1\s*$)re"));
    static const QRegularExpression bullet(QString::fromLatin1(R"re(^(\s*)- (.*)$)re"));
    static const QRegularExpression numbered(QString::fromLatin1(R"re(^(\s*)\+ (.*)$)re"));
    QStringList out;
    // A line of text after text or a list item would join it: a blank line keeps it apart.
    bool afterLine = false;
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QString& line : lines.split(QLatin1Char('\n'))) {
        QRegularExpressionMatch m;
        bool isLine = true;
        if ((m = heading.match(line)).hasMatch()) {
            out << QString(std::min<qsizetype>(m.capturedLength(1), 6), QLatin1Char('#')) +
                       QLatin1Char(' ') + InlineMarkdown(m.captured(2));
        } else if ((m = bullet.match(line)).hasMatch()) {
            out << m.captured(1) + QStringLiteral("- ") + InlineMarkdown(m.captured(2));
        } else if ((m = numbered.match(line)).hasMatch()) {
            out << m.captured(1) + QStringLiteral("1. ") + InlineMarkdown(m.captured(2));
        } else {
            isLine = !line.trimmed().isEmpty();
            // Each line of the journal is a line of its page, not a run-on of the paragraph.
            if (isLine && afterLine)
                out << QString();
            out << InlineMarkdown(line);
        }
        afterLine = isLine && !line.trimmed().startsWith(QLatin1Char('#'));
    }
    return out.join(QLatin1Char('\n'));
}
