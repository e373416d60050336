#include "db/engine/ff_server_engine.h"
#include "db/engine/ff_database_file.h"
#include "db/engine/ff_file_upkeep.h"
#include "db/engine/ff_record_values.h"
#include "db/engine/ff_sqlite.h"
#include "db/storage/ff_collation.h"
#include "db/storage/ff_sql_schema.h"
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <limits>
#include <sqlite3.h>

// ---- Internal state ----

// The SQL of reads made for one shape of read (ReadShape) on one index and range shape, kept prepared.
struct TffServerEngine::ReadPlan {
  QList<TffKeptStatement> Runs;
};

// The SQL of a range (or of none) on one index: one condition, to test a record or count, how reads keep
// within it, and the statements that count its records and read one of them by its bookmark.
struct TffServerEngine::RangeSqlSet {
  TffSqlPart Condition;
  TffRangeReads Reads[2]; // forward, backward
  TffKeptStatement Count, ByBookmark;
};

struct TffServerEngine::Table {
  Table(const QString &name, const TffDataDictionary &dictionary,
        std::shared_ptr<const TffCollation> collation)
      : Name(name), Quoted(ffSqlQuote(name)), Dictionary(dictionary), Collation(std::move(collation)) {
    Dictionary.SetBaseName(name);
    Dictionary.SetReadOnly();
    QStringList fieldColumns;
    for (int i = 0; i < Dictionary.FieldCount(); ++i) {
      const TffFieldType type = Dictionary.FieldType(i);
      fieldColumns.append(ffSqlQuote(Dictionary.FieldName(i)));
      if (AutoIncField < 0 && type == fftAutoInc) AutoIncField = i;
      Reading.append({ffValueKind(type), ffIntegerMin(type), ffIntegerMax(type)});
    }
    const QString rowId = ffSqlQuote(QLatin1String(ffRowIdColumn));
    Columns = (QStringList{rowId} + fieldColumns).join(u", ");
    KeyFields = ffSqlKeyColumnFields(Dictionary);
    QStringList writeColumns = fieldColumns;
    for (int field : KeyFields) writeColumns.append(ffSqlQuote(ffSqlKeyColumn(Dictionary.FieldName(field))));
    for (int i = 0; i < Dictionary.IndexCount(); ++i) {
      const TffIndexDescriptor &descriptor = Dictionary.IndexDescriptor(i);
      TffIndexSchema index{descriptor.idName, ffSqlIndexName(name, descriptor.idName), {}};
      QList<int> rowColumns;
      for (const TffIndexField &field : descriptor.idFields) {
        const bool noCase = field.CaseInsensitive && ffIsStringType(Dictionary.FieldType(field.FieldNumber));
        index.Segments.append(TffKeySegment{field.FieldNumber, ffSqlKeyExpression(Dictionary, field),
                                            field.Descending, noCase});
        rowColumns.append(noCase ? Dictionary.FieldCount() + int(KeyFields.indexOf(field.FieldNumber))
                                 : field.FieldNumber);
      }
      Indexes.append(index);
      SegmentColumns.append(rowColumns);
    }

    QStringList placeholders;
    for (qsizetype i = 0; i < writeColumns.size(); ++i) placeholders.append(QStringLiteral("?"));
    Insert.Sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                     .arg(Quoted, writeColumns.join(u", "), placeholders.join(u", "));
    for (int kept : {-1, AutoIncField}) {
      QStringList assignments;
      for (int i = 0; i < writeColumns.size(); ++i)
        if (i != kept) assignments.append(writeColumns[i] + QStringLiteral(" = ?"));
      Modify[kept < 0 ? 0 : 1].Sql =
          QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(Quoted, assignments.join(u", "), rowId);
    }
    Delete.Sql = QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(Quoted, rowId);
    const QString seeds =
        QStringLiteral("UPDATE %1 SET autoinc_seed = %2 WHERE name = ? RETURNING autoinc_seed");
    NextNumber.Sql = seeds.arg(QLatin1String(ffDictionaryTable), QStringLiteral("autoinc_seed + 1"));
    NumberGiven.Sql = seeds.arg(QLatin1String(ffDictionaryTable), QStringLiteral("max(autoinc_seed, ?)"));
  }

