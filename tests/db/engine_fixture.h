// A fresh database in a temporary folder, with table definitions written in one line, and helpers that add
// records and read a cursor's records as text.
#pragma once
#include "db/engine/ff_server_engine.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Shows texts readably in failure messages.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

#define EXPECT_OK(call) EXPECT_EQ((call), DBIERR_NONE) << engine.LastError().Message.toStdString()
#define ASSERT_OK(call) ASSERT_EQ((call), DBIERR_NONE) << engine.LastError().Message.toStdString()

struct FieldSpec {
  const char *name;
  TffFieldType type;
  int units = 0;
  bool required = false;
};
// An index on fields named as "CUSTNO;InvNUM", all in one direction and case treatment.
struct IndexSpec {
  const char *name;
  const char *fields;
  bool descending = false;
  bool caseInsensitive = true;
  bool dups = true;
};

inline TffDataDictionary Schema(std::initializer_list<FieldSpec> fields,
                                std::initializer_list<IndexSpec> indexes = {}) {
  TffDataDictionary d(4096);
  for (const FieldSpec &f : fields)
    d.AddField(QString::fromUtf8(f.name), QString(), f.type, f.units, 0, f.required);
  for (const IndexSpec &i : indexes)
    d.AddIndex(QString::fromUtf8(i.name), QString(), 0, QString::fromUtf8(i.fields), i.descending,
               i.caseInsensitive, i.dups);
  return d;
}

// The application's tables. Customers: CUSTNO auto-increment, CUSTOMER, CITY; "CUSTOMER", "CITY" on
// CITY;CUSTOMER.
inline TffDataDictionary CustomersSchema() {
  return Schema({{"CUSTNO", fftAutoInc}, {"CUSTOMER", fftNullString, 50}, {"CITY", fftNullString, 50}},
                {{"CUSTOMER", "CUSTOMER"}, {"CITY", "CITY;CUSTOMER"}});
}
// Invoice headers: "CUST" on CUSTNO;InvNUM and "INVNUM", both descending; INVNUM unique when asked.
inline TffDataDictionary HeadersSchema(bool uniqueNumbers = false) {
  return Schema({{"REC", fftAutoInc},
                 {"CUSTNO", fftInt32},
                 {"InvNUM", fftDouble},
                 {"NET", fftDouble},
                 {"CANC", fftBoolean},
                 {"CUSTOMER", fftNullString, 50},
                 {"InvDATE", fftDateTime}},
                {{"CUST", "CUSTNO;InvNUM", true}, {"INVNUM", "InvNUM", true, true, !uniqueNumbers}});
}
// Invoice lines: REC, QUANTITY, DESCRIPTION (1000), ITEMPRICE; "REC" descending.
inline TffDataDictionary LinesSchema() {
  return Schema({{"REC", fftInt32},
                 {"QUANTITY", fftDouble},
                 {"DESCRIPTION", fftNullString, 1000},
                 {"ITEMPRICE", fftDouble}},
                {{"REC", "REC", true}});
}

class EngineTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    engine.SetBusyTimeout(100);
    // Orders of texts follow one language whatever the machine's.
    engine.SetCollationLocale(QStringLiteral("en_GB"));
    ASSERT_OK(engine.DatabaseCreate(folder.path()));
    ASSERT_OK(engine.DatabaseOpen(folder.path(), db));
  }

  QString FilePath() const { return folder.filePath(QStringLiteral("tallyrook.db")); }

  void Build(const QString &table, const TffDataDictionary &dictionary) {
    ASSERT_OK(engine.TableBuild(db, true, table, dictionary));
  }
  void BuildCustomers(const QString &name = QStringLiteral("CUSTOMERS")) { Build(name, CustomersSchema()); }
  void BuildHeaders() { Build(QStringLiteral("MINV1"), HeadersSchema()); }
  void BuildLines() { Build(QStringLiteral("MINV2"), LinesSchema()); }

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
  // Customers by name, header rows by customer and number, lines by REC and text.
  TffRecord Customer(TffCursorID cursor, const QString &name, const QVariant &city = QVariant()) {
    return Insert(cursor, {QVariant(), name, city});
  }
  TffRecord Header(TffCursorID cursor, int customer, double number) {
    return Insert(cursor, {QVariant(), customer, number, 10.0, false, QVariant(), QVariant()});
  }
  TffRecord Line(TffCursorID cursor, int rec, const QString &text) {
    return Insert(cursor, {rec, 1.0, text, 1.0});
  }

  // Every record from the beginning, in cursor order; the cursor ends at the end.
  QList<TffRecord> ReadAll(TffCursorID cursor) {
    QList<TffRecord> records;
    EXPECT_OK(engine.CursorSetToBegin(cursor));
    TffRecord record;
    TffResult result = DBIERR_NONE;
    // A cursor returning more records than the table holds, as over stale keys, would go on for ever.
    const qint64 count = Count(cursor);
    while (records.size() <= count && (result = engine.RecordGetNext(cursor, record)) == DBIERR_NONE)
      records.append(record);
    EXPECT_EQ(result, DBIERR_EOF) << engine.LastError().Message.toStdString();
    return records;
  }

  static QString Text(const QVariant &value) {
    return value.isValid() ? value.toString() : QStringLiteral("<null>");
  }
  // One field of every record, in cursor order, joined by ",".
  QString Column(TffCursorID cursor, int field) {
    QStringList values;
    for (const TffRecord &record : ReadAll(cursor)) values.append(Text(record.Values[field]));
    return values.join(u',');
  }

  // One field of the record a step reads, or what stopped it: "<eof>", "<bof>", "<none>", "<deleted>".
  using Step = TffResult (TffServerEngine::*)(TffCursorID, TffRecord &);
  QString Read(Step step, TffCursorID cursor, int field) {
    TffRecord record;
    switch (const TffResult result = (engine.*step)(cursor, record)) {
    case DBIERR_NONE: return Text(record.Values[field]);
    case DBIERR_EOF: return QStringLiteral("<eof>");
    case DBIERR_BOF: return QStringLiteral("<bof>");
    case DBIERR_NOCURRREC: return QStringLiteral("<none>");
    case DBIERR_RECDELETED: return QStringLiteral("<deleted>");
    default: return QStringLiteral("<error %1>").arg(result);
    }
  }
  QString Next(TffCursorID cursor, int field = 1) {
    return Read(&TffServerEngine::RecordGetNext, cursor, field);
  }
  QString Prior(TffCursorID cursor, int field = 1) {
    return Read(&TffServerEngine::RecordGetPrior, cursor, field);
  }
  QString Get(TffCursorID cursor, int field = 1) { return Read(&TffServerEngine::RecordGet, cursor, field); }
  // Steps taken in turn (a braced list is evaluated in order), their reads joined by spaces.
  static QString Reads(std::initializer_list<QString> reads) { return QStringList(reads).join(u' '); }
  qint64 Count(TffCursorID cursor) {
    qint64 count = -1;
    EXPECT_OK(engine.CursorGetRecordCount(cursor, count));
    return count;
  }

  QTemporaryDir folder;
  TffServerEngine engine;
  TffDatabaseID db = 0;
};
