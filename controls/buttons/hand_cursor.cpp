#include "controls/buttons/hand_cursor.h"
#include "platform/graphics/glyph_drawing.h"
#include "platform/graphics/resources.h"
#include "platform/windowing/screen.h"
#include <QGuiApplication>
#include <QPainterPath>
#include <QPixmap>

QImage VrHandPointImage() {
  // The outline of a hand pointing up: the index finger raised, three fingers folded beside it, the thumb on
  // the left, the cuff of the sleeve below.
  QPainterPath hand;
  hand.setFillRule(Qt::WindingFill);
  hand.addRoundedRect(QRectF(9, 1, 5, 17), 2.5, 2.5);  // index finger
  hand.addRoundedRect(QRectF(13, 9, 5, 10), 2.5, 2.5); // middle finger
  hand.addRoundedRect(QRectF(17, 10, 5, 9), 2.5, 2.5); // ring finger
  hand.addRoundedRect(QRectF(21, 11, 5, 9), 2.5, 2.5); // little finger
  hand.addRoundedRect(QRectF(9, 14, 17, 12), 4, 4);    // palm
  QPainterPath thumb;
  thumb.moveTo(10, 22);
  thumb.lineTo(4, 16);
  thumb.cubicTo(2, 14, 4, 12, 6, 13.5);
  thumb.lineTo(10, 17);
  thumb.closeSubpath();
  hand.addPath(thumb);
  hand.addRect(QRectF(11, 25, 13, 5)); // cuff
  hand = hand.simplified();

  return PaintedImage(
      32, 32,
      [&hand](QPainter &painter) {
        painter.setPen(QPen(Qt::black, 1.2));
        painter.setBrush(Qt::white);
        painter.drawPath(hand);
        // The gaps between the folded fingers and the line of the cuff.
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(QPointF(14, 10), QPointF(14, 15));
        painter.drawLine(QPointF(18, 11), QPointF(18, 15));
        painter.drawLine(QPointF(22, 12), QPointF(22, 16));
        painter.drawLine(QPointF(11, 25), QPointF(24, 25));
      },
      QImage::Format_ARGB32);
}

TPoint VrHandPointHotSpot() { return {11, 1}; }

QCursor VrHandPointCursor() {
  const TPoint hot = VrHandPointHotSpot();
  return QCursor(QPixmap::fromImage(VrHandPointImage()), hot.X, hot.Y);
}

void VrInitControls() {
  static bool done = false;
  // A cursor needs the GUI application; without one (a command-line tool) there is nothing to register.
  if (done || !qobject_cast<QGuiApplication *>(QCoreApplication::instance())) return;
  done = true;
  RegisterCursorResource(QStringLiteral("VRCURSORHANDPOINT"), &VrHandPointCursor);
  Screen()->SetCursors(crVrHandPoint, LoadCursor(QStringLiteral("VRCURSORHANDPOINT")));
}
