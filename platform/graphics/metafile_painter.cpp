#include "platform/graphics/metafile_painter.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

// Saves beyond this are not kept (a metafile nests a few).
constexpr size_t kMaxSavedStates = 1024;
// Device coordinates are held within this (a page at 1200 dpi is some 14,000 pixels across).
constexpr double kMaxCoordinate = 1 << 24;
// Text and pens larger than this many device pixels are not drawn or are drawn at this width.
constexpr double kMaxTextPixels = 20000;
constexpr double kMaxPenPixels = 20000;
// The widest pen the painter takes, in logical units.
constexpr double kMaxPenUnits = 32767;
// Text larger than this is drawn on images as outlines (the paint engine's own limit for keeping glyphs).
constexpr double kMaxCachedGlyphPixels = 64;
// A clip made of more rectangles than this is taken as their bounds.
constexpr int kMaxClipRects = 4096;

// How much the transform enlarges areas, as a length.
double Scale(const QTransform &t) { return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21())); }

int Clamped(double v) { return int(std::lround(std::clamp(v, -kMaxCoordinate, kMaxCoordinate))); }

bool HasRasterOps(QPainter &p) {
  return p.paintEngine() && p.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
}

// The composition of a bitmap copy's raster operation, or nothing for one that is not drawn.
std::optional<QPainter::CompositionMode> RopComposition(quint32 rop) {
  switch (rop) {
  case SRCCOPY: return QPainter::CompositionMode_SourceOver;
  case SRCPAINT: return QPainter::RasterOp_SourceOrDestination;
  case SRCAND: return QPainter::RasterOp_SourceAndDestination;
  case SRCINVERT: return QPainter::RasterOp_SourceXorDestination;
  case SRCERASE: return QPainter::RasterOp_SourceAndNotDestination;
  case NOTSRCCOPY: return QPainter::RasterOp_NotSource;
  case NOTSRCERASE: return QPainter::RasterOp_NotSourceAndNotDestination;
  case MERGEPAINT: return QPainter::RasterOp_NotSourceOrDestination;
  default: return std::nullopt;
  }
}

Qt::BrushStyle HatchStyle(int hatch) {
  switch (hatch) {
  case HS_HORIZONTAL: return Qt::HorPattern;
  case HS_VERTICAL: return Qt::VerPattern;
  case HS_FDIAGONAL: return Qt::FDiagPattern;
  case HS_BDIAGONAL: return Qt::BDiagPattern;
  case HS_CROSS: return Qt::CrossPattern;
  case HS_DIAGCROSS: return Qt::DiagCrossPattern;
  default: return Qt::SolidPattern;
  }
}

// The Qt font of a logical font at a whole pixel size, its family found as for any named font.
QFont QtFont(const TGdiFont &f, int pixels) {
  TFont font;
  font.SetName(f.face.isEmpty() ? QStringLiteral("Arial") : f.face);
  font.SetPitch((f.pitchAndFamily & 3) == GDI_FIXED_PITCH ? fpFixed : fpDefault);
  font.SetStyle(TFontStyles((f.weight >= 600 ? fsBold : 0) | (f.italic ? fsItalic : 0) |
                            (f.underline ? fsUnderline : 0) | (f.strikeOut ? fsStrikeOut : 0)));
  QFont q = font.QtFontAtPixels(pixels);
  if (f.weight > 0) q.setWeight(QFont::Weight(std::clamp(f.weight, 1, 1000)));
  return q;
}

// The em size per pixel of cell height (characters with their internal leading) of a logical font.
double EmPerCell(const TGdiFont &f) {
  TFont font;
  font.SetName(f.face.isEmpty() ? QStringLiteral("Arial") : f.face);
  font.SetStyle(TFontStyles((f.weight >= 600 ? fsBold : 0) | (f.italic ? fsItalic : 0)));
  font.SetHeight(1000);
  return font.EmPixels(kScreenPixelsPerInch) / 1000;
}

} // namespace

