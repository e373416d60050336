// The hyper button: glyph and caption layout, the press / drag / release state machine driven by the mouse as
// a person would, DisabledAnimate, and what each state paints.
#include "controls/buttons/hand_cursor.h"
#include "controls/buttons/hyper_button.h"
#include "platform/windowing/control_grab.h"
#include "platform/windowing/screen.h"
#include "tests/platform/gui_test_helpers.h"
#include <QEnterEvent>
#include <gtest/gtest.h>

namespace {

// ---- layout ----

struct LayoutCase {
  const char *name;
  TVrImageTextLayout layout;
  int margin;
  int spacing;
  TSize glyph;
  TPoint glyphPos;
  TRect textBounds;
};

// A 100 x 80 client at the origin, offset (1, 1), a 16 x 16 glyph and a 40 x 13 caption.
const LayoutCase kLayoutCases[] = {
    // Margin and spacing -1: the free room is split in three along the axis, both centred across it.
    {"left, even thirds", ImageLeft, -1, -1, {16, 16}, {15, 33}, {45, 35, 85, 48}},
    {"right, even thirds", ImageRight, -1, -1, {16, 16}, {71, 33}, {17, 35, 57, 48}},
    {"top, even thirds", ImageTop, -1, -1, {16, 16}, {43, 18}, {31, 51, 71, 64}},
    {"bottom, even thirds", ImageBottom, -1, -1, {16, 16}, {43, 48}, {31, 18, 71, 31}},
    // A given spacing with margin -1 centres the whole block.
    {"left, spacing 5", ImageLeft, -1, 5, {16, 16}, {21, 33}, {42, 35, 82, 48}},
    // A given margin with spacing -1: the spacing takes half of what is left.
    {"left, margin 4", ImageLeft, 4, -1, {16, 16}, {5, 33}, {41, 35, 81, 48}},
    {"bottom, margin 4", ImageBottom, 4, -1, {16, 16}, {43, 61}, {31, 25, 71, 38}},
    // Without a glyph the spacing is 0 and the text is centred, one pixel higher.
    {"left, no glyph", ImageLeft, -1, -1, {0, 0}, {31, 41}, {31, 34, 71, 47}},
};

TEST(HyperButtonLayout, PlacesGlyphAndText) {
  for (const LayoutCase &c : kLayoutCases) {
    SCOPED_TRACE(c.name);
    const TVrImageTextPlacement placement = VrCalcImageTextLayout(
        Rect(0, 0, 100, 80), TPoint{1, 1}, TSize{40, 13}, c.layout, c.margin, c.spacing, c.glyph);
    EXPECT_EQ(placement.GlyphPos, c.glyphPos);
    EXPECT_EQ(placement.TextBounds, c.textBounds);
  }
}

TEST(HyperButtonLayout, ClientOriginMovesBothParts) {
  const TVrImageTextPlacement atOrigin =
      VrCalcImageTextLayout(Rect(0, 0, 100, 80), TPoint{0, 0}, TSize{40, 13}, ImageLeft, -1, -1, {16, 16});
  const TVrImageTextPlacement moved =
      VrCalcImageTextLayout(Rect(7, 3, 107, 83), TPoint{0, 0}, TSize{40, 13}, ImageLeft, -1, -1, {16, 16});
  EXPECT_EQ(moved.GlyphPos, (TPoint{atOrigin.GlyphPos.X + 7, atOrigin.GlyphPos.Y + 3}));
  TRect expected = atOrigin.TextBounds;
  OffsetRect(expected, 7, 3);
  EXPECT_EQ(moved.TextBounds, expected);
}

std::unique_ptr<TBitmap> Glyph16() {
  auto glyph = std::make_unique<TBitmap>(16, 16);
  glyph->Canvas()->Brush()->SetColor(clRed);
  glyph->Canvas()->FillRect(Rect(0, 0, 16, 16));
  return glyph;
}

// The button lays out its real caption with margin and spacing -1: the three gaps along the axis are equal
// (the last one takes the remainder of the division).
TEST(HyperButtonLayout, ButtonSpreadsGapsEvenlyInEachLayout) {
  auto *form = TCustomForm::Create<TForm>(nullptr);
  auto *button = new TVrHyperButton(form);
  button->SetParent(form);
  button->SetBounds(0, 0, 160, 90);
  button->SetCaption(QStringLiteral("Print"));
  button->SetMargin(-1);
  button->SetSpacing(-1);
  const auto glyph = Glyph16();
  button->SetGlyph(glyph.get());
  const int inner = 1 + 1; // the client shrunk by one pixel, then moved by one

  for (TVrImageTextLayout layout : {ImageLeft, ImageRight, ImageTop, ImageBottom}) {
    SCOPED_TRACE(int(layout));
    button->SetLayout(layout);
    const TVrImageTextPlacement p = button->ContentPlacement();
    const TRect glyphRect = Bounds(p.GlyphPos.X, p.GlyphPos.Y, 16, 16);
    const TRect &text = p.TextBounds;
    int first = 0, middle = 0, last = 0;
    switch (layout) {
    case ImageLeft:
      first = glyphRect.Left - inner, middle = text.Left - glyphRect.Right, last = 158 + inner - text.Right;
      break;
    case ImageRight:
      first = 158 + inner - glyphRect.Right, middle = glyphRect.Left - text.Right, last = text.Left - inner;
      break;
    case ImageTop:
      first = glyphRect.Top - inner, middle = text.Top - glyphRect.Bottom, last = 88 + inner - text.Bottom;
      break;
    case ImageBottom:
      first = 88 + inner - glyphRect.Bottom, middle = glyphRect.Top - text.Bottom, last = text.Top - inner;
      break;
    }
    EXPECT_GT(first, 0);
    EXPECT_EQ(first, middle);
    EXPECT_GE(last, first);
    EXPECT_LE(last, first + 2);
  }
  form->Free();
}

// ---- mouse ----

class HyperButtonMouse : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetBounds(100, 100, 300, 200);
    button = new TVrHyperButton(form);
    button->SetParent(form);
    button->SetBounds(20, 20, 100, 25);
    button->SetCaption(QStringLiteral("OK"));
    button->OnClick = TNotifyEvent::From([this](TObject *) { ++clicks; });
    button->OnMouseEnter = TNotifyEvent::From([this](TObject *) { ++enters; });
    button->OnMouseLeave = TNotifyEvent::From([this](TObject *) { ++leaves; });
    guitest::ShowAndActivate(form);
  }
  void TearDown() override { form->Free(); }

  void Enter() {
    QWidget *w = button->Widget();
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(w->mapToGlobal(QPoint(5, 5))));
    QApplication::sendEvent(w, &event);
  }
  void Leave() {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(button->Widget(), &event);
  }
  void Press(QPoint at) {
    guitest::SendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, at, Qt::LeftButton);
  }
  void DragTo(QPoint at) { guitest::SendMouse(button, QEvent::MouseMove, Qt::NoButton, at, Qt::LeftButton); }
  void Release(QPoint at) {
    guitest::SendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, at, Qt::NoButton);
  }

  TForm *form = nullptr;
  TVrHyperButton *button = nullptr;
  int clicks = 0;
  int enters = 0;
  int leaves = 0;
};

