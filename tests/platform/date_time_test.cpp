#include "platform/core/date_time.h"
#include "platform/core/exceptions.h"
#include "tests/platform/raises.h"
#include <cmath>
#include <gtest/gtest.h>

namespace {

class DateTime : public ::testing::Test {
protected:
  FormatSettingsGuard settings_{FormatSettings::USEnglish()};
  // Today is 15 June 2024, 10:30, unless a test says otherwise.
  ClockGuard clock_{EncodeDate(2024, 6, 15) + EncodeTime(10, 30, 0, 0)};
};

TEST_F(DateTime, EncodeDateCountsDaysFromTheEndOf1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(1800, 1, 1), -36522);
  EXPECT_EQ(EncodeDate(1, 1, 1), MinDateTime);
  EXPECT_EQ(EncodeDate(9999, 12, 31), std::floor(MaxDateTime));
}

TEST_F(DateTime, EncodeDateRefusesImpossibleDates) {
  const int bad[][3] = {{1900, 2, 29}, {2000, 4, 31}, {2000, 13, 1}, {0, 1, 1}, {10000, 1, 1}};
  for (const auto &date : bad) {
    EXPECT_EQ(MessageOf<EConvertError>([&] { EncodeDate(date[0], date[1], date[2]); }),
              "Invalid argument to date encode");
    TDateTime value = 7;
    EXPECT_FALSE(TryEncodeDate(date[0], date[1], date[2], value));
    EXPECT_EQ(value, 7);
  }
  EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
}

TEST_F(DateTime, EveryDayFrom1600To3999RoundTripsWithItsWeekday) {
  const int first = int(EncodeDate(1600, 1, 1));
  const int last = int(EncodeDate(3999, 12, 31));
  int year = 1600, month = 1, day = 1;
  int weekday = 7; // 1 January 1600 was a Saturday
  for (int serial = first; serial <= last; ++serial) {
    int y, m, d;
    DecodeDate(serial, y, m, d);
    ASSERT_EQ(std::tuple(y, m, d, DayOfWeek(serial)), std::tuple(year, month, day, weekday)) << serial;
    ASSERT_EQ(EncodeDate(y, m, d), serial);
    // The next calendar day, counted by hand.
    weekday = weekday % 7 + 1;
    if (++day > MonthDays(year, month)) {
      day = 1;
      if (++month > 12) {
        month = 1;
        ++year;
      }
    }
  }
}

TEST_F(DateTime, DatesBefore1900KeepTheTimeAsTheFractionsMagnitude) {
  int year, month, day, hour, minute, second, msec;
  DecodeDateTime(-1.25, year, month, day, hour, minute, second, msec);
  EXPECT_EQ(QDate(year, month, day), QDate(1899, 12, 29));
  EXPECT_EQ(QTime(hour, minute, second, msec), QTime(6, 0));
  EXPECT_EQ(ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0)), -1.25);
  EXPECT_EQ(DayOfWeek(EncodeDate(1850, 7, 4)), 5); // a Thursday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 29) - 0.5), 6);
}

TEST_F(DateTime, TimesEncodeAndDecodeToTheMillisecondAndMidnightBelongsToTheNextDay) {
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  for (int msecOfDay = 0; msecOfDay < 86400000; msecOfDay += 997) {
    const int h = msecOfDay / 3600000, n = msecOfDay / 60000 % 60, s = msecOfDay / 1000 % 60,
              z = msecOfDay % 1000;
    const TDateTime value = EncodeDate(2024, 3, 1) + EncodeTime(h, n, s, z);
    int hour, minute, second, msec;
    DecodeTime(value, hour, minute, second, msec);
    ASSERT_EQ(QTime(hour, minute, second, msec), QTime(h, n, s, z));
  }
  for (const std::array<int, 4> &t : {std::array{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}})
    EXPECT_EQ(MessageOf<EConvertError>([&] { EncodeTime(t[0], t[1], t[2], t[3]); }),
              "Invalid argument to time encode");

  // A time that rounds up to midnight belongs to the next day.
  int year, month, day, hour, minute, second, msec;
  DecodeDateTime(EncodeDate(2024, 12, 31) + 0.9999999999, year, month, day, hour, minute, second, msec);
  EXPECT_EQ(QDate(year, month, day), QDate(2025, 1, 1));
  EXPECT_EQ(QTime(hour, minute, second, msec), QTime(0, 0));
}

