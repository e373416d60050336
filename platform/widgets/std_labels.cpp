#include "platform/widgets/std_labels.h"
#include "platform/windowing/forms.h"
#include <QWidget>

// ---- TCustomLabel ----

TCustomLabel::TCustomLabel(TComponent *AOwner) : TGraphicControl(AOwner) {
  controlStyle_.Include(csOpaque).Include(csReplicatable);
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::Notification(TComponent *AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (autoSize_ == Value) return;
  autoSize_ = Value;
  AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (layout_ == Value) return;
  layout_ = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (showAccelChar_ == Value) return;
  showAccelChar_ = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  controlStyle_.Set(csOpaque, !Value);
  // A transparent label shows what its parent painted beneath it.
  if (QWidget *w = Widget()) w->setAttribute(Qt::WA_OpaquePaintEvent, !Value);
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl *Value) {
  focusControl_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::DoDrawText(TRect &Rect, unsigned Flags) {
  QString text = GetLabelText();
  // An empty caption (or a lone accelerator mark) still measures a line.
  if ((Flags & DT_CALCRECT) && (text.isEmpty() || (showAccelChar_ && text == QLatin1String("&"))))
    text += QLatin1Char(' ');
  if (!showAccelChar_) Flags |= DT_NOPREFIX;
  TCanvas *canvas = Canvas();
  canvas->SetFont(Font());
  if (Enabled() || (Flags & DT_CALCRECT)) {
    canvas->DrawText(text, Rect, Flags);
    return;
  }
  OffsetRect(Rect, 1, 1);
  canvas->Font()->SetColor(clBtnHighlight);
  canvas->DrawText(text, Rect, Flags);
  OffsetRect(Rect, -1, -1);
  canvas->Font()->SetColor(clBtnShadow);
  canvas->DrawText(text, Rect, Flags);
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  TRect r = ClientRect();
  DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
  int left = Left();
  if (alignment_ == taRightJustify) left += Width() - r.Right;
  SetBounds(left, Top(), r.Right, r.Bottom);
}

void TCustomLabel::Paint() {
  TCanvas *canvas = Canvas();
  const TRect client = ClientRect();
  if (!transparent_) {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(client);
  }
  canvas->Brush()->SetStyle(bsClear);
  TRect r = client;
  unsigned flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0);
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (layout_ != tlTop) {
    TRect measure = client;
    DoDrawText(measure, flags | DT_CALCRECT);
    const int free = client.Height() - measure.Height();
    OffsetRect(r, 0, layout_ == tlBottom ? free : free / 2);
  }
  DoDrawText(r, flags);
}

void TCustomLabel::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CM_TEXTCHANGED:
  case CM_FONTCHANGED:
    TGraphicControl::WndProc(Message);
    AdjustBounds();
    Invalidate();
    return;
  case CM_DIALOGCHAR:
    if (focusControl_ && Enabled() && showAccelChar_ && IsAccel(Message.WParam, GetLabelText()) &&
        focusControl_->CanFocus()) {
      focusControl_->SetFocus();
      Message.Result = 1;
      return;
    }
    TGraphicControl::WndProc(Message);
    return;
  default: TGraphicControl::WndProc(Message); return;
  }
}

// ---- TImage ----

TImage::TImage(TComponent *AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>()) {
  controlStyle_.Include(csReplicatable);
  picture_->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() = default;

TCanvas *TImage::Canvas() {
  if (!picture_->Graphic()) {
    TBitmap bitmap(Width(), Height());
    picture_->SetGraphic(&bitmap);
  }
  auto *bitmap = dynamic_cast<TBitmap *>(picture_->Graphic());
  if (!bitmap) throw EInvalidOperation(QStringLiteral("Can only modify an image if it contains a bitmap"));
  return bitmap->Canvas();
}

void TImage::PictureChanged(TObject *) {
  if (autoSize_ && !picture_->Empty()) SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  if (TGraphic *graphic = picture_->Graphic()) {
    if (graphic->Transparent() != transparent_) graphic->SetTransparent(transparent_);
  }
  Invalidate();
}

void TImage::SetStretch(bool Value) {
  stretch_ = Value;
  Invalidate();
}

void TImage::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  PictureChanged(nullptr);
}

void TImage::SetAutoSize(bool Value) {
  autoSize_ = Value;
  if (Value) PictureChanged(nullptr);
}

TRect TImage::DestRect() const {
  if (stretch_) return Rect(0, 0, ClientWidth(), ClientHeight());
  return Rect(0, 0, picture_->Width(), picture_->Height());
}

void TImage::Paint() {
  TGraphic *graphic = picture_->Graphic();
  if (!graphic || graphic->Empty()) return;
  TGraphicControl::Canvas()->StretchDraw(DestRect(), graphic);
}
