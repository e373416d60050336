// Finding text in prepared pages: records in page order, case folding, continuing after a hit, moving on to
// later pages, damaged pages.
#include "report/ui/preview_search.h"
#include "tests/report/ui_preview_fixture.h"

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
  QStringList texts;
  for (size_t i = 0; i < 5; ++i) texts << records[i].Text;
  EXPECT_EQ(texts,
            QStringList({"INVOICE", "Invoice no. 1042", "Date: 06.12.2026", "Page 1 of 2", "Bill to:"}));
  EXPECT_EQ(records[1].Rect, Bounds(450, 40, 230, 60)) << "a record carries its object's rectangle";
  EXPECT_EQ(records.back().Text, "Thank you for your business - page 1");
  EXPECT_TRUE(frPageTextRecords(pages, 2).empty());
  EXPECT_TRUE(frPageTextRecords(pages, -1).empty());
}

// Hits continue on the same page before moving on ("batch 3" is item 3 on page 1, items 30 to 32 on page 2);
// the case option decides what matches; a search from a later page skips earlier hits.
TEST_F(PreviewSearchTest, HitsInPageAndRecordOrder) {
  QStringList found;
  int page = 0, record = 0;
  while (auto hit = frFindText(pages, page, record, "BATCH 3", false)) {
    found << QStringLiteral("%1 %2").arg(hit->Page).arg(
        frPageTextRecords(pages, hit->Page)[size_t(hit->Record)].Text);
    page = hit->Page;
    record = hit->Record + 1;
  }
  EXPECT_EQ(found, QStringList({"0 Sourdough loaf, batch 3", "1 Sourdough loaf, batch 30",
                                "1 Sourdough loaf, batch 31", "1 Sourdough loaf, batch 32"}));
  EXPECT_EQ(frFindText(pages, 0, 0, "invoice", false)->Record, 0) << "upper-cased, INVOICE matches";
  EXPECT_EQ(frFindText(pages, 0, 0, "Invoice", true)->Record, 1);
  EXPECT_FALSE(frFindText(pages, 0, 0, "invoice", true));
  EXPECT_FALSE(frFindText(pages, 0, 0, "", false));
  EXPECT_EQ(frFindText(pages, 1, 0, "page", false)->Page, 1);
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
