// Entry-field window and drawing: window style, height, caret placement with horizontal scroll, painting
// of the text with its selection, control characters and borders.
#include "controls/entry/base_entry_field.h"
#include "controls/framework/borders.h"
#include "controls/framework/caret.h"
#include "platform/graphics/canvas.h"
#include "platform/windowing/window_functions.h"

void TOvcBaseEntryField::CreateParams(TCreateParams &Params) {
  TOvcCustomControlEx::CreateParams(Params);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  if (maxLength_ == 0) maxLength_ = int(picture_.size());
  insertMode_ = true;
  acceptNextChar_ = true;
  ctrlCharPrefix_ = false;
  charAllowed_ = false;
  modified_ = false;
  validating_ = false;
  errorPending_ = false;
  mouseFocusing_ = false;
  refocusAfterError_ = false;
  exitIncomplete_ = false;
  keepCaret_ = false;
  errorBeingReported_ = false;
  settingValue_ = false;
  gettingValue_ = false;
  inUserValidation_ = false;
  focused_ = false;
}

void TOvcBaseEntryField::SetBorderStyle(TBorderStyle Value) {
  if (Value == borderStyle_) return;
  borderStyle_ = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TOvcBaseEntryField::BordersChanged(TObject *) {
  const bool any = borders_->LeftBorder()->Enabled() || borders_->RightBorder()->Enabled() ||
                   borders_->TopBorder()->Enabled() || borders_->BottomBorder()->Enabled();
  borderStyle_ = any ? bsNone : bsSingle;
  SetCtl3D(!any);
  if (HandleAllocated()) RecreateWnd();
  Repaint();
}

int TOvcBaseEntryField::LeftBorderWidth() const {
  return borders_->LeftBorder()->Enabled() ? borders_->LeftBorder()->PenWidth() : 0;
}

int TOvcBaseEntryField::RightBorderWidth() const {
  return borders_->RightBorder()->Enabled() ? borders_->RightBorder()->PenWidth() : 0;
}

void TOvcBaseEntryField::SetAutoSize(bool Value) {
  autoSize_ = Value;
  if (Value) DoRecalcHeight();
}

void TOvcBaseEntryField::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (autoSize_ && AHeight != Height() && !recalcingHeight_ && !ComponentState().Contains(csLoading) &&
      HandleAllocated())
    autoSize_ = false;
  TOvcCustomControlEx::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TOvcBaseEntryField::DoRecalcHeight() {
  TCanvas *canvas = Canvas();
  canvas->SetFont(Font());
  const int fontHeight = canvas->TextMetrics().tmHeight;
  textOffset_ = 1;
  if (!autoSize_) return;
  const int border = GetSystemMetrics(SM_CYBORDER);
  const int height = fontHeight + (Ctl3D() ? 8 : 6) * border;
  recalcingHeight_ = true;
  SetBounds(Left(), Top(), Width(), height);
  recalcingHeight_ = false;
  textOffset_ = std::max(0, (ClientHeight() - fontHeight) / 2);
}

int TOvcBaseEntryField::TextStartX(const QString &shown, bool rightAligned) {
  if (!rightAligned) return textMargin_ + LeftBorderWidth() - 2;
  return ClientWidth() - Canvas()->TextWidth(shown.mid(firstVisible_)) - 1 - textMargin_ - RightBorderWidth();
}

bool TOvcBaseEntryField::PositionCaret(bool Rescroll) {
  const int oldFirst = firstVisible_;
  TCanvas *canvas = Canvas();
  canvas->SetFont(Font());
  const QString shown = GetDisplayString();
  caret_ = std::clamp(caret_, 0, int(std::max(shown.size(), editText_.size())));
  const int first = int(FirstEditablePos());
  if (caret_ == first || caret_ == first + 1) firstVisible_ = 0;
  if (caret_ < firstVisible_) firstVisible_ = caret_;
  const int room = ClientWidth() - textMargin_ - 1;
  rightAligned_ = false;
  if (options_.Contains(efoRightAlign) && canvas->TextWidth(shown.mid(firstVisible_)) < room) {
    rightAligned_ = true;
    firstVisible_ = 0;
  } else if (Rescroll || caret_ >= firstVisible_) {
    while (firstVisible_ < caret_ &&
           canvas->TextWidth(shown.mid(firstVisible_, caret_ - firstVisible_)) > room)
      ++firstVisible_;
  }
  int widthTo = canvas->TextWidth(shown.mid(firstVisible_, caret_ - firstVisible_));
  const int cellWidth =
      std::max(1, canvas->TextWidth(caret_ < shown.size() ? QString(shown.at(caret_)) : QStringLiteral(" ")));
  const TOvcCaret *look = insertMode_ ? caretPair_->CaretIns() : caretPair_->CaretOvr();
  const TOvcCaretShape shape = look->Shape();
  if (shape == csBlock || shape == csHalfBlock || shape == csHorzLine || caretPair_->Width() >= 5)
    widthTo += rightAligned_ ? -1 : 1;
  int x = 0;
  if (fieldKind_ == fkNumeric)
    x = ClientWidth() - textMargin_ - RightBorderWidth() - 1;
  else if (rightAligned_)
    x = ClientWidth() - (canvas->TextWidth(shown) - widthTo) - 1 - textMargin_ - RightBorderWidth();
  else
    x = textMargin_ + LeftBorderWidth() + widthTo + 1 - 3;
  caretPair_->SetCellHeight(std::max(1, canvas->TextMetrics().tmHeight));
  caretPair_->SetCellWidth(cellWidth);
  caretPair_->SetPosition(x, std::max(0, textOffset_));
  return firstVisible_ != oldFirst;
}

void TOvcBaseEntryField::ShowCaret() {
  if (!focused_) return;
  caretPair_->SetInsertMode(insertMode_);
  caretPair_->SetLinked(true);
  PositionCaret(true);
  caretPair_->SetVisible(true);
}

void TOvcBaseEntryField::HideCaret() { caretPair_->SetVisible(false); }

void TOvcBaseEntryField::Paint() {
  TCanvas *canvas = Canvas();
  canvas->SetFont(Font());
  const bool designing = ComponentState().Contains(csDesigning);
  QString shown = GetDisplayString();
  if (designing) shown = GetFullPicture();
  TColor text = Font()->Color();
  TColor back = Color();
  if (!Enabled()) {
    text = efColors_->Disabled()->TextColor();
    back = efColors_->Disabled()->BackColor();
  } else if (errorPending_) {
    text = efColors_->Error()->TextColor();
    back = efColors_->Error()->BackColor();
  }
  canvas->Brush()->SetColor(back);
  canvas->FillRect(ClientRect());

  const int y = std::max(0, textOffset_);
  const bool showSelection = focused_ && selEnd_ > selStart_;
  // A number stands at the right edge; any selection in it is the whole number (a digit replaces it).
  const bool number = fieldKind_ == fkNumeric && !designing;
  if (number) shown = shown.trimmed();
  const int first = designing || number ? 0 : firstVisible_;
  int x = number ? ClientWidth() - textMargin_ - RightBorderWidth() - canvas->TextWidth(shown)
                 : TextStartX(shown, rightAligned_);
  auto control = [&](int i) {
    return !designing && !number && i < editText_.size() && editText_.at(i).unicode() < 32;
  };
  auto selected = [&](int i) { return showSelection && (number || (i >= selStart_ && i < selEnd_)); };
  for (int i = first; i < shown.size();) {
    // Runs of characters drawn alike: control or printable, selected or not.
    int end = i + 1;
    while (end < shown.size() && control(end) == control(i) && selected(end) == selected(i)) ++end;
    const QString run = shown.mid(i, end - i);
    const int width = canvas->TextWidth(run);
    TColor runBack = selected(i) ? efColors_->Highlight()->BackColor() : back;
    TColor runText = selected(i)  ? efColors_->Highlight()->TextColor()
                     : control(i) ? controlCharColor_
                                  : text;
    canvas->Brush()->SetColor(runBack);
    canvas->FillRect(TRect{x, y, x + width, y + canvas->TextMetrics().tmHeight});
    canvas->Font()->SetColor(runText);
    canvas->TextOut(x, y, run);
    x += width;
    i = end;
  }
  if (focused_) caretPair_->Paint(canvas, text);
  PaintBorders();
}

void TOvcBaseEntryField::PaintBorders() {
  TCanvas *canvas = Canvas();
  const int right = ClientWidth();
  const int bottom = ClientHeight();
  auto line = [canvas](const TOvcBorder *border, int x1, int y1, int x2, int y2) {
    if (!border->Enabled()) return;
    canvas->Pen()->SetColor(border->PenColor());
    canvas->Pen()->SetStyle(border->PenStyle());
    canvas->Pen()->SetWidth(border->PenWidth());
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  line(borders_->LeftBorder(), 0, 0, 0, bottom);
  line(borders_->RightBorder(), right - 1, 0, right - 1, bottom);
  line(borders_->TopBorder(), 0, 0, right, 0);
  line(borders_->BottomBorder(), 0, bottom - 1, right, bottom - 1);
}
