#include "controls/entry/simple_field.h"
#include "controls/entry/mask_chars.h"
#include "controls/entry/typed_values.h"
#include "controls/framework/controller.h"
#include "controls/framework/intl_support.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/library_messages.h"
#include "platform/windowing/messages.h"
#include <cmath>

namespace {

struct TypeDefaults {
  int maxLength;
  char mask;
};

constexpr TypeDefaults kDefaults[] = {{15, 'X'}, {1, 'X'},  {1, 'B'},  {1, 'Y'}, {11, 'i'},
                                      {5, '9'},  {6, 'i'},  {3, '9'},  {4, 'i'}, {14, '#'},
                                      {14, '#'}, {14, '#'}, {14, '#'}, {14, 'i'}};

bool AllowedMask(QChar m) { return QStringView(u"!#123456789ABEKLOXYabilx").contains(m); }

int WordLeft(const QString &text, int p) {
  while (p > 0 && text.at(p - 1) == QLatin1Char(' ')) --p;
  while (p > 0 && text.at(p - 1) != QLatin1Char(' ')) --p;
  return p;
}

int WordRight(const QString &text, int p) {
  while (p < text.size() && text.at(p) != QLatin1Char(' ')) ++p;
  while (p < text.size() && text.at(p) == QLatin1Char(' ')) ++p;
  return p;
}

} // namespace

TOvcCustomSimpleField::TOvcCustomSimpleField(TComponent *AOwner) : TOvcBaseEntryField(AOwner) {
  SetFieldKind(fkSimple);
  TOvcBaseEntryField::SetDataType(edtString);
  SetPicture(QStringLiteral("X"));
}

bool TOvcCustomSimpleField::IsCharLike() const {
  const int type = TOvcBaseEntryField::DataType();
  return type == edtChar || type == edtBoolean || type == edtYesNo;
}

void TOvcCustomSimpleField::SetDataType(TSimpleDataType Value) {
  if (int(Value) < sftString || int(Value) > sftComp)
    throw EOvcException(LibraryMessageText(msg::InvalidParamValue));
  if (Value == simpleType_) return;
  simpleType_ = Value;
  TOvcBaseEntryField::SetDataType(std::uint8_t(Value));
  const TOvcEntryFieldOptions options = Options();
  SetOptions({});
  SetOptions(options);
  SetDecimalPlacesRaw(0);
  const TypeDefaults &defaults = kDefaults[Value];
  SetMaxLengthRaw(defaults.maxLength);
  if (pictureMask_ != QLatin1Char(defaults.mask)) ApplyMask(QLatin1Char(defaults.mask), false);
  if (HandleAllocated()) {
    hadWindow_ = false;
    RecreateWnd();
  }
}

void TOvcCustomSimpleField::SetPictureMask(QChar Value) {
  if (Value == pictureMask_) return;
  ApplyMask(Value, !ComponentState().Contains(csLoading));
}

void TOvcCustomSimpleField::ApplyMask(QChar Value, bool KeepValue) {
  if (!AllowedMask(Value)) throw EInvalidPictureMask(QString(Value));
  if (ComponentState().Contains(csDesigning)) {
    pictureMask_ = Value;
    TOvcBaseEntryField::SetPicture(QString(Value));
    Invalidate();
    return;
  }
  // A number is read in the old mask's base and written in the new one's; a text takes the new mask's case.
  const int type = TOvcBaseEntryField::DataType();
  const std::optional<long double> number =
      KeepValue && (IsIntegerType(type) || IsFloatType(type)) ? NumberValue() : std::nullopt;
  pictureMask_ = Value;
  SetPicture(QString(Value));
  if (number) {
    WriteNumberBack(*number);
  } else if (KeepValue && type == edtString) {
    QString text = EditString();
    TransferValue(&text, 2);
  }
  if (HandleAllocated()) RecreateWnd();
}

void TOvcCustomSimpleField::Assign(const TPersistent *Source) {
  const auto *other = dynamic_cast<const TOvcCustomSimpleField *>(Source);
  if (!other) {
    TOvcBaseEntryField::Assign(Source);
    return;
  }
  SetDataType(other->simpleType_);
  SetControlCharColor(other->ControlCharColor());
  SetDecimalPlaces(other->DecimalPlaces());
  EFColors()->Error()->Assign(other->EFColors()->Error());
  EFColors()->Highlight()->Assign(other->EFColors()->Highlight());
  SetMaxLength(other->MaxLength());
  SetPasswordChar(other->PasswordChar());
  SetPictureMask(other->pictureMask_);
  AssignFieldProperties(*other);
}

