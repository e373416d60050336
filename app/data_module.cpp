#include "app/data_module.h"
#include "app/data_folder.h"
#include "app/data_upgrade.h"
#include "app/shipped_data.h"
#include "app/table_definitions.h"
#include "db/client/ff_client_errors.h"
#include "platform/windowing/application.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cmath>

TDD *DD = nullptr;

namespace {
const QString kDatabaseName = QStringLiteral("database1");
const QString kSessionName = QStringLiteral("session1");
const QString kClientName = QStringLiteral("client1");
const QString kAmountFormat = QStringLiteral("0.00;-0.00");

// The distance that centres `inner` in `outer`, rounded to the nearest whole pixel, a half to the even one.
int CentringOffset(int outer, int inner) { return int(std::lrint((outer - inner) / 2.0)); }

// Where an inner span starts when centred on an outer one, never before the outer one starts.
int CentredStart(int outerStart, int outerSize, int innerSize) {
  const int d = CentringOffset(outerSize, innerSize);
  return d >= 0 ? outerStart + d : outerStart;
}

// A report's view of a table that it reads as it stands, never opening or closing it.
TfrDBDataSet *NewReportDataSet(TComponent *Owner, const QString &Name, TDataSource *Source) {
  auto *dataSet = new TfrDBDataSet(Owner);
  dataSet->SetName(Name);
  dataSet->SetDataSource(Source);
  dataSet->SetOpenDataSource(false);
  return dataSet;
}
} // namespace

void PostOrCancel(TDataSet *Table, const std::function<void()> &SetFields) {
  try {
    SetFields();
    Table->Post();
  } catch (...) {
    Table->Cancel();
    throw;
  }
}

void CreateINV2Table(TffDatabase *Database, const QString &TableName) {
  const TffDataDictionary dictionary = INV2Dictionary();
  CheckEngineResult(Database->CreateTable(true, TableName, &dictionary));
}

TDD::TDD(TComponent *AOwner) : TDataModule(AOwner), engine_(std::make_unique<TffServerEngine>()) {
  SetName(QStringLiteral("DD"));
  CreateComponents();
  // The components are loaded as a reader loads a stored module: finishing the load runs the
  // single-instance guard, the first component on the module, before the creation handler can touch data.
  BeginLoading();
  EndLoading();
  OnCreate = TNotifyEvent(this, &TDD::DDCreate);
}

TDD::~TDD() {
  // The tables, database and client must close while the engine they use still exists.
  DestroyComponents();
  if (DD == this) DD = nullptr;
}

TffTable *TDD::NewTable(const QString &Name, const QString &TableName, const QString &IndexName) {
  auto *table = new TffTable(this);
  table->SetName(Name);
  table->SetDatabaseName(kDatabaseName);
  table->SetSessionName(kSessionName);
  table->SetTableName(TableName);
  table->SetIndexName(IndexName);
  return table;
}

TDataSource *TDD::NewDataSource(const QString &Name, TffTable *Table) {
  auto *source = new TDataSource(this);
  source->SetName(Name);
  source->SetDataSet(Table);
  return source;
}

template <class F>
F *TDD::NewField(TffTable *Table, const QString &FieldName) {
  auto *field = new F(this);
  field->SetName(Table->Name() + FieldName);
  field->SetFieldName(FieldName);
  field->SetDataSet(Table);
  return field;
}

TStringField *TDD::NewStringField(TffTable *Table, const QString &FieldName, int Size) {
  auto *field = NewField<TStringField>(Table, FieldName);
  field->SetSize(Size);
  return field;
}

