// The inspector grid on a shown form, driven by key presses and mouse clicks as a person would: editing and
// leaving rows, moving between rows, the drop-down editors, expanding and collapsing, and what it paints.
#include "grids/inspector/grid_editors.h"
#include "grids/inspector/inspector_grid.h"
#include "platform/core/format_settings.h"
#include "platform/widgets/std_buttons.h"
#include "platform/windowing/control_grab.h"
#include "platform/windowing/window_functions.h"
#include "tests/platform/std_test_helpers.h"
#include <QAbstractItemView>
#include <QComboBox>

namespace {

using guitest::FocusWidget;
using guitest::PressKey;
using stdtest::TypeText;

class InspectorGridTest : public stdtest::FormTest {
protected:
  void SetUp() override {
    FormTest::SetUp();
    form->SetClientSize(560, 320);
    grid = new TO32InspectorGrid(form);
    grid->SetParent(form);
    grid->SetBounds(8, 8, 460, 130);
    after = new TButton(form);
    after->SetParent(form);
    after->SetBounds(8, 280, 80, 24);
    grid->OnItemChange = To32IGridItemEvent::From(
        [this](TObject *, int row) { log.append(QStringLiteral("change %1").arg(row)); });
    grid->AfterEdit = To32IGridItemEvent::From([this](TObject *sender, int index) {
      log.append(
          QStringLiteral("after %1 %2").arg(static_cast<TO32InspectorItem *>(sender)->Caption()).arg(index));
    });
    grid->OnItemSelect = To32IGridItemEvent::From(
        [this](TObject *, int row) { log.append(QStringLiteral("select %1").arg(row)); });
  }

  // The main window's customer rows: six strings of 50 characters, "Customer", "Address" and four without a
  // caption.
  void FillAsCustomerRows() {
    for (const char *caption : {"Customer", "Address", "", "", "", ""}) {
      TO32InspectorItem *item = grid->AddItem(itString);
      item->SetCaption(caption);
      item->SetMaxLength(50);
    }
    grid->SetColumnWidth(0, 108);
    grid->SetColumnWidth(1, 348);
  }

  // The settings window's ten rows: caption, type, text and length.
  void FillAsSettingsRows() {
    grid->SetBounds(4, 4, 516, 230);
    const std::tuple<const char *, TO32IGridItemType, const char *, int> rows[] = {
        {"Company Name", itString, "Smith (Holdings) Ltd", 50},
        {"Address", itString, "Unit 4 (rear), Łódź", 250},
        {"Phone", itString, "+48 42 123 45 67", 25},
        {"Fax", itString, "", 25},
        {"Email", itString, "office@smith.example", 100},
        {"Website", itString, "www.smith.example", 100},
        {"Next Invoice Number", itInteger, "42", 0},
        {"Default Tax Percent", itFloat, "17.5", 0},
        {"Default Invoice Type", itList, "SERVICES", 0},
        {"Invoice FootNote", itString, "Thank you – payment within 14 days, €", 250}};
    for (const auto &[caption, type, text, length] : rows) {
      TO32InspectorItem *item = grid->AddItem(type);
      item->SetCaption(caption);
      if (type == itList) item->ItemsList()->SetCommaText("ITEMS,SERVICES");
      item->SetDisplayText(text);
      item->SetMaxLength(length);
    }
    grid->SetItemTextColor(clBlue);
    grid->SetColumnWidth(0, 112);
    grid->SetColumnWidth(1, 400);
  }

  void ShowFocused() {
    Show();
    grid->SelectRow(1);
    grid->SelectRow(0);
    grid->SetFocus();
    guitest::ProcessEvents();
    log.clear();
  }

  QPoint ValuePoint(int row) const {
    const TRect cell = grid->CellRect(1, row);
    return QPoint(cell.Left + 20, (cell.Top + cell.Bottom) / 2);
  }

