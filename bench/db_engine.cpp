// The engine at scale, beside plain SQLite doing the same work on the same file: 100,000 customers,
// 100,000 invoice headers and 1,000,000 invoice lines. Each engine figure has a "Plain" twin so that the
// cost of the layer shows as a ratio.
#include "db/engine/ff_server_engine.h"
#include "db/storage/ff_sql_schema.h"
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>
#include <sqlite3.h>

namespace {

constexpr int kCustomers = 100000;
constexpr int kHeaders = 100000;
constexpr int kLinesPerHeader = 10;

QString CustomerName(int i) {
  return QStringLiteral("Customer %1").arg((i * 7919) % kCustomers, 6, 10, QChar(u'0'));
}

// The data folder, built once through the engine.
struct Data {
  QTemporaryDir folder;
  TffServerEngine engine;
  TffDatabaseID db = 0;
  sqlite3 *plain = nullptr;

  Data() {
    engine.DatabaseCreate(folder.path());
    engine.DatabaseOpen(folder.path(), db);
    TffDataDictionary customers(4096);
    customers.AddField(QStringLiteral("CUSTNO"), QString(), fftAutoInc, 0, 0, false);
    customers.AddField(QStringLiteral("CUSTOMER"), QString(), fftNullString, 50, 0, false);
    customers.AddIndex(QStringLiteral("CUSTOMER"), QString(), 0, QStringLiteral("CUSTOMER"), false, true);
    engine.TableBuild(db, true, QStringLiteral("CUSTOMERS"), customers);
    TffDataDictionary headers(4096);
    headers.AddField(QStringLiteral("REC"), QString(), fftAutoInc, 0, 0, false);
    headers.AddField(QStringLiteral("CUSTNO"), QString(), fftInt32, 0, 0, false);
    headers.AddField(QStringLiteral("CUSTOMER"), QString(), fftNullString, 50, 0, false);
    headers.AddField(QStringLiteral("NET"), QString(), fftDouble, 0, 0, false);
    headers.AddField(QStringLiteral("InvNUM"), QString(), fftDouble, 0, 0, false);
    headers.AddIndex(QStringLiteral("CUST"), QString(), 0, QStringLiteral("CUSTNO;InvNUM"), true, true);
    headers.AddIndex(QStringLiteral("INVNUM"), QString(), 0, QStringLiteral("InvNUM"), true, true);
    engine.TableBuild(db, true, QStringLiteral("MINV1"), headers);
    TffDataDictionary lines(4096);
    lines.AddField(QStringLiteral("REC"), QString(), fftInt32, 0, 0, false);
    lines.AddField(QStringLiteral("QUANTITY"), QString(), fftDouble, 0, 0, false);
    lines.AddField(QStringLiteral("DESCRIPTION"), QString(), fftNullString, 1000, 0, false);
    lines.AddField(QStringLiteral("ITEMPRICE"), QString(), fftDouble, 0, 0, false);
    lines.AddIndex(QStringLiteral("REC"), QString(), 0, QStringLiteral("REC"), true, true);
    engine.TableBuild(db, true, QStringLiteral("MINV2"), lines);

    TffCursorID c = 0, h = 0, l = 0;
    engine.CursorOpen(db, QStringLiteral("CUSTOMERS"), QString(), c);
    engine.CursorOpen(db, QStringLiteral("MINV1"), QString(), h);
    engine.CursorOpen(db, QStringLiteral("MINV2"), QString(), l);
    TffRecord record;
    engine.TransactionStart(db);
    for (int i = 0; i < kCustomers; ++i) engine.RecordInsert(c, {QVariant(), CustomerName(i)}, record);
    std::mt19937 random(1);
    for (int i = 1; i <= kHeaders; ++i) {
      const int customer = int(random() % (kCustomers / 10)) + 1;
      engine.RecordInsert(h, {QVariant(), customer, CustomerName(customer), 100.0, double(i)}, record);
      const int rec = record.Values[0].toInt();
      for (int j = 0; j < kLinesPerHeader; ++j)
        engine.RecordInsert(l, {rec, 2.0, QStringLiteral("Line %1 of invoice %2").arg(j).arg(i), 5.0},
                            record);
    }
    engine.TransactionCommit(db);
    engine.CursorClose(c);
    engine.CursorClose(h);
    engine.CursorClose(l);
    sqlite3_open_v2(folder.filePath(QStringLiteral("tallyrook.db")).toUtf8().constData(), &plain,
                    SQLITE_OPEN_READWRITE, nullptr);
    ffSqlRegisterCollations(plain);
    sqlite3_exec(plain, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
  }
  ~Data() { sqlite3_close(plain); }
};

Data &Shared() {
  static Data data;
  return data;
}

sqlite3_stmt *Prepare(const char *sql) {
  sqlite3_stmt *statement = nullptr;
  sqlite3_prepare_v2(Shared().plain, sql, -1, &statement, nullptr);
  return statement;
}

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
  sqlite3_stmt *statement = Prepare("SELECT ff_rowid, REC, CUSTNO, CUSTOMER, NET, InvNUM FROM MINV1 ORDER BY "
                                    "InvNUM DESC, ff_rowid LIMIT 25");
  for (auto _ : state) {
    int rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) rows += sqlite3_column_int(statement, 1) != 0;
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
    data.engine.CursorSetToKey(cursor, {QStringLiteral("customer %1").arg(int(random() % kCustomers))});
    data.engine.RecordGet(cursor, record);
    benchmark::DoNotOptimize(record);
  }
  data.engine.CursorClose(cursor);
}
BENCHMARK(BM_FindNearestCustomer);

