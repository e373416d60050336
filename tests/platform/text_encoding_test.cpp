#include "platform/core/text_encoding.h"
#include <gtest/gtest.h>

namespace {

TEST(Windows1252, EveryByteRoundTripsAndTheHighRangeIsTheCodePages) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(char(b));
  const QString text = FromWindows1252(all);
  EXPECT_EQ(ToWindows1252(text), all);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(CharToWindows1252(text[b].unicode()), b) << b;
  // The range that differs from Latin-1; its five holes stand for themselves.
  EXPECT_EQ(text.mid(0x80, 32), QStringLiteral("€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ"));
  EXPECT_EQ(text.mid(0xA0, 1) + text.mid(0xE9, 1) + text.mid(0xFF, 1), QStringLiteral("\u00A0éÿ"));
}

TEST(Windows1252, UnrepresentableCharactersBecomeOneQuestionMarkEach) {
  // U+0080 and U+009F are C1 controls the code page does not have (their bytes mean € and Ÿ).
  const QString text =
      QStringLiteral("a\u0080b\u4E2Dc") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("€");
  EXPECT_FALSE(IsWindows1252(text));
  EXPECT_EQ(ToWindows1252(text), QByteArray("a?b?c?\x80"));
  EXPECT_EQ(CharToWindows1252(0x9F), -1);
  EXPECT_TRUE(IsWindows1252(QStringLiteral("Grüße, 5 € – “quoted”")));
}

} // namespace
