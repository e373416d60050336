#include "platform/graphics/glyph_drawing.h"
#include <QPainterPath>

namespace {
// The button face the soft edges of a glyph are blended with.
const QColor kFace(236, 236, 236);
} // namespace

QImage PaintedImage(int width, int height, const std::function<void(QPainter &)> &draw,
                    QImage::Format format) {
  QImage image(width, height, format);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  p.end();
  return image;
}

QImage GlyphPicture(int width, int height, const std::function<void(QPainter &)> &draw) {
  const QImage straight = PaintedImage(width, height, draw).convertToFormat(QImage::Format_ARGB32);
  QImage out(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const QRgb c = straight.pixel(x, y);
      const int a = qAlpha(c);
      if (a < 40) {
        out.setPixel(x, y, kGlyphTransparent);
        continue;
      }
      const auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a)) / 255; };
      QRgb pixel =
          qRgb(mix(qRed(c), kFace.red()), mix(qGreen(c), kFace.green()), mix(qBlue(c), kFace.blue()));
      // The transparent colour itself would turn a pixel of the drawing see-through.
      if (pixel == kGlyphTransparent) pixel = qRgb(128, 128, 1);
      out.setPixel(x, y, pixel);
    }
  return out;
}

QPen GlyphPen(const QColor &color, double width, Qt::PenJoinStyle join) {
  return QPen(color, width, Qt::SolidLine, Qt::RoundCap, join);
}

void DrawMagnifier(QPainter &p, QPointF centre, double radius, double handle, double rimWidth) {
  p.setPen(GlyphPen(QColor(70, 50, 30), 2 * rimWidth));
  const QPointF from = centre + QPointF(radius * 0.7, radius * 0.7);
  p.drawLine(from, from + QPointF(handle, handle));
  p.setPen(GlyphPen(QColor(40, 40, 40), rimWidth));
  QRadialGradient glass(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
  glass.setColorAt(0, Qt::white);
  glass.setColorAt(1, QColor(150, 200, 240));
  p.setBrush(glass);
  p.drawEllipse(centre, radius, radius);
}

void DrawPageUnderMagnifier(QPainter &p, double rimWidth) {
  p.setPen(GlyphPen(QColor(90, 90, 90)));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(1.5, 0.5, 9, 12));
  p.setPen(GlyphPen(QColor(150, 150, 160), 0.9));
  for (double y = 3; y < 11; y += 2) p.drawLine(QPointF(3, y), QPointF(9, y));
  DrawMagnifier(p, QPointF(9.5, 9.5), 3.3, 3.2, rimWidth);
}

void DrawOpenFolder(QPainter &p, const QRectF &back, double tabEnd, double shoulder) {
  p.setPen(GlyphPen(QColor(140, 100, 20)));
  p.setBrush(QColor(220, 170, 50));
  QPainterPath rear;
  rear.moveTo(back.left(), back.top());
  rear.lineTo(tabEnd, back.top());
  rear.lineTo(tabEnd + 1.5, shoulder);
  rear.lineTo(back.right(), shoulder);
  rear.lineTo(back.right(), back.bottom());
  rear.lineTo(back.left(), back.bottom());
  rear.closeSubpath();
  p.drawPath(rear);
  p.setBrush(QColor(250, 210, 90));
  QPainterPath front;
  front.moveTo(back.left(), back.bottom());
  front.lineTo(back.left() + 2.5, 7.5);
  front.lineTo(15.5, 7.5);
  front.lineTo(back.right(), back.bottom());
  front.closeSubpath();
  p.drawPath(front);
}
