// libFuzzer target: arbitrary bytes as a key-table file, a stored command processor or an edit mask
// (tests/fuzz/control_inputs_fuzz_entry.h). tests/controls runs the corpus through the same entry.
#include "tests/fuzz/control_inputs_fuzz_entry.h"
#include "tests/fuzz/fuzz_leak_suppressions.h"
#include <QApplication>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  // The masked edit is a widget (without a display).
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  return fuzz::RunControlInput(data, size);
}
