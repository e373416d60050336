// Create Invoice, the main window's road from what it holds to a numbered invoice, apart from its controls
// and dialogs, which come in as steps:
//
// 1. The description gets the focus.
// 2. Checks, each with its own message: a customer name that is not only blanks ("Error:  You must supply a
//    Customer Name.", and the customer rows get the focus), at least one line ("Error:  You have not added
//    any items.") and a date ("Error:  Enter the invoice date.", and the date gets the focus); then amounts
//    that can be stored.
// 3. The user confirms the invoice, or not.
// 4. Confirmed: the invoice is stored first, in one transaction (invoice_storage.h), then shown in the print
//    preview, where it may be printed, then the what-next dialog follows. A store that fails raises
//    EInvoiceNotStored and shows nothing; the main window keeps the invoice. Once stored, the invoice
//    stands: a failure to read it back for the windows, or to show it, is said as such and the road goes on.
//    Not confirmed: a preview, numbered as the next stored invoice will be and marked as no invoice; nothing
//    is stored.
//
// INV1, which holds the header the preview prints, is closed at the end whatever happens.
#pragma once
#include "app/invoice_storage.h"
#include <functional>

class THARD;

struct TCreateInvoiceSteps {
  std::function<void()> FocusDescription;
  std::function<void()> FocusCustomer;
  std::function<void()> FocusDate; // may be left empty
  // A plain message with an OK button.
  std::function<void(const QString &Message)> ShowMessage;
  // "Do you want to confirm this invoice?": true for Yes.
  std::function<bool()> Confirm;
  // The print preview of template 1 (items) or 2 (services) for the invoice numbered Number; Preview for an
  // invoice that is not stored.
  std::function<void(int Template, int Number, bool Preview)> ShowInvoice;
  // After a stored invoice: the what-next dialog and its action on the main window.
  std::function<void()> WhatNext;
};

enum class TCreateInvoiceResult { Refused, Previewed, Stored };

TCreateInvoiceResult CreateInvoice(TDD &Data, const TInvoiceDraft &Draft, const TCreateInvoiceSteps &Steps);

// The ShowInvoice step through the print form: the number, the preview mark and the template's run.
std::function<void(int Template, int Number, bool Preview)> ShowInvoiceInPrintForm(THARD *PrintForm);
