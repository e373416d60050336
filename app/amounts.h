// Money as the program keeps it: whole cents, exact. The tables store amounts as doubles; every amount the
// program stores is the double nearest to a whole number of cents, and amounts are kept small enough (up to
// MaxAmountCents) that such a double always reads back as the same cents.
//
// Rounding works on the decimal number a double shows (its shortest form, "0.175" for 0.175), not on its
// binary value, and takes a half away from zero, as the class library's formatting does: 0.175 becomes
// 0.18, -0.175 becomes -0.18, 3 × 0.333 becomes 1.00, and 0.1 + 0.2 becomes 0.30.
#pragma once
#include "platform/core/exceptions.h"
#include <QList>
#include <QString>
#include <QtGlobal>

// An amount in whole cents.
using TCents = qint64;

// The largest amount the program stores, 9999999999999.99 (and the same below zero).
constexpr TCents MaxAmountCents = 999'999'999'999'999;

// The tax percent, the same in the settings and on the main window: from 0 to MaxTaxPercent with at most
// TaxPercentDigits decimals.
constexpr int TaxPercentDigits = 1;
constexpr double MaxTaxPercent = 99999999.9;
bool IsTaxPercent(double Percent);

// An amount too large to be stored, or not a number. Its message says which amount and the limit.
TALLYROOK_EXCEPTION(EAmountError, Exception)

// A value rounded to whole cents (EAmountError beyond the limit).
TCents AmountCents(double Value);
// Quantity × price rounded to whole cents: a line's total (EAmountError beyond the limit).
TCents LineTotalCents(double Quantity, double Price);
// Percent % of an amount, rounded to whole cents (EAmountError beyond the limit).
TCents PercentCents(TCents Amount, double Percent);

// The double stored for an amount.
double CentsToAmount(TCents Cents);
// An amount in fixed notation with 2 decimals and the user's decimal separator, without thousands
// separators: "1234.50", "-5.00", "0.00".
QString AmountText(TCents Cents);

// The totals of an invoice: net, the sum of its line totals; tax, the tax percent of the net (0 when either
// is 0); gross, net and tax.
struct TInvoiceTotals {
  TCents Net = 0;
  TCents Tax = 0;
  TCents Gross = 0;
};

// EAmountError when the net, tax or gross goes beyond the limit.
TInvoiceTotals InvoiceTotals(const QList<TCents> &LineTotals, double TaxPercent);
