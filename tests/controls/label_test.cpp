// The label with colour schemes: its presets and schemes, the switch to custom on a detail change, the
// layers it paints and what reaches the screen.
#include "controls/labels/label.h"
#include "platform/windowing/control_grab.h"
#include "tests/platform/std_test_helpers.h"

void PrintTo(const TOvcLabelLayer &layer, std::ostream *os) {
  *os << "{" << int(layer.kind) << " (" << layer.offset.X << "," << layer.offset.Y << ") " << std::hex
      << layer.color << std::dec << "}";
}

namespace {

using Layer = TOvcLabelLayer;

class OvcLabelTest : public stdtest::FormTest {
protected:
  TOvcLabel *AddLabel(const QString &caption = QStringLiteral("Heading")) {
    auto *label = new TOvcLabel(form);
    label->SetName(QStringLiteral("Label%1").arg(++count_));
    label->SetParent(form);
    label->SetLeft(10);
    label->SetTop(10);
    label->SetCaption(caption);
    return label;
  }
  std::vector<Layer> Layers(TOvcLabel *label) {
    return OvcLabelLayers(*label->CustomSettings(), label->Font()->Color());
  }
  int count_ = 0;
};

TEST_F(OvcLabelTest, ARaisedLabelHasShadowHighlightAndFaceLayersAndNoneOnlyTheFace) {
  TOvcLabel *label = AddLabel();
  EXPECT_EQ(Layers(label), (std::vector<Layer>{{Layer::Shadow, {1, 1}, clBlack},
                                               {Layer::Highlight, {-1, -1}, clWhite},
                                               {Layer::Face, {0, 0}, clGray}}));
  EXPECT_EQ(label->FaceRect(), Rect(1, 1, 149, 34));
  // None draws only the face, over the whole client.
  label->SetAppearance(apNone);
  EXPECT_EQ(Layers(label), (std::vector<Layer>{{Layer::Face, {0, 0}, clGray}}));
  EXPECT_EQ(label->FaceRect(), label->ClientRect());
}

TEST_F(OvcLabelTest, AColorSchemeSetsHighlightShadowAndTextAndCustomCopiesTheLastOne) {
  TOvcLabel *label = AddLabel();
  label->SetColorScheme(csGold);
  const TOvcCustomSettings *s = label->CustomSettings();
  EXPECT_EQ(std::tuple(s->HighlightColor(), s->ShadowColor(), label->Font()->Color()),
            std::tuple(clYellow, clBlack, clOlive));
  label->SetColorScheme(csCustom);
  EXPECT_EQ(label->CustomSettings()->HighlightColor(), clYellow);
  EXPECT_EQ(label->Font()->Color(), clOlive);
}

// An appearance sets the shades and keeps the scheme's colours; apCustom keeps the shades as they are.
TEST_F(OvcLabelTest, AnAppearanceSetsTheShadesAndCustomKeepsThem) {
  TOvcLabel *label = AddLabel();
  label->SetColorScheme(csSteel);
  label->SetAppearance(apSunken);
  const TOvcCustomSettings *s = label->CustomSettings();
  EXPECT_EQ(std::tuple(label->ColorScheme(), s->HighlightDirection(), s->HighlightDepth(),
                       s->ShadowDirection(), s->ShadowDepth(), s->HighlightColor()),
            std::tuple(csSteel, sdDownRight, 1, sdUpLeft, 1, clAqua));
  label->SetAppearance(apCustom);
  EXPECT_EQ(std::pair(s->ShadowDepth(), s->ShadowDirection()), std::pair(1, sdUpLeft));
}

TEST_F(OvcLabelTest, ChangingADetailSwitchesToCustom) {
  TOvcLabel *label = AddLabel();
  label->CustomSettings()->SetShadowDepth(3);
  EXPECT_EQ(label->Appearance(), apCustom);
  EXPECT_EQ(label->ColorScheme(), csWindows);
  label->CustomSettings()->SetShadowColor(clRed);
  EXPECT_EQ(label->ColorScheme(), csCustom);

  TOvcLabel *other = AddLabel();
  other->CustomSettings()->SetGraduateFromColor(clRed);
  EXPECT_EQ(other->ColorScheme(), csCustom);
  EXPECT_EQ(other->Appearance(), apRaised);
  other->CustomSettings()->SetGraduateStyle(gsVertical);
  EXPECT_EQ(other->Appearance(), apCustom);
}

TEST_F(OvcLabelTest, FlyingWithExtrudeDrawsFiveShadowLayers) {
  TOvcLabel *label = AddLabel();
  label->SetAppearance(apFlying);
  label->CustomSettings()->SetShadowStyle(ssExtrude);
  EXPECT_EQ(Layers(label), (std::vector<Layer>{{Layer::Shadow, {5, 5}, clBlack},
                                               {Layer::Shadow, {4, 4}, clBlack},
                                               {Layer::Shadow, {3, 3}, clBlack},
                                               {Layer::Shadow, {2, 2}, clBlack},
                                               {Layer::Shadow, {1, 1}, clBlack},
                                               {Layer::Highlight, {1, 1}, clBlack},
                                               {Layer::Face, {0, 0}, clGray}}));
  // Plain draws only the deepest.
  label->CustomSettings()->SetShadowStyle(ssPlain);
  EXPECT_EQ(Layers(label).front(), (Layer{Layer::Shadow, {5, 5}, clBlack}));
  EXPECT_EQ(Layers(label).size(), 3u);
}

TEST_F(OvcLabelTest, GraduatedLayersRunFromTheShadowTowardTheFontColour) {
  TOvcCustomSettings s;
  s.SetShadowColor(RGB(0, 0, 0));
  s.SetShadowDepth(4);
  s.SetShadowDirection(sdRight);
  s.SetShadowStyle(ssGraduated);
  s.SetHighlightDepth(0);
  const std::vector<Layer> layers = OvcLabelLayers(s, RGB(100, 200, 50));
  EXPECT_EQ(layers, (std::vector<Layer>{{Layer::Shadow, {4, 0}, RGB(0, 0, 0)},
                                        {Layer::Shadow, {3, 0}, RGB(25, 50, 13)},
                                        {Layer::Shadow, {2, 0}, RGB(50, 100, 25)},
                                        {Layer::Shadow, {1, 0}, RGB(75, 150, 38)},
                                        {Layer::Face, {0, 0}, RGB(100, 200, 50)}}));
}

// ---- painting ----

bool HasPixel(const QImage &image, const std::function<bool(const QColor &)> &test) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (test(image.pixelColor(x, y))) return true;
  return false;
}

