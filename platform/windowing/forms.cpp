#include "platform/windowing/forms.h"
#include "platform/windowing/application.h"
#include "platform/windowing/control_widget.h"
#include "platform/windowing/screen.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>
#include <QWindow>

TCustomForm::TCustomForm(TComponent *AOwner) : TCustomControl(AOwner) {
  TControl::SetVisible(false);
  SetColor(clBtnFace);
  SetParentFont(false);
  SetShowHint(false);
  SetBounds(0, 0, 320, 240);
  Screen()->AddForm(this);
}

TCustomForm::~TCustomForm() { Screen()->RemoveForm(this); }

void TCustomForm::AfterConstruction() {
  if (created_) return;
  created_ = true;
  DoCreate();
}

void TCustomForm::BeforeDestruction() {
  Destroying();
  if (created_) {
    try {
      DoDestroy();
    } catch (...) {
      HandleCurrentException(this);
    }
  }
  if (QWidget *w = Widget()) w->hide();
  Screen()->RemoveForm(this);
  TCustomControl::BeforeDestruction();
}

void TCustomForm::Notification(TComponent *AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == activeControl_) activeControl_ = nullptr;
  if (AComponent == focusedControl_) focusedControl_ = nullptr;
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}
void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}
void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction &Action) {
  if (OnClose) OnClose(this, Action);
}
void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}
void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::Resize() {
  LayoutMenuBar();
  TCustomControl::Resize();
}

// -- messages --

void TCustomForm::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CM_ACTIVATE: Activate(); return;
  case CM_DEACTIVATE: Deactivate(); return;
  case CM_DIALOGKEY:
    CMDialogKey(Message);
    if (Message.Result == 0) TCustomControl::WndProc(Message);
    return;
  case CM_RELEASE: Free(); return;
  case WM_CLOSE: Close(); return;
  case WM_ACTIVATE:
    active_ = Message.WParamLo() != WA_INACTIVE;
    if (active_) {
      TControl *focus = FindControlOfWidget(QApplication::focusWidget());
      if (!focus || GetParentForm(focus) != this) FocusFirstControl();
    }
    return;
  default: TCustomControl::WndProc(Message); return;
  }
}

void TCustomForm::CMDialogKey(TMessage &Message) {
  if (GetKeyState(VK_MENU) < 0) return;
  switch (Message.WParam) {
  case VK_TAB:
    if (GetKeyState(VK_CONTROL) < 0) return;
    SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
    Message.Result = 1;
    return;
  case VK_LEFT:
  case VK_RIGHT:
  case VK_UP:
  case VK_DOWN:
    if (activeControl_ && activeControl_->Parent()) {
      activeControl_->Parent()->SelectNext(activeControl_,
                                           Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
      Message.Result = 1;
    }
    return;
  default: return;
  }
}

bool TCustomForm::HandleOtherEvent(QEvent *Event) {
  switch (Event->type()) {
  case QEvent::Close:
    // The window's close button: the form decides (OnCloseQuery, OnClose).
    Event->ignore();
    SendToSelf(WM_CLOSE);
    return true;
  case QEvent::WindowActivate:
  case QEvent::WindowDeactivate: {
    const bool result = TCustomControl::HandleOtherEvent(Event);
    SendToSelf(WM_ACTIVATE, Event->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE);
    return result;
  }
  default: return TCustomControl::HandleOtherEvent(Event);
  }
}

// -- window --

void TCustomForm::CreateParams(TCreateParams &Params) {
  TCustomControl::CreateParams(Params);
  Params.Style &= ~(WS_CHILD | WS_VISIBLE);
}

QWidget *TCustomForm::CreateWindowWidget(const TCreateParams &Params) {
  QWidget *widget = TCustomControl::CreateWindowWidget(Params);
  widget->setWindowTitle(Params.Caption);
  if (menuBar_) menuBar_->setParent(widget);
  return widget;
}

QRect TCustomForm::WidgetGeometry() const { return QRect(left_, top_, width_, height_); }

void TCustomForm::ApplyToWidget() {
  TCustomControl::ApplyToWidget();
  QWidget *w = Widget();
  if (!w) return;
  w->setWindowTitle(GetText());
  ApplyWindowFlags();
  LayoutMenuBar();
}

void TCustomForm::ApplyWindowFlags() {
  QWidget *w = Widget();
  if (!w) return;
  Qt::WindowFlags flags;
  switch (borderStyle_) {
  case bsNone: flags = Qt::Window | Qt::FramelessWindowHint; break;
  case bsDialog: flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
  case bsToolWindow:
  case bsSizeToolWin: flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
  default: flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
  }
  if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu))
    flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (borderStyle_ == bsSingle || borderStyle_ == bsSizeable) {
    if (borderIcons_.Contains(biMinimize)) flags |= Qt::WindowMinimizeButtonHint;
    if (borderIcons_.Contains(biMaximize)) flags |= Qt::WindowMaximizeButtonHint;
  }
  if (w->windowFlags() != flags) {
    const bool shown = w->isVisible();
    w->setWindowFlags(flags);
    if (shown) w->show();
  }
  const bool sizeable = borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin;
  if (sizeable) {
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    w->setFixedSize(width_, height_);
  }
}

