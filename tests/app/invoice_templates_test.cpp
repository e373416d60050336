// The shipped invoice templates: each loaded from the shipped Reports table, prepared against seeded INV1,
// INV2, MINV1, MINV2 and CONTROL rows through the data module, printed to PDF and read back with pdftotext.
#include "app/invoice_templates.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/printer.h"
#include "report/engine.h"
#include "report/printer_wrapper.h"
#include "report/report.h"
#include "report/report_hooks.h"
#include "report/variables.h"
#include "tests/app/app_fixture.h"
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

bool HavePdfToText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

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
    const QString pdf = out.filePath(name + QStringLiteral(".pdf"));
    printer->SetPdfFileName(pdf);
    EXPECT_TRUE(report->PrintPreparedReport(QString(), 1));
    QString text = PdfText(pdf, true);
    if (text.endsWith(QChar(12))) text.chop(1);
    return text;
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

} // namespace
