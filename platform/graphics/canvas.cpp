#include "platform/graphics/canvas.h"
#include "platform/graphics/bitmap.h"
#include <QGlyphRun>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QWidget>
#include <cmath>

namespace {

bool IsPaged(const QPaintDevice *device) {
  return dynamic_cast<const QPagedPaintDevice *>(device) != nullptr;
}

int Round(double v) { return static_cast<int>(std::lround(v)); }

// Dash patterns of one-pixel pens, in pixels on and off.
const std::vector<int> &DashPattern(TPenStyle style) {
  static const std::vector<int> none;
  static const std::vector<int> dash{18, 6};
  static const std::vector<int> dot{3, 3};
  static const std::vector<int> dashDot{9, 6, 3, 6};
  static const std::vector<int> dashDotDot{9, 3, 3, 3, 3, 3};
  switch (style) {
  case psDash: return dash;
  case psDot: return dot;
  case psDashDot: return dashDot;
  case psDashDotDot: return dashDotDot;
  default: return none;
  }
}

bool DashOn(const std::vector<int> &pattern, int phase) {
  if (pattern.empty()) return true;
  int period = 0;
  for (int n : pattern) period += n;
  int pos = phase % period;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pos < pattern[i]) return i % 2 == 0;
    pos -= pattern[i];
  }
  return true;
}

bool HasRasterOps(QPainter &p) {
  return p.paintEngine() && p.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
}

// Restores the painter's state when a drawing operation ends.
class SavedState {
public:
  explicit SavedState(QPainter &p) : p_(p) { p_.save(); }
  ~SavedState() { p_.restore(); }
  SavedState(const SavedState &) = delete;
  SavedState &operator=(const SavedState &) = delete;

private:
  QPainter &p_;
};

} // namespace

// ---- device capabilities ----

int DeviceCaps(const QPaintDevice *device, int index) {
  if (!device) return 0;
  const bool paged = IsPaged(device);
  const int dpiX = paged ? device->logicalDpiX() : kScreenPixelsPerInch;
  const int dpiY = paged ? device->logicalDpiY() : kScreenPixelsPerInch;
  QRect full(0, 0, device->width(), device->height());
  QRect paint = full;
  if (paged) {
    const QPageLayout layout = static_cast<const QPagedPaintDevice *>(device)->pageLayout();
    full = layout.fullRectPixels(dpiX);
    paint = layout.paintRectPixels(dpiX);
    if (dpiX != dpiY) { // layouts count in one resolution; scale the vertical values
      full.setHeight(Round(full.height() * double(dpiY) / dpiX));
      paint = QRect(paint.left(), Round(paint.top() * double(dpiY) / dpiX), paint.width(),
                    Round(paint.height() * double(dpiY) / dpiX));
    }
  }
  switch (index) {
  case HORZRES: return paint.width();
  case VERTRES: return paint.height();
  case HORZSIZE: return Round(paint.width() * 25.4 / dpiX);
  case VERTSIZE: return Round(paint.height() * 25.4 / dpiY);
  case BITSPIXEL: return paged ? 24 : std::max(device->depth(), 1);
  case LOGPIXELSX: return dpiX;
  case LOGPIXELSY: return dpiY;
  case PHYSICALWIDTH: return paged ? full.width() : 0;
  case PHYSICALHEIGHT: return paged ? full.height() : 0;
  case PHYSICALOFFSETX: return paged ? paint.left() : 0;
  case PHYSICALOFFSETY: return paged ? paint.top() : 0;
  default: return 0;
  }
}

// ---- target ----

TCanvas::TCanvas() { font_.OnChange = TNotifyEvent(this, &TCanvas::FontChanged); }

TCanvas::TCanvas(QPaintDevice *device) : TCanvas() { SetDevice(device); }

TCanvas::~TCanvas() { Release(); }

void TCanvas::SetDevice(QPaintDevice *device) {
  Release();
  painter_ = nullptr;
  device_ = device;
  DeviceChanged();
}

void TCanvas::SetMeasureDevice(QPaintDevice *device) {
  measureDevice_ = device;
  DeviceChanged();
}

void TCanvas::DeviceChanged() {
  const QPaintDevice *measured = device_ ? device_ : measureDevice_;
  dpi_ = measured && IsPaged(measured) ? measured->logicalDpiY() : kScreenPixelsPerInch;
  font_.MoveToResolution(dpi_);
  resolvedFont_ = nullptr;
  fontCache_.clear();
}

void TCanvas::SetPainter(QPainter *painter) {
  Release();
  painter_ = painter;
  device_ = painter ? painter->device() : nullptr;
  DeviceChanged();
  if (painter_) {
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    ApplyClip();
  }
}

void TCanvas::Release() {
  if (ownPainter_) {
    if (ownPainter_->isActive()) ownPainter_->end();
    ownPainter_.reset();
    painter_ = nullptr;
  }
}

QPainter *TCanvas::Handle() { return &Painter(); }

QPainter &TCanvas::Painter() {
  if (!painter_) {
    if (!device_) throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
    ownPainter_ = std::make_unique<QPainter>();
    // An empty picture has nothing to draw on: drawing on it goes nowhere, as in the class library.
    QPaintDevice *target = device_;
    if (device_->width() <= 0 || device_->height() <= 0) {
      scratch_ = QImage(1, 1, QImage::Format_RGB32);
      target = &scratch_;
    }
    if (!ownPainter_->begin(target)) {
      ownPainter_.reset();
      throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
    }
    painter_ = ownPainter_.get();
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    ApplyClip();
  }
  return *painter_;
}

