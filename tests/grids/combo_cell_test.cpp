// The combo-box cell: the chosen or typed text and its button painted, and the in-place combo box typed
// into, moved through and left.
#include "cell_grid.h"
#include "cell_pictures.h"
#include "platform/windowing/control_grab.h"
#include <QImage>
#include <gtest/gtest.h>

namespace {

// Text in the grid's first and last column, a combo box in the middle one, whose first row is active.
class ComboCellTest : public CellGridTest {
protected:
  void SetUp() override {
    CellGridTest::SetUp();
    text = new TOvcTCString(form);
    cell = new TOvcTCComboBox(form);
    cell->Items()->SetCommaText("One,Two,Three");
    grid->columns.Column(0)->SetDefaultCell(text);
    grid->columns.Column(1)->SetDefaultCell(cell);
    grid->columns.Column(2)->SetDefaultCell(text);
    grid->col = 1;
    grid->Handle(); // the cells ask the table's window which cell is active
  }
  TOvcTCComboBoxData &Value(int Row = 1) { return grid->values[Row - 1][1].combo; }
  QImage TextOnly(const QString &Text, int Width = 90) {
    return PaintCell(text, 1, 1, &Text).copy(0, 0, Width, 22);
  }

  TOvcTCString *text = nullptr;
  TOvcTCComboBox *cell = nullptr;
};

TEST_F(ComboCellTest, PaintsTheChosenOrTypedText) {
  const int textWidth = 90 - cell->ButtonWidth();
  struct Case {
    TComboBoxStyle style;
    qint32 index;
    const char *shown;
  };
  const Case cases[] = {{csDropDown, 1, "Two"}, {csDropDown, 5, "typed"}, {csDropDownList, 5, ""}};
  for (const Case &c : cases) {
    cell->SetStyle(c.style);
    const TOvcTCComboBoxData data{c.index, nullptr, "typed"};
    EXPECT_EQ(PaintCell(cell, 2, 1, &data), TextOnly(QString::fromLatin1(c.shown)))
        << c.style << " " << c.index;
    // The active cell has the button beside the text.
    EXPECT_EQ(PaintCell(cell, 1, 1, &data).copy(0, 0, textWidth, 22),
              TextOnly(QString::fromLatin1(c.shown), textWidth));
  }
  TStringList rowItems;
  rowItems.SetCommaText("Own,List");
  cell->SetUseRunTimeItems(true);
  const TOvcTCComboBoxData own{1, &rowItems, QString()};
  EXPECT_EQ(PaintCell(cell, 2, 1, &own), TextOnly("List"));
}

TEST_F(ComboCellTest, TheActiveCellShowsTheButtonOthersAFlatArrowWhenAsked) {
  const TOvcTCComboBoxData data{0, nullptr, QString()};
  const int left = 90 - cell->ButtonWidth();
  const auto black = [](const QImage &image, int x, int y) {
    return image.pixelColor(x, y) == QColor(Qt::black);
  };
  const QImage active = PaintCell(cell, 1, 1, &data);
  EXPECT_TRUE(black(active, left, 11));     // the button's frame
  EXPECT_TRUE(black(active, left + 8, 11)); // its arrow
  EXPECT_FALSE(black(PaintCell(cell, 2, 1, &data), left + 8, 11));
  cell->SetShowArrow(true);
  const QImage arrow = PaintCell(cell, 2, 1, &data);
  EXPECT_FALSE(black(arrow, left, 11));
  EXPECT_EQ(arrow.pixelColor(left + 9, 9), QColor(ColorToQColor(clWindowText).rgb())); // in the font colour
  cell->SetHideButton(true);
  EXPECT_EQ(PaintCell(cell, 1, 1, &data), TextOnly("One"));
}

TEST_F(ComboCellTest, TypingEntersATextEnterKeepsItEscapeDropsIt) {
  Value() = {-1, nullptr, "old"};
  Edit(1);
  ASSERT_EQ(grid->Editing(), cell);
  auto *editor = dynamic_cast<TOvcTCComboBoxEdit *>(cell->EditorControl());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Text(), "old");
  editor->SelectAll();
  Type("Zed");
  guitest::PressKey(Qt::Key_Return);
  guitest::ProcessEvents();
  EXPECT_EQ(Value().Text, "Zed");
  // The editor went once its messages were handled; the table heard it lose the focus.
  EXPECT_EQ(cell->EditorControl(), nullptr);
  EXPECT_TRUE(grid->commands.contains(CBN_KILLFOCUS));

  guitest::PressKey(Qt::Key_F2);
  guitest::ProcessEvents();
  static_cast<TCustomComboBox *>(cell->EditorControl())->SelectAll();
  Type("T");
  EXPECT_EQ(cell->EditorControl()->Text(), "Two"); // the box completes it
  guitest::PressKey(Qt::Key_Escape);
  guitest::ProcessEvents();
  EXPECT_EQ(Value().Text, "Zed");
}

