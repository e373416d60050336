// The input of the picture-mask fuzz target, shared with the regression test that runs its corpus in the
// normal build. An input is a field kind, a data type, a mask and keystrokes: the field is made with the
// mask and typed into; a mask the field refuses is a normal outcome. A crash, a sanitizer report, a caret or
// selection outside the text, a text longer than the field, or a value that does not come back unchanged
// after going in is a fault.
#pragma once
#include "controls/entry/numeric_field.h"
#include "controls/entry/picture_field.h"
#include "controls/entry/simple_field.h"
#include "controls/framework/command_codes.h"
#include "controls/framework/library_exceptions.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/messages.h"
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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
  field->Free();
  // The messages the field posted (reports, focus requests) are delivered or dropped now, not piled up.
  QCoreApplication::processEvents();
  return 0;
}

} // namespace fuzz
