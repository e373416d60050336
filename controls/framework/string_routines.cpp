#include "controls/framework/string_routines.h"

namespace {

const char kDigits[] = "0123456789ABCDEF";

// Writes Count digits of Value in base 2^Bits, most significant first.
QString &Digits(QString &dest, std::uint32_t value, int count, int bits) {
  dest.resize(count);
  const std::uint32_t mask = (1u << bits) - 1;
  for (int i = count - 1; i >= 0; --i) {
    dest[i] = QLatin1Char(kDigits[value & mask]);
    value = bits < 32 ? value >> bits : 0;
  }
  return dest;
}

// The value of a hexadecimal digit (either case), or -1.
int DigitValue(QChar ch) {
  const char16_t c = ch.unicode();
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

int Clamped(int pos, const QString &s) { return pos < 0 ? 0 : (pos > s.size() ? int(s.size()) : pos); }

bool IsExponent(QChar ch) { return ch == QLatin1Char('E') || ch == QLatin1Char('e'); }

void TrimBlanks(QString &s) {
  qsizetype start = 0;
  while (start < s.size() && s[start] == QLatin1Char(' ')) ++start;
  qsizetype end = s.size();
  while (end > start && s[end - 1] == QLatin1Char(' ')) --end;
  s = s.mid(start, end - start);
}

} // namespace

QString &CharStrPChar(QString &dest, QChar ch, int len) {
  dest = QString(len > 0 ? len : 0, ch);
  return dest;
}

QString &BinaryLPChar(QString &dest, std::uint32_t value) { return Digits(dest, value, 32, 1); }

QString &OctalLPChar(QString &dest, std::uint32_t value) { return Digits(dest, value, 12, 3); }

QString &HexWPChar(QString &dest, std::uint16_t value) { return Digits(dest, value, 4, 4); }

QString &HexLPChar(QString &dest, std::uint32_t value) {
  QString low;
  HexWPChar(dest, std::uint16_t(value >> 16));
  dest += HexWPChar(low, std::uint16_t(value & 0xFFFF));
  return dest;
}

QChar LoCaseChar(QChar ch) { return ch.toLower(); }

QChar UpCaseChar(QChar ch) { return ch.toUpper(); }

bool StrChPos(const QString &s, QChar ch, int &pos) {
  const qsizetype found = s.indexOf(ch);
  if (found < 0) return false;
  pos = int(found);
  return true;
}

bool StrStPos(const QString &s, const QString &sub, int &pos) {
  if (sub.isEmpty() || sub.size() > s.size()) return false;
  const qsizetype found = s.indexOf(sub);
  if (found < 0) return false;
  pos = int(found);
  return true;
}

QString &StrChInsertPrim(QString &s, QChar ch, int pos) { return s.insert(Clamped(pos, s), ch); }

QString &StrStInsertPrim(QString &s, const QString &sub, int pos) { return s.insert(Clamped(pos, s), sub); }

QString &StrChDeletePrim(QString &s, int pos) {
  if (pos >= 0 && pos < s.size()) s.remove(pos, 1);
  return s;
}

QString &StrStDeletePrim(QString &s, int pos, int count) {
  if (pos >= 0 && pos < s.size() && count > 0) s.remove(pos, count);
  return s;
}

QString &StrStCopy(QString &dest, const QString &s, int pos, int count) {
  dest = pos >= 0 && pos < s.size() && count > 0 ? s.mid(pos, count) : QString();
  return dest;
}

QString &TrimAllSpacesPChar(QString &s) {
  TrimBlanks(s);
  return s;
}

QString &TrimTrailPrim(QString &s) {
  qsizetype end = s.size();
  while (end > 0 && s[end - 1].unicode() <= 32) --end;
  s.truncate(end);
  return s;
}

QString &TrimTrailingZeros(QString &s) {
  TrimBlanks(s);
  // Zeros at the end of an exponent or of a whole number are significant.
  if (s.contains(QLatin1Char('.')) && !s.contains(QLatin1Char('E')) && !s.contains(QLatin1Char('e'))) {
    while (s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
  }
  TrimBlanks(s);
  return s;
}

QString &TrimEmbeddedZeros(QString &s) {
  qsizetype e = s.indexOf(QLatin1Char('E'));
  if (e < 0) return s;
  // Zeros before the exponent are fraction digits only when the mantissa has a point.
  if (s.left(e).contains(QLatin1Char('.'))) {
    qsizetype start = e;
    while (start > 0 && s[start - 1] == QLatin1Char('0')) --start;
    if (start > 0 && s[start - 1] == QLatin1Char('.')) --start;
    s.remove(start, e - start);
    e = start;
  }
  qsizetype digits = e + 1;
  if (digits < s.size() && (s[digits] == QLatin1Char('+') || s[digits] == QLatin1Char('-'))) ++digits;
  qsizetype firstNonZero = digits;
  while (firstNonZero < s.size() && s[firstNonZero] == QLatin1Char('0')) ++firstNonZero;
  if (firstNonZero == s.size())
    s.truncate(e); // nothing but zeros: no exponent at all
  else
    s.remove(digits, firstNonZero - digits);
  return s;
}

bool Str2LongPChar(const QString &s, std::int32_t &value) {
  if (s.size() >= 256) {
    value = -1;
    return false;
  }
  QString text = s;
  TrimTrailPrim(text);
  const auto fail = [&value](qsizetype pos) {
    value = std::int32_t(pos);
    return false;
  };
  qsizetype i = 0;
  while (i < text.size() && text[i] == QLatin1Char(' ')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  int base = 10;
  if (i < text.size() && text[i] == QLatin1Char('$')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == QLatin1Char('0') &&
             (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return fail(i);
  // Decimal values must fit a signed 32-bit integer; hexadecimal ones fill all 32 bits, as the runtime's
  // conversion reads them.
  const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit < 0 || digit >= base) return fail(i);
    magnitude = magnitude * std::uint64_t(base) + std::uint64_t(digit);
    if (magnitude > limit) return fail(i);
  }
  std::uint32_t bits = std::uint32_t(magnitude);
  if (negative) bits = ~bits + 1;
  value = std::int32_t(bits);
  return true;
}

QString &FixRealText(QString &s, QChar decimalChar) {
  TrimBlanks(s);
  if (s.isEmpty()) {
    s = QStringLiteral("0");
    return s;
  }
  if (s.endsWith(decimalChar)) {
    s.chop(1);
    TrimBlanks(s);
    if (s.isEmpty()) s = QStringLiteral("0");
  }
  qsizetype point = s.indexOf(decimalChar);
  if (point >= 0)
    s[point] = QLatin1Char('.');
  else
    point = s.indexOf(QLatin1Char('.'));

  if (point >= 0) {
    if (point == s.size() - 1) {
      s += QLatin1Char('0');
    } else if (point == 0) {
      s.prepend(QLatin1Char('0'));
      point = 1;
    } else if (point == 1 && s[0] == QLatin1Char('-')) {
      s.insert(1, QLatin1Char('0'));
      point = 2;
    }
  }

  qsizetype e = -1;
  for (qsizetype i = 1; i < s.size(); ++i)
    if (IsExponent(s[i])) {
      e = i;
      break;
    }
  if (e > 0) {
    if (point < 0) {
      s.insert(e, QLatin1Char('.'));
      point = e;
      ++e;
    }
    if (e - point - 1 < 12) s.insert(e, QStringLiteral("00000"));
  }

  if (point >= 0) {
    while (point + 1 < s.size() && s[point + 1] == QLatin1Char(' ')) s.remove(point + 1, 1);
    while (point > 0 && s[point - 1] == QLatin1Char(' ')) {
      s.remove(point - 1, 1);
      --point;
    }
  }
  return s;
}
