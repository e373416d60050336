#include "platform/core/intl_profile.h"
#include <gtest/gtest.h>

namespace {

QString Intl(const char *key) {
  return GetProfileString(QStringLiteral("intl"), QString::fromLatin1(key), "?");
}

TEST(IntlProfile, DerivesWindowsValuesFromTheLocale) {
  // Per locale, the values as "key=value".
  const std::pair<const char *, QStringList> cases[] = {
      {"en_US",
       {"sDecimal=.", "sThousand=,", "sList=,", "sDate=/", "sShortDate=M/d/yy",
        "sLongDate=dddd, MMMM d, yyyy", "iDate=0", "iTime=0", "iTLZero=0", "sTimeFormat=h:mm:ss tt",
        "sTime=:", "s1159=AM", "s2359=PM", "sCurrency=$", "iCurrency=0", "iNegCurr=0", "iCurrDigits=2",
        "iMeasure=1", "sCountry=United States"}},
      {"de_DE",
       {"sDecimal=,", "sThousand=.", "sList=;", "sDate=.", "iDate=1", "iTime=1", "iTLZero=1",
        "sTimeFormat=HH:mm:ss", "sCurrency=€", "iCurrency=3", "iNegCurr=8", "iMeasure=0"}},
      {"fi_FI", {"sTime=.", "iTLZero=0", "iNegCurr=8"}},
      {"sv_SE", {"iDate=2", "sDate=-"}},
      {"nl_NL", {"iCurrency=2", "iNegCurr=14"}},
      {"ja_JP", {"iCurrDigits=0"}},
      {"ar_EG", {"sDate=/", "sShortDate=d/M/yyyy"}},
  };
  for (const auto &[locale, values] : cases) {
    ScopedIntlProfile pin{QLocale(QString::fromLatin1(locale))};
    QStringList got;
    for (const QString &value : values) {
      const QString key = value.section(QLatin1Char('='), 0, 0);
      got << key + QLatin1Char('=') + Intl(key.toLatin1().constData());
    }
    EXPECT_EQ(got, values) << locale;
  }
}

TEST(IntlProfile, AbsentValuesGiveTheDefaultNamesIgnoreCaseAndSetReplaces) {
  ScopedIntlProfile pin(ScopedIntlProfile::Start::Empty);
  EXPECT_EQ(GetProfileString("intl", "sDecimal", "."), ".");
  EXPECT_EQ(GetProfileInt("intl", "iCurrDigits", 2), 2);
  pin.Set("sDecimal", ",");
  EXPECT_EQ(GetProfileString("intl", "sDecimal", "."), ",");
  // Another section holds nothing.
  EXPECT_EQ(GetProfileString("windows", "sDecimal", "x"), "x");

  // Names ignore case; Set replaces the value.
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

TEST(IntlProfile, GuardRestoresThePreviousValuesAndALocaleWithoutCurrencyHasNone) {
  ScopedIntlProfile outer(ScopedIntlProfile::Start::Empty);
  outer.Set("sDate", "-");
  {
    ScopedIntlProfile inner(ScopedIntlProfile::Start::Empty);
    EXPECT_EQ(GetProfileString("intl", "sDate", "/"), "/");
    inner.Set("sDate", ".");
    EXPECT_EQ(GetProfileString("intl", "sDate", "/"), ".");
  }
  EXPECT_EQ(GetProfileString("intl", "sDate", "/"), "-");

  // A locale without a currency leaves it absent.
  ScopedIntlProfile pin{QLocale::c()};
  EXPECT_EQ(GetProfileString("intl", "sCurrency", "$"), "$");
  EXPECT_EQ(GetProfileString("intl", "sCountry", "none"), "none");
}

} // namespace
