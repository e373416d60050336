// TCanvas: the class library's drawing surface, over a QPainter on any paint device (an image, a widget
// during its paint event, a printer, a PDF writer). It keeps GDI's pixel rules, on which painted controls
// rely for exact layouts:
//  - a rectangle's right and bottom edges lie outside it: Rectangle(0, 0, 10, 10) covers pixels 0..9 and its
//    one-pixel pen frame is the outer ring of those;
//  - LineTo draws from the pen position up to, not including, the end point;
//  - shapes and lines are not antialiased (text is);
//  - text is positioned by the top of its character cell, and a solid brush paints the cell's background.
// Fonts are sized for the device: a font of Size points is Size x dpi / 72 pixels high, the screen counting
// as 96 dpi, so a text measured for the screen scales exactly to a printer.
#pragma once
#include "platform/core/types.h"
#include "platform/graphics/graphics.h"
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QRegion>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class QPaintDevice;
class TGraphic;
class TBitmap;

// Text metrics as GetTextMetrics reports them, in device pixels.
struct TTextMetric {
  int tmHeight = 0; // ascent + descent
  int tmAscent = 0;
  int tmDescent = 0;
  int tmInternalLeading = 0; // room for accents inside tmHeight
  int tmExternalLeading = 0; // extra room the font suggests between lines
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
};

// DrawText format flags.
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4; // single-line text only
constexpr unsigned DT_BOTTOM = 0x8;  // single-line text only
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_EXPANDTABS = 0x40;
constexpr unsigned DT_TABSTOP = 0x80; // bits 8-15 give the characters per tab stop
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_EXTERNALLEADING = 0x200;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
constexpr unsigned DT_EDITCONTROL = 0x2000; // word break may split a word longer than a line
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
constexpr unsigned DT_HIDEPREFIX = 0x100000;

// Text alignment (SetTextAlign): how TextOut's point relates to the text.
constexpr unsigned TA_NOUPDATECP = 0;
constexpr unsigned TA_UPDATECP = 1; // start at the pen position and move it past the text
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;

// DrawEdge edges and flags.
constexpr unsigned BDR_RAISEDOUTER = 0x1;
constexpr unsigned BDR_SUNKENOUTER = 0x2;
constexpr unsigned BDR_RAISEDINNER = 0x4;
constexpr unsigned BDR_SUNKENINNER = 0x8;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 0x1;
constexpr unsigned BF_TOP = 0x2;
constexpr unsigned BF_RIGHT = 0x4;
constexpr unsigned BF_BOTTOM = 0x8;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_MIDDLE = 0x800;  // fill the inside with the button face colour
constexpr unsigned BF_ADJUST = 0x2000; // shrink the rectangle to the inside

// GetDeviceCaps indexes.
constexpr int HORZSIZE = 4; // millimetres
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8; // printable width in pixels
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110; // the whole sheet, in pixels (0 on the screen)
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112; // the unprintable margin left of the printable area
constexpr int PHYSICALOFFSETY = 113;

// A device's capability as GetDeviceCaps reports it; a printer's origin is the top-left of its printable
// area. Screen devices count as 96 dpi.
int DeviceCaps(const QPaintDevice *device, int index);

class TCanvas : public TPersistent {
public:
  TCanvas();
  // Draws on device, beginning a painter of its own at the first drawing.
  explicit TCanvas(QPaintDevice *device);
  ~TCanvas() override;
  QString ClassName() const override { return QStringLiteral("TCanvas"); }

  // ---- target ----
  // Draws on device from now on (nullptr: nowhere), ending any painter of its own first.
  void SetDevice(QPaintDevice *device);
  // Draws through a painter that someone else has begun (a widget's paint event); nullptr detaches it.
  void SetPainter(QPainter *painter);
  QPaintDevice *Device() const { return device_; }
  // A device to measure text for while the canvas has nothing to draw on (a printer between jobs).
  void SetMeasureDevice(QPaintDevice *device);
  QPaintDevice *MeasureDevice() const { return device_ ? device_ : measureDevice_; }
  // Ends the canvas's own painter, so that the device may be resized or read; the next drawing begins anew.
  void Release();
  bool HandleAllocated() const { return painter_ != nullptr; }
  // The painter, begun when needed, for code that needs more than the canvas offers. Raises
  // EInvalidOperation when the canvas has nothing to draw on.
  QPainter *Handle();
  // The resolution fonts are sized for: a printer's own, 96 for everything else.
  int PixelsPerInch() const { return dpi_; }

  // ---- tools ----
  TFont *Font() { return &font_; }
  TPen *Pen() { return &pen_; }
  TBrush *Brush() { return &brush_; }
  void SetFont(const TFont *font) { font_.Assign(font); }
  void SetPen(const TPen *pen) { pen_.Assign(pen); }
  void SetBrush(const TBrush *brush) { brush_.Assign(brush); }
  TPoint PenPos() const { return penPos_; }
  void SetPenPos(const TPoint &p) { penPos_ = p; }
  unsigned TextAlign() const { return textAlign_; }
  // Returns the previous alignment, as SetTextAlign does.
  unsigned SetTextAlign(unsigned align);

  // ---- lines and shapes ----
  void MoveTo(int x, int y) { penPos_ = {x, y}; }
  void LineTo(int x, int y);
  void Polyline(const std::vector<TPoint> &points);
  void Polygon(const std::vector<TPoint> &points);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect &r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const TRect &r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void FillRect(const TRect &r);
  // A one-pixel frame drawn with the brush.
  void FrameRect(const TRect &r);
  // The dotted focus frame, drawn by inverting: drawing it twice restores the picture.
  void DrawFocusRect(const TRect &r);

