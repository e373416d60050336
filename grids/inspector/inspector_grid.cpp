#include "grids/inspector/inspector_grid.h"
#include "controls/framework/library_messages.h"
#include "grids/inspector/grid_editors.h"
#include "grids/inspector/grid_messages.h"
#include "platform/windowing/window_functions.h"

namespace {

// Sets a flag for the lifetime of a scope.
class FlagScope {
public:
  explicit FlagScope(bool &Flag) : flag_(Flag), saved_(Flag) { flag_ = true; }
  ~FlagScope() { flag_ = saved_; }

private:
  bool &flag_;
  bool saved_;
};

int ScrollBarWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

} // namespace

TO32EditorKind EditorKindFor(TO32IGridItemType ItemType) {
  switch (ItemType) {
  case itParent:
  case itSet: return TO32EditorKind::None;
  case itList:
  case itLogical: return TO32EditorKind::List;
  case itColor: return TO32EditorKind::Color;
  case itFont: return TO32EditorKind::Font;
  default: return TO32EditorKind::Text;
  }
}

TO32CustomInspectorGrid::TO32CustomInspectorGrid(TComponent *AOwner)
    : TO32CustomControl(AOwner), items_(std::make_unique<TO32InspectorItems>(this)),
      expandGlyph_(std::make_unique<TBitmap>()) {
  SetColor(clMenu);
  SetParentColor(false);
  SetTabStop(true);
  SetControlStyle(ControlStyle().Include(csDoubleClicks).Include(csCaptureMouse));
  // Two default columns and ten default rows.
  SetBounds(Left(), Top(), 2 * defaultColWidth_ + 6, 10 * defaultRowHeight_);
}

TO32CustomInspectorGrid::~TO32CustomInspectorGrid() = default;

void TO32CustomInspectorGrid::BeforeDestruction() {
  // The editors are owned components and go with the grid; nothing may reach them on the way.
  editor_ = nullptr;
  editorItem_ = nullptr;
  retired_.clear();
  TO32CustomControl::BeforeDestruction();
}

void TO32CustomInspectorGrid::Loaded() {
  TO32CustomControl::Loaded();
  items_->ResolveParents();
  RefreshItems();
}

void TO32CustomInspectorGrid::SetParent(TWinControl *AParent) {
  TO32CustomControl::SetParent(AParent);
  if (!IsDestroying()) AdjustRowsAndScrollBar();
}

void TO32CustomInspectorGrid::CreateParams(TCreateParams &Params) {
  TO32CustomControl::CreateParams(Params);
  if (scrollBar_) Params.Style |= WS_VSCROLL;
  if (Ctl3D())
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.Style |= WS_BORDER;
}

// -- appearance --

void TO32CustomInspectorGrid::SetItemTextColor(TColor Value) {
  if (Value == itemTextColor_) return;
  itemTextColor_ = Value;
  Invalidate();
}

void TO32CustomInspectorGrid::SetCaptionTextColor(TColor Value) {
  if (Value == captionTextColor_) return;
  captionTextColor_ = Value;
  Invalidate();
}

void TO32CustomInspectorGrid::SetGridLineColor(TColor Value) {
  if (Value == gridLineColor_) return;
  gridLineColor_ = Value;
  Invalidate();
}

void TO32CustomInspectorGrid::SetEditColor(TColor Value) {
  editColor_ = Value;
  if (editor_) {
    editor_->SetColor(Value);
    editor_->Invalidate();
  }
}

void TO32CustomInspectorGrid::SetChildIndentation(int Value) {
  Value = std::clamp(Value, 0, 0xFFFF);
  if (Value == childIndentation_) return;
  childIndentation_ = Value;
  Invalidate();
}

void TO32CustomInspectorGrid::SetExpandGlyph(const TBitmap *Value) {
  expandGlyph_->Assign(Value);
  Invalidate();
}

void TO32CustomInspectorGrid::SetDefaultDrawing(bool Value) {
  if (Value == defaultDrawing_) return;
  defaultDrawing_ = Value;
  Invalidate();
}

