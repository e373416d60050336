#include "report/font_style.h"
#include <gtest/gtest.h>

namespace {

TEST(ReportFontStyle, ConvertsToAndFromTheStyleInteger) {
  const struct {
    TFontStyles style;
    int bits;
  } cases[] = {{0, 0}, {fsItalic, 1}, {fsUnderline, 4}, {TFontStyles(fsBold | fsItalic | fsUnderline), 7}};
  for (const auto &c : cases) {
    EXPECT_EQ(FontStyleToBits(c.style), c.bits);
    EXPECT_EQ(BitsToFontStyle(c.bits), c.style);
  }
  EXPECT_EQ(FontStyleToBits(TFontStyles(fsBold | fsStrikeOut)), 2);
  EXPECT_EQ(BitsToFontStyle(8 | 2), TFontStyles(fsBold));
}

} // namespace
