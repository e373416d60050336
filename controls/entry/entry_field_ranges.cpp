// Entry-field range values in their text form and in the form stream, values set from text or from a date
// and time, and the typed setters.
#include "controls/entry/base_entry_field.h"
#include "controls/framework/day_numbers.h"
#include "controls/framework/intl_support.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/library_messages.h"
#include "platform/core/date_time.h"
#include "platform/core/filer.h"
#include "platform/core/streams.h"
#include <cmath>
#include <cstring>

namespace {

int IntegerBytes(int type) {
  switch (type) {
  case edtLongInt: return 4;
  case edtWord:
  case edtSmallInt: return 2;
  default: return 1;
  }
}

std::int32_t CellInt(const TRangeType &cell) {
  std::int32_t v = 0;
  std::memcpy(&v, cell.data(), 4);
  return v;
}

template <typename T>
TRangeType ToCell(T value) {
  TRangeType cell{};
  std::memcpy(cell.data(), &value, sizeof value);
  return cell;
}

TExtended CellExtended(const TRangeType &cell) { return TExtended::FromBytes(cell); }

TRangeType ExtendedToCell(TExtended value) { return value.Bytes(); }

std::optional<TExtended> ParseDecimal(const QString &text) {
  if (text.trimmed().isEmpty()) return TExtended();
  return TExtended::Parse(text);
}

std::optional<std::uint64_t> ParseDigits(const QString &text, int base) {
  if (text.isEmpty()) return std::nullopt;
  bool ok = false;
  const std::uint64_t value = text.toULongLong(&ok, base);
  if (!ok) return std::nullopt;
  return value;
}

QString DatePicture() { return OvcIntlSup().InternationalDate(true); }
QString TimePicture() { return OvcIntlSup().InternationalTime(true); }

} // namespace

QString TOvcBaseEntryField::RangeText(const TRangeType &cell) const {
  const int type = DataType();
  switch (type) {
  case edtChar: {
    const auto code = cell[0];
    return code <= 32 ? QStringLiteral("#%1").arg(code) : QString(QChar(char16_t(code)));
  }
  case edtLongInt:
  case edtWord:
  case edtSmallInt:
  case edtByte:
  case edtShortInt: {
    const std::int32_t value = CellInt(cell);
    const int bytes = IntegerBytes(type);
    const std::uint64_t mask = bytes == 4 ? 0xFFFFFFFFull : (std::uint64_t(1) << (8 * bytes)) - 1;
    const std::uint64_t bits = std::uint64_t(std::int64_t(value)) & mask;
    if (picture_.contains(QLatin1Char('K')))
      return QStringLiteral("%1").arg(bits, 2 * bytes, 16, QLatin1Char('0')).toUpper();
    if (picture_.contains(QLatin1Char('O')))
      return QStringLiteral("%1").arg(bits, 4 * bytes, 8, QLatin1Char('0'));
    if (picture_.contains(QLatin1Char('b')))
      return QStringLiteral("%1").arg(bits, 8 * bytes, 2, QLatin1Char('0'));
    return QString::number(value);
  }
  case edtReal: {
    double value = 0;
    std::memcpy(&value, cell.data(), 8);
    return QString::number(value, 'g', 17);
  }
  case edtExtended:
  case edtDouble:
  case edtSingle:
  case edtComp: return CellExtended(cell).ToString();
  case edtDate: {
    const std::int32_t day = CellInt(cell);
    return day == BadDate ? QString() : OvcIntlSup().DateToDateString(DatePicture(), day, false);
  }
  case edtTime: {
    const std::int32_t time = CellInt(cell);
    return time == BadTime ? QString() : OvcIntlSup().TimeToTimeString(TimePicture(), time, false);
  }
  default: return QString();
  }
}

