// What the benchmarks of windows and reports share: a Qt application on the offscreen platform around the
// run, a report prepared again in every iteration, and printed files kept for a look.
#pragma once
#include "report/report.h"
#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>

namespace gui_bench {

// Prepares Report in every iteration and counts its pages; a failure ends the benchmark with the report's
// error.
inline int PrepareEveryIteration(benchmark::State &state, TfrReport *Report) {
  for (auto _ : state)
    if (!Report->PrepareReport()) {
      state.SkipWithError(("preparation failed: " + Report->ErrorText()).toStdString().c_str());
      break;
    }
  const int pages = Report->EMFPages().Count();
  state.counters["pages"] = pages;
  return pages;
}

// For a look, or to compare two builds' output: TALLYROOK_KEEP_PDF names a folder to keep printed files in,
// each under the name given.
inline void KeepForALook(const QString &File, const QString &Name) {
  const QString keep = qEnvironmentVariable("TALLYROOK_KEEP_PDF");
  if (keep.isEmpty()) return;
  QFile::remove(keep + u'/' + Name);
  QFile::copy(File, keep + u'/' + Name);
}

// The benchmarks' main: the offscreen platform unless another is asked for, and AtEnd run before the
// application goes.
inline int RunBenchmarks(int argc, char **argv, void (*AtEnd)() = nullptr) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (AtEnd) AtEnd();
  return 0;
}

} // namespace gui_bench
