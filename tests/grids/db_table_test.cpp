#include "cell_pictures.h"
#include "db_table_fixture.h"
#include "grids/cells/field_cells.h"
#include "platform/core/filer.h"
#include "platform/core/streams.h"
#include "platform/windowing/virtual_keys.h"
#include <QScrollBar>
#include <QWheelEvent>

namespace {

// Widths that leave every column on the screen: REC 11..61, QUANTITY ..111, DESCRIPTION ..261, ITEMPRICE
// ..321.
void NarrowColumns(TOvcDbTable *Table) {
  const int widths[] = {50, 50, 150, 60};
  for (int c = 0; c < Table->ColumnCount() && c < 4; ++c) Table->Column(c)->SetWidth(widths[c]);
  guitest::ProcessEvents();
}

// 30 lines in 5 rows: the keys move the active record and the rows shown alike in a data folder and in
// memory.
class DbTableScrollTest : public DbTableTest, public testing::WithParamInterface<bool> {};

TEST_P(DbTableScrollTest, KeysKeepTheActiveRecordAndTheShownRowsInStep) {
  struct Step {
    int key;
    Qt::KeyboardModifiers modifiers;
    int first, active; // the first line shown and the active line after the key
  };
  const Step steps[] = {
      {Qt::Key_PageDown, Qt::ControlModifier, 1, 5},
      {Qt::Key_Down, Qt::NoModifier, 2, 6},
      {Qt::Key_PageDown, Qt::NoModifier, 7, 11},
      {Qt::Key_PageUp, Qt::NoModifier, 6, 6},
      {Qt::Key_Up, Qt::NoModifier, 5, 5},
      {Qt::Key_End, Qt::ControlModifier, 26, 30},
      {Qt::Key_PageUp, Qt::ControlModifier, 26, 26},
      {Qt::Key_Home, Qt::ControlModifier, 1, 1},
  };
  TDataSet *lines = GetParam() ? static_cast<TDataSet *>(MemoryLines(30)) : Lines(30);
  Show(lines);
  ASSERT_EQ(Shown(), Expected(1, 5, 1));
  for (const Step &step : steps) {
    Key(step.key, step.modifiers);
    EXPECT_EQ(Shown(), Expected(step.first, 5, step.active)) << step.key << " to " << step.active;
    EXPECT_TRUE(OnScreenAsRepainted()) << step.key << " to " << step.active;
  }
  // The wheel turned towards the user moves down a record.
  QWheelEvent wheel(QPointF(50, 50), table->Widget()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(table->Widget(), &wheel);
  EXPECT_EQ(Shown(), Expected(1, 5, 2));
}

INSTANTIATE_TEST_SUITE_P(DataFolderAndMemory, DbTableScrollTest, testing::Bool());

TEST_F(DbTableTest, TheVerticalBarFollowsThePositionWithoutCounting) {
  struct Case {
    bool memory;
    int key;
    Qt::KeyboardModifiers modifiers;
    int pos;
  };
  // A database table cannot number its records: first, between and last; memory can.
  const Case cases[] = {{false, Qt::Key_Down, Qt::NoModifier, 2},
                        {false, Qt::Key_End, Qt::ControlModifier, 4},
                        {true, Qt::Key_End, Qt::ControlModifier, 30}};
  TDataSet *data[] = {Lines(30), MemoryLines(30)};
  for (TDataSet *lines : data) {
    Show(lines);
    table->SetScrollBars(ssVertical);
    table->SetFocus();
    guitest::ProcessEvents();
    for (const Case &c : cases) {
      if (c.memory != (lines == data[1])) continue;
      Key(c.key, c.modifiers);
      EXPECT_EQ(table->ScrollBar(SB_VERT).Pos, c.pos) << c.memory << " " << c.key;
    }
    // A click on the bar's groove above its thumb pages up.
    auto *bar = table->Widget()->findChild<QScrollBar *>();
    ASSERT_NE(bar, nullptr);
    const QPoint above(bar->width() / 2, bar->width() + 3);
    QMouseEvent press(QEvent::MouseButtonPress, above, bar->mapToGlobal(above), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, above, bar->mapToGlobal(above), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    QApplication::sendEvent(bar, &release);
    guitest::ProcessEvents();
    EXPECT_EQ(Current(lines), LineText(25));
    EXPECT_TRUE(OnScreenAsRepainted());
    table->Free();
  }
}

TEST_F(DbTableTest, AClickSelectsTheCellUnderTheMouseAndNothingOutsideTheCells) {
  TffTable *lines = Lines(3);
  Show(lines);
  NarrowColumns(table);
  QList<QString> clicks;
  table->OnIndicatorClick = TCellNotifyEvent::From(
      [&](TObject *, int r, int c) { clicks << QStringLiteral("indicator %1 %2").arg(r).arg(c); });
  table->OnLockedCellClick = TCellNotifyEvent::From(
      [&](TObject *, int r, int c) { clicks << QStringLiteral("locked %1 %2").arg(r).arg(c); });
  table->OnUnusedAreaClick = TCellNotifyEvent::From(
      [&](TObject *, int r, int c) { clicks << QStringLiteral("unused %1 %2").arg(r).arg(c); });
  struct Case {
    QPoint at;
    int row, col; // the active cell after the click
    const char *event;
  };
  const Case cases[] = {
      {{111, 17}, 0, 2, ""},           // the first pixel of a cell
      {{110, 67}, 2, 1, ""},           // the last pixel of the last record's row
      {{40, 16}, 2, 1, "locked -2 0"}, // the header's last pixel row
      {{40, 17 + 3 * kRow}, 2, 1, "unused -1 0"},
      {{330, 20}, 2, 1, "unused 0 -1"},
      {{10, 20}, 2, 1, "indicator 0 -2"},
      {{11, 20}, 0, 0, ""},
  };
  for (const Case &c : cases) {
    clicks.clear();
    Click(c.at);
    EXPECT_EQ(table->ActiveRow(), c.row) << c.at.x() << "," << c.at.y();
    EXPECT_EQ(table->ActiveColumn(), c.col) << c.at.x() << "," << c.at.y();
    EXPECT_EQ(Current(lines), LineText(c.row + 1));
    EXPECT_EQ(clicks.join(QLatin1Char(';')), QString::fromLatin1(c.event));
  }
}

TEST_F(DbTableTest, ARightClickMakesTheRecordUnderTheMouseCurrentForItsPopupMenu) {
  TffTable *lines = Lines(3);
  Show(lines);
  NarrowColumns(table);
  const struct {
    QPoint at;
    int line; // current after the click
  } cases[] = {{{120, 17 + 2 * kRow}, 3}, {{40, 17 + 3 * kRow}, 3}, {{70, 20}, 1}};
  for (const auto &c : cases) {
    guitest::Click(table, c.at, Qt::RightButton);
    EXPECT_EQ(Current(lines), LineText(c.line)) << c.at.x() << "," << c.at.y();
  }
}

TEST_F(DbTableTest, TypingEditsTheCellAndWritesExactlyWhatWasTypedAndEscapeUndoesIt) {
  TffTable *lines = Lines(3);
  Show(lines);
  NarrowColumns(table);
  ToDescription();
  // Escape undoes the typing, then cancels the record.
  Type("Changed");
  ASSERT_TRUE(table->EditorOpen());
  Key(Qt::Key_Escape);
  EXPECT_FALSE(table->EditorOpen());
  EXPECT_EQ(Current(lines), LineText(1));
  Key(Qt::Key_Escape);
  EXPECT_EQ(lines->State(), dsBrowse);
  lines->Refresh();
  EXPECT_EQ(Current(lines), LineText(1));

  // A letter typed on the browsing table opens the editor and is typed into it; the text goes past 255.
  QString typed = "Ab, ";
  for (int i = 0; typed.length() < 300; ++i) typed += QStringLiteral("word%1 ").arg(i);
  Type(typed);
  ASSERT_TRUE(table->EditorOpen());
  Key(Qt::Key_Down);
  EXPECT_EQ(lines->State(), dsBrowse);
  lines->First();
  EXPECT_EQ(Current(lines), typed);
  EXPECT_EQ(Shown().first(), typed + "*");
}

// The field cells fitted to their fields: a number typed onto an integer, a time typed into a date-time
// (which keeps its date), text added to a string; each column is edited with F2 and left with F2.
TEST_F(DbTableTest, FieldCellsEditTheirFieldsAsTyped) {
  auto *data = new TMemoryDataSet(module);
  data->FieldDefs()->Add("N", ftInteger);
  data->FieldDefs()->Add("D", ftDateTime);
  data->FieldDefs()->Add("S", ftString, 20);
  data->CreateDataSet();
  data->Append();
  data->FieldByName("N")->SetAsInteger(42);
  data->FieldByName("D")->SetAsDateTime(EncodeDate(2024, 5, 15) + EncodeTime(10, 30, 0, 0));
  data->FieldByName("S")->SetAsString("Łódź");
  data->Post();
  Show(data);
  auto *time = new TOvcTCPictureField(form);
  TOvcBaseTableCell *cells[] = {new TOvcTCNumericField(form), time, new TOvcTCSimpleField(form)};
  table->Column(1)->SetDateOrTime(dtUseTime);
  for (int c = 0; c < 3; ++c) {
    table->Column(c)->SetDefaultCell(cells[c]);
    EXPECT_TRUE(table->FitCellToField(data->Fields()->Fields(c), cells[c])) << c;
  }
  time->SetPictureMask("hh:mm");
  struct Case {
    int col, start;
    const char *typed;
  };
  const Case cases[] = {{0, Qt::Key_End, "7"}, {1, Qt::Key_Home, "11"}, {2, Qt::Key_End, " x"}};
  for (const Case &c : cases) {
    Key(Qt::Key_Home);
    while (table->ActiveColumn() < c.col) Key(Qt::Key_Right);
    Key(Qt::Key_F2);
    ASSERT_TRUE(table->EditorOpen()) << c.col;
    Key(c.start);
    Type(QString::fromUtf8(c.typed));
    Key(Qt::Key_F2);
    EXPECT_FALSE(table->EditorOpen()) << c.col;
  }
  data->Post();
  EXPECT_EQ(data->FieldByName("N")->AsInteger(), 427);
  EXPECT_EQ(double(data->FieldByName("D")->AsDateTime()),
            double(EncodeDate(2024, 5, 15) + EncodeTime(11, 30, 0, 0)));
  EXPECT_EQ(data->FieldByName("S")->AsString(), "Łódź x");
}

TEST_F(DbTableTest, ARefusedValueKeepsItsEditorAndLeavingTheTablePostsTheRecordItBegan) {
  TffTable *lines = Lines(3);
  Show(lines);
  NarrowColumns(table);
  TField *description = lines->FieldByName("DESCRIPTION");
  description->SetOnValidate(TFieldNotifyEvent::From([](TField *Field) {
    if (Field->AsString().startsWith(QLatin1String("bad"))) DatabaseError("Not a description");
  }));
  ToDescription();
  Type("bad");
  Key(Qt::Key_F2);
  ASSERT_TRUE(table->EditorOpen());
  ASSERT_FALSE(services->MessageBoxes().isEmpty());
  EXPECT_TRUE(services->MessageBoxes().last().Text.contains(QLatin1String("Not a description")));
  // Neither moving down nor leaving the table drops it.
  Key(Qt::Key_Down);
  EXPECT_TRUE(table->EditorOpen());
  EXPECT_EQ(Current(lines), LineText(1));
  Key(Qt::Key_Home);
  Type("Good");
  // Tab goes on to the next control of the form, and the record is posted.
  Key(Qt::Key_Tab);
  ASSERT_TRUE(other->Focused());
  EXPECT_EQ(lines->State(), dsBrowse);
  TffTable *again = Table("MINV2");
  again->Open();
  EXPECT_EQ(Current(again), "Goodbad");
}

TEST_F(DbTableTest, ColumnsAreSizedAndMovedWithTheMouse) {
  Show(MemoryLines(3), 5, {dtoShowIndicators, dtoAllowColumnSize, dtoAllowColumnMove});
  NarrowColumns(table);
  const auto drag = [this](QPoint From, QPoint To) {
    Mouse(QEvent::MouseMove, From, Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, From);
    Mouse(QEvent::MouseMove, To);
    Mouse(QEvent::MouseButtonRelease, To, Qt::NoButton);
  };
  struct Case {
    int from, to, width;
  };
  // QUANTITY's right edge is at 111; a width below 4 is not left.
  const Case sizes[] = {{111, 141, 80}, {141, 20, 4}};
  for (const Case &c : sizes) {
    drag({c.from, 8}, {c.to, 8});
    EXPECT_EQ(table->Column(1)->Width(), c.width) << c.to;
    EXPECT_TRUE(OnScreenAsRepainted()) << c.to;
  }
  table->Column(1)->SetWidth(50);
  guitest::ProcessEvents();
  QList<std::pair<int, int>> moves;
  table->OnColumnMoved = TOvcColumnMovedEvent::From([&](TObject *, int From, int To) {
    moves.append({From, To});
  });
  drag({290, 8}, {80, 8});
  EXPECT_EQ(moves, (QList<std::pair<int, int>>{{3, 1}}));
  QStringList order;
  for (int c = 0; c < table->ColumnCount(); ++c) order << table->Column(c)->DataField();
  EXPECT_EQ(order.join(QLatin1Char(',')), "REC,ITEMPRICE,QUANTITY,DESCRIPTION");
  EXPECT_TRUE(OnScreenAsRepainted());
}

TEST_F(DbTableTest, ADatasetChangedUnderTheTableLeavesNoStaleRow) {
  TffTable *lines = Lines(8, "REC");
  Show(lines);
  const int rowsTop = kRow;
  struct Step {
    const char *what;
    std::function<void()> change;
    QStringList shown;
  };
  // Descending: 8, 7, ... 1; the active line first.
  const auto rows = [](std::initializer_list<int> Numbers) {
    QStringList shown;
    for (int n : Numbers) shown << LineText(n) + (shown.isEmpty() ? "*" : QString());
    return shown;
  };
  const Step steps[] = {
      {"delete", [&] { lines->Delete(); }, rows({7, 6, 5, 4, 3})},
      {"append", [&] { AppendLine(lines, 20); }, rows({20, 7, 6, 5, 4})},
      {"range", [&] { lines->SetRange({5}, {3}); }, rows({5, 4, 3})},
      {"cancel range", [&] { lines->CancelRange(); }, rows({20, 7, 6, 5, 4})},
      {"empty", [&] { lines->EmptyTable(); }, {}},
      {"insert", [&] { AppendLine(lines, 7); }, rows({7})},
  };

  for (const Step &step : steps) {
    step.change();
    guitest::ProcessEvents();
    const QStringList shown = Shown();
    EXPECT_EQ(shown, step.shown) << step.what;
    if (!shown.isEmpty()) {
      EXPECT_EQ(Current(lines) + "*", shown.first()) << step.what;
    }
    EXPECT_TRUE(UnusedFrom(rowsTop + int(shown.size()) * kRow)) << step.what;
    EXPECT_TRUE(OnScreenAsRepainted()) << step.what;
  }
}

TEST_F(DbTableTest, PaintsTheHeaderIndicatorAndActiveRow) {
  Show(Lines(3), 5, {dtoShowIndicators, dtoHighlightActiveRow});
  NarrowColumns(table);
  Key(Qt::Key_Down);
  Shown();
  const QColor highlight = ColorToQColor(clHighlight);
  const auto count = [&](QRect Area, QColor Color) {
    int n = 0;
    for (int y = Area.top(); y <= Area.bottom(); ++y)
      for (int x = Area.left(); x <= Area.right(); ++x) n += QColor(picture.pixel(x, y)) == Color;
    return n;
  };
  // The active row (the second) is highlighted across its columns, the others are not.
  EXPECT_GT(count(QRect(12, 2 * kRow + 2, 300, 12), highlight), 2000);
  EXPECT_EQ(count(QRect(12, kRow + 2, 300, 12), highlight), 0);
  // The arrow stands in the indicator of the active row only; the header holds its labels.
  EXPECT_GT(count(QRect(0, 2 * kRow, 11, kRow), Qt::black), 5);
  EXPECT_EQ(count(QRect(0, 3 * kRow, 11, kRow), Qt::black), 0);
  int dark = 0;
  for (int y = 1; y < kRow - 1; ++y)
    for (int x = 112; x < 260; ++x) dark += QColor(picture.pixel(x, y)).lightness() < 100;
  EXPECT_GT(dark, 20);
}

TEST_F(DbTableTest, DefaultColumnsFollowTheFieldsAndSurviveAClose) {
  TffTable *lines = Lines(2);
  Show(lines);
  QStringList names;
  for (int c = 0; c < table->ColumnCount(); ++c) names << table->Column(c)->DataField();
  EXPECT_EQ(names.join(QLatin1Char(',')), "REC,QUANTITY,DESCRIPTION,ITEMPRICE");
  // Closed and opened again, the dataset's own fields come and go; the columns stay.
  NarrowColumns(table);
  lines->Close();
  lines->Open();
  guitest::ProcessEvents();
  EXPECT_EQ(table->Column(2)->Width(), 150);
  EXPECT_EQ(Shown(), Expected(1, 2, 1));

  // "ColData" keeps width, hidden, field, date or time and the cell's name.
  table->Column(1)->SetHidden(true);
  text->SetName("Text");
  TMemoryStream stream;
  TWriter writer(&stream);
  table->WriteColData(&writer);
  stream.SetPosition(0);
  TReader reader(&stream);
  auto *copy = new TOvcDbTable(form);
  copy->ReadColData(&reader);
  ASSERT_EQ(copy->ColumnCount(), 4);
  EXPECT_TRUE(copy->Column(1)->Hidden());
  EXPECT_EQ(copy->Column(2)->DataField(), "DESCRIPTION");
  EXPECT_TRUE(QByteArray(static_cast<const char *>(stream.Memory()), int(stream.Size())).contains("Text"));
}

TEST_F(DbTableTest, RowsAndColumnsFitTheClientArea) {
  Show(MemoryLines(30));
  // Five and a half rows of room show five; with integral height the table shrinks to them.
  table->SetHeight(table->Height() + kRow / 2);
  guitest::ProcessEvents();
  EXPECT_EQ(table->VisibleRowCount(), 5);
  table->SetOptions(table->Options() + TOvcDbTableOptionSet{dtoIntegralHeight});
  EXPECT_EQ(table->ClientHeight(), kRow + 5 * kRow);
  // Columns wider than the table scroll; a hidden one takes no room and no place on the bar.
  table->SetScrollBars(ssHorizontal);
  for (int c = 0; c < 4; ++c) table->Column(c)->SetWidth(200);
  guitest::ProcessEvents();
  EXPECT_EQ(table->ScrollBar(SB_HORZ).Max, 3);
  // Moving across them scrolls whole columns, and the picture moved along leaves nothing behind.
  const int lefts[] = {1, 2, 3, 3, 2, 1, 0, 0};
  for (int i = 0; i < 8; ++i) {
    Key(i < 4 ? Qt::Key_Right : Qt::Key_Left);
    EXPECT_EQ(table->LeftColumn(), lefts[i]) << i;
    EXPECT_EQ(table->ScrollBar(SB_HORZ).Pos, lefts[i]) << i;
    EXPECT_TRUE(OnScreenAsRepainted()) << i;
  }
  table->Column(1)->SetHidden(true);
  guitest::ProcessEvents();
  EXPECT_EQ(table->ScrollBar(SB_HORZ).Max, 2);
  EXPECT_EQ(table->Column(2)->Left(), 211);
  // Every column locked would leave nothing to scroll: refused.
  table->SetLockedColumns(table->ColumnCount());
  EXPECT_EQ(table->LockedColumns(), 0);
}

TEST_F(DbTableTest, EnterMovesLikeTabAndWrapsToTheNextRecord) {
  TMemoryDataSet *lines = MemoryLines(8);
  Show(lines, 3, {dtoShowIndicators, dtoEnterToTab, dtoWrapAtEnds});
  NarrowColumns(table);
  struct Step {
    int key;
    Qt::KeyboardModifiers modifiers;
    int row, col, line;
  };
  const Step steps[] = {
      {Qt::Key_End, Qt::NoModifier, 0, 3, 1},       {Qt::Key_Return, Qt::NoModifier, 1, 0, 2},
      {Qt::Key_Return, Qt::ShiftModifier, 0, 3, 1}, {Qt::Key_PageDown, Qt::ControlModifier, 2, 3, 3},
      {Qt::Key_Return, Qt::NoModifier, 2, 0, 4},
  };
  for (const Step &s : steps) {
    Key(s.key, s.modifiers);
    EXPECT_EQ(std::make_pair(table->ActiveRow(), table->ActiveColumn()), std::make_pair(s.row, s.col))
        << s.key;
    EXPECT_EQ(Current(lines), LineText(s.line)) << s.key;
  }
  // A click on a table without the focus only gives it the focus; the next one moves.
  Key(Qt::Key_Tab);
  ASSERT_TRUE(other->Focused());
  Click({30, kRow + 2});
  EXPECT_TRUE(table->Focused());
  EXPECT_EQ(table->ActiveRow(), 2);
  Click({30, kRow + 2});
  EXPECT_EQ(std::make_pair(table->ActiveRow(), table->ActiveColumn()), std::make_pair(0, 0));
}

// Values between a field and the cells that take them from the table (no text kept that the list holds, a
// drop-down list keeps none at all); and back while the record is edited.
TEST_F(DbTableTest, CellValuesComeFromAndGoToTheirFields) {
  auto *data = new TMemoryDataSet(module);
  data->FieldDefs()->Add("T", ftString, 20);
  data->FieldDefs()->Add("B", ftBoolean);
  data->CreateDataSet();
  data->Append();
  data->Post();
  TField *text = data->FieldByName("T"), *flag = data->FieldByName("B");
  auto *combo = new TOvcTCComboBox(module);
  combo->Items()->SetCommaText("One,Two");
  auto *check = new TOvcTCCheckBox(module);
  struct Case {
    TOvcBaseTableCell *cell;
    TField *field;
    TComboBoxStyle style;
    QVariant stored;
    TOvcTCComboBoxData combo;
    qint32 state; // the check box's state
    const char *back;
  };
  const Case cases[] = {
      {combo, text, csDropDown, "Two", {1, nullptr, QString()}, 0, "Two"},
      {combo, text, csDropDown, "Other", {-1, nullptr, "Other"}, 0, "Other"},
      {combo, text, csDropDownList, "Other", {-1, nullptr, QString()}, 0, ""},
      {check, flag, csDropDown, true, {}, cbChecked, "True"},
  };
  for (const Case &c : cases) {
    combo->SetStyle(c.style);
    data->Edit();
    c.field->SetData(c.stored);
    TOvcDbCellValue value;
    FieldToCellData(c.field, c.cell, value);
    if (c.cell == combo) {
      EXPECT_EQ(value.Get<TOvcTCComboBoxData>()->Index, c.combo.Index) << c.stored.toString().toStdString();
      EXPECT_EQ(value.Get<TOvcTCComboBoxData>()->Text, c.combo.Text) << c.stored.toString().toStdString();
    } else {
      EXPECT_EQ(*value.Get<TCheckBoxState>(), c.state);
    }
    // Written back, the field takes the cell's value (a drop-down list has nothing to give for "Other").
    c.field->Clear();
    CellDataToField(c.field, c.cell, value);
    EXPECT_EQ(c.field->AsString(), QString::fromLatin1(c.back)) << c.stored.toString().toStdString();
    data->Cancel();
  }
}

// The field map answers only for the fields it holds.
TEST_F(DbTableTest, AFieldOutsideTheMapIsRefused) {
  Show(MemoryLines(2));
  ASSERT_EQ(table->DataLink()->MappedCount(), 4);
  EXPECT_EQ(table->DataLink()->MappedField(3)->FieldName(), "ITEMPRICE");
  for (const int index : {-1, 4}) {
    try {
      table->DataLink()->MappedField(index);
      ADD_FAILURE() << index;
    } catch (const EDuvizivTable &e) {
      EXPECT_EQ(e.Message(), "Invalid field index") << index;
    }
  }
}

// A field freed on its own takes its column with it; the table goes on showing the others.
TEST_F(DbTableTest, AFreedFieldTakesItsColumn) {
  auto *data = new TMemoryDataSet(module);
  data->FieldDefs()->Add("A", ftInteger);
  data->FieldDefs()->Add("B", ftString, 10);
  auto *a = new TIntegerField(module);
  a->SetFieldName("A");
  a->SetDataSet(data);
  auto *b = new TStringField(module);
  b->SetFieldName("B");
  b->SetSize(10);
  b->SetDataSet(data);
  data->CreateDataSet();
  data->Append();
  a->SetAsInteger(7);
  b->SetAsString("seven");
  data->Post();
  Show(data);
  ASSERT_EQ(table->ColumnCount(), 2);
  auto *cell = new TOvcTCString(form);
  table->Column(1)->SetDefaultCell(cell);
  b->Free();
  guitest::ProcessEvents();
  ASSERT_EQ(table->ColumnCount(), 1);
  EXPECT_EQ(table->Column(0)->DataField(), "A");
  EXPECT_EQ(cell->Table(), nullptr);
  EXPECT_FALSE(table->RegisteredCells().contains(cell));
  GrabControl(table);
}

// A glyph cell paints the glyph its field's number names.
TEST_F(DbTableTest, AGlyphCellPaintsItsFieldsNumber) {
  auto *data = new TMemoryDataSet(module);
  data->FieldDefs()->Add("G", ftInteger);
  data->CreateDataSet();
  for (int g = 0; g < 3; ++g) {
    data->Append();
    data->FieldByName("G")->SetAsInteger(g);
    data->Post();
  }
  data->First();
  Show(data);
  auto *glyph = new TOvcTCGlyph(form);
  glyph->CellGlyphs()->SetActiveGlyphCount(3);
  table->Column(0)->SetDefaultCell(glyph);
  ASSERT_TRUE(table->FitCellToField(data->FieldByName("G"), glyph));
  guitest::ProcessEvents();
  const QImage picture = GrabControl(table);
  for (qint32 row = 1; row < 3; ++row) {
    const TRect content = table->CellContentRect(row, 0);
    const GatheredAttributes cell(glyph, row, 0);
    EXPECT_EQ(Part(picture, content),
              Part(WithCell(picture, content, glyph, row, 0, cell.attr, &row), content))
        << row;
  }
  // And back: the number edited in the cell's value reaches the field.
  data->Edit();
  TOvcDbCellValue value;
  FieldToCellData(data->FieldByName("G"), glyph, value);
  EXPECT_EQ(*value.Get<qint32>(), data->FieldByName("G")->AsInteger());
  value.Make<qint32>() = 1;
  CellDataToField(data->FieldByName("G"), glyph, value);
  EXPECT_EQ(data->FieldByName("G")->AsInteger(), 1);
  data->Cancel();
}

// A data source given at run time, even the one the table has, replaces the columns by one for each of its
// fields, in its order; the columns keep their cells until the table has no source at all.
TEST_F(DbTableTest, ADataSourceGivenAtRunTimeMakesAColumnPerField) {
  const auto dataSet = [this](const QStringList &Names) {
    auto *data = new TMemoryDataSet(module);
    for (const QString &name : Names) data->FieldDefs()->Add(name, name == "Y" ? ftString : ftInteger, 30);
    data->CreateDataSet();
    return data;
  };
  const auto names = [this] {
    QStringList shown;
    for (int c = 0; c < table->ColumnCount(); ++c) shown << table->Column(c)->DataField();
    return shown;
  };
  Show(dataSet({"X", "Y", "Z"}));
  auto *cell = new TOvcTCString(form);
  table->Column(2)->SetDefaultCell(cell);
  // Columns named by the program go when the source is given again.
  table->Column(0)->SetDataField("Z");
  table->Column(2)->SetDataField("X");
  table->SetDataSource(table->DataSource());
  guitest::ProcessEvents();
  EXPECT_EQ(names(), QStringList({"X", "Y", "Z"}));
  table->SetDataSource(SourceOf(dataSet({"Z", "Y", "X"})));
  guitest::ProcessEvents();
  EXPECT_EQ(names(), QStringList({"Z", "Y", "X"}));
  EXPECT_GT(table->Column(1)->Width(), table->Column(0)->Width());
  EXPECT_EQ(table->Column(2)->DefaultCell(), cell);
  table->SetDataSource(nullptr);
  EXPECT_EQ(cell->Table(), nullptr);
  for (int c = 0; c < table->ColumnCount(); ++c) EXPECT_EQ(table->Column(c)->DefaultCell(), nullptr) << c;
  GrabControl(table);
}

} // namespace
