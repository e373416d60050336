#include "controls/entry/numeric_field.h"
#include "controls/entry/mask_chars.h"
#include "controls/entry/typed_values.h"
#include "controls/framework/controller.h"
#include "controls/framework/intl_support.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/library_messages.h"
#include "platform/windowing/messages.h"
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const char *const kDefaultMasks[] = {"iiiiiiiiiii", "99999",      "iiiiii",     "999",        "iiii",
                                     "##########",  "##########", "##########", "##########", "iiiiiiiiii"};

// Whether the parenthesis and trailing-minus markers, which take no place of their own, each stand once and
// after every place of the number (the places before them are the field's).
bool MarkersFollowTheNumber(const QString &mask) {
  for (QChar marker : {QLatin1Char('p'), QLatin1Char('g')}) {
    const qsizetype at = mask.indexOf(marker);
    if (at < 0) continue;
    if (mask.count(marker) > 1 || std::any_of(mask.begin() + at, mask.end(), IsMaskChar)) return false;
  }
  return true;
}

} // namespace

TOvcCustomNumericField::TOvcCustomNumericField(TComponent *AOwner) : TOvcPictureBase(AOwner) {
  SetFieldKind(fkNumeric);
  TOvcBaseEntryField::SetDataType(edtLongInt);
  SetPicture(pictureMask_);
}

int TOvcCustomNumericField::PictureLength() const {
  const QString &mask = Picture();
  return int(mask.size()) - (mask.contains(QLatin1Char('p')) ? 1 : 0) -
         (mask.contains(QLatin1Char('g')) ? 1 : 0);
}

void TOvcCustomNumericField::SetDataType(TNumericDataType Value) {
  if (int(Value) < nftLongInt || int(Value) > nftComp)
    throw EOvcException(LibraryMessageText(msg::InvalidParamValue));
  if (Value == numericType_) return;
  numericType_ = Value;
  TOvcBaseEntryField::SetDataType(std::uint8_t(int(edtLongInt) + int(Value)));
  SetDecimalPlacesRaw(0);
  if (pictureMask_ != QLatin1String(kDefaultMasks[Value]))
    ApplyMask(QString::fromLatin1(kDefaultMasks[Value]), false);
  if (HandleAllocated()) {
    hadWindow_ = false;
    RecreateWnd();
  }
}

void TOvcCustomNumericField::SetPictureMask(const QString &Value) {
  if (Value.isEmpty() || Value == pictureMask_) return;
  if (ComponentState().Contains(csDesigning) && IsFractionType(EngineType()) &&
      Value.contains(QLatin1Char('.')) &&
      (Value.contains(QLatin1Char('9')) || Value.contains(QLatin1Char('i'))))
    throw EInvalidPictureMask(Value);
  ApplyMask(Value, !ComponentState().Contains(csLoading) && !ComponentState().Contains(csDesigning));
}

void TOvcCustomNumericField::ApplyMask(const QString &Mask, bool KeepValue) {
  // A mask the field cannot type a number into is refused before anything changes.
  if (Mask.size() > 255 || !IsNumberMask(Mask, IsIntegerType(EngineType())) || !MarkersFollowTheNumber(Mask))
    throw EInvalidPictureMask(Mask);
  // The value goes out under the old mask and in under the new one; a number the type cannot hold keeps its
  // characters (the picture base lays them into the new mask).
  std::optional<long double> value = KeepValue && !IsEmpty() ? Value() : std::nullopt;
  if (value && !TypeHolds(EngineType(), *value)) value.reset();
  pictureMask_ = Mask;
  SetPicture(Mask);
  if (value) {
    alignas(TExtended) std::uint8_t buffer[sizeof(TExtended)] = {};
    WriteNumber(buffer, EngineType(), *value);
    TransferValue(buffer, 2);
  }
  if (HandleAllocated() && !ComponentState().Contains(csDesigning)) RecreateWnd();
  Invalidate();
}

void TOvcCustomNumericField::SetPicture(const QString &Mask) {
  TOvcPictureBase::SetPicture(Mask);
  RecountDigits();
  ClearBuffer();
}

void TOvcCustomNumericField::RecountDigits() {
  GetDigitCounts(totalDigits_, decimals_);
  integerDigits_ = HasDecimals() ? totalDigits_ - decimals_ - 1 : totalDigits_;
}

void TOvcCustomNumericField::ClearBuffer() {
  digits_.clear();
  negative_ = false;
}

void TOvcCustomNumericField::InitFloatFlag() { SetFloatWithDecimalMask(MaskBase(Picture()) != 10); }

