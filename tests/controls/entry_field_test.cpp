// The entry-field engine through a simple field typed into with real keys: options and their rules, property
// limits, value sizes and transfer, the display text, selection messages, the command guard, input, focus and
// validation.
#include "controls/entry/simple_field.h"
#include "controls/framework/controller.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/private_messages.h"
#include "platform/core/filer.h"
#include "platform/core/streams.h"
#include "platform/widgets/menus.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include "tests/controls/entry_field_fixture.h"
#include <QImage>
#include <QMenu>
#include <QString>
#include <gtest/gtest.h>

namespace {

// A simple field with the engine's protected setters at hand, to test the engine's own rules.
class TTestField : public TOvcSimpleField {
public:
  using TOvcBaseEntryField::DataType;
  using TOvcBaseEntryField::DefineProperties;
  using TOvcBaseEntryField::IsFocused;
  using TOvcBaseEntryField::SetDataType;
  using TOvcBaseEntryField::SetEditText;
  using TOvcBaseEntryField::SetFieldKind;
  using TOvcBaseEntryField::SetPicture;
  using TOvcSimpleField::TOvcSimpleField;
};

class EntryFieldTest : public EntryFieldForm {
protected:
  void SetUp() override {
    EntryFieldForm::SetUp();
    field = Add(QStringLiteral("Field"));
  }
  TTestField *Add(const QString &name) { return Place<TTestField>(name); }

