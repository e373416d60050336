// Page building: templates filled from an in-memory dataset into prepared pages, checked through a
// normalised dump of the pages (page, rectangle, text).
#include "report/band.h"
#include "tests/report/report_build_fixture.h"
#include <QRegularExpression>

namespace build {
namespace {

using PageBuilderTest = ReportBuildTest;

// The pattern filled with (y, i) for i = first..last, y going down from top by step.
QStringList Rows(const char *pattern, int first, int last, int top, int step) {
  QStringList rows;
  for (int i = first; i <= last; ++i)
    rows << QString::fromLatin1(pattern).arg(top + (i - first) * step).arg(i);
  return rows;
}

TEST_F(PageBuilderTest, BandsPrintInTheirOrderWhereTheyFit) {
  // A page header (20 high) and a page footer (30 high) around a data band of 100-high rows: A4 on the
  // virtual printer is 1071 units high, so ten rows fit on a page.
  auto paged = [](int headerFlags, int footerFlags, const QString &footer) {
    return QList<BandSpec>{{btPageHeader, 0, 20, {}, "Head", 10, 200, headerFlags},
                           {btMasterData, 100, 100, "frLines", "[NAME]", 10},
                           {btPageFooter, 1000, 30, {}, footer, 10, 200, footerFlags}};
  };
  const QString pageOf = QStringLiteral("Page [PAGE#] of [TOTALPAGES]");
  auto *detail = new TfrUserDataset(form);
  detail->SetName(QStringLiteral("frDetail"));
  detail->SetOnCheckEOF(TCheckEOFEvent::From([this, detail](TObject *, bool &eof) {
    eof = detail->RecNo() >= lines->FieldByName(QStringLiteral("QTY"))->AsInteger();
  }));
  const QList<Line> details{{"Two", 2, 1, {}, {}}, {"None", 0, 1, {}, {}}, {"One", 1, 1, {}, {}}};
  const QList<BandSpec> masterDetail{{btMasterData, 0, 20, "frLines", "[NAME]"},
                                     {btDetailHeader, 30, 20, {}, "lines of [Lines.NAME]:", 10},
                                     {btDetailData, 60, 20, "frDetail", "- [LINE#]", 20},
                                     {btDetailFooter, 90, 20, {}, "end of [frLines.NAME]", 10}};
  struct Case {
    const char *name;
    QList<Line> rows;
    QList<BandSpec> bands;
    QStringList expected;
    bool geometry = true;
    const char *only = ""; // the lines compared match this pattern
    std::function<void()> setup = {};
  };
  const Case cases[] = {
      {"a data band over an empty dataset prints neither records nor its header and footer",
       {},
       {{btReportTitle, 0, 30, {}, "Invoice", 10},
        {btMasterHeader, 40, 30, {}, "Header", 10},
        {btMasterData, 80, 20, "frLines", "[NAME]", 10},
        {btMasterFooter, 120, 20, {}, "Footer", 10}},
       {"1: 10,0 200x20 Invoice"}},
      {"header and footer print once around the records, with line numbers",
       Items(3),
       {{btMasterHeader, 40, 30, {}, "Header", 10},
        {btMasterData, 80, 20, "frLines", "[LINE#]. [NAME] x [QTY]", 10},
        {btMasterFooter, 120, 20, {}, "Records: [CURRENT#]", 10}},
       {"1: 10,0 200x20 Header", "1: 10,30 200x20 1. Item 1 x 1", "1: 10,50 200x20 2. Item 2 x 2",
        "1: 10,70 200x20 3. Item 3 x 3", "1: 10,90 200x20 Records: 4"}},
      {"page numbers count from one; the total is known only with two passes",
       Items(25),
       paged(kBothEnds, kBothEnds, pageOf),
       {"1: Page 1 of 0", "2: Page 2 of 0", "3: Page 3 of 0"},
       false,
       "Page "},
      {"two passes",
       Items(25),
       paged(kBothEnds, kBothEnds, pageOf),
       {"1: Page 1 of 3", "2: Page 2 of 3", "3: Page 3 of 3"},
       false,
       "Page ",
       [this] { report->SetDoublePass(true); }},
      {"rows overflow under their page header; the footer sits at the bottom limit", Items(12),
       paged(kBothEnds, kBothEnds, pageOf),
       QStringList{"1: 10,0 200x20 Head"} + Rows("1: 10,%1 200x20 Item %2", 1, 10, 20, 100) +
           QStringList{"1: 10,1041 200x20 Page 1 of 0", "2: 10,0 200x20 Head"} +
           Rows("2: 10,%1 200x20 Item %2", 11, 12, 20, 100) + QStringList{"2: 10,1041 200x20 Page 2 of 0"}},
      {"a page header without the first-page flag and a footer without the last-page flag skip those pages",
       Items(12),
       paged(flBandOnLastPage, flBandOnFirstPage, pageOf),
       {"1: Page 1 of 0", "2: Head"},
       false,
       "Head|Page "},
      {"page footer totals count the records of their own page",
       Items(12),
       paged(kBothEnds, kBothEnds, "Page [PAGE#] sum [SUM([QTY])]"),
       {"1: Page 1 sum 55", "2: Page 2 sum 23"},
       false,
       "Page "},
      {"a header with the repeat flag shows again on every new page",
       Items(12),
       {{btMasterHeader, 0, 50, {}, "Name", 10, 200, kBothEnds | flBandRepeatHeader},
        {btMasterData, 100, 100, "frLines", "[NAME]", 10}},
       {"1: 10,0 200x20 Name", "2: 10,0 200x20 Name", "2: 10,50 200x20 Item 11", "2: 10,150 200x20 Item 12"},
       true,
       "^2:|Name"},
      {"groups open and close with their headers and footers and restart line numbers",
       {{"Bolt", 2, 1, "A", {}},
        {"Nut", 3, 1, "A", {}},
        {"Saw", 1, 1, "B", {}},
        {"Axe", 4, 1, "C", {}},
        {"Hoe", 5, 1, "C", {}}},
       {{btGroupHeader, 0, 20, "[GRP]", "Group [GRP]"},
        {btMasterData, 30, 20, "frLines", "[LINE#] [NAME]", 20},
        {btGroupFooter, 60, 20, {}, "Sum [SUM([QTY])] of [COUNT(,)]"},
        {btMasterFooter, 90, 20, {}, "End"}},
       {"1: Group A", "1: 1 Bolt", "1: 2 Nut", "1: End", "1: Sum 5 of 2", "1: Group B", "1: 1 Saw", "1: End",
        "1: Sum 1 of 1", "1: Group C", "1: 1 Axe", "1: 2 Hoe", "1: End", "1: Sum 9 of 2"},
       false},
      {"nested groups close from the innermost out",
       {{"a1", 1, 1, "A", "x"}, {"a2", 1, 1, "A", "y"}, {"b1", 1, 1, "B", "y"}},
       {{btGroupHeader, 0, 20, "[GRP]", "G [GRP]"},
        {btGroupHeader, 30, 20, "[NOTE]", "N [NOTE]"},
        {btMasterData, 60, 20, "frLines", "[NAME]", 20},
        {btGroupFooter, 90, 20, {}, "/N"},
        {btGroupFooter, 120, 20, {}, "/G"}},
       {"1: G A", "1: N x", "1: a1", "1: /N", "1: N y", "1: a2", "1: /N", "1: /G", "1: G B", "1: N y",
        "1: b1", "1: /N", "1: /G"},
       false},
      {"a master without detail records prints only with the print-if-detail-empty flag",
       details,
       masterDetail,
       {"1: Two", "1: lines of Two:", "1: - 1", "1: - 2", "1: end of Two", "1: One",
        "1: lines of One:", "1: - 1", "1: end of One"},
       false},
      {"the print-if-detail-empty flag",
       details,
       masterDetail,
       {"1: Two", "1: lines of Two:", "1: - 1", "1: - 2", "1: end of Two", "1: None", "1: One",
        "1: lines of One:", "1: - 1", "1: end of One"},
       false,
       "",
       [this] { page->Object(0)->Flags |= flBandPrintIfSubsetEmpty; }},
      {"a counted source named by a number prints that many records",
       {},
       {{btMasterData, 0, 20, "3", "Copy [LINE#]"}},
       {"1: Copy 1", "1: Copy 2", "1: Copy 3"},
       false},
      {"a band too tall for the rest of the page starts a new page when it may not split",
       {},
       {{btReportTitle, 0, 1000, {}, "Title"}, {btReportSummary, 1010, 100, {}, "Summary"}},
       {"1: 0,0 200x20 Title", "2: 0,0 200x20 Summary"}},
      {"a band taller than a whole page prints once without a blank page before it",
       {},
       {{btReportTitle, 0, 2000, {}, "Huge"}, {btReportSummary, 2010, 20, {}, "After"}},
       {"1: 0,0 200x20 Huge", "2: 0,0 200x20 After"}},
      {"footer totals and the summary take in every record",
       Items(4),
       {{btMasterData, 0, 20, "frLines", "[NAME] [PRICE #N0.2]"},
        {btMasterFooter, 30, 20, {}, "Total [SUM([PRICE]) #N0.2] avg [AVG([QTY]) #N0.2] max [MAX([QTY])]"},
        {btReportSummary, 60, 20, {}, "Qty [SUM([QTY])] Lines [COUNT(,)]"}},
       {"1: Item 1 1.50", "1: Item 2 3.00", "1: Item 3 4.50", "1: Item 4 6.00",
        "1: Total 15.00 avg 2.50 max 4", "1: Qty 10 Lines 4"},
       false},
      {"data bands chained without a source print with the record and count it once",
       Items(2),
       {{btMasterData, 0, 20, "frLines", "[NAME]", 0, 100},
        {btMasterData, 30, 20, {}, "price [PRICE]", 10, 100},
        {btMasterFooter, 60, 20, {}, "[COUNT(,)] lines", 0, 100}},
       {"1: 0,0 100x20 Item 1", "1: 10,20 100x20 price 1.5", "1: 0,40 100x20 Item 2",
        "1: 10,60 100x20 price 3", "1: 0,80 100x20 2 lines"}},
      // Every page starts with its header; each record, pushed to a page of its own by the script, comes
      // under the repeated column header.
      {"headers taller than a page still let the build end",
       Items(3),
       {{btPageHeader, 0, 1200, {}, "Head"},
        {btMasterHeader, 1300, 100, {}, "Columns", 0, 200, kBothEnds | flBandRepeatHeader},
        {btMasterData, 1500, 20, "frLines", "[NAME]"}},
       {"1: Head", "2: Head", "2: Columns", "3: Head", "3: Columns", "3: Item 1", "4: Head", "4: Columns",
        "4: Item 2", "5: Head", "5: Columns", "5: Item 3"},
       false,
       "",
       [this] { page->Object(4)->Script.Add(QStringLiteral("NEWPAGE")); }},
      // The first page has nothing before it: its mark is ignored.
      {"a page marked to continue on the previous sheet does so, except the first",
       {},
       {{btReportTitle, 0, 50, {}, "First"},
        {btReportTitle, 0, 30, {}, "Second", 0, 200, kBothEnds, 0, 1},
        {btReportTitle, 0, 30, {}, "Third", 0, 200, kBothEnds, 0, 2}},
       {"1: 0,0 200x20 First", "1: 0,50 200x20 Second", "2: 0,0 200x20 Third"},
       true,
       "",
       [this] { report->Pages()[0]->PrintToPrevPage = report->Pages()[1]->PrintToPrevPage = true; }},
      // The subreport's page prints only beside its band, never on a sheet of its own.
      {"a subreport prints the bands of its page beside its band, which goes on below it",
       Items(2),
       {{btMasterData, 0, 30, "frLines", "[NAME]", 0, 100},
        {btReportTitle, 0, 20, {}, "parts of [Lines.NAME]", 0, 100, kBothEnds, 0, 1},
        {btMasterData, 40, 20, "2", "part [LINE#]", 10, 100, kBothEnds, 0, 1}},
       {"1: 0,0 100x20 Item 1", "1: 200,5 100x20 parts of Item 1", "1: 210,25 100x20 part 1",
        "1: 210,45 100x20 part 2", "1: 0,65 100x20 Item 2", "1: 200,70 100x20 parts of Item 2",
        "1: 210,90 100x20 part 1", "1: 210,110 100x20 part 2"},
       true,
       "",
       [this] { AddSubReport(200, 5, 1); }},
      // Out of room, it goes on on the next page under that page's header.
      {"a subreport that runs out of room",
       Items(1),
       {{btPageHeader, 0, 20, {}, "Head", 0, 100},
        {btMasterData, 30, 30, "frLines", "[NAME]", 0, 100},
        {btMasterData, 0, 100, "12", "part [LINE#]", 0, 100, kBothEnds, 0, 1}},
       QStringList{"1: 0,0 100x20 Head", "1: 0,20 100x20 Item 1"} +
           Rows("1: 200,%1 100x20 part %2", 1, 10, 20, 100) + QStringList{"2: 0,0 100x20 Head"} +
           Rows("2: 200,%1 100x20 part %2", 11, 12, 20, 100),
       true,
       "",
       [this] { AddSubReport(200, 30, 1); }}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    NewReport();
    Fill(c.rows);
    Build(c.bands);
    if (c.setup) c.setup();
    ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
    QStringList got = Dump(c.geometry);
    if (*c.only) got = got.filter(QRegularExpression(QString::fromLatin1(c.only)));
    EXPECT_EQ(got, c.expected);
  }
}

TEST_F(PageBuilderTest, AStretchedBandTakesTheHeightOfItsTallestTextAndItsStretchedObjectsFollow) {
  const QString longNote = QStringLiteral("one two three four five six seven eight nine ten");
  Fill({{"Short", 1, 1, {}, "one"}, {"Long", 1, 1, {}, longNote}});
  AddBand(btMasterData, 0, 20, QStringLiteral("frLines"), flStretched);
  TfrMemoView *note = AddMemo(100, 0, 60, 20, {QStringLiteral("[NOTE]")}, flStretched | flWordWrap);
  AddMemo(0, 0, 90, 20, {QStringLiteral("[NAME]")}, flStretched);
  AddMemo(200, 0, 90, 20, {QStringLiteral("fixed")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  // The long note wraps into several lines; measure what it needs the way the model does.
  TfrMemoView measure;
  measure.Assign(note);
  measure.Memo1.Add(longNote);
  const int tall = measure.CalcHeight();
  ASSERT_GT(tall, 40);
  QStringList dump = Dump();
  ASSERT_EQ(dump.size(), 6);
  EXPECT_TRUE(dump[3].startsWith(QStringLiteral("1: 100,20 60x%1 one").arg(tall))) << dump[3].toStdString();
  dump[3] = QStringLiteral("wrapped");
  EXPECT_EQ(dump, (QStringList{"1: 100,0 60x20 one", "1: 0,0 90x20 Short", "1: 200,0 90x20 fixed", "wrapped",
                               QStringLiteral("1: 0,20 90x%1 Long").arg(tall), "1: 200,20 90x20 fixed"}));
}

TEST_F(PageBuilderTest, AGrowingTextPushesWhatLiesBelowItDownAndTheBandGrowsToHoldIt) {
  AddBand(btReportTitle, 0, 60, QString(), flStretched | kBothEnds);
  AddMemo(0, 0, 100, 20, {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")},
          flStretched);
  AddMemo(50, 30, 100, 20, {QStringLiteral("below")});
  AddMemo(200, 30, 100, 20, {QStringLiteral("beside")});
  Build({{btReportSummary, 100, 20, {}, "after", 0, 100}});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  // The three-line text grew from 20: what lay below it moved down as much, what lay beside it stayed.
  const QStringList dump = Dump();
  const int grown = dump.value(0).section(QLatin1Char(' '), 2, 2).section(QLatin1Char('x'), 1).toInt() - 20;
  ASSERT_GT(grown, 0) << dump.value(0).toStdString();
  EXPECT_EQ(dump.mid(1),
            (QStringList{QStringLiteral("1: 50,%1 100x20 below").arg(30 + grown), "1: 200,30 100x20 beside",
                         QStringLiteral("1: 0,%1 100x20 after").arg(60 + grown)}));
}

// A text that does not fit on the rest of the page carries its remaining lines to the next page.
TEST_F(PageBuilderTest, ASplitBandPrintsTheLinesThatFitAndCarriesTheRestToTheNextPage) {
  QStringList words;
  for (int i = 1; i <= 60; ++i) words << QStringLiteral("word%1").arg(i);
  Build({{btReportTitle, 0, 980, {}, "Title"}});
  AddBand(btReportSummary, 1000, 20, QString(), flStretched | flBandBreaked);
  TfrMemoView *text = AddMemo(0, 1000, 120, 20, {words.join(QLatin1Char(' '))}, flStretched | flWordWrap);
  AddMemo(300, 1000, 100, 20, {QStringLiteral("beside")});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  TfrMemoView whole;
  whole.Assign(text);
  whole.Memo1.Add(words.join(QLatin1Char(' ')));
  QStringList expected;
  for (const TfrTextLine &line : whole.LayoutLines()) expected << line.Text;
  const QStringList dump = Dump();
  ASSERT_EQ(dump.size(), 4) << dump.join(QLatin1Char('\n')).toStdString();
  // Page 1: the lines that fit below the title, and the object beside them; page 2 the rest.
  EXPECT_TRUE(dump[1].startsWith(QStringLiteral("1: 0,980 120x"))) << dump[1].toStdString();
  EXPECT_EQ(dump[2], QStringLiteral("1: 300,980 100x20 beside"));
  EXPECT_TRUE(dump[3].startsWith(QStringLiteral("2: 0,0 120x"))) << dump[3].toStdString();
  // Every line printed once, in order, across the two parts.
  const QStringList printed = dump[1].section(QLatin1Char(' '), 3).split(QLatin1Char('|')) +
                              dump[3].section(QLatin1Char(' '), 3).split(QLatin1Char('|'));
  EXPECT_EQ(printed, expected);
  EXPECT_GE(dump[1].count(QLatin1Char('|')), 1);
}

TEST_F(PageBuilderTest, AnObjectTallerThanAFreshPageInASplitBandIsPlacedAndClippedSoTheBuildEnds) {
  auto line = CreateViewByType(gtLine);
  line->Width = 1;
  line->Height = 3000;
  AddBand(btReportTitle, 0, 3000, QString(), flBandBreaked);
  page->Add(std::move(line));
  AddMemo(100, 2900, 100, 20, {QStringLiteral("far down")});
  ASSERT_TRUE(report->PrepareReport());
  const QStringList dump = Dump();
  ASSERT_EQ(dump.size(), 2) << dump.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(dump[0].startsWith(QStringLiteral("1: 0,0 1x1071"))) << dump[0].toStdString();
  // The text below waits until it fits: 2900 - 2 x 1071 down the third page.
  EXPECT_EQ(dump[1], QStringLiteral("3: 100,758 100x20 far down"));
}

TEST_F(PageBuilderTest, ColumnsFillTopToBottomThenLeftToRightAndACountOfZeroMeansOne) {
  FillItems(14);
  page->ColCount = 2;
  page->ColGap = 20;
  Build({{btMasterData, 0, 100, "frLines", "[NAME] [COLUMN#]", 10}});
  ASSERT_TRUE(report->PrepareReport());
  ASSERT_EQ(report->EMFPages().Count(), 1);
  const int column = (report->Pages()[0]->PrnInfo.Pgw - 20) / 2;
  EXPECT_EQ(Dump().mid(9, 2),
            (QStringList{"1: 10,900 200x20 Item 10 1",
                         QStringLiteral("1: %1,0 200x20 Item 11 2").arg(10 + column + 20)}));
  page->ColCount = 0;
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(report->EMFPages().Count(), 2);
  EXPECT_EQ(Dump().value(10), QStringLiteral("2: 10,0 200x20 Item 11 1"));
}

TEST_F(PageBuilderTest, ScriptsHighlightsAndTheEnterRectEventShapeEachRecordButNotTheTemplate) {
  FillItems(3);
  TfrBandView *band = AddBand(btMasterData, 0, 20, QStringLiteral("frLines"));
  band->Script.Add(QStringLiteral("Quantity.Visible := [QTY] <> 2"));
  TfrMemoView *name = AddMemo(0, 0, 100, 20, {QStringLiteral("[NAME]")});
  name->HighlightStr = QStringLiteral("[QTY] = 3");
  name->Highlight.FontStyle = 1; // italic
  name->Highlight.FillColor = clYellow;
  AddMemo(200, 0, 100, 20, {QStringLiteral("[QTY]")})->Name = QStringLiteral("Quantity");
  QStringList entered, bands;
  report->OnEnterRect = TfrEnterRectEvent::From([&entered](TStringList *memo, TfrView *view) {
    entered << view->Name;
    if (memo->Count() > 0 && memo->Strings(0) == QLatin1String("Item 2"))
      memo->SetStrings(0, QStringLiteral("Second"));
  });
  report->OnBeginBand = TfrBandEvent::From([&bands](TfrBand *b) { bands << b->BandName(); });
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Texts(), (QStringList{"1: Item 1", "1: 1", "1: Second", "1: Item 3", "1: 3"}));
  EXPECT_EQ(entered.size(), 6);
  EXPECT_EQ(bands, QStringList(3, band->Name));
  // The highlight look is on the third record only.
  QList<int> fills;
  TfrPage objects;
  frReadPageObjects(report->EMFPages()[0].Stream.get(), &objects);
  for (int i = 0; i < objects.ObjectCount(); ++i)
    if (objects.Object(i)->Left == 0) fills << objects.Object(i)->FillColor;
  EXPECT_EQ(fills, (QList<int>{int(clNone), int(clNone), int(clYellow)}));
  EXPECT_TRUE(report->FindObject(QStringLiteral("Quantity"))->Visible);
  EXPECT_EQ(name->FillColor, clNone);

  // Band scripts read and write the band being built; the template's band keeps its height.
  NewReport();
  FillItems(3);
  Build({{btMasterData, 0, 20, "frLines", "[NAME]", 0, 100}, {btMasterFooter, 100, 20, {}, "[h]", 0, 100}});
  page->Object(0)->Script.Add(
      QStringLiteral("begin Visible := [QTY] <> 2; if [QTY] = 1 then Height := 40; h := Band1.Height end"));
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Dump(), (QStringList{"1: 0,0 100x20 Item 1", "1: 0,40 100x20 Item 3", "1: 0,80 100x20 40"}));
  EXPECT_EQ(page->Object(0)->Height, 20);
}

TEST_F(PageBuilderTest, ASubreportOnABandThatSplitsPrintsEachOfItsRowsOnce) {
  FillItems(1);
  QStringList tall;
  for (int i = 1; i <= 70; ++i) tall << QStringLiteral("line %1").arg(i);
  AddBand(btMasterData, 0, 30, QStringLiteral("frLines"), flStretched | flBandBreaked);
  AddMemo(0, 0, 100, 20, tall, flStretched);
  AddSubReport(200, 5, 1);
  Build({{btMasterData, 0, 40, "40", "part [LINE#]", 0, 100, kBothEnds, 0, 1}});
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_GE(report->EMFPages().Count(), 2);
  QStringList printed;
  for (const QString &text : Texts())
    printed << text.section(QStringLiteral(": "), 1).split(QLatin1Char('|'));
  for (int i = 1; i <= 70; ++i) EXPECT_EQ(printed.count(QStringLiteral("line %1").arg(i)), 1) << i;
  for (int i = 1; i <= 40; ++i) EXPECT_EQ(printed.count(QStringLiteral("part %1").arg(i)), 1) << i;
}

} // namespace
} // namespace build
