// TffServerEngine: the in-process database engine. It keeps every table of a data folder in the folder's
// one SQLite file, tallyrook.db, and is reached through handles: a database handle for an open folder, a
// cursor handle for a table opened on one of its indexes. Every operation answers with a result code,
// DBIERR_NONE (0) for success (ff_results.h); after a failure LastError() holds the code and a full
// message naming the table, field or file concerned, which the client library shows in its exception.
// The engine runs on one thread: the caller's.
//
// Values. A record is a list of values, one per field in the dictionary's order. A null value is an
// invalid QVariant. The types handed out are those of TffValueKind (ff_field_types.h): bool; int (qint64
// for fftWord32 and fftComp); double for floats, currency and dates (a TDateTime: days since 30 December
// 1899); QString for strings; QByteArray for BLOBs, where an empty BLOB (a valid, empty QByteArray) and a
// null BLOB (an invalid QVariant) stay distinct. Values given are converted to the field's type (numbers
// from texts, dates from QDate/QDateTime as well); a value that does not fit is refused
// (DBIERR_INVALIDFLDVALUE), a text longer than its field is refused (DBIERR_STRINGTOOLONG), never cut, and
// a required field left null is refused (DBIERR_REQDERR).
//
// Cursors. A cursor walks its table in the order of its current index: by the index fields as declared
// (each ascending or descending; strings compared exactly, or without regard to case as the language of the
// engine's collation locale sorts them, ff_collation.h), then by the order in which records were added, so
// records with equal keys keep their insertion order.
// Index 0, the sequential index, is that insertion order alone. A cursor stands at the beginning (before
// the first record), at the end (after the last), on a record, or in the gap a deleted record left. It
// remembers the position by the record's bookmark and key, not by a number, so it keeps its place when
// records are added, changed or deleted through other cursors: the record itself is read again on demand.
// Reading on from a position seeks through the SQLite index (no counting from the start), so moving is
// as fast on a large table as on a small one.
//
// Reading ahead. A cursor that keeps moving the same way reads the records it will be asked for next in one
// go (more the longer it goes on, and a range mostly whole from its edge) and hands them out from memory;
// it also keeps the record it stands on for RecordGet. Whatever is written through the engine (by any
// cursor of any database it has open), and the start of a transaction, makes it read the file again;
// another program's changes show from the next read of the file (putting a cursor somewhere, or a move
// beyond what it read ahead). No read holds a lock on the file between calls.
//
// Ranges. A range limits a cursor to the records whose leading index fields lie between a start key and
// an end key (in index order, inclusive or not); a key may give fewer values than the index has fields,
// and then only those leading fields are compared. Setting or dropping a range, or switching the index,
// puts the cursor at the beginning; a range belongs to its index and is dropped when the index changes.
//
// Bookmarks are the records' row ids: never reused, so a bookmark never finds another record than its own.
//
// Writing. Each insert, change or delete is saved at once in its own transaction unless a transaction of
// the database is open (TransactionStart); then everything up to TransactionCommit is saved together or,
// by TransactionRollback or a failure that ends the transaction, not at all. A commit returns only when
// the change is on the disk, so it survives a crash or a power cut. An operation that fails leaves the
// data as it was. A failure that ends an open transaction (the disk full, an input/output error) is
// reported by that operation; the transaction is then gone: further changes are refused with
// DBIERR_TRANABORTED until TransactionRollback (or TransactionCommit, which answers DBIERR_TRANABORTED)
// closes it.
//
// How a dataset maps onto it: First is CursorSetToBegin then RecordGetNext, Last is CursorSetToEnd then
// RecordGetPrior; a buffer of visible rows is filled with RecordGetBatch; a bookmark is kept per buffered
// record and CursorSetToBookmark returns to it; FindNearest is CursorSetToKey, which hands over the record
// found; SetRange is CursorSetRange with both ends inclusive; a master-detail link sets the detail's range to
// the master's key; Post is RecordInsert or RecordModify, after which the cursor stands on the posted record;
// after RecordDelete, RecordGet fails and the dataset reads the next record (or the prior one at the end).
//
// Files. Opening never creates the database file: a missing file is DBIERR_NOSUCHDATABASE, and
// DatabaseCreate makes a new one. A file that is not a Tallyrook database (DBIERR_NOTADATABASE), a damaged
// or cut-off file (DBIERR_FILECORRUPT), a file locked by another program beyond the busy timeout
// (DBIERR_FILELOCKED) and a full disk (DBIERR_NODISKSPACE) each give their result with the file's path in
// the message; none of them changes the file.
#pragma once
#include "db/engine/ff_key_search.h"
#include "db/engine/ff_results.h"
#include "db/storage/ff_data_dictionary.h"
#include "platform/core/object.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class TffCollation;
class TffSqliteStatement;

