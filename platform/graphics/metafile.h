// TMetafile: a Windows metafile, enhanced or placeable (or a plain Windows metafile), kept as its bytes and
// played back whenever it is drawn: its records are drawn onto the canvas, its picture frame stretched over
// the rectangle given.
#pragma once
#include "platform/graphics/bitmap.h"

class TMetafile : public TGraphic {
public:
  QString ClassName() const override { return QStringLiteral("TMetafile"); }
  void Assign(const TPersistent *source) override;

  bool Empty() const override { return bytes_.isEmpty(); }
  // The size in screen pixels, from the metafile's header.
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  bool Enhanced() const { return enhanced_; }
  const QByteArray &Bytes() const { return bytes_; }

  // Raises EInvalidGraphic for bytes that do not start as a metafile, and for one whose frame on the screen
  // would have more than MaxPicturePixels.
  void LoadFromBytes(const QByteArray &bytes) override;
  void Draw(TCanvas *canvas, const TRect &r) const override;

protected:
  QByteArray Encode() const override { return bytes_; }
  qsizetype DataLength(const QByteArray &bytes) const override;

private:
  QByteArray bytes_;
  bool enhanced_ = false;
  int width_ = 0;
  int height_ = 0;
};

// True when the bytes start like an enhanced metafile or a Windows metafile.
bool IsMetafileData(const QByteArray &bytes);
