// The inspector grid's items: text of each type and back, refused text, set text, colour names, the tree
// (adding, expanding, moving, removing), the display list and the stored form.
#include "grids/inspector/inspector_grid.h"
#include "platform/core/filer.h"
#include "platform/core/format_settings.h"
#include "platform/core/streams.h"
#include "tests/platform/std_test_helpers.h"

namespace {

class ItemsTest : public ::testing::Test {
protected:
  TO32InspectorItem *Add(TO32IGridItemType type, const QString &caption = QString(),
                         TO32InspectorItem *parent = nullptr) {
    TO32InspectorItem *item = items.AddItem(parent, type);
    if (!caption.isEmpty()) item->SetCaption(caption);
    return item;
  }
  // The captions in collection order.
  QString Order() const {
    QStringList captions;
    for (int i = 0; i < items.Count(); ++i) captions.append(items.Item(i)->Caption());
    return captions.join(QLatin1Char(' '));
  }
  // Builds items from "A P( c1 c2 ) B": a word followed by "(" is a parent whose children follow up to ")".
  void Build(const QString &layout) {
    QList<TO32InspectorItem *> parents;
    const QStringList words = layout.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &word : words) {
      if (word == QLatin1String(")")) {
        parents.removeLast();
        continue;
      }
      const bool parent = word.endsWith(QLatin1Char('('));
      TO32InspectorItem *item = Add(parent ? itParent : itString, parent ? word.chopped(1) : word,
                                    parents.isEmpty() ? nullptr : parents.last());
      if (parent) parents.append(item);
    }
  }
  // The rows shown, in the items' order or sorted, as their captions.
  QString Rows(bool sorted = false) {
    items.BuildDisplayList(sorted);
    QStringList rows;
    for (const TO32InspectorItem *item : items.DisplayList()) rows.append(item->Caption());
    return rows.join(QLatin1Char(' '));
  }
  TO32InspectorItem *Named(const QString &caption) const {
    for (int i = 0; i < items.Count(); ++i)
      if (items.Item(i)->Caption() == caption) return items.Item(i);
    return nullptr;
  }

  FormatSettingsGuard settings{FormatSettings::USEnglish()};
  TO32InspectorItems items{nullptr};
};

TEST_F(ItemsTest, EachTypeReadsAndShowsItsText) {
  // Brackets are kept in text and only a parent's own notation is taken off.
  const std::tuple<TO32IGridItemType, const char *, const char *> cases[] = {
      {itString, "(((x)))", "(((x)))"},
      {itParent, "(((Totals)))", "(Totals)"},
      {itParent, "(", "()"},
      {itList, "services", ""},
      {itInteger, " -7 ", "-7"},
      {itCurrency, "-2", "-$2.00"},
      {itColor, "clDkGray", "clGray"},
      {itColor, "255", "clRed"},
      {itColor, "clltgray", "clSilver"},
      {itColor, "-2147483622", "-2147483622"}, // a system colour without a name
      {itLogical, "TrUe", "True"},
      {itSet, "[Bold, Italic]", "[Bold, Italic]"},
  };
  for (const auto &[type, text, shown] : cases) {
    TO32InspectorItem *item = Add(type);
    if (type == itList) item->ItemsList()->SetCommaText("ITEMS,SERVICES");
    item->SetDisplayText(QString::fromUtf8(text));
    EXPECT_EQ(item->DisplayText(), QString::fromUtf8(shown)) << text;
  }
  // Currency follows the locale's signs.
  FormatSettings german = FormatSettings::USEnglish();
  german.ThousandSeparator = QLatin1Char('.');
  german.DecimalSeparator = QLatin1Char(',');
  german.CurrencyString = "€";
  const FormatSettingsGuard pinned(german);
  TO32InspectorItem *amount = Add(itCurrency);
  amount->SetDisplayText("€1.234,5");
  EXPECT_EQ(amount->AsVariant(), Variant(1234.5));
}

TEST_F(ItemsTest, TextThatIsNotAValueIsRefusedAndTheValueKept) {
  struct Refusal {
    TO32IGridItemType type;
    const char *good;
    const char *bad;
    const char *message;
  };
  const Refusal cases[] = {
      {itInteger, "42", "12x", "'12x' is not a valid integer value"},
      {itInteger, "42", "", "'' is not a valid integer value"},
      {itFloat, "17.5", "1,5", "'1,5' is not a valid floating point value"},
      {itDate, "3/14/2024", "31/31/2024", "'31/31/2024' is not a valid date"},
      {itColor, "clRed", "clPlaid", "Invalid color constant: clPlaid"},
  };
  for (const Refusal &c : cases) {
    TO32InspectorItem *item = Add(c.type);
    item->SetDisplayText(QString::fromLatin1(c.good));
    try {
      item->SetDisplayText(QString::fromLatin1(c.bad));
      ADD_FAILURE() << c.bad << " was taken";
    } catch (const Exception &e) {
      EXPECT_EQ(e.Message(), QString::fromLatin1(c.message));
    }
    EXPECT_EQ(item->DisplayText(), QString::fromLatin1(c.good)) << c.bad;
  }
}

