#include "controls/buttons/hyper_button.h"

TVrHyperButton::TVrHyperButton(TComponent *AOwner)
    : TVrGraphicImageControl(AOwner), glyph_(std::make_unique<TBitmap>()) {
  // Opaque, no double clicks; the click is fired by the button itself once the mouse-up is handled.
  TControlStyle style = ControlStyle();
  style.Include(csOpaque);
  style.Include(csSetCaption);
  style.Exclude(csDoubleClicks);
  style.Exclude(csClickEvents);
  SetControlStyle(style);
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 100, 25);
  glyph_->OnChange = TNotifyEvent(this, &TVrHyperButton::GlyphChanged);
}

TVrHyperButton::~TVrHyperButton() = default;

void TVrHyperButton::SetName(const QString &NewName) {
  // At design time the caption follows the name while the two are the same.
  const bool follow = ComponentState().Contains(csDesigning) && ControlStyle().Contains(csSetCaption) &&
                      !ComponentState().Contains(csLoading) && Caption() == Name();
  TVrGraphicImageControl::SetName(NewName);
  if (follow) SetCaption(NewName);
}

void TVrHyperButton::SetGlyph(const TBitmap *Value) {
  if (Value)
    glyph_->Assign(Value);
  else
    glyph_->Assign(nullptr);
  UpdateControlCanvas();
}

void TVrHyperButton::GlyphChanged(TObject *) { UpdateControlCanvas(); }

namespace {
template <typename T>
bool Change(T &field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}
} // namespace

void TVrHyperButton::SetBorderColor(TColor Value) {
  if (Change(borderColor_, Value)) UpdateControlCanvas();
}
void TVrHyperButton::SetBorderHighlight(TColor Value) {
  if (Change(borderHighlight_, Value)) UpdateControlCanvas();
}
void TVrHyperButton::SetBorderShadow(TColor Value) {
  if (Change(borderShadow_, Value)) UpdateControlCanvas();
}
void TVrHyperButton::SetColorEnter(TColor Value) {
  if (Change(colorEnter_, Value)) UpdateControlCanvas();
}
void TVrHyperButton::SetLayout(TVrImageTextLayout Value) {
  if (Change(layout_, Value)) UpdateControlCanvas();
}
void TVrHyperButton::SetMargin(int Value) {
  if (Change(margin_, Value)) UpdateControlCanvas();
}
void TVrHyperButton::SetSpacing(int Value) {
  if (Change(spacing_, Value)) UpdateControlCanvas();
}
void TVrHyperButton::SetDisabledText(TColor Value) {
  if (Change(disabledText_, Value)) UpdateControlCanvas();
}
void TVrHyperButton::SetDisabledAnimate(bool Value) {
  if (Change(disabledAnimate_, Value)) UpdateControlCanvas();
}

TVrImageTextPlacement TVrHyperButton::ContentPlacement() {
  TRect client = ClientRect();
  InflateRect(client, -1, -1);
  TCanvas *canvas = BitmapCanvas();
  canvas->SetFont(Font());
  const TSize glyphSize = glyph_->Empty() ? TSize{} : TSize{glyph_->Width(), glyph_->Height()};
  return VrCalcImageTextLayout(canvas, client, TPoint{1, 1}, Caption(), layout_, margin_, spacing_,
                               glyphSize);
}

void TVrHyperButton::PaintImage() {
  TVrImageTextPlacement placement = ContentPlacement();
  TCanvas *canvas = BitmapCanvas();
  const TRect whole = ClientRect();
  const bool lit = hot_ && Active();

  if (lit) {
    canvas->Pen()->SetColor(colorEnter_);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(colorEnter_);
  } else {
    canvas->Pen()->SetColor(borderColor_);
    canvas->Brush()->SetStyle(bsClear);
  }
  canvas->Rectangle(whole);

  TRect frame = whole;
  if (down_)
    Frame3D(canvas, frame, borderShadow_, borderHighlight_, 1);
  else if (lit)
    Frame3D(canvas, frame, borderHighlight_, borderShadow_, 1);

  if (down_) {
    placement.GlyphPos.X += 1;
    placement.GlyphPos.Y += 1;
    OffsetRect(placement.TextBounds, 1, 1);
  }

  if (!Caption().isEmpty()) {
    canvas->Brush()->SetStyle(bsClear);
    canvas->SetFont(Font());
    if (!Enabled()) canvas->Font()->SetColor(disabledText_);
    TRect textRect = placement.TextBounds;
    DrawText(canvas, Caption(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }

  if (!glyph_->Empty()) {
    canvas->Brush()->SetStyle(bsClear);
    const TRect source = Rect(0, 0, glyph_->Width(), glyph_->Height());
    canvas->BrushCopy(Bounds(placement.GlyphPos.X, placement.GlyphPos.Y, glyph_->Width(), glyph_->Height()),
                      glyph_.get(), source, glyph_->TransparentColor());
  }
}

void TVrHyperButton::MouseEnter() {
  if (hot_) return; // already heard of (a notice that came after the button followed the pointer itself)
  hot_ = true;
  if (held_) down_ = true;
  UpdateControlCanvas();
  TVrGraphicImageControl::MouseEnter();
}

void TVrHyperButton::MouseLeave() {
  if (!hot_) return;
  hot_ = false;
  if (held_) down_ = false;
  UpdateControlCanvas();
  TVrGraphicImageControl::MouseLeave();
}

void TVrHyperButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled()) {
    held_ = true;
    down_ = true;
    UpdateControlCanvas();
  }
  TVrGraphicImageControl::MouseDown(Button, Shift, X, Y);
}

void TVrHyperButton::MouseMove(TShiftState Shift, int X, int Y) {
  // While the button is held the mouse stays captured by it, and the window system may hold its enter and
  // leave notices back until the release: follow the pointer here so that dragging off lifts the button and
  // dragging back presses it again.
  if (held_) {
    const bool inside = PtInRect(ClientRect(), TPoint{X, Y});
    if (inside && !hot_)
      MouseEnter();
    else if (!inside && hot_)
      MouseLeave();
  }
  TVrGraphicImageControl::MouseMove(Shift, X, Y);
}

void TVrHyperButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const bool wasDown = down_;
  held_ = false;
  if (wasDown) {
    down_ = false;
    UpdateControlCanvas();
  }
  const std::weak_ptr<bool> token = AliveToken();
  TVrGraphicImageControl::MouseUp(Button, Shift, X, Y);
  if (wasDown && IsAlive(token)) Click();
}
