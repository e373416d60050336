// Glyphs of the report engine's speed buttons. A glyph bitmap holds up to four images side by side (up,
// disabled, down, exclusive); its bottom-left pixel gives the transparent colour. The images a button draws
// are prepared once and kept in a glyph list shared by every button whose images have the same size; the
// glyph cache hands those lists out and frees a list when its last user goes.
//
// The buttons also share one off-screen bitmap, in which buttons up to 100 x 100 pixels are painted before
// they are copied to the screen, and one dither pattern for the down buttons of a group. All of this lives
// while at least one button exists (frAcquireButtonResources / frReleaseButtonResources).
#pragma once
#include "platform/core/events.h"
#include "platform/core/types.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/widgets/button_glyph.h"
#include <QImage>
#include <memory>
#include <vector>

// What a button shows: up, disabled, down, exclusive (down in a group) and greyed while inactive.
enum TfrButtonState { fbsUp, fbsDisabled, fbsDown, fbsExclusive, fbsInactive };
constexpr int frButtonStateCount = 5;

// The greyed look of an up image: a pixel of the transparent colour or of the face colour stays, every other
// pixel becomes the grey (77 x red + 150 x green + 29 x blue) / 256.
QImage frGreyedImage(const QImage &up, QRgb transparent, QRgb face);

// Prepared images of one size. Slots of deleted images are reused.
class TfrGlyphList {
public:
  TfrGlyphList(int width, int height) : width_(width), height_(height) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Add(const QImage &image);
  void Delete(int index);
  const QImage &Image(int index) const { return images_.at(size_t(index)); }
  // Images held now.
  int Count() const { return count_; }

private:
  friend class TfrGlyphCache;
  int width_;
  int height_;
  std::vector<QImage> images_; // a null image is a free slot
  int count_ = 0;
  int users_ = 0;
};

class TfrGlyphCache {
public:
  // The list for images of that size, made when there is none; each call counts one user.
  TfrGlyphList *GetList(int width, int height);
  // One user fewer; the list is freed with its last user.
  void ReturnList(TfrGlyphList *list);
  int ListCount() const { return int(lists_.size()); }

private:
  std::vector<std::unique_ptr<TfrGlyphList>> lists_;
};

// ---- what the buttons share ----

// Counted by every button from its construction to its destruction.
void frAcquireButtonResources();
void frReleaseButtonResources();
// Whether the shared glyph cache, bitmap and pattern exist (while any button does).
bool frButtonResourcesExist();
// The shared objects; they exist only between the first acquire and the last release.
TfrGlyphCache *frGlyphCache();
// The off-screen bitmap for painting buttons up to frMaxSharedBitmapSize pixels square.
TBitmap *frButtonBitmap();
constexpr int frMaxSharedBitmapSize = 100;
// The dither pattern of down group buttons (face and highlight colours in a checkerboard).
const QImage &frDitherPattern();
// System colours changed: the pattern is made anew.
void frButtonColorsChanged();

// ---- one button's glyph ----

class TfrButtonGlyph {
public:
  TfrButtonGlyph();
  ~TfrButtonGlyph();
  TfrButtonGlyph(const TfrButtonGlyph &) = delete;
  TfrButtonGlyph &operator=(const TfrButtonGlyph &) = delete;

  TBitmap *Glyph() { return original_.get(); }
  void SetGlyph(const TBitmap *value);
  // Images in the bitmap, 1 to 4.
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value);
  // The size of one image (0 x 0 without a glyph).
  TSize ImageSize() const;
  // The prepared image for a state (transparent where the glyph's transparent colour was), made on demand.
  // A state the bitmap holds no image for is made from the up image.
  QImage Image(TfrButtonState state);
  // Forgets every prepared image (the glyph or the system colours changed).
  void Invalidate();

  // Lays out and draws the glyph and the caption in `client` moved by `offset`; returns the caption's place.
  TRect Draw(TCanvas *canvas, const TRect &client, const TPoint &offset, const QString &caption,
             TButtonLayout layout, int margin, int spacing, TfrButtonState state);

  // Fired when the glyph or the number of images changes.
  TNotifyEvent OnChange;

private:
  void GlyphChanged(TObject *);
  QImage MakeImage(TfrButtonState state) const;

  std::unique_ptr<TBitmap> original_;
  int numGlyphs_ = 1;
  TfrGlyphList *list_ = nullptr;
  int indexes_[frButtonStateCount];
};
