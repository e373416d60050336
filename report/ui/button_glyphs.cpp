#include "report/ui/button_glyphs.h"
#include <QPainter>
#include <algorithm>

// ---- image making ----

namespace {

bool SameColor(QRgb a, QRgb b) { return (a & 0xFFFFFFu) == (b & 0xFFFFFFu); }

// The image with its transparent colour made see-through.
QImage ClearTransparent(const QImage &image, QRgb transparent) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if (SameColor(line[x], transparent)) line[x] = 0;
  }
  return out;
}

} // namespace

QImage frGreyedImage(const QImage &up, QRgb transparent, QRgb face) {
  QImage out = up.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const QRgb c = line[x];
      if (SameColor(c, transparent) || SameColor(c, face)) continue;
      const int grey = (77 * qRed(c) + 150 * qGreen(c) + 29 * qBlue(c)) / 256;
      line[x] = qRgb(grey, grey, grey);
    }
  }
  return out;
}

// ---- glyph lists and the cache ----

int TfrGlyphList::Add(const QImage &image) {
  ++count_;
  for (size_t i = 0; i < images_.size(); ++i)
    if (images_[i].isNull()) {
      images_[i] = image;
      return int(i);
    }
  images_.push_back(image);
  return int(images_.size()) - 1;
}

void TfrGlyphList::Delete(int index) {
  if (index < 0 || size_t(index) >= images_.size() || images_[size_t(index)].isNull()) return;
  images_[size_t(index)] = QImage();
  --count_;
}

TfrGlyphList *TfrGlyphCache::GetList(int width, int height) {
  for (auto &list : lists_)
    if (list->width_ == width && list->height_ == height) {
      ++list->users_;
      return list.get();
    }
  lists_.push_back(std::make_unique<TfrGlyphList>(width, height));
  lists_.back()->users_ = 1;
  return lists_.back().get();
}

void TfrGlyphCache::ReturnList(TfrGlyphList *list) {
  if (!list) return;
  auto it = std::find_if(lists_.begin(), lists_.end(), [list](const auto &l) { return l.get() == list; });
  if (it == lists_.end()) return;
  if (--(*it)->users_ <= 0) lists_.erase(it);
}

// ---- shared resources ----

namespace {

struct SharedResources {
  TfrGlyphCache cache;
  TBitmap bitmap{frMaxSharedBitmapSize, frMaxSharedBitmapSize};
  QImage pattern;
};

int g_buttonCount = 0;
SharedResources *g_shared = nullptr;

QImage MakeDitherPattern() {
  QImage pattern(8, 8, QImage::Format_RGB32);
  const QRgb face = ColorToQColor(clBtnFace).rgb();
  const QRgb highlight = ColorToQColor(clBtnHighlight).rgb();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pattern.setPixel(x, y, (x + y) % 2 == 0 ? face : highlight);
  return pattern;
}

} // namespace

void frAcquireButtonResources() {
  if (g_buttonCount++ == 0) {
    g_shared = new SharedResources;
    g_shared->pattern = MakeDitherPattern();
  }
}

void frReleaseButtonResources() {
  if (g_buttonCount <= 0) return;
  if (--g_buttonCount == 0) {
    delete g_shared;
    g_shared = nullptr;
  }
}

bool frButtonResourcesExist() { return g_shared != nullptr; }
TfrGlyphCache *frGlyphCache() { return g_shared ? &g_shared->cache : nullptr; }
TBitmap *frButtonBitmap() { return g_shared ? &g_shared->bitmap : nullptr; }

const QImage &frDitherPattern() {
  static const QImage none;
  return g_shared ? g_shared->pattern : none;
}

void frButtonColorsChanged() {
  if (g_shared) g_shared->pattern = MakeDitherPattern();
}

// ---- one button's glyph ----

TfrButtonGlyph::TfrButtonGlyph() : original_(std::make_unique<TBitmap>()) {
  std::fill(std::begin(indexes_), std::end(indexes_), -1);
  original_->OnChange = TNotifyEvent(this, &TfrButtonGlyph::GlyphChanged);
}

TfrButtonGlyph::~TfrButtonGlyph() { Invalidate(); }

