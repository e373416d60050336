// Cross bands: cells printed once per record of the cross source beside the rows of a data band, with
// per-column and per-row totals.
#include "report/band.h"
#include "tests/report/report_build_fixture.h"

namespace build {
namespace {

class CrossBandTest : public ReportBuildTest {
protected:
  // Columns from a second source: months with a factor 1, 2, 3, ...; the cross data strip at x 200, 80 wide,
  // the cross footer strip right after it.
  void Columns(int count) {
    if (!months) {
      months =
          test::MemoryTable(form, QStringLiteral("Months"), {{"MON", ftString, 10}, {"FACTOR", ftInteger}});
      auto *monthSource = new TfrDBDataSet(form);
      monthSource->SetName(QStringLiteral("frMonths"));
      monthSource->SetDataSet(months);
    }
    months->EmptyDataSet();
    for (int i = 1; i <= count; ++i) test::AppendRow(months, {QStringLiteral("M%1").arg(i), i});
    TfrBandView *data = AddBand(btCrossData, 500, 10, QStringLiteral("frMonths"));
    data->Left = 200;
    data->Width = 80;
    TfrBandView *footer = AddBand(btCrossFooter, 500, 10);
    footer->Left = 280;
    footer->Width = 80;
  }
  // A row band with a name, a cell and a total at its top.
  TfrBandView *Row(int type, int top, const QString &source, const QString &name, const QString &cell,
                   const QString &total) {
    TfrBandView *band = AddBand(type, top, 20, source);
    AddMemo(0, top, 100, 20, {name});
    AddMemo(200, top, 80, 20, {cell});
    AddMemo(280, top, 80, 20, {total});
    return band;
  }
  // A fresh report of that many records and columns under a page header "Head" 20 high.
  void StartUnderHeader(int records, int columns) {
    NewReport();
    FillItems(records);
    Columns(columns);
    Build({"PageHeader 0+20 | 0,100 Head"});
  }
  // The dump, each object checked to lie inside its paper.
  QStringList DumpInsidePaper() {
    const TfrPrnInfo paper = ReportPrinter()->PageMetrics();
    const QStringList dump = Dump();
    for (const QString &line : dump) {
      const QStringList place = line.section(QLatin1Char(' '), 1, 1).split(QLatin1Char(','));
      const QStringList size = line.section(QLatin1Char(' '), 2, 2).split(QLatin1Char('x'));
      const int left = place.value(0).toInt(), top = place.value(1).toInt();
      EXPECT_TRUE(left >= 0 && top >= 0 && left + size.value(0).toInt() <= paper.Pgw &&
                  top + size.value(1).toInt() <= paper.Pgh)
          << line.toStdString();
    }
    return dump;
  }
  TMemoryDataSet *months = nullptr;
};

TEST_F(CrossBandTest, CellsPrintPerColumnWithColumnAndRowTotals) {
  FillItems(3);
  Columns(3);
  const QString product = QStringLiteral("[SUM(QTY * FACTOR)]");
  Row(btMasterHeader, 0, QString(), QStringLiteral("Name"), QStringLiteral("[MON]"), QStringLiteral("Total"));
  Row(btMasterData, 40, QStringLiteral("frLines"), QStringLiteral("[NAME]"), QStringLiteral("[QTY * FACTOR]"),
      product);
  Row(btMasterFooter, 80, QString(), QStringLiteral("Sum"), product, product);
  QList<int> begun;
  int printed = 0;
  report->OnBeginColumn = TfrBandEvent::From([&begun](TfrBand *band) { begun << band->Typ; });
  report->OnPrintColumn = TfrPrintColumnEvent::From([&printed](int column, int &width) {
    ++printed;
    if (column == 2) width = 100;
  });
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  // The header row names the columns; the third column made 100 wide.
  EXPECT_EQ(Dump(), (QStringList{"1: 0,0 100x20 Name",    "1: 200,0 80x20 M1",     "1: 280,0 80x20 M2",
                                 "1: 380,0 80x20 M3",     "1: 460,0 80x20 Total",  "1: 0,20 100x20 Item 1",
                                 "1: 200,20 80x20 1",     "1: 280,20 80x20 2",     "1: 380,20 80x20 3",
                                 "1: 460,20 80x20 6",     "1: 0,40 100x20 Item 2", "1: 200,40 80x20 2",
                                 "1: 280,40 80x20 4",     "1: 380,40 80x20 6",     "1: 460,40 80x20 12",
                                 "1: 0,60 100x20 Item 3", "1: 200,60 80x20 3",     "1: 280,60 80x20 6",
                                 "1: 380,60 80x20 9",     "1: 460,60 80x20 18",    "1: 0,80 100x20 Sum",
                                 "1: 200,80 80x20 6",     "1: 280,80 80x20 12",    "1: 380,80 80x20 18",
                                 "1: 460,80 80x20 36"}));
  EXPECT_EQ(begun, (QList<int>{btMasterHeader, btMasterData, btMasterData, btMasterData, btMasterFooter}));
  EXPECT_EQ(printed, 15);
}

TEST_F(CrossBandTest, ColumnsPastTheRightMarginWrapAndEveryCellPrintsOnce) {
  FillItems(30);
  Columns(12);
  Row(btMasterData, 0, QStringLiteral("frLines"), QStringLiteral("[NAME]"), QStringLiteral("[QTY]:[FACTOR]"),
      QStringLiteral("end"));
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  const QStringList dump = Dump();
  QStringList texts;
  int right = 0;
  for (const QString &line : dump) {
    texts << line.section(QLatin1Char(' '), 3);
    const QStringList place = line.section(QLatin1Char(' '), 1, 1).split(QLatin1Char(','));
    right = std::max(right, place.value(0).toInt() + 80);
  }
  EXPECT_LE(right, ReportPrinter()->PageMetrics().Pgw);
  for (int row = 1; row <= 30; ++row)
    for (int column = 1; column <= 12; ++column)
      EXPECT_EQ(texts.count(QStringLiteral("%1:%2").arg(row).arg(column)), 1) << row << " " << column;
  EXPECT_EQ(texts.count(QStringLiteral("end")), 30);
}

// Rows of cells that do not fit on the rest of the page go on on the next one, under its header: a band that
// may split as well as one that may not, and a band whose columns wrap into more rows than a page holds.
TEST_F(CrossBandTest, RowsOfCellsThatDoNotFitGoOnOnTheNextPageUnderItsHeader) {
  const struct {
    const char *name;
    int records, columns;
    bool split, onlyCells;
  } cases[] = {
      {"records of a band that may split", 60, 3, true, false},
      {"records of a band that may not split", 60, 3, false, false},
      {"records of a band holding nothing but cells", 60, 3, false, true},
      {"columns wrapping into more rows than a page holds, the band may split", 1, 600, true, false},
      {"columns wrapping into more rows than a page holds, the band may not split", 2, 600, false, false}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    StartUnderHeader(c.records, c.columns);
    TfrBandView *rows = Row(btMasterData, 40, QStringLiteral("frLines"), QStringLiteral("[NAME]"),
                            QStringLiteral("[QTY]:[FACTOR]"), QStringLiteral("end [QTY]"));
    if (c.split) rows->Flags |= flBandBreaked;
    if (c.onlyCells) page->Delete(page->IndexOf(page->FindView(QStringLiteral("Memo2"))));
    ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
    QStringList texts;
    int pageNo = 0;
    for (const QString &line : DumpInsidePaper()) {
      const int onPage = line.section(QLatin1Char(':'), 0, 0).toInt();
      const QString text = line.section(QLatin1Char(' '), 3);
      const int top = line.section(QLatin1Char(' '), 1, 1).section(QLatin1Char(','), 1).toInt();
      if (onPage != pageNo) {
        // Every page starts with its header; the rows go on right below it.
        EXPECT_EQ(line, QStringLiteral("%1: 0,0 100x20 Head").arg(onPage));
        pageNo = onPage;
      } else if (text != QLatin1String("Head")) {
        EXPECT_GE(top, 20) << line.toStdString();
      }
      texts << text;
    }
    EXPECT_GT(pageNo, 1);
    for (int row = 1; row <= c.records; ++row) {
      EXPECT_EQ(texts.count(QStringLiteral("Item %1").arg(row)), c.onlyCells ? 0 : 1) << row;
      for (int column = 1; column <= c.columns; ++column)
        EXPECT_EQ(texts.count(QStringLiteral("%1:%2").arg(row).arg(column)), 1) << row << " " << column;
      EXPECT_EQ(texts.count(QStringLiteral("end %1").arg(row)), 1) << row;
    }
  }
}

// A row of cells taller than a whole page prints in slices as a band that may split does: what fits on the
// page prints there, the rest on the next pages, every cell once and nothing below a page's bottom.
TEST_F(CrossBandTest, ARowOfCellsTallerThanAPagePrintsInSlices) {
  const struct {
    const char *name;
    int records, columns;
    bool split;
  } cases[] = {{"a band that may split", 2, 3, true},
               {"a band that may not split", 2, 3, false},
               {"columns wrapping into a second row", 2, 12, false}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    StartUnderHeader(c.records, c.columns);
    TfrBandView *rows = AddBand(btMasterData, 40, 1200, QStringLiteral("frLines"));
    if (c.split) rows->Flags |= flBandBreaked;
    AddMemo(0, 40, 100, 20, {QStringLiteral("[NAME]")});
    AddMemo(200, 40, 80, 20, {QStringLiteral("[QTY]:[FACTOR]")});
    // The cells printed in a later slice keep their own column's look.
    TfrMemoView *low = AddMemo(200, 1140, 80, 20, {QStringLiteral("low [QTY]:[FACTOR]")});
    low->HighlightStr = QStringLiteral("[FACTOR] = 2");
    low->Highlight.FillColor = clYellow;
    AddMemo(280, 40, 80, 20, {QStringLiteral("end [QTY]")});
    AddMemo(280, 1140, 80, 20, {QStringLiteral("low end [QTY]")});
    ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
    const QStringList dump = DumpInsidePaper();
    // The row moves on to a fresh page under its header and fills it (1051 of it): the lower cells go on
    // 1100 - 1051 down the next one.
    EXPECT_TRUE(dump.contains(QStringLiteral("3: 200,69 80x20 low 1:1")))
        << dump.join(QLatin1Char('\n')).toStdString();
    QStringList texts;
    for (const QString &line : dump) texts << line.section(QLatin1Char(' '), 3);
    for (int row = 1; row <= c.records; ++row) {
      EXPECT_EQ(texts.count(QStringLiteral("Item %1").arg(row)), 1) << row;
      for (const char *cell : {"%1:%2", "low %1:%2"})
        for (int column = 1; column <= c.columns; ++column)
          EXPECT_EQ(texts.count(QString::fromLatin1(cell).arg(row).arg(column)), 1) << cell << row << column;
      for (const char *total : {"end %1", "low end %1"})
        EXPECT_EQ(texts.count(QString::fromLatin1(total).arg(row)), 1) << total << row;
    }
    for (int i = 0; i < report->EMFPages().Count(); ++i) {
      TfrPage objects;
      frReadPageObjects(report->EMFPages()[i].Stream.get(), &objects);
      for (int j = 0; j < objects.ObjectCount(); ++j) {
        const TfrView *view = objects.Object(j);
        const QString text = TextOf(objects.Object(j));
        if (text.startsWith(QLatin1String("low ")) && !text.contains(QLatin1String("end"))) {
          EXPECT_EQ(view->FillColor, text.endsWith(QLatin1String(":2")) ? int(clYellow) : int(clNone))
              << text.toStdString();
        }
      }
    }
  }
}

} // namespace
} // namespace build
