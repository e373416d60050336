#include "controls/edits/edit_button_glyphs.h"
#include "platform/graphics/glyph_drawing.h"
#include "platform/graphics/resources.h"
#include <QPainterPath>

namespace {

QImage Calculator() {
  return GlyphPicture(12, 14, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(60, 60, 60)));
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
  return GlyphPicture(13, 13, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(70, 70, 70)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 11, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(2, 2, 10, 3));
    p.setBrush(QColor(90, 90, 100));
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 4; ++col) p.drawRect(QRectF(3 + col * 2.3, 6 + row * 1.8, 1.4, 1.1));
    p.setPen(GlyphPen(QColor(70, 70, 70), 1.2));
    p.drawLine(QPointF(4.5, 0.5), QPointF(4.5, 2.5));
    p.drawLine(QPointF(9.5, 0.5), QPointF(9.5, 2.5));
  });
}

QImage File() {
  return GlyphPicture(16, 16, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(80, 80, 90)));
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
    p.setPen(GlyphPen(QColor(150, 160, 180), 0.9));
    for (double y = 7; y < 14; y += 2) p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
  });
}

QImage Directory() {
  return GlyphPicture(16, 16, [](QPainter &p) {
    DrawOpenFolder(p, QRectF(QPointF(0.5, 2.5), QPointF(14.5, 13.5)), 5.5, 4.5);
  });
}

QImage Ok() {
  return GlyphPicture(16, 16, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(20, 130, 40), 2.6));
    p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6, 12), QPointF(13.5, 3.5)}));
  });
}

QImage Cancel() {
  return GlyphPicture(16, 16, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(200, 30, 30), 2.6));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
  });
}

QImage Find() {
  return GlyphPicture(16, 16, [](QPainter &p) { DrawMagnifier(p, QPointF(6.5, 6.5), 4.8, 4.5, 1.2); });
}

QImage Search() {
  return GlyphPicture(16, 16, [](QPainter &p) { DrawPageUnderMagnifier(p, 1.2); });
}

QImage Sum() {
  return GlyphPicture(16, 16, [](QPainter &p) {
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
  image.fill(kGlyphTransparent);
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
