#include "bridge/TextCodec.h"
#include "calendar/HolidayList.h"
#include "calendar/QReki.h"
#include "controls/Diary.h"
#include "storage/Clock.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>
#include <memory>
#include <type_traits>

namespace {

// The main window's design size of the grid.
constexpr QSize DesignSize(236, 135);

int32_t D(int y, int m, int d) {
    return EncodeDate(y, m, d);
}

std::unique_ptr<TDiary> MakeDiary(int32_t date, int startOfWeek = 0, QSize size = DesignSize) {
    auto diary = std::make_unique<TDiary>();
    QFont font = diary->font();
    font.setPixelSize(12);
    diary->setFont(font);
    diary->resize(size);
    diary->SetAutoChange(true);
    diary->SetStartOfWeek(startOfWeek);
    diary->SetCalendarDate(date);
    return diary;
}

QImage Render(TDiary& diary) {
    QImage image(diary.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    diary.render(&image);
    return image;
}

QRect CellOf(const TDiary& diary, int32_t date) {
    for (int row = 1; row < DiaryRows; ++row) {
        for (int col = 0; col < DiaryColumns; ++col) {
            if (diary.CellDate(col, row) == date) {
                return diary.CellRect(col, row);
            }
        }
    }
    return {};
}

// The bounding box of the pixels of one colour within a rectangle; null when there are none.
QRect InkBox(const QImage& image, const QRect& within, const QColor& colour) {
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            if (QColor(image.pixel(x, y)) == colour) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// A point of the cell's background that neither the frame, the number nor the marks cover.
QPoint BackgroundPoint(const TDiary& diary, int32_t date) {
    const QRect r = CellOf(diary, date);
    return {r.left() + 4, r.bottom() - 3};
}

struct TEventLog {
    QStringList Events;
    // The log's lifetime: its connections end with it.
    QObject Context;
    void Attach(TDiary& diary) {
        QObject::connect(&diary, &TDiary::OnChange, &Context, [this, &diary] {
            Events << QStringLiteral("month %1").arg(diary.Month());
        });
        QObject::connect(&diary, &TDiary::OnChangeDate, &Context, [this](double date) {
            const TYmd ymd = DecodeDate(WholeDay(date));
            Events << QStringLiteral("date %1-%2").arg(ymd.Month).arg(ymd.Day);
        });
    }
};

// The fixture holiday file: 11 February and an equinox rule, in the file's own encoding.
QString WriteHolidayFile(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("Velmora.hol"));
    SafeWriteFile(QFile::encodeName(path).toStdString(),
                  Sjis("; test rules\r\n2,11,0,1967,9999,0,建国記念の日\r\n"
                       "3,0,0,1949,9999,0,春分の日\r\n"));
    return path;
}

}  // namespace

class DiaryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { SetTodayForTesting(D(2015, 2, 18)); }
    void cleanup() { SetTodayForTesting(std::nullopt); }

    void FirstOfMonthPlacement_data() {
        QTest::addColumn<int32_t>("date");
        QTest::addColumn<int>("startOfWeek");
        QTest::addColumn<int>("firstCol");
        QTest::addColumn<QString>("header0");
        QTest::addColumn<int32_t>("lastCell");
        // 1 February 2015 is a Sunday, 1 August 2015 a Saturday (calendar).
        QTest::newRow("Feb 2015 Sunday first: 1..7 in week 1")
            << D(2015, 2, 14) << 0 << 0 << QStringLiteral("日") << D(2015, 3, 14);
        QTest::newRow("Feb 2015 Monday first: Sunday the 1st ends week 1")
            << D(2015, 2, 14) << 1 << 6 << QStringLiteral("月") << D(2015, 3, 8);
        QTest::newRow("Feb 2015 Saturday first")
            << D(2015, 2, 14) << 6 << 1 << QStringLiteral("土") << D(2015, 3, 13);
        QTest::newRow("Aug 2015 Sunday first: Saturday the 1st ends week 1")
            << D(2015, 8, 1) << 0 << 6 << QStringLiteral("日") << D(2015, 9, 5);
        QTest::newRow("Aug 2015 Saturday first")
            << D(2015, 8, 31) << 6 << 0 << QStringLiteral("土") << D(2015, 9, 11);
    }
    void FirstOfMonthPlacement() {
        QFETCH(int32_t, date);
        QFETCH(int, startOfWeek);
        QFETCH(int, firstCol);
        QFETCH(QString, header0);
        QFETCH(int32_t, lastCell);
        auto diary = MakeDiary(date, startOfWeek);
        const TYmd ymd = DecodeDate(date);
        QCOMPARE(diary->CellDate(firstCol, 1), D(ymd.Year, ymd.Month, 1));
        QCOMPARE(diary->CellText(firstCol, 1), QStringLiteral("1"));
        QCOMPARE(diary->CellText(0, 0), header0);
        QCOMPARE(diary->CellDate(6, 6), lastCell);
        QCOMPARE(diary->CellDate(3, 0), -1);
        // Each week row holds seven consecutive days, and the current cell shows the date.
        QCOMPARE(diary->CellDate(0, 2), diary->CellDate(6, 1) + 1);
        const TDiaryCell current = diary->CurrentCell();
        QCOMPARE(diary->CellDate(current.Col, current.Row), date);
    }