  TO32InspectorGrid *grid = nullptr;
  TButton *after = nullptr;
};

// Makes Row current with its editor focused, as a click on it would.
#define EDIT_ROW(row)                                                                                        \
  do {                                                                                                       \
    grid->SelectRow(row);                                                                                    \
    grid->SetFocus();                                                                                        \
    guitest::ProcessEvents();                                                                                \
    ASSERT_NE(grid->Editor(), nullptr);                                                                      \
    ASSERT_TRUE(grid->Editor()->Focused());                                                                  \
  } while (false)

TEST_F(InspectorGridTest, TypedTextIsKeptExactlyHoweverTheRowIsLeft) {
  auto *before = new TButton(form);
  before->SetParent(form);
  before->SetBounds(100, 280, 80, 24);
  before->SetTabOrder(0);
  FillAsCustomerRows();
  ShowFocused();
  const QString text = QString::fromUtf8("Smith (Holdings) Łódź, € 1.234,50 ()");
  // Tab and Shift+Tab leave the grid for the controls after and before it.
  const std::function<void()> leaves[] = {
      [] { PressKey(Qt::Key_Return); },
      [] { PressKey(Qt::Key_Down); },
      [this] {
        PressKey(Qt::Key_Tab);
        EXPECT_EQ(FocusWidget(), after->Widget());
      },
      [this, before] {
        PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(FocusWidget(), before->Widget());
        EXPECT_FALSE(grid->Editor() && grid->Editor()->Visible());
      },
      [this] { guitest::Click(grid, ValuePoint(3)); },
  };
  for (std::size_t way = 0; way < std::size(leaves); ++way) {
    EDIT_ROW(0);
    TypeText(text);
    leaves[way]();
    guitest::ProcessEvents();
    EXPECT_EQ(grid->ItemAt(0)->DisplayText(), text) << "way " << way;
  }
  EXPECT_TRUE(services->MessageBoxes().isEmpty());
}

TEST_F(InspectorGridTest, EnterCommitsThenMovesDownWithNoMoreTextThanTheRowHolds) {
  FillAsSettingsRows();
  grid->OnGetEditLimit = TO32GetEditLimitEvent::From([](TObject *, TO32InspectorItem *item, int &limit) {
    if (item->Caption() == QLatin1String("Fax")) limit = 4;
  });
  ShowFocused();
  EDIT_ROW(2);
  log.clear();
  TypeText("+1 555");
  PressKey(Qt::Key_Return);
  EXPECT_EQ(log, QStringList({"change 2", "after Phone 2", "select 3"}));
  EXPECT_EQ(grid->Row(), 3);
  // Down on the last row and Up on the first keep the row and take the text.
  EDIT_ROW(9);
  log.clear();
  TypeText("Net 30");
  PressKey(Qt::Key_Down);
  EXPECT_EQ(grid->Row(), 9);
  EXPECT_EQ(log, QStringList({"change 9", "after Invoice FootNote 9"}));

  // Editors take no more than the limit the grid's handler gives.
  EDIT_ROW(3);
  TypeText("123456");
  PressKey(Qt::Key_Return);
  EXPECT_EQ(grid->ItemAt(3)->DisplayText(), "1234");
}

TEST_F(InspectorGridTest, ANumberThatDoesNotReadIsRefusedWithItsRow) {
  FillAsSettingsRows();
  ShowFocused();
  EDIT_ROW(6);
  TypeText("12x");
  PressKey(Qt::Key_Return);
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_EQ(grid->ItemAt(6)->IntegerValue(), 42);
  // The text stays, all selected, to be typed over.
  auto *edit = static_cast<TCustomEdit *>(grid->Editor());
  EXPECT_EQ(edit->Text(), "12x");
  EXPECT_EQ(edit->SelLength(), 3);
  TypeText("12");
  PressKey(Qt::Key_Return);
  EXPECT_EQ(grid->Row(), 7);
  // Leaving the grid with such text: told once the focus has moved, and the number stays.
  EDIT_ROW(6);
  TypeText("none");
  PressKey(Qt::Key_Tab);
  guitest::ProcessEvents();
  EXPECT_EQ(FocusWidget(), after->Widget());
  EXPECT_EQ(services->MessageBoxes().size(), 2);
  EXPECT_EQ(grid->ItemAt(6)->IntegerValue(), 12);
}

// Opens the current row's drop-down list and clicks the entry with that text.
void ChooseFromList(TWinControl *editor, const QString &text) {
  PressKey(Qt::Key_F4);
  guitest::ProcessEvents();
  auto *combo = dynamic_cast<QComboBox *>(editor->Widget());
  ASSERT_NE(combo, nullptr);
  ASSERT_TRUE(combo->view()->isVisible());
  const int index = combo->findText(text);
  ASSERT_GE(index, 0);
  QWidget *viewport = combo->view()->viewport();
  const QPoint at = combo->view()->visualRect(combo->model()->index(index, 0)).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
  }
  guitest::ProcessEvents();
}

