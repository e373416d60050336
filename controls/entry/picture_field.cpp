#include "controls/entry/picture_field.h"
#include "controls/entry/mask_chars.h"
#include "controls/entry/typed_values.h"
#include "controls/framework/controller.h"
#include "controls/framework/day_numbers.h"
#include "controls/framework/intl_support.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/library_messages.h"
#include "platform/windowing/messages.h"
#include <cmath>
#include <cstring>

namespace {

constexpr TOvcEfDataType kEngineTypes[] = {
    edtString, edtChar,     edtBoolean, edtYesNo,  edtLongInt, edtWord, edtSmallInt, edtByte, edtShortInt,
    edtReal,   edtExtended, edtDouble,  edtSingle, edtComp,    edtDate, edtTime,     edtDate};

constexpr TOvcDayNumber kLastDay = 876581;

// Whether every place Mask gives a user in Text is blank.
bool BlankPlaces(const QString &mask, const QString &text) {
  for (int i = 0; i < mask.size() && i < text.size(); ++i)
    if (IsMaskChar(mask.at(i)) && text.at(i) != QLatin1Char(' ')) return false;
  return true;
}

bool ShortDateHasCentury() { return OvcIntlSup().ShortDate().contains(QLatin1String("yyyy")); }

} // namespace

TOvcCustomPictureField::TOvcCustomPictureField(TComponent *AOwner) : TOvcPictureBase(AOwner) {
  SetFieldKind(fkPicture);
  TOvcBaseEntryField::SetDataType(edtString);
  SetStripsLiterals(true);
  SetPicture(pictureMask_);
}

QString TOvcCustomPictureField::DefaultMask(TPictureDataType Type) {
  switch (Type) {
  case pftString: return QStringLiteral("XXXXXXXXXXXXXXX");
  case pftChar: return QStringLiteral("X");
  case pftBoolean: return QStringLiteral("B");
  case pftYesNo: return QStringLiteral("Y");
  case pftLongInt: return QStringLiteral("iiiiiiiiiii");
  case pftWord: return QStringLiteral("99999");
  case pftInteger: return QStringLiteral("iiiiii");
  case pftByte: return QStringLiteral("999");
  case pftShortInt: return QStringLiteral("iiii");
  case pftReal:
  case pftExtended:
  case pftDouble:
  case pftSingle: return QStringLiteral("##########");
  case pftComp: return QStringLiteral("iiiiiiiiii");
  case pftDate: return OvcIntlSup().InternationalDate(ShortDateHasCentury());
  case pftTime: return OvcIntlSup().InternationalTime(false);
  case pftDateTime:
    return OvcIntlSup().InternationalDate(ShortDateHasCentury()) + QLatin1Char(' ') +
           OvcIntlSup().InternationalTime(false);
  }
  return QString();
}

bool TOvcCustomPictureField::IsNumberType() const {
  return IsIntegerType(EngineType()) || IsFloatType(EngineType());
}

bool TOvcCustomPictureField::IsCharLike() const {
  return EngineType() == edtChar || EngineType() == edtBoolean || EngineType() == edtYesNo;
}

void TOvcCustomPictureField::SetDataType(TPictureDataType Value) {
  if (int(Value) < pftString || int(Value) > pftDateTime)
    throw EOvcException(LibraryMessageText(msg::InvalidParamValue));
  pictureType_ = Value;
  TOvcEntryFieldOptions options = Options();
  options.Include(efoCaretToEnd);
  TOvcBaseEntryField::SetDataType(kEngineTypes[Value]);
  SetStripsLiterals(Value == pftString);
  SetOptions(options);
  SetDecimalPlacesRaw(0);
  pictureMask_.clear();
  ApplyMask(DefaultMask(Value), false);
  if (HandleAllocated()) {
    hadWindow_ = false;
    RecreateWnd();
  }
}

void TOvcCustomPictureField::SetPictureMask(const QString &Value) {
  if (Value.isEmpty() || Value == pictureMask_) return;
  if (ComponentState().Contains(csDesigning) && Value.contains(QLatin1Char('.')) &&
      !IsFractionType(EngineType()))
    throw EInvalidPictureMask(Value);
  ApplyMask(Value, !ComponentState().Contains(csLoading) && !ComponentState().Contains(csDesigning));
}

void TOvcCustomPictureField::ApplyMask(const QString &Mask, bool KeepValue) {
  // A mask the field cannot edit is refused before anything changes.
  if (Mask.size() > 255 || !MaskFits(Mask)) throw EInvalidPictureMask(Mask);
  // A number, date or time goes out under the old mask and in under the new one; any other value, and a
  // number the type cannot hold, keeps its characters (the picture base lays them into the new mask).
  const bool keep = KeepValue && !IsEmpty();
  const int type = EngineType();
  const auto number = IsNumberType() ? NumberValue() : std::nullopt;
  const bool typed =
      keep && (IsNumberType() ? number && TypeHolds(type, *number) : type == edtDate || type == edtTime);
  alignas(TExtended) std::uint8_t value[sizeof(TExtended) + sizeof(TDateTime)] = {};
  if (typed) TransferValue(value, 1);
  pictureMask_ = Mask;
  SetPicture(Mask);
  if (!ComponentState().Contains(csLoading)) SetMaxLengthRaw(PictureLength());
  InitPictureFlags();
  if (typed)
    TransferValue(value, 2);
  else if (!keep)
    SetEditText(MergeWithPicture(QString()));
  if (HandleAllocated()) RecreateWnd();
  Invalidate();
}

