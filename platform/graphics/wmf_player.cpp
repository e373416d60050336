#include "platform/graphics/wmf_player.h"
#include "platform/graphics/dib.h"
#include "platform/graphics/metafile_painter.h"
#include "platform/graphics/metafile_records.h"
#include <optional>

namespace {

enum : quint16 {
  META_EOF = 0x0000,
  META_SAVEDC = 0x001E,
  META_CREATEPALETTE = 0x00F7,
  META_SETBKMODE = 0x0102,
  META_SETMAPMODE = 0x0103,
  META_SETROP2 = 0x0104,
  META_SETPOLYFILLMODE = 0x0106,
  META_RESTOREDC = 0x0127,
  META_SELECTCLIPREGION = 0x012C,
  META_SELECTOBJECT = 0x012D,
  META_SETTEXTALIGN = 0x012E,
  META_DIBCREATEPATTERNBRUSH = 0x0142,
  META_DELETEOBJECT = 0x01F0,
  META_CREATEPATTERNBRUSH = 0x01F9,
  META_SETBKCOLOR = 0x0201,
  META_SETTEXTCOLOR = 0x0209,
  META_SETWINDOWORG = 0x020B,
  META_SETWINDOWEXT = 0x020C,
  META_OFFSETWINDOWORG = 0x020F,
  META_LINETO = 0x0213,
  META_MOVETO = 0x0214,
  META_OFFSETCLIPRGN = 0x0220,
  META_CREATEPENINDIRECT = 0x02FA,
  META_CREATEFONTINDIRECT = 0x02FB,
  META_CREATEBRUSHINDIRECT = 0x02FC,
  META_POLYGON = 0x0324,
  META_POLYLINE = 0x0325,
  META_SCALEWINDOWEXT = 0x0410,
  META_EXCLUDECLIPRECT = 0x0415,
  META_INTERSECTCLIPRECT = 0x0416,
  META_ELLIPSE = 0x0418,
  META_RECTANGLE = 0x041B,
  META_SETPIXEL = 0x041F,
  META_TEXTOUT = 0x0521,
  META_POLYPOLYGON = 0x0538,
  META_ROUNDRECT = 0x061C,
  META_PATBLT = 0x061D,
  META_CREATEREGION = 0x06FF,
  META_ARC = 0x0817,
  META_PIE = 0x081A,
  META_CHORD = 0x0830,
  META_DIBBITBLT = 0x0940,
  META_EXTTEXTOUT = 0x0A32,
  META_DIBSTRETCHBLT = 0x0B41,
  META_SETDIBTODEV = 0x0D33,
  META_STRETCHDIB = 0x0F43,
};

constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;
constexpr qint64 kPlaceableSize = 22;
constexpr qint64 kRecordHeader = 6; // size in words (4 bytes) and function (2)
constexpr quint16 DIB_PAL_COLORS = 1;

struct Header {
  std::optional<QRectF> box; // the placeable header's bounding box
  double unitsPerInch = 96;
  qint64 first = 0; // the first record
  qint64 end = 0;
};

std::optional<Header> ReadHeader(const QByteArray &bytes) {
  TRecordReader r(bytes.constData(), bytes.size());
  Header h;
  qint64 at = 0;
  if (r.U32(0) == kPlaceableKey) {
    const QRectF box(QPointF(r.I16(6), r.I16(8)), QPointF(r.I16(10), r.I16(12)));
    if (box.width() != 0 && box.height() != 0) h.box = box;
    if (r.U16(14) > 0) h.unitsPerInch = r.U16(14);
    at = kPlaceableSize;
  }
  const quint16 type = r.U16(at), headerWords = r.U16(at + 2);
  const qint64 words = r.U32(at + 6);
  if (r.Failed() || (type != 1 && type != 2) || headerWords < 9) return std::nullopt;
  h.first = at + headerWords * 2;
  h.end = words * 2 >= h.first - at && at + words * 2 <= bytes.size() ? at + words * 2 : bytes.size();
  if (h.first > h.end) return std::nullopt;
  return h;
}

// The window the records set first (origin and extent), for a metafile without a bounding box.
std::optional<QRectF> FirstWindow(const QByteArray &bytes, const Header &h) {
  std::optional<QPointF> origin;
  for (qint64 at = h.first; at + kRecordHeader <= h.end;) {
    TRecordReader head(bytes.constData() + at, kRecordHeader);
    const qint64 size = qint64(head.U32(0)) * 2;
    const quint16 function = head.U16(4);
    if (size < kRecordHeader || size > h.end - at || function == META_EOF) break;
    TRecordReader r(bytes.constData() + at, size);
    const QPointF p(r.I16(8), r.I16(6));
    if (!r.Failed() && function == META_SETWINDOWORG && !origin) origin = p;
    if (!r.Failed() && function == META_SETWINDOWEXT && p.x() != 0 && p.y() != 0)
      return QRectF(origin.value_or(QPointF()), QSizeF(p.x(), p.y()));
    at += size;
  }
  return std::nullopt;
}

// A rectangle of four 16-bit numbers stored bottom, right, top, left (the order of most records).
QRectF BackwardRect(TRecordReader &r, qint64 at) {
  return QRectF(QPointF(r.I16(at + 6), r.I16(at + 4)), QPointF(r.I16(at + 2), r.I16(at)));
}
// A point stored y, x.
QPointF BackwardPoint(TRecordReader &r, qint64 at) { return QPointF(r.I16(at + 2), r.I16(at)); }

class Player {
public:
  // Objects take slots up to the most a metafile can name, whatever the header's count (some writers count
  // short).
  explicit Player(TMetafilePainter &painter) : p_(painter), objects_(0xFFFF) {}
  void Record(quint16 function, TRecordReader &r);

private:
  TGdiState &S() { return p_.State(); }
  void Add(const TGdiObject &object) { objects_.Add(object); }
  void Text(quint16 function, TRecordReader &r);
  void Bitmap(quint16 function, TRecordReader &r);
  void CreateFont(TRecordReader &r);
  void CreateRegion(TRecordReader &r);

