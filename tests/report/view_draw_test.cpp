// Drawing of report objects, on a recording canvas (what is drawn where) and on images (the pixels).
#include "platform/data/fields.h"
#include "platform/data/memory_dataset.h"
#include "report/band_view.h"
#include "report/memo_view.h"
#include "report/picture_view.h"
#include "report/shape_view.h"
#include "tests/report/recording_device.h"
#include "tests/report/report_model_fixture.h"
#include <QFile>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

using test::DrawCall;
using test::Place;

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
  return QString::asprintf("%d,%d %dx%d %g %d,%d", v.Left, v.Top, v.Width, v.Height, double(v.FrameWidth),
                           v.gapx, v.gapy);
}

TEST_F(ViewDrawTest, ScalingComputesBoundsGapsTheDrawingRectangleAndTheClipRegion) {
  TfrMemoView memo;
  Place(memo, 10, 20, 100, 40);
  memo.FrameTyp = frbAll;
  memo.FrameWidth = 3;
  memo.ScaleX = memo.ScaleY = 2;
  memo.OffsX = 5;
  memo.OffsY = 7;
  memo.ApplyScale();
  EXPECT_EQ(Geometry(memo), QStringLiteral("25,47 200x80 6 5,2"));
  EXPECT_EQ(memo.DRect, Rect(27, 49, 223, 125));
  memo.RestoreBounds();
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
  framed.FrameStyle = frsDouble;
  EXPECT_EQ(framed.GetClipRegion(false), Rect(7, 17, 111, 61));
  EXPECT_EQ(framed.GetClipRegion(true), Rect(-3, 7, 121, 71));
}

// Memo at 10,20 of 100 x 40 with the frame sides, style, width and scale given, in red.
std::unique_ptr<TfrView> Framed(int sides, int style = psSolid, float width = 1, double scale = 1) {
  auto memo = std::make_unique<TfrMemoView>();
  Place(*memo, 10, 20, 100, 40);
  memo->FrameTyp = quint16(sides);
  memo->FrameStyle = quint16(style);
  memo->FrameWidth = width;
  memo->FrameColor = clRed;
  memo->ScaleX = memo->ScaleY = scale;
  return memo;
}

