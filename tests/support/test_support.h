// Small helpers shared by the test programs.
#pragma once
#include <QString>
#include <QTemporaryDir>

namespace test {

// Folder of checked-in test files (tests/data).
inline QString DataDir() { return qEnvironmentVariable("TALLYROOK_TEST_DATA"); }

// Folder of a fuzz target's corpus (tests/fuzz/corpus/Name).
inline QString FuzzCorpusDir(const QString &name) {
  return QStringLiteral(TALLYROOK_SOURCE_DIR "/tests/fuzz/corpus/") + name;
}

} // namespace test
