// Data of an older release, opened by this one: invoice numbers become unique unless stored invoices
// already share one (then they keep it).
#include "app/create_invoice.h"
#include "app/invoice_lines.h"
#include "app/table_definitions.h"
#include "tests/app/app_fixture.h"
#include <QFile>

namespace {

class DataUpgrade : public AppFolderTest {
protected:
  // A new folder as the older release left it: invoices with the given numbers, INVNUM not unique.
  void SeedOlder(const QList<double> &numbers) {
    if (DD) DD->Free();
    QFile::remove(QDir(data.path()).filePath(QStringLiteral("tallyrook.db")));
    Seed();
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

TEST_F(DataUpgrade, NumbersBecomeUniqueUnlessStoredInvoicesShareOne) {
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
