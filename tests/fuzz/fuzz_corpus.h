// Runs every input of a fuzz target's corpus (tests/fuzz/corpus/<name>) through the target's own entry, so
// that the normal build checks the corpora, inputs that once failed included, without clang.
#pragma once
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>

namespace fuzz {

// AfterEach, when given, checks what each input must leave behind.
inline void RunCorpus(const char *name, int (*entry)(const uint8_t *, size_t),
                      const std::function<void()> &afterEach = {}) {
  // Beside the test data folder (the source file's own path may be relative to the build folder).
  const QString path = QDir::cleanPath(qEnvironmentVariable("TALLYROOK_TEST_DATA") +
                                       QStringLiteral("/../fuzz/corpus/") + QString::fromLatin1(name));
  const QDir dir(path);
  const QStringList files = dir.entryList(QDir::Files, QDir::Name);
  ASSERT_FALSE(files.isEmpty()) << path.toStdString();
  for (const QString &file : files) {
    SCOPED_TRACE(file.toStdString());
    QFile input(dir.absoluteFilePath(file));
    ASSERT_TRUE(input.open(QIODevice::ReadOnly));
    const QByteArray bytes = input.readAll();
    EXPECT_EQ(entry(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
    if (afterEach) afterEach();
  }
}

} // namespace fuzz
