// The strings and string lists of the report streams (u16 length, bytes, a closing byte; characters outside
// the code page as marked UTF-8); the lists and the older forms are checked through the template stream.
#include "platform/core/streams.h"
#include "platform/core/string_list.h"
#include "report/stream_utils.h"
#include <gtest/gtest.h>

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray bytes;
  for (int v : values) bytes.append(char(v));
  return bytes;
}

QStringList Lines(const TStringList &list) {
  QStringList lines;
  for (int i = 0; i < list.Count(); ++i) lines << list[i];
  return lines;
}

TEST(ReportStreamStrings, TheCurrentFormWritesAndReadsBack) {
  const struct {
    QString text;
    QByteArray bytes;
  } strings[] = {
      {QString(), Bytes({0, 0, 0})},
      {QStringLiteral("€ü"), Bytes({2, 0, 0x80, 0xFC, 0})},
      // Characters outside the code page, and a text that begins like the mark, are stored marked as UTF-8.
      {QStringLiteral("Łó"), Bytes({7, 0, 0xEF, 0xBB, 0xBF, 0xC5, 0x81, 0xC3, 0xB3, 0})},
      {QStringLiteral("ï»¿"), Bytes({9, 0, 0xEF, 0xBB, 0xBF, 0xC3, 0xAF, 0xC2, 0xBB, 0xC2, 0xBF, 0})}};
  for (const auto &c : strings) {
    TMemoryStream stream;
    WriteStreamString(&stream, c.text);
    EXPECT_EQ(stream.Bytes(), c.bytes);
    stream.SetPosition(0);
    EXPECT_EQ(ReadStreamString(&stream), c.text);
    EXPECT_EQ(stream.Position(), stream.Size());
  }
  // Reading skips the closing byte whatever it holds; a list ends at its separator, not at its count.
  TMemoryStream closing(Bytes({1, 0, 'x', 7, 'y'}));
  EXPECT_EQ(ReadStreamString(&closing), QStringLiteral("x"));
  EXPECT_EQ(closing.Position(), 4);
  TMemoryStream counted(Bytes({5, 0, 1, 0, 'a', 0, 'z'}));
  TStringList read;
  ReadStreamLines(&counted, &read);
  EXPECT_EQ(Lines(read), QStringList{"a"});
  EXPECT_EQ(counted.Position(), 6);
}

// Older lists: a last line without its line end is kept.
TEST(ReportStreamStrings, AnOlderListsLastLineNeedsNoLineEnd) {
  TMemoryStream stream(Bytes({'a', 13, 'b', 0}));
  TStringList read;
  ReadStreamLinesOld(&stream, &read);
  EXPECT_EQ(Lines(read), (QStringList{"a", "b"}));
}

TEST(ReportStreamStrings, AStreamEndingInsideAnItemAndTextsTheLengthCannotHoldAreRefused) {
  for (const QByteArray &bytes : {Bytes({3, 0, 'a'}), Bytes({1}), Bytes({1, 0, 'a'})}) {
    TMemoryStream stream(bytes);
    EXPECT_THROW(ReadStreamString(&stream), EReadError);
  }
  TMemoryStream list(Bytes({2, 0, 1, 0, 'a', 13}));
  TStringList read;
  EXPECT_THROW(ReadStreamLines(&list, &read), EReadError);
  TMemoryStream old(Bytes({'a', 'b'}));
  EXPECT_THROW(ReadStreamLinesOld(&old, &read), EReadError);

  TMemoryStream stream;
  WriteStreamString(&stream, QString(MaxStreamStringLength, QLatin1Char('x')));
  EXPECT_EQ(stream.Size(), MaxStreamStringLength + 3);
  TMemoryStream refused;
  EXPECT_THROW(WriteStreamString(&refused, QString(MaxStreamStringLength + 1, QLatin1Char('x'))),
               EWriteError);
  EXPECT_EQ(refused.Size(), 0);
}

} // namespace
