#include "controls/framework/attached_label.h"
#include "controls/framework/control_helpers.h"
#include "controls/framework/library_messages.h"
#include "controls/framework/private_messages.h"
#include "platform/core/class_registry.h"
#include "platform/windowing/forms.h"

// ---- TOvcLabelInfo ----

void TOvcLabelInfo::SetOffsets(int X, int Y) {
  if (X == offsetX_ && Y == offsetY_) return;
  offsetX_ = X;
  offsetY_ = Y;
  if (OnChange) OnChange(this);
}

void TOvcLabelInfo::SetVisible(bool Value) {
  if (Value == visible_) return;
  visible_ = Value;
  if (OnVisibleChange) OnVisibleChange(this, Value);
}

// ---- TOvcAttachedLabel ----

TOvcAttachedLabel::TOvcAttachedLabel(TComponent *AOwner) : TLabel(AOwner) {
  SetAutoSize(true);
  SetParentFont(true);
  SetTransparent(false);
}

TOvcAttachedLabel::TOvcAttachedLabel(TComponent *AOwner, TWinControl *AControl) : TOvcAttachedLabel(AOwner) {
  SetControl(AControl);
}

void TOvcAttachedLabel::SetControl(TWinControl *Value) {
  if (control_ == Value) return;
  if (control_) control_->RemoveFreeNotification(this);
  control_ = Value;
  if (control_) control_->FreeNotification(this);
  SetFocusControl(control_);
}

void TOvcAttachedLabel::Notification(TComponent *AComponent, TOperation Operation) {
  TLabel::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == control_) control_ = nullptr;
}

void TOvcAttachedLabel::Loaded() {
  TLabel::Loaded();
  TellControl();
}

void TOvcAttachedLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TLabel::SetBounds(ALeft, ATop, AWidth, AHeight);
  TellControl();
}

void TOvcAttachedLabel::TellControl() {
  const TComponentState state = ComponentState();
  if (state.Contains(csLoading) || state.Contains(csDestroying) || !control_) return;
  TCustomForm *form = FindParentForm(this);
  if (!form) return;
  bool onForm = false;
  for (int i = 0; i < form->ComponentCount() && !onForm; ++i) onForm = form->Components(i) == control_;
  if (!onForm) return;
  control_->Perform(ovm_AttachLabel, 0, PointerParam(this));
  // Posted, so that the offsets are read once the move has finished; a control without a window yet has
  // nothing showing, so it takes the notice at once.
  if (control_->HandleAllocated())
    PostMessage(control_->Handle(), ovm_LabelMoved, 0, 0);
  else
    control_->Perform(ovm_LabelMoved, 0, 0);
}

// ---- TOvcLabelHost ----

TOvcLabelHost::TOvcLabelHost(TWinControl *Control, bool AutoSizeLabel)
    : control_(Control), info_(new TOvcLabelInfo), autoSizeLabel_(AutoSizeLabel) {
  info_->OnChange = TNotifyEvent(this, &TOvcLabelHost::OffsetChanged);
  info_->OnVisibleChange = TOvcLabelVisibleEvent(this, &TOvcLabelHost::VisibleChanged);
}

TOvcLabelHost::~TOvcLabelHost() { delete info_; }

TOvcAttachedLabel *TOvcLabelHost::AttachedLabel() const {
  // A label that could not be made (no form yet) is as absent as one never asked for.
  if (!info_->Visible() || !info_->ALabel()) throw Exception(LibraryMessageText(msg::LabelNotAttached));
  return info_->ALabel();
}

bool TOvcLabelHost::ControlLoading() const { return control_->ComponentState().Contains(csLoading); }

void TOvcLabelHost::OffsetChanged(TObject *) {
  if (!ControlLoading()) PositionLabel();
}

void TOvcLabelHost::VisibleChanged(TObject *, bool Value) {
  if (ControlLoading()) return;
  if (Value)
    CreateLabel();
  else
    FreeLabel();
}

