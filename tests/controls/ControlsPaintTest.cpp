// Painting of the bevel label, the colour button and the text speed button, and the colour
// button's mouse and key input.
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "controls/RangeGrid.h"
#include "controls/SpinBtns.h"
#include "widgets/BevLabel.h"
#include "widgets/BtnLabel.h"
#include "widgets/BtnList.h"
#include "bridge/Colors.h"

namespace {

// Text without antialiasing, so that every inked pixel has exactly the pen colour.
QFont SharpFont(int pixels) {
    QFont f;
    f.setPixelSize(pixels);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QImage Render(QWidget& w) {
    QImage image(w.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    w.render(&image);
    return image;
}

QRgb Rgb(TColor c) {
    return ToQColor(c).rgb();
}

bool Contains(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour) {
                return true;
            }
        }
    }
    return false;
}

bool InkNear(const QImage& image, QPoint at, QRgb ink) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.valid(p) && image.pixel(p) == ink) {
                return true;
            }
        }
    }
    return false;
}

// How well `image` shows `text` rotated counter-clockwise by `rotation` degrees (0, 90, 180,
// 270) about its start point `start`: the smaller of the share of the expected ink found and
// the share of the drawn ink expected, each within one pixel, since rotated glyphs rasterise
// a little differently from upright ones. Ink is the pen colour `ink`.
double RotatedInkMatch(const QImage& image, const QFont& font, const QString& text, QPoint start,
                       int rotation, QRgb ink) {
    const QFontMetrics fm(font);
    QImage upright(fm.horizontalAdvance(text), fm.height(), QImage::Format_RGB32);
    upright.fill(Qt::white);
    {
        QPainter p(&upright);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPoint(0, fm.ascent()), text);
    }
    QImage expected(image.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    const QRgb black = qRgb(0, 0, 0);
    for (int v = 0; v < upright.height(); ++v) {
        for (int u = 0; u < upright.width(); ++u) {
            if (upright.pixel(u, v) != black) {
                continue;
            }
            QPoint at;
            switch (rotation) {
                case 0:
                    at = start + QPoint(u, v);
                    break;
                case 90:
                    at = start + QPoint(v, -1 - u);
                    break;
                case 180:
                    at = start + QPoint(-1 - u, -1 - v);
                    break;
                default:
                    at = start + QPoint(-1 - v, u);
                    break;
            }
            if (expected.valid(at)) {
                expected.setPixel(at, black);
            }
        }
    }
    int expectedInk = 0;
    int found = 0;
    int drawnInk = 0;
    int wanted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (expected.pixel(x, y) == black) {
                ++expectedInk;
                found += InkNear(image, {x, y}, ink) ? 1 : 0;
            }
            if (image.pixel(x, y) == ink) {
                ++drawnInk;
                wanted += InkNear(expected, {x, y}, black) ? 1 : 0;
            }
        }
    }
    if (expectedInk == 0 || drawnInk == 0) {
        return 0.0;
    }
    return std::min(double(found) / expectedInk, double(wanted) / drawnInk);
}

bool Shown(QWidget& w) {
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

}  // namespace

class ControlsPaintTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bevelColours_data();
    void bevelColours();
    void bevelDownTurnsTheInnerBevel();
    void bevelRotatedText_data();
    void bevelRotatedText();
    void bevelRotationNeedsSingleLine();
    void speedButtonRotatedText_data();
    void speedButtonRotatedText();
    void colorButtonCaptionColour_data();
    void colorButtonCaptionColour();
    void colorButtonPressAndDrag();
    void colorButtonKeys_data();
    void colorButtonKeys();
    void renderControlsToPng();
};