void TCustomForm::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  const int clientWidth = MulDiv(ClientWidth(), M, D);
  const int clientHeight = MulDiv(ClientHeight(), M, D);
  DisableAlign();
  ScaleChildren(M, D);
  if (!ParentFont()) Font()->SetSize(MulDiv(Font()->Size(), M, D));
  SetClientSize(clientWidth, clientHeight);
  EnableAlign();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  ApplyWindowFlags();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (borderIcons_ == Value) return;
  borderIcons_ = Value;
  ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState Value) {
  windowState_ = Value;
  QWidget *w = Widget();
  if (!w || !w->isVisible()) return;
  switch (Value) {
  case wsMinimized: w->showMinimized(); break;
  case wsMaximized: w->showMaximized(); break;
  default: w->showNormal(); break;
  }
}

void TCustomForm::SetMenuBarWidget(QWidget *Bar) {
  if (menuBar_ == Bar) return;
  if (menuBar_ && menuBar_->parentWidget() == Widget()) menuBar_->hide();
  menuBar_ = Bar;
  if (menuBar_ && Widget()) {
    menuBar_->setParent(Widget());
    menuBar_->show();
  }
  LayoutMenuBar();
  Realign();
  if (Widget()) Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(), ClientHeight()));
}

int TCustomForm::TopReservedHeight() const { return menuBar_ ? menuBar_->sizeHint().height() : 0; }

void TCustomForm::LayoutMenuBar() {
  if (!menuBar_ || !Widget()) return;
  menuBar_->setGeometry(0, 0, width_, TopReservedHeight());
  menuBar_->raise();
}

// -- showing --

bool TCustomForm::Showing() const {
  QWidget *w = Widget();
  return w && w->isVisible();
}

void TCustomForm::PlaceOnShow() {
  auto centreOver = [this](const TRect &area) {
    SetBounds(area.Left + (area.Width() - width_) / 2, area.Top + (area.Height() - height_) / 2, width_,
              height_);
  };
  const TRect screen = Rect(0, 0, Screen()->Width(), Screen()->Height());
  switch (position_) {
  case poScreenCenter: centreOver(screen); break;
  case poDesktopCenter: centreOver(Screen()->WorkAreaRect()); break;
  case poMainFormCenter:
  case poOwnerFormCenter: {
    TCustomForm *over =
        position_ == poOwnerFormCenter ? dynamic_cast<TCustomForm *>(Owner()) : Application()->MainForm();
    if (over && over != this && over->Visible())
      centreOver(over->BoundsRect());
    else
      centreOver(screen);
    break;
  }
  default: break;
  }
}

