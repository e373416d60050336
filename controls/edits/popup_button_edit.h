// TOvcEdPopup: an edit with a button at its right edge that opens a popup. Descendants show the popup in
// PopupOpen and take it down in PopupClose; the events OnPopupOpen and OnPopupClose follow through posted
// messages once the handling in progress is over. While the popup is open, Enter and Escape close it.
#pragma once
#include "controls/edits/custom_edit.h"
#include "platform/graphics/bitmap.h"
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_control_types.h"
#include <memory>

// Posted to the edit itself: fire OnPopupClose / OnPopupOpen.
constexpr UINT ovm_PopupClose = 0x0464;
constexpr UINT ovm_PopupOpen = 0x0465;

using TOvcPopupEvent = TNotifyEvent;

// Which edge of the edit the popup lines up with: paLeft or paRight. The names are the popup menus' own
// alignment values, so a form may hold both kinds of control.
using TOvcPopupAnchor = TPopupAlignment;

class TOvcEdPopup;

// The edit's button: no caption, no tab stop; a click opens the edit's popup.
class TOvcEdButton : public TBitBtn {
public:
  explicit TOvcEdButton(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcEdButton"); }
  void Click() override;

  TOvcEdPopup *Edit() const { return edit_; }
  void SetEdit(TOvcEdPopup *Value) { edit_ = Value; }

private:
  TOvcEdPopup *edit_ = nullptr;
};

class TOvcEdPopup : public TOvcCustomEdit {
public:
  explicit TOvcEdPopup(TComponent *AOwner);
  ~TOvcEdPopup() override;
  QString ClassName() const override { return QStringLiteral("TOvcEdPopup"); }
  void Loaded() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(TMessage &Message) override;

  TOvcEdButton *Button() const { return button_; }
  // The picture on the button (made when first asked for); an empty one leaves the drawn arrow.
  TBitmap *ButtonGlyph();
  void SetButtonGlyph(const TBitmap *Value);
  bool ShowButton() const { return showButton_; }
  void SetShowButton(bool Value);
  bool PopupActive() const { return popupActive_; }
  TOvcPopupAnchor PopupAnchor() const { return popupAnchor_; }
  void SetPopupAnchor(TOvcPopupAnchor Value) { popupAnchor_ = Value; }

  // The button can be pressed: not when the edit is read-only.
  virtual bool PopupButtonEnabled() const { return !ReadOnly(); }
  virtual void GlyphChanged() {}
  // Closing and opening the popup: the flag, then the event through a posted message.
  virtual void PopupClose(TObject *Sender);
  virtual void PopupOpen();

  TOvcPopupEvent OnPopupOpen;
  TOvcPopupEvent OnPopupClose;

protected:
  void CreateParams(TCreateParams &Params) override;
  void CreateWnd() override;
  // Places (or hides) the button and ends the text where the button begins.
  void LayoutButton();

private:
  TOvcEdButton *button_ = nullptr;
  std::unique_ptr<TBitmap> buttonGlyph_;
  bool showButton_ = true;
  bool popupActive_ = false;
  TOvcPopupAnchor popupAnchor_ = paLeft;
};

// The button's own picture, drawn here: a small black arrow pointing down on a transparent background.
QImage PopupArrowGlyph();
