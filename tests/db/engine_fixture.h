// A fresh database in a temporary folder, with helpers that build tables, add records and read a cursor's
// records in order.
#pragma once
#include "db/engine/ff_server_engine.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Shows texts readably in failure messages.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

#define EXPECT_OK(call) EXPECT_EQ((call), DBIERR_NONE) << engine.LastError().Message.toStdString()
#define ASSERT_OK(call) ASSERT_EQ((call), DBIERR_NONE) << engine.LastError().Message.toStdString()

class EngineTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    engine.SetBusyTimeout(100);
    ASSERT_OK(engine.DatabaseCreate(folder.path()));
    ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  }

  QString FilePath() const { return folder.filePath(QStringLiteral("tallyrook.db")); }

  // A table of customers: CUSTNO auto-increment, CUSTOMER (50) and CITY (50), index "CUSTOMER"
  // (case-insensitive) and "CITY" on CITY;CUSTOMER.
  void BuildCustomers(const QString &name = QStringLiteral("CUSTOMERS")) {
    TffDataDictionary dictionary(4096);
    dictionary.AddField(QStringLiteral("CUSTNO"), QString(), fftAutoInc, 0, 0, false);
    dictionary.AddField(QStringLiteral("CUSTOMER"), QString(), fftNullString, 50, 0, false);
    dictionary.AddField(QStringLiteral("CITY"), QString(), fftNullString, 50, 0, false);
    dictionary.AddIndex(QStringLiteral("CUSTOMER"), QString(), 0, QStringLiteral("CUSTOMER"), false, true);
    dictionary.AddIndex(QStringLiteral("CITY"), QString(), 0, QStringLiteral("CITY;CUSTOMER"), false, true);
    ASSERT_OK(engine.TableBuild(db, true, name, dictionary));
  }

  // Invoice headers: REC auto-increment, CUSTNO, InvNUM, NET, CANC; indexes "CUST" on CUSTNO;InvNUM and
  // "INVNUM" on InvNUM, both descending and case-insensitive.
  void BuildHeaders() {
    TffDataDictionary dictionary(4096);
    dictionary.AddField(QStringLiteral("REC"), QString(), fftAutoInc, 0, 0, false);
    dictionary.AddField(QStringLiteral("CUSTNO"), QString(), fftInt32, 0, 0, false);
    dictionary.AddField(QStringLiteral("InvNUM"), QString(), fftDouble, 0, 0, false);
    dictionary.AddField(QStringLiteral("NET"), QString(), fftDouble, 0, 0, false);
    dictionary.AddField(QStringLiteral("CANC"), QString(), fftBoolean, 0, 0, false);
    dictionary.AddIndex(QStringLiteral("CUST"), QString(), 0, QStringLiteral("CUSTNO;InvNUM"), true, true);
    dictionary.AddIndex(QStringLiteral("INVNUM"), QString(), 0, QStringLiteral("InvNUM"), true, true);
    ASSERT_OK(engine.TableBuild(db, true, QStringLiteral("MINV1"), dictionary));
  }

  // Invoice lines: REC, QUANTITY, DESCRIPTION (1000), ITEMPRICE; index "REC" descending.
  void BuildLines() {
    TffDataDictionary dictionary(4096);
    dictionary.AddField(QStringLiteral("REC"), QString(), fftInt32, 0, 0, false);
    dictionary.AddField(QStringLiteral("QUANTITY"), QString(), fftDouble, 0, 0, false);
    dictionary.AddField(QStringLiteral("DESCRIPTION"), QString(), fftNullString, 1000, 0, false);
    dictionary.AddField(QStringLiteral("ITEMPRICE"), QString(), fftDouble, 0, 0, false);
    dictionary.AddIndex(QStringLiteral("REC"), QString(), 0, QStringLiteral("REC"), true, true);
    ASSERT_OK(engine.TableBuild(db, true, QStringLiteral("MINV2"), dictionary));
  }

  TffCursorID Open(const QString &table, const QString &index = QString()) {
    TffCursorID cursor = 0;
    EXPECT_OK(engine.CursorOpen(db, table, index, cursor));
    return cursor;
  }

  TffRecord Insert(TffCursorID cursor, const QList<QVariant> &values) {
    TffRecord record;
    EXPECT_OK(engine.RecordInsert(cursor, values, record));
    return record;
  }

  // Every record from the beginning, in cursor order; the cursor ends at the end.
  QList<TffRecord> ReadAll(TffCursorID cursor) {
    QList<TffRecord> records;
    EXPECT_OK(engine.CursorSetToBegin(cursor));
    TffRecord record;
    TffResult result;
    while ((result = engine.RecordGetNext(cursor, record)) == DBIERR_NONE) records.append(record);
    EXPECT_EQ(result, DBIERR_EOF) << engine.LastError().Message.toStdString();
    return records;
  }

  // One field of every record, in cursor order, as text.
  QStringList Column(TffCursorID cursor, int field) {
    QStringList values;
    for (const TffRecord &record : ReadAll(cursor))
      values.append(record.Values[field].isValid() ? record.Values[field].toString()
                                                   : QStringLiteral("<null>"));
    return values;
  }

  QTemporaryDir folder;
  TffServerEngine engine;
  TffDatabaseID db = 0;
};
