#include "app/data_folder.h"
#include "db/engine/ff_database_file.h"
#include "platform/data/fields.h"
#include "platform/windowing/application.h"
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <map>

namespace {

// When this program started (near enough: as its code was loaded); files of an earlier start are older.
const QDateTime kProgramStart = QDateTime::currentDateTimeUtc();

QString ProgramFolder() { return QFileInfo(Application()->ExeName()).absolutePath(); }

// True when the program runs in (a folder below) the folder the build wrote it to.
bool RunsInItsBuildFolder() {
#ifdef TALLYROOK_BUILD_FOLDER
  const QString build = QDir(QStringLiteral(TALLYROOK_BUILD_FOLDER)).canonicalPath();
  const QString program = QDir(ProgramFolder()).canonicalPath();
  return !build.isEmpty() && (program == build || program.startsWith(build + QLatin1Char('/')));
#else
  return false;
#endif
}

QString Shown(const QString &path) { return QDir::toNativeSeparators(QDir::cleanPath(path)); }

void MakeFolder(const QString &folder) {
  if (!QDir().mkpath(folder))
    DatabaseError(QStringLiteral("Cannot create the data folder %1").arg(Shown(folder)));
}

// The data folder locks this program holds, by lock file, each with the number of its holders.
struct HeldLock {
  std::unique_ptr<QLockFile> File;
  int Holders = 0;
};
std::map<QString, HeldLock> &HeldLocks() {
  static std::map<QString, HeldLock> locks;
  return locks;
}

} // namespace

TDataFolderLock::~TDataFolderLock() {
  auto held = HeldLocks().find(path_);
  if (held != HeldLocks().end() && --held->second.Holders == 0) HeldLocks().erase(held);
}

std::unique_ptr<TDataFolderLock> LockDataFolder(const QString &Folder) {
  MakeFolder(Folder);
  const QString database = ffDatabaseFilePath(Folder);
  const QString path =
      QDir(QFileInfo(Folder).canonicalFilePath()).filePath(QStringLiteral("tallyrook.db.lock"));
  HeldLock &held = HeldLocks()[path];
  if (!held.File) {
    auto file = std::make_unique<QLockFile>(path);
    // Only a program that runs holds the lock: one left by a program that ended is taken over.
    file->setStaleLockTime(0);
    if (!file->tryLock(0)) {
      const QLockFile::LockError error = file->error();
      qint64 pid = 0;
      QString host, application;
      const bool known = error == QLockFile::LockFailedError && file->getLockInfo(&pid, &host, &application);
      HeldLocks().erase(path);
      if (error != QLockFile::LockFailedError)
        DatabaseError(
            QStringLiteral("The lock file %1 beside the database %2 cannot be made, so the database "
                           "cannot be kept from other programs")
                .arg(Shown(path), Shown(database)));
      const QString holder = known ? QStringLiteral(" (process %1 on %2)").arg(pid).arg(host) : QString();
      DatabaseError(
          QStringLiteral("The database %1 is in use by another Tallyrook%2. Only one program at a time "
                         "can use it: close the other one first")
              .arg(Shown(database), holder));
    }
    held.File = std::move(file);
  }
  ++held.Holders;
  return std::unique_ptr<TDataFolderLock>(new TDataFolderLock(path));
}

QString AppDataFolder() {
  QString folder = qEnvironmentVariable("TALLYROOK_DATA");
  if (folder.isEmpty() && !RunsInItsBuildFolder() && QFileInfo::exists(ffDatabaseFilePath(ProgramFolder())))
    folder = ProgramFolder();
  if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  folder = QDir::cleanPath(QDir(folder).absolutePath());
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

QString ShippedDatabaseFile() {
  return QDir(ProgramFolder()).filePath(QStringLiteral("tallyrook-shipped.db"));
}

QStringList FirstDatabaseSources() {
  QStringList sources;
  if (RunsInItsBuildFolder()) sources.append(ffDatabaseFilePath(ProgramFolder()));
  sources.append(ShippedDatabaseFile());
  return sources;
}

void PrepareDataFolder(const QString &Folder, const QStringList &Sources) {
  MakeFolder(Folder);
  // Left by a start killed while it copied; one of another program's being written now is not yet older.
  for (const QString &kept : ffRemoveUnfinishedDatabaseFiles(Folder, kProgramStart))
    qWarning("The unfinished database file %s cannot be removed",
             qUtf8Printable(QDir(Folder).filePath(kept)));
  const QString database = ffDatabaseFilePath(Folder);
  if (QFileInfo::exists(database)) return;
  for (const QString &source : Sources) {
    if (!QFileInfo::exists(source)) continue;
    const TffError error = ffCopyDatabaseFile(source, Folder);
    // Another copy of the program may have put one in place meanwhile.
    if (!error.Ok() && error.Code != DBIERR_DATABASEEXISTS) DatabaseError(error.Message);
    return;
  }
  DatabaseError(QStringLiteral("The database %1 does not exist, and the shipped database %2 that a fresh one "
                               "is copied from is missing. Build or install Tallyrook again to get a fresh "
                               "database")
                    .arg(Shown(database), Shown(Sources.value(Sources.size() - 1))));
}
