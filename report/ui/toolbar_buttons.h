// The report engine's own graphic buttons:
//   TfrSpeedButton  a speed button with glyph, caption and grouping; flat, it lights up under the mouse, and
//                   with GrayedInactive it shows its glyph greyed until the mouse comes;
//   TfrTBButton     a flat speed button for toolbars;
//   TfrTBSeparator  a gap between toolbar buttons, with an etched line.
#pragma once
#include "platform/windowing/controls.h"
#include "report/ui/button_glyphs.h"

using TMouseEnterEvent = TNotifyEvent;

class TfrSpeedButton : public TGraphicControl {
public:
  explicit TfrSpeedButton(TComponent *AOwner);
  ~TfrSpeedButton() override;
  QString ClassName() const override { return QStringLiteral("TfrSpeedButton"); }
  void WndProc(TMessage &Message) override;
  void Click() override;

  // Buttons of one parent with the same GroupIndex (not 0) stay down one at a time.
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int Value);
  bool Down() const { return down_; }
  void SetDown(bool Value);
  // Whether the down button of a group comes up when clicked again.
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool Value);
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  TBitmap *Glyph() { return glyph_.Glyph(); }
  void SetGlyph(const TBitmap *Value) { glyph_.SetGlyph(Value); }
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int Value) { glyph_.SetNumGlyphs(Value); }
  // A flat, enabled button shows its glyph greyed while the mouse is elsewhere.
  bool GrayedInactive() const { return grayedInactive_; }
  void SetGrayedInactive(bool Value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout Value);
  // Pixels between the edge and the glyph; -1 centres glyph and caption.
  int Margin() const { return margin_; }
  void SetMargin(int Value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int Value);

  // Whether the mouse is over the button, as the button last saw it.
  bool MouseInControl() const { return mouseInControl_; }
  // The look the button paints now (fbsInactive: greyed).
  TfrButtonState DrawState() const;

  TMouseEnterEvent OnMouseEnter;
  TMouseEnterEvent OnMouseLeave;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void PaintButton(TCanvas *canvas, const TRect &client);
  void GlyphChanged(TObject *);
  void UpdateExclusive();
  void UpdateTracking();
  void ButtonPressed(TMessage &Message);
  bool DialogChar(TMessage &Message);

  TfrButtonGlyph glyph_;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  bool flat_ = false;
  bool grayedInactive_ = true;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  // The state of the press: up, down (pressed or down) or exclusive (down in a group).
  TfrButtonState state_ = fbsUp;
  bool mouseInControl_ = false;
  bool dragging_ = false;
};

class TfrTBButton : public TfrSpeedButton {
public:
  explicit TfrTBButton(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrTBButton"); }
  // Placed on a parent aligned left or right it aligns top, on any other parent left.
  void SetParent(TWinControl *AParent) override;
};

class TfrTBSeparator : public TGraphicControl {
public:
  explicit TfrTBSeparator(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrTBSeparator"); }
  void SetParent(TWinControl *AParent) override;
  bool DrawBevel() const { return drawBevel_; }
  void SetDrawBevel(bool Value);

protected:
  void Paint() override;

private:
  bool drawBevel_ = true;
};

// The alignment a toolbar control takes on a parent: top on a parent aligned left or right, else left.
TAlign frToolbarAlign(const TWinControl *parent);