void TOvcCustomSimpleField::CreateWnd() {
  const QString kept = EditString();
  TOvcBaseEntryField::CreateWnd();
  if (RangeLimitsEqual()) SetDefaultRange();
  SetInitialValue();
  if (hadWindow_) SetEditText(kept);
  hadWindow_ = true;
}

void TOvcCustomSimpleField::SetInitialValue() {
  if (ComponentState().Contains(csDesigning)) return;
  const int type = TOvcBaseEntryField::DataType();
  switch (type) {
  case edtString: {
    const QString value;
    SetFieldValue(&value);
    return;
  }
  case edtChar: {
    const int lo = RangeLoCell()[0];
    const int hi = RangeHiCell()[0];
    const QChar value = (lo > ' ' || hi < ' ') ? QChar(char16_t(lo)) : QLatin1Char(' ');
    SetFieldValue(&value);
    return;
  }
  case edtBoolean:
  case edtYesNo: {
    const bool value = false;
    SetFieldValue(&value);
    return;
  }
  default: {
    const long double lo = RangeNumber(RangeLoCell());
    const long double hi = RangeNumber(RangeHiCell());
    const long double start = (lo > 0 || hi < 0) ? lo : 0;
    alignas(TExtended) std::uint8_t buffer[sizeof(TExtended)] = {};
    WriteNumber(buffer, type, start);
    SetFieldValue(buffer);
  }
  }
}

std::optional<QChar> TOvcCustomSimpleField::Accepted(QChar ch, QChar prev) const {
  const bool numeric =
      IsIntegerType(TOvcBaseEntryField::DataType()) || IsFloatType(TOvcBaseEntryField::DataType());
  const QChar decimal = OvcIntlSup().DecimalChar();
  if (numeric) {
    if (ch == decimal)
      ch = QLatin1Char('.');
    else if (ch == QLatin1Char('.') && decimal != QLatin1Char('.'))
      return std::nullopt;
  }
  // A control character typed after the prefix is taken as it is.
  if (ch.unicode() < 32) return ch;
  auto result = CheckMaskChar(pictureMask_, ch, prev);
  if (result && numeric && *result == QLatin1Char('.')) result = decimal;
  return result;
}

bool TOvcCustomSimpleField::AutoAdvance(int Position, WORD Command) {
  const TOvcBaseEFOptions options = Controller()->EntryOptions();
  if (Position < 0) {
    if (!options.Contains(efoAutoAdvanceLeftRight)) return false;
    MoveToPrevField();
    return true;
  }
  if (Position >= MaxLength()) {
    if (!options.Contains(Command == ccCharacter ? efoAutoAdvanceChar : efoAutoAdvanceLeftRight))
      return false;
    MoveToNextField();
    return true;
  }
  return false;
}

void TOvcCustomSimpleField::DeleteSelection(int &changes) {
  if (SelectionEnd() <= SelectionStart()) return;
  QString text = EditString();
  const int start = SelectionStart();
  text.remove(start, SelectionEnd() - start);
  SetEditText(text);
  SetCaret(start);
  SetSelectionRaw(start, start);
  ++changes;
}

void TOvcCustomSimpleField::TypeCharacter(QChar ch, int &changes) {
  if (ch.unicode() < 32 && !CtrlCharPrefix()) {
    Beep();
    return;
  }
  SetCtrlCharPrefix(false);
  auto prevAt = [this](int caret) { return caret > 0 ? EditString().at(caret - 1) : QLatin1Char(' '); };
  auto accepted = Accepted(ch, prevAt(CaretPosition()));
  if (!accepted) {
    Beep();
    return;
  }
  if (SelectionEnd() > SelectionStart()) {
    DeleteSelection(changes);
    accepted = Accepted(ch, prevAt(CaretPosition()));
    if (!accepted) {
      Beep();
      return;
    }
  }
  QString text = EditString();
  int caret = CaretPosition();
  if (!InsertMode()) {
    // A character that has no place is refused, never dropped on the way to another field.
    if (caret >= MaxLength()) {
      Beep();
      return;
    }
    if (caret < text.size())
      text[caret] = *accepted;
    else
      text += *accepted;
  } else {
    if (text.size() >= MaxLength() && caret < text.size() &&
        Controller()->EntryOptions().Contains(efoInsertPushes))
      text.chop(1);
    if (text.size() >= MaxLength()) {
      Beep();
      return;
    }
    text.insert(caret, *accepted);
  }
  SetEditText(text);
  SetCaret(++caret);
  ++changes;
  if (caret >= MaxLength()) AutoAdvance(caret, ccCharacter);
}

