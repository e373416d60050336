#include "platform/core/date_time.h"
#include "platform/core/exceptions.h"
#include <cmath>

namespace {

constexpr int64_t MSecsPerDay = 86400000;
// Days from 1 January 1970 back to 30 December 1899.
constexpr int64_t UnixDateDelta = 25569;

// Days since 1 January 1970 of a proleptic Gregorian date (the era algorithm, exact for every year).
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int &year, int &month, int &day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shifted = (5 * dayOfYear + 2) / 153;
  day = int(dayOfYear - (153 * shifted + 2) / 5 + 1);
  month = int(shifted < 10 ? shifted + 3 : shifted - 9);
  year = int(yearOfEra + era * 400 + (month <= 2));
}

// A date-time split into whole days (as the date-time of that midnight) and milliseconds of the day. False
// for values outside the supported years.
struct Split {
  int64_t day = 0;
  int64_t msec = 0;
};

bool SplitDateTime(TDateTime value, Split &split) {
  if (!(value >= MinDateTime && value < MaxDateTime + 1)) return false;
  split.day = int64_t(std::trunc(value));
  split.msec = std::llround(std::fabs(value - std::trunc(value)) * double(MSecsPerDay));
  if (split.msec >= MSecsPerDay) {
    // A time that rounds to midnight belongs to the next day.
    split.msec = 0;
    split.day += 1;
  }
  return true;
}

ClockFunction &Clock() {
  static ClockFunction clock = [] { return DateTimeFromQDateTime(QDateTime::currentDateTime()); };
  return clock;
}

} // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int MonthDays(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime &date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > MonthDays(year, month))
    return false;
  date = double(DaysFromCivil(year, month, day) + UnixDateDelta);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime date;
  if (!TryEncodeDate(year, month, day, date))
    throw EConvertError(QStringLiteral("Invalid argument to date encode"));
  return date;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime &time) {
  if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 || msec < 0 ||
      msec >= 1000)
    return false;
  time = double(((hour * 60 + minute) * 60 + second) * 1000 + msec) / double(MSecsPerDay);
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  TDateTime time;
  if (!TryEncodeTime(hour, minute, second, msec, time))
    throw EConvertError(QStringLiteral("Invalid argument to time encode"));
  return time;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  const double day = std::trunc(date);
  const double fraction = std::fabs(time - std::trunc(time));
  return day < 0 ? day - fraction : day + fraction;
}

void DecodeDate(TDateTime value, int &year, int &month, int &day) {
  Split split;
  if (!SplitDateTime(value, split)) {
    year = month = day = 0;
    return;
  }
  CivilFromDays(split.day - UnixDateDelta, year, month, day);
}

void DecodeTime(TDateTime value, int &hour, int &minute, int &second, int &msec) {
  Split split;
  if (!SplitDateTime(value, split)) {
    hour = minute = second = msec = 0;
    return;
  }
  msec = int(split.msec % 1000);
  second = int(split.msec / 1000 % 60);
  minute = int(split.msec / 60000 % 60);
  hour = int(split.msec / 3600000);
}

void DecodeDateTime(TDateTime value, int &year, int &month, int &day, int &hour, int &minute, int &second,
                    int &msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
}

int DayOfWeek(TDateTime value) {
  Split split;
  if (!SplitDateTime(value, split)) return 0;
  // 30 December 1899 (day 0) was a Saturday.
  const int64_t weekday = ((split.day + 6) % 7 + 7) % 7; // 0 = Sunday
  return int(weekday) + 1;
}

TDateTime IncMonth(TDateTime value, int months) {
  int year, month, day;
  DecodeDate(value, year, month, day);
  if (year == 0) throw EConvertError(QStringLiteral("Invalid argument to date encode"));
  const int total = year * 12 + (month - 1) + months;
  const int newYear = total / 12;
  const int newMonth = total % 12 + 1;
  const int newDay = qMin(day, MonthDays(newYear, newMonth));
  const TDateTime date = EncodeDate(newYear, newMonth, newDay);
  return ComposeDateTime(date, value);
}

TDateTime Now() { return Clock()(); }
TDateTime Date() { return std::trunc(Now()); }
TDateTime Time() {
  const TDateTime now = Now();
  return std::fabs(now - std::trunc(now));
}

ClockGuard::ClockGuard(ClockFunction clock) : saved_(Clock()) { Clock() = std::move(clock); }
ClockGuard::ClockGuard(TDateTime fixed) : ClockGuard(ClockFunction([fixed] { return fixed; })) {}
ClockGuard::~ClockGuard() { Clock() = std::move(saved_); }

