#include "platform/widgets/std_panels.h"
#include <QPainter>
#include <QWidget>

// ---- TCustomPanel ----

TCustomPanel::TCustomPanel(TComponent *AOwner) : TCustomControl(AOwner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                   csOpaque,          csDoubleClicks, csReplicatable};
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::Changed() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  alignment_ = Value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
  bevelInner_ = Value;
  Changed();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  bevelOuter_ = Value;
  Changed();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value) {
  bevelWidth_ = std::max(1, Value);
  Changed();
}

void TCustomPanel::SetBorderWidth(int Value) {
  borderWidth_ = std::max(0, Value);
  Changed();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TCustomPanel::CreateParams(TCreateParams &Params) {
  TCustomControl::CreateParams(Params);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

TRect TCustomPanel::InnerRect() const {
  TRect r = ClientRect();
  int inset = borderWidth_;
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  InflateRect(r, -inset, -inset);
  return r;
}

void TCustomPanel::AlignControls(TControl *AControl, TRect &Rect) {
  const TRect inner = InnerRect();
  IntersectRect(Rect, Rect, inner);
  TCustomControl::AlignControls(AControl, Rect);
}

void TCustomPanel::Paint() {
  TCanvas *canvas = Canvas();
  TRect r = ClientRect();
  // A bevel's colours; "space" is the width of a bevel in the panel's own colour.
  auto bevel = [this, canvas, &r](TBevelCut cut) {
    if (cut == bvNone) return;
    TColor top = clBtnHighlight;
    TColor bottom = clBtnShadow;
    if (cut == bvLowered) std::swap(top, bottom);
    if (cut == bvSpace) top = bottom = Color();
    Frame3D(canvas, r, top, bottom, bevelWidth_);
  };
  bevel(bevelOuter_);
  if (borderWidth_ > 0) Frame3D(canvas, r, Color(), Color(), borderWidth_);
  bevel(bevelInner_);
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(r);
  const QString caption = Caption();
  if (caption.isEmpty()) return;
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(Font());
  const int lineHeight = canvas->TextHeight(QStringLiteral("W"));
  r.Top = (r.Top + r.Bottom - lineHeight) / 2;
  r.Bottom = r.Top + lineHeight;
  unsigned flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  canvas->DrawText(caption, r, flags);
}

void TCustomPanel::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CM_TEXTCHANGED:
  case CM_FONTCHANGED:
  case CM_COLORCHANGED:
    TCustomControl::WndProc(Message);
    Invalidate();
    return;
  default: TCustomControl::WndProc(Message); return;
  }
}