void TOvcCustomSimpleField::PasteText(const QString &text, int &changes) {
  DeleteSelection(changes);
  const bool numeric =
      IsIntegerType(TOvcBaseEntryField::DataType()) || IsFloatType(TOvcBaseEntryField::DataType());
  const QChar decimal = OvcIntlSup().DecimalChar();
  const bool pushes = Controller()->EntryOptions().Contains(efoInsertPushes);
  QString edit = EditString();
  int caret = CaretPosition();
  bool refused = false;
  for (QChar ch : text) {
    std::optional<QChar> accepted;
    if (numeric && (ch == QLatin1Char(' ') || (ch == QLatin1Char('.') && decimal != QLatin1Char('.'))))
      accepted = std::nullopt;
    else
      accepted = Accepted(ch, QChar());
    if (accepted && edit.size() >= MaxLength() && pushes && caret < edit.size()) edit.chop(1);
    if (!accepted || edit.size() >= MaxLength()) {
      refused = true;
      continue;
    }
    edit.insert(caret++, *accepted);
    ++changes;
  }
  SetEditText(edit);
  SetCaret(caret);
  // Characters the field could not take are not lost without a sound.
  if (refused) Beep();
}

void TOvcCustomSimpleField::EditCommand(TMessage &Msg, WORD Command) {
  if (Command != ccCharacter && Command != ccNoCommand) SetCharAllowed(false);
  if (IsCharLike())
    CharCommand(Msg, Command);
  else
    TextCommand(Msg, Command);
}

void TOvcCustomSimpleField::TextCommand(TMessage &Msg, WORD Command) {
  SetAcceptNextChar(false);
  const QString before = EditString();
  int changes = 0;
  bool collapse = true;
  const bool selection = SelectionEnd() > SelectionStart();
  const int caret = CaretPosition();
  const int length = int(before.size());
  const TOvcBaseEFOptions entryOptions = Controller()->EntryOptions();
  auto edit = [&](QString text, int newCaret) {
    SetEditText(text);
    SetCaret(newCaret);
    ++changes;
  };
  switch (Command) {
  case ccBack:
    if (selection)
      DeleteSelection(changes);
    else if (caret > 0)
      edit(QString(before).remove(caret - 1, 1), caret - 1);
    break;
  case ccCopy:
    CopyToClipboard();
    collapse = false;
    break;
  case ccCut:
    DeleteSelection(changes);
    collapse = false;
    break;
  case ccDec: DecreaseValueBy(true, 1.0); break;
  case ccInc: IncreaseValueBy(true, 1.0); break;
  case ccDel:
    if (selection)
      DeleteSelection(changes);
    else if (caret < length)
      edit(QString(before).remove(caret, 1), caret);
    break;
  case ccDelBol: edit(before.mid(caret), 0); break;
  case ccDelEol: edit(before.left(caret), caret); break;
  case ccDelLine: edit(QString(), 0); break;
  case ccDelWord:
    if (selection)
      DeleteSelection(changes);
    else
      edit(QString(before).remove(caret, WordRight(before, caret) - caret), caret);
    break;
  case ccDown:
  case ccUp:
    if (entryOptions.Contains(efoAutoAdvanceUpDown)) {
      if (Command == ccDown)
        MoveToNextField();
      else
        MoveToPrevField();
    } else if (Options().Contains(efoArrowIncDec) && !IsReadOnly()) {
      IncreaseValueBy(true, Command == ccUp ? 1.0 : -1.0);
    } else if (Command == ccDown) {
      if (caret >= length)
        AutoAdvance(MaxLength(), Command);
      else
        SetCaret(caret + 1);
    } else {
      if (caret == 0)
        AutoAdvance(-1, Command);
      else
        SetCaret(caret - 1);
    }
    break;
  case ccEnd: SetCaret(length); break;
  case ccHome: SetCaret(0); break;
  case ccExtendEnd: ExtendTo(length), collapse = false; break;
  case ccExtendHome: ExtendTo(0), collapse = false; break;
  case ccExtendLeft:
    if (caret > 0) ExtendTo(caret - 1);
    collapse = false;
    break;
  case ccExtendRight:
    if (caret < length) ExtendTo(caret + 1);
    collapse = false;
    break;
  case ccExtWordLeft:
    if (caret > 0) ExtendTo(WordLeft(before, caret));
    collapse = false;
    break;
  case ccExtWordRight:
    if (caret < length) ExtendTo(WordRight(before, caret));
    collapse = false;
    break;
  case ccIns: SetInsertMode(!InsertMode()); break;
  case ccLeft:
  case ccWordLeft:
    if (caret == 0)
      AutoAdvance(-1, Command);
    else
      SetCaret(Command == ccLeft ? caret - 1 : WordLeft(before, caret));
    break;
  case ccRight:
  case ccWordRight:
    if (caret >= length)
      AutoAdvance(MaxLength(), Command);
    else
      SetCaret(Command == ccRight ? caret + 1 : WordRight(before, caret));
    break;
  case ccPaste:
    if (!ComponentState().Contains(csDesigning))
      if (const auto *text = MessagePointer<const QString>(std::uintptr_t(Msg.LParam)))
        PasteText(*text, changes);
    collapse = false;
    break;
  case ccRestore: Restore(); return;
  case ccCharacter:
    if (CharAllowed()) TypeCharacter(QChar(char16_t(Msg.WParam)), changes);
    break;
  case ccNoCommand:
    SetAcceptNextChar(true);
    SetCharAllowed(true);
    return;
  case ccDiscard:
  case ccSequencePending: return;
  case ccMouseClick: {
    const int at = CharIndexAt(GET_X_LPARAM(Msg.LParam));
    if ((Msg.WParam & MK_SHIFT) != 0)
      ExtendTo(at);
    else {
      SetCaret(at);
      SetSelectionRaw(at, at);
    }
    collapse = false;
    break;
  }
  case ccMouseMove:
    ExtendTo(CharIndexAt(GET_X_LPARAM(Msg.LParam)));
    collapse = false;
    break;
  case ccDblClick: {
    const int at = std::min(CharIndexAt(GET_X_LPARAM(Msg.LParam)), length);
    const int start = WordLeft(before, at < length && before.at(at) != QLatin1Char(' ') ? at + 1 : at);
    const int end = WordRight(before, start);
    SetCaret(end);
    SetSelectionRaw(start, end);
    collapse = false;
    break;
  }
  default: SetAcceptNextChar(true); return;
  }
  if (collapse) SetSelectionRaw(CaretPosition(), CaretPosition());
  if (changes > 0 && EditString() != before) MarkModified();
}

