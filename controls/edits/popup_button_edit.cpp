#include "controls/edits/popup_button_edit.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"
#include <QPainter>
#include <algorithm>

QImage PopupArrowGlyph() {
  QImage image(7, 4, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  // Rows of 7, 5, 3 and 1 black pixels, centred.
  for (int row = 0; row < 4; ++row)
    for (int x = row; x < 7 - row; ++x) image.setPixelColor(x, row, QColor(Qt::black));
  return image;
}

// ---- TOvcEdButton ----

TOvcEdButton::TOvcEdButton(TComponent *AOwner) : TBitBtn(AOwner) {
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  SetTabStop(false);
  SetStyle(bsNew);
  SetCaption(QString());
}

void TOvcEdButton::Click() {
  // The popup opens instead of the usual click (no modal result, no OnClick).
  if (edit_) edit_->PopupOpen();
}

// ---- TOvcEdPopup ----

TOvcEdPopup::TOvcEdPopup(TComponent *AOwner) : TOvcCustomEdit(AOwner) {
  button_ = new TOvcEdButton(this);
  button_->SetEdit(this);
  button_->SetParent(this);
  TBitmap arrow;
  arrow.SetImage(PopupArrowGlyph());
  button_->SetGlyph(&arrow);
  LayoutButton();
}

TOvcEdPopup::~TOvcEdPopup() = default;

TBitmap *TOvcEdPopup::ButtonGlyph() {
  if (!buttonGlyph_) buttonGlyph_ = std::make_unique<TBitmap>();
  return buttonGlyph_.get();
}

void TOvcEdPopup::SetButtonGlyph(const TBitmap *Value) {
  ButtonGlyph()->Assign(Value);
  if (buttonGlyph_->Empty()) {
    TBitmap arrow;
    arrow.SetImage(PopupArrowGlyph());
    button_->SetGlyph(&arrow);
  } else {
    button_->SetGlyph(buttonGlyph_.get());
  }
  GlyphChanged();
  LayoutButton();
}

void TOvcEdPopup::SetShowButton(bool Value) {
  if (Value == showButton_) return;
  showButton_ = Value;
  LayoutButton();
}

void TOvcEdPopup::Loaded() {
  TOvcCustomEdit::Loaded();
  if (buttonGlyph_ && !buttonGlyph_->Empty()) button_->SetGlyph(buttonGlyph_.get());
  LayoutButton();
}

void TOvcEdPopup::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TOvcCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  LayoutButton();
}

void TOvcEdPopup::CreateParams(TCreateParams &Params) {
  TOvcCustomEdit::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TOvcEdPopup::CreateWnd() {
  TOvcCustomEdit::CreateWnd();
  SetBounds(Left(), Top(), Width(), Height());
  button_->SetEnabled(PopupButtonEnabled());
}

void TOvcEdPopup::LayoutButton() {
  if (!button_) return;
  if (!showButton_) {
    button_->SetBounds(0, 0, 0, 0);
    button_->SetVisible(false);
  } else {
    int width = GetSystemMetrics(SM_CXVSCROLL);
    if (buttonGlyph_ && !buttonGlyph_->Empty()) width = std::max(width, buttonGlyph_->Width() + 4);
    int left = 0;
    int top = 0;
    int height = ClientHeight();
    if (BorderStyle() == bsNone) {
      left = Width() - width;
    } else if (Ctl3D()) {
      left = Width() - width - 4;
    } else {
      height = ClientHeight() - 2;
      left = Width() - width - 1;
      top = 1;
    }
    button_->SetBounds(left, top, width, std::max(0, height));
    button_->SetVisible(true);
  }
  // The text stops where the button begins, so that nothing typed runs under it.
  if (HandleAllocated()) {
    const int textRight = showButton_ ? std::max(0, button_->Left()) : ClientWidth();
    TRect text = Rect(0, 0, std::min(textRight, ClientWidth()), ClientHeight());
    Perform(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));
  }
}

void TOvcEdPopup::PopupOpen() {
  popupActive_ = true;
  if (HandleAllocated()) PostMessage(WindowHandle(), ovm_PopupOpen);
}

void TOvcEdPopup::PopupClose(TObject *Sender) {
  popupActive_ = false;
  if (HandleAllocated()) PostMessage(WindowHandle(), ovm_PopupClose);
}

void TOvcEdPopup::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case ovm_PopupOpen:
    if (OnPopupOpen) OnPopupOpen(this);
    return;
  case ovm_PopupClose:
    if (OnPopupClose) OnPopupClose(this);
    return;
  case CM_DIALOGKEY:
    if (popupActive_ && (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE)) {
      PopupClose(this);
      Message.Result = 1;
      return;
    }
    break;
  default: break;
  }
  TOvcCustomEdit::WndProc(Message);
}
