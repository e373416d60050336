// The stored form of the inspector grid: its items ("ItemCollection"), column widths and row heights.
#include "grids/inspector/inspector_grid.h"
#include "grids/inspector/inspector_items.h"
#include "platform/core/filer.h"
#include <array>

namespace {

constexpr std::array<const char *, 11> kTypeNames = {"itParent",  "itSet",     "itList",     "itString",
                                                     "itInteger", "itFloat",   "itCurrency", "itDate",
                                                     "itColor",   "itLogical", "itFont"};

TO32IGridItemType TypeOfName(const QString &Name) {
  for (std::size_t i = 0; i < kTypeNames.size(); ++i)
    if (Name == QLatin1String(kTypeNames[i])) return TO32IGridItemType(i);
  throw EReadError(QStringLiteral("Invalid property value"));
}

// Types whose value the display text holds (read before the type, it is read again once the type is known).
bool KeepsTypedValue(TO32IGridItemType Type) { return Type >= itInteger; }

void WriteIntegers(TWriter *Writer, const QList<int> &Values) {
  Writer->WriteListBegin();
  for (int value : Values) Writer->WriteInteger(value);
  Writer->WriteListEnd();
}

QList<int> ReadIntegers(TReader *Reader) {
  QList<int> values;
  Reader->ReadListBegin();
  while (!Reader->EndOfList()) values.append(Reader->ReadInteger());
  Reader->ReadListEnd();
  return values;
}

} // namespace

void TO32InspectorItems::WriteItems(TWriter *Writer) const {
  Writer->WriteValue(vaCollection);
  for (int i = 0; i < Count(); ++i) {
    const TO32InspectorItem *item = Item(i);
    const auto text = [Writer](const char *Name, const QString &Value) {
      if (Value.isEmpty()) return;
      Writer->WritePropName(QLatin1String(Name));
      Writer->WriteString(Value);
    };
    const auto integer = [Writer](const char *Name, int Value) {
      Writer->WritePropName(QLatin1String(Name));
      Writer->WriteInteger(Value);
    };
    const auto boolean = [Writer](const char *Name, bool Value) {
      Writer->WritePropName(QLatin1String(Name));
      Writer->WriteBoolean(Value);
    };
    Writer->WriteListBegin();
    text("Caption", item->Caption());
    text("DisplayText", item->DisplayText());
    integer("ImageIndex", item->ImageIndex());
    if (item->ItemsList()->Count() > 0) {
      Writer->WritePropName(QStringLiteral("ItemsList.Strings"));
      Writer->WriteListBegin();
      for (int s = 0; s < item->ItemsList()->Count(); ++s) Writer->WriteString(item->ItemsList()->Strings(s));
      Writer->WriteListEnd();
    }
    Writer->WritePropName(QStringLiteral("ItemType"));
    Writer->WriteValue(vaIdent);
    Writer->WriteStr(QLatin1String(kTypeNames[item->ItemType()]));
    if (item->MaxLength() > 0) integer("MaxLength", item->MaxLength());
    boolean("ReadOnly", item->ReadOnly());
    integer("Tag", item->Tag());
    boolean("Visible", item->Visible());
    text("Name", item->Name());
    text("About", item->About());
    // The parent's index now (an insertion or move since the child was added may have shifted it).
    integer("ParentItem", item->ParentItem() ? item->ParentItem()->Index() : -1);
    Writer->WriteListEnd();
  }
  Writer->WriteListEnd();
}

