// Tables: building from a definition, reopening with types and indexes, replacing, deleting, emptying and
// listing, with the errors for names and tables in use.
#include "engine_fixture.h"

namespace {

TEST_F(EngineTest, ReopenedTableKeepsItsRecordsTypesAndIndexes) {
  BuildHeaders();
  TffCursorID cursor = Open(QStringLiteral("MINV1"), QStringLiteral("INVNUM"));
  for (int i = 1; i <= 3; ++i) Insert(cursor, {QVariant(), i, 100.0 + i, 9.5, i == 2});
  std::optional<TffDataDictionary> before;
  ASSERT_OK(engine.TableGetDictionary(db, QStringLiteral("MINV1"), before));

  // A new engine, as after the program ends.
  TffServerEngine reopened;
  TffDatabaseID second = 0;
  ASSERT_EQ(reopened.DatabaseOpen(folder.path(), second), DBIERR_NONE)
      << reopened.LastError().Message.toStdString();
  std::optional<TffDataDictionary> after;
  ASSERT_EQ(reopened.TableGetDictionary(second, QStringLiteral("minv1"), after), DBIERR_NONE);
  EXPECT_EQ(after->WriteToBytes(), before->WriteToBytes());
  EXPECT_EQ(after->BaseName(), QStringLiteral("MINV1"));
  EXPECT_EQ(after->FieldType(0), fftAutoInc);
  EXPECT_EQ(after->FieldType(4), fftBoolean);
  EXPECT_EQ(after->IndexName(1), QStringLiteral("CUST"));
  EXPECT_TRUE(after->IndexDescriptor(2).idFields[0].Descending);
  EXPECT_TRUE(after->IsReadOnly());
  EXPECT_THROW(after->AddField(QStringLiteral("X"), QString(), fftInt32, 0, 0, false), EffException);

  TffCursorID reader = 0;
  ASSERT_EQ(reopened.CursorOpen(second, QStringLiteral("MINV1"), QStringLiteral("INVNUM"), reader),
            DBIERR_NONE);
  QList<QVariant> numbers;
  TffRecord record;
  while (reopened.RecordGetNext(reader, record) == DBIERR_NONE) numbers.append(record.Values[2]);
  EXPECT_EQ(numbers, QList<QVariant>({103.0, 102.0, 101.0}));
  EXPECT_EQ(record.Values[4], QVariant(false));
  ASSERT_NE(reopened.CursorDictionary(reader), nullptr);
  EXPECT_TRUE(reopened.CursorDictionary(reader)->IsReadOnly());
}

TEST_F(EngineTest, ListsAndFindsTablesWhateverTheCase) {
  BuildCustomers();
  BuildLines();
  QStringList tables;
  EXPECT_OK(engine.DatabaseTableList(db, tables));
  EXPECT_EQ(tables, QStringList({"CUSTOMERS", "MINV2"}));
  bool exists = false;
  EXPECT_OK(engine.DatabaseTableExists(db, QStringLiteral("customers"), exists));
  EXPECT_TRUE(exists);
  EXPECT_OK(engine.DatabaseTableExists(db, QStringLiteral("INV2"), exists));
  EXPECT_FALSE(exists);
  QString path;
  EXPECT_OK(engine.DatabaseGetFilePath(db, path));
  EXPECT_EQ(path, FilePath());
}

TEST_F(EngineTest, BuildingOverAnExistingTableNeedsOverwriteAndNoOpenCursor) {
  BuildLines();
  TffCursorID cursor = Open(QStringLiteral("MINV2"));
  Insert(cursor, {1, 1.0, QStringLiteral("old"), 1.0});
  TffDataDictionary scratch(4096);
  scratch.AddField(QStringLiteral("QUANTITY"), QString(), fftDouble, 0, 0, false);
  EXPECT_EQ(engine.TableBuild(db, false, QStringLiteral("minv2"), scratch), DBIERR_TABLEEXISTS);
  EXPECT_TRUE(engine.LastError().Message.contains(FilePath())) << engine.LastError().Message.toStdString();
  EXPECT_EQ(engine.TableBuild(db, true, QStringLiteral("MINV2"), scratch), DBIERR_TABLEINUSE);
  EXPECT_EQ(engine.TableDelete(db, QStringLiteral("MINV2")), DBIERR_TABLEINUSE);
  EXPECT_EQ(Column(cursor, 2), QStringList({"old"}));

  EXPECT_OK(engine.CursorClose(cursor));
  EXPECT_OK(engine.TableBuild(db, true, QStringLiteral("MINV2"), scratch));
  cursor = Open(QStringLiteral("MINV2"));
  EXPECT_TRUE(ReadAll(cursor).isEmpty());
  EXPECT_EQ(engine.CursorDictionary(cursor)->FieldCount(), 1);
  TffCursorID byRec = 0;
  EXPECT_EQ(engine.CursorOpen(db, QStringLiteral("MINV2"), QStringLiteral("REC"), byRec), DBIERR_NOSUCHINDEX);
}

TEST_F(EngineTest, DeletedTableIsGone) {
  BuildLines();
  EXPECT_OK(engine.TableDelete(db, QStringLiteral("MINV2")));
  TffCursorID cursor = 0;
  EXPECT_EQ(engine.CursorOpen(db, QStringLiteral("MINV2"), QString(), cursor), DBIERR_NOSUCHTABLE);
  EXPECT_EQ(engine.LastError().Message, QStringLiteral("Table MINV2 in %1 does not exist").arg(FilePath()));
  EXPECT_EQ(engine.TableDelete(db, QStringLiteral("MINV2")), DBIERR_NOSUCHTABLE);
  EXPECT_EQ(engine.TableEmpty(db, QStringLiteral("MINV2")), DBIERR_NOSUCHTABLE);
  BuildLines(); // the name can be used again
  EXPECT_TRUE(ReadAll(Open(QStringLiteral("MINV2"))).isEmpty());
}

TEST_F(EngineTest, EmptyingATableKeepsItsCursorsOpen) {
  BuildCustomers();
  const TffCursorID cursor = Open(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  for (const char *name : {"a", "b", "c"})
    Insert(cursor, {QVariant(), QString::fromLatin1(name), QVariant()});
  EXPECT_OK(engine.TableEmpty(db, QStringLiteral("CUSTOMERS")));
  TffRecord record;
  EXPECT_EQ(engine.RecordGet(cursor, record), DBIERR_RECDELETED);
  EXPECT_EQ(engine.RecordGetNext(cursor, record), DBIERR_EOF);
  qint64 count = -1;
  EXPECT_OK(engine.CursorGetRecordCount(cursor, count));
  EXPECT_EQ(count, 0);
  Insert(cursor, {QVariant(), QStringLiteral("d"), QVariant()});
  EXPECT_EQ(Column(cursor, 1), QStringList({"d"}));
}

TEST_F(EngineTest, RefusesBadTableNamesAndDefinitions) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("A"), QString(), fftInt32, 0, 0, false);
  for (const QString &name :
       {QString(), QStringLiteral("  "), QString(256, u'T'), QStringLiteral("sqlite_master"),
        QStringLiteral("ff_dictionary"), QStringLiteral("a$b")})
    EXPECT_EQ(engine.TableBuild(db, true, name, dictionary), DBIERR_INVALIDTABLENAME) << name.toStdString();
  EXPECT_OK(engine.TableBuild(db, false, QString(255, u'T'), dictionary));

