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
  // The last position a user fills; -1 when there is none.
  int LastEditablePos() const;
  // The mask character at a position (blank beyond the mask).
  QChar MaskAt(int Pos) const;
  // The position of the mask's decimal point, or -1.
  int DecimalPointPos() const { return int(Picture().indexOf(QLatin1Char('.'))); }

  // A plain value text laid into the mask: always MaxLength characters.
  QString MergeWithPicture(const QString &Source) const;
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
  // Whether the mask lays numbers out (floating symbols, a numeric field, a base, ".", "c" or "C").
  bool HasNumericLayout() const;
  // Sets the float-with-decimal flag when the window is made.
  virtual void InitFloatFlag();
  // The selection end at the moment the field was entered.
  int SelectionEndOnEntry() const { return selEndOnEntry_; }
  int FloatingCount() const;

private:
  const std::vector<std::uint8_t> &Classes() const;
  int PicturePositions() const;

  mutable std::vector<std::uint8_t> classes_;
  mutable QString classifiedPicture_;
  mutable int classifiedLength_ = -1;
  mutable int floatingCount_ = 0;
  int selEndOnEntry_ = 0;
};
