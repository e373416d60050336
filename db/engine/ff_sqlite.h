// A connection to a data folder's database file, with prepared statements kept for reuse, and the mapping
// of SQLite's failures to engine results whose messages name the file.
#pragma once
#include "db/engine/ff_results.h"
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

class TffCollation;
struct sqlite3;
struct sqlite3_stmt;

// A prepared statement borrowed from the connection's cache. Binds stored values (null, qint64, double,
// QString, QByteArray), steps, reads columns, and is reset when it goes out of scope so that it never
// keeps a read lock on the file.
class TffSqliteStatement {
public:
  explicit TffSqliteStatement(sqlite3_stmt *statement) : statement_(statement) {}
  TffSqliteStatement(const TffSqliteStatement &) = delete;
  TffSqliteStatement &operator=(const TffSqliteStatement &) = delete;
  ~TffSqliteStatement();

  // Binds the values to the parameters 1, 2, ... in order, as far as the statement has parameters.
  void BindAll(const QList<QVariant> &values);
  void Bind(int parameter, const QVariant &value);
  // SQLITE_ROW, SQLITE_DONE or SQLite's error code.
  int Step();
  // The stored value of a column: invalid for NULL, qint64, double, QString or QByteArray (an empty BLOB
  // is an empty, valid QByteArray).
  QVariant Column(int column) const;
  // What SQLite stores in a column (SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL),
  // and its value as a number.
  int ColumnType(int column) const;
  qint64 ColumnInt64(int column) const;
  double ColumnDouble(int column) const;
  QString ColumnText(int column) const;

private:
  sqlite3_stmt *statement_;
};

// A statement its user keeps: prepared on first use, and again after the connection dropped its statements.
struct TffKeptStatement {
  QString Sql;
  sqlite3_stmt *Statement = nullptr;
  quint64 Generation = 0;
};

class TffSqliteConnection {
public:
  ~TffSqliteConnection();

  // Opens an existing database file for reading and writing (or for reading only); never creates one.
  // Checks that it is a Tallyrook database of a layout this engine reads (its own or an older one), and that
  // it is not shorter than its header says. The key columns follow `collation`, which the SQL function
  // ff_key(text) gives on this connection only (nothing stored in the file refers to it).
  static TffError Open(const QString &filePath, int busyTimeoutMs, bool readOnly,
                       std::shared_ptr<const TffCollation> collation,
                       std::unique_ptr<TffSqliteConnection> &result);

  sqlite3 *Handle() const { return db_; }
  const QString &FilePath() const { return filePath_; }
  // The file's layout version (its user_version) as it was opened.
  int SchemaVersion() const { return version_; }
  const std::shared_ptr<const TffCollation> &Collation() const { return collation_; }

  // A statement prepared once and reused; on failure, statement is null and the error is returned.
  TffError Prepare(const QString &sql, sqlite3_stmt *&statement);
  TffError Prepare(TffKeptStatement &kept, sqlite3_stmt *&statement);
  // Runs statements that return no rows (schema changes), parsed anew each time.
  TffError Exec(const QString &sql);
  // Runs one statement that returns no rows, kept prepared for reuse (transaction control).
  TffError Run(const QString &sql);
  // Drops every kept statement (after a schema change).
  void ClearStatementCache();

  // True while a transaction is open on the connection.
  bool InTransaction() const;
  // The engine result for one of SQLite's codes, its message naming the file.
  TffError Failure(int sqliteCode, const QString &context = QString()) const;
  // The result of a failure of the file itself (not of a statement).
  TffError FileFailure(TffResult code, const QString &detail = QString()) const;

  void SetBusyTimeout(int milliseconds);
  // Limits the file to the given number of bytes (rounded down to whole pages); 0 lifts the limit.
  TffError SetSizeLimit(qint64 bytes);

private:
  TffSqliteConnection(sqlite3 *db, const QString &filePath) : db_(db), filePath_(filePath) {}
  TffError Validate();

  std::shared_ptr<const TffCollation> collation_; // outlives the connection, whose ff_key uses it
  sqlite3 *db_;
  QString filePath_;
  int version_ = 0;
  QHash<QString, sqlite3_stmt *> statements_;
  quint64 generation_ = 1; // changes whenever the kept statements are dropped
};
