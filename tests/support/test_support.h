// Small helpers shared by the test programs.
#pragma once
#include <QString>
#include <QTemporaryDir>

namespace test {

// Folder of checked-in test files (tests/data).
inline QString DataDir() { return qEnvironmentVariable("TALLYROOK_TEST_DATA"); }

} // namespace test