TEST_F(InspectorGridTest, DropDownEditorsChooseTheValue) {
  FillAsSettingsRows();
  TO32InspectorItem *colour = grid->AddItem(itColor);
  colour->SetCaption("Colour");
  colour->SetColorValue(clNavy);
  TO32InspectorItem *font = grid->AddItem(itFont);
  font->SetDisplayText("Liberation Sans");
  int changes = 0;
  grid->OnItemEditorChange = To32IGridItemEvent::From([&changes](TObject *, int) { ++changes; });
  ShowFocused();
  EDIT_ROW(8);
  EXPECT_EQ(grid->Editor()->Text(), "SERVICES");
  EXPECT_EQ(changes, 0);
  ChooseFromList(grid->Editor(), "ITEMS");
  EXPECT_EQ(changes, 1);
  PressKey(Qt::Key_Up);
  EXPECT_EQ(grid->ItemAt(8)->DisplayText(), "ITEMS");
  EDIT_ROW(10);
  EXPECT_EQ(grid->Editor()->Text(), "Navy");
  // A colour the list has no name for stays as it is when the row is left.
  colour->SetColorValue(clBtnFace);
  EXPECT_EQ(grid->Editor()->Text(), QString());
  PressKey(Qt::Key_Up);
  EXPECT_EQ(colour->ColorValue(), clBtnFace);
  EDIT_ROW(10);
  ChooseFromList(grid->Editor(), "Red");
  PressKey(Qt::Key_Down);
  EXPECT_EQ(colour->ColorValue(), clRed);
  ChooseFromList(grid->Editor(), "Liberation Mono");
  PressKey(Qt::Key_Up);
  EXPECT_EQ(font->DisplayText(), "Liberation Mono");
}

TEST_F(InspectorGridTest, ParentsExpandAndCollapseByMouseAndKeys) {
  TO32InspectorItem *totals = grid->AddItem(itParent);
  totals->SetCaption("Totals");
  grid->AddItem(itFloat, totals);
  TO32InspectorItem *inner = grid->AddItem(itParent, totals);
  grid->AddItem(itString, inner);
  grid->AddItem(itString);
  std::vector<int> expanded;
  grid->OnExpand = To32IGridItemEvent::From([&expanded](TObject *, int index) { expanded.push_back(index); });
  Show();
  ASSERT_EQ(grid->RowCount(), 2);
  const int middle = (grid->CellRect(0, 0).Top + grid->CellRect(0, 0).Bottom) / 2;
  guitest::Click(grid, QPoint(6, middle)); // the expand button
  EXPECT_EQ(grid->RowCount(), 5);
  EXPECT_EQ(expanded, (std::vector<int>{2, 0}));
  PressKey(Qt::Key_Left);
  EXPECT_EQ(grid->RowCount(), 2);
  PressKey(Qt::Key_Right);
  // A click on the caption away from the button only selects; a double click toggles.
  guitest::Click(grid, QPoint(60, middle));
  EXPECT_EQ(grid->RowCount(), 5);
  guitest::SendMouse(grid, QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(60, middle), Qt::LeftButton);
  EXPECT_EQ(grid->RowCount(), 2);
  // The inner parent's button sits one indentation further in.
  PressKey(Qt::Key_Right);
  const TRect innerRow = grid->CellRect(0, 2);
  guitest::Click(grid, QPoint(grid->ChildIndentation() + 6, (innerRow.Top + innerRow.Bottom) / 2));
  EXPECT_EQ(grid->RowCount(), 4);
}

