// Bad database files: missing, not a database, cut off, damaged, locked by another program, a full disk;
// and a committed change surviving a crash. Each failure names the file and leaves it as it was.
#include "engine_fixture.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray ReadFile(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// A connection of another program to the same file.
class OtherProgram {
public:
  explicit OtherProgram(const QString &path) {
    sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
  }
  ~OtherProgram() { sqlite3_close(db_); }
  int Exec(const char *sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

private:
  sqlite3 *db_ = nullptr;
};

class EngineFilesTest : public EngineTest {
protected:
  // Lines with long descriptions, enough for many pages; the database is closed afterwards.
  void FillLinesAndClose(int count) {
    BuildLines();
    const TffCursorID cursor = Open(QStringLiteral("MINV2"));
    ASSERT_OK(engine.TransactionStart(db));
    for (int i = 0; i < count; ++i) Insert(cursor, {i, 1.0, QString(300, QChar(u'a' + i % 26)), 2.0});
    ASSERT_OK(engine.TransactionCommit(db));
    ASSERT_OK(engine.DatabaseClose(db));
  }

  // Opens the folder and reads every line; the first failing result, or 0.
  TffResult OpenAndReadAll(TffServerEngine &reader) {
    TffDatabaseID database = 0;
    if (const TffResult result = reader.DatabaseOpen(folder.path(), database); result != DBIERR_NONE)
      return result;
    TffCursorID cursor = 0;
    if (const TffResult result =
            reader.CursorOpen(database, QStringLiteral("MINV2"), QStringLiteral("REC"), cursor);
        result != DBIERR_NONE)
      return result;
    TffRecord record;
    TffResult result;
    while ((result = reader.RecordGetNext(cursor, record)) == DBIERR_NONE) {
    }
    return result == DBIERR_EOF ? DBIERR_NONE : result;
  }
};

TEST_F(EngineFilesTest, MissingFolderOrFileIsReportedAndNothingIsCreated) {
  QTemporaryDir empty;
  TffServerEngine other;
  TffDatabaseID database = 0;
  EXPECT_EQ(other.DatabaseOpen(empty.filePath(QStringLiteral("nowhere")), database), DBIERR_NOSUCHFOLDER);
  EXPECT_TRUE(other.LastError().Message.contains(empty.filePath(QStringLiteral("nowhere"))));
  EXPECT_EQ(other.DatabaseOpen(empty.path(), database), DBIERR_NOSUCHDATABASE);
  const QString path = empty.filePath(QStringLiteral("tallyrook.db"));
  EXPECT_EQ(other.LastError().Message, QStringLiteral("Database file does not exist: ") + path);
  EXPECT_TRUE(QDir(empty.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
  EXPECT_EQ(database, 0u);
}

TEST_F(EngineFilesTest, CreatingRefusesToReplaceAnExistingFile) {
  BuildLines();
  Insert(Open(QStringLiteral("MINV2")), {1, 1.0, QStringLiteral("kept"), 1.0});
  EXPECT_EQ(engine.DatabaseCreate(folder.path()), DBIERR_DATABASEEXISTS);
  EXPECT_EQ(engine.LastError().Message, QStringLiteral("Database file already exists: ") + FilePath());
  EXPECT_EQ(Column(Open(QStringLiteral("MINV2")), 2), QStringList({"kept"}));
  EXPECT_EQ(engine.DatabaseCreate(folder.filePath(QStringLiteral("missing"))), DBIERR_NOSUCHFOLDER);

  QTemporaryDir fresh;
  EXPECT_OK(engine.DatabaseCreate(fresh.path()));
  EXPECT_EQ(QDir(fresh.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
            QStringList({"tallyrook.db"}));
  EXPECT_TRUE(QFileInfo(fresh.filePath(QStringLiteral("tallyrook.db"))).permissions() &
              QFileDevice::ReadOther);
  TffDatabaseID database = 0;
  EXPECT_OK(engine.DatabaseOpen(fresh.path(), database));
  QStringList tables{QStringLiteral("x")};
  EXPECT_OK(engine.DatabaseTableList(database, tables));
  EXPECT_TRUE(tables.isEmpty());
}

TEST_F(EngineFilesTest, FileThatIsNotATallyrookDatabaseIsRefusedUntouched) {
  EXPECT_OK(engine.DatabaseClose(db));
  QByteArray junk(8192, '\0');
  for (int i = 0; i < junk.size(); ++i) junk[i] = char((i * 131) ^ 0x5A);
  const QByteArray otherApplication = [&] {
    QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("other.db"));
    sqlite3 *h = nullptr;
    sqlite3_open(path.toUtf8().constData(), &h);
    sqlite3_exec(h, "CREATE TABLE notes(text)", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return ReadFile(path);
  }();
  ASSERT_FALSE(otherApplication.isEmpty());
  for (const QByteArray &contents : {junk, QByteArray("just some text\n"), QByteArray(), otherApplication}) {
    WriteFile(FilePath(), contents);
    TffServerEngine other;
    TffDatabaseID database = 0;
    EXPECT_EQ(other.DatabaseOpen(folder.path(), database), DBIERR_NOTADATABASE) << contents.size();
    EXPECT_TRUE(other.LastError().Message.startsWith(QStringLiteral("File is not a Tallyrook database: ") +
                                                     FilePath()))
        << other.LastError().Message.toStdString();
    EXPECT_EQ(ReadFile(FilePath()), contents);
  }
}

TEST_F(EngineFilesTest, CutOffFileIsReportedAsDamaged) {
  FillLinesAndClose(2000);
  QFile file(FilePath());
  const qint64 size = file.size();
  ASSERT_TRUE(file.resize(size / 2));
  TffServerEngine reader;
  EXPECT_EQ(OpenAndReadAll(reader), DBIERR_FILECORRUPT);
  EXPECT_TRUE(
      reader.LastError().Message.startsWith(QStringLiteral("Database file is damaged: ") + FilePath()))
      << reader.LastError().Message.toStdString();
  EXPECT_EQ(QFile(FilePath()).size(), size / 2);
}

TEST_F(EngineFilesTest, DamagedPagesAreReportedWithoutACrash) {
  FillLinesAndClose(2000);
  QByteArray contents = ReadFile(FilePath());
  for (qsizetype i = contents.size() / 2; i < contents.size(); ++i) contents[i] = char(0xA5 ^ (i & 0xFF));
  WriteFile(FilePath(), contents);
  TffServerEngine reader;
  EXPECT_EQ(OpenAndReadAll(reader), DBIERR_FILECORRUPT);
  EXPECT_TRUE(reader.LastError().Message.contains(FilePath())) << reader.LastError().Message.toStdString();
  EXPECT_EQ(ReadFile(FilePath()), contents);
}

TEST_F(EngineFilesTest, FileLockedByAnotherProgramIsReportedAndWorksOnceReleased) {
  BuildLines();
  TffCursorID cursor = Open(QStringLiteral("MINV2"));
  Insert(cursor, {1, 1.0, QStringLiteral("before"), 1.0});
  OtherProgram other(FilePath());

  // A write lock: reading goes on, writing waits and then reports the lock.
  ASSERT_EQ(other.Exec("BEGIN IMMEDIATE; DELETE FROM MINV2;"), SQLITE_OK);
  TffRecord record;
  EXPECT_EQ(engine.RecordInsert(cursor, {2, 1.0, QStringLiteral("blocked"), 1.0}, record), DBIERR_FILELOCKED);
  EXPECT_TRUE(engine.LastError().Message.startsWith(
      QStringLiteral("Database file is locked by another program: ") + FilePath()));
  EXPECT_EQ(engine.TransactionStart(db), DBIERR_FILELOCKED);
  EXPECT_FALSE(engine.InTransaction(db));
  EXPECT_EQ(Column(cursor, 2), QStringList({"before"}));
  ASSERT_EQ(other.Exec("ROLLBACK"), SQLITE_OK);
  Insert(cursor, {2, 1.0, QStringLiteral("after"), 1.0});

  // An exclusive lock: even opening waits and then reports the lock.
  ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
  TffServerEngine second;
  second.SetBusyTimeout(50);
  TffDatabaseID database = 0;
  EXPECT_EQ(second.DatabaseOpen(folder.path(), database), DBIERR_FILELOCKED);
  EXPECT_TRUE(second.LastError().Message.contains(FilePath()));
  ASSERT_EQ(other.Exec("COMMIT"), SQLITE_OK);
  EXPECT_EQ(second.DatabaseOpen(folder.path(), database), DBIERR_NONE);
  EXPECT_EQ(Column(cursor, 2), QStringList({"before", "after"}));
}

TEST_F(EngineFilesTest, FullDiskIsReportedAndKeepsTheData) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("N"), QString(), fftInt32, 0, 0, false);
  dictionary.AddField(QStringLiteral("DATA"), QString(), fftBLOB, 0, 0, false);
  ASSERT_OK(engine.TableBuild(db, false, QStringLiteral("BIG"), dictionary));
  const TffCursorID cursor = Open(QStringLiteral("BIG"));
  ASSERT_OK(engine.DatabaseSetSizeLimit(db, QFile(FilePath()).size() + 64 * 1024));
  const QByteArray blob(10000, 'b');

  int stored = 0;
  TffRecord record;
  TffResult result;
  while ((result = engine.RecordInsert(cursor, {stored, blob}, record)) == DBIERR_NONE && stored < 100)
    ++stored;
  EXPECT_EQ(result, DBIERR_NODISKSPACE);
  EXPECT_TRUE(engine.LastError().Message.contains(QStringLiteral("Database full: insufficient disk space: ") +
                                                  FilePath()))
      << engine.LastError().Message.toStdString();
  EXPECT_GT(stored, 0);
  qint64 count = 0;
  EXPECT_OK(engine.CursorGetRecordCount(cursor, count));
  EXPECT_EQ(count, stored);

  // In a transaction: the failure is reported; rolling back leaves what was there before.
  EXPECT_OK(engine.TableEmpty(db, QStringLiteral("BIG")));
  Insert(cursor, {-1, blob});
  ASSERT_OK(engine.TransactionStart(db));
  int added = 0;
  while ((result = engine.RecordInsert(cursor, {added, blob}, record)) == DBIERR_NONE && added < 100) ++added;
  EXPECT_EQ(result, DBIERR_NODISKSPACE);
  // SQLite ends the whole transaction on a full disk: the engine says so and refuses to go on in it.
  EXPECT_TRUE(engine.LastError().Message.endsWith(
      QStringLiteral("The open transaction was rolled back: none of its changes were saved")));
  EXPECT_TRUE(engine.InTransaction(db));
  EXPECT_EQ(engine.RecordInsert(cursor, {5000, QByteArray("x")}, record), DBIERR_TRANABORTED);
  EXPECT_EQ(engine.TransactionCommit(db), DBIERR_TRANABORTED);
  EXPECT_FALSE(engine.InTransaction(db));
  EXPECT_EQ(Column(cursor, 0), QStringList({"-1"}));
  ASSERT_OK(engine.TransactionStart(db));
  EXPECT_GT(added, 0);
  EXPECT_OK(engine.TransactionRollback(db));
  EXPECT_EQ(Column(cursor, 0), QStringList({"-1"}));

  ASSERT_OK(engine.DatabaseSetSizeLimit(db, 0));
  Insert(cursor, {1000, blob});
  EXPECT_OK(engine.CursorGetRecordCount(cursor, count));
  EXPECT_EQ(count, 2);
}

TEST_F(EngineFilesTest, CommittedChangeSurvivesACrashAndAnUncommittedOneVanishes) {
  BuildLines();
  ASSERT_OK(engine.DatabaseClose(db));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The crashing program: commits one line, leaves another uncommitted and ends without closing anything.
    TffServerEngine crashing;
    TffDatabaseID database = 0;
    TffCursorID cursor = 0;
    TffRecord record;
    bool ok =
        crashing.DatabaseOpen(folder.path(), database) == DBIERR_NONE &&
        crashing.CursorOpen(database, QStringLiteral("MINV2"), QString(), cursor) == DBIERR_NONE &&
        crashing.TransactionStart(database) == DBIERR_NONE &&
        crashing.RecordInsert(cursor, {1, 1.0, QStringLiteral("committed"), 1.0}, record) == DBIERR_NONE &&
        crashing.TransactionCommit(database) == DBIERR_NONE &&
        crashing.TransactionStart(database) == DBIERR_NONE &&
        crashing.RecordInsert(cursor, {2, 1.0, QStringLiteral("uncommitted"), 1.0}, record) == DBIERR_NONE;
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  EXPECT_EQ(Column(Open(QStringLiteral("MINV2")), 2), QStringList({"committed"}));
}

} // namespace
