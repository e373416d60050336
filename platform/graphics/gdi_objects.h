// The drawing objects a metafile creates, selects and deletes (pens, brushes, fonts, regions), the stock
// objects it may select without creating them, and the table its records name them by.
#pragma once
#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <map>
#include <optional>
#include <set>
#include <variant>

// Pen styles (the low four bits), the end cap and join bits of extended pens, and their kind.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;
constexpr int PS_USERSTYLE = 7;
constexpr int PS_ALTERNATE = 8;
constexpr int PS_STYLE_MASK = 0xF;
constexpr int PS_ENDCAP_SQUARE = 0x100;
constexpr int PS_ENDCAP_FLAT = 0x200;
constexpr int PS_ENDCAP_MASK = 0xF00;
constexpr int PS_JOIN_BEVEL = 0x1000;
constexpr int PS_JOIN_MITER = 0x2000;
constexpr int PS_JOIN_MASK = 0xF000;
constexpr int PS_GEOMETRIC = 0x10000;

// Brush styles and hatches.
constexpr int BS_SOLID = 0;
constexpr int BS_NULL = 1;
constexpr int BS_HATCHED = 2;
constexpr int BS_PATTERN = 3;
constexpr int BS_DIBPATTERN = 5;
constexpr int BS_DIBPATTERNPT = 6;
constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_FDIAGONAL = 2;
constexpr int HS_BDIAGONAL = 3;
constexpr int HS_CROSS = 4;
constexpr int HS_DIAGCROSS = 5;

// Font weights and character sets the player looks at.
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr quint8 GDI_SYMBOL_CHARSET = 2;
constexpr quint8 GDI_FIXED_PITCH = 1;

// The colour of a COLORREF (0x00BBGGRR; the flag byte is ignored).
QColor ColorFromRef(quint32 colorRef);

struct TGdiPen {
  int style = PS_SOLID; // with the cap, join and kind bits
  double width = 0;     // in logical units; 0 draws one device pixel wide
  bool cosmetic = true; // one device pixel wide whatever the mapping
  bool geometric = false;
  QColor color = Qt::black;
  QList<qreal> dashes; // PS_USERSTYLE: on and off lengths in logical units
};

struct TGdiBrush {
  int style = BS_SOLID;
  QColor color = Qt::white;
  int hatch = HS_HORIZONTAL;
  QImage pattern; // BS_PATTERN and BS_DIBPATTERN*
};

struct TGdiFont {
  int height = 0;     // logical units: negative the em size, positive the cell height, 0 the default size
  int width = 0;      // average character width; 0 keeps the face's proportions
  int escapement = 0; // tenths of a degree, counter-clockwise
  int weight = FW_NORMAL;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  quint8 charset = 0;
  quint8 pitchAndFamily = 0;
  QString face;
};

// A region as the rectangles it is made of, in the units its record gives them.
struct TGdiRegion {
  QList<QRect> rects;
};

// An object slot may hold a kind the player does not draw with (a palette): it still takes its slot.
using TGdiObject = std::variant<std::monostate, TGdiPen, TGdiBrush, TGdiFont, TGdiRegion>;

// Stock objects are named by index with the high bit set.
constexpr quint32 GDI_STOCK_OBJECT = 0x80000000u;
// The stock object of a handle (0x80000000 | index), or nothing for another handle.
std::optional<TGdiObject> StockObject(quint32 handle);

// The text of bytes written in a font's character set.
QString TextInCharset(const QByteArray &bytes, quint8 charset);

// The objects of one playback by index, at most `capacity` of them. An enhanced metafile names the index of
// each object it creates; a Windows metafile puts each one in the lowest free slot.
class TGdiObjectTable {
public:
  explicit TGdiObjectTable(quint32 capacity) : capacity_(capacity) {}
  // False when the index is beyond the table.
  bool Put(quint32 index, TGdiObject object);
  // The slot taken, or nothing when the table is full.
  std::optional<quint32> Add(TGdiObject object);
  const TGdiObject *Find(quint32 index) const;
  void Remove(quint32 index);

private:
  quint32 capacity_;
  std::map<quint32, TGdiObject> objects_;
  std::set<quint32> free_; // slots below next_ that were freed
  quint32 next_ = 0;       // the lowest slot never used
};
