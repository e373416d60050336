// The entry-field engine: properties, edit state, display text, typed transfer and the window messages that
// read or set the selection and the modified flag.
#include "controls/entry/base_entry_field.h"
#include "controls/entry/mask_chars.h"
#include "controls/entry/typed_values.h"
#include "controls/framework/controller.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/library_messages.h"
#include "controls/framework/private_messages.h"
#include "platform/core/component.h"
#include "platform/windowing/forms.h"
#include <algorithm>
#include <cmath>
#include <cstring>

TOvcEfColors::TOvcEfColors()
    : disabled_(std::make_unique<TOvcColors>(clGrayText, clWindow)),
      error_(std::make_unique<TOvcColors>(clBlack, clRed)),
      highlight_(std::make_unique<TOvcColors>(clHighlightText, clHighlight)) {
  auto changed = TNotifyEvent(this, &TOvcEfColors::PairChanged);
  disabled_->OnChange = changed;
  error_->OnChange = changed;
  highlight_->OnChange = changed;
}

void TOvcEfColors::Assign(const TPersistent *Source) {
  if (const auto *other = dynamic_cast<const TOvcEfColors *>(Source)) {
    disabled_->Assign(other->disabled_.get());
    error_->Assign(other->error_.get());
    highlight_->Assign(other->highlight_.get());
    return;
  }
  TPersistent::Assign(Source);
}

void TOvcEfColors::PairChanged(TObject *) {
  if (OnColorChange) OnColorChange(this);
}

TOvcBaseEntryField::TOvcBaseEntryField(TComponent *AOwner)
    : TOvcCustomControlEx(AOwner), efColors_(std::make_unique<TOvcEfColors>()),
      borders_(std::make_unique<TOvcBorders>()), caretPair_(std::make_unique<TOvcCaretPair>(this)) {
  efColors_->OnColorChange = TNotifyEvent::From([this](TObject *) { Repaint(); });
  const TNotifyEvent bordersChanged(this, &TOvcBaseEntryField::BordersChanged);
  borders_->LeftBorder()->OnChange = bordersChanged;
  borders_->RightBorder()->OnChange = bordersChanged;
  borders_->TopBorder()->OnChange = bordersChanged;
  borders_->BottomBorder()->OnChange = bordersChanged;
  SetBounds(Left(), Top(), 130, 25);
  SetTabStop(true);
  SetCursor(crIBeam);
  SetParentColor(false);
  rangeLo_ = DefaultRangeLo(edtString);
  rangeHi_ = DefaultRangeHi(edtString);
}

TOvcBaseEntryField::~TOvcBaseEntryField() = default;

void TOvcBaseEntryField::BeforeDestruction() {
  // A field freed on its own while focused gives its form's focus up first; a form going away needs nothing.
  TCustomForm *form = GetParentForm(this);
  if (focused_ && form && !form->ComponentState().Contains(csDestroying)) form->DefocusControl(this, false);
  TOvcCustomControlEx::BeforeDestruction();
}

bool TOvcBaseEntryField::IsNumericType() const { return DataType() >= edtLongInt && DataType() <= edtComp; }

void TOvcBaseEntryField::SetMaxLength(int Value) {
  if (ComponentState().Contains(csLoading)) {
    maxLength_ = Value;
    return;
  }
  if (Value < 1 || Value > 255 || Value < PictureLength()) return;
  SetMaxLengthRaw(Value);
  if (HandleAllocated()) RecreateWnd();
  Repaint();
}

void TOvcBaseEntryField::SetMaxLengthRaw(int Value) {
  maxLength_ = std::clamp(Value, 1, 255);
  dataSize_ = 0;
  if (editText_.size() > maxLength_) editText_.truncate(maxLength_);
  caret_ = std::min(caret_, int(editText_.size()));
  selStart_ = std::min(selStart_, int(editText_.size()));
  selEnd_ = std::min(selEnd_, int(editText_.size()));
}

