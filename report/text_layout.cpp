#include "report/text_layout.h"
#include "platform/core/string_list.h"
#include "platform/core/text_encoding.h"
#include "platform/graphics/canvas.h"
#include "report/view.h"
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// Fonts are measured at this many pixels to the em and scaled, which keeps the advances' rounding out of
// the design widths.
constexpr int kReferencePixels = 1000;

constexpr QChar kParagraphMark(1);

bool IsBreakChar(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('.');
}

bool IsLineEnd(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

int ClampWidth(double width) { return std::clamp(frRound(width), 0, 65535); }

} // namespace

// The metrics of one font, shared by every measure of it (main thread only).
struct TfrTextMeasure::Metrics {
  explicit Metrics(const QFont &font) : metrics(font) { latin.fill(-1); }
  QFontMetricsF metrics;
  // Advances at the reference size: the first 256 characters in a table (-1 until measured), others hashed.
  std::array<double, 256> latin;
  QHash<char16_t, double> advances;
};

TfrTextMeasure::TfrTextMeasure(const TFont &font) {
  em_ = font.EmPixels(kScreenPixelsPerInch);
  // Most measures follow one of the same font.
  static struct {
    QString name;
    int style = -1, charset = -1, pitch = -1;
    std::shared_ptr<Metrics> metrics;
  } last;
  if (last.metrics && last.style == int(font.Style()) && last.charset == int(font.Charset()) &&
      last.pitch == int(font.Pitch()) && last.name == font.Name()) {
    metrics_ = last.metrics;
    return;
  }
  static QHash<QString, std::shared_ptr<Metrics>> cache;
  // Measured at the reference size, a font differs from another only by its family, style, character set
  // and pitch.
  const QString key = font.Name() + QChar(0) + QChar(char16_t(int(font.Style()))) +
                      QChar(char16_t(int(font.Charset()) + 1)) + QChar(char16_t(int(font.Pitch()) + 1));
  auto it = cache.find(key);
  if (it == cache.end()) {
    // A report uses a handful of fonts; names from damaged data must not grow the cache without end.
    if (cache.size() >= 64) cache.clear();
    it = cache.insert(key, std::make_shared<Metrics>(font.QtFontAtPixels(kReferencePixels)));
  }
  metrics_ = it.value();
  last = {font.Name(), int(font.Style()), int(font.Charset()), int(font.Pitch()), metrics_};
}

double TfrTextMeasure::CharWidth(QChar c) const {
  if (c.unicode() < metrics_->latin.size()) {
    double &advance = metrics_->latin[c.unicode()];
    if (advance < 0) advance = metrics_->metrics.horizontalAdvance(c);
    return advance * em_ / kReferencePixels;
  }
  auto it = metrics_->advances.constFind(c.unicode());
  if (it == metrics_->advances.constEnd())
    it = metrics_->advances.insert(c.unicode(), metrics_->metrics.horizontalAdvance(c));
  return it.value() * em_ / kReferencePixels;
}

double TfrTextMeasure::Width(const QString &text) const {
  double width = 0;
  for (QChar c : text) width += CharWidth(c);
  return width;
}

int TfrTextMeasure::FontHeight() const { return frRound(em_); }

// ---- the wrapped encoding ----

QString frEncodeTextLine(const TfrTextLine &line) {
  const int width = std::clamp(line.Width, 0, 65535);
  QString encoded = line.Text;
  if (line.ParagraphEnd) encoded += kParagraphMark;
  encoded += QChar(Windows1252ToChar(quint8(width >> 8)));
  encoded += QChar(Windows1252ToChar(quint8(width & 0xFF)));
  return encoded;
}

namespace {

// Whether a line is in the encoding, and then whether it ends a paragraph.
bool IsEncodedLine(const QString &line, bool &paragraphEnd) {
  if (line.size() < 2) return false;
  if (CharToWindows1252(line[line.size() - 2].unicode()) < 0 ||
      CharToWindows1252(line[line.size() - 1].unicode()) < 0)
    return false;
  const QStringView text = QStringView(line).first(line.size() - 2);
  const qsizetype mark = text.indexOf(kParagraphMark);
  if (mark >= 0 && mark != text.size() - 1) return false;
  paragraphEnd = mark >= 0;
  return true;
}

// Splits an encoded line; false when it is not one.
bool DecodeLine(const QString &line, TfrTextLine &decoded) {
  if (!IsEncodedLine(line, decoded.ParagraphEnd)) return false;
  decoded.Text = line.left(line.size() - (decoded.ParagraphEnd ? 3 : 2));
  decoded.Width = CharToWindows1252(line[line.size() - 2].unicode()) * 256 +
                  CharToWindows1252(line[line.size() - 1].unicode());
  return true;
}

bool IsClosingLine(const QString &line) { return line.size() == 1 && line[0] == kParagraphMark; }

} // namespace

