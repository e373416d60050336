#include "controls/entry/typed_values.h"
#include "controls/framework/entry_data_type.h"
#include "controls/framework/string_routines.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

int IntegerTypeBytes(int dataType) {
  switch (dataType) {
  case edtLongInt: return 4;
  case edtWord:
  case edtSmallInt: return 2;
  default: return 1;
  }
}

bool IsIntegerType(int dataType) { return dataType >= edtLongInt && dataType <= edtShortInt; }
bool IsFloatType(int dataType) { return dataType >= edtReal && dataType <= edtComp; }
bool IsFractionType(int dataType) { return IsFloatType(dataType) && dataType != edtComp; }

std::int64_t IntegerTypeMin(int dataType) {
  switch (dataType) {
  case edtLongInt: return -2147483648LL;
  case edtSmallInt: return -32768;
  case edtShortInt: return -128;
  default: return 0;
  }
}

std::int64_t IntegerTypeMax(int dataType) {
  switch (dataType) {
  case edtLongInt: return 2147483647LL;
  case edtWord: return 65535;
  case edtSmallInt: return 32767;
  case edtByte: return 255;
  case edtShortInt: return 127;
  default: return 0;
  }
}

namespace {

template <typename T>
T Get(const void *buffer) {
  T value{};
  std::memcpy(&value, buffer, sizeof value);
  return value;
}

template <typename T>
void Put(void *buffer, T value) {
  std::memcpy(buffer, &value, sizeof value);
}

} // namespace

long double ReadNumber(const void *buffer, int dataType) {
  switch (dataType) {
  case edtWord: return Get<std::uint16_t>(buffer);
  case edtSmallInt: return Get<std::int16_t>(buffer);
  case edtByte: return Get<std::uint8_t>(buffer);
  case edtShortInt: return Get<std::int8_t>(buffer);
  case edtReal:
  case edtDouble: return Get<double>(buffer);
  case edtExtended: return static_cast<const TExtended *>(buffer)->Value();
  case edtSingle: return Get<float>(buffer);
  case edtComp: return Get<std::int64_t>(buffer);
  default: return Get<std::int32_t>(buffer); // LongInt, Date, Time
  }
}

void WriteNumber(void *buffer, int dataType, long double value) {
  switch (dataType) {
  case edtWord: return Put(buffer, std::uint16_t(value));
  case edtSmallInt: return Put(buffer, std::int16_t(value));
  case edtByte: return Put(buffer, std::uint8_t(value));
  case edtShortInt: return Put(buffer, std::int8_t(value));
  case edtReal:
  case edtDouble: return Put(buffer, double(value));
  case edtExtended: *static_cast<TExtended *>(buffer) = TExtended(value); return;
  case edtSingle: return Put(buffer, float(value));
  case edtComp: return Put(buffer, std::int64_t(std::llround(value)));
  default: return Put(buffer, std::int32_t(value));
  }
}

bool TypeHolds(int dataType, long double value) {
  if (IsIntegerType(dataType)) return value >= IntegerTypeMin(dataType) && value <= IntegerTypeMax(dataType);
  if (dataType == edtSingle) return std::fabs(value) <= std::numeric_limits<float>::max();
  if (dataType == edtComp) return value >= -0x1p63L && value < 0x1p63L;
  return std::isfinite(value);
}

void WriteNumberOrZero(void *buffer, int dataType, std::optional<long double> value) {
  WriteNumber(buffer, dataType, value && TypeHolds(dataType, *value) ? *value : 0);
}

int MaskBase(const QString &mask) {
  if (mask.contains(QLatin1Char('K'))) return 16;
  if (mask.contains(QLatin1Char('O'))) return 8;
  if (mask.contains(QLatin1Char('b'))) return 2;
  return 10;
}

