// The ten-byte "extended" floating-point value of entry fields and their range cells: a 64-bit mantissa with
// a 15-bit exponent. It is held as a long double rounded to 64 mantissa bits, so that it computes alike where
// long double is the x87 format and where it is wider (quadruple precision); its stored form is the x87 byte
// layout, built from the value's parts rather than copied from memory.
#pragma once
#include <QString>
#include <array>
#include <compare>
#include <cstdint>
#include <optional>

class TExtended {
public:
  using TBytes = std::array<std::uint8_t, 10>;

  constexpr TExtended() = default;
  explicit TExtended(long double value);

  long double Value() const { return value_; }
  double ToDouble() const { return double(value_); }

  // The ten stored bytes: mantissa (integer bit explicit) little-endian, then sign and biased exponent.
  TBytes Bytes() const;
  static TExtended FromBytes(const TBytes &bytes);

  // A decimal number in the C locale ("-1.5e3"); nothing for any other text or a value beyond the range.
  static std::optional<TExtended> Parse(const QString &text);
  // Up to 18 significant digits, the shortest form that reads back.
  QString ToString() const;

  friend bool operator==(TExtended a, TExtended b) { return a.value_ == b.value_; }
  friend std::partial_ordering operator<=>(TExtended a, TExtended b) { return a.value_ <=> b.value_; }

private:
  long double value_ = 0;
};
