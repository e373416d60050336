// Runs every input of the expression fuzzer's corpus through the fuzzer's own entry, so that the normal
// build checks the corpus (including inputs that once crashed) without clang.
#include "tests/fuzz/expression_fuzzer.cpp"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QString CorpusDir() {
  return QDir::cleanPath(qEnvironmentVariable("TALLYROOK_TEST_DATA") +
                         QStringLiteral("/../fuzz/corpus/expression"));
}

TEST(ExpressionFuzzCorpus, EveryInputRunsWithoutFault) {
  const QDir dir(CorpusDir());
  const QStringList files = dir.entryList(QDir::Files, QDir::Name);
  ASSERT_FALSE(files.isEmpty()) << CorpusDir().toStdString();
  for (const QString &name : files) {
    SCOPED_TRACE(name.toStdString());
    QFile file(dir.absoluteFilePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray input = file.readAll();
    EXPECT_EQ(
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size())),
        0);
    EXPECT_FALSE(ReportEngineStarted());
  }
}

} // namespace
