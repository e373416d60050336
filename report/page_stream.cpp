#include "report/page_stream.h"
#include "platform/core/exceptions.h"
#include "platform/core/string_list.h"

void TfrPageStream::Clear() {
  TMemoryStream::Clear();
  texts_.clear();
}

void TfrPageStream::WriteText(const QString &text) {
  if (qint64(texts_.size()) + text.size() > 2147483647)
    throw EWriteError(QStringLiteral("A prepared page cannot hold more text"));
  WriteInt32(qint32(texts_.size()));
  WriteInt32(qint32(text.size()));
  texts_ += text;
}

void TfrPageStream::WriteLines(const TStrings *lines) {
  const int count = lines->Count();
  WriteInt32(count);
  for (int i = 0; i < count; ++i) WriteText(lines->Strings(i));
}

QString TfrPageStream::ReadText() {
  const qint32 start = ReadInt32();
  const qint32 length = ReadInt32();
  if (start < 0 || length < 0 || qint64(start) + length > texts_.size())
    throw EReadError(QStringLiteral("A prepared page names text it does not hold"));
  return texts_.mid(start, length);
}

void TfrPageStream::ReadLines(TStrings *lines) {
  lines->Clear();
  const qint32 count = ReadInt32();
  if (count < 0) throw EReadError(QStringLiteral("A prepared page holds a list of %1 lines").arg(count));
  lines->BeginUpdate();
  try {
    for (qint32 i = 0; i < count; ++i) lines->Add(ReadText());
  } catch (...) {
    lines->EndUpdate();
    throw;
  }
  lines->EndUpdate();
}
