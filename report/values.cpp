#include "report/values.h"
#include "platform/core/streams.h"
#include "report/stream_utils.h"
#include "report/view_stream.h"
#include <algorithm>

namespace {

QString ReadShortString(TStream *stream) {
  const int length = stream->ReadUInt8();
  return frDecodeStreamText(stream->ReadBytes(length));
}

void WriteShortString(TStream *stream, const QString &text) {
  const QByteArray bytes = frEncodeStreamText(text);
  if (bytes.size() > 255)
    throw EWriteError(QStringLiteral("The value name \"%1\" is longer than 255 bytes").arg(text.left(40)));
  stream->WriteUInt8(quint8(bytes.size()));
  stream->WriteBytes(bytes);
}

// The fewest bytes one entry takes: kind, other kind and three empty short strings.
constexpr qint64 kSmallestEntry = 1 + 4 + 3;

} // namespace

int TfrValues::AddValue(const QString &name) {
  TfrValue value;
  value.Name = name;
  items_.append(value);
  return Count() - 1;
}

int TfrValues::FindIndex(const QString &name) const {
  // Names equal but for case are equally long: names of another length are passed over unread, and a name
  // spelt alike needs no comparison of cases.
  for (int i = 0; i < Count(); ++i) {
    const QString &item = items_[i].Name;
    if (item.size() == name.size() && (item == name || item.compare(name, Qt::CaseInsensitive) == 0))
      return i;
  }
  return -1;
}

TfrValue *TfrValues::FindValue(const QString &name) {
  const int index = FindIndex(name);
  return index < 0 ? nullptr : &items_[index];
}

void TfrValues::Sort() {
  std::stable_sort(items_.begin(), items_.end(), [](const TfrValue &a, const TfrValue &b) {
    return a.Name.compare(b.Name, Qt::CaseInsensitive) < 0;
  });
}

void TfrValues::LoadFromStream(TStream *stream) {
  items_.clear();
  const qint32 count = stream->ReadInt32();
  if (count < 0 || count > (stream->Size() - stream->Position()) / kSmallestEntry)
    throw EfrStreamError(
        QStringLiteral("The value list claims %1 entries, more than its data holds").arg(count));
  for (qint32 i = 0; i < count; ++i) {
    TfrValue value;
    value.Typ = stream->ReadUInt8();
    value.OtherKind = stream->ReadInt32();
    value.DataSet = ReadShortString(stream);
    value.Field = ReadShortString(stream);
    value.Name = ReadShortString(stream);
    items_.append(value);
  }
}

void TfrValues::SaveToStream(TStream *stream) const {
  stream->WriteInt32(Count());
  for (const TfrValue &value : items_) {
    stream->WriteUInt8(value.Typ);
    stream->WriteInt32(value.OtherKind);
    WriteShortString(stream, value.DataSet);
    WriteShortString(stream, value.Field);
    WriteShortString(stream, value.Name);
  }
}
