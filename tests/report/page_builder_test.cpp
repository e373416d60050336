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
      // under it. The page header fills every page it starts, so the repeated column header finds no room
      // there and is cut away.
      Layout("headers taller than a page still let the build end", Items(3),
             {"PageHeader 0+1200 | 0 Head", "MasterHeader 1300+100 +repeat | 0 Columns",
              "MasterData 1500+20 frLines | 0 [NAME]"},
             {"1: Head", "2: Head", "2: Columns", "3: Head", "3: Item 1", "4: Head", "4: Item 2", "5: Head",
              "5: Item 3"},
             false, "", [this] { page->Object(4)->Script.Add(QStringLiteral("NEWPAGE")); }),
      // Two columns 352 wide with a gap of 48: the second starts at 400.
      Layout("a band script's NEWCOLUMN starts the band in the next column", Items(4),
             {"MasterData 0+20 frLines | 10 [NAME] [COLUMN#]"},
             {"1: 10,0 200x20 Item 1 1", "1: 10,20 200x20 Item 2 1", "1: 410,0 200x20 Item 3 2",
              "1: 410,20 200x20 Item 4 2"},
             true, "",
             [this] {
               page->ColCount = 2;
               page->ColGap = 48;
               page->Object(0)->Script.Add(QStringLiteral("if [QTY] = 3 then NewColumn"));
             }),
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

// A text that does not fit on the rest of the page carries its remaining lines to the next page. Its first
// part holds as many whole lines as the room below the title less the column footer's holds, with the text's
// gaps above and below them; a column footer one unit taller takes a line away.
TEST_F(PageBuilderTest, ASplitBandPrintsTheLinesThatFitAndCarriesTheRestToTheNextPage) {
  QStringList words;
  for (int i = 1; i <= 60; ++i) words << QStringLiteral("word%1").arg(i);
  const QString text = words.join(QLatin1Char(' '));
  TfrMemoView whole;
  whole.Width = 120;
  whole.Flags = flStretched | flWordWrap;
  whole.Memo1.Add(text);
  QStringList expected;
  for (const TfrTextLine &line : whole.LayoutLines()) expected << line.Text;
  const int count = int(expected.size());
  const int step = whole.StepHeight();
  const int gaps = whole.CalcHeight() - count * step;
  // The room below the title: 1071 - 980.
  const int lines = (91 - gaps) / step;
  ASSERT_GE(lines, 3);
  const struct {
    const char *name;
    int footer;
    int fit;
  } cases[] = {{"no column footer", 0, lines},
               {"a column footer leaving room for one line less", 91 - gaps - (lines - 1) * step, lines - 1},
               {"a column footer one unit taller", 92 - gaps - (lines - 1) * step, lines - 2}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    NewReport();
    FillItems(1);
    Build({"ReportTitle 0+980 | 0 Title"});
    AddBand(btMasterData, 1000, 20, QStringLiteral("frLines"), flStretched | flBandBreaked);
    AddMemo(0, 1000, 120, 20, {text}, flStretched | flWordWrap);
    AddMemo(300, 1000, 100, 20, {QStringLiteral("beside")});
    if (c.footer) Build({QStringLiteral("ColumnFooter 1100+%1").arg(c.footer)});
    ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
    const QStringList dump = Dump();
    ASSERT_EQ(dump.size(), 4) << dump.join(QLatin1Char('\n')).toStdString();
    // Page 1: the lines that fit below the title, and the object beside them; page 2 the rest.
    EXPECT_EQ(dump[1].section(QLatin1Char(' '), 0, 2),
              QStringLiteral("1: 0,980 120x%1").arg(c.fit * step + gaps));
    EXPECT_EQ(dump[2], QStringLiteral("1: 300,980 100x20 beside"));
    EXPECT_EQ(dump[3].section(QLatin1Char(' '), 0, 2),
              QStringLiteral("2: 0,0 120x%1").arg((count - c.fit) * step + gaps));
    // Every line printed once, in order, across the two parts.
    const QStringList printed = dump[1].section(QLatin1Char(' '), 3).split(QLatin1Char('|')) +
                                dump[3].section(QLatin1Char(' '), 3).split(QLatin1Char('|'));
    EXPECT_EQ(printed, expected);
  }
}