void TO32CustomInspectorGrid::SetReadOnly(bool Value) {
  readOnly_ = Value;
  if (Value) {
    editorMode_ = false;
    FreeEditor();
  } else {
    ShowEditor();
  }
}

void TO32CustomInspectorGrid::SetSorted(bool Value) {
  sorted_ = Value;
  RefreshItems();
}

// -- items and rows --

TO32InspectorItem *TO32CustomInspectorGrid::AddItem(TO32IGridItemType ItemType, TO32InspectorItem *Parent) {
  return items_->AddItem(Parent, ItemType);
}

TO32InspectorItem *TO32CustomInspectorGrid::RowItem(int Row) const {
  const QList<TO32InspectorItem *> &rows = items_->DisplayList();
  return Row >= 0 && Row < rows.size() ? rows[Row] : nullptr;
}

void TO32CustomInspectorGrid::SelectRow(int Row) {
  if (Row != row_) MoveToRow(0, Row, true);
}

void TO32CustomInspectorGrid::MoveToRow(int Column, int Row, bool Show) {
  CommitEditor();
  if (Column >= 0 && Column < 2 && Row >= 0 && Row < RowCount() && SelectCell(Column, Row)) {
    row_ = Row;
    if (Show) ScrollIntoView(row_);
    Invalidate();
  }
  ShowEditor();
  const std::weak_ptr<bool> token = AliveToken();
  Click();
  if (!token.expired() && OnItemSelect) OnItemSelect(this, row_);
}

void TO32CustomInspectorGrid::RefreshItems() {
  if (Loading() || IsDestroying()) return;
  FreeEditor();
  items_->BuildDisplayList(sorted_);
  row_ = std::clamp(row_, 0, std::max(0, RowCount() - 1));
  if (rowHeights_) rowHeights_->Resize(RowCount(), defaultRowHeight_);
  AdjustRowsAndScrollBar();
  Invalidate();
}

void TO32CustomInspectorGrid::ItemChanged(TO32InspectorItem *Item) {
  if (editor_ && Item == editorItem_ && !filling_) {
    // An item that changed its type needs another editor, made at the next show.
    if (EditorKindFor(Item->ItemType()) != editorKind_)
      FreeEditor();
    else
      FillEditor(Item);
  }
  Invalidate();
}

void TO32CustomInspectorGrid::ItemExpanded(TO32InspectorItem *Item, bool Expanded) {
  const To32IGridItemEvent &event = Expanded ? OnExpand : OnCollapse;
  if (event) event(this, Item->Index());
}

void TO32CustomInspectorGrid::ItemMoved(TO32InspectorItem *Item) {
  RefreshItems();
  const int row = items_->RowOf(Item);
  if (row >= 0) row_ = row;
  ScrollIntoView(row_);
  Invalidate();
}

void TO32CustomInspectorGrid::ItemRemoving(TO32InspectorItem *Item) {
  if (Item == editorItem_) FreeEditor();
}

// -- extents --

int TO32CustomInspectorGrid::ColWidth(int Index) const {
  if (!colWidths_ || Index < 0 || Index >= 2) return defaultColWidth_;
  return colWidths_->Value(Index);
}

void TO32CustomInspectorGrid::SetColumnWidth(int Index, int Width) {
  if (Index < 0 || Index >= 2) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
  SetColumnWidths(Index == 0 ? Width : ColWidth(0), Index == 1 ? Width : ColWidth(1));
}

void TO32CustomInspectorGrid::SetColumnWidths(int Width0, int Width1) {
  if (!colWidths_) {
    colWidths_ = std::make_unique<TGridExtents>();
    colWidths_->Resize(2, defaultColWidth_);
  }
  if (colWidths_->Value(0) == Width0 && colWidths_->Value(1) == Width1) return;
  colWidths_->SetValue(0, Width0);
  colWidths_->SetValue(1, Width1);
  Invalidate();
  PlaceEditor();
}

