#include "report/view_stream.h"
#include "platform/core/streams.h"
#include "platform/core/string_list.h"
#include "report/model_state.h"
#include "report/stream_utils.h"
#include "report/view.h"
#include <cmath>

namespace {

bool CurrentForm() { return frModel().StreamVersion >= frCurrentVersion; }

constexpr qint32 kLargestCode = 2147483647;

} // namespace

QString frReadString(TStream *stream) {
  return CurrentForm() ? ReadStreamString(stream) : ReadStreamStringOld(stream);
}

void frReadLines(TStream *stream, TStrings *list) {
  if (CurrentForm())
    ReadStreamLines(stream, list);
  else
    ReadStreamLinesOld(stream, list);
}

qint32 frEncodeFrameWidth(float width) {
  const double w = width;
  if (!(w > 0)) return 0; // negative or not a number
  if (w == std::trunc(w)) {
    if (w <= 10) return qint32(w);
    return w * 1000 >= kLargestCode ? kLargestCode : qint32(w * 1000);
  }
  const double coded = std::nearbyint(w * 1000);
  if (coded >= kLargestCode) return kLargestCode;
  if (coded <= 10) {
    // Codes up to 10 read back as whole widths: take the nearer of 0 and 0.011, the closest the form holds.
    return w < 0.0055 ? 0 : 11;
  }
  // A width that rounds to a whole one up to 10 is written as that whole width, as it reads back: the
  // width read is written again with the same code.
  if (coded <= 10000 && std::fmod(coded, 1000) == 0) return qint32(coded / 1000);
  return qint32(coded);
}

float frDecodeFrameWidth(qint32 value) {
  if (value > 10) return float(value / 1000.0);
  return value < 0 ? 0.0f : float(value);
}

void frReadViewCommon(TStream *stream, TfrView *view) {
  const bool current = CurrentForm();
  if (!view->PreparedForm && current) view->Name = frReadString(stream);
  view->Left = stream->ReadInt32();
  view->Top = stream->ReadInt32();
  view->Width = stream->ReadInt32();
  view->Height = stream->ReadInt32();
  view->Flags = stream->ReadUInt16();
  view->FrameTyp = stream->ReadUInt16();
  view->FrameWidth = frDecodeFrameWidth(stream->ReadInt32());
  view->FrameColor = stream->ReadInt32();
  view->FrameStyle = stream->ReadUInt16();
  view->FillColor = stream->ReadInt32();
  if (view->PreparedForm) {
    // A prepared object carries its expanded text, which becomes its text to draw.
    frReadLines(stream, &view->Memo);
    return;
  }
  view->Format = stream->ReadInt32();
  view->FormatStr = frReadString(stream);
  frReadLines(stream, &view->Memo);
  if (current) {
    frReadLines(stream, &view->Script);
    view->Visible = stream->ReadUInt16() != 0;
  }
}

void frWriteViewCommon(TStream *stream, const TfrView *view) {
  if (!view->PreparedForm) WriteStreamString(stream, view->Name);
  stream->WriteInt32(view->Left);
  stream->WriteInt32(view->Top);
  stream->WriteInt32(view->Width);
  stream->WriteInt32(view->Height);
  stream->WriteUInt16(view->Flags);
  stream->WriteUInt16(view->FrameTyp);
  stream->WriteInt32(frEncodeFrameWidth(view->FrameWidth));
  stream->WriteInt32(view->FrameColor);
  stream->WriteUInt16(view->FrameStyle);
  stream->WriteInt32(view->FillColor);
  if (view->PreparedForm) {
    WriteStreamLines(stream, &view->Memo1);
    return;
  }
  stream->WriteInt32(view->Format);
  WriteStreamString(stream, view->FormatStr);
  WriteStreamLines(stream, &view->Memo);
  WriteStreamLines(stream, &view->Script);
  stream->WriteUInt16(view->Visible ? 0xFFFF : 0);
}

void frWriteViewEntry(TStream *stream, TfrView *view) {
  stream->WriteUInt8(quint8(view->Typ));
  if (view->Typ == gtAddIn) WriteStreamString(stream, view->ClassName());
  view->SaveToStream(stream);
}

std::unique_ptr<TfrView> frCreateViewOfEntry(TStream *stream, int typ, bool *framedMemo) {
  const qint64 at = stream->Position() - 1;
  if (framedMemo) *framedMemo = false;
  QString className;
  if (typ == gtAddIn) {
    className = frReadString(stream);
    if (className.toUpper() == QLatin1String("TFRFRAMEDMEMOVIEW")) {
      typ = gtMemo;
      if (framedMemo) *framedMemo = true;
    }
  }
  if ((typ < gtMemo || typ > gtLine) && typ != gtAddIn)
    throw EfrStreamError(QStringLiteral("Unknown object type %1 at byte %2").arg(typ).arg(at));
  return CreateViewByType(typ, className);
}