void TCustomForm::SetVisible(bool Value) {
  QWidget *w = Widget();
  if (Value) {
    if (Visible() && w && w->isVisible()) {
      BringToFront();
      return;
    }
    HandleNeeded();
    TControl::SetVisible(true);
    CreateChildWidgets();
    PlaceOnShow();
    DoShow();
    w = Widget();
    if (!w || !Visible()) return; // OnShow hid or freed it
    ApplyWindowFlags();
    // Other forms stay in front of the main form, as windows it owns.
    if (TCustomForm *main = Application()->MainForm(); main && main != this && main->Widget()) {
      w->winId();
      if (QWindow *window = w->windowHandle()) window->setTransientParent(main->Widget()->windowHandle());
    }
    switch (windowState_) {
    case wsMinimized: w->showMinimized(); break;
    case wsMaximized: w->showMaximized(); break;
    default: w->show(); break;
    }
    w->raise();
    w->activateWindow();
    TControl *focus = FindControlOfWidget(w->focusWidget());
    if (!focus || GetParentForm(focus) != this || focus == this) FocusFirstControl();
  } else {
    if (!Visible()) return;
    DoHide();
    TControl::SetVisible(false);
    if (w) w->hide();
    active_ = false;
  }
}

void TCustomForm::Show() { SetVisible(true); }

void TCustomForm::BringToFront() {
  if (QWidget *w = Widget()) {
    w->raise();
    w->activateWindow();
  }
}

void TCustomForm::FocusFirstControl() {
  TWinControl *target = activeControl_;
  if (!target || !target->CanFocus()) target = FindNextControl(nullptr, true, true, false);
  if (target && target->CanFocus()) {
    activeControl_ = target;
    target->HandleNeeded();
    if (QWidget *w = target->Widget()) w->setFocus(Qt::ActiveWindowFocusReason);
  } else if (QWidget *w = Widget()) {
    w->setFocus(Qt::ActiveWindowFocusReason);
  }
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || modal_)
    throw EInvalidOperation(QStringLiteral("Cannot make a visible window modal"));
  if (GetCapture()) {
    SendMessage(GetCapture(), WM_CANCELMODE);
    ReleaseCapture();
  }
  QPointer<QWidget> previous = QApplication::activeWindow();
  const std::weak_ptr<bool> token = AliveToken();
  modal_ = true;
  modalResult_ = mrNone;
  HandleNeeded();
  Widget()->setWindowModality(Qt::ApplicationModal);
  TModalResult result = mrCancel;
  try {
    Show();
    for (;;) {
      if (token.expired()) return mrCancel;
      if (Application()->Terminated()) modalResult_ = mrCancel;
      if (modalResult_ != mrNone) {
        CloseModal();
        if (token.expired()) return mrCancel;
        if (modalResult_ != mrNone) break;
      }
      Application()->HandleMessage();
    }
    result = modalResult_;
  } catch (...) {
    if (!token.expired()) {
      modal_ = false;
      Hide();
      if (Widget()) Widget()->setWindowModality(Qt::NonModal);
    }
    throw;
  }
  modal_ = false;
  Hide();
  if (Widget()) Widget()->setWindowModality(Qt::NonModal);
  if (previous && previous->isVisible()) previous->activateWindow();
  return result;
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  switch (action) {
  case caNone: modalResult_ = mrNone; break;
  case caFree: Release(); break;
  default: break;
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application()->MainForm() == this) {
    Hide();
    Application()->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Release();
  }
}

void TCustomForm::Release() { PostMessage(Handle(), CM_RELEASE); }

// -- focus --

void TCustomForm::SetActiveControl(TWinControl *Control) {
  if (activeControl_ == Control) return;
  if (Control && (Control == this || GetParentForm(Control) != this ||
                  (!ComponentState().Contains(csLoading) && !Control->CanFocus())))
    throw EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
  activeControl_ = Control;
  if (Control) Control->FreeNotification(this);
  if (ComponentState().Contains(csLoading) || !Control) return;
  if (Showing()) {
    Control->HandleNeeded();
    if (QWidget *w = Control->Widget()) w->setFocus(Qt::OtherFocusReason);
  }
}