void TOvcCustomSimpleField::CharCommand(TMessage &Msg, WORD Command) {
  SetAcceptNextChar(false);
  SetCaret(0);
  const TOvcBaseEFOptions entryOptions = Controller()->EntryOptions();
  const int length = int(EditString().size());
  bool select = false;
  auto place = [this](QChar ch) {
    const QString before = EditString();
    SetEditText(QString(ch));
    if (EditString() != before) MarkModified();
  };
  switch (Command) {
  case ccCharacter:
    if (CharAllowed()) {
      const QChar ch(char16_t(Msg.WParam));
      const auto accepted = ch.unicode() < 32 ? (CtrlCharPrefix() ? std::optional<QChar>(ch) : std::nullopt)
                                              : CheckMaskChar(pictureMask_, ch, QLatin1Char(' '));
      if (accepted) {
        place(*accepted);
        AutoAdvance(MaxLength(), ccCharacter);
      } else {
        Beep();
      }
    }
    SetCtrlCharPrefix(false);
    SetCharAllowed(false);
    break;
  case ccPaste:
    if (const auto *text = MessagePointer<const QString>(std::uintptr_t(Msg.LParam))) {
      for (QChar ch : *text)
        if (const auto accepted = CheckMaskChar(pictureMask_, ch, QLatin1Char(' '))) {
          place(*accepted);
          break;
        }
    }
    break;
  case ccLeft:
  case ccWordLeft: AutoAdvance(-1, Command); break;
  case ccRight:
  case ccWordRight: AutoAdvance(MaxLength(), Command); break;
  case ccUp:
  case ccDown:
    if (entryOptions.Contains(efoAutoAdvanceUpDown)) {
      if (Command == ccDown)
        MoveToNextField();
      else
        MoveToPrevField();
    } else if (TOvcBaseEntryField::DataType() == edtChar && Options().Contains(efoArrowIncDec) &&
               !IsReadOnly()) {
      // A character steps through its range; a flag has only two values and its arrows leave the field.
      IncreaseValueBy(true, Command == ccUp ? 1.0 : -1.0);
    } else {
      AutoAdvance(Command == ccUp ? -1 : MaxLength(), Command);
    }
    break;
  case ccInc: IncreaseValueBy(true, 1.0); break;
  case ccDec: IncreaseValueBy(true, -1.0); break;
  case ccRestore: Restore(); break;
  case ccCopy: CopyToClipboard(); break;
  case ccExtendEnd:
  case ccExtendRight:
  case ccExtWordRight:
  case ccDblClick: select = true; break;
  case ccMouseMove:
    select = GET_X_LPARAM(Msg.LParam) < TextMargin() + Canvas()->TextWidth(DisplayString());
    break;
  case ccNoCommand:
    SetAcceptNextChar(true);
    SetCharAllowed(true);
    return;
  case ccMouseClick:
  case ccHome:
  case ccEnd:
  case ccBack:
  case ccDel:
  case ccDiscard:
  case ccSequencePending: break;
  default: SetAcceptNextChar(true); break;
  }
  SetSelectionRaw(0, select ? length : 0);
}

