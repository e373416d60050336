#include "platform/core/intl_profile.h"
#include <gtest/gtest.h>

namespace {

QString Intl(const char *key) {
  return GetProfileString(QStringLiteral("intl"), QString::fromLatin1(key), "?");
}

struct LocaleCase {
  const char *locale;
  const char *key;
  const char *expected;
};

void PrintTo(const LocaleCase &c, std::ostream *os) {
  *os << c.locale << " " << c.key << " = " << c.expected;
}

class IntlProfileFromLocale : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(IntlProfileFromLocale, DerivesWindowsValues) {
  const LocaleCase &c = GetParam();
  ScopedIntlProfile pin{QLocale(QString::fromLatin1(c.locale))};
  EXPECT_EQ(Intl(c.key), QString::fromUtf8(c.expected)) << c.locale << " " << c.key;
}

INSTANTIATE_TEST_SUITE_P(
    Locales, IntlProfileFromLocale,
    ::testing::Values(LocaleCase{"en_US", "sDecimal", "."}, LocaleCase{"en_US", "sThousand", ","},
                      LocaleCase{"en_US", "sList", ","}, LocaleCase{"en_US", "sDate", "/"},
                      LocaleCase{"en_US", "sShortDate", "M/d/yy"},
                      LocaleCase{"en_US", "sLongDate", "dddd, MMMM d, yyyy"},
                      LocaleCase{"en_US", "iDate", "0"}, LocaleCase{"en_US", "iTime", "0"},
                      LocaleCase{"en_US", "iTLZero", "0"}, LocaleCase{"en_US", "sTimeFormat", "h:mm:ss tt"},
                      LocaleCase{"en_US", "sTime", ":"}, LocaleCase{"en_US", "s1159", "AM"},
                      LocaleCase{"en_US", "s2359", "PM"}, LocaleCase{"en_US", "sCurrency", "$"},
                      LocaleCase{"en_US", "iCurrency", "0"}, LocaleCase{"en_US", "iNegCurr", "0"},
                      LocaleCase{"en_US", "iCurrDigits", "2"}, LocaleCase{"en_US", "iMeasure", "1"},
                      LocaleCase{"en_US", "sCountry", "United States"}, LocaleCase{"de_DE", "sDecimal", ","},
                      LocaleCase{"de_DE", "sThousand", "."}, LocaleCase{"de_DE", "sList", ";"},
                      LocaleCase{"de_DE", "sDate", "."}, LocaleCase{"de_DE", "iDate", "1"},
                      LocaleCase{"de_DE", "iTime", "1"}, LocaleCase{"de_DE", "iTLZero", "1"},
                      LocaleCase{"de_DE", "sTimeFormat", "HH:mm:ss"}, LocaleCase{"de_DE", "sCurrency", "€"},
                      LocaleCase{"de_DE", "iCurrency", "3"}, LocaleCase{"de_DE", "iNegCurr", "8"},
                      LocaleCase{"de_DE", "iMeasure", "0"}, LocaleCase{"fi_FI", "sTime", "."},
                      LocaleCase{"fi_FI", "iTLZero", "0"}, LocaleCase{"fi_FI", "iNegCurr", "8"},
                      LocaleCase{"sv_SE", "iDate", "2"}, LocaleCase{"sv_SE", "sDate", "-"},
                      LocaleCase{"nl_NL", "iCurrency", "2"}, LocaleCase{"nl_NL", "iNegCurr", "14"},
                      LocaleCase{"ja_JP", "iCurrDigits", "0"}, LocaleCase{"ar_EG", "sDate", "/"},
                      LocaleCase{"ar_EG", "sShortDate", "d/M/yyyy"}),
    [](const ::testing::TestParamInfo<LocaleCase> &info) {
      return std::string(info.param.locale) + "_" + info.param.key;
    });

TEST(IntlProfile, AbsentValuesGiveTheDefault) {
  ScopedIntlProfile pin(ScopedIntlProfile::Start::Empty);
  EXPECT_EQ(GetProfileString("intl", "sDecimal", "."), ".");
  EXPECT_EQ(GetProfileInt("intl", "iCurrDigits", 2), 2);
  pin.Set("sDecimal", ",");
  EXPECT_EQ(GetProfileString("intl", "sDecimal", "."), ",");
  // Another section holds nothing.
  EXPECT_EQ(GetProfileString("windows", "sDecimal", "x"), "x");
}

TEST(IntlProfile, NamesIgnoreCaseAndSetReplacesTheValue) {
  ScopedIntlProfile pin(ScopedIntlProfile::Start::Empty);
  pin.Set("sDecimal", ",");
  EXPECT_EQ(GetProfileString("INTL", "SDECIMAL", "."), ",");
  pin.Set("SDECIMAL", ";");
  EXPECT_EQ(intl_profile::CurrentValues().size(), 1);
  EXPECT_EQ(GetProfileString("intl", "sDecimal", "."), ";");
  pin.Remove("sdecimal");
  EXPECT_EQ(GetProfileString("intl", "sDecimal", "."), ".");
}

TEST(IntlProfile, IntegersReadLikeWindows) {
  ScopedIntlProfile pin(ScopedIntlProfile::Start::Empty);
  const struct {
    const char *text;
    int value;
  } cases[] = {{"3", 3}, {" 12", 12}, {"-4", -4}, {"7x", 7}, {"x7", 0}, {"", 0}, {"99999999999", 2147483647}};
  for (const auto &c : cases) {
    pin.Set("iTest", QString::fromLatin1(c.text));
    EXPECT_EQ(GetProfileInt("intl", "iTest", 42), c.value) << c.text;
  }
  EXPECT_EQ(GetProfileInt("intl", "iMissing", 42), 42);
}

TEST(IntlProfile, GuardRestoresThePreviousValues) {
  ScopedIntlProfile outer(ScopedIntlProfile::Start::Empty);
  outer.Set("sDate", "-");
  {
    ScopedIntlProfile inner(ScopedIntlProfile::Start::Empty);
    EXPECT_EQ(GetProfileString("intl", "sDate", "/"), "/");
    inner.Set("sDate", ".");
    EXPECT_EQ(GetProfileString("intl", "sDate", "/"), ".");
  }
  EXPECT_EQ(GetProfileString("intl", "sDate", "/"), "-");
}

TEST(IntlProfile, LocaleWithoutCurrencyLeavesCurrencyAbsent) {
  ScopedIntlProfile pin{QLocale::c()};
  EXPECT_EQ(GetProfileString("intl", "sCurrency", "$"), "$");
  EXPECT_EQ(GetProfileString("intl", "sCountry", "none"), "none");
}

} // namespace
