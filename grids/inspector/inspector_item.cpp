#include "grids/inspector/inspector_item.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/library_messages.h"
#include "grids/inspector/inspector_grid.h"
#include "grids/inspector/inspector_items.h"
#include "platform/core/number_format.h"
#include <array>
#include <cmath>

namespace {

struct NamedColor {
  TColor value;
  const char *name;
};

// The names the grid shows for colours; any other value shows as its number.
constexpr std::array kColorNames = {
    NamedColor{clBlack, "clBlack"},
    NamedColor{clMaroon, "clMaroon"},
    NamedColor{clGreen, "clGreen"},
    NamedColor{clOlive, "clOlive"},
    NamedColor{clNavy, "clNavy"},
    NamedColor{clPurple, "clPurple"},
    NamedColor{clTeal, "clTeal"},
    NamedColor{clGray, "clGray"},
    NamedColor{clSilver, "clSilver"},
    NamedColor{clRed, "clRed"},
    NamedColor{clLime, "clLime"},
    NamedColor{clYellow, "clYellow"},
    NamedColor{clBlue, "clBlue"},
    NamedColor{clFuchsia, "clFuchsia"},
    NamedColor{clAqua, "clAqua"},
    NamedColor{clWhite, "clWhite"},
    NamedColor{clNone, "clNone"},
    NamedColor{clDefault, "clDefault"},
    NamedColor{clScrollBar, "clScrollBar"},
    NamedColor{clBackground, "clBackground"},
    NamedColor{clActiveCaption, "clActiveCaption"},
    NamedColor{clInactiveCaption, "clInactiveCaption"},
    NamedColor{clMenu, "clMenu"},
    NamedColor{clWindow, "clWindow"},
    NamedColor{clWindowFrame, "clWindowFrame"},
    NamedColor{clMenuText, "clMenuText"},
    NamedColor{clWindowText, "clWindowText"},
    NamedColor{clCaptionText, "clCaptionText"},
    NamedColor{clActiveBorder, "clActiveBorder"},
    NamedColor{clInactiveBorder, "clInactiveBorder"},
    NamedColor{clAppWorkSpace, "clAppWorkSpace"},
    NamedColor{clHighlight, "clHighlight"},
    NamedColor{clHighlightText, "clHighlightText"},
    NamedColor{clBtnFace, "clBtnFace"},
    NamedColor{clBtnShadow, "clBtnShadow"},
    NamedColor{clGrayText, "clGrayText"},
    NamedColor{clBtnText, "clBtnText"},
    NamedColor{clInactiveCaptionText, "clInactiveCaptionText"},
    NamedColor{clBtnHighlight, "clBtnHighlight"},
    NamedColor{cl3DDkShadow, "cl3DDkShadow"},
    NamedColor{cl3DLight, "cl3DLight"},
    NamedColor{clInfoText, "clInfoText"},
    NamedColor{clInfoBk, "clInfoBk"},
};

bool OwnsChildren(TO32IGridItemType Type) { return Type == itParent || Type == itSet; }

// The currency picture: the locale's currency string in quotes (so that its characters are never taken for
// picture characters), then the amount with thousands separators and two decimals in the locale's signs.
QString CurrencyText(std::int64_t TenThousandths) {
  const QString picture = QStringLiteral("\"%1\"#,##0.00").arg(Settings().CurrencyString);
  return FormatFloat(picture, double(TenThousandths) / 10000.0);
}

std::int64_t ParseCurrency(const QString &Text) {
  QString digits = Text;
  digits.remove(Settings().ThousandSeparator);
  if (!Settings().CurrencyString.isEmpty()) digits.remove(Settings().CurrencyString);
  const double value = StrToFloat(digits.trimmed());
  const double scaled = std::round(value * 10000.0);
  if (!(std::fabs(scaled) < 9.2e18))
    throw EConvertError(QStringLiteral("'%1' is not a valid currency value").arg(Text));
  return std::int64_t(scaled);
}

} // namespace

TO32InspectorItem::TO32InspectorItem(TCollection *Collection)
    : TO32CollectionItem(Collection), fontValue_(std::make_unique<TFont>()),
      itemsList_(std::make_unique<TStringList>()) {
  SetName(QStringLiteral("Item%1").arg(Index()));
  if (TO32InspectorItems *items = Items()) items->ItemConstructed();
}

TO32InspectorItem::~TO32InspectorItem() = default;

TO32InspectorItems *TO32InspectorItem::Items() const {
  return dynamic_cast<TO32InspectorItems *>(Collection());
}

