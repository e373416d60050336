// Drawing of report objects, on a recording canvas (what is drawn where) and on images (the pixels).
#include "platform/data/fields.h"
#include "platform/data/memory_dataset.h"
#include "report/band_view.h"
#include "report/memo_view.h"
#include "report/picture_view.h"
#include "report/shape_view.h"
#include "tests/report/recording_device.h"
#include "tests/report/report_model_fixture.h"

namespace {

using test::DrawCall;

class ViewDrawTest : public test::ReportModelTest {
protected:
  void SetUp() override {
    ReportModelTest::SetUp();
    frModel().DocMode = dmPrinting;
  }

  // Draws the view on a fresh recording canvas and returns what was drawn.
  std::vector<DrawCall> Record(TfrView &view) {
    canvas_.reset();
    device_ = std::make_unique<test::RecordingDevice>(600, 400);
    canvas_ = std::make_unique<TCanvas>(device_.get());
    view.Draw(canvas_.get());
    return device_->Calls();
  }
  std::vector<DrawCall> Recorded(DrawCall::Kind kind) const { return device_->Calls(kind); }

  static void Place(TfrView &view, int left, int top, int width, int height) {
    view.Left = left;
    view.Top = top;
    view.Width = width;
    view.Height = height;
  }

  std::unique_ptr<test::RecordingDevice> device_;
  std::unique_ptr<TCanvas> canvas_;
};

QRectF Union(const std::vector<DrawCall> &calls) {
  QRectF all;
  for (const DrawCall &c : calls) all = all.united(c.bounds);
  return all;
}

// ---- geometry ----

TEST_F(ViewDrawTest, NewTextObjectDefaults) {
  TfrMemoView memo;
  EXPECT_EQ(memo.Typ, gtMemo);
  EXPECT_EQ(memo.Flags, 3);
  EXPECT_EQ(memo.Font.Name(), QStringLiteral("Arial"));
  EXPECT_EQ(memo.Font.Size(), 10);
  EXPECT_EQ(memo.Font.Color(), clBlack);
  EXPECT_EQ(memo.LineSpacing, 2);
  EXPECT_EQ(memo.FillColor, clNone);
  EXPECT_FLOAT_EQ(memo.FrameWidth, 1.0f);
  EXPECT_TRUE(memo.Visible);
  EXPECT_EQ(memo.Format, 0x200 + '.');
  EXPECT_EQ(memo.BaseName, QStringLiteral("Memo"));
  TfrMemoView second;
  EXPECT_EQ(second.ID, memo.ID + 1);

  TfrPictureView picture;
  TfrBandView band;
  TfrLineView line;
  TfrShapeView shape;
  EXPECT_EQ(picture.Flags, 5);
  EXPECT_EQ(band.Flags, 48);
  EXPECT_EQ(band.Format, 0);
  EXPECT_EQ(line.FrameTyp, frbLeft);
  EXPECT_EQ(shape.Typ, gtAddIn);
  EXPECT_EQ(shape.BaseName, QStringLiteral("Shape"));
}

TEST_F(ViewDrawTest, ApplyScaleComputesBoundsGapsAndTheDrawingRectangle) {
  TfrMemoView memo;
  Place(memo, 10, 20, 100, 40);
  memo.FrameTyp = frbAll;
  memo.ApplyScale();
  EXPECT_EQ(memo.DRect, Rect(10, 20, 111, 61));
  EXPECT_EQ(memo.gapx, 2);
  EXPECT_EQ(memo.gapy, 1);
  memo.RestoreBounds();

  memo.FrameWidth = 3;
  memo.ScaleX = memo.ScaleY = 2;
  memo.OffsX = 5;
  memo.OffsY = 7;
  memo.ApplyScale();
  EXPECT_EQ(memo.Left, 25);
  EXPECT_EQ(memo.Top, 47);
  EXPECT_EQ(memo.Width, 200);
  EXPECT_EQ(memo.Height, 80);
  EXPECT_FLOAT_EQ(memo.FrameWidth, 6);
  EXPECT_EQ(memo.gapx, 5);
  EXPECT_EQ(memo.gapy, 2);
  EXPECT_EQ(memo.DRect, Rect(27, 49, 223, 125));
  memo.RestoreBounds();
  EXPECT_EQ(memo.DesignRect(), Rect(10, 20, 110, 60));
  EXPECT_FLOAT_EQ(memo.FrameWidth, 3);

  // Designing always draws at scale 1.
  frModel().DocMode = dmDesigning;
  memo.ApplyScale();
  EXPECT_EQ(memo.Left, 10);
  EXPECT_EQ(memo.Width, 100);
  memo.RestoreBounds();
}

TEST_F(ViewDrawTest, ClipRegionCoversTheFrame) {
  TfrMemoView memo;
  Place(memo, 10, 20, 100, 40);
  memo.FrameTyp = frbLeft | frbTop;
  memo.FrameWidth = 2;
  EXPECT_EQ(memo.GetClipRegion(false), Rect(9, 19, 111, 61));
  memo.FrameStyle = frsDouble;
  EXPECT_EQ(memo.GetClipRegion(false), Rect(7, 17, 111, 61));
  EXPECT_EQ(memo.GetClipRegion(true), Rect(-3, 7, 121, 71));
}

// ---- frames and background ----

TEST_F(ViewDrawTest, EachFrameSideIsDrawnAlone) {
  struct Case {
    int side;
    QRectF line;
  };
  for (const Case c : {Case{frbRight, QRectF(110, 20, 1, 41)}, Case{frbBottom, QRectF(10, 60, 101, 1)},
                       Case{frbLeft, QRectF(10, 20, 1, 41)}, Case{frbTop, QRectF(10, 20, 101, 1)}}) {
    TfrMemoView memo;
    Place(memo, 10, 20, 100, 40);
    memo.FrameTyp = quint16(c.side);
    memo.FrameColor = clRed;
    Record(memo);
    const auto rects = Recorded(DrawCall::Rect);
    ASSERT_EQ(rects.size(), 1u) << c.side;
    EXPECT_EQ(rects[0].bounds, c.line) << c.side;
    EXPECT_EQ(rects[0].brush, QColor(Qt::red));
  }
  // All four sides, solid: one rectangle around pixels 10..110 and 20..60.
  TfrMemoView memo;
  Place(memo, 10, 20, 100, 40);
  memo.FrameTyp = frbAll;
  Record(memo);
  EXPECT_EQ(Union(Recorded(DrawCall::Rect)), QRectF(10, 20, 101, 41));
  for (const DrawCall &c : Recorded(DrawCall::Rect))
    EXPECT_TRUE(c.bounds.width() == 1 || c.bounds.height() == 1);
}

TEST_F(ViewDrawTest, DashedDoubleAndWideLines) {
  TfrMemoView dashed;
  Place(dashed, 10, 20, 100, 40);
  dashed.FrameTyp = frbRight;
  dashed.FrameStyle = psDash;
  dashed.FrameWidth = 3;
  Record(dashed);
  // Three one-pixel dashed lines side by side, centred on the edge.
  const auto runs = Recorded(DrawCall::Points);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].bounds.left(), 109);
  EXPECT_EQ(runs[1].bounds.left(), 110);
  EXPECT_EQ(runs[2].bounds.left(), 111);
  for (const DrawCall &run : runs) {
    EXPECT_EQ(run.bounds.width(), 0);
    EXPECT_LT(run.points.size(), 41u); // gaps between the dashes
  }

  TfrMemoView doubled;
  Place(doubled, 10, 20, 100, 40);
  doubled.FrameTyp = frbTop;
  doubled.FrameStyle = frsDouble;
  Record(doubled);
  const auto lines = Recorded(DrawCall::Rect);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].bounds, QRectF(10, 19, 101, 1));
  EXPECT_EQ(lines[1].bounds, QRectF(10, 21, 101, 1));

  TfrMemoView wide;
  Place(wide, 10, 20, 100, 40);
  wide.FrameTyp = frbRight | frbBottom;
  wide.FrameWidth = 3;
  Record(wide);
  const auto strokes = Recorded(DrawCall::Polygon);
  ASSERT_EQ(strokes.size(), 2u);
  EXPECT_EQ(strokes[0].penWidth, 3);
  EXPECT_DOUBLE_EQ(strokes[0].points[0].x(), 110.5);
  EXPECT_DOUBLE_EQ(strokes[1].points[0].y(), 60.5);
}

