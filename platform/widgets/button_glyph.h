// The glyph of a glyph button (bit button, speed button): a bitmap holding up to four images side by side
// (up, disabled, down, exclusive) whose bottom-left pixel gives the transparent colour, and the standard
// layout of a glyph beside a caption.
#pragma once
#include "platform/core/events.h"
#include "platform/core/types.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include <QImage>
#include <memory>

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
using TNumGlyphs = int;

// Lays out a glyph of GlyphSize and a caption of TextSize in Client (in Client's coordinates), with
// Margin pixels from the edge the glyph sits at (-1: glyph and caption centred as a block) and Spacing
// pixels between them (-1: the free space shared out evenly). The other axis centres both. The results are
// moved by Client's top-left corner plus Offset (a pressed button passes (1, 1)).
void CalcButtonLayout(const TRect &Client, const TPoint &Offset, const TSize &GlyphSize,
                      const TSize &TextSize, TButtonLayout Layout, int Margin, int Spacing, TPoint &GlyphPos,
                      TRect &TextBounds);

// The embossed look of a disabled glyph: the glyph's shape (its pixels that are neither transparent nor
// light) once in the highlight colour one pixel down and right, and once in the shadow colour on top.
QImage DisabledGlyph(const QImage &Image);

class TButtonGlyph {
public:
  TButtonGlyph();
  ~TButtonGlyph();
  TButtonGlyph(const TButtonGlyph &) = delete;
  TButtonGlyph &operator=(const TButtonGlyph &) = delete;

  // The images side by side; a copy is kept.
  TBitmap *Glyph() { return glyph_.get(); }
  void SetGlyph(const TBitmap *Value);
  // How many images the bitmap holds (1 to 4).
  TNumGlyphs NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(TNumGlyphs Value);
  bool Empty() const { return glyph_->Empty(); }
  // The size of one image (0 x 0 when empty).
  TSize ImageSize() const;
  // The image for State with its transparent colour left out; a state the bitmap holds no image for uses the
  // up image (disabled: embossed from it).
  QImage Image(TButtonState State) const;

  // Draws glyph and caption in Client with the layout; returns where the caption went. A disabled caption is
  // drawn engraved. The caption's "&" marks its accelerator.
  TRect Draw(TCanvas *Canvas, const TRect &Client, const TPoint &Offset, const QString &Caption,
             TButtonLayout Layout, int Margin, int Spacing, TButtonState State) const;

  // Fired when the glyph or the number of images changes.
  TNotifyEvent OnChange;

private:
  void GlyphChanged(TObject *);
  std::unique_ptr<TBitmap> glyph_;
  TNumGlyphs numGlyphs_ = 1;
};
