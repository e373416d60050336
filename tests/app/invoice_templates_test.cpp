// The shipped invoice templates: each loaded from the shipped Reports table, prepared against seeded INV1,
// INV2, MINV1, MINV2 and CONTROL rows through the data module, printed to PDF and read back with pdftotext.
// Set TALLYROOK_KEEP_INVOICES to a folder to keep the printed invoices there for a look.
#include "app/invoice_templates.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/printer.h"
#include "report/engine.h"
#include "report/memo_view.h"
#include "report/picture_view.h"
#include "report/printer_wrapper.h"
#include "report/report.h"
#include "report/report_hooks.h"
#include "report/text_layout.h"
#include "report/variables.h"
#include "report/xml_export.h"
#include "tests/app/app_fixture.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace {

QString RunTool(const QString &program, const QStringList &arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(60000) || process.exitCode() != 0) return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

bool HavePdfToText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

struct InvoiceLine {
  double quantity;
  QString description;
  double price;
};

TShippedSettings CompanySettings() {
  TShippedSettings s;
  s.Company = QStringLiteral("Harbour & Lake Trading Ltd");
  s.Address = QStringLiteral("12 Quay Street, Portsmouth PO1 2AB");
  s.Phone = QStringLiteral("023 9200 1234");
  s.Fax = QStringLiteral("023 9200 1235");
  s.Email = QStringLiteral("accounts@harbourlake.example");
  s.Website = QStringLiteral("www.harbourlake.example");
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
    ASSERT_EQ(SeedDataFolder(data.path(), InvoiceTemplates(), CompanySettings()).Outcome,
              TSeedOutcome::Created);
    StartReportEngine();
    frSetProgressWindowFactory(nullptr);
    Application()->CreateForm(dd);
    ASSERT_NE(dd, nullptr);
    frSetTopLevelComponents([this] { return QList<TComponent *>{dd}; });
    hard = new TComponent(nullptr);
    hard->SetName(QStringLiteral("HARD"));
    report = new TfrReport(hard);
    report->SetName(QStringLiteral("frReport1"));
    report->Title = QStringLiteral("Tallyrook Document");
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

  // The invoice being made: INV1's one row and INV2's lines, as Create Invoice has them when it prints.
  void NewInvoice(int number, const QList<InvoiceLine> &lines) {
    double net = 0;
    for (const InvoiceLine &line : lines) {
      dd->INV2->Append();
      dd->INV2QUANTITY->SetAsFloat(line.quantity);
      dd->INV2DESCRIPTION->SetAsString(line.description);
      dd->INV2ITEMPRICE->SetAsFloat(line.price);
      dd->INV2ITEMTOTAL->SetAsFloat(line.quantity * line.price);
      dd->INV2->Post();
      net += line.quantity * line.price;
    }
    dd->INV1->Open();
    while (!dd->INV1->IsEmpty()) dd->INV1->Delete();
    dd->INV1->Append();
    SetHeader(dd->INV1, net);
    dd->INV1->FieldByName(QStringLiteral("InvNUM"))->SetAsFloat(number);
    dd->INV1->Post(); // INV1 stays open while the invoice prints, as Create Invoice leaves it
    ReportVariables()->SetVariable(QStringLiteral("SINV"), Variant(number));
    ReportVariables()->SetVariable(QStringLiteral("PREVIEWMARK"), Variant(QString()));
  }

  // A stored invoice, made the current MINV1 row so that MINV2 shows its lines.
  void StoredInvoice(int number, bool cancelled, const QList<InvoiceLine> &lines) {
    double net = 0;
    for (const InvoiceLine &line : lines) net += line.quantity * line.price;
    dd->MINV1->Append();
    dd->MINV1TYPE->SetAsInteger(1);
    dd->MINV1CANC->SetAsBoolean(cancelled);
    dd->MINV1CUSTNO->SetAsInteger(0);
    SetHeader(dd->MINV1, net);
    dd->MINV1InvNUM->SetAsFloat(number);
    dd->MINV1->Post();
    const int rec = dd->MINV1REC->AsInteger();
    for (const InvoiceLine &line : lines) {
      dd->MINV2->Append();
      dd->MINV2REC->SetAsInteger(rec);
      dd->MINV2QUANTITY->SetAsFloat(line.quantity);
      dd->MINV2DESCRIPTION->SetAsString(line.description);
      dd->MINV2ITEMPRICE->SetAsFloat(line.price);
      dd->MINV2ITEMTOTAL->SetAsFloat(line.quantity * line.price);
      dd->MINV2->Post();
    }
    ReportVariables()->SetVariable(QStringLiteral("CANCINV"),
                                   Variant(cancelled ? QStringLiteral("CANCELLED") : QString()));
  }

  static void SetHeader(TDataSet *header, double net) {
    const char *fields[] = {"CUSTOMER", "ADDR1", "ADDR2", "ADDR3", "ADDR4", "ADDR5"};
    for (int i = 0; i < 6; ++i) header->FieldByName(QLatin1String(fields[i]))->SetAsString(kCustomer[i]);
    const double tax = net * 17.5 / 100;
    header->FieldByName(QStringLiteral("NET"))->SetAsFloat(net);
    header->FieldByName(QStringLiteral("TAX"))->SetAsFloat(tax);
    header->FieldByName(QStringLiteral("GROSS"))->SetAsFloat(net + tax);
    header->FieldByName(QStringLiteral("InvDATE"))->SetAsDateTime(EncodeDate(2025, 3, 14));
  }

  // Loads template `number` from the Reports table and prepares it; the preparation's error text on failure.
  QString Prepare(int number) {
    dd->REPORTS->Open();
    report->LoadTemplateFromDataset(dd->REPORTS, number);
    dd->REPORTS->Close();
    return report->PrepareReport() ? QString()
                                   : report->ErrorText() + QStringLiteral(" (preparation failed)");
  }

  // Prints the prepared invoice to a PDF file and gives the text of each page.
  QStringList Print(const QString &name) {
    const QString pdf = out.filePath(name + QStringLiteral(".pdf"));
    printer->SetPdfFileName(pdf);
    EXPECT_TRUE(report->PrintPreparedReport(QString(), 1));
    if (const QString keep = qEnvironmentVariable("TALLYROOK_KEEP_INVOICES"); !keep.isEmpty()) {
      QDir().mkpath(keep);
      QFile::remove(QDir(keep).filePath(name + QStringLiteral(".pdf")));
      QFile::copy(pdf, QDir(keep).filePath(name + QStringLiteral(".pdf")));
    }
    const QString text =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QStringList pages = text.split(QChar(12));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
  }

  // Every text the invoice must show on its first page, whatever the template.
  static void ExpectInvoiceBasics(const QString &page, const QString &number) {
    const QStringList expected = {QStringLiteral("INVOICE"),
                                  number,
                                  QStringLiteral("3/14/2025"),
                                  QStringLiteral("Harbour & Lake Trading Ltd"),
                                  QStringLiteral("12 Quay Street, Portsmouth PO1 2AB"),
                                  QStringLiteral("023 9200 1234"),
                                  QStringLiteral("023 9200 1235"),
                                  QStringLiteral("accounts@harbourlake.example"),
                                  QStringLiteral("www.harbourlake.example"),
                                  QStringLiteral("Payment within 30 days, please."),
                                  QStringLiteral("Page 1 of 1")};
    for (const QString &text : expected)
      EXPECT_TRUE(page.contains(text)) << text.toStdString() << "\n" << page.toStdString();
    for (const QString &line : kCustomer)
      EXPECT_TRUE(page.contains(line)) << line.toStdString() << "\n" << page.toStdString();
  }

  // The net, tax and gross of one line of 10.00 at 17.5 %, each after the currency symbol.
  static void ExpectTotalsOfTen(const QString &page) {
    for (const char *total : {"Net amount £ 10.00", "Tax £ 1.75", "Total due £ 11.75"})
      EXPECT_TRUE(page.simplified().contains(QString::fromUtf8(total))) << total << "\n"
                                                                        << page.toStdString();
  }

  TDD *dd = nullptr;
  TComponent *hard = nullptr;
  TfrReport *report = nullptr;
  QTemporaryDir out;
  std::unique_ptr<TPrinter> printer;
  FormatSettingsGuard formats{FormatSettings::USEnglish()};
};

