// The fields of a dataset, as the class library has them: TField and its typed descendants, the TFields list
// of a dataset, and the field definitions (TFieldDef, TFieldDefs) that describe the records a dataset
// supplies.
//
// A field is a component that reads and writes one value of the dataset's current record. It is either
// declared (made in code with an owner such as a data module, given its FieldName and attached with
// SetDataSet before the dataset opens: it survives Close) or a default field (made by the dataset from its
// field definitions when it opens without declared fields, owned by the dataset and freed at Close).
//
// Values travel as QVariants in one form per kind of field: QString for strings, qint64 for integers, bool,
// double for floats, currencies, dates and times (a TDateTime), QByteArray for BLOBs. An invalid QVariant is
// null; an empty BLOB (a valid, empty QByteArray) is not null.
//
// Conversions follow the class library: a null value reads as "", 0, false or 0.0; text set to a number field
// is parsed with the format settings (empty text clears the field); a value outside an integer field's range,
// text that is not a number, or a string longer than its field raise EDatabaseError with the field's name.
// Reading or writing a kind the field cannot convert raises EDatabaseError "Cannot access field 'X' as type
// Y". Writing needs the dataset in edit or insert state and a field that can be modified.
#pragma once
#include "platform/core/alignment.h"
#include "platform/core/collection.h"
#include "platform/core/component.h"
#include "platform/core/date_time.h"
#include "platform/core/events.h"
#include "platform/core/streams.h"
#include "platform/core/variant.h"
#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

class TDataSet;
class TField;

// The class library's field types, in its order.
enum TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftFmtMemo,
  ftParadoxOle,
  ftDBaseOle,
  ftTypedBinary
};

// The class library's name of a field type ("String", "Integer", "Blob", ...).
QString FieldTypeName(TFieldType Type);
// Whether a type holds a BLOB: blob, memo, graphic, formatted memo, the two OLE kinds and typed binary.
bool IsBlobFieldType(TFieldType Type);

// Raises EDatabaseError with Message, prefixed with "Name: " when Component has a name (as the class library
// names the dataset or field an error is about).
[[noreturn]] void DatabaseError(const QString &Message, const TComponent *Component = nullptr);

using TFieldNotifyEvent = TEvent<void(TField *Sender)>;
// DisplayText is true for the text shown in a grid or report, false for the text being edited.
using TFieldGetTextEvent = TEvent<void(TField *Sender, QString &Text, bool DisplayText)>;
using TFieldSetTextEvent = TEvent<void(TField *Sender, const QString &Text)>;

class TField : public TComponent {
public:
  explicit TField(TComponent *AOwner);
  ~TField() override;
  QString ClassName() const override { return QStringLiteral("TField"); }
  // A field freed while attached closes its dataset and leaves the dataset's Fields.
  void BeforeDestruction() override;

  // Identity and place.
  TDataSet *DataSet() const { return dataSet_; }
  // Appends the field to Value's Fields (nullptr detaches it). Both datasets must be closed.
  void SetDataSet(TDataSet *Value);
  QString FieldName() const { return fieldName_; }
  void SetFieldName(const QString &Value);
  TFieldType DataType() const { return dataType_; }
  int Size() const { return size_; }
  void SetSize(int Value);
  // The number of the field definition the field is bound to (1 for the first), 0 while unbound.
  int FieldNo() const { return fieldNo_; }
  // The position in the dataset's Fields, -1 without dataset.
  int Index() const;
  void SetIndex(int Value);
  virtual bool IsBlob() const { return false; }

