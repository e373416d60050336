// The report component: templates loaded from dataset rows, preparing behind the progress window (and
// cancelling it), printing page lists with copies to the PDF printer, paper changes, previews, events.
#include "platform/core/streams.h"
#include "platform/graphics/printer.h"
#include "platform/windowing/system_services.h"
#include "report/picture_view.h"
#include "report/report_hooks.h"
#include "report/shape_view.h"
#include "tests/report/report_build_fixture.h"
#include <QFileInfo>

namespace build {
namespace {

using test::HavePoppler;
using test::PdfPages;
using test::RunTool;

class ReportComponentTest : public ReportBuildTest {
protected:
  void TearDown() override {
    printers.reset();
    ReportBuildTest::TearDown();
  }
  // The platform's printer over an "Office" paper printer whose jobs land as PDF files, and the PDF printer
  // writing pdf(); either one selected.
  TScriptedPrinterSystem *UsePaperPrinter() {
    printers.emplace(QStringList{"Office"});
    printer = printers->Printer();
    return printers->System;
  }
  void UsePdfPrinter() {
    UsePaperPrinter();
    printer->SetPdfFileName(pdf());
    ReportPrinter()->SelectPrinterByName(TPrinter::PdfPrinterName());
  }
  QString pdf() const { return dir.filePath(QStringLiteral("report.pdf")); }
  // One row per sheet: a 1000-high data band printing "Sheet [LINE#]".
  void SheetReport(int sheets) {
    FillItems(sheets);
    Build({"MasterData 0+1000 frLines | 10,300 Sheet [LINE#]"});
  }

  QTemporaryDir dir;
  std::optional<test::ScriptedPrinters> printers;
  TPrinter *printer = nullptr;
};

TEST_F(ReportComponentTest, PageListsNameNumbersAndRangesAndAnythingElseIsAClearError) {
  EXPECT_EQ(frParsePageList(QStringLiteral(" 1, 3 ,5 - 7"), 9), (QList<int>{1, 3, 5, 6, 7}));
  EXPECT_EQ(frParsePageList(QString(), 9), QList<int>{});
  const struct {
    const char *text;
    const char *message;
  } bad[] = {{"1,x", "\"x\" is not a page number"},
             {"4", "There is no page 4: the report has 3 page(s)"},
             {"3-1", "The page range \"3-1\" runs backwards"},
             {"1,,2", "The page list \"1,,2\" has an empty entry"},
             {"2-", "\"\" is not a page number"}};
  for (const auto &c : bad) {
    EXPECT_EQ(test::Refusal<EfrReportError>([&] { frParsePageList(QString::fromLatin1(c.text), 3); }),
              QString::fromLatin1(c.message))
        << c.text;
  }
}

TEST_F(ReportComponentTest, PagesPrintInTheirOrderEachCopiedInARowUnderTheReportsJobTitle) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils is not installed";
  SheetReport(3);
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  EXPECT_THROW(report->PrintPreparedReport(QString(), 1), EfrReportError) << "the virtual printer prints not";
  TScriptedPrinterSystem *paper = UsePaperPrinter();
  report->Title = QStringLiteral("Invoice");
  ASSERT_TRUE(report->PrintPreparedReport(QStringLiteral("1, 3"), 2));
  EXPECT_EQ(printer->Title(), QStringLiteral("Reportwell: Invoice"));
  EXPECT_EQ(PdfPages(paper->Jobs().last()), (QStringList{"Sheet 1", "Sheet 1", "Sheet 3", "Sheet 3"}));

