#include "controls/buttons/graphic_utils.h"

TVrImageTextPlacement VrCalcImageTextLayout(TCanvas *Canvas, const TRect &Client, const TPoint &Offset,
                                            const QString &Caption, TVrImageTextLayout Layout, int Margin,
                                            int Spacing, const TSize &GlyphSize) {
  TSize text;
  if (!Caption.isEmpty()) text = {Canvas->TextWidth(Caption), Canvas->TextHeight(Caption)};
  return VrCalcImageTextLayout(Client, Offset, text, Layout, Margin, Spacing, GlyphSize);
}

TVrImageTextPlacement VrCalcImageTextLayout(const TRect &Client, const TPoint &Offset, const TSize &TextSize,
                                            TVrImageTextLayout Layout, int Margin, int Spacing,
                                            const TSize &GlyphSize) {
  const TSize client{WidthOf(Client), HeightOf(Client)};
  const bool horizontal = Layout == ImageLeft || Layout == ImageRight;
  TPoint glyph;
  TPoint text;
  // Across the layout's axis both parts are centred.
  if (horizontal) {
    glyph.Y = (client.cy - GlyphSize.cy + 1) / 2;
    text.Y = (client.cy - TextSize.cy + 1) / 2;
  } else {
    glyph.X = (client.cx - GlyphSize.cx + 1) / 2;
    text.X = (client.cx - TextSize.cx + 1) / 2;
  }

  const bool noGlyph = GlyphSize.cx == 0 || GlyphSize.cy == 0;
  const bool noText = TextSize.cx == 0 || TextSize.cy == 0;
  if (noGlyph || noText) Spacing = 0;

  // Along the axis: the client's, the glyph's and the text's extent.
  const int room = horizontal ? client.cx : client.cy;
  const int glyphExtent = horizontal ? GlyphSize.cx : GlyphSize.cy;
  const int textExtent = horizontal ? TextSize.cx : TextSize.cy;
  if (Margin == -1) {
    if (Spacing == -1) {
      Margin = (room - (glyphExtent + textExtent)) / 3;
      Spacing = Margin;
    } else {
      Margin = (room - (glyphExtent + Spacing + textExtent) + 1) / 2;
    }
  } else if (Spacing == -1) {
    Spacing = (room - Margin - glyphExtent - textExtent) / 2;
  }

  switch (Layout) {
  case ImageLeft:
    glyph.X = Margin;
    text.X = glyph.X + GlyphSize.cx + Spacing;
    break;
  case ImageRight:
    glyph.X = client.cx - Margin - GlyphSize.cx;
    text.X = glyph.X - Spacing - TextSize.cx;
    break;
  case ImageTop:
    glyph.Y = Margin;
    text.Y = glyph.Y + GlyphSize.cy + Spacing;
    break;
  case ImageBottom:
    glyph.Y = client.cy - Margin - GlyphSize.cy;
    text.Y = glyph.Y - Spacing - TextSize.cy;
    break;
  }

  const int dx = Client.Left + Offset.X;
  const int dy = Client.Top + Offset.Y;
  TVrImageTextPlacement placement;
  placement.GlyphPos = {glyph.X + dx, glyph.Y + dy};
  placement.TextBounds = Bounds(text.X + dx, text.Y + dy, TextSize.cx, TextSize.cy);
  if (noGlyph) OffsetRect(placement.TextBounds, 0, -1);
  return placement;
}
