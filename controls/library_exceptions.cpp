#include "controls/library_exceptions.h"
#include "controls/library_messages.h"
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

} // namespace

ENoTimersAvailable::ENoTimersAvailable() : EOvcException(LibraryMessageText(msg::NoTimersAvail)) {}

EDuplicateCommand::EDuplicateCommand() : ECmdProcessorError(LibraryMessageText(msg::DuplicateCommand)) {}

ETableNotFound::ETableNotFound() : ECmdProcessorError(LibraryMessageText(msg::TableNotFound)) {}

EInvalidDataType::EInvalidDataType() : EEntryFieldError(LibraryMessageText(msg::InvalidDataType)) {}

EInvalidPictureMask::EInvalidPictureMask(const QString &mask)
    : EEntryFieldError(Filled(msg::InvalidPictureMask, {mask})) {}
