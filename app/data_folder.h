// Where Tallyrook keeps its data, and how a data folder gets its database.
//
// The data folder is the folder $TALLYROOK_DATA names when it is set; else the program's own folder when a
// tallyrook.db lies beside the program (a portable install); else the user's data location of the platform
// (QStandardPaths::AppDataLocation: ~/.local/share/Tallyrook on Linux). A program that runs in the folder it
// was built in keeps no data there, so that deleting the build deletes no invoice.
//
// The build writes the shipped database beside the program as tallyrook-shipped.db: it is never the user's
// data. A data folder without a database gets a copy of it on the first start, written aside and moved in
// when complete, never over an existing database. Where the program runs in its build folder, a tallyrook.db
// that an earlier build kept beside it is copied instead, so that its invoices carry over.
#pragma once
#include <QString>
#include <QStringList>

// The data folder, with its trailing separator.
QString AppDataFolder();

// The shipped database beside the program.
QString ShippedDatabaseFile();

// The files a new data folder's database is copied from, the first that exists being used.
QStringList FirstDatabaseSources();

// Makes sure Folder holds a database: creates the folder when it is missing and copies the first existing
// source in when it has none. Raises EDatabaseError, naming the files, when it cannot.
void PrepareDataFolder(const QString &Folder, const QStringList &Sources);
