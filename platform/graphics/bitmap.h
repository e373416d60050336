// Pictures: TGraphic, the base of every picture kind, and the kinds that are files of their own: TBitmap (BMP
// files) and TIcon (ICO files); TMetafile is in metafile.h. A graphic keeps the bytes
// it was loaded from and saves them unchanged until its content changes, so a picture passed through the
// program (a logo stored in the database, a picture in a report template) comes back byte for byte.
#pragma once
#include "platform/core/events.h"
#include "platform/core/object.h"
#include "platform/core/streams.h"
#include "platform/core/types.h"
#include "platform/graphics/canvas.h"
#include <QByteArray>
#include <QImage>
#include <QList>
#include <memory>
#include <optional>

// The most pixels a picture may have: far more than a logo or a report picture needs (a logo has a few
// million, an A4 page scanned at 600 dots per inch 35 million), and bounded so that a small damaged or
// hostile file cannot claim gigabytes. A larger picture is refused before memory is taken for its pixels.
constexpr qint64 MaxPicturePixels = 40'000'000;
// Raises EInvalidGraphic, saying so, when a picture of Width x Height pixels is larger than MaxPicturePixels.
void CheckPictureSize(qint64 Width, qint64 Height);

class TGraphic : public TPersistent {
public:
  QString ClassName() const override { return QStringLiteral("TGraphic"); }

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Kinds whose size follows from their content refuse with EInvalidGraphicOperation.
  virtual void SetWidth(int width);
  virtual void SetHeight(int height);
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);
  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

  // Reads the graphic from the whole of `bytes`, in its own file format; raises EInvalidGraphic for data that
  // is not such a picture (the graphic is then unchanged).
  virtual void LoadFromBytes(const QByteArray &bytes) = 0;
  // The graphic in its file format: the bytes it was loaded from while unchanged, else freshly written.
  QByteArray SaveToBytes() const;
  // The bytes the graphic was loaded from; empty once it has been changed or when it was made in memory.
  const QByteArray &OriginalBytes() const { return original_; }
  // Reads the graphic from the stream's position, taking as many bytes as its format says it has (the rest
  // when the format does not tell), and leaves the stream just after them.
  void LoadFromStream(TStream *stream);
  // Writes the graphic in its file format at the stream's position.
  void SaveToStream(TStream *stream) const;
  // Raises EFOpenError when the file cannot be read.
  void LoadFromFile(const QString &fileName);
  // Writes the file whole or not at all; raises EFCreateError when it cannot be written.
  void SaveToFile(const QString &fileName) const;

  // Draws the graphic into r on the canvas, stretched to r.
  virtual void Draw(TCanvas *canvas, const TRect &r) const = 0;

  TNotifyEvent OnChange;

protected:
  // Writes the graphic in its file format.
  virtual QByteArray Encode() const = 0;
  // How many of `bytes` (which start with such a picture) belong to it; -1 when the format does not say.
  virtual qsizetype DataLength(const QByteArray &bytes) const = 0;
  // The content changed: the original bytes no longer describe it.
  void Changed();
  // New content read from `bytes` (or copied from a graphic that had them).
  void Loaded(const QByteArray &bytes);

private:
  QByteArray original_;
  bool transparent_ = false;
  bool modified_ = false;
};

// ---- TBitmap ----

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// The header fields of a BMP file.
struct TBitmapFileHeader {
  quint32 fileSize = 0;   // bfSize
  quint32 dataOffset = 0; // bfOffBits: where the pixel rows start
  quint32 infoSize = 0;   // 12, 40, 52, 56, 64, 108 or 124
  qint32 width = 0;
  qint32 height = 0; // negative for rows stored top-down
  quint16 planes = 0;
  quint16 bitCount = 0;    // 1, 4, 8, 16, 24 or 32
  quint32 compression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  quint32 imageSize = 0;
  qint32 xPelsPerMeter = 0;
  qint32 yPelsPerMeter = 0;
  quint32 colorsUsed = 0;
  quint32 colorsImportant = 0;
};

// The header of a BMP file, or nothing when the bytes are not a well-formed BMP file (a header that claims
// more pixels than the data holds is refused too). The picture's size is not checked against
// MaxPicturePixels.
std::optional<TBitmapFileHeader> ReadBitmapFileHeader(const QByteArray &bytes);

class TBitmap : public TGraphic {
public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;
  QString ClassName() const override { return QStringLiteral("TBitmap"); }

  // From another bitmap: a copy; from another graphic: that graphic drawn on a bitmap of its size;
  // from nothing: empty.
  void Assign(const TPersistent *source) override;

  bool Empty() const override { return image_.isNull() || image_.width() == 0 || image_.height() == 0; }
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  // Resizing keeps the picture at the top left; new area takes the canvas's brush colour (white).
  void SetWidth(int width) override { SetSize(width, Height()); }
  void SetHeight(int height) override { SetSize(Width(), height); }
  void SetSize(int width, int height);

  // The format the bitmap is saved in (pfDevice: 24 bits). Lowering it reduces the colours to fit.
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat format);
  // The colour table of an indexed bitmap (1, 4 or 8 bits), as read or as reduced to.
  const QList<QRgb> &ColorTable() const { return colorTable_; }

  // The bitmap's own canvas.
  TCanvas *Canvas();

  // The colour left out when a transparent bitmap is drawn: the one set, or (while it is clDefault) the
  // bottom-left pixel's.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);

  // The pixels, 32 bits per pixel (alpha kept for pf32bit).
  const QImage &Image() const;
  // Replaces the picture; the pixel format follows the image's depth.
  void SetImage(const QImage &image);

  void LoadFromBytes(const QByteArray &bytes) override;
  void Draw(TCanvas *canvas, const TRect &r) const override;

protected:
  QByteArray Encode() const override;
  qsizetype DataLength(const QByteArray &bytes) const override;

private:
  void CanvasChanged(TObject *);
  void ReleaseCanvas() const;
  void ContentChanged();

  QImage image_;
  TPixelFormat pixelFormat_ = pfDevice;
  QList<QRgb> colorTable_;
  qint32 xPelsPerMeter_ = 0;
  qint32 yPelsPerMeter_ = 0;
  TColor transparentColor_ = clDefault;
  std::unique_ptr<TCanvas> canvas_;
  mutable QImage maskedCache_; // the picture with the transparent colour cleared
  mutable TColor maskedColor_ = clNone;
};

// ---- TIcon ----

class TIcon : public TGraphic {
public:
  TIcon();
  QString ClassName() const override { return QStringLiteral("TIcon"); }
  void Assign(const TPersistent *source) override;

  bool Empty() const override { return image_.isNull(); }
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  // The largest image of the icon file, with its transparency.
  const QImage &Image() const { return image_; }

  // Reads an ICO file (its largest, deepest image is shown).
  void LoadFromBytes(const QByteArray &bytes) override;
  void Draw(TCanvas *canvas, const TRect &r) const override;

protected:
  QByteArray Encode() const override { return OriginalBytes(); }
  qsizetype DataLength(const QByteArray &bytes) const override;

private:
  QImage image_;
};
