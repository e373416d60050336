#include "controls/edits/float_edit.h"
#include "platform/core/number_format.h"
#include "platform/windowing/system_services.h"
#include <algorithm>
#include <cmath>

namespace {
constexpr int kMaxDigits = 18;
// How much of the text after the selection the key filter looks at.
constexpr int kCandidateTail = 500;
const QChar kMinus = QLatin1Char('-');
} // namespace

const QString TFloatEdit::NoText = QStringLiteral("[No Text]");

TFloatEdit::TFloatEdit(TComponent *AOwner)
    : TCustomEdit(AOwner), settings_(Settings()), errorMessage_(NoText) {
  SetAlignment(taRightJustify);
  SetValue(0);
}

QString TFloatEdit::FormatValue(double Value) const {
  // Adding 0 turns a negative zero (from "-0") into 0, so that it never shows as "-0.0".
  return FloatToStrF(Value + 0.0, ffFixed, kMaxDigits, digits_, settings_);
}

std::optional<double> TFloatEdit::ParseText(const QString &Text) const {
  const QChar separator = settings_.DecimalSeparator;
  if (Text.isEmpty() || Text == kMinus || Text == separator) return 0.0;
  bool separatorSeen = false;
  for (qsizetype i = 0; i < Text.size(); ++i) {
    const QChar c = Text[i];
    if (c == kMinus && i == 0) continue;
    if (c == separator && !separatorSeen) {
      separatorSeen = true;
      continue;
    }
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
  }
  double value = 0;
  if (!TryStrToFloat(Text, value, settings_) || !std::isfinite(value)) return std::nullopt;
  return value;
}

int TFloatEdit::DecimalsIn(const QString &Text) const {
  const qsizetype separatorAt = Text.indexOf(settings_.DecimalSeparator);
  return separatorAt < 0 ? 0 : int(Text.size() - separatorAt - 1);
}

std::optional<double> TFloatEdit::TypedValue() const {
  const QString text = Text();
  const std::optional<double> parsed = ParseText(text);
  if (!parsed || *parsed < min_ || *parsed > max_ || DecimalsIn(text) > digits_) return std::nullopt;
  return *parsed;
}

bool TFloatEdit::CanHold(double Value) const {
  if (!std::isfinite(Value) || Value < min_ || Value > max_) return false;
  return ParseText(FormatValue(Value)) == Value;
}

QString TFloatEdit::NumberRule() const {
  QString rule = QStringLiteral("a number from %1 to %2")
                     .arg(FloatToStr(min_ + 0.0, settings_), FloatToStr(max_ + 0.0, settings_));
  if (digits_ == 0) return rule + QStringLiteral(" without decimals");
  return rule + (digits_ == 1 ? QStringLiteral(" with at most 1 decimal")
                              : QStringLiteral(" with at most %1 decimals").arg(digits_));
}

void TFloatEdit::ShowError() const {
  if (errorMessage_ != NoText) ShowMessage(errorMessage_);
}

double TFloatEdit::Value() const {
  const std::optional<double> parsed = ParseText(Text());
  return std::clamp(parsed.value_or(min_), min_, max_);
}

void TFloatEdit::SetValue(double Value) {
  if (std::isnan(Value)) Value = min_;
  if (Value > max_) {
    ShowError();
    Value = max_;
  }
  if (Value < min_) {
    ShowError();
    Value = min_;
  }
  SetText(FormatValue(Value));
}

void TFloatEdit::SetDigits(int Value) {
  const double current = this->Value();
  digits_ = std::clamp(Value, 0, kMaxDigits);
  SetValue(current);
}

void TFloatEdit::SetMin(double Value) {
  if (Value > max_) {
    ShowMessage(QStringLiteral("Min-Value has to be less than or equal to Max-Value !"));
    Value = max_;
  }
  min_ = Value;
  SetValue(this->Value());
}

void TFloatEdit::SetMax(double Value) {
  if (Value < min_) {
    ShowMessage(QStringLiteral("Max-Value has to be greater than or equal to Min-Value !"));
    Value = min_;
  }
  max_ = Value;
  SetValue(this->Value());
}

bool TFloatEdit::Refused(QChar Key, const QString &Outside, const QString &Candidate) const {
  const QChar separator = settings_.DecimalSeparator;
  if (!Key.isDigit() && Key != separator && Key != kMinus) return true;
  if (Key == separator && (Outside.contains(separator) || digits_ == 0)) return true;
  if (Key == kMinus && (Outside.contains(kMinus) || min_ >= 0)) return true;
  const int separatorAt = Candidate.indexOf(separator);
  if (separatorAt >= 0 && Candidate.size() - separatorAt - 1 > digits_) return true;
  if (Key == kMinus && Candidate.indexOf(kMinus) != 0) return true;
  return false;
}

void TFloatEdit::KeyPress(QChar &Key) {
  // OnKeyPress sees every key first; the filter judges what it leaves.
  TCustomEdit::KeyPress(Key);
  if (Key.isNull()) return;
  if (Key == QLatin1Char('\r') || Key == QLatin1Char('\n')) {
    QChar pressed = Key;
    Key = QChar();
    if (OnEnterPress) OnEnterPress(this, pressed);
    return;
  }
  if (Key == QChar(27)) {
    SetValue(valueOnEnter_);
    SelectAll();
    return;
  }
  if (Key.unicode() < 32) return;

  const QString text = Text();
  int start = 0;
  int end = 0;
  GetSelection(start, end);
  const QString before = text.left(start);
  const QString candidate = before + Key + text.mid(end, kCandidateTail);
  if (Refused(Key, before + text.mid(end), candidate)) {
    Key = QChar();
    ShowError();
    return;
  }
  const QString separator(settings_.DecimalSeparator);
  if (candidate == kMinus) {
    Key = QChar();
    SetText(QStringLiteral("-0"));
    SetSelection(1, 2);
  } else if (candidate == separator) {
    Key = QChar();
    SetText(QLatin1Char('0') + separator + QLatin1Char('0'));
    SetSelection(2, 3);
  }
}

void TFloatEdit::DoEnter() {
  // Entered again with a text it refused, it keeps the value to go back to.
  if (const std::optional<double> typed = TypedValue()) valueOnEnter_ = *typed;
  SelectAll();
  TCustomEdit::DoEnter();
}

void TFloatEdit::DoExit() {
  const std::weak_ptr<bool> alive = AliveToken();
  // OnExit fires once per leave, before the check.
  TCustomEdit::DoExit();
  if (!IsAlive(alive) || ComponentState().Contains(csDestroying)) return;
  const std::optional<double> typed = TypedValue();
  if (!typed) {
    ShowError();
    if (!IsAlive(alive)) return;
    // Told what is wrong, the user mends the text; untold, gets back the value on entry.
    if (errorMessage_ == NoText) SetValue(valueOnEnter_);
    SelectAll();
    if (CanFocus()) SetFocus();
    return;
  }
  SetValue(*typed);
}
