#include "platform/data/fields.h"
#include "platform/core/number_format.h"
#include "platform/data/dataset.h"
#include <cmath>
#include <limits>

namespace {

int CharacterCount(const QString &text) {
  int count = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    ++count;
  }
  return count;
}

QString Quoted(const QString &text) { return QStringLiteral("'%1'").arg(text); }

} // namespace

QString FieldTypeName(TFieldType Type) {
  static const char *const names[] = {"Unknown", "String",     "SmallInt", "Integer",    "Word", "Boolean",
                                      "Float",   "Currency",   "BCD",      "Date",       "Time", "DateTime",
                                      "Bytes",   "VarBytes",   "AutoInc",  "Blob",       "Memo", "Graphic",
                                      "FmtMemo", "ParadoxOle", "DBaseOle", "TypedBinary"};
  const int index = int(Type);
  if (index < 0 || index >= int(std::size(names))) return QStringLiteral("Unknown");
  return QString::fromLatin1(names[index]);
}

bool IsBlobFieldType(TFieldType Type) {
  switch (Type) {
  case ftBlob:
  case ftMemo:
  case ftGraphic:
  case ftFmtMemo:
  case ftParadoxOle:
  case ftDBaseOle:
  case ftTypedBinary: return true;
  default: return false;
  }
}

void DatabaseError(const QString &Message, const TComponent *Component) {
  if (Component && !Component->Name().isEmpty())
    throw EDatabaseError(QStringLiteral("%1: %2").arg(Component->Name(), Message));
  throw EDatabaseError(Message);
}

// ---- TField ----

TField::TField(TComponent *AOwner) : TComponent(AOwner) {}

TField::~TField() {
  // A plain delete skips BeforeDestruction: at least leave the dataset's list.
  if (dataSet_) dataSet_->fields_->Remove(this);
}

void TField::BeforeDestruction() {
  if (dataSet_) {
    TDataSet *dataSet = dataSet_;
    dataSet->Close();
    dataSet->fields_->Remove(this);
    dataSet_ = nullptr;
  }
  TComponent::BeforeDestruction();
}

void TField::CheckInactive() const {
  if (dataSet_) dataSet_->CheckInactive();
}

void TField::SetDataSet(TDataSet *Value) {
  if (Value == dataSet_) return;
  if (dataSet_) dataSet_->CheckInactive();
  if (Value) {
    Value->CheckInactive();
    if (!fieldName_.isEmpty() && Value->FindField(fieldName_))
      DatabaseError(QStringLiteral("Duplicate field name %1").arg(Quoted(fieldName_)), Value);
  }
  if (dataSet_) dataSet_->fields_->Remove(this);
  dataSet_ = Value;
  fieldNo_ = 0;
  if (dataSet_) dataSet_->fields_->Add(this);
}

void TField::SetFieldName(const QString &Value) {
  if (Value == fieldName_) return;
  CheckInactive();
  if (dataSet_) {
    TField *other = dataSet_->FindField(Value);
    if (other && other != this)
      DatabaseError(QStringLiteral("Duplicate field name %1").arg(Quoted(Value)), dataSet_);
  }
  fieldName_ = Value;
}

void TField::SetSize(int Value) {
  CheckInactive();
  size_ = Value;
}

int TField::Index() const { return dataSet_ ? dataSet_->fields_->IndexOf(this) : -1; }

void TField::SetIndex(int Value) {
  if (!dataSet_) return;
  const int count = dataSet_->fields_->Count();
  const int target = std::clamp(Value, 0, count - 1);
  const int current = Index();
  if (target == current) return;
  dataSet_->fields_->Move(current, target);
  PropertyChanged(true);
}

void TField::PropertyChanged(bool LayoutAffected) {
  if (dataSet_ && dataSet_->Active()) dataSet_->DataEvent(LayoutAffected ? deLayoutChange : deDataSetChange);
}

void TField::SetDisplayLabel(const QString &Value) {
  if (Value == displayLabel_) return;
  displayLabel_ = Value;
  PropertyChanged(true);
}

void TField::SetDisplayWidth(int Value) {
  if (Value == displayWidth_) return;
  displayWidth_ = Value;
  PropertyChanged(true);
}

