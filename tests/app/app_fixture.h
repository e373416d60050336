// A data folder seeded with the shipped database, made the program's data folder (TALLYROOK_DATA), with a
// private folder for the single-instance guard so that test programs running side by side never meet.
// Direct engine access lets a test prepare or inspect the folder's tables behind the program's back.
#pragma once
#include "app/data_module.h"
#include "app/shipped_data.h"
#include "db/engine/ff_server_engine.h"
#include "platform/windowing/application.h"
#include <QTemporaryDir>
#include <QWidget> // forms.h keeps widgets in QPointers
#include <gtest/gtest.h>

// Shows values readably in failure messages.
inline void PrintTo(const QVariant &value, std::ostream *out) {
  *out << (value.isValid() ? value.typeName() : "null") << ' ' << value.toString().toStdString();
}

class AppFolderTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(data.isValid());
    ASSERT_TRUE(runtime.isValid());
    qputenv("TALLYROOK_DATA", data.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  }
  void TearDown() override {
    FreeApplication();
    qunsetenv("TALLYROOK_DATA");
  }

  void Seed() { ASSERT_EQ(SeedDataFolder(data.path(), {}).Outcome, TSeedOutcome::Created); }

  // ---- the folder's tables, through an engine of the test's own ----

  // The records of a table in insertion order.
  QList<QList<QVariant>> Records(const QString &table) {
    QList<QList<QVariant>> rows;
    TffServerEngine engine;
    TffDatabaseID db = 0;
    EXPECT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
    TffCursorID cursor = 0;
    EXPECT_EQ(engine.CursorOpen(db, table, QString(), cursor), DBIERR_NONE)
        << engine.LastError().Message.toStdString();
    TffRecord record;
    while (engine.RecordGetNext(cursor, record) == DBIERR_NONE) rows.append(record.Values);
    engine.DatabaseClose(db);
    return rows;
  }
  void Insert(const QString &table, const QList<QVariant> &values) {
    TffServerEngine engine;
    TffDatabaseID db = 0;
    ASSERT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
    TffCursorID cursor = 0;
    ASSERT_EQ(engine.CursorOpen(db, table, QString(), cursor), DBIERR_NONE);
    TffRecord inserted;
    ASSERT_EQ(engine.RecordInsert(cursor, values, inserted), DBIERR_NONE)
        << engine.LastError().Message.toStdString();
    engine.DatabaseClose(db);
  }
  // Changes field `field` of the first record of `table`.
  void SetFirst(const QString &table, int field, const QVariant &value) {
    TffServerEngine engine;
    TffDatabaseID db = 0;
    ASSERT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
    TffCursorID cursor = 0;
    ASSERT_EQ(engine.CursorOpen(db, table, QString(), cursor), DBIERR_NONE);
    TffRecord record;
    ASSERT_EQ(engine.RecordGetNext(cursor, record), DBIERR_NONE);
    record.Values[field] = value;
    TffRecord modified;
    ASSERT_EQ(engine.RecordModify(cursor, record.Values, modified), DBIERR_NONE);
    engine.DatabaseClose(db);
  }

  QTemporaryDir data;
  QTemporaryDir runtime;
};