bool TCanvas::IsRaster() { return device_ && !IsPaged(device_); }

QRect TCanvas::DeviceRect() const {
  if (!device_) return QRect();
  return QRect(0, 0, device_->width(), device_->height());
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::FontChanged(TObject *) { resolvedFont_ = nullptr; }

unsigned TCanvas::SetTextAlign(unsigned align) {
  const unsigned old = textAlign_;
  textAlign_ = align;
  return old;
}

// ---- pens and brushes ----

// Sets the painter's composition for the pen's mode. Devices without raster operations (printers, PDF) draw
// an XOR pen as a plain copy.
void TCanvas::ApplyPenMode(QPainter &p) {
  if (pen_.Mode() == pmXor && HasRasterOps(p)) p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
}

// The pen as Qt draws it for wide lines and curves. Dashes and dots exist for one-pixel pens only, as in GDI.
QPen TCanvas::VectorPen(const QColor &color) const {
  QPen pen(color);
  const int width = std::max(1, pen_.Width());
  pen.setWidth(width);
  pen.setCosmetic(width == 1);
  pen.setJoinStyle(Qt::MiterJoin);
  pen.setCapStyle(width == 1 ? Qt::FlatCap : Qt::RoundCap);
  const auto &pattern = DashPattern(pen_.Style());
  if (width == 1 && !pattern.empty()) {
    QList<qreal> dashes;
    for (int n : pattern) dashes << n;
    pen.setDashPattern(dashes);
  }
  return pen;
}

QBrush TCanvas::CurrentBrush() const {
  const QColor color = ColorToQColor(brush_.Color());
  return brush_.Style() == bsClear ? QBrush(Qt::NoBrush) : QBrush(color);
}

// One pixel-exact segment from (x0, y0) up to, not including, (x1, y1); dashPhase runs on across segments.
void TCanvas::PixelSegment(int x0, int y0, int x1, int y1, const QColor &color, int &dashPhase) {
  QPainter &p = *painter_;
  const auto &pattern = DashPattern(pen_.Style());
  const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  const int sx = x1 > x0 ? 1 : -1, sy = y1 > y0 ? 1 : -1;
  if (pattern.empty() && (dx == 0 || dy == 0)) {
    // Straight solid runs are filled as rectangles.
    if (dx == 0 && dy == 0) return;
    QRect run;
    if (dy == 0)
      run = sx > 0 ? QRect(x0, y0, dx, 1) : QRect(x1 + 1, y0, dx, 1);
    else
      run = sy > 0 ? QRect(x0, y0, 1, dy) : QRect(x0, y1 + 1, 1, dy);
    p.fillRect(run, color);
    dashPhase += std::max(dx, dy);
    return;
  }
  QPolygon points;
  points.reserve(std::max(dx, dy));
  int x = x0, y = y0;
  const int steps = std::max(dx, dy);
  int err = (dx >= dy ? dx : dy) / 2;
  for (int i = 0; i < steps; ++i) {
    if (DashOn(pattern, dashPhase++)) points << QPoint(x, y);
    if (dx >= dy) {
      x += sx;
      err -= dy;
      if (err < 0) {
        y += sy;
        err += dx;
      }
    } else {
      y += sy;
      err -= dx;
      if (err < 0) {
        x += sx;
        err += dy;
      }
    }
  }
  if (points.isEmpty()) return;
  p.setPen(QPen(color, 1));
  p.drawPoints(points);
}

void TCanvas::StrokePolyline(const std::vector<QPoint> &points, bool closed) {
  if (pen_.Style() == psClear || points.size() < 2) return;
  QPainter &p = Painter();
  SavedState state(p);
  const QColor color = ColorToQColor(pen_.Color());
  ApplyPenMode(p);
  if (IsRaster() && pen_.Width() <= 1) {
    int phase = 0;
    for (size_t i = 0; i + 1 < points.size(); ++i)
      PixelSegment(points[i].x(), points[i].y(), points[i + 1].x(), points[i + 1].y(), color, phase);
    if (closed)
      PixelSegment(points.back().x(), points.back().y(), points[0].x(), points[0].y(), color, phase);
    return;
  }
  // Wide pens and paged devices: Qt strokes the line through the pixel centres.
  QPolygonF line;
  for (const QPoint &pt : points) line << QPointF(pt) + QPointF(0.5, 0.5);
  p.setPen(VectorPen(color));
  p.setBrush(Qt::NoBrush);
  if (closed)
    p.drawPolygon(line);
  else
    p.drawPolyline(line);
}

void TCanvas::FillPath(const QPainterPath &path) {
  if (brush_.Style() == bsClear) return;
  QPainter &p = Painter();
  SavedState state(p);
  p.fillPath(path, CurrentBrush());
}

void TCanvas::StrokePath(const QPainterPath &path) {
  if (pen_.Style() == psClear) return;
  QPainter &p = Painter();
  SavedState state(p);
  const QColor color = ColorToQColor(pen_.Color());
  ApplyPenMode(p);
  p.strokePath(path, VectorPen(color));
}

// ---- lines and shapes ----

void TCanvas::LineTo(int x, int y) {
  Changing();
  StrokePolyline({penPos_.ToQPoint(), QPoint(x, y)}, false);
  penPos_ = {x, y};
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint> &points) {
  if (points.empty()) return;
  Changing();
  std::vector<QPoint> pts;
  for (const TPoint &pt : points) pts.push_back(pt.ToQPoint());
  StrokePolyline(pts, false);
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint> &points) {
  if (points.size() < 2) return;
  Changing();
  QPolygonF area;
  std::vector<QPoint> pts;
  // The outline is drawn through the pixels of the points, so the area is taken through their centres too:
  // a slanting edge then leaves no unfilled pixels between the fill and the outline.
  for (const TPoint &pt : points) {
    area << QPointF(pt.X + 0.5, pt.Y + 0.5);
    pts.push_back(pt.ToQPoint());
  }
  // Filled by pixel centres inside the outline, alternate rule.
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  path.addPolygon(area);
  path.closeSubpath();
  FillPath(path);
  StrokePolyline(pts, true);
  Changed();
}

namespace {

// Puts a rectangle's corners in order; false when it encloses nothing, and so draws nothing.
bool OrderCorners(int &left, int &top, int &right, int &bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  return right != left && bottom != top;
}

} // namespace

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (!OrderCorners(left, top, right, bottom)) return;
  Changing();
  const bool pen = pen_.Style() != psClear;
  const int width = std::max(1, pen_.Width());
  if (brush_.Style() != bsClear) {
    QPainter &p = Painter();
    QRect inside(left, top, right - left, bottom - top);
    if (!pen)
      inside.adjust(0, 0, -1, -1); // without a pen GDI leaves out the last row and column
    else if (width == 1)
      inside.adjust(1, 1, -1, -1);
    if (!inside.isEmpty()) p.fillRect(inside, CurrentBrush());
  }
  if (pen) {
    if (width == 1 || pen_.Style() != psInsideFrame) {
      if (width == 1 && IsRaster()) {
        StrokePolyline({QPoint(left, top), QPoint(right - 1, top), QPoint(right - 1, bottom - 1),
                        QPoint(left, bottom - 1)},
                       true);
      } else {
        QPainterPath path;
        path.addRect(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
        StrokePath(path);
      }
    } else {
      const double half = width / 2.0;
      QPainterPath path;
      path.addRect(QRectF(left + half, top + half, right - left - width, bottom - top - width));
      StrokePath(path);
    }
  }
  Changed();
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
  if (!OrderCorners(left, top, right, bottom)) return;
  Changing();
  const QRectF outline(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1);
  QPainterPath path;
  path.addRoundedRect(outline, ellipseWidth / 2.0, ellipseHeight / 2.0);
  FillPath(path);
  StrokePath(path);
  Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  if (!OrderCorners(left, top, right, bottom)) return;
  Changing();
  QRectF outline(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1);
  if (pen_.Style() == psInsideFrame && pen_.Width() > 1) {
    const double inset = (pen_.Width() - 1) / 2.0;
    outline.adjust(inset, inset, -inset, -inset);
  }
  QPainterPath path;
  path.addEllipse(outline);
  FillPath(path);
  StrokePath(path);
  Changed();
}

void TCanvas::FillRect(const TRect &r) {
  if (r.IsEmpty() || brush_.Style() == bsClear) return;
  Changing();
  Painter().fillRect(r.ToQRect(), CurrentBrush());
  Changed();
}

void TCanvas::FrameRect(const TRect &r) {
  if (r.IsEmpty() || brush_.Style() == bsClear) return;
  Changing();
  QPainter &p = Painter();
  const QBrush brush = CurrentBrush();
  const int w = r.Width(), h = r.Height();
  p.fillRect(QRect(r.Left, r.Top, w, 1), brush);
  if (h > 1) p.fillRect(QRect(r.Left, r.Bottom - 1, w, 1), brush);
  if (h > 2) {
    p.fillRect(QRect(r.Left, r.Top + 1, 1, h - 2), brush);
    if (w > 1) p.fillRect(QRect(r.Right - 1, r.Top + 1, 1, h - 2), brush);
  }
  Changed();
}

void TCanvas::DrawFocusRect(const TRect &r) {
  if (r.IsEmpty()) return;
  Changing();
  QPainter &p = Painter();
  SavedState state(p);
  // Every other pixel of the outer ring is inverted; the dots line up the same way each time.
  QPolygon dots;
  auto add = [&](int x, int y) {
    if (((x + y) & 1) == 0) dots << QPoint(x, y);
  };
  for (int x = r.Left; x < r.Right; ++x) {
    add(x, r.Top);
    if (r.Bottom - 1 > r.Top) add(x, r.Bottom - 1);
  }
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    add(r.Left, y);
    if (r.Right - 1 > r.Left) add(r.Right - 1, y);
  }
  if (HasRasterOps(p)) {
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.setPen(QPen(Qt::black, 1));
  } else {
    p.setPen(QPen(Qt::black, 1));
  }
  p.drawPoints(dots);
  Changed();
}

