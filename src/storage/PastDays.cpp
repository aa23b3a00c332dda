#include "storage/PastDays.h"

#include <algorithm>
#include <iterator>

#include "storage/DayNumber.h"
#include "storage/StrUtils.h"
#include "storage/YearDays.h"
#include "storage/YearFile.h"

std::vector<int32_t> SameDayInEarlierYears(int32_t date, std::vector<int> years) {
    const TYmd shown = DecodeDate(date);
    std::sort(years.begin(), years.end(), std::greater<>());
    years.erase(std::unique(years.begin(), years.end()), years.end());
    std::vector<int32_t> days;
    for (const int year : years) {
        if (year >= shown.Year || year < 1) {
            continue;
        }
        if (shown.Month == 2 && shown.Day == 29 && !IsLeapYear(year)) {
            continue;
        }
        if (ShowsLeapDayPages(date) && IsLeapYear(year)) {
            days.push_back(EncodeDate(year, 2, 29));
        }
        days.push_back(EncodeDate(year, shown.Month, shown.Day));
    }
    return days;
}

bool ShowsLeapDayPages(int32_t date) {
    const TYmd shown = DecodeDate(date);
    return shown.Month == 2 && shown.Day == 28 && !IsLeapYear(shown.Year);
}

std::string FirstBodyLine(const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line = TrimText(std::string_view(text).substr(start, end - start));
        if (!line.empty()) {
            return std::string(line);
        }
        start = end + 1;
    }
    return {};
}

std::vector<TDataInfo> ReadPastDays(const std::string& dir, int32_t date,
                                    const std::vector<int>& years,
                                    const std::function<bool(const std::string&)>& ownWrite,
                                    std::vector<int>* damaged) {
    const std::vector<int32_t> days = SameDayInEarlierYears(date, years);
    std::vector<TDataInfo> pages;
    // The days come newest first, a year's days together.
    for (size_t i = 0; i < days.size();) {
        const int year = DecodeDate(days[i]).Year;
        std::vector<int32_t> ofYear;
        for (; i < days.size() && DecodeDate(days[i]).Year == year; ++i) {
            ofYear.push_back(days[i]);
        }
        const std::string path = YearFilePath(dir, year);
        TYearDaysRead read = ReadYearFileDays(path, ofYear, ownWrite && ownWrite(path));
        if (!read.Error.empty() && damaged) {
            damaged->push_back(year);
        }
        std::reverse(read.Records.begin(), read.Records.end());
        std::move(read.Records.begin(), read.Records.end(), std::back_inserter(pages));
    }
    return pages;
}