TEST_F(ItemsTest, TypedValuesAndVariantsOnlyForTheirOwnType) {
  TO32InspectorItem *number = Add(itInteger);
  number->SetDisplayText("42");
  TO32InspectorItem *amount = Add(itFloat);
  amount->SetDisplayText("2.5");
  TO32InspectorItem *flag = Add(itLogical);
  EXPECT_EQ(amount->IntegerValue(), 0);
  number->SetColorValue(clRed); // not a colour item: nothing stored
  EXPECT_EQ(number->ColorValue(), 0);
  // A new logical item offers True and False and starts True.
  EXPECT_EQ(flag->ItemsList()->CommaText(), "True,False");

  // Variants in and out.
  number->AssignVariant(Variant("12"));
  EXPECT_EQ(number->AsVariant(), Variant(12));
  EXPECT_THROW(number->AssignVariant(Variant("x")), EVariantError);
  EXPECT_EQ(number->IntegerValue(), 12);
  TO32InspectorItem *parent = Add(itParent, "Head");
  parent->AssignVariant(Variant("x"));
  EXPECT_EQ(parent->DisplayText(), "(x)");
  EXPECT_EQ(parent->AsVariant(), Variant("Head"));
  TO32InspectorItem *money = Add(itCurrency);
  money->AssignVariant(Variant(1234.56789));
  EXPECT_EQ(money->AsVariant(), Variant(1234.5679));
}

TEST_F(ItemsTest, AChoiceListKeepsTheTextItHolds) {
  TO32InspectorItem *choice = Add(itList);
  TStringList list;
  list.SetCommaText("ITEMS,SERVICES");
  choice->SetItemsList(&list);
  EXPECT_EQ(choice->DisplayText(), "ITEMS"); // empty text takes the first entry
  choice->SetDisplayText("SERVICES");
  list.SetCommaText("SERVICES,OTHER");
  choice->SetItemsList(&list);
  EXPECT_EQ(choice->DisplayText(), "SERVICES");
  list.SetCommaText("A,B");
  choice->SetItemsList(&list);
  EXPECT_EQ(choice->DisplayText(), QString());
  TO32InspectorItem *text = Add(itString);
  text->SetItemsList(&list); // only choice items keep a list
  EXPECT_EQ(text->ItemsList()->Count(), 0);
}

TEST_F(ItemsTest, SetTextAddsTrueChildren) {
  struct SetCase {
    const char *text;
    const char *children;
  };
  const SetCase cases[] = {{"[Bold, Italic]", "Bold Italic"}, {"  [ a ,, b ,]  ", "a b"}, {"", ""}};
  for (const SetCase &c : cases) {
    TO32InspectorItem *set = Add(itSet, "Set");
    set->SetDisplayText(QString::fromUtf8(c.text));
    QStringList children;
    for (int i = set->Index() + 1; i < items.Count() && items.Item(i)->ParentItem() == set; ++i) {
      EXPECT_TRUE(items.Item(i)->LogicalValue());
      EXPECT_EQ(items.Item(i)->Level(), 1);
      children.append(items.Item(i)->Caption());
    }
    EXPECT_EQ(children.join(QLatin1Char(' ')), QString::fromUtf8(c.children)) << c.text;
  }
  // Parsing adds: the children there stay, and a False child is not shown.
  TO32InspectorItem *style = Add(itSet, "Style");
  style->SetDisplayText("[Bold]");
  style->SetDisplayText("[Italic]");
  items.Item(style->Index() + 1)->SetLogicalValue(false);
  EXPECT_EQ(style->DisplayText(), "[Italic]");
}

