// What the Qt widget's benchmarks share: host services that answer every message box at once
// (counting them, since a measured control that showed one must not pass as a fast one) and do
// not pause, with the redraw ticks left to the benchmark; and a main that runs the benchmarks on
// the off-screen platform unless another one is chosen.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include "TarnSchedule/ScheduleWidget.h"

namespace tarn::bench {

/// Message boxes the control showed since the program started.
inline int messageBoxes = 0;

inline ScheduleHostServices QuietServices() {
    ScheduleHostServices services;
    services.messageBox = [](const QString&, int, const QString&) { ++messageBoxes; };
    services.sleep = [](int) {};
    services.manualTimer = true;
    return services;
}

/// Creates the QApplication, then runs the benchmarks the command line selects.
inline int RunQtBenchmarks(int argc, char** argv) {
    // No display is needed: the widget runs on the off-screen platform unless one is chosen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace tarn::bench
