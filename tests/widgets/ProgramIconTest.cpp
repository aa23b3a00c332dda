#include "support/Screenshots.h"
#include "widgets/AboutBox.h"
#include "widgets/ProgramIcon.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QtTest>

namespace {

// Pixels that read as the calendar's red header against the page.
bool IsRed(QRgb pixel) {
    return qAlpha(pixel) > 200 && qRed(pixel) > 160 && qGreen(pixel) < 110 && qBlue(pixel) < 110;
}

bool IsDark(QRgb pixel) {
    return qAlpha(pixel) > 200 && qGray(pixel) < 90;
}

}  // namespace

class ProgramIconTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void DrawnSharpAtEverySize_data() {
        QTest::addColumn<int>("side");
        // The sizes desktops ask for: menus and title bars, panels, launchers, large views.
        QTest::newRow("16") << 16;
        QTest::newRow("32") << 32;
        QTest::newRow("48") << 48;
        QTest::newRow("256") << 256;
    }
    void DrawnSharpAtEverySize() {
        QFETCH(int, side);
        const QIcon icon = ProgramIcon();
        QVERIFY2(!icon.isNull(), "the SVG icon engine (libqt6svg6) is missing");
        const QImage image =
            icon.pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
        // Drawn at the size asked for, not a small picture scaled up.
        QCOMPARE(image.size(), QSize(side, side));
        // The red header across the upper part, the dark outline at the left edge, the light
        // page in the middle: what makes it a calendar page even at 16 pixels.
        int red = 0;
        for (int x = 0; x < side; ++x)
            red += IsRed(image.pixel(x, side * 18 / 64));
        QVERIFY2(red >= side / 2, qPrintable(QStringLiteral("red pixels: %1").arg(red)));
        QVERIFY(IsDark(image.pixel(side * 3 / 32, side / 2)));
        QVERIFY(qGray(image.pixel(side * 11 / 32, side * 19 / 32)) > 200);
        // Transparent corners, so the icon sits on any panel colour.
        QCOMPARE(qAlpha(image.pixel(0, side - 1)), 0);
        const QString folder = QStringLiteral(VELMORA_PNG_DIR);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(image.save(folder + QStringLiteral("/icon-%1.png").arg(side)));
    }

    void AboutBoxShowsTheProgramIcon() {
        // As the program does at its start.
        QApplication::setWindowIcon(ProgramIcon());
        TAboutDialog about;
        const auto form = about.CreateForm(nullptr);
        QVERIFY(form->ProgramIcon->isVisibleTo(form.get()));
        const QImage shown = form->ProgramIcon->pixmap().toImage();
        QCOMPARE(shown.size(), QSize(32, 32));
        QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32),
                 ProgramIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32));
        form->show();
        QVERIFY(SavePng(form.get(), u"about-box-icon.png"_qs));
    }
};

QTEST_MAIN(ProgramIconTest)
#include "ProgramIconTest.moc"
