// TO32InspectorGrid: a two-column grid of typed items (inspector_items.h): the caption of each row on the
// left, indented by tree level with an expand button, and its value on the right. The current row is edited
// in place by an editor chosen by the item's type (grid_editors.h), which writes the value back when the row
// is left. A value the item refuses (text that is not a number, a date, ...) stops the move with the item's
// message; the row and the typed text stay so that the user can mend it. Leaving the grid with such text
// reports the message after the focus has moved and keeps the item's previous value.
//
// Keys: Up and Down move between rows (Enter in the text editor moves down), Page Up and Page Down by a
// view, Left and Right collapse and expand; Tab and Shift+Tab move the focus on from the grid.
//
// The grid keeps its own rows (the display list), column widths and row heights, and scrolls by whole rows
// with a vertical scroll bar that appears when the rows no longer fit.
#pragma once
#include "controls/framework/base.h"
#include "grids/inspector/grid_extents.h"
#include "grids/inspector/inspector_items.h"
#include "platform/core/small_set.h"
#include "platform/graphics/bitmap.h"
#include <exception>
#include <memory>

class TCustomImageList;
class TFiler;
class TReader;
class TWriter;

// Which cell an OnCellPaint handler is asked to draw.
enum TO32IGridCell { icCaption, icValue };

enum TGridDrawStateFlag { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSmallSet<TGridDrawStateFlag>;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

// The editor kinds the grid makes, by item type.
enum class TO32EditorKind { None, Text, List, Color, Font };
TO32EditorKind EditorKindFor(TO32IGridItemType ItemType);

using To32IGridItemEvent = TEvent<void(TObject *Sender, int Item)>;
using TO32IGridCellPaintEvent =
    TEvent<void(TObject *Sender, int Item, TRect Rect, TCanvas *Canvas, TO32IGridCell Cell, bool &Default)>;
using TO32GetEditTextEvent = TEvent<void(TObject *Sender, TO32InspectorItem *Item, QString &Text)>;
using TO32GetEditMaskEvent = TEvent<void(TObject *Sender, TO32InspectorItem *Item, QString &Mask)>;
// Limit starts as the item's MaxLength.
using TO32GetEditLimitEvent = TEvent<void(TObject *Sender, TO32InspectorItem *Item, int &Limit)>;

class TO32CustomInspectorGrid : public TO32CustomControl {
public:
  explicit TO32CustomInspectorGrid(TComponent *AOwner);
  ~TO32CustomInspectorGrid() override;
  QString ClassName() const override { return QStringLiteral("TO32CustomInspectorGrid"); }
  void BeforeDestruction() override;
  void Loaded() override;
  void SetParent(TWinControl *AParent) override;
  void WndProc(TMessage &Message) override;
  // With an editor open, the focus goes to the editor.
  void SetFocus() override;
  // "ColWidths", "RowHeights" and "ItemCollection".
  void DefineProperties(TFiler *Filer) override;

