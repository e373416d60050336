#include "platform/core/format_settings.h"

namespace {

// Invisible direction marks and the like that some locales put into their patterns.
bool IsFormatMark(QChar c) { return c.category() == QChar::Other_Format; }

bool IsBlank(QChar c) { return c.isSpace() || c == QChar(0x202F); }

// The first separator character of a pattern: the first character after the first field that is neither a
// letter, a quote nor an invisible mark.
QChar FindSeparator(const QString &pattern, QChar fallback) {
  bool seenField = false;
  for (const QChar c : pattern) {
    if (c.isLetter()) {
      seenField = true;
      continue;
    }
    if (seenField && c != QLatin1Char('\'') && !IsFormatMark(c)) return IsBlank(c) ? QLatin1Char(' ') : c;
  }
  return fallback;
}

// Letters and characters that the class library's date-time formatting gives a meaning; literal text holding
// them must be quoted.
bool IsSpecifierChar(QChar c) {
  static const QString specifiers = QStringLiteral("acdeghmnstyzACDEGHMNSTYZ/:'\"");
  return specifiers.contains(c);
}

void AppendLiteral(QString &out, const QString &text) {
  if (text.isEmpty()) return;
  bool needsQuotes = false;
  for (const QChar c : text) needsQuotes = needsQuotes || IsSpecifierChar(c) || c.isLetter();
  if (!needsQuotes) {
    out += text;
    return;
  }
  const QChar quote = text.contains(QLatin1Char('"')) ? QLatin1Char('\'') : QLatin1Char('"');
  out += quote + text + quote;
}

// Translates a Qt date or time pattern into the class library's letters. The separator characters become
// "/" and ":" so that DateSeparator and TimeSeparator decide what is shown; the time-zone field is dropped.
QString TranslateQtPattern(const QString &pattern, QChar dateSeparator, QChar timeSeparator) {
  QString out;
  QString literal;
  auto flush = [&] {
    AppendLiteral(out, literal);
    literal.clear();
  };
  const int length = pattern.size();
  int i = 0;
  while (i < length) {
    const QChar c = pattern[i];
    if (c == QLatin1Char('\'')) {
      // Quoted text; two quotes stand for one.
      ++i;
      while (i < length) {
        if (pattern[i] == QLatin1Char('\'')) {
          if (i + 1 < length && pattern[i + 1] == QLatin1Char('\'')) {
            literal += QLatin1Char('\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        literal += pattern[i++];
      }
      continue;
    }
    int run = 1;
    while (i + run < length && pattern[i + run] == c) ++run;
    const char16_t letter = c.unicode();
    switch (letter) {
    case u'd':
      flush();
      out += QString(qMin(run, 4), QLatin1Char('d'));
      break;
    case u'M':
    case u'L':
      flush();
      out += QString(qMin(run, 4), QLatin1Char('m'));
      break;
    case u'y':
      flush();
      out += run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
      break;
    case u'h':
    case u'H':
      flush();
      out += run >= 2 ? QStringLiteral("hh") : QStringLiteral("h");
      break;
    case u'm':
      flush();
      out += run >= 2 ? QStringLiteral("nn") : QStringLiteral("n");
      break;
    case u's':
      flush();
      out += run >= 2 ? QStringLiteral("ss") : QStringLiteral("s");
      break;
    case u'z':
      flush();
      out += run >= 3 ? QStringLiteral("zzz") : QStringLiteral("z");
      break;
    case u'A':
    case u'a':
      flush();
      out += QStringLiteral("AMPM");
      if (i + run < length && (pattern[i + run] == QLatin1Char('P') || pattern[i + run] == QLatin1Char('p')))
        ++run;
      break;
    case u't':
      // The time zone: dropped together with the blanks before it.
      while (!literal.isEmpty() && IsBlank(literal.back())) literal.chop(1);
      while (!out.isEmpty() && IsBlank(out.back()) && literal.isEmpty()) out.chop(1);
      break;
    default:
      if (IsFormatMark(c)) break;
      for (int k = 0; k < run; ++k) {
        if (c == dateSeparator) {
          flush();
          out += QLatin1Char('/');
        } else if (c == timeSeparator) {
          flush();
          out += QLatin1Char(':');
        } else {
          literal += IsBlank(c) ? QLatin1Char(' ') : c;
        }
      }
      break;
    }
    i += run;
  }
  flush();
  return out.trimmed();
}

// Puts a currency amount of the given layout together, "$" standing for the symbol and "1" for the number.
QString CurrencyPattern(int format, bool negative) {
  static const char *const positive[] = {"$1", "1$", "$ 1", "1 $"};
  static const char *const negatives[] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
                                          "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  return QString::fromLatin1(negative ? negatives[format] : positive[format]);
}

// Reduces Qt's currency text of 1 or -1 to the shape of CurrencyPattern.
QString CurrencyShape(const QLocale &locale, double value) {
  QString text = locale.toCurrencyString(value);
  QString shape;
  const QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
  const QString minus = locale.negativeSign();
  int i = 0;
  bool numberDone = false;
  while (i < text.size()) {
    if (!symbol.isEmpty() && text.mid(i, symbol.size()) == symbol) {
      shape += QLatin1Char('$');
      i += symbol.size();
    } else if (!minus.isEmpty() && text.mid(i, minus.size()) == minus) {
      shape += QLatin1Char('-');
      i += minus.size();
    } else if (text[i].isDigit()) {
      if (!numberDone) shape += QLatin1Char('1');
      numberDone = true;
      while (i < text.size() &&
             (text[i].isDigit() || text.mid(i, locale.decimalPoint().size()) == locale.decimalPoint())) {
        i += text[i].isDigit() ? 1 : locale.decimalPoint().size();
      }
    } else if (IsBlank(text[i])) {
      shape += QLatin1Char(' ');
      ++i;
    } else if (IsFormatMark(text[i])) {
      ++i;
    } else {
      shape += text[i++];
    }
  }
  return shape;
}

int CurrencyDigits(const QLocale &locale) {
  const QString text = locale.toCurrencyString(1.0);
  const int point = text.indexOf(locale.decimalPoint());
  if (point < 0) return 0;
  int digits = 0;
  for (int i = point + locale.decimalPoint().size(); i < text.size() && text[i].isDigit(); ++i) ++digits;
  return digits;
}

QChar FirstChar(const QString &text, QChar fallback) {
  for (const QChar c : text)
    if (!IsFormatMark(c)) return IsBlank(c) ? QChar(0x00A0) : c;
  return fallback;
}

} // namespace

FormatSettings FormatSettings::USEnglish() { return FormatSettings(); }

FormatSettings FormatSettings::FromLocale(const QLocale &locale) {
  FormatSettings s;
  // A system without a configured locale reports the C locale; it gets the US English set, as a system
  // without regional settings does.
  if (locale.language() == QLocale::C) return s;

  s.DecimalSeparator = FirstChar(locale.decimalPoint(), QLatin1Char('.'));
  s.ThousandSeparator = FirstChar(locale.groupSeparator(), QLatin1Char(','));
  if (s.DecimalSeparator == s.ThousandSeparator) {
    s.DecimalSeparator = QLatin1Char('.');
    s.ThousandSeparator = QLatin1Char(',');
  }

  s.CurrencyString = locale.currencySymbol(QLocale::CurrencySymbol);
  s.CurrencyDecimals = CurrencyDigits(locale);
  const QString positiveShape = CurrencyShape(locale, 1.0);
  const QString negativeShape = CurrencyShape(locale, -1.0);
  s.CurrencyFormat = 0;
  for (int format = 0; format < 4; ++format)
    if (CurrencyPattern(format, false) == positiveShape) s.CurrencyFormat = format;
  const bool symbolFirst = s.CurrencyFormat == 0 || s.CurrencyFormat == 2;
  const bool spaced = s.CurrencyFormat >= 2;
  s.NegCurrFormat = symbolFirst ? (spaced ? 9 : 1) : (spaced ? 8 : 5);
  for (int format = 0; format < 16; ++format)
    if (CurrencyPattern(format, true) == negativeShape) s.NegCurrFormat = format;

  const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
  const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
  s.DateSeparator = FindSeparator(shortDate, QLatin1Char('/'));
  s.TimeSeparator = FindSeparator(shortTime, QLatin1Char(':'));
  s.ShortDateFormat = TranslateQtPattern(shortDate, s.DateSeparator, QChar());
  s.LongDateFormat = TranslateQtPattern(locale.dateFormat(QLocale::LongFormat), QChar(), QChar());
  s.ShortTimeFormat = TranslateQtPattern(shortTime, QChar(), s.TimeSeparator);
  s.LongTimeFormat = TranslateQtPattern(locale.timeFormat(QLocale::LongFormat), QChar(), s.TimeSeparator);
  s.TimeAMString = locale.amText();
  s.TimePMString = locale.pmText();

  for (int month = 1; month <= 12; ++month) {
    s.ShortMonthNames[month - 1] = locale.monthName(month, QLocale::ShortFormat);
    s.LongMonthNames[month - 1] = locale.monthName(month, QLocale::LongFormat);
  }
  // Qt counts the week from Monday (1) to Sunday (7); the class library from Sunday.
  for (int day = 0; day < 7; ++day) {
    const int qtDay = day == 0 ? 7 : day;
    s.ShortDayNames[day] = locale.dayName(qtDay, QLocale::ShortFormat);
    s.LongDayNames[day] = locale.dayName(qtDay, QLocale::LongFormat);
  }
  return s;
}

FormatSettings &Settings() {
  static FormatSettings settings = FormatSettings::FromLocale(QLocale::system());
  return settings;
}
