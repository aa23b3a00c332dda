#include "calendar/HolidayList.h"

#include <algorithm>

#include "calendar/QReki.h"
#include "storage/Cp932.h"
#include "storage/SafeWrite.h"
#include "storage/StrUtils.h"
#include "storage/VelmoraError.h"

namespace {

constexpr int kRuleFields = 7;
constexpr int32_t kMonday = 2;

bool IsBlank(unsigned char c) {
    return c >= 1 && c <= ' ';
}

size_t SkipBlanks(std::string_view text, size_t pos) {
    while (pos < text.size() && IsBlank(static_cast<unsigned char>(text[pos]))) {
        ++pos;
    }
    return pos;
}

// A whole number as the file writes it: decimal, or hexadecimal after "$" or "0x", with an
// optional sign. Hexadecimal takes all 32 bits (colours such as $80000005).
bool ParseInteger(std::string_view text, int32_t& value) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text[0] == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) {
        return false;
    }
    int64_t magnitude = 0;
    for (const char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > (base == 16 ? 0xFFFFFFFFLL : 0x80000000LL)) {
            return false;
        }
    }
    if (base == 10 && !negative && magnitude > 0x7FFFFFFF) {
        return false;
    }
    const int64_t signedValue = negative ? -magnitude : magnitude;
    value = static_cast<int32_t>(static_cast<uint32_t>(signedValue));
    return true;
}

int32_t ToInteger(const std::string& field) {
    int32_t value = 0;
    if (!ParseInteger(field, value)) {
        throw VelmoraError(FormatMessage(Sjis("'%s' は整数ではありません"), field));
    }
    return value;
}

uint8_t DayCode(int32_t day) {
    // -n is the n-th week, -(64 + mask) a set of weeks; both keep the low 8 bits of 128 + n.
    const uint32_t bits = static_cast<uint32_t>(day);
    return static_cast<uint8_t>(day >= 0 ? bits : 128u - bits);
}

uint8_t WeekdayBit(int32_t weekday) {
    return weekday >= 1 && weekday <= 8 ? static_cast<uint8_t>(1u << (weekday - 1)) : 0;
}

HolidayEntry ReadRule(const std::vector<std::string>& fields) {
    const int32_t month = ToInteger(fields[0]);
    const uint8_t dayCode = DayCode(ToInteger(fields[1]));
    const int32_t weekday = ToInteger(fields[2]);
    HolidayEntry entry;
    entry.FirstYear = ToInteger(fields[3]);
    entry.LastYear = ToInteger(fields[4]);
    entry.Kind = static_cast<uint8_t>(ToInteger(fields[5]) & 7);
    entry.Name = fields[6];
    entry.DateCode = static_cast<uint16_t>(((month & 0xFF) << 8) | dayCode);
    // A weekday number for a week rule of one month; a raw bit set or term index otherwise.
    entry.Weekdays =
        month > 0 && (dayCode & kWeekRule) ? WeekdayBit(weekday) : static_cast<uint8_t>(weekday);
    return entry;
}

// The first day the law knew substitute holidays (12 April 1973).
int32_t FirstSubstituteDay() {
    static const int32_t day = EncodeDate(1973, 4, 12);
    return day;
}

// Without its leading blanks and control characters (codes up to 32).
std::string_view TrimFront(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') {
        text.remove_prefix(1);
    }
    return text;
}

}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> fields;
    size_t pos = SkipBlanks(text, 0);
    while (pos < text.size()) {
        if (text[pos] == '"') {
            fields.push_back(ReadQuotedField(text, pos));
        } else {
            const size_t start = pos;
            while (pos < text.size() && !IsBlank(static_cast<unsigned char>(text[pos])) &&
                   text[pos] != ',') {
                pos += CharLength(text, pos);
            }
            fields.emplace_back(text.substr(start, pos - start));
        }
        pos = SkipBlanks(text, pos);
        if (pos < text.size() && text[pos] == ',') {
            if (pos + 1 == text.size()) {
                fields.emplace_back();
            }
            pos = SkipBlanks(text, pos + 1);
        }
    }
    return fields;
}

void THolidayList::LoadFromFile(const std::string& fileName) {
    Clear();
    std::string contents;
    if (!ReadFileIfExists(fileName, contents)) {
        return;
    }
    // The rules read before a bad line stay, in the order the queries expect.
    try {
        std::string_view rest = contents;
        while (!rest.empty()) {
            const size_t end = rest.find_first_of("\r\n");
            ReadLine(rest.substr(0, end));
            if (end == std::string_view::npos) {
                break;
            }
            const size_t next = rest.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
            rest.remove_prefix(next);
        }
    } catch (...) {
        Sort();
        throw;
    }
    Sort();
}

