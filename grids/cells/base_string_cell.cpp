#include "grids/cells/base_string_cell.h"

void TOvcTCBaseString::SetUseASCIIZStrings(bool Value) {
  if (Value == useASCIIZ_) return;
  useASCIIZ_ = Value;
  DoCellChanged();
}

void TOvcTCBaseString::SetUseWordWrap(bool Value) {
  if (Value == useWordWrap_) return;
  useWordWrap_ = Value;
  DoCellChanged();
}

QString TOvcTCBaseString::DataText(const void *Data) const {
  if (!Data) return QString();
  const QString &text = *static_cast<const QString *>(Data);
  return useASCIIZ_ ? text.left(text.indexOf(QChar(0))) : text;
}

namespace {

bool IsRightAdjust(TOvcTblAdjust a) { return a == otaTopRight || a == otaCenterRight || a == otaBottomRight; }
bool IsLeftAdjust(TOvcTblAdjust a) { return a == otaTopLeft || a == otaCenterLeft || a == otaBottomLeft; }

} // namespace

unsigned CellTextFlags(TOvcTblAdjust Adjust, bool WordWrap, int TextWidth, int RectWidth) {
  if (WordWrap) {
    unsigned flags = DT_WORDBREAK | DT_NOPREFIX;
    if (IsRightAdjust(Adjust))
      flags |= DT_RIGHT;
    else if (!IsLeftAdjust(Adjust))
      flags |= DT_CENTER;
    return flags;
  }
  // A text too wide for its cell falls back to the left alignment of its band, so its start shows.
  if (TextWidth > RectWidth) {
    switch (Adjust) {
    case otaTopCenter:
    case otaTopRight: Adjust = otaTopLeft; break;
    case otaCenter:
    case otaCenterRight: Adjust = otaCenterLeft; break;
    case otaBottomCenter:
    case otaBottomRight: Adjust = otaBottomLeft; break;
    default: break;
    }
  }
  unsigned flags = DT_SINGLELINE | DT_NOPREFIX;
  if (IsRightAdjust(Adjust))
    flags |= DT_RIGHT;
  else if (!IsLeftAdjust(Adjust))
    flags |= DT_CENTER;
  switch (Adjust) {
  case otaDefault:
  case otaCenterLeft:
  case otaCenter:
  case otaCenterRight: flags |= DT_VCENTER; break;
  case otaBottomLeft:
  case otaBottomCenter:
  case otaBottomRight: flags |= DT_BOTTOM; break;
  default: break;
  }
  return flags;
}

void TOvcTCBaseString::tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
                               const TOvcCellAttributes &CellAttr, const void *Data) {
  TOvcBaseTableCell::tcPaint(TableCanvas, CellRect, RowNum, ColNum, CellAttr, Data);
  if (CellAttr.Access == otxInvisible) return;
  if (!Data && !ComponentState().Contains(csDesigning)) return;
  const QString text = Data ? DataText(Data) : QStringLiteral("%1:%2").arg(RowNum).arg(ColNum);
  PaintText(TableCanvas, CellRect, CellAttr, text);
}

void TOvcTCBaseString::PaintText(TCanvas *TableCanvas, const TRect &CellRect,
                                 const TOvcCellAttributes &CellAttr, const QString &Text) {
  PaintCellText(TableCanvas, CellRect, CellAttr, Text, Margin(), UseWordWrap());
}

void PaintCellText(TCanvas *Canvas, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                   const QString &Text, int Margin, bool WordWrap) {
  if (Text.isEmpty()) return;
  if (CellAttr.Font) Canvas->SetFont(CellAttr.Font);
  Canvas->Font()->SetColor(CellAttr.FontColor);
  const int half = Margin / 2;
  TRect r{CellRect.Left + half, CellRect.Top + half, CellRect.Right - half, CellRect.Bottom - half};
  const int textWidth = WordWrap ? 0 : Canvas->TextWidth(Text);
  const unsigned flags = CellTextFlags(CellAttr.Adjust, WordWrap, textWidth, r.Right - r.Left);

  if (CellAttr.TextStyle == tsFlat) {
    Canvas->DrawText(Text, r, flags);
    return;
  }
  const int offset = CellAttr.TextStyle == tsRaised ? -1 : 1;
  TRect shadow{r.Left + offset, r.Top + offset, r.Right + offset, r.Bottom + offset};
  Canvas->Font()->SetColor(CellAttr.FontHiColor);
  Canvas->DrawText(Text, shadow, flags);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Font()->SetColor(CellAttr.FontColor);
  Canvas->DrawText(Text, r, flags);
  Canvas->Brush()->SetStyle(bsSolid);
}