void TCustomForm::FocusControl(TWinControl *Control) {
  const bool wasActive = active_;
  // A control that becomes active is given the focus by SetActiveControl; when a handler run by that focus
  // change sends the focus elsewhere (a field refusing to be left), the handler wins.
  const bool alreadyActive = activeControl_ == Control;
  SetActiveControl(Control);
  if (Control && alreadyActive && Showing() && !Control->Focused()) {
    Control->HandleNeeded();
    if (QWidget *w = Control->Widget()) w->setFocus(Qt::OtherFocusReason);
  }
  if (!wasActive && Showing()) BringToFront();
}

bool TCustomForm::SetFocusedControl(TWinControl *Control) {
  const int count = ++focusCount_;
  if (Control != this) {
    activeControl_ = Control;
    if (Control) Control->FreeNotification(this);
  }
  Screen()->SetActive(this, Control);
  if (Control->ControlState().Contains(csFocusing)) return true;
  struct Focusing {
    TWinControl *control;
    std::weak_ptr<bool> token;
    Focusing(TWinControl *c, std::weak_ptr<bool> t) : control(c), token(std::move(t)) {
      control->controlState_.Include(csFocusing);
    }
    ~Focusing() {
      if (!token.expired()) control->controlState_.Exclude(csFocusing);
    }
  } focusing(Control, Control->AliveToken());
  // A handler that moves the focus again ends this round (the newer one carries on).
  auto send = [this, count](TWinControl *target, UINT msg) {
    if (target) target->Perform(msg);
    return focusCount_ == count;
  };
  if (Screen()->FocusedForm() != this) {
    if (TCustomForm *old = Screen()->FocusedForm()) {
      Screen()->SetFocusedForm(nullptr);
      if (!send(old, CM_DEACTIVATE)) return false;
    }
    Screen()->SetFocusedForm(this);
    if (!send(this, CM_ACTIVATE)) return false;
  }
  if (!focusedControl_) focusedControl_ = this;
  if (focusedControl_ != Control) {
    while (focusedControl_ && !focusedControl_->ContainsControl(Control)) {
      TWinControl *leaving = focusedControl_;
      focusedControl_ = focusedControl_->Parent();
      if (!send(leaving, CM_EXIT)) return false;
    }
    while (focusedControl_ && focusedControl_ != Control) {
      TWinControl *entering = Control;
      while (entering->Parent() != focusedControl_) entering = entering->Parent();
      focusedControl_ = entering;
      if (!send(entering, CM_ENTER)) return false;
    }
  }
  return true;
}

void TCustomForm::DefocusControl(TWinControl *Control, bool Removing) {
  if (!Control) return;
  TControl *focus = FindControlOfWidget(QApplication::focusWidget());
  const bool hadFocus = focus && focus != this && Control->ContainsControl(focus);
  if (Removing && focusedControl_ && Control->ContainsControl(focusedControl_))
    focusedControl_ = Control->Parent() ? Control->Parent() : nullptr;
  if (activeControl_ && Control->ContainsControl(activeControl_)) activeControl_ = nullptr;
  if (Removing && Screen()->ActiveControl() && Control->ContainsControl(Screen()->ActiveControl()))
    Screen()->SetActive(Screen()->ActiveForm(), nullptr);
  // The form itself takes the focus, rather than whatever Qt would pick next.
  if (hadFocus && Control != this && Showing()) Widget()->setFocus(Qt::OtherFocusReason);
}

// ---- TDataModule ----

TDataModule::TDataModule(TComponent *AOwner) : TComponent(AOwner) {}

void TDataModule::AfterConstruction() {
  if (created_) return;
  created_ = true;
  if (OnCreate) OnCreate(this);
}

void TDataModule::BeforeDestruction() {
  Destroying();
  if (created_ && OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      HandleCurrentException(this);
    }
  }
  TComponent::BeforeDestruction();
}
