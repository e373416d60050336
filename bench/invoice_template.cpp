// The shipped invoice template 1 (items) filled with 10,000 lines through the data module, as the print form
// prepares it (two passes), with its header and totals written as a preview writes them: the prepare time
// alone, and prepare and PDF together.
#include "app/data_module.h"
#include "app/invoice_storage.h"
#include "app/invoice_templates.h"
#include "app/shipped_data.h"
#include "bench/gui_bench.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/graphics/printer.h"
#include "platform/windowing/application.h"
#include "report/engine.h"
#include "report/printer_wrapper.h"
#include "report/report.h"
#include "report/report_hooks.h"
#include "report/variables.h"
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>

namespace {

class ShippedInvoice {
public:
  explicit ShippedInvoice(int lines) {
    qputenv("TALLYROOK_DATA", data_.path().toUtf8());
    // A runtime folder of its own, so that a copy of the program running elsewhere on the machine is not
    // taken for this one's first copy.
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
    SeedDataFolder(data_.path(), InvoiceTemplates());
    StartReportEngine();
    frSetProgressWindowFactory(nullptr);
    Application()->CreateForm(dd_);
    frSetTopLevelComponents([this] { return QList<TComponent *>{dd_}; });
    owner_ = new TComponent(nullptr);
    owner_->SetName(QStringLiteral("HARD"));
    report_ = new TfrReport(owner_);
    report_->SetName(QStringLiteral("frReport1"));
    report_->ShowProgress = false;
    for (int i = 1; i <= lines; ++i) {
      dd_->INV2->Append();
      dd_->INV2QUANTITY->SetAsFloat(1 + i % 7);
      dd_->INV2DESCRIPTION->SetAsString(
          i % 3 == 0 ? QStringLiteral("Oak shelf %1, oiled, with brackets, wall plugs and screws").arg(i)
                     : QStringLiteral("Oak shelf %1").arg(i));
      dd_->INV2ITEMPRICE->SetAsFloat(12.5 + i % 100);
      dd_->INV2ITEMTOTAL->SetAsFloat((1 + i % 7) * (12.5 + i % 100));
      dd_->INV2->Post();
    }
    // The header with its net, tax and gross, as the print form's preview writes it.
    TInvoiceDraft draft;
    draft.Customer = QStringLiteral("Marlow Garden Centre");
    draft.Address = {QStringLiteral("12 Mill Lane"), QStringLiteral("Marlow"), QStringLiteral("SL7 1AA")};
    draft.Date = EncodeDate(2025, 3, 14);
    draft.TaxPercent = 20;
    const int number = PreviewInvoiceHeader(*dd_, draft);
    ReportVariables()->SetVariable(QStringLiteral("SINV"), Variant(number));
    ReportVariables()->SetVariable(QStringLiteral("CURRSYM"), Variant(QStringLiteral("EUR")));
    // A stored invoice, not a preview: no preview mark.
    ReportVariables()->SetVariable(QStringLiteral("PREVIEWMARK"), Variant(QString()));
    dd_->REPORTS->Open();
    report_->LoadTemplateFromDataset(dd_->REPORTS, itNewItems);
    dd_->REPORTS->Close();
  }
  ~ShippedInvoice() {
    frSetTopLevelComponents(nullptr);
    owner_->Free();
    FreeApplication();
    StopReportEngine();
  }
  TfrReport *Report() const { return report_; }

private:
  QTemporaryDir data_;
  QTemporaryDir runtime_;
  TDD *dd_ = nullptr;
  TComponent *owner_ = nullptr;
  TfrReport *report_ = nullptr;
};

void BM_Template1Prepare(benchmark::State &state) {
  FormatSettingsGuard formats(FormatSettings::USEnglish());
  BindReportPrinter(nullptr);
  ShippedInvoice invoice(int(state.range(0)));
  gui_bench::PrepareEveryIteration(state, invoice.Report());
}
BENCHMARK(BM_Template1Prepare)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_Template1PrepareAndPdf(benchmark::State &state) {
  FormatSettingsGuard formats(FormatSettings::USEnglish());
  QTemporaryDir out;
  TPrinter printer(std::make_unique<TScriptedPrinterSystem>(out.path()));
  const QString pdf = out.filePath(QStringLiteral("invoice.pdf"));
  BindReportPrinter(&printer);
  {
    ShippedInvoice invoice(int(state.range(0)));
    for (auto _ : state) {
      if (!invoice.Report()->PrepareReport()) {
        state.SkipWithError(("preparation failed: " + invoice.Report()->ErrorText()).toStdString().c_str());
        break;
      }
      printer.SetPdfFileName(pdf); // a name serves one job
      if (!invoice.Report()->PrintPreparedReport(QString(), 1)) state.SkipWithError("printing failed");
    }
    state.counters["pages"] = invoice.Report()->EMFPages().Count();
  }
  BindReportPrinter(nullptr);
  gui_bench::KeepForALook(pdf, QStringLiteral("template1.pdf"));
}
BENCHMARK(BM_Template1PrepareAndPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv) { return gui_bench::RunBenchmarks(argc, argv); }
