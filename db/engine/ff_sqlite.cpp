#include "db/engine/ff_sqlite.h"
#include "db/storage/ff_collation.h"
#include "db/storage/ff_sql_schema.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

TffSqliteStatement::~TffSqliteStatement() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

void TffSqliteStatement::BindAll(const QList<QVariant> &values) {
  const int parameters = std::min(int(values.size()), sqlite3_bind_parameter_count(statement_));
  for (int i = 0; i < parameters; ++i) Bind(i + 1, values[i]);
}

void TffSqliteStatement::Bind(int parameter, const QVariant &value) {
  if (!value.isValid()) {
    sqlite3_bind_null(statement_, parameter);
    return;
  }
  switch (value.typeId()) {
  case QMetaType::Bool:
  case QMetaType::Int:
  case QMetaType::UInt:
  case QMetaType::LongLong:
  case QMetaType::ULongLong: sqlite3_bind_int64(statement_, parameter, value.toLongLong()); break;
  case QMetaType::Double: sqlite3_bind_double(statement_, parameter, value.toDouble()); break;
  case QMetaType::QByteArray: {
    const QByteArray bytes = value.toByteArray();
    // A null pointer would store NULL: an empty BLOB is bound as a zero-length one.
    if (bytes.isEmpty())
      sqlite3_bind_zeroblob(statement_, parameter, 0);
    else
      sqlite3_bind_blob64(statement_, parameter, bytes.constData(), sqlite3_uint64(bytes.size()),
                          SQLITE_TRANSIENT);
    break;
  }
  default: {
    const QString text = value.toString();
    sqlite3_bind_text16(statement_, parameter, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
    break;
  }
  }
}

int TffSqliteStatement::Step() { return sqlite3_step(statement_); }

QVariant TffSqliteStatement::Column(int column) const {
  switch (sqlite3_column_type(statement_, column)) {
  case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(statement_, column)));
  case SQLITE_FLOAT: return QVariant(sqlite3_column_double(statement_, column));
  case SQLITE_TEXT: return QVariant(ColumnText(column));
  case SQLITE_BLOB: {
    const auto *data = static_cast<const char *>(sqlite3_column_blob(statement_, column));
    const int size = sqlite3_column_bytes(statement_, column);
    return QVariant(size > 0 ? QByteArray(data, size) : QByteArray(""));
  }
  default: return QVariant();
  }
}

int TffSqliteStatement::ColumnType(int column) const { return sqlite3_column_type(statement_, column); }

qint64 TffSqliteStatement::ColumnInt64(int column) const { return sqlite3_column_int64(statement_, column); }

double TffSqliteStatement::ColumnDouble(int column) const {
  return sqlite3_column_double(statement_, column);
}

QString TffSqliteStatement::ColumnText(int column) const {
  const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement_, column));
  return QString::fromUtf8(text, sqlite3_column_bytes(statement_, column));
}

TffSqliteConnection::~TffSqliteConnection() {
  ClearStatementCache();
  sqlite3_close_v2(db_);
}

