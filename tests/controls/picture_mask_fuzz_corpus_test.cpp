// Runs every input of the picture-mask fuzzer's corpus through the fuzzer's own entry, so that the normal
// build checks the corpus (including inputs that once failed) without clang.
#include "tests/controls/picture_mask_fuzz_entry.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(PictureMaskFuzzCorpus, EveryInputRunsWithoutFault) {
  const QDir dir(QDir::cleanPath(qEnvironmentVariable("TALLYROOK_TEST_DATA") +
                                 QStringLiteral("/../fuzz/corpus/picture_mask")));
  const QStringList files = dir.entryList(QDir::Files, QDir::Name);
  ASSERT_FALSE(files.isEmpty()) << dir.path().toStdString();
  for (const QString &name : files) {
    SCOPED_TRACE(name.toStdString());
    QFile file(dir.absoluteFilePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray input = file.readAll();
    EXPECT_EQ(fuzz::RunPictureMaskInput(reinterpret_cast<const std::uint8_t *>(input.constData()),
                                        std::size_t(input.size())),
              0);
  }
}

} // namespace
