// The single-line editing engine shared by every entry field: edit text, caret and selection, options, the
// typed value's size and transfer, the display text, the command guard and the error protocol. Descendants
// supply the per-type edit engine (EditCommand) and check (CheckValue).
#pragma once
#include "controls/framework/base.h"
#include "controls/framework/borders.h"
#include "controls/framework/caret.h"
#include "controls/framework/colors.h"
#include "controls/framework/command_codes.h"
#include "controls/framework/controller.h"
#include "controls/framework/entry_data_type.h"
#include "controls/framework/extended_value.h"
#include "platform/core/date_time.h"
#include "platform/core/events.h"
#include "platform/core/small_set.h"
#include "platform/windowing/messages.h"
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

enum TOvcEntryFieldOption {
  efoArrowIncDec,
  efoCaretToEnd,
  efoForceInsert,
  efoForceOvertype,
  efoInputRequired,
  efoPasswordMode,
  efoReadOnly,
  efoRightAlign,
  efoRightJustify,
  efoSoftValidation,
  efoStripLiterals,
  efoTrimBlanks
};
using TOvcEntryFieldOptions = TSmallSet<TOvcEntryFieldOption>;

enum TZeroDisplay { zdShow, zdHide, zdHideUntilModified };

// Field kinds as the descendants set them.
constexpr std::uint8_t fkSimple = 0;
constexpr std::uint8_t fkPicture = 1;
constexpr std::uint8_t fkNumeric = 2;

// Entry-field error codes; 32768 and above belong to the application.
constexpr WORD oeRangeError = 256;
constexpr WORD oeInvalidNumber = 257;
constexpr WORD oeRequiredField = 258;
constexpr WORD oeInvalidDate = 259;
constexpr WORD oeInvalidTime = 260;
constexpr WORD oeBlanksInField = 261;
constexpr WORD oePartialEntry = 262;
constexpr WORD oeCustomError = 32768;

// The engine's own mouse commands.
constexpr TOvcCommandCode ccMouseClick = 250;
constexpr TOvcCommandCode ccMouseMove = 251;
constexpr TOvcCommandCode ccDblClick = 253;

using TValidationErrorEvent = TEvent<void(TObject *Sender, WORD ErrorCode, const QString &ErrorMsg)>;
using TUserCommandEvent = TEvent<void(TObject *Sender, WORD Command)>;
using TUserValidationEvent = TEvent<void(TObject *Sender, WORD &ErrorCode)>;

// The field's three colour pairs, each telling the field when it changes.
class TPopupMenu;

class TOvcEfColors : public TPersistent {
public:
  TOvcEfColors();
  QString ClassName() const override { return QStringLiteral("TOvcEfColors"); }
  void Assign(const TPersistent *Source) override;

  TOvcColors *Disabled() const { return disabled_.get(); }
  TOvcColors *Error() const { return error_.get(); }
  TOvcColors *Highlight() const { return highlight_.get(); }

  TNotifyEvent OnColorChange;

private:
  void PairChanged(TObject *Sender);

  std::unique_ptr<TOvcColors> disabled_;
  std::unique_ptr<TOvcColors> error_;
  std::unique_ptr<TOvcColors> highlight_;
};

// A 10-byte range cell as the form stores it: integers, dates and times as 4-byte signed values, Real as a
// double, the other floating types in the ten-byte extended layout (TExtended).
using TRangeType = std::array<std::uint8_t, 10>;

// The typed value a caller's buffer holds for each data type (TransferData, GetFieldValue, SetFieldValue):
// String QString, Char QChar, Boolean and YesNo bool, LongInt std::int32_t, Word std::uint16_t, SmallInt
// std::int16_t, Byte std::uint8_t, ShortInt std::int8_t, Real and Double double, Extended TExtended, Single
// float, Comp std::int64_t, Date and Time std::int32_t (-1 for none). A field holding a date and a time
// together (HoldsDateTime) takes a TDateTime.