using TffDatabaseID = quint32; // 0 is never a valid handle
using TffCursorID = quint32;   // 0 is never a valid handle
using TffBookmark = qint64;

// A record as read: its bookmark and its values, one per field.
struct TffRecord {
  TffBookmark Bookmark = 0;
  QList<QVariant> Values;
};

class TffServerEngine : public TObject {
public:
  TffServerEngine();
  ~TffServerEngine() override;
  QString ClassName() const override { return QStringLiteral("TffServerEngine"); }

  // The code and full message of the last call that failed (left as they were by calls that succeed).
  const TffError &LastError() const { return lastError_; }

  // How long an operation waits for another program's lock on the file before DBIERR_FILELOCKED
  // (default 5000 ms); applies to the open databases and to those opened afterwards.
  int BusyTimeout() const { return busyTimeout_; }
  void SetBusyTimeout(int milliseconds);

  // The locale (named as QLocale names it) whose language case-insensitive indexes sort by; by default the
  // default locale's at the engine's creation. Applies to the databases opened afterwards: a file whose keys
  // follow another locale or another version of its rules has them made again, in one transaction, as it
  // is opened.
  QString CollationLocale() const { return collationLocale_; }
  void SetCollationLocale(const QString &locale);

  // ---- Databases (a data folder) ----

  // Creates a new, empty database file in an existing folder; refuses to replace an existing one
  // (DBIERR_DATABASEEXISTS).
  TffResult DatabaseCreate(const QString &folder);
  // Opens the database file of a folder (or a database file by its path) for reading and writing. A file
  // of an older layout is upgraded first, in one transaction; keys made under other collation rules are
  // made again and rows another program wrote are put right (ff_file_upkeep.h). Opened for reading only, a
  // file is read as it stands, nothing of it put right (a search on a case-insensitive index may then go
  // astray), and every change is refused.
  TffResult DatabaseOpen(const QString &folder, TffDatabaseID &database);
  TffResult DatabaseOpenFile(const QString &filePath, TffDatabaseID &database, bool readOnly = false);
  // Closes a database with its cursors; an open transaction is rolled back.
  TffResult DatabaseClose(TffDatabaseID database);
  // The path of the database's file.
  TffResult DatabaseGetFilePath(TffDatabaseID database, QString &filePath);
  // The names of the database's tables, sorted by name.
  TffResult DatabaseTableList(TffDatabaseID database, QStringList &tables);
  TffResult DatabaseTableExists(TffDatabaseID database, const QString &tableName, bool &exists);
  // Limits the size of the file (rounded down to whole pages; 0 lifts the limit): a change that would need
  // more room fails with DBIERR_NODISKSPACE as on a full disk. For tests and for capping a folder.
  TffResult DatabaseSetSizeLimit(TffDatabaseID database, qint64 bytes);

  // ---- Tables (at most 255 characters; ASCII letters in names compare without regard to case) ----

  // Creates a table from a definition: its fields and indexes. An existing table of that name is replaced
  // when overWrite is set, else DBIERR_TABLEEXISTS. A table with open cursors is not replaced
  // (DBIERR_TABLEINUSE).
  TffResult TableBuild(TffDatabaseID database, bool overWrite, const QString &tableName,
                       const TffDataDictionary &dictionary);
  // Removes a table (DBIERR_TABLEINUSE while cursors are open on it).
  TffResult TableDelete(TffDatabaseID database, const QString &tableName);
  // Deletes every record. Cursors open on the table stay open; automatic numbers are not reused.
  TffResult TableEmpty(TffDatabaseID database, const QString &tableName);
  // Gives a table the indexes of a new definition whose fields are the table's own (same names, types and
  // sizes, else DBIERR_INVALIDDICTIONARY); the records stay. A unique index that the records break is
  // refused (DBIERR_KEYVIOL) and the table keeps its indexes. DBIERR_TABLEINUSE while cursors are open on
  // it.
  TffResult TableChangeIndexes(TffDatabaseID database, const QString &tableName,
                               const TffDataDictionary &dictionary);
  // A read-only copy of a table's definition.
  TffResult TableGetDictionary(TffDatabaseID database, const QString &tableName,
                               std::optional<TffDataDictionary> &dictionary);