  // Presentation. Changes reach the dataset's links as a layout change (or a data change for formats).
  // DisplayLabel defaults to the field name, DisplayWidth to a width by type (a string field's size).
  QString DisplayLabel() const { return displayLabel_.isEmpty() ? fieldName_ : displayLabel_; }
  void SetDisplayLabel(const QString &Value);
  QString DisplayName() const { return DisplayLabel(); }
  int DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : DefaultWidth(); }
  void SetDisplayWidth(int Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  bool Required() const { return required_; }
  void SetRequired(bool Value) { required_ = Value; }
  // Not read-only, attached to a dataset that can be modified.
  bool CanModify() const;

  // Values of the current record.
  bool IsNull() const;
  void Clear();
  virtual QString AsString() const;
  virtual void SetAsString(const QString &Value);
  virtual int AsInteger() const;
  virtual void SetAsInteger(int Value);
  virtual double AsFloat() const;
  virtual void SetAsFloat(double Value);
  double AsCurrency() const { return AsFloat(); }
  void SetAsCurrency(double Value) { SetAsFloat(Value); }
  virtual bool AsBoolean() const;
  virtual void SetAsBoolean(bool Value);
  virtual TDateTime AsDateTime() const;
  virtual void SetAsDateTime(TDateTime Value);
  // Null for a null value; a BLOB gives its bytes as text, one character per byte.
  virtual Variant AsVariant() const;
  // Null or empty clears the field.
  virtual void SetAsVariant(const Variant &Value);
  // The text being edited; OnGetText decides it when assigned.
  QString Text() const;
  // Sets the value from text: OnSetText when assigned, else as SetAsString.
  void SetText(const QString &Value);
  // The text shown for the value (display formats, boolean display values); OnGetText when assigned.
  QString DisplayText() const;

  // Events.
  const TFieldGetTextEvent &OnGetText() const { return onGetText_; }
  void SetOnGetText(const TFieldGetTextEvent &Value) { onGetText_ = Value; }
  const TFieldSetTextEvent &OnSetText() const { return onSetText_; }
  void SetOnSetText(const TFieldSetTextEvent &Value) { onSetText_ = Value; }
  // Fired after the value changed.
  const TFieldNotifyEvent &OnChange() const { return onChange_; }
  void SetOnChange(const TFieldNotifyEvent &Value) { onChange_ = Value; }
  // Fired before a new value is stored; raising refuses it.
  const TFieldNotifyEvent &OnValidate() const { return onValidate_; }
  void SetOnValidate(const TFieldNotifyEvent &Value) { onValidate_ = Value; }

  // The raw value of the current record in the field's form (see the top of this file); false and an invalid
  // QVariant for null or when there is no record.
  bool GetData(QVariant &Value) const;
  // Stores a raw value of the field's form: checks the dataset's state and the field, fires OnValidate,
  // stores, then the dataset tells its links and OnChange fires.
  void SetData(const QVariant &Value);

protected:
  void SetDataType(TFieldType Value) { dataType_ = Value; }
  virtual int DefaultWidth() const { return 10; }
  // The text of a non-null value, for display (DisplayText) or editing; the base gives AsString.
  virtual QString GetText(bool DisplayText) const;
  // Raises "Cannot access field 'X' as type Y".
  [[noreturn]] void AccessError(const QString &TypeName) const;
  // Tells the dataset's links that a property changed: a layout change or a change of the shown data.
  void PropertyChanged(bool LayoutAffected);

private:
  friend class TDataSet;
  friend class TFields;
  void CheckInactive() const;

  TDataSet *dataSet_ = nullptr;
  QString fieldName_;
  TFieldType dataType_ = ftUnknown;
  int size_ = 0;
  int fieldNo_ = 0;
  QString displayLabel_;
  int displayWidth_ = 0;
  bool visible_ = true;
  TAlignment alignment_ = taLeftJustify;
  bool readOnly_ = false;
  bool required_ = false;
  TFieldGetTextEvent onGetText_;
  TFieldSetTextEvent onSetText_;
  TFieldNotifyEvent onChange_;
  TFieldNotifyEvent onValidate_;
};

// Text: at most Size characters (Unicode code points); a longer value is refused, never cut.
class TStringField : public TField {
public:
  explicit TStringField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TStringField"); }

  QString AsString() const override;
  void SetAsString(const QString &Value) override;
  int AsInteger() const override;
  void SetAsInteger(int Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  // "T", "Y" (true) and "F", "N" (false) by their first letter, empty text false.
  bool AsBoolean() const override;
  void SetAsBoolean(bool Value) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime Value) override;
  Variant AsVariant() const override;
  void SetAsVariant(const Variant &Value) override;

protected:
  int DefaultWidth() const override { return Size(); }
};

// Numbers: right-aligned; DisplayFormat is a FormatFloat picture ("0.00;-0.00").
class TNumericField : public TField {
public:
  explicit TNumericField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TNumericField"); }
  QString DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const QString &Value);

private:
  QString displayFormat_;
};

// 32-bit integers, or the range of the descendant's type.
class TIntegerField : public TNumericField {
public:
  explicit TIntegerField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TIntegerField"); }

