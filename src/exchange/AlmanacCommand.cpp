#include "exchange/AlmanacCommand.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cstdio>

#include "bridge/TextCodec.h"
#include "calendar/AlmanacCsv.h"
#include "calendar/HolidayList.h"
#include "storage/VelmoraError.h"

namespace {

// The years the calendar reckons.
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2100;

}  // namespace

int PrintAlmanac(const QString& folder, const QString& yearText, QTextStream& err) {
    bool isNumber = false;
    const int year = yearText.toInt(&isNumber);
    if (!isNumber || year < kFirstYear || year > kLastYear) {
        err << u"--almanac の年 %1 が読めません。%2 から %3 までの年を指定してください。"_qs
                   .arg(yearText)
                   .arg(kFirstYear)
                   .arg(kLastYear)
            << Qt::endl;
        return 2;
    }
    THolidayList holidays;
    try {
        holidays.LoadFromFile(
            QFile::encodeName(QDir(folder).filePath(QStringLiteral("Velmora.hol"))).toStdString());
    } catch (const VelmoraError& e) {
        err << FromCp932(e.what()) << Qt::endl;
    }
    const std::string csv = AlmanacCsv(year, holidays);
    std::fwrite(csv.data(), 1, csv.size(), stdout);
    std::fflush(stdout);
    return 0;
}
