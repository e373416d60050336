#include "report/memo_view.h"
#include "platform/core/streams.h"
#include "report/engine.h"
#include "report/font_style.h"
#include "report/model_state.h"
#include "report/stream_utils.h"
#include "report/view_stream.h"
#include <cmath>

TfrMemoView::TfrMemoView() {
  Typ = gtMemo;
  BaseName = QStringLiteral("Memo");
  Flags = flStretched | flWordWrap;
  Font.SetName(QStringLiteral("Arial"));
  Font.SetSize(10);
  Font.SetColor(clBlack);
  Font.SetCharset(frModel().DefaultCharset);
}

void TfrMemoView::Assign(const TfrView *source) {
  TfrView::Assign(source);
  if (auto memo = dynamic_cast<const TfrMemoView *>(source)) {
    Font.Assign(&memo->Font);
    Adjust = memo->Adjust;
    Highlight = memo->Highlight;
    HighlightStr = memo->HighlightStr;
    LineSpacing = memo->LineSpacing;
  }
}

// ---- layout ----

int TfrMemoView::LineHeight() const {
  return frCoord(double(TfrTextMeasure(Font).FontHeight()) + LineSpacing);
}

int TfrMemoView::AvailableLength(const TRect &rect, int gapX, int gapY) const {
  return (Adjust & frtaVertical) ? rect.Height() - 2 * gapY : rect.Width() - 2 * gapX;
}

QList<TfrTextLine> TfrMemoView::LayoutLines() { return LayoutLinesOf(Memo1, frIsWrappedText(Memo1)); }

QList<TfrTextLine> TfrMemoView::LayoutLinesOf(const TStrings &text, bool wrapped) {
  if (wrapped) return frDecodeWrappedText(text);
  // The unscaled geometry decides the layout, whatever the scale the object is drawn at.
  const double scaleX = ScaleX, scaleY = ScaleY;
  const int offsX = OffsX, offsY = OffsY;
  ComputeGeometry(1, 1, 0, 0);
  const int available = AvailableLength(DRect, gapx, gapy);
  RestoreBounds();
  ScaleX = scaleX;
  ScaleY = scaleY;
  OffsX = offsX;
  OffsY = offsY;
  return frLayoutText(text, TfrTextMeasure(Font), available, Flags & flWordWrap, Flags & flWordBreak);
}

int TfrMemoView::CalcHeight() {
  if (Adjust & frtaVertical) return Height;
  const double lines = double(LayoutLines().size());
  const int gapY = frCoord(FrameWidth / 2) / 2 + 1;
  return frCoord(lines * LineHeight() + 2.0 * gapY);
}

int TfrMemoView::StepHeight() { return LineHeight(); }

int TfrMemoView::RemainingHeight() {
  const double lines = double(LayoutLines().size());
  return frCoord(std::max(0.0, lines - LinesPrinted) * LineHeight());
}

int TfrMemoView::CalcWidth() {
  const TfrTextMeasure measure(Font);
  double widest = 0;
  if (frIsWrappedText(Memo1)) {
    for (const TfrTextLine &line : frDecodeWrappedText(Memo1)) widest = std::max(widest, double(line.Width));
  } else {
    for (const TfrTextLine &line : frLayoutText(Memo1, measure, 0, false, false))
      widest = std::max(widest, measure.Width(line.Text));
  }
  const int gapX = frCoord(FrameWidth / 2) + 2;
  return frCoord(std::ceil(widest) + 2.0 * gapX);
}

// ---- drawing ----

void TfrMemoView::Draw(TCanvas *canvas) {
  Canvas = canvas;
  if (ReportEngineStarted()) frEngine().CurView = this;
  if ((Flags & flAutoSize) && frModel().DocMode == dmPrinting && Memo.Count() > 0) {
    Memo1.Assign(&Memo);
    const int width = CalcWidth();
    if ((Adjust & 3) == frtaRight) Left = frCoord(double(Left) + Width - width);
    Width = width;
  }
  const bool wrapped = frIsWrappedText(Memo);
  const QList<TfrTextLine> lines = LayoutLinesOf(Memo, wrapped);
  // Kept in the wrapped form, as prepared pages and export see it.
  if (wrapped) {
    Memo1.Assign(&Memo);
  } else {
    Memo1.Clear();
    for (const TfrTextLine &line : lines) Memo1.Add(frEncodeTextLine(line));
  }
  ApplyScale();
  DrawBackground();
  DrawFrame();
  if (!lines.isEmpty() && !frModel().FirstPass) DrawLines(lines);
  RestoreBounds();
}

