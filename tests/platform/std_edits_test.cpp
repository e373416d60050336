#include "platform/widgets/std_edits.h"
#include "platform/windowing/virtual_keys.h"
#include "std_test_helpers.h"
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>

namespace {

using stdtest::PressCtrl;
using stdtest::TypeText;

// An edit that logs the messages a descendant's WndProc sees.
class LoggingEdit : public TEdit {
public:
  LoggingEdit(TComponent *owner, QStringList *log) : TEdit(owner), log_(log) {}
  void WndProc(TMessage &m) override {
    switch (m.Msg) {
    case WM_PASTE: log_->append(QStringLiteral("paste")); break;
    case WM_CUT: log_->append(QStringLiteral("cut")); break;
    case WM_COPY: log_->append(QStringLiteral("copy")); break;
    case WM_CHAR: log_->append(QStringLiteral("char %1").arg(m.WParam)); break;
    default: break;
    }
    TEdit::WndProc(m);
  }

private:
  QStringList *log_;
};

class EditsTest : public stdtest::FormTest {
protected:
  template <class T = TEdit>
  T *AddEdit(const QString &name, int top) {
    auto *edit = new T(form);
    edit->SetName(name);
    edit->SetParent(form);
    edit->SetTop(top);
    return edit;
  }
};

TEST_F(EditsTest, TypedAndPostedKeysFireKeyPressAndChangeAndTheKeyEventsCanVetoOrReplaceAKey) {
  TEdit *edit = AddEdit(QStringLiteral("Edit1"), 0);
  edit->OnKeyPress = TKeyPressEvent::From([this](TObject *, QChar &key) {
    log.append(QStringLiteral("press ") + key);
    if (key == QLatin1Char('x')) key = QChar();
    if (key == QLatin1Char('q')) key = QLatin1Char('Q');
  });
  edit->OnChange =
      TNotifyEvent::From([this, edit](TObject *) { log.append(QStringLiteral("change ") + edit->Text()); });
  Show();
  ASSERT_TRUE(edit->Focused());
  TypeText(QStringLiteral("axq"));
  EXPECT_EQ(edit->Text(), QStringLiteral("aQ"));
  EXPECT_EQ(log, QStringList({"press a", "change a", "press x", "press q", "change aQ"}));
  // The field is drawn in the window colour.
  EXPECT_EQ(edit->Widget()->grab().toImage().pixel(edit->Width() - 5, edit->Height() / 2),
            ColorToQColor(clWindow).rgb());

  // Posted key messages type as the keyboard does.
  edit->SetText(QString());
  for (char c : {'a', 'x', 'c'}) PostMessage(edit->Handle(), WM_CHAR, WPARAM(c));
  PostMessage(edit->Handle(), WM_KEYDOWN, VK_HOME);
  PostMessage(edit->Handle(), WM_CHAR, WPARAM('b'));
  PostMessage(edit->Handle(), WM_KEYDOWN, VK_END);
  PostMessage(edit->Handle(), WM_CHAR, VK_BACK);
  guitest::ProcessEvents();
  EXPECT_EQ(edit->Text(), QStringLiteral("ba"));

  // OnKeyDown can swallow a key that types nothing.
  edit->OnKeyDown = TKeyEvent::From([](TObject *, WORD &key, TShiftState) {
    if (key == VK_DELETE) key = 0;
  });
  edit->SetSelStart(0);
  guitest::PressKey(Qt::Key_Delete);
  EXPECT_EQ(edit->Text(), QStringLiteral("ba"));
  edit->OnKeyDown = nullptr;
  guitest::PressKey(Qt::Key_Delete);
  EXPECT_EQ(edit->Text(), QStringLiteral("a"));
}

TEST_F(EditsTest, ClipboardKeysAndTheContextMenuBecomeMessagesAndWorkThroughTheClipboardService) {
  auto *edit = new LoggingEdit(form, &log);
  edit->SetParent(form);
  Show();
  services->SetClipboardText(QStringLiteral("hello\r\nworld"));
  PressCtrl('V');
  // One line: what follows the line break stays out.
  EXPECT_EQ(edit->Text(), QStringLiteral("hello"));
  edit->SetSelStart(1);
  edit->SetSelLength(3);
  PressCtrl('C');
  EXPECT_EQ(services->ClipboardText(), QStringLiteral("ell"));
  PressCtrl('X');
  EXPECT_EQ(edit->Text(), QStringLiteral("ho"));
  EXPECT_EQ(services->ClipboardText(), QStringLiteral("ell"));
  edit->SetSelStart(2);
  guitest::PressKey(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(edit->Text(), QStringLiteral("hoell"));
  EXPECT_EQ(log, QStringList({"char 22", "paste", "char 3", "copy", "char 24", "cut", "paste"}));

  log.clear();
  services->SetClipboardText(QStringLiteral("XY"));
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), edit->Widget()->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(edit->Widget(), &event);
  auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  for (QAction *action : menu->actions())
    if (action->text() == QLatin1String("&Paste")) action->trigger();
  menu->close();
  EXPECT_EQ(edit->Text(), QStringLiteral("hoellXY"));
  EXPECT_EQ(log, QStringList({"paste"}));
}

TEST_F(EditsTest, MaxLengthLimitsTypingAndPastingButNotTheProgramsText) {
  TEdit *edit = AddEdit(QStringLiteral("Edit1"), 0);
  edit->SetMaxLength(4);
  Show();
  TypeText(QStringLiteral("abcdef"));
  EXPECT_EQ(services->Beeps().size(), 2);
  edit->SetText(QStringLiteral("123456"));
  EXPECT_EQ(edit->Text(), QStringLiteral("123456"));
  edit->SetSelStart(2);
  edit->SetSelLength(3);
  services->SetClipboardText(QStringLiteral("xyz"));
  edit->PasteFromClipboard();
  // Three selected characters leave room for one.
  EXPECT_EQ(edit->Text(), QStringLiteral("12x6"));
}

TEST_F(EditsTest, ReadOnlyRefusesTypingAndPastingAndAPasswordCharHidesTheTextFromTheClipboard) {
  TEdit *edit = AddEdit(QStringLiteral("Edit1"), 0);
  TEdit *password = AddEdit(QStringLiteral("Edit2"), 30);
  edit->SetText(QStringLiteral("fixed"));
  edit->Perform(EM_SETREADONLY, 1);
  password->SetPasswordChar(QLatin1Char('*'));
  Show();
  TypeText(QStringLiteral("x"));
  services->SetClipboardText(QStringLiteral("y"));
  PressCtrl('V');
  EXPECT_EQ(edit->Text(), QStringLiteral("fixed"));
  edit->SelectAll();
  PressCtrl('C');
  EXPECT_EQ(services->ClipboardText(), QStringLiteral("fixed"));

  password->SetFocus();
  services->SetClipboardText(QStringLiteral("kept"));
  TypeText(QStringLiteral("secret"));
  password->SelectAll();
  PressCtrl('C');
  EXPECT_EQ(services->ClipboardText(), QStringLiteral("kept"));
}

TEST_F(EditsTest, CharCaseAppliesToTypedAndSetText) {
  TEdit *edit = AddEdit(QStringLiteral("Edit1"), 0);
  edit->SetCharCase(ecUpperCase);
  edit->SetText(QStringLiteral("abc"));
  Show();
  edit->SetSelStart(3);
  TypeText(QStringLiteral("dE"));
  EXPECT_EQ(edit->Text(), QStringLiteral("ABCDE"));
  edit->SetCharCase(ecLowerCase);
  EXPECT_EQ(edit->Text(), QStringLiteral("abcde"));
}

TEST_F(EditsTest, SelectionModifiedAndFormattingRectangleThroughPropertiesAndMessages) {
  TEdit *edit = AddEdit(QStringLiteral("Edit1"), 0);
  edit->SetText(QStringLiteral("hello world"));
  edit->SetAutoSelect(false);
  // Before the window exists too.
  edit->SetSelStart(6);
  edit->SetSelLength(5);
  Show();
  EXPECT_EQ(edit->SelText(), QStringLiteral("world"));
  EXPECT_EQ(edit->Perform(EM_GETSEL), MAKELRESULT(6, 11));
  edit->SetSelText(QStringLiteral("there"));
  edit->Perform(EM_SETSEL, 0, -1);
  EXPECT_EQ(edit->SelText(), QStringLiteral("hello there"));
  edit->Perform(EM_SETSEL, WPARAM(-1), 0);
  EXPECT_EQ(edit->SelLength(), 0);

  // Modified follows the user and is cleared by setting the text.
  TypeText(QStringLiteral("a"));
  EXPECT_EQ(edit->Perform(EM_GETMODIFY), 1);
  edit->SetText(QStringLiteral("b"));
  EXPECT_FALSE(edit->Modified());

  TRect wanted = Rect(0, 1, edit->ClientRect().Right - 20, edit->ClientRect().Bottom);
  edit->Perform(EM_SETRECT, 0, PointerParam(&wanted));
  TRect got;
  edit->Perform(EM_GETRECT, 0, PointerParam(&got));
  EXPECT_EQ(got, wanted);
}

TEST_F(EditsTest, SelectionSurvivesLosingTheFocusAndTabbingInSelectsAll) {
  TEdit *first = AddEdit(QStringLiteral("Edit1"), 0);
  TEdit *second = AddEdit(QStringLiteral("Edit2"), 30);
  second->SetText(QStringLiteral("second"));
  first->SetText(QStringLiteral("hello world"));
  Show();
  ASSERT_TRUE(first->Focused());
  first->SetSelStart(6);
  first->SetSelLength(5);
  guitest::PressKey(Qt::Key_Tab, Qt::NoModifier, "\t");
  EXPECT_EQ(second->SelText(), QStringLiteral("second"));
  EXPECT_EQ(first->SelText(), QStringLiteral("world"));
  second->SetAutoSelect(false);
  second->SetSelStart(1);
  guitest::PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
  guitest::PressKey(Qt::Key_Tab, Qt::NoModifier, "\t");
  ASSERT_TRUE(second->Focused());
  EXPECT_EQ(second->SelLength(), 0);
}

TEST_F(EditsTest, ChangesReachTheParentAsCommandNotifications) {
  auto *notified = TCustomForm::Create<stdtest::CommandLogForm>(nullptr);
  auto *edit = new TEdit(notified);
  edit->SetName(QStringLiteral("Edit1"));
  edit->SetParent(notified);
  int changes = 0;
  edit->OnChange = TNotifyEvent::From([&changes](TObject *) { ++changes; });
  guitest::ShowAndActivate(notified);
  TypeText(QStringLiteral("a"));
  edit->SetText(QStringLiteral("set"));
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(notified->notices, QStringList({QStringLiteral("%1 from Edit1").arg(EN_CHANGE),
                                            QStringLiteral("%1 from Edit1").arg(EN_CHANGE)}));
  notified->Free();
}

TEST_F(EditsTest, TextAndStateSurviveTheWindowBeingMadeAgain) {
  auto *edit = new TEdit(form);
  edit->SetText(QStringLiteral("before window"));
  edit->SetParent(form);
  Show();
  edit->SetSelStart(0);
  TypeText(QStringLiteral("x"));
  edit->SetSelStart(2);
  edit->SetSelLength(3);
  edit->RecreateWnd();
  EXPECT_EQ(edit->Text(), QStringLiteral("xbefore window"));
  EXPECT_TRUE(edit->Modified());
  EXPECT_EQ(edit->SelText(), QStringLiteral("efo"));
}

// ---- memo ----

TEST_F(EditsTest, MemoLinesAreTheLinesOfItsTextAndALineBreakCountsTwoCharacters) {
  TMemo *memo = AddEdit<TMemo>(QStringLiteral("Memo1"), 0);
  memo->Lines()->Add(QStringLiteral("one"));
  Show();
  memo->Lines()->Insert(0, QStringLiteral("zero"));
  EXPECT_EQ(memo->Text(), QStringLiteral("zero\r\none\r\n"));
  memo->SetText(QStringLiteral("a\nb\rc"));
  EXPECT_EQ(memo->Text(), QStringLiteral("a\r\nb\r\nc"));
  EXPECT_EQ(memo->Perform(EM_LINEINDEX, 2), 6);
  // Positions count a line break as two characters.
  memo->SetText(QStringLiteral("ab\r\ncd"));
  memo->SetSelStart(1);
  memo->SetSelLength(3);
  EXPECT_EQ(memo->SelText(), QStringLiteral("b\r\n"));
  EXPECT_EQ(memo->CaretPos(), (TPoint{0, 1}));
}

TEST_F(EditsTest, MouseInAMemosTextAreaReachesTheMemoAndPlacesTheCaret) {
  TMemo *memo = AddEdit<TMemo>(QStringLiteral("Memo1"), 0);
  memo->SetText(QStringLiteral("first line\r\nsecond line"));
  memo->OnMouseDown = TMouseEvent::From([this](TObject *, TMouseButton button, TShiftState, int x, int y) {
    log.append(QStringLiteral("down %1 %2 %3").arg(button).arg(x).arg(y));
  });
  Show();
  memo->SetSelStart(0);
  QWidget *viewport = dynamic_cast<QPlainTextEdit *>(memo->Widget())->viewport();
  const QPoint at(40, viewport->height() - 2);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(viewport->mapToGlobal(at)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(viewport->mapToGlobal(at)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &release);
  EXPECT_EQ(log, QStringList({QStringLiteral("down 0 40 %1").arg(at.y())}));
  // Clicked low in the text area: the caret went to the second line.
  EXPECT_EQ(memo->CaretPos().Y, 1);
}

TEST_F(EditsTest, HiddenSelectionWhileUnfocused) {
  TEdit *edit = AddEdit(QStringLiteral("Edit1"), 0);
  TEdit *other = AddEdit(QStringLiteral("Edit2"), 30);
  edit->SetText(QStringLiteral("text"));
  Show();
  edit->SelectAll();
  auto highlight = [edit] { return edit->Widget()->palette().color(QPalette::Active, QPalette::Highlight); };
  const QColor shown = highlight();
  other->SetFocus();
  EXPECT_EQ(highlight(), edit->Widget()->palette().color(QPalette::Active, QPalette::Base));
  edit->SetFocus();
  EXPECT_EQ(highlight(), shown);
}

TEST_F(EditsTest, MemoEnterTabAndMaxLength) {
  TMemo *memo = AddEdit<TMemo>(QStringLiteral("Memo1"), 0);
  TEdit *after = AddEdit(QStringLiteral("Edit1"), 100);
  memo->SetMaxLength(6);
  Show();
  ASSERT_TRUE(memo->Focused());
  TypeText(QStringLiteral("ab"));
  guitest::PressKey(Qt::Key_Return, Qt::NoModifier, "\r");
  TypeText(QStringLiteral("cde"));
  // The line break counts two characters: "ab\r\ncd" fills the six.
  EXPECT_EQ(memo->Text(), QStringLiteral("ab\r\ncd"));
  memo->SetMaxLength(0);
  memo->SetWantReturns(false);
  guitest::PressKey(Qt::Key_Return, Qt::NoModifier, "\r");
  EXPECT_EQ(memo->Text(), QStringLiteral("ab\r\ncd"));
  memo->SetWantTabs(true);
  guitest::PressKey(Qt::Key_Tab, Qt::NoModifier, "\t");
  EXPECT_EQ(memo->Text(), QStringLiteral("ab\r\ncd\t"));
  memo->SetWantTabs(false);
  guitest::PressKey(Qt::Key_Tab, Qt::NoModifier, "\t");
  EXPECT_TRUE(after->Focused());
}

// ---- edit masks ----

struct TranslationCase {
  const char *mask;
  const char *qt;
};

TEST(EditMask, TranslatesIntoQtsInputMask) {
  const TranslationCase cases[] = {// Required and optional digits swap their letters.
                                   {"!90:99:99;1;_", "09:00:00;_"},
                                   {"LlAaCc", "AaNnXx;_"},
                                   // Case changes; "<>" turns case changing off.
                                   {">LL<ll<>L", ">AA<aa!A;_"},
                                   // Literals that Qt would read as mask characters are escaped.
                                   {"\\A\\9;0;_", "\\A\\9;_"},
                                   {"x#", "\\x#;_"},
                                   // "_" is a blank; the third field names the blank character.
                                   {"9_9;1;*", "0 0;*"},
                                   {"", ""}};
  for (const TranslationCase &c : cases) {
    const TEditMask mask(QString::fromLatin1(c.mask), QLatin1Char('.'), QLatin1Char(':'));
    EXPECT_EQ(mask.QtInputMask(), QString::fromLatin1(c.qt)) << c.mask;
  }
}

struct LayoutCase {
  const char *mask;
  const char *value;
  const char *editText;
  const char *text;
  int firstMissing = -1; // the first required position left blank
};

TEST(EditMask, ValueToEditTextAndBack) {
  const LayoutCase cases[] = {{"99/99/9999;1;_", "", "__/__/____", "  /  /    "},
                              {"99/99/9999;0;_", "12312024", "12/31/2024", "12312024"},
                              // Without "!" a short field gets trailing blanks, with it leading ones.
                              {"90:99:99;1;_", "1:23:45", "1_:23:45", "1 :23:45", 1},
                              {"!90:99:99;1;_", "1:23:45", "_1:23:45", " 1:23:45"},
                              // A character that does not fit leaves its position blank.
                              {"000;1;_", "1a2", "1_2", "1 2", 1},
                              {"00-99;1;_", "12", "12-__", "12-  "}};
  for (const LayoutCase &c : cases) {
    SCOPED_TRACE(c.mask);
    const TEditMask mask(QString::fromLatin1(c.mask), QLatin1Char('/'), QLatin1Char(':'));
    const QString editText = mask.EditTextFor(QString::fromLatin1(c.value));
    EXPECT_EQ(editText, QString::fromLatin1(c.editText));
    EXPECT_EQ(mask.TextOf(editText), QString::fromLatin1(c.text));
    EXPECT_EQ(mask.FirstMissing(editText), c.firstMissing);
  }
}

TEST_F(EditsTest, MaskedEditShowsReadsAndTypesItsTextThroughTheMask) {
  TMaskEdit *edit = AddEdit<TMaskEdit>(QStringLiteral("MaskEdit1"), 0);
  edit->SetEditMask(QStringLiteral("00/00/0000;1;_"));
  // Blanks of required positions keep their places (Qt alone would move the characters after them up).
  edit->SetText(QStringLiteral("1 /3 /2024"));
  Show();
  EXPECT_EQ(edit->EditText(), QStringLiteral("1_/3_/2024"));
  EXPECT_EQ(edit->Text(), QStringLiteral("1 /3 /2024"));

  // Typing fills the positions and skips the literals.
  edit->SetEditMask(QStringLiteral("!99/99/9999;1;_"));
  edit->SetText(QString());
  int changes = 0;
  edit->OnChange = TNotifyEvent::From([&changes](TObject *) { ++changes; });
  edit->SetSelStart(0);
  TypeText(QStringLiteral("12x31"));
  EXPECT_EQ(edit->EditText(), QStringLiteral("12/31/____"));
  EXPECT_EQ(changes, 4);
}

TEST_F(EditsTest, AMaskWithALiteralSemicolonIsRefusedAndTheOldMaskStays) {
  TMaskEdit *edit = AddEdit<TMaskEdit>(QStringLiteral("MaskEdit1"), 0);
  edit->SetEditMask(QStringLiteral("00-00;1;_"));
  edit->SetText(QStringLiteral("12-34"));
  Show();
  for (const char *mask : {"0\\;0", "00\\;00;1;_"}) {
    SCOPED_TRACE(mask);
    EXPECT_THROW(edit->SetEditMask(QString::fromLatin1(mask)), EInvalidOperation);
    EXPECT_EQ(edit->EditMask(), QStringLiteral("00-00;1;_"));
    EXPECT_EQ(edit->EditText(), QStringLiteral("12-34"));
  }
  EXPECT_THROW(TEditMask(QStringLiteral("00:00"), QLatin1Char('/'), QLatin1Char(';')), EInvalidOperation);
}

TEST_F(EditsTest, LeavingAnIncompleteMaskedEditIsRefusedAndEscapeUndoes) {
  TMaskEdit *edit = AddEdit<TMaskEdit>(QStringLiteral("MaskEdit1"), 0);
  TEdit *other = AddEdit(QStringLiteral("Edit1"), 30);
  edit->SetEditMask(QStringLiteral("000;1;_"));
  Show();
  ASSERT_TRUE(edit->Focused());
  edit->SetSelStart(0);
  TypeText(QStringLiteral("1"));
  guitest::PressKey(Qt::Key_Tab, Qt::NoModifier, "\t");
  guitest::ProcessEvents();
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_TRUE(services->MessageBoxes().first().Text.startsWith(QString::fromLatin1(SMaskEditErr)));
  EXPECT_TRUE(edit->Focused());
  EXPECT_FALSE(other->Focused());
  guitest::PressKey(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
  EXPECT_EQ(edit->EditText(), QStringLiteral("___"));
  EXPECT_FALSE(edit->Modified());
  guitest::PressKey(Qt::Key_Tab, Qt::NoModifier, "\t");
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(services->MessageBoxes().size(), 1);
}

} // namespace