  TTestField *field = nullptr;
};

TEST_F(EntryFieldTest, OptionsFollowTheirRules) {
  field->SetOptions({efoForceInsert, efoForceOvertype});
  EXPECT_EQ(field->Options(), (TOvcEntryFieldOptions{efoForceInsert})) << "force insert wins over overtype";
  field->SetOptions({efoPasswordMode});
  field->SetPasswordChar(QChar(0));
  EXPECT_FALSE(field->Options().Contains(efoPasswordMode)) << "password char 0 turns password mode off";

  // Right-justify on a string field adds trim-blanks.
  field->SetFieldKind(fkPicture);
  field->SetOptions({efoRightJustify});
  EXPECT_EQ(field->Options(), (TOvcEntryFieldOptions{efoRightJustify, efoTrimBlanks}));
}

TEST_F(EntryFieldTest, OptionsTheKindAndTypeDoNotAllowAreRemoved) {
  const TOvcEntryFieldOptions all{efoCaretToEnd, efoForceInsert,  efoTrimBlanks,
                                  efoRightAlign, efoRightJustify, efoStripLiterals};
  struct Case {
    std::uint8_t kind;
    std::uint8_t type;
    TOvcEntryFieldOptions kept;
  };
  const Case cases[] = {
      {fkSimple, edtString, {efoCaretToEnd, efoForceInsert, efoTrimBlanks, efoRightAlign}},
      {fkSimple, edtDate, all},
      {fkPicture, edtDouble, {efoCaretToEnd, efoForceInsert, efoRightAlign, efoRightJustify}},
      {fkNumeric, edtString, {}},
  };
  for (const Case &c : cases) {
    field->SetFieldKind(c.kind);
    field->SetDataType(c.type);
    field->SetOptions({});
    field->SetOptions(all);
    TOvcEntryFieldOptions kept = field->Options();
    kept.Exclude(efoForceOvertype);
    EXPECT_EQ(kept, c.kept) << "kind " << int(c.kind) << " type " << int(c.type);
  }
}

TEST_F(EntryFieldTest, PropertyValuesOutOfTheirLimitsAreIgnoredAndTheControllersEpochIsStoredAsZero) {
  for (int bad : {0, 256, -3}) field->SetMaxLength(bad);
  field->SetTextMargin(1);
  field->SetDecimalPlaces(256);
  for (int bad : {1, 1599, 4000}) field->SetEpoch(bad);
  EXPECT_EQ(std::tuple(field->MaxLength(), field->TextMargin(), field->DecimalPlaces(), field->Epoch()),
            std::tuple(15, 2, 0, 0));
  field->SetEditText(QStringLiteral("abcdefghij"));
  field->SetMaxLength(4);
  EXPECT_EQ(field->EditString(), QStringLiteral("abcd")) << "lowering the maximum length cuts the text";

  controller->SetEpoch(1970);
  field->SetEpoch(1970);
  EXPECT_EQ(field->Epoch(), 0);
  EXPECT_EQ(field->EffectiveEpoch(), 1970);
}

TEST_F(EntryFieldTest, DisplayShowsControlCharactersAsLettersAndAHiddenZeroAsBlanks) {
  field->SetEditText(QString::fromLatin1("a\x01z"));
  EXPECT_EQ(field->DisplayString(), QStringLiteral("aAz"));

  field->SetDataType(edtLongInt);
  field->SetZeroDisplay(zdHide);
  field->SetEditText(QStringLiteral("0"));
  EXPECT_EQ(field->DisplayString(), QStringLiteral(" "));
  Focus(field);
  ASSERT_TRUE(field->IsFocused());
  EXPECT_EQ(field->DisplayString(), QStringLiteral("0")) << "focused: the number";

  // Hidden until modified: shown once edited.
  auto *other = Add(QStringLiteral("Other"));
  other->SetDataType(edtLongInt);
  other->SetZeroDisplay(zdHideUntilModified);
  other->SetEditText(QStringLiteral("0"));
  EXPECT_EQ(other->DisplayString(), QStringLiteral(" "));
  other->SetModified(true);
  other->SetModified(false);
  EXPECT_EQ(other->DisplayString(), QStringLiteral("0"));
}

TEST_F(EntryFieldTest, SelectionAndModifyMessages) {
  field->SetEditText(QStringLiteral("invoice"));
  field->Perform(EM_SETSEL, 0, MAKELPARAM(0, 65535));
  DWORD start = 99, end = 99;
  const LRESULT packed = field->Perform(EM_GETSEL, WPARAM(PointerParam(&start)), PointerParam(&end));
  EXPECT_EQ(std::tuple(start, end, packed), std::tuple(0u, 7u, LRESULT(MAKELRESULT(0, 7))));
  field->Perform(EM_SETSEL, 0, MAKELPARAM(5, 3));
  EXPECT_EQ(std::pair(field->SelectionStart(), field->SelectionEnd()), std::pair(0, 7))
      << "start past end changes nothing";
}

TEST_F(EntryFieldTest, TransferInAndOutOfACallersBufferWithoutOnChangeAndOnlyInRange) {
  field->SetDataType(edtLongInt);
  std::int32_t value = 42;
  field->SetModified(true);
  field->SetFieldValue(&value);
  EXPECT_EQ(field->EditString(), QStringLiteral("42"));
  EXPECT_FALSE(field->Modified());
  std::int32_t out = 0;
  EXPECT_EQ(field->GetFieldValue(&out), 0);
  EXPECT_EQ(out, 42);

  // A value out of range is not copied out.
  field->SetRangeLo(QStringLiteral("10"));
  field->SetRangeHi(QStringLiteral(" 20 "));
  EXPECT_EQ(field->RangeHi(), QStringLiteral("20"));
  field->SetEditText(QStringLiteral("25"));
  out = -1;
  EXPECT_EQ(field->GetFieldValue(&out), oeRangeError);
  EXPECT_EQ(out, -1);
  field->SetEditText(QStringLiteral("15")); // back in range, so that the field can be left

  // Setting a value fires no OnChange; typing does.
  auto *text = Add(QStringLiteral("Text"));
  int changes = 0;
  text->OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  const QString abc = QStringLiteral("abc");
  text->SetFieldValue(&abc);
  EXPECT_EQ(changes, 0);
  Focus(text);
  Type(QStringLiteral("{End}d"));
  EXPECT_EQ(changes, 1);
}

TEST_F(EntryFieldTest, ReadOnlyFieldRefusesEditingKeysWithABeepButCopies) {
  field->SetValueFromText(QStringLiteral("fixed"));
  field->SetOptions({efoReadOnly});
  Focus(field);
  field->SetSelection(0, 5);
  services->SetClipboardText(QStringLiteral("pasted"));
  Type(QStringLiteral("{Back}{Del}x{CtrlV}{CtrlZ}"));
  EXPECT_EQ(field->EditString(), QStringLiteral("fixed"));
  EXPECT_EQ(services->Beeps().size(), 5);
  field->SetSelection(0, 5);
  field->Perform(WM_COPY);
  EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("fixed"));

  controller->SetEntryOptions({});
  Type(QStringLiteral("{Back}"));
  EXPECT_EQ(services->Beeps().size(), 5) << "no beep without the option";
}