void TDD::CreateComponents() {
  VrRunOnceTallyrook = new TVrRunOnce(this);
  VrRunOnceTallyrook->SetName(QStringLiteral("VrRunOnceTallyrook"));
  VrRunOnceTallyrook->SetRestorePrevInst(true);
  VrRunOnceTallyrook->SetTerminate(true);
  VrRunOnceTallyrook->SetShowMessage(false);

  ffClient1 = new TffClient(this);
  ffClient1->SetName(QStringLiteral("ffClient1"));
  ffClient1->SetClientName(kClientName);
  ffClient1->SetServerEngine(engine_.get());
  ffSession1 = new TffSession(this);
  ffSession1->SetName(QStringLiteral("ffSession1"));
  ffSession1->SetClientName(kClientName);
  ffSession1->SetSessionName(kSessionName);
  ffDatabase1 = new TffDatabase(this);
  ffDatabase1->SetName(QStringLiteral("ffDatabase1"));
  ffDatabase1->SetDatabaseName(kDatabaseName);
  ffDatabase1->SetSessionName(kSessionName);

  CONTROL = NewTable(QStringLiteral("CONTROL"), QStringLiteral("CONTROL"), QString());
  INV1 = NewTable(QStringLiteral("INV1"), QStringLiteral("INV1"), QString());
  INV2 = NewTable(QStringLiteral("INV2"), QStringLiteral("INV2"), QString());
  REPORTS = NewTable(QStringLiteral("REPORTS"), QStringLiteral("Reports"), QStringLiteral("rec"));
  MINV1 = NewTable(QStringLiteral("MINV1"), QStringLiteral("MINV1"), QStringLiteral("INVNUM"));
  MINV2 = NewTable(QStringLiteral("MINV2"), QStringLiteral("MINV2"), QStringLiteral("REC"));
  CUST = NewTable(QStringLiteral("CUST"), QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  PRODUCTS = NewTable(QStringLiteral("PRODUCTS"), QStringLiteral("PRODUCTS"), QStringLiteral("TYPE"));

  dsCONTROL = NewDataSource(QStringLiteral("dsCONTROL"), CONTROL);
  dsINV1 = NewDataSource(QStringLiteral("dsINV1"), INV1);
  dsINV2 = NewDataSource(QStringLiteral("dsINV2"), INV2);
  dsREPORTS = NewDataSource(QStringLiteral("dsREPORTS"), REPORTS);
  dsMINV1 = NewDataSource(QStringLiteral("dsMINV1"), MINV1);
  dsMINV2 = NewDataSource(QStringLiteral("dsMINV2"), MINV2);
  dsCUST = NewDataSource(QStringLiteral("dsCUST"), CUST);
  dsPRODUCTS = NewDataSource(QStringLiteral("dsPRODUCTS"), PRODUCTS);

  // The lines of the current stored invoice.
  MINV2->SetMasterSource(dsMINV1);
  MINV2->SetMasterFields(QStringLiteral("REC"));

  // The report reads the tables as they stand; it never opens or closes them.
  frINV2 = NewReportDataSet(this, QStringLiteral("frINV2"), dsINV2);
  frMINV2 = NewReportDataSet(this, QStringLiteral("frMINV2"), dsMINV2);

  // Money shows with two decimals.
  const auto NewAmountField = [this](TffTable *Table, const QString &FieldName) {
    auto *field = NewField<TFloatField>(Table, FieldName);
    field->SetDisplayFormat(kAmountFormat);
    return field;
  };

  CONTROLLOGO = NewField<TGraphicField>(CONTROL, QStringLiteral("LOGO"));
  CONTROLCOMPANY = NewStringField(CONTROL, QStringLiteral("COMPANY"), 50);
  CONTROLADDRESS = NewStringField(CONTROL, QStringLiteral("ADDRESS"), 250);
  CONTROLPHONE = NewStringField(CONTROL, QStringLiteral("PHONE"), 25);
  CONTROLFAX = NewStringField(CONTROL, QStringLiteral("FAX"), 25);
  CONTROLEMAIL = NewStringField(CONTROL, QStringLiteral("EMAIL"), 100);
  CONTROLWEBSITE = NewStringField(CONTROL, QStringLiteral("WEBSITE"), 100);
  CONTROLLastINV = NewField<TIntegerField>(CONTROL, QStringLiteral("LastINV"));
  CONTROLTaxPCT = NewField<TFloatField>(CONTROL, QStringLiteral("TaxPCT"));
  CONTROLINVTYPE = NewField<TIntegerField>(CONTROL, QStringLiteral("INVTYPE"));
  CONTROLFootNote = NewStringField(CONTROL, QStringLiteral("FootNote"), 100);

  INV2QUANTITY = NewField<TFloatField>(INV2, QStringLiteral("QUANTITY"));
  INV2QUANTITY->SetAlignment(taCenter);
  INV2DESCRIPTION = NewStringField(INV2, QStringLiteral("DESCRIPTION"), 1000);
  INV2ITEMPRICE = NewAmountField(INV2, QStringLiteral("ITEMPRICE"));
  INV2ITEMTOTAL = NewAmountField(INV2, QStringLiteral("ITEMTOTAL"));

  MINV1REC = NewField<TAutoIncField>(MINV1, QStringLiteral("REC"));
  MINV1TYPE = NewField<TIntegerField>(MINV1, QStringLiteral("TYPE"));
  MINV1CANC = NewField<TBooleanField>(MINV1, QStringLiteral("CANC"));
  MINV1CANC->SetDisplayValues(QStringLiteral("Canc;"));
  MINV1CUSTNO = NewField<TIntegerField>(MINV1, QStringLiteral("CUSTNO"));
  MINV1CUSTOMER = NewStringField(MINV1, QStringLiteral("CUSTOMER"), 50);
  MINV1ADDR1 = NewStringField(MINV1, QStringLiteral("ADDR1"), 50);
  MINV1ADDR2 = NewStringField(MINV1, QStringLiteral("ADDR2"), 50);
  MINV1ADDR3 = NewStringField(MINV1, QStringLiteral("ADDR3"), 50);
  MINV1ADDR4 = NewStringField(MINV1, QStringLiteral("ADDR4"), 50);
  MINV1ADDR5 = NewStringField(MINV1, QStringLiteral("ADDR5"), 50);
  MINV1NET = NewAmountField(MINV1, QStringLiteral("NET"));
  MINV1TAX = NewAmountField(MINV1, QStringLiteral("TAX"));
  MINV1GROSS = NewAmountField(MINV1, QStringLiteral("GROSS"));
  MINV1InvDATE = NewField<TDateTimeField>(MINV1, QStringLiteral("InvDATE"));
  MINV1InvNUM = NewField<TFloatField>(MINV1, QStringLiteral("InvNUM"));

  MINV2REC = NewField<TIntegerField>(MINV2, QStringLiteral("REC"));
  MINV2QUANTITY = NewField<TFloatField>(MINV2, QStringLiteral("QUANTITY"));
  MINV2DESCRIPTION = NewStringField(MINV2, QStringLiteral("DESCRIPTION"), 1000);
  MINV2ITEMPRICE = NewAmountField(MINV2, QStringLiteral("ITEMPRICE"));
  MINV2ITEMTOTAL = NewAmountField(MINV2, QStringLiteral("ITEMTOTAL"));

  PRODUCTSTYPE = NewField<TIntegerField>(PRODUCTS, QStringLiteral("TYPE"));
  PRODUCTSDESCRIPTION = NewStringField(PRODUCTS, QStringLiteral("DESCRIPTION"), 1000);
  PRODUCTSITEMPRICE = NewAmountField(PRODUCTS, QStringLiteral("ITEMPRICE"));
}

void TDD::DDCreate(TObject *) {
  // A second copy is ending: it leaves the running copy's data alone.
  if (Application()->Terminated()) return;

  AppPath = AppDataFolder();
  dataFolderLock_ = LockDataFolder(AppPath);
  PrepareDataFolder(AppPath, FirstDatabaseSources());
  OpenDatabase();
  if (const QString error = UpdateShippedReports(*engine_, ffDatabase1->DatabaseID(), ShippedDatabaseFile());
      !error.isEmpty())
    DatabaseError(error);
  UpgradeData(ffDatabase1);

  for (TffTable *table : {MINV1, MINV2, CUST, PRODUCTS, CONTROL}) table->Open();

  CONTROL->First();
  if (CONTROL->Eof())
    DatabaseError(QStringLiteral("Table CONTROL in %1 has no settings record")
                      .arg(QDir::toNativeSeparators(ffDatabase1->FilePath())));
  DefaultTaxPCT = CONTROL->FieldByName(QStringLiteral("TaxPCT"))->AsFloat();
  DefaultINVTYPE = CONTROL->FieldByName(QStringLiteral("INVTYPE"))->AsInteger();

  NewINV2andOpen();

  InvNET = 0;
  InvTAX = 0;
  InvGROSS = 0;
  InvCUSTNO = 0;
}

void TDD::OpenDatabase() {
  // A file that another program holds is reported at once: the start waits for no lock, then checks that
  // nothing keeps it from writing. Afterwards operations wait for a lock as long as the engine's default.
  const int busyTimeout = engine_->BusyTimeout();
  engine_->SetBusyTimeout(0);
  try {
    ffDatabase1->SetAliasName(AppPath);
    ffDatabase1->Open();
    ffDatabase1->StartTransaction();
    ffDatabase1->Rollback();
  } catch (...) {
    engine_->SetBusyTimeout(busyTimeout);
    throw;
  }
  engine_->SetBusyTimeout(busyTimeout);
}

void TDD::NewINV2andOpen() {
  INV2->Close();
  // Re-creating the table with overwrite replaces the old one and everything in it.
  CreateINV2Table(ffDatabase1, QStringLiteral("INV2"));
  INV2->Open();
}

int TDD::FormPosLeft(int Width) const {
  const TCustomForm *main = Application()->MainForm();
  return main ? CentredStart(main->Left(), main->Width(), Width) : 0;
}

int TDD::FormPosTop(int Height) const {
  const TCustomForm *main = Application()->MainForm();
  return main ? CentredStart(main->Top(), main->Height(), Height) : 0;
}
