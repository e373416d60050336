// The invoice being made: its lines in the scratch table INV2 and its running totals in the data module
// (InvNET, InvTAX, InvGROSS). The main window's handlers call these and show the results in their controls.
#pragma once
#include "app/amounts.h"
#include <QList>
#include <QVariant>

class TDD;

// A line as INV2 holds it. Quantity is null on a services invoice.
struct TInvoiceLine {
  QVariant Quantity;
  QString Description;
  double Price = 0;
  TCents Total = 0;
};

// Adds a line at the end of INV2: for an items invoice with its quantity, for a services invoice without
// (its total is then the price). A line without a description (or one of blanks), or an items line of
// quantity 0, is refused
// silently: false, and nothing changes. EAmountError, with INV2 unchanged, when the line's total or the
// invoice's net with it is too large to be stored.
bool AddInvoiceLine(TDD &Data, bool Items, double Quantity, const QString &Description, double Price);

// INV2's lines in order, read without moving INV2.
QList<TInvoiceLine> InvoiceLines(TDD &Data);

// The totals of INV2's lines with the tax percent, kept in the data module and returned; INV2 ends on its
// last line (its controls see only that move). EAmountError, with the data module's totals unchanged, when
// an amount is too large to be stored.
TInvoiceTotals RecalcInvoiceTotals(TDD &Data, double TaxPercent);
