// The class library's date-time: a double counting days since 30 December 1899, with the time of day as the
// fraction. Before that day the value is negative and the fraction's magnitude is still the time:
// -1.25 is 29 December 1899, 06:00. Years 1 to 9999 of the Gregorian calendar are supported.
//
// Now, Date and Time read a clock that tests replace with ClockGuard.
#pragma once
#include "platform/core/format_settings.h"
#include <QDateTime>
#include <QString>
#include <functional>

using TDateTime = double;

// Days from 1 January 0001 to 30 December 1899: EncodeDate(1, 1, 1) is 1 - DateDelta.
constexpr int DateDelta = 693594;
constexpr double MinDateTime = -693593.0;        // 1 January 0001
constexpr double MaxDateTime = 2958465.99999999; // 31 December 9999, last millisecond

bool IsLeapYear(int year);
// Days of the month (1..12) of the year; 0 for a month outside 1..12.
int MonthDays(int year, int month);

// Raise EConvertError "Invalid argument to date encode" / "Invalid argument to time encode" for values out of
// range (year 1..9999, month 1..12, day of that month; hour < 24, minute < 60, second < 60, msec < 1000).
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime &date);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime &time);
// Joins a date and a time of day, honouring the sign convention of dates before 1899.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

// The date part is the value truncated toward zero; the time part is the fraction's magnitude rounded to the
// millisecond (a time that rounds up to midnight belongs to the next day).
void DecodeDate(TDateTime value, int &year, int &month, int &day);
void DecodeTime(TDateTime value, int &hour, int &minute, int &second, int &msec);
void DecodeDateTime(TDateTime value, int &year, int &month, int &day, int &hour, int &minute, int &second,
                    int &msec);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime value);
// Moves the date by whole months, keeping the time and clamping the day to the target month's last day.
TDateTime IncMonth(TDateTime value, int months = 1);

// The clock: Now is date and time, Date today at midnight, Time the time of day only.
TDateTime Now();
TDateTime Date();
TDateTime Time();

using ClockFunction = std::function<TDateTime()>;
// Replaces the clock until the guard goes out of scope (for tests).
class ClockGuard {
public:
  explicit ClockGuard(ClockFunction clock);
  // A clock that stands still at the given moment.
  explicit ClockGuard(TDateTime fixed);
  ~ClockGuard();
  ClockGuard(const ClockGuard &) = delete;
  ClockGuard &operator=(const ClockGuard &) = delete;

private:
  ClockFunction saved_;
};

// Qt's local date-time as a TDateTime (milliseconds kept).
TDateTime DateTimeFromQDateTime(const QDateTime &value);

// Formats by the class library's specifiers (case does not matter unless said):
//   c        ShortDateFormat, then " " and LongTimeFormat unless the time is midnight
//   d dd     day without / with leading zero      ddd dddd   short / long day name
//   ddddd    ShortDateFormat                      dddddd     LongDateFormat
//   m mm     month (minutes right after h or hh)  mmm mmmm   short / long month name
//   yy yyyy  two-digit / four-digit year          h hh       hour (12-hour when an am/pm specifier follows)
//   n nn     minute                               s ss       second
//   z zzz    millisecond                          t tt       ShortTimeFormat / LongTimeFormat
//   am/pm    "am" or "pm" in the case written     a/p        "a" or "p" in the case written
//   ampm     TimeAMString or TimePMString         /   :      date / time separator
//   'x' "x"  literal text                         other characters are copied.
// An empty format means "c".
QString FormatDateTime(const QString &format, TDateTime value);
QString FormatDateTime(const QString &format, TDateTime value, const FormatSettings &settings);

QString DateToStr(TDateTime value);     // ShortDateFormat
QString DateTimeToStr(TDateTime value); // "c"
QString DateToStr(TDateTime value, const FormatSettings &settings);
QString DateTimeToStr(TDateTime value, const FormatSettings &settings);

// Reading dates: two or three numbers separated by DateSeparator, in the order of ShortDateFormat (the first
// of d, m, y in it decides: day-month-year, month-day-year or year-month-day). Without a year the current
// year applies; a year of one or two digits is placed by TwoDigitYearCenturyWindow. When ShortDateFormat ends
// with a separator, the text may too. Reading times: hours, optional minutes and seconds separated by
// TimeSeparator, optional fractions of a second after the decimal separator (up to 3 digits), and an optional
// AM/PM marker (TimeAMString, TimePMString, "AM" or "PM", before or after). Surrounding blanks are allowed.
// Failures raise EConvertError "'<text>' is not a valid date" / "... valid time" / "... valid date and time".
TDateTime StrToDate(const QString &text);
TDateTime StrToTime(const QString &text);
TDateTime StrToDateTime(const QString &text);
bool TryStrToDate(const QString &text, TDateTime &value);
bool TryStrToDateTime(const QString &text, TDateTime &value);
bool TryStrToDate(const QString &text, TDateTime &value, const FormatSettings &settings);
bool TryStrToTime(const QString &text, TDateTime &value, const FormatSettings &settings);
bool TryStrToDateTime(const QString &text, TDateTime &value, const FormatSettings &settings);
TDateTime StrToDate(const QString &text, const FormatSettings &settings);
TDateTime StrToTime(const QString &text, const FormatSettings &settings);
TDateTime StrToDateTime(const QString &text, const FormatSettings &settings);
