#include "platform/core/number_format.h"
#include "platform/core/exceptions.h"
#include "platform/core/variant.h"
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr int MaxPrecision = 15; // significant digits a double holds
constexpr int MaxDecimals = 18;

// A decimal number: value = 0.d1d2d3... x 10^exponent. Digits hold no leading or trailing zeros; zero has
// no digits.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;

  bool IsZero() const { return digits.empty(); }
  // The digit at a position counted from the decimal point: 0 is the units, 1 the tens, -1 the tenths.
  char DigitAt(int position) const {
    const int index = exponent - 1 - position;
    return index >= 0 && index < int(digits.size()) ? digits[index] : '0';
  }
};

void Normalize(Decimal &d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
}

// The shortest decimal that reads back to the double: the number the value stands for.
Decimal ToDecimal(double value) {
  Decimal d;
  d.negative = std::signbit(value);
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
  const char *e = std::find(buffer, result.ptr, 'e');
  for (const char *c = buffer; c < e; ++c)
    if (*c != '.') d.digits += *c;
  int exponent = 0;
  std::from_chars(e[1] == '+' ? e + 2 : e + 1, result.ptr, exponent);
  d.exponent = exponent + 1;
  const auto first = d.digits.find_first_not_of('0');
  if (first == std::string::npos) {
    d.digits.clear();
  } else {
    d.digits.erase(0, first);
    d.exponent -= int(first);
  }
  Normalize(d);
  return d;
}

// Keeps the first `keep` digits, rounding half away from zero.
void RoundToDigits(Decimal &d, int keep) {
  if (keep >= int(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    Normalize(d);
    return;
  }
  const bool up = d.digits[keep] >= '5';
  d.digits.resize(keep);
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i >= 0) {
      ++d.digits[i];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  Normalize(d);
}

void RoundToSignificant(Decimal &d, int precision) { RoundToDigits(d, precision); }
void RoundToDecimals(Decimal &d, int decimals) { RoundToDigits(d, d.exponent + decimals); }

// The class library's two-step rounding: significant digits first, then decimals.
Decimal RoundFixed(double value, int precision, int decimals) {
  Decimal d = ToDecimal(value);
  RoundToSignificant(d, precision);
  RoundToDecimals(d, decimals);
  return d;
}

int ClampPrecision(int precision) { return qBound(1, precision, MaxPrecision); }

QString SpecialText(double value) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString ExponentText(int exponent, int minDigits, bool alwaysSign) {
  QString text = QString::number(std::abs(exponent));
  while (text.size() < minDigits) text.prepend(QLatin1Char('0'));
  if (exponent < 0) return QLatin1Char('-') + text;
  return alwaysSign ? QLatin1Char('+') + text : text;
}

// Integer digits with optional thousands separators; "0" when the value is below 1. Room is kept for as many
// characters more as the caller will append.
QString IntegerPart(const Decimal &d, QChar thousands, int more = 0) {
  QString text;
  const int count = qMax(d.exponent, 1);
  text.reserve(count + count / 3 + more);
  for (int position = count - 1; position >= 0; --position) {
    text += QLatin1Char(d.DigitAt(position));
    if (!thousands.isNull() && position > 0 && position % 3 == 0) text += thousands;
  }
  return text;
}

QString FractionPart(const Decimal &d, int decimals) {
  QString text;
  text.reserve(decimals);
  for (int position = -1; position >= -decimals; --position) text += QLatin1Char(d.DigitAt(position));
  return text;
}

// "-d.dddE+xx" style: `digits` mantissa digits (trailing zeros removed when `trim`).
QString ScientificText(const Decimal &d, int digits, bool trim, int expDigits, bool alwaysSign,
                       const FormatSettings &settings) {
  QString mantissa;
  for (int i = 0; i < digits; ++i) mantissa += QLatin1Char(i < int(d.digits.size()) ? d.digits[i] : '0');
  if (trim)
    while (mantissa.size() > 1 && mantissa.back() == QLatin1Char('0')) mantissa.chop(1);
  QString text;
  if (d.negative && !d.IsZero()) text += QLatin1Char('-');
  text += mantissa[0];
  if (mantissa.size() > 1) text += settings.DecimalSeparator + mantissa.mid(1);
  const int exponent = d.IsZero() ? 0 : d.exponent - 1;
  return text + QLatin1Char('E') + ExponentText(exponent, expDigits, alwaysSign);
}

QString GeneralText(double value, int precision, int expDigits, const FormatSettings &settings) {
  Decimal d = ToDecimal(value);
  RoundToSignificant(d, ClampPrecision(precision));
  if (d.IsZero()) return QStringLiteral("0");
  if (d.exponent > ClampPrecision(precision) || d.exponent < -3)
    return ScientificText(d, int(d.digits.size()), true, qBound(0, expDigits, 4), false, settings);
  const int decimals = int(d.digits.size()) - d.exponent;
  QString text;
  text.reserve(int(d.digits.size()) + 3);
  if (d.negative) text += QLatin1Char('-');
  text += IntegerPart(d, QChar());
  if (decimals > 0) {
    text += settings.DecimalSeparator;
    text += FractionPart(d, decimals);
  }
  return text;
}

QString CurrencyText(const QString &number, bool negative, const FormatSettings &settings) {
  const QString &c = settings.CurrencyString;
  if (!negative) {
    switch (settings.CurrencyFormat) {
    case 1: return number + c;
    case 2: return c + QLatin1Char(' ') + number;
    case 3: return number + QLatin1Char(' ') + c;
    default: return c + number;
    }
  }
  switch (settings.NegCurrFormat) {
  case 1: return QLatin1Char('-') + c + number;
  case 2: return c + QLatin1Char('-') + number;
  case 3: return c + number + QLatin1Char('-');
  case 4: return QLatin1Char('(') + number + c + QLatin1Char(')');
  case 5: return QLatin1Char('-') + number + c;
  case 6: return number + QLatin1Char('-') + c;
  case 7: return number + c + QLatin1Char('-');
  case 8: return QLatin1Char('-') + number + QLatin1Char(' ') + c;
  case 9: return QStringLiteral("-") + c + QLatin1Char(' ') + number;
  case 10: return number + QLatin1Char(' ') + c + QLatin1Char('-');
  case 11: return c + QLatin1Char(' ') + number + QLatin1Char('-');
  case 12: return c + QStringLiteral(" -") + number;
  case 13: return number + QStringLiteral("- ") + c;
  case 14: return QStringLiteral("(") + c + QLatin1Char(' ') + number + QLatin1Char(')');
  case 15: return QLatin1Char('(') + number + QLatin1Char(' ') + c + QLatin1Char(')');
  default: return QLatin1Char('(') + c + number + QLatin1Char(')');
  }
}

// ---- FormatFloat
// -------------------------------------------------------------------------------------------

// Splits a picture into its sections at ";" outside quoted text.
QStringList SplitSections(const QString &format) {
  QStringList sections;
  QString current;
  QChar quote;
  for (const QChar c : format) {
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
    } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
      quote = c;
    } else if (c == QLatin1Char(';')) {
      sections << current;
      current.clear();
      continue;
    }
    current += c;
  }
  sections << current;
  return sections;
}

