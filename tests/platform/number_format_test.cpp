#include "platform/core/number_format.h"
#include "platform/core/variant.h"
#include "tests/platform/raises.h"
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Every test runs with the US English settings and gets the process-wide settings back afterwards.
class NumberFormat : public ::testing::Test {
protected:
  FormatSettingsGuard guard_{FormatSettings::USEnglish()};
};

FormatSettings EuropeanSettings() {
  FormatSettings s;
  s.DecimalSeparator = QLatin1Char(',');
  s.ThousandSeparator = QLatin1Char('.');
  s.CurrencyString = QStringLiteral("€");
  s.CurrencyFormat = 3;
  s.NegCurrFormat = 8;
  return s;
}

// One format, precision and number of digits applied to several values; the texts joined by spaces.
struct FloatCase {
  TFloatFormat format;
  int precision;
  int digits;
  std::vector<double> values;
  const char *expected;
};

TEST_F(NumberFormat, FloatToStrFRoundsDecimallyInTwoSteps) {
  const FloatCase cases[] = {
      // Significant digits first: 0.1749999999996 becomes 0.175000000000 at 12 digits, then 0.18.
      {ffFixed, 12, 2, {0.175, -0.175, 0.1749999999996, 0.17499999999}, "0.18 -0.18 0.18 0.17"},
      // Invoice lines as computed in binary (0.7 * 0.25 is 0.175).
      {ffFixed,
       12,
       2,
       {3 * 0.333, 10.0 * (17.5 / 100), 1.15 * 100, 0.7 * 0.25, -3 * 0.335},
       "1.00 1.75 115.00 0.18 -1.01"},
      {ffFixed, 15, 2, {1.005, -2.675}, "1.01 -2.68"},
      // A negative value that rounds to zero loses its sign; more integer digits than the precision:
      // scientific.
      {ffFixed, 15, 2, {0.0, -0.004, -0.0, 1e20}, "0.00 0.00 0.00 1E20"},
      {ffFixed, 4, 2, {123456.0}, "1.235E5"},
      // A precision beyond what a double holds counts as 15 digits.
      {ffFixed, 18, 2, {0.175}, "0.18"},
      {ffFixed, 15, 0, {0.5, -2.5}, "1 -3"},
      {ffNumber, 15, 2, {-0.004, 1234567.891, 999.999}, "0.00 1,234,567.89 1,000.00"},
      {ffCurrency, 15, 2, {1234.5, -1234.5, -0.001}, "$1,234.50 ($1,234.50) $0.00"},
      {ffExponent, 3, 0, {0.00012345}, "1.23E-4"},
      {ffExponent, 5, 3, {-1.0}, "-1.0000E+000"},
      {ffGeneral, 3, 0, {1234.5}, "1.23E3"},
      {ffGeneral, 15, 2, {1e-7}, "1E-07"},
  };
  for (const FloatCase &c : cases) {
    QStringList got;
    for (double value : c.values) got << FloatToStrF(value, c.format, c.precision, c.digits);
    EXPECT_EQ(got.join(' '), c.expected)
        << "format " << c.format << " precision " << c.precision << " digits " << c.digits;
  }
}