  // A PDF file holds each page once, under the report's title; a bad page list is refused before anything
  // is printed.
  UsePdfPrinter();
  EXPECT_THROW(report->PrintPreparedReport(QStringLiteral("1,4"), 1), EfrReportError);
  EXPECT_FALSE(QFileInfo::exists(pdf()));
  report->Title = QStringLiteral("Invoice 1042");
  ASSERT_TRUE(report->PrintPreparedReport(QString(), 2));
  EXPECT_EQ(printer->Title(), QStringLiteral("Invoice 1042"));
  EXPECT_EQ(PdfPages(pdf()), (QStringList{"Sheet 1", "Sheet 2", "Sheet 3"}));
}

TEST_F(ReportComponentTest, APageOnOtherPaperChangesThePaperWithinTheSameDocument) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils is not installed";
  UsePdfPrinter();
  AddBand(btReportTitle, 0, 40);
  AddMemo(10, 10, 300, 20, {QStringLiteral("Portrait page")});
  TfrPage *wide = report->Pages().Add();
  wide->ChangePaper(frDefaultPaperSize, 0, 0, frLandscape);
  AddBand(wide, btReportTitle, 0, 40);
  AddMemo(wide, 10, 10, 300, 20, {QStringLiteral("Landscape page")});
  TfrPage *back = report->Pages().Add();
  AddBand(back, btReportTitle, 0, 40);
  AddMemo(back, 10, 10, 300, 20, {QStringLiteral("Portrait again")});
  ASSERT_TRUE(report->PrepareReport());
  ASSERT_TRUE(report->PrintPreparedReport(QString(), 1));
  EXPECT_EQ(PdfPages(pdf()), (QStringList{"Portrait page", "Landscape page", "Portrait again"}));
  const QString info = RunTool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                           QStringLiteral("-l"), QStringLiteral("3"), pdf()});
  QList<bool> landscape;
  for (const QString &line : info.split(QLatin1Char('\n'))) {
    if (!line.startsWith(QStringLiteral("Page")) || !line.contains(QStringLiteral(" size:"))) continue;
    const QStringList parts = line.section(QLatin1Char(':'), 1).simplified().split(QLatin1Char(' '));
    ASSERT_GE(parts.size(), 3) << line.toStdString();
    landscape << (parts[0].toDouble() > parts[2].toDouble());
  }
  EXPECT_EQ(landscape, (QList<bool>{false, true, false})) << info.toStdString();
}

// A printed PDF holds its shapes filled (a PDF page cannot be flood-filled).
TEST_F(ReportComponentTest, APdfPageHoldsTheShapesFilled) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils is not installed";
  UsePdfPrinter();
  frRegisterShapeObject();
  Build({"ReportTitle 0+400"});
  auto *triangle = test::AddView<TfrShapeView>(page, QString(), 400, 200, 200, 150);
  triangle->ShapeType = skTriangle;
  triangle->FillColor = clRed;
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  ASSERT_TRUE(report->PrintPreparedReport(QString(), 1));
  const QString png = dir.filePath(QStringLiteral("page"));
  RunTool(QStringLiteral("pdftoppm"), {"-r", "40", "-png", "-singlefile", pdf(), png});
  const QImage image(png + QStringLiteral(".png"));
  ASSERT_FALSE(image.isNull());
  const double k = image.width() / double(report->EMFPages()[0].PrnInfo.Pgw);
  const QColor inside = image.pixelColor(int(500 * k), int(320 * k)),
               outside = image.pixelColor(int(420 * k), int(210 * k));
  EXPECT_TRUE(inside.red() > 200 && inside.green() < 60) << inside.name().toStdString();
  EXPECT_GT(outside.green(), 200);
}

// A printed page rendered at 40 dots per inch, with the report units per image pixel.
struct RenderedPage {
  QImage image;
  double unitsPerPixel = 1;
  QColor At(int x, int y) const { return image.pixelColor(int(x / unitsPerPixel), int(y / unitsPerPixel)); }
};
RenderedPage RenderFirstPage(const QString &pdf, const QString &png, int pageWidthUnits) {
  RunTool(QStringLiteral("pdftoppm"), {"-r", "40", "-png", "-singlefile", pdf, png});
  RenderedPage page;
  page.image = QImage(png + QStringLiteral(".png"));
  if (!page.image.isNull()) page.unitsPerPixel = pageWidthUnits / double(page.image.width());
  return page;
}
bool Red(const QColor &c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }
bool White(const QColor &c) { return c.red() > 200 && c.green() > 200 && c.blue() > 200; }

