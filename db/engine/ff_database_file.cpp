#include "db/engine/ff_database_file.h"
#include "db/storage/ff_sql_schema.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <sqlite3.h>

QString ffDatabaseFilePath(const QString &folder) {
  return QDir(folder).filePath(QString::fromLatin1(ffDatabaseFileName));
}

namespace {

// The temporary name of a database file being written; QTemporaryFile puts six letters or digits for the X.
const QString kTemporaryName = QStringLiteral("tallyrook.db.XXXXXX");

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

// Makes a folder's database file complete or not at all: `fill` writes it under a temporary name in the
// folder, which is then renamed without replacing, so a file made meanwhile by someone else survives.
template <typename Fill>
TffError WriteAsideAndMoveIn(const QString &folder, Fill &&fill) {
  const QString path = ffDatabaseFilePath(folder);
  if (!QFileInfo(folder).isDir()) return CreateFailure(DBIERR_NOSUCHFOLDER, QDir::cleanPath(folder));
  if (QFileInfo::exists(path)) return CreateFailure(DBIERR_DATABASEEXISTS, path);

  QTemporaryFile temporary(QDir(folder).filePath(kTemporaryName));
  if (!temporary.open()) return CreateFailure(DBIERR_WRITEERR, path, temporary.errorString());
  const QString temporaryPath = temporary.fileName();
  temporary.close();

  if (TffError error = fill(temporaryPath, path); !error.Ok()) return error;
  temporary.setAutoRemove(false);
  // A temporary file is private to its owner; the database is an ordinary file.
  QFile::setPermissions(temporaryPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadUser | QFileDevice::WriteUser |
                                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
  if (!QFile::rename(temporaryPath, path)) {
    QFile::remove(temporaryPath);
    if (QFileInfo::exists(path)) return CreateFailure(DBIERR_DATABASEEXISTS, path);
    return CreateFailure(DBIERR_WRITEERR, path);
  }
  return {};
}

// Copies a database file through SQLite, which reads it under a lock and writes the copy whole.
TffError CopyFile(const QString &source, const QString &path, const QString &finalPath) {
  sqlite3 *from = nullptr, *to = nullptr;
  int rc = sqlite3_open_v2(source.toUtf8().constData(), &from, SQLITE_OPEN_READONLY, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_open_v2(path.toUtf8().constData(), &to, SQLITE_OPEN_READWRITE, nullptr);
  QString detail;
  if (rc == SQLITE_OK) {
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (backup) {
      rc = sqlite3_backup_step(backup, -1);
      const int finished = sqlite3_backup_finish(backup);
      if (rc == SQLITE_DONE) rc = finished;
    } else {
      rc = sqlite3_errcode(to);
    }
  }
  if (rc != SQLITE_OK) detail = QString::fromUtf8(sqlite3_errmsg(to ? to : from));
  if (rc == SQLITE_OK) rc = sqlite3_exec(to, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
  sqlite3_close(from);
  const int closeRc = sqlite3_close(to);
  if (rc == SQLITE_OK) rc = closeRc;
  if (rc == SQLITE_OK) return {};
  const TffResult code = (rc & 0xFF) == SQLITE_FULL ? DBIERR_NODISKSPACE : DBIERR_WRITEERR;
  return CreateFailure(code, finalPath,
                       QStringLiteral("copying %1: %2").arg(QDir::toNativeSeparators(source), detail));
}

} // namespace

TffError ffCreateDatabaseFile(const QString &folder) { return WriteAsideAndMoveIn(folder, InitialiseFile); }

TffError ffCopyDatabaseFile(const QString &source, const QString &folder) {
  if (!QFileInfo(source).isFile())
    return {DBIERR_NOSUCHDATABASE,
            ffResultText(DBIERR_NOSUCHDATABASE) + QStringLiteral(": ") + QDir::toNativeSeparators(source)};
  return WriteAsideAndMoveIn(folder, [&](const QString &path, const QString &finalPath) {
    return CopyFile(source, path, finalPath);
  });
}

QStringList ffRemoveUnfinishedDatabaseFiles(const QString &folder, const QDateTime &olderThan) {
  // The temporary name with its six letters, and SQLite's journal of such a file.
  static const QRegularExpression temporary(
      QRegularExpression::anchoredPattern(QStringLiteral("tallyrook\\.db\\.[A-Za-z0-9]{6}(-journal)?")));
  const QDir dir(folder);
  QStringList kept;
  const auto remove = [&](const QFileInfo &file) {
    const QString path = file.absoluteFilePath();
    if (QFileInfo::exists(path) && !QFile::remove(path)) kept.append(file.fileName());
  };
  for (const QFileInfo &file :
       dir.entryInfoList({QStringLiteral("tallyrook.db.*")}, QDir::Files | QDir::Hidden)) {
    const QRegularExpressionMatch match = temporary.match(file.fileName());
    if (!match.hasMatch() || file.lastModified() >= olderThan) continue;
    if (!match.captured(1).isEmpty()) {
      // A journal whose file has gone can never be rolled back into it.
      if (!QFileInfo::exists(file.absoluteFilePath().chopped(8))) remove(file);
      continue;
    }
    // Only what is plainly unfinished goes: a file never written to, or one with a journal beside it (the
    // copy was cut off in its transaction). A finished file of that name may be someone's copy: it stays.
    const QFileInfo journal(file.absoluteFilePath() + QStringLiteral("-journal"));
    if (file.size() > 0 && !journal.exists()) continue;
    remove(journal);
    remove(file);
  }
  return kept;
}
