#include "controls/buttons/glyph_button.h"
#include "platform/graphics/glyph_drawing.h"
#include "platform/graphics/resources.h"
#include <QCursor>
#include <QPainterPath>
#include <QStyleOptionButton>

namespace {

constexpr TColor kGlyphTransparentColor = 32896; // olive, 0x008080
constexpr int kGlyphSize = 16;

void Tick(QPainter &p, const QColor &colour, double dx = 0) {
  p.setPen(GlyphPen(colour, 2.4));
  p.drawPolyline(QPolygonF({QPointF(2.5 + dx, 8.5), QPointF(6 + dx, 12), QPointF(13 + dx, 3.5)}));
}

void Cross(QPainter &p, const QColor &colour, double inset) {
  p.setPen(GlyphPen(colour, 2.4));
  p.drawLine(QPointF(inset, inset), QPointF(16 - inset, 16 - inset));
  p.drawLine(QPointF(16 - inset, inset), QPointF(inset, 16 - inset));
}

QImage OkGlyph() {
  return GlyphPicture(kGlyphSize, kGlyphSize, [](QPainter &p) { Tick(p, QColor(20, 130, 40)); });
}

QImage CancelGlyph() {
  return GlyphPicture(kGlyphSize, kGlyphSize, [](QPainter &p) { Cross(p, QColor(200, 30, 30), 3.5); });
}

QImage HelpGlyph() {
  return GlyphPicture(kGlyphSize, kGlyphSize, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(30, 60, 170), 2.2));
    QPainterPath hook;
    hook.moveTo(4.5, 5);
    hook.cubicTo(4.5, 1.5, 11.5, 1.5, 11.5, 5);
    hook.cubicTo(11.5, 7.5, 8, 7.5, 8, 10.5);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 170));
    p.drawEllipse(QPointF(8, 13.5), 1.4, 1.4);
  });
}

QImage YesGlyph() {
  return GlyphPicture(kGlyphSize, kGlyphSize, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(20, 110, 40), 1.2));
    p.setBrush(QColor(215, 240, 215));
    p.drawEllipse(QRectF(1.5, 0.5, 13, 13));
    Tick(p, QColor(20, 130, 40), 0);
  });
}

QImage NoGlyph() {
  return GlyphPicture(kGlyphSize, kGlyphSize, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(190, 30, 30), 2.0));
    p.drawEllipse(QRectF(2, 1, 12, 12));
    p.drawLine(QPointF(4, 11), QPointF(12, 3));
  });
}

// A door standing open.
QImage CloseGlyph() {
  return GlyphPicture(kGlyphSize, kGlyphSize, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(70, 60, 50), 1.0));
    p.setBrush(QColor(235, 235, 225));
    p.drawRect(QRectF(3.5, 0.5, 10, 14));
    p.setBrush(QColor(150, 100, 50));
    p.drawPolygon(QPolygonF({QPointF(3.5, 0.5), QPointF(9.5, 2.5), QPointF(9.5, 14.5), QPointF(3.5, 14.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 200, 60));
    p.drawEllipse(QPointF(8, 8.5), 0.9, 0.9);
  });
}

QImage AbortGlyph() {
  return GlyphPicture(kGlyphSize, kGlyphSize, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(120, 10, 10), 1.0));
    p.setBrush(QColor(210, 40, 40));
    p.drawEllipse(QRectF(1.5, 0.5, 13, 13));
    p.setPen(GlyphPen(Qt::white, 2.0));
    p.drawLine(QPointF(5, 4), QPointF(11, 10));
    p.drawLine(QPointF(11, 4), QPointF(5, 10));
  });
}

// A circling arrow.
QImage RetryGlyph() {
  return GlyphPicture(kGlyphSize, kGlyphSize, [](QPainter &p) {
    const QColor colour(30, 100, 60);
    p.setPen(GlyphPen(colour, 2.0));
    p.drawArc(QRectF(2.5, 2, 11, 11), 60 * 16, 280 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({QPointF(9, 0.5), QPointF(14, 3), QPointF(9.5, 6.5)}));
  });
}

// An arrow stepping over a bar.
QImage IgnoreGlyph() {
  return GlyphPicture(kGlyphSize, kGlyphSize, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(110, 110, 110), 2.0));
    p.drawLine(QPointF(8, 8), QPointF(8, 14));
    const QColor arrow(30, 60, 170);
    p.setPen(GlyphPen(arrow, 1.8));
    QPainterPath hop;
    hop.moveTo(2, 10);
    hop.cubicTo(3, 1.5, 11, 1.5, 12, 8);
    p.drawPath(hop);
    p.setPen(Qt::NoPen);
    p.setBrush(arrow);
    p.drawPolygon(QPolygonF({QPointF(9.5, 7.5), QPointF(14.5, 6.5), QPointF(12.5, 11.5)}));
  });
}

// Two ticks, one behind the other.
QImage AllGlyph() {
  return GlyphPicture(kGlyphSize, kGlyphSize, [](QPainter &p) {
    p.setPen(GlyphPen(QColor(120, 170, 120), 2.0));
    p.drawPolyline(QPolygonF({QPointF(1.5, 6.5), QPointF(4.5, 9.5), QPointF(10.5, 2)}));
    Tick(p, QColor(20, 130, 40), 1.5);
  });
}

struct StockGlyph {
  TGlyphKind kind;
  const char *name;
  QImage (*draw)();
};

