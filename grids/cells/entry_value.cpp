#include "grids/cells/entry_value.h"
#include "controls/framework/day_numbers.h"
#include "controls/framework/entry_data_type.h"

TOvcEntryValue TOvcEntryValue::Empty(int DataType, bool DateTime) {
  switch (DataType) {
  case edtChar: return QChar(QLatin1Char(' '));
  case edtBoolean:
  case edtYesNo: return false;
  case edtLongInt: return std::int32_t(0);
  case edtWord: return std::uint16_t(0);
  case edtSmallInt: return std::int16_t(0);
  case edtByte: return std::uint8_t(0);
  case edtShortInt: return std::int8_t(0);
  case edtReal:
  case edtDouble: return 0.0;
  case edtExtended: return TExtended();
  case edtSingle: return 0.0f;
  case edtComp: return std::int64_t(0);
  // A blank date is no date, not the first day of the calendar.
  case edtDate: return DateTime ? TOvcEntryValue(0.0) : TOvcEntryValue(std::int32_t(BadDate));
  case edtTime: return DateTime ? TOvcEntryValue(0.0) : TOvcEntryValue(std::int32_t(BadTime));
  default: return QString();
  }
}

bool TOvcEntryValue::HoldsTypeOf(int DataType, bool DateTime) const {
  return value_.index() == Empty(DataType, DateTime).value_.index();
}

void *TOvcEntryValue::Data() {
  return std::visit([](auto &value) -> void * { return &value; }, value_);
}

const void *TOvcEntryValue::Data() const {
  return std::visit([](const auto &value) -> const void * { return &value; }, value_);
}
