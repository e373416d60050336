// Finding text in prepared pages: records in page order, case folding, continuing after a hit, moving on to
// later pages, damaged pages.
#include "report/ui/preview_search.h"
#include "tests/report/ui_pages_fixture.h"

namespace {

class PreviewSearchTest : public test::ReportModelTest {
protected:
  void SetUp() override {
    ReportModelTest::SetUp();
    builder.TwoPageInvoice(pages);
  }
  test::PreparedPagesBuilder builder;
  TfrEMFPages pages;
};

TEST_F(PreviewSearchTest, RecordsAreTheLinesOfTheTextObjectsInPageOrder) {
  const std::vector<TfrTextRecord> records = frPageTextRecords(pages, 0);
  ASSERT_GE(records.size(), 10u);
  EXPECT_EQ(records[0].Text, "INVOICE");
  EXPECT_EQ(records[1].Text, "Invoice no. 1042");
  EXPECT_EQ(records[2].Text, "Date: 06.12.2026");
  EXPECT_EQ(records[3].Text, "Page 1 of 2");
  EXPECT_EQ(records[4].Text, "Bill to:");
  EXPECT_EQ(records[1].Rect, Bounds(450, 40, 230, 60)) << "a record carries its object's rectangle";
  EXPECT_EQ(records.back().Text, "Thank you for your business - page 1");
  EXPECT_TRUE(frPageTextRecords(pages, 2).empty());
  EXPECT_TRUE(frPageTextRecords(pages, -1).empty());
}

TEST_F(PreviewSearchTest, CaseOptionDecidesWhatMatches) {
  auto hit = frFindText(pages, 0, 0, "invoice", false);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->Page, 0);
  EXPECT_EQ(hit->Record, 0) << "upper-cased, INVOICE matches";
  hit = frFindText(pages, 0, 0, "Invoice", true);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->Record, 1) << "case-sensitive, only 'Invoice no. 1042' matches";
  EXPECT_FALSE(frFindText(pages, 0, 0, "invoice", true));
  EXPECT_FALSE(frFindText(pages, 0, 0, "", false));
  EXPECT_FALSE(frFindText(pages, 0, 0, "rye bread", false));
}

TEST_F(PreviewSearchTest, ContinuingAfterAHitFindsTheNextOnTheSamePageBeforeMovingOn) {
  // "batch 3" is item 3 on page 1, items 30 to 32 on page 2.
  std::vector<std::pair<int, QString>> found;
  int page = 0, record = 0;
  while (auto hit = frFindText(pages, page, record, "BATCH 3", false)) {
    found.push_back({hit->Page, frPageTextRecords(pages, hit->Page)[size_t(hit->Record)].Text});
    page = hit->Page;
    record = hit->Record + 1;
  }
  const std::vector<std::pair<int, QString>> expected{{0, "Sourdough loaf, batch 3"},
                                                      {1, "Sourdough loaf, batch 30"},
                                                      {1, "Sourdough loaf, batch 31"},
                                                      {1, "Sourdough loaf, batch 32"}};
  EXPECT_EQ(found, expected);
}

TEST_F(PreviewSearchTest, SearchFromALaterPageSkipsEarlierHits) {
  auto hit = frFindText(pages, 1, 0, "page", false);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->Page, 1);
  EXPECT_EQ(frPageTextRecords(pages, 1)[size_t(hit->Record)].Text, "Page 2 of 2");
  EXPECT_FALSE(frFindText(pages, 5, 0, "page", false)) << "past the last page the search ends";
}

TEST_F(PreviewSearchTest, ADamagedPageHoldsNoTextAndTheSearchGoesOn) {
  TMemoryStream &stream = *pages[0].Stream;
  stream.SetSize(stream.Size() - 3); // cut inside the last object
  EXPECT_TRUE(frPageTextRecords(pages, 0).empty());
  auto hit = frFindText(pages, 0, 0, "invoice", false);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->Page, 1);
}

} // namespace
