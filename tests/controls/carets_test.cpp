// Carets: the shape rules of a caret description, the geometry of a caret in its cell, sharing by
// reference count, and the caret a control paints and blinks itself.
#include "controls/framework/caret.h"
#include "platform/graphics/canvas.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include "tests/platform/std_test_helpers.h"
#include <QImage>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Records the areas the caret asks its owner to repaint.
class RecordingCaret : public TOvcCaretPair {
public:
  using TOvcCaretPair::TOvcCaretPair;
  std::vector<TRect> invalidated;

protected:
  void InvalidateArea(const TRect &Rect) override {
    invalidated.push_back(Rect);
    TOvcCaretPair::InvalidateArea(Rect);
  }
};

// A control that draws its caret in its own Paint, on a white background.
class CaretHost : public TCustomControl {
public:
  explicit CaretHost(TComponent *AOwner) : TCustomControl(AOwner), caret(this) {}
  RecordingCaret caret;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(ClientRect());
    caret.Paint(Canvas(), clBlack);
  }
};

class CaretTest : public stdtest::FormTest {
protected:
  void SetUp() override {
    stdtest::FormTest::SetUp();
    host = Add<CaretHost>(10, 10, 100, 40);
  }
  QImage Shot() {
    guitest::ProcessEvents();
    return host->Widget()->grab().toImage();
  }
  static int BlackPixels(const QImage &image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == QColor(Qt::black)) ++n;
    return n;
  }

  CaretHost *host = nullptr;
};

TEST(CaretDescription, ShapeSetsAlignmentAndLineThicknessAndSizesBelowOneAreIgnored) {
  struct Case {
    TOvcCaretShape shape;
    TOvcCaretAlign align;
    int width;
    int height;
  };
  const Case cases[] = {
      {csBlock, caLeft, 7, 9},      {csHalfBlock, caBottom, 7, 9}, {csVertLine, caLeft, 2, 9},
      {csHorzLine, caBottom, 7, 2}, {csCustom, caCenter, 7, 9},
  };
  for (const Case &c : cases) {
    TOvcCaret caret;
    caret.SetAlign(caCenter);
    caret.SetCaretWidth(7);
    caret.SetCaretHeight(9);
    int changes = 0;
    caret.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
    caret.SetShape(c.shape);
    EXPECT_EQ(std::tuple(caret.Align(), caret.CaretWidth(), caret.CaretHeight(), changes),
              std::tuple(c.align, c.width, c.height, 1))
        << c.shape;
  }
  // Sizes below one are ignored.
  TOvcCaret caret;
  int changes = 0;
  caret.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  caret.SetCaretHeight(0);
  caret.SetCaretWidth(-4);
  EXPECT_EQ(std::tuple(caret.CaretHeight(), caret.CaretWidth(), changes), std::tuple(10, 2, 0));
}

TEST(CaretDescription, BitmapShapeTakesTheBitmapSizeAndHotSpotsCountOnlyThen) {
  TOvcCaret caret;
  int changes = 0;
  caret.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  caret.SetBitmap(nullptr);
  EXPECT_EQ(changes, 0) << "a nil bitmap is ignored";
  caret.SetBitmapHotSpotX(3);
  EXPECT_EQ(changes, 0) << "hot spots matter only for a bitmap caret";
  TBitmap picture(5, 12);
  caret.SetBitmap(&picture);
  caret.SetShape(csBitmap);
  EXPECT_EQ(std::pair(caret.CaretWidth(), caret.CaretHeight()), std::pair(5, 12));
  changes = 0;
  caret.SetBitmapHotSpotY(2);
  EXPECT_EQ(changes, 1);
}

TEST(CaretDescription, SharedDescriptionLivesUntilItsLastUserLetsGo) {
  auto *shared = new TOvcCaret;
  shared->SetShape(csBlock);
  {
    TOvcSingleCaret a(nullptr);
    a.SetCaret(shared);
    {
      TOvcSingleCaret b(nullptr);
      b.SetCaret(shared);
      EXPECT_EQ(shared->RefCount(), 2);
    }
    EXPECT_EQ(shared->RefCount(), 1);
    EXPECT_EQ(a.Width(), 10) << "still usable after the other user went";
  }
}

