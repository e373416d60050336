#include "db/engine/ff_server_engine.h"
#include "db/engine/ff_database_file.h"
#include "db/engine/ff_file_upkeep.h"
#include "db/engine/ff_record_values.h"
#include "db/engine/ff_sqlite.h"
#include "db/storage/ff_sql_schema.h"
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>

// ---- Internal state ----

struct TffServerEngine::Table {
  explicit Table(const QString &name, const TffDataDictionary &dictionary)
      : Name(name), Quoted(ffSqlQuote(name)), Dictionary(dictionary) {
    Dictionary.SetBaseName(name);
    Dictionary.SetReadOnly();
    QStringList columns{ffSqlQuote(QLatin1String(ffRowIdColumn))};
    QStringList fieldColumns;
    for (int i = 0; i < Dictionary.FieldCount(); ++i) {
      fieldColumns.append(ffSqlQuote(Dictionary.FieldName(i)));
      if (AutoIncField < 0 && Dictionary.FieldType(i) == fftAutoInc) AutoIncField = i;
    }
    Columns = (columns + fieldColumns).join(u", ");
    FieldColumns = fieldColumns;
    KeyFields = ffSqlKeyColumnFields(Dictionary);
    WriteColumns = fieldColumns;
    for (int field : KeyFields) WriteColumns.append(ffSqlQuote(ffSqlKeyColumn(Dictionary.FieldName(field))));
    for (int i = 0; i < Dictionary.IndexCount(); ++i) {
      const TffIndexDescriptor &descriptor = Dictionary.IndexDescriptor(i);
      TffIndexSchema index{descriptor.idName, ffSqlIndexName(name, descriptor.idName), {}};
      for (const TffIndexField &field : descriptor.idFields)
        index.Segments.append(
            TffKeySegment{field.FieldNumber, ffSqlKeyExpression(Dictionary, field), field.Descending,
                          field.CaseInsensitive && ffIsStringType(Dictionary.FieldType(field.FieldNumber))});
      Indexes.append(index);
    }
  }

  QString Name;   // as the table was created
  QString Quoted; // for SQL
  TffDataDictionary Dictionary;
  QString Columns;          // row id and every field, for SELECT
  QStringList FieldColumns; // every field, quoted
  QList<int> KeyFields;     // the fields with a key column
  QStringList WriteColumns; // every field, then the key columns, quoted
  QList<TffIndexSchema> Indexes;
  int AutoIncField = -1;

  // The number of the named index (the first when the name is empty), or -1.
  int IndexNumber(const QString &indexName) const {
    return indexName.isEmpty() ? 0 : Dictionary.GetIndexFromName(indexName);
  }
  // The values a row stores: the fields' values, then the key columns' folded texts.
  QList<QVariant> RowValues(const QList<QVariant> &stored) const {
    QList<QVariant> row = stored;
    for (int field : KeyFields) row.append(FoldedKey(stored[field]));
    return row;
  }
  static QVariant FoldedKey(const QVariant &value) {
    return value.isValid() ? QVariant(ffFoldCase(value.toString())) : value;
  }
};

struct TffServerEngine::Database {
  TffDatabaseID Id = 0;
  std::unique_ptr<TffSqliteConnection> Connection;
  bool ExplicitTransaction = false;
  QHash<QString, std::shared_ptr<Table>> Tables; // by case-folded name

  QString Location(const QString &tableName) const {
    return QStringLiteral("%1 in %2").arg(tableName, QDir::toNativeSeparators(Connection->FilePath()));
  }
};

struct TffServerEngine::Cursor {
  enum class Place { Begin, End, OnRecord, Gap };

  TffCursorID Id = 0;
  Database *Db = nullptr;
  std::shared_ptr<Table> Tbl;
  int Index = 0;
  Place At = Place::Begin;
  TffBookmark RowId = 0;
  QList<QVariant> Key; // stored values of the index fields of the record at RowId
  bool HasRange = false;
  TffKeyRange Range;
  int RangeFixed = 0;    // leading index fields the range holds to one value
  QByteArray RangeShape; // what the range's SQL depends on (empty for no range)

  // The SQL of a range: one condition, to test a record or count, and how reads keep within it.
  struct RangeSqlSet {
    TffSqlPart Condition;
    TffRangeReads Reads[2]; // forward, backward
  };
  // The SQL made so far on this index, for each shape of range and of read: the values are bound anew.
  QHash<QByteArray, RangeSqlSet> RangeSqls;
  QHash<QByteArray, QStringList> Reads;

  const RangeSqlSet &RangeSql() {
    auto found = RangeSqls.find(RangeShape);
    if (found == RangeSqls.end())
      found = RangeSqls.insert(RangeShape, {ffRangeCondition(IndexSchema(), Range),
                                            {ffRangeReads(IndexSchema(), Range, TffScan::Forward),
                                             ffRangeReads(IndexSchema(), Range, TffScan::Backward)}});
    return *found;
  }
  void SwitchIndex(int index) {
    Index = index;
    RangeSqls.clear();
    Reads.clear();
    ClearRange();
  }

  const TffIndexSchema &IndexSchema() const { return Tbl->Indexes[Index]; }
  QString Location() const { return Db->Location(Tbl->Name); }
  TffSlots Slots() const { return TffSlots(IndexSchema()); }
  // The values of the statements' parameters for a read from a position (a key and maybe a row id).
  QList<QVariant> Parameters(int limit, const QList<QVariant> &key, const QVariant &rowId) const {
    return Slots().Values(limit, key, rowId, Range.Start, Range.End);
  }
  // Off every record, before the first (Begin) or after the last (End).
  void Reset(Place place = Place::Begin) {
    At = place;
    RowId = 0;
    Key.clear();
  }
  void ClearRange() {
    HasRange = false;
    Range = {};
    RangeFixed = 0;
    RangeShape.clear();
    Reset();
  }
  void SetOnRecord(TffBookmark rowId, const QList<QVariant> &key) {
    At = Place::OnRecord;
    RowId = rowId;
    Key = key;
  }
  TffError NoCurrentRecord() const {
    return {DBIERR_NOCURRREC, QStringLiteral("No current record in table %1").arg(Location())};
  }
  TffError RecordDeleted() const {
    return {DBIERR_RECDELETED, QStringLiteral("The record has been deleted from table %1").arg(Location())};
  }
  TffError CheckKeyFieldCount(qsizetype count) const {
    const TffIndexSchema &index = IndexSchema();
    if (count <= index.Segments.size()) return {};
    return {DBIERR_TOOMANYKEYFIELDS, QStringLiteral("Index %1 of table %2 has %3 fields")
                                         .arg(index.Name, Tbl->Name)
                                         .arg(index.Segments.size())};
  }
  // Values given for the leading fields of the cursor's index, as the index stores them.
  TffError StoredKey(const QList<QVariant> &values, QList<QVariant> &stored) const {
    for (int i = 0; i < values.size(); ++i) {
      QVariant value;
      if (TffError error =
              ffValueToStored(Tbl->Dictionary, IndexSchema().Segments[i].Field, values[i], true, value);
          !error.Ok())
        return error;
      stored.append(IndexSchema().Segments[i].NoCase ? Table::FoldedKey(value) : value);
    }
    return {};
  }
};