// The column footer's room is kept free below the bands of a column: a band that would reach into it by
// a single unit goes to the next page, and so does one its script moves down into it. The footer itself
// needs no room beyond its own.
TEST_F(PageBuilderTest, TheColumnFootersRoomIsKeptBelowTheBands) {
  const struct {
    const char *name;
    int footer;
    const char *script;
    int rowsOnFirstPage, footerOnFirstPage;
  } cases[] = {{"ten rows fill the page down to the footer", 21, "", 10, 1050},
               {"the tenth row would reach into the footer", 22, "", 9, 950},
               {"the tenth row moved down by its script", 21, "if [QTY] = 10 then Top := 2000", 9, 1050}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    NewReport();
    FillItems(10);
    // 50 + 10 x 100 + 21 is the page's 1071.
    Build({"ReportTitle 0+50 | 0 Title", "MasterData 100+100 frLines | 0 [NAME]",
           QStringLiteral("ColumnFooter 300+%1 | 0 Foot").arg(c.footer)});
    page->Object(2)->Script.Add(QString::fromLatin1(c.script));
    ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
    QStringList expected = QStringList{"1: 0,0 200x20 Title"} +
                           Rows("1: 0,%1 200x20 Item %2", 1, c.rowsOnFirstPage, 50, 100) +
                           QStringList{QStringLiteral("1: 0,%1 200x20 Foot").arg(c.footerOnFirstPage)};
    if (c.rowsOnFirstPage < 10)
      expected += Rows("2: 0,%1 200x20 Item %2", c.rowsOnFirstPage + 1, 10, 0, 100) +
                  QStringList{QStringLiteral("2: 0,%1 200x20 Foot").arg(100 * (10 - c.rowsOnFirstPage))};
    EXPECT_EQ(Dump(), expected);
  }
}

// Whatever the bands hold, every object prints inside its page.
TEST_F(PageBuilderTest, NoObjectPrintsOutsideItsPage) {
  QStringList many;
  for (int i = 1; i <= 120; ++i) many << QStringLiteral("line %1").arg(i);
  const struct {
    const char *name;
    std::function<void()> make;
    QStringList texts;
  } cases[] = {{"an object far down a band taller than a page that may not split",
                [this] {
                  Build({"ReportTitle 0+3000 | 0 top"});
                  AddMemo(0, 2900, 100, 20, {QStringLiteral("far down")});
                },
                {"1: top", "3: far down"}},
               {"a text that grows taller than a page in a band that may not split",
                [&] {
                  AddBand(btReportTitle, 0, 20, QString(), kBothEnds | flStretched);
                  AddMemo(0, 0, 100, 20, many, flStretched);
                },
                {}},
               {"an object reaching below its band past the bottom of the page",
                [this] {
                  Build({"ReportTitle 0+1000 | 0 Title"});
                  AddBand(btReportSummary, 1010, 20);
                  AddMemo(0, 1010, 100, 100, {QStringLiteral("tall")});
                },
                {"1: Title", "2: tall"}}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    NewReport();
    c.make();
    ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
    QStringList texts;
    for (const QString &line : Dump()) {
      const int top = line.section(QLatin1Char(' '), 1, 1).section(QLatin1Char(','), 1).toInt();
      const int height = line.section(QLatin1Char(' '), 2, 2).section(QLatin1Char('x'), 1).toInt();
      EXPECT_TRUE(top >= 0 && top + height <= 1071) << line.toStdString();
      texts << line.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') + line.section(QLatin1Char(' '), 3);
    }
    if (!c.texts.isEmpty()) {
      EXPECT_EQ(texts, c.texts);
    } else {
      // Every line of a text cut across pages prints once, in order.
      QStringList printed;
      for (const QString &text : texts) printed << text.section(QLatin1Char(' '), 1).split(QLatin1Char('|'));
      EXPECT_EQ(printed, many);
      EXPECT_GT(report->EMFPages().Count(), 1);
    }
  }
}