TMetafilePainter::TMetafilePainter(QPainter &painter, const QRectF &target, const QTransform &deviceToTarget,
                                   double defaultFontEm)
    : painter_(painter), base_(painter.worldTransform()), deviceToTarget_(deviceToTarget * base_),
      defaultFontEm_(defaultFontEm), pixelBudget_(MaxPicturePixels) {
  painter_.save();
  QRegion area(base_.mapRect(target).toAlignedRect());
  if (painter_.hasClipping()) area &= base_.map(painter_.clipRegion());
  bounds_ = area;
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
  ApplyClip();
}

TMetafilePainter::~TMetafilePainter() { painter_.restore(); }

QTransform TMetafilePainter::Full() const { return state_.world * state_.PageTransform() * deviceToTarget_; }

bool TMetafilePainter::Usable(const QTransform &t) {
  for (double v : {t.m11(), t.m12(), t.m13(), t.m21(), t.m22(), t.m23(), t.m31(), t.m32(), t.m33()})
    if (!std::isfinite(v) || std::abs(v) > 1e12) return false;
  const double det = t.m11() * t.m22() - t.m12() * t.m21();
  return std::abs(det) > 1e-18 && t.type() != QTransform::TxProject;
}

void TMetafilePainter::Select(const TGdiObject &object) {
  if (auto pen = std::get_if<TGdiPen>(&object)) state_.pen = *pen;
  if (auto brush = std::get_if<TGdiBrush>(&object)) state_.brush = *brush;
  if (auto font = std::get_if<TGdiFont>(&object)) state_.font = *font;
}

void TMetafilePainter::SaveDC() {
  if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
}

void TMetafilePainter::RestoreDC(int which) {
  const qint64 index = which < 0 ? qint64(saved_.size()) + which : qint64(which) - 1;
  if (index < 0 || index >= qint64(saved_.size())) return;
  state_ = saved_[size_t(index)];
  saved_.resize(size_t(index));
  ApplyClip();
}

// ---- clipping ----

QRegion TMetafilePainter::DeviceRegion(const QPolygonF &polygon) const {
  QPolygon points;
  points.reserve(polygon.size());
  for (const QPointF &p : polygon) points.append(QPoint(Clamped(p.x()), Clamped(p.y())));
  const QRect box = points.boundingRect();
  // A rectangle that stays upright is taken whole; a turned one as the pixels of its outline.
  // (A rectangle's polygon may repeat its first corner at the end.)
  const bool upright = (points.size() == 4 || (points.size() == 5 && points[4] == points[0])) &&
                       points[0].y() == points[1].y() && points[1].x() == points[2].x() &&
                       points[2].y() == points[3].y() && points[3].x() == points[0].x();
  if (upright) return QRegion(box.adjusted(0, 0, -1, -1).normalized());
  return QRegion(points);
}

void TMetafilePainter::SetClip(std::optional<QRegion> clip) {
  if (clip && clip->rectCount() > kMaxClipRects) clip = QRegion(clip->boundingRect());
  state_.clip = std::move(clip);
  ApplyClip();
}

void TMetafilePainter::ApplyClip() {
  QRegion area = bounds_;
  if (state_.clip) area &= *state_.clip;
  painter_.setWorldTransform(QTransform());
  painter_.setClipRegion(area);
}

void TMetafilePainter::IntersectClipRect(const QRectF &logical) {
  const QTransform t = Full();
  if (!Usable(t)) return;
  const QRegion r = DeviceRegion(t.map(QPolygonF(logical.normalized())));
  SetClip(state_.clip ? *state_.clip & r : r);
}

void TMetafilePainter::ExcludeClipRect(const QRectF &logical) {
  const QTransform t = Full();
  if (!Usable(t)) return;
  const QRegion r = DeviceRegion(t.map(QPolygonF(logical.normalized())));
  SetClip((state_.clip ? *state_.clip : bounds_) - r);
}

