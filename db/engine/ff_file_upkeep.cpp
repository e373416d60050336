#include "db/engine/ff_file_upkeep.h"
#include "db/engine/ff_sqlite.h"
#include "db/storage/ff_collation.h"
#include "db/storage/ff_exceptions.h"
#include "db/storage/ff_sql_schema.h"
#include <sqlite3.h>

namespace {

struct StoredTable {
  QString Name;
  TffDataDictionary Dictionary;
  qint64 AutoIncSeed = 0;
  QList<int> KeyFields;
  int AutoIncField = -1;
};

// Runs a statement with values bound; `row`, when given, receives each row it returns.
template <typename Row>
TffError Query(TffSqliteConnection &connection, const QString &sql, const QList<QVariant> &binds, Row &&row) {
  sqlite3_stmt *statement = nullptr;
  if (TffError error = connection.Prepare(sql, statement); !error.Ok()) return error;
  TffSqliteStatement query(statement);
  query.BindAll(binds);
  int rc;
  while ((rc = query.Step()) == SQLITE_ROW) row(query);
  return rc == SQLITE_DONE ? TffError{} : connection.Failure(rc);
}

TffError Run(TffSqliteConnection &connection, const QString &sql, const QList<QVariant> &binds = {}) {
  return Query(connection, sql, binds, [](const TffSqliteStatement &) {});
}

// The tables the dictionary lists; with uncheckedOnly, those that another program changed.
TffError ReadTables(TffSqliteConnection &connection, QList<StoredTable> &tables, bool uncheckedOnly) {
  struct Row {
    QString Name;
    QByteArray Dictionary;
    qint64 AutoIncSeed;
  };
  QList<Row> rows;
  const QString sql = QStringLiteral("SELECT name, dictionary, autoinc_seed FROM %1%2")
                          .arg(QLatin1String(ffDictionaryTable),
                               uncheckedOnly ? QStringLiteral(" WHERE unchecked_changes <> 0") : QString());
  TffError error = Query(connection, sql, {}, [&](const TffSqliteStatement &row) {
    rows.append({row.Column(0).toString(), row.Column(1).toString().toUtf8(), row.ColumnInt64(2)});
  });
  if (!error.Ok()) return error;
  tables.clear();
  for (const Row &row : rows) {
    try {
      StoredTable table{
          row.Name, TffDataDictionary::ReadFromBytes(row.Dictionary, row.Name), row.AutoIncSeed, {}, -1};
      table.KeyFields = ffSqlKeyColumnFields(table.Dictionary);
      for (int field = 0; field < table.Dictionary.FieldCount() && table.AutoIncField < 0; ++field)
        if (table.Dictionary.FieldType(field) == fftAutoInc) table.AutoIncField = field;
      tables.append(std::move(table));
    } catch (const EffException &e) {
      return connection.FileFailure(DBIERR_DICTCORRUPT, e.Message());
    }
  }
  return {};
}

QString Quoted(const StoredTable &table, int field) { return ffSqlQuote(table.Dictionary.FieldName(field)); }
QString QuotedKey(const StoredTable &table, int field) {
  return ffSqlQuote(ffSqlKeyColumn(table.Dictionary.FieldName(field)));
}

// The condition that a row's key columns do not hold the keys of its texts.
QString StaleKeys(const StoredTable &table) {
  QStringList terms;
  for (int field : table.KeyFields)
    terms.append(QStringLiteral("%1 IS NOT ff_key(%2)").arg(QuotedKey(table, field), Quoted(table, field)));
  return terms.join(QStringLiteral(" OR "));
}

// Makes the key columns of the rows whose keys are stale, or of every row.
TffError FillKeys(TffSqliteConnection &connection, const StoredTable &table, bool everyRow = false) {
  QStringList assignments;
  for (int field : table.KeyFields)
    assignments.append(QStringLiteral("%1 = ff_key(%2)").arg(QuotedKey(table, field), Quoted(table, field)));
  QString sql = QStringLiteral("UPDATE %1 SET %2").arg(ffSqlQuote(table.Name), assignments.join(u", "));
  if (!everyRow) sql += QStringLiteral(" WHERE ") + StaleKeys(table);
  return Run(connection, sql);
}

// Version 1 sorted case-insensitive fields by a collation of its own. Its indexes go first (SQLite drops an
// index without knowing its collation), then the key columns come in, filled, and the indexes are made on
// them.
TffError UpgradeFromVersion1(TffSqliteConnection &connection, const QList<StoredTable> &tables) {
  for (const StoredTable &table : tables) {
    if (table.KeyFields.isEmpty()) continue;
    for (int i = 1; i < table.Dictionary.IndexCount(); ++i) {
      const QString index = ffSqlIndexName(table.Name, table.Dictionary.IndexDescriptor(i).idName);
      if (TffError error = connection.Exec(QStringLiteral("DROP INDEX IF EXISTS ") + ffSqlQuote(index));
          !error.Ok())
        return error;
    }
  }
  for (const StoredTable &table : tables) {
    if (table.KeyFields.isEmpty()) continue;
    for (int field : table.KeyFields) {
      const QString add = QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 BLOB")
                              .arg(ffSqlQuote(table.Name), QuotedKey(table, field));
      if (TffError error = connection.Exec(add); !error.Ok()) return error;
    }
    if (TffError error = FillKeys(connection, table); !error.Ok()) return error;
    for (const QString &sql : ffSqlCreateIndexStatements(table.Name, table.Dictionary))
      if (TffError error = connection.Exec(sql); !error.Ok()) return error;
  }
  return {};
}

// Version 2 kept no note of other programs' changes: the triggers come in, and as nobody knows what other
// programs did before, every table is to be checked.
TffError UpgradeFromVersion2(TffSqliteConnection &connection, const QList<StoredTable> &tables) {
  const QString dictionary = QLatin1String(ffDictionaryTable);
  QStringList statements{
      QStringLiteral("ALTER TABLE %1 ADD COLUMN unchecked_changes INTEGER NOT NULL DEFAULT 0")
          .arg(dictionary),
      QStringLiteral("UPDATE %1 SET unchecked_changes = 1").arg(dictionary)};
  for (const StoredTable &table : tables)
    statements += ffSqlCreateTriggerStatements(table.Name, table.Dictionary);
  for (const QString &sql : statements)
    if (TffError error = connection.Exec(sql); !error.Ok()) return error;
  return {};
}

// Version 3 kept no properties; its key columns held folded texts, which the check of the rules the keys
// follow (there are none recorded) makes again.
TffError UpgradeFromVersion3(TffSqliteConnection &connection) {
  return connection.Exec(ffSqlCreatePropertiesStatement(true));
}

TffError Upgrade(TffSqliteConnection &connection) {
  // Another program may have upgraded the file since it was opened.
  qint64 version = 0;
  if (TffError error = Query(connection, QStringLiteral("PRAGMA user_version"), {},
                             [&](auto &row) { version = row.ColumnInt64(0); });
      !error.Ok())
    return error;
  if (version >= ffSchemaVersion) return {};
  QList<StoredTable> tables;
  if (TffError error = ReadTables(connection, tables, false); !error.Ok()) return error;
  if (version < 2)
    if (TffError error = UpgradeFromVersion1(connection, tables); !error.Ok()) return error;
  if (version < 3)
    if (TffError error = UpgradeFromVersion2(connection, tables); !error.Ok()) return error;
  if (TffError error = UpgradeFromVersion3(connection); !error.Ok()) return error;
  return connection.Exec(QStringLiteral("PRAGMA user_version = %1").arg(ffSchemaVersion));
}

// What another program left to put right in a table.
struct Repair {
  bool Keys = false;
  qint64 HighestNumber = 0;
  bool Unnumbered = false;
};

TffError FindRepair(TffSqliteConnection &connection, const StoredTable &table, Repair &repair) {
  const QString name = ffSqlQuote(table.Name);
  if (!table.KeyFields.isEmpty()) {
    const QString sql =
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1 WHERE %2)").arg(name, StaleKeys(table));
    if (TffError error = Query(connection, sql, {}, [&](auto &row) { repair.Keys = row.ColumnInt64(0); });
        !error.Ok())
      return error;
  }
  if (table.AutoIncField >= 0) {
    const QString field = Quoted(table, table.AutoIncField);
    const QString sql = QStringLiteral("SELECT (SELECT max(%2) FROM %1), "
                                       "EXISTS (SELECT 1 FROM %1 WHERE %2 IS NULL OR %2 = 0)")
                            .arg(name, field);
    if (TffError error = Query(connection, sql, {},
                               [&](auto &row) {
                                 repair.HighestNumber = row.ColumnInt64(0);
                                 repair.Unnumbered = row.ColumnInt64(1);
                               });
        !error.Ok())
      return error;
  }
  return {};
}

