#include "controls/framework/controller.h"
#include "grids/base/cell.h"
#include "platform/core/filer.h"
#include "platform/core/streams.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/virtual_keys.h"
#include "test_table.h"
#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

class TableCellTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetName(QStringLiteral("Form"));
    table = new TestTable(form);
    table->SetName(QStringLiteral("Table"));
    table->SetParent(form);
    table->SetBounds(0, 0, 200, 100);
    table->SetColor(clYellow);
    cell = new TOvcBaseTableCell(form);
    cell->SetName(QStringLiteral("Cell"));
  }
  void TearDown() override {
    form->Free();
    QApplication::processEvents();
  }
  void OpenWindow() { table->Handle(); }

  TForm *form = nullptr;
  TestTable *table = nullptr;
  TOvcBaseTableCell *cell = nullptr;
};

TEST_F(TableCellTest, StartsWithTheDefaults) {
  EXPECT_EQ(cell->Margin(), 4);
  EXPECT_EQ(cell->TextHiColor(), clBtnHighlight);
  EXPECT_EQ(cell->Access(), otxDefault);
  EXPECT_EQ(cell->Adjust(), otaDefault);
  EXPECT_EQ(cell->TextStyle(), tsFlat);
  EXPECT_TRUE(cell->TableColor());
  EXPECT_TRUE(cell->TableFont());
  EXPECT_FALSE(cell->ShowHint());
  EXPECT_EQ(cell->Color(), clBtnFace);
  EXPECT_EQ(cell->UserCount(), 0);
  EXPECT_EQ(cell->About(), QStringLiteral("v4.06"));
  cell->SetAbout(QStringLiteral("x"));
  EXPECT_EQ(cell->About(), QStringLiteral("v4.06"));
  EXPECT_FALSE(cell->IsColorStored());
  EXPECT_FALSE(cell->IsFontStored());
}

TEST_F(TableCellTest, SettersFireTheChangeHookOnlyOnARealChange) {
  cell->SetTable(table);
  cell->AddUser();
  struct Case {
    const char *what;
    std::function<void()> change;
    bool fires;
  };
  const Case cases[] = {
      {"access", [&] { cell->SetAccess(otxReadOnly); }, true},
      {"same access", [&] { cell->SetAccess(otxReadOnly); }, false},
      {"adjust", [&] { cell->SetAdjust(otaCenter); }, true},
      {"same adjust", [&] { cell->SetAdjust(otaCenter); }, false},
      {"hi colour", [&] { cell->SetTextHiColor(clRed); }, true},
      {"same hi colour", [&] { cell->SetTextHiColor(clRed); }, false},
      {"style", [&] { cell->SetTextStyle(tsRaised); }, true},
      {"same style", [&] { cell->SetTextStyle(tsRaised); }, false},
      {"margin", [&] { cell->SetMargin(6); }, true},
      {"negative margin", [&] { cell->SetMargin(-1); }, false},
      {"hint", [&] { cell->SetHint(QStringLiteral("h")); }, false},
      {"colour", [&] { cell->SetColor(clGreen); }, true},
      {"font size", [&] { cell->Font()->SetSize(14); }, true},
  };
  for (const Case &c : cases) {
    table->changedCells.clear();
    c.change();
    EXPECT_EQ(table->changedCells.size(), c.fires ? 1 : 0) << c.what;
    if (c.fires && !table->changedCells.isEmpty()) {
      EXPECT_EQ(table->changedCells[0], cell) << c.what;
    }
  }
  EXPECT_EQ(cell->Margin(), 6);
  EXPECT_EQ(cell->Hint(), QStringLiteral("h"));
}

TEST_F(TableCellTest, TakesTheTableColourOnceTheTableHasAWindow) {
  cell->SetTable(table);
  EXPECT_EQ(cell->Color(), clBtnFace);
  OpenWindow();
  EXPECT_EQ(cell->Color(), clYellow);
  // Setting its own colour stops following the table; setting TableColor back fetches it at once.
  cell->SetColor(clRed);
  EXPECT_FALSE(cell->TableColor());
  EXPECT_TRUE(cell->IsColorStored());
  EXPECT_EQ(cell->Color(), clRed);
  cell->SetTableColor(true);
  EXPECT_EQ(cell->Color(), clYellow);
}

TEST_F(TableCellTest, TheTablesColourAndFontChangesReachItsCells) {
  table->Font()->SetSize(17);
  cell->SetTable(table);
  cell->AddUser();
  OpenWindow();
  EXPECT_EQ(cell->Font()->Size(), 17);
  EXPECT_EQ(cell->Color(), clYellow);
  // The table tells its cells when its colour or font changes.
  table->SetColor(clLime);
  table->Font()->SetSize(19);
  EXPECT_EQ(cell->Color(), clLime);
  EXPECT_EQ(cell->Font()->Size(), 19);
  EXPECT_TRUE(cell->TableFont());
  // A cell with its own font and colour keeps them.
  cell->Font()->SetSize(9);
  cell->SetColor(clRed);
  EXPECT_FALSE(cell->TableFont());
  EXPECT_TRUE(cell->IsFontStored());
  table->Font()->SetSize(21);
  table->SetColor(clAqua);
  EXPECT_EQ(cell->Font()->Size(), 9);
  EXPECT_EQ(cell->Color(), clRed);
  cell->SetTableFont(true);
  EXPECT_EQ(cell->Font()->Size(), 21);
}