void TMetafilePainter::SelectClipRects(const QList<QRectF> &device, int mode) {
  if (mode == RGN_COPY && device.isEmpty()) {
    SetClip(std::nullopt);
    return;
  }
  if (!Usable(deviceToTarget_)) return;
  QRegion r;
  if (device.size() > kMaxClipRects) {
    QRectF all;
    for (const QRectF &rect : device) all |= rect.normalized();
    r = DeviceRegion(deviceToTarget_.map(QPolygonF(all)));
  } else {
    for (const QRectF &rect : device) r |= DeviceRegion(deviceToTarget_.map(QPolygonF(rect.normalized())));
  }
  CombineClip(r, mode);
}

void TMetafilePainter::CombineClip(const QRegion &r, int mode) {
  const QRegion current = state_.clip ? *state_.clip : bounds_;
  switch (mode) {
  case RGN_COPY: SetClip(r); break;
  case RGN_AND: SetClip(current & r); break;
  case RGN_OR:
    if (state_.clip) SetClip(current | r);
    break;
  case RGN_XOR: SetClip(current ^ r); break;
  case RGN_DIFF: SetClip(current - r); break;
  default: break;
  }
}

void TMetafilePainter::SelectLogicalClipRects(const QList<QRectF> &logical) {
  const QTransform t = Full();
  if (!Usable(t)) return;
  QRegion r;
  for (const QRectF &rect : logical.mid(0, kMaxClipRects))
    r |= DeviceRegion(t.map(QPolygonF(rect.normalized())));
  SetClip(r);
}

void TMetafilePainter::OffsetClip(const QPointF &logical) {
  const QTransform t = Full();
  if (!state_.clip || !Usable(t)) return;
  const QPointF d = t.map(logical) - t.map(QPointF(0, 0));
  QRegion moved = *state_.clip;
  moved.translate(Clamped(d.x()), Clamped(d.y()));
  SetClip(moved);
}

// ---- pens and brushes ----

QPen TMetafilePainter::MakePen(const QTransform &full) const {
  const TGdiPen &pen = state_.pen;
  const int style = pen.style & PS_STYLE_MASK;
  if (style == PS_NULL) return QPen(Qt::NoPen);
  QPen q(pen.color);
  const double scale = Scale(full);
  // Thinner than a pixel on the device, a pen still draws one pixel wide, as GDI's do.
  const bool hairline = pen.cosmetic || pen.width <= 0 || pen.width * scale < 1;
  if (hairline) {
    q.setCosmetic(true);
    q.setWidthF(1);
  } else {
    q.setWidthF(std::min({pen.width, kMaxPenPixels / scale, kMaxPenUnits}));
  }
  if (pen.geometric) {
    const int cap = pen.style & PS_ENDCAP_MASK, join = pen.style & PS_JOIN_MASK;
    q.setCapStyle(cap == PS_ENDCAP_FLAT     ? Qt::FlatCap
                  : cap == PS_ENDCAP_SQUARE ? Qt::SquareCap
                                            : Qt::RoundCap);
    q.setJoinStyle(join == PS_JOIN_MITER   ? Qt::MiterJoin
                   : join == PS_JOIN_BEVEL ? Qt::BevelJoin
                                           : Qt::RoundJoin);
  } else if (hairline) {
    q.setCapStyle(Qt::FlatCap);
    q.setJoinStyle(Qt::MiterJoin);
  } else {
    q.setCapStyle(Qt::RoundCap);
    q.setJoinStyle(Qt::RoundJoin);
  }
  // Wide pens of the older kind draw solid; hairlines and extended pens keep their dashes.
  if (!hairline && !pen.geometric) return q;
  switch (style) {
  case PS_DASH: q.setStyle(Qt::DashLine); break;
  case PS_DOT:
  case PS_ALTERNATE: q.setStyle(Qt::DotLine); break;
  case PS_DASHDOT: q.setStyle(Qt::DashDotLine); break;
  case PS_DASHDOTDOT: q.setStyle(Qt::DashDotDotLine); break;
  case PS_USERSTYLE: {
    // Lengths in logical units, as Qt counts them: in pen widths (pixels for a hairline).
    const double unit = hairline ? 1 / scale : pen.width;
    QList<qreal> dashes;
    for (qreal d : pen.dashes) dashes.append(d / unit);
    if (dashes.size() % 2) dashes += dashes;
    if (!dashes.isEmpty()) q.setDashPattern(dashes);
    break;
  }
  default: break;
  }
  return q;
}

