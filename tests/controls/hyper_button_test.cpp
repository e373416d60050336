// The hyper button: glyph and caption layout, the press / drag / release state machine driven by the mouse as
// a person would, DisabledAnimate, and what each state paints.
#include "controls/buttons/hand_cursor.h"
#include "controls/buttons/hyper_button.h"
#include "platform/windowing/control_grab.h"
#include "platform/windowing/screen.h"
#include "tests/platform/std_test_helpers.h"
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
    // A given spacing with margin -1 centres the whole block.
    {"left, spacing 5", ImageLeft, -1, 5, {16, 16}, {21, 33}, {42, 35, 82, 48}},
    // A given margin with spacing -1: the spacing takes half of what is left.
    {"left, margin 4", ImageLeft, 4, -1, {16, 16}, {5, 33}, {41, 35, 81, 48}},
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

// The button lays out its real caption with margin and spacing -1: the three gaps along the axis are equal
// (the last one takes the remainder of the division), across and down.
TEST(HyperButtonLayout, ButtonSpreadsGapsEvenlyAcrossAndDown) {
  auto *form = TCustomForm::Create<TForm>(nullptr);
  auto *button = new TVrHyperButton(form);
  button->SetParent(form);
  button->SetBounds(0, 0, 160, 90);
  button->SetCaption(QStringLiteral("Print"));
  button->SetMargin(-1);
  button->SetSpacing(-1);
  TBitmap glyph(16, 16);
  button->SetGlyph(&glyph);
  const int inner = 1 + 1; // the client shrunk by one pixel, then moved by one

  for (TVrImageTextLayout layout : {ImageLeft, ImageTop}) {
    SCOPED_TRACE(int(layout));
    button->SetLayout(layout);
    const TVrImageTextPlacement p = button->ContentPlacement();
    const TRect glyphRect = Bounds(p.GlyphPos.X, p.GlyphPos.Y, 16, 16);
    const TRect &text = p.TextBounds;
    int first = 0, middle = 0, last = 0;
    if (layout == ImageLeft)
      first = glyphRect.Left - inner, middle = text.Left - glyphRect.Right, last = 158 + inner - text.Right;
    else
      first = glyphRect.Top - inner, middle = text.Top - glyphRect.Bottom, last = 88 + inner - text.Bottom;
    EXPECT_GT(first, 0);
    EXPECT_EQ(first, middle);
    EXPECT_GE(last, first);
    EXPECT_LE(last, first + 2);
  }
  form->Free();
}

// ---- mouse ----

class HyperButtonMouse : public stdtest::FormTest {
protected:
  void SetUp() override {
    stdtest::FormTest::SetUp();
    button = Add<TVrHyperButton>(20, 20, 100, 25);
    button->SetCaption(QStringLiteral("OK"));
    button->OnClick = TNotifyEvent::From([this](TObject *) { ++clicks; });
    button->OnMouseEnter = TNotifyEvent::From([this](TObject *) { ++enters; });
    button->OnMouseLeave = TNotifyEvent::From([this](TObject *) { ++leaves; });
    Show();
  }
  void Enter() {
    QWidget *w = button->Widget();
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(w->mapToGlobal(QPoint(5, 5))));
    QApplication::sendEvent(w, &event);
  }
  // Runs the steps as the mouse would: E enter, L leave, P press and R release of the left button where the
  // pointer is, p and r the right button's, O drag off (150, 10), W drag off to the left (-30, 10), I drag
  // back in (50, 12). Gives the state after each step (h hot, d down, H held) and the events counted.
  QString Run(const char *steps) {
    QStringList states;
    QPoint at(10, 10);
    for (const char *step = steps; *step; ++step) {
      switch (*step) {
      case 'E': Enter(); break;
      case 'L': {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button->Widget(), &leave);
        break;
      }
      case 'P':
        guitest::SendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, at, Qt::LeftButton);
        break;
      case 'R':
        guitest::SendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, at, Qt::NoButton);
        break;
      case 'p':
        guitest::SendMouse(button, QEvent::MouseButtonPress, Qt::RightButton, at, Qt::RightButton);
        break;
      case 'r':
        guitest::SendMouse(button, QEvent::MouseButtonRelease, Qt::RightButton, at, Qt::NoButton);
        break;
      default:
        at = *step == 'O' ? QPoint(150, 10) : *step == 'W' ? QPoint(-30, 10) : QPoint(50, 12);
        guitest::SendMouse(button, QEvent::MouseMove, Qt::NoButton, at, Qt::LeftButton);
      }
      states << QString(button->Hot() ? "h" : "-") + (button->Down() ? "d" : "-") +
                    (button->Held() ? "H" : "-");
    }
    return states.join(' ') + QStringLiteral(" / %1 %2 %3").arg(enters).arg(leaves).arg(clicks);
  }

  TVrHyperButton *button = nullptr;
  int clicks = 0;
  int enters = 0;
  int leaves = 0;
};

