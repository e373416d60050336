// TDD (the data module DD): every database component of the program, the cached default settings and the
// running totals of the invoice being made.
//
// Made once at start (Application()->CreateForm(DD)). Its constructor places the components as they are
// stored on the module and then finishes loading them, which runs the single-instance guard: a second copy of
// the program ends there, before any data is touched. DDCreate then takes the data folder's lock, held from
// then on, makes sure the folder has a database (app/data_folder.h), opens it, brings the shipped templates
// up to date (app/shipped_data.h), opens MINV1, MINV2, CUST, PRODUCTS and CONTROL in that order, caches the
// defaults from CONTROL (which must hold its settings record) and re-creates the scratch table INV2 empty. A
// database that is missing, locked by another program or cannot be used raises EDatabaseError from DDCreate;
// the program body reports it.
#pragma once
#include "app/data_folder.h"
#include "controls/buttons/run_once.h"
#include "db/client/ff_database.h"
#include "db/client/ff_db_list_item.h"
#include "db/client/ff_table.h"
#include "db/engine/ff_server_engine.h"
#include "platform/data/data_source.h"
#include "platform/data/fields.h"
#include "platform/windowing/forms.h"
#include "report/db_dataset.h"
#include <functional>
#include <memory>

// Fills the record Table is inserting or editing (SetFields) and posts it. When either fails, the record is
// cancelled, so that nothing half-made stays behind and the table is as it was, and the failure goes on to
// the caller (in the end the application, which reports it).
void PostOrCancel(TDataSet *Table, const std::function<void()> &SetFields);

// Builds the definition of INV2 and creates the table through Database, replacing the table there; a failing
// engine result raises EffDatabaseError.
void CreateINV2Table(TffDatabase *Database, const QString &TableName);

class TDD : public TDataModule {
public:
  explicit TDD(TComponent *AOwner);
  ~TDD() override;
  QString ClassName() const override { return QStringLiteral("TDD"); }

  // The creation handler (OnCreate).
  void DDCreate(TObject *Sender);
  // Re-creates INV2 empty and opens it (at start, on a change of invoice type, after a stored invoice, by
  // Wipe All).
  void NewINV2andOpen();
  // Coordinates that centre a dialog of the given width / height over the main window, never before its
  // left / top edge.
  int FormPosLeft(int Width) const;
  int FormPosTop(int Height) const;

  // -- the stored components --
  TVrRunOnce *VrRunOnceTallyrook;
  TffServerEngine *ffServerEngine1() const { return engine_.get(); }
  TffClient *ffClient1;
  TffSession *ffSession1;
  TffDatabase *ffDatabase1;

  TffTable *CONTROL;
  TffTable *INV1;
  TffTable *INV2;
  TffTable *REPORTS;
  TffTable *MINV1;
  TffTable *MINV2;
  TffTable *CUST;
  TffTable *PRODUCTS;

  TDataSource *dsCONTROL;
  TDataSource *dsINV1;
  TDataSource *dsINV2;
  TDataSource *dsREPORTS;
  TDataSource *dsMINV1;
  TDataSource *dsMINV2;
  TDataSource *dsCUST;
  TDataSource *dsPRODUCTS;

  TfrDBDataSet *frINV2;
  TfrDBDataSet *frMINV2;

  // CONTROL's fields.
  TGraphicField *CONTROLLOGO;
  TStringField *CONTROLCOMPANY;
  TStringField *CONTROLADDRESS;
  TStringField *CONTROLPHONE;
  TStringField *CONTROLFAX;
  TStringField *CONTROLEMAIL;
  TStringField *CONTROLWEBSITE;
  TIntegerField *CONTROLLastINV;
  TFloatField *CONTROLTaxPCT;
  TIntegerField *CONTROLINVTYPE;
  TStringField *CONTROLFootNote;
  // INV2's fields.
  TFloatField *INV2QUANTITY;
  TStringField *INV2DESCRIPTION;
  TFloatField *INV2ITEMPRICE;
  TFloatField *INV2ITEMTOTAL;
  // MINV1's fields.
  TAutoIncField *MINV1REC;
  TIntegerField *MINV1TYPE;
  TBooleanField *MINV1CANC;
  TIntegerField *MINV1CUSTNO;
  TStringField *MINV1CUSTOMER;
  TStringField *MINV1ADDR1;
  TStringField *MINV1ADDR2;
  TStringField *MINV1ADDR3;
  TStringField *MINV1ADDR4;
  TStringField *MINV1ADDR5;
  TFloatField *MINV1NET;
  TFloatField *MINV1TAX;
  TFloatField *MINV1GROSS;
  TDateTimeField *MINV1InvDATE;
  TFloatField *MINV1InvNUM;
  // MINV2's fields.
  TIntegerField *MINV2REC;
  TFloatField *MINV2QUANTITY;
  TStringField *MINV2DESCRIPTION;
  TFloatField *MINV2ITEMPRICE;
  TFloatField *MINV2ITEMTOTAL;
  // PRODUCTS' fields.
  TIntegerField *PRODUCTSTYPE;
  TStringField *PRODUCTSDESCRIPTION;
  TFloatField *PRODUCTSITEMPRICE;

  // -- run-time fields --
  QString AppPath; // the data folder, separator included
  double DefaultTaxPCT = 0;
  int DefaultINVTYPE = 0;
  double InvNET = 0;
  double InvTAX = 0;
  double InvGROSS = 0;
  int InvCUSTNO = 0;

private:
  void CreateComponents();
  // Opens the database in AppPath, failing at once when another program holds the file.
  void OpenDatabase();
  TffTable *NewTable(const QString &Name, const QString &TableName, const QString &IndexName);
  TDataSource *NewDataSource(const QString &Name, TffTable *Table);
  template <class F>
  F *NewField(TffTable *Table, const QString &FieldName);
  TStringField *NewStringField(TffTable *Table, const QString &FieldName, int Size);

  // The engine is not a component: the module holds it, and it goes after the components that use it.
  std::unique_ptr<TffServerEngine> engine_;
  // The data folder's lock, held while the module lives: one program at a time uses the database.
  std::unique_ptr<TDataFolderLock> dataFolderLock_;
};

extern TDD *DD;
