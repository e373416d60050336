#include "grids/table/field_cell_data.h"
#include "grids/cells/bitmap_cells.h"
#include "grids/cells/heading_cells.h"
#include "grids/cells/string_cells.h"
#include "platform/data/dataset.h"

namespace {

bool IsIntegerType(TFieldType Type) { return Type == ftSmallint || Type == ftInteger || Type == ftWord; }
bool IsFloatType(TFieldType Type) { return Type == ftFloat || Type == ftCurrency || Type == ftBCD; }

bool DataSetEditing(const TField *Field) {
  const TDataSet *dataSet = Field->DataSet();
  return dataSet && (dataSet->State() == dsEdit || dataSet->State() == dsInsert);
}

} // namespace

void *TOvcDbCellValue::Data() {
  return std::visit(
      [](auto &value) -> void * {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::monostate>)
          return nullptr;
        else
          return &value;
      },
      value_);
}

int CellDataSize(TOvcBaseTableCell *Cell) {
  if (!Cell) return 0;
  if (const int own = Cell->DataSize()) return own;
  if (auto *string = dynamic_cast<TOvcTCString *>(Cell)) return string->MaxLength() + 1;
  if (dynamic_cast<TOvcTCComboBox *>(Cell)) return 264;
  if (dynamic_cast<TOvcTCCheckBox *>(Cell)) return 1;
  if (dynamic_cast<TOvcTCGlyph *>(Cell)) return 4;
  return 0;
}

bool FitCellRule(TOvcBaseTableCell *Cell, TField *Field) {
  if (!Cell || !Field) return false;
  const TFieldType type = Field->DataType();
  if (auto *string = dynamic_cast<TOvcTCString *>(Cell)) {
    string->SetMaxLength(Field->DisplayWidth());
    // The value is the field's whole text: a short string's limit of 255 characters would cut it.
    string->SetUseASCIIZStrings(true);
    return true;
  }
  if (auto *combo = dynamic_cast<TOvcTCComboBox *>(Cell)) {
    combo->SetUseRunTimeItems(false);
    if (type == ftString) combo->SetMaxLength(Field->DisplayWidth());
    return type == ftString || IsIntegerType(type);
  }
  if (dynamic_cast<TOvcTCBitMap *>(Cell)) return type == ftBlob || type == ftGraphic;
  if (dynamic_cast<TOvcTCMemo *>(Cell) || dynamic_cast<TOvcTCIcon *>(Cell) ||
      dynamic_cast<TOvcTCRowHead *>(Cell) || dynamic_cast<TOvcTCColHead *>(Cell))
    return false;
  if (dynamic_cast<TOvcTCCheckBox *>(Cell)) return type == ftBoolean;
  if (dynamic_cast<TOvcTCGlyph *>(Cell)) return IsIntegerType(type) || IsFloatType(type);
  return true;
}

void FieldToCellData(TField *Field, TOvcBaseTableCell *Cell, TDateOrTime, TOvcDbCellValue &Value) {
  if (!Field || !Cell) return;
  if (Cell->AcceptsField(Field)) {
    Cell->TransferField(Field, &Value.Make<QVariant>(), cfdFieldToBuffer);
    return;
  }
  if (auto *combo = dynamic_cast<TOvcTCComboBox *>(Cell)) {
    TOvcTCComboBoxData &data = Value.Make<TOvcTCComboBoxData>();
    if (IsIntegerType(Field->DataType())) {
      data.Index = Field->AsInteger();
      return;
    }
    const QString text = Field->Text();
    data.Index = text.isEmpty() ? -1 : combo->Items()->IndexOf(text);
    if (data.Index == -1 && combo->Style() != csDropDownList) data.Text = text;
    return;
  }
  if (dynamic_cast<TOvcTCCheckBox *>(Cell)) {
    Value.Make<TCheckBoxState>() = Field->AsBoolean() ? cbChecked : cbUnchecked;
    return;
  }
  if (dynamic_cast<TOvcTCGlyph *>(Cell)) {
    Value.Make<qint32>() = Field->AsInteger();
    return;
  }
  if (dynamic_cast<TOvcTCString *>(Cell)) Value.Make<QString>() = Field->Text();
}

void CellDataToField(TField *Field, TOvcBaseTableCell *Cell, TOvcDbCellValue &Value) {
  if (!Field || !Cell || !DataSetEditing(Field)) return;
  if (Cell->AcceptsField(Field)) {
    if (Value.Get<QVariant>()) Cell->TransferField(Field, Value.Data(), cfdBufferToField);
    return;
  }
  if (auto *combo = dynamic_cast<TOvcTCComboBox *>(Cell)) {
    const TOvcTCComboBoxData *data = Value.Get<TOvcTCComboBoxData>();
    if (!data) return;
    if (IsIntegerType(Field->DataType()))
      Field->SetAsInteger(data->Index);
    else if (combo->Style() != csDropDownList)
      Field->SetText(data->Text);
    else
      Field->SetText(data->Index < 0 || data->Index >= combo->Items()->Count()
                         ? QString()
                         : combo->Items()->Strings(data->Index));
    return;
  }
  if (dynamic_cast<TOvcTCCheckBox *>(Cell)) {
    if (const TCheckBoxState *state = Value.Get<TCheckBoxState>()) Field->SetAsBoolean(*state != cbUnchecked);
    return;
  }
  if (dynamic_cast<TOvcTCGlyph *>(Cell)) {
    if (const qint32 *glyph = Value.Get<qint32>()) Field->SetAsInteger(*glyph);
    return;
  }
  if (dynamic_cast<TOvcTCString *>(Cell))
    if (const QString *text = Value.Get<QString>()) Field->SetText(*text);
}

bool CellEditorModified(TOvcBaseTableCell *Cell) {
  if (!Cell || dynamic_cast<TOvcTCCustomBitMap *>(Cell) || dynamic_cast<TOvcTCCustomIcon *>(Cell))
    return false;
  if (auto *string = dynamic_cast<TOvcTCCustomString *>(Cell)) return string->EditorModified();
  if (auto *memo = dynamic_cast<TOvcTCCustomMemo *>(Cell)) return memo->EditorModified();
  return true;
}
