#pragma once

#include <QIcon>
#include <functional>

class QPainter;
class QRectF;

// The program's pictures are drawn, not loaded: each on a square design grid of kIconGrid
// logical pixels, scaled to whatever size and density is asked for, so they stay sharp.
constexpr qreal kIconGrid = 18.0;

// Paints one picture into target.
using TIconPaint = std::function<void(QPainter& painter, const QRectF& target)>;

// An icon that paints itself at every requested size; a disabled icon is painted at
// disabledOpacity.
QIcon PaintedIcon(TIconPaint paint, qreal disabledOpacity);
