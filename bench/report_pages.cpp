// Pages per second of an invoice report of 10, 1,000 and 10,000 lines: preparing the pages from a dataset,
// and printing the prepared pages to the PDF printer. The invoice has a title band, a data band with four
// fields and a wrapped description, a footer with totals and a page footer with the page number. Each
// benchmark also reports the process's peak memory so far (run one size at a time with --benchmark_filter
// to read the peak of that size alone).
#include "bench/gui_bench.h"
#include "platform/core/format_settings.h"
#include "platform/data/memory_dataset.h"
#include "platform/graphics/printer.h"
#include "report/band_view.h"
#include "report/db_dataset.h"
#include "report/engine.h"
#include "report/memo_view.h"
#include "report/model_state.h"
#include "report/printer_wrapper.h"
#include "report/report.h"
#include "report/variables.h"
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The peak resident memory of the process, in megabytes.
double PeakMegabytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray &line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
  return 0;
}

class Invoice {
public:
  explicit Invoice(int lineCount) {
    StartReportEngine();
    form_ = new TComponent(nullptr);
    form_->SetName(QStringLiteral("PrintForm"));
    auto *lines = new TMemoryDataSet(form_);
    lines->SetName(QStringLiteral("INV2"));
    lines->FieldDefs()->Add(QStringLiteral("CODE"), ftString, 20);
    lines->FieldDefs()->Add(QStringLiteral("QUANTITY"), ftFloat);
    lines->FieldDefs()->Add(QStringLiteral("DESCRIPTION"), ftString, 1000);
    lines->FieldDefs()->Add(QStringLiteral("ITEMPRICE"), ftFloat);
    lines->CreateDataSet();
    for (int i = 1; i <= lineCount; ++i) {
      lines->Append();
      lines->FieldByName(QStringLiteral("CODE"))
          ->SetAsString(QStringLiteral("P-%1").arg(i, 5, 10, QLatin1Char('0')));
      lines->FieldByName(QStringLiteral("QUANTITY"))->SetAsFloat(1 + i % 7);
      // Every third description wraps onto a second line.
      lines->FieldByName(QStringLiteral("DESCRIPTION"))
          ->SetAsString(
              i % 3 == 0 ? QStringLiteral("Oak shelf %1, oiled, with brackets, wall plugs and screws").arg(i)
                         : QStringLiteral("Oak shelf %1").arg(i));
      lines->FieldByName(QStringLiteral("ITEMPRICE"))->SetAsFloat(12.5 + i % 100);
      lines->Post();
    }
    lines->First();
    auto *source = new TfrDBDataSet(form_);
    source->SetName(QStringLiteral("frINV2"));
    source->SetDataSet(lines);
    frSetTopLevelComponents([this] { return QList<TComponent *>{form_}; });
    ReportVariables()->SetVariable(QStringLiteral("SINV"), Variant(QStringLiteral("1001")));
    ReportVariables()->SetVariable(QStringLiteral("CURRSYM"), Variant(QStringLiteral("EUR")));

    report_ = new TfrReport(form_);
    report_->SetName(QStringLiteral("frReport1"));
    report_->ShowProgress = false;
    TfrPage *page = report_->Pages().Add();
    Band(page, btReportTitle, 0, 80);
    Memo(page, 40, 10, 400, QStringLiteral("Invoice [SINV]"));
    Memo(page, 40, 40, 300, QStringLiteral("Currency: [CURRSYM]"));
    Band(page, btMasterData, 100, 20, QStringLiteral("frINV2"), flStretched);
    Memo(page, 40, 100, 70, QStringLiteral("[CODE]"));
    Memo(page, 115, 100, 40, QStringLiteral("[QUANTITY]"));
    Memo(page, 160, 100, 260, QStringLiteral("[DESCRIPTION]"), flStretched | flWordWrap);
    Memo(page, 430, 100, 90, QStringLiteral("[ITEMPRICE #N0.2]"));
    Memo(page, 530, 100, 100, QStringLiteral("[QUANTITY * ITEMPRICE #N0.2]"));
    Band(page, btMasterFooter, 140, 40);
    Memo(page, 330, 145, 300, QStringLiteral("Total: [SUM([QUANTITY] * [ITEMPRICE]) #N0.2] [CURRSYM]"));
    Memo(page, 330, 160, 300, QStringLiteral("Lines: [COUNT(,)]"));
    Band(page, btPageFooter, 1000, 30);
    Memo(page, 40, 1005, 200, QStringLiteral("Page [PAGE#]"));
  }
  ~Invoice() {
    frSetTopLevelComponents(nullptr);
    form_->Free();
    StopReportEngine();
  }
  TfrReport *Report() const { return report_; }

private:
  static void Band(TfrPage *page, int type, int top, int height, const QString &source = QString(),
                   int flags = 0) {
    auto view = std::make_unique<TfrBandView>();
    view->SetBandType(type);
    view->Top = top;
    view->Width = 700;
    view->Height = height;
    view->FormatStr = source;
    view->Flags = quint16(flags | flBandOnFirstPage | flBandOnLastPage);
    page->Add(std::move(view));
  }
  static void Memo(TfrPage *page, int left, int top, int width, const QString &text, int flags = 0) {
    auto view = std::make_unique<TfrMemoView>();
    view->Left = left;
    view->Top = top;
    view->Width = width;
    view->Height = 16;
    view->Flags = quint16(flags);
    view->Memo.Add(text);
    page->Add(std::move(view));
  }

  TComponent *form_ = nullptr;
  TfrReport *report_ = nullptr;
};

void BM_PrepareInvoice(benchmark::State &state) {
  FormatSettingsGuard formats(FormatSettings::USEnglish());
  BindReportPrinter(nullptr);
  Invoice invoice(int(state.range(0)));
  const int pages = gui_bench::PrepareEveryIteration(state, invoice.Report());
  state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_PrepareInvoice)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PrintInvoiceToPdf(benchmark::State &state) {
  FormatSettingsGuard formats(FormatSettings::USEnglish());
  QTemporaryDir dir;
  TPrinter printer(std::make_unique<TScriptedPrinterSystem>(dir.path()));
  const QString pdf = dir.filePath(QStringLiteral("invoice.pdf"));
  BindReportPrinter(&printer);
  {
    Invoice invoice(int(state.range(0)));
    if (!invoice.Report()->PrepareReport()) state.SkipWithError("preparation failed");
    const int pages = invoice.Report()->EMFPages().Count();
    for (auto _ : state) {
      printer.SetPdfFileName(pdf); // a name serves one job
      if (!invoice.Report()->PrintPreparedReport(QString(), 1)) state.SkipWithError("printing failed");
    }
    state.counters["pages"] = pages;
    state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_MB"] = PeakMegabytes();
  }
  BindReportPrinter(nullptr);
  gui_bench::KeepForALook(pdf, QStringLiteral("invoice-%1.pdf").arg(state.range(0)));
}
BENCHMARK(BM_PrintInvoiceToPdf)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return gui_bench::RunBenchmarks(argc, argv); }
