// TfrValues: the report's named values. Each entry names a value and says where it comes from: kind 0
// nothing, 1 a dataset field (dataset and field names), 2 a special value, 3 an expression. Page building
// binds and evaluates them; this list keeps and stores them.
//
// Stream form: int32 count; per entry: kind (byte), other kind (int32), dataset name, field name and value
// name as short strings (a length byte, then the Windows-1252 bytes).
#pragma once
#include <QList>
#include <QString>

class TStream;

struct TfrValue {
  QString Name;
  quint8 Typ = 0;
  qint32 OtherKind = 0;
  QString DataSet;
  QString Field;
  bool operator==(const TfrValue &) const = default;
};

class TfrValues {
public:
  int Count() const { return int(items_.size()); }
  TfrValue &operator[](int index) { return items_[index]; }
  const TfrValue &operator[](int index) const { return items_[index]; }
  // Appends an entry of that name; returns its index.
  int AddValue(const QString &name);
  // The index of the entry of that name (without regard to case), or -1.
  int FindIndex(const QString &name) const;
  TfrValue *FindValue(const QString &name);
  void Clear() { items_.clear(); }
  // Orders the entries by name, without regard to case.
  void Sort();

  // Reading clears the list and takes the entries in stream order. Writing refuses (EWriteError) a name
  // longer than a short string holds: a text is never cut.
  void LoadFromStream(TStream *stream);
  void SaveToStream(TStream *stream) const;

  bool operator==(const TfrValues &) const = default;

private:
  QList<TfrValue> items_;
};