bool TOvcCustomPictureField::MaskFits(const QString &Mask) const {
  const int type = EngineType();
  if (IsNumberType()) return IsNumberMask(Mask, IsIntegerType(type));
  if (IsCharLike()) return MaskCharCount(Mask) == 1;
  if (pictureType_ == pftDateTime) {
    const qsizetype blank = Mask.indexOf(QLatin1Char(' '));
    return blank > 0 && IsDateMask(Mask.left(blank)) && IsTimeMask(Mask.mid(blank + 1));
  }
  if (type == edtDate) return IsDateMask(Mask);
  if (type == edtTime) return IsTimeMask(Mask);
  return MaskCharCount(Mask) > 0;
}

void TOvcCustomPictureField::SetInitDateTime(bool Value) {
  initDateTime_ = Value;
  if (ComponentState().Contains(csLoading)) return;
  if (Value)
    SetCurrentDateTime();
  else if (EngineType() == edtDate || EngineType() == edtTime)
    ClearContents();
}

void TOvcCustomPictureField::SetCurrentDateTime() {
  if (pictureType_ == pftDateTime) {
    TDateTime now = Now();
    TransferData(&now, 2);
  } else if (EngineType() == edtDate) {
    std::int32_t today = ovcdate::CurrentDate();
    TransferData(&today, 2);
  } else if (EngineType() == edtTime) {
    std::int32_t now = ovcdate::CurrentTime();
    TransferData(&now, 2);
  }
}

void TOvcCustomPictureField::Assign(const TPersistent *Source) {
  const auto *other = dynamic_cast<const TOvcCustomPictureField *>(Source);
  if (!other) {
    TOvcPictureBase::Assign(Source);
    return;
  }
  SetDataType(other->pictureType_);
  SetDecimalPlaces(other->DecimalPlaces());
  SetEpoch(other->Epoch());
  initDateTime_ = other->initDateTime_;
  SetPictureMask(other->pictureMask_);
  SetMaxLength(other->MaxLength());
  SetPasswordChar(other->PasswordChar());
  AssignFieldProperties(*other);
}

void TOvcCustomPictureField::CreateParams(TCreateParams &Params) {
  if (Picture() != pictureMask_) TOvcPictureBase::SetPicture(pictureMask_);
  TOvcPictureBase::CreateParams(Params);
  if (PictureLength() > MaxLength()) SetMaxLengthRaw(PictureLength());
}

void TOvcCustomPictureField::CreateWnd() {
  const QString kept = EditString();
  TOvcPictureBase::CreateWnd();
  ClearContents();
  if (RangeLimitsEqual()) SetDefaultRange();
  if (hadWindow_)
    SetEditText(kept.size() == MaxLength() ? kept : MergeWithPicture(StripPicture(kept)));
  else if (initDateTime_)
    SetCurrentDateTime();
  hadWindow_ = true;
}

WORD TOvcCustomPictureField::ValueSize() {
  return pictureType_ == pftDateTime ? WORD(sizeof(TDateTime)) : TOvcPictureBase::ValueSize();
}

// ---- positions ----

// The caret's places: editable positions from FirstPlace on (a number's floating symbols keep the places
// before it, so that no more digits are typed than the mask shows).
int TOvcCustomPictureField::NextEditable(int Pos) const {
  for (int i = std::max(Pos, FirstPlace()); i < MaxLength(); ++i)
    if (Editable(i)) return i;
  return LastEditablePos() + 1;
}

int TOvcCustomPictureField::PrevEditable(int Pos) const {
  for (int i = std::min(Pos, MaxLength()) - 1; i >= FirstPlace(); --i)
    if (Editable(i)) return i;
  return -1;
}

int TOvcCustomPictureField::RunStart(int Pos) const {
  while (Pos > 0 && Editable(Pos - 1)) --Pos;
  return Pos;
}

int TOvcCustomPictureField::RunEnd(int Pos) const {
  while (Pos + 1 < MaxLength() && Editable(Pos + 1)) ++Pos;
  return Pos;
}

QChar TOvcCustomPictureField::CheckCharAt(int Pos) const {
  if (!IsFloatingSymbol(Pos)) return MaskAt(Pos);
  // A floating symbol's position takes what the next mask character of its number takes.
  for (int i = Pos + 1; i < MaxLength(); ++i)
    if (IsMaskChar(MaskAt(i))) return MaskAt(i);
  return QLatin1Char('9');
}

QString TOvcCustomPictureField::NormalText() const {
  const QString text = EditString();
  return text.size() == MaxLength() ? text : text.leftJustified(MaxLength(), QLatin1Char(' '), true);
}

bool TOvcCustomPictureField::AutoAdvance(bool Next, TOvcBaseEFOption Option) {
  if (!Controller()->EntryOptions().Contains(Option)) return false;
  if (Next)
    MoveToNextField();
  else
    MoveToPrevField();
  return true;
}

// Removes the editable characters of [start, end) run by run; each run closes up and blanks fill its end.
void TOvcCustomPictureField::DeleteRange(QString &text, int start, int end) const {
  for (int pos = start; pos < end;) {
    if (!Editable(pos)) {
      ++pos;
      continue;
    }
    const int runEnd = RunEnd(pos);
    const int stop = std::min(end, runEnd + 1);
    const int count = stop - pos;
    const QString kept = text.mid(stop, runEnd + 1 - stop) + QString(count, QLatin1Char(' '));
    text.replace(pos, runEnd + 1 - pos, kept);
    pos = runEnd + 1;
  }
}

