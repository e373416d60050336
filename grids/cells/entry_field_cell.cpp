#include "grids/cells/entry_field_cell.h"
#include "grids/base/table_base.h"
#include "grids/cells/cell_editors.h"
#include "platform/windowing/system_services.h"

// ---- the two fields ----

void TOvcTCBaseEntryField::MakeFields() {
  fieldsMade_ = true;
  editor_ = CreateEntryField(this);
  painter_ = CreateEntryField(this);
  for (TOvcBaseEntryField *field : {editor_, painter_})
    if (field) field->SetVisible(false);
}

TOvcBaseEntryField *TOvcTCBaseEntryField::Editor() {
  if (!fieldsMade_) MakeFields();
  return editor_;
}

TOvcBaseEntryField *TOvcTCBaseEntryField::PaintingField() {
  if (!fieldsMade_) MakeFields();
  return painter_;
}

// The fields are children of the table while they paint and edit: a table that goes first takes them along.
void TOvcTCBaseEntryField::Notification(TComponent *AComponent, TOperation Operation) {
  TOvcTCBaseString::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent) return;
  if (AComponent == editor_) {
    editor_ = nullptr;
    value_.reset();
    valueSize_ = 0;
  }
  if (AComponent == painter_) painter_ = nullptr;
}

void TOvcTCBaseEntryField::DefineProperties(TFiler *Filer) {
  TOvcTCBaseString::DefineProperties(Filer);
  if (TOvcBaseEntryField *editor = Editor()) static_cast<TPersistent *>(editor)->DefineProperties(Filer);
}

const TOvcEntryValue *TOvcTCBaseEntryField::ValueFor(TOvcBaseEntryField *Field, const void *Data) {
  const auto *value = static_cast<const TOvcEntryValue *>(Data);
  return value && Field && value->HoldsTypeOf(Field->DataType(), ValueHoldsDateTime()) ? value : nullptr;
}

TOvcEntryValue TOvcTCBaseEntryField::EmptyValue() {
  TOvcBaseEntryField *editor = Editor();
  return editor ? TOvcEntryValue::Empty(editor->DataType(), ValueHoldsDateTime()) : TOvcEntryValue();
}

int TOvcTCBaseEntryField::DataSize() {
  TOvcBaseEntryField *editor = Editor();
  return editor ? editor->GetDataSize() : 0;
}

bool TOvcTCBaseEntryField::EditorModified() {
  TOvcBaseEntryField *editor = Editor();
  return editor && editor->Modified();
}

// ---- painting ----

void TOvcTCBaseEntryField::tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                                   const TOvcCellAttributes &CellAttr, const void *Data) {
  TOvcBaseEntryField *painter = PaintingField();
  const TOvcEntryValue *value = ValueFor(painter, Data);
  if (!value) {
    TOvcTCBaseString::tcPaint(TableCanvas, CellRect, RowNum, ColNum, CellAttr, nullptr);
    return;
  }
  TOvcController *controller = Table() ? Table()->Controller() : nullptr;
  if (painter->AssignedController() != controller) painter->SetController(controller);
  if (!painter->Controller()) ShowMessage(QStringLiteral("NIL in tcPaint"));
  // Putting a value into a parented field makes its window, and with it the table's: a paint must not do
  // that, or cells painted after this one would gather other attributes (the table's colour comes only
  // from its window). Formatting needs no window, so the field joins the table only once it has one.
  TWinControl *parent = TableHasWindow() ? Table() : nullptr;
  if (painter->Parent() != parent) painter->SetParent(parent);
  painter->SetBounds(0, 0, 0, 0);
  painter->SetFieldValue(value->Data());
  // The field pads its text (a numeric field to its whole width): the cell shows it without the padding.
  QString text = painter->DisplayString();
  qsizetype start = 0, end = text.size();
  while (start < end && text.at(start).unicode() < 33) ++start;
  while (end > start && text.at(end - 1).unicode() < 33) --end;
  text = text.mid(start, end - start);
  TOvcTCBaseString::tcPaint(TableCanvas, CellRect, RowNum, ColNum, CellAttr, &text);
}

// ---- editing ----

HWND TOvcTCBaseEntryField::EditorWindow() {
  TOvcBaseEntryField *editor = Editor();
  return editor && editor->HandleAllocated() ? editor->Handle() : 0;
}

void TOvcTCBaseEntryField::HideEditor() { HideCellEditor(Editor()); }
void TOvcTCBaseEntryField::PlaceEditor(const TRect &CellRect) { PlaceCellEditor(Editor(), CellRect); }

void TOvcTCBaseEntryField::StartEditing(int, int, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                                        int CellStyle, const void *Data) {
  TOvcBaseEntryField *editor = Editor();
  if (!editor) return;
  const TOvcEntryValue *value = ValueFor(editor, Data);
  value_ = value ? *value : EmptyValue();
  valueSize_ = editor->GetDataSize();
  editor->SetParent(Table());
  if (CellAttr.Font) editor->Font()->Assign(CellAttr.Font);
  editor->Font()->SetColor(CellAttr.FontColor);
  editor->SetColor(CellAttr.Color);
  editor->SetBorderStyle(CellStyle == ocsSingle ? bsSingle : bsNone);
  editor->SetCtl3D(CellStyle == ocs3D);
  editor->SetBoundsRect(CellRect);
  editor->SetHint(Hint());
  editor->SetShowHint(ShowHint());
  editor->SetTabStop(false);
  editor->SetController(Table() ? Table()->Controller() : nullptr);
  if (!editor->Controller()) ShowMessage(QStringLiteral("NIL in StartEditing"));
  editor->SetFieldValue(value_->Data());
  editor->Show();
  TakeCellEvents(this, editor);
  editor->OnChange = OnChange;
  editor->OnError = OnError;
  editor->OnUserCommand = OnUserCommand;
  editor->OnUserValidation = OnUserValidation;
}