namespace {

const QString kOperationSavepoint = QStringLiteral("ff_operation");

QList<QVariant> KeyOf(const TffIndexSchema &index, const QList<QVariant> &storedValues) {
  QList<QVariant> key;
  key.reserve(index.Segments.size());
  for (const TffKeySegment &segment : index.Segments) {
    const QVariant &value = storedValues[segment.Field];
    key.append(segment.NoCase && value.isValid() ? QVariant(ffFoldCase(value.toString())) : value);
  }
  return key;
}

// Table names compare as SQLite compares them: ASCII letters without regard to case, others exactly.
QString TableKey(const QString &tableName) {
  QString key = tableName;
  for (QChar &c : key)
    if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 32);
  return key;
}

QString CanonicalPath(const QString &path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return canonical.isEmpty() ? path : canonical;
}

TffError NoSuchIndex(const QString &indexName, const QString &tableLocation) {
  return {DBIERR_NOSUCHINDEX,
          QStringLiteral("Index %1 does not exist in table %2").arg(indexName, tableLocation)};
}

QString Indexed(const TffIndexSchema &index) {
  return index.Sequential() ? QString() : QStringLiteral(" INDEXED BY ") + ffSqlQuote(index.SqlName);
}

// Runs one kept statement that returns no rows; context, if given, leads a failure's message.
TffError RunStatement(TffSqliteConnection &connection, const QString &sql, const QList<QVariant> &binds,
                      const QString &context = QString()) {
  sqlite3_stmt *statement = nullptr;
  if (TffError error = connection.Prepare(sql, statement); !error.Ok()) return error;
  TffSqliteStatement query(statement);
  query.BindAll(binds);
  if (const int rc = query.Step(); rc != SQLITE_DONE) return connection.Failure(rc, context);
  return {};
}

// A record's field values from the values its row stores.
QList<QVariant> ValuesFromStored(const TffDataDictionary &dictionary, const QList<QVariant> &stored) {
  QList<QVariant> values;
  values.reserve(stored.size());
  for (int i = 0; i < stored.size(); ++i)
    values.append(ffValueFromStored(dictionary.FieldType(i), stored[i]));
  return values;
}

// What the statements of a read depend on: its direction; whether it starts from the edge; else which
// values of the position's key are null, whether the read starts at the key or after it or after a record
// (a row id), and how many leading fields the range holds.
QByteArray ReadShape(TffScan scan, const QList<QVariant> *key, bool inclusive, bool withRowId, int fixed) {
  QByteArray shape(1, scan == TffScan::Forward ? 'f' : 'b');
  if (!key) return shape + 'e';
  shape += char((inclusive ? 1 : 0) | (withRowId ? 2 : 0));
  shape += char(fixed);
  for (const QVariant &value : *key) shape += value.isValid() ? 'v' : 'n';
  return shape;
}

// What the SQL of a range depends on: which of its values are null, whether its ends are included, and how
// many leading fields it holds to one value.
QByteArray RangeShape(const TffKeyRange &range, int fixed) {
  QByteArray shape;
  shape += char((range.StartInclusive ? 1 : 0) | (range.EndInclusive ? 2 : 0));
  shape += char(fixed);
  for (const QVariant &value : range.Start) shape += value.isValid() ? 'v' : 'n';
  shape += '-';
  for (const QVariant &value : range.End) shape += value.isValid() ? 'v' : 'n';
  return shape + '|';
}

} // namespace

// ---- Engine ----

TffServerEngine::TffServerEngine() = default;

TffServerEngine::~TffServerEngine() {
  cursors_.clear();
  databases_.clear();
}

void TffServerEngine::SetBusyTimeout(int milliseconds) {
  busyTimeout_ = milliseconds;
  for (auto &[id, database] : databases_) database->Connection->SetBusyTimeout(milliseconds);
}

TffResult TffServerEngine::Fail(const TffError &error) {
  lastError_ = error;
  return error.Code;
}

TffResult TffServerEngine::Fail(TffResult code, const QString &message) {
  return Fail(TffError{code, message});
}

TffServerEngine::Database *TffServerEngine::FindDatabase(TffDatabaseID id, TffResult &result) {
  const auto found = databases_.find(id);
  if (found == databases_.end()) {
    result = Fail(DBIERR_INVALIDHNDL, QStringLiteral("Invalid database handle %1").arg(id));
    return nullptr;
  }
  result = DBIERR_NONE;
  return found->second.get();
}

TffServerEngine::Cursor *TffServerEngine::FindCursor(TffCursorID id, TffResult &result) {
  const auto found = cursors_.find(id);
  if (found == cursors_.end()) {
    result = Fail(DBIERR_INVALIDHNDL, QStringLiteral("Invalid cursor handle %1").arg(id));
    return nullptr;
  }
  result = DBIERR_NONE;
  return found->second.get();
}

template <typename Body>
TffError TffServerEngine::WriteOperation(Database &database, Body &&body) {
  TffSqliteConnection &connection = *database.Connection;
  if (database.ExplicitTransaction && !connection.InTransaction())
    return connection.FileFailure(
        DBIERR_TRANABORTED, QStringLiteral("an earlier failure ended the transaction; roll it back first"));
  const bool ownTransaction = !database.ExplicitTransaction;
  TffError error = connection.Run(ownTransaction ? QStringLiteral("BEGIN IMMEDIATE")
                                                 : QStringLiteral("SAVEPOINT ") + kOperationSavepoint);
  if (!error.Ok()) return error;
  error = body();
  if (error.Ok()) {
    error = connection.Run(ownTransaction ? QStringLiteral("COMMIT")
                                          : QStringLiteral("RELEASE ") + kOperationSavepoint);
    if (error.Ok()) return error;
  }
  if (ownTransaction) {
    if (connection.InTransaction()) connection.Run(QStringLiteral("ROLLBACK"));
  } else if (connection.InTransaction()) {
    connection.Run(QStringLiteral("ROLLBACK TO ") + kOperationSavepoint);
    connection.Run(QStringLiteral("RELEASE ") + kOperationSavepoint);
  } else {
    database.Tables.clear();
    error.Message += QStringLiteral(". The open transaction was rolled back: none of its changes were saved");
  }
  return error;
}

template <typename Body>
TffError TffServerEngine::SchemaOperation(Database &database, const QString &tableName, Body &&body) {
  TffSqliteConnection &connection = *database.Connection;
  connection.ClearStatementCache();
  const TffError error = WriteOperation(database, std::forward<Body>(body));
  connection.ClearStatementCache();
  ForgetTable(database, tableName);
  return error;
}

// ---- Databases ----

TffResult TffServerEngine::DatabaseCreate(const QString &folder) {
  const TffError error = ffCreateDatabaseFile(folder);
  return error.Ok() ? DBIERR_NONE : Fail(error);
}