const QList<InvoiceLine> kOneLine = {{1, QStringLiteral("Garden design consultation"), 10.00}};

TEST_F(InvoiceTemplatesTest, TheShippedDatabaseHoldsTheFourTemplatesAndEveryBuildWritesTheSameBytes) {
  const QList<QList<QVariant>> rows = Records(QStringLiteral("Reports"));
  ASSERT_EQ(rows.size(), 4);
  BindReportPrinter(nullptr); // as the seed tool writes them
  for (int n = 1; n <= 4; ++n) {
    EXPECT_EQ(rows[n - 1][0].toInt(), n);
    EXPECT_EQ(rows[n - 1][1].toByteArray(), InvoiceTemplateStream(n)) << n;
    EXPECT_FALSE(rows[n - 1][3].toString().isEmpty());
  }
  // Two seeds of fresh folders are identical files.
  QTemporaryDir a, b;
  ASSERT_EQ(SeedDataFolder(a.path(), InvoiceTemplates()).Outcome, TSeedOutcome::Created);
  ASSERT_EQ(SeedDataFolder(b.path(), InvoiceTemplates()).Outcome, TSeedOutcome::Created);
  QFile fa(QDir(a.path()).filePath(QStringLiteral("tallyrook.db")));
  QFile fb(QDir(b.path()).filePath(QStringLiteral("tallyrook.db")));
  ASSERT_TRUE(fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly));
  EXPECT_TRUE(fa.readAll() == fb.readAll());
  EXPECT_THROW(InvoiceTemplateStream(5), ERangeError);
  // Nor does the building machine's locale change a byte.
  FormatSettings german = FormatSettings::USEnglish();
  german.DecimalSeparator = QLatin1Char(',');
  german.ThousandSeparator = QLatin1Char('.');
  german.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
  FormatSettingsGuard guard(german);
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(InvoiceTemplateStream(n), rows[n - 1][1].toByteArray()) << n;
}

