// The database file beside other SQLite programs: the sqlite3 tool checks, counts and changes it, the file's
// triggers mark the tables it changed, and the engine puts right what the tool left there (sort keys,
// automatic numbers) when it next opens the file; a file of an older layout is upgraded, and a file whose
// sort keys follow another language is keyed again, in one transaction.
#include "db/storage/ff_sql_schema.h"
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
  QString Sqlite3(const QString &statements) {
    const QString tool = QStandardPaths::findExecutable("sqlite3");
    EXPECT_FALSE(tool.isEmpty()) << "the sqlite3 tool is missing: scripts/setup installs it";
    QProcess process;
    process.start(tool, {FilePath(), statements});
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
  }

  void Exec(sqlite3 *h, const QString &sql) {
    ASSERT_EQ(sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(h);
  }

  // Turns the file back into an older layout. Version 3 had no properties; version 2 moreover had no
  // triggers marking tables changed by other programs; version 1 moreover had no key columns in the tables
  // made by BuildCustomers, whose indexes sorted by a collation that only the engine had.
  void MakeOlderLayout(int version, const QStringList &tables = {}) {
    ASSERT_OK(engine.DatabaseClose(db));
    sqlite3 *h = nullptr;
    ASSERT_EQ(sqlite3_open(FilePath().toUtf8().constData(), &h), SQLITE_OK);
    sqlite3_create_collation(h, "FF_NOCASE", SQLITE_UTF8, nullptr, CompareFolded);
    sqlite3_stmt *triggers = nullptr;
    sqlite3_prepare_v2(h, "SELECT name FROM sqlite_schema WHERE type = 'trigger'", -1, &triggers, nullptr);
    QStringList drops;
    while (sqlite3_step(triggers) == SQLITE_ROW)
      drops.append(
          QStringLiteral("DROP TRIGGER \"%1\"")
              .arg(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(triggers, 0)))));
    sqlite3_finalize(triggers);
    Exec(h, "DROP TABLE ff_properties");
    for (const QString &drop : version < 3 ? drops : QStringList()) Exec(h, drop);
    if (version < 3) Exec(h, "ALTER TABLE ff_dictionary DROP COLUMN unchecked_changes");
    for (const QString &t : version == 1 ? tables : QStringList())
      Exec(h, QStringLiteral(
                  "DROP INDEX \"%1$CUSTOMER\"; DROP INDEX \"%1$CITY\";"
                  "ALTER TABLE %1 DROP COLUMN ff_key_CUSTOMER; ALTER TABLE %1 DROP COLUMN ff_key_CITY;"
                  "CREATE INDEX \"%1$CUSTOMER\" ON %1 (CUSTOMER COLLATE FF_NOCASE ASC);"
                  "CREATE INDEX \"%1$CITY\" ON %1 (CITY COLLATE FF_NOCASE ASC, "
                  "CUSTOMER COLLATE FF_NOCASE ASC);")
                  .arg(t));
    Exec(h, QStringLiteral("PRAGMA user_version = %1").arg(version));
    sqlite3_close(h);
  }

  // How many tables the file notes as changed by another program and not yet checked.
  QString Marked() { return Sqlite3("SELECT count(*) FROM ff_dictionary WHERE unchecked_changes <> 0;"); }
};

TEST_F(EngineOtherToolsTest,
       OlderLayoutIsUpgradedAndSqlite3ChecksCountsAndChangesItAndTheEngineSortsWhatItWrote) {
  BuildCustomers();
  const TffCursorID cursor = Open("CUSTOMERS");
  Customer(cursor, "Zorn", "Köln");
  Customer(cursor, "ärger", "Bonn");
  MakeOlderLayout(1, {"CUSTOMERS"});
  ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  TffCursorID byName = Open("CUSTOMERS", "CUSTOMER");
  EXPECT_EQ(Column(byName, 1), "ärger,Zorn");
  EXPECT_EQ(Customer(byName, "Neu", "").Values[0].toInt(), 3);
  EXPECT_OK(engine.CursorSetToKey(byName, {"AR"}));
  EXPECT_EQ(Get(byName), "ärger");
  ASSERT_OK(engine.DatabaseClose(db));
  EXPECT_EQ(Sqlite3("PRAGMA user_version; PRAGMA integrity_check;"
                    "SELECT count(*) FROM CUSTOMERS WHERE typeof(ff_key_CUSTOMER) = 'blob';"),
            "4\nok\n3\n");
}

