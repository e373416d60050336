// TO32Collection: a collection that tells its owner control (ovm_ItemsChanged) each time an item is added,
// and TO32CollectionItem, an item with a name.
#pragma once
#include "platform/core/collection.h"
#include "platform/core/component.h"
#include <QList>

class TO32Collection : public TCollection {
public:
  TO32Collection(TComponent *AOwner, TCollectionItemClass ItemClass);
  ~TO32Collection() override;
  QString ClassName() const override { return QStringLiteral("TO32Collection"); }
  TPersistent *GetOwner() const override { return owner_; }

  TComponent *Owner() const { return owner_; }
  TCollectionItem *Item(int Index) const { return Items(Index); }
  // Adds an item, then sends ovm_ItemsChanged to the owner when the owner is a control.
  TCollectionItem *Add();

  // Whether the collection holder streams this collection's items.
  bool Stored() const { return stored_; }
  void SetStored(bool Value) { stored_ = Value; }
  // Told by the collection holder once its component has finished loading.
  virtual void Loaded() {}
  bool Loading() const { return loading_; }
  bool IsLoaded() const { return loaded_; }
  void SetLoading(bool Value) { loading_ = Value; }
  void SetLoadedFlag() { loaded_ = true; }

protected:
  // Kept for descendants; its content is theirs, the collection only frees it.
  QList<TObject *> &AuxList() { return auxList_; }

private:
  TComponent *owner_;
  QList<TObject *> auxList_;
  bool stored_ = true;
  bool loading_ = false;
  bool loaded_ = false;
};

class TO32CollectionItem : public TCollectionItem {
public:
  explicit TO32CollectionItem(TCollection *Collection) : TCollectionItem(Collection) {}
  QString ClassName() const override { return QStringLiteral("TO32CollectionItem"); }
  QString DisplayName() const override { return name_.isEmpty() ? ClassName() : name_; }

  QString About() const { return QStringLiteral("v4.06"); }
  void SetAbout(const QString &) {}
  QString Name() const { return name_; }
  virtual void SetName(const QString &Value) { name_ = Value; }

private:
  QString name_;
};
