#include "controls/edits/calendar_glyphs.h"
#include "platform/graphics/resources.h"
#include <QPainter>
#include <QPolygon>

namespace {

// Black glyphs on white.
QImage Canvas(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

QImage Arrows(bool left, int count) {
  QImage image = Canvas(count == 1 ? 6 : 10, 9);
  QPainter p(&image);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  for (int i = 0; i < count; ++i) {
    int x = i * 4;
    QPolygon tri;
    if (left)
      tri << QPoint(x + 4, 0) << QPoint(x + 4, 8) << QPoint(x, 4);
    else
      tri << QPoint(x, 0) << QPoint(x, 8) << QPoint(x + 4, 4);
    p.drawPolygon(tri);
  }
  return image;
}

QImage Revert() {
  QImage image = Canvas(9, 9);
  QPainter p(&image);
  p.setPen(QPen(Qt::black, 1));
  p.drawArc(1, 1, 7, 7, 90 * 16, 270 * 16);
  p.setBrush(Qt::black);
  p.drawPolygon(QPolygon() << QPoint(3, 0) << QPoint(6, 2) << QPoint(3, 4));
  return image;
}

QImage Today() {
  QImage image = Canvas(9, 9);
  QPainter p(&image);
  p.setPen(Qt::black);
  p.drawRect(0, 1, 8, 7);
  p.fillRect(0, 1, 9, 2, Qt::black);
  p.fillRect(3, 5, 2, 2, Qt::red);
  return image;
}

QImage CalendarButton() {
  QImage image = Canvas(12, 11);
  QPainter p(&image);
  p.setPen(Qt::black);
  p.drawRect(0, 1, 11, 9);
  p.fillRect(0, 1, 12, 3, Qt::darkBlue);
  for (int y = 5; y < 10; y += 2)
    for (int x = 2; x < 11; x += 2) p.drawPoint(x, y);
  return image;
}

} // namespace

void RegisterCalendarGlyphs() {
  static const bool done = [] {
    RegisterBitmapResource(QStringLiteral("ORLEFTARROW"), [] { return Arrows(true, 1); });
    RegisterBitmapResource(QStringLiteral("ORRIGHTARROW"), [] { return Arrows(false, 1); });
    RegisterBitmapResource(QStringLiteral("ORLEFTARROWS"), [] { return Arrows(true, 2); });
    RegisterBitmapResource(QStringLiteral("ORRIGHTARROWS"), [] { return Arrows(false, 2); });
    RegisterBitmapResource(QStringLiteral("ORREVERT"), Revert);
    RegisterBitmapResource(QStringLiteral("ORTODAY"), Today);
    RegisterBitmapResource(QStringLiteral("ORBTNCAL"), CalendarButton);
    return true;
  }();
  (void)done;
}
