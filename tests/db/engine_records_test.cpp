// Records: positions after insert, change and delete, cursors sharing a table, automatic numbers, BLOBs,
// nulls, value checks and transactions.
#include "engine_fixture.h"
#include <QDateTime>

namespace {

QList<QVariant> Line(int rec, const QVariant &quantity, const QString &description, double price = 1.0) {
  return {rec, quantity, description, price};
}

TEST_F(EngineTest, NavigationAndBookmarks) {
  BuildLines();
  const TffCursorID cursor = Open(QStringLiteral("MINV2"));
  TffRecord record;
  EXPECT_EQ(engine.RecordGetNext(cursor, record), DBIERR_EOF);
  EXPECT_EQ(engine.RecordGetPrior(cursor, record), DBIERR_BOF);
  QList<TffBookmark> bookmarks;
  for (int i = 0; i < 5; ++i) bookmarks.append(Insert(cursor, Line(1, i, QString::number(i))).Bookmark);

  EXPECT_OK(engine.CursorSetToBegin(cursor));
  EXPECT_EQ(engine.RecordGet(cursor, record), DBIERR_NOCURRREC);
  EXPECT_EQ(engine.RecordGetPrior(cursor, record), DBIERR_BOF);
  EXPECT_OK(engine.RecordGetNext(cursor, record));
  EXPECT_EQ(record.Values[2].toString(), QStringLiteral("0"));
  EXPECT_EQ(record.Bookmark, bookmarks[0]);

  EXPECT_OK(engine.CursorSetToBookmark(cursor, bookmarks[2]));
  TffBookmark bookmark = 0;
  EXPECT_OK(engine.CursorGetBookmark(cursor, bookmark));
  EXPECT_EQ(bookmark, bookmarks[2]);
  EXPECT_OK(engine.RecordGetNext(cursor, record));
  EXPECT_EQ(record.Values[2].toString(), QStringLiteral("3"));

  QList<TffRecord> batch;
  EXPECT_OK(engine.RecordGetBatch(cursor, 10, true, batch));
  ASSERT_EQ(batch.size(), 1);
  EXPECT_EQ(batch[0].Values[2].toString(), QStringLiteral("4"));
  EXPECT_EQ(engine.RecordGetNext(cursor, record), DBIERR_EOF);
  EXPECT_EQ(engine.CursorGetBookmark(cursor, bookmark), DBIERR_NOCURRREC);
  EXPECT_OK(engine.RecordGetPrior(cursor, record)); // from the end: the last record
  EXPECT_EQ(record.Values[2].toString(), QStringLiteral("4"));
  EXPECT_OK(engine.RecordGetBatch(cursor, 3, false, batch));
  ASSERT_EQ(batch.size(), 3);
  EXPECT_EQ(batch[2].Values[2].toString(), QStringLiteral("1"));
  EXPECT_OK(engine.RecordGet(cursor, record));
  EXPECT_EQ(record.Values[2].toString(), QStringLiteral("1"));

  EXPECT_EQ(engine.CursorSetToBookmark(cursor, 999), DBIERR_RECDELETED);
  EXPECT_EQ(engine.RecordGetBatch(cursor, 0, true, batch), DBIERR_INVALIDPARAM);
  EXPECT_EQ(engine.RecordGet(4242, record), DBIERR_INVALIDHNDL);
}

TEST_F(EngineTest, CursorStandsOnTheInsertedRecordInItsIndexPlace) {
  BuildCustomers();
  const TffCursorID cursor = Open(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  for (const char *name : {"Adams", "Jones", "Smith"})
    Insert(cursor, {QVariant(), QString::fromLatin1(name), QVariant()});
  const TffRecord inserted = Insert(cursor, {QVariant(), QStringLiteral("Brown"), QVariant()});
  TffRecord record;
  EXPECT_OK(engine.RecordGet(cursor, record));
  EXPECT_EQ(record.Bookmark, inserted.Bookmark);
  EXPECT_EQ(record.Values, inserted.Values);
  EXPECT_OK(engine.RecordGetNext(cursor, record));
  EXPECT_EQ(record.Values[1].toString(), QStringLiteral("Jones"));
  EXPECT_OK(engine.RecordGetPrior(cursor, record));
  EXPECT_OK(engine.RecordGetPrior(cursor, record));
  EXPECT_EQ(record.Values[1].toString(), QStringLiteral("Adams"));

  // A change that moves the record in the index takes the cursor along.
  EXPECT_OK(engine.CursorSetToBookmark(cursor, inserted.Bookmark));
  TffRecord modified;
  EXPECT_OK(
      engine.RecordModify(cursor, {QVariant(), QStringLiteral("Young"), QStringLiteral("Leeds")}, modified));
  EXPECT_EQ(modified.Values[0], inserted.Values[0]); // the automatic number stays
  EXPECT_EQ(modified.Values[2].toString(), QStringLiteral("Leeds"));
  EXPECT_EQ(engine.RecordGetNext(cursor, record), DBIERR_EOF);
  EXPECT_OK(engine.RecordGetPrior(cursor, record));
  EXPECT_EQ(record.Values[1].toString(), QStringLiteral("Young"));
  EXPECT_OK(engine.RecordGetPrior(cursor, record));
  EXPECT_EQ(record.Values[1].toString(), QStringLiteral("Smith"));
}

TEST_F(EngineTest, DeletedRecordLeavesAGapBetweenItsNeighbours) {
  BuildCustomers();
  const TffCursorID cursor = Open(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  for (const char *name : {"Adams", "Brown", "Jones"})
    Insert(cursor, {QVariant(), QString::fromLatin1(name), QVariant()});
  EXPECT_OK(engine.CursorSetToKey(cursor, {QStringLiteral("Brown")}));
  EXPECT_OK(engine.RecordDelete(cursor));
  TffRecord record;
  EXPECT_EQ(engine.RecordGet(cursor, record), DBIERR_NOCURRREC);
  EXPECT_EQ(engine.RecordDelete(cursor), DBIERR_NOCURRREC);
  EXPECT_OK(engine.RecordGetNext(cursor, record));
  EXPECT_EQ(record.Values[1].toString(), QStringLiteral("Jones"));
  EXPECT_OK(engine.CursorSetToKey(cursor, {QStringLiteral("Jones")}));
  EXPECT_OK(engine.RecordDelete(cursor));
  EXPECT_OK(engine.RecordGetPrior(cursor, record));
  EXPECT_EQ(record.Values[1].toString(), QStringLiteral("Adams"));
  EXPECT_EQ(Column(cursor, 1), QStringList({"Adams"}));
}

TEST_F(EngineTest, CursorKeepsItsPlaceWhenAnotherCursorChangesTheTable) {
  BuildCustomers();
  const TffCursorID reader = Open(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  const TffCursorID writer = Open(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  for (const char *name : {"Adams", "Brown", "Jones", "Smith"})
    Insert(writer, {QVariant(), QString::fromLatin1(name), QVariant()});
  EXPECT_OK(engine.CursorSetToKey(reader, {QStringLiteral("Brown")}));

  EXPECT_OK(engine.CursorSetToKey(writer, {QStringLiteral("Jones")}));
  EXPECT_OK(engine.RecordDelete(writer));
  Insert(writer, {QVariant(), QStringLiteral("Clark"), QVariant()});
  TffRecord record;
  EXPECT_OK(engine.RecordGetNext(reader, record));
  EXPECT_EQ(record.Values[1].toString(), QStringLiteral("Clark"));
  EXPECT_OK(engine.RecordGetNext(reader, record));
  EXPECT_EQ(record.Values[1].toString(), QStringLiteral("Smith"));

  // The record under the reader is changed, then deleted, by the writer: the reader reads it anew.
  EXPECT_OK(engine.CursorSetToBookmark(writer, record.Bookmark));
  TffRecord modified;
  EXPECT_OK(
      engine.RecordModify(writer, {QVariant(), QStringLiteral("Smyth"), QStringLiteral("York")}, modified));
  EXPECT_OK(engine.RecordGet(reader, record));
  EXPECT_EQ(record.Values[2].toString(), QStringLiteral("York"));
  EXPECT_OK(engine.RecordDelete(writer));
  EXPECT_EQ(engine.RecordGet(reader, record), DBIERR_RECDELETED);
  EXPECT_EQ(engine.RecordModify(reader, {QVariant(), QStringLiteral("X"), QVariant()}, modified),
            DBIERR_RECDELETED);
  EXPECT_OK(engine.RecordGetPrior(reader, record));
  EXPECT_EQ(record.Values[1].toString(), QStringLiteral("Clark"));
}

TEST_F(EngineTest, AutoIncrementNumbersAreNeverReused) {
  BuildCustomers();
  TffCursorID cursor = Open(QStringLiteral("CUSTOMERS"));
  for (int expected = 1; expected <= 3; ++expected)
    EXPECT_EQ(Insert(cursor, {QVariant(), QStringLiteral("c"), QVariant()}).Values[0].toInt(), expected);
  EXPECT_OK(engine.CursorSetToEnd(cursor));
  TffRecord record;
  EXPECT_OK(engine.RecordGetPrior(cursor, record));
  EXPECT_OK(engine.RecordDelete(cursor)); // the last one
  EXPECT_EQ(Insert(cursor, {0, QStringLiteral("d"), QVariant()}).Values[0].toInt(), 4);
  EXPECT_OK(engine.TableEmpty(db, QStringLiteral("CUSTOMERS")));
  EXPECT_EQ(Insert(cursor, {QVariant(), QStringLiteral("e"), QVariant()}).Values[0].toInt(), 5);
  // A number given is kept, and later numbers come after it.
  EXPECT_EQ(Insert(cursor, {10, QStringLiteral("f"), QVariant()}).Values[0].toInt(), 10);
  EXPECT_OK(engine.RecordGetPrior(cursor, record));
  EXPECT_OK(engine.RecordDelete(cursor));
  EXPECT_OK(engine.RecordGetNext(cursor, record));
  EXPECT_OK(engine.RecordDelete(cursor));

  EXPECT_OK(engine.DatabaseClose(db));
  EXPECT_EQ(engine.CursorClose(cursor), DBIERR_INVALIDHNDL); // closed with its database
  ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  cursor = Open(QStringLiteral("CUSTOMERS"));
  EXPECT_EQ(Insert(cursor, {QVariant(), QStringLiteral("g"), QVariant()}).Values[0].toInt(), 11);
  EXPECT_EQ(Column(cursor, 0), QStringList({"11"}));
}

TEST_F(EngineTest, BlobsRoundTripKeepingEmptyAndNullApart) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("rec"), QString(), fftAutoInc, 0, 0, false);
  dictionary.AddField(QStringLiteral("File"), QString(), fftBLOB, 0, 0, false);
  dictionary.AddField(QStringLiteral("LOGO"), QString(), fftBLOBGraphic, 0, 0, false);
  ASSERT_OK(engine.TableBuild(db, false, QStringLiteral("Reports"), dictionary));
  const TffCursorID cursor = Open(QStringLiteral("Reports"));
  QByteArray binary(70000, '\0');
  for (int i = 0; i < binary.size(); ++i) binary[i] = char(i * 7);
  Insert(cursor, {QVariant(), binary, QByteArray("")});
  Insert(cursor, {QVariant(), QVariant(), QByteArray()});
  const QList<TffRecord> records = ReadAll(cursor);
  ASSERT_EQ(records.size(), 2);
  EXPECT_EQ(records[0].Values[1].toByteArray(), binary);
  EXPECT_TRUE(records[0].Values[2].isValid());
  EXPECT_TRUE(records[0].Values[2].toByteArray().isEmpty());
  EXPECT_FALSE(records[1].Values[1].isValid());
  EXPECT_TRUE(records[1].Values[2].isValid()) << "an empty QByteArray is an empty BLOB, not null";

  EXPECT_OK(engine.CursorSetToBookmark(cursor, records[0].Bookmark));
  TffRecord modified;
  EXPECT_OK(engine.RecordModify(cursor, {QVariant(), QByteArray(""), QVariant()}, modified));
  EXPECT_TRUE(modified.Values[1].isValid());
  EXPECT_TRUE(modified.Values[1].toByteArray().isEmpty());
  EXPECT_FALSE(modified.Values[2].isValid());
}

TEST_F(EngineTest, NullFloatsStayNullWhenCopied) {
  BuildLines();
  TffDataDictionary scratch(4096);
  scratch.AddField(QStringLiteral("QUANTITY"), QString(), fftDouble, 0, 0, false);
  scratch.AddField(QStringLiteral("DESCRIPTION"), QString(), fftNullString, 1000, 0, false);
  ASSERT_OK(engine.TableBuild(db, false, QStringLiteral("INV2"), scratch));
  const TffCursorID lines = Open(QStringLiteral("INV2"));
  Insert(lines, {QVariant(), QStringLiteral("service")});
  Insert(lines, {0.0, QStringLiteral("zero")});
  const TffCursorID stored = Open(QStringLiteral("MINV2"));
  for (const TffRecord &line : ReadAll(lines)) Insert(stored, {1, line.Values[0], line.Values[1], 5.0});
  const QList<TffRecord> copies = ReadAll(stored);
  ASSERT_EQ(copies.size(), 2);
  EXPECT_FALSE(copies[0].Values[1].isValid());
  EXPECT_TRUE(copies[1].Values[1].isValid());
  EXPECT_EQ(copies[1].Values[1].toDouble(), 0.0);
}

TEST_F(EngineTest, TextLongerThanItsFieldIsRefusedNeverCut) {
  BuildCustomers();
  const TffCursorID cursor = Open(QStringLiteral("CUSTOMERS"));
  const QString fifty(50, u'x');
  const TffRecord kept = Insert(cursor, {QVariant(), fifty, QVariant()});
  EXPECT_EQ(kept.Values[1].toString(), fifty);
  // Characters beyond the basic plane count once.
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80").repeated(50);
  EXPECT_EQ(Insert(cursor, {QVariant(), emoji, QVariant()}).Values[1].toString(), emoji);

  TffRecord record;
  EXPECT_EQ(engine.RecordInsert(cursor, {QVariant(), fifty + u'y', QVariant()}, record),
            DBIERR_STRINGTOOLONG);
  EXPECT_EQ(engine.LastError().Message,
            QStringLiteral(
                "Text too long for field CUSTOMER of table CUSTOMERS: it holds at most 50 characters, the "
                "value has 51"));
  EXPECT_OK(engine.CursorSetToBookmark(cursor, kept.Bookmark));
  EXPECT_EQ(engine.RecordModify(cursor, {QVariant(), QStringLiteral("ok"), QString(51, u'c')}, record),
            DBIERR_STRINGTOOLONG);
  EXPECT_EQ(Column(cursor, 1), QStringList({fifty, emoji}));
  EXPECT_EQ(Column(cursor, 2), QStringList({"<null>", "<null>"}));
}

TEST_F(EngineTest, ValuesAreConvertedToTheFieldTypeOrRefused) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("FLAG"), QString(), fftBoolean, 0, 0, false);
  dictionary.AddField(QStringLiteral("SMALL"), QString(), fftInt16, 0, 0, false);
  dictionary.AddField(QStringLiteral("BYTE"), QString(), fftByte, 0, 0, false);
  dictionary.AddField(QStringLiteral("PRICE"), QString(), fftCurrency, 0, 0, false);
  dictionary.AddField(QStringLiteral("RATIO"), QString(), fftSingle, 0, 0, false);
  dictionary.AddField(QStringLiteral("WHEN"), QString(), fftDateTime, 0, 0, false);
  dictionary.AddField(QStringLiteral("NAME"), QString(), fftNullString, 10, 0, true);
  ASSERT_OK(engine.TableBuild(db, false, QStringLiteral("TYPES"), dictionary));
  const TffCursorID cursor = Open(QStringLiteral("TYPES"));

  const QDateTime noon(QDate(1900, 1, 1), QTime(12, 0));
  const TffRecord record = Insert(
      cursor, {QStringLiteral("true"), QStringLiteral("-5"), 255, 0.1 + 0.2, 0.1, noon, QStringLiteral("n")});
  EXPECT_EQ(record.Values[0], QVariant(true));
  EXPECT_EQ(record.Values[1], QVariant(-5));
  EXPECT_EQ(record.Values[2], QVariant(255));
  EXPECT_EQ(record.Values[3].toDouble(), 0.3); // kept to four decimals
  EXPECT_EQ(record.Values[4].toDouble(), double(0.1f));
  EXPECT_EQ(record.Values[5].toDouble(), 2.5); // days since 30 December 1899
  EXPECT_EQ(ReadAll(cursor).first().Values, record.Values);

  struct Refused {
    int field;
    QVariant value;
    TffResult result;
  };
  const Refused refused[] = {
      {1, 40000, DBIERR_INVALIDFLDVALUE},
      {2, -1, DBIERR_INVALIDFLDVALUE},
      {1, 1.5, DBIERR_INVALIDFLDVALUE},
      {1, QStringLiteral("abc"), DBIERR_INVALIDFLDVALUE},
      {0, QStringLiteral("maybe"), DBIERR_INVALIDFLDVALUE},
      {4, std::nan(""), DBIERR_INVALIDFLDVALUE},
      {5, QStringLiteral("tomorrow"), DBIERR_INVALIDFLDVALUE},
      {6, QVariant(), DBIERR_REQDERR},
  };
  for (const Refused &r : refused) {
    QList<QVariant> values = record.Values;
    values[r.field] = r.value;
    TffRecord ignored;
    EXPECT_EQ(engine.RecordInsert(cursor, values, ignored), r.result) << r.field;
    EXPECT_TRUE(engine.LastError().Message.contains(dictionary.FieldName(r.field)))
        << engine.LastError().Message.toStdString();
  }
  TffRecord ignored;
  EXPECT_EQ(engine.RecordInsert(cursor, {true}, ignored), DBIERR_FIELDCOUNTMISMATCH);
  EXPECT_EQ(ReadAll(cursor).size(), 1);
}

TEST_F(EngineTest, UniqueIndexRefusesADuplicateKey) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("CODE"), QString(), fftShortString, 10, 0, false);
  dictionary.AddIndex(QStringLiteral("CODE"), QString(), 0, {TffIndexField{0, false, true}}, false);
  ASSERT_OK(engine.TableBuild(db, false, QStringLiteral("CODES"), dictionary));
  const TffCursorID cursor = Open(QStringLiteral("CODES"), QStringLiteral("CODE"));
  Insert(cursor, {QStringLiteral("abc")});
  TffRecord record;
  EXPECT_EQ(engine.RecordInsert(cursor, {QStringLiteral("ABC")}, record), DBIERR_KEYVIOL);
  EXPECT_TRUE(engine.LastError().Message.contains(QStringLiteral("CODES")));
  EXPECT_EQ(Column(cursor, 0), QStringList({"abc"}));
}

