// libFuzzer target: field kinds, masks and keystrokes (tests/fuzz/picture_mask_fuzz_entry.h).
// tests/controls runs the corpus through the same entry.
#include "tests/fuzz/picture_mask_fuzz_entry.h"
#include <QApplication>

// Qt's font and text-shaping caches keep allocations for the life of the process, and so do the application
// object and the shared default controller with their hidden windows.
extern "C" const char *__lsan_default_suppressions() {
  return "leak:libfontconfig\n"
         "leak:libQt6Gui\n"
         "leak:libharfbuzz\n"
         "leak:TApplication::TApplication\n"
         "leak:GetDefaultController\n"
         "leak:TOvcController::Handle\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  // The fields are windowed controls: the widget application, without a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  return fuzz::RunPictureMaskInput(data, size);
}
