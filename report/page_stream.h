// TfrPageStream: a prepared page's object stream as prepared pages keep it in memory. Its bytes hold the
// objects' records as the prepared-report file holds them, except that the texts are kept beside the bytes,
// as text, one after another, and the bytes hold only where each one lies there:
//   string       int32 start, int32 length (in UTF-16 units)
//   string list  int32 line count, then each line as a string
// So a text of any length and any letters is kept as it is; only writing the page to a file turns its texts
// into the bytes of the file's form, which then decides what it can hold.
//
// The report's string helpers (stream_utils.h) read and write texts this way whenever the stream they are
// given is a TfrPageStream.
#pragma once
#include "platform/core/streams.h"
#include <QString>

class TStrings;

class TfrPageStream : public TMemoryStream {
public:
  QString ClassName() const override { return QStringLiteral("TfrPageStream"); }

  // Empties the bytes and the texts.
  void Clear();

  void WriteText(const QString &text);
  void WriteLines(const TStrings *lines);
  // EReadError when the bytes name text the stream does not keep.
  QString ReadText();
  // Reading clears `lines` first.
  void ReadLines(TStrings *lines);

private:
  QString texts_;
};