int TO32CustomInspectorGrid::RowHeight(int Index) const {
  if (!rowHeights_ || Index < 0 || Index >= rowHeights_->Count()) return defaultRowHeight_;
  return rowHeights_->Value(Index);
}

void TO32CustomInspectorGrid::SetRowHeight(int Index, int Height) {
  if (Index < 0 || Index >= RowCount())
    throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
  if (!rowHeights_) {
    rowHeights_ = std::make_unique<TGridExtents>();
    rowHeights_->Resize(RowCount(), defaultRowHeight_);
  }
  rowHeights_->SetValue(Index, Height);
  UpdateScrollBar();
  Invalidate();
  PlaceEditor();
}

void TO32CustomInspectorGrid::SetDefaultRowHeight(int Value) {
  rowHeights_.reset();
  defaultRowHeight_ = Value >= 21 ? Value : 19;
  UpdateScrollBar();
  Invalidate();
  PlaceEditor();
}

void TO32CustomInspectorGrid::AdjustRowsAndScrollBar() {
  if (IsDestroying()) return;
  Canvas()->SetFont(Font());
  SetDefaultRowHeight(Canvas()->TextHeight(LibraryMessageText(msg::CharSizeSample)) + 4);
}

// The scroll bar shows when the rows (with their grid lines) and the border do not fit the control's height;
// it takes its width from the value column.
void TO32CustomInspectorGrid::UpdateScrollBar() {
  int needed = 3; // the border, less the last grid line
  for (int r = 0; r < RowCount(); ++r) needed += RowHeight(r) + 1;
  const bool wanted = needed > Height();
  if (wanted != scrollBar_) {
    scrollBar_ = wanted;
    SetColumnWidths(ColWidth(0), ColWidth(1) + (wanted ? -ScrollBarWidth() : ScrollBarWidth()));
  }
  TScrollBarState state = ScrollBar(SB_VERT);
  state.Min = 0;
  state.Max = 127;
  state.Visible = scrollBar_;
  SetScrollBar(SB_VERT, state);
  SetTopRow(topRow_);
  UpdateScrollPos();
}

void TO32CustomInspectorGrid::UpdateScrollPos() {
  if (!scrollBar_) return;
  TScrollBarState state = ScrollBar(SB_VERT);
  const int last = MaxTopRow();
  state.Pos = last > 0 ? (topRow_ * 127 + last / 2) / last : 0;
  SetScrollBar(SB_VERT, state);
}

void TO32CustomInspectorGrid::Resize() {
  TO32CustomControl::Resize();
  // A new width shares the client width between the columns; the scroll bar's coming and going does not.
  if (Width() != lastWidth_) {
    lastWidth_ = Width();
    const int half = (Width() - 4) / 2;
    SetColumnWidths(half, scrollBar_ ? half - ScrollBarWidth() : half);
  }
  SetTopRow(topRow_);
  UpdateScrollPos();
  PlaceEditor();
}

// -- geometry --

TRect TO32CustomInspectorGrid::CellRect(int Column, int Row) const {
  if (Row < 0 || Row >= RowCount() || Column < 0 || Column > 1) return TRect{};
  int top = 0;
  for (int r = topRow_; r < Row; ++r) top += RowHeight(r) + 1;
  for (int r = Row; r < topRow_; ++r) top -= RowHeight(r) + 1;
  // Column 1 begins after the grid line; its first pixels show the divider's highlight.
  const int left = Column == 0 ? 0 : ColWidth(0) + 1;
  return Bounds(left, top, ColWidth(Column), RowHeight(Row));
}

int TO32CustomInspectorGrid::RowAtY(int Y) const {
  if (Y < 0) return -1;
  int top = 0;
  for (int r = topRow_; r < RowCount(); ++r) {
    top += RowHeight(r) + 1;
    if (Y < top) return r;
  }
  return -1;
}

int TO32CustomInspectorGrid::MaxTopRow() const {
  const int height = ClientHeight();
  int top = RowCount();
  int used = 0;
  while (top > 0 && used + RowHeight(top - 1) <= height) {
    used += RowHeight(top - 1) + 1;
    --top;
  }
  return std::min(top, std::max(0, RowCount() - 1));
}

