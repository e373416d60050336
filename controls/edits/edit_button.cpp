#include "controls/edits/edit_button.h"
#include "controls/edits/edit_button_glyphs.h"
#include "platform/graphics/resources.h"
#include "platform/windowing/window_functions.h"
#include <QLineEdit>
#include <QPainter>
#include <QPalette>

namespace {

TEditButtonKey ShortCutOf(WORD Key, TShiftState Shift) {
  TEditButtonKey result = Key;
  if (Shift.Contains(ssShift)) result |= 0x2000;
  if (Shift.Contains(ssCtrl)) result |= 0x4000;
  if (Shift.Contains(ssAlt)) result |= 0x8000;
  return result;
}

const char *StockResourceName(TSMButtonStyle Style) {
  switch (Style) {
  case TSMButtonStyle::bsCalculator: return "CALCULATORBMP";
  case TSMButtonStyle::bsCalendar: return "CALENDARBMP";
  case TSMButtonStyle::bsFile: return "FILEBMP";
  case TSMButtonStyle::bsDirectory: return "DIRECTORYBMP";
  case TSMButtonStyle::bsOk: return "OKBMP";
  case TSMButtonStyle::bsCancel: return "CANCELBMP";
  case TSMButtonStyle::bsFind: return "FINDBMP";
  case TSMButtonStyle::bsSearch: return "SEARCHBMP";
  case TSMButtonStyle::bsSum: return "SUMBMP";
  default: return nullptr;
  }
}

int StyleButtonWidth(TSMButtonStyle Style) {
  switch (Style) {
  case TSMButtonStyle::bsNone: return 0;
  case TSMButtonStyle::bsDropDown: return GetSystemMetrics(SM_CXVSCROLL);
  case TSMButtonStyle::bsCalculator:
  case TSMButtonStyle::bsCalendar: return 17;
  default: return 21;
  }
}

bool SingleImageStyle(TSMButtonStyle Style) {
  return Style >= TSMButtonStyle::bsDropDown && Style <= TSMButtonStyle::bsDirectory;
}

} // namespace

// ---- TEditButtonContainer ----

TEditButtonContainer::TEditButtonContainer(TComponent *AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  SetParentColor(false);
  SetTabStop(false);
}

void TEditButtonContainer::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

// ---- TCustomEditButton ----

TCustomEditButton::TCustomEditButton(TComponent *AOwner) : TCustomMaskEdit(AOwner) {
  SetHeight(21);
  container_ = new TEditButtonContainer(this);
  container_->SetParent(this);
  button_ = new TSpeedButton(this);
  button_->SetParent(container_);
  button_->SetWidth(0);
  button_->OnClick = TNotifyEvent(this, &TCustomEditButton::ButtonClicked);
  UpdateButtonPosition();
}

TCustomEditButton::~TCustomEditButton() = default;

void TCustomEditButton::Loaded() {
  TCustomMaskEdit::Loaded();
  UpdateButtonPosition();
}

void TCustomEditButton::SetButtonStyle(TSMButtonStyle Value) {
  buttonStyle_ = Value;
  button_->SetWidth(StyleButtonWidth(Value));
  const bool loading = ComponentState().Contains(csLoading);
  if (Value == TSMButtonStyle::bsNone || (Value == TSMButtonStyle::bsCustom && loading)) {
    TBitmap empty;
    button_->SetGlyph(&empty);
  }
  LoadStyleGlyph();
  // After the picture: a new picture guesses its image count from its shape.
  if (Value != TSMButtonStyle::bsCustom) button_->SetNumGlyphs(1);
  UpdateButtonPosition();
}

void TCustomEditButton::LoadStyleGlyph() {
  QImage image;
  switch (buttonStyle_) {
  case TSMButtonStyle::bsNone:
  case TSMButtonStyle::bsCustom: return;
  case TSMButtonStyle::bsDropDown: image = ComboArrowGlyph(); break;
  case TSMButtonStyle::bsEllipsis: image = EllipsisGlyph(); break;
  default:
    RegisterEditButtonGlyphs();
    image = LoadBitmapImage(QString::fromLatin1(StockResourceName(buttonStyle_)));
    break;
  }
  TBitmap glyph;
  glyph.SetImage(image);
  if (buttonStyle_ == TSMButtonStyle::bsEllipsis) glyph.SetPixelFormat(pf1bit);
  button_->SetGlyph(&glyph);
}

void TCustomEditButton::SetNumGlyphs(TNumGlyphs Value) {
  button_->SetNumGlyphs(SingleImageStyle(buttonStyle_) ? 1 : Value);
}

