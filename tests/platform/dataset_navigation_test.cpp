// The dataset's states, navigation, editing and bookmarks, on the in-memory dataset.
#include "dataset_probe.h"
#include "platform/core/format_settings.h"
#include "tests/platform/raises.h"
#include <gtest/gtest.h>
#include <memory>

using test::AppendRecord;
using test::Column;
using test::NumberedDataSet;

namespace {

class DataSetNavigation : public ::testing::Test {
protected:
  std::unique_ptr<TComponent, void (*)(TComponent *)> owner{new TComponent(nullptr),
                                                            [](TComponent *c) { c->Free(); }};
  FormatSettingsGuard settings{FormatSettings::USEnglish()};

  QString Name(TDataSet *dataSet) { return dataSet->FieldByName(QStringLiteral("NAME"))->AsString(); }
};

TEST_F(DataSetNavigation, OpenCloseAndStatesAndRecordsSurviveClose) {
  auto *ds = new TMemoryDataSet(owner.get());
  ds->FieldDefs()->Add(QStringLiteral("NAME"), ftString, 10);
  ds->Open();
  EXPECT_EQ(std::tuple(ds->IsEmpty(), ds->Bof(), ds->Eof(), ds->RecordCount(), ds->RecNo()),
            std::tuple(true, true, true, 0, 0));
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->FieldDefs()->Add(QStringLiteral("NAME"), ftString, 10); }),
            "Duplicate field name 'NAME'");

  // The records of a memory dataset survive its close.
  TMemoryDataSet *numbered = NumberedDataSet(owner.get(), 2);
  numbered->Close();
  numbered->Open();
  EXPECT_EQ(numbered->RecordCount(), 2);
  EXPECT_THROW(numbered->CreateDataSet(), EDatabaseError); // only while closed
}

TEST_F(DataSetNavigation, WalksForwardAndBackwardWithBofAndEof) {
  TMemoryDataSet *ds = NumberedDataSet(owner.get(), 5);
  EXPECT_TRUE(ds->Bof());
  ds->Next();
  EXPECT_FALSE(ds->Bof());
  EXPECT_EQ(ds->MoveBy(10), 3); // stops at the last record
  EXPECT_EQ(Name(ds), "r5");
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->MoveBy(1), 0);
  EXPECT_EQ(ds->MoveBy(-2), -2);
  EXPECT_EQ(std::pair(Name(ds), ds->RecNo()), std::pair(QStringLiteral("r3"), 3));
  EXPECT_FALSE(ds->Eof());
  EXPECT_EQ(ds->MoveBy(-10), -2);
  EXPECT_TRUE(ds->Bof());
  EXPECT_EQ(Name(ds), "r1");

  ds->SetRecNo(4);
  EXPECT_EQ(Name(ds), "r4");
  EXPECT_EQ(Column(ds, QStringLiteral("NAME")), QStringList({"r1", "r2", "r3", "r4", "r5"}));
}

TEST_F(DataSetNavigation, EditPostCancelAndMovingOutOfEdit) {
  TMemoryDataSet *ds = NumberedDataSet(owner.get(), 3);
  ds->Next();
  ds->Edit();
  ds->FieldByName(QStringLiteral("NAME"))->SetAsString(QStringLiteral("changed"));
  EXPECT_TRUE(ds->Modified());
  ds->Cancel();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(Name(ds), "r2");

  ds->Edit();
  ds->FieldByName(QStringLiteral("NAME"))->SetAsString(QStringLiteral("changed"));
  ds->Post();
  EXPECT_EQ(Name(ds), "changed");

  // Writing outside edit state is refused.
  EXPECT_EQ(MessageOf<EDatabaseError>(
                [&] { ds->FieldByName(QStringLiteral("NAME"))->SetAsString(QStringLiteral("x")); }),
            "Dataset not in edit or insert mode");

  // A move out of edit posts a change and drops an untouched insert.
  ds->First();
  ds->Edit();
  ds->FieldByName(QStringLiteral("NAME"))->SetAsString(QStringLiteral("kept"));
  ds->Next();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(Column(ds, QStringLiteral("NAME")), QStringList({"kept", "changed", "r3"}));

  ds->First();
  ds->Insert(); // nothing typed: the move drops the new record
  ds->Last();
  EXPECT_EQ(ds->RecordCount(), 3);

  // Edit on an empty dataset inserts.
  TMemoryDataSet *empty = NumberedDataSet(owner.get(), 0);
  empty->Edit();
  EXPECT_EQ(empty->State(), dsInsert);
  empty->FieldByName(QStringLiteral("NAME"))->SetAsString(QStringLiteral("first"));
  empty->Post();
  EXPECT_EQ(Name(empty), "first");
}

