#include "controls/framework/library_exceptions.h"
#include "controls/framework/intl_support.h"
#include "controls/framework/library_messages.h"
#include <initializer_list>

namespace {

// The message with its "%d" / "%s" placeholders filled in order.
QString Filled(std::int32_t number, std::initializer_list<QString> values) {
  QString text = LibraryMessageText(number);
  for (const QString &value : values) {
    qsizetype at = -1;
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
      if (text[i] == QLatin1Char('%') &&
          (text[i + 1] == QLatin1Char('d') || text[i + 1] == QLatin1Char('s'))) {
        at = i;
        break;
      }
    if (at < 0) break;
    text.replace(at, 2, value);
  }
  return text;
}

QString RangeMessage(TOvcEfDataType dataType) {
  const auto integers = [](qint64 low, qint64 high) {
    return Filled(msg::InvalidIntegerRange, {QString::number(low), QString::number(high)});
  };
  switch (dataType) {
  case edtLongInt: return integers(-2147483648LL, 2147483647LL);
  case edtWord: return integers(0, 65535);
  case edtSmallInt: return integers(-32768, 32767);
  case edtByte: return integers(0, 255);
  case edtShortInt: return integers(-128, 127);
  case edtReal: return LibraryMessageText(msg::InvalidRealRange);
  case edtExtended: return LibraryMessageText(msg::InvalidExtendedRange);
  case edtDouble: return LibraryMessageText(msg::InvalidDoubleRange);
  case edtSingle: return LibraryMessageText(msg::InvalidSingleRange);
  case edtComp: return LibraryMessageText(msg::InvalidCompRange);
  case edtDate: return Filled(msg::InvalidDateRange, {OvcIntlSup().InternationalDate(true)});
  case edtTime: return Filled(msg::InvalidTimeRange, {OvcIntlSup().InternationalTime(false)});
  default: return LibraryMessageText(msg::InvalidRangeValue);
  }
}

} // namespace

ENoTimersAvailable::ENoTimersAvailable() : EOvcException(LibraryMessageText(msg::NoTimersAvail)) {}

EDuplicateCommand::EDuplicateCommand() : ECmdProcessorError(LibraryMessageText(msg::DuplicateCommand)) {}

ETableNotFound::ETableNotFound() : ECmdProcessorError(LibraryMessageText(msg::TableNotFound)) {}

EInvalidDataType::EInvalidDataType() : EEntryFieldError(LibraryMessageText(msg::InvalidDataType)) {}

EInvalidPictureMask::EInvalidPictureMask(const QString &mask)
    : EEntryFieldError(Filled(msg::InvalidPictureMask, {mask})) {}

EInvalidRangeValue::EInvalidRangeValue(TOvcEfDataType dataType) : EEntryFieldError(RangeMessage(dataType)) {}
