#include "grids/cells/field_cells.h"
#include "grids/base/table_messages.h"
#include "platform/windowing/virtual_keys.h"

namespace {

constexpr WPARAM kTab = 9, kEnter = 13, kEscape = 27;

bool IsVerticalKey(WPARAM key) { return key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN; }

} // namespace

void FieldEditorMessage(TOvcBaseEntryField *Editor, TOvcTCBaseEntryField *Cell, TMessage &Message,
                        const std::function<void(TMessage &)> &Inherited) {
  if (!Cell) {
    Inherited(Message);
    return;
  }
  switch (Message.Msg) {
  case WM_CHAR:
    // The table's keys type nothing: the field would refuse their control characters with a beep.
    if (Message.WParam == kTab || Message.WParam == kEnter || Message.WParam == kEscape) return;
    break;
  case WM_GETDLGCODE:
    Inherited(Message);
    if (Cell->TableWantsTab()) Message.Result |= DLGC_WANTTAB;
    if (Cell->TableWantsEnter()) Message.Result |= DLGC_WANTALLKEYS;
    return;
  case WM_KEYDOWN: {
    const WPARAM key = Message.WParam;
    const int keyClass = Cell->AskTableKeyFilter(Message);
    if (keyClass == tkcNavigation && IsVerticalKey(key)) {
      // Leaving the row needs a value the field accepts; a refused one is reported and the key goes nowhere.
      if (Editor->ValidateForExit()) Cell->PostKeyToTable(Message);
      return;
    }
    if (keyClass == tkcTableTakes) {
      if (key == VK_ESCAPE) Editor->Restore();
      Cell->PostKeyToTable(Message);
      return;
    }
    break;
  }
  case WM_SETFOCUS:
    Inherited(Message);
    Cell->PostToTable(tcm_EditorGotFocus, Message.WParam, 0);
    return;
  case WM_KILLFOCUS:
    Inherited(Message);
    Cell->PostToTable(tcm_EditorLostFocus, Message.WParam, Editor->LastError());
    return;
  default: break;
  }
  Inherited(Message);
}

// ---- the numeric field cell ----

TOvcBaseEntryField *TOvcTCCustomNumericField::CreateEntryField(TComponent *Owner) {
  auto *field = new TOvcTCNumericFieldEdit(Owner);
  field->CellOwner = this;
  return field;
}

TNumericDataType TOvcTCCustomNumericField::DataType() { return Edit() ? Edit()->DataType() : nftLongInt; }

void TOvcTCCustomNumericField::SetDataType(TNumericDataType Value) {
  if (!Edit()) return;
  Edit()->SetDataType(Value);
  if (Painter()) Painter()->SetDataType(Value);
}

QString TOvcTCCustomNumericField::PictureMask() { return Edit() ? Edit()->PictureMask() : QString(); }

void TOvcTCCustomNumericField::SetPictureMask(const QString &Value) {
  if (!Edit()) return;
  Edit()->SetPictureMask(Value);
  if (Painter()) Painter()->SetPictureMask(Value);
}

// ---- the picture field cell ----

TOvcBaseEntryField *TOvcTCCustomPictureField::CreateEntryField(TComponent *Owner) {
  auto *field = new TOvcTCPictureFieldEdit(Owner);
  field->CellOwner = this;
  return field;
}

TPictureDataType TOvcTCCustomPictureField::DataType() { return Edit() ? Edit()->DataType() : pftString; }

void TOvcTCCustomPictureField::SetDataType(TPictureDataType Value) {
  if (!Edit()) return;
  Edit()->SetDataType(Value);
  if (Painter()) Painter()->SetDataType(Value);
}

QString TOvcTCCustomPictureField::PictureMask() { return Edit() ? Edit()->PictureMask() : QString(); }

// The fields make their windows again for a new mask (when they have them).
void TOvcTCCustomPictureField::SetPictureMask(const QString &Value) {
  if (!Edit()) return;
  Edit()->SetPictureMask(Value);
  if (Painter()) Painter()->SetPictureMask(Value);
}

int TOvcTCCustomPictureField::Epoch() { return Edit() ? Edit()->Epoch() : 0; }

void TOvcTCCustomPictureField::SetEpoch(int Value) {
  if (!Edit()) return;
  Edit()->SetEpoch(Value);
  if (Painter()) Painter()->SetEpoch(Value);
}

// ---- the simple field cell ----

TOvcBaseEntryField *TOvcTCCustomSimpleField::CreateEntryField(TComponent *Owner) {
  auto *field = new TOvcTCSimpleFieldEdit(Owner);
  field->CellOwner = this;
  return field;
}

TSimpleDataType TOvcTCCustomSimpleField::DataType() { return Edit() ? Edit()->DataType() : sftString; }

void TOvcTCCustomSimpleField::SetDataType(TSimpleDataType Value) {
  if (!Edit()) return;
  Edit()->SetDataType(Value);
  if (Painter()) Painter()->SetDataType(Value);
}

QChar TOvcTCCustomSimpleField::PictureMask() { return Edit() ? Edit()->PictureMask() : QChar(); }

void TOvcTCCustomSimpleField::SetPictureMask(QChar Value) {
  if (!Edit()) return;
  Edit()->SetPictureMask(Value);
  if (Painter()) Painter()->SetPictureMask(Value);
}