  TMetafilePainter &p_;
  TGdiObjectTable objects_;
};

void Player::Record(quint16 function, TRecordReader &r) {
  constexpr qint64 p = kRecordHeader; // where the parameters start
  switch (function) {
  case META_TEXTOUT:
  case META_EXTTEXTOUT: Text(function, r); return;
  case META_DIBBITBLT:
  case META_DIBSTRETCHBLT:
  case META_STRETCHDIB:
  case META_SETDIBTODEV: Bitmap(function, r); return;
  case META_CREATEFONTINDIRECT: CreateFont(r); return;
  case META_CREATEREGION: CreateRegion(r); return;
  case META_CREATEPALETTE:
  case META_CREATEPATTERNBRUSH: Add(TGdiObject()); return; // kept for their slots
  case META_SAVEDC: p_.SaveDC(); return;
  case META_POLYGON:
  case META_POLYLINE: {
    const QPolygonF points = r.Points(p + 2, r.I16(p), true);
    if (r.Failed()) return;
    if (function == META_POLYGON)
      p_.Polygon(points);
    else
      p_.Polyline(points);
    return;
  }
  case META_POLYPOLYGON: {
    const qint64 polygons = r.U16(p);
    const QList<qint32> counts = r.Numbers(p + 2, polygons, true);
    qint64 total = 0;
    for (qint32 count : counts) total += std::max(0, count);
    const QPolygonF points = r.Points(p + 2 + polygons * 2, total, true);
    if (r.Failed()) return;
    QList<QPolygonF> parts;
    qsizetype next = 0;
    for (qint32 count : counts) {
      parts.append(points.mid(next, std::max(0, count)));
      next += std::max(0, count);
    }
    p_.PolyPolygon(parts);
    return;
  }
  case META_DIBCREATEPATTERNBRUSH: {
    TGdiBrush brush;
    brush.style = BS_DIBPATTERNPT;
    brush.color = Qt::black;
    const quint16 usage = r.U16(p + 2);
    if (!r.Failed() && usage != DIB_PAL_COLORS)
      brush.pattern = DecodePackedDib(r.Bytes(p + 4, r.Size() - p - 4), p_.PixelBudget());
    Add(brush); // a brush that cannot be read still takes its slot
    return;
  }
  default: break;
  }

  const quint16 a = r.U16(p);
  if (r.Failed()) return;
  switch (function) {
  case META_SETBKMODE:
    if (a == GDI_TRANSPARENT || a == GDI_OPAQUE) S().bkMode = a;
    return;
  case META_SETMAPMODE:
    // The picture is scaled onto its place whatever the mode: only keeping the proportions is taken.
    S().mapMode = a == MM_ISOTROPIC ? MM_ISOTROPIC : MM_ANISOTROPIC;
    return;
  case META_SETROP2:
    if (a >= 1 && a <= 16) S().rop2 = a;
    return;
  case META_SETPOLYFILLMODE:
    if (a == ALTERNATE || a == WINDING) S().polyFillMode = a;
    return;
  case META_SETTEXTALIGN: S().textAlign = a; return;
  case META_RESTOREDC: p_.RestoreDC(qint16(a)); return;
  case META_SELECTOBJECT:
  case META_SELECTCLIPREGION:
    if (const TGdiObject *object = objects_.Find(a)) {
      if (auto region = std::get_if<TGdiRegion>(object)) {
        QList<QRectF> rects;
        for (const QRect &rect : region->rects) rects.append(QRectF(rect));
        p_.SelectLogicalClipRects(rects);
      } else {
        p_.Select(*object);
      }
    }
    return;
  case META_DELETEOBJECT: objects_.Remove(a); return;
  default: break;
  }

  switch (function) {
  case META_SETBKCOLOR:
  case META_SETTEXTCOLOR: {
    const QColor color = ColorFromRef(r.U32(p));
    if (r.Failed()) return;
    if (function == META_SETBKCOLOR)
      S().bkColor = color;
    else
      S().textColor = color;
    return;
  }
  case META_SETWINDOWORG:
  case META_SETWINDOWEXT:
  case META_OFFSETWINDOWORG:
  case META_LINETO:
  case META_MOVETO:
  case META_OFFSETCLIPRGN: {
    const QPointF point = BackwardPoint(r, p);
    if (r.Failed()) return;
    if (function == META_SETWINDOWORG) S().windowOrg = point;
    if (function == META_SETWINDOWEXT && point.x() != 0 && point.y() != 0)
      S().windowExt = QSizeF(point.x(), point.y());
    if (function == META_OFFSETWINDOWORG) S().windowOrg += point;
    if (function == META_LINETO) p_.LineTo(point);
    if (function == META_MOVETO) p_.MoveTo(point);
    if (function == META_OFFSETCLIPRGN) p_.OffsetClip(point);
    return;
  }
  case META_SCALEWINDOWEXT: {
    const double yDenom = r.I16(p), yNum = r.I16(p + 2), xDenom = r.I16(p + 4), xNum = r.I16(p + 6);
    if (r.Failed() || xDenom == 0 || yDenom == 0 || xNum == 0 || yNum == 0) return;
    S().windowExt = QSizeF(S().windowExt.width() * xNum / xDenom, S().windowExt.height() * yNum / yDenom);
    return;
  }
  case META_EXCLUDECLIPRECT:
  case META_INTERSECTCLIPRECT:
  case META_ELLIPSE:
  case META_RECTANGLE: {
    const QRectF box = BackwardRect(r, p);
    if (r.Failed()) return;
    if (function == META_EXCLUDECLIPRECT) p_.ExcludeClipRect(box);
    if (function == META_INTERSECTCLIPRECT) p_.IntersectClipRect(box);
    if (function == META_ELLIPSE) p_.Ellipse(box);
    if (function == META_RECTANGLE) p_.Rectangle(box);
    return;
  }
  case META_ROUNDRECT: {
    const QSizeF corner(r.I16(p + 2), r.I16(p));
    const QRectF box = BackwardRect(r, p + 4);
    if (!r.Failed()) p_.RoundRect(box, corner);
    return;
  }
  case META_ARC:
  case META_PIE:
  case META_CHORD: {
    const QPointF end = BackwardPoint(r, p), start = BackwardPoint(r, p + 4);
    const QRectF box = BackwardRect(r, p + 8);
    if (r.Failed()) return;
    const TArcKind kind = function == META_ARC   ? TArcKind::Arc
                          : function == META_PIE ? TArcKind::Pie
                                                 : TArcKind::Chord;
    p_.Arc(kind, box, start, end);
    return;
  }
  case META_SETPIXEL: {
    const QColor color = ColorFromRef(r.U32(p));
    const QPointF point = BackwardPoint(r, p + 4);
    if (!r.Failed()) p_.SetPixel(point, color);
    return;
  }
  case META_PATBLT: {
    const quint32 rop = r.U32(p);
    const QSizeF size(r.I16(p + 6), r.I16(p + 4));
    const QPointF at = BackwardPoint(r, p + 8);
    if (!r.Failed()) p_.PatBlt(QRectF(at, size), rop);
    return;
  }
  case META_CREATEPENINDIRECT: {
    TGdiPen pen;
    pen.style = a & PS_STYLE_MASK;
    pen.width = std::abs(r.I16(p + 2));
    pen.color = ColorFromRef(r.U32(p + 6));
    pen.cosmetic = false;
    if (!r.Failed()) Add(pen);
    return;
  }
  case META_CREATEBRUSHINDIRECT: {
    TGdiBrush brush;
    brush.style = a;
    brush.color = ColorFromRef(r.U32(p + 2));
    brush.hatch = r.U16(p + 6);
    if (brush.style != BS_NULL && brush.style != BS_HATCHED) brush.style = BS_SOLID;
    if (!r.Failed()) Add(brush);
    return;
  }
  default: return; // not drawn
  }
}

void Player::Text(quint16 function, TRecordReader &r) {
  constexpr qint64 p = kRecordHeader;
  QPointF reference;
  QByteArray bytes;
  unsigned options = 0;
  QRectF rect;
  QList<qreal> dx;
  if (function == META_TEXTOUT) {
    const qint64 count = r.I16(p);
    bytes = r.Bytes(p + 2, count);
    reference = BackwardPoint(r, p + 2 + (count + 1) / 2 * 2);
  } else {
    reference = BackwardPoint(r, p);
    const qint64 count = r.I16(p + 4);
    options = r.U16(p + 6);
    qint64 at = p + 8;
    if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
      rect = QRectF(QPointF(r.I16(at), r.I16(at + 2)), QPointF(r.I16(at + 4), r.I16(at + 6)));
      at += 8;
    }
    bytes = r.Bytes(at, count);
    at += (count + 1) / 2 * 2;
    if (r.Has(at, count * 2)) {
      const QList<qint32> advances = r.Numbers(at, count, true);
      dx = QList<qreal>(advances.begin(), advances.end());
    }
  }
  if (r.Failed()) return;
  const QString text = TextInCharset(bytes, S().font.charset);
  // Advances are given per byte: a text of double-byte characters is spaced by its font.
  if (text.size() != bytes.size()) dx.clear();
  p_.TextOut(reference, text, dx, options, rect);
}

