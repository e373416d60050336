// Page building: a template filled from an in-memory dataset into prepared pages, checked through a
// normalised dump of the pages (page, rectangle, text).
#include "platform/windowing/system_services.h"
#include "report/band.h"
#include "tests/report/report_build_fixture.h"

namespace build {
namespace {

class PageBuilderTest : public ReportBuildTest {};

TEST_F(PageBuilderTest, ADataBandOverAnEmptyDatasetPrintsNeitherRecordsNorItsHeaderAndFooter) {
  AddBand(btReportTitle, 0, 30);
  AddMemo(10, 0, 200, 20, {QStringLiteral("Invoice")});
  AddBand(btMasterHeader, 40, 30);
  AddMemo(10, 40, 200, 20, {QStringLiteral("Header")});
  AddBand(btMasterData, 80, 20, QStringLiteral("frLines"));
  AddMemo(10, 80, 200, 20, {QStringLiteral("[NAME]")});
  AddBand(btMasterFooter, 120, 20);
  AddMemo(10, 120, 200, 20, {QStringLiteral("Footer")});
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(Dump(), QStringList{QStringLiteral("1: 10,0 200x20 Invoice")});
}

TEST_F(PageBuilderTest, HeaderAndFooterPrintOnceAroundTheRecordsWithLineNumbers) {
  FillItems(3);
  AddBand(btMasterHeader, 40, 30);
  AddMemo(10, 40, 200, 20, {QStringLiteral("Header")});
  AddBand(btMasterData, 80, 20, QStringLiteral("frLines"));
  AddMemo(10, 80, 200, 20, {QStringLiteral("[LINE#]. [NAME] x [QTY]")});
  AddBand(btMasterFooter, 120, 20);
  AddMemo(10, 120, 200, 20, {QStringLiteral("Records: [CURRENT#]")});
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(Dump(), (QStringList{
                        QStringLiteral("1: 10,0 200x20 Header"),
                        QStringLiteral("1: 10,30 200x20 1. Item 1 x 1"),
                        QStringLiteral("1: 10,50 200x20 2. Item 2 x 2"),
                        QStringLiteral("1: 10,70 200x20 3. Item 3 x 3"),
                        QStringLiteral("1: 10,90 200x20 Records: 4"),
                    }));
}

} // namespace
} // namespace build