void TOvcBaseEntryField::SetEpoch(int Value) {
  if (Value != 0 && (Value < TOvcController::MinEpoch || Value > TOvcController::MaxEpoch)) return;
  if (TOvcController *controller = AssignedController(); controller && Value == controller->Epoch())
    Value = 0;
  epoch_ = Value;
}

int TOvcBaseEntryField::EffectiveEpoch() {
  int result = epoch_;
  if (result == 0 && !ComponentState().Contains(csDesigning) && OnGetEpoch) OnGetEpoch(this, result);
  if (result == 0 && AssignedController()) result = AssignedController()->Epoch();
  return result;
}

void TOvcBaseEntryField::SetDecimalPlaces(int Value) {
  if (Value < 0 || Value > 255 || Value == decimalPlaces_) return;
  decimalPlaces_ = std::uint8_t(Value);
  if (HandleAllocated()) RecreateWnd();
}

void TOvcBaseEntryField::SetTextMargin(int Value) {
  if (Value < 2 || Value == textMargin_) return;
  textMargin_ = Value;
  Repaint();
}

void TOvcBaseEntryField::SetPadChar(QChar Value) {
  if (Value == padChar_) return;
  padChar_ = Value;
  Repaint();
}

void TOvcBaseEntryField::SetPasswordChar(QChar Value) {
  passwordChar_ = Value;
  if (Value.unicode() == 0) options_.Exclude(efoPasswordMode);
  Repaint();
}

void TOvcBaseEntryField::SetOptions(TOvcEntryFieldOptions Value) {
  if (Value == options_) return;
  if (Value.Contains(efoForceInsert)) Value.Exclude(efoForceOvertype);
  if (Value.Contains(efoForceOvertype)) Value.Exclude(efoForceInsert);
  if (Value.Contains(efoRightJustify) && DataType() == edtString) Value.Include(efoTrimBlanks);
  if (Value.Contains(efoStripLiterals) != options_.Contains(efoStripLiterals)) dataSize_ = 0;
  if (fieldKind_ == fkPicture && DataType() == edtString && !Value.Contains(efoTrimBlanks))
    Value.Exclude(efoRightJustify);
  options_ = Value;
  AdjustOptions();
  if (options_.Contains(efoRightAlign) && focused_) SetCaret(caret_);
  Repaint();
}

void TOvcBaseEntryField::SetUninitialized(bool Value) {
  uninitialized_ = Value;
  AdjustOptions();
}

void TOvcBaseEntryField::SetZeroDisplay(TZeroDisplay Value) {
  if (Value == zeroDisplay_) return;
  zeroDisplay_ = Value;
  Repaint();
}

void TOvcBaseEntryField::SetZeroDisplayValue(double Value) {
  if (Value == zeroDisplayValue_) return;
  zeroDisplayValue_ = Value;
  Repaint();
}

void TOvcBaseEntryField::SetControlCharColor(TColor Value) {
  if (Value == controlCharColor_) return;
  controlCharColor_ = Value;
  Repaint();
}

void TOvcBaseEntryField::SetDataType(std::uint8_t Code) {
  dataType_ = Code;
  dataSize_ = 0;
  SetDefaultRange();
  AdjustOptions();
}

void TOvcBaseEntryField::SetStripsLiterals(bool Value) {
  dataType_ = std::uint8_t(Value ? (dataType_ | 64) : (dataType_ & ~64));
  dataSize_ = 0;
}

void TOvcBaseEntryField::SetDefaultRange() {
  rangeLo_ = DefaultRangeLo(DataType());
  rangeHi_ = DefaultRangeHi(DataType());
}

bool TOvcBaseEntryField::RangeLimitsEqual() const {
  switch (DataType()) {
  case edtString: return true;
  case edtChar:
  case edtBoolean:
  case edtYesNo: return rangeLo_[0] == rangeHi_[0];
  case edtReal: return std::memcmp(rangeLo_.data(), rangeHi_.data(), 8) == 0;
  case edtExtended:
  case edtDouble:
  case edtSingle:
  case edtComp: return rangeLo_ == rangeHi_;
  default: return std::memcmp(rangeLo_.data(), rangeHi_.data(), 4) == 0;
  }
}

