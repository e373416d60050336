#include "app/pictures.h"
#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kInk(0x1F, 0x3A, 0x6E);
const QColor kAccent(0xB1, 0xC1, 0xED);

QImage Transparent(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}
} // namespace

QImage ProgramIconImage() {
  QImage image = Transparent(48, 48);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);

  // The sheet, with a folded top right corner.
  QPainterPath sheet;
  sheet.moveTo(8, 3);
  sheet.lineTo(31, 3);
  sheet.lineTo(40, 12);
  sheet.lineTo(40, 45);
  sheet.lineTo(8, 45);
  sheet.closeSubpath();
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(Qt::white);
  p.drawPath(sheet);
  p.setBrush(kAccent);
  p.drawPolygon(QPolygonF({QPointF(31, 3), QPointF(31, 12), QPointF(40, 12)}));

  // Lines of text, and a tally of four strokes crossed by a fifth as the total.
  p.setPen(QPen(kAccent, 2));
  for (int y : {16, 21, 26}) p.drawLine(13, y, y == 16 ? 27 : 35, y);
  p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
  for (int x : {15, 19, 23, 27}) p.drawLine(x, 32, x, 41);
  p.drawLine(12, 40, 31, 33);
  return image;
}

QImage ProgramNameImage() {
  QImage image = Transparent(150, 40);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont font(QStringLiteral("DejaVu Serif"));
  font.setPixelSize(26);
  font.setBold(true);
  p.setFont(font);
  const QRect area(0, 0, 150, 36);
  // A soft shadow under the name.
  p.setPen(kAccent);
  p.drawText(area.translated(2, 2), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tallyrook"));
  p.setPen(kInk);
  p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tallyrook"));
  p.fillRect(QRect(1, 37, 120, 2), kInk);
  return image;
}
