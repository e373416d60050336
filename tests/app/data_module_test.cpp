// The data module: start-up on a seeded folder (table order, cached defaults, INV2 re-created empty), the
// tables' settings, INV2's definition and the centring of dialogs.
#include "app/table_definitions.h"
#include "db/client/ff_client_errors.h"
#include "tests/app/app_fixture.h"
#include <QCoreApplication>
#include <QWidget>

namespace {

class DataModule : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    Seed();
  }
  // A data module as the program makes it: loaded, then its creation handler.
  TDD *Start() {
    TDD *dd = nullptr;
    Application()->CreateForm(dd);
    return dd;
  }
};

TEST_F(DataModule, StartOpensTheTablesInOrderAndRecreatesINV2) {
  auto *dd = new TDD(Application());
  QStringList opened;
  for (TDataSource *source : {dd->dsCONTROL, dd->dsINV1, dd->dsINV2, dd->dsREPORTS, dd->dsMINV1, dd->dsMINV2,
                              dd->dsCUST, dd->dsPRODUCTS})
    source->SetOnStateChange(TNotifyEvent::From([source, &opened](TObject *) {
      if (source->State() != dsInactive) opened << source->DataSet()->Name();
    }));
  dd->AfterConstruction();
  EXPECT_EQ(opened,
            (QStringList{QStringLiteral("MINV1"), QStringLiteral("MINV2"), QStringLiteral("CUST"),
                         QStringLiteral("PRODUCTS"), QStringLiteral("CONTROL"), QStringLiteral("INV2")}));
  EXPECT_FALSE(dd->INV1->Active());
  EXPECT_FALSE(dd->REPORTS->Active());
  EXPECT_TRUE(dd->ffDatabase1->Active());
  EXPECT_EQ(dd->AppPath, data.path() + QLatin1Char('/'));
  EXPECT_EQ(dd->InvNET, 0);
  EXPECT_EQ(dd->InvCUSTNO, 0);
}

TEST_F(DataModule, StartCachesTheDefaultsOfControl) {
  SetFirst(QStringLiteral("CONTROL"), 8, 17.5); // TaxPCT
  SetFirst(QStringLiteral("CONTROL"), 9, 1);    // INVTYPE
  TDD *dd = Start();
  EXPECT_DOUBLE_EQ(dd->DefaultTaxPCT, 17.5);
  EXPECT_EQ(dd->DefaultINVTYPE, 1);
}

TEST_F(DataModule, INV2IsEmptyAfterEveryStart) {
  // Lines a previous run left behind.
  Insert(QStringLiteral("INV2"), {2.0, QStringLiteral("Left over"), 3.0, 6.0});
  TDD *dd = Start();
  EXPECT_EQ(dd->INV2->RecordCount(), 0);

  // Lines of an invoice that was never created, and a stored invoice, at exit.
  for (int i = 1; i <= 2; ++i) {
    dd->INV2->Append();
    dd->INV2DESCRIPTION->SetAsString(QStringLiteral("Line %1").arg(i));
    dd->INV2ITEMPRICE->SetAsFloat(i);
    dd->INV2->Post();
  }
  dd->MINV1->Append();
  dd->MINV1CUSTOMER->SetAsString(QStringLiteral("Kept"));
  dd->MINV1InvNUM->SetAsFloat(1);
  dd->MINV1->Post();
  FreeApplication();
  ASSERT_EQ(Records(QStringLiteral("INV2")).size(), 2);

  dd = Start();
  EXPECT_EQ(dd->INV2->RecordCount(), 0);
  EXPECT_TRUE(dd->INV2->Active());
  EXPECT_EQ(dd->MINV1->RecordCount(), 1);
  EXPECT_EQ(dd->MINV1CUSTOMER->AsString(), QStringLiteral("Kept"));
}

TEST_F(DataModule, NewINV2andOpenEmptiesTheLinesAndKeepsTheTableOpen) {
  TDD *dd = Start();
  dd->INV2->Append();
  dd->INV2DESCRIPTION->SetAsString(QStringLiteral("Gone"));
  dd->INV2->Post();
  dd->NewINV2andOpen();
  EXPECT_TRUE(dd->INV2->Active());
  EXPECT_EQ(dd->INV2->RecordCount(), 0);
  EXPECT_TRUE(dd->INV2->Eof());
}