TEST_F(ItemsTest, ChildrenJoinTheEndOfTheirParentsRunAndShowWithIt) {
  TO32InspectorItem *a = Add(itInteger);
  TO32InspectorItem *parent = Add(itParent);
  Add(itInteger);
  Add(itString, QString(), parent);
  TO32InspectorItem *inner = Add(itParent, QString(), parent);
  TO32InspectorItem *deep = Add(itString, QString(), inner);
  Add(itString, QString(), parent);
  TO32InspectorItem *orphan = Add(itString, QString(), a); // not a parent type: top level
  const QString all = "Integer1 Parent1 String1 Parent2 String2 String3 Integer2 String4";
  EXPECT_EQ(Order(), all);
  EXPECT_EQ(deep->Level(), 2);
  EXPECT_EQ(orphan->Level(), 0);
  // A collapsed parent's new children are hidden: the rows are the top level.
  EXPECT_EQ(Rows(), "Integer1 Parent1 Integer2 String4");
  parent->Expand();
  EXPECT_EQ(Rows(), all);
  parent->Collapse();
  inner->SetExpanded(false);
  parent->Expand();
  EXPECT_EQ(Rows(), all);
  EXPECT_TRUE(deep->Visible());
  // Freeing a parent frees its run.
  parent->Free();
  EXPECT_EQ(Order(), "Integer1 Integer2 String4");

  // Sorted rows keep children under their parent.
  items.Clear();
  Build("b P( z y Q( 2 1 ) ) a");
  Named("P")->Expand();
  EXPECT_EQ(Rows(true), "P Q 1 2 y z a b");
}

TEST_F(ItemsTest, MovesWithinTheTreeKeepEveryRunWhole) {
  // Layouts as for Build, the item moved, its new index and the order after.
  const std::tuple<const char *, const char *, int, const char *> moves[] = {
      {"A B C", "A", 1, "B A C"},
      {"A P( c1 c2 ) B", "A", 1, "P c1 c2 A B"},
      {"A P( c1 c2 ) B", "B", 3, "A B P c1 c2"},
      {"A P( c1 c2 ) B", "c1", 3, "A P c2 c1 B"},
      {"A P( c1 c2 ) B", "c1", 0, "A P c1 c2 B"},
      {"P( c1 ) Q( q1 ) B", "P", 1, "Q q1 P c1 B"},
      {"P( c1 ) Q( q1 )", "Q", 9, "P c1 Q q1"},
  };
  for (const auto &[layout, name, to, order] : moves) {
    SCOPED_TRACE(testing::Message() << layout << ": " << name << " to " << to);
    items.Clear();
    Build(layout);
    Named(name)->SetIndex(to);
    EXPECT_EQ(Order(), order);
    // A child's parent stands before it and nothing else intervenes.
    for (int i = 0; i < items.Count(); ++i)
      if (TO32InspectorItem *parent = items.Item(i)->ParentItem()) {
        EXPECT_LT(parent->Index(), i);
        EXPECT_LE(i, parent->Index() + items.DescendantCount(parent));
      }
  }
}

TEST(InspectorItemsStream, ItemsAndWidthsComeBack) {
  const FormatSettingsGuard settings(FormatSettings::USEnglish());
  TO32InspectorGrid source(nullptr);
  TO32InspectorItem *number = source.AddItem(itInteger);
  number->SetDisplayText("42");
  number->SetMaxLength(9);
  TO32InspectorItem *head = source.AddItem(itParent);
  head->SetDisplayText("Head");
  TO32InspectorItem *choice = source.AddItem(itList, head);
  choice->ItemsList()->SetCommaText("ITEMS,SERVICES");
  choice->SetDisplayText("SERVICES");
  choice->SetReadOnly(true);
  choice->SetTag(7);
  // An item put before the parent after the child was added: the child still finds its parent.
  source.AddItem(itColor)->SetIndex(0);
  source.ItemAt(0)->SetColorValue(clTeal);
  source.SetColumnWidth(0, 90);

  TMemoryStream stream;
  TWriter(&stream).WriteProperties(&source);
  stream.SetPosition(0);
  TO32InspectorGrid copy(nullptr);
  copy.BeginLoading();
  TReader(&stream).ReadProperties(&copy);
  copy.EndLoading();

  ASSERT_EQ(copy.ItemCollection()->Count(), 4);
  for (int i = 0; i < 4; ++i) {
    const TO32InspectorItem *from = source.ItemAt(i);
    const TO32InspectorItem *to = copy.ItemAt(i);
    EXPECT_EQ(to->ItemType(), from->ItemType()) << i;
    EXPECT_EQ(to->DisplayText(), from->DisplayText()) << i;
    EXPECT_EQ(to->Level(), from->Level()) << i;
    EXPECT_EQ(to->ReadOnly(), from->ReadOnly()) << i;
    EXPECT_EQ(to->Tag(), from->Tag()) << i;
    EXPECT_EQ(to->MaxLength(), from->MaxLength()) << i;
  }
  EXPECT_EQ(copy.ItemAt(3)->ParentItem(), copy.ItemAt(2));
  EXPECT_EQ(copy.ItemAt(3)->ItemsList()->CommaText(), "ITEMS,SERVICES");
  EXPECT_EQ(copy.ColWidth(0), 90);
}

} // namespace