const StockGlyph kStockGlyphs[] = {
    {glOK, "GLOK", OkGlyph},
    {glCancel, "GLCANCEL", CancelGlyph},
    {glHelp, "GLHELP", HelpGlyph},
    {glYes, "GLYES", YesGlyph},
    {glNo, "GLNO", NoGlyph},
    {glClose, "GLCLOSE", CloseGlyph},
    {glAbort, "GLABORT", AbortGlyph},
    {glRetry, "GLRETRY", RetryGlyph},
    {glIgnore, "GLIGNORE", IgnoreGlyph},
    {glAll, "GLALL", AllGlyph},
};

} // namespace

QString GlyphKindResourceName(TGlyphKind Kind) {
  for (const StockGlyph &g : kStockGlyphs)
    if (g.kind == Kind) return QString::fromLatin1(g.name);
  return QStringLiteral("GLNONE");
}

void RegisterGlyphButtonGlyphs() {
  static const bool registered = [] {
    for (const StockGlyph &g : kStockGlyphs) RegisterBitmapResource(QString::fromLatin1(g.name), g.draw);
    // The empty kind: nothing but the transparent colour.
    RegisterBitmapResource(QStringLiteral("GLNONE"),
                           [] { return GlyphPicture(kGlyphSize, kGlyphSize, [](QPainter &) {}); });
    return true;
  }();
  (void)registered;
}

TCorelGlyphButton::TCorelGlyphButton(TComponent *AOwner)
    : TButton(AOwner), glyph_(std::make_unique<TBitmap>()) {
  RegisterGlyphButtonGlyphs();
  SetBounds(Left(), Top(), 75, 25);
}

TCorelGlyphButton::~TCorelGlyphButton() = default;

void TCorelGlyphButton::SetGlyphKind(TGlyphKind Value) {
  glyphKind_ = Value;
  LoadBitmapResource(glyph_.get(), GlyphKindResourceName(Value));
  glyph_->SetTransparentColor(kGlyphTransparentColor);
  glyph_->SetTransparent(true);
  glyphWidth_ = Value == glNone ? 0 : glyph_->Width();
  Invalidate();
}

void TCorelGlyphButton::SetHot(bool Value) {
  if (hot_ == Value) return;
  hot_ = Value;
  Invalidate();
}

void TCorelGlyphButton::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
    TButton::WndProc(Message);
    if (Message.LParam == 0) SetHot(Message.Msg == CM_MOUSEENTER);
    return;
  case CM_FONTCHANGED:
  case CM_ENABLEDCHANGED:
    TButton::WndProc(Message);
    Invalidate();
    return;
  default: TButton::WndProc(Message); return;
  }
}

void TCorelGlyphButton::PaintButton(QPainter &Painter, QStyleOptionButton &Option) {
  const TPoint topLeft = ClientToScreen(TPoint{0, 0});
  const TRect screenRect{topLeft.X, topLeft.Y, topLeft.X + Width(), topLeft.Y + Height()};
  const QPoint cursor = QCursor::pos();
  hot_ = cursor.x() >= screenRect.Left && cursor.x() < screenRect.Right && cursor.y() >= screenRect.Top &&
         cursor.y() < screenRect.Bottom;
  TCanvas canvas;
  canvas.SetPainter(&Painter);
  DrawFace(&canvas, Option.state & QStyle::State_Sunken, hot_, Focused());
  canvas.SetPainter(nullptr);
}

void TCorelGlyphButton::DrawFace(TCanvas *Canvas, bool Pressed, bool Hot, bool Focused) {
  TRect face = ClientRect();
  Canvas->Brush()->SetStyle(bsSolid);
  if (Default() || Focused) {
    Canvas->Brush()->SetColor(clWindowFrame);
    Canvas->FrameRect(face);
    face.Left += 1;
    face.Top += 1;
    face.Right -= 1;
    face.Bottom -= 1;
  }
  Canvas->Brush()->SetColor(clBtnFace);
  Canvas->FillRect(face);
  // A disabled button never shows the hover frame.
  const bool hot = Hot && Enabled();
  if (Pressed) {
    Canvas->FillRect(face);
    TRect frame = face;
    Frame3D(Canvas, frame, clBtnShadow, clBtnHighlight, 1);
  } else if (hot) {
    TRect frame = face;
    Frame3D(Canvas, frame, clBtnHighlight, clBtnShadow, 1);
  }
  if (Default() && Focused) {
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->Font()->SetColor(clBtnText);
    Canvas->DrawFocusRect(TRect{face.Left + 3, face.Top + 3, face.Right - 3, face.Bottom - 3});
  }

  Canvas->SetFont(Font());
  const QString caption = Caption();
  const int captionWidth = Canvas->TextWidth(StripHotkey(caption));
  const int shift = Pressed ? 1 : 0;
  int captionLeft;
  if (glyphKind_ == glNone || glyph_->Empty()) {
    captionLeft = (Width() - captionWidth) / 2;
  } else {
    const int glyphLeft = (ClientWidth() - captionWidth - glyphWidth_ - 4) / 2;
    const int glyphTop = (ClientHeight() - glyph_->Height()) / 2;
    Canvas->Draw(glyphLeft + shift, glyphTop + shift, glyph_.get());
    captionLeft = glyphLeft + glyphWidth_ + 4;
  }
  Canvas->Brush()->SetStyle(bsClear);
  TRect textRect{captionLeft + shift, shift, ClientWidth() + shift, ClientHeight() + shift};
  constexpr unsigned format = DT_LEFT | DT_SINGLELINE | DT_VCENTER;
  if (!Enabled()) {
    TRect engraved{textRect.Left + 1, textRect.Top + 1, textRect.Right + 1, textRect.Bottom + 1};
    Canvas->Font()->SetColor(clBtnHighlight);
    Canvas->DrawText(caption, engraved, format);
    Canvas->Font()->SetColor(clBtnShadow);
  } else {
    Canvas->Font()->SetColor(clBtnText);
  }
  Canvas->DrawText(caption, textRect, format);
}
