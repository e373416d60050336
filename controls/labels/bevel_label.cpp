#include "controls/labels/bevel_label.h"

// ---- TKNGGraphicControl ----

void TKNGGraphicControl::WndProc(TMessage &Message) {
  if ((Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) && Message.LParam == 0) {
    const std::weak_ptr<bool> alive = AliveToken();
    TGraphicControl::WndProc(Message);
    if (!IsAlive(alive)) return;
    if (Message.Msg == CM_MOUSEENTER)
      MouseEnter();
    else
      MouseLeave();
    return;
  }
  TGraphicControl::WndProc(Message);
}

void TKNGGraphicControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TKNGGraphicControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

// ---- TKNGCustomLabel ----

TKNGCustomLabel::TKNGCustomLabel(TComponent *AOwner)
    : TCustomLabel(AOwner), bevel_(std::make_unique<TKNGBevel>()) {
  bevel_->SetBevelOuter(TKNGBevelStyle::bvNone);
  bevel_->OnChange = TNotifyEvent(this, &TKNGCustomLabel::BevelChanged);
}

TKNGCustomLabel::~TKNGCustomLabel() = default;

void TKNGCustomLabel::BevelChanged(TObject *) {
  AdjustBounds();
  Invalidate();
}

TRect TKNGCustomLabel::TextArea() const {
  TRect r = ClientRect();
  const int margin = bevel_->BevelSideSize() + 1;
  InflateRect(r, -margin, -margin);
  return r;
}

unsigned TKNGCustomLabel::TextFlags() const {
  unsigned flags = DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0);
  if (Alignment() == taRightJustify) flags |= DT_RIGHT;
  if (Alignment() == taCenter) flags |= DT_CENTER;
  return flags;
}

void TKNGCustomLabel::AdjustBounds() {
  if (!bevel_ || !AutoSize() || ComponentState().Contains(csLoading)) return;
  TRect r = TextArea();
  OffsetRect(r, -r.Left, -r.Top);
  r.Bottom = 0;
  DoDrawText(r, TextFlags() | DT_CALCRECT);
  const int margin = (bevel_->BevelSideSize() + 1) * 2;
  const int width = r.Width() + margin;
  const int height = r.Height() + margin;
  int left = Left();
  if (Alignment() == taRightJustify) left += Width() - width;
  SetBounds(left, Top(), width, height);
}

void TKNGCustomLabel::Paint() {
  TCanvas *canvas = Canvas();
  const TRect client = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
  }
  TRect inside = client;
  DrawKNGBevel(canvas, inside, *bevel_, Color(), Transparent());

  canvas->Brush()->SetStyle(bsClear);
  TRect text = TextArea();
  const unsigned flags = TextFlags();
  if (Layout() != tlTop) {
    TRect measure = text;
    DoDrawText(measure, flags | DT_CALCRECT);
    const int free = text.Height() - measure.Height();
    OffsetRect(text, 0, Layout() == tlBottom ? free : free / 2);
  }
  DoDrawText(text, flags);
}
