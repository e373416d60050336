// TOvcTCBaseEntryField: the base of the cells that edit their value in an entry field (the numeric, picture
// and simple field cells). The cell owns two fields of the same class: the editor, which the user types into
// over the active cell, and a hidden painting field, which only turns a value into the text a cell shows. The
// common entry-field properties are forwarded to the fields.
//
// A field cell's value (the paint, StartEditing and EndEditing Data) is a `TOvcEntryValue` holding the
// editor's typed value; EmptyValue makes one of the right type. A value of another type is painted and edited
// as an empty one and is replaced, never reinterpreted.
#pragma once
#include "controls/entry/base_entry_field.h"
#include "grids/cells/base_string_cell.h"
#include "grids/cells/entry_value.h"

class TOvcTCBaseEntryField : public TOvcTCBaseString {
public:
  explicit TOvcTCBaseEntryField(TComponent *AOwner) : TOvcTCBaseString(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTCBaseEntryField"); }
  void Notification(TComponent *AComponent, TOperation Operation) override;
  // Adds the editor's "RangeHigh" and "RangeLow", so ranges of any data type are stored with the cell.
  void DefineProperties(TFiler *Filer) override;

  TWinControl *EditorControl() override { return Editor(); }
  HWND EditorWindow() override;
  void HideEditor() override;
  void PlaceEditor(const TRect &CellRect) override;
  bool CanEndEditing(bool SaveValue) override;
  void tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
               const TOvcCellAttributes &CellAttr, const void *Data) override;
  void CopyEditorValue(void *Data) override;
  void StartEditing(int RowNum, int ColNum, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                    int CellStyle, const void *Data) override;
  void EndEditing(bool SaveValue, void *Data) override;
  // The editor's value size in bytes (a string's MaxLength + 1); 0 without an editor.
  int DataSize() override;
  // Whether the user changed the editor's value (False without an editor).
  bool EditorModified();
  // An empty value of the editor's data type, for a table to fill and hand to the cell.
  TOvcEntryValue EmptyValue();

  // The forwarded properties; without an editor the getters answer the defaults and the setters do nothing.
  TOvcCaret *CaretIns();
  void SetCaretIns(const TOvcCaret *Value);
  TOvcCaret *CaretOvr();
  void SetCaretOvr(const TOvcCaret *Value);
  TColor ControlCharColor();
  void SetControlCharColor(TColor Value);
  int DecimalPlaces();
  void SetDecimalPlaces(int Value);
  TOvcEfColors *EFColors();
  void SetEFColors(const TOvcEfColors *Value);
  int MaxLength();
  void SetMaxLength(int Value);
  TOvcEntryFieldOptions Options();
  void SetOptions(TOvcEntryFieldOptions Value);
  QChar PadChar();
  void SetPadChar(QChar Value);
  QChar PasswordChar();
  void SetPasswordChar(QChar Value);
  QString RangeHi();
  void SetRangeHi(const QString &Value);
  QString RangeLo();
  void SetRangeLo(const QString &Value);
  int TextMargin();
  void SetTextMargin(int Value);

  // Handed to the editor, with the cell's control events, when editing starts.
  TNotifyEvent OnChange;
  TValidationErrorEvent OnError;
  TUserCommandEvent OnUserCommand;
  TUserValidationEvent OnUserValidation;

protected:
  // A new field of the cell's class, owned by Owner: the editor and the painting field are made by it.
  virtual TOvcBaseEntryField *CreateEntryField(TComponent *Owner) = 0;
  // The two fields, made on first use (nullptr only when CreateEntryField makes none).
  TOvcBaseEntryField *Editor();
  TOvcBaseEntryField *PaintingField();
  // Whether the value is a date and time together (a picture cell's date-time type).
  virtual bool ValueHoldsDateTime() { return false; }

private:
  void MakeFields();
  // The value at Data when it has Field's type, else nullptr.
  const TOvcEntryValue *ValueFor(TOvcBaseEntryField *Field, const void *Data);

  TOvcBaseEntryField *editor_ = nullptr;
  TOvcBaseEntryField *painter_ = nullptr;
  bool fieldsMade_ = false;
  // The value being edited, present only while the editor is open, and its size in bytes.
  std::optional<TOvcEntryValue> value_;
  int valueSize_ = 0;
};
