#include "tools/shipped_reports.h"
#include "app/invoice_templates.h"
#include "report/printer_wrapper.h"

QList<TShippedReport> ShippedReportTemplates() {
  // A template stream names the printer selected when it was written: the report engine's own virtual
  // printer here, whatever printers the building machine has, so that every build writes the same bytes.
  BindReportPrinter(nullptr);
  const QList<TShippedReport> reports = InvoiceTemplates();
  FreeReportPrinter();
  return reports;
}
