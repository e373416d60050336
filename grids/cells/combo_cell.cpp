#include "grids/cells/combo_cell.h"
#include "grids/base/table_base.h"
#include "grids/base/table_messages.h"
#include "grids/cells/cell_editors.h"
#include "grids/cells/cell_pictures.h"
#include "platform/graphics/resources.h"
#include "platform/windowing/virtual_keys.h"

namespace {

constexpr WPARAM kEnter = 13, kTab = 9, kEscape = 27;
constexpr int kEditorHeight = 24;

std::shared_ptr<const TBitmap> SharedArrow() {
  static std::weak_ptr<const TBitmap> shared;
  std::shared_ptr<const TBitmap> arrow = shared.lock();
  if (!arrow) {
    RegisterCellPictures();
    arrow = LoadBitmap(QString::fromLatin1(ComboArrowResource));
    shared = arrow;
  }
  return arrow;
}

// A value's text as the cell keeps it: at most Limit characters (0: no limit).
QString KeptText(const QString &Text, int Limit) { return Limit > 0 ? Text.left(Limit) : Text; }

} // namespace

// ---- the editor ----

bool TOvcTCComboBoxEdit::PassedToTable(const TMessage &Message) {
  if (!CellOwner) return false;
  const WPARAM key = Message.WParam;
  const bool list = !IsEditable();
  bool toTable = false;
  switch (CellOwner->AskTableKeyFilter(Message)) {
  case tkcNavigation:
    // Up, Down and the page keys move through the list; Left and Right leave a list at once, an edit only
    // from the ends of its text.
    if (key == VK_LEFT)
      toTable = list || (CellOwner->AutoAdvanceLeftRight() && SelStart() == 0 && SelLength() == 0);
    else if (key == VK_RIGHT)
      toTable = list || (CellOwner->AutoAdvanceLeftRight() && !(SelLength() > 0 && SelStart() > 0) &&
                         SelStart() + SelLength() == Text().length());
    break;
  case tkcTableTakes: toTable = true; break;
  default: break;
  }
  if (toTable) CellOwner->PostKeyToTable(Message);
  return toTable;
}

void TOvcTCComboBoxEdit::EditWndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_KEYDOWN:
    if (PassedToTable(Message)) return;
    break;
  case WM_CHAR: {
    if (Message.WParam == kEnter || Message.WParam == kTab || Message.WParam == kEscape) return;
    const std::weak_ptr<bool> token = AliveToken();
    TCustomComboBox::EditWndProc(Message);
    if (token.expired() || !CellOwner) return;
    if (CellOwner->AutoAdvanceChar() && MaxLength() > 0 && Text().length() >= MaxLength())
      CellOwner->PostKeyToTable(TMessage{WM_KEYDOWN, VK_RIGHT, 0, 0});
    return;
  }
  default: break;
  }
  TCustomComboBox::EditWndProc(Message);
}

void TOvcTCComboBoxEdit::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_KEYDOWN:
    // An editable box's keys go through its edit part (EditWndProc).
    if (!IsEditable() && PassedToTable(Message)) return;
    break;
  case WM_GETDLGCODE:
    TCustomComboBox::WndProc(Message);
    if (CellOwner && CellOwner->TableWantsTab()) Message.Result |= DLGC_WANTTAB;
    return;
  case WM_SETFOCUS: {
    // The loss of the focus reaches the table as the box's CBN_KILLFOCUS.
    const TOvcTCCustomComboBox *cell = CellOwner;
    const std::weak_ptr<bool> token = AliveToken();
    TCustomComboBox::WndProc(Message);
    if (!token.expired() && cell) cell->PostToTable(tcm_EditorGotFocus, Message.WParam, 0);
    return;
  }
  case CM_RELEASE: Free(); return;
  default: break;
  }
  TCustomComboBox::WndProc(Message);
}

// ---- the cell ----

TOvcTCCustomComboBox::TOvcTCCustomComboBox(TComponent *AOwner)
    : TOvcTCBaseString(AOwner), arrow_(SharedArrow()) {
  SetAcceptActivationClick(true);
}

void TOvcTCCustomComboBox::BeforeDestruction() {
  ReleaseEditor();
  TOvcTCBaseString::BeforeDestruction();
}