TEST_F(DateTime, IncMonthClampsTheDayAndKeepsTheTime) {
  EXPECT_EQ(IncMonth(EncodeDate(2001, 1, 31)), EncodeDate(2001, 2, 28));
  EXPECT_EQ(IncMonth(EncodeDate(2000, 2, 29), 12), EncodeDate(2001, 2, 28));
  EXPECT_EQ(IncMonth(EncodeDate(2001, 1, 15), -13), EncodeDate(1999, 12, 15));
  EXPECT_EQ(IncMonth(EncodeDate(1899, 12, 29) - 0.25, 1), EncodeDate(1900, 1, 29) + 0.25);
  EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31) + 0.75, 1), EncodeDate(2024, 2, 29) + 0.75);
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
}

TEST_F(DateTime, TheClockCanBeReplacedAndQtDatesConvert) {
  {
    ClockGuard earlier(ComposeDateTime(EncodeDate(1850, 1, 2), EncodeTime(18, 0, 0, 0)));
    EXPECT_EQ(std::pair(Date(), Time()), std::pair(EncodeDate(1850, 1, 2), 0.75));
  }

  // Qt's dates convert, before 1900 too.
  const QDateTime moment(QDate(1850, 7, 4), QTime(18, 45, 30, 250));
  EXPECT_EQ(DateTimeFromQDateTime(moment),
            ComposeDateTime(EncodeDate(1850, 7, 4), EncodeTime(18, 45, 30, 250)));
}

struct FormatCase {
  const char *format;
  const char *expected;
};

TEST_F(DateTime, FormatDateTimeSpecifiers) {
  // Saturday, 1 February 2003, 14:05:09.007.
  const TDateTime value = EncodeDate(2003, 2, 1) + EncodeTime(14, 5, 9, 7);
  // Day, month and year, then the time: "m" right after an hour is the minute.
  EXPECT_EQ(FormatDateTime("d dd ddd dddd m mm mmm mmmm yy yyyy", value),
            "1 01 Sat Saturday 2 02 Feb February 03 2003");
  EXPECT_EQ(FormatDateTime("h hh n nn s ss z zzz", value), "14 14 5 05 9 09 7 007");
  const FormatCase cases[] = {
      {"ddddd", "2/1/2003"},
      {"dddddd", "Saturday, February 1, 2003"},
      {"t", "2:05 PM"},
      {"tt", "2:05:09 PM"},
      {"", "2/1/2003 2:05:09 PM"},
      {"hh:mm", "14:05"},
      {"h:mm am/pm, h:mm AM/PM, h a/p, h A/P, h ampm", "2:05 pm, 2:05 PM, 2 p, 2 P, 2 PM"},
      {"hh 'o''clock', 'day' d, \"h\"h", "14 oclock, day 1, h14"},
      {"dd/mm/yyyy", "01/02/2003"},
      {"DD MMM YYYY", "01 Feb 2003"},
  };
  for (const FormatCase &c : cases)
    EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.format), value), QString::fromUtf8(c.expected)) << c.format;
}

TEST_F(DateTime, FormatDateTimeAroundNoonAndMidnightBefore1900AndWithOtherSeparatorsAndNames) {
  const TDateTime day = EncodeDate(2003, 2, 1);
  EXPECT_EQ(FormatDateTime("h:nn ampm", day), "12:00 AM");
  EXPECT_EQ(FormatDateTime("h:nn ampm", day + EncodeTime(12, 30, 0, 0)), "12:30 PM");
  // Without a time, "c" shows the date alone.
  EXPECT_EQ(DateTimeToStr(day), "2/1/2003");

  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd dddd", EncodeDate(800, 3, 1)), "0800-03-01 Wednesday");

  FormatSettings s;
  s.DateSeparator = QLatin1Char('.');
  s.TimeSeparator = QLatin1Char('-');
  s.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
  s.LongMonthNames[1] = QStringLiteral("Februar");
  const TDateTime value = day + EncodeTime(14, 5, 0, 0);
  EXPECT_EQ(FormatDateTime("ddddd hh:nn", value, s), "01.02.2003 14-05");
  EXPECT_EQ(FormatDateTime("d. mmmm yyyy", value, s), "1. Februar 2003");
}

