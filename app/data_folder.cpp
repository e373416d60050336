#include "app/data_folder.h"
#include "db/engine/ff_database_file.h"
#include "platform/data/fields.h"
#include "platform/windowing/application.h"
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

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

} // namespace

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
  if (!QDir().mkpath(Folder))
    DatabaseError(QStringLiteral("Cannot create the data folder %1").arg(Shown(Folder)));
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