TEST_F(InspectorGridTest, KeysAndWheelMoveThroughManyRows) {
  for (int i = 0; i < 30; ++i) grid->AddItem(itString)->SetDisplayText(QStringLiteral("row %1").arg(i));
  ShowFocused();
  const int page = grid->VisibleRowCount();
  const auto inView = [this] {
    const TRect cell = grid->CellRect(0, grid->Row());
    return cell.Top >= 0 && cell.Bottom <= grid->ClientHeight();
  };
  struct Step {
    Qt::Key key;
    int row;
  };
  // From the editor, the keys that move between rows.
  const Step steps[] = {{Qt::Key_Down, 1},
                        {Qt::Key_PageDown, 1 + page},
                        {Qt::Key_PageDown, 1 + 2 * page},
                        {Qt::Key_Up, 2 * page},
                        {Qt::Key_PageUp, page}};
  for (const Step &step : steps) {
    PressKey(step.key);
    EXPECT_EQ(grid->Row(), step.row) << step.key;
    EXPECT_TRUE(inView()) << step.key;
  }
  QWheelEvent wheel(QPointF(20, 20), QPointF(grid->Widget()->mapToGlobal(QPoint(20, 20))), QPoint(),
                    QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid->Editor()->Widget(), &wheel);
  EXPECT_EQ(grid->Row(), page + 1);
  // Home and End belong to the editor's text; on the grid itself they go to the first and last row.
  grid->SetReadOnly(true);
  for (const Step &step : {Step{Qt::Key_End, 29}, Step{Qt::Key_Home, 0}}) {
    PressKey(step.key);
    EXPECT_EQ(grid->Row(), step.row) << step.key;
    EXPECT_TRUE(inView()) << step.key;
  }
}

TEST_F(InspectorGridTest, TheMouseSizesTheColumnsSelectsAndADoubleClickSelectsAWord) {
  FillAsCustomerRows();
  grid->ItemAt(2)->SetDisplayText("Leeds Road");
  ShowFocused();
  const int both = grid->ColWidth(0) + grid->ColWidth(1);
  const int y = grid->CellRect(0, 2).Top + 5;
  guitest::SendMouse(grid, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(108, y), Qt::LeftButton);
  guitest::SendMouse(grid, QEvent::MouseMove, Qt::NoButton, QPoint(150, y), Qt::LeftButton);
  guitest::SendMouse(grid, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(150, y), Qt::NoButton);
  EXPECT_EQ(grid->ColWidth(0), 150);
  EXPECT_EQ(grid->ColWidth(0) + grid->ColWidth(1), both);
  // A second click on the new editor is a double click.
  guitest::Click(grid, ValuePoint(2));
  guitest::Click(grid->Editor(), QPoint(8, 8));
  EXPECT_EQ(static_cast<TCustomEdit *>(grid->Editor())->SelText(), "Leeds");

  // A read-only grid only selects.
  grid->SetReadOnly(true);
  EXPECT_EQ(grid->Editor(), nullptr);
  guitest::Click(grid, ValuePoint(3));
  guitest::ProcessEvents();
  EXPECT_EQ(grid->Row(), 3);
  TypeText("x");
  EXPECT_EQ(grid->ItemAt(3)->DisplayText(), QString());
  grid->SetReadOnly(false);
  EXPECT_TRUE(grid->Editor() && grid->Editor()->Visible());
}

