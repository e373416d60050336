#include "controls/buttons/graphic_controls.h"
#include "controls/buttons/hand_cursor.h"
#include <QImage>
#include <QWidget>

// ---- TVrComponent ----

TVrComponent::TVrComponent(TComponent *AOwner) : TComponent(AOwner) { VrInitControls(); }

// ---- TVrGraphicControl ----

TVrGraphicControl::TVrGraphicControl(TComponent *AOwner) : TGraphicControl(AOwner) { VrInitControls(); }

void TVrGraphicControl::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE: {
    const std::weak_ptr<bool> token = AliveToken();
    TGraphicControl::WndProc(Message);
    // lParam names a child for a parent's notice; a graphic control hears only of itself.
    if (!IsAlive(token) || Message.LParam != 0) return;
    if (Message.Msg == CM_MOUSEENTER)
      MouseEnter();
    else
      MouseLeave();
    return;
  }
  default: TGraphicControl::WndProc(Message); return;
  }
}

void TVrGraphicControl::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) UpdateControlCanvas();
}

void TVrGraphicControl::UpdateControlCanvas() {
  if (ComponentState().Contains(csLoading) || Updating()) return;
  Invalidate();
}

void TVrGraphicControl::UpdateControlBounds() {
  const TRect before = BoundsRect();
  AdjustControlSize();
  SetBounds(Left(), Top(), Width(), Height());
  if (BoundsRect() != before) UpdateControlCanvas();
}

void TVrGraphicControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TVrGraphicControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

// ---- TVrGraphicImageControl ----

TVrGraphicImageControl::TVrGraphicImageControl(TComponent *AOwner)
    : TVrGraphicControl(AOwner), buffer_(std::make_unique<TBitmap>()),
      background_(std::make_unique<TBitmap>()) {}

TVrGraphicImageControl::~TVrGraphicImageControl() = default;

void TVrGraphicImageControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TVrGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (buffer_->Width() != Width() || buffer_->Height() != Height()) buffer_->SetSize(Width(), Height());
  captureBackground_ = true;
}

void TVrGraphicImageControl::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  captureBackground_ = true;
  UpdateControlCanvas();
}

void TVrGraphicImageControl::Paint() {
  PrepareBuffer();
  PaintImage();
  Canvas()->Draw(0, 0, buffer_.get());
  // What lies under the control may have changed by the next paint.
  if (transparent_) captureBackground_ = true;
}

void TVrGraphicImageControl::PrepareBuffer() {
  if (buffer_->Width() != Width() || buffer_->Height() != Height()) buffer_->SetSize(Width(), Height());
  TCanvas *canvas = BitmapCanvas();
  if (!transparent_) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(Rect(0, 0, Width(), Height()));
    return;
  }
  if (captureBackground_) {
    CaptureBackground();
    captureBackground_ = false;
  }
  canvas->Draw(0, 0, background_.get());
}

void TVrGraphicImageControl::CaptureBackground() {
  QImage image(std::max(1, Width()), std::max(1, Height()), QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QWidget *self = Widget();
  if (QWidget *parent = self ? self->parentWidget() : nullptr) {
    // The parent's own painting under the control; its other children are not drawn, and neither is this
    // control, which is being painted now.
    parent->render(&image, QPoint(0, 0), QRegion(self->geometry()), QWidget::DrawWindowBackground);
  }
  background_->SetImage(image);
}
