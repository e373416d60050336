// The invoicing data the database benchmarks share: 100,000 customers, 100,000 invoice headers and 1,000,000
// invoice lines in the program's table layouts, written through the engine, and a plain SQLite connection to
// the same file for the figures each benchmark sets beside its own (those the engine and client benchmarks
// share among them); data folders kept between runs, and the client components over a folder.
#pragma once
#include "db/client/ff_database.h"
#include "db/client/ff_table.h"
#include "db/engine/ff_server_engine.h"
#include "db/storage/ff_collation.h"
#include "db/storage/ff_sql_schema.h"
#include <QDir>
#include <QFile>
#include <QLocale>
#include <benchmark/benchmark.h>
#include <functional>
#include <random>
#include <sqlite3.h>

namespace invoice_data {

constexpr int kCustomers = 100000;
constexpr int kHeaders = 100000;
constexpr int kLinesPerHeader = 10;

// The columns of MINV1 and MINV2 in field order, for plain statements that read what the engine reads.
inline const char *const kHeaderColumns = "REC, TYPE, CANC, CUSTNO, CUSTOMER, ADDR1, ADDR2, ADDR3, ADDR4, "
                                          "ADDR5, NET, TAX, GROSS, InvDATE, InvNUM";
inline const char *const kLineColumns = "REC, QUANTITY, DESCRIPTION, ITEMPRICE, ITEMTOTAL";

// Plain SELECT statements that read the columns the engine reads.
inline QByteArray SelectHeaders(const char *rest) {
  return QByteArray("SELECT ff_rowid, ") + kHeaderColumns + " FROM MINV1 " + rest;
}
inline QByteArray SelectLines(const char *rest) {
  return QByteArray("SELECT ff_rowid, ") + kLineColumns + " FROM MINV2 " + rest;
}
// The first customer at or after the bound collation key (PlainSearchKey), in the order of the CUSTOMER
// index.
inline const char *const kNearestCustomerSql = "SELECT ff_rowid, CUSTNO, CUSTOMER, ADDR1, ADDR2, ADDR3, "
                                               "ADDR4, ADDR5 FROM CUSTOMERS WHERE ff_key_CUSTOMER "
                                               ">= ? ORDER BY ff_key_CUSTOMER, ff_rowid LIMIT 1";
// Storing plainly: the next header number as the engine hands it out, and one line of an invoice (?1 its
// header's number, ?2 its description).
inline const char *const kNextHeaderNumberSql =
    "UPDATE ff_dictionary SET autoinc_seed = autoinc_seed + 1 WHERE name = 'MINV1' RETURNING autoinc_seed";
inline const char *const kInsertLineSql =
    "INSERT INTO MINV2 (REC, QUANTITY, DESCRIPTION, ITEMPRICE, ITEMTOTAL) VALUES (?, 1.0, ?, 5.0, 5.0)";

// Names that do not sort in the order they were added.
inline QString CustomerName(int i) {
  return QStringLiteral("Customer %1").arg((i * 7919) % kCustomers, 6, 10, QChar(u'0'));
}
// A name as a user types it to find a customer: in lower case.
inline QString TypedCustomerName(int i) { return CustomerName(i).toLower(); }

inline TffDataDictionary CustomersDictionary() {
  TffDataDictionary d(4096);
  d.AddField(QStringLiteral("CUSTNO"), QString(), fftAutoInc, 0, 0, false);
  d.AddField(QStringLiteral("CUSTOMER"), QString(), fftNullString, 50, 0, false);
  for (int i = 1; i <= 5; ++i)
    d.AddField(QStringLiteral("ADDR%1").arg(i), QString(), fftNullString, 50, 0, false);
  d.AddIndex(QStringLiteral("CUSTOMER"), QString(), 0, QStringLiteral("CUSTOMER"), false, true);
  return d;
}

inline TffDataDictionary HeadersDictionary() {
  TffDataDictionary d(4096);
  d.AddField(QStringLiteral("REC"), QString(), fftAutoInc, 0, 0, false);
  d.AddField(QStringLiteral("TYPE"), QString(), fftInt32, 0, 0, false);
  d.AddField(QStringLiteral("CANC"), QString(), fftBoolean, 0, 0, false);
  d.AddField(QStringLiteral("CUSTNO"), QString(), fftInt32, 0, 0, false);
  d.AddField(QStringLiteral("CUSTOMER"), QString(), fftNullString, 50, 0, false);
  for (int i = 1; i <= 5; ++i)
    d.AddField(QStringLiteral("ADDR%1").arg(i), QString(), fftNullString, 50, 0, false);
  for (const char *name : {"NET", "TAX", "GROSS"})
    d.AddField(QString::fromLatin1(name), QString(), fftDouble, 0, 0, false);
  d.AddField(QStringLiteral("InvDATE"), QString(), fftDateTime, 0, 0, false);
  d.AddField(QStringLiteral("InvNUM"), QString(), fftDouble, 0, 0, false);
  d.AddIndex(QStringLiteral("CUST"), QString(), 0, QStringLiteral("CUSTNO;InvNUM"), true, true);
  d.AddIndex(QStringLiteral("INVNUM"), QString(), 0, QStringLiteral("InvNUM"), true, true);
  return d;
}

inline TffDataDictionary LinesDictionary() {
  TffDataDictionary d(4096);
  d.AddField(QStringLiteral("REC"), QString(), fftInt32, 0, 0, false);
  d.AddField(QStringLiteral("QUANTITY"), QString(), fftDouble, 0, 0, false);
  d.AddField(QStringLiteral("DESCRIPTION"), QString(), fftNullString, 1000, 0, false);
  d.AddField(QStringLiteral("ITEMPRICE"), QString(), fftDouble, 0, 0, false);
  d.AddField(QStringLiteral("ITEMTOTAL"), QString(), fftDouble, 0, 0, false);
  d.AddIndex(QStringLiteral("REC"), QString(), 0, QStringLiteral("REC"), true, true);
  return d;
}

// The field values of an invoice header, REC left to the engine to number.
inline QList<QVariant> HeaderValues(int customer, double date, double number) {
  const QString street = QStringLiteral("12 High Street");
  return {QVariant(),
          1,
          false,
          customer,
          CustomerName(customer),
          street,
          QStringLiteral("Town"),
          QString(),
          QString(),
          QString(),
          100.0,
          17.5,
          117.5,
          date,
          number};
}

inline QList<QVariant> LineValues(int rec, double quantity, const QString &description) {
  return {rec, quantity, description, 5.0, quantity * 5.0};
}

inline void Check(TffServerEngine &engine, TffResult result) {
  if (result != DBIERR_NONE) qFatal("engine: %s", qPrintable(engine.LastError().Message));
}

// Inserts invoice Number for Customer, a header and kLinesPerHeader lines, through the engine's cursors.
inline void InsertInvoice(TffServerEngine &engine, TffCursorID headers, TffCursorID lines, int customer,
                          int number) {
  TffRecord record;
  Check(engine, engine.RecordInsert(headers, HeaderValues(customer, 45000 + number / 50, number), record));
  const int rec = record.Values[0].toInt();
  for (int j = 0; j < kLinesPerHeader; ++j)
    Check(engine, engine.RecordInsert(
                      lines, LineValues(rec, 2.0, QStringLiteral("Line %1 of invoice %2").arg(j).arg(number)),
                      record));
}

// Fills a new database file in the folder through the engine, in one transaction: as many customers as
// headers, each header for one of the first tenth of the customers.
inline void BuildInvoiceData(const QString &folder, int headerCount = kHeaders) {
  TffServerEngine engine;
  TffDatabaseID db = 0;
  Check(engine, engine.DatabaseCreate(folder));
  Check(engine, engine.DatabaseOpen(folder, db));
  Check(engine, engine.TableBuild(db, true, QStringLiteral("CUSTOMERS"), CustomersDictionary()));
  Check(engine, engine.TableBuild(db, true, QStringLiteral("MINV1"), HeadersDictionary()));
  Check(engine, engine.TableBuild(db, true, QStringLiteral("MINV2"), LinesDictionary()));
  TffCursorID customers = 0, headers = 0, lines = 0;
  Check(engine, engine.CursorOpen(db, QStringLiteral("CUSTOMERS"), QString(), customers));
  Check(engine, engine.CursorOpen(db, QStringLiteral("MINV1"), QString(), headers));
  Check(engine, engine.CursorOpen(db, QStringLiteral("MINV2"), QString(), lines));
  const QString street = QStringLiteral("12 High Street");
  TffRecord record;
  Check(engine, engine.TransactionStart(db));
  for (int i = 0; i < headerCount; ++i)
    Check(engine, engine.RecordInsert(customers,
                                      {QVariant(), CustomerName(i), street, QStringLiteral("Town"), QString(),
                                       QString(), QString()},
                                      record));
  std::mt19937 random(1);
  for (int i = 1; i <= headerCount; ++i)
    InsertInvoice(engine, headers, lines, int(random() % std::max(1, headerCount / 10)) + 1, i);
  Check(engine, engine.TransactionCommit(db));
  Check(engine, engine.DatabaseClose(db));
}

// A data folder kept in the system's temporary folder between runs, "tallyrook-bench-NAME-vLAYOUT" (a file of
// an older layout would be upgraded on its first open and spoil the figures), built by Build when missing or
// left incomplete: the marker holding Version is written last.
inline QString KeptDataFolder(const QString &name, const QByteArray &version,
                              const std::function<void(const QString &)> &build) {
  const QString folder =
      QDir(QDir::tempPath())
          .filePath(QStringLiteral("tallyrook-bench-%1-v%2").arg(name).arg(ffSchemaVersion));
  QFile marker(QDir(folder).filePath(QStringLiteral("complete")));
  if (marker.open(QIODevice::ReadOnly) && marker.readAll() == version) return folder;
  marker.close();
  QDir(folder).removeRecursively();
  QDir().mkpath(folder);
  build(folder);
  marker.open(QIODevice::WriteOnly);
  marker.write(version);
  return folder;
}

// The full invoicing data (BuildInvoiceData) that the engine and client benchmarks read alike, kept as
// "tallyrook-bench-db_client-v*".
inline QString SharedInvoiceDataFolder() {
  return KeptDataFolder(QStringLiteral("db_client"), "tallyrook bench data 2",
                        [](const QString &folder) { BuildInvoiceData(folder); });
}

// The client components over the engine and the folder, owned by Module: client "client1", session
// "session1" and the open database "database1".
inline TffDatabase *OpenClientDatabase(TComponent *module, TffServerEngine *engine, const QString &folder) {
  auto *client = new TffClient(module);
  client->SetClientName(QStringLiteral("client1"));
  client->SetServerEngine(engine);
  auto *session = new TffSession(module);
  session->SetClientName(QStringLiteral("client1"));
  session->SetSessionName(QStringLiteral("session1"));
  auto *database = new TffDatabase(module);
  database->SetDatabaseName(QStringLiteral("database1"));
  database->SetSessionName(QStringLiteral("session1"));
  database->SetAliasName(folder);
  database->Open();
  return database;
}

// A table component of that database, owned by Module, on the table and index named.
inline TffTable *NewClientTable(TComponent *module, const QString &tableName, const QString &indexName) {
  auto *table = new TffTable(module);
  table->SetDatabaseName(QStringLiteral("database1"));
  table->SetSessionName(QStringLiteral("session1"));
  table->SetTableName(tableName);
  table->SetIndexName(indexName);
  return table;
}

// A plain SQLite connection to the folder's database file, set up as the engine sets up its own.
inline sqlite3 *OpenPlain(const QString &folder) {
  sqlite3 *plain = nullptr;
  if (sqlite3_open_v2(QDir(folder).filePath(QStringLiteral("tallyrook.db")).toUtf8().constData(), &plain,
                      SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
    qFatal("sqlite: cannot open the data in %s", qPrintable(folder));
  sqlite3_busy_timeout(plain, 5000);
  sqlite3_exec(plain, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
  return plain;
}

// The values of the current row, each column as its stored type gives it, as a plain program keeps a record.
inline QList<QVariant> PlainValues(sqlite3_stmt *statement) {
  const int columns = sqlite3_column_count(statement);
  QList<QVariant> values;
  values.reserve(columns);
  for (int column = 0; column < columns; ++column) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER: values.append(qint64(sqlite3_column_int64(statement, column))); break;
    case SQLITE_FLOAT: values.append(sqlite3_column_double(statement, column)); break;
    case SQLITE_TEXT:
      values.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                                      sqlite3_column_bytes(statement, column)));
      break;
    case SQLITE_BLOB:
      values.append(QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, column)),
                               sqlite3_column_bytes(statement, column)));
      break;
    default: values.append(QVariant()); break;
    }
  }
  return values;
}

