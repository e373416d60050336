// Records: positions after insert, change and delete, cursors sharing a table, reading ahead, automatic
// numbers, BLOBs, nulls, value checks (also of values other programs stored) and transactions.
#include "engine_fixture.h"
#include <QDateTime>
#include <sqlite3.h>

namespace {

// The edges of reading; the order itself is checked against a model in engine_order_test.
TEST_F(EngineTest, ReadingStopsAtTheEdgesAndRefusesWhatIsNotThere) {
  BuildLines();
  const TffCursorID cursor = Open("MINV2", "REC"); // the lines all of one REC: in the order added
  EXPECT_OK(engine.CursorSetToKey(cursor, {1}));
  EXPECT_EQ(Reads({Get(cursor), Next(cursor)}), "<none> <eof>");
  QList<TffBookmark> bookmarks;
  for (int i = 0; i < 5; ++i) bookmarks.append(Line(cursor, 1, QString::number(i)).Bookmark);
  EXPECT_OK(engine.CursorSetToBegin(cursor));
  EXPECT_EQ(Reads({Get(cursor, 2), Prior(cursor, 2), Next(cursor, 2)}), "<none> <bof> 0");
  EXPECT_OK(engine.CursorSetToBookmark(cursor, bookmarks[3]));
  QList<TffRecord> batch;
  EXPECT_OK(engine.RecordGetBatch(cursor, 10, true, batch)); // a short batch at the end
  EXPECT_EQ(batch.size(), 1);
  EXPECT_EQ(Reads({Get(cursor, 2), Next(cursor, 2), Prior(cursor, 2)}), "4 <eof> 4");
  EXPECT_EQ(engine.CursorSetToBookmark(cursor, 999), DBIERR_RECDELETED);
  EXPECT_EQ(engine.CursorSetToBegin(4242), DBIERR_INVALIDHNDL);
}

TEST_F(EngineTest, CursorKeepsItsPlaceWhenAnotherCursorChangesTheTable) {
  BuildCustomers();
  const TffCursorID reader = Open("CUSTOMERS", "CUSTOMER");
  const TffCursorID writer = Open("CUSTOMERS", "CUSTOMER");
  for (const char *name : {"Adams", "Brown", "Jones", "Smith"}) Customer(writer, name);
  EXPECT_OK(engine.CursorSetToKey(reader, {"Brown"}));
  EXPECT_OK(engine.CursorSetToKey(writer, {"Jones"}));
  EXPECT_OK(engine.RecordDelete(writer));
  Customer(writer, "Clark");
  EXPECT_EQ(Reads({Next(reader), Next(reader)}), "Clark Smith");

  // The record under the reader is changed, then deleted, by the writer: the reader reads it anew.
  TffRecord record;
  EXPECT_OK(engine.CursorSetToKey(writer, {"Smith"}));
  EXPECT_OK(engine.RecordModify(writer, {QVariant(), "Smyth", "York"}, record));
  EXPECT_EQ(Get(reader, 2), "York");
  EXPECT_OK(engine.RecordDelete(writer));
  EXPECT_EQ(Get(reader), "<deleted>");
  EXPECT_EQ(engine.RecordModify(reader, {QVariant(), "X", QVariant()}, record), DBIERR_RECDELETED);
  EXPECT_EQ(Prior(reader), "Clark");
}

// What a cursor read ahead or keeps is read again once anything is written through the engine, also through
// another handle on the file; another program's change shows once the cursor is put somewhere.
TEST_F(EngineTest, ReadingAheadNeverHandsOutWhatWasWrittenSince) {
  BuildLines();
  const TffCursorID reader = Open("MINV2");
  for (int i = 0; i < 40; ++i) Line(reader, 1, QString::number(i));
  TffDatabaseID other = 0;
  ASSERT_OK(engine.DatabaseOpen(folder.path(), other));
  TffCursorID writer = 0;
  ASSERT_OK(engine.CursorOpen(other, "MINV2", QString(), writer));
  const auto change = [&](int line, const QString &text) {
    TffRecord record;
    ASSERT_OK(engine.CursorSetToBegin(writer));
    for (int i = 0; i <= line; ++i) ASSERT_OK(engine.RecordGetNext(writer, record));
    record.Values[2] = text;
    ASSERT_OK(engine.RecordModify(writer, record.Values, record));
  };
  ASSERT_OK(engine.CursorSetToBegin(reader));
  // Three steps read the next sixteen or so records ahead.
  EXPECT_EQ(Reads({Next(reader, 2), Next(reader, 2), Next(reader, 2)}), "0 1 2");
  change(3, "changed");
  change(1, "behind");
  EXPECT_EQ(Reads({Get(reader, 2), Next(reader, 2), Prior(reader, 2), Prior(reader, 2)}),
            "2 changed 2 behind");
  ASSERT_OK(engine.RecordDelete(writer)); // line 1
  EXPECT_EQ(Reads({Prior(reader, 2), Prior(reader, 2)}), "0 <bof>");

  // Another program's change shows from the next read of the file.
  EXPECT_EQ(Reads({Next(reader, 2), Next(reader, 2), Next(reader, 2)}), "0 2 changed");
  sqlite3 *h = nullptr;
  ASSERT_EQ(sqlite3_open(FilePath().toUtf8().constData(), &h), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(h, "UPDATE MINV2 SET DESCRIPTION = 'theirs' WHERE DESCRIPTION = '2'", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(h);
  ASSERT_OK(engine.CursorSetToBegin(reader));
  EXPECT_EQ(Reads({Next(reader, 2), Next(reader, 2)}), "0 theirs");
  // What was read within a transaction that is rolled back.
  const TffCursorID own = Open("MINV2");
  ASSERT_OK(engine.TransactionStart(db));
  TffRecord record;
  ASSERT_OK(engine.RecordGetNext(own, record));
  record.Values[2] = "rolled back";
  ASSERT_OK(engine.RecordModify(own, record.Values, record));
  EXPECT_EQ(Reads({Prior(reader, 2), Get(reader, 2)}), "rolled back rolled back");
  ASSERT_OK(engine.TransactionRollback(db));
  EXPECT_EQ(Reads({Get(reader, 2), Next(reader, 2)}), "0 theirs");
}

TEST_F(EngineTest, AutoIncrementNumbersAreNeverReused) {
  BuildCustomers();
  TffCursorID cursor = Open("CUSTOMERS");
  const auto number = [&](const QVariant &given) {
    return Insert(cursor, {given, "c", QVariant()}).Values[0];
  };
  for (int expected = 1; expected <= 3; ++expected) EXPECT_EQ(number(QVariant()), expected);
  EXPECT_OK(engine.TableEmpty(db, "CUSTOMERS"));
  EXPECT_EQ(number(0), 4);
  // A number given is kept, and later numbers come after it.
  EXPECT_EQ(number(10), 10);
  EXPECT_OK(engine.TableEmpty(db, "CUSTOMERS"));

  EXPECT_OK(engine.DatabaseClose(db));
  EXPECT_EQ(engine.CursorClose(cursor), DBIERR_INVALIDHNDL); // closed with its database
  ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  cursor = Open("CUSTOMERS");
  EXPECT_EQ(number(QVariant()), 11);
  EXPECT_EQ(Column(cursor, 0), "11");
}

TEST_F(EngineTest, TextLongerThanItsFieldIsRefusedNeverCut) {
  BuildCustomers();
  const TffCursorID cursor = Open("CUSTOMERS");
  const QString fifty(50, u'x');
  const TffRecord kept = Customer(cursor, fifty);
  // Characters beyond the basic plane count once.
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80").repeated(50);
  EXPECT_EQ(Customer(cursor, emoji).Values[1].toString(), emoji);

  TffRecord record;
  EXPECT_EQ(engine.RecordInsert(cursor, {QVariant(), fifty + u'y', QVariant()}, record),
            DBIERR_STRINGTOOLONG);
  EXPECT_EQ(engine.LastError().Message,
            QStringLiteral("Text too long for field CUSTOMER of table CUSTOMERS: it holds at most 50 "
                           "characters, the value has 51"));
  EXPECT_OK(engine.CursorSetToBookmark(cursor, kept.Bookmark));
  EXPECT_EQ(engine.RecordModify(cursor, {QVariant(), "ok", QString(51, u'c')}, record), DBIERR_STRINGTOOLONG);
  EXPECT_EQ(Column(cursor, 1) + Column(cursor, 2), fifty + u',' + emoji + "<null>,<null>");
}

TEST_F(EngineTest, ValuesAreConvertedToTheFieldTypeOrRefused) {
  const TffDataDictionary dictionary = Schema({{"FLAG", fftBoolean},
                                               {"SMALL", fftInt16},
                                               {"BYTE", fftByte},
                                               {"PRICE", fftCurrency},
                                               {"RATIO", fftSingle},
                                               {"WHEN", fftDateTime},
                                               {"NAME", fftNullString, 10, true}});
  Build("TYPES", dictionary);
  const TffCursorID cursor = Open("TYPES");
  const QDateTime noon(QDate(1900, 1, 1), QTime(12, 0));
  const TffRecord record = Insert(cursor, {"true", "-5", 255, 0.1 + 0.2, 0.1, noon, "n"});
  // The price kept to four decimals, the time in days since 30 December 1899.
  EXPECT_EQ(record.Values, QList<QVariant>({true, -5, 255, 0.3, double(0.1f), 2.5, "n"}));
  EXPECT_EQ(ReadAll(cursor).first().Values, record.Values);

  const std::tuple<int, QVariant, TffResult> refused[] = {
      {1, 40000, DBIERR_INVALIDFLDVALUE},   {1, 1.5, DBIERR_INVALIDFLDVALUE},
      {0, "maybe", DBIERR_INVALIDFLDVALUE}, {4, std::nan(""), DBIERR_INVALIDFLDVALUE},
      {6, QVariant(), DBIERR_REQDERR},
  };
  TffRecord ignored;
  for (const auto &[field, value, result] : refused) {
    SCOPED_TRACE(field);
    QList<QVariant> values = record.Values;
    values[field] = value;
    EXPECT_EQ(engine.RecordInsert(cursor, values, ignored), result);
    EXPECT_TRUE(engine.LastError().Message.contains(dictionary.FieldName(field)));
  }
  EXPECT_EQ(engine.RecordInsert(cursor, {true}, ignored), DBIERR_FIELDCOUNTMISMATCH);

  // A unique index refuses a key that differs only in case.
  Build("CODES", Schema({{"CODE", fftShortString, 10}}, {{"CODE", "CODE", false, true, false}}));
  const TffCursorID codes = Open("CODES", "CODE");
  Insert(codes, {"abc"});
  EXPECT_EQ(engine.RecordInsert(codes, {"ABC"}, ignored), DBIERR_KEYVIOL);
  EXPECT_TRUE(engine.LastError().Message.contains("CODES"));
}

// Another program may store what a field cannot hold: it is read whole where the field's type holds it, and
// otherwise refused naming the file, the table and the field, never cut or wrapped.
TEST_F(EngineTest, StoredValuesAFieldCannotHoldAreRefusedNeverWrapped) {
  Build("CONTROL", Schema({{"LastINV", fftInt32},
                           {"WIDE", fftWord32},
                           {"SMALL", fftInt16},
                           {"TaxPCT", fftDouble},
                           {"PRICE", fftCurrency},
                           {"CANC", fftBoolean},
                           {"NAME", fftNullString, 10}}));
  Insert(Open("CONTROL"), {1, 1, 1, 1.0, 1.0, false, "n"});
  const struct {
    const char *set; // what another program stores
    int field;
    QVariant read; // invalid: refused
  } cases[] = {
      {"LastINV = 4294967396", 0, {}},  {"LastINV = 3000000000", 0, {}},
      {"LastINV = -2147483649", 0, {}}, {"LastINV = 2147483647", 0, 2147483647},
      {"LastINV = 7.0", 0, 7},          {"LastINV = 7.5", 0, {}},
      {"LastINV = 'seven'", 0, {}},     {"WIDE = 4294967295", 1, qint64(4294967295)},
      {"WIDE = 4294967296", 1, {}},     {"WIDE = -1", 1, {}},
      {"SMALL = 40000", 2, {}},         {"TaxPCT = 5", 3, 5.0},
      {"TaxPCT = 'high'", 3, {}},       {"PRICE = 123456", 4, 12.3456},
      {"PRICE = 2.5", 4, {}},           {"CANC = 'yes'", 5, {}},
      {"NAME = x'414243'", 6, "ABC"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.set);
    sqlite3 *h = nullptr;
    ASSERT_EQ(sqlite3_open(FilePath().toUtf8().constData(), &h), SQLITE_OK);
    const QByteArray sql =
        QByteArray("UPDATE CONTROL SET LastINV = 1, WIDE = 1, SMALL = 1, TaxPCT = 1, PRICE = "
                   "10000, CANC = 0, NAME = 'n'; UPDATE CONTROL SET ") +
        c.set;
    ASSERT_EQ(sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(h);
    sqlite3_close(h);
    // Read on from the edge and by the record's bookmark.
    const TffCursorID cursor = Open("CONTROL");
    TffRecord record;
    const TffResult next = engine.RecordGetNext(cursor, record);
    const TffResult again = engine.CursorSetToBookmark(cursor, 1);
    if (c.read.isValid()) {
      EXPECT_OK(next);
      EXPECT_OK(again);
      EXPECT_EQ(record.Values[c.field], c.read);
      EXPECT_EQ(record.Values[c.field].typeId(), c.read.typeId());
    } else {
      EXPECT_EQ(next, DBIERR_FILECORRUPT);
      EXPECT_EQ(again, DBIERR_FILECORRUPT);
      const QString message = engine.LastError().Message;
      EXPECT_TRUE(message.contains(QStringLiteral("field %1 of table CONTROL")
                                       .arg(QString::fromLatin1(c.set).section(u' ', 0, 0))) &&
                  message.contains(QDir::toNativeSeparators(FilePath())))
          << message.toStdString();
    }
    engine.CursorClose(cursor);
  }
}

TEST_F(EngineTest, TransactionRolledBackAfterAFailureInItsMiddleLeavesBothTablesUnchanged) {
  BuildHeaders();
  BuildLines();
  const TffCursorID headers = Open("MINV1");
  const TffCursorID lines = Open("MINV2");
  Line(lines, Header(headers, 1, 1.0).Values[0].toInt(), "kept");

  ASSERT_OK(engine.TransactionStart(db));
  EXPECT_EQ(engine.TransactionStart(db), DBIERR_ACTIVETRAN);
  const int second = Header(headers, 1, 2.0).Values[0].toInt();
  TffRecord record;
  EXPECT_EQ(engine.RecordInsert(lines, {second, 1.0, QString(1001, u'x'), 1.0}, record),
            DBIERR_STRINGTOOLONG);
  EXPECT_TRUE(engine.InTransaction(db)); // a refused record does not end the transaction
  ASSERT_OK(engine.TransactionRollback(db));
  EXPECT_EQ(Column(headers, 2), "1");

  ASSERT_OK(engine.TransactionStart(db));
  Line(lines, Header(headers, 1, 3.0).Values[0].toInt(), "stored");
  ASSERT_OK(engine.TransactionCommit(db));
  EXPECT_EQ(engine.TransactionRollback(db), DBIERR_NOACTIVETRAN);

  // Closing a database rolls back its open transaction.
  ASSERT_OK(engine.TransactionStart(db));
  Line(lines, 9, "lost");
  EXPECT_OK(engine.DatabaseClose(db));
  ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  EXPECT_EQ(Column(Open("MINV1"), 2) + "|" + Column(Open("MINV2"), 2), "1,3|kept,stored");
}

} // namespace