// ---- pixels ----

TColor TCanvas::Pixel(int x, int y) {
  auto *image = dynamic_cast<QImage *>(device_);
  if (!image || !image->rect().contains(x, y)) return -1;
  return QColorToColor(QColor(image->pixel(x, y)));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  Changing();
  Painter().fillRect(QRect(x, y, 1, 1), ColorToQColor(color));
  Changed();
}

// ---- fonts and text ----

const TCanvas::ResolvedFont &TCanvas::CurrentFont() {
  if (resolvedFont_) return *resolvedFont_;
  const FontKey key{font_.Name(),         font_.EmPixels(dpi_), int(font_.Style()),
                    int(font_.Charset()), int(font_.Pitch()),   font_.Orientation()};
  for (auto &[known, resolved] : fontCache_)
    if (known == key) return *(resolvedFont_ = resolved.get());
  {
    ResolvedFont f;
    const double em = font_.EmPixels(dpi_);
    const int pixels = std::max(1, Round(em));
    f.font = font_.QtFontAtPixels(pixels);
    f.scale = em > 0 ? em / pixels : 1.0;
    QPaintDevice *measured = device_ ? device_ : measureDevice_;
    f.metrics = measured ? QFontMetricsF(f.font, measured) : QFontMetricsF(f.font);
    const double k = f.scale;
    f.tm.tmAscent = Round(f.metrics.ascent() * k);
    f.tm.tmDescent = Round(f.metrics.descent() * k);
    f.tm.tmHeight = f.tm.tmAscent + f.tm.tmDescent;
    f.tm.tmInternalLeading = std::max(0, f.tm.tmHeight - Round(em));
    f.tm.tmExternalLeading = std::max(0, Round(f.metrics.leading() * k));
    f.tm.tmAveCharWidth = Round(f.metrics.averageCharWidth() * k);
    f.tm.tmMaxCharWidth = Round(f.metrics.maxWidth() * k);
    if (measured && IsPaged(measured) && k != 1.0 && !(font_.Style() & (fsUnderline | fsStrikeOut))) {
      QRawFont exact = QRawFont::fromFont(f.font);
      if (exact.isValid()) {
        exact.setPixelSize(em);
        f.exact = exact;
      }
    }
    if (fontCache_.size() >= 16) fontCache_.erase(fontCache_.begin());
    fontCache_.emplace_back(key, std::make_unique<ResolvedFont>(std::move(f)));
    resolvedFont_ = fontCache_.back().second.get();
  }
  return *resolvedFont_;
}

