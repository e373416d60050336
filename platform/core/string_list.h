// TStrings (the abstract list of strings, each with an object) and TStringList (its stored, optionally sorted
// implementation), as the class library has them.
//
// Texts:
// - Text: every line followed by "\r\n" when read; when set, lines end at "\r\n", "\n" or "\r", and a final
//   line break does not make an empty last line.
// - CommaText: items separated by commas; an item that is empty in a one-item list, or that holds a blank, a
//   control character, a comma or a double quote, is written in double quotes with its quotes doubled. When
//   set, blanks and control characters around items are skipped, unquoted blanks also separate items, a
//   quoted item ends at its closing quote ("" inside stands for "), and a comma at the very end adds an empty
//   item.
// - Name=value lines: Names(i) is the text before the first '=' (empty when there is none), Values(name) the
//   text after it on the first line with that name.
// Comparisons (IndexOf, IndexOfName, Find, sorting) are ordinal on the UTF-16 text, ignoring case unless
// CaseSensitive is set.
// Files and streams hold the Text. They are written in UTF-8; reading takes UTF-8 (with or without a byte
// order mark) and reads anything that is not valid UTF-8 as Windows-1252, the encoding of older files.
#pragma once
#include "platform/core/events.h"
#include "platform/core/object.h"
#include <QList>
#include <QString>
#include <functional>

class TStream;

class TStrings : public TPersistent {
public:
  QString ClassName() const override { return QStringLiteral("TStrings"); }

  // The storage a descendant supplies.
  virtual int Count() const = 0;
  virtual QString Strings(int Index) const = 0;
  // The default replaces the string by deleting and inserting it again with its object.
  virtual void SetStrings(int Index, const QString &S);
  virtual TObject *Objects(int Index) const;
  // The default ignores the object (a list that keeps no objects).
  virtual void SetObjects(int Index, TObject *AObject);
  virtual void Insert(int Index, const QString &S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;

  QString operator[](int Index) const { return Strings(Index); }

  // Adds at the end (a sorted list: at its place); returns the index.
  virtual int Add(const QString &S);
  virtual int AddObject(const QString &S, TObject *AObject);
  virtual void InsertObject(int Index, const QString &S, TObject *AObject);
  void AddStrings(const TStrings *Strings);
  virtual void Exchange(int Index1, int Index2);
  // Moves the item (string and object) at CurIndex so that it ends up at NewIndex.
  virtual void Move(int CurIndex, int NewIndex);
  virtual int IndexOf(const QString &S) const;
  int IndexOfName(const QString &Name) const;

  QString Text() const;
  virtual void SetText(const QString &Value);
  QString CommaText() const;
  void SetCommaText(const QString &Value);
  QString Names(int Index) const;
  QString Values(const QString &Name) const;
  // Replaces the value of the first line named Name, adds "Name=Value" when there is none, and deletes the
  // line when Value is empty.
  void SetValues(const QString &Name, const QString &Value);
  QString ValueFromIndex(int Index) const;

  // Batching: OnChanging fires when the first BeginUpdate starts a batch, OnChange when the last EndUpdate
  // ends it; inside a batch single changes fire nothing.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  void LoadFromStream(TStream *Stream);
  void SaveToStream(TStream *Stream) const;
  void LoadFromFile(const QString &FileName);
  void SaveToFile(const QString &FileName) const;

  // Copies the strings and objects of another TStrings.
  void Assign(const TPersistent *Source) override;
  bool Equals(const TStrings *Strings) const;

  // Compares two strings the way this list does: <0, 0, >0.
  virtual int CompareStrings(const QString &S1, const QString &S2) const;

protected:
  // Called when a batch starts (true) or ends (false).
  virtual void SetUpdateState(bool Updating) {}
  // Raises EStringListError "List index out of bounds (Index)" when Index is not below Limit.
  static void CheckIndex(int Index, int Limit);

private:
  int updateCount_ = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
  TStringList() = default;
  explicit TStringList(bool OwnsObjects) : ownsObjects_(OwnsObjects) {}
  ~TStringList() override;
  QString ClassName() const override { return QStringLiteral("TStringList"); }

  int Count() const override { return int(items_.size()); }
  QString Strings(int Index) const override;
  // EStringListError "Operation not allowed on sorted list" when Sorted.
  void SetStrings(int Index, const QString &S) override;
  TObject *Objects(int Index) const override;
  // An owned object that is replaced by another is freed.
  void SetObjects(int Index, TObject *AObject) override;
  // EStringListError "Operation not allowed on sorted list" when Sorted.
  void Insert(int Index, const QString &S) override;
  void Delete(int Index) override;
  void Clear() override;
  // A sorted list adds at the string's place; an equal string already there is kept once (dupIgnore, the
  // existing index is returned), refused (dupError: EStringListError "String list does not allow
  // duplicates") or accepted (dupAccept). Unsorted lists take duplicates whatever Duplicates says. When an
  // object comes with an ignored string, the existing item keeps its object and the caller keeps the new one.
  int Add(const QString &S) override;
  int AddObject(const QString &S, TObject *AObject) override;
  // EStringListError "Operation not allowed on sorted list" when Sorted.
  void InsertObject(int Index, const QString &S, TObject *AObject) override;
  // EStringListError "Operation not allowed on sorted list" when Sorted (it would break the order).
  void Exchange(int Index1, int Index2) override;
  void Move(int CurIndex, int NewIndex) override;
  // A sorted list is searched by Find.
  int IndexOf(const QString &S) const override;

  // Binary search of a sorted list: true when S is there. Index is its index, or where it would be inserted;
  // with dupAccept, the first of equal strings.
  bool Find(const QString &S, int &Index) const;
  // Stable sort by CompareStrings (does nothing on a Sorted list, which is always in order).
  virtual void Sort();

  bool Sorted() const { return sorted_; }
  // Turning sorting on sorts the list.
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates Value) { duplicates_ = Value; }
  bool CaseSensitive() const { return caseSensitive_; }
  // A sorted list is re-sorted when the comparison changes.
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool Value) { ownsObjects_ = Value; }

  int CompareStrings(const QString &S1, const QString &S2) const override;

  const TNotifyEvent &OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent &Value) { onChange_ = Value; }
  const TNotifyEvent &OnChanging() const { return onChanging_; }
  void SetOnChanging(const TNotifyEvent &Value) { onChanging_ = Value; }

protected:
  void SetUpdateState(bool Updating) override;
  // Fire OnChanging / OnChange unless a batch is running.
  virtual void Changing();
  virtual void Changed();

private:
  struct Item {
    QString string;
    TObject *object = nullptr;
  };
  void InsertItem(int Index, const QString &S, TObject *AObject);
  void SortBy(const std::function<bool(int, int)> &less);

  QList<Item> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool caseSensitive_ = false;
  bool ownsObjects_ = false;
  TNotifyEvent onChange_;
  TNotifyEvent onChanging_;
};
