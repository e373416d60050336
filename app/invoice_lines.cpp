#include "app/invoice_lines.h"
#include "app/data_module.h"
#include "app/engine_cursor.h"

namespace {

QList<TCents> LineTotals(const QList<TInvoiceLine> &lines) {
  QList<TCents> totals;
  for (const TInvoiceLine &line : lines) totals.append(line.Total);
  return totals;
}

} // namespace

QList<TInvoiceLine> InvoiceLines(TDD &Data) {
  TEngineCursor cursor(Data.ffDatabase1, Data.INV2->TableName());
  const int quantity = cursor.Field(QStringLiteral("QUANTITY"));
  const int description = cursor.Field(QStringLiteral("DESCRIPTION"));
  const int price = cursor.Field(QStringLiteral("ITEMPRICE"));
  const int total = cursor.Field(QStringLiteral("ITEMTOTAL"));
  QList<TInvoiceLine> lines;
  TffRecord record;
  while (cursor.Next(record))
    lines.append({record.Values[quantity], record.Values[description].toString(),
                  record.Values[price].toDouble(), AmountCents(record.Values[total].toDouble())});
  return lines;
}

bool AddInvoiceLine(TDD &Data, bool Items, double Quantity, const QString &Description, double Price) {
  if (Description.trimmed().isEmpty() || (Items && Quantity == 0)) return false;
  const TCents total = Items ? LineTotalCents(Quantity, Price) : AmountCents(Price);
  QList<TCents> totals = LineTotals(InvoiceLines(Data));
  totals.append(total);
  InvoiceTotals(totals, 0); // the net with the new line must be storable too

  TffTable *lines = Data.INV2;
  lines->Append();
  PostOrCancel(lines, [&] {
    if (Items) Data.INV2QUANTITY->SetAsFloat(Quantity);
    Data.INV2DESCRIPTION->SetAsString(Description);
    Data.INV2ITEMPRICE->SetAsFloat(Price);
    Data.INV2ITEMTOTAL->SetAsFloat(CentsToAmount(total));
  });
  return true;
}

TInvoiceTotals RecalcInvoiceTotals(TDD &Data, double TaxPercent) {
  TffTable *lines = Data.INV2;
  QList<TCents> totals;
  lines->DisableControls();
  try {
    if (!lines->IsEmpty()) {
      for (lines->First(); !lines->Eof(); lines->Next())
        totals.append(AmountCents(Data.INV2ITEMTOTAL->AsFloat()));
      lines->Last();
    }
  } catch (...) {
    lines->EnableControls();
    throw;
  }
  lines->EnableControls();
  const TInvoiceTotals result = InvoiceTotals(totals, TaxPercent);
  Data.InvNET = CentsToAmount(result.Net);
  Data.InvTAX = CentsToAmount(result.Tax);
  Data.InvGROSS = CentsToAmount(result.Gross);
  return result;
}
