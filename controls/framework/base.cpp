#include "controls/framework/base.h"
#include "controls/framework/controller.h"
#include "controls/framework/notifying_collection.h"
#include "controls/framework/private_messages.h"
#include "platform/windowing/forms.h"

// ---- TOvcCollectionHolder ----

void TOvcCollectionHolder::GetChildren(const TGetChildProc &Proc) const {
  for (TO32Collection *collection : collections_) {
    if (!collection->Stored()) continue;
    for (int i = 0; i < collection->Count(); ++i) Proc(collection->Item(i));
  }
}

void TOvcCollectionHolder::Loaded() {
  for (TO32Collection *collection : collections_) {
    collection->SetLoading(true);
    collection->Loaded();
    collection->SetLoading(false);
    collection->SetLoadedFlag();
  }
}

// ---- TOvcComponent ----

TOvcComponent::~TOvcComponent() = default;

void TOvcComponent::Loaded() {
  TComponent::Loaded();
  if (holder_) holder_->Loaded();
}

void TOvcComponent::GetChildren(const TGetChildProc &Proc) const {
  if (holder_) holder_->GetChildren(Proc);
}

TComponent *TOvcComponent::GetChildOwner() const { return holder_ ? holder_->ChildOwner() : nullptr; }

TOvcCollectionHolder *TOvcComponent::CreateCollectionHolder() {
  if (!holder_) holder_ = std::make_unique<TOvcCollectionHolder>(this);
  return holder_.get();
}

// ---- the windowed bases ----

namespace {

// The wheel message's parts: key flags and the signed turn in wParam, the screen point in lParam.
TShiftState WheelShift(const TMessage &Message) { return KeysToShiftState(Message.WParamLo()); }
int WheelDelta(const TMessage &Message) { return std::int16_t(Message.WParamHi()); }
int WheelX(const TMessage &Message) { return GET_X_LPARAM(Message.LParam); }
int WheelY(const TMessage &Message) { return GET_Y_LPARAM(Message.LParam); }

} // namespace

TO32CustomControl::TO32CustomControl(TComponent *AOwner) : TCustomControl(AOwner), labels_(this, true) {}

TO32CustomControl::~TO32CustomControl() = default;

void TO32CustomControl::BeforeDestruction() {
  labels_.ControlDestroying();
  TCustomControl::BeforeDestruction();
}

void TO32CustomControl::Notification(TComponent *AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  labels_.Notification(AComponent, Operation);
}

void TO32CustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  labels_.ControlMoved();
}

void TO32CustomControl::DoOnMouseWheel(TShiftState Shift, int Delta, int XPos, int YPos) {
  if (OnMouseWheel) OnMouseWheel(this, Shift, Delta, XPos, YPos);
}

void TO32CustomControl::WndProc(TMessage &Message) {
  const bool handled = HandleLibraryControlMessage(
      this, labels_, Message, AfterEnter, AfterExit,
      [this](TShiftState Shift, int Delta, int X, int Y) { DoOnMouseWheel(Shift, Delta, X, Y); },
      [this](TMessage &M) { TCustomControl::WndProc(M); });
  if (!handled) TCustomControl::WndProc(Message);
}

TOvcCustomControl::TOvcCustomControl(TComponent *AOwner) : TCustomControl(AOwner), labels_(this, true) {}

TOvcCustomControl::~TOvcCustomControl() = default;

void TOvcCustomControl::BeforeDestruction() {
  labels_.ControlDestroying();
  TCustomControl::BeforeDestruction();
}

void TOvcCustomControl::Loaded() {
  TCustomControl::Loaded();
  if (holder_) holder_->Loaded();
}

void TOvcCustomControl::Notification(TComponent *AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  labels_.Notification(AComponent, Operation);
}

void TOvcCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  labels_.ControlMoved();
}

void TOvcCustomControl::GetChildren(const TGetChildProc &Proc) const {
  if (holder_) holder_->GetChildren(Proc);
}

