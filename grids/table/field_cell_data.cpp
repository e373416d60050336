#include "grids/table/field_cell_data.h"
#include "controls/framework/day_numbers.h"
#include "controls/framework/entry_data_type.h"
#include "grids/cells/bitmap_cells.h"
#include "grids/cells/field_cells.h"
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

// The data type of a field cell's editor, and whether its date and time travel together.
int EntryDataType(TOvcTCBaseEntryField *Cell) {
  auto *editor = dynamic_cast<TOvcBaseEntryField *>(Cell->EditorControl());
  return editor ? int(editor->DataType()) : int(edtString);
}
bool EntryHoldsDateTime(TOvcTCBaseEntryField *Cell) {
  auto *picture = dynamic_cast<TOvcTCCustomPictureField *>(Cell);
  return picture && picture->DataType() == pftDateTime;
}

// The most characters an entry field holds.
constexpr int kLongestEntryText = 255;

// The simple field cell's rule; the picture cell's rule is the same with its own data types. A field wider
// than an entry field holds gets as much as it holds, not the cell's former limit.
template <typename Cell, typename Type>
bool FitEntryCell(Cell *Target, TField *Field, Type String, Type SmallInt, Type LongInt, Type Word,
                  Type Boolean, Type Float) {
  switch (Field->DataType()) {
  case ftString:
    Target->SetDataType(String);
    Target->SetMaxLength(std::min(Field->DisplayWidth(), kLongestEntryText));
    return true;
  case ftSmallint: Target->SetDataType(SmallInt); return true;
  case ftInteger: Target->SetDataType(LongInt); return true;
  case ftWord: Target->SetDataType(Word); return true;
  case ftBoolean: Target->SetDataType(Boolean); return true;
  case ftFloat:
  case ftCurrency:
  case ftBCD: Target->SetDataType(Float); return true;
  default: return false;
  }
}

bool FitPictureCell(TOvcTCCustomPictureField *Cell, TField *Field, std::optional<TDateOrTime> DateOrTime) {
  switch (Field->DataType()) {
  case ftString: {
    const QString mask = Cell->PictureMask();
    if (mask.length() > Field->DisplayWidth()) Cell->SetPictureMask(mask.left(Field->DisplayWidth()));
    break;
  }
  case ftDate: Cell->SetDataType(pftDate); return true;
  case ftTime: Cell->SetDataType(pftTime); return true;
  case ftDateTime:
    if (DateOrTime) Cell->SetDataType(*DateOrTime == dtUseTime ? pftTime : pftDate);
    return true;
  default: break;
  }
  return FitEntryCell(Cell, Field, pftString, pftInteger, pftLongInt, pftWord, pftBoolean, pftExtended);
}

bool FitNumericCell(TOvcTCCustomNumericField *Cell, TField *Field) {
  switch (Field->DataType()) {
  case ftSmallint: Cell->SetDataType(nftInteger); return true;
  case ftInteger: Cell->SetDataType(nftLongInt); return true;
  case ftWord: Cell->SetDataType(nftWord); return true;
  case ftFloat:
  case ftCurrency:
  case ftBCD: Cell->SetDataType(nftExtended); return true;
  default: return false;
  }
}

