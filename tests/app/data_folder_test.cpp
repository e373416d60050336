// The data folder and its database: one program at a time on it, where the data lives, the first database a
// folder gets and what a start killed while making it left, the shipped database and its templates reaching
// existing data, older data upgraded, values other programs stored, and dialogs centred over the main window.
#include "app/create_invoice.h"
#include "app/data_folder.h"
#include "app/invoice_lines.h"
#include "app/main_form.h"
#include "app/program.h"
#include "app/table_definitions.h"
#include "platform/windowing/system_services.h"
#include "tests/app/app_fixture.h"
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <algorithm>

#ifndef TALLYROOK_PROGRAM
#error "the tests of the data folder start the program"
#endif

namespace {

QStringList Entries(const QString &folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

class DataFolder : public AppFolderTest {
protected:
  // A database with its company's name, written as a file of the sources folder.
  QString Source(const QString &name, const QString &company) {
    TShippedSettings settings;
    settings.Company = company;
    const QString file = sources.filePath(name);
    EXPECT_EQ(WriteShippedDatabase(file, {}, settings).Outcome, TSeedOutcome::Created);
    return file;
  }
  // The company's name in a database file.
  static std::string Company(const QString &file) { return CompanyInFile(file).toStdString(); }
  bool NumbersUnique() {
    std::optional<TffDataDictionary> headers;
    TffServerEngine engine;
    TffDatabaseID db = 0;
    EXPECT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
    EXPECT_EQ(engine.TableGetDictionary(db, QStringLiteral("MINV1"), headers), DBIERR_NONE);
    return !headers->IndexDescriptor(headers->GetIndexFromName(QStringLiteral("INVNUM"))).idDups;
  }
  void Start() {
    if (DD) DD->Free();
    Application()->CreateForm(DD);
    ASSERT_NE(DD, nullptr);
  }

  QTemporaryDir sources;
};

// The program run in process, as this test program; it closes its main window once started. Its exit code,
// with the message boxes it showed.
std::pair<int, QList<TMessageBoxRequest>> RunProgram() {
  ScopedScriptedServices services;
  QTimer::singleShot(0, [] {
    if (F1) F1->Close();
  });
  const int exitCode = RunTallyrook();
  return {exitCode, services->MessageBoxes()};
}

// Runs the program, which must end its start with one message naming the database file and saying why.
void ExpectRefusedStart(const QString &databaseFile, const QString &why) {
  const auto [exitCode, boxes] = RunProgram();
  EXPECT_EQ(exitCode, 1);
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_TRUE(boxes[0].Text.contains(QDir::toNativeSeparators(databaseFile)) && boxes[0].Text.contains(why))
      << boxes[0].Text.toStdString();
}

// Another program on the same data, in a session of its own (its own runtime folder, so the single-instance
// guard does not meet it), is refused with a message naming the database and touches nothing; the lock of a
// program that was killed is taken over.
TEST_F(DataFolder, ASecondProgramOnTheDatabaseIsRefusedWhateverItsSessionAndALockLeftByAKillIsTakenOver) {
  Seed();
  QTemporaryDir otherSession;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("TALLYROOK_DATA"), data.path());
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), otherSession.path());
  QProcess first;
  first.setProcessEnvironment(environment);
  Insert(QStringLiteral("INV2"), {1.0, QStringLiteral("From an earlier run"), 1.0, 1.0});
  first.start(QStringLiteral(TALLYROOK_PROGRAM), {});
  ASSERT_TRUE(first.waitForStarted(30000));
  // Started once it emptied INV2 (a hang guard only: the wait ends as soon as it holds).
  for (QDeadlineTimer deadline(30000); !Records(QStringLiteral("INV2")).isEmpty() && !deadline.hasExpired();)
    QThread::msleep(20);
  ASSERT_TRUE(Records(QStringLiteral("INV2")).isEmpty()) << first.readAllStandardError().toStdString();
  Insert(QStringLiteral("INV2"), {2.0, QStringLiteral("Chairs"), 40.0, 80.0});

  ExpectRefusedStart(DatabaseFile(), QStringLiteral("in use by another Tallyrook"));
  EXPECT_EQ(Records(QStringLiteral("INV2")).value(0).value(1).toString(), QStringLiteral("Chairs"));
  EXPECT_EQ(first.state(), QProcess::Running);

  first.kill();
  first.waitForFinished(30000);
  ASSERT_TRUE(QFile::exists(data.filePath(QStringLiteral("tallyrook.db.lock"))));
  const auto [started, none] = RunProgram();
  EXPECT_EQ(started, 0);
  EXPECT_TRUE(none.isEmpty()) << none.value(0).Text.toStdString();
  EXPECT_FALSE(QFile::exists(data.filePath(QStringLiteral("tallyrook.db.lock")))) << "let go at the end";
}