void Player::Bitmap(quint16 function, TRecordReader &r) {
  constexpr qint64 p = kRecordHeader;
  const quint32 rop = function == META_SETDIBTODEV ? SRCCOPY : r.U32(p);
  QRectF source, destination;
  qint64 dib = 0;
  // The bit copies without a bitmap carry one more word and fill with the brush.
  const bool withoutBitmap =
      (function == META_DIBBITBLT || function == META_DIBSTRETCHBLT) && r.Size() == ((function >> 8) + 3) * 2;
  switch (function) {
  case META_DIBBITBLT: {
    const qint64 at = withoutBitmap ? p + 2 : p;
    const QSizeF size(r.I16(at + 10), r.I16(at + 8));
    source = QRectF(BackwardPoint(r, p + 4), size);
    destination = QRectF(BackwardPoint(r, at + 12), size);
    dib = at + 16;
    break;
  }
  case META_DIBSTRETCHBLT: {
    const qint64 at = withoutBitmap ? p + 2 : p;
    source = QRectF(BackwardPoint(r, p + 8), QSizeF(r.I16(p + 6), r.I16(p + 4)));
    destination = QRectF(BackwardPoint(r, at + 16), QSizeF(r.I16(at + 14), r.I16(at + 12)));
    dib = at + 20;
    break;
  }
  case META_STRETCHDIB:
    if (r.U16(p + 4) == DIB_PAL_COLORS) return;
    source = QRectF(BackwardPoint(r, p + 10), QSizeF(r.I16(p + 8), r.I16(p + 6)));
    destination = QRectF(BackwardPoint(r, p + 18), QSizeF(r.I16(p + 16), r.I16(p + 14)));
    dib = p + 22;
    break;
  default: // META_SETDIBTODEV: at the bitmap's own size, all its rows
    if (r.U16(p) == DIB_PAL_COLORS) return;
    source = QRectF(BackwardPoint(r, p + 6), QSizeF(r.I16(p + 12), r.I16(p + 10)));
    destination = QRectF(BackwardPoint(r, p + 14), source.size());
    dib = p + 18;
    break;
  }
  if (r.Failed()) return;
  if (withoutBitmap) {
    p_.PatBlt(destination, rop);
    return;
  }
  const QByteArray packed = r.Bytes(dib, r.Size() - dib);
  const QImage image = DecodePackedDib(packed, p_.PixelBudget());
  if (image.isNull()) return;
  // The stretching copies count a bottom-up bitmap's rows from its bottom.
  if (function != META_DIBBITBLT && function != META_DIBSTRETCHBLT && DibBottomUp(packed))
    source.moveTop(image.height() - source.top() - source.height());
  p_.DrawImage(destination, image, source, rop);
}

