// The shipped invoice templates: each loaded from the shipped Reports table, prepared against seeded INV1,
// INV2, MINV1, MINV2 and CONTROL rows through the data module, printed to PDF and read back with pdftotext.
#include "app/invoice_templates.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/printer.h"
#include "report/engine.h"
#include "report/prepared_pages.h"
#include "report/printer_wrapper.h"
#include "report/report.h"
#include "report/report_hooks.h"
#include "report/variables.h"
#include "tests/app/app_fixture.h"
#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

bool HavePdfToText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

QString RunTool(const QString &tool, const QStringList &arguments) {
  QProcess process;
  process.start(tool, arguments);
  process.waitForFinished(60000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

// A picture as pdfimages lists it: its pixels and its resolution on the page.
struct PdfImage {
  int width = 0, height = 0;
  double xPpi = 0, yPpi = 0;
};

QList<PdfImage> PdfImages(const QString &pdf) {
  QList<PdfImage> images;
  for (const QString &line :
       RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split(u'\n')) {
    const QStringList f = line.simplified().split(u' ');
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    if (f.size() < 14 || !f[0].front().isDigit()) continue;
    images.append({f[3].toInt(), f[4].toInt(), f[12].toDouble(), f[13].toDouble()});
  }
  return images;
}

// The words of each page of a PDF file with their boxes in points, and each page's size.
struct PdfPage {
  QSizeF size;
  QList<std::pair<QString, QRectF>> words;
};

QList<PdfPage> PdfWords(const QString &pdf) {
  QList<PdfPage> pages;
  static const QRegularExpression page(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">")),
      word(QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                          "yMax=\"([\\d.]+)\">(.*)</word>"));
  for (const QString &line :
       RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")})
           .split(u'\n')) {
    if (const auto m = page.match(line); m.hasMatch()) {
      pages.append({QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()), {}});
    } else if (const auto w = word.match(line); w.hasMatch() && !pages.isEmpty()) {
      QString text = w.captured(5);
      text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
          .replace(QStringLiteral("&gt;"), QStringLiteral(">"));
      text.replace(QStringLiteral("&quot;"), QStringLiteral("\""))
          .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
      pages.last().words.append({text, QRectF(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                                              QPointF(w.captured(3).toDouble(), w.captured(4).toDouble()))});
    }
  }
  return pages;
}

// A bitmap file of a picture of that size: a dark badge with a light stripe, at that resolution.
QByteArray LogoFile(int width, int height, int dotsPerMeter, QImage::Format format) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(qRgb(31, 58, 90));
  for (int y = height * 2 / 5; y < height * 3 / 5; ++y)
    for (int x = width / 10; x < width * 9 / 10; ++x) image.setPixel(x, y, qRgb(230, 190, 90));
  image = image.convertToFormat(format);
  if (dotsPerMeter > 0) {
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes;
}

struct InvoiceLine {
  double quantity;
  QString description;
  double price;
};

TShippedSettings CompanySettings() {
  TShippedSettings s;
  s.Company = QStringLiteral("Harbour & Lake Trading Ltd");
  s.Fax = QStringLiteral("023 9200 1235");
  s.TaxPCT = 17.5;
  s.FootNote = QStringLiteral("Payment within 30 days, please. Thank you for your business.");
  return s;
}

const QStringList kCustomer = {
    "Marlow Garden Centre", "Unit 4, Riverside Park", "Station Road", "Marlow", "Buckinghamshire", "SL7 1NX"};

