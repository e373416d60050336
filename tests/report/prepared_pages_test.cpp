// Prepared pages and the prepared-report file.
#include "platform/graphics/printer.h"
#include "report/band_view.h"
#include "report/memo_view.h"
#include "report/picture_view.h"
#include "report/prepared_pages.h"
#include "report/shape_view.h"
#include "report/text_layout.h"
#include "tests/report/recording_device.h"
#include "tests/report/report_build_fixture.h"
#include "tests/report/report_model_fixture.h"
#include <QTemporaryDir>

namespace {

using test::Bytes;

class PreparedPagesTest : public test::ReportModelTest {
protected:
  void SetUp() override {
    ReportModelTest::SetUp();
    templatePage_.ChangePaper(frDefaultPaperSize, 0, 0, frPortrait);
  }
  // Two pages: an invoice line of text, then a thick horizontal line.
  void BuildTwoPages(TfrEMFPages &pages) {
    pages.Add(&templatePage_);
    TfrMemoView memo;
    test::Place(memo, 10, 20, 100, 30);
    memo.Memo.Add(QStringLiteral("[INVNO]"));
    memo.Memo1.Add(QStringLiteral("Invoice 42"));
    memo.PrintToStream(pages[0].Stream.get());
    pages.Add(&templatePage_);
    TfrLineView line;
    line.Top = 50;
    line.Width = 300;
    line.Height = 0;
    line.FrameTyp = frbTop;
    line.FrameWidth = 2;
    line.PrintToStream(pages[1].Stream.get());
  }

  static QByteArray Save(TfrEMFPages &pages) {
    TMemoryStream stream;
    pages.SaveToStream(&stream);
    return stream.Bytes();
  }
  static void Load(TfrEMFPages &pages, const QByteArray &bytes, bool printToDefault = false) {
    TMemoryStream stream(bytes);
    pages.LoadFromStream(&stream, printToDefault);
  }
  // What drawing every page of the list at its own size records.
  static QStringList Drawn(TfrEMFPages &pages) {
    test::RecordingDevice device(800, 1200);
    {
      TCanvas canvas(&device);
      for (int i = 0; i < pages.Count(); ++i) {
        pages[i].Visible = true;
        pages.Draw(i, &canvas, Rect(0, 0, pages[i].PrnInfo.Pgw, pages[i].PrnInfo.Pgh));
      }
    }
    return device.Described();
  }

  TfrPage templatePage_;
};

QByteArray FirstPageStream() {
  Bytes b;
  b.u8(23).u8(gtMemo).i32s({10, 20, 100, 30}).u16(3).u16(0).i32(1).i32(0).u16(0).i32(0x1FFFFFFF);
  b.lines({QStringLiteral("Invoice 42")});
  b.str(QStringLiteral("Arial")).i32(10).u16(0).i32(0).i32(0).u16(0);
  return b.data();
}

QByteArray SecondPageStream() {
  Bytes b;
  b.u8(23).u8(gtLine).i32s({0, 50, 300, 0}).u16(0).u16(frbTop).i32(2).i32(0).u16(0).i32(0x1FFFFFFF);
  b.lines({});
  return b.data();
}

TEST_F(PreparedPagesTest, TwoPageFileIsTheFormatsExactBytes) {
  TfrEMFPages pages;
  BuildTwoPages(pages);
  Bytes expected;
  expected.u8(0).str(TfrPrinter::VirtualPrinterName()).i32(2);
  for (const QByteArray &page : {FirstPageStream(), SecondPageStream()}) {
    const qsizetype blockStart = expected.size();
    expected.i32(0).u16(9).i32(2100).i32(2970).u8(0).u8(0).raw(page);
    expected.patch32(blockStart, expected.size());
  }
  const QByteArray saved = Save(pages);
  EXPECT_EQ(saved.toHex(' '), expected.data().toHex(' '));
  // An empty list is saved without pages and reads back empty.
  TfrEMFPages empty;
  EXPECT_EQ(Save(empty), Bytes().u8(0).str(TfrPrinter::VirtualPrinterName()).i32(0).data());
  Load(pages, Save(empty));
  EXPECT_EQ(pages.Count(), 0);
}

TEST_F(PreparedPagesTest, PagesReadBackDrawTheSameAsBeforeSaving) {
  TfrEMFPages pages;
  BuildTwoPages(pages);
  const auto before = Drawn(pages);
  ASSERT_FALSE(before.empty());
  TfrEMFPages loaded;
  Load(loaded, Save(pages));
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded[1].PrnInfo, templatePage_.PrnInfo);
  EXPECT_EQ(Drawn(loaded), before);
  // The text is the one expanded at preparation; nothing is evaluated again.
  EXPECT_TRUE(before.join(QLatin1Char('|')).contains(QStringLiteral("'Invoice 42'")));
}