TEST(CaretGeometry, OffsetsFollowTheAlignmentInTheCellLessABitmapsHotSpot) {
  struct Case {
    TOvcCaretAlign align;
    int x;
    int y;
  };
  // A 4 x 6 custom caret in a 10 x 20 cell.
  const Case cases[] = {{caLeft, 0, 7}, {caBottom, 3, 14}, {caCenter, 3, 7}};
  for (const Case &c : cases) {
    TOvcCaretPair pair(nullptr);
    pair.CaretIns()->SetShape(csCustom);
    pair.CaretIns()->SetCaretWidth(4);
    pair.CaretIns()->SetCaretHeight(6);
    pair.CaretIns()->SetAlign(c.align);
    pair.SetCellWidth(10);
    pair.SetCellHeight(20);
    EXPECT_EQ(std::tuple(pair.Width(), pair.Height(), pair.OffsetX(), pair.OffsetY()),
              std::tuple(4, 6, c.x, c.y))
        << c.align;
  }
  // A bitmap's hot spot is subtracted.
  TOvcCaretPair pair(nullptr);
  TBitmap picture(4, 4);
  pair.CaretIns()->SetBitmap(&picture);
  pair.CaretIns()->SetShape(csBitmap);
  pair.CaretIns()->SetAlign(caCenter);
  pair.CaretIns()->SetBitmapHotSpotX(1);
  pair.CaretIns()->SetBitmapHotSpotY(2);
  EXPECT_EQ(std::pair(pair.OffsetX(), pair.OffsetY()), std::pair(3 - 1, 3 - 2));
}

TEST(CaretGeometry, ShapesTakeTheirSizeFromTheCellAndNegativePositionsAreOffTheWindow) {
  TOvcCaretPair pair(nullptr);
  pair.SetCellWidth(8);
  pair.SetCellHeight(15);
  pair.CaretOvr()->SetShape(csHalfBlock);
  pair.SetInsertMode(false);
  EXPECT_EQ(std::tuple(pair.Width(), pair.Height(), pair.OffsetY()), std::tuple(8, 7, 8))
      << "half, truncated";
  pair.CaretOvr()->SetShape(csHorzLine);
  EXPECT_EQ(std::tuple(pair.Width(), pair.Height(), pair.OffsetY()), std::tuple(8, 2, 13));

  // Negative positions are off the window.
  pair.SetPosition(-1, 5);
  EXPECT_EQ(std::pair(pair.PosX(), pair.PosY()), std::pair(kCaretOffWindow, 5));
  EXPECT_TRUE(pair.CaretRect().IsEmpty());
}

TEST(CaretGeometry, PairSwitchesBetweenVerticalLineAndBlock) {
  TOvcCaretPair pair(nullptr);
  pair.SetInsertMode(true);
  pair.CaretOvr()->SetShape(csHalfBlock);
  EXPECT_EQ(pair.Width(), 2) << "a change to the caret not in use leaves the geometry alone";
  pair.SetInsertMode(false);
  EXPECT_EQ(pair.Height(), 5);
}

TEST(CaretGeometry, AssigningALookCopiesIt) {
  TOvcCaretPair pair(nullptr);
  TOvcCaret look;
  look.SetShape(csHorzLine);
  look.SetBlinkTime(300);
  pair.SetCaretIns(&look);
  EXPECT_EQ(
      std::tuple(pair.CaretIns()->Shape(), pair.CaretIns()->BlinkTime(), pair.Height(), pair.BlinkInterval()),
      std::tuple(csHorzLine, 300, 2, 300u));
  EXPECT_EQ(look.RefCount(), 0) << "the pair keeps its own description";
}

TEST_F(CaretTest, ALinkedCaretIsPaintedByItsOwnerWhereItStandsInItsShape) {
  RecordingCaret &caret = host->caret;
  caret.SetLinked(true);
  EXPECT_FALSE(caret.Linked()) << "no window yet";
  Show();
  caret.SetPosition(20, 5);
  caret.SetVisible(true);
  caret.SetLinked(true);
  EXPECT_TRUE(caret.Linked());
  QImage image = Shot();
  EXPECT_EQ(image.pixelColor(20, 5), QColor(Qt::black));
  EXPECT_EQ(BlackPixels(image), 2 * 10);

  caret.SetInsertMode(false);
  EXPECT_EQ(BlackPixels(Shot()), 10 * 10) << "overwrite shows a full block";

  caret.Blink();
  EXPECT_EQ(BlackPixels(Shot()), 0) << "the hidden half of a blink";

  caret.SetVisible(false);
  EXPECT_EQ(BlackPixels(Shot()), 0);

  // Changing the look of a linked caret repaints it in the new shape.
  caret.SetVisible(true);
  caret.SetInsertMode(true);
  caret.CaretIns()->SetShape(csBlock);
  EXPECT_EQ(BlackPixels(Shot()), 100);
}

TEST_F(CaretTest, MovingInvalidatesTheOldAndNewPlacesUnlessUnlinked) {
  Show();
  RecordingCaret &caret = host->caret;
  caret.SetVisible(true);
  caret.SetLinked(true);
  caret.invalidated.clear();
  caret.SetPosition(30, 4);
  ASSERT_GE(caret.invalidated.size(), 2u);
  EXPECT_EQ(caret.invalidated.front(), Bounds(0, 0, 2, 10));
  EXPECT_EQ(caret.invalidated.back(), Bounds(30, 4, 2, 10));

  // Unlinked, it neither blinks nor paints.
  caret.SetLinked(false);
  caret.invalidated.clear();
  caret.Blink();
  caret.SetPosition(3, 3);
  EXPECT_TRUE(caret.invalidated.empty());
  EXPECT_EQ(BlackPixels(Shot()), 0);
}

} // namespace