// One section of a picture, taken apart.
struct Picture {
  enum class Kind { Digit, Point, Exponent, Literal };
  struct Item {
    Kind kind;
    QString text; // Literal: the text; Exponent: "E+" etc.
    bool zero = false;
    int expDigits = 0;
  };
  QList<Item> items;
  int integerPlaces = 0;  // "0" and "#" before the point
  int minInteger = 0;     // from the first "0" before the point
  int fractionPlaces = 0; // "0" and "#" after the point
  int minFraction = 0;    // up to the last "0" after the point
  bool thousands = false;
  bool scientific = false;

  explicit Picture(const QString &section) {
    bool afterPoint = false;
    bool afterExponent = false;
    int firstZero = -1;
    const int length = section.size();
    for (int i = 0; i < length; ++i) {
      const QChar c = section[i];
      if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
        const int end = section.indexOf(c, i + 1);
        const int stop = end < 0 ? length : end;
        items.append({Kind::Literal, section.mid(i + 1, stop - i - 1)});
        i = stop;
      } else if ((c == QLatin1Char('0') || c == QLatin1Char('#')) && !afterExponent) {
        const bool zero = c == QLatin1Char('0');
        items.append({Kind::Digit, QString(), zero});
        if (afterPoint) {
          ++fractionPlaces;
          if (zero) minFraction = fractionPlaces;
        } else {
          if (zero && firstZero < 0) firstZero = integerPlaces;
          ++integerPlaces;
        }
      } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
        // Placeholders after the exponent's digits have no place to go.
      } else if (c == QLatin1Char('.') && !afterPoint && !afterExponent) {
        afterPoint = true;
        items.append({Kind::Point, QString()});
      } else if (c == QLatin1Char('.')) {
        // Only the first point counts.
      } else if (c == QLatin1Char(',')) {
        thousands = true;
      } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && !afterExponent && i + 1 < length &&
                 (section[i + 1] == QLatin1Char('+') || section[i + 1] == QLatin1Char('-'))) {
        Item item{Kind::Exponent, section.mid(i, 2)};
        i += 2;
        while (i < length && section[i] == QLatin1Char('0')) {
          ++item.expDigits;
          ++i;
        }
        --i;
        item.expDigits = qMin(item.expDigits, 4);
        items.append(item);
        scientific = true;
        afterExponent = true;
      } else {
        items.append({Kind::Literal, QString(c)});
      }
    }
    minInteger = firstZero < 0 ? 0 : integerPlaces - firstZero;
    if (scientific) thousands = false;
  }

  bool HasDigits() const { return integerPlaces + fractionPlaces > 0; }

  Decimal Round(double value) const {
    Decimal d = ToDecimal(value);
    if (scientific) {
      RoundToSignificant(d, qBound(1, integerPlaces + fractionPlaces, MaxPrecision));
    } else if (HasDigits()) {
      RoundToSignificant(d, MaxPrecision);
      RoundToDecimals(d, fractionPlaces);
    }
    return d;
  }

  QString Render(const Decimal &d, const FormatSettings &settings) const {
    if (scientific) return RenderScientific(d, settings);
    return RenderFixed(d, settings);
  }

