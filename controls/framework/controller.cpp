#include "controls/framework/controller.h"
#include "controls/framework/control_helpers.h"
#include "controls/framework/private_messages.h"
#include "platform/windowing/application.h"
#include "platform/windowing/controls.h"
#include "platform/windowing/system_services.h"

TOvcController::TOvcController(TComponent *AOwner)
    : TOvcComponent(AOwner), entryCommands_(std::make_unique<TOvcCommandProcessor>()),
      epoch_(DefaultEpoch()) {
  timerPool_ = new TOvcTimerPool(this);
  timerPool_->OnAllTriggers = TTriggerEvent(this, &TOvcController::TimerPoolTriggered);
}

TOvcController::~TOvcController() {
  if (handle_) DeallocateHWnd(handle_);
}

int TOvcController::Epoch() const {
  int result = epoch_;
  if (OnGetEpoch) OnGetEpoch(const_cast<TOvcController *>(this), result);
  return result;
}

void TOvcController::SetEpoch(int Value) {
  if (Value != epoch_ && Value >= MinEpoch && Value <= MaxEpoch) epoch_ = Value;
}

HWND TOvcController::Handle() {
  if (!handle_) handle_ = AllocateHWnd([this](TMessage &Msg) { ControllerWndProc(Msg); });
  return handle_;
}

void TOvcController::DoOnError(TObject *Sender, WORD ErrorCode, const QString &ErrorMsg) {
  if (OnError)
    OnError(Sender, ErrorCode, ErrorMsg);
  else
    MessageDlg(ErrorMsg, mtError, {mbOK}, 0);
}

void TOvcController::DoOnPreEdit(TObject *Sender, TWinControl *LosingControl) {
  PostMessage(Handle(), ovm_PreEdit, LosingControl ? LosingControl->Handle() : 0, PointerParam(Sender));
}

void TOvcController::DoOnPostEdit(TObject *Sender, TWinControl *GainingControl) {
  PostMessage(Handle(), ovm_PostEdit, GainingControl ? GainingControl->Handle() : 0, PointerParam(Sender));
}

void TOvcController::DoOnTimerTrigger(TObject *Sender, int Handle, quint32 Interval, int ElapsedTime) {
  if (OnTimerTrigger) OnTimerTrigger(Sender, Handle, Interval, ElapsedTime);
}

void TOvcController::TimerPoolTriggered(TObject *Sender, int Handle, quint32 Interval, int ElapsedTime) {
  DoOnTimerTrigger(Sender, Handle, Interval, ElapsedTime);
}

bool TOvcController::IsSpecialControl(HWND Handle) {
  bool special = false;
  if (OnIsSpecialControl) OnIsSpecialControl(this, FindControl(Handle), special);
  return special;
}

void TOvcController::ControllerWndProc(TMessage &Msg) {
  try {
    DispatchControllerMessage(Msg);
  } catch (...) {
    Msg.Result = 0;
    HandleCurrentException(this);
  }
}

void TOvcController::DispatchControllerMessage(TMessage &Msg) {
  switch (Msg.Msg) {
  case ovm_FocusControl: {
    auto *control = MessagePointer<TWinControl>(std::uintptr_t(Msg.LParam));
    if (!control) return;
    control->Show();
    if (control->CanFocus()) control->SetFocus();
    return;
  }
  case ovm_PreEdit:
    if (OnPreEdit)
      OnPreEdit(MessagePointer<TObject>(std::uintptr_t(Msg.LParam)), FindControl(HWND(Msg.WParam)));
    return;
  case ovm_PostEdit:
    if (OnPostEdit)
      OnPostEdit(MessagePointer<TObject>(std::uintptr_t(Msg.LParam)), FindControl(HWND(Msg.WParam)));
    return;
  case ovm_DelayNotify:
    if (OnDelayNotify) OnDelayNotify(MessagePointer<TObject>(std::uintptr_t(Msg.LParam)), Msg.WParamLo());
    return;
  default: Msg.Result = 0; // a hidden window has no default handling of its own
  }
}

// ---- the shared default controller ----

namespace {
TOvcController *g_defaultController = nullptr;
}

TOvcController *GetDefaultController() {
  if (!g_defaultController) {
    g_defaultController = new TOvcController(nullptr);
    Application()->AddFinalizer(FreeDefaultController);
  }
  return g_defaultController;
}

void FreeDefaultController() { FreeAndNil(g_defaultController); }

TOvcController *FindControllerOnForm(const TComponent *Form) {
  if (!Form) return nullptr;
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto *controller = dynamic_cast<TOvcController *>(Form->Components(i))) return controller;
  return nullptr;
}
