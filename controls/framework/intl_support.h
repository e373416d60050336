// The user's regional settings in the shape picture masks use: single characters for the separators and
// answer letters, currency strings, and date and time masks written in the library's mask letters. It also
// turns day numbers and times into text shaped by such a mask, and back.
//
// Mask letters (lower case pads numbers with zeros, upper case with blanks):
//   dates: d/D day, m/M month number, y year, n/N month name, w/W weekday name (upper case: in capitals),
//          "/" the date separator, f g h the long date's literal texts;
//   times: h/H hours, m/M minutes, s/S seconds, t the AM/PM text, ":" the time separator.
#pragma once
#include "controls/framework/day_numbers.h"
#include "platform/core/object.h"
#include <QChar>
#include <QString>
#include <memory>

struct DateParts {
  bool valid = false;
  int day = 0;
  int month = 0;
  int year = 0;
};

struct TimeParts {
  bool valid = false;
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
};

class TOvcIntlSup : public TObject {
public:
  // Reads the settings from the "intl" profile values and the class library's format settings.
  TOvcIntlSup();
  QString ClassName() const override { return QStringLiteral("TOvcIntlSup"); }

  QString CurrencyLtStr() const { return currencyLtStr_; }
  QString CurrencyRtStr() const { return currencyRtStr_; }
  QChar DecimalChar() const { return decimalChar_; }
  QChar CommaChar() const { return commaChar_; }
  int CurrencyDigits() const { return currencyDigits_; }
  QChar ListChar() const { return listChar_; }
  QChar SlashChar() const { return slashChar_; }
  QChar TrueChar() const { return trueChar_; }
  QChar FalseChar() const { return falseChar_; }
  QChar YesChar() const { return yesChar_; }
  QChar NoChar() const { return noChar_; }
  // iCurrency: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
  int CurrencyFormat() const { return currencyFormat_; }
  int NegCurrencyFormat() const { return negCurrencyFormat_; }
  QString AMString() const { return amString_; }
  QString PMString() const { return pmString_; }
  QChar ColonChar() const { return colonChar_; }
  QString Country() const { return country_; }
  bool TLZero() const { return tlZero_; }
  bool TwelveHour() const { return twelveHour_; }
  // The system's date pictures as read (month and weekday names already as n and w runs).
  QString ShortDate() const { return shortDate_; }
  QString LongDate() const { return longDate_; }
  // The long date's literal texts, written over the letters f, g and h.
  QString LongDateLiteral(int slot) const { return slots_[slot]; }

  // The short date as a mask with two-position day and month and a two- or four-position year.
  QString InternationalDate(bool forceCentury) const;
  // The long date as a mask: names short (3 letters) or as long as the longest name, weekday optional.
  QString InternationalLongDate(bool shortNames, bool excludeDow) const;
  // "hh:mm:ss" shaped by the settings, without seconds when asked, with the AM/PM text on a 12-hour clock.
  QString InternationalTime(bool showSeconds) const;

  // The text of a date by a mask; the bad date gives blanks in place of its parts. Pack removes the padding
  // blanks of blank-padded runs.
  QString DateToDateString(const QString &mask, TOvcDayNumber julian, bool pack) const;
  QString DMYtoDateString(const QString &mask, int day, int month, int year, bool pack, int epoch) const;
  // Reads a date back from a text shaped by Mask (of the same length).
  DateParts DateStringToDMY(const QString &mask, const QString &text, int epoch) const;
  TOvcDayNumber DateStringToDate(const QString &mask, const QString &text, int epoch) const;
  // True when every day, month and year run of Mask holds only blanks in Text.
  bool DateStringIsBlank(const QString &mask, const QString &text) const;

  QString TimeToTimeString(const QString &mask, TOvcTimeOfDay t, bool pack) const;
  TimeParts TimeStringToHMS(const QString &mask, const QString &text) const;
  TOvcTimeOfDay TimeStringToTime(const QString &mask, const QString &text) const;

  // The month (1..12) whose long name begins with Name, ignoring case; 0 when none does.
  int MonthNameToMonth(const QString &name) const;

private:
  QString currencyLtStr_ = QStringLiteral("$");
  QString currencyRtStr_;
  QChar decimalChar_ = QLatin1Char('.');
  QChar commaChar_ = QLatin1Char(',');
  int currencyDigits_ = 2;
  QChar listChar_ = QLatin1Char(',');
  QChar slashChar_ = QLatin1Char('/');
  QChar trueChar_ = QLatin1Char('T');
  QChar falseChar_ = QLatin1Char('F');
  QChar yesChar_ = QLatin1Char('Y');
  QChar noChar_ = QLatin1Char('N');
  int currencyFormat_ = 0;
  QString amString_ = QStringLiteral("AM");
  QString pmString_ = QStringLiteral("PM");
  QChar colonChar_ = QLatin1Char(':');
  QString country_;
  QString slots_[3];
  QString longDate_;
  int negCurrencyFormat_ = 0;
  QString shortDate_;
  bool tlZero_ = false;
  bool twelveHour_ = false;
};

// The library's one instance, created on first use from the settings of that moment.
TOvcIntlSup &OvcIntlSup();

// Re-reads the settings into a fresh global instance for the life of the guard and puts the previous one back
// afterwards (tests pin the profile and format settings first).
class OvcIntlSupGuard {
public:
  OvcIntlSupGuard();
  ~OvcIntlSupGuard();
  OvcIntlSupGuard(const OvcIntlSupGuard &) = delete;
  OvcIntlSupGuard &operator=(const OvcIntlSupGuard &) = delete;

private:
  std::unique_ptr<TOvcIntlSup> saved_;
};