TO32CustomInspectorGrid *TO32InspectorItem::Grid() const {
  TO32InspectorItems *items = Items();
  return items ? items->Grid() : nullptr;
}

void TO32InspectorItem::Changed() {
  TO32InspectorItems *items = Items();
  if (items && items->Grid() && !items->Destroying()) items->Grid()->ItemChanged(this);
}

// -- properties --

void TO32InspectorItem::SetItemType(TO32IGridItemType Value) {
  if (Value == itemType_) return;
  itemType_ = Value;
  switch (Value) {
  case itDate: dateValue_ = Now(); break;
  case itColor: colorValue_ = 0; break;
  case itLogical:
    if (itemsList_->Count() == 0) {
      itemsList_->Add(QStringLiteral("True"));
      itemsList_->Add(QStringLiteral("False"));
    }
    SetDisplayText(QStringLiteral("true"));
    break;
  case itFont:
    if (TO32CustomInspectorGrid *grid = Grid()) fontValue_->Assign(grid->Font());
    break;
  default: break;
  }
  Changed();
}

void TO32InspectorItem::SetCaption(const QString &Value) {
  if (Value == caption_) return;
  caption_ = Value;
  if (TO32CustomInspectorGrid *grid = Grid(); grid && grid->Sorted()) grid->RefreshItems();
  Changed();
}

void TO32InspectorItem::SetImageIndex(int Value) {
  if (Value == imageIndex_) return;
  imageIndex_ = Value;
  Changed();
}

void TO32InspectorItem::SetVisible(bool Value) {
  if (Value == visible_) return;
  visible_ = Value;
  if (TO32CustomInspectorGrid *grid = Grid()) grid->RefreshItems();
}

void TO32InspectorItem::SetExpanded(bool Value) {
  if (Value == expanded_) return;
  expanded_ = Value;
  if (TO32CustomInspectorGrid *grid = Grid()) grid->RefreshItems();
}

void TO32InspectorItem::SetItemsList(const TStrings *Value) {
  if (itemType_ != itList && itemType_ != itLogical) {
    itemsList_->Clear();
    return;
  }
  if (Value && Value->Count() > 0)
    itemsList_->Assign(Value);
  else
    itemsList_->Clear();
  if (itemsList_->Count() == 0) return;
  const QString shown = DisplayText();
  QString text;
  if (shown.isEmpty())
    text = itemsList_->Strings(0);
  else
    for (int i = 0; i < itemsList_->Count(); ++i)
      if (itemsList_->Strings(i) == shown) text = shown;
  SetDisplayText(text);
}

void TO32InspectorItem::SetLogicalValue(bool Value) {
  if (itemType_ == itLogical) logicalValue_ = Value;
  Changed();
}

void TO32InspectorItem::SetColorValue(TColor Value) {
  if (itemType_ == itColor) colorValue_ = Value;
  Changed();
}

// -- text --

QString TO32InspectorItem::SetText() const {
  QString text = QStringLiteral("[");
  TO32InspectorItems *items = Items();
  for (int i = Index() + 1; items && i < items->Count(); ++i) {
    const TO32InspectorItem *child = items->Item(i);
    if (child->parentItem_ == this && child->itemType_ == itLogical && child->logicalValue_)
      text += child->caption_ + QStringLiteral(", ");
  }
  while (text.endsWith(QLatin1Char(' '))) text.chop(1);
  while (text.endsWith(QLatin1Char(','))) text.chop(1);
  return text + QLatin1Char(']');
}

QString TO32InspectorItem::DisplayText() const {
  switch (itemType_) {
  case itParent:
  case itList:
  case itString: return textValue_;
  case itSet: return SetText();
  case itInteger: return QString::number(integerValue_);
  case itFloat: return FloatToStr(floatValue_);
  case itCurrency: return CurrencyText(currencyValue_);
  case itDate: return DateToStr(dateValue_);
  case itColor: return ColorToName(colorValue_);
  case itLogical: return logicalValue_ ? QStringLiteral("True") : QStringLiteral("False");
  case itFont: return fontValue_->Name();
  }
  return QString();
}

