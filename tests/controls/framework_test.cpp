// The controller (epoch, error reports, the deferred notifications through its hidden window, pickup by the
// controls), the windowed bases' focus and wheel notices, and the library's collection.
#include "controls/framework/base.h"
#include "controls/framework/control_helpers.h"
#include "controls/framework/controller.h"
#include "controls/framework/notifying_collection.h"
#include "controls/framework/private_messages.h"
#include "platform/windowing/application.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include "tests/platform/std_test_helpers.h"
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// A focusable control of each windowed base.
class TestO32Control : public TO32CustomControl {
public:
  explicit TestO32Control(TComponent *AOwner) : TO32CustomControl(AOwner) { SetTabStop(true); }
  void WndProc(TMessage &Message) override {
    if (Message.Msg == ovm_ItemsChanged) ++itemsChanged;
    TO32CustomControl::WndProc(Message);
  }
  int itemsChanged = 0;
};

class TestControlEx : public TOvcCustomControlEx {
public:
  using TOvcCustomControlEx::CreateCollectionHolder;
  using TOvcCustomControlEx::TOvcCustomControlEx;
};

class FrameworkTest : public stdtest::FormTest {
protected:
  void TearDown() override {
    Application()->OnException = nullptr;
    stdtest::FormTest::TearDown();
  }
  TestO32Control *AddO32(const QString &name, int top) { return Add<TestO32Control>(10, top, 80, 20, name); }
};

// ---- the controller ----

TEST_F(FrameworkTest, EpochAcceptsOnlyYears1600To3999AndOnGetEpochChangesOnlyWhatIsRead) {
  struct Case {
    int value;
    int expected;
  };
  const Case cases[] = {{1599, 1900}, {4000, 1900}, {1600, 1600}, {3999, 3999}};
  for (const Case &c : cases) {
    TOvcController controller(nullptr);
    controller.SetEpoch(1900);
    controller.SetEpoch(c.value);
    EXPECT_EQ(controller.Epoch(), c.expected) << c.value;
  }
  // OnGetEpoch changes what is read, not what is stored.
  TOvcController controller(nullptr);
  controller.SetEpoch(1950);
  controller.OnGetEpoch = TGetEpochEvent::From([](TObject *, int &epoch) { epoch += 100; });
  EXPECT_EQ(controller.Epoch(), 2050);
}

TEST_F(FrameworkTest, DoOnErrorShowsAnErrorBoxUnlessHandled) {
  TOvcController controller(nullptr);
  controller.DoOnError(form, 258, QStringLiteral("Required field"));
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  const TMessageBoxRequest &box = services->MessageBoxes().first();
  EXPECT_EQ(std::tuple(box.Text, box.Icon, box.Buttons),
            std::tuple(QStringLiteral("Required field"), TMessageIcon::Error, QList<int>{IDOK}));

  QStringList seen;
  controller.OnError = TDataErrorEvent::From([&](TObject *sender, WORD code, const QString &text) {
    seen << QStringLiteral("%1 %2 %3").arg(sender == form).arg(code).arg(text);
  });
  controller.DoOnError(form, 257, QStringLiteral("Invalid number"));
  EXPECT_EQ(seen, QStringList{QStringLiteral("1 257 Invalid number")});
  EXPECT_EQ(services->MessageBoxes().size(), 1);
}

TEST_F(FrameworkTest, PreAndPostEditFireOnlyOnceTheQueueRunsAndNotAfterTheControllerWent) {
  TOvcController controller(nullptr);
  TestO32Control *field = AddO32(QStringLiteral("Field"), 10);
  QStringList log;
  controller.OnPreEdit = TPreEditEvent::From([&](TObject *sender, TWinControl *losing) {
    log << QStringLiteral("pre %1 %2").arg(sender == form).arg(losing->Name());
  });
  controller.OnPostEdit = TPostEditEvent::From(
      [&](TObject *, TWinControl *gaining) { log << QStringLiteral("post %1").arg(gaining == nullptr); });
  controller.DoOnPreEdit(form, field);
  controller.DoOnPostEdit(form, nullptr);
  EXPECT_TRUE(log.isEmpty());
  guitest::ProcessEvents();
  EXPECT_EQ(log, (QStringList{QStringLiteral("pre 1 Field"), QStringLiteral("post 1")}));

  // Posted events are dropped with their controller.
  auto *gone = new TOvcController(nullptr);
  gone->OnPreEdit = controller.OnPreEdit;
  gone->DoOnPreEdit(form, field);
  gone->Free();
  guitest::ProcessEvents();
  EXPECT_EQ(log.size(), 2);
}

