// Crash safety of storing an invoice: the program (invoice_store_child) stores a confirmed invoice and is
// killed with SIGKILL before each of the file system calls its run makes, one kill per run, and after every
// kill the data folder must hold whole invoices only: the file passes SQLite's integrity check, every header
// has all its lines, the invoice counter equals the highest stored number, no number is used twice, and the
// killed run stored its invoice whole or not at all.
#include "app/shipped_data.h"
#include "app/table_definitions.h"
#include "db/engine/ff_server_engine.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <thread>

extern char **environ;

namespace {

struct Run {
  bool killed = false;
  QString output;
};

// Runs the child on a folder: killed before file call killAt (0: never).
Run RunChild(const QString &folder, const QString &runtime, int killAt, int lines) {
  const QByteArray program = TALLYROOK_STORE_CHILD;
  QByteArray kill = QByteArray::number(killAt), count = QByteArray::number(lines);
  char *arguments[] = {const_cast<char *>(program.constData()), kill.data(), count.data(), nullptr};
  QList<QByteArray> variables;
  for (char **e = environ; *e; ++e) {
    const QByteArray variable(*e);
    if (!variable.startsWith("TALLYROOK_DATA=") && !variable.startsWith("XDG_RUNTIME_DIR="))
      variables.append(variable);
  }
  variables << "TALLYROOK_DATA=" + folder.toUtf8() << "XDG_RUNTIME_DIR=" + runtime.toUtf8()
            << "QT_QPA_PLATFORM=offscreen";
  QList<char *> envp;
  for (QByteArray &variable : variables) envp.append(variable.data());
  envp.append(nullptr);

  const QByteArray output = QDir(runtime).filePath(QStringLiteral("output.txt")).toUtf8();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  Run run;
  const int spawned = posix_spawn(&pid, program.constData(), &actions, nullptr, arguments, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << program.constData();
    return run;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  run.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  QFile file(QString::fromUtf8(output));
  if (file.open(QIODevice::ReadOnly)) run.output = QString::fromUtf8(file.readAll());
  if (!run.killed && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
    ADD_FAILURE() << "the child failed: " << run.output.toStdString();
  return run;
}

// The folder's invoices as the checks need them, read by SQLite itself (which also rolls back what a killed
// run left half done). Empty Problem when every check holds.
struct Folder {
  QString Problem;
  qint64 Headers = 0;
};

Folder Check(const QString &folder) {
  sqlite3 *db = nullptr;
  sqlite3_open(QDir(folder).filePath(QStringLiteral("tallyrook.db")).toUtf8(), &db);
  // The first row's columns of a query.
  const auto row = [db](const char *sql) {
    QStringList values;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
      for (int i = 0; i < sqlite3_column_count(statement); ++i)
        values.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, i))));
    sqlite3_finalize(statement);
    return values;
  };
  const QStringList integrity = row("PRAGMA integrity_check");
  const QStringList numbers =
      row("SELECT count(*), CASE WHEN count(*) <> count(DISTINCT InvNUM) THEN 'a number is used twice' "
          "WHEN coalesce(max(InvNUM), 0) <> (SELECT LastINV FROM CONTROL) THEN 'LastINV is not the highest "
          "number' "
          "WHEN EXISTS (SELECT 1 FROM MINV1 h WHERE (SELECT count(*) FROM MINV2 l WHERE l.REC = h.REC) <> "
          "CAST(h.CUSTOMER AS INTEGER)) THEN 'an invoice lacks lines' ELSE '' END FROM MINV1");
  sqlite3_close(db);
  if (integrity != QStringList{QStringLiteral("ok")})
    return {QStringLiteral("integrity: ") + integrity.join(u' ')};
  if (numbers.size() != 2) return {QStringLiteral("cannot read the invoices")};
  return {numbers[1], numbers[0].toLongLong()};
}

