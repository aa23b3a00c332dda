#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

#include "storage/DataInfo.h"

class QPainter;
class QRectF;

// The 33 weathers of a day page, in their stored order (weather index 0..32), and their
// pictures: 18 x 18 logical pixels, painted at the screen's density so they stay sharp.

int WeatherCount();
// "晴れ" .. "不明"; empty outside 0..32.
QString WeatherName(int index);
// The picture scaled into target; an index outside 0..32 paints "不明".
void PaintWeather(QPainter& painter, int index, const QRectF& target);
// 18 x 18 logical pixels at the device pixel ratio dpr; kept once made.
QPixmap WeatherPixmap(int index, qreal dpr);
// An icon that paints itself at every requested size.
QIcon WeatherIcon(int index);
