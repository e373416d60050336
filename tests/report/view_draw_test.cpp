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

QImage Paint(TfrView &view) {
  QImage image(100, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  TCanvas canvas(&image);
  view.Draw(&canvas);
  canvas.Release();
  return image;
}

// "left,top widthxheight frame gapx,gapy": where the view stands and how wide its frame is drawn.
QString Geometry(const TfrView &v) {
  return QStringLiteral("%1,%2 %3x%4 %5 %6,%7")
      .arg(v.Left)
      .arg(v.Top)
      .arg(v.Width)
      .arg(v.Height)
      .arg(v.FrameWidth)
      .arg(v.gapx)
      .arg(v.gapy);
}

TEST_F(ViewDrawTest, ScalingComputesBoundsGapsTheDrawingRectangleAndTheClipRegion) {
  TfrMemoView memo;
  Place(memo, 10, 20, 100, 40);
  memo.FrameTyp = frbAll;
  memo.ApplyScale();
  EXPECT_EQ(Geometry(memo), QStringLiteral("10,20 100x40 1 2,1"));
  EXPECT_EQ(memo.DRect, Rect(10, 20, 111, 61));
  memo.RestoreBounds();

  memo.FrameWidth = 3;
  memo.ScaleX = memo.ScaleY = 2;
  memo.OffsX = 5;
  memo.OffsY = 7;
  memo.ApplyScale();
  EXPECT_EQ(Geometry(memo), QStringLiteral("25,47 200x80 6 5,2"));
  EXPECT_EQ(memo.DRect, Rect(27, 49, 223, 125));
  memo.RestoreBounds();
  EXPECT_EQ(Geometry(memo).left(16), QStringLiteral("10,20 100x40 3 5"));
  // Designing always draws at scale 1.
  frModel().DocMode = dmDesigning;
  memo.ApplyScale();
  EXPECT_EQ(Geometry(memo).left(12), QStringLiteral("10,20 100x40"));
  memo.RestoreBounds();

  // The clip region covers the frame.
  TfrMemoView framed;
  Place(framed, 10, 20, 100, 40);
  framed.FrameTyp = frbLeft | frbTop;
  framed.FrameWidth = 2;
  EXPECT_EQ(framed.GetClipRegion(false), Rect(9, 19, 111, 61));
  framed.FrameStyle = frsDouble;
  EXPECT_EQ(framed.GetClipRegion(false), Rect(7, 17, 111, 61));
  EXPECT_EQ(framed.GetClipRegion(true), Rect(-3, 7, 121, 71));
}

TEST_F(ViewDrawTest, FramesByTheSideStyleWidthAndScale) {
  struct Case {
    int sides, style;
    float width, scale;
    std::vector<QRectF> rects; // the one-pixel rectangles drawn
  };
  const Case cases[] = {{frbRight, psSolid, 1, 1, {QRectF(110, 20, 1, 41)}},
                        {frbBottom, psSolid, 1, 1, {QRectF(10, 60, 101, 1)}},
                        {frbLeft, psSolid, 1, 1, {QRectF(10, 20, 1, 41)}},
                        {frbTop, psSolid, 1, 1, {QRectF(10, 20, 101, 1)}},
                        {frbTop, frsDouble, 1, 1, {QRectF(10, 19, 101, 1), QRectF(10, 21, 101, 1)}}};
  for (const Case &c : cases) {
    TfrMemoView memo;
    Place(memo, 10, 20, 100, 40);
    memo.FrameTyp = quint16(c.sides);
    memo.FrameStyle = quint16(c.style);
    memo.FrameColor = clRed;
    Record(memo);
    std::vector<QRectF> rects;
    for (const DrawCall &r : Recorded(DrawCall::Rect)) {
      rects.push_back(r.bounds);
      EXPECT_EQ(r.brush, QColor(Qt::red));
    }
    EXPECT_EQ(rects, c.rects) << c.sides << " " << c.style;
  }
  // All four sides, solid, in one-pixel rectangles around 10..110 x 20..60; at half a pixel and scale two
  // they are one pixel wide all the same.
  for (const float scale : {1.0f, 2.0f}) {
    TfrMemoView memo;
    Place(memo, 10, 20, 100, 40);
    memo.FrameTyp = frbAll;
    memo.FrameWidth = 1 / scale;
    memo.ScaleX = memo.ScaleY = scale;
    Record(memo);
    EXPECT_EQ(Union(Recorded(DrawCall::Rect)),
              QRectF(10 * scale, 20 * scale, 100 * scale + 1, 40 * scale + 1));
    for (const DrawCall &c : Recorded(DrawCall::Rect))
      EXPECT_TRUE(c.bounds.width() == 1 || c.bounds.height() == 1);
  }

  // Dashed at width 3: three one-pixel dashed lines side by side, centred on the edge.
  TfrMemoView dashed;
  Place(dashed, 10, 20, 100, 40);
  dashed.FrameTyp = frbRight;
  dashed.FrameStyle = psDash;
  dashed.FrameWidth = 3;
  Record(dashed);
  const auto runs = Recorded(DrawCall::Points);
  ASSERT_EQ(runs.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(runs[size_t(i)].bounds.left(), 109 + i);
    EXPECT_EQ(runs[size_t(i)].bounds.width(), 0);
    EXPECT_LT(runs[size_t(i)].points.size(), 41u); // gaps between the dashes
  }
  // Solid and wide: strokes of that width along the edges.
  dashed.FrameStyle = psSolid;
  dashed.FrameTyp = frbRight | frbBottom;
  Record(dashed);
  const auto strokes = Recorded(DrawCall::Polygon);
  ASSERT_EQ(strokes.size(), 2u);
  EXPECT_EQ(strokes[0].penWidth, 3);
  EXPECT_DOUBLE_EQ(strokes[0].points[0].x(), 110.5);
  EXPECT_DOUBLE_EQ(strokes[1].points[0].y(), 60.5);
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
  ASSERT_GT(fills.size(), 1u);
  EXPECT_EQ(fills[0].brush, QColor(Qt::white));
  EXPECT_EQ(fills[0].bounds, QRectF(10, 20, 101, 41));

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
  // The texts drawn, each at its position.
  std::vector<DrawCall> Texts(const QStringList &lines, int adjust) {
    TfrMemoView memo;
    Prepare(memo, lines, adjust);
    Record(memo);
    return Recorded(DrawCall::Text);
  }
  double Width(const QString &text) {
    TfrMemoView memo;
    Prepare(memo, {});
    return TfrTextMeasure(memo.Font).Width(text);
  }
  double CharWidth() { return Width(QStringLiteral("x")); }
};

TEST_F(TextDrawTest, AlignmentsLineSpacingAndScale) {
  const double w = Width(QStringLiteral("Total"));
  const double available = 201 - 4;
  struct Case {
    int adjust;
    double left;
  };
  for (const Case c : {Case{frtaLeft, 12}, Case{frtaRight, 12 + available - w},
                       Case{frtaCenter, 12 + (available - w) / 2}}) {
    const auto texts = Texts({QStringLiteral("Total")}, c.adjust);
    ASSERT_EQ(texts.size(), 1u) << c.adjust;
    EXPECT_EQ(texts[0].text, QStringLiteral("Total"));
    EXPECT_NEAR(texts[0].bounds.x(), c.left, 1.0) << c.adjust;
    EXPECT_EQ(texts[0].angle, 0);
    EXPECT_NEAR(texts[0].fontPixels, 10 * 96 / 72.0, 0.01);
  }
  // Two lines: the font height plus the line spacing apart, placed at the top, middle or bottom.
  const QStringList two{QStringLiteral("one"), QStringLiteral("two")};
  const auto top = Texts(two, frtaLeft);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_DOUBLE_EQ(top[1].bounds.y() - top[0].bounds.y(), 13 + 2);
  const double total = 2 * 15;
  EXPECT_NEAR(Texts(two, frtaMiddle)[0].bounds.y() - top[0].bounds.y(), (101 - total) / 2 - 1, 1.0);
  EXPECT_NEAR(Texts(two, frtaDown)[0].bounds.y() - top[0].bounds.y(), 101 - 1 - total - 1, 1.0);
  // Scaled text scales its font and positions together.
  TfrMemoView memo;
  Prepare(memo, two);
  memo.ScaleX = memo.ScaleY = 2.5;
  Record(memo);
  const auto scaled = Recorded(DrawCall::Text);
  ASSERT_EQ(scaled.size(), 2u);
  EXPECT_NEAR(scaled[0].fontPixels, 10 * 96 / 72.0 * 2.5, 0.01);
  EXPECT_NEAR(scaled[1].bounds.y() - scaled[0].bounds.y(), 15 * 2.5, 1.0);
  EXPECT_NEAR(scaled[0].bounds.x(), 25 + memo.gapx, 3.0);

  // Rotated text runs upwards from the bottom less the gap, line beside line; right-aligned it ends at the
  // top.
  const auto up = Texts({QStringLiteral("up"), QStringLiteral("next")}, frtaVertical);
  ASSERT_EQ(up.size(), 2u);
  EXPECT_DOUBLE_EQ(up[0].angle, 90);
  EXPECT_DOUBLE_EQ(up[0].bounds.y(), 121 - 1);
  EXPECT_DOUBLE_EQ(up[1].bounds.y(), 121 - 1);
  EXPECT_DOUBLE_EQ(up[1].bounds.x() - up[0].bounds.x(), 15);
  EXPECT_NEAR(Texts({QStringLiteral("up")}, frtaVertical | frtaRight)[0].bounds.y(), 21 + Width("up"), 1.0);
}

TEST_F(TextDrawTest, JustifiedLinesFillTheWidthButParagraphEndsDoNot) {
  TfrMemoView memo;
  Prepare(memo, {QStringLiteral("aa bb cc dd ee ff gg hh ii jj kk ll mm nn")}, frtaWidth);
  memo.Width = int(CharWidth() * 20) + 4; // 20 characters fit
  Record(memo);
  const auto texts = Recorded(DrawCall::Text);
  // "aa bb cc dd ee ff gg" (spread over the width), "hh ii jj kk ll mm nn" (idem), then nothing: the last
  // line ends the paragraph and is not spread. Each spread line is drawn word by word.
  std::vector<const DrawCall *> firstLine;
  for (const DrawCall &c : texts)
    if (std::abs(c.bounds.y() - texts[0].bounds.y()) < 0.5) firstLine.push_back(&c);
  ASSERT_EQ(firstLine.size(), 7u);
  EXPECT_NEAR(firstLine.front()->bounds.x(), 12, 0.5);
  EXPECT_NEAR(firstLine.back()->bounds.x() + 2 * CharWidth(), memo.Left + memo.Width + 1 - 2, 1.5);
  EXPECT_EQ(firstLine.back()->text, QStringLiteral("gg"));
  const auto last = Texts({QStringLiteral("aa bb")}, frtaWidth);
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last[0].text, QStringLiteral("aa bb"));
}