void TOvcCustomNumericField::Assign(const TPersistent *Source) {
  const auto *other = dynamic_cast<const TOvcCustomNumericField *>(Source);
  if (!other) {
    TOvcPictureBase::Assign(Source);
    return;
  }
  SetDataType(other->numericType_);
  EFColors()->Error()->Assign(other->EFColors()->Error());
  EFColors()->Highlight()->Assign(other->EFColors()->Highlight());
  SetPictureMask(other->pictureMask_);
  AssignFieldProperties(*other);
}

void TOvcCustomNumericField::CreateParams(TCreateParams &Params) {
  TOvcPictureBase::CreateParams(Params);
  if (Picture() != pictureMask_) TOvcPictureBase::SetPicture(pictureMask_);
  SetMaxLengthRaw(PictureLength());
  ClearBuffer();
  RecountDigits();
}

void TOvcCustomNumericField::CreateWnd() {
  const QString kept = EditString();
  TOvcPictureBase::CreateWnd();
  if (RangeLimitsEqual()) SetDefaultRange();
  ClearContents();
  if (hadWindow_) SetEditText(kept);
  hadWindow_ = true;
}

void TOvcCustomNumericField::MoveCaretToEnd() { SetCaret(MaxLength()); }
void TOvcCustomNumericField::MoveCaretToStart() { SetCaret(MaxLength()); }

void TOvcCustomNumericField::LoadDigits() {
  QString text = StripPicture(EditString()).trimmed();
  negative_ = text.startsWith(QLatin1Char('-'));
  if (negative_) text = text.mid(1).trimmed();
  text.remove(QLatin1Char(' '));
  while (text.startsWith(QLatin1Char('0'))) text.remove(0, 1);
  // Trailing zeros of the fraction were laid in by the mask, not typed.
  if (text.contains(QLatin1Char('.')))
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
  if (text == QLatin1String(".")) text.clear();
  digits_ = text;
  if (digits_.isEmpty()) negative_ = false;
}

void TOvcCustomNumericField::RebuildText() {
  QString source = digits_.isEmpty() ? QStringLiteral("0") : digits_;
  if (source.startsWith(QLatin1Char('.'))) source.prepend(QLatin1Char('0'));
  if (negative_ && !digits_.isEmpty()) source.prepend(QLatin1Char('-'));
  QString text = MergeWithPicture(source);
  if (HasDecimals()) {
    // The number's places (the point among them; the mask's other literals stay where they are) move so
    // that the last typed character stands at the right end: the missing decimals move out of view, or the
    // surplus ones come into it.
    QList<int> places;
    for (int i = 0; i < text.size(); ++i)
      if (!IsLiteral(i) || i == DecimalPointPos()) places.append(i);
    QString number;
    for (int i : places) number += text.at(i);
    const qsizetype point = digits_.indexOf(QLatin1Char('.'));
    const int typed = point < 0 ? -1 : int(digits_.size() - point - 1);
    const int length = int(number.size());
    if (typed < decimals_) {
      const int missing = std::min(typed < 0 ? decimals_ + 1 : decimals_ - typed, length);
      number = QString(missing, QLatin1Char(' ')) + number.left(length - missing);
    } else if (typed > decimals_) {
      const int surplus = std::min(typed - decimals_, length);
      number = number.mid(surplus) + digits_.right(surplus);
    }
    for (int k = 0; k < places.size(); ++k) text[places.at(k)] = number.at(k);
  }
  SetEditText(text);
}

bool TOvcCustomNumericField::AutoAdvance(bool Next, TOvcBaseEFOption Option) {
  if (!Controller()->EntryOptions().Contains(Option)) return false;
  if (Next)
    MoveToNextField();
  else
    MoveToPrevField();
  return true;
}

bool TOvcCustomNumericField::TypeCharacter(QChar ch, bool &filled) {
  const int sign = negative_ ? 1 : 0;
  // A full field refuses the character (it is not carried away to another field).
  if (sign + digits_.size() > totalDigits_) return false;
  const QChar decimal = OvcIntlSup().DecimalChar();
  if (ch == decimal)
    ch = QLatin1Char('.');
  else if (ch == QLatin1Char('.'))
    return false;
  QChar last = QLatin1Char('9');
  for (int i = MaxLength() - 1; i >= 0; --i)
    if (IsMaskChar(MaskAt(i))) {
      last = MaskAt(i);
      break;
    }
  const auto accepted = CheckMaskChar(last, ch, QLatin1Char(' '));
  if (!accepted || *accepted == QLatin1Char(' ')) return false;
  ch = *accepted;
  const qsizetype point = digits_.indexOf(QLatin1Char('.'));
  const int beforePoint = int(point < 0 ? digits_.size() : point);
  if (ch == QLatin1Char('.')) {
    if (!HasDecimals() || point >= 0) return false;
    digits_ += ch;
    return true;
  }
  if (ch == QLatin1Char('-')) {
    if (negative_) {
      negative_ = false;
      return true;
    }
    if (sign + digits_.size() >= totalDigits_ || beforePoint + 1 > integerDigits_) return false;
    negative_ = true;
    return true;
  }
  if (sign + digits_.size() >= totalDigits_) {
    if (totalDigits_ != 1) return false;
    digits_ = ch;
    filled = true;
    return true;
  }
  if (ch == QLatin1Char('0') && digits_.isEmpty()) return true;
  if (HasDecimals() && point < 0 && sign + beforePoint >= integerDigits_) return false;
  digits_ += ch;
  filled = sign + digits_.size() >= totalDigits_;
  return true;
}

