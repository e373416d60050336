// The cells of the table family. A cell is a non-visual component that paints one cell at a time for its
// table and owns the in-place editor that edits a cell. One cell may serve several columns of one table (and
// the header): each calls AddUser, and the cell stays registered with the table while it has users.
#pragma once
#include "grids/base/table_types.h"
#include "platform/core/component.h"
#include "platform/core/events.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics.h"
#include "platform/windowing/controls.h"

class TOvcTableAncestor;
class TOvcBaseTableCell;
class TField;

using TCellPaintNotifyEvent =
    TEvent<void(TObject *Sender, TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                const TOvcCellAttributes &CellAttr, const void *Data, bool &DoneIt)>;

class TOvcTableCellAncestor : public TComponent {
public:
  explicit TOvcTableCellAncestor(TComponent *AOwner) : TComponent(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTableCellAncestor"); }
  // Re-reads the table's colour and font.
  virtual void PullTableAttributes() = 0;
};

// Where content of Width x Height goes in CellRect under Adjust, Margin pixels from the edges it keeps to.
TPoint PlaceInCell(const TRect &CellRect, TOvcTblAdjust Adjust, int Margin, int Width, int Height);

// The in-place editor's cell border: plain, single line, three-dimensional.
enum TOvcCellStyle : int { ocsPlain = 0, ocsSingle = 1, ocs3D = 2 };

// Directions of TransferField.
constexpr int cfdFieldToBuffer = 1;
constexpr int cfdBufferToField = 2;

class TOvcBaseTableCell : public TOvcTableCellAncestor {
public:
  explicit TOvcBaseTableCell(TComponent *AOwner);
  ~TOvcBaseTableCell() override;
  QString ClassName() const override { return QStringLiteral("TOvcBaseTableCell"); }
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;

  // ---- virtual operations ----
  void PullTableAttributes() override;
  virtual TWinControl *EditorControl() { return nullptr; }
  // Data points to the cell's value in the cell's own format, or is nullptr.
  virtual void tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                       const TOvcCellAttributes &CellAttr, const void *Data);
  virtual bool AcceptsField(TField *) { return false; }
  virtual int DataSize() { return 0; }
  virtual void TransferField(TField *, void *, int) {}
  virtual HWND EditorWindow() { return 0; }
  virtual void HideEditor() {}
  virtual void PlaceEditor(const TRect &) {}
  virtual bool CanEndEditing(bool) { return true; }
  virtual int AskTableKeyFilter(const TMessage &KeyMessage);
  virtual void CopyEditorValue(void *) {}
  virtual void StartEditing(int, int, const TRect &, const TOvcCellAttributes &, int, const void *) {}
  virtual void EndEditing(bool, void *) {}
  virtual bool FireOwnerDraw(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                             const TOvcCellAttributes &CellAttr, const void *Data);
  virtual void GatherAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr);

  // Owner draw, else tcPaint. Tables paint cells only through this.
  void Paint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
             const TOvcCellAttributes &CellAttr, const void *Data);

  // ---- users and the table ----
  void AddUser();
  void RemoveUser();
  int UserCount() const { return users_; }
  TOvcTableAncestor *Table() const { return table_; }
  void SetTable(TOvcTableAncestor *Value);
  // The hook a table installs when it registers the cell.
  TNotifyEvent OnCellChanged;

  // ---- queries of the table: 0 or False without a table window ----
  int ActiveColumn() const;
  int ActiveRow() const;
  int LockedColumns() const;
  int LockedRows() const;
  bool TableWantsTab() const;
  bool TableWantsEnter() const;
  void PostToTable(UINT Msg, WPARAM WParam, LPARAM LParam) const;
  void PostKeyToTable(const TMessage &KeyMessage) const;

  // ---- attributes ----
  TColor Color();
  void SetColor(TColor Value);
  TFont *Font();
  void SetFont(const TFont *Value);
  QString Hint() const { return hint_; }
  void SetHint(const QString &Value) { hint_ = Value; }
  int Margin() const { return margin_; }
  void SetMargin(int Value);
  TColor TextHiColor() const { return textHiColor_; }
  void SetTextHiColor(TColor Value);
  TOvcTblAccess Access() const { return access_; }
  void SetAccess(TOvcTblAccess Value);
  TOvcTblAdjust Adjust() const { return adjust_; }
  void SetAdjust(TOvcTblAdjust Value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value) { showHint_ = Value; }
  bool TableColor() const { return tableColor_; }
  void SetTableColor(bool Value);
  bool TableFont() const { return tableFont_; }
  void SetTableFont(bool Value);
  TOvcTextStyle TextStyle() const { return textStyle_; }
  void SetTextStyle(TOvcTextStyle Value);
  // Whether the form stores Color and Font: only when they are the cell's own.
  bool IsColorStored() const { return !tableColor_; }
  bool IsFontStored() const { return !tableFont_; }
  QString About() const { return QStringLiteral("v4.06"); }
  void SetAbout(const QString &) {}
  // Whether the click that makes a cell active also reaches the cell's editor (a check box toggles, a combo
  // box drops down) instead of only moving there.
  bool AcceptActivationClick() const { return acceptActivationClick_; }

  // Kept by the cell and handed to its editor when editing starts.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TDragDropEvent OnDragDrop;
  TDragOverEvent OnDragOver;
  TEndDragEvent OnEndDrag;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TCellPaintNotifyEvent OnOwnerDraw;

protected:
  // Fires the change hook.
  void DoCellChanged();
  bool TableHasWindow() const;
  LRESULT SendToTable(UINT Msg) const;
  // The table scales a cell that keeps its own font.
  friend class TOvcTableAncestor;
  void ScaleFont(int M, int D);
  void SetAcceptActivationClick(bool Value) { acceptActivationClick_ = Value; }

private:
  void FetchTableColor();
  void FetchTableFont();
  void FontChanged(TObject *Sender);

  TColor color_ = clBtnFace;
  TFont font_;
  QString hint_;
  int margin_ = 4;
  int users_ = 0;
  TOvcTableAncestor *table_ = nullptr;
  TColor textHiColor_ = clBtnHighlight;
  TOvcTblAccess access_ = otxDefault;
  TOvcTblAdjust adjust_ = otaDefault;
  bool showHint_ = false;
  bool tableColor_ = true;
  bool tableFont_ = true;
  TOvcTextStyle textStyle_ = tsFlat;
  bool colorPending_ = true;
  bool fontPending_ = true;
  bool pullingFont_ = false;
  bool acceptActivationClick_ = false;
};
