// The client library at scale, as the invoicing program uses it: table components on 100,000 customers,
// 100,000 invoice headers and 1,000,000 invoice lines, each figure beside plain SQLite doing the same work on
// the same file, so that the cost of the client and engine layers shows as a ratio.
//
// The data folder is built once (through the engine, in one transaction) into the system's temporary folder
// and reused by later runs; delete the folders "tallyrook-bench-db_client-v*" there to build it again.
// Measure with both sides alternated in one run:
//   bench_db_client --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
//                   --benchmark_report_aggregates_only=true
#include "bench/invoice_data.h"
#include "db/client/ff_client_errors.h"
#include "db/client/ff_database.h"
#include "db/client/ff_table.h"
#include "platform/data/data_source.h"
#include <QDir>
#include <QLocale>
#include <QStandardPaths>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>
#include <sqlite3.h>

namespace {

using namespace invoice_data;

constexpr int kScreenRows = 25;

// The shared data folder and the client components the benchmarks use.
struct Data {
  QString folder;
  TffServerEngine engine;
  TComponent *module = nullptr;
  TffDatabase *database = nullptr;
  sqlite3 *plain = nullptr;

  Data() {
    folder = SharedInvoiceDataFolder();
    module = new TComponent(nullptr);
    database = OpenClientDatabase(module, &engine, folder);
    plain = OpenPlain(folder);
  }
  ~Data() {
    FreeAndNil(module);
    sqlite3_close(plain);
  }

  TffTable *Table(const QString &tableName, const QString &indexName) {
    return NewClientTable(module, tableName, indexName);
  }
};

Data &Shared() {
  static Data data;
  return data;
}

sqlite3_stmt *Prepare(const QByteArray &sql) { return PreparePlain(Shared().plain, sql); }

// Reads every column of the current row as text, as painting a row does.
int ReadRow(sqlite3_stmt *statement) {
  int characters = 0;
  for (int column = 0; column < sqlite3_column_count(statement); ++column)
    characters += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                                    sqlite3_column_bytes(statement, column))
                      .size();
  return characters;
}

int ReadRecord(TDataSet *dataSet) {
  int characters = 0;
  for (int i = 0; i < dataSet->FieldCount(); ++i) characters += (*dataSet->Fields())[i]->DisplayText().size();
  return characters;
}

// A grid's view of a dataset: a window of rows, each painted by reading its fields' display texts.
class ScreenLink : public TDataLink {
public:
  explicit ScreenLink(int rows) { SetBufferCount(rows); }
  ~ScreenLink() override { SetDataSource(nullptr); }
  int Paint() {
    int characters = 0;
    const int active = ActiveRecord();
    for (int row = 0; row < RecordCount(); ++row) {
      SetActiveRecord(row);
      characters += ReadRecord(DataSet());
    }
    SetActiveRecord(active);
    return characters;
  }
};

// ---- Opening the headers newest first and reading the first screen ----

void BM_OpenHeadersFirstScreen(benchmark::State &state) {
  Data &data = Shared();
  TffTable *headers = data.Table(QStringLiteral("MINV1"), QStringLiteral("INVNUM"));
  auto *source = new TDataSource(data.module);
  source->SetDataSet(headers);
  ScreenLink grid(kScreenRows);
  grid.SetDataSource(source);
  for (auto _ : state) {
    headers->Open();
    benchmark::DoNotOptimize(grid.Paint());
    headers->Close();
  }
  grid.SetDataSource(nullptr);
  FreeAndNil(headers);
}
BENCHMARK(BM_OpenHeadersFirstScreen);

void BM_OpenHeadersFirstScreenPlain(benchmark::State &state) {
  // Prepared once, as the engine keeps its statements for every later open.
  sqlite3_stmt *statement = Prepare(SelectHeaders("ORDER BY InvNUM DESC, ff_rowid LIMIT 25"));
  for (auto _ : state) {
    int characters = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) characters += ReadRow(statement);
    sqlite3_reset(statement);
    benchmark::DoNotOptimize(characters);
  }
  sqlite3_finalize(statement);
}
BENCHMARK(BM_OpenHeadersFirstScreenPlain);

// ---- FindNearest on 100,000 customers ----

