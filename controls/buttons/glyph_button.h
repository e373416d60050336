// TCorelGlyphButton: a push button drawn flat by itself, with an optional stock glyph beside its caption. A
// raised frame shows only while the mouse is over it, a sunken one while it is pressed.
#pragma once
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/widgets/std_buttons.h"
#include <memory>

enum TGlyphKind { glOK, glCancel, glHelp, glYes, glNo, glClose, glAbort, glRetry, glIgnore, glAll, glNone };

// The resource name of a kind's glyph ("GLOK", ..., "GLNONE").
QString GlyphKindResourceName(TGlyphKind Kind);
// Registers the stock glyphs as bitmap resources (once); olive (32896) is their transparent colour.
void RegisterGlyphButtonGlyphs();

class TCorelGlyphButton : public TButton {
public:
  explicit TCorelGlyphButton(TComponent *AOwner);
  ~TCorelGlyphButton() override;
  QString ClassName() const override { return QStringLiteral("TCorelGlyphButton"); }
  void WndProc(TMessage &Message) override;

  TGlyphKind GlyphKind() const { return glyphKind_; }
  void SetGlyphKind(TGlyphKind Value);
  // The glyph bitmap's width, 0 for glNone.
  int GlyphWidth() const { return glyphWidth_; }
  const TBitmap *GlyphBitmap() const { return glyph_.get(); }
  // Whether the mouse was over the button when it was last drawn or entered.
  bool Hot() const { return hot_; }

  void PaintButton(QPainter &Painter, QStyleOptionButton &Option) override;
  // Draws the whole button on Canvas (in client coordinates) in the given states.
  void DrawFace(TCanvas *Canvas, bool Pressed, bool Hot, bool Focused);

private:
  void SetHot(bool Value);
  TGlyphKind glyphKind_ = glNone;
  int glyphWidth_ = 0;
  std::unique_ptr<TBitmap> glyph_;
  bool hot_ = false;
};
