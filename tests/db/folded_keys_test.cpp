// The case-insensitive order as the key columns give it to SQLite: every letter's case folded, ASCII and
// beyond, then SQLite's own binary order, which any SQLite tool shares.
#include "db/storage/ff_sql_schema.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

int CompareInSqlite(sqlite3 *db, const QString &a, const QString &b) {
  sqlite3_stmt *statement = nullptr;
  sqlite3_prepare_v2(db, "SELECT CASE WHEN ?1 < ?2 THEN -1 WHEN ?1 = ?2 THEN 0 ELSE 1 END", -1, &statement,
                     nullptr);
  const QByteArray first = ffFoldCase(a).toUtf8(), second = ffFoldCase(b).toUtf8();
  sqlite3_bind_text(statement, 1, first.constData(), int(first.size()), SQLITE_TRANSIENT);
  sqlite3_bind_text(statement, 2, second.constData(), int(second.size()), SQLITE_TRANSIENT);
  sqlite3_step(statement);
  const int result = sqlite3_column_int(statement, 0);
  sqlite3_finalize(statement);
  return result;
}

TEST(CaseFoldedKeys, FoldEveryLetterAndOrderByTheFoldedText) {
  sqlite3 *db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  struct Case {
    const char *a;
    const char *b;
    int expected;
  };
  const Case cases[] = {
      {"abc", "ABC", 0},
      {"Smith", "smith", 0},
      {"ä", "Ä", 0},
      {"ÄRGER", "ärger", 0},
      {"straße", "STRASSE", 1},
      {"a", "b", -1},
      {"B", "a", 1},
      {"ä", "b", 1},
      {"abcä", "ABCÄ", 0},
      {"abcä", "ABCb", 1},
      {"abc", "abcd", -1},
      {"ABCD", "abc", 1},
      {"", "", 0},
      {"", "a", -1},
      {"Zoë", "ZOË", 0},
      {"zoe", "Zoë", -1},
      {"_", "a", -1},
      {"Ω", "ω", 0},
      {"x😀", "X😀", 0},
      {"Ärger", "Zorn", 1},
  };
  for (const Case &c : cases) {
    const QString a = QString::fromUtf8(c.a), b = QString::fromUtf8(c.b);
    EXPECT_EQ(CompareInSqlite(db, a, b), c.expected) << c.a << " / " << c.b;
    EXPECT_EQ(CompareInSqlite(db, b, a), -c.expected) << c.b << " / " << c.a;
  }
  sqlite3_close(db);
}

} // namespace