void TO32InspectorItems::ReadItems(TReader *Reader) {
  if (Reader->ReadValue() != vaCollection) throw EReadError(QStringLiteral("Invalid property value"));
  while (!Reader->EndOfList()) {
    Reader->ReadListBegin();
    auto *item = static_cast<TO32InspectorItem *>(Add());
    QString shown;
    bool haveShown = false;
    while (!Reader->EndOfList()) {
      const QString name = Reader->ReadPropName();
      if (name == QLatin1String("Caption")) {
        item->caption_ = Reader->ReadString();
      } else if (name == QLatin1String("DisplayText")) {
        shown = Reader->ReadString();
        haveShown = true;
        item->SetDisplayText(shown);
      } else if (name == QLatin1String("ImageIndex")) {
        item->imageIndex_ = Reader->ReadInteger();
      } else if (name == QLatin1String("ItemsList.Strings")) {
        item->itemsList_->Clear();
        Reader->ReadListBegin();
        while (!Reader->EndOfList()) item->itemsList_->Add(Reader->ReadString());
        Reader->ReadListEnd();
      } else if (name == QLatin1String("ItemType")) {
        if (Reader->ReadValue() != vaIdent) throw EReadError(QStringLiteral("Invalid property value"));
        item->SetItemType(TypeOfName(Reader->ReadStr()));
      } else if (name == QLatin1String("MaxLength")) {
        item->SetMaxLength(Reader->ReadInteger());
      } else if (name == QLatin1String("ReadOnly")) {
        item->readOnly_ = Reader->ReadBoolean();
      } else if (name == QLatin1String("Tag")) {
        item->tag_ = Reader->ReadInteger();
      } else if (name == QLatin1String("Visible")) {
        item->visible_ = Reader->ReadBoolean();
      } else if (name == QLatin1String("Name")) {
        item->SetName(Reader->ReadString());
      } else if (name == QLatin1String("About")) {
        Reader->ReadString();
      } else if (name == QLatin1String("ParentItem")) {
        item->parentIndex_ = Reader->ReadInteger();
      } else {
        throw EReadError(QStringLiteral("Property %1 does not exist").arg(name));
      }
    }
    Reader->ReadListEnd();
    // The typed value comes back from its text; text that no longer reads leaves the type's initial value.
    if (haveShown && KeepsTypedValue(item->ItemType())) {
      try {
        item->SetDisplayText(shown);
      } catch (const Exception &) {
      }
    }
  }
  Reader->ReadListEnd();
}

void TO32InspectorItems::ResolveParents() {
  for (int i = 0; i < Count(); ++i) {
    TO32InspectorItem *item = Item(i);
    if (item->parentIndex_ < 0 || item->parentIndex_ >= i) continue;
    item->parentItem_ = Item(item->parentIndex_);
    item->level_ = item->parentItem_->level_ + 1;
  }
}

// ---- the grid ----

void TO32CustomInspectorGrid::DefineProperties(TFiler *Filer) {
  TO32CustomControl::DefineProperties(Filer);
  Filer->DefineProperty(
      QStringLiteral("ItemCollection"), [this](TReader *Reader) { items_->ReadItems(Reader); },
      [this](TWriter *Writer) { items_->WriteItems(Writer); }, items_->Count() > 0);
  Filer->DefineProperty(
      QStringLiteral("ColWidths"), [this](TReader *Reader) { ReadColWidths(Reader); },
      [this](TWriter *Writer) { WriteIntegers(Writer, colWidths_->Values()); }, colWidths_ != nullptr);
  Filer->DefineProperty(
      QStringLiteral("RowHeights"), [this](TReader *Reader) { ReadRowHeights(Reader); },
      [this](TWriter *Writer) {
        QList<int> heights;
        for (int r = 0; r < RowCount(); ++r) heights.append(RowHeight(r));
        WriteIntegers(Writer, heights);
      },
      rowHeights_ != nullptr);
}

void TO32CustomInspectorGrid::ReadColWidths(TReader *Reader) {
  const QList<int> widths = ReadIntegers(Reader);
  if (widths.size() >= 2) SetColumnWidths(widths[0], widths[1]);
}

void TO32CustomInspectorGrid::ReadRowHeights(TReader *Reader) {
  const QList<int> heights = ReadIntegers(Reader);
  rowHeights_ = std::make_unique<TGridExtents>();
  rowHeights_->Resize(int(heights.size()), defaultRowHeight_);
  for (int r = 0; r < heights.size(); ++r) rowHeights_->SetValue(r, heights[r]);
}