void TOvcBaseEntryField::ExtendTo(int Position) {
  int start = SelectionStart();
  int end = SelectionEnd();
  if (start == end) start = end = CaretPosition();
  if (CaretPosition() == start)
    start = Position;
  else
    end = Position;
  SetCaret(Position);
  SetSelectionRaw(start, end);
}

void TOvcBaseEntryField::AssignFieldProperties(const TOvcBaseEntryField &Other) {
  SetAutoSize(Other.AutoSize());
  SetBorderStyle(Other.BorderStyle());
  SetColor(Other.Color());
  SetOptions(Other.Options());
  SetPadChar(Other.PadChar());
  SetRangeCells(Other.RangeLoCell(), Other.RangeHiCell());
  SetTextMargin(Other.TextMargin());
  SetUninitialized(Other.Uninitialized());
  SetZeroDisplay(Other.ZeroDisplay());
  SetZeroDisplayValue(Other.ZeroDisplayValue());
}

std::optional<long double> TOvcBaseEntryField::SteppedNumber(long double Value, double Delta,
                                                             bool Wrap) const {
  const long double lo = RangeNumber(RangeLoCell());
  const long double hi = RangeNumber(RangeHiCell());
  if (Delta < 0 && Value <= lo) return Wrap ? std::optional(hi) : std::nullopt;
  if (Delta > 0 && Value >= hi) return Wrap ? std::optional(lo) : std::nullopt;
  const long double step =
      IsIntegerType(TOvcBaseEntryField::DataType()) ? std::trunc((long double)Delta) : (long double)Delta;
  return std::clamp(Value + step, lo, hi);
}

long double TOvcBaseEntryField::RangeNumber(const TRangeType &Cell) const {
  switch (DataType()) {
  case edtReal: {
    double value = 0;
    std::memcpy(&value, Cell.data(), 8);
    return value;
  }
  case edtExtended:
  case edtDouble:
  case edtSingle:
  case edtComp: return TExtended::FromBytes(Cell).Value();
  case edtChar: return Cell[0];
  default: {
    std::int32_t value = 0;
    std::memcpy(&value, Cell.data(), 4);
    return value;
  }
  }
}

void TOvcBaseEntryField::SetName(const QString &NewName) {
  TOvcCustomControlEx::SetName(NewName);
  Repaint();
}

void TOvcBaseEntryField::SetSelectionRaw(int Start, int End) {
  const int length = int(editText_.size());
  Start = std::clamp(Start, 0, length);
  End = std::clamp(End, 0, length);
  if (Start > End) std::swap(Start, End);
  selStart_ = Start;
  selEnd_ = End;
}

void TOvcBaseEntryField::ClearContents() {
  SetEditString(QString());
  caret_ = 0;
  selStart_ = selEnd_ = 0;
}

void TOvcBaseEntryField::SetRangeCells(const TRangeType &Lo, const TRangeType &Hi) {
  rangeLo_ = Lo;
  rangeHi_ = Hi;
}

void TOvcBaseEntryField::SetEditText(const QString &Text) {
  editText_ = Text.left(maxLength_);
  caret_ = std::min(caret_, int(editText_.size()));
  selStart_ = std::min(selStart_, int(editText_.size()));
  selEnd_ = std::min(selEnd_, int(editText_.size()));
  Repaint();
}

void TOvcBaseEntryField::SetCaret(int Position) {
  caret_ = std::clamp(Position, 0, int(editText_.size()));
  if (caret_ < firstVisible_ || caret_ <= int(FirstEditablePos()) + 1) firstVisible_ = 0;
}

void TOvcBaseEntryField::SetSelection(int Start, int End) {
  SetSelectionRaw(Start, End);
  Repaint();
}

void TOvcBaseEntryField::SetModified(bool Value) {
  modified_ = Value;
  if (Value) editedSinceLoad_ = true;
}

