#include "platform/widgets/std_combo_box.h"
#include "platform/windowing/virtual_keys.h"
#include "std_test_helpers.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

namespace {

using stdtest::TypeText;

// A box whose edit part logs what its procedure sees and drops typed 'x'.
class FilteringCombo : public TComboBox {
public:
  FilteringCombo(TComponent *owner, QStringList *log) : TComboBox(owner), log_(log) {}

protected:
  void EditWndProc(TMessage &m) override {
    if (m.Msg == WM_KEYDOWN) log_->append(QStringLiteral("edit keydown %1").arg(m.WParam));
    if (m.Msg == WM_CHAR && m.WParam == 'x') return;
    if (m.Msg == WM_USER) {
      log_->append(QStringLiteral("edit user"));
      return;
    }
    TComboBox::EditWndProc(m);
  }

private:
  QStringList *log_;
};

class ComboBoxTest : public stdtest::FormTest {
protected:
  void SetUp() override {
    FormTest::SetUp();
    // The search text of a list lasts as long as the test needs it.
    savedInterval = QApplication::keyboardInputInterval();
    QApplication::setKeyboardInputInterval(60000);
  }
  void TearDown() override {
    QApplication::setKeyboardInputInterval(savedInterval);
    FormTest::TearDown();
  }
  template <class T = TComboBox>
  T *AddCombo(TComboBoxStyle style) {
    auto *combo = new T(form);
    combo->SetStyle(style);
    for (const char *fruit : {"Apple", "Banana", "Blueberry", "Cherry"})
      combo->Items()->Add(QString::fromLatin1(fruit));
    combo->SetParent(form);
    return combo;
  }
  void LogEvents(TCustomComboBox *combo) {
    combo->OnChange = TNotifyEvent::From(
        [this, combo](TObject *) { log.append(QStringLiteral("change ") + combo->Text()); });
    combo->OnClick = TNotifyEvent::From([this](TObject *) { log.append(QStringLiteral("click")); });
    combo->OnDropDown = TNotifyEvent::From([this](TObject *) { log.append(QStringLiteral("dropdown")); });
    combo->OnCloseUp = TNotifyEvent::From([this](TObject *) { log.append(QStringLiteral("closeup")); });
  }
  int savedInterval = 0;
};

TEST_F(ComboBoxTest, ItemsAndSelectionWithAndWithoutWindowAndSortedBoxes) {
  TComboBox *combo = AddCombo(csDropDownList);
  combo->SetItemIndex(2);
  Show();
  EXPECT_EQ(dynamic_cast<QComboBox *>(combo->Widget())->currentText(), QStringLiteral("Blueberry"));
  // Inserting before the selection keeps the same entry selected; deleting it selects nothing.
  combo->Items()->Insert(0, QStringLiteral("Apricot"));
  EXPECT_EQ(combo->ItemIndex(), 3);
  combo->Items()->Delete(3);
  EXPECT_EQ(combo->Text(), QString());
  // Filling an empty box selects nothing (Qt would select the first entry).
  combo->Items()->Clear();
  combo->Items()->Add(QStringLiteral("Only"));
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetText(QStringLiteral("only"));
  combo->RecreateWnd();
  EXPECT_EQ(combo->ItemIndex(), 0);

  // A sorted box adds in order and keeps its selection.
  auto *sorted = new TComboBox(form);
  sorted->Items()->Add(QStringLiteral("pear"));
  sorted->Items()->Add(QStringLiteral("Apple"));
  sorted->SetItemIndex(0);
  sorted->SetSorted(true);
  sorted->Items()->Add(QStringLiteral("fig"));
  EXPECT_EQ(sorted->Items()->CommaText(), QStringLiteral("Apple,fig,pear"));
  EXPECT_EQ(sorted->ItemIndex(), 2);
}

TEST_F(ComboBoxTest, TypingAndArrowsInAListChooseButTheProgramsChoiceFiresNothing) {
  TComboBox *combo = AddCombo(csDropDownList);
  LogEvents(combo);
  Show();
  ASSERT_TRUE(combo->Focused());
  TypeText(QStringLiteral("bL"));
  // Nothing starts with "blz": the search starts again at "z", which finds nothing either.
  TypeText(QStringLiteral("z"));
  EXPECT_EQ(combo->ItemIndex(), 2);
  TypeText(QStringLiteral("c"));
  // The same letter again steps through the entries starting with it.
  TypeText(QStringLiteral("bb"));
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(log, QStringList({"click", "change Banana", "click", "change Blueberry", "click", "change Cherry",
                              "click", "change Banana", "click", "change Blueberry"}));
  // After a pause the search begins afresh.
  QApplication::setKeyboardInputInterval(0);
  TypeText(QStringLiteral("a"));
  EXPECT_EQ(combo->ItemIndex(), 0);

  // The arrow keys choose; the program's choice fires nothing.
  log.clear();
  combo->SetItemIndex(0);
  EXPECT_TRUE(log.isEmpty());
  guitest::PressKey(Qt::Key_Down);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(log, QStringList({"click", "change Banana"}));
}

TEST_F(ComboBoxTest, EditableBoxCompletesTheTypedText) {
  TComboBox *combo = AddCombo(csDropDown);
  LogEvents(combo);
  Show();
  ASSERT_TRUE(combo->Focused());
  TypeText(QStringLiteral("b"));
  EXPECT_EQ(combo->Text(), QStringLiteral("banana"));
  EXPECT_EQ(combo->SelText(), QStringLiteral("anana"));
  TypeText(QStringLiteral("l"));
  EXPECT_EQ(combo->ItemIndex(), 2);
  // Backspace removes the completion; a character that starts no entry is just typed.
  guitest::PressKey(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
  EXPECT_EQ(combo->Text(), QStringLiteral("bl"));
  TypeText(QStringLiteral("x"));
  EXPECT_EQ(log,
            QStringList({"click", "change banana", "click", "change blueberry", "change bl", "change blx"}));
  combo->SetAutoComplete(false);
  combo->SetText(QString());
  TypeText(QStringLiteral("c"));
  EXPECT_EQ(combo->Text(), QStringLiteral("c"));
}

TEST_F(ComboBoxTest, SentKeyMessagesTypeAsTheKeyboardDoesAndDroppingDownReportsItself) {
  TComboBox *list = AddCombo(csDropDownList);
  TComboBox *editable = AddCombo(csDropDown);
  editable->SetTop(40);
  editable->SetAutoComplete(false);
  Show();
  SendMessage(list->Handle(), WM_CHAR, 'c');
  SendMessage(list->Handle(), WM_KEYDOWN, VK_UP);
  EXPECT_EQ(list->ItemIndex(), 2);
  SendMessage(editable->Handle(), WM_CHAR, 'k');
  SendMessage(editable->Handle(), WM_CHAR, 'i');
  SendMessage(editable->Handle(), WM_CHAR, VK_BACK);
  EXPECT_EQ(editable->Text(), QStringLiteral("k"));

  // Dropping down and closing up report themselves.
  TComboBox *combo = list;
  LogEvents(combo);
  combo->SetDroppedDown(true);
  guitest::ProcessEvents();
  EXPECT_TRUE(combo->DroppedDown());
  combo->SetDroppedDown(false);
  EXPECT_EQ(log, QStringList({"dropdown", "closeup"}));
}

TEST_F(ComboBoxTest, KeysOfAnEditableBoxGoThroughItsEditProcedureAndWithout3DItHasNoFrame) {
  auto *filtering = new FilteringCombo(form, &log);
  filtering->SetParent(form);
  filtering->SetTop(40);
  filtering->SetAutoComplete(false);
  Show();
  filtering->SetFocus();
  TypeText(QStringLiteral("axb"));
  EXPECT_EQ(filtering->Text(), QStringLiteral("ab"));
  EXPECT_EQ(log, QStringList({"edit keydown 65", "edit keydown 88", "edit keydown 66"}));
  SendMessage(filtering->EditHandle(), WM_USER);
  EXPECT_EQ(log.last(), QStringLiteral("edit user"));

  // Without the 3-D look the box has no frame.
  TComboBox *combo = filtering;
  auto *widget = static_cast<QComboBox *>(combo->Widget());
  combo->SetCtl3D(false);
  EXPECT_FALSE(widget->hasFrame());
}

TEST_F(ComboBoxTest, OwnerDrawnEntriesAndTheShownEntryAreDrawnByTheControl) {
  TComboBox *combo = AddCombo(csOwnerDrawVariable);
  QStringList drawn;
  QStringList measured;
  combo->OnMeasureItem = TMeasureItemEvent::From([&measured](TWinControl *, int index, int &height) {
    measured.append(QString::number(index));
    height = 20 + index;
  });
  combo->OnDrawItem =
      TDrawItemEvent::From([&drawn, combo](TWinControl *, int index, TRect rect, TOwnerDrawState state) {
        drawn.append(QStringLiteral("%1%2").arg(index).arg(state.Contains(odComboBoxEdit) ? " edit" : ""));
        combo->Canvas()->Brush()->SetColor(clLime);
        combo->Canvas()->FillRect(rect);
      });
  combo->SetItemIndex(3);
  Show();
  // The shown entry's picture is checked with the colour box built on this one.
  combo->Widget()->grab();
  EXPECT_TRUE(drawn.contains(QStringLiteral("3 edit")));
  drawn.clear();
  combo->SetDroppedDown(true);
  guitest::ProcessEvents();
  QAbstractItemView *view = dynamic_cast<QComboBox *>(combo->Widget())->view();
  view->window()->grab();
  EXPECT_TRUE(drawn.contains(QStringLiteral("2")));
  EXPECT_TRUE(measured.contains(QStringLiteral("1")));
  EXPECT_EQ(view->visualRect(view->model()->index(2, 0)).height(), 22);
  combo->SetDroppedDown(false);
}

TEST_F(ComboBoxTest, SelectionAndFocusNotificationsReachTheParent) {
  auto *parent = TCustomForm::Create<stdtest::CommandLogForm>(nullptr);
  auto *combo = new TComboBox(parent);
  combo->SetName(QStringLiteral("Box"));
  combo->SetStyle(csDropDownList);
  combo->Items()->SetCommaText(QStringLiteral("one,two"));
  combo->SetParent(parent);
  auto *other = new TComboBox(parent);
  other->SetParent(parent);
  other->SetTop(40);
  other->SetName(QStringLiteral("Other"));
  guitest::ShowAndActivate(parent);
  guitest::PressKey(Qt::Key_Down);
  guitest::PressKey(Qt::Key_Tab);
  EXPECT_EQ(parent->notices.filter(QStringLiteral(" from Box")),
            QStringList({QStringLiteral("%1 from Box").arg(CBN_SETFOCUS),
                         QStringLiteral("%1 from Box").arg(CBN_SELCHANGE),
                         QStringLiteral("%1 from Box").arg(CBN_KILLFOCUS)}));
  parent->Free();
}

} // namespace