void TField::SetVisible(bool Value) {
  if (Value == visible_) return;
  visible_ = Value;
  PropertyChanged(true);
}

void TField::SetAlignment(TAlignment Value) {
  if (Value == alignment_) return;
  alignment_ = Value;
  PropertyChanged(false);
}

void TField::SetReadOnly(bool Value) {
  if (Value == readOnly_) return;
  readOnly_ = Value;
  PropertyChanged(true);
}

bool TField::CanModify() const { return fieldNo_ > 0 && !readOnly_ && dataSet_ && dataSet_->CanModify(); }

bool TField::GetData(QVariant &Value) const {
  if (!dataSet_) DatabaseError(QStringLiteral("Field %1 has no dataset").arg(Quoted(DisplayName())));
  return dataSet_->GetFieldData(this, Value);
}

void TField::SetData(const QVariant &Value) {
  if (!dataSet_) DatabaseError(QStringLiteral("Field %1 has no dataset").arg(Quoted(DisplayName())));
  dataSet_->SetFieldData(this, Value);
}

bool TField::IsNull() const {
  QVariant value;
  return !GetData(value);
}

void TField::Clear() { SetData(QVariant()); }

void TField::AccessError(const QString &TypeName) const {
  DatabaseError(QStringLiteral("Cannot access field %1 as type %2").arg(Quoted(DisplayName()), TypeName));
}

QString TField::AsString() const { AccessError(QStringLiteral("String")); }
void TField::SetAsString(const QString &) { AccessError(QStringLiteral("String")); }
int TField::AsInteger() const { AccessError(QStringLiteral("Integer")); }
void TField::SetAsInteger(int) { AccessError(QStringLiteral("Integer")); }
double TField::AsFloat() const { AccessError(QStringLiteral("Float")); }
void TField::SetAsFloat(double) { AccessError(QStringLiteral("Float")); }
bool TField::AsBoolean() const { AccessError(QStringLiteral("Boolean")); }
void TField::SetAsBoolean(bool) { AccessError(QStringLiteral("Boolean")); }
TDateTime TField::AsDateTime() const { AccessError(QStringLiteral("DateTime")); }
void TField::SetAsDateTime(TDateTime) { AccessError(QStringLiteral("DateTime")); }
Variant TField::AsVariant() const { AccessError(QStringLiteral("Variant")); }
void TField::SetAsVariant(const Variant &) { AccessError(QStringLiteral("Variant")); }

QString TField::GetText(bool) const { return AsString(); }

QString TField::Text() const {
  QString text;
  if (onGetText_)
    onGetText_(const_cast<TField *>(this), text, false);
  else
    text = GetText(false);
  return text;
}

void TField::SetText(const QString &Value) {
  if (onSetText_)
    onSetText_(this, Value);
  else
    SetAsString(Value);
}

QString TField::DisplayText() const {
  QString text;
  if (onGetText_)
    onGetText_(const_cast<TField *>(this), text, true);
  else
    text = GetText(true);
  return text;
}

// ---- TStringField ----

TStringField::TStringField(TComponent *AOwner) : TField(AOwner) {
  SetDataType(ftString);
  SetSize(20);
}

QString TStringField::AsString() const {
  QVariant value;
  return GetData(value) ? value.toString() : QString();
}

void TStringField::SetAsString(const QString &Value) {
  if (Size() > 0 && CharacterCount(Value) > Size())
    DatabaseError(QStringLiteral("Text too long for field %1: at most %2 characters")
                      .arg(Quoted(DisplayName()))
                      .arg(Size()));
  SetData(QVariant(Value));
}

int TStringField::AsInteger() const { return StrToInt(AsString()); }
void TStringField::SetAsInteger(int Value) { SetAsString(IntToStr(Value)); }
double TStringField::AsFloat() const { return StrToFloat(AsString()); }
void TStringField::SetAsFloat(double Value) { SetAsString(FloatToStr(Value)); }

