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
//
// One program at a time uses a data folder: the program holds the folder's lock, a lock file beside the
// database (tallyrook.db.lock), for as long as it runs. A second program on the same database is refused
// whatever its session (the single-instance guard only meets copies started in the same session); a lock left
// by a program that has ended (a crash, a kill) is taken over.
#pragma once
#include <QString>
#include <QStringList>
#include <memory>

class QLockFile;

// The data folder, with its trailing separator.
QString AppDataFolder();

// The shipped database beside the program.
QString ShippedDatabaseFile();

// The files a new data folder's database is copied from, the first that exists being used.
QStringList FirstDatabaseSources();

// The lock of a data folder, held while the object lives.
class TDataFolderLock {
public:
  ~TDataFolderLock();
  TDataFolderLock(const TDataFolderLock &) = delete;
  TDataFolderLock &operator=(const TDataFolderLock &) = delete;
  QString FileName() const { return path_; }

private:
  friend std::unique_ptr<TDataFolderLock> LockDataFolder(const QString &Folder);
  explicit TDataFolderLock(const QString &Path) : path_(Path) {}
  QString path_;
};

// Takes the lock of Folder (creating the folder when it is missing). Within one program the lock may be
// taken again; it is let go when the last holder goes. Raises EDatabaseError, naming the database, when
// another program holds it, or when the lock file cannot be made.
std::unique_ptr<TDataFolderLock> LockDataFolder(const QString &Folder);

// Makes sure Folder holds a database: creates the folder when it is missing and copies the first existing
// source in when it has none. The temporary files of such a copy that an earlier start left behind (killed
// while copying) are removed first. Call it holding the folder's lock. Raises EDatabaseError, naming the
// files, when it cannot.
void PrepareDataFolder(const QString &Folder, const QStringList &Sources);
