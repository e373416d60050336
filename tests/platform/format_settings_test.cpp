#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/core/number_format.h"
#include <cmath>
#include <gtest/gtest.h>

namespace {

// Blanks of every kind as plain spaces, so texts from Qt's locale data compare with ours.
QString Plain(QString text) {
  for (QChar &c : text)
    if (c.isSpace() || c == QChar(0x202F)) c = QLatin1Char(' ');
  return text;
}

TEST(FormatSettings, LocaleValuesAreTranslatedAndTheCLocaleGivesTheUSEnglishSet) {
  const FormatSettings us = FormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(QStringList({us.ShortDateFormat, us.LongDateFormat, us.ShortTimeFormat, us.LongTimeFormat,
                         QString(us.DateSeparator) + us.TimeSeparator, us.CurrencyString,
                         QString::number(us.CurrencyFormat), QString::number(us.CurrencyDecimals)}),
            QStringList({"m/d/yy", "dddd, mmmm d, yyyy", "h:nn AMPM", "h:nn:ss AMPM", "/:", "$", "0", "2"}));

  const FormatSettings de = FormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(QStringList({QString(de.DecimalSeparator) + de.ThousandSeparator + de.DateSeparator,
                         de.ShortDateFormat, de.LongTimeFormat, de.CurrencyString,
                         QString::number(de.CurrencyFormat), QString::number(de.NegCurrFormat),
                         de.LongMonthNames[0], de.LongDayNames[0], de.LongDayNames[1]}),
            QStringList({",..", "dd/mm/yy", "hh:nn:ss", "€", "3", "8", "Januar", "Sonntag", "Montag"}));
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, de),
            Plain(QLocale(QLocale::German).toCurrencyString(-1234.5)));

  // The C locale gives the US English set.
  EXPECT_EQ(FormatSettings::FromLocale(QLocale::c()).ShortDateFormat,
            FormatSettings::USEnglish().ShortDateFormat);
}

TEST(FormatSettings, DatesAndTimesLookAsTheLocaleWritesThem) {
  // What our formats produce from a locale matches what Qt writes for it, and numeric short dates read back.
  const QLocale locales[] = {
      QLocale(QLocale::English, QLocale::UnitedStates),
      QLocale(QLocale::German, QLocale::Germany),
      QLocale(QLocale::Japanese, QLocale::Japan),
      QLocale(QLocale::Hungarian, QLocale::Hungary),
  };
  const QDateTime moments[] = {QDateTime(QDate(2003, 2, 1), QTime(14, 5, 9)),
                               QDateTime(QDate(1850, 11, 23), QTime(0, 30, 0))};
  ClockGuard clock(EncodeDate(2024, 6, 15));
  for (const QLocale &locale : locales) {
    const FormatSettings s = FormatSettings::FromLocale(locale);
    for (const QDateTime &moment : moments) {
      SCOPED_TRACE(locale.name().toStdString() + " " + moment.toString(Qt::ISODate).toStdString());
      const TDateTime value = DateTimeFromQDateTime(moment);
      EXPECT_EQ(Plain(DateToStr(value, s)), Plain(locale.toString(moment.date(), QLocale::ShortFormat)));
      EXPECT_EQ(Plain(FormatDateTime(s.LongDateFormat, value, s)),
                Plain(locale.toString(moment.date(), QLocale::LongFormat)));
      EXPECT_EQ(Plain(FormatDateTime(s.ShortTimeFormat, value, s)),
                Plain(locale.toString(moment.time(), QLocale::ShortFormat)));
      // Short dates with two-digit years read back into the window around today.
      if (moment.date().year() >= 1975 || s.ShortDateFormat.contains(QLatin1String("yyyy"))) {
        EXPECT_EQ(StrToDate(DateToStr(value, s), s), std::trunc(value));
      }
    }
  }
}

} // namespace
