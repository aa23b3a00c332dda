#include "widgets/WeatherIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <utility>

#include "widgets/PaintedIcon.h"

namespace {

// A disabled weather button's picture is faint.
constexpr qreal kDisabledOpacity = 0.4;

const QColor SunFill(0xFF, 0x55, 0x1E);
const QColor SunRay(0xFF, 0x8C, 0x00);
const QColor CloudFill(0xC9, 0xCE, 0xD6);
const QColor CloudLine(0x5F, 0x67, 0x75);
const QColor RainFill(0x2A, 0x6C, 0xD6);
const QColor RainDark(0x14, 0x34, 0x86);
const QColor SnowLine(0x3E, 0x6E, 0xB0);
const QColor TyphoonInk(0xC8, 0x1E, 0x78);
const QColor UnknownFill(0xE4, 0xE4, 0xE4);
const QColor UnknownInk(0x60, 0x60, 0x60);
const QColor Arrow(0x70, 0x70, 0x70);

enum class TSky { Sun, Cloud, Rain, Snow };
enum class TForm { Single, Then, Sometimes, HeavyRain, HeavySnow, Typhoon, Sleet, Unknown };

struct TWeather {
    const char16_t* Name;
    TForm Form;
    TSky First;
    TSky Second;
};

constexpr TSky S = TSky::Sun, C = TSky::Cloud, R = TSky::Rain, W = TSky::Snow;

// One place for the names and what each picture shows.
constexpr std::array<TWeather, 33> Weathers{{
    {u"晴れ", TForm::Single, S, S},        {u"晴のち曇", TForm::Then, S, C},
    {u"晴のち雨", TForm::Then, S, R},      {u"晴のち雪", TForm::Then, S, W},
    {u"晴時々曇", TForm::Sometimes, S, C}, {u"晴時々雨", TForm::Sometimes, S, R},
    {u"晴時々雪", TForm::Sometimes, S, W}, {u"曇り", TForm::Single, C, C},
    {u"曇のち晴", TForm::Then, C, S},      {u"曇のち雨", TForm::Then, C, R},
    {u"曇のち雪", TForm::Then, C, W},      {u"曇時々晴", TForm::Sometimes, C, S},
    {u"曇時々雨", TForm::Sometimes, C, R}, {u"曇時々雪", TForm::Sometimes, C, W},
    {u"雨", TForm::Single, R, R},          {u"雨のち晴", TForm::Then, R, S},
    {u"雨のち曇", TForm::Then, R, C},      {u"雨のち雪", TForm::Then, R, W},
    {u"雨時々晴", TForm::Sometimes, R, S}, {u"雨時々曇", TForm::Sometimes, R, C},
    {u"雨時々雪", TForm::Sometimes, R, W}, {u"雪", TForm::Single, W, W},
    {u"雪のち晴", TForm::Then, W, S},      {u"雪のち曇", TForm::Then, W, C},
    {u"雪のち雨", TForm::Then, W, R},      {u"雪時々晴", TForm::Sometimes, W, S},
    {u"雪時々曇", TForm::Sometimes, W, C}, {u"雪時々雨", TForm::Sometimes, W, R},
    {u"大雨", TForm::HeavyRain, R, R},     {u"大雪", TForm::HeavySnow, W, W},
    {u"台風", TForm::Typhoon, S, S},       {u"みぞれ", TForm::Sleet, R, W},
    {u"不明", TForm::Unknown, S, S},
}};

// Runs draw with the painter mapped so that the design grid fills box.
template <typename F>
void InBox(QPainter& p, const QRectF& box, F draw) {
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / kIconGrid, box.height() / kIconGrid);
    draw();
    p.restore();
}

