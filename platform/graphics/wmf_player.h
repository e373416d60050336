// Playing a Windows metafile onto a painter. A placeable metafile's bounding box (in the units its header
// counts per inch) is stretched over the target rectangle; the window its records set maps onto the same
// rectangle, as when such a picture is drawn scaled. A metafile without the placeable header maps the first
// window its records set. Records the player does not draw, or whose numbers do not fit their bytes, are
// skipped; a record whose size does not fit the file ends the playback.
#pragma once
#include <QByteArray>
#include <QPainter>
#include <QRectF>

void PlayWindowsMetafile(QPainter &painter, const QByteArray &bytes, const QRectF &target);