  // Names that need quoting in SQL are fine.
  TffDataDictionary quoted(4096);
  quoted.AddField(QStringLiteral("Level"), QString(), fftInt16, 0, 0, false);
  quoted.AddField(QStringLiteral("say \"hi\""), QString(), fftShortString, 10, 0, false);
  quoted.AddIndex(QStringLiteral("des\"cription"), QString(), 0, QStringLiteral("Level;say \"hi\""), false,
                  true);
  ASSERT_OK(engine.TableBuild(db, false, QStringLiteral("My \"Table\""), quoted));
  const TffCursorID cursor = Open(QStringLiteral("My \"Table\""), QStringLiteral("des\"cription"));
  Insert(cursor, {2, QStringLiteral("b")});
  Insert(cursor, {1, QStringLiteral("a")});
  EXPECT_EQ(Column(cursor, 1), QStringList({"a", "b"}));

  EXPECT_EQ(engine.TableBuild(db, false, QStringLiteral("EMPTY"), TffDataDictionary(4096)),
            DBIERR_INVALIDDICTIONARY);
  TffDataDictionary reserved(4096);
  reserved.AddField(QStringLiteral("FF_ROWID"), QString(), fftInt32, 0, 0, false);
  EXPECT_EQ(engine.TableBuild(db, false, QStringLiteral("R"), reserved), DBIERR_INVALIDFIELDNAME);
  EXPECT_EQ(engine.TableBuild(4242, false, QStringLiteral("R"), dictionary), DBIERR_INVALIDHNDL);
}

