#include "app/invoice_numbering.h"
#include "app/data_module.h"
#include <QScopeGuard>
#include <algorithm>
#include <climits>

double HighestInvoiceNumber() {
  auto *invoices = new TffTable(nullptr);
  const auto release = qScopeGuard([&invoices] { FreeAndNil(invoices); });
  invoices->SetDatabaseName(DD->MINV1->DatabaseName());
  invoices->SetSessionName(DD->MINV1->SessionName());
  invoices->SetTableName(DD->MINV1->TableName());
  // Descending: the highest number comes first.
  invoices->SetIndexName(QStringLiteral("INVNUM"));
  invoices->Open();
  return invoices->IsEmpty() ? 0.0 : invoices->FieldByName(QStringLiteral("InvNUM"))->AsFloat();
}

int NextInvoiceNumber() {
  const double last = std::max<double>(DD->CONTROLLastINV->AsInteger(), HighestInvoiceNumber());
  return int(std::clamp(last + 1, 1.0, double(INT_MAX)));
}
