#include "report/ui/toolbar_buttons.h"
#include "platform/windowing/window_functions.h"
#include <QPainter>

namespace {

// Whether the character is the "&" accelerator of the caption, ignoring case.
bool IsAccelerator(QChar ch, const QString &caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != QLatin1Char('&')) continue;
    if (caption[i + 1] == QLatin1Char('&')) {
      ++i; // "&&" stands for an "&"
      continue;
    }
    return caption[i + 1].toUpper() == ch.toUpper();
  }
  return false;
}

bool Pressed(TfrButtonState state) { return state == fbsDown || state == fbsExclusive; }

} // namespace

TAlign frToolbarAlign(const TWinControl *parent) {
  if (parent && (parent->Align() == alLeft || parent->Align() == alRight)) return alTop;
  return alLeft;
}

// ---- TfrSpeedButton ----

TfrSpeedButton::TfrSpeedButton(TComponent *AOwner) : TGraphicControl(AOwner) {
  frAcquireButtonResources();
  SetBounds(0, 0, 22, 22);
  SetControlStyle({csCaptureMouse, csDoubleClicks, csOpaque});
  SetParentFont(true);
  glyph_.OnChange = TNotifyEvent(this, &TfrSpeedButton::GlyphChanged);
}

TfrSpeedButton::~TfrSpeedButton() {
  // The prepared images go back to the shared cache while it still exists.
  glyph_.Invalidate();
  frReleaseButtonResources();
}

void TfrSpeedButton::GlyphChanged(TObject *) { Invalidate(); }

TfrButtonState TfrSpeedButton::DrawState() const {
  const bool designing = ComponentState().Contains(csDesigning);
  if (!Enabled() && !designing) return fbsDisabled;
  if (state_ == fbsUp && grayedInactive_ && Enabled() && flat_ && !mouseInControl_ && !designing)
    return fbsInactive;
  return state_;
}

void TfrSpeedButton::SetGroupIndex(int Value) {
  if (groupIndex_ == Value) return;
  groupIndex_ = Value;
  UpdateExclusive();
}

void TfrSpeedButton::SetDown(bool Value) {
  if (groupIndex_ == 0) Value = false;
  if (Value == down_) return;
  // The down button of a group stays down unless the group allows all up.
  if (down_ && !allowAllUp_) return;
  down_ = Value;
  state_ = Value ? fbsExclusive : fbsUp;
  Invalidate();
  if (Value) UpdateExclusive();
}

void TfrSpeedButton::SetAllowAllUp(bool Value) {
  if (allowAllUp_ == Value) return;
  allowAllUp_ = Value;
  UpdateExclusive();
}

void TfrSpeedButton::SetFlat(bool Value) {
  if (flat_ == Value) return;
  flat_ = Value;
  Invalidate();
}

void TfrSpeedButton::SetGrayedInactive(bool Value) {
  if (grayedInactive_ == Value) return;
  grayedInactive_ = Value;
  Invalidate();
}

void TfrSpeedButton::SetLayout(TButtonLayout Value) {
  if (layout_ == Value) return;
  layout_ = Value;
  Invalidate();
}

void TfrSpeedButton::SetMargin(int Value) {
  if (margin_ == Value || Value < -1) return;
  margin_ = Value;
  Invalidate();
}

void TfrSpeedButton::SetSpacing(int Value) {
  if (spacing_ == Value) return;
  spacing_ = Value;
  Invalidate();
}

void TfrSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !Parent()) return;
  TMessage message{CM_BUTTONPRESSED, WPARAM(groupIndex_), PointerParam(this), 0};
  Parent()->Broadcast(message);
}

void TfrSpeedButton::ButtonPressed(TMessage &Message) {
  if (Message.WParam != WPARAM(groupIndex_) || groupIndex_ == 0) return;
  auto *sender = dynamic_cast<TfrSpeedButton *>(MessagePointer<TObject>(std::uintptr_t(Message.LParam)));
  if (!sender || sender == this) return;
  if (sender->Down() && down_) {
    down_ = false;
    state_ = fbsUp;
    Invalidate();
  }
  allowAllUp_ = sender->AllowAllUp();
}

bool TfrSpeedButton::DialogChar(TMessage &Message) {
  const QChar ch(char16_t(Message.WParam));
  if (!IsAccelerator(ch, Caption()) || !Enabled() || !Visible() || !Parent() || !Parent()->Showing())
    return false;
  Click();
  return true;
}

void TfrSpeedButton::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CM_MOUSEENTER:
    TGraphicControl::WndProc(Message);
    if (Message.LParam == 0 && !mouseInControl_ && Enabled() && flat_) {
      mouseInControl_ = true;
      if (OnMouseEnter) OnMouseEnter(this);
      Invalidate();
    }
    return;
  case CM_MOUSELEAVE:
    TGraphicControl::WndProc(Message);
    if (Message.LParam == 0 && mouseInControl_) {
      mouseInControl_ = false;
      if (OnMouseLeave) OnMouseLeave(this);
      Invalidate();
    }
    return;
  case CM_BUTTONPRESSED: ButtonPressed(Message); return;
  case CM_DIALOGCHAR:
    if (DialogChar(Message)) Message.Result = 1;
    return;
  case CM_ENABLEDCHANGED:
    if (!Enabled()) {
      mouseInControl_ = false;
      dragging_ = false;
      state_ = down_ ? fbsExclusive : fbsUp;
    }
    TGraphicControl::WndProc(Message);
    return;
  case CM_SYSCOLORCHANGE:
    glyph_.Invalidate();
    frButtonColorsChanged();
    Invalidate();
    return;
  case WM_LBUTTONDBLCLK: {
    const std::weak_ptr<bool> alive = AliveToken();
    TGraphicControl::WndProc(Message);
    if (IsAlive(alive) && down_) DblClick();
    return;
  }
  default: TGraphicControl::WndProc(Message);
  }
}