// Stores invoices of 3 lines numbered 1 to count through the engine, the counter set to the last.
void StoreMany(const QString &folder, int count) {
  TffServerEngine engine;
  TffDatabaseID db = 0;
  ASSERT_EQ(engine.DatabaseOpen(folder, db), DBIERR_NONE);
  TffCursorID headers = 0, lines = 0, control = 0;
  ASSERT_EQ(engine.CursorOpen(db, QStringLiteral("MINV1"), QString(), headers), DBIERR_NONE);
  ASSERT_EQ(engine.CursorOpen(db, QStringLiteral("MINV2"), QString(), lines), DBIERR_NONE);
  ASSERT_EQ(engine.CursorOpen(db, QStringLiteral("CONTROL"), QString(), control), DBIERR_NONE);
  ASSERT_EQ(engine.TransactionStart(db), DBIERR_NONE);
  TffRecord record;
  for (int i = 1; i <= count; ++i) {
    ASSERT_EQ(engine.RecordInsert(headers,
                                  {QVariant(), 1, false, 0, QStringLiteral("3 lines"), QString(), QString(),
                                   QString(), QString(), QString(), 3.0, 0.0, 3.0, 45000.0, double(i)},
                                  record),
              DBIERR_NONE);
    const int rec = record.Values[0].toInt();
    for (int j = 0; j < 3; ++j)
      ASSERT_EQ(
          engine.RecordInsert(lines, {rec, 1.0, QStringLiteral("Stored line %1").arg(j), 1.0, 1.0}, record),
          DBIERR_NONE);
  }
  ASSERT_EQ(engine.RecordGetNext(control, record), DBIERR_NONE);
  record.Values[7] = count;
  TffRecord modified;
  ASSERT_EQ(engine.RecordModify(control, record.Values, modified), DBIERR_NONE);
  ASSERT_EQ(engine.TransactionCommit(db), DBIERR_NONE);
  engine.DatabaseClose(db);
}

struct Scenario {
  int storedBefore; // invoices in the folder before
  int lines;        // of the invoice stored
};

// Kills a store before each of its file calls, in turn, and checks the folder after each; returns the
// number of kills.
int KillThroughout(const Scenario &scenario) {
  QTemporaryDir folder, runtime, probe;
  EXPECT_TRUE(folder.isValid() && runtime.isValid() && probe.isValid());
  if (SeedDataFolder(folder.path(), {}).Outcome != TSeedOutcome::Created) {
    ADD_FAILURE() << "cannot seed";
    return 0;
  }
  StoreMany(folder.path(), scenario.storedBefore);

  // A run to the end on a copy tells how many file calls a store makes here.
  QFile::copy(QDir(folder.path()).filePath(QStringLiteral("tallyrook.db")),
              QDir(probe.path()).filePath(QStringLiteral("tallyrook.db")));
  const Run whole = RunChild(probe.path(), runtime.path(), 0, scenario.lines);
  const int calls = whole.output.section(QStringLiteral("calls "), 1).trimmed().toInt();
  EXPECT_GT(calls, 20) << whole.output.toStdString();

  int kills = 0;
  qint64 headers = scenario.storedBefore;
  for (int killAt = 1; killAt <= calls; ++killAt) {
    SCOPED_TRACE(testing::Message() << scenario.storedBefore << " invoices before, " << scenario.lines
                                    << " lines, killed before file call " << killAt);
    const Run run = RunChild(folder.path(), runtime.path(), killAt, scenario.lines);
    EXPECT_TRUE(run.killed) << run.output.toStdString();
    kills += run.killed;
    const Folder after = Check(folder.path());
    EXPECT_EQ(after.Problem.toStdString(), "");
    // Killed after the commit, the invoice is there, whole.
    EXPECT_TRUE(after.Headers == headers || after.Headers == headers + 1) << after.Headers;
    headers = after.Headers;
  }
  // And the store that runs to the end after all that.
  RunChild(folder.path(), runtime.path(), 0, scenario.lines);
  const Folder after = Check(folder.path());
  EXPECT_EQ(after.Problem.toStdString(), "");
  EXPECT_EQ(after.Headers, headers + 1);
  return kills;
}

TEST(InvoiceCrash, AStoreKilledAnywhereLeavesOnlyWholeInvoices) {
  const Scenario scenarios[] = {{0, 1}, {0, 20}, {5, 60}, {3000, 20}, {3000, 40}};
  std::atomic<int> next{0}, kills{0};
  // Two scenarios at a time.
  const auto work = [&] {
    for (int i; (i = next++) < int(std::size(scenarios));) kills += KillThroughout(scenarios[i]);
  };
  std::thread helper(work);
  work();
  helper.join();
  EXPECT_GE(kills, 200);
  ::testing::Test::RecordProperty("kills", kills.load());
}

} // namespace