void TO32InspectorItem::SetDisplayText(const QString &Text) {
  switch (itemType_) {
  case itParent: {
    // The brackets are a parent's own notation around its text.
    QString text = Text;
    while (text.startsWith(QLatin1Char('('))) text.remove(0, 1);
    while (text.endsWith(QLatin1Char(')'))) text.chop(1);
    textValue_ = QLatin1Char('(') + text + QLatin1Char(')');
    break;
  }
  case itSet: AddSetChildren(Text); break;
  case itList: {
    textValue_.clear();
    for (int i = 0; i < itemsList_->Count(); ++i)
      if (itemsList_->Strings(i) == Text) textValue_ = Text;
    break;
  }
  case itString: textValue_ = Text; break;
  case itInteger: integerValue_ = StrToInt(Text.trimmed()); break;
  case itFloat: floatValue_ = StrToFloat(Text.trimmed()); break;
  case itCurrency: currencyValue_ = ParseCurrency(Text); break;
  case itDate: {
    TDateTime value = 0;
    if (!TryStrToDateTime(Text.trimmed(), value))
      throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(Text));
    dateValue_ = value;
    break;
  }
  case itColor: colorValue_ = NameToColor(Text); break;
  case itLogical: {
    const QString upper = Text.toUpper();
    logicalValue_ = upper == QLatin1String("TRUE") || upper == QLatin1String("T");
    break;
  }
  case itFont: fontValue_->SetName(Text); break;
  }
  Changed();
}

// Set text such as "[Bold, Italic]" adds a True itLogical child per name; existing children stay.
void TO32InspectorItem::AddSetChildren(QString Text) {
  TO32CustomInspectorGrid *grid = Grid();
  TO32InspectorItems *items = Items();
  if (!items || (grid && grid->Loading()) || Text.isEmpty()) return;
  const auto isName = [](QChar c) { return c.isLetterOrNumber(); };
  while (!Text.isEmpty() && !isName(Text.front())) Text.remove(0, 1);
  while (!Text.isEmpty() && !isName(Text.back())) Text.chop(1);
  if (Text.isEmpty()) return;
  const auto addChild = [this, items](const QString &Caption) {
    TO32InspectorItem *child = items->AddItem(this, itLogical);
    child->SetCaption(Caption);
    child->SetImageIndex(-1);
    child->SetLogicalValue(true);
  };
  const auto dropLeading = [&Text](QChar c) {
    while (Text.startsWith(c)) Text.remove(0, 1);
  };
  while (Text.contains(QLatin1Char(','))) {
    const qsizetype comma = Text.indexOf(QLatin1Char(','));
    const QString piece = Text.left(comma).trimmed();
    Text.remove(0, comma + 1);
    dropLeading(QLatin1Char(' '));
    dropLeading(QLatin1Char(','));
    dropLeading(QLatin1Char(' '));
    addChild(piece);
  }
  addChild(Text.trimmed());
}

Variant TO32InspectorItem::AsVariant() const {
  switch (itemType_) {
  case itParent: return caption_;
  case itSet: return SetText();
  case itList:
  case itString: return textValue_;
  case itInteger: return integerValue_;
  case itFloat: return floatValue_;
  case itCurrency: return double(currencyValue_) / 10000.0;
  case itDate: return Variant::FromDateTime(dateValue_);
  case itColor: return int(colorValue_);
  case itLogical: return logicalValue_;
  case itFont: return fontValue_->Name();
  }
  return Variant();
}

void TO32InspectorItem::AssignVariant(const Variant &Value) {
  switch (itemType_) {
  case itParent: textValue_ = QLatin1Char('(') + Value.ToString() + QLatin1Char(')'); break;
  case itSet: AddSetChildren(Value.ToString()); break;
  case itList: {
    const QString text = Value.ToString();
    textValue_.clear();
    for (int i = 0; i < itemsList_->Count(); ++i)
      if (itemsList_->Strings(i) == text) textValue_ = text;
    break;
  }
  case itString: textValue_ = Value.ToString(); break;
  case itInteger: integerValue_ = Value.ToInt(); break;
  case itFloat: floatValue_ = Value.ToDouble(); break;
  case itCurrency: currencyValue_ = std::int64_t(std::round(Value.ToDouble() * 10000.0)); break;
  case itDate: dateValue_ = Value.ToDateTime(); break;
  case itLogical: logicalValue_ = Value.ToBool(); break;
  case itColor:
  case itFont: break;
  }
  Changed();
}

// -- colours --

QString TO32InspectorItem::ColorToName(TColor Value) {
  for (const NamedColor &entry : kColorNames)
    if (entry.value == Value) return QString::fromLatin1(entry.name);
  return QString::number(Value);
}

TColor TO32InspectorItem::NameToColor(const QString &Text) {
  const QString upper = Text.toUpper();
  if (upper.startsWith(QLatin1String("CL"))) {
    for (const NamedColor &entry : kColorNames)
      if (upper == QString::fromLatin1(entry.name).toUpper()) return entry.value;
    if (upper == QLatin1String("CLLTGRAY")) return clLtGray;
    if (upper == QLatin1String("CLDKGRAY")) return clDkGray;
  } else {
    int value = 0;
    if (TryStrToInt(Text.trimmed(), value)) return value;
  }
  throw EOvcException(LibraryMessageText(msg::InvalidColorConstant) + QStringLiteral(": ") + Text);
}

