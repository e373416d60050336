#include "platform/core/collection.h"
#include "tests/platform/raises.h"
#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct Column : TCollectionItem {
  explicit Column(TCollection *c) : TCollectionItem(c) {}
  QString ClassName() const override { return QStringLiteral("TColumn"); }
  int width = 0;
  void SetWidth(int w) {
    width = w;
    Changed(false);
  }
  void Assign(const TPersistent *source) override {
    if (auto *other = dynamic_cast<const Column *>(source)) {
      width = other->width;
      return;
    }
    TCollectionItem::Assign(source);
  }
};

// Records its notices as text: "update *" for the whole collection, "update <ID>" for one item.
struct Columns : TCollection {
  Columns() : TCollection(CollectionItemClass<Column>()) {}
  QStringList log;
  Column *At(int i) const { return static_cast<Column *>(Items(i)); }
  QList<int> Ids() const {
    QList<int> ids;
    for (int i = 0; i < Count(); ++i) ids.append(Items(i)->ID());
    return ids;
  }

protected:
  void Update(TCollectionItem *item) override {
    log.append(item ? QStringLiteral("update %1").arg(item->ID()) : QStringLiteral("update *"));
  }
  void Notify(TCollectionItem *item, TCollectionNotification action) override {
    static const char *names[] = {"added", "extracting", "deleting"};
    log.append(QStringLiteral("%1 %2").arg(QString::fromLatin1(names[action])).arg(item->ID()));
  }
};

TEST(Collection, AddInsertDeleteAndSetIndexKeepIdsAndOrder) {
  Columns cols;
  cols.Add();
  cols.Add();
  cols.Add();
  TCollectionItem *inserted = cols.Insert(1);
  EXPECT_EQ(cols.Ids(), QList<int>({0, 3, 1, 2}));
  EXPECT_EQ(inserted->Index(), 1);
  cols.Delete(0);
  EXPECT_EQ(cols.Ids(), QList<int>({3, 1, 2}));
  EXPECT_EQ(cols.Add()->ID(), 4); // IDs are never re-used
  EXPECT_EQ(cols.FindItemID(0), nullptr);

  // Reordering with SetIndex.
  Columns moved;
  for (int i = 0; i < 4; ++i) moved.Add();
  moved.log.clear();
  moved.Items(0)->SetIndex(3);
  EXPECT_EQ(moved.Ids(), QList<int>({1, 2, 3, 0}));
  EXPECT_EQ(moved.log, QStringList({"update *"}));
  EXPECT_THROW(moved.Items(0)->SetIndex(4), EListError);
  EXPECT_EQ(moved.Ids(), QList<int>({1, 2, 3, 0}));
}

TEST(Collection, NoticesUpdateBatchingAndAssign) {
  Columns cols;
  cols.Add();
  cols.At(0)->SetWidth(5);
  EXPECT_EQ(cols.log, QStringList({"added 0", "update *", "update 0"}));
  cols.log.clear();

  cols.BeginUpdate();
  cols.BeginUpdate();
  cols.Add();
  cols.At(0)->SetWidth(7);
  cols.Delete(0);
  cols.EndUpdate();
  EXPECT_EQ(cols.log, QStringList({"added 1", "deleting 0", "extracting 0"}));
  cols.EndUpdate();
  EXPECT_EQ(cols.log.count("update *"), 1);

  cols.log.clear();
  cols.Add();
  cols.Clear(); // one batch
  EXPECT_EQ(cols.log, QStringList({"added 2", "update *", "deleting 2", "extracting 2", "deleting 1",
                                   "extracting 1", "update *"}));

  // Assign copies the items in one batch.
  Columns source, target;
  static_cast<Column *>(source.Add())->width = 20;
  target.Add();
  target.log.clear();
  target.Assign(&source);
  EXPECT_EQ(std::pair(target.Count(), target.At(0)->width), std::pair(1, 20));
  EXPECT_EQ(target.log.count("update *"), 1);
  TPersistent other;
  EXPECT_THROW(target.Assign(&other), EConvertError);
}

TEST(Collection, ItemsLeaveByDeleteFreeOrMove) {
  Columns a, b;
  a.Add();
  TCollectionItem *second = a.Add();
  a.Add();
  delete a.Items(0);
  EXPECT_EQ(second->Index(), 0);
  second->SetCollection(&b);
  EXPECT_EQ(a.Count(), 1);
  EXPECT_EQ(b.Items(0), second);
  EXPECT_EQ(second->ID(), 0); // a new ID in the new collection
  a.Items(0)->Free();
  EXPECT_EQ(a.Count(), 0);
  (new Column(nullptr))->SetCollection(&a);
  EXPECT_EQ(a.Count(), 1);
}

} // namespace
