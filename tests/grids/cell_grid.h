// A small grid for trying cells on a form: a heading row painted by a column-heading cell, rows of values
// painted by the columns' cells with the grid pens' lines, an active cell moved by the keys, and in-place
// editing as a table does it: Enter or F2 opens the editor (so does a click on the active cell, or on any
// cell whose cell accepts the activating click), Enter and Tab close it saving, Escape cancels; an editor
// whose value its cell refuses stays open, and one that loses the focus to another control of the form with
// no error closes saving.
#pragma once
#include "grids/base/table_colors.h"
#include "grids/base/table_columns.h"
#include "grids/cells/combo_cell.h"
#include "grids/cells/field_cells.h"
#include "grids/cells/glyph_cells.h"
#include "grids/cells/heading_cells.h"
#include "grids/cells/string_cells.h"
#include "platform/widgets/std_edits.h"
#include "platform/windowing/virtual_keys.h"
#include "test_table.h"
#include "tests/controls/entry_field_fixture.h"

struct GridValue {
  QString text;
  TCheckBoxState check = cbUnchecked;
  TOvcTCComboBoxData combo;
  TOvcEntryValue field;
};

class CellGrid : public TestTable {
public:
  static constexpr int kRowHeight = 22;

  CellGrid(TComponent *AOwner, int Columns, int Rows)
      : TestTable(AOwner), columns(this, TableColumnClass<TOvcTableColumn>(), Columns),
        values(Rows, std::vector<GridValue>(Columns)) {
    for (int c = 0; c < Columns; ++c) columns.SetWidth(c, 90);
    SetColor(clWindow);
  }
  void BeforeDestruction() override {
    columns.Clear(); // the columns let their cells go while the table is whole
    TestTable::BeforeDestruction();
  }

  // The value the cell of (Row, Col) paints and edits, in that cell's format.
  void *Data(int Row, int Col) {
    GridValue &v = values[Row - 1][Col];
    TOvcBaseTableCell *cell = columns.DefaultCell(Col);
    if (dynamic_cast<TOvcTCCustomCheckBox *>(cell)) return &v.check;
    if (dynamic_cast<TOvcTCCustomComboBox *>(cell)) return &v.combo;
    if (dynamic_cast<TOvcTCBaseEntryField *>(cell)) return &v.field;
    return &v.text;
  }
  TRect CellRect(int Row, int Col) const { return Bounds(Col * 90, Row * kRowHeight, 90, kRowHeight); }
  TOvcBaseTableCell *Editing() const { return editing_; }

  void WndProc(TMessage &Message) override {
    switch (Message.Msg) {
    case tcm_GetActiveColumn: Message.Result = col; return;
    case tcm_GetActiveRow: Message.Result = row; return;
    case tcm_GetLockedColumns: Message.Result = 0; return;
    case tcm_GetLockedRows: Message.Result = 1; return;
    case tcm_CellDetached:
      columns.CellRemoved(MessagePointer<TOvcBaseTableCell>(std::uintptr_t(Message.LParam)));
      break;
    case WM_COMMAND: commands.append(HIWORD(Message.WParam)); return;
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS; return;
    case WM_KEYDOWN: Key(WORD(Message.WParam)); return;
    case tcm_EditorLostFocus: {
      TWinControl *gaining = FindControl(HWND(Message.WParam));
      if (Message.LParam == 0 && gaining && gaining != this && GetParentForm(gaining) == GetParentForm(this))
        StopEditing(true, false);
      return;
    }
    default: break;
    }
    TestTable::WndProc(Message);
  }
  // The heading row takes the colours of locked cells.
  void AdjustCellAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr) override {
    TestTable::AdjustCellAttributes(RowNum, ColNum, CellAttr);
    if (RowNum > 0) return;
    CellAttr.Color = colors.Locked();
    CellAttr.FontColor = colors.LockedText();
  }
  // Enter, Escape and Tab end the edit; the arrows move when the editor lets them go.
  int ClassifyKey(const TMessage &KeyMessage) override {
    const WPARAM key = KeyMessage.WParam;
    if (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB) return tkcTableTakes;
    return key >= VK_LEFT && key <= VK_DOWN ? tkcNavigation : tkcEditorKeeps;
  }

  void StartEditing() {
    TOvcBaseTableCell *cell = columns.DefaultCell(col);
    TFont font;
    TOvcCellAttributes attr;
    attr.Font = &font;
    cell->GatherAttributes(row, col, attr);
    if (attr.Access != otxNormal) return;
    editing_ = cell;
    cell->StartEditing(row, col, CellRect(row, col), attr, ocsPlain, Data(row, col));
    cell->PlaceEditor(CellRect(row, col));
    if (cell->EditorControl()) cell->EditorControl()->SetFocus();
  }
  // False when the cell refuses to end (its editor stays open).
  bool StopEditing(bool Save, bool TakeFocus = true) {
    if (!editing_) return true;
    TOvcBaseTableCell *cell = editing_;
    if (!cell->CanEndEditing(Save)) return false;
    editing_ = nullptr;
    cell->EndEditing(Save, Data(row, col));
    if (TakeFocus) SetFocus();
    Invalidate();
    return true;
  }

  TOvcTableColumns columns;
  TOvcGridPenSet pens;
  TOvcTableColors colors;
  TOvcTCColHead *header = nullptr;
  std::vector<std::vector<GridValue>> values;
  int row = 1, col = 0;
  QList<int> commands;