void THolidayList::ReadLine(std::string_view line) {
    line = TrimFront(line);
    if (line.empty() || line.front() == ';') {
        return;
    }
    const std::vector<std::string> fields = SplitCommaText(std::string(line) + ",");
    if (fields.size() < kRuleFields) {
        return;
    }
    if (line.front() == '=') {
        const size_t last = std::min(fields.size(), FSettings.size() + 1);
        for (size_t i = 1; i < last; ++i) {
            if (!fields[i].empty()) {
                FSettings[i - 1] = ToInteger(fields[i]);
            }
        }
        return;
    }
    AddOrReplace(ReadRule(fields));
}

void THolidayList::AddOrReplace(const HolidayEntry& entry) {
    const auto same = std::find_if(FItems.begin(), FItems.end(), [&](const auto& item) {
        return item->DateCode == entry.DateCode && item->Name == entry.Name;
    });
    if (same != FItems.end()) {
        **same = entry;
    } else {
        FItems.push_back(std::make_unique<HolidayEntry>(entry));
    }
}

void THolidayList::Sort() {
    std::stable_sort(FItems.begin(), FItems.end(), [](const auto& a, const auto& b) {
        if (a->DateCode != b->DateCode) {
            return a->DateCode < b->DateCode;
        }
        if (a->Kind != b->Kind) {
            return a->Kind > b->Kind;
        }
        return a->Name < b->Name;
    });
}

void THolidayList::Clear() {
    FItems.clear();
}

bool THolidayList::EntryMatches(const HolidayEntry& entry, int termIndex, double aDate) {
    const TYmd date = DecodeDate(WholeDay(aDate));
    if (date.Year < entry.FirstYear || date.Year > entry.LastYear) {
        return false;
    }
    const int month = entry.DateCode >> 8;
    const int dayCode = entry.DateCode & 0xFF;
    if (!(dayCode & kWeekRule)) {
        return entry.DateCode == date.Month * 256 + date.Day || entry.DateCode == date.Day ||
               (entry.DateCode == date.Month * 256 && entry.Weekdays == termIndex);
    }
    if (month != 0 && month != date.Month) {
        return false;
    }
    const int week = (date.Day - 1) / 7;
    const bool weekCounts =
        dayCode & kWeekSetRule ? (dayCode >> week) & 1 : week == (dayCode & 127) - 1;
    const int weekday = DayOfWeek(WholeDay(aDate)) - 1;
    return weekCounts && ((entry.Weekdays >> weekday) & 1);
}

bool THolidayList::HasHolidayRule(double aDate, int termIndex) const {
    return std::any_of(FItems.begin(), FItems.end(), [&](const auto& item) {
        return item->Kind < 2 && EntryMatches(*item, termIndex, aDate);
    });
}

bool THolidayList::IsHoliday(double aDate) const {
    return HasHolidayRule(aDate, SolarTermOfDate(aDate));
}

bool THolidayList::IsSubstituteMonday(double aDate) const {
    const int32_t day = WholeDay(aDate);
    return DayOfWeek(day) == kMonday && day >= FirstSubstituteDay() && IsHoliday(day - 1);
}

bool THolidayList::HolidayOrSubstitute(double aDate) const {
    return IsHoliday(aDate) || IsSubstituteMonday(aDate);
}

std::string THolidayList::DayText(double aDate) const {
    const int termIndex = SolarTermOfDate(aDate);
    std::string text;
    bool holiday = false;
    for (const auto& item : FItems) {
        if (item->Kind != 3 && EntryMatches(*item, termIndex, aDate)) {
            text += "\r\n";
            text += item->Name;
            holiday = holiday || item->Kind < 2;
        }
    }
    if (!holiday && IsSubstituteMonday(aDate)) {
        text += "\r\n";
        text += SubstituteEntry().Name;
    }
    return std::string(TrimText(text));
}

int THolidayList::SolarTermOfDate(double aDate) {
    return SolarTermOfDay(WholeDay(aDate) + kDayNumberOffset);
}

const HolidayEntry& THolidayList::SubstituteEntry() {
    static const HolidayEntry entry{0, 2, 0, 0, 0, Sjis("振替休日")};
    return entry;
}