int TCanvas::TextWidth(const QString &text) {
  const ResolvedFont &f = CurrentFont();
  return Round(f.metrics.horizontalAdvance(text) * f.scale);
}

int TCanvas::TextHeight(const QString &) { return CurrentFont().tm.tmHeight; }

TTextMetric TCanvas::TextMetrics() { return CurrentFont().tm; }

// Width of a line whose tabs jump to the next multiple of tabWidth (no tab expansion when tabWidth is 0).
double TCanvas::MeasureLine(const QString &text, double tabWidth) {
  const ResolvedFont &f = CurrentFont();
  if (tabWidth <= 0 || !text.contains(QLatin1Char('\t'))) return f.metrics.horizontalAdvance(text) * f.scale;
  double x = 0;
  const QStringList parts = text.split(QLatin1Char('\t'));
  for (qsizetype i = 0; i < parts.size(); ++i) {
    x += f.metrics.horizontalAdvance(parts[i]) * f.scale;
    if (i + 1 < parts.size()) x = (std::floor(x / tabWidth) + 1) * tabWidth;
  }
  return x;
}

// Draws one line of text whose cell top is at `top`, in the font's colour, without background.
void TCanvas::DrawTextLine(double x, double top, const QString &text, double tabWidth) {
  const ResolvedFont &f = CurrentFont();
  QPainter &p = *painter_;
  // A painter drawing line after line in one font and colour is not told them again.
  const QColor color = ColorToQColor(font_.Color());
  if (p.pen().color() != color || p.pen().style() != Qt::SolidLine) p.setPen(color);
  auto drawPiece = [&](double px, const QString &piece) {
    if (piece.isEmpty()) return;
    const double baseline = top + f.tm.tmAscent;
    if (f.exact && DrawExactText(px, baseline, piece)) return;
    if (p.font() != f.font) p.setFont(f.font);
    if (f.scale == 1.0) {
      p.drawText(QPointF(px, baseline), piece);
    } else {
      // Scaled about the baseline's start; the transform alone goes back afterwards.
      const QTransform before = p.worldTransform();
      p.setWorldTransform(QTransform(f.scale, 0, 0, f.scale, px, baseline) * before);
      p.drawText(QPointF(0, 0), piece);
      p.setWorldTransform(before);
    }
  };
  if (tabWidth <= 0 || !text.contains(QLatin1Char('\t'))) {
    drawPiece(x, text);
    return;
  }
  double pos = 0;
  const QStringList parts = text.split(QLatin1Char('\t'));
  for (qsizetype i = 0; i < parts.size(); ++i) {
    drawPiece(x + pos, parts[i]);
    pos += f.metrics.horizontalAdvance(parts[i]) * f.scale;
    if (i + 1 < parts.size()) pos = (std::floor(pos / tabWidth) + 1) * tabWidth;
  }
}

