#include "notes/TraditionalAge.h"

int CountedAge(int birthYear, int year) {
    return year - birthYear + 1;
}

const char* LongLifeCelebration(int birthYear, int year, TAgeCount count) {
    // 還暦, the return of the birth year's 干支, is 数え61, the year of 満60 as well; the others
    // are named after their number, so counted they come a year before they do in full years.
    static constexpr struct {
        int Counted;
        int Full;
        const char* Name;
    } kCelebrations[] = {{61, 60, "還暦"}, {70, 70, "古希"}, {77, 77, "喜寿"}, {80, 80, "傘寿"},
                         {88, 88, "米寿"}, {90, 90, "卒寿"}, {99, 99, "白寿"}, {100, 100, "百寿"}};
    const int counted = CountedAge(birthYear, year);
    const int full = year - birthYear;
    for (const auto& celebration : kCelebrations) {
        if (count == TAgeCount::Counted ? counted == celebration.Counted
                                        : full == celebration.Full) {
            return celebration.Name;
        }
    }
    return nullptr;
}
