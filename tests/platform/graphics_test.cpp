#include "platform/graphics/color.h"
#include "platform/graphics/font_substitution.h"
#include "platform/graphics/graphics.h"
#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

TEST(FontSubstitution, WindowsFontsAreDrawnByTheirInstalledTwins) {
  struct Case {
    const char *name;
    bool fixedPitch;
    const char *family;
  };
  const std::vector<Case> cases = {
      {"ARIAL", false, "Liberation Sans"},
      {"Times New Roman", false, "Liberation Serif"},
      {"Verdana", false, "DejaVu Sans"},
      {"DejaVu Serif", false, "DejaVu Serif"}, // installed: kept
      {"No Such Font Anywhere", true, "Liberation Mono"},
      {"", false, "Liberation Sans"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(SubstituteFontFamily(QString::fromLatin1(c.name), c.fixedPitch), QString::fromLatin1(c.family))
        << c.name;
}

TEST(Font, SizeInPointsAgainstHeightInPixels) {
  TFont font;
  EXPECT_EQ(font.ToQFont().family(), QStringLiteral("Liberation Sans"));

  struct Case {
    int size;
    int height; // at 96 dpi
  };
  for (const Case &c : {Case{8, -11}, Case{14, -19}}) {
    font.SetSize(c.size);
    EXPECT_EQ(font.Height(), c.height) << c.size;
    font.SetHeight(c.height);
    EXPECT_EQ(font.Size(), c.size) << c.height;
  }
  font.SetSize(10);
  EXPECT_NEAR(font.EmPixels(600), 83.333, 0.01);
  font.SetStyle(fsBold | fsItalic | fsUnderline | fsStrikeOut);
  const QFont q = font.ToQFont();
  EXPECT_TRUE(q.bold() && q.italic() && q.underline() && q.strikeOut());
  EXPECT_EQ(q.pixelSize(), 13);
}

TEST(Font, ResolutionChangesAndAssignKeepThePointSizeAndChangesAreToldOnce) {
  TFont screen;
  screen.SetName(QStringLiteral("Arial"));
  screen.SetSize(10);
  TFont printer;
  printer.MoveToResolution(600);
  printer.Assign(&screen);
  EXPECT_EQ(std::tuple(printer.Size(), printer.Height(), printer.Name()),
            std::tuple(10, -83, QStringLiteral("Arial")));
  TFont copy;
  screen.SetHeight(-17);
  copy.Assign(&screen);
  // SetPixelsPerInch keeps the height, as the class library does.
  copy.SetPixelsPerInch(192);
  EXPECT_EQ(copy.Height(), -17);
  EXPECT_EQ(copy.Size(), 6);
  // A positive height is a cell height: the em size is smaller.
  copy.SetPixelsPerInch(96);
  copy.SetHeight(20);
  EXPECT_LT(copy.EmPixels(96), 20);
  EXPECT_GT(copy.EmPixels(96), 14);

  // OnChange fires once per real change.
  TFont font;
  font.SetSize(8);
  int changes = 0;
  font.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  font.SetName(QStringLiteral("Arial"));
  font.SetName(QStringLiteral("Arial"));
  font.SetSize(8); // unchanged
  font.SetStyle(fsBold);
  EXPECT_EQ(changes, 2);
}

TEST(PenAndBrush, ClearBrushFollowsItsColour) {
  TBrush brush;
  brush.SetColor(clNone);
  EXPECT_EQ(brush.Style(), bsClear);
  brush.SetColor(clBlue);
  EXPECT_EQ(brush.Style(), bsSolid);
  TPen pen;
  TFont font;
  EXPECT_THROW(pen.Assign(&font), EConvertError);
}

TEST(Colors, SystemColoursFollowTheApplicationPalette) {
  const QPalette saved = QApplication::palette();
  QPalette palette = saved;
  palette.setColor(QPalette::Button, QColor(1, 2, 3));
  palette.setColor(QPalette::Base, QColor(4, 5, 6));
  palette.setColor(QPalette::Active, QPalette::Highlight, QColor(7, 8, 9));
  palette.setColor(QPalette::Light, QColor(10, 11, 12));
  palette.setColor(QPalette::Dark, QColor(13, 14, 15));
  QApplication::setPalette(palette);
  EXPECT_EQ(QList<TColor>({ColorToRGB(clBtnFace), ColorToRGB(clWindow), ColorToRGB(clHighlight),
                           ColorToRGB(clBtnHighlight), ColorToRGB(clBtnShadow)}),
            QList<TColor>({RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(10, 11, 12), RGB(13, 14, 15)}));
  EXPECT_EQ(ColorToQColor(clBtnFace), QColor(1, 2, 3));
  QApplication::setPalette(saved);
  EXPECT_EQ(ColorToRGB(clBtnFace), QColorToColor(saved.color(QPalette::Button)));
}

TEST(Colors, ValuesAreWindowsBgr) {
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412);
  EXPECT_EQ(ColorToQColor(RGB(1, 2, 3)), QColor(1, 2, 3));
  EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
}

} // namespace
