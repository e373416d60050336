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
  // Pairs that fold to the same key, and pairs whose first sorts before the second.
  const std::pair<const char *, const char *> same[] = {
      {"abc", "ABC"}, {"Smith", "smith"}, {"ä", "Ä"}, {"ÄRGER", "ärger"}, {"abcä", "ABCÄ"},
      {"", ""},       {"Zoë", "ZOË"},     {"Ω", "ω"}, {"x😀", "X😀"},
  };
  const std::pair<const char *, const char *> before[] = {
      {"STRASSE", "straße"}, {"a", "b"}, {"a", "B"},     {"b", "ä"}, {"ABCb", "abcä"},  {"abc", "abcd"},
      {"abc", "ABCD"},       {"", "a"},  {"zoe", "Zoë"}, {"_", "a"}, {"Zorn", "Ärger"},
  };
  for (const auto &[a, b] : same) EXPECT_EQ(CompareInSqlite(db, a, b), 0) << a << " / " << b;
  for (const auto &[a, b] : before) {
    EXPECT_EQ(CompareInSqlite(db, a, b), -1) << a << " / " << b;
    EXPECT_EQ(CompareInSqlite(db, b, a), 1) << b << " / " << a;
  }
  sqlite3_close(db);
}

} // namespace