TEST_F(ComboCellTest, AFullTextAdvancesAndArrowsLeaveOnlyFromTheEnds) {
  cell->SetMaxLength(3);
  cell->SetAutoAdvanceChar(true);
  cell->SetAutoAdvanceLeftRight(true);
  Edit(1);
  Type("ab");
  guitest::PressKey(Qt::Key_Left);
  guitest::PressKey(Qt::Key_Right);
  EXPECT_EQ(grid->col, 1); // inside the text the caret moves
  Type("c");
  guitest::ProcessEvents();
  EXPECT_EQ(grid->col, 2);
  EXPECT_EQ(Value().Text, "abc");
}

TEST_F(ComboCellTest, AListMovesWithUpAndDownAndLeavesWithRight) {
  cell->SetStyle(csDropDownList);
  Value() = {0, nullptr, "kept"};
  Edit(1);
  guitest::PressKey(Qt::Key_Down);
  guitest::PressKey(Qt::Key_Down);
  guitest::PressKey(Qt::Key_Right);
  guitest::ProcessEvents();
  EXPECT_EQ(grid->col, 2);
  EXPECT_EQ(Value().Index, 2);
  EXPECT_EQ(Value().Text, "kept"); // a list stores only its index
  cell->SetSaveStringValue(true);
  guitest::PressKey(Qt::Key_Left);
  guitest::PressKey(Qt::Key_Return);
  guitest::ProcessEvents();
  guitest::PressKey(Qt::Key_Up);
  guitest::PressKey(Qt::Key_Tab);
  guitest::ProcessEvents();
  EXPECT_EQ(Value().Index, 1);
  EXPECT_EQ(Value().Text, "Two");
}

// The grid with its cells on a form, as a person sees it: heading row, text, a combo box, check boxes.
TEST_F(ComboCellTest, AGridOfCellsOnAForm) {
  grid->header = new TOvcTCColHead(form);
  grid->header->SetTable(grid);
  auto *check = new TOvcTCCheckBox(form);
  check->SetAdjust(otaCenter);
  grid->columns.Column(2)->SetDefaultCell(check);
  cell->SetShowArrow(true);
  grid->values[0][0].text = "Widgets";
  grid->values[1][0].text = "Gadgets";
  grid->values[0][1].combo = {1, nullptr, QString()};
  grid->values[1][1].combo = {2, nullptr, QString()};
  grid->values[1][2].check = cbChecked;
  grid->header->SetAdjust(otaCenter);
  guitest::ShowAndActivate(form);
  const QImage image = GrabControl(grid);
  // The heading row's 3-D lines, the dotted lines between rows, a ticked box in row 2.
  EXPECT_EQ(image.pixelColor(89, 10), QColor(ColorToQColor(clBtnShadow).rgb()));
  EXPECT_EQ(image.pixelColor(10, 0), QColor(ColorToQColor(clBtnHighlight).rgb()));
  EXPECT_EQ(image.pixelColor(224, 2 * 22 + 10), QColor(Qt::black));
  // Editing, the combo box lies over its cell.
  grid->SetFocus();
  guitest::PressKey(Qt::Key_Return);
  guitest::ProcessEvents();
  const QImage editing = GrabControl(grid);
  EXPECT_NE(editing.copy(90, 22, 90, 22), image.copy(90, 22, 90, 22));
}

// A text longer than a short string's 255 characters, typed or listed, is painted and given back whole.
TEST_F(ComboCellTest, ALongTextIsPaintedAndKeptWhole) {
  QString long300;
  for (int i = 0; long300.length() < 300; ++i) long300 += QStringLiteral("%1,").arg(i % 10);
  long300.truncate(300);
  cell->SetMaxLength(1000);
  TStringList items;
  items.Add("One");
  items.Add(long300 + "!");
  cell->SetItems(&items);
  const TRect wide{0, 0, 2600, 22};
  QImage blank(wide.Width(), wide.Height(), QImage::Format_RGB32);
  blank.fill(Qt::white);
  TFont font;
  TOvcCellAttributes attr;
  attr.Font = &font;
  cell->GatherAttributes(2, 1, attr);
  for (const TOvcTCComboBoxData &data :
       {TOvcTCComboBoxData{-1, nullptr, long300}, TOvcTCComboBoxData{1, nullptr, QString()}}) {
    const QString shown = data.Index < 0 ? long300 : long300 + "!";
    const QImage painted = WithCell(blank, wide, cell, 2, 1, attr, &data);
    ASSERT_NE(WithText(blank, wide, attr, shown, cell->Margin()),
              WithText(blank, wide, attr, shown.left(255), cell->Margin()));
    EXPECT_EQ(painted, WithText(blank, wide, attr, shown, cell->Margin())) << data.Index;
  }
  // Edited and given back: the typed text and the listed one keep every character.
  Value() = {-1, nullptr, long300};
  Edit(1);
  ASSERT_EQ(cell->EditorControl()->Text(), long300);
  Type("{End}x");
  guitest::PressKey(Qt::Key_Return);
  guitest::ProcessEvents();
  EXPECT_EQ(Value().Text, long300 + "x");
  cell->SetStyle(csDropDownList);
  cell->SetSaveStringValue(true);
  Value() = {0, nullptr, QString()};
  Edit(1);
  guitest::PressKey(Qt::Key_Down);
  guitest::PressKey(Qt::Key_Return);
  guitest::ProcessEvents();
  EXPECT_EQ(Value().Index, 1);
  EXPECT_EQ(Value().Text, long300 + "!");
}

} // namespace
