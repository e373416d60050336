// The drawing tools of a canvas: font, pen and brush. Each announces its changes through OnChange so that the
// owner (a canvas, a control) can react, and copies itself from another of its kind with Assign.
#pragma once
#include "platform/core/events.h"
#include "platform/core/object.h"
#include "platform/graphics/color.h"
#include <QFont>
#include <QString>
#include <cstdint>

class QPaintDevice;

class TGraphicsObject : public TPersistent {
public:
  QString ClassName() const override { return QStringLiteral("TGraphicsObject"); }
  TNotifyEvent OnChange;

protected:
  virtual void Changed() {
    if (OnChange) OnChange(this);
  }
};

// ---- Font ----

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
// A set of TFontStyle bits.
using TFontStyles = uint8_t;

enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset RUSSIAN_CHARSET = 204;
constexpr TFontCharset EASTEUROPE_CHARSET = 238;
constexpr TFontCharset OEM_CHARSET = 255;

// The logical dpi of the screen, which font sizes and form layouts are written for.
constexpr int kScreenPixelsPerInch = 96;

class TFont : public TGraphicsObject {
public:
  TFont();
  QString ClassName() const override { return QStringLiteral("TFont"); }
  void Assign(const TPersistent *source) override;

  QString Name() const { return name_; }
  void SetName(const QString &name);
  // Points, rounded as the class library reports them.
  int Size() const;
  void SetSize(int points);
  // The exact size in points, which a font keeps when it moves to a device of another resolution.
  double SizeF() const { return -height_ * 72.0 / pixelsPerInch_; }
  // Pixels at PixelsPerInch: negative for the character height (the em size), positive for the cell height
  // (characters plus internal leading), 0 for the default size.
  int Height() const;
  void SetHeight(int pixels);
  // The resolution Height is counted in; the screen's (96) unless the font belongs to a printer's canvas.
  // Changing it keeps Height (so Size changes), as the class library does.
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int ppi);
  // Moves the font to a device of another resolution, keeping its size in points (a canvas does this for
  // the font it is given, so that a 10-point font is 10 points on the screen and on paper).
  void MoveToResolution(int ppi);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  // Angle of the text's baseline in tenths of a degree, counter-clockwise (900 draws upwards).
  int Orientation() const { return orientation_; }
  void SetOrientation(int tenthsOfDegree);

  // The em size in pixels on a device of `deviceDpi` dots per inch (fractional: a 10-point font is 13.33
  // pixels on the screen and 83.33 on a 600-dpi printer).
  double EmPixels(double deviceDpi) const;
  // The Qt font for a widget on the screen (family substituted, pixel size rounded).
  QFont ToQFont() const;
  // The Qt font at the given whole pixel size, family substituted, with styles, without hinting or kerning
  // so that widths add up and scale with the size.
  QFont QtFontAtPixels(int pixelSize) const;

private:
  // Sets the height in pixels at PixelsPerInch, exactly (Size keeps its fraction across resolutions).
  void SetExactHeight(double pixels);

  QString name_;
  double height_; // negative: em pixels; positive: cell pixels; 0: default
  int pixelsPerInch_ = kScreenPixelsPerInch;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  int orientation_ = 0;
};

// ---- Pen ----

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// How a pen's colour combines with what is already there: copied over it, or XORed with it (drawn twice, an
// XOR line leaves no trace).
enum TPenMode { pmCopy, pmXor };

class TPen : public TGraphicsObject {
public:
  QString ClassName() const override { return QStringLiteral("TPen"); }
  void Assign(const TPersistent *source) override;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  // 0 and 1 both draw one pixel wide.
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);

private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

// ---- Brush ----

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
public:
  QString ClassName() const override { return QStringLiteral("TBrush"); }
  void Assign(const TPersistent *source) override;

  TColor Color() const { return color_; }
  // Setting clNone clears the brush, as in the class library.
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);

private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};