TffResult TffServerEngine::DatabaseOpen(const QString &folder, TffDatabaseID &database) {
  database = 0;
  if (!QFileInfo(folder).isDir())
    return Fail(DBIERR_NOSUCHFOLDER, ffResultText(DBIERR_NOSUCHFOLDER) + QStringLiteral(": ") +
                                         QDir::toNativeSeparators(QDir::cleanPath(folder)));
  return DatabaseOpenFile(ffDatabaseFilePath(folder), database);
}

TffResult TffServerEngine::DatabaseOpenFile(const QString &filePath, TffDatabaseID &database) {
  database = 0;
  std::unique_ptr<TffSqliteConnection> connection;
  if (TffError error = TffSqliteConnection::Open(filePath, busyTimeout_, connection); !error.Ok())
    return Fail(error);
  if (TffError error = ffBringFileUpToDate(*connection); !error.Ok()) return Fail(error);
  auto opened = std::make_unique<Database>();
  opened->Id = nextHandle_++;
  opened->Connection = std::move(connection);
  database = opened->Id;
  databases_.emplace(database, std::move(opened));
  return DBIERR_NONE;
}

TffResult TffServerEngine::DatabaseClose(TffDatabaseID database) {
  TffResult result;
  Database *db = FindDatabase(database, result);
  if (!db) return result;
  std::erase_if(cursors_, [db](const auto &entry) { return entry.second->Db == db; });
  if (db->Connection->InTransaction()) db->Connection->Exec(QStringLiteral("ROLLBACK"));
  databases_.erase(database);
  return DBIERR_NONE;
}

TffResult TffServerEngine::DatabaseGetFilePath(TffDatabaseID database, QString &filePath) {
  TffResult result;
  Database *db = FindDatabase(database, result);
  if (!db) return result;
  filePath = db->Connection->FilePath();
  return DBIERR_NONE;
}

TffResult TffServerEngine::DatabaseTableList(TffDatabaseID database, QStringList &tables) {
  tables.clear();
  TffResult result;
  Database *db = FindDatabase(database, result);
  if (!db) return result;
  sqlite3_stmt *statement = nullptr;
  const QString sql =
      QStringLiteral("SELECT name FROM %1 ORDER BY name").arg(QLatin1String(ffDictionaryTable));
  if (TffError error = db->Connection->Prepare(sql, statement); !error.Ok()) return Fail(error);
  TffSqliteStatement query(statement);
  int rc;
  while ((rc = query.Step()) == SQLITE_ROW) tables.append(query.Column(0).toString());
  if (rc != SQLITE_DONE) return Fail(db->Connection->Failure(rc));
  return DBIERR_NONE;
}

TffResult TffServerEngine::DatabaseTableExists(TffDatabaseID database, const QString &tableName,
                                               bool &exists) {
  exists = false;
  TffResult result;
  Database *db = FindDatabase(database, result);
  if (!db) return result;
  sqlite3_stmt *statement = nullptr;
  const QString sql =
      QStringLiteral("SELECT count(*) FROM %1 WHERE name = ?").arg(QLatin1String(ffDictionaryTable));
  if (TffError error = db->Connection->Prepare(sql, statement); !error.Ok()) return Fail(error);
  TffSqliteStatement query(statement);
  query.Bind(1, tableName);
  const int rc = query.Step();
  if (rc != SQLITE_ROW) return Fail(db->Connection->Failure(rc));
  exists = query.ColumnInt64(0) > 0;
  return DBIERR_NONE;
}

TffResult TffServerEngine::DatabaseSetSizeLimit(TffDatabaseID database, qint64 bytes) {
  TffResult result;
  Database *db = FindDatabase(database, result);
  if (!db) return result;
  const TffError error = db->Connection->SetSizeLimit(bytes);
  return error.Ok() ? DBIERR_NONE : Fail(error);
}

// ---- Tables ----

TffError TffServerEngine::LoadTable(Database &database, const QString &tableName,
                                    std::shared_ptr<Table> &table) {
  const QString key = TableKey(tableName);
  table = database.Tables.value(key);
  if (table) return {};
  TffSqliteConnection &connection = *database.Connection;
  sqlite3_stmt *statement = nullptr;
  const QString sql =
      QStringLiteral("SELECT d.name, d.dictionary, (SELECT count(*) FROM sqlite_schema s WHERE "
                     "s.type = 'table' AND s.name = d.name) FROM %1 d WHERE d.name = ?")
          .arg(QLatin1String(ffDictionaryTable));
  if (TffError error = connection.Prepare(sql, statement); !error.Ok()) return error;
  TffSqliteStatement query(statement);
  query.Bind(1, tableName);
  const int rc = query.Step();
  if (rc == SQLITE_DONE)
    return {DBIERR_NOSUCHTABLE, QStringLiteral("Table %1 does not exist").arg(database.Location(tableName))};
  if (rc != SQLITE_ROW) return connection.Failure(rc, QStringLiteral("Table ") + tableName);
  const QString storedName = query.Column(0).toString();
  if (query.ColumnInt64(2) == 0)
    return connection.FileFailure(DBIERR_FILECORRUPT,
                                  QStringLiteral("the data of table %1 is missing").arg(storedName));
  try {
    const TffDataDictionary dictionary =
        TffDataDictionary::ReadFromBytes(query.Column(1).toString().toUtf8(), storedName);
    table = std::make_shared<Table>(storedName, dictionary);
  } catch (const EffException &e) {
    return connection.FileFailure(DBIERR_DICTCORRUPT, e.Message());
  }
  database.Tables.insert(key, table);
  return {};
}

TffResult TffServerEngine::FindTable(TffDatabaseID database, const QString &tableName, Database *&db,
                                     std::shared_ptr<Table> &table) {
  TffResult result;
  db = FindDatabase(database, result);
  if (!db) return result;
  if (TffError error = LoadTable(*db, tableName, table); !error.Ok()) return Fail(error);
  return DBIERR_NONE;
}

bool TffServerEngine::TableHasCursors(const Database &database, const QString &tableName) const {
  const QString path = CanonicalPath(database.Connection->FilePath());
  const QString key = TableKey(tableName);
  for (const auto &[id, cursor] : cursors_)
    if (TableKey(cursor->Tbl->Name) == key && CanonicalPath(cursor->Db->Connection->FilePath()) == path)
      return true;
  return false;
}

void TffServerEngine::ForgetTable(const Database &database, const QString &tableName) {
  const QString path = CanonicalPath(database.Connection->FilePath());
  for (auto &[id, other] : databases_)
    if (CanonicalPath(other->Connection->FilePath()) == path) other->Tables.remove(TableKey(tableName));
}