TEST_F(EngineTest, TransactionRolledBackAfterAFailureInItsMiddleLeavesBothTablesUnchanged) {
  BuildHeaders();
  BuildLines();
  const TffCursorID headers = Open(QStringLiteral("MINV1"));
  const TffCursorID lines = Open(QStringLiteral("MINV2"));
  const TffRecord first = Insert(headers, {QVariant(), 1, 1.0, 10.0, false});
  Insert(lines, Line(first.Values[0].toInt(), 1, QStringLiteral("kept")));

  ASSERT_OK(engine.TransactionStart(db));
  EXPECT_TRUE(engine.InTransaction(db));
  EXPECT_EQ(engine.TransactionStart(db), DBIERR_ACTIVETRAN);
  const TffRecord second = Insert(headers, {QVariant(), 1, 2.0, 20.0, false});
  Insert(lines, Line(second.Values[0].toInt(), 1, QStringLiteral("first line")));
  TffRecord record;
  EXPECT_EQ(engine.RecordInsert(lines, Line(second.Values[0].toInt(), 1, QString(1001, u'x')), record),
            DBIERR_STRINGTOOLONG);
  EXPECT_TRUE(engine.InTransaction(db)); // a refused record does not end the transaction
  ASSERT_OK(engine.TransactionRollback(db));
  EXPECT_FALSE(engine.InTransaction(db));
  EXPECT_EQ(Column(headers, 2), QStringList({"1"}));
  EXPECT_EQ(Column(lines, 2), QStringList({"kept"}));

  ASSERT_OK(engine.TransactionStart(db));
  const TffRecord third = Insert(headers, {QVariant(), 1, 3.0, 30.0, false});
  Insert(lines, Line(third.Values[0].toInt(), 1, QStringLiteral("stored")));
  ASSERT_OK(engine.TransactionCommit(db));
  EXPECT_EQ(engine.TransactionCommit(db), DBIERR_NOACTIVETRAN);
  EXPECT_EQ(engine.TransactionRollback(db), DBIERR_NOACTIVETRAN);

  EXPECT_OK(engine.DatabaseClose(db));
  ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  EXPECT_EQ(Column(Open(QStringLiteral("MINV1")), 2), QStringList({"1", "3"}));
  EXPECT_EQ(Column(Open(QStringLiteral("MINV2")), 2), QStringList({"kept", "stored"}));
}

TEST_F(EngineTest, ClosingADatabaseRollsBackItsOpenTransaction) {
  BuildLines();
  ASSERT_OK(engine.TransactionStart(db));
  Insert(Open(QStringLiteral("MINV2")), Line(1, 1, QStringLiteral("lost")));
  EXPECT_OK(engine.DatabaseClose(db));
  ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  EXPECT_TRUE(Column(Open(QStringLiteral("MINV2")), 2).isEmpty());
}

} // namespace
