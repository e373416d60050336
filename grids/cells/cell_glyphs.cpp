#include "grids/cells/cell_glyphs.h"
#include "grids/cells/cell_pictures.h"
#include "platform/graphics/resources.h"
#include <algorithm>

// ---- the resource manager ----

TGlyphResourceManager::TGlyphResourceManager() {
  RegisterCellPictures();
  auto record = std::make_unique<TGlyphResource>();
  record->Bitmap = LoadBitmap(QString::fromLatin1(CheckGlyphsResource));
  default_ = record.get();
  resources_.push_back(std::move(record));
}

TGlyphResource *TGlyphResourceManager::DefaultResource() {
  ++default_->RefCount;
  return default_;
}

TGlyphResource *TGlyphResourceManager::NewResource(const TBitmap *Bitmap) {
  auto record = std::make_unique<TGlyphResource>();
  record->Bitmap = std::make_unique<TBitmap>();
  record->Bitmap->Assign(Bitmap);
  TGlyphResource *made = record.get();
  resources_.push_front(std::move(record));
  return made;
}

void TGlyphResourceManager::ReleaseResource(TGlyphResource *Resource) {
  const auto found = std::find_if(resources_.begin(), resources_.end(),
                                  [Resource](const auto &record) { return record.get() == Resource; });
  if (found == resources_.end()) return;
  // The manager keeps the default strip for as long as it lives.
  if (--Resource->RefCount <= 0 && Resource != default_) resources_.erase(found);
}

TGlyphResource *TGlyphResourceManager::ReferenceResource(TGlyphResource *Resource, TGlyphResource *Old) {
  const bool known = std::any_of(resources_.begin(), resources_.end(),
                                 [Resource](const auto &record) { return record.get() == Resource; });
  // The new reference comes first: a strip shared with itself must not be freed on the way.
  TGlyphResource *result = known ? Resource : default_;
  ++result->RefCount;
  ReleaseResource(Old);
  return result;
}

TGlyphResourceManager *GlyphResourceManager() {
  static TGlyphResourceManager manager;
  return &manager;
}

// ---- a cell's glyphs ----

TOvcCellGlyphs::TOvcCellGlyphs() : resource_(GlyphResourceManager()->DefaultResource()) { Recount(); }

TOvcCellGlyphs::~TOvcCellGlyphs() { GlyphResourceManager()->ReleaseResource(resource_); }

void TOvcCellGlyphs::Changed() {
  if (OnChange) OnChange(this);
}

void TOvcCellGlyphs::Use(TGlyphResource *Resource) {
  GlyphResourceManager()->ReleaseResource(resource_);
  resource_ = Resource;
  Recount();
  Changed();
}

void TOvcCellGlyphs::Recount() {
  const TBitmap *bitmap = BitMap();
  const int w = bitmap ? bitmap->Width() : 0;
  const int h = bitmap ? bitmap->Height() : 0;
  glyphCount_ = activeGlyphCount_ = 1;
  // An empty strip still counts as one glyph (it draws nothing).
  if (h > 0 && w > 0 && w % h == 0) glyphCount_ = activeGlyphCount_ = w / h;
}

void TOvcCellGlyphs::Assign(const TPersistent *Source) {
  if (!Source) {
    Use(GlyphResourceManager()->DefaultResource());
    return;
  }
  const auto *glyphs = dynamic_cast<const TOvcCellGlyphs *>(Source);
  if (!glyphs) {
    TPersistent::Assign(Source);
    return;
  }
  resource_ = GlyphResourceManager()->ReferenceResource(glyphs->resource_, resource_);
  Recount();
  Changed();
}

void TOvcCellGlyphs::SetBitMap(const TBitmap *Value) {
  Use(Value ? GlyphResourceManager()->NewResource(Value) : GlyphResourceManager()->DefaultResource());
}

bool TOvcCellGlyphs::IsDefault() const { return GlyphResourceManager()->IsDefault(resource_); }

void TOvcCellGlyphs::SetIsDefault(bool Value) {
  Use(Value ? GlyphResourceManager()->DefaultResource() : GlyphResourceManager()->NewResource(BitMap()));
}

void TOvcCellGlyphs::SetGlyphCount(int Value) {
  // A strip holds at least one glyph.
  if (Value < 1 || Value == glyphCount_) return;
  glyphCount_ = activeGlyphCount_ = Value;
  Changed();
}

void TOvcCellGlyphs::SetActiveGlyphCount(int Value) {
  if (Value < 1 || Value > glyphCount_ || Value == activeGlyphCount_) return;
  activeGlyphCount_ = Value;
  Changed();
}