void DrawSun(QPainter& p) {
    p.setPen(QPen(SunRay, 1.8, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        const qreal a = i * std::numbers::pi / 4;
        p.drawLine(QPointF(9 + 6.3 * std::cos(a), 9 + 6.3 * std::sin(a)),
                   QPointF(9 + 8.2 * std::cos(a), 9 + 8.2 * std::sin(a)));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(SunFill);
    p.drawEllipse(QPointF(9, 9), 4.8, 4.8);
}

void DrawCloud(QPainter& p, const QColor& fill = CloudFill, const QColor& line = CloudLine) {
    QPainterPath path;
    path.addEllipse(QPointF(5.5, 11), 3.8, 3.8);
    path.addEllipse(QPointF(10, 7.5), 5.2, 5.2);
    path.addEllipse(QPointF(13.8, 11), 3.6, 3.6);
    path.addRoundedRect(QRectF(1.7, 10, 15.7, 4.8), 2.4, 2.4);
    path.setFillRule(Qt::WindingFill);
    p.setPen(QPen(line, 1.3));
    p.setBrush(fill);
    p.drawPath(path.simplified());
}

void DrawUmbrella(QPainter& p, const QColor& fill) {
    QPainterPath canopy;
    canopy.moveTo(1, 9);
    canopy.cubicTo(1, 1.5, 17, 1.5, 17, 9);
    // Scalloped rim between the ribs.
    canopy.quadTo(15, 7.6, 13, 9);
    canopy.quadTo(11, 7.6, 9, 9);
    canopy.quadTo(7, 7.6, 5, 9);
    canopy.quadTo(3, 7.6, 1, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(canopy);
    QPainterPath handle;
    handle.moveTo(9, 8.5);
    handle.lineTo(9, 15);
    handle.arcTo(QRectF(5.4, 13.2, 3.6, 3.6), 0, -180);
    p.setPen(QPen(RainDark, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(handle);
}

void DrawSnowman(QPainter& p) {
    p.setPen(QPen(SnowLine, 1.3));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(9, 12.2), 5, 5);
    p.drawEllipse(QPointF(9, 5), 3.6, 3.6);
    p.setPen(Qt::NoPen);
    p.setBrush(SnowLine);
    p.drawEllipse(QPointF(7.7, 4.6), 0.8, 0.8);
    p.drawEllipse(QPointF(10.3, 4.6), 0.8, 0.8);
    p.setBrush(SunFill);
    p.drawEllipse(QPointF(9, 6.4), 0.8, 0.8);
}

void DrawSky(QPainter& p, TSky sky) {
    switch (sky) {
        case TSky::Sun:
            DrawSun(p);
            break;
        case TSky::Cloud:
            DrawCloud(p);
            break;
        case TSky::Rain:
            DrawUmbrella(p, RainFill);
            break;
        case TSky::Snow:
            DrawSnowman(p);
            break;
    }
}

// A six-armed flake centred at c.
void DrawFlake(QPainter& p, QPointF c, qreal r) {
    p.setPen(QPen(SnowLine, 1.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal a = i * std::numbers::pi / 3 + std::numbers::pi / 2;
        const QPointF d(r * std::cos(a), r * std::sin(a));
        p.drawLine(c - d, c + d);
    }
}

void DrawDrop(QPainter& p, QPointF tip, qreal h) {
    QPainterPath drop;
    drop.moveTo(tip);
    drop.cubicTo(tip + QPointF(-h * 0.55, h * 0.7), tip + QPointF(-h * 0.35, h),
                 tip + QPointF(0, h));
    drop.cubicTo(tip + QPointF(h * 0.35, h), tip + QPointF(h * 0.55, h * 0.7), tip);
    p.setPen(Qt::NoPen);
    p.setBrush(RainFill);
    p.drawPath(drop);
}

// "のち": the first weather top left, the second bottom right, an arrow pointing onwards.
void DrawThen(QPainter& p, TSky first, TSky second) {
    InBox(p, QRectF(0, 0, 10.5, 10.5), [&] { DrawSky(p, first); });
    InBox(p, QRectF(7.5, 7.5, 10.5, 10.5), [&] { DrawSky(p, second); });
    p.setPen(Qt::NoPen);
    p.setBrush(Arrow);
    p.drawPolygon(QPolygonF({QPointF(12.2, 1.5), QPointF(17, 4.2), QPointF(12.2, 6.9)}));
}

// "時々": the main weather large, the occasional one small in the bottom-right corner.
void DrawSometimes(QPainter& p, TSky main, TSky occasional) {
    InBox(p, QRectF(0, 0, 14, 14), [&] { DrawSky(p, main); });
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QPointF(13.4, 13.4), 4.9, 4.9);
    InBox(p, QRectF(9, 9, 9, 9), [&] { DrawSky(p, occasional); });
}

void DrawHeavyRain(QPainter& p) {
    p.setPen(QPen(RainDark, 1.5, Qt::SolidLine, Qt::RoundCap));
    for (const qreal x : {3.0, 7.5, 12.0, 16.0}) {
        p.drawLine(QPointF(x, 0.6), QPointF(x - 1.6, 4.2));
    }
    InBox(p, QRectF(1, 4.5, 16, 13.5), [&] { DrawUmbrella(p, RainDark); });
}

void DrawHeavySnow(QPainter& p) {
    InBox(p, QRectF(5, 3, 13, 15), [&] { DrawSnowman(p); });
    DrawFlake(p, QPointF(3, 3.2), 2.4);
    DrawFlake(p, QPointF(3.2, 10.5), 2.4);
    DrawFlake(p, QPointF(9.5, 1.8), 1.6);
    DrawFlake(p, QPointF(16, 2.2), 1.6);
}

void DrawTyphoon(QPainter& p) {
    p.setPen(QPen(TyphoonInk, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(9, 9), 3.2, 3.2);
    QPainterPath arms;
    arms.moveTo(12.2, 9);
    arms.cubicTo(12.6, 3.5, 8, 1, 3, 2.2);
    arms.moveTo(5.8, 9);
    arms.cubicTo(5.4, 14.5, 10, 17, 15, 15.8);
    p.drawPath(arms);
}

void DrawSleet(QPainter& p) {
    InBox(p, QRectF(0.5, -1, 17, 13), [&] { DrawCloud(p); });
    DrawDrop(p, QPointF(4.5, 11.5), 5.5);
    DrawFlake(p, QPointF(9.3, 15), 2.5);
    DrawDrop(p, QPointF(14.2, 11.5), 5.5);
}

void DrawUnknown(QPainter& p) {
    p.setPen(QPen(UnknownInk, 1.2));
    p.setBrush(UnknownFill);
    p.drawEllipse(QPointF(9, 9), 8, 8);
    QPainterPath mark;
    mark.moveTo(6, 7);
    mark.cubicTo(6, 3.2, 12, 3.2, 12, 7);
    mark.cubicTo(12, 9.4, 9, 9.2, 9, 11.6);
    p.setPen(QPen(UnknownInk, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mark);
    p.setPen(Qt::NoPen);
    p.setBrush(UnknownInk);
    p.drawEllipse(QPointF(9, 14.4), 1.25, 1.25);
}

const TWeather& WeatherAt(int index) {
    return Weathers[static_cast<size_t>(index >= 0 && index < WeatherCount() ? index
                                                                             : WeatherUnknown)];
}

}  // namespace

int WeatherCount() {
    return static_cast<int>(Weathers.size());
}

QString WeatherName(int index) {
    if (index < 0 || index >= WeatherCount()) {
        return {};
    }
    return QString::fromUtf16(Weathers[static_cast<size_t>(index)].Name);
}

void PaintWeather(QPainter& painter, int index, const QRectF& target) {
    const TWeather& weather = WeatherAt(index);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    InBox(painter, target, [&] {
        switch (weather.Form) {
            case TForm::Single:
                DrawSky(painter, weather.First);
                break;
            case TForm::Then:
                DrawThen(painter, weather.First, weather.Second);
                break;
            case TForm::Sometimes:
                DrawSometimes(painter, weather.First, weather.Second);
                break;
            case TForm::HeavyRain:
                DrawHeavyRain(painter);
                break;
            case TForm::HeavySnow:
                DrawHeavySnow(painter);
                break;
            case TForm::Typhoon:
                DrawTyphoon(painter);
                break;
            case TForm::Sleet:
                DrawSleet(painter);
                break;
            case TForm::Unknown:
                DrawUnknown(painter);
                break;
        }
    });
    painter.restore();
}

QPixmap WeatherPixmap(int index, qreal dpr) {
    if (index < 0 || index >= WeatherCount()) {
        index = WeatherUnknown;
    }
    // Made once per picture and density, for drawing the same picture again and again.
    static std::map<std::pair<int, qreal>, QPixmap> made;
    QPixmap& pixmap = made[{index, dpr}];
    if (pixmap.isNull()) {
        const int side = static_cast<int>(std::ceil(kIconGrid * dpr));
        pixmap = QPixmap(side, side);
        pixmap.fill(Qt::transparent);
        pixmap.setDevicePixelRatio(dpr);
        QPainter painter(&pixmap);
        PaintWeather(painter, index, QRectF(0, 0, side / dpr, side / dpr));
    }
    return pixmap;
}

QIcon WeatherIcon(int index) {
    return PaintedIcon(
        [index](QPainter& painter, const QRectF& target) { PaintWeather(painter, index, target); },
        kDisabledOpacity);
}