TEST_F(PreparedPagesTest, DrawingLoadsAPagesObjectsSkipsThoseOutOfViewAndAHiddenPageReleasesThem) {
  TfrEMFPages pages;
  BuildTwoPages(pages);
  test::RecordingDevice device(800, 1200);
  TCanvas canvas(&device);
  canvas.IntersectClipRect(Rect(0, 0, 800, 10));
  pages[0].Visible = true;
  pages.Draw(0, &canvas, Rect(0, 0, 752, 1071)); // the text object lies at y 20..50, outside 0..10 + 10
  canvas.Release();
  EXPECT_TRUE(device.Calls().empty());
  ASSERT_TRUE(pages[0].Page);
  EXPECT_EQ(pages[0].Page->ObjectCount(), 1);
  EXPECT_EQ(frModel().DocMode, dmDesigning); // printing mode only while drawing
  // Edited objects are stored back, their texts whole whatever their letters.
  const QString edited = QStringLiteral("Edited ") + QString(40000, QChar(u'Ł'));
  pages[0].Page->Object(0)->Memo.Clear();
  pages[0].Page->Object(0)->Memo.Add(edited);
  pages.StoreObjects(0);
  pages.LoadObjects(0);
  EXPECT_EQ(pages[0].Page->Object(0)->Memo.Strings(0), edited);
}

TEST_F(PreparedPagesTest, InsertedPagesTakeTheirTemplatesPaperAndAnIndexPastTheEndAppends) {
  TfrEMFPages pages;
  QList<int> added;
  pages.OnPageAdded = [&](int index) { added << index; };
  pages.Add(&templatePage_);
  TfrPage landscape;
  landscape.ChangePaper(11, 0, 0, frLandscape);
  pages.Insert(0, &landscape);
  pages.Insert(99, &templatePage_);
  EXPECT_EQ(added, QList<int>({0}));
  ASSERT_EQ(pages.Count(), 3);
  EXPECT_EQ(pages[0].PrnInfo, landscape.PrnInfo);
  EXPECT_THROW(pages.Delete(3), EListError);
}

TEST_F(PreparedPagesTest, TheStoredPrinterIsSelectedUnlessTheReportPrintsToTheDefault) {
  test::ScriptedPrinters printers;
  TfrEMFPages pages;
  BuildTwoPages(pages);
  ReportPrinter()->SelectPrinterByName(QStringLiteral("Labels"));
  const QByteArray saved = Save(pages);
  ReportPrinter()->SelectPrinterByName(QStringLiteral("Office"));
  TfrEMFPages loaded;
  Load(loaded, saved, true);
  EXPECT_EQ(printers.Printer()->PrinterName(), QStringLiteral("Office"));
  Load(loaded, saved, false);
  EXPECT_EQ(printers.Printer()->PrinterName(), QStringLiteral("Labels"));
}

TEST_F(PreparedPagesTest, OlderMetafileLayoutBecomesOnePicturePerPage) {
  const QByteArray metafile = test::EnhancedMetafileBytes();
  Bytes file;
  file.oldLines({TfrPrinter::VirtualPrinterName()}).i32(1);
  const qsizetype blockStart = file.size();
  file.i32(0).u16(9).i32(2100).i32(2970).u8(0).u8(1).raw(metafile);
  file.patch32(blockStart, file.size());
  ASSERT_GE(quint8(file.data()[0]), 2);

  TfrEMFPages pages;
  Load(pages, file.data());
  ASSERT_EQ(pages.Count(), 1);
  pages.LoadObjects(0);
  ASSERT_EQ(pages[0].Page->ObjectCount(), 1);
  auto *picture = dynamic_cast<TfrPictureView *>(pages[0].Page->Object(0));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->DesignRect(), Rect(0, 0, 752, 1071));
  ASSERT_EQ(KindOf(picture->Picture.Graphic()), TGraphicKind::Metafile);
  EXPECT_EQ(picture->Picture.SaveToBytes(), metafile);

  // Shown, the page is the metafile stretched over it: its right half red.
  QImage shown(376, 535, QImage::Format_RGB32);
  shown.fill(Qt::white);
  TCanvas canvas(&shown);
  pages[0].Visible = true;
  pages.Draw(0, &canvas, Rect(0, 0, 376, 535));
  canvas.Release();
  EXPECT_EQ(shown.pixel(300, 270), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(190, 10), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(100, 270), qRgb(255, 255, 255));
  EXPECT_EQ(shown.pixel(185, 500), qRgb(255, 255, 255));
}

