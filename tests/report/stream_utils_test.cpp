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

void Fill(TStringList &list, const QStringList &lines) {
  for (const QString &line : lines) list.Add(line);
}

TEST(ReportStreamStrings, WriteTheCurrentForm) {
  const struct {
    QString text;
    QByteArray bytes;
  } cases[] = {
      {QString(), Bytes({0, 0, 0})},
      {QStringLiteral("ab"), Bytes({2, 0, 'a', 'b', 0})},
      {QStringLiteral("€ü"), Bytes({2, 0, 0x80, 0xFC, 0})},
      // Characters outside the code page, and a text that begins like the mark, are stored marked as UTF-8.
      {QStringLiteral("Łó"), Bytes({7, 0, 0xEF, 0xBB, 0xBF, 0xC5, 0x81, 0xC3, 0xB3, 0})},
      {QStringLiteral("ï»¿"), Bytes({9, 0, 0xEF, 0xBB, 0xBF, 0xC3, 0xAF, 0xC2, 0xBB, 0xC2, 0xBF, 0})}};
  for (const auto &c : cases) {
    TMemoryStream stream;
    WriteStreamString(&stream, c.text);
    EXPECT_EQ(stream.Bytes(), c.bytes);
    stream.SetPosition(0);
    EXPECT_EQ(ReadStreamString(&stream), c.text);
    EXPECT_EQ(stream.Position(), stream.Size());
  }
}

TEST(ReportStreamStrings, ReadingSkipsTheClosingByteWhateverItHolds) {
  TMemoryStream stream(Bytes({1, 0, 'x', 7, 'y'}));
  EXPECT_EQ(ReadStreamString(&stream), QStringLiteral("x"));
  EXPECT_EQ(stream.Position(), 4);
}

TEST(ReportStreamStrings, WriteListsInTheCurrentForm) {
  const struct {
    QStringList lines;
    QByteArray bytes;
  } cases[] = {{{}, Bytes({0, 0, 0})},
               {{QStringLiteral("a"), QStringLiteral("bc")}, Bytes({2, 0, 1, 0, 'a', 13, 2, 0, 'b', 'c', 0})},
               {{QString()}, Bytes({1, 0, 0, 0, 0})}};
  for (const auto &c : cases) {
    TStringList list;
    Fill(list, c.lines);
    TMemoryStream stream;
    WriteStreamLines(&stream, &list);
    EXPECT_EQ(stream.Bytes(), c.bytes);
    stream.SetPosition(0);
    TStringList read;
    read.Add(QStringLiteral("left over"));
    ReadStreamLines(&stream, &read);
    EXPECT_TRUE(read.Equals(&list));
    EXPECT_EQ(stream.Position(), stream.Size());
  }
}

TEST(ReportStreamStrings, ListReadingStopsAtTheSeparatorNotTheCount) {
  TMemoryStream stream(Bytes({5, 0, 1, 0, 'a', 0, 'z'}));
  TStringList read;
  ReadStreamLines(&stream, &read);
  EXPECT_EQ(read.Count(), 1);
  EXPECT_EQ(stream.Position(), 6);
}

TEST(ReportStreamStrings, ReadTheOlderForms) {
  const struct {
    QByteArray bytes;
    QStringList lines;
  } cases[] = {{Bytes({'a', 13, 'b', 13, 0}), {QStringLiteral("a"), QStringLiteral("b")}},
               {Bytes({'a', 13, 0}), {QStringLiteral("a")}},
               {Bytes({'a', 13, 'b', 0}), {QStringLiteral("a"), QStringLiteral("b")}},
               {Bytes({0}), {}},
               {Bytes({13, 0}), {QString()}},
               {Bytes({0x80, 13, 0}), {QStringLiteral("€")}}};
  for (const auto &c : cases) {
    TMemoryStream stream(c.bytes);
    TStringList read;
    read.Add(QStringLiteral("left over"));
    ReadStreamLinesOld(&stream, &read);
    ASSERT_EQ(read.Count(), c.lines.size());
    for (int i = 0; i < read.Count(); ++i) EXPECT_EQ(read[i], c.lines[i]);
    EXPECT_EQ(stream.Position(), stream.Size());
  }
  TMemoryStream stream(Bytes({'a', 'b', 'c', 0, 'r'}));
  EXPECT_EQ(ReadStreamStringOld(&stream), QStringLiteral("abc"));
  EXPECT_EQ(stream.Position(), 4);
}

TEST(ReportStreamStrings, AStreamThatEndsInsideAnItemRaises) {
  const QByteArray truncated[] = {Bytes({3, 0, 'a'}), Bytes({1}), Bytes({1, 0, 'a'})};
  for (const QByteArray &bytes : truncated) {
    TMemoryStream stream(bytes);
    EXPECT_THROW(ReadStreamString(&stream), EReadError);
  }
  TMemoryStream list(Bytes({2, 0, 1, 0, 'a', 13}));
  TStringList read;
  EXPECT_THROW(ReadStreamLines(&list, &read), EReadError);
  TMemoryStream old(Bytes({'a', 'b'}));
  EXPECT_THROW(ReadStreamStringOld(&old), EReadError);
  old.SetPosition(0);
  EXPECT_THROW(ReadStreamLinesOld(&old, &read), EReadError);
}

TEST(ReportStreamStrings, RefuseTextsTheLengthFieldCannotHold) {
  TMemoryStream stream;
  WriteStreamString(&stream, QString(MaxStreamStringLength, QLatin1Char('x')));
  EXPECT_EQ(stream.Size(), MaxStreamStringLength + 3);
  TMemoryStream refused;
  EXPECT_THROW(WriteStreamString(&refused, QString(MaxStreamStringLength + 1, QLatin1Char('x'))),
               EWriteError);
  TStringList list;
  list.Add(QStringLiteral("short"));
  list.Add(QString(MaxStreamStringLength + 1, QLatin1Char('x')));
  EXPECT_THROW(WriteStreamLines(&refused, &list), EWriteError);
  EXPECT_EQ(refused.Size(), 0);
}

TEST(ReportStreamText, WritesTextAndLinesInWindows1252) {
  TMemoryStream stream;
  WriteStreamText(&stream, QStringLiteral("a€"));
  WriteStreamTextLine(&stream, QStringLiteral("b"));
  WriteStreamTextLine(&stream, QString());
  EXPECT_EQ(stream.Bytes(), Bytes({'a', 0x80, 'b', 13, 10, 13, 10}));
}

TEST(ReportStreamText, StripDoubleQuotesOnlyWhenBothEndsHaveOne) {
  const struct {
    const char *in;
    const char *out;
  } cases[] = {{"\"abc\"", "abc"}, {"\"abc", "\"abc"}, {"abc\"", "abc\""}, {"\"", "\""},
               {"\"\"", ""},       {"abc", "abc"},     {"", ""},           {"\"a\"b\"", "a\"b"}};
  for (const auto &c : cases) {
    QString text = QString::fromUtf8(c.in);
    StripDoubleQuotes(text);
    EXPECT_EQ(text, QString::fromUtf8(c.out)) << c.in;
  }
}

} // namespace
