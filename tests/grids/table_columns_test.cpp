#include "grids/base/table_colors.h"
#include "grids/base/table_columns.h"
#include "platform/windowing/forms.h"
#include "test_table.h"
#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

class ColumnsTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetName("Main_1"); // a second instance of the form "Main"
    table = new TestTable(form);
    table->SetParent(form);
    table->Handle();
    columns = std::make_unique<TOvcTableColumns>(table, TableColumnClass<TOvcTableColumn>(), 5);
    columns->SetChangeHandler(TOvcColumnChangeEvent::From([this](TObject *, int c1, int c2, int action) {
      events.append({c1, c2, action});
    }));
  }
  void TearDown() override {
    columns.reset();
    form->Free();
    QApplication::processEvents();
  }
  TOvcBaseTableCell *NewCell(TComponent *Owner, const char *Name) {
    auto *cell = new TOvcBaseTableCell(Owner);
    cell->SetName(QString::fromLatin1(Name));
    return cell;
  }
  QList<int> Numbers() const {
    QList<int> numbers;
    for (int i = 0; i < columns->Count(); ++i) numbers.append(columns->Column(i)->Number());
    return numbers;
  }

  TForm *form = nullptr;
  TestTable *table = nullptr;
  std::unique_ptr<TOvcTableColumns> columns;
  QList<QList<int>> events;
  TOvcTableColumn stray{nullptr};
};

TEST_F(ColumnsTest, ListChangesRenumberAndReport) {
  TOvcTableColumn *third = columns->Column(2);
  struct Case {
    const char *what;
    std::function<void()> change;
    int count;
    QList<int> event; // empty: nothing reported
  };
  const Case cases[] = {
      {"negative count", [&] { columns->SetCount(-3); }, 5, {}},
      {"delete 2 of 5", [&] { columns->Delete(2); }, 4, {2, 0, occDeleted}},
      {"delete outside", [&] { columns->Delete(7); }, 4, {}},
      {"exchange", [&] { columns->Exchange(0, 3); }, 4, {0, 3, occExchanged}},
      {"width", [&] { columns->SetWidth(1, 60); }, 4, {1, 0, occColumnChanged}},
      {"same width", [&] { columns->SetWidth(1, 60); }, 4, {}},
      {"grow", [&] { columns->SetCount(5); }, 5, {4, 0, occAppended}},
      {"other table's column", [&] { columns->Append(&stray); }, 5, {}},
      {"clear", [&] { columns->Clear(); }, 0, {0, 0, occCleared}},
  };
  for (const Case &c : cases) {
    events.clear();
    c.change();
    EXPECT_EQ(columns->Count(), c.count) << c.what;
    EXPECT_EQ(events.isEmpty() ? QList<int>() : events.last(), c.event) << c.what;
    if (std::string(c.what) == "delete 2 of 5") {
      EXPECT_EQ(Numbers(), (QList<int>{0, 1, 2, 3}));
      EXPECT_FALSE(columns->Column(2) == third);
    }
  }
}

TEST_F(ColumnsTest, ACellServesTheColumnsOfOneTable) {
  TOvcBaseTableCell *cell = NewCell(form, "Cell");
  columns->Column(0)->SetDefaultCell(cell);
  columns->Column(1)->SetDefaultCell(cell);
  EXPECT_EQ(table->RegisteredCells(), QList<TOvcBaseTableCell *>{cell});

  auto *other = new TestTable(form);
  TOvcTableColumns otherColumns(other, TableColumnClass<TOvcTableColumn>(), 1);
  otherColumns.Column(0)->SetDefaultCell(cell);
  EXPECT_EQ(otherColumns.DefaultCell(0), nullptr);

  columns->Column(0)->SetDefaultCell(nullptr);
  columns->Delete(1); // the last user
  EXPECT_TRUE(table->RegisteredCells().isEmpty());
  otherColumns.Column(0)->SetDefaultCell(cell);
  EXPECT_EQ(otherColumns.DefaultCell(0), cell);
}

TEST_F(ColumnsTest, CellNamesResolveOnTheTablesFormOrAnotherOpenForm) {
  TOvcBaseTableCell *own = NewCell(form, "Own");
  TOvcBaseTableCell *plain = NewCell(form, "Plain");
  TForm *otherForm = TCustomForm::Create<TForm>(nullptr);
  otherForm->SetName("Other");
  TOvcBaseTableCell *foreign = NewCell(otherForm, "Foreign");

  TStringList *names = columns->PendingCellNames();
  const char *entries[] = {"Main.Own", "Plain", "Other.Foreign", "Nowhere.Own", "Gone.Own"};
  for (int i = 0; i < 5; ++i) names->AddObject(QString::fromLatin1(entries[i]), columns->Column(i));
  // A column that left the list takes its own entry with it, wherever it moved.
  columns->Exchange(3, 4);
  columns->Delete(3);
  columns->ResolveCellNames();
  EXPECT_EQ(columns->DefaultCell(0), own);
  EXPECT_EQ(columns->DefaultCell(1), plain);
  EXPECT_EQ(columns->DefaultCell(2), foreign);
  EXPECT_EQ(columns->DefaultCell(3), nullptr); // "Nowhere" matches no form
  columns->Clear();
  otherForm->Free();
}

} // namespace