void TOvcLabelHost::CreateLabel() {
  TCustomForm *form = FindParentForm(control_);
  if (!form) return;
  FreeLabel();
  auto *label = new TOvcAttachedLabel(nullptr, control_);
  form->InsertComponent(label);
  info_->SetALabel(label);
  label->SetParent(control_->Parent());
  const QString name = GetUniqueName(form, control_->Name() + QStringLiteral("Label"));
  label->SetName(name);
  label->SetCaption(name);
  info_->SetOffsets(0, 0);
  PositionLabel();
  if (autoSizeLabel_) label->SetAutoSize(true);
}

void TOvcLabelHost::FreeLabel() {
  TOvcAttachedLabel *label = info_->ALabel();
  info_->SetALabel(nullptr);
  if (label) label->Free();
}

void TOvcLabelHost::PositionLabel() {
  TOvcAttachedLabel *label = info_->ALabel();
  if (!label) return;
  const int left = control_->Left() + info_->OffsetX();
  const int top = below_ ? control_->Top() + control_->Height() + info_->OffsetY()
                         : control_->Top() + info_->OffsetY() - label->Height();
  label->SetBounds(left, top, label->Width(), label->Height());
}

int TOvcLabelHost::ImpliedOffsetX(const TOvcAttachedLabel *Label) const {
  return Label->Left() - control_->Left();
}

int TOvcLabelHost::ImpliedOffsetY(const TOvcAttachedLabel *Label) const {
  return below_ ? Label->Top() - control_->Top() - control_->Height()
                : Label->Top() + Label->Height() - control_->Top();
}

bool TOvcLabelHost::HandleMessage(TMessage &Msg) {
  switch (Msg.Msg) {
  case ovm_PlaceLabel: {
    TOvcAttachedLabel *label = info_->ALabel();
    if (label && (ImpliedOffsetX(label) != info_->OffsetX() || ImpliedOffsetY(label) != info_->OffsetY()))
      PositionLabel();
    return true;
  }
  case ovm_LabelMoved: {
    TOvcAttachedLabel *label = info_->ALabel();
    if (label && label->Parent()) {
      info_->SetVisibleFlag(true);
      info_->SetOffsets(ImpliedOffsetX(label), ImpliedOffsetY(label));
    }
    return true;
  }
  case ovm_AttachLabel:
    info_->SetALabel(MessagePointer<TOvcAttachedLabel>(std::uintptr_t(Msg.LParam)));
    return true;
  default: return false;
  }
}

void TOvcLabelHost::ControlMoved() {
  if (control_->HandleAllocated()) PostMessage(control_->Handle(), ovm_PlaceLabel, 0, 0);
}

void TOvcLabelHost::ControlVisibleChanged() {
  if (!ControlLoading() && info_->ALabel()) info_->ALabel()->SetVisible(control_->Visible());
}

void TOvcLabelHost::Notification(TComponent *AComponent, TOperation Operation) {
  if (Operation != opRemove || !AComponent || AComponent != info_->ALabel()) return;
  // The pointer is dropped even while the form is being destroyed: the form frees the label before the
  // control, and the control must not free it a second time.
  info_->SetALabel(nullptr);
  const TComponent *form = AComponent->Owner();
  if (!form || !form->ComponentState().Contains(csDestroying)) info_->SetVisibleFlag(false);
}

void TOvcLabelHost::ControlDestroying() {
  info_->SetVisibleFlag(false);
  FreeLabel();
}

// ---- helpers ----

TCustomForm *FindParentForm(const TControl *Control) {
  for (TControl *c = Control ? Control->Parent() : nullptr; c; c = c->Parent())
    if (auto *form = dynamic_cast<TCustomForm *>(c)) return form;
  return nullptr;
}

void RegisterAttachedLabelClass() {
  if (!GetClass(QStringLiteral("TOvcAttachedLabel")))
    RegisterClass<TOvcAttachedLabel>(QStringLiteral("TOvcAttachedLabel"));
}

namespace {
const bool g_attachedLabelRegistered = (RegisterAttachedLabelClass(), true);
}