void Player::CreateFont(TRecordReader &r) {
  constexpr qint64 p = kRecordHeader;
  TGdiFont font;
  font.height = r.I16(p);
  font.width = r.I16(p + 2);
  font.escapement = r.I16(p + 4);
  font.weight = r.I16(p + 8);
  font.italic = r.U8(p + 10);
  font.underline = r.U8(p + 11);
  font.strikeOut = r.U8(p + 12);
  font.charset = r.U8(p + 13);
  font.pitchAndFamily = r.U8(p + 17);
  if (r.Failed()) {
    Add(TGdiObject()); // the slot is taken all the same
    return;
  }
  QByteArray face;
  for (qint64 i = 0; i < 32 && r.Has(p + 18 + i, 1); ++i) {
    const char c = char(r.U8(p + 18 + i));
    if (c == 0) break;
    face.append(c);
  }
  font.face = TextInCharset(face, 0);
  Add(font);
}

void Player::CreateRegion(TRecordReader &r) {
  constexpr qint64 p = kRecordHeader;
  // The region header, its bounds, then scans: a count, top, bottom, the left and right of each
  // rectangle, the count again.
  const qint64 scans = r.U16(p + 10);
  const QRect bounds(QPoint(r.I16(p + 14), r.I16(p + 16)), QPoint(r.I16(p + 18) - 1, r.I16(p + 20) - 1));
  TGdiRegion region;
  qint64 at = p + 22;
  for (qint64 i = 0; i < scans && !r.Failed(); ++i) {
    const qint64 count = r.U16(at);
    const int top = r.I16(at + 2), bottom = r.I16(at + 4);
    for (qint64 j = 0; j + 1 < count && r.Has(at + 6 + j * 2, 4); j += 2)
      region.rects.append(
          QRect(QPoint(r.I16(at + 6 + j * 2), top), QPoint(r.I16(at + 8 + j * 2) - 1, bottom - 1)));
    at += 6 + count * 2 + 2;
  }
  if (scans == 0 && !r.Failed()) region.rects.append(bounds);
  if (r.Failed()) {
    Add(TGdiObject());
    return;
  }
  Add(region);
}

} // namespace

