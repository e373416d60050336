#include "fake_engine_model.h"
#include "report/component_lookup.h"
#include "report/report_dataset.h"

namespace {

// Two forms and a data module, each owning a few components; the report sits on the invoice form.
class ComponentLookupTest : public fake::EngineTest {
protected:
  void SetUp() override {
    EngineTest::SetUp();
    invoiceForm->SetName(QStringLiteral("InvoiceForm"));
    dataModule->SetName(QStringLiteral("DD"));
    otherForm->SetName(QStringLiteral("Other"));
    report->SetName(QStringLiteral("frReport1"));
    Named(new TfrUserDataset(invoiceForm), "Lines");
    Named(new TComponent(invoiceForm), "Label1");
    Named(new TfrUserDataset(dataModule), "frInvoice");
    Named(new TfrUserDataset(dataModule), "frArchive");
    Named(new TComponent(otherForm), "Lines");
    frSetTopLevelComponents([this] { return QList<TComponent *>{invoiceForm, dataModule, otherForm}; });
    reportModel.component = report;
    frEngine().CurReport = &reportModel;
  }
  void TearDown() override {
    frSetTopLevelComponents(nullptr);
    for (TComponent *c : {invoiceForm, dataModule, otherForm}) c->Free();
    EngineTest::TearDown();
  }
  static TComponent *Named(TComponent *c, const char *name) {
    c->SetName(QString::fromLatin1(name));
    return c;
  }

  TComponent *invoiceForm = new TComponent(nullptr);
  TComponent *dataModule = new TComponent(nullptr);
  TComponent *otherForm = new TComponent(nullptr);
  TComponent *report = new TComponent(invoiceForm);
  fake::Report reportModel;
};

TEST_F(ComponentLookupTest, FindsDatasetsByFormAndNameOrOnTheReportsOwner) {
  EXPECT_EQ(FindReportDataset(QStringLiteral("Lines")), invoiceForm->FindComponent(QStringLiteral("Lines")));
  EXPECT_EQ(FindReportDataset(QStringLiteral("dd.frInvoice")),
            dataModule->FindComponent(QStringLiteral("frInvoice")));
  EXPECT_EQ(FindReportDataset(QStringLiteral("Other.Lines")),
            otherForm->FindComponent(QStringLiteral("Lines")));
  EXPECT_EQ(FindReportDataset(QStringLiteral("frInvoice")), nullptr);
  EXPECT_EQ(FindReportDataset(QStringLiteral("Nowhere.Lines")), nullptr);
  EXPECT_EQ(FindReportDataset(QStringLiteral("DD.Missing")), nullptr);
  EXPECT_EQ(FindReportDataset(QString()), nullptr);
  frEngine().CurReport = nullptr;
  EXPECT_EQ(FindReportDataset(QStringLiteral("Lines")), nullptr);
}

TEST_F(ComponentLookupTest, ListsComponentsOfAClassAcrossFormsAndDataModules) {
  TStringList list;
  list.Add(QStringLiteral("stale"));
  TComponent *skip = dataModule->FindComponent(QStringLiteral("frArchive"));
  ListComponentsOfClass<TfrDataset>(invoiceForm, &list, skip);
  EXPECT_EQ(list.Text(), QStringLiteral("Lines\r\nDD.frInvoice\r\n"));
  ListComponentsOfClass<TfrDataset>(dataModule, &list, nullptr);
  EXPECT_EQ(list.Text(), QStringLiteral("InvoiceForm.Lines\r\nfrInvoice\r\nfrArchive\r\n"));
}

} // namespace
