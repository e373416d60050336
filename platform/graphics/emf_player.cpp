#include "platform/graphics/emf_player.h"
#include "platform/graphics/dib.h"
#include "platform/graphics/metafile_painter.h"
#include "platform/graphics/metafile_records.h"
#include <QtEndian>
#include <cmath>
#include <optional>

namespace {

enum : quint32 {
  EMR_HEADER = 1,
  EMR_POLYBEZIER = 2,
  EMR_POLYGON = 3,
  EMR_POLYLINE = 4,
  EMR_POLYBEZIERTO = 5,
  EMR_POLYLINETO = 6,
  EMR_POLYPOLYLINE = 7,
  EMR_POLYPOLYGON = 8,
  EMR_SETWINDOWEXTEX = 9,
  EMR_SETWINDOWORGEX = 10,
  EMR_SETVIEWPORTEXTEX = 11,
  EMR_SETVIEWPORTORGEX = 12,
  EMR_EOF = 14,
  EMR_SETPIXELV = 15,
  EMR_SETMAPMODE = 17,
  EMR_SETBKMODE = 18,
  EMR_SETPOLYFILLMODE = 19,
  EMR_SETROP2 = 20,
  EMR_SETTEXTALIGN = 22,
  EMR_SETTEXTCOLOR = 24,
  EMR_SETBKCOLOR = 25,
  EMR_OFFSETCLIPRGN = 26,
  EMR_MOVETOEX = 27,
  EMR_EXCLUDECLIPRECT = 29,
  EMR_INTERSECTCLIPRECT = 30,
  EMR_SCALEVIEWPORTEXTEX = 31,
  EMR_SCALEWINDOWEXTEX = 32,
  EMR_SAVEDC = 33,
  EMR_RESTOREDC = 34,
  EMR_SETWORLDTRANSFORM = 35,
  EMR_MODIFYWORLDTRANSFORM = 36,
  EMR_SELECTOBJECT = 37,
  EMR_CREATEPEN = 38,
  EMR_CREATEBRUSHINDIRECT = 39,
  EMR_DELETEOBJECT = 40,
  EMR_ELLIPSE = 42,
  EMR_RECTANGLE = 43,
  EMR_ROUNDRECT = 44,
  EMR_ARC = 45,
  EMR_CHORD = 46,
  EMR_PIE = 47,
  EMR_CREATEPALETTE = 49,
  EMR_LINETO = 54,
  EMR_SETARCDIRECTION = 57,
  EMR_BEGINPATH = 59,
  EMR_ENDPATH = 60,
  EMR_CLOSEFIGURE = 61,
  EMR_FILLPATH = 62,
  EMR_STROKEANDFILLPATH = 63,
  EMR_STROKEPATH = 64,
  EMR_SELECTCLIPPATH = 67,
  EMR_ABORTPATH = 68,
  EMR_FILLRGN = 71,
  EMR_PAINTRGN = 74,
  EMR_EXTSELECTCLIPRGN = 75,
  EMR_BITBLT = 76,
  EMR_STRETCHBLT = 77,
  EMR_SETDIBITSTODEVICE = 80,
  EMR_STRETCHDIBITS = 81,
  EMR_EXTCREATEFONTINDIRECTW = 82,
  EMR_EXTTEXTOUTA = 83,
  EMR_EXTTEXTOUTW = 84,
  EMR_POLYBEZIER16 = 85,
  EMR_POLYGON16 = 86,
  EMR_POLYLINE16 = 87,
  EMR_POLYBEZIERTO16 = 88,
  EMR_POLYLINETO16 = 89,
  EMR_POLYPOLYLINE16 = 90,
  EMR_POLYPOLYGON16 = 91,
  EMR_CREATEMONOBRUSH = 93,
  EMR_CREATEDIBPATTERNBRUSHPT = 94,
  EMR_EXTCREATEPEN = 95,
};

constexpr quint32 kSignature = 0x464D4520; // " EMF"
constexpr quint32 kHeaderSize = 88;
// Objects are kept by any index below this, whatever the header's count (some writers count short).
constexpr quint32 kMaxObjects = 65535;
constexpr quint32 DIB_PAL_COLORS = 1;
constexpr int kMaxDashes = 16;
constexpr quint32 MWT_IDENTITY = 1, MWT_LEFTMULTIPLY = 2, MWT_RIGHTMULTIPLY = 3, MWT_SET = 4;

struct Header {
  QRectF frame;                // in the reference device's pixels
  QPointF pixelsPerMillimetre; // of the reference device
  qint64 end = 0;              // where the records end
  qint64 first = 0;            // where the first record after the header starts
};

QRectF RectAt(TRecordReader &r, qint64 at) {
  return QRectF(QPointF(r.I32(at), r.I32(at + 4)), QPointF(r.I32(at + 8), r.I32(at + 12)));
}
QPointF PointAt(TRecordReader &r, qint64 at) { return QPointF(r.I32(at), r.I32(at + 4)); }

std::optional<Header> ReadHeader(const QByteArray &bytes) {
  TRecordReader r(bytes.constData(), bytes.size());
  const quint32 size = r.U32(4);
  if (r.U32(0) != EMR_HEADER || r.U32(40) != kSignature || r.Failed() || size < kHeaderSize ||
      size > quint32(bytes.size()))
    return std::nullopt;
  Header h;
  const QRectF bounds = RectAt(r, 8);
  const QRectF frame = RectAt(r, 24); // hundredths of a millimetre
  const quint32 total = r.U32(48);
  const double devX = r.I32(72), devY = r.I32(76);
  double mmX = r.I32(80), mmY = r.I32(84);
  if (size >= 108 && r.I32(100) > 0 && r.I32(104) > 0) {
    mmX = r.I32(100) / 1000.0;
    mmY = r.I32(104) / 1000.0;
  }
  h.pixelsPerMillimetre = devX > 0 && devY > 0 && mmX > 0 && mmY > 0 ? QPointF(devX / mmX, devY / mmY)
                                                                     : QPointF(96 / 25.4, 96 / 25.4);
  h.frame = QRectF(
      QPointF(frame.left() / 100 * h.pixelsPerMillimetre.x(), frame.top() / 100 * h.pixelsPerMillimetre.y()),
      QPointF(frame.right() / 100 * h.pixelsPerMillimetre.x(),
              frame.bottom() / 100 * h.pixelsPerMillimetre.y()));
  // Without a frame, the bounds of what the records draw (their right and bottom edges inside).
  if (!(h.frame.width() > 0 && h.frame.height() > 0))
    h.frame = QRectF(bounds.topLeft(), bounds.bottomRight() + QPointF(1, 1));
  if (!(h.frame.width() > 0 && h.frame.height() > 0)) return std::nullopt;
  h.first = size;
  h.end = total >= size && total <= quint32(bytes.size()) ? total : bytes.size();
  return h;
}

// A transform of the file's, or nothing when its numbers could not make one.
std::optional<QTransform> TransformAt(TRecordReader &r, qint64 at) {
  const double m[6] = {r.F32(at),      r.F32(at + 4),  r.F32(at + 8),
                       r.F32(at + 12), r.F32(at + 16), r.F32(at + 20)};
  for (double v : m)
    if (!std::isfinite(v) || std::abs(v) > 1e9) return std::nullopt;
  if (std::abs(m[0] * m[3] - m[1] * m[2]) < 1e-12) return std::nullopt;
  return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

class Player {
public:
  Player(TMetafilePainter &painter, const Header &header)
      : p_(painter), header_(header), objects_(kMaxObjects) {}
  void Record(quint32 type, TRecordReader &r);

private:
  TGdiState &S() { return p_.State(); }
  void Poly(quint32 type, TRecordReader &r, bool sixteenBit);
  void PolyPoly(quint32 type, TRecordReader &r, bool sixteenBit);
  void Text(TRecordReader &r, bool wide);
  QImage Dib(TRecordReader &r, qint64 at, QByteArray *info = nullptr);
  void Bitmap(quint32 type, TRecordReader &r);
  void CreatePen(TRecordReader &r, bool extended);
  void CreateBrush(quint32 type, TRecordReader &r);
  void CreateFont(TRecordReader &r);
  QList<QRectF> RegionRects(TRecordReader &r, qint64 at, qint64 size);

  TMetafilePainter &p_;
  const Header &header_;
  TGdiObjectTable objects_;
};

void Player::Record(quint32 type, TRecordReader &r) {
  switch (type) {
  case EMR_POLYBEZIER:
  case EMR_POLYGON:
  case EMR_POLYLINE:
  case EMR_POLYBEZIERTO:
  case EMR_POLYLINETO: Poly(type, r, false); return;
  case EMR_POLYBEZIER16:
  case EMR_POLYGON16:
  case EMR_POLYLINE16:
  case EMR_POLYBEZIERTO16:
  case EMR_POLYLINETO16: Poly(type, r, true); return;
  case EMR_POLYPOLYLINE:
  case EMR_POLYPOLYGON: PolyPoly(type, r, false); return;
  case EMR_POLYPOLYLINE16:
  case EMR_POLYPOLYGON16: PolyPoly(type, r, true); return;
  case EMR_EXTTEXTOUTA:
  case EMR_EXTTEXTOUTW: Text(r, type == EMR_EXTTEXTOUTW); return;
  case EMR_BITBLT:
  case EMR_STRETCHBLT:
  case EMR_SETDIBITSTODEVICE:
  case EMR_STRETCHDIBITS: Bitmap(type, r); return;
  case EMR_CREATEPEN:
  case EMR_EXTCREATEPEN: CreatePen(r, type == EMR_EXTCREATEPEN); return;
  case EMR_CREATEBRUSHINDIRECT:
  case EMR_CREATEMONOBRUSH:
  case EMR_CREATEDIBPATTERNBRUSHPT: CreateBrush(type, r); return;
  case EMR_EXTCREATEFONTINDIRECTW: CreateFont(r); return;
  default: break;
  }

  switch (type) {
  case EMR_SETWINDOWEXTEX:
  case EMR_SETWINDOWORGEX:
  case EMR_SETVIEWPORTEXTEX:
  case EMR_SETVIEWPORTORGEX:
  case EMR_MOVETOEX:
  case EMR_LINETO:
  case EMR_OFFSETCLIPRGN: {
    const QPointF point = PointAt(r, 8);
    if (r.Failed()) return;
    if (type == EMR_SETWINDOWEXTEX) S().SetWindowExt(QSizeF(point.x(), point.y()));
    if (type == EMR_SETWINDOWORGEX) S().windowOrg = point;
    if (type == EMR_SETVIEWPORTEXTEX) S().SetViewportExt(QSizeF(point.x(), point.y()));
    if (type == EMR_SETVIEWPORTORGEX) S().viewportOrg = point;
    if (type == EMR_MOVETOEX) p_.MoveTo(point);
    if (type == EMR_LINETO) p_.LineTo(point);
    if (type == EMR_OFFSETCLIPRGN) p_.OffsetClip(point);
    return;
  }
  case EMR_SCALEVIEWPORTEXTEX:
  case EMR_SCALEWINDOWEXTEX: {
    const double xNum = r.I32(8), xDenom = r.I32(12), yNum = r.I32(16), yDenom = r.I32(20);
    if (r.Failed() || xDenom == 0 || yDenom == 0) return;
    if (type == EMR_SCALEWINDOWEXTEX) {
      const QSizeF ext = S().windowExt;
      S().SetWindowExt(QSizeF(ext.width() * xNum / xDenom, ext.height() * yNum / yDenom));
    } else {
      const QSizeF ext = S().viewportExt;
      S().SetViewportExt(QSizeF(ext.width() * xNum / xDenom, ext.height() * yNum / yDenom));
    }
    return;
  }
  case EMR_SETPIXELV: {
    const QPointF point = PointAt(r, 8);
    const quint32 color = r.U32(16);
    if (!r.Failed()) p_.SetPixel(point, ColorFromRef(color));
    return;
  }
  case EMR_SAVEDC: p_.SaveDC(); return;
  case EMR_BEGINPATH: p_.BeginPath(); return;
  case EMR_ENDPATH: p_.EndPath(); return;
  case EMR_CLOSEFIGURE: p_.CloseFigure(); return;
  case EMR_ABORTPATH: p_.AbortPath(); return;
  case EMR_FILLPATH:
  case EMR_STROKEANDFILLPATH:
  case EMR_STROKEPATH: p_.DrawPath(type != EMR_STROKEPATH, type != EMR_FILLPATH); return;
  default: break;
  }

  // Records of one number and more: read them, then act only when they were all there.
  const quint32 a = r.U32(8);
  if (r.Failed()) return;
  switch (type) {
  case EMR_SETMAPMODE: S().SetMapMode(int(a), header_.pixelsPerMillimetre); break;
  case EMR_SETBKMODE:
    if (a == GDI_TRANSPARENT || a == GDI_OPAQUE) S().bkMode = int(a);
    break;
  case EMR_SETPOLYFILLMODE:
    if (a == ALTERNATE || a == WINDING) S().polyFillMode = int(a);
    break;
  case EMR_SETROP2:
    if (a >= 1 && a <= 16) S().rop2 = int(a);
    break;
  case EMR_SETARCDIRECTION:
    if (a == AD_COUNTERCLOCKWISE || a == AD_CLOCKWISE) S().arcDirection = int(a);
    break;
  case EMR_SETTEXTALIGN: S().textAlign = a; break;
  case EMR_SELECTCLIPPATH: p_.SelectClipPath(int(a)); break;
  case EMR_SETTEXTCOLOR: S().textColor = ColorFromRef(a); break;
  case EMR_SETBKCOLOR: S().bkColor = ColorFromRef(a); break;
  case EMR_RESTOREDC: p_.RestoreDC(qint32(a)); break;
  case EMR_SELECTOBJECT:
    if (const auto stock = StockObject(a))
      p_.Select(*stock);
    else if (const TGdiObject *object = objects_.Find(a))
      p_.Select(*object);
    break;
  case EMR_DELETEOBJECT: objects_.Remove(a); break;
  case EMR_CREATEPALETTE: objects_.Put(a, TGdiObject()); break;
  case EMR_SETWORLDTRANSFORM:
    if (const auto xform = TransformAt(r, 8)) S().world = *xform;
    break;
  case EMR_MODIFYWORLDTRANSFORM: {
    const quint32 mode = r.U32(32);
    const auto xform = TransformAt(r, 8);
    if (r.Failed()) break;
    if (mode == MWT_IDENTITY) S().world = QTransform();
    if (!xform) break;
    if (mode == MWT_LEFTMULTIPLY) S().world = *xform * S().world;
    if (mode == MWT_RIGHTMULTIPLY) S().world = S().world * *xform;
    if (mode == MWT_SET) S().world = *xform;
    break;
  }
  case EMR_RECTANGLE:
  case EMR_ELLIPSE: {
    const QRectF box = RectAt(r, 8);
    if (r.Failed()) break;
    if (type == EMR_RECTANGLE)
      p_.Rectangle(box);
    else
      p_.Ellipse(box);
    break;
  }
  case EMR_ROUNDRECT: {
    const QRectF box = RectAt(r, 8);
    const QSizeF corner(r.I32(24), r.I32(28));
    if (!r.Failed()) p_.RoundRect(box, corner);
    break;
  }
  case EMR_ARC:
  case EMR_CHORD:
  case EMR_PIE: {
    const QRectF box = RectAt(r, 8);
    const QPointF start = PointAt(r, 24), end = PointAt(r, 32);
    if (r.Failed()) break;
    p_.Arc(type == EMR_ARC     ? TArcKind::Arc
           : type == EMR_CHORD ? TArcKind::Chord
                               : TArcKind::Pie,
           box, start, end);
    break;
  }
  case EMR_EXCLUDECLIPRECT:
  case EMR_INTERSECTCLIPRECT: {
    const QRectF box = RectAt(r, 8);
    if (r.Failed()) break;
    if (type == EMR_INTERSECTCLIPRECT)
      p_.IntersectClipRect(box);
    else
      p_.ExcludeClipRect(box);
    break;
  }
  case EMR_EXTSELECTCLIPRGN: {
    const qint64 size = a;
    const int mode = int(r.U32(12));
    if (r.Failed()) break;
    if (size == 0) {
      if (mode == RGN_COPY) p_.SelectClipRects({}, RGN_COPY);
      break;
    }
    const QList<QRectF> rects = RegionRects(r, 16, size);
    if (!r.Failed()) p_.SelectClipRects(rects, mode);
    break;
  }
  case EMR_FILLRGN: {
    const qint64 size = r.U32(24);
    const quint32 handle = r.U32(28);
    const QList<QRectF> rects = RegionRects(r, 32, size);
    std::optional<TGdiObject> brush = StockObject(handle);
    if (!brush)
      if (const TGdiObject *object = objects_.Find(handle)) brush = *object;
    if (!r.Failed() && brush && std::holds_alternative<TGdiBrush>(*brush))
      p_.FillDeviceRects(rects, std::get<TGdiBrush>(*brush));
    break;
  }
  case EMR_PAINTRGN: {
    const QList<QRectF> rects = RegionRects(r, 28, r.U32(24));
    if (!r.Failed()) p_.FillDeviceRects(rects, S().brush);
    break;
  }
  default: break; // not drawn
  }
}

// A region's rectangles (RGNDATA of `size` bytes at `at`), in device units.
QList<QRectF> Player::RegionRects(TRecordReader &r, qint64 at, qint64 size) {
  const qint64 count = r.U32(at + 8);
  if (size < 32 || !r.Has(at, size) || count > (size - 32) / 16) {
    r.MarkFailed();
    return {};
  }
  QList<QRectF> rects;
  rects.reserve(qsizetype(count));
  for (qint64 i = 0; i < count; ++i) rects.append(RectAt(r, at + 32 + i * 16));
  return rects;
}

void Player::Poly(quint32 type, TRecordReader &r, bool sixteenBit) {
  const QPolygonF points = r.Points(28, r.U32(24), sixteenBit);
  if (r.Failed()) return;
  switch (type) {
  case EMR_POLYBEZIER:
  case EMR_POLYBEZIER16: p_.PolyBezier(points, false); break;
  case EMR_POLYBEZIERTO:
  case EMR_POLYBEZIERTO16: p_.PolyBezier(points, true); break;
  case EMR_POLYGON:
  case EMR_POLYGON16: p_.Polygon(points); break;
  case EMR_POLYLINE:
  case EMR_POLYLINE16: p_.Polyline(points); break;
  default: p_.PolylineTo(points); break;
  }
}

void Player::PolyPoly(quint32 type, TRecordReader &r, bool sixteenBit) {
  const qint64 polygons = r.U32(24), total = r.U32(28);
  const QList<qint32> counts = r.Numbers(32, polygons, false);
  const QPolygonF points = r.Points(32 + polygons * 4, total, sixteenBit);
  if (r.Failed()) return;
  QList<QPolygonF> parts;
  qsizetype next = 0;
  for (qint32 count : counts) {
    if (count < 0 || count > points.size() - next) return; // more points than the record holds
    parts.append(points.mid(next, count));
    next += count;
  }
  if (type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16)
    p_.PolyPolygon(parts);
  else
    p_.PolyPolyline(parts);
}

void Player::Text(TRecordReader &r, bool wide) {
  const QPointF reference = PointAt(r, 36);
  const qint64 count = r.U32(44), offString = r.U32(48);
  const unsigned options = r.U32(52);
  const QRectF rect = RectAt(r, 56);
  const qint64 offDx = r.U32(72);
  if (r.Failed()) return;
  QString text;
  if (!(options & ETO_GLYPH_INDEX)) { // glyph numbers of a font this system does not have are not drawn
    const QByteArray bytes = r.Bytes(offString, count * (wide ? 2 : 1));
    if (r.Failed()) return;
    if (wide) {
      text.resize(qsizetype(count));
      for (qint64 i = 0; i < count; ++i)
        text[i] = QChar(qFromLittleEndian<quint16>(bytes.constData() + 2 * i));
    } else {
      text = TextInCharset(bytes, S().font.charset);
    }
  }
  QList<qreal> dx;
  const int step = options & ETO_PDY ? 2 : 1;
  // The advances, one per character written (a double-byte text gives them per byte: they are not used).
  if (offDx && text.size() == count && r.Has(offDx, count * 4 * step)) {
    const QList<qint32> numbers = r.Numbers(offDx, count * step, false);
    for (qsizetype i = 0; i < numbers.size(); i += step) dx.append(numbers[i]);
  }
  p_.TextOut(reference, text, dx, options, rect);
}

QImage Player::Dib(TRecordReader &r, qint64 at, QByteArray *infoOut) {
  const qint64 offBmi = r.U32(at), cbBmi = r.U32(at + 4), offBits = r.U32(at + 8), cbBits = r.U32(at + 12);
  QByteArray info = r.Bytes(offBmi, cbBmi);
  const QByteArray bits = r.Bytes(offBits, cbBits);
  if (r.Failed()) return {};
  if (infoOut) *infoOut = info;
  return DecodeDib(info, bits, p_.PixelBudget());
}

void Player::Bitmap(quint32 type, TRecordReader &r) {
  const QPointF dest = PointAt(r, 24);
  if (type == EMR_BITBLT || type == EMR_STRETCHBLT) {
    const QSizeF destSize(r.I32(32), r.I32(36));
    const quint32 rop = r.U32(40);
    const QPointF source = PointAt(r, 44);
    const auto xform = TransformAt(r, 52);
    const quint32 usage = r.U32(80), cbBmi = r.U32(88);
    const QSizeF sourceSize = type == EMR_STRETCHBLT ? QSizeF(r.I32(100), r.I32(104)) : destSize;
    if (r.Failed()) return;
    const QRectF destination(dest, destSize);
    if (cbBmi == 0) { // no source: the brush and the destination alone
      p_.PatBlt(destination, rop);
      return;
    }
    if (usage == DIB_PAL_COLORS) return;
    const QImage image = Dib(r, 84);
    const QTransform toPixels = xform.value_or(QTransform());
    const QRectF pixels(toPixels.map(source),
                        toPixels.map(source + QPointF(sourceSize.width(), sourceSize.height())));
    p_.DrawImage(destination, image, pixels, rop);
    return;
  }
  const QPointF source = PointAt(r, 32);
  const QSizeF sourceSize(r.I32(40), r.I32(44));
  const quint32 usage = r.U32(64);
  if (r.Failed() || usage == DIB_PAL_COLORS) return;
  QByteArray info;
  if (type == EMR_STRETCHDIBITS) {
    const quint32 rop = r.U32(68);
    const QSizeF destSize(r.I32(72), r.I32(76));
    const QImage image = Dib(r, 48, &info);
    if (r.Failed() || image.isNull()) return;
    // Rows of a bottom-up bitmap are counted from its bottom.
    const double top = DibBottomUp(info) ? image.height() - source.y() - sourceSize.height() : source.y();
    p_.DrawImage(QRectF(dest, destSize), image, QRectF(QPointF(source.x(), top), sourceSize), rop);
    return;
  }
  // SetDIBitsToDevice: at the bitmap's own size; the record may hold only some of its rows.
  const qint64 startScan = r.U32(68), scans = r.U32(72);
  const qint64 offBmi = r.U32(48), cbBmi = r.U32(52);
  info = r.Bytes(offBmi, cbBmi);
  if (r.Failed()) return;
  const int rows = DibRows(info);
  const bool bottomUp = DibBottomUp(info);
  if (scans > 0 && scans < rows && info.size() >= 12 && qFromLittleEndian<quint32>(info.constData()) >= 40)
    qToLittleEndian<qint32>(qint32(bottomUp ? scans : -scans), info.data() + 8);
  const QByteArray bits = r.Bytes(r.U32(56), r.U32(60));
  if (r.Failed()) return;
  const QImage image = DecodeDib(info, bits, p_.PixelBudget());
  if (image.isNull()) return;
  const double sourceY = source.y() - (scans > 0 && scans < rows ? startScan : 0);
  const double top = bottomUp ? image.height() - sourceY - sourceSize.height() : sourceY;
  p_.DrawImage(QRectF(dest, sourceSize), image, QRectF(QPointF(source.x(), top), sourceSize), SRCCOPY);
}

void Player::CreatePen(TRecordReader &r, bool extended) {
  const quint32 index = r.U32(8);
  TGdiPen pen;
  if (extended) {
    pen.style = int(r.U32(28));
    pen.width = r.U32(32);
    const quint32 brushStyle = r.U32(36);
    pen.color = ColorFromRef(r.U32(40));
    const qint64 entries = r.U32(48);
    pen.geometric = pen.style & PS_GEOMETRIC;
    pen.cosmetic = !pen.geometric;
    if (brushStyle == BS_NULL) pen.style = (pen.style & ~PS_STYLE_MASK) | PS_NULL;
    if ((pen.style & PS_STYLE_MASK) == PS_USERSTYLE && entries <= kMaxDashes) {
      const QList<qint32> lengths = r.Numbers(52, entries, false);
      for (qint32 length : lengths) {
        if (length <= 0) { // a pattern with an empty dash draws solid
          pen.dashes.clear();
          break;
        }
        pen.dashes.append(length);
      }
    }
  } else {
    pen.style = int(r.U32(12)) & PS_STYLE_MASK;
    pen.width = std::abs(double(r.I32(16)));
    pen.color = ColorFromRef(r.U32(24));
    pen.cosmetic = false;
  }
  if (!r.Failed()) objects_.Put(index, pen);
}

void Player::CreateBrush(quint32 type, TRecordReader &r) {
  const quint32 index = r.U32(8);
  TGdiBrush brush;
  if (type == EMR_CREATEBRUSHINDIRECT) {
    brush.style = int(r.U32(12));
    brush.color = ColorFromRef(r.U32(16));
    brush.hatch = int(r.U32(20));
    if (brush.style != BS_NULL && brush.style != BS_HATCHED) brush.style = BS_SOLID;
  } else {
    brush.style = BS_DIBPATTERNPT;
    brush.color = Qt::black;
    if (r.U32(12) != DIB_PAL_COLORS) brush.pattern = Dib(r, 16);
  }
  if (!r.Failed()) objects_.Put(index, brush);
}

void Player::CreateFont(TRecordReader &r) {
  const quint32 index = r.U32(8);
  TGdiFont font;
  font.height = r.I32(12);
  font.width = r.I32(16);
  font.escapement = r.I32(20);
  font.weight = r.I32(28);
  font.italic = r.U8(32);
  font.underline = r.U8(33);
  font.strikeOut = r.U8(34);
  font.charset = r.U8(35);
  font.pitchAndFamily = r.U8(39);
  for (int i = 0; i < 32 && r.Has(40 + 2 * i, 2); ++i) {
    const char16_t c = r.U16(40 + 2 * i);
    if (c == 0) break;
    font.face.append(QChar(c));
  }
  if (!r.Failed()) objects_.Put(index, font);
}

} // namespace

void PlayEnhancedMetafile(QPainter &painter, const QByteArray &bytes, const QRectF &target) {
  const std::optional<Header> header = ReadHeader(bytes);
  if (!header || target.isEmpty()) return;
  const QRectF frame = header->frame;
  const QTransform toTarget =
      QTransform::fromTranslate(-frame.left(), -frame.top()) *
      QTransform::fromScale(target.width() / frame.width(), target.height() / frame.height()) *
      QTransform::fromTranslate(target.left(), target.top());
  // A font of height 0 is 12 points on the reference device.
  const double defaultFontEm = 12 / 72.0 * 25.4 * header->pixelsPerMillimetre.y();
  TMetafilePainter painterState(painter, target, toTarget, defaultFontEm);
  Player player(painterState, *header);
  const char *data = bytes.constData();
  qint64 at = header->first;
  while (at + 8 <= header->end) {
    TRecordReader head(data + at, 8);
    const quint32 type = head.U32(0), size = head.U32(4);
    if (size < 8 || size % 4 || size > header->end - at) break;
    if (type == EMR_EOF) break;
    TRecordReader record(data + at, size);
    player.Record(type, record);
    at += size;
  }
}
