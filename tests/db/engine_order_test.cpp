// Index order (declared fields, descending, case-insensitive with any letter, ties in insertion order),
// ranges on leading fields, nearest-key search and index switching.
#include "db/storage/ff_sql_schema.h"
#include "engine_fixture.h"
#include <random>

namespace {

QList<QVariant> Customer(const QString &name, const QString &city = QString()) {
  return {QVariant(), name, city.isNull() ? QVariant() : QVariant(city)};
}

TEST_F(EngineTest, CaseInsensitiveIndexFoldsAccentedLettersAndKeepsTiesInInsertionOrder) {
  BuildCustomers();
  const TffCursorID cursor = Open(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  for (const char *name : {"b", "Ä", "a", "ä", "B", "A", "Zoë", "ZOË", "zoe"})
    Insert(cursor, Customer(QString::fromUtf8(name)));
  // a/A, b/B, ä/Ä and Zoë/ZOË tie and keep the order they were added in; letters compare by their folded
  // code.
  EXPECT_EQ(Column(cursor, 1), QString::fromUtf8("a A b B zoe Zoë ZOË Ä ä").split(u' '));

  EXPECT_OK(engine.CursorSetToKey(cursor, {QString::fromUtf8("ä")}));
  TffRecord record;
  EXPECT_OK(engine.RecordGet(cursor, record));
  EXPECT_EQ(record.Values[1].toString(), QString::fromUtf8("Ä"));
}

TEST_F(EngineTest, CaseSensitiveComparisonKeepsCaseApart) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("NAME"), QString(), fftShortString, 20, 0, false);
  dictionary.AddIndex(QStringLiteral("NAME"), QString(), 0, QStringLiteral("NAME"), false, false);
  ASSERT_OK(engine.TableBuild(db, false, QStringLiteral("T"), dictionary));
  const TffCursorID cursor = Open(QStringLiteral("T"), QStringLiteral("NAME"));
  for (const char *name : {"b", "B", "a", "A"}) Insert(cursor, {QString::fromLatin1(name)});
  EXPECT_EQ(Column(cursor, 0), QStringList({"A", "B", "a", "b"}));
}

TEST_F(EngineTest, DescendingIndexKeepsEqualKeysInInsertionOrderBothWays) {
  BuildLines();
  const TffCursorID cursor = Open(QStringLiteral("MINV2"), QStringLiteral("REC"));
  const QList<std::pair<int, const char *>> lines = {{1, "a"}, {2, "b"}, {1, "c"},
                                                     {2, "d"}, {1, "e"}, {3, "f"}};
  for (const auto &[rec, text] : lines) Insert(cursor, {rec, 1.0, QString::fromLatin1(text), 2.5});
  EXPECT_EQ(Column(cursor, 2), QStringList({"f", "b", "d", "a", "c", "e"}));

  QStringList backward;
  EXPECT_OK(engine.CursorSetToEnd(cursor));
  TffRecord record;
  while (engine.RecordGetPrior(cursor, record) == DBIERR_NONE) backward.append(record.Values[2].toString());
  EXPECT_EQ(engine.LastError().Code, DBIERR_BOF);
  EXPECT_EQ(backward, QStringList({"e", "c", "a", "d", "b", "f"}));

  const TffCursorID sequential = Open(QStringLiteral("MINV2"));
  EXPECT_EQ(Column(sequential, 2), QStringList({"a", "b", "c", "d", "e", "f"}));
}

TEST_F(EngineTest, CompoundDescendingIndexOrdersByEveryField) {
  BuildHeaders();
  const TffCursorID cursor = Open(QStringLiteral("MINV1"), QStringLiteral("CUST"));
  const QList<std::pair<int, double>> headers = {{5, 100}, {7, 101}, {5, 102}, {0, 103}, {7, 104}, {5, 105}};
  for (const auto &[customer, number] : headers) Insert(cursor, {QVariant(), customer, number, 10.0, false});
  EXPECT_EQ(Column(cursor, 2), QStringList({"104", "101", "105", "102", "100", "103"}));
  EXPECT_OK(engine.CursorSwitchToIndex(cursor, QStringLiteral("INVNUM"), false));
  EXPECT_EQ(Column(cursor, 2), QStringList({"105", "104", "103", "102", "101", "100"}));
}

