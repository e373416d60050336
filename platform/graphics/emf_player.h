// Playing an enhanced metafile onto a painter: the picture frame of its header is stretched over the target
// rectangle and its records are drawn one by one. A record the player does not draw, or one whose numbers do
// not fit its bytes, is skipped; a record whose size does not fit the file ends the playback.
#pragma once
#include <QByteArray>
#include <QPainter>
#include <QRectF>

void PlayEnhancedMetafile(QPainter &painter, const QByteArray &bytes, const QRectF &target);