TEST_F(ViewDrawTest, HalfPixelFrameAtScaleTwoIsOnePixelWide) {
  TfrMemoView memo;
  Place(memo, 10, 20, 100, 40);
  memo.FrameTyp = frbAll;
  memo.FrameWidth = 0.5;
  memo.ScaleX = memo.ScaleY = 2;
  Record(memo);
  EXPECT_EQ(Union(Recorded(DrawCall::Rect)), QRectF(20, 40, 201, 81));
  for (const DrawCall &c : Recorded(DrawCall::Rect))
    EXPECT_TRUE(c.bounds.width() == 1 || c.bounds.height() == 1);
}

TEST_F(ViewDrawTest, BackgroundFollowsFillColourAndMode) {
  TfrMemoView memo;
  Place(memo, 10, 20, 100, 40);
  memo.FillColor = clYellow;
  Record(memo);
  ASSERT_EQ(Recorded(DrawCall::Rect).size(), 1u);
  EXPECT_EQ(Recorded(DrawCall::Rect)[0].bounds, QRectF(10, 20, 100, 40));
  EXPECT_EQ(Recorded(DrawCall::Rect)[0].brush, QColor(Qt::yellow));

  memo.FillColor = clNone;
  EXPECT_TRUE(Record(memo).empty()); // printing: no fill, no frame, no text

  // Designing paints a missing fill white and marks the corners.
  frModel().DocMode = dmDesigning;
  Record(memo);
  const auto fills = Recorded(DrawCall::Rect);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills[0].brush, QColor(Qt::white));
  EXPECT_EQ(fills[0].bounds, QRectF(10, 20, 101, 41));
  EXPECT_GT(fills.size(), 1u);

  // The first pass of a double-pass build draws nothing.
  frModel().FirstPass = true;
  memo.FillColor = clRed;
  memo.FrameTyp = frbAll;
  memo.Memo.Add(QStringLiteral("text"));
  EXPECT_TRUE(Record(memo).empty());
}