// What each kind of object draws where: frames by side, style, width and scale; the background by fill
// colour and mode; bands and subreports; shapes filled and transparent; pictures stretched, centred and in
// proportion (the bitmap is 4 x 3), a metafile's records.
TEST_F(ViewDrawTest, ObjectsDrawWhatTheyShowWhereTheyStand) {
  auto filled = [](TColor fill) {
    auto memo = Framed(0);
    memo->FillColor = fill;
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
  auto band = [&] {
    auto b = std::make_unique<TfrBandView>();
    b->SetBandType(btMasterData);
    b->FillColor = clRed;
    return view(std::move(b), 0, 10, 300, 30);
  };
  auto subReport = [&] {
    auto sub = std::make_unique<TfrSubReportView>();
    sub->FrameTyp = frbAll;
    sub->Memo.Add(QStringLiteral("not drawn"));
    return view(std::move(sub), 5, 5, 50, 20);
  };
  // A text at 10,20 of 200 x 100 (its drawing rectangle 10,20 to 211,121), or as wide as n characters, in
  // the monospaced font; with the flags given (-1: word wrap by default) at a scale.
  TfrMemoView probe;
  probe.Font.SetName(QStringLiteral("Courier New"));
  const double charWidth = TfrTextMeasure(probe.Font).CharWidth(QLatin1Char('x'));
  auto text = [&](const QStringList &lines, int adjust, int chars = 0, int flags = -1, double scale = 1) {
    auto memo = std::make_unique<TfrMemoView>();
    Place(*memo, 10, 20, chars ? int(charWidth * chars) + 4 : 200, 100);
    memo->Font.SetName(QStringLiteral("Courier New"));
    memo->Adjust = adjust;
    if (flags >= 0) memo->Flags = quint16(flags);
    memo->ScaleX = memo->ScaleY = scale;
    for (const QString &line : lines) memo->Memo.Add(line);
    return memo;
  };
  const QStringList two{"one", "two"};
  const QByteArray bitmap = test::BitmapBytes();
  struct Case {
    const char *name;
    std::unique_ptr<TfrView> view;
    const char *drawn; // the calls' descriptions, joined by " | "
    bool designing = false;
  };
  Case cases[] = {
      {"centred", text({"Total"}, frtaCenter), "T 90,32 13.33px 'Total'"},
      {"two lines at the top, the font height and the line spacing apart", text(two, frtaLeft),
       "T 12,32 13.33px 'one' | T 12,47 13.33px 'two'"},
      {"at the bottom", text(two, frtaDown), "T 12,101 13.33px 'one' | T 12,116 13.33px 'two'"},
      {"scaled: font and positions together", text(two, frtaLeft, 0, -1, 2.5),
       "T 28,79 33.33px 'one' | T 28,116 33.33px 'two'"},
      {"rotated: upwards from the bottom, line beside line", text({"up", "next"}, frtaVertical),
       "T 23,120 13.33px a90 'up' | T 38,120 13.33px a90 'next'"},
      // Spread lines are drawn word by word; the last line ends the paragraph and is not spread.
      {"justified", text({"aa bb cc dd ee ff gg hh ii jj kk ll mm nn"}, frtaWidth, 20),
       "T 12,32 13.33px 'aa' | T 36,32 13.33px 'bb' | T 60,32 13.33px 'cc' | T 85,32 "
       "13.33px 'dd' | T 109,32 13.33px 'ee' | T 133,32 13.33px 'ff' | T 157,32 13.33px "
       "'gg' | T 12,47 13.33px 'hh ii jj kk ll mm nn'"},
      {"wrapped", text({"first second third"}, frtaLeft, 12),
       "T 12,32 13.33px 'first second' | T 12,47 13.33px 'third'"},
      {"already wrapped: as it is, however narrow",
       text({frEncodeTextLine({"first part", false, 80}), frEncodeTextLine({"goes on", false, 56}),
             QString(QChar(1))},
            frtaLeft, 2),
       "T 12,32 13.33px 'first part' | T 12,47 13.33px 'goes on'"},
      {"holding the character 1: wrapped like any other",
       text({QStringLiteral("ab") + QChar(1) + QStringLiteral("cd ef gh")}, frtaLeft, 5),
       "T 12,32 13.33px 'ab\x1"
       "cd' | T 12,47 13.33px 'ef gh'"},
      {"double top", Framed(frbTop, frsDouble), "R 10,19 101x1 #ff0000 | R 10,21 101x1 #ff0000"},
      {"half a pixel at scale two is one pixel wide", Framed(frbAll, psSolid, 0.5f, 2),
       "R 20,40 200x1 #ff0000 | R 220,40 1x80 #ff0000 | R 21,120 200x1 #ff0000 | R 20,41 1x80 #ff0000"},
      {"dashed, three wide: three dashed lines centred on the edge", Framed(frbRight, psDash, 3),
       "P 109,20 0x40 n35 | P 110,20 0x40 n35 | P 111,20 0x40 n35"},
      {"solid, three wide: strokes", Framed(frbRight | frbBottom, psSolid, 3),
       "G 110.5,20.5 0x41 w3 | G 10.5,60.5 101x0 w3"},
      {"fill", filled(clYellow), "R 10,20 100x40 #ffff00"},
      {"printing: no fill, no frame, no text", filled(clNone), ""},
      {"designing paints a missing fill white and marks the corners", filled(clNone),
       "R 10,20 101x41 #ffffff | R 10,21 1x3 #000000 | R 10,20 4x1 #000000 | R 110,21 1x3 #000000 | R 107,20 "
       "4x1 #000000 | R 10,57 1x3 #000000 | R 10,60 4x1 #000000 | R 110,57 1x3 #000000 | R 107,60 4x1 "
       "#000000",
       true},
      {"bands draw nothing while printing", band(), ""},
      {"bands draw when designing", band(),
       "R 0,10 301x31 #efefef | R 0,10 300x1 #808080 | R 300,10 1x30 #808080 | R 1,40 300x1 #808080 | R 0,11 "
       "1x30 #808080 | T 2,21 10.67px 'Master data'",
       true},
      {"subreports draw only their frame", subReport(),
       "R 5,5 50x1 #000000 | R 55,5 1x20 #000000 | R 6,25 50x1 #000000 | R 5,6 1x20 #000000"},
      {"triangle", shape(skTriangle, clRed),
       "A 10.5,10.5 80x40 #ff0000 | R 11,50 80x1 #0000ff | P 10,11 39x39 n40 | P 50,10 39x39 n40"},
      {"transparent ellipse", shape(skEllipse, clNone), "A 10.5,10.5 80x40"},
      {"stretched", picture(flStretched, bitmap), "I 10,20 201x101"},
      {"in proportion, centred", picture(flStretched | flPictRatio | flPictCenter, bitmap),
       "I 43,20 135x101"},
      {"a metafile at its own size: its records", picture(0, test::EnhancedMetafileBytes()),
       "A 57,20 47x47 #ff0000"},
      {"empty picture", picture(0, QByteArray()), ""},
  };
  for (Case &c : cases) {
    SCOPED_TRACE(c.name);
    frModel().DocMode = c.designing ? dmDesigning : dmPrinting;
    Record(*c.view);
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

TEST_F(ViewDrawTest, AutoWidthAndTheHeightsOfTheExpandedText) {
  TfrMemoView memo;
  Place(memo, 10, 20, 200, 100);
  memo.Font.SetName(QStringLiteral("Courier New"));
  memo.Adjust = frtaRight;
  memo.Memo.Add(QStringLiteral("abc"));
  memo.Flags |= flAutoSize;
  Record(memo);
  // The width fits the text; right-aligned text keeps its right edge.
  EXPECT_EQ(memo.Left, 210 - int(std::ceil(TfrTextMeasure(memo.Font).Width(QStringLiteral("abc")))) - 4);
  // The lines a text wraps into are kept as its expanded text.
  memo.Flags = flWordWrap;
  memo.Width = 60;
  memo.Memo.SetStrings(0, QStringLiteral("first second third"));
  Record(memo);
  EXPECT_EQ(memo.Memo1.Count(), 3);
  memo.Memo1.Clear();
  for (const char *line : {"one", "two", "three"}) memo.Memo1.Add(QString::fromLatin1(line));
  EXPECT_EQ(memo.StepHeight(), 15);
  EXPECT_EQ(memo.CalcHeight(), 3 * 15 + 2);
  memo.LinesPrinted = 1;
  EXPECT_EQ(memo.RemainingHeight(), 2 * 15);
}

// A text whose ink lies inside its box is drawn as it is, whatever its alignment; only a text reaching out
// of its box is drawn with a clip of its own (on paper each clip is written into the file).
TEST_F(ViewDrawTest, OnlyTextReachingOutOfItsBoxIsClipped) {
  const double printer = 600 / frUnitsPerInchY;
  struct Case {
    const char *name;
    int adjust;
    // A width of 0 or less: as wide as the text and its gaps (as an automatic width makes it) and that much.
    int width, height;
    const char *text;
    double scale;
    bool clipped;
  };
  const Case cases[] = {
      {"left", frtaLeft, 100, 20, "Invoice 1001", 1, false},
      {"right", frtaRight, 100, 20, "1,234.56", 1, false},
      {"centred", frtaCenter, 100, 20, "Total due", 1, false},
      {"right, on paper", frtaRight, 100, 20, "1,234.56", printer, false},
      {"centred, on paper", frtaCenter, 100, 20, "Total due", printer, false},
      {"right, its box just as wide as the text and its gaps", frtaRight, 0, 20, "1,234.56", 1, false},
      {"the same on paper", frtaRight, 0, 20, "1,234.56", printer, false},
      {"three pixels short of that", frtaLeft, -3, 20, "1,234.56", 1, true},
      {"three pixels short, right", frtaRight, -3, 20, "Amount", 1, true},
      {"accented capitals", frtaRight, 100, 20, "ÅÉÎÕÜ ŁŚŻ", printer, false},
      {"too wide, left", frtaLeft, 40, 20, "1,234,567.89", 1, true},
      {"too wide, right", frtaRight, 40, 20, "1,234,567.89", 1, true},
      {"too wide, centred", frtaCenter, 40, 20, "1,234,567.89", printer, true},
      {"lower than its letters", frtaLeft, 100, 6, "Invoice", 1, true},
      {"lower than its letters, set at the bottom", frtaRight | frtaDown, 100, 6, "1,234.56", 1, true},
      {"rotated", frtaVertical, 20, 100, "Up", 1, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TfrMemoView memo;
    const int width =
        c.width > 0
            ? c.width
            : int(std::ceil(TfrTextMeasure(memo.Font).Width(QString::fromUtf8(c.text)))) + 4 + c.width;
    Place(memo, 10, 20, width, c.height);
    memo.Flags = 0;
    memo.Adjust = c.adjust;
    memo.Memo.Add(QString::fromUtf8(c.text));
    memo.ScaleX = memo.ScaleY = c.scale;
    test::RecordingDevice device(2000, 1000);
    TCanvas canvas(&device);
    memo.Draw(&canvas);
    canvas.Release();
    ASSERT_EQ(device.Calls().size(), 1u);
    EXPECT_EQ(device.Calls()[0].text, QString::fromUtf8(c.text));
    EXPECT_EQ(device.Calls()[0].clipped, c.clipped);
  }
}

// The page content of a PDF file as written (its streams inflated).
QByteArray PdfContent(const QString &file) {
  QFile pdf(file);
  if (!pdf.open(QIODevice::ReadOnly)) return QByteArray();
  const QByteArray bytes = pdf.readAll();
  QByteArray content;
  // Each stream lies between ">>" "stream" and "endstream"; the page contents are deflated.
  qsizetype at = 0;
  while ((at = bytes.indexOf(">>\nstream\n", at)) >= 0) {
    const qsizetype object = bytes.lastIndexOf(" obj", at);
    const bool deflated = bytes.mid(object, at - object).contains("/FlateDecode");
    at += 10;
    const qsizetype end = bytes.indexOf("endstream", at);
    if (end < 0) break;
    // Inflated with a length prefix of 1: the buffer grows as it needs.
    if (deflated) content += qUncompress(QByteArray("\0\0\0\1", 4) + bytes.mid(at, end - at));
    at = end;
  }
  return content;
}

// A text object on paper: at its top, of its width, 20 high, with its alignment and text.
struct PaperText {
  int top, width, adjust;
  QString text;
};
// Prints the texts at 10,top on a 600-dpi PDF page at the printer's scale.
void PrintOnPaper(const QString &file, const QList<PaperText> &texts) {
  QPdfWriter pdf(file);
  pdf.setResolution(600);
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  TCanvas canvas(&pdf);
  for (const PaperText &t : texts) {
    TfrMemoView memo;
    Place(memo, 10, t.top, t.width, 20);
    memo.Flags = 0;
    memo.Adjust = t.adjust;
    memo.Memo.Add(t.text);
    memo.ScaleX = memo.ScaleY = 600 / frUnitsPerInchY;
    memo.Draw(&canvas);
  }
  canvas.Release();
}

// On paper a text is drawn at its font's exact size (a Qt font comes only in whole pixels) and ends where
// the layout puts it; texts that fit need no clip or transform of their own, which the file would hold for
// each.
TEST_F(ViewDrawTest, OnPaperTextTakesItsExactSizeAndOnlyTextReachingOutIsClipped) {
  if (!test::HavePoppler()) GTEST_SKIP() << "pdftotext is not installed";
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("amounts.pdf"));
  const double scale = 600 / frUnitsPerInchY;
  const QString amount = QStringLiteral("1,234.56");
  PrintOnPaper(file, {{20, 100, frtaRight, amount},
                      {50, 100, frtaLeft, QStringLiteral("Invoice")},
                      {80, 100, frtaCenter, QStringLiteral("Total")},
                      {110, 40, frtaRight, QStringLiteral("1,234,567.89")}}); // too wide: clipped
  TFont arial;
  arial.SetName(QStringLiteral("Arial"));
  arial.SetSize(10);
  const double em = TfrTextMeasure(arial).Em() * scale;
  const QByteArray content = PdfContent(file);
  EXPECT_EQ(content.count("W n") + content.count("W* n"), 1);
  EXPECT_EQ(content.count(" cm\n"), 2) << "the page's and the clipped text's";
  int exact = 0;
  static const QRegularExpression size(QStringLiteral("([0-9.]+) Tf"));
  for (const QRegularExpressionMatch &m : size.globalMatch(QString::fromLatin1(content)))
    if (std::abs(m.captured(1).toDouble() - em) < 0.001) ++exact;
  EXPECT_EQ(exact, 4) << "every text";

  // The amount starts at the right of its box less the gap and the width the layout gave it (at a whole
  // pixel), and runs as wide as its glyphs measure there.
  const QString words =
      test::RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
  static const QRegularExpression word(QStringLiteral("xMax=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
  double right = -1;
  for (const QRegularExpressionMatch &m : word.globalMatch(words))
    if (m.captured(2) == amount) right = m.captured(1).toDouble();
  const double width = TfrTextMeasure(arial).Width(amount);
  const double boxRight = frRound(110 * scale) + 1 - (frRound(scale / 2) + 2);
  const double expected = frRound(boxRight - frRound(width) * scale) + width * scale;
  EXPECT_NEAR(right, expected * 72 / 600, 0.05);
}

// Texts that are not drawn glyph by glyph in the object's font still print whole: letters the font lacks
// (taken from another) and scripts shaped as a whole, such as those written from the right.
TEST_F(ViewDrawTest, OnPaperTextOfOtherScriptsAndFontsPrintsWhole) {
  if (!test::HavePoppler()) GTEST_SKIP() << "pdftotext is not installed";
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("scripts.pdf"));
  const QStringList texts = {QStringLiteral("Yerevan Երեւան"), QStringLiteral("שלום עולם"),
                             QStringLiteral("Cafe\u0301 a\u0300 la carte")};
  QList<PaperText> printed;
  for (qsizetype i = 0; i < texts.size(); ++i) printed.append({int(20 + 30 * i), 300, frtaLeft, texts[i]});
  PrintOnPaper(file, printed);
  const QString text = test::PdfPages(file).value(0);
  for (const QString &t : texts)
    EXPECT_TRUE(text.contains(t.normalized(QString::NormalizationForm_C))) << text.toStdString();
}

// ---- lines, bands, subreports, shapes ----

TEST_F(ViewDrawTest, ALineTurnsVerticalOrHorizontalByItsLongerSide) {
  TfrLineView line;
  Place(line, 30, 40, 100, 100);
  Record(line);
  EXPECT_EQ(device_->Described(), QStringList{"R 30,40 1x101 #000000"});
  Place(line, 30, 40, 100, 20);
  Record(line);
  EXPECT_EQ(device_->Described(), QStringList{"R 30,40 101x1 #000000"});
}

// The colours of an image at the points given.
QList<QRgb> Pixels(const QImage &image, std::initializer_list<QPoint> points) {
  QList<QRgb> colours;
  for (const QPoint &p : points) colours << image.pixel(p);
  return colours;
}

TEST_F(ViewDrawTest, ShapesAndPicturesOnAnImage) {
  const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
  // A triangle: inside, outside above the left side, the base line.
  TfrShapeView triangle;
  Place(triangle, 10, 10, 80, 40);
  triangle.ShapeType = skTriangle;
  triangle.FillColor = clRed;
  EXPECT_EQ(Pixels(Paint(triangle), {{50, 35}, {12, 12}, {50, 50}}), (QList<QRgb>{red, white, black}));

  // The bitmap's pixels, its top-left one stretched; a metafile's red right half.
  TfrPictureView picture;
  Place(picture, 0, 0, 99, 59);
  picture.Flags = flStretched;
  picture.Picture.LoadFromBytes(test::BitmapBytes());
  EXPECT_EQ(Pixels(Paint(picture), {{50, 30}, {2, 2}}), (QList<QRgb>{qRgb(0, 128, 255), red}));
  picture.Picture.LoadFromBytes(test::EnhancedMetafileBytes());
  ASSERT_EQ(KindOf(picture.Picture.Graphic()), TGraphicKind::Metafile);
  Place(picture, 10, 10, 60, 30);
  const QImage metafile = Paint(picture);
  EXPECT_EQ(Pixels(metafile, {{20, 20}, {60, 20}, {75, 20}}), (QList<QRgb>{white, red, white}));
}

TEST_F(ViewDrawTest, PictureLoadsFromABlobFieldAndANullFieldEmptiesIt) {
  std::unique_ptr<TComponent, void (*)(TComponent *)> owner{new TComponent(nullptr),
                                                            [](TComponent *c) { c->Free(); }};
  TMemoryDataSet *ds = test::MemoryTable(owner.get(), QString(), {{"LOGO", ftBlob}});
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
