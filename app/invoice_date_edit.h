// The main window's invoice date: a date edit whose text is a date or is refused with a message that says
// what is expected. A text it cannot read, or a day that does not exist in the years it knows (31 February,
// 1 January 1500), raises EOvcException with that message and stays as typed, to be mended; an empty or
// blank text is no date (Date() 0), which Create Invoice refuses.
#pragma once
#include "controls/edits/date_edit.h"

class TInvoiceDateEdit : public TOvcDateEdit {
public:
  using TOvcDateEdit::TOvcDateEdit;
  QString ClassName() const override { return QStringLiteral("TInvoiceDateEdit"); }

  void ParseDateText(const QString &Text) override;

private:
  // "The invoice date "Text" is not a date. Type ...": the order of day, month and year, and today as an
  // example.
  QString NotADate(const QString &Text);
};
