#include "platform/graphics/printer.h"
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// Runs a poppler tool on a PDF file and returns what it prints.
QString Poppler(const QString &tool, const QStringList &arguments) {
  const QString program = QStandardPaths::findExecutable(tool);
  if (program.isEmpty()) {
    ADD_FAILURE() << tool.toStdString() << " is not installed (poppler-utils)";
    return QString();
  }
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

QString PageText(const QString &pdf, int page) {
  return Poppler(QStringLiteral("pdftotext"),
                 {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
                  pdf, QStringLiteral("-")})
      .simplified();
}

// The width and height in points of each page, from pdfinfo.
QList<QSizeF> PageSizes(const QString &pdf) {
  const QString info = Poppler(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                           QStringLiteral("-l"), QStringLiteral("99"), pdf});
  QList<QSizeF> sizes;
  static const QRegularExpression line(QStringLiteral("Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts"));
  for (auto it = line.globalMatch(info); it.hasNext();) {
    const auto m = it.next();
    sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
  }
  return sizes;
}

int Pixels(double millimetres, int dpi) { return int(std::lround(millimetres / 25.4 * dpi)); }

// Qt keeps page geometry in whole points: device pixels may differ by up to half a point.
double PointTolerance(int dpi) { return dpi / 72.0 / 2 + 1; }

std::unique_ptr<TScriptedPrinterSystem> TwoPrinters(const QString &folder) {
  auto system = std::make_unique<TScriptedPrinterSystem>(folder);
  TPrinterDescription office;
  office.name = QStringLiteral("Office Laser");
  office.papers = {*StandardPaper(DMPAPER_LETTER), *StandardPaper(DMPAPER_A4), *StandardPaper(DMPAPER_A5)};
  office.defaultPaper = DMPAPER_A4;
  office.customPaper = false;
  office.minimumMargins = QMarginsF(5, 4, 5, 6);
  office.resolution = 600;
  TPrinterDescription labels;
  labels.name = QStringLiteral("Label Writer");
  labels.papers = {*StandardPaper(DMPAPER_A5)};
  labels.defaultPaper = DMPAPER_A5;
  labels.customPaper = true;
  labels.resolution = 300;
  system->AddPrinter(office);
  system->AddPrinter(labels);
  system->SetDefaultPrinter(QStringLiteral("Label Writer"));
  return system;
}

TEST(PrinterList, ThePdfPrinterIsAlwaysThereLast) {
  const QStringList printers = Printer()->Printers();
  ASSERT_FALSE(printers.isEmpty());
  EXPECT_EQ(printers.last(), QStringLiteral("PDF file"));
  Printer()->SetPrinterIndex(0);
  FreePrinter(); // as at shut-down: a new one starts afresh
  EXPECT_EQ(Printer()->PrinterName(), Printer()->Printers().value(Printer()->PrinterIndex()));

  QTemporaryDir dir;
  TPrinter printer(TwoPrinters(dir.path()));
  EXPECT_EQ(printer.Printers(), QStringList({QStringLiteral("Office Laser"), QStringLiteral("Label Writer"),
                                             QStringLiteral("PDF file")}));
  EXPECT_EQ(printer.PrinterIndex(), 1) << "the system's default printer";
  printer.SetPrinterIndex(0);
  printer.SetPrinterIndex(-1);
  EXPECT_EQ(printer.PrinterIndex(), 1);
  EXPECT_THROW(printer.SetPrinterIndex(3), EPrinter);

  // Without printers only the PDF printer is left, and it is selected.
  TPrinter lonely(std::make_unique<TScriptedPrinterSystem>(dir.path()));
  EXPECT_EQ(lonely.Printers(), QStringList(QStringLiteral("PDF file")));
  EXPECT_TRUE(lonely.IsPdfPrinter());
}

