// The drawing side of metafile playback, shared by the enhanced and the Windows metafile players: the device
// context's state with its save stack, and GDI's drawing calls carried out on a QPainter. Coordinates are
// logical; they reach the painter through the world transform, the page transform (mapping mode, window and
// viewport) and the transform from the metafile's device units to the painter's coordinates.
//
// Drawing stays inside the picture's rectangle and the painter's own clip. Every transform is checked before
// it is used, so that damaged numbers (infinite, singular or far too large) draw nothing rather than
// nonsense, and one playback decodes at most MaxPicturePixels of bitmap pixels.
#pragma once
#include "platform/graphics/gdi_state.h"
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <vector>

// ExtTextOut options.
constexpr unsigned ETO_OPAQUE = 0x2;
constexpr unsigned ETO_CLIPPED = 0x4;
constexpr unsigned ETO_GLYPH_INDEX = 0x10;
constexpr unsigned ETO_PDY = 0x2000;

// Region combination modes.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// Ternary raster operations of bitmap and pattern copies.
constexpr quint32 SRCCOPY = 0x00CC0020;
constexpr quint32 SRCPAINT = 0x00EE0086;
constexpr quint32 SRCAND = 0x008800C6;
constexpr quint32 SRCINVERT = 0x00660046;
constexpr quint32 SRCERASE = 0x00440328;
constexpr quint32 NOTSRCCOPY = 0x00330008;
constexpr quint32 NOTSRCERASE = 0x001100A6;
constexpr quint32 MERGEPAINT = 0x00BB0226;
constexpr quint32 PATCOPY = 0x00F00021;
constexpr quint32 PATINVERT = 0x005A0049;
constexpr quint32 DSTINVERT = 0x00550009;
constexpr quint32 BLACKNESS = 0x00000042;
constexpr quint32 WHITENESS = 0x00FF0062;

enum class TArcKind { Arc, Chord, Pie };

class TMetafilePainter {
public:
  // Plays into `target` (painter coordinates); `deviceToTarget` maps the metafile's device units into it.
  // `defaultFontEm` is the em size, in device units, of a font whose height is 0. The painter's state is
  // saved here and restored when the playback ends.
  TMetafilePainter(QPainter &painter, const QRectF &target, const QTransform &deviceToTarget,
                   double defaultFontEm);
  ~TMetafilePainter();
  TMetafilePainter(const TMetafilePainter &) = delete;
  TMetafilePainter &operator=(const TMetafilePainter &) = delete;

  TGdiState &State() { return state_; }
  void Select(const TGdiObject &object);
  void SaveDC();
  // A negative `which` counts back from the last save, a positive one names a save from the first (1).
  void RestoreDC(int which);

  // ---- clipping ----
  void IntersectClipRect(const QRectF &logical);
  void ExcludeClipRect(const QRectF &logical);
  // Rectangles in the metafile's device units, combined with the clip by `mode` (RGN_COPY with none: no
  // clip).
  void SelectClipRects(const QList<QRectF> &device, int mode);
  // Rectangles in logical units made the clip (a Windows metafile's region).
  void SelectLogicalClipRects(const QList<QRectF> &logical);
  void OffsetClip(const QPointF &logical);

  // ---- paths ----
  void BeginPath();
  void EndPath() { state_.inPath = false; }
  void AbortPath();
  void CloseFigure();
  // Fills and/or strokes the path, which is then spent.
  void DrawPath(bool fill, bool stroke);
  // Combines the path's inside with the clip by `mode`; the path is spent.
  void SelectClipPath(int mode);

  // ---- lines and shapes ----
  void MoveTo(const QPointF &p);
  void LineTo(const QPointF &p);
  void Polyline(const QPolygonF &points);
  // From the current position through the points, which it ends at.
  void PolylineTo(const QPolygonF &points);
  // Cubic Bézier curves: a start point and three points per curve (fromPen: the current position starts).
  void PolyBezier(const QPolygonF &points, bool fromPen);
  void Polygon(const QPolygonF &points);
  void PolyPolygon(const QList<QPolygonF> &polygons);
  void PolyPolyline(const QList<QPolygonF> &polylines);
  void Rectangle(const QRectF &box);
  void RoundRect(const QRectF &box, const QSizeF &corner);
  void Ellipse(const QRectF &box);
  void Arc(TArcKind kind, const QRectF &box, const QPointF &start, const QPointF &end);
  void SetPixel(const QPointF &p, const QColor &color);

  // ---- text ----
  // `dx`: the advance of each character in logical units (empty: the font's own); `rect` (logical) is filled
  // with ETO_OPAQUE and clips with ETO_CLIPPED.
  void TextOut(QPointF reference, const QString &text, const QList<qreal> &dx, unsigned options,
               const QRectF &rect);

  // ---- bitmaps ----
  // `source` in the image's pixels (top-down); a negative destination size mirrors.
  void DrawImage(const QRectF &destination, const QImage &image, const QRectF &source, quint32 rop);
  void PatBlt(const QRectF &destination, quint32 rop);
  void FillDeviceRects(const QList<QRectF> &device, const TGdiBrush &brush);
  // The bitmap pixels left to this playback.
  qint64 &PixelBudget() { return pixelBudget_; }

private:
  QTransform Full() const;
  static bool Usable(const QTransform &t);
  // Sets the painter's transform, pen and brush for a shape; false when it would draw nothing.
  bool Prepare(bool withPen, bool withBrush);
  QPen MakePen(const QTransform &full) const;
  QBrush MakeBrush(const TGdiBrush &brush, const QTransform &full) const;
  bool ApplyRop2();
  // Fills `fill` with the brush and strokes `outline` with the pen (or adds the shape to the path).
  void DrawShape(const QPainterPath &fill, const QPainterPath &outline);
  // Draws lines or curves that go on from the current position (or adds them to the path's figure).
  void DrawFromPen(const QPainterPath &segments);
  void CombineClip(const QRegion &region, int mode);
  void DrawShape(const QPainterPath &path, bool filled);
  QRectF OutlineBox(const QRectF &box) const;
  QRegion DeviceRegion(const QPolygonF &painterPolygon) const;
  void SetClip(std::optional<QRegion> clip);
  void ApplyClip();

  QPainter &painter_;
  QTransform base_;           // the painter's own transform when the playback began
  QTransform deviceToTarget_; // the metafile's device units to painter coordinates
  QRegion bounds_;            // the picture's rectangle within the painter's clip, in device pixels
  double defaultFontEm_;
  TGdiState state_;
  std::vector<TGdiState> saved_;
  qint64 pixelBudget_;
};
