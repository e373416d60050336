// The program body: in process, starts that end with a message naming the database file when it cannot be
// used, and with a message when a form cannot be made; as real programs, the first start in the user's
// data location, a portable copy, and a second copy started while the first runs.
#include "app/main_form.h"
#include "app/print_form.h"
#include "app/product_editor.h"
#include "app/product_list.h"
#include "app/program.h"
#include "app/settings_form.h"
#include "platform/windowing/system_services.h"
#include "tests/app/app_fixture.h"
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <QTimer>
#include <unistd.h>

#ifndef TALLYROOK_PROGRAM
#error "the tests of the program need its path"
#endif

namespace {

using Program = AppFolderTest;

TEST_F(Program, StartsWithTheMainWindowAndItsDialogsInOrderAndEndsWhenItCloses) {
  Seed();
  ScopedScriptedServices services;
  QStringList made;
  QTimer::singleShot(0, [&] {
    EXPECT_EQ(Application()->Title(), QStringLiteral("Tallyrook"));
    EXPECT_EQ(Application()->MainForm(), F1);
    EXPECT_TRUE(F1->Showing());
    EXPECT_TRUE(DD->INV2->Active());
    for (int i = 0; i < Application()->ComponentCount(); ++i) {
      made << Application()->Components(i)->Name();
      if (auto *form = dynamic_cast<TCustomForm *>(Application()->Components(i)); form && form != F1) {
        EXPECT_FALSE(form->Showing()) << form->Name().toStdString();
      }
    }
    F1->Close();
  });
  EXPECT_EQ(RunTallyrook(), 0);
  // Every window is made once, at start, in this order, and freed at exit.
  EXPECT_EQ(made, QStringList({"DD", "F1", "SETTINGS", "HARD", "WOTNEXT", "AboutBox", "CUSTLIST", "CUSTEDIT",
                               "INVOICES", "PRODUCTS", "PRODEDIT"}));
  EXPECT_TRUE(services->MessageBoxes().isEmpty());
  EXPECT_TRUE(!DD && !F1);
}

TEST_F(Program, ADatabaseItCannotUseEndsTheStartWithAMessageNamingTheFileOnceAndIsLeftAsItIs) {
  const QString file = QDir::toNativeSeparators(DatabaseFile());
  const struct {
    const char *what;
    std::function<void()> make;
    const char *lock; // held by another program during the start
    const char *problem;
  } cases[] = {
      // The test program has no shipped database beside it to make a fresh one from.
      {"missing", [] {}, nullptr, "to get a fresh database"},
      {"damaged",
       [&] {
         QFile garbage(file);
         ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'x')) > 0);
       },
       nullptr, "not a Tallyrook database"},
      {"locked", [this] { Seed(); }, "BEGIN EXCLUSIVE", "locked by another program"},
      {"without settings", [this] { Seed(), Sql("DELETE FROM CONTROL"); }, nullptr, "has no settings record"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    QFile::remove(file);
    c.make();
    QFile database(file);
    const QByteArray before = database.open(QIODevice::ReadOnly) ? database.readAll() : QByteArray();
    database.close();
    sqlite3 *other = nullptr;
    if (c.lock) {
      ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &other), SQLITE_OK);
      ASSERT_EQ(sqlite3_exec(other, c.lock, nullptr, nullptr, nullptr), SQLITE_OK);
    }
    ScopedScriptedServices services;
    EXPECT_EQ(RunTallyrook(), 1);
    sqlite3_close(other);
    EXPECT_TRUE(!DD && !F1);
    ASSERT_EQ(services->MessageBoxes().size(), 1);
    const TMessageBoxRequest box = services->MessageBoxes()[0];
    EXPECT_TRUE(box.Text.contains(QString::fromUtf8(c.problem))) << box.Text.toStdString();
    EXPECT_EQ(box.Text.count(file), 1) << box.Text.toStdString();
    const QByteArray after = database.open(QIODevice::ReadOnly) ? database.readAll() : QByteArray();
    EXPECT_TRUE(after == before) << "the file was changed";
  }
}

// A form that cannot be made (here the last, whose name is taken) ends the start with a message, the forms
// made before it freed; the program does not abort.
TEST_F(Program, AFormThatCannotBeMadeEndsTheStartWithAMessage) {
  Seed();
  ScopedScriptedServices services;
  (new TComponent(Application()))->SetName(QStringLiteral("PRODEDIT"));
  EXPECT_EQ(RunTallyrook(), 1);
  EXPECT_TRUE(!DD && !F1 && !SETTINGS && !HARD && !PRODUCTS && !PRODEDIT);
  EXPECT_EQ(Application()->ComponentCount(), 0);
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_TRUE(services->MessageBoxes()[0].Text.startsWith(
      QStringLiteral("Tallyrook cannot start and will close.\n\nA component named PRODEDIT")))
      << services->MessageBoxes()[0].Text.toStdString();
}

// ---- the real program ----

// Hang guards only: every wait ends as soon as its condition holds.
constexpr int kGenerousWait = 30000;