TEST_F(EntryFieldTest, CommandsAndACharacterAfterAHandledCommandKeyAreNotTyped) {
  Focus(field);
  Type(QStringLiteral("ab{CtrlZ}"));
  EXPECT_EQ(field->EditString(), QString()) << "Ctrl+Z restores and its control character is dropped";
  Type(QStringLiteral("ab{Left}"));
  field->Perform(WM_KEYDOWN, VK_LEFT, 0);
  field->Perform(WM_CHAR, 'q', 0);
  EXPECT_EQ(field->EditString(), QStringLiteral("ab"));

  // User commands reach their event and are then discarded.
  WORD seen = 0;
  field->OnUserCommand = TUserCommandEvent::From([&](TObject *, WORD command) { seen = command; });
  TMessage msg{WM_KEYDOWN, 0, 0, 0};
  field->DoCommand(msg, 300);
  EXPECT_EQ(seen, 300);
  EXPECT_EQ(field->Perform(CM_DIALOGCHAR, VK_BACK, 0x20000000), 1)
      << "Alt+Backspace is claimed from the dialog";
}

TEST_F(EntryFieldTest, ClipboardMessagesAndTheWindowText) {
  field->HandleNeeded();
  field->SetEditText(QString::fromLatin1("to\x02tal"));
  field->SetSelection(0, 3);
  field->CopyToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), QString::fromLatin1("to\x02"))
      << "control characters are copied themselves";
  field->SetSelection(0, 2);
  field->Perform(WM_CUT);
  EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("to"));
  EXPECT_EQ(field->EditString(), QString::fromLatin1("\x02tal"));
  field->SetSelection(0, 1);
  field->Perform(WM_CLEAR);
  EXPECT_EQ(field->EditString(), QStringLiteral("tal"));
  EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("to")) << "clear only deletes";

  // Setting the window text passes it through the mask.
  auto *number = Place<TOvcSimpleField>(QStringLiteral("Number"));
  number->SetDataType(sftLongInt);
  number->HandleNeeded();
  number->SetText(QStringLiteral("12a3"));
  EXPECT_EQ(number->EditString(), QStringLiteral("123"));
}

TEST_F(EntryFieldTest, RequiredAndUserValidationAndReportedErrors) {
  field->SetOptions({efoInputRequired});
  guitest::ShowAndActivate(form);
  EXPECT_FALSE(field->ValidateForExit());
  EXPECT_EQ(field->LastError(), oeRequiredField);
  EXPECT_FALSE(field->Invalid());

  field->OnUserValidation = TUserValidationEvent::From([&](TObject *, WORD &code) {
    const QString other = QStringLiteral("z");
    field->SetFieldValue(&other); // ignored while the event runs
    code = 40000;
  });
  field->SetEditText(QStringLiteral("a"));
  EXPECT_EQ(field->ValidateSelf(false), 40000);
  EXPECT_EQ(field->EditString(), QStringLiteral("a"));

  QString reported;
  field->OnError =
      TValidationErrorEvent::From([&](TObject *, WORD, const QString &text) { reported = text; });
  field->Perform(ovm_ReportError, oeRangeError);
  EXPECT_EQ(reported, QStringLiteral("Value is not within required range"));
  controller->SetErrorText(QStringLiteral("Customer must be chosen"));
  field->Perform(ovm_ReportError, 33000);
  EXPECT_EQ(reported, QStringLiteral("Customer must be chosen"));
}

TEST_F(EntryFieldTest, LeavingAnEmptyRequiredFieldReportsAndReturnsTheFocusUnlessSoftOrForASpecialControl) {
  struct Case {
    bool soft, special;
    int reports;
    bool stays;
  };
  for (const Case &c :
       {Case{false, false, 1, true}, Case{false, true, 0, false}, Case{true, false, 0, false}}) {
    SCOPED_TRACE(testing::Message() << "soft " << c.soft << " special " << c.special);
    auto *other = Add(QStringLiteral("Other%1%2").arg(c.soft).arg(c.special));
    field->SetOptions(c.soft ? TOvcEntryFieldOptions{efoInputRequired, efoSoftValidation}
                             : TOvcEntryFieldOptions{efoInputRequired});
    field->SetEditText(QString());
    controller->OnIsSpecialControl = TIsSpecialControlEvent::From(
        [&](TObject *, TWinControl *control, bool &special) { special = c.special && control == other; });
    QStringList reported;
    field->OnError =
        TValidationErrorEvent::From([&](TObject *, WORD, const QString &text) { reported << text; });
    Focus(field);
    other->SetFocus();
    guitest::ProcessEvents();
    EXPECT_EQ(reported, c.reports ? QStringList({"A value is required in this field"}) : QStringList());
    EXPECT_EQ(field->Focused(), c.stays);
    EXPECT_EQ(field->Invalid(), c.soft);
  }
}

