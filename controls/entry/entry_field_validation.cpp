// Entry-field validation: value sizes, default ranges, error texts, the checks on exit and on request, the
// posted error report and Restore.
#include "controls/entry/base_entry_field.h"
#include "controls/framework/controller.h"
#include "controls/framework/library_messages.h"
#include "controls/framework/private_messages.h"
#include "platform/windowing/controls.h"
#include <cstring>

namespace {

template <typename T>
TRangeType Cell(T value) {
  TRangeType cell{};
  static_assert(sizeof(T) <= sizeof(TRangeType));
  std::memcpy(cell.data(), &value, sizeof value);
  return cell;
}

TRangeType ExtendedCell(long double value) { return TExtended(value).Bytes(); }

struct RangePair {
  TRangeType lo;
  TRangeType hi;
};

RangePair DefaultRange(int dataType) {
  switch (dataType) {
  case edtChar: return {Cell(char(' ')), Cell(char(' '))};
  case edtLongInt: return {Cell(std::int32_t(-2147483647 - 1)), Cell(std::int32_t(2147483647))};
  case edtWord: return {Cell(std::int32_t(0)), Cell(std::int32_t(65535))};
  case edtSmallInt: return {Cell(std::int32_t(-32768)), Cell(std::int32_t(32767))};
  case edtByte: return {Cell(std::int32_t(0)), Cell(std::int32_t(255))};
  case edtShortInt: return {Cell(std::int32_t(-128)), Cell(std::int32_t(127))};
  case edtReal: return {Cell(-1.7e38), Cell(1.7e38)};
  case edtExtended: return {ExtendedCell(-1.1e4932L), ExtendedCell(1.1e4932L)};
  case edtDouble: return {ExtendedCell(-1.7e308L), ExtendedCell(1.7e308L)};
  case edtSingle: return {ExtendedCell(-3.4e38L), ExtendedCell(3.4e38L)};
  case edtComp: return {ExtendedCell(-9.2e18L), ExtendedCell(9.2e18L)};
  case edtDate: return {Cell(std::int32_t(0)), Cell(std::int32_t(876581))};
  case edtTime: return {Cell(std::int32_t(0)), Cell(std::int32_t(86399))};
  default: return {};
  }
}

} // namespace

WORD EntryFieldDataSize(int dataType, WORD stringBytes) {
  switch (dataType) {
  case edtString: return stringBytes;
  case edtChar:
  case edtBoolean:
  case edtYesNo:
  case edtByte:
  case edtShortInt: return 1;
  case edtWord:
  case edtSmallInt: return 2;
  case edtLongInt:
  case edtSingle:
  case edtDate:
  case edtTime: return 4;
  case edtReal:
  case edtDouble:
  case edtComp: return 8;
  case edtExtended: return 10;
  default: return 0;
  }
}

TRangeType DefaultRangeLo(int dataType) { return DefaultRange(dataType).lo; }
TRangeType DefaultRangeHi(int dataType) { return DefaultRange(dataType).hi; }

QString EntryFieldErrorText(WORD code, const QString &customText) {
  if (code >= oeCustomError) return customText;
  if (code >= oeRangeError && code <= oePartialEntry)
    return LibraryMessageText(msg::RangeError + (code - oeRangeError));
  return QStringLiteral("Entry Error");
}

void TOvcBaseEntryField::RunUserValidation(WORD &ErrorCode) {
  if (inUserValidation_) return;
  inUserValidation_ = true;
  try {
    DoOnUserValidation(ErrorCode);
  } catch (...) {
    inUserValidation_ = false;
    throw;
  }
  inUserValidation_ = false;
}

void TOvcBaseEntryField::DoOnUserValidation(WORD &ErrorCode) {
  if (OnUserValidation) OnUserValidation(this, ErrorCode);
}

void TOvcBaseEntryField::DoOnError(WORD ErrorCode, const QString &ErrorMsg) {
  if (OnError)
    OnError(this, ErrorCode, ErrorMsg);
  else
    Controller()->DoOnError(this, ErrorCode, ErrorMsg);
}

WORD TOvcBaseEntryField::RequiredCheck() {
  if (!options_.Contains(efoInputRequired) || IsReadOnly()) return 0;
  if (IsEmpty() || (uninitialized_ && !modified_)) return oeRequiredField;
  return 0;
}

