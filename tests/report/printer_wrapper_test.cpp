#include "platform/graphics/printer.h"
#include "report/printer_wrapper.h"
#include <QPageSize>
#include <QSizeF>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(VirtualPrinter, A4MetricsInReportUnits) {
  TfrPrinter printer;
  ASSERT_TRUE(printer.IsVirtual());
  printer.ApplyPaper(9, 0, 0, frPortrait);
  EXPECT_EQ(printer.PaperWidth(), 2100);
  EXPECT_EQ(printer.PaperHeight(), 2970);
  TfrPrnInfo portrait = printer.PageMetrics();
  EXPECT_EQ(portrait.Pgw, 752);  // 2100 x 90.998 / 254
  EXPECT_EQ(portrait.Pgh, 1071); // 2970 x 91.626 / 254
  EXPECT_EQ(portrait.Ofx, 18);   // 5 mm
  EXPECT_EQ(portrait.Ofy, 18);
  EXPECT_EQ(portrait.Pw, 752 - 36);
  EXPECT_EQ(portrait.Ph, 1071 - 36);
  EXPECT_EQ(portrait.PPgw, 0); // a virtual printer has no device pixels
  EXPECT_EQ(portrait.PPw, 0);

  printer.ApplyPaper(9, 0, 0, frLandscape);
  EXPECT_EQ(printer.PaperWidth(), 2970);
  EXPECT_EQ(printer.PaperHeight(), 2100);
  EXPECT_EQ(printer.Orientation(), frLandscape);
  const TfrPrnInfo landscape = printer.PageMetrics();
  EXPECT_EQ(landscape.Pgw, 1064);
  EXPECT_EQ(landscape.Pgh, 758);
}

TEST(VirtualPrinter, CustomAndUnknownPapers) {
  TfrPrinter printer;
  printer.ApplyPaper(frCustomPaperSize, 1500, 2000, frPortrait);
  EXPECT_EQ(printer.PaperSize(), frCustomPaperSize);
  EXPECT_EQ(printer.PaperWidth(), 1500);
  EXPECT_EQ(printer.PaperHeight(), 2000);
  EXPECT_EQ(printer.PageMetrics().Pgw, std::lround(1500 * frUnitsPerInchX / 254));

  // A code outside the table keeps its size as a custom paper; without a size it falls back to A4.
  printer.ApplyPaper(4711, 1000, 1200, frPortrait);
  EXPECT_EQ(printer.PaperSize(), frCustomPaperSize);
  EXPECT_EQ(printer.PaperWidth(), 1000);
  printer.ApplyPaper(4711, 0, 0, frLandscape);
  EXPECT_EQ(printer.PaperSize(), 9);
  EXPECT_EQ(printer.PaperWidth(), 2970);

  EXPECT_EQ(printer.PaperCodes().size(), frPaperCount);
  EXPECT_EQ(printer.PaperNames().size(), frPaperCount);
}

TEST(VirtualPrinter, SamePaper) {
  TfrPrinter printer;
  printer.ApplyPaper(9, 0, 0, frPortrait);
  struct Case {
    int code, width, height, orientation;
    bool same;
  };
  for (const Case c : {Case{9, 1, 2, frPortrait, true}, Case{9, 2100, 2970, frLandscape, false},
                       Case{11, 2100, 2970, frPortrait, false}}) {
    EXPECT_EQ(printer.SamePaper(c.code, c.width, c.height, c.orientation), c.same) << c.code;
  }
  printer.ApplyPaper(frCustomPaperSize, 1500, 2000, frPortrait);
  EXPECT_TRUE(printer.SamePaper(frCustomPaperSize, 1500, 2000, frPortrait));
  EXPECT_FALSE(printer.SamePaper(frCustomPaperSize, 1501, 2000, frPortrait));
  EXPECT_FALSE(printer.SamePaper(frCustomPaperSize, 1500, 2001, frPortrait));
  EXPECT_FALSE(printer.SamePaper(frCustomPaperSize, 1500, 2000, frLandscape));
  printer.ForgetPaper();
  EXPECT_FALSE(printer.SamePaper(frCustomPaperSize, 1500, 2000, frPortrait));
}

// A platform printer over two made-up printers that print into PDF files.
class PlatformPrinterTest : public ::testing::Test {
protected:
  void SetUp() override {
    auto system = std::make_unique<TScriptedPrinterSystem>(dir_.path());
    TPrinterDescription office;
    office.name = QStringLiteral("Office");
    office.papers = {*StandardPaper(DMPAPER_A4), *StandardPaper(DMPAPER_LETTER)};
    office.resolution = 300;
    system->AddPrinter(office);
    TPrinterDescription labels;
    labels.name = QStringLiteral("Labels");
    labels.papers = {*StandardPaper(DMPAPER_A5)};
    labels.defaultPaper = DMPAPER_A5;
    labels.customPaper = false;
    system->AddPrinter(labels);
    system->SetDefaultPrinter(QStringLiteral("Office"));
    platform_ = std::make_unique<TPrinter>(std::move(system));
  }

