// TJPEGImage: a JPEG picture, decoded and encoded through libjpeg. It keeps the compressed bytes it was
// loaded from and writes them back unchanged; a picture given to it as pixels is compressed when saved.
#pragma once
#include "platform/graphics/bitmap.h"

class TJPEGImage : public TGraphic {
public:
  QString ClassName() const override { return QStringLiteral("TJPEGImage"); }
  // From another JPEG image: a copy; from a bitmap or any other graphic: its pixels, compressed when saved.
  void Assign(const TPersistent *source) override;

  bool Empty() const override { return image_.isNull(); }
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }

  // The decoded pixels.
  const QImage &Image() const { return image_; }
  // Takes pixels to be compressed (at quality 90) when saved.
  void SetImage(const QImage &image);

  // Raises EInvalidGraphic with libjpeg's reason for data that is not a JPEG picture.
  void LoadFromBytes(const QByteArray &bytes) override;
  void Draw(TCanvas *canvas, const TRect &r) const override;

protected:
  QByteArray Encode() const override;
  qsizetype DataLength(const QByteArray &bytes) const override;

private:
  QImage image_;
};

// The pixels of a JPEG file; raises EInvalidGraphic when the bytes are not one.
QImage DecodeJpeg(const QByteArray &bytes);
// The length of the JPEG file at the start of `bytes` (up to its end-of-image marker); -1 when it has none.
qsizetype JpegDataLength(const QByteArray &bytes);
// A JPEG file of the image at the given quality (1..100).
QByteArray EncodeJpeg(const QImage &image, int quality, bool grayscale = false, bool progressive = false);
