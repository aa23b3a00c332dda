#include "calendar/AlmanacCsv.h"

#include <cstdio>

#include "calendar/Almanac.h"
#include "calendar/HolidayList.h"
#include "calendar/QReki.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"

namespace {

// A field as CSV writes it: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& cp932) {
    const std::string text = Cp932ToUtf8(cp932);
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// The holiday list's names of the day, one per line, joined by "・".
std::string HolidayNames(const THolidayList& holidays, int32_t day) {
    const std::string lines = holidays.DayText(day);
    std::string names;
    size_t start = 0;
    while (start < lines.size()) {
        size_t end = lines.find("\r\n", start);
        if (end == std::string::npos)
            end = lines.size();
        if (end > start) {
            if (!names.empty())
                names += Sjis("・");
            names += lines.substr(start, end - start);
        }
        start = end + 2;
    }
    return names;
}

}  // namespace

std::string AlmanacCsv(int year, const THolidayList& holidays) {
    std::string csv = std::string(kAlmanacHeader) + '\n';
    TKyureki kyureki;
    const int32_t last = EncodeDate(year, 12, 31);
    for (int32_t day = EncodeDate(year, 1, 1); day <= last; ++day) {
        kyureki.Calculate(day);
        const TYmd date = DecodeDate(day);
        char iso[16];
        std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
        const int rokuyo = kyureki.RokuyoIndex();
        csv += iso;
        for (const std::string& field :
             {EraDateText(day), OldDateText(kyureki.Month(), kyureki.Day(), kyureki.Leap()),
              rokuyo < 0 ? std::string() : RokuyoNameAt(rokuyo), EtoName(DayEtoIndex(day)),
              HolidayNames(holidays, day), SolarTermText(day), ZassetsuText(day)})
            csv += ',' + CsvField(field);
        csv += '\n';
    }
    return csv;
}
