#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

// The benchmarks draw real windows, offscreen, so they need an application.
inline int runBenchmarksWithApplication(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
