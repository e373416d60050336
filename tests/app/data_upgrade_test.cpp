// Data of an older release, opened by this one: invoice numbers become unique unless stored invoices
// already share one (then they keep it), and the shipped templates of the older release are replaced.
#include "app/create_invoice.h"
#include "app/invoice_lines.h"
#include "app/invoice_templates.h"
#include "app/table_definitions.h"
#include "tests/app/app_fixture.h"
#include <QFile>

namespace {

class DataUpgrade : public AppFolderTest {
protected:
  // A new folder as the older release left it: invoices with the given numbers, INVNUM not unique, the
  // shipped templates older and different, and a template of the user's own.
  void SeedOlder(const QList<double> &numbers) {
    if (DD) DD->Free();
    QFile::remove(QDir(data.path()).filePath(QStringLiteral("tallyrook.db")));
    QList<TShippedReport> shipped = InvoiceTemplates();
    shipped.append({5, QStringLiteral("mine.frf"), QStringLiteral("My own"), "mine", EncodeDate(2020, 1, 1)});
    ASSERT_EQ(SeedDataFolder(data.path(), shipped).Outcome, TSeedOutcome::Created);
    TffServerEngine engine;
    TffDatabaseID db = 0;
    ASSERT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
    const TffDataDictionary current = MINV1Dictionary();
    TffDataDictionary older(current.BlockSize());
    for (int i = 0; i < current.FieldCount(); ++i)
      older.AddField(current.FieldName(i), QString(), current.FieldType(i), current.FieldUnits(i), 0, false);
    for (int i = 1; i < current.IndexCount(); ++i)
      older.AddIndex(current.IndexName(i), QString(), 0, current.IndexDescriptor(i).idFields, true);
    ASSERT_EQ(engine.TableChangeIndexes(db, QStringLiteral("MINV1"), older), DBIERR_NONE)
        << engine.LastError().Message.toStdString();
    TffCursorID reports = 0;
    ASSERT_EQ(engine.CursorOpen(db, QStringLiteral("Reports"), QString(), reports), DBIERR_NONE);
    TffRecord record, modified;
    while (engine.RecordGetNext(reports, record) == DBIERR_NONE && record.Values[0].toInt() <= 4) {
      record.Values[1] = QByteArray("older");
      record.Values[4] = EncodeDate(2025, 1, 1);
      ASSERT_EQ(engine.RecordModify(reports, record.Values, modified), DBIERR_NONE);
    }
    engine.DatabaseClose(db);
    for (double number : numbers)
      Insert(QStringLiteral("MINV1"), {QVariant(), 1, false, 0, QStringLiteral("Old"), QString(), QString(),
                                       QString(), QString(), QString(), 1.0, 0.0, 1.0, 45000.0, number});
  }

  bool NumbersUnique() {
    TffServerEngine engine;
    TffDatabaseID db = 0;
    EXPECT_EQ(engine.DatabaseOpen(data.path(), db), DBIERR_NONE);
    std::optional<TffDataDictionary> headers;
    EXPECT_EQ(engine.TableGetDictionary(db, QStringLiteral("MINV1"), headers), DBIERR_NONE);
    return !headers->IndexDescriptor(headers->GetIndexFromName(QStringLiteral("INVNUM"))).idDups;
  }

  void Start() {
    if (DD) DD->Free();
    Application()->CreateForm(DD);
    ASSERT_NE(DD, nullptr);
  }
};

TEST_F(DataUpgrade, NumbersBecomeUniqueUnlessSharedAndOlderShippedTemplatesAreReplaced) {
  const struct {
    QList<double> numbers;
    bool unique;
  } cases[] = {{{}, true}, {{3, 5}, true}, {{4, 4}, false}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.numbers.size());
    SeedOlder(c.numbers);
    ASSERT_FALSE(NumbersUnique());
    Start();
    EXPECT_EQ(NumbersUnique(), c.unique);
    EXPECT_EQ(Records(QStringLiteral("MINV1")).size(), c.numbers.size());
    const auto reports = Records(QStringLiteral("Reports"));
    ASSERT_EQ(reports.size(), 5);
    for (int n = 1; n <= 4; ++n) {
      EXPECT_EQ(reports[n - 1][1].toByteArray(), InvoiceTemplateStream(n)) << n;
      EXPECT_EQ(reports[n - 1][4].toDouble(), InvoiceTemplatesDate()) << n;
    }
    EXPECT_EQ(reports[4][1].toByteArray(), QByteArray("mine"));
  }
}

TEST_F(DataUpgrade, SharedNumbersStayAndNewInvoicesStillGetUnusedOnes) {
  SeedOlder({4, 4});
  Start();
  ASSERT_TRUE(AddInvoiceLine(*DD, true, 1, QStringLiteral("Bread"), 2));
  TInvoiceDraft draft;
  draft.Customer = QStringLiteral("Someone");
  EXPECT_EQ(StoreInvoice(*DD, draft).Number, 5);
  EXPECT_FALSE(NumbersUnique());

  // Once no number is shared, the next start makes them unique.
  WipeAllData(*DD);
  Start();
  EXPECT_TRUE(NumbersUnique());
}

} // namespace
