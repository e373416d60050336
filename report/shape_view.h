// The shape object: an add-in report object (type 10, class "TfrShapeView") that draws a rectangle, a
// rounded rectangle, an ellipse or a triangle with the object's frame colour and width and its fill colour.
// Its stream data is the object's own record followed by one byte, the kind.
#pragma once
#include "platform/core/component.h"
#include "report/view.h"

enum TfrShapeKind : quint8 { skRectangle, skRoundRectangle, skEllipse, skTriangle };

class TfrShapeView : public TfrView {
public:
  TfrShapeView();
  QString ClassName() const override { return QStringLiteral("TfrShapeView"); }

  void Assign(const TfrView *source) override;
  void Draw(TCanvas *canvas) override;
  void LoadFromStream(TStream *stream) override;
  void SaveToStream(TStream *stream) override;

  quint8 ShapeType = skRectangle;
};

// Registers the shape with the report engine's add-in objects (once; later calls do nothing).
void frRegisterShapeObject();

// Placing one on a form makes templates with shapes loadable: it registers the shape object.
class TfrShapeObject : public TComponent {
public:
  explicit TfrShapeObject(TComponent *owner) : TComponent(owner) { frRegisterShapeObject(); }
  QString ClassName() const override { return QStringLiteral("TfrShapeObject"); }
};
