// Index order (declared fields, descending, case-insensitive with any letter, ties in insertion order),
// ranges on leading fields and nearest-key search; index switching is tested through the client table.
#include "db/storage/ff_sql_schema.h"
#include "engine_fixture.h"
#include <random>

namespace {

TEST_F(EngineTest, CaseInsensitiveIndexFoldsEveryLetterAndACaseSensitiveOneKeepsCaseApart) {
  BuildCustomers();
  const TffCursorID cursor = Open("CUSTOMERS", "CITY");
  const std::pair<const char *, const char *> people[] = {
      {"Zoë", "Paris"}, {"Jones", "Rome"}, {"zoe", "PARIS"}, {"ZOË", "paris"}, {"Ärmel", "Paris"}};
  for (const auto &[name, city] : people) Customer(cursor, name, city);
  // Folded letters compare by their code; ties keep the order they were added in.
  EXPECT_EQ(Column(cursor, 1), "zoe,Zoë,ZOË,Ärmel,Jones");

  Build("T", Schema({{"NAME", fftShortString, 20}}, {{"NAME", "NAME", false, false}}));
  const TffCursorID sensitive = Open("T", "NAME");
  for (const char *name : {"b", "B", "a", "A"}) Insert(sensitive, {name});
  EXPECT_EQ(Column(sensitive, 0), "A,B,a,b");
}

// The order of the engine against a model: random keys with nulls and ties on an index with mixed
// directions, read forward, backward, on from bookmarks, by nearest key and within ranges.
TEST_F(EngineTest, KeysetNavigationMatchesAModelOrder) {
  TffDataDictionary dictionary = Schema({{"A", fftInt32}, {"B", fftNullString, 10}});
  dictionary.AddIndex("AB", QString(), 0, {TffIndexField{0, false, false}, TffIndexField{1, true, true}});
  Build("MODEL", dictionary);
  const TffCursorID cursor = Open("MODEL", "AB");

  std::mt19937 random(4711);
  const QStringList texts{"a", "A", "b", QString::fromUtf8("ä"), "c", "B"};
  // A null once in `nulls`, else a number below `numbers` or one of the texts.
  const auto number = [&](int nulls, int numbers) {
    return random() % nulls == 0 ? QVariant() : QVariant(int(random() % numbers));
  };
  const auto text = [&](int nulls) {
    return random() % nulls == 0 ? QVariant() : QVariant(texts[int(random() % texts.size())]);
  };
  struct Row {
    TffBookmark bookmark;
    QVariant a, b;
  };
  QList<Row> rows;
  ASSERT_OK(engine.TransactionStart(db));
  for (int i = 0; i < 300; ++i) {
    const QVariant a = number(8, 5), b = text(6);
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
  // A row against a key of none, one or two fields.
  const auto compareKey = [&](const Row &row, const QList<QVariant> &key) {
    int c = key.isEmpty() ? 0 : compareA(row.a, key[0]);
    if (c == 0 && key.size() > 1) c = compareB(row.b, key[1]);
    return c;
  };
  QList<Row> expected = rows;
  std::sort(expected.begin(), expected.end(), [&](const Row &x, const Row &y) {
    const int c = compareKey(x, {y.a, y.b});
    return c != 0 ? c < 0 : x.bookmark < y.bookmark;
  });
  // The bookmarks of the model's rows that pass, and those a cursor reads onward and backward in batches.
  const auto modelOrder = [&](const std::function<bool(const Row &)> &passes) {
    QList<TffBookmark> order;
    for (const Row &row : expected)
      if (passes(row)) order.append(row.bookmark);
    return order;
  };
  const auto onward = [&] {
    QList<TffBookmark> order;
    for (const TffRecord &record : ReadAll(cursor)) order.append(record.Bookmark);
    return order;
  };
  const auto backward = [&](int batchSize) {
    QList<TffBookmark> order;
    QList<TffRecord> batch;
    EXPECT_OK(engine.CursorSetToEnd(cursor));
    while (engine.RecordGetBatch(cursor, batchSize, false, batch) == DBIERR_NONE)
      for (const TffRecord &record : batch) order.prepend(record.Bookmark);
    return order;
  };
  const QList<TffBookmark> all = modelOrder([](const Row &) { return true; });
  EXPECT_EQ(onward(), all);
  EXPECT_EQ(backward(7), all);

  // Nearest: the first row whose key is at or after the searched one.
  for (int trial = 0; trial < 40; ++trial) {
    QList<QVariant> key{number(7, 6), text(5)};
    if (random() % 2 == 0) key.removeLast();
    const auto found = std::find_if(expected.begin(), expected.end(),
                                    [&](const Row &row) { return compareKey(row, key) >= 0; });
    ASSERT_OK(engine.CursorSetToKey(cursor, key));
    TffBookmark got = 0;
    EXPECT_OK(engine.CursorGetBookmark(cursor, got));
    EXPECT_EQ(got, found != expected.end() ? found->bookmark : expected.last().bookmark) << trial;
  }

  // Ranges: the rows whose leading fields lie between two keys of none, one or two fields, nulls among them.
  const auto randomKey = [&] {
    QList<QVariant> key{number(6, 5), text(5)};
    return key.mid(0, int(random() % 3));
  };
  for (int trial = 0; trial < 60; ++trial) {
    SCOPED_TRACE(trial);
    const QList<QVariant> start = randomKey(), end = randomKey();
    const bool startInclusive = random() % 2 == 0, endInclusive = random() % 2 == 0;
    const QList<TffBookmark> inRange = modelOrder([&](const Row &row) {
      const int s = compareKey(row, start), e = compareKey(row, end);
      return (start.isEmpty() || (startInclusive ? s >= 0 : s > 0)) &&
             (end.isEmpty() || (endInclusive ? e <= 0 : e < 0));
    });
    ASSERT_OK(engine.CursorSetRange(cursor, start, startInclusive, end, endInclusive));
    EXPECT_EQ(onward(), inRange);
    EXPECT_EQ(backward(5), inRange);
    EXPECT_EQ(Count(cursor), inRange.size());
  }
}

} // namespace
