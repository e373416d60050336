// TO32InspectorItem: one row of the inspector grid, a caption and a typed value. The value lives in the field
// of the item's type; DisplayText turns it into text and back. Items of type itParent and itSet own child
// items, which follow them directly in the collection (see inspector_items.h).
//
// Text that does not read as the item's type is refused: SetDisplayText raises the conversion error and the
// item keeps its value, whatever the type (a number, a date, a colour). Brackets are only the notation of a
// parent item: the text of a string item is kept exactly as given.
#pragma once
#include "controls/framework/notifying_collection.h"
#include "platform/core/date_time.h"
#include "platform/core/string_list.h"
#include "platform/core/variant.h"
#include "platform/graphics/color.h"
#include "platform/graphics/graphics.h"
#include <cstdint>
#include <memory>

class TO32CustomInspectorGrid;
class TO32InspectorItems;

enum TO32IGridItemType : std::uint8_t {
  itParent,
  itSet,
  itList,
  itString,
  itInteger,
  itFloat,
  itCurrency,
  itDate,
  itColor,
  itLogical,
  itFont
};

class TO32InspectorItem : public TO32CollectionItem {
public:
  explicit TO32InspectorItem(TCollection *Collection);
  ~TO32InspectorItem() override;
  QString ClassName() const override { return QStringLiteral("TO32InspectorItem"); }

  TO32InspectorItems *Items() const;
  TO32CustomInspectorGrid *Grid() const;

  TO32IGridItemType ItemType() const { return itemType_; }
  void SetItemType(TO32IGridItemType Value);
  QString Caption() const { return caption_; }
  void SetCaption(const QString &Value);
  TO32InspectorItem *ParentItem() const { return parentItem_; }
  // The collection index of the parent as recorded when the item was added or read (-1: top level).
  int ParentIndex() const { return parentIndex_; }
  int Level() const { return level_; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value) { readOnly_ = Value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool Value);
  int Tag() const { return tag_; }
  void SetTag(int Value) { tag_ = Value; }
  // The choices of an itList (or itLogical) item.
  TStrings *ItemsList() const { return itemsList_.get(); }
  void SetItemsList(const TStrings *Value);
  // The most characters the grid's editor accepts for this item (0: no limit), so that the text always
  // fits the field it is stored in.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int Value) { maxLength_ = std::max(0, Value); }

  // -- typed values: the value of the item's own type, else the neutral value --
  int IntegerValue() const { return itemType_ == itInteger ? integerValue_ : 0; }
  // The float of an itFloat or itCurrency item (for itCurrency the float field, not the currency).
  double FloatValue() const { return itemType_ == itFloat || itemType_ == itCurrency ? floatValue_ : 0.0; }
  TColor ColorValue() const { return itemType_ == itColor ? colorValue_ : 0; }
  bool LogicalValue() const { return itemType_ == itLogical && logicalValue_; }
  TFont *FontValue() const { return itemType_ == itFont ? fontValue_.get() : nullptr; }
  // Store the value only when the item has that type.
  void SetLogicalValue(bool Value);
  void SetColorValue(TColor Value);

  QString DisplayText() const;
  // Reads Text as the item's type; text that is not a value of the type raises (the value stays).
  void SetDisplayText(const QString &Text);
  Variant AsVariant() const;
  // Raises the variant conversion error when Value cannot become the item's type.
  void AssignVariant(const Variant &Value);

  // Shows (hides) the children and, recursively, their children.
  void Expand();
  void Collapse();
  bool HasChildren() const;
  // Moves the item within the tree: among its siblings, past whole runs of other parents; a parent moves
  // together with its run.
  void SetIndex(int NewIndex) override;

  // The colour's name ("clRed", "clBtnFace", ...), else its decimal value.
  static QString ColorToName(TColor Value);
  // A colour name (any case, also "clLtGray" and "clDkGray") or a number; anything else raises.
  static TColor NameToColor(const QString &Text);

private:
  friend class TO32InspectorItems;
  void Changed();
  // Parses set text into new itLogical children.
  void AddSetChildren(QString Text);
  QString SetText() const;
  void ExpandTree(bool Show, QList<TO32InspectorItem *> &Fired);
  void ApplyExpansion(bool Show);
  bool MoveRun(bool Down);
  void ItemMoved();

  TO32IGridItemType itemType_ = itString;
  QString caption_;
  TO32InspectorItem *parentItem_ = nullptr;
  int parentIndex_ = -1;
  int integerValue_ = 0;
  QString textValue_;
  double floatValue_ = 0.0;
  int imageIndex_ = -1;
  bool readOnly_ = false;
  bool expanded_ = false;
  std::int64_t currencyValue_ = 0;
  TDateTime dateValue_ = 0.0;
  TColor colorValue_ = 0;
  bool logicalValue_ = false;
  std::unique_ptr<TFont> fontValue_;
  int level_ = 0;
  bool visible_ = true;
  std::unique_ptr<TStringList> itemsList_;
  int tag_ = 0;
  int maxLength_ = 0;
};