TEST_F(TextDrawTest, WrappingKeepsTheWrappedLinesAndWrappedTextIsDrawnAsItIs) {
  TfrMemoView memo;
  Prepare(memo, {QStringLiteral("first second third")});
  memo.Width = int(CharWidth() * 12) + 4;
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

  // Lines already wrapped are not wrapped again, however narrow the object.
  TfrMemoView wrapped;
  Prepare(wrapped, {});
  wrapped.Width = 20;
  wrapped.Memo.Add(frEncodeTextLine({QStringLiteral("first part"), false, 80}));
  wrapped.Memo.Add(frEncodeTextLine({QStringLiteral("goes on"), false, 56}));
  wrapped.Memo.Add(QString(QChar(1)));
  Record(wrapped);
  EXPECT_EQ(device_->Texts(),
            (std::vector<QString>{QStringLiteral("first part"), QStringLiteral("goes on")}));
  // A text that merely holds the character 1 is wrapped like any other.
  TfrMemoView plain;
  Prepare(plain, {QStringLiteral("ab") + QChar(1) + QStringLiteral("cd ef gh")});
  plain.Width = int(CharWidth() * 5) + 4;
  Record(plain);
  EXPECT_EQ(device_->Texts().size(), 2u);
}

TEST_F(TextDrawTest, AutoWidthAndTheHeightsOfTheExpandedText) {
  TfrMemoView memo;
  Prepare(memo, {QStringLiteral("abc")}, frtaRight);
  memo.Flags |= flAutoSize;
  Record(memo);
  // The width fits the text; right-aligned text keeps its right edge.
  EXPECT_EQ(memo.Width, int(std::ceil(Width(QStringLiteral("abc")))) + 4);
  EXPECT_EQ(memo.Left + memo.Width, 210);

  TfrMemoView three;
  Prepare(three, {});
  for (const char *line : {"one", "two", "three"}) three.Memo1.Add(QString::fromLatin1(line));
  EXPECT_EQ(three.StepHeight(), 15);
  EXPECT_EQ(three.CalcHeight(), 3 * 15 + 2);
  three.LinesPrinted = 1;
  EXPECT_EQ(three.RemainingHeight(), 2 * 15);
}