TEST_F(FrameworkTest, HiddenWindowMessagesReachTheEventsAndExceptionsGoToTheApplication) {
  TOvcController controller(nullptr);
  controller.OnPostEdit = TPostEditEvent::From(
      [](TObject *, TWinControl *) { throw Exception(QStringLiteral("handler failed")); });
  QStringList caught;
  Application()->OnException = TExceptionEvent::From(
      [&](TObject *, const std::exception &e) { caught << QString::fromUtf8(e.what()); });
  controller.DoOnPostEdit(form, nullptr);
  guitest::ProcessEvents();
  EXPECT_EQ(caught, QStringList{QStringLiteral("handler failed")});
  // A sent message returns 0 after the handler failed.
  controller.OnDelayNotify =
      TDelayNotifyEvent::From([](TObject *, WORD) { throw Exception(QStringLiteral("x")); });
  EXPECT_EQ(SendMessage(controller.Handle(), ovm_DelayNotify, 1, 0), 0);
  EXPECT_EQ(caught.size(), 2);

  // Delay notices pass the low word.
  QList<int> codes;
  controller.OnDelayNotify = TDelayNotifyEvent::From([&](TObject *, WORD code) { codes << code; });
  SendMessage(controller.Handle(), ovm_DelayNotify, 0x12345, PointerParam(form));
  EXPECT_EQ(codes, QList<int>{0x2345});
}

TEST_F(FrameworkTest, FocusControlShowsAndFocusesTheControl) {
  TestO32Control *first = AddO32(QStringLiteral("First"), 10);
  TestO32Control *hidden = AddO32(QStringLiteral("Hidden"), 40);
  hidden->Hide();
  guitest::ShowAndActivate(form);
  first->SetFocus();
  guitest::ProcessEvents();
  TOvcController controller(nullptr);
  PostMessage(controller.Handle(), ovm_FocusControl, 0, PointerParam(static_cast<TWinControl *>(hidden)));
  guitest::ProcessEvents();
  EXPECT_TRUE(hidden->Visible());
  EXPECT_TRUE(hidden->Focused());
}

// ---- the default controller and pickup ----

TEST_F(FrameworkTest, DefaultControllerIsSharedAndFoundFormControllerIsTheFirst) {
  TOvcController *shared = GetDefaultController();
  EXPECT_EQ(GetDefaultController(), shared);
  EXPECT_EQ(FindControllerOnForm(form), nullptr);
  new TestO32Control(form);
  auto *first = new TOvcController(form);
  new TOvcController(form);
  EXPECT_EQ(FindControllerOnForm(form), first);
}

TEST_F(FrameworkTest, ControlPicksUpTheFormsControllerOrTheDefaultOne) {
  auto *loose = new TestControlEx(form);
  loose->SetParent(form);
  EXPECT_EQ(loose->AssignedController(), nullptr);
  loose->HandleNeeded();
  EXPECT_EQ(loose->AssignedController(), GetDefaultController()) << "no controller on the form";

  auto *controller = new TOvcController(nullptr);
  form->InsertComponent(controller);
  auto *control = new TestControlEx(form);
  control->SetParent(form);
  control->HandleNeeded();
  EXPECT_EQ(control->Controller(), controller);
  // Freeing the controller clears the reference; the default one answers again.
  controller->Free();
  EXPECT_EQ(control->AssignedController(), nullptr);
  EXPECT_EQ(control->Controller(), GetDefaultController());
}

TEST_F(FrameworkTest, DesignTimeControlWaitsForAControllerDroppedOnTheForm) {
  auto *control = new TestControlEx(form);
  control->SetParent(form);
  control->SetDesigning(true);
  control->HandleNeeded();
  EXPECT_EQ(control->AssignedController(), nullptr);
  auto *controller = new TOvcController(nullptr);
  form->InsertComponent(controller);
  EXPECT_EQ(control->AssignedController(), controller);
}