    void ColumnsFollowStartOfWeek() {
        auto diary = MakeDiary(D(2015, 2, 14));
        TEventLog log;
        log.Attach(*diary);
        diary->SetStartOfWeek(3);
        QCOMPARE(diary->CellText(0, 0), QStringLiteral("水"));
        QCOMPARE(diary->CellText(6, 0), QStringLiteral("火"));
        QCOMPARE(DayOfWeek(diary->CellDate(0, 3)), 4);  // Wednesday under 水
        diary->SetStartOfWeek(7);                       // outside 0..6: kept
        QCOMPARE(diary->StartOfWeek(), 3);
        QVERIFY(log.Events.isEmpty());
    }

    void DateEvents_data() {
        QTest::addColumn<int32_t>("to");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("same day: nothing") << D(2015, 2, 14) << QStringList();
        QTest::newRow("same month: date only") << D(2015, 2, 3) << QStringList{"date 2-3"};
        QTest::newRow("other month: month first")
            << D(2015, 3, 3) << QStringList{"month 3", "date 3-3"};
        QTest::newRow("same day and month of another year")
            << D(2016, 2, 14) << QStringList{"month 2", "date 2-14"};
    }
    void DateEvents() {
        QFETCH(int32_t, to);
        QFETCH(QStringList, events);
        auto diary = MakeDiary(D(2015, 2, 14));
        TEventLog log;
        log.Attach(*diary);
        diary->SetCalendarDate(to);
        QCOMPARE(log.Events, events);
    }

    void MonthAndPartSteps_data() {
        QTest::addColumn<int32_t>("from");
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("value");
        QTest::addColumn<int32_t>("to");
        // Expected days: the target month's length caps the day (Gregorian calendar).
        QTest::newRow("next month from 31 Jan")
            << D(2015, 1, 31) << "month+" << 1 << D(2015, 2, 28);
        QTest::newRow("next month from 31 Jan, leap")
            << D(2016, 1, 31) << "month+" << 1 << D(2016, 2, 29);
        QTest::newRow("previous month from Jan")
            << D(2015, 1, 15) << "month+" << -1 << D(2014, 12, 15);
        QTest::newRow("next month from Dec") << D(2015, 12, 31) << "month+" << 1 << D(2016, 1, 31);
        QTest::newRow("next year from 29 Feb") << D(2016, 2, 29) << "year+" << 1 << D(2017, 2, 28);
        QTest::newRow("Month 2 from 31 Jan") << D(2015, 1, 31) << "Month" << 2 << D(2015, 2, 28);
        QTest::newRow("Month 13 refused") << D(2015, 1, 31) << "Month" << 13 << D(2015, 1, 31);
        QTest::newRow("Day 31 in April refused") << D(2015, 4, 10) << "Day" << 31 << D(2015, 4, 10);
        QTest::newRow("Day 0 refused") << D(2015, 4, 10) << "Day" << 0 << D(2015, 4, 10);
        QTest::newRow("Day 30 in April") << D(2015, 4, 10) << "Day" << 30 << D(2015, 4, 30);
        QTest::newRow("Year from 29 Feb") << D(2016, 2, 29) << "Year" << 2015 << D(2015, 2, 28);
    }
    void MonthAndPartSteps() {
        QFETCH(int32_t, from);
        QFETCH(QString, step);
        QFETCH(int, value);
        QFETCH(int32_t, to);
        auto diary = MakeDiary(from);
        if (step == "month+") {
            diary->MoveMonth(0, value);
        } else if (step == "year+") {
            diary->MoveMonth(value, 0);
        } else if (step == "Month") {
            diary->SetMonth(value);
        } else if (step == "Day") {
            diary->SetDay(value);
        } else {
            diary->SetYear(value);
        }
        QCOMPARE(WholeDay(diary->CalendarDate()), to);
    }

