// Storing invoices: their numbers, a confirmed invoice stored whole in one transaction, the header the new
// invoice templates print (INV1), and wiping every stored invoice, customer and product.
//
// Numbers. An invoice gets one more than the larger of the invoice counter (CONTROL.LastINV) and the highest
// number stored in MINV1, so a counter set back in the settings never hands out a number twice; MINV1 keeps
// every number once (its INVNUM index is unique). A preview shows the number the next stored invoice gets
// and uses none up.
//
// Amounts. The totals are worked out from INV2's lines and the tax percent (amounts.h) whenever an invoice
// is stored or previewed, so what is stored and printed always matches its lines.
#pragma once
#include "app/amounts.h"
#include "platform/core/date_time.h"
#include <array>

class TDD;

// What the main window holds of the invoice being made, besides its lines in INV2.
struct TInvoiceDraft {
  bool Items = true; // an items invoice (type index 0); false for services
  int CustNo = 0;    // the customer picked from the list, 0 for one entered by hand
  QString Customer;
  std::array<QString, 5> Address;
  TDateTime Date = 0;
  double TaxPercent = 0;
};

// A confirmed invoice that could not be stored: nothing of it was saved. The message says why.
TALLYROOK_EXCEPTION(EInvoiceNotStored, EDatabaseError)

struct TStoredInvoice {
  int Number = 0;
  int Rec = 0; // MINV1.REC of its header, which its lines in MINV2 carry
  TInvoiceTotals Totals;
  // Why the tables the windows show could not be read again after the store, or empty. The invoice is
  // stored either way.
  QString RefreshProblem;
};

// The highest number of a stored invoice, 0 when none is stored.
double HighestInvoiceNumber(TDD &Data);
// The number the next stored invoice gets.
int NextInvoiceNumber(TDD &Data);

// Writes the header of an invoice into INV1's one row (inserted when INV1 is empty): customer, address,
// totals, date and number, as templates 1 and 2 print it. INV1 is left open.
void WriteInvoiceHeader(TDD &Data, const TInvoiceDraft &Draft, const TInvoiceTotals &Totals, int Number);

// Stores the invoice in INV2 and Draft in one transaction: its number, the invoice counter set to it, the
// header in MINV1 (TYPE 1 for items, 0 for services; not cancelled) with every line in MINV2 under the
// header's REC, and its header in INV1 for printing. Of the settings row only the counter changes: its other
// fields are left as they are, even texts another program made longer than their fields. When anything
// fails, nothing is stored (EInvoiceNotStored), and INV2 and the counter are as they were. EAmountError,
// before anything is written, when an amount is too large to be stored.
TStoredInvoice StoreInvoice(TDD &Data, const TInvoiceDraft &Draft);

// Writes INV1 for a preview of the invoice, numbered as the next stored invoice will be; stores nothing and
// returns that number. EAmountError when an amount is too large to be stored.
int PreviewInvoiceHeader(TDD &Data, const TInvoiceDraft &Draft);

// Empties PRODUCTS, CUSTOMERS, MINV2 and MINV1 in one transaction; the settings (with the invoice counter)
// and the report templates stay. When anything fails nothing is deleted, and EDatabaseError says so.
void WipeAllData(TDD &Data);
