// TImageList: a list of small pictures of one size (Width x Height), each with its transparency, drawn by
// index; menus, grids and buttons take their icons from one.
#pragma once
#include "platform/core/component.h"
#include "platform/graphics/bitmap.h"
#include <QImage>
#include <QList>

class TCanvas;

class TCustomImageList : public TComponent {
public:
  explicit TCustomImageList(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TCustomImageList"); }

  // The images' size (16 x 16 by default). Changing it empties the list.
  int Width() const { return width_; }
  void SetWidth(int Value);
  int Height() const { return height_; }
  void SetHeight(int Value);
  int Count() const { return int(images_.size()); }
  // The colour the transparent parts are drawn in; clNone leaves them as they are.
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor Value);

  // Adds the images of Image (as many as Width fits in its width, at least one) with MaskColor transparent
  // (clDefault: the colour of its bottom-left pixel). Returns the index of the first image added.
  int AddMasked(const TBitmap *Image, TColor MaskColor);

  // Draws image Index at (X, Y); a disabled image is drawn greyed. Nothing for an index out of range.
  void Draw(TCanvas *Canvas, int X, int Y, int Index, bool Enabled = true) const;
  // Makes Image the list's size and draws image Index on it (its transparent parts keep the bitmap's pixels).
  void GetBitmap(int Index, TBitmap *Image) const;
  // The image with its transparency (alpha); a null image for an index out of range.
  QImage Image(int Index) const;

  TNotifyEvent OnChange;

private:
  QList<QImage> Split(const QImage &source, const QImage &alpha) const;
  void Changed();

  int width_ = 16;
  int height_ = 16;
  TColor bkColor_ = clNone;
  QList<QImage> images_;
};

class TImageList : public TCustomImageList {
public:
  using TCustomImageList::TCustomImageList;
  QString ClassName() const override { return QStringLiteral("TImageList"); }
};