void TOvcCustomPictureField::DeleteSelection(QString &text, int &caret) {
  if (SelectionEnd() <= SelectionStart()) return;
  DeleteRange(text, SelectionStart(), SelectionEnd());
  caret = NextEditable(SelectionStart());
  SetSelectionRaw(caret, caret);
}

int TOvcCustomPictureField::WordLeftOf(const QString &text, int caret) const {
  auto blank = [&](int i) { return !Editable(i) || text.at(i) == QLatin1Char(' '); };
  int p = caret;
  while (p > 0 && blank(p - 1)) --p;
  while (p > 0 && !blank(p - 1)) --p;
  return NextEditable(p);
}

int TOvcCustomPictureField::WordRightOf(const QString &text, int caret) const {
  auto blank = [&](int i) { return !Editable(i) || text.at(i) == QLatin1Char(' '); };
  int p = caret;
  while (p < MaxLength() && !blank(p)) ++p;
  while (p < MaxLength() && blank(p)) ++p;
  return p >= MaxLength() ? LastEditablePos() + 1 : p;
}

// ---- the picture engine ----

bool TOvcCustomPictureField::PutCharacter(QChar ch, QString &text, int &caret, bool &advance) {
  const QChar decimal = OvcIntlSup().DecimalChar();
  const int dot = DecimalPointPos();
  const bool number = IsNumberType();
  if (number && dot >= 0 && dot < MaxLength() && (ch == decimal || ch == QLatin1Char('.'))) {
    // The point: the digits typed before it move up to the mask's point.
    if (caret <= dot) {
      const int start = RunStart(std::min(caret, dot - 1));
      if (Editable(start) && start < dot) {
        const int width = dot - start;
        QString digits = text.mid(start, std::max(0, caret - start));
        digits.remove(QLatin1Char(' '));
        if (digits.size() > width) return false;
        text.replace(start, width, digits.rightJustified(width, QLatin1Char(' ')));
      }
    }
    caret = NextEditable(dot + 1);
    return true;
  }
  if (caret > LastEditablePos() || !Editable(caret)) return false;
  const QChar checked = number && ch == decimal ? QLatin1Char('.') : ch;
  const QChar prev = caret > 0 ? text.at(caret - 1) : QLatin1Char(' ');
  auto accepted = checked.unicode() < 32 && CtrlCharPrefix()
                      ? std::optional<QChar>(checked)
                      : CheckMaskChar(CheckCharAt(caret), checked, prev);
  if (!accepted) {
    // The literal after the current run moves on to the next run (a date separator after a one-digit day).
    const int runEnd = RunEnd(caret);
    const int runStart = RunStart(caret);
    if (runEnd + 1 < MaxLength() && ch == text.at(runEnd + 1) && !IsLiteral(runStart) &&
        !text.mid(runStart, runEnd + 1 - runStart).trimmed().isEmpty()) {
      caret = NextEditable(runEnd + 1);
      return true;
    }
    return false;
  }
  if (number && *accepted == QLatin1Char('.')) accepted = decimal;
  if (InsertMode()) {
    const int runEnd = RunEnd(caret);
    if (text.at(runEnd) != QLatin1Char(' ') && !Controller()->EntryOptions().Contains(efoInsertPushes))
      return false;
    text.remove(runEnd, 1);
    text.insert(caret, *accepted);
  } else {
    text[caret] = *accepted;
  }
  caret = NextEditable(caret + 1);
  if (caret > LastEditablePos()) advance = true;
  return true;
}

void TOvcCustomPictureField::CompleteFrom(const QString &now) {
  QString text = NormalText();
  if (SelectionStart() == 0 && SelectionEnd() >= text.size()) {
    text = now.leftJustified(MaxLength(), QLatin1Char(' '), true);
  } else {
    const int caret = std::min(CaretPosition(), LastEditablePos());
    if (caret < 0) return;
    for (int i = RunStart(caret); i <= RunEnd(caret) && i < now.size(); ++i) text[i] = now.at(i);
  }
  SetEditText(text);
}

void TOvcCustomPictureField::EditCommand(TMessage &Msg, WORD Command) {
  if (Command != ccCharacter && Command != ccNoCommand) SetCharAllowed(false);
  if (Command != ccNoCommand && !NeedsReformat()) PrepareEditText();
  if (IsCharLike())
    CharCommand(Msg, Command);
  else
    PictureCommand(Msg, Command);
}