void TOvcBaseEntryField::MarkModified() {
  SetModified(true);
  DoOnChange();
}

void TOvcBaseEntryField::MoveCaretToEnd() { caret_ = int(editText_.size()); }

void TOvcBaseEntryField::MoveCaretToStart() {
  caret_ = 0;
  firstVisible_ = 0;
}

bool TOvcBaseEntryField::IsEmpty() { return editText_.trimmed().isEmpty(); }

void TOvcBaseEntryField::PlaceInitialCaret() {
  if (options_.Contains(efoCaretToEnd))
    MoveCaretToEnd();
  else
    MoveCaretToStart();
}

QString TOvcBaseEntryField::GetDisplayString() {
  QString shown = editText_;
  for (QChar &c : shown)
    if (c.unicode() < 32) c = QChar(c.unicode() + 64);
  if (IsNumericType() && !focused_) {
    const bool hide =
        zeroDisplay_ == zdHide || (zeroDisplay_ == zdHideUntilModified && !modified_ && !editedSinceLoad_);
    if (hide) {
      bool ok = false;
      const double value = editText_.trimmed().toDouble(&ok);
      if (ok && value == zeroDisplayValue_) shown.fill(QLatin1Char(' '));
    }
  }
  return shown;
}

void TOvcBaseEntryField::AdjustOptions() {
  if (ComponentState().Contains(csLoading)) return;
  const int type = DataType();
  const bool charLike = type == edtChar || type == edtBoolean || type == edtYesNo;
  const bool numeric = IsNumericType();
  auto remove = [this](std::initializer_list<TOvcEntryFieldOption> list) {
    for (TOvcEntryFieldOption o : list) options_.Exclude(o);
  };
  if (fieldKind_ == fkNumeric) {
    remove({efoCaretToEnd, efoForceInsert, efoTrimBlanks, efoRightJustify, efoStripLiterals, efoRightAlign});
  } else if (charLike) {
    remove({efoCaretToEnd, efoForceInsert, efoTrimBlanks, efoRightJustify, efoStripLiterals});
  } else if (fieldKind_ == fkSimple) {
    if (type == edtString)
      remove({efoRightJustify, efoStripLiterals});
    else if (numeric)
      remove({efoTrimBlanks, efoRightJustify, efoStripLiterals});
  } else if (fieldKind_ == fkPicture) {
    if (numeric)
      remove({efoTrimBlanks, efoStripLiterals});
    else if (type == edtDate || type == edtTime)
      remove({efoTrimBlanks, efoRightJustify, efoStripLiterals});
  }
  if (ComponentState().Contains(csDesigning) && options_.Contains(efoInputRequired) && type >= edtChar &&
      type <= edtComp)
    uninitialized_ = true;
}

WORD TOvcBaseEntryField::ValueSize() {
  if (DataType() == edtString && StripsLiterals() && options_.Contains(efoStripLiterals)) {
    // Only the positions a user fills (and the floating symbols) are kept.
    const QString picture = GetFullPicture();
    int kept = 0;
    for (QChar m : picture)
      if (IsMaskChar(m) || m == QLatin1Char('$') || m == QLatin1Char(',')) ++kept;
    return WORD(maxLength_ - picture.size() + kept + 1);
  }
  return EntryFieldDataSize(DataType(), WORD(maxLength_ + 1));
}

WORD TOvcBaseEntryField::GetDataSize() {
  if (dataSize_ == 0) dataSize_ = ValueSize();
  return dataSize_;
}

WORD TOvcBaseEntryField::TransferData(void *Buffer, WORD Direction) {
  const WORD size = GetDataSize();
  if (Direction == 0 || ComponentState().Contains(csDesigning)) return size;
  if (Direction == 1) {
    TransferValue(Buffer, 1);
    return size;
  }
  if (Direction != 2) return size;
  TransferValue(Buffer, 2);
  if (!validating_) {
    errorPending_ = false;
    if (focused_) {
      PlaceInitialCaret();
      ShowCaret();
      if (!gettingValue_) SetSelection(0, int(editText_.size()));
    }
    modified_ = false;
    editedSinceLoad_ = false;
    Repaint();
  }
  return size;
}

