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

// Dataset lines written "name quantity price group [note]".
QList<Line> Lines(const QStringList &lines) {
  QList<Line> rows;
  for (const QString &line : lines) {
    const QStringList f = line.split(QLatin1Char(' '));
    rows.append({f[0], f[1].toInt(), f[2].toDouble(), f.value(3), f.value(4)});
  }
  return rows;
}

// A template, the dataset it runs over and the prepared pages it gives: their dump, or only their texts,
// or only the lines matching a pattern.
struct Layout {
  Layout(const char *name, QList<Line> rows, QStringList bands, QStringList expected, bool geometry = true,
         const char *only = "", std::function<void()> setup = {})
      : name(name), rows(std::move(rows)), bands(std::move(bands)), expected(std::move(expected)),
        geometry(geometry), only(only), setup(std::move(setup)) {}
  const char *name;
  QList<Line> rows;
  QStringList bands, expected;
  bool geometry;
  const char *only;
  std::function<void()> setup;
};

TEST_F(PageBuilderTest, BandsPrintInTheirOrderWhereTheyFit) {
  // A page header (20 high) and a page footer (30 high) around a data band of 100-high rows: A4 on the
  // virtual printer is 1071 units high, so ten rows fit on a page.
  auto paged = [](const QString &headerFlags, const QString &footerFlags, const QString &footer) {
    return QStringList{"PageHeader 0+20" + headerFlags + " | 10 Head",
                       "MasterData 100+100 frLines | 10 [NAME]",
                       "PageFooter 1000+30" + footerFlags + " | 10 " + footer};
  };
  const QString pageOf = QStringLiteral("Page [PAGE#] of [TOTALPAGES]");
  auto *detail = new TfrUserDataset(form);
  detail->SetName(QStringLiteral("frDetail"));
  detail->SetOnCheckEOF(TCheckEOFEvent::From([this, detail](TObject *, bool &eof) {
    eof = detail->RecNo() >= lines->FieldByName(QStringLiteral("QTY"))->AsInteger();
  }));
  const QList<Line> details = Lines({"Two 2 1", "None 0 1", "One 1 1"});
  const QStringList masterDetail{
      "MasterData 0+20 frLines | 0 [NAME]",
      "DetailHeader 30+20 | 10 lines of [Lines.NAME]:", "DetailData 60+20 frDetail | 20 - [LINE#]",
      "DetailFooter 90+20 | 10 end of [frLines.NAME]"};
  const Layout cases[] = {
      Layout("a data band over an empty dataset prints neither records nor its header and footer", {},
             {"ReportTitle 0+30 | 10 Invoice", "MasterHeader 40+30 | 10 Header",
              "MasterData 80+20 frLines | 10 [NAME]", "MasterFooter 120+20 | 10 Footer"},
             {"1: 10,0 200x20 Invoice"}),
      Layout("header and footer print once around the records, with line numbers", Items(3),
             {"MasterHeader 40+30 | 10 Header", "MasterData 80+20 frLines | 10 [LINE#]. [NAME] x [QTY]",
              "MasterFooter 120+20 | 10 Records: [CURRENT#]"},
             {"1: 10,0 200x20 Header", "1: 10,30 200x20 1. Item 1 x 1", "1: 10,50 200x20 2. Item 2 x 2",
              "1: 10,70 200x20 3. Item 3 x 3", "1: 10,90 200x20 Records: 4"}),
      Layout("the total of pages is known with two passes", Items(25), paged("", "", pageOf),
             {"1: Page 1 of 3", "2: Page 2 of 3", "3: Page 3 of 3"}, false, "Page ",
             [this] { report->SetDoublePass(true); }),
      Layout("rows overflow under their page header; the footer sits at the bottom limit", Items(12),
             paged("", "", pageOf),
             QStringList{"1: 10,0 200x20 Head"} + Rows("1: 10,%1 200x20 Item %2", 1, 10, 20, 100) +
                 QStringList{"1: 10,1041 200x20 Page 1 of 0", "2: 10,0 200x20 Head"} +
                 Rows("2: 10,%1 200x20 Item %2", 11, 12, 20, 100) +
                 QStringList{"2: 10,1041 200x20 Page 2 of 0"}),
      Layout("a page header without the first-page flag and a footer without the last-page flag skip those "
             "pages",
             Items(12), paged(" -first", " -last", pageOf), {"1: Page 1 of 0", "2: Head"}, false,
             "Head|Page "),
      Layout("page footer totals count the records of their own page", Items(12),
             paged("", "", "Page [PAGE#] sum [SUM([QTY])]"), {"1: Page 1 sum 55", "2: Page 2 sum 23"}, false,
             "Page "),
      Layout("groups open and close with their headers and footers and restart line numbers",
             Lines({"Bolt 2 1 A", "Nut 3 1 A", "Saw 1 1 B", "Axe 4 1 C", "Hoe 5 1 C"}),
             {"GroupHeader 0+20 [GRP] | 0 Group [GRP]", "MasterData 30+20 frLines | 20 [LINE#] [NAME]",
              "GroupFooter 60+20 | 0 Sum [SUM([QTY])] of [COUNT(,)]", "MasterFooter 90+20 | 0 End"},
             {"1: Group A", "1: 1 Bolt", "1: 2 Nut", "1: End", "1: Sum 5 of 2", "1: Group B", "1: 1 Saw",
              "1: End", "1: Sum 1 of 1", "1: Group C", "1: 1 Axe", "1: 2 Hoe", "1: End", "1: Sum 9 of 2"},
             false),
      Layout("nested groups close from the innermost out", Lines({"a1 1 1 A x", "a2 1 1 A y", "b1 1 1 B y"}),
             {"GroupHeader 0+20 [GRP] | 0 G [GRP]", "GroupHeader 30+20 [NOTE] | 0 N [NOTE]",
              "MasterData 60+20 frLines | 20 [NAME]", "GroupFooter 90+20 | 0 /N",
              "GroupFooter 120+20 | 0 /G"},
             {"1: G A", "1: N x", "1: a1", "1: /N", "1: N y", "1: a2", "1: /N", "1: /G", "1: G B", "1: N y",
              "1: b1", "1: /N", "1: /G"},
             false),
      Layout("a master without detail records prints only with the print-if-detail-empty flag", details,
             masterDetail,
             {"1: Two", "1: lines of Two:", "1: - 1", "1: - 2", "1: end of Two", "1: One",
              "1: lines of One:", "1: - 1", "1: end of One"},
             false),
      Layout("the print-if-detail-empty flag", details, masterDetail,
             {"1: Two", "1: lines of Two:", "1: - 1", "1: - 2", "1: end of Two", "1: None", "1: One",
              "1: lines of One:", "1: - 1", "1: end of One"},
             false, "", [this] { page->Object(0)->Flags |= flBandPrintIfSubsetEmpty; }),
      Layout("a band taller than a whole page prints once without a blank page before it", {},
             {"ReportTitle 0+2000 | 0 Huge", "ReportSummary 2010+20 | 0 After"},
             {"1: 0,0 200x20 Huge", "2: 0,0 200x20 After"}),
      Layout("footer totals and the summary take in every record", Items(4),
             {"MasterData 0+20 frLines | 0 [NAME] [PRICE #N0.2]",
              "MasterFooter 30+20 | 0 Total [SUM([PRICE]) #N0.2] avg [AVG([QTY]) #N0.2] max [MAX([QTY])] min "
              "[MIN([QTY], band1)]",
              "ReportSummary 60+20 | 0 Qty [SUM([QTY])] Lines [COUNT(,)]"},
             {"1: Item 1 1.50", "1: Item 2 3.00", "1: Item 3 4.50", "1: Item 4 6.00",
              "1: Total 15.00 avg 2.50 max 4 min 1", "1: Qty 10 Lines 4"},
             false),
      Layout("data bands chained without a source print with the record and count it once", Items(2),
             {"MasterData 0+20 frLines | 0,100 [NAME]", "MasterData 30+20 | 10,100 price [PRICE]",
              "MasterFooter 60+20 | 0,100 [COUNT(,)] lines"},
             {"1: 0,0 100x20 Item 1", "1: 10,20 100x20 price 1.5", "1: 0,40 100x20 Item 2",
              "1: 10,60 100x20 price 3", "1: 0,80 100x20 2 lines"}),
      // Every page starts with its header; each record, pushed to a page of its own by the script, comes
      // under the repeated column header.
      Layout("headers taller than a page still let the build end", Items(3),
             {"PageHeader 0+1200 | 0 Head", "MasterHeader 1300+100 +repeat | 0 Columns",
              "MasterData 1500+20 frLines | 0 [NAME]"},
             {"1: Head", "2: Head", "2: Columns", "3: Head", "3: Columns", "3: Item 1", "4: Head",
              "4: Columns", "4: Item 2", "5: Head", "5: Columns", "5: Item 3"},
             false, "", [this] { page->Object(4)->Script.Add(QStringLiteral("NEWPAGE")); }),
      // The first page has nothing before it: its mark is ignored.
      Layout(
          "a page marked to continue on the previous sheet does so, except the first", {},
          {"ReportTitle 0+50 | 0 First", "p1 ReportTitle 0+30 | 0 Second", "p2 ReportTitle 0+30 | 0 Third"},
          {"1: 0,0 200x20 First", "1: 0,50 200x20 Second", "2: 0,0 200x20 Third"}, true, "",
          [this] { report->Pages()[0]->PrintToPrevPage = report->Pages()[1]->PrintToPrevPage = true; }),
      // The subreport's page prints only beside its band, never on a sheet of its own.
      Layout("a subreport prints the bands of its page beside its band, which goes on below it", Items(2),
             {"MasterData 0+30 frLines | 0,100 [NAME]", "p1 ReportTitle 0+20 | 0,100 parts of [Lines.NAME]",
              "p1 MasterData 40+20 2 | 10,100 part [LINE#]"},
             {"1: 0,0 100x20 Item 1", "1: 200,5 100x20 parts of Item 1", "1: 210,25 100x20 part 1",
              "1: 210,45 100x20 part 2", "1: 0,65 100x20 Item 2", "1: 200,70 100x20 parts of Item 2",
              "1: 210,90 100x20 part 1", "1: 210,110 100x20 part 2"},
             true, "", [this] { AddSubReport(200, 5, 1); }),
      // Out of room, it goes on on the next page under that page's header.
      Layout("a subreport that runs out of room", Items(1),
             {"PageHeader 0+20 | 0,100 Head", "MasterData 30+30 frLines | 0,100 [NAME]",
              "p1 MasterData 0+100 12 | 0,100 part [LINE#]"},
             QStringList{"1: 0,0 100x20 Head", "1: 0,20 100x20 Item 1"} +
                 Rows("1: 200,%1 100x20 part %2", 1, 10, 20, 100) + QStringList{"2: 0,0 100x20 Head"} +
                 Rows("2: 200,%1 100x20 part %2", 11, 12, 20, 100),
             true, "", [this] { AddSubReport(200, 30, 1); })};
  for (const Layout &c : cases) {
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
  Build({"ReportSummary 100+20 | 0,100 after"});
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
  Build({"ReportTitle 0+980 | 0 Title"});
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
  Build({"MasterData 0+100 frLines | 10 [NAME] [COLUMN#]"});
  ASSERT_TRUE(report->PrepareReport());
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
  QStringList bands;
  report->OnEnterRect = TfrEnterRectEvent::From([](TStringList *memo, TfrView *) {
    if (memo->Count() > 0 && memo->Strings(0) == QLatin1String("Item 2"))
      memo->SetStrings(0, QStringLiteral("Second"));
  });
  report->OnBeginBand = TfrBandEvent::From([&bands](TfrBand *b) { bands << b->BandName(); });
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_EQ(Texts(), (QStringList{"1: Item 1", "1: 1", "1: Second", "1: Item 3", "1: 3"}));
  EXPECT_EQ(bands, QStringList(3, band->Name));
  // The highlight look is on the third record only.
  QList<int> fills;
  TfrPage objects;
  frReadPageObjects(report->EMFPages()[0].Stream.get(), &objects);
  for (int i = 0; i < objects.ObjectCount(); ++i)
    if (objects.Object(i)->Left == 0) fills << objects.Object(i)->FillColor;
  EXPECT_EQ(fills, (QList<int>{int(clNone), int(clNone), int(clYellow)}));
  EXPECT_TRUE(report->FindObject(QStringLiteral("Quantity"))->Visible) << "the template is left as it was";

  // Band scripts read and write the band being built; the template's band keeps its height.
  NewReport();
  FillItems(3);
  Build({"MasterData 0+20 frLines | 0,100 [NAME]", "MasterFooter 100+20 | 0,100 [h]"});
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
  Build({"p1 MasterData 0+40 40 | 0,100 part [LINE#]"});
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
