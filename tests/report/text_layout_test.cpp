#include "platform/core/string_list.h"
#include "platform/core/text_encoding.h"
#include "platform/graphics/canvas.h"
#include "report/printer_wrapper.h"
#include "report/text_layout.h"
#include <QPdfWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const TFont &MonoFont() {
  static TFont *font = [] {
    auto *f = new TFont;
    f->SetName(QStringLiteral("Courier New"));
    f->SetSize(10);
    return f;
  }();
  return *font;
}

// A width in which exactly n characters of the monospaced font fit.
int WidthFor(const TfrTextMeasure &measure, int n) {
  return int(n * measure.CharWidth(QLatin1Char('x'))) + 1;
}

QStringList Texts(const QList<TfrTextLine> &lines) {
  QStringList texts;
  for (const TfrTextLine &line : lines) texts << line.Text;
  return texts;
}

// Break rules: the text, the characters that fit, whether words break at syllables, the lines joined by "|"
// and "1" for a line that ends its paragraph, "0" for one that does not.
TEST(WrapLine, BreakRules) {
  const TfrTextMeasure measure(MonoFont());
  const struct {
    const char *text;
    int fit;
    bool syllables;
    const char *lines, *ends;
  } cases[] = {{"hello", 10, false, "hello", "1"},
               {"hello world", 8, false, "hello|world", "01"}, // the blank is left out
               {"well-known", 7, false, "well-|known", "01"},
               {"a b c dddd", 6, false, "a b c|dddd", "01"}, // the last break wins
               {"abcdefghij", 4, false, "abcd|efgh|ij", "001"},
               {"abcd efgh", 4, false, "abcd|efgh", "01"}, // a blank crossing the edge
               {"ab\r\ncd\nef", 10, false, "ab|cd|ef", "111"},
               {"программа", 8, true, "програм-|ма", "01"},  // the longest syllable that fits
               {"программа", 3, true, "про|гра|мма", "001"}, // no syllable fits: a plain break
               {"а программа", 8, true, "а прог-|рамма", "01"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    const QList<TfrTextLine> lines =
        frWrapLine(QString::fromUtf8(c.text), measure, WidthFor(measure, c.fit), c.syllables);
    QString ends;
    for (const TfrTextLine &line : lines) {
      ends += line.ParagraphEnd ? QLatin1Char('1') : QLatin1Char('0');
      EXPECT_EQ(line.Width, qRound(measure.Width(line.Text)));
    }
    EXPECT_EQ(Texts(lines).join(QLatin1Char('|')), QString::fromUtf8(c.lines));
    EXPECT_EQ(ends, QString::fromLatin1(c.ends));
  }
}

TEST(WrapLine, EveryLineTakesAtLeastOneCharacterWhenNoneFits) {
  const TfrTextMeasure measure(MonoFont());
  // Narrower than any character: one character per line, and the wrapping ends.
  for (int width : {0, -5}) {
    const QList<TfrTextLine> lines = frWrapLine(QStringLiteral("ab,c d"), measure, width, true);
    EXPECT_EQ(Texts(lines), QStringList({"a", "b", ",", "c", "d"})) << width;
  }
  // A very long word with syllable breaking: every line is a syllable start with its hyphen.
  const QString word = QStringLiteral("прогр").repeated(8000);
  const QList<TfrTextLine> lines = frWrapLine(word, measure, WidthFor(measure, 12), true);
  qsizetype letters = 0;
  for (const TfrTextLine &line : lines) {
    letters += line.Text.size() - (line.Text.endsWith(QLatin1Char('-')) ? 1 : 0);
    EXPECT_LE(line.Text.size(), 12);
  }
  EXPECT_EQ(letters, word.size());
}

// Two vowels side by side break between them; a soft sign keeps its consonant; no break before a hard sign;
// words shorter than 5 letters and other alphabets do not break.
TEST(Syllables, CyrillicVowelAndSignRules) {
  const struct {
    const char *word;
    QList<int> breaks;
  } cases[] = {{"ПРОГРАММА", {4, 7}}, {"ауаааа", {2, 3, 4}}, {"пальто", {4}},
               {"объект", {}},        {"окно", {}},          {"program", {}}};
  for (const auto &c : cases) EXPECT_EQ(frSyllableBreaks(QString::fromUtf8(c.word)), c.breaks) << c.word;
}

TEST(WrappedEncoding, LinesCarryTheirMarkAndWidth) {
  EXPECT_EQ(frEncodeTextLine({QStringLiteral("ab"), true, 300}),
            QStringLiteral("ab") + QChar(1) + QChar(1) + QChar(0x2C));
  // Width bytes from 0x80 to 0x9F are the code page's characters, so that they survive the stream.
  const QString encoded = frEncodeTextLine({QStringLiteral("x"), false, 0x8081});
  EXPECT_EQ(FromWindows1252(ToWindows1252(encoded)), encoded);
  EXPECT_EQ(encoded[1], QChar(0x20AC));
  TStringList text;
  text.Add(encoded);
  text.Add(frEncodeTextLine({QStringLiteral("yz"), true, 70000}));
  ASSERT_TRUE(frIsWrappedText(text));
  const QList<TfrTextLine> lines = frDecodeWrappedText(text);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0], (TfrTextLine{QStringLiteral("x"), false, 0x8081}));
  EXPECT_EQ(lines[1], (TfrTextLine{QStringLiteral("yz"), true, 65535}));
}

