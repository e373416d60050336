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

// A format text becomes "category variant decimals separator|custom format".
TEST_F(ValueFormatTest, FormatTextsBecomeCodesAsTheTableSays) {
  const char *cases[][2] = {
      {"N10,2", "1 1 2 ,|"}, {"10.3", "1 1 3 .|"},        {"N#.##0,00", "1 4 0 ,|#.##0.00"},
      {"N5", "1 1 0 .|"},    {"thh:nn", "2 4 0 .|hh:nn"}, {"BNo;Yes", "4 4 0 .|No;Yes"}};
  for (const auto &c : cases) {
    qint32 code = 0;
    QString format;
    ASSERT_TRUE(frParseFormatText(QString::fromLatin1(c[0]), code, format)) << c[0];
    EXPECT_EQ(QStringLiteral("%1 %2 %3 %4|%5")
                  .arg(frFormatCategory(code))
                  .arg(frFormatVariant(code))
                  .arg(frFormatDecimals(code))
                  .arg(QLatin1Char(frFormatSeparator(code)))
                  .arg(format)
                  .toStdString(),
              c[1]);
  }
  qint32 code = 7;
  QString format = QStringLiteral("kept");
  EXPECT_FALSE(frParseFormatText(QStringLiteral("Xyz"), code, format));
  EXPECT_EQ(code, 7);
  EXPECT_EQ(format, QStringLiteral("kept"));
}

TEST_F(ValueFormatTest, ValuesAreFormattedByCategoryAndVariant) {
  const Variant day = Variant::FromDateTime(EncodeDate(1998, 11, 15) + EncodeTime(2, 43, 35, 0));
  const Variant number(1234.5);
  const struct {
    int category, variant, decimals;
    char separator;
    Variant value;
    const char *format, *expected;
  } cases[] = {{0, 0, 2, ',', number, "", "1234,5"},
               {1, 1, 2, ',', number, "", "1234,50"},
               {1, 3, 2, '.', number, "", "1,234.50"},
               {1, 4, 0, '.', Variant(0.175), "0.00", "0.18"},
               {1, 4, 0, '.', Variant(-3), "0.0;(0.0)", "(3.0)"},
               {2, 0, 0, '.', day, "", "11.15.98"},
               {2, 3, 0, '.', day, "", "15 November 1998"},
               {2, 4, 0, '.', day, "yyyy-mm-dd", "1998-11-15"},
               {3, 2, 0, '.', day, "", "02:43"},
               {4, 3, 0, '.', Variant(0), "", "False"},
               {4, 4, 0, '.', Variant(true), "off;on", "on"},
               // A text that is not a number keeps its text in a number format.
               {1, 1, 2, '.', Variant(QStringLiteral("n/a")), "", "n/a"},
               {1, 1, 2, '.', Variant::Null(), "", ""}};
  for (const auto &c : cases) {
    const qint32 code = frFormatCode(c.category, c.variant, c.decimals, c.separator);
    EXPECT_EQ(frFormatValue(c.value, code, QString::fromLatin1(c.format)).toStdString(), c.expected)
        << c.category << "/" << c.variant;
  }
  // The separator of a code never changes the process-wide settings, nor does a custom format that cannot
  // apply and falls back to the text.
  EXPECT_EQ(frFormatValue(Variant(2.5), frFormatCode(1, 1, 1, ','), QString()), QStringLiteral("2,5"));
  EXPECT_EQ(frFormatValue(Variant(QStringLiteral("abc")), frFormatCode(2, 4, 0, ','), QStringLiteral("yyyy")),
            QStringLiteral("abc"));
  EXPECT_EQ(Settings().DecimalSeparator, QLatin1Char('.'));
}

} // namespace
