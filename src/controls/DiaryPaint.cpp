#include "controls/Diary.h"

#include "controls/DiaryCell.h"

#include "storage/Clock.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>

namespace {

constexpr TColor clRed = 0x000000FF;
constexpr TColor clBlue = 0x00FF0000;
constexpr TColor OtherMonthBackground = 0x00DDDDDD;
constexpr TColor GridLineColor = 0x00C0C0C0;
constexpr int HeaderPointSize = 10;
// The selection frame lies under the cell's contents, so that they stay whole.
constexpr int FrameWidth = 2;
constexpr int MarkShapes = 4;  // bits 0..3 draw; bits 4..7 only make the number bold

QColor WeekdayFontColor(int weekday) {
    switch (weekday) {
        case 0:
            return ToQColor(clRed);
        case 6:
            return ToQColor(clBlue);
        default:
            return ToQColor(clBlack);
    }
}

void DrawMark(QPainter& p, int bit, const QRect& slot) {
    const int left = slot.left();
    const int top = slot.top();
    const int s = slot.width();
    switch (bit) {
        case 0:
            p.fillRect(QRect(left, top, s, s), p.brush());
            break;
        case 1:
            p.drawEllipse(QRect(left, top, s - 1, s - 1));
            break;
        case 2:
            p.drawPolygon(QPolygon(
                {QPoint(left, top + s), QPoint(left + s / 2, top), QPoint(left + s, top + s)}));
            break;
        default:
            // Two triangles meeting at the centre.
            p.drawPolygon(QPolygon({QPoint(left, top), QPoint(left + s, top + s),
                                    QPoint(left + s, top), QPoint(left, top + s)}),
                          Qt::OddEvenFill);
            break;
    }
}

// The ink of the day numbers: two bold digits wide, as high as the digits, and the distance
// from the top of the ink to the baseline.
struct TNumberInk {
    QSize Size;
    int Ascent = 0;
};

TNumberInk NumberInk(const QFont& bold) {
    const QFontMetrics metrics(bold);
    const QRect digits = metrics.tightBoundingRect(QStringLiteral("0123456789"));
    return {QSize(metrics.horizontalAdvance(QStringLiteral("00")), digits.height()), -digits.top()};
}

QFont BoldFont(QFont font) {
    font.setBold(true);
    font.setItalic(false);
    return font;
}

}  // namespace

TDiaryCellParts TDiary::CellParts(int col, int row) const {
    const TNumberInk ink = NumberInk(BoldFont(font()));
    return DiaryCellParts(CellRect(col, row), ink.Size.width(), ink.Size.height());
}

void TDiary::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    drawFrame(&p);
    p.fillRect(contentsRect() & event->rect(), ToQColor(GridLineColor));

    // Everything that does not change from cell to cell is prepared once per paint.
    const int32_t today = Today();
    QFont headerFont = font();
    headerFont.setPointSize(HeaderPointSize);
    headerFont.setBold(false);
    QFont plain = font();
    plain.setBold(false);
    plain.setItalic(false);
    std::array<QFont, 4> dayFonts{plain, plain, plain, plain};  // bold bit 1, italic bit 0
    dayFonts[1].setItalic(true);
    dayFonts[2].setBold(true);
    dayFonts[3].setBold(true);
    dayFonts[3].setItalic(true);
    std::array<QColor, 7> weekBackground;
    for (size_t i = 0; i < weekBackground.size(); ++i) {
        weekBackground[i] = ToQColor(weekColors_[i]);
    }
    const QColor btnFace = ToQColor(clBtnFace);
    const QColor btnHighlight = ToQColor(clBtnHighlight);
    const QColor btnShadow = ToQColor(clBtnShadow);
    const QColor otherMonth = ToQColor(OtherMonthBackground);
    const QColor gray = ToQColor(clGray);
    const QColor red = ToQColor(clRed);
    const QColor todayBackground = ToQColor(todayColor_);
    const QColor holidayBackground = ToQColor(holidayColor_);
    const QColor eventColor = ToQColor(eventColor_);
    // The cell's parts are laid out around the ink of two bold digits.
    const TNumberInk ink = NumberInk(dayFonts[2]);
    const bool focused = hasFocus();
    const TDiarySizes sizes = Sizes();

    for (int row = 0; row < DiaryRows; ++row) {
        for (int col = 0; col < DiaryColumns; ++col) {
            const QRect rect = CellRectIn(sizes, col, row);
            if (!rect.intersects(event->rect())) {
                continue;
            }
            const int weekday = (col + startOfWeek_) % 7;
            QColor fontColor = WeekdayFontColor(weekday);
            p.setClipRect(rect);

            if (row == 0) {
                p.fillRect(rect, btnFace);
                p.setPen(btnHighlight);
                p.drawLine(rect.topLeft(), rect.topRight());
                p.drawLine(rect.topLeft(), rect.bottomLeft());
                p.setPen(btnShadow);
                p.drawLine(rect.bottomLeft(), rect.bottomRight());
                p.drawLine(rect.topRight(), rect.bottomRight());
                p.setFont(headerFont);
                p.setPen(fontColor);
                p.drawText(rect, Qt::AlignCenter, CellText(col, row));
                continue;
            }

            const int32_t date = month_.CellDate(col, row);
            const bool inMonth = month_.IsInShownMonth(date);
            QColor background = weekBackground[static_cast<size_t>(weekday)];
            QColor markColor = eventColor;
            if (inMonth) {
                if (date == today) {
                    background = todayBackground;
                } else if (holidayCells_[static_cast<size_t>((row - 1) * DiaryColumns + col)]) {
                    fontColor = red;
                    background = holidayBackground;
                }
            } else {
                background = otherMonth;
                fontColor = gray;
                markColor = gray;
            }

            p.fillRect(rect, background);
            if (col == current_.Col && row == current_.Row) {
                const QColor frame = focused ? red : gray;
                p.fillRect(rect.x(), rect.y(), rect.width(), FrameWidth, frame);
                p.fillRect(rect.x(), rect.bottom() - FrameWidth + 1, rect.width(), FrameWidth,
                           frame);
                p.fillRect(rect.x(), rect.y(), FrameWidth, rect.height(), frame);
                p.fillRect(rect.right() - FrameWidth + 1, rect.y(), FrameWidth, rect.height(),
                           frame);
            }
            const TDiaryCellParts parts = DiaryCellParts(rect, ink.Size.width(), ink.Size.height());
            p.setFont(dayFonts[inMonth ? 0 : 1]);
            p.setPen(fontColor);
            p.setBrush(background);
            if (OnDrawCell) {
                p.save();
                OnDrawCell(this, date, inMonth, p, parts.Owner);
                p.restore();
            }

            const uint8_t marks = OnEventDefine ? OnEventDefine(this, date) : 0;
            if (marks) {
                p.setPen(markColor);
                p.setBrush(markColor);
                for (int bit = 0; bit < MarkShapes; ++bit) {
                    if ((marks & (1u << bit)) && !parts.Marks[static_cast<size_t>(bit)].isEmpty()) {
                        DrawMark(p, bit, parts.Marks[static_cast<size_t>(bit)]);
                    }
                }
                // Marks make the number bold; otherwise it keeps the cell's font, set above.
                p.setFont(dayFonts[2 | (inMonth ? 0 : 1)]);
            }
            p.setPen(fontColor);
            p.drawText(QPoint(parts.Number.left(), parts.Number.top() + ink.Ascent),
                       CellText(col, row));
        }
    }
}
