// TffTable as a dataset over the engine: where records stand after Post and Delete, Edit on an empty table,
// automatic numbers, FindNearest, ranges and index switching, master-detail, transactions, BLOBs and values.
#include "client_fixture.h"
#include <QFileInfo>
#include <random>

using test::AppendRecord;
using test::ProbeLink;

namespace {

using ClientTable = ClientTest;

TEST_F(ClientTable, ThePostedRecordStandsInItsPlaceWithItsNumberAndDeleteMovesOn) {
  TffTable *customers = Open("CUSTOMERS", CustomersSchema(), "CUSTOMER");
  ProbeLink grid;
  grid.SetBufferCount(3);
  grid.SetDataSource(SourceOf(customers));
  // The posted record is active, with its number.
  const auto post = [&](const char *name) {
    SetText(customers, "CUSTOMER", QString::fromLatin1(name));
    customers->Post();
    return Text(customers, "CUSTNO") + u' ' + Text(customers, "CUSTOMER");
  };
  for (const char *name : {"Carl", "anna", "Bob"}) {
    customers->Append();
    post(name);
  }
  customers->Append();
  EXPECT_EQ(post("Dora"), "4 Dora");
  EXPECT_EQ(grid.Rows("CUSTOMER"), QStringList({"Bob", "Carl", "Dora*"}));

  customers->First();
  customers->Insert();
  EXPECT_EQ(post("Cecil"), "5 Cecil");
  EXPECT_EQ(grid.Rows("CUSTOMER"), QStringList({"Carl", "Cecil*", "Dora"}));
  customers->Prior();

  customers->Delete();
  EXPECT_EQ(Text(customers, "CUSTOMER"), "Cecil");
  customers->Last();
  customers->Delete();
  EXPECT_EQ(Text(customers, "CUSTOMER"), "Cecil");
  EXPECT_EQ(Column(customers, "CUSTOMER"), "anna,Bob,Cecil");

  // Editing moves the record to its new place and keeps it active.
  customers->First();
  customers->Edit();
  EXPECT_EQ(post("Zoe"), "2 Zoe");
  EXPECT_EQ(grid.Rows("CUSTOMER"), QStringList({"Bob", "Cecil", "Zoe*"}));

  // Emptied, the table stays open; numbers are never used again. A closed table is emptied and stays closed.
  customers->EmptyTable();
  customers->Append();
  EXPECT_EQ(post("Eve"), "6 Eve");
  customers->Close();
  customers->EmptyTable();
  EXPECT_FALSE(customers->Active());
  customers->Open();
  EXPECT_TRUE(customers->IsEmpty());
}

TEST_F(ClientTable, EditOnAnEmptyTableInsertsTheOneRow) {
  TffTable *inv1 = Open("INV1", Schema({{"CUSTOMER", fftNullString, 50}, {"InvNUM", fftDouble}}));
  for (double number : {41.0, 42.0}) {
    inv1->Edit();
    EXPECT_EQ(inv1->State(), number == 41.0 ? dsInsert : dsEdit);
    SetText(inv1, "CUSTOMER", "Ann");
    inv1->FieldByName("InvNUM")->SetAsFloat(number);
    inv1->Post();
    inv1->Close();
    inv1->Open();
  }
  EXPECT_EQ(inv1->RecordCount(), 1);
  EXPECT_EQ(Text(inv1, "InvNUM"), "42");
}

TEST_F(ClientTable, FindNearestOnTheCurrentIndex) {
  TffTable *customers = Open("CUSTOMERS", CustomersSchema(), "CUSTOMER");
  for (const char *name : {"Bob", "anna", "Émile", "Carl", "carla"})
    AppendRecord(customers, {{"CUSTOMER", Variant(name)}});
  // Before the first key, case differs, between keys (the next one), ties with case (the first in order),
  // after the last key (the last record).
  const std::pair<const char *, const char *> cases[] = {
      {"", "anna"}, {"ANNA", "anna"}, {"Bz", "Carl"}, {"éMILE", "Émile"}, {"ÿ", "Émile"},
  };
  for (const auto &[key, found] : cases) {
    customers->FindNearest({Variant(key)});
    EXPECT_EQ(Text(customers, "CUSTOMER"), QString::fromUtf8(found)) << key;
  }
  // An edit is posted first.
  customers->Edit();
  SetText(customers, "CUSTOMER", "Emil");
  customers->FindNearest({Variant("a")});
  EXPECT_EQ(customers->State(), dsBrowse);
  customers->EmptyTable();
  customers->FindNearest({Variant("a")});
  EXPECT_TRUE(customers->IsEmpty());
}

TEST_F(ClientTable, RangesOnLeadingFieldsAndIndexSwitching) {
  TffTable *products = Open(
      "PRODUCTS", Schema({{"TYPE", fftInt32}, {"DESCRIPTION", fftNullString, 1000}, {"ITEMPRICE", fftDouble}},
                         {{"TYPE", "TYPE;DESCRIPTION"}}));
  const std::pair<int, const char *> rows[] = {
      {1, "Zeta"}, {0, "beta"}, {1, "alpha"}, {0, "Alpha"}, {1, "Mid"}};
  for (const auto &[type, description] : rows)
    AppendRecord(products, {{"TYPE", Variant(type)}, {"DESCRIPTION", Variant(description)}});
  EXPECT_EQ(Column(products, "DESCRIPTION"), "Zeta,beta,alpha,Alpha,Mid");

  products->SetIndexName("TYPE");
  products->SetRange({Variant(1)}, {Variant(1)});
  EXPECT_EQ(Text(products, "DESCRIPTION"), "alpha"); // at the first record of the range
  EXPECT_EQ(Column(products, "DESCRIPTION"), "alpha,Mid,Zeta");

  // A change of index drops the range and keeps the active record.
  products->SetRange({Variant(0)}, {Variant(0)});
  products->Last();
  EXPECT_EQ(Text(products, "DESCRIPTION"), "beta");
  products->SetIndexName(QString());
  EXPECT_EQ(Text(products, "DESCRIPTION"), "beta");

  EXPECT_EQ(Failure([&] { products->SetIndexName("NOSUCH"); }).first, DBIERR_NOSUCHINDEX);
}

// Headers numbered 1 to 3 (REC 1 to 3) with 0, 1 and 2 lines "N.1", "N.2", and a line of no header; the
// lines follow the headers by REC, the headers newest first.
class ClientMasterDetail : public ClientTable {
protected:
  void SetUp() override {
    ClientTable::SetUp();
    headers = Open("MINV1", HeadersSchema(), "INVNUM");
    lines = Open("MINV2", LinesSchema(), "REC");
    for (int i = 1; i <= 3; ++i) {
      AppendRecord(headers, {{"InvNUM", Variant(double(i))}});
      for (int j = 1; j <= i - 1; ++j)
        AppendRecord(lines,
                     {{"REC", Variant(i)}, {"DESCRIPTION", Variant(QStringLiteral("%1.%2").arg(i).arg(j))}});
    }
    AppendRecord(lines, {{"DESCRIPTION", Variant("of no invoice")}}); // REC null
    headersSource = SourceOf(headers);
    lines->SetMasterFields("REC");
    lines->SetMasterSource(headersSource);
    headers->First();
  }
  QString Lines() { return Column(lines, "DESCRIPTION"); }

