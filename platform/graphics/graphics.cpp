#include "platform/graphics/graphics.h"
#include "platform/graphics/font_substitution.h"
#include <QFontMetricsF>
#include <QHash>
#include <QMutex>
#include <cmath>

namespace {

// The default font of forms: "MS Sans Serif" at 8 points, drawn by its metric twin.
const QString kDefaultFontName = QStringLiteral("MS Sans Serif");
constexpr int kDefaultFontPoints = 8;

// Ascent plus descent per pixel of em size for a family, to turn a cell height into an em size.
double CellPerEm(const QFont &font) {
  static QMutex mutex;
  static QHash<QString, double> cache;
  const QString key = font.family() + QLatin1Char('/') + QString::number(font.weight()) +
                      (font.italic() ? QLatin1String("i") : QLatin1String(""));
  QMutexLocker lock(&mutex);
  auto it = cache.constFind(key);
  if (it != cache.constEnd()) return *it;
  QFont probe = font;
  probe.setPixelSize(200);
  const QFontMetricsF m(probe);
  const double ratio = (m.ascent() + m.descent()) / 200.0;
  const double result = ratio > 0.1 ? ratio : 1.0;
  cache.insert(key, result);
  return result;
}

} // namespace

// ---- TFont ----

TFont::TFont() : name_(kDefaultFontName), height_(-kDefaultFontPoints * kScreenPixelsPerInch / 72.0) {}

void TFont::Assign(const TPersistent *source) {
  if (auto font = dynamic_cast<const TFont *>(source)) {
    name_ = font->name_;
    // Same resolution: the same pixels; another resolution: the same size in points.
    height_ = font->height_ * pixelsPerInch_ / font->pixelsPerInch_;
    style_ = font->style_;
    color_ = font->color_;
    charset_ = font->charset_;
    pitch_ = font->pitch_;
    orientation_ = font->orientation_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TFont::SetName(const QString &name) {
  if (name.isEmpty() || name == name_) return;
  name_ = name;
  Changed();
}

int TFont::Size() const { return static_cast<int>(std::lround(-height_ * 72.0 / pixelsPerInch_)); }

void TFont::SetSize(int points) { SetExactHeight(-static_cast<double>(points) * pixelsPerInch_ / 72.0); }

int TFont::Height() const { return static_cast<int>(std::lround(height_)); }

void TFont::SetHeight(int pixels) { SetExactHeight(pixels); }

void TFont::SetExactHeight(double pixels) {
  if (pixels == height_) return;
  height_ = pixels;
  Changed();
}

void TFont::SetPixelsPerInch(int ppi) {
  if (ppi <= 0 || ppi == pixelsPerInch_) return;
  // The class library keeps Height; a fractional height from a Size in points is kept as it was.
  pixelsPerInch_ = ppi;
}

void TFont::MoveToResolution(int ppi) {
  if (ppi <= 0 || ppi == pixelsPerInch_) return;
  height_ = height_ * ppi / pixelsPerInch_;
  pixelsPerInch_ = ppi;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

void TFont::SetOrientation(int tenthsOfDegree) {
  if (tenthsOfDegree == orientation_) return;
  orientation_ = tenthsOfDegree;
  Changed();
}

QFont TFont::QtFontAtPixels(int pixelSize) const {
  QFont font(SubstituteFontFamily(name_, pitch_ == fpFixed));
  font.setPixelSize(std::max(1, pixelSize));
  font.setBold(style_ & fsBold);
  font.setItalic(style_ & fsItalic);
  font.setUnderline(style_ & fsUnderline);
  font.setStrikeOut(style_ & fsStrikeOut);
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferNoHinting);
  if (pitch_ == fpFixed) font.setStyleHint(QFont::TypeWriter);
  return font;
}

double TFont::EmPixels(double deviceDpi) const {
  double height = height_;
  if (height == 0) height = -kDefaultFontPoints * static_cast<double>(pixelsPerInch_) / 72.0;
  const double pixels = std::abs(height) * deviceDpi / pixelsPerInch_;
  if (height < 0) return pixels;
  // A cell height includes the internal leading: take the em size whose ascent plus descent fills it.
  return pixels / CellPerEm(QtFontAtPixels(100));
}

QFont TFont::ToQFont() const {
  return QtFontAtPixels(static_cast<int>(std::lround(EmPixels(kScreenPixelsPerInch))));
}

// ---- TPen ----

void TPen::Assign(const TPersistent *source) {
  if (auto pen = dynamic_cast<const TPen *>(source)) {
    color_ = pen->color_;
    width_ = pen->width_;
    style_ = pen->style_;
    mode_ = pen->mode_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 0 || width == width_) return;
  width_ = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  Changed();
}

// ---- TBrush ----

void TBrush::Assign(const TPersistent *source) {
  if (auto brush = dynamic_cast<const TBrush *>(source)) {
    color_ = brush->color_;
    style_ = brush->style_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TBrush::SetColor(TColor color) {
  if (color == clNone) {
    if (style_ == bsClear) return;
    style_ = bsClear;
    Changed();
    return;
  }
  if (color == color_ && style_ != bsClear) return;
  color_ = color;
  // Giving a clear brush a colour makes it solid again.
  if (style_ == bsClear) style_ = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}