QBrush TMetafilePainter::MakeBrush(const TGdiBrush &brush, const QTransform &full) const {
  switch (brush.style) {
  case BS_NULL: return QBrush(Qt::NoBrush);
  case BS_HATCHED: return QBrush(brush.color, HatchStyle(brush.hatch));
  case BS_PATTERN:
  case BS_DIBPATTERN:
  case BS_DIBPATTERNPT:
    if (!brush.pattern.isNull()) {
      // A pattern lies on the device's pixels, whatever the mapping.
      QBrush q(brush.pattern);
      q.setTransform(full.inverted());
      return q;
    }
    return QBrush(brush.color);
  default: return QBrush(brush.color);
  }
}

// Sets the composition of the pen's and brush's raster operation; false when nothing is to be drawn.
bool TMetafilePainter::ApplyRop2() {
  QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
  switch (state_.rop2) {
  case R2_NOP: return false;
  case R2_NOT: mode = QPainter::RasterOp_NotDestination; break;
  case R2_XORPEN: mode = QPainter::RasterOp_SourceXorDestination; break;
  case R2_MASKPEN: mode = QPainter::RasterOp_SourceAndDestination; break;
  case R2_MERGEPEN: mode = QPainter::RasterOp_SourceOrDestination; break;
  case R2_NOTCOPYPEN: mode = QPainter::RasterOp_NotSource; break;
  default: break;
  }
  // Devices without raster operations (printers, PDF) draw such pens as plain copies.
  painter_.setCompositionMode(mode != QPainter::CompositionMode_SourceOver && HasRasterOps(painter_)
                                  ? mode
                                  : QPainter::CompositionMode_SourceOver);
  return true;
}