// ---- lines, bands, subreports, shapes ----

TEST_F(ViewDrawTest, LinesBandsAndSubreports) {
  // A line turns vertical or horizontal by its longer side.
  TfrLineView line;
  Place(line, 30, 40, 100, 100);
  Record(line);
  EXPECT_EQ(line.Width, 0);
  EXPECT_EQ(line.FrameTyp, frbLeft);
  ASSERT_EQ(Recorded(DrawCall::Rect).size(), 1u);
  EXPECT_EQ(Recorded(DrawCall::Rect)[0].bounds, QRectF(30, 40, 1, 101));
  Place(line, 30, 40, 100, 20);
  Record(line);
  EXPECT_EQ(line.Height, 0);
  EXPECT_EQ(line.FrameTyp, frbTop);
  EXPECT_EQ(Recorded(DrawCall::Rect)[0].bounds, QRectF(30, 40, 101, 1));

  // Bands draw only when designing; subreports only their frame.
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

TEST_F(ViewDrawTest, ShapesOnTheRecordingCanvasAndOnAnImage) {
  auto filledRed = [&] {
    int n = 0;
    for (const DrawCall &c : device_->Calls())
      if (c.brush == QColor(Qt::red) && c.kind != DrawCall::Text) ++n;
    return n;
  };
  for (quint8 kind : {skRectangle, skRoundRectangle, skEllipse, skTriangle}) {
    TfrShapeView shape;
    Place(shape, 10, 10, 80, 40);
    shape.ShapeType = kind;
    shape.FillColor = clRed;
    shape.FrameColor = clBlue;
    TfrShapeView copy;
    copy.Assign(&shape);
    EXPECT_EQ(copy.ShapeType, kind);
    Record(copy);
    EXPECT_EQ(filledRed(), 1) << int(kind);
    if (kind != skRectangle) {
      EXPECT_FALSE(Recorded(DrawCall::Path).empty()) << int(kind);
    }
    const QRectF all = Union(device_->Calls());
    EXPECT_LE(all.right(), 91.0) << int(kind);
    EXPECT_GE(all.top(), 10.0) << int(kind);
    if (kind == skRectangle) {
      EXPECT_EQ(all, QRectF(10, 10, 81, 41));
    }
    // A transparent shape draws only its outline.
    copy.FillColor = clNone;
    Record(copy);
    EXPECT_EQ(filledRed(), 0) << int(kind);
    EXPECT_FALSE(device_->Calls().empty());
  }

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
  rounded.FillColor = rounded.FrameColor = clRed;
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

// ---- pictures ----

TEST_F(ViewDrawTest, PicturesStretchedCentredAndInProportion) {
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
    const QRectF got = images[0].bounds;
    EXPECT_LE(
        std::max({std::abs(got.left() - c.target.left()), std::abs(got.top() - c.target.top()),
                  std::abs(got.width() - c.target.width()), std::abs(got.height() - c.target.height())}),
        1.0)
        << c.flags;
  }
  // On an image: the bitmap's pixels, its top-left one stretched.
  TfrPictureView picture;
  Place(picture, 0, 0, 99, 59);
  picture.Flags = flStretched;
  picture.Picture.LoadFromBytes(test::BitmapBytes());
  const QImage image = Paint(picture);
  EXPECT_EQ(image.pixel(50, 30), qRgb(0, 128, 255));
  EXPECT_EQ(image.pixel(2, 2), qRgb(255, 0, 0));

  // A metafile draws a grey framed placeholder; an empty picture draws no image.
  TfrPictureView metafile;
  Place(metafile, 10, 10, 60, 30);
  metafile.Picture.LoadFromBytes(test::EnhancedMetafileBytes());
  ASSERT_EQ(KindOf(metafile.Picture.Graphic()), TGraphicKind::Metafile);
  Record(metafile);
  EXPECT_TRUE(Recorded(DrawCall::Image).empty());
  EXPECT_FALSE(device_->Calls().empty());
  EXPECT_EQ(Paint(metafile).pixel(10, 10), ColorToQColor(clGray).rgb());
  TfrPictureView empty;
  Place(empty, 10, 10, 60, 30);
  Record(empty);
  EXPECT_TRUE(Recorded(DrawCall::Image).empty());
}

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
