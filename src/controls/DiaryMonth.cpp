#include "controls/DiaryMonth.h"

#include "calendar/QReki.h"
#include "storage/DayNumber.h"

#include <algorithm>

// The grid shows up to two weeks of the neighbouring months around its range, and draws their
// old dates too.
static_assert(kKyurekiFirstDay <= kFirstDiaryDay - 2 * DiaryColumns &&
              kLastDiaryDay + 2 * DiaryColumns <= kKyurekiLastDay);

double ClampToDiaryRange(double date) {
    if (!(date >= kFirstDiaryDay)) {
        return kFirstDiaryDay;
    }
    if (date >= kLastDiaryDay + 1.0) {
        return kLastDiaryDay;
    }
    return date;
}

void TDiaryMonth::Layout(int32_t calendarDay, int startOfWeek) {
    const TYmd ymd = DecodeDate(calendarDay);
    firstOfMonth_ = EncodeDate(ymd.Year, ymd.Month, 1);
    const int a = (DayOfWeek(firstOfMonth_) - startOfWeek + 7) % 7;
    // a = 0 would put the first into the header row; it goes to the end of week row 1 instead,
    // so six weeks always show the whole month.
    monthOffset_ = a == 0 ? -5 : 2 - a;
}

int32_t TDiaryMonth::CellDate(int col, int row) const {
    if (row < 1) {
        return -1;
    }
    return firstOfMonth_ - 1 + monthOffset_ + col + DiaryColumns * (row - 1);
}

TDiaryCell TDiaryMonth::CellOfDay(int dayOfMonth) const {
    const int index = dayOfMonth - monthOffset_;
    return {index % DiaryColumns, index / DiaryColumns + 1};
}

bool TDiaryMonth::IsInShownMonth(int32_t day) const {
    const TYmd ymd = DecodeDate(day);
    return EncodeDate(ymd.Year, ymd.Month, 1) == firstOfMonth_;
}

int32_t MovedMonthDate(int32_t firstOfMonth, int dayOfMonth, int yearDelta, int monthDelta) {
    const TYmd ymd = DecodeDate(firstOfMonth);
    // Months counted from year 0 so that a step past December or before January carries.
    const int months = ymd.Year * 12 + ymd.Month - 1 + monthDelta;
    const int year = months / 12 + yearDelta;
    const int month = months % 12 + 1;
    return EncodeDate(year, month, std::min(dayOfMonth, DaysInMonth(year, month)));
}

std::optional<int32_t> DateWithPart(int32_t day, TDatePart part, int value) {
    TYmd ymd = DecodeDate(day);
    int* target = nullptr;
    switch (part) {
        case TDatePart::Year:
            target = &ymd.Year;
            break;
        case TDatePart::Month:
            if (value > 12) {
                return std::nullopt;
            }
            target = &ymd.Month;
            break;
        case TDatePart::Day:
            if (value > DaysInMonth(ymd.Year, ymd.Month)) {
                return std::nullopt;
            }
            target = &ymd.Day;
            break;
    }
    if (value < 1 || value == *target) {
        return std::nullopt;
    }
    *target = value;
    ymd.Day = std::min(ymd.Day, DaysInMonth(ymd.Year, ymd.Month));
    return EncodeDate(ymd.Year, ymd.Month, ymd.Day);
}

namespace {

// Shares total between count parts; each part takes what is left divided by the parts left,
// so the later parts take the remainder.
template <size_t N>
void Share(int total, std::array<int, N>& parts, size_t first) {
    for (size_t i = first; i < N; ++i) {
        parts[i] = std::max(0, total / static_cast<int>(N - i));
        total -= parts[i];
    }
}

}  // namespace

TDiarySizes DiaryCellSizes(int clientWidth, int clientHeight, int fontHeight, int gridLineWidth) {
    TDiarySizes sizes{};
    sizes.RowHeights[0] = std::abs(fontHeight) + 4;
    Share(clientHeight - sizes.RowHeights[0] - DiaryRows * gridLineWidth, sizes.RowHeights, 1);
    Share(clientWidth - DiaryColumns * gridLineWidth, sizes.ColWidths, 0);
    return sizes;
}
