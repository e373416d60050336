#include "report/page_stream.h"
#include "platform/core/exceptions.h"
#include "platform/core/string_list.h"

void TfrPageStream::Clear() {
  TMemoryStream::Clear();
  texts_.clear();
}

void TfrPageStream::WriteText(const QString &text) {
  WriteInt32(qint32(texts_.size()));
  texts_.append(text);
}

void TfrPageStream::WriteLines(const TStrings *lines) {
  const int count = lines->Count();
  WriteInt32(count);
  WriteInt32(qint32(texts_.size()));
  for (int i = 0; i < count; ++i) texts_.append(lines->Strings(i));
}

qint32 TfrPageStream::ReadNumber(qint64 count) {
  const qint32 number = ReadInt32();
  if (number < 0 || count < 0 || number + count > texts_.size())
    throw EReadError(QStringLiteral("A prepared page names text it does not hold"));
  return number;
}

QString TfrPageStream::ReadText() { return texts_.at(ReadNumber(1)); }

void TfrPageStream::ReadLines(TStrings *lines) {
  lines->Clear();
  const qint32 count = ReadInt32();
  const qint32 first = ReadNumber(count);
  lines->BeginUpdate();
  for (qint32 i = 0; i < count; ++i) lines->Add(texts_.at(first + i));
  lines->EndUpdate();
}
