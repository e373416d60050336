// The user's regional settings as the "intl" section of the Windows profile: named text values such as
// "sDecimal" (decimal separator), "sShortDate" (short date picture, Windows letters d/M/y), "iTime" (1 for a
// 24-hour clock) or "s2359" (PM text). The values are derived once from QLocale::system(); tests pin them
// with ScopedIntlProfile so that nothing depends on the machine's locale.
//
// Keys provided: sDecimal, sThousand, sList, sDate, sTime, sShortDate, sLongDate, sTimeFormat, iDate, iTime,
// iTLZero, s1159, s2359, sCurrency, iCurrency, iNegCurr, iCurrDigits, iDigits, iLZero, iMeasure, sCountry.
// A setting the locale does not give (an empty currency symbol, say) is absent, so readers get their default.
#pragma once
#include <QLocale>
#include <QMap>
#include <QString>

// The text of Key in Section, or Default when the section or key is absent. Section and key names ignore
// case, as Windows does; only the "intl" section exists.
QString GetProfileString(const QString &section, const QString &key, const QString &defaultValue);

// The value of Key in Section read as a decimal integer (leading blanks and a sign allowed, reading stops at
// the first other character; a text with no digits gives 0), or Default when the section or key is absent.
int GetProfileInt(const QString &section, const QString &key, int defaultValue);

namespace intl_profile {

using Values = QMap<QString, QString>; // key -> text, keys as spelt above

// The "intl" values a locale gives.
Values ValuesFromLocale(const QLocale &locale);

// The values in force (from QLocale::system() until something replaces them).
Values CurrentValues();
// Replaces every value; an empty map leaves the profile without values, so every reader gets its default.
void ReplaceValues(const Values &values);
// Sets (or adds) one value, replacing what the locale gave.
void SetValue(const QString &key, const QString &value);

} // namespace intl_profile

// Pins the "intl" values for the life of the object and restores the previous ones when it ends.
class ScopedIntlProfile {
public:
  enum class Start {
    Current, // keep the values in force, then change single ones
    Empty,   // start with no values at all
  };
  explicit ScopedIntlProfile(Start start = Start::Current);
  // Starts from the values of Locale.
  explicit ScopedIntlProfile(const QLocale &locale);
  ~ScopedIntlProfile();
  ScopedIntlProfile(const ScopedIntlProfile &) = delete;
  ScopedIntlProfile &operator=(const ScopedIntlProfile &) = delete;

  ScopedIntlProfile &Set(const QString &key, const QString &value);

private:
  intl_profile::Values saved_;
};