TDateTime DateTimeFromQDateTime(const QDateTime &value) {
  const QDate date = value.date();
  const double day = double(DaysFromCivil(date.year(), date.month(), date.day()) + UnixDateDelta);
  return ComposeDateTime(day, double(value.time().msecsSinceStartOfDay()) / double(MSecsPerDay));
}

// ---- Formatting ------------------------------------------------------------------------------------------

namespace {

bool IsAsciiLetter(QChar c) {
  return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

QString Number(int value, int digits) {
  return QString::number(value).rightJustified(digits, QLatin1Char('0'));
}

bool StartsWithNoCase(const QString &text, int at, const QString &prefix) {
  return !prefix.isEmpty() && QStringView(text).mid(at).startsWith(prefix, Qt::CaseInsensitive);
}

// Formats one date-time by the class library's specifiers; nested formats (c, ddddd, dddddd, t, tt) recurse
// two levels deep at most, as the class library does.
class DateTimeFormatter {
public:
  DateTimeFormatter(TDateTime value, const FormatSettings &settings) : settings_(settings) {
    DecodeDateTime(value, year_, month_, day_, hour_, minute_, second_, msec_);
    dayOfWeek_ = year_ == 0 ? 0 : DayOfWeek(value);
  }

  QString Run(const QString &format) {
    Append(format.isEmpty() ? QStringLiteral("C") : format, 1);
    return out_;
  }

private:
  void Append(const QString &format, int level) {
    if (level > 2) return;
    const int length = format.size();
    QChar lastToken = QLatin1Char(' ');
    int i = 0;
    while (i < length) {
      const QChar starter = format[i];
      const int start = i++;
      QChar token = IsAsciiLetter(starter) ? starter.toUpper() : starter;
      if (IsAsciiLetter(token)) {
        if (token == QLatin1Char('M') && lastToken == QLatin1Char('H')) token = QLatin1Char('N');
        lastToken = token;
      }
      auto count = [&] {
        while (i < length && format[i].toUpper() == starter.toUpper()) ++i;
        return i - start;
      };
      switch (token.unicode()) {
      case u'Y': out_ += count() <= 2 ? Number(year_ % 100, 2) : Number(year_, 4); break;
      case u'M': {
        const int n = count();
        if (n <= 2)
          out_ += Number(month_, n);
        else if (month_ >= 1)
          out_ += n == 3 ? settings_.ShortMonthNames[month_ - 1] : settings_.LongMonthNames[month_ - 1];
        break;
      }
      case u'D': {
        const int n = count();
        if (n <= 2)
          out_ += Number(day_, n);
        else if (n == 5)
          Append(settings_.ShortDateFormat, level + 1);
        else if (n >= 6)
          Append(settings_.LongDateFormat, level + 1);
        else if (dayOfWeek_ >= 1)
          out_ += n == 3 ? settings_.ShortDayNames[dayOfWeek_ - 1] : settings_.LongDayNames[dayOfWeek_ - 1];
        break;
      }
      case u'H': {
        const int n = qMin(count(), 2);
        if (AmPmFollows(format, i)) twelveHour_ = true;
        int hour = hour_;
        if (twelveHour_) hour = hour == 0 ? 12 : hour > 12 ? hour - 12 : hour;
        out_ += Number(hour, n);
        break;
      }
      case u'N': out_ += Number(minute_, qMin(count(), 2)); break;
      case u'S': out_ += Number(second_, qMin(count(), 2)); break;
      case u'Z': out_ += Number(msec_, qMin(count(), 3)); break;
      case u'T':
        Append(count() == 1 ? settings_.ShortTimeFormat : settings_.LongTimeFormat, level + 1);
        break;
      case u'C':
        count();
        Append(settings_.ShortDateFormat, level + 1);
        if (hour_ != 0 || minute_ != 0 || second_ != 0) {
          out_ += QLatin1Char(' ');
          Append(settings_.LongTimeFormat, level + 1);
        }
        break;
      case u'A':
        if (StartsWithNoCase(format, start, QStringLiteral("AM/PM"))) {
          out_ += format.mid(hour_ >= 12 ? start + 3 : start, 2);
          i = start + 5;
          twelveHour_ = true;
        } else if (StartsWithNoCase(format, start, QStringLiteral("A/P"))) {
          out_ += format[hour_ >= 12 ? start + 2 : start];
          i = start + 3;
          twelveHour_ = true;
        } else if (StartsWithNoCase(format, start, QStringLiteral("AMPM"))) {
          out_ += hour_ < 12 ? settings_.TimeAMString : settings_.TimePMString;
          i = start + 4;
          twelveHour_ = true;
        } else {
          out_ += starter;
        }
        break;
      case u'/':
        if (!settings_.DateSeparator.isNull()) out_ += settings_.DateSeparator;
        break;
      case u':':
        if (!settings_.TimeSeparator.isNull()) out_ += settings_.TimeSeparator;
        break;
      case u'\'':
      case u'"': {
        const int end = format.indexOf(starter, i);
        const int stop = end < 0 ? length : end;
        out_ += format.mid(i, stop - i);
        i = stop < length ? stop + 1 : length;
        break;
      }
      default: out_ += starter; break;
      }
    }
  }

  // Whether an am/pm specifier comes after an hour, before the next hour specifier (quoted text skipped).
  static bool AmPmFollows(const QString &format, int from) {
    QChar quote;
    for (int i = from; i < format.size(); ++i) {
      const QChar c = format[i];
      if (!quote.isNull()) {
        if (c == quote) quote = QChar();
      } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        quote = c;
      } else if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
        return StartsWithNoCase(format, i, QStringLiteral("AM/PM")) ||
               StartsWithNoCase(format, i, QStringLiteral("A/P")) ||
               StartsWithNoCase(format, i, QStringLiteral("AMPM"));
      } else if (c == QLatin1Char('h') || c == QLatin1Char('H')) {
        return false;
      }
    }
    return false;
  }