TEST_F(OvcLabelTest, PaintsHighlightShadowAndFaceAndAGradientAcrossTheFace) {
  TOvcLabel *label = AddLabel(QStringLiteral("HHHH"));
  Show();
  const auto exactly = [](TColor c) { return [q = ColorToQColor(c)](const QColor &p) { return p == q; }; };
  QImage image = GrabControl(label);
  EXPECT_TRUE(HasPixel(image, exactly(clWhite)));
  EXPECT_TRUE(HasPixel(image, exactly(clGray)));

  // A horizontal gradient runs across the face from the graduate colour to the font colour.
  label->SetCaption(QStringLiteral("HHHHHHHH"));
  label->Font()->SetColor(clBlue);
  label->CustomSettings()->SetGraduateFromColor(clRed);
  label->CustomSettings()->SetGraduateStyle(gsHorizontal);
  label->SetAppearance(apNone);
  image = GrabControl(label);
  const QImage left = image.copy(0, 0, 30, image.height());
  const QImage right = image.copy(image.width() - 50, 0, 50, image.height());
  const auto reddish = [](const QColor &c) { return c.red() > 180 && c.blue() < 80; };
  const auto bluish = [](const QColor &c) { return c.blue() > 120 && c.red() < 100; };
  EXPECT_TRUE(HasPixel(left, reddish));
  EXPECT_TRUE(HasPixel(right, bluish));
}

} // namespace