void TOvcTCCustomComboBox::Notification(TComponent *AComponent, TOperation Operation) {
  TOvcTCBaseString::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == editor_) editor_ = nullptr;
}

int TOvcTCCustomComboBox::ButtonWidth() const { return arrow_->Width() + 11; }

void TOvcTCCustomComboBox::SetItems(const TStrings *Value) {
  items_.Assign(Value);
  if (sorted_) items_.Sort();
  DoCellChanged();
}

void TOvcTCCustomComboBox::SetSorted(bool Value) {
  sorted_ = Value;
  if (Value) items_.Sort();
  DoCellChanged();
}

void TOvcTCCustomComboBox::SetShowArrow(bool Value) {
  showArrow_ = Value;
  DoCellChanged();
}

const TStrings *TOvcTCCustomComboBox::ListOf(const TOvcTCComboBoxData *Value) const {
  if (!useRunTimeItems_) return &items_;
  return Value ? Value->Items : nullptr; // a row without a list has no entries
}

bool TOvcTCCustomComboBox::IsActiveCell(int RowNum, int ColNum) const {
  return TableHasWindow() && RowNum == ActiveRow() && ColNum == ActiveColumn();
}

// ---- painting ----

void TOvcTCCustomComboBox::tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                                   const TOvcCellAttributes &CellAttr, const void *Data) {
  QString text;
  if (CellAttr.Access == otxInvisible) {
    TOvcTCBaseString::tcPaint(TableCanvas, CellRect, RowNum, ColNum, CellAttr, &text);
    return;
  }
  const auto *value = static_cast<const TOvcTCComboBoxData *>(Data);
  const TStrings *list = ListOf(value);
  if (value) {
    if (list && value->Index >= 0 && value->Index < list->Count())
      text = list->Strings(value->Index);
    else if (Editable())
      text = value->Text;
  } else if (ComponentState().Contains(csDesigning) && items_.Count() > 0) {
    text = items_.Strings(RowNum % items_.Count());
  }

  const TRect textArea{CellRect.Left, CellRect.Top, CellRect.Right - ButtonWidth(), CellRect.Bottom};
  const TRect buttonArea{textArea.Right, CellRect.Top, CellRect.Right, CellRect.Bottom};
  const bool active = IsActiveCell(RowNum, ColNum);
  const bool button = active ? !hideButton_ : showArrow_;
  TOvcTCBaseString::tcPaint(TableCanvas, button ? textArea : CellRect, RowNum, ColNum, CellAttr, &text);
  if (!button) return;
  if (active)
    PaintButton(TableCanvas, CellRect, buttonArea);
  else
    PaintFlatArrow(TableCanvas, buttonArea, CellAttr);
}

void TOvcTCCustomComboBox::PaintFlatArrow(TCanvas *Canvas, const TRect &Area,
                                          const TOvcCellAttributes &CellAttr) const {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(CellAttr.Color);
  Canvas->FillRect(Area);
  const int side = std::min(Area.Width(), Area.Height()) / 3;
  if (side <= 0) return;
  const int x = Area.Left + (Area.Width() - side) / 2;
  const int y = Area.Top + (Area.Height() - side) / 2;
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetColor(CellAttr.FontColor);
  Canvas->Brush()->SetColor(CellAttr.FontColor);
  Canvas->Polygon({{x, y}, {x + side, y}, {x + side / 2, y + side}});
}

void TOvcTCCustomComboBox::PaintButton(TCanvas *Canvas, const TRect &CellRect, const TRect &Area) const {
  // A black frame round a face that is lit along its top and left and shaded twice along its bottom and
  // right.
  const TRect frame{Area.Left, CellRect.Top + 1, CellRect.Right - 1, CellRect.Bottom - 1};
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetColor(clBlack);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(clBtnFace);
  Canvas->Rectangle(frame);
  const int left = frame.Left + 1, top = frame.Top + 1, right = frame.Right - 2, bottom = frame.Bottom - 2;
  const auto line = [Canvas](TColor Color, int X1, int Y1, int X2, int Y2) {
    Canvas->Pen()->SetColor(Color);
    Canvas->MoveTo(X1, Y1);
    Canvas->LineTo(X2, Y2);
  };
  line(clBtnHighlight, left, bottom, left, top);
  line(clBtnHighlight, left, top, right, top);
  for (int step = 0; step < 2; ++step) {
    line(clBtnShadow, left + step, bottom - step, right - step + 1, bottom - step);
    line(clBtnShadow, right - step, top + step, right - step, bottom - step);
  }
  const int w = arrow_->Width(), h = arrow_->Height();
  const int x = frame.Left + (frame.Width() - w) / 2;
  const int y = frame.Top + (frame.Height() - h) / 2;
  const TColor transparent = QColorToColor(arrow_->Image().pixelColor(0, h - 1));
  Canvas->BrushCopy(TRect{x, y, x + w, y + h}, arrow_.get(), TRect{0, 0, w, h}, transparent);
}

