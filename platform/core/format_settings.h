// The class library's format variables: separators, currency layout, date and time patterns and the month and
// day names. One process-wide object holds them (Settings()); it is filled from the user's locale on first
// use, every formatting and parsing routine reads it, and each of those routines also has an overload taking
// an explicit FormatSettings so that a caller never needs to swap the globals temporarily.
//
// Date and time patterns use the class library's letters (d, m, y, h, n, s, z, am/pm, ampm, "/" for the date
// separator, ":" for the time separator), not Qt's.
#pragma once
#include <QChar>
#include <QLocale>
#include <QString>
#include <array>

struct FormatSettings {
  QChar DecimalSeparator = QLatin1Char('.');
  QChar ThousandSeparator = QLatin1Char(',');
  QString CurrencyString = QStringLiteral("$");
  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
  int CurrencyFormat = 0;
  // 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-", 8 "-1 $", 9 "-$ 1", 10 "1 $-",
  // 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)".
  int NegCurrFormat = 0;
  int CurrencyDecimals = 2;
  QChar DateSeparator = QLatin1Char('/');
  QChar TimeSeparator = QLatin1Char(':');
  QString ShortDateFormat = QStringLiteral("m/d/yyyy");
  QString LongDateFormat = QStringLiteral("dddd, mmmm d, yyyy");
  QString ShortTimeFormat = QStringLiteral("h:nn AMPM");
  QString LongTimeFormat = QStringLiteral("h:nn:ss AMPM");
  QString TimeAMString = QStringLiteral("AM");
  QString TimePMString = QStringLiteral("PM");
  // Index 0 is January; day names start with Sunday, as the class library's week does.
  std::array<QString, 12> ShortMonthNames{
      QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
      QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
      QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
  std::array<QString, 12> LongMonthNames{
      QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
      QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
      QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
      QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
  std::array<QString, 7> ShortDayNames{QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"),
                                       QStringLiteral("Wed"), QStringLiteral("Thu"), QStringLiteral("Fri"),
                                       QStringLiteral("Sat")};
  std::array<QString, 7> LongDayNames{QStringLiteral("Sunday"),   QStringLiteral("Monday"),
                                      QStringLiteral("Tuesday"),  QStringLiteral("Wednesday"),
                                      QStringLiteral("Thursday"), QStringLiteral("Friday"),
                                      QStringLiteral("Saturday")};
  // Two-digit years read from text fall into the hundred years that begin this many years before the current
  // year (0 puts them in the current century).
  int TwoDigitYearCenturyWindow = 50;

  // The fixed US English set that tests pin (also what a default-constructed object holds): ".", ",", "$"
  // before the amount, negatives in parentheses, "m/d/yyyy", "h:nn:ss AMPM", English names.
  static FormatSettings USEnglish();
  // The settings of the given locale, with its patterns translated into the class library's letters.
  static FormatSettings FromLocale(const QLocale &locale);
};

// The process-wide settings, filled from QLocale::system() on first use. Writable: a change applies to every
// later formatting call of the program.
FormatSettings &Settings();

// Restores the process-wide settings it found when it goes out of scope, so a test may pin or change them.
class FormatSettingsGuard {
public:
  FormatSettingsGuard() : saved_(Settings()) {}
  explicit FormatSettingsGuard(const FormatSettings &pinned) : saved_(Settings()) { Settings() = pinned; }
  ~FormatSettingsGuard() { Settings() = saved_; }
  FormatSettingsGuard(const FormatSettingsGuard &) = delete;
  FormatSettingsGuard &operator=(const FormatSettingsGuard &) = delete;

private:
  FormatSettings saved_;
};