// A metafile picture prints what its records draw: its text is in the PDF and its red rectangle at the
// picture's place. A prepared report of the older metafile layout prints each page's metafile over the page.
TEST_F(ReportComponentTest, MetafilesPrintWhatTheirRecordsDraw) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils is not installed";
  UsePdfPrinter();
  test::EmfWriter emf(100, 50, 4); // the right half red, words in the left half
  emf.Brush(1, Qt::red).Select(1).Select(0x80000008).Rectangle(50, 0, 100, 50);
  emf.Font(2, -8, "Arial").Select(2).BkMode(1).Text(2, 20, "Drawn words");
  Build({"ReportTitle 0+400"});
  auto *picture = test::AddView<TfrPictureView>(page, QString(), 200, 100, 400, 200);
  picture->Flags = flStretched;
  picture->Picture.LoadFromBytes(emf.Bytes());
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  ASSERT_TRUE(report->PrintPreparedReport(QString(), 1));
  EXPECT_TRUE(PdfPages(pdf()).value(0).contains(QStringLiteral("Drawn words")))
      << PdfPages(pdf()).join("|").toStdString();
  const int pageWidth = report->EMFPages()[0].PrnInfo.Pgw;
  const RenderedPage printed = RenderFirstPage(pdf(), dir.filePath(QStringLiteral("picture")), pageWidth);
  ASSERT_FALSE(printed.image.isNull());
  EXPECT_TRUE(Red(printed.At(500, 200))) << printed.At(500, 200).name().toStdString();
  EXPECT_TRUE(Red(printed.At(410, 110)));
  EXPECT_TRUE(White(printed.At(300, 280))) << "the left half below the words";
  EXPECT_TRUE(White(printed.At(620, 200))) << "right of the picture";
  EXPECT_TRUE(White(printed.At(500, 320))) << "below the picture";

  // The older layout: one A4 page whose metafile (in millimetres) has its right half red and words at the
  // top.
  test::EmfWriter sheetEmf(210, 297, 1);
  sheetEmf.Brush(1, Qt::red).Select(1).Select(0x80000008).Rectangle(105, 0, 210, 297);
  sheetEmf.Font(2, -8, "Arial").Select(2).BkMode(1).Text(10, 20, "Page words");
  test::Bytes file;
  file.oldLines({TfrPrinter::VirtualPrinterName()}).i32(1);
  const qsizetype blockStart = file.size();
  file.i32(0).u16(9).i32(2100).i32(2970).u8(0).u8(1).raw(sheetEmf.Bytes());
  file.patch32(blockStart, file.size());
  const QString older = dir.filePath(QStringLiteral("older.frp"));
  QFile out(older);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(file.data());
  out.close();
  report->LoadPreparedReport(older);
  QFile::remove(pdf());
  printer->SetPdfFileName(pdf()); // a PDF's place is asked for each print
  ReportPrinter()->SelectPrinterByName(TPrinter::PdfPrinterName());
  ASSERT_TRUE(report->PrintPreparedReport(QString(), 1));
  EXPECT_TRUE(PdfPages(pdf()).value(0).contains(QStringLiteral("Page words")));
  const int olderWidth = report->EMFPages()[0].PrnInfo.Pgw, olderHeight = report->EMFPages()[0].PrnInfo.Pgh;
  const RenderedPage sheet = RenderFirstPage(pdf(), dir.filePath(QStringLiteral("older")), olderWidth);
  ASSERT_FALSE(sheet.image.isNull());
  EXPECT_TRUE(Red(sheet.At(olderWidth * 3 / 4, olderHeight / 2)));
  EXPECT_TRUE(Red(sheet.At(olderWidth * 11 / 20, olderHeight / 100)));
  EXPECT_TRUE(White(sheet.At(olderWidth * 9 / 20, olderHeight / 2)));
  EXPECT_TRUE(White(sheet.At(olderWidth / 4, olderHeight * 9 / 10)));
}