  // ---- Transactions ----

  TffResult TransactionStart(TffDatabaseID database);
  TffResult TransactionCommit(TffDatabaseID database);
  TffResult TransactionRollback(TffDatabaseID database);
  bool InTransaction(TffDatabaseID database) const;

  // ---- Cursors ----

  // Opens a cursor on a table and an index named in indexName (empty: index 0), at the beginning.
  TffResult CursorOpen(TffDatabaseID database, const QString &tableName, const QString &indexName,
                       TffCursorID &cursor);
  TffResult CursorClose(TffCursorID cursor);
  // The table's definition (read-only); null for an invalid handle. Valid while the cursor is open.
  const TffDataDictionary *CursorDictionary(TffCursorID cursor) const;
  // The number of the cursor's current index; -1 for an invalid handle.
  int CursorIndex(TffCursorID cursor) const;

  // Switches to another index (by name, without regard to case; empty: index 0) and drops the range.
  // With keepPosition the cursor stays on its current record, else it goes to the beginning.
  TffResult CursorSwitchToIndex(TffCursorID cursor, const QString &indexName, bool keepPosition);
  // Limits the cursor to a range of its current index (see Ranges above): start and end give values for
  // leading index fields (an empty list leaves that end open). At most as many values as index fields
  // (DBIERR_TOOMANYKEYFIELDS). The cursor goes to the beginning.
  TffResult CursorSetRange(TffCursorID cursor, const QList<QVariant> &startValues, bool startInclusive,
                           const QList<QVariant> &endValues, bool endInclusive);
  TffResult CursorResetRange(TffCursorID cursor);

  TffResult CursorSetToBegin(TffCursorID cursor);
  TffResult CursorSetToEnd(TffCursorID cursor);
  // Finds the nearest record for a key of leading index fields: the first record (within the range) whose
  // key comes at or after it in index order; when none does, the last record; when there is no record at
  // all, the cursor stands at the end. Strings of a case-insensitive field match every text with the same
  // letters, whatever their case and their accents where the language takes them as the same letter.
  // `found`, when given, receives the record the cursor now stands on (none at the end).
  TffResult CursorSetToKey(TffCursorID cursor, const QList<QVariant> &keyValues,
                           std::optional<TffRecord> *found = nullptr);
  // Puts the cursor on a record: DBIERR_RECDELETED when it no longer exists, DBIERR_RECNOTFOUND when it
  // lies outside the range.
  TffResult CursorSetToBookmark(TffCursorID cursor, TffBookmark bookmark);
  // The bookmark of the record the cursor stands on (DBIERR_NOCURRREC elsewhere).
  TffResult CursorGetBookmark(TffCursorID cursor, TffBookmark &bookmark);
  // The number of records of the table, or of the range when one is set.
  TffResult CursorGetRecordCount(TffCursorID cursor, qint64 &count);

  // ---- Records ----

  // Reads the record the cursor stands on, as it is now: DBIERR_NOCURRREC when the cursor is not on a
  // record, DBIERR_RECDELETED when it was deleted meanwhile.
  TffResult RecordGet(TffCursorID cursor, TffRecord &record);
  // Moves to the next (prior) record and reads it; past the last (first) record the cursor goes to the end
  // (beginning) and DBIERR_EOF (DBIERR_BOF) is answered.
  TffResult RecordGetNext(TffCursorID cursor, TffRecord &record);
  TffResult RecordGetPrior(TffCursorID cursor, TffRecord &record);
  // Reads up to `count` records onward (forward) or backward in one go, in reading order (backward: the
  // nearest prior record first), moving onto the last one read; DBIERR_EOF (DBIERR_BOF) when there was
  // none to read.
  TffResult RecordGetBatch(TffCursorID cursor, int count, bool forward, QList<TffRecord> &records);
  // Adds a record and puts the cursor on it; `inserted` receives it as stored. An auto-increment field
  // given null or 0 receives the table's next number; numbers are never handed out twice, even after the
  // last record was deleted or the table emptied.
  TffResult RecordInsert(TffCursorID cursor, const QList<QVariant> &values, TffRecord &inserted);
  // Replaces the values of the record the cursor stands on; the cursor stays on it, in its new place in
  // the index. A null auto-increment value keeps the number the record has.
  TffResult RecordModify(TffCursorID cursor, const QList<QVariant> &values, TffRecord &modified);
  // Sets one field (by number) of the record the cursor stands on and leaves every other field exactly as
  // it is stored, even a value another program left beyond its field's definition.
  TffResult RecordModifyField(TffCursorID cursor, int field, const QVariant &value, TffRecord &modified);
  // Deletes the record the cursor stands on; the cursor stays in its gap, so the next and prior records
  // are those around it.
  TffResult RecordDelete(TffCursorID cursor);

private:
  struct Database;
  struct Cursor;
  struct Table;
  struct ReadPlan;
  struct RangeSqlSet;