// A start killed while it copied the first database leaves its unfinished copy under a temporary name: the
// next start removes it, and nothing else.
TEST_F(DataFolder, UnfinishedCopiesOfAnEarlierStartAreRemovedAndNothingElse) {
  const QString shipped = Source(QStringLiteral("shipped.db"), QStringLiteral("Shipped"));
  const QDateTime earlier = QDateTime::currentDateTime().addSecs(-60);
  const struct {
    const char *name;
    QByteArray content;
    bool old;
    bool removed;
  } files[] = {
      {"tallyrook.db.AbCdEf", "half a database", true, true}, // cut off in its transaction
      {"tallyrook.db.AbCdEf-journal", "its journal", true, true},
      {"tallyrook.db.GhIjKl", "", true, true},                     // made, never written to
      {"tallyrook.db.MnOpQr-journal", "no file left", true, true}, // a journal without its file
      {"tallyrook.db.backup", "someone's copy", true, false},      // finished: it may be a copy
      {"tallyrook.db.StUvWx", "", false, false},                   // another program writes it now
      {"tallyrook.db.StUvWx-journal", "", false, false},
      {"tallyrook.db.Ab-journal", "not our name", true, false},
      {"tallyrook.db.AbCdEfG", "", true, false},
      {"notes.txt", "", true, false},
  };
  for (const auto &f : files) {
    QFile file(data.filePath(QString::fromLatin1(f.name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(f.content);
    file.flush();
    if (f.old) {
      ASSERT_TRUE(file.setFileTime(earlier, QFileDevice::FileModificationTime));
    }
  }
  PrepareDataFolder(data.path(), {shipped});
  EXPECT_EQ(Company(DatabaseFile()), "Shipped");
  for (const auto &f : files)
    EXPECT_EQ(QFile::exists(data.filePath(QString::fromLatin1(f.name))), !f.removed) << f.name;
}

// A number another program stored beyond what its field holds ends the start with a message naming the
// database, the table and the field; nothing is read wrapped, nothing is written.
TEST_F(DataFolder, AnInvoiceCounterBeyondItsFieldEndsTheStartNamingTableAndField) {
  Seed();
  Sql("UPDATE CONTROL SET LastINV = 4294967396");
  QFile database(DatabaseFile());
  ASSERT_TRUE(database.open(QIODevice::ReadOnly));
  const QByteArray before = database.readAll();
  database.close();
  ExpectRefusedStart(DatabaseFile(), QStringLiteral("field LastINV of table CONTROL holds 4294967396"));
  ASSERT_TRUE(database.open(QIODevice::ReadOnly));
  EXPECT_EQ(database.readAll(), before);
}

// A folder keeps its own: tests/app/program_test.cpp.
TEST_F(DataFolder, ANewFolderGetsACopyOfTheFirstSourceThatExists) {
  const QString missing = sources.filePath(QStringLiteral("missing.db"));
  const QString earlier = Source(QStringLiteral("earlier.db"), QStringLiteral("Earlier build's data"));
  const QString shipped = Source(QStringLiteral("shipped.db"), QStringLiteral("Shipped"));
  const QString path = data.filePath(QStringLiteral("carried/over"));
  PrepareDataFolder(path, {missing, earlier, shipped});
  EXPECT_EQ(Company(QDir(path).filePath(QStringLiteral("tallyrook.db"))), "Earlier build's data");
  EXPECT_EQ(Entries(path), QStringList{QStringLiteral("tallyrook.db")});
  EXPECT_EQ(Company(earlier), "Earlier build's data") << "the source is kept";
}

// Without a database to copy: tests/app/program_test.cpp.
TEST_F(DataFolder, AFolderThatCannotBeMadeIsRefusedByName) {
  QFile blocker(data.filePath(QStringLiteral("a file")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  try {
    PrepareDataFolder(data.filePath(QStringLiteral("a file/data/")), {});
    ADD_FAILURE() << "made";
  } catch (const EDatabaseError &e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot create the data folder ") +
                               data.filePath(QStringLiteral("a file/data")));
  }
}

// Not even over a file that is no database at all.
TEST_F(DataFolder, ASeedNeverWritesOverAnExistingFile) {
  QFile file(DatabaseFile());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("not a database") > 0);
  file.close();
  const TSeedResult again = SeedDataFolder(data.path(), {});
  EXPECT_EQ(again.Outcome, TSeedOutcome::AlreadyExists);
  EXPECT_TRUE(again.Message.contains(QDir::toNativeSeparators(DatabaseFile())));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("not a database"));
  file.remove();
}

// Template 1 of an earlier release, 2 of an earlier build of this one, 3 of a later release, 5 the folder's
// own: shipped ones replace 1, 2 and 4 in one transaction, and nothing else changes.
TEST_F(DataFolder, ShippedTemplatesReplaceOlderOnesAllOrNothing) {
  Seed({{1, {}, {}, "old 1"}, {2, {}, {}, "old 2"}, {3, {}, {}, "own 3"}, {5, {}, {}, "own 5"}});
  Sql(QStringLiteral(
          "UPDATE Reports SET Updated = %1 WHERE rec = 1; UPDATE Reports SET Updated = %2 WHERE rec = 3")
          .arg(ShippedTemplatesDate() - 1, 0, 'g', 17)
          .arg(ShippedTemplatesDate() + 1, 0, 'g', 17)
          .toUtf8()
          .constData());
  TffServerEngine engine;
  TffDatabaseID db = 0;
  ASSERT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
  const auto ship = [this](const QString &name, const QList<TShippedReport> &reports) {
    const QString file = sources.filePath(name);
    EXPECT_EQ(WriteShippedDatabase(file, reports).Outcome, TSeedOutcome::Created);
    return file;
  };
  const auto templates = [this] {
    QList<QByteArray> shown;
    for (const TRow &row : Records(QStringLiteral("Reports")))
      shown.append(QByteArray::number(row[0].toInt()) + ' ' + row[1].toByteArray().left(6));
    std::sort(shown.begin(), shown.end());
    return shown;
  };

  // The disk fills after the first template is replaced.
  const QByteArray big(200 * 1024, 'T');
  const QString large =
      ship(QStringLiteral("large.db"), {{1, {}, {}, "new 1" + big}, {4, {}, {}, "new 4" + big}});
  ASSERT_EQ(engine.DatabaseSetSizeLimit(db, QFileInfo(DatabaseFile()).size() + 300 * 1024), DBIERR_NONE);
  EXPECT_TRUE(UpdateShippedReports(engine, db, large).contains(QStringLiteral("disk space")));
  EXPECT_EQ(templates(), (QList<QByteArray>{"1 old 1", "2 old 2", "3 own 3", "5 own 5"}));
  ASSERT_EQ(engine.DatabaseSetSizeLimit(db, 0), DBIERR_NONE);

  QList<TShippedReport> all;
  for (int n = 1; n <= 5; ++n) all.append({n, {}, {}, "new " + QByteArray::number(n)});
  const QString file = ship(QStringLiteral("shipped.db"), all);
  EXPECT_EQ(UpdateShippedReports(engine, db, file), QString());
  EXPECT_EQ(templates(), (QList<QByteArray>{"1 new 1", "2 new 2", "3 own 3", "4 new 4", "5 own 5"}));
  // No shipped database: nothing to do.
  EXPECT_EQ(UpdateShippedReports(engine, db, sources.filePath(QStringLiteral("none.db"))), QString());
  engine.DatabaseClose(db);
}

// The shipped database may lie where nothing may be written, its sort keys by another language than the
// user's: the templates are read from it as it stands.
TEST_F(DataFolder, TheShippedDatabaseIsOnlyRead) {
  Seed({{1, {}, {}, "old 1"}});
  const QString shipped = sources.filePath(QStringLiteral("shipped.db"));
  ASSERT_EQ(WriteShippedDatabase(shipped, {{1, {}, {}, "new 1"}}).Outcome, TSeedOutcome::Created);
  sqlite3 *h = nullptr;
  ASSERT_EQ(sqlite3_open(shipped.toUtf8().constData(), &h), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(h, "UPDATE ff_properties SET value = 'another 1.0' WHERE name = 'collation'",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(h);
  QFile file(shipped);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray before = file.readAll();
  file.close();
  const auto readOnly =
      QFileDevice::ReadOwner | QFileDevice::ReadUser | QFileDevice::ExeOwner | QFileDevice::ExeUser;
  ASSERT_TRUE(QFile::setPermissions(shipped, readOnly & ~(QFileDevice::ExeOwner | QFileDevice::ExeUser)));
  ASSERT_TRUE(QFile::setPermissions(sources.path(), readOnly));

  TffServerEngine engine;
  TffDatabaseID db = 0;
  ASSERT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
  const QString problem = UpdateShippedReports(engine, db, shipped);
  QFile::setPermissions(sources.path(), readOnly | QFileDevice::WriteOwner | QFileDevice::WriteUser);
  EXPECT_EQ(problem, QString());
  EXPECT_EQ(Records(QStringLiteral("Reports")).value(0).value(1).toByteArray(), "new 1");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), before);
  engine.DatabaseClose(db);
}

// Data of an older release, where invoice numbers need not be unique: they become unique on open unless
// stored invoices already share one (then they keep it, and new invoices still get unused numbers).
TEST_F(DataFolder, OlderDataGetsUniqueNumbersUnlessStoredInvoicesShareOne) {
  const struct {
    QList<double> numbers;
    bool unique;
  } cases[] = {{{3, 5}, true}, {{4, 4}, false}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.numbers.size());
    if (DD) DD->Free();
    QFile::remove(DatabaseFile());
    Seed();
    TffServerEngine engine;
    TffDatabaseID db = 0;
    ASSERT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
    const TffDataDictionary current = MINV1Dictionary();
    TffDataDictionary older(current.BlockSize());
    for (int i = 0; i < current.FieldCount(); ++i)
      older.AddField(current.FieldName(i), QString(), current.FieldType(i), current.FieldUnits(i), 0, false);
    for (int i = 1; i < current.IndexCount(); ++i)
      older.AddIndex(current.IndexName(i), QString(), 0, current.IndexDescriptor(i).idFields, true);
    ASSERT_EQ(engine.TableChangeIndexes(db, QStringLiteral("MINV1"), older), DBIERR_NONE);
    engine.DatabaseClose(db);
    for (double number : c.numbers) Insert(QStringLiteral("MINV1"), HeaderRow(number));
    ASSERT_FALSE(NumbersUnique());
    Start();
    EXPECT_EQ(NumbersUnique(), c.unique);
    EXPECT_EQ(Records(QStringLiteral("MINV1")).size(), c.numbers.size());
  }
  ASSERT_TRUE(AddInvoiceLine(*DD, true, 1, QStringLiteral("Bread"), 2));
  TInvoiceDraft draft;
  draft.Customer = QStringLiteral("Someone");
  EXPECT_EQ(StoreInvoice(*DD, draft).Number, 5);
  // Once no number is shared, the next start makes them unique.
  WipeAllData(*DD);
  Start();
  EXPECT_TRUE(NumbersUnique());
}

TEST_F(DataFolder, DialogsCentreOverTheMainWindowHalvesToEvenAndNeverBeforeIt) {
  TForm *main = nullptr;
  Application()->CreateForm(main);
  main->SetBounds(100, 80, 702, 500);
  auto *dd = new TDD(Application());
  // Left for a dialog of that width (and top for that height): 1.5 and 2.5 both go to 2.
  const int cases[][3] = {{700, 101, 81}, {699, 102, 82}, {697, 102, 82}, {900, 100, 80}};
  for (const auto &[size, left, top] : cases) {
    EXPECT_EQ(dd->FormPosLeft(size), left) << size;
    EXPECT_EQ(dd->FormPosTop(size - 202), top) << size;
  }
}

} // namespace
