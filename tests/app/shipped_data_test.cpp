// The shipped database: every table with its fields and indexes, the settings row, the report rows, and a
// seed that never touches an existing database.
#include "app/shipped_data.h"
#include "app/table_definitions.h"
#include "tests/app/app_fixture.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

class ShippedData : public AppFolderTest {
protected:
  QString DatabaseFile() const { return data.filePath(QStringLiteral("tallyrook.db")); }
  std::optional<TffDataDictionary> Dictionary(const QString &table) {
    TffServerEngine engine;
    TffDatabaseID db = 0;
    EXPECT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
    std::optional<TffDataDictionary> dictionary;
    EXPECT_EQ(engine.TableGetDictionary(db, table, dictionary), DBIERR_NONE) << table.toStdString();
    return dictionary;
  }
};

struct IndexCase {
  const char *table;
  const char *index;
  QList<int> fields;
  bool descending;
};

TEST_F(ShippedData, HoldsEveryTableWithItsFieldsAndIndexes) {
  Seed();
  TffServerEngine engine;
  TffDatabaseID db = 0;
  ASSERT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
  QStringList tables;
  ASSERT_EQ(engine.DatabaseTableList(db, tables), DBIERR_NONE);
  tables.sort(Qt::CaseInsensitive);
  EXPECT_EQ(tables,
            (QStringList{"CONTROL", "CUSTOMERS", "INV1", "INV2", "MINV1", "MINV2", "PRODUCTS", "Reports"}));
  engine.DatabaseClose(db);

  const auto control = Dictionary(QStringLiteral("CONTROL"));
  ASSERT_TRUE(control);
  EXPECT_EQ(control->FieldCount(), 11);
  EXPECT_EQ(control->FieldType(0), fftBLOBGraphic);
  EXPECT_EQ(control->FieldUnits(control->GetFieldFromName(QStringLiteral("ADDRESS"))), 250);
  EXPECT_EQ(control->FieldType(control->GetFieldFromName(QStringLiteral("TaxPCT"))), fftDouble);

  const IndexCase indexes[] = {
      {"MINV1", "CUST", {3, 14}, true},
      {"MINV1", "INVNUM", {14}, true},
      {"MINV2", "REC", {0}, true},
      {"CUSTOMERS", "CUSTOMER", {1}, false},
      {"PRODUCTS", "TYPE", {0, 1}, false},
      {"Reports", "rec", {0}, false},
      {"Reports", "description", {5, 3}, false},
  };
  for (const IndexCase &c : indexes) {
    SCOPED_TRACE(std::string(c.table) + "." + c.index);
    const auto dictionary = Dictionary(QString::fromLatin1(c.table));
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->IndexName(0), QStringLiteral("Sequential Access Index"));
    const int index = dictionary->GetIndexFromName(QString::fromLatin1(c.index));
    ASSERT_GT(index, 0);
    const TffIndexDescriptor &descriptor = dictionary->IndexDescriptor(index);
    ASSERT_EQ(descriptor.idFields.size(), c.fields.size());
    for (int i = 0; i < c.fields.size(); ++i) {
      EXPECT_EQ(descriptor.idFields[i].FieldNumber, c.fields[i]);
      EXPECT_EQ(descriptor.idFields[i].Descending, c.descending);
      EXPECT_TRUE(descriptor.idFields[i].CaseInsensitive);
    }
  }
}

TEST_F(ShippedData, HasTheSettingsRowWithDefaults) {
  Seed();
  const auto rows = Records(QStringLiteral("CONTROL"));
  ASSERT_EQ(rows.size(), 1);
  const TShippedSettings defaults;
  EXPECT_EQ(rows[0][1].toString(), defaults.Company);
  EXPECT_EQ(rows[0][7].toInt(), 0);      // LastINV: the first invoice is number 1
  EXPECT_EQ(rows[0][8].toDouble(), 0.0); // TaxPCT
  EXPECT_EQ(rows[0][9].toInt(), 0);      // INVTYPE: items
  EXPECT_FALSE(rows[0][0].isValid());    // no logo yet
  EXPECT_TRUE(Records(QStringLiteral("INV2")).isEmpty());
  EXPECT_TRUE(Records(QStringLiteral("Reports")).isEmpty());
}

