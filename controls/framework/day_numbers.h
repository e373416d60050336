// Dates and times as plain integers: a date is a day number counted from 1 January 1600 (day 0), valid for
// the years 1600..3999; a time is a count of seconds since midnight. -1 is the bad date and the bad time.
#pragma once
#include "platform/core/date_time.h"
#include <cstdint>

using TOvcDayNumber = std::int32_t;
using TOvcTimeOfDay = std::int32_t;

constexpr TOvcDayNumber BadDate = -1;
constexpr TOvcTimeOfDay BadTime = -1;
constexpr int MinYear = 1600;
constexpr int MaxYear = 3999;
constexpr TOvcTimeOfDay SecondsInDay = 86400;

// Weekdays in the order of TOvcDayType; 1 January 1600 is a Saturday.
enum class TOvcDayType { Sunday, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };

// The routines live in their own namespace because the class library's date-time routines (IsLeapYear,
// DayOfWeek) have the same names with other rules.
namespace ovcdate {

bool IsLeapYear(int year);
// A year below 100 placed in the hundred-year window that starts at Epoch; other years unchanged.
int ResolveEpoch(int year, int epoch);
// Days of Month in Year (resolved by Epoch); 0 for a month or resolved year out of range.
int DaysInMonth(int month, int year, int epoch);
bool ValidDate(int day, int month, int year, int epoch);
// The day number of a date, or BadDate when it is not valid.
TOvcDayNumber DMYtoDate(int day, int month, int year, int epoch);
// Splits a day number into its parts; BadDate gives 0, 0, 0.
void DateToDMY(TOvcDayNumber julian, int &day, int &month, int &year);
// Moves a date by months and years (either negative), keeping the day of the month but never past the target
// month's last day; BadDate when the result is outside the valid years.
TOvcDayNumber IncDate(TOvcDayNumber julian, int months, int years);
// 0 (Sunday) .. 6 (Saturday); 7 for the bad date.
int DayOfWeek(TOvcDayNumber julian);
int DayOfWeekDMY(int day, int month, int year, int epoch);

// Today as a day number, and the time of day now in whole seconds (from the platform clock).
TOvcDayNumber CurrentDate();
TOvcTimeOfDay CurrentTime();

// Conversions to and from the class library's date-time. The bad date and the bad time give 0.0.
TOvcDayNumber DateTimeToDayNumber(TDateTime value);
TOvcTimeOfDay DateTimeToTimeOfDay(TDateTime value); // milliseconds dropped
TDateTime DayNumberToDateTime(TOvcDayNumber julian);
TDateTime TimeOfDayToDateTime(TOvcTimeOfDay t);

// The year and month that date parsers use when a text gives none: set at start-up to the current ones.
int DefaultYear();
int DefaultMonth();
void SetDefaultYearAndMonth(int year, int month);

bool ValidTime(int hours, int minutes, int seconds);
TOvcTimeOfDay HMStoTime(std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds);
void TimeToHMS(TOvcTimeOfDay t, std::uint8_t &hours, std::uint8_t &minutes, std::uint8_t &seconds);
TOvcTimeOfDay IncTime(TOvcTimeOfDay t, std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds);
TOvcTimeOfDay DecTime(TOvcTimeOfDay t, std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds);

} // namespace ovcdate
