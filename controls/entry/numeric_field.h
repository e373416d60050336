// TOvcNumericField: an entry field for a number typed from the right, like a calculator. The typed
// characters are kept in a digit buffer and shown through the picture mask after every change; the minus
// sign toggles the sign at any moment and the point is typed once.
#pragma once
#include "controls/entry/picture_mask.h"

enum TNumericDataType {
  nftLongInt,
  nftWord,
  nftInteger,
  nftByte,
  nftShortInt,
  nftReal,
  nftExtended,
  nftDouble,
  nftSingle,
  nftComp
};

class TOvcCustomNumericField : public TOvcPictureBase {
public:
  explicit TOvcCustomNumericField(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcCustomNumericField"); }
  void Assign(const TPersistent *Source) override;
  void WndProc(TMessage &Message) override;

  TNumericDataType DataType() const { return numericType_; }
  // A value outside TNumericDataType raises EOvcException.
  virtual void SetDataType(TNumericDataType Value);
  QString PictureMask() const { return pictureMask_; }
  virtual void SetPictureMask(const QString &Value);

  void MoveCaretToEnd() override;
  void MoveCaretToStart() override;
  // The caret of a numeric field stays at its right end.
  void SetInsertionPoint(int) override {}
  QString GetDisplayString() override;
  // Whether the value being typed is negative, and the characters typed so far (digits and one point).
  bool Negative() const { return negative_; }
  QString DigitBuffer() const { return digits_; }

protected:
  void CreateParams(TCreateParams &Params) override;
  void CreateWnd() override;
  void EditCommand(TMessage &Msg, WORD Command) override;
  WORD CheckValue() override;
  void TransferValue(void *Buffer, WORD Direction) override;
  void SetPicture(const QString &Mask) override;
  int PictureLength() const override;
  void InitFloatFlag() override;
  void IncreaseValueBy(bool Wrap, double Delta) override;
  void DecreaseValueBy(bool Wrap, double Delta) override { IncreaseValueBy(Wrap, -Delta); }

private:
  // Takes the mask (refusing one no number can be typed into), keeping the value when asked.
  void ApplyMask(const QString &Mask, bool KeepValue);
  int EngineType() const { return TOvcBaseEntryField::DataType(); }
  bool HasDecimals() const { return decimals_ > 0 && DecimalPointPos() >= 0; }
  void RecountDigits();
  void ClearBuffer();
  void LoadDigits();
  void RebuildText();
  // Adds one typed character to the buffer; false when it is refused.
  bool TypeCharacter(QChar ch, bool &filled);
  bool AutoAdvance(bool Next, TOvcBaseEFOption Option);
  std::optional<long double> Value() const;
  // The value as a plain text for the mask; nothing when it has no fixed form.
  std::optional<QString> ValueText(long double value) const;

  TNumericDataType numericType_ = nftLongInt;
  QString pictureMask_ = QStringLiteral("iiiiiiiiiii");
  int totalDigits_ = 0;
  int integerDigits_ = 0;
  int decimals_ = 0;
  bool negative_ = false;
  QString digits_;
  bool hadWindow_ = false;
};

class TOvcNumericField : public TOvcCustomNumericField {
public:
  using TOvcCustomNumericField::TOvcCustomNumericField;
  QString ClassName() const override { return QStringLiteral("TOvcNumericField"); }
};
