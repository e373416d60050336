// Helpers for the small pictures this program draws for its buttons and cursors: painting on a clear image,
// flattening a picture onto the transparent colour of glyph bitmaps, the outline pen, and the shapes more
// than one picture shows (a magnifier, a page under a magnifier, an open folder).
#pragma once
#include <QImage>
#include <QPainter>
#include <QPen>
#include <functional>

// The transparent colour of the drawn glyph bitmaps (the colour of their bottom-left pixel).
constexpr QRgb kGlyphTransparent = qRgb(128, 128, 0);

// A clear image of the given size and format, painted antialiased by `draw`.
QImage PaintedImage(int width, int height, const std::function<void(QPainter &)> &draw,
                    QImage::Format format = QImage::Format_ARGB32_Premultiplied);

// A glyph bitmap: the picture `draw` paints antialiased, flattened onto the transparent colour. Clear pixels
// take the transparent colour and half-covered edge pixels are blended with the button face, so no olive
// fringe shows around the picture.
QImage GlyphPicture(int width, int height, const std::function<void(QPainter &)> &draw);

// The pen of the glyphs' outlines and strokes: round caps, and round corners unless told otherwise.
QPen GlyphPen(const QColor &color, double width = 1.0, Qt::PenJoinStyle join = Qt::RoundJoin);

// A magnifying glass: a lens of the radius around `centre` with a rim `rimWidth` wide and a handle of length
// `handle` (and twice the rim's width) towards the lower right.
void DrawMagnifier(QPainter &p, QPointF centre, double radius, double handle, double rimWidth);
// A 16 x 16 page with lines of text under a magnifier (the search picture).
void DrawPageUnderMagnifier(QPainter &p, double rimWidth);
// An open folder: the back, from `back`'s top-left corner along the tab to `tabEnd`, down to the shoulder at
// `shoulder` and on to `back`'s right and bottom edges, and the front flap tipped forward to x 15.5.
void DrawOpenFolder(QPainter &p, const QRectF &back, double tabEnd, double shoulder);