// After each step: hot, down, held; then enters, leaves and clicks.
TEST_F(HyperButtonMouse, PressDragAndReleaseAsAPersonWould) {
  struct Case {
    const char *steps;
    const char *expected;
    bool enabled = true;
  };
  const Case cases[] = {
      {"EPR", "h-- hdH h-- / 1 0 1"},
      // Dragged off and released outside: no click; the window system's leave after the release changes
      // nothing.
      {"EPORL", "h-- hdH --H --- --- / 1 1 0"},
      // Dragged back in: pressed again, and the release clicks.
      {"EPWIR", "h-- hdH --H hdH h-- / 2 1 1"},
      {"Epr", "h-- h-- h-- / 1 0 0"},
      // A disabled button neither presses nor clicks.
      {"EPR", "h-- h-- h-- / 1 0 0", false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.steps);
    button->SetEnabled(c.enabled);
    clicks = enters = leaves = 0;
    EXPECT_EQ(Run(c.steps), c.expected);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button->Widget(), &leave);
  }
}

// ---- painting ----

QColor PixelOf(TControl *control, int x, int y) { return GrabControl(control).pixelColor(x, y); }

class HyperButtonPaint : public HyperButtonMouse {
protected:
  // A point of the face away from the caption and the frame.
  QColor Face() { return PixelOf(button, 90, 12); }
};

// Normal: the face and a grey border; hot: filled with ColorEnter and raised; down: sunken.
TEST_F(HyperButtonPaint, EachStateShowsItsFaceAndBorderAndDisabledAnimateLightsADisabledOne) {
  const auto expectBorder = [this](TColor left, TColor right) {
    EXPECT_EQ(PixelOf(button, 0, 12), ColorToQColor(left));
    EXPECT_EQ(PixelOf(button, 99, 12), ColorToQColor(right));
  };
  EXPECT_EQ(Face(), ColorToQColor(clBtnFace));
  expectBorder(clGray, clGray);
  Enter();
  EXPECT_EQ(Face(), ColorToQColor(704216));
  expectBorder(clWindow, clBlack);
  guitest::SendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, {10, 10}, Qt::LeftButton);
  expectBorder(clBlack, clWindow);
  guitest::SendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, {10, 10}, Qt::NoButton);

  // DisabledAnimate decides whether a disabled button lights up.
  button->SetEnabled(false);
  button->SetDisabledAnimate(false);
  Enter();
  EXPECT_EQ(Face(), ColorToQColor(clBtnFace));
  button->SetDisabledAnimate(true);
  EXPECT_EQ(Face(), ColorToQColor(704216));

  // Changing a colour repaints.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(button->Widget(), &leave);
  button->SetColorLeave(clYellow);
  EXPECT_EQ(Face(), QColor(Qt::yellow));
}

TEST_F(HyperButtonPaint, DisabledCaptionIsDrawnInDisabledTextAndTheGlyphWithoutItsTransparentColour) {
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

  // A glyph is drawn without its transparent colour.
  TBitmap glyph(8, 8);
  glyph.Canvas()->Brush()->SetColor(clLime);
  glyph.Canvas()->FillRect(Rect(0, 0, 8, 8));
  glyph.Canvas()->Brush()->SetColor(clBlue);
  glyph.Canvas()->FillRect(Rect(2, 2, 6, 6));
  glyph.SetTransparentColor(clLime);
  button->SetEnabled(true);
  button->SetCaption(QString());
  button->SetGlyph(&glyph);
  const TVrImageTextPlacement p = button->ContentPlacement();
  EXPECT_EQ(PixelOf(button, p.GlyphPos.X + 3, p.GlyphPos.Y + 3), QColor(Qt::blue));
  EXPECT_EQ(PixelOf(button, p.GlyphPos.X, p.GlyphPos.Y), ColorToQColor(clBtnFace));
}

// ---- the caption and the cursor ----

TEST(HyperButton, CaptionFollowsTheNameAtDesignTime) {
  TVrHyperButton button(nullptr);
  button.SetDesigning(true);
  button.SetName(QStringLiteral("VrHyperButton1"));
  EXPECT_EQ(button.Caption(), QStringLiteral("VrHyperButton1"));
  button.SetCaption(QStringLiteral("OK"));
  button.SetName(QStringLiteral("ButtonYes"));
  EXPECT_EQ(button.Caption(), QStringLiteral("OK"));
}

TEST(HyperButton, HandCursorIsScreenCursor99) {
  TVrHyperButton button(nullptr);
  const QCursor cursor = Screen()->Cursors(crVrHandPoint);
  EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
}

} // namespace