TEST(PrinterPaper, PapersSizesAndPageMetricsFollowThePrinter) {
  QTemporaryDir dir;
  TPrinter printer(TwoPrinters(dir.path()));
  printer.SetPrinterIndex(0);
  const QList<TPaperInfo> papers = printer.Papers();
  EXPECT_EQ(papers.value(0), (TPaperInfo{DMPAPER_LETTER, papers[0].name, 2159, 2794}));
  EXPECT_EQ(printer.PaperSize(), DMPAPER_A4);

  // A4 at 600 dpi with margins of 5, 4, 5 and 6 mm.
  const double tolerance = PointTolerance(600);
  EXPECT_NEAR(printer.DeviceCaps(PHYSICALWIDTH), Pixels(210, 600), tolerance);
  EXPECT_NEAR(printer.DeviceCaps(PHYSICALOFFSETY), Pixels(4, 600), tolerance);
  EXPECT_NEAR(printer.PageHeight(), Pixels(287, 600), 2 * tolerance);
  EXPECT_NEAR(printer.DeviceCaps(HORZSIZE), 200, 1);

  printer.SetOrientation(poLandscape);
  EXPECT_NEAR(printer.DeviceCaps(PHYSICALWIDTH), Pixels(297, 600), tolerance);
  EXPECT_EQ(printer.PaperWidth(), 2100) << "paper sizes stay portrait";
  printer.SetOrientation(poPortrait);

  EXPECT_THROW(printer.SetPaperSize(DMPAPER_A3), EPrinter) << "a paper this printer does not have";
  EXPECT_THROW(printer.SetCustomPaperSize(1000, 500), EPrinter) << "no custom sizes on this printer";

  // Another printer comes with its own default paper, in portrait.
  printer.SetOrientation(poLandscape);
  printer.SetPrinterIndex(1);
  EXPECT_EQ(printer.PaperSize(), DMPAPER_A5);
  EXPECT_EQ(printer.Orientation(), poPortrait);
  printer.SetCustomPaperSize(1000, 500);
  EXPECT_EQ(printer.PaperSize(), DMPAPER_USER);
  EXPECT_NEAR(printer.DeviceCaps(PHYSICALHEIGHT), Pixels(50, 300), PointTolerance(300));
  EXPECT_THROW(printer.SetCustomPaperSize(0, 500), EPrinter);

  // The PDF printer has every standard paper and no unprintable margin.
  printer.SetPrinterIndex(2);
  EXPECT_GE(printer.Papers().size(), 40);
  printer.SetPaperSize(DMPAPER_A4);
  EXPECT_EQ(printer.DeviceCaps(PHYSICALOFFSETX), 0);
}

TEST(PrinterJob, PagesPrintedToThePdfPrinterReadBackAndChangesApplyFromTheNextPage) {
  QTemporaryDir dir;
  TPrinter printer(std::make_unique<TScriptedPrinterSystem>(dir.path()));
  printer.SetPdfFileName(dir.filePath(QStringLiteral("invoice.pdf")));
  printer.SetPaperSize(DMPAPER_A4);
  printer.BeginDoc();
  printer.Canvas()->Font()->SetSize(12);
  EXPECT_EQ(printer.Canvas()->Font()->Height(), -100) << "12 points at 600 dpi";
  printer.Canvas()->TextOut(300, 300, QStringLiteral("Invoice number 1001"));
  printer.SetOrientation(poLandscape);
  printer.NewPage();
  printer.Canvas()->TextOut(300, 300, QStringLiteral("Total due 250.00"));
  printer.EndDoc();

  const QString file = printer.OutputFileName(), first = PageText(file, 1);
  EXPECT_TRUE(first.contains(QStringLiteral("Invoice number 1001")) &&
              !first.contains(QStringLiteral("Total")))
      << first.toStdString();
  EXPECT_TRUE(PageText(file, 2).contains(QStringLiteral("Total due 250.00")));
  const QList<QSizeF> sizes = PageSizes(file);
  ASSERT_EQ(sizes.size(), 2);
  EXPECT_NEAR(sizes[0].width(), 595.3, 1.0); // A4 in points, then in landscape
  EXPECT_NEAR(sizes[1].width(), 841.9, 1.0);
}

