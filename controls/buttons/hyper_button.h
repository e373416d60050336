// TVrHyperButton: a flat button with an optional glyph beside its caption. It lights up in ColorEnter with a
// raised edge while the mouse is over it and is drawn sunken while pressed. A press that is dragged off the
// button comes up again and gives no click when released outside; dragged back in, it is drawn pressed again
// and clicks on release. A disabled button shows its caption in DisabledText and still lights up under the
// mouse while DisabledAnimate is set, but it neither presses nor clicks.
#pragma once
#include "controls/buttons/graphic_controls.h"

class TVrHyperButton : public TVrGraphicImageControl {
public:
  explicit TVrHyperButton(TComponent *AOwner);
  ~TVrHyperButton() override;
  QString ClassName() const override { return QStringLiteral("TVrHyperButton"); }

  void SetName(const QString &NewName) override;

  // The picture beside the caption (empty: none); its transparent colour is left out when it is drawn.
  TBitmap *Glyph() const { return glyph_.get(); }
  void SetGlyph(const TBitmap *Value);
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor Value);
  TColor BorderHighlight() const { return borderHighlight_; }
  void SetBorderHighlight(TColor Value);
  TColor BorderShadow() const { return borderShadow_; }
  void SetBorderShadow(TColor Value);
  TColor ColorEnter() const { return colorEnter_; }
  void SetColorEnter(TColor Value);
  // The face colour while the mouse is elsewhere: the control's Color.
  TColor ColorLeave() const { return Color(); }
  void SetColorLeave(TColor Value) { SetColor(Value); }
  TVrImageTextLayout Layout() const { return layout_; }
  void SetLayout(TVrImageTextLayout Value);
  int Margin() const { return margin_; }
  void SetMargin(int Value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int Value);
  TColor DisabledText() const { return disabledText_; }
  void SetDisabledText(TColor Value);
  bool DisabledAnimate() const { return disabledAnimate_; }
  void SetDisabledAnimate(bool Value);

  // Run-time state: the mouse is over the button; the left button went down on it and is not yet up; the
  // button is drawn pressed.
  bool Hot() const { return hot_; }
  bool Held() const { return held_; }
  bool Down() const { return down_; }

  // Where the glyph and the caption go (client coordinates), as painting places them while not pressed.
  TVrImageTextPlacement ContentPlacement();

protected:
  void PaintImage() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void GlyphChanged(TObject *Sender);
  // Lit up: hot, and enabled or animated while disabled.
  bool Active() const { return Enabled() || disabledAnimate_; }

  std::unique_ptr<TBitmap> glyph_;
  TColor borderColor_ = clGray;
  TColor borderHighlight_ = clWindow;
  TColor borderShadow_ = clBlack;
  TColor colorEnter_ = 704216;
  TVrImageTextLayout layout_ = ImageLeft;
  int margin_ = -1;
  int spacing_ = 5;
  TColor disabledText_ = clInactiveCaption;
  bool disabledAnimate_ = true;
  bool hot_ = false;
  bool held_ = false;
  bool down_ = false;
};