namespace {

quint32 BigEndian(const QByteArray &bytes, int offset, int size) {
  quint32 value = 0;
  for (int i = 0; i < size; ++i) value = (value << 8) | quint8(bytes.at(offset + i));
  return value;
}

// True when the file's header promises more pages than the file holds, which only a cut-off copy or a
// damaged disk leaves behind (a crashed write leaves a journal beside the file instead).
bool ShorterThanHeaderSays(const QString &path) {
  if (QFileInfo::exists(path + QStringLiteral("-journal")) ||
      QFileInfo::exists(path + QStringLiteral("-wal")))
    return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray header = file.read(100);
  if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0"))) return false;
  const quint32 pageSizeField = BigEndian(header, 16, 2);
  const qint64 pageSize = pageSizeField == 1 ? 65536 : pageSizeField;
  const quint32 pageCount = BigEndian(header, 28, 4);
  const bool countValid = BigEndian(header, 24, 4) == BigEndian(header, 92, 4);
  return countValid && pageCount > 0 && file.size() < pageSize * pageCount;
}

// The file's triggers mark the tables that other programs change, and the engine keeps its tables itself:
// on its connection a trigger reads every mark as NULL, which its condition (mark = 0) takes as already
// marked, so the engine's writes leave none. Other triggers in the file run as they would anywhere.
int HideChangeMarks(void *, int action, const char *table, const char *column, const char *,
                    const char *trigger) {
  const bool mark = action == SQLITE_READ && trigger && table && column &&
                    qstrcmp(table, ffDictionaryTable) == 0 && qstrcmp(column, ffUncheckedChangesColumn) == 0;
  return mark ? SQLITE_IGNORE : SQLITE_OK;
}

// ff_key(text): the collation key of a text, as the key columns hold it.
void KeyFunction(sqlite3_context *context, int, sqlite3_value **arguments) {
  if (sqlite3_value_type(arguments[0]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const auto *collation = static_cast<const TffCollation *>(sqlite3_user_data(context));
  const auto *text = static_cast<const QChar *>(sqlite3_value_text16(arguments[0]));
  QByteArray key;
  collation->Key(text, sqlite3_value_bytes16(arguments[0]) / 2, key);
  sqlite3_result_blob64(context, key.constData(), sqlite3_uint64(key.size()), SQLITE_TRANSIENT);
}

} // namespace

TffError TffSqliteConnection::Open(const QString &filePath, int busyTimeoutMs, bool readOnly,
                                   std::shared_ptr<const TffCollation> collation,
                                   std::unique_ptr<TffSqliteConnection> &result) {
  const QString shownPath = QDir::toNativeSeparators(filePath);
  const QFileInfo info(filePath);
  if (!info.exists())
    return {DBIERR_NOSUCHDATABASE, ffResultText(DBIERR_NOSUCHDATABASE) + QStringLiteral(": ") + shownPath};
  if (!info.isFile())
    return {DBIERR_NOTADATABASE, ffResultText(DBIERR_NOTADATABASE) + QStringLiteral(": ") + shownPath};

  sqlite3 *db = nullptr;
  const int rc = sqlite3_open_v2(
      filePath.toUtf8().constData(), &db,
      (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX, nullptr);
  std::unique_ptr<TffSqliteConnection> connection(new TffSqliteConnection(db, filePath));
  if (rc != SQLITE_OK) return connection->Failure(rc);
  if (!collation->IsValid()) return connection->FileFailure(DBIERR_STORAGEERROR, collation->ErrorString());
  connection->collation_ = std::move(collation);
  if (const int created = sqlite3_create_function_v2(
          db, "ff_key", 1, SQLITE_UTF16 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY,
          const_cast<TffCollation *>(connection->collation_.get()), KeyFunction, nullptr, nullptr, nullptr);
      created != SQLITE_OK)
    return connection->Failure(created);
  sqlite3_extended_result_codes(db, 1);
  sqlite3_set_authorizer(db, HideChangeMarks, nullptr);
  connection->SetBusyTimeout(busyTimeoutMs);
  if (TffError error = connection->Validate(); !error.Ok()) return error;
  result = std::move(connection);
  return {};
}

TffError TffSqliteConnection::Validate() {
  if (ShorterThanHeaderSays(filePath_))
    return FileFailure(DBIERR_FILECORRUPT, QStringLiteral("the file is shorter than its header says"));
  // Every committed change must be on the disk before the commit returns.
  if (TffError error = Exec(QStringLiteral("PRAGMA synchronous = FULL")); !error.Ok()) return error;

  const auto readPragma = [this](const char *sql, qint64 &value) -> TffError {
    sqlite3_stmt *statement = nullptr;
    if (TffError error = Prepare(QString::fromLatin1(sql), statement); !error.Ok()) return error;
    TffSqliteStatement query(statement);
    const int rc = query.Step();
    if (rc != SQLITE_ROW) return Failure(rc);
    value = query.ColumnInt64(0);
    return {};
  };
  qint64 applicationId = 0, version = 0, tables = 0;
  if (TffError error = readPragma("PRAGMA application_id", applicationId); !error.Ok()) return error;
  if (applicationId != ffApplicationId) return FileFailure(DBIERR_NOTADATABASE);
  if (TffError error = readPragma("PRAGMA user_version", version); !error.Ok()) return error;
  if (version > ffSchemaVersion) return FileFailure(DBIERR_NEWERVERSION);
  if (version < 1) return FileFailure(DBIERR_NOTADATABASE);
  version_ = int(version);
  // Reads the catalogue of tables, which also parses the file's schema.
  const QString countTables = QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(ffDictionaryTable));
  if (TffError error = readPragma(countTables.toLatin1().constData(), tables); !error.Ok()) {
    if (error.Code == DBIERR_STORAGEERROR) return FileFailure(DBIERR_NOTADATABASE);
    return error;
  }
  ClearStatementCache();
  return {};
}

TffError TffSqliteConnection::Prepare(const QString &sql, sqlite3_stmt *&statement) {
  statement = statements_.value(sql, nullptr);
  if (statement) return {};
  const QByteArray utf8 = sql.toUtf8();
  const int rc = sqlite3_prepare_v3(db_, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                                    &statement, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(statement);
    statement = nullptr;
    return Failure(rc);
  }
  statements_.insert(sql, statement);
  return {};
}

TffError TffSqliteConnection::Prepare(TffKeptStatement &kept, sqlite3_stmt *&statement) {
  if (kept.Generation == generation_) {
    statement = kept.Statement;
    return {};
  }
  if (TffError error = Prepare(kept.Sql, statement); !error.Ok()) return error;
  kept.Statement = statement;
  kept.Generation = generation_;
  return {};
}

TffError TffSqliteConnection::Exec(const QString &sql) {
  const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
  return rc == SQLITE_OK ? TffError{} : Failure(rc);
}

TffError TffSqliteConnection::Run(const QString &sql) {
  sqlite3_stmt *statement = nullptr;
  if (TffError error = Prepare(sql, statement); !error.Ok()) return error;
  TffSqliteStatement query(statement);
  int rc;
  while ((rc = query.Step()) == SQLITE_ROW) {
  }
  return rc == SQLITE_DONE ? TffError{} : Failure(rc);
}

void TffSqliteConnection::ClearStatementCache() {
  for (sqlite3_stmt *statement : std::as_const(statements_)) sqlite3_finalize(statement);
  statements_.clear();
  ++generation_;
}

bool TffSqliteConnection::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

TffError TffSqliteConnection::FileFailure(TffResult code, const QString &detail) const {
  QString message = ffResultText(code) + QStringLiteral(": ") + QDir::toNativeSeparators(filePath_);
  if (!detail.isEmpty()) message += QStringLiteral(" (") + detail + u')';
  return {code, message};
}

TffError TffSqliteConnection::Failure(int sqliteCode, const QString &context) const {
  TffResult code = DBIERR_STORAGEERROR;
  switch (sqliteCode & 0xFF) {
  case SQLITE_BUSY: code = DBIERR_FILELOCKED; break;
  case SQLITE_LOCKED: code = DBIERR_LOCKED; break;
  case SQLITE_FULL: code = DBIERR_NODISKSPACE; break;
  case SQLITE_CORRUPT: code = DBIERR_FILECORRUPT; break;
  case SQLITE_NOTADB: code = DBIERR_NOTADATABASE; break;
  case SQLITE_IOERR:
    code = (sqliteCode == SQLITE_IOERR_READ || sqliteCode == SQLITE_IOERR_SHORT_READ) ? DBIERR_READERR
                                                                                      : DBIERR_WRITEERR;
    break;
  case SQLITE_CANTOPEN:
  case SQLITE_READONLY:
  case SQLITE_PERM:
  case SQLITE_AUTH: code = DBIERR_FILENOACCESS; break;
  case SQLITE_NOMEM: code = DBIERR_NOMEMORY; break;
  case SQLITE_CONSTRAINT: code = DBIERR_KEYVIOL; break;
  default: break;
  }
  const QString detail =
      db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(sqliteCode));
  TffError error = FileFailure(code, detail);
  if (!context.isEmpty()) error.Message = context + QStringLiteral(": ") + error.Message;
  return error;
}

void TffSqliteConnection::SetBusyTimeout(int milliseconds) { sqlite3_busy_timeout(db_, milliseconds); }

TffError TffSqliteConnection::SetSizeLimit(qint64 bytes) {
  sqlite3_stmt *statement = nullptr;
  if (TffError error = Prepare(QStringLiteral("PRAGMA page_size"), statement); !error.Ok()) return error;
  qint64 pageSize = 4096;
  {
    TffSqliteStatement query(statement);
    if (query.Step() == SQLITE_ROW) pageSize = query.ColumnInt64(0);
  }
  const qint64 pages = bytes > 0 ? std::max<qint64>(1, bytes / pageSize) : 0xFFFFFFFE;
  return Exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
}