private:
  QString RenderFixed(const Decimal &d, const FormatSettings &settings) const {
    const int integerDigits = qMax(qMax(d.exponent, 0), minInteger);
    int fractionDigits = qMax(int(d.digits.size()) - d.exponent, 0);
    fractionDigits = qBound(minFraction, fractionDigits, fractionPlaces);
    QString out;
    auto putIntegerDigit = [&](int position) {
      out += QLatin1Char(d.DigitAt(position));
      if (thousands && position > 0 && position % 3 == 0) out += settings.ThousandSeparator;
    };
    int integerSeen = 0;
    int fractionSeen = 0;
    for (const Item &item : items) {
      switch (item.kind) {
      case Kind::Digit:
        if (integerSeen < integerPlaces) {
          const int position = integerPlaces - 1 - integerSeen;
          if (integerSeen == 0)
            for (int extra = integerDigits - 1; extra > position; --extra) putIntegerDigit(extra);
          if (position < integerDigits) putIntegerDigit(position);
          ++integerSeen;
        } else {
          if (fractionSeen < fractionDigits) out += QLatin1Char(d.DigitAt(-1 - fractionSeen));
          ++fractionSeen;
        }
        break;
      case Kind::Point:
        if (integerPlaces == 0)
          for (int position = integerDigits - 1; position >= 0; --position) putIntegerDigit(position);
        if (fractionDigits > 0) out += settings.DecimalSeparator;
        break;
      case Kind::Literal: out += item.text; break;
      case Kind::Exponent: break;
      }
    }
    return out;
  }

  QString RenderScientific(const Decimal &d, const FormatSettings &settings) const {
    auto digitAt = [&](int index) { return index < int(d.digits.size()) ? d.digits[index] : '0'; };
    int fractionDigits = 0;
    for (int i = 0; i < fractionPlaces; ++i)
      if (digitAt(integerPlaces + i) != '0') fractionDigits = i + 1;
    fractionDigits = qBound(minFraction, fractionDigits, fractionPlaces);
    const int exponent = d.IsZero() ? 0 : d.exponent - integerPlaces;
    QString out;
    int seen = 0;
    for (const Item &item : items) {
      switch (item.kind) {
      case Kind::Digit:
        if (seen < integerPlaces) {
          // Leading "#" places of a zero mantissa stay empty.
          if (!d.IsZero() || item.zero || seen == integerPlaces - 1) out += QLatin1Char(digitAt(seen));
        } else if (seen - integerPlaces < fractionDigits) {
          out += QLatin1Char(digitAt(seen));
        }
        ++seen;
        break;
      case Kind::Point:
        if (fractionDigits > 0) out += settings.DecimalSeparator;
        break;
      case Kind::Literal: out += item.text; break;
      case Kind::Exponent:
        out += item.text[0];
        out += ExponentText(exponent, item.expDigits, item.text[1] == QLatin1Char('+'));
        break;
      }
    }
    return out;
  }
};

