// The bevel settings and drawing, the bevelled label's layout, and the URL label's link: which address a
// click opens (and which it refuses), the hand cursor and the mouse events.
#include "controls/labels/url_label.h"
#include "platform/graphics/bitmap.h"
#include "platform/windowing/control_grab.h"
#include "tests/platform/std_test_helpers.h"

namespace {

using Side = TKNGBorderSide;
using Style = TKNGBevelStyle;

// ---- bevel settings ----

TEST(KNGBevel, ChangesAreToldOnceAndAWidthOfZeroStillDrawsOneLine) {
  TKNGBevel bevel;
  int changes = 0;
  bevel.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  bevel.SetBevelWidth(2);
  bevel.SetBevelWidth(2);
  bevel.SetShadowColor(clNavy);
  bevel.SetBevelWidth(0);
  EXPECT_EQ(std::pair(bevel.BevelWidth(), changes), std::pair(1, 3));
}

// ---- bevel drawing ----

class KNGBevelDrawing : public ::testing::Test {
protected:
  KNGBevelDrawing() : bitmap(12, 12) {
    bevel.SetHighLightColor(clWhite);
    bevel.SetShadowColor(clBlack);
    bitmap.Canvas()->Brush()->SetColor(clLime);
    bitmap.Canvas()->FillRect(Rect(0, 0, 12, 12));
  }
  TRect Draw(bool transparent = false) {
    TRect r = Rect(0, 0, 12, 12);
    DrawKNGBevel(bitmap.Canvas(), r, bevel, clRed, transparent);
    return r;
  }
  // The middle row or column as letters: w white, k black, r red, g lime.
  QString Line(bool row) {
    QString letters;
    for (int i = 0; i < 12; ++i) {
      const TColor c = row ? bitmap.Canvas()->Pixel(i, 6) : bitmap.Canvas()->Pixel(6, i);
      letters += c == clWhite ? 'w' : c == clBlack ? 'k' : c == clRed ? 'r' : c == clLime ? 'g' : '?';
    }
    return letters;
  }