void TCustomEditButton::SetButtonWidth(int Value) {
  if (Value == button_->Width()) return;
  const bool loading = ComponentState().Contains(csLoading);
  if (!loading && Value >= ClientWidth()) return;
  button_->SetWidth(std::max(0, Value));
  UpdateButtonPosition();
}

void TCustomEditButton::SetButtonHint(const QString &Value) {
  button_->SetHint(Value);
  button_->SetShowHint(!Value.isEmpty());
}

void TCustomEditButton::SetFlat(bool Value) {
  if (flat_ == Value) return;
  flat_ = Value;
  UpdateWidget();
  UpdateButtonPosition();
  Invalidate();
}

void TCustomEditButton::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  // The widget's palette is made again from the colours, and then made see-through when asked.
  if (Widget()) ApplyToWidget();
  Invalidate();
}

void TCustomEditButton::ApplyToWidget() {
  TCustomMaskEdit::ApplyToWidget();
  ApplyTransparency();
}

void TCustomEditButton::ApplyTransparency() {
  QLineEdit *edit = LineEdit();
  if (!transparent_ || !edit) return;
  // No background of its own: what lies behind the edit shows through.
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, Qt::transparent);
  edit->setPalette(palette);
  edit->setAutoFillBackground(false);
}

void TCustomEditButton::ButtonClicked(TObject *) { ButtonClick(); }

void TCustomEditButton::ButtonClick() {
  if (button_->Width() >= 1 && OnButtonClick) OnButtonClick(this);
}

void TCustomEditButton::UpdateButtonPosition() {
  if (!container_) return;
  const int width = button_->Width();
  int left = 0;
  int top = 0;
  int height = 0;
  if (flat_) {
    left = ClientWidth() - width;
    height = ClientHeight();
  } else {
    left = ClientWidth() - width - 2;
    top = 1;
    height = ClientHeight() - 2;
  }
  container_->SetBounds(left, top, width, std::max(0, height));
  container_->SetVisible(width > 0);
  button_->SetBounds(0, 0, width, std::max(0, height));
  if (Widget()) {
    // The text runs from the left edge to the button (all the way when there is none).
    TRect text = Rect(0, 1, width > 0 ? left : ClientWidth(), ClientHeight());
    Perform(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));
  }
}

void TCustomEditButton::CreateWnd() {
  TCustomMaskEdit::CreateWnd();
  UpdateButtonPosition();
}

void TCustomEditButton::UpdateWidget() {
  TCustomMaskEdit::UpdateWidget();
  QLineEdit *edit = LineEdit();
  if (!edit) return;
  if (flat_) edit->setFrame(false);
  ApplyTransparency();
}

void TCustomEditButton::Resize() {
  TCustomMaskEdit::Resize();
  UpdateButtonPosition();
}

void TCustomEditButton::KeyDown(WORD &Key, TShiftState Shift) {
  TCustomMaskEdit::KeyDown(Key, Shift);
  if (Key != 0 && buttonKey_ != 0 && ShortCutOf(Key, Shift) == buttonKey_) {
    Key = 0;
    ButtonClick();
  }
}

bool TCustomEditButton::FlatFrameShown() const {
  return flat_ && (ComponentState().Contains(csDesigning) || Focused() || mouseOver_);
}

void TCustomEditButton::PaintHandler(TMessage &Message) {
  TCustomMaskEdit::PaintHandler(Message);
  QWidget *w = Widget();
  if (!w || !FlatFrameShown()) return;
  // A thin sunken frame: shadow above and left, highlight below and right.
  QPainter painter(w);
  const QRect r = w->rect().adjusted(0, 0, -1, -1);
  painter.setPen(ColorToQColor(clBtnShadow));
  painter.drawLine(r.topLeft(), r.topRight());
  painter.drawLine(r.topLeft(), r.bottomLeft());
  painter.setPen(ColorToQColor(clBtnHighlight));
  painter.drawLine(r.bottomLeft(), r.bottomRight());
  painter.drawLine(r.topRight(), r.bottomRight());
}

void TCustomEditButton::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
    mouseOver_ = Message.Msg == CM_MOUSEENTER;
    if (flat_) Invalidate();
    break;
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    if (flat_) Invalidate();
    break;
  case CM_COLORCHANGED:
  case CM_FONTCHANGED:
    TCustomMaskEdit::WndProc(Message);
    ApplyTransparency();
    return;
  default: break;
  }
  TCustomMaskEdit::WndProc(Message);
}