void ControlsPaintTest::bevelColours_data() {
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("inner");
    // Rings from the edge inwards: outer bevel, band, inner bevel, fill (width 1 each).
    QTest::addColumn<uint>("outerTopLeft");
    QTest::addColumn<uint>("outerBottomRight");
    QTest::addColumn<uint>("innerTopLeft");
    QTest::addColumn<uint>("innerBottomRight");
    const uint red = 0x0000FF;
    // Lowered: shadow above and to the left, highlight below and to the right.
    QTest::newRow("raised outside, lowered inside")
        << int(bvRaised) << int(bvLowered) << uint(clBtnHighlight) << uint(clBtnShadow)
        << uint(clBtnShadow) << uint(clBtnHighlight);
    QTest::newRow("space draws as raised")
        << int(bvSpace) << int(bvRaised) << uint(clBtnHighlight) << uint(clBtnShadow)
        << uint(clBtnHighlight) << uint(clBtnShadow);
    // Without a bevel the band and the fill move outwards.
    QTest::newRow("no outer bevel")
        << int(bvNone) << int(bvLowered) << red << red << uint(clBtnShadow) << uint(clBtnHighlight);
}

void ControlsPaintTest::bevelColours() {
    QFETCH(int, outer);
    QFETCH(int, inner);
    QFETCH(uint, outerTopLeft);
    QFETCH(uint, outerBottomRight);
    QFETCH(uint, innerTopLeft);
    QFETCH(uint, innerBottomRight);
    TBevelLabel label;
    label.resize(40, 30);
    label.SetColor(0x0000FF);
    label.SetBorderWidth(1);
    label.SetBevelOuter(static_cast<TBevelCut>(outer));
    label.SetBevelInner(static_cast<TBevelCut>(inner));
    const QImage image = Render(label);
    const int r = 39;
    const int b = 29;
    QCOMPARE(image.pixel(0, 0), Rgb(outerTopLeft));
    QCOMPARE(image.pixel(r, b), Rgb(outerBottomRight));
    QCOMPARE(image.pixel(r, 0), Rgb(outerBottomRight));  // the far colour owns the corners
    QCOMPARE(image.pixel(0, b), Rgb(outerBottomRight));
    const int i = outer == bvNone ? 1 : 2;  // the inner bevel's ring
    QCOMPARE(image.pixel(i, i + 3), Rgb(innerTopLeft));
    QCOMPARE(image.pixel(r - i, b - i), Rgb(innerBottomRight));
    QCOMPARE(image.pixel(i + 1, i + 1), Rgb(0x0000FF));
}

void ControlsPaintTest::bevelDownTurnsTheInnerBevel() {
    TBevelLabel label;
    label.resize(20, 20);
    label.SetBevelOuter(bvRaised);
    label.SetDown(true);
    QCOMPARE(label.BevelInner(), bvLowered);
    QCOMPARE(label.BevelOuter(), bvNone);
    QCOMPARE(Render(label).pixel(0, 0), Rgb(clBtnShadow));
    label.SetDown(false);
    QCOMPARE(label.BevelInner(), bvRaised);
    QCOMPARE(Render(label).pixel(0, 0), Rgb(clBtnHighlight));
}

void ControlsPaintTest::bevelRotatedText_data() {
    QTest::addColumn<int>("rotate");
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<int>("angle");
    // A 60 x 120 label without frames, text box at (0, 0) with a text offset of 5.
    QTest::newRow("trNone from the top-left") << int(trNone) << QPoint(5, 0) << 0;
    QTest::newRow("trLeft up from the bottom-left") << int(trLeft) << QPoint(0, 115) << 90;
    QTest::newRow("trRight down from the top-right") << int(trRight) << QPoint(60, 5) << 270;
    QTest::newRow("trReverse from the bottom-right") << int(trReverse) << QPoint(55, 120) << 180;
}

void ControlsPaintTest::bevelRotatedText() {
    QFETCH(int, rotate);
    QFETCH(QPoint, start);
    QFETCH(int, angle);
    TBevelLabel label;
    label.resize(60, 120);
    label.SetBevelInner(bvNone);
    label.SetColor(0xFFFFFF);
    label.SetFontColor(0x000000);
    label.setFont(SharpFont(14));
    label.SetSingleLine(true);
    label.SetTextOffset(5);
    label.SetCaption(u"Fig.1"_qs);
    label.SetTextRotate(static_cast<TTextRotate>(rotate));
    const QImage image = Render(label);
    QVERIFY(RotatedInkMatch(image, label.font(), label.Caption(), start, angle, qRgb(0, 0, 0)) >
            0.95);
}