void PlayWindowsMetafile(QPainter &painter, const QByteArray &bytes, const QRectF &target) {
  const std::optional<Header> header = ReadHeader(bytes);
  if (!header || target.isEmpty()) return;
  // The window that maps onto the target: the bounding box, else the first one the records set, else the
  // target's own size.
  const QRectF window =
      header->box.value_or(FirstWindow(bytes, *header).value_or(QRectF(QPointF(), target.size())));
  const double defaultFontEm = 12 / 72.0 * header->unitsPerInch * std::abs(target.height() / window.height());
  TMetafilePainter painterState(painter, target, QTransform(), defaultFontEm);
  TGdiState &state = painterState.State();
  state.mapMode = MM_ANISOTROPIC;
  state.windowOrg = window.topLeft();
  state.windowExt = window.size();
  state.viewportOrg = target.topLeft();
  state.viewportExt = target.size();
  Player player(painterState);
  const char *data = bytes.constData();
  for (qint64 at = header->first; at + kRecordHeader <= header->end;) {
    TRecordReader head(data + at, kRecordHeader);
    const qint64 size = qint64(head.U32(0)) * 2;
    const quint16 function = head.U16(4);
    if (size < kRecordHeader || size > header->end - at || function == META_EOF) break;
    TRecordReader record(data + at, size);
    player.Record(function, record);
    at += size;
  }
}
