// The dataset's states, navigation, editing and bookmarks, on the in-memory dataset.
#include "dataset_probe.h"
#include "tests/platform/raises.h"

using test::Column;
using test::NumberedDataSet;

namespace {

class DataSetNavigation : public test::DataSetTest {
protected:
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

TEST_F(DataSetNavigation, EditPostCancelAndMovingOutOfEdit) {
  TMemoryDataSet *ds = NumberedDataSet(owner.get(), 3);
  ds->Next();
  ds->Edit();
  ds->FieldByName(QStringLiteral("NAME"))->SetAsString(QStringLiteral("changed"));
  EXPECT_TRUE(ds->Modified());
  ds->Cancel();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(Name(ds), "r2");

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
  EXPECT_EQ(Column(ds, QStringLiteral("NAME")), QStringList({"kept", "r2", "r3"}));

  ds->First();
  ds->Insert(); // nothing typed: the move drops the new record
  ds->Last();
  EXPECT_EQ(ds->RecordCount(), 3);
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
}

} // namespace