  // -- appearance --
  TColor ItemTextColor() const { return itemTextColor_; }
  void SetItemTextColor(TColor Value);
  TColor CaptionTextColor() const { return captionTextColor_; }
  void SetCaptionTextColor(TColor Value);
  TColor GridLineColor() const { return gridLineColor_; }
  void SetGridLineColor(TColor Value);
  TColor EditColor() const { return editColor_; }
  void SetEditColor(TColor Value);
  int ChildIndentation() const { return childIndentation_; }
  void SetChildIndentation(int Value);
  // A strip of three square images: collapsed, without children, expanded (empty: a drawn box).
  const TBitmap *ExpandGlyph() const { return expandGlyph_.get(); }
  void SetExpandGlyph(const TBitmap *Value);
  TCustomImageList *Images() const { return images_; }
  void SetImages(TCustomImageList *Value) { images_ = Value; }
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool Value);
  bool AutoExpand() const { return autoExpand_; }
  void SetAutoExpand(bool Value) { autoExpand_ = Value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  QString About() const { return QStringLiteral("v4.06"); }
  void SetAbout(const QString &) {}

  // -- items and rows --
  TO32InspectorItems *ItemCollection() const { return items_.get(); }
  // The item at a collection index (not a row).
  TO32InspectorItem *ItemAt(int Index) const { return items_->Item(Index); }
  TO32InspectorItem *AddItem(TO32IGridItemType ItemType, TO32InspectorItem *Parent = nullptr);
  int RowCount() const { return int(items_->DisplayList().size()); }
  // The item shown in a row, nullptr outside the rows.
  TO32InspectorItem *RowItem(int Row) const;
  // The current row's item, nullptr without rows.
  TO32InspectorItem *Selected() const { return RowItem(row_); }
  int Row() const { return row_; }
  // Moves to Row when it is another row.
  void SelectRow(int Row);
  int TopRow() const { return topRow_; }
  void SetTopRow(int Value);
  // The rows wholly inside the view from TopRow (at least 1).
  int VisibleRowCount() const;

  // -- extents --
  int ColWidth(int Index) const;
  void SetColumnWidth(int Index, int Width);
  int RowHeight(int Index) const;
  void SetRowHeight(int Index, int Height);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  // Drops the row heights; 21 or more is taken as it is, anything less becomes 19.
  void SetDefaultRowHeight(int Value);
  // The rectangle of a cell in client coordinates (rows above or below the view lie outside the client
  // area); empty for a row that does not exist.
  TRect CellRect(int Column, int Row) const;
  // The row at a client y (-1 when none).
  int RowAtY(int Y) const;

  // -- editing --
  bool EditorMode() const { return editorMode_; }
  void SetEditorMode(bool Value);
  // The in-place editor open now (nullptr when none) and the item it edits.
  TWinControl *Editor() const { return editor_; }
  TO32EditorKind EditorKind() const { return editorKind_; }
  // Writes the open editor back to its item, firing OnItemChange and AfterEdit when the value changed.
  // Raises, with the row's caption in the message, when the item refuses the text. A form whose buttons do
  // not take the focus calls it before it reads the rows.
  void CommitEditor();
  void ShowEditor();
  // Writes the editor's text to its item without events and hides the editor.
  void HideEditor();

  // -- told by the items --
  void ItemChanged(TO32InspectorItem *Item);
  void RefreshItems();
  void ItemExpanded(TO32InspectorItem *Item, bool Expanded);
  void ItemMoved(TO32InspectorItem *Item);
  // Item is leaving the collection: the editor lets go of it.
  void ItemRemoving(TO32InspectorItem *Item);
  bool Loading() const { return ComponentState().Contains(csLoading); }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  bool Designing() const { return ComponentState().Contains(csDesigning); }

  // -- used by the editors --
  void EditorKeyDown(WORD &Key, TShiftState Shift) { KeyDown(Key, Shift); }
  void EditorOnKeyDown(WORD &Key, TShiftState Shift);
  void EditorKeyPress(QChar &Key);
  void EditorChanged();
  void EditorWheel(int Delta);
  bool EditModify() const { return editModify_; }
  bool Filling() const { return filling_; }

  To32IGridItemEvent AfterEdit;
  To32IGridItemEvent BeforeEdit;
  TO32IGridCellPaintEvent OnCellPaint;
  To32IGridItemEvent OnDelete; // kept for stored forms; the grid never fires it
  To32IGridItemEvent OnExpand;
  To32IGridItemEvent OnCollapse;
  TO32GetEditMaskEvent OnGetEditMask;
  TO32GetEditTextEvent OnGetEditText;
  TO32GetEditLimitEvent OnGetEditLimit;
  To32IGridItemEvent OnItemChange;
  To32IGridItemEvent OnItemEditorChange;
  To32IGridItemEvent OnItemSelect;

protected:
  // A column-sizing state when X is on the divider after column 0.
  virtual void CalcSizingState(int X, int Y, TGridState &State, int &Index, int &SizingPos, int &SizingOfs);
  virtual TWinControl *MakeItemEditor(TO32EditorKind Kind);
  virtual bool CurrentItemEditable() const;
  virtual void PaintItemCell(int Column, int Row, TRect Rect, TGridDrawState State);
  virtual bool SelectCell(int Column, int Row) { return true; }
  void PaintExpandButton(const TO32InspectorItem *Item, const TRect &Box);

  void CreateParams(TCreateParams &Params) override;
  void Paint() override;
  void KeyDown(WORD &Key, TShiftState Shift) override;
  void KeyPress(QChar &Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoExit() override;
  void Resize() override;
  void DoOnMouseWheel(TShiftState Shift, int Delta, int XPos, int YPos) override;
  // Commits the editor and makes Row current (showing it when Show), then fires Click and OnItemSelect.
  void MoveToRow(int Column, int Row, bool Show);

private:
  void AdjustRowsAndScrollBar();
  void UpdateScrollBar();
  void UpdateScrollPos();
  void ScrollMessage(WORD Code, int Position);
  int MaxTopRow() const;
  void ScrollIntoView(int Row);
  void PlaceEditor();
  void FillEditor(TO32InspectorItem *Item);
  void FreeEditor();
  void FreeRetiredEditors();
  QString EditorText() const;
  // Writes Text to Item without events; false (the item unchanged) when the item refuses it.
  bool WriteQuietly(TO32InspectorItem *Item);
  bool FocusInside() const;
  void ToggleItem(TO32InspectorItem *Item);
  bool InSizingZone(int X) const;
  void SetColumnWidths(int Width0, int Width1);
  void ReportRefusal();
  void ReadColWidths(TReader *Reader);
  void ReadRowHeights(TReader *Reader);

  std::unique_ptr<TO32InspectorItems> items_;
  TColor itemTextColor_ = clNavy;
  TColor captionTextColor_ = clBlack;
  TColor gridLineColor_ = clBtnShadow;
  TColor editColor_ = clWindow;
  int childIndentation_ = 5;
  std::unique_ptr<TBitmap> expandGlyph_;
  TCustomImageList *images_ = nullptr;
  bool defaultDrawing_ = true;
  bool autoExpand_ = false;
  bool readOnly_ = false;
  bool sorted_ = false;

  int row_ = 0;
  int topRow_ = 0;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  std::unique_ptr<TGridExtents> colWidths_;
  std::unique_ptr<TGridExtents> rowHeights_;
  bool scrollBar_ = false;
  int lastWidth_ = -1;
  TGridState gridState_ = gsNormal;

  TWinControl *editor_ = nullptr;
  QList<TWinControl *> retired_;
  TO32EditorKind editorKind_ = TO32EditorKind::None;
  TO32InspectorItem *editorItem_ = nullptr;
  bool editorMode_ = false;
  bool editModify_ = false;
  bool filling_ = false;
  std::exception_ptr refusal_;
};

class TO32InspectorGrid : public TO32CustomInspectorGrid {
public:
  using TO32CustomInspectorGrid::TO32CustomInspectorGrid;
  QString ClassName() const override { return QStringLiteral("TO32InspectorGrid"); }
};