void TOvcCustomNumericField::EditCommand(TMessage &Msg, WORD Command) {
  if (Command != ccCharacter && Command != ccNoCommand) SetCharAllowed(false);
  if (Command != ccNoCommand && Command != ccCharacter && !NeedsReformat()) PrepareEditText();
  SetAcceptNextChar(false);
  const QString beforeDigits = digits_;
  const bool beforeNegative = negative_;
  const bool selection = SelectionEnd() > SelectionStart();
  bool selectAll = false;
  bool filled = false;
  auto clearAll = [this] { ClearBuffer(); };
  switch (Command) {
  case ccCharacter: {
    if (!CharAllowed()) break;
    const QChar ch(char16_t(Msg.WParam));
    if (selection && ch.unicode() >= 32) clearAll();
    if (!TypeCharacter(ch, filled)) Beep();
    break;
  }
  case ccBack:
  case ccDel:
    if (selection) {
      clearAll();
    } else if (!digits_.isEmpty()) {
      digits_.chop(1);
      if (digits_ == QLatin1String("0")) digits_.clear();
    } else {
      negative_ = false;
    }
    break;
  case ccDelLine: clearAll(); break;
  case ccCut:
  case ccDelWord:
    if (selection) clearAll();
    break;
  case ccCopy:
    CopyToClipboard();
    selectAll = selection;
    break;
  case ccPaste:
    if (ComponentState().Contains(csDesigning)) break;
    if (const auto *text = MessagePointer<const QString>(std::uintptr_t(Msg.LParam))) {
      if (selection) clearAll();
      const bool parenthesis = Picture().contains(QLatin1Char('p')) && text->contains(QLatin1Char(')'));
      bool refused = false;
      for (QChar ch : *text) {
        if (ch == QLatin1Char('(') && parenthesis) ch = QLatin1Char('-');
        if (ch == QLatin1Char(')') && parenthesis) continue;
        if (ch == QLatin1Char('-') && negative_) continue;
        if (!TypeCharacter(ch, filled)) refused = true;
      }
      if (refused) Beep();
    }
    break;
  case ccRestore:
    Restore();
    LoadDigits();
    return;
  case ccIns: SetInsertMode(!InsertMode()); break;
  case ccInc: IncreaseValueBy(true, 1.0); return;
  case ccDec: IncreaseValueBy(true, -1.0); return;
  case ccUp:
  case ccDown:
    if (Controller()->EntryOptions().Contains(efoAutoAdvanceUpDown))
      AutoAdvance(Command == ccDown, efoAutoAdvanceUpDown);
    else if (Options().Contains(efoArrowIncDec) && !IsReadOnly())
      IncreaseValueBy(true, Command == ccUp ? 1.0 : -1.0);
    else
      AutoAdvance(Command == ccDown, efoAutoAdvanceLeftRight);
    break;
  case ccExtendHome:
  case ccExtendEnd:
  case ccExtendLeft:
  case ccExtendRight:
  case ccExtWordLeft:
  case ccDblClick: selectAll = true; break;
  case ccLeft:
  case ccRight: AutoAdvance(Command == ccRight, efoAutoAdvanceLeftRight); break;
  case ccHome:
  case ccEnd:
  case ccCtrlChar:
  case ccMouseClick:
  case ccMouseMove:
  case ccDiscard:
  case ccSequencePending: break;
  case ccNoCommand:
    SetAcceptNextChar(true);
    SetCharAllowed(true);
    return;
  default: SetAcceptNextChar(true); return;
  }
  SetCaret(MaxLength());
  if (digits_ != beforeDigits || negative_ != beforeNegative) {
    RebuildText();
    MarkModified();
  }
  SetSelectionRaw(0, selectAll ? int(EditString().size()) : 0);
  if (selectAll) SetSelectionRaw(0, int(EditString().size()));
  if (filled) AutoAdvance(true, efoAutoAdvanceChar);
}

