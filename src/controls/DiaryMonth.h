#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The month grid's date arithmetic, free of widgets: which date each cell shows, where a date
// lies, how a month step or a part change lands on a valid day, and how the client area is
// shared out between rows and columns.

constexpr int DiaryColumns = 7;
constexpr int DiaryRows = 7;  // the weekday header (row 0) and six week rows

// The days the grid can select: 1900-01-01 .. 2100-12-31, the years over which the old-calendar
// reckoning holds and whose year files have four-digit names.
constexpr int32_t kFirstDiaryDay = 2;
constexpr int32_t kLastDiaryDay = 73415;
// The date-time moved into that range: one before it gives its first day, one after it its
// last day, and one that is not a number the first day; one within keeps its time of day.
double ClampToDiaryRange(double date);

struct TDiaryCell {
    int Col;  // 0..6
    int Row;  // 1..6
};

class TDiaryMonth {
public:
    // Lays out the month holding calendarDay with startOfWeek (0 = Sunday .. 6) in column 0.
    void Layout(int32_t calendarDay, int startOfWeek);

    int32_t FirstOfMonth() const { return firstOfMonth_; }
    int MonthOffset() const { return monthOffset_; }

    // The day number shown in a week-row cell (Row 1..6); -1 for the header row.
    int32_t CellDate(int col, int row) const;
    // The cell showing a day of the laid-out month (day of month 1..31).
    TDiaryCell CellOfDay(int dayOfMonth) const;
    // True when the day lies in the laid-out month.
    bool IsInShownMonth(int32_t day) const;

private:
    int32_t firstOfMonth_ = 0;
    int monthOffset_ = 0;
};

// The day reached by moving the month of firstOfMonth by monthDelta and then the year by
// yearDelta, keeping dayOfMonth but lowering it to the target month's length.
int32_t MovedMonthDate(int32_t firstOfMonth, int dayOfMonth, int yearDelta, int monthDelta);

// Which part of a date a setter replaces.
enum class TDatePart { Year, Month, Day };

// The day that results from setting one part of day to value, or nothing when the value is
// refused: below 1, a month above 12, a day above the current month's length, or equal to the
// current part. A day past the new month's length is lowered to it.
std::optional<int32_t> DateWithPart(int32_t day, TDatePart part, int value);

// Row heights and column widths for a client area: the header is |font height| + 4 high; the
// rest is shared so that lower rows and right-hand columns take the remainder.
struct TDiarySizes {
    std::array<int, DiaryRows> RowHeights;
    std::array<int, DiaryColumns> ColWidths;
};
TDiarySizes DiaryCellSizes(int clientWidth, int clientHeight, int fontHeight, int gridLineWidth);