TEST_F(ShippedData, WritesTheGivenReportTemplatesUnderTheirNumbers) {
  const QList<TShippedReport> reports{{2, QStringLiteral("services.frf"), QStringLiteral("Services"), "B"},
                                      {1, QStringLiteral("items.frf"), QStringLiteral("Items"), "A"}};
  ASSERT_EQ(SeedDataFolder(data.path(), reports).Outcome, TSeedOutcome::Created);
  const auto rows = Records(QStringLiteral("Reports"));
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[0][0].toInt(), 2);
  EXPECT_EQ(rows[0][1].toByteArray(), QByteArray("B"));
  EXPECT_EQ(rows[0][3].toString(), QStringLiteral("Services"));
  EXPECT_EQ(rows[1][0].toInt(), 1);
  EXPECT_EQ(rows[1][2].toString(), QStringLiteral("items.frf"));
}

TEST_F(ShippedData, NeverTouchesAnExistingDatabase) {
  Seed();
  SetFirst(QStringLiteral("CONTROL"), 1, QStringLiteral("My own company"));
  const TSeedResult again = SeedDataFolder(data.path(), {});
  EXPECT_EQ(again.Outcome, TSeedOutcome::AlreadyExists);
  EXPECT_TRUE(again.Message.contains(QDir::toNativeSeparators(DatabaseFile())));
  EXPECT_EQ(Records(QStringLiteral("CONTROL"))[0][1].toString(), QStringLiteral("My own company"));

  // Not even a file that is no database at all.
  QFile::remove(DatabaseFile());
  QFile file(DatabaseFile());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a database");
  file.close();
  EXPECT_EQ(SeedDataFolder(data.path(), {}).Outcome, TSeedOutcome::AlreadyExists);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("not a database"));
}

TEST_F(ShippedData, FailedSeedLeavesNothingBehind) {
  const QList<TShippedReport> twice{{1, {}, {}, "A"}, {1, {}, {}, "B"}};
  const TSeedResult result = SeedDataFolder(data.path(), twice);
  EXPECT_EQ(result.Outcome, TSeedOutcome::Failed);
  EXPECT_TRUE(result.Message.contains(QStringLiteral("twice")));
  EXPECT_EQ(QDir(data.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());

  EXPECT_EQ(SeedDataFolder(data.filePath(QStringLiteral("missing")), {}).Outcome, TSeedOutcome::Failed);
}

TEST_F(ShippedData, TheShippedDatabaseIsWrittenAnewOverAnEarlierOne) {
  const QString file = data.filePath(QStringLiteral("tallyrook-shipped.db"));
  ASSERT_EQ(WriteShippedDatabase(file, {{1, {}, {}, "old"}}).Outcome, TSeedOutcome::Created);
  ASSERT_EQ(WriteShippedDatabase(file, {{1, {}, {}, "new"}, {2, {}, {}, "two"}}).Outcome,
            TSeedOutcome::Created);
  EXPECT_EQ(QDir(data.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("tallyrook-shipped.db")});
  QFile::rename(file, DatabaseFile());
  const auto rows = Records(QStringLiteral("Reports"));
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[0][1].toByteArray(), QByteArray("new"));
}

// ---- the templates of a data folder brought up to date ----