TEST_F(DataSetNavigation, InsertAppendWhereThePostedRecordStandsAndNumbersNeverRepeat) {
  TMemoryDataSet *ds = NumberedDataSet(owner.get(), 3);
  ds->Next(); // r2
  ds->Insert();
  ds->FieldByName(QStringLiteral("NAME"))->SetAsString(QStringLiteral("new"));
  ds->Post();
  EXPECT_EQ(Name(ds), "new");
  EXPECT_EQ(ds->RecNo(), 2);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("ID"))->AsInteger(), 4); // numbered on posting
  EXPECT_EQ(Column(ds, QStringLiteral("NAME")), QStringList({"r1", "new", "r2", "r3"}));

  ds->First();
  ds->Append();
  ds->FieldByName(QStringLiteral("NAME"))->SetAsString(QStringLiteral("last"));
  ds->Post();
  EXPECT_EQ(ds->RecNo(), 5);

  // Automatic numbers are never handed out twice.
  ds->Last();
  ds->Delete();
  ds->EmptyDataSet();
  AppendRecord(ds, {{"NAME", Variant("after")}});
  EXPECT_EQ(ds->FieldByName(QStringLiteral("ID"))->AsInteger(), 6);
}

TEST_F(DataSetNavigation, DeleteMakesTheNextRecordActiveOrThePriorAtTheEnd) {
  TMemoryDataSet *ds = NumberedDataSet(owner.get(), 4);
  ds->Next(); // r2
  ds->Delete();
  EXPECT_EQ(Name(ds), "r3");
  ds->Last();
  ds->Delete();
  EXPECT_EQ(Name(ds), "r3");
  ds->Delete();
  ds->Delete();
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Delete(); }),
            "Cannot perform this operation on an empty dataset");
  // Delete of a record being inserted only drops it.
  AppendRecord(ds, {{"NAME", Variant("only")}});
  ds->Insert();
  ds->Delete();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(ds->RecordCount(), 1);
}

TEST_F(DataSetNavigation, RequiredFieldsMustHaveAValueAndReadOnlyRefusesChanges) {
  auto *ds = new TMemoryDataSet(owner.get());
  ds->FieldDefs()->Add(QStringLiteral("CODE"), ftString, 5, true);
  ds->SetName(QStringLiteral("CODES"));
  ds->Open();
  ds->Append();
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Post(); }), "CODES: Field 'CODE' must have a value");
  EXPECT_EQ(ds->State(), dsInsert);

  // A read-only dataset refuses changes.
  TMemoryDataSet *fixed = NumberedDataSet(owner.get(), 2);
  fixed->SetReadOnly(true);
  EXPECT_THROW(fixed->Append(), EDatabaseError);
  EXPECT_EQ(fixed->State(), dsBrowse);
}

TEST_F(DataSetNavigation, Bookmarks) {
  TMemoryDataSet *ds = NumberedDataSet(owner.get(), 6);
  ds->MoveBy(2);
  TBookmark third = ds->GetBookmark();
  ds->MoveBy(2);
  TBookmark fifth = ds->Bookmark();

  const auto sign = [ds](const TBookmark &a, const TBookmark &b) {
    return (ds->CompareBookmarks(a, b) > 0) - (ds->CompareBookmarks(a, b) < 0);
  };
  EXPECT_EQ(
      QList<int>({sign(third, fifth), sign(fifth, third), sign(third, third), sign({}, {}), sign({}, third)}),
      QList<int>({-1, 1, 0, 0, -1}));

  ds->First();
  ds->GotoBookmark(fifth);
  EXPECT_EQ(Name(ds), "r5");

  ds->GotoBookmark(third);
  ds->Delete();
  EXPECT_FALSE(ds->BookmarkValid(third));
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->GotoBookmark(third); }), "Record not found");

  // A record being inserted has no bookmark yet.
  ds->Append();
  EXPECT_TRUE(ds->GetBookmark().isEmpty());
  ds->Cancel();
}

TEST_F(DataSetNavigation, IndexFieldNamesOrderWithTiesInPlacedOrder) {
  auto *ds = new TMemoryDataSet(owner.get());
  ds->FieldDefs()->Add(QStringLiteral("TYPE"), ftInteger);
  ds->FieldDefs()->Add(QStringLiteral("NAME"), ftString, 10);
  ds->CreateDataSet();
  AppendRecord(ds, {{"TYPE", Variant(2)}, {"NAME", Variant("b")}});
  AppendRecord(ds, {{"TYPE", Variant(1)}, {"NAME", Variant("z")}});
  AppendRecord(ds, {{"TYPE", Variant(2)}, {"NAME", Variant("a")}});
  AppendRecord(ds, {{"NAME", Variant("nul")}});
  ds->SetIndexFieldNames(QStringLiteral("TYPE"));
  EXPECT_EQ(Column(ds, QStringLiteral("NAME")), QStringList({"nul", "z", "b", "a"}));
  ds->SetIndexFieldNames(QStringLiteral("TYPE;NAME"));
  EXPECT_EQ(Column(ds, QStringLiteral("NAME")), QStringList({"nul", "z", "a", "b"}));
  EXPECT_THROW(ds->SetIndexFieldNames(QStringLiteral("NOPE")), EDatabaseError);

  // A posted record takes its place in the order and stays active.
  ds->First();
  ds->Edit();
  ds->FieldByName(QStringLiteral("TYPE"))->SetAsInteger(3);
  ds->Post();
  EXPECT_EQ(Name(ds), "nul");
  EXPECT_EQ(ds->RecNo(), 4);
}

} // namespace