  TKNGBevel bevel;
  TBitmap bitmap;
};

TEST_F(KNGBevelDrawing, OuterRaisedThenBorderThenInnerLowered) {
  bevel.SetBevelOuter(Style::bvRaised);
  bevel.SetBevelInner(Style::bvLowered);
  bevel.SetBorderWidth(1);
  bevel.SetBevelWidth(2);
  EXPECT_EQ(Draw(), Rect(5, 5, 7, 7));
  // From the edge in: highlight first for the raised outer bevel, the border, shadow first for the lowered
  // inner one; the same from the other edge with the colours swapped.
  EXPECT_EQ(Line(true), "wwrkkggwwrkk");
  EXPECT_EQ(Line(false), "wwrkkggwwrkk");
}

TEST_F(KNGBevelDrawing, OnlyTheChosenSidesAreDrawnAndMoved) {
  bevel.SetBevelOuter(Style::bvLowered);
  bevel.SetBevelBorders({Side::bsLeft, Side::bsBottom});
  EXPECT_EQ(Draw(), Rect(1, 0, 12, 11));
  EXPECT_EQ(Line(true), "kggggggggggg");
  EXPECT_EQ(Line(false), "gggggggggggw");
}

TEST_F(KNGBevelDrawing, TransparentBorderOnlyTakesRoom) {
  bevel.SetBevelOuter(Style::bvNone);
  bevel.SetBorderWidth(2);
  EXPECT_EQ(Draw(true), Rect(2, 2, 10, 10));
  EXPECT_EQ(Line(true), "gggggggggggg");
  EXPECT_EQ(Draw(false), Rect(2, 2, 10, 10));
  EXPECT_EQ(Line(true), "rrggggggggrr");
}

// ---- the labels ----

class URLLabelTest : public stdtest::FormTest {
protected:
  TKNGURLLabel *AddLabel(const QString &caption) {
    auto *label = new TKNGURLLabel(form);
    label->SetName(QStringLiteral("Link%1").arg(++count_));
    label->SetParent(form);
    label->SetLeft(10);
    label->SetTop(10);
    label->SetCaption(caption);
    return label;
  }
  QStringList Opened() {
    QStringList urls;
    for (const QUrl &url : services->OpenedUrls()) urls << url.toString();
    return urls;
  }
  int count_ = 0;
};

TEST_F(URLLabelTest, AutoSizeLeavesRoomForTheBevel) {
  TKNGURLLabel *label = AddLabel(QStringLiteral("example.com"));
  const int plainWidth = label->Width();
  label->Bevel()->SetBevelOuter(Style::bvRaised);
  label->Bevel()->SetBevelWidth(3);
  EXPECT_EQ(label->Width(), plainWidth + 6);
  EXPECT_EQ(label->TextArea(), Rect(4, 4, label->Width() - 4, label->Height() - 4));

  // A right-aligned label keeps its right edge.
  label->SetAlignment(taRightJustify);
  const int right = label->Left() + label->Width();
  label->SetCaption(QStringLiteral("a much longer address.example.com"));
  EXPECT_GT(label->Width(), plainWidth + 6);
  EXPECT_EQ(label->Left() + label->Width(), right);
}

TEST_F(URLLabelTest, PaintsTheBevelRoundTheText) {
  TKNGURLLabel *label = AddLabel(QStringLiteral("example.com"));
  label->SetColor(clYellow);
  label->Bevel()->SetBevelOuter(Style::bvRaised);
  label->Bevel()->SetHighLightColor(clWhite);
  label->Bevel()->SetShadowColor(clNavy);
  Show();
  const QImage image = GrabControl(label);
  EXPECT_EQ(image.pixelColor(0, 5), ColorToQColor(clWhite));
  EXPECT_EQ(image.pixelColor(label->Width() - 1, 5), ColorToQColor(clNavy));
  // The caption in the link colour (antialiased: look for a clearly blue pixel) inside the bevel.
  bool blue = false;
  for (int y = 1; y < image.height() - 1 && !blue; ++y)
    for (int x = 1; x < image.width() - 1 && !blue; ++x) {
      const QColor c = image.pixelColor(x, y);
      blue = c.blue() > 180 && c.red() < 100 && c.green() < 100;
    }
  EXPECT_TRUE(blue);
}

struct LinkCase {
  const char *name;
  TKNGURLKind kind;
  bool addKind;
  const char *caption;
  const char *opened; // nullptr: nothing is opened
};

const LinkCase kLinkCases[] = {
    {"mail with prefix", ukMailTo, true, "someone@example.com", "mailto:someone@example.com"},
    {"mail without prefix", ukMailTo, false, "someone@example.com", nullptr},
    {"web with prefix", ukHTTP, true, "www.example.com", "http://www.example.com"},
    {"web address given whole", ukHTTP, false, "https://www.example.com/a", "https://www.example.com/a"},
    {"empty caption", ukHTTP, true, "", nullptr},
    // Addresses the shell must never run.
    {"local file", ukHTTP, false, "file:///etc/passwd", nullptr},
    {"script scheme", ukHTTP, false, "javascript:alert(1)", nullptr},
    {"caption that is no host", ukHTTP, true, "Billing Creation", nullptr},
};

TEST_F(URLLabelTest, ClickOpensTheAddressOrNothingAndAPressReleasedOffOpensNothing) {
  Show();
  for (const LinkCase &c : kLinkCases) {
    SCOPED_TRACE(c.name);
    TKNGURLLabel *label = AddLabel(QString::fromLatin1(c.caption));
    label->SetAutoSize(false);
    label->SetWidth(120);
    label->SetURLKind(c.kind);
    label->SetAddURLKind(c.addKind);
    const qsizetype before = Opened().size();
    guitest::Click(label, QPoint(5, 5));
    guitest::ProcessEvents();
    const QStringList opened = Opened().mid(before);
    if (c.opened)
      EXPECT_EQ(opened, QStringList({QString::fromLatin1(c.opened)}));
    else
      EXPECT_TRUE(opened.isEmpty()) << opened.join(QLatin1Char(' ')).toStdString();
    label->Free();
  }

  // A press released off the label opens nothing; the usual mouse-up handling comes before the link.
  TKNGURLLabel *label = AddLabel(QStringLiteral("www.example.com"));
  label->SetAddURLKind(true);
  int ups = 0;
  label->OnMouseUp = TMouseEvent::From([&](TObject *, TMouseButton, TShiftState, int, int) { ++ups; });
  const qsizetype before = Opened().size();
  guitest::SendMouse(label, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(3, 3), Qt::LeftButton);
  guitest::SendMouse(label, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(label->Width() + 40, 3),
                     Qt::NoButton);
  guitest::ProcessEvents();
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(Opened().size(), before);
  guitest::Click(label, QPoint(3, 3));
  EXPECT_EQ(ups, 2);
  EXPECT_EQ(Opened().mid(before), QStringList({QStringLiteral("http://www.example.com")}));
}

TEST_F(URLLabelTest, MouseOverShowsTheHandAndFiresTheEvents) {
  TKNGURLLabel *label = AddLabel(QStringLiteral("www.example.com"));
  label->OnMouseEnter =
      TNotifyEvent::From([&](TObject *) { log << QStringLiteral("enter, cursor %1").arg(label->Cursor()); });
  label->OnMouseLeave =
      TNotifyEvent::From([&](TObject *) { log << QStringLiteral("leave, cursor %1").arg(label->Cursor()); });
  label->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(label->Cursor(), crHandPoint);
  label->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(label->Cursor(), crDefault);
  // The events come before the hand shows and after it is gone; a notice about a child is not the label's.
  label->Perform(CM_MOUSEENTER, 0, 1);
  EXPECT_EQ(log, QStringList({QStringLiteral("enter, cursor 0"), QStringLiteral("leave, cursor 0")}));
}

} // namespace