int TO32CustomInspectorGrid::VisibleRowCount() const {
  const int height = ClientHeight();
  int count = 0;
  int bottom = 0;
  for (int r = topRow_; r < RowCount(); ++r) {
    bottom += RowHeight(r);
    if (bottom > height) break;
    ++bottom;
    ++count;
  }
  return std::max(1, count);
}

void TO32CustomInspectorGrid::SetTopRow(int Value) {
  Value = std::clamp(Value, 0, MaxTopRow());
  if (Value == topRow_) return;
  topRow_ = Value;
  UpdateScrollPos();
  Invalidate();
  PlaceEditor();
}

void TO32CustomInspectorGrid::ScrollIntoView(int Row) {
  if (Row < 0 || Row >= RowCount()) return;
  if (Row < topRow_) {
    SetTopRow(Row);
    return;
  }
  int top = topRow_;
  const int height = ClientHeight();
  const auto bottomOf = [this, Row](int From) {
    int bottom = 0;
    for (int r = From; r <= Row; ++r) bottom += RowHeight(r) + 1;
    return bottom - 1;
  };
  while (top < Row && bottomOf(top) > height) ++top;
  SetTopRow(top);
}

// -- the editor --

bool TO32CustomInspectorGrid::CurrentItemEditable() const {
  const TO32InspectorItem *item = Selected();
  return !readOnly_ && !Designing() && item && EditorKindFor(item->ItemType()) != TO32EditorKind::None &&
         !item->ReadOnly();
}

TWinControl *TO32CustomInspectorGrid::MakeItemEditor(TO32EditorKind Kind) {
  switch (Kind) {
  case TO32EditorKind::Text: return new TO32GridEdit(this);
  case TO32EditorKind::List: return new TO32GridCombo(this);
  case TO32EditorKind::Color: return new TO32GridColorCombo(this);
  case TO32EditorKind::Font: return new TO32GridFontCombo(this);
  case TO32EditorKind::None: break;
  }
  return nullptr;
}

bool TO32CustomInspectorGrid::FocusInside() const { return Focused() || (editor_ && editor_->Focused()); }

void TO32CustomInspectorGrid::ShowEditor() {
  if (!CurrentItemEditable()) {
    FreeEditor();
    return;
  }
  TO32InspectorItem *item = Selected();
  const bool focus = FocusInside();
  if (editor_ && editorItem_ == item && editor_->Visible()) {
    PlaceEditor();
    if (focus && !editor_->Focused() && editor_->CanFocus()) editor_->SetFocus();
    return;
  }
  if (BeforeEdit) BeforeEdit(item, item->Index());
  const TO32EditorKind kind = EditorKindFor(item->ItemType());
  if (editor_ && editorKind_ != kind) FreeEditor();
  if (!editor_) {
    editor_ = MakeItemEditor(kind);
    if (!editor_) return;
    editorKind_ = kind;
    if (TO32EditorLink *link = EditorLinkOf(editor_)) link->SetGrid(this);
    editor_->SetVisible(false);
    editor_->SetParent(this);
    // A list fills itself when its window is made: made now, before it is given the item's value.
    editor_->HandleNeeded();
  } else if (editorItem_ && editorItem_ != item) {
    WriteQuietly(editorItem_);
  }
  editorItem_ = item;
  editorMode_ = true;
  FillEditor(item);
  PlaceEditor();
  editor_->Show();
  if (focus && editor_->CanFocus()) {
    editor_->SetFocus();
    if (editorKind_ == TO32EditorKind::Text) static_cast<TO32GridEdit *>(editor_)->SelectAll();
  }
}

void TO32CustomInspectorGrid::SetFocus() {
  // The open editor is where typing goes.
  if (editor_ && editorItem_ && editor_->Visible() && editor_->CanFocus()) {
    if (!editor_->Focused()) editor_->SetFocus();
    return;
  }
  TO32CustomControl::SetFocus();
}