TEST_F(DataModule, FieldsShowAsTheFormsExpect) {
  TDD *dd = Start();
  EXPECT_EQ(dd->INV2QUANTITY->Alignment(), taCenter);
  dd->INV2->Append();
  dd->INV2ITEMPRICE->SetAsFloat(1234.5);
  dd->INV2ITEMTOTAL->SetAsFloat(-3);
  EXPECT_EQ(dd->INV2ITEMPRICE->DisplayText(), QStringLiteral("1234.50"));
  EXPECT_EQ(dd->INV2ITEMTOTAL->DisplayText(), QStringLiteral("-3.00"));
  dd->INV2->Cancel();

  dd->MINV1->Append();
  dd->MINV1CANC->SetAsBoolean(true);
  dd->MINV1NET->SetAsFloat(10);
  EXPECT_EQ(dd->MINV1CANC->DisplayText(), QStringLiteral("Canc"));
  EXPECT_EQ(dd->MINV1NET->DisplayText(), QStringLiteral("10.00"));
  dd->MINV1CANC->SetAsBoolean(false);
  EXPECT_EQ(dd->MINV1CANC->DisplayText(), QString());
  dd->MINV1->Cancel();
  EXPECT_EQ(dd->PRODUCTSITEMPRICE->DisplayFormat(), QStringLiteral("0.00;-0.00"));
  EXPECT_EQ(dd->MINV2ITEMTOTAL->DisplayFormat(), QStringLiteral("0.00;-0.00"));
  EXPECT_EQ(dd->INV2DESCRIPTION->Size(), 1000);
  EXPECT_EQ(dd->CONTROLADDRESS->Size(), 250);
}

TEST_F(DataModule, StoredInvoicesComeNewestFirstWithTheirOwnLines) {
  for (int number = 1; number <= 3; ++number) {
    Insert(QStringLiteral("MINV1"),
           {QVariant(), 1, false, 0, QStringLiteral("Customer %1").arg(number), QString(), QString(),
            QString(), QString(), QString(), 1.0, 0.0, 1.0, 45000.0, double(number)});
    Insert(QStringLiteral("MINV2"), {number, 1.0, QStringLiteral("Line of %1").arg(number), 1.0, 1.0});
  }
  TDD *dd = Start();
  EXPECT_DOUBLE_EQ(dd->MINV1InvNUM->AsFloat(), 3);
  EXPECT_EQ(dd->MINV2->RecordCount(), 1);
  EXPECT_EQ(dd->MINV2DESCRIPTION->AsString(), QStringLiteral("Line of 3"));
  dd->MINV1->Last();
  EXPECT_DOUBLE_EQ(dd->MINV1InvNUM->AsFloat(), 1);
  EXPECT_EQ(dd->MINV2DESCRIPTION->AsString(), QStringLiteral("Line of 1"));
}

TEST_F(DataModule, CustomersAndProductsComeInTheirIndexOrder) {
  for (const char *name : {"delta", "Alpha", "charlie", "Bravo"})
    Insert(QStringLiteral("CUSTOMERS"),
           {QVariant(), QString::fromLatin1(name), QString(), QString(), QString(), QString(), QString()});
  Insert(QStringLiteral("PRODUCTS"), {1, QStringLiteral("Consulting"), 50.0});
  Insert(QStringLiteral("PRODUCTS"), {0, QStringLiteral("widget"), 2.0});
  Insert(QStringLiteral("PRODUCTS"), {0, QStringLiteral("Bolt"), 1.0});
  TDD *dd = Start();
  QStringList customers;
  for (dd->CUST->First(); !dd->CUST->Eof(); dd->CUST->Next())
    customers << dd->CUST->FieldByName(QStringLiteral("CUSTOMER"))->AsString();
  EXPECT_EQ(customers, (QStringList{QStringLiteral("Alpha"), QStringLiteral("Bravo"),
                                    QStringLiteral("charlie"), QStringLiteral("delta")}));
  QStringList products;
  for (dd->PRODUCTS->First(); !dd->PRODUCTS->Eof(); dd->PRODUCTS->Next())
    products << dd->PRODUCTSDESCRIPTION->AsString();
  EXPECT_EQ(products,
            (QStringList{QStringLiteral("Bolt"), QStringLiteral("widget"), QStringLiteral("Consulting")}));
}

TEST_F(DataModule, ReportDatasetsReadTheLinesTablesWithoutOpeningThem) {
  TDD *dd = Start();
  EXPECT_EQ(dd->frINV2->DataSource(), dd->dsINV2);
  EXPECT_EQ(dd->frMINV2->DataSource(), dd->dsMINV2);
  EXPECT_FALSE(dd->frINV2->OpenDataSource());
  EXPECT_FALSE(dd->frMINV2->OpenDataSource());
  EXPECT_EQ(dd->frINV2->GetDataSet(), dd->INV2);
}

