#include "gui_test_helpers.h"
#include "platform/windowing/application.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/screen.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include <QGuiApplication>
#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr UINT WM_ANSWER = WM_USER + 10;

// A dialog that sets its ModalResult from a message (as its buttons would).
class Dialog : public TForm {
public:
  explicit Dialog(TComponent *owner) : TForm(owner) {
    SetCaption(QStringLiteral("Dialog"));
    SetBorderStyle(bsDialog);
    SetClientSize(200, 100);
  }
  void WndProc(TMessage &m) override {
    if (m.Msg == WM_ANSWER)
      SetModalResult(TModalResult(m.WParam));
    else
      TForm::WndProc(m);
  }
};

class FormsTest : public ::testing::Test {
protected:
  void TearDown() override { guitest::ProcessEvents(); }
  ScopedScriptedServices services;
};

TEST_F(FormsTest, ModalFormEndsWithAPostedModalResultAndHidesAndAVisibleOneIsRefused) {
  auto *dialog = TCustomForm::Create<Dialog>(nullptr);
  PostMessage(dialog->Handle(), WM_ANSWER, mrOk);
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_FALSE(dialog->Visible());
  // The same form can be shown modally again.
  PostMessage(dialog->Handle(), WM_ANSWER, mrNo);
  EXPECT_EQ(dialog->ShowModal(), mrNo);
  // ShowModal of a visible form is refused.
  dialog->Show();
  EXPECT_THROW(dialog->ShowModal(), EInvalidOperation);
  dialog->Free();
}

TEST_F(FormsTest, CloseQueryCanRefuseAndCloseOnAModalFormCancels) {
  auto *dialog = TCustomForm::Create<Dialog>(nullptr);
  int queries = 0;
  dialog->OnCloseQuery = TCloseQueryEvent::From([&](TObject *, bool &canClose) {
    canClose = ++queries > 1;
    // Refused: the dialog stays; then the close box is pressed.
    if (!canClose) PostMessage(dialog->Handle(), WM_CLOSE);
  });
  QStringList closes;
  dialog->OnClose = TCloseEvent::From(
      [&](TObject *, TCloseAction &action) { closes.append(QStringLiteral("close %1").arg(action)); });
  PostMessage(dialog->Handle(), WM_ANSWER, mrOk);
  // Close on a modal form answers mrCancel, and the form is asked again.
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(closes, QStringList({QStringLiteral("close %1").arg(caHide)}));
  dialog->Free();
}

TEST_F(FormsTest, ExceptionInsideTheModalLoopIsShownAndTheLoopGoesOn) {
  auto *dialog = TCustomForm::Create<Dialog>(nullptr);
  QTimer::singleShot(0, [] {
    try {
      throw Exception(QStringLiteral("Disk full"));
    } catch (...) {
      HandleCurrentException();
    }
  });
  QTimer::singleShot(0, [dialog] { PostMessage(dialog->Handle(), WM_ANSWER, mrRetry); });
  EXPECT_EQ(dialog->ShowModal(), mrRetry);
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_EQ(services->MessageBoxes().first().Text, QStringLiteral("Disk full."));
  dialog->Free();
}

TEST_F(FormsTest, NonModalCloseHidesFreesOrStays) {
  auto *form = TCustomForm::Create<TForm>(nullptr);
  TCloseAction next = caHide;
  form->OnClose = TCloseEvent::From([&](TObject *, TCloseAction &action) { action = next; });
  guitest::ShowAndActivate(form);
  next = caNone;
  form->Close();
  EXPECT_TRUE(form->Visible());
  next = caFree;
  const HWND handle = form->Handle();
  form->Close();
  EXPECT_TRUE(IsWindow(handle)) << "freed once the queued messages are handled";
  guitest::ProcessEvents();
  EXPECT_FALSE(IsWindow(handle));
}