[[noreturn]] void RaiseFormatError(const QString &format) {
  throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
}

QString Pad(const QString &text, int width, bool left) {
  if (text.size() >= width) return text;
  const QString fill(width - text.size(), QLatin1Char(' '));
  return left ? text + fill : fill + text;
}

// Reads an unsigned decimal or hexadecimal magnitude; false on anything else or on overflow of 64 bits.
bool ReadMagnitude(const QString &text, int start, bool hex, uint64_t &magnitude) {
  if (start >= text.size()) return false;
  magnitude = 0;
  const uint64_t base = hex ? 16 : 10;
  for (int i = start; i < text.size(); ++i) {
    const QChar c = text[i];
    uint64_t digit;
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
      digit = c.unicode() - u'0';
    } else if (hex && c >= QLatin1Char('a') && c <= QLatin1Char('f')) {
      digit = c.unicode() - u'a' + 10;
    } else if (hex && c >= QLatin1Char('A') && c <= QLatin1Char('F')) {
      digit = c.unicode() - u'A' + 10;
    } else {
      return false;
    }
    if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / base) return false;
    magnitude = magnitude * base + digit;
  }
  return true;
}

// Parses an integer that must fit `bits` bits; hexadecimal may use the whole unsigned range and wraps into
// the signed one ("$FFFFFFFF" is -1 as a 32-bit value).
bool ParseInteger(const QString &text, int bits, int64_t &value) {
  int i = 0;
  while (i < text.size() && text[i] == QLatin1Char(' ')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  bool hex = false;
  if (i < text.size() && text[i] == QLatin1Char('$')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == QLatin1Char('0') &&
             (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
    hex = true;
    i += 2;
  }
  uint64_t magnitude;
  if (!ReadMagnitude(text, i, hex, magnitude)) return false;
  const uint64_t signedLimit = uint64_t(1) << (bits - 1); // magnitude of the lowest value
  if (hex) {
    const uint64_t unsignedMax =
        bits == 64 ? std::numeric_limits<uint64_t>::max() : (uint64_t(1) << bits) - 1;
    if (magnitude > unsignedMax) return false;
    if (magnitude >= signedLimit) {
      // Wraps into the negative half, as a bit pattern.
      const int64_t wrapped = bits == 64 ? int64_t(magnitude) : int64_t(magnitude) - int64_t(unsignedMax) - 1;
      value = negative ? -wrapped : wrapped;
      if (negative && wrapped == std::numeric_limits<int64_t>::min()) return false;
      return true;
    }
  } else if (magnitude > (negative ? signedLimit : signedLimit - 1)) {
    return false;
  }
  value = negative ? int64_t(0 - magnitude) : int64_t(magnitude);
  return true;
}

} // namespace

// ---- Floats to text --------------------------------------------------------------------------------------

QString FloatToStr(double value) { return FloatToStr(value, Settings()); }
QString FloatToStr(double value, const FormatSettings &settings) {
  return FloatToStrF(value, ffGeneral, MaxPrecision, 0, settings);
}

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, Settings());
}

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                    const FormatSettings &settings) {
  if (!std::isfinite(value)) return SpecialText(value);
  precision = ClampPrecision(precision);
  switch (format) {
  case ffGeneral: return GeneralText(value, precision, digits, settings);
  case ffExponent: {
    Decimal d = ToDecimal(value);
    RoundToSignificant(d, precision);
    return ScientificText(d, precision, false, qBound(0, digits, 4), true, settings);
  }
  case ffFixed:
  case ffNumber:
  case ffCurrency: {
    digits = qBound(0, digits, MaxDecimals);
    const Decimal d = RoundFixed(value, precision, digits);
    if (format != ffCurrency && d.exponent > precision) return GeneralText(value, precision, 0, settings);
    const QChar thousands = format == ffFixed ? QChar() : settings.ThousandSeparator;
    QString number = IntegerPart(d, thousands, digits > 0 ? digits + 1 : 0);
    if (digits > 0) {
      number += settings.DecimalSeparator;
      for (int position = -1; position >= -digits; --position) number += QLatin1Char(d.DigitAt(position));
    }
    const bool negative = d.negative && !d.IsZero();
    if (format == ffCurrency) return CurrencyText(number, negative, settings);
    return negative ? QLatin1Char('-') + number : number;
  }
  }
  return QString();
}

QString FormatFloat(const QString &format, double value) { return FormatFloat(format, value, Settings()); }

