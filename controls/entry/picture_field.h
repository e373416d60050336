// TOvcPictureField: an entry field whose text is edited in place inside a picture mask. The caret moves only
// over the mask's editable positions, literals stay fixed, and the text converts to and from a typed value
// of one of seventeen data types.
#pragma once
#include "controls/entry/picture_mask.h"

enum TPictureDataType {
  pftString,
  pftChar,
  pftBoolean,
  pftYesNo,
  pftLongInt,
  pftWord,
  pftInteger,
  pftByte,
  pftShortInt,
  pftReal,
  pftExtended,
  pftDouble,
  pftSingle,
  pftComp,
  pftDate,
  pftTime,
  pftDateTime
};

class TOvcCustomPictureField : public TOvcPictureBase {
public:
  explicit TOvcCustomPictureField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcCustomPictureField"); }
  void Assign(const TPersistent *Source) override;

  bool InitDateTime() const { return initDateTime_; }
  void SetInitDateTime(bool Value);
  TPictureDataType DataType() const { return pictureType_; }
  // A value outside TPictureDataType raises EOvcException.
  virtual void SetDataType(TPictureDataType Value);
  QString PictureMask() const { return pictureMask_; }
  // A mask the field cannot edit raises EInvalidPictureMask and leaves the mask as it was.
  virtual void SetPictureMask(const QString &Value);
  void SetValueFromText(const QString &Text) override;

  // The default mask of a data type.
  static QString DefaultMask(TPictureDataType Type);

protected:
  void CreateParams(TCreateParams &Params) override;
  void CreateWnd() override;
  void EditCommand(TMessage &Msg, WORD Command) override;
  WORD CheckValue() override;
  void TransferValue(void *Buffer, WORD Direction) override;
  void IncreaseValueBy(bool Wrap, double Delta) override;
  void DecreaseValueBy(bool Wrap, double Delta) override { IncreaseValueBy(Wrap, -Delta); }
  WORD ValueSize() override;
  bool HoldsDateTime() const override { return pictureType_ == pftDateTime; }

private:
  int EngineType() const { return TOvcBaseEntryField::DataType(); }
  bool IsNumberType() const;
  bool IsCharLike() const;
  // Takes Mask (refusing one the field cannot edit), keeping the value where the new mask can hold it.
  void ApplyMask(const QString &Mask, bool KeepValue);
  // Whether the field can edit its type's values through Mask.
  bool MaskFits(const QString &Mask) const;
  // Editable positions and runs.
  bool Editable(int Pos) const { return Pos >= 0 && Pos < MaxLength() && !IsLiteral(Pos); }
  int NextEditable(int Pos) const;
  int PrevEditable(int Pos) const;
  int RunStart(int Pos) const;
  int RunEnd(int Pos) const;
  // The mask character that checks a character typed at Pos.
  QChar CheckCharAt(int Pos) const;
  QString NormalText() const;
  void PictureCommand(TMessage &Msg, WORD Command);
  void CharCommand(TMessage &Msg, WORD Command);
  // Puts a typed (or pasted) character at the caret; false when it is refused.
  bool PutCharacter(QChar ch, QString &text, int &caret, bool &advance);
  void DeleteRange(QString &text, int start, int end) const;
  void DeleteSelection(QString &text, int &caret);
  int WordLeftOf(const QString &text, int caret) const;
  int WordRightOf(const QString &text, int caret) const;
  bool AutoAdvance(bool Next, TOvcBaseEFOption Option);
  void CompleteFrom(const QString &now);
  // Number, date and time halves of the text.
  std::optional<long double> NumberValue() const;
  // Whether a number within the field's range shows in the mask (not as stars).
  bool CanShow(long double Value) const;
  // The number as a plain text for the mask; nothing when it has no form that fits.
  std::optional<QString> NumberText(long double value) const;
  // A day as Mask shows it; stars when the text would read back as another day.
  QString DateText(const QString &Mask, std::int32_t Day);
  QString DateMask() const;
  QString TimeMask() const;
  void SetCurrentDateTime();
  void StepDate(int Delta, bool Wrap);
  void StepTime(int Delta, bool Wrap);

  bool initDateTime_ = false;
  TPictureDataType pictureType_ = pftString;
  QString pictureMask_ = QStringLiteral("XXXXXXXXXXXXXXX");
  bool hadWindow_ = false;
};

class TOvcPictureField : public TOvcCustomPictureField {
public:
  using TOvcCustomPictureField::TOvcCustomPictureField;
  QString ClassName() const override { return QStringLiteral("TOvcPictureField"); }
};
