// Data sources and links: the notices links receive, DisableControls, the buffered window links see, and
// master-detail. A link saving its editor's value before a post is tested with the database table's grid.
#include "dataset_probe.h"
#include "tests/platform/raises.h"

using test::AppendRecord;
using test::Column;
using test::NumberedDataSet;
using test::ProbeLink;

namespace {

class DataSetLinks : public test::DataSetTest {
protected:
  TDataSource *SourceOf(TDataSet *dataSet) {
    auto *source = new TDataSource(owner.get());
    source->SetDataSet(dataSet);
    return source;
  }
  static TField *Name(TDataSet *dataSet) { return dataSet->FieldByName(QStringLiteral("NAME")); }
};

TEST_F(DataSetLinks, NoticesForEachKindOfChange) {
  TMemoryDataSet *ds = NumberedDataSet(owner.get(), 10);
  ProbeLink link;
  link.SetDataSource(SourceOf(ds));
  EXPECT_EQ(link.log, QStringList({"active 1"}));

  const struct {
    const char *action;
    std::function<void()> run;
    QStringList expected;
  } steps[] = {
      {"next", [&] { ds->Next(); }, {"scrolled 1"}},
      {"edit", [&] { ds->Edit(); }, {"editing 1", "record"}},
      {"set a field", [&] { Name(ds)->SetAsString(QStringLiteral("x")); }, {"record NAME"}},
      {"post", [&] { ds->Post(); }, {"update", "editing 0", "changed"}},
      {"label", [&] { Name(ds)->SetDisplayLabel(QStringLiteral("Name")); }, {"layout"}},
      {"format",
       [&] {
         static_cast<TFloatField *>(ds->FieldByName(QStringLiteral("AMOUNT")))->SetDisplayFormat("0.0");
       },
       {"changed"}},
      {"close", [&] { ds->Close(); }, {"active 0"}},
      {"open", [&] { ds->Open(); }, {"active 1"}},
      {"insert", [&] { ds->Insert(); }, {"editing 1", "changed"}},
      {"cancel", [&] { ds->Cancel(); }, {"editing 0", "changed"}},
      {"delete", [&] { ds->Delete(); }, {"changed"}},
  };
  for (const auto &step : steps) {
    link.log.clear();
    step.run();
    EXPECT_EQ(link.log, step.expected) << step.action;
  }
}

TEST_F(DataSetLinks, DisableControlsHoldsEveryNoticeAndSendsOneAfter) {
  TMemoryDataSet *ds = NumberedDataSet(owner.get(), 5);
  ProbeLink link;
  link.SetDataSource(SourceOf(ds));

  link.log.clear();
  ds->DisableControls();
  ds->Next();
  ds->Edit();
  Name(ds)->SetAsString(QStringLiteral("quiet"));
  ds->Post();
  ds->Last();
  EXPECT_TRUE(link.log.isEmpty());
  ds->EnableControls();
  EXPECT_EQ(link.log, QStringList({"changed"}));

  link.log.clear(); // nested: only the last EnableControls speaks
  ds->DisableControls();
  ds->DisableControls();
  ds->First();
  ds->EnableControls();
  EXPECT_TRUE(link.log.isEmpty());
  ds->EnableControls();
  EXPECT_EQ(link.log, QStringList({"changed"}));

  link.log.clear(); // closed and reopened meanwhile: a layout change
  ds->DisableControls();
  ds->Close();
  ds->Open();
  ds->EnableControls();
  EXPECT_EQ(link.log, QStringList({"layout"}));

  link.log.clear(); // left closed: the state change alone
  ds->DisableControls();
  ds->Close();
  ds->EnableControls();
  EXPECT_EQ(link.log, QStringList({"active 0"}));

  ds->Open();
  link.log.clear(); // left editing: the state change, then the data change
  ds->DisableControls();
  ds->Edit();
  ds->EnableControls();
  EXPECT_EQ(link.log, QStringList({"editing 1", "changed"}));
  ds->EnableControls(); // an extra call does nothing
  EXPECT_EQ(link.log.size(), 2);
}

TEST_F(DataSetLinks, EachLinkSeesItsOwnPartOfTheWindowFilledAroundTheActiveRecord) {
  TMemoryDataSet *ds = NumberedDataSet(owner.get(), 20);
  TDataSource *source = SourceOf(ds);
  ProbeLink big, small;
  big.SetDataSource(source);
  big.SetBufferCount(5);
  small.SetDataSource(source);
  small.SetBufferCount(3);
  EXPECT_EQ(ds->BufferCount(), 5);

  big.log.clear();
  small.log.clear();
  ds->MoveBy(4);
  EXPECT_EQ(big.log, QStringList({"scrolled 0"}));
  EXPECT_EQ(small.log, QStringList({"scrolled 2"}));

  big.log.clear();
  small.log.clear();
  ds->Next();
  EXPECT_EQ(big.log, QStringList({"scrolled 1"}));
  EXPECT_EQ(small.log, QStringList({"scrolled 1"}));
  EXPECT_EQ(big.Rows("NAME"), QStringList({"r2", "r3", "r4", "r5", "r6*"}));
  EXPECT_EQ(small.Rows("NAME"), QStringList({"r4", "r5", "r6*"}));
  EXPECT_EQ(Name(ds)->AsString(), "r6"); // reading rows left the active record as it was

  ds->Last();

  // The small link grows beyond the big one: the window is filled with the records before the active one.
  small.SetBufferCount(8);
  EXPECT_EQ(ds->BufferCount(), 8);
  EXPECT_EQ(small.Rows("NAME"), QStringList({"r13", "r14", "r15", "r16", "r17", "r18", "r19", "r20*"}));
  EXPECT_EQ(big.Rows("NAME"), QStringList({"r16", "r17", "r18", "r19", "r20*"}));
  small.SetDataSource(nullptr);
  ds->First();

  // Moving up past the top of the window shifts it by one.
  ds->MoveBy(7);
  big.log.clear();
  ds->MoveBy(-5);
  EXPECT_EQ(big.log, QStringList({"scrolled -1"}));
  EXPECT_EQ(big.Rows("NAME"), QStringList({"r3*", "r4", "r5", "r6", "r7"}));

  // A short dataset shows fewer records than the link could.
  TMemoryDataSet *shortOne = NumberedDataSet(owner.get(), 2);
  ProbeLink roomy;
  roomy.SetBufferCount(10);
  roomy.SetDataSource(SourceOf(shortOne));
  shortOne->Last();
  shortOne->Delete();
  EXPECT_EQ(roomy.Rows("NAME"), QStringList({"r1*"}));
}

TEST_F(DataSetLinks, DataSourceStateEventsAndAutoEdit) {
  TMemoryDataSet *ds = NumberedDataSet(owner.get(), 2);
  TDataSource *source = SourceOf(ds);
  QStringList events;
  source->SetOnStateChange(TNotifyEvent::From([&events](TObject *) { events << QStringLiteral("state"); }));
  source->SetOnDataChange(TDataChangeEvent::From([&events](TObject *, TField *field) {
    events << (field ? QStringLiteral("data ") + field->FieldName() : QStringLiteral("data"));
  }));
  ProbeLink link;
  link.SetDataSource(source);

  EXPECT_TRUE(link.Edit()); // AutoEdit puts the dataset into edit state
  EXPECT_EQ(ds->State(), dsEdit);
  Name(ds)->SetAsString(QStringLiteral("y"));
  ds->Cancel();
  EXPECT_EQ(events, QStringList({"state", "data", "data NAME", "state", "data"}));

  link.SetReadOnly(true);
  EXPECT_FALSE(link.Edit());
  link.SetReadOnly(false);

  link.log.clear();
  source->SetEnabled(false);
  ds->Next();
  EXPECT_EQ(link.log, QStringList({"active 0"})); // a disabled source passes nothing on
  source->SetEnabled(true);

  // Freeing the dataset leaves the source without one and the link inactive.
  ds->Free();
  EXPECT_FALSE(link.Active());
  // Freeing the source detaches the link.
  source->Free();
  EXPECT_EQ(link.DataSource(), nullptr);
}

class MasterDetail : public DataSetLinks {
protected:
  TMemoryDataSet *master = nullptr;
  TMemoryDataSet *detail = nullptr;
  TDataSource *masterSource = nullptr;

