#include "platform/core/component.h"
#include "platform/core/streams.h"
#include "platform/core/string_list.h"
#include "tests/platform/raises.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList Items(const TStrings &list) {
  QStringList out;
  for (int i = 0; i < list.Count(); ++i) out.append(list[i]);
  return out;
}

void Fill(TStrings &list, const QStringList &items) {
  for (const QString &s : items) list.Add(s);
}

// An object that reports its deletion.
struct Tracked : TObject {
  explicit Tracked(int *deaths) : deaths_(deaths) {}
  ~Tracked() override { ++*deaths_; }
  int *deaths_;
};

TEST(StringList, AddInsertDeleteAndObjectsAndIndexErrorsNameTheIndex) {
  TStringList list;
  TObject a, b;
  EXPECT_EQ(list.Add("one"), 0);
  EXPECT_EQ(list.AddObject("two", &a), 1);
  list.Insert(0, "zero");
  list.InsertObject(3, "three", &b);
  EXPECT_EQ(Items(list), QStringList({"zero", "one", "two", "three"}));
  EXPECT_EQ(list.Objects(3), &b);
  EXPECT_EQ(list.IndexOf("TWO"), 2); // case-insensitive by default
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("TWO"), -1);
  list.SetStrings(2, "deux");
  EXPECT_EQ(list.Objects(2), &a); // the object stays with its item
  list.Delete(0);
  EXPECT_EQ(Items(list), QStringList({"one", "deux", "three"}));

  // Index errors name the index; inserting at the end is allowed.
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Insert(4, "x"); }), "List index out of bounds (4)");
  list.Insert(3, "end");
  EXPECT_EQ(list.Count(), 4);
}

TEST(StringList, ExchangeMoveAndSortCarryTheObjects) {
  TStringList list;
  TObject o0, o3; // o0 marks the first item
  list.AddObject("a", &o0);
  Fill(list, {"b", "c"});
  list.AddObject("d", &o3);
  list.Exchange(0, 3);
  list.Move(0, 2);
  EXPECT_EQ(Items(list), QStringList({"b", "c", "d", "a"}));
  EXPECT_EQ(list.Objects(2), &o3);

  list.Sort();
  EXPECT_EQ(Items(list), QStringList({"a", "b", "c", "d"}));
  EXPECT_EQ(std::pair(list.Objects(0), list.Objects(3)), std::pair(&o0, &o3));
}

struct DuplicateCase {
  TDuplicates mode;
  QStringList expected;
  bool raises;
};

TEST(StringList, SortedListsAndDuplicateModes) {
  const DuplicateCase cases[] = {
      {dupIgnore, {"apple", "Banana", "cherry"}, false},
      {dupAccept, {"apple", "BANANA", "Banana", "cherry"}, false},
      {dupError, {"apple", "Banana", "cherry"}, true},
  };
  for (const DuplicateCase &c : cases) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(c.mode);
    Fill(list, {"cherry", "Banana", "apple"});
    bool raised = false;
    try {
      const int index = list.Add("BANANA");
      EXPECT_EQ(index, 1);
    } catch (const EStringListError &e) {
      raised = true;
      EXPECT_EQ(e.Message(), "String list does not allow duplicates");
    }
    EXPECT_EQ(raised, c.raises);
    EXPECT_EQ(Items(list), c.expected) << int(c.mode);
  }
}

TEST(StringList, FindAndIndexOfOnSortedLists) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  Fill(list, {"m", "c", "x", "c", "a", "c"}); // a c c c m x
  // Find gives the first of equal strings, or where one would go.
  int first = -1, d = -1, zz = -1;
  EXPECT_EQ(std::tuple(list.Find("C", first), list.Find("d", d), list.Find("zz", zz)),
            std::tuple(true, false, false));
  EXPECT_EQ(std::tuple(first, d, zz), std::tuple(1, 4, 6));
  EXPECT_THROW(list.Insert(0, "q"), EStringListError);
}

TEST(StringList, SortingIsStableAndFollowsCaseSensitivity) {
  TStringList list;
  TObject first, second;
  list.AddObject("b", &first);
  list.Add("A");
  list.AddObject("B", &second);
  list.Add("a");
  list.Sort();
  EXPECT_EQ(Items(list), QStringList({"A", "a", "b", "B"}));
  EXPECT_EQ(list.Objects(2), &first);
  list.SetCaseSensitive(true);
  list.SetSorted(true);
  list.SetCaseSensitive(false); // a sorted list follows a change of comparison
  EXPECT_EQ(Items(list), QStringList({"A", "a", "B", "b"}));
}

struct CommaCase {
  QStringList items;
  const char *text;
};

