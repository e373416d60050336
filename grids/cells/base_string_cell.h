// TOvcTCBaseString: a cell that paints its value as text, aligned by the cell attributes, on one line or
// word-wrapped, flat, raised or lowered.
//
// The value (the paint Data) is a `QString`, whole whatever its length: with UseASCIIZStrings False every
// character counts; with UseASCIIZStrings True it is a zero-terminated string, which ends at its first NUL.
#pragma once
#include "grids/base/cell.h"
#include <algorithm>

class TOvcTCBaseString : public TOvcBaseTableCell {
public:
  explicit TOvcTCBaseString(TComponent *AOwner) : TOvcBaseTableCell(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTCBaseString"); }

  bool UseASCIIZStrings() const { return useASCIIZ_; }
  void SetUseASCIIZStrings(bool Value);
  bool UseWordWrap() const { return useWordWrap_; }
  void SetUseWordWrap(bool Value);

  void tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
               const TOvcCellAttributes &CellAttr, const void *Data) override;

protected:
  // The text Data holds in this cell's string format.
  QString DataText(const void *Data) const;
  // Draws Text in CellRect (already filled) with the attributes' font, alignment and style.
  void PaintText(TCanvas *TableCanvas, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                 const QString &Text);

private:
  bool useASCIIZ_ = false;
  bool useWordWrap_ = false;
};

// A cell's MaxLength is 16 bits: a larger limit stays the largest one rather than wrapping round to a small
// one.
inline quint16 ClampedMaxLength(int Value) { return quint16(std::clamp(Value, 0, 0xFFFF)); }

// The DrawText flags for a text of TextWidth in Rect (already shrunk by the margin).
unsigned CellTextFlags(TOvcTblAdjust Adjust, bool WordWrap, int TextWidth, int RectWidth);
// Draws Text in CellRect (already filled) as a text cell with that margin and word wrap does.
void PaintCellText(TCanvas *Canvas, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                   const QString &Text, int Margin, bool WordWrap);
