// TOvcDbTable: the data-aware table. It shows the records of a dataset as rows, one row per record of its
// link's window, and the fields as columns; it scrolls through the dataset vertically and through its
// columns horizontally, and edits a field in place through the column's cell.
//
// The work is split by concern: db_table_data.cpp holds the data side (the link, the field map, the columns
// and the dataset's notices), db_table_paint.cpp the layout, painting and scrolling, db_table_input.cpp the
// keys, the mouse and the editor.
//
// The columns name the dataset's fields, one column per field (hidden ones for fields not shown): a data
// source given at run time clears the names, so that the next layout change makes one column per field; a
// form names its columns after giving the data source.
//
// The vertical scroll bar of a dataset that cannot number its records (a database table) has five places:
// the first record, above the middle, the middle, below it and the last record; the table never counts the
// records to place it.
#pragma once
#include "grids/base/table_base.h"
#include "grids/base/table_colors.h"
#include "grids/base/table_columns.h"
#include "grids/table/db_table_columns.h"
#include "grids/table/db_table_link.h"
#include "grids/table/field_cell_data.h"
#include "platform/core/small_set.h"
#include "platform/graphics/image_list.h"
#include "platform/widgets/std_control_types.h"
#include <QCursor>
#include <memory>

class TDataSource;
class TField;

enum TOvcDbTableOption {
  dtoCellsPaintText,
  dtoAllowColumnMove,
  dtoAllowColumnSize,
  dtoAlwaysEditing,
  dtoHighlightActiveRow,
  dtoIntegralHeight,
  dtoEnterToTab,
  dtoPageScroll,
  dtoShowIndicators,
  dtoShowPictures,
  dtoStretch,
  dtoWantTabs,
  dtoWrapAtEnds
};
using TOvcDbTableOptionSet = TSmallSet<TOvcDbTableOption>;

enum TOvcHeaderOption { hoShowHeader, hoUseHeaderCell, hoUseLetters, hoUseStrings };
using TOvcHeaderOptions = TSmallSet<TOvcHeaderOption>;

using TCellNotifyEvent = TEvent<void(TObject *Sender, int RowNum, int ColNum)>;
using TCellAttrNotifyEvent =
    TEvent<void(TObject *Sender, int RowNum, int ColNum, TOvcCellAttributes &CellAttr)>;
using TOvcColumnMovedEvent = TEvent<void(TObject *Sender, int FromCol, int ToCol)>;
using TDbTableUserCommandEvent = TEvent<void(TObject *Sender, WORD Command)>;

// Where HitTest places a point.
enum TOvcDbTableRegion { otrCell = 0, otrLocked = 1, otrUnused = 2, otrOutside = 3 };
// The Row and Col HitTest gives for the header row, the indicator column and the unused area.
constexpr int HitLocked = -2;
constexpr int HitUnused = -1;

class TOvcCustomDbTable : public TOvcTableAncestor {
public:
  explicit TOvcCustomDbTable(TComponent *AOwner);
  ~TOvcCustomDbTable() override;
  QString ClassName() const override { return QStringLiteral("TOvcCustomDbTable"); }
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;
  void Loaded() override;
  void DefineProperties(TFiler *Filer) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(TMessage &Message) override;

