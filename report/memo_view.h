// TfrMemoView: the text object. Its memo holds text with bracketed expressions; page building expands them
// into Memo1, which is what prepared pages store and what is drawn. Layout and drawing follow text_layout.h.
#pragma once
#include "report/text_layout.h"
#include "report/view.h"

// Flags of a text object.
constexpr int flWordWrap = 2;
constexpr int flWordBreak = 4; // break words at syllables when wrapping
constexpr int flAutoSize = 8;  // the width follows the text

// Adjust: horizontal alignment (bits 0-1), rotation (bit 2), vertical alignment (bits 3-4).
constexpr int frtaLeft = 0;
constexpr int frtaRight = 1;
constexpr int frtaCenter = 2;
constexpr int frtaWidth = 3; // justified
constexpr int frtaVertical = 4;
constexpr int frtaMiddle = 8;
constexpr int frtaDown = 16;

// Font sizes, in points, are held within this (larger sizes come only from damaged data).
constexpr int frMaxFontSize = 32767;

// The font style, font colour and fill colour a text object takes when its highlight condition holds.
struct TfrHighlightAttr {
  quint16 FontStyle = 2; // 1 italic, 2 bold, 4 underline
  TColor FontColor = clBlack;
  TColor FillColor = clWhite;
  bool operator==(const TfrHighlightAttr &) const = default;
};

class TfrMemoView : public TfrStretcheable {
public:
  TfrMemoView();
  QString ClassName() const override { return QStringLiteral("TfrMemoView"); }

  void Assign(const TfrView *source) override;
  void Draw(TCanvas *canvas) override;
  void LoadFromStream(TStream *stream) override;
  void SaveToStream(TStream *stream) override;

  // Heights of the expanded text (Memo1) as laid out at design scale.
  int CalcHeight() override;
  int StepHeight() override;
  int RemainingHeight() override;
  // The width the expanded text needs on one line per memo line, with the gaps.
  int CalcWidth();
  // The lines of the expanded text as drawn: decoded when already wrapped, else laid out for the object.
  QList<TfrTextLine> LayoutLines();

  TfrViewKind ViewKind() const override { return TfrViewKind::Text; }
  Variant GetProperty(TfrViewProperty property) const override;
  void SetProperty(TfrViewProperty property, const Variant &value) override;

  TFont Font;
  qint32 Adjust = 0;
  TfrHighlightAttr Highlight;
  QString HighlightStr;
  qint32 LineSpacing = 2;
  qint32 CharacterSpacing = 0;
  // Lines of the expanded text already printed (a text split across pages).
  int LinesPrinted = 0;
  // Set while the object is exported: each output line goes here, at its drawing position, instead of
  // being painted.
  std::function<void(int X, int Y, const QString &Text)> OnExportLine;

private:
  // The text's available length for the unscaled geometry (width, or height for rotated text).
  int AvailableLength(const TRect &rect, int gapX, int gapY) const;
  int LineHeight() const;
  // LayoutLines of a text, told whether it is in the wrapped encoding.
  QList<TfrTextLine> LayoutLinesOf(const TStrings &text, bool wrapped);
  void DrawLines(const QList<TfrTextLine> &lines);
  void DrawJustified(const TfrTextLine &line, double x, double y, double available);
};
