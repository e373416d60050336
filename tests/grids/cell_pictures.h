// What a cell paints, drawn afresh, for comparing with the picture a table painted.
#pragma once
#include "grids/cells/base_string_cell.h"
#include "platform/graphics/canvas.h"
#include <QImage>

// The attributes Cell gathers for (Row, Col) of its table, with a font of their own.
struct GatheredAttributes {
  GatheredAttributes(TOvcBaseTableCell *Cell, int Row, int Col) {
    attr.Font = &font;
    Cell->GatherAttributes(Row, Col, attr);
  }
  GatheredAttributes(const GatheredAttributes &) = delete;
  GatheredAttributes &operator=(const GatheredAttributes &) = delete;
  TFont font;
  TOvcCellAttributes attr;
};

// Picture with Content painted as a text cell paints Text there: filled with the attributes' colour, then the
// text in their font, colour, alignment and style, Margin pixels kept, word-wrapped when Wrap.
inline QImage WithText(QImage Picture, const TRect &Content, const TOvcCellAttributes &Attr,
                       const QString &Text, int Margin, bool Wrap = false) {
  TCanvas canvas(&Picture);
  canvas.Brush()->SetColor(Attr.Color);
  canvas.FillRect(Content);
  PaintCellText(&canvas, Content, Attr, Text, Margin, Wrap);
  canvas.SetDevice(nullptr);
  return Picture;
}

// Picture with Content painted by Cell itself, for the value at Data.
inline QImage WithCell(QImage Picture, const TRect &Content, TOvcBaseTableCell *Cell, int Row, int Col,
                       const TOvcCellAttributes &Attr, const void *Data) {
  TCanvas canvas(&Picture);
  Cell->Paint(&canvas, Content, Row, Col, Attr, Data);
  canvas.SetDevice(nullptr);
  return Picture;
}

inline QImage Part(const QImage &Picture, const TRect &Rect) { return Picture.copy(Rect.ToQRect()); }
