// TffTable as a dataset over the engine: where records stand after Post and Delete, Edit on an empty table,
// automatic numbers, FindNearest, ranges and index switching, master-detail, transactions, BLOBs and values.
#include "client_fixture.h"
#include <QFileInfo>
#include <random>

using test::AppendRecord;
using test::Column;
using test::ProbeLink;

namespace {

class ClientTable : public ClientTest {
protected:
  static QString Text(TDataSet *table, const char *field) {
    return table->FieldByName(QString::fromLatin1(field))->AsString();
  }
  static void SetText(TDataSet *table, const char *field, const QString &value) {
    table->FieldByName(QString::fromLatin1(field))->SetAsString(value);
  }
};

TEST_F(ClientTable, ThePostedRecordStandsInItsPlaceWithItsNumberAndDeleteMovesOn) {
  BuildCustomers();
  TffTable *customers = Table(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  customers->Open();
  ProbeLink grid;
  grid.SetBufferCount(3);
  grid.SetDataSource(SourceOf(customers));
  EXPECT_TRUE(customers->IsEmpty());
  EXPECT_FALSE(customers->IsSequenced());
  EXPECT_EQ(customers->RecNo(), -1);

  for (const char *name : {"Carl", "anna", "Bob", "Dora"}) {
    customers->Append();
    SetText(customers, "CUSTOMER", QString::fromLatin1(name));
    customers->Post();
    EXPECT_EQ(Text(customers, "CUSTOMER"), name); // the posted record is active, with its number
    EXPECT_FALSE(customers->FieldByName(QStringLiteral("CUSTNO"))->IsNull());
  }
  EXPECT_EQ(customers->FieldByName(QStringLiteral("CUSTNO"))->AsInteger(), 4);
  EXPECT_EQ(customers->RecordCount(), 4);
  EXPECT_EQ(grid.Rows("CUSTOMER"), QStringList({"Bob", "Carl", "Dora*"}));

  customers->First();
  customers->Insert();
  SetText(customers, "CUSTOMER", QStringLiteral("Cecil"));
  customers->Post();
  EXPECT_EQ(grid.Rows("CUSTOMER"), QStringList({"Carl", "Cecil*", "Dora"}));
  EXPECT_EQ(Text(customers, "CUSTOMER"), "Cecil");
  EXPECT_EQ(customers->FieldByName(QStringLiteral("CUSTNO"))->AsInteger(), 5);
  customers->Next();
  EXPECT_EQ(Text(customers, "CUSTOMER"), "Dora");
  customers->Prior();
  customers->Prior();
  EXPECT_EQ(Text(customers, "CUSTOMER"), "Carl");

  customers->Delete();
  EXPECT_EQ(Text(customers, "CUSTOMER"), "Cecil");
  customers->Last();
  customers->Delete();
  EXPECT_EQ(Text(customers, "CUSTOMER"), "Cecil");
  EXPECT_EQ(Column(customers, QStringLiteral("CUSTOMER")), QStringList({"anna", "Bob", "Cecil"}));

  // Editing moves the record to its new place and keeps it active.
  customers->First();
  customers->Edit();
  SetText(customers, "CUSTOMER", QStringLiteral("Zoe"));
  customers->Post();
  EXPECT_EQ(Text(customers, "CUSTOMER"), "Zoe");
  EXPECT_EQ(grid.Rows("CUSTOMER"), QStringList({"Bob", "Cecil", "Zoe*"}));
  EXPECT_EQ(Column(customers, QStringLiteral("CUSTOMER")), QStringList({"Bob", "Cecil", "Zoe"}));
}

TEST_F(ClientTable, EditOnAnEmptyTableInsertsTheOneRow) {
  TffDataDictionary header(4096);
  header.AddField(QStringLiteral("CUSTOMER"), QString(), fftNullString, 50, 0, false);
  header.AddField(QStringLiteral("InvNUM"), QString(), fftDouble, 0, 0, false);
  Build(QStringLiteral("INV1"), header);
  TffTable *inv1 = Table(QStringLiteral("INV1"));
  for (double number : {41.0, 42.0}) {
    inv1->Open();
    inv1->Edit();
    EXPECT_EQ(inv1->State(), number == 41.0 ? dsInsert : dsEdit);
    SetText(inv1, "CUSTOMER", QStringLiteral("Ann"));
    inv1->FieldByName(QStringLiteral("InvNUM"))->SetAsFloat(number);
    inv1->Post();
    inv1->Close();
  }
  inv1->Open();
  EXPECT_EQ(inv1->RecordCount(), 1);
  EXPECT_EQ(inv1->FieldByName(QStringLiteral("InvNUM"))->AsFloat(), 42.0);
}

TEST_F(ClientTable, AutomaticNumbersAreNeverReused) {
  BuildCustomers();
  TffTable *customers = Table(QStringLiteral("CUSTOMERS"));
  customers->Open();
  AppendRecord(customers, {{"CUSTOMER", Variant("a")}});
  AppendRecord(customers, {{"CUSTOMER", Variant("b")}});
  customers->Delete();
  customers->EmptyTable();
  EXPECT_TRUE(customers->Active());
  EXPECT_TRUE(customers->IsEmpty());
  EXPECT_EQ(customers->RecordCount(), 0);
  AppendRecord(customers, {{"CUSTOMER", Variant("c")}});
  EXPECT_EQ(customers->FieldByName(QStringLiteral("CUSTNO"))->AsInteger(), 3);

  customers->Close(); // a closed table is emptied too, and stays closed
  customers->EmptyTable();
  EXPECT_FALSE(customers->Active());
  customers->Open();
  EXPECT_TRUE(customers->IsEmpty());
}

TEST_F(ClientTable, FindNearestOnTheCurrentIndex) {
  BuildCustomers();
  TffTable *customers = Table(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  customers->Open();
  for (const QString &name : {QStringLiteral("Bob"), QStringLiteral("anna"), QStringLiteral("\u00c9mile"),
                              QStringLiteral("Carl"), QStringLiteral("carla")})
    AppendRecord(customers, {{"CUSTOMER", Variant(name)}});
  const struct {
    QString key;
    QString found;
  } cases[] = {
      {QString(), QStringLiteral("anna")},              // before the first key
      {QStringLiteral("A"), QStringLiteral("anna")},    // case differs
      {QStringLiteral("ANNA"), QStringLiteral("anna")}, //
      {QStringLiteral("b"), QStringLiteral("Bob")},     //
      {QStringLiteral("Bz"), QStringLiteral("Carl")},   // between keys: the next one
      {QStringLiteral("CARL"), QStringLiteral("Carl")}, // ties with case: the first in order
      {QStringLiteral("\u00e9MILE"), QStringLiteral("\u00c9mile")},
      {QStringLiteral("\u00ff"), QStringLiteral("\u00c9mile")}, // after the last key: the last record
  };
  for (const auto &c : cases) {
    customers->FindNearest({Variant(c.key)});
    EXPECT_EQ(Text(customers, "CUSTOMER"), c.found) << c.key.toStdString();
  }

  // An edit is posted first.
  customers->Edit();
  SetText(customers, "CUSTOMER", QStringLiteral("Emil"));
  customers->FindNearest({Variant("a")});
  EXPECT_EQ(customers->State(), dsBrowse);
  customers->FindNearest({Variant("e")});
  EXPECT_EQ(Text(customers, "CUSTOMER"), "Emil");

  customers->EmptyTable();
  customers->FindNearest({Variant("a")});
  EXPECT_TRUE(customers->IsEmpty());
}

TEST_F(ClientTable, RangesOnLeadingFieldsAndIndexSwitching) {
  BuildProducts();
  TffTable *products = Table(QStringLiteral("PRODUCTS"));
  products->Open();
  const struct {
    int type;
    const char *description;
  } rows[] = {{1, "Zeta"}, {0, "beta"}, {1, "alpha"}, {0, "Alpha"}, {1, "Mid"}};
  for (const auto &row : rows)
    AppendRecord(products, {{"TYPE", Variant(row.type)}, {"DESCRIPTION", Variant(row.description)}});
  EXPECT_EQ(Column(products, QStringLiteral("DESCRIPTION")),
            QStringList({"Zeta", "beta", "alpha", "Alpha", "Mid"}));

  products->SetIndexName(QStringLiteral("TYPE"));
  products->SetRange({Variant(1)}, {Variant(1)});
  EXPECT_EQ(products->RecordCount(), 3);
  EXPECT_EQ(Text(products, "DESCRIPTION"), "alpha"); // at the first record of the range
  EXPECT_EQ(Column(products, QStringLiteral("DESCRIPTION")), QStringList({"alpha", "Mid", "Zeta"}));
  products->SetRange({Variant(0)}, {Variant(0)});
  EXPECT_EQ(Column(products, QStringLiteral("DESCRIPTION")), QStringList({"Alpha", "beta"}));
  products->SetRange({Variant(0), Variant("b")}, {Variant(1), Variant("m")});
  EXPECT_EQ(Column(products, QStringLiteral("DESCRIPTION")), QStringList({"beta", "alpha"}));

  // A change of index drops the range and keeps the active record.
  products->SetRange({Variant(0)}, {Variant(0)});
  products->Last();
  EXPECT_EQ(Text(products, "DESCRIPTION"), "beta");
  products->SetIndexName(QString());
  EXPECT_EQ(Text(products, "DESCRIPTION"), "beta");
  EXPECT_EQ(products->RecordCount(), 5);
  EXPECT_EQ(products->IndexName(), "");

  products->SetIndexName(QStringLiteral("TYPE"));
  products->SetRange({Variant(1)}, {Variant(1)});
  products->CancelRange();
  EXPECT_EQ(Column(products, QStringLiteral("DESCRIPTION")),
            QStringList({"Alpha", "beta", "alpha", "Mid", "Zeta"}));
  EXPECT_EQ(Failure([&] { products->SetIndexName(QStringLiteral("NOSUCH")); }).first, DBIERR_NOSUCHINDEX);
  EXPECT_EQ(products->IndexName(), "TYPE");
  EXPECT_EQ(Failure([&] {
              products->SetRange({Variant(1), Variant("a"), Variant(2)}, {});
            }).first,
            DBIERR_TOOMANYKEYFIELDS);
}

TEST_F(ClientTable, DescendingIndexWithARangeOnOneCustomer) {
  BuildHeaders();
  TffTable *headers = Table(QStringLiteral("MINV1"), QStringLiteral("CUST"));
  headers->Open();
  const int customers[] = {7, 3, 7, 0, 7};
  for (int i = 0; i < 5; ++i)
    AppendRecord(headers, {{"CUSTNO", Variant(customers[i])}, {"InvNUM", Variant(double(i + 1))}});
  headers->SetRange({Variant(7)}, {Variant(7)});
  EXPECT_EQ(Column(headers, QStringLiteral("InvNUM")), QStringList({"5", "3", "1"})); // newest first
  headers->SetRange({Variant(0)}, {Variant(0)});
  EXPECT_EQ(Column(headers, QStringLiteral("InvNUM")), QStringList({"4"}));
  headers->SetIndexName(QStringLiteral("INVNUM"));
  EXPECT_EQ(Column(headers, QStringLiteral("InvNUM")), QStringList({"5", "4", "3", "2", "1"}));
}

class ClientMasterDetail : public ClientTable {
protected:
  void SetUp() override {
    ClientTable::SetUp();
    BuildHeaders();
    BuildLines();
    headers = Table(QStringLiteral("MINV1"), QStringLiteral("INVNUM"));
    headers->Open();
    lines = Table(QStringLiteral("MINV2"), QStringLiteral("REC"));
    lines->Open();
    for (int i = 1; i <= 3; ++i) {
      AppendRecord(headers, {{"InvNUM", Variant(double(i))}});
      const int rec = headers->FieldByName(QStringLiteral("REC"))->AsInteger();
      for (int j = 1; j <= i - 1; ++j)
        AppendRecord(
            lines, {{"REC", Variant(rec)}, {"DESCRIPTION", Variant(QStringLiteral("%1.%2").arg(i).arg(j))}});
    }
    headersSource = SourceOf(headers);
    lines->SetMasterFields(QStringLiteral("REC"));
    lines->SetMasterSource(headersSource);
    headers->First();
  }
  QStringList Lines() { return Column(lines, QStringLiteral("DESCRIPTION")); }

  TffTable *headers = nullptr;
  TffTable *lines = nullptr;
  TDataSource *headersSource = nullptr;
};

TEST_F(ClientMasterDetail, TheLinesFollowTheHeadersScroll) {
  EXPECT_EQ(Lines(), QStringList({"3.1", "3.2"})); // in the order they were added
  headers->Next();
  EXPECT_EQ(Lines(), QStringList({"2.1"}));
  EXPECT_EQ(lines->RecordCount(), 1);
  headers->Next();
  EXPECT_TRUE(lines->IsEmpty());
  EXPECT_EQ(lines->RecordCount(), 0);
  headers->First();
  EXPECT_EQ(lines->RecordCount(), 2);
}

TEST_F(ClientMasterDetail, TheLinesFollowThePostOfANewHeader) {
  headers->Append();
  headers->FieldByName(QStringLiteral("InvNUM"))->SetAsFloat(4);
  EXPECT_TRUE(lines->IsEmpty());
  headers->Post();
  const int rec = headers->FieldByName(QStringLiteral("REC"))->AsInteger();
  EXPECT_EQ(rec, 4);
  EXPECT_TRUE(lines->IsEmpty());
  for (const char *text : {"4.1", "4.2", "4.3"}) AppendRecord(lines, {{"DESCRIPTION", Variant(text)}});
  EXPECT_EQ(lines->FieldByName(QStringLiteral("REC"))->AsInteger(), rec); // taken from the header
  EXPECT_EQ(Lines(), QStringList({"4.1", "4.2", "4.3"}));
  headers->Last();
  headers->First();
  EXPECT_EQ(Lines(), QStringList({"4.1", "4.2", "4.3"}));
}

TEST_F(ClientMasterDetail, TheLinesFollowEmptyTable) {
  lines->EmptyTable();
  EXPECT_TRUE(lines->IsEmpty());
  headers->EmptyTable();
  EXPECT_TRUE(headers->IsEmpty());
  EXPECT_TRUE(lines->IsEmpty());
  lines->SetMasterSource(nullptr);
  EXPECT_EQ(lines->RecordCount(), 0);
}

TEST_F(ClientMasterDetail, ARolledBackTransactionLeavesBothTablesUnchanged) {
  const QStringList headersBefore = Column(headers, QStringLiteral("InvNUM"));
  lines->SetMasterSource(nullptr);
  const QStringList linesBefore = Lines();

  // A failure of the record's own check in the middle.
  database->StartTransaction();
  EXPECT_TRUE(database->InTransaction());
  AppendRecord(headers, {{"InvNUM", Variant(9.0)}});
  AppendRecord(lines, {{"REC", Variant(9)}, {"DESCRIPTION", Variant("first")}});
  lines->Append();
  EXPECT_THROW(SetText(lines, "DESCRIPTION", QString(1001, QChar(u'x'))), EDatabaseError);
  lines->Cancel();
  ProbeLink grid; // what a grid on the headers shows, read without moving
  grid.SetBufferCount(5);
  grid.SetDataSource(headersSource);
  EXPECT_TRUE(grid.Rows("InvNUM").contains("9*"));
  database->Rollback();
  EXPECT_FALSE(database->InTransaction());
  EXPECT_EQ(grid.Rows("InvNUM"), QStringList({"3*", "2", "1"})); // the record after the one that went
  grid.SetDataSource(nullptr);
  EXPECT_EQ(Column(headers, QStringLiteral("InvNUM")), headersBefore);
  EXPECT_EQ(Lines(), linesBefore);

  // A failure of the engine in the middle (the disk full) ends the transaction; the rollback closes it.
  database->StartTransaction();
  AppendRecord(headers, {{"InvNUM", Variant(10.0)}});
  engine.DatabaseSetSizeLimit(database->DatabaseID(), QFileInfo(FilePath()).size());
  const auto failure = Failure([&] {
    for (int i = 0; i < 200; ++i)
      AppendRecord(lines,
                   {{"REC", Variant(10)}, {"DESCRIPTION", Variant(QString(1000, QChar(u'a' + i % 26)))}});
  });
  EXPECT_EQ(failure.first, DBIERR_NODISKSPACE);
  lines->Cancel();
  EXPECT_EQ(Failure([&] { database->Commit(); }).first, DBIERR_TRANABORTED);
  EXPECT_FALSE(database->InTransaction());
  engine.DatabaseSetSizeLimit(database->DatabaseID(), 0);
  database->Rollback(); // what a handler of the failure does: nothing is left to undo
  EXPECT_EQ(Column(headers, QStringLiteral("InvNUM")), headersBefore);
  EXPECT_EQ(Lines(), linesBefore);

  // A committed one stays.
  database->StartTransaction();
  AppendRecord(headers, {{"InvNUM", Variant(11.0)}});
  database->Commit();
  EXPECT_EQ(headers->RecordCount(), 4);
}

TEST_F(ClientTable, BlobsBooleansAndNullsRoundTrip) {
  BuildReports();
  TffTable *reports = Table(QStringLiteral("Reports"), QStringLiteral("rec"));
  reports->Open();
  const QByteArray stream("\x00\x01template\xff", 11);
  AppendRecord(reports,
               {{"FileName", Variant("with content")}, {"Copies", Variant(2)}, {"Auto", Variant(true)}});
  reports->Edit();
  static_cast<TBlobField *>(reports->FieldByName(QStringLiteral("File")))->SetAsBytes(stream);
  reports->Post();
  reports->Append();
  static_cast<TBlobField *>(reports->FieldByName(QStringLiteral("File")))->SetAsBytes(QByteArray());
  SetText(reports, "FileName", QStringLiteral("empty"));
  reports->Post();
  AppendRecord(reports, {{"FileName", Variant("null")}});
  reports->Close();

  reports->Open();
  auto *file = static_cast<TBlobField *>(reports->FieldByName(QStringLiteral("File")));
  EXPECT_EQ(file->ClassName(), "TBlobField");
  EXPECT_EQ(reports->FieldByName(QStringLiteral("Copies"))->DataType(), ftSmallint);
  EXPECT_EQ(file->AsBytes(), stream);
  TMemoryStream copy;
  file->SaveToStream(&copy);
  EXPECT_EQ(copy.Bytes(), stream);
  EXPECT_TRUE(reports->FieldByName(QStringLiteral("Auto"))->AsBoolean());
  EXPECT_EQ(reports->FieldByName(QStringLiteral("Copies"))->AsInteger(), 2);
  reports->Next();
  EXPECT_FALSE(file->IsNull());
  EXPECT_EQ(file->BlobSize(), 0);
  EXPECT_TRUE(reports->FieldByName(QStringLiteral("Auto"))->IsNull());
  reports->Next();
  EXPECT_TRUE(file->IsNull());
  EXPECT_EQ(file->DisplayText(), "(Blob)");

  // Written through a stream.
  reports->Edit();
  {
    std::unique_ptr<TStream> writer(reports->CreateBlobStream(file, bmWrite));
    writer->WriteBytes("streamed");
  }
  reports->Post();
  reports->Close();
  reports->Open(); // opening again makes new field objects
  reports->Last();
  EXPECT_EQ(static_cast<TBlobField *>(reports->FieldByName(QStringLiteral("File")))->AsBytes(), "streamed");
}

TEST_F(ClientTable, ANullFloatCopiedStaysNullAndLongTextIsRefused) {
  BuildLines();
  TffDataDictionary scratch(4096);
  scratch.AddField(QStringLiteral("QUANTITY"), QString(), fftDouble, 0, 0, false);
  scratch.AddField(QStringLiteral("DESCRIPTION"), QString(), fftNullString, 1000, 0, false);
  Build(QStringLiteral("INV2"), scratch);
  TffTable *inv2 = Table(QStringLiteral("INV2"));
  inv2->Open();
  auto *quantity = new TFloatField(module); // a declared field, as the data module declares them
  quantity->SetFieldName(QStringLiteral("QUANTITY"));
  quantity->SetDisplayFormat(QStringLiteral("0.00;-0.00"));
  inv2->Close();
  quantity->SetDataSet(inv2);
  auto *description = new TStringField(module);
  description->SetFieldName(QStringLiteral("DESCRIPTION"));
  description->SetDataSet(inv2);
  inv2->Open();
  EXPECT_EQ(description->Size(), 1000);
  AppendRecord(inv2, {{"DESCRIPTION", Variant("service line")}});
  AppendRecord(inv2, {{"DESCRIPTION", Variant("item line")}, {"QUANTITY", Variant(-3.0)}});

  TffTable *minv2 = Table(QStringLiteral("MINV2"));
  minv2->Open();
  for (inv2->First(); !inv2->Eof(); inv2->Next()) {
    minv2->Append();
    minv2->FieldByName(QStringLiteral("REC"))->SetAsInteger(1);
    minv2->FieldByName(QStringLiteral("QUANTITY"))->SetAsVariant(quantity->AsVariant());
    minv2->FieldByName(QStringLiteral("DESCRIPTION"))->SetAsVariant(description->AsVariant());
    minv2->Post();
  }
  minv2->Close();
  minv2->Open();
  EXPECT_TRUE(minv2->FieldByName(QStringLiteral("QUANTITY"))->IsNull());
  EXPECT_EQ(minv2->FieldByName(QStringLiteral("QUANTITY"))->DisplayText(), "");
  minv2->Next();
  EXPECT_EQ(minv2->FieldByName(QStringLiteral("QUANTITY"))->AsFloat(), -3.0);
  inv2->Last();
  EXPECT_EQ(quantity->DisplayText(), "-3.00");

  minv2->Append();
  EXPECT_THROW(SetText(minv2, "DESCRIPTION", QString(1001, QChar(u'x'))), EDatabaseError);
  SetText(minv2, "DESCRIPTION", QString(1000, QChar(u'x')));
  minv2->Post();
  EXPECT_EQ(Text(minv2, "DESCRIPTION").size(), 1000);
  EXPECT_EQ(minv2->RecordCount(), 3);
}

} // namespace

namespace {

// The same random walk of moves and changes on a table and on an in-memory dataset: after every step both
// show the same active record, the same Bof and Eof, and a grid on each the same rows.
TEST_F(ClientTable, ReadingAheadAgreesWithAnInMemoryDataSetStepByStep) {
  BuildCustomers();
  TffTable *table = Table(QStringLiteral("CUSTOMERS")); // the order records were added in
  table->Open();
  auto *mirror = new TMemoryDataSet(module);
  mirror->FieldDefs()->Add(QStringLiteral("CUSTNO"), ftAutoInc);
  mirror->FieldDefs()->Add(QStringLiteral("CUSTOMER"), ftString, 50);
  mirror->CreateDataSet();
  for (int i = 1; i <= 60; ++i)
    for (TDataSet *ds : {static_cast<TDataSet *>(table), static_cast<TDataSet *>(mirror)})
      AppendRecord(ds, {{"CUSTOMER", Variant(QStringLiteral("c%1").arg(i))}});
  ProbeLink tableGrid, mirrorGrid;
  tableGrid.SetBufferCount(7);
  mirrorGrid.SetBufferCount(7);
  tableGrid.SetDataSource(SourceOf(table));
  mirrorGrid.SetDataSource(SourceOf(mirror));

  std::mt19937 random(7);
  int added = 0;
  for (int step = 0; step < 3000; ++step) {
    const int action = int(random() % 100);
    const int distance = int(random() % 23) - 11;
    QString what;
    for (TDataSet *ds : {static_cast<TDataSet *>(table), static_cast<TDataSet *>(mirror)}) {
      if (action < 30) {
        what = QStringLiteral("next");
        ds->Next();
      } else if (action < 55) {
        what = QStringLiteral("prior");
        ds->Prior();
      } else if (action < 75) {
        what = QStringLiteral("move by %1").arg(distance);
        ds->MoveBy(distance);
      } else if (action < 79) {
        what = QStringLiteral("first");
        ds->First();
      } else if (action < 83) {
        what = QStringLiteral("last");
        ds->Last();
      } else if (action < 90) {
        what = QStringLiteral("edit");
        ds->Edit();
        SetText(ds, "CUSTOMER", QStringLiteral("e%1").arg(step));
        ds->Post();
      } else if (action < 95) {
        what = QStringLiteral("delete");
        if (!ds->IsEmpty()) ds->Delete();
      } else {
        what = QStringLiteral("append");
        AppendRecord(ds, {{"CUSTOMER", Variant(QStringLiteral("a%1").arg(added))}});
      }
    }
    if (what == QStringLiteral("append")) ++added;
    const std::string where = QStringLiteral("step %1: %2").arg(step).arg(what).toStdString();
    ASSERT_EQ(Text(table, "CUSTOMER"), Text(mirror, "CUSTOMER")) << where;
    ASSERT_EQ(table->Bof(), mirror->Bof()) << where;
    ASSERT_EQ(table->Eof(), mirror->Eof()) << where;
    ASSERT_EQ(tableGrid.Rows("CUSTOMER"), mirrorGrid.Rows("CUSTOMER")) << where;
  }
  EXPECT_EQ(table->RecordCount(), mirror->RecordCount());
  EXPECT_EQ(Column(table, QStringLiteral("CUSTOMER")), Column(mirror, QStringLiteral("CUSTOMER")));
}

} // namespace
