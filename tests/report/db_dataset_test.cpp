#include "fake_engine_model.h"
#include "report/component_lookup.h"
#include "report/function_library.h"
#include "report/report_dataset.h"

namespace {

using DBDataSetTest = fake::DatasetTest;

TEST_F(DBDataSetTest, WalksTheFourRangeCombinations) {
  const struct {
    TRangeBegin begin;
    TRangeEnd end;
    QList<int> ids;
    int leftOn; // the current line after the band's run
  } cases[] = {{rbFirst, reLast, {1, 2, 3, 4, 5}, 5},
               {rbFirst, reCurrent, {1, 2, 3}, 3},
               {rbCurrent, reLast, {3, 4, 5}, 3},
               {rbCurrent, reCurrent, {3}, 3}};
  for (const auto &c : cases) {
    SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.begin).arg(c.end).toStdString());
    source->SetRangeBegin(c.begin);
    source->SetRangeEnd(c.end);
    GoTo(3);
    EXPECT_EQ(Walk(source), c.ids);
    EXPECT_EQ(CurrentId(), c.leftOn);
    EXPECT_TRUE(lines->Active());
  }
  // A counted range stops after its count, or at the end.
  source->SetRangeBegin(rbFirst);
  source->SetRangeEnd(reCount);
  source->SetRangeEndCount(9);
  EXPECT_EQ(Walk(source), (QList<int>{1, 2, 3, 4, 5}));
  // An empty dataset prints no record.
  lines->EmptyDataSet();
  source->SetRangeEnd(reCurrent);
  EXPECT_TRUE(Walk(source).isEmpty());
}

TEST_F(DBDataSetTest, OpensAndClosesTheDatasetAroundTheRunAsAsked) {
  QStringList events;
  source->SetOnOpen(
      TNotifyEvent::From([&](TObject *) { events << (lines->Active() ? "open:1" : "open:0"); }));
  source->SetOnClose(
      TNotifyEvent::From([&](TObject *) { events << (lines->Active() ? "close:1" : "close:0"); }));
  lines->Close();
  source->SetCloseDataSource(true);
  EXPECT_TRUE(source->OpenDataSource());
  EXPECT_EQ(Walk(source), (QList<int>{1, 2, 3, 4, 5}));
  EXPECT_FALSE(lines->Active());
  EXPECT_EQ(events, (QStringList{"open:1", "close:1"}));
  // Without OpenDataSource a closed dataset stays closed, and its own error says so.
  source->SetOpenDataSource(false);
  EXPECT_THROW(Walk(source), EDatabaseError);
}

TEST_F(DBDataSetTest, ReadsThroughADataSourceAndForgetsRemovedComponents) {
  auto *dataSource = new TDataSource(form);
  dataSource->SetDataSet(items);
  source->SetDataSource(dataSource);
  EXPECT_EQ(source->GetDataSet(), items);
  source->SetDataSet(lines);
  EXPECT_EQ(source->DataSource(), nullptr);
  source->SetDataSource(dataSource);
  dataSource->Free();
  EXPECT_EQ(source->DataSource(), nullptr);
  source->SetDataSet(items);
  items->Free();
  items = nullptr;
  EXPECT_EQ(source->DataSet(), nullptr);
  EXPECT_EQ(test::Refusal<EDSError>([&] { source->GetDataSet(); }),
            QStringLiteral("Unable to open dataset frLines"));
  EXPECT_THROW(Walk(source), EDSError);
}

TEST_F(DBDataSetTest, BookmarkHelpersAreSafeOnClosedAndEmptyDatasets) {
  GoTo(2);
  TBookmark two = frGetBookmark(lines);
  GoTo(4);
  EXPECT_FALSE(frIsBookmarksEqual(lines, two, frGetBookmark(lines)));
  frGotoBookmark(lines, two);
  EXPECT_EQ(CurrentId(), 2);
  EXPECT_TRUE(frIsBookmarksEqual(lines, two, frGetBookmark(lines)));
  lines->Close();
  EXPECT_TRUE(frGetBookmark(lines).isEmpty());
  frGotoBookmark(lines, QByteArrayLiteral("x"));
  lines->Open();
  lines->EmptyDataSet();
  EXPECT_TRUE(frGetBookmark(lines).isEmpty());
  frGotoBookmark(lines, TBookmark());
  EXPECT_TRUE(frIsBlob(lines->FieldByName(QStringLiteral("NOTE"))));
  EXPECT_FALSE(frIsBlob(nullptr));
}

TEST_F(DBDataSetTest, FindsDatasetsAndFieldsByName) {
  const struct {
    const char *text;
    TDataSet *dataSet;
    const char *field;
  } cases[] = {
      {"Lines.PRICE", lines, "PRICE"},
      {"InvoiceForm.Lines.PRICE", lines, "PRICE"},
      {"DD.Items.\"Unit Price\"", items, "Unit Price"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    TDataSet *dataSet = nullptr;
    TField *field = nullptr;
    EXPECT_TRUE(FindReportDatasetField(QString::fromUtf8(c.text), dataSet, field));
    EXPECT_EQ(dataSet, c.dataSet);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->FieldName(), QString::fromUtf8(c.field));
  }
  TDataSet *dataSet = items;
  TField *field = nullptr;
  EXPECT_TRUE(FindReportDatasetField(QStringLiteral("PRICE"), dataSet, field));
  EXPECT_EQ(field->DataSet(), items);
  EXPECT_FALSE(FindReportDatasetField(QStringLiteral("Nowhere.PRICE"), dataSet, field));
  EXPECT_EQ(dataSet, nullptr);
  // A record source without a dataset counts as not found.
  auto *empty = new TfrDBDataSet(form);
  empty->SetName(QStringLiteral("frEmpty"));
  EXPECT_FALSE(FindReportDatasetField(QStringLiteral("frEmpty.PRICE"), dataSet, field));
}