void TfrSpeedButton::Click() { TGraphicControl::Click(); }

void TfrSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = fbsDown;
    Invalidate();
  }
  dragging_ = true;
}

void TfrSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!dragging_) return;
  const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
  TfrButtonState state = down_ ? fbsExclusive : fbsUp;
  if (inside) state = down_ ? fbsExclusive : fbsDown;
  if (state != state_) {
    state_ = state;
    Invalidate();
  }
}

void TfrSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const std::weak_ptr<bool> alive = AliveToken();
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!IsAlive(alive) || !dragging_) return;
  dragging_ = false;
  const bool doClick = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
  if (groupIndex_ == 0) {
    state_ = fbsUp;
    mouseInControl_ = false;
    Invalidate();
  } else if (doClick) {
    SetDown(!down_);
    state_ = down_ ? fbsExclusive : fbsUp;
    Invalidate();
  } else {
    state_ = down_ ? fbsExclusive : fbsUp;
    Invalidate();
  }
  if (doClick) Click();
  if (IsAlive(alive)) UpdateTracking();
}

void TfrSpeedButton::UpdateTracking() {
  if (!flat_ || !Enabled()) return;
  TPoint cursor;
  const bool inside = GetCursorPos(cursor) && FindDragTarget(cursor, true) == this;
  if (inside != mouseInControl_) {
    mouseInControl_ = inside;
    Invalidate();
  }
}

void TfrSpeedButton::Paint() {
  const TRect client = ClientRect();
  TBitmap *shared = frButtonBitmap();
  if (shared && client.Width() <= frMaxSharedBitmapSize && client.Height() <= frMaxSharedBitmapSize) {
    // Painted aside and copied in one go, so the button never flickers through its layers.
    PaintButton(shared->Canvas(), client);
    Canvas()->DrawImage(client, shared->Image(), client.ToQRect());
  } else {
    PaintButton(Canvas(), client);
  }
}

void TfrSpeedButton::PaintButton(TCanvas *canvas, const TRect &client) {
  const TfrButtonState state = DrawState();
  const bool designing = ComponentState().Contains(csDesigning);
  const bool pressed = Pressed(state);
  TRect paintRect = client;
  if (flat_) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(client);
  } else {
    paintRect = DrawButtonFace(canvas, client, 1, pressed, false);
  }
  if (state == fbsExclusive && !frDitherPattern().isNull()) {
    TRect dither = paintRect;
    if (flat_) InflateRect(dither, -1, -1);
    if (!dither.IsEmpty()) canvas->Handle()->fillRect(dither.ToQRect(), QBrush(frDitherPattern()));
  }
  const TPoint offset = pressed ? TPoint{1, 1} : TPoint{0, 0};
  canvas->SetFont(Font());
  glyph_.Draw(canvas, paintRect, offset, Caption(), layout_, margin_, spacing_, state);

  const bool framed = flat_ && Enabled() && (mouseInControl_ || pressed || (designing && state == fbsUp));
  if (framed) {
    TRect frame = client;
    if (pressed)
      Frame3D(canvas, frame, clBtnShadow, clBtnHighlight, 1);
    else
      Frame3D(canvas, frame, clBtnHighlight, clBtnShadow, 1);
  }
}

// ---- TfrTBButton ----

TfrTBButton::TfrTBButton(TComponent *AOwner) : TfrSpeedButton(AOwner) {
  SetFlat(true);
  SetAlign(alLeft);
}

void TfrTBButton::SetParent(TWinControl *AParent) {
  TfrSpeedButton::SetParent(AParent);
  if (AParent && !ComponentState().Contains(csDesigning)) SetAlign(frToolbarAlign(AParent));
}

// ---- TfrTBSeparator ----

TfrTBSeparator::TfrTBSeparator(TComponent *AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 8, 8);
  SetAlign(alLeft);
}

void TfrTBSeparator::SetParent(TWinControl *AParent) {
  TGraphicControl::SetParent(AParent);
  if (AParent && !ComponentState().Contains(csDesigning)) SetAlign(frToolbarAlign(AParent));
}

void TfrTBSeparator::SetDrawBevel(bool Value) {
  if (drawBevel_ == Value) return;
  drawBevel_ = Value;
  Invalidate();
}

void TfrTBSeparator::Paint() {
  const TRect r = ClientRect();
  TCanvas *canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(r);
  if (!drawBevel_) return;
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  // The line crosses the direction in which the toolbar's buttons follow each other.
  if (Align() == alTop || Align() == alBottom) {
    const int y = r.Height() / 2 - 1;
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->MoveTo(r.Left + 1, y);
    canvas->LineTo(r.Right - 1, y);
    canvas->Pen()->SetColor(clBtnHighlight);
    canvas->MoveTo(r.Left + 1, y + 1);
    canvas->LineTo(r.Right - 1, y + 1);
  } else {
    const int x = r.Width() / 2 - 1;
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->MoveTo(x, r.Top + 1);
    canvas->LineTo(x, r.Bottom - 1);
    canvas->Pen()->SetColor(clBtnHighlight);
    canvas->MoveTo(x + 1, r.Top + 1);
    canvas->LineTo(x + 1, r.Bottom - 1);
  }
}