class RealProgram : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    ASSERT_TRUE(home.isValid());
    environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
  }
  void TearDown() override {
    if (running.state() != QProcess::NotRunning) running.kill(), running.waitForFinished(kGenerousWait);
    AppFolderTest::TearDown();
  }

  void Launch(QProcess &process, const QString &program = QStringLiteral(TALLYROOK_PROGRAM)) {
    process.setProcessEnvironment(environment);
    process.start(program, {});
    ASSERT_TRUE(process.waitForStarted(kGenerousWait)) << process.errorString().toStdString();
  }
  // Starts the program in `running` and waits until Started holds, or the program ended.
  void Start(const std::function<bool()> &Started,
             const QString &program = QStringLiteral(TALLYROOK_PROGRAM)) {
    Launch(running, program);
    for (QDeadlineTimer deadline(kGenerousWait); !Started() && !deadline.hasExpired();) {
      ASSERT_EQ(running.state(), QProcess::Running) << running.readAllStandardError().toStdString();
      QThread::msleep(20);
    }
    ASSERT_TRUE(Started()) << "the program did not finish starting";
  }
  // Starts the program on a folder whose INV2 holds a line, and waits until it has emptied INV2.
  void StartOnData(const QString &program = QStringLiteral(TALLYROOK_PROGRAM)) {
    Insert(QStringLiteral("INV2"), {1.0, QStringLiteral("From an earlier run"), 1.0, 1.0});
    Start([this] { return Records(QStringLiteral("INV2")).isEmpty(); }, program);
  }
  QTemporaryDir home; // the user's data location lies in it
  QProcessEnvironment environment;
  QProcess running;
};

TEST_F(RealProgram, TheUsersDataLocationGetsTheShippedDatabaseAndKeepsItsOwnAfterwards) {
  environment.remove(QStringLiteral("TALLYROOK_DATA"));
  const QString location = QDir(home.path()).filePath(QStringLiteral("Tallyrook"));
  const QString programFolder = QFileInfo(QStringLiteral(TALLYROOK_PROGRAM)).absolutePath();
  ASSERT_TRUE(QFile::exists(QDir(programFolder).filePath(QStringLiteral("tallyrook-shipped.db"))))
      << "the build writes the shipped database beside the program";
  const bool dataBesideTheProgram =
      QFile::exists(QDir(programFolder).filePath(QStringLiteral("tallyrook.db")));

  const QString database = QDir(location).filePath(QStringLiteral("tallyrook.db"));
  Start([&] { return CompanyInFile(database) == QStringLiteral("Your Company Name"); });
  running.kill(), running.waitForFinished(kGenerousWait);
  EXPECT_EQ(QFile::exists(QDir(programFolder).filePath(QStringLiteral("tallyrook.db"))), dataBesideTheProgram)
      << "the build folder keeps no data";

  // The user's own data: a later start keeps it.
  folder = location;
  SetFirst(QStringLiteral("CONTROL"), 1, QStringLiteral("My own company"));
  StartOnData();
  EXPECT_EQ(CompanyInFile(database), QStringLiteral("My own company"));
  EXPECT_EQ(Records(QStringLiteral("Reports")).size(), 4);
}

TEST_F(RealProgram, AProgramWithADatabaseBesideItUsesItWhereItLiesAndStartsWithoutAWord) {
  QTemporaryDir portable, temporary;
  ASSERT_TRUE(portable.isValid() && temporary.isValid());
  // No session runtime folder: the single-instance guard keeps to one of the user's own.
  environment.remove(QStringLiteral("TALLYROOK_DATA"));
  environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  environment.insert(QStringLiteral("TMPDIR"), temporary.path());
  const QString program = portable.filePath(QStringLiteral("tallyrook"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(TALLYROOK_PROGRAM), program));
  ASSERT_EQ(SeedDataFolder(portable.path(), {}).Outcome, TSeedOutcome::Created);
  folder = portable.path();
  StartOnData(program);
  running.kill(), running.waitForFinished(kGenerousWait);
  EXPECT_FALSE(QFile::exists(QDir(home.path()).filePath(QStringLiteral("Tallyrook"))));
  const QString said = QString::fromLocal8Bit(running.readAllStandardError());
  for (const char *warning : {"XDG_RUNTIME_DIR", "single-instance guard"})
    EXPECT_FALSE(said.contains(QString::fromLatin1(warning))) << said.toStdString();
  EXPECT_TRUE(QFileInfo(temporary.filePath(QStringLiteral("runtime-%1").arg(getuid()))).isDir());
}

// A second copy started while the first runs ends at once, before it looks for any database, and leaves the
// first copy's lines alone; once the first copy has ended (without cleaning up), the next start is a first
// copy.
TEST_F(RealProgram, ASecondCopyEndsAtOnceTouchingNoData) {
  Seed();
  StartOnData();
  Insert(QStringLiteral("INV2"), {2.0, QStringLiteral("Chairs"), 40.0, 80.0});
  // Pointed at a folder with no database: a copy that looked for one would make or report it.
  QTemporaryDir empty;
  environment.insert(QStringLiteral("TALLYROOK_DATA"), empty.path());
  QProcess second;
  Launch(second);
  ASSERT_TRUE(second.waitForFinished(kGenerousWait));
  EXPECT_TRUE(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0);
  EXPECT_TRUE(QDir(empty.path()).isEmpty());
  EXPECT_EQ(Records(QStringLiteral("INV2")).value(0).value(1).toString(), QStringLiteral("Chairs"));
  EXPECT_EQ(running.state(), QProcess::Running);

  running.kill(), running.waitForFinished(kGenerousWait);
  environment.insert(QStringLiteral("TALLYROOK_DATA"), data.path());
  StartOnData();
}

} // namespace
