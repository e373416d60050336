#include "platform/graphics/jpeg_image.h"
#include <csetjmp>
#include <cstdio>
#include <cstring>
// clang-format off
#include <jpeglib.h>
// clang-format on

// libjpeg reports errors through a callback that must not return; it jumps back to the caller, which turns
// the message into an exception. The functions that call setjmp keep only trivially destructible locals
// between setjmp and the jump, so the jump skips no destructor.

namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
  auto *manager = reinterpret_cast<ErrorManager *>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

void OnMessage(j_common_ptr, int) {} // warnings of damaged but readable data are not shown

// libjpeg's error handler for one run: failures jump back to errors.jump, warnings are dropped.
jpeg_error_mgr *ReportTo(ErrorManager &errors) {
  jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = OnMessage;
  return &errors.base;
}

// 16-bit coefficients of four components of the largest picture, with room for libjpeg's own buffers.
constexpr long kMaxDecoderMemory = long(MaxPicturePixels) * 4 * 2 + 64 * 1024 * 1024;

struct DecodeResult {
  bool ok = false;
  bool tooLarge = false;
  JDIMENSION width = 0, height = 0;
  char message[JMSG_LENGTH_MAX] = {};
};

// Decodes into `image` (created once the size is known). The image lives in the caller's frame.
void DecodeInto(const unsigned char *data, unsigned long size, QImage *image, DecodeResult *result) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  info.err = ReportTo(errors);
  if (setjmp(errors.jump)) {
    std::memcpy(result->message, errors.message, sizeof result->message);
    jpeg_destroy_decompress(&info);
    return;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  // The size is known from the header: a picture too large is refused before libjpeg allocates for it.
  if (qint64(info.image_width) * info.image_height > MaxPicturePixels) {
    result->tooLarge = true;
    result->width = info.image_width;
    result->height = info.image_height;
    jpeg_destroy_decompress(&info);
    return;
  }
  // Progressive files keep every coefficient in memory; a damaged one must not ask for more than a
  // picture of the largest size needs (libjpeg refuses instead of using temporary files).
  info.mem->max_memory_to_use = kMaxDecoderMemory;
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  const bool gray = info.jpeg_color_space == JCS_GRAYSCALE;
  info.out_color_space = cmyk ? JCS_CMYK : gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(&info);
  *image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
  if (image->isNull()) {
    std::snprintf(result->message, sizeof result->message, "not enough memory");
    jpeg_destroy_decompress(&info);
    return;
  }
  const int components = info.output_components;
  JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                             info.output_width * JDIMENSION(components), 1);
  // Adobe's CMYK files store the inks inverted.
  const bool inverted = cmyk && info.saw_Adobe_marker;
  while (info.output_scanline < info.output_height) {
    const int y = int(info.output_scanline);
    jpeg_read_scanlines(&info, row, 1);
    auto *out = reinterpret_cast<QRgb *>(image->scanLine(y));
    const JSAMPLE *s = row[0];
    for (JDIMENSION x = 0; x < info.output_width; ++x) {
      if (components == 1) {
        out[x] = qRgb(s[x], s[x], s[x]);
      } else if (components == 3) {
        out[x] = qRgb(s[x * 3], s[x * 3 + 1], s[x * 3 + 2]);
      } else {
        int c = s[x * 4], m = s[x * 4 + 1], yl = s[x * 4 + 2], k = s[x * 4 + 3];
        if (!inverted) {
          c = 255 - c;
          m = 255 - m;
          yl = 255 - yl;
          k = 255 - k;
        }
        out[x] = qRgb(c * k / 255, m * k / 255, yl * k / 255);
      }
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  result->ok = true;
}

struct EncodeResult {
  bool ok = false;
  unsigned char *buffer = nullptr; // malloc'ed by libjpeg; freed by the caller
  unsigned long size = 0;
  char message[JMSG_LENGTH_MAX] = {};
};

// Encodes `rows` (RGB or grey samples, `components` per pixel) into result->buffer.
void EncodeRows(const unsigned char *samples, int width, int height, int components, int quality,
                bool progressive, EncodeResult *result) {
  jpeg_compress_struct info;
  ErrorManager errors;
  info.err = ReportTo(errors);
  if (setjmp(errors.jump)) {
    std::memcpy(result->message, errors.message, sizeof result->message);
    jpeg_destroy_compress(&info);
    return;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &result->buffer, &result->size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    auto *row = const_cast<JSAMPLE *>(samples + size_t(info.next_scanline) * size_t(width) * components);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  result->ok = true;
}

} // namespace

QImage DecodeJpeg(const QByteArray &bytes) {
  if (bytes.size() < 4 || uchar(bytes[0]) != 0xFF || uchar(bytes[1]) != 0xD8)
    throw EInvalidGraphic(QStringLiteral("JPEG image is not valid: not a JPEG file"));
  QImage image;
  DecodeResult result;
  DecodeInto(reinterpret_cast<const unsigned char *>(bytes.constData()),
             static_cast<unsigned long>(bytes.size()), &image, &result);
  if (result.tooLarge) CheckPictureSize(result.width, result.height);
  if (!result.ok)
    throw EInvalidGraphic(
        QStringLiteral("JPEG image is not valid: %1").arg(QString::fromLocal8Bit(result.message)));
  return image;
}

qsizetype JpegDataLength(const QByteArray &bytes) {
  const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
  const qsizetype n = bytes.size();
  if (n < 4 || b[0] != 0xFF || b[1] != 0xD8) return -1;
  qsizetype i = 2;
  while (i + 1 < n) {
    if (b[i] != 0xFF) return -1;
    const uchar marker = b[i + 1];
    if (marker == 0xFF) { // fill byte
      ++i;
      continue;
    }
    if (marker == 0xD9) return i + 2; // end of image
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      i += 2;
      continue;
    }
    if (i + 3 >= n) return -1;
    const qsizetype length = (qsizetype(b[i + 2]) << 8) | b[i + 3];
    i += 2 + length;
    if (marker == 0xDA) {
      // Entropy-coded data runs to the next marker that is not a stuffed byte or a restart marker.
      while (i + 1 < n && !(b[i] == 0xFF && b[i + 1] != 0x00 && !(b[i + 1] >= 0xD0 && b[i + 1] <= 0xD7))) ++i;
    }
  }
  return -1;
}

