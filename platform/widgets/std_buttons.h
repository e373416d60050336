// The class library's buttons:
//   TButton       a push button (QPushButton): Default (Enter) and Cancel (Escape) buttons of its form, and a
//                 ModalResult that a click hands to the form, ending its modal loop;
//   TBitBtn       a push button with a glyph beside the caption;
//   TCheckBox     a check box (QCheckBox), optionally with a grayed third state;
//   TRadioButton  a radio button (QRadioButton); checking one unchecks the others of its parent;
//   TSpeedButton  a flat graphic button (painted by this code) that can stay down, alone or in a group.
//
// A click reaches the button as BN_CLICKED through its parent (WM_COMMAND reflected as CN_COMMAND) and fires
// OnClick. A caption's "&" accelerator works as in the class library: the form offers the typed character
// (CM_DIALOGCHAR) and the button whose accelerator it is acts; Qt's own mnemonic shortcuts are not used.
#pragma once
#include "platform/widgets/button_glyph.h"
#include "platform/widgets/std_control_types.h"
#include "platform/windowing/controls.h"
#include "platform/windowing/forms.h"

class QAbstractButton;
class QPainter;
class QStyleOptionButton;

// ---- TButtonControl ----

class TButtonControl : public TWinControl {
public:
  explicit TButtonControl(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TButtonControl"); }
  void WndProc(TMessage &Message) override;

protected:
  virtual bool GetChecked() const { return false; }
  virtual void SetChecked(bool Value) {}
  // While set, changing the checked state fires no OnClick.
  bool ClicksDisabled() const { return clicksDisabled_; }
  void SetClicksDisabled(bool Value) { clicksDisabled_ = Value; }
  QAbstractButton *ButtonWidget() const;
  void SetTextBuf(const QString &Value) override;
  void CreateWnd() override;
  void ApplyToWidget() override;
  // Shows the caption on the widget, without Qt's mnemonic shortcut.
  void UpdateCaption();
  void KeepSystemBoxColors();

private:
  bool clicksDisabled_ = false;
};

// ---- TButton ----

class TButton : public TButtonControl {
public:
  explicit TButton(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TButton"); }
  void WndProc(TMessage &Message) override;
  void Click() override;

  // Enter presses the default button while the focused control is no button.
  bool Default() const { return default_; }
  void SetDefault(bool Value);
  // Escape presses the cancel button.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool Value) { cancel_ = Value; }
  // Handed to the form on a click; a modal form closes with it.
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult Value) { modalResult_ = Value; }
  // Whether Enter presses this button now: it has the focus, or it is the default button and no other
  // button has the focus.
  bool Active() const;

  // Paints the button (the widget calls this; a bit button draws its glyph).
  virtual void PaintButton(QPainter &Painter, QStyleOptionButton &Option);

protected:
  QWidget *CreateWindowWidget(const TCreateParams &Params) override;

private:
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
};

// ---- TBitBtn ----

enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

class TBitBtn : public TButton {
public:
  explicit TBitBtn(TComponent *AOwner);
  ~TBitBtn() override;
  QString ClassName() const override { return QStringLiteral("TBitBtn"); }
  TBitmap *Glyph() { return glyph_.Glyph(); }
  void SetGlyph(const TBitmap *Value) { glyph_.SetGlyph(Value); }
  TNumGlyphs NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs Value) { glyph_.SetNumGlyphs(Value); }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return margin_; }
  void SetMargin(int Value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int Value);
  TButtonStyle Style() const { return style_; }
  void SetStyle(TButtonStyle Value) { style_ = Value; }

  void PaintButton(QPainter &Painter, QStyleOptionButton &Option) override;

private:
  void GlyphChanged(TObject *);
  TButtonGlyph glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  TButtonStyle style_ = bsAutoDetect;
};

// ---- TCheckBox ----

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
using TLeftRight = TAlignment;

class TCustomCheckBox : public TButtonControl {
public:
  explicit TCustomCheckBox(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TCustomCheckBox"); }
  void WndProc(TMessage &Message) override;

  TCheckBoxState State() const { return state_; }
  // A change fires OnClick (unless clicks are disabled), whoever makes it.
  void SetState(TCheckBoxState Value);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
  // A click steps unchecked, grayed, checked when on; unchecked, checked otherwise.
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
  // Which side of the box the caption is on: taRightJustify (the default) puts it right of the box.
  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight Value);

protected:
  // What a click does: the next state.
  virtual void Toggle();
  bool GetChecked() const override { return Checked(); }
  QWidget *CreateWindowWidget(const TCreateParams &Params) override;
  void CreateWnd() override;

private:
  void UpdateWidgetState();
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TLeftRight alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
public:
  using TCustomCheckBox::TCustomCheckBox;
  QString ClassName() const override { return QStringLiteral("TCheckBox"); }
};

// ---- TRadioButton ----

class TRadioButton : public TButtonControl {
public:
  explicit TRadioButton(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TRadioButton"); }
  void WndProc(TMessage &Message) override;

  bool Checked() const { return checked_; }
  // Checking unchecks the other radio buttons of the parent and fires OnClick; the checked button is the
  // group's tab stop.
  void SetChecked(bool Value) override;
  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight Value);

protected:
  bool GetChecked() const override { return checked_; }
  QWidget *CreateWindowWidget(const TCreateParams &Params) override;
  void CreateWnd() override;

private:
  void UpdateWidgetState();
  bool checked_ = false;
  TLeftRight alignment_ = taRightJustify;
};

// ---- TSpeedButton ----

class TSpeedButton : public TGraphicControl {
public:
  explicit TSpeedButton(TComponent *AOwner);
  ~TSpeedButton() override;
  QString ClassName() const override { return QStringLiteral("TSpeedButton"); }
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
  // No frame until the mouse is over the button.
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  TBitmap *Glyph() { return glyph_.Glyph(); }
  void SetGlyph(const TBitmap *Value) { glyph_.SetGlyph(Value); }
  TNumGlyphs NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs Value) { glyph_.SetNumGlyphs(Value); }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return margin_; }
  void SetMargin(int Value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int Value);
  // Whether the mouse is over the button now.
  bool MouseInControl() const { return mouseInControl_; }
  // The look being drawn.
  TButtonState State() const { return state_; }

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void GlyphChanged(TObject *);
  // Tells the other buttons of the group that this one went down.
  void UpdateExclusive();
  TButtonGlyph glyph_;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  bool flat_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  TButtonState state_ = bsUp;
  bool dragging_ = false;
  bool mouseInControl_ = false;
};