// ---- text ----

class TextDrawTest : public ViewDrawTest {
protected:
  // A text object at (10, 20) of 200 x 100 in the monospaced font; DRect is (10, 20, 211, 121).
  void Prepare(TfrMemoView &memo, const QStringList &lines, int adjust = 0) {
    Place(memo, 10, 20, 200, 100);
    memo.Font.SetName(QStringLiteral("Courier New"));
    memo.Adjust = adjust;
    for (const QString &line : lines) memo.Memo.Add(line);
  }
  double Width(const TfrMemoView &memo, const QString &text) { return TfrTextMeasure(memo.Font).Width(text); }
};

TEST_F(TextDrawTest, HorizontalAlignments) {
  const QString text = QStringLiteral("Total");
  struct Case {
    int adjust;
    double left; // where the text starts, before the font's width is known
  };
  TfrMemoView probe;
  Prepare(probe, {});
  const double w = Width(probe, text);
  const double available = 201 - 4;
  for (const Case c : {Case{frtaLeft, 12}, Case{frtaRight, 12 + available - w},
                       Case{frtaCenter, 12 + (available - w) / 2}}) {
    TfrMemoView memo;
    Prepare(memo, {text}, c.adjust);
    Record(memo);
    const auto texts = Recorded(DrawCall::Text);
    ASSERT_EQ(texts.size(), 1u) << c.adjust;
    EXPECT_EQ(texts[0].text, text);
    EXPECT_NEAR(texts[0].bounds.x(), c.left, 1.0) << c.adjust;
    EXPECT_EQ(texts[0].angle, 0);
    EXPECT_NEAR(texts[0].fontPixels, 10 * 96 / 72.0, 0.01);
  }
}