TEST_F(EngineTest, RangeOnALeadingPartialKey) {
  BuildHeaders();
  const TffCursorID cursor = Open(QStringLiteral("MINV1"), QStringLiteral("CUST"));
  const QList<std::pair<int, double>> headers = {{5, 100}, {7, 101}, {5, 102}, {0, 103}, {7, 104}, {5, 105}};
  for (const auto &[customer, number] : headers) Insert(cursor, {QVariant(), customer, number, 10.0, false});

  EXPECT_OK(engine.CursorSetRange(cursor, {5}, true, {5}, true));
  EXPECT_EQ(Column(cursor, 2), QStringList({"105", "102", "100"}));
  qint64 count = 0;
  EXPECT_OK(engine.CursorGetRecordCount(cursor, count));
  EXPECT_EQ(count, 3);

  // Bounds follow the index order: descending, so the range from 7 to 5 holds customers 7, then 5.
  EXPECT_OK(engine.CursorSetRange(cursor, {7}, true, {5}, true));
  EXPECT_EQ(Column(cursor, 2), QStringList({"104", "101", "105", "102", "100"}));
  EXPECT_OK(engine.CursorSetRange(cursor, {7}, false, {0}, true));
  EXPECT_EQ(Column(cursor, 2), QStringList({"105", "102", "100", "103"}));
  EXPECT_OK(engine.CursorSetRange(cursor, {5, 104.0}, true, {5}, true));
  EXPECT_EQ(Column(cursor, 2), QStringList({"102", "100"}));
  EXPECT_OK(engine.CursorSetRange(cursor, {}, true, {5, 102.0}, false));
  EXPECT_EQ(Column(cursor, 2), QStringList({"104", "101", "105"}));
  EXPECT_OK(engine.CursorSetRange(cursor, {9}, true, {9}, true));
  EXPECT_TRUE(Column(cursor, 2).isEmpty());
  EXPECT_OK(engine.CursorGetRecordCount(cursor, count));
  EXPECT_EQ(count, 0);

  EXPECT_EQ(engine.CursorSetRange(cursor, {5, 1.0, 2}, true, {}, true), DBIERR_TOOMANYKEYFIELDS);
  EXPECT_EQ(engine.CursorSetRange(cursor, {QStringLiteral("five")}, true, {}, true), DBIERR_INVALIDFLDVALUE);

  EXPECT_OK(engine.CursorResetRange(cursor));
  EXPECT_OK(engine.CursorGetRecordCount(cursor, count));
  EXPECT_EQ(count, 6);
}

TEST_F(EngineTest, RangeOnCaseInsensitiveTextMatchesEveryCase) {
  BuildCustomers();
  const TffCursorID cursor = Open(QStringLiteral("CUSTOMERS"), QStringLiteral("CITY"));
  Insert(cursor, Customer(QStringLiteral("Smith"), QStringLiteral("Paris")));
  Insert(cursor, Customer(QStringLiteral("Jones"), QStringLiteral("Rome")));
  Insert(cursor, Customer(QStringLiteral("adams"), QStringLiteral("PARIS")));
  Insert(cursor, Customer(QStringLiteral("Brown"), QStringLiteral("paris")));
  EXPECT_OK(engine.CursorSetRange(cursor, {QStringLiteral("paris")}, true, {QStringLiteral("Paris")}, true));
  EXPECT_EQ(Column(cursor, 1), QStringList({"adams", "Brown", "Smith"}));
}

