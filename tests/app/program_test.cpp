// The program body in process: a start that runs until the main window closes, and starts that end with a
// message naming the database file when it is missing, damaged or incomplete.
#include "app/main_form.h"
#include "app/program.h"
#include "platform/windowing/control_grab.h"
#include "platform/windowing/system_services.h"
#include "tests/app/app_fixture.h"
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QWidget>

namespace {

class Program : public AppFolderTest {
protected:
  QString DatabaseFile() const {
    return QDir::toNativeSeparators(data.filePath(QStringLiteral("tallyrook.db")));
  }

  // Runs the program, which must end at once with one message box; returns that box.
  TMessageBoxRequest FailedStart() {
    EXPECT_EQ(RunTallyrook(), 1);
    EXPECT_EQ(DD, nullptr);
    EXPECT_EQ(F1, nullptr);
    EXPECT_EQ(services->MessageBoxes().size(), 1);
    return services->MessageBoxes().value(0);
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

TEST_F(Program, MissingDatabaseIsReportedByName) {
  const TMessageBoxRequest box = FailedStart();
  EXPECT_TRUE(box.Text.contains(DatabaseFile())) << box.Text.toStdString();
  EXPECT_TRUE(box.Text.contains(QStringLiteral("does not exist"))) << box.Text.toStdString();
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

TEST_F(Program, MissingTableIsReportedByName) {
  Seed();
  {
    TffServerEngine engine;
    TffDatabaseID db = 0;
    ASSERT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
    ASSERT_EQ(engine.TableDelete(db, QStringLiteral("PRODUCTS")), DBIERR_NONE);
  }
  const TMessageBoxRequest box = FailedStart();
  EXPECT_TRUE(box.Text.contains(DatabaseFile())) << box.Text.toStdString();
  EXPECT_TRUE(box.Text.contains(QStringLiteral("PRODUCTS"))) << box.Text.toStdString();
}

TEST(DatabaseFailureMessage, NamesTheFileAndTheProblem) {
  EXPECT_EQ(DatabaseFailureMessage(QStringLiteral("/data/tallyrook.db"), QStringLiteral("Disk full")),
            QStringLiteral("Tallyrook cannot open its database and will close.\n\n"
                           "File: /data/tallyrook.db\nProblem: Disk full."));
}

} // namespace
