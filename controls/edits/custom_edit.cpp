#include "controls/edits/custom_edit.h"

TOvcCustomEdit::TOvcCustomEdit(TComponent *AOwner)
    : TCustomEdit(AOwner), labels_(this, false), controller_(this) {
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
}

TOvcCustomEdit::~TOvcCustomEdit() = default;

void TOvcCustomEdit::BeforeDestruction() {
  labels_.ControlDestroying();
  TCustomEdit::BeforeDestruction();
}

void TOvcCustomEdit::Notification(TComponent *AComponent, TOperation Operation) {
  TCustomEdit::Notification(AComponent, Operation);
  labels_.Notification(AComponent, Operation);
  controller_.Notification(AComponent, Operation);
}

void TOvcCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  labels_.ControlMoved();
}

void TOvcCustomEdit::CreateWnd() {
  controller_.PickUp(this);
  TCustomEdit::CreateWnd();
}

void TOvcCustomEdit::WndProc(TMessage &Message) {
  if (labels_.HandleMessage(Message)) return;
  TCustomEdit::WndProc(Message);
  if (Message.Msg == CM_VISIBLECHANGED) labels_.ControlVisibleChanged();
}
