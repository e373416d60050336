#include "controls/framework/day_numbers.h"
#include <QDate>
#include <gtest/gtest.h>

using namespace ovcdate;

namespace {

TEST(DayNumbers, EveryDateOfTheRangeRoundTripsAndAgreesWithTheCalendar) {
  // Walk 1 January 1600 .. 31 December 3999 day by day beside Qt's proleptic Gregorian calendar.
  QDate date(1600, 1, 1);
  TOvcDayNumber expected = 0;
  int weekday = 6; // Saturday
  for (; date.year() <= 3999; date = date.addDays(1), ++expected, weekday = (weekday + 1) % 7) {
    const TOvcDayNumber n = DMYtoDate(date.day(), date.month(), date.year(), 0);
    ASSERT_EQ(n, expected) << date.toString(Qt::ISODate).toStdString();
    int d, m, y;
    DateToDMY(n, d, m, y);
    ASSERT_EQ(QDate(y, m, d), date) << n;
    ASSERT_EQ(DayOfWeek(n), weekday) << n;
    ASSERT_EQ(DaysInMonth(date.month(), date.year(), 0), date.daysInMonth());
  }
  EXPECT_EQ(expected, DMYtoDate(31, 12, 3999, 0) + 1);
}

TEST(DayNumbers, InvalidDatesHaveNoWeekdayAndLeapYears) {
  struct Case {
    int day, month, year;
  } cases[] = {{31, 12, 1599}, {1, 1, 4000}, {29, 2, 1900}, {0, 1, 2000}, {31, 4, 2000}, {1, 13, 2000}};
  for (const Case &c : cases) {
    EXPECT_FALSE(ValidDate(c.day, c.month, c.year, 0)) << c.day << "." << c.month << "." << c.year;
    EXPECT_EQ(DMYtoDate(c.day, c.month, c.year, 0), BadDate);
  }
  EXPECT_TRUE(ValidDate(29, 2, 2000, 0));
  EXPECT_EQ(DaysInMonth(2, 1599, 0), 0);
  EXPECT_EQ(DaysInMonth(13, 2000, 0), 0);
  int d = 9, m = 9, y = 9;
  DateToDMY(BadDate, d, m, y);
  EXPECT_EQ(d + m + y, 0);
  EXPECT_EQ(std::tuple(DayOfWeek(BadDate), DayOfWeekDMY(1, 1, 2000, 0), DayOfWeekDMY(30, 2, 2000, 0)),
            std::tuple(7, 6, 7))
      << "a bad date has no weekday";
}

TEST(DayNumbers, EpochRule) {
  struct Case {
    int year, epoch, resolved;
  } cases[] = {{49, 1950, 2049}, {50, 1950, 1950}, {5, 1906, 2005},
               {12, 0, 12},      {100, 1950, 100}, {1996, 2050, 1996}};
  for (const Case &c : cases)
    EXPECT_EQ(ResolveEpoch(c.year, c.epoch), c.resolved) << c.year << "/" << c.epoch;
  EXPECT_EQ(DMYtoDate(1, 1, 49, 1950), DMYtoDate(1, 1, 2049, 0));
  EXPECT_EQ(DMYtoDate(1, 1, 12, 0), BadDate) << "an epoch of 0 leaves two-digit years invalid";
  EXPECT_EQ(DaysInMonth(2, 0, 2000), 29);
}

// Moving by months or years keeps the day, clamped to the end of a shorter month, as the calendar does.
TEST(DayNumbers, IncDateAgreesWithTheCalendarAndStaysInTheRange) {
  for (TOvcDayNumber n = DMYtoDate(1, 1, 1999, 0); n < DMYtoDate(1, 1, 2002, 0); ++n) {
    int d, m, y;
    DateToDMY(n, d, m, y);
    for (const auto &[months, years] : {std::pair(-25, 0), {-1, 0}, {1, 0}, {14, 0}, {0, 1}, {30, -1}}) {
      int rd, rm, ry;
      DateToDMY(IncDate(n, months, years), rd, rm, ry);
      ASSERT_EQ(QDate(ry, rm, rd), QDate(y, m, d).addMonths(months + 12 * years))
          << n << " by " << months << " months " << years << " years";
    }
  }
  EXPECT_EQ(IncDate(DMYtoDate(1, 12, 3999, 0), 1, 0), BadDate);
  EXPECT_EQ(IncDate(DMYtoDate(1, 1, 1600, 0), 0, -1), BadDate);
  EXPECT_EQ(IncDate(BadDate, 1, 0), BadDate);
}

TEST(TimesOfDay, ModuloRules) {
  EXPECT_EQ(HMStoTime(25, 1, 1), 3661);
  EXPECT_EQ(DecTime(0, 0, 0, 1), 86399);
  EXPECT_EQ(DecTime(3600, 25, 0, 0), 0) << "hours taken modulo 24";
  EXPECT_EQ(IncTime(86399, 0, 0, 1), 0);
  std::uint8_t h = 9, m = 9, s = 9;
  TimeToHMS(BadTime, h, m, s);
  EXPECT_EQ(h + m + s, 0);
  for (TOvcTimeOfDay t = 0; t < SecondsInDay; t += 7) {
    TimeToHMS(t, h, m, s);
    ASSERT_EQ(HMStoTime(h, m, s), t);
  }
  EXPECT_TRUE(ValidTime(23, 59, 59));
  for (const auto &[hh, mm, ss] : {std::tuple(24, 0, 0), {0, 60, 0}, {0, 0, 60}, {-1, 0, 0}})
    EXPECT_FALSE(ValidTime(hh, mm, ss)) << hh << ":" << mm << ":" << ss;
}

TEST(DayNumbers, DateTimeConversionsAndTheClock) {
  struct Case {
    int d, m, y;
  } cases[] = {{30, 12, 1899}, {31, 12, 1899}, {1, 1, 1600}, {29, 2, 2000}, {31, 12, 3999}};
  for (const Case &c : cases) {
    const TOvcDayNumber n = DMYtoDate(c.d, c.m, c.y, 0);
    const TDateTime dt = EncodeDate(c.y, c.m, c.d);
    EXPECT_EQ(DayNumberToDateTime(n), dt) << c.y;
    EXPECT_EQ(DateTimeToDayNumber(dt), n) << c.y;
    EXPECT_EQ(DateTimeToDayNumber(ComposeDateTime(dt, 0.75)), n) << "the time part is ignored";
  }
  EXPECT_EQ(DateTimeToDayNumber(EncodeDate(1599, 12, 31)), BadDate);
  EXPECT_EQ(DayNumberToDateTime(BadDate), 0.0);
  EXPECT_EQ(TimeOfDayToDateTime(BadTime), 0.0);
  EXPECT_EQ(TimeOfDayToDateTime(HMStoTime(18, 0, 0)), 0.75);
  EXPECT_EQ(DateTimeToTimeOfDay(EncodeDate(2024, 1, 5) + EncodeTime(13, 5, 9, 999)), HMStoTime(13, 5, 9));
  for (TOvcTimeOfDay t = 0; t < SecondsInDay; t += 61)
    ASSERT_EQ(DateTimeToTimeOfDay(TimeOfDayToDateTime(t)), t);

  ClockGuard clock(EncodeDate(2031, 7, 14) + EncodeTime(8, 30, 15, 900));
  EXPECT_EQ(CurrentDate(), DMYtoDate(14, 7, 2031, 0));
  EXPECT_EQ(CurrentTime(), HMStoTime(8, 30, 15)) << "whole seconds, truncated";
}

} // namespace