class InvoiceTemplatesTest : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    BindReportPrinter(nullptr);
    Seed(InvoiceTemplates(), CompanySettings());
    StartReportEngine();
    frSetProgressWindowFactory(nullptr);
    Application()->CreateForm(dd);
    ASSERT_NE(dd, nullptr);
    frSetTopLevelComponents([this] { return QList<TComponent *>{dd}; });
    hard = new TComponent(nullptr);
    hard->SetName(QStringLiteral("HARD"));
    report = new TfrReport(hard);
    report->SetName(QStringLiteral("frReport1"));
    ASSERT_TRUE(out.isValid());
    printer = std::make_unique<TPrinter>(std::make_unique<TScriptedPrinterSystem>(out.path()));
    BindReportPrinter(printer.get());
    ReportVariables()->SetVariable(QStringLiteral("CURRSYM"), Variant(QStringLiteral("£")));
  }
  void TearDown() override {
    frSetTopLevelComponents(nullptr);
    if (hard) hard->Free();
    BindReportPrinter(nullptr);
    printer.reset();
    if (ReportEngineStarted()) StopReportEngine();
    AppFolderTest::TearDown();
  }

  // An invoice's header and lines: the invoice being made in INV1 and INV2 (as Create Invoice has them when
  // it prints), or a stored one, made the current MINV1 row so that MINV2 shows its lines.
  void Invoice(int number, const QList<InvoiceLine> &lines,
               std::optional<bool> storedCancelled = std::nullopt) {
    const bool stored = storedCancelled.has_value();
    TDataSet *header = stored ? static_cast<TDataSet *>(dd->MINV1) : dd->INV1;
    TDataSet *table = stored ? static_cast<TDataSet *>(dd->MINV2) : dd->INV2;
    double net = 0;
    for (const InvoiceLine &line : lines) net += line.quantity * line.price;
    header->Open();
    header->Append();
    const char *fields[] = {"CUSTOMER", "ADDR1", "ADDR2", "ADDR3", "ADDR4", "ADDR5"};
    for (int i = 0; i < 6; ++i) header->FieldByName(QLatin1String(fields[i]))->SetAsString(kCustomer[i]);
    header->FieldByName(QStringLiteral("NET"))->SetAsFloat(net);
    header->FieldByName(QStringLiteral("TAX"))->SetAsFloat(net * 17.5 / 100);
    header->FieldByName(QStringLiteral("GROSS"))->SetAsFloat(net + net * 17.5 / 100);
    header->FieldByName(QStringLiteral("InvDATE"))->SetAsDateTime(EncodeDate(2025, 3, 14));
    header->FieldByName(QStringLiteral("InvNUM"))->SetAsFloat(number);
    if (stored) {
      dd->MINV1TYPE->SetAsInteger(1);
      dd->MINV1CANC->SetAsBoolean(*storedCancelled);
      dd->MINV1CUSTNO->SetAsInteger(0);
    }
    header->Post(); // INV1 stays open while the invoice prints, as Create Invoice leaves it
    for (const InvoiceLine &line : lines) {
      table->Append();
      if (stored) dd->MINV2REC->SetAsInteger(dd->MINV1REC->AsInteger());
      table->FieldByName(QStringLiteral("QUANTITY"))->SetAsFloat(line.quantity);
      table->FieldByName(QStringLiteral("DESCRIPTION"))->SetAsString(line.description);
      table->FieldByName(QStringLiteral("ITEMPRICE"))->SetAsFloat(line.price);
      table->FieldByName(QStringLiteral("ITEMTOTAL"))->SetAsFloat(line.quantity * line.price);
      table->Post();
    }
    if (stored)
      ReportVariables()->SetVariable(QStringLiteral("CANCINV"),
                                     Variant(*storedCancelled ? QStringLiteral("CANCELLED") : QString()));
    else
      ReportVariables()->SetVariable(QStringLiteral("SINV"), Variant(number));
    ReportVariables()->SetVariable(QStringLiteral("PREVIEWMARK"), Variant(QString()));
  }

  // Loads template `number` from the Reports table and prepares it; the preparation's error text on failure.
  QString Prepare(int number) {
    dd->REPORTS->Open();
    report->LoadTemplateFromDataset(dd->REPORTS, number);
    dd->REPORTS->Close();
    return report->PrepareReport() ? QString()
                                   : report->ErrorText() + QStringLiteral(" (preparation failed)");
  }
  // Prints the prepared invoice to a PDF file and gives its text, pages apart by form feeds.
  QString Print(const QString &name) {
    const QString pdf = File(name);
    printer->SetPdfFileName(pdf);
    EXPECT_TRUE(report->PrintPreparedReport(QString(), 1));
    QString text = PdfText(pdf, true);
    if (text.endsWith(QChar(12))) text.chop(1);
    return text;
  }
  QString File(const QString &name) const { return out.filePath(name + QStringLiteral(".pdf")); }
  // Sets a field of the settings row.
  void SetControl(TField *field, const QString &text) {
    dd->CONTROL->Edit();
    field->SetAsString(text);
    dd->CONTROL->Post();
  }
  void SetControlLogo(const QByteArray &bitmap) {
    dd->CONTROL->Edit();
    dd->CONTROLLOGO->SetAsBytes(bitmap);
    dd->CONTROL->Post();
  }
  // How many pictures a printed PDF file holds.
  int Pictures(const QString &name) {
    QProcess process;
    process.start(QStringLiteral("pdfimages"),
                  {QStringLiteral("-list"), out.filePath(name + QStringLiteral(".pdf"))});
    process.waitForFinished(60000);
    return int(QString::fromUtf8(process.readAllStandardOutput()).trimmed().split(u'\n').size()) - 2;
  }

  TDD *dd = nullptr;
  TComponent *hard = nullptr;
  TfrReport *report = nullptr;
  QTemporaryDir out;
  std::unique_ptr<TPrinter> printer;
  FormatSettingsGuard formats{FormatSettings::USEnglish()};
};