TEST_F(EngineTest, TableBuiltInARolledBackTransactionIsGone) {
  ASSERT_OK(engine.TransactionStart(db));
  BuildLines();
  Insert(Open(QStringLiteral("MINV2")), {1, 1.0, QStringLiteral("x"), 1.0});
  ASSERT_OK(engine.TransactionRollback(db));
  bool exists = true;
  EXPECT_OK(engine.DatabaseTableExists(db, QStringLiteral("MINV2"), exists));
  EXPECT_FALSE(exists);
}

} // namespace

namespace {

TEST_F(EngineTest, TableRebuiltThroughAnotherHandleIsSeenAnew) {
  BuildLines();
  TffDatabaseID second = 0;
  ASSERT_OK(engine.DatabaseOpen(folder.path() + QStringLiteral("/"), second));
  std::optional<TffDataDictionary> dictionary;
  ASSERT_OK(engine.TableGetDictionary(second, QStringLiteral("MINV2"), dictionary));
  EXPECT_EQ(dictionary->FieldCount(), 4);

  TffCursorID cursor = 0;
  ASSERT_OK(engine.CursorOpen(second, QStringLiteral("MINV2"), QString(), cursor));
  TffDataDictionary scratch(4096);
  scratch.AddField(QStringLiteral("ONLY"), QString(), fftInt32, 0, 0, false);
  EXPECT_EQ(engine.TableBuild(db, true, QStringLiteral("MINV2"), scratch), DBIERR_TABLEINUSE);
  EXPECT_OK(engine.CursorClose(cursor));
  EXPECT_OK(engine.TableBuild(db, true, QStringLiteral("MINV2"), scratch));
  ASSERT_OK(engine.TableGetDictionary(second, QStringLiteral("MINV2"), dictionary));
  EXPECT_EQ(dictionary->FieldCount(), 1);
}

} // namespace

namespace {

// MINV1 of BuildHeaders with INVNUM unique, or with other fields.
TffDataDictionary HeadersWithUniqueNumbers(bool otherFields = false) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("REC"), QString(), fftAutoInc, 0, 0, false);
  dictionary.AddField(QStringLiteral("CUSTNO"), QString(), fftInt32, 0, 0, false);
  dictionary.AddField(QStringLiteral("InvNUM"), QString(), otherFields ? fftInt32 : fftDouble, 0, 0, false);
  dictionary.AddField(QStringLiteral("NET"), QString(), fftDouble, 0, 0, false);
  dictionary.AddField(QStringLiteral("CANC"), QString(), fftBoolean, 0, 0, false);
  dictionary.AddIndex(QStringLiteral("CUST"), QString(), 0, QStringLiteral("CUSTNO;InvNUM"), true, true);
  dictionary.AddIndex(QStringLiteral("INVNUM"), QString(), 0, QStringLiteral("InvNUM"), true, true, false);
  return dictionary;
}

