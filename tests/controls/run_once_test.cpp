// The single-instance guard component: first copy, second copy (event, bringing the first forward, message,
// ending), a guard that cannot be set up, and design time.
#include "controls/buttons/run_once.h"
#include "platform/windowing/application.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace {

class RunOnce : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    Application()->SetTitle(QStringLiteral("GuardTest"));
  }
  void TearDown() override {
    for (TVrRunOnce *guard : guards) guard->Free();
    FreeApplication();
  }

  // A guard component as a data module loads it.
  TVrRunOnce *NewGuard(const std::function<void(TVrRunOnce *)> &setUp = nullptr) {
    auto *guard = new TVrRunOnce(nullptr);
    guard->SetGuardDirectory(folder.path());
    guard->OnExists = TNotifyEvent::From([this](TObject *) { ++exists; });
    if (setUp) setUp(guard);
    guard->BeginLoading();
    guard->EndLoading();
    guards.append(guard);
    return guard;
  }

  // Lets Qt's loop run until the condition holds (or a generous deadline passes, so that a fault cannot
  // hang the run).
  static bool ProcessUntil(const std::function<bool()> &condition) {
    QDeadlineTimer deadline(10000);
    while (!condition() && !deadline.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
  }

  QTemporaryDir folder;
  QList<TVrRunOnce *> guards;
  int exists = 0;
  ScopedScriptedServices services;
};

TEST_F(RunOnce, FirstCopyKeepsTheGuardAndRuns) {
  TVrRunOnce *guard = NewGuard();
  EXPECT_TRUE(guard->GuardRan());
  EXPECT_FALSE(guard->AnotherCopyRuns());
  EXPECT_EQ(exists, 0);
  EXPECT_FALSE(Application()->Terminated());
}

TEST_F(RunOnce, SecondCopyFiresOnExistsAndEndsWithoutAMessage) {
  NewGuard();
  TVrRunOnce *second = NewGuard();
  EXPECT_TRUE(second->AnotherCopyRuns());
  EXPECT_EQ(exists, 1);
  EXPECT_TRUE(Application()->Terminated());
  EXPECT_TRUE(services->MessageBoxes().isEmpty());
}

TEST_F(RunOnce, SecondCopyShowsItsMessageWhenAsked) {
  NewGuard();
  NewGuard([](TVrRunOnce *g) {
    g->SetShowMessage(true);
    g->SetMessageText(QStringLiteral("Already running"));
  });
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_EQ(services->MessageBoxes()[0].Text, QStringLiteral("Already running"));
  EXPECT_EQ(services->MessageBoxes()[0].Icon, TMessageIcon::Information);
  EXPECT_TRUE(Application()->Terminated());
}

TEST_F(RunOnce, SecondCopyWithoutTerminateGoesOn) {
  NewGuard();
  TVrRunOnce *second = NewGuard([](TVrRunOnce *g) { g->SetTerminate(false); });
  EXPECT_TRUE(second->AnotherCopyRuns());
  EXPECT_EQ(exists, 1);
  EXPECT_FALSE(Application()->Terminated());
}

TEST_F(RunOnce, SecondCopyRestoresTheMinimisedFirstCopy) {
  TForm *main = nullptr;
  Application()->CreateForm(main);
  main->Show();
  main->SetWindowState(wsMinimized);
  NewGuard();
  NewGuard();
  EXPECT_TRUE(ProcessUntil([main] { return main->WindowState() == wsNormal; }));
}

TEST_F(RunOnce, GuardThatCannotBeSetUpIsNotTakenForAnotherCopy) {
  // The guard's folder cannot be made: a file stands where it would be.
  QFile blocker(folder.filePath(QStringLiteral("file")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  auto *guard = new TVrRunOnce(nullptr);
  guard->SetGuardDirectory(folder.filePath(QStringLiteral("file/guard")));
  guard->OnExists = TNotifyEvent::From([this](TObject *) { ++exists; });
  guards.append(guard);
  guard->BeginLoading();
  guard->EndLoading();
  EXPECT_TRUE(guard->GuardRan());
  EXPECT_FALSE(guard->AnotherCopyRuns());
  EXPECT_EQ(exists, 0);
  EXPECT_FALSE(Application()->Terminated());
}

TEST_F(RunOnce, GuardIsReleasedWithTheComponent) {
  NewGuard();
  guards.takeFirst()->Free();
  TVrRunOnce *next = NewGuard();
  EXPECT_FALSE(next->AnotherCopyRuns());
  EXPECT_FALSE(Application()->Terminated());
}

TEST_F(RunOnce, DoesNothingAtDesignTime) {
  NewGuard();
  TVrRunOnce *designed = NewGuard([](TVrRunOnce *g) { g->SetDesigning(true); });
  EXPECT_FALSE(designed->GuardRan());
  EXPECT_EQ(exists, 0);
  EXPECT_FALSE(Application()->Terminated());
}

} // namespace
