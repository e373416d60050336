#include "platform/core/string_list.h"
#include "platform/core/component.h"
#include "platform/core/streams.h"
#include "platform/core/text_encoding.h"
#include <QStringDecoder>
#include <algorithm>
#include <numeric>

namespace {

const QString kSortedListError = QStringLiteral("Operation not allowed on sorted list");

bool IsBlankOrControl(QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; }

// The text of a quoted item starting at the quote at Pos; Pos ends after the closing quote (or at the end
// when the quote is never closed).
QString ExtractQuoted(const QString &Value, qsizetype &Pos) {
  QString out;
  ++Pos;
  while (Pos < Value.size()) {
    const QChar c = Value[Pos];
    if (c == u'"') {
      if (Pos + 1 < Value.size() && Value[Pos + 1] == u'"') {
        out += u'"';
        Pos += 2;
        continue;
      }
      ++Pos;
      break;
    }
    out += c;
    ++Pos;
  }
  return out;
}

QString DecodeText(const QByteArray &Bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8.decode(Bytes);
  if (!utf8.hasError()) return text; // the decoder drops a leading byte order mark
  return FromWindows1252(Bytes);
}

} // namespace

// ---- TStrings ----

void TStrings::SetStrings(int Index, const QString &S) {
  TObject *object = Objects(Index);
  Delete(Index);
  InsertObject(Index, S, object);
}

TObject *TStrings::Objects(int Index) const {
  CheckIndex(Index, Count());
  return nullptr;
}

void TStrings::SetObjects(int Index, TObject *) { CheckIndex(Index, Count()); }

int TStrings::Add(const QString &S) {
  const int index = Count();
  Insert(index, S);
  return index;
}

int TStrings::AddObject(const QString &S, TObject *AObject) {
  const int index = Add(S);
  SetObjects(index, AObject);
  return index;
}

void TStrings::InsertObject(int Index, const QString &S, TObject *AObject) {
  Insert(Index, S);
  SetObjects(Index, AObject);
}

void TStrings::AddStrings(const TStrings *Strings) {
  BeginUpdate();
  for (int i = 0; i < Strings->Count(); ++i) AddObject(Strings->Strings(i), Strings->Objects(i));
  EndUpdate();
}

void TStrings::Exchange(int Index1, int Index2) {
  CheckIndex(Index1, Count());
  CheckIndex(Index2, Count());
  if (Index1 == Index2) return;
  BeginUpdate();
  const QString s1 = Strings(Index1);
  TObject *o1 = Objects(Index1);
  SetStrings(Index1, Strings(Index2));
  SetObjects(Index1, Objects(Index2));
  SetStrings(Index2, s1);
  SetObjects(Index2, o1);
  EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex, Count());
  CheckIndex(NewIndex, Count());
  BeginUpdate();
  const QString s = Strings(CurIndex);
  TObject *object = Objects(CurIndex);
  SetObjects(CurIndex, nullptr); // so that a list owning its objects does not free it on Delete
  Delete(CurIndex);
  InsertObject(NewIndex, s, object);
  EndUpdate();
}

int TStrings::IndexOf(const QString &S) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Strings(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const QString &Name) const {
  for (int i = 0; i < Count(); ++i) {
    const QString s = Strings(i);
    const qsizetype eq = s.indexOf(u'=');
    if (eq >= 0 && CompareStrings(s.left(eq), Name) == 0) return i;
  }
  return -1;
}

QString TStrings::Text() const {
  QString text;
  for (int i = 0; i < Count(); ++i) {
    text += Strings(i);
    text += QStringLiteral("\r\n");
  }
  return text;
}

