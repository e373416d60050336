// Device-independent bitmaps inside metafiles: a BITMAPINFO (header and colour table) and the pixel rows,
// stored apart (enhanced metafiles) or one after the other (Windows metafiles). They are read as the BMP
// files they would make, so that they take the same checks and the picture pixel limit as any bitmap.
#pragma once
#include <QByteArray>
#include <QImage>

// The bitmap, or a null image when the bytes do not make one or it has more pixels than `pixelBudget`, which
// shrinks by the pixels read (one playback gives all its bitmaps one budget).
QImage DecodeDib(const QByteArray &info, const QByteArray &bits, qint64 &pixelBudget);
QImage DecodePackedDib(const QByteArray &packed, qint64 &pixelBudget);
// The size of a packed bitmap's BITMAPINFO (header, masks and colour table), or -1 when it is not all there.
qsizetype DibInfoSize(const QByteArray &packed);
// True when a bitmap header stores its rows bottom-up (the usual way), whose rows are then counted from the
// bottom by the records that copy part of a bitmap.
bool DibBottomUp(const QByteArray &info);
// The number of rows a bitmap header gives.
int DibRows(const QByteArray &info);
