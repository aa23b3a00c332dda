#include "controls/Diary.h"

#include "bridge/TextCodec.h"
#include "calendar/HolidayList.h"
#include "storage/Clock.h"
#include "storage/DayNumber.h"

#include <QFile>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>

QString ShortDayName(int weekday) {
    static const std::array<QString, 7> names{
        QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
        QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土")};
    return names[static_cast<size_t>(((weekday % 7) + 7) % 7)];
}

QString DateDispText(int year, int month, int day, int weekday) {
    return QStringLiteral("%1 年 %2 月 %3 日 (%4)")
        .arg(year)
        .arg(month)
        .arg(day)
        .arg(ShortDayName(weekday - 1));
}

TDiary::TDiary(QWidget* parent)
    : QFrame(parent),
      calendarDate_(ClampToDiaryRange(Today())),
      holidays_(std::make_unique<THolidayList>()) {
    // A two-pixel sunken border, as the grid's client area rules assume.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    UpdateCalendar();
}

TDiary::~TDiary() = default;

void TDiary::SetCalendarDate(double date) {
    // Every move of the date passes here, so none leaves the grid's range.
    date = ClampToDiaryRange(date);
    if (date == calendarDate_) {
        return;
    }
    const double old = calendarDate_;
    calendarDate_ = date;
    if (month_.IsInShownMonth(WholeDay(date))) {
        UpdateCalendar();
    } else {
        Change();
    }
    // The month handler may have moved the date on; report only a real change.
    if (calendarDate_ != old) {
        Q_EMIT OnChangeDate(calendarDate_);
    }
}

void TDiary::MoveMonth(int yearDelta, int monthDelta) {
    SetCalendarDate(MovedMonthDate(month_.FirstOfMonth(), Day(), yearDelta, monthDelta));
}

int TDiary::Year() const {
    return DecodeDate(WholeDay(calendarDate_)).Year;
}

int TDiary::Month() const {
    return DecodeDate(WholeDay(calendarDate_)).Month;
}

int TDiary::Day() const {
    return DecodeDate(WholeDay(calendarDate_)).Day;
}

void TDiary::SetYear(int value) {
    if (const auto day = DateWithPart(WholeDay(calendarDate_), TDatePart::Year, value)) {
        SetCalendarDate(*day);
    }
}

void TDiary::SetMonth(int value) {
    if (const auto day = DateWithPart(WholeDay(calendarDate_), TDatePart::Month, value)) {
        SetCalendarDate(*day);
    }
}

void TDiary::SetDay(int value) {
    if (const auto day = DateWithPart(WholeDay(calendarDate_), TDatePart::Day, value)) {
        SetCalendarDate(*day);
    }
}

int TDiary::DaysThisMonth() const {
    return DaysInMonth(Year(), Month());
}

QString TDiary::CellText(int col, int row) const {
    if (row < 1) {
        return ShortDayName(col + startOfWeek_);
    }
    return QString::number(DecodeDate(CellDate(col, row)).Day);
}

bool TDiary::IsInShownMonth(double date) const {
    return month_.IsInShownMonth(WholeDay(date));
}

QRect TDiary::CellRect(int col, int row) const {
    return CellRectIn(Sizes(), col, row);
}

QRect TDiary::CellRectIn(const TDiarySizes& sizes, int col, int row) const {
    const QRect client = contentsRect();
    int x = client.x();
    for (int c = 0; c < col; ++c) {
        x += sizes.ColWidths[static_cast<size_t>(c)] + gridLineWidth_;
    }
    int y = client.y();
    for (int r = 0; r < row; ++r) {
        y += sizes.RowHeights[static_cast<size_t>(r)] + gridLineWidth_;
    }
    return {x, y, sizes.ColWidths[static_cast<size_t>(col)],
            sizes.RowHeights[static_cast<size_t>(row)]};
}

void TDiary::SetStartOfWeek(int weekday) {
    if (weekday < 0 || weekday > 6 || weekday == startOfWeek_) {
        return;
    }
    startOfWeek_ = weekday;
    UpdateCalendar();
}

void TDiary::SetGridLineWidth(int width) {
    if (width < 0 || width == gridLineWidth_) {
        return;
    }
    gridLineWidth_ = width;
    update();
}

TColor TDiary::WeekColor(int index) const {
    if (index < 1 || index > 7) {
        return 0;
    }
    return weekColors_[static_cast<size_t>(index - 1)];
}

void TDiary::SetWeekColor(int index, TColor c) {
    if (index < 1 || index > 7) {
        return;
    }
    SetColor(weekColors_[static_cast<size_t>(index - 1)], c);
}

void TDiary::SetColor(TColor& member, TColor c) {
    if (member == c) {
        return;
    }
    member = c;
    update();
}

void TDiary::SetHolidayFileName(const QString& fileName) {
    holidayFileName_ = fileName;
    // The cache follows the rules even when loading stops half-way with an error.
    struct Recache {
        TDiary* diary;
        ~Recache() {
            diary->CacheHolidays();
            diary->update();
        }
    } recache{this};
    holidays_->LoadFromFile(QFile::encodeName(fileName).toStdString());
}

QString TDiary::HolidayText() const {
    return FromCp932(holidays_->DayText(WholeDay(calendarDate_)));
}

void TDiary::RefreshCurrentCell() {
    update(CellRect(current_.Col, current_.Row));
}

void TDiary::UpdateCalendar() {
    const int32_t oldFirst = month_.FirstOfMonth();
    const int oldOffset = month_.MonthOffset();
    month_.Layout(WholeDay(calendarDate_), startOfWeek_);
    if (month_.FirstOfMonth() != oldFirst || month_.MonthOffset() != oldOffset) {
        CacheHolidays();
    }
    current_ = month_.CellOfDay(Day());
    update();
}

void TDiary::Change() {
    UpdateCalendar();
    Q_EMIT OnChange();
}

void TDiary::CacheHolidays() {
    for (int row = 1; row < DiaryRows; ++row) {
        for (int col = 0; col < DiaryColumns; ++col) {
            holidayCells_[static_cast<size_t>((row - 1) * DiaryColumns + col)] =
                holidays_->HolidayOrSubstitute(month_.CellDate(col, row));
        }
    }
}

int TDiary::FontHeight() const {
    return QFontInfo(font()).pixelSize();
}

TDiarySizes TDiary::Sizes() const {
    const QSize client = contentsRect().size();
    return DiaryCellSizes(client.width(), client.height(), FontHeight(), gridLineWidth_);
}

void TDiary::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        update();
    }
}