WORD TOvcBaseEntryField::GetFieldValue(void *Buffer) {
  if (DataType() > edtTime) throw EOvcException(LibraryMessageText(msg::InvalidParamValue));
  gettingValue_ = true;
  WORD code = 0;
  try {
    code = CheckValue();
  } catch (...) {
    gettingValue_ = false;
    throw;
  }
  if (code == 0) TransferData(Buffer, 1);
  gettingValue_ = false;
  return code;
}

void TOvcBaseEntryField::SetFieldValue(const void *Buffer) {
  if (inUserValidation_) return;
  if (DataType() > edtTime) throw EOvcException(LibraryMessageText(msg::InvalidParamValue));
  if (Parent()) HandleNeeded();
  settingValue_ = true;
  try {
    TransferData(const_cast<void *>(Buffer), 2);
  } catch (...) {
    settingValue_ = false;
    throw;
  }
  settingValue_ = false;
}

void TOvcBaseEntryField::DoOnChange() {
  if (!settingValue_ && OnChange) OnChange(this);
}

void TOvcBaseEntryField::DoOnUserCommand(WORD Command) {
  if (OnUserCommand) OnUserCommand(this, Command);
}

void TOvcBaseEntryField::CreateWnd() {
  TOvcCustomControlEx::CreateWnd();
  caret_ = 0;
  firstVisible_ = 0;
  selStart_ = selEnd_ = 0;
  dataSize_ = 0;
  GetDataSize();
  if (options_.Contains(efoInputRequired) && DataType() >= edtChar && DataType() <= edtComp)
    uninitialized_ = true;
  hexMask_ = picture_.contains(QLatin1Char('K'));
  binaryMask_ = picture_.contains(QLatin1Char('b'));
  octalMask_ = picture_.contains(QLatin1Char('O'));
  numericField_ = fieldKind_ == fkNumeric;
  noLiterals_ = true;
  AdjustOptions();
  DoRecalcHeight();
}

void TOvcBaseEntryField::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case EM_GETSEL:
    if (auto *start = MessagePointer<DWORD>(std::uintptr_t(Message.WParam))) *start = DWORD(selStart_);
    if (auto *end = MessagePointer<DWORD>(std::uintptr_t(Message.LParam))) *end = DWORD(selEnd_);
    Message.Result = MAKELRESULT(selStart_, selEnd_);
    return;
  case EM_SETSEL: {
    const WORD start = Message.LParamLo();
    const WORD end = Message.LParamHi();
    if (start == 0 && end == 0xFFFF)
      SetSelection(0, int(editText_.size()));
    else if (start == 0xFFFF)
      SetSelection(caret_, caret_);
    else if (start <= end)
      SetSelection(start, end);
    return;
  }
  case EM_GETMODIFY: Message.Result = modified_ ? 1 : 0; return;
  case EM_SETMODIFY: SetModified(Message.WParam > 0); return;
  case WM_SIZE:
  case CM_ENABLEDCHANGED:
    TOvcCustomControlEx::WndProc(Message);
    Repaint();
    return;
  case CM_FONTCHANGED:
  case CM_CTL3DCHANGED:
    TOvcCustomControlEx::WndProc(Message);
    DoRecalcHeight();
    if (focused_) PositionCaret(true);
    // The 3-D look is a window style of a bordered field: the window is made again with it.
    if (Message.Msg == CM_CTL3DCHANGED && borderStyle_ == bsSingle && HandleAllocated()) RecreateWnd();
    return;
  case WM_ERASEBKGND: Message.Result = 1; return;
  case ovm_GetDataSize: Message.Result = GetDataSize(); return;
  case ovm_ReportError: ReportError(WORD(Message.WParam)); return;
  default: break;
  }
  if (HandleInputMessage(Message)) return;
  TOvcCustomControlEx::WndProc(Message);
}
