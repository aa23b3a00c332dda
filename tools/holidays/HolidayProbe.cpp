// Asks Velmora's own calendar code what the holiday file generator needs: the equinox days of
// its solar-term series, and the holidays and day texts a holiday file gives.
//
//   HolidayProbe equinoxes FIRST LAST        one line per year: YEAR MARCH-DAY SEPTEMBER-DAY
//   HolidayProbe days FILE FIRST LAST        one line per day that is a holiday or has a text:
//                                            YYYY-MM-DD TAB H|S|- TAB text (UTF-8, lines by |)
//
// H: a holiday by a rule of the file; S: a substitute Monday of the built-in rule; -: neither.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "calendar/HolidayList.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/VelmoraError.h"

namespace {

int DayOfTerm(int year, int month, int term) {
    for (int day = 1; day <= DaysInMonth(year, month); ++day) {
        if (THolidayList::SolarTermOfDate(EncodeDate(year, month, day)) == term) {
            return day;
        }
    }
    return 0;
}

int PrintEquinoxes(int first, int last) {
    for (int year = first; year <= last; ++year) {
        std::printf("%d %d %d\n", year, DayOfTerm(year, 3, 0), DayOfTerm(year, 9, 12));
    }
    return 0;
}

int PrintDays(const char* fileName, int first, int last) {
    THolidayList list;
    list.LoadFromFile(fileName);
    for (int32_t day = EncodeDate(first, 1, 1); day <= EncodeDate(last, 12, 31); ++day) {
        std::string text = Cp932ToUtf8(list.DayText(day));
        const char mark = list.IsHoliday(day) ? 'H' : list.HolidayOrSubstitute(day) ? 'S' : '-';
        if (mark == '-' && text.empty()) {
            continue;
        }
        for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) {
            text.replace(at, 2, "|");
        }
        const TYmd date = DecodeDate(day);
        std::printf("%04d-%02d-%02d\t%c\t%s\n", date.Year, date.Month, date.Day, mark,
                    text.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 4 && std::strcmp(argv[1], "equinoxes") == 0) {
            return PrintEquinoxes(std::atoi(argv[2]), std::atoi(argv[3]));
        }
        if (argc == 5 && std::strcmp(argv[1], "days") == 0) {
            return PrintDays(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
        }
    } catch (const VelmoraError& error) {
        std::fprintf(stderr, "%s\n", Cp932ToUtf8(error.what()).c_str());
        return 1;
    }
    std::fprintf(stderr, "usage: HolidayProbe equinoxes FIRST LAST | days FILE FIRST LAST\n");
    return 2;
}
