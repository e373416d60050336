// The data-aware table at scale, as the past-invoices and customer lists use it: a table on a shown form over
// the invoice headers newest first and over the customers by name, painted after every step. Each step runs
// on a data folder of 10,000 headers (100,000 lines, 10,000 customers) and on one of 100,000 headers
// (1,000,000 lines, 100,000 customers), so that a cost growing with the tables shows.
//
// The data folders are built once (through the engine) into the system's temporary folder and reused by later
// runs; delete the folders "tallyrook-bench-db_table-*" there to build them again.
#include "grids/table/db_table.h"
#include "bench/invoice_data.h"
#include "db/client/ff_database.h"
#include "db/client/ff_table.h"
#include "platform/data/data_source.h"
#include "platform/windowing/forms.h"
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <random>

namespace {

using namespace invoice_data;

const char *const kDataVersion = "tallyrook bench table data 1";
constexpr int kRowHeight = 17;
constexpr int kRows = 20;

// A data folder of that many headers, a form and the client components over it.
struct Data {
  QString folder;
  TffServerEngine engine;
  TComponent *module = nullptr;
  TForm *form = nullptr;

  explicit Data(int Headers) {
    folder = KeptDataFolder(QStringLiteral("db_table-%1").arg(Headers), kDataVersion,
                            [Headers](const QString &folder) { BuildInvoiceData(folder, Headers); });
    module = new TComponent(nullptr);
    OpenClientDatabase(module, &engine, folder);
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetClientSize(800, kRowHeight * (kRows + 1) + 20);
    form->Show();
    QApplication::processEvents();
  }
  ~Data() {
    form->Free();
    FreeAndNil(module);
  }

  TffTable *Table(const QString &tableName, const QString &indexName) {
    return NewClientTable(module, tableName, indexName);
  }

  // A read-only table of kRows rows with a header and a vertical bar, as the program's lists are.
  TOvcDbTable *Show(TDataSet *DataSet) {
    auto *table = new TOvcDbTable(form);
    table->SetParent(form);
    table->SetBounds(0, 0, 800, kRowHeight * (kRows + 1) + 4);
    table->SetRowHeight(kRowHeight);
    table->SetHeaderHeight(kRowHeight);
    table->SetScrollBars(ssVertical);
    table->SetAccess(otxReadOnly);
    table->SetOptions({dtoShowIndicators, dtoHighlightActiveRow});
    auto *source = new TDataSource(module);
    source->SetDataSet(DataSet);
    table->SetDataSource(source);
    QApplication::processEvents();
    table->SetFocus();
    return table;
  }
};

// The data folders in use; freed before the application ends.
std::map<int, std::unique_ptr<Data>> &AllData() {
  static std::map<int, std::unique_ptr<Data>> data;
  return data;
}

Data &Shared(int Headers) {
  std::unique_ptr<Data> &entry = AllData()[Headers];
  if (!entry) entry = std::make_unique<Data>(Headers);
  return *entry;
}

void Paint(TOvcDbTable *Table) { Table->Widget()->repaint(); }

void Press(TOvcDbTable *Table, int Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, Key, Modifiers);
  QApplication::sendEvent(Table->Widget(), &press);
  QKeyEvent release(QEvent::KeyRelease, Key, Modifiers);
  QApplication::sendEvent(Table->Widget(), &release);
}

void Sizes(benchmark::internal::Benchmark *b) { b->Arg(10000)->Arg(100000); }

// ---- The past invoices: open newest first and paint the first screen ----

void BM_OpenPastInvoicesFirstScreen(benchmark::State &state) {
  Data &data = Shared(int(state.range(0)));
  TffTable *headers = data.Table(QStringLiteral("MINV1"), QStringLiteral("INVNUM"));
  TOvcDbTable *table = data.Show(headers);
  for (auto _ : state) {
    headers->Open();
    Paint(table);
    state.PauseTiming();
    headers->Close();
    state.ResumeTiming();
  }
  table->Free();
  FreeAndNil(headers);
}
BENCHMARK(BM_OpenPastInvoicesFirstScreen)->Apply(Sizes)->Unit(benchmark::kMillisecond);

// ---- Page Down, 1,000 times, each page painted ----

void BM_PageDownPastInvoices(benchmark::State &state) {
  Data &data = Shared(int(state.range(0)));
  TffTable *headers = data.Table(QStringLiteral("MINV1"), QStringLiteral("INVNUM"));
  TOvcDbTable *table = data.Show(headers);
  headers->Open();
  Paint(table);
  state.counters["rows"] = table->VisibleRowCount();
  for (auto _ : state) {
    Press(table, Qt::Key_PageDown);
    Paint(table);
    if (headers->Eof()) {
      state.PauseTiming();
      headers->First();
      state.ResumeTiming();
    }
  }
  table->Free();
  FreeAndNil(headers);
}
BENCHMARK(BM_PageDownPastInvoices)->Apply(Sizes)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// ---- Ctrl+End from the first row ----

void BM_JumpToLastPastInvoice(benchmark::State &state) {
  Data &data = Shared(int(state.range(0)));
  TffTable *headers = data.Table(QStringLiteral("MINV1"), QStringLiteral("INVNUM"));
  TOvcDbTable *table = data.Show(headers);
  headers->Open();
  for (auto _ : state) {
    state.PauseTiming();
    headers->First();
    Paint(table);
    state.ResumeTiming();
    Press(table, Qt::Key_End, Qt::ControlModifier);
    Paint(table);
  }
  table->Free();
  FreeAndNil(headers);
}
BENCHMARK(BM_JumpToLastPastInvoice)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

// ---- The customer list: a name typed, the nearest customer found and the screen painted ----

void BM_TypeSearchCustomer(benchmark::State &state) {
  const int customers = int(state.range(0));
  Data &data = Shared(customers);
  TffTable *names = data.Table(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  TOvcDbTable *table = data.Show(names);
  names->Open();
  std::mt19937 random(2);
  for (auto _ : state) {
    const QString typed = CustomerName(int(random() % customers)).left(13);
    names->FindNearest({Variant(typed)});
    Paint(table);
  }
  table->Free();
  FreeAndNil(names);
}
BENCHMARK(BM_TypeSearchCustomer)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  AllData().clear();
  benchmark::Shutdown();
  return 0;
}