void TOvcCustomPictureField::PictureCommand(TMessage &Msg, WORD Command) {
  SetAcceptNextChar(false);
  const QString before = EditString();
  QString text = NormalText();
  int caret =
      std::clamp(CaretPosition(), std::min(FirstPlace(), LastEditablePos() + 1), LastEditablePos() + 1);
  const bool selection = SelectionEnd() > SelectionStart();
  const int first = FirstEditablePos();
  const int last = LastEditablePos();
  const TOvcBaseEFOptions entryOptions = Controller()->EntryOptions();
  bool collapse = true;
  bool advance = false;
  auto commit = [&] {
    SetEditText(text);
    SetCaret(caret);
  };
  switch (Command) {
  case ccCharacter: {
    if (!CharAllowed()) return;
    DeleteSelection(text, caret);
    if (!PutCharacter(QChar(char16_t(Msg.WParam)), text, caret, advance)) Beep();
    SetCtrlCharPrefix(false);
    commit();
    break;
  }
  case ccBack:
    if (selection) {
      DeleteSelection(text, caret);
    } else if (caret > first) {
      caret = PrevEditable(caret);
      if (caret >= 0) DeleteRange(text, caret, caret + 1);
    }
    commit();
    break;
  case ccDel:
    if (selection)
      DeleteSelection(text, caret);
    else if (Editable(caret))
      DeleteRange(text, caret, caret + 1);
    commit();
    break;
  case ccDelBol:
  case ccDelEol: {
    const int at = Editable(caret) ? caret : PrevEditable(caret);
    if (at < 0) break;
    if (Command == ccDelBol) {
      const int start = std::max(RunStart(at), FirstPlace());
      DeleteRange(text, start, caret);
      caret = start;
    } else {
      DeleteRange(text, caret, RunEnd(at) + 1);
    }
    commit();
    break;
  }
  case ccDelLine:
    DeleteRange(text, 0, MaxLength());
    caret = first;
    commit();
    break;
  case ccDelWord:
    if (Editable(caret)) {
      int end = caret;
      const int runEnd = RunEnd(caret);
      while (end <= runEnd && text.at(end) != QLatin1Char(' ')) ++end;
      while (end <= runEnd && text.at(end) == QLatin1Char(' ')) ++end;
      DeleteRange(text, caret, end);
      commit();
    }
    break;
  case ccLeft:
    if (PrevEditable(caret) < 0)
      AutoAdvance(false, efoAutoAdvanceLeftRight);
    else
      SetCaret(PrevEditable(caret));
    break;
  case ccRight:
    if (caret > last)
      AutoAdvance(true, efoAutoAdvanceLeftRight);
    else
      SetCaret(NextEditable(caret + 1));
    break;
  case ccWordLeft: SetCaret(WordLeftOf(text, caret)); break;
  case ccWordRight: SetCaret(WordRightOf(text, caret)); break;
  case ccHome: SetCaret(first); break;
  case ccEnd: MoveCaretToEnd(); break;
  case ccExtendLeft:
    if (PrevEditable(caret) >= 0) ExtendTo(PrevEditable(caret));
    collapse = false;
    break;
  case ccExtendRight:
    if (caret <= last) ExtendTo(NextEditable(caret + 1));
    collapse = false;
    break;
  case ccExtendHome: ExtendTo(first), collapse = false; break;
  case ccExtendEnd: ExtendTo(last + 1), collapse = false; break;
  case ccExtWordLeft: ExtendTo(WordLeftOf(text, caret)), collapse = false; break;
  case ccExtWordRight: ExtendTo(WordRightOf(text, caret)), collapse = false; break;
  case ccCompleteDate:
    if (EngineType() == edtDate && pictureType_ != pftDateTime)
      CompleteFrom(OvcIntlSup().DateToDateString(Picture(), ovcdate::CurrentDate(), false));
    break;
  case ccCompleteTime:
    if (EngineType() == edtTime)
      CompleteFrom(OvcIntlSup().TimeToTimeString(Picture(), ovcdate::CurrentTime(), false));
    break;
  case ccCopy:
    CopyToClipboard();
    collapse = false;
    break;
  case ccCut:
    DeleteSelection(text, caret);
    commit();
    break;
  case ccPaste:
    if (ComponentState().Contains(csDesigning)) break;
    if (const auto *pasted = MessagePointer<const QString>(std::uintptr_t(Msg.LParam))) {
      DeleteSelection(text, caret);
      bool refused = false;
      for (int i = 0; i < pasted->size(); ++i) {
        const QChar ch = pasted->at(i);
        // A character that stands where the mask has the same literal is the literal itself.
        const bool literalHere = pasted->size() == MaxLength() && IsLiteral(i) && MaskAt(i) == ch;
        if (literalHere) continue;
        if (!PutCharacter(ch, text, caret, advance)) refused = true;
      }
      advance = false;
      commit();
      if (refused) Beep();
    }
    break;
  case ccInc: IncreaseValueBy(true, 1.0); break;
  case ccDec: IncreaseValueBy(true, -1.0); break;
  case ccUp:
  case ccDown:
    if (entryOptions.Contains(efoAutoAdvanceUpDown))
      AutoAdvance(Command == ccDown, efoAutoAdvanceUpDown);
    else if (Options().Contains(efoArrowIncDec) && !IsReadOnly())
      IncreaseValueBy(true, Command == ccUp ? 1.0 : -1.0);
    else if (Command == ccUp ? caret <= first : caret >= last)
      AutoAdvance(Command == ccDown, efoAutoAdvanceLeftRight);
    break;
  case ccIns: SetInsertMode(!InsertMode()); break;
  case ccRestore: Restore(); return;
  case ccMouseClick:
  case ccMouseMove: {
    int at = CharIndexAt(GET_X_LPARAM(Msg.LParam));
    if (at < first)
      at = first;
    else if (at <= last)
      while (at > first && IsLiteral(at)) --at;
    else
      at = last + 1;
    if (Command == ccMouseMove || (Msg.WParam & MK_SHIFT) != 0) {
      ExtendTo(at);
    } else {
      SetCaret(at);
      SetSelectionRaw(at, at);
    }
    collapse = false;
    break;
  }
  case ccDblClick: {
    const int at = std::min(CharIndexAt(GET_X_LPARAM(Msg.LParam)), std::max(last, 0));
    if (Editable(at)) {
      SetSelectionRaw(RunStart(at), RunEnd(at) + 1);
      SetCaret(RunEnd(at) + 1);
    }
    collapse = false;
    break;
  }
  case ccNoCommand:
    SetAcceptNextChar(true);
    SetCharAllowed(true);
    return;
  case ccDiscard:
  case ccSequencePending: return;
  default: SetAcceptNextChar(true); return;
  }
  if (collapse) SetSelectionRaw(CaretPosition(), CaretPosition());
  if (EditString() != before) MarkModified();
  if (advance) AutoAdvance(true, efoAutoAdvanceChar);
}