void TO32CustomInspectorGrid::FillEditor(TO32InspectorItem *Item) {
  FlagScope filling(filling_);
  editor_->SetColor(editColor_);
  editor_->Font()->Assign(Font());
  editor_->Font()->SetColor(itemTextColor_);
  QString text = Item->DisplayText();
  if (OnGetEditText) OnGetEditText(this, Item, text);
  int limit = Item->MaxLength();
  if (OnGetEditLimit) OnGetEditLimit(this, Item, limit);
  switch (editorKind_) {
  case TO32EditorKind::Text: {
    auto *edit = static_cast<TO32GridEdit *>(editor_);
    edit->SetText(QString());
    QString mask;
    if (OnGetEditMask) OnGetEditMask(this, Item, mask);
    edit->SetEditMask(mask);
    edit->SetText(text);
    edit->SetMaxLength(limit);
    edit->SelectAll();
    break;
  }
  case TO32EditorKind::List: {
    auto *combo = static_cast<TO32GridCombo *>(editor_);
    combo->Items()->Assign(Item->ItemsList());
    int selected = -1;
    for (int i = 0; i < combo->Items()->Count() && selected < 0; ++i)
      if (combo->Items()->Strings(i) == text) selected = i;
    combo->SetItemIndex(selected);
    combo->SetMaxLength(limit);
    break;
  }
  case TO32EditorKind::Color: {
    // A colour the list does not name leaves nothing chosen (and so is not changed by leaving the row).
    auto *combo = static_cast<TO32GridColorCombo *>(editor_);
    combo->SetItemIndex(-1);
    combo->SetSelectedColor(Item->ColorValue());
    break;
  }
  case TO32EditorKind::Font: {
    auto *combo = static_cast<TO32GridFontCombo *>(editor_);
    combo->SetItemIndex(-1);
    combo->SetFontName(Item->DisplayText());
    break;
  }
  case TO32EditorKind::None: break;
  }
  editModify_ = true;
}

// Over the current row's value cell, one pixel below its top; the drop-down lists a little larger, so that
// their face lines up with the cell.
void TO32CustomInspectorGrid::PlaceEditor() {
  if (!editor_ || !editorItem_) return;
  const int row = items_->RowOf(editorItem_);
  if (row < 0) return;
  TRect cell = CellRect(1, row);
  cell.Top += 1;
  // Never over the grid's border or scroll bar.
  const int right = ClientWidth();
  if (editorKind_ == TO32EditorKind::Text) {
    editor_->SetBoundsRect(Rect(cell.Left, cell.Top, std::min(cell.Right, right), cell.Bottom));
    static_cast<TO32GridEdit *>(editor_)->SetTextInset();
  } else {
    editor_->SetBoundsRect(Rect(cell.Left - 1, cell.Top - 2, std::min(cell.Right + 2, right), cell.Bottom));
  }
}

QString TO32CustomInspectorGrid::EditorText() const {
  switch (editorKind_) {
  case TO32EditorKind::Font: return static_cast<TO32GridFontCombo *>(editor_)->FontName();
  case TO32EditorKind::None: return QString();
  default: return editor_->Text();
  }
}

void TO32CustomInspectorGrid::CommitEditor() {
  if (RowCount() == 0 || !editor_ || !editorItem_) return;
  TO32InspectorItem *item = editorItem_;
  bool changed = false;
  switch (editorKind_) {
  case TO32EditorKind::Color: {
    // Only a chosen colour counts: an empty choice is not black.
    auto *combo = static_cast<TO32GridColorCombo *>(editor_);
    if (combo->ItemIndex() >= 0 && combo->SelectedColor() != item->ColorValue()) {
      item->SetColorValue(combo->SelectedColor());
      changed = true;
    }
    break;
  }
  case TO32EditorKind::Font: {
    const QString name = EditorText();
    if (item->FontValue() && !name.isEmpty() && name != item->FontValue()->Name()) {
      item->FontValue()->SetName(name);
      ItemChanged(item);
      changed = true;
    }
    break;
  }
  default: {
    const QString text = EditorText();
    if (text != item->DisplayText()) {
      try {
        item->SetDisplayText(text);
      } catch (const Exception &refused) {
        // The row the message is about, for a grid of several numbers.
        const QString caption = item->Caption();
        throw EConvertError(caption.isEmpty() ? refused.Message()
                                              : caption + QStringLiteral(": ") + refused.Message());
      }
      changed = true;
    }
    break;
  }
  }
  if (!changed) return;
  const std::weak_ptr<bool> token = AliveToken();
  if (OnItemChange) OnItemChange(this, items_->RowOf(item));
  if (!token.expired() && AfterEdit) AfterEdit(item, item->Index());
}