TffResult TffServerEngine::TableBuild(TffDatabaseID database, bool overWrite, const QString &tableName,
                                      const TffDataDictionary &dictionary) {
  TffResult result;
  Database *db = FindDatabase(database, result);
  if (!db) return result;
  if (!ffSqlValidTableName(tableName))
    return Fail(DBIERR_INVALIDTABLENAME, QStringLiteral("Invalid table name \"%1\"").arg(tableName));
  if (dictionary.FieldCount() == 0)
    return Fail(DBIERR_INVALIDDICTIONARY,
                QStringLiteral("The definition of table %1 has no fields").arg(db->Location(tableName)));
  for (int i = 0; i < dictionary.FieldCount(); ++i)
    if (dictionary.FieldName(i).startsWith(QLatin1String(ffReservedPrefix), Qt::CaseInsensitive))
      return Fail(DBIERR_INVALIDFIELDNAME,
                  QStringLiteral("The field name %1 is reserved by the engine (table %2)")
                      .arg(dictionary.FieldName(i), db->Location(tableName)));
  bool exists = false;
  if (const TffResult listed = DatabaseTableExists(database, tableName, exists); listed != DBIERR_NONE)
    return listed;
  if (exists && !overWrite)
    return Fail(DBIERR_TABLEEXISTS, QStringLiteral("Table %1 already exists").arg(db->Location(tableName)));
  if (exists && TableHasCursors(*db, tableName))
    return Fail(DBIERR_TABLEINUSE,
                QStringLiteral("Table %1 is in use and cannot be replaced").arg(db->Location(tableName)));

  const QByteArray stored = dictionary.WriteToBytes();
  TffSqliteConnection &connection = *db->Connection;
  const TffError error = SchemaOperation(*db, tableName, [&]() -> TffError {
    if (exists) {
      if (TffError e = connection.Exec(QStringLiteral("DROP TABLE IF EXISTS ") + ffSqlQuote(tableName));
          !e.Ok())
        return e;
    }
    const QStringList statements = QStringList{ffSqlCreateTableStatement(tableName, dictionary)} +
                                   ffSqlCreateIndexStatements(tableName, dictionary) +
                                   ffSqlCreateTriggerStatements(tableName, dictionary);
    for (const QString &sql : statements)
      if (TffError e = connection.Exec(sql); !e.Ok()) return e;
    const QString insert =
        QStringLiteral("INSERT OR REPLACE INTO %1 (name, dictionary, autoinc_seed) VALUES (?, ?, 0)")
            .arg(QLatin1String(ffDictionaryTable));
    return RunStatement(connection, insert, {tableName, QString::fromUtf8(stored)},
                        QStringLiteral("Table ") + tableName);
  });
  return error.Ok() ? DBIERR_NONE : Fail(error);
}

TffResult TffServerEngine::TableDelete(TffDatabaseID database, const QString &tableName) {
  Database *db = nullptr;
  std::shared_ptr<Table> table;
  if (const TffResult result = FindTable(database, tableName, db, table); result != DBIERR_NONE)
    return result;
  if (TableHasCursors(*db, tableName))
    return Fail(DBIERR_TABLEINUSE,
                QStringLiteral("Table %1 is in use and cannot be deleted").arg(db->Location(tableName)));
  TffSqliteConnection &connection = *db->Connection;
  const TffError error = SchemaOperation(*db, tableName, [&]() -> TffError {
    if (TffError e = connection.Exec(QStringLiteral("DROP TABLE ") + table->Quoted); !e.Ok()) return e;
    const QString remove =
        QStringLiteral("DELETE FROM %1 WHERE name = ?").arg(QLatin1String(ffDictionaryTable));
    return RunStatement(connection, remove, {table->Name});
  });
  return error.Ok() ? DBIERR_NONE : Fail(error);
}

TffResult TffServerEngine::TableEmpty(TffDatabaseID database, const QString &tableName) {
  Database *db = nullptr;
  std::shared_ptr<Table> table;
  if (const TffResult result = FindTable(database, tableName, db, table); result != DBIERR_NONE)
    return result;
  TffSqliteConnection &connection = *db->Connection;
  const TffError error = WriteOperation(*db, [&] {
    return RunStatement(connection, QStringLiteral("DELETE FROM ") + table->Quoted, {},
                        QStringLiteral("Table ") + table->Name);
  });
  return error.Ok() ? DBIERR_NONE : Fail(error);
}

namespace {

bool SameFields(const TffDataDictionary &a, const TffDataDictionary &b) {
  if (a.FieldCount() != b.FieldCount()) return false;
  for (int i = 0; i < a.FieldCount(); ++i) {
    const TffFieldDescriptor &x = a.FieldDescriptor(i), &y = b.FieldDescriptor(i);
    if (x.fdName != y.fdName || x.fdType != y.fdType || x.fdUnits != y.fdUnits || x.fdDecPl != y.fdDecPl ||
        x.fdRequired != y.fdRequired)
      return false;
  }
  return true;
}

} // namespace

