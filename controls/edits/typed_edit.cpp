#include "controls/edits/typed_edit.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/core/number_format.h"
#include "platform/widgets/edit_mask.h"
#include "platform/windowing/system_services.h"
#include <QCompleter>
#include <QFileSystemModel>
#include <QLineEdit>

namespace {

bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The date part of a type's text, its fields in the order of the regional short date format.
QString DatePattern(bool shortYear) {
  QString order;
  for (QChar c : Settings().ShortDateFormat.toLower())
    if ((c == QLatin1Char('d') || c == QLatin1Char('m') || c == QLatin1Char('y')) && !order.contains(c))
      order += c;
  for (QChar c : {QLatin1Char('m'), QLatin1Char('d'), QLatin1Char('y')})
    if (!order.contains(c)) order += c;
  QStringList parts;
  for (QChar c : order) {
    if (c == QLatin1Char('d'))
      parts << QStringLiteral("dd");
    else if (c == QLatin1Char('m'))
      parts << QStringLiteral("mm");
    else
      parts << (shortYear ? QStringLiteral("yy") : QStringLiteral("yyyy"));
  }
  return parts.join(QLatin1Char('/'));
}

// The pattern (FormatDateTime's letters) that lays a date or time out as the type's mask expects.
QString DateTimePattern(TTypeForEdit Type) {
  const QString seconds = QStringLiteral("hh:nn:ss");
  const QString minutes = QStringLiteral("hh:nn");
  switch (Type) {
  case teDateTime: return DatePattern(false) + QLatin1Char(' ') + seconds;
  case teShortDateTime: return DatePattern(true) + QLatin1Char(' ') + seconds;
  case teDateShortTime: return DatePattern(false) + QLatin1Char(' ') + minutes;
  case teShortDateShortTime: return DatePattern(true) + QLatin1Char(' ') + minutes;
  case teDate: return DatePattern(false);
  case teShortDate: return DatePattern(true);
  case teTime: return seconds;
  case teShortTime: return minutes;
  default: return QString();
  }
}

// Text less the characters the type's mask shows as literals.
QString WithoutLiterals(TTypeForEdit Type, const QString &Text) {
  const TEditMask mask(TypedEditMask(Type));
  QString literals;
  for (const TMaskPosition &position : mask.Positions())
    if (position.IsLiteral()) literals += position.Literal;
  QString result;
  for (QChar c : Text)
    if (!literals.contains(c)) result += c;
  return result;
}

// The value of a bound, Null when it is empty or does not convert under the type.
Variant BoundValue(TTypeForEdit Type, const QString &Text) {
  try {
    return TypedTextToValue(Type, Text);
  } catch (const Exception &) {
    return Variant::Null();
  }
}

} // namespace

QString TypedEditMask(TTypeForEdit Type) {
  switch (Type) {
  case teDateTime: return QStringLiteral("!99/99/9999 99:99:99;1;_");
  case teShortDateTime: return QStringLiteral("!99/99/99 99:99:99;1;_");
  case teDateShortTime: return QStringLiteral("!99/99/9999 99:99;1;_");
  case teShortDateShortTime: return QStringLiteral("!99/99/99 99:99;1;_");
  case teDate: return QStringLiteral("!99/99/9999;1;_");
  case teShortDate: return QStringLiteral("!99/99/99;1;_");
  case teTime: return QStringLiteral("!90:99:99;1;_");
  case teShortTime: return QStringLiteral("!99:99;1;_");
  case tePhone: return QStringLiteral("!\\(999\\) 999\\-9999;1;_");
  case tePhoneExt: return QStringLiteral("!\\(999\\) 999\\-9999 \\x9999;1;_");
  case teSocial: return QStringLiteral("!999\\-99\\-9999;1;_");
  case teZIPCode: return QStringLiteral("!99999\\-9999;1;_");
  default: return QString();
  }
}

bool IsDateType(TTypeForEdit Type) { return Type >= teDateTime && Type <= teShortDate; }

bool IsTimeType(TTypeForEdit Type) { return Type == teTime || Type == teShortTime; }

Variant TypedTextToValue(TTypeForEdit Type, const QString &Text) {
  if (WithoutLiterals(Type, Text).trimmed().isEmpty()) return Variant::Null();
  const QString text = Text.trimmed();
  switch (Type) {
  case teNumber: return StrToFloat(text);
  case teInteger: return StrToInt(text);
  case teDateTime:
  case teShortDateTime:
  case teDateShortTime:
  case teShortDateShortTime: return Variant::FromDateTime(StrToDateTime(text));
  case teDate:
  case teShortDate: return Variant::FromDateTime(StrToDate(text));
  case teTime:
  case teShortTime: return Variant::FromDateTime(StrToTime(text));
  default: return Text;
  }
}

QString TypedValueToText(TTypeForEdit Type, const Variant &Value) {
  if (Value.IsNull() || Value.IsEmpty()) return QString();
  if (Value.IsString()) return Value.ToString();
  switch (Type) {
  case teNumber: return FloatToStr(Value.ToDouble());
  case teInteger: return IntToStr(Value.ToInt64());
  default:
    if (IsDateType(Type) || IsTimeType(Type)) return FormatDateTime(DateTimePattern(Type), Value.ToDouble());
    return VarToStr(Value);
  }
}