WORD TOvcBaseEntryField::RunChecks() {
  lastError_ = RequiredCheck();
  if (lastError_ == 0) {
    validating_ = true;
    try {
      lastError_ = CheckValue();
    } catch (...) {
      validating_ = false;
      throw;
    }
    validating_ = false;
  }
  return lastError_;
}

void TOvcBaseEntryField::SetInvalid(bool Value) {
  if (Value == errorPending_) return;
  errorPending_ = Value;
  Repaint();
}

bool TOvcBaseEntryField::ValidateContents(bool Exiting) {
  if (!Visible() || !Enabled()) return true;
  if (Parent()) HandleNeeded();
  const WORD code = RunChecks();
  if (caret_ > editText_.size()) caret_ = int(editText_.size());
  if (code == 0) {
    SetInvalid(false);
    return true;
  }
  const bool soft = options_.Contains(efoSoftValidation);
  if (Exiting && soft) {
    SetInvalid(true);
    return true;
  }
  if (soft) SetInvalid(true);
  errorBeingReported_ = true;
  if (focused_) keepCaret_ = true;
  TOvcController *controller = Controller();
  PostMessage(controller->Handle(), ovm_FocusControl, 0, PointerParam(static_cast<TWinControl *>(this)));
  if (!controller->ErrorPending() && HandleAllocated()) PostMessage(WindowHandle(), ovm_ReportError, code, 0);
  controller->SetErrorPending(true);
  return false;
}

WORD TOvcBaseEntryField::ValidateSelf(bool ReportError) {
  if (!Enabled() || !Visible() || !Parent() || !Parent()->Enabled() || !Parent()->Visible()) return 0;
  const WORD code = RunChecks();
  if (ReportError && code != 0 && HandleAllocated()) PostMessage(WindowHandle(), ovm_ReportError, code, 0);
  SetInvalid(code != 0 && options_.Contains(efoSoftValidation));
  return code;
}

bool TOvcBaseEntryField::ValidateForExit() {
  return ValidateSelf(!options_.Contains(efoSoftValidation)) == 0;
}

void TOvcBaseEntryField::ReportError(WORD Code) {
  if (Code == 0) return;
  TOvcController *controller = Controller();
  const QString text = EntryFieldErrorText(Code, controller->ErrorText());
  if (text != controller->ErrorText()) controller->SetErrorText(text);
  DoOnError(Code, text);
}

void TOvcBaseEntryField::Restore() {
  if (!savedText_) return;
  editText_ = savedText_->left(maxLength_);
  PlaceInitialCaret();
  SetSelection(0, int(editText_.size()));
  modified_ = false;
  Repaint();
  DoOnChange();
}

void TOvcBaseEntryField::LeaveField(HWND Gaining) {
  TWinControl *gaining = FindControl(Gaining);
  TWinControl *gainingParent = gaining ? gaining->Parent() : nullptr;
  TCustomForm *form = GetParentForm(this);
  const bool toThisForm = Gaining != WindowHandle() && form &&
                          ((gaining && GetParentForm(gaining) == form) ||
                           (gainingParent && GetParentForm(gainingParent) == form));
  keepCaret_ = !toThisForm;
  HideCaret();
  SetMouseCapture(false);
  TOvcController *controller = Controller();
  if (!options_.Contains(efoForceInsert) && !options_.Contains(efoForceOvertype))
    controller->SetInsertMode(insertMode_);
  if (!errorBeingReported_ && !refocusAfterError_) {
    exitIncomplete_ = true;
    if (toThisForm) {
      if (modified_) uninitialized_ = false;
      if (controller->IsSpecialControl(Gaining)) {
        const bool wasModified = modified_;
        CheckValue();
        modified_ = wasModified;
      } else {
        ValidateContents(true);
        exitIncomplete_ = errorBeingReported_;
      }
    }
  } else {
    exitIncomplete_ = errorBeingReported_;
  }
  focused_ = false;
  if (toThisForm && !keepCaret_ && !refocusAfterError_) controller->DoOnPostEdit(this, gaining);
  refocusAfterError_ = false;
  if (!keepCaret_) MoveCaretToStart();
  Repaint();
}