  QString AsString() const override;
  void SetAsString(const QString &Value) override;
  int AsInteger() const override;
  void SetAsInteger(int Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  Variant AsVariant() const override;
  void SetAsVariant(const Variant &Value) override;

protected:
  TIntegerField(TComponent *AOwner, TFieldType Type, qint64 MinRange, qint64 MaxRange);
  QString GetText(bool DisplayText) const override;
  void StoreInteger(qint64 Value);

private:
  qint64 minRange_;
  qint64 maxRange_;
};

class TSmallintField : public TIntegerField {
public:
  explicit TSmallintField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TSmallintField"); }
};

class TWordField : public TIntegerField {
public:
  explicit TWordField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TWordField"); }
};

// An automatic number, given by the record source when a record is added.
class TAutoIncField : public TIntegerField {
public:
  explicit TAutoIncField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TAutoIncField"); }
};

// Doubles. Currency set: shown as currency (FloatToStrF ffCurrency) unless a DisplayFormat is given.
class TFloatField : public TNumericField {
public:
  explicit TFloatField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TFloatField"); }

  QString AsString() const override;
  void SetAsString(const QString &Value) override;
  int AsInteger() const override;
  void SetAsInteger(int Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  Variant AsVariant() const override;
  void SetAsVariant(const Variant &Value) override;

  bool Currency() const { return currency_; }
  void SetCurrency(bool Value);

protected:
  QString GetText(bool DisplayText) const override;

private:
  bool currency_ = false;
};

class TCurrencyField : public TFloatField {
public:
  explicit TCurrencyField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TCurrencyField"); }
};

// True or false; DisplayValues "yes;no" names the two values ("Canc;" shows "Canc" and nothing).
class TBooleanField : public TField {
public:
  explicit TBooleanField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TBooleanField"); }

  // The display value of the value, "" for null.
  QString AsString() const override;
  // Empty text clears; otherwise text that starts the true or the false display value (case ignored).
  void SetAsString(const QString &Value) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool Value) override;
  Variant AsVariant() const override;
  void SetAsVariant(const Variant &Value) override;

  QString DisplayValues() const { return displayValues_; }
  void SetDisplayValues(const QString &Value);

protected:
  int DefaultWidth() const override;

private:
  QString displayValues_;
  QString trueText_ = QStringLiteral("True");
  QString falseText_ = QStringLiteral("False");
};

// A date and time (TDateTime). Without DisplayFormat the text is "c" (date, and time unless midnight).
class TDateTimeField : public TField {
public:
  explicit TDateTimeField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TDateTimeField"); }

  QString AsString() const override;
  void SetAsString(const QString &Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime Value) override;
  Variant AsVariant() const override;
  void SetAsVariant(const Variant &Value) override;

  QString DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const QString &Value);

protected:
  TDateTimeField(TComponent *AOwner, TFieldType Type);
  QString GetText(bool DisplayText) const override;
  // The part of a date-time this field keeps.
  virtual TDateTime Normalize(TDateTime Value) const { return Value; }

private:
  QString displayFormat_;
};

// The date part only; text by ShortDateFormat.
class TDateField : public TDateTimeField {
public:
  explicit TDateField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TDateField"); }

protected:
  TDateTime Normalize(TDateTime Value) const override;
};

// The time of day only; text by LongTimeFormat.
class TTimeField : public TDateTimeField {
public:
  explicit TTimeField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TTimeField"); }

protected:
  TDateTime Normalize(TDateTime Value) const override;
};

// Bytes of any length. Shown as "(BLOB)" ("(Blob)" when null); AsString gives the bytes one character each.
class TBlobField : public TField {
public:
  explicit TBlobField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TBlobField"); }
  bool IsBlob() const override { return true; }

  // The content; empty for null.
  QByteArray AsBytes() const;
  // Stores the bytes (an empty array stores an empty, not a null, BLOB).
  void SetAsBytes(const QByteArray &Value);
  int BlobSize() const { return int(AsBytes().size()); }
  QString AsString() const override;
  void SetAsString(const QString &Value) override;
  Variant AsVariant() const override;
  void SetAsVariant(const Variant &Value) override;

  // Stores the whole of Stream, read from its start.
  void LoadFromStream(TStream *Stream);
  // Writes the content at Stream's position.
  void SaveToStream(TStream *Stream) const;
  void LoadFromFile(const QString &FileName);
  void SaveToFile(const QString &FileName) const;

  // Descendants and field definitions choose among the BLOB types.
  void SetBlobType(TFieldType Value);

protected:
  TBlobField(TComponent *AOwner, TFieldType Type);
  QString GetText(bool DisplayText) const override;
  // "(BLOB)" in capitals when there is a value, "(Blob)" when null.
  QString ClassDescription() const;
};

// Text of any length, stored as UTF-8 bytes; shown as "(MEMO)", edited as its text.
class TMemoField : public TBlobField {
public:
  explicit TMemoField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TMemoField"); }
  QString AsString() const override;
  void SetAsString(const QString &Value) override;
  Variant AsVariant() const override;
  void SetAsVariant(const Variant &Value) override;

protected:
  QString GetText(bool DisplayText) const override;
};