TEST_F(ReportComponentTest, PreparingRunsBehindTheProgressWindowWithPageLabelsOrTellsAnOnProgressHandler) {
  SheetReport(3);
  report->Title = QStringLiteral("Invoice");
  QStringList labels;
  QString caption;
  int windows = 0;
  frSetProgressWindowFactory([&]() -> std::unique_ptr<TfrProgressWindow> {
    struct Watching : CancellingProgress {
      Watching(QStringList *labels, QString *caption)
          : CancellingProgress(QString(), labels), caption_(caption) {}
      void SetCaption(const QString &Caption) override { *caption_ = Caption; }
      QString *caption_;
    };
    ++windows;
    return std::make_unique<Watching>(&labels, &caption);
  });
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(caption, QStringLiteral("Invoice - Report preparing"));
  // The window opens on page 1; the build announces each page it starts.
  EXPECT_EQ(labels, (QStringList{"Processing page:  1", "Processing page:  1", "Processing page:  2",
                                 "Processing page:  3"}));
  labels.clear();
  report->SetDoublePass(true);
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(labels.first(), QStringLiteral("Performing 1st pass:  1"));

  // An OnProgress handler takes the page numbers instead of the window.
  windows = 0;
  report->SetDoublePass(false);
  QList<int> numbers;
  report->OnProgress = TfrProgressEvent::From([&numbers](int n) { numbers << n; });
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(numbers, (QList<int>{1, 2, 3}));
  report->OnProgress = nullptr;
  report->ShowProgress = false;
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(windows, 0);
}

TEST_F(ReportComponentTest, CancellingEitherPassReturnsFailureAndLeavesNoPages) {
  SheetReport(5);
  report->SetDoublePass(true);
  for (const QString &cancelAt :
       {QStringLiteral("Performing 1st pass:  3"), QStringLiteral("Processing page:  3 from 5")}) {
    QStringList labels;
    frSetProgressWindowFactory([&labels, cancelAt]() -> std::unique_ptr<TfrProgressWindow> {
      return std::make_unique<CancellingProgress>(cancelAt, &labels);
    });
    EXPECT_FALSE(report->PrepareReport()) << cancelAt.toStdString();
    EXPECT_EQ(report->EMFPages().Count(), 0) << cancelAt.toStdString();
    EXPECT_FALSE(frModel().FirstPass);
  }
}

TEST_F(ReportComponentTest, CancellingAPrintRunAbortsTheJob) {
  UsePdfPrinter();
  SheetReport(4);
  ASSERT_TRUE(report->PrepareReport());
  QStringList labels;
  frSetProgressWindowFactory([&labels]() -> std::unique_ptr<TfrProgressWindow> {
    return std::make_unique<CancellingProgress>(QStringLiteral("Printing page:  2"), &labels);
  });
  EXPECT_FALSE(report->PrintPreparedReport(QString(), 1));
  EXPECT_TRUE(printer->Aborted());
  EXPECT_FALSE(QFileInfo::exists(pdf()));
  EXPECT_EQ(report->EMFPages().Count(), 4);
}