TEST_F(EngineTest, IndexesChangeWithTheRecordsKeptAndAUniqueIndexTheRecordsBreakIsRefused) {
  BuildHeaders();
  TffCursorID cursor = Open(QStringLiteral("MINV1"));
  for (double number : {7.0, 9.0, 8.0}) Insert(cursor, {QVariant(), 1, number, 1.0, false});
  EXPECT_EQ(engine.TableChangeIndexes(db, QStringLiteral("MINV1"), HeadersWithUniqueNumbers()),
            DBIERR_TABLEINUSE);
  ASSERT_OK(engine.CursorClose(cursor));
  EXPECT_EQ(engine.TableChangeIndexes(db, QStringLiteral("MINV1"), HeadersWithUniqueNumbers(true)),
            DBIERR_INVALIDDICTIONARY);

  // A second 9 breaks the unique index: refused, and the table stays as it was.
  cursor = Open(QStringLiteral("MINV1"));
  const TffRecord duplicate = Insert(cursor, {QVariant(), 2, 9.0, 1.0, false});
  ASSERT_OK(engine.CursorClose(cursor));
  EXPECT_EQ(engine.TableChangeIndexes(db, QStringLiteral("MINV1"), HeadersWithUniqueNumbers()),
            DBIERR_KEYVIOL);
  std::optional<TffDataDictionary> dictionary;
  ASSERT_OK(engine.TableGetDictionary(db, QStringLiteral("MINV1"), dictionary));
  EXPECT_TRUE(dictionary->IndexDescriptor(2).idDups);

  cursor = Open(QStringLiteral("MINV1"));
  ASSERT_OK(engine.CursorSetToBookmark(cursor, duplicate.Bookmark));
  ASSERT_OK(engine.RecordDelete(cursor));
  ASSERT_OK(engine.CursorClose(cursor));
  ASSERT_OK(engine.TableChangeIndexes(db, QStringLiteral("MINV1"), HeadersWithUniqueNumbers()));

  // Seen so by another engine too: the records in index order, and a number used twice refused.
  TffServerEngine other;
  TffDatabaseID second = 0;
  ASSERT_EQ(other.DatabaseOpen(folder.path(), second), DBIERR_NONE);
  ASSERT_EQ(other.CursorOpen(second, QStringLiteral("MINV1"), QStringLiteral("INVNUM"), cursor), DBIERR_NONE);
  EXPECT_FALSE(other.CursorDictionary(cursor)->IndexDescriptor(2).idDups);
  QList<QVariant> numbers;
  TffRecord record;
  while (other.RecordGetNext(cursor, record) == DBIERR_NONE) numbers.append(record.Values[2]);
  EXPECT_EQ(numbers, QList<QVariant>({9.0, 8.0, 7.0}));
  EXPECT_EQ(other.RecordInsert(cursor, {QVariant(), 3, 8.0, 1.0, false}, record), DBIERR_KEYVIOL);
}

TEST_F(EngineTest, ANewIndexOnATextSortsItWithoutRegardToCaseAndGoesAgainWithoutTrace) {
  BuildLines();
  TffCursorID cursor = Open(QStringLiteral("MINV2"));
  for (const char *text : {"pear", "Apple", "fig", "apple"})
    Insert(cursor, {1, 1.0, QString::fromLatin1(text), 1.0});
  ASSERT_OK(engine.CursorClose(cursor));
  const auto lines = [](bool byDescription) {
    TffDataDictionary dictionary(4096);
    dictionary.AddField(QStringLiteral("REC"), QString(), fftInt32, 0, 0, false);
    dictionary.AddField(QStringLiteral("QUANTITY"), QString(), fftDouble, 0, 0, false);
    dictionary.AddField(QStringLiteral("DESCRIPTION"), QString(), fftNullString, 1000, 0, false);
    dictionary.AddField(QStringLiteral("ITEMPRICE"), QString(), fftDouble, 0, 0, false);
    dictionary.AddIndex(QStringLiteral("REC"), QString(), 0, QStringLiteral("REC"), true, true);
    if (byDescription)
      dictionary.AddIndex(QStringLiteral("TEXT"), QString(), 0, QStringLiteral("DESCRIPTION"), false, true);
    return dictionary;
  };
  ASSERT_OK(engine.TableChangeIndexes(db, QStringLiteral("MINV2"), lines(true)));
  cursor = Open(QStringLiteral("MINV2"), QStringLiteral("TEXT"));
  EXPECT_EQ(Column(cursor, 2), QStringList({"Apple", "apple", "fig", "pear"}));
  Insert(cursor, {1, 1.0, QStringLiteral("BANANA"), 1.0});
  EXPECT_EQ(Column(cursor, 2), QStringList({"Apple", "apple", "BANANA", "fig", "pear"}));
  ASSERT_OK(engine.CursorClose(cursor));

  ASSERT_OK(engine.TableChangeIndexes(db, QStringLiteral("MINV2"), lines(false)));
  EXPECT_EQ(engine.CursorOpen(db, QStringLiteral("MINV2"), QStringLiteral("TEXT"), cursor),
            DBIERR_NOSUCHINDEX);
  EXPECT_EQ(Column(Open(QStringLiteral("MINV2")), 2),
            QStringList({"pear", "Apple", "fig", "apple", "BANANA"}));
}

} // namespace
