// The four invoice templates the program ships in its Reports table, authored in code through the report
// model. Each is an A4 invoice: the company's letterhead with its logo, the word INVOICE with the number and
// the date, the customer's name and address, a table of lines whose column headings repeat on every page,
// the net, tax and gross amounts after the last line with the footnote under them, and the company with
// "Page n of m" at the foot of every page. Every text the user gives wraps where it does not fit, so that
// each prints whole.
//
//   1 new invoice, items      lines through DD.frINV2; header from DD.INV1; number from "SINV"
//   2 new invoice, services   as 1, without the quantity column
//   3 re-print, items         lines through DD.frMINV2; header and number from DD.MINV1; shows "CANCINV"
//   4 re-print, services      as 3, without the quantity column
//
// Templates 1 and 2 also show "PREVIEWMARK", which marks a preview that is not an invoice (empty for an
// invoice).
//
// Every template takes the company's details, logo and footnote from DD.CONTROL and the currency symbol
// from "CURRSYM". Amounts print with 2 decimals and dates in the user's short date format, both with the
// user's own separators at the time of printing.
#pragma once
#include "app/shipped_data.h"
#include <QList>

class TfrReportModel;

constexpr int itNewItems = 1;
constexpr int itNewServices = 2;
constexpr int itReprintItems = 3;
constexpr int itReprintServices = 4;

// Builds template Number (1 to 4) into Model, which is cleared first. ERangeError for any other number.
void BuildInvoiceTemplate(int Number, TfrReportModel &Model);

// Template Number written as a template stream. The stream holds the name of the printer selected in the
// report engine's printer wrapper; the templates print on whatever printer is chosen when they print.
QByteArray InvoiceTemplateStream(int Number);

// The four templates as rows of the Reports table.
QList<TShippedReport> InvoiceTemplates();
