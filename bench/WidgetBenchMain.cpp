// The main of the benchmarks that need widgets: an application on the offscreen platform, with
// the Japanese faces the window uses, around the registered benchmarks.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "bridge/Fonts.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