// A header taller than what a page leaves it cannot move on (each new page would show it again): what of it
// passes the bottom is cut there, and the records still print, each once, above the page footer.
TEST_F(PageBuilderTest, HeadersShownWhileAPageStartsAreCutAtItsBottom) {
  const struct {
    const char *name;
    QString header;
  } cases[] = {{"a page header", QStringLiteral("PageHeader")},
               {"a column header", QStringLiteral("ColumnHeader")},
               {"a data header repeated on each page", QStringLiteral("MasterHeader")}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    NewReport();
    FillItems(3);
    Build({c.header + QStringLiteral(" 0+1300 +repeat | 0 Head"), "MasterData 1400+20 frLines | 0 [NAME]",
           "PageFooter 1500+30 | 0 Foot"});
    AddMemo(0, 1030, 100, 40, {QStringLiteral("Across")});
    AddMemo(0, 1200, 100, 20, {QStringLiteral("Below")});
    // Each record on a page of its own.
    page->Object(2)->Script.Add(QStringLiteral("NEWPAGE"));
    ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
    QStringList texts;
    for (const QString &line : Dump()) {
      const int top = line.section(QLatin1Char(' '), 1, 1).section(QLatin1Char(','), 1).toInt();
      const int height = line.section(QLatin1Char(' '), 2, 2).section(QLatin1Char('x'), 1).toInt();
      const QString text = line.section(QLatin1Char(' '), 3);
      // The footer keeps the last 30 of the page's 1071.
      EXPECT_TRUE(top >= 0 && top + height <= (text == QLatin1String("Foot") ? 1071 : 1041))
          << line.toStdString();
      texts << text;
    }
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(texts.count(QStringLiteral("Item %1").arg(i)), 1) << i;
    EXPECT_EQ(texts.count(QStringLiteral("Foot")), report->EMFPages().Count());
    EXPECT_GE(texts.count(QStringLiteral("Head")), 4);
  }
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

// A band's script sees the band where it is about to print: its Top on the page, its Left in its column, its
// Width and Height; what it writes moves and sizes the band.
TEST_F(PageBuilderTest, ABandScriptSeesAndMovesTheBandBeingBuilt) {
  const struct {
    const char *name;
    int columns;
    const char *script;
    QStringList expected;
  } cases[] = {
      {"rows read their own place",
       1,
       "begin t := Top; l := Left; w := Width; h := Height end",
       {"1: 0,0 300x20 Item 1 0 0 700 20", "1: 0,20 300x20 Item 2 20 0 700 20",
        "1: 0,40 300x20 Item 3 40 0 700 20"}},
      // The second row asks for a new column after reading its place; the third reads its place there.
      {"rows in the second column read its left",
       2,
       "begin t := Top; l := Left; w := Width; h := Height; if [QTY] = 2 then NewColumn end",
       {"1: 0,0 300x20 Item 1 0 0 700 20", "1: 400,0 300x20 Item 2 20 0 700 20",
        "1: 400,20 300x20 Item 3 20 400 700 20"}},
      {"writing Top and Left moves the band",
       1,
       "begin if [QTY] = 2 then Top := Top + 30; if [QTY] = 3 then Left := 40; t := Top; l := Left; "
       "w := Width; h := Height end",
       {"1: 0,0 300x20 Item 1 0 0 700 20", "1: 0,50 300x20 Item 2 50 0 700 20",
        "1: 40,70 300x20 Item 3 70 40 700 20"}},
      {"writing Width and Height sizes the band",
       1,
       "begin if [QTY] = 2 then begin Width := 500; Height := 30 end; t := Top; l := Left; w := Width; "
       "h := Height end",
       {"1: 0,0 300x20 Item 1 0 0 700 20", "1: 0,20 300x20 Item 2 20 0 500 30",
        "1: 0,50 300x20 Item 3 50 0 500 30"}}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    NewReport();
    FillItems(3);
    page->ColCount = c.columns;
    page->ColGap = 48;
    Build({"MasterData 0+20 frLines | 0,300 [NAME] [t] [l] [w] [h]"});
    page->Object(0)->Script.Add(QString::fromLatin1(c.script));
    for (const char *name : {"t", "l", "w", "h"})
      ReportVariables()->SetVariable(QString::fromLatin1(name), Variant(QString()));
    ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
    QStringList dump = Dump();
    for (QString &line : dump) line = line.trimmed();
    EXPECT_EQ(dump, c.expected);
  }
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
