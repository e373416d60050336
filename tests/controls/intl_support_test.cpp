#include "controls/framework/day_numbers.h"
#include "controls/framework/intl_support.h"
#include "controls/framework/library_exceptions.h"
#include "platform/core/format_settings.h"
#include "platform/core/intl_profile.h"
#include <gtest/gtest.h>

namespace {

// Pins both sources of the settings: no "intl" values and US English format settings on a 24-hour clock.
class IntlTest : public ::testing::Test {
protected:
  IntlTest() : settings_(FormatSettings::USEnglish()), profile_(ScopedIntlProfile::Start::Empty) {
    Settings().LongTimeFormat = QStringLiteral("hh:nn:ss");
  }
  void TwelveHour() { Settings().LongTimeFormat = QStringLiteral("h:nn:ss AMPM"); }
  TOvcDayNumber Day(int d, int m, int y) { return ovcdate::DMYtoDate(d, m, y, 0); }

  FormatSettingsGuard settings_;
  ScopedIntlProfile profile_;
};

// Without "intl" values the characters and strings come from the format settings or the library's defaults.
TEST_F(IntlTest, DefaultsWithoutIntlValuesAndTheGlobalInstanceReadsThemOnce) {
  TOvcIntlSup intl;
  EXPECT_EQ(QString(intl.ListChar()) + intl.SlashChar() + intl.ColonChar(), ",/:");
  EXPECT_EQ(intl.CurrencyLtStr() + intl.CurrencyRtStr(), "$$");

  // The global instance reads the settings once, when its guard makes it.
  profile_.Set("sDecimal", ",").Set("sThousand", ".");
  OvcIntlSupGuard guard;
  EXPECT_EQ(OvcIntlSup().DecimalChar(), QLatin1Char(','));
  profile_.Set("sDecimal", ";");
  EXPECT_EQ(OvcIntlSup().DecimalChar(), QLatin1Char(','));
}

TEST_F(IntlTest, Separators) {
  struct Case {
    const char *decimal, *thousand;
    char expectDecimal, expectThousand;
  } cases[] = {{",", ",", '.', ','}, {"", "", '.', ','}, {",x", " ", ',', ' '}, {"\u200F,", ".", ',', '.'}};
  for (const Case &c : cases) {
    ScopedIntlProfile pin;
    pin.Set("sDecimal", QString::fromUtf8(c.decimal)).Set("sThousand", QString::fromUtf8(c.thousand));
    TOvcIntlSup intl;
    EXPECT_EQ(QString(intl.DecimalChar()) + intl.CommaChar(), QString(c.expectDecimal) + c.expectThousand)
        << c.decimal << c.thousand;
  }
  ScopedIntlProfile pin;
  pin.Set("sList", ";").Set("iCurrDigits", "3");
  TOvcIntlSup intl;
  EXPECT_EQ(QString(intl.ListChar()) + QString::number(intl.CurrencyDigits()), ";3");
}

TEST_F(IntlTest, CurrencyPlacement) {
  struct Case {
    const char *symbol;
    int format;
    const char *left, *right;
  } cases[] = {{"€", 2, "€ ", "€"}, {"ABCDEFG", 3, "ABCD", " ABCD"}};
  for (const Case &c : cases) {
    ScopedIntlProfile pin;
    pin.Set("sCurrency", QString::fromUtf8(c.symbol)).Set("iCurrency", QString::number(c.format));
    TOvcIntlSup intl;
    EXPECT_EQ(std::tuple(intl.CurrencyLtStr(), intl.CurrencyRtStr(), intl.CurrencyFormat()),
              std::tuple(QString::fromUtf8(c.left), QString::fromUtf8(c.right), c.format))
        << c.symbol << " " << c.format;
  }
}

TEST_F(IntlTest, TimeMasks) {
  EXPECT_EQ(TOvcIntlSup().InternationalTime(false), "Hh:mm");
  profile_.Set("iTLZero", "1");
  EXPECT_EQ(TOvcIntlSup().InternationalTime(true), "hh:mm:ss");
  TwelveHour();
  EXPECT_EQ(TOvcIntlSup().InternationalTime(true), "hh:mm:ss tt");
  profile_.Set("s1159", "a.m.").Set("s2359", "p.m.").Set("iTLZero", "0");
  EXPECT_EQ(TOvcIntlSup().InternationalTime(false), "Hh:mm tttt");
}

TEST_F(IntlTest, ShortDateMasks) {
  struct Case {
    const char *picture, *separator, *twoDigit, *century;
  } cases[] = {
      {"M/d/yy", "/", "MM/DD/yy", "MM/DD/yyyy"},
      {"dd.MM.yyyy", ".", "dd/mm/yyyy", "dd/mm/yyyy"},
      {"d-MMM-yy", "-", "DD/nnn/yy", "DD/nnn/yyyy"},
  };
  for (const Case &c : cases) {
    ScopedIntlProfile pin;
    pin.Set("sShortDate", c.picture).Set("sDate", c.separator);
    TOvcIntlSup intl;
    EXPECT_EQ(intl.InternationalDate(false), c.twoDigit) << c.picture;
    EXPECT_EQ(intl.InternationalDate(true), c.century) << c.picture;
  }
}

TEST_F(IntlTest, LongDateMasks) {
  struct Case {
    const char *picture;
    bool shortNames, excludeDow;
    const char *mask;
  } cases[] = {
      {"dddd, MMMM dd, yyyy", true, true, "nnn dd, yyyy"},
      {"dddd,MMMM d.yyyy", true, false, "www, nnn DD. yyyy"},
      {"yyyy. MMMM d., dddd", true, true, "yyyy. nnn DD. , "},
  };
  for (const Case &c : cases) {
    ScopedIntlProfile pin;
    pin.Set("sLongDate", c.picture);
    TOvcIntlSup intl;
    EXPECT_EQ(intl.InternationalLongDate(c.shortNames, c.excludeDow), c.mask) << c.picture;
  }
}

TEST_F(IntlTest, LongDateLiteralsFillTheirSlots) {
  profile_.Set("sLongDate", "'Le' d 'de' MMMM 'anno domini' yyyy 'x'");
  TOvcIntlSup intl;
  EXPECT_EQ(intl.LongDate(), "ff d gg nnnn hhhhhh yyyy 'x'");
  const QString mask = intl.InternationalLongDate(false, false);
  EXPECT_EQ(intl.DateToDateString(mask, Day(5, 1, 2024), true), "Le 5 de January anno d 2024 'x'");
}

TEST_F(IntlTest, DateTextWithTheSeparatorOfTheSettings) {
  TOvcIntlSup intl;
  struct Case {
    const char *mask;
    int d, m, y;
    bool pack;
    const char *text;
  } cases[] = {
      {"MM/DD/yy", 5, 1, 1996, true, "1/5/96"},
      {"nnn dd, yyyy", 5, 1, 2024, false, "Jan 05, 2024"},
      {"wwwwwwwww!", 5, 1, 2024, false, "Friday   !"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(intl.DateToDateString(c.mask, Day(c.d, c.m, c.y), c.pack), c.text) << c.mask;
  EXPECT_EQ(intl.DateToDateString("mm/dd/yyyy", BadDate, true), "  /  /    ") << "a bad date is never packed";
  EXPECT_EQ(intl.DMYtoDateString("mm/dd/yyyy", 5, 1, 24, false, 1950), "01/05/2024");
  EXPECT_EQ(intl.DMYtoDateString("mm/dd/yyyy", 31, 4, 2024, false, 0), "  /  /    ");

  // The separator comes from the "intl" values, both ways.
  profile_.Set("sDate", ".");
  TOvcIntlSup dotted;
  EXPECT_EQ(dotted.DateToDateString("dd/mm/yyyy", Day(5, 1, 2024), false), "05.01.2024");
  EXPECT_EQ(dotted.DateStringToDate("dd/mm/yyyy", "05.01.2024", 0), Day(5, 1, 2024));
}

TEST_F(IntlTest, DateFromTextWithDefaultsForMissingPartsAndMonthNames) {
  TOvcIntlSup intl;
  struct Case {
    const char *mask, *text;
    int epoch;
    bool valid;
    int d, m, y;
  } cases[] = {
      {"mm/dd/yy", "01/05/49", 1950, true, 5, 1, 2049},  {"mm/dd/yy", "01/05/50", 1950, true, 5, 1, 1950},
      {"mm/dd/yy", "02/30/24", 2000, false, 0, 0, 0},    {"mm/dd/yy", "01/05/2024", 2000, false, 0, 0, 0},
      {"MM/DD/yyyy", " 1/ 5/2024", 0, true, 5, 1, 2024}, {"nnn dd yyyy", "sep 09 1999", 0, true, 9, 9, 1999},
      {"mm/dd/yyyy", "01/01/4000", 0, false, 0, 0, 0},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(intl.DateStringToDate(c.mask, c.text, c.epoch), c.valid ? Day(c.d, c.m, c.y) : BadDate)
        << c.text;
  }
  EXPECT_TRUE(intl.DateStringIsBlank("mm/dd/yy", "  /  /  "));

  // Missing parts take their defaults.
  const int year = ovcdate::DefaultYear(), month = ovcdate::DefaultMonth();
  ovcdate::SetDefaultYearAndMonth(2030, 6);
  const DateParts dayMonth = intl.DateStringToDMY("dd/mm", "07/03", 0);
  EXPECT_TRUE(dayMonth.valid);
  EXPECT_EQ(dayMonth.year, 2030);
  EXPECT_EQ(intl.DateStringToDMY("dd", "15", 0).month, 6);
  ovcdate::SetDefaultYearAndMonth(year, month);

  // Month names match by their beginning, whatever the case.
  QList<int> months;
  for (const char *name : {"sep", "MARCH", "Ju", "", "xyz", "Januaryx"})
    months << intl.MonthNameToMonth(name);
  EXPECT_EQ(months, QList<int>({9, 3, 6, 0, 0, 0}));
}

TEST_F(IntlTest, TimeTextWithAndWithoutAmPmStrings) {
  TwelveHour();
  TOvcIntlSup intl;
  const TOvcTimeOfDay t1305 = ovcdate::HMStoTime(13, 5, 9);
  struct Case {
    const char *mask;
    TOvcTimeOfDay t;
    bool pack;
    const char *text;
  } cases[] = {
      {"Hh:mm tt", t1305, true, "1:05 PM"},
      {"hh:mm tt", ovcdate::HMStoTime(0, 30, 0), false, "12:30 AM"},
      {"hh:mm:ss", BadTime, false, "  :  :  "},
  };
  for (const Case &c : cases) EXPECT_EQ(intl.TimeToTimeString(c.mask, c.t, c.pack), c.text) << c.mask;

  profile_.Set("s1159", "").Set("s2359", "").Set("sTime", ".");
  TOvcIntlSup plain;
  const TOvcTimeOfDay t = ovcdate::HMStoTime(13, 5, 0);
  EXPECT_EQ(plain.TimeToTimeString("hh:mm tt", t, false), "13.05   ");
  EXPECT_EQ(plain.TimeToTimeString("hh:mm tt", t, true), "13.05") << "no blank left before an empty AM/PM";
  EXPECT_EQ(plain.TimeStringToTime("hh:mm tt", "13.05   "), t);
}

TEST_F(IntlTest, TimeFromText) {
  TwelveHour();
  TOvcIntlSup intl;
  struct Case {
    const char *mask, *text;
    bool valid;
    int h, m, s;
  } cases[] = {
      {"hh:mm tt", "01:05 PM", true, 13, 5, 0}, {"hh:mm tt", "01:05 pm", true, 13, 5, 0},
      {"hh:mm tt", "12:00 AM", true, 0, 0, 0},  {"hh:mm tt", "13:00 PM", false, 0, 0, 0},
      {"hh:mm tt", "01:05 XM", false, 0, 0, 0}, {"hh:mm:ss", "24:00:00", false, 0, 0, 0},
      {"HH:MM", " 9: 5", true, 9, 5, 0},        {"mm:ss", "10:20", true, 0, 10, 20},
  };
  for (const Case &c : cases) {
    const TimeParts parts = intl.TimeStringToHMS(c.mask, c.text);
    EXPECT_EQ(parts.valid, c.valid) << c.mask << " " << c.text;
    const auto hms = c.valid ? std::tuple(parts.hours, parts.minutes, parts.seconds) : std::tuple(0, 0, 0);
    EXPECT_EQ(hms, std::tuple(c.h, c.m, c.s)) << c.text;
  }
}

TEST_F(IntlTest, RangeMessagesByDataType) {
  profile_.Set("sShortDate", "dd.MM.yy").Set("sDate", ".");
  OvcIntlSupGuard global;
  struct Case {
    TOvcEfDataType type;
    const char *message;
  } cases[] = {
      {edtLongInt, "Invalid range. Enter a value between (-2147483648) and (2147483647)"},
      {edtDate, "Invalid date range. Enter a value using 'dd/mm/yyyy' as the format"},
      {edtTime, "Invalid time range. Enter a value using 'Hh:mm' as the format"},
      {edtString, "Invalid range value"},
  };
  for (const Case &c : cases) EXPECT_EQ(EInvalidRangeValue(c.type).Message(), c.message) << int(c.type);
}

} // namespace
