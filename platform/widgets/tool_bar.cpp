#include "platform/widgets/tool_bar.h"
#include "platform/graphics/image_list.h"
#include "platform/widgets/std_control_types.h"
#include "platform/windowing/control_widget.h"
#include <QIcon>
#include <QPixmap>
#include <QToolButton>

// ---- TToolButton ----

TToolButton::TToolButton(TComponent *AOwner) : TWinControl(AOwner) {
  controlStyle_ = {csSetCaption};
  SetBounds(0, 0, 23, 22);
}

TToolBar *TToolButton::ToolBar() const { return dynamic_cast<TToolBar *>(Parent()); }

QToolButton *TToolButton::ButtonWidget() const { return dynamic_cast<QToolButton *>(Widget()); }

QWidget *TToolButton::CreateWindowWidget(const TCreateParams &) {
  auto *widget = new TControlWidget<QToolButton>(this);
  widget->setFocusPolicy(Qt::NoFocus);
  QObject::connect(widget, &QAbstractButton::clicked, widget, [this, widget] {
    if (widget->Control() == this) SendCommandNotification(this, BN_CLICKED);
  });
  return widget;
}

void TToolButton::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateFace();
}

void TToolButton::SetTextBuf(const QString &Value) {
  TWinControl::SetTextBuf(Value);
  UpdateFace();
}

void TToolButton::SetImageIndex(int Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  UpdateFace();
}

void TToolButton::UpdateFace() {
  QToolButton *button = ButtonWidget();
  if (!button) return;
  // The caption shows where there is no icon; its "&" is no Qt shortcut.
  button->setText(StripHotkey(Caption()));
  QIcon icon;
  const TToolBar *bar = ToolBar();
  if (bar && bar->Images() && imageIndex_ >= 0) {
    const QImage image = bar->Images()->Image(imageIndex_);
    if (!image.isNull()) {
      icon = QIcon(QPixmap::fromImage(image));
      button->setIconSize(image.size());
    }
  }
  button->setIcon(icon);
  button->setAutoRaise(bar && bar->Flat());
}

void TToolButton::Click() { TWinControl::Click(); }

void TToolButton::WndProc(TMessage &Message) {
  if (Message.Msg == CN_COMMAND) {
    if (HIWORD(Message.WParam) == BN_CLICKED) Click();
    return;
  }
  TWinControl::WndProc(Message);
}

// ---- TToolBar ----

TToolBar::TToolBar(TComponent *AOwner) : TCustomControl(AOwner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  SetBounds(0, 0, 150, 29);
  SetColor(clBtnFace);
}

void TToolBar::SetButtonWidth(int Value) {
  if (Value <= 0 || buttonWidth_ == Value) return;
  buttonWidth_ = Value;
  Realign();
}

void TToolBar::SetButtonHeight(int Value) {
  if (Value <= 0 || buttonHeight_ == Value) return;
  buttonHeight_ = Value;
  Realign();
}

void TToolBar::SetImages(TCustomImageList *Value) {
  if (images_ == Value) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_) images_->FreeNotification(this);
  ButtonsChanged();
}

void TToolBar::SetFlat(bool Value) {
  if (flat_ == Value) return;
  flat_ = Value;
  ButtonsChanged();
}

void TToolBar::Notification(TComponent *AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == images_) {
    images_ = nullptr;
    ButtonsChanged();
  }
}

int TToolBar::ButtonCount() const {
  int count = 0;
  for (int i = 0; i < ControlCount(); ++i) count += dynamic_cast<TToolButton *>(Controls(i)) != nullptr;
  return count;
}

TToolButton *TToolBar::Buttons(int Index) const {
  for (int i = 0; i < ControlCount(); ++i)
    if (auto *button = dynamic_cast<TToolButton *>(Controls(i)); button && Index-- == 0) return button;
  return nullptr;
}

void TToolBar::ButtonsChanged() {
  for (int i = 0; i < ButtonCount(); ++i) Buttons(i)->UpdateFace();
  Realign();
  Invalidate();
}

void TToolBar::AlignControls(TControl *AControl, TRect &Rect) {
  int x = Rect.Left;
  for (int i = 0; i < ButtonCount(); ++i) {
    TToolButton *button = Buttons(i);
    if (!button->Visible()) continue;
    button->SetBounds(x, Rect.Top + 2, buttonWidth_, buttonHeight_);
    x += buttonWidth_;
  }
  TCustomControl::AlignControls(AControl, Rect);
}

void TToolBar::Paint() {
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

void TToolBar::WndProc(TMessage &Message) {
  TCustomControl::WndProc(Message);
  if (Message.Msg == CM_CONTROLLISTCHANGE) {
    // A button that comes takes its place in the row and its icon; one that goes leaves no gap.
    if (Message.LParam != 0)
      if (auto *button = dynamic_cast<TToolButton *>(reinterpret_cast<TControl *>(Message.WParam)))
        button->UpdateFace();
    Realign();
  }
}
