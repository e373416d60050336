// Drawing helpers of the graphic controls: rectangle sizes and the placement of a glyph and a one-line
// caption inside a button (the standard glyph-button layout).
#pragma once
#include "platform/core/types.h"
#include "platform/graphics/canvas.h"
#include <QString>

enum TVrImageTextLayout { ImageLeft, ImageRight, ImageTop, ImageBottom };

inline int WidthOf(const TRect &R) { return R.Right - R.Left; }
inline int HeightOf(const TRect &R) { return R.Bottom - R.Top; }

// Where a glyph of GlyphSize and the caption (measured on Canvas as one line) go inside Client.
//   Margin: distance of the glyph from the edge it is laid against; -1 centres glyph and text together.
//   Spacing: distance between glyph and text; -1 spreads the free room evenly (with Margin -1: margin and
//   spacing each take a third of it; with a given margin: the spacing takes half of what is left).
// Both results are moved by Client's origin plus Offset; without a glyph the text rectangle is moved one
// pixel up.
struct TVrImageTextPlacement {
  TPoint GlyphPos;
  TRect TextBounds;
};
TVrImageTextPlacement VrCalcImageTextLayout(TCanvas *Canvas, const TRect &Client, const TPoint &Offset,
                                            const QString &Caption, TVrImageTextLayout Layout, int Margin,
                                            int Spacing, const TSize &GlyphSize);
// The same with the text's size already known (an empty caption has size 0 x 0).
TVrImageTextPlacement VrCalcImageTextLayout(const TRect &Client, const TPoint &Offset, const TSize &TextSize,
                                            TVrImageTextLayout Layout, int Margin, int Spacing,
                                            const TSize &GlyphSize);
