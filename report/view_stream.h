// The object records shared by the template stream and the prepared pages: strings by the version being
// read, the coded frame width, the common part of every object and the entry of a prepared page.
//
// Common part, template form: [name] left top width height (int32) flags frame-type (u16) frame-width
// (coded int32) frame-colour (int32) frame-style (u16) fill-colour format (int32) format-string memo
// [script visible(u16)]; the bracketed fields exist from version 23 on.
// Prepared form: left top width height flags frame-type frame-width frame-colour frame-style fill-colour,
// then the expanded text (read back into the memo).
#pragma once
#include "platform/core/exceptions.h"
#include <QString>
#include <QtGlobal>
#include <memory>

class TStream;
class TStrings;
class TfrView;

// A template or prepared-report stream that cannot be read: damaged, truncated or of an unknown format.
TALLYROOK_EXCEPTION(EfrStreamError, EReadError)

// Strings and string lists in the encoding of the version being read.
QString frReadString(TStream *stream);
void frReadLines(TStream *stream, TStrings *list);

// The frame width as stored: a whole width as that integer (times 1000 above 10, so that a reader, which
// divides values above 10 by 1000, gets it back), any other width as round(width x 1000). Widths below
// 0.0105 become the nearest width the form can hold (0 or 0.011), and widths a hair from a whole width up
// to 10 that whole width; negative widths count as 0, widths beyond the form's range as its largest.
// Writing again a width read back gives the code it was written with.
qint32 frEncodeFrameWidth(float width);
float frDecodeFrameWidth(qint32 value);

void frReadViewCommon(TStream *stream, TfrView *view);
void frWriteViewCommon(TStream *stream, const TfrView *view);

// An object as an entry of a stream: type byte, the class name for an add-in (type 10), then its data.
void frWriteViewEntry(TStream *stream, TfrView *view);
// Makes the object of an entry whose type byte has been read: reads the class name of an add-in (type 10,
// in the encoding of the version being read) and creates the object. A text object stored under the old
// class name "TfrFramedMemoView" is made a text object, and framedMemo is set: 8 bytes follow its data.
// Raises EfrStreamError for a type byte that names no object and EClassNotFound for an unknown add-in.
std::unique_ptr<TfrView> frCreateViewOfEntry(TStream *stream, int typ, bool *framedMemo = nullptr);