bool TStringField::AsBoolean() const {
  const QString text = AsString();
  if (text.isEmpty()) return false;
  const QChar first = text[0].toUpper();
  if (first == u'T' || first == u'Y') return true;
  if (first == u'F' || first == u'N') return false;
  DatabaseError(QStringLiteral("%1 is not a valid boolean value for field %2")
                    .arg(Quoted(text), Quoted(DisplayName())));
}

void TStringField::SetAsBoolean(bool Value) {
  SetAsString(Value ? QStringLiteral("T") : QStringLiteral("F"));
}
TDateTime TStringField::AsDateTime() const { return StrToDateTime(AsString()); }
void TStringField::SetAsDateTime(TDateTime Value) { SetAsString(DateTimeToStr(Value)); }

Variant TStringField::AsVariant() const {
  QVariant value;
  return GetData(value) ? Variant(value.toString()) : Variant::Null();
}

void TStringField::SetAsVariant(const Variant &Value) {
  if (Value.IsNull() || Value.IsEmpty())
    Clear();
  else
    SetAsString(Value.ToString());
}

// ---- TNumericField ----

TNumericField::TNumericField(TComponent *AOwner) : TField(AOwner) { SetAlignment(taRightJustify); }

void TNumericField::SetDisplayFormat(const QString &Value) {
  if (Value == displayFormat_) return;
  displayFormat_ = Value;
  PropertyChanged(false);
}

// ---- TIntegerField and its kin ----

TIntegerField::TIntegerField(TComponent *AOwner)
    : TIntegerField(AOwner, ftInteger, std::numeric_limits<qint32>::min(),
                    std::numeric_limits<qint32>::max()) {}

TIntegerField::TIntegerField(TComponent *AOwner, TFieldType Type, qint64 MinRange, qint64 MaxRange)
    : TNumericField(AOwner), minRange_(MinRange), maxRange_(MaxRange) {
  SetDataType(Type);
}

TSmallintField::TSmallintField(TComponent *AOwner) : TIntegerField(AOwner, ftSmallint, -32768, 32767) {}
TWordField::TWordField(TComponent *AOwner) : TIntegerField(AOwner, ftWord, 0, 65535) {}
TAutoIncField::TAutoIncField(TComponent *AOwner)
    : TIntegerField(AOwner, ftAutoInc, std::numeric_limits<qint32>::min(),
                    std::numeric_limits<qint32>::max()) {}

void TIntegerField::StoreInteger(qint64 Value) {
  if (Value < minRange_ || Value > maxRange_)
    DatabaseError(QStringLiteral("%1 is not a valid value for field %2. The allowed range is %3 to %4")
                      .arg(IntToStr(Value), Quoted(DisplayName()), IntToStr(minRange_), IntToStr(maxRange_)));
  SetData(QVariant(Value));
}

int TIntegerField::AsInteger() const {
  QVariant value;
  return GetData(value) ? int(value.toLongLong()) : 0;
}

void TIntegerField::SetAsInteger(int Value) { StoreInteger(Value); }

QString TIntegerField::AsString() const {
  QVariant value;
  return GetData(value) ? IntToStr(value.toLongLong()) : QString();
}

void TIntegerField::SetAsString(const QString &Value) {
  if (Value.isEmpty()) {
    Clear();
    return;
  }
  int64_t number = 0;
  if (!TryStrToInt64(Value, number))
    DatabaseError(QStringLiteral("%1 is not a valid integer value for field %2")
                      .arg(Quoted(Value), Quoted(DisplayName())));
  StoreInteger(number);
}

double TIntegerField::AsFloat() const {
  QVariant value;
  return GetData(value) ? double(value.toLongLong()) : 0.0;
}

void TIntegerField::SetAsFloat(double Value) {
  const double rounded = std::nearbyint(Value); // half to even, as the class library's Round
  if (!std::isfinite(rounded) || rounded < -9.2e18 || rounded > 9.2e18)
    DatabaseError(
        QStringLiteral("%1 is not a valid value for field %2").arg(FloatToStr(Value), Quoted(DisplayName())));
  StoreInteger(qint64(rounded));
}

Variant TIntegerField::AsVariant() const {
  QVariant value;
  return GetData(value) ? Variant(qint64(value.toLongLong())) : Variant::Null();
}