namespace {

// Where a line of text starts relative to its reference point, as the text alignment flags place it.
QPoint AlignedTextOffset(unsigned textAlign, int width, const TTextMetric &tm) {
  int dx = 0, dy = 0;
  if ((textAlign & TA_CENTER) == TA_CENTER)
    dx = -width / 2;
  else if (textAlign & TA_RIGHT)
    dx = -width;
  if ((textAlign & TA_BASELINE) == TA_BASELINE)
    dy = -tm.tmAscent;
  else if (textAlign & TA_BOTTOM)
    dy = -tm.tmHeight;
  return {dx, dy};
}

} // namespace

void TCanvas::TextOut(int x, int y, const QString &text) {
  Changing();
  QPainter &p = Painter();
  const TTextMetric tm = CurrentFont().tm;
  const int width = TextWidth(text);
  if (textAlign_ & TA_UPDATECP) {
    x = penPos_.X;
    y = penPos_.Y;
  }
  const QPoint offset = AlignedTextOffset(textAlign_, width, tm);
  const int dx = offset.x(), dy = offset.y();
  {
    SavedState state(p);
    // The text turns about its reference point.
    p.translate(x, y);
    if (font_.Orientation() != 0) p.rotate(-font_.Orientation() / 10.0);
    if (brush_.Style() == bsSolid)
      p.fillRect(QRect(dx, dy, width, tm.tmHeight), ColorToQColor(brush_.Color()));
    DrawTextLine(dx, dy, text, 0);
  }
  if (textAlign_ & TA_UPDATECP) {
    if ((textAlign_ & TA_CENTER) != TA_CENTER) penPos_.X = (textAlign_ & TA_RIGHT) ? x - width : x + width;
  } else {
    penPos_ = {x + width, y};
  }
  Changed();
}

void TCanvas::TextRect(const TRect &r, int x, int y, const QString &text) {
  Changing();
  QPainter &p = Painter();
  if (brush_.Style() == bsSolid) p.fillRect(r.ToQRect(), ColorToQColor(brush_.Color()));
  const TTextMetric tm = CurrentFont().tm;
  // Only text set to the right of or about its point is measured; text that surely lies inside the rectangle
  // is drawn without a clip of its own (which a vector device would have to write for every text).
  const int width = (textAlign_ & (TA_CENTER | TA_RIGHT)) ? TextWidth(text) : 0;
  const QPoint offset = AlignedTextOffset(textAlign_, width, tm);
  const bool upright = font_.Orientation() == 0;
  if (upright && TextSurelyInside(r, x + offset.x(), y + offset.y(), text)) {
    DrawTextLine(x + offset.x(), y + offset.y(), text, 0);
  } else {
    SavedState state(p);
    p.setClipRect(r.ToQRect(), Qt::IntersectClip);
    p.translate(x, y);
    if (!upright) p.rotate(-font_.Orientation() / 10.0);
    DrawTextLine(offset.x(), offset.y(), text, 0);
  }
  Changed();
}

namespace {

// Text drawn character by character as the font's glyphs side by side, as it is drawn whole: characters of
// the scripts up to Armenian that need no shaping, without controls, combining marks or soft hyphens.
bool IsPlainChar(QChar c) {
  const char16_t u = c.unicode();
  if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0xAD || u >= 0x0590) return false;
  if (u < 0x0300) return true;
  const QChar::Category category = c.category();
  return category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining &&
         category != QChar::Mark_Enclosing;
}

} // namespace

const TCanvas::CharMetrics &TCanvas::CharOf(ResolvedFont &f, QChar c) {
  const char16_t u = c.unicode();
  CharMetrics *known = nullptr;
  if (u < f.latin.size()) {
    known = &f.latin[u];
  } else {
    auto it = f.others.find(u);
    if (it == f.others.end()) it = f.others.insert(u, CharMetrics{});
    known = &it.value();
  }
  CharMetrics &m = *known;
  if (m.advance >= 0) return m;
  // The advances are those of the whole-pixel font scaled, as text drawn by the painter has them.
  int count = 1;
  if (f.exact && !f.exact->glyphIndexesForChars(&c, 1, &m.glyph, &count)) m.glyph = 0;
  const double k = f.scale;
  m.advance = f.metrics.horizontalAdvance(c) * k;
  const QRectF ink = f.metrics.boundingRect(c);
  m.ink = QRectF(ink.x() * k, ink.y() * k, ink.width() * k, ink.height() * k);
  return m;
}

bool TCanvas::TextSurelyInside(const TRect &r, int left, int top, const QString &text) {
  CurrentFont();
  ResolvedFont &f = *resolvedFont_;
  // The glyphs side by side (fonts are set without kerning), each with the box of its ink; a text drawn in
  // the exact font must have every glyph there, else it is drawn otherwise.
  const double baseline = top + f.tm.tmAscent;
  QRectF ink;
  double x = left;
  for (const QChar c : text) {
    if (!IsPlainChar(c)) return false;
    const CharMetrics &m = CharOf(f, c);
    if (f.exact && m.glyph == 0) return false;
    if (!m.ink.isEmpty()) ink |= m.ink.translated(x, baseline);
    x += m.advance;
  }
  // Half a pixel to spare for the rounding of outlines and positions.
  constexpr double kSpare = 0.5;
  return ink.isEmpty() || (ink.left() - kSpare >= r.Left && ink.right() + kSpare <= r.Right &&
                           ink.top() - kSpare >= r.Top && ink.bottom() + kSpare <= r.Bottom);
}

