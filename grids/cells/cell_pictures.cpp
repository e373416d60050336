#include "grids/cells/cell_pictures.h"
#include "platform/graphics/glyph_drawing.h"
#include "platform/graphics/resources.h"
#include <QPainter>

namespace {

const QColor kShadow(128, 128, 128);
const QColor kDarkShadow(64, 64, 64);
const QColor kFace(192, 192, 192);

// One 13 x 13 sunken check box at x, the column left of it and the row below it transparent (the strip's
// transparent colour is each glyph's bottom-left pixel).
void CheckBox(QImage &Image, int X, TCheckBoxState State) {
  QPainter p(&Image);
  const int left = X + 1;
  const auto line = [&p](const QColor &Color, int X1, int Y1, int X2, int Y2) {
    p.setPen(Color);
    p.drawLine(X1, Y1, X2, Y2);
  };
  line(kShadow, left, 0, left + 11, 0);
  line(kShadow, left, 0, left, 11);
  line(Qt::white, left, 12, left + 12, 12);
  line(Qt::white, left + 12, 0, left + 12, 12);
  line(kDarkShadow, left + 1, 1, left + 10, 1);
  line(kDarkShadow, left + 1, 1, left + 1, 10);
  line(kFace, left + 1, 11, left + 11, 11);
  line(kFace, left + 11, 1, left + 11, 11);
  p.fillRect(left + 2, 2, 9, 9, State == cbGrayed ? kFace : QColor(Qt::white));
  if (State == cbUnchecked) return;
  // The tick: three pixels thick, from the left down to the bottom and up to the right.
  p.setPen(State == cbGrayed ? kShadow : QColor(Qt::black));
  for (int i = 0; i < 7; ++i) {
    const int x = left + 3 + i;
    const int y = i < 3 ? 5 + i : 9 - i;
    p.drawLine(x, y, x, y + 2);
  }
}

QImage CheckGlyphs() {
  QImage image(3 * kCheckGlyphSize, kCheckGlyphSize, QImage::Format_RGB32);
  image.fill(kGlyphTransparent);
  for (TCheckBoxState state : {cbUnchecked, cbChecked, cbGrayed})
    CheckBox(image, state * kCheckGlyphSize, state);
  return image;
}

// A black arrow pointing down, four rows high, in the middle of a 7 x 11 picture.
QImage ComboArrow() {
  QImage image(7, 11, QImage::Format_RGB32);
  image.fill(kGlyphTransparent);
  QPainter p(&image);
  p.setPen(Qt::black);
  for (int row = 0; row < 4; ++row) p.drawLine(row, 4 + row, 6 - row, 4 + row);
  return image;
}

} // namespace

void RegisterCellPictures() {
  static const bool registered = [] {
    RegisterBitmapResource(QString::fromLatin1(CheckGlyphsResource), CheckGlyphs);
    RegisterBitmapResource(QString::fromLatin1(ComboArrowResource), ComboArrow);
    return true;
  }();
  (void)registered;
}
