// The graphic control bases: mouse enter and leave notices, and the buffered painting of the image control,
// opaque and transparent.
#include "controls/buttons/graphic_controls.h"
#include "platform/windowing/control_grab.h"
#include "tests/platform/gui_test_helpers.h"
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

class ImageControl : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetBounds(50, 50, 200, 150);
    form->SetColor(clRed);
    control = new SquareControl(form);
    control->SetParent(form);
    control->SetBounds(10, 10, 40, 30);
    control->SetColor(clYellow);
    guitest::ShowAndActivate(form);
  }
  void TearDown() override { form->Free(); }

  TForm *form = nullptr;
  SquareControl *control = nullptr;
};

TEST_F(ImageControl, OpaqueBufferIsFilledWithTheControlColour) {
  const QImage image = GrabControl(control);
  EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::blue));
  EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::yellow));
  EXPECT_GT(control->paints, 0);
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

TEST_F(ImageControl, BufferFollowsTheControlSize) {
  EXPECT_EQ(control->BitmapImage()->Width(), 40);
  EXPECT_EQ(control->BitmapImage()->Height(), 30);
  control->SetBounds(10, 10, 70, 20);
  EXPECT_EQ(control->BitmapImage()->Width(), 70);
  EXPECT_EQ(control->BitmapImage()->Height(), 20);
  const QImage image = GrabControl(control);
  EXPECT_EQ(image.size(), QSize(70, 20));
  EXPECT_EQ(image.pixelColor(65, 15), QColor(Qt::yellow));
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
}

TEST(VrGraphicControl, NoticeAboutAChildIsNotItsOwn) {
  TVrGraphicControl control(nullptr);
  int enters = 0;
  control.OnMouseEnter = TNotifyEvent::From([&](TObject *) { ++enters; });
  control.Perform(CM_MOUSEENTER, 0, 1);
  EXPECT_EQ(enters, 0);
  control.Perform(CM_MOUSEENTER);
  EXPECT_EQ(enters, 1);
}

} // namespace
