// The class library's label and image, graphic controls painted by this code:
//   TLabel  a caption with an "&" accelerator that moves the focus to its FocusControl, sized to its text
//           (AutoSize), aligned, laid out vertically, word-wrapped, transparent or filled;
//   TImage  a picture (any kind TPicture holds), drawn at its size, centred, stretched or scaled keeping its
//           proportions.
#pragma once
#include "platform/graphics/picture.h"
#include "platform/widgets/std_control_types.h"
#include "platform/windowing/controls.h"
#include <memory>

class TCustomLabel : public TGraphicControl {
public:
  explicit TCustomLabel(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TCustomLabel"); }
  void WndProc(TMessage &Message) override;
  void Notification(TComponent *AComponent, TOperation Operation) override;
  void Loaded() override;

  // The size follows the text (keeping the right edge of a right-aligned label).
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);
  // Whether "&" marks the accelerator (else it is shown as it is).
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool Value);
  // Not transparent: the label fills its rectangle with its colour first.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  // The control the accelerator gives the focus to.
  TWinControl *FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl *Value);

protected:
  // The text drawn (the caption).
  virtual QString GetLabelText() const { return Caption(); }
  // Draws (or with DT_CALCRECT measures) the text in Rect with the DT_ flags; a disabled label's text is
  // engraved.
  virtual void DoDrawText(TRect &Rect, unsigned Flags);
  // Sets the bounds from the text when AutoSize is on.
  virtual void AdjustBounds();
  void Paint() override;

private:
  bool autoSize_ = true;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  bool transparent_ = false;
  TWinControl *focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
public:
  using TCustomLabel::TCustomLabel;
  QString ClassName() const override { return QStringLiteral("TLabel"); }
};

class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent *AOwner);
  ~TImage() override;
  QString ClassName() const override { return QStringLiteral("TImage"); }

  TPicture *Picture() { return picture_.get(); }
  void SetPicture(const TPicture *Value) { picture_->Assign(Value); }
  // The canvas of the picture's bitmap (an empty picture gets a bitmap of the control's size first);
  // EInvalidOperation when the picture holds another kind.
  TCanvas *Canvas();
  // Stretched to the control (else at its top left, in its own size).
  bool Stretch() const { return stretch_; }
  void SetStretch(bool Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  // The control takes the picture's size.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value);
  // Where the picture is drawn, in client coordinates.
  TRect DestRect() const;

protected:
  void Paint() override;

private:
  void PictureChanged(TObject *);
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
  bool transparent_ = false;
  bool autoSize_ = false;
};