bool frIsWrappedText(const TStrings &text) {
  bool marked = false;
  for (int i = 0; i < text.Count(); ++i) {
    const QString line = text.Strings(i);
    if (IsClosingLine(line)) {
      if (i != text.Count() - 1) return false;
      marked = true;
      continue;
    }
    bool paragraphEnd = false;
    if (!IsEncodedLine(line, paragraphEnd)) return false;
    marked = marked || paragraphEnd;
  }
  return marked;
}

QList<TfrTextLine> frDecodeWrappedText(const TStrings &text) {
  QList<TfrTextLine> lines;
  for (int i = 0; i < text.Count(); ++i) {
    const QString line = text.Strings(i);
    TfrTextLine decoded;
    if (!IsClosingLine(line) && DecodeLine(line, decoded)) lines << decoded;
  }
  return lines;
}

// ---- syllables ----

namespace {

// The letters of a line as the syllable rule sees them: vowels and hard or soft signs (in upper case).
struct SyllableLetters {
  explicit SyllableLetters(const QString &text) : vowel(size_t(text.size())), sign(size_t(text.size())) {
    static const QString vowels = QStringLiteral("ЁАЕИОУЫЭЮЯ");
    static const QString signs = QStringLiteral("ЪЬ");
    for (qsizetype k = 0; k < text.size(); ++k) {
      const QChar upper = text[k].toUpper();
      vowel[size_t(k)] = vowels.contains(upper);
      sign[size_t(k)] = signs.contains(upper);
    }
  }
  // Whether the word [wordStart, wordEnd) may break with `q - wordStart` characters before the hyphen.
  bool BreakAfter(qsizetype wordStart, qsizetype wordEnd, qsizetype q) const {
    const qsizetype kept = q - wordStart;
    if (wordEnd - wordStart < 5 || kept < 2 || kept > wordEnd - wordStart - 2) return false;
    const bool a = vowel[size_t(q - 1)], b = vowel[size_t(q)], c = vowel[size_t(q + 1)];
    return (a && b) || (c && ((a && !b) || (!a && !b && !sign[size_t(q)])));
  }
  std::vector<bool> vowel;
  std::vector<bool> sign;
};

} // namespace

QList<int> frSyllableBreaks(const QString &word) {
  const SyllableLetters letters(word);
  QList<int> breaks;
  for (qsizetype q = 2; q <= word.size() - 2; ++q)
    if (letters.BreakAfter(0, word.size(), q)) breaks << int(q);
  return breaks;
}

// ---- wrapping ----