void BM_FindNearestCustomerPlain(benchmark::State &state) {
  sqlite3_stmt *statement = Prepare("SELECT ff_rowid, CUSTNO, CUSTOMER FROM CUSTOMERS WHERE CUSTOMER COLLATE "
                                    "FF_NOCASE >= ? ORDER BY CUSTOMER COLLATE FF_NOCASE, ff_rowid LIMIT 1");
  std::mt19937 random(2);
  for (auto _ : state) {
    const QByteArray key = QStringLiteral("customer %1").arg(int(random() % kCustomers)).toUtf8();
    sqlite3_bind_text(statement, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
    sqlite3_step(statement);
    benchmark::DoNotOptimize(sqlite3_column_text(statement, 2));
    sqlite3_reset(statement);
  }
  sqlite3_finalize(statement);
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
  sqlite3_stmt *statement =
      Prepare("SELECT ff_rowid, REC, CUSTNO, CUSTOMER, NET, InvNUM FROM MINV1 WHERE CUSTNO = ? "
              "ORDER BY CUSTNO DESC, InvNUM DESC, ff_rowid");
  std::mt19937 random(3);
  for (auto _ : state) {
    sqlite3_bind_int(statement, 1, int(random() % (kCustomers / 10)) + 1);
    int rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) ++rows;
    sqlite3_reset(statement);
    benchmark::DoNotOptimize(rows);
  }
  sqlite3_finalize(statement);
}
BENCHMARK(BM_RangeOfOneCustomerPlain);

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
  sqlite3_stmt *headers =
      Prepare("SELECT ff_rowid, REC, CUSTNO, CUSTOMER, NET, InvNUM FROM MINV1 ORDER BY InvNUM "
              "DESC, ff_rowid LIMIT 1000");
  sqlite3_stmt *lines =
      Prepare("SELECT ff_rowid, REC, QUANTITY, DESCRIPTION, ITEMPRICE FROM MINV2 WHERE REC = ? "
              "ORDER BY REC DESC, ff_rowid");
  for (auto _ : state) {
    int rows = 0;
    while (sqlite3_step(headers) == SQLITE_ROW) {
      sqlite3_bind_int(lines, 1, sqlite3_column_int(headers, 1));
      while (sqlite3_step(lines) == SQLITE_ROW) ++rows;
      sqlite3_reset(lines);
    }
    sqlite3_reset(headers);
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
    data.engine.RecordInsert(headers, {QVariant(), 1, CustomerName(1), 100.0, 1e9}, record);
    const int rec = record.Values[0].toInt();
    for (int j = 0; j < 20; ++j)
      data.engine.RecordInsert(lines, {rec, 1.0, QStringLiteral("Stored line %1").arg(j), 5.0}, record);
    data.engine.TransactionCommit(data.db);
  }
  data.engine.CursorClose(headers);
  data.engine.CursorClose(lines);
}
BENCHMARK(BM_StoreInvoiceOf20Lines)->Unit(benchmark::kMillisecond);

void BM_StoreInvoiceOf20LinesPlain(benchmark::State &state) {
  sqlite3_stmt *number = Prepare(
      "UPDATE ff_dictionary SET autoinc_seed = autoinc_seed + 1 WHERE name = 'MINV1' RETURNING autoinc_seed");
  sqlite3_stmt *header =
      Prepare("INSERT INTO MINV1 (REC, CUSTNO, CUSTOMER, NET, InvNUM) VALUES (?, 1, 'x', 100.0, 1e9)");
  sqlite3_stmt *line =
      Prepare("INSERT INTO MINV2 (REC, QUANTITY, DESCRIPTION, ITEMPRICE) VALUES (?, 1.0, ?, 5.0)");
  for (auto _ : state) {
    sqlite3_exec(Shared().plain, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_step(number);
    const int rec = sqlite3_column_int(number, 0);
    sqlite3_reset(number);
    sqlite3_bind_int(header, 1, rec);
    sqlite3_step(header);
    sqlite3_reset(header);
    for (int j = 0; j < 20; ++j) {
      const QByteArray text = QStringLiteral("Stored line %1").arg(j).toUtf8();
      sqlite3_bind_int(line, 1, rec);
      sqlite3_bind_text(line, 2, text.constData(), int(text.size()), SQLITE_TRANSIENT);
      sqlite3_step(line);
      sqlite3_reset(line);
    }
    sqlite3_exec(Shared().plain, "COMMIT", nullptr, nullptr, nullptr);
  }
  sqlite3_finalize(number);
  sqlite3_finalize(header);
  sqlite3_finalize(line);
}
BENCHMARK(BM_StoreInvoiceOf20LinesPlain)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
