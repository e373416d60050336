#include "platform/graphics/metafile.h"
#include "platform/graphics/emf_player.h"
#include "platform/graphics/metafile_records.h"
#include "platform/graphics/wmf_player.h"

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;
// The largest side a metafile is shown at, in screen pixels.
constexpr qint64 kMaxSide = 1 << 16;

} // namespace

bool IsMetafileData(const QByteArray &bytes) {
  TRecordReader r(bytes.constData(), bytes.size());
  if (bytes.size() >= 44 && r.U32(0) == 1 && bytes.mid(40, 4) == QByteArray(" EMF")) return true;
  if (bytes.size() >= 22 && r.U32(0) == kPlaceableKey) return true;
  if (bytes.size() >= 18 && (r.U16(0) == 1 || r.U16(0) == 2) && r.U16(2) == 9) return true;
  return false;
}

void TMetafile::Assign(const TPersistent *source) {
  if (!source) {
    bytes_.clear();
    width_ = height_ = 0;
    Changed();
    return;
  }
  if (auto other = dynamic_cast<const TMetafile *>(source)) {
    if (other == this) return;
    bytes_ = other->bytes_;
    enhanced_ = other->enhanced_;
    width_ = other->width_;
    height_ = other->height_;
    Loaded(other->OriginalBytes());
    return;
  }
  TGraphic::Assign(source);
}

void TMetafile::LoadFromBytes(const QByteArray &bytes) {
  if (!IsMetafileData(bytes)) throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));
  TRecordReader r(bytes.constData(), bytes.size());
  qint64 w = 0, h = 0;
  const bool enhanced = r.U32(0) == 1;
  if (enhanced) {
    // The picture frame, in hundredths of a millimetre.
    w = std::max<qint64>(0, (qint64(r.I32(32)) - r.I32(24)) * kScreenPixelsPerInch / 2540);
    h = std::max<qint64>(0, (qint64(r.I32(36)) - r.I32(28)) * kScreenPixelsPerInch / 2540);
  } else if (r.U32(0) == kPlaceableKey) {
    // A placeable metafile: a bounding box in units of which `inch` make an inch.
    const int inch = r.U16(14);
    if (inch > 0) {
      w = std::abs(r.I16(10) - r.I16(6)) * qint64(kScreenPixelsPerInch) / inch;
      h = std::abs(r.I16(12) - r.I16(8)) * qint64(kScreenPixelsPerInch) / inch;
    }
  }
  CheckPictureSize(w, h);
  bytes_ = bytes;
  enhanced_ = enhanced;
  width_ = int(std::min(w, kMaxSide));
  height_ = int(std::min(h, kMaxSide));
  Loaded(bytes);
}

qsizetype TMetafile::DataLength(const QByteArray &bytes) const {
  TRecordReader r(bytes.constData(), bytes.size());
  qint64 length = -1;
  if (bytes.size() >= 52 && r.U32(0) == 1) {
    length = r.U32(48); // the enhanced metafile's total size
  } else {
    // A Windows metafile counts its size in 16-bit words, after a placeable header when there is one.
    const qsizetype header = bytes.size() >= 22 && r.U32(0) == kPlaceableKey ? 22 : 0;
    if (bytes.size() >= header + 10) length = header + qint64(r.U32(header + 6)) * 2;
  }
  return length > 0 && length <= bytes.size() ? qsizetype(length) : -1;
}

void TMetafile::SetWidth(int width) {
  // The size it is shown at; the metafile's own bytes are kept as they are.
  width_ = std::max(0, width);
  if (OnChange) OnChange(this);
}

void TMetafile::SetHeight(int height) {
  height_ = std::max(0, height);
  if (OnChange) OnChange(this);
}

void TMetafile::Draw(TCanvas *canvas, const TRect &r) const {
  if (!canvas || Empty() || r.IsEmpty()) return;
  QPainter &painter = *canvas->Handle();
  const QRectF target(r.Left, r.Top, r.Width(), r.Height());
  if (enhanced_)
    PlayEnhancedMetafile(painter, bytes_, target);
  else
    PlayWindowsMetafile(painter, bytes_, target);
}
