// The road the invoice printing form takes: a template stored in the Reports table is loaded by its number,
// filled from the invoice lines table and the report variables, shown in an embedded preview and printed
// to the PDF printer (once, whatever the copies), whose text is read back.
#include "db/client/ff_client_errors.h"
#include "db/client/ff_database.h"
#include "db/client/ff_table.h"
#include "db/engine/ff_server_engine.h"
#include "platform/core/streams.h"
#include "platform/graphics/printer.h"
#include "tests/report/report_build_fixture.h"
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace build {
namespace {

class Panel : public TComponent, public TfrPreviewPanel {
public:
  using TComponent::TComponent;
  TComponent *PreviewComponent() override { return this; }
  void ShowReport(TfrReport *Report) override { pages = Report->EMFPages().Count(); }
  int pages = -1;
};

class PrintRoadTest : public ReportBuildTest {
protected:
  void SetUp() override {
    ReportBuildTest::SetUp();
    ASSERT_TRUE(folder.isValid());
    engine.SetBusyTimeout(100);
    ASSERT_EQ(engine.DatabaseCreate(folder.path()), DBIERR_NONE);
    client = new TffClient(form);
    client->SetClientName(QStringLiteral("client1"));
    client->SetServerEngine(&engine);
    session = new TffSession(form);
    session->SetClientName(QStringLiteral("client1"));
    session->SetSessionName(QStringLiteral("session1"));
    database = new TffDatabase(form);
    database->SetDatabaseName(QStringLiteral("database1"));
    database->SetSessionName(QStringLiteral("session1"));
    database->SetAliasName(folder.path());
  }
  void TearDown() override {
    BindReportPrinter(nullptr);
    ReportBuildTest::TearDown();
    printer.reset();
  }

  TffTable *Table(const QString &name) {
    auto *table = new TffTable(form);
    table->SetName(name);
    table->SetDatabaseName(QStringLiteral("database1"));
    table->SetSessionName(QStringLiteral("session1"));
    table->SetTableName(name);
    return table;
  }

  // An invoice template: the invoice number and currency in the title, a line per INV2 record with its
  // wrapped description, the total in the footer and the page number at the bottom.
  static QByteArray InvoiceTemplate(const QString &heading) {
    TfrReportModel model;
    // Printed on whatever printer the user chose, not on the one the template was made with.
    model.PrintToDefault = true;
    TfrPage *p = model.Pages.Add();
    auto band = [p](int type, int top, int height, const QString &source = QString(), int flags = 0) {
      auto view = std::make_unique<TfrBandView>();
      view->SetBandType(type);
      view->Top = top;
      view->Width = 700;
      view->Height = height;
      view->FormatStr = source;
      view->Flags = quint16(flags | flBandOnFirstPage | flBandOnLastPage);
      p->Add(std::move(view));
    };
    auto memo = [p](int left, int top, int width, const QString &text, int flags = 0) {
      auto view = std::make_unique<TfrMemoView>();
      view->Left = left;
      view->Top = top;
      view->Width = width;
      view->Height = 18;
      view->Flags = quint16(flags);
      view->Memo.Add(text);
      p->Add(std::move(view));
    };
    band(btReportTitle, 0, 60);
    memo(40, 10, 400, heading + QStringLiteral(" [SINV]"));
    memo(40, 30, 200, QStringLiteral("Currency: [CURRSYM]"));
    band(btMasterData, 80, 20, QStringLiteral("frINV2"), flStretched);
    memo(40, 80, 60, QStringLiteral("[QUANTITY]"));
    memo(110, 80, 250, QStringLiteral("[DESCRIPTION]"), flStretched | flWordWrap);
    memo(400, 80, 120, QStringLiteral("[ITEMPRICE #N0.2]"));
    band(btMasterFooter, 120, 30);
    memo(300, 125, 220, QStringLiteral("Total: [SUM([QUANTITY] * [ITEMPRICE]) #N0.2] [CURRSYM]"));
    band(btPageFooter, 1000, 30);
    memo(40, 1005, 200, QStringLiteral("Page [PAGE#]"));
    TMemoryStream bytes;
    model.SaveToStream(&bytes);
    bytes.SetPosition(0);
    return bytes.ReadBytes(bytes.Size());
  }

  QTemporaryDir folder;
  TffServerEngine engine;
  TffClient *client = nullptr;
  TffSession *session = nullptr;
  TffDatabase *database = nullptr;
  std::unique_ptr<TPrinter> printer;
};

TEST_F(PrintRoadTest, ATemplateFromTheReportsTableIsFilledPreviewedAndPrintedToPdf) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "poppler-utils is not installed";
  {
    TffDataDictionary d(4096);
    d.AddField(QStringLiteral("rec"), QString(), fftAutoInc, 0, 0, false);
    d.AddField(QStringLiteral("File"), QString(), fftBLOB, 0, 0, false);
    d.AddIndex(QStringLiteral("rec"), QString(), 0, QStringLiteral("rec"), false, true);
    CheckEngineResult(database->CreateTable(true, QStringLiteral("Reports"), &d));
  }
  {
    TffDataDictionary d(4096);
    d.AddField(QStringLiteral("QUANTITY"), QString(), fftDouble, 0, 0, false);
    d.AddField(QStringLiteral("DESCRIPTION"), QString(), fftNullString, 1000, 0, false);
    d.AddField(QStringLiteral("ITEMPRICE"), QString(), fftDouble, 0, 0, false);
    CheckEngineResult(database->CreateTable(true, QStringLiteral("INV2"), &d));
  }
  TffTable *reports = Table(QStringLiteral("Reports"));
  reports->Open();
  for (const QString &heading : {QStringLiteral("Items invoice"), QStringLiteral("Services invoice")}) {
    reports->Append();
    TMemoryStream bytes(InvoiceTemplate(heading));
    static_cast<TBlobField *>(reports->FieldByName(QStringLiteral("File")))->LoadFromStream(&bytes);
    reports->Post();
  }
  TffTable *inv2 = Table(QStringLiteral("INV2"));
  inv2->Open();
  const struct {
    double quantity;
    const char *description;
    double price;
  } rows[] = {{2, "Oak shelf, oiled", 45.5},
              {1, "Delivery and fitting on the second floor of the building", 30},
              {3, "Wall plugs", 0.25}};
  for (const auto &row : rows) {
    inv2->Append();
    inv2->FieldByName(QStringLiteral("QUANTITY"))->SetAsFloat(row.quantity);
    inv2->FieldByName(QStringLiteral("DESCRIPTION"))->SetAsString(QString::fromLatin1(row.description));
    inv2->FieldByName(QStringLiteral("ITEMPRICE"))->SetAsFloat(row.price);
    inv2->Post();
  }
  auto *lineSource = new TfrDBDataSet(form);
  lineSource->SetName(QStringLiteral("frINV2"));
  lineSource->SetDataSet(inv2);

  printer = std::make_unique<TPrinter>(std::make_unique<TScriptedPrinterSystem>(folder.path()));
  const QString pdf = folder.filePath(QStringLiteral("invoice.pdf"));
  printer->SetPdfFileName(pdf);
  BindReportPrinter(printer.get());

  report->LoadTemplateFromDataset(reports, 2);
  ReportVariables()->SetVariable(QStringLiteral("SINV"), Variant(QStringLiteral("1001")));
  ReportVariables()->SetVariable(QStringLiteral("CURRSYM"), Variant(QStringLiteral("EUR")));
  auto *panel = new Panel(form);
  report->SetPreview(panel);
  ASSERT_TRUE(report->PrepareReport()) << report->ErrorText().toStdString();
  report->ShowPreparedReport();
  EXPECT_EQ(panel->pages, 1);
  ASSERT_TRUE(report->PrintPreparedReport(QString(), 2));

  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  ASSERT_TRUE(process.waitForFinished(60000));
  QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QChar(12));
  pages.removeAll(QStringLiteral("\n"));
  pages.removeAll(QString());
  ASSERT_EQ(pages.size(), 1) << "a PDF file gets one copy";
  const QString text = pages[0].simplified();
  for (const char *expected : {"Services invoice 1001", "Currency: EUR", "2 Oak shelf, oiled 45.50",
                               "3 Wall plugs 0.25", "Total: 121.75 EUR", "Page 1"})
    EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected << "\n" << text.toStdString();
  // The long description wrapped inside its column.
  EXPECT_TRUE(text.contains(QStringLiteral("Delivery and fitting"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("Items invoice")));
}

} // namespace
} // namespace build