QString TOvcCustomSimpleField::GetDisplayString() {
  QString shown = TOvcBaseEntryField::GetDisplayString();
  if (shown.isEmpty()) return shown;
  if (Uninitialized() && !IsFocused()) return QString(shown.size(), QLatin1Char(' '));
  if (Options().Contains(efoPasswordMode) && !PasswordChar().isNull()) shown.fill(PasswordChar());
  if (PadChar() != QLatin1Char(' ') && shown.size() < MaxLength())
    shown += QString(MaxLength() - shown.size(), PadChar());
  return shown;
}

QString TOvcCustomSimpleField::FloatText(long double value) const {
  const int digits = SignificantDigits(TOvcBaseEntryField::DataType());
  QString text;
  if (pictureMask_ != QLatin1Char('E'))
    if (const auto fixed = FixedText(value, DecimalPlaces(), MaxLength(), digits)) text = *fixed;
  if (text.isEmpty()) {
    const int width =
        DecimalPlaces() != 0 && DecimalPlaces() + 9 < MaxLength() ? DecimalPlaces() + 9 : MaxLength();
    text = ScientificText(value, width, digits).trimmed();
  }
  // A number that cannot be shown in full is not shown cut; a whole number (Comp) is not shown rounded.
  const int type = TOvcBaseEntryField::DataType();
  if (text.size() > MaxLength() || (type == edtComp && ParseNumberText(text, 10, type) != value))
    text = QString(MaxLength(), QLatin1Char('*'));
  text.replace(QLatin1Char('.'), OvcIntlSup().DecimalChar());
  return text;
}

std::optional<long double> TOvcCustomSimpleField::NumberValue() const {
  const int type = TOvcBaseEntryField::DataType();
  QString text = EditString().left(80);
  if (!IsIntegerType(type)) text.replace(OvcIntlSup().DecimalChar(), QLatin1Char('.'));
  return ParseNumberText(text, MaskBase(Picture()), type);
}

void TOvcCustomSimpleField::WriteNumberBack(long double value) {
  const int type = TOvcBaseEntryField::DataType();
  QString text =
      IsIntegerType(type) ? IntegerText(std::int64_t(value), MaskBase(Picture()), type) : FloatText(value);
  // Digits of a base shown without their leading zeros are the same number where the field has no room
  // for them.
  while (text.size() > MaxLength() && text.size() > 1 && text.startsWith(QLatin1Char('0'))) text.remove(0, 1);
  const QString shown = text.size() > MaxLength() ? QString(MaxLength(), QLatin1Char('*')) : text;
  if (shown != EditString()) SetEditText(shown);
}