TEST_F(TextDrawTest, JustifiedLinesFillTheWidthButParagraphEndsDoNot) {
  TfrMemoView memo;
  Prepare(memo, {QStringLiteral("aa bb cc dd ee ff gg hh ii jj kk ll mm nn")}, frtaWidth);
  const double charWidth = TfrTextMeasure(memo.Font).CharWidth(QLatin1Char('a'));
  memo.Width = int(charWidth * 20) + 4; // 20 characters fit
  Record(memo);
  const auto texts = Recorded(DrawCall::Text);
  // "aa bb cc dd ee ff gg" (spread over the width), "hh ii jj kk ll mm nn" (idem), then nothing: the last
  // line ends the paragraph and is not spread. Each spread line is drawn word by word.
  const double right = memo.Left + memo.Width + 1 - 2;
  std::vector<const DrawCall *> firstLine;
  for (const DrawCall &c : texts)
    if (std::abs(c.bounds.y() - texts[0].bounds.y()) < 0.5) firstLine.push_back(&c);
  ASSERT_EQ(firstLine.size(), 7u);
  EXPECT_NEAR(firstLine.front()->bounds.x(), 12, 0.5);
  EXPECT_NEAR(firstLine.back()->bounds.x() + 2 * charWidth, right, 1.5);
  EXPECT_EQ(firstLine.back()->text, QStringLiteral("gg"));

  TfrMemoView last;
  Prepare(last, {QStringLiteral("aa bb")}, frtaWidth);
  Record(last);
  ASSERT_EQ(Recorded(DrawCall::Text).size(), 1u);
  EXPECT_EQ(Recorded(DrawCall::Text)[0].text, QStringLiteral("aa bb"));
}

TEST_F(TextDrawTest, VerticalAlignmentsAndLineSpacing) {
  auto baselines = [&](int adjust) {
    TfrMemoView memo;
    Prepare(memo, {QStringLiteral("one"), QStringLiteral("two")}, adjust);
    Record(memo);
    std::vector<double> ys;
    for (const DrawCall &c : Recorded(DrawCall::Text)) ys.push_back(c.bounds.y());
    return ys;
  };
  const auto top = baselines(frtaLeft);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_DOUBLE_EQ(top[1] - top[0], 13 + 2); // font height plus line spacing
  const double total = 2 * 15;
  const auto middle = baselines(frtaMiddle);
  EXPECT_NEAR(middle[0] - top[0], (101 - total) / 2 - 1, 1.0);
  const auto bottom = baselines(frtaDown);
  EXPECT_NEAR(bottom[0] - top[0], 101 - 1 - total - 1, 1.0);
}

TEST_F(TextDrawTest, WordWrapKeepsTheWrappedLinesAsExpandedText) {
  TfrMemoView memo;
  Prepare(memo, {QStringLiteral("first second third")});
  memo.Width = int(TfrTextMeasure(memo.Font).CharWidth(QLatin1Char('x')) * 12) + 4;
  Record(memo);
  EXPECT_EQ(device_->Texts(),
            (std::vector<QString>{QStringLiteral("first second"), QStringLiteral("third")}));
  ASSERT_EQ(memo.Memo1.Count(), 2);
  EXPECT_TRUE(frIsWrappedText(memo.Memo1));
  // Without the word-wrap flag the line stays whole (and is clipped to the object).
  TfrMemoView whole;
  Prepare(whole, {QStringLiteral("first second third")});
  whole.Width = memo.Width;
  whole.Flags = 0;
  Record(whole);
  EXPECT_EQ(device_->Texts(), std::vector<QString>{QStringLiteral("first second third")});
}

TEST_F(TextDrawTest, TextAlreadyWrappedIsDrawnAsItIs) {
  TfrMemoView memo;
  Prepare(memo, {});
  memo.Width = 20; // far too narrow for the lines: they are not wrapped again
  memo.Memo.Add(frEncodeTextLine({QStringLiteral("first part"), false, 80}));
  memo.Memo.Add(frEncodeTextLine({QStringLiteral("goes on"), false, 56}));
  memo.Memo.Add(QString(QChar(1)));
  Record(memo);
  EXPECT_EQ(device_->Texts(),
            (std::vector<QString>{QStringLiteral("first part"), QStringLiteral("goes on")}));

  // A text that merely holds the character 1 is wrapped like any other.
  TfrMemoView plain;
  Prepare(plain, {QStringLiteral("ab") + QChar(1) + QStringLiteral("cd ef gh")});
  plain.Width = int(TfrTextMeasure(plain.Font).CharWidth(QLatin1Char('x')) * 5) + 4;
  Record(plain);
  EXPECT_EQ(device_->Texts().size(), 2u);
}