QString FormatFloat(const QString &format, double value, const FormatSettings &settings) {
  const QStringList sections = SplitSections(format);
  auto sectionOr0 = [&](int index) {
    return index < sections.size() && !sections[index].isEmpty() ? index : 0;
  };
  if (sections[0].isEmpty() || !std::isfinite(value)) return FloatToStr(value, settings);

  int index = value > 0 ? 0 : value < 0 ? sectionOr0(1) : sectionOr0(2);
  Picture picture(sections[index]);
  Decimal d = picture.Round(value);
  // Huge values do not fit a fixed picture: the class library falls back to general format.
  if (!picture.scientific && d.exponent > MaxDecimals) return FloatToStr(value, settings);
  if (picture.HasDigits() && d.IsZero() && index != sectionOr0(2)) {
    index = sectionOr0(2);
    picture = Picture(sections[index]);
    d = Decimal();
  }
  QString text = picture.Render(d, settings);
  if (index == 0 && value < 0 && !(picture.HasDigits() && d.IsZero())) text.prepend(QLatin1Char('-'));
  return text;
}

// ---- Format ----------------------------------------------------------------------------------------------

QString Format(const QString &format, const QList<Variant> &args) { return Format(format, args, Settings()); }

QString Format(const QString &format, const QList<Variant> &args, const FormatSettings &settings) {
  QString out;
  int next = 0;
  const int length = format.size();
  auto nextArg = [&]() -> const Variant & {
    if (next >= args.size()) throw EConvertError(QStringLiteral("No argument for format '%1'").arg(format));
    return args[next++];
  };
  auto readNumber = [&](int &i, int &number) {
    // Digits or "*" (the next argument); false when neither is there.
    if (i < length && format[i] == QLatin1Char('*')) {
      const Variant &arg = nextArg();
      if (arg.VarType() != varInteger) RaiseFormatError(format);
      number = int(arg.ToInt64());
      ++i;
      return true;
    }
    if (i >= length || !format[i].isDigit()) return false;
    number = 0;
    while (i < length && format[i].isDigit()) {
      number = qMin(number * 10 + (format[i].unicode() - u'0'), 9999);
      ++i;
    }
    return true;
  };

  for (int i = 0; i < length; ++i) {
    if (format[i] != QLatin1Char('%')) {
      out += format[i];
      continue;
    }
    ++i;
    if (i >= length) RaiseFormatError(format);
    if (format[i] == QLatin1Char('%')) {
      out += QLatin1Char('%');
      continue;
    }
    // Optional argument index "n:".
    int j = i;
    int index = 0;
    while (j < length && format[j].isDigit()) index = qMin(index * 10 + (format[j++].unicode() - u'0'), 9999);
    if (j > i && j < length && format[j] == QLatin1Char(':')) {
      next = index;
      i = j + 1;
    }
    bool left = false;
    if (i < length && format[i] == QLatin1Char('-')) {
      left = true;
      ++i;
    }
    int width = 0;
    readNumber(i, width);
    if (width < 0) {
      left = true;
      width = -width;
    }
    int precision = -1;
    if (i < length && format[i] == QLatin1Char('.')) {
      ++i;
      if (!readNumber(i, precision)) precision = 0;
    }
    if (i >= length) RaiseFormatError(format);
    const QChar type = format[i].toLower();
    const Variant &arg = nextArg();
    QString text;
    switch (type.unicode()) {
    case u'd':
    case u'x': {
      if (arg.VarType() != varInteger && arg.VarType() != varBoolean) RaiseFormatError(format);
      const int64_t value = arg.ToInt64();
      if (type == QLatin1Char('d')) {
        const uint64_t magnitude = value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
        text = QString::number(magnitude);
        while (text.size() < precision) text.prepend(QLatin1Char('0'));
        if (value < 0) text.prepend(QLatin1Char('-'));
      } else {
        text = IntToHex(value, qMax(precision, 0));
      }
      break;
    }
    case u's':
      switch (arg.VarType()) {
      case varDouble: text = FloatToStr(arg.ToDouble(), settings); break;
      case varDate: text = DateTimeToStr(arg.ToDateTime(), settings); break;
      default: text = VarToStr(arg); break;
      }
      if (precision >= 0) text.truncate(precision);
      break;
    case u'e':
    case u'f':
    case u'g':
    case u'n':
    case u'm': {
      if (!arg.IsNumeric()) RaiseFormatError(format);
      const double value = arg.ToDouble();
      switch (type.unicode()) {
      case u'e': text = FloatToStrF(value, ffExponent, precision < 0 ? 15 : precision, 3, settings); break;
      case u'g': text = FloatToStrF(value, ffGeneral, precision < 0 ? 15 : precision, 0, settings); break;
      case u'f':
        text = FloatToStrF(value, ffFixed, MaxPrecision, precision < 0 ? 2 : precision, settings);
        break;
      case u'n':
        text = FloatToStrF(value, ffNumber, MaxPrecision, precision < 0 ? 2 : precision, settings);
        break;
      default:
        text = FloatToStrF(value, ffCurrency, MaxPrecision,
                           precision < 0 ? settings.CurrencyDecimals : precision, settings);
        break;
      }
      break;
    }
    default: RaiseFormatError(format);
    }
    out += Pad(text, width, left);
  }
  return out;
}

