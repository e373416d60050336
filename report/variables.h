// TfrVariables: the report variables, an ordered list of named values that the application fills before a
// report is prepared and that scripts and expressions read and write by name. Names are compared without
// regard to case (the locale's case folding); the first entry of a name wins, and an entry keeps its name as
// first written. There is no sorting and no limit.
#pragma once
#include "platform/core/variant.h"
#include <QList>
#include <QString>

class TfrVariables {
public:
  TfrVariables() = default;
  TfrVariables(const TfrVariables &) = delete;
  TfrVariables &operator=(const TfrVariables &) = delete;
  ~TfrVariables() { Clear(); }

  void Clear();
  // Replaces the value of the entry of that name, or appends a new entry.
  void SetVariable(const QString &Name, const Variant &Value);
  // The value of the entry of that name; the null value when there is none.
  Variant GetVariable(const QString &Name) const;
  // The index of the entry of that name; -1 when there is none.
  int IndexOf(const QString &Name) const;
  // Removes the entry at Index; an index outside 0 .. Count-1 is ignored.
  void Delete(int Index);

  int Count() const { return int(entries_.size()); }
  QString Name(int Index) const { return entries_.at(Index).name; }
  Variant Value(int Index) const { return entries_.at(Index).value; }

private:
  struct Entry {
    QString name;
    Variant value;
  };
  QList<Entry> entries_;
};