TEST_F(HyperButtonMouse, EnterAndLeaveLightTheButtonAndFireTheirEvents) {
  Enter();
  EXPECT_TRUE(button->Hot());
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(enters, 1);
  Leave();
  EXPECT_FALSE(button->Hot());
  EXPECT_EQ(leaves, 1);
  EXPECT_EQ(clicks, 0);
}

TEST_F(HyperButtonMouse, PressAndReleaseInsideClicksOnce) {
  Enter();
  Press({10, 10});
  EXPECT_TRUE(button->Held());
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(clicks, 0);
  Release({10, 10});
  EXPECT_FALSE(button->Held());
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(clicks, 1);
}

TEST_F(HyperButtonMouse, DraggedOffAndReleasedOutsideGivesNoClick) {
  Enter();
  Press({10, 10});
  DragTo({150, 10});
  EXPECT_FALSE(button->Hot());
  EXPECT_FALSE(button->Down());
  EXPECT_TRUE(button->Held());
  EXPECT_EQ(leaves, 1);
  Release({150, 10});
  // The window system's own leave notice after the release changes nothing more.
  Leave();
  EXPECT_EQ(leaves, 1);
  EXPECT_FALSE(button->Held());
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(clicks, 0);
}

TEST_F(HyperButtonMouse, DraggedBackInIsPressedAgainAndClicks) {
  Enter();
  Press({10, 10});
  DragTo({-30, 10});
  EXPECT_FALSE(button->Down());
  DragTo({50, 12});
  EXPECT_TRUE(button->Hot());
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(enters, 2);
  Release({50, 12});
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button->Down());
}

TEST_F(HyperButtonMouse, EnterAndLeaveNoticesWhileHeldFollowTheSameRules) {
  Enter();
  Press({10, 10});
  Leave();
  EXPECT_FALSE(button->Down());
  EXPECT_TRUE(button->Held());
  Enter();
  EXPECT_TRUE(button->Down());
  Release({10, 10});
  EXPECT_EQ(clicks, 1);
}

TEST_F(HyperButtonMouse, RightButtonDoesNotPress) {
  Enter();
  guitest::SendMouse(button, QEvent::MouseButtonPress, Qt::RightButton, {10, 10}, Qt::RightButton);
  EXPECT_FALSE(button->Down());
  guitest::SendMouse(button, QEvent::MouseButtonRelease, Qt::RightButton, {10, 10}, Qt::NoButton);
  EXPECT_EQ(clicks, 0);
}