void TfrMemoView::DrawLines(const QList<TfrTextLine> &lines) {
  const TfrTextMeasure measure(Font);
  const bool rotated = Adjust & frtaVertical;
  TFont font;
  font.Assign(&Font);
  font.SetOrientation(rotated ? 900 : 0);
  // The glyphs scale with the page's vertical scale, as the line heights do.
  frSetCanvasFont(Canvas, font, measure.Em() * ScaleY);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->SetTextAlign(TA_LEFT | TA_TOP);

  const int alignment = Adjust & 3;
  const int vertical = Adjust & (frtaMiddle | frtaDown);
  const double lineHeight = double(measure.FontHeight()) + LineSpacing;
  const int count = int(lines.size());
  auto drawAt = [&](double x, double y, const QString &text) {
    if (OnExportLine)
      OnExportLine(frCoord(x), frCoord(y), text);
    else if (!text.isEmpty())
      Canvas->TextRect(DRect, frCoord(x), frCoord(y), text);
  };

  if (!rotated) {
    const double step = lineHeight * ScaleY;
    const double total = count * step;
    double top = DRect.Top + gapy;
    if (vertical == frtaMiddle) top = DRect.Top + (DRect.Height() - total) / 2;
    if (vertical == frtaDown) top = DRect.Bottom - gapy - total;
    const double left = DRect.Left + gapx;
    const double available = DRect.Width() - 2.0 * gapx;
    for (int i = 0; i < count; ++i) {
      const TfrTextLine &line = lines[i];
      const double y = top + i * step;
      const double width = line.Width * ScaleY;
      switch (alignment) {
      case frtaRight: drawAt(left + available - width, y, line.Text); break;
      case frtaCenter: drawAt(left + (available - width) / 2, y, line.Text); break;
      case frtaWidth:
        if (!OnExportLine && !line.ParagraphEnd && line.Text.contains(QLatin1Char(' ')) && width < available)
          DrawJustified(line, left, y, available);
        else
          drawAt(left, y, line.Text);
        break;
      default: drawAt(left, y, line.Text); break;
      }
    }
    return;
  }

  // Rotated text runs upwards; its lines stand side by side from the left.
  const double step = lineHeight * ScaleX;
  const double total = count * step;
  double x0 = DRect.Left + gapx;
  if (vertical == frtaMiddle) x0 = DRect.Left + (DRect.Width() - total) / 2;
  if (vertical == frtaDown) x0 = DRect.Right - gapx - total;
  const double bottom = DRect.Bottom - gapy;
  const double available = DRect.Height() - 2.0 * gapy;
  for (int i = 0; i < count; ++i) {
    const TfrTextLine &line = lines[i];
    const double x = x0 + i * step;
    const double length = line.Width * ScaleY;
    double y = bottom;
    if (alignment == frtaRight) y = bottom - available + length;
    if (alignment == frtaCenter) y = bottom - (available - length) / 2;
    drawAt(x, y, line.Text);
  }
}

// Spreads the room left on the line evenly over its blanks.
void TfrMemoView::DrawJustified(const TfrTextLine &line, double x, double y, double available) {
  const TfrTextMeasure measure(Font);
  const QStringList words = line.Text.split(QLatin1Char(' '));
  const double blanks = double(words.size() - 1);
  const double extra = (available - line.Width * ScaleY) / blanks;
  const double blankWidth = measure.CharWidth(QLatin1Char(' ')) * ScaleY;
  for (const QString &word : words) {
    if (!word.isEmpty()) Canvas->TextRect(DRect, frCoord(x), frCoord(y), word);
    x += measure.Width(word) * ScaleY + blankWidth + extra;
  }
}

// ---- streams ----

void TfrMemoView::LoadFromStream(TStream *stream) {
  TfrView::LoadFromStream(stream);
  const bool current = frModel().StreamVersion >= frCurrentVersion;
  Font.SetName(frReadString(stream));
  Font.SetSize(std::clamp(stream->ReadInt32(), -frMaxFontSize, frMaxFontSize));
  Font.SetStyle(BitsToFontStyle(stream->ReadUInt16()));
  Font.SetColor(stream->ReadInt32());
  Adjust = stream->ReadInt32();
  const quint16 charset = stream->ReadUInt16();
  Font.SetCharset(current ? TFontCharset(charset) : frModel().DefaultCharset);
  if (!PreparedForm) {
    Highlight.FontStyle = stream->ReadUInt16();
    Highlight.FontColor = stream->ReadInt32();
    Highlight.FillColor = stream->ReadInt32();
    HighlightStr = frReadString(stream);
  }
  if (frModel().StreamVersion == 21) Flags |= flWordWrap;
}

void TfrMemoView::SaveToStream(TStream *stream) {
  TfrView::SaveToStream(stream);
  WriteStreamString(stream, Font.Name());
  stream->WriteInt32(Font.Size());
  stream->WriteUInt16(quint16(FontStyleToBits(Font.Style())));
  stream->WriteInt32(Font.Color());
  stream->WriteInt32(Adjust);
  stream->WriteUInt16(Font.Charset());
  if (!PreparedForm) {
    stream->WriteUInt16(Highlight.FontStyle);
    stream->WriteInt32(Highlight.FontColor);
    stream->WriteInt32(Highlight.FillColor);
    WriteStreamString(stream, HighlightStr);
  }
}

// ---- script access ----

Variant TfrMemoView::GetProperty(TfrViewProperty property) const {
  switch (property) {
  case vpFontName: return Variant(Font.Name());
  case vpFontSize: return Variant(Font.Size());
  case vpFontStyle: return Variant(FontStyleToBits(Font.Style()));
  case vpFontColor: return Variant(Font.Color());
  case vpAdjust: return Variant(Adjust);
  default: return TfrView::GetProperty(property);
  }
}

void TfrMemoView::SetProperty(TfrViewProperty property, const Variant &value) {
  switch (property) {
  case vpFontName: Font.SetName(value.ToString()); break;
  case vpFontSize: Font.SetSize(std::clamp(value.ToInt(), -frMaxFontSize, frMaxFontSize)); break;
  case vpFontStyle: Font.SetStyle(BitsToFontStyle(value.ToInt())); break;
  case vpFontColor: Font.SetColor(value.ToInt()); break;
  case vpAdjust: Adjust = value.ToInt(); break;
  default: TfrView::SetProperty(property, value); break;
  }
}