  QString Name;   // as the table was created
  QString Quoted; // for SQL
  TffDataDictionary Dictionary;
  std::shared_ptr<const TffCollation> Collation;
  QString Columns;      // row id and every field, for SELECT
  QList<int> KeyFields; // the fields with a key column
  QList<TffIndexSchema> Indexes;
  // For each index, where a row's values (ValuesOfRow) hold each segment's key.
  QList<QList<int>> SegmentColumns;
  int AutoIncField = -1;
  // What each field holds, for reading its values.
  struct FieldReading {
    TffValueKind Kind;
    qint64 Low, High; // of an integer
  };
  QList<FieldReading> Reading;
  // The statements that write, kept prepared: Modify[1] leaves the automatic number as it is.
  TffKeptStatement Insert, Modify[2], Delete, NextNumber, NumberGiven;
  // Reads, by index, range and read shape; range conditions by index and range shape.
  QHash<QByteArray, ReadPlan> Reads;
  QHash<QByteArray, RangeSqlSet> RangeSqls;

  // The number of the named index (the first when the name is empty), or -1.
  int IndexNumber(const QString &indexName) const {
    return indexName.isEmpty() ? 0 : Dictionary.GetIndexFromName(indexName);
  }
  QVariant CollationKey(const QVariant &value) const {
    return value.isValid() ? QVariant(Collation->Key(value.toString())) : value;
  }
  // The values a row stores: the fields' values, then the key columns' collation keys.
  QList<QVariant> ValuesOfRow(const QList<QVariant> &stored) const {
    QList<QVariant> row = stored;
    for (int field : KeyFields) row.append(CollationKey(stored[field]));
    return row;
  }
  // The key of a row (its ValuesOfRow) in an index.
  QList<QVariant> KeyOf(int index, const QList<QVariant> &row) const {
    QList<QVariant> key;
    key.reserve(SegmentColumns[index].size());
    for (int column : SegmentColumns[index]) key.append(row[column]);
    return key;
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

  // Records read beyond the position in one direction, handed out by the moves that follow, with their
  // keys. Good while nothing was written through the engine since they were read (Generation).
  struct ReadAhead {
    QList<TffRecord> Records;
    QList<QVariant> Keys; // the keys of the records in turn, each as many values as the index has fields
    qsizetype Next = 0;
    TffScan Scan = TffScan::Forward;
    bool Edge = false; // the read met the end (beginning) of the records: none lie beyond these
    quint64 Generation = 0;
  };

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
  ReadAhead Ahead;
  // The record at the position as last read, good while nothing was written since (CurrentGeneration).
  std::optional<TffRecord> Current;
  quint64 CurrentGeneration = 0;
  int Streak = 0; // moves the same way in a row since the cursor was last put somewhere
  TffError atEnd_, atBeginning_;

  // The SQL of the cursor's range on its index (ranged), or of none.
  RangeSqlSet &RangeSql(bool ranged = true) {
    const QByteArray shape = QByteArray::number(Index) + (ranged ? RangeShape : QByteArray());
    auto found = Tbl->RangeSqls.find(shape);
    if (found == Tbl->RangeSqls.end()) {
      const TffKeyRange range = ranged ? Range : TffKeyRange();
      found = Tbl->RangeSqls.insert(shape, {ffRangeCondition(IndexSchema(), range),
                                            {ffRangeReads(IndexSchema(), range, TffScan::Forward),
                                             ffRangeReads(IndexSchema(), range, TffScan::Backward)},
                                            {},
                                            {}});
    }
    return *found;
  }
  void SwitchIndex(int index) {
    Index = index;
    ClearRange();
  }

  const TffIndexSchema &IndexSchema() const { return Tbl->Indexes[Index]; }
  QString Location() const { return Db->Location(Tbl->Name); }
  TffSlots Slots() const { return TffSlots(IndexSchema()); }
  // The values of the statements' parameters for a read from a position (a key and maybe a row id).
  QList<QVariant> Parameters(int limit, const TffKey &key, const QVariant &rowId) const {
    return Slots().Values(limit, key, rowId, Range.Start, Range.End);
  }
  // Drops what was read ahead and the record kept: the cursor is put somewhere else.
  void Forget() {
    Ahead = ReadAhead();
    Current.reset();
    Streak = 0;
  }
  // Off every record, before the first (Begin) or after the last (End).
  void Reset(Place place = Place::Begin) {
    At = place;
    RowId = 0;
    Key.clear();
    Forget();
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
  // Stands on a record just read or written, which is kept for the reads that follow.
  void SetOnRecord(const TffRecord &record, const QList<QVariant> &key, quint64 generation) {
    SetOnRecord(record.Bookmark, key);
    Current = record;
    CurrentGeneration = generation;
  }
  TffError NoCurrentRecord() const {
    return {DBIERR_NOCURRREC, QStringLiteral("No current record in table %1").arg(Location())};
  }
  // What a move answers at the end (beginning), made once.
  const TffError &AtEnd() {
    if (atEnd_.Ok()) atEnd_ = {DBIERR_EOF, QStringLiteral("At end of table %1").arg(Location())};
    return atEnd_;
  }
  const TffError &AtBeginning() {
    if (atBeginning_.Ok())
      atBeginning_ = {DBIERR_BOF, QStringLiteral("At beginning of table %1").arg(Location())};
    return atBeginning_;
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
  // Values given for the leading fields of the cursor's index, as a search or a range compares them: a
  // case-insensitive text matches every text with the same letters.
  TffError SearchedKey(const QList<QVariant> &values, TffKey &key) const {
    for (int i = 0; i < values.size(); ++i) {
      const TffKeySegment &segment = IndexSchema().Segments[i];
      QVariant value;
      if (TffError error = ffValueToStored(Tbl->Dictionary, segment.Field, values[i], true, value);
          !error.Ok())
        return error;
      if (segment.NoCase && value.isValid()) {
        const QByteArray collationKey = Tbl->Collation->Key(value.toString());
        key.Low.append(TffCollation::LowerBound(collationKey));
        key.High.append(TffCollation::UpperBound(collationKey));
      } else {
        key.Low.append(value);
        key.High.append(value);
      }
    }
    return {};
  }
};

namespace {

const QString kOperationSavepoint = QStringLiteral("ff_operation");

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

// Runs one statement that returns no rows, given by its SQL or kept; context, if given, leads a failure's
// message.
template <typename Statement>
TffError RunStatement(TffSqliteConnection &connection, Statement &sql, const QList<QVariant> &binds,
                      const QString &context = QString()) {
  sqlite3_stmt *statement = nullptr;
  if (TffError error = connection.Prepare(sql, statement); !error.Ok()) return error;
  TffSqliteStatement query(statement);
  query.BindAll(binds);
  if (const int rc = query.Step(); rc != SQLITE_DONE) return connection.Failure(rc, context);
  return {};
}

// A record's field values from the values its row stores, which the engine stored itself.
QList<QVariant> ValuesFromStored(const TffDataDictionary &dictionary, const QList<QVariant> &stored) {
  QList<QVariant> values = stored.mid(0, dictionary.FieldCount());
  for (int i = 0; i < values.size(); ++i) ffValueFromStored(dictionary, i, values[i]);
  return values;
}

// What the statements of a read depend on: its direction; whether it starts from the edge; else which
// values of the position's key are null, whether the read starts at the key or after it or after a record
// (a row id), and how many leading fields the range holds.
QByteArray ReadShape(TffScan scan, const TffKey *key, bool inclusive, bool withRowId, int fixed) {
  QByteArray shape(1, scan == TffScan::Forward ? 'f' : 'b');
  if (!key) return shape + 'e';
  shape += char((inclusive ? 1 : 0) | (withRowId ? 2 : 0));
  shape += char(fixed);
  for (const QVariant &value : key->Low) shape += value.isValid() ? 'v' : 'n';
  return shape;
}

// What the SQL of a range depends on: which of its values are null, whether its ends are included, and how
// many leading fields it holds to one value.
QByteArray RangeShape(const TffKeyRange &range, int fixed) {
  QByteArray shape(1, '|');
  shape += char((range.StartInclusive ? 1 : 0) | (range.EndInclusive ? 2 : 0));
  shape += char(fixed);
  for (const QVariant &value : range.Start.Low) shape += value.isValid() ? 'v' : 'n';
  shape += '-';
  for (const QVariant &value : range.End.Low) shape += value.isValid() ? 'v' : 'n';
  return shape + '|';
}

} // namespace

// ---- Engine ----

TffServerEngine::TffServerEngine() : collationLocale_(QLocale().name()) {}

TffServerEngine::~TffServerEngine() {
  cursors_.clear();
  databases_.clear();
}

void TffServerEngine::SetBusyTimeout(int milliseconds) {
  busyTimeout_ = milliseconds;
  for (auto &[id, database] : databases_) database->Connection->SetBusyTimeout(milliseconds);
}

void TffServerEngine::SetCollationLocale(const QString &locale) {
  collationLocale_ = locale;
  collation_.reset();
}

std::shared_ptr<const TffCollation> TffServerEngine::Collation() {
  if (!collation_) collation_ = std::make_shared<TffCollation>(collationLocale_);
  return collation_;
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
  // What cursors read ahead or kept may no longer be so.
  ++generation_;
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

TffResult TffServerEngine::DatabaseOpenFile(const QString &filePath, TffDatabaseID &database, bool readOnly) {
  database = 0;
  std::unique_ptr<TffSqliteConnection> connection;
  if (TffError error = TffSqliteConnection::Open(filePath, busyTimeout_, readOnly, Collation(), connection);
      !error.Ok())
    return Fail(error);
  // Bringing it up to date may change what other handles on the file read.
  ++generation_;
  if (!readOnly)
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
    table = std::make_shared<Table>(storedName, dictionary, connection.Collation());
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
    // filled with its field's collation keys.
    for (int field : oldKeys)
      if (!newKeys.contains(field))
        statements.append(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                              .arg(ffSqlQuote(name), ffSqlQuote(ffSqlKeyColumn(old.FieldName(field)))));
    for (int field : newKeys)
      if (!oldKeys.contains(field)) {
        const QString key = ffSqlQuote(ffSqlKeyColumn(old.FieldName(field)));
        statements.append(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 BLOB").arg(ffSqlQuote(name), key));
        statements.append(QStringLiteral("UPDATE %1 SET %2 = ff_key(%3)")
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
  ++generation_; // another program's changes show from here on
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
  if (!error.Ok()) ++generation_;
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
  ++generation_;
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
    if (found) c->SetOnRecord(record, key, generation_);
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
  if (TffError error = c->SearchedKey(startValues, range.Start); !error.Ok()) return Fail(error);
  // A range on one value (a master's key) is made once.
  if (endValues == startValues)
    range.End = range.Start;
  else if (TffError error = c->SearchedKey(endValues, range.End); !error.Ok())
    return Fail(error);
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
  TffKey key;
  if (TffError error = c->SearchedKey(keyValues, key); !error.Ok()) return Fail(error);
  QList<TffRecord> records;
  QList<QVariant> keys;
  if (TffError error = ReadRuns(*c, TffScan::Forward, key.isEmpty() ? nullptr : &key, true, std::nullopt, 0,
                                1, records, keys);
      !error.Ok())
    return Fail(error);
  c->Forget();
  if (!records.isEmpty()) {
    c->SetOnRecord(records.first(), keys, generation_);
  } else {
    // Nothing at or after the key: the nearest record is the last one.
    c->Reset(Cursor::Place::End);
    if (TffError error = Move(*c, TffScan::Backward, 1, records); !error.Ok() && error.Code != DBIERR_BOF)
      return Fail(error);
    c->Forget();
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
  c->Forget();
  c->SetOnRecord(record, key, generation_);
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
  RangeSqlSet &range = c->RangeSql();
  if (range.Count.Sql.isEmpty()) {
    range.Count.Sql = QStringLiteral("SELECT count(*) FROM ") + c->Tbl->Quoted;
    if (c->HasRange)
      range.Count.Sql += Indexed(c->IndexSchema()) + QStringLiteral(" WHERE ") + range.Condition.Sql;
  }
  sqlite3_stmt *statement = nullptr;
  if (TffError error = connection.Prepare(range.Count, statement); !error.Ok()) return Fail(error);
  TffSqliteStatement query(statement);
  if (c->HasRange) query.BindAll(c->Parameters(0, {}, {}));
  const int rc = query.Step();
  if (rc != SQLITE_ROW) return Fail(connection.Failure(rc, QStringLiteral("Table ") + c->Tbl->Name));
  count = query.ColumnInt64(0);
  return DBIERR_NONE;
}

// ---- Reading ----

TffServerEngine::ReadPlan &TffServerEngine::ReadStatements(Cursor &cursor, TffScan scan, const TffKey *key,
                                                           bool inclusive, bool withRowId, int fixed) {
  const QByteArray shape = QByteArray::number(cursor.Index) + cursor.RangeShape +
                           ReadShape(scan, key, inclusive, withRowId, fixed);
  Table &table = *cursor.Tbl;
  if (const auto found = table.Reads.find(shape); found != table.Reads.end()) return *found;
  const TffIndexSchema &index = cursor.IndexSchema();
  QList<TffSqlPart> runs{TffSqlPart{QStringLiteral("1")}};
  if (key) runs = ffSeekRuns(index, scan, *key, inclusive, withRowId, fixed);
  // A position that the range holds to its one value needs no more than the runs to stay within it.
  const bool withinRange = key && fixed == cursor.Range.Start.size() && fixed == cursor.Range.End.size();
  if (cursor.HasRange && !withinRange) {
    const TffRangeReads &range = cursor.RangeSql().Reads[scan == TffScan::Forward ? 0 : 1];
    runs = key ? ffIntersectRuns(ffIntersectRuns(runs, range.Ahead), {range.Behind}) : range.FromEdge;
  }
  // The key follows the fields as the index holds it, so that the cursor goes on from what SQLite compares
  // even where another program left a key column that does not match its field.
  QString keyColumns;
  for (const TffKeySegment &segment : index.Segments) keyColumns += QStringLiteral(", ") + segment.Expression;
  const QString head = QStringLiteral("SELECT ") + table.Columns + keyColumns + QStringLiteral(" FROM ") +
                       table.Quoted + Indexed(index) + QStringLiteral(" WHERE ");
  const QString tail = QStringLiteral(" ORDER BY ") + ffOrderBy(index, scan) +
                       QStringLiteral(" LIMIT ?%1").arg(TffSlots::Limit);
  ReadPlan plan;
  for (const TffSqlPart &run : runs) plan.Runs.append(TffKeptStatement{head + run.Sql + tail});
  return *table.Reads.insert(shape, plan);
}

TffError TffServerEngine::ReadRow(const Cursor &cursor, TffSqliteStatement &query, TffRecord &record,
                                  QList<QVariant> &keys) const {
  const Table &table = *cursor.Tbl;
  const int fields = table.Dictionary.FieldCount();
  record.Bookmark = query.ColumnInt64(0);
  QList<QVariant> values;
  values.reserve(fields);
  for (int i = 0; i < fields; ++i) {
    const int column = i + 1;
    // Values as the engine stores them go straight through; anything else is checked as it is converted.
    const Table::FieldReading &reading = table.Reading[i];
    const int stored = query.ColumnType(column);
    if (stored == SQLITE_NULL) {
      values.emplace_back();
      continue;
    }
    switch (reading.Kind) {
    case TffValueKind::Boolean:
      if (stored != SQLITE_INTEGER) break;
      values.emplace_back(query.ColumnInt64(column) != 0);
      continue;
    case TffValueKind::Integer:
      if (stored == SQLITE_INTEGER) {
        const qint64 number = query.ColumnInt64(column);
        if (number < reading.Low || number > reading.High) break;
        values.emplace_back(reading.High > std::numeric_limits<int>::max() ? QVariant(number)
                                                                           : QVariant(int(number)));
        continue;
      }
      break;
    case TffValueKind::Float:
    case TffValueKind::DateTime:
      if (stored != SQLITE_FLOAT) break;
      values.emplace_back(query.ColumnDouble(column));
      continue;
    case TffValueKind::String:
      if (stored != SQLITE_TEXT) break;
      values.emplace_back(query.ColumnText(column));
      continue;
    default: break;
    }
    QVariant value = query.Column(column);
    if (const QString problem = ffValueFromStored(table.Dictionary, i, value); !problem.isEmpty())
      return cursor.Db->Connection->FileFailure(DBIERR_FILECORRUPT, problem);
    values.append(std::move(value));
  }
  record.Values = std::move(values);
  const qsizetype segments = cursor.IndexSchema().Segments.size();
  for (int i = 0; i < segments; ++i) keys.append(query.Column(fields + 1 + i));
  return {};
}

TffError TffServerEngine::ReadRuns(Cursor &cursor, TffScan scan, const TffKey *key, bool inclusive,
                                   std::optional<qint64> rowId, int fixed, int limit,
                                   QList<TffRecord> &records, QList<QVariant> &keys) {
  ReadPlan &plan = ReadStatements(cursor, scan, key, inclusive, rowId.has_value(), fixed);
  TffSqliteConnection &connection = *cursor.Db->Connection;
  QList<QVariant> parameters =
      cursor.Parameters(limit, key ? *key : TffKey(), rowId ? QVariant(*rowId) : QVariant());
  // Several statements read under one lock of the file rather than taking and dropping it for each.
  const bool readTransaction = plan.Runs.size() > 1 && !connection.InTransaction();
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
  const qsizetype expected = std::min(limit, 64);
  records.reserve(records.size() + expected);
  keys.reserve(keys.size() + expected * cursor.IndexSchema().Segments.size());
  TffError failure;
  for (TffKeptStatement &run : plan.Runs) {
    if (records.size() >= limit) break;
    parameters[TffSlots::Limit - 1] = qint64(limit - records.size());
    sqlite3_stmt *statement = nullptr;
    failure = connection.Prepare(run, statement);
    if (!failure.Ok()) break;
    TffSqliteStatement query(statement);
    query.BindAll(parameters);
    int rc;
    while ((rc = query.Step()) == SQLITE_ROW) {
      failure = ReadRow(cursor, query, records.emplace_back(), keys);
      if (!failure.Ok()) break;
    }
    if (!failure.Ok()) break;
    if (rc != SQLITE_DONE) {
      failure = connection.Failure(rc, QStringLiteral("Table ") + cursor.Tbl->Name);
      break; // the statement is reset on leaving the loop, before the read transaction ends
    }
  }
  if (!failure.Ok()) records.clear(), keys.clear();
  return finish(failure);
}

int TffServerEngine::FixedSegments(const Cursor &cursor) {
  if (!cursor.HasRange) return 0;
  int fixed = 0;
  // A case-insensitive text of the range matches several keys: the record's own is not the range's value.
  while (fixed < cursor.RangeFixed && fixed < cursor.Key.size() &&
         !cursor.IndexSchema().Segments[fixed].NoCase &&
         ffKeyValuesEqual(cursor.Key[fixed], cursor.Range.Start.Low[fixed]))
    ++fixed;
  return fixed;
}

// How many records a move reads at once: what is asked, and beyond it more the longer the cursor keeps
// going the same way (1, 4, 16, then 64), and at least 16 from the edge of a range (one customer's invoices,
// one invoice's lines), which is mostly read whole.
int TffServerEngine::ReadAheadCount(const Cursor &cursor, int wanted, bool fromEdge) {
  constexpr int kMostAhead = 64, kRangeFromEdge = 16;
  int count = 1 << std::min(2 * (std::max(cursor.Streak, 1) - 1), 6);
  if (fromEdge && cursor.HasRange) count = std::max(count, kRangeFromEdge);
  return std::max(wanted, std::min(count, kMostAhead));
}

TffError TffServerEngine::Move(Cursor &cursor, TffScan scan, int count, QList<TffRecord> &records) {
  records.clear();
  const bool forward = scan == TffScan::Forward;
  const Cursor::Place edge = forward ? Cursor::Place::End : Cursor::Place::Begin;
  const auto atEdge = [&] {
    cursor.Reset(edge);
    return forward ? cursor.AtEnd() : cursor.AtBeginning();
  };
  if (cursor.At == edge) return atEdge();
  Cursor::ReadAhead &ahead = cursor.Ahead;
  const bool sameWay = ahead.Scan == scan && ahead.Generation == generation_;
  cursor.Streak = sameWay ? cursor.Streak + 1 : 1;
  if (!sameWay) ahead = Cursor::ReadAhead{};
  records.reserve(count);
  // Hands out what was read ahead; the cursor goes to the last record handed out.
  const auto handOut = [&] {
    qsizetype last = -1;
    for (; records.size() < count && ahead.Next < ahead.Records.size(); last = ahead.Next++)
      records.append(std::move(ahead.Records[ahead.Next]));
    if (last < 0) return;
    const qsizetype stride = cursor.IndexSchema().Segments.size();
    cursor.SetOnRecord(records.last(), ahead.Keys.mid(last * stride, stride), generation_);
  };

  handOut();
  if (records.size() < count && !ahead.Edge) {
    // The rest from the file, and some more ahead.
    const bool fromEdge = cursor.At == (forward ? Cursor::Place::Begin : Cursor::Place::End);
    const int reading = ReadAheadCount(cursor, count - int(records.size()), fromEdge);
    QList<TffRecord> read;
    QList<QVariant> keys;
    const TffKey position = TffKey::Exact(cursor.Key);
    const TffError error = fromEdge
                               ? ReadRuns(cursor, scan, nullptr, false, std::nullopt, 0, reading, read, keys)
                               : ReadRuns(cursor, scan, &position, false, cursor.RowId, FixedSegments(cursor),
                                          reading, read, keys);
    if (!error.Ok()) return error;
    const bool metEdge = read.size() < reading;
    ahead = Cursor::ReadAhead{std::move(read), std::move(keys), 0, scan, metEdge, generation_};
    handOut();
  }
  if (records.isEmpty()) return atEdge();
  return {};
}

TffError TffServerEngine::ReadByBookmark(Cursor &cursor, TffBookmark bookmark, bool withinRange,
                                         TffRecord &record, QList<QVariant> &key, bool &found) {
  return StepByBookmark(cursor, bookmark, withinRange, found, [&](TffSqliteStatement &query) {
    key.clear();
    return ReadRow(cursor, query, record, key);
  });
}

TffError TffServerEngine::ReadStoredByBookmark(Cursor &cursor, TffBookmark bookmark, bool withinRange,
                                               QList<QVariant> &stored, bool &found) {
  return StepByBookmark(cursor, bookmark, withinRange, found, [&](TffSqliteStatement &query) {
    stored.clear();
    for (int i = 0; i < cursor.Tbl->Dictionary.FieldCount(); ++i) stored.append(query.Column(i + 1));
    return TffError{};
  });
}

TffError TffServerEngine::StepByBookmark(Cursor &cursor, TffBookmark bookmark, bool withinRange, bool &found,
                                         const std::function<TffError(TffSqliteStatement &)> &Read) {
  found = false;
  const bool ranged = withinRange && cursor.HasRange;
  RangeSqlSet &sqls = cursor.RangeSql(ranged);
  if (sqls.ByBookmark.Sql.isEmpty()) {
    QString keyColumns;
    for (const TffKeySegment &segment : cursor.IndexSchema().Segments)
      keyColumns += QStringLiteral(", ") + segment.Expression;
    sqls.ByBookmark.Sql = QStringLiteral("SELECT %1%2 FROM %3 WHERE %4 = ?%5")
                              .arg(cursor.Tbl->Columns, keyColumns, cursor.Tbl->Quoted,
                                   ffSqlQuote(QLatin1String(ffRowIdColumn)))
                              .arg(cursor.Slots().RowId());
    if (ranged) sqls.ByBookmark.Sql += QStringLiteral(" AND (") + sqls.Condition.Sql + u')';
  }
  TffSqliteConnection &connection = *cursor.Db->Connection;
  sqlite3_stmt *statement = nullptr;
  if (TffError error = connection.Prepare(sqls.ByBookmark, statement); !error.Ok()) return error;
  TffSqliteStatement query(statement);
  query.BindAll(cursor.Parameters(0, {}, QVariant(bookmark)));
  const int rc = query.Step();
  if (rc == SQLITE_DONE) return {};
  if (rc != SQLITE_ROW) return connection.Failure(rc, QStringLiteral("Table ") + cursor.Tbl->Name);
  if (TffError error = Read(query); !error.Ok()) return error;
  found = true;
  return {};
}

TffResult TffServerEngine::RecordGet(TffCursorID cursor, TffRecord &record) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  if (c->At != Cursor::Place::OnRecord) return Fail(c->NoCurrentRecord());
  if (c->Current && c->CurrentGeneration == generation_ && c->Current->Bookmark == c->RowId) {
    record = *c->Current;
    return DBIERR_NONE;
  }
  QList<QVariant> key;
  bool found = false;
  if (TffError error = ReadByBookmark(*c, c->RowId, false, record, key, found); !error.Ok())
    return Fail(error);
  if (!found) return Fail(c->RecordDeleted());
  c->Key = key;
  c->Current = record;
  c->CurrentGeneration = generation_;
  return DBIERR_NONE;
}

TffResult TffServerEngine::RecordGetNext(TffCursorID cursor, TffRecord &record) {
  const TffResult result = RecordGetBatch(cursor, 1, true, step_);
  if (result == DBIERR_NONE) record = std::move(step_.first());
  return result;
}

TffResult TffServerEngine::RecordGetPrior(TffCursorID cursor, TffRecord &record) {
  const TffResult result = RecordGetBatch(cursor, 1, false, step_);
  if (result == DBIERR_NONE) record = std::move(step_.first());
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
  stored.reserve(values.size());
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
  Table &table = *c->Tbl;
  QList<QVariant> stored;
  if (TffError error = ConvertRecord(table, values, stored); !error.Ok()) return Fail(error);
  TffSqliteConnection &connection = *c->Db->Connection;
  qint64 rowId = 0;
  QList<QVariant> row;
  const TffError error = WriteOperation(*c->Db, [&]() -> TffError {
    if (table.AutoIncField >= 0) {
      QVariant &number = stored[table.AutoIncField];
      const bool assign = !number.isValid() || number.toLongLong() == 0;
      sqlite3_stmt *statement = nullptr;
      if (TffError e = connection.Prepare(assign ? table.NextNumber : table.NumberGiven, statement); !e.Ok())
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
    row = table.ValuesOfRow(stored);
    if (TffError e = RunStatement(connection, table.Insert, row, QStringLiteral("Table ") + table.Name);
        !e.Ok())
      return e;
    rowId = sqlite3_last_insert_rowid(connection.Handle());
    return {};
  });
  if (!error.Ok()) return Fail(error);
  inserted.Bookmark = rowId;
  inserted.Values = ValuesFromStored(table.Dictionary, stored);
  c->Forget();
  c->SetOnRecord(inserted, table.KeyOf(c->Index, row), generation_);
  return DBIERR_NONE;
}

TffResult TffServerEngine::RecordModify(TffCursorID cursor, const QList<QVariant> &values,
                                        TffRecord &modified) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  Table &table = *c->Tbl;
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
  Table &table = *c->Tbl;
  TffSqliteConnection &connection = *c->Db->Connection;
  const int keptField =
      table.AutoIncField >= 0 && !stored[table.AutoIncField].isValid() ? table.AutoIncField : -1;
  const TffBookmark rowId = c->RowId;
  const TffError error = WriteOperation(*c->Db, [&]() -> TffError {
    if (TffError e = CheckRequired(table.Dictionary, stored, keptField); !e.Ok()) return e;
    QList<QVariant> binds = table.ValuesOfRow(stored);
    if (keptField >= 0) binds.removeAt(keptField);
    binds.append(QVariant(rowId));
    if (TffError e = RunStatement(connection, table.Modify[keptField < 0 ? 0 : 1], binds,
                                  QStringLiteral("Table ") + table.Name);
        !e.Ok())
      return e;
    if (sqlite3_changes(connection.Handle()) == 0) return c->RecordDeleted();
    return {};
  });
  if (!error.Ok()) return Fail(error);
  c->Forget();
  QList<QVariant> key;
  bool found = false;
  if (TffError readError = ReadByBookmark(*c, rowId, false, modified, key, found); !readError.Ok())
    return Fail(readError);
  if (found) c->SetOnRecord(modified, key, generation_);
  return DBIERR_NONE;
}

TffResult TffServerEngine::RecordDelete(TffCursorID cursor) {
  TffResult result;
  Cursor *c = FindCursor(cursor, result);
  if (!c) return result;
  Table &table = *c->Tbl;
  if (c->At != Cursor::Place::OnRecord) return Fail(c->NoCurrentRecord());
  TffSqliteConnection &connection = *c->Db->Connection;
  const TffError error = WriteOperation(*c->Db, [&]() -> TffError {
    if (TffError e = RunStatement(connection, table.Delete, {QVariant(c->RowId)},
                                  QStringLiteral("Table ") + table.Name);
        !e.Ok())
      return e;
    if (sqlite3_changes(connection.Handle()) == 0) return c->RecordDeleted();
    return {};
  });
  if (!error.Ok()) return Fail(error);
  c->Forget();
  c->At = Cursor::Place::Gap;
  return DBIERR_NONE;
}