TEST_F(EngineTest, SwitchingTheIndexDropsTheRangeAndCanKeepTheRecord) {
  BuildHeaders();
  const TffCursorID cursor = Open(QStringLiteral("MINV1"), QStringLiteral("CUST"));
  for (int i = 0; i < 6; ++i) Insert(cursor, {QVariant(), i % 2, 100.0 + i, 1.0, false});
  EXPECT_OK(engine.CursorSetRange(cursor, {1}, true, {1}, true));
  TffRecord record;
  EXPECT_OK(engine.RecordGetNext(cursor, record));
  EXPECT_EQ(record.Values[2].toDouble(), 105.0);

  EXPECT_OK(engine.CursorSwitchToIndex(cursor, QStringLiteral("invnum"), true));
  EXPECT_EQ(engine.CursorIndex(cursor), 2);
  EXPECT_OK(engine.RecordGet(cursor, record));
  EXPECT_EQ(record.Values[2].toDouble(), 105.0);
  EXPECT_OK(engine.RecordGetNext(cursor, record));
  EXPECT_EQ(record.Values[2].toDouble(), 104.0); // customer 0: the range is gone
  qint64 count = 0;
  EXPECT_OK(engine.CursorGetRecordCount(cursor, count));
  EXPECT_EQ(count, 6);

  EXPECT_OK(engine.CursorSwitchToIndex(cursor, QString(), false));
  EXPECT_EQ(engine.CursorIndex(cursor), 0);
  EXPECT_EQ(engine.RecordGet(cursor, record), DBIERR_NOCURRREC);
  EXPECT_EQ(engine.CursorSwitchToIndex(cursor, QStringLiteral("NOPE"), false), DBIERR_NOSUCHINDEX);
  EXPECT_TRUE(engine.LastError().Message.contains(QStringLiteral("NOPE")));
}