TffResult TffServerEngine::TableChangeIndexes(TffDatabaseID database, const QString &tableName,
                                              const TffDataDictionary &dictionary) {
  Database *db = nullptr;
  std::shared_ptr<Table> table;
  if (const TffResult result = FindTable(database, tableName, db, table); result != DBIERR_NONE)
    return result;
  if (!SameFields(table->Dictionary, dictionary))
    return Fail(DBIERR_INVALIDDICTIONARY,
                QStringLiteral("The new indexes of table %1 come with other fields than the table has")
                    .arg(db->Location(table->Name)));
  if (TableHasCursors(*db, table->Name))
    return Fail(DBIERR_TABLEINUSE,
                QStringLiteral("Table %1 is in use and cannot be changed").arg(db->Location(table->Name)));

  const QString name = table->Name;
  const TffDataDictionary &old = table->Dictionary;
  const QList<int> oldKeys = ffSqlKeyColumnFields(old), newKeys = ffSqlKeyColumnFields(dictionary);
  const QByteArray stored = dictionary.WriteToBytes();
  TffSqliteConnection &connection = *db->Connection;
  const TffError error = SchemaOperation(*db, name, [&]() -> TffError {
    // The triggers name the key columns, which may go.
    QStringList statements = ffSqlDropTriggerStatements(name);
    for (int i = 1; i < old.IndexCount(); ++i)
      statements.append(QStringLiteral("DROP INDEX IF EXISTS ") +
                        ffSqlQuote(ffSqlIndexName(name, old.IndexName(i))));
    // Key columns come and go with the case-insensitive string fields the indexes sort by; a new one is
    // filled with its field's folded text.
    for (int field : oldKeys)
      if (!newKeys.contains(field))
        statements.append(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                              .arg(ffSqlQuote(name), ffSqlQuote(ffSqlKeyColumn(old.FieldName(field)))));
    for (int field : newKeys)
      if (!oldKeys.contains(field)) {
        const QString key = ffSqlQuote(ffSqlKeyColumn(old.FieldName(field)));
        statements.append(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 TEXT").arg(ffSqlQuote(name), key));
        statements.append(QStringLiteral("UPDATE %1 SET %2 = ff_fold(%3)")
                              .arg(ffSqlQuote(name), key, ffSqlQuote(old.FieldName(field))));
      }
    statements += ffSqlCreateIndexStatements(name, dictionary);
    statements += ffSqlCreateTriggerStatements(name, dictionary);
    for (const QString &sql : statements)
      if (TffError e = connection.Exec(sql); !e.Ok()) {
        e.Message = QStringLiteral("Table %1: %2").arg(name, e.Message);
        return e;
      }
    const QString update =
        QStringLiteral("UPDATE %1 SET dictionary = ? WHERE name = ?").arg(QLatin1String(ffDictionaryTable));
    return RunStatement(connection, update, {QString::fromUtf8(stored), name},
                        QStringLiteral("Table ") + name);
  });
  return error.Ok() ? DBIERR_NONE : Fail(error);
}

TffResult TffServerEngine::TableGetDictionary(TffDatabaseID database, const QString &tableName,
                                              std::optional<TffDataDictionary> &dictionary) {
  dictionary.reset();
  Database *db = nullptr;
  std::shared_ptr<Table> table;
  if (const TffResult result = FindTable(database, tableName, db, table); result != DBIERR_NONE)
    return result;
  dictionary = table->Dictionary;
  return DBIERR_NONE;
}

// ---- Transactions ----

TffResult TffServerEngine::TransactionStart(TffDatabaseID database) {
  TffResult result;
  Database *db = FindDatabase(database, result);
  if (!db) return result;
  if (db->ExplicitTransaction) return Fail(db->Connection->FileFailure(DBIERR_ACTIVETRAN));
  if (TffError error = db->Connection->Run(QStringLiteral("BEGIN IMMEDIATE")); !error.Ok())
    return Fail(error);
  db->ExplicitTransaction = true;
  return DBIERR_NONE;
}

TffResult TffServerEngine::TransactionCommit(TffDatabaseID database) {
  TffResult result;
  Database *db = FindDatabase(database, result);
  if (!db) return result;
  TffSqliteConnection &connection = *db->Connection;
  if (!db->ExplicitTransaction) return Fail(connection.FileFailure(DBIERR_NOACTIVETRAN));
  if (!connection.InTransaction()) {
    db->ExplicitTransaction = false;
    db->Tables.clear();
    return Fail(connection.FileFailure(DBIERR_TRANABORTED, QStringLiteral("none of its changes were saved")));
  }
  TffError error = connection.Run(QStringLiteral("COMMIT"));
  if (error.Ok() || !connection.InTransaction()) db->ExplicitTransaction = false;
  if (error.Ok()) return DBIERR_NONE;
  if (!db->ExplicitTransaction) {
    db->Tables.clear();
    error.Message += QStringLiteral(". The transaction was rolled back: none of its changes were saved");
  }
  return Fail(error);
}

TffResult TffServerEngine::TransactionRollback(TffDatabaseID database) {
  TffResult result;
  Database *db = FindDatabase(database, result);
  if (!db) return result;
  TffSqliteConnection &connection = *db->Connection;
  if (!db->ExplicitTransaction) return Fail(connection.FileFailure(DBIERR_NOACTIVETRAN));
  TffError error;
  if (connection.InTransaction()) error = connection.Run(QStringLiteral("ROLLBACK"));
  if (!connection.InTransaction()) db->ExplicitTransaction = false;
  // A rolled-back transaction may have built or deleted tables.
  connection.ClearStatementCache();
  db->Tables.clear();
  return error.Ok() ? DBIERR_NONE : Fail(error);
}

bool TffServerEngine::InTransaction(TffDatabaseID database) const {
  const auto found = databases_.find(database);
  return found != databases_.end() && found->second->ExplicitTransaction;
}

// ---- Cursors ----

TffResult TffServerEngine::CursorOpen(TffDatabaseID database, const QString &tableName,
                                      const QString &indexName, TffCursorID &cursor) {
  cursor = 0;
  Database *db = nullptr;
  std::shared_ptr<Table> table;
  if (const TffResult result = FindTable(database, tableName, db, table); result != DBIERR_NONE)
    return result;
  const int index = table->IndexNumber(indexName);
  if (index < 0) return Fail(NoSuchIndex(indexName, db->Location(table->Name)));
  auto opened = std::make_unique<Cursor>();
  opened->Id = nextHandle_++;
  opened->Db = db;
  opened->Tbl = table;
  opened->Index = index;
  cursor = opened->Id;
  cursors_.emplace(cursor, std::move(opened));
  return DBIERR_NONE;
}

TffResult TffServerEngine::CursorClose(TffCursorID cursor) {
  TffResult result;
  if (!FindCursor(cursor, result)) return result;
  cursors_.erase(cursor);
  return DBIERR_NONE;
}

const TffDataDictionary *TffServerEngine::CursorDictionary(TffCursorID cursor) const {
  const auto found = cursors_.find(cursor);
  return found == cursors_.end() ? nullptr : &found->second->Tbl->Dictionary;
}

int TffServerEngine::CursorIndex(TffCursorID cursor) const {
  const auto found = cursors_.find(cursor);
  return found == cursors_.end() ? -1 : found->second->Index;
}

TffResult TffServerEngine::CursorSwitchToIndex(TffCursorID cursor, const QString &indexName,
                                               bool keepPosition) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  const int index = c->Tbl->IndexNumber(indexName);
  if (index < 0) return Fail(NoSuchIndex(indexName, c->Location()));
  const bool onRecord = keepPosition && c->At == Cursor::Place::OnRecord;
  const TffBookmark bookmark = c->RowId;
  c->SwitchIndex(index);
  if (onRecord) {
    TffRecord record;
    QList<QVariant> key;
    bool found = false;
    if (TffError error = ReadByBookmark(*c, bookmark, false, record, key, found); !error.Ok())
      return Fail(error);
    if (found) c->SetOnRecord(bookmark, key);
  }
  return DBIERR_NONE;
}

TffResult TffServerEngine::CursorSetRange(TffCursorID cursor, const QList<QVariant> &startValues,
                                          bool startInclusive, const QList<QVariant> &endValues,
                                          bool endInclusive) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  if (TffError error = c->CheckKeyFieldCount(std::max(startValues.size(), endValues.size())); !error.Ok())
    return Fail(error);
  const TffIndexSchema &index = c->IndexSchema();
  TffKeyRange range{{}, startInclusive, {}, endInclusive};
  if (TffError error = c->StoredKey(startValues, range.Start); !error.Ok()) return Fail(error);
  if (TffError error = c->StoredKey(endValues, range.End); !error.Ok()) return Fail(error);
  c->HasRange = !range.Start.isEmpty() || !range.End.isEmpty();
  c->Range = range;
  c->RangeFixed = ffRangeFixedSegments(index, range);
  c->RangeShape = c->HasRange ? RangeShape(range, c->RangeFixed) : QByteArray();
  c->Reset();
  return DBIERR_NONE;
}

TffResult TffServerEngine::CursorResetRange(TffCursorID cursor) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  c->ClearRange();
  return DBIERR_NONE;
}

TffResult TffServerEngine::CursorSetToBegin(TffCursorID cursor) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  c->Reset();
  return DBIERR_NONE;
}

TffResult TffServerEngine::CursorSetToEnd(TffCursorID cursor) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  c->Reset(Cursor::Place::End);
  return DBIERR_NONE;
}

