#include "platform/widgets/button_glyph.h"
#include "platform/widgets/std_control_types.h"
#include <QPainter>
#include <algorithm>

void CalcButtonLayout(const TRect &Client, const TPoint &Offset, const TSize &GlyphSize,
                      const TSize &TextSize, TButtonLayout Layout, int Margin, int Spacing, TPoint &GlyphPos,
                      TRect &TextBounds) {
  const int width = Client.Width();
  const int height = Client.Height();
  const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  // Across the layout's axis both are centred.
  TPoint glyph;
  TPoint text;
  if (horizontal) {
    glyph.Y = (height - GlyphSize.cy + 1) / 2;
    text.Y = (height - TextSize.cy + 1) / 2;
  } else {
    glyph.X = (width - GlyphSize.cx + 1) / 2;
    text.X = (width - TextSize.cx + 1) / 2;
  }
  // Along it: the margin and the spacing.
  const int room = horizontal ? width : height;
  const int glyphLength = horizontal ? GlyphSize.cx : GlyphSize.cy;
  const int textLength = horizontal ? TextSize.cx : TextSize.cy;
  if (glyphLength == 0 || textLength == 0) Spacing = 0;
  if (Margin == -1) {
    if (Spacing == -1) {
      Margin = (room - (glyphLength + textLength)) / 3;
      Spacing = Margin;
    } else {
      Margin = (room - (glyphLength + Spacing + textLength) + 1) / 2;
    }
  } else if (Spacing == -1) {
    Spacing = (room - Margin - glyphLength - textLength) / 2;
  }
  int glyphAt = 0;
  int textAt = 0;
  switch (Layout) {
  case blGlyphLeft:
  case blGlyphTop:
    glyphAt = Margin;
    textAt = glyphAt + glyphLength + Spacing;
    break;
  case blGlyphRight:
  case blGlyphBottom:
    glyphAt = room - Margin - glyphLength;
    textAt = glyphAt - Spacing - textLength;
    break;
  }
  if (horizontal) {
    glyph.X = glyphAt;
    text.X = textAt;
  } else {
    glyph.Y = glyphAt;
    text.Y = textAt;
  }
  GlyphPos = {glyph.X + Client.Left + Offset.X, glyph.Y + Client.Top + Offset.Y};
  TextBounds =
      Bounds(text.X + Client.Left + Offset.X, text.Y + Client.Top + Offset.Y, TextSize.cx, TextSize.cy);
}

QImage DisabledGlyph(const QImage &Image) {
  const QImage source = Image.convertToFormat(QImage::Format_ARGB32);
  QImage shape(source.size(), QImage::Format_ARGB32);
  shape.fill(Qt::transparent);
  for (int y = 0; y < source.height(); ++y) {
    for (int x = 0; x < source.width(); ++x) {
      const QRgb p = source.pixel(x, y);
      // Light pixels (the face, white highlights) are no part of the shape.
      if (qAlpha(p) >= 128 && qGray(p) < 192) shape.setPixel(x, y, 0xFF000000);
    }
  }
  auto tinted = [&shape](const QColor &color) {
    QImage image = shape;
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(image.rect(), color);
    return image;
  };
  QImage result(source.size(), QImage::Format_ARGB32);
  result.fill(Qt::transparent);
  QPainter p(&result);
  p.drawImage(1, 1, tinted(ColorToQColor(clBtnHighlight)));
  p.drawImage(0, 0, tinted(ColorToQColor(clBtnShadow)));
  return result;
}

TButtonGlyph::TButtonGlyph() : glyph_(std::make_unique<TBitmap>()) {
  glyph_->OnChange = TNotifyEvent(this, &TButtonGlyph::GlyphChanged);
}

TButtonGlyph::~TButtonGlyph() = default;

void TButtonGlyph::GlyphChanged(TObject *) {
  if (OnChange) OnChange(nullptr);
}

void TButtonGlyph::SetGlyph(const TBitmap *Value) {
  glyph_->Assign(Value);
  // A strip of square images says how many it holds.
  if (Value && !Value->Empty() && Value->Height() > 0 && Value->Width() % Value->Height() == 0) {
    const int count = Value->Width() / Value->Height();
    if (count >= 1 && count <= 4) numGlyphs_ = count;
  }
  GlyphChanged(nullptr);
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphs Value) {
  Value = std::clamp(Value, 1, 4);
  if (numGlyphs_ == Value) return;
  numGlyphs_ = Value;
  GlyphChanged(nullptr);
}

TSize TButtonGlyph::ImageSize() const {
  if (glyph_->Empty()) return {};
  return {glyph_->Width() / numGlyphs_, glyph_->Height()};
}

QImage TButtonGlyph::Image(TButtonState State) const {
  if (glyph_->Empty()) return QImage();
  const TSize size = ImageSize();
  int index = int(State);
  const bool haveImage = index < numGlyphs_;
  if (!haveImage) index = 0;
  QImage image =
      glyph_->Image().copy(index * size.cx, 0, size.cx, size.cy).convertToFormat(QImage::Format_ARGB32);
  // The bottom-left pixel's colour is transparent.
  const QRgb transparent = glyph_->Image().pixel(0, glyph_->Height() - 1) & 0xFFFFFF;
  for (int y = 0; y < image.height(); ++y) {
    auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if ((line[x] & 0xFFFFFF) == transparent) line[x] = 0;
  }
  if (State == bsDisabled && !haveImage) return DisabledGlyph(image);
  return image;
}

TRect TButtonGlyph::Draw(TCanvas *Canvas, const TRect &Client, const TPoint &Offset, const QString &Caption,
                         TButtonLayout Layout, int Margin, int Spacing, TButtonState State) const {
  TSize textSize;
  if (!Caption.isEmpty()) {
    TRect measure = Rect(0, 0, Client.Width(), 0);
    Canvas->DrawText(Caption, measure, DT_CALCRECT | DT_SINGLELINE);
    textSize = {measure.Width(), measure.Height()};
  }
  TPoint glyphPos;
  TRect textBounds;
  CalcButtonLayout(Client, Offset, ImageSize(), textSize, Layout, Margin, Spacing, glyphPos, textBounds);
  if (!glyph_->Empty()) {
    const QImage image = Image(State);
    Canvas->DrawImage(Bounds(glyphPos.X, glyphPos.Y, image.width(), image.height()), image, image.rect());
  }
  if (!Caption.isEmpty()) {
    TBrushStyle saved = Canvas->Brush()->Style();
    Canvas->Brush()->SetStyle(bsClear);
    TRect r = textBounds;
    const unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (State == bsDisabled) {
      const TColor color = Canvas->Font()->Color();
      OffsetRect(r, 1, 1);
      Canvas->Font()->SetColor(clBtnHighlight);
      Canvas->DrawText(Caption, r, format);
      OffsetRect(r, -1, -1);
      Canvas->Font()->SetColor(clBtnShadow);
      Canvas->DrawText(Caption, r, format);
      Canvas->Font()->SetColor(color);
    } else {
      Canvas->DrawText(Caption, r, format);
    }
    Canvas->Brush()->SetStyle(saved);
  }
  return textBounds;
}