// The four templates in the shipped database: every build writes the same bytes, whatever the building
// machine's locale.
TEST_F(InvoiceTemplatesTest, TheShippedDatabaseHoldsTheFourTemplatesInTheSameBytesInEveryLocale) {
  const QList<TRow> rows = Records(QStringLiteral("Reports"));
  ASSERT_EQ(rows.size(), 4);
  BindReportPrinter(nullptr); // as the seed tool writes them
  FormatSettings german = FormatSettings::USEnglish();
  german.DecimalSeparator = QLatin1Char(',');
  german.ThousandSeparator = QLatin1Char('.');
  german.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
  for (int n = 1; n <= 4; ++n) {
    EXPECT_EQ(rows[n - 1][0].toInt(), n);
    EXPECT_EQ(rows[n - 1][1].toByteArray(), InvoiceTemplateStream(n)) << n;
    FormatSettingsGuard guard(german);
    EXPECT_EQ(InvoiceTemplateStream(n), rows[n - 1][1].toByteArray()) << n;
  }
}

// The longest texts the fields hold, letters beyond Western Europe's, 60 lines and 12-digit totals: every
// template prints each of them whole, compared with the text pdftotext reads from the golden files in
// tests/app/golden (TALLYROOK_UPDATE_GOLDEN=1 writes them anew, to be looked at before they are kept). They
// also show the headings and page numbers of a second page, the columns of items and services, and the
// cancelled mark only on a re-printed cancelled invoice.
TEST_F(InvoiceTemplatesTest, LongNamesOtherAlphabetsAndBigAmountsPrintWhole) {
  if (!HavePdfToText()) GTEST_SKIP() << "poppler-utils is not installed";
  dd->CONTROL->Edit();
  dd->CONTROLCOMPANY->SetAsString(QStringLiteral("Northern Lights Plumbing and Heating Services Łtd")); // 50
  dd->CONTROLADDRESS->SetAsString(
      QStringLiteral("Unit 14, Ştefan cel Mare Business Park, 221 Wólczańska Street, Łódź 90-001, Poland, "
                     "by the old tram depot opposite the Křižík fountain"));
  dd->CONTROLPHONE->SetAsString(QStringLiteral("+48 42 123 45 67 ext. 890"));
  dd->CONTROLEMAIL->SetAsString(QStringLiteral("accounts.receivable@northern-lights-plumbing.example"));
  dd->CONTROLWEBSITE->SetAsString(QStringLiteral("www.northern-lights-plumbing-and-heating.example"));
  dd->CONTROL->Post();
  ReportVariables()->SetVariable(QStringLiteral("CURRSYM"), Variant(QStringLiteral("CHF")));
  QList<InvoiceLine> lines;
  for (int i = 1; i <= 60; ++i)
    lines.append(
        {double(i % 3 + 1), QStringLiteral("Szczecin ő ş č ź fitting, part %1").arg(i), 1234567890.25});
  Invoice(987654, lines);
  Invoice(987655, lines, true); // and the new-invoice templates do not read the cancelled mark it leaves
  for (TDataSet *header : {static_cast<TDataSet *>(dd->INV1), static_cast<TDataSet *>(dd->MINV1)}) {
    header->Edit();
    header->FieldByName(QStringLiteral("CUSTOMER"))
        ->SetAsString(QStringLiteral("Świętokrzyskie Wholesale Garden Supplies Co-op Łt")); // 50
    header->FieldByName(QStringLiteral("ADDR1"))
        ->SetAsString(QStringLiteral("Building C, Third Floor, Ulica Żeromskiego 1234/56")); // 50
    header->Post();
  }
  const QString golden = QStringLiteral(TALLYROOK_TESTS_DIR "/app/golden");
  for (const int number : {itNewItems, itNewServices, itReprintItems, itReprintServices}) {
    SCOPED_TRACE(number);
    ASSERT_EQ(Prepare(number).toStdString(), "");
    const QString text = Print(QStringLiteral("golden-%1").arg(number));
    QFile file(QDir(golden).filePath(QStringLiteral("invoice-%1.txt").arg(number)));
    if (qEnvironmentVariableIsSet("TALLYROOK_UPDATE_GOLDEN")) {
      ASSERT_TRUE(QDir().mkpath(golden) && file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(text.toUtf8());
      continue;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    EXPECT_EQ(text, QString::fromUtf8(file.readAll()));
  }
}

// A 1000-character description wraps and pushes the following line down; a contact detail left empty leaves
// out its label; a logo prints, and a null logo prints no picture and no error.
TEST_F(InvoiceTemplatesTest, ALongDescriptionTheContactDetailsGivenAndTheLogoAreLaidOut) {
  if (!HavePdfToText()) GTEST_SKIP() << "poppler-utils is not installed";
  QString description;
  while (description.size() < 990) description += QStringLiteral("hardy perennial ");
  description = QStringLiteral("Start ") + description.left(984).trimmed() + QStringLiteral(" End");
  dd->CONTROL->Edit();
  dd->CONTROLFAX->SetAsString(QString());
  dd->CONTROLPHONE->SetAsString(QStringLiteral("0800 'PLANTS' (7526)"));
  dd->CONTROL->Post();
  Invoice(9, {{2, QStringLiteral("Before"), 1}, {1, description, 3}, {1, QStringLiteral("After"), 4}});
  ASSERT_EQ(Prepare(itNewItems).toStdString(), "") << "a null logo";
  const QString page = Print(QStringLiteral("no-logo"));
  EXPECT_EQ(Pictures(QStringLiteral("no-logo")), 0);
  EXPECT_FALSE(page.contains(QChar(12)));
  EXPECT_TRUE(page.contains(QStringLiteral("Phone 0800 'PLANTS' (7526)"))) << page.toStdString();
  EXPECT_FALSE(page.contains(QStringLiteral("Fax"))) << page.toStdString();
  // Every word of the description, on lines of its own between the lines before and after it.
  EXPECT_EQ(page.count(QStringLiteral("perennial")), description.count(QStringLiteral("perennial")));
  const QStringList lines = page.split(u'\n');
  const auto lineWith = [&lines](const QString &text) {
    return lines.indexOf(QRegularExpression(QStringLiteral(".*\\b%1\\b.*").arg(text)));
  };
  const int before = lineWith(QStringLiteral("Before")), start = lineWith(QStringLiteral("Start")),
            end = lineWith(QStringLiteral("End")), after = lineWith(QStringLiteral("After"));
  EXPECT_TRUE(0 <= before && before < start && start + 5 <= end && end < after)
      << before << ' ' << start << ' ' << end << ' ' << after << '\n'
      << page.toStdString();

  // A logo twice as wide as it is high: a dark badge with a light stripe.
  QImage image(240, 120, QImage::Format_RGB32);
  image.fill(qRgb(31, 58, 90));
  for (int y = 50; y < 70; ++y)
    for (int x = 20; x < 220; ++x) image.setPixel(x, y, qRgb(230, 190, 90));
  TBitmap logo;
  logo.SetImage(image);
  dd->CONTROL->Edit();
  dd->CONTROLLOGO->SetAsBytes(logo.SaveToBytes());
  dd->CONTROL->Post();
  ASSERT_EQ(Prepare(itNewItems).toStdString(), "");
  Print(QStringLiteral("logo"));
  EXPECT_EQ(Pictures(QStringLiteral("logo")), 1);
}

// A logo prints in its box with its proportions, whatever its size or resolution, on every template; a large
// one is reduced to the printer's resolution rather than kept whole.
TEST_F(InvoiceTemplatesTest, TheLogoPrintsInItsBoxWithItsProportionsOnEveryTemplate) {
  if (!HavePdfToText()) GTEST_SKIP() << "poppler-utils is not installed";
  Invoice(9, {{2, QStringLiteral("Seed tray"), 1.5}});
  Invoice(9, {{2, QStringLiteral("Seed tray"), 1.5}}, false);
  const struct {
    const char *name;
    int width, height, dotsPerMeter;
    QImage::Format format;
  } logos[] = {{"312x162", 312, 162, 0, QImage::Format_RGB888},
               {"312x162 at 96 dpi", 312, 162, 3780, QImage::Format_RGB888},
               {"4000x3000", 4000, 3000, 2835, QImage::Format_Indexed8}};
  for (const auto &logo : logos) {
    SetControlLogo(LogoFile(logo.width, logo.height, logo.dotsPerMeter, logo.format));
    for (const int number : {itNewItems, itNewServices, itReprintItems, itReprintServices}) {
      SCOPED_TRACE(std::string(logo.name) + ", template " + std::to_string(number));
      ASSERT_EQ(Prepare(number).toStdString(), "");
      const QString name = QStringLiteral("logo-%1").arg(number);
      Print(name);
      const QList<PdfImage> images = PdfImages(File(name));
      ASSERT_EQ(images.size(), 1);
      const PdfImage &image = images[0];
      // Tens to hundreds of pixels an inch: the size of the box, not a dot.
      EXPECT_GE(image.xPpi, 20);
      EXPECT_LE(image.xPpi, 1000);
      const double width = image.width / image.xPpi, height = image.height / image.yPpi;
      EXPECT_NEAR(width / height, double(logo.width) / logo.height, 0.03) << "proportions kept";
      const TfrView *box = report->Pages()[0]->FindView(QStringLiteral("Logo"));
      ASSERT_NE(box, nullptr);
      const double boxWidth = box->Width / frUnitsPerInchX, boxHeight = box->Height / frUnitsPerInchY;
      EXPECT_LE(width, boxWidth + 0.02);
      EXPECT_LE(height, boxHeight + 0.02);
      EXPECT_TRUE(width > boxWidth - 0.03 || height > boxHeight - 0.03)
          << width << " x " << height << " in a box of " << boxWidth << " x " << boxHeight;
    }
  }
}

// The footnote (100 characters) and the company's name (50) print whole wherever they stand: every word of
// each text object that holds one lies inside that object's box, on every page of every template.
TEST_F(InvoiceTemplatesTest, TheFootnoteAndTheCompanyNamePrintWholeInsideTheirBoxes) {
  if (!HavePdfToText()) GTEST_SKIP() << "poppler-utils is not installed";
  const QString footnote = QStringLiteral("PAYMENT DUE WITHIN 14 DAYS, ACCOUNT PL61 1090 1014 0000 0712 "
                                          "1981 2874, SWIFT WBKPPLPP, TEL 6016 133");
  ASSERT_EQ(footnote.size(), 100);
  SetControl(dd->CONTROLFootNote, footnote);
  QList<InvoiceLine> lines;
  for (int i = 1; i <= 40; ++i) lines.append({1, QStringLiteral("Watering can, part %1").arg(i), 4});
  Invoice(77, lines);
  Invoice(77, lines, false);
  // A name of capitals, and one of the widest letter there is.
  for (const QString &company : {QStringLiteral("MAXIMUM WIDTH WHOLESALE & MANUFACTURING COMPANY MW"),
                                 QStringLiteral("WWWWWWWWWW WWWWWWWWW WWWWWWWWW WWWWWWWWW WWWWWWWWW")}) {
    ASSERT_EQ(company.size(), 50);
    SetControl(dd->CONTROLCOMPANY, company);
    for (const int number : {itNewItems, itNewServices, itReprintItems, itReprintServices}) {
      SCOPED_TRACE(company.toStdString() + ", template " + std::to_string(number));
      ASSERT_EQ(Prepare(number).toStdString(), "");
      const QString name = QStringLiteral("whole-%1").arg(number);
      Print(name);
      const QList<PdfPage> pages = PdfWords(File(name));
      TfrEMFPages &prepared = report->EMFPages();
      ASSERT_EQ(pages.size(), prepared.Count());
      ASSERT_GE(pages.size(), 2);
      int checked = 0;
      for (int p = 0; p < prepared.Count(); ++p) {
        prepared.LoadObjects(p);
        const TfrPageInfo &info = prepared[p];
        const double kx = pages[p].size.width() / info.PrnInfo.Pgw,
                     ky = pages[p].size.height() / info.PrnInfo.Pgh;
        for (int i = 0; i < info.Page->ObjectCount(); ++i) {
          const TfrView *view = info.Page->Object(i);
          const QString text = view->Memo.Text().simplified();
          if (!text.contains(footnote) && !text.contains(company)) continue;
          ++checked;
          const QRectF box(view->Left * kx - 1, view->Top * ky - 1.5, view->Width * kx + 2,
                           view->Height * ky + 3);
          // Each word of the text, as often as it comes, among the words printed inside the box.
          QStringList inside;
          for (const auto &[word, where] : pages[p].words)
            if (box.contains(where)) inside << word;
          for (const QString &word : text.split(u' '))
            EXPECT_TRUE(inside.removeOne(word))
                << "page " << p + 1 << ": \"" << word.toStdString() << "\" of \"" << text.toStdString()
                << "\" is not inside its box";
        }
      }
      // The footnote once; the company in the letterhead, at the foot of both pages and over the second.
      EXPECT_EQ(checked, 5);
    }
  }
}

// Letters beyond Latin and Greek print as letters: a Chinese customer's name is in the PDF's text, in a font
// the PDF holds.
TEST_F(InvoiceTemplatesTest, AChineseCustomerNamePrintsInAFontThePdfHolds) {
  if (!HavePdfToText()) GTEST_SKIP() << "poppler-utils is not installed";
  const QString customer = QStringLiteral("大连山田日本贸易有限公司");
  Invoice(31, {{1, QStringLiteral("茶具 tea set"), 12}});
  dd->INV1->Edit();
  dd->INV1->FieldByName(QStringLiteral("CUSTOMER"))->SetAsString(customer);
  dd->INV1->Post();
  ASSERT_EQ(Prepare(itNewItems).toStdString(), "");
  const QString text = Print(QStringLiteral("chinese"));
  EXPECT_TRUE(text.contains(customer)) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("茶具 tea set"))) << text.toStdString();
  QStringList fonts = RunTool(QStringLiteral("pdffonts"), {File(QStringLiteral("chinese"))}).split(u'\n');
  fonts = fonts.mid(2).filter(QRegularExpression(QStringLiteral("\\S")));
  ASSERT_FALSE(fonts.isEmpty());
  bool beyondLatin = false;
  for (const QString &font : fonts) {
    // name type encoding emb sub uni object ID; the type may be two words.
    EXPECT_TRUE(font.contains(QRegularExpression(QStringLiteral(" yes +(yes|no) +(yes|no) +\\d+ +\\d+$"))))
        << "not embedded: " << font.toStdString();
    if (!font.startsWith(QStringLiteral("Liberation")) && !font.startsWith(QStringLiteral("DejaVu")))
      beyondLatin = true;
  }
  EXPECT_TRUE(beyondLatin) << fonts.join(u'\n').toStdString();
}

} // namespace
