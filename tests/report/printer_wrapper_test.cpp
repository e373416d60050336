// The report's printer: the virtual printer's metrics in report units, papers, and the platform's printers
// beside it with one selection.
#include "platform/graphics/printer.h"
#include "report/printer_wrapper.h"
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// "paper widthxheight: sheet Pgw x Pgh, offset Ofx,Ofy, printable Pw x Ph, device PPgw x PPgh".
QString Describe(TfrPrinter &printer) {
  const TfrPrnInfo i = printer.PageMetrics();
  return QString::asprintf("%d %dx%d: %dx%d %d,%d %dx%d %dx%d", printer.PaperSize(), printer.PaperWidth(),
                           printer.PaperHeight(), i.Pgw, i.Pgh, i.Ofx, i.Ofy, i.Pw, i.Ph, i.PPgw, i.PPgh);
}

TEST(VirtualPrinter, PapersInReportUnits) {
  TfrPrinter printer;
  ASSERT_TRUE(printer.IsVirtual());
  // A4: 2100 x 90.998 / 254 wide, 2970 x 91.626 / 254 high, 5 mm margins; no device pixels. A code outside
  // the table keeps its size as a custom paper; without a size it falls back to A4.
  const struct {
    int code, width, height, orientation;
    const char *expected;
  } cases[] = {{9, 0, 0, frPortrait, "9 2100x2970: 752x1071 18,18 716x1035 0x0"},
               {9, 0, 0, frLandscape, "9 2970x2100: 1064x758 18,18 1028x722 0x0"},
               {frCustomPaperSize, 1500, 2000, frPortrait, "256 1500x2000: 537x721 18,18 501x685 0x0"},
               {4711, 1000, 1200, frPortrait, "256 1000x1200: 358x433 18,18 322x397 0x0"},
               {4711, 0, 0, frLandscape, "9 2970x2100: 1064x758 18,18 1028x722 0x0"}};
  for (const auto &c : cases) {
    printer.ApplyPaper(c.code, c.width, c.height, c.orientation);
    EXPECT_EQ(Describe(printer), QString::fromLatin1(c.expected)) << c.code;
  }
  // The same paper: code, orientation and, for a custom paper, its size; none after the paper is forgotten.
  EXPECT_TRUE(printer.SamePaper(9, 1, 2, frLandscape));
  EXPECT_FALSE(printer.SamePaper(9, 2970, 2100, frPortrait));
  printer.ApplyPaper(frCustomPaperSize, 1500, 2000, frPortrait);
  EXPECT_TRUE(printer.SamePaper(frCustomPaperSize, 1500, 2000, frPortrait));
  EXPECT_FALSE(printer.SamePaper(frCustomPaperSize, 1500, 2001, frPortrait));
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
  QString Sheet() const {
    return QString::asprintf("%d %dx%d %s", platform_->PaperSize(), platform_->PaperWidth(),
                             platform_->PaperHeight(),
                             platform_->Orientation() == poLandscape ? "landscape" : "portrait");
  }

  QTemporaryDir dir_;
  std::unique_ptr<TPrinter> platform_;
};

TEST_F(PlatformPrinterTest, ListsThePlatformsPrintersAndTheVirtualOneAndFollowsOneSelection) {
  TfrPrinter printer(platform_.get());
  EXPECT_EQ(printer.Printers(), QStringList({QStringLiteral("Office"), QStringLiteral("Labels"),
                                             TPrinter::PdfPrinterName(), TfrPrinter::VirtualPrinterName()}));
  EXPECT_FALSE(printer.IsVirtual());
  printer.SelectPrinter(1);
  EXPECT_EQ(platform_->PrinterIndex(), 1);
  EXPECT_EQ(printer.PaperCodes(), QList<int>({DMPAPER_A5}));
  // The printer-setup dialog changes the platform's selection; the wrapper follows it.
  platform_->SetPrinterIndex(2);
  EXPECT_EQ(printer.PrinterIndex(), 2);
  printer.SelectPrinter(3);
  EXPECT_TRUE(printer.IsVirtual());
  EXPECT_TRUE(printer.SelectPrinterByName(QStringLiteral("Office")));
  EXPECT_EQ(platform_->PrinterIndex(), 0);
  EXPECT_FALSE(printer.SelectPrinterByName(QStringLiteral("Nowhere")));
  EXPECT_THROW(printer.SelectPrinter(4), EPrinter);
}

TEST_F(PlatformPrinterTest, WritesPaperAndOrientationToARealPrinterAndMeasuresIt) {
  TfrPrinter printer(platform_.get());
  printer.ApplyPaper(DMPAPER_A4, 0, 0, frLandscape);
  EXPECT_EQ(Sheet(), QStringLiteral("9 2100x2970 landscape"));
  EXPECT_NEAR(printer.PaperWidth(), 2970, 1);
  const TfrPrnInfo info = printer.PageMetrics();
  EXPECT_EQ(info.PPgw, platform_->DeviceCaps(PHYSICALWIDTH));
  EXPECT_EQ(info.PPh, platform_->DeviceCaps(VERTRES));
  EXPECT_NEAR(info.PPgw, 3508, 1); // 297 mm at 300 dpi
  EXPECT_EQ(info.Pgh, std::lround(info.PPgh * frUnitsPerInchY / 300));

  // Custom sizes: a landscape custom page of 2000 x 1500 is a 1500 x 2000 sheet turned. A5 is not among this
  // printer's papers: it is asked for by its size. A printer without custom sizes keeps its own paper.
  printer.ApplyPaper(frCustomPaperSize, 1500, 2000, frPortrait);
  EXPECT_EQ(Sheet(), QString("%1 1500x2000 portrait").arg(DMPAPER_USER));
  printer.ApplyPaper(frCustomPaperSize, 2000, 1500, frLandscape);
  EXPECT_EQ(Sheet(), QString("%1 1500x2000 landscape").arg(DMPAPER_USER));
  EXPECT_NEAR(printer.PaperWidth(), 2000, 1);
  printer.ApplyPaper(DMPAPER_A5, 0, 0, frPortrait);
  EXPECT_EQ(Sheet(), QString("%1 1480x2100 portrait").arg(DMPAPER_USER));
  printer.SelectPrinter(1);
  printer.ApplyPaper(frCustomPaperSize, 1000, 1000, frPortrait);
  EXPECT_EQ(platform_->PaperSize(), DMPAPER_A5);
}

} // namespace