TffError Number(TffSqliteConnection &connection, const StoredTable &table, const Repair &repair) {
  qint64 seed = std::max(table.AutoIncSeed, repair.HighestNumber);
  if (repair.Unnumbered) {
    const QString name = ffSqlQuote(table.Name), field = Quoted(table, table.AutoIncField);
    const QString rowId = ffSqlQuote(QLatin1String(ffRowIdColumn));
    QList<qint64> rows;
    const QString find =
        QStringLiteral("SELECT %3 FROM %1 WHERE %2 IS NULL OR %2 = 0 ORDER BY %3").arg(name, field, rowId);
    if (TffError error = Query(connection, find, {}, [&](auto &row) { rows.append(row.ColumnInt64(0)); });
        !error.Ok())
      return error;
    const QString number = QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(name, field, rowId);
    for (qint64 row : rows)
      if (TffError error = Run(connection, number, {QVariant(++seed), QVariant(row)}); !error.Ok())
        return error;
  }
  const QString sql =
      QStringLiteral("UPDATE %1 SET autoinc_seed = ? WHERE name = ?").arg(QLatin1String(ffDictionaryTable));
  return Run(connection, sql, {QVariant(seed), table.Name});
}

// Puts right what other programs left in a table, and clears its mark.
TffError CheckTable(TffSqliteConnection &connection, const StoredTable &table) {
  Repair repair;
  if (TffError error = FindRepair(connection, table, repair); !error.Ok()) return error;
  if (repair.Keys)
    if (TffError error = FillKeys(connection, table); !error.Ok()) return error;
  if (repair.Unnumbered || repair.HighestNumber > table.AutoIncSeed)
    if (TffError error = Number(connection, table, repair); !error.Ok()) return error;
  const QString sql = QStringLiteral("UPDATE %1 SET unchecked_changes = 0 WHERE name = ?")
                          .arg(QLatin1String(ffDictionaryTable));
  return Run(connection, sql, {table.Name});
}