void TStrings::SetText(const QString &Value) {
  BeginUpdate();
  try {
    Clear();
    qsizetype start = 0;
    const qsizetype n = Value.size();
    while (start < n) {
      qsizetype end = start;
      while (end < n && Value[end] != u'\r' && Value[end] != u'\n') ++end;
      Add(Value.mid(start, end - start));
      if (end < n && Value[end] == u'\r') {
        ++end;
        if (end < n && Value[end] == u'\n') ++end;
      } else if (end < n) {
        ++end;
      }
      start = end;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

QString TStrings::CommaText() const {
  if (Count() == 1 && Strings(0).isEmpty()) return QStringLiteral("\"\"");
  QString text;
  for (int i = 0; i < Count(); ++i) {
    const QString s = Strings(i);
    const bool quote =
        std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() <= 32 || c == u'"' || c == u','; });
    if (i > 0) text += u',';
    if (quote) {
      text += u'"';
      text += QString(s).replace(u'"', QStringLiteral("\"\""));
      text += u'"';
    } else {
      text += s;
    }
  }
  return text;
}

void TStrings::SetCommaText(const QString &Value) {
  BeginUpdate();
  try {
    Clear();
    qsizetype p = 0;
    const qsizetype n = Value.size();
    auto skipBlanks = [&] {
      while (p < n && IsBlankOrControl(Value[p])) ++p;
    };
    skipBlanks();
    while (p < n) {
      if (Value[p] == u'"') {
        Add(ExtractQuoted(Value, p));
      } else {
        const qsizetype start = p;
        while (p < n && Value[p].unicode() > 32 && Value[p] != u',') ++p;
        Add(Value.mid(start, p - start));
      }
      skipBlanks();
      if (p < n && Value[p] == u',') {
        if (p + 1 == n) Add(QString());
        ++p;
        skipBlanks();
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

QString TStrings::Names(int Index) const {
  const QString s = Strings(Index);
  const qsizetype eq = s.indexOf(u'=');
  return eq >= 0 ? s.left(eq) : QString();
}

QString TStrings::Values(const QString &Name) const {
  const int i = IndexOfName(Name);
  return i >= 0 ? ValueFromIndex(i) : QString();
}

QString TStrings::ValueFromIndex(int Index) const {
  const QString s = Strings(Index);
  const qsizetype eq = s.indexOf(u'=');
  return eq >= 0 ? s.mid(eq + 1) : QString();
}

void TStrings::SetValues(const QString &Name, const QString &Value) {
  const int i = IndexOfName(Name);
  if (Value.isEmpty()) {
    if (i >= 0) Delete(i);
    return;
  }
  const QString line = Name + u'=' + Value;
  if (i >= 0)
    SetStrings(i, line);
  else
    Add(line);
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

void TStrings::LoadFromStream(TStream *Stream) {
  const qint64 remaining = std::max<qint64>(0, Stream->Size() - Stream->Position());
  SetText(DecodeText(Stream->ReadBytes(remaining)));
}

void TStrings::SaveToStream(TStream *Stream) const { Stream->WriteBytes(Text().toUtf8()); }

void TStrings::LoadFromFile(const QString &FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TStrings::SaveToFile(const QString &FileName) const {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

void TStrings::Assign(const TPersistent *Source) {
  const auto *strings = dynamic_cast<const TStrings *>(Source);
  if (!strings) {
    TPersistent::Assign(Source);
    return;
  }
  if (strings == this) return;
  BeginUpdate();
  try {
    Clear();
    AddStrings(strings);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

bool TStrings::Equals(const TStrings *Strings) const {
  if (Count() != Strings->Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (this->Strings(i) != Strings->Strings(i)) return false;
  return true;
}

int TStrings::CompareStrings(const QString &S1, const QString &S2) const {
  return QString::compare(S1, S2, Qt::CaseInsensitive);
}

void TStrings::CheckIndex(int Index, int Limit) {
  if (Index < 0 || Index >= Limit)
    throw EStringListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
}

// ---- TStringList ----

TStringList::~TStringList() {
  onChange_ = nullptr;
  onChanging_ = nullptr;
  if (ownsObjects_)
    for (const Item &item : std::as_const(items_)) FreeObject(item.object);
}

QString TStringList::Strings(int Index) const {
  CheckIndex(Index, Count());
  return items_[Index].string;
}

void TStringList::SetStrings(int Index, const QString &S) {
  if (sorted_) throw EStringListError(kSortedListError);
  CheckIndex(Index, Count());
  Changing();
  items_[Index].string = S;
  Changed();
}

TObject *TStringList::Objects(int Index) const {
  CheckIndex(Index, Count());
  return items_[Index].object;
}

void TStringList::SetObjects(int Index, TObject *AObject) {
  CheckIndex(Index, Count());
  Changing();
  TObject *old = items_[Index].object;
  items_[Index].object = AObject;
  if (ownsObjects_ && old != AObject) FreeObject(old);
  Changed();
}

void TStringList::Insert(int Index, const QString &S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const QString &S, TObject *AObject) {
  if (sorted_) throw EStringListError(kSortedListError);
  CheckIndex(Index, Count() + 1);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const QString &S, TObject *AObject) {
  Changing();
  items_.insert(Index, Item{S, AObject});
  Changed();
}

int TStringList::Add(const QString &S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const QString &S, TObject *AObject) {
  int index = Count();
  if (sorted_ && Find(S, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError)
      throw EStringListError(QStringLiteral("String list does not allow duplicates"));
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::Delete(int Index) {
  CheckIndex(Index, Count());
  Changing();
  TObject *object = items_.takeAt(Index).object;
  if (ownsObjects_) FreeObject(object);
  Changed();
}

void TStringList::Clear() {
  if (items_.isEmpty()) return;
  Changing();
  const QList<Item> old = std::exchange(items_, {});
  if (ownsObjects_)
    for (const Item &item : old) FreeObject(item.object);
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  if (sorted_) throw EStringListError(kSortedListError);
  CheckIndex(Index1, Count());
  CheckIndex(Index2, Count());
  Changing();
  items_.swapItemsAt(Index1, Index2);
  Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (sorted_) throw EStringListError(kSortedListError);
  CheckIndex(CurIndex, Count());
  CheckIndex(NewIndex, Count());
  Changing();
  items_.move(CurIndex, NewIndex);
  Changed();
}

int TStringList::IndexOf(const QString &S) const {
  if (!sorted_) return TStrings::IndexOf(S);
  int index;
  return Find(S, index) ? index : -1;
}

bool TStringList::Find(const QString &S, int &Index) const {
  bool found = false;
  int low = 0, high = Count() - 1;
  while (low <= high) {
    const int mid = (low + high) / 2;
    const int c = CompareStrings(items_[mid].string, S);
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) low = mid;
      }
    }
  }
  Index = low;
  return found;
}

void TStringList::Sort() {
  if (sorted_) return;
  SortBy([this](int a, int b) { return CompareStrings(items_[a].string, items_[b].string) < 0; });
}

void TStringList::SortBy(const std::function<bool(int, int)> &less) {
  if (items_.size() < 2) return;
  // The comparison sees the list unchanged (by index) while the order is worked out, then it is applied.
  QList<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), less);
  Changing();
  QList<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.append(items_[i]);
  items_ = std::move(sorted);
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  if (Value) Sort();
  sorted_ = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (caseSensitive_ == Value) return;
  caseSensitive_ = Value;
  if (sorted_) {
    sorted_ = false;
    Sort();
    sorted_ = true;
  }
}

int TStringList::CompareStrings(const QString &S1, const QString &S2) const {
  return QString::compare(S1, S2, caseSensitive_ ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && onChanging_) onChanging_(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && onChange_) onChange_(this);
}
