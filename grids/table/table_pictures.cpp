#include "grids/table/table_pictures.h"
#include "platform/graphics/resources.h"
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

namespace {

QImage Blank() {
  QImage image(kIndicatorWidth, kIndicatorHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// A solid triangle pointing right, as tall as the picture.
QImage Arrow() {
  QImage image = Blank();
  QPainter p(&image);
  p.setPen(Qt::black);
  for (int x = 0; x < 5; ++x) p.drawLine(x, x, x, kIndicatorHeight - 1 - x);
  return image;
}

// An I-beam: the text cursor of a field being edited.
QImage Edit() {
  QImage image = Blank();
  QPainter p(&image);
  p.setPen(Qt::black);
  p.drawLine(0, 0, 4, 0);
  p.drawLine(2, 1, 2, kIndicatorHeight - 2);
  p.drawLine(0, kIndicatorHeight - 1, 4, kIndicatorHeight - 1);
  return image;
}

// An asterisk: a new record.
QImage Insert() {
  QImage image = Blank();
  QPainter p(&image);
  p.setPen(Qt::black);
  p.drawLine(2, 2, 2, 6);
  p.drawLine(0, 4, 4, 4);
  p.drawLine(0, 2, 4, 6);
  p.drawLine(0, 6, 4, 2);
  return image;
}

// A small column between two arrows pointing left and right.
QCursor ColumnMoveCursor() {
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawRect(12, 6, 7, 19);
  p.setBrush(Qt::black);
  p.drawPolygon(QPolygon({QPoint(2, 15), QPoint(8, 10), QPoint(8, 20)}));
  p.drawPolygon(QPolygon({QPoint(29, 15), QPoint(23, 10), QPoint(23, 20)}));
  p.end();
  return QCursor(QPixmap::fromImage(image), 15, 15);
}

} // namespace

void RegisterTablePictures() {
  static const bool registered = [] {
    RegisterBitmapResource(QString::fromLatin1(IndicatorArrowResource), Arrow);
    RegisterBitmapResource(QString::fromLatin1(IndicatorEditResource), Edit);
    RegisterBitmapResource(QString::fromLatin1(IndicatorInsertResource), Insert);
    // A cursor needs the GUI application.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
      RegisterCursorResource(QString::fromLatin1(ColumnMoveCursorResource), ColumnMoveCursor);
    return true;
  }();
  (void)registered;
}
