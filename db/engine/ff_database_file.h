// The database file of a data folder: where it is, and creating a new one (used by the engine's explicit
// create call, by the tool that writes the shipped database and by the first start of a data folder).
#pragma once
#include "db/engine/ff_results.h"
#include <QDateTime>
#include <QString>
#include <QStringList>

// The folder's database file: folder + "/tallyrook.db".
QString ffDatabaseFilePath(const QString &folder);

// Creates a new, empty Tallyrook database file in an existing folder, refusing to replace an existing
// file (DBIERR_DATABASEEXISTS). The file appears complete or not at all: it is built under a temporary
// name and then renamed without replacing.
TffError ffCreateDatabaseFile(const QString &folder);

// Creates the folder's database file as a copy of another database file, on the same terms: never over an
// existing file (DBIERR_DATABASEEXISTS), complete or not at all.
TffError ffCopyDatabaseFile(const QString &source, const QString &folder);

// Removes what a creation or copy cut short (a crash, a kill) left in the folder under its temporary names
// ("tallyrook.db." and six letters or digits) before `olderThan`, so that one being written now stays: such a
// file still empty, or with SQLite's journal beside it (cut off in its transaction), with that journal, and a
// journal whose file has gone. A finished file of such a name is left alone: it may be someone's copy.
// Returns the names of the files it could not remove.
QStringList ffRemoveUnfinishedDatabaseFiles(const QString &folder, const QDateTime &olderThan);