// ---- the windowed bases ----

TEST_F(FrameworkTest, AfterEnterAndAfterExitFireOnceTheFocusHasMoved) {
  TestO32Control *a = AddO32(QStringLiteral("A"), 10);
  TestO32Control *b = AddO32(QStringLiteral("B"), 40);
  QStringList log;
  const auto logger = [&](const QString &what) {
    return TNotifyEvent::From([&log, what, a, b](TObject *sender) {
      log << QStringLiteral("%1 %2 focus=%3")
                 .arg(what, static_cast<TComponent *>(sender)->Name(),
                      a->Focused() ? QStringLiteral("A")
                                   : (b->Focused() ? QStringLiteral("B") : QStringLiteral("-")));
    });
  };
  a->AfterEnter = logger(QStringLiteral("enter"));
  a->AfterExit = logger(QStringLiteral("exit"));
  b->AfterEnter = logger(QStringLiteral("enter"));
  b->OnEnter = TNotifyEvent::From([&](TObject *) { log << QStringLiteral("OnEnter B"); });
  guitest::ShowAndActivate(form);
  a->SetFocus();
  guitest::ProcessEvents();
  log.clear();
  b->SetFocus();
  EXPECT_EQ(log, QStringList{QStringLiteral("OnEnter B")});
  guitest::ProcessEvents();
  EXPECT_EQ(log, (QStringList{QStringLiteral("OnEnter B"), QStringLiteral("exit A focus=B"),
                              QStringLiteral("enter B focus=B")}));
}

TEST_F(FrameworkTest, MouseWheelReachesOnMouseWheelWithSignedDelta) {
  TestO32Control *c = AddO32(QStringLiteral("C"), 10);
  QList<int> seen;
  TShiftState shift;
  c->OnMouseWheel = TMouseWheelEvent::From([&](TObject *, TShiftState s, int delta, int x, int y) {
    shift = s;
    seen << delta << x << y;
  });
  c->Perform(WM_MOUSEWHEEL, MAKEWPARAM(int(MK_SHIFT | MK_CONTROL), -WHEEL_DELTA), MAKELPARAM(300, 400));
  EXPECT_EQ(seen, (QList<int>{-120, 300, 400}));
  EXPECT_EQ(shift, (TShiftState{ssShift, ssCtrl}));
}

// ---- collections ----

TEST_F(FrameworkTest, AddingToACollectionTellsItsOwnerControlOncePerItem) {
  TestO32Control *c = AddO32(QStringLiteral("C"), 10);
  TO32Collection collection(c, CollectionItemClass<TO32CollectionItem>());
  for (int i = 0; i < 3; ++i) collection.Add();
  EXPECT_EQ(c->itemsChanged, 3);
}

TEST_F(FrameworkTest, CollectionHolderStreamsStoredItemsAndTellsCollectionsAfterLoading) {
  class Probe : public TO32Collection {
  public:
    Probe(TComponent *owner, QStringList *log)
        : TO32Collection(owner, CollectionItemClass<TO32CollectionItem>()), log_(log) {}
    void Loaded() override { *log_ << QStringLiteral("loaded loading=%1").arg(Loading()); }
    QStringList *log_;
  };
  TestControlEx control(nullptr);
  QStringList log;
  Probe stored(&control, &log);
  Probe hidden(&control, &log);
  hidden.SetStored(false);
  stored.Add();
  stored.Add();
  hidden.Add();
  TOvcCollectionHolder *holder = control.CreateCollectionHolder();
  holder->AddCollection(&stored);
  holder->AddCollection(&hidden);
  int children = 0;
  control.GetChildren([&](TPersistent *child) {
    EXPECT_EQ(static_cast<TCollectionItem *>(child)->Collection(), &stored);
    ++children;
  });
  EXPECT_EQ(children, 2);
  control.BeginLoading();
  control.EndLoading();
  EXPECT_EQ(log, (QStringList{QStringLiteral("loaded loading=1"), QStringLiteral("loaded loading=1")}));
}

} // namespace