namespace build {
namespace {

class PagedReportTest : public ReportBuildTest {
protected:
  // A page header (20 high) and a page footer "Page [PAGE#] of [TOTALPAGES]" (30 high) around a data band of
  // 100-high rows: A4 on the virtual printer is 1071 units high, so ten rows fit on a page.
  void Build(int rows, int headerFlags = flBandOnFirstPage | flBandOnLastPage) {
    FillItems(rows);
    AddBand(btPageHeader, 0, 20, QString(), headerFlags);
    AddMemo(10, 0, 200, 20, {QStringLiteral("Head")});
    AddBand(btMasterData, 100, 100, QStringLiteral("frLines"));
    AddMemo(10, 100, 200, 20, {QStringLiteral("[NAME]")});
    AddBand(btPageFooter, 1000, 30);
    AddMemo(10, 1000, 200, 20, {QStringLiteral("Page [PAGE#] of [TOTALPAGES]")});
  }
  QStringList FooterTexts() {
    QStringList out;
    for (const QString &t : Texts())
      if (t.contains(QStringLiteral("Page "))) out << t;
    return out;
  }
};

TEST_F(PagedReportTest, PageNumbersCountFromOneAndTheTotalIsKnownOnlyWithTwoPasses) {
  Build(25);
  ASSERT_TRUE(report->PrepareReport());
  ASSERT_EQ(report->EMFPages().Count(), 3);
  EXPECT_EQ(FooterTexts(), (QStringList{QStringLiteral("1: Page 1 of 0"), QStringLiteral("2: Page 2 of 0"),
                                        QStringLiteral("3: Page 3 of 0")}));

  report->SetDoublePass(true);
  ASSERT_TRUE(report->PrepareReport());
  ASSERT_EQ(report->EMFPages().Count(), 3);
  EXPECT_EQ(FooterTexts(), (QStringList{QStringLiteral("1: Page 1 of 3"), QStringLiteral("2: Page 2 of 3"),
                                        QStringLiteral("3: Page 3 of 3")}));
}

TEST_F(PagedReportTest, RowsOverflowToNewPagesUnderTheirPageHeaderAndTheFooterSitsAtTheBottomLimit) {
  Build(12);
  ASSERT_TRUE(report->PrepareReport());
  const QStringList dump = Dump();
  // Page 1: header, ten rows from y 20 down, footer at 1071 - 30.
  EXPECT_EQ(dump.value(0), QStringLiteral("1: 10,0 200x20 Head"));
  EXPECT_EQ(dump.value(1), QStringLiteral("1: 10,20 200x20 Item 1"));
  EXPECT_EQ(dump.value(10), QStringLiteral("1: 10,920 200x20 Item 10"));
  EXPECT_EQ(dump.value(11), QStringLiteral("1: 10,1041 200x20 Page 1 of 0"));
  EXPECT_EQ(dump.mid(12),
            (QStringList{QStringLiteral("2: 10,0 200x20 Head"), QStringLiteral("2: 10,20 200x20 Item 11"),
                         QStringLiteral("2: 10,120 200x20 Item 12"),
                         QStringLiteral("2: 10,1041 200x20 Page 2 of 0")}));
}

TEST_F(PagedReportTest, APageHeaderWithoutTheFirstPageFlagAndAFooterWithoutTheLastPageFlagSkipThosePages) {
  Build(12, flBandOnLastPage);
  report->Pages()[0]->Object(4)->Flags = flBandOnFirstPage; // the page footer band
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(Texts().filter(QStringLiteral("Head")), QStringList{QStringLiteral("2: Head")});
  EXPECT_EQ(FooterTexts(), QStringList{QStringLiteral("1: Page 1 of 0")});
}

TEST_F(PageBuilderTest, AHeaderWithTheRepeatFlagIsShownAgainOnEveryNewPage) {
  FillItems(12);
  AddBand(btMasterHeader, 0, 50, QString(), flBandOnFirstPage | flBandOnLastPage | flBandRepeatHeader);
  AddMemo(10, 0, 200, 20, {QStringLiteral("Name")});
  AddBand(btMasterData, 100, 100, QStringLiteral("frLines"));
  AddMemo(10, 100, 200, 20, {QStringLiteral("[NAME]")});
  ASSERT_TRUE(report->PrepareReport());
  ASSERT_EQ(report->EMFPages().Count(), 2);
  const QStringList dump = Dump();
  EXPECT_EQ(dump.filter(QStringLiteral("Name")),
            (QStringList{QStringLiteral("1: 10,0 200x20 Name"), QStringLiteral("2: 10,0 200x20 Name")}));
  EXPECT_TRUE(dump.contains(QStringLiteral("2: 10,50 200x20 Item 11")))
      << dump.join(QLatin1Char('\n')).toStdString();
}

TEST_F(PageBuilderTest, GroupsOpenAndCloseWithTheirHeadersAndFootersAndRestartLineNumbers) {
  Fill({{QStringLiteral("Bolt"), 2, 1, QStringLiteral("A"), {}},
        {QStringLiteral("Nut"), 3, 1, QStringLiteral("A"), {}},
        {QStringLiteral("Saw"), 1, 1, QStringLiteral("B"), {}},
        {QStringLiteral("Axe"), 4, 1, QStringLiteral("C"), {}},
        {QStringLiteral("Hoe"), 5, 1, QStringLiteral("C"), {}}});
  AddBand(btGroupHeader, 0, 20, QStringLiteral("[GRP]"));
  AddMemo(0, 0, 200, 20, {QStringLiteral("Group [GRP]")});
  AddBand(btMasterData, 30, 20, QStringLiteral("frLines"));
  AddMemo(20, 30, 200, 20, {QStringLiteral("[LINE#] [NAME]")});
  AddBand(btGroupFooter, 60, 20);
  AddMemo(0, 60, 200, 20, {QStringLiteral("Sum [SUM([QTY])] of [COUNT(,)]")});
  AddBand(btMasterFooter, 90, 20);
  AddMemo(0, 90, 200, 20, {QStringLiteral("End")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Texts(), (QStringList{"1: Group A", "1: 1 Bolt", "1: 2 Nut", "1: End", "1: Sum 5 of 2",
                                  "1: Group B", "1: 1 Saw", "1: End", "1: Sum 1 of 1", "1: Group C",
                                  "1: 1 Axe", "1: 2 Hoe", "1: End", "1: Sum 9 of 2"}));
}

TEST_F(PageBuilderTest, NestedGroupsCloseFromTheInnermostOut) {
  Fill({{QStringLiteral("a1"), 1, 1, QStringLiteral("A"), QStringLiteral("x")},
        {QStringLiteral("a2"), 1, 1, QStringLiteral("A"), QStringLiteral("y")},
        {QStringLiteral("b1"), 1, 1, QStringLiteral("B"), QStringLiteral("y")}});
  AddBand(btGroupHeader, 0, 20, QStringLiteral("[GRP]"));
  AddMemo(0, 0, 200, 20, {QStringLiteral("G [GRP]")});
  AddBand(btGroupHeader, 30, 20, QStringLiteral("[NOTE]"));
  AddMemo(0, 30, 200, 20, {QStringLiteral("N [NOTE]")});
  AddBand(btMasterData, 60, 20, QStringLiteral("frLines"));
  AddMemo(20, 60, 200, 20, {QStringLiteral("[NAME]")});
  AddBand(btGroupFooter, 90, 20);
  AddMemo(0, 90, 200, 20, {QStringLiteral("/N")});
  AddBand(btGroupFooter, 120, 20);
  AddMemo(0, 120, 200, 20, {QStringLiteral("/G")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Texts(), (QStringList{"1: G A", "1: N x", "1: a1", "1: /N", "1: N y", "1: a2", "1: /N", "1: /G",
                                  "1: G B", "1: N y", "1: b1", "1: /N", "1: /G"}));
}

TEST_F(PageBuilderTest, AMasterWithoutDetailRecordsPrintsOnlyWithThePrintIfDetailEmptyFlag) {
  Fill({{QStringLiteral("Two"), 2, 1, {}, {}},
        {QStringLiteral("None"), 0, 1, {}, {}},
        {QStringLiteral("One"), 1, 1, {}, {}}});
  auto *detail = new TfrUserDataset(form);
  detail->SetName(QStringLiteral("frDetail"));
  detail->SetOnCheckEOF(TCheckEOFEvent::From([this, detail](TObject *, bool &eof) {
    eof = detail->RecNo() >= lines->FieldByName(QStringLiteral("QTY"))->AsInteger();
  }));
  TfrBandView *master = AddBand(btMasterData, 0, 20, QStringLiteral("frLines"));
  AddMemo(0, 0, 200, 20, {QStringLiteral("[NAME]")});
  AddBand(btDetailHeader, 30, 20);
  AddMemo(10, 30, 200, 20, {QStringLiteral("lines of [Lines.NAME]:")});
  AddBand(btDetailData, 60, 20, QStringLiteral("frDetail"));
  AddMemo(20, 60, 200, 20, {QStringLiteral("- [LINE#]")});
  AddBand(btDetailFooter, 90, 20);
  AddMemo(10, 90, 200, 20, {QStringLiteral("end of [frLines.NAME]")});

  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Texts(), (QStringList{"1: Two", "1: lines of Two:", "1: - 1", "1: - 2", "1: end of Two", "1: One",
                                  "1: lines of One:", "1: - 1", "1: end of One"}));

  master->Flags |= flBandPrintIfSubsetEmpty;
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Texts(), (QStringList{"1: Two", "1: lines of Two:", "1: - 1", "1: - 2", "1: end of Two",
                                  "1: None", "1: One", "1: lines of One:", "1: - 1", "1: end of One"}));
}

TEST_F(PageBuilderTest, ACountedSourceNamedByANumberPrintsThatManyRecords) {
  AddBand(btMasterData, 0, 20, QStringLiteral("3"));
  AddMemo(0, 0, 200, 20, {QStringLiteral("Copy [LINE#]")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Texts(), (QStringList{"1: Copy 1", "1: Copy 2", "1: Copy 3"}));
}

TEST_F(PageBuilderTest, AStretchedBandTakesTheHeightOfItsTallestTextAndItsStretchedObjectsFollow) {
  Fill({{QStringLiteral("Short"), 1, 1, {}, QStringLiteral("one")},
        {QStringLiteral("Long"),
         1,
         1,
         {},
         QStringLiteral("one two three four five six seven eight nine ten")}});
  AddBand(btMasterData, 0, 20, QStringLiteral("frLines"), flStretched);
  TfrMemoView *note = AddMemo(100, 0, 60, 20, {QStringLiteral("[NOTE]")}, flStretched | flWordWrap);
  AddMemo(0, 0, 90, 20, {QStringLiteral("[NAME]")}, flStretched);
  AddMemo(200, 0, 90, 20, {QStringLiteral("fixed")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();

  // The long note wraps into several lines; measure what it needs the way the model does.
  TfrMemoView measure;
  measure.Assign(note);
  measure.Memo1.Add(QStringLiteral("one two three four five six seven eight nine ten"));
  const int tall = measure.CalcHeight();
  ASSERT_GT(tall, 40);
  const QStringList dump = Dump();
  EXPECT_EQ(dump.value(0), QStringLiteral("1: 100,0 60x20 one"));
  EXPECT_EQ(dump.value(1), QStringLiteral("1: 0,0 90x20 Short"));
  EXPECT_EQ(dump.value(2), QStringLiteral("1: 200,0 90x20 fixed"));
  EXPECT_TRUE(dump.value(3).startsWith(QStringLiteral("1: 100,20 60x%1 one").arg(tall)))
      << dump.value(3).toStdString();
  EXPECT_EQ(dump.value(4), QStringLiteral("1: 0,20 90x%1 Long").arg(tall));
  EXPECT_EQ(dump.value(5), QStringLiteral("1: 200,20 90x20 fixed"));
}

TEST_F(PageBuilderTest, AGrowingTextPushesWhatLiesBelowItDownAndTheBandGrowsToHoldIt) {
  AddBand(btReportTitle, 0, 60, QString(), flStretched | flBandOnFirstPage | flBandOnLastPage);
  AddMemo(0, 0, 100, 20, {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")},
          flStretched);
  AddMemo(50, 30, 100, 20, {QStringLiteral("below")});
  AddMemo(200, 30, 100, 20, {QStringLiteral("beside")});
  AddBand(btReportSummary, 100, 20);
  AddMemo(0, 100, 100, 20, {QStringLiteral("after")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  // The three-line text grew from 20: what lay below it moved down as much, what lay beside it stayed.
  const QStringList dump = Dump();
  const int grown = dump.value(0).section(QLatin1Char(' '), 2, 2).section(QLatin1Char('x'), 1).toInt() - 20;
  ASSERT_GT(grown, 0) << dump.value(0).toStdString();
  EXPECT_EQ(dump.mid(1),
            (QStringList{QStringLiteral("1: 50,%1 100x20 below").arg(30 + grown), "1: 200,30 100x20 beside",
                         QStringLiteral("1: 0,%1 100x20 after").arg(60 + grown)}));
}

TEST_F(PageBuilderTest, ABandTooTallForTheRestOfThePageStartsOnANewPageWhenItMayNotSplit) {
  AddBand(btReportTitle, 0, 1000);
  AddMemo(0, 0, 200, 20, {QStringLiteral("Title")});
  AddBand(btReportSummary, 1010, 100);
  AddMemo(0, 1010, 200, 20, {QStringLiteral("Summary")});
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(Dump(), (QStringList{"1: 0,0 200x20 Title", "2: 0,0 200x20 Summary"}));
}

TEST_F(PageBuilderTest, ABandTallerThanAWholePageIsPrintedOnceWithoutABlankPageBeforeIt) {
  AddBand(btReportTitle, 0, 2000);
  AddMemo(0, 0, 200, 20, {QStringLiteral("Huge")});
  AddBand(btReportSummary, 2010, 20);
  AddMemo(0, 2010, 200, 20, {QStringLiteral("After")});
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(Dump(), (QStringList{"1: 0,0 200x20 Huge", "2: 0,0 200x20 After"}));
}

// A text that does not fit on the rest of the page carries its remaining lines to the next page.
TEST_F(PageBuilderTest, ASplitBandPrintsTheLinesThatFitAndCarriesTheRestToTheNextPage) {
  QStringList words;
  for (int i = 1; i <= 60; ++i) words << QStringLiteral("word%1").arg(i);
  AddBand(btReportTitle, 0, 980);
  AddMemo(0, 0, 200, 20, {QStringLiteral("Title")});
  AddBand(btReportSummary, 1000, 20, QString(), flStretched | flBandBreaked);
  TfrMemoView *text = AddMemo(0, 1000, 120, 20, {words.join(QLatin1Char(' '))}, flStretched | flWordWrap);
  AddMemo(300, 1000, 100, 20, {QStringLiteral("beside")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  ASSERT_EQ(report->EMFPages().Count(), 2);

  TfrMemoView whole;
  whole.Assign(text);
  whole.Memo1.Add(words.join(QLatin1Char(' ')));
  const QList<TfrTextLine> all = whole.LayoutLines();
  const QStringList dump = Dump();
  ASSERT_EQ(dump.size(), 4) << dump.join(QLatin1Char('\n')).toStdString();
  // Page 1: the lines that fit below the title, and the object beside them.
  EXPECT_TRUE(dump[1].startsWith(QStringLiteral("1: 0,980 120x"))) << dump[1].toStdString();
  EXPECT_EQ(dump[2], QStringLiteral("1: 300,980 100x20 beside"));
  EXPECT_TRUE(dump[3].startsWith(QStringLiteral("2: 0,0 120x"))) << dump[3].toStdString();
  // Every line printed once, in order, across the two parts.
  QStringList printed = dump[1].section(QLatin1Char(' '), 3).split(QLatin1Char('|'));
  printed += dump[3].section(QLatin1Char(' '), 3).split(QLatin1Char('|'));
  QStringList expected;
  for (const TfrTextLine &line : all) expected << line.Text;
  EXPECT_EQ(printed, expected);
  EXPECT_GE(dump[1].count(QLatin1Char('|')), 1);
}

TEST_F(PageBuilderTest, AnObjectTallerThanAFreshPageInASplitBandIsPlacedAndClippedSoTheBuildEnds) {
  auto picture = CreateViewByType(gtLine);
  picture->Left = 0;
  picture->Top = 0;
  picture->Width = 1;
  picture->Height = 3000;
  AddBand(btReportTitle, 0, 3000, QString(), flBandBreaked);
  page->Add(std::move(picture));
  AddMemo(100, 2900, 100, 20, {QStringLiteral("far down")});
  ASSERT_TRUE(report->PrepareReport());
  const QStringList dump = Dump();
  ASSERT_FALSE(dump.isEmpty());
  EXPECT_TRUE(dump[0].startsWith(QStringLiteral("1: 0,0 1x1071")))
      << dump.join(QLatin1Char('\n')).toStdString();
  // The text below waits until it fits: 2900 - 2 x 1071 down the third page.
  EXPECT_EQ(dump.mid(1), QStringList{QStringLiteral("3: 100,758 100x20 far down")});
}

TEST_F(PageBuilderTest, ColumnsFillTopToBottomThenLeftToRightAndACountOfZeroMeansOne) {
  FillItems(14);
  page->ColCount = 2;
  page->ColGap = 20;
  AddBand(btMasterData, 0, 100, QStringLiteral("frLines"));
  AddMemo(10, 0, 200, 20, {QStringLiteral("[NAME] [COLUMN#]")});
  ASSERT_TRUE(report->PrepareReport());
  const QStringList dump = Dump();
  ASSERT_EQ(report->EMFPages().Count(), 1);
  const int width = report->Pages()[0]->PrnInfo.Pgw;
  const int column = (width - 20) / 2;
  EXPECT_EQ(dump.value(9), QStringLiteral("1: 10,900 200x20 Item 10 1"));
  EXPECT_EQ(dump.value(10), QStringLiteral("1: %1,0 200x20 Item 11 2").arg(10 + column + 20));

  page->ColCount = 0;
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(report->EMFPages().Count(), 2);
  EXPECT_EQ(Dump().value(10), QStringLiteral("2: 10,0 200x20 Item 11 1"));
}

TEST_F(PageBuilderTest, APageMarkedToContinueOnThePreviousSheetDoesSoExceptTheFirstPage) {
  page->PrintToPrevPage = true; // the first page has nothing before it: ignored
  AddBand(btReportTitle, 0, 50);
  AddMemo(0, 0, 200, 20, {QStringLiteral("First")});
  TfrPage *second = report->Pages().Add();
  second->PrintToPrevPage = true;
  AddBand(second, btReportTitle, 0, 30);
  AddMemo(second, 0, 0, 200, 20, {QStringLiteral("Second")});
  TfrPage *third = report->Pages().Add();
  AddBand(third, btReportTitle, 0, 30);
  AddMemo(third, 0, 0, 200, 20, {QStringLiteral("Third")});
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(Dump(), (QStringList{"1: 0,0 200x20 First", "1: 0,50 200x20 Second", "2: 0,0 200x20 Third"}));
}

TEST_F(PageBuilderTest, FooterTotalsAndTheSummaryTakeInEveryRecord) {
  FillItems(4);
  AddBand(btMasterData, 0, 20, QStringLiteral("frLines"));
  AddMemo(0, 0, 200, 20, {QStringLiteral("[NAME] [PRICE #N0.2]")});
  AddBand(btMasterFooter, 30, 20);
  AddMemo(0, 30, 200, 20,
          {QStringLiteral("Total [SUM([PRICE]) #N0.2] avg [AVG([QTY]) #N0.2] max [MAX([QTY])]")});
  AddBand(btReportSummary, 60, 20);
  AddMemo(0, 60, 200, 20, {QStringLiteral("Qty [SUM([QTY])] Lines [COUNT(,)]")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Texts(), (QStringList{"1: Item 1 1.50", "1: Item 2 3.00", "1: Item 3 4.50", "1: Item 4 6.00",
                                  "1: Total 15.00 avg 2.50 max 4", "1: Qty 10 Lines 4"}));
}

TEST_F(PageBuilderTest, ScriptsHighlightsAndTheEnterRectEventShapeEachRecord) {
  FillItems(3);
  TfrBandView *band = AddBand(btMasterData, 0, 20, QStringLiteral("frLines"));
  band->Script.Add(QStringLiteral("Quantity.Visible := [QTY] <> 2"));
  TfrMemoView *name = AddMemo(0, 0, 100, 20, {QStringLiteral("[NAME]")});
  name->HighlightStr = QStringLiteral("[QTY] = 3");
  name->Highlight.FontStyle = 1; // italic
  name->Highlight.FillColor = clYellow;
  AddMemo(200, 0, 100, 20, {QStringLiteral("[QTY]")})->Name = QStringLiteral("Quantity");
  QStringList entered;
  report->OnEnterRect = TfrEnterRectEvent::From([&entered](TStringList *memo, TfrView *view) {
    entered << view->Name;
    if (memo->Count() > 0 && memo->Strings(0) == QLatin1String("Item 2"))
      memo->SetStrings(0, QStringLiteral("Second"));
  });
  QStringList bands;
  report->OnBeginBand = TfrBandEvent::From([&bands](TfrBand *b) { bands << b->BandName(); });
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Texts(), (QStringList{"1: Item 1", "1: 1", "1: Second", "1: Item 3", "1: 3"}));
  EXPECT_EQ(entered.size(), 6);
  EXPECT_EQ(bands, (QStringList{band->Name, band->Name, band->Name}));

  // The highlight look is on the third record only.
  QList<int> fills;
  TfrEMFPages &pages = report->EMFPages();
  TfrPage objects;
  frReadPageObjects(pages[0].Stream.get(), &objects);
  for (int i = 0; i < objects.ObjectCount(); ++i)
    if (objects.Object(i)->Left == 0) fills << objects.Object(i)->FillColor;
  EXPECT_EQ(fills, (QList<int>{int(clNone), int(clNone), int(clYellow)}));
  // The template itself is untouched by scripts and placement.
  EXPECT_TRUE(report->FindObject(QStringLiteral("Quantity"))->Visible);
  EXPECT_EQ(name->FillColor, clNone);
}

TEST_F(PageBuilderTest, BandScriptsReadAndWriteTheBandBeingBuilt) {
  FillItems(3);
  TfrBandView *band = AddBand(btMasterData, 0, 20, QStringLiteral("frLines"));
  band->Script.Add(
      QStringLiteral("begin Visible := [QTY] <> 2; if [QTY] = 1 then Height := 40; h := Band1.Height end"));
  AddMemo(0, 0, 100, 20, {QStringLiteral("[NAME]")});
  AddBand(btMasterFooter, 100, 20);
  AddMemo(0, 100, 100, 20, {QStringLiteral("[h]")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Dump(), (QStringList{"1: 0,0 100x20 Item 1", "1: 0,40 100x20 Item 3", "1: 0,80 100x20 40"}));
  EXPECT_EQ(band->Height, 20);
}

} // namespace
} // namespace build

namespace build {
namespace {

TEST_F(PageBuilderTest, HeadersTallerThanAPageStillLetTheBuildEnd) {
  FillItems(3);
  AddBand(btPageHeader, 0, 1200);
  AddMemo(0, 0, 200, 20, {QStringLiteral("Head")});
  AddBand(btMasterHeader, 1300, 100, QString(), flBandOnFirstPage | flBandOnLastPage | flBandRepeatHeader);
  AddMemo(0, 1300, 200, 20, {QStringLiteral("Columns")});
  TfrBandView *data = AddBand(btMasterData, 1500, 20, QStringLiteral("frLines"));
  data->Script.Add(QStringLiteral("NEWPAGE"));
  AddMemo(0, 1500, 200, 20, {QStringLiteral("[NAME]")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  // Every page starts with its header; each record, pushed to a page of its own by the script, comes under
  // the repeated column header.
  EXPECT_EQ(Texts(),
            (QStringList{"1: Head", "2: Head", "2: Columns", "3: Head", "3: Columns", "3: Item 1", "4: Head",
                         "4: Columns", "4: Item 2", "5: Head", "5: Columns", "5: Item 3"}));
}

} // namespace
} // namespace build

namespace build {
namespace {

TEST_F(PageBuilderTest, ASubreportPrintsTheBandsOfItsPageBesideItsBandAndTheBandGoesOnBelowIt) {
  FillItems(2);
  AddBand(btMasterData, 0, 30, QStringLiteral("frLines"));
  AddMemo(0, 0, 100, 20, {QStringLiteral("[NAME]")});
  auto sub = std::make_unique<TfrSubReportView>();
  sub->Left = 200;
  sub->Top = 5;
  sub->Width = 300;
  sub->Height = 20;
  sub->SubPage = 1;
  page->Add(std::move(sub));
  TfrPage *inner = report->Pages().Add();
  AddBand(inner, btReportTitle, 0, 20);
  AddMemo(inner, 0, 0, 100, 20, {QStringLiteral("parts of [Lines.NAME]")});
  AddBand(inner, btMasterData, 40, 20, QStringLiteral("2"));
  AddMemo(inner, 10, 40, 100, 20, {QStringLiteral("part [LINE#]")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  // The subreport's page prints only beside its band, never on a sheet of its own.
  EXPECT_EQ(Dump(), (QStringList{"1: 0,0 100x20 Item 1", "1: 200,5 100x20 parts of Item 1",
                                 "1: 210,25 100x20 part 1", "1: 210,45 100x20 part 2",
                                 "1: 0,65 100x20 Item 2", "1: 200,70 100x20 parts of Item 2",
                                 "1: 210,90 100x20 part 1", "1: 210,110 100x20 part 2"}));
}

TEST_F(PageBuilderTest, ASubreportThatRunsOutOfRoomGoesOnOnTheNextPageUnderThatPagesHeader) {
  FillItems(1);
  AddBand(btPageHeader, 0, 20);
  AddMemo(0, 0, 100, 20, {QStringLiteral("Head")});
  AddBand(btMasterData, 30, 30, QStringLiteral("frLines"));
  AddMemo(0, 30, 100, 20, {QStringLiteral("[NAME]")});
  auto sub = std::make_unique<TfrSubReportView>();
  sub->Left = 200;
  sub->Top = 30;
  sub->Width = 300;
  sub->Height = 20;
  sub->SubPage = 1;
  page->Add(std::move(sub));
  TfrPage *inner = report->Pages().Add();
  AddBand(inner, btMasterData, 0, 100, QStringLiteral("12"));
  AddMemo(inner, 0, 0, 100, 20, {QStringLiteral("part [LINE#]")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  const QStringList dump = Dump();
  EXPECT_EQ(dump.mid(0, 3),
            (QStringList{"1: 0,0 100x20 Head", "1: 0,20 100x20 Item 1", "1: 200,20 100x20 part 1"}));
  EXPECT_EQ(dump.filter(QStringLiteral("2: ")).mid(0, 2),
            (QStringList{"2: 0,0 100x20 Head", "2: 200,20 100x20 part 11"}));
  EXPECT_EQ(dump.filter(QStringLiteral("part")).size(), 12);
}

} // namespace
} // namespace build

namespace build {
namespace {

TEST_F(PageBuilderTest, ASubreportOnABandThatSplitsPrintsEachOfItsRowsOnce) {
  FillItems(1);
  AddBand(btMasterData, 0, 30, QStringLiteral("frLines"), flStretched | flBandBreaked);
  QStringList tall;
  for (int i = 1; i <= 70; ++i) tall << QStringLiteral("line %1").arg(i);
  AddMemo(0, 0, 100, 20, tall, flStretched);
  auto sub = std::make_unique<TfrSubReportView>();
  sub->Left = 200;
  sub->Top = 5;
  sub->Width = 300;
  sub->Height = 20;
  sub->SubPage = 1;
  page->Add(std::move(sub));
  TfrPage *inner = report->Pages().Add();
  AddBand(inner, btMasterData, 0, 40, QStringLiteral("40"));
  AddMemo(inner, 0, 0, 100, 20, {QStringLiteral("part [LINE#]")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_GE(report->EMFPages().Count(), 2);
  QStringList printed;
  for (const QString &text : Texts())
    printed << text.section(QStringLiteral(": "), 1).split(QLatin1Char('|'));
  for (int i = 1; i <= 70; ++i) EXPECT_EQ(printed.count(QStringLiteral("line %1").arg(i)), 1) << i;
  for (int i = 1; i <= 40; ++i) EXPECT_EQ(printed.count(QStringLiteral("part %1").arg(i)), 1) << i;
}

TEST_F(PageBuilderTest, DataBandsChainedWithoutASourcePrintWithTheRecordAndCountItOnce) {
  FillItems(2);
  AddBand(btMasterData, 0, 20, QStringLiteral("frLines"));
  AddMemo(0, 0, 100, 20, {QStringLiteral("[NAME]")});
  AddBand(btMasterData, 30, 20);
  AddMemo(10, 30, 100, 20, {QStringLiteral("price [PRICE]")});
  AddBand(btMasterFooter, 60, 20);
  AddMemo(0, 60, 100, 20, {QStringLiteral("[COUNT(,)] lines")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Dump(), (QStringList{"1: 0,0 100x20 Item 1", "1: 10,20 100x20 price 1.5", "1: 0,40 100x20 Item 2",
                                 "1: 10,60 100x20 price 3", "1: 0,80 100x20 2 lines"}));
}

} // namespace
} // namespace build

namespace build {
namespace {

TEST_F(PagedReportTest, PageFooterTotalsCountTheRecordsOfTheirOwnPage) {
  Build(12);
  report->Pages()[0]->Object(5)->Memo.SetStrings(0, QStringLiteral("Page [PAGE#] sum [SUM([QTY])]"));
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(FooterTexts(), (QStringList{"1: Page 1 sum 55", "2: Page 2 sum 23"}));
}

} // namespace
} // namespace build
