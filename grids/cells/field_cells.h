// The numeric, picture and simple field cells: cells edited in a numeric, picture or simple entry field. The
// entry-field cell base holds what they share; each adds its field class, its data type and picture mask (the
// picture cell also the epoch), set on both of its fields.
#pragma once
#include "controls/entry/numeric_field.h"
#include "controls/entry/picture_field.h"
#include "controls/entry/simple_field.h"
#include "grids/cells/entry_field_cell.h"
#include "platform/windowing/virtual_keys.h"
#include <functional>

// The key, character and focus handling of the field editors: keys the table takes go to it (leaving up or
// down only with a valid value, Escape after restoring the text), Tab, Enter and Escape never type, and the
// table hears of the focus coming and going (with the field's error, so it keeps an editor whose value
// failed). Inherited is the field's own message handling.
void FieldEditorMessage(TOvcBaseEntryField *Editor, TOvcTCBaseEntryField *Cell, TMessage &Message,
                        const std::function<void(TMessage &)> &Inherited);

// An entry field of class Field as a cell's in-place editor. When the field would move past its first or
// last position to the previous or next control, the table moves to the neighbouring cell instead.
template <typename Field>
class TOvcTCFieldEdit : public Field {
public:
  explicit TOvcTCFieldEdit(TComponent *AOwner) : Field(AOwner) { this->SetAutoSize(false); }
  void WndProc(TMessage &Message) override {
    FieldEditorMessage(this, CellOwner, Message, [this](TMessage &M) { Field::WndProc(M); });
  }
  TOvcTCBaseEntryField *CellOwner = nullptr;

protected:
  void MoveToNextField() override { MoveToNeighbour(VK_RIGHT); }
  void MoveToPrevField() override { MoveToNeighbour(VK_LEFT); }

private:
  void MoveToNeighbour(WPARAM Key) {
    if (CellOwner) CellOwner->PostKeyToTable(TMessage{WM_KEYDOWN, Key, 0, 0});
  }
};

class TOvcTCNumericFieldEdit : public TOvcTCFieldEdit<TOvcNumericField> {
public:
  using TOvcTCFieldEdit::TOvcTCFieldEdit;
  QString ClassName() const override { return QStringLiteral("TOvcTCNumericFieldEdit"); }
};

class TOvcTCPictureFieldEdit : public TOvcTCFieldEdit<TOvcPictureField> {
public:
  using TOvcTCFieldEdit::TOvcTCFieldEdit;
  QString ClassName() const override { return QStringLiteral("TOvcTCPictureFieldEdit"); }
};

class TOvcTCSimpleFieldEdit : public TOvcTCFieldEdit<TOvcSimpleField> {
public:
  using TOvcTCFieldEdit::TOvcTCFieldEdit;
  QString ClassName() const override { return QStringLiteral("TOvcTCSimpleFieldEdit"); }
};

class TOvcTCCustomNumericField : public TOvcTCBaseEntryField {
public:
  using TOvcTCBaseEntryField::TOvcTCBaseEntryField;
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomNumericField"); }

  TNumericDataType DataType();
  void SetDataType(TNumericDataType Value);
  QString PictureMask();
  void SetPictureMask(const QString &Value);

protected:
  TOvcBaseEntryField *CreateEntryField(TComponent *Owner) override;

private:
  // The two fields as fields of this cell's class.
  TOvcCustomNumericField *Edit() { return dynamic_cast<TOvcCustomNumericField *>(Editor()); }
  TOvcCustomNumericField *Painter() { return dynamic_cast<TOvcCustomNumericField *>(PaintingField()); }
};

class TOvcTCNumericField : public TOvcTCCustomNumericField {
public:
  using TOvcTCCustomNumericField::TOvcTCCustomNumericField;
  QString ClassName() const override { return QStringLiteral("TOvcTCNumericField"); }
};

class TOvcTCCustomPictureField : public TOvcTCBaseEntryField {
public:
  using TOvcTCBaseEntryField::TOvcTCBaseEntryField;
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomPictureField"); }

  TPictureDataType DataType();
  void SetDataType(TPictureDataType Value);
  QString PictureMask();
  // A mask the field cannot edit raises EInvalidPictureMask; both fields keep their mask then.
  void SetPictureMask(const QString &Value);
  int Epoch();
  void SetEpoch(int Value);

protected:
  TOvcBaseEntryField *CreateEntryField(TComponent *Owner) override;
  bool ValueHoldsDateTime() override { return DataType() == pftDateTime; }

private:
  // The two fields as fields of this cell's class.
  TOvcCustomPictureField *Edit() { return dynamic_cast<TOvcCustomPictureField *>(Editor()); }
  TOvcCustomPictureField *Painter() { return dynamic_cast<TOvcCustomPictureField *>(PaintingField()); }
};

class TOvcTCPictureField : public TOvcTCCustomPictureField {
public:
  using TOvcTCCustomPictureField::TOvcTCCustomPictureField;
  QString ClassName() const override { return QStringLiteral("TOvcTCPictureField"); }
};

class TOvcTCCustomSimpleField : public TOvcTCBaseEntryField {
public:
  using TOvcTCBaseEntryField::TOvcTCBaseEntryField;
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomSimpleField"); }

  TSimpleDataType DataType();
  void SetDataType(TSimpleDataType Value);
  QChar PictureMask();
  void SetPictureMask(QChar Value);

protected:
  TOvcBaseEntryField *CreateEntryField(TComponent *Owner) override;

private:
  // The two fields as fields of this cell's class.
  TOvcCustomSimpleField *Edit() { return dynamic_cast<TOvcCustomSimpleField *>(Editor()); }
  TOvcCustomSimpleField *Painter() { return dynamic_cast<TOvcCustomSimpleField *>(PaintingField()); }
};

class TOvcTCSimpleField : public TOvcTCCustomSimpleField {
public:
  using TOvcTCCustomSimpleField::TOvcTCCustomSimpleField;
  QString ClassName() const override { return QStringLiteral("TOvcTCSimpleField"); }
};