TEST_F(NumberFormat, FloatToStrGivesFifteenSignificantDigits) {
  const std::pair<double, const char *> cases[] = {
      {0.0, "0"},
      {0.1 + 0.2, "0.3"},
      {2.0 / 3.0, "0.666666666666667"},
      {123456789012345.0, "123456789012345"},
      {1234567890123456.0, "1.23456789012346E15"},
      {0.0001, "0.0001"},
      {-1.5e-7, "-1.5E-7"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
  };
  for (const auto &[value, expected] : cases)
    EXPECT_EQ(FloatToStr(value), QString::fromUtf8(expected)) << value;
}

TEST_F(NumberFormat, FixedTwoDecimalsMatchesExactCents) {
  // Amounts of whole cents, as the invoice totals produce them: formatting with precision 12 and 2 decimals
  // gives back exactly the cents typed, and the text reads back as the same double. Every amount up to
  // 100.00, then a spread up to 10,000,000.00.
  auto check = [](int64_t cents) {
    const double value = double(cents) / 100.0;
    const QString expected =
        QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
    ASSERT_EQ(FloatToStrF(value, ffFixed, 12, 2), expected);
    ASSERT_EQ(FloatToStrF(-value, ffFixed, 12, 2), cents == 0 ? expected : QLatin1Char('-') + expected);
    ASSERT_EQ(StrToFloat(expected), value);
  };
  for (int64_t cents = 0; cents <= 10000; ++cents) check(cents);
  for (int64_t cents = 10000; cents <= 1000000000; cents += 9973) check(cents);
  // Amounts between cents read back as the rounded value.
  for (double value : {0.175, 1.005, 2.675, 1234.565, -7.125, 99999999.9}) {
    const double rounded = StrToFloat(FloatToStrF(value, ffFixed, 12, 2));
    EXPECT_EQ(FloatToStrF(rounded, ffFixed, 12, 2), FloatToStrF(value, ffFixed, 12, 2));
    EXPECT_LE(std::fabs(rounded - value), 0.005 + 1e-9) << value;
  }
}

TEST_F(NumberFormat, CurrencyLayoutsFollowTheSettings) {
  const FormatSettings european = EuropeanSettings();
  EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2, european), "1.234,50 €");
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, european), "-1.234,50 €");
  FormatSettings s;
  const char *const negatives[] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
                                   "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  for (int format = 0; format < 16; ++format) {
    s.NegCurrFormat = format;
    EXPECT_EQ(FloatToStrF(-1, ffCurrency, 15, 0, s), QString::fromUtf8(negatives[format])) << format;
  }
  const char *const positives[] = {"$1", "1$", "$ 1", "1 $"};
  for (int format = 0; format < 4; ++format) {
    s.CurrencyFormat = format;
    EXPECT_EQ(FloatToStrF(1, ffCurrency, 15, 0, s), QString::fromUtf8(positives[format])) << format;
  }
}

// One picture applied to several values; the texts joined by "|".
struct PictureCase {
  const char *format;
  std::vector<double> values;
  const char *expected;
};

TEST_F(NumberFormat, FormatFloatPictures) {
  const PictureCase cases[] = {
      {"0.00", {2, -2.005, 0.175, -0.001, 1e25}, "2.00|-2.01|0.18|0.00|1E25"},
      {"0.00;(0.00);'zero'", {-5, 0.001, 5}, "(5.00)|zero|5.00"},
      {"0.00;;'zero'", {-5}, "-5.00"},
      {"#,##0.00", {1234567.891, -1234.5}, "1,234,567.89|-1,234.50"},
      {"0.0#", {1, 1.25, 1.23456}, "1.0|1.25|1.23"},
      {"#", {0, 12.5}, "|13"},
      {"00-00", {1234}, "12-34"},
      {"0.00E+00", {1234, 0.000123}, "1.23E+03|1.23E-04"},
      {"0.00e-0", {0.000123}, "1.23e-4"},
      {"'Total: '0.00\" kg\"", {5}, "Total: 5.00 kg"},
      {"0 'a;b'", {1}, "1 a;b"},
      {"", {1.5, 1e20}, "1.5|1E20"},
  };
  for (const PictureCase &c : cases) {
    QStringList got;
    for (double value : c.values) got << FormatFloat(QString::fromUtf8(c.format), value);
    EXPECT_EQ(got.join('|'), QString::fromUtf8(c.expected)) << c.format;
  }
}

TEST_F(NumberFormat, FormatFloatUsesTheSettingsSeparators) {
  const FormatSettings european = EuropeanSettings();
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, european), "1.234,50");
  EXPECT_EQ(FormatFloat("0.00E+00", 1234, european), "1,23E+03");
  FormatSettingsGuard pinned(european);
  EXPECT_EQ(Format("%s|%f|%n", {2.5, 2.5, 1234.5}), "2,5|2,50|1.234,50");
  EXPECT_EQ(Format("%s|%.1f", {2.5, 2.5}, FormatSettings::USEnglish()), "2.5|2.5");
  EXPECT_EQ(FloatToStr(2.5), "2,5");
}

struct FormatCase {
  const char *format;
  QList<Variant> args;
  const char *expected;
};

