// TOvcPictureBase: the entry field whose edit text lies inside a picture mask, the ancestor of the numeric
// and the picture field. It classifies the mask's positions, lays a plain value text into the mask and takes
// it out again, and places literals, the decimal point, currency symbols, thousands separators and the minus
// sign.
#pragma once
#include "controls/entry/base_entry_field.h"
#include <vector>

class TOvcPictureBase : public TOvcBaseEntryField {
public:
  explicit TOvcPictureBase(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcPictureBase"); }
  void WndProc(TMessage &Message) override;

  // Position classes: literal, editable (a mask character) or floating symbol ("$" or ",").
  bool IsLiteral(int Pos) const;
  bool IsFloatingSymbol(int Pos) const;
  WORD FirstEditablePos() override;
  // The first position the caret may take: the first a user fills, after the places a number's floating
  // symbols are kept in.
  int FirstPlace() const;
  // The last position a user fills; -1 when there is none.
  int LastEditablePos() const;
  // The mask character at a position (blank beyond the mask).
  QChar MaskAt(int Pos) const;
  // Whether the field holds a number (a numeric field, or an integer or floating data type).
  bool HoldsNumber() const;
  // The position of the mask's decimal point, or -1; in a field that holds no number "." is a literal.
  int DecimalPointPos() const { return HoldsNumber() ? int(Picture().indexOf(QLatin1Char('.'))) : -1; }

  // A plain value text laid into the mask: always MaxLength characters.
  QString MergeWithPicture(const QString &Source) const;
  // An edit text with stars in every place a user fills: the number it was to show does not fit, and no place
  // shows a part of it as if it were all of it.
  QString Starred(QString Text) const;
  // The user's characters of an edit text (a text of another length is returned as it is).
  QString StripPicture(const QString &Source) const;
  // Right-justifies the integer run before the point and zero-fills the fraction run after it.
  void AlignDecimal(int DotPos, int FirstPos, bool DoFraction, bool DoInteger, int LastPos);
  // Width: the digit positions (with the point); Decimals: the positions after the point.
  void GetDigitCounts(int &Width, int &Decimals) const;

  bool IsEmpty() override;
  QString GetDisplayString() override;
  void AdjustOptions() override;
  void SetInsertionPoint(int Position) override;
  void MoveCaretToEnd() override;
  void MoveCaretToStart() override;
  bool ValidateContents(bool Exiting) override;
  WORD ValidateSelf(bool ReportError) override;

protected:
  void CreateWnd() override;
  QString GetFullPicture() const override;
  void SetPicture(const QString &Mask) override;
  QString GetStrippedEditString() override { return StripPicture(EditString()); }
  void SetEditString(const QString &Value) override { SetEditText(MergeWithPicture(Value)); }
  // Classifies the mask's positions and drops the options a mask with literals does not allow.
  void InitPictureFlags();
  // Before an edit command: takes the floating symbols out so that digits can be edited.
  virtual void PrepareEditText();
  // On leaving: lays the edited value into the mask again when PrepareEditText took symbols out.
  void ReformatAfterEdit();
  // Whether the mask lays numbers out: a field holding a number whose mask has floating symbols, a base,
  // ".", "c" or "C", and every numeric field.
  bool HasNumericLayout() const;
  // Sets the float-with-decimal flag when the window is made.
  virtual void InitFloatFlag();
  // The selection end at the moment the field was entered.
  int SelectionEndOnEntry() const { return selEndOnEntry_; }
  int FloatingCount() const;

private:
  // A modified picture field holding a number: the digits before the point right-justified, the places
  // after it filled with zeros.
  void AlignModifiedNumber();
  const std::vector<std::uint8_t> &Classes() const;
  int PicturePositions() const;

  mutable std::vector<std::uint8_t> classes_;
  mutable QString classifiedPicture_;
  mutable int classifiedLength_ = -1;
  mutable int floatingCount_ = 0;
  int selEndOnEntry_ = 0;
};
