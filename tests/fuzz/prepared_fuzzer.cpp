// libFuzzer target: arbitrary bytes as a prepared-report file (tests/report/loader_fuzz_entry.h).
// tests/report runs the corpus through the same entry.
#include "tests/report/loader_fuzz_entry.h"
#include <QGuiApplication>

// The font library keeps a few allocations of its own for the life of the process.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  // Drawing the pages measures fonts, which needs the GUI application (without a display).
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  return fuzz::RunPreparedInput(data, size);
}
