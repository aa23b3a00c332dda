// Prints Velmora's old date and solar term of every day of a range of Gregorian years, for
// compare_ephem.py: one line per day, DAY YEAR MONTH LEAP DAY-OF-MONTH TERM, where DAY is the
// date-time day number (days since 1899-12-30) and LEAP is 0 or 1.

#include <cstdio>
#include <cstdlib>

#include "calendar/QReki.h"
#include "storage/DayNumber.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: KyurekiDump FIRST-YEAR LAST-YEAR\n");
        return 2;
    }
    TKyureki kyureki;
    const int32_t last = EncodeDate(std::atoi(argv[2]), 12, 31);
    for (int32_t day = EncodeDate(std::atoi(argv[1]), 1, 1); day <= last; ++day) {
        kyureki.Calculate(day);
        std::printf("%d %d %d %d %d %d\n", day, kyureki.Year(), kyureki.Month(),
                    kyureki.Leap() ? 1 : 0, kyureki.Day(), kyureki.SolarTerm());
    }
    return 0;
}