TComponent *TOvcCustomControl::GetChildOwner() const { return holder_ ? holder_->ChildOwner() : nullptr; }

TOvcCollectionHolder *TOvcCustomControl::CreateCollectionHolder() {
  if (!holder_) holder_ = std::make_unique<TOvcCollectionHolder>(this);
  return holder_.get();
}

void TOvcCustomControl::DoOnMouseWheel(TShiftState Shift, int Delta, int XPos, int YPos) {
  if (OnMouseWheel) OnMouseWheel(this, Shift, Delta, XPos, YPos);
}

void TOvcCustomControl::WndProc(TMessage &Message) {
  const bool handled = HandleLibraryControlMessage(
      this, labels_, Message, AfterEnter, AfterExit,
      [this](TShiftState Shift, int Delta, int X, int Y) { DoOnMouseWheel(Shift, Delta, X, Y); },
      [this](TMessage &M) { TCustomControl::WndProc(M); });
  if (!handled) TCustomControl::WndProc(Message);
}

// ---- shared message handling ----

bool HandleLibraryControlMessage(TWinControl *Control, TOvcLabelHost &Labels, TMessage &Message,
                                 const TNotifyEvent &AfterEnter, const TNotifyEvent &AfterExit,
                                 const std::function<void(TShiftState, int, int, int)> &Wheel,
                                 const std::function<void(TMessage &)> &Inherited) {
  if (Labels.HandleMessage(Message)) return true;
  switch (Message.Msg) {
  case WM_SETFOCUS:
    Inherited(Message);
    PostMessage(Control->Handle(), ovm_AfterEnter);
    return true;
  case WM_KILLFOCUS:
    Inherited(Message);
    PostMessage(Control->Handle(), ovm_AfterExit);
    return true;
  case ovm_AfterEnter:
    if (AfterEnter) AfterEnter(Control);
    return true;
  case ovm_AfterExit:
    if (AfterExit) AfterExit(Control);
    return true;
  case WM_MOUSEWHEEL:
    Wheel(WheelShift(Message), WheelDelta(Message), WheelX(Message), WheelY(Message));
    return true;
  case CM_VISIBLECHANGED:
    Inherited(Message);
    Labels.ControlVisibleChanged();
    return true;
  default: return false;
  }
}

// ---- TOvcControllerLink ----

TOvcController *TOvcControllerLink::Controller() const {
  return controller_ ? controller_ : GetDefaultController();
}

void TOvcControllerLink::SetController(TOvcController *Value) {
  if (Value == controller_) return;
  if (controller_) client_->RemoveFreeNotification(controller_);
  controller_ = Value;
  if (controller_) controller_->FreeNotification(client_);
}

void TOvcControllerLink::PickUp(const TControl *Control) {
  const TComponentState state = client_->ComponentState();
  if (state.Contains(csLoading) || controller_) return;
  TCustomForm *form = FindParentForm(Control);
  if (TOvcController *onForm = FindControllerOnForm(form))
    SetController(onForm);
  else if (!state.Contains(csDesigning))
    SetController(GetDefaultController());
}

void TOvcControllerLink::Notification(TComponent *AComponent, TOperation Operation) {
  if (Operation == opInsert && !controller_) {
    if (auto *controller = dynamic_cast<TOvcController *>(AComponent)) SetController(controller);
  } else if (Operation == opRemove && AComponent && AComponent == controller_) {
    controller_ = nullptr;
  }
}

// ---- TOvcCustomControlEx ----

void TOvcCustomControlEx::Notification(TComponent *AComponent, TOperation Operation) {
  TOvcCustomControl::Notification(AComponent, Operation);
  controller_.Notification(AComponent, Operation);
}

void TOvcCustomControlEx::CreateWnd() {
  controller_.PickUp(this);
  TOvcCustomControl::CreateWnd();
}
