#include "controls/framework/day_numbers.h"

namespace ovcdate {

namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

struct YearMonth {
  int year = 0;
  int month = 0;
};

YearMonth &Defaults() {
  static YearMonth defaults = [] {
    int year, month, day;
    DecodeDate(Date(), year, month, day);
    return YearMonth{year, month};
  }();
  return defaults;
}

} // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && year % 4000 != 0 && (year % 100 != 0 || year % 400 == 0);
}

int ResolveEpoch(int year, int epoch) {
  if (year >= 100) return year;
  const int century = epoch / 100 * 100;
  return epoch % 100 > year ? century + 100 + year : century + year;
}

int DaysInMonth(int month, int year, int epoch) {
  year = ResolveEpoch(year, epoch);
  if (year < MinYear || year > MaxYear || month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kMonthDays[month - 1];
}

bool ValidDate(int day, int month, int year, int epoch) {
  year = ResolveEpoch(year, epoch);
  return day >= 1 && year >= MinYear && year <= MaxYear && month >= 1 && month <= 12 &&
         day <= DaysInMonth(month, year, epoch);
}

TOvcDayNumber DMYtoDate(int day, int month, int year, int epoch) {
  if (!ValidDate(day, month, year, epoch)) return BadDate;
  year = ResolveEpoch(year, epoch);
  if (year == MinYear && month < 3) return month == 1 ? day - 1 : day + 30;
  // Count the year from March, so that the leap day falls at its end.
  if (month > 2) {
    month -= 3;
  } else {
    month += 9;
    --year;
  }
  const int c = year - MinYear;
  return 146097 * (c / 100) / 4 + 1461 * (c % 100) / 4 + (153 * month + 2) / 5 + day + 59;
}

void DateToDMY(TOvcDayNumber julian, int &day, int &month, int &year) {
  if (julian < 0) {
    day = month = year = 0;
    return;
  }
  if (julian <= 59) {
    // January and February 1600 come before the first March-based year.
    year = MinYear;
    if (julian <= 30) {
      month = 1;
      day = julian + 1;
    } else {
      month = 2;
      day = julian - 30;
    }
    return;
  }
  const std::int64_t i = 4 * (std::int64_t(julian) - 59) - 1;
  std::int64_t y = 100 * (i / 146097);
  const std::int64_t j = i % 146097 / 4;
  y += (4 * j + 3) / 1461;
  const std::int64_t k = ((4 * j + 3) % 1461 + 4) / 4;
  const std::int64_t m = (5 * k - 3) / 153;
  day = int(((5 * k - 3) % 153 + 5) / 5);
  if (m < 10) {
    month = int(m + 3);
  } else {
    month = int(m - 9);
    ++y;
  }
  year = int(y + MinYear);
}

TOvcDayNumber IncDate(TOvcDayNumber julian, int months, int years) {
  int day, month, year;
  DateToDMY(julian, day, month, year);
  int excess = 0;
  if (day >= 28) {
    excess = day - 28;
    day = 28;
  }
  year += years + months / 12;
  month += months % 12;
  if (month < 1) {
    month += 12;
    --year;
  } else if (month > 12) {
    month -= 12;
    ++year;
  }
  const TOvcDayNumber result = DMYtoDate(day, month, year, 0);
  if (result == BadDate) return BadDate;
  const int room = DaysInMonth(month, year, 0) - 28;
  return result + (excess <= room ? excess : room);
}

int DayOfWeek(TOvcDayNumber julian) {
  if (julian < 0) return 7;
  // Day 0 was a Saturday.
  return int((std::int64_t(julian) + 6) % 7);
}

int DayOfWeekDMY(int day, int month, int year, int epoch) {
  return DayOfWeek(DMYtoDate(day, month, year, epoch));
}

TOvcDayNumber CurrentDate() { return DateTimeToDayNumber(Date()); }

TOvcTimeOfDay CurrentTime() { return DateTimeToTimeOfDay(Time()); }

TOvcDayNumber DateTimeToDayNumber(TDateTime value) {
  int year, month, day;
  DecodeDate(value, year, month, day);
  return DMYtoDate(day, month, year, 0);
}

TOvcTimeOfDay DateTimeToTimeOfDay(TDateTime value) {
  int hours, minutes, seconds, msec;
  DecodeTime(value, hours, minutes, seconds, msec);
  return hours * 3600 + minutes * 60 + seconds;
}

TDateTime DayNumberToDateTime(TOvcDayNumber julian) {
  if (julian < 0) return 0.0;
  int day, month, year;
  DateToDMY(julian, day, month, year);
  return EncodeDate(year, month, day);
}

TDateTime TimeOfDayToDateTime(TOvcTimeOfDay t) {
  if (t < 0 || t >= SecondsInDay) return 0.0;
  std::uint8_t hours, minutes, seconds;
  TimeToHMS(t, hours, minutes, seconds);
  return EncodeTime(hours, minutes, seconds, 0);
}

int DefaultYear() { return Defaults().year; }
int DefaultMonth() { return Defaults().month; }
void SetDefaultYearAndMonth(int year, int month) { Defaults() = YearMonth{year, month}; }

bool ValidTime(int hours, int minutes, int seconds) {
  return hours >= 0 && hours < 24 && minutes >= 0 && minutes < 60 && seconds >= 0 && seconds < 60;
}

TOvcTimeOfDay HMStoTime(std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds) {
  return (hours % 24 * 3600 + minutes * 60 + seconds) % SecondsInDay;
}

void TimeToHMS(TOvcTimeOfDay t, std::uint8_t &hours, std::uint8_t &minutes, std::uint8_t &seconds) {
  if (t < 0) {
    hours = minutes = seconds = 0;
    return;
  }
  hours = std::uint8_t(t / 3600);
  minutes = std::uint8_t(t % 3600 / 60);
  seconds = std::uint8_t(t % 60);
}

TOvcTimeOfDay IncTime(TOvcTimeOfDay t, std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds) {
  return (t + HMStoTime(hours, minutes, seconds)) % SecondsInDay;
}

TOvcTimeOfDay DecTime(TOvcTimeOfDay t, std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds) {
  TOvcTimeOfDay result = t - HMStoTime(std::uint8_t(hours % 24), minutes, seconds);
  if (result < 0) result += SecondsInDay;
  return result;
}

} // namespace ovcdate
