#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTextStream>
#include <QTranslator>
#include <string_view>

#include "bridge/TextCodec.h"
#include "exchange/AlmanacCommand.h"
#include "exchange/NoteCommands.h"
#include "exchange/PageCommands.h"
#include "storage/Report.h"

namespace {

// The core's messages go nowhere once the command has ended.
struct TSinkReset {
    ~TSinkReset() { SetMessageSink({}); }
};

using TExport = int (*)(const QString& folder, const QString& format, const QString& output,
                        QDate from, QDate to, bool withPrivateMemo, QTextStream& err);
using TImport = int (*)(const QString& folder, const QString& format, const QString& path,
                        QTextStream& err);

// The formats each direction knows, and who runs them.
struct TExportFormat {
    const char* Name;
    TExport Run;
};
struct TImportFormat {
    const char* Name;
    TImport Run;
};
const TExportFormat kExportFormats[] = {{"html", ExportPages},
                                        {"markdown", ExportPages},
                                        {"odt", ExportPages},
                                        {"text", ExportPages},
                                        {"ics", ExportNotes}};
const TImportFormat kImportFormats[] = {
    {"rednotebook", ImportPages}, {"markdown", ImportPages}, {"ics", ImportNotes}};

template <typename Format, size_t N>
const Format* FindFormat(const Format (&formats)[N], const QString& name) {
    for (const Format& format : formats)
        if (name == QLatin1String(format.Name))
            return &format;
    return nullptr;
}

template <typename Format, size_t N>
QString FormatNames(const Format (&formats)[N]) {
    QStringList names;
    for (const Format& format : formats)
        names << QLatin1String(format.Name);
    return names.join(QStringLiteral(", "));
}

// The date of an option, YYYY-MM-DD; a null date when the option is absent. False after saying
// what is wrong.
bool ReadDate(const QCommandLineParser& parser, const QString& option, QDate& date,
              QTextStream& err) {
    if (!parser.isSet(option))
        return true;
    const QString text = parser.value(option);
    date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid() && text.size() == 10)
        return true;
    err << QStringLiteral(
               "--%1 の日付 %2 が読めません。YYYY-MM-DD の形（例: 2026-03-09）で指定してください。")
               .arg(option, text)
        << Qt::endl;
    return false;
}

// The one set of options: those of the export and import, and --folder, which alone opens the
// window on another diary folder.
void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("日記の書き出しと取り込み、暦の表示を、ウィンドウを開かずに行います。\n"
                       "オプションなしか --folder だけで起動するとウィンドウを開きます。"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("folder"),
         QStringLiteral("日記のフォルダ（省略時は ~/.local/share/Velmora "
                        "か、日記のあるプログラムのフォルダ）。"
                        "これだけを指定すると、このフォルダでウィンドウを開きます。"),
         QStringLiteral("DIR")},
        {QStringLiteral("export"),
         QStringLiteral("書き出す形式: %1。").arg(FormatNames(kExportFormats)),
         QStringLiteral("FORMAT")},
        {QStringLiteral("output"), QStringLiteral("書き出し先。"), QStringLiteral("PATH")},
        {QStringLiteral("from"), QStringLiteral("書き出す最初の日。"),
         QStringLiteral("YYYY-MM-DD")},
        {QStringLiteral("to"), QStringLiteral("書き出す最後の日。"), QStringLiteral("YYYY-MM-DD")},
        {QStringLiteral("with-private-memo"), QStringLiteral("個人メモも書き出します。")},
        {QStringLiteral("import"),
         QStringLiteral("取り込む形式: %1。").arg(FormatNames(kImportFormats)),
         QStringLiteral("FORMAT")},
        {QStringLiteral("almanac"),
         QStringLiteral(
             "その年の暦（和暦、旧暦、六曜、干支、祝日、二十四節気、雑節）を CSV で表示します。"),
         QStringLiteral("YEAR")},
    });
    parser.addPositionalArgument(QStringLiteral("PATH"),
                                 QStringLiteral("取り込むファイル（--import のとき）。"));
}

int Fail(QTextStream& err, const QString& message) {
    err << message << Qt::endl;
    return 2;
}

}  // namespace

bool HasOptions(int argc, char* argv[]) {
    // Qt's own window options (-session from the session manager, -platform, -style) take one
    // dash and stay the window's, as does --folder alone.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--folder") {
            ++i;
            continue;
        }
        if (arg.starts_with("--folder="))
            continue;
        if (arg.starts_with("--") || arg == "-h" || arg == "-v" || arg == "-?")
            return true;
    }
    return false;
}