void TOvcCustomPictureField::CharCommand(TMessage &Msg, WORD Command) {
  SetAcceptNextChar(false);
  const int position = FirstEditablePos();
  SetCaret(position);
  const TOvcBaseEFOptions entryOptions = Controller()->EntryOptions();
  const QChar mask = MaskAt(position);
  bool select = false;
  auto place = [&](QChar ch) {
    QString text = NormalText();
    if (position >= text.size()) return;
    text[position] = ch;
    if (text != EditString()) {
      SetEditText(text);
      MarkModified();
    }
  };
  switch (Command) {
  case ccCharacter:
    if (CharAllowed()) {
      const QChar ch(char16_t(Msg.WParam));
      if (const auto accepted = CheckMaskChar(mask, ch, QLatin1Char(' '))) {
        place(*accepted);
        AutoAdvance(true, efoAutoAdvanceChar);
      } else {
        Beep();
      }
    }
    SetCtrlCharPrefix(false);
    SetCharAllowed(false);
    break;
  case ccPaste:
    if (ComponentState().Contains(csDesigning)) break;
    if (const auto *text = MessagePointer<const QString>(std::uintptr_t(Msg.LParam))) {
      int from = 0;
      const QString edit = EditString();
      if (text->size() == edit.size() && !edit.isEmpty() && text->startsWith(edit.at(0))) from = position;
      for (int i = from; i < text->size(); ++i)
        if (const auto accepted = CheckMaskChar(mask, text->at(i), QLatin1Char(' '))) {
          place(*accepted);
          break;
        }
    }
    break;
  case ccBack:
  case ccLeft:
  case ccWordLeft: AutoAdvance(false, efoAutoAdvanceLeftRight); break;
  case ccRight:
  case ccWordRight: AutoAdvance(true, efoAutoAdvanceLeftRight); break;
  case ccUp:
  case ccDown:
    AutoAdvance(Command == ccDown,
                entryOptions.Contains(efoAutoAdvanceUpDown) ? efoAutoAdvanceUpDown : efoAutoAdvanceLeftRight);
    break;
  case ccInc: IncreaseValueBy(true, 1.0); break;
  case ccDec: IncreaseValueBy(true, -1.0); break;
  case ccRestore: Restore(); return;
  case ccCopy: CopyToClipboard(); break;
  case ccExtendEnd:
  case ccExtendRight:
  case ccExtWordRight:
  case ccDblClick: select = true; break;
  case ccNoCommand:
    SetAcceptNextChar(true);
    SetCharAllowed(true);
    return;
  case ccDel:
  case ccHome:
  case ccEnd:
  case ccMouseClick:
  case ccMouseMove:
  case ccDiscard:
  case ccSequencePending: break;
  default: SetAcceptNextChar(true); break;
  }
  SetSelectionRaw(select ? position : CaretPosition(), select ? position + 1 : CaretPosition());
}

// ---- values ----

QString TOvcCustomPictureField::DateMask() const {
  if (pictureType_ != pftDateTime) return Picture();
  const qsizetype blank = Picture().indexOf(QLatin1Char(' '));
  return blank < 0 ? Picture() : Picture().left(blank);
}

QString TOvcCustomPictureField::TimeMask() const {
  if (pictureType_ != pftDateTime) return Picture();
  const qsizetype blank = Picture().indexOf(QLatin1Char(' '));
  return blank < 0 ? QString() : Picture().mid(blank + 1);
}

bool TOvcCustomPictureField::CanShow(long double Value) const {
  alignas(TExtended) std::uint8_t buffer[sizeof(TExtended)] = {};
  WriteNumber(buffer, EngineType(), Value);
  const auto text = NumberText(ReadNumber(buffer, EngineType()));
  if (!text) return false;
  const QString shown = MergeWithPicture(*text);
  return shown != Starred(shown);
}

QString TOvcCustomPictureField::DateText(const QString &Mask, std::int32_t Day) {
  QString text = OvcIntlSup().DateToDateString(Mask, Day, false);
  // A year the mask's two places cannot hold would read back as another date: the field shows it cannot.
  if (Day != BadDate && OvcIntlSup().DateStringToDate(Mask, text, EffectiveEpoch()) != Day)
    for (int i = 0; i < Mask.size() && i < text.size(); ++i)
      if (IsMaskChar(Mask.at(i))) text[i] = QLatin1Char('*');
  return text;
}

