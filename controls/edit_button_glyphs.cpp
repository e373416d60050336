#include "controls/edit_button_glyphs.h"
#include "platform/resources.h"
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

const QRgb kOlive = qRgb(128, 128, 0);
// The button face the soft edges are blended with.
const QColor kFace(236, 236, 236);

// Draws antialiased on a clear image, then flattens it onto the transparent colour: clear pixels become
// olive and half-covered edge pixels are blended with the button face, so no olive fringe shows.
QImage Picture(int width, int height, const std::function<void(QPainter &)> &draw) {
  QImage art(width, height, QImage::Format_ARGB32_Premultiplied);
  art.fill(Qt::transparent);
  {
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
  }
  const QImage straight = art.convertToFormat(QImage::Format_ARGB32);
  QImage out(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const QRgb c = straight.pixel(x, y);
      const int a = qAlpha(c);
      if (a < 40) {
        out.setPixel(x, y, kOlive);
        continue;
      }
      const auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a)) / 255; };
      QRgb pixel =
          qRgb(mix(qRed(c), kFace.red()), mix(qGreen(c), kFace.green()), mix(qBlue(c), kFace.blue()));
      if (pixel == kOlive) pixel = qRgb(128, 128, 1); // olive itself would turn transparent
      out.setPixel(x, y, pixel);
    }
  return out;
}

QPen Pen(const QColor &color, double width = 1.0) {
  return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QImage Calculator() {
  return Picture(12, 14, [](QPainter &p) {
    p.setPen(Pen(QColor(60, 60, 60)));
    p.setBrush(QColor(200, 200, 205));
    p.drawRoundedRect(QRectF(0.5, 0.5, 11, 13), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 210, 160));
    p.drawRect(QRectF(2, 2, 8, 3));
    p.setBrush(QColor(50, 50, 60));
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 3; ++col) p.drawRect(QRectF(2 + col * 3, 6.5 + row * 2.3, 2, 1.5));
  });
}

// The bottom row and left column stay clear: the bottom-left pixel gives the transparent colour.
QImage Calendar() {
  return Picture(13, 13, [](QPainter &p) {
    p.setPen(Pen(QColor(70, 70, 70)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 11, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(2, 2, 10, 3));
    p.setBrush(QColor(90, 90, 100));
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 4; ++col) p.drawRect(QRectF(3 + col * 2.3, 6 + row * 1.8, 1.4, 1.1));
    p.setPen(Pen(QColor(70, 70, 70), 1.2));
    p.drawLine(QPointF(4.5, 0.5), QPointF(4.5, 2.5));
    p.drawLine(QPointF(9.5, 0.5), QPointF(9.5, 2.5));
  });
}

QImage File() {
  return Picture(16, 16, [](QPainter &p) {
    p.setPen(Pen(QColor(80, 80, 90)));
    p.setBrush(Qt::white);
    QPainterPath sheet;
    sheet.moveTo(2.5, 0.5);
    sheet.lineTo(9.5, 0.5);
    sheet.lineTo(13.5, 4.5);
    sheet.lineTo(13.5, 15.5);
    sheet.lineTo(2.5, 15.5);
    sheet.closeSubpath();
    p.drawPath(sheet);
    p.setBrush(QColor(215, 215, 220));
    QPainterPath corner;
    corner.moveTo(9.5, 0.5);
    corner.lineTo(9.5, 4.5);
    corner.lineTo(13.5, 4.5);
    corner.closeSubpath();
    p.drawPath(corner);
    p.setPen(Pen(QColor(150, 160, 180), 0.9));
    for (double y = 7; y < 14; y += 2) p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
  });
}

QImage Directory() {
  return Picture(16, 16, [](QPainter &p) {
    p.setPen(Pen(QColor(140, 100, 20)));
    p.setBrush(QColor(220, 170, 50));
    QPainterPath back;
    back.moveTo(0.5, 2.5);
    back.lineTo(5.5, 2.5);
    back.lineTo(7, 4.5);
    back.lineTo(14.5, 4.5);
    back.lineTo(14.5, 13.5);
    back.lineTo(0.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 210, 90));
    QPainterPath front;
    front.moveTo(0.5, 13.5);
    front.lineTo(3, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(14.5, 13.5);
    front.closeSubpath();
    p.drawPath(front);
  });
}