QByteArray EncodeJpeg(const QImage &image, int quality, bool grayscale, bool progressive) {
  if (image.isNull()) return QByteArray();
  const int components = grayscale ? 1 : 3;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  std::vector<unsigned char> samples(size_t(rgb.width()) * rgb.height() * components);
  size_t at = 0;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb c = line[x];
      if (grayscale) {
        samples[at++] = static_cast<unsigned char>(qGray(c));
      } else {
        samples[at++] = static_cast<unsigned char>(qRed(c));
        samples[at++] = static_cast<unsigned char>(qGreen(c));
        samples[at++] = static_cast<unsigned char>(qBlue(c));
      }
    }
  }
  EncodeResult result;
  EncodeRows(samples.data(), rgb.width(), rgb.height(), components, std::clamp(quality, 1, 100), progressive,
             &result);
  QByteArray out;
  if (result.ok) out = QByteArray(reinterpret_cast<const char *>(result.buffer), qsizetype(result.size));
  std::free(result.buffer);
  if (!result.ok)
    throw EInvalidGraphic(
        QStringLiteral("JPEG image cannot be written: %1").arg(QString::fromLocal8Bit(result.message)));
  return out;
}

void TJPEGImage::Assign(const TPersistent *source) {
  if (!source) {
    image_ = QImage();
    Changed();
    return;
  }
  if (auto other = dynamic_cast<const TJPEGImage *>(source)) {
    if (other == this) return;
    image_ = other->image_;
    if (other->OriginalBytes().isEmpty())
      Changed();
    else
      Loaded(other->OriginalBytes());
    return;
  }
  if (auto bitmap = dynamic_cast<const TBitmap *>(source)) {
    SetImage(bitmap->Image());
    return;
  }
  if (auto graphic = dynamic_cast<const TGraphic *>(source)) {
    TBitmap drawn;
    drawn.Assign(graphic);
    SetImage(drawn.Image());
    return;
  }
  TGraphic::Assign(source);
}

void TJPEGImage::SetImage(const QImage &image) {
  image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
  Changed();
}

void TJPEGImage::LoadFromBytes(const QByteArray &bytes) {
  image_ = DecodeJpeg(bytes);
  Loaded(bytes);
}

qsizetype TJPEGImage::DataLength(const QByteArray &bytes) const { return JpegDataLength(bytes); }

QByteArray TJPEGImage::Encode() const { return EncodeJpeg(image_, 90); }

void TJPEGImage::Draw(TCanvas *canvas, const TRect &r) const {
  if (!canvas || Empty()) return;
  canvas->DrawImage(r, image_, image_.rect());
}