std::optional<long double> TOvcCustomPictureField::NumberValue() const {
  QString text = StripPicture(NormalText()).trimmed();
  text.replace(OvcIntlSup().DecimalChar(), QLatin1Char('.'));
  const int type = EngineType();
  return ParseNumberText(text.isEmpty() && IsIntegerType(type) ? QStringLiteral("0") : text,
                         MaskBase(Picture()), type);
}

std::optional<QString> TOvcCustomPictureField::NumberText(long double value) const {
  const int type = EngineType();
  const int digits = SignificantDigits(type);
  int width = 0;
  int decimals = 0;
  GetDigitCounts(width, decimals);
  if (DecimalPointPos() >= 0) {
    // Rounded to the mask's places after its point.
    std::optional<QString> text = FixedText(decimals == 0 ? std::round(value) : value, decimals, 255, digits);
    if (text && !text->contains(QLatin1Char('.'))) *text += QLatin1Char('.');
    return text;
  }
  const std::optional<QString> fixed = IsIntegerType(type)
                                           ? IntegerText(std::int64_t(value), MaskBase(Picture()), type)
                                           : FixedText(value, DecimalPlaces(), 255, digits);
  if (HasNumericLayout()) return fixed;
  // Laid in from the left: a text longer than the positions is shown in fewer places, in scientific
  // notation, or as too long; it is never cut.
  int positions = 0;
  for (int i = 0; i < MaxLength(); ++i) positions += Editable(i) ? 1 : 0;
  QString text = fixed.value_or(QString());
  // A fraction without its leading zero is the same number.
  if (text.size() > positions &&
      (text.startsWith(QLatin1String("0.")) || text.startsWith(QLatin1String("-0."))))
    text.remove(text.indexOf(QLatin1Char('0')), 1);
  if (IsFloatType(type) && (!fixed || text.size() > positions))
    text = ScientificText(value, positions, digits);
  // A whole number (Comp) is not shown rounded.
  if (text.size() > positions || (type == edtComp && ParseNumberText(text, 10, type) != value))
    text = QString(positions, QLatin1Char('*'));
  return text;
}

void TOvcCustomPictureField::TransferValue(void *Buffer, WORD Direction) {
  const int type = EngineType();
  const TOvcIntlSup &intl = OvcIntlSup();
  const bool trim = Options().Contains(efoTrimBlanks);
  switch (type) {
  case edtString: {
    auto *value = static_cast<QString *>(Buffer);
    if (Direction == 1) {
      if (trim && IsEmpty()) {
        value->clear();
        return;
      }
      QString text = Options().Contains(efoStripLiterals) ? StripPicture(NormalText()) : NormalText();
      *value = (trim ? text.trimmed() : text).left(255);
      return;
    }
    SetEditText(value->size() == MaxLength() ? *value : MergeWithPicture(*value));
    return;
  }
  case edtChar: {
    auto *value = static_cast<QChar *>(Buffer);
    if (Direction == 1) {
      const QString plain = StripPicture(NormalText());
      *value = plain.isEmpty() ? QLatin1Char(' ') : plain.at(0);
    } else {
      SetEditText(MergeWithPicture(QString(*value)));
    }
    return;
  }
  case edtBoolean:
  case edtYesNo: {
    auto *value = static_cast<bool *>(Buffer);
    const QChar yes = type == edtBoolean ? intl.TrueChar() : intl.YesChar();
    const QChar no = type == edtBoolean ? intl.FalseChar() : intl.NoChar();
    if (Direction == 1) {
      const QString plain = StripPicture(NormalText());
      *value = !plain.isEmpty() && plain.at(0).toUpper() == yes.toUpper();
    } else {
      SetEditText(MergeWithPicture(QString(*value ? yes : no)));
    }
    return;
  }
  case edtDate:
  case edtTime:
    if (pictureType_ == pftDateTime) {
      auto *value = static_cast<TDateTime *>(Buffer);
      const QString date = DateMask();
      const QString time = TimeMask();
      if (Direction == 1) {
        const QString text = NormalText();
        const TOvcDayNumber day = intl.DateStringToDate(date, text.left(date.size()), EffectiveEpoch());
        const TOvcTimeOfDay seconds = intl.TimeStringToTime(time, text.mid(date.size() + 1, time.size()));
        *value = day == BadDate ? 0.0
                                : ovcdate::DayNumberToDateTime(day) +
                                      (seconds == BadTime ? 0.0 : ovcdate::TimeOfDayToDateTime(seconds));
      } else {
        const TOvcDayNumber day = *value == 0.0 ? BadDate : ovcdate::DateTimeToDayNumber(*value);
        const TOvcTimeOfDay seconds = *value == 0.0 ? BadTime : ovcdate::DateTimeToTimeOfDay(*value);
        SetEditText(DateText(date, day) + QLatin1Char(' ') + intl.TimeToTimeString(time, seconds, false));
      }
      return;
    } else {
      auto *value = static_cast<std::int32_t *>(Buffer);
      const QString mask = Picture();
      if (Direction == 1)
        *value = type == edtDate ? intl.DateStringToDate(mask, NormalText(), EffectiveEpoch())
                                 : intl.TimeStringToTime(mask, NormalText());
      else
        SetEditText(type == edtDate ? DateText(mask, *value) : intl.TimeToTimeString(mask, *value, false));
      return;
    }
  default: break;
  }
  if (Direction == 1) {
    WriteNumberOrZero(Buffer, type, NumberValue());
    return;
  }
  const auto text = NumberText(ReadNumber(Buffer, type));
  SetEditText(text ? MergeWithPicture(*text) : Starred(MergeWithPicture(QString())));
}