std::optional<std::int64_t> ParseIntegerText(const QString &text, int base, int dataType) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  bool ok = false;
  std::int64_t value = 0;
  if (base == 10) {
    value = trimmed.toLongLong(&ok);
  } else {
    const std::uint64_t bits = trimmed.toULongLong(&ok, base);
    const int width = 8 * IntegerTypeBytes(dataType);
    if (!ok || (bits >> width) != 0) return std::nullopt;
    // The bit pattern of a signed type reads as a negative value.
    const bool signedType = IntegerTypeMin(dataType) < 0;
    value = std::int64_t(bits);
    if (signedType && (bits >> (width - 1)) != 0) value -= std::int64_t(1) << width;
  }
  if (!ok) return std::nullopt;
  return value;
}

QString IntegerText(std::int64_t value, int base, int dataType) {
  if (base == 10) return QString::number(value);
  const int bytes = IntegerTypeBytes(dataType);
  const std::uint64_t bits = std::uint64_t(value) & (bytes == 4 ? 0xFFFFFFFFull : (1ull << (8 * bytes)) - 1);
  const int digits = base == 16 ? 2 * bytes : base == 8 ? 4 * std::min(bytes, 3) : 8 * bytes;
  return QStringLiteral("%1").arg(bits, digits, base, QLatin1Char('0')).toUpper();
}

std::optional<TExtended> ParseFloatText(const QString &text) {
  QString fixed = text;
  FixRealText(fixed, QLatin1Char('.'));
  fixed.remove(QLatin1Char(' '));
  return TExtended::Parse(fixed);
}

std::optional<long double> ParseNumberText(const QString &text, int base, int dataType) {
  if (IsIntegerType(dataType)) {
    const auto value = ParseIntegerText(text, base, dataType);
    if (!value) return std::nullopt;
    return (long double)*value;
  }
  const auto value = ParseFloatText(text);
  if (!value) return std::nullopt;
  return dataType == edtComp ? std::round(value->Value()) : value->Value();
}

int SignificantDigits(int dataType) { return dataType == edtSingle ? 7 : 15; }

std::optional<QString> FixedText(long double value, int decimals, int maxChars, int digits) {
  char buffer[128];
  QString text;
  if (decimals > 0) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e60L) return std::nullopt;
    std::snprintf(buffer, sizeof buffer, "%.*Lf", std::min(decimals, 40), value);
    text = QString::fromLatin1(buffer);
  } else if (std::fabs(value) < 1e19L && value == std::trunc(value)) {
    std::snprintf(buffer, sizeof buffer, "%.0Lf", value);
    text = QString::fromLatin1(buffer);
  } else {
    // The significant digits and the exponent, written out in fixed notation however far the point lies.
    if (!std::isfinite(value)) return std::nullopt;
    std::snprintf(buffer, sizeof buffer, "%+.*Le", std::clamp(digits, 1, 30) - 1, value);
    const QString scientific = QString::fromLatin1(buffer);
    const qsizetype e = scientific.indexOf(QLatin1Char('e'));
    const int exponent = scientific.mid(e + 1).toInt();
    if (std::abs(exponent) > maxChars) return std::nullopt;
    QString significant = scientific.mid(1, e - 1).remove(QLatin1Char('.'));
    while (significant.size() > 1 && significant.endsWith(QLatin1Char('0'))) significant.chop(1);
    if (exponent < 0) {
      text = QStringLiteral("0.") + QString(-exponent - 1, QLatin1Char('0')) + significant;
    } else if (significant.size() <= exponent + 1) {
      text = significant + QString(exponent + 1 - significant.size(), QLatin1Char('0'));
    } else {
      text = significant.left(exponent + 1) + QLatin1Char('.') + significant.mid(exponent + 1);
    }
    if (scientific.startsWith(QLatin1Char('-'))) text.prepend(QLatin1Char('-'));
  }
  if (text.contains(QLatin1Char('.'))) TrimTrailingZeros(text);
  if (text == QLatin1String("-0")) text = QStringLiteral("0");
  if (text.size() > maxChars) return std::nullopt;
  return text;
}

QString ScientificText(long double value, int width, int digits) {
  QString text;
  for (int places = std::clamp(digits - 1, 0, std::max(width, 0)); places >= 0; --places) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.*LE", places, value);
    text = QString::fromLatin1(buffer);
    TrimEmbeddedZeros(text);
    if (text.size() <= width) break;
  }
  return text;
}
