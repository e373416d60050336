#include "platform/core/streams.h"
#include "tests/platform/raises.h"
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(MemoryStream, ReadWriteSeekAndPositionAndTheGapPastTheEndIsZeros) {
  TMemoryStream s;
  EXPECT_EQ(s.Write("hello", 5), 5);
  EXPECT_EQ(s.Seek(-2, soFromEnd), 3);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 2); // a plain read returns what there is
  EXPECT_EQ(QByteArray(buf, 2), "lo");
  EXPECT_EQ(s.Read(buf, 1), 0);
  s.Seek(1, soFromBeginning);
  EXPECT_EQ(s.Seek(1, soFromCurrent), 2);
  s.Write("LL", 2);
  EXPECT_EQ(s.Bytes(), "heLLo");

  // Writing past the end fills the gap with zeros.
  TMemoryStream gap;
  gap.SetPosition(3);
  gap.WriteUInt8(7);
  EXPECT_EQ(gap.Bytes(), QByteArray("\0\0\0\x07", 4));
  gap.SetSize(2);
  gap.SetSize(4);
  EXPECT_EQ(gap.Bytes(), QByteArray(4, '\0'));
  EXPECT_THROW(gap.SetSize(-1), EStreamError);
}

TEST(MemoryStream, ExactReadsRaiseOnShortData) {
  TMemoryStream s(QByteArray("abc"));
  char buf[4];
  s.ReadBuffer(buf, 2);
  EXPECT_EQ(MessageOf<EReadError>([&] { s.ReadBuffer(buf, 2); }), "Stream read error");
  s.SetPosition(0);
  EXPECT_THROW(s.ReadBytes(-1), EReadError);
  s.SetPosition(-1); // before the start nothing moves
  EXPECT_EQ(s.Read(buf, 1), 0);
  EXPECT_THROW(s.WriteBuffer("x", 1), EWriteError);
}

TEST(MemoryStream, CopyFromCountOrWhole) {
  TMemoryStream source(QByteArray("0123456789"));
  TMemoryStream target;
  source.SetPosition(4);
  EXPECT_EQ(target.CopyFrom(&source, 3), 3);
  EXPECT_EQ(target.Bytes(), "456");
  EXPECT_EQ(target.CopyFrom(&source, 0), 10); // count 0: all of it, from the start
  EXPECT_EQ(target.Bytes(), "4560123456789");
  source.SetPosition(8);
  EXPECT_THROW(target.CopyFrom(&source, 3), EReadError);

  // Larger than one copy chunk.
  QByteArray big(200000, '\0');
  for (int i = 0; i < big.size(); ++i) big[i] = char(i * 7);
  TMemoryStream bigSource(big), bigTarget;
  bigTarget.CopyFrom(&bigSource, 0);
  EXPECT_EQ(bigTarget.Bytes(), big);
}

TEST(Streams, LittleEndianIntegersRoundTrip) {
  TMemoryStream s;
  s.WriteUInt8(0xAB);
  s.WriteInt8(-2);
  s.WriteUInt16(0x1234);
  s.WriteInt16(-2);
  s.WriteInt32(std::numeric_limits<qint32>::min());
  EXPECT_EQ(s.Bytes(), QByteArray("\xAB\xFE\x34\x12\xFE\xFF\x00\x00\x00\x80", 10));
  s.SetPosition(0);
  // Braces read left to right.
  EXPECT_EQ(
      (std::tuple{s.ReadUInt8(), s.ReadInt8(), s.ReadUInt16(), s.ReadInt16(), s.ReadInt32()}),
      std::tuple(quint8(0xAB), qint8(-2), quint16(0x1234), qint16(-2), std::numeric_limits<qint32>::min()));
  EXPECT_THROW(s.ReadUInt8(), EReadError);
}

class FileStreamTest : public ::testing::Test {
protected:
  QString Path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir;
};

TEST_F(FileStreamTest, CreateWriteReopenAndRead) {
  {
    TFileStream f(Path("a.bin"), fmCreate);
    f.WriteInt32(42);
    f.WriteBytes("tail");
  }
  {
    // Opening for writing keeps the content and cannot read.
    TFileStream f(Path("a.bin"), fmOpenWrite);
    char c;
    EXPECT_EQ(f.Read(&c, 1), 0);
    f.SetPosition(4);
    f.WriteBytes("TA");
  }
  {
    TFileStream f(Path("a.bin"), fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(f.ReadInt32(), 42);
    EXPECT_EQ(f.ReadBytes(4), "TAil");
    EXPECT_EQ(f.Write("x", 1), 0); // read-only
  }
  {
    TFileStream f(Path("a.bin"), fmCreate); // empties it
    EXPECT_EQ(f.Size(), 0);
  }
}

TEST_F(FileStreamTest, OpenAndCreateFailuresNameTheFileAndMemoryStreamsLoadAndSaveFiles) {
  const QString missing = Path("missing.bin");
  try {
    TFileStream f(missing, fmOpenRead);
    FAIL() << "opened a missing file";
  } catch (const EFOpenError &e) {
    EXPECT_GT(e.Message().size(), QStringLiteral("Cannot open file \"%1\". ").arg(missing).size());
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(missing)));
  }
  const QString inMissingDir = Path("no/such/dir/x.bin");
  try {
    TFileStream f(inMissingDir, fmCreate);
    FAIL() << "created a file in a missing folder";
  } catch (const EFCreateError &e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(inMissingDir)));
  }

  // A memory stream loads and saves whole files; a failed load keeps the content.
  TMemoryStream out(QByteArray("\x00\x01\x02\xFF", 4));
  out.SetPosition(2); // saving writes everything regardless of the position
  out.SaveToFile(Path("m.bin"));
  TMemoryStream in;
  in.LoadFromFile(Path("m.bin"));
  EXPECT_THROW(in.LoadFromFile(Path("none.bin")), EFOpenError);
  EXPECT_EQ(in.Bytes(), out.Bytes()); // a failed load keeps the content
}

} // namespace