void TIntegerField::SetAsVariant(const Variant &Value) {
  if (Value.IsNull() || Value.IsEmpty())
    Clear();
  else if (Value.IsString())
    SetAsString(Value.ToString());
  else
    StoreInteger(Value.ToInt64());
}

QString TIntegerField::GetText(bool DisplayText) const {
  QVariant value;
  if (!GetData(value)) return QString();
  if (DisplayFormat().isEmpty()) return IntToStr(value.toLongLong());
  return FormatFloat(DisplayFormat(), double(value.toLongLong()));
}

// ---- TFloatField ----

TFloatField::TFloatField(TComponent *AOwner) : TNumericField(AOwner) { SetDataType(ftFloat); }

TCurrencyField::TCurrencyField(TComponent *AOwner) : TFloatField(AOwner) {
  SetDataType(ftCurrency);
  SetCurrency(true);
}

void TFloatField::SetCurrency(bool Value) {
  if (Value == currency_) return;
  currency_ = Value;
  PropertyChanged(false);
}

double TFloatField::AsFloat() const {
  QVariant value;
  return GetData(value) ? value.toDouble() : 0.0;
}

void TFloatField::SetAsFloat(double Value) {
  if (!std::isfinite(Value))
    DatabaseError(
        QStringLiteral("%1 is not a valid value for field %2").arg(FloatToStr(Value), Quoted(DisplayName())));
  SetData(QVariant(Value));
}

int TFloatField::AsInteger() const {
  const double rounded = std::nearbyint(AsFloat());
  if (rounded < double(std::numeric_limits<int>::min()) || rounded > double(std::numeric_limits<int>::max()))
    throw ERangeError(QStringLiteral("Range check error"));
  return int(rounded);
}

void TFloatField::SetAsInteger(int Value) { SetAsFloat(double(Value)); }

QString TFloatField::AsString() const {
  QVariant value;
  return GetData(value) ? FloatToStr(value.toDouble()) : QString();
}

void TFloatField::SetAsString(const QString &Value) {
  if (Value.isEmpty()) {
    Clear();
    return;
  }
  double number = 0;
  if (!TryStrToFloat(Value, number))
    DatabaseError(QStringLiteral("%1 is not a valid floating point value for field %2")
                      .arg(Quoted(Value), Quoted(DisplayName())));
  SetAsFloat(number);
}

Variant TFloatField::AsVariant() const {
  QVariant value;
  return GetData(value) ? Variant(value.toDouble()) : Variant::Null();
}

void TFloatField::SetAsVariant(const Variant &Value) {
  if (Value.IsNull() || Value.IsEmpty())
    Clear();
  else if (Value.IsString())
    SetAsString(Value.ToString());
  else
    SetAsFloat(Value.ToDouble());
}

QString TFloatField::GetText(bool DisplayText) const {
  QVariant value;
  if (!GetData(value)) return QString();
  const double number = value.toDouble();
  if (!DisplayFormat().isEmpty()) return FormatFloat(DisplayFormat(), number);
  // Up to 15 significant digits, as many as a double holds.
  if (currency_)
    return FloatToStrF(number, DisplayText ? ffCurrency : ffFixed, 15, Settings().CurrencyDecimals);
  return FloatToStrF(number, ffGeneral, 15, 0);
}

// ---- TBooleanField ----

TBooleanField::TBooleanField(TComponent *AOwner) : TField(AOwner) { SetDataType(ftBoolean); }

void TBooleanField::SetDisplayValues(const QString &Value) {
  if (Value == displayValues_) return;
  displayValues_ = Value;
  trueText_ = QStringLiteral("True");
  falseText_ = QStringLiteral("False");
  if (!Value.isEmpty()) {
    const qsizetype separator = Value.indexOf(u';');
    trueText_ = separator < 0 ? Value : Value.left(separator);
    falseText_ = separator < 0 ? QString() : Value.mid(separator + 1);
  }
  PropertyChanged(true);
}

int TBooleanField::DefaultWidth() const {
  if (displayValues_.isEmpty()) return 5;
  return int(std::max(trueText_.size(), falseText_.size()));
}