void TfrButtonGlyph::SetGlyph(const TBitmap *value) {
  Invalidate();
  original_->OnChange = TNotifyEvent();
  original_->Assign(value);
  original_->OnChange = TNotifyEvent(this, &TfrButtonGlyph::GlyphChanged);
  // A bitmap as wide as a whole number of square images holds that many (as the class library guesses).
  if (!original_->Empty() && original_->Height() > 0 && original_->Width() % original_->Height() == 0) {
    const int n = original_->Width() / original_->Height();
    if (n >= 1 && n <= 4) numGlyphs_ = n;
  }
  if (OnChange) OnChange(nullptr);
}

void TfrButtonGlyph::GlyphChanged(TObject *) {
  Invalidate();
  if (OnChange) OnChange(nullptr);
}

void TfrButtonGlyph::SetNumGlyphs(int value) {
  value = std::clamp(value, 1, 4);
  if (value == numGlyphs_) return;
  Invalidate();
  numGlyphs_ = value;
  if (OnChange) OnChange(nullptr);
}

TSize TfrButtonGlyph::ImageSize() const {
  if (original_->Empty()) return {};
  return {original_->Width() / numGlyphs_, original_->Height()};
}

void TfrButtonGlyph::Invalidate() {
  if (!list_) return;
  for (int &index : indexes_) {
    if (index >= 0) list_->Delete(index);
    index = -1;
  }
  if (TfrGlyphCache *cache = frGlyphCache()) cache->ReturnList(list_);
  list_ = nullptr;
}

QImage TfrButtonGlyph::MakeImage(TfrButtonState state) const {
  const TSize size = ImageSize();
  const QImage &whole = original_->Image();
  const QRgb transparent = ColorToQColor(original_->TransparentColor()).rgb();
  auto part = [&](int n) { return whole.copy(n * size.cx, 0, size.cx, size.cy); };
  const int slot = state == fbsInactive ? 0 : int(state);
  QImage image;
  if (slot < numGlyphs_) {
    image = part(slot);
  } else if (state == fbsDisabled) {
    // The embossed look: the glyph's shape in the highlight colour one pixel down and right, and in the
    // shadow colour on top.
    return DisabledGlyph(ClearTransparent(part(0), transparent));
  } else {
    image = part(0);
  }
  if (state == fbsInactive) image = frGreyedImage(image, transparent, ColorToQColor(clBtnFace).rgb());
  return ClearTransparent(image, transparent);
}

QImage TfrButtonGlyph::Image(TfrButtonState state) {
  const TSize size = ImageSize();
  if (size.cx <= 0 || size.cy <= 0) return QImage();
  TfrGlyphCache *cache = frGlyphCache();
  if (!cache) return MakeImage(state); // no button exists: nothing is shared
  if (!list_) list_ = cache->GetList(size.cx, size.cy);
  int &index = indexes_[int(state)];
  if (index < 0) index = list_->Add(MakeImage(state));
  return list_->Image(index);
}

TRect TfrButtonGlyph::Draw(TCanvas *canvas, const TRect &client, const TPoint &offset, const QString &caption,
                           TButtonLayout layout, int margin, int spacing, TfrButtonState state) {
  TSize textSize;
  if (!caption.isEmpty()) {
    TRect measure = Rect(0, 0, client.Width(), 0);
    canvas->DrawText(caption, measure, DT_CALCRECT | DT_SINGLELINE);
    textSize = {measure.Width(), measure.Height()};
  }
  TPoint glyphPos;
  TRect textBounds;
  CalcButtonLayout(client, offset, ImageSize(), textSize, layout, margin, spacing, glyphPos, textBounds);
  const QImage image = Image(state);
  if (!image.isNull()) {
    canvas->DrawImage(Bounds(glyphPos.X, glyphPos.Y, image.width(), image.height()), image, image.rect());
  }
  if (!caption.isEmpty()) {
    canvas->Brush()->SetStyle(bsClear);
    const TColor textColor = canvas->Font()->Color();
    const unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (state == fbsDisabled) {
      // Engraved: the highlight one pixel down and right, the shadow on top.
      TRect r = textBounds;
      OffsetRect(r, 1, 1);
      canvas->Font()->SetColor(clBtnHighlight);
      canvas->DrawText(caption, r, format);
      r = textBounds;
      canvas->Font()->SetColor(clBtnShadow);
      canvas->DrawText(caption, r, format);
    } else {
      TRect r = textBounds;
      canvas->DrawText(caption, r, format);
    }
    canvas->Font()->SetColor(textColor);
  }
  return textBounds;
}