  TffTable *headers = nullptr;
  TffTable *lines = nullptr;
  TDataSource *headersSource = nullptr;
};

TEST_F(ClientMasterDetail, TheLinesFollowTheHeadersScrollPostAndEmptyTable) {
  EXPECT_EQ(Lines(), "3.1,3.2"); // in the order they were added
  headers->Next();
  EXPECT_EQ(Lines(), "2.1");
  headers->Next();
  EXPECT_TRUE(lines->IsEmpty());

  // A new header has no number before it is posted: it shows no lines, then takes its own.
  headers->Append();
  headers->FieldByName("InvNUM")->SetAsFloat(4);
  EXPECT_TRUE(lines->IsEmpty());
  headers->Post();
  EXPECT_EQ(Text(headers, "REC"), "4");
  EXPECT_TRUE(lines->IsEmpty());
  for (const char *text : {"4.1", "4.2", "4.3"}) AppendRecord(lines, {{"DESCRIPTION", Variant(text)}});
  EXPECT_EQ(Text(lines, "REC"), "4"); // taken from the header
  headers->Last();
  headers->First();
  EXPECT_EQ(Lines(), "4.1,4.2,4.3");

  lines->EmptyTable();
  headers->EmptyTable();
  EXPECT_TRUE(lines->IsEmpty());
  lines->SetMasterSource(nullptr);
  EXPECT_EQ(lines->RecordCount(), 0);
}

TEST_F(ClientMasterDetail, ARolledBackTransactionLeavesBothTablesUnchanged) {
  lines->SetMasterSource(nullptr);
  const QString before = Column(headers, "InvNUM") + u'|' + Lines();
  const auto now = [&] { return Column(headers, "InvNUM") + u'|' + Lines(); };

  // A failure of the record's own check in the middle.
  database->StartTransaction();
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
  EXPECT_EQ(grid.Rows("InvNUM"), QStringList({"3*", "2", "1"})); // the record after the one that went
  grid.SetDataSource(nullptr);
  EXPECT_EQ(now(), before);

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
  EXPECT_EQ(now(), before);

  // A committed one stays.
  database->StartTransaction();
  AppendRecord(headers, {{"InvNUM", Variant(11.0)}});
  database->Commit();
  EXPECT_EQ(headers->RecordCount(), 4);
}

// A table that read records ahead while a transaction changed them reads them again when the transaction is
// rolled back: it shows none of the rolled-back changes, in its window or stepping on, and its active record
// stays active, or when the rollback took it, the record now at its place.
TEST_F(ClientTable, RecordsReadAheadInARolledBackTransactionAreReadAgain) {
  BuildCustomers();
  TffTable *table = Table("CUSTOMERS", "CUSTOMER");
  table->Open();
  QStringList names;
  for (int i = 1; i <= 40; ++i) {
    names.append(QStringLiteral("c%1").arg(i, 2, 10, QChar(u'0')));
    AppendRecord(table, {{"CUSTOMER", Variant(names.last())}});
  }
  TffTable *other = Table("CUSTOMERS", "CUSTOMER");
  other->Open();
  ProbeLink grid;
  grid.SetBufferCount(5);
  grid.SetDataSource(SourceOf(table));
  const struct {
    int steps;          // Next after c03, in the transaction
    const char *during; // the active record then
    const char *after;  // and after the rollback
  } cases[] = {{6, "c09 changed", "c09"}, {8, "c10a", "c11"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.during);
    table->First();
    table->MoveBy(2);
    const QStringList window = grid.Rows("CUSTOMER");
    database->StartTransaction();
    for (const char *name : {"c02", "c09", "c30"}) {
      other->FindNearest({Variant(name)});
      other->Edit();
      SetText(other, "CUSTOMER", QString::fromLatin1(name) + " changed");
      other->Post();
    }
    other->FindNearest({Variant("c12")});
    other->Delete();
    AppendRecord(other, {{"CUSTOMER", Variant("c10a")}});
    // Stepping on reads what the transaction wrote, and more ahead.
    for (int i = 0; i < c.steps; ++i) table->Next();
    EXPECT_EQ(Text(table, "CUSTOMER"), c.during);
    database->Rollback();

    EXPECT_EQ(Text(table, "CUSTOMER"), c.after);
    QStringList onward;
    for (; !table->Eof(); table->Next()) onward.append(Text(table, "CUSTOMER"));
    EXPECT_EQ(onward, names.mid(names.indexOf(c.after)));
    for (int i = 0; i < 10; ++i) table->Prior();
    EXPECT_EQ(Text(table, "CUSTOMER"), "c30");
    table->First();
    table->MoveBy(2);
    EXPECT_EQ(grid.Rows("CUSTOMER"), window);
  }
}

TEST_F(ClientTable, BlobsBooleansAndNullsRoundTrip) {
  TffTable *reports = Open("Reports",
                           Schema({{"rec", fftAutoInc},
                                   {"File", fftBLOB},
                                   {"FileName", fftNullString, 100},
                                   {"Copies", fftInt16},
                                   {"Auto", fftBoolean}},
                                  {{"rec", "rec"}}),
                           "rec");
  const QByteArray stream("\x00\x01template\xff", 11);
  const auto file = [&] { return static_cast<TBlobField *>(reports->FieldByName("File")); };
  AppendRecord(reports,
               {{"FileName", Variant("with content")}, {"Copies", Variant(2)}, {"Auto", Variant(true)}});
  reports->Edit();
  file()->SetAsBytes(stream);
  reports->Post();
  reports->Append();
  file()->SetAsBytes(QByteArray());
  reports->Post();
  AppendRecord(reports, {{"FileName", Variant("null")}});
  reports->Close();

  reports->Open();
  EXPECT_EQ(file()->AsBytes(), stream);
  EXPECT_EQ(Text(reports, "Auto") + u' ' + Text(reports, "Copies"), "True 2");
  reports->Next();
  EXPECT_FALSE(file()->IsNull()); // empty, not null
  EXPECT_TRUE(reports->FieldByName("Auto")->IsNull());
  reports->Next();
  EXPECT_TRUE(file()->IsNull());

  // Written through a stream.
  reports->Edit();
  std::unique_ptr<TStream>(reports->CreateBlobStream(file(), bmWrite))->WriteBytes("streamed");
  reports->Post();
  reports->Close();
  reports->Open(); // opening again makes new field objects
  reports->Last();
  EXPECT_EQ(file()->AsBytes(), "streamed");
}

TEST_F(ClientTable, ANullFloatCopiedStaysNull) {
  Build("INV2", Schema({{"QUANTITY", fftDouble}, {"DESCRIPTION", fftNullString, 1000}}));
  TffTable *inv2 = Table("INV2");
  auto *quantity = new TFloatField(module); // declared fields, as the data module declares them
  quantity->SetFieldName("QUANTITY");
  quantity->SetDisplayFormat("0.00;-0.00");
  quantity->SetDataSet(inv2);
  auto *description = new TStringField(module);
  description->SetFieldName("DESCRIPTION");
  description->SetDataSet(inv2);
  inv2->Open();
  AppendRecord(inv2, {{"DESCRIPTION", Variant("service line")}});
  AppendRecord(inv2, {{"DESCRIPTION", Variant("item line")}, {"QUANTITY", Variant(-3.0)}});

  TffTable *minv2 = Open("MINV2", LinesSchema());
  for (inv2->First(); !inv2->Eof(); inv2->Next())
    AppendRecord(minv2, {{"REC", Variant(1)},
                         {"QUANTITY", quantity->AsVariant()},
                         {"DESCRIPTION", description->AsVariant()}});
  minv2->Close();
  minv2->Open();
  EXPECT_TRUE(minv2->FieldByName("QUANTITY")->IsNull());
  EXPECT_EQ(Column(minv2, "QUANTITY"), ",-3");
  inv2->Last();
  EXPECT_EQ(quantity->DisplayText(), "-3.00");
}

// The same random walk of moves and changes on a table and on an in-memory dataset: after every step both
// show the same active record, the same Bof and Eof, and a grid on each the same rows.
TEST_F(ClientTable, ReadingAheadAgreesWithAnInMemoryDataSetStepByStep) {
  TffTable *table = Open("CUSTOMERS", CustomersSchema()); // the order records were added in
  auto *mirror = new TMemoryDataSet(module);
  mirror->FieldDefs()->Add("CUSTNO", ftAutoInc);
  mirror->FieldDefs()->Add("CUSTOMER", ftString, 50);
  mirror->CreateDataSet();
  TDataSet *const both[] = {table, mirror};
  for (int i = 1; i <= 60; ++i)
    for (TDataSet *ds : both) AppendRecord(ds, {{"CUSTOMER", Variant(QStringLiteral("c%1").arg(i))}});
  ProbeLink tableGrid, mirrorGrid;
  tableGrid.SetBufferCount(7);
  mirrorGrid.SetBufferCount(7);
  tableGrid.SetDataSource(SourceOf(table));
  mirrorGrid.SetDataSource(SourceOf(mirror));

  std::mt19937 random(7);
  // Steps by their share of 100: the first of these whose bound lies above the throw is taken.
  const std::pair<int, const char *> steps[] = {{30, "next"}, {55, "prior"}, {75, "move"},   {79, "first"},
                                                {83, "last"}, {90, "edit"},  {95, "delete"}, {100, "append"}};
  for (int step = 0; step < 3000; ++step) {
    const int action = int(random() % 100), distance = int(random() % 23) - 11;
    const QString what =
        QString::fromLatin1(std::find_if(std::begin(steps), std::end(steps), [&](const auto &s) {
                              return action < s.first;
                            })->second);
    for (TDataSet *ds : both) {
      if (what == "next") ds->Next();
      if (what == "prior") ds->Prior();
      if (what == "move") ds->MoveBy(distance);
      if (what == "first") ds->First();
      if (what == "last") ds->Last();
      if (what == "edit") {
        ds->Edit();
        SetText(ds, "CUSTOMER", QStringLiteral("e%1").arg(step));
        ds->Post();
      }
      if (what == "delete" && !ds->IsEmpty()) ds->Delete();
      if (what == "append") AppendRecord(ds, {{"CUSTOMER", Variant(QStringLiteral("a%1").arg(step))}});
    }
    const std::string where =
        QStringLiteral("step %1: %2 %3").arg(step).arg(what).arg(distance).toStdString();
    ASSERT_EQ(Text(table, "CUSTOMER"), Text(mirror, "CUSTOMER")) << where;
    ASSERT_EQ(table->Bof(), mirror->Bof()) << where;
    ASSERT_EQ(table->Eof(), mirror->Eof()) << where;
    ASSERT_EQ(tableGrid.Rows("CUSTOMER"), mirrorGrid.Rows("CUSTOMER")) << where;
  }
  EXPECT_EQ(table->RecordCount(), mirror->RecordCount());
  EXPECT_EQ(Column(table, "CUSTOMER"), Column(mirror, "CUSTOMER"));
}

} // namespace