TEST_F(FormsTest, LifeCycleEventsComeInOrderTheScreenKnowsTheFormsAndCentresOne) {
  QStringList events;
  struct Logged : TForm {
    explicit Logged(QStringList *events) : TForm(nullptr) {
      OnCreate = TNotifyEvent::From([events](TObject *) { events->append("create"); });
      OnShow = TNotifyEvent::From([events](TObject *) { events->append("show"); });
      OnActivate = TNotifyEvent::From([events](TObject *) { events->append("activate"); });
      OnHide = TNotifyEvent::From([events](TObject *) { events->append("hide"); });
      OnDestroy = TNotifyEvent::From([events](TObject *) { events->append("destroy"); });
    }
  };
  auto *form = TCustomForm::Create<Logged>(&events);
  guitest::ShowAndActivate(form);
  form->Hide();
  form->Free();
  EXPECT_EQ(events, QStringList({"create", "show", "activate", "hide", "destroy"}));

  // A form placed at the screen centre is centred; the screen forgets a freed form.
  auto *other = TCustomForm::Create<TForm>(nullptr);
  guitest::ShowAndActivate(other);
  other->SetBounds(0, 0, 200, 100);
  other->SetPosition(poScreenCenter);
  other->Hide();
  other->Show();
  EXPECT_EQ(std::pair(other->Left(), other->Top()),
            std::pair((Screen()->Width() - 200) / 2, (Screen()->Height() - 100) / 2));
  other->Free();
}

TEST_F(FormsTest, ApplicationFreesItsFormsThenRunsFinalizersLastFirst) {
  QStringList order;
  struct Tracked : TForm {
    Tracked(TComponent *owner) : TForm(owner) {}
    QStringList *order = nullptr;
    void BeforeDestruction() override {
      if (order) order->append(QStringLiteral("form"));
      TForm::BeforeDestruction();
    }
  };
  Tracked *form = nullptr;
  Application()->CreateForm(form);
  form->order = &order;
  Application()->AddFinalizer([&] { order.append("controller"); });
  Application()->AddFinalizer([&] { order.append("report engine"); });
  FreeApplication();
  EXPECT_EQ(order, QStringList({"form", "report engine", "controller"}));
  EXPECT_FALSE(Application()->Terminated()) << "a new application object";
}

TEST_F(FormsTest, ClosingTheMainFormEndsTheApplicationRunAndItsModalLoops) {
  TForm *main = nullptr;
  Application()->CreateForm(main);
  auto *dialog = TCustomForm::Create<Dialog>(nullptr);
  QTimer::singleShot(0, [main] { main->Close(); });
  main->Show();
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_TRUE(Application()->Terminated());
  dialog->Free();
  FreeApplication();

  // Run shows the main form and returns when it closes.
  Application()->SetTitle(QStringLiteral("Tallyrook"));
  main = nullptr;
  Application()->CreateForm(main);
  bool shownWhileRunning = false;
  QTimer::singleShot(0, [&] {
    shownWhileRunning = main->Showing();
    main->Close();
  });
  Application()->Run();
  EXPECT_TRUE(shownWhileRunning);
  EXPECT_TRUE(Application()->Terminated());
  // The window's title is the form's caption alone: once an application display name is set, Qt appends it
  // to every window's title.
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
  FreeApplication();
}

TEST_F(FormsTest, MessageBoxFlagsGiveButtonsDefaultsAndIcons) {
  struct Case {
    unsigned flags;
    QList<int> buttons;
    int defaultButton;
    int escapeButton;
    TMessageIcon icon;
  };
  const Case cases[] = {
      {MB_OK, {IDOK}, IDOK, IDOK, TMessageIcon::None},
      {MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, {IDYES, IDNO}, IDNO, 0, TMessageIcon::Warning},
      {MB_RETRYCANCEL | MB_DEFBUTTON3, {IDRETRY, IDCANCEL}, IDCANCEL, IDCANCEL, TMessageIcon::None},
  };
  for (const Case &c : cases) {
    const TMessageBoxRequest r = MessageBoxRequest(0, QStringLiteral("t"), QStringLiteral("c"), c.flags);
    EXPECT_EQ(std::tuple(r.Buttons, r.DefaultButton, r.EscapeButton, r.Icon),
              std::tuple(c.buttons, c.defaultButton, c.escapeButton, c.icon))
        << c.flags;
  }
  EXPECT_EQ(MessageBox(0, QStringLiteral("Again?"), QStringLiteral("Wipe All"), MB_YESNO | MB_DEFBUTTON2),
            IDNO)
      << "unanswered: the default button";
}

} // namespace