TEST_F(PreparedPagesTest, DamagedFilesAreRefusedAndTheListKeepsItsPages) {
  TfrEMFPages source;
  BuildTwoPages(source);
  const QByteArray valid = Save(source);
  const qsizetype countAt = 1 + 2 + TfrPrinter::VirtualPrinterName().size() + 1;
  const qsizetype firstBlock = countAt + 4;
  const qint32 firstEnd = qFromLittleEndian<qint32>(valid.constData() + firstBlock);
  auto patched = [&](qsizetype at, qint64 value) {
    QByteArray bytes = valid;
    qToLittleEndian<qint32>(qint32(value), bytes.data() + at);
    return bytes;
  };
  auto withFirstPage = [&](const QByteArray &pageStream) {
    Bytes b;
    b.u8(0).str(QString()).i32(1).i32(0).u16(9).i32(2100).i32(2970).u8(0).u8(0).raw(pageStream);
    b.patch32(1 + 3 + 4, b.size());
    return b.data();
  };
  QByteArray compressed = valid;
  compressed[0] = 1;
  QByteArray oldLayoutDamaged;
  {
    Bytes b;
    b.oldLines({QStringLiteral("Printer")}).i32(1).i32(0).u16(9).i32(2100).i32(2970).u8(0).u8(0);
    b.raw("not a metafile at all, just some bytes.......");
    b.patch32(13, b.size());
    oldLayoutDamaged = b.data();
  }
  struct Case {
    const char *name;
    QByteArray file;
    QString message;
  };
  const QList<Case> cases = {
      {"empty", QByteArray(), "empty"},
      {"compressed", compressed, "compressed"},
      {"page count past the file", patched(countAt, 1000), "claims 1000 pages"},
      {"end offset before the page data", patched(firstBlock, firstBlock + 4), "outside"},
      {"end offsets that do not increase", patched(firstEnd, firstEnd), "outside"},
      {"page stream of another version", withFirstPage(QByteArray("\x16", 1)), "version 22"},
      {"object type 7 in a page", withFirstPage(QByteArray("\x17\x07", 2)), "Unknown object type 7"},
      {"page ends inside an object", withFirstPage(FirstPageStream().left(30)), "ends inside"},
      {"damaged metafile page", oldLayoutDamaged, "damaged"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TfrEMFPages pages;
    BuildTwoPages(pages);
    EXPECT_TRUE(test::Refusal<EfrStreamError>([&] { Load(pages, c.file); }).contains(c.message));
    EXPECT_EQ(pages.Count(), 2);
  }
  for (qsizetype size = 0; size < valid.size(); ++size) {
    TfrEMFPages pages;
    EXPECT_THROW(Load(pages, valid.left(size)), EfrStreamError) << size;
  }
}

// One object of each class as a prepared page holds it.
std::vector<std::unique_ptr<TfrView>> OneOfEach() {
  std::vector<std::unique_ptr<TfrView>> views;
  auto memo = std::make_unique<TfrMemoView>();
  test::Place(*memo, 10, 20, 300, 40);
  memo->Font.SetName(QStringLiteral("Times New Roman"));
  memo->Font.SetSize(12);
  memo->Font.SetStyle(fsBold | fsItalic);
  memo->Font.SetColor(clRed);
  memo->Adjust = frtaRight | frtaMiddle;
  memo->FillColor = clYellow;
  memo->FrameTyp = frbAll;
  memo->FrameWidth = 1.5f;
  memo->FrameStyle = psDash;
  memo->FrameColor = clBlue;
  memo->Memo1.Add(QStringLiteral("Łódź 日本 😀"));
  memo->Memo1.Add(QStringLiteral("€ 12,50 café"));
  views.push_back(std::move(memo));
  // A part of a text split across pages, kept wrapped.
  auto part = std::make_unique<TfrMemoView>();
  test::Place(*part, 10, 70, 100, 30);
  part->Memo1.Add(frEncodeTextLine({QStringLiteral("first part"), false, 80}));
  part->Memo1.Add(QString(QChar(1)));
  views.push_back(std::move(part));
  // A frame width a hair from a whole one.
  auto hair = std::make_unique<TfrMemoView>();
  test::Place(*hair, 10, 110, 100, 20);
  hair->FrameTyp = frbBottom;
  hair->FrameWidth = 2.0003f;
  views.push_back(std::move(hair));
  auto line = std::make_unique<TfrLineView>();
  test::Place(*line, 0, 140, 500, 0);
  line->FrameTyp = frbTop;
  views.push_back(std::move(line));
  for (const QByteArray &bytes : {test::BitmapBytes(), test::JpegBytes()}) {
    auto picture = std::make_unique<TfrPictureView>();
    test::Place(*picture, 10, 150, 60, 40);
    picture->Picture.LoadFromBytes(bytes);
    views.push_back(std::move(picture));
  }
  auto sub = std::make_unique<TfrSubReportView>();
  sub->SubPage = 3;
  views.push_back(std::move(sub));
  auto band = std::make_unique<TfrBandView>();
  band->SetBandType(btMasterData);
  views.push_back(std::move(band));
  auto shape = std::make_unique<TfrShapeView>();
  shape->ShapeType = skEllipse;
  test::Place(*shape, 200, 150, 50, 50);
  views.push_back(std::move(shape));
  return views;
}

// The file holds each page's objects exactly as printing them into a stream of the report's form writes
// them, and reading the file gives them back so.
TEST_F(PreparedPagesTest, TheFileHoldsEachObjectAsItWasPrinted) {
  TfrEMFPages pages;
  pages.Add(&templatePage_);
  TMemoryStream printed;
  printed.WriteUInt8(frCurrentVersion);
  for (const auto &view : OneOfEach()) {
    view->PrintToStream(pages[0].Stream.get());
    view->PrintToStream(&printed);
  }
  const QByteArray saved = Save(pages);
  const qsizetype dataStart = 1 + 2 + TfrPrinter::VirtualPrinterName().size() + 1 + 4 + 4 + 2 + 4 + 4 + 1 + 1;
  EXPECT_EQ(saved.mid(dataStart).toHex(' ').toStdString(), printed.Bytes().toHex(' ').toStdString());
  TfrEMFPages loaded;
  Load(loaded, saved);
  EXPECT_EQ(Save(loaded), saved);
}

// In memory a page keeps texts of any length and letters; the file holds a line in at most 65535 bytes
// (one byte a letter of Windows-1252, else a mark of 3 bytes and UTF-8) and a text of at most 65535 lines.
// Saving a page with more is refused, naming the page, and writes nothing.
TEST_F(PreparedPagesTest, TheFileHoldsTextsUpToItsLimitAndRefusesLongerOnes) {
  auto lines = [](int count) {
    QStringList list;
    for (int i = 0; i < count; ++i) list << QStringLiteral("x");
    return list;
  };
  const struct {
    const char *name;
    QStringList text;
    bool fits;
  } cases[] = {
      {"65535 letters of the code page", {QString(65535, QChar(u'é'))}, true},
      {"65536 letters of the code page", {QString(65536, QLatin1Char('a'))}, false},
      {"32766 two-byte letters", {QString(32766, QChar(u'Ł'))}, true},
      {"32767 two-byte letters", {QString(32767, QChar(u'Ł'))}, false},
      {"21844 three-byte letters", {QString(21844, QChar(u'日'))}, true},
      {"21845 three-byte letters", {QString(21845, QChar(u'日'))}, false},
      {"16383 letters beyond the first plane", {QString::fromUtf8("😀").repeated(16383)}, true},
      {"16384 letters beyond the first plane", {QString::fromUtf8("😀").repeated(16384)}, false},
      {"65535 lines", lines(65535), true},
      {"65536 lines", lines(65536), false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    TfrEMFPages pages;
    BuildTwoPages(pages);
    TfrMemoView memo;
    test::Place(memo, 10, 60, 300, 20);
    for (const QString &line : c.text) memo.Memo1.Add(line);
    memo.PrintToStream(pages[1].Stream.get());
    pages.LoadObjects(1);
    ASSERT_EQ(pages[1].Page->ObjectCount(), 2);
    EXPECT_EQ(pages[1].Page->Object(1)->Memo.Strings(0), c.text[0]) << "kept whole in memory";
    EXPECT_EQ(pages[1].Page->Object(1)->Memo.Count(), c.text.size());

    TMemoryStream file;
    file.WriteBytes("before");
    const QString refusal = test::Refusal<EWriteError>([&] { pages.SaveToStream(&file); });
    if (!c.fits) {
      EXPECT_TRUE(refusal.startsWith(QStringLiteral("Page 2 of the report cannot be saved")))
          << refusal.toStdString();
      EXPECT_EQ(file.Bytes(), QByteArray("before"));
      continue;
    }
    EXPECT_EQ(refusal, QStringLiteral("no error"));
    TfrEMFPages loaded;
    file.SetPosition(6);
    loaded.LoadFromStream(&file, true);
    loaded.LoadObjects(1);
    TStrings &read = loaded[1].Page->Object(1)->Memo;
    EXPECT_EQ(read.Count(), c.text.size());
    EXPECT_EQ(read.Strings(0), c.text[0]);
  }
}

// Preparing keeps every text whole, whatever its length and letters.
class PreparedTextTest : public build::ReportBuildTest {};

TEST_F(PreparedTextTest, ATextOfAnyLengthAndLettersIsPreparedWhole) {
  const QStringList texts = {QString(70000, QChar(u'é')), QString(40000, QChar(u'Ł')),
                             QString(30000, QChar(u'日')), QString::fromUtf8("😀").repeated(20000)};
  QList<build::Line> rows;
  for (const QString &text : texts) rows.append({QStringLiteral("Note"), 1, 1.0, {}, text});
  Fill(rows);
  AddBand(btMasterData, 100, 30, QStringLiteral("frLines"));
  AddMemo(10, 100, 300, 20, {QStringLiteral("[NOTE]")}); // neither stretched nor wrapped: one object
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  QStringList prepared;
  TfrEMFPages &pages = report->EMFPages();
  for (int i = 0; i < pages.Count(); ++i) {
    pages.LoadObjects(i);
    for (int j = 0; j < pages[i].Page->ObjectCount(); ++j) prepared << pages[i].Page->Object(j)->Memo.Text();
  }
  ASSERT_EQ(prepared.size(), texts.size());
  for (qsizetype i = 0; i < texts.size(); ++i) EXPECT_EQ(prepared[i], texts[i] + QStringLiteral("\r\n")) << i;
}

// A page in memory that names a text it does not hold is damaged.
TEST_F(PreparedPagesTest, APageNamingATextItDoesNotHoldIsRefused) {
  TfrEMFPages pages;
  pages.Add(&templatePage_);
  TfrPageStream &stream = *pages[0].Stream;
  stream.WriteUInt8(gtLine);
  for (int i = 0; i < 4; ++i) stream.WriteInt32(0);
  stream.WriteUInt16(0);
  stream.WriteUInt16(0);
  stream.WriteInt32(1);
  stream.WriteInt32(0);
  stream.WriteUInt16(0);
  stream.WriteInt32(clNone);
  stream.WriteInt32(1); // one line, of 5 characters from the start of the texts kept: there are none
  stream.WriteInt32(0);
  stream.WriteInt32(5);
  EXPECT_TRUE(
      test::Refusal<EfrStreamError>([&] { pages.LoadObjects(0); }).contains(QStringLiteral("damaged")));
}

TEST_F(PreparedPagesTest, FilesAreWrittenWholeAndReadBack) {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("invoice.frp"));
  TfrEMFPages pages;
  BuildTwoPages(pages);
  pages.SaveToFile(name);
  TfrEMFPages loaded;
  loaded.LoadFromFile(name, false);
  EXPECT_EQ(Save(loaded), Save(pages));
  EXPECT_THROW(pages.SaveToFile(dir.filePath(QStringLiteral("missing/folder/x.frp"))), EFCreateError);
}

} // namespace