bool TCanvas::DrawExactText(double x, double baseline, const QString &text) {
  ResolvedFont &f = *resolvedFont_;
  QList<quint32> glyphs;
  QList<QPointF> positions;
  glyphs.reserve(text.size());
  positions.reserve(text.size());
  double pen = 0;
  for (const QChar c : text) {
    if (!IsPlainChar(c)) return false;
    const CharMetrics &m = CharOf(f, c);
    if (m.glyph == 0) return false;
    glyphs.append(m.glyph);
    positions.append(QPointF(pen, 0));
    pen += m.advance;
  }
  QGlyphRun run;
  run.setRawFont(*f.exact);
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  painter_->drawGlyphRun(QPointF(x, baseline), run);
  return true;
}

// ---- DrawText ----

struct TCanvas::Layout {
  struct Line {
    QString text;
    std::vector<int> underlined; // positions of characters marked by '&'
    double width = 0;
  };
  std::vector<Line> lines;
};

namespace {

// Removes '&' prefixes: "&&" stands for '&', and "&x" marks x (its position is returned).
QString StripPrefixes(const QString &text, std::vector<int> &marks) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
      ++i;
      if (text[i] != QLatin1Char('&')) marks.push_back(static_cast<int>(out.size()));
    } else if (text[i] == QLatin1Char('&')) {
      continue; // a lone '&' at the end shows nothing
    }
    out += text[i];
  }
  return out;
}

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

} // namespace

int TCanvas::DrawText(const QString &source, TRect &r, unsigned format) {
  unsigned tabChars = 8;
  if (format & DT_TABSTOP) {
    tabChars = (format >> 8) & 0xFF;
    format &= ~0xFF00u;
    if (tabChars == 0) tabChars = 8;
  }
  const TTextMetric tm = CurrentFont().tm;
  const double tabWidth = (format & DT_EXPANDTABS) ? double(tabChars) * tm.tmAveCharWidth : 0;
  const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  const double available = r.Width();

  // Prefixes, then paragraphs.
  std::vector<int> marks;
  QString text = source;
  if (!(format & DT_NOPREFIX)) text = StripPrefixes(source, marks);
  if (format & DT_HIDEPREFIX) marks.clear();

  struct Paragraph {
    QString text;
    int start;
  };
  std::vector<Paragraph> paragraphs;
  if (format & DT_SINGLELINE) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    paragraphs.push_back({line, 0});
  } else {
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n')) {
        paragraphs.push_back({text.mid(start, i - start), static_cast<int>(start)});
        if (i < text.size() && text[i] == QLatin1Char('\r') && i + 1 < text.size() &&
            text[i + 1] == QLatin1Char('\n'))
          ++i;
        start = i + 1;
      }
    }
    // A final line break ends the last line; it does not start an empty one.
    if (paragraphs.size() > 1 && paragraphs.back().text.isEmpty()) paragraphs.pop_back();
    if (text.isEmpty()) paragraphs.clear();
  }

  // Lines, breaking paragraphs between words when asked.
  Layout layout;
  auto addLine = [&](const QString &lineText, int start) {
    Layout::Line line;
    line.text = lineText;
    for (int m : marks)
      if (m >= start && m < start + lineText.size()) line.underlined.push_back(m - start);
    line.width = MeasureLine(lineText, tabWidth);
    layout.lines.push_back(line);
  };
  const bool wordBreak = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
  for (const Paragraph &para : paragraphs) {
    if (!wordBreak || MeasureLine(para.text, tabWidth) <= available) {
      addLine(para.text, para.start);
      continue;
    }
    const QString &s = para.text;
    qsizetype lineStart = 0;
    while (lineStart < s.size()) {
      // Take words while they fit; the blanks at a break belong to neither line.
      qsizetype end = lineStart, fitEnd = -1;
      while (end < s.size()) {
        qsizetype wordEnd = end;
        while (wordEnd < s.size() && IsBlank(s[wordEnd])) ++wordEnd;
        while (wordEnd < s.size() && !IsBlank(s[wordEnd])) ++wordEnd;
        if (MeasureLine(s.mid(lineStart, wordEnd - lineStart), tabWidth) > available && fitEnd >= 0) break;
        if (fitEnd < 0 && MeasureLine(s.mid(lineStart, wordEnd - lineStart), tabWidth) > available) {
          // A word longer than the line: alone on its line, or cut where it overflows for edit controls.
          if (format & DT_EDITCONTROL) {
            qsizetype cut = lineStart + 1;
            while (cut < wordEnd && MeasureLine(s.mid(lineStart, cut + 1 - lineStart), tabWidth) <= available)
              ++cut;
            fitEnd = cut;
          } else {
            fitEnd = wordEnd;
          }
          end = fitEnd;
          break;
        }
        fitEnd = wordEnd;
        end = wordEnd;
      }
      qsizetype lineEnd = fitEnd;
      while (lineEnd > lineStart && IsBlank(s[lineEnd - 1])) --lineEnd;
      addLine(s.mid(lineStart, lineEnd - lineStart), para.start + static_cast<int>(lineStart));
      lineStart = fitEnd;
      while (lineStart < s.size() && IsBlank(s[lineStart])) ++lineStart;
    }
  }

  if (format & DT_END_ELLIPSIS) {
    const QString dots = QStringLiteral("...");
    for (Layout::Line &line : layout.lines) {
      if (line.width <= available) continue;
      QString cut = line.text;
      while (!cut.isEmpty() && MeasureLine(cut + dots, tabWidth) > available) cut.chop(1);
      line.text = cut + dots;
      line.width = MeasureLine(line.text, tabWidth);
      std::erase_if(line.underlined, [&](int m) { return m >= cut.size(); });
    }
  }

  const int textHeight = static_cast<int>(layout.lines.size()) * lineHeight;
  int top = r.Top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER)
      top = r.Top + (r.Height() - lineHeight) / 2;
    else if (format & DT_BOTTOM)
      top = r.Bottom - lineHeight;
  }

  if (format & DT_CALCRECT) {
    double widest = 0;
    for (const auto &line : layout.lines) widest = std::max(widest, line.width);
    r.Right = r.Left + static_cast<int>(std::ceil(widest - 1e-6));
    r.Bottom = r.Top + textHeight;
    return textHeight;
  }

  Changing();
  QPainter &p = Painter();
  {
    SavedState state(p);
    if (!(format & DT_NOCLIP)) p.setClipRect(r.ToQRect(), Qt::IntersectClip);
    const ResolvedFont &f = CurrentFont();
    int y = top;
    for (const auto &line : layout.lines) {
      double x = r.Left;
      if (format & DT_CENTER)
        x = r.Left + (available - line.width) / 2;
      else if (format & DT_RIGHT)
        x = r.Right - line.width;
      x = std::floor(x);
      if (brush_.Style() == bsSolid)
        p.fillRect(QRect(int(x), y, static_cast<int>(std::ceil(line.width)), lineHeight),
                   ColorToQColor(brush_.Color()));
      DrawTextLine(x, y, line.text, tabWidth);
      for (int m : line.underlined) {
        const double from = x + MeasureLine(line.text.left(m), tabWidth);
        const double to = x + MeasureLine(line.text.left(m + 1), tabWidth);
        const int underlineY = y + tm.tmAscent + std::max(1, Round(f.metrics.underlinePos() * f.scale));
        p.fillRect(
            QRectF(from, underlineY, to - from, std::max(1.0, std::round(f.metrics.lineWidth() * f.scale))),
            ColorToQColor(font_.Color()));
      }
      y += lineHeight;
    }
  }
  Changed();
  return (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)) ? top + textHeight - r.Top
                                                                         : textHeight;
}

