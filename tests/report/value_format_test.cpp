// The display formats of text objects: the format written after " #" in a bracketed expression, and the
// text of a value in each category and variant.
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "report/value_format.h"
#include <gtest/gtest.h>

namespace {

class ValueFormatTest : public ::testing::Test {
protected:
  FormatSettingsGuard formats_{FormatSettings::USEnglish()};
};

struct ParseCase {
  const char *text;
  int category, variant, decimals;
  char separator;
  const char *format; // the custom format text ("" when none)
};

TEST_F(ValueFormatTest, FormatTextsBecomeCodesAsTheTableSays) {
  const ParseCase cases[] = {{"N10.2", 1, 1, 2, '.', ""},
                             {"N10,2", 1, 1, 2, ',', ""},
                             {"10.3", 1, 1, 3, '.', ""},
                             {"n8-1", 1, 1, 1, '-', ""},
                             {"N#,##0.00", 1, 4, 0, '.', "#,##0.00"},
                             {"N#.##0,00", 1, 4, 0, ',', "#.##0.00"},
                             {"N5", 1, 1, 0, '.', ""},
                             {"Ddd.mm.yyyy", 2, 4, 0, '.', "dd.mm.yyyy"},
                             {"thh:nn", 2, 4, 0, '.', "hh:nn"},
                             {"BNo;Yes", 4, 4, 0, '.', "No;Yes"}};
  for (const ParseCase &c : cases) {
    qint32 code = 0;
    QString format;
    ASSERT_TRUE(frParseFormatText(QString::fromLatin1(c.text), code, format)) << c.text;
    EXPECT_EQ(frFormatCategory(code), c.category) << c.text;
    EXPECT_EQ(frFormatVariant(code), c.variant) << c.text;
    EXPECT_EQ(frFormatDecimals(code), c.decimals) << c.text;
    EXPECT_EQ(frFormatSeparator(code), c.separator) << c.text;
    EXPECT_EQ(format, QString::fromLatin1(c.format)) << c.text;
  }
  qint32 code = 7;
  QString format = QStringLiteral("kept");
  EXPECT_FALSE(frParseFormatText(QStringLiteral("Xyz"), code, format));
  EXPECT_EQ(code, 7);
  EXPECT_EQ(format, QStringLiteral("kept"));
}

struct FormatCase {
  int category, variant, decimals;
  char separator;
  Variant value;
  const char *format;
  const char *expected;
};

TEST_F(ValueFormatTest, ValuesAreFormattedByCategoryAndVariant) {
  const TDateTime day = EncodeDate(1998, 11, 15) + EncodeTime(2, 43, 35, 0);
  const FormatCase cases[] = {{0, 0, 2, '.', Variant(QStringLiteral("text")), "", "text"},
                              {0, 0, 2, ',', Variant(1234.5), "", "1234,5"},
                              {1, 0, 0, '.', Variant(1234.5), "", "1234.5"},
                              {1, 0, 0, ',', Variant(1234.5), "", "1234,5"},
                              {1, 1, 2, '.', Variant(1234.5), "", "1234.50"},
                              {1, 1, 2, ',', Variant(1234.5), "", "1234,50"},
                              {1, 2, 0, '.', Variant(1234.5), "", "1,234.5"},
                              {1, 3, 2, '.', Variant(1234.5), "", "1,234.50"},
                              {1, 4, 0, '.', Variant(0.175), "0.00", "0.18"},
                              {1, 4, 0, '.', Variant(-3), "0.0;(0.0)", "(3.0)"},
                              {2, 0, 0, '.', Variant::FromDateTime(day), "", "11.15.98"},
                              {2, 1, 0, '.', Variant::FromDateTime(day), "", "11.15.1998"},
                              {2, 2, 0, '.', Variant::FromDateTime(day), "", "15 Nov 1998"},
                              {2, 3, 0, '.', Variant::FromDateTime(day), "", "15 November 1998"},
                              {2, 4, 0, '.', Variant::FromDateTime(day), "yyyy-mm-dd", "1998-11-15"},
                              {3, 0, 0, '.', Variant::FromDateTime(day), "", "02:43:35"},
                              {3, 1, 0, '.', Variant::FromDateTime(day), "", "2:43:35"},
                              {3, 2, 0, '.', Variant::FromDateTime(day), "", "02:43"},
                              {3, 3, 0, '.', Variant::FromDateTime(day), "", "2:43"},
                              {4, 0, 0, '.', Variant(true), "", "1"},
                              {4, 1, 0, '.', Variant(false), "", "No"},
                              {4, 2, 0, '.', Variant(1), "", "x"},
                              {4, 3, 0, '.', Variant(0), "", "False"},
                              {4, 4, 0, '.', Variant(true), "off;on", "on"},
                              // A text that is not a number keeps its text in a number format.
                              {1, 1, 2, '.', Variant(QStringLiteral("n/a")), "", "n/a"},
                              {1, 1, 2, '.', Variant(), "", ""},
                              {1, 1, 2, '.', Variant::Null(), "", ""}};
  for (const FormatCase &c : cases) {
    const qint32 code = frFormatCode(c.category, c.variant, c.decimals, c.separator);
    EXPECT_EQ(frFormatValue(c.value, code, QString::fromLatin1(c.format)), QString::fromLatin1(c.expected))
        << c.category << "/" << c.variant << " " << c.expected;
  }
}

TEST_F(ValueFormatTest, TheSeparatorOfACodeNeverChangesTheProcessWideSettings) {
  EXPECT_EQ(frFormatValue(Variant(2.5), frFormatCode(1, 1, 1, ','), QString()), QStringLiteral("2,5"));
  EXPECT_EQ(Settings().DecimalSeparator, QLatin1Char('.'));
  // A custom format that cannot apply falls back to the text, and leaves the settings as they were.
  EXPECT_EQ(frFormatValue(Variant(QStringLiteral("abc")), frFormatCode(2, 4, 0, ','), QStringLiteral("yyyy")),
            QStringLiteral("abc"));
  EXPECT_EQ(Settings().DecimalSeparator, QLatin1Char('.'));
}

} // namespace
