#include "platform/core/intl_profile.h"
#include <QMutex>
#include <QMutexLocker>
#include <limits>
#include <optional>

namespace {

const QString kIntlSection = QStringLiteral("intl");

// Bidirectional marks and other invisible format characters that some locales put into their pictures and
// currency texts; Windows' own values never hold them.
QString WithoutFormatChars(const QString &text) {
  QString out;
  out.reserve(text.size());
  for (QChar ch : text)
    if (ch.category() != QChar::Other_Format) out += ch;
  return out;
}

bool IsBlank(QChar ch) { return ch.isSpace() || ch == QChar(0x00A0) || ch == QChar(0x202F); }

// The first character of a picture, outside quoted text, that is neither a letter nor a blank: the separator
// of its parts ("/" in "M/d/yy"). Empty when there is none.
QString PictureSeparator(const QString &picture) {
  bool quoted = false;
  for (QChar ch : picture) {
    if (ch == QLatin1Char('\'')) {
      quoted = !quoted;
      continue;
    }
    if (!quoted && !ch.isLetterOrNumber() && !IsBlank(ch)) return QString(ch);
  }
  return {};
}

// Position of the first unquoted Letter in Picture, or -1.
qsizetype FirstUnquoted(const QString &picture, QChar letter) {
  bool quoted = false;
  for (qsizetype i = 0; i < picture.size(); ++i) {
    const QChar ch = picture[i];
    if (ch == QLatin1Char('\''))
      quoted = !quoted;
    else if (!quoted && ch == letter)
      return i;
  }
  return -1;
}

// Qt's time picture in Windows letters: "h" is the 12-hour clock and "H" the 24-hour one, "tt" the AM/PM
// text; Qt's time zone ("t") and milliseconds ("z") have no Windows counterpart and are dropped.
QString WindowsTimePicture(const QString &qtPicture) {
  const QString picture = WithoutFormatChars(qtPicture);
  bool twelveHour = false;
  {
    bool quoted = false;
    for (QChar ch : picture) {
      if (ch == QLatin1Char('\''))
        quoted = !quoted;
      else if (!quoted && (ch == QLatin1Char('a') || ch == QLatin1Char('A')))
        twelveHour = true;
    }
  }
  QString out;
  bool quoted = false;
  for (qsizetype i = 0; i < picture.size(); ++i) {
    const QChar ch = picture[i];
    if (ch == QLatin1Char('\'')) {
      quoted = !quoted;
      out += ch;
      continue;
    }
    if (quoted) {
      out += ch;
      continue;
    }
    switch (ch.unicode()) {
    case 'h':
    case 'H': out += twelveHour ? QLatin1Char('h') : QLatin1Char('H'); break;
    case 'a':
    case 'A':
      while (i + 1 < picture.size() &&
             (picture[i + 1] == QLatin1Char('p') || picture[i + 1] == QLatin1Char('P')))
        ++i;
      out += QStringLiteral("tt");
      break;
    case 't':
    case 'z':
    case 'Z': break;
    default: out += ch;
    }
  }
  out.replace(QStringLiteral("()"), QString());
  out = out.simplified();
  // A separator left dangling by a dropped part ("H:mm:ss." after dropping milliseconds).
  while (!out.isEmpty() && !out.back().isLetter() && out.back() != QLatin1Char('\'')) out.chop(1);
  return out;
}

// A currency text reduced to a shape: "1" for the number, "$" for the symbol, " " for a blank, "-" for the
// minus sign and "(" ")" for parentheses.
QString CurrencyShape(const QLocale &locale, double value) {
  const QString symbol = WithoutFormatChars(locale.currencySymbol());
  QString text = WithoutFormatChars(locale.toCurrencyString(value));
  if (!symbol.isEmpty()) text.replace(symbol, QStringLiteral("$"));
  QString shape;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    if (ch.isDigit()) {
      // The whole number, separators included, is one "1".
      if (!shape.endsWith(QLatin1Char('1'))) shape += QLatin1Char('1');
    } else if (ch == QLatin1Char('$') || ch == QLatin1Char('(') || ch == QLatin1Char(')')) {
      shape += ch;
    } else if (IsBlank(ch)) {
      shape += QLatin1Char(' ');
    } else if (ch == QLatin1Char('-') || ch == QChar(0x2212) || locale.negativeSign().contains(ch)) {
      shape += QLatin1Char('-');
    } else if (shape.endsWith(QLatin1Char('1'))) {
      // a decimal or group separator inside the number
    } else {
      shape += QLatin1Char('$'); // some other symbol text
    }
  }
  shape.replace(QStringLiteral("$$"), QStringLiteral("$"));
  return shape;
}