// ---- pictures ----

void TCanvas::Draw(int x, int y, const TGraphic *graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect &r, const TGraphic *graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  graphic->Draw(this, r);
  Changed();
}

namespace {

// The part of Image that Source names, reduced to the device pixels it covers when it has many more, so that
// a large picture drawn small (a camera-sized logo on an invoice) is neither drawn pixel by pixel nor kept
// whole in a printed document. The last reduction is kept for the next paint of the same picture.
QImage Reduced(const QImage &image, const QRect &source, const QSizeF &device) {
  const QSize target(std::max(1, int(std::ceil(device.width()))),
                     std::max(1, int(std::ceil(device.height()))));
  static QImage cached;
  static qint64 cachedKey = 0;
  static QRect cachedSource;
  if (cachedKey != image.cacheKey() || cachedSource != source || cached.size() != target) {
    cached = image.copy(source).scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    cachedKey = image.cacheKey();
    cachedSource = source;
  }
  return cached;
}

} // namespace

void TCanvas::DrawImage(const TRect &dest, const QImage &image, const QRect &source) {
  if (dest.IsEmpty() || image.isNull() || source.isEmpty()) return;
  QPainter &p = Painter();
  SavedState state(p);
  // Stretched pictures (a logo in a report, a scaled preview) are smoothed.
  p.setRenderHint(QPainter::SmoothPixmapTransform,
                  dest.Width() != source.width() || dest.Height() != source.height());
  const QSizeF device = p.deviceTransform().mapRect(QRectF(dest.ToQRect())).size();
  if (source.width() > 2 * device.width() && source.height() > 2 * device.height()) {
    const QImage reduced = Reduced(image, source, device);
    p.drawImage(dest.ToQRect(), reduced, reduced.rect());
    return;
  }
  p.drawImage(dest.ToQRect(), image, source);
}

void TCanvas::BrushCopy(const TRect &dest, const TBitmap *bitmap, const TRect &source, TColor color) {
  if (!bitmap || bitmap->Empty() || dest.IsEmpty()) return;
  Changing();
  QImage pixels = bitmap->Image().copy(source.ToQRect()).convertToFormat(QImage::Format_ARGB32);
  const QRgb key = ColorToQColor(color).rgb() & 0xFFFFFF;
  const QRgb replacement = brush_.Style() == bsClear ? 0u : ColorToQColor(brush_.Color()).rgba();
  for (int y = 0; y < pixels.height(); ++y) {
    auto *line = reinterpret_cast<QRgb *>(pixels.scanLine(y));
    for (int x = 0; x < pixels.width(); ++x)
      if ((line[x] & 0xFFFFFF) == key) line[x] = replacement;
  }
  DrawImage(dest, pixels, pixels.rect());
  Changed();
}

// ---- clipping ----

