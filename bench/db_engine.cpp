// The engine at scale, beside plain SQLite doing the same work on the same file: 100,000 customers,
// 100,000 invoice headers and 1,000,000 invoice lines. Each engine figure has a "Plain" twin so that the
// cost of the layer shows as a ratio. The plain side prepares its statements once, reads every column of a
// row into a value as the engine hands out a record, and, as the engine does, holds no lock on the file
// between the steps a program takes (a read of the lines of a header does not run inside the read of the
// headers). Measure with both sides alternated in one run:
//   bench_db_engine --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
//                   --benchmark_report_aggregates_only=true
#include "bench/invoice_data.h"
#include <QLocale>
#include <benchmark/benchmark.h>
#include <random>
#include <sqlite3.h>

namespace {

using namespace invoice_data;

// The data folder, built once through the engine into the system's temporary folder and kept for later runs
// (the db_client benchmarks use the same); delete the folders "tallyrook-bench-db_client-v*" there to build
// it again.
struct Data {
  QString folder;
  TffServerEngine engine;
  TffDatabaseID db = 0;
  sqlite3 *plain = nullptr;

  Data() {
    folder = SharedInvoiceDataFolder();
    Check(engine, engine.DatabaseOpen(folder, db));
    plain = OpenPlain(folder);
  }
  ~Data() { sqlite3_close(plain); }
};

Data &Shared() {
  static Data data;
  return data;
}

sqlite3_stmt *Prepare(const QByteArray &sql) { return PreparePlain(Shared().plain, sql); }

// Opening the headers newest first and reading the first screen.
void BM_FirstScreenOfHeaders(benchmark::State &state) {
  Data &data = Shared();
  QList<TffRecord> records;
  for (auto _ : state) {
    TffCursorID cursor = 0;
    data.engine.CursorOpen(data.db, QStringLiteral("MINV1"), QStringLiteral("INVNUM"), cursor);
    data.engine.RecordGetBatch(cursor, 25, true, records);
    data.engine.CursorClose(cursor);
    benchmark::DoNotOptimize(records);
  }
}
BENCHMARK(BM_FirstScreenOfHeaders);

void BM_FirstScreenOfHeadersPlain(benchmark::State &state) {
  sqlite3_stmt *statement = Prepare(SelectHeaders("ORDER BY InvNUM DESC, ff_rowid LIMIT 25"));
  QList<QList<QVariant>> rows;
  for (auto _ : state) {
    rows.clear();
    while (sqlite3_step(statement) == SQLITE_ROW) rows.append(PlainValues(statement));
    sqlite3_reset(statement);
    benchmark::DoNotOptimize(rows);
  }
  sqlite3_finalize(statement);
}
BENCHMARK(BM_FirstScreenOfHeadersPlain);

// Finding the nearest customer for a typed name.
void BM_FindNearestCustomer(benchmark::State &state) {
  Data &data = Shared();
  TffCursorID cursor = 0;
  data.engine.CursorOpen(data.db, QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"), cursor);
  std::mt19937 random(2);
  TffRecord record;
  for (auto _ : state) {
    data.engine.CursorSetToKey(cursor, {TypedCustomerName(int(random() % kCustomers))});
    data.engine.RecordGet(cursor, record);
    benchmark::DoNotOptimize(record);
  }
  data.engine.CursorClose(cursor);
}
BENCHMARK(BM_FindNearestCustomer);

// Each row read into its values, as the engine hands out a record.
int ReadValues(sqlite3_stmt *statement) { return int(PlainValues(statement).size()); }

void BM_FindNearestCustomerPlain(benchmark::State &state) {
  FindNearestCustomerPlain(state, Shared().plain, ReadValues);
}
BENCHMARK(BM_FindNearestCustomerPlain);

// A range on one customer's invoices, read to the end.
void BM_RangeOfOneCustomer(benchmark::State &state) {
  Data &data = Shared();
  TffCursorID cursor = 0;
  data.engine.CursorOpen(data.db, QStringLiteral("MINV1"), QStringLiteral("CUST"), cursor);
  std::mt19937 random(3);
  TffRecord record;
  for (auto _ : state) {
    const int customer = int(random() % (kCustomers / 10)) + 1;
    data.engine.CursorSetRange(cursor, {customer}, true, {customer}, true);
    int rows = 0;
    while (data.engine.RecordGetNext(cursor, record) == DBIERR_NONE) ++rows;
    benchmark::DoNotOptimize(rows);
  }
  data.engine.CursorClose(cursor);
}
BENCHMARK(BM_RangeOfOneCustomer);

void BM_RangeOfOneCustomerInOneScreen(benchmark::State &state) {
  Data &data = Shared();
  TffCursorID cursor = 0;
  data.engine.CursorOpen(data.db, QStringLiteral("MINV1"), QStringLiteral("CUST"), cursor);
  std::mt19937 random(3);
  QList<TffRecord> screen;
  for (auto _ : state) {
    const int customer = int(random() % (kCustomers / 10)) + 1;
    data.engine.CursorSetRange(cursor, {customer}, true, {customer}, true);
    data.engine.RecordGetBatch(cursor, 25, true, screen);
    benchmark::DoNotOptimize(screen);
  }
  data.engine.CursorClose(cursor);
}
BENCHMARK(BM_RangeOfOneCustomerInOneScreen);

void BM_RangeOfOneCustomerPlain(benchmark::State &state) {
  RangeOfOneCustomerPlain(state, Shared().plain, ReadValues);
}
BENCHMARK(BM_RangeOfOneCustomerPlain);

// Paging through a range of lines whose bounds differ (most of the 1,000,000), 64 records a read.
void BM_PageThroughARangeOfLines(benchmark::State &state) {
  Data &data = Shared();
  TffCursorID cursor = 0;
  data.engine.CursorOpen(data.db, QStringLiteral("MINV2"), QStringLiteral("REC"), cursor);
  data.engine.CursorSetRange(cursor, {kHeaders - 10}, true, {10}, true); // REC descends
  QList<TffRecord> page;
  for (auto _ : state) {
    if (data.engine.RecordGetBatch(cursor, 64, true, page) != DBIERR_NONE)
      data.engine.CursorSetToBegin(cursor);
    benchmark::DoNotOptimize(page);
  }
  data.engine.CursorClose(cursor);
}
BENCHMARK(BM_PageThroughARangeOfLines);

void BM_PageThroughARangeOfLinesPlain(benchmark::State &state) {
  // The same keyset reads: the rest of the current REC after the last row read, then the RECs below it.
  sqlite3_stmt *sameRec =
      Prepare(SelectLines("WHERE REC = ? AND ff_rowid > ? ORDER BY REC DESC, ff_rowid LIMIT ?"));
  sqlite3_stmt *lowerRecs =
      Prepare(SelectLines("WHERE REC < ? AND REC >= 10 ORDER BY REC DESC, ff_rowid LIMIT ?"));
  int rec = kHeaders - 10;
  qint64 rowId = 0;
  for (auto _ : state) {
    int rows = 0;
    for (sqlite3_stmt *statement : {sameRec, lowerRecs}) {
      int parameter = 1;
      sqlite3_bind_int(statement, parameter++, rec);
      if (statement == sameRec) sqlite3_bind_int64(statement, parameter++, rowId);
      sqlite3_bind_int(statement, parameter, 64 - rows);
      while (rows < 64 && sqlite3_step(statement) == SQLITE_ROW) {
        const QList<QVariant> values = PlainValues(statement);
        rowId = values[0].toLongLong();
        rec = values[1].toInt();
        ++rows;
      }
      sqlite3_reset(statement);
    }
    if (rows == 0) rec = kHeaders - 10, rowId = 0;
    benchmark::DoNotOptimize(rows);
  }
  sqlite3_finalize(sameRec);
  sqlite3_finalize(lowerRecs);
}
BENCHMARK(BM_PageThroughARangeOfLinesPlain);

// Scrolling through 1,000 consecutive headers, reading the detail lines of each.
void BM_DetailLinesOf1000Headers(benchmark::State &state) {
  Data &data = Shared();
  TffCursorID headers = 0, lines = 0;
  data.engine.CursorOpen(data.db, QStringLiteral("MINV1"), QStringLiteral("INVNUM"), headers);
  data.engine.CursorOpen(data.db, QStringLiteral("MINV2"), QStringLiteral("REC"), lines);
  TffRecord header, line;
  for (auto _ : state) {
    data.engine.CursorSetToBegin(headers);
    int rows = 0;
    for (int i = 0; i < 1000 && data.engine.RecordGetNext(headers, header) == DBIERR_NONE; ++i) {
      data.engine.CursorSetRange(lines, {header.Values[0]}, true, {header.Values[0]}, true);
      while (data.engine.RecordGetNext(lines, line) == DBIERR_NONE) ++rows;
    }
    benchmark::DoNotOptimize(rows);
  }
  data.engine.CursorClose(headers);
  data.engine.CursorClose(lines);
}
BENCHMARK(BM_DetailLinesOf1000Headers)->Unit(benchmark::kMillisecond);

// The same as a grid reads it: the visible rows (up to 25) in one call.
void BM_DetailLinesOf1000HeadersInScreens(benchmark::State &state) {
  Data &data = Shared();
  TffCursorID headers = 0, lines = 0;
  data.engine.CursorOpen(data.db, QStringLiteral("MINV1"), QStringLiteral("INVNUM"), headers);
  data.engine.CursorOpen(data.db, QStringLiteral("MINV2"), QStringLiteral("REC"), lines);
  QList<TffRecord> screen, details;
  for (auto _ : state) {
    data.engine.CursorSetToBegin(headers);
    int rows = 0;
    for (int read = 0; read < 1000 && data.engine.RecordGetBatch(headers, 25, true, screen) == DBIERR_NONE;) {
      for (const TffRecord &header : screen) {
        if (read++ == 1000) break;
        data.engine.CursorSetRange(lines, {header.Values[0]}, true, {header.Values[0]}, true);
        if (data.engine.RecordGetBatch(lines, 25, true, details) == DBIERR_NONE) rows += int(details.size());
      }
    }
    benchmark::DoNotOptimize(rows);
  }
  data.engine.CursorClose(headers);
  data.engine.CursorClose(lines);
}
BENCHMARK(BM_DetailLinesOf1000HeadersInScreens)->Unit(benchmark::kMillisecond);

void BM_DetailLinesOf1000HeadersPlain(benchmark::State &state) {
  sqlite3_stmt *headers = Prepare(SelectHeaders("ORDER BY InvNUM DESC, ff_rowid LIMIT 1000"));
  sqlite3_stmt *lines = Prepare(SelectLines("WHERE REC = ? ORDER BY REC DESC, ff_rowid"));
  for (auto _ : state) {
    // The headers are read first: reading each one's lines while the headers' statement still ran would
    // hold the file's read lock all along, which the engine never does between calls.
    QList<QList<QVariant>> read;
    while (sqlite3_step(headers) == SQLITE_ROW) read.append(PlainValues(headers));
    sqlite3_reset(headers);
    int rows = 0;
    for (const QList<QVariant> &header : read) {
      sqlite3_bind_int64(lines, 1, header[1].toLongLong());
      while (sqlite3_step(lines) == SQLITE_ROW) rows += int(PlainValues(lines).size());
      sqlite3_reset(lines);
    }
    benchmark::DoNotOptimize(rows);
  }
  sqlite3_finalize(headers);
  sqlite3_finalize(lines);
}
BENCHMARK(BM_DetailLinesOf1000HeadersPlain)->Unit(benchmark::kMillisecond);

// Storing one invoice of 20 lines in one transaction (each commit waits for the disk).
void BM_StoreInvoiceOf20Lines(benchmark::State &state) {
  Data &data = Shared();
  TffCursorID headers = 0, lines = 0;
  data.engine.CursorOpen(data.db, QStringLiteral("MINV1"), QStringLiteral("INVNUM"), headers);
  data.engine.CursorOpen(data.db, QStringLiteral("MINV2"), QStringLiteral("REC"), lines);
  TffRecord record;
  for (auto _ : state) {
    data.engine.TransactionStart(data.db);
    data.engine.RecordInsert(headers, HeaderValues(1, 45000, 1e9), record);
    const int rec = record.Values[0].toInt();
    for (int j = 0; j < 20; ++j)
      data.engine.RecordInsert(lines, LineValues(rec, 1.0, QStringLiteral("Stored line %1").arg(j)), record);
    data.engine.TransactionCommit(data.db);
  }
  data.engine.CursorClose(headers);
  data.engine.CursorClose(lines);
  RemoveStoredInvoices(data.plain);
}
BENCHMARK(BM_StoreInvoiceOf20Lines)->Unit(benchmark::kMillisecond);

void BM_StoreInvoiceOf20LinesPlain(benchmark::State &state) {
  sqlite3_stmt *number = Prepare(kNextHeaderNumberSql);
  sqlite3_stmt *header = Prepare(
      "INSERT INTO MINV1 (REC, TYPE, CANC, CUSTNO, CUSTOMER, ADDR1, ADDR2, NET, TAX, GROSS, InvDATE, InvNUM) "
      "VALUES (?, 1, 0, 1, ?, '12 High Street', 'Town', 100.0, 17.5, 117.5, 45000, 1e9)");
  sqlite3_stmt *line = Prepare(kInsertLineSql);
  const QByteArray customer = CustomerName(1).toUtf8();
  for (auto _ : state) StoreInvoicePlain(Shared().plain, number, header, line, customer);
  sqlite3_finalize(number);
  sqlite3_finalize(header);
  sqlite3_finalize(line);
  RemoveStoredInvoices(Shared().plain);
}
BENCHMARK(BM_StoreInvoiceOf20LinesPlain)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