// Bytes a value of the data type takes in a caller's buffer; 0 for an unknown code. Strings take
// stringBytes (the length prefix included).
WORD EntryFieldDataSize(int dataType, WORD stringBytes);
// The default low and high range cells of a data type.
TRangeType DefaultRangeLo(int dataType);
TRangeType DefaultRangeHi(int dataType);
// The message shown for an entry-field error code; codes of the application give customText.
QString EntryFieldErrorText(WORD code, const QString &customText);

class TOvcBaseEntryField : public TOvcCustomControlEx {
public:
  explicit TOvcBaseEntryField(TComponent *AOwner);
  ~TOvcBaseEntryField() override;
  QString ClassName() const override { return QStringLiteral("TOvcBaseEntryField"); }
  void WndProc(TMessage &Message) override;
  void BeforeDestruction() override;

  // Properties.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int Value);
  int Epoch() const { return epoch_; }
  void SetEpoch(int Value);
  // The field's epoch, else one from OnGetEpoch, else the controller's.
  int EffectiveEpoch();
  int DecimalPlaces() const { return decimalPlaces_; }
  void SetDecimalPlaces(int Value);
  int TextMargin() const { return textMargin_; }
  void SetTextMargin(int Value);
  QChar PadChar() const { return padChar_; }
  void SetPadChar(QChar Value);
  QChar PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(QChar Value);
  TOvcEntryFieldOptions Options() const { return options_; }
  void SetOptions(TOvcEntryFieldOptions Value);
  bool Uninitialized() const { return uninitialized_; }
  void SetUninitialized(bool Value);
  TZeroDisplay ZeroDisplay() const { return zeroDisplay_; }
  void SetZeroDisplay(TZeroDisplay Value);
  double ZeroDisplayValue() const { return zeroDisplayValue_; }
  void SetZeroDisplayValue(double Value);
  TColor ControlCharColor() const { return controlCharColor_; }
  void SetControlCharColor(TColor Value);
  TOvcEfColors *EFColors() const { return efColors_.get(); }
  TOvcBorders *Borders() const { return borders_.get(); }
  TOvcCaretPair *Carets() const { return caretPair_.get(); }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value);
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetName(const QString &NewName) override;
  std::uint8_t DataType() const { return dataType_ & 0x3F; }
  bool StripsLiterals() const { return (dataType_ & 64) != 0; }
  std::uint8_t FieldKind() const { return fieldKind_; }
  // The range in its text form; setting a text that does not convert raises EInvalidRangeValue.
  QString RangeHi() const { return RangeText(rangeHi_); }
  void SetRangeHi(const QString &Value);
  QString RangeLo() const { return RangeText(rangeLo_); }
  void SetRangeLo(const QString &Value);
  const TRangeType &RangeLoCell() const { return rangeLo_; }
  const TRangeType &RangeHiCell() const { return rangeHi_; }

  // Edit state.
  QString EditString() const { return editText_; }
  QString DisplayString() { return GetDisplayString(); }
  int CaretPosition() const { return caret_; }
  // The first edit-text character shown (horizontal scroll).
  int FirstVisibleChar() const { return firstVisible_; }
  int SelectionStart() const { return selStart_; }
  int SelectionEnd() const { return selEnd_; }
  void SetSelection(int Start, int End);
  bool Modified() const { return modified_; }
  void SetModified(bool Value);
  bool EditedSinceLoad() const { return editedSinceLoad_; }
  bool InsertMode() const { return insertMode_; }
  WORD LastError() const { return lastError_; }
  bool Invalid() const { return errorPending_; }
  WORD GetDataSize();

  // Typed value in and out of a caller's buffer; the size is GetDataSize().
  WORD GetFieldValue(void *Buffer);
  void SetFieldValue(const void *Buffer);

  // Typed setters; the wrong data type raises EInvalidDataType.
  void SetAsDateTime(TDateTime Value);
  void SetAsDayNumber(std::int32_t Value);
  void SetAsSecondsOfDay(std::int32_t Value);
  // Stores a value given as text (strings, booleans by their first letter, others as a range text).
  virtual void SetValueFromText(const QString &Text);
  void IncreaseValue() { IncreaseValueBy(true, 1.0); }
  void DecreaseValue() { DecreaseValueBy(true, 1.0); }

  // The single entry of every command into the field.
  void DoCommand(TMessage &Msg, WORD Command);
  // Puts the selected text on the clipboard, control characters as themselves.
  void CopyToClipboard();
  // The menu a right click shows when the field has no PopupMenu of its own (made on first use).
  TPopupMenu *BuiltInMenu();

  // Validation.
  virtual bool ValidateContents(bool Exiting);
  virtual WORD ValidateSelf(bool ReportError);
  bool ValidateForExit();
  // Puts the text saved on entry back.
  virtual void Restore();

  virtual void MoveCaretToEnd();
  virtual void MoveCaretToStart();
  virtual WORD FirstEditablePos() { return 0; }
  virtual bool IsEmpty();
  virtual QString GetDisplayString();
  virtual bool IsReadOnly() { return options_.Contains(efoReadOnly); }
  virtual void AdjustOptions();
  virtual void PlaceInitialCaret();
  // Direction 0 only answers the size, 1 copies the value out, 2 in.
  virtual WORD TransferData(void *Buffer, WORD Direction);
  // Moves the caret while focused; positions outside the text are pulled to its ends.
  virtual void SetInsertionPoint(int Position);

  TNotifyEvent OnChange;
  TValidationErrorEvent OnError;
  TGetEpochEvent OnGetEpoch;
  TUserCommandEvent OnUserCommand;
  TUserValidationEvent OnUserValidation;

