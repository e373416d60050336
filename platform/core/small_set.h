// A Pascal-style set of up to 32 enumeration values: ControlStyle, ControlState, BorderIcons, ...
#pragma once
#include <cstdint>
#include <initializer_list>

template <typename E>
class TSmallSet {
public:
  TSmallSet() = default;
  TSmallSet(std::initializer_list<E> values) {
    for (E v : values) Include(v);
  }
  bool Contains(E value) const { return (bits_ & Bit(value)) != 0; }
  TSmallSet &Include(E value) {
    bits_ |= Bit(value);
    return *this;
  }
  TSmallSet &Exclude(E value) {
    bits_ &= ~Bit(value);
    return *this;
  }
  TSmallSet &Set(E value, bool on) { return on ? Include(value) : Exclude(value); }
  bool Empty() const { return bits_ == 0; }
  bool operator==(const TSmallSet &other) const = default;
  TSmallSet operator+(const TSmallSet &other) const { return FromBits(bits_ | other.bits_); }
  TSmallSet operator-(const TSmallSet &other) const { return FromBits(bits_ & ~other.bits_); }
  TSmallSet operator*(const TSmallSet &other) const { return FromBits(bits_ & other.bits_); }
  std::uint32_t Bits() const { return bits_; }
  static TSmallSet FromBits(std::uint32_t bits) {
    TSmallSet s;
    s.bits_ = bits;
    return s;
  }

private:
  static std::uint32_t Bit(E value) { return std::uint32_t(1) << unsigned(value); }
  std::uint32_t bits_ = 0;
};