class ShippedTemplates : public ShippedData {
protected:
  void SetUp() override {
    ShippedData::SetUp();
    ASSERT_EQ(SeedDataFolder(
                  data.path(),
                  {{1, {}, {}, "old 1"}, {2, {}, {}, "old 2"}, {3, {}, {}, "own 3"}, {5, {}, {}, "own 5"}})
                  .Outcome,
              TSeedOutcome::Created);
    // Template 1 is of an earlier release, 2 of an earlier build of this one, 3 of a later release.
    ASSERT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
    SetUpdated(1, ShippedTemplatesDate() - 1);
    SetUpdated(3, ShippedTemplatesDate() + 1);
    Insert(QStringLiteral("CUSTOMERS"), {QVariant(), QStringLiteral("Kept customer"), {}, {}, {}, {}, {}});
    ASSERT_TRUE(shipped.isValid());
  }
  void SetUpdated(int number, TDateTime date) {
    TffCursorID cursor = 0;
    TffRecord record, changed;
    ASSERT_EQ(engine.CursorOpen(db, QStringLiteral("Reports"), QStringLiteral("rec"), cursor), DBIERR_NONE);
    ASSERT_EQ(engine.CursorSetToKey(cursor, {number}), DBIERR_NONE);
    ASSERT_EQ(engine.RecordGet(cursor, record), DBIERR_NONE);
    record.Values[4] = date;
    ASSERT_EQ(engine.RecordModify(cursor, record.Values, changed), DBIERR_NONE);
    engine.CursorClose(cursor);
  }
  QString Ship(const QList<TShippedReport> &reports) {
    const QString file = shipped.filePath(QStringLiteral("tallyrook-shipped.db"));
    EXPECT_EQ(WriteShippedDatabase(file, reports).Outcome, TSeedOutcome::Created);
    return file;
  }
  QList<QByteArray> Templates() {
    QList<QByteArray> templates;
    for (const auto &row : Records(QStringLiteral("Reports")))
      templates.append(QByteArray::number(row[0].toInt()) + ' ' + row[1].toByteArray().left(6));
    std::sort(templates.begin(), templates.end());
    return templates;
  }

  QTemporaryDir shipped;
  TffServerEngine engine;
  TffDatabaseID db = 0;
};

TEST_F(ShippedTemplates, ShippedTemplatesOneToFourReplaceOlderOnesAndTheDataStays) {
  const QString file = Ship({{1, {}, {}, "new 1"},
                             {2, {}, {}, "new 2"},
                             {3, {}, {}, "new 3"},
                             {4, {}, {}, "new 4"},
                             {5, {}, {}, "new 5"}});
  EXPECT_EQ(UpdateShippedReports(engine, db, file), QString());
  EXPECT_EQ(Templates(), (QList<QByteArray>{"1 new 1", "2 new 2", "3 own 3", "4 new 4", "5 own 5"}));
  EXPECT_EQ(Records(QStringLiteral("CUSTOMERS")).value(0).value(1).toString(),
            QStringLiteral("Kept customer"));
  // Up to date: a second start changes nothing.
  EXPECT_EQ(UpdateShippedReports(engine, db, file), QString());
  EXPECT_EQ(UpdateShippedReports(engine, db, shipped.filePath(QStringLiteral("none.db"))), QString());
}

TEST_F(ShippedTemplates, AnUpdateThatFailsHalfWayLeavesEveryTemplateAsItWas) {
  // The disk fills after the first template is replaced.
  const QByteArray big(200 * 1024, 'T');
  const QString file = Ship({{1, {}, {}, "new 1" + big}, {4, {}, {}, "new 4" + big}});
  ASSERT_EQ(engine.DatabaseSetSizeLimit(db, QFileInfo(DatabaseFile()).size() + 300 * 1024), DBIERR_NONE);
  EXPECT_TRUE(UpdateShippedReports(engine, db, file).contains(QStringLiteral("disk space")));
  EXPECT_EQ(Templates(), (QList<QByteArray>{"1 old 1", "2 old 2", "3 own 3", "5 own 5"}));
}

TEST_F(ShippedData, DefinitionsMatchTheDataModulesTables) {
  // Every table the data module opens at start, with its declared fields, opens on the shipped data.
  Seed();
  TDD *dd = nullptr;
  Application()->CreateForm(dd);
  for (TffTable *table : {dd->INV1, dd->REPORTS}) {
    table->Open();
    EXPECT_TRUE(table->Active());
  }
  EXPECT_EQ(dd->REPORTS->FieldCount(), 9);
  EXPECT_EQ(dd->REPORTS->FieldByName(QStringLiteral("Copies"))->DataType(), ftSmallint);
  EXPECT_EQ(dd->REPORTS->FieldByName(QStringLiteral("File"))->DataType(), ftBlob);
  EXPECT_EQ(dd->INV1->FieldByName(QStringLiteral("InvDATE"))->DataType(), ftDateTime);
  EXPECT_EQ(dd->CONTROLLOGO->DataType(), ftGraphic);
  EXPECT_EQ(dd->MINV1REC->DataType(), ftAutoInc);
}

} // namespace
