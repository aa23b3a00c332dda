#include "widgets/WeatherIcons.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QtTest>

namespace {

QImage Rendered(int index, qreal dpr) {
    return WeatherPixmap(index, dpr).toImage().convertToFormat(QImage::Format_ARGB32);
}

int OpaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 128;
        }
    }
    return count;
}

// A sheet of every picture with its index and name, for looking at.
void SaveSheet(qreal dpr, const QString& fileName) {
    const int cellW = 92, cellH = 26, perColumn = 14;
    QImage sheet(QSize(cellW * 3, cellH * perColumn) * dpr, QImage::Format_ARGB32);
    sheet.setDevicePixelRatio(dpr);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    for (int i = 0; i < WeatherCount(); ++i) {
        const int x = (i / perColumn) * cellW + 4, y = (i % perColumn) * cellH + 4;
        p.drawPixmap(x, y, WeatherPixmap(i, dpr));
        p.setPen(Qt::black);
        p.drawText(QRect(x + 22, y, cellW - 24, 18), Qt::AlignVCenter,
                   QString::number(i) + QLatin1Char(' ') + WeatherName(i));
    }
    p.end();
    QDir().mkpath(QStringLiteral(VELMORA_PNG_DIR));
    QVERIFY(sheet.save(QStringLiteral(VELMORA_PNG_DIR "/") + fileName));
}

}  // namespace

class WeatherIconsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void NamesKeepTheStoredOrder_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        // Indices of the day page's weather table; 14 and 28 start the menu's later columns.
        QTest::newRow("first") << 0 << QStringLiteral("晴れ");
        QTest::newRow("then form") << 1 << QStringLiteral("晴のち曇");
        QTest::newRow("sometimes form") << 13 << QStringLiteral("曇時々雪");
        QTest::newRow("second column") << 14 << QStringLiteral("雨");
        QTest::newRow("snow block") << 27 << QStringLiteral("雪時々雨");
        QTest::newRow("third column") << 28 << QStringLiteral("大雨");
        QTest::newRow("sleet") << 31 << QStringLiteral("みぞれ");
        QTest::newRow("last") << 32 << QStringLiteral("不明");
        QTest::newRow("past the end") << 33 << QString();
        QTest::newRow("negative") << -1 << QString();
    }
    void NamesKeepTheStoredOrder() {
        QFETCH(int, index);
        QFETCH(QString, name);
        QCOMPARE(WeatherCount(), 33);
        QCOMPARE(WeatherName(index), name);
    }

    void EveryPictureIsDrawnAndDistinct() {
        QSet<QByteArray> seen;
        for (int i = 0; i < WeatherCount(); ++i) {
            const QImage image = Rendered(i, 1);
            QCOMPARE(image.size(), QSize(18, 18));
            QVERIFY2(OpaquePixels(image) > 40, qPrintable(WeatherName(i)));
            const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()),
                                   image.sizeInBytes());
            QVERIFY2(!seen.contains(bytes), qPrintable(WeatherName(i)));
            seen.insert(bytes);
        }
    }

    void HighDensityPicturesHaveFullResolution_data() {
        QTest::addColumn<qreal>("dpr");
        QTest::addColumn<int>("side");
        QTest::newRow("1x") << 1.0 << 18;
        QTest::newRow("1.5x rounds up") << 1.5 << 27;
        QTest::newRow("2x") << 2.0 << 36;
        QTest::newRow("3x") << 3.0 << 54;
    }
    void HighDensityPicturesHaveFullResolution() {
        QFETCH(qreal, dpr);
        QFETCH(int, side);
        for (int i = 0; i < WeatherCount(); ++i) {
            const QPixmap pixmap = WeatherPixmap(i, dpr);
            QCOMPARE(pixmap.size(), QSize(side, side));
            QCOMPARE(pixmap.devicePixelRatio(), dpr);
            QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(side / dpr, side / dpr));
        }
        // Painted afresh at the density, not a blown-up 1x picture: 2x has edge pixels that
        // nearest scaling of the 1x picture cannot give.
        if (dpr == 2.0) {
            const QImage sharp = Rendered(0, 2);
            const QImage blown = Rendered(0, 1).scaled(36, 36);
            QVERIFY(sharp != blown);
        }
    }

    void OutOfRangeIndexShowsUnknown() {
        QCOMPARE(Rendered(-1, 1), Rendered(WeatherUnknown, 1));
        QCOMPARE(Rendered(33, 1), Rendered(WeatherUnknown, 1));
    }

    void IconPaintsAtRequestedSizes() {
        const QIcon icon = WeatherIcon(14);
        for (const int side : {16, 18, 24, 36}) {
            const QImage image = icon.pixmap(QSize(side, side)).toImage();
            QCOMPARE(image.size(), QSize(side, side));
            QVERIFY(OpaquePixels(image.convertToFormat(QImage::Format_ARGB32)) > side * 2);
        }
    }

    void SheetsForLooking() {
        SaveSheet(1, QStringLiteral("weather-1x.png"));
        SaveSheet(2, QStringLiteral("weather-2x.png"));
    }
};

QTEST_MAIN(WeatherIconsTest)
#include "WeatherIconsTest.moc"
