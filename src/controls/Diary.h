#pragma once

#include "bridge/Colors.h"
#include "controls/DiaryCell.h"
#include "controls/DiaryMonth.h"

#include <QFrame>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QPainter;
class THolidayList;

// The month calendar: a weekday header and six week rows around the month of CalendarDate,
// coloured by weekday, holiday and today, with per-day marks that the owner defines and a hook
// through which the owner paints into each day cell. Clicking a day or moving with the keys
// selects it; a day of the neighbouring month pages the grid there.
class TDiary : public QFrame {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TDiary* sender)>;
    // The mark bits of a day: bit 0 square, 1 circle, 2 triangle, 3 two triangles, each in its
    // own slot at the top right; any bit makes the day number bold.
    using TOnEventDefine = std::function<uint8_t(TDiary* sender, double date)>;
    // Owner painting inside a day cell, after the background and selection frame and before
    // the marks and day number. The painter carries the cell's font (italic outside the month),
    // pen (the day's font colour) and brush (the background); rect is the band of the cell below
    // the day number and marks (DiaryCellParts), where the owner's drawing covers neither.
    using TOnDrawCell = std::function<void(TDiary* sender, int32_t date, bool thisMonth,
                                           QPainter& canvas, const QRect& rect)>;

    explicit TDiary(QWidget* parent = nullptr);
    ~TDiary() override;

    double CalendarDate() const { return calendarDate_; }
    // Moves the date, kept within kFirstDiaryDay..kLastDiaryDay (see ClampToDiaryRange).
    void SetCalendarDate(double date);
    void MoveMonth(int yearDelta, int monthDelta);

    int Year() const;
    int Month() const;
    int Day() const;
    void SetYear(int value);
    void SetMonth(int value);
    void SetDay(int value);
    int DaysThisMonth() const;

    int32_t FirstOfMonth() const { return month_.FirstOfMonth(); }
    int32_t CellDate(int col, int row) const { return month_.CellDate(col, row); }
    QString CellText(int col, int row) const;
    bool IsInShownMonth(double date) const;
    TDiaryCell CurrentCell() const { return current_; }
    // The cell's rectangle in widget coordinates, grid lines excluded.
    QRect CellRect(int col, int row) const;
    // Where painting puts the parts of a day cell: the number, the marks and the owner's band.
    TDiaryCellParts CellParts(int col, int row) const;

    bool AutoChange() const { return autoChange_; }
    void SetAutoChange(bool on) { autoChange_ = on; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }
    int StartOfWeek() const { return startOfWeek_; }
    void SetStartOfWeek(int weekday);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int width);

    TColor TodayColor() const { return todayColor_; }
    TColor HolidayColor() const { return holidayColor_; }
    TColor EventColor() const { return eventColor_; }
    void SetTodayColor(TColor c) { SetColor(todayColor_, c); }
    void SetHolidayColor(TColor c) { SetColor(holidayColor_, c); }
    void SetEventColor(TColor c) { SetColor(eventColor_, c); }
    // Background per weekday, 1 = Sunday .. 7 = Saturday; 0 outside that range.
    TColor WeekColor(int index) const;
    void SetWeekColor(int index, TColor c);

    // Stores the name and loads the holiday list from it; a conversion error passes through.
    QString HolidayFileName() const { return holidayFileName_; }
    void SetHolidayFileName(const QString& fileName);
    THolidayList& Holidays() { return *holidays_; }
    // The names of CalendarDate's holidays and named days, one per line.
    QString HolidayText() const;

    // Repaints the current cell so that its marks and colours follow the day's stored data.
    void RefreshCurrentCell();

    TOnEventDefine OnEventDefine;
    TOnDrawCell OnDrawCell;
    TNotifyEvent OnDblClick;

Q_SIGNALS:
    // The shown month changed; raised before OnChangeDate of the same move.
    void OnChange();
    // CalendarDate changed.
    void OnChangeDate(double date);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void UpdateCalendar();
    void Change();
    // Row heights and column widths for the present client area and font.
    TDiarySizes Sizes() const;
    QRect CellRectIn(const TDiarySizes& sizes, int col, int row) const;
    void CacheHolidays();
    void SetColor(TColor& member, TColor c);
    void MoveCurrent(TDiaryCell cell);
    TDiaryCell CellAt(const QPoint& pos) const;
    int FontHeight() const;

    double calendarDate_ = 0;
    TDiaryMonth month_;
    TDiaryCell current_{0, 1};
    // Whether each day cell of the laid-out month is a holiday or substitute holiday, so that
    // painting asks the holiday rules only when the month or the rules change.
    std::array<bool, DiaryColumns*(DiaryRows - 1)> holidayCells_{};

    bool autoChange_ = false;
    bool readOnly_ = false;
    int startOfWeek_ = 0;
    int gridLineWidth_ = 1;
    TColor todayColor_ = 0x00FFFF00;
    TColor holidayColor_ = 0x00CCCCFF;
    TColor eventColor_ = 0x00FF0000;
    std::array<TColor, 7> weekColors_{0x00EEEEFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF,
                                      0x00FFFFFF, 0x00FFFFFF, 0x00FFDDDD};
    QString holidayFileName_;
    std::unique_ptr<THolidayList> holidays_;
};

// Short weekday names, 0 = Sunday .. 6 = Saturday ("日" .. "土").
QString ShortDayName(int weekday);
// A day as the page's header and the printout head it: "2024 年 5 月 15 日 (水)"; weekday
// 1 = Sunday.
QString DateDispText(int year, int month, int day, int weekday);