TEST_F(ReportComponentTest, DocumentAndPageEventsFrameThePreparation) {
  SheetReport(2);
  AddBand(btPageFooter, 1030, 20, QString(), flBandOnFirstPage | flBandOnLastPage);
  QStringList events;
  report->OnBeginDoc = TfrDocEvent::From([&events] { events << QStringLiteral("begin doc"); });
  report->OnEndDoc = TfrDocEvent::From([&events] { events << QStringLiteral("end doc"); });
  report->OnBeginPage = TfrPageEvent::From([&events](int n) { events << QStringLiteral("begin %1").arg(n); });
  report->OnEndPage = TfrPageEvent::From([&events](int n) { events << QStringLiteral("end %1").arg(n); });
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(events, (QStringList{"begin doc", "begin 0", "end 0", "begin 1", "end 1", "end doc"}));
}

TEST_F(ReportComponentTest, ATemplateIsLoadedFromTheDatasetRowOfItsNumber) {
  TMemoryDataSet *reports = test::MemoryTable(form, QString(), {{"rec", ftInteger}, {"File", ftBlob}});
  for (const int number : {1, 2}) {
    TfrReportModel model;
    TfrPage *p = model.Pages.Add();
    auto memo = std::make_unique<TfrMemoView>();
    memo->Name = QStringLiteral("Template%1").arg(number);
    p->Add(std::move(memo));
    TMemoryStream bytes;
    model.SaveToStream(&bytes);
    reports->Append();
    reports->FieldByName(QStringLiteral("rec"))->SetAsInteger(number);
    static_cast<TBlobField *>(reports->FieldByName(QStringLiteral("File")))->LoadFromStream(&bytes);
    reports->Post();
  }
  report->LoadTemplateFromDataset(reports, 2);
  EXPECT_NE(report->FindObject(QStringLiteral("template2")), nullptr);

  EXPECT_EQ(test::Refusal<EfrReportError>([&] { report->LoadTemplateFromDataset(reports, 7); }),
            QStringLiteral("There is no report template number 7"));
  EXPECT_NE(report->FindObject(QStringLiteral("Template2")), nullptr);
}

TEST_F(ReportComponentTest, ARemovedRecordSourceIsForgottenAndAMultipleReportRunsOncePerRecord) {
  FillItems(2);
  AddBand(btReportTitle, 0, 40);
  AddMemo(10, 10, 300, 20, {QStringLiteral("Copy for [NAME]")});
  report->SetDataset(source);
  report->ReportType = rtMultiple;
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(Texts(), (QStringList{"1: Copy for Item 1", "2: Copy for Item 2"}));
  source->Free();
  EXPECT_EQ(report->Dataset(), nullptr);
}

TEST_F(ReportComponentTest, ChangingThePrinterGivesEveryTemplatePageItsPaperAgain) {
  UsePdfPrinter();
  TfrPrinter *wrapper = ReportPrinter();
  page->ChangePaper(frDefaultPaperSize, 0, 0, frLandscape);
  const int pdfIndex = wrapper->PrinterIndex();
  ASSERT_TRUE(report->ChangePrinter(pdfIndex, wrapper->VirtualIndex()));
  EXPECT_EQ(page->PrnInfo, wrapper->PageMetrics());
  EXPECT_FALSE(report->ChangePrinter(wrapper->VirtualIndex(), 99));
  EXPECT_TRUE(wrapper->IsVirtual());
}

TEST_F(ReportComponentTest, ASourceThatCannotOpenReachesTheCallerAndTheMessageBoxAndLeavesNoPages) {
  SheetReport(2);
  ASSERT_TRUE(report->PrepareReport());
  auto *broken = new TfrDBDataSet(form);
  broken->SetName(QStringLiteral("frBroken"));
  AddBand(btDetailData, 1010, 20, QStringLiteral("frBroken"));
  EXPECT_THROW(report->PrepareReport(), EDSError);
  EXPECT_EQ(report->EMFPages().Count(), 0);

  ScopedScriptedServices services;
  EXPECT_FALSE(report->ShowReport());
  ASSERT_EQ(services->MessageBoxes().size(), 1);
  EXPECT_EQ(services->MessageBoxes()[0].Text, QStringLiteral("Unable to open dataset frBroken"));
}

} // namespace
} // namespace build
