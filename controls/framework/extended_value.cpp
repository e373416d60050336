#include "controls/framework/extended_value.h"
#include <cmath>
#include <limits>
#include <locale>
#include <sstream>

namespace {

constexpr int kBias = 16383;
constexpr int kMaxExponent = 0x7FFF;

// Rounds to 64 mantissa bits (a no-op where long double is the x87 format).
long double RoundToExtended(long double value) {
  if (value == 0 || !std::isfinite(value)) return value;
  int exponent = 0;
  const long double fraction = std::frexp(value, &exponent);
  const long double mantissa = std::rint(std::ldexp(fraction, 64));
  return std::ldexp(mantissa, exponent - 64);
}

} // namespace

TExtended::TExtended(long double value) : value_(RoundToExtended(value)) {}

TExtended::TBytes TExtended::Bytes() const {
  std::uint64_t mantissa = 0;
  int biased = 0;
  const bool negative = std::signbit(value_);
  const long double magnitude = std::fabs(value_);
  if (std::isnan(magnitude)) {
    biased = kMaxExponent;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(magnitude)) {
    biased = kMaxExponent;
    mantissa = 0x8000000000000000ull;
  } else if (magnitude != 0) {
    int exponent = 0;
    const long double fraction = std::frexp(magnitude, &exponent); // [0.5, 1)
    biased = exponent - 1 + kBias;
    if (biased >= kMaxExponent) {
      biased = kMaxExponent; // beyond the format: infinity
      mantissa = 0x8000000000000000ull;
    } else if (biased <= 0) {
      // Denormal: the exponent stays at its least and the mantissa shifts right.
      mantissa = std::uint64_t(std::rint(std::ldexp(fraction, 64 + biased - 1)));
      biased = 0;
    } else {
      mantissa = std::uint64_t(std::ldexp(fraction, 64));
    }
  }
  TBytes out{};
  for (int i = 0; i < 8; ++i) out[std::size_t(i)] = std::uint8_t(mantissa >> (8 * i));
  const std::uint16_t top = std::uint16_t((negative ? 0x8000 : 0) | biased);
  out[8] = std::uint8_t(top);
  out[9] = std::uint8_t(top >> 8);
  return out;
}

TExtended TExtended::FromBytes(const TBytes &bytes) {
  std::uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[std::size_t(i)];
  const int top = bytes[8] | (bytes[9] << 8);
  const bool negative = (top & 0x8000) != 0;
  const int biased = top & kMaxExponent;
  long double magnitude = 0;
  if (biased == kMaxExponent)
    magnitude = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                     : std::numeric_limits<long double>::quiet_NaN();
  else
    magnitude = std::ldexp((long double)mantissa, (biased == 0 ? 1 : biased) - kBias - 63);
  TExtended result;
  result.value_ = RoundToExtended(negative ? -magnitude : magnitude);
  return result;
}

std::optional<TExtended> TExtended::Parse(const QString &text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  std::istringstream in(trimmed.toStdString());
  in.imbue(std::locale::classic());
  long double value = 0;
  in >> value;
  if (in.fail() || !in.eof() || !std::isfinite(value)) return std::nullopt;
  const TExtended result(value);
  if (!std::isfinite(result.value_) || std::fabs(result.value_) > 1.18e4932L) return std::nullopt;
  return result;
}

QString TExtended::ToString() const {
  for (int precision = 15; precision <= 21; ++precision) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(precision);
    out << value_;
    const QString text = QString::fromStdString(out.str());
    if (const auto back = Parse(text); back && *back == *this) return text;
    if (precision == 21) return text;
  }
  return QString();
}