TEST_F(DataModule, CreateINV2TableBuildsTheLinesDefinition) {
  TDD *dd = Start();
  dd->INV2->Close();
  CreateINV2Table(dd->ffDatabase1, QStringLiteral("INV2"));
  std::optional<TffDataDictionary> dictionary;
  ASSERT_EQ(dd->ffServerEngine1()->TableGetDictionary(dd->ffDatabase1->DatabaseID(), QStringLiteral("INV2"),
                                                      dictionary),
            DBIERR_NONE);
  ASSERT_EQ(dictionary->FieldCount(), 4);
  const QList<std::pair<QString, TffFieldType>> expected{{QStringLiteral("QUANTITY"), fftDouble},
                                                         {QStringLiteral("DESCRIPTION"), fftNullString},
                                                         {QStringLiteral("ITEMPRICE"), fftDouble},
                                                         {QStringLiteral("ITEMTOTAL"), fftDouble}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(dictionary->FieldName(i), expected[i].first);
    EXPECT_EQ(dictionary->FieldType(i), expected[i].second);
    EXPECT_FALSE(dictionary->FieldRequired(i));
  }
  EXPECT_EQ(dictionary->FieldUnits(1), 1000);
  EXPECT_EQ(dictionary->BlockSize(), 4096);
  EXPECT_FALSE(dictionary->IsEncrypted());
  EXPECT_EQ(dictionary->IndexCount(), 1);
  EXPECT_TRUE(dictionary->GetFileDesc(0).fdDesc.isEmpty());
}

TEST_F(DataModule, CreateINV2TableRefusesATableInUse) {
  TDD *dd = Start();
  EXPECT_THROW(CreateINV2Table(dd->ffDatabase1, QStringLiteral("INV2")), EffDatabaseError);
  EXPECT_EQ(dd->INV2->RecordCount(), 0);
}

TEST_F(DataModule, MissingDatabaseRaisesFromTheCreationHandler) {
  QFile::remove(data.filePath(QStringLiteral("tallyrook.db")));
  TDD *dd = nullptr;
  EXPECT_THROW(Application()->CreateForm(dd), EDatabaseError);
  EXPECT_FALSE(dd->ffDatabase1->Active());
}

TEST_F(DataModule, SecondCopyTouchesNoData) {
  // The running copy holds the guard; this one ends at once.
  TSingleInstanceGuard running(Application()->Title());
  ASSERT_EQ(running.Acquire(), TSingleInstanceGuard::TState::First);
  Insert(QStringLiteral("INV2"), {1.0, QStringLiteral("Running copy's line"), 1.0, 1.0});
  TDD *dd = Start();
  EXPECT_TRUE(dd->VrRunOnceTallyrook->AnotherCopyRuns());
  EXPECT_TRUE(Application()->Terminated());
  EXPECT_FALSE(dd->ffDatabase1->Active());
  EXPECT_TRUE(dd->AppPath.isEmpty());
  EXPECT_EQ(Records(QStringLiteral("INV2")).size(), 1);
}

// ---- centring dialogs ----

class FormPos : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    Application()->CreateForm(main);
    main->SetBounds(100, 80, 702, 500);
    dd = new TDD(Application());
  }
  TForm *main = nullptr;
  TDD *dd = nullptr;
};

struct PosCase {
  int dialog;
  int expected;
};

TEST_F(FormPos, LeftCentresWithHalvesToEvenAndNeverBeforeTheMainWindow) {
  const PosCase cases[] = {
      {700, 101}, // the edge case: (702 - 700) / 2 = 1
      {703, 100}, // -0.5 rounds to 0: the main window's own left
      {701, 100}, // 0.5 rounds to 0
      {699, 102}, // 1.5 rounds to 2
      {697, 102}, // 2.5 rounds to 2
      {695, 104}, // 3.5 rounds to 4
      {900, 100}, // much wider: aligned with the main window
      {2, 450},
  };
  for (const PosCase &c : cases) EXPECT_EQ(dd->FormPosLeft(c.dialog), c.expected) << c.dialog;
}

TEST_F(FormPos, TopCentresTheSameWay) {
  EXPECT_EQ(dd->FormPosTop(498), 81);
  EXPECT_EQ(dd->FormPosTop(501), 80);
  EXPECT_EQ(dd->FormPosTop(497), 82); // 1.5 rounds to 2
  EXPECT_EQ(dd->FormPosTop(800), 80);
}

} // namespace
