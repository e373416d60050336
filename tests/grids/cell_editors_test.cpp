// What every in-place editor owes its table: the keys it asks for by the table's options, the focus notices
// it posts, the drag events of its cell, and the whole text it gives back.
#include "cell_grid.h"
#include "tests/platform/drag_script.h"

namespace {

// The editors of the text, memo, combo-box and field cells over a bare table that records what reaches it,
// with an edit after it to take the focus.
class CellEditorsTest : public EntryFieldForm {
protected:
  struct Kind {
    const char *name;
    TOvcBaseTableCell *cell;
    const void *value;
    bool wantsEnter; // answers the table's Enter option
    bool postsLostFocus;
  };

  void SetUp() override {
    EntryFieldForm::SetUp();
    table = new TestTable(form);
    table->SetParent(form);
    table->SetBounds(0, 0, 300, 100);
    other = new TEdit(form);
    other->SetName("other");
    other->SetParent(form);
    other->SetBounds(0, 150, 100, 24);
    auto *combo = new TOvcTCComboBox(form);
    combo->Items()->SetCommaText("One,Two");
    kinds = {{"string", new TOvcTCString(form), &text, true, true},
             {"memo", new TOvcTCMemo(form), &text, false, true},
             {"combo box", combo, &choice, false, false},
             {"numeric field", new TOvcTCNumericField(form), &number, true, true},
             {"picture field", new TOvcTCPictureField(form), &fieldText, true, true},
             {"simple field", new TOvcTCSimpleField(form), &fieldText, true, true}};
    for (const Kind &k : kinds) k.cell->SetTable(table);
    Focus(other);
    table->Handle();
  }
  // Opens the kind's editor over (1, 1) of the table and gives it the focus, as the table does.
  TWinControl *Open(const Kind &k) {
    TFont font;
    TOvcCellAttributes attr;
    attr.Font = &font;
    k.cell->GatherAttributes(1, 1, attr);
    const TRect rect{10, 10, 150, 34};
    k.cell->StartEditing(1, 1, rect, attr, ocsPlain, k.value);
    k.cell->PlaceEditor(rect);
    guitest::ProcessEvents();
    TWinControl *editor = k.cell->EditorControl();
    if (editor) editor->SetFocus();
    guitest::ProcessEvents();
    return editor;
  }
  void Close(const Kind &k) {
    k.cell->EndEditing(false, nullptr);
    guitest::ProcessEvents();
  }
  static bool HasFocus(TWinControl *Editor) {
    QWidget *focus = QApplication::focusWidget();
    return focus && Editor->Widget() && (focus == Editor->Widget() || Editor->Widget()->isAncestorOf(focus));
  }
  QList<TMessage> Received(UINT Msg) const {
    QList<TMessage> found;
    for (const TMessage &m : table->received)
      if (m.Msg == Msg) found << m;
    return found;
  }

