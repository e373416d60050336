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

// Memo at 10,20 of 100 x 40 with the frame sides, style, width and scale given, in red.
std::unique_ptr<TfrView> Framed(int sides, int style = psSolid, float width = 1, double scale = 1) {
  auto memo = std::make_unique<TfrMemoView>();
  memo->Left = 10;
  memo->Top = 20;
  memo->Width = 100;
  memo->Height = 40;
  memo->FrameTyp = quint16(sides);
  memo->FrameStyle = quint16(style);
  memo->FrameWidth = width;
  memo->FrameColor = clRed;
  memo->ScaleX = memo->ScaleY = scale;
  return memo;
}

// What each kind of object draws where: frames by side, style, width and scale; the background by fill
// colour and mode; bands and subreports; shapes filled and transparent; pictures stretched, centred and in
// proportion (the bitmap is 4 x 3), a metafile's placeholder.
TEST_F(ViewDrawTest, ObjectsDrawWhatTheyShowWhereTheyStand) {
  auto filled = [](TColor fill, bool designing = false) {
    auto memo = Framed(0);
    memo->FillColor = fill;
    frModel().DocMode = designing ? dmDesigning : dmPrinting;
    return memo;
  };
  auto view = [](std::unique_ptr<TfrView> v, int left, int top, int width, int height) {
    Place(*v, left, top, width, height);
    return v;
  };
  auto shape = [&](quint8 kind, TColor fill) {
    TfrShapeView original;
    original.ShapeType = kind;
    original.FillColor = fill;
    original.FrameColor = clBlue;
    auto copy = std::make_unique<TfrShapeView>(); // what a prepared page holds
    copy->Assign(&original);
    return view(std::move(copy), 10, 10, 80, 40);
  };
  auto picture = [&](int flags, const QByteArray &bytes) {
    auto p = std::make_unique<TfrPictureView>();
    p->Flags = quint16(flags);
    if (!bytes.isEmpty()) p->Picture.LoadFromBytes(bytes);
    return view(std::move(p), 10, 20, 200, 100);
  };
  auto band = [&](bool designing) {
    auto b = std::make_unique<TfrBandView>();
    b->SetBandType(btMasterData);
    b->FillColor = clRed;
    frModel().DocMode = designing ? dmDesigning : dmPrinting;
    return view(std::move(b), 0, 10, 300, 30);
  };
  auto subReport = [&] {
    auto sub = std::make_unique<TfrSubReportView>();
    sub->FrameTyp = frbAll;
    sub->Memo.Add(QStringLiteral("not drawn"));
    return view(std::move(sub), 5, 5, 50, 20);
  };
  const QByteArray bitmap = test::BitmapBytes();
  struct Case {
    const char *name;
    std::function<std::unique_ptr<TfrView>()> make;
    const char *drawn; // the calls' descriptions, joined by " | "
  };
  const Case cases[] = {
      {"right side", [] { return Framed(frbRight); }, "R 110,20 1x41 #ff0000"},
      {"bottom side", [] { return Framed(frbBottom); }, "R 10,60 101x1 #ff0000"},
      {"left side", [] { return Framed(frbLeft); }, "R 10,20 1x41 #ff0000"},
      {"top side", [] { return Framed(frbTop); }, "R 10,20 101x1 #ff0000"},
      {"double top", [] { return Framed(frbTop, frsDouble); },
       "R 10,19 101x1 #ff0000 | R 10,21 101x1 #ff0000"},
      {"all four", [] { return Framed(frbAll); },
       "R 10,20 100x1 #ff0000 | R 110,20 1x40 #ff0000 | R 11,60 100x1 #ff0000 | R 10,21 1x40 #ff0000"},
      {"half a pixel at scale two is one pixel wide", [] { return Framed(frbAll, psSolid, 0.5f, 2); },
       "R 20,40 200x1 #ff0000 | R 220,40 1x80 #ff0000 | R 21,120 200x1 #ff0000 | R 20,41 1x80 #ff0000"},
      {"dashed, three wide: three dashed lines centred on the edge",
       [] { return Framed(frbRight, psDash, 3); },
       "P 109,20 0x40 n35 | P 110,20 0x40 n35 | P 111,20 0x40 n35"},
      {"solid, three wide: strokes", [] { return Framed(frbRight | frbBottom, psSolid, 3); },
       "G 110.5,20.5 0x41 w3 | G 10.5,60.5 101x0 w3"},
      {"fill", [&] { return filled(clYellow); }, "R 10,20 100x40 #ffff00"},
      {"printing: no fill, no frame, no text", [&] { return filled(clNone); }, ""},
      {"designing paints a missing fill white and marks the corners", [&] { return filled(clNone, true); },
       "R 10,20 101x41 #ffffff | R 10,21 1x3 #000000 | R 10,20 4x1 #000000 | R 110,21 1x3 #000000 | R 107,20 "
       "4x1 #000000 | R 10,57 1x3 #000000 | R 10,60 4x1 #000000 | R 110,57 1x3 #000000 | R 107,60 4x1 "
       "#000000"},
      {"bands draw nothing while printing", [&] { return band(false); }, ""},
      {"bands draw when designing", [&] { return band(true); },
       "R 0,10 301x31 #efefef | R 0,10 300x1 #808080 | R 300,10 1x30 #808080 | R 1,40 300x1 #808080 | R 0,11 "
       "1x30 #808080 | T 2,21 -1x-1 'Master data'"},
      {"subreports draw only their frame", subReport,
       "R 5,5 50x1 #000000 | R 55,5 1x20 #000000 | R 6,25 50x1 #000000 | R 5,6 1x20 #000000"},
      {"rectangle", [&] { return shape(skRectangle, clRed); },
       "R 11,11 79x39 #ff0000 | R 10,10 80x1 #0000ff | R 90,10 1x40 #0000ff | R 11,50 80x1 #0000ff | R 10,11 "
       "1x40 #0000ff"},
      {"round rectangle", [&] { return shape(skRoundRectangle, clRed); },
       "A 10.5,10.5 80x40 #ff0000 | A 10.5,10.5 80x40"},
      {"ellipse", [&] { return shape(skEllipse, clRed); }, "A 10.5,10.5 80x40 #ff0000 | A 10.5,10.5 80x40"},
      {"triangle", [&] { return shape(skTriangle, clRed); },
       "A 10.5,10.5 80x40 #ff0000 | R 11,50 80x1 #0000ff | P 10,11 39x39 n40 | P 50,10 39x39 n40"},
      {"transparent rectangle", [&] { return shape(skRectangle, clNone); },
       "R 10,10 80x1 #0000ff | R 90,10 1x40 #0000ff | R 11,50 80x1 #0000ff | R 10,11 1x40 #0000ff"},
      {"transparent round rectangle", [&] { return shape(skRoundRectangle, clNone); }, "A 10.5,10.5 80x40"},
      {"transparent ellipse", [&] { return shape(skEllipse, clNone); }, "A 10.5,10.5 80x40"},
      {"transparent triangle", [&] { return shape(skTriangle, clNone); },
       "R 11,50 80x1 #0000ff | P 10,11 39x39 n40 | P 50,10 39x39 n40"},
      {"stretched", [&] { return picture(flStretched, bitmap); }, "I 10,20 201x101"},
      {"in proportion", [&] { return picture(flStretched | flPictRatio, bitmap); }, "I 10,20 135x101"},
      {"in proportion, centred", [&] { return picture(flStretched | flPictRatio | flPictCenter, bitmap); },
       "I 43,20 135x101"},
      {"centred", [&] { return picture(flPictCenter, bitmap); }, "I 108,69 4x3"},
      {"as it is", [&] { return picture(0, bitmap); }, "I 10,20 4x3"},
      {"metafile placeholder", [&] { return picture(0, test::EnhancedMetafileBytes()); },
       "R 10.5,20.5 95x47 | L 10.5,20.5 95x47 | L 10.5,20.5 95x47"},
      {"empty picture", [&] { return picture(0, QByteArray()); }, ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    frModel().DocMode = dmPrinting;
    auto v = c.make();
    Record(*v);
    EXPECT_EQ(device_->Described().join(" | ").toStdString(), c.drawn);
  }
  // The first pass of a double-pass build draws nothing.
  frModel().DocMode = dmPrinting;
  frModel().FirstPass = true;
  auto memo = filled(clRed);
  memo->FrameTyp = frbAll;
  memo->Memo.Add(QStringLiteral("text"));
  EXPECT_TRUE(Record(*memo).empty());
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

TEST_F(ViewDrawTest, ALineTurnsVerticalOrHorizontalByItsLongerSide) {
  TfrLineView line;
  Place(line, 30, 40, 100, 100);
  Record(line);
  EXPECT_EQ(QString("%1 %2").arg(line.Width).arg(line.FrameTyp), QString("0 %1").arg(frbLeft));
  EXPECT_EQ(device_->Described(), QStringList{"R 30,40 1x101 #000000"});
  Place(line, 30, 40, 100, 20);
  Record(line);
  EXPECT_EQ(QString("%1 %2").arg(line.Height).arg(line.FrameTyp), QString("0 %1").arg(frbTop));
  EXPECT_EQ(device_->Described(), QStringList{"R 30,40 101x1 #000000"});
}

TEST_F(ViewDrawTest, ShapesAndPicturesOnAnImage) {
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

  // The bitmap's pixels, its top-left one stretched; a metafile's grey placeholder.
  TfrPictureView picture;
  Place(picture, 0, 0, 99, 59);
  picture.Flags = flStretched;
  picture.Picture.LoadFromBytes(test::BitmapBytes());
  image = Paint(picture);
  EXPECT_EQ(image.pixel(50, 30), qRgb(0, 128, 255));
  EXPECT_EQ(image.pixel(2, 2), qRgb(255, 0, 0));
  picture.Picture.LoadFromBytes(test::EnhancedMetafileBytes());
  ASSERT_EQ(KindOf(picture.Picture.Graphic()), TGraphicKind::Metafile);
  Place(picture, 10, 10, 60, 30);
  EXPECT_EQ(Paint(picture).pixel(10, 10), ColorToQColor(clGray).rgb());
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