  const FormatSettings &settings_;
  int year_, month_, day_, hour_, minute_, second_, msec_, dayOfWeek_;
  bool twelveHour_ = false;
  QString out_;
};

} // namespace

QString FormatDateTime(const QString &format, TDateTime value) {
  return FormatDateTime(format, value, Settings());
}
QString FormatDateTime(const QString &format, TDateTime value, const FormatSettings &settings) {
  return DateTimeFormatter(value, settings).Run(format);
}

QString DateToStr(TDateTime value) { return DateToStr(value, Settings()); }
QString DateTimeToStr(TDateTime value) { return DateTimeToStr(value, Settings()); }
QString DateToStr(TDateTime value, const FormatSettings &settings) {
  return FormatDateTime(settings.ShortDateFormat, value, settings);
}
QString DateTimeToStr(TDateTime value, const FormatSettings &settings) {
  return FormatDateTime(QStringLiteral("c"), value, settings);
}

// ---- Parsing ---------------------------------------------------------------------------------------------

namespace {

enum class DateOrder { MDY, DMY, YMD };

// The order of the short date format: the first of its day, month and year letters decides.
DateOrder GetDateOrder(const QString &format) {
  QChar quote;
  for (const QChar c : format) {
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
      continue;
    }
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) quote = c;
    const QChar upper = c.toUpper();
    if (upper == QLatin1Char('Y')) return DateOrder::YMD;
    if (upper == QLatin1Char('M')) return DateOrder::MDY;
    if (upper == QLatin1Char('D')) return DateOrder::DMY;
  }
  return DateOrder::MDY;
}

class Scanner {
public:
  explicit Scanner(const QString &text) : text_(text) {}

  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_].isSpace()) ++pos_;
  }
  bool AtEnd() {
    SkipBlanks();
    return pos_ >= text_.size();
  }
  // Up to four digits after blanks; `digits` receives their count.
  bool Number(int &value, int &digits) {
    SkipBlanks();
    value = 0;
    digits = 0;
    while (pos_ < text_.size() && digits < 4 && text_[pos_] >= QLatin1Char('0') &&
           text_[pos_] <= QLatin1Char('9')) {
      value = value * 10 + (text_[pos_].unicode() - u'0');
      ++digits;
      ++pos_;
    }
    return digits > 0;
  }
  // A separator; a blank separator is any run of blanks.
  bool Separator(QChar separator) {
    if (separator.isSpace()) {
      const int start = pos_;
      SkipBlanks();
      return pos_ > start;
    }
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == separator) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool Word(const QString &word) {
    SkipBlanks();
    if (!StartsWithNoCase(text_, pos_, word)) return false;
    pos_ += word.size();
    return true;
  }
  int Position() const { return pos_; }
  void SetPosition(int pos) { pos_ = pos; }

private:
  const QString &text_;
  int pos_ = 0;
};