// A picture's bytes; shown as "(GRAPHIC)".
class TGraphicField : public TBlobField {
public:
  explicit TGraphicField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TGraphicField"); }
};

// A stream over a BLOB field of the current record: reading sees the content; writing (bmWrite starts empty,
// bmReadWrite with the content) stores every change in the field at once. Writing needs the dataset in edit
// or insert state and a field that can be modified, checked when the stream is made.
enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

class TBlobStream : public TStream {
public:
  TBlobStream(TBlobField *Field, TBlobStreamMode Mode);
  QString ClassName() const override { return QStringLiteral("TBlobStream"); }
  qint64 Read(void *Buffer, qint64 Count) override;
  qint64 Write(const void *Buffer, qint64 Count) override;
  qint64 Seek(qint64 Offset, TSeekOrigin Origin) override;
  qint64 Size() override { return data_.Size(); }
  void SetSize(qint64 NewSize) override;

private:
  void CheckWritable() const;
  TBlobField *field_;
  TBlobStreamMode mode_;
  TMemoryStream data_;
};

// The fields of a dataset, in order. The list does not own its fields.
class TFields : public TObject {
public:
  explicit TFields(TDataSet *DataSet) : dataSet_(DataSet) {}
  QString ClassName() const override { return QStringLiteral("TFields"); }

  int Count() const { return int(list_.size()); }
  // The I-th field; EListError "List index out of bounds (I)" otherwise.
  TField *Fields(int Index) const;
  TField *operator[](int Index) const { return Fields(Index); }
  int IndexOf(const TField *Field) const { return int(list_.indexOf(const_cast<TField *>(Field))); }
  // By name, case ignored: FindField gives nullptr when none; FieldByName raises "Field 'x' not found".
  TField *FindField(const QString &FieldName) const;
  TField *FieldByName(const QString &FieldName) const;
  TDataSet *DataSet() const { return dataSet_; }

private:
  friend class TField;
  friend class TDataSet;
  void Add(TField *Field) { list_.append(Field); }
  void Remove(TField *Field) { list_.removeAll(Field); }
  void Move(int CurIndex, int NewIndex) { list_.move(CurIndex, NewIndex); }

  TDataSet *dataSet_;
  QList<TField *> list_;
};

// The description of one field of the records a dataset supplies.
class TFieldDef : public TCollectionItem {
public:
  explicit TFieldDef(TCollection *Collection) : TCollectionItem(Collection) {}
  QString ClassName() const override { return QStringLiteral("TFieldDef"); }
  QString DisplayName() const override { return name_; }

  QString Name() const { return name_; }
  void SetName(const QString &Value) { name_ = Value; }
  TFieldType DataType() const { return dataType_; }
  void SetDataType(TFieldType Value) { dataType_ = Value; }
  // Characters of a string field; 0 for other types.
  int Size() const { return size_; }
  void SetSize(int Value) { size_ = Value; }
  bool Required() const { return required_; }
  void SetRequired(bool Value) { required_ = Value; }
  // 1 for the first definition.
  int FieldNo() const { return Index() + 1; }
  // Makes the field of the class that suits the type, owned by Owner, attached to DataSet; EDatabaseError
  // for a type that has no field class.
  TField *CreateField(TComponent *Owner, TDataSet *DataSet) const;

private:
  QString name_;
  TFieldType dataType_ = ftUnknown;
  int size_ = 0;
  bool required_ = false;
};

class TFieldDefs : public TCollection {
public:
  TFieldDefs() : TCollection(CollectionItemClass<TFieldDef>()) {}
  QString ClassName() const override { return QStringLiteral("TFieldDefs"); }

  TFieldDef *Items(int Index) const { return static_cast<TFieldDef *>(TCollection::Items(Index)); }
  TFieldDef *operator[](int Index) const { return Items(Index); }
  TFieldDef *AddFieldDef() { return static_cast<TFieldDef *>(TCollection::Add()); }
  // Appends a definition; a name already present raises EDatabaseError "Duplicate field name 'x'".
  TFieldDef *Add(const QString &Name, TFieldType DataType, int Size = 0, bool Required = false);
  // By name, case ignored: -1 / nullptr when none.
  int IndexOf(const QString &Name) const;
  TFieldDef *FindDef(const QString &Name) const;
};

// Makes a field of the class that suits the type, or nullptr for a type without one.
TField *CreateFieldOfType(TFieldType Type, TComponent *Owner);