QList<TfrTextLine> frWrapLine(const QString &line, const TfrTextMeasure &measure, int width,
                              bool breakWords) {
  QList<TfrTextLine> out;
  auto addLine = [&](const QString &text, bool paragraphEnd) {
    out << TfrTextLine{text, paragraphEnd, ClampWidth(measure.Width(text))};
  };
  const bool hasLineEnds = line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n'));
  if (!hasLineEnds) {
    const double whole = measure.Width(line);
    if (line.size() < 2 || whole <= width) {
      out << TfrTextLine{line, true, ClampWidth(whole)};
      return out;
    }
  }

  // Widths of every start of the line, and where each word ends, found once: wrapping stays linear.
  const qsizetype n = line.size();
  std::vector<double> before(size_t(n) + 1, 0.0);
  for (qsizetype k = 0; k < n; ++k) before[size_t(k) + 1] = before[size_t(k)] + measure.CharWidth(line[k]);
  std::vector<qsizetype> wordEnd(size_t(n) + 1, n);
  for (qsizetype k = n - 1; k >= 0; --k)
    wordEnd[size_t(k)] = IsBreakChar(line[k]) || IsLineEnd(line[k]) ? k : wordEnd[size_t(k) + 1];
  const std::optional<SyllableLetters> letters =
      breakWords ? std::optional<SyllableLetters>(SyllableLetters(line)) : std::nullopt;
  const double hyphen = measure.CharWidth(QLatin1Char('-'));

  qsizetype start = 0, lastBreak = -1, i = 0;
  bool lastWasParagraph = false;
  while (i < n) {
    const QChar c = line[i];
    if (IsLineEnd(c)) {
      addLine(line.mid(start, i - start), true);
      lastWasParagraph = true;
      ++i;
      if (c == QLatin1Char('\r') && i < n && line[i] == QLatin1Char('\n')) ++i;
      start = i;
      lastBreak = -1;
      continue;
    }
    if (before[size_t(i) + 1] - before[size_t(start)] <= width) {
      if (IsBreakChar(c)) lastBreak = i;
      ++i;
      continue;
    }

    // The text from the line's start to this character is too wide: end the line.
    lastWasParagraph = false;
    bool done = false;
    qsizetype next = i;
    if (letters) {
      // The longest start of the word being crossed that fits with a hyphen.
      const qsizetype wordStart = lastBreak >= start ? lastBreak + 1 : start;
      const qsizetype end = wordEnd[size_t(wordStart)];
      for (qsizetype q = std::min(i, end - 2); q >= wordStart + 2 && !done; --q) {
        if (!letters->BreakAfter(wordStart, end, q)) continue;
        if (before[size_t(q)] - before[size_t(start)] + hyphen > width) continue;
        addLine(line.mid(start, q - start) + QLatin1Char('-'), false);
        next = q;
        done = true;
      }
    }
    if (!done) {
      qsizetype end = i;
      const bool usableBreak =
          lastBreak > start || (lastBreak == start && line[lastBreak] != QLatin1Char(' '));
      if (c == QLatin1Char(' ') && i == start) {
        // A blank alone at the start of a line that does not fit is dropped: no empty line.
        start = i = i + 1;
        continue;
      }
      if (c == QLatin1Char(' ')) {
        next = i + 1; // a blank that crosses the edge ends the line and is left out
      } else if (usableBreak) {
        end = line[lastBreak] == QLatin1Char(' ') ? lastBreak : lastBreak + 1;
        next = lastBreak + 1;
      } else {
        next = i;
      }
      if (next <= start) {
        // Not even one character fits: it goes on the line by itself.
        end = start + 1;
        next = start + 1;
      }
      addLine(line.mid(start, end - start), false);
    }
    start = i = next;
    lastBreak = -1;
  }
  if (start < n || out.isEmpty() || lastWasParagraph)
    addLine(line.mid(start), true);
  else
    out.last().ParagraphEnd = true;
  return out;
}

QList<TfrTextLine> frLayoutText(const TStrings &text, const TfrTextMeasure &measure, int width, bool wordWrap,
                                bool breakWords) {
  QList<TfrTextLine> lines;
  for (int i = 0; i < text.Count(); ++i) {
    const QString line = text.Strings(i);
    if (wordWrap) {
      lines << frWrapLine(line, measure, width, breakWords);
      continue;
    }
    qsizetype start = 0;
    for (qsizetype k = 0; k <= line.size(); ++k) {
      if (k < line.size() && !IsLineEnd(line[k])) continue;
      const QString part = line.mid(start, k - start);
      lines << TfrTextLine{part, true, ClampWidth(measure.Width(part))};
      if (k + 1 < line.size() && line[k] == QLatin1Char('\r') && line[k + 1] == QLatin1Char('\n')) ++k;
      start = k + 1;
    }
  }
  return lines;
}

// ---- drawing fonts ----

void frSetCanvasFont(TCanvas *canvas, const TFont &font, double emPixels) {
  // A font's height is whole pixels at its own resolution; a resolution made to measure carries the fraction
  // across to the canvas's resolution.
  constexpr int kHeight = 100000;
  // Sizes beyond any page are held to one, so that damaged data cannot ask for giant glyphs.
  const double em = std::clamp(emPixels, 0.05, 20000.0);
  const int dpi = canvas->PixelsPerInch();
  TFont exact;
  exact.Assign(&font);
  exact.SetPixelsPerInch(std::max(1, int(std::lround(double(kHeight) * dpi / em))));
  exact.SetHeight(-kHeight);
  canvas->SetFont(&exact);
}