bool TMetafilePainter::Prepare(bool withPen, bool withBrush) {
  const QTransform t = Full();
  if (!Usable(t) || !ApplyRop2()) return false;
  painter_.setWorldTransform(t);
  QPen pen = withPen ? MakePen(t) : QPen(Qt::NoPen);
  QBrush brush = withBrush ? MakeBrush(state_.brush, t) : QBrush(Qt::NoBrush);
  if (state_.rop2 == R2_BLACK || state_.rop2 == R2_WHITE) {
    const QColor color = state_.rop2 == R2_BLACK ? Qt::black : Qt::white;
    if (pen.style() != Qt::NoPen) pen.setColor(color);
    if (brush.style() != Qt::NoBrush) brush = QBrush(color);
  }
  if (pen.style() == Qt::NoPen && brush.style() == Qt::NoBrush) return false;
  painter_.setPen(pen);
  painter_.setBrush(brush);
  // Hatches and the gaps of dashed lines take the background colour when it is opaque.
  painter_.setBackgroundMode(state_.bkMode == GDI_OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
  painter_.setBackground(state_.bkColor);
  return true;
}

void TMetafilePainter::DrawShape(const QPainterPath &fill, const QPainterPath &outline) {
  if (state_.inPath) {
    state_.path.addPath(fill.isEmpty() ? outline : fill);
    return;
  }
  if (!Prepare(!outline.isEmpty(), !fill.isEmpty())) return;
  // What lies wholly outside the picture is not drawn.
  const QTransform t = painter_.worldTransform();
  const double margin = painter_.pen().isCosmetic() ? 2 : painter_.pen().widthF() * Scale(t) + 2;
  const QRectF box = t.mapRect(fill.controlPointRect() | outline.controlPointRect())
                         .adjusted(-margin, -margin, margin, margin);
  if (!box.intersects(QRectF(bounds_.boundingRect()))) return;
  const QPen pen = painter_.pen();
  if (!fill.isEmpty() && painter_.brush().style() != Qt::NoBrush) {
    QPainterPath area = fill;
    area.setFillRule(state_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    painter_.setPen(Qt::NoPen);
    painter_.drawPath(area);
  }
  if (!outline.isEmpty() && pen.style() != Qt::NoPen) {
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(outline);
  }
}

void TMetafilePainter::DrawFromPen(const QPainterPath &segments) {
  if (!state_.inPath) {
    DrawShape(QPainterPath(), segments);
    return;
  }
  QPainterPath &path = state_.path;
  if (path.elementCount() == 0 || path.currentPosition() != state_.penPos) path.moveTo(state_.penPos);
  for (int i = 1; i < segments.elementCount(); ++i) {
    const QPainterPath::Element e = segments.elementAt(i);
    if (e.isCurveTo() && i + 2 < segments.elementCount()) {
      path.cubicTo(e, segments.elementAt(i + 1), segments.elementAt(i + 2));
      i += 2;
    } else if (e.isLineTo()) {
      path.lineTo(e);
    }
  }
}

// ---- paths ----

void TMetafilePainter::BeginPath() {
  state_.inPath = true;
  state_.path = QPainterPath();
}

void TMetafilePainter::AbortPath() {
  state_.inPath = false;
  state_.path = QPainterPath();
}

void TMetafilePainter::CloseFigure() {
  if (state_.inPath) state_.path.closeSubpath();
}

void TMetafilePainter::DrawPath(bool fill, bool stroke) {
  if (state_.inPath) return;
  const QPainterPath path = std::exchange(state_.path, QPainterPath());
  if (path.isEmpty()) return;
  DrawShape(fill ? path : QPainterPath(), stroke ? path : QPainterPath());
}

void TMetafilePainter::SelectClipPath(int mode) {
  const QTransform t = Full();
  if (state_.inPath || !Usable(t)) return;
  const QPainterPath path = std::exchange(state_.path, QPainterPath());
  QRegion r;
  const QList<QPolygonF> polygons = path.toFillPolygons(t);
  for (const QPolygonF &polygon : polygons.mid(0, kMaxClipRects)) r ^= DeviceRegion(polygon);
  CombineClip(r, mode);
}

void TMetafilePainter::DrawShape(const QPainterPath &path, bool filled) {
  DrawShape(filled ? path : QPainterPath(), path);
}

void TMetafilePainter::MoveTo(const QPointF &p) {
  state_.penPos = p;
  if (state_.inPath) state_.path.moveTo(p);
}

QRectF TMetafilePainter::OutlineBox(const QRectF &box) const {
  // The outline of a shape runs on the pixels just inside its box, whose right and bottom edges lie outside
  // it, as GDI draws it.
  const QTransform t = Full();
  const QRectF r = box.normalized();
  if (!Usable(t) || t.m12() != 0 || t.m21() != 0) return r;
  const QRectF d = t.mapRect(r);
  if (d.width() < 2 || d.height() < 2) return r;
  return t.inverted().mapRect(QRectF(d.left() + 0.5, d.top() + 0.5, d.width() - 1, d.height() - 1));
}

// ---- lines and shapes ----

void TMetafilePainter::LineTo(const QPointF &p) {
  QPainterPath path(state_.penPos);
  path.lineTo(p);
  DrawFromPen(path);
  state_.penPos = p;
}

void TMetafilePainter::Polyline(const QPolygonF &points) {
  if (points.size() < 2) return;
  QPainterPath path;
  path.addPolygon(points);
  DrawShape(path, false);
}

void TMetafilePainter::PolylineTo(const QPolygonF &points) {
  if (points.isEmpty()) return;
  QPainterPath path(state_.penPos);
  for (const QPointF &p : points) path.lineTo(p);
  DrawFromPen(path);
  state_.penPos = points.last();
}

void TMetafilePainter::PolyBezier(const QPolygonF &points, bool fromPen) {
  const qsizetype first = fromPen ? 0 : 1;
  if (points.size() < first + 3) return;
  QPainterPath path(fromPen ? state_.penPos : points.first());
  qsizetype i = first;
  for (; i + 2 < points.size(); i += 3) path.cubicTo(points[i], points[i + 1], points[i + 2]);
  if (fromPen) {
    DrawFromPen(path);
    state_.penPos = points[i - 1];
  } else {
    DrawShape(path, false);
  }
}

void TMetafilePainter::Polygon(const QPolygonF &points) {
  if (points.size() < 2) return;
  QPainterPath path;
  path.addPolygon(points);
  path.closeSubpath();
  DrawShape(path, true);
}

void TMetafilePainter::PolyPolygon(const QList<QPolygonF> &polygons) {
  QPainterPath path;
  for (const QPolygonF &polygon : polygons) {
    if (polygon.size() < 2) continue;
    path.addPolygon(polygon);
    path.closeSubpath();
  }
  if (!path.isEmpty()) DrawShape(path, true);
}

void TMetafilePainter::PolyPolyline(const QList<QPolygonF> &polylines) {
  QPainterPath path;
  for (const QPolygonF &polyline : polylines)
    if (polyline.size() >= 2) path.addPolygon(polyline);
  if (!path.isEmpty()) DrawShape(path, false);
}

void TMetafilePainter::Rectangle(const QRectF &box) {
  QPainterPath fill, outline;
  fill.addRect(box.normalized());
  outline.addRect(OutlineBox(box));
  DrawShape(fill, outline);
}

void TMetafilePainter::RoundRect(const QRectF &box, const QSizeF &corner) {
  QPainterPath path;
  path.addRoundedRect(OutlineBox(box), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
  DrawShape(path, true);
}

void TMetafilePainter::Ellipse(const QRectF &box) {
  QPainterPath path;
  path.addEllipse(OutlineBox(box));
  DrawShape(path, true);
}

void TMetafilePainter::Arc(TArcKind kind, const QRectF &box, const QPointF &start, const QPointF &end) {
  const QRectF r = OutlineBox(box);
  if (r.width() <= 0 || r.height() <= 0) return;
  const QPointF c = r.center();
  // The angles on the ellipse of the rays from its centre through the two points (y grows downwards).
  auto angle = [&](const QPointF &p) {
    return std::atan2(-(p.y() - c.y()) / r.height(), (p.x() - c.x()) / r.width()) * 180 / std::numbers::pi;
  };
  const double a0 = angle(start);
  double sweep = angle(end) - a0;
  if (state_.arcDirection == AD_CLOCKWISE) {
    while (sweep >= 0) sweep -= 360;
  } else {
    while (sweep <= 0) sweep += 360;
  }
  QPainterPath path;
  if (kind == TArcKind::Pie) {
    path.moveTo(c);
    path.arcTo(r, a0, sweep);
    path.closeSubpath();
  } else {
    path.arcMoveTo(r, a0);
    path.arcTo(r, a0, sweep);
    if (kind == TArcKind::Chord) path.closeSubpath();
  }
  DrawShape(path, kind != TArcKind::Arc);
}

void TMetafilePainter::SetPixel(const QPointF &p, const QColor &color) {
  const QTransform t = Full();
  if (!Usable(t)) return;
  const QPointF d = t.map(p);
  if (!QRectF(bounds_.boundingRect()).contains(d)) return;
  painter_.setWorldTransform(QTransform());
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.fillRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1), color);
}

// ---- text ----

void TMetafilePainter::TextOut(QPointF reference, const QString &text, const QList<qreal> &dx,
                               unsigned options, const QRectF &rect) {
  const QTransform t = Full();
  if (!Usable(t)) return;
  if (state_.textAlign & TA_UPDATECP) reference = state_.penPos;
  if ((options & ETO_OPAQUE) && !rect.isEmpty()) {
    painter_.setWorldTransform(t);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.fillRect(rect.normalized(), state_.bkColor);
  }
  if (text.isEmpty()) return;

  // The baseline's direction and the font's size on the device.
  const QPointF origin = t.map(reference);
  const QPointF xAxis = t.map(reference + QPointF(1, 0)) - origin;
  const QPointF yAxis = t.map(reference + QPointF(0, 1)) - origin;
  const double xScale = std::hypot(xAxis.x(), xAxis.y()), yScale = std::hypot(yAxis.x(), yAxis.y());
  const TGdiFont &f = state_.font;
  double em = defaultFontEm_ * Scale(deviceToTarget_);
  if (f.height < 0) em = -double(f.height) * yScale;
  if (f.height > 0) em = f.height * yScale * EmPerCell(f);
  if (!(em >= 0.5 && em <= kMaxTextPixels)) return;
  const int pixels = std::max(1, int(std::lround(em)));
  const double k = em / pixels;
  QFont font = QtFont(f, pixels);
  if (f.width > 0) {
    // The average character width asked for, as a stretch of the face.
    const double natural = QFontMetricsF(font).averageCharWidth() * k;
    // (Within a quarter and four times the face's own: the font engine fails on far wider glyphs.)
    if (natural > 0)
      font.setStretch(
          std::clamp(int(std::lround(100 * std::min(f.width * xScale / natural, 10.0))), 25, 400));
  }
  const QFontMetricsF metrics(font);

  // Where each character starts along the baseline, in device pixels.
  const bool spaced = dx.size() >= text.size();
  std::vector<double> starts;
  double width = 0;
  if (spaced) {
    starts.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
      starts.push_back(width);
      width += dx[i] * xScale;
    }
  } else {
    width = metrics.horizontalAdvance(text) * k;
  }
  const unsigned horizontal = state_.textAlign & TA_CENTER, vertical = state_.textAlign & TA_BASELINE;
  const double left = horizontal == TA_CENTER ? -width / 2 : horizontal == TA_RIGHT ? -width : 0;
  const double ascent = metrics.ascent() * k, descent = metrics.descent() * k;
  const double baseline = vertical == TA_BASELINE ? 0 : vertical == TA_BOTTOM ? -descent : ascent;
  const double angle = std::atan2(xAxis.y(), xAxis.x()) * 180 / std::numbers::pi - f.escapement / 10.0;
  QTransform frame;
  frame.translate(origin.x(), origin.y());
  frame.rotate(angle);

  painter_.save();
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.setBackgroundMode(Qt::TransparentMode); // the cell is filled here, when the mode says so
  if ((options & ETO_CLIPPED) && !rect.isEmpty()) {
    painter_.setWorldTransform(t);
    painter_.setClipRect(rect.normalized(), Qt::IntersectClip);
  }
  painter_.setWorldTransform(frame);
  if (state_.bkMode == GDI_OPAQUE)
    painter_.fillRect(QRectF(left, baseline - ascent, width, ascent + descent), state_.bkColor);
  painter_.setFont(font);
  painter_.setPen(state_.textColor);
  painter_.setWorldTransform(QTransform::fromScale(k, k) * frame);
  // Large text on an image is filled as the glyphs' outlines: the paint engine would otherwise keep a picture
  // of every glyph at its full size (of colour glyphs too, a gigabyte for one large emoji).
  const bool outlines = em > kMaxCachedGlyphPixels && painter_.paintEngine() &&
                        painter_.paintEngine()->type() == QPaintEngine::Raster;
  auto draw = [&](const QPointF &at, const QString &piece) {
    if (!outlines) {
      painter_.drawText(at, piece);
      return;
    }
    QPainterPath glyphs;
    glyphs.addText(at, font, piece);
    painter_.fillPath(glyphs, state_.textColor);
  };
  if (spaced) {
    for (qsizetype i = 0; i < text.size(); ++i) {
      // A character outside the basic plane is drawn whole, at its first unit's place.
      const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
      draw(QPointF((left + starts[size_t(i)]) / k, baseline / k), text.mid(i, length));
      i += length - 1;
    }
  } else {
    draw(QPointF(left / k, baseline / k), text);
  }
  painter_.restore();

  if ((state_.textAlign & TA_UPDATECP) && xScale > 0) {
    const double advance = width / xScale;
    if (horizontal == TA_LEFT) state_.penPos.rx() += advance;
    if (horizontal == TA_RIGHT) state_.penPos.rx() -= advance;
  }
}

