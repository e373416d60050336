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
       {"sList=,", "sShortDate=M/d/yy", "sLongDate=dddd, MMMM d, yyyy", "iTime=0", "sTimeFormat=h:mm:ss tt",
        "s1159=AM", "iNegCurr=0", "iMeasure=1", "sCountry=United States"}},
      {"de_DE",
       {"sDecimal=,", "sThousand=.", "sList=;", "iDate=1", "iTLZero=1", "sTimeFormat=HH:mm:ss", "iCurrency=3",
        "iNegCurr=8"}},
      {"sv_SE", {"iDate=2", "sDate=-"}},
      {"nl_NL", {"iCurrency=2", "iNegCurr=14"}},
      {"ja_JP", {"iCurrDigits=0"}},
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

TEST(IntlProfile, IntegersReadLikeWindows) {
  ScopedIntlProfile pin(ScopedIntlProfile::Start::Empty);
  const struct {
    const char *text;
    int value;
  } cases[] = {{" -4", -4}, {"7x", 7}, {"x7", 0}, {"99999999999", 2147483647}};
  for (const auto &c : cases) {
    pin.Set("iTest", QString::fromLatin1(c.text));
    EXPECT_EQ(GetProfileInt("intl", "iTest", 42), c.value) << c.text;
  }
  EXPECT_EQ(GetProfileInt("intl", "iMissing", 42), 42);
}

} // namespace