    void SizeRule() {
        // Design width 230 with the 2-pixel border: client 226, right-hand columns take the rest.
        const auto sizes = DiaryCellSizes(226, 131, 12, 1);
        QCOMPARE(sizes.ColWidths, (std::array<int, 7>{31, 31, 31, 31, 31, 32, 32}));
        QCOMPARE(sizes.RowHeights, (std::array<int, 7>{16, 18, 18, 18, 18, 18, 18}));
        auto diary = MakeDiary(D(2015, 2, 14), 0, QSize(230, 135));
        QCOMPARE(diary->CellRect(5, 0).width(), 32);
        QCOMPARE(diary->CellRect(6, 6).right(), 230 - 2 - 1 - 1);
    }

    void Colours_data() {
        QTest::addColumn<int32_t>("date");
        QTest::addColumn<uint32_t>("background");
        QTest::newRow("weekday") << D(2015, 2, 12) << 0x00FFFFFFu;
        QTest::newRow("Sunday") << D(2015, 2, 8) << 0x00EEEEFFu;
        QTest::newRow("Saturday") << D(2015, 2, 7) << 0x00FFDDDDu;
        QTest::newRow("holiday from the file") << D(2015, 2, 11) << 0x00EEEEFFu;
        QTest::newRow("today") << D(2015, 2, 18) << 0x00FFFF00u;
        QTest::newRow("next month") << D(2015, 3, 4) << 0x00DDDDDDu;
        QTest::newRow("holiday next month stays grey") << D(2015, 3, 11) << 0x00DDDDDDu;
    }
    void Colours() {
        QFETCH(int32_t, date);
        QFETCH(uint32_t, background);
        QTemporaryDir dir;
        auto diary = MakeDiary(D(2015, 2, 14));
        diary->SetHolidayColor(0x00EEEEFF);  // the main window's holiday colour
        diary->SetHolidayFileName(WriteHolidayFile(dir));
        diary->SetHolidayFileName(WriteHolidayFile(dir));  // loads again, keeps one rule each
        const QImage image = Render(*diary);
        QCOMPARE(QColor(image.pixel(BackgroundPoint(*diary, date))), ToQColor(background));
    }

    void HolidayTextAndCaches() {
        QTemporaryDir dir;
        auto diary = MakeDiary(D(2015, 2, 11));
        QVERIFY(diary->HolidayText().isEmpty());
        diary->SetHolidayFileName(WriteHolidayFile(dir));
        QCOMPARE(diary->HolidayText(), QStringLiteral("建国記念の日"));
        // A file that stops with a conversion error: the error reaches the caller, and the grid
        // paints by the rules read before it.
        const QString bad = dir.filePath(QStringLiteral("bad.hol"));
        SafeWriteFile(QFile::encodeName(bad).toStdString(),
                      Sjis("2,14,0,1967,9999,0,テスト\r\n2,x,0,1967,9999,0,壊れ\r\n"));
        QVERIFY_THROWS_EXCEPTION(VelmoraError, diary->SetHolidayFileName(bad));
        QCOMPARE(diary->HolidayFileName(), bad);
        const QImage image = Render(*diary);
        QCOMPARE(QColor(image.pixel(BackgroundPoint(*diary, D(2015, 2, 14)))),
                 ToQColor(diary->HolidayColor()));
        QCOMPARE(QColor(image.pixel(BackgroundPoint(*diary, D(2015, 2, 12)))),
                 ToQColor(0x00FFFFFF));
    }

    void ShippedHolidayFile_data() {
        QTest::addColumn<int32_t>("date");
        QTest::addColumn<QString>("text");
        // Holidays of 2015 by the holiday law.
        QTest::newRow("fixed date") << D(2015, 2, 11) << QStringLiteral("建国記念の日");
        QTest::newRow("second Monday") << D(2015, 1, 12) << QStringLiteral("成人の日");
        QTest::newRow("spring equinox") << D(2015, 3, 21) << QStringLiteral("春分の日");
        QTest::newRow("ordinary day") << D(2015, 2, 12) << QString();
    }
    void ShippedHolidayFile() {
        QFETCH(int32_t, date);
        QFETCH(QString, text);
        auto diary = MakeDiary(date);
        diary->SetHolidayFileName(QStringLiteral(VELMORA_TEST_DATA "/../../data/Velmora.hol"));
        QCOMPARE(diary->HolidayText(), text);
        const QColor expected =
            ToQColor(text.isEmpty() ? diary->WeekColor(DayOfWeek(date)) : diary->HolidayColor());
        QCOMPARE(QColor(Render(*diary).pixel(BackgroundPoint(*diary, date))), expected);
    }

