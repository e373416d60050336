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

// ---- TBevel ----

TBevel::TBevel(TComponent *AOwner) : TGraphicControl(AOwner) {
  controlStyle_.Include(csReplicatable);
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
  shape_ = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  style_ = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas *canvas = Canvas();
  const int w = Width();
  const int h = Height();
  const TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  auto line = [canvas](TColor color, int x1, int y1, int x2, int y2) {
    canvas->Pen()->SetColor(color);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  // A box whose corners are (l, t) and (r, b), both on its outline: left and top in one colour, right and
  // bottom in the other.
  auto box = [canvas](TColor topLeft, TColor bottomRight, int l, int t, int r, int b) {
    canvas->Pen()->SetColor(topLeft);
    canvas->MoveTo(l, b);
    canvas->LineTo(l, t);
    canvas->LineTo(r, t);
    canvas->Pen()->SetColor(bottomRight);
    canvas->LineTo(r, b);
    canvas->LineTo(l, b);
  };
  switch (shape_) {
  case bsBox: box(first, second, 0, 0, w - 1, h - 1); break;
  case bsFrame:
    // An etched frame: the second colour one pixel in, the first on top of it.
    box(second, second, 1, 1, w - 1, h - 1);
    box(first, first, 0, 0, w - 2, h - 2);
    break;
  case bsTopLine:
    line(first, 0, 0, w, 0);
    line(second, 0, 1, w, 1);
    break;
  case bsBottomLine:
    line(first, 0, h - 2, w, h - 2);
    line(second, 0, h - 1, w, h - 1);
    break;
  case bsLeftLine:
    line(first, 0, 0, 0, h);
    line(second, 1, 0, 1, h);
    break;
  case bsRightLine:
    line(first, w - 2, 0, w - 2, h);
    line(second, w - 1, 0, w - 1, h);
    break;
  case bsSpacer: break;
  }
}

// ---- TControlScrollBar ----

TControlScrollBar::TControlScrollBar(TScrollingWinControl *Control, TScrollBarKind Kind)
    : control_(Control), kind_(Kind) {}

void TControlScrollBar::Assign(const TPersistent *Source) {
  if (auto *other = dynamic_cast<const TControlScrollBar *>(Source)) {
    increment_ = other->increment_;
    visible_ = other->visible_;
    tracking_ = other->tracking_;
    margin_ = other->margin_;
    SetRange(other->range_);
    SetPosition(other->position_);
    return;
  }
  TPersistent::Assign(Source);
}

int TControlScrollBar::ClientSize() const {
  return kind_ == sbHorizontal ? control_->ClientWidth() : control_->ClientHeight();
}

int TControlScrollBar::MaxPosition() const { return std::max(0, range_ - ClientSize()); }

bool TControlScrollBar::IsScrollBarVisible() const { return visible_ && range_ > ClientSize(); }

void TControlScrollBar::SetPosition(int Value) {
  Value = std::clamp(Value, 0, MaxPosition());
  if (Value == position_) return;
  const int delta = position_ - Value;
  position_ = Value;
  if (kind_ == sbHorizontal)
    control_->ScrollBy(delta, 0);
  else
    control_->ScrollBy(0, delta);
  control_->UpdateScrollBars();
}

void TControlScrollBar::SetRange(int Value) {
  control_->autoScroll_ = false;
  range_ = std::max(0, Value);
  control_->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool Value) {
  visible_ = Value;
  control_->UpdateScrollBars();
}

void TControlScrollBar::ScrollMessage(WORD Code, int ThumbPos) {
  switch (Code) {
  case SB_LINEUP: SetPosition(position_ - increment_); break;
  case SB_LINEDOWN: SetPosition(position_ + increment_); break;
  case SB_PAGEUP: SetPosition(position_ - ClientSize()); break;
  case SB_PAGEDOWN: SetPosition(position_ + ClientSize()); break;
  case SB_THUMBPOSITION: SetPosition(ThumbPos); break;
  case SB_THUMBTRACK:
    if (tracking_) SetPosition(ThumbPos);
    break;
  case SB_TOP: SetPosition(0); break;
  case SB_BOTTOM: SetPosition(MaxPosition()); break;
  default: break;
  }
}

// ---- TScrollingWinControl ----

TScrollingWinControl::TScrollingWinControl(TComponent *AOwner)
    : TWinControl(AOwner), horz_(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      vert_(std::make_unique<TControlScrollBar>(this, sbVertical)) {
  controlStyle_.Include(csAcceptsControls);
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool Value) {
  if (autoScroll_ == Value) return;
  autoScroll_ = Value;
  if (!Value) {
    horz_->range_ = 0;
    vert_->range_ = 0;
  }
  UpdateScrollBars();
}

void TScrollingWinControl::CalcAutoRange() {
  int right = 0;
  int bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl *c = Controls(i);
    if (!c->Visible() || c->Align() != alNone) continue;
    right = std::max(right, c->Left() + c->Width() + horz_->position_);
    bottom = std::max(bottom, c->Top() + c->Height() + vert_->position_);
  }
  horz_->range_ = right > 0 ? right + horz_->margin_ : 0;
  vert_->range_ = bottom > 0 ? bottom + vert_->margin_ : 0;
}

void TScrollingWinControl::UpdateScrollBars() {
  if (updating_) return;
  updating_ = true;
  struct Done {
    bool &flag;
    ~Done() { flag = false; }
  } done{updating_};
  if (autoScroll_) CalcAutoRange();
  // Showing one bar narrows the client area, which may call for the other: two rounds settle it.
  for (int round = 0; round < 2; ++round) {
    for (TControlScrollBar *bar : {horz_.get(), vert_.get()}) {
      const int bar32 = bar->kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
      TScrollBarState state;
      state.Min = 0;
      state.Max = std::max(0, bar->range_ - 1);
      state.Page = std::max(0, bar->ClientSize());
      state.Pos = bar->position_;
      state.Visible = bar->IsScrollBarVisible();
      SetScrollBar(bar32, state);
    }
  }
  // A bar that went away (or a larger client area) leaves no position beyond the range.
  for (TControlScrollBar *bar : {horz_.get(), vert_.get()}) {
    if (bar->position_ > bar->MaxPosition()) {
      const int target = bar->MaxPosition();
      const int delta = bar->position_ - target;
      bar->position_ = target;
      ScrollBy(bar->kind_ == sbHorizontal ? delta : 0, bar->kind_ == sbVertical ? delta : 0);
      TScrollBarState state = ScrollBar(bar->kind_ == sbHorizontal ? SB_HORZ : SB_VERT);
      state.Pos = target;
      SetScrollBar(bar->kind_ == sbHorizontal ? SB_HORZ : SB_VERT, state);
    }
  }
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY) {
  if (DeltaX == 0 && DeltaY == 0) return;
  ScrollWindow(DeltaX, DeltaY);
  // Children without a window of their own move with the window only when they are redrawn.
  Invalidate();
}

void TScrollingWinControl::ScrollInView(TControl *AControl) {
  if (!AControl || !ContainsControl(AControl) || AControl == this) return;
  // The control's rectangle in this control's client coordinates.
  TRect r = AControl->BoundsRect();
  for (TWinControl *p = AControl->Parent(); p && p != this; p = p->Parent())
    OffsetRect(r, p->Left(), p->Top());
  if (r.Left < 0)
    horz_->SetPosition(horz_->position_ + r.Left);
  else if (r.Right > ClientWidth())
    horz_->SetPosition(horz_->position_ + std::min(r.Right - ClientWidth(), r.Left));
  if (r.Top < 0)
    vert_->SetPosition(vert_->position_ + r.Top);
  else if (r.Bottom > ClientHeight())
    vert_->SetPosition(vert_->position_ + std::min(r.Bottom - ClientHeight(), r.Top));
}

void TScrollingWinControl::AlignControls(TControl *AControl, TRect &Rect) {
  TWinControl::AlignControls(AControl, Rect);
  UpdateScrollBars();
}

void TScrollingWinControl::PaintHandler(TMessage &Message) {
  QWidget *w = Widget();
  if (!w || !CurrentPaintEvent()) {
    DefaultHandler(Message);
    return;
  }
  QPainter painter(w);
  PaintNonClient(painter);
  painter.translate(ClientOffset());
  painter.fillRect(ClientRect().ToQRect(), ColorToQColor(Color()));
}

void TScrollingWinControl::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_HSCROLL: horz_->ScrollMessage(Message.WParamLo(), short(Message.WParamHi())); return;
  case WM_VSCROLL: vert_->ScrollMessage(Message.WParamLo(), short(Message.WParamHi())); return;
  case WM_MOUSEWHEEL: {
    const int notches = std::int16_t(Message.WParamHi()) / WHEEL_DELTA;
    if (vert_->IsScrollBarVisible()) vert_->SetPosition(vert_->position_ - notches * vert_->increment_);
    Message.Result = 1;
    return;
  }
  case CM_CONTROLLISTCHANGE:
  case CM_VISIBLECHANGED:
    TWinControl::WndProc(Message);
    UpdateScrollBars();
    return;
  default: TWinControl::WndProc(Message); return;
  }
}

// ---- TScrollBox ----

TScrollBox::TScrollBox(TComponent *AOwner) : TScrollingWinControl(AOwner) {
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams &Params) {
  TScrollingWinControl::CreateParams(Params);
  if (borderStyle_ == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}
