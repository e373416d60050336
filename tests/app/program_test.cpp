// The program body in process: a start that runs until the main window closes, and starts that end with a
// message naming the database file when it is missing, damaged or incomplete.
#include "app/main_form.h"
#include "app/program.h"
#include "platform/windowing/control_grab.h"
#include "platform/windowing/system_services.h"
#include "tests/app/app_fixture.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <sqlite3.h>

namespace {

class Program : public AppFolderTest {
protected:
  QString DatabaseFile() const {
    return QDir::toNativeSeparators(data.filePath(QStringLiteral("tallyrook.db")));
  }

  // Runs the program, which must end at once with one message box; returns that box.
  TMessageBoxRequest FailedStart() {
    const qsizetype shown = services->MessageBoxes().size();
    EXPECT_EQ(RunTallyrook(), 1);
    EXPECT_EQ(DD, nullptr);
    EXPECT_EQ(F1, nullptr);
    EXPECT_EQ(services->MessageBoxes().size(), shown + 1);
    return services->MessageBoxes().value(shown);
  }

  ScopedScriptedServices services;
};

TEST_F(Program, StartsWithTheMainWindowAndEndsWhenItCloses) {
  Seed();
  bool checked = false;
  QTimer::singleShot(0, [&] {
    checked = true;
    EXPECT_EQ(Application()->Title(), QStringLiteral("Tallyrook"));
    ASSERT_NE(F1, nullptr);
    ASSERT_NE(DD, nullptr);
    EXPECT_EQ(Application()->MainForm(), F1);
    EXPECT_EQ(F1->Caption(), QStringLiteral("  TALLYROOK Billsprints V1.1"));
    EXPECT_EQ(F1->ClientWidth(), 696);
    EXPECT_EQ(F1->ClientHeight(), 466);
    EXPECT_TRUE(F1->Showing());
    EXPECT_TRUE(DD->INV2->Active());
    EXPECT_TRUE(DD->CONTROL->Active());
    // Every window is made once, at start, in this order.
    QStringList made;
    for (int i = 0; i < Application()->ComponentCount(); ++i) made << Application()->Components(i)->Name();
    EXPECT_EQ(made, QStringList({"DD", "F1", "SETTINGS", "HARD", "WOTNEXT", "AboutBox", "CUSTLIST",
                                 "CUSTEDIT", "INVOICES", "PRODUCTS", "PRODEDIT"}));
    const QString shots = qEnvironmentVariable("TALLYROOK_SCREENSHOTS");
    if (!shots.isEmpty()) {
      QDir().mkpath(shots);
      EXPECT_TRUE(SaveControlPng(F1, QDir(shots).filePath(QStringLiteral("main_window.png"))));
    }
    F1->Close();
  });
  EXPECT_EQ(RunTallyrook(), 0);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(services->MessageBoxes().isEmpty());
  // Everything was freed at exit.
  EXPECT_EQ(DD, nullptr);
  EXPECT_EQ(F1, nullptr);
}

TEST_F(Program, MissingDatabaseIsReportedWithHowToGetAFreshOne) {
  // The test program has no shipped database beside it to make a fresh one from.
  const TMessageBoxRequest box = FailedStart();
  EXPECT_EQ(box.Text.count(DatabaseFile()), 1) << box.Text.toStdString();
  EXPECT_TRUE(box.Text.contains(QStringLiteral("does not exist"))) << box.Text.toStdString();
  EXPECT_TRUE(box.Text.contains(QStringLiteral("to get a fresh database"))) << box.Text.toStdString();
  EXPECT_EQ(box.Caption, QStringLiteral("Tallyrook"));
  EXPECT_EQ(box.Icon, TMessageIcon::Error);
  // Nothing was created in its place.
  EXPECT_FALSE(QFile::exists(DatabaseFile()));
}

TEST_F(Program, DamagedDatabaseIsReportedAndLeftAsItIs) {
  const QByteArray garbage(4096, 'x');
  {
    QFile file(DatabaseFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(garbage);
  }
  const TMessageBoxRequest box = FailedStart();
  EXPECT_TRUE(box.Text.contains(DatabaseFile())) << box.Text.toStdString();
  EXPECT_TRUE(box.Text.contains(QStringLiteral("not a Tallyrook database"))) << box.Text.toStdString();
  QFile file(DatabaseFile());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), garbage);
}

TEST_F(Program, DatabaseAnotherProgramHoldsIsReportedAtOnce) {
  Seed();
  for (const char *lock : {"BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"}) {
    SCOPED_TRACE(lock);
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(DatabaseFile().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, lock, nullptr, nullptr, nullptr), SQLITE_OK);
    QElapsedTimer clock;
    clock.start();
    const TMessageBoxRequest box = FailedStart();
    RecordProperty(std::string("locked_start_ms_") + (lock[6] == 'I' ? "immediate" : "exclusive"),
                   int(clock.elapsed()));
    EXPECT_TRUE(box.Text.contains(QStringLiteral("locked by another program"))) << box.Text.toStdString();
    EXPECT_EQ(box.Text.count(DatabaseFile()), 1) << box.Text.toStdString();
    sqlite3_close(other);
  }
}

TEST_F(Program, FilesItCannotUseAreRefusedNamingTheFileOnce) {
  struct Case {
    const char *what;
    std::function<void(TffServerEngine &, TffDatabaseID)> spoil;
    const char *problem;
  };
  const Case cases[] = {
      {"a table gone",
       [](TffServerEngine &engine, TffDatabaseID db) { engine.TableDelete(db, QStringLiteral("PRODUCTS")); },
       "does not exist"},
      {"no settings record",
       [](TffServerEngine &engine, TffDatabaseID db) { engine.TableEmpty(db, QStringLiteral("CONTROL")); },
       "has no settings record"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    QFile::remove(DatabaseFile());
    Seed();
    {
      TffServerEngine engine;
      TffDatabaseID db = 0;
      ASSERT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
      c.spoil(engine, db);
    }
    const TMessageBoxRequest box = FailedStart();
    EXPECT_TRUE(box.Text.contains(QString::fromUtf8(c.problem))) << box.Text.toStdString();
    EXPECT_EQ(box.Text.count(DatabaseFile()), 1) << box.Text.toStdString();
  }
}

TEST_F(Program, DatabaseOfANewerVersionIsRefusedAndLeftAsItIs) {
  Seed();
  sqlite3 *other = nullptr;
  ASSERT_EQ(sqlite3_open(DatabaseFile().toUtf8().constData(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "PRAGMA user_version = 99", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(other);
  QFile file(DatabaseFile());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray before = file.readAll();
  file.close();
  const TMessageBoxRequest box = FailedStart();
  EXPECT_TRUE(box.Text.contains(QStringLiteral("newer version"))) << box.Text.toStdString();
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), before);
}

TEST(DatabaseFailureMessage, TellsTheProblemAndNamesTheFileOnce) {
  const QString file = QStringLiteral("/data/tallyrook.db");
  EXPECT_EQ(DatabaseFailureMessage(file, QStringLiteral("Database file is damaged: /data/tallyrook.db")),
            QStringLiteral("Tallyrook cannot open its database and will close.\n\n"
                           "Database file is damaged: /data/tallyrook.db."));
  EXPECT_EQ(DatabaseFailureMessage(file, QStringLiteral("Insufficient memory.")),
            QStringLiteral("Tallyrook cannot open its database and will close.\n\n"
                           "Insufficient memory.\n\nDatabase: /data/tallyrook.db"));
}

} // namespace