TPlaces DiaryPlaces(const QString& chosenFolder) {
    return ChooseDiaryPlaces(
        ReadPlaceFacts(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString(),
                       QFile::encodeName(chosenFolder).toStdString()));
}

QString ReadWindowOptions(QString& folder) {
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(QCoreApplication::arguments()))
        return parser.errorText();
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("余分な引数があります: %1")
            .arg(parser.positionalArguments().join(QLatin1Char(' ')));
    if (!parser.isSet(QStringLiteral("folder")))
        return {};
    folder = QFileInfo(parser.value(QStringLiteral("folder"))).absoluteFilePath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("日記のフォルダ %1 がありません。").arg(folder);
    return {};
}

int RunCommandLine(int argc, char* argv[]) {
    // Pages are laid out as documents, which takes Qt's font machinery; no window is shown, so
    // no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    // The parser's own messages in Japanese too, when Qt's translation is installed.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    QTextStream err(stderr);
    // What the core reports while reading the diary's files goes to the same place.
    SetMessageSink([&err](const std::string& text) { err << FromCp932(text) << Qt::endl; });
    const TSinkReset sinkReset;

    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(QCoreApplication::arguments()))
        return Fail(err, parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    const bool exporting = parser.isSet(QStringLiteral("export"));
    const bool importing = parser.isSet(QStringLiteral("import"));
    const bool almanac = parser.isSet(QStringLiteral("almanac"));
    if (almanac ? exporting || importing : exporting == importing)
        return Fail(err, QStringLiteral(
                             "--export、--import、--almanac のどれか一つを指定してください（--help "
                             "で使い方を表示します）。"));

    QString folder;
    if (parser.isSet(QStringLiteral("folder"))) {
        folder = QFileInfo(parser.value(QStringLiteral("folder"))).absoluteFilePath();
    } else {
        // The user's own diary, made as the window's first start makes it.
        const TPlaces places = DiaryPlaces({});
        PrepareDiaryFolder(places, true);
        folder = QFile::decodeName(places.DiaryFolder.c_str());
    }
    if (!QFileInfo(folder).isDir())
        return Fail(err, QStringLiteral("日記のフォルダ %1 がありません。").arg(folder));
    if (almanac) {
        if (!parser.positionalArguments().isEmpty())
            return Fail(err, QStringLiteral("余分な引数があります: %1")
                                 .arg(parser.positionalArguments().join(QLatin1Char(' '))));
        return PrintAlmanac(folder, parser.value(QStringLiteral("almanac")), err);
    }

    if (exporting) {
        const QString name = parser.value(QStringLiteral("export"));
        const TExportFormat* format = FindFormat(kExportFormats, name);
        if (!format)
            return Fail(err, QStringLiteral("形式 %1 では書き出せません。書き出せる形式: %2")
                                 .arg(name, FormatNames(kExportFormats)));
        if (!parser.isSet(QStringLiteral("output")))
            return Fail(err, QStringLiteral("書き出し先を --output で指定してください。"));
        if (!parser.positionalArguments().isEmpty())
            return Fail(err, QStringLiteral("余分な引数があります: %1")
                                 .arg(parser.positionalArguments().join(QLatin1Char(' '))));
        QDate from;
        QDate to;
        if (!ReadDate(parser, QStringLiteral("from"), from, err) ||
            !ReadDate(parser, QStringLiteral("to"), to, err))
            return 2;
        if (from.isValid() && to.isValid() && from > to)
            return Fail(err, QStringLiteral("--from の日付が --to の日付より後です。"));
        return format->Run(folder, name, parser.value(QStringLiteral("output")), from, to,
                           parser.isSet(QStringLiteral("with-private-memo")), err);
    }

    const QString name = parser.value(QStringLiteral("import"));
    const TImportFormat* format = FindFormat(kImportFormats, name);
    if (!format)
        return Fail(err, QStringLiteral("形式 %1 は取り込めません。取り込める形式: %2")
                             .arg(name, FormatNames(kImportFormats)));
    if (parser.positionalArguments().size() != 1)
        return Fail(err, QStringLiteral("取り込むファイルを一つ指定してください。"));
    return format->Run(folder, name, parser.positionalArguments().first(), err);
}
