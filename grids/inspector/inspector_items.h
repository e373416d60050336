// TO32InspectorItems: the inspector grid's items, in a flat collection that encodes a tree (each item's
// descendants form one unbroken run directly after it), and the display list: the items the grid shows as
// rows, in row order.
#pragma once
#include "grids/inspector/inspector_item.h"
#include <QList>

class TReader;
class TWriter;

class TO32InspectorItems : public TO32Collection {
public:
  // Grid may be nullptr for a collection of its own (no rows to tell).
  explicit TO32InspectorItems(TO32CustomInspectorGrid *Grid);
  ~TO32InspectorItems() override;
  QString ClassName() const override { return QStringLiteral("TO32InspectorItems"); }

  TO32CustomInspectorGrid *Grid() const { return grid_; }
  TO32InspectorItem *Item(int Index) const;
  // A new item of ItemType, captioned with its type word and number. With Parent of type itParent or itSet
  // the item becomes Parent's last child; otherwise it is appended at the top level.
  TO32InspectorItem *AddItem(TO32InspectorItem *Parent, TO32IGridItemType ItemType);
  // The number of items whose parent chain leads to Item.
  int DescendantCount(const TO32InspectorItem *Item) const;
  bool HasParentItems() const;

  // The rows: the visible items (an invisible parent hides its whole run), ordered by caption level by level
  // when Sorted.
  void BuildDisplayList(bool Sorted);
  const QList<TO32InspectorItem *> &DisplayList() const { return displayList_; }
  // The row showing Item, -1 when it is not shown.
  int RowOf(const TO32InspectorItem *Item) const { return int(displayList_.indexOf(Item)); }
  bool Destroying() const { return destroying_; }
  // Called by a new item once it is whole.
  void ItemConstructed();

  // The stored form of the items: per item its properties (Caption, DisplayText, ImageIndex, ItemsList,
  // ItemType, ReadOnly, Tag, Visible, Name, About) and its parent's index as "ParentItem".
  void WriteItems(TWriter *Writer) const;
  void ReadItems(TReader *Reader);
  // After reading: each item's parent from its ParentIndex, and its level.
  void ResolveParents();

protected:
  void Notify(TCollectionItem *Item, TCollectionNotification Action) override;
  // A change of the whole collection (an item added, removed or moved) rebuilds the grid's rows.
  void Update(TCollectionItem *Item) override;

private:
  TO32CustomInspectorGrid *grid_;
  QList<TO32InspectorItem *> displayList_;
  bool destroying_ = false;
  bool constructing_ = false;
};