bool ScanDate(Scanner &scan, TDateTime &date, const FormatSettings &settings) {
  int n1, n2, n3 = 0, l1, l2, l3 = 0;
  if (!scan.Number(n1, l1) || !scan.Separator(settings.DateSeparator) || !scan.Number(n2, l2)) return false;
  const int afterTwo = scan.Position();
  bool three = false;
  if (scan.Separator(settings.DateSeparator)) {
    if (scan.Number(n3, l3))
      three = true;
    else
      scan.SetPosition(afterTwo);
  }
  int year, month, day, yearDigits = 4;
  int currentYear, currentMonth, currentDay;
  DecodeDate(Now(), currentYear, currentMonth, currentDay);
  const DateOrder order = GetDateOrder(settings.ShortDateFormat);
  if (!three) {
    year = currentYear;
    if (order == DateOrder::DMY) {
      day = n1;
      month = n2;
    } else {
      month = n1;
      day = n2;
    }
  } else {
    switch (order) {
    case DateOrder::MDY: month = n1, day = n2, year = n3, yearDigits = l3; break;
    case DateOrder::DMY: day = n1, month = n2, year = n3, yearDigits = l3; break;
    case DateOrder::YMD: year = n1, month = n2, day = n3, yearDigits = l1; break;
    }
    if (yearDigits <= 2) {
      const int base = currentYear - settings.TwoDigitYearCenturyWindow;
      year += base / 100 * 100;
      if (settings.TwoDigitYearCenturyWindow > 0 && year < base) year += 100;
    }
  }
  // Some locales end their short date with the separator ("2003. 02. 01."); the text may do so too.
  if (settings.ShortDateFormat.trimmed().endsWith(QLatin1Char('/'))) {
    const int end = scan.Position();
    if (!scan.Separator(settings.DateSeparator)) scan.SetPosition(end);
  }
  return TryEncodeDate(year, month, day, date);
}

bool ScanAmPm(Scanner &scan, const FormatSettings &settings, int &baseHour) {
  if (scan.Word(settings.TimeAMString) || scan.Word(QStringLiteral("AM"))) {
    baseHour = 0;
    return true;
  }
  if (scan.Word(settings.TimePMString) || scan.Word(QStringLiteral("PM"))) {
    baseHour = 12;
    return true;
  }
  return false;
}

bool ScanTime(Scanner &scan, TDateTime &time, const FormatSettings &settings) {
  int baseHour = -1;
  ScanAmPm(scan, settings, baseHour);
  int hour, minute = 0, second = 0, msec = 0, digits;
  if (!scan.Number(hour, digits)) return false;
  if (scan.Separator(settings.TimeSeparator)) {
    if (!scan.Number(minute, digits)) return false;
    if (scan.Separator(settings.TimeSeparator)) {
      if (!scan.Number(second, digits)) return false;
      if (scan.Separator(settings.DecimalSeparator)) {
        // Digits after the separator are a fraction of a second.
        if (!scan.Number(msec, digits) || digits > 3) return false;
        for (; digits < 3; ++digits) msec *= 10;
      }
    }
  }
  if (baseHour < 0) ScanAmPm(scan, settings, baseHour);
  if (baseHour >= 0) {
    if (hour == 0 || hour > 12) return false;
    if (hour == 12) hour = 0;
    hour += baseHour;
  }
  return TryEncodeTime(hour, minute, second, msec, time);
}

} // namespace

bool TryStrToDate(const QString &text, TDateTime &value) { return TryStrToDate(text, value, Settings()); }
bool TryStrToDateTime(const QString &text, TDateTime &value) {
  return TryStrToDateTime(text, value, Settings());
}

bool TryStrToDate(const QString &text, TDateTime &value, const FormatSettings &settings) {
  Scanner scan(text);
  TDateTime date;
  if (!ScanDate(scan, date, settings) || !scan.AtEnd()) return false;
  value = date;
  return true;
}

bool TryStrToTime(const QString &text, TDateTime &value, const FormatSettings &settings) {
  Scanner scan(text);
  TDateTime time;
  if (!ScanTime(scan, time, settings) || !scan.AtEnd()) return false;
  value = time;
  return true;
}

bool TryStrToDateTime(const QString &text, TDateTime &value, const FormatSettings &settings) {
  Scanner scan(text);
  TDateTime date;
  if (!ScanDate(scan, date, settings)) return TryStrToTime(text, value, settings);
  TDateTime time = 0;
  if (!scan.AtEnd() && (!ScanTime(scan, time, settings) || !scan.AtEnd())) return false;
  value = ComposeDateTime(date, time);
  return true;
}

TDateTime StrToDate(const QString &text) { return StrToDate(text, Settings()); }
TDateTime StrToTime(const QString &text) { return StrToTime(text, Settings()); }
TDateTime StrToDateTime(const QString &text) { return StrToDateTime(text, Settings()); }

TDateTime StrToDate(const QString &text, const FormatSettings &settings) {
  TDateTime value;
  if (!TryStrToDate(text, value, settings))
    throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
  return value;
}

TDateTime StrToTime(const QString &text, const FormatSettings &settings) {
  TDateTime value;
  if (!TryStrToTime(text, value, settings))
    throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(text));
  return value;
}

TDateTime StrToDateTime(const QString &text, const FormatSettings &settings) {
  TDateTime value;
  if (!TryStrToDateTime(text, value, settings))
    throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
  return value;
}