TEST_F(EngineOtherToolsTest, UpgradeThatFailsHalfWayLeavesTheFileAsItWas) {
  BuildCustomers("FIRST");
  BuildCustomers("SECOND");
  Customer(Open("FIRST"), "kept", QString());
  MakeOlderLayout(1, {"FIRST", "SECOND"});
  {
    // The second table's data is lost: the upgrade fails after changing the first.
    sqlite3 *h = nullptr;
    ASSERT_EQ(sqlite3_open(FilePath().toUtf8().constData(), &h), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(h, "DROP TABLE SECOND", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(h);
  }
  const QByteArray before = ReadFile(FilePath());

  EXPECT_EQ(engine.DatabaseOpen(folder.path(), db), DBIERR_STORAGEERROR);
  EXPECT_EQ(ReadFile(FilePath()), before);
  EXPECT_FALSE(QFile::exists(FilePath() + "-journal"));
}

TEST_F(EngineOtherToolsTest, RowsThatSqlite3AddsOrChangesAreRepairedOnTheNextOpenAlsoInAFileOfVersion2) {
  // Each change goes to a table of its own, where the engine stored Zorn (1, Köln) and ärger (2, Bonn).
  const struct {
    const char *change; // %1: the table
    const char *byName, *numbers, *byCity;
    int next; // the number the engine gives the next customer
  } cases[] = {
      {"INSERT INTO %1 (CUSTOMER) VALUES ('Ärmel')", "ärger,Ärmel,Zorn", "2,3,1", "<null>,Bonn,Köln", 4},
      {"INSERT INTO %1 (CUSTNO, CUSTOMER) VALUES (40, 'Ast')", "ärger,Ast,Zorn", "2,40,1", "<null>,Bonn,Köln",
       41},
      {"INSERT INTO %1 (CUSTNO, CUSTOMER) VALUES (0, 'Ast')", "ärger,Ast,Zorn", "2,3,1", "<null>,Bonn,Köln",
       4},
      {"UPDATE %1 SET CUSTOMER = 'Ábc' WHERE CUSTNO = 1", "Ábc,ärger", "1,2", "Bonn,Köln", 3},
      {"UPDATE %1 SET CITY = 'Aachen' WHERE CUSTNO = 1", "ärger,Zorn", "2,1", "Aachen,Bonn", 3},
      {"UPDATE %1 SET CUSTNO = NULL WHERE CUSTNO = 1", "ärger,Zorn", "2,3", "Bonn,Köln", 4},
      {"UPDATE %1 SET CUSTNO = 9 WHERE CUSTNO = 2", "ärger,Zorn", "9,1", "Bonn,Köln", 10},
  };
  for (const int version : {ffSchemaVersion, 3, 2}) {
    SCOPED_TRACE(version);
    if (version != ffSchemaVersion) {
      ASSERT_TRUE(QFile::remove(FilePath()));
      ASSERT_OK(engine.DatabaseCreate(folder.path()));
      ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
    }
    QStringList changes;
    for (int i = 0; i < std::ssize(cases); ++i) {
      const QString table = QStringLiteral("C%1").arg(i);
      BuildCustomers(table);
      const TffCursorID cursor = Open(table);
      Customer(cursor, "Zorn", "Köln");
      Customer(cursor, "ärger", "Bonn");
      changes.append(QString::fromUtf8(cases[i].change).arg(table));
    }
    if (version == ffSchemaVersion) {
      ASSERT_OK(engine.DatabaseClose(db));
      EXPECT_EQ(Marked(), "0\n");
    } else {
      MakeOlderLayout(version);
    }
    Sqlite3(changes.join(u';'));
    if (version >= 3) {
      EXPECT_EQ(Marked(), QStringLiteral("%1\n").arg(changes.size()));
    }

    ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
    for (int i = 0; i < std::ssize(cases); ++i) {
      SCOPED_TRACE(cases[i].change);
      const QString table = QStringLiteral("C%1").arg(i);
      const TffCursorID byName = Open(table, "CUSTOMER");
      EXPECT_EQ(Column(byName, 1), cases[i].byName);
      EXPECT_EQ(Column(byName, 0), cases[i].numbers);
      EXPECT_EQ(Column(Open(table, "CITY"), 2), cases[i].byCity);
      EXPECT_EQ(Customer(byName, "Neu").Values[0].toInt(), cases[i].next);
    }
    ASSERT_OK(engine.DatabaseClose(db));
    EXPECT_EQ(Sqlite3("PRAGMA user_version; PRAGMA integrity_check;"), "4\nok\n");
    EXPECT_EQ(Marked(), "0\n");
  }
}

TEST_F(EngineOtherToolsTest, TheEnginesOwnWritesMarkNothingAndTablesItRebuildsOrReindexesKeepBeingMarked) {
  BuildCustomers();
  BuildCustomers("REBUILT");
  TffCursorID cursor = Open("CUSTOMERS");
  Customer(cursor, "Zorn", "Köln");
  Customer(cursor, "ärger", "Bonn");
  TffRecord record;
  EXPECT_OK(engine.RecordModify(cursor, {QVariant(), "Ärger", "Aachen"}, record));
  EXPECT_OK(engine.RecordModify(cursor, {7, "Ärger", "Bonn"}, record));
  ASSERT_OK(engine.CursorClose(cursor));
  Build("REBUILT", CustomersSchema());
  Customer(Open("REBUILT"), "Erst", QString());
  // The customer index sorts by case now: its key column goes, the city's stays.
  ASSERT_OK(engine.TableChangeIndexes(
      db, "CUSTOMERS",
      Schema({{"CUSTNO", fftAutoInc}, {"CUSTOMER", fftNullString, 50}, {"CITY", fftNullString, 50}},
             {{"CUSTOMER", "CUSTOMER", false, false}, {"CITY", "CITY;CUSTOMER"}})));
  EXPECT_EQ(Marked(), "0\n");

  ASSERT_OK(engine.DatabaseClose(db));
  Sqlite3("UPDATE CUSTOMERS SET CITY = 'Aachen' WHERE CUSTOMER = 'Zorn';"
          "INSERT INTO REBUILT (CUSTOMER) VALUES ('Zweit')");
  ASSERT_EQ(Marked(), "2\n");
  ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  EXPECT_EQ(Column(Open("CUSTOMERS", "CITY"), 1), "Zorn,Ärger");
  EXPECT_EQ(Column(Open("REBUILT"), 0), "1,2");
  EXPECT_EQ(Marked(), "0\n");
}

// The file names the rules its keys follow; opened by an engine of another language, every key is made again
// in one transaction, and the sqlite3 tool still checks and changes the file.
TEST_F(EngineOtherToolsTest, KeysFollowTheLanguageTheFileNamesAndAreMadeAgainUnderAnother) {
  BuildCustomers();
  BuildCustomers("SECOND");
  const TffCursorID cursor = Open("CUSTOMERS");
  for (const char *name : {"Zorn", "Śruba", "Szafa", "Łódź", "Lodz", "Mazur"})
    Customer(cursor, name, "Kraków");
  ASSERT_OK(engine.DatabaseClose(db));
  const QString english = Sqlite3("SELECT value FROM ff_properties WHERE name = 'collation';");
  EXPECT_TRUE(english.startsWith("root ")) << english.toStdString();
  const QByteArray before = ReadFile(FilePath());

  // Keying the file again fails half way (the second table's data is lost): nothing changes.
  TffServerEngine polish;
  polish.SetCollationLocale("pl_PL");
  {
    sqlite3 *h = nullptr;
    ASSERT_EQ(sqlite3_open(FilePath().toUtf8().constData(), &h), SQLITE_OK);
    Exec(h, "ALTER TABLE SECOND RENAME TO KEPT");
    sqlite3_close(h);
  }
  const QByteArray broken = ReadFile(FilePath());
  EXPECT_EQ(polish.DatabaseOpen(folder.path(), db), DBIERR_STORAGEERROR);
  EXPECT_EQ(ReadFile(FilePath()), broken);
  Sqlite3("ALTER TABLE KEPT RENAME TO SECOND;");

  const auto names = [&](TffServerEngine &by) {
    TffDatabaseID handle = 0;
    TffCursorID byName = 0;
    EXPECT_EQ(by.DatabaseOpen(folder.path(), handle), DBIERR_NONE) << by.LastError().Message.toStdString();
    EXPECT_EQ(by.CursorOpen(handle, "CUSTOMERS", "CUSTOMER", byName), DBIERR_NONE);
    QStringList order;
    for (TffRecord record; by.RecordGetNext(byName, record) == DBIERR_NONE;)
      order.append(record.Values[1].toString());
    by.DatabaseClose(handle);
    return order.join(u',');
  };
  EXPECT_EQ(names(polish), "Lodz,Łódź,Mazur,Szafa,Śruba,Zorn");
  EXPECT_TRUE(Sqlite3("SELECT value FROM ff_properties WHERE name = 'collation';").startsWith("pl "));
  // Opened again by the same language, the file is only read.
  const QByteArray keyed = ReadFile(FilePath());
  EXPECT_EQ(names(polish), "Lodz,Łódź,Mazur,Szafa,Śruba,Zorn");
  EXPECT_EQ(ReadFile(FilePath()), keyed);

  EXPECT_EQ(
      Sqlite3("PRAGMA integrity_check; INSERT INTO CUSTOMERS (CUSTOMER) VALUES ('Sowa');"
              "UPDATE CUSTOMERS SET CUSTOMER = 'Łabędź' WHERE CUSTOMER = 'Zorn'; PRAGMA integrity_check;"),
      "ok\nok\n");
  EXPECT_EQ(names(polish), "Lodz,Łabędź,Łódź,Mazur,Sowa,Szafa,Śruba");
  EXPECT_EQ(names(engine), "Łabędź,Lodz,Łódź,Mazur,Sowa,Śruba,Szafa");
  EXPECT_EQ(Sqlite3("SELECT value FROM ff_properties WHERE name = 'collation';"), english);
  EXPECT_NE(ReadFile(FilePath()), before);
}

// A program that runs no triggers may leave a key column that does not match its field, unmarked: the
// engine then sorts by the key as stored, and a cursor still reads every row once, either way.
TEST_F(EngineOtherToolsTest, AStaleKeyColumnLeftUnmarkedStillReadsEveryRowOnce) {
  BuildCustomers();
  const TffCursorID cursor = Open("CUSTOMERS");
  for (const char *name : {"Anna", "Bert", "Cleo"}) Customer(cursor, name, QString());
  ASSERT_OK(engine.DatabaseClose(db));
  Sqlite3("DROP TRIGGER \"CUSTOMERS$ff_updated\"; UPDATE CUSTOMERS SET CUSTOMER = 'Zed' WHERE CUSTOMER = "
          "'Anna';");
  ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  const TffCursorID byName = Open("CUSTOMERS", "CUSTOMER");
  EXPECT_EQ(Column(byName, 1), "Zed,Bert,Cleo");
  ASSERT_OK(engine.CursorSetToEnd(byName));
  QStringList backwards;
  for (QString name; (name = Prior(byName)) != "<bof>" && backwards.size() <= 3;) backwards.append(name);
  EXPECT_EQ(backwards.join(u','), "Cleo,Bert,Zed");
}

} // namespace