protected:
  virtual void EditCommand(TMessage &Msg, WORD Command) = 0;
  virtual WORD CheckValue() = 0;
  // The descendant's half of a transfer: copies the value out of (1) or into (2) the edit text.
  virtual void TransferValue(void *Buffer, WORD Direction) = 0;

  virtual void DoOnChange();
  virtual void DoOnError(WORD ErrorCode, const QString &ErrorMsg);
  virtual void DoOnUserCommand(WORD Command);
  virtual void DoOnUserValidation(WORD &ErrorCode);
  void CreateWnd() override;
  void CreateParams(TCreateParams &Params) override;
  void Paint() override;
  virtual void DoRecalcHeight();
  // Places the caret and scrolls the text so that the caret shows; answers whether the scroll changed.
  bool PositionCaret(bool Rescroll);
  void DefineProperties(TFiler *Filer) override;
  // The focus to the next or previous control of the form (auto-advance).
  virtual void MoveToNextField();
  virtual void MoveToPrevField();
  // The edit text without literals; the engine has none to strip.
  virtual QString GetStrippedEditString() { return editText_; }
  virtual void SetEditString(const QString &Value) { SetEditText(Value); }
  // The number of edit positions the picture takes (MaxLength may not be below it).
  virtual int PictureLength() const { return int(picture_.size()); }
  // MaxLength and DecimalPlaces stored as they are, without the window being made again.
  void SetMaxLengthRaw(int Value);
  void SetDecimalPlacesRaw(int Value) { decimalPlaces_ = std::uint8_t(Value); }
  // The picture as laid over the edit text, one mask character per position.
  virtual QString GetFullPicture() const { return picture_; }
  // Bytes a value takes in a caller's buffer (GetDataSize caches it).
  virtual WORD ValueSize();
  // Whether the value is a TDateTime although the data type is Date.
  virtual bool HoldsDateTime() const { return false; }
  // The built-in popup menu's actions.
  virtual void DoRestoreClick(TObject *Sender);
  virtual void DoCutClick(TObject *Sender);
  virtual void DoCopyClick(TObject *Sender);
  virtual void DoPasteClick(TObject *Sender);
  virtual void DoDeleteClick(TObject *Sender);
  virtual void DoSelectAllClick(TObject *Sender);
  // Per type in the field types; nothing in the engine.
  virtual void IncreaseValueBy(bool Wrap, double Delta) {}
  virtual void DecreaseValueBy(bool Wrap, double Delta) {}

  // For descendants: the kind, data type and the edit text they manage.
  void SetFieldKind(std::uint8_t Kind) { fieldKind_ = Kind; }
  // The picture mask the field type edits with.
  virtual void SetPicture(const QString &Mask) { picture_ = Mask.left(255); }
  QString Picture() const { return picture_; }
  void SetDataType(std::uint8_t Code);
  // Marks a picture String field whose literals may be stripped (the data-type byte's 64).
  void SetStripsLiterals(bool Value);
  // The type's default range, and whether the two range cells are equal in the width of the type.
  void SetDefaultRange();
  bool RangeLimitsEqual() const;
  // A range cell of a numeric, date or time type as a number.
  long double RangeNumber(const TRangeType &Cell) const;
  // Value moved by Delta (whole steps for an integer type) and held within the range; past an end it wraps
  // to the other end when Wrap is set, else there is no step.
  std::optional<long double> SteppedNumber(long double Value, double Delta, bool Wrap) const;
  void SetEditText(const QString &Text);
  void SetCaret(int Position);
  void SetInsertMode(bool Value) { insertMode_ = Value; }
  void MarkModified();
  // Runs CheckValue's user half unless it is already running.
  void RunUserValidation(WORD &ErrorCode);
  bool SettingValue() const { return settingValue_; }
  bool GettingValue() const { return gettingValue_; }
  void SetRangeCells(const TRangeType &Lo, const TRangeType &Hi);
  // Copies what every kind of field has (size, border, colour, options, pad character, range, margin and the
  // zero and uninitialized display) from Other; the kinds' Assign copy their own properties first.
  void AssignFieldProperties(const TOvcBaseEntryField &Other);
  // The input flags the edit engines keep (see the command conventions in entry_field_input.cpp).
  bool AcceptNextChar() const { return acceptNextChar_; }
  void SetAcceptNextChar(bool Value) { acceptNextChar_ = Value; }
  bool CharAllowed() const { return charAllowed_; }
  void SetCharAllowed(bool Value) { charAllowed_ = Value; }
  bool CtrlCharPrefix() const { return ctrlCharPrefix_; }
  void SetCtrlCharPrefix(bool Value) { ctrlCharPrefix_ = Value; }
  // The validation and focus state the field types consult.
  bool Validating() const { return validating_; }
  bool InUserValidation() const { return inUserValidation_; }
  bool KeepCaret() const { return keepCaret_; }
  bool RefocusAfterError() const { return refocusAfterError_; }
  bool ErrorBeingReported() const { return errorBeingReported_; }
  // The flags read from the mask when the window is made.
  bool HexMask() const { return hexMask_; }
  bool OctalMask() const { return octalMask_; }
  bool BinaryMask() const { return binaryMask_; }
  bool NumericFieldFlag() const { return numericField_; }
  bool MaskHasNoLiterals() const { return noLiterals_; }
  void SetMaskHasNoLiterals(bool Value) { noLiterals_ = Value; }
  bool FloatWithDecimalMask() const { return floatWithDecimal_; }
  void SetFloatWithDecimalMask(bool Value) { floatWithDecimal_ = Value; }
  bool NeedsReformat() const { return needsReformat_; }
  void SetNeedsReformat(bool Value) { needsReformat_ = Value; }
  // Selection and scroll without repainting (the edit engines repaint once per command).
  void SetSelectionRaw(int Start, int End);
  // Moves the caret to Position, the end of the selection at the caret going with it (a shift-key move).
  void ExtendTo(int Position);
  void SetFirstVisibleChar(int Value) { firstVisible_ = Value; }
  // The edit text of a window being re-created is empty again: the field clears it (the picture kinds lay an
  // empty value into the mask).
  void ClearContents();
  // Shows the caret at its place (after a value is transferred in while focused).
  void ShowCaret();
  bool IsFocused() const { return focused_; }
  // The edit-text position under a client x (mouse commands); scrolls left for a negative x.
  int CharIndexAt(int X);
  // Beeps when the controller's entry options ask for it.
  void Beep();
  // Handles ovm_ReportError: the code's text becomes the controller's error text, then DoOnError.
  void ReportError(WORD Code);

