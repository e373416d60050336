// Tables: building from a definition, replacing, deleting, emptying, listing and changing indexes, with the
// errors for names and tables in use. A table reopened with its types and indexes: client_components_test.
#include "engine_fixture.h"

namespace {

TEST_F(EngineTest, TablesAreListedFoundDeletedAndEmptiedWhateverTheCase) {
  BuildCustomers();
  BuildLines();
  QStringList tables;
  EXPECT_OK(engine.DatabaseTableList(db, tables));
  EXPECT_EQ(tables, QStringList({"CUSTOMERS", "MINV2"}));
  bool exists = false;
  EXPECT_OK(engine.DatabaseTableExists(db, "customers", exists));
  EXPECT_TRUE(exists);

  // Emptied, a table keeps its cursors open.
  const TffCursorID cursor = Open("CUSTOMERS", "CUSTOMER");
  for (const char *name : {"a", "b", "c"}) Customer(cursor, name);
  EXPECT_OK(engine.TableEmpty(db, "CUSTOMERS"));
  EXPECT_EQ(Reads({Get(cursor), Next(cursor)}), "<deleted> <eof>");
  Customer(cursor, "d");
  EXPECT_EQ(Column(cursor, 1), "d");

  // Deleted, it is gone and its name free.
  EXPECT_OK(engine.TableDelete(db, "minv2"));
  TffCursorID gone = 0;
  EXPECT_EQ(engine.CursorOpen(db, "MINV2", QString(), gone), DBIERR_NOSUCHTABLE);
  EXPECT_EQ(engine.LastError().Message, QStringLiteral("Table MINV2 in %1 does not exist").arg(FilePath()));
  EXPECT_EQ(engine.TableEmpty(db, "MINV2"), DBIERR_NOSUCHTABLE);

  // Built in a rolled-back transaction, it never was.
  ASSERT_OK(engine.TransactionStart(db));
  Build("INV2", LinesSchema());
  Line(Open("INV2"), 1, "x");
  ASSERT_OK(engine.TransactionRollback(db));
  EXPECT_OK(engine.DatabaseTableExists(db, "INV2", exists));
  EXPECT_FALSE(exists);

  // Bad names and definitions are refused; names that need quoting in SQL are fine.
  const TffDataDictionary dictionary = Schema({{"A", fftInt32}});
  for (const QString &name : QStringList{QString(), QString(256, u'T'), "ff_dictionary", "a$b"})
    EXPECT_EQ(engine.TableBuild(db, true, name, dictionary), DBIERR_INVALIDTABLENAME) << name.toStdString();
  EXPECT_OK(engine.TableBuild(db, false, QString(255, u'T'), dictionary));
  EXPECT_EQ(engine.TableBuild(db, false, "EMPTY", TffDataDictionary(4096)), DBIERR_INVALIDDICTIONARY);
  EXPECT_EQ(engine.TableBuild(db, false, "R", Schema({{"FF_ROWID", fftInt32}})), DBIERR_INVALIDFIELDNAME);
  Build("My \"Table\"", Schema({{"Level", fftInt16}, {"say \"hi\"", fftShortString, 10}},
                               {{"des\"cription", "Level;say \"hi\""}}));
  const TffCursorID quoted = Open("My \"Table\"", "des\"cription");
  Insert(quoted, {2, "b"});
  Insert(quoted, {1, "a"});
  EXPECT_EQ(Column(quoted, 1), "a,b");
}

TEST_F(EngineTest, BuildingOverATableNeedsOverwriteAndNoOpenCursorAndEveryHandleSeesTheNewOne) {
  BuildLines();
  TffCursorID cursor = Open("MINV2");
  Line(cursor, 1, "old");
  TffDatabaseID second = 0;
  ASSERT_OK(engine.DatabaseOpen(folder.path() + "/", second));
  TffCursorID other = 0;
  ASSERT_OK(engine.CursorOpen(second, "MINV2", QString(), other));

  const TffDataDictionary scratch = Schema({{"QUANTITY", fftDouble}});
  EXPECT_EQ(engine.TableBuild(db, false, "minv2", scratch), DBIERR_TABLEEXISTS);
  EXPECT_TRUE(engine.LastError().Message.contains(FilePath())) << engine.LastError().Message.toStdString();
  EXPECT_EQ(engine.TableDelete(db, "MINV2"), DBIERR_TABLEINUSE);
  EXPECT_OK(engine.CursorClose(cursor));
  EXPECT_EQ(engine.TableBuild(db, true, "MINV2", scratch), DBIERR_TABLEINUSE); // the other's
  EXPECT_OK(engine.CursorClose(other));
  EXPECT_OK(engine.TableBuild(db, true, "MINV2", scratch));

  std::optional<TffDataDictionary> dictionary;
  ASSERT_OK(engine.TableGetDictionary(second, "MINV2", dictionary));
  EXPECT_EQ(dictionary->FieldCount(), 1);
  EXPECT_EQ(engine.CursorOpen(db, "MINV2", "REC", other), DBIERR_NOSUCHINDEX);
}

TEST_F(EngineTest, IndexesChangeWithTheRecordsKeptAndAUniqueIndexTheRecordsBreakIsRefused) {
  BuildHeaders();
  TffCursorID cursor = Open("MINV1");
  for (double number : {7.0, 9.0, 8.0}) Header(cursor, 1, number);
  const TffDataDictionary unique = HeadersSchema(true);
  EXPECT_EQ(engine.TableChangeIndexes(db, "MINV1", unique), DBIERR_TABLEINUSE);
  ASSERT_OK(engine.CursorClose(cursor));

  // A second 9 breaks the unique index: refused, and the table stays as it was.
  cursor = Open("MINV1");
  const TffRecord duplicate = Header(cursor, 2, 9.0);
  ASSERT_OK(engine.CursorClose(cursor));
  EXPECT_EQ(engine.TableChangeIndexes(db, "MINV1", unique), DBIERR_KEYVIOL);
  std::optional<TffDataDictionary> dictionary;
  ASSERT_OK(engine.TableGetDictionary(db, "MINV1", dictionary));
  EXPECT_TRUE(dictionary->IndexDescriptor(2).idDups);

  cursor = Open("MINV1");
  ASSERT_OK(engine.CursorSetToBookmark(cursor, duplicate.Bookmark));
  ASSERT_OK(engine.RecordDelete(cursor));
  ASSERT_OK(engine.CursorClose(cursor));
  ASSERT_OK(engine.TableChangeIndexes(db, "MINV1", unique));

  // Seen so by another engine too: the records in index order, and a number used twice refused.
  TffServerEngine other;
  TffDatabaseID second = 0;
  ASSERT_EQ(other.DatabaseOpen(folder.path(), second), DBIERR_NONE);
  ASSERT_EQ(other.CursorOpen(second, "MINV1", "INVNUM", cursor), DBIERR_NONE);
  EXPECT_FALSE(other.CursorDictionary(cursor)->IndexDescriptor(2).idDups);
  TffRecord record;
  EXPECT_EQ(other.RecordInsert(cursor, {QVariant(), 3, 8.0, 1.0, false, QVariant(), QVariant()}, record),
            DBIERR_KEYVIOL);
}

TEST_F(EngineTest, ANewIndexOnATextSortsItWithoutRegardToCaseAndGoesAgainWithoutTrace) {
  BuildLines();
  TffCursorID cursor = Open("MINV2");
  for (const char *text : {"pear", "Apple", "fig", "apple"}) Line(cursor, 1, text);
  ASSERT_OK(engine.CursorClose(cursor));
  // The fields stay as they are: a field of another type is refused.
  const TffDataDictionary retyped = Schema({{"REC", fftInt32},
                                            {"QUANTITY", fftInt32},
                                            {"DESCRIPTION", fftNullString, 1000},
                                            {"ITEMPRICE", fftDouble}});
  EXPECT_EQ(engine.TableChangeIndexes(db, "MINV2", retyped), DBIERR_INVALIDDICTIONARY);
  const auto lines = [](bool byDescription) {
    TffDataDictionary dictionary = LinesSchema();
    if (byDescription) dictionary.AddIndex("TEXT", QString(), 0, "DESCRIPTION", false, true);
    return dictionary;
  };
  ASSERT_OK(engine.TableChangeIndexes(db, "MINV2", lines(true)));
  cursor = Open("MINV2", "TEXT");
  Line(cursor, 1, "BANANA");
  EXPECT_EQ(Column(cursor, 2), "Apple,apple,BANANA,fig,pear");
  ASSERT_OK(engine.CursorClose(cursor));

  ASSERT_OK(engine.TableChangeIndexes(db, "MINV2", lines(false)));
  EXPECT_EQ(engine.CursorOpen(db, "MINV2", "TEXT", cursor), DBIERR_NOSUCHINDEX);
  EXPECT_EQ(Column(Open("MINV2"), 2), "pear,Apple,fig,apple,BANANA");
}

} // namespace