QImage Ok() {
  return Picture(16, 16, [](QPainter &p) {
    p.setPen(QPen(QColor(20, 130, 40), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6, 12), QPointF(13.5, 3.5)}));
  });
}

QImage Cancel() {
  return Picture(16, 16, [](QPainter &p) {
    p.setPen(QPen(QColor(200, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
  });
}

void Magnifier(QPainter &p, QPointF centre, double radius, double handle) {
  p.setPen(QPen(QColor(70, 50, 30), 2.4, Qt::SolidLine, Qt::RoundCap));
  const QPointF from = centre + QPointF(radius * 0.7, radius * 0.7);
  p.drawLine(from, from + QPointF(handle, handle));
  p.setPen(Pen(QColor(40, 40, 40), 1.2));
  QRadialGradient glass(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
  glass.setColorAt(0, Qt::white);
  glass.setColorAt(1, QColor(150, 200, 240));
  p.setBrush(glass);
  p.drawEllipse(centre, radius, radius);
}

QImage Find() {
  return Picture(16, 16, [](QPainter &p) { Magnifier(p, QPointF(6.5, 6.5), 4.8, 4.5); });
}

// A page with lines of text under a magnifier.
QImage Search() {
  return Picture(16, 16, [](QPainter &p) {
    p.setPen(Pen(QColor(90, 90, 90)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 0.5, 9, 12));
    p.setPen(Pen(QColor(150, 150, 160), 0.9));
    for (double y = 3; y < 11; y += 2) p.drawLine(QPointF(3, y), QPointF(9, y));
    Magnifier(p, QPointF(9.5, 9.5), 3.3, 3.2);
  });
}

QImage Sum() {
  return Picture(16, 16, [](QPainter &p) {
    p.setPen(QPen(QColor(30, 30, 40), 1.8, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(
        QPolygonF({QPointF(12.5, 3), QPointF(3.5, 3), QPointF(8.5, 8), QPointF(3.5, 13), QPointF(12.5, 13)}));
  });
}

} // namespace

void RegisterEditButtonGlyphs() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterBitmapResource(QStringLiteral("CALCULATORBMP"), Calculator);
  RegisterBitmapResource(QStringLiteral("CALENDARBMP"), Calendar);
  RegisterBitmapResource(QStringLiteral("FILEBMP"), File);
  RegisterBitmapResource(QStringLiteral("DIRECTORYBMP"), Directory);
  RegisterBitmapResource(QStringLiteral("OKBMP"), Ok);
  RegisterBitmapResource(QStringLiteral("CANCELBMP"), Cancel);
  RegisterBitmapResource(QStringLiteral("FINDBMP"), Find);
  RegisterBitmapResource(QStringLiteral("SEARCHBMP"), Search);
  RegisterBitmapResource(QStringLiteral("SUMBMP"), Sum);
}

QImage ComboArrowGlyph() {
  // A solid black triangle pointing down, 7 pixels wide and 4 high, on the transparent colour.
  QImage image(9, 6, QImage::Format_RGB32);
  image.fill(kOlive);
  for (int row = 0; row < 4; ++row)
    for (int x = 1 + row; x <= 7 - row; ++x) image.setPixel(x, 1 + row, qRgb(0, 0, 0));
  return image;
}

QImage EllipsisGlyph() {
  QImage image(12, 4, QImage::Format_Mono);
  image.setColor(0, qRgb(255, 255, 255));
  image.setColor(1, qRgb(0, 0, 0));
  image.fill(0);
  for (int dot = 0; dot < 3; ++dot)
    for (int y = 1; y <= 2; ++y)
      for (int x = 1 + dot * 4; x <= 2 + dot * 4; ++x) image.setPixel(x, y, 1);
  return image;
}