TEST_F(InspectorGridTest, EmptyGridAndLayoutRules) {
  Show();
  guitest::Click(grid, QPoint(40, 10));
  PressKey(Qt::Key_Down);
  EXPECT_EQ(grid->Selected(), nullptr);
  EXPECT_EQ(grid->Editor(), nullptr);
  for (const auto &[given, taken] : {std::pair{12, 19}, std::pair{21, 21}}) {
    grid->SetDefaultRowHeight(given);
    EXPECT_EQ(grid->DefaultRowHeight(), taken) << given;
  }
  grid->SetWidth(304);
  EXPECT_EQ(grid->ColWidth(0), 150);
  EXPECT_THROW(grid->SetColumnWidth(2, 10), EInvalidGridOperation);
  // Rows that no longer fit bring the scroll bar, which the value column makes room for, once.
  grid->SetDefaultRowHeight(19);
  for (int i = 0; i < 12; ++i) grid->AddItem(itString);
  EXPECT_TRUE(grid->ScrollBar(SB_VERT).Visible);
  grid->AddItem(itString);
  EXPECT_EQ(grid->ColWidth(1), 150 - GetSystemMetrics(SM_CXVSCROLL));
  while (grid->ItemCollection()->Count() > 3) grid->ItemAt(0)->Free();
  EXPECT_FALSE(grid->ScrollBar(SB_VERT).Visible);
  EXPECT_EQ(grid->ColWidth(1), 150);
}

int CountPixels(const QImage &image, const TRect &rect, const std::function<bool(QColor)> &wanted) {
  int n = 0;
  for (int y = rect.Top; y < rect.Bottom; ++y)
    for (int x = rect.Left; x < rect.Right; ++x)
      if (wanted(image.pixelColor(x, y))) ++n;
  return n;
}

// Text is drawn smoothed: its pixels lean to its colour.
bool Dark(QColor c) { return c.red() + c.green() + c.blue() < 360 && std::abs(c.red() - c.blue()) < 40; }
bool Bluish(QColor c) { return c.blue() - c.red() > 80; }

TEST_F(InspectorGridTest, SettingsRowsPaintInTheirPlaces) {
  FillAsSettingsRows();
  QSet<int> cells;
  grid->OnCellPaint = TO32IGridCellPaintEvent::From(
      [&cells](TObject *, int, TRect, TCanvas *, TO32IGridCell cell, bool &) { cells.insert(cell); });
  ShowFocused();
  const QImage image = GrabControl(grid);
  EXPECT_EQ(cells, (QSet<int>{icCaption, icValue}));
  const QColor line = ColorToQColor(grid->GridLineColor());
  const int border = 2;
  for (int row = 0; row < grid->RowCount(); ++row) {
    const TRect caption = grid->CellRect(0, row);
    // The grid line under the row, right across the value column (the current row's is its frame).
    if (row != grid->Row()) {
      EXPECT_EQ(image.pixel(border + 300, border + caption.Bottom), line.rgb()) << row;
    }
    TRect value = grid->CellRect(1, row);
    OffsetRect(value, border, border);
    TRect text = caption;
    OffsetRect(text, border, border);
    EXPECT_GT(CountPixels(image, text, Dark), 10) << row;
    // Row 0's value is in its editor.
    if (row > 0) {
      EXPECT_EQ(CountPixels(image, value, Bluish) > 10, !grid->ItemAt(row)->DisplayText().isEmpty()) << row;
    }
  }
  // The editor lies over the current row's value; text typed in it is painted in its row once left.
  EXPECT_EQ(grid->Editor()->Top(), grid->CellRect(1, 0).Top + 1);
  EXPECT_EQ(grid->Editor()->Left(), grid->CellRect(1, 0).Left);
  TypeText("Jones (Holdings)");
  PressKey(Qt::Key_Return);
  TRect value = grid->CellRect(1, 0);
  OffsetRect(value, border, border);
  EXPECT_GT(CountPixels(GrabControl(grid), value, Bluish), 20);
}

} // namespace