  // ---- properties ----
  TOvcTblAccess Access() const { return access_; }
  void SetAccess(TOvcTblAccess Value);
  TOvcTblAdjust Adjust() const { return adjust_; }
  void SetAdjust(TOvcTblAdjust Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  TColor ColorUnused() const { return colorUnused_; }
  void SetColorUnused(TColor Value);
  TOvcTableColors *Colors() const { return colors_.get(); }
  void SetColors(const TOvcTableColors *Value) { colors_->Assign(Value); }
  TOvcTableColumns *Columns() const { return columns_.get(); }
  // Takes Value (a list made for this table) in place of the present list, which is freed.
  void SetColumns(TOvcTableColumns *Value);
  int ColumnCount() const { return columns_->Count(); }
  // The data-aware column ColNum, nullptr outside the columns.
  TOvcDbTableColumn *Column(int ColNum) const;
  TDataSource *DataSource() const { return link_->DataSource(); }
  void SetDataSource(TDataSource *Value);
  int DefaultMargin() const { return defaultMargin_; }
  void SetDefaultMargin(int Value);
  TOvcGridPenSet *GridPenSet() const { return pens_.get(); }
  void SetGridPenSet(const TOvcGridPenSet *Value) { pens_->Assign(Value); }
  TOvcBaseTableCell *HeaderCell() const { return headerCell_; }
  void SetHeaderCell(TOvcBaseTableCell *Value);
  int HeaderHeight() const { return headerHeight_; }
  void SetHeaderHeight(int Value);
  TOvcHeaderOptions HeaderOptions() const { return headerOptions_; }
  void SetHeaderOptions(TOvcHeaderOptions Value);
  int LockedColumns() const { return lockedColumns_; }
  void SetLockedColumns(int Value);
  TOvcDbTableOptionSet Options() const { return options_; }
  void SetOptions(TOvcDbTableOptionSet Value);
  int RowHeight() const { return rowHeight_; }
  void SetRowHeight(int Value);
  int RowIndicatorWidth() const { return rowIndicatorWidth_; }
  void SetRowIndicatorWidth(int Value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  TOvcTextStyle TextStyle() const { return textStyle_; }
  void SetTextStyle(TOvcTextStyle Value);

  // ---- state ----
  int ActiveColumn() const { return activeCol_; }
  int ActiveRow() const { return activeRow_; }
  int LeftColumn() const { return leftCol_; }
  // The rows shown: the records of the link's window (1 without records).
  int VisibleRowCount() const { return visibleRows_; }
  const TOvcVisibleColumns &VisibleColumns() const { return visible_; }
  TOvcDbTableDataLink *DataLink() const { return link_.get(); }
  bool EditorOpen() const { return state_ & stEditorOpen; }
  TOvcBaseTableCell *EditingCell() const { return editingCell_; }

  // ---- the data side ----
  void BuildFieldMap();
  void CreateDefaultColumns();
  // Sets the cell up for the field; on success the table repaints.
  bool FitCellToField(TField *Field, TOvcBaseTableCell *Cell);
  // The column whose cell shows Field, -1 when none.
  int ColumnOfField(const TField *Field) const;
  bool IsColumnHidden(int ColNum) const;
  // The "ColData" stream property's content.
  void ReadColData(TReader *Reader);
  void WriteColData(TWriter *Writer);

  // ---- layout ----
  // ColNum clamped to the unlocked columns, then moved to an unhidden one: Direction 0 takes it as it is
  // when it shows, upward first for Direction >= 0, downward otherwise.
  int NearestColumn(int ColNum, int Direction) const;
  void SetLeftColumn(int ColNum);
  TRect CellRect(int RowNum, int ColNum) const;
  // The cell's part inside its grid lines.
  TRect CellContentRect(int RowNum, int ColNum) const;
  int RowTop(int RowNum) const;
  int RowBottom(int RowNum) const;

  // ---- keys, mouse and editing ----
  void MoveActiveCell(int Row, int Col);
  void MoveToColumn(int Col) { MoveActiveCell(activeRow_, Col); }
  void MoveToRow(int Row) { MoveActiveCell(Row, activeCol_); }
  void MoveBy(int Distance);
  bool OpenEditor();
  bool CloseEditor(bool SaveValue);
  bool SaveEditedValue();
  bool BeginFieldEdit();
  void ProcessCommand(WORD Command);
  // The region of a client point and the row and column there (see HitLocked, HitUnused).
  TOvcDbTableRegion HitTest(int X, int Y, int &Col, int &Row) const;

  // ---- the ancestor's operations ----
  void CellChanged(TObject *Sender) override;
  int ClassifyKey(const TMessage &KeyMessage) override;
  void AdjustCellAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr) override;

  // ---- notices from the link ----
  void DataLinkActiveChanged(bool Active);
  void DataSetChanged();
  void DataSetScrolled(int Distance);
  void EditingChanged();
  void LayoutChanged();
  void RecordChanged(TField *Field);

  TCellNotifyEvent OnActiveCellChanged;
  TOvcColumnMovedEvent OnColumnMoved;
  TCellNotifyEvent OnIndicatorClick;
  TCellAttrNotifyEvent OnGetCellAttributes;
  TNotifyEvent OnLeftColumnChanged;
  TCellNotifyEvent OnLockedCellClick;
  TNotifyEvent OnPaintUnusedArea;
  TCellNotifyEvent OnUnusedAreaClick;
  TDbTableUserCommandEvent OnUserCommand;

protected:
  void CreateParams(TCreateParams &Params) override;
  void CreateWnd() override;
  void ChangeScale(int M, int D) override;
  void Paint() override;
  void DoOnMouseWheel(TShiftState Shift, int Delta, int XPos, int YPos) override;
  virtual void PaintUnusedArea();

  virtual void DoActiveCellChanged(int RowNum, int ColNum);
  virtual void DoColumnMoved(int FromCol, int ToCol);
  virtual void DoIndicatorClick(int RowNum, int ColNum);
  virtual void DoGetCellAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr);
  virtual void DoLeftColumnChanged();
  virtual void DoLockedCellClick(int RowNum, int ColNum);
  virtual void DoPaintUnusedArea();
  virtual void DoUnusedAreaClick(int RowNum, int ColNum);
  virtual void DoUserCommand(WORD Command);

private:
  // Bits of the state word.
  static constexpr unsigned stFocused = 0x0001;
  static constexpr unsigned stReady = 0x0008;
  static constexpr unsigned stEditorOpen = 0x0010;
  static constexpr unsigned stOverBorder = 0x0080;
  static constexpr unsigned stSizing = 0x0100;
  static constexpr unsigned stOverHeader = 0x0200;
  static constexpr unsigned stMoving = 0x0400;

  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  bool Quiet() const { return IsLoading() || IsDestroying(); }
  TDataSet *DataSet() const { return link_->DataSet(); }
  bool DataSetActive() const { return link_->Active(); }
  bool DataSetEditing() const;
  // The field the column shows (default fields: the one mapped at its place).
  TField *ColumnField(int ColNum) const;
  // The records of the link's window that exist (0 without an active dataset).
  int RecordRows() const;