bool TOvcTCBaseEntryField::CanEndEditing(bool SaveValue) {
  TOvcBaseEntryField *editor = Editor();
  if (!editor) return true;
  if (!SaveValue) {
    editor->Restore();
    return true;
  }
  if (editor->Controller()->ErrorPending()) return false;
  return editor->ValidateForExit();
}

void TOvcTCBaseEntryField::CopyEditorValue(void *Data) {
  TOvcBaseEntryField *editor = Editor();
  if (!Data || !editor || !value_) return;
  // A value the field refuses leaves the one editing began with.
  editor->GetFieldValue(value_->Data());
  *static_cast<TOvcEntryValue *>(Data) = *value_;
}

void TOvcTCBaseEntryField::EndEditing(bool SaveValue, void *Data) {
  if (SaveValue) CopyEditorValue(Data);
  value_.reset();
  valueSize_ = 0;
  HideEditor();
}

// ---- forwarded properties ----

TOvcCaret *TOvcTCBaseEntryField::CaretIns() { return Editor() ? Editor()->Carets()->CaretIns() : nullptr; }
void TOvcTCBaseEntryField::SetCaretIns(const TOvcCaret *Value) {
  if (Editor()) Editor()->Carets()->SetCaretIns(Value);
}
TOvcCaret *TOvcTCBaseEntryField::CaretOvr() { return Editor() ? Editor()->Carets()->CaretOvr() : nullptr; }
void TOvcTCBaseEntryField::SetCaretOvr(const TOvcCaret *Value) {
  if (Editor()) Editor()->Carets()->SetCaretOvr(Value);
}
TColor TOvcTCBaseEntryField::ControlCharColor() { return Editor() ? Editor()->ControlCharColor() : clRed; }
void TOvcTCBaseEntryField::SetControlCharColor(TColor Value) {
  if (Editor()) Editor()->SetControlCharColor(Value);
}
TOvcEfColors *TOvcTCBaseEntryField::EFColors() { return Editor() ? Editor()->EFColors() : nullptr; }
void TOvcTCBaseEntryField::SetEFColors(const TOvcEfColors *Value) {
  if (Editor()) Editor()->EFColors()->Assign(Value);
}
QString TOvcTCBaseEntryField::RangeHi() { return Editor() ? Editor()->RangeHi() : QString(); }
void TOvcTCBaseEntryField::SetRangeHi(const QString &Value) {
  if (Editor()) Editor()->SetRangeHi(Value);
}
QString TOvcTCBaseEntryField::RangeLo() { return Editor() ? Editor()->RangeLo() : QString(); }
void TOvcTCBaseEntryField::SetRangeLo(const QString &Value) {
  if (Editor()) Editor()->SetRangeLo(Value);
}
int TOvcTCBaseEntryField::TextMargin() { return Editor() ? Editor()->TextMargin() : 0; }
void TOvcTCBaseEntryField::SetTextMargin(int Value) {
  if (Editor()) Editor()->SetTextMargin(Value);
}

// These also shape the text the painting field shows.
int TOvcTCBaseEntryField::DecimalPlaces() { return Editor() ? Editor()->DecimalPlaces() : 0; }
void TOvcTCBaseEntryField::SetDecimalPlaces(int Value) {
  if (!Editor()) return;
  Editor()->SetDecimalPlaces(Value);
  if (PaintingField()) PaintingField()->SetDecimalPlaces(Value);
}
int TOvcTCBaseEntryField::MaxLength() { return Editor() ? Editor()->MaxLength() : 0; }
void TOvcTCBaseEntryField::SetMaxLength(int Value) {
  if (!Editor()) return;
  Editor()->SetMaxLength(Value);
  if (PaintingField()) PaintingField()->SetMaxLength(Value);
}
TOvcEntryFieldOptions TOvcTCBaseEntryField::Options() {
  return Editor() ? Editor()->Options() : TOvcEntryFieldOptions();
}
void TOvcTCBaseEntryField::SetOptions(TOvcEntryFieldOptions Value) {
  if (!Editor()) return;
  Editor()->SetOptions(Value);
  if (PaintingField()) PaintingField()->SetOptions(Value);
}
QChar TOvcTCBaseEntryField::PadChar() { return Editor() ? Editor()->PadChar() : QLatin1Char(' '); }
void TOvcTCBaseEntryField::SetPadChar(QChar Value) {
  if (!Editor()) return;
  Editor()->SetPadChar(Value);
  if (PaintingField()) PaintingField()->SetPadChar(Value);
}
QChar TOvcTCBaseEntryField::PasswordChar() { return Editor() ? Editor()->PasswordChar() : QLatin1Char('*'); }
void TOvcTCBaseEntryField::SetPasswordChar(QChar Value) {
  if (!Editor()) return;
  Editor()->SetPasswordChar(Value);
  if (PaintingField()) PaintingField()->SetPasswordChar(Value);
}
