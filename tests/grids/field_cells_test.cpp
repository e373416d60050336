// Numeric, picture and simple field cells edited in a grid: typed values in and out, refused values,
// moving on from a full field, and painting.
#include "cell_grid.h"
#include "controls/framework/day_numbers.h"
#include "platform/windowing/control_grab.h"
#include <QImage>

namespace {

// Numeric, picture and simple field cells in the grid's three columns.
class FieldCellTest : public CellGridTest {
protected:
  void SetUp() override {
    CellGridTest::SetUp();
    numeric = new TOvcTCNumericField(form);
    picture = new TOvcTCPictureField(form);
    simple = new TOvcTCSimpleField(form);
    grid->columns.Column(0)->SetDefaultCell(numeric);
    grid->columns.Column(1)->SetDefaultCell(picture);
    grid->columns.Column(2)->SetDefaultCell(simple);
  }
  TOvcEntryValue &Value(int Col, int Row = 1) { return grid->values[Row - 1][Col].field; }
  TOvcBaseEntryField *Editor(int Col) {
    return static_cast<TOvcBaseEntryField *>(grid->columns.DefaultCell(Col)->EditorControl());
  }

  TOvcTCNumericField *numeric = nullptr;
  TOvcTCPictureField *picture = nullptr;
  TOvcTCSimpleField *simple = nullptr;
};

// Keys typed into a cell's editor, then Enter, Escape or Tab: the value the grid holds after, and the column
// the grid is in.
TEST_F(FieldCellTest, TypedValuesGoInAndComeBackOut) {
  const auto day = [](int d, int m, int y) { return std::int32_t(ovcdate::DMYtoDate(d, m, y, 0)); };
  struct Case {
    int col, type;
    const char *mask;
    TOvcEntryValue start;
    const char *keys; // UTF-8
    int endKey;
    TOvcEntryValue value;
    int colAfter;
  };
  const Case cases[] = {
      {2, sftString, "", QStringLiteral("Łódź"), "{End} €ß", Qt::Key_Return, QStringLiteral("Łódź €ß"), 2},
      {2, sftString, "!", QStringLiteral("straße"), "{End}x", Qt::Key_Tab, QStringLiteral("STRAßEX"), 2},
      {2, sftChar, "", QChar(u'ß'), "€", Qt::Key_Tab, QChar(u'€'), 2},
      {2, sftBoolean, "", true, "f", Qt::Key_Return, false, 2},
      {0, nftLongInt, "", std::int32_t(42), "{End}7", Qt::Key_Return, std::int32_t(427), 0},
      {0, nftExtended, "#####.##", TExtended(2.5), "", Qt::Key_Tab, TExtended(2.5), 1},
      // A value of another type is not read as this one: editing starts empty.
      {0, nftLongInt, "", QStringLiteral("12"), "5", Qt::Key_Return, std::int32_t(5), 0},
      {1, pftString, "", QStringLiteral("€ Łódź"), "{End}ß", Qt::Key_Tab, QStringLiteral("€ Łódźß"), 2},
      {1, pftDate, "", day(15, 5, 2024), "{Home}06", Qt::Key_Return, day(15, 6, 2024), 1},
      {1, pftDate, "", day(15, 5, 2024), "{Home}06", Qt::Key_Escape, day(15, 5, 2024), 1},
  };
  const QString endText[] = {QStringLiteral("\r"), QStringLiteral("\x1b"), QStringLiteral("\t")};
  for (const Case &c : cases) {
    const char *const name = c.keys;
    const QString mask = QString::fromUtf8(c.mask);
    if (c.col == 0) numeric->SetDataType(TNumericDataType(c.type));
    if (c.col == 1) picture->SetDataType(TPictureDataType(c.type));
    if (c.col == 2) simple->SetDataType(TSimpleDataType(c.type));
    if (c.col == 0 && !mask.isEmpty()) numeric->SetPictureMask(mask);
    if (c.col == 2) simple->SetPictureMask(mask.isEmpty() ? QChar(u'X') : mask.at(0));
    Value(c.col) = c.start;
    const qsizetype beeps = services->Beeps().size();
    Edit(c.col);
    ASSERT_EQ(grid->Editing(), grid->columns.DefaultCell(c.col)) << name;
    Type(QString::fromUtf8(c.keys));
    const int end = c.endKey == Qt::Key_Return ? 0 : c.endKey == Qt::Key_Escape ? 1 : 2;
    guitest::PressKey(c.endKey, Qt::NoModifier, endText[end]);
    guitest::ProcessEvents();
    EXPECT_EQ(grid->Editing(), nullptr) << name;
    EXPECT_EQ(Value(c.col), c.value) << name;
    EXPECT_EQ(grid->col, c.colAfter) << name;
    // Enter, Escape and Tab end the edit; they are no typing error.
    EXPECT_EQ(services->Beeps().size(), beeps) << name;
  }
}

// A value outside the cell's range is reported with its message; Enter, Down and a focus move to another
// control leave the editor open with the text typed, and once mended the value is saved.
TEST_F(FieldCellTest, AValueOutOfRangeKeepsTheEditorOpen) {
  numeric->SetRangeHi(QStringLiteral("100"));
  Value(0) = std::int32_t(5);
  const QString rangeError = EntryFieldErrorText(oeRangeError, QString());
  const auto refused = [&](const std::function<void()> &leave) {
    const qsizetype before = services->MessageBoxes().size();
    leave();
    guitest::ProcessEvents();
    EXPECT_EQ(grid->Editing(), numeric);
    EXPECT_TRUE(Editor(0)->Visible());
    EXPECT_EQ(Editor(0)->EditString().trimmed(), QStringLiteral("500"));
    ASSERT_EQ(services->MessageBoxes().size(), before + 1);
    EXPECT_EQ(services->MessageBoxes().last().Text, rangeError);
    EXPECT_EQ(grid->row, 1);
  };
  Edit(0);
  Type(QStringLiteral("500"));
  refused([] { guitest::PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); });
  refused([] { guitest::PressKey(Qt::Key_Down); });
  refused([&] { other->SetFocus(); });
  // The field took the focus back; mended, the value is saved by Enter.
  EXPECT_TRUE(Editor(0)->Focused());
  Type(QStringLiteral("{Back}"));
  guitest::PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  guitest::ProcessEvents();
  EXPECT_EQ(grid->Editing(), nullptr);
  EXPECT_EQ(Value(0), TOvcEntryValue(std::int32_t(50)));
  // A valid value is saved when the focus moves on.
  Edit(0);
  Type(QStringLiteral("9"));
  other->SetFocus();
  guitest::ProcessEvents();
  EXPECT_EQ(Value(0), TOvcEntryValue(std::int32_t(9)));
  EXPECT_TRUE(other->Focused());
}