TEST_F(DBDataSetTest, FindsRecordSourcesByFormAndNameOrOnTheReportsOwnerAndListsThem) {
  auto *invoices = new TfrUserDataset(dataModule);
  invoices->SetName(QStringLiteral("frInvoice"));
  auto *archive = new TfrUserDataset(dataModule);
  archive->SetName(QStringLiteral("frArchive"));
  EXPECT_EQ(FindReportDataset(QStringLiteral("frLines")), source);
  EXPECT_EQ(FindReportDataset(QStringLiteral("dd.frInvoice")), invoices);
  for (const char *missing : {"frInvoice", "Nowhere.frLines", ""})
    EXPECT_EQ(FindReportDataset(QString::fromLatin1(missing)), nullptr) << missing;
  TStringList list;
  list.Add(QStringLiteral("stale"));
  ListComponentsOfClass<TfrDataset>(form, &list, archive);
  EXPECT_EQ(list.Text(), QStringLiteral("frLines\r\nDD.frInvoice\r\n"));
  ListComponentsOfClass<TfrDataset>(dataModule, &list, nullptr);
  EXPECT_EQ(list.Text(), QStringLiteral("InvoiceForm.frLines\r\nfrInvoice\r\nfrArchive\r\n"));
  frEngine().CurReport = nullptr;
  EXPECT_EQ(FindReportDataset(QStringLiteral("frLines")), nullptr);
}

// A user record source: a count ends its range; First and Next fire after moving.
TEST(ReportUserDataset, ACountEndsTheRangeAndFirstAndNextFireAfterMoving) {
  TfrUserDataset source(nullptr);
  auto walk = [&source] {
    QList<int> seen;
    source.Init();
    for (source.First(); !source.Eof(); source.Next()) seen.append(source.RecNo());
    source.Done();
    return seen;
  };
  source.SetRangeEnd(reCount);
  source.SetRangeEndCount(3);
  QList<int> events;
  source.SetOnFirst(TNotifyEvent::From([&](TObject *) { events.append(-source.RecNo() - 100); }));
  source.SetOnNext(TNotifyEvent::From([&](TObject *) { events.append(source.RecNo()); }));
  EXPECT_EQ(walk(), (QList<int>{0, 1, 2}));
  EXPECT_EQ(events, (QList<int>{-100, 1, 2, 3}));
}

// Dataset-mode aggregates: the footer that collects totals is printing.
class DatasetAggregateTest : public fake::DatasetTest {
protected:
  void SetUp() override {
    DatasetTest::SetUp();
    footer.printing = true;
    frEngine().AggrBand = &footer;
    frEngine().CurBand = &footer;
  }
  fake::Band footer{QStringLiteral("MasterFooter1"), frBandMasterFooter};
};

TEST_F(DatasetAggregateTest, TotalsAFieldOverEveryRecordAndLeavesTheDatasetWhereItWas) {
  const struct {
    const char *expression;
    double expected;
  } cases[] = {{"SUM(frLines.PRICE)", 150},
               {"AVG(Lines.PRICE)", 30},
               {"MIN(Lines.PRICE)", 10},
               {"COUNT(DD.Items)", 2},
               {"SUM(DD.Items.\"Unit Price\")", 0.4}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.expression);
    EXPECT_DOUBLE_EQ(Calc(QString::fromUtf8(c.expression)).ToDouble(), c.expected);
  }
  // A total of the band's own dataset taken at every record of the band.
  QList<double> totals;
  const QList<int> printed = Walk(source, [&] { totals.append(Calc("SUM(frLines.PRICE)").ToDouble()); });
  EXPECT_EQ(printed, (QList<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(totals, QList<double>(5, 150));
}

TEST_F(DatasetAggregateTest, CountsNullAsZeroHandlesAnEmptyDatasetAndFallsBackToBandMode) {
  // Not a dataset: the footer's stored band total is read (none here).
  EXPECT_DOUBLE_EQ(Calc("SUM(Lines.NOPE)").ToDouble(), 0.0);
  for (lines->First(); !lines->Eof(); lines->Next()) {
    lines->Edit();
    lines->FieldByName(QStringLiteral("PRICE"))->Clear();
    lines->Post();
  }
  EXPECT_DOUBLE_EQ(Calc("SUM(Lines.PRICE)").ToDouble(), 0.0);
  lines->EmptyDataSet();
  const struct {
    const char *expression;
    double expected;
  } empty[] = {{"MIN(Lines.PRICE)", 1e200}, {"AVG(Lines.PRICE)", 0}};
  for (const auto &c : empty) EXPECT_DOUBLE_EQ(Calc(c.expression).ToDouble(), c.expected) << c.expression;
  // The footer collecting totals is not printing: dataset mode is off.
  EXPECT_DOUBLE_EQ(Calc("SUM(DD.Items.PRICE)").ToDouble(), 4.0);
  footer.printing = false;
  EXPECT_DOUBLE_EQ(Calc("SUM(DD.Items.PRICE)").ToDouble(), 0.0);
}

} // namespace
