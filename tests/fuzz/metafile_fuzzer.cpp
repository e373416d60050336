// libFuzzer target: arbitrary bytes played as a metafile (tests/fuzz/metafile_fuzz_entry.h). tests/platform
// runs the corpus through the same entry.
#include "tests/fuzz/fuzz_leak_suppressions.h"
#include "tests/fuzz/metafile_fuzz_entry.h"
#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  // Drawing needs the GUI application (without a display).
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  return fuzz::RunMetafileInput(data, size);
}
