// TCustomEditButton: a masked edit with a speed button at its right edge. The button stands in a small
// container inside the edit, and the edit's text area ends where the container begins, so that text never
// runs under the button. The button's picture follows ButtonStyle: none, one of the program's own (Glyph),
// the combo-box arrow, an ellipsis or one of the stock pictures (edit_button_glyphs.h). A click on the
// button, or ButtonKey (Alt+Down unless changed) pressed in the edit, fires OnButtonClick.
//
// Flat edits have no border; a thin sunken frame is drawn round them while they have the focus or the mouse
// is over them. A transparent edit lets the controls behind it show through its background.
#pragma once
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_edits.h"
#include "platform/windowing/virtual_keys.h"

enum class TSMButtonStyle {
  bsNone,
  bsCustom,
  bsDropDown,
  bsEllipsis,
  bsCalculator,
  bsCalendar,
  bsFile,
  bsDirectory,
  bsOk,
  bsCancel,
  bsFind,
  bsSearch,
  bsSum
};

// A shortcut as the class library codes it: the virtual key with 0x2000 for Shift, 0x4000 for Ctrl and
// 0x8000 for Alt. The edit button's is Alt+Down (32808).
using TEditButtonKey = WORD;
constexpr TEditButtonKey kEditButtonDefaultKey = 0x8000 | VK_DOWN;

// The panel the edit's speed button stands in.
class TEditButtonContainer : public TCustomControl {
public:
  explicit TEditButtonContainer(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TEditButtonContainer"); }

protected:
  void Paint() override;
};

class TCustomEditButton : public TCustomMaskEdit {
public:
  explicit TCustomEditButton(TComponent *AOwner);
  ~TCustomEditButton() override;
  QString ClassName() const override { return QStringLiteral("TCustomEditButton"); }
  void WndProc(TMessage &Message) override;
  void Loaded() override;

  // Choosing a style sets the button's width (0 for bsNone, the scroll-bar arrow width for bsDropDown, 17
  // for bsCalculator and bsCalendar, 21 otherwise) and its picture; every style but bsCustom shows one image.
  TSMButtonStyle ButtonStyle() const { return buttonStyle_; }
  void SetButtonStyle(TSMButtonStyle Value);
  TBitmap *Glyph() { return button_->Glyph(); }
  void SetGlyph(const TBitmap *Value) { button_->SetGlyph(Value); }
  TNumGlyphs NumGlyphs() const { return button_->NumGlyphs(); }
  // Kept at 1 under the styles bsDropDown to bsDirectory.
  void SetNumGlyphs(TNumGlyphs Value);
  int ButtonWidth() const { return button_->Width(); }
  // Taken only when narrower than the edit (while loading, as it is).
  void SetButtonWidth(int Value);
  QString ButtonHint() const { return button_->Hint(); }
  void SetButtonHint(const QString &Value);
  // The shortcut that acts as a click on the button (0: none).
  TEditButtonKey ButtonKey() const { return buttonKey_; }
  void SetButtonKey(TEditButtonKey Value) { buttonKey_ = Value; }
  bool ButtonFlat() const { return button_->Flat(); }
  void SetButtonFlat(bool Value) { button_->SetFlat(Value); }
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);

  TNotifyEvent OnButtonClick;

  TSpeedButton *Button() const { return button_; }
  TEditButtonContainer *ButtonContainer() const { return container_; }
  // What a click on the button does: OnButtonClick, when the button is at least a pixel wide.
  virtual void ButtonClick();

protected:
  void CreateWnd() override;
  void UpdateWidget() override;
  void ApplyToWidget() override;
  void Resize() override;
  void KeyDown(WORD &Key, TShiftState Shift) override;
  void PaintHandler(TMessage &Message) override;
  // Places the button's container at the right edge and ends the text area at its left edge.
  void UpdateButtonPosition();
  // Whether the thin frame of a flat edit shows now.
  bool FlatFrameShown() const;

private:
  void ButtonClicked(TObject *Sender);
  void LoadStyleGlyph();
  void ApplyTransparency();

  TEditButtonContainer *container_ = nullptr;
  TSpeedButton *button_ = nullptr;
  TSMButtonStyle buttonStyle_ = TSMButtonStyle::bsNone;
  TEditButtonKey buttonKey_ = kEditButtonDefaultKey;
  bool flat_ = false;
  bool transparent_ = false;
  bool mouseOver_ = false;
};
