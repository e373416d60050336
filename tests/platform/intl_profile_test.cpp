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

TEST(IntlProfile, DerivesWindowsValuesFromTheLocale) {
  const LocaleCase cases[] = {{"en_US", "sDecimal", "."},
                              {"en_US", "sThousand", ","},
                              {"en_US", "sList", ","},
                              {"en_US", "sDate", "/"},
                              {"en_US", "sShortDate", "M/d/yy"},
                              {"en_US", "sLongDate", "dddd, MMMM d, yyyy"},
                              {"en_US", "iDate", "0"},
                              {"en_US", "iTime", "0"},
                              {"en_US", "iTLZero", "0"},
                              {"en_US", "sTimeFormat", "h:mm:ss tt"},
                              {"en_US", "sTime", ":"},
                              {"en_US", "s1159", "AM"},
                              {"en_US", "s2359", "PM"},
                              {"en_US", "sCurrency", "$"},
                              {"en_US", "iCurrency", "0"},
                              {"en_US", "iNegCurr", "0"},
                              {"en_US", "iCurrDigits", "2"},
                              {"en_US", "iMeasure", "1"},
                              {"en_US", "sCountry", "United States"},
                              {"de_DE", "sDecimal", ","},
                              {"de_DE", "sThousand", "."},
                              {"de_DE", "sList", ";"},
                              {"de_DE", "sDate", "."},
                              {"de_DE", "iDate", "1"},
                              {"de_DE", "iTime", "1"},
                              {"de_DE", "iTLZero", "1"},
                              {"de_DE", "sTimeFormat", "HH:mm:ss"},
                              {"de_DE", "sCurrency", "€"},
                              {"de_DE", "iCurrency", "3"},
                              {"de_DE", "iNegCurr", "8"},
                              {"de_DE", "iMeasure", "0"},
                              {"fi_FI", "sTime", "."},
                              {"fi_FI", "iTLZero", "0"},
                              {"fi_FI", "iNegCurr", "8"},
                              {"sv_SE", "iDate", "2"},
                              {"sv_SE", "sDate", "-"},
                              {"nl_NL", "iCurrency", "2"},
                              {"nl_NL", "iNegCurr", "14"},
                              {"ja_JP", "iCurrDigits", "0"},
                              {"ar_EG", "sDate", "/"},
                              {"ar_EG", "sShortDate", "d/M/yyyy"}};
  for (const LocaleCase &c : cases) {
    ScopedIntlProfile pin{QLocale(QString::fromLatin1(c.locale))};
    EXPECT_EQ(Intl(c.key), QString::fromUtf8(c.expected)) << c.locale << " " << c.key;
  }
}

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