TEST_F(TableCellTest, UsersRegisterAndUnregisterTheCell) {
  cell->SetTable(table);
  cell->AddUser();
  cell->AddUser();
  EXPECT_EQ(table->RegisteredCells(), QList<TOvcBaseTableCell *>{cell});
  cell->RemoveUser();
  EXPECT_EQ(table->RegisteredCells().size(), 1);
  cell->RemoveUser();
  EXPECT_TRUE(table->RegisteredCells().isEmpty());
  EXPECT_EQ(cell->Table(), nullptr);
  cell->RemoveUser(); // no users left: nothing happens
  EXPECT_EQ(cell->UserCount(), 0);
  cell->SetColor(clRed); // the hook is gone
  EXPECT_TRUE(table->changedCells.isEmpty());
}

TEST_F(TableCellTest, RegistryKeepsEachCellOnceInOrder) {
  auto *second = new TOvcBaseTableCell(form);
  table->RegisterCell(cell);
  table->RegisterCell(second);
  table->RegisterCell(cell);
  table->RegisterCell(nullptr);
  EXPECT_EQ(table->RegisteredCells(), (QList<TOvcBaseTableCell *>{cell, second}));
}

TEST_F(TableCellTest, LeavingTheTableTellsIt) {
  OpenWindow();
  cell->SetTable(table);
  cell->AddUser();
  auto *other = new TestTable(form);
  cell->SetTable(other);
  EXPECT_EQ(table->detached, QList<TObject *>{cell});
  EXPECT_TRUE(table->RegisteredCells().isEmpty());
  EXPECT_EQ(cell->UserCount(), 0);
}

TEST_F(TableCellTest, AFreedCellLeavesTheRegistryEvenWithoutATableWindow) {
  cell->SetTable(table);
  cell->AddUser();
  cell->Free();
  cell = nullptr;
  EXPECT_TRUE(table->RegisteredCells().isEmpty());
}

TEST_F(TableCellTest, AFreedTableUnlinksItsCells) {
  cell->SetTable(table);
  cell->AddUser();
  table->Free();
  table = nullptr;
  EXPECT_EQ(cell->Table(), nullptr);
  EXPECT_EQ(cell->ActiveRow(), 0);
}

TEST_F(TableCellTest, QueriesAnswerZeroUntilTheTableHasAWindow) {
  cell->SetTable(table);
  table->options |= tblOptWantsTab | tblOptEnterLikeTab;
  EXPECT_EQ(cell->LockedColumns(), 0);
  EXPECT_EQ(cell->ActiveRow(), 0);
  EXPECT_FALSE(cell->TableWantsTab());
  OpenWindow();
  EXPECT_EQ(cell->LockedColumns(), 1);
  EXPECT_EQ(cell->LockedRows(), 2);
  EXPECT_EQ(cell->ActiveColumn(), 3);
  EXPECT_EQ(cell->ActiveRow(), 4);
  EXPECT_TRUE(cell->TableWantsTab());
  EXPECT_TRUE(cell->TableWantsEnter());
  table->options = tblOptWantsTab;
  EXPECT_FALSE(cell->TableWantsEnter());
}

TEST_F(TableCellTest, KeysAndNoticesReachTheTable) {
  EXPECT_EQ(cell->AskTableKeyFilter(TMessage{WM_KEYDOWN, VK_UP, 0, 0}), tkcEditorKeeps);
  cell->SetTable(table);
  table->keyClass = tkcNavigation;
  EXPECT_EQ(cell->AskTableKeyFilter(TMessage{WM_KEYDOWN, VK_UP, 0, 0}), tkcNavigation);
  EXPECT_EQ(table->lastClassified, int(VK_UP));

  cell->PostKeyToTable(TMessage{WM_KEYDOWN, 0x12345 | VK_NEXT, 77, 0}); // no window yet: dropped
  OpenWindow();
  cell->PostKeyToTable(TMessage{WM_KEYDOWN, 0x10000 | VK_NEXT, 77, 0});
  cell->PostToTable(tcm_EditorGotFocus, 5, 0);
  QApplication::processEvents();
  ASSERT_EQ(table->received.size(), 2);
  EXPECT_EQ(table->received[0].Msg, WM_KEYDOWN);
  EXPECT_EQ(table->received[0].WParam, WPARAM(VK_NEXT));
  EXPECT_EQ(table->received[0].LParam, 77);
  EXPECT_EQ(table->received[1].Msg, tcm_EditorGotFocus);
  EXPECT_EQ(table->received[1].WParam, 5u);
}