    void WeekColorIndexRange() {
        TDiary diary;
        QCOMPARE(diary.WeekColor(0), 0u);
        QCOMPARE(diary.WeekColor(8), 0u);
        diary.SetWeekColor(8, 0x123456);
        diary.SetWeekColor(2, 0x123456);
        QCOMPARE(diary.WeekColor(2), 0x123456u);
        QCOMPARE(diary.WeekColor(1), 0x00EEEEFFu);
    }

    void Marks_data() {
        QTest::addColumn<int>("marks");
        QTest::addColumn<QList<int>>("shapesDrawn");
        // Every field of a day filled: text, news, title, private, weather, extra (bits 0..5).
        QTest::newRow("every field") << 0x3F << QList<int>{0, 1, 2, 3};
        QTest::newRow("only bits 4..7") << 0xF0 << QList<int>{};
        QTest::newRow("circle and two triangles") << 0x0A << QList<int>{1, 3};
    }
    void Marks() {
        QFETCH(int, marks);
        QFETCH(QList<int>, shapesDrawn);
        // Each mark keeps its own slot whatever else the day holds: the ink of the day's marks
        // is the ink of each mark drawn alone.
        auto diary = MakeDiary(D(2015, 2, 14));
        const int32_t day = D(2015, 2, 12);
        int shown = 0;
        diary->OnEventDefine = [&](TDiary*, double date) {
            return static_cast<uint8_t>(WholeDay(date) == day ? shown : 0);
        };
        const QRect cell = CellOf(*diary, day);
        const QColor blue = ToQColor(diary->EventColor());
        shown = marks;
        const QImage image = Render(*diary);
        QRect expected;
        for (const int bit : shapesDrawn) {
            shown = 1 << bit;
            expected |= InkBox(Render(*diary), cell, blue);
        }
        QCOMPARE(InkBox(image, cell, blue), expected);
        // Any bit makes the number bold: the number's pixels differ from the plain drawing.
        diary->OnEventDefine = nullptr;
        const QImage plain = Render(*diary);
        const QRect number(cell.topLeft(), QSize(14, 10));
        QCOMPARE(plain.copy(number) != image.copy(number), marks != 0);
    }

