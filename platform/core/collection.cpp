#include "platform/core/collection.h"
#include <utility>

// ---- TCollectionItem ----

TCollectionItem::TCollectionItem(TCollection *Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() {
  if (collection_) collection_->RemoveItem(this);
}

void TCollectionItem::Free() {
  if (collection_) collection_->RemoveItem(this);
  delete this;
}

void TCollectionItem::SetCollection(TCollection *Value) {
  if (collection_ == Value) return;
  if (collection_) collection_->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const { return collection_ ? int(collection_->items_.indexOf(this)) : -1; }

void TCollectionItem::SetIndex(int Value) {
  const int current = Index();
  if (current < 0 || current == Value) return;
  if (Value < 0 || Value >= collection_->Count()) TCollection::IndexError(Value);
  collection_->items_.move(current, Value);
  Changed(true);
}

TPersistent *TCollectionItem::GetOwner() const { return collection_; }

void TCollectionItem::Changed(bool AllItems) {
  if (collection_ && collection_->updateCount_ == 0) collection_->Update(AllItems ? nullptr : this);
}

// ---- TCollection ----

TCollection::TCollection(TCollectionItemClass ItemClass) : itemClass_(std::move(ItemClass)) {}

TCollection::~TCollection() {
  // The descendant is gone: no notices any more, only the items to free.
  updateCount_ = 1;
  while (!items_.isEmpty()) delete items_.last();
}

TCollectionItem *TCollection::Items(int Index) const {
  if (Index < 0 || Index >= items_.size()) IndexError(Index);
  return items_[Index];
}

TCollectionItem *TCollection::Add() { return itemClass_(this); }

TCollectionItem *TCollection::Insert(int Index) {
  TCollectionItem *item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(int Index) {
  TCollectionItem *item = Items(Index);
  Notify(item, cnDeleting);
  item->Free();
}

void TCollection::Clear() {
  if (items_.isEmpty()) return;
  BeginUpdate();
  try {
    while (!items_.isEmpty()) Delete(int(items_.size()) - 1);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TCollectionItem *TCollection::FindItemID(int ID) const {
  for (TCollectionItem *item : items_)
    if (item->id_ == ID) return item;
  return nullptr;
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ == 0) return;
  --updateCount_;
  Changed();
}

void TCollection::Assign(const TPersistent *Source) {
  const auto *other = dynamic_cast<const TCollection *>(Source);
  if (!other) {
    TPersistent::Assign(Source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem *item : other->items_) Add()->Assign(item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem *Item) {
  items_.append(Item);
  Item->collection_ = this;
  Item->id_ = nextId_++;
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem *Item) {
  Notify(Item, cnExtracting);
  items_.removeOne(Item);
  Item->collection_ = nullptr;
  Changed();
}

void TCollection::IndexError(int Index) {
  throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
}
