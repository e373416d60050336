#include "gui_test_helpers.h"
#include "platform/windowing/application.h"
#include "platform/windowing/controls.h"
#include "platform/windowing/messages.h"
#include "platform/windowing/system_services.h"
#include <QStringList>
#include <gtest/gtest.h>

namespace {

constexpr UINT WM_TEST_START = WM_USER + 1;
constexpr UINT WM_TEST_A = WM_USER + 2;
constexpr UINT WM_TEST_B = WM_USER + 3;
constexpr UINT WM_TEST_THROW = WM_USER + 4;
constexpr UINT WM_TEST_ABORT = WM_USER + 5;

// Logs the test messages it receives; the start message posts two more and logs the end of its handler.
class Recorder : public TCustomControl {
public:
  Recorder(TComponent *owner, QStringList *log) : TCustomControl(owner), log_(log) {}
  void WndProc(TMessage &m) override {
    switch (m.Msg) {
    case WM_TEST_START:
      log_->append(QStringLiteral("start"));
      PostMessage(Handle(), WM_TEST_A, 1, 0);
      PostMessage(Handle(), WM_TEST_B, 2, 0);
      log_->append(QStringLiteral("end of start"));
      m.Result = 7;
      return;
    case WM_TEST_A:
    case WM_TEST_B: log_->append(QStringLiteral("msg %1").arg(m.WParam)); return;
    case WM_TEST_THROW: throw Exception(QStringLiteral("Bad thing"));
    case WM_TEST_ABORT: Abort();
    default: TCustomControl::WndProc(m);
    }
  }

private:
  QStringList *log_;
};

class MessagesTest : public ::testing::Test {
protected:
  void TearDown() override { Application()->OnException = nullptr; }
  ScopedScriptedServices services;
};

TEST_F(MessagesTest, SendMessageRunsAtOncePostedMessagesAfterTheHandlerInTheOrderQueued) {
  QStringList log;
  auto *r = new Recorder(nullptr, &log);
  EXPECT_EQ(SendMessage(r->Handle(), WM_TEST_START), 7);
  EXPECT_EQ(log, QStringList({"start", "end of start"}));
  guitest::ProcessEvents();

  // A posted message queued before a later one runs first.
  log.clear();
  ASSERT_TRUE(PostMessage(r->Handle(), WM_TEST_B, 9, 0));
  ASSERT_TRUE(PostMessage(r->Handle(), WM_TEST_START, 0, 0));
  guitest::ProcessEvents();
  EXPECT_EQ(log, QStringList({"msg 9", "start", "end of start", "msg 1", "msg 2"}));
  r->Free();
}

TEST_F(MessagesTest, MessageToAFreedControlIsDroppedAndHandlesAreNeverReused) {
  QStringList log;
  auto *r = new Recorder(nullptr, &log);
  const HWND handle = r->Handle();
  ASSERT_TRUE(PostMessage(handle, WM_TEST_A, 5, 0));
  r->Free();
  guitest::ProcessEvents();
  EXPECT_TRUE(log.isEmpty());
  EXPECT_FALSE(PostMessage(handle, WM_TEST_A, 6, 0));
  EXPECT_EQ(SendMessage(handle, WM_TEST_START), 0);

  // Handles are never reused.
  auto *first = new Recorder(nullptr, &log);
  const HWND gone = first->Handle();
  first->Free();
  auto *second = new Recorder(nullptr, &log);
  EXPECT_NE(second->Handle(), gone);
  second->Free();
}

// Hidden windows at work are tested with the control library's controller, which has one.
TEST_F(MessagesTest, AHiddenWindowMayDeallocateItselfInsideItsProcedure) {
  HWND self = 0;
  int calls = 0;
  self = AllocateHWnd([&](TMessage &) {
    ++calls;
    DeallocateHWnd(self);
  });
  PostMessage(self, WM_TEST_A);
  PostMessage(self, WM_TEST_A);
  guitest::ProcessEvents();
  EXPECT_EQ(calls, 1);
}

TEST_F(MessagesTest, ExceptionInAPostedMessageReachesTheApplicationsMessageBox) {
  QStringList log;
  auto *r = new Recorder(nullptr, &log);
  Application()->SetTitle(QStringLiteral("Tallyrook"));
  PostMessage(r->Handle(), WM_TEST_THROW);
  PostMessage(r->Handle(), WM_TEST_A, 1, 0);
  guitest::ProcessEvents();
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  const TMessageBoxRequest &box = services->MessageBoxes().first();
  EXPECT_EQ(std::tuple(box.Text, box.Caption, box.Icon),
            std::tuple(QStringLiteral("Bad thing."), QStringLiteral("Tallyrook"), TMessageIcon::Error));
  // The loop carried on with the next message.
  EXPECT_EQ(log, QStringList({"msg 1"}));
  r->Free();
}

TEST_F(MessagesTest, ExceptionInSendMessageIsHandledPerformLetsItThroughASilentAbortShowsNothing) {
  QStringList log;
  auto *r = new Recorder(nullptr, &log);
  EXPECT_EQ(SendMessage(r->Handle(), WM_TEST_THROW), 0);
  EXPECT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_THROW(r->Perform(WM_TEST_THROW), Exception);

  // A silent abort shows nothing.
  SendMessage(r->Handle(), WM_TEST_ABORT);
  EXPECT_EQ(services->MessageBoxes().size(), 1);
  r->Free();
}

TEST_F(MessagesTest, ExceptionInAnEventHandlerOfAQtEventDoesNotLeaveTheWidget) {
  auto *form = TCustomForm::Create<TForm>(nullptr);
  QStringList log;
  auto *control = new Recorder(form, &log);
  control->SetParent(form);
  control->SetBounds(10, 10, 50, 20);
  control->OnClick =
      TNotifyEvent::From([](TObject *) { throw EConvertError(QStringLiteral("'x' is not a valid")); });
  guitest::ShowAndActivate(form);
  guitest::Click(control, QPoint(5, 5));
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_EQ(services->MessageBoxes().first().Text, QStringLiteral("'x' is not a valid."));
  form->Free();
}

} // namespace
