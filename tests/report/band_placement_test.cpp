// Placing a band: whether it prints whole, moves on or prints in slices, and how the objects of a stretched
// band flow down as their texts grow.
#include "report/band_placement.h"
#include "report/memo_view.h"
#include "report/picture_view.h"
#include <gtest/gtest.h>
#include <map>

namespace {

TEST(BandPlacement, ABandPrintsWholeMovesOnOrPrintsInSlices) {
  using P = TfrBandPlacing;
  const struct {
    const char *name;
    TfrBandRoom room;
    TfrBandPlacing expected;
  } cases[] = {
      {"reaching the bottom exactly", {900, 100, 1000, false, 0, false}, P::Whole},
      {"one unit too tall", {901, 100, 1000, false, 0, false}, P::MoveOn},
      {"one unit too tall at the top of a fresh page", {901, 100, 1000, false, 0, true}, P::Slices},
      {"one unit too tall, allowed to split", {901, 100, 1000, true, 0, false}, P::Slices},
      {"allowed to split, its first row fits", {901, 100, 1000, true, 99, false}, P::Slices},
      {"allowed to split, not even its first row fits", {901, 100, 1000, true, 100, false}, P::MoveOn},
      {"not even its first row fits on a fresh page", {901, 100, 1000, true, 100, true}, P::Slices},
  };
  for (const auto &c : cases) EXPECT_EQ(frPlaceBand(c.room), c.expected) << c.name;
}

class BandFlowTest : public ::testing::Test {
protected:
  TfrView *Add(std::unique_ptr<TfrView> view, int left, int top, int width, int height, int needed = -1) {
    std::tie(view->Left, view->Top, view->Width, view->Height) = std::tuple(left, top, width, height);
    view->Flags = needed >= 0 ? flStretched : 0;
    needed_[view.get()] = needed;
    views_.push_back(std::move(view));
    objects.push_back(views_.back().get());
    return objects.back();
  }
  TfrView *Text(int left, int top, int width, int height, int needed = -1) {
    return Add(std::make_unique<TfrMemoView>(), left, top, width, height, needed);
  }
  int Measure(int designHeight) {
    return flow.Measure(designHeight, objects, [this](const TfrView *view) { return needed_.at(view); });
  }
  // "top+height" of an object in a band of that height.
  std::string At(const TfrView *view, int bandHeight) const {
    int top = 0, height = 0;
    flow.Place(view, bandHeight, top, height);
    return std::to_string(top) + "+" + std::to_string(height);
  }

  TfrBandFlow flow;
  std::vector<TfrView *> objects;

private:
  std::vector<std::unique_ptr<TfrView>> views_;
  std::map<const TfrView *, int> needed_;
};

TEST_F(BandFlowTest, AGrowingTextPushesWhatLiesBelowItAcrossItsWidthAndTheBandGrows) {
  TfrView *grows = Text(0, 0, 100, 20, 60);     // grows by 40
  TfrView *below = Text(50, 30, 100, 20);       // overlaps it across: pushed 40
  TfrView *beside = Text(100, 30, 100, 20);     // starts where it ends: stays
  TfrView *further = Text(60, 60, 100, 20, 50); // below the pushed one: pushed too, and grows by 30
  const int height = Measure(80);
  // The design left 0 below the lowest; it moved 40 and grew 30.
  EXPECT_EQ(height, 80 + 40 + 30);
  EXPECT_EQ(At(grows, height), "0+60") << "it pushed something: it keeps what it needs";
  EXPECT_EQ(At(below, height), "70+20");
  EXPECT_EQ(At(beside, height), "30+20");
  EXPECT_EQ(At(further, height), "100+50") << "it pushed nothing: it reaches the band's bottom";
}

TEST_F(BandFlowTest, AStretchedObjectThatIsNoTextKeepsItsHeightWhenItPushesAndInvisibleObjectsDoNotCount) {
  TfrView *picture = Add(std::make_unique<TfrPictureView>(), 0, 0, 100, 40);
  picture->Flags = flStretched; // scaled to its rectangle, and stretching with the band
  TfrView *below = Text(0, 50, 100, 20, 200);
  TfrView *hidden = Text(200, 0, 100, 20, 500);
  hidden->Visible = false;
  const int height = Measure(70);
  EXPECT_EQ(height, 250);
  EXPECT_EQ(At(picture, height), "0+40");
  EXPECT_EQ(At(below, height), "50+200");
}

} // namespace
