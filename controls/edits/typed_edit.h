// TEditTyped: a masked edit with a button and a value type. The type chooses an input mask or a letter case,
// filters the keys typed (EnabledTypedLimit), converts the text into a typed value (Value) and, with
// EnabledLimit, refuses to be left while its value lies outside MinValue..MaxValue. The date types open a
// month calendar under the edit from a drop-down or calendar button.
//
// The masks (the class library's mask syntax, in the regional separators):
//   teDateTime "!99/99/9999 99:99:99", teShortDateTime "!99/99/99 99:99:99", teDateShortTime
//   "!99/99/9999 99:99", teShortDateShortTime "!99/99/99 99:99", teDate "!99/99/9999", teShortDate
//   "!99/99/99", teTime "!90:99:99", teShortTime "!99:99", tePhone "!\(999\) 999\-9999", tePhoneExt
//   "!\(999\) 999\-9999 \x9999", teSocial "!999\-99\-9999", teZIPCode "!99999\-9999"; each with ";1;_".
//
// Auto-completion: with mcFileSystem the edit completes file and folder names (as a list under the edit
// with mcAutoSuggest or without mcAutoAppend, typed ahead in the edit with mcAutoAppend alone). This system
// keeps no history of web addresses, so mcUrlHistory and mcUrlMRU complete nothing.
#pragma once
#include "controls/edits/popup_edit.h"
#include "platform/core/exceptions.h"
#include "platform/core/small_set.h"
#include "platform/core/variant.h"

enum TTypeForEdit {
  teString,
  teStringUpper,
  teStringLower,
  teNumber,
  teInteger,
  teDateTime,
  teShortDateTime,
  teDateShortTime,
  teShortDateShortTime,
  teDate,
  teShortDate,
  teTime,
  teShortTime,
  tePhone,
  tePhoneExt,
  teSocial,
  teZIPCode
};

enum TSMCompletitionSource { mcAutoSuggest, mcAutoAppend, mcFileSystem, mcUrlHistory, mcUrlMRU };
using TSMCompletition = TSmallSet<TSMCompletitionSource>;

// Leaving a typed edit whose value lies outside its range: "Value %s out of range %s..%s".
TALLYROOK_EXCEPTION(EEditTypedRangeError, Exception)

// The input mask of a type ("" for the types without one).
QString TypedEditMask(TTypeForEdit Type);
// Whether a type holds a date (and perhaps a time), a time alone, or a number.
bool IsDateType(TTypeForEdit Type);
bool IsTimeType(TTypeForEdit Type);
// The value of Text under Type and the mask the type sets: Null when nothing but the mask's literals and
// blanks is there; a float, an integer, a date and time, a date or a time as the type says; the text itself
// for the other types. Text that does not convert raises EConvertError.
Variant TypedTextToValue(TTypeForEdit Type, const QString &Text);
// The text that shows Value under Type, laid out as the type's mask expects (the date in the order of the
// regional short date format); empty for Null.
QString TypedValueToText(TTypeForEdit Type, const Variant &Value);

class TEditTyped : public TCustomPopupEdit {
public:
  explicit TEditTyped(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TEditTyped"); }
  void WndProc(TMessage &Message) override;

  TTypeForEdit TypeValue() const { return typeValue_; }
  // Clears the mask, then sets the type's mask or letter case.
  void SetTypeValue(TTypeForEdit Value);
  // The text converted under the type (EConvertError for text that does not convert).
  Variant Value() const;
  void SetValue(const Variant &Value);
  // The range, as texts; a text is kept only when it converts under the present type. An empty text sets
  // no bound.
  QString MinValue() const { return minValue_; }
  void SetMinValue(const QString &Value);
  QString MaxValue() const { return maxValue_; }
  void SetMaxValue(const QString &Value);
  // Leaving the field checks the range.
  bool EnabledLimit() const { return enabledLimit_; }
  void SetEnabledLimit(bool Value) { enabledLimit_ = Value; }
  // Typed keys are filtered by the type.
  bool EnabledTypedLimit() const { return enabledTypedLimit_; }
  void SetEnabledTypedLimit(bool Value) { enabledTypedLimit_ = Value; }
  TSMCompletition AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(TSMCompletition Value);

  // The check made on leaving the field: raises EEditTypedRangeError when the value lies below MinValue or
  // above MaxValue (EConvertError when the text does not convert).
  void CheckRange() const;

protected:
  void CreateWnd() override;
  void KeyPress(QChar &Key) override;
  bool CanPopup() const override;
  Variant PopupValue() const override;
  void AcceptPopupValue(const Variant &Value) override;

private:
  // Whether the typed character passes the type's filter (it may change it: "," and "." become the
  // decimal separator).
  bool FilterKey(QChar &Key) const;
  // The text less the part that the typed character replaces.
  QString TextOutsideSelection() const;
  void ApplyAutoComplete();

  TTypeForEdit typeValue_ = teString;
  QString minValue_;
  QString maxValue_;
  bool enabledLimit_ = false;
  bool enabledTypedLimit_ = true;
  TSMCompletition autoComplete_;
};
