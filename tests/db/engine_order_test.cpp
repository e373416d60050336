// Index order (declared fields, descending, case-insensitive with any letter, ties in insertion order),
// ranges on leading fields and nearest-key search; index switching is tested through the client table.
#include "db/storage/ff_collation.h"
#include "engine_fixture.h"
#include <random>

namespace {

// Case-insensitive indexes sort as the collation locale's language does, ignoring case and ranking accents
// after letters; a search matches the letters as that language reads them. A case-sensitive index sorts by
// code point.
TEST_F(EngineTest, CaseInsensitiveIndexesSortAndSearchAsTheLanguageDoes) {
  const char *names[] = {"Zzz",   "Śruba", "sruba", "Łódź",  "Lodz", "Ünal Çelik",
                         "Ärmel", "armel", "ARMEL", "Szafa", "Ünal"};
  const struct {
    const char *locale;
    const char *order;
    const char *lodz, *unal; // found by searching "lodz" and "UNAL"
  } cases[] = {
      {"pl_PL", "armel,ARMEL,Ärmel,Lodz,Łódź,sruba,Szafa,Śruba,Ünal,Ünal Çelik,Zzz", "Lodz", "Ünal"},
      {"de_DE", "armel,ARMEL,Ärmel,Lodz,Łódź,sruba,Śruba,Szafa,Ünal,Ünal Çelik,Zzz", "Lodz", "Ünal"},
      {"sv_SE", "armel,ARMEL,Lodz,Łódź,sruba,Śruba,Szafa,Ünal,Ünal Çelik,Zzz,Ärmel", "Lodz", "Ünal"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.locale);
    TffServerEngine local;
    local.SetCollationLocale(QString::fromLatin1(c.locale));
    TffDatabaseID localDb = 0;
    ASSERT_EQ(local.DatabaseOpen(folder.path(), localDb), DBIERR_NONE)
        << local.LastError().Message.toStdString();
    ASSERT_EQ(local.TableBuild(localDb, true, "NAMES", CustomersSchema()), DBIERR_NONE);
    TffCursorID cursor = 0;
    ASSERT_EQ(local.CursorOpen(localDb, "NAMES", "CUSTOMER", cursor), DBIERR_NONE);
    TffRecord record;
    for (const char *name : names)
      ASSERT_EQ(local.RecordInsert(cursor, {QVariant(), QString::fromUtf8(name), QVariant()}, record),
                DBIERR_NONE);
    QStringList order;
    ASSERT_EQ(local.CursorSetToBegin(cursor), DBIERR_NONE);
    while (local.RecordGetNext(cursor, record) == DBIERR_NONE) order.append(record.Values[1].toString());
    EXPECT_EQ(order.join(u','), QString::fromUtf8(c.order));
    const auto find = [&](const char *typed) {
      std::optional<TffRecord> found;
      EXPECT_EQ(local.CursorSetToKey(cursor, {QString::fromUtf8(typed)}, &found), DBIERR_NONE);
      return found ? found->Values[1].toString() : QString();
    };
    EXPECT_EQ(find("lodz"), QString::fromUtf8(c.lodz));
    EXPECT_EQ(find("UNAL"), QString::fromUtf8(c.unal));
    // Accents that the language takes as marks on the letter match its plain letter; its own letters do not.
    EXPECT_EQ(find("armel"), QStringLiteral("armel"));
    ASSERT_EQ(local.CursorSetRange(cursor, {"armel"}, true, {"ARMEL"}, true), DBIERR_NONE);
    qint64 count = 0;
    EXPECT_EQ(local.CursorGetRecordCount(cursor, count), DBIERR_NONE);
    EXPECT_EQ(count, QByteArray(c.locale) == "sv_SE" ? 2 : 3);
    local.DatabaseClose(localDb);
  }

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
  // Texts by their collation keys: two rows by the whole keys, a row and a searched text by the letters.
  const TffCollation collation(engine.CollationLocale());
  const auto compareB = [&](const QVariant &x, const QVariant &y, bool searched) {
    if (!x.isValid() || !y.isValid()) return x.isValid() == y.isValid() ? 0 : (x.isValid() ? -1 : 1);
    QByteArray a = collation.Key(x.toString()), b = collation.Key(y.toString());
    if (searched) a = TffCollation::LowerBound(a), b = TffCollation::LowerBound(b);
    return a < b ? 1 : (b < a ? -1 : 0);
  };
  // A row against another row's key, or a searched key of none, one or two fields.
  const auto compareKey = [&](const Row &row, const QList<QVariant> &key, bool searched = true) {
    int c = key.isEmpty() ? 0 : compareA(row.a, key[0]);
    if (c == 0 && key.size() > 1) c = compareB(row.b, key[1], searched);
    return c;
  };
  QList<Row> expected = rows;
  std::sort(expected.begin(), expected.end(), [&](const Row &x, const Row &y) {
    const int c = compareKey(x, {y.a, y.b}, false);
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
