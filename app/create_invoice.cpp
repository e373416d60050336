#include "app/create_invoice.h"
#include "app/data_module.h"
#include "app/invoice_lines.h"
#include "app/invoice_templates.h"
#include "app/print_form.h"

namespace {

// Closes INV1 when the run ends, however it ends.
class HeaderCloser {
public:
  explicit HeaderCloser(TffTable *header) : header_(header) {}
  ~HeaderCloser() {
    try {
      if (header_->State() == dsEdit || header_->State() == dsInsert) header_->Cancel();
      header_->Close();
    } catch (...) {
    }
  }
  HeaderCloser(const HeaderCloser &) = delete;
  HeaderCloser &operator=(const HeaderCloser &) = delete;

private:
  TffTable *header_;
};

// The checks before the question: a message for each that fails.
bool Checked(TDD &data, const TInvoiceDraft &draft, const TCreateInvoiceSteps &steps) {
  bool ok = true;
  // A name of blanks is no name.
  if (draft.Customer.trimmed().isEmpty()) {
    steps.ShowMessage(QStringLiteral("Error:  You must supply a Customer Name."));
    steps.FocusCustomer();
    ok = false;
  }
  const QList<TInvoiceLine> lines = InvoiceLines(data);
  if (lines.isEmpty()) {
    steps.ShowMessage(QStringLiteral("Error:  You have not added any items."));
    ok = false;
  }
  // No invoice without its date (the empty date is day 0, 30 December 1899). The focus stays with the
  // customer when that is missing too.
  if (draft.Date <= 0) {
    steps.ShowMessage(QStringLiteral("Error:  Enter the invoice date."));
    if (ok && steps.FocusDate) steps.FocusDate();
    ok = false;
  }
  if (!ok) return false;
  QList<TCents> totals;
  for (const TInvoiceLine &line : lines) totals.append(line.Total);
  try {
    InvoiceTotals(totals, draft.TaxPercent);
  } catch (const EAmountError &e) {
    steps.ShowMessage(e.Message());
    return false;
  }
  return true;
}

} // namespace

TCreateInvoiceResult CreateInvoice(TDD &Data, const TInvoiceDraft &Draft, const TCreateInvoiceSteps &Steps) {
  Steps.FocusDescription();
  if (!Checked(Data, Draft, Steps)) return TCreateInvoiceResult::Refused;
  const bool confirmed = Steps.Confirm();
  const int templateNumber = Draft.Items ? itNewItems : itNewServices;
  HeaderCloser closer(Data.INV1);
  if (!confirmed) {
    Steps.ShowInvoice(templateNumber, PreviewInvoiceHeader(Data, Draft), true);
    return TCreateInvoiceResult::Previewed;
  }
  const TStoredInvoice stored = StoreInvoice(Data, Draft);
  // The invoice is stored: whatever befalls the windows or its printing, the user goes on to the next one.
  if (!stored.RefreshProblem.isEmpty())
    Steps.ShowMessage(QStringLiteral("Invoice %1 is stored, but the stored invoices could not be read back "
                                     "for the windows: %2")
                          .arg(stored.Number)
                          .arg(stored.RefreshProblem));
  try {
    Steps.ShowInvoice(templateNumber, stored.Number, false);
  } catch (const EAbort &) {
  } catch (const Exception &e) {
    Steps.ShowMessage(
        QStringLiteral("Invoice %1 was stored but cannot be shown: %2\n\nIt can be printed again "
                       "from the past invoices.")
            .arg(stored.Number)
            .arg(e.Message()));
  }
  Steps.WhatNext();
  return TCreateInvoiceResult::Stored;
}

std::function<void(int, int, bool)> ShowInvoiceInPrintForm(THARD *PrintForm) {
  return [PrintForm](int Template, int Number, bool Preview) {
    PrintForm->SetInvVar(Number);
    PrintForm->SetPreviewVar(Preview);
    PrintForm->DoReport(Template);
  };
}
