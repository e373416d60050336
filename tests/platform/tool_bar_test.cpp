// The tool bar and its buttons: where the buttons stand, what a click does, what a button shows.
#include "platform/graphics/image_list.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/tool_bar.h"
#include "platform/windowing/control_grab.h"
#include "std_test_helpers.h"
#include <QImage>

namespace {

class ToolBarTest : public stdtest::FormTest {
protected:
  TToolButton *AddButton(TToolBar *bar, const QString &caption) {
    auto *button = new TToolButton(form);
    button->SetCaption(caption);
    button->SetParent(bar);
    button->OnClick = TNotifyEvent::From([this, caption](TObject *) { log.append(caption); });
    return button;
  }
  static QList<QRect> Bounds(const QList<TToolButton *> &buttons) {
    QList<QRect> bounds;
    for (TToolButton *b : buttons) bounds << b->BoundsRect().ToQRect();
    return bounds;
  }
};

TEST_F(ToolBarTest, ButtonsLineUpFromTheLeftAtTheBarsButtonSize) {
  auto *bar = Add<TToolBar>(0, 0, 200, 29);
  TToolButton *a = AddButton(bar, QStringLiteral("A"));
  TToolButton *b = AddButton(bar, QStringLiteral("B"));
  TToolButton *c = AddButton(bar, QStringLiteral("C"));
  Show();
  EXPECT_EQ(Bounds({a, b, c}), QList<QRect>({{0, 2, 23, 22}, {23, 2, 23, 22}, {46, 2, 23, 22}}));
  EXPECT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(bar->Buttons(2), c);

  bar->SetButtonWidth(30);
  bar->SetButtonHeight(25);
  EXPECT_EQ(Bounds({a, b, c}), QList<QRect>({{0, 2, 30, 25}, {30, 2, 30, 25}, {60, 2, 30, 25}}));
  // A button that goes, or hides, leaves no gap.
  b->Free();
  EXPECT_EQ(c->Left(), 30);
  a->Hide();
  bar->Realign();
  EXPECT_EQ(c->Left(), 0);
}

TEST_F(ToolBarTest, AClickFiresOnClickWhileEnabledAndLeavesTheFocusWhereItWas) {
  auto *bar = Add<TToolBar>(0, 0, 200, 29);
  TToolButton *save = AddButton(bar, QStringLiteral("Save"));
  auto *edit = Add<TEdit>(10, 60, 100, 24);
  Show();
  edit->SetFocus();
  guitest::Click(save, {10, 10});
  EXPECT_EQ(log, QStringList({QStringLiteral("Save")}));
  EXPECT_TRUE(edit->Focused());
  save->SetEnabled(false);
  guitest::Click(save, {10, 10});
  EXPECT_EQ(log.size(), 1);
}

// A 16 x 16 red square, the whole image.
std::unique_ptr<TBitmap> RedSquare() {
  QImage image(16, 16, QImage::Format_RGB32);
  image.fill(Qt::red);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetImage(image);
  return bitmap;
}

TEST_F(ToolBarTest, AButtonShowsItsIconFromTheBarsImagesOrElseItsCaption) {
  auto *images = new TImageList(form);
  images->AddMasked(RedSquare().get(), clNone);
  auto *bar = Add<TToolBar>(0, 0, 200, 29);
  bar->SetImages(images);
  TToolButton *button = AddButton(bar, QStringLiteral("WWW"));
  button->SetImageIndex(0);
  Show();
  // Counts the pixels of the button that are pure red, and those darker than its face (the caption).
  const auto count = [button](bool red) {
    const QImage image = GrabControl(button);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c(image.pixel(x, y));
        n += red ? c == QColor(Qt::red) : c.lightness() < 80;
      }
    return n;
  };
  EXPECT_EQ(count(true), 16 * 16);
  EXPECT_EQ(count(false), 0);
  button->SetImageIndex(-1);
  EXPECT_EQ(count(true), 0);
  EXPECT_GT(count(false), 10);
  // The images going away take the icons with them.
  button->SetImageIndex(0);
  images->Free();
  EXPECT_EQ(bar->Images(), nullptr);
  EXPECT_EQ(count(true), 0);
}

} // namespace
