// TOvcSimpleField: an entry field whose mask is one mask character applied to every position: free text, a
// character, a Boolean or yes/no flag, or a number of one of ten numeric types.
#pragma once
#include "controls/entry/base_entry_field.h"

enum TSimpleDataType {
  sftString,
  sftChar,
  sftBoolean,
  sftYesNo,
  sftLongInt,
  sftWord,
  sftInteger,
  sftByte,
  sftShortInt,
  sftReal,
  sftExtended,
  sftDouble,
  sftSingle,
  sftComp
};

class TOvcCustomSimpleField : public TOvcBaseEntryField {
public:
  explicit TOvcCustomSimpleField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcCustomSimpleField"); }
  void Assign(const TPersistent *Source) override;

  TSimpleDataType DataType() const { return simpleType_; }
  // A value above sftComp raises EOvcException.
  virtual void SetDataType(TSimpleDataType Value);
  QChar PictureMask() const { return pictureMask_; }
  // A character outside the simple field's mask characters raises EInvalidPictureMask.
  virtual void SetPictureMask(QChar Value);

  QString GetDisplayString() override;

protected:
  void CreateWnd() override;
  void EditCommand(TMessage &Msg, WORD Command) override;
  WORD CheckValue() override;
  void TransferValue(void *Buffer, WORD Direction) override;
  QString GetFullPicture() const override { return QString(MaxLength(), pictureMask_); }
  void IncreaseValueBy(bool Wrap, double Delta) override;
  void DecreaseValueBy(bool Wrap, double Delta) override { IncreaseValueBy(Wrap, -Delta); }
  // The starting value of the type, transferred in.
  void SetInitialValue();

private:
  // Takes the mask character (refusing one outside the allowed set), keeping the value when asked.
  void ApplyMask(QChar Value, bool KeepValue);
  bool IsCharLike() const;
  void TextCommand(TMessage &Msg, WORD Command);
  void CharCommand(TMessage &Msg, WORD Command);
  void TypeCharacter(QChar ch, int &changes);
  void PasteText(const QString &text, int &changes);
  bool AutoAdvance(int Position, WORD Command);
  void DeleteSelection(int &changes);
  // A typed character as a position stores it: the decimal character of numbers, then the mask's check.
  std::optional<QChar> Accepted(QChar ch, QChar prev) const;
  // The text of a floating value as the field shows it.
  QString FloatText(long double value) const;
  // The value of the edit text for the numeric types; nothing when it does not convert.
  std::optional<long double> NumberValue() const;
  void WriteNumberBack(long double value);

  TSimpleDataType simpleType_ = sftString;
  QChar pictureMask_ = QLatin1Char('X');
  bool hadWindow_ = false;
};

class TOvcSimpleField : public TOvcCustomSimpleField {
public:
  using TOvcCustomSimpleField::TOvcCustomSimpleField;
  QString ClassName() const override { return QStringLiteral("TOvcSimpleField"); }
};