protected:
  void Paint() override {
    TFont font;
    for (int c = 0; c < columns.Count(); ++c) {
      TOvcCellAttributes attr;
      attr.Font = &font;
      if (header) {
        header->GatherAttributes(0, c, attr);
        header->Paint(Canvas(), pens.LockedGrid()->ContentRect(CellRect(0, c)), 0, c, attr, nullptr);
        pens.LockedGrid()->DrawCellLines(Canvas(), CellRect(0, c), Color());
      }
      for (int r = 1; r <= int(values.size()); ++r) {
        TOvcBaseTableCell *cell = columns.DefaultCell(c);
        if (!cell) continue;
        cell->GatherAttributes(r, c, attr);
        cell->Paint(Canvas(), pens.NormalGrid()->ContentRect(CellRect(r, c)), r, c, attr, Data(r, c));
        pens.NormalGrid()->DrawCellLines(Canvas(), CellRect(r, c), Color());
      }
    }
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TestTable::MouseDown(Button, Shift, X, Y);
    const int r = Y / kRowHeight, c = X / 90;
    if (r < 1 || r > int(values.size()) || c >= columns.Count()) return;
    const bool again = r == row && c == col;
    if (!StopEditing(true)) return;
    row = r;
    col = c;
    Invalidate();
    if (!again && !columns.DefaultCell(c)->AcceptActivationClick()) return;
    StartEditing();
    // The click goes on to the editor, as the table passes it.
    if (TWinControl *editor = columns.DefaultCell(c)->EditorControl())
      editor->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X - editor->Left(), Y - editor->Top()));
  }

private:
  void Key(WORD Key) {
    if ((Key == VK_RETURN || Key == VK_F2) && !editing_) {
      StartEditing();
      return;
    }
    if (!StopEditing(Key != VK_ESCAPE)) return;
    if (Key == VK_TAB || Key == VK_RIGHT) col = std::min(col + 1, columns.Count() - 1);
    if (Key == VK_LEFT) col = std::max(col - 1, 0);
    if (Key == VK_DOWN) row = std::min(row + 1, int(values.size()));
    if (Key == VK_UP) row = std::max(row - 1, 1);
    Invalidate();
  }

  TOvcBaseTableCell *editing_ = nullptr;
};

// A form (entry-field settings pinned, typed into by real key events) with a 3 x 3 grid whose Tab and Enter
// move between cells, and an edit after it to take the focus.
class CellGridTest : public EntryFieldForm {
protected:
  void SetUp() override {
    EntryFieldForm::SetUp();
    grid = new CellGrid(form, 3, 3);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 270, 88);
    grid->options |= tblOptWantsTab | tblOptEnterLikeTab;
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(0, 120, 100, 24);
  }
  // Focuses the grid on the form shown and opens the editor of (1, Col) with Enter.
  void Edit(int Col) {
    grid->col = Col;
    Focus(grid);
    guitest::PressKey(Qt::Key_Return);
    guitest::ProcessEvents();
  }
  // The cell of (Row, Col) painted alone, 90 x 22, with the attributes it gathers.
  QImage PaintCell(TOvcBaseTableCell *cell, int Row, int Col, const void *Data) {
    QImage image(90, 22, QImage::Format_RGB32);
    TCanvas canvas(&image);
    TFont font;
    TOvcCellAttributes attr;
    attr.Font = &font;
    cell->GatherAttributes(Row, Col, attr);
    cell->Paint(&canvas, TRect{0, 0, 90, 22}, Row, Col, attr, Data);
    canvas.SetDevice(nullptr);
    return image;
  }

  CellGrid *grid = nullptr;
  TEdit *other = nullptr;
};