    // Every day shows all four marks, each apart from the others and from the day number, at
    // the design size (where days from the 10th on used to lose two of them) and larger.
    void AllFourMarksOnEveryDay_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int32_t>("day");
        QTest::newRow("design size, day 5") << DesignSize << D(2015, 2, 5);
        QTest::newRow("design size, day 26") << DesignSize << D(2015, 2, 26);
        QTest::newRow("design size, today") << DesignSize << D(2015, 2, 18);
        QTest::newRow("larger, day 26") << QSize(400, 300) << D(2015, 2, 26);
    }
    void AllFourMarksOnEveryDay() {
        QFETCH(QSize, size);
        QFETCH(int32_t, day);
        auto diary = MakeDiary(D(2015, 2, 14), 0, size);
        int shown = 0;
        diary->OnEventDefine = [&](TDiary*, double date) {
            return static_cast<uint8_t>(WholeDay(date) == day ? shown : 0);
        };
        const QRect cell = CellOf(*diary, day);
        const QColor blue = ToQColor(diary->EventColor());
        shown = 0x0F;
        const QRect number = InkBox(Render(*diary), cell, Qt::black);
        QVERIFY(number.isValid());
        QList<QRect> boxes;
        for (int bit = 0; bit < 4; ++bit) {
            shown = 1 << bit;
            const QRect box = InkBox(Render(*diary), cell, blue);
            QVERIFY2(box.width() >= 4 && box.height() >= 4, qPrintable(QString::number(bit)));
            QVERIFY(cell.contains(box));
            QVERIFY(!box.intersects(number));
            for (const QRect& other : boxes) {
                QVERIFY(!box.intersects(other));
            }
            boxes.append(box);
        }
        shown = 0x0F;
        QDir().mkpath(QStringLiteral(VELMORA_PNG_DIR));
        QVERIFY(Render(*diary).save(QStringLiteral(VELMORA_PNG_DIR "/diary-grid-%1x%2.png")
                                        .arg(size.width())
                                        .arg(size.height())));
    }

    // The owner's band: the label whole at the bottom right or not at all, the picture a
    // square at the bottom left in the room the label leaves.
    void BandParts_data() {
        QTest::addColumn<QRect>("band");
        QTest::addColumn<QSize>("label");
        QTest::addColumn<QRect>("labelAt");
        QTest::addColumn<QRect>("pictureAt");
        QTest::newRow("room for both, the picture at its largest")
            << QRect(0, 20, 50, 30) << QSize(18, 10) << QRect(32, 40, 18, 10)
            << QRect(0, 26, 24, 24);
        QTest::newRow("a label taller than the band is left out, not cut")
            << QRect(0, 20, 50, 8) << QSize(18, 10) << QRect() << QRect(0, 20, 8, 8);
        QTest::newRow("a label wider than the band is left out")
            << QRect(0, 0, 15, 20) << QSize(18, 10) << QRect() << QRect(0, 5, 15, 15);
        QTest::newRow("a picture below the least size is left out")
            << QRect(0, 0, 24, 10) << QSize(18, 10) << QRect(6, 0, 18, 10) << QRect();
        QTest::newRow("no label: the picture takes the band")
            << QRect(5, 0, 40, 30) << QSize() << QRect() << QRect(5, 6, 24, 24);
        QTest::newRow("an empty band holds nothing")
            << QRect(0, 0, 30, 0) << QSize(18, 10) << QRect() << QRect();
    }
    void BandParts() {
        QFETCH(QRect, band);
        QFETCH(QSize, label);
        QFETCH(QRect, labelAt);
        QFETCH(QRect, pictureAt);
        const TDiaryBandParts parts = DiaryBandParts(band, label, 6, 24);
        QCOMPARE(parts.Label, labelAt);
        QCOMPARE(parts.Picture, pictureAt);
    }

    // Whatever the cell's size, every part that is shown lies within the cell and on no other.
    void CellPartsNeverOverlapAtAnySize_data() {
        QTest::addColumn<QSize>("number");
        QTest::addColumn<QSize>("label");
        QTest::newRow("the window's font, the usual rokuyo") << QSize(15, 10) << QSize(18, 10);
        QTest::newRow("the window's font, the smallest rokuyo") << QSize(15, 10) << QSize(14, 8);
        QTest::newRow("a large font") << QSize(30, 22) << QSize(26, 14);
    }
    void CellPartsNeverOverlapAtAnySize() {
        QFETCH(QSize, number);
        QFETCH(QSize, label);
        for (int width = 10; width <= 90; ++width) {
            for (int height = 8; height <= 70; ++height) {
                const QRect cell(3, 5, width, height);
                const TDiaryCellParts parts = DiaryCellParts(cell, number.width(), number.height());
                const TDiaryBandParts band = DiaryBandParts(parts.Owner, label, 6, 24);
                const QList<QRect> shown = {parts.Number,   parts.Marks[0], parts.Marks[1],
                                            parts.Marks[2], parts.Marks[3], band.Label,
                                            band.Picture};
                const QString where = QStringLiteral("%1x%2").arg(width).arg(height);
                QVERIFY2(cell.contains(parts.Owner) || parts.Owner.isEmpty(), qPrintable(where));
                for (qsizetype i = 0; i < shown.size(); ++i) {
                    if (shown[i].isEmpty())
                        continue;
                    // The number and the marks may outgrow a cell too small for them; the
                    // owner's parts never do.
                    if (i >= 5)
                        QVERIFY2(parts.Owner.contains(shown[i]), qPrintable(where));
                    for (qsizetype j = i + 1; j < shown.size(); ++j)
                        QVERIFY2(
                            !shown[i].intersects(shown[j]),
                            qPrintable(where + QStringLiteral(": parts %1 and %2").arg(i).arg(j)));
                }
            }
        }
    }

    void OwnerDrawsEveryDayCell_data() {
        QTest::addColumn<int32_t>("date");
        QTest::newRow("February 2015") << D(2015, 2, 14);
        // 1 January 1900 is a Monday: the Sunday before it is day 1, the Saturday day 0, and
        // the days before them are negative.
        QTest::newRow("January 1900 after days of December 1899") << D(1900, 1, 15);
    }
    void OwnerDrawsEveryDayCell() {
        QFETCH(int32_t, date);
        auto diary = MakeDiary(date);
        struct TCall {
            qint64 Date;
            bool ThisMonth;
            QRect Rect;
            bool Italic;
        };
        QList<TCall> calls;
        bool signedDates = true;
        diary->OnDrawCell = [&](TDiary*, auto day, bool thisMonth, QPainter& canvas,
                                const QRect& rect) {
            signedDates = signedDates && std::is_signed_v<decltype(day)>;
            calls.append({day, thisMonth, rect, canvas.font().italic()});
        };
        Render(*diary);
        QVERIFY(signedDates);
        QCOMPARE(calls.size(), 42);
        for (const TCall& call : calls) {
            const QRect cell = CellOf(*diary, static_cast<int32_t>(call.Date));
            QVERIFY2(cell.isValid(), qPrintable(QString::number(call.Date)));
            // The band below the number and marks, across the cell to its bottom.
            QCOMPARE(call.Rect.left(), cell.left() + 1);
            QCOMPARE(call.Rect.right(), cell.right() - 1);
            QCOMPARE(call.Rect.bottom(), cell.bottom());
            QVERIFY(call.Rect.top() >= cell.top() + 8);
            QVERIFY(call.Rect.height() >= 8);
            QCOMPARE(call.ThisMonth,
                     DecodeDate(static_cast<int32_t>(call.Date)).Month == diary->Month());
            QCOMPARE(call.Italic, !call.ThisMonth);
        }
    }

    // Every way of moving the date stays within 1900-01-01 .. 2100-12-31, with the old calendar
    // drawn into every cell (as "ROKUYO" does in the window) and without.
    void PagingStaysWithinTheRange_data() {
        QTest::addColumn<int32_t>("from");
        QTest::addColumn<QString>("action");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("rokuyo");
        QTest::addColumn<int32_t>("to");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const auto at = [](int y, int m, int d) { return double(D(y, m, d)); };
        const struct {
            const char* name;
            int32_t from;
            const char* action;
            double value;
            int32_t to;
        } cases[] = {
            {"month back from February 1900", D(1900, 2, 15), "month", -1, D(1900, 1, 15)},
            {"month back from January 1900", D(1900, 1, 15), "month", -1, D(1900, 1, 1)},
            {"year back from June 1900", D(1900, 6, 15), "year", -1, D(1900, 1, 1)},
            {"Year 1899", D(1900, 6, 15), "Year", 1899, D(1900, 1, 1)},
            {"the day before day 0", D(1900, 1, 15), "set", -1, D(1900, 1, 1)},
            {"the int32 minimum", D(1900, 1, 15), "set", std::numeric_limits<int32_t>::min(),
             D(1900, 1, 1)},
            {"not a number", D(2015, 2, 14), "set", nan, D(1900, 1, 1)},
            {"click on 31 December 1899 from the 15th", D(1900, 1, 15), "click", at(1899, 12, 31),
             D(1900, 1, 1)},
            {"click on 31 December 1899 from the 1st", D(1900, 1, 1), "click", at(1899, 12, 31),
             D(1900, 1, 1)},
            {"ctrl+home onto 31 December 1899", D(1900, 1, 15), "ctrl+home", 0, D(1900, 1, 1)},
            {"today before the range", D(2015, 2, 14), "today", at(1850, 6, 1), D(1900, 1, 1)},
            {"month on from November 2100", D(2100, 11, 30), "month", 1, D(2100, 12, 30)},
            {"month on from December 2100", D(2100, 12, 15), "month", 1, D(2100, 12, 31)},
            {"year on from June 2100", D(2100, 6, 15), "year", 1, D(2100, 12, 31)},
            {"Year 2101", D(2100, 6, 15), "Year", 2101, D(2100, 12, 31)},
            {"the day -1 read as unsigned", D(2015, 2, 14), "set", 4294967295.0, D(2100, 12, 31)},
            {"the int32 maximum", D(2015, 2, 14), "set", std::numeric_limits<int32_t>::max(),
             D(2100, 12, 31)},
            {"noon of the last day", D(2015, 2, 14), "set", D(2100, 12, 31) + 0.5, D(2100, 12, 31)},
            {"click on 1 January 2101 from the 31st", D(2100, 12, 31), "click", at(2101, 1, 1),
             D(2100, 12, 31)},
            {"ctrl+end into January 2101", D(2100, 12, 15), "ctrl+end", 0, D(2100, 12, 31)},
            {"today after the range", D(2015, 2, 14), "today", at(2150, 6, 1), D(2100, 12, 31)},
        };
        for (const bool rokuyo : {false, true}) {
            for (const auto& c : cases) {
                QTest::addRow("%s, rokuyo %s", c.name, rokuyo ? "on" : "off")
                    << c.from << QString::fromLatin1(c.action) << c.value << rokuyo << c.to;
            }
        }
    }
    void PagingStaysWithinTheRange() {
        QFETCH(int32_t, from);
        QFETCH(QString, action);
        QFETCH(double, value);
        QFETCH(bool, rokuyo);
        QFETCH(int32_t, to);
        QCOMPARE(kFirstDiaryDay, D(1900, 1, 1));
        QCOMPARE(kLastDiaryDay, D(2100, 12, 31));
        auto diary = MakeDiary(from);
        TKyureki kyureki;
        QList<qint64> unnamed;
        if (rokuyo) {
            diary->OnDrawCell = [&](TDiary*, auto date, bool, QPainter&, const QRect&) {
                kyureki.Calculate(date);
                if (kyureki.RokuyoName().empty()) {
                    unnamed.append(date);
                }
            };
        }
        if (action == "month") {
            diary->MoveMonth(0, static_cast<int>(value));
        } else if (action == "year") {
            diary->MoveMonth(static_cast<int>(value), 0);
        } else if (action == "Year") {
            diary->SetYear(static_cast<int>(value));
        } else if (action == "set") {
            diary->SetCalendarDate(value);
        } else if (action == "click") {
            const QRect cell = CellOf(*diary, static_cast<int32_t>(value));
            QVERIFY(cell.isValid());
            QTest::mouseClick(diary.get(), Qt::LeftButton, {}, cell.center());
        } else if (action == "ctrl+home" || action == "ctrl+end") {
            QTest::keyClick(diary.get(), action == "ctrl+home" ? Qt::Key_Home : Qt::Key_End,
                            Qt::ControlModifier);
        } else {
            SetTodayForTesting(static_cast<int32_t>(value));
            diary = std::make_unique<TDiary>();
            QCOMPARE(WholeDay(diary->CalendarDate()), to);
            diary->SetCalendarDate(D(2015, 2, 14));
            diary->SetCalendarDate(Today());
        }
        Render(*diary);
        QCOMPARE(WholeDay(diary->CalendarDate()), to);
        QVERIFY(diary->FirstOfMonth() >= D(1900, 1, 1));
        QVERIFY(diary->FirstOfMonth() <= D(2100, 12, 1));
        const TDiaryCell cell = diary->CurrentCell();
        QCOMPARE(diary->CellDate(cell.Col, cell.Row), to);
        // The old calendar is reckoned for every day the grid shows, December 1899 included.
        QCOMPARE(unnamed, QList<qint64>());
    }

    void RokuyoThroughOwnerDrawing() {
        QTemporaryDir dir;
        auto diary = MakeDiary(D(2015, 2, 14), 0, QSize(472, 270));
        diary->SetHolidayColor(0x00EEEEFF);
        diary->SetHolidayFileName(WriteHolidayFile(dir));
        diary->OnEventDefine = [](TDiary*, double date) {
            return static_cast<uint8_t>(WholeDay(date) % 5 == 0 ? 0x3F : WholeDay(date) % 3);
        };
        TKyureki kyureki;
        diary->OnDrawCell = [&](TDiary*, int32_t date, bool thisMonth, QPainter& canvas,
                                const QRect& rect) {
            kyureki.Calculate(date);
            QFont font = canvas.font();
            font.setPointSize(7);
            canvas.setFont(font);
            canvas.setPen(!thisMonth                  ? QColor(192, 192, 192)
                          : kyureki.RokuyoKind() == 1 ? QColor(255, 0, 0)
                                                      : QColor(128, 128, 128));
            canvas.drawText(rect, Qt::AlignRight | Qt::AlignBottom,
                            FromCp932(kyureki.RokuyoName()));
        };
        const QImage image = Render(*diary);
        // Find a 大安 day of the month; its bottom-right corner holds red text.
        int32_t taian = -1;
        for (int32_t d = D(2015, 2, 1); d <= D(2015, 2, 28) && taian < 0; ++d) {
            kyureki.Calculate(d);
            if (kyureki.RokuyoKind() == 1) {
                taian = d;
            }
        }
        QVERIFY(taian > 0);
        const QRect corner = CellOf(*diary, taian).adjusted(20, 15, -1, -1);
        int red = 0;
        for (int y = corner.top(); y <= corner.bottom(); ++y) {
            for (int x = corner.left(); x <= corner.right(); ++x) {
                const QColor c(image.pixel(x, y));
                red += c.red() > 200 && c.green() < 120;
            }
        }
        QVERIFY(red > 5);
        QDir().mkpath(QStringLiteral(VELMORA_PNG_DIR));
        QVERIFY(image.save(QStringLiteral(VELMORA_PNG_DIR "/diary-grid.png")));
    }

    void KeyboardNavigation_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int32_t>("to");
        QTest::addColumn<QStringList>("events");
        // From Wednesday 18 Feb 2015 (column 3, week row 3) with Sunday first.
        QTest::newRow("right") << int(Qt::Key_Right) << 0 << D(2015, 2, 19)
                               << QStringList{"date 2-19"};
        QTest::newRow("up") << int(Qt::Key_Up) << 0 << D(2015, 2, 11) << QStringList{"date 2-11"};
        QTest::newRow("home") << int(Qt::Key_Home) << 0 << D(2015, 2, 15)
                              << QStringList{"date 2-15"};
        QTest::newRow("page down pages a month")
            << int(Qt::Key_PageDown) << 0 << D(2015, 3, 18) << QStringList{"month 3", "date 3-18"};
        QTest::newRow("page up pages a month back into the year before")
            << int(Qt::Key_PageUp) << 0 << D(2015, 1, 18) << QStringList{"month 1", "date 1-18"};
        QTest::newRow("ctrl+page down pages a year")
            << int(Qt::Key_PageDown) << int(Qt::ControlModifier) << D(2016, 2, 18)
            << QStringList{"month 2", "date 2-18"};
        QTest::newRow("ctrl+page up pages a year back")
            << int(Qt::Key_PageUp) << int(Qt::ControlModifier) << D(2014, 2, 18)
            << QStringList{"month 2", "date 2-18"};
        QTest::newRow("ctrl+home") << int(Qt::Key_Home) << int(Qt::ControlModifier) << D(2015, 2, 1)
                                   << QStringList{"date 2-1"};
        QTest::newRow("other keys do nothing")
            << int(Qt::Key_A) << 0 << D(2015, 2, 18) << QStringList();
    }
    void KeyboardNavigation() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int32_t, to);
        QFETCH(QStringList, events);
        auto diary = MakeDiary(D(2015, 2, 18));
        TEventLog log;
        log.Attach(*diary);
        QTest::keyClick(diary.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(WholeDay(diary->CalendarDate()), to);
        QCOMPARE(log.Events, events);
        const TDiaryCell cell = diary->CurrentCell();
        QCOMPARE(diary->CellDate(cell.Col, cell.Row), to);
    }

    void PagingKeysKeepTheDayWithinTheMonth_data() {
        QTest::addColumn<int32_t>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int32_t>("to");
        QTest::newRow("31 January to February")
            << D(2015, 1, 31) << int(Qt::Key_PageDown) << 0 << D(2015, 2, 28);
        QTest::newRow("31 March back to February of a leap year")
            << D(2016, 3, 31) << int(Qt::Key_PageUp) << 0 << D(2016, 2, 29);
        QTest::newRow("29 February a year on") << D(2016, 2, 29) << int(Qt::Key_PageDown)
                                               << int(Qt::ControlModifier) << D(2017, 2, 28);
        QTest::newRow("December to January")
            << D(2015, 12, 5) << int(Qt::Key_PageDown) << 0 << D(2016, 1, 5);
    }
    void PagingKeysKeepTheDayWithinTheMonth() {
        QFETCH(int32_t, from);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int32_t, to);
        auto diary = MakeDiary(from);
        QTest::keyClick(diary.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(WholeDay(diary->CalendarDate()), to);
    }

    void KeysStopAtTheEdgesAndFollowAutoChange() {
        auto diary = MakeDiary(D(2015, 2, 1));  // column 0, week row 1
        TEventLog log;
        log.Attach(*diary);
        QTest::keyClick(diary.get(), Qt::Key_Left);
        QTest::keyClick(diary.get(), Qt::Key_Up);
        QCOMPARE(WholeDay(diary->CalendarDate()), D(2015, 2, 1));
        QVERIFY(log.Events.isEmpty());
        diary->SetAutoChange(false);
        QTest::keyClick(diary.get(), Qt::Key_Right);
        QCOMPARE(diary->CurrentCell().Col, 1);
        QCOMPARE(WholeDay(diary->CalendarDate()), D(2015, 2, 1));
        QTest::keyClick(diary.get(), Qt::Key_PageDown);
        QCOMPARE(WholeDay(diary->CalendarDate()), D(2015, 2, 1));
    }

    void Clicks_data() {
        QTest::addColumn<int32_t>("target");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("a day of the month") << D(2015, 2, 26) << QStringList{"date 2-26"};
        QTest::newRow("a grey day pages the grid")
            << D(2015, 1, 31) << QStringList{"month 1", "date 1-31"};
        QTest::newRow("the current day again") << D(2015, 2, 18) << QStringList();
    }
    void Clicks() {
        QFETCH(int32_t, target);
        QFETCH(QStringList, events);
        auto diary = MakeDiary(D(2015, 2, 18), 1);  // Monday first: 26..31 January in week 1
        TEventLog log;
        log.Attach(*diary);
        QTest::mouseClick(diary.get(), Qt::LeftButton, {}, CellOf(*diary, target).center());
        QCOMPARE(WholeDay(diary->CalendarDate()), target);
        QCOMPARE(log.Events, events);
        // The header row never becomes current.
        QTest::mouseClick(diary.get(), Qt::LeftButton, {}, diary->CellRect(2, 0).center());
        QCOMPARE(WholeDay(diary->CalendarDate()), target);
    }
};

QTEST_MAIN(DiaryTest)
#include "DiaryTest.moc"
