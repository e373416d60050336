// The state of the device context a metafile is played into: how logical coordinates map to the metafile's
// device (mapping mode, window and viewport, world transform), the colours and modes of drawing, the current
// position, the objects selected and the clip. SaveDC copies it whole; RestoreDC brings a copy back.
#pragma once
#include "platform/graphics/gdi_objects.h"
#include <QPainterPath>
#include <QPointF>
#include <QRegion>
#include <QSizeF>
#include <QTransform>
#include <optional>

// Mapping modes.
constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;
constexpr int MM_HIMETRIC = 3;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_HIENGLISH = 5;
constexpr int MM_TWIPS = 6;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;

// Background modes, polygon fill modes, arc directions.
constexpr int GDI_TRANSPARENT = 1;
constexpr int GDI_OPAQUE = 2;
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;
constexpr int AD_COUNTERCLOCKWISE = 1;
constexpr int AD_CLOCKWISE = 2;

// Binary raster operations of pens and brushes (the ones drawn; others draw as R2_COPYPEN).
constexpr int R2_BLACK = 1;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOP = 11;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

struct TGdiState {
  int mapMode = MM_TEXT;
  QPointF windowOrg;
  QPointF viewportOrg;
  QSizeF windowExt{1, 1};
  QSizeF viewportExt{1, 1};
  QTransform world; // logical coordinates to page coordinates

  QColor textColor = Qt::black;
  QColor bkColor = Qt::white;
  int bkMode = GDI_OPAQUE;
  int polyFillMode = ALTERNATE;
  int arcDirection = AD_COUNTERCLOCKWISE;
  int rop2 = R2_COPYPEN;
  unsigned textAlign = 0;
  QPointF penPos; // logical

  TGdiPen pen;
  TGdiBrush brush;
  TGdiFont font;
  // In the pixels of the painter played on; nothing: only the picture's own rectangle clips.
  std::optional<QRegion> clip;
  // The path: while it is being recorded, shapes are added to it instead of being drawn.
  bool inPath = false;
  QPainterPath path; // logical

  // Page coordinates to the metafile's device units: window to viewport, the isotropic mode keeping the
  // scale the same both ways.
  QTransform PageTransform() const;
  // Sets the mapping mode as GDI does: a fixed mode brings its own extents (for a device of
  // `pixelsPerMillimetre`), the isotropic mode starts from the low-metric ones, the anisotropic mode keeps
  // the extents in force.
  void SetMapMode(int mode, const QPointF &pixelsPerMillimetre);
  // Extents change only in the isotropic and anisotropic modes; a zero extent is refused.
  void SetWindowExt(const QSizeF &ext);
  void SetViewportExt(const QSizeF &ext);
  bool ScalableExtents() const { return mapMode == MM_ISOTROPIC || mapMode == MM_ANISOTROPIC; }
};