TEST_F(InvoiceTemplatesTest, NewInvoicesShowEverythingAndNeverTheCancelledMark) {
  if (!HavePdfToText()) GTEST_SKIP() << "poppler-utils is not installed";
  // Left from re-printing a cancelled invoice: the new-invoice templates do not read it.
  ReportVariables()->SetVariable(QStringLiteral("CANCINV"), Variant(QStringLiteral("CANCELLED")));
  NewInvoice(1234, kOneLine);
  for (const int number : {itNewItems, itNewServices}) {
    SCOPED_TRACE(number);
    ASSERT_EQ(Prepare(number).toStdString(), "");
    const QStringList pages = Print(QStringLiteral("new-%1").arg(number));
    ASSERT_EQ(pages.size(), 1);
    ExpectInvoiceBasics(pages[0], QStringLiteral("1234"));
    ExpectTotalsOfTen(pages[0]);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Garden design consultation")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("CANCELLED")));
    // Only the items template has the quantity column.
    EXPECT_EQ(pages[0].contains(QStringLiteral("Qty")), number == itNewItems) << pages[0].toStdString();
  }
}

TEST_F(InvoiceTemplatesTest, ReprintsShowTheStoredInvoiceAndTheCancelledMarkWhenItIsCancelled) {
  if (!HavePdfToText()) GTEST_SKIP() << "poppler-utils is not installed";
  for (const bool cancelled : {true, false}) {
    StoredInvoice(cancelled ? 77 : 78, cancelled, kOneLine);
    for (const int number : {itReprintItems, itReprintServices}) {
      SCOPED_TRACE(QStringLiteral("template %1, cancelled %2").arg(number).arg(cancelled).toStdString());
      ASSERT_EQ(Prepare(number).toStdString(), "");
      const QStringList pages = Print(QStringLiteral("reprint-%1-%2").arg(number).arg(cancelled));
      ASSERT_EQ(pages.size(), 1);
      ExpectInvoiceBasics(pages[0], cancelled ? QStringLiteral("77") : QStringLiteral("78"));
      ExpectTotalsOfTen(pages[0]);
      EXPECT_EQ(pages[0].contains(QStringLiteral("CANCELLED")), cancelled) << pages[0].toStdString();
      EXPECT_EQ(pages[0].contains(QStringLiteral("Qty")), number == itReprintItems);
    }
  }
}