QString TOvcCustomNumericField::GetDisplayString() {
  QString shown = TOvcPictureBase::GetDisplayString();
  if (Uninitialized() && !IsFocused()) return shown;
  const QString &mask = Picture();
  const qsizetype minus = shown.indexOf(QLatin1Char('-'));
  auto at = [&shown](qsizetype pos) -> QChar & {
    if (shown.size() <= pos) shown = shown.leftJustified(pos + 1, QLatin1Char(' '));
    return shown[pos];
  };
  if (const qsizetype p = mask.indexOf(QLatin1Char('p')); p >= 0) {
    if (minus >= 0) {
      shown[minus] = QLatin1Char('(');
      at(p) = QLatin1Char(')');
    } else {
      at(p) = QLatin1Char(' ');
    }
  }
  if (const qsizetype g = mask.indexOf(QLatin1Char('g')); g >= 0) {
    if (minus >= 0) {
      at(g) = QLatin1Char('-');
      const int first = FirstEditablePos();
      if (minus == first) {
        shown[minus] = QLatin1Char(' ');
      } else {
        shown.remove(minus, 1);
        shown.insert(first, QLatin1Char(' '));
      }
    } else {
      at(g) = QLatin1Char(' ');
    }
  }
  return shown.trimmed();
}

std::optional<long double> TOvcCustomNumericField::Value() const {
  const QString text = StripPicture(EditString()).trimmed();
  const int type = EngineType();
  const auto value = ParseNumberText(text.isEmpty() && IsIntegerType(type) ? QStringLiteral("0") : text,
                                     MaskBase(Picture()), type);
  // Places typed beyond the mask's are shown while typing; the value is the one the mask holds.
  if (value && !IsIntegerType(type) && DecimalPointPos() >= 0)
    if (const auto text = ValueText(*value)) return ParseNumberText(*text, 10, type);
  return value;
}

std::optional<QString> TOvcCustomNumericField::ValueText(long double value) const {
  const int type = EngineType();
  if (IsIntegerType(type)) return IntegerText(std::int64_t(value), MaskBase(Picture()), type);
  // A mask with a point rounds to its places; one without shows the places the value has.
  const bool point = DecimalPointPos() >= 0;
  if (point && decimals_ == 0) return FixedText(std::round(value), 0, 255);
  return FixedText(value, point ? decimals_ : 0, 255, SignificantDigits(type));
}

void TOvcCustomNumericField::TransferValue(void *Buffer, WORD Direction) {
  const int type = EngineType();
  if (Direction == 1) {
    WriteNumberOrZero(Buffer, type, Value());
    return;
  }
  const auto text = ValueText(ReadNumber(Buffer, type));
  SetEditText(text ? MergeWithPicture(*text) : Starred(MergeWithPicture(QString())));
  if (IsFocused()) LoadDigits();
}

WORD TOvcCustomNumericField::CheckValue() {
  WORD code = 0;
  const auto value = Value();
  if (!value) {
    code = oeInvalidNumber;
  } else if (*value < RangeNumber(RangeLoCell()) || *value > RangeNumber(RangeHiCell())) {
    code = oeRangeError;
  } else if (IsFocused() && !GettingValue()) {
    alignas(TExtended) std::uint8_t buffer[sizeof(TExtended)] = {};
    WriteNumber(buffer, EngineType(), *value);
    TransferValue(buffer, 2);
    Invalidate();
  }
  RunUserValidation(code);
  return code;
}

void TOvcCustomNumericField::IncreaseValueBy(bool Wrap, double Delta) {
  if (!IsFocused()) return;
  const auto value = Value();
  if (!value) return;
  const int type = EngineType();
  const auto next = SteppedNumber(*value, Delta, Wrap);
  if (!next) return;
  alignas(TExtended) std::uint8_t buffer[sizeof(TExtended)] = {};
  WriteNumber(buffer, type, *next);
  TransferValue(buffer, 2);
  LoadDigits();
  MarkModified();
}

void TOvcCustomNumericField::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_SETFOCUS:
    TOvcPictureBase::WndProc(Message);
    LoadDigits();
    SetCaret(MaxLength());
    if (IsFocused()) PositionCaret(true);
    return;
  case WM_KILLFOCUS:
    TOvcPictureBase::WndProc(Message);
    if (!KeepCaret() && !RefocusAfterError() && !ErrorBeingReported()) ClearBuffer();
    return;
  default: TOvcPictureBase::WndProc(Message);
  }
}