TEST(StringList, CommaTextQuotingRoundTripsAndReading) {
  const CommaCase cases[] = {
      {{}, ""},
      {{""}, "\"\""},
      {{"a", "b", "c"}, "a,b,c"},
      {{"a", ""}, "a,"},
      {{"two words", "a,b"}, "\"two words\",\"a,b\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{"=", "x=y", "ü€"}, "=,x=y,ü€"},
  };
  for (const CommaCase &c : cases) {
    TStringList list;
    Fill(list, c.items);
    EXPECT_EQ(list.CommaText(), QString::fromUtf8(c.text));
    TStringList back;
    back.Add("old");
    back.SetCommaText(list.CommaText());
    EXPECT_EQ(Items(back), c.items) << c.text;
  }
  // Reading: blanks around items go; unquoted blanks separate too; a trailing comma adds an empty item
  // only at the very end.
  const std::pair<const char *, QStringList> read[] = {{"  a , b c  ", {"a", "b", "c"}},
                                                       {"\"unterminated", {"unterminated"}},
                                                       {"a,,b", {"a", "", "b"}},
                                                       {"a, ", {"a"}}};
  for (const auto &[text, items] : read) {
    TStringList list;
    list.SetCommaText(QString::fromUtf8(text));
    EXPECT_EQ(Items(list), items) << text;
  }
}

TEST(StringList, TextJoinsWithCrLfAndReadsAnyLineBreakAndNamesAndValues) {
  TStringList list;
  list.SetText("one\r\ntwo\nthree\rfour\n\rfive\n"); // LF then a lone CR: two breaks
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n\r\nfive\r\n");
  list.SetText("");

  // Names and values: the first line of a name counts, names ignore case.
  Fill(list, {"Name=Ann", "plain", "City=Oslo=Norway", "name=second", "=empty name"});
  EXPECT_EQ(QStringList({list.Names(0), list.Names(1), list.Values("NAME"), list.Values("City"),
                         list.Values("missing"), list.Values(""), list.ValueFromIndex(1)}),
            QStringList({"Name", "", "Ann", "Oslo=Norway", "", "empty name", ""}));
  list.SetValues("name", "");
  EXPECT_EQ(list.IndexOfName("name"), 2); // only the first one went
  EXPECT_EQ(list.Values("name"), "second");
}

TEST(StringList, ChangeEventsAndUpdateBatches) {
  struct Listener : TObject {
    QStringList log;
    void Changing(TObject *) { log.append("changing"); }
    void Change(TObject *) { log.append("change"); }
  } l;
  TStringList list;
  list.SetOnChanging(TNotifyEvent(&l, &Listener::Changing));
  list.SetOnChange(TNotifyEvent(&l, &Listener::Change));
  list.Add("a");
  EXPECT_EQ(l.log, QStringList({"changing", "change"}));
  l.log.clear();
  list.BeginUpdate();
  list.BeginUpdate();
  Fill(list, {"b", "c"});
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(l.log, QStringList({"changing"}));
  list.EndUpdate();
  EXPECT_EQ(l.log, QStringList({"changing", "change"}));
}

TEST(StringList, OwnedObjectsAreFreedAndAssignCopiesObjects) {
  int deaths = 0;
  {
    TStringList list(true);
    list.AddObject("a", new Tracked(&deaths));
    list.AddObject("b", new Tracked(&deaths));
    list.AddObject("d", new TComponent(nullptr)); // components are released through Free
    list.Delete(0);
    EXPECT_EQ(deaths, 1);
    list.SetObjects(0, new Tracked(&deaths)); // the replaced one goes
    EXPECT_EQ(deaths, 2);
  }
  EXPECT_EQ(deaths, 3);

  // Assign copies the strings and the objects.
  TStringList source, target;
  TObject o;
  source.AddObject("x", &o);
  target.Add("old");
  target.Assign(&source);
  EXPECT_EQ(std::pair(Items(target), target.Objects(0)),
            std::pair(QStringList({"x"}), static_cast<TObject *>(&o)));
  TPersistent other;
  EXPECT_THROW(target.Assign(&other), EConvertError);
}

TEST(StringList, StreamsAndFilesHoldTheText) {
  QTemporaryDir dir;
  const QString path = dir.filePath("lines.txt");
  TStringList list;
  Fill(list, {"first", "Grüße €", ""});
  list.SaveToFile(path);
  TMemoryStream raw;
  raw.LoadFromFile(path);
  EXPECT_EQ(raw.Bytes(), QString("first\r\nGrüße €\r\n\r\n").toUtf8());
  TStringList back;
  back.LoadFromFile(path);
  EXPECT_EQ(Items(back), Items(list));

  // Older files in Windows-1252, a byte order mark, and reading from the stream's position.
  TMemoryStream old(QByteArray("skip|Gr\xFC\xDF\x65 \x80\nnext"));
  old.SetPosition(5);
  back.LoadFromStream(&old);
  EXPECT_EQ(Items(back), QStringList({"Grüße €", "next"}));
  EXPECT_THROW(back.LoadFromFile(dir.filePath("missing.txt")), EFOpenError);
}

} // namespace
