#include "report/variables.h"

void TfrVariables::Clear() { entries_.clear(); }

void TfrVariables::SetVariable(const QString &Name, const Variant &Value) {
  const int index = IndexOf(Name);
  if (index >= 0)
    entries_[index].value = Value;
  else
    entries_.append(Entry{Name, Value});
}

Variant TfrVariables::GetVariable(const QString &Name) const {
  const int index = IndexOf(Name);
  return index >= 0 ? entries_.at(index).value : Variant::Null();
}

int TfrVariables::IndexOf(const QString &Name) const {
  for (int i = 0; i < entries_.size(); ++i)
    if (QString::compare(entries_.at(i).name, Name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

void TfrVariables::Delete(int Index) {
  if (Index >= 0 && Index < entries_.size()) entries_.removeAt(Index);
}