TEST_F(InvoiceTemplatesTest, ALongInvoiceRepeatsItsHeadingsAndCountsItsPages) {
  if (!HavePdfToText()) GTEST_SKIP() << "poppler-utils is not installed";
  QList<InvoiceLine> lines;
  for (int i = 1; i <= 60; ++i)
    lines.append(
        {double(i % 4 + 1), QStringLiteral("Bedding plants, tray %1").arg(i, 2, 10, QLatin1Char('0')), 2.5});
  NewInvoice(500, lines);
  StoredInvoice(501, false, lines);
  for (const int number : {itNewItems, itNewServices, itReprintItems, itReprintServices}) {
    SCOPED_TRACE(number);
    ASSERT_EQ(Prepare(number).toStdString(), "");
    const QStringList pages = Print(QStringLiteral("long-%1").arg(number));
    ASSERT_GE(pages.size(), 2);
    QString all;
    for (int p = 0; p < pages.size(); ++p) {
      EXPECT_TRUE(pages[p].contains(QStringLiteral("Description"))) << p;
      // A service's price is its amount: only the items templates have a unit price column.
      EXPECT_EQ(pages[p].contains(QStringLiteral("Unit price")),
                number == itNewItems || number == itReprintItems)
          << p;
      EXPECT_TRUE(pages[p].contains(QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages.size()))) << p;
      EXPECT_TRUE(pages[p].contains(QStringLiteral("Payment within 30 days, please."))) << p;
      EXPECT_EQ(pages[p].contains(QStringLiteral("Total due")), p == pages.size() - 1) << p;
      EXPECT_EQ(pages[p].contains(QStringLiteral("(continued)")), p > 0) << p;
      all += pages[p];
    }
    for (int i = 1; i <= 60; ++i)
      EXPECT_EQ(all.count(QStringLiteral("Bedding plants, tray %1").arg(i, 2, 10, QLatin1Char('0'))), 1) << i;
  }
}

// The longest texts the fields hold, letters beyond Western Europe's, 60 lines and 12-digit totals: every
// template prints each of them whole, compared with the text pdftotext reads from the golden files in
// tests/app/golden (TALLYROOK_UPDATE_GOLDEN=1 writes them anew, to be looked at before they are kept).
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
  NewInvoice(987654, lines);
  StoredInvoice(987655, true, lines);
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
    const QString text = Print(QStringLiteral("golden-%1").arg(number)).join(QChar(12));
    QFile file(QDir(golden).filePath(QStringLiteral("invoice-%1.txt").arg(number)));
    if (qEnvironmentVariableIsSet("TALLYROOK_UPDATE_GOLDEN")) {
      QDir().mkpath(golden);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(text.toUtf8());
      continue;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    EXPECT_EQ(text, QString::fromUtf8(file.readAll()));
  }
}

// The prepared text objects of a page: their place and their text.
struct PlacedText {
  int top, height;
  QString text;
};

QList<PlacedText> PlacedTexts(TfrReport *report, int index) {
  TfrEMFPages &pages = report->EMFPages();
  pages.LoadObjects(index);
  QList<PlacedText> texts;
  const TfrPage *page = pages[index].Page.get();
  for (int i = 0; i < page->ObjectCount(); ++i) {
    if (page->Object(i)->Typ != gtMemo) continue;
    const TStrings &memo = page->Object(i)->Memo;
    QString text;
    if (frIsWrappedText(memo)) {
      for (const TfrTextLine &line : frDecodeWrappedText(memo)) text += line.Text + QLatin1Char(' ');
    } else {
      text = memo.Text();
    }
    texts.append({page->Object(i)->Top, page->Object(i)->Height, text.simplified()});
  }
  return texts;
}

