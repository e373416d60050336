#include "platform/core/streams.h"
#include "tests/platform/raises.h"
#include <QDir>
#include <QTemporaryDir>
#include <cmath>
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
  s.WriteUInt32(0xDEADBEEF);
  s.WriteInt32(std::numeric_limits<qint32>::min());
  s.WriteUInt64(0x0102030405060708ULL);
  s.WriteInt64(-3);
  s.WriteSingle(1.5f);
  s.WriteDouble(-0.1);
  EXPECT_EQ(s.Bytes().left(8), QByteArray("\xAB\xFE\x34\x12\xFE\xFF\xEF\xBE", 8));
  EXPECT_EQ(s.Bytes().mid(14, 8), QByteArray("\x08\x07\x06\x05\x04\x03\x02\x01", 8));
  s.SetPosition(0);
  // Braces read left to right.
  EXPECT_EQ((std::tuple{s.ReadUInt8(), s.ReadInt8(), s.ReadUInt16(), s.ReadInt16()}),
            std::tuple(quint8(0xAB), qint8(-2), quint16(0x1234), qint16(-2)));
  EXPECT_EQ((std::tuple{s.ReadUInt32(), s.ReadInt32(), s.ReadUInt64(), s.ReadInt64()}),
            std::tuple(0xDEADBEEFu, std::numeric_limits<qint32>::min(), 0x0102030405060708ULL, qint64(-3)));
  EXPECT_EQ((std::pair{s.ReadSingle(), s.ReadDouble()}), std::pair(1.5f, -0.1));
  EXPECT_THROW(s.ReadUInt8(), EReadError);
}

struct ExtendedCase {
  double value;
  const char *bytes; // the 10 stored bytes in hex, least significant first
};

TEST(Streams, ExtendedValuesHaveTheStoredLayout) {
  const ExtendedCase cases[] = {
      {0.0, "00000000000000000000"},
      {-2.0, "000000000000008000c0"},
      {-0.1, "00d0cccccccccccc fbbf"},
      {1e300, "00e0ac0340e421bfe343"},
      {std::numeric_limits<double>::infinity(), "0000000000000080ff7f"},
      {std::numeric_limits<double>::denorm_min(), "0000000000000080cd3b"},
  };
  for (const ExtendedCase &c : cases) {
    const QByteArray expected = QByteArray::fromHex(QByteArray(c.bytes).replace(' ', ""));
    const TExtendedBytes bytes = DoubleToExtended(c.value);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(bytes.data()), 10).toHex(), expected.toHex())
        << c.value;
    TMemoryStream s;
    s.WriteExtended(c.value);
    EXPECT_EQ(s.Bytes(), expected);
    s.SetPosition(0);
    EXPECT_EQ(s.ReadExtended(), c.value);
  }
}

TEST(Streams, ExtendedRoundTripsEveryKindOfDoubleAndRoundsWhatIsBeyond) {
  const double values[] = {-0.0, -1e-300, std::numeric_limits<double>::max(), 4.9e-320};
  for (double v : values) {
    const double back = ExtendedToDouble(DoubleToExtended(v));
    EXPECT_TRUE(back == v && std::signbit(back) == std::signbit(v)) << v;
  }
  EXPECT_TRUE(std::isnan(ExtendedToDouble(DoubleToExtended(std::numeric_limits<double>::quiet_NaN()))));

  // Beyond the range of a double: infinity, rounding, zero with its sign.
  // 1.1e4932, the largest extended range limit in use, exceeds double: infinity.
  TExtendedBytes huge{};
  huge.fill(0xFF);
  huge[9] = 0x7F;
  huge[8] = 0xFE;
  EXPECT_EQ(ExtendedToDouble(huge), std::numeric_limits<double>::infinity());
  // A mantissa with more than 53 significant bits rounds to the nearest double: 1 + 2^-63 is 1.
  TExtendedBytes nearOne = DoubleToExtended(1.0);
  nearOne[0] = 1;
  EXPECT_EQ(ExtendedToDouble(nearOne), 1.0);
  // Tiny values flush to zero with their sign.
  TExtendedBytes tiny = DoubleToExtended(-1.0);
  tiny[8] = 0x01;
  tiny[9] = 0x80;
  const double t = ExtendedToDouble(tiny);
  EXPECT_EQ(t, 0.0);
  EXPECT_TRUE(std::signbit(t));
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
