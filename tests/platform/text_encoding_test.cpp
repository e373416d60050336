#include "platform/core/text_encoding.h"
#include <gtest/gtest.h>

namespace {

TEST(Windows1252, EveryByteRoundTrips) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(char(b));
  const QString text = FromWindows1252(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_TRUE(IsWindows1252(text));
  EXPECT_EQ(ToWindows1252(text), all);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(CharToWindows1252(text[b].unicode()), b) << b;
}

TEST(Windows1252, TableOfTheHighRange) {
  struct Case {
    unsigned char byte;
    char16_t character;
  };
  const Case cases[] = {
      {0x80, u'€'}, {0x81, 0x0081}, {0x82, u'‚'}, {0x83, u'ƒ'},   {0x84, u'„'},   {0x85, u'…'},
      {0x86, u'†'}, {0x87, u'‡'},   {0x88, u'ˆ'}, {0x89, u'‰'},   {0x8A, u'Š'},   {0x8B, u'‹'},
      {0x8C, u'Œ'}, {0x8D, 0x008D}, {0x8E, u'Ž'}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, u'‘'},
      {0x92, u'’'}, {0x93, u'“'},   {0x94, u'”'}, {0x95, u'•'},   {0x96, u'–'},   {0x97, u'—'},
      {0x98, u'˜'}, {0x99, u'™'},   {0x9A, u'š'}, {0x9B, u'›'},   {0x9C, u'œ'},   {0x9D, 0x009D},
      {0x9E, u'ž'}, {0x9F, u'Ÿ'},   {0x41, u'A'}, {0xA0, 0x00A0}, {0xE9, u'é'},   {0xFF, u'ÿ'}};
  for (const Case &c : cases) {
    EXPECT_EQ(Windows1252ToChar(c.byte), c.character) << int(c.byte);
    EXPECT_EQ(CharToWindows1252(c.character), c.byte) << int(c.byte);
  }
}

TEST(Windows1252, UnrepresentableCharactersBecomeOneQuestionMarkEach) {
  // U+0080 and U+009F are C1 controls the code page does not have (their bytes mean € and Ÿ).
  const QString text =
      QStringLiteral("a\u0080b\u4E2Dc") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("€");
  EXPECT_FALSE(IsWindows1252(text));
  EXPECT_EQ(ToWindows1252(text), QByteArray("a?b?c?\x80"));
  EXPECT_EQ(CharToWindows1252(0x9F), -1);
  EXPECT_EQ(CharToWindows1252(0x0100), -1);
  EXPECT_TRUE(IsWindows1252(QStringLiteral("Grüße, 5 € – “quoted”")));
  EXPECT_EQ(ToWindows1252(QString()), QByteArray());
  EXPECT_EQ(FromWindows1252(QByteArray()), QString());
}

} // namespace
