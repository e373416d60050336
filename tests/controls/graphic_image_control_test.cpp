// The graphic control bases: mouse enter and leave notices, and the buffered painting of the image control,
// opaque and transparent.
#include "controls/buttons/graphic_controls.h"
#include "platform/windowing/control_grab.h"
#include "tests/platform/std_test_helpers.h"
#include <QEnterEvent>
#include <gtest/gtest.h>

namespace {

// An image control that draws a small blue square in its top-left corner and counts its paints.
class SquareControl : public TVrGraphicImageControl {
public:
  using TVrGraphicImageControl::TVrGraphicImageControl;
  int paints = 0;

protected:
  void PaintImage() override {
    ++paints;
    BitmapCanvas()->Brush()->SetStyle(bsSolid);
    BitmapCanvas()->Brush()->SetColor(clBlue);
    BitmapCanvas()->FillRect(Rect(0, 0, 4, 4));
  }
};

class ImageControl : public stdtest::FormTest {
protected:
  void SetUp() override {
    stdtest::FormTest::SetUp();
    form->SetColor(clRed);
    control = Add<SquareControl>(10, 10, 40, 30);
    control->SetColor(clYellow);
    Show();
  }
  SquareControl *control = nullptr;
};

TEST_F(ImageControl, OpaqueBufferIsFilledWithTheControlColourAndFollowsItsSize) {
  const QImage image = GrabControl(control);
  EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::blue));
  EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::yellow));
  // The buffer follows the control's size.
  control->SetBounds(10, 10, 70, 20);
  const QImage resized = GrabControl(control);
  EXPECT_EQ(resized.size(), QSize(70, 20));
  EXPECT_EQ(resized.pixelColor(65, 15), QColor(Qt::yellow));
}

TEST_F(ImageControl, TransparentControlShowsItsParentUnderneath) {
  control->SetTransparent(true);
  const QImage image = GrabControl(control);
  EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::blue));
  EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::red));
  // The background is captured afresh at every paint: a new parent colour shows at once.
  form->SetColor(clLime);
  EXPECT_EQ(GrabControl(control).pixelColor(20, 20), QColor(Qt::green));
}

TEST_F(ImageControl, MouseEnterAndLeaveFireTheirEvents) {
  QStringList heard;
  control->OnMouseEnter = TNotifyEvent::From([&](TObject *) { heard << QStringLiteral("enter"); });
  control->OnMouseLeave = TNotifyEvent::From([&](TObject *) { heard << QStringLiteral("leave"); });
  QWidget *w = control->Widget();
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(w->mapToGlobal(QPoint(2, 2))));
  QApplication::sendEvent(w, &enter);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(w, &leave);
  EXPECT_EQ(heard, (QStringList{QStringLiteral("enter"), QStringLiteral("leave")}));

  // The plain graphic control base: a notice about a child is not its own.
  TVrGraphicControl plain(nullptr);
  int enters = 0;
  plain.OnMouseEnter = TNotifyEvent::From([&](TObject *) { ++enters; });
  plain.Perform(CM_MOUSEENTER, 0, 1);
  EXPECT_EQ(enters, 0);
  plain.Perform(CM_MOUSEENTER);
  EXPECT_EQ(enters, 1);
}

} // namespace