// A field cell shows the text its field would show for the value, without the field's padding (a picture
// field fills its mask with blanks), painted right-aligned alike with a string cell painting that text. A
// new data type reaches the painting field at once; a value of another type shows nothing.
TEST_F(FieldCellTest, PaintsTheFieldsTextUnpadded) {
  auto *text = new TOvcTCString(form);
  text->SetTable(grid);
  for (TOvcBaseTableCell *cell : std::initializer_list<TOvcBaseTableCell *>{text, numeric, picture, simple})
    cell->SetAdjust(otaCenterRight);
  numeric->SetDataType(nftExtended);
  numeric->SetPictureMask(QStringLiteral("#####.##"));
  struct Case {
    TOvcTCBaseEntryField *cell;
    TOvcEntryValue value;
    const char *shown; // UTF-8
  };
  const Case cases[] = {{numeric, TExtended(2.5), "2.50"},
                        {numeric, std::int32_t(42), ""},
                        {picture, QStringLiteral("ab"), "ab"},
                        {simple, QStringLiteral("€ Łódź ß"), "€ Łódź ß"}};
  for (const Case &c : cases) {
    const QString shown = QString::fromUtf8(c.shown);
    // The field cell paints first, on a table that has no window yet: the paint must not change the
    // attributes the string cell gathers after it.
    const QImage painted = PaintCell(c.cell, 2, 0, &c.value);
    EXPECT_EQ(painted, PaintCell(text, 2, 0, &shown)) << c.shown;
  }
}

