// Text layout of report text objects. Text is measured in one way only, in design pixels at scale 1 where a
// font of n points is n x 96 / 72 pixels high: the widths that decide where lines wrap, how they align and
// how wide an auto-width object becomes. Drawing on any device (screen, image, printer, PDF) scales that
// layout and the font together, so a line that fits in the preview fits on paper.
//
// Wrapped lines are kept in an encoding that prepared pages store: the line's characters, a character 1
// when the line ends a paragraph, then two characters holding the line's width in pixels, high byte first
// (as Windows-1252 bytes, so that they survive the stream). A part of a text object split across pages is
// closed by one more line holding only the character 1 when no line carries it.
#pragma once
#include "platform/graphics/graphics.h"
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QString>
#include <memory>

class TCanvas;
class TStrings;

class TfrTextMeasure {
public:
  // Measures with `font` at its size on the screen (a 10-point font is 13.33 pixels high).
  explicit TfrTextMeasure(const TFont &font);
  // The sum of the characters' advances (no kerning), so a line's width is the sum of its parts' widths.
  double Width(const QString &text) const;
  double CharWidth(QChar c) const;
  // The em size in design pixels and its rounded value, the font's pixel height.
  double Em() const { return em_; }
  int FontHeight() const;

private:
  struct Metrics;
  std::shared_ptr<Metrics> metrics_;
  double em_ = 0;
};

struct TfrTextLine {
  QString Text;
  bool ParagraphEnd = true;
  int Width = 0; // design pixels
  bool operator==(const TfrTextLine &) const = default;
};

// A line in the wrapped encoding; widths are kept within 0..65535.
QString frEncodeTextLine(const TfrTextLine &line);
// True when every line of `text` is in the wrapped encoding and a paragraph mark is among them. A text that
// merely contains the character 1 somewhere is not wrapped text.
bool frIsWrappedText(const TStrings &text);
// The lines of a wrapped text (the closing line of a split part left out).
QList<TfrTextLine> frDecodeWrappedText(const TStrings &text);

// Wraps one line of text to `width` pixels: breaks after blanks (left out), ',', '-' and '.', or inside a
// word that has no break; with breakWords, Cyrillic words are broken at syllables with a '-'. Carriage
// returns and line feeds end paragraphs. Every output line holds at least one character of a non-empty
// input, so a character wider than the width cannot stall the wrapping.
QList<TfrTextLine> frWrapLine(const QString &line, const TfrTextMeasure &measure, int width, bool breakWords);
// Lays out every line of `text`: wrapped to `width` when wordWrap is set, else each line (split only at
// carriage returns and line feeds) as one output line.
QList<TfrTextLine> frLayoutText(const TStrings &text, const TfrTextMeasure &measure, int width, bool wordWrap,
                                bool breakWords);

// The syllable breaks of a word of 5 or more letters: the counts of characters that may stay before a
// hyphen, in increasing order.
QList<int> frSyllableBreaks(const QString &word);

// Gives the canvas `font` at an exact em size in the canvas's device pixels (fractions kept), so that text
// drawn on any device is the design layout scaled.
void frSetCanvasFont(TCanvas *canvas, const TFont &font, double emPixels);
