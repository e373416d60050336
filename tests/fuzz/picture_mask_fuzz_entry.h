// The input of the picture-mask fuzz target, shared with the regression test that runs its corpus in the
// normal build. An input is a field kind, a data type, a mask and keystrokes: the field is made with the
// mask and typed into; a mask the field refuses is a normal outcome. Then a value made of the input's last
// bytes is put in. A crash, a sanitizer report, a caret or selection outside the text, a text longer than
// the field, a value that does not come back unchanged after going in (unless the field refuses it when
// asked for it), or a floating value changed although the field had room for all its digits is a fault.
#pragma once
#include "controls/entry/numeric_field.h"
#include "controls/entry/picture_field.h"
#include "controls/entry/simple_field.h"
#include "controls/entry/typed_values.h"
#include "controls/framework/command_codes.h"
#include "controls/framework/library_exceptions.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/messages.h"
#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {

inline void MaskCheck(bool condition, const char *what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// Bytes 0x80.. stand for characters beyond Latin-1 as well as for Latin-1 ones.
inline QChar InputChar(std::uint8_t byte) {
  static const char16_t wide[] = {u'€', u'Ł', u'ó', u'ź', u'ß', u'Ω', u'中', u'ñ'};
  if (byte >= 0xF8) return QChar(wide[byte - 0xF8]);
  return QChar(char16_t(byte));
}

inline void CheckState(TOvcBaseEntryField *field) {
  const int length = int(field->EditString().size());
  MaskCheck(length <= field->MaxLength(), "the text is no longer than the field");
  MaskCheck(field->CaretPosition() >= 0 && field->CaretPosition() <= std::max(length, field->MaxLength()),
            "the caret lies in the field");
  MaskCheck(field->SelectionStart() >= 0 && field->SelectionStart() <= field->SelectionEnd() &&
                field->SelectionEnd() <= length,
            "the selection lies in the text");
  (void)field->DisplayString();
}

// Takes the value out, puts it in and takes it out again: the two must agree.
template <typename T>
void RoundTrip(TOvcBaseEntryField *field) {
  T first{};
  if (field->GetFieldValue(&first) != 0) return;
  field->SetFieldValue(&first);
  T second{};
  MaskCheck(field->GetFieldValue(&second) == 0, "a value put in is valid");
  MaskCheck(first == second, "a value comes back as it went in");
}

inline void RoundTripValue(TOvcBaseEntryField *field) {
  switch (field->DataType()) {
  case edtString: return RoundTrip<QString>(field);
  case edtChar: return RoundTrip<QChar>(field);
  case edtBoolean:
  case edtYesNo: return RoundTrip<bool>(field);
  case edtLongInt:
  case edtDate:
  case edtTime: return RoundTrip<std::int32_t>(field);
  case edtWord: return RoundTrip<std::uint16_t>(field);
  case edtSmallInt: return RoundTrip<std::int16_t>(field);
  case edtByte: return RoundTrip<std::uint8_t>(field);
  case edtShortInt: return RoundTrip<std::int8_t>(field);
  case edtReal:
  case edtDouble: return RoundTrip<double>(field);
  case edtExtended: return RoundTrip<TExtended>(field);
  case edtSingle: return RoundTrip<float>(field);
  case edtComp: return RoundTrip<std::int64_t>(field);
  default: return;
  }
}

// Puts Value in and takes it out again: it comes back as it went in, or the field refuses to give it.
// Floating values come back as the field shows them: rounded to the places after the mask's point, or with
// all their significant digits where the field has room for them.
inline void PutValue(TOvcBaseEntryField *field, long double value) {
  const int type = field->DataType();
  if (IsIntegerType(type))
    value = std::clamp<long double>(std::trunc(value), IntegerTypeMin(type), IntegerTypeMax(type));
  if (type == edtDate) value = std::clamp<long double>(std::trunc(value), 0, 876581);
  if (type == edtTime) value = std::clamp<long double>(std::trunc(value), 0, 86399);
  if (type == edtComp) value = std::clamp<long double>(std::round(value), -9.2e18L, 9.2e18L);
  alignas(TExtended) std::uint8_t in[sizeof(TExtended)] = {};
  WriteNumber(in, type, value);
  const long double put = ReadNumber(in, type);
  field->SetFieldValue(in);
  alignas(TExtended) std::uint8_t out[sizeof(TExtended)] = {};
  if (field->GetFieldValue(out) != 0) return;
  const long double back = ReadNumber(out, type);
  if (!IsFloatType(type) || type == edtComp) {
    // A time shows the units its mask has (seconds may be left out).
    MaskCheck(back == put || (type == edtTime && std::abs(back - put) < 60),
              "a value comes back as it was put in");
    return;
  }
  const auto *picture = dynamic_cast<TOvcPictureBase *>(field);
  const int dot = picture ? picture->DecimalPointPos() : -1;
  if (dot >= 0) {
    int width = 0;
    int decimals = 0;
    picture->GetDigitCounts(width, decimals);
    MaskCheck(std::abs(back - put) <=
                  0.5L * std::pow(10.0L, -decimals) * (1 + 1e-9L) + std::abs(put) * 1e-14L,
              "a value comes back rounded to the mask's places");
    return;
  }
  // The places a user fills: where the value's full text fits them, it comes back whole.
  int places = 0;
  for (int i = 0; i < field->MaxLength(); ++i)
    places += !picture || (!picture->IsLiteral(i) && !picture->IsFloatingSymbol(i)) ? 1 : 0;
  const int digits = SignificantDigits(type);
  const auto exact = FixedText(put, 0, 255, digits);
  if (exact && exact->size() <= places)
    MaskCheck(FixedText(back, 0, 255, digits) == exact, "a value the field has room for comes back whole");
}

inline void PutValues(TOvcBaseEntryField *field, const std::uint8_t *data, std::size_t size) {
  const int type = field->DataType();
  if (size < 10 || !(IsIntegerType(type) || IsFloatType(type) || type == edtDate || type == edtTime)) return;
  // A date-time field holds a TDateTime, not the day number its data type names.
  if (const auto *picture = dynamic_cast<TOvcCustomPictureField *>(field);
      picture && picture->DataType() == pftDateTime)
    return;
  std::uint64_t bits = 0;
  std::memcpy(&bits, data + size - 8, 8);
  double raw = 0;
  std::memcpy(&raw, &bits, 8);
  if (std::isfinite(raw)) PutValue(field, raw);
  // A decimal value of up to nine digits with the point anywhere, either sign.
  PutValue(field, (long double)(std::int64_t(bits >> 8) % 1000000000) /
                      std::pow(10.0L, int(bits & 0x0F) % 10) * ((bits & 0x10) ? -1 : 1));
}

inline TForm *FuzzForm() {
  static TForm *form = [] {
    TForm *f = TCustomForm::Create<TForm>(nullptr);
    f->SetClientSize(300, 100);
    return f;
  }();
  return form;
}

// The field of the input's kind with its type and mask; nullptr when the field refuses the mask.
inline TOvcBaseEntryField *MakeField(std::uint8_t kind, std::uint8_t type, const QString &mask) {
  TForm *form = FuzzForm();
  try {
    switch (kind % 3) {
    case 0: {
      auto *f = new TOvcSimpleField(form);
      f->SetParent(form);
      f->SetDataType(TSimpleDataType(type % 14));
      if (!mask.isEmpty()) f->SetPictureMask(mask.at(0));
      return f;
    }
    case 1: {
      auto *f = new TOvcNumericField(form);
      f->SetParent(form);
      f->SetDataType(TNumericDataType(type % 10));
      f->SetPictureMask(mask);
      return f;
    }
    default: {
      auto *f = new TOvcPictureField(form);
      f->SetParent(form);
      f->SetDataType(TPictureDataType(type % 16)); // the date-time kind holds a TDateTime
      f->SetPictureMask(mask);
      return f;
    }
    }
  } catch (const EEntryFieldError &) {
    for (int i = form->ComponentCount() - 1; i >= 0; --i) form->Components(i)->Free();
    return nullptr;
  }
}

inline int RunPictureMaskInput(const std::uint8_t *data, std::size_t size) {
  if (size < 2) return 0;
  std::size_t at = 2;
  QString mask;
  while (at < size && data[at] != 0 && mask.size() < 300) mask += InputChar(data[at++]);
  ++at;
  TOvcBaseEntryField *field = MakeField(data[0], data[1], mask);
  if (!field) return 0;
  static const WORD commands[] = {
      ccLeft,         ccRight,        ccHome,      ccEnd,         ccBack,         ccDel,
      ccDelBol,       ccDelEol,       ccDelLine,   ccDelWord,     ccIns,          ccInc,
      ccDec,          ccUp,           ccDown,      ccWordLeft,    ccWordRight,    ccExtendLeft,
      ccExtendRight,  ccExtendHome,   ccExtendEnd, ccExtWordLeft, ccExtWordRight, ccRestore,
      ccCompleteDate, ccCompleteTime, ccCtrlChar,  ccCut,         ccCopy,         ccPaste};
  field->HandleNeeded();
  field->Perform(WM_SETFOCUS, 0, 0);
  for (; at < size; ++at) {
    const std::uint8_t byte = data[at];
    TMessage msg{WM_KEYDOWN, 0, 0, 0};
    if (byte < 32) {
      const WORD command = commands[byte % (sizeof commands / sizeof commands[0])];
      QString pasted;
      if (command == ccPaste) {
        while (at + 1 < size && data[at + 1] >= 32 && pasted.size() < 40) pasted += InputChar(data[++at]);
        msg.LParam = PointerParam(&pasted);
      }
      field->DoCommand(msg, command);
    } else {
      field->DoCommand(msg, ccNoCommand);
      field->Perform(WM_CHAR, InputChar(byte).unicode(), 0);
    }
    CheckState(field);
  }
  field->Perform(WM_KILLFOCUS, 0, 0);
  CheckState(field);
  RoundTripValue(field);
  CheckState(field);
  PutValues(field, data, size);
  CheckState(field);
  field->Free();
  // The messages the field posted (reports, focus requests) are delivered or dropped now, not piled up.
  QCoreApplication::processEvents();
  return 0;
}

} // namespace fuzz