TffResult TffServerEngine::CursorSetToKey(TffCursorID cursor, const QList<QVariant> &keyValues,
                                          std::optional<TffRecord> *found) {
  if (found) found->reset();
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  if (TffError error = c->CheckKeyFieldCount(keyValues.size()); !error.Ok()) return Fail(error);
  QList<QVariant> key;
  if (TffError error = c->StoredKey(keyValues, key); !error.Ok()) return Fail(error);
  QList<TffRecord> records;
  QList<QVariant> foundKey;
  if (TffError error = ReadRuns(*c, TffScan::Forward, key.isEmpty() ? nullptr : &key, true, std::nullopt, 0,
                                1, records, foundKey);
      !error.Ok())
    return Fail(error);
  if (!records.isEmpty()) {
    c->SetOnRecord(records.first().Bookmark, foundKey);
  } else {
    // Nothing at or after the key: the nearest record is the last one.
    c->Reset(Cursor::Place::End);
    if (TffError error = Move(*c, TffScan::Backward, 1, records); !error.Ok() && error.Code != DBIERR_BOF)
      return Fail(error);
    if (records.isEmpty()) c->Reset(Cursor::Place::End);
  }
  if (found && !records.isEmpty()) *found = std::move(records.first());
  return DBIERR_NONE;
}

TffResult TffServerEngine::CursorSetToBookmark(TffCursorID cursor, TffBookmark bookmark) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  TffRecord record;
  QList<QVariant> key;
  bool found = false;
  if (TffError error = ReadByBookmark(*c, bookmark, true, record, key, found); !error.Ok())
    return Fail(error);
  if (!found) {
    bool exists = false;
    if (c->HasRange) {
      if (TffError error = ReadByBookmark(*c, bookmark, false, record, key, exists); !error.Ok())
        return Fail(error);
    }
    if (exists)
      return Fail(DBIERR_RECNOTFOUND,
                  QStringLiteral("The record lies outside the range of table %1").arg(c->Location()));
    return Fail(c->RecordDeleted());
  }
  c->SetOnRecord(bookmark, key);
  return DBIERR_NONE;
}

TffResult TffServerEngine::CursorGetBookmark(TffCursorID cursor, TffBookmark &bookmark) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  if (c->At != Cursor::Place::OnRecord) return Fail(c->NoCurrentRecord());
  bookmark = c->RowId;
  return DBIERR_NONE;
}

TffResult TffServerEngine::CursorGetRecordCount(TffCursorID cursor, qint64 &count) {
  count = 0;
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  TffSqliteConnection &connection = *c->Db->Connection;
  QString sql = QStringLiteral("SELECT count(*) FROM ") + c->Tbl->Quoted;
  if (c->HasRange) sql += Indexed(c->IndexSchema()) + QStringLiteral(" WHERE ") + c->RangeSql().Condition.Sql;
  sqlite3_stmt *statement = nullptr;
  if (TffError error = connection.Prepare(sql, statement); !error.Ok()) return Fail(error);
  TffSqliteStatement query(statement);
  if (c->HasRange) query.BindAll(c->Parameters(0, {}, {}));
  const int rc = query.Step();
  if (rc != SQLITE_ROW) return Fail(connection.Failure(rc, QStringLiteral("Table ") + c->Tbl->Name));
  count = query.ColumnInt64(0);
  return DBIERR_NONE;
}

// ---- Reading ----

const QStringList &TffServerEngine::ReadStatements(Cursor &cursor, TffScan scan, const QList<QVariant> *key,
                                                   bool inclusive, bool withRowId, int fixed) {
  const QByteArray shape = cursor.RangeShape + ReadShape(scan, key, inclusive, withRowId, fixed);
  if (const auto found = cursor.Reads.constFind(shape); found != cursor.Reads.cend()) return *found;
  const TffIndexSchema &index = cursor.IndexSchema();
  QList<TffSqlPart> runs{TffSqlPart{QStringLiteral("1")}};
  if (key) runs = ffSeekRuns(index, scan, *key, inclusive, withRowId, fixed);
  // A position that the range holds to its one value needs no more than the runs to stay within it.
  const bool withinRange = key && fixed == cursor.Range.Start.size() && fixed == cursor.Range.End.size();
  if (cursor.HasRange && !withinRange) {
    const TffRangeReads &range = cursor.RangeSql().Reads[scan == TffScan::Forward ? 0 : 1];
    runs = key ? ffIntersectRuns(ffIntersectRuns(runs, range.Ahead), {range.Behind}) : range.FromEdge;
  }
  const Table &table = *cursor.Tbl;
  // The key follows the fields as the index holds it, so that the cursor goes on from what SQLite compares
  // even where another program left a key column that does not match its field.
  QString keyColumns;
  for (const TffKeySegment &segment : index.Segments) keyColumns += QStringLiteral(", ") + segment.Expression;
  const QString head = QStringLiteral("SELECT ") + table.Columns + keyColumns + QStringLiteral(" FROM ") +
                       table.Quoted + Indexed(index) + QStringLiteral(" WHERE ");
  const QString tail = QStringLiteral(" ORDER BY ") + ffOrderBy(index, scan) +
                       QStringLiteral(" LIMIT ?%1").arg(TffSlots::Limit);
  QStringList statements;
  for (const TffSqlPart &run : runs) statements.append(head + run.Sql + tail);
  return *cursor.Reads.insert(shape, statements);
}

TffError TffServerEngine::ReadRuns(Cursor &cursor, TffScan scan, const QList<QVariant> *key, bool inclusive,
                                   std::optional<qint64> rowId, int fixed, int limit,
                                   QList<TffRecord> &records, QList<QVariant> &lastKey) {
  const QStringList &runs = ReadStatements(cursor, scan, key, inclusive, rowId.has_value(), fixed);
  const Table &table = *cursor.Tbl;
  const TffIndexSchema &index = cursor.IndexSchema();
  TffSqliteConnection &connection = *cursor.Db->Connection;
  QList<QVariant> parameters =
      cursor.Parameters(limit, key ? *key : QList<QVariant>(), rowId ? QVariant(*rowId) : QVariant());
  // Several statements read under one lock of the file rather than taking and dropping it for each.
  const bool readTransaction = runs.size() > 1 && !connection.InTransaction();
  if (readTransaction) {
    if (TffError error = connection.Run(QStringLiteral("BEGIN")); !error.Ok()) return error;
  }
  const auto finish = [&](TffError error) {
    if (readTransaction && connection.InTransaction()) {
      const TffError ended = connection.Run(QStringLiteral("COMMIT"));
      if (error.Ok()) error = ended;
      if (connection.InTransaction()) connection.Run(QStringLiteral("ROLLBACK"));
    }
    return error;
  };
  TffError failure;
  for (const QString &run : runs) {
    if (records.size() >= limit) break;
    parameters[TffSlots::Limit - 1] = qint64(limit - records.size());
    sqlite3_stmt *statement = nullptr;
    failure = connection.Prepare(run, statement);
    if (!failure.Ok()) break;
    TffSqliteStatement query(statement);
    query.BindAll(parameters);
    int rc;
    while ((rc = query.Step()) == SQLITE_ROW) {
      TffRecord record;
      record.Bookmark = query.ColumnInt64(0);
      record.Values.reserve(table.Dictionary.FieldCount());
      for (int i = 0; i < table.Dictionary.FieldCount(); ++i)
        record.Values.append(ffValueFromStored(table.Dictionary.FieldType(i), query.Column(i + 1)));
      records.append(std::move(record));
      // The key of the record read, kept for the last one: the cursor goes there.
      lastKey.resize(index.Segments.size());
      const int keyColumn = table.Dictionary.FieldCount() + 1;
      for (int i = 0; i < index.Segments.size(); ++i) lastKey[i] = query.Column(keyColumn + i);
    }
    if (rc != SQLITE_DONE) {
      failure = connection.Failure(rc, QStringLiteral("Table ") + table.Name);
      break; // the statement is reset on leaving the loop, before the read transaction ends
    }
  }
  return finish(failure);
}

