#include "grids/cells/glyph_cells.h"
#include "grids/base/table_base.h"
#include "grids/base/table_messages.h"
#include "grids/cells/cell_editors.h"
#include "platform/windowing/virtual_keys.h"

// ---- the editor ----

TOvcTCGlyphEdit::TOvcTCGlyphEdit(TComponent *AOwner) : TCustomControl(AOwner) {
  // A double click is two steps, not a double click.
  TControlStyle style = ControlStyle();
  style.Exclude(csDoubleClicks);
  SetControlStyle(style);
}

void TOvcTCGlyphEdit::SetCellAttributes(const TOvcCellAttributes &CellAttr) {
  attr_ = CellAttr;
  // The caller's font lives only while editing starts.
  if (CellAttr.Font) attrFont_.Assign(CellAttr.Font);
  attr_.Font = &attrFont_;
}

void TOvcTCGlyphEdit::SetValue(int Value) {
  const int last = CellOwner ? CellOwner->CellGlyphs()->ActiveGlyphCount() - 1 : 0;
  value_ = std::clamp(Value, 0, std::max(0, last));
  if (HandleAllocated()) Invalidate();
}

void TOvcTCGlyphEdit::Step(int Delta) {
  const int count = CellOwner ? CellOwner->CellGlyphs()->ActiveGlyphCount() : 1;
  SetValue(((value_ + Delta) % count + count) % count);
}

void TOvcTCGlyphEdit::Paint() {
  if (CellOwner) CellOwner->PaintGlyph(Canvas(), ClientRect(), attr_, value_);
}

void TOvcTCGlyphEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) Step(1);
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TOvcTCGlyphEdit::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_KEYDOWN: {
    if (!CellOwner) break;
    const WPARAM key = Message.WParam;
    const int keyClass = CellOwner->AskTableKeyFilter(Message);
    if ((keyClass == tkcNavigation && key != VK_SPACE) || keyClass == tkcTableTakes) {
      CellOwner->PostKeyToTable(Message);
      return;
    }
    if (key != VK_SPACE && key != VK_BACK) break;
    const std::weak_ptr<bool> token = AliveToken();
    TCustomControl::WndProc(Message);
    if (token.expired()) return;
    Step(key == VK_SPACE ? 1 : -1);
    if (CellOwner->OnClick && OnClick) OnClick(this);
    return;
  }
  case WM_GETDLGCODE:
    Message.Result = DLGC_WANTARROWS;
    if (CellOwner && CellOwner->TableWantsTab()) Message.Result |= DLGC_WANTTAB;
    if (CellOwner && CellOwner->TableWantsEnter()) Message.Result |= DLGC_WANTALLKEYS;
    return;
  case WM_SETFOCUS:
  case WM_KILLFOCUS: {
    const TOvcTCCustomGlyph *cell = CellOwner;
    const UINT notice = Message.Msg == WM_SETFOCUS ? tcm_EditorGotFocus : tcm_EditorLostFocus;
    TCustomControl::WndProc(Message);
    if (cell) cell->PostToTable(notice, Message.WParam, 0);
    return;
  }
  default: break;
  }
  TCustomControl::WndProc(Message);
}

// ---- the glyph cell ----

TOvcTCCustomGlyph::TOvcTCCustomGlyph(TComponent *AOwner) : TOvcTCBaseBitMap(AOwner) {
  SetAcceptActivationClick(true);
  glyphs_.OnChange = TNotifyEvent(this, &TOvcTCCustomGlyph::GlyphsChanged);
}

void TOvcTCCustomGlyph::BeforeDestruction() {
  if (editor_) {
    editor_->Free();
    editor_ = nullptr;
  }
  glyphs_.OnChange = nullptr;
  TOvcTCBaseBitMap::BeforeDestruction();
}

void TOvcTCCustomGlyph::Notification(TComponent *AComponent, TOperation Operation) {
  TOvcTCBaseBitMap::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == editor_) editor_ = nullptr;
}

void TOvcTCCustomGlyph::GlyphsChanged(TObject *) { DoCellChanged(); }

void TOvcTCCustomGlyph::SetCellGlyphs(const TOvcCellGlyphs *Value) {
  if (AcceptsGlyphs(Value)) glyphs_.Assign(Value);
}

int TOvcTCCustomGlyph::GlyphOfData(const void *Data) const { return *static_cast<const qint32 *>(Data); }

void TOvcTCCustomGlyph::StoreGlyph(int Glyph, void *Data) const { *static_cast<qint32 *>(Data) = Glyph; }

