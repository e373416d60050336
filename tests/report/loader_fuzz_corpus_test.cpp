// Runs every input of the template and prepared-report fuzzers' corpora through the fuzzers' own entries, so
// that the normal build checks the corpora (including inputs that once failed) without clang.
#include "tests/report/loader_fuzz_entry.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QString CorpusDir(const QString &name) {
  return QDir::cleanPath(qEnvironmentVariable("TALLYROOK_TEST_DATA") + QStringLiteral("/../fuzz/corpus/") +
                         name);
}

void RunCorpus(const QString &name, int (*entry)(const uint8_t *, size_t)) {
  const QDir dir(CorpusDir(name));
  const QStringList files = dir.entryList(QDir::Files, QDir::Name);
  ASSERT_FALSE(files.isEmpty()) << CorpusDir(name).toStdString();
  for (const QString &file : files) {
    SCOPED_TRACE(file.toStdString());
    QFile input(dir.absoluteFilePath(file));
    ASSERT_TRUE(input.open(QIODevice::ReadOnly));
    const QByteArray bytes = input.readAll();
    EXPECT_EQ(entry(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
  }
  BindReportPrinter(nullptr);
  frModel().DocMode = dmDesigning;
}

TEST(LoaderFuzzCorpus, EveryTemplateInputRunsWithoutFault) {
  RunCorpus(QStringLiteral("template"), fuzz::RunTemplateInput);
}

TEST(LoaderFuzzCorpus, EveryPreparedReportInputRunsWithoutFault) {
  RunCorpus(QStringLiteral("prepared"), fuzz::RunPreparedInput);
}

} // namespace