bool TBooleanField::AsBoolean() const {
  QVariant value;
  return GetData(value) && value.toBool();
}

void TBooleanField::SetAsBoolean(bool Value) { SetData(QVariant(Value)); }

QString TBooleanField::AsString() const {
  QVariant value;
  if (!GetData(value)) return QString();
  return value.toBool() ? trueText_ : falseText_;
}

void TBooleanField::SetAsString(const QString &Value) {
  if (Value.isEmpty()) {
    Clear();
    return;
  }
  const qsizetype length = Value.size();
  if (Value.compare(falseText_.left(length), Qt::CaseInsensitive) == 0)
    SetAsBoolean(false);
  else if (Value.compare(trueText_.left(length), Qt::CaseInsensitive) == 0)
    SetAsBoolean(true);
  else
    DatabaseError(QStringLiteral("%1 is not a valid boolean value for field %2")
                      .arg(Quoted(Value), Quoted(DisplayName())));
}

Variant TBooleanField::AsVariant() const {
  QVariant value;
  return GetData(value) ? Variant(value.toBool()) : Variant::Null();
}

void TBooleanField::SetAsVariant(const Variant &Value) {
  if (Value.IsNull() || Value.IsEmpty())
    Clear();
  else if (Value.IsString())
    SetAsString(Value.ToString());
  else
    SetAsBoolean(Value.ToBool());
}

// ---- TDateTimeField and its kin ----

TDateTimeField::TDateTimeField(TComponent *AOwner) : TDateTimeField(AOwner, ftDateTime) {}
TDateTimeField::TDateTimeField(TComponent *AOwner, TFieldType Type) : TField(AOwner) { SetDataType(Type); }
TDateField::TDateField(TComponent *AOwner) : TDateTimeField(AOwner, ftDate) {}
TTimeField::TTimeField(TComponent *AOwner) : TDateTimeField(AOwner, ftTime) {}

TDateTime TDateField::Normalize(TDateTime Value) const { return std::trunc(Value); }
TDateTime TTimeField::Normalize(TDateTime Value) const { return std::fabs(Value - std::trunc(Value)); }

void TDateTimeField::SetDisplayFormat(const QString &Value) {
  if (Value == displayFormat_) return;
  displayFormat_ = Value;
  PropertyChanged(false);
}

TDateTime TDateTimeField::AsDateTime() const {
  QVariant value;
  return GetData(value) ? value.toDouble() : 0.0;
}

void TDateTimeField::SetAsDateTime(TDateTime Value) {
  if (!std::isfinite(Value) || Value < MinDateTime || Value >= MaxDateTime + 1)
    DatabaseError(QStringLiteral("%1 is not a valid date and time for field %2")
                      .arg(FloatToStr(Value), Quoted(DisplayName())));
  SetData(QVariant(Normalize(Value)));
}

double TDateTimeField::AsFloat() const { return AsDateTime(); }
void TDateTimeField::SetAsFloat(double Value) { SetAsDateTime(Value); }
QString TDateTimeField::AsString() const { return GetText(false); }

void TDateTimeField::SetAsString(const QString &Value) {
  if (Value.isEmpty()) {
    Clear();
    return;
  }
  switch (DataType()) {
  case ftDate: SetAsDateTime(StrToDate(Value)); break;
  case ftTime: SetAsDateTime(StrToTime(Value)); break;
  default: SetAsDateTime(StrToDateTime(Value)); break;
  }
}

QString TDateTimeField::GetText(bool DisplayText) const {
  QVariant value;
  if (!GetData(value)) return QString();
  QString format;
  if (DisplayText && !displayFormat_.isEmpty())
    format = displayFormat_;
  else if (DataType() == ftDate)
    format = QStringLiteral("ddddd");
  else if (DataType() == ftTime)
    format = QStringLiteral("tt");
  return FormatDateTime(format, value.toDouble());
}

Variant TDateTimeField::AsVariant() const {
  QVariant value;
  return GetData(value) ? Variant::FromDateTime(value.toDouble()) : Variant::Null();
}