TEST(PrinterJob, JobsOnAScriptedPrinterAndTheRulesOfAJob) {
  QTemporaryDir dir;
  auto system = TwoPrinters(dir.path());
  TScriptedPrinterSystem *scripted = system.get();
  TPrinter printer(std::move(system));
  printer.SetPrinterIndex(0);
  printer.SetTitle(QStringLiteral("Statement"));

  // Between jobs the canvas measures for the printer but does not draw.
  printer.Canvas()->Font()->SetSize(10);
  TCanvas screen;
  screen.Font()->SetSize(10);
  EXPECT_NEAR(double(printer.Canvas()->TextWidth(QStringLiteral("Quantity"))) /
                  screen.TextWidth(QStringLiteral("Quantity")),
              600.0 / 96.0, 0.1);
  EXPECT_THROW(printer.Canvas()->TextOut(0, 0, QStringLiteral("x")), EInvalidOperation);
  EXPECT_THROW(printer.NewPage(), EPrinter);

  printer.BeginDoc();
  EXPECT_THROW(printer.SetPrinterIndex(1), EPrinter) << "the printer stays while printing";
  printer.Canvas()->TextOut(0, 0, QStringLiteral("Statement of account"));
  printer.EndDoc();
  ASSERT_EQ(scripted->Jobs().size(), 1);
  EXPECT_TRUE(PageText(scripted->Jobs()[0], 1).contains(QStringLiteral("Statement of account")));

  // An aborted job leaves nothing behind.
  printer.SetPrinterIndex(2);
  const QString file = dir.filePath(QStringLiteral("aborted.pdf"));
  printer.SetPdfFileName(file);
  printer.BeginDoc();
  printer.Canvas()->TextOut(0, 0, QStringLiteral("never"));
  printer.Abort();
  EXPECT_TRUE(printer.Aborted());
  EXPECT_FALSE(QFileInfo::exists(file));

  // A PDF file that cannot be written is reported, not printed to silently.
  printer.SetPdfFileName(QStringLiteral("/proc/no-such-place/x.pdf"));
  EXPECT_THROW(printer.BeginDoc(), EPrinter);
  EXPECT_FALSE(printer.Printing());
}

// A PDF file name is the user's choice for one job: the job after needs a choice of its own, and a name in a
// folder that is not there is refused without making the folder. The earlier file is never written again.
TEST(PrinterJob, APdfFileNameServesOneJobAndOnlyInAFolderThatExists) {
  QTemporaryDir dir;
  TPrinter printer(std::make_unique<TScriptedPrinterSystem>(dir.path()));
  ASSERT_TRUE(printer.IsPdfPrinter());
  const QString file = dir.filePath(QStringLiteral("invoice 1042.pdf"));
  printer.SetPdfFileName(file);
  printer.BeginDoc();
  EXPECT_EQ(printer.PdfFileName(), QString()) << "taken by the job";
  printer.Canvas()->TextOut(300, 300, QStringLiteral("Invoice 1042"));
  printer.EndDoc();
  EXPECT_EQ(printer.OutputFileName(), file);
  const QString printed = PageText(file, 1);
  EXPECT_TRUE(printed.contains(QStringLiteral("Invoice 1042"))) << printed.toStdString();
  const qint64 size = QFileInfo(file).size();

  const struct {
    QString name;
    const char *message;
  } refused[] = {{QString(), "No file was chosen for the PDF"},
                 {dir.filePath(QStringLiteral("missing/invoice.pdf")), "its folder does not exist"},
                 {QStringLiteral("invoice.pdf"), "its folder does not exist"}};
  for (const auto &c : refused) {
    printer.SetPdfFileName(c.name);
    try {
      printer.BeginDoc();
      ADD_FAILURE() << "a job began on \"" << c.name.toStdString() << '"';
      printer.Abort();
    } catch (const EPrinter &e) {
      EXPECT_TRUE(e.Message().contains(QLatin1String(c.message))) << e.Message().toStdString();
    }
    EXPECT_FALSE(printer.Printing());
  }
  EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));
  EXPECT_EQ(QFileInfo(file).size(), size);
  EXPECT_EQ(PageText(file, 1), printed);
}

} // namespace