// A field that fills up, or is left past its start, moves the grid to the neighbouring cell with the value.
TEST_F(FieldCellTest, AFieldMovingPastItsEndsMovesToTheNextCell) {
  TOvcBaseEFOptions options = controller->EntryOptions();
  options.Include(efoAutoAdvanceChar);
  options.Include(efoAutoAdvanceLeftRight);
  controller->SetEntryOptions(options);
  picture->SetPictureMask(QStringLiteral("!!!"));
  Edit(1);
  Type(QStringLiteral("ab"));
  EXPECT_EQ(grid->Editing(), picture);
  Type(QStringLiteral("c"));
  guitest::ProcessEvents();
  EXPECT_EQ(grid->col, 2);
  EXPECT_EQ(Value(1), TOvcEntryValue(QStringLiteral("ABC")));
  Value(1) = QStringLiteral("XYZ");
  Edit(1);
  Type(QStringLiteral("{Home}{Left}"));
  guitest::ProcessEvents();
  EXPECT_EQ(grid->col, 0);
  EXPECT_EQ(Value(1), TOvcEntryValue(QStringLiteral("XYZ")));
}

// The grid with field cells on a form as a person sees it; an editor lies exactly over its cell.
TEST_F(FieldCellTest, AGridOfFieldCellsOnAForm) {
  numeric->SetDataType(nftDouble);
  numeric->SetPictureMask(QStringLiteral("###,###.##"));
  numeric->SetAdjust(otaCenterRight);
  picture->SetDataType(pftDate);
  Value(0) = 1234.5;
  Value(0, 2) = 7.25;
  Value(1) = std::int32_t(ovcdate::DMYtoDate(15, 5, 2024, 0));
  Value(2) = QStringLiteral("Łódź");
  Value(2, 2) = QStringLiteral("€ 5, ß");
  Focus(grid);
  const QImage image = GrabControl(grid);
  // The amounts end at the right margin of their cells, the texts start at the left one.
  const auto dark = [&](int row, int col, int x) {
    const TRect r = grid->CellRect(row, col);
    for (int y = r.Top + 6; y < r.Bottom - 6; ++y)
      if (QColor(image.pixel(r.Left + x, y)).lightness() < 100) return true;
    return false;
  };
  for (int row : {1, 2}) EXPECT_TRUE(dark(row, 0, 85) || dark(row, 0, 86)) << row;
  for (int row : {1, 2}) EXPECT_TRUE(dark(row, 2, 3) || dark(row, 2, 4)) << row;
  EXPECT_FALSE(dark(2, 1, 4));
  Edit(0);
  EXPECT_EQ(Editor(0)->BoundsRect(), grid->CellRect(1, 0));
}

// The fields are children of the table they paint and edit for; a table that goes first leaves them to the
// cell, which paints and edits as before once a column of another table takes it.
TEST_F(FieldCellTest, ACellOutlivesTheTableThatTookItsFields) {
  auto *first = new CellGrid(form, 1, 1);
  first->SetParent(form);
  auto *cell = new TOvcTCSimpleField(form);
  first->columns.Column(0)->SetDefaultCell(cell);
  const TOvcEntryValue kept = QStringLiteral("kept");
  const TOvcCellAttributes attr;
  cell->StartEditing(1, 0, TRect{0, 0, 90, 22}, attr, ocsPlain, &kept);
  cell->EndEditing(false, nullptr);
  ASSERT_EQ(cell->EditorControl()->Parent(), first);
  first->Free();
  EXPECT_EQ(cell->Table(), nullptr);
  ASSERT_NE(cell->EditorControl(), nullptr);

  grid->columns.Column(1)->SetDefaultCell(cell);
  Value(1) = QStringLiteral("Łódź");
  auto *text = new TOvcTCString(form);
  text->SetTable(grid);
  const QString shown = QStringLiteral("Łódź");
  EXPECT_EQ(PaintCell(cell, 1, 1, &Value(1)), PaintCell(text, 1, 1, &shown));
  // Edited in the new table with real keys.
  Edit(1);
  ASSERT_EQ(grid->Editing(), cell);
  EXPECT_EQ(cell->EditorControl()->Parent(), grid);
  Type(QStringLiteral("{End} €"));
  guitest::PressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  guitest::ProcessEvents();
  EXPECT_EQ(Value(1), TOvcEntryValue(QStringLiteral("Łódź €")));
}

} // namespace