std::optional<TRangeType> TOvcBaseEntryField::RangeCellFromText(const QString &text) {
  const int type = DataType();
  switch (type) {
  case edtChar: {
    if (text.isEmpty()) return ToCell(char(' '));
    if (text.startsWith(QLatin1Char('#')) && text.size() > 1) {
      const QString digits = text.mid(1);
      bool ok = digits.size() <= 3;
      const int code = ok ? digits.toInt(&ok) : 0;
      if (!ok || code < 0 || code > 255) return std::nullopt;
      return ToCell(std::uint8_t(code));
    }
    if (text.at(0).unicode() > 255) return std::nullopt;
    return ToCell(std::uint8_t(text.at(0).unicode()));
  }
  case edtLongInt:
  case edtWord:
  case edtSmallInt:
  case edtByte:
  case edtShortInt: {
    QString trimmed = text.trimmed();
    std::int64_t value = 0;
    if (trimmed.isEmpty()) {
      value = 0;
    } else if (picture_.contains(QLatin1Char('b')) || picture_.contains(QLatin1Char('O')) ||
               picture_.contains(QLatin1Char('K'))) {
      const int base = picture_.contains(QLatin1Char('b')) ? 2 : picture_.contains(QLatin1Char('O')) ? 8 : 16;
      if (base == 16 && trimmed.startsWith(QLatin1Char('$'))) trimmed.remove(0, 1);
      const auto digits = ParseDigits(trimmed, base);
      if (!digits || *digits > 0xFFFFFFFFull) return std::nullopt;
      // A LongInt written in a base takes its bit pattern.
      value = type == edtLongInt ? std::int64_t(std::int32_t(std::uint32_t(*digits))) : std::int64_t(*digits);
    } else {
      bool ok = false;
      value = trimmed.toLongLong(&ok);
      if (!ok) return std::nullopt;
    }
    std::int64_t lo = -2147483648LL;
    std::int64_t hi = 2147483647LL;
    if (type == edtWord) lo = 0, hi = 65535;
    if (type == edtSmallInt) lo = -32768, hi = 32767;
    if (type == edtByte) lo = 0, hi = 255;
    if (type == edtShortInt) lo = -128, hi = 127;
    if (value < lo || value > hi) return std::nullopt;
    return ToCell(std::int32_t(value));
  }
  case edtReal: {
    bool ok = true;
    const QString trimmed = text.trimmed();
    const double value = trimmed.isEmpty() ? 0.0 : trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return ToCell(value);
  }
  case edtExtended:
  case edtDouble:
  case edtSingle:
  case edtComp: {
    const auto value = ParseDecimal(text);
    if (!value) return std::nullopt;
    const long double limit = type == edtDouble   ? 1.7e308L
                              : type == edtSingle ? 3.4e38L
                              : type == edtComp   ? 9.2e18L
                                                  : 0;
    if (limit != 0 && std::fabs(value->Value()) > limit) return std::nullopt;
    return ExtendedToCell(*value);
  }
  case edtDate: {
    const QString picture = DatePicture();
    if (text.size() != picture.size()) return std::nullopt;
    const TOvcDayNumber day = OvcIntlSup().DateStringToDate(picture, text, EffectiveEpoch());
    if (day == BadDate) return std::nullopt;
    return ToCell(std::int32_t(day));
  }
  case edtTime: {
    const QString picture = TimePicture();
    if (text.size() != picture.size()) return std::nullopt;
    const TOvcTimeOfDay time = OvcIntlSup().TimeStringToTime(picture, text);
    if (time == BadTime) return std::nullopt;
    return ToCell(std::int32_t(time));
  }
  default: return TRangeType{};
  }
}

bool TOvcBaseEntryField::HasRange() const {
  const int type = DataType();
  return type != edtString && type != edtBoolean && type != edtYesNo;
}

void TOvcBaseEntryField::SetRangeText(TRangeType &cell, const QString &text) {
  if (ComponentState().Contains(csLoading) || !HasRange()) return;
  const auto value = RangeCellFromText(text);
  if (!value) throw EInvalidRangeValue(TOvcEfDataType(DataType()));
  cell = *value;
  if (ValidateSelf(true) != 0 && Parent() && Parent()->Enabled() && Parent()->Visible() && CanFocus())
    SetFocus();
}