TEST_F(NumberFormat, FormatWithWidthsAndPrecisions) {
  const FormatCase cases[] = {
      {"%5d|%-5d|", {42, 42}, "   42|42   |"},
      {"%.3d", {-5}, "-005"},
      {"%d", {std::numeric_limits<int64_t>::min()}, "-9223372036854775808"},
      {"%.4x", {255}, "00FF"},
      {"[%-6.2s]", {"abc"}, "[ab    ]"},
      {"%s|%s", {12, Null()}, "12|"},
      {"%2.2f", {0.175}, "0.18"},
      {"%.1n", {1234.56}, "1,234.6"},
      {"%m", {-5}, "($5.00)"},
      {"%e", {1234.5}, "1.23450000000000E+003"},
      {"%-*d|", {3, 7}, "7  |"},
      {"%.*f", {1, 2.25}, "2.3"},
      {"100%%", {}, "100%"},
      {"%1:s %0:s", {"a", "b"}, "b a"},
  };
  for (const FormatCase &c : cases)
    EXPECT_EQ(Format(QString::fromUtf8(c.format), c.args), QString::fromUtf8(c.expected)) << c.format;
}

TEST_F(NumberFormat, FormatRefusesMissingAndIncompatibleArguments) {
  const std::pair<const char *, QList<Variant>> bad[] = {
      {"%d", {1.5}}, {"%f", {"x"}}, {"%q", {1}}, {"%", {}}, {"%f", {Null()}},
  };
  for (const auto &[format, args] : bad) {
    const char *text = format; // clang 14 does not capture a structured binding
    const QList<Variant> &values = args;
    EXPECT_EQ(MessageOf<EConvertError>([&] { Format(QString::fromUtf8(text), values); }),
              QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
  }
  EXPECT_EQ(MessageOf<EConvertError>([&] { Format("%d %d", {1}); }), "No argument for format '%d %d'");
}

TEST_F(NumberFormat, IntegerTextInDecimalAndHexadecimal) {
  const std::pair<const char *, int> good[] = {
      {" -45", -45}, {"+7", 7}, {"0X1F", 31}, {"-$10", -16}, {"$FFFFFFFF", -1}, {"-2147483648", INT32_MIN},
  };
  for (const auto &[text, expected] : good) EXPECT_EQ(StrToInt(QString::fromUtf8(text)), expected) << text;

  const char *const bad[] = {"", "12 ", "1.5", "2147483648", "0x", "$1FFFFFFFF", "--1"};
  for (const char *text : bad) {
    EXPECT_EQ(MessageOf<EConvertError>([&] { StrToInt(QString::fromUtf8(text)); }),
              QStringLiteral("'%1' is not a valid integer value").arg(text));
  }
  int value = 3;
  EXPECT_FALSE(TryStrToInt("x", value));
  EXPECT_EQ(value, 3);
  int64_t wide = 0;
  EXPECT_TRUE(TryStrToInt64("-9223372036854775808", wide));
  EXPECT_EQ(wide, INT64_MIN);
  EXPECT_FALSE(TryStrToInt64("9223372036854775808", wide));
  EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFFFFFFFFFF");
}

TEST_F(NumberFormat, StrToFloatUsesTheDecimalSeparator) {
  const std::pair<const char *, double> good[] = {
      {" -2.5e3 ", -2500}, {".5", 0.5}, {"5.", 5}, {"+1E-2", 0.01}, {"1e-400", 0},
  };
  for (const auto &[text, expected] : good) EXPECT_EQ(StrToFloat(QString::fromUtf8(text)), expected) << text;

  const char *const bad[] = {"", "1,5", "1e", ".", "1.2.3", "1e400", "1 000", "INF"};
  for (const char *text : bad) {
    EXPECT_EQ(MessageOf<EConvertError>([&] { StrToFloat(QString::fromUtf8(text)); }),
              QStringLiteral("'%1' is not a valid floating point value").arg(text));
  }

  FormatSettingsGuard pinned(EuropeanSettings());
  EXPECT_EQ(StrToFloat("-1234,25"), -1234.25);
  EXPECT_THROW(StrToFloat("1.5"), EConvertError);
  EXPECT_THROW(StrToFloat("1.234,5"), EConvertError);
  double value;
  EXPECT_TRUE(TryStrToFloat("1.5", value, FormatSettings::USEnglish()));
  EXPECT_EQ(value, 1.5);
}

} // namespace
