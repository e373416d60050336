// Runs every input of the expression, template and prepared-report fuzzers' corpora through the fuzzers' own
// entries, so that the normal build checks the corpora (including inputs that once failed) without clang.
#include "tests/fuzz/expression_fuzzer.cpp"
#include "tests/report/loader_fuzz_entry.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

void RunCorpus(const char *name, int (*entry)(const uint8_t *, size_t)) {
  const QDir dir(QDir::cleanPath(qEnvironmentVariable("TALLYROOK_TEST_DATA") + "/../fuzz/corpus/" + name));
  const QStringList files = dir.entryList(QDir::Files, QDir::Name);
  ASSERT_FALSE(files.isEmpty()) << dir.path().toStdString();
  for (const QString &file : files) {
    SCOPED_TRACE(file.toStdString());
    QFile input(dir.absoluteFilePath(file));
    ASSERT_TRUE(input.open(QIODevice::ReadOnly));
    const QByteArray bytes = input.readAll();
    EXPECT_EQ(entry(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
    EXPECT_FALSE(ReportEngineStarted());
  }
  BindReportPrinter(nullptr);
  frModel().DocMode = dmDesigning;
}

TEST(FuzzCorpus, EveryExpressionTemplateAndPreparedReportInputRunsWithoutFault) {
  RunCorpus("expression", LLVMFuzzerTestOneInput);
  RunCorpus("template", fuzz::RunTemplateInput);
  RunCorpus("prepared", fuzz::RunPreparedInput);
}

} // namespace