TEST(WrappedEncoding, OnlyWellFormedTextCountsAsWrapped) {
  auto list = [](const QStringList &lines) {
    auto text = std::make_unique<TStringList>();
    for (const QString &line : lines) text->Add(line);
    return text;
  };
  const QString mark(QChar(1));
  const QString widthBytes = QString(QChar(0)) + QChar(10);
  // Text that merely holds the character 1 is ordinary text.
  EXPECT_FALSE(frIsWrappedText(*list({QStringLiteral("a") + mark + QStringLiteral("bcd")})));
  // Wrapped lines without any mark are not recognised either.
  EXPECT_FALSE(frIsWrappedText(*list({QStringLiteral("ab") + widthBytes})));
  EXPECT_TRUE(frIsWrappedText(*list({QStringLiteral("ab") + mark + widthBytes})));
  // A split part without a paragraph end is closed by a line holding only the mark.
  const auto split = list({QStringLiteral("ab") + widthBytes, QStringLiteral("cd") + widthBytes, mark});
  EXPECT_TRUE(frIsWrappedText(*split));
  EXPECT_EQ(frDecodeWrappedText(*split).size(), 2);
  // The closing line belongs only at the end.
  EXPECT_FALSE(frIsWrappedText(*list({mark, QStringLiteral("ab") + mark + widthBytes})));
}

TEST(LayoutText, WithoutWordWrapEachLineStaysWhole) {
  const TfrTextMeasure measure(MonoFont());
  TStringList text;
  text.Add(QStringLiteral("a rather long line"));
  text.Add(QStringLiteral("two\r\nparts"));
  EXPECT_EQ(Texts(frLayoutText(text, measure, 20, false, false)),
            QStringList({"a rather long line", "two", "parts"}));
  EXPECT_EQ(frLayoutText(text, measure, WidthFor(measure, 8), true, false).size(), 5);
}

// The text a line measures is the text drawn, at any resolution: preview and paper agree.
TEST(CanvasFont, TextDrawnOnAnyDeviceIsTheDesignLayoutScaled) {
  TFont font;
  font.SetName(QStringLiteral("Arial"));
  font.SetSize(10);
  const TfrTextMeasure measure(font);
  const QString line = QStringLiteral("Invoice total, including tax: 1,234.56");
  const double designWidth = measure.Width(line);

  QImage screen(800, 100, QImage::Format_RGB32);
  TCanvas screenCanvas(&screen);
  frSetCanvasFont(&screenCanvas, font, measure.Em() * 1.5);
  EXPECT_NEAR(screenCanvas.TextWidth(line), designWidth * 1.5, 2.0);

  QTemporaryDir dir;
  QPdfWriter pdf(dir.filePath(QStringLiteral("page.pdf")));
  pdf.setResolution(600);
  TCanvas paper(&pdf);
  ASSERT_EQ(paper.PixelsPerInch(), 600);
  const double scale = 600 / frUnitsPerInchY;
  frSetCanvasFont(&paper, font, measure.Em() * scale);
  EXPECT_NEAR(paper.Font()->EmPixels(600), measure.Em() * scale, 0.01);
  EXPECT_NEAR(paper.TextWidth(line) / scale, designWidth, 1.0);
  paper.Release();
}

} // namespace