void TDateTimeField::SetAsVariant(const Variant &Value) {
  if (Value.IsNull() || Value.IsEmpty())
    Clear();
  else if (Value.IsString())
    SetAsString(Value.ToString());
  else
    SetAsDateTime(Value.ToDateTime());
}

// ---- BLOB fields ----

TBlobField::TBlobField(TComponent *AOwner) : TBlobField(AOwner, ftBlob) {}
TBlobField::TBlobField(TComponent *AOwner, TFieldType Type) : TField(AOwner) { SetDataType(Type); }
TMemoField::TMemoField(TComponent *AOwner) : TBlobField(AOwner, ftMemo) {}
TGraphicField::TGraphicField(TComponent *AOwner) : TBlobField(AOwner, ftGraphic) {}

void TBlobField::SetBlobType(TFieldType Value) {
  if (IsBlobFieldType(Value)) SetDataType(Value);
}

QByteArray TBlobField::AsBytes() const {
  QVariant value;
  return GetData(value) ? value.toByteArray() : QByteArray();
}

void TBlobField::SetAsBytes(const QByteArray &Value) {
  // A valid QVariant even for an empty array: an empty BLOB is not a null one.
  SetData(QVariant(Value.isNull() ? QByteArray("") : Value));
}

QString TBlobField::AsString() const { return QString::fromLatin1(AsBytes()); }
void TBlobField::SetAsString(const QString &Value) { SetAsBytes(Value.toLatin1()); }

Variant TBlobField::AsVariant() const { return IsNull() ? Variant::Null() : Variant(AsString()); }

void TBlobField::SetAsVariant(const Variant &Value) {
  if (Value.IsNull() || Value.IsEmpty())
    Clear();
  else
    SetAsString(Value.ToString());
}

void TBlobField::LoadFromStream(TStream *Stream) {
  TMemoryStream content;
  content.LoadFromStream(Stream);
  SetAsBytes(content.Bytes());
}

void TBlobField::SaveToStream(TStream *Stream) const { Stream->WriteBytes(AsBytes()); }