// ---- editing ----

HWND TOvcTCCustomComboBox::EditorWindow() { return editor_ ? editor_->Handle() : 0; }
void TOvcTCCustomComboBox::HideEditor() { HideCellEditor(editor_); }

void TOvcTCCustomComboBox::PlaceEditor(const TRect &CellRect) {
  if (!editor_) return;
  TRect r = CellRect;
  if (editor_->Ctl3D()) InflateRect(r, -1, -1);
  PlaceCellEditor(editor_, TRect{r.Left, r.Top, r.Right, r.Top + kEditorHeight});
}

TOvcTCComboBoxEdit *TOvcTCCustomComboBox::CreateEditor(TComponent *AOwner) {
  return new TOvcTCComboBoxEdit(AOwner);
}

void TOvcTCCustomComboBox::CopyEditorValue(void *Data) {
  if (!Data || !editor_) return;
  auto *value = static_cast<TOvcTCComboBoxData *>(Data);
  value->Index = editor_->ItemIndex();
  if (!Editable() && !saveStringValue_) return;
  const TStrings *list = ListOf(value);
  const bool listed = list && value->Index >= 0 && value->Index < list->Count();
  value->Text = KeptText(listed ? list->Strings(value->Index) : editor_->Text(), maxLength_);
}

void TOvcTCCustomComboBox::StartEditing(int, int, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                                        int CellStyle, const void *Data) {
  ReleaseEditor();
  const auto *value = static_cast<const TOvcTCComboBoxData *>(Data);
  editor_ = CreateEditor(Table());
  editor_->FreeNotification(this);
  editor_->CellOwner = this;
  editor_->SetStyle(style_);
  editor_->SetColor(CellAttr.Color);
  editor_->SetCtl3D(CellStyle == ocs3D);
  editor_->SetBounds(CellRect.Left, CellRect.Top, CellRect.Width(), kEditorHeight);
  if (CellAttr.Font) editor_->Font()->Assign(CellAttr.Font);
  editor_->Font()->SetColor(CellAttr.FontColor);
  editor_->SetMaxLength(maxLength_);
  editor_->SetHint(Hint());
  editor_->SetShowHint(ShowHint());
  editor_->SetTabStop(false);
  editor_->SetDropDownCount(dropDownCount_);
  editor_->SetSorted(sorted_);
  if (const TStrings *list = ListOf(value)) editor_->Items()->Assign(list);
  TakeCellEvents(this, editor_);
  editor_->OnChange = OnChange;
  editor_->OnDropDown = OnDropDown;
  editor_->OnDrawItem = OnDrawItem;
  editor_->OnMeasureItem = OnMeasureItem;
  editor_->SetParent(Table());
  editor_->Show();
  editor_->SetItemIndex(value ? value->Index : -1);
  if (value && editor_->ItemIndex() < 0 && Editable()) editor_->SetText(value->Text);
}

void TOvcTCCustomComboBox::EndEditing(bool SaveValue, void *Data) {
  if (SaveValue) CopyEditorValue(Data);
  ReleaseEditor();
}

// The editor goes once the messages queued for it have been handled: ending an edit often starts inside one
// of its own messages.
void TOvcTCCustomComboBox::ReleaseEditor() {
  if (!editor_) return;
  TOvcTCComboBoxEdit *editor = editor_;
  editor_ = nullptr;
  editor->RemoveFreeNotification(this);
  editor->CellOwner = nullptr;
  HideCellEditor(editor);
  if (editor->HandleAllocated())
    PostMessage(editor->Handle(), CM_RELEASE);
  else
    editor->Free();
}