TEST_F(EngineTest, NearestKeyBeforeFirstAfterLastAndWhateverTheCase) {
  BuildCustomers();
  const TffCursorID cursor = Open(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  const auto nearest = [&](const QVariant &key) {
    TffRecord record;
    EXPECT_OK(engine.CursorSetToKey(cursor, {key}));
    return engine.RecordGet(cursor, record) == DBIERR_NONE ? record.Values[1].toString()
                                                           : QStringLiteral("<none>");
  };
  EXPECT_EQ(nearest(QStringLiteral("x")), QStringLiteral("<none>")); // empty table: at the end
  for (const char *name : {"Brown", "Smith", "Adams", "Jones", "brown"})
    Insert(cursor, Customer(QString::fromLatin1(name)));
  EXPECT_EQ(nearest(QStringLiteral("A")), QStringLiteral("Adams"));
  EXPECT_EQ(nearest(QString()), QStringLiteral("Adams"));
  EXPECT_EQ(nearest(QStringLiteral("BR")), QStringLiteral("Brown"));
  EXPECT_EQ(nearest(QStringLiteral("brown")), QStringLiteral("Brown"));
  EXPECT_EQ(nearest(QStringLiteral("Browns")), QStringLiteral("Jones"));
  EXPECT_EQ(nearest(QStringLiteral("smith")), QStringLiteral("Smith"));
  EXPECT_EQ(nearest(QStringLiteral("Zz")), QStringLiteral("Smith")); // past the last: the last record

  // From the found record the cursor reads on in index order.
  EXPECT_OK(engine.CursorSetToKey(cursor, {QStringLiteral("b")}));
  TffRecord record;
  EXPECT_OK(engine.RecordGetNext(cursor, record));
  EXPECT_EQ(record.Values[1].toString(), QStringLiteral("brown"));
  EXPECT_OK(engine.RecordGetNext(cursor, record));
  EXPECT_EQ(record.Values[1].toString(), QStringLiteral("Jones"));

  EXPECT_EQ(engine.CursorSetToKey(cursor, {QStringLiteral("a"), QStringLiteral("b")}),
            DBIERR_TOOMANYKEYFIELDS);
}

TEST_F(EngineTest, NearestKeyFollowsADescendingIndexAndStaysInTheRange) {
  BuildHeaders();
  const TffCursorID cursor = Open(QStringLiteral("MINV1"), QStringLiteral("CUST"));
  for (const auto &[customer, number] : QList<std::pair<int, double>>{{5, 100}, {7, 101}, {5, 102}, {5, 105}})
    Insert(cursor, {QVariant(), customer, number, 10.0, false});
  TffRecord record;
  EXPECT_OK(engine.CursorSetToKey(cursor, {5, 103}));
  EXPECT_OK(engine.RecordGet(cursor, record));
  EXPECT_EQ(record.Values[2].toDouble(), 102.0); // descending: the next key after 103 is 102
  EXPECT_OK(engine.CursorSetToKey(cursor, {6}));
  EXPECT_OK(engine.RecordGet(cursor, record));
  EXPECT_EQ(record.Values[2].toDouble(), 105.0);

  EXPECT_OK(engine.CursorSetRange(cursor, {7}, true, {7}, true));
  EXPECT_OK(engine.CursorSetToKey(cursor, {5}));
  EXPECT_OK(engine.RecordGet(cursor, record));
  EXPECT_EQ(record.Values[2].toDouble(), 101.0); // the range's last record
}

// The order of the engine against a model: random keys with nulls and ties on an index with mixed
// directions, read forward, backward, on from bookmarks, by nearest key and within ranges.
TEST_F(EngineTest, KeysetNavigationMatchesAModelOrder) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("A"), QString(), fftInt32, 0, 0, false);
  dictionary.AddField(QStringLiteral("B"), QString(), fftNullString, 10, 0, false);
  dictionary.AddIndex(QStringLiteral("AB"), QString(), 0,
                      {TffIndexField{0, false, false}, TffIndexField{1, true, true}});
  ASSERT_OK(engine.TableBuild(db, false, QStringLiteral("MODEL"), dictionary));
  const TffCursorID cursor = Open(QStringLiteral("MODEL"), QStringLiteral("AB"));

  std::mt19937 random(4711);
  const QStringList texts{"a", "A", "b", QString::fromUtf8("ä"), "c", "B"};
  struct Row {
    TffBookmark bookmark;
    QVariant a, b;
  };
  QList<Row> rows;
  ASSERT_OK(engine.TransactionStart(db));
  for (int i = 0; i < 300; ++i) {
    const QVariant a = random() % 8 == 0 ? QVariant() : QVariant(int(random() % 5));
    const QVariant b = random() % 6 == 0 ? QVariant() : QVariant(texts[int(random() % texts.size())]);
    rows.append({Insert(cursor, {a, b}).Bookmark, a, b});
  }
  ASSERT_OK(engine.TransactionCommit(db));

  // A ascending with nulls first, B descending with nulls last, then insertion order.
  const auto compareA = [](const QVariant &x, const QVariant &y) {
    if (!x.isValid() || !y.isValid()) return x.isValid() == y.isValid() ? 0 : (x.isValid() ? 1 : -1);
    return x.toInt() < y.toInt() ? -1 : (x.toInt() > y.toInt() ? 1 : 0);
  };
  const auto compareB = [](const QVariant &x, const QVariant &y) {
    if (!x.isValid() || !y.isValid()) return x.isValid() == y.isValid() ? 0 : (x.isValid() ? -1 : 1);
    return -ffFoldCase(x.toString()).compare(ffFoldCase(y.toString()));
  };
  const auto before = [&](const Row &x, const Row &y) {
    if (const int c = compareA(x.a, y.a)) return c < 0;
    if (const int c = compareB(x.b, y.b)) return c < 0;
    return x.bookmark < y.bookmark;
  };
  QList<Row> expected = rows;
  std::sort(expected.begin(), expected.end(), before);
  QList<TffBookmark> expectedOrder;
  for (const Row &row : expected) expectedOrder.append(row.bookmark);

  QList<TffBookmark> forward;
  for (const TffRecord &record : ReadAll(cursor)) forward.append(record.Bookmark);
  EXPECT_EQ(forward, expectedOrder);

  QList<TffRecord> batch;
  EXPECT_OK(engine.CursorSetToEnd(cursor));
  QList<TffBookmark> backward;
  while (engine.RecordGetBatch(cursor, 7, false, batch) == DBIERR_NONE)
    for (const TffRecord &record : batch) backward.prepend(record.Bookmark);
  EXPECT_EQ(backward, expectedOrder);

  for (int trial = 0; trial < 40; ++trial) {
    const int at = int(random() % expected.size());
    ASSERT_OK(engine.CursorSetToBookmark(cursor, expected[at].bookmark));
    TffRecord record;
    if (at + 1 < expected.size()) {
      EXPECT_OK(engine.RecordGetNext(cursor, record));
      EXPECT_EQ(record.Bookmark, expected[at + 1].bookmark);
      EXPECT_OK(engine.RecordGetPrior(cursor, record));
    } else {
      EXPECT_EQ(engine.RecordGetNext(cursor, record), DBIERR_EOF);
      EXPECT_OK(engine.RecordGetPrior(cursor, record));
    }
    if (at > 0) {
      EXPECT_OK(engine.RecordGetPrior(cursor, record));
      EXPECT_EQ(record.Bookmark, expected[at - 1].bookmark);
    }
  }

  // Nearest: the first row whose key is at or after the searched one.
  for (int trial = 0; trial < 40; ++trial) {
    const Row probe{0, random() % 7 == 0 ? QVariant() : QVariant(int(random() % 6)),
                    random() % 5 == 0 ? QVariant() : QVariant(texts[int(random() % texts.size())])};
    const bool twoFields = random() % 2 == 0;
    const auto atOrAfter = [&](const Row &row) {
      if (const int c = compareA(row.a, probe.a)) return c > 0;
      return !twoFields || compareB(row.b, probe.b) >= 0;
    };
    const auto found = std::find_if(expected.begin(), expected.end(), atOrAfter);
    const TffBookmark want = found != expected.end() ? found->bookmark : expected.last().bookmark;
    ASSERT_OK(engine.CursorSetToKey(cursor, twoFields ? QList<QVariant>{probe.a, probe.b}
                                                      : QList<QVariant>{probe.a}));
    TffBookmark got = 0;
    EXPECT_OK(engine.CursorGetBookmark(cursor, got));
    EXPECT_EQ(got, want) << trial;
  }

  // Ranges: the rows whose leading fields lie between two keys of none, one or two fields, nulls among them,
  // read onward and backward in batches.
  const auto randomKey = [&] {
    QList<QVariant> key;
    const int fields = int(random() % 3);
    if (fields > 0) key.append(random() % 6 == 0 ? QVariant() : QVariant(int(random() % 5)));
    if (fields > 1)
      key.append(random() % 5 == 0 ? QVariant() : QVariant(texts[int(random() % texts.size())]));
    return key;
  };
  const auto compareKey = [&](const Row &row, const QList<QVariant> &key) {
    int c = key.isEmpty() ? 0 : compareA(row.a, key[0]);
    if (c == 0 && key.size() > 1) c = compareB(row.b, key[1]);
    return c;
  };
  for (int trial = 0; trial < 60; ++trial) {
    const QList<QVariant> start = randomKey(), end = randomKey();
    const bool startInclusive = random() % 2 == 0, endInclusive = random() % 2 == 0;
    QList<TffBookmark> inRange;
    for (const Row &row : expected) {
      const int s = compareKey(row, start), e = compareKey(row, end);
      const bool afterStart = start.isEmpty() || (startInclusive ? s >= 0 : s > 0);
      const bool beforeEnd = end.isEmpty() || (endInclusive ? e <= 0 : e < 0);
      if (afterStart && beforeEnd) inRange.append(row.bookmark);
    }
    ASSERT_OK(engine.CursorSetRange(cursor, start, startInclusive, end, endInclusive));
    QList<TffBookmark> onward, back;
    for (const TffRecord &record : ReadAll(cursor)) onward.append(record.Bookmark);
    EXPECT_EQ(onward, inRange) << trial;
    while (engine.RecordGetBatch(cursor, 5, false, batch) == DBIERR_NONE)
      for (const TffRecord &record : batch) back.prepend(record.Bookmark);
    EXPECT_EQ(back, inRange) << trial;
    qint64 count = 0;
    EXPECT_OK(engine.CursorGetRecordCount(cursor, count));
    EXPECT_EQ(count, inRange.size());
  }
}

} // namespace