TEST_F(TextDrawTest, RotatedTextRunsUpwardsLineBesideLine) {
  TfrMemoView memo;
  Prepare(memo, {QStringLiteral("up"), QStringLiteral("next")}, frtaVertical);
  Record(memo);
  const auto texts = Recorded(DrawCall::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_DOUBLE_EQ(texts[0].angle, 90);
  // Each line starts at the bottom less the gap; the second stands one line height to the right.
  EXPECT_DOUBLE_EQ(texts[0].bounds.y(), 121 - 1);
  EXPECT_DOUBLE_EQ(texts[1].bounds.y(), 121 - 1);
  EXPECT_DOUBLE_EQ(texts[1].bounds.x() - texts[0].bounds.x(), 15);

  // Right-aligned rotated text ends at the top.
  TfrMemoView right;
  Prepare(right, {QStringLiteral("up")}, frtaVertical | frtaRight);
  Record(right);
  const double length = Width(right, QStringLiteral("up"));
  EXPECT_NEAR(Recorded(DrawCall::Text)[0].bounds.y(), 21 + length, 1.0);
}

TEST_F(TextDrawTest, ScaledTextScalesFontAndPositionsTogether) {
  TfrMemoView memo;
  Prepare(memo, {QStringLiteral("one"), QStringLiteral("two")});
  memo.ScaleX = memo.ScaleY = 2.5;
  Record(memo);
  const auto texts = Recorded(DrawCall::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NEAR(texts[0].fontPixels, 10 * 96 / 72.0 * 2.5, 0.01);
  EXPECT_NEAR(texts[1].bounds.y() - texts[0].bounds.y(), 15 * 2.5, 1.0);
  EXPECT_NEAR(texts[0].bounds.x(), 25 + memo.gapx, 3.0);
}

TEST_F(TextDrawTest, AutoWidthFitsTheTextAndKeepsTheRightEdgeOfRightAlignedText) {
  TfrMemoView memo;
  Prepare(memo, {QStringLiteral("abc")}, frtaRight);
  memo.Flags |= flAutoSize;
  Record(memo);
  const int expected = int(std::ceil(Width(memo, QStringLiteral("abc")))) + 4;
  EXPECT_EQ(memo.Width, expected);
  EXPECT_EQ(memo.Left + memo.Width, 210);
}

TEST_F(TextDrawTest, HeightsOfTheExpandedText) {
  TfrMemoView memo;
  Prepare(memo, {});
  memo.Memo1.Add(QStringLiteral("one"));
  memo.Memo1.Add(QStringLiteral("two"));
  memo.Memo1.Add(QStringLiteral("three"));
  EXPECT_EQ(memo.StepHeight(), 15);
  EXPECT_EQ(memo.CalcHeight(), 3 * 15 + 2);
  memo.LinesPrinted = 1;
  EXPECT_EQ(memo.RemainingHeight(), 2 * 15);
}

// ---- lines, bands, subreports ----

TEST_F(ViewDrawTest, LinesTurnVerticalOrHorizontal) {
  TfrLineView line;
  Place(line, 30, 40, 100, 100);
  Record(line);
  EXPECT_EQ(line.Width, 0);
  EXPECT_EQ(line.FrameTyp, frbLeft);
  ASSERT_EQ(Recorded(DrawCall::Rect).size(), 1u);
  EXPECT_EQ(Recorded(DrawCall::Rect)[0].bounds, QRectF(30, 40, 1, 101));

  TfrLineView flat;
  Place(flat, 30, 40, 100, 20);
  Record(flat);
  EXPECT_EQ(flat.Height, 0);
  EXPECT_EQ(flat.FrameTyp, frbTop);
  EXPECT_EQ(Recorded(DrawCall::Rect)[0].bounds, QRectF(30, 40, 101, 1));
}

TEST_F(ViewDrawTest, BandsDrawOnlyWhenDesigningAndSubreportsOnlyTheirFrame) {
  TfrBandView band;
  Place(band, 0, 10, 300, 30);
  band.SetBandType(btMasterData);
  band.FillColor = clRed;
  EXPECT_TRUE(Record(band).empty());
  frModel().DocMode = dmDesigning;
  EXPECT_FALSE(Record(band).empty());
  EXPECT_EQ(device_->Texts(), std::vector<QString>{QStringLiteral("Master data")});
  frModel().DocMode = dmPrinting;

  TfrSubReportView subReport;
  Place(subReport, 5, 5, 50, 20);
  subReport.FrameTyp = frbAll;
  subReport.Memo.Add(QStringLiteral("not drawn"));
  Record(subReport);
  EXPECT_TRUE(Recorded(DrawCall::Text).empty());
  EXPECT_EQ(Union(Recorded(DrawCall::Rect)), QRectF(5, 5, 51, 21));
}

// ---- shapes ----

TEST_F(ViewDrawTest, ShapesOnTheRecordingCanvas) {
  auto shapeOf = [](quint8 kind, TColor fill) {
    auto shape = std::make_unique<TfrShapeView>();
    Place(*shape, 10, 10, 80, 40);
    shape->ShapeType = kind;
    shape->FillColor = fill;
    shape->FrameColor = clBlue;
    return shape;
  };
  auto filledWith = [&](QColor colour) {
    int n = 0;
    for (const DrawCall &c : device_->Calls())
      if (c.brush == colour && c.kind != DrawCall::Text) ++n;
    return n;
  };
  Record(*shapeOf(skRectangle, clRed));
  EXPECT_EQ(filledWith(Qt::red), 1);
  EXPECT_EQ(Union(device_->Calls()), QRectF(10, 10, 81, 41));

  for (quint8 kind : {skRoundRectangle, skEllipse, skTriangle}) {
    Record(*shapeOf(kind, clRed));
    const auto paths = Recorded(DrawCall::Path);
    ASSERT_FALSE(paths.empty()) << int(kind);
    EXPECT_EQ(filledWith(Qt::red), 1) << int(kind);
    EXPECT_LE(Union(device_->Calls()).right(), 91.0) << int(kind);
    EXPECT_GE(Union(device_->Calls()).top(), 10.0) << int(kind);
  }
  // A transparent shape draws only its outline.
  for (quint8 kind : {skRectangle, skRoundRectangle, skEllipse, skTriangle}) {
    Record(*shapeOf(kind, clNone));
    for (const DrawCall &c : device_->Calls()) EXPECT_NE(c.brush, QColor(Qt::red));
    EXPECT_FALSE(device_->Calls().empty());
  }
}

QImage Paint(TfrView &view) {
  QImage image(100, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  TCanvas canvas(&image);
  view.Draw(&canvas);
  canvas.Release();
  return image;
}

TEST_F(ViewDrawTest, ShapesOnAnImage) {
  TfrShapeView triangle;
  Place(triangle, 10, 10, 80, 40);
  triangle.ShapeType = skTriangle;
  triangle.FillColor = clRed;
  QImage image = Paint(triangle);
  EXPECT_EQ(image.pixel(50, 35), qRgb(255, 0, 0));     // inside
  EXPECT_EQ(image.pixel(12, 12), qRgb(255, 255, 255)); // outside, above the left side
  EXPECT_EQ(image.pixel(50, 50), qRgb(0, 0, 0));       // the base line

  // A 40 x 20 rounded rectangle has corners of a 5 x 5 ellipse: the corner pixel stays out, the one
  // diagonally inside it is in.
  TfrShapeView rounded;
  Place(rounded, 10, 10, 40, 20);
  rounded.ShapeType = skRoundRectangle;
  rounded.FillColor = clRed;
  rounded.FrameColor = clRed;
  image = Paint(rounded);
  EXPECT_EQ(image.pixel(10, 10), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(11, 11), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(30, 20), qRgb(255, 0, 0));

  TfrShapeView ellipse;
  Place(ellipse, 10, 10, 80, 40);
  ellipse.ShapeType = skEllipse;
  ellipse.FillColor = clLime;
  image = Paint(ellipse);
  EXPECT_EQ(image.pixel(50, 30), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(12, 12), qRgb(255, 255, 255));

  ellipse.FillColor = clNone;
  image = Paint(ellipse);
  EXPECT_EQ(image.pixel(50, 30), qRgb(255, 255, 255)); // transparent: only the outline
  EXPECT_EQ(image.pixel(50, 10), qRgb(0, 0, 0));
}

TEST_F(ViewDrawTest, ShapeAssignCopiesTheKind) {
  TfrShapeView a, b;
  a.ShapeType = skEllipse;
  a.Name = QStringLiteral("Shape1");
  b.Assign(&a);
  EXPECT_EQ(b.ShapeType, skEllipse);
  EXPECT_EQ(b.Name, QStringLiteral("Shape1"));
}

// ---- pictures ----

TEST_F(ViewDrawTest, PictureStretchedCentredAndInProportion) {
  struct Case {
    int flags;
    QRectF target;
  };
  // The object's drawing rectangle is (10, 20, 211, 121); the bitmap is 4 x 3.
  const double k = 101 / 3.0;
  for (const Case c : {Case{flStretched, QRectF(10, 20, 201, 101)},
                       Case{flStretched | flPictRatio, QRectF(10, 20, qRound(4 * k), 101)},
                       Case{flStretched | flPictRatio | flPictCenter,
                            QRectF(qRound(10 + (201 - 4 * k) / 2), 20, qRound(4 * k), 101)},
                       Case{flPictCenter, QRectF(108, 69, 4, 3)}, Case{0, QRectF(10, 20, 4, 3)}}) {
    TfrPictureView picture;
    Place(picture, 10, 20, 200, 100);
    picture.Flags = quint16(c.flags);
    picture.Picture.LoadFromBytes(test::BitmapBytes());
    Record(picture);
    const auto images = Recorded(DrawCall::Image);
    ASSERT_EQ(images.size(), 1u) << c.flags;
    EXPECT_NEAR(images[0].bounds.left(), c.target.left(), 1) << c.flags;
    EXPECT_NEAR(images[0].bounds.top(), c.target.top(), 1) << c.flags;
    EXPECT_NEAR(images[0].bounds.width(), c.target.width(), 1) << c.flags;
    EXPECT_NEAR(images[0].bounds.height(), c.target.height(), 1) << c.flags;
  }
}

TEST_F(ViewDrawTest, PicturesOnAnImageAndMetafilePlaceholders) {
  TfrPictureView picture;
  Place(picture, 0, 0, 99, 59);
  picture.Flags = flStretched;
  picture.Picture.LoadFromBytes(test::BitmapBytes());
  QImage image = Paint(picture);
  EXPECT_EQ(image.pixel(50, 30), qRgb(0, 128, 255));
  EXPECT_EQ(image.pixel(2, 2), qRgb(255, 0, 0)); // the top-left pixel, stretched

  TfrPictureView metafile;
  Place(metafile, 10, 10, 60, 30);
  metafile.Picture.LoadFromBytes(test::EnhancedMetafileBytes());
  ASSERT_EQ(KindOf(metafile.Picture.Graphic()), TGraphicKind::Metafile);
  Record(metafile);
  EXPECT_TRUE(Recorded(DrawCall::Image).empty());
  EXPECT_FALSE(device_->Calls().empty()); // the framed placeholder
  EXPECT_EQ(Paint(metafile).pixel(10, 10), ColorToQColor(clGray).rgb());

  // An empty picture draws no image.
  TfrPictureView empty;
  Place(empty, 10, 10, 60, 30);
  Record(empty);
  EXPECT_TRUE(Recorded(DrawCall::Image).empty());
}

} // namespace

namespace {

TEST_F(ViewDrawTest, PictureLoadsFromABlobFieldAndANullFieldEmptiesIt) {
  std::unique_ptr<TComponent, void (*)(TComponent *)> owner{new TComponent(nullptr),
                                                            [](TComponent *c) { c->Free(); }};
  auto *ds = new TMemoryDataSet(owner.get());
  ds->FieldDefs()->Add(QStringLiteral("LOGO"), ftBlob);
  ds->CreateDataSet();
  ds->Append();
  auto *logo = dynamic_cast<TBlobField *>(ds->FieldByName(QStringLiteral("LOGO")));
  ASSERT_NE(logo, nullptr);
  TfrPictureView picture;
  picture.Picture.LoadFromBytes(test::JpegBytes());
  picture.LoadFromField(logo);
  EXPECT_TRUE(picture.Picture.Empty());
  logo->SetAsBytes(test::BitmapBytes());
  picture.LoadFromField(logo);
  EXPECT_EQ(KindOf(picture.Picture.Graphic()), TGraphicKind::Bitmap);
  EXPECT_EQ(picture.Picture.Width(), 4);
  logo->SetAsBytes(QByteArray("no picture"));
  EXPECT_THROW(picture.LoadFromField(logo), EInvalidGraphic);
}

} // namespace
