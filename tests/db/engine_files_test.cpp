// Bad database files: missing, not a database, cut off, damaged, locked by another program, a full disk. Each
// failure names the file and leaves it as it was. A crash while storing: tests/app/invoice_crash_test.
#include "engine_fixture.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

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

// A connection of another program to the file.
class OtherProgram {
public:
  explicit OtherProgram(const QString &path) { sqlite3_open(path.toUtf8().constData(), &db_); }
  ~OtherProgram() { sqlite3_close(db_); }
  int Exec(const char *sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

private:
  sqlite3 *db_ = nullptr;
};

using EngineFilesTest = EngineTest;

TEST_F(EngineFilesTest, MissingFilesAreReportedAndCreatingNeverReplacesOne) {
  QTemporaryDir empty;
  TffServerEngine other;
  TffDatabaseID database = 0;
  EXPECT_EQ(other.DatabaseOpen(empty.filePath("nowhere"), database), DBIERR_NOSUCHFOLDER);
  EXPECT_TRUE(other.LastError().Message.contains(empty.filePath("nowhere")));
  EXPECT_EQ(other.DatabaseOpen(empty.path(), database), DBIERR_NOSUCHDATABASE);
  const QString path = empty.filePath("tallyrook.db");
  EXPECT_EQ(other.LastError().Message, "Database file does not exist: " + path);
  EXPECT_TRUE(QDir(empty.path()).isEmpty());

  BuildLines();
  Line(Open("MINV2"), 1, "kept");
  EXPECT_EQ(engine.DatabaseCreate(folder.path()), DBIERR_DATABASEEXISTS);
  EXPECT_EQ(engine.LastError().Message, "Database file already exists: " + FilePath());
  EXPECT_EQ(Column(Open("MINV2"), 2), "kept");

  // A new file is the only one in its folder, readable by others like any document, and holds no tables.
  EXPECT_OK(engine.DatabaseCreate(empty.path()));
  EXPECT_EQ(QDir(empty.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
            QStringList({"tallyrook.db"}));
  EXPECT_TRUE(QFileInfo(path).permissions() & QFileDevice::ReadOther);
  EXPECT_OK(engine.DatabaseOpen(empty.path(), database));
  QStringList tables{"x"};
  EXPECT_OK(engine.DatabaseTableList(database, tables));
  EXPECT_TRUE(tables.isEmpty());
}

TEST_F(EngineFilesTest, BadFilesAreRefusedNamingTheFileAndLeftAsTheyWere) {
  // Lines with long descriptions, enough for many pages.
  BuildLines();
  const TffCursorID cursor = Open("MINV2");
  ASSERT_OK(engine.TransactionStart(db));
  for (int i = 0; i < 2000; ++i) Insert(cursor, {i, 1.0, QString(300, QChar(u'a' + i % 26)), 2.0});
  ASSERT_OK(engine.TransactionCommit(db));
  ASSERT_OK(engine.DatabaseClose(db));
  const QByteArray good = ReadFile(FilePath());
  QByteArray damaged = good;
  for (qsizetype i = damaged.size() / 2; i < damaged.size(); ++i) damaged[i] = char(0xA5 ^ (i & 0xFF));
  QTemporaryDir scratch;
  OtherProgram(scratch.filePath("other.db")).Exec("CREATE TABLE notes(text)");
  const QByteArray otherApplication = ReadFile(scratch.filePath("other.db"));
  ASSERT_FALSE(otherApplication.isEmpty());

  const QString notOurs = "File is not a Tallyrook database: ", corrupt = "Database file is damaged: ";
  const std::tuple<QByteArray, TffResult, QString> cases[] = {
      {"just some text\n", DBIERR_NOTADATABASE, notOurs},
      {QByteArray(), DBIERR_NOTADATABASE, notOurs},
      {otherApplication, DBIERR_NOTADATABASE, notOurs},
      {good.left(good.size() / 2), DBIERR_FILECORRUPT, corrupt},
      {damaged, DBIERR_FILECORRUPT, QString()},
  };
  for (const auto &[contents, expected, message] : cases) {
    SCOPED_TRACE(contents.size());
    WriteFile(FilePath(), contents);
    // Opens the folder and reads every line.
    TffServerEngine reader;
    TffDatabaseID database = 0;
    TffResult result = reader.DatabaseOpen(folder.path(), database);
    TffCursorID reading = 0;
    if (result == DBIERR_NONE) result = reader.CursorOpen(database, "MINV2", "REC", reading);
    TffRecord record;
    while (result == DBIERR_NONE) result = reader.RecordGetNext(reading, record);
    if (result == DBIERR_EOF) result = DBIERR_NONE;
    EXPECT_EQ(result, expected);
    EXPECT_TRUE(reader.LastError().Message.startsWith(message) &&
                reader.LastError().Message.contains(FilePath()))
        << reader.LastError().Message.toStdString();
    EXPECT_EQ(ReadFile(FilePath()), contents);
  }
}

TEST_F(EngineFilesTest, FileLockedByAnotherProgramIsReportedAndWorksOnceReleased) {
  BuildLines();
  TffCursorID cursor = Open("MINV2");
  Line(cursor, 1, "before");
  OtherProgram other(FilePath());

  // A write lock: reading goes on, writing waits and then reports the lock.
  ASSERT_EQ(other.Exec("BEGIN IMMEDIATE; DELETE FROM MINV2;"), SQLITE_OK);
  TffRecord record;
  EXPECT_EQ(engine.RecordInsert(cursor, {2, 1.0, "blocked", 1.0}, record), DBIERR_FILELOCKED);
  EXPECT_TRUE(
      engine.LastError().Message.startsWith("Database file is locked by another program: " + FilePath()));
  EXPECT_EQ(engine.TransactionStart(db), DBIERR_FILELOCKED);
  EXPECT_EQ(Column(cursor, 2), "before");
  ASSERT_EQ(other.Exec("ROLLBACK"), SQLITE_OK);
  Line(cursor, 2, "after");

  // An exclusive lock: even opening waits and then reports the lock.
  ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
  TffServerEngine second;
  second.SetBusyTimeout(50);
  TffDatabaseID database = 0;
  EXPECT_EQ(second.DatabaseOpen(folder.path(), database), DBIERR_FILELOCKED);
  ASSERT_EQ(other.Exec("COMMIT"), SQLITE_OK);
  EXPECT_EQ(second.DatabaseOpen(folder.path(), database), DBIERR_NONE);
  EXPECT_EQ(Column(cursor, 2), "before,after");
}

TEST_F(EngineFilesTest, FullDiskIsReportedAndKeepsTheData) {
  Build("BIG", Schema({{"N", fftInt32}, {"DATA", fftBLOB}}));
  const TffCursorID cursor = Open("BIG");
  ASSERT_OK(engine.DatabaseSetSizeLimit(db, QFile(FilePath()).size() + 64 * 1024));
  const QByteArray blob(10000, 'b');
  // Inserts records until one fails; how many went in.
  TffResult result = DBIERR_NONE;
  const auto fill = [&] {
    int stored = 0;
    TffRecord record;
    while ((result = engine.RecordInsert(cursor, {stored, blob}, record)) == DBIERR_NONE && stored < 100)
      ++stored;
    return stored;
  };
  const int stored = fill();
  EXPECT_EQ(result, DBIERR_NODISKSPACE);
  EXPECT_TRUE(engine.LastError().Message.contains("Database full: insufficient disk space: " + FilePath()))
      << engine.LastError().Message.toStdString();
  EXPECT_EQ(Count(cursor), stored);

  // In a transaction: SQLite ends the whole transaction on a full disk; the engine says so.
  ASSERT_OK(engine.TransactionStart(db));
  fill();
  EXPECT_TRUE(engine.LastError().Message.endsWith(
      "The open transaction was rolled back: none of its changes were saved"));
  TffRecord record;
  EXPECT_EQ(engine.RecordInsert(cursor, {5000, QByteArray("x")}, record), DBIERR_TRANABORTED);
  EXPECT_EQ(engine.TransactionCommit(db), DBIERR_TRANABORTED);

  ASSERT_OK(engine.DatabaseSetSizeLimit(db, 0));
  Insert(cursor, {1000, blob});
  EXPECT_EQ(Count(cursor), stored + 1);
}

} // namespace