int TffServerEngine::FixedSegments(const Cursor &cursor) {
  if (!cursor.HasRange) return 0;
  int fixed = 0;
  while (fixed < cursor.RangeFixed && fixed < cursor.Key.size() &&
         ffKeyValuesEqual(cursor.Key[fixed], cursor.Range.Start[fixed]))
    ++fixed;
  return fixed;
}

TffError TffServerEngine::Move(Cursor &cursor, TffScan scan, int count, QList<TffRecord> &records) {
  records.clear();
  const bool forward = scan == TffScan::Forward;
  const QString where = cursor.Location();
  const TffError atEdge = forward
                              ? TffError{DBIERR_EOF, QStringLiteral("At end of table %1").arg(where)}
                              : TffError{DBIERR_BOF, QStringLiteral("At beginning of table %1").arg(where)};
  if (cursor.At == (forward ? Cursor::Place::End : Cursor::Place::Begin)) return atEdge;
  const bool fromEdge = cursor.At == (forward ? Cursor::Place::Begin : Cursor::Place::End);
  QList<QVariant> key;
  const TffError error = fromEdge
                             ? ReadRuns(cursor, scan, nullptr, false, std::nullopt, 0, count, records, key)
                             : ReadRuns(cursor, scan, &cursor.Key, false, cursor.RowId, FixedSegments(cursor),
                                        count, records, key);
  if (!error.Ok()) return error;
  if (records.isEmpty()) {
    cursor.Reset(forward ? Cursor::Place::End : Cursor::Place::Begin);
    return atEdge;
  }
  cursor.SetOnRecord(records.last().Bookmark, key);
  return {};
}

TffError TffServerEngine::ReadByBookmark(Cursor &cursor, TffBookmark bookmark, bool withinRange,
                                         TffRecord &record, QList<QVariant> &key, bool &found) {
  QList<QVariant> stored;
  if (TffError error = ReadStoredByBookmark(cursor, bookmark, withinRange, stored, found);
      !error.Ok() || !found)
    return error;
  record.Bookmark = bookmark;
  record.Values = ValuesFromStored(cursor.Tbl->Dictionary, stored);
  key = KeyOf(cursor.IndexSchema(), stored);
  return {};
}

TffError TffServerEngine::ReadStoredByBookmark(Cursor &cursor, TffBookmark bookmark, bool withinRange,
                                               QList<QVariant> &stored, bool &found) {
  found = false;
  const Table &table = *cursor.Tbl;
  TffSqliteConnection &connection = *cursor.Db->Connection;
  QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?%4")
                    .arg(table.Columns, table.Quoted, ffSqlQuote(QLatin1String(ffRowIdColumn)))
                    .arg(cursor.Slots().RowId());
  if (withinRange && cursor.HasRange)
    sql += QStringLiteral(" AND (") + cursor.RangeSql().Condition.Sql + u')';
  sqlite3_stmt *statement = nullptr;
  if (TffError error = connection.Prepare(sql, statement); !error.Ok()) return error;
  TffSqliteStatement query(statement);
  query.BindAll(cursor.Parameters(0, {}, QVariant(bookmark)));
  const int rc = query.Step();
  if (rc == SQLITE_DONE) return {};
  if (rc != SQLITE_ROW) return connection.Failure(rc, QStringLiteral("Table ") + table.Name);
  stored.clear();
  for (int i = 0; i < table.Dictionary.FieldCount(); ++i) stored.append(query.Column(i + 1));
  found = true;
  return {};
}

TffResult TffServerEngine::RecordGet(TffCursorID cursor, TffRecord &record) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  if (c->At != Cursor::Place::OnRecord) return Fail(c->NoCurrentRecord());
  QList<QVariant> key;
  bool found = false;
  if (TffError error = ReadByBookmark(*c, c->RowId, false, record, key, found); !error.Ok())
    return Fail(error);
  if (!found) return Fail(c->RecordDeleted());
  c->Key = key;
  return DBIERR_NONE;
}

TffResult TffServerEngine::RecordGetNext(TffCursorID cursor, TffRecord &record) {
  QList<TffRecord> records;
  const TffResult result = RecordGetBatch(cursor, 1, true, records);
  if (result == DBIERR_NONE) record = records.first();
  return result;
}

TffResult TffServerEngine::RecordGetPrior(TffCursorID cursor, TffRecord &record) {
  QList<TffRecord> records;
  const TffResult result = RecordGetBatch(cursor, 1, false, records);
  if (result == DBIERR_NONE) record = records.first();
  return result;
}

TffResult TffServerEngine::RecordGetBatch(TffCursorID cursor, int count, bool forward,
                                          QList<TffRecord> &records) {
  records.clear();
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  if (count < 1) return Fail(DBIERR_INVALIDPARAM, QStringLiteral("Invalid number of records: %1").arg(count));
  const TffError error = Move(*c, forward ? TffScan::Forward : TffScan::Backward, count, records);
  return error.Ok() ? DBIERR_NONE : Fail(error);
}

// ---- Writing ----

TffError TffServerEngine::ConvertRecord(const Table &table, const QList<QVariant> &values,
                                        QList<QVariant> &stored) {
  const TffDataDictionary &dictionary = table.Dictionary;
  if (values.size() != dictionary.FieldCount())
    return {DBIERR_FIELDCOUNTMISMATCH, QStringLiteral("Table %1 has %2 fields, %3 values were given")
                                           .arg(table.Name)
                                           .arg(dictionary.FieldCount())
                                           .arg(values.size())};
  stored.clear();
  for (int i = 0; i < values.size(); ++i) {
    QVariant value;
    if (TffError error = ffValueToStored(dictionary, i, values[i], false, value); !error.Ok()) return error;
    stored.append(value);
  }
  return {};
}

namespace {

TffError CheckRequired(const TffDataDictionary &dictionary, const QList<QVariant> &stored, int skipField) {
  for (int i = 0; i < dictionary.FieldCount(); ++i)
    if (i != skipField && dictionary.FieldRequired(i) && !stored[i].isValid())
      return {DBIERR_REQDERR, QStringLiteral("Field %1 of table %2 must have a value")
                                  .arg(dictionary.FieldName(i), dictionary.BaseName())};
  return {};
}

} // namespace