TEST_F(EntryFieldTest, TabbingInSelectsAllUndoRestoresTheTextSavedOnEntryAndClickingSelectsNothing) {
  auto *other = Add(QStringLiteral("Other"));
  field->SetValueFromText(QStringLiteral("paid"));
  Focus(field);
  EXPECT_EQ(std::pair(field->SelectionStart(), field->SelectionEnd()), std::pair(0, 4));
  Type(QStringLiteral("due"));
  Type(QStringLiteral("{CtrlZ}"));
  EXPECT_EQ(field->EditString(), QStringLiteral("paid"));
  EXPECT_FALSE(field->Modified());

  other->SetFocus();
  guitest::ProcessEvents();
  guitest::Click(field, QPoint(60, 10));
  guitest::ProcessEvents();
  EXPECT_EQ(field->SelectionStart(), field->SelectionEnd());
  EXPECT_EQ(field->CaretPosition(), 4) << "the click placed the caret";
}

TEST_F(EntryFieldTest, RangeTextsFollowTheType) {
  // Characters read as codes up to the blank.
  field->SetDataType(edtChar);
  EXPECT_EQ(field->RangeLo(), QStringLiteral("#32"));
  field->SetRangeLo(QStringLiteral("#65"));
  EXPECT_EQ(field->RangeLo(), QStringLiteral("A"));

  // Integers follow the mask's base.
  field->SetDataType(edtWord);
  field->SetPicture(QStringLiteral("KKKK"));
  field->SetRangeHi(QStringLiteral("FF"));
  EXPECT_EQ(field->RangeHi(), QStringLiteral("00FF"));

  // Dates and times use the international pictures.
  for (std::uint8_t type : {edtDate, edtTime}) {
    field->SetDataType(type);
    const QString last = field->RangeHi();
    field->SetRangeLo(last);
    EXPECT_EQ(field->RangeLo(), last);
    EXPECT_THROW(field->SetRangeLo(last + QStringLiteral("1")), EInvalidRangeValue);
  }
}

TEST_F(EntryFieldTest, RangeTextsThatDoNotFitTheTypeRaiseAndLeaveTheRange) {
  const struct {
    std::uint8_t type;
    const char *text;
  } cases[] = {{edtWord, "65536"}, {edtSingle, "3.5e38"}, {edtChar, "#300"}};
  for (const auto &c : cases) {
    field->SetDataType(c.type);
    const QString before = field->RangeHi();
    EXPECT_THROW(field->SetRangeHi(QString::fromLatin1(c.text)), EInvalidRangeValue) << c.text;
    EXPECT_EQ(field->RangeHi(), before) << c.text;
  }
}

// Records the properties an object defines and what their writers write.
class RecordingFiler : public TFiler {
public:
  RecordingFiler() : TFiler(nullptr) {}
  void DefineProperty(const QString &, const TReaderProc &, const TWriterProc &, bool) override {}
  void DefineBinaryProperty(const QString &Name, const TStreamProc &, const TStreamProc &WriteData,
                            bool HasData) override {
    if (!HasData) return;
    TMemoryStream stream;
    WriteData(&stream);
    written.append(QStringLiteral("%1:%2").arg(Name).arg(stream.Size()));
  }
  QStringList written;
};

TEST_F(EntryFieldTest, RangesAreStoredAsTenBytesOnlyForTypesWithARangeAndValuesComeFromText) {
  RecordingFiler stringFiler;
  field->DefineProperties(&stringFiler);
  EXPECT_TRUE(stringFiler.written.isEmpty());
  field->SetDataType(edtLongInt);
  RecordingFiler filer;
  field->DefineProperties(&filer);
  EXPECT_EQ(filer.written, (QStringList{QStringLiteral("RangeHigh:10"), QStringLiteral("RangeLow:10")}));

  field->SetValueFromText(QStringLiteral("123"));
  EXPECT_THROW(field->SetValueFromText(QStringLiteral("12a")), EEntryFieldError);
  EXPECT_EQ(field->EditString(), QStringLiteral("123"));
  EXPECT_THROW(field->SetAsDayNumber(5), EInvalidDataType);
}

