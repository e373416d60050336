// The database file beside other SQLite programs: the sqlite3 tool checks, counts and changes it, and the
// engine puts right what the tool left (sort keys, automatic numbers); a file of the older layout, whose
// indexes used a collation of the engine's own, is upgraded in one transaction.
#include "engine_fixture.h"
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <sqlite3.h>

namespace {

QByteArray ReadFile(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int CompareFolded(void *, int lengthA, const void *a, int lengthB, const void *b) {
  return QString::fromUtf8(static_cast<const char *>(a), lengthA)
      .compare(QString::fromUtf8(static_cast<const char *>(b), lengthB), Qt::CaseInsensitive);
}

class EngineOtherToolsTest : public EngineTest {
protected:
  // Runs the sqlite3 tool on the file with the statements; its output.
  QString Sqlite3(const char *statements) {
    const QString tool = QStandardPaths::findExecutable("sqlite3");
    EXPECT_FALSE(tool.isEmpty()) << "the sqlite3 tool is missing: scripts/setup installs it";
    QProcess process;
    process.start(tool, {FilePath(), QString::fromUtf8(statements)});
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
  }

  // Turns a table made by BuildCustomers back into the older layout: no key columns, the indexes sorting
  // by a collation that only the engine had.
  void MakeOlderLayout(const QStringList &tables) {
    ASSERT_OK(engine.DatabaseClose(db));
    sqlite3 *h = nullptr;
    ASSERT_EQ(sqlite3_open(FilePath().toUtf8().constData(), &h), SQLITE_OK);
    sqlite3_create_collation(h, "FF_NOCASE", SQLITE_UTF8, nullptr, CompareFolded);
    for (const QString &t : tables) {
      const QString sql =
          QStringLiteral("DROP INDEX \"%1$CUSTOMER\"; DROP INDEX \"%1$CITY\";"
                         "ALTER TABLE %1 DROP COLUMN ff_key_CUSTOMER; ALTER TABLE %1 DROP COLUMN ff_key_CITY;"
                         "CREATE INDEX \"%1$CUSTOMER\" ON %1 (CUSTOMER COLLATE FF_NOCASE ASC);"
                         "CREATE INDEX \"%1$CITY\" ON %1 (CITY COLLATE FF_NOCASE ASC, "
                         "CUSTOMER COLLATE FF_NOCASE ASC);")
              .arg(t);
      ASSERT_EQ(sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK)
          << sqlite3_errmsg(h);
    }
    ASSERT_EQ(sqlite3_exec(h, "PRAGMA user_version = 1", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(h);
  }
};

TEST_F(EngineOtherToolsTest,
       OlderLayoutIsUpgradedAndSqlite3ChecksCountsAndChangesItAndTheEngineSortsWhatItWrote) {
  BuildCustomers();
  const TffCursorID cursor = Open("CUSTOMERS");
  Customer(cursor, "Zorn", "Köln");
  Customer(cursor, "ärger", "Bonn");
  MakeOlderLayout({"CUSTOMERS"});
  ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  TffCursorID byName = Open("CUSTOMERS", "CUSTOMER");
  EXPECT_EQ(Column(byName, 1), "Zorn,ärger");
  EXPECT_EQ(Customer(byName, "Neu", "").Values[0].toInt(), 3);
  ASSERT_OK(engine.DatabaseClose(db));

  EXPECT_EQ(Sqlite3("PRAGMA user_version; PRAGMA integrity_check; SELECT count(*) FROM CUSTOMERS;"
                    "INSERT INTO CUSTOMERS (CUSTOMER, CITY) VALUES ('Ärmel', 'Aachen');"
                    "INSERT INTO CUSTOMERS (CUSTNO, CUSTOMER) VALUES (40, 'Ast');"
                    "UPDATE CUSTOMERS SET CUSTOMER = 'ÄBC' WHERE CUSTOMER = 'Zorn';"),
            "2\nok\n3\n");
  ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  byName = Open("CUSTOMERS", "CUSTOMER");
  EXPECT_EQ(Column(byName, 1), "Ast,Neu,ÄBC,ärger,Ärmel");
  // The row left without a number got the next one; new rows come after every number used.
  EXPECT_EQ(Column(byName, 0), "40,3,1,2,41");
  EXPECT_EQ(Customer(byName, "Zed").Values[0].toInt(), 42);
  EXPECT_OK(engine.CursorSetToKey(byName, {"ÄR"}));
  EXPECT_EQ(Get(byName), "ärger");
  EXPECT_EQ(Column(Open("CUSTOMERS", "CITY"), 2), "<null>,<null>,,Aachen,Bonn,Köln");
  ASSERT_OK(engine.DatabaseClose(db));
  EXPECT_EQ(Sqlite3("PRAGMA integrity_check; SELECT count(*) FROM CUSTOMERS WHERE ff_key_CUSTOMER >= 'är';"),
            "ok\n2\n");
}

TEST_F(EngineOtherToolsTest, UpgradeThatFailsHalfWayLeavesTheFileAsItWas) {
  BuildCustomers("FIRST");
  BuildCustomers("SECOND");
  Customer(Open("FIRST"), "kept", QString());
  MakeOlderLayout({"FIRST", "SECOND"});
  {
    // The second table's data is lost: the upgrade fails after changing the first.
    sqlite3 *h = nullptr;
    ASSERT_EQ(sqlite3_open(FilePath().toUtf8().constData(), &h), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(h, "DROP TABLE SECOND", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(h);
  }
  const QByteArray before = ReadFile(FilePath());

  EXPECT_EQ(engine.DatabaseOpen(folder.path(), db), DBIERR_STORAGEERROR);
  EXPECT_TRUE(engine.LastError().Message.contains(FilePath())) << engine.LastError().Message.toStdString();
  EXPECT_EQ(ReadFile(FilePath()), before);
  EXPECT_FALSE(QFile::exists(FilePath() + "-journal"));
}

} // namespace