TEST_F(InvoiceTemplatesTest, ALongDescriptionWrapsAndPushesTheFollowingLinesDown) {
  QString description;
  while (description.size() < 990) description += QStringLiteral("hardy perennial ");
  description = QStringLiteral("Start ") + description.left(984).trimmed() + QStringLiteral(" End");
  ASSERT_LE(description.size(), 1000);
  NewInvoice(9, {{2, QStringLiteral("Before"), 1}, {1, description, 3}, {1, QStringLiteral("After"), 4}});
  ASSERT_EQ(Prepare(itNewItems).toStdString(), "");
  const QList<PlacedText> texts = PlacedTexts(report, 0);
  const auto find = [&texts](const QString &start) {
    for (const PlacedText &t : texts)
      if (t.text.startsWith(start)) return t;
    return PlacedText{-1, 0, QString()};
  };
  const PlacedText before = find(QStringLiteral("Before")), longOne = find(QStringLiteral("Start hardy")),
                   after = find(QStringLiteral("After"));
  ASSERT_GE(longOne.top, 0);
  EXPECT_TRUE(longOne.text.endsWith(QLatin1String("End"))) << "the whole description is on the page";
  EXPECT_EQ(longOne.text.size(), description.size());
  EXPECT_GT(longOne.height, 5 * 14) << "many lines tall";
  EXPECT_GE(longOne.top, before.top + before.height);
  EXPECT_GE(after.top, longOne.top + longOne.height);
  if (HavePdfToText()) {
    EXPECT_EQ(Print(QStringLiteral("long-description")).size(), 1);
  }
}

TEST_F(InvoiceTemplatesTest, AContactDetailLeftEmptyLeavesOutItsLabelAndOthersPrintAsTheyAre) {
  if (!HavePdfToText()) GTEST_SKIP() << "poppler-utils is not installed";
  dd->CONTROL->Edit();
  dd->CONTROLFAX->SetAsString(QString());
  dd->CONTROLPHONE->SetAsString(QStringLiteral("0800 'PLANTS' (7526)"));
  dd->CONTROL->Post();
  NewInvoice(4, kOneLine);
  ASSERT_EQ(Prepare(itNewServices).toStdString(), "");
  const QStringList pages = Print(QStringLiteral("no-fax"));
  ASSERT_EQ(pages.size(), 1);
  EXPECT_TRUE(pages[0].contains(QStringLiteral("Phone 0800 'PLANTS' (7526)"))) << pages[0].toStdString();
  EXPECT_FALSE(pages[0].contains(QStringLiteral("Fax"))) << pages[0].toStdString();
}

TEST_F(InvoiceTemplatesTest, ALogoPrintsAndANullLogoPrintsNoPictureAndNoError) {
  NewInvoice(3, kOneLine);
  ASSERT_EQ(Prepare(itNewItems).toStdString(), "") << "a null logo";
  const auto pictures = [this] {
    TfrEMFPages &pages = report->EMFPages();
    pages.LoadObjects(0);
    int withGraphic = 0;
    const TfrPage *page = pages[0].Page.get();
    for (int i = 0; i < page->ObjectCount(); ++i)
      if (auto *picture = dynamic_cast<TfrPictureView *>(page->Object(i));
          picture && !picture->Picture.Empty())
        ++withGraphic;
    return withGraphic;
  };
  EXPECT_EQ(pictures(), 0);

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
  if (HavePdfToText()) {
    EXPECT_EQ(Print(QStringLiteral("logo")).size(), 1);
  }
  EXPECT_EQ(pictures(), 1);
}

TEST_F(InvoiceTemplatesTest, EveryTemplateConvertsToAWellFormedXmlDocument) {
  for (int number = 1; number <= 4; ++number) {
    dd->REPORTS->Open();
    report->LoadTemplateFromDataset(dd->REPORTS, number);
    dd->REPORTS->Close();
    TMemoryStream stream;
    report->XmlMode = true;
    report->SaveToStream(&stream);
    QXmlStreamReader reader(stream.Bytes());
    int elements = 0;
    while (!reader.atEnd())
      if (reader.readNext() == QXmlStreamReader::StartElement) ++elements;
    EXPECT_FALSE(reader.hasError()) << number << ": " << reader.errorString().toStdString();
    EXPECT_GT(elements, 20) << number;
    EXPECT_TRUE(stream.Bytes().contains("Memo.text=\"[LOGO]\" DataSet=\"DD.CONTROL\" DataField=\"LOGO\""));
    EXPECT_TRUE(
        stream.Bytes().contains(number <= 2 ? "DataSetName=\"DD.frINV2\"" : "DataSetName=\"DD.frMINV2\""));
  }
}

} // namespace
