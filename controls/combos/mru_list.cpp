#include "controls/combos/mru_list.h"

#include <algorithm>

TOvcMRUList::TOvcMRUList() : items_(std::make_unique<TStringList>(false)) {}

TOvcMRUList::~TOvcMRUList() = default;

void TOvcMRUList::SetMaxItems(int Value) {
  maxItems_ = std::max(0, Value);
  Shrink();
}

void TOvcMRUList::NewItem(const QString &Text, TObject *AObject) {
  const int at = items_->IndexOf(Text);
  if (at >= 0) {
    TObject *object = items_->Objects(at);
    items_->Delete(at);
    items_->InsertObject(0, Text, object);
    return;
  }
  items_->InsertObject(0, Text, AObject);
  Shrink();
}

void TOvcMRUList::Shrink() {
  while (items_->Count() > maxItems_) items_->Delete(items_->Count() - 1);
}

void TOvcMRUList::Clear() { items_->Clear(); }