private:
  bool IsNumericType() const;
  WORD RequiredCheck();
  WORD RunChecks();
  void SetInvalid(bool Value);
  void SaveTextForRestore();
  void Repaint() { Invalidate(); }
  void BordersChanged(TObject *Sender);
  int LeftBorderWidth() const;
  int RightBorderWidth() const;
  int TextStartX(const QString &shown, bool rightAligned);
  void PaintBorders();
  void UpdateBuiltInMenu();
  void ShowBuiltInMenu(int X, int Y);
  void HideCaret();
  bool HandleInputMessage(TMessage &Message);
  QString RangeText(const TRangeType &cell) const;
  std::optional<TRangeType> RangeCellFromText(const QString &text);
  bool HasRange() const;
  template <typename T>
  void SetTyped(T value) {
    SetFieldValue(&value);
  }
  void SetRangeText(TRangeType &cell, const QString &text);
  void DispatchKeyCommand(TMessage &Message, WORD Command);
  void CopyMessage();
  void CutMessage();
  void PasteMessage();
  void EnterField(HWND Losing);
  void LeaveField(HWND Gaining);

  int maxLength_ = 15;
  int epoch_ = 0;
  int textMargin_ = 2;
  std::uint8_t decimalPlaces_ = 0;
  QChar padChar_ = QLatin1Char(' ');
  QChar passwordChar_ = QLatin1Char('*');
  TOvcEntryFieldOptions options_{efoCaretToEnd, efoTrimBlanks};
  bool uninitialized_ = false;
  TZeroDisplay zeroDisplay_ = zdShow;
  double zeroDisplayValue_ = 0;
  TColor controlCharColor_ = clRed;
  std::unique_ptr<TOvcEfColors> efColors_;
  std::unique_ptr<TOvcBorders> borders_;
  std::unique_ptr<TOvcCaretPair> caretPair_;
  TBorderStyle borderStyle_ = bsSingle;
  bool autoSize_ = true;
  TPopupMenu *builtInMenu_ = nullptr;
  bool recalcingHeight_ = false;
  bool rightAligned_ = false;
  int textOffset_ = 1;

  QString editText_;
  QString picture_ = QStringLiteral("X");
  std::optional<QString> savedText_;
  std::uint8_t dataType_ = edtString;
  std::uint8_t fieldKind_ = fkSimple;
  int caret_ = 0;
  int firstVisible_ = 0;
  int selStart_ = 0;
  int selEnd_ = 0;
  WORD lastError_ = 0;
  WORD dataSize_ = 0;
  TRangeType rangeLo_{};
  TRangeType rangeHi_{};

  bool modified_ = false;
  bool editedSinceLoad_ = false;
  bool validating_ = false;
  bool errorPending_ = false;
  bool insertMode_ = true;
  bool settingValue_ = false;
  bool gettingValue_ = false;
  bool inUserValidation_ = false;
  bool errorBeingReported_ = false;
  bool keepCaret_ = false;
  bool focused_ = false;
  bool ctrlCharPrefix_ = false;
  bool acceptNextChar_ = true;
  bool charAllowed_ = false;
  bool mouseFocusing_ = false;
  bool exitIncomplete_ = false;
  bool refocusAfterError_ = false;
  bool hexMask_ = false;
  bool octalMask_ = false;
  bool binaryMask_ = false;
  bool numericField_ = false;
  bool noLiterals_ = true;
  bool floatWithDecimal_ = false;
  bool needsReformat_ = false;
  bool keyDownSeen_ = false;
};
