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
    months =
        test::MemoryTable(form, QStringLiteral("Months"), {{"MON", ftString, 10}, {"FACTOR", ftInteger}});
    for (int i = 1; i <= count; ++i) test::AppendRow(months, {QStringLiteral("M%1").arg(i), i});
    auto *monthSource = new TfrDBDataSet(form);
    monthSource->SetName(QStringLiteral("frMonths"));
    monthSource->SetDataSet(months);
    TfrBandView *data = AddBand(btCrossData, 500, 10, QStringLiteral("frMonths"));
    data->Left = 200;
    data->Width = 80;
    TfrBandView *footer = AddBand(btCrossFooter, 500, 10);
    footer->Left = 280;
    footer->Width = 80;
  }
  // A row band with a name, a cell and a total at its top.
  void Row(int type, int top, const QString &source, const QString &name, const QString &cell,
           const QString &total) {
    AddBand(type, top, 20, source);
    AddMemo(0, top, 100, 20, {name});
    AddMemo(200, top, 80, 20, {cell});
    AddMemo(280, top, 80, 20, {total});
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
  // The last row and the totals row; the third column made 100 wide.
  EXPECT_EQ(Dump().mid(15),
            (QStringList{"1: 0,60 100x20 Item 3", "1: 200,60 80x20 3", "1: 280,60 80x20 6",
                         "1: 380,60 80x20 9", "1: 460,60 80x20 18", "1: 0,80 100x20 Sum", "1: 200,80 80x20 6",
                         "1: 280,80 80x20 12", "1: 380,80 80x20 18", "1: 460,80 80x20 36"}));
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

} // namespace
} // namespace build
