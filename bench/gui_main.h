// A main for benchmarks that need the window: a headless platform unless one is set, one
// QApplication, then the registered benchmarks.
#pragma once

#include <benchmark/benchmark.h>
#include <QApplication>

#define QUARVEL_BENCHMARK_GUI_MAIN()                                                             \
  int main(int argc, char** argv) {                                                              \
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen"); \
    QApplication app(argc, argv);                                                                \
    benchmark::Initialize(&argc, argv);                                                          \
    benchmark::RunSpecifiedBenchmarks();                                                         \
    benchmark::Shutdown();                                                                       \
    return 0;                                                                                    \
  }
