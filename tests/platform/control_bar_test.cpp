// The control bar: its bands in rows, their frames and grabbers, and a program drawing them itself.
#include "platform/widgets/control_bar.h"
#include "platform/widgets/tool_bar.h"
#include "platform/windowing/control_grab.h"
#include "std_test_helpers.h"
#include <QImage>

namespace {

std::string Rgb(TColor Color) { return QColor(ColorToQColor(Color).rgb()).name().toStdString(); }
std::string Pixel(const QImage &Image, int X, int Y) {
  return QColor(Image.pixel(X, Y)).name().toStdString();
}

class ControlBarTest : public stdtest::FormTest {
protected:
  TControlBar *bar = nullptr;
  QList<TToolBar *> bands;
  // A bar 200 wide holding bands 60, 110 and 70 wide, 22 high.
  void SetUp() override {
    FormTest::SetUp();
    bar = Add<TControlBar>(0, 0, 200, 60);
    for (int width : {60, 110, 70}) {
      auto *band = new TToolBar(form);
      band->SetBounds(0, 0, width, 22);
      band->SetColor(clWhite);
      band->SetParent(bar);
      bands << band;
    }
  }
};

TEST_F(ControlBarTest, BandsStandLeftToRightAndWrapIntoTheNextRow) {
  Show();
  // Each band: an 11-pixel grabber and a 2-pixel frame around its control. The second just fills the first
  // row; the third goes to the next row, 26 pixels down.
  QList<QRect> bounds;
  for (TToolBar *band : bands) bounds << band->BoundsRect().ToQRect();
  EXPECT_EQ(bounds, QList<QRect>({{13, 2, 60, 22}, {88, 2, 110, 22}, {13, 28, 70, 22}}));
  EXPECT_EQ(bar->BandRect(bands[1]), (TRect{75, 0, 200, 26}));
  bar->SetRowSize(30);
  EXPECT_EQ(bands[2]->Top(), 32);
  // A band taller than a row makes its row taller.
  bands[1]->SetHeight(40);
  bar->Realign();
  EXPECT_EQ(bands[2]->Top(), 46);
}

TEST_F(ControlBarTest, BandsAreFramedAndGrabbedUnlessTheHandlerDrawsThemItself) {
  struct Case {
    const char *name;
    std::function<void(TRect &, TBandPaintOptions &)> paint; // nullptr: no handler
    // The first band spans (0, 0) to (75, 26): its left edge, its grabber's first ridge, its top, the row
    // below it and its right edge.
    TColor edge, ridge, top, below, right;
  };
  const Case cases[] = {
      {"the bar's own", nullptr, clBtnHighlight, clBtnHighlight, clBtnHighlight, clBtnFace, clBtnShadow},
      {"a handler filling the band and leaving the grabber",
       [](TRect &, TBandPaintOptions &options) { options.Exclude(bpoFrame); }, clRed, clBtnHighlight, clRed,
       clBtnFace, clRed},
      {"a handler drawing everything", [](TRect &, TBandPaintOptions &options) { options = {}; }, clRed,
       clRed, clRed, clBtnFace, clRed},
      {"a handler moving the band down a row", [](TRect &r, TBandPaintOptions &) { OffsetRect(r, 0, 1); },
       clBtnHighlight, clBtnHighlight, clRed, clBtnShadow, clBtnShadow},
  };
  bands[2]->Free(); // the row below the first band stays empty
  Show();
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    bar->OnBandPaint = nullptr;
    if (c.paint)
      bar->OnBandPaint = TBandPaintEvent::From(
          [&c](TObject *, TControl *, TCanvas *canvas, TRect &r, TBandPaintOptions &options) {
            canvas->Brush()->SetColor(clRed);
            canvas->FillRect(r);
            c.paint(r, options);
          });
    bar->Invalidate();
    const QImage image = GrabControl(bar);
    EXPECT_EQ(Pixel(image, 0, 5), Rgb(c.edge));
    EXPECT_EQ(Pixel(image, 3, 5), Rgb(c.ridge));
    EXPECT_EQ(Pixel(image, 40, 0), Rgb(c.top));
    EXPECT_EQ(Pixel(image, 40, 26), Rgb(c.below));
    EXPECT_EQ(Pixel(image, 74, 5), Rgb(c.right));
    // The band's control paints itself over the middle.
    EXPECT_EQ(Pixel(image, 40, 12), Rgb(clWhite));
  }
}

} // namespace