TDiaryCell TDiary::CellAt(const QPoint& pos) const {
    // A cell owns the grid line after it.
    const TDiarySizes sizes = Sizes();
    const QRect client = contentsRect();
    int col = 0;
    for (int x = client.x(); col < DiaryColumns - 1; ++col) {
        x += sizes.ColWidths[static_cast<size_t>(col)] + gridLineWidth_;
        if (pos.x() < x) {
            break;
        }
    }
    int row = 0;
    for (int y = client.y(); row < DiaryRows - 1; ++row) {
        y += sizes.RowHeights[static_cast<size_t>(row)] + gridLineWidth_;
        if (pos.y() < y) {
            break;
        }
    }
    return {col, row};
}

void TDiary::MoveCurrent(TDiaryCell cell) {
    if (cell.Col != current_.Col || cell.Row != current_.Row) {
        RefreshCurrentCell();
        current_ = cell;
        RefreshCurrentCell();
    }
    if (autoChange_) {
        SetCalendarDate(month_.CellDate(current_.Col, current_.Row));
        // A day beyond the range selected the range's edge: the current cell follows it.
        if (month_.CellDate(current_.Col, current_.Row) != WholeDay(calendarDate_)) {
            current_ = month_.CellOfDay(Day());
            update();
        }
    }
}

void TDiary::mousePressEvent(QMouseEvent* event) {
    QFrame::mousePressEvent(event);
    if (event->button() != Qt::LeftButton ||
        !contentsRect().contains(event->position().toPoint())) {
        return;
    }
    const TDiaryCell cell = CellAt(event->position().toPoint());
    // The header row is fixed: it never becomes current.
    if (cell.Row >= 1) {
        MoveCurrent(cell);
    }
}

void TDiary::mouseDoubleClickEvent(QMouseEvent* event) {
    QFrame::mouseDoubleClickEvent(event);
    if (OnDblClick) {
        OnDblClick(this);
    }
}

void TDiary::keyPressEvent(QKeyEvent* event) {
    TDiaryCell cell = current_;
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
        case Qt::Key_Left:
            cell.Col = std::max(0, cell.Col - 1);
            break;
        case Qt::Key_Right:
            cell.Col = std::min(DiaryColumns - 1, cell.Col + 1);
            break;
        case Qt::Key_Up:
            cell.Row = std::max(1, cell.Row - 1);
            break;
        case Qt::Key_Down:
            cell.Row = std::min(DiaryRows - 1, cell.Row + 1);
            break;
        case Qt::Key_Home:
            cell.Col = 0;
            if (control) {
                cell.Row = 1;
            }
            break;
        case Qt::Key_End:
            cell.Col = DiaryColumns - 1;
            if (control) {
                cell.Row = DiaryRows - 1;
            }
            break;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            // Pages a month as the month buttons do, a year with Ctrl as the year buttons do;
            // a grid whose date does not follow the current cell keeps its date.
            const int step = event->key() == Qt::Key_PageUp ? -1 : 1;
            event->accept();
            if (autoChange_) {
                MoveMonth(control ? step : 0, control ? 0 : step);
            }
            return;
        }
        default:
            QFrame::keyPressEvent(event);
            return;
    }
    event->accept();
    // A key that does not move the current cell is not a click.
    if (cell.Col != current_.Col || cell.Row != current_.Row) {
        MoveCurrent(cell);
    }
}

void TDiary::focusInEvent(QFocusEvent* event) {
    QFrame::focusInEvent(event);
    RefreshCurrentCell();
}

void TDiary::focusOutEvent(QFocusEvent* event) {
    QFrame::focusOutEvent(event);
    RefreshCurrentCell();
}
