#include "exchange/PageCommands.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTextStream>
#include <memory>

#include "bridge/TextCodec.h"
#include "calendar/HolidayList.h"
#include "exchange/ImportLock.h"
#include "exchange/PageExport.h"
#include "exchange/PageImport.h"
#include "settings/IniParam.h"
#include "storage/DayNumber.h"
#include "storage/VelmoraError.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kWrongArgument = 2;
// The range of an open end: the years a year file can be named by.
constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

const QString kBaseName = QStringLiteral("Velmora");

std::string DiaryDir(const QString& folder) {
    return QFile::encodeName(QDir(folder).absolutePath() + QLatin1Char('/')).toStdString();
}

int32_t DayOf(QDate date, int openYear, int openMonth, int openDay) {
    return date.isValid() ? EncodeDate(date.year(), date.month(), date.day())
                          : EncodeDate(openYear, openMonth, openDay);
}

const auto kNoProgress = [](int, int) { return true; };

}  // namespace

int ExportPages(const QString& folder, const QString& format, const QString& output, QDate from,
                QDate to, bool withPrivateMemo, QTextStream& err) {
    const std::optional<TPageFormat> chosen = PageFormatNamed(format);
    if (!chosen) {
        err << u"書き出す形式 %1 はありません (html, markdown, odt, text)"_qs.arg(format) << '\n';
        return kWrongArgument;
    }
    if (output.isEmpty()) {
        err << u"書き出す先を指定してください"_qs << '\n';
        return kWrongArgument;
    }
    const std::string dir = DiaryDir(folder);
    TInitParam params;
    params.Load(dir + kBaseName.toStdString() + ".ini");
    THolidayList holidays;
    try {
        holidays.LoadFromFile(dir + kBaseName.toStdString() + ".hol");
    } catch (const VelmoraError& e) {
        err << FromCp932(e.what()) << '\n';
    }
    QStringList problems;
    const std::vector<TDataInfo> pages =
        PagesBetween(dir, DayOf(from, kFirstYear, 1, 1), DayOf(to, kLastYear, 12, 31), problems);
    for (const QString& problem : problems)
        err << problem << '\n';
    if (pages.empty()) {
        err << u"書き出す日記がありません"_qs << '\n';
        return kFailed;
    }
    TExportRequest request;
    request.Format = *chosen;
    request.Output = output;
    request.PrivateMemo = withPrivateMemo;
    request.NewsTitle = FromCp932(params.Titles[1]);
    request.PrivateTitle = FromCp932(params.Titles[2]);
    request.Holidays = &holidays;
    const TExportResult result = ExportPageRecords(pages, request, kNoProgress);
    if (!result.Error.isEmpty()) {
        err << result.Error << '\n';
        return kFailed;
    }
    err << u"%1 日分の日記を %2 に書き出しました"_qs.arg(result.Pages).arg(output) << '\n';
    return problems.isEmpty() ? kDone : kFailed;
}

int ImportPages(const QString& folder, const QString& format, const QString& path,
                QTextStream& err) {
    const std::optional<TImportSource> source = ImportSourceNamed(format);
    if (!source) {
        err << u"取り込む形式 %1 はありません (rednotebook, markdown)"_qs.arg(format) << '\n';
        return kWrongArgument;
    }
    std::unique_ptr<QLockFile> lock;
    if (!HoldForImport(folder, lock, err))
        return kFailed;
    const TImportRead read = ReadImportSource(*source, path, kNoProgress);
    const std::string dir = DiaryDir(folder);
    const TImportPlan plan = PlanImport(dir, read.Pages, nullptr);
    QStringList problems = read.Problems + plan.Problems;
    for (const QString& problem : problems)
        err << problem << '\n';
    if (!problems.isEmpty()) {
        err << u"読めないファイルがあるため、何も取り込みませんでした"_qs << '\n';
        return kFailed;
    }
    if (read.Pages.empty()) {
        err << u"取り込む日記がありません"_qs << '\n';
        return kFailed;
    }
    if (const QString failure = WriteImport(dir, kBaseName.toStdString(), plan, nullptr);
        !failure.isEmpty()) {
        err << failure << '\n' << u"何も取り込みませんでした"_qs << '\n';
        return kFailed;
    }
    err << u"新しい日記 %1 日、追記 %2 日を取り込みました"_qs.arg(plan.New).arg(plan.Appended)
        << '\n';
    return kDone;
}
