// A paint device that records what is drawn on it instead of painting pixels: each filled or stroked
// rectangle, line, point run, polygon, path, ellipse, text item and image, in device coordinates, with the
// pen and brush in force. A TCanvas over it is the "recording canvas" of the drawing tests.
#pragma once
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QString>
#include <QStringList>
#include <QTextItem>
#include <QTransform>
#include <cmath>
#include <memory>
#include <vector>

namespace test {

struct DrawCall {
  enum Kind { Rect, Line, Points, Polygon, Path, Ellipse, Text, Image };
  Kind kind = Rect;
  QRectF bounds; // device coordinates
  int pointCount = 0;
  qreal penWidth = 0;
  QColor brush; // invalid when there is no brush
  QString text;
  qreal fontPixels = 0; // text: the em size on the device
  qreal angle = 0;      // text: degrees, counter-clockwise
  bool clipped = false; // drawn while a clip was set (not described)

  // "K left,top [widthxheight] [brush] [wPenWidth] [nPoints] ['text']", K the kind's letter; numbers to two
  // decimals.
  QString Describe() const {
    auto n = [](qreal v) { return QString::number(std::round(v * 100) / 100, 'g', 8); };
    QString d = QLatin1Char("RLPGAETI"[kind]) + QStringLiteral(" %1,%2").arg(n(bounds.x()), n(bounds.y()));
    if (kind != Text) d += QStringLiteral(" %1x%2").arg(n(bounds.width()), n(bounds.height()));
    if (brush.isValid()) d += QLatin1Char(' ') + brush.name();
    if (penWidth > 1) d += QStringLiteral(" w") + n(penWidth);
    if (kind == Points) d += QStringLiteral(" n%1").arg(pointCount);
    if (kind == Text)
      d += QStringLiteral(" %1px%2 '%3'").arg(n(fontPixels), angle ? " a" + n(angle) : "", text);
    return d;
  }
};

// Only the floating-point forms are recorded: the engine's integer forms convert to them.
class RecordingEngine : public QPaintEngine {
public:
  RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  std::vector<DrawCall> calls;

  bool begin(QPaintDevice *) override { return true; }
  bool end() override { return true; }
  Type type() const override { return QPaintEngine::User; }

  void updateState(const QPaintEngineState &state) override {
    const QPaintEngine::DirtyFlags flags = state.state();
    if (flags & DirtyPen) pen_ = state.pen();
    if (flags & DirtyBrush) brush_ = state.brush();
    if (flags & DirtyTransform) transform_ = state.transform();
    if (flags & (DirtyClipPath | DirtyClipRegion)) clipped_ = state.clipOperation() != Qt::NoClip;
    if (flags & DirtyClipEnabled) clipped_ = state.isClipEnabled();
  }

  void drawRects(const QRectF *rects, int count) override {
    for (int i = 0; i < count; ++i) Add(DrawCall::Rect, transform_.mapRect(rects[i]));
  }
  void drawLines(const QLineF *lines, int count) override {
    for (int i = 0; i < count; ++i)
      Add(DrawCall::Line, transform_.map(QPolygonF({lines[i].p1(), lines[i].p2()})).boundingRect());
  }
  void drawPoints(const QPointF *points, int count) override {
    Add(DrawCall::Points, transform_.map(QPolygonF(QList<QPointF>(points, points + count))).boundingRect())
        .pointCount = count;
  }
  void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override {
    DrawCall &c = Add(DrawCall::Polygon,
                      transform_.map(QPolygonF(QList<QPointF>(points, points + count))).boundingRect());
    c.pointCount = count;
    if (mode == PolylineMode) c.brush = QColor();
  }
  void drawPath(const QPainterPath &path) override {
    Add(DrawCall::Path, transform_.map(path).boundingRect());
  }
  void drawEllipse(const QRectF &r) override { Add(DrawCall::Ellipse, transform_.mapRect(r)); }
  void drawTextItem(const QPointF &p, const QTextItem &item) override {
    DrawCall &c = Add(DrawCall::Text, QRectF(transform_.map(p), QSizeF()));
    c.text = item.text();
    const qreal scale = std::hypot(transform_.m11(), transform_.m12());
    c.fontPixels =
        item.font().pixelSize() > 0 ? item.font().pixelSize() * scale : item.font().pointSizeF() * scale;
    c.angle = -std::atan2(transform_.m12(), transform_.m11()) * 180 / M_PI;
    if (std::abs(c.angle) < 1e-9) c.angle = 0;
    c.brush = QColor();
  }
  void drawImage(const QRectF &r, const QImage &, const QRectF &, Qt::ImageConversionFlags) override {
    Add(DrawCall::Image, transform_.mapRect(r));
  }
  void drawPixmap(const QRectF &r, const QPixmap &, const QRectF &) override {
    Add(DrawCall::Image, transform_.mapRect(r));
  }

private:
  DrawCall &Add(DrawCall::Kind kind, const QRectF &bounds) {
    DrawCall c;
    c.kind = kind;
    c.bounds = bounds;
    if (pen_.style() != Qt::NoPen) c.penWidth = pen_.widthF();
    if (brush_.style() != Qt::NoBrush) c.brush = brush_.color();
    c.clipped = clipped_;
    calls.push_back(c);
    return calls.back();
  }

  QPen pen_;
  QBrush brush_;
  QTransform transform_;
  bool clipped_ = false;
};

class RecordingDevice : public QPaintDevice {
public:
  RecordingDevice(int width, int height) : width_(width), height_(height) {}
  ~RecordingDevice() override = default;
  QPaintEngine *paintEngine() const override { return &engine_; }
  int devType() const override { return QInternal::CustomRaster; }
  std::vector<DrawCall> &Calls() { return engine_.calls; }
  // What was drawn, one description a call.
  QStringList Described() const {
    QStringList out;
    for (const DrawCall &c : engine_.calls) out << c.Describe();
    return out;
  }

protected:
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
    case PdmWidth: return width_;
    case PdmHeight: return height_;
    case PdmWidthMM: return width_ * 254 / 960;
    case PdmHeightMM: return height_ * 254 / 960;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return 96;
    case PdmDepth: return 32;
    case PdmNumColors: return 1 << 24;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
    default: return 0;
    }
  }

private:
  int width_;
  int height_;
  mutable RecordingEngine engine_;
};

} // namespace test