  TestTable *table = nullptr;
  TEdit *other = nullptr;
  QList<Kind> kinds;
  QString text = "abc";
  TOvcTCComboBoxData choice{-1, nullptr, "typed"};
  TOvcEntryValue number = std::int32_t(5);
  TOvcEntryValue fieldText = QStringLiteral("abc");
};

// Each editor asks for Tab when the table wants it (and the line editors for every key when Enter moves like
// Tab); asked for, a Tab reaches the table, else it moves the focus on.
TEST_F(CellEditorsTest, EditorsAskForTheKeysTheTableWants) {
  const LRESULT plain = tblOptAlwaysSet1 | tblOptAlwaysSet6;
  for (const Kind &k : kinds) {
    TWinControl *editor = Open(k);
    ASSERT_NE(editor, nullptr) << k.name;
    table->options = plain;
    const LRESULT base = SendMessage(k.cell->EditorWindow(), WM_GETDLGCODE, 0, 0);
    EXPECT_EQ(base & DLGC_WANTTAB, 0) << k.name;
    table->options = plain | tblOptWantsTab;
    EXPECT_EQ(SendMessage(k.cell->EditorWindow(), WM_GETDLGCODE, 0, 0), base | DLGC_WANTTAB) << k.name;
    table->options = plain | tblOptEnterLikeTab;
    EXPECT_EQ(SendMessage(k.cell->EditorWindow(), WM_GETDLGCODE, 0, 0),
              base | (k.wantsEnter ? DLGC_WANTALLKEYS : 0))
        << k.name;

    // A real Tab, with the table taking the keys it is given.
    table->keyClass = tkcTableTakes;
    for (const bool wantsTab : {true, false}) {
      table->options = plain | (wantsTab ? tblOptWantsTab : 0);
      editor = Open(k);
      ASSERT_TRUE(HasFocus(editor)) << k.name;
      table->received.clear();
      guitest::PressKey(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
      guitest::ProcessEvents();
      const QList<TMessage> keys = Received(WM_KEYDOWN);
      EXPECT_EQ(keys.size(), wantsTab ? 1 : 0) << k.name << " " << wantsTab;
      if (!keys.isEmpty()) {
        EXPECT_EQ(keys.first().WParam, WPARAM(VK_TAB)) << k.name;
      }
      EXPECT_EQ(HasFocus(editor), wantsTab) << k.name << " " << wantsTab;
      Close(k);
      Focus(other);
    }
    table->keyClass = tkcEditorKeeps;
  }
}

// Gaining the focus, an editor tells the table which window lost it; losing it, which window gains it (a
// field cell with its last error: none here). The combo box's loss reaches the table by its own notice.
TEST_F(CellEditorsTest, EditorsTellTheTableOfTheirFocus) {
  for (const Kind &k : kinds) {
    table->received.clear();
    Open(k);
    const QList<TMessage> got = Received(tcm_EditorGotFocus);
    ASSERT_EQ(got.size(), 1) << k.name;
    EXPECT_EQ(got.first().WParam, WPARAM(other->Handle())) << k.name;
    other->SetFocus();
    guitest::ProcessEvents();
    ASSERT_TRUE(other->Focused()) << k.name;
    const QList<TMessage> lost = Received(tcm_EditorLostFocus);
    ASSERT_EQ(lost.size(), k.postsLostFocus ? 1 : 0) << k.name;
    if (k.postsLostFocus) {
      EXPECT_EQ(lost.first().WParam, WPARAM(other->Handle())) << k.name;
      EXPECT_EQ(lost.first().LParam, 0) << k.name;
    }
    Close(k);
  }
}

// The cell's drag events are the editor's: a control dragged onto an open editor asks the cell's OnDragOver
// and drops through its OnDragDrop, and a drag begun from the editor ends in the cell's OnEndDrag.
TEST_F(CellEditorsTest, EditorsRaiseTheirCellsDragEvents) {
  QStringList log;
  const auto name = [](TObject *Object) {
    auto *component = dynamic_cast<TComponent *>(Object);
    return component ? (component->Name().isEmpty() ? QStringLiteral("editor") : component->Name())
                     : QStringLiteral("none");
  };
  other->OnMouseDown =
      TMouseEvent::From([this](TObject *, TMouseButton, TShiftState, int, int) { other->BeginDrag(true); });
  for (const Kind &k : kinds) {
    k.cell->OnDragOver =
        TDragOverEvent::From([&](TObject *Sender, TObject *Source, int, int, TDragState State, bool &Accept) {
          log << QStringLiteral("over %1 from %2 to %3")
                     .arg(State == dsDragEnter  ? "enter"
                          : State == dsDragMove ? "move"
                                                : "leave",
                          name(Source), name(Sender));
          Accept = true;
        });
    k.cell->OnDragDrop = TDragDropEvent::From([&](TObject *Sender, TObject *Source, int, int) {
      log << QStringLiteral("drop %1 on %2").arg(name(Source), name(Sender));
    });
    k.cell->OnMouseDown = TMouseEvent::From([](TObject *Sender, TMouseButton, TShiftState, int, int) {
      static_cast<TControl *>(Sender)->BeginDrag(true);
    });
    k.cell->OnEndDrag = TEndDragEvent::From([&](TObject *Sender, TObject *Target, int, int) {
      log << QStringLiteral("end %1 on %2").arg(name(Sender), name(Target));
    });
    TWinControl *editor = Open(k);
    ASSERT_NE(editor, nullptr) << k.name;
    const TPoint middle = editor->ClientToScreen(TPoint{editor->Width() / 2, editor->Height() / 2});
    {
      log.clear();
      ScopedDragScript onto({QPoint(middle.X, middle.Y)});
      guitest::SendMouse(other, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5}, Qt::LeftButton);
      EXPECT_EQ(log, QStringList({"over enter from other to editor", "over move from other to editor",
                                  "drop other on editor"}))
          << k.name;
    }
    {
      log.clear();
      other->OnDragOver = TDragOverEvent::From([](TObject *, TObject *, int, int, TDragState, bool &) {});
      const TPoint to = other->ClientToScreen(TPoint{5, 5});
      ScopedDragScript away({QPoint(to.X, to.Y)});
      guitest::SendMouse(editor, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5}, Qt::LeftButton);
      EXPECT_EQ(log, QStringList{"end editor on other"}) << k.name;
      other->OnDragOver = nullptr;
    }
    Close(k);
    Focus(other);
  }
}

// A memo without a limit gives back all of its text, however long.
TEST_F(CellEditorsTest, AMemoWithoutALimitGivesBackItsWholeText) {
  auto *memo = static_cast<TOvcTCMemo *>(kinds[1].cell);
  ASSERT_EQ(memo->MaxLength(), 0);
  QString typed;
  for (int i = 0; typed.length() < 300; ++i) typed += QStringLiteral(" w%1").arg(i);
  Open(kinds[1]);
  Type("{End}" + typed);
  QString value = "kept until the end";
  memo->CopyEditorValue(&value);
  EXPECT_EQ(value, "kept until the end");
  memo->EndEditing(true, &value);
  EXPECT_EQ(value, text + typed);
}

} // namespace
