#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/widgets/std_panels.h"
#include "std_test_helpers.h"

namespace {

using stdtest::TypeText;

class LabelsTest : public stdtest::FormTest {
protected:
  template <class T>
  T *Add(int left, int top, TWinControl *parent = nullptr) {
    auto *control = new T(form);
    control->SetLeft(left);
    control->SetTop(top);
    control->SetParent(parent ? parent : form);
    return control;
  }
  QImage Grab() { return form->Widget()->grab().toImage(); }
  static QRgb Rgb(TColor color) { return ColorToQColor(color).rgb(); }
  // How many pixels of the image in r are dark (text).
  static int DarkPixels(const QImage &image, const QRect &r) {
    int count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (qGray(image.pixel(x, y)) < 100) ++count;
    return count;
  }
};

TEST_F(LabelsTest, AcceleratorMovesTheFocusToTheFocusControlWhichIsForgottenWhenFreed) {
  auto *first = Add<TEdit>(0, 0);
  auto *label = Add<TLabel>(0, 40);
  auto *second = Add<TEdit>(60, 40);
  auto *button = Add<TButton>(0, 80);
  label->SetCaption(QStringLiteral("&Name"));
  label->SetFocusControl(second);
  Show();
  ASSERT_TRUE(first->Focused());
  // An edit takes the plain letter; Alt makes it the accelerator.
  TypeText(QStringLiteral("n"));
  EXPECT_EQ(first->Text(), QStringLiteral("n"));
  guitest::PressKey(Qt::Key_N, Qt::AltModifier, QStringLiteral("n"));
  EXPECT_TRUE(second->Focused());
  // A button takes no characters: the plain letter works.
  button->SetFocus();
  TypeText(QStringLiteral("N"));
  EXPECT_TRUE(second->Focused());
  // Without ShowAccelChar the "&" is text and no accelerator.
  label->SetShowAccelChar(false);
  button->SetFocus();
  TypeText(QStringLiteral("n"));
  EXPECT_TRUE(button->Focused());

  // The focus control is forgotten when freed.
  second->Free();
  EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST_F(LabelsTest, AutoSizeFollowsTheTextAndKeepsTheRightEdgeOfARightAlignedLabel) {
  auto *label = Add<TLabel>(100, 0);
  label->SetCaption(QStringLiteral("Short"));
  const int shortWidth = label->Width();
  label->SetCaption(QStringLiteral("A much longer caption"));
  EXPECT_GT(label->Width(), shortWidth);
  label->SetAlignment(taRightJustify);
  const int right = label->Left() + label->Width();
  label->SetCaption(QStringLiteral("Short"));
  EXPECT_EQ(label->Left() + label->Width(), right);
  EXPECT_EQ(label->Width(), shortWidth);
  // Word-wrapped in a narrow label, the text takes more lines.
  const int oneLine = label->Height();
  label->SetAutoSize(false);
  label->SetWidth(40);
  label->SetWordWrap(true);
  label->SetCaption(QStringLiteral("one two three four"));
  label->SetAutoSize(true);
  EXPECT_GE(label->Height(), 3 * oneLine);
}

TEST_F(LabelsTest, PaintingFillsOrNotAndPlacesTheTextByLayout) {
  form->SetColor(clBtnFace);
  auto *label = Add<TLabel>(10, 10);
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 100, 60);
  label->SetColor(clWhite);
  label->SetCaption(QStringLiteral("Text"));
  label->SetLayout(tlBottom);
  Show();
  QImage image = Grab();
  EXPECT_EQ(DarkPixels(image, QRect(10, 10, 100, 30)), 0);
  EXPECT_GT(DarkPixels(image, QRect(10, 40, 100, 30)), 10);
  label->SetTransparent(true);
  label->SetLayout(tlTop);
  image = Grab();
  EXPECT_EQ(image.pixel(12, 68), Rgb(clBtnFace));
  EXPECT_GT(DarkPixels(image, QRect(10, 10, 100, 20)), 10);
  // Disabled: engraved in the highlight and shadow colours.
  label->SetEnabled(false);
  image = Grab();
  int highlights = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 110; ++x)
      if (qGray(image.pixel(x, y)) > qGray(Rgb(clBtnFace))) ++highlights;
  EXPECT_GT(highlights, 5);
}

// A 200 x 200 image control.
TEST(ImageDest, PlacesThePicture) {
  const std::pair<bool, TRect> cases[] = {{false, Rect(0, 0, 100, 50)}, {true, Rect(0, 0, 200, 200)}};
  for (const auto &[stretch, dest] : cases) {
    TImage image(nullptr);
    image.SetBounds(0, 0, 200, 200);
    TBitmap bitmap(100, 50);
    image.Picture()->SetGraphic(&bitmap);
    image.SetStretch(stretch);
    EXPECT_EQ(image.DestRect(), dest) << stretch;
  }
}

TEST_F(LabelsTest, ImageDrawsItsPictureAndOffersABitmapCanvas) {
  auto *image = Add<TImage>(20, 20);
  image->SetBounds(20, 20, 40, 30);
  // An empty picture becomes a bitmap of the control's size to draw on.
  TCanvas *canvas = image->Canvas();
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(Rect(0, 0, 40, 30));
  Show();
  const QImage grabbed = Grab();
  EXPECT_EQ(grabbed.pixel(59, 49), qRgb(255, 0, 0));
  image->SetAutoSize(true);
  TBitmap larger(70, 10);
  image->Picture()->SetGraphic(&larger);
  EXPECT_EQ(std::pair(image->Width(), image->Height()), std::pair(70, 10));
}

TEST_F(LabelsTest, PanelDrawsItsBevelsAndLaysOutItsChildrenInside) {
  auto *panel = Add<TPanel>(10, 10);
  panel->SetBounds(10, 10, 120, 80);
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(3);
  auto *child = Add<TPanel>(0, 0, panel);
  child->SetAlign(alClient);
  panel->SetBevelInner(bvLowered);
  EXPECT_EQ(child->BoundsRect(), Rect(7, 7, 113, 73));
  child->Hide();
  panel->SetCaption(QStringLiteral("Caption"));
  Show();
  const QImage image = Grab();
  // The raised outer bevel two pixels wide, and the lowered inner one with shadow at its top left.
  EXPECT_EQ(QList<QRgb>({image.pixel(11, 11), image.pixel(129, 89), image.pixel(15, 15)}),
            QList<QRgb>({Rgb(clBtnHighlight), Rgb(clBtnShadow), Rgb(clBtnShadow)}));
  EXPECT_GT(DarkPixels(image, QRect(30, 40, 80, 20)), 10);
}

} // namespace