TEST_F(DateTime, StrToDateFollowsTheShortDateOrder) {
  struct Case {
    const char *shortDate;
    const char *text;
    int year, month, day;
  };
  const Case cases[] = {
      {"m/d/yyyy", "2 / 1 / 2003", 2003, 2, 1}, {"m/d/yyyy", "2/1", 2024, 2, 1},
      {"dd/mm/yyyy", "2/1/2003", 2003, 1, 2},   {"dd/mm/yyyy", "2/1", 2024, 1, 2},
      {"yyyy/mm/dd", "2003/2/1", 2003, 2, 1},   {"yyyy/mm/dd", "2/1", 2024, 2, 1},
      {"'Date' d/m/y", "2/1/2003", 2003, 1, 2}, {"m/d/yyyy", "12/31/0099", 99, 12, 31},
  };
  for (const Case &c : cases) {
    FormatSettings s;
    s.ShortDateFormat = QString::fromUtf8(c.shortDate);
    EXPECT_EQ(StrToDate(QString::fromUtf8(c.text), s), EncodeDate(c.year, c.month, c.day))
        << c.shortDate << " " << c.text;
  }
}

TEST_F(DateTime, TwoDigitYearsFallIntoTheCenturyWindow) {
  // Today is in 2024; a window of 50 years reaches from 1974 to 2073.
  FormatSettings s;
  EXPECT_EQ(StrToDate("1/2/73", s), EncodeDate(2073, 1, 2));
  EXPECT_EQ(StrToDate("1/2/74", s), EncodeDate(1974, 1, 2));
  s.TwoDigitYearCenturyWindow = 0;
  EXPECT_EQ(StrToDate("1/2/99", s), EncodeDate(2099, 1, 2));
  ClockGuard later(EncodeDate(2090, 1, 1));
  s.TwoDigitYearCenturyWindow = 50;
  EXPECT_EQ(StrToDate("1/2/39", s), EncodeDate(2139, 1, 2));
  EXPECT_EQ(StrToDate("1/2/40", s), EncodeDate(2040, 1, 2));
}

TEST_F(DateTime, StrToDateRefusesWhatIsNotADate) {
  const char *const bad[] = {"", "2/30/2003", "2/1/2003x", "2/1/", "2/1/10000"};
  for (const char *text : bad) {
    EXPECT_EQ(MessageOf<EConvertError>([&] { StrToDate(QString::fromUtf8(text)); }),
              QStringLiteral("'%1' is not a valid date").arg(text));
  }
  TDateTime value = 3;
  EXPECT_FALSE(TryStrToDate("2/30/2003", value));
  EXPECT_EQ(value, 3);
  // With a point as the date separator, slashes are refused.
  FormatSettings s;
  s.DateSeparator = QLatin1Char('.');
  s.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
  EXPECT_EQ(StrToDate("01.02.2003", s), EncodeDate(2003, 2, 1));
  EXPECT_THROW(StrToDate("01/02/2003", s), EConvertError);
}

TEST_F(DateTime, StrToTimeAndStrToDateTime) {
  struct Case {
    const char *text;
    int hour, minute, second, msec;
  };
  const Case cases[] = {
      {"14:05:09", 14, 5, 9, 0}, {"2:05 pm", 14, 5, 0, 0}, {"12:00 AM", 0, 0, 0, 0},
      {"PM 2:05", 14, 5, 0, 0},  {"14", 14, 0, 0, 0},      {"10:00:00.5", 10, 0, 0, 500},
  };
  for (const Case &c : cases)
    EXPECT_EQ(StrToTime(QString::fromUtf8(c.text)), EncodeTime(c.hour, c.minute, c.second, c.msec)) << c.text;

  const char *const bad[] = {"", "25:00", "13:00 PM", "0:30 AM", "10:", "10:00:00.1234"};
  for (const char *text : bad) {
    EXPECT_EQ(MessageOf<EConvertError>([&] { StrToTime(QString::fromUtf8(text)); }),
              QStringLiteral("'%1' is not a valid time").arg(text));
  }
  EXPECT_EQ(StrToDateTime("2/1/2003 14:05:09"), EncodeDate(2003, 2, 1) + EncodeTime(14, 5, 9, 0));
  EXPECT_EQ(StrToDateTime("12/29/1899 6:00 AM"), -1.25);
  EXPECT_EQ(MessageOf<EConvertError>([&] { StrToDateTime("2/1/2003 x"); }),
            "'2/1/2003 x' is not a valid date and time");
}

} // namespace
