// The cell base and the table ancestor: change notices, colour and font taken from the table, the cell
// registry as cells and tables come and go, queries and messages to the table, attributes, owner drawing,
// the stored cell names and scaling.
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
    form->SetName("Form");
    table = new TestTable(form);
    table->SetName("Table");
    table->SetParent(form);
    table->SetBounds(0, 0, 200, 100);
    table->SetColor(clYellow);
    cell = new TOvcBaseTableCell(form);
    cell->SetName("Cell");
  }
  void TearDown() override {
    form->Free();
    QApplication::processEvents();
  }
  // The cell used by the table.
  void Use() {
    cell->SetTable(table);
    cell->AddUser();
  }

  TForm *form = nullptr;
  TestTable *table = nullptr;
  TOvcBaseTableCell *cell = nullptr;
};

TEST_F(TableCellTest, SettersFireTheChangeHookOnlyOnARealChange) {
  Use();
  const std::tuple<const char *, std::function<void()>, bool> cases[] = {
      {"access", [&] { cell->SetAccess(otxReadOnly); }, true},
      {"same access", [&] { cell->SetAccess(otxReadOnly); }, false},
      {"margin", [&] { cell->SetMargin(6); }, true},
      {"negative margin", [&] { cell->SetMargin(-1); }, false},
      {"hint", [&] { cell->SetHint("h"); }, false},
      {"colour", [&] { cell->SetColor(clGreen); }, true},
      {"font size", [&] { cell->Font()->SetSize(14); }, true},
  };
  for (const auto &[what, change, fires] : cases) {
    table->changedCells.clear();
    change();
    // Counted rather than compared as lists: comparing two empty pointer lists hands memcmp null pointers.
    EXPECT_EQ(table->changedCells.count(cell), fires ? 1 : 0) << what;
    EXPECT_EQ(table->changedCells.size(), fires ? 1 : 0) << what;
  }
  EXPECT_EQ(cell->Margin(), 6);
}

TEST_F(TableCellTest, TheTablesColourAndFontReachItsCellsUntilTheyHaveTheirOwn) {
  table->Font()->SetSize(17);
  Use();
  EXPECT_EQ(cell->Color(), clBtnFace); // until the table has a window
  table->Handle();
  EXPECT_EQ(cell->Font()->Size(), 17);
  EXPECT_EQ(cell->Color(), clYellow);
  table->SetColor(clLime);
  EXPECT_EQ(cell->Color(), clLime);
  // A cell with its own font and colour keeps them; asked to, it takes the table's again at once.
  cell->Font()->SetSize(9);
  cell->SetColor(clRed);
  EXPECT_TRUE(cell->IsFontStored() && cell->IsColorStored());
  table->Font()->SetSize(21);
  table->SetColor(clAqua);
  EXPECT_EQ(cell->Font()->Size(), 9);
  EXPECT_EQ(cell->Color(), clRed);
  cell->SetTableFont(true);
  cell->SetTableColor(true);
  EXPECT_EQ(cell->Font()->Size(), 21);
  EXPECT_EQ(cell->Color(), clAqua);
}

TEST_F(TableCellTest, TheRegistryKeepsEachCellOnceWhileItHasUsersAndNeverOneGone) {
  auto *second = new TOvcBaseTableCell(form);
  Use();
  table->RegisterCell(second);
  table->RegisterCell(cell);
  EXPECT_EQ(table->RegisteredCells(), (QList<TOvcBaseTableCell *>{cell, second}));
  cell->RemoveUser();
  EXPECT_EQ(table->RegisteredCells(), QList<TOvcBaseTableCell *>{second});
  cell->RemoveUser();    // no users left: nothing happens
  cell->SetColor(clRed); // the hook is gone
  EXPECT_TRUE(table->changedCells.isEmpty());

  // A freed cell leaves the registry, and the table hears of it, even while the table has no window.
  Use();
  cell->Free();
  cell = nullptr;
  EXPECT_EQ(table->RegisteredCells(), QList<TOvcBaseTableCell *>{second});
  EXPECT_EQ(table->detached.size(), 1);
  table->detached.clear();
  // Moved to another table, a cell tells the one it leaves.
  table->Handle();
  second->SetTable(table);
  second->AddUser();
  second->SetTable(new TestTable(form));
  EXPECT_EQ(table->detached, QList<TObject *>{second});
  EXPECT_TRUE(table->RegisteredCells().isEmpty());
  // A freed table unlinks its cells.
  second->SetTable(table);
  second->AddUser();
  table->Free();
  table = nullptr;
  EXPECT_EQ(second->ActiveRow(), 0);
}