std::optional<int> PositiveCurrencyFormat(const QString &shape) {
  static const QStringList shapes = {QStringLiteral("$1"), QStringLiteral("1$"), QStringLiteral("$ 1"),
                                     QStringLiteral("1 $")};
  const qsizetype index = shapes.indexOf(shape);
  if (index < 0) return std::nullopt;
  return int(index);
}

std::optional<int> NegativeCurrencyFormat(const QString &shape) {
  // The sixteen negative-currency formats of Windows, in their code order.
  static const QStringList shapes = {
      QStringLiteral("($1)"), QStringLiteral("-$1"),  QStringLiteral("$-1"),   QStringLiteral("$1-"),
      QStringLiteral("(1$)"), QStringLiteral("-1$"),  QStringLiteral("1-$"),   QStringLiteral("1$-"),
      QStringLiteral("-1 $"), QStringLiteral("-$ 1"), QStringLiteral("1 $-"),  QStringLiteral("$ 1-"),
      QStringLiteral("$ -1"), QStringLiteral("1- $"), QStringLiteral("($ 1)"), QStringLiteral("(1 $)")};
  const qsizetype index = shapes.indexOf(shape);
  if (index < 0) return std::nullopt;
  return int(index);
}

int CurrencyDigits(const QLocale &locale) {
  const QString text = WithoutFormatChars(locale.toCurrencyString(1.0));
  const qsizetype point = text.indexOf(locale.decimalPoint());
  if (point < 0) return 0;
  int digits = 0;
  for (qsizetype i = point + locale.decimalPoint().size(); i < text.size() && text[i].isDigit(); ++i)
    ++digits;
  return digits;
}

struct Profile {
  QMutex mutex;
  bool loaded = false;
  intl_profile::Values values;
};

Profile &TheProfile() {
  static Profile profile;
  return profile;
}

// Must be called with the mutex held.
intl_profile::Values &LoadedValues(Profile &profile) {
  if (!profile.loaded) {
    profile.values = intl_profile::ValuesFromLocale(QLocale::system());
    profile.loaded = true;
  }
  return profile.values;
}

// The key as stored, found without regard to case.
std::optional<QString> StoredKey(const intl_profile::Values &values, const QString &key) {
  for (auto it = values.cbegin(); it != values.cend(); ++it)
    if (it.key().compare(key, Qt::CaseInsensitive) == 0) return it.key();
  return std::nullopt;
}

std::optional<QString> Lookup(const QString &section, const QString &key) {
  if (section.compare(kIntlSection, Qt::CaseInsensitive) != 0) return std::nullopt;
  Profile &profile = TheProfile();
  QMutexLocker lock(&profile.mutex);
  const intl_profile::Values &values = LoadedValues(profile);
  if (auto stored = StoredKey(values, key)) return values.value(*stored);
  return std::nullopt;
}

} // namespace

QString GetProfileString(const QString &section, const QString &key, const QString &defaultValue) {
  return Lookup(section, key).value_or(defaultValue);
}

int GetProfileInt(const QString &section, const QString &key, int defaultValue) {
  const std::optional<QString> text = Lookup(section, key);
  if (!text) return defaultValue;
  qsizetype i = 0;
  while (i < text->size() && (*text)[i].isSpace()) ++i;
  bool negative = false;
  if (i < text->size() && ((*text)[i] == QLatin1Char('-') || (*text)[i] == QLatin1Char('+'))) {
    negative = (*text)[i] == QLatin1Char('-');
    ++i;
  }
  qint64 value = 0;
  for (; i < text->size() && (*text)[i] >= QLatin1Char('0') && (*text)[i] <= QLatin1Char('9'); ++i) {
    value = value * 10 + ((*text)[i].unicode() - '0');
    if (value > std::numeric_limits<int>::max()) value = std::numeric_limits<int>::max();
  }
  return int(negative ? -value : value);
}

