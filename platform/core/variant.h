// Variant: a value of one of the class library's variant kinds: empty (unassigned), null, integer (64-bit),
// float (double), date-time, boolean and string.
//
// Rules chosen where callers rely on the class library's behaviour:
// - Conversions to a number: empty is 0; a boolean is -1 (true) or 0; a date-time is its day count; a string
//   is read by StrToInt (decimal only) for integers or by StrToFloat (settings' decimal separator) for
//   floats, and text that is not a number raises EVariantTypeCastError "Could not convert variant of type
//   (String) into type (Double)" (or "(Integer)"). Null raises the same error with "(Null)". A float converts
//   to an integer by rounding half to even; beyond the 64-bit range EVariantOverflowError is raised.
// - Conversion to text: empty is "", integers by IntToStr, floats by FloatToStr (15 digits), date-times by
//   DateTimeToStr, booleans "True" / "False". Null raises; VarToStr gives "" for it instead.
// - Conversion to boolean: numbers are true when not 0; strings "True"/"False" in any case, else their
// number.
// - Arithmetic (+ - * /): null on either side gives null. string + string concatenates (empty counts as "");
//   otherwise a string operand is read as a number (an integer text stays an integer). Integers stay integers
//   for + - * (a result beyond 64 bits becomes a float); "/" always gives a float and raises EZeroDivide for
//   a zero divisor. A boolean counts as the integer -1 or 0, empty as the integer 0. A date-time plus or
//   minus a number stays a date-time; the difference of two date-times is a float.
// - Mod converts both sides to integers; a zero divisor raises EDivByZero "Division by zero".
// - Comparisons: null equals null and is below every other value; empty compares as "" with a string and as
//   0 otherwise. Two strings compare by code units, case-sensitively. A string against a number is read as a
//   number, so comparing text that is not a number with a number raises the conversion error. A string
//   against a date-time is read as a date-time. Other values compare as numbers (integers exactly).
// Truth values of the report expressions are the integers 1 and 0 (built by the caller).
#pragma once
#include "platform/core/date_time.h"
#include "platform/core/exceptions.h"
#include <QChar>
#include <QString>
#include <concepts>
#include <cstdint>
#include <variant>

TALLYROOK_EXCEPTION(EVariantOverflowError, EVariantError)
TALLYROOK_EXCEPTION(EDivByZero, EIntError)

// Variant type codes, with the class library's numbers.
using TVarType = uint16_t;
constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varInteger = 0x0003; // holds 64 bits here
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varString = 0x0100;

// The class library's name of a type code ("Empty", "Null", "Integer", "Double", "Date", "Boolean",
// "String").
QString VarTypeAsText(TVarType type);

class Variant {
public:
  Variant() = default; // empty
  Variant(bool value) : value_(value) {}
  template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, char16_t> &&
           !std::same_as<T, char32_t> && !std::same_as<T, wchar_t>) Variant(T value)
      : value_(static_cast<int64_t>(value)) {}
  Variant(double value) : value_(value) {}
  Variant(float value) : value_(static_cast<double>(value)) {}
  Variant(const QString &value) : value_(value) {}
  Variant(const char *value) : value_(QString::fromUtf8(value)) {}
  Variant(QChar value) : value_(QString(value)) {}
  // Keeps a stray pointer from turning into a boolean.
  Variant(const void *) = delete;

  static Variant Null();
  static Variant FromDateTime(TDateTime value);

  TVarType VarType() const;
  bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsNull() const { return std::holds_alternative<NullValue>(value_); }
  bool IsString() const { return std::holds_alternative<QString>(value_); }
  // Integer, float, date-time or boolean.
  bool IsNumeric() const;

  int64_t ToInt64() const;
  // As ToInt64, raising EVariantOverflowError outside the 32-bit range.
  int ToInt() const;
  double ToDouble() const;
  bool ToBool() const;
  QString ToString() const;
  TDateTime ToDateTime() const;

  Variant operator-() const;

  friend Variant operator+(const Variant &a, const Variant &b);
  friend Variant operator-(const Variant &a, const Variant &b);
  friend Variant operator*(const Variant &a, const Variant &b);
  friend Variant operator/(const Variant &a, const Variant &b);

  friend bool operator==(const Variant &a, const Variant &b);
  friend bool operator<(const Variant &a, const Variant &b);
  friend bool operator!=(const Variant &a, const Variant &b) { return !(a == b); }
  friend bool operator>(const Variant &a, const Variant &b) { return b < a; }
  friend bool operator<=(const Variant &a, const Variant &b) { return !(b < a); }
  friend bool operator>=(const Variant &a, const Variant &b) { return !(a < b); }

private:
  struct NullValue {
    bool operator==(const NullValue &) const = default;
  };
  struct DateValue {
    TDateTime days;
    bool operator==(const DateValue &) const = default;
  };
  using Storage = std::variant<std::monostate, NullValue, int64_t, double, DateValue, bool, QString>;
  explicit Variant(Storage value) : value_(std::move(value)) {}

  Storage value_;

  friend class VariantOps;
};

Variant Null();
Variant Unassigned();
Variant VarFromDateTime(TDateTime value);

inline TVarType VarType(const Variant &value) { return value.VarType(); }
inline bool VarIsNull(const Variant &value) { return value.IsNull(); }
inline bool VarIsEmpty(const Variant &value) { return value.IsEmpty(); }
// The value's text, "" for null and empty.
QString VarToStr(const Variant &value);

// -1, 0 or 1 by the comparison rules above.
int VarCompare(const Variant &a, const Variant &b);
// The remainder of an integer division (the sign of the dividend).
Variant Mod(const Variant &a, const Variant &b);