// ---- TEditTyped ----

TEditTyped::TEditTyped(TComponent *AOwner) : TCustomPopupEdit(AOwner) {}

void TEditTyped::SetTypeValue(TTypeForEdit Value) {
  typeValue_ = Value;
  SetEditMask(QString());
  switch (Value) {
  case teString: SetCharCase(ecNormal); break;
  case teStringUpper: SetCharCase(ecUpperCase); break;
  case teStringLower: SetCharCase(ecLowerCase); break;
  default: SetEditMask(TypedEditMask(Value)); break;
  }
}

Variant TEditTyped::Value() const { return TypedTextToValue(typeValue_, Text()); }

void TEditTyped::SetValue(const Variant &Value) { SetText(TypedValueToText(typeValue_, Value)); }

void TEditTyped::SetMinValue(const QString &Value) {
  try {
    TypedTextToValue(typeValue_, Value);
  } catch (const Exception &) {
    return;
  }
  minValue_ = Value;
}

void TEditTyped::SetMaxValue(const QString &Value) {
  try {
    TypedTextToValue(typeValue_, Value);
  } catch (const Exception &) {
    return;
  }
  maxValue_ = Value;
}

void TEditTyped::CheckRange() const {
  const Variant value = Value();
  if (value.IsNull()) return;
  // A bound that no longer converts (the type changed since it was set) bounds nothing.
  const Variant low = BoundValue(typeValue_, minValue_);
  const Variant high = BoundValue(typeValue_, maxValue_);
  if ((!low.IsNull() && value < low) || (!high.IsNull() && high < value))
    throw EEditTypedRangeError(
        QStringLiteral("Value %1 out of range %2..%3").arg(Text(), minValue_, maxValue_));
}

QString TEditTyped::TextOutsideSelection() const {
  const QString text = Text();
  if (IsMasked()) return text;
  const int start = SelStart();
  return text.left(start) + text.mid(start + SelLength());
}

bool TEditTyped::FilterKey(QChar &Key) const {
  const QChar plus = QLatin1Char('+');
  const QChar minus = QLatin1Char('-');
  switch (typeValue_) {
  case teNumber: {
    const QChar separator = Settings().DecimalSeparator;
    if (Key == QLatin1Char(',') || Key == QLatin1Char('.')) Key = separator;
    if (Key == separator || Key == plus || Key == minus) return !TextOutsideSelection().contains(Key);
    return IsAsciiDigit(Key) || Key == QLatin1Char('E') || Key == QLatin1Char('e');
  }
  case teInteger:
    if (Key == plus || Key == minus) return !TextOutsideSelection().contains(Key);
    return IsAsciiDigit(Key);
  default:
    if (IsDateType(typeValue_) || IsTimeType(typeValue_))
      return Key == plus || Key == minus || IsAsciiDigit(Key);
    return true;
  }
}

void TEditTyped::KeyPress(QChar &Key) {
  TCustomPopupEdit::KeyPress(Key);
  if (Key.isNull() || !enabledTypedLimit_) return;
  if (Key == QChar(0x0D)) {
    Key = QChar();
    if (TCustomForm *form = GetParentForm(this)) form->SelectNext(this, true, true);
    return;
  }
  // Backspace, and the control characters of the clipboard keys and Escape, are no typed characters.
  if (Key.unicode() < 0x20) return;
  if (!FilterKey(Key)) {
    MessageBeep(0);
    Key = QChar();
  }
}

bool TEditTyped::CanPopup() const { return TCustomPopupEdit::CanPopup() && IsDateType(typeValue_); }

Variant TEditTyped::PopupValue() const {
  return WithoutLiterals(typeValue_, Text()).trimmed().isEmpty() ? Variant::Null() : Variant(Text());
}

void TEditTyped::AcceptPopupValue(const Variant &Value) { SetValue(Value); }

void TEditTyped::SetAutoComplete(TSMCompletition Value) {
  autoComplete_ = Value;
  ApplyAutoComplete();
}

void TEditTyped::ApplyAutoComplete() {
  QLineEdit *edit = LineEdit();
  if (!edit) return;
  // File and folder names are the one source of completions this system has.
  if (!autoComplete_.Contains(mcFileSystem)) {
    if (edit->completer()) edit->setCompleter(nullptr);
    return;
  }
  auto *completer = new QCompleter(edit);
  auto *model = new QFileSystemModel(completer);
  model->setRootPath(QString());
  completer->setModel(model);
  const bool suggest = autoComplete_.Contains(mcAutoSuggest);
  const bool append = autoComplete_.Contains(mcAutoAppend);
  completer->setCompletionMode(append && !suggest ? QCompleter::InlineCompletion
                                                  : QCompleter::PopupCompletion);
  edit->setCompleter(completer);
}

void TEditTyped::CreateWnd() {
  TCustomPopupEdit::CreateWnd();
  ApplyAutoComplete();
}

void TEditTyped::WndProc(TMessage &Message) {
  if (Message.Msg == CM_EXIT && enabledLimit_ && !ComponentState().Contains(csDesigning)) {
    try {
      CheckRange();
    } catch (...) {
      // The field is not left while its value is out of range.
      if (CanFocus()) SetFocus();
      throw;
    }
  }
  TCustomPopupEdit::WndProc(Message);
}