// ---- Integers --------------------------------------------------------------------------------------------

QString IntToStr(int64_t value) { return QString::number(value); }

QString IntToHex(int64_t value, int digits) {
  QString text = QString::number(uint64_t(value), 16).toUpper();
  while (text.size() < digits) text.prepend(QLatin1Char('0'));
  return text;
}

bool TryStrToInt64(const QString &text, int64_t &value) { return ParseInteger(text, 64, value); }

bool TryStrToInt(const QString &text, int &value) {
  int64_t wide;
  if (!ParseInteger(text, 32, wide)) return false;
  value = int(wide);
  return true;
}

int StrToInt(const QString &text) {
  int value;
  if (!TryStrToInt(text, value))
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
  return value;
}

int StrToIntDef(const QString &text, int defaultValue) {
  int value;
  return TryStrToInt(text, value) ? value : defaultValue;
}

// ---- Text to floats --------------------------------------------------------------------------------------

bool TryStrToFloat(const QString &text, double &value) { return TryStrToFloat(text, value, Settings()); }

bool TryStrToFloat(const QString &text, double &value, const FormatSettings &settings) {
  // Validated by hand (the separator is the settings' one) and rewritten with a point for from_chars.
  std::string plain;
  const int length = text.size();
  int i = 0;
  while (i < length && text[i].isSpace()) ++i;
  bool negative = false;
  if (i < length && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  int mantissaDigits = 0;
  // Digits before the point counted from the first significant one (negative: zeros after the point before
  // it). Below zero with the exponent added, the value is below 1: too small rather than too large.
  int leadingPosition = 0;
  bool seenSignificant = false;
  bool afterPoint = false;
  for (; i < length; ++i) {
    const QChar c = text[i];
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
      plain += char(c.unicode());
      ++mantissaDigits;
      if (c != QLatin1Char('0') && !seenSignificant) seenSignificant = true;
      if (!seenSignificant && afterPoint) --leadingPosition;
      if (seenSignificant && !afterPoint) ++leadingPosition;
    } else if (c == settings.DecimalSeparator && !afterPoint) {
      afterPoint = true;
      plain += '.';
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < length && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
    plain += 'e';
    ++i;
    bool negativeExponent = false;
    if (i < length && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
      negativeExponent = text[i] == QLatin1Char('-');
      plain += negativeExponent ? '-' : '+';
      ++i;
    }
    int exponentDigits = 0;
    int exponent = 0;
    for (; i < length && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
      plain += char(text[i].unicode());
      exponent = qMin(exponent * 10 + (text[i].unicode() - u'0'), 100000);
      ++exponentDigits;
    }
    if (exponentDigits == 0) return false;
    leadingPosition += negativeExponent ? -exponent : exponent;
  }
  while (i < length && text[i].isSpace()) ++i;
  if (i != length) return false;

  double result = 0;
  const auto parsed = std::from_chars(plain.data(), plain.data() + plain.size(), result);
  if (parsed.ec == std::errc::result_out_of_range) {
    // Too small to tell from zero reads as zero; too large is not a value.
    if (!seenSignificant || leadingPosition < 0)
      result = 0;
    else
      return false;
  } else if (parsed.ec != std::errc() || parsed.ptr != plain.data() + plain.size()) {
    return false;
  }
  value = negative ? -result : result;
  return true;
}

double StrToFloat(const QString &text) { return StrToFloat(text, Settings()); }

double StrToFloat(const QString &text, const FormatSettings &settings) {
  double value;
  if (!TryStrToFloat(text, value, settings))
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
  return value;
}