void TOvcCustomPictureField::SetValueFromText(const QString &Text) {
  if (InUserValidation() || SettingValue()) return;
  if (pictureType_ == pftDateTime) {
    const QString date = DateMask();
    const QString time = TimeMask();
    const TOvcIntlSup &intl = OvcIntlSup();
    // A date alone is that day at midnight.
    TDateTime value = 0;
    if (Text.size() == Picture().size() || Text.size() == date.size()) {
      const TOvcDayNumber day = intl.DateStringToDate(date, Text.left(date.size()), EffectiveEpoch());
      const TOvcTimeOfDay seconds = intl.TimeStringToTime(time, Text.mid(date.size() + 1));
      if (day != BadDate)
        value = ovcdate::DayNumberToDateTime(day) +
                (seconds == BadTime ? 0 : ovcdate::TimeOfDayToDateTime(seconds));
    }
    SetFieldValue(&value);
    return;
  }
  if (EngineType() == edtDate || EngineType() == edtTime) {
    std::int32_t value = -1;
    if (Text.size() == pictureMask_.size())
      value = EngineType() == edtDate ? OvcIntlSup().DateStringToDate(pictureMask_, Text, EffectiveEpoch())
                                      : OvcIntlSup().TimeStringToTime(pictureMask_, Text);
    SetFieldValue(&value);
    return;
  }
  TOvcPictureBase::SetValueFromText(Text);
}

WORD TOvcCustomPictureField::CheckValue() {
  const int type = EngineType();
  const TOvcIntlSup &intl = OvcIntlSup();
  const QString text = NormalText();
  WORD code = 0;
  bool writeBack = false;
  std::int32_t rangeHi = 0;
  std::memcpy(&rangeHi, RangeHiCell().data(), 4);
  auto inRange = [&](long double value) {
    return rangeHi == 0 || (value >= RangeNumber(RangeLoCell()) && value <= RangeNumber(RangeHiCell()));
  };
  switch (type) {
  case edtString: break;
  case edtChar: {
    const int lo = RangeLoCell()[0];
    const int hi = RangeHiCell()[0];
    const QString plain = StripPicture(text);
    const int ch = plain.isEmpty() ? ' ' : plain.at(0).unicode();
    if (!(lo == ' ' && hi == ' ') && (ch < lo || ch > hi)) code = oeRangeError;
    break;
  }
  case edtBoolean:
  case edtYesNo: {
    const QString plain = StripPicture(text);
    const QChar ch = plain.isEmpty() ? QChar() : plain.at(0).toUpper();
    const QChar yes = (type == edtBoolean ? intl.TrueChar() : intl.YesChar()).toUpper();
    const QChar no = (type == edtBoolean ? intl.FalseChar() : intl.NoChar()).toUpper();
    if (ch != yes && ch != no) code = oeRangeError;
    break;
  }
  case edtDate:
  case edtTime: {
    if (IsEmpty()) break;
    if (pictureType_ == pftDateTime) {
      const QString date = DateMask();
      const QString time = TimeMask();
      // A date without a time is that day at midnight.
      const QString timeText = text.mid(date.size() + 1, time.size());
      if (intl.DateStringToDate(date, text.left(date.size()), EffectiveEpoch()) == BadDate)
        code = oeInvalidDate;
      else if (!BlankPlaces(time, timeText) && intl.TimeStringToTime(time, timeText) == BadTime)
        code = oeInvalidTime;
      else
        writeBack = true;
      break;
    }
    const std::int32_t value = type == edtDate ? intl.DateStringToDate(Picture(), text, EffectiveEpoch())
                                               : intl.TimeStringToTime(Picture(), text);
    if (value == -1)
      code = type == edtDate ? oeInvalidDate : oeInvalidTime;
    else if (!inRange(value))
      code = oeRangeError;
    else
      writeBack = true;
    break;
  }
  default: {
    // A number typed in places the mask lays no number into (a fraction between thousands separators) is
    // one the field cannot show.
    const auto value = NumberValue();
    if (!value)
      code = oeInvalidNumber;
    else if (*value < RangeNumber(RangeLoCell()) || *value > RangeNumber(RangeHiCell()))
      code = oeRangeError;
    else if (!CanShow(*value))
      code = oeInvalidNumber;
    else
      writeBack = true;
  }
  }
  if (writeBack && IsFocused() && !GettingValue()) {
    alignas(TExtended) std::uint8_t buffer[sizeof(TExtended)] = {};
    TransferValue(buffer, 1);
    TransferValue(buffer, 2);
    Invalidate();
  }
  RunUserValidation(code);
  return code;
}

// ---- stepping ----