// ---- bitmaps ----

void TMetafilePainter::DrawImage(const QRectF &destination, const QImage &image, const QRectF &source,
                                 quint32 rop) {
  const QTransform t = Full();
  const auto mode = RopComposition(rop);
  if (!Usable(t) || image.isNull() || !mode) return;
  if (*mode != QPainter::CompositionMode_SourceOver && !HasRasterOps(painter_)) return;
  // A negative size on either side mirrors the picture.
  const bool mirrorX = (destination.width() < 0) != (source.width() < 0);
  const bool mirrorY = (destination.height() < 0) != (source.height() < 0);
  QRectF dst = destination.normalized(), src = source.normalized();
  if (dst.isEmpty() || src.isEmpty()) return;
  const QImage pixels = mirrorX || mirrorY ? image.mirrored(mirrorX, mirrorY) : image;
  if (mirrorX) src.moveLeft(pixels.width() - src.right());
  if (mirrorY) src.moveTop(pixels.height() - src.bottom());
  // Only the part of the source inside the picture is copied, to its share of the destination.
  const QRectF inside = src & QRectF(pixels.rect());
  if (inside.isEmpty()) return;
  const double kx = dst.width() / src.width(), ky = dst.height() / src.height();
  dst = QRectF(dst.left() + (inside.left() - src.left()) * kx, dst.top() + (inside.top() - src.top()) * ky,
               inside.width() * kx, inside.height() * ky);
  if (!t.mapRect(dst).intersects(QRectF(bounds_.boundingRect()))) return;
  painter_.setWorldTransform(t);
  painter_.setCompositionMode(*mode);
  painter_.drawImage(dst, pixels, inside);
}

