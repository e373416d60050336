// A band printed in slices: what each slice prints, where, and how much of a text.
#include "report/band_slicer.h"
#include <gtest/gtest.h>

namespace {

// "id@top+height" of each write, a text's with its line count "/n".
std::vector<std::string> Writes(const TfrSlice &slice) {
  std::vector<std::string> out;
  for (const TfrSliceWrite &w : slice.writes)
    out.push_back(std::to_string(w.id) + "@" + std::to_string(w.top) + "+" + std::to_string(w.height) +
                  (w.lines ? "/" + std::to_string(w.lines) : ""));
  return out;
}

TfrSlicePiece Object(int id, int top, int height) { return {id, top, height}; }

// A text of that many lines 16 high, with gaps of 4.
TfrSlicePiece Text(int id, int top, int lines) { return {id, top, lines * 16 + 4, true, lines, 16, 4}; }

TEST(BandSlicer, ATextCrossingTheLimitPrintsTheWholeLinesThatFitWithItsGaps) {
  const struct {
    int room;
    std::vector<std::string> first, second;
  } cases[] = {
      // 10 + 3 x 16 + 4 = 62: room for exactly three lines.
      {62, {"1@10+52/3"}, {"1@0+116/7"}},
      {61, {"1@10+36/2"}, {"1@0+132/8"}},
      {30, {"1@10+20/1"}, {"1@0+148/9"}},
      // Not even one line: the text waits, as a whole, at the top of the next slice.
      {29, {}, {"1@0+164/10"}},
  };
  for (const auto &c : cases) {
    TfrBandSlicer slicer({Text(1, 10, 10)}, 200);
    const TfrSlice first = slicer.Next(c.room, false);
    EXPECT_EQ(Writes(first), c.first) << c.room;
    EXPECT_FALSE(first.last);
    const TfrSlice second = slicer.Next(1000, true);
    EXPECT_EQ(Writes(second), c.second) << c.room;
    EXPECT_TRUE(second.last);
  }
}

TEST(BandSlicer, ObjectsThatDoNotFitWaitAndMoveUpByTheRoomUsed) {
  TfrBandSlicer slicer({Object(1, 0, 20), Object(2, 90, 20), Object(3, 250, 30)}, 300);
  const TfrSlice first = slicer.Next(100, false);
  EXPECT_EQ(Writes(first), (std::vector<std::string>{"1@0+20"}));
  // 100 used: the crossing one starts the next slice, the far one lies 150 further down.
  const TfrSlice second = slicer.Next(100, true);
  EXPECT_EQ(Writes(second), (std::vector<std::string>{"2@0+20"}));
  const TfrSlice third = slicer.Next(100, true);
  EXPECT_EQ(Writes(third), (std::vector<std::string>{"3@50+30"}));
  EXPECT_TRUE(third.last);
  // What is left of the band's 300 after 200 used; never past the room.
  EXPECT_EQ(third.advance, 100);
}

TEST(BandSlicer, WhatDoesNotFitOnAFreshPageIsCutToItSoTheBandEnds) {
  {
    TfrBandSlicer slicer({Object(1, 0, 2500)}, 2500);
    const TfrSlice slice = slicer.Next(1000, true);
    EXPECT_EQ(Writes(slice), (std::vector<std::string>{"1@0+1000"}));
    EXPECT_TRUE(slice.last);
    EXPECT_EQ(slice.advance, 1000);
  }
  {
    // A text whose gaps alone pass the room still prints a line in each slice.
    TfrBandSlicer slicer({{1, 0, 100, true, 3, 40, 30}}, 100);
    EXPECT_EQ(Writes(slicer.Next(50, true)), (std::vector<std::string>{"1@0+50/1"}));
    EXPECT_EQ(Writes(slicer.Next(50, true)), (std::vector<std::string>{"1@0+50/1"}));
    const TfrSlice last = slicer.Next(50, true);
    EXPECT_EQ(Writes(last), (std::vector<std::string>{"1@0+50/1"}));
    EXPECT_TRUE(last.last);
  }
  {
    // Not at the top of a fresh page: it waits for one.
    TfrBandSlicer slicer({Object(1, 0, 2500)}, 2500);
    EXPECT_TRUE(Writes(slicer.Next(1000, false)).empty());
  }
}

TEST(BandSlicer, TheBandsEmptySpaceEndsAtTheRoom) {
  TfrBandSlicer slicer({Object(1, 0, 20)}, 500);
  const TfrSlice slice = slicer.Next(300, false);
  EXPECT_TRUE(slice.last);
  EXPECT_EQ(slice.advance, 300);
  TfrBandSlicer shorter({Object(1, 0, 20)}, 200);
  EXPECT_EQ(shorter.Next(300, false).advance, 200);
}

} // namespace