TEST_F(EntryFieldTest, TheCaretFollowsTheTextALongTextScrollsAndTheInsertionPointStaysWithin) {
  field->SetInsertionPoint(1);
  EXPECT_EQ(field->CaretPosition(), 0) << "only while focused";
  Focus(field);
  Type(QStringLiteral("ab"));
  const int afterTwo = field->Carets()->PosX();
  Type(QStringLiteral("cd"));
  EXPECT_GT(field->Carets()->PosX(), afterTwo);
  field->SetInsertionPoint(10);
  EXPECT_EQ(field->CaretPosition(), 4);

  // A click places the caret at the character under the mouse.
  field->SetInsertionPoint(0);
  guitest::Click(field, QPoint(field->ClientWidth() - 3, 10));
  EXPECT_EQ(field->CaretPosition(), 4);

  field->SetMaxLength(200);
  Type(QStringLiteral("{End}") + QString(60, QLatin1Char('w')));
  EXPECT_GT(field->FirstVisibleChar(), 0) << "the caret at the end of a long text stays in view";
  Type(QStringLiteral("{Home}"));
  EXPECT_EQ(field->FirstVisibleChar(), 0);
}

TEST_F(EntryFieldTest, AnInvalidFieldIsDrawnInTheErrorColours) {
  auto *other = Add(QStringLiteral("Other"));
  field->SetOptions({efoInputRequired, efoSoftValidation});
  field->EFColors()->Error()->SetBackColor(clRed);
  Focus(field);
  other->SetFocus();
  guitest::ProcessEvents();
  ASSERT_TRUE(field->Invalid());
  const QPoint inside = field->Widget()->contentsRect().center();
  EXPECT_EQ(field->Widget()->grab().toImage().pixelColor(inside), QColor(Qt::red));
  field->SetEditText(QStringLiteral("x"));
  EXPECT_TRUE(field->ValidateForExit());
  EXPECT_NE(field->Widget()->grab().toImage().pixelColor(inside), QColor(Qt::red));
}

TEST_F(EntryFieldTest, ResizingTheHeightByHandSwitchesAutoSizeOffAndOwnBordersReplaceTheWindowBorder) {
  field->HandleNeeded();
  EXPECT_TRUE(field->AutoSize());
  const int automatic = field->Height();
  field->SetBounds(field->Left(), field->Top(), field->Width(), automatic + 10);
  EXPECT_FALSE(field->AutoSize());

  field->Borders()->TopBorder()->SetEnabled(true);
  EXPECT_EQ(std::pair(field->BorderStyle(), field->Ctl3D()), std::pair(bsNone, false));
  field->Borders()->TopBorder()->SetEnabled(false);
  EXPECT_EQ(std::pair(field->BorderStyle(), field->Ctl3D()), std::pair(bsSingle, true));
}

// Which of the built-in menu's items are enabled, as a string of 0 and 1.
QString EnabledItems(TMenuItem *items) {
  QString enabled;
  for (int i = 0; i < items->Count(); ++i) enabled += items->Items(i)->Enabled() ? '1' : '0';
  return enabled;
}

TEST_F(EntryFieldTest, TheBuiltInMenuIsEnabledForTheMomentOfTheClickAndActs) {
  Focus(field);
  services->SetClipboardText(QStringLiteral("pasted"));
  field->Perform(WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  TMenuItem *items = field->BuiltInMenu()->Items();
  ASSERT_EQ(items->Count(), 8);
  // Restore, separator, Cut, Copy, Paste, Delete, separator, Select All.
  EXPECT_EQ(EnabledItems(items), "01001010");

  items->Items(4)->Click();
  EXPECT_EQ(field->EditString(), QStringLiteral("pasted"));
  field->Perform(WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(EnabledItems(items), "11001011") << "modified, something to select";
  items->Items(7)->Click();
  field->Perform(WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(EnabledItems(items), "11111110");
  items->Items(5)->Click();
  EXPECT_EQ(field->EditString(), QString());

  field->SetOptions({efoReadOnly});
  field->SetEditText(QStringLiteral("fixed"));
  field->SetSelection(0, 5);
  field->Perform(WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(EnabledItems(items).mid(2, 4), "0100") << "read-only: copy only";
}

TEST_F(EntryFieldTest, LeavingForAnotherApplicationDoesNotValidateAndKeepsTheSelection) {
  field->SetDataType(edtLongInt);
  int reports = 0;
  field->OnError = TValidationErrorEvent::From([&](TObject *, WORD, const QString &) { ++reports; });
  Focus(field);
  field->SetEditText(QStringLiteral("ab")); // not a number: leaving within the form would report it
  field->SetSelection(1, 2);
  field->Perform(WM_KILLFOCUS, 0);
  guitest::ProcessEvents();
  EXPECT_EQ(reports, 0);
  field->Perform(WM_SETFOCUS, 0);
  EXPECT_EQ(std::pair(field->SelectionStart(), field->SelectionEnd()), std::pair(1, 2));
}

} // namespace