void ControlsPaintTest::bevelRotationNeedsSingleLine() {
    TBevelLabel label;
    label.resize(60, 60);
    label.setFont(SharpFont(14));
    label.SetCaption(u"Fig.1"_qs);
    const QImage upright = Render(label);
    label.SetTextRotate(trLeft);
    QCOMPARE(Render(label), upright);
}

void ControlsPaintTest::speedButtonRotatedText_data() {
    QTest::addColumn<int>("rotation");
    QTest::addColumn<int>("angle");
    QTest::newRow("caTop") << int(caTop) << 0;
    QTest::newRow("caLeft") << int(caLeft) << 90;
    QTest::newRow("caBottom") << int(caBottom) << 180;
    QTest::newRow("caRight") << int(caRight) << 270;
}

void ControlsPaintTest::speedButtonRotatedText() {
    QFETCH(int, rotation);
    QFETCH(int, angle);
    TTextSpeedButton button;
    button.resize(70, 70);
    button.setFont(SharpFont(14));
    button.SetText(u"Fig.1"_qs);
    button.SetRotation(static_cast<TCaptionAlign>(rotation));
    const QFontMetrics fm(button.font());
    const int w = fm.horizontalAdvance(button.Text());
    const int h = fm.height();
    const int cw = 70;
    const int ch = 70;
    // Start points of the text centred in the button, one row per rotation.
    const QPoint starts[] = {{(cw - w) / 2, (ch - h) / 2},
                             {(cw - w) / 2 + w, (ch - h) / 2 + h},
                             {(cw - h) / 2, (ch - w) / 2 + w},
                             {(cw - h) / 2 + h, (ch - w) / 2}};
    const QImage image = Render(button);
    QVERIFY(RotatedInkMatch(image, button.font(), button.Text(), starts[rotation], angle,
                            Rgb(clBtnText)) > 0.95);
}

void ControlsPaintTest::colorButtonCaptionColour_data() {
    QTest::addColumn<TColor>("colour");
    QTest::addColumn<bool>("autoColour");
    QTest::addColumn<QRgb>("caption");
    QTest::newRow("black face, white caption") << TColor(0x000000) << true << qRgb(255, 255, 255);
    QTest::newRow("red 0x0000FF, caption 0xFFFF00")
        << TColor(0x0000FF) << true << qRgb(0, 255, 255);
    QTest::newRow("without AutoFontColor, the font colour")
        << TColor(0x000000) << false << Rgb(clBtnText);
    // A system colour is inverted as the colour it stands for.
    const QColor face = ToQColor(clBtnFace);
    QTest::newRow("button face inverted")
        << TColor(clBtnFace) << true
        << qRgb(255 - face.red(), 255 - face.green(), 255 - face.blue());
}

void ControlsPaintTest::colorButtonCaptionColour() {
    QFETCH(TColor, colour);
    QFETCH(bool, autoColour);
    QFETCH(QRgb, caption);
    TColorButton button;
    QFont f = SharpFont(16);
    f.setBold(true);
    button.setFont(f);
    button.SetCaption(u"HHH"_qs);
    button.SetColor(colour);
    button.SetAutoFontColor(autoColour);
    const QImage image = Render(button);
    QCOMPARE(image.pixel(40, 3), ToQColor(colour).rgb());
    QVERIFY(Contains(image.copy(2, 2, 76, 17), caption));
}

void ControlsPaintTest::colorButtonPressAndDrag() {
    TColorButton button;
    QVERIFY(Shown(button));
    QSignalSpy clicks(&button, &TColorButton::OnClick);
    const QRgb raised = Rgb(clBtnHighlight);
    const QRgb sunken = Rgb(cl3DDkShadow);
    QCOMPARE(Render(button).pixel(0, 0), raised);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(Render(button).pixel(0, 0), sunken);
    QCOMPARE(Render(button).pixel(1, 1), Rgb(clBtnShadow));
    QTest::mouseMove(&button, QPoint(200, 10));
    QVERIFY(!button.Pressed());
    QCOMPARE(Render(button).pixel(0, 0), raised);
    QTest::mouseMove(&button, QPoint(20, 10));
    QCOMPARE(Render(button).pixel(0, 0), sunken);
    QTest::mouseMove(&button, QPoint(20, 100));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(20, 100));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(Render(button).pixel(0, 0), raised);

    QTest::mouseClick(&button, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(clicks.count(), 0);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicks.count(), 1);
    QVERIFY(button.hasFocus());
    QVERIFY(!button.Pressed());
}

