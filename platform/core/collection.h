// TCollection and TCollectionItem: an ordered list of items that the collection owns, as the class library
// has them. Items are made by the collection's item factory (the class library's item class), each with an ID
// that stays fixed while indexes change.
//
// Change notices: Update(Item) is called after a change, with the item that changed or nullptr when the
// whole collection did (an item added, removed or moved). Between BeginUpdate and the matching EndUpdate no
// notice is given; the last EndUpdate gives one Update(nullptr). Notify tells of each addition and removal
// at once, batch or not.
#pragma once
#include "platform/core/object.h"
#include <QList>
#include <QString>
#include <functional>

class TCollection;
class TCollectionItem;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// Makes a new item inside the given collection (the item's constructor inserts it).
using TCollectionItemClass = std::function<TCollectionItem *(TCollection *Collection)>;

template <typename T>
TCollectionItemClass CollectionItemClass() {
  return [](TCollection *collection) -> TCollectionItem * { return new T(collection); };
}

class TCollectionItem : public TPersistent {
public:
  // Inserts the new item at the end of Collection (when given).
  explicit TCollectionItem(TCollection *Collection);
  // Removes the item from its collection.
  ~TCollectionItem() override;
  QString ClassName() const override { return QStringLiteral("TCollectionItem"); }

  // Removes the item from its collection (telling the collection while the item is whole), then deletes it.
  void Free();

  TCollection *Collection() const { return collection_; }
  // Moves the item into another collection (nullptr: into none).
  void SetCollection(TCollection *Value);
  int ID() const { return id_; }
  // The position in the collection, -1 when in none.
  int Index() const;
  // Moves the item to NewIndex (EListError "List index out of bounds (n)" outside the collection).
  virtual void SetIndex(int Value);
  virtual QString DisplayName() const { return ClassName(); }
  TPersistent *GetOwner() const;

protected:
  // Tells the collection that this item (AllItems: the whole collection) changed.
  void Changed(bool AllItems);

private:
  friend class TCollection;
  TCollection *collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
public:
  explicit TCollection(TCollectionItemClass ItemClass);
  ~TCollection() override;
  QString ClassName() const override { return QStringLiteral("TCollection"); }

  int Count() const { return int(items_.size()); }
  // EListError "List index out of bounds (n)" outside the collection.
  TCollectionItem *Items(int Index) const;
  TCollectionItem *Add();
  TCollectionItem *Insert(int Index);
  void Delete(int Index);
  void Clear();
  TCollectionItem *FindItemID(int ID) const;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // Replaces the items with new items assigned from those of another collection.
  void Assign(const TPersistent *Source) override;

  // The object the collection belongs to (none for a plain collection).
  virtual TPersistent *GetOwner() const { return nullptr; }
  const TCollectionItemClass &ItemClass() const { return itemClass_; }

protected:
  // Called after changes outside a batch; Item is the changed item, or nullptr for the whole collection.
  virtual void Update(TCollectionItem *Item) {}
  virtual void Notify(TCollectionItem *Item, TCollectionNotification Action) {}
  // Update(nullptr) unless a batch is running.
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem *Item);
  void RemoveItem(TCollectionItem *Item);
  static void IndexError(int Index);

  TCollectionItemClass itemClass_;
  QList<TCollectionItem *> items_;
  int updateCount_ = 0;
  int nextId_ = 0;
};

// A collection that knows its owner (the component or object whose property it is).
class TOwnedCollection : public TCollection {
public:
  TOwnedCollection(TPersistent *AOwner, TCollectionItemClass ItemClass)
      : TCollection(std::move(ItemClass)), owner_(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOwnedCollection"); }
  TPersistent *GetOwner() const override { return owner_; }

private:
  TPersistent *owner_;
};
