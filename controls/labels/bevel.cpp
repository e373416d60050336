#include "controls/labels/bevel.h"
#include <algorithm>
#include <optional>

template <typename T>
void TKNGBevel::Change(T &Field, T Value) {
  if (Field == Value) return;
  Field = Value;
  if (OnChange) OnChange(this);
}

void TKNGBevel::Assign(const TPersistent *Source) {
  const auto *other = dynamic_cast<const TKNGBevel *>(Source);
  if (!other) {
    TPersistent::Assign(Source);
    return;
  }
  bevelInner_ = other->bevelInner_;
  bevelOuter_ = other->bevelOuter_;
  bevelWidth_ = other->bevelWidth_;
  bevelBorders_ = other->bevelBorders_;
  borderStyle_ = other->borderStyle_;
  borderWidth_ = other->borderWidth_;
  highLightColor_ = other->highLightColor_;
  shadowColor_ = other->shadowColor_;
  if (OnChange) OnChange(this);
}

void TKNGBevel::SetBevelInner(TKNGBevelStyle Value) { Change(bevelInner_, Value); }
void TKNGBevel::SetBevelOuter(TKNGBevelStyle Value) { Change(bevelOuter_, Value); }
void TKNGBevel::SetBevelWidth(int Value) { Change(bevelWidth_, std::max(1, Value)); }
void TKNGBevel::SetBevelBorders(TKNGBorderSides Value) { Change(bevelBorders_, Value); }
void TKNGBevel::SetBorderStyle(TKNGBorderStyle Value) { Change(borderStyle_, Value); }
void TKNGBevel::SetBorderWidth(int Value) { Change(borderWidth_, std::max(0, Value)); }
void TKNGBevel::SetHighLightColor(TColor Value) { Change(highLightColor_, Value); }
void TKNGBevel::SetShadowColor(TColor Value) { Change(shadowColor_, Value); }

int TKNGBevel::BevelSideSize() const {
  int size = borderWidth_;
  if (bevelOuter_ != TKNGBevelStyle::bvNone) size += bevelWidth_;
  if (bevelInner_ != TKNGBevelStyle::bvNone) size += bevelWidth_;
  return size;
}

namespace {

// Draws Lines rings on the chosen sides, left and top in TopLeft, right and bottom in BottomRight (either
// may be omitted to leave only the room), moving each chosen side inwards by a pixel per ring.
// Paint = false steps the rectangle in by the rings without painting them (a transparent face).
void DrawRings(TCanvas *Canvas, TRect &Rect, TKNGBorderSides Sides, int Lines, TColor TopLeft,
               TColor BottomRight, bool Paint = true) {
  Canvas->Brush()->SetStyle(bsSolid);
  for (int line = 0; line < Lines; ++line) {
    const TRect r = Rect;
    auto strip = [&](TKNGBorderSide side, TColor color, const TRect &area) {
      if (!Paint || !Sides.Contains(side)) return;
      Canvas->Brush()->SetColor(color);
      Canvas->FillRect(area);
    };
    strip(TKNGBorderSide::bsLeft, TopLeft, TRect{r.Left, r.Top, r.Left + 1, r.Bottom});
    strip(TKNGBorderSide::bsTop, TopLeft, TRect{r.Left, r.Top, r.Right, r.Top + 1});
    strip(TKNGBorderSide::bsRight, BottomRight, TRect{r.Right - 1, r.Top, r.Right, r.Bottom});
    strip(TKNGBorderSide::bsBottom, BottomRight, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom});
    if (Sides.Contains(TKNGBorderSide::bsLeft)) ++Rect.Left;
    if (Sides.Contains(TKNGBorderSide::bsTop)) ++Rect.Top;
    if (Sides.Contains(TKNGBorderSide::bsRight)) --Rect.Right;
    if (Sides.Contains(TKNGBorderSide::bsBottom)) --Rect.Bottom;
  }
}

void DrawBevelCut(TCanvas *Canvas, TRect &Rect, const TKNGBevel &Bevel, TKNGBevelStyle Style) {
  if (Style == TKNGBevelStyle::bvNone) return;
  const bool raised = Style == TKNGBevelStyle::bvRaised;
  const TColor first = raised ? Bevel.HighLightColor() : Bevel.ShadowColor();
  const TColor second = raised ? Bevel.ShadowColor() : Bevel.HighLightColor();
  DrawRings(Canvas, Rect, Bevel.BevelBorders(), Bevel.BevelWidth(), first, second);
}

} // namespace

void DrawKNGBevel(TCanvas *Canvas, TRect &Rect, const TKNGBevel &Bevel, TColor FaceColor, bool Transparent) {
  DrawBevelCut(Canvas, Rect, Bevel, Bevel.BevelOuter());
  DrawRings(Canvas, Rect, Bevel.BevelBorders(), Bevel.BorderWidth(), FaceColor, FaceColor, !Transparent);
  DrawBevelCut(Canvas, Rect, Bevel, Bevel.BevelInner());
}
