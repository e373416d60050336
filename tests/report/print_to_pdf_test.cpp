// A prepared page printed through the platform's PDF printer, read back with pdftotext and pdftoppm.
#include "platform/graphics/printer.h"
#include "report/band_view.h"
#include "report/memo_view.h"
#include "report/prepared_pages.h"
#include "report/shape_view.h"
#include "tests/report/ui_pages_fixture.h"
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using test::RunTool;

class PrintToPdfTest : public test::ReportModelTest {};

TEST_F(PrintToPdfTest, APagePrintedToPdfHoldsItsLaidOutLinesAndFilledShapes) {
  if (!test::HavePoppler()) GTEST_SKIP() << "poppler-utils is not installed";
  QTemporaryDir dir;
  TPrinter printer(std::make_unique<TScriptedPrinterSystem>(dir.path()));
  ASSERT_TRUE(printer.IsPdfPrinter());
  const QString pdf = dir.filePath(QStringLiteral("invoice.pdf"));
  printer.SetPdfFileName(pdf);
  BindReportPrinter(&printer);

  TfrPage page;
  page.ChangePaper(frDefaultPaperSize, 0, 0, frPortrait);
  ASSERT_GT(page.PrnInfo.PPgw, 0);
  TfrEMFPages pages;
  pages.Add(&page);
  TMemoryStream *stream = pages[0].Stream.get();

  test::PreparedPagesBuilder builder;
  // A paragraph that wraps inside its object: the printed lines must be the lines laid out for it.
  builder.Text(pages, 40, 100, 260, 120,
               QStringLiteral("Thank you for your order. Payment is due within thirty days of the invoice "
                              "date; please quote the invoice number with your payment."),
               10, 0, frtaWidth, clNone, frbAll);
  TfrShapeView triangle;
  triangle.Left = 400;
  triangle.Top = 200;
  triangle.Width = 200;
  triangle.Height = 150;
  triangle.ShapeType = skTriangle;
  triangle.FillColor = clRed;
  triangle.PrintToStream(stream);

  printer.SetTitle(QStringLiteral("Invoice"));
  printer.BeginDoc();
  const TfrPrnInfo &info = pages[0].PrnInfo;
  pages[0].Visible = true;
  pages.Draw(0, printer.Canvas(), Rect(-info.POfx, -info.POfy, info.PPgw - info.POfx, info.PPgh - info.POfy));
  // The objects drawn kept their laid-out lines.
  const QList<TfrTextLine> laidOut = frDecodeWrappedText(pages[0].Page->Object(0)->Memo1);
  pages[0].Visible = false;
  pages.Draw(0, printer.Canvas(), TRect{});
  printer.EndDoc();
  BindReportPrinter(nullptr);
  ASSERT_TRUE(QFileInfo(pdf).size() > 0);

  ASSERT_GE(laidOut.size(), 3);
  const QString raw =
      RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
  qsizetype from = 0;
  for (const TfrTextLine &line : laidOut) {
    // Each laid-out line is on paper, in order, with its words (justified lines are drawn word by word).
    const QString firstWord = line.Text.section(QLatin1Char(' '), 0, 0);
    const qsizetype at = raw.indexOf(firstWord, from);
    EXPECT_GE(at, 0) << line.Text.toStdString() << "\n" << raw.toStdString();
    if (at >= 0) from = at + firstWord.size();
  }

  // The triangle is filled on paper (a PDF page cannot be flood-filled).
  const QString png = dir.filePath(QStringLiteral("page"));
  RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
                                       QStringLiteral("-singlefile"), pdf, png});
  QImage image(png + QStringLiteral(".png"));
  ASSERT_FALSE(image.isNull());
  const double k = image.width() / double(info.Pgw);
  const QColor inside = image.pixelColor(int(500 * k), int(320 * k));
  EXPECT_GT(inside.red(), 200);
  EXPECT_LT(inside.green(), 60);
  const QColor outside = image.pixelColor(int(420 * k), int(210 * k));
  EXPECT_GT(outside.green(), 200);
}

} // namespace
