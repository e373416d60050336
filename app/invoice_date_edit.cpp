#include "app/invoice_date_edit.h"
#include "controls/framework/day_numbers.h"
#include "controls/framework/library_exceptions.h"
#include "platform/core/date_time.h"
#include <cmath>

QString TInvoiceDateEdit::NotADate(const QString &Text) {
  QString order;
  switch (Order()) {
  case doMDY: order = QStringLiteral("month, day and year"); break;
  case doDMY: order = QStringLiteral("day, month and year"); break;
  case doYMD: order = QStringLiteral("year, month and day"); break;
  }
  return QStringLiteral("The invoice date \"%1\" is not a date. Type a date of the years %2 to %3 as %4, "
                        "for example %5.")
      .arg(Text)
      .arg(MinYear)
      .arg(MaxYear)
      .arg(order, FormatDateText(std::trunc(::Date())));
}

void TInvoiceDateEdit::ParseDateText(const QString &Text) {
  if (Text.trimmed().isEmpty()) return TOvcDateEdit::ParseDateText(QString());
  try {
    TOvcDateEdit::ParseDateText(Text);
  } catch (const EOvcException &) {
    throw EOvcException(NotADate(Text));
  }
  // The edit clears a day that does not exist; it stays as typed instead.
  if (stored_ == 0) {
    SetText(Text);
    throw EOvcException(NotADate(Text));
  }
}