void TOvcCustomPictureField::StepDate(int Delta, bool Wrap) {
  const TOvcIntlSup &intl = OvcIntlSup();
  const QString mask = Picture();
  const TOvcDayNumber day = intl.DateStringToDate(mask, NormalText(), EffectiveEpoch());
  if (day == BadDate) return;
  std::int32_t rangeHi = 0;
  std::memcpy(&rangeHi, RangeHiCell().data(), 4);
  const long double lo = rangeHi == 0 ? 0 : RangeNumber(RangeLoCell());
  const long double hi = rangeHi == 0 ? kLastDay : RangeNumber(RangeHiCell());
  int at = std::min(CaretPosition(), int(mask.size()) - 1);
  if (at > 0 && IsLiteral(at)) --at;
  const QChar unit = at >= 0 ? mask.at(at).toLower() : QLatin1Char('d');
  TOvcDayNumber next = BadDate;
  if (unit == QLatin1Char('m') || unit == QLatin1Char('n'))
    next = ovcdate::IncDate(day, Delta, 0);
  else if (unit == QLatin1Char('y'))
    next = ovcdate::IncDate(day, 0, Delta);
  else
    next = day + Delta;
  if (next == BadDate || next < lo || next > hi) {
    if (!Wrap) return;
    const TOvcDayNumber other = TOvcDayNumber(Delta > 0 ? lo : hi);
    if (unit == QLatin1Char('m') || unit == QLatin1Char('n') || unit == QLatin1Char('y')) {
      // The same place at the other end: its year, this month and day (the day shortened until valid).
      int d = 0, m = 0, y = 0, od = 0, om = 0, oy = 0;
      ovcdate::DateToDMY(day, d, m, y);
      ovcdate::DateToDMY(other, od, om, oy);
      if (unit == QLatin1Char('y'))
        y = oy; // this month
      else
        y = oy, m = Delta > 0 ? om : om;
      while (d > 28 && !ovcdate::ValidDate(d, m, y, 0)) --d;
      next = std::clamp<TOvcDayNumber>(ovcdate::DMYtoDate(d, m, y, 0), TOvcDayNumber(lo), TOvcDayNumber(hi));
    } else {
      next = other;
    }
  }
  SetEditText(intl.DateToDateString(mask, next, false));
}

void TOvcCustomPictureField::StepTime(int Delta, bool Wrap) {
  const TOvcIntlSup &intl = OvcIntlSup();
  const QString mask = Picture();
  const TOvcTimeOfDay time = intl.TimeStringToTime(mask, NormalText());
  if (time == BadTime) return;
  std::int32_t rangeHi = 0;
  std::memcpy(&rangeHi, RangeHiCell().data(), 4);
  const long double lo = rangeHi == 0 ? 0 : RangeNumber(RangeLoCell());
  const long double hi = rangeHi == 0 ? SecondsInDay - 1 : RangeNumber(RangeHiCell());
  int at = std::min(CaretPosition(), int(mask.size()) - 1);
  if (at > 0 && IsLiteral(at)) --at;
  const QChar unit = at >= 0 ? mask.at(at).toLower() : QLatin1Char('s');
  const int step = unit == QLatin1Char('h')   ? 3600
                   : unit == QLatin1Char('m') ? 60
                   : unit == QLatin1Char('t') ? 43200
                                              : 1;
  long double next = time + (long double)Delta * step;
  if (next < lo || next > hi) {
    if (!Wrap) return;
    next = Delta > 0 ? lo : hi;
  }
  SetEditText(intl.TimeToTimeString(mask, TOvcTimeOfDay(next), false));
}

void TOvcCustomPictureField::IncreaseValueBy(bool Wrap, double Delta) {
  if (!IsFocused()) return;
  const QString before = EditString();
  const int type = EngineType();
  const TOvcIntlSup &intl = OvcIntlSup();
  if (type == edtString) return;
  if (type == edtChar) {
    const int position = FirstEditablePos();
    const QString text = NormalText();
    int lo = RangeLoCell()[0];
    int hi = RangeHiCell()[0];
    if (lo == hi) lo = 1, hi = 255;
    const int step = Delta < 0 ? -1 : 1;
    int code = position < text.size() ? text.at(position).unicode() : ' ';
    for (int tries = 0; tries <= hi - lo + 1; ++tries) {
      code += step;
      if (code < lo || code > hi) {
        if (!Wrap) return;
        code = step > 0 ? lo : hi;
      }
      const QChar ch = QChar(char16_t(code));
      if (CheckMaskChar(MaskAt(position), ch, QLatin1Char(' ')) == std::optional<QChar>(ch)) {
        SetEditText(MergeWithPicture(QString(ch)));
        break;
      }
    }
  } else if (type == edtBoolean || type == edtYesNo) {
    const QChar yes = type == edtBoolean ? intl.TrueChar() : intl.YesChar();
    const QChar no = type == edtBoolean ? intl.FalseChar() : intl.NoChar();
    const QString plain = StripPicture(NormalText());
    const bool isYes = !plain.isEmpty() && plain.at(0).toUpper() == yes.toUpper();
    SetEditText(MergeWithPicture(QString(isYes ? no : yes)));
  } else if (pictureType_ == pftDateTime) {
    TDateTime value = 0;
    TransferValue(&value, 1);
    value += Delta;
    TransferValue(&value, 2);
  } else if (type == edtDate) {
    StepDate(int(Delta), Wrap);
  } else if (type == edtTime) {
    StepTime(int(Delta), Wrap);
  } else {
    const auto value = NumberValue();
    if (!value) return;
    const auto next = SteppedNumber(*value, Delta, Wrap);
    if (!next) return;
    alignas(TExtended) std::uint8_t buffer[sizeof(TExtended)] = {};
    WriteNumber(buffer, type, *next);
    TransferValue(buffer, 2);
  }
  if (EditString() != before) MarkModified();
}
