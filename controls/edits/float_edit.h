// TFloatEdit: a one-line edit for a decimal number with a fixed number of decimals between Min and Max. Its
// key filter keeps the text a well-formed number in the user's decimal separator (taken when the edit is
// made); every value shown is in fixed notation with Digits decimals. Enter fires OnEnterPress instead of
// typing.
//
// An edit with an ErrorMessage never drops what the user typed without a word: a key its filter refuses
// shows the message, and leaving it with a text it cannot hold (no number, out of range, more decimals than
// Digits, as a paste can leave) shows the message, keeps that text selected to be mended and keeps the
// focus. Without a message both happen silently, and leaving such a text restores the value on entry.
#pragma once
#include "platform/core/format_settings.h"
#include "platform/widgets/std_edits.h"
#include <optional>

class TFloatEdit : public TCustomEdit {
public:
  // The ErrorMessage that stands for no message at all.
  static const QString NoText;

  explicit TFloatEdit(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TFloatEdit"); }

  // The number in the text ("", "-" and the separator alone count as 0, other text that is no number as
  // Min), kept within Min .. Max.
  double Value() const;
  // Shows Value (clamped to Min .. Max, with ErrorMessage when it had to be).
  void SetValue(double Value);
  // The number the text shows, when it is one the edit can hold: within Min .. Max with at most Digits
  // decimals ("", "-" and the separator alone are 0); nothing otherwise.
  std::optional<double> TypedValue() const;
  // Whether Value lies within Min .. Max and has at most Digits decimals, so that it shows unchanged.
  bool CanHold(double Value) const;
  // What the edit holds, for messages: "a number from 0.00 to 99999999.90 with at most 2 decimals".
  QString NumberRule() const;
  // Decimals shown, 0 to 18.
  int Digits() const { return digits_; }
  void SetDigits(int Value);
  double Min() const { return min_; }
  void SetMin(double Value);
  double Max() const { return max_; }
  void SetMax(double Value);
  QString ErrorMessage() const { return errorMessage_; }
  void SetErrorMessage(const QString &Value) { errorMessage_ = Value; }
  // The decimal separator this edit types and reads.
  QChar DecimalSeparator() const { return settings_.DecimalSeparator; }

  TKeyPressEvent OnEnterPress;

protected:
  void KeyPress(QChar &Key) override;
  void DoEnter() override;
  void DoExit() override;

private:
  // The text for a value in range.
  QString FormatValue(double Value) const;
  // The number in Text, or nothing when it is none ("", "-" and the separator alone are 0). A number is an
  // optional "-", digits and at most one separator, as the key filter lets them be typed.
  std::optional<double> ParseText(const QString &Text) const;
  // The number of decimals in Text.
  int DecimalsIn(const QString &Text) const;
  void ShowError() const;
  // Whether a typed character is refused by the filter (the rules that only refuse).
  bool Refused(QChar Key, const QString &Outside, const QString &Candidate) const;

  FormatSettings settings_;
  double min_ = 0;
  double max_ = 99999999.9;
  int digits_ = 1;
  QString errorMessage_;
  double valueOnEnter_ = 0;
};