void TOvcCustomSimpleField::TransferValue(void *Buffer, WORD Direction) {
  const int type = TOvcBaseEntryField::DataType();
  const TOvcIntlSup &intl = OvcIntlSup();
  switch (type) {
  case edtString: {
    auto *value = static_cast<QString *>(Buffer);
    if (Direction == 1) {
      *value = EditString().left(255);
      return;
    }
    QString text = value->left(MaxLength());
    for (int i = 0; i < text.size(); ++i)
      text[i] = ApplyMaskCase(pictureMask_, text.at(i), i > 0 ? text.at(i - 1) : QLatin1Char(' '));
    SetEditText(text);
    return;
  }
  case edtChar: {
    auto *value = static_cast<QChar *>(Buffer);
    if (Direction == 1)
      *value = EditString().isEmpty() ? QLatin1Char(' ') : EditString().at(0);
    else
      SetEditText(QString(*value));
    return;
  }
  case edtBoolean:
  case edtYesNo: {
    auto *value = static_cast<bool *>(Buffer);
    const QChar yes = type == edtBoolean ? intl.TrueChar() : intl.YesChar();
    const QChar no = type == edtBoolean ? intl.FalseChar() : intl.NoChar();
    if (Direction == 1)
      *value = !EditString().isEmpty() && EditString().at(0).toUpper() == yes.toUpper();
    else
      SetEditText(QString(*value ? yes : no));
    return;
  }
  default: break;
  }
  if (Direction == 1) {
    WriteNumberOrZero(Buffer, type, NumberValue());
    return;
  }
  WriteNumberBack(ReadNumber(Buffer, type));
}

WORD TOvcCustomSimpleField::CheckValue() {
  const int type = TOvcBaseEntryField::DataType();
  const TOvcIntlSup &intl = OvcIntlSup();
  WORD code = 0;
  const QString text = EditString();
  switch (type) {
  case edtString:
    if (Options().Contains(efoTrimBlanks) && IsFocused() && !GettingValue()) {
      const QString trimmed = text.trimmed();
      if (trimmed != text) SetEditText(trimmed);
    }
    break;
  case edtChar: {
    const int lo = RangeLoCell()[0];
    const int hi = RangeHiCell()[0];
    const int ch = text.isEmpty() ? ' ' : text.at(0).unicode();
    if (!(lo == ' ' && hi == ' ') && (ch < lo || ch > hi)) code = oeRangeError;
    break;
  }
  case edtBoolean:
  case edtYesNo: {
    const QChar ch = text.isEmpty() ? QChar() : text.at(0).toUpper();
    const QChar yes = (type == edtBoolean ? intl.TrueChar() : intl.YesChar()).toUpper();
    const QChar no = (type == edtBoolean ? intl.FalseChar() : intl.NoChar()).toUpper();
    if (ch != yes && ch != no) code = oeRangeError;
    break;
  }
  default: {
    const auto value = NumberValue();
    if (!value)
      code = oeInvalidNumber;
    else if (*value < RangeNumber(RangeLoCell()) || *value > RangeNumber(RangeHiCell()))
      code = oeRangeError;
    else if (IsFocused() && !GettingValue())
      WriteNumberBack(*value);
    break;
  }
  }
  RunUserValidation(code);
  return code;
}

void TOvcCustomSimpleField::IncreaseValueBy(bool Wrap, double Delta) {
  if (!IsFocused()) return;
  const int type = TOvcBaseEntryField::DataType();
  const QString before = EditString();
  if (type == edtString) return;
  if (type == edtChar) {
    int lo = RangeLoCell()[0];
    int hi = RangeHiCell()[0];
    if (lo == ' ' && hi == ' ') lo = 1, hi = 255;
    const int step = Delta < 0 ? -1 : 1;
    int code = before.isEmpty() ? ' ' : before.at(0).unicode();
    for (int tries = 0; tries <= hi - lo + 1; ++tries) {
      code += step;
      if (code < lo || code > hi) {
        if (!Wrap) return;
        code = step > 0 ? lo : hi;
      }
      if (CheckMaskChar(pictureMask_, QChar(char16_t(code)), QLatin1Char(' ')) ==
          std::optional<QChar>(QChar(char16_t(code)))) {
        SetEditText(QString(QChar(char16_t(code))));
        break;
      }
    }
  } else if (type == edtBoolean || type == edtYesNo) {
    const TOvcIntlSup &intl = OvcIntlSup();
    const QChar yes = type == edtBoolean ? intl.TrueChar() : intl.YesChar();
    const QChar no = type == edtBoolean ? intl.FalseChar() : intl.NoChar();
    const bool isYes = !before.isEmpty() && before.at(0).toUpper() == yes.toUpper();
    SetEditText(QString(isYes ? no : yes));
  } else {
    const auto value = NumberValue();
    if (!value) return;
    const auto next = SteppedNumber(*value, Delta, Wrap);
    if (!next) return;
    WriteNumberBack(*next);
  }
  if (EditString() != before) MarkModified();
  PositionCaret(true);
}