TEST_F(HyperButtonMouse, DisabledButtonNeitherPressesNorClicks) {
  button->SetEnabled(false);
  Enter();
  Press({10, 10});
  Release({10, 10});
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(clicks, 0);
}

// ---- painting ----

QColor PixelOf(TControl *control, int x, int y) { return GrabControl(control).pixelColor(x, y); }

class HyperButtonPaint : public HyperButtonMouse {
protected:
  // A point of the face away from the caption and the frame.
  QColor Face() { return PixelOf(button, 90, 12); }
};

// Normal: the face and a grey border; hot: filled with ColorEnter and raised; down: sunken.
TEST_F(HyperButtonPaint, EachStateShowsItsFaceAndBorder) {
  const auto expectBorder = [this](TColor left, TColor right) {
    EXPECT_EQ(PixelOf(button, 0, 12), ColorToQColor(left));
    EXPECT_EQ(PixelOf(button, 99, 12), ColorToQColor(right));
  };
  EXPECT_EQ(Face(), ColorToQColor(clBtnFace));
  expectBorder(clGray, clGray);
  Enter();
  EXPECT_EQ(Face(), ColorToQColor(704216));
  expectBorder(clWindow, clBlack);
  Press({10, 10});
  expectBorder(clBlack, clWindow);
}

TEST_F(HyperButtonPaint, DisabledAnimateDecidesWhetherADisabledButtonLightsUp) {
  button->SetEnabled(false);
  button->SetDisabledAnimate(false);
  Enter();
  EXPECT_EQ(Face(), ColorToQColor(clBtnFace));
  button->SetDisabledAnimate(true);
  EXPECT_EQ(Face(), ColorToQColor(704216));
}

TEST_F(HyperButtonPaint, DisabledCaptionIsDrawnInDisabledText) {
  button->SetBounds(20, 20, 100, 40);
  button->Font()->SetSize(20);
  button->SetCaption(QStringLiteral("MMMM"));
  button->SetDisabledText(clRed);
  button->SetEnabled(false);
  const QImage image = GrabControl(button);
  bool red = false;
  for (int y = 0; y < image.height() && !red; ++y)
    for (int x = 0; x < image.width() && !red; ++x) red = image.pixelColor(x, y) == QColor(Qt::red);
  EXPECT_TRUE(red);
}

TEST_F(HyperButtonPaint, GlyphIsDrawnWithoutItsTransparentColour) {
  TBitmap glyph(8, 8);
  glyph.Canvas()->Brush()->SetColor(clLime);
  glyph.Canvas()->FillRect(Rect(0, 0, 8, 8));
  glyph.Canvas()->Brush()->SetColor(clBlue);
  glyph.Canvas()->FillRect(Rect(2, 2, 6, 6));
  glyph.SetTransparentColor(clLime);
  button->SetCaption(QString());
  button->SetGlyph(&glyph);
  const TVrImageTextPlacement p = button->ContentPlacement();
  EXPECT_EQ(PixelOf(button, p.GlyphPos.X + 3, p.GlyphPos.Y + 3), QColor(Qt::blue));
  EXPECT_EQ(PixelOf(button, p.GlyphPos.X, p.GlyphPos.Y), ColorToQColor(clBtnFace));
}

TEST_F(HyperButtonPaint, ChangingAColourRepaints) {
  button->SetColorLeave(clYellow);
  EXPECT_EQ(Face(), QColor(Qt::yellow));
  EXPECT_EQ(button->Color(), clYellow);
}

// ---- the caption and the cursor ----

TEST(HyperButton, CaptionFollowsTheNameAtDesignTime) {
  TVrHyperButton button(nullptr);
  button.SetDesigning(true);
  button.SetName(QStringLiteral("VrHyperButton1"));
  EXPECT_EQ(button.Caption(), QStringLiteral("VrHyperButton1"));
  button.SetName(QStringLiteral("ButtonOK"));
  EXPECT_EQ(button.Caption(), QStringLiteral("ButtonOK"));
  button.SetCaption(QStringLiteral("OK"));
  button.SetName(QStringLiteral("ButtonYes"));
  EXPECT_EQ(button.Caption(), QStringLiteral("OK"));
}

TEST(HyperButton, HandCursorIsScreenCursor99) {
  TVrHyperButton button(nullptr);
  const QCursor cursor = Screen()->Cursors(crVrHandPoint);
  EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
  EXPECT_EQ(cursor.hotSpot(), QPoint(VrHandPointHotSpot().X, VrHandPointHotSpot().Y));
  const QImage hand = VrHandPointImage();
  EXPECT_EQ(hand.size(), QSize(32, 32));
  // Transparent around the hand, white inside it, black on its outline.
  EXPECT_EQ(hand.pixelColor(0, 0).alpha(), 0);
  EXPECT_EQ(hand.pixelColor(11, 8), QColor(Qt::white));
}

} // namespace
