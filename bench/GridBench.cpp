// A full repaint of the month grid as the main window shows it: holidays from the shipped
// rules, marks on every other day, rokuyo and weather icons drawn through the owner hook, each
// either worked out for every cell as the window's hook does or remembered.

#include "bridge/TextCodec.h"
#include "calendar/QReki.h"
#include "controls/Diary.h"
#include "storage/DayNumber.h"
#include "widgets/WeatherIcons.h"

#include <benchmark/benchmark.h>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <unordered_map>
#include <utility>

namespace {

enum class TRokuyo { None, PerCell, CachedPerDay };
enum class TWeather { Painted, Cached };

// The window's cell hook: rokuyo bottom right, weather icon bottom left.
struct THook {
    TRokuyo Rokuyo;
    TWeather Weather;
    TKyureki Kyureki;
    std::unordered_map<int32_t, std::pair<int, bool>> Days;  // day -> rokuyo index, is 大安
    // The six names in the small font, measured once as the window does.
    std::array<QString, 6> Names;
    std::array<int, 6> Widths{};
    std::array<int, 6> InkBottoms{};

    std::pair<int, bool> RokuyoOf(int32_t date) {
        if (Rokuyo == TRokuyo::CachedPerDay) {
            if (const auto found = Days.find(date); found != Days.end()) {
                return found->second;
            }
        }
        Kyureki.Calculate(date);
        const std::pair<int, bool> made{Kyureki.RokuyoIndex(), Kyureki.RokuyoKind() == 1};
        if (Rokuyo == TRokuyo::CachedPerDay) {
            Days.emplace(date, made);
        }
        return made;
    }

    void Measure(const QFont& font) {
        if (!Names[0].isEmpty()) {
            return;
        }
        const QFontMetrics metrics(font);
        for (size_t i = 0; i < Names.size(); ++i) {
            Names[i] = FromCp932(RokuyoNameAt(static_cast<int>(i)));
            Widths[i] = metrics.horizontalAdvance(Names[i]);
            InkBottoms[i] = metrics.tightBoundingRect(Names[i]).bottom();
        }
    }

    // As the window draws: the rokuyo at 7 points bottom right of the band the grid leaves,
    // the weather picture bottom left in the room the rokuyo leaves.
    void Draw(int32_t date, bool thisMonth, QPainter& canvas, const QRect& rect) {
        int rokuyoWidth = 0;
        if (Rokuyo != TRokuyo::None) {
            QFont small = canvas.font();
            small.setPointSize(7);
            canvas.setFont(small);
            Measure(small);
            const auto [index, taian] = RokuyoOf(date);
            const size_t i = static_cast<size_t>(index);
            rokuyoWidth = Widths[i];
            canvas.setPen(!thisMonth ? QColor(192, 192, 192)
                          : taian    ? QColor(255, 0, 0)
                                     : QColor(128, 128, 128));
            canvas.drawText(QPoint(rect.right() + 1 - rokuyoWidth, rect.bottom() - InkBottoms[i]),
                            Names[i]);
        }
        const int weather = static_cast<int>(date % (WeatherCount() - 1));
        const int side = std::min({24, rect.height(), rect.width() - rokuyoWidth - 1});
        if (side < 6) {
            return;
        }
        const QRect box(rect.left(), rect.bottom() + 1 - side, side, side);
        if (Weather == TWeather::Painted) {
            PaintWeather(canvas, weather, box);
        } else {
            canvas.drawPixmap(box, WeatherPixmap(weather, canvas.device()->devicePixelRatioF()));
        }
    }
};

void Configure(TDiary& diary, THook& hook, const QSize& size) {
    QFont font = diary.font();
    font.setPixelSize(12);
    diary.setFont(font);
    diary.resize(size);
    diary.SetAutoChange(true);
    diary.SetHolidayColor(0x00EEEEFF);
    diary.SetHolidayFileName(QStringLiteral(VELMORA_SHIPPED_HOLIDAYS));
    diary.SetCalendarDate(EncodeDate(2015, 5, 14));
    diary.OnEventDefine = [](TDiary*, double date) {
        return static_cast<uint8_t>(WholeDay(date) % 2 ? 0x3F : 0);
    };
    diary.OnDrawCell = [&hook](TDiary*, int32_t date, bool thisMonth, QPainter& canvas,
                               const QRect& rect) { hook.Draw(date, thisMonth, canvas, rect); };
}

// args: width, height, rokuyo mode, weather mode
void BM_FullRepaint(benchmark::State& state) {
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    TDiary diary;
    THook hook{static_cast<TRokuyo>(state.range(2)),
               static_cast<TWeather>(state.range(3)),
               {},
               {},
               {},
               {},
               {}};
    Configure(diary, hook, size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        diary.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
// The design size of the grid and a larger window's; rokuyo off, computed for every cell on
// every repaint, and remembered per day; weather pictures painted for every cell or drawn from
// the picture made once. Rokuyo 1 with weather 0 is how the window's hook draws.
BENCHMARK(BM_FullRepaint)
    ->ArgNames({"w", "h", "rokuyo", "weather"})
    ->Args({236, 135, 0, 1})
    ->Args({236, 135, 0, 0})
    ->Args({236, 135, 1, 0})
    ->Args({236, 135, 2, 1})
    ->Args({472, 270, 2, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_PageMonthAndRepaint(benchmark::State& state) {
    TDiary diary;
    THook hook{static_cast<TRokuyo>(state.range(0)), TWeather::Cached, {}, {}, {}, {}, {}};
    Configure(diary, hook, QSize(236, 135));
    QImage image(diary.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        diary.MoveMonth(0, 1);
        diary.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
// Paging forward month by month: the holiday cells and the rokuyo of the new days are worked
// out afresh; rokuyo 1 is how the window's hook draws (the reckoner keeps a year of months).
BENCHMARK(BM_PageMonthAndRepaint)
    ->ArgName("rokuyo")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