TEST_F(TableCellTest, QueriesAnswerOnceTheTableHasAWindowAndKeysAndNoticesReachIt) {
  cell->SetTable(table);
  table->options |= tblOptWantsTab | tblOptEnterLikeTab;
  EXPECT_FALSE(cell->TableWantsTab());
  cell->PostKeyToTable(TMessage{WM_KEYDOWN, 0x12345 | VK_NEXT, 77, 0}); // no window yet: dropped
  auto *controller = new TOvcController(form);
  table->Handle();
  EXPECT_EQ(table->Controller(), controller); // the controller of the table's form
  controller->Free();
  EXPECT_EQ(table->Controller(), nullptr);
  EXPECT_EQ(cell->ActiveRow(), 4);
  EXPECT_TRUE(cell->TableWantsTab() && cell->TableWantsEnter());

  cell->PostKeyToTable(TMessage{WM_KEYDOWN, 0x10000 | VK_NEXT, 77, 0});
  cell->PostToTable(tcm_EditorGotFocus, 5, 0);
  QApplication::processEvents();
  ASSERT_EQ(table->received.size(), 2);
  EXPECT_EQ(std::tuple(table->received[0].Msg, table->received[0].WParam, table->received[0].LParam),
            std::tuple(UINT(WM_KEYDOWN), WPARAM(VK_NEXT), LPARAM(77)));
  EXPECT_EQ(std::pair(table->received[1].Msg, table->received[1].WParam),
            std::pair(UINT(tcm_EditorGotFocus), WPARAM(5)));
}

TEST_F(TableCellTest, GatherAttributesFillsAndTheTableAdjusts) {
  TFont font;
  TOvcCellAttributes attr;
  attr.Font = &font;
  cell->SetColor(clOvcDefaultCellColor);
  cell->Font()->SetColor(clNavy);
  cell->GatherAttributes(2, 3, attr);
  EXPECT_EQ(std::tuple(attr.Color, attr.FontColor), std::tuple(clBtnFace, clNavy));

  cell->SetTable(table);
  table->forceReadOnly = true;
  cell->SetAdjust(otaBottomRight);
  cell->GatherAttributes(5, 6, attr);
  EXPECT_EQ(table->adjustedAt, std::make_pair(5, 6));
  EXPECT_EQ(std::pair(attr.Access, attr.Adjust), std::pair(otxReadOnly, otaBottomRight));
}

TEST_F(TableCellTest, OwnerDrawReplacesThePainting) {
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
  for (bool drawnByOwner : {true, false}) {
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    done = drawnByOwner;
    cell->Paint(&canvas, TRect{0, 0, 20, 10}, 0, 0, attr, nullptr);
    canvas.SetDevice(nullptr);
    EXPECT_EQ(QColor(image.pixel(5, 5)), drawnByOwner ? QColor(Qt::white) : QColor(Qt::red));
  }
  EXPECT_EQ(calls, 2);
}

TEST_F(TableCellTest, CellDataNamesOwnerAndCell) {
  auto *ownerless = new TOvcBaseTableCell(nullptr);
  ownerless->SetName("Loose");
  table->RegisterCell(cell);
  table->RegisterCell(ownerless);
  EXPECT_EQ(table->CellDataStrings(), (QStringList{"Form.Cell", "Loose"}));

  TMemoryStream stream;
  TWriter writer(&stream);
  writer.WriteProperties(table);
  stream.SetPosition(0);
  auto *copy = new TestTable(form);
  TReader reader(&stream);
  reader.ReadProperties(copy);
  ASSERT_NE(copy->LoadedCellNames(), nullptr);
  EXPECT_EQ(copy->LoadedCellNames()->CommaText(), "Form.Cell,Loose");
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

} // namespace
