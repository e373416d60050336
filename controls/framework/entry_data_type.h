// The data types of entry-field values; their names are the library messages 34068.. in this order.
#pragma once
#include <cstdint>

enum TOvcEfDataType : std::uint8_t {
  edtString,
  edtChar,
  edtBoolean,
  edtYesNo,
  edtLongInt,
  edtWord,
  edtSmallInt,
  edtByte,
  edtShortInt,
  edtReal,
  edtExtended,
  edtDouble,
  edtSingle,
  edtComp,
  edtDate,
  edtTime,
};
