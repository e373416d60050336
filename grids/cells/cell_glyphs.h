// The glyph strips of the glyph and check-box cells. Cells that show the same strip share one
// reference-counted copy kept by the process's glyph resource manager; a cell not given its own strip uses
// the default check-box strip.
#pragma once
#include "platform/core/events.h"
#include "platform/core/object.h"
#include "platform/graphics/bitmap.h"
#include <list>
#include <memory>

struct TGlyphResource {
  std::unique_ptr<TBitmap> Bitmap;
  int RefCount = 1;
};

class TGlyphResourceManager {
public:
  TGlyphResourceManager();
  // The check-box strip, with one reference more.
  TGlyphResource *DefaultResource();
  // A new record holding a copy of Bitmap, with one reference.
  TGlyphResource *NewResource(const TBitmap *Bitmap);
  // One reference less; a record left without references is freed. Unknown records are ignored.
  void ReleaseResource(TGlyphResource *Resource);
  // One reference more to Resource (the default when Resource is unknown), then one less to Old.
  TGlyphResource *ReferenceResource(TGlyphResource *Resource, TGlyphResource *Old);
  bool IsDefault(const TGlyphResource *Resource) const { return Resource == default_; }
  int Count() const { return int(resources_.size()); }

private:
  std::list<std::unique_ptr<TGlyphResource>> resources_;
  TGlyphResource *default_ = nullptr;
};

// The process's manager, made at first use.
TGlyphResourceManager *GlyphResourceManager();

class TOvcCellGlyphs : public TPersistent {
public:
  TOvcCellGlyphs();
  ~TOvcCellGlyphs() override;
  QString ClassName() const override { return QStringLiteral("TOvcCellGlyphs"); }
  // From other glyphs: shares their strip; from nothing: back to the default strip.
  void Assign(const TPersistent *Source) override;

  const TBitmap *BitMap() const { return resource_->Bitmap.get(); }
  // A private copy of Value (nullptr: the default strip).
  void SetBitMap(const TBitmap *Value);
  bool IsDefault() const;
  // True returns to the default strip; False gives these glyphs a private copy of the present one.
  void SetIsDefault(bool Value);
  // How many glyphs the strip holds, and how many of them are used (1 .. GlyphCount).
  int GlyphCount() const { return glyphCount_; }
  void SetGlyphCount(int Value);
  int ActiveGlyphCount() const { return activeGlyphCount_; }
  void SetActiveGlyphCount(int Value);
  // Whether the form stores BitMap: only a strip of its own.
  bool IsBitMapStored() const { return !IsDefault(); }

  TNotifyEvent OnChange;

private:
  void Use(TGlyphResource *Resource);
  void Recount();
  void Changed();

  TGlyphResource *resource_ = nullptr;
  int activeGlyphCount_ = 1;
  int glyphCount_ = 1;
};
