#include "platform/graphics/gdi_state.h"
#include <cmath>

QTransform TGdiState::PageTransform() const {
  double sx = viewportExt.width() / windowExt.width();
  double sy = viewportExt.height() / windowExt.height();
  if (mapMode == MM_ISOTROPIC) {
    // The smaller scale both ways, each keeping its direction.
    const double s = std::min(std::abs(sx), std::abs(sy));
    sx = std::copysign(s, sx);
    sy = std::copysign(s, sy);
  }
  return QTransform(sx, 0, 0, sy, viewportOrg.x() - windowOrg.x() * sx, viewportOrg.y() - windowOrg.y() * sy);
}

void TGdiState::SetMapMode(int mode, const QPointF &pixelsPerMillimetre) {
  // Setting the mode in force changes nothing.
  if (mode < MM_TEXT || mode > MM_ANISOTROPIC || mode == mapMode) return;
  mapMode = mode;
  if (mode == MM_ANISOTROPIC) return;
  // Logical units per millimetre of each fixed mode; the y axis of the metric and English modes points up.
  double unitsPerMillimetre = 0;
  switch (mode == MM_ISOTROPIC ? MM_LOMETRIC : mode) {
  case MM_LOMETRIC: unitsPerMillimetre = 10; break;
  case MM_HIMETRIC: unitsPerMillimetre = 100; break;
  case MM_LOENGLISH: unitsPerMillimetre = 100 / 25.4; break;
  case MM_HIENGLISH: unitsPerMillimetre = 1000 / 25.4; break;
  case MM_TWIPS: unitsPerMillimetre = 1440 / 25.4; break;
  default: break;
  }
  if (unitsPerMillimetre == 0) {
    windowExt = viewportExt = QSizeF(1, 1);
    return;
  }
  windowExt = QSizeF(unitsPerMillimetre, unitsPerMillimetre);
  viewportExt = QSizeF(pixelsPerMillimetre.x(), -pixelsPerMillimetre.y());
}

void TGdiState::SetWindowExt(const QSizeF &ext) {
  if (ScalableExtents() && ext.width() != 0 && ext.height() != 0) windowExt = ext;
}

void TGdiState::SetViewportExt(const QSizeF &ext) {
  if (ScalableExtents() && ext.width() != 0 && ext.height() != 0) viewportExt = ext;
}