TffResult TffServerEngine::RecordInsert(TffCursorID cursor, const QList<QVariant> &values,
                                        TffRecord &inserted) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  const Table &table = *c->Tbl;
  QList<QVariant> stored;
  if (TffError error = ConvertRecord(table, values, stored); !error.Ok()) return Fail(error);
  TffSqliteConnection &connection = *c->Db->Connection;
  qint64 rowId = 0;
  const TffError error = WriteOperation(*c->Db, [&]() -> TffError {
    if (table.AutoIncField >= 0) {
      QVariant &number = stored[table.AutoIncField];
      const bool assign = !number.isValid() || number.toLongLong() == 0;
      const QString sql =
          assign ? QStringLiteral(
                       "UPDATE %1 SET autoinc_seed = autoinc_seed + 1 WHERE name = ? RETURNING autoinc_seed")
                 : QStringLiteral("UPDATE %1 SET autoinc_seed = max(autoinc_seed, ?) WHERE name = ? "
                                  "RETURNING autoinc_seed");
      sqlite3_stmt *statement = nullptr;
      if (TffError e = connection.Prepare(sql.arg(QLatin1String(ffDictionaryTable)), statement); !e.Ok())
        return e;
      TffSqliteStatement query(statement);
      query.BindAll(assign ? QList<QVariant>{table.Name} : QList<QVariant>{number, table.Name});
      int rc = query.Step();
      if (rc != SQLITE_ROW) return connection.Failure(rc, QStringLiteral("Table ") + table.Name);
      const qint64 seed = query.ColumnInt64(0);
      while ((rc = query.Step()) == SQLITE_ROW) {
      }
      if (rc != SQLITE_DONE) return connection.Failure(rc, QStringLiteral("Table ") + table.Name);
      if (assign) {
        if (seed > ffIntegerMax(fftAutoInc))
          return {DBIERR_INVALIDFLDVALUE,
                  QStringLiteral("Table %1 has used up its automatic numbers").arg(table.Name)};
        number = seed;
      }
    }
    if (TffError e = CheckRequired(table.Dictionary, stored, -1); !e.Ok()) return e;
    const QList<QVariant> row = table.RowValues(stored);
    QStringList placeholders;
    for (int i = 0; i < row.size(); ++i) placeholders.append(QStringLiteral("?"));
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(table.Quoted, table.WriteColumns.join(u", "), placeholders.join(u", "));
    if (TffError e = RunStatement(connection, sql, row, QStringLiteral("Table ") + table.Name); !e.Ok())
      return e;
    rowId = sqlite3_last_insert_rowid(connection.Handle());
    return {};
  });
  if (!error.Ok()) return Fail(error);
  c->SetOnRecord(rowId, KeyOf(c->IndexSchema(), stored));
  inserted.Bookmark = rowId;
  inserted.Values = ValuesFromStored(table.Dictionary, stored);
  return DBIERR_NONE;
}

TffResult TffServerEngine::RecordModify(TffCursorID cursor, const QList<QVariant> &values,
                                        TffRecord &modified) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  const Table &table = *c->Tbl;
  if (c->At != Cursor::Place::OnRecord) return Fail(c->NoCurrentRecord());
  QList<QVariant> stored;
  if (TffError error = ConvertRecord(table, values, stored); !error.Ok()) return Fail(error);
  return WriteModified(c, stored, modified);
}

TffResult TffServerEngine::RecordModifyField(TffCursorID cursor, int field, const QVariant &value,
                                             TffRecord &modified) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  const Table &table = *c->Tbl;
  if (c->At != Cursor::Place::OnRecord) return Fail(c->NoCurrentRecord());
  if (field < 0 || field >= table.Dictionary.FieldCount())
    return Fail({DBIERR_NOSUCHFIELD, QStringLiteral("Table %1 has no field %2").arg(table.Name).arg(field)});
  // The other fields go back as they are stored, unchecked: the write changes none of them.
  QList<QVariant> stored;
  bool found = false;
  if (TffError error = ReadStoredByBookmark(*c, c->RowId, false, stored, found); !error.Ok())
    return Fail(error);
  if (!found) return Fail(c->RecordDeleted());
  if (TffError error = ffValueToStored(table.Dictionary, field, value, false, stored[field]); !error.Ok())
    return Fail(error);
  return WriteModified(c, stored, modified);
}

TffResult TffServerEngine::WriteModified(Cursor *c, const QList<QVariant> &stored, TffRecord &modified) {
  const Table &table = *c->Tbl;
  TffSqliteConnection &connection = *c->Db->Connection;
  const int keptField =
      table.AutoIncField >= 0 && !stored[table.AutoIncField].isValid() ? table.AutoIncField : -1;
  const TffBookmark rowId = c->RowId;
  const TffError error = WriteOperation(*c->Db, [&]() -> TffError {
    if (TffError e = CheckRequired(table.Dictionary, stored, keptField); !e.Ok()) return e;
    QStringList assignments;
    QList<QVariant> binds;
    const QList<QVariant> row = table.RowValues(stored);
    for (int i = 0; i < row.size(); ++i) {
      if (i == keptField) continue;
      assignments.append(table.WriteColumns[i] + QStringLiteral(" = ?"));
      binds.append(row[i]);
    }
    binds.append(QVariant(rowId));
    const QString sql =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
            .arg(table.Quoted, assignments.join(u", "), ffSqlQuote(QLatin1String(ffRowIdColumn)));
    if (TffError e = RunStatement(connection, sql, binds, QStringLiteral("Table ") + table.Name); !e.Ok())
      return e;
    if (sqlite3_changes(connection.Handle()) == 0) return c->RecordDeleted();
    return {};
  });
  if (!error.Ok()) return Fail(error);
  QList<QVariant> key;
  bool found = false;
  if (TffError readError = ReadByBookmark(*c, rowId, false, modified, key, found); !readError.Ok())
    return Fail(readError);
  if (found) c->Key = key;
  return DBIERR_NONE;
}

TffResult TffServerEngine::RecordDelete(TffCursorID cursor) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  const Table &table = *c->Tbl;
  if (c->At != Cursor::Place::OnRecord) return Fail(c->NoCurrentRecord());
  TffSqliteConnection &connection = *c->Db->Connection;
  const TffError error = WriteOperation(*c->Db, [&]() -> TffError {
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                            .arg(table.Quoted, ffSqlQuote(QLatin1String(ffRowIdColumn)));
    if (TffError e =
            RunStatement(connection, sql, {QVariant(c->RowId)}, QStringLiteral("Table ") + table.Name);
        !e.Ok())
      return e;
    if (sqlite3_changes(connection.Handle()) == 0) return c->RecordDeleted();
    return {};
  });
  if (!error.Ok()) return Fail(error);
  c->At = Cursor::Place::Gap;
  return DBIERR_NONE;
}
