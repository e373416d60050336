#include "report/report_dataset.h"
#include <gtest/gtest.h>

namespace {

// The record numbers a band sees walking Source: First, then Next until Eof (at most Limit records).
QList<int> Walk(TfrDataset &source, int limit = 100) {
  QList<int> seen;
  source.Init();
  source.First();
  while (!source.Eof() && seen.size() < limit) {
    seen.append(source.RecNo());
    source.Next();
  }
  source.Done();
  return seen;
}

TEST(ReportUserDataset, ACountOrTheHandlerEndsTheRangeAndFirstAndNextFireAfterMoving) {
  TfrUserDataset source(nullptr);
  EXPECT_EQ(Walk(source, 50).size(), 50) << "without a count only the handler ends the range";
  source.SetRangeEnd(reCount);
  source.SetRangeEndCount(3);
  QList<int> events;
  source.SetOnFirst(TNotifyEvent::From([&](TObject *) { events.append(-source.RecNo() - 100); }));
  source.SetOnNext(TNotifyEvent::From([&](TObject *) { events.append(source.RecNo()); }));
  EXPECT_EQ(Walk(source), (QList<int>{0, 1, 2}));
  EXPECT_EQ(events, (QList<int>{-100, 1, 2, 3}));
  EXPECT_EQ(Walk(source), (QList<int>{0, 1, 2})) << "walking again starts from the first record";
  source.SetRangeEndCount(0);
  EXPECT_TRUE(Walk(source).isEmpty());
  // The handler ends a counted range early, or extends it.
  source.SetRangeEndCount(5);
  source.SetOnCheckEOF(TCheckEOFEvent::From([&source](TObject *sender, bool &eof) {
    EXPECT_EQ(sender, &source);
    eof = eof || source.RecNo() == 2;
  }));
  EXPECT_EQ(Walk(source), (QList<int>{0, 1}));
  source.SetOnCheckEOF(TCheckEOFEvent::From([&source](TObject *, bool &eof) { eof = source.RecNo() >= 7; }));
  EXPECT_EQ(Walk(source).size(), 7);
}

} // namespace