void TBlobField::LoadFromFile(const QString &FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TBlobField::SaveToFile(const QString &FileName) const {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

QString TBlobField::ClassDescription() const {
  QString name = ClassName();
  if (name.startsWith(u'T')) name.remove(0, 1);
  if (name.size() > 5 && name.endsWith(QStringLiteral("Field"), Qt::CaseInsensitive)) name.chop(5);
  const QString text = QStringLiteral("(%1)").arg(name);
  return IsNull() ? text : text.toUpper();
}

QString TBlobField::GetText(bool) const { return ClassDescription(); }

QString TMemoField::AsString() const { return QString::fromUtf8(AsBytes()); }
void TMemoField::SetAsString(const QString &Value) { SetAsBytes(Value.toUtf8()); }
Variant TMemoField::AsVariant() const { return IsNull() ? Variant::Null() : Variant(AsString()); }

void TMemoField::SetAsVariant(const Variant &Value) {
  if (Value.IsNull() || Value.IsEmpty())
    Clear();
  else
    SetAsString(Value.ToString());
}

QString TMemoField::GetText(bool DisplayText) const { return DisplayText ? ClassDescription() : AsString(); }

// ---- TBlobStream ----

TBlobStream::TBlobStream(TBlobField *Field, TBlobStreamMode Mode) : field_(Field), mode_(Mode) {
  if (mode_ != bmRead) {
    CheckWritable();
    if (mode_ == bmWrite) field_->SetAsBytes(QByteArray(""));
  }
  if (mode_ != bmWrite) {
    data_.WriteBytes(field_->AsBytes());
    data_.SetPosition(0);
  }
}

void TBlobStream::CheckWritable() const {
  TDataSet *dataSet = field_->DataSet();
  if (!dataSet || (dataSet->State() != dsEdit && dataSet->State() != dsInsert))
    DatabaseError(QStringLiteral("Dataset not in edit or insert mode"), dataSet);
  if (!field_->CanModify())
    DatabaseError(QStringLiteral("Field %1 cannot be modified").arg(Quoted(field_->DisplayName())));
}

qint64 TBlobStream::Read(void *Buffer, qint64 Count) { return data_.Read(Buffer, Count); }

qint64 TBlobStream::Write(const void *Buffer, qint64 Count) {
  if (mode_ == bmRead) return 0;
  const qint64 written = data_.Write(Buffer, Count);
  field_->SetAsBytes(data_.Bytes());
  return written;
}

qint64 TBlobStream::Seek(qint64 Offset, TSeekOrigin Origin) { return data_.Seek(Offset, Origin); }

void TBlobStream::SetSize(qint64 NewSize) {
  if (mode_ == bmRead)
    throw EStreamError(QStringLiteral("Cannot change the size of a BLOB opened for reading"));
  data_.SetSize(NewSize);
  field_->SetAsBytes(data_.Bytes());
}

// ---- TFields ----

TField *TFields::Fields(int Index) const {
  if (Index < 0 || Index >= list_.size())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
  return list_[Index];
}

TField *TFields::FindField(const QString &FieldName) const {
  // Names equal but for case are equally long: names of another length are passed over unread, and a name
  // spelt alike needs no comparison of cases.
  for (TField *field : list_) {
    const QString &name = field->FieldName();
    if (name.size() == FieldName.size() &&
        (name == FieldName || name.compare(FieldName, Qt::CaseInsensitive) == 0))
      return field;
  }
  return nullptr;
}

TField *TFields::FieldByName(const QString &FieldName) const {
  TField *field = FindField(FieldName);
  if (!field) DatabaseError(QStringLiteral("Field %1 not found").arg(Quoted(FieldName)), dataSet_);
  return field;
}

// ---- Field definitions ----

TField *CreateFieldOfType(TFieldType Type, TComponent *Owner) {
  switch (Type) {
  case ftString: return new TStringField(Owner);
  case ftSmallint: return new TSmallintField(Owner);
  case ftInteger: return new TIntegerField(Owner);
  case ftWord: return new TWordField(Owner);
  case ftBoolean: return new TBooleanField(Owner);
  case ftFloat: return new TFloatField(Owner);
  case ftCurrency: return new TCurrencyField(Owner);
  case ftDate: return new TDateField(Owner);
  case ftTime: return new TTimeField(Owner);
  case ftDateTime: return new TDateTimeField(Owner);
  case ftAutoInc: return new TAutoIncField(Owner);
  case ftMemo:
  case ftFmtMemo: {
    auto *field = new TMemoField(Owner);
    field->SetBlobType(Type);
    return field;
  }
  case ftGraphic: return new TGraphicField(Owner);
  case ftBlob:
  case ftParadoxOle:
  case ftDBaseOle:
  case ftTypedBinary: {
    auto *field = new TBlobField(Owner);
    field->SetBlobType(Type);
    return field;
  }
  default: return nullptr;
  }
}

TField *TFieldDef::CreateField(TComponent *Owner, TDataSet *DataSet) const {
  TField *field = CreateFieldOfType(dataType_, Owner);
  if (!field) DatabaseError(QStringLiteral("Field %1 is of an unknown type").arg(Quoted(name_)), DataSet);
  try {
    field->SetFieldName(name_);
    if (dataType_ == ftString && size_ > 0) field->SetSize(size_);
    field->SetRequired(required_);
    field->SetDataSet(DataSet);
  } catch (...) {
    FreeObject(field);
    throw;
  }
  return field;
}

TFieldDef *TFieldDefs::Add(const QString &Name, TFieldType DataType, int Size, bool Required) {
  if (Name.isEmpty()) DatabaseError(QStringLiteral("Field name missing"));
  if (IndexOf(Name) >= 0) DatabaseError(QStringLiteral("Duplicate field name %1").arg(Quoted(Name)));
  TFieldDef *def = AddFieldDef();
  def->SetName(Name);
  def->SetDataType(DataType);
  def->SetSize(Size);
  def->SetRequired(Required);
  return def;
}

int TFieldDefs::IndexOf(const QString &Name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Name().compare(Name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

TFieldDef *TFieldDefs::FindDef(const QString &Name) const {
  const int index = IndexOf(Name);
  return index < 0 ? nullptr : Items(index);
}