  QTemporaryDir dir_;
  std::unique_ptr<TPrinter> platform_;
};

TEST_F(PlatformPrinterTest, ListsThePlatformsPrintersAndTheVirtualOneAndFollowsOneSelection) {
  TfrPrinter printer(platform_.get());
  EXPECT_EQ(printer.Printers(), QStringList({QStringLiteral("Office"), QStringLiteral("Labels"),
                                             TPrinter::PdfPrinterName(), TfrPrinter::VirtualPrinterName()}));
  EXPECT_EQ(printer.VirtualIndex(), 3);
  EXPECT_EQ(printer.PrinterIndex(), 0);
  EXPECT_FALSE(printer.IsVirtual());

  printer.SelectPrinter(1);
  EXPECT_EQ(platform_->PrinterIndex(), 1);
  EXPECT_EQ(printer.PaperCodes(), QList<int>({DMPAPER_A5}));
  // The printer-setup dialog changes the platform's selection; the wrapper follows it.
  platform_->SetPrinterIndex(2);
  EXPECT_EQ(printer.PrinterIndex(), 2);

  printer.SelectPrinter(3);
  EXPECT_TRUE(printer.IsVirtual());
  EXPECT_EQ(printer.PrinterIndex(), 3);
  EXPECT_TRUE(printer.SelectPrinterByName(QStringLiteral("Office")));
  EXPECT_EQ(platform_->PrinterIndex(), 0);
  EXPECT_FALSE(printer.SelectPrinterByName(QStringLiteral("Nowhere")));
  EXPECT_THROW(printer.SelectPrinter(4), EPrinter);
  EXPECT_THROW(printer.SelectPrinter(-1), EPrinter);
}

TEST_F(PlatformPrinterTest, WritesPaperAndOrientationToARealPrinterAndMeasuresIt) {
  TfrPrinter printer(platform_.get());
  printer.ApplyPaper(DMPAPER_A4, 0, 0, frLandscape);
  EXPECT_EQ(platform_->PaperSize(), DMPAPER_A4);
  EXPECT_EQ(platform_->Orientation(), poLandscape);
  EXPECT_EQ(printer.PaperSize(), DMPAPER_A4);
  EXPECT_NEAR(printer.PaperWidth(), 2970, 1);
  EXPECT_NEAR(printer.PaperHeight(), 2100, 1);

  const TfrPrnInfo info = printer.PageMetrics();
  EXPECT_EQ(info.PPgw, platform_->DeviceCaps(PHYSICALWIDTH));
  EXPECT_EQ(info.PPh, platform_->DeviceCaps(VERTRES));
  EXPECT_NEAR(info.PPgw, 3508, 1); // 297 mm at 300 dpi
  EXPECT_EQ(info.Pgw, std::lround(info.PPgw * frUnitsPerInchX / 300));
  EXPECT_EQ(info.Pgh, std::lround(info.PPgh * frUnitsPerInchY / 300));
  EXPECT_EQ(info.Pw, std::lround(info.PPw * frUnitsPerInchX / 300));
}

TEST_F(PlatformPrinterTest, CustomSizesAndPapersThePrinterDoesNotList) {
  TfrPrinter printer(platform_.get());
  printer.ApplyPaper(frCustomPaperSize, 1500, 2000, frPortrait);
  EXPECT_EQ(platform_->PaperSize(), DMPAPER_USER);
  EXPECT_EQ(platform_->PaperWidth(), 1500);
  EXPECT_EQ(platform_->PaperHeight(), 2000);
  EXPECT_NEAR(printer.PaperWidth(), 1500, 1);
  EXPECT_NEAR(printer.PaperHeight(), 2000, 1);

  // A landscape custom page of 2000 x 1500 is a 1500 x 2000 sheet turned.
  printer.ApplyPaper(frCustomPaperSize, 2000, 1500, frLandscape);
  EXPECT_EQ(platform_->PaperWidth(), 1500);
  EXPECT_EQ(platform_->PaperHeight(), 2000);
  EXPECT_EQ(platform_->Orientation(), poLandscape);
  EXPECT_NEAR(printer.PaperWidth(), 2000, 1);

  // A5 is not among this printer's papers: it is asked for by its size.
  printer.ApplyPaper(DMPAPER_A5, 0, 0, frPortrait);
  EXPECT_EQ(platform_->PaperSize(), DMPAPER_USER);
  EXPECT_EQ(platform_->PaperWidth(), 1480);
  EXPECT_EQ(platform_->PaperHeight(), 2100);

  // A printer without custom sizes keeps its own paper.
  printer.SelectPrinter(1);
  printer.ApplyPaper(frCustomPaperSize, 1000, 1000, frPortrait);
  EXPECT_EQ(platform_->PaperSize(), DMPAPER_A5);
}

} // namespace
