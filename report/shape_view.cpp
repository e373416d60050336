#include "report/shape_view.h"
#include "platform/core/streams.h"
#include <QPolygonF>

TfrShapeView::TfrShapeView() {
  Typ = gtAddIn;
  BaseName = QStringLiteral("Shape");
}

void TfrShapeView::Assign(const TfrView *source) {
  TfrView::Assign(source);
  if (auto shape = dynamic_cast<const TfrShapeView *>(source)) ShapeType = shape->ShapeType;
}

void TfrShapeView::Draw(TCanvas *canvas) {
  Canvas = canvas;
  ApplyScale();
  // The background without fill: the shape paints its own inside.
  const TColor fill = FillColor;
  FillColor = clNone;
  DrawBackground();
  FillColor = fill;

  Canvas->Pen()->SetWidth(FramePenWidth());
  Canvas->Pen()->SetColor(FrameColor);
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetMode(pmCopy);
  if (FillColor == clNone) {
    Canvas->Brush()->SetStyle(bsClear);
  } else {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FillColor);
  }
  const int left = DRect.Left, top = DRect.Top;
  const int right = ScaledRight(), bottom = ScaledBottom();
  switch (ShapeType) {
  case skRoundRectangle: {
    const int corner = std::min(right - left, bottom - top) / 4;
    Canvas->RoundRect(left, top, right + 1, bottom + 1, corner, corner);
    break;
  }
  case skEllipse: Canvas->Ellipse(left, top, right + 1, bottom + 1); break;
  case skTriangle: {
    // Filled as a polygon, which every device can do (printers and PDF cannot flood-fill).
    std::vector<TPoint> corners{Point(right, bottom), Point(left, bottom),
                                Point(left + (right - left) / 2, top)};
    const TRect area = ReachableArea();
    const QRect reach = area.ToQRect();
    if (!reach.contains(corners[0].ToQPoint()) || !reach.contains(corners[1].ToQPoint()) ||
        !reach.contains(corners[2].ToQPoint())) {
      // A triangle reaching far beyond the canvas is cut to what can show: its outline's cut edges lie
      // outside the canvas.
      QPolygonF triangle;
      for (const TPoint &p : corners) triangle << QPointF(p.X, p.Y);
      const QPolygonF visible = triangle.intersected(QPolygonF(QRectF(reach)));
      corners.clear();
      for (const QPointF &p : visible) corners.push_back(Point(frCoord(p.x()), frCoord(p.y())));
    }
    Canvas->Polygon(corners);
    break;
  }
  default: Canvas->Rectangle(left, top, right + 1, bottom + 1); break;
  }
  RestoreBounds();
}

void TfrShapeView::LoadFromStream(TStream *stream) {
  TfrView::LoadFromStream(stream);
  ShapeType = stream->ReadUInt8();
}

void TfrShapeView::SaveToStream(TStream *stream) {
  TfrView::SaveToStream(stream);
  stream->WriteUInt8(ShapeType);
}

void frRegisterShapeObject() {
  frRegisterObject(
      QStringLiteral("TfrShapeView"), [] { return std::make_unique<TfrShapeView>(); },
      QStringLiteral("Insert shape"));
}