void TMetafilePainter::PatBlt(const QRectF &destination, quint32 rop) {
  const QTransform t = Full();
  if (!Usable(t)) return;
  const QRectF dst = destination.normalized();
  painter_.setWorldTransform(t);
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  switch (rop) {
  case PATCOPY: painter_.fillRect(dst, MakeBrush(state_.brush, t)); break;
  case BLACKNESS: painter_.fillRect(dst, Qt::black); break;
  case WHITENESS: painter_.fillRect(dst, Qt::white); break;
  case DSTINVERT:
  case PATINVERT:
    if (HasRasterOps(painter_)) {
      painter_.setCompositionMode(rop == DSTINVERT ? QPainter::RasterOp_NotDestination
                                                   : QPainter::RasterOp_SourceXorDestination);
      painter_.fillRect(dst, rop == DSTINVERT ? QBrush(Qt::black) : MakeBrush(state_.brush, t));
    }
    break;
  default: break;
  }
}

void TMetafilePainter::FillDeviceRects(const QList<QRectF> &device, const TGdiBrush &brush) {
  if (!Usable(deviceToTarget_)) return;
  painter_.setWorldTransform(deviceToTarget_);
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  const QBrush fill = MakeBrush(brush, deviceToTarget_);
  for (const QRectF &r : device.mid(0, kMaxClipRects)) painter_.fillRect(r.normalized(), fill);
}
