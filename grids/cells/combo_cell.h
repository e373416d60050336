// The combo-box cell shows a value chosen from a list of strings and edits it in an in-place combo box. The
// table's active cell shows a drop-down button (and, with ShowArrow, every other cell a flat arrow), so the
// column looks like a column of combo boxes without a window per row.
#pragma once
#include "grids/cells/base_string_cell.h"
#include "platform/core/string_list.h"
#include "platform/widgets/std_combo_box.h"
#include <memory>

class TOvcTCCustomComboBox;

// The value of a combo-box cell (the paint Data is a `const TOvcTCComboBoxData *`).
struct TOvcTCComboBoxData {
  qint32 Index = -1;               // the chosen entry, -1 for none
  const TStrings *Items = nullptr; // the row's own list, read with UseRunTimeItems
  QString Text;                    // the typed text of an editable style
};

// The in-place editor. Keys the table takes, and the arrows at the ends of the text, go to the table; Tab,
// Enter and Escape never type. It frees itself when it receives CM_RELEASE.
class TOvcTCComboBoxEdit : public TCustomComboBox {
public:
  explicit TOvcTCComboBoxEdit(TComponent *AOwner) : TCustomComboBox(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTCComboBoxEdit"); }
  void WndProc(TMessage &Message) override;

  TOvcTCCustomComboBox *CellOwner = nullptr;

protected:
  void EditWndProc(TMessage &Message) override;

private:
  // Posts the key to the table when the cell's key filter gives it there; true when it did.
  bool PassedToTable(const TMessage &Message);
};

class TOvcTCCustomComboBox : public TOvcTCBaseString {
public:
  explicit TOvcTCCustomComboBox(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomComboBox"); }
  void BeforeDestruction() override;
  // The editor belongs to the table, which may free it first.
  void Notification(TComponent *AComponent, TOperation Operation) override;

  TWinControl *EditorControl() override { return editor_; }
  HWND EditorWindow() override;
  void HideEditor() override;
  void PlaceEditor(const TRect &CellRect) override;
  void tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
               const TOvcCellAttributes &CellAttr, const void *Data) override;
  void CopyEditorValue(void *Data) override;
  void StartEditing(int RowNum, int ColNum, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                    int CellStyle, const void *Data) override;
  void EndEditing(bool SaveValue, void *Data) override;
  virtual TOvcTCComboBoxEdit *CreateEditor(TComponent *AOwner);

  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int Value) { dropDownCount_ = Value; }
  TStringList *Items() { return &items_; }
  // Copies the list (sorted when Sorted is on).
  void SetItems(const TStrings *Value);
  // The longest text kept; 0 for no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int Value) { maxLength_ = ClampedMaxLength(Value); }
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle Value) { style_ = Value; }
  bool AutoAdvanceChar() const { return autoAdvanceChar_; }
  void SetAutoAdvanceChar(bool Value) { autoAdvanceChar_ = Value; }
  bool AutoAdvanceLeftRight() const { return autoAdvanceLeftRight_; }
  void SetAutoAdvanceLeftRight(bool Value) { autoAdvanceLeftRight_ = Value; }
  // The active cell shows no button.
  bool HideButton() const { return hideButton_; }
  void SetHideButton(bool Value) { hideButton_ = Value; }
  // A list style stores the chosen entry's text as well as its index.
  bool SaveStringValue() const { return saveStringValue_; }
  void SetSaveStringValue(bool Value) { saveStringValue_ = Value; }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  // Every cell, not only the active one, shows a flat arrow.
  bool ShowArrow() const { return showArrow_; }
  void SetShowArrow(bool Value);
  // Each row brings its own list (TOvcTCComboBoxData::Items).
  bool UseRunTimeItems() const { return useRunTimeItems_; }
  void SetUseRunTimeItems(bool Value) { useRunTimeItems_ = Value; }
  // The drop-down button's width: the arrow picture's and 11.
  int ButtonWidth() const;
  // Whether the style lets the user type a text of his own.
  bool Editable() const { return style_ == csDropDown || style_ == csSimple; }

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

private:
  const TStrings *ListOf(const TOvcTCComboBoxData *Value) const;
  bool IsActiveCell(int RowNum, int ColNum) const;
  void PaintFlatArrow(TCanvas *Canvas, const TRect &Area, const TOvcCellAttributes &CellAttr) const;
  void PaintButton(TCanvas *Canvas, const TRect &CellRect, const TRect &Area) const;
  void ReleaseEditor();

  int dropDownCount_ = 8;
  TOvcTCComboBoxEdit *editor_ = nullptr;
  TStringList items_;
  quint16 maxLength_ = 0;
  TComboBoxStyle style_ = csDropDown;
  bool autoAdvanceChar_ = false;
  bool autoAdvanceLeftRight_ = false;
  bool hideButton_ = false;
  bool saveStringValue_ = false;
  bool sorted_ = false;
  bool showArrow_ = false;
  bool useRunTimeItems_ = false;
  // One arrow picture for all combo-box cells, freed with the last of them.
  std::shared_ptr<const TBitmap> arrow_;
};

class TOvcTCComboBox : public TOvcTCCustomComboBox {
public:
  using TOvcTCCustomComboBox::TOvcTCCustomComboBox;
  QString ClassName() const override { return QStringLiteral("TOvcTCComboBox"); }
};
