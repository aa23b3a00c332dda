#include "widgets/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "widgets/PaintedIcon.h"

namespace {

// A disabled tool button's picture is faint.
constexpr qreal kDisabledOpacity = 0.35;

const QColor kInk(0x30, 0x30, 0x30);
const QColor kBlue(0x20, 0x50, 0xB0);
const QColor kRed(0xC0, 0x20, 0x20);

void DrawLetter(QPainter& p, const QString& letter, bool bold, bool italic, bool underline) {
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(14);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(0, 0, kIconGrid, kIconGrid), Qt::AlignCenter, letter);
}

void DrawLines(QPainter& p, Qt::Alignment align) {
    p.setPen(QPen(kInk, 1.5));
    const qreal widths[] = {14, 9, 14, 9};
    for (int i = 0; i < 4; ++i) {
        const qreal w = widths[i];
        qreal x = 2;
        if (align == Qt::AlignRight)
            x = 16 - w;
        else if (align == Qt::AlignHCenter)
            x = (kIconGrid - w) / 2;
        const qreal y = 4 + i * 3.5;
        p.drawLine(QPointF(x, y), QPointF(x + w, y));
    }
}

void DrawArrow(QPainter& p, bool left, bool twice) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    const int count = twice ? 2 : 1;
    const qreal w = 6;
    qreal start = (kIconGrid - count * w) / 2;
    for (int i = 0; i < count; ++i) {
        const qreal x0 = start + i * w;
        QPolygonF tri;
        if (left)
            tri << QPointF(x0 + w, 4) << QPointF(x0, 9) << QPointF(x0 + w, 14);
        else
            tri << QPointF(x0, 4) << QPointF(x0 + w, 9) << QPointF(x0, 14);
        p.drawPolygon(tri);
    }
}

void Paint(QPainter& p, TToolIcon kind) {
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
        case TToolIcon::Exit:
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(QColor(0xE8, 0xD8, 0xB0));
            p.drawRect(QRectF(3, 2, 8, 14));
            p.setPen(QPen(kRed, 2));
            p.drawLine(QPointF(9, 9), QPointF(16, 9));
            p.drawLine(QPointF(13, 6), QPointF(16, 9));
            p.drawLine(QPointF(13, 12), QPointF(16, 9));
            break;
        case TToolIcon::Print:
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(5, 2, 8, 6));
            p.setBrush(QColor(0xB0, 0xB0, 0xB0));
            p.drawRect(QRectF(2, 8, 14, 6));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(5, 12, 8, 4));
            break;
        case TToolIcon::Save:
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(kBlue);
            p.drawRect(QRectF(2.5, 2.5, 13, 13));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(5, 2.5, 8, 5));
            p.setBrush(QColor(0xD0, 0xD0, 0xD0));
            p.drawRect(QRectF(5, 10, 8, 5.5));
            break;
        case TToolIcon::Undo: {
            p.setPen(QPen(kBlue, 2));
            p.setBrush(Qt::NoBrush);
            QPainterPath arc;
            arc.moveTo(5, 8);
            arc.cubicTo(8, 3, 16, 4, 15, 10);
            arc.cubicTo(14, 14, 10, 15, 7, 14);
            p.drawPath(arc);
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawPolygon(QPolygonF() << QPointF(2, 4) << QPointF(8, 5) << QPointF(3, 10));
            break;
        }
        case TToolIcon::Delete:
            p.setPen(QPen(kRed, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(4, 4), QPointF(14, 14));
            p.drawLine(QPointF(14, 4), QPointF(4, 14));
            break;
        case TToolIcon::Cut:
            p.setPen(QPen(kInk, 1.4));
            p.setBrush(Qt::NoBrush);
            p.drawLine(QPointF(5, 2), QPointF(11, 12));
            p.drawLine(QPointF(13, 2), QPointF(7, 12));
            p.setPen(QPen(kRed, 1.6));
            p.drawEllipse(QPointF(5.5, 14), 2.5, 2.5);
            p.drawEllipse(QPointF(12.5, 14), 2.5, 2.5);
            break;
        case TToolIcon::Copy:
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(2.5, 2.5, 9, 10));
            p.drawRect(QRectF(6.5, 5.5, 9, 10));
            break;
        case TToolIcon::Paste:
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(QColor(0xC8, 0x98, 0x50));
            p.drawRect(QRectF(2.5, 3.5, 11, 13));
            p.setBrush(QColor(0x90, 0x90, 0x90));
            p.drawRect(QRectF(5.5, 2, 5, 3));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(8.5, 7.5, 7, 9));
            break;
        case TToolIcon::Bold:
            DrawLetter(p, QStringLiteral("B"), true, false, false);
            break;
        case TToolIcon::Italic:
            DrawLetter(p, QStringLiteral("I"), false, true, false);
            break;
        case TToolIcon::Underline:
            DrawLetter(p, QStringLiteral("U"), false, false, true);
            break;
        case TToolIcon::Color:
            DrawLetter(p, QStringLiteral("A"), true, false, false);
            p.fillRect(QRectF(3, 15, 12, 3), kRed);
            break;
        case TToolIcon::AlignLeft:
            DrawLines(p, Qt::AlignLeft);
            break;
        case TToolIcon::AlignCenter:
            DrawLines(p, Qt::AlignHCenter);
            break;
        case TToolIcon::AlignRight:
            DrawLines(p, Qt::AlignRight);
            break;
        case TToolIcon::PrevYear:
            DrawArrow(p, true, true);
            break;
        case TToolIcon::PrevMonth:
            DrawArrow(p, true, false);
            break;
        case TToolIcon::NextMonth:
            DrawArrow(p, false, false);
            break;
        case TToolIcon::NextYear:
            DrawArrow(p, false, true);
            break;
    }
}

}  // namespace

QIcon ToolIcon(TToolIcon kind) {
    return PaintedIcon(
        [kind](QPainter& painter, const QRectF& target) {
            painter.translate(target.topLeft());
            painter.scale(target.width() / kIconGrid, target.height() / kIconGrid);
            Paint(painter, kind);
        },
        kDisabledOpacity);
}