template <typename T>
T Clamped(qint64 Value) {
  return T(std::clamp<qint64>(Value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// The field's value as a value of the field cell's data type.
TOvcEntryValue EntryValueOfField(TField *Field, TOvcTCBaseEntryField *Cell) {
  const int type = EntryDataType(Cell);
  const bool null = Field->IsNull();
  switch (type) {
  case edtString: return Field->Text();
  case edtChar: {
    const QString text = Field->Text();
    return text.isEmpty() ? QChar(QLatin1Char(' ')) : text.front();
  }
  case edtBoolean:
  case edtYesNo: return Field->AsBoolean();
  case edtLongInt: return Clamped<std::int32_t>(Field->AsInteger());
  case edtWord: return Clamped<std::uint16_t>(Field->AsInteger());
  case edtSmallInt: return Clamped<std::int16_t>(Field->AsInteger());
  case edtByte: return Clamped<std::uint8_t>(Field->AsInteger());
  case edtShortInt: return Clamped<std::int8_t>(Field->AsInteger());
  case edtComp: return std::int64_t(std::llround(Field->AsFloat()));
  case edtReal:
  case edtDouble: return Field->AsFloat();
  case edtSingle: return float(Field->AsFloat());
  case edtExtended: return TExtended(Field->AsFloat());
  case edtDate:
  case edtTime:
    if (EntryHoldsDateTime(Cell)) return null ? 0.0 : double(Field->AsDateTime());
    if (null) return std::int32_t(-1);
    return type == edtDate ? ovcdate::DateTimeToDayNumber(Field->AsDateTime())
                           : ovcdate::DateTimeToTimeOfDay(Field->AsDateTime());
  default: return TOvcEntryValue::Empty(type);
  }
}

// Writes a field cell's value to the field; a date or a time alone keeps the other half of a date-time
// field's value.
void EntryValueToField(const TOvcEntryValue &Value, TField *Field, TOvcTCBaseEntryField *Cell) {
  const int type = EntryDataType(Cell);
  if ((type == edtDate || type == edtTime) && !EntryHoldsDateTime(Cell)) {
    const std::int32_t *number = Value.Get<std::int32_t>();
    if (!number || *number < 0) {
      Field->Clear();
      return;
    }
    const double current = Field->IsNull() ? 0.0 : double(Field->AsDateTime());
    const double day = std::floor(current), time = current - day;
    const bool keepsOther = Field->DataType() == ftDateTime;
    const double date = double(ovcdate::DayNumberToDateTime(*number));
    const double seconds = double(ovcdate::TimeOfDayToDateTime(*number));
    Field->SetAsDateTime(
        TDateTime(type == edtDate ? date + (keepsOther ? time : 0.0) : (keepsOther ? day : 0.0) + seconds));
    return;
  }
  if (const auto *text = Value.Get<QString>()) return Field->SetText(*text);
  if (const auto *ch = Value.Get<QChar>()) return Field->SetText(QString(*ch));
  if (const auto *flag = Value.Get<bool>()) return Field->SetAsBoolean(*flag);
  if (const auto *n = Value.Get<std::int8_t>()) return Field->SetAsInteger(*n);
  if (const auto *n = Value.Get<std::uint8_t>()) return Field->SetAsInteger(*n);
  if (const auto *n = Value.Get<std::int16_t>()) return Field->SetAsInteger(*n);
  if (const auto *n = Value.Get<std::uint16_t>()) return Field->SetAsInteger(*n);
  if (const auto *n = Value.Get<std::int32_t>()) return Field->SetAsInteger(*n);
  if (const auto *n = Value.Get<std::int64_t>()) return Field->SetAsFloat(double(*n));
  if (const auto *f = Value.Get<float>()) return Field->SetAsFloat(*f);
  if (const auto *d = Value.Get<double>()) {
    if (type == edtDate || type == edtTime) {
      if (*d == 0.0) return Field->Clear();
      return Field->SetAsDateTime(TDateTime(*d));
    }
    return Field->SetAsFloat(*d);
  }
  if (const auto *e = Value.Get<TExtended>()) Field->SetAsFloat(e->ToDouble());
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

bool FitCellRule(TOvcBaseTableCell *Cell, TField *Field, std::optional<TDateOrTime> DateOrTime) {
  if (!Cell || !Field) return false;
  const TFieldType type = Field->DataType();
  if (auto *simple = dynamic_cast<TOvcTCSimpleField *>(Cell))
    return FitEntryCell(simple, Field, sftString, sftInteger, sftLongInt, sftWord, sftBoolean, sftExtended);
  if (auto *picture = dynamic_cast<TOvcTCPictureField *>(Cell))
    return FitPictureCell(picture, Field, DateOrTime);
  if (auto *numeric = dynamic_cast<TOvcTCNumericField *>(Cell)) return FitNumericCell(numeric, Field);
  if (auto *string = dynamic_cast<TOvcTCString *>(Cell)) {
    string->SetMaxLength(Field->DisplayWidth());
    string->SetUseASCIIZStrings(false);
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

void FieldToCellData(TField *Field, TOvcBaseTableCell *Cell, TOvcDbCellValue &Value) {
  if (!Field || !Cell) return;
  if (Cell->AcceptsField(Field)) {
    Cell->TransferField(Field, &Value.Make<QVariant>(), cfdFieldToBuffer);
    return;
  }
  if (auto *entry = dynamic_cast<TOvcTCBaseEntryField *>(Cell)) {
    Value.Make<TOvcEntryValue>() = EntryValueOfField(Field, entry);
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
  if (auto *entry = dynamic_cast<TOvcTCBaseEntryField *>(Cell)) {
    if (const TOvcEntryValue *value = Value.Get<TOvcEntryValue>()) EntryValueToField(*value, Field, entry);
    return;
  }
  if (auto *combo = dynamic_cast<TOvcTCComboBox *>(Cell)) {
    const TOvcTCComboBoxData *data = Value.Get<TOvcTCComboBoxData>();
    if (!data) return;
    const bool listed = data->Index >= 0 && data->Index < combo->Items()->Count();
    const QString item = listed ? combo->Items()->Strings(data->Index) : QString();
    if (IsIntegerType(Field->DataType()))
      Field->SetAsInteger(data->Index);
    else if (combo->Style() != csDropDownList)
      Field->SetText(data->Text.isEmpty() ? item : data->Text); // a listed entry stands for its text
    else
      Field->SetText(item);
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
  if (auto *entry = dynamic_cast<TOvcTCBaseEntryField *>(Cell)) return entry->EditorModified();
  if (auto *string = dynamic_cast<TOvcTCCustomString *>(Cell)) return string->EditorModified();
  if (auto *memo = dynamic_cast<TOvcTCCustomMemo *>(Cell)) return memo->EditorModified();
  return true;
}
