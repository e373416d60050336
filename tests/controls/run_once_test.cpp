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

// The first copy keeps the guard and runs; the second fires OnExists and ends (after its message when asked,
// not at all without Terminate); at design time the guard does nothing.
TEST_F(RunOnce, FirstAndSecondCopies) {
  struct Case {
    const char *name;
    std::function<void(TVrRunOnce *)> second;
    bool ran, anotherRuns;
    int exists;
    bool terminated;
    const char *message;
  };
  const Case cases[] = {
      {"plain", nullptr, true, true, 1, true, nullptr},
      {"with a message",
       [](TVrRunOnce *g) {
         g->SetShowMessage(true);
         g->SetMessageText(QStringLiteral("Already running"));
       },
       true, true, 1, true, "Already running"},
      {"without terminate", [](TVrRunOnce *g) { g->SetTerminate(false); }, true, true, 1, false, nullptr},
      {"at design time", [](TVrRunOnce *g) { g->SetDesigning(true); }, false, false, 0, false, nullptr},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TVrRunOnce *first = NewGuard();
    EXPECT_TRUE(first->GuardRan());
    const qsizetype boxes = services->MessageBoxes().size();
    TVrRunOnce *second = NewGuard(c.second);
    EXPECT_EQ(std::tuple(second->GuardRan(), second->AnotherCopyRuns(), exists, Application()->Terminated()),
              std::tuple(c.ran, c.anotherRuns, c.exists, c.terminated));
    ASSERT_EQ(services->MessageBoxes().size(), boxes + (c.message ? 1 : 0));
    if (c.message) {
      EXPECT_EQ(services->MessageBoxes().last().Text, QString::fromLatin1(c.message));
    }
    for (TVrRunOnce *guard : guards) guard->Free();
    guards.clear();
    FreeApplication();
    Application()->SetTitle(QStringLiteral("GuardTest"));
    exists = 0;
  }
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

TEST_F(RunOnce, GuardThatCannotBeSetUpIsNotTakenForAnotherCopyAndAGuardGoesWithItsComponent) {
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

  // A guard is released with its component.
  NewGuard();
  guards.takeLast()->Free();
  EXPECT_FALSE(NewGuard()->AnotherCopyRuns());
  EXPECT_FALSE(Application()->Terminated());
}

} // namespace