void TOvcTCCustomGlyph::PaintGlyph(TCanvas *Canvas, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                                   int Index) {
  const TOvcCellBitMapInfo info{glyphs_.BitMap(), glyphs_.GlyphCount(), glyphs_.ActiveGlyphCount(),
                                std::min(Index, glyphs_.ActiveGlyphCount() - 1)};
  TOvcTCBaseBitMap::tcPaint(Canvas, CellRect, 0, 0, CellAttr, &info);
}

void TOvcTCCustomGlyph::tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int,
                                const TOvcCellAttributes &CellAttr, const void *Data) {
  int index = -1;
  if (Data)
    index = GlyphOfData(Data);
  else if (ComponentState().Contains(csDesigning))
    index = RowNum % glyphs_.ActiveGlyphCount();
  PaintGlyph(TableCanvas, CellRect, CellAttr, index);
}

HWND TOvcTCCustomGlyph::EditorWindow() { return editor_ ? editor_->Handle() : 0; }
void TOvcTCCustomGlyph::HideEditor() { HideCellEditor(editor_); }
void TOvcTCCustomGlyph::PlaceEditor(const TRect &CellRect) { PlaceCellEditor(editor_, CellRect); }

TOvcTCGlyphEdit *TOvcTCCustomGlyph::CreateEditor(TComponent *AOwner) { return new TOvcTCGlyphEdit(AOwner); }

void TOvcTCCustomGlyph::CopyEditorValue(void *Data) {
  if (Data && editor_) StoreGlyph(editor_->Value(), Data);
}

void TOvcTCCustomGlyph::StartEditing(int RowNum, int ColNum, const TRect &CellRect,
                                     const TOvcCellAttributes &CellAttr, int CellStyle, const void *Data) {
  if (editor_) editor_->Free();
  editor_ = CreateEditor(Table());
  editor_->FreeNotification(this);
  editor_->CellOwner = this;
  editor_->SetValue(Data ? GlyphOfData(Data) : 0);
  editor_->RowNum = RowNum;
  editor_->ColNum = ColNum;
  editor_->SetCellAttributes(CellAttr);
  editor_->SetColor(CellAttr.Color);
  editor_->SetCtl3D(CellStyle == ocs3D);
  editor_->SetBoundsRect(CellRect);
  editor_->SetHint(Hint());
  editor_->SetShowHint(ShowHint());
  editor_->SetParent(Table());
  editor_->SetTabStop(false);
  TakeCellEvents(this, editor_);
  editor_->Show();
}

void TOvcTCCustomGlyph::EndEditing(bool SaveValue, void *Data) {
  if (SaveValue) CopyEditorValue(Data);
  if (editor_) {
    editor_->Free();
    editor_ = nullptr;
  }
}

// ---- the check-box cell ----

TOvcTCCustomCheckBox::TOvcTCCustomCheckBox(TComponent *AOwner) : TOvcTCCustomGlyph(AOwner) {
  if (CellGlyphs()->ActiveGlyphCount() == 3) CellGlyphs()->SetActiveGlyphCount(2);
}

bool TOvcTCCustomCheckBox::AcceptsGlyphs(const TOvcCellGlyphs *Glyphs) const {
  return Glyphs && Glyphs->GlyphCount() == 3;
}

void TOvcTCCustomCheckBox::SetAllowGrayed(bool Value) {
  allowGrayed_ = Value;
  const int before = CellGlyphs()->ActiveGlyphCount();
  CellGlyphs()->SetActiveGlyphCount(Value ? 3 : 2); // a change of count reports itself
  if (CellGlyphs()->ActiveGlyphCount() == before) DoCellChanged();
}

void TOvcTCCustomCheckBox::GlyphsChanged(TObject *) {
  const int wanted = allowGrayed_ ? 3 : 2;
  // Setting the count reports the change again, and then it is right.
  if (CellGlyphs()->ActiveGlyphCount() != wanted && CellGlyphs()->GlyphCount() >= wanted) {
    CellGlyphs()->SetActiveGlyphCount(wanted);
    return;
  }
  DoCellChanged();
}

int TOvcTCCustomCheckBox::GlyphOfData(const void *Data) const {
  return int(*static_cast<const TCheckBoxState *>(Data));
}

void TOvcTCCustomCheckBox::StoreGlyph(int Glyph, void *Data) const {
  *static_cast<TCheckBoxState *>(Data) = TCheckBoxState(std::clamp(Glyph, 0, 2));
}
