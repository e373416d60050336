#include "controls/framework/notifying_collection.h"
#include "controls/framework/private_messages.h"
#include "platform/windowing/controls.h"

TO32Collection::TO32Collection(TComponent *AOwner, TCollectionItemClass ItemClass)
    : TCollection(std::move(ItemClass)), owner_(AOwner) {}

TO32Collection::~TO32Collection() { qDeleteAll(auxList_); }

TCollectionItem *TO32Collection::Add() {
  TCollectionItem *item = TCollection::Add();
  if (auto *control = dynamic_cast<TControl *>(owner_)) control->Perform(ovm_ItemsChanged, 0, 0);
  return item;
}