TEST_F(TableCellTest, GatherAttributesFillsAndTheTableAdjusts) {
  TFont font;
  TOvcCellAttributes attr;
  attr.Font = &font;
  cell->SetColor(clOvcDefaultCellColor);
  cell->Font()->SetColor(clNavy);
  cell->Font()->SetSize(13);
  cell->SetTextStyle(tsLowered);
  cell->GatherAttributes(2, 3, attr);
  EXPECT_EQ(attr.Access, otxNormal);
  EXPECT_EQ(attr.Adjust, otaCenterLeft);
  EXPECT_EQ(attr.Color, clBtnFace);
  EXPECT_EQ(attr.FontColor, clNavy);
  EXPECT_EQ(font.Size(), 13);
  EXPECT_EQ(attr.FontHiColor, clBtnHighlight);
  EXPECT_EQ(attr.TextStyle, tsLowered);

  cell->SetTable(table);
  table->forceReadOnly = true;
  cell->SetAdjust(otaBottomRight);
  cell->GatherAttributes(5, 6, attr);
  EXPECT_EQ(table->adjustedAt, std::make_pair(5, 6));
  EXPECT_EQ(attr.Access, otxReadOnly);
  EXPECT_EQ(attr.Adjust, otaBottomRight);
}

TEST_F(TableCellTest, OwnerDrawReplacesThePainting) {
  QImage image(20, 10, QImage::Format_RGB32);
  image.fill(Qt::white);
  TCanvas canvas(&image);
  TOvcCellAttributes attr;
  attr.Color = clRed;
  int calls = 0;
  bool done = false;
  cell->OnOwnerDraw =
      TCellPaintNotifyEvent::From([&](TObject *, TCanvas *, const TRect &, int, int,
                                      const TOvcCellAttributes &, const void *, bool &DoneIt) {
        ++calls;
        EXPECT_FALSE(DoneIt);
        DoneIt = done;
      });
  done = true;
  cell->Paint(&canvas, TRect{0, 0, 20, 10}, 0, 0, attr, nullptr);
  canvas.SetDevice(nullptr);
  EXPECT_EQ(QColor(image.pixel(5, 5)), QColor(Qt::white));
  canvas.SetDevice(&image);
  done = false;
  cell->Paint(&canvas, TRect{0, 0, 20, 10}, 0, 0, attr, nullptr);
  canvas.SetDevice(nullptr);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(QColor(image.pixel(5, 5)), QColor(Qt::red));
}

TEST_F(TableCellTest, CellDataNamesOwnerAndCell) {
  auto *ownerless = new TOvcBaseTableCell(nullptr);
  ownerless->SetName(QStringLiteral("Loose"));
  table->RegisterCell(cell);
  table->RegisterCell(ownerless);
  EXPECT_EQ(table->CellDataStrings(), (QStringList{QStringLiteral("Form.Cell"), QStringLiteral("Loose")}));

  TMemoryStream stream;
  TWriter writer(&stream);
  writer.WriteProperties(table);
  stream.SetPosition(0);
  auto *copy = new TestTable(form);
  TReader reader(&stream);
  reader.ReadProperties(copy);
  ASSERT_NE(copy->LoadedCellNames(), nullptr);
  EXPECT_EQ(copy->LoadedCellNames()->Count(), 2);
  EXPECT_EQ(copy->LoadedCellNames()->Strings(0), QStringLiteral("Form.Cell"));
  EXPECT_EQ(copy->LoadedCellNames()->Strings(1), QStringLiteral("Loose"));
  table->UnregisterCell(ownerless);
  ownerless->Free();
}

TEST_F(TableCellTest, ScalingTheFormScalesTheTableAndTheCellsOwnFonts) {
  auto *own = new TOvcBaseTableCell(form);
  own->Font()->SetSize(10);
  cell->Font()->SetSize(10);
  cell->SetTableFont(true);
  table->RegisterCell(cell);
  table->RegisterCell(own);
  form->ScaleBy(3, 2);
  EXPECT_EQ(table->Width(), 300);
  EXPECT_EQ(own->Font()->Size(), 15);
  EXPECT_EQ(cell->Font()->Size(), 10);
}

TEST_F(TableCellTest, TableTakesTheControllerOfItsForm) {
  auto *controller = new TOvcController(form);
  OpenWindow();
  EXPECT_EQ(table->Controller(), controller);
  controller->Free();
  EXPECT_EQ(table->Controller(), nullptr);
}

TEST(TableErrorTest, RaisesTheNumberedLibraryMessage) {
  try {
    RaiseTableError(0);
    FAIL() << "no exception";
  } catch (const EDuvizivTable &e) {
    EXPECT_FALSE(e.Message().isEmpty());
  }
}

} // namespace
