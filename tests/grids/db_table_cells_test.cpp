// Cells in the data-aware table: cells freed or moved to another table in any order, each cell painting its
// field with its own format whether or not the table has every cell paint its text, texts longer than a
// short string kept whole, and the header painted by the table or by its header cell.
#include "cell_pictures.h"
#include "db_table_fixture.h"
#include "grids/cells/combo_cell.h"
#include "grids/cells/field_cells.h"
#include "grids/cells/heading_cells.h"
#include "platform/windowing/virtual_keys.h"

namespace {

// A text of Length characters in short words, so that it wraps; its end differs from its start.
QString LongText(int Length) {
  QString text;
  for (int i = 0; text.length() < Length; ++i) text += QStringLiteral("%1 ").arg(i % 7 == 6 ? "mm" : "ii");
  return text.left(Length - 1) + QLatin1Char('W');
}

class DbTableCellsTest : public DbTableTest {
protected:
  // A second table under the fixture's, on the same lines.
  TOvcDbTable *Second(TDataSet *Lines) {
    auto *second = new TOvcDbTable(form);
    second->SetParent(form);
    second->SetBounds(0, 150, 380, 100);
    second->SetDataSource(SourceOf(Lines));
    guitest::ProcessEvents();
    return second;
  }
  // One line whose description is Text, shown in the table.
  TMemoryDataSet *ShowOneLine(const QString &Text) {
    TMemoryDataSet *lines = MemoryLines(1);
    lines->Edit();
    lines->FieldByName("DESCRIPTION")->SetAsString(Text);
    lines->Post();
    Show(lines);
    return lines;
  }
  // The description after opening its editor (F2), typing "x" at the end of the text and closing the editor
  // (F2 again), the line posted.
  QString DescriptionTypedOnto(TMemoryDataSet *Lines) {
    ToDescription();
    Key(Qt::Key_F2);
    EXPECT_TRUE(table->EditorOpen());
    Key(Qt::Key_End);
    Type("x");
    Key(Qt::Key_F2);
    EXPECT_FALSE(table->EditorOpen());
    Lines->Post();
    return Current(Lines);
  }
};

// Whatever goes first, no table keeps a cell that left it, and every table left goes on painting; what is
// left goes with the form.
TEST_F(DbTableCellsTest, CellsFreedOrMovedInAnyOrderLeaveEveryTableWhole) {
  // The first table's column and header cells; a step that frees one forgets it.
  struct Cells {
    TOvcDbTable *first, *second;
    TOvcTCString *column;
    TOvcTCColHead *header;
  };
  const auto freeColumn = [](Cells &c) { FreeAndNil(c.column); };
  const auto moveColumn = [](Cells &c) {
    c.column->SetTable(c.second);
    c.second->Column(0)->SetDefaultCell(c.column);
  };
  struct Case {
    const char *what;
    bool editing; // with the column cell's editor open
    std::function<void(Cells &)> step;
  };
  const Case cases[] = {
      {"the column's cell freed", false, freeColumn},
      {"the column's cell freed while editing", true, freeColumn},
      {"the header cell freed", false, [](Cells &c) { FreeAndNil(c.header); }},
      {"the column's cell moved", false, moveColumn},
      {"the column's cell moved while editing", true, moveColumn},
      {"the header cell moved", false,
       [](Cells &c) {
         c.header->SetTable(c.second);
         c.second->SetHeaderCell(c.header);
       }},
      {"the table freed first", true,
       [](Cells &c) {
         FreeAndNil(c.first);
         c.second->Column(1)->SetDefaultCell(c.column);
         c.second->SetHeaderCell(c.header);
       }},
  };
  for (const Case &k : cases) {
    TMemoryDataSet *lines = MemoryLines(3);
    Show(lines);
    Cells c{table, Second(lines), new TOvcTCString(form), new TOvcTCColHead(form)};
    c.first->Column(1)->SetDefaultCell(c.column);
    c.first->SetHeaderCell(c.header);
    c.first->SetHeaderOptions({hoShowHeader, hoUseHeaderCell});
    TOvcTCString *const column = c.column;
    TOvcTCColHead *const header = c.header;
    if (k.editing) {
      c.first->SetFocus();
      Key(Qt::Key_Home);
      Key(Qt::Key_Right);
      Key(Qt::Key_F2);
      ASSERT_TRUE(c.first->EditorOpen()) << k.what;
      ASSERT_EQ(c.first->EditingCell(), column) << k.what;
    }
    k.step(c);
    guitest::ProcessEvents();
    // Each table holds the cells that serve it, and each cell names the table it serves.
    for (TOvcDbTable *t : {c.first, c.second}) {
      if (!t) continue;
      QList<TOvcBaseTableCell *> serving;
      for (int col = 0; col < t->ColumnCount(); ++col)
        if (TOvcBaseTableCell *cell = t->Column(col)->DefaultCell(); cell && !serving.contains(cell))
          serving << cell;
      if (t->HeaderCell() && !serving.contains(t->HeaderCell())) serving << t->HeaderCell();
      EXPECT_EQ(QSet(t->RegisteredCells().cbegin(), t->RegisteredCells().cend()),
                QSet(serving.cbegin(), serving.cend()))
          << k.what;
      for (TOvcBaseTableCell *cell : serving) EXPECT_EQ(cell->Table(), t) << k.what;
      if (!t->HeaderCell()) {
        EXPECT_FALSE(t->HeaderOptions().Contains(hoUseHeaderCell)) << k.what;
      }
      EXPECT_FALSE(t->EditorOpen()) << k.what;
      GrabControl(t);
    }
    if (c.first) {
      EXPECT_EQ(c.first->Column(1)->DefaultCell() == column, c.column && c.column->Table() == c.first)
          << k.what;
      EXPECT_EQ(c.first->HeaderCell() == header, c.header && c.header->Table() == c.first) << k.what;
    }
  }
}

// A table that has no window yet hears of a cell leaving it as well: its column does not keep the cell, which
// another owner may free.
TEST_F(DbTableCellsTest, ACellMovedFromATableWithoutAWindowLeavesItNothing) {
  TMemoryDataSet *lines = MemoryLines(2);
  Show(lines);
  auto *windowless = new TOvcDbTable(form);
  windowless->SetDataSource(SourceOf(lines));
  auto *cell = new TOvcTCString(module);
  auto *header = new TOvcTCColHead(module);
  windowless->Column(0)->SetDefaultCell(cell);
  windowless->SetHeaderCell(header);
  ASSERT_FALSE(windowless->HandleAllocated());
  cell->SetTable(table);
  table->Column(1)->SetDefaultCell(cell);
  header->SetTable(table);
  EXPECT_EQ(windowless->Column(0)->DefaultCell(), nullptr);
  EXPECT_EQ(windowless->HeaderCell(), nullptr);
  EXPECT_TRUE(windowless->RegisteredCells().isEmpty());
  cell->Free();
  header->Free();
  windowless->SetParent(form);
  windowless->SetBounds(0, 150, 380, 100);
  guitest::ProcessEvents();
  GrabControl(windowless);
  GrabControl(table);
}

// Each field cell paints its field with its own format (a numeric picture, a time alone, the padding
// trimmed), not as the field's text, whether or not the table has every cell paint its text.
class EntryCellPaintTest : public DbTableCellsTest, public testing::WithParamInterface<bool> {};

TEST_P(EntryCellPaintTest, EachFieldCellPaintsItsOwnFormat) {
  auto *data = new TMemoryDataSet(module);
  data->FieldDefs()->Add("N", ftFloat);
  data->FieldDefs()->Add("T", ftDateTime);
  data->FieldDefs()->Add("S", ftString, 20);
  data->CreateDataSet();
  for (int i = 0; i < 2; ++i) {
    data->Append();
    data->FieldByName("N")->SetAsFloat(1234.5);
    data->FieldByName("T")->SetAsDateTime(EncodeDate(2024, 5, 15) + EncodeTime(10, 30, 0, 0));
    data->FieldByName("S")->SetAsString("   Łódź");
    data->Post();
  }
  data->First();
  Show(data);
  if (!GetParam()) table->SetOptions(table->Options() - TOvcDbTableOptionSet{dtoCellsPaintText});
  auto *numeric = new TOvcTCNumericField(form);
  auto *time = new TOvcTCPictureField(form);
  auto *simple = new TOvcTCSimpleField(form);
  TOvcTCBaseEntryField *cells[] = {numeric, time, simple};
  table->Column(1)->SetDateOrTime(dtUseTime);
  for (int c = 0; c < 3; ++c) {
    table->Column(c)->SetWidth(120);
    table->Column(c)->SetDefaultCell(cells[c]);
    ASSERT_TRUE(table->FitCellToField(data->Fields()->Fields(c), cells[c])) << c;
  }
  numeric->SetPictureMask("#,###.##");
  time->SetPictureMask("hh:mm");
  guitest::ProcessEvents();
  const TOvcEntryValue values[] = {TExtended(1234.5), std::int32_t(10 * 3600 + 30 * 60),
                                   QStringLiteral("   Łódź")};
  const QImage picture = GrabControl(table);
  for (int c = 0; c < 3; ++c) {
    const TRect content = table->CellContentRect(1, c);
    const GatheredAttributes cell(cells[c], 1, c);
    const QImage own = Part(WithCell(picture, content, cells[c], 1, c, cell.attr, &values[c]), content);
    const QString text = data->Fields()->Fields(c)->DisplayText();
    ASSERT_NE(own, Part(WithText(picture, content, cell.attr, text, cells[c]->Margin()), content)) << c;
    EXPECT_EQ(Part(picture, content), own) << c << " " << text.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutCellsPaintingText, EntryCellPaintTest, testing::Bool());

// A string cell fitted to a field of 1,000 characters shows the whole text from the first paint on, and
// opening and closing an editor changes nothing in how it paints.
TEST_F(DbTableCellsTest, AStringCellShowsAThousandCharactersWhole) {
  TMemoryDataSet *lines = MemoryLines(2);
  const QString whole = LongText(1000);
  lines->Last();
  lines->Edit();
  lines->FieldByName("DESCRIPTION")->SetAsString(whole);
  lines->Post();
  lines->First();
  form->SetClientSize(400, 700);
  Show(lines);
  const int description = ColumnOf("DESCRIPTION");
  for (int c = 0; c < table->ColumnCount(); ++c) table->Column(c)->SetHidden(c != description);
  Description()->SetWidth(360);
  table->SetHeight(kRow + 2 * 300);
  table->SetRowHeight(300);
  text->SetUseWordWrap(true);
  ASSERT_TRUE(table->FitCellToField(lines->FieldByName("DESCRIPTION"), text));
  EXPECT_FALSE(text->UseASCIIZStrings());
  guitest::ProcessEvents();
  const auto shown = [&] {
    const QImage picture = GrabControl(table);
    const TRect content = table->CellContentRect(1, description);
    const GatheredAttributes cell(text, 1, description);
    const QImage expected = Part(WithText(picture, content, cell.attr, whole, text->Margin(), true), content);
    // The end of the text shows: cut to a short string, it would look otherwise.
    EXPECT_NE(expected,
              Part(WithText(picture, content, cell.attr, whole.left(255), text->Margin(), true), content));
    return Part(picture, content) == expected;
  };
  EXPECT_TRUE(shown());
  EXPECT_EQ(painted.value(1), whole);
  // An editor opened on the first line and cancelled.
  Key(Qt::Key_F2);
  ASSERT_TRUE(table->EditorOpen());
  Key(Qt::Key_Escape);
  EXPECT_FALSE(table->EditorOpen());
  EXPECT_FALSE(text->UseASCIIZStrings());
  EXPECT_TRUE(shown());
}

// A combo-box cell fitted to a field of 1,000 characters keeps a text of 300 that is not among its items, and
// what is typed onto it.
TEST_F(DbTableCellsTest, AComboBoxCellKeepsALongTypedText) {
  const QString long300 = LongText(300);
  TMemoryDataSet *lines = ShowOneLine(long300);
  auto *combo = new TOvcTCComboBox(form);
  combo->Items()->SetCommaText("One,Two");
  Description()->SetDefaultCell(combo);
  ASSERT_TRUE(table->FitCellToField(lines->FieldByName("DESCRIPTION"), combo));
  EXPECT_EQ(combo->MaxLength(), 1000);
  TOvcDbCellValue value;
  FieldToCellData(lines->FieldByName("DESCRIPTION"), combo, value);
  EXPECT_EQ(value.Get<TOvcTCComboBoxData>()->Text, long300);
  EXPECT_EQ(DescriptionTypedOnto(lines), long300 + "x");
}

// A field cell on a text field wider than an entry field holds takes all it can hold, and keeps a text that
// long when edited.
TEST_F(DbTableCellsTest, AFieldCellOnAWideTextFieldHoldsAllItCan) {
  const QString long200 = LongText(200);
  TMemoryDataSet *lines = ShowOneLine(long200);
  auto *simple = new TOvcTCSimpleField(form);
  Description()->SetDefaultCell(simple);
  ASSERT_TRUE(table->FitCellToField(lines->FieldByName("DESCRIPTION"), simple));
  EXPECT_EQ(simple->MaxLength(), 255);
  EXPECT_EQ(DescriptionTypedOnto(lines), long200 + "x");
}

// The header: the fields' labels painted by the table, or its header cell showing the labels, letters
// counted from the first unlocked column, or its own headings; a string header cell shows labels only.
TEST_F(DbTableCellsTest, TheHeaderShowsLabelsLettersOrHeadings) {
  Show(MemoryLines(2));
  const int widths[] = {60, 90, 120, 90};
  for (int c = 0; c < 4; ++c) table->Column(c)->SetWidth(widths[c]);
  auto *heading = new TOvcTCColHead(form);
  heading->Headings()->SetCommaText("One,Two,Three");
  auto *string = new TOvcTCString(form);
  const QStringList labels{"REC", "QUANTITY", "DESCRIPTION", "ITEMPRICE"};
  struct Case {
    const char *what;
    TOvcBaseTableCell *cell;
    TOvcHeaderOptions before, options;
    int locked;
    QStringList shown;
    bool byCell;
  };
  const Case cases[] = {
      {"labels by the table", nullptr, {}, {hoShowHeader}, 0, labels, false},
      {"no cell in use", heading, {}, {hoShowHeader, hoUseLetters}, 0, labels, false},
      {"labels by the cell", heading, {}, {hoShowHeader, hoUseHeaderCell}, 0, labels, true},
      {"letters", heading, {}, {hoShowHeader, hoUseHeaderCell, hoUseLetters}, 0, {"A", "B", "C", "D"}, true},
      {"letters after a locked column",
       heading,
       {},
       {hoShowHeader, hoUseHeaderCell, hoUseLetters},
       1,
       {"", "A", "B", "C"},
       true},
      {"headings",
       heading,
       {},
       {hoShowHeader, hoUseHeaderCell, hoUseStrings},
       0,
       {"One", "Two", "Three", ""},
       true},
      {"headings added to letters",
       heading,
       {hoShowHeader, hoUseHeaderCell, hoUseLetters},
       {hoShowHeader, hoUseHeaderCell, hoUseLetters, hoUseStrings},
       0,
       {"One", "Two", "Three", ""},
       true},
      {"letters added to headings",
       heading,
       {hoShowHeader, hoUseHeaderCell, hoUseStrings},
       {hoShowHeader, hoUseHeaderCell, hoUseLetters, hoUseStrings},
       0,
       {"A", "B", "C", "D"},
       true},
      {"a string cell shows labels",
       string,
       {},
       {hoShowHeader, hoUseHeaderCell, hoUseLetters},
       0,
       labels,
       true},
  };
  for (const Case &c : cases) {
    table->SetHeaderCell(c.cell);
    EXPECT_EQ(table->HeaderCell(), c.cell) << c.what;
    table->SetLockedColumns(c.locked);
    table->SetHeaderOptions(c.before);
    table->SetHeaderOptions(c.options);
    guitest::ProcessEvents();
    const QImage picture = GrabControl(table);
    for (int col = 0; col < 4; ++col) {
      TOvcDbTableColumn *column = table->Column(col);
      const TRect content =
          table->GridPenSet()->LockedGrid()->ContentRect(Bounds(column->Left(), 0, column->Width(), kRow));
      QImage expected;
      if (c.byCell) {
        const GatheredAttributes cell(c.cell, -1, col);
        expected = WithText(picture, content, cell.attr, c.shown[col], c.cell->Margin());
      } else {
        TFont font;
        font.Assign(table->Font());
        TOvcCellAttributes attr;
        attr.Font = &font;
        attr.Adjust = table->Adjust();
        attr.Color = table->Colors()->Locked();
        attr.FontColor = table->Colors()->LockedText();
        expected = WithText(picture, content, attr, c.shown[col], table->DefaultMargin());
      }
      EXPECT_EQ(Part(picture, content), Part(expected, content)) << c.what << " " << col;
    }
  }
  // Only a string or a column-heading cell heads the table: another is ignored, and refused while designing.
  table->SetHeaderCell(nullptr);
  auto *combo = new TOvcTCComboBox(form);
  table->SetHeaderCell(combo);
  EXPECT_EQ(table->HeaderCell(), nullptr);
  table->SetDesigning(true, false);
  try {
    table->SetHeaderCell(combo);
    ADD_FAILURE() << "a combo-box cell was taken as the header cell";
  } catch (const EDuvizivTable &e) {
    EXPECT_EQ(e.Message(), "Invalid header cell");
  }
  table->SetDesigning(false, false);
  EXPECT_EQ(table->HeaderCell(), nullptr);
}

} // namespace
