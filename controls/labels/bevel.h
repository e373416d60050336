// TKNGBevel: the bevel settings of a bevelled label (outer and inner bevel, a border between them, which
// sides they are drawn on, and their colours), telling its owner of every change through OnChange; and the
// routine that draws such a bevel into a rectangle.
#pragma once
#include "platform/core/events.h"
#include "platform/core/object.h"
#include "platform/core/small_set.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/color.h"

enum class TKNGBevelStyle { bvNone, bvLowered, bvRaised };
enum class TKNGBorderSide { bsLeft, bsTop, bsRight, bsBottom };
using TKNGBorderSides = TSmallSet<TKNGBorderSide>;
enum class TKNGBorderStyle { bsNone, bsSingle };

class TKNGBevel : public TPersistent {
public:
  static TKNGBorderSides AllSides() {
    return {TKNGBorderSide::bsLeft, TKNGBorderSide::bsTop, TKNGBorderSide::bsRight, TKNGBorderSide::bsBottom};
  }

  QString ClassName() const override { return QStringLiteral("TKNGBevel"); }
  void Assign(const TPersistent *Source) override;

  TKNGBevelStyle BevelInner() const { return bevelInner_; }
  void SetBevelInner(TKNGBevelStyle Value);
  TKNGBevelStyle BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TKNGBevelStyle Value);
  // Lines per bevel, at least 1.
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int Value);
  TKNGBorderSides BevelBorders() const { return bevelBorders_; }
  void SetBevelBorders(TKNGBorderSides Value);
  TKNGBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TKNGBorderStyle Value);
  // Lines of the label's colour between the outer and the inner bevel, 0 or more.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int Value);
  TColor HighLightColor() const { return highLightColor_; }
  void SetHighLightColor(TColor Value);
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor Value);

  // The room the bevel takes on each side: the border, and a bevel width per bevel that is drawn.
  int BevelSideSize() const;

  TNotifyEvent OnChange;

private:
  template <typename T>
  void Change(T &Field, T Value);

  TKNGBevelStyle bevelInner_ = TKNGBevelStyle::bvNone;
  TKNGBevelStyle bevelOuter_ = TKNGBevelStyle::bvRaised;
  int bevelWidth_ = 1;
  TKNGBorderSides bevelBorders_ = AllSides();
  TKNGBorderStyle borderStyle_ = TKNGBorderStyle::bsNone;
  int borderWidth_ = 0;
  TColor highLightColor_ = clBtnHighlight;
  TColor shadowColor_ = clBtnShadow;
};

// Draws Bevel into Rect: the outer bevel, the border (in FaceColor, or only its room when Transparent), then
// the inner bevel. Rect ends as the area inside them.
void DrawKNGBevel(TCanvas *Canvas, TRect &Rect, const TKNGBevel &Bevel, TColor FaceColor, bool Transparent);