TRect TCanvas::ClipRect() {
  QRect area = DeviceRect();
  if (painter_ && painter_->paintEngine()) {
    // A paint event's region, which the paint engine keeps in the pixels of the device painted on: the
    // window's backing store or a grabbed parent's picture, where a child widget does not start at 0,0.
    const QRegion system = painter_->paintEngine()->systemClip();
    if (!system.isEmpty())
      area &= painter_->deviceTransform().inverted().mapRect(QRectF(system.boundingRect())).toAlignedRect();
  }
  if (clip_) area &= clip_->boundingRect();
  return TRect::FromQRect(area);
}

void TCanvas::ApplyClip() {
  if (!painter_) return;
  if (clip_)
    painter_->setClipRegion(*clip_);
  else
    painter_->setClipping(false);
}

void TCanvas::IntersectClipRect(const TRect &r) {
  clip_ = clip_ ? (*clip_ & r.ToQRect()) : QRegion(r.ToQRect()) & QRegion(DeviceRect());
  ApplyClip();
}

void TCanvas::ClearClipRegion() {
  clip_.reset();
  ApplyClip();
}

// ---- Win32-shaped helpers ----

int DrawText(TCanvas *canvas, const QString &text, int count, TRect *r, unsigned format) {
  if (!canvas || !r) return 0;
  return canvas->DrawText(count < 0 ? text : text.left(count), *r, format);
}

namespace {

// One ring of a 3-D frame: top and left in `topLeft`, bottom and right in `bottomRight`, on the given sides.
void Ring(TCanvas *canvas, const TRect &r, TColor topLeft, TColor bottomRight, unsigned sides) {
  if (r.IsEmpty()) return;
  QPainter *p = canvas->Handle();
  const QColor tl = ColorToQColor(topLeft), br = ColorToQColor(bottomRight);
  const int w = r.Width(), h = r.Height();
  if (sides & BF_TOP) p->fillRect(QRect(r.Left, r.Top, w, 1), tl);
  if (sides & BF_LEFT) p->fillRect(QRect(r.Left, r.Top, 1, h), tl);
  if (sides & BF_BOTTOM) p->fillRect(QRect(r.Left, r.Bottom - 1, w, 1), br);
  if (sides & BF_RIGHT) p->fillRect(QRect(r.Right - 1, r.Top, 1, h), br);
}

void Shrink(TRect &r, unsigned sides) {
  if (sides & BF_LEFT) ++r.Left;
  if (sides & BF_TOP) ++r.Top;
  if (sides & BF_RIGHT) --r.Right;
  if (sides & BF_BOTTOM) --r.Bottom;
}

} // namespace

void Frame3D(TCanvas *canvas, TRect &r, TColor topColor, TColor bottomColor, int width) {
  if (!canvas) return;
  for (int i = 0; i < width && !r.IsEmpty(); ++i) {
    // The corners top-right and bottom-left belong to the bottom colour.
    QPainter *p = canvas->Handle();
    const QColor top = ColorToQColor(topColor), bottom = ColorToQColor(bottomColor);
    p->fillRect(QRect(r.Left, r.Top, r.Width() - 1, 1), top);
    p->fillRect(QRect(r.Left, r.Top, 1, r.Height() - 1), top);
    p->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), bottom);
    p->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), bottom);
    InflateRect(r, -1, -1);
  }
}

bool DrawEdge(TCanvas *canvas, TRect &r, unsigned edge, unsigned flags) {
  if (!canvas) return false;
  TRect inner = r;
  const unsigned sides = flags & BF_RECT;
  auto ring = [&](TColor tl, TColor br) {
    Ring(canvas, inner, tl, br, sides);
    Shrink(inner, sides);
  };
  if (edge & BDR_RAISEDOUTER)
    ring(cl3DLight, cl3DDkShadow);
  else if (edge & BDR_SUNKENOUTER)
    ring(clBtnShadow, clBtnHighlight);
  if (edge & BDR_RAISEDINNER)
    ring(clBtnHighlight, clBtnShadow);
  else if (edge & BDR_SUNKENINNER)
    ring(cl3DDkShadow, cl3DLight);
  if ((flags & BF_MIDDLE) && !inner.IsEmpty())
    canvas->Handle()->fillRect(inner.ToQRect(), ColorToQColor(clBtnFace));
  if (flags & BF_ADJUST) r = inner;
  return true;
}

TRect DrawButtonFace(TCanvas *canvas, const TRect &client, int bevelWidth, bool isDown, bool isFocused) {
  TRect r = client;
  if (!canvas || r.IsEmpty()) return r;
  QPainter *p = canvas->Handle();
  if (isFocused) {
    Ring(canvas, r, clWindowFrame, clWindowFrame, BF_RECT);
    InflateRect(r, -1, -1);
  }
  if (isDown) {
    // A pressed button: a flat shadow frame around the face.
    Ring(canvas, r, clBtnShadow, clBtnShadow, BF_RECT);
    InflateRect(r, -1, -1);
    if (!r.IsEmpty()) p->fillRect(r.ToQRect(), ColorToQColor(clBtnFace));
    return r;
  }
  if (bevelWidth >= 2)
    DrawEdge(canvas, r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  else if (bevelWidth == 1)
    DrawEdge(canvas, r, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE | BF_ADJUST);
  else if (!r.IsEmpty())
    p->fillRect(r.ToQRect(), ColorToQColor(clBtnFace));
  return r;
}
