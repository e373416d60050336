#include "db/engine/ff_database_file.h"
#include "db/storage/ff_sql_schema.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <sqlite3.h>

QString ffDatabaseFilePath(const QString &folder) {
  return QDir(folder).filePath(QString::fromLatin1(ffDatabaseFileName));
}

namespace {

TffError CreateFailure(TffResult code, const QString &path, const QString &detail = QString()) {
  QString message = ffResultText(code) + QStringLiteral(": ") + QDir::toNativeSeparators(path);
  if (!detail.isEmpty()) message += QStringLiteral(" (") + detail + u')';
  return {code, message};
}

TffError InitialiseFile(const QString &path, const QString &finalPath) {
  sqlite3 *db = nullptr;
  int rc =
      sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  QString detail;
  if (rc == SQLITE_OK) {
    QStringList statements{QStringLiteral("PRAGMA journal_mode = DELETE"), QStringLiteral("BEGIN")};
    statements += ffSqlCreateDatabaseStatements();
    statements.append(QStringLiteral("COMMIT"));
    for (const QString &sql : statements) {
      rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
      if (rc != SQLITE_OK) break;
    }
    if (rc != SQLITE_OK) detail = QString::fromUtf8(sqlite3_errmsg(db));
  } else if (db) {
    detail = QString::fromUtf8(sqlite3_errmsg(db));
  }
  const int closeRc = sqlite3_close(db);
  if (rc == SQLITE_OK) rc = closeRc;
  if (rc == SQLITE_OK) return {};
  const TffResult code = (rc & 0xFF) == SQLITE_FULL ? DBIERR_NODISKSPACE : DBIERR_WRITEERR;
  return CreateFailure(code, finalPath, detail);
}

} // namespace

TffError ffCreateDatabaseFile(const QString &folder) {
  const QString path = ffDatabaseFilePath(folder);
  if (!QFileInfo(folder).isDir()) return CreateFailure(DBIERR_NOSUCHFOLDER, folder);
  if (QFileInfo::exists(path)) return CreateFailure(DBIERR_DATABASEEXISTS, path);

  QTemporaryFile temporary(QDir(folder).filePath(QStringLiteral("tallyrook.db.XXXXXX")));
  if (!temporary.open()) return CreateFailure(DBIERR_WRITEERR, path, temporary.errorString());
  const QString temporaryPath = temporary.fileName();
  temporary.close();

  if (TffError error = InitialiseFile(temporaryPath, path); !error.Ok()) return error;
  temporary.setAutoRemove(false);
  // A temporary file is private to its owner; the database is an ordinary file.
  QFile::setPermissions(temporaryPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadUser | QFileDevice::WriteUser |
                                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
  // QFile::rename never replaces an existing file, so a file made meanwhile by someone else survives.
  if (!QFile::rename(temporaryPath, path)) {
    QFile::remove(temporaryPath);
    if (QFileInfo::exists(path)) return CreateFailure(DBIERR_DATABASEEXISTS, path);
    return CreateFailure(DBIERR_WRITEERR, path);
  }
  return {};
}