  TffResult Fail(const TffError &error);
  TffResult Fail(TffResult code, const QString &message);
  Database *FindDatabase(TffDatabaseID id, TffResult &result);
  Cursor *FindCursor(TffCursorID id, TffResult &result);
  TffError LoadTable(Database &database, const QString &tableName, std::shared_ptr<Table> &table);
  // The open database and the loaded definition of one of its tables.
  TffResult FindTable(TffDatabaseID database, const QString &tableName, Database *&db,
                      std::shared_ptr<Table> &table);
  bool TableHasCursors(const Database &database, const QString &tableName) const;
  // Drops the kept definition of a table from every open database of the same file.
  void ForgetTable(const Database &database, const QString &tableName);
  template <typename Body>
  TffError WriteOperation(Database &database, Body &&body);
  // A write operation that builds or drops a table: no kept statement or definition outlives it.
  template <typename Body>
  TffError SchemaOperation(Database &database, const QString &tableName, Body &&body);
  // The statements that read the runs following a position (a key, or nullptr for the edge), kept by the
  // table for every later read of the same shape.
  ReadPlan &ReadStatements(Cursor &cursor, TffScan scan, const TffKey *key, bool inclusive, bool withRowId,
                           int fixed);
  // Reads up to `limit` records following a position (ffSeekRuns; a null key: from the edge) within the
  // cursor's range, with their keys in the cursor's index, one after another in `keys`.
  TffError ReadRuns(Cursor &cursor, TffScan scan, const TffKey *key, bool inclusive,
                    std::optional<qint64> rowId, int fixed, int limit, QList<TffRecord> &records,
                    QList<QVariant> &keys);
  // The record a read statement stands on; its key (the columns after the fields) is added to `keys`.
  TffError ReadRow(const Cursor &cursor, TffSqliteStatement &query, TffRecord &record,
                   QList<QVariant> &keys) const;
  // Leading index fields on which the cursor's key and its range both hold the range's one value: no record
  // in the range differs from the key there.
  static int FixedSegments(const Cursor &cursor);
  static int ReadAheadCount(const Cursor &cursor, int wanted, bool fromEdge);
  TffError Move(Cursor &cursor, TffScan scan, int count, QList<TffRecord> &records);
  TffError ReadByBookmark(Cursor &cursor, TffBookmark bookmark, bool withinRange, TffRecord &record,
                          QList<QVariant> &key, bool &found);
  // The record's values as they are stored.
  TffError ReadStoredByBookmark(Cursor &cursor, TffBookmark bookmark, bool withinRange,
                                QList<QVariant> &stored, bool &found);
  // Steps the read of one row by its bookmark (within the cursor's range when asked) and hands the row, when
  // there is one, to Read.
  TffError StepByBookmark(Cursor &cursor, TffBookmark bookmark, bool withinRange, bool &found,
                          const std::function<TffError(TffSqliteStatement &)> &Read);
  // Writes stored values over the record the cursor stands on; `modified` receives it as stored.
  TffResult WriteModified(Cursor *c, const QList<QVariant> &stored, TffRecord &modified);
  TffError ConvertRecord(const Table &table, const QList<QVariant> &values, QList<QVariant> &stored);
  std::shared_ptr<const TffCollation> Collation();

  int busyTimeout_ = 5000;
  QString collationLocale_;
  std::shared_ptr<const TffCollation> collation_;
  // Changes with every write through the engine: what cursors read ahead is good while it stays.
  quint64 generation_ = 1;
  QList<TffRecord> step_; // the record of a single step, kept for its room
  TffError lastError_;
  quint32 nextHandle_ = 1;
  std::map<TffDatabaseID, std::unique_ptr<Database>> databases_;
  std::map<TffCursorID, std::unique_ptr<Cursor>> cursors_;
};