void ControlsPaintTest::colorButtonKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Space clicks") << int(Qt::Key_Space) << 1;
    QTest::newRow("Enter clicks") << int(Qt::Key_Return) << 1;
    QTest::newRow("keypad Enter clicks") << int(Qt::Key_Enter) << 1;
    QTest::newRow("a letter does not") << int(Qt::Key_A) << 0;
}

void ControlsPaintTest::colorButtonKeys() {
    QFETCH(int, key);
    QFETCH(int, clicks);
    TColorButton button;
    QVERIFY(Shown(button));
    button.setFocus();
    QSignalSpy spy(&button, &TColorButton::OnClick);
    QTest::keyClick(&button, static_cast<Qt::Key>(key));
    QCOMPARE(spy.count(), clicks);
}

void ControlsPaintTest::renderControlsToPng() {
    QVERIFY(QDir().mkpath(QStringLiteral(VELMORA_PNG_DIR)));
    const auto save = [](QWidget& w, const char* name) {
        return Render(w).save(QStringLiteral(VELMORA_PNG_DIR "/") + QLatin1String(name));
    };

    TSelectGrid grid;
    grid.SetReversebit(true);
    grid.SetItems({u"日"_qs, u"月"_qs, u"火"_qs, u"水"_qs, u"木"_qs, u"金"_qs, u"土"_qs});
    grid.resize(171, 23);
    grid.SetSelectedBits(34);
    QVERIFY(save(grid, "controls-select-grid.png"));

    TValueSpin spin;
    spin.SetValue(12);
    QVERIFY(save(spin, "controls-value-spin.png"));

    TButtonList list;
    list.SetItems({u"背景"_qs, u"文字"_qs, u"日曜"_qs, u"土曜"_qs, u"祝日"_qs});
    list.resize(404, 25);
    list.SetItemIndex(1);
    QVERIFY(save(list, "controls-button-list.png"));
    TButtonList sideways;
    sideways.SetItemAlign(caLeft);
    sideways.SetItems({u"背景"_qs, u"文字"_qs, u"日曜"_qs});
    sideways.resize(120, 60);
    QVERIFY(save(sideways, "controls-button-list-caLeft.png"));

    TBevelLabel sample;
    sample.resize(120, 40);
    sample.SetBevelOuter(bvRaised);
    sample.SetBorderWidth(2);
    sample.SetAlignment(taCenter);
    sample.SetLayout(tlCenter);
    sample.SetCaption(u"ＭＳ Ｐゴシック"_qs);
    QVERIFY(save(sample, "controls-bevel-label.png"));
    TBevelLabel rotated;
    rotated.resize(40, 120);
    rotated.SetSingleLine(true);
    rotated.SetTextRotate(trLeft);
    rotated.SetLayout(tlCenter);
    rotated.SetAlignment(taCenter);
    rotated.SetCaption(u"縦書き sample"_qs);
    QVERIFY(save(rotated, "controls-bevel-label-trLeft.png"));

    TColorButton swatch;
    swatch.SetCaption(u"日曜日"_qs);
    swatch.SetColor(0x0000FF);
    swatch.SetAutoFontColor(true);
    QVERIFY(save(swatch, "controls-color-button.png"));
    swatch.SetDrawFocus(fbBand);
    swatch.SetDrawFrame(true);
    QVERIFY(Shown(swatch));
    QApplication::setActiveWindow(&swatch);
    QVERIFY(QTest::qWaitForWindowActive(&swatch));
    swatch.setFocus();
    QVERIFY(swatch.hasFocus());
    QVERIFY(save(swatch, "controls-color-button-focus.png"));
}

int RunControlsPaintTest(int argc, char** argv) {
    ControlsPaintTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ControlsPaintTest.moc"
