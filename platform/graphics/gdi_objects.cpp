#include "platform/graphics/gdi_objects.h"
#include "platform/core/text_encoding.h"
#include <QStringDecoder>

QColor ColorFromRef(quint32 colorRef) {
  return QColor(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
}

std::optional<TGdiObject> StockObject(quint32 handle) {
  if (!(handle & GDI_STOCK_OBJECT)) return std::nullopt;
  auto brush = [](int style, QColor color) {
    TGdiBrush b;
    b.style = style;
    b.color = color;
    return TGdiObject(b);
  };
  auto pen = [](int style, QColor color) {
    TGdiPen p;
    p.style = style;
    p.color = color;
    return TGdiObject(p);
  };
  auto font = [](const char *face, bool fixed) {
    TGdiFont f;
    f.face = QString::fromLatin1(face);
    if (fixed) f.pitchAndFamily = GDI_FIXED_PITCH;
    return TGdiObject(f);
  };
  switch (handle & ~GDI_STOCK_OBJECT) {
  case 0: return brush(BS_SOLID, Qt::white);             // WHITE_BRUSH
  case 1: return brush(BS_SOLID, QColor(192, 192, 192)); // LTGRAY_BRUSH
  case 2: return brush(BS_SOLID, QColor(128, 128, 128)); // GRAY_BRUSH
  case 3: return brush(BS_SOLID, QColor(64, 64, 64));    // DKGRAY_BRUSH
  case 4: return brush(BS_SOLID, Qt::black);             // BLACK_BRUSH
  case 5: return brush(BS_NULL, Qt::white);              // NULL_BRUSH
  case 6: return pen(PS_SOLID, Qt::white);               // WHITE_PEN
  case 7: return pen(PS_SOLID, Qt::black);               // BLACK_PEN
  case 8: return pen(PS_NULL, Qt::black);                // NULL_PEN
  case 10:                                               // OEM_FIXED_FONT
  case 11:                                               // ANSI_FIXED_FONT
  case 16: return font("Courier New", true);             // SYSTEM_FIXED_FONT
  case 12:                                               // ANSI_VAR_FONT
  case 13:                                               // SYSTEM_FONT
  case 14:                                               // DEVICE_DEFAULT_FONT
  case 17: return font("Arial", false);                  // DEFAULT_GUI_FONT
  case 18: return brush(BS_SOLID, Qt::white);            // DC_BRUSH
  case 19: return pen(PS_SOLID, Qt::black);              // DC_PEN
  default: return TGdiObject(); // DEFAULT_PALETTE and unknown ones select nothing to draw with
  }
}

QString TextInCharset(const QByteArray &bytes, quint8 charset) {
  const char *codePage = nullptr;
  switch (charset) {
  case 128: codePage = "Shift_JIS"; break;
  case 129: codePage = "windows-949"; break;
  case 134: codePage = "GBK"; break;
  case 136: codePage = "Big5"; break;
  case 161: codePage = "windows-1253"; break;
  case 162: codePage = "windows-1254"; break;
  case 163: codePage = "windows-1258"; break;
  case 177: codePage = "windows-1255"; break;
  case 178: codePage = "windows-1256"; break;
  case 186: codePage = "windows-1257"; break;
  case 204: codePage = "windows-1251"; break;
  case 222: codePage = "windows-874"; break;
  case 238: codePage = "windows-1250"; break;
  case 255: codePage = "IBM437"; break;
  default: break;
  }
  if (charset == GDI_SYMBOL_CHARSET) return QString::fromLatin1(bytes);
  if (codePage) {
    // The system's converters know these code pages; where they do not, Windows-1252 stands in.
    QStringDecoder decoder(codePage);
    if (decoder.isValid()) return decoder.decode(bytes);
  }
  return FromWindows1252(bytes);
}

bool TGdiObjectTable::Put(quint32 index, TGdiObject object) {
  if (index >= capacity_) return false;
  objects_.insert_or_assign(index, std::move(object));
  return true;
}

std::optional<quint32> TGdiObjectTable::Add(TGdiObject object) {
  quint32 slot;
  if (!free_.empty()) {
    slot = *free_.begin();
    free_.erase(free_.begin());
  } else if (next_ < capacity_) {
    slot = next_++;
  } else {
    return std::nullopt;
  }
  objects_.insert_or_assign(slot, std::move(object));
  return slot;
}

const TGdiObject *TGdiObjectTable::Find(quint32 index) const {
  const auto it = objects_.find(index);
  return it == objects_.end() ? nullptr : &it->second;
}

void TGdiObjectTable::Remove(quint32 index) {
  if (objects_.erase(index) && index < next_) free_.insert(index);
}