bool TO32CustomInspectorGrid::WriteQuietly(TO32InspectorItem *Item) {
  FlagScope filling(filling_);
  try {
    switch (editorKind_) {
    case TO32EditorKind::Color: {
      auto *combo = static_cast<TO32GridColorCombo *>(editor_);
      if (combo->ItemIndex() >= 0 && combo->SelectedColor() != Item->ColorValue())
        Item->SetColorValue(combo->SelectedColor());
      break;
    }
    case TO32EditorKind::None: break;
    default: {
      const QString text = EditorText();
      if (!(editorKind_ == TO32EditorKind::Font && text.isEmpty()) && text != Item->DisplayText())
        Item->SetDisplayText(text);
    }
    }
  } catch (const Exception &) {
    return false;
  }
  return true;
}

void TO32CustomInspectorGrid::HideEditor() {
  if (!editor_) return;
  if (editorItem_) WriteQuietly(editorItem_);
  editorItem_ = nullptr;
  editModify_ = false;
  // A focused editor hands the focus to the grid before it goes, so that the grid is not left.
  if (editor_->Focused() && CanFocus()) TO32CustomControl::SetFocus();
  editor_->Hide();
}

void TO32CustomInspectorGrid::SetEditorMode(bool Value) {
  if (Value) {
    ShowEditor();
  } else {
    HideEditor();
    editorMode_ = false;
  }
}

// The editor is let go of at once but freed only after the message being handled, which may be one of its
// own.
void TO32CustomInspectorGrid::FreeEditor() {
  if (!editor_) return;
  TWinControl *old = editor_;
  if (old->Focused() && CanFocus()) TO32CustomControl::SetFocus();
  editor_ = nullptr;
  editorItem_ = nullptr;
  editorKind_ = TO32EditorKind::None;
  editModify_ = false;
  old->Hide();
  if (TO32EditorLink *link = EditorLinkOf(old)) link->SetGrid(nullptr);
  retired_.append(old);
  if (!PostMessage(WindowHandle(), igm_FreeRetiredEditors)) FreeRetiredEditors();
}

void TO32CustomInspectorGrid::FreeRetiredEditors() {
  const QList<TWinControl *> retired = std::exchange(retired_, {});
  for (TWinControl *editor : retired) editor->Free();
}

void TO32CustomInspectorGrid::EditorOnKeyDown(WORD &Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TO32CustomInspectorGrid::EditorKeyPress(QChar &Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TO32CustomInspectorGrid::EditorChanged() {
  if (!filling_ && OnItemEditorChange) OnItemEditorChange(this, row_);
}

// -- leaving --

void TO32CustomInspectorGrid::DoExit() {
  try {
    CommitEditor();
  } catch (const Exception &) {
    // Told once the focus has moved on; the item keeps its value and the editor's text goes.
    refusal_ = std::current_exception();
    PostMessage(WindowHandle(), igm_ReportRefusal);
  }
  HideEditor();
  TO32CustomControl::DoExit();
}

void TO32CustomInspectorGrid::ReportRefusal() {
  std::exception_ptr refusal = std::exchange(refusal_, nullptr);
  if (!refusal) return;
  try {
    std::rethrow_exception(refusal);
  } catch (...) {
    HandleCurrentException(this);
  }
}
