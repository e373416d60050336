// The real program finding its data: on the first start the user's data location gets a copy of the
// shipped database beside the program, which later starts keep; a tallyrook.db beside a program that was
// put somewhere by itself is used where it lies.
#include "tests/app/app_fixture.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <sqlite3.h>
#include <unistd.h>

#ifndef TALLYROOK_PROGRAM
#error "the tests of the program need its path"
#endif

namespace {

// Hang guards only: every wait ends as soon as its condition holds.
constexpr int kGenerousWait = 30000;

// SQLite's count of the file's schema changes, or -1 when it cannot be read.
int SchemaVersion(const QString &file) {
  sqlite3 *db = nullptr;
  int version = -1;
  if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
    sqlite3_exec(
        db, "PRAGMA schema_version",
        [](void *result, int, char **values, char **) {
          *static_cast<int *>(result) = atoi(values[0]);
          return 0;
        },
        &version, nullptr);
  sqlite3_close(db);
  return version;
}

class FirstStart : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    ASSERT_TRUE(home.isValid());
    environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TALLYROOK_DATA"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
  }
  void TearDown() override {
    Stop();
    AppFolderTest::TearDown();
  }

  // Starts the program and waits until it has re-created INV2 in the database file: its start is done.
  void Start(const QString &program, const QString &database) {
    const int before = SchemaVersion(database);
    running.setProcessEnvironment(environment);
    running.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    running.start(program, {});
    ASSERT_TRUE(running.waitForStarted(kGenerousWait)) << running.errorString().toStdString();
    QDeadlineTimer deadline(kGenerousWait);
    while (SchemaVersion(database) <= before && !deadline.hasExpired() &&
           running.state() == QProcess::Running)
      QThread::msleep(20);
    ASSERT_GT(SchemaVersion(database), before) << "the program did not start on " << database.toStdString();
  }
  void Stop() {
    if (running.state() == QProcess::NotRunning) return;
    running.kill();
    running.waitForFinished(kGenerousWait);
  }
  // Field `field` of the records of a table in a data folder.
  QStringList Column(const QString &folder, const QString &table, int field) {
    QStringList values;
    TffServerEngine engine;
    TffDatabaseID db = 0;
    TffCursorID cursor = 0;
    TffRecord record;
    EXPECT_EQ(engine.DatabaseOpen(folder, db), DBIERR_NONE) << engine.LastError().Message.toStdString();
    EXPECT_EQ(engine.CursorOpen(db, table, QString(), cursor), DBIERR_NONE);
    while (engine.RecordGetNext(cursor, record) == DBIERR_NONE)
      values.append(record.Values[field].toString());
    return values;
  }

  QTemporaryDir home; // the user's data location lies in it
  QProcessEnvironment environment;
  QProcess running;
};

TEST_F(FirstStart, TheUsersDataLocationGetsTheShippedDatabaseAndKeepsItsOwnAfterwards) {
  const QString folder = QDir(home.path()).filePath(QStringLiteral("Tallyrook"));
  const QString database = QDir(folder).filePath(QStringLiteral("tallyrook.db"));
  const QString programFolder = QFileInfo(QStringLiteral(TALLYROOK_PROGRAM)).absolutePath();
  const QString shipped = QDir(programFolder).filePath(QStringLiteral("tallyrook-shipped.db"));
  ASSERT_TRUE(QFile::exists(shipped)) << "the build writes the shipped database beside the program";
  const bool dataBesideTheProgram =
      QFile::exists(QDir(programFolder).filePath(QStringLiteral("tallyrook.db")));

  Start(QStringLiteral(TALLYROOK_PROGRAM), database);
  Stop();
  EXPECT_EQ(Column(folder, QStringLiteral("CONTROL"), 1).size(), 1);
  EXPECT_EQ(Column(folder, QStringLiteral("Reports"), 0), (QStringList{"1", "2", "3", "4"}));
  EXPECT_EQ(QFile::exists(QDir(programFolder).filePath(QStringLiteral("tallyrook.db"))), dataBesideTheProgram)
      << "the build folder keeps no data";

  // The user's own data: a later start keeps it.
  TffServerEngine engine;
  TffDatabaseID db = 0;
  TffCursorID cursor = 0;
  TffRecord record, changed;
  ASSERT_EQ(engine.DatabaseOpen(folder, db), DBIERR_NONE);
  ASSERT_EQ(engine.CursorOpen(db, QStringLiteral("CONTROL"), QString(), cursor), DBIERR_NONE);
  ASSERT_EQ(engine.RecordGetNext(cursor, record), DBIERR_NONE);
  record.Values[1] = QStringLiteral("My own company");
  ASSERT_EQ(engine.RecordModify(cursor, record.Values, changed), DBIERR_NONE);
  engine.DatabaseClose(db);
  Start(QStringLiteral(TALLYROOK_PROGRAM), database);
  Stop();
  EXPECT_EQ(Column(folder, QStringLiteral("CONTROL"), 1), QStringList{QStringLiteral("My own company")});
}

TEST_F(FirstStart, AProgramWithADatabaseBesideItUsesItWhereItLiesAndStartsWithoutAWord) {
  QTemporaryDir portable, temporary;
  ASSERT_TRUE(portable.isValid());
  ASSERT_TRUE(temporary.isValid());
  // No session runtime folder: the single-instance guard keeps to one of the user's own.
  environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  environment.insert(QStringLiteral("TMPDIR"), temporary.path());
  const QString program = portable.filePath(QStringLiteral("tallyrook"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(TALLYROOK_PROGRAM), program));
  ASSERT_EQ(SeedDataFolder(portable.path(), {}).Outcome, TSeedOutcome::Created);

  Start(program, portable.filePath(QStringLiteral("tallyrook.db")));
  Stop();
  EXPECT_FALSE(QFile::exists(QDir(home.path()).filePath(QStringLiteral("Tallyrook"))));
  const QString said = QString::fromLocal8Bit(running.readAllStandardError());
  for (const char *warning : {"XDG_RUNTIME_DIR", "single-instance guard"})
    EXPECT_FALSE(said.contains(QString::fromLatin1(warning))) << said.toStdString();
  EXPECT_TRUE(QFileInfo(temporary.filePath(QStringLiteral("runtime-%1").arg(getuid()))).isDir());
}

} // namespace
