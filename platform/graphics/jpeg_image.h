// TJPEGImage: a JPEG picture, decoded and encoded through libjpeg. It keeps the compressed bytes it was
// loaded from and writes them back unchanged; a picture given to it as pixels is compressed when saved.
#pragma once
#include "platform/graphics/bitmap.h"

enum TJPEGPerformance { jpBestQuality, jpBestSpeed };

class TJPEGImage : public TGraphic {
public:
  QString ClassName() const override { return QStringLiteral("TJPEGImage"); }
  // From another JPEG image: a copy; from a bitmap or any other graphic: its pixels, compressed when saved.
  void Assign(const TPersistent *source) override;

  bool Empty() const override { return image_.isNull(); }
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }

  // 1..100, used when the picture is compressed.
  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int quality);
  // Compressed in grey levels only.
  bool Grayscale() const { return grayscale_; }
  void SetGrayscale(bool grayscale);
  bool ProgressiveEncoding() const { return progressive_; }
  void SetProgressiveEncoding(bool progressive) { progressive_ = progressive; }
  TJPEGPerformance Performance() const { return performance_; }
  void SetPerformance(TJPEGPerformance performance) { performance_ = performance; }

  // The decoded pixels.
  const QImage &Image() const { return image_; }
  // Takes pixels to be compressed.
  void SetImage(const QImage &image);
  // Compresses the pixels now (with the current settings), replacing the kept bytes.
  void Compress();

  // Raises EInvalidGraphic with libjpeg's reason for data that is not a JPEG picture.
  void LoadFromBytes(const QByteArray &bytes) override;
  void Draw(TCanvas *canvas, const TRect &r) const override;

protected:
  QByteArray Encode() const override;
  qsizetype DataLength(const QByteArray &bytes) const override;

private:
  QImage image_;
  int quality_ = 90;
  bool grayscale_ = false;
  bool progressive_ = false;
  TJPEGPerformance performance_ = jpBestQuality;
};

// The pixels of a JPEG file; raises EInvalidGraphic when the bytes are not one.
QImage DecodeJpeg(const QByteArray &bytes, bool fast = false);
// The length of the JPEG file at the start of `bytes` (up to its end-of-image marker); -1 when it has none.
qsizetype JpegDataLength(const QByteArray &bytes);
// A JPEG file of the image at the given quality (1..100).
QByteArray EncodeJpeg(const QImage &image, int quality, bool grayscale = false, bool progressive = false);