void TOvcBaseEntryField::SetRangeHi(const QString &Value) { SetRangeText(rangeHi_, Value); }
void TOvcBaseEntryField::SetRangeLo(const QString &Value) { SetRangeText(rangeLo_, Value); }

void TOvcBaseEntryField::DefineProperties(TFiler *Filer) {
  TOvcCustomControlEx::DefineProperties(Filer);
  auto reader = [](TRangeType &cell) {
    return [&cell](TStream *stream) {
      TRangeType read{};
      if (stream->Read(read.data(), qint64(read.size())) == qint64(read.size())) cell = read;
    };
  };
  auto writer = [](const TRangeType &cell) {
    return [&cell](TStream *stream) { stream->Write(cell.data(), qint64(cell.size())); };
  };
  Filer->DefineBinaryProperty(QStringLiteral("RangeHigh"), reader(rangeHi_), writer(rangeHi_), HasRange());
  Filer->DefineBinaryProperty(QStringLiteral("RangeLow"), reader(rangeLo_), writer(rangeLo_), HasRange());
}

void TOvcBaseEntryField::SetValueFromText(const QString &Text) {
  if (inUserValidation_) return;
  const int type = DataType();
  if (type == edtString) {
    const QString value = Text.left(255);
    SetFieldValue(&value);
    return;
  }
  if (type == edtBoolean || type == edtYesNo) {
    const QChar first = Text.isEmpty() ? QChar() : Text.at(0).toUpper();
    const bool value =
        first == OvcIntlSup().TrueChar().toUpper() || first == OvcIntlSup().YesChar().toUpper();
    SetFieldValue(&value);
    return;
  }
  if (type == edtChar && !Text.startsWith(QLatin1Char('#'))) {
    // Any character, not only those a range cell can hold.
    const QChar value = Text.isEmpty() ? QLatin1Char(' ') : Text.at(0);
    SetFieldValue(&value);
    return;
  }
  const auto cell = RangeCellFromText(Text);
  if (!cell) throw EEntryFieldError(LibraryMessageText(msg::InvalidNumber));
  const std::int32_t integer = CellInt(*cell);
  switch (type) {
  case edtChar: return SetTyped(QChar(char16_t(cell->at(0))));
  case edtWord: return SetTyped(std::uint16_t(integer));
  case edtSmallInt: return SetTyped(std::int16_t(integer));
  case edtByte: return SetTyped(std::uint8_t(integer));
  case edtShortInt: return SetTyped(std::int8_t(integer));
  case edtReal: {
    double value = 0;
    std::memcpy(&value, cell->data(), 8);
    return SetTyped(value);
  }
  case edtExtended: return SetTyped(CellExtended(*cell));
  case edtDouble: return SetTyped(double(CellExtended(*cell).Value()));
  case edtSingle: return SetTyped(float(CellExtended(*cell).Value()));
  case edtComp: return SetTyped(std::int64_t(std::llround(CellExtended(*cell).Value())));
  default: return SetTyped(integer); // LongInt, Date, Time
  }
}

void TOvcBaseEntryField::SetAsDateTime(TDateTime Value) {
  if (HoldsDateTime()) {
    SetFieldValue(&Value);
    return;
  }
  std::int32_t stored = -1;
  if (DataType() == edtDate) {
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDate(Value, year, month, day);
    stored = ovcdate::DMYtoDate(day, month, year, EffectiveEpoch());
  } else if (DataType() == edtTime) {
    stored = ovcdate::DateTimeToTimeOfDay(Value);
  } else {
    throw EInvalidDataType();
  }
  SetFieldValue(&stored);
}

void TOvcBaseEntryField::SetAsDayNumber(std::int32_t Value) {
  if (DataType() != edtDate) throw EInvalidDataType();
  if (HoldsDateTime()) {
    const TDateTime value = Value == BadDate ? 0.0 : ovcdate::DayNumberToDateTime(Value);
    SetFieldValue(&value);
    return;
  }
  SetFieldValue(&Value);
}

void TOvcBaseEntryField::SetAsSecondsOfDay(std::int32_t Value) {
  if (DataType() != edtTime) throw EInvalidDataType();
  SetFieldValue(&Value);
}
