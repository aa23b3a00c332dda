// The start of the window over ten years of pages (TenYearDiary.h): from building the window until
// its first frame is painted, as a later start of the day finds the diary (today's copies made)
// and as the first start of the day does (the copies are made beside the window). The counters
// split the time into building the window and showing it; "cold" is the first window of the
// process, which also loads the fonts and the plugins the window needs. What comes before the
// window (the process, QApplication) is measured from outside, with the start-up tool.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>

#include "TenYearDiary.h"
#include "mainwindow/BackupRun.h"
#include "mainwindow/MainForm.h"
#include "settings/IniParam.h"
#include "storage/Clock.h"

namespace {

// Notes the first paint of any widget of the window.
class TFirstPaint : public QObject {
public:
    explicit TFirstPaint(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~TFirstPaint() override { qApp->removeEventFilter(this); }
    bool Painted() const { return painted_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == window_)
            painted_ = true;
        return false;
    }

private:
    QWidget* window_;
    bool painted_ = false;
};

class TDiaryFolder {
public:
    TDiaryFolder() {
        std::string holidays;
        ReadWholeFile(VELMORA_SHIPPED_HOLIDAYS, holidays);
        tenyears::WriteDiary(Dir(), holidays);
    }
    std::string Dir() const { return QFile::encodeName(dir_.path()).toStdString() + "/"; }
    QString Executable() const { return dir_.filePath(QStringLiteral("Velmora")); }
    void RemoveBackups() const { std::filesystem::remove_all(Dir() + "backup"); }

private:
    QTemporaryDir dir_;
};

const TDiaryFolder& Diary() {
    static const TDiaryFolder folder;
    return folder;
}

struct TStartTimes {
    double Build = 0;  // seconds
    double Show = 0;
};

// Builds and shows the window, returns when its first frame is painted.
TStartTimes StartOnce(std::unique_ptr<TInitParam>& params, std::unique_ptr<TForm1>& form) {
    QElapsedTimer clock;
    clock.start();
    params = std::make_unique<TInitParam>();
    form = std::make_unique<TForm1>(*params, Diary().Executable());
    const qint64 built = clock.nsecsElapsed();
    TFirstPaint paint(form.get());
    form->show();
    while (!paint.Painted())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return {built / 1e9, (clock.nsecsElapsed() - built) / 1e9};
}

void StartToFirstFrame(benchmark::State& state, bool firstOfTheDay) {
    SetTodayForTesting(EncodeDate(tenyears::kLastYear, 12, 8));
    static const TStartTimes cold = [] {
        std::unique_ptr<TInitParam> params;
        std::unique_ptr<TForm1> form;
        const TStartTimes times = StartOnce(params, form);
        form->Backup().Finish();
        return times;
    }();
    TStartTimes total;
    for (auto _ : state) {
        state.PauseTiming();
        if (firstOfTheDay)
            Diary().RemoveBackups();
        std::unique_ptr<TInitParam> params;
        std::unique_ptr<TForm1> form;
        state.ResumeTiming();
        const TStartTimes times = StartOnce(params, form);
        state.PauseTiming();
        total.Build += times.Build;
        total.Show += times.Show;
        // The copies end before the next start, as they would between two starts of a day.
        form->Backup().Finish();
        form.reset();
        state.ResumeTiming();
    }
    const auto perStart = [&state](double seconds) {
        return benchmark::Counter(seconds * 1e3 / static_cast<double>(state.iterations()));
    };
    state.counters["build ms"] = perStart(total.Build);
    state.counters["show ms"] = perStart(total.Show);
    state.counters["cold ms"] = (cold.Build + cold.Show) * 1e3;
    SetTodayForTesting(std::nullopt);
}

void BM_StartToFirstFrame(benchmark::State& state) {
    StartToFirstFrame(state, false);
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond);

void BM_FirstStartOfTheDayToFirstFrame(benchmark::State& state) {
    StartToFirstFrame(state, true);
}
BENCHMARK(BM_FirstStartOfTheDayToFirstFrame)->Unit(benchmark::kMillisecond);

}  // namespace