// The key a plain program binds to find the first name at or after a typed one in the order of the user's
// language: the least collation key of the typed letters, made by ICU as the engine makes it.
inline QByteArray PlainSearchKey(const TffCollation &collation, const QString &typed) {
  return TffCollation::LowerBound(collation.Key(typed));
}

inline sqlite3_stmt *PreparePlain(sqlite3 *plain, const QByteArray &sql) {
  sqlite3_stmt *statement = nullptr;
  if (sqlite3_prepare_v2(plain, sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
    qFatal("sqlite: %s", sqlite3_errmsg(plain));
  return statement;
}

// The plain figures the engine and client benchmarks set beside theirs, each row read by ReadRow (a count of
// what it read) as that benchmark's own side reads a record.
//
// Finding the customer nearest to a typed name.
template <typename ReadRow>
void FindNearestCustomerPlain(benchmark::State &state, sqlite3 *plain, ReadRow readRow) {
  sqlite3_stmt *statement = PreparePlain(plain, kNearestCustomerSql);
  const TffCollation collation(QLocale().name());
  std::mt19937 random(2);
  for (auto _ : state) {
    const QByteArray key = PlainSearchKey(collation, TypedCustomerName(int(random() % kCustomers)));
    sqlite3_bind_blob(statement, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(statement) == SQLITE_ROW) benchmark::DoNotOptimize(readRow(statement));
    sqlite3_reset(statement);
  }
  sqlite3_finalize(statement);
}
// Reading all the invoices of one customer.
template <typename ReadRow>
void RangeOfOneCustomerPlain(benchmark::State &state, sqlite3 *plain, ReadRow readRow) {
  sqlite3_stmt *statement =
      PreparePlain(plain, SelectHeaders("WHERE CUSTNO = ? ORDER BY CUSTNO DESC, InvNUM DESC, ff_rowid"));
  std::mt19937 random(3);
  for (auto _ : state) {
    sqlite3_bind_int(statement, 1, int(random() % (kCustomers / 10)) + 1);
    int read = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) read += readRow(statement);
    sqlite3_reset(statement);
    benchmark::DoNotOptimize(read);
  }
  sqlite3_finalize(statement);
}

// Stores one invoice of 20 lines plainly, in one transaction: a number from `numberer`, the header through
// `header` (?1 the number, ?2 the customer's name; any other parameter is bound by the caller) and the lines
// through `line` (kInsertLineSql).
inline void StoreInvoicePlain(sqlite3 *plain, sqlite3_stmt *numberer, sqlite3_stmt *header,
                              sqlite3_stmt *line, const QByteArray &customer) {
  sqlite3_exec(plain, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  sqlite3_step(numberer);
  const int rec = sqlite3_column_int(numberer, 0);
  sqlite3_reset(numberer);
  sqlite3_bind_int(header, 1, rec);
  sqlite3_bind_text(header, 2, customer.constData(), int(customer.size()), SQLITE_STATIC);
  sqlite3_step(header);
  sqlite3_reset(header);
  for (int j = 0; j < 20; ++j) {
    const QByteArray text = QStringLiteral("Stored line %1").arg(j).toUtf8();
    sqlite3_bind_int(line, 1, rec);
    sqlite3_bind_text(line, 2, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    sqlite3_step(line);
    sqlite3_reset(line);
  }
  sqlite3_exec(plain, "COMMIT", nullptr, nullptr, nullptr);
}

// Removes the invoices the storing benchmarks added, so that a reused folder stays as it was built.
inline void RemoveStoredInvoices(sqlite3 *plain) {
  sqlite3_exec(
      plain,
      "BEGIN IMMEDIATE; DELETE FROM MINV2 WHERE REC > 100000; DELETE FROM MINV1 WHERE InvNUM >= 1e9; "
      "COMMIT",
      nullptr, nullptr, nullptr);
}

} // namespace invoice_data
