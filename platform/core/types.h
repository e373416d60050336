// Points, sizes and rectangles as the class library and Win32 have them. A TRect's right and bottom edges lie
// outside it: Rect(0, 0, 10, 10) covers the pixels 0..9 in both directions.
#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <algorithm>

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint &) const = default;
  QPoint ToQPoint() const { return QPoint(X, Y); }
};

struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize &) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  bool operator==(const TRect &) const = default;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  // The same pixels as a QRect (whose right() is inclusive).
  QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
  static TRect FromQRect(const QRect &r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  }
};

inline TPoint Point(int x, int y) { return {x, y}; }
// Number x Numerator / Denominator, rounded half away from zero; -1 for a zero Denominator.
inline int MulDiv(int Number, int Numerator, int Denominator) {
  if (Denominator == 0) return -1;
  const long long product = static_cast<long long>(Number) * Numerator;
  const long long half = (Denominator < 0 ? -Denominator : Denominator) / 2;
  const long long rounded = product >= 0 ? product + half : product - half;
  return static_cast<int>(rounded / Denominator);
}
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

inline bool PtInRect(const TRect &r, const TPoint &p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
inline void OffsetRect(TRect &r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}
inline void InflateRect(TRect &r, int dx, int dy) {
  r.Left -= dx;
  r.Right += dx;
  r.Top -= dy;
  r.Bottom += dy;
}
// The overlap of a and b; an empty result is all zeros and answers false, as Win32 does.
inline bool IntersectRect(TRect &dest, const TRect &a, const TRect &b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.IsEmpty()) {
    dest = TRect{};
    return false;
  }
  dest = r;
  return true;
}
