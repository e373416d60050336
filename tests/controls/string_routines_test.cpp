#include "controls/framework/control_helpers.h"
#include "controls/framework/string_routines.h"
#include "platform/core/component.h"
#include "platform/core/date_time.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/color.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/resources.h"
#include "tests/platform/raises.h"
#include <gtest/gtest.h>

namespace {

// Digits, positions and editing that clamp to the string.
TEST(StringRoutines, DigitsPositionsAndEditing) {
  QString s;
  EXPECT_EQ(HexLPChar(s, 0x1234ABCD), "1234ABCD");
  EXPECT_EQ(OctalLPChar(s, 0xFFFFFFFF), "037777777777");
  EXPECT_EQ(BinaryLPChar(s, 0x80000000), "1" + QString(31, QLatin1Char('0')));
  EXPECT_EQ(CharStrPChar(s, QLatin1Char('*'), 0), "");
  int pos = -1;
  EXPECT_TRUE(StrChPos("abcb", QLatin1Char('b'), pos) && pos == 1);
  EXPECT_TRUE(StrStPos("abcabc", "ca", pos) && pos == 2);
  EXPECT_FALSE(StrStPos("abc", "", pos) || StrStPos("ab", "abc", pos) || StrChPos("", QLatin1Char('b'), pos));
  s = "abc";
  EXPECT_EQ(StrChInsertPrim(s, QLatin1Char('X'), 9), "abcX");
  EXPECT_EQ(StrStInsertPrim(s, "YZ", 0), "YZabcX");
  EXPECT_EQ(StrStDeletePrim(s, 2, 10), "YZ");
  EXPECT_EQ(StrChDeletePrim(s, 5), "YZ");
  QString d = "old";
  EXPECT_EQ(StrStCopy(d, "abcdef", 4, 9), "ef");
  EXPECT_EQ(StrStCopy(d, "abcdef", 6, 1), "");
}

TEST(StringRoutines, Trimming) {
  QString s = "  a b  ";
  EXPECT_EQ(TrimAllSpacesPChar(s), "a b");
  s = QString("ab \t\r\n") + QChar(0x01);
  EXPECT_EQ(TrimTrailPrim(s), "ab");
  struct Case {
    const char *in, *out;
  };
  for (const Case &c : {Case{"12.500", "12.5"}, Case{"12.000", "12"}, Case{"1.500E+10", "1.500E+10"}}) {
    s = c.in;
    EXPECT_EQ(TrimTrailingZeros(s), c.out) << c.in;
  }
  for (const Case &c : {Case{"1.2500E+007", "1.25E+7"}, Case{"2.000E+000", "2"}}) {
    s = c.in;
    EXPECT_EQ(TrimEmbeddedZeros(s), c.out) << c.in;
  }
}

TEST(StringRoutines, Str2LongPChar) {
  struct Case {
    const char *text;
    bool ok;
    std::int32_t value; // the number, or the failing position
  } cases[] = {
      {"0x1F", true, 31},         {"12A", false, 2},
      {"$FF", true, 255},         {"0xFFFFFFFF", true, -1},
      {"0x100000000", false, 10}, {"-2147483648", true, std::numeric_limits<std::int32_t>::min()},
      {"2147483648", false, 9},   {"", false, 0},
  };
  for (const Case &c : cases) {
    std::int32_t value = 12345;
    EXPECT_EQ(Str2LongPChar(c.text, value), c.ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  std::int32_t value = 0;
  EXPECT_FALSE(Str2LongPChar(QString(256, QLatin1Char('1')), value));
  EXPECT_EQ(value, -1);
}

TEST(StringRoutines, FixRealText) {
  struct Case {
    const char *in;
    char decimal;
    const char *out;
  } cases[] = {
      {" 3,", ',', "3"},         {"", '.', "0"},
      {",5", ',', "0.5"},        {"1.25", ',', "1.25"},
      {"5.", '.', "5"},          {"1 . 5", '.', "1.5"},
      {"2E5", '.', "2.00000E5"}, {"1.123456789012E3", '.', "1.123456789012E3"},
  };
  for (const Case &c : cases) {
    QString s = c.in;
    EXPECT_EQ(FixRealText(s, QLatin1Char(c.decimal)), c.out) << c.in;
  }
}

TEST(ControlHelpers, UniqueComponentNames) {
  TComponent *form = new TComponent(nullptr);
  EXPECT_EQ(GetUniqueName(form, "Edit1Label"), "Edit1Label1");
  (new TComponent(form))->SetName("Edit1Label1");
  (new TComponent(form))->SetName("edit1label2");
  EXPECT_EQ(GetUniqueName(form, "Edit1Label"), "Edit1Label3") << "names compare without regard to case";
  EXPECT_EQ(GetUniqueName(nullptr, "Label"), "Label1");
  for (const char *bad : {"", "1abc"}) {
    EXPECT_EQ(MessageOf<EComponentError>([&] { GetUniqueName(form, bad); }),
              QStringLiteral("'%1' is not a valid component name").arg(bad));
  }
  form->Free();
}

TEST(ControlHelpers, ResourcesByNameAndTheDefaultEpoch) {
  RegisterBitmapResource("CTLTESTGLYPH", [] {
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
  });
  const std::unique_ptr<TBitmap> bitmap = LoadControlBitmap("ctlTestGlyph");
  EXPECT_EQ(std::pair(bitmap->Width(), bitmap->Height()), std::pair(7, 5));
  EXPECT_THROW(LoadControlBitmap("NO_SUCH_GLYPH"), EResNotFound);
  RegisterCursorResource("CTLTESTCURSOR", [] { return QCursor(Qt::CrossCursor); });
  EXPECT_EQ(LoadControlCursor("CTLTESTCURSOR").shape(), Qt::CrossCursor);

  // The default epoch is the century of today.
  {
    ClockGuard clock(EncodeDate(2099, 12, 31));
    EXPECT_EQ(DefaultEpoch(), 2000);
  }
  ClockGuard clock(EncodeDate(2100, 1, 1));
  EXPECT_EQ(DefaultEpoch(), 2100);
}

TEST(ControlHelpers, SplitColor) {
  std::uint8_t r = 0, g = 0, b = 0;
  SplitColor(clBtnFace, r, g, b);
  const TColor face = ColorToRGB(clBtnFace);
  EXPECT_EQ(std::tuple(r, g, b), std::tuple(GetRValue(face), GetGValue(face), GetBValue(face)));
}

TEST(ControlHelpers, TopTextMargin) {
  // A font far smaller than the system's, so that its own height m decides.
  TFont tiny;
  tiny.SetHeight(-6);
  TCanvas canvas;
  canvas.SetFont(&tiny);
  const int m = canvas.TextMetrics().tmHeight;
  struct Case {
    bool bordered, ctl3D;
    int height, margin;
  } cases[] = {
      {true, true, m + 5, 1},    // room to spare: a fixed margin
      {true, false, m + 3, -1},  // -1 / 2 truncates to 0, less 3 mod 2
      {false, false, m + 1, -1}, // -1 / 2 truncates to 0, less 1 mod 2
  };
  for (const Case &c : cases)
    EXPECT_EQ(GetTopTextMargin(&tiny, c.bordered, c.height, c.ctl3D), c.margin)
        << c.bordered << c.ctl3D << " height " << c.height << " text " << m;
}

} // namespace