// The rules the file's keys follow, as recorded (empty for none).
TffError RecordedCollation(TffSqliteConnection &connection, QString &identity) {
  identity.clear();
  return Query(connection,
               QStringLiteral("SELECT value FROM %1 WHERE name = ?").arg(QLatin1String(ffPropertiesTable)),
               {QLatin1String(ffCollationProperty)}, [&](auto &row) { identity = row.Column(0).toString(); });
}

// Makes every key of every table again by the connection's rules, and records them.
TffError RebuildKeys(TffSqliteConnection &connection) {
  QList<StoredTable> tables;
  if (TffError error = ReadTables(connection, tables, false); !error.Ok()) return error;
  for (const StoredTable &table : tables)
    if (!table.KeyFields.isEmpty())
      if (TffError error = FillKeys(connection, table, true); !error.Ok()) return error;
  return Run(connection,
             QStringLiteral("INSERT OR REPLACE INTO %1 (name, value) VALUES (?, ?)")
                 .arg(QLatin1String(ffPropertiesTable)),
             {QLatin1String(ffCollationProperty), connection.Collation()->Identity()});
}

// Runs body in a write transaction, which it commits when body succeeds and rolls back otherwise.
template <typename Body>
TffError InWriteTransaction(TffSqliteConnection &connection, Body &&body) {
  if (TffError error = connection.Run(QStringLiteral("BEGIN IMMEDIATE")); !error.Ok()) return error;
  TffError error = body();
  if (error.Ok()) error = connection.Run(QStringLiteral("COMMIT"));
  if (connection.InTransaction()) connection.Run(QStringLiteral("ROLLBACK"));
  return error;
}

} // namespace

TffError ffBringFileUpToDate(TffSqliteConnection &connection) {
  // Looking takes no lock on writing: a file of this layout, with keys by these rules and no table that
  // other programs changed, is only read.
  const QString rules = connection.Collation()->Identity();
  QString recorded;
  QList<StoredTable> marked;
  const bool current = connection.SchemaVersion() == ffSchemaVersion;
  TffError error = current ? RecordedCollation(connection, recorded) : TffError{};
  if (error.Ok() && current && recorded == rules) error = ReadTables(connection, marked, true);
  if (error.Ok() && (!current || recorded != rules || !marked.isEmpty()))
    error = InWriteTransaction(connection, [&] {
      // Another program may have done some of it since the file was looked at.
      if (TffError e = Upgrade(connection); !e.Ok()) return e;
      if (TffError e = RecordedCollation(connection, recorded); !e.Ok()) return e;
      if (recorded != rules)
        if (TffError e = RebuildKeys(connection); !e.Ok()) return e;
      if (TffError e = ReadTables(connection, marked, true); !e.Ok()) return e;
      for (const StoredTable &table : marked)
        if (TffError e = CheckTable(connection, table); !e.Ok()) return e;
      return TffError{};
    });
  connection.ClearStatementCache();
  return error;
}
