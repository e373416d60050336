// Create Invoice, confirmed, of a 20-line invoice: the checks, the store in one transaction and the print
// form's preparation of template 1 (without showing it), on the shipped data with no stored invoice and with
// 100,000 stored invoices of 10 lines each (1,000,000 lines). Store and preparation are also reported apart
// (store_ms, prepare_ms). And the program's start on the same data, from the program body's first step to
// its main window shown. Each benchmark works on a copy of its data folder, which it gets from the one built
// once and kept in the temporary folder.
#include "app/create_invoice.h"
#include "app/data_module.h"
#include "app/invoice_lines.h"
#include "app/invoice_templates.h"
#include "app/main_form.h"
#include "app/print_form.h"
#include "app/program.h"
#include "bench/gui_bench.h"
#include "bench/invoice_data.h"
#include "db/storage/ff_sql_schema.h"
#include "platform/windowing/application.h"
#include "report/engine.h"
#include "report/variables.h"
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using namespace invoice_data;

const char *const kDataVersion = "tallyrook create invoice data 1";

// Stores kHeaders invoices of kLinesPerHeader lines, numbered 1 up, with the counter at the last.
void StoreInvoices(const QString &folder) {
  TffServerEngine engine;
  TffDatabaseID db = 0;
  Check(engine, engine.DatabaseOpen(folder, db));
  TffCursorID headers = 0, lines = 0, control = 0;
  Check(engine, engine.CursorOpen(db, QStringLiteral("MINV1"), QString(), headers));
  Check(engine, engine.CursorOpen(db, QStringLiteral("MINV2"), QString(), lines));
  Check(engine, engine.CursorOpen(db, QStringLiteral("CONTROL"), QString(), control));
  Check(engine, engine.TransactionStart(db));
  for (int i = 1; i <= kHeaders; ++i) InsertInvoice(engine, headers, lines, i % kCustomers + 1, i);
  TffRecord record;
  Check(engine, engine.RecordGetNext(control, record));
  record.Values[7] = kHeaders;
  TffRecord modified;
  Check(engine, engine.RecordModify(control, record.Values, modified));
  Check(engine, engine.TransactionCommit(db));
  Check(engine, engine.DatabaseClose(db));
}

// The kept data folder with `stored` invoices (0 or kHeaders), built when missing.
QString KeptFolder(int stored) {
  return KeptDataFolder(QStringLiteral("create_invoice-%1").arg(stored), kDataVersion,
                        [stored](const QString &folder) {
                          if (SeedDataFolder(folder, InvoiceTemplates()).Outcome != TSeedOutcome::Created)
                            qFatal("cannot seed %s", qPrintable(folder));
                          if (stored) StoreInvoices(folder);
                        });
}

// A copy of a kept data folder's database made the program's data folder, with a runtime folder of its own.
struct WorkingCopy {
  QTemporaryDir work, runtime;
  explicit WorkingCopy(const QString &kept) {
    QFile::copy(QDir(kept).filePath(QStringLiteral("tallyrook.db")),
                QDir(work.path()).filePath(QStringLiteral("tallyrook.db")));
    qputenv("TALLYROOK_DATA", work.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  }
};

void BM_CreateInvoiceOf20Lines(benchmark::State &state) {
  const WorkingCopy copy(KeptFolder(int(state.range(0))));
  StartApplicationReports();
  Application()->CreateForm(DD);
  Application()->CreateForm(HARD);
  if (!DD || !HARD) {
    state.SkipWithError("the program did not start");
    return;
  }

  TInvoiceDraft draft;
  draft.Customer = CustomerName(7);
  draft.Address[0] = QStringLiteral("12 High Street");
  draft.Address[1] = QStringLiteral("Town");
  draft.Date = 45700;
  draft.TaxPercent = 17.5;
  using Clock = std::chrono::steady_clock;
  Clock::time_point confirmed;
  double storeMs = 0, prepareMs = 0;
  TCreateInvoiceSteps steps;
  steps.FocusDescription = steps.FocusCustomer = steps.WhatNext = [] {};
  steps.ShowMessage = [&state](const QString &message) { state.SkipWithError(qPrintable(message)); };
  steps.Confirm = [&] {
    confirmed = Clock::now();
    return true;
  };
  steps.ShowInvoice = [&](int templateNumber, int number, bool preview) {
    const Clock::time_point stored = Clock::now();
    storeMs += std::chrono::duration<double, std::milli>(stored - confirmed).count();
    HARD->SetInvVar(number);
    HARD->SetPreviewVar(preview);
    // What a run of the print form does before it shows the pages.
    ReportVariables()->SetVariable(QStringLiteral("CURRSYM"), Variant(HARD->SysFormats->CurrencyString()));
    HARD->LoadReport(templateNumber);
    if (!HARD->frReport1->PrepareReport()) state.SkipWithError(qPrintable(HARD->frReport1->ErrorText()));
    prepareMs += std::chrono::duration<double, std::milli>(Clock::now() - stored).count();
  };

  for (auto _ : state) {
    state.PauseTiming();
    DD->NewINV2andOpen();
    DD->ffDatabase1->StartTransaction();
    for (int i = 1; i <= 20; ++i)
      AddInvoiceLine(*DD, true, i % 4 + 1, QStringLiteral("Item %1 of the new invoice").arg(i), 2.5 * i);
    DD->ffDatabase1->Commit();
    state.ResumeTiming();
    if (CreateInvoice(*DD, draft, steps) != TCreateInvoiceResult::Stored) state.SkipWithError("not stored");
  }
  state.counters["store_ms"] = benchmark::Counter(storeMs, benchmark::Counter::kAvgIterations);
  state.counters["prepare_ms"] = benchmark::Counter(prepareMs, benchmark::Counter::kAvgIterations);
  FreeApplication();
}
BENCHMARK(BM_CreateInvoiceOf20Lines)->Arg(0)->Arg(kHeaders)->Unit(benchmark::kMillisecond);

// The program body run as it runs for a user, timed until its main window shows; the window is then closed,
// which ends the run.
void BM_StartUpToTheMainWindowShown(benchmark::State &state) {
  const WorkingCopy copy(KeptFolder(int(state.range(0))));
  using Clock = std::chrono::steady_clock;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    bool shown = false;
    QTimer::singleShot(0, [&] {
      shown = F1 && F1->Showing();
      state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
      if (F1) F1->Close();
    });
    if (RunTallyrook() != 0 || !shown) {
      state.SkipWithError("the main window did not show");
      break;
    }
  }
}
BENCHMARK(BM_StartUpToTheMainWindowShown)
    ->Arg(0)
    ->Arg(kHeaders)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return gui_bench::RunBenchmarks(argc, argv, FreeApplication); }
