#include "report/ui/toolbar_glyphs.h"
#include "platform/graphics/glyph_drawing.h"
#include "platform/graphics/resources.h"
#include <QPainterPath>

const char *const frGlyphZoom = "FR_ZOOM";
const char *const frGlyphOpen = "FR_OPEN";
const char *const frGlyphSave = "FR_SAVE";
const char *const frGlyphPrint = "FR_PRINT";
const char *const frGlyphFind = "FR_FIND";
const char *const frGlyphExit = "FR_EXIT";
const char *const frGlyphWeb = "FR_WEB";
const char *const frGlyphPageUp = "FR_PGUP";
const char *const frGlyphPageDown = "FR_PGDOWN";
const char *const frGlyphPrinter = "FR_PRINTER";

namespace {

QImage Zoom() {
  return GlyphPicture(16, 16, [](QPainter &p) {
    DrawMagnifier(p, QPointF(6.5, 6.5), 4.8, 4.5, 1.3);
    p.setPen(GlyphPen(QColor(20, 60, 140), 1.4));
    p.drawLine(QPointF(4.3, 6.5), QPointF(8.7, 6.5));
    p.drawLine(QPointF(6.5, 4.3), QPointF(6.5, 8.7));
  });
}

QImage Open() {
  return GlyphPicture(
      16, 16, [](QPainter &p) { DrawOpenFolder(p, QRectF(QPointF(1.5, 3.5), QPointF(13.5, 13.5)), 6, 5); });
}

QImage Save() {
  return GlyphPicture(16, 16, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(20, 40, 90)));
    p.setBrush(QColor(50, 90, 170));
    QPainterPath body;
    body.moveTo(1.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(14.5, 3.5);
    body.lineTo(14.5, 14.5);
    body.lineTo(1.5, 14.5);
    body.closeSubpath();
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 2, 8, 5));
    p.setBrush(QColor(190, 195, 205));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRectF(5.5, 10.5, 2, 3));
  });
}

// A printer with a sheet in it, drawn to fit width x height.
void Printer(QPainter &p, double width, double height) {
  const double sx = width / 16.0, sy = height / 16.0;
  p.scale(sx, sy);
  // The printer's frames keep bevelled corners.
  p.setPen(GlyphPen(QColor(60, 60, 60), 1.0, Qt::BevelJoin));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 1.5, 7, 5));
  p.setBrush(QColor(95, 120, 165));
  p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
  p.setBrush(QColor(55, 70, 100));
  p.drawRect(QRectF(3.5, 10.5, 9, 2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 11.5, 7, 3.5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(90, 230, 90));
  p.drawEllipse(QPointF(12.5, 8.5), 0.9, 0.9);
  p.setPen(GlyphPen(QColor(150, 150, 150), 0.8));
  p.drawLine(QPointF(5.5, 13), QPointF(10.5, 13));
}

QImage Print() {
  return GlyphPicture(16, 16, [](QPainter &p) { Printer(p, 16, 16); });
}

QImage PrinterPicture() {
  return GlyphPicture(18, 16, [](QPainter &p) { Printer(p, 18, 16); });
}

QImage Find() {
  return GlyphPicture(16, 16, [](QPainter &p) { DrawPageUnderMagnifier(p, 1.3); });
}

QImage Exit() {
  return GlyphPicture(16, 16, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(90, 60, 30)));
    p.setBrush(QColor(160, 110, 60));
    p.drawRect(QRectF(2.5, 1.5, 8, 13));
    p.setBrush(QColor(120, 80, 40));
    QPolygonF leaf{QPointF(2.5, 1.5), QPointF(7.5, 3.5), QPointF(7.5, 15.5), QPointF(2.5, 14.5)};
    p.drawPolygon(leaf);
    p.setPen(GlyphPen(QColor(200, 30, 30), 2.2));
    p.drawLine(QPointF(9, 8), QPointF(15, 8));
    p.drawLine(QPointF(12.5, 5.5), QPointF(15, 8));
    p.drawLine(QPointF(12.5, 10.5), QPointF(15, 8));
  });
}

QImage Web() {
  return GlyphPicture(16, 16, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(20, 70, 140)));
    QRadialGradient sea(QPointF(6, 5), 9);
    sea.setColorAt(0, QColor(140, 200, 250));
    sea.setColorAt(1, QColor(40, 110, 200));
    p.setBrush(sea);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(GlyphPen(QColor(230, 240, 255), 0.8));
    p.drawEllipse(QPointF(8, 8), 3, 6.5);
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(3, 4.5), QPointF(13, 4.5));
    p.drawLine(QPointF(3, 11.5), QPointF(13, 11.5));
  });
}

// Two small stacked arrows pointing up (or down).
QImage PageArrow(bool up) {
  return GlyphPicture(8, 8, [up](QPainter &p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (int k = 0; k < 2; ++k) {
      const int y = up ? 3 * k : 4 - 3 * k;
      QPolygon tri = up ? QPolygon({QPoint(3, y), QPoint(0, y + 3), QPoint(7, y + 3), QPoint(4, y)})
                        : QPolygon({QPoint(0, y), QPoint(7, y), QPoint(4, y + 3), QPoint(3, y + 3)});
      p.drawPolygon(tri);
    }
  });
}

} // namespace

void frRegisterReportGlyphs() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterBitmapResource(frGlyphZoom, Zoom);
  RegisterBitmapResource(frGlyphOpen, Open);
  RegisterBitmapResource(frGlyphSave, Save);
  RegisterBitmapResource(frGlyphPrint, Print);
  RegisterBitmapResource(frGlyphFind, Find);
  RegisterBitmapResource(frGlyphExit, Exit);
  RegisterBitmapResource(frGlyphWeb, Web);
  RegisterBitmapResource(frGlyphPageUp, [] { return PageArrow(true); });
  RegisterBitmapResource(frGlyphPageDown, [] { return PageArrow(false); });
  RegisterBitmapResource(frGlyphPrinter, PrinterPicture);
}

void frLoadReportGlyph(TBitmap *bitmap, const char *name) {
  frRegisterReportGlyphs();
  LoadBitmapResource(bitmap, QString::fromLatin1(name));
}