  // ---- pixels ----
  // -1 when the device's pixels cannot be read (anything but an image).
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);

  // ---- text ----
  void TextOut(int x, int y, const QString &text);
  // TextOut clipped to r, whose background the brush fills first (unless clear).
  void TextRect(const TRect &r, int x, int y, const QString &text);
  int TextWidth(const QString &text);
  int TextHeight(const QString &text);
  TTextMetric TextMetrics();
  // Draws formatted text in r with the DT_ flags; with DT_CALCRECT only measures, setting r's right and
  // bottom to the text's extent. Returns the height of the text.
  int DrawText(const QString &text, TRect &r, unsigned format);

  // ---- pictures ----
  void Draw(int x, int y, const TGraphic *graphic);
  void StretchDraw(const TRect &r, const TGraphic *graphic);
  // Copies part of a bitmap with `color` replaced by the brush (left out where the brush is clear).
  void BrushCopy(const TRect &dest, const TBitmap *bitmap, const TRect &source, TColor color);
  // Draws part of an image into dest, scaled when the sizes differ; used by the picture classes.
  void DrawImage(const TRect &dest, const QImage &image, const QRect &source);

  // ---- clipping ----
  // The bounds of the area drawing can reach: the device, narrowed by a paint event's region and the clip.
  TRect ClipRect();
  void IntersectClipRect(const TRect &r);
  void ClearClipRegion();
  bool HasClipRegion() const { return clip_.has_value(); }

  // Fired before and after each drawing operation.
  TNotifyEvent OnChanging;
  TNotifyEvent OnChange;

private:
  // What the canvas knows of one character of a resolved font, in device pixels: its advance and the box
  // its ink covers from its pen position on the baseline; with an exact font, its glyph there (0 when that
  // font lacks it).
  struct CharMetrics {
    double advance = -1; // -1 until measured
    QRectF ink;
    quint32 glyph = 0;
  };
  struct ResolvedFont {
    QFont font;
    double scale = 1.0; // device em size over the Qt font's whole pixel size
    QFontMetricsF metrics{QFont()};
    TTextMetric tm;
    // On a vector device, the font at its exact em size: plain text is drawn as a run of its glyphs, which
    // needs no transform of its own (a Qt font comes only in whole pixels).
    std::optional<QRawFont> exact;
    // The characters met so far: the first 256 in a table, the others hashed.
    std::array<CharMetrics, 256> latin{};
    QHash<char16_t, CharMetrics> others;
  };
  // What makes two fonts draw alike (the colour aside): the key of the resolved fonts kept.
  struct FontKey {
    QString name;
    double em;
    int style, charset, pitch, orientation;
    bool operator==(const FontKey &) const = default;
  };
  struct Layout; // DrawText's lines

  void Changing();
  void Changed();
  void FontChanged(TObject *);
  void DeviceChanged();
  QPainter &Painter(); // the painter, with antialiasing of shapes off
  bool IsRaster();
  QRect DeviceRect() const;
  const ResolvedFont &CurrentFont();
  const CharMetrics &CharOf(ResolvedFont &f, QChar c);
  // True when the ink of a line of plain text drawn with its cell's top left at (left, top) lies wholly
  // inside r (then it needs no clip).
  bool TextSurelyInside(const TRect &r, int left, int top, const QString &text);
  // Draws plain text in the exact font as one run of glyphs with its pen position at (x, baseline); false
  // when the text is not plain or the font lacks one of its glyphs, and nothing was drawn.
  bool DrawExactText(double x, double baseline, const QString &text);
  double MeasureLine(const QString &text, double tabWidth);
  void DrawTextLine(double x, double top, const QString &text, double tabWidth);
  void StrokePolyline(const std::vector<QPoint> &points, bool closed);
  void PixelSegment(int x0, int y0, int x1, int y1, const QColor &color, int &dashPhase);
  void ApplyPenMode(QPainter &p);
  QPen VectorPen(const QColor &color) const;
  QBrush CurrentBrush() const;
  void FillPath(const QPainterPath &path);
  void StrokePath(const QPainterPath &path);
  void ApplyClip();

  QPaintDevice *device_ = nullptr;
  QPaintDevice *measureDevice_ = nullptr;
  QPainter *painter_ = nullptr;
  std::unique_ptr<QPainter> ownPainter_;
  QImage scratch_; // stands in for a device without pixels
  int dpi_ = kScreenPixelsPerInch;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  TPoint penPos_;
  unsigned textAlign_ = TA_LEFT | TA_TOP;
  std::optional<QRegion> clip_;
  // The font in use, and the last few resolved (a report switches between a handful of fonts per object).
  ResolvedFont *resolvedFont_ = nullptr;
  std::vector<std::pair<FontKey, std::unique_ptr<ResolvedFont>>> fontCache_;
};

// ---- Win32-shaped helpers ----
int DrawText(TCanvas *canvas, const QString &text, int count, TRect *r, unsigned format);

// A 3-D frame `width` pixels thick inside r: top and left in topColor, bottom and right in bottomColor; r
// shrinks to the inside.
void Frame3D(TCanvas *canvas, TRect &r, TColor topColor, TColor bottomColor, int width);
// Win32's DrawEdge: raised, sunken, etched or bumped borders in the system's 3-D colours.
bool DrawEdge(TCanvas *canvas, TRect &r, unsigned edge, unsigned flags);
// A push button's face in the system's colours, raised or pressed, with the dark frame of a focused button;
// returns the inside where the caption goes.
TRect DrawButtonFace(TCanvas *canvas, const TRect &client, int bevelWidth, bool isDown, bool isFocused);