// -- the tree --

bool TO32InspectorItem::HasChildren() const {
  TO32InspectorItems *items = Items();
  return items && OwnsChildren(itemType_) && items->DescendantCount(this) > 0;
}

// Sets the flags of the subtree (Show: expand, else collapse) without telling the grid, and lists the items
// whose OnExpand or OnCollapse is due, deepest first.
void TO32InspectorItem::ExpandTree(bool Show, QList<TO32InspectorItem *> &Fired) {
  TO32InspectorItems *items = Items();
  if (!items || !OwnsChildren(itemType_)) return;
  bool found = false;
  for (int i = Index() + 1; i < items->Count(); ++i) {
    TO32InspectorItem *child = items->Item(i);
    if (child->parentItem_ != this) continue;
    child->ExpandTree(Show, Fired);
    child->visible_ = Show;
    found = true;
  }
  if (!Show)
    expanded_ = false;
  else if (found)
    expanded_ = true;
  if (!Show || expanded_) Fired.append(this);
}

void TO32InspectorItem::Expand() { ApplyExpansion(true); }

void TO32InspectorItem::Collapse() { ApplyExpansion(false); }

void TO32InspectorItem::ApplyExpansion(bool Show) {
  if (!OwnsChildren(itemType_)) return;
  QList<TO32InspectorItem *> fired;
  ExpandTree(Show, fired);
  TO32CustomInspectorGrid *grid = Grid();
  if (!grid) return;
  grid->RefreshItems();
  for (TO32InspectorItem *item : std::as_const(fired)) grid->ItemExpanded(item, Show);
}

// -- moving --

void TO32InspectorItem::SetIndex(int NewIndex) {
  TO32InspectorItems *items = Items();
  if (!items) return;
  const int count = items->Count();
  const int current = Index();
  if (NewIndex < 0 || NewIndex >= count || NewIndex == current) return;
  if (OwnsChildren(itemType_)) {
    if (MoveRun(NewIndex > current)) ItemMoved();
    return;
  }
  // The target moves on past every item that is neither a sibling nor a child, so that the item passes the
  // whole run of a parent; moving down, it then lands before the sibling it reached.
  const bool down = NewIndex > current;
  int target = NewIndex;
  bool stepped = false;
  if (down) {
    const TO32InspectorItem *at = items->Item(target);
    if (OwnsChildren(at->itemType_) && at->parentItem_ != this) {
      ++target;
      stepped = true;
    }
  }
  const auto fits = [&](int Index) {
    const TO32InspectorItem *at = items->Item(Index);
    return at->parentItem_ == parentItem_ || at->parentItem_ == this;
  };
  while (target >= 0 && target < count && !fits(target)) {
    target += down ? 1 : -1;
    stepped = true;
  }
  if (target < 0) return;
  const int position = down && stepped ? target - 1 : target;
  // A child stays inside its parent's run.
  if (parentItem_) {
    const int first = parentItem_->Index();
    const int last = first + items->DescendantCount(parentItem_);
    if (position <= first || position > last) return;
  }
  if (position == current) return;
  TCollectionItem::SetIndex(position);
  ItemMoved();
}

// A parent moves with its run, past the run of the neighbouring sibling (one per call). False when there is
// no sibling on that side.
bool TO32InspectorItem::MoveRun(bool Down) {
  TO32InspectorItems *items = Items();
  const int start = Index();
  const int runEnd = start + items->DescendantCount(this);
  if (Down) {
    const int next = runEnd + 1;
    if (next >= items->Count() || items->Item(next)->parentItem_ != parentItem_) return false;
    const int nextEnd = next + items->DescendantCount(items->Item(next));
    for (int i = 0; i <= nextEnd - next; ++i) items->Item(next + i)->TCollectionItem::SetIndex(start + i);
    return true;
  }
  int previous = start - 1;
  while (previous >= 0 && items->Item(previous)->parentItem_ != parentItem_ &&
         items->Item(previous) != parentItem_)
    --previous;
  if (previous < 0 || items->Item(previous) == parentItem_) return false;
  for (int i = previous; i < start; ++i) items->Item(previous)->TCollectionItem::SetIndex(runEnd);
  return true;
}

void TO32InspectorItem::ItemMoved() {
  if (TO32CustomInspectorGrid *grid = Grid()) grid->ItemMoved(this);
}