  // data side (db_table_data.cpp)
  void ColumnsChanged(TObject *Sender, int ColNum1, int ColNum2, int Action);
  void ClearColumnFields(bool AndNames);
  int DefaultColumnWidth(TField *Field);
  void CellFontOrColorChanged(TObject *Sender);

  // layout and painting (db_table_paint.cpp)
  void LayOutColumns(int First);
  void CalcMaxLeftColumn();
  void CalcRows();
  void ApplyIntegralHeight();
  void UpdateVScrollBar();
  void UpdateHScrollBar();
  void UpdateScrollBars();
  void InvalidateCell(int RowNum, int ColNum);
  void InvalidateRow(int RowNum);
  void InvalidateIndicators();
  void InvalidateActive();
  void InvalidateHeader();
  void PaintHeader(const TRect &Clip, TCanvas *Canvas);
  void PaintRow(int Row, const TRect &Clip, TCanvas *Canvas);
  void PaintCell(int Row, int ColNum, TOvcDbTableColumn *Column, TCanvas *Canvas);
  bool PaintPicture(TField *Field, const TRect &Rect, const TOvcCellAttributes &Attr, TCanvas *Canvas);
  void PaintActiveFrame(TCanvas *Canvas);
  // Keeps an open editor over the active cell, hidden while the active column is scrolled away.
  void PlaceOpenEditor();
  void ScrollToColumn(int ColNum);
  void PageLeft();
  void PageRight();
  int UnhiddenBetween(int From, int To) const;
  int PreviousUnhidden(int ColNum) const;
  int NextUnhidden(int ColNum) const;
  void WMVScroll(TMessage &Message);
  void WMHScroll(TMessage &Message);

  // keys, mouse and editing (db_table_input.cpp)
  void MakeColumnVisible(int ColNum);
  bool EndEditForInput();
  void WMKeyDown(TMessage &Message);
  void WMLButtonDown(TMessage &Message);
  void WMLButtonDblClk(TMessage &Message);
  void WMRButtonDown(TMessage &Message);
  void WMMouseMove(TMessage &Message);
  void WMLButtonUp(TMessage &Message);
  void WMSetCursor(TMessage &Message);
  void WMSetFocus(TMessage &Message);
  void WMKillFocus(TMessage &Message);
  void EditorLostFocus(HWND Gaining, LPARAM ErrorCode);
  bool OnOwnForm(HWND Window) const;
  void PostRecordOnLeaving();
  void AnswerPrivateMessage(TMessage &Message);
  void MoveLeftCommand();
  void MoveRightCommand();
  void DrawSizingLine();
  void DrawMoveMarker();
  int MoveMarkerX() const;
  void EndColumnMove();

  // the data
  std::unique_ptr<TOvcDbTableDataLink> link_;
  std::unique_ptr<TOvcTableColumns> columns_;
  TOvcVisibleColumns visible_;
  std::unique_ptr<TOvcTableColors> colors_;
  std::unique_ptr<TOvcGridPenSet> pens_;
  TDataSource *previousSource_ = nullptr;
  TOvcBaseTableCell *headerCell_ = nullptr;
  TOvcBaseTableCell *editingCell_ = nullptr;
  bool columnUpdate_ = false;
  bool scrolling_ = false;
  bool updating_ = false;

  // the properties
  TOvcTblAccess access_ = otxNormal;
  TOvcTblAdjust adjust_ = otaCenterLeft;
  TBorderStyle borderStyle_ = bsSingle;
  TColor colorUnused_ = clWindow;
  int defaultMargin_ = 4;
  int headerHeight_ = 21;
  TOvcHeaderOptions headerOptions_{hoShowHeader};
  int lockedColumns_ = 0;
  TOvcDbTableOptionSet options_{dtoShowIndicators};
  int rowHeight_ = 21;
  int rowIndicatorWidth_ = 11;
  TScrollStyle scrollBars_ = ssBoth;
  TOvcTextStyle textStyle_ = tsFlat;

  // the state
  int activeCol_ = 0;
  int activeRow_ = 0;
  int leftCol_ = 0;
  int maxLeftCol_ = 0;
  int visibleRows_ = 1;
  int indicatorWidth_ = 11;
  bool hasHScroll_ = true;
  bool hasVScroll_ = true;
  unsigned state_ = stReady;
  QStringList commandTables_;
  QCursor moveCursor_;
  TImageList *indicators_ = nullptr; // owned

  // editing and dragging
  bool editRefused_ = false;
  bool focusingByClick_ = false;
  bool editStartedHere_ = false;
  bool keyOpenedEditor_ = false;
  QString pendingChars_;
  int sizingCol_ = -1;
  int sizingX_ = 0;
  int hoverCol_ = -1;
  int moveFrom_ = -1;
  int moveTo_ = -1;
};

class TOvcDbTable : public TOvcCustomDbTable {
public:
  using TOvcCustomDbTable::TOvcCustomDbTable;
  QString ClassName() const override { return QStringLiteral("TOvcDbTable"); }
};