void BM_FindNearestCustomer(benchmark::State &state) {
  Data &data = Shared();
  TffTable *customers = data.Table(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  customers->Open();
  TField *name = customers->FieldByName(QStringLiteral("CUSTOMER"));
  std::mt19937 random(2);
  for (auto _ : state) {
    customers->FindNearest({Variant(TypedCustomerName(int(random() % kCustomers)))});
    benchmark::DoNotOptimize(name->AsString());
  }
  FreeAndNil(customers);
}
BENCHMARK(BM_FindNearestCustomer);

void BM_FindNearestCustomerPlain(benchmark::State &state) {
  FindNearestCustomerPlain(state, Shared().plain, ReadRow);
}
BENCHMARK(BM_FindNearestCustomerPlain);

// The customer list as the program shows it: a FindNearest repositions a 20-row grid.
void BM_FindNearestCustomerInAGrid(benchmark::State &state) {
  Data &data = Shared();
  TffTable *customers = data.Table(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  auto *source = new TDataSource(data.module);
  source->SetDataSet(customers);
  ScreenLink grid(20);
  grid.SetDataSource(source);
  customers->Open();
  std::mt19937 random(2);
  for (auto _ : state) {
    customers->FindNearest({Variant(TypedCustomerName(int(random() % kCustomers)))});
    benchmark::DoNotOptimize(grid.Paint());
  }
  grid.SetDataSource(nullptr);
  FreeAndNil(customers);
}
BENCHMARK(BM_FindNearestCustomerInAGrid);

// ---- A range on one customer's invoices ----

void BM_RangeOfOneCustomer(benchmark::State &state) {
  Data &data = Shared();
  TffTable *headers = data.Table(QStringLiteral("MINV1"), QStringLiteral("CUST"));
  headers->Open();
  std::mt19937 random(3);
  for (auto _ : state) {
    const int customer = int(random() % (kCustomers / 10)) + 1;
    headers->SetRange({Variant(customer)}, {Variant(customer)});
    int characters = 0;
    for (; !headers->Eof(); headers->Next()) characters += ReadRecord(headers);
    benchmark::DoNotOptimize(characters);
  }
  FreeAndNil(headers);
}
BENCHMARK(BM_RangeOfOneCustomer);

void BM_RangeOfOneCustomerPlain(benchmark::State &state) {
  RangeOfOneCustomerPlain(state, Shared().plain, ReadRow);
}
BENCHMARK(BM_RangeOfOneCustomerPlain);

// ---- Scrolling the detail lines of 1,000 consecutive headers ----

void BM_DetailLinesOf1000Headers(benchmark::State &state) {
  Data &data = Shared();
  TffTable *headers = data.Table(QStringLiteral("MINV1"), QStringLiteral("INVNUM"));
  TffTable *lines = data.Table(QStringLiteral("MINV2"), QStringLiteral("REC"));
  auto *headersSource = new TDataSource(data.module);
  headersSource->SetDataSet(headers);
  auto *linesSource = new TDataSource(data.module);
  linesSource->SetDataSet(lines);
  lines->SetMasterFields(QStringLiteral("REC"));
  lines->SetMasterSource(headersSource);
  ScreenLink headersGrid(kScreenRows), linesGrid(kScreenRows);
  headersGrid.SetDataSource(headersSource);
  linesGrid.SetDataSource(linesSource);
  headers->Open();
  lines->Open();
  for (auto _ : state) {
    headers->First();
    int characters = linesGrid.Paint();
    for (int i = 1; i < 1000; ++i) {
      headers->Next();
      characters += linesGrid.Paint();
    }
    benchmark::DoNotOptimize(characters);
  }
  headersGrid.SetDataSource(nullptr);
  linesGrid.SetDataSource(nullptr);
  FreeAndNil(lines);
  FreeAndNil(headers);
}
BENCHMARK(BM_DetailLinesOf1000Headers)->Unit(benchmark::kMillisecond);

void BM_DetailLinesOf1000HeadersPlain(benchmark::State &state) {
  sqlite3_stmt *headers = Prepare(SelectHeaders("ORDER BY InvNUM DESC, ff_rowid LIMIT 1000"));
  sqlite3_stmt *lines = Prepare(SelectLines("WHERE REC = ? ORDER BY REC DESC, ff_rowid LIMIT 25"));
  for (auto _ : state) {
    // The headers are read first: reading each one's lines while the headers' statement still ran would
    // hold the file's read lock all along, which a program that lets others write between steps cannot.
    QList<int> numbers;
    while (sqlite3_step(headers) == SQLITE_ROW) numbers.append(sqlite3_column_int(headers, 1));
    sqlite3_reset(headers);
    int characters = 0;
    for (int number : numbers) {
      sqlite3_bind_int(lines, 1, number);
      while (sqlite3_step(lines) == SQLITE_ROW) characters += ReadRow(lines);
      sqlite3_reset(lines);
    }
    benchmark::DoNotOptimize(characters);
  }
  sqlite3_finalize(headers);
  sqlite3_finalize(lines);
}
BENCHMARK(BM_DetailLinesOf1000HeadersPlain)->Unit(benchmark::kMillisecond);

// ---- Storing one invoice of 20 lines in one transaction ----

void BM_StoreInvoiceOf20Lines(benchmark::State &state) {
  Data &data = Shared();
  TffTable *headers = data.Table(QStringLiteral("MINV1"), QStringLiteral("INVNUM"));
  TffTable *lines = data.Table(QStringLiteral("MINV2"), QStringLiteral("REC"));
  headers->Open();
  lines->Open();
  TField *rec = headers->FieldByName(QStringLiteral("REC"));
  double number = 1e9;
  for (auto _ : state) {
    data.database->StartTransaction();
    headers->Append();
    headers->FieldByName(QStringLiteral("TYPE"))->SetAsInteger(1);
    headers->FieldByName(QStringLiteral("CANC"))->SetAsBoolean(false);
    headers->FieldByName(QStringLiteral("CUSTNO"))->SetAsInteger(1);
    headers->FieldByName(QStringLiteral("CUSTOMER"))->SetAsString(CustomerName(1));
    headers->FieldByName(QStringLiteral("NET"))->SetAsFloat(100);
    headers->FieldByName(QStringLiteral("TAX"))->SetAsFloat(17.5);
    headers->FieldByName(QStringLiteral("GROSS"))->SetAsFloat(117.5);
    headers->FieldByName(QStringLiteral("InvDATE"))->SetAsDateTime(45000);
    headers->FieldByName(QStringLiteral("InvNUM"))->SetAsFloat(number++);
    headers->Post();
    for (int j = 0; j < 20; ++j) {
      lines->Append();
      lines->FieldByName(QStringLiteral("REC"))->SetAsInteger(rec->AsInteger());
      lines->FieldByName(QStringLiteral("QUANTITY"))->SetAsFloat(1);
      lines->FieldByName(QStringLiteral("DESCRIPTION"))->SetAsString(QStringLiteral("Stored line %1").arg(j));
      lines->FieldByName(QStringLiteral("ITEMPRICE"))->SetAsFloat(5);
      lines->FieldByName(QStringLiteral("ITEMTOTAL"))->SetAsFloat(5);
      lines->Post();
    }
    data.database->Commit();
  }
  FreeAndNil(lines);
  FreeAndNil(headers);
  RemoveStoredInvoices(Shared().plain);
}
BENCHMARK(BM_StoreInvoiceOf20Lines)->Unit(benchmark::kMillisecond);

void BM_StoreInvoiceOf20LinesPlain(benchmark::State &state) {
  sqlite3_stmt *numberer = Prepare(kNextHeaderNumberSql);
  sqlite3_stmt *header = Prepare(
      "INSERT INTO MINV1 (REC, TYPE, CANC, CUSTNO, CUSTOMER, NET, TAX, GROSS, InvDATE, InvNUM) VALUES (?, "
      "1, 0, 1, ?, 100.0, 17.5, 117.5, 45000, ?)");
  sqlite3_stmt *line = Prepare(kInsertLineSql);
  const QByteArray customer = CustomerName(1).toUtf8();
  double number = 1e9;
  for (auto _ : state) {
    sqlite3_bind_double(header, 3, number++);
    StoreInvoicePlain(Shared().plain, numberer, header, line, customer);
  }
  sqlite3_finalize(numberer);
  sqlite3_finalize(header);
  sqlite3_finalize(line);
  RemoveStoredInvoices(Shared().plain);
}
BENCHMARK(BM_StoreInvoiceOf20LinesPlain)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