  void SetUp() override {
    master = new TMemoryDataSet(owner.get());
    master->FieldDefs()->Add(QStringLiteral("REC"), ftAutoInc);
    master->FieldDefs()->Add(QStringLiteral("CUSTOMER"), ftString, 50);
    master->CreateDataSet();
    for (const char *customer : {"Ann", "Bob", "Cid"})
      AppendRecord(master, {{"CUSTOMER", Variant(customer)}});
    masterSource = SourceOf(master);

    detail = new TMemoryDataSet(owner.get());
    detail->FieldDefs()->Add(QStringLiteral("REC"), ftInteger);
    detail->FieldDefs()->Add(QStringLiteral("DESCRIPTION"), ftString, 50);
    detail->SetIndexFieldNames(QStringLiteral("REC"));
    detail->CreateDataSet();
    AppendRecord(detail, {{"REC", Variant(2)}, {"DESCRIPTION", Variant("c")}});
    AppendRecord(detail, {{"REC", Variant(1)}, {"DESCRIPTION", Variant("a")}});
    AppendRecord(detail, {{"REC", Variant(1)}, {"DESCRIPTION", Variant("b")}});
    master->First();
    detail->SetMasterFields(QStringLiteral("REC"));
    detail->SetMasterSource(masterSource);
  }
  QStringList Lines() { return Column(detail, QStringLiteral("DESCRIPTION")); }
};

TEST_F(MasterDetail, TheDetailFollowsTheMastersScrollEmptyingAndClosing) {
  EXPECT_EQ(Lines(), QStringList({"a", "b"}));
  master->Next();
  EXPECT_EQ(Lines(), QStringList({"c"}));
  master->First();

  // The detail's own edit is posted before the master moves.
  detail->First();
  detail->Edit();
  detail->FieldByName(QStringLiteral("DESCRIPTION"))->SetAsString(QStringLiteral("a2"));
  master->Next();
  EXPECT_EQ(detail->State(), dsBrowse);
  master->Prior();
  EXPECT_EQ(Lines(), QStringList({"a2", "b"}));

  // Emptying and closing: no master record, no lines; no master at all, every line.
  master->EmptyDataSet();
  EXPECT_TRUE(detail->IsEmpty());
  master->Close(); // no master: every record
  EXPECT_EQ(detail->RecordCount(), 3);
  detail->SetMasterSource(nullptr);
  EXPECT_EQ(Lines(), QStringList({"a2", "b", "c"}));
}

// New lines taking the master's key are tested with the database's tables.
TEST_F(MasterDetail, AChangeOfTheMasterFieldMovesTheDetailAtOnce) {
  master->Edit();
  master->FieldByName(QStringLiteral("REC"))->SetAsInteger(2);
  EXPECT_EQ(Lines(), QStringList({"c"}));
  master->Cancel();
  EXPECT_EQ(Lines(), QStringList({"a", "b"}));
}

TEST_F(MasterDetail, CircularLinksAreRefusedAndAFreedSourceIsForgotten) {
  TDataSource *detailSource = SourceOf(detail);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { master->SetMasterSource(detailSource); }),
            "Circular datalinks are not allowed");
  masterSource->Free();
  EXPECT_EQ(detail->MasterSource(), nullptr);
  EXPECT_EQ(detail->RecordCount(), 3);
}

} // namespace
