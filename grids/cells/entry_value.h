// The value a field cell paints and edits: one typed value of its entry field's data type, as the fields take
// it in and give it out (SetFieldValue, GetFieldValue). Strings are QStrings, characters QChars, Boolean and
// yes/no flags bools, dates and times day numbers and seconds of the day (std::int32_t, -1 for none), a
// picture field's date and time together a TDateTime (0 for none), and each number type its own C++ type.
#pragma once
#include "controls/framework/extended_value.h"
#include <QChar>
#include <QString>
#include <cstdint>
#include <type_traits>
#include <variant>

class TOvcEntryValue {
public:
  using TValue = std::variant<QString, QChar, bool, std::int8_t, std::uint8_t, std::int16_t, std::uint16_t,
                              std::int32_t, std::int64_t, float, double, TExtended>;

  TOvcEntryValue() = default; // an empty string
  // The copy is ruled out first: clang 14 cannot check the other condition for this class itself.
  template <typename T>
  requires(!std::is_same_v<T, TOvcEntryValue> && std::is_constructible_v<TValue, std::in_place_type_t<T>, T>)
      TOvcEntryValue(T Value)
      : value_(std::in_place_type<T>, std::move(Value)) {}

  // The empty value of an entry-field data type (edtString..edtTime; DateTime for a date-time picture):
  // an empty string, a blank, False, zero, no date or time.
  static TOvcEntryValue Empty(int DataType, bool DateTime = false);
  // Whether the value has the C++ type the fields use for that data type.
  bool HoldsTypeOf(int DataType, bool DateTime = false) const;

  template <typename T>
  const T *Get() const {
    return std::get_if<T>(&value_);
  }
  // The held value's address, in the form the fields' value buffers take.
  void *Data();
  const void *Data() const;

  friend bool operator==(const TOvcEntryValue &, const TOvcEntryValue &) = default;

private:
  TValue value_;
};