namespace intl_profile {

Values ValuesFromLocale(const QLocale &locale) {
  Values v;
  auto put = [&v](const QString &key, const QString &value) {
    if (!value.isEmpty()) v.insert(key, value);
  };

  const QString decimal = WithoutFormatChars(locale.decimalPoint());
  put(QStringLiteral("sDecimal"), decimal);
  put(QStringLiteral("sThousand"), WithoutFormatChars(locale.groupSeparator()));
  put(QStringLiteral("sList"), decimal == QStringLiteral(",") ? QStringLiteral(";") : QStringLiteral(","));
  put(QStringLiteral("iDigits"), QStringLiteral("2"));
  put(QStringLiteral("iLZero"), QStringLiteral("1"));
  put(QStringLiteral("iMeasure"),
      locale.measurementSystem() == QLocale::MetricSystem ? QStringLiteral("0") : QStringLiteral("1"));
  if (locale.territory() != QLocale::AnyTerritory)
    put(QStringLiteral("sCountry"), QLocale::territoryToString(locale.territory()));

  const QString shortDate = WithoutFormatChars(locale.dateFormat(QLocale::ShortFormat));
  put(QStringLiteral("sShortDate"), shortDate);
  put(QStringLiteral("sLongDate"), WithoutFormatChars(locale.dateFormat(QLocale::LongFormat)));
  put(QStringLiteral("sDate"), PictureSeparator(shortDate));
  const qsizetype month = FirstUnquoted(shortDate, QLatin1Char('M'));
  const qsizetype day = FirstUnquoted(shortDate, QLatin1Char('d'));
  const qsizetype year = FirstUnquoted(shortDate, QLatin1Char('y'));
  int order = 0; // month-day-year
  if (year >= 0 && (month < 0 || year < month) && (day < 0 || year < day))
    order = 2;
  else if (day >= 0 && month >= 0 && day < month)
    order = 1;
  put(QStringLiteral("iDate"), QString::number(order));

  const QString timePicture = WindowsTimePicture(locale.timeFormat(QLocale::LongFormat));
  const bool twelveHour = timePicture.contains(QStringLiteral("tt"));
  put(QStringLiteral("sTimeFormat"), timePicture);
  put(QStringLiteral("sTime"), PictureSeparator(timePicture));
  put(QStringLiteral("iTime"), twelveHour ? QStringLiteral("0") : QStringLiteral("1"));
  const bool hourLeadingZero =
      timePicture.contains(QStringLiteral("hh")) || timePicture.contains(QStringLiteral("HH"));
  put(QStringLiteral("iTLZero"), hourLeadingZero ? QStringLiteral("1") : QStringLiteral("0"));
  put(QStringLiteral("s1159"), WithoutFormatChars(locale.amText()));
  put(QStringLiteral("s2359"), WithoutFormatChars(locale.pmText()));

  const QString currency = WithoutFormatChars(locale.currencySymbol());
  if (!currency.isEmpty()) {
    put(QStringLiteral("sCurrency"), currency);
    if (auto format = PositiveCurrencyFormat(CurrencyShape(locale, 1.0)))
      put(QStringLiteral("iCurrency"), QString::number(*format));
    if (auto format = NegativeCurrencyFormat(CurrencyShape(locale, -1.0)))
      put(QStringLiteral("iNegCurr"), QString::number(*format));
  }
  put(QStringLiteral("iCurrDigits"), QString::number(CurrencyDigits(locale)));
  return v;
}

Values CurrentValues() {
  Profile &profile = TheProfile();
  QMutexLocker lock(&profile.mutex);
  return LoadedValues(profile);
}

void ReplaceValues(const Values &values) {
  Profile &profile = TheProfile();
  QMutexLocker lock(&profile.mutex);
  profile.values = values;
  profile.loaded = true;
}

void SetValue(const QString &key, const QString &value) {
  Profile &profile = TheProfile();
  QMutexLocker lock(&profile.mutex);
  Values &values = LoadedValues(profile);
  if (auto stored = StoredKey(values, key)) values.remove(*stored);
  values.insert(key, value);
}

} // namespace intl_profile

ScopedIntlProfile::ScopedIntlProfile(Start start) : saved_(intl_profile::CurrentValues()) {
  if (start == Start::Empty) intl_profile::ReplaceValues({});
}

ScopedIntlProfile::ScopedIntlProfile(const QLocale &locale) : saved_(intl_profile::CurrentValues()) {
  intl_profile::ReplaceValues(intl_profile::ValuesFromLocale(locale));
}

ScopedIntlProfile::~ScopedIntlProfile() { intl_profile::ReplaceValues(saved_); }

ScopedIntlProfile &ScopedIntlProfile::Set(const QString &key, const QString &value) {
  intl_profile::SetValue(key, value);
  return *this;
}
