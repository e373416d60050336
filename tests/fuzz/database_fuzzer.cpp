// libFuzzer target: arbitrary bytes as a data folder's tallyrook.db (tests/fuzz/database_fuzz_entry.h).
// tests/db runs the corpus through the same entry.
#include "tests/fuzz/database_fuzz_entry.h"
#include "tests/fuzz/fuzz_leak_suppressions.h"
#include <QCoreApplication>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  static QCoreApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  return fuzz::RunDatabaseInput(data, size);
}
