// The glyph button: the stock glyph of each kind, the flat face with its hover and pressed frames, the glyph
// and caption layout, and the engraved caption of a disabled button.
#include "controls/buttons/glyph_button.h"
#include "platform/graphics/color.h"
#include "platform/windowing/forms.h"
#include "tests/platform/gui_test_helpers.h"
#include <QImage>
#include <gtest/gtest.h>

namespace {

const TGlyphKind kKinds[] = {glOK, glCancel, glHelp, glYes, glNo, glClose, glAbort, glRetry, glIgnore, glAll};

TEST(GlyphButtonKinds, EachKindLoadsItsOwnTransparentGlyph) {
  TCorelGlyphButton button(nullptr);
  QList<QImage> seen;
  for (const TGlyphKind kind : kKinds) {
    SCOPED_TRACE(int(kind));
    button.SetGlyphKind(kind);
    const QImage image = button.GlyphBitmap()->Image();
    EXPECT_EQ(std::tuple(button.GlyphWidth(), button.GlyphBitmap()->Transparent(),
                         button.GlyphBitmap()->TransparentColor()),
              std::tuple(image.width(), true, TColor(32896)));
    // Drawn on the olive background, and no two kinds alike.
    EXPECT_EQ(image.pixel(0, image.height() - 1) & 0xFFFFFF, 0x808000u);
    for (const QImage &other : seen) EXPECT_NE(image, other);
    seen.append(image);
  }
  button.SetGlyphKind(glNone);
  EXPECT_EQ(button.GlyphWidth(), 0);
}

struct FaceCase {
  const char *name;
  bool enabled, pressed, hot;
  TColor topLeft, bottomRight; // of the face, just inside the button's edge
};

const FaceCase kFaces[] = {
    {"flat", true, false, false, clBtnFace, clBtnFace},
    {"hot raised", true, false, true, clBtnHighlight, clBtnShadow},
    {"pressed sunken", true, true, true, clBtnShadow, clBtnHighlight},
    {"disabled shows no hover frame", false, false, true, clBtnFace, clBtnFace},
};

QImage Paint(TCorelGlyphButton &button, bool pressed, bool hot, bool focused = false) {
  QImage image(button.Width(), button.Height(), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  TCanvas canvas(&image);
  button.DrawFace(&canvas, pressed, hot, focused);
  canvas.Release();
  return image;
}

QRgb Rgb(TColor c) { return ColorToQColor(c).rgb() & 0xFFFFFF; }

TEST(GlyphButtonFace, FramesFollowTheStateAndADefaultButtonIsFramedAndFocused) {
  for (const FaceCase &c : kFaces) {
    SCOPED_TRACE(c.name);
    TCorelGlyphButton button(nullptr);
    button.SetEnabled(c.enabled);
    const QImage image = Paint(button, c.pressed, c.hot);
    const auto at = [&image](int x, int y) { return image.pixel(x, y) & 0xFFFFFF; };
    EXPECT_EQ(QList<QRgb>({at(5, 0), at(74, 5), at(37, 2)}),
              QList<QRgb>({Rgb(c.topLeft), Rgb(c.bottomRight), Rgb(clBtnFace)}));
  }
  // A default button gets the window frame, moves its raised frame in, and shows the focus rectangle.
  TCorelGlyphButton button(nullptr);
  button.SetDefault(true);
  const QImage image = Paint(button, false, true, true);
  EXPECT_EQ(image.pixel(5, 0) & 0xFFFFFF, Rgb(clWindowFrame));
  // The focus rectangle, 3 pixels inside the face, is not button face everywhere.
  bool dotted = false;
  for (int x = 5; x < 70; ++x) dotted |= (image.pixel(x, 4) & 0xFFFFFF) != Rgb(clBtnFace);
  EXPECT_TRUE(dotted);
}

// The columns holding anything but button face, and whether a colour occurs.
struct Ink {
  int left = -1, right = -1;
};

Ink InkColumns(const QImage &image, int top, int bottom) {
  Ink ink;
  for (int x = 2; x < image.width() - 2; ++x)
    for (int y = top; y < bottom; ++y)
      if ((image.pixel(x, y) & 0xFFFFFF) != Rgb(clBtnFace)) {
        if (ink.left < 0) ink.left = x;
        ink.right = x;
      }
  return ink;
}

TEST(GlyphButtonLayout, GlyphAndCaptionOrCaptionAloneCentred) {
  TCorelGlyphButton button(nullptr);
  button.SetCaption(QStringLiteral("OK"));
  button.SetGlyphKind(glOK);
  QImage probe(10, 10, QImage::Format_RGB32);
  TCanvas measure(&probe);
  measure.SetFont(button.Font());
  const int captionWidth = measure.TextWidth(QStringLiteral("OK"));
  measure.Release();
  const int glyphLeft = (75 - captionWidth - button.GlyphWidth() - 4) / 2;
  const QImage up = Paint(button, false, false);
  const Ink ink = InkColumns(up, 2, 23);
  EXPECT_GE(ink.left, glyphLeft);
  EXPECT_LE(ink.left, glyphLeft + 3);
  EXPECT_LE(ink.right, glyphLeft + button.GlyphWidth() + 4 + captionWidth + 1);
  // Pressed: everything one pixel right and down.
  const QImage down = Paint(button, true, true);
  EXPECT_EQ(down.copy(glyphLeft + 1, 5, 50, 15), up.copy(glyphLeft, 4, 50, 15));

  // A caption alone, measured without "&", is centred to within the side bearing of the letters.
  TCorelGlyphButton alone(nullptr);
  alone.SetCaption(QStringLiteral("&Change"));
  const Ink centred = InkColumns(Paint(alone, false, false), 2, 23);
  ASSERT_GE(centred.left, 0);
  EXPECT_NEAR(centred.left + centred.right, 75, 4);
}

TEST(GlyphButtonCaption, DisabledCaptionIsEngraved) {
  TCorelGlyphButton button(nullptr);
  button.SetCaption(QStringLiteral("Change"));
  button.SetEnabled(false);
  const QImage image = Paint(button, false, false);
  // Lighter than the face: the highlight copy; darker: the shadow copy; nothing as dark as button text.
  const int face = qGray(Rgb(clBtnFace)), shade = qGray(Rgb(clBtnShadow));
  bool highlight = false, shadow = false, text = false;
  for (int x = 2; x < 73; ++x)
    for (int y = 2; y < 23; ++y) {
      const int grey = qGray(image.pixel(x, y));
      highlight |= grey > face + 5;
      shadow |= grey < face - 20;
      text |= grey < shade - 10;
    }
  EXPECT_EQ(std::tuple(highlight, shadow, text), std::tuple(true, true, false));
}

TEST(GlyphButtonOnForm, PaintsItselfADoubleClickIsASecondPressAndTheMouseMakesItHot) {
  TForm *form = TCustomForm::Create<TForm>(nullptr);
  form->SetClientSize(200, 100);
  auto *button = new TCorelGlyphButton(form);
  button->SetCaption(QStringLiteral("OK"));
  button->SetGlyphKind(glOK);
  button->SetBounds(10, 10, 75, 25);
  button->SetParent(form);
  int clicks = 0;
  button->OnClick = TNotifyEvent::From([&clicks](TObject *) { ++clicks; });
  guitest::ShowAndActivate(form);
  // The glyph's green tick shows left of the caption.
  const QImage image = button->Widget()->grab().toImage();
  int green = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width() / 2; ++x) {
      const QRgb p = image.pixel(x, y);
      if (qGreen(p) > 100 && qRed(p) < 80 && qBlue(p) < 100) ++green;
    }
  EXPECT_GT(green, 5);
  guitest::Click(button, QPoint(20, 10));
  guitest::SendMouse(button, QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(20, 10), Qt::LeftButton);
  guitest::SendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(20, 10), Qt::NoButton);
  EXPECT_EQ(clicks, 2);
  button->Perform(CM_MOUSEENTER);
  EXPECT_TRUE(button->Hot());
  button->Perform(CM_MOUSELEAVE);
  EXPECT_FALSE(button->Hot());
  form->Free();
  guitest::ProcessEvents();
}

} // namespace
