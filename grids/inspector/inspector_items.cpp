#include "grids/inspector/inspector_items.h"
#include "grids/inspector/inspector_grid.h"
#include <array>

namespace {

constexpr std::array<const char *, 11> kTypeWords = {
    "Parent", "Set", "List", "String", "Integer", "Float", "Currency", "Date", "Color", "Boolean", "Font"};

bool OwnsChildren(const TO32InspectorItem *Item) {
  return Item->ItemType() == itParent || Item->ItemType() == itSet;
}

bool DescendsFrom(const TO32InspectorItem *Item, const TO32InspectorItem *Ancestor) {
  for (const TO32InspectorItem *p = Item->ParentItem(); p; p = p->ParentItem())
    if (p == Ancestor) return true;
  return false;
}

// Selection sort by caption (ordinal, case-sensitive): for each place, the first of the smallest remaining.
void SortByCaption(QList<TO32InspectorItem *> &List) {
  for (int i = 0; i < List.size(); ++i) {
    int smallest = i;
    for (int j = i + 1; j < List.size(); ++j)
      if (List[j]->Caption() < List[smallest]->Caption()) smallest = j;
    if (smallest != i) List.swapItemsAt(i, smallest);
  }
}

} // namespace

TO32InspectorItems::TO32InspectorItems(TO32CustomInspectorGrid *Grid)
    : TO32Collection(Grid, CollectionItemClass<TO32InspectorItem>()), grid_(Grid) {}

TO32InspectorItems::~TO32InspectorItems() {
  destroying_ = true;
  displayList_.clear();
  BeginUpdate();
  while (Count() > 0) Items(Count() - 1)->Free();
}

TO32InspectorItem *TO32InspectorItems::Item(int Index) const {
  return static_cast<TO32InspectorItem *>(Items(Index));
}

TO32InspectorItem *TO32InspectorItems::AddItem(TO32InspectorItem *Parent, TO32IGridItemType ItemType) {
  auto *item = static_cast<TO32InspectorItem *>(Add());
  if (Parent && Parent->Collection() == this && OwnsChildren(Parent)) {
    const int position = Parent->Index() + DescendantCount(Parent) + 1;
    item->TCollectionItem::SetIndex(position);
    item->parentItem_ = Parent;
    item->parentIndex_ = Parent->Index();
    item->level_ = Parent->level_ + 1;
    item->visible_ = Parent->Expanded();
  }
  item->SetItemType(ItemType);
  int sameType = 0;
  for (int i = 0; i < Count(); ++i)
    if (Item(i)->ItemType() == ItemType) ++sameType;
  item->SetCaption(QString::fromLatin1(kTypeWords[ItemType]) + QString::number(sameType));
  if (grid_) grid_->RefreshItems();
  return item;
}

int TO32InspectorItems::DescendantCount(const TO32InspectorItem *Item) const {
  int count = 0;
  for (int i = Item->Index() + 1; i < Count(); ++i)
    if (DescendsFrom(this->Item(i), Item)) ++count;
  return count;
}

bool TO32InspectorItems::HasParentItems() const {
  for (int i = 0; i < Count(); ++i)
    if (OwnsChildren(Item(i))) return true;
  return false;
}

void TO32InspectorItems::BuildDisplayList(bool Sorted) {
  displayList_.clear();
  for (int i = 0; i < Count();) {
    TO32InspectorItem *item = Item(i);
    if (item->Visible()) {
      displayList_.append(item);
      ++i;
    } else if (OwnsChildren(item)) {
      i += 1 + DescendantCount(item);
    } else {
      ++i;
    }
  }
  if (!Sorted) return;
  // Level by level: the top level sorted, then each level's entries sorted and placed right after their
  // parents, so that children follow their parent in caption order.
  QList<TO32InspectorItem *> sorted;
  for (TO32InspectorItem *item : std::as_const(displayList_))
    if (item->Level() == 0) sorted.append(item);
  SortByCaption(sorted);
  for (int level = 1;; ++level) {
    QList<TO32InspectorItem *> entries;
    for (TO32InspectorItem *item : std::as_const(displayList_))
      if (item->Level() == level) entries.append(item);
    if (entries.isEmpty()) break;
    if (entries.size() > 1) SortByCaption(entries);
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
      const qsizetype parent = sorted.indexOf(entries[i]->ParentItem());
      sorted.insert(parent >= 0 ? parent + 1 : sorted.size(), entries[i]);
    }
  }
  displayList_ = sorted;
}

void TO32InspectorItems::Notify(TCollectionItem *Item, TCollectionNotification Action) {
  TO32Collection::Notify(Item, Action);
  // A new item is told to the collection while its base is being made: it is looked at once it is whole.
  if (Action == cnAdded) constructing_ = true;
  if (Action != cnExtracting || destroying_) return;
  auto *item = static_cast<TO32InspectorItem *>(Item);
  // A parent goes with its children (each of them with its own).
  if (OwnsChildren(item)) {
    item->Collapse();
    for (int i = Count() - 1; i > item->Index(); --i)
      if (i < Count() && this->Item(i)->ParentItem() == item) this->Item(i)->Free();
  }
  displayList_.removeAll(item);
  if (grid_ && !grid_->IsDestroying()) grid_->ItemRemoving(item);
}

void TO32InspectorItems::ItemConstructed() {
  constructing_ = false;
  Update(nullptr);
}

void TO32InspectorItems::Update(TCollectionItem *Item) {
  if (!Item && !constructing_ && grid_ && !destroying_ && !grid_->IsDestroying()) grid_->RefreshItems();
}
