// The flat menu painter: its colour helpers and working colours, hooking and unhooking the form's menus,
// measuring, and what the drawing routine paints for menu-bar items, drop-down items and the gradient.
#include "controls/menus/menu_painter.h"
#include "platform/graphics/image_list.h"
#include "platform/widgets/control_bar.h"
#include "platform/widgets/menus.h"
#include "platform/widgets/std_panels.h"
#include "platform/widgets/tool_bar.h"
#include "platform/windowing/control_grab.h"
#include "tests/platform/std_test_helpers.h"
#include <QCoreApplication>
#include <QImage>
#include <QMenu>
#include <gtest/gtest.h>
#include <optional>

namespace {

// ---- colour helpers ----

struct ColourCase {
  const char *name;
  TColor (*helper)(TColor, int);
  TColor in;
  int amount;
  TColor out;
};

const ColourCase kColourCases[] = {
    {"darken takes two less from green", XPDarkenColor, RGB(100, 100, 100), 10, RGB(90, 92, 90)},
    {"darken clamps at black", XPDarkenColor, RGB(5, 50, 200), 100, RGB(0, 0, 100)},
    {"lighten by half", XPLightenColor, RGB(0, 100, 255), 50, RGB(127, 177, 255)},
    {"grey caps at 240", XPGrayColor, RGB(200, 200, 200), 90, RGB(240, 240, 240)},
    {"darkening by a negative amount raises, green 2 more", XPDarkenColor, RGB(10, 20, 30), -40,
     RGB(50, 62, 70)},
    {"raising clamps at white", XPDarkenColor, RGB(250, 250, 220), -40, RGB(255, 255, 255)},
    {"lighten rounds each step down", XPLightenColor, RGB(1, 2, 3), 1, RGB(3, 4, 5)},
    {"lighten stops at 100 percent", XPLightenColor, RGB(0, 100, 200), 150, RGB(255, 255, 255)},
    {"grey is the mean plus the amount", XPGrayColor, RGB(30, 60, 91), 10, RGB(70, 70, 70)},
    {"grey adds at most 100", XPGrayColor, RGB(0, 0, 0), 150, RGB(100, 100, 100)},
};

TEST(XPMenuColours, Helpers) {
  for (const ColourCase &c : kColourCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.helper(c.in, c.amount), c.out);
  }
  // System colours are resolved first.
  const TColor face = ColorToRGB(clBtnFace);
  EXPECT_EQ(XPDarkenColor(clBtnFace, 10), XPDarkenColor(face, 10));
  EXPECT_EQ(XPLightenColor(clBtnFace, 10), XPLightenColor(face, 10));
  EXPECT_EQ(XPGrayColor(clBtnFace, 10), XPGrayColor(face, 10));
}

// ---- hooking ----

struct MenuForm {
  TComponent form{nullptr};
  TMainMenu *main = new TMainMenu(&form);
  TPopupMenu *popup = new TPopupMenu(&form);
  TMenuItem *file = Add(main->Items(), "&File");
  TMenuItem *open = Add(file, "&Open");
  TMenuItem *recent = Add(file, "Recent");
  TMenuItem *first = Add(recent, "first.inv");
  TMenuItem *copy = Add(popup->Items(), "Copy");

  static TMenuItem *Add(TMenuItem *parent, const char *caption) {
    auto *item = new TMenuItem(parent);
    item->SetCaption(QString::fromUtf8(caption));
    parent->Add(item);
    return item;
  }
};

struct OwnDrawing {
  void Draw(TObject *, TCanvas *, TRect, bool) {}
  void Measure(TObject *, TCanvas *, int &, int &) {}
};

TEST(XPMenuHooks, ActivationHooksEveryItemAndDetachingUnhooks) {
  MenuForm f;
  TXPMenu xp(&f.form);
  xp.SetActive(true);
  EXPECT_TRUE(f.main->OwnerDraw());
  EXPECT_TRUE(f.popup->OwnerDraw());
  const TAdvancedMenuDrawItemEvent draw(&xp, &TXPMenu::AdvancedDrawItem);
  const TMenuMeasureItemEvent measure(&xp, &TXPMenu::MeasureItem);
  for (TMenuItem *item : {f.file, f.open, f.recent, f.first, f.copy}) {
    EXPECT_EQ(item->OnAdvancedDrawItem, draw) << item->Caption().toStdString();
    EXPECT_EQ(item->OnMeasureItem, measure);
  }
  xp.SetActive(false);
  EXPECT_FALSE(f.main->OwnerDraw());
  EXPECT_FALSE(f.first->OnAdvancedDrawItem);
}

TEST(XPMenuHooks, OwnHandlersStayUnlessOverridden) {
  MenuForm f;
  OwnDrawing own;
  f.open->OnDrawItem = TMenuDrawItemEvent(&own, &OwnDrawing::Draw);
  const TMenuMeasureItemEvent ownMeasure(&own, &OwnDrawing::Measure);
  f.open->OnMeasureItem = ownMeasure;
  TXPMenu xp(&f.form);
  xp.SetActive(true);
  EXPECT_FALSE(f.open->OnAdvancedDrawItem);
  EXPECT_EQ(f.open->OnMeasureItem, ownMeasure);
  xp.SetOverrideOwnerDraw(true);
  EXPECT_EQ(f.open->OnAdvancedDrawItem, TAdvancedMenuDrawItemEvent(&xp, &TXPMenu::AdvancedDrawItem));
  EXPECT_EQ(f.open->OnMeasureItem, TMenuMeasureItemEvent(&xp, &TXPMenu::MeasureItem));
  // Detaching clears only what points at the component.
  xp.SetActive(false);
  EXPECT_TRUE(f.open->OnDrawItem);
  EXPECT_FALSE(f.open->OnMeasureItem);
}

TEST(XPMenuHooks, AutoDetectHooksItemsAddedLater) {
  for (const bool autoDetect : {true, false}) {
    SCOPED_TRACE(autoDetect);
    MenuForm f;
    TXPMenu xp(&f.form);
    xp.SetAutoDetect(autoDetect);
    xp.SetActive(true);
    auto *later = new TMenuItem(&f.form);
    later->SetCaption(QStringLiteral("Later"));
    f.file->Add(later);
    QCoreApplication::processEvents();
    EXPECT_EQ(bool(later->OnAdvancedDrawItem), autoDetect);
  }
}

// ---- measuring ----

TEST(XPMenuMeasure, SeparatorShortcutAndAccelerator) {
  MenuForm f;
  TXPMenu xp(&f.form);
  QImage image(10, 10, QImage::Format_RGB32);
  TCanvas canvas(&image);
  TFont font;
  xp.WorkingFont(&font, false);
  canvas.SetFont(&font);
  const int textHeight = canvas.TextHeight(QStringLiteral("Open"));
  int w = 0, h = 0;
  // Inactive: the sizes are left alone.
  xp.MeasureItem(f.open, &canvas, w, h);
  EXPECT_EQ(w, 0);
  xp.SetActive(true);

  f.recent->SetCaption(QStringLiteral("-"));
  xp.MeasureItem(f.recent, &canvas, w, h);
  EXPECT_EQ(h, 4);

  f.first->SetCaption(QStringLiteral("Open"));
  xp.MeasureItem(f.first, &canvas, w, h);
  EXPECT_EQ(h, textHeight + (textHeight * 3 + 2) / 4);

  // "&" is not counted; a shortcut reserves "WWW" before its text.
  f.open->SetShortCut(TextToShortCut(QStringLiteral("Ctrl+O")));
  xp.MeasureItem(f.open, &canvas, w, h);
  EXPECT_EQ(w,
            canvas.TextWidth(QStringLiteral("&OpenWWWCtrl+O")) - canvas.TextWidth(QStringLiteral("&")) + 34);

  // A tall icon sets the height: its own bitmap, or the menu's images (which take the place of the bitmap).
  QImage tall(16, 40, QImage::Format_RGB32);
  tall.fill(Qt::red);
  TBitmap bitmap;
  bitmap.SetImage(tall);
  f.first->SetBitmap(&bitmap);
  xp.MeasureItem(f.first, &canvas, w, h);
  EXPECT_EQ(h, 44);
  TImageList images(nullptr);
  images.SetWidth(32);
  images.SetHeight(32);
  f.main->SetImages(&images);
  f.first->SetImageIndex(0);
  xp.MeasureItem(f.first, &canvas, w, h);
  EXPECT_EQ(h, 36);
  f.main->SetImages(nullptr);
  canvas.Release();
}

// ---- drawing ----

constexpr TColor kMenuBar = RGB(200, 200, 200);
constexpr TColor kIconBack = RGB(40, 60, 120);

QImage DrawOn(TXPMenu &xp, TMenuItem *item, const TRect &r, bool selected, bool flat) {
  QImage image(200, 40, QImage::Format_RGB32);
  image.fill(Qt::magenta);
  TCanvas canvas(&image);
  xp.DrawItem(item, &canvas, r, selected, flat);
  canvas.Release();
  return image;
}

TColor At(const QImage &image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return RGB(qRed(p), qGreen(p), qBlue(p));
}

// The colours at the given points.
QList<TColor> At(const QImage &image, std::initializer_list<QPoint> points) {
  QList<TColor> colours;
  for (QPoint p : points) colours << At(image, p.x(), p.y());
  return colours;
}

bool HasColour(const QImage &image, const TRect &r, TColor colour) {
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (At(image, x, y) == ColorToRGB(colour)) return true;
  return false;
}

// How near the pixels of r come to Colour: the largest channel difference of the nearest (0: the colour
// itself). Text is antialiased, so a caption's colour shows only nearly.
int Nearest(const QImage &image, const TRect &r, TColor colour) {
  const QColor wanted = ColorToQColor(ColorToRGB(colour));
  int best = 255;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      const QColor p(image.pixel(x, y));
      best = std::min(best, std::max({std::abs(p.red() - wanted.red()), std::abs(p.green() - wanted.green()),
                                      std::abs(p.blue() - wanted.blue())}));
    }
  return best;
}

struct XPMenuDrawing : ::testing::Test {
  MenuForm f;
  TXPMenu xp{&f.form};
  // The item spans (10, 5) to (60, 24); drawing extends it to 25.
  const TRect item{10, 5, 60, 24};
  void SetUp() override {
    xp.SetUseSystemColors(false);
    xp.SetMenuBarColor(kMenuBar);
    xp.SetIconBackColor(kIconBack);
    xp.Font()->SetColor(clBlack);
    xp.SetActive(true);
  }
};

TEST_F(XPMenuDrawing, SelectedMenuBarItemIsAFlatTabWithSoftShadow) {
  const QImage image = DrawOn(xp, f.file, item, true, true);
  const TXPMenuColors colours = xp.WorkingColors(true);
  // Inside the tab; its left side, top and right side at R-8; the open bottom; the darkest and lightest
  // shadow layers and the shadow's rounded top.
  EXPECT_EQ(At(image, {{12, 8}, {10, 10}, {52, 10}, {20, 24}, {54, 24}, {59, 6}}),
            QList<TColor>({kIconBack, colours.Frame, colours.Frame, kIconBack, XPDarkenColor(kMenuBar, 100),
                           kMenuBar}));
  EXPECT_EQ(image.pixel(10, 25) & 0xFFFFFF, 0xFF00FFu); // one row below the item, no further
}

struct PlainTabCase {
  const char *name;
  bool rightToLeft, flat;
};

TEST_F(XPMenuDrawing, PlainTabForRightToLeftOrLowColourDisplays) {
  for (const PlainTabCase &c :
       {PlainTabCase{"right to left", true, true}, PlainTabCase{"few colours", false, false}}) {
    SCOPED_TRACE(c.name);
    f.main->SetBiDiMode(c.rightToLeft ? bdRightToLeft : bdLeftToRight);
    const QImage image = DrawOn(xp, f.file, item, true, c.flat);
    const TXPMenuColors colours = xp.WorkingColors(c.flat);
    // The right side at R-3, the shadow strip starting 2 below the top.
    EXPECT_EQ(At(image, {{57, 10}, {58, 7}, {59, 20}, {58, 6}}),
              QList<TColor>({ColorToRGB(colours.Frame), ColorToRGB(colours.Shadow),
                             ColorToRGB(colours.Shadow), kIconBack}));
  }
}

TEST_F(XPMenuDrawing, MenuBarCaptionColours) {
  // A dark tab: the caption is the tab colour lightened by 90 percent, whether enabled or not.
  f.file->SetEnabled(false);
  QImage image = DrawOn(xp, f.file, item, true, true);
  EXPECT_TRUE(HasColour(image, item, XPLightenColor(kIconBack, 90)));
  // DrawSelect off: no tab, the menu-bar background, still the contrasting caption.
  f.file->SetEnabled(true);
  xp.SetDrawSelect(false);
  image = DrawOn(xp, f.file, item, true, true);
  EXPECT_EQ(At(image, {{12, 8}, {52, 10}}), QList<TColor>({kMenuBar, kMenuBar}));
  EXPECT_TRUE(HasColour(image, item, XPLightenColor(kIconBack, 90)));
}

TEST(XPMenuMainForm, SelectedMenuBarItemIsWhiteTabWithBlueCaption) {
  MenuForm f;
  TXPMenu xp(&f.form);
  xp.ApplyMainFormSettings();
  const QImage image = DrawOn(xp, f.file, TRect{10, 5, 60, 24}, true, true);
  EXPECT_EQ(At(image, 12, 8), clWhite);
  bool blue = false;
  for (int y = 6; y < 24; ++y)
    for (int x = 11; x < 50; ++x) {
      const QRgb p = image.pixel(x, y);
      blue |= qBlue(p) > 200 && qRed(p) < 120 && qGreen(p) < 120;
    }
  EXPECT_TRUE(blue);
}

TEST_F(XPMenuDrawing, GradientColumnsRiseToTheirCap) {
  xp.SetGradient(true);
  xp.SetIconWidth(24);
  const TRect wide{0, 5, 100, 24};
  const QImage image = DrawOn(xp, f.open, wide, false, true);
  // Widened by two columns on the right.
  const TColor cap = XPLightenColor(kIconBack, 96);
  EXPECT_EQ(At(image, {{0, 6}, {28, 6}, {39, 6}, {95, 6}, {101, 6}}),
            QList<TColor>({XPLightenColor(kIconBack, 1), XPLightenColor(kIconBack, 85), cap, cap, cap}));
  EXPECT_NE(At(image, 102, 6), cap);
}

TEST_F(XPMenuDrawing, DropDownItemColumnsSelectionAndSeparator) {
  xp.SetColor(RGB(250, 240, 230));
  xp.SetSelectColor(RGB(220, 150, 120));
  xp.SetSelectBorderColor(clBlack);
  xp.SetSeparatorColor(RGB(0, 128, 0));
  QImage image = DrawOn(xp, f.open, item, false, true);
  EXPECT_EQ(At(image, {{12, 6}, {58, 6}}), QList<TColor>({kIconBack, RGB(250, 240, 230)}));
  image = DrawOn(xp, f.open, item, true, true);
  EXPECT_EQ(At(image, {{10, 5}, {58, 6}}), QList<TColor>({clBlack, RGB(220, 150, 120)}));
  // A disabled item shows no selection.
  f.open->SetEnabled(false);
  image = DrawOn(xp, f.open, item, true, true);
  EXPECT_EQ(At(image, 58, 6), RGB(250, 240, 230));
  // A separator: half way down, from 7 past the icon column.
  f.recent->SetCaption(QStringLiteral("-"));
  image = DrawOn(xp, f.recent, TRect{10, 5, 60, 8}, false, true);
  EXPECT_EQ(At(image, 41, 7), RGB(0, 128, 0));
  EXPECT_NE(At(image, 40, 7), RGB(0, 128, 0));
}

TEST_F(XPMenuDrawing, CheckBoxOnLeadingEdgeWithoutIconColumn) {
  xp.SetIconWidth(0);
  f.open->SetChecked(true);
  const QImage image = DrawOn(xp, f.open, TRect{20, 5, 80, 25}, false, true);
  const TColor shade = xp.WorkingColors(true).CheckedLight;
  // The 10 x 10 box from x 15 to 24, rows 11 to 20: half of it left of the item.
  EXPECT_EQ(At(image, {{17, 15}, {22, 15}}), QList<TColor>({shade, shade}));
  EXPECT_NE(At(image, 26, 15), shade);
}

// A 16 x 16 icon: a red square on the olive transparent colour.
std::unique_ptr<TBitmap> RedSquare() {
  QImage image(16, 16, QImage::Format_RGB32);
  image.fill(QColor(128, 128, 0));
  for (int y = 4; y < 12; ++y)
    for (int x = 4; x < 12; ++x) image.setPixel(x, y, qRgb(200, 0, 0));
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetImage(image);
  return bitmap;
}

TEST_F(XPMenuDrawing, IconLookFollowsTheItemsState) {
  f.open->SetBitmap(RedSquare().get());
  xp.SetIconWidth(24);
  xp.SetSelectColor(RGB(100, 150, 200));
  // The icon's left edge: column left + (24 - 16) / 2 - 1 = 13; its top: 4 below the item's.
  const TRect r{10, 5, 80, 29};
  QImage image = DrawOn(xp, f.open, r, false, true);
  EXPECT_EQ(At(image, 13 + 4, 9 + 4), XPLightenColor(RGB(200, 0, 0), 30));
  EXPECT_EQ(At(image, 13 + 3, 9 + 4), kIconBack); // olive left out
  image = DrawOn(xp, f.open, r, false, false);
  EXPECT_EQ(At(image, 13 + 4, 9 + 4), RGB(200, 0, 0));
  // Selected: one pixel up and left over its shadow two down and right.
  image = DrawOn(xp, f.open, r, true, true);
  EXPECT_EQ(At(image, 12 + 4, 8 + 4), RGB(200, 0, 0));
  EXPECT_EQ(At(image, 15 + 11, 11 + 11), XPDarkenColor(RGB(100, 150, 200), 50));
  // Disabled: greyed.
  f.open->SetEnabled(false);
  image = DrawOn(xp, f.open, r, false, true);
  EXPECT_EQ(At(image, 13 + 4, 9 + 4), XPGrayColor(RGB(200, 0, 0), 90));
}

// ---- control bars ----

struct OwnBandPainting {
  void Paint(TObject *, TControl *, TCanvas *, TRect &, TBandPaintOptions &) {}
};

TEST(XPMenuControlBars, AttachingGivesABarTheBandRoutineUnlessItHasItsOwnAndDetachingTakesOnlyThatBack) {
  struct Case {
    const char *name;
    bool ownRoutine, overrideOwnerDraw, designing;
    bool oursWhileActive, ownAfterwards; // the bar's routine while the painter is active; after detaching
  };
  const Case cases[] = {
      {"no routine of its own", false, false, false, true, false},
      {"a routine of its own", true, false, false, false, true},
      {"its own, overridden", true, true, false, true, false},
      {"at design time", false, false, true, false, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TComponent form(nullptr);
    auto *bar = new TControlBar(&form);
    OwnBandPainting own;
    const TBandPaintEvent ownRoutine(&own, &OwnBandPainting::Paint);
    if (c.ownRoutine) bar->OnBandPaint = ownRoutine;
    if (c.designing) form.SetDesigning(true);
    TXPMenu xp(&form);
    xp.SetOverrideOwnerDraw(c.overrideOwnerDraw);
    xp.SetActive(true);
    const TBandPaintEvent ours(&xp, &TXPMenu::ControlBarPaint);
    EXPECT_EQ(bar->OnBandPaint == ours, c.oursWhileActive);
    xp.SetActive(false);
    EXPECT_FALSE(bar->OnBandPaint == ours);
    EXPECT_EQ(bar->OnBandPaint == ownRoutine, c.ownAfterwards);
  }
}

class XPMenuOnAForm : public stdtest::FormTest {};

TEST_F(XPMenuOnAForm, AControlBarsBandsAreFlatWhileThePainterIsActive) {
  auto *bar = Add<TControlBar>(0, 0, 200, 30);
  auto *band = new TToolBar(form);
  band->SetBounds(0, 0, 60, 22);
  band->SetParent(bar);
  auto *xp = new TXPMenu(form);
  xp->SetUseSystemColors(false);
  xp->SetMenuBarColor(kMenuBar);
  xp->SetActive(true);
  Show();
  const TXPMenuColors colours = xp->WorkingColors(XPMenuFlatStyleAvailable());
  // The band spans (0, 0) to (75, 26): in the menu-bar colour, without the raised frame; its grabber is a
  // column of 2 x 2 dots from (4, 3), one every fourth row.
  QImage image = GrabControl(bar);
  const TColor dot = ColorToRGB(colours.Frame);
  EXPECT_EQ(At(image, {{0, 5}, {40, 0}, {74, 5}, {4, 3}, {5, 4}, {4, 5}, {4, 6}, {4, 7}, {6, 3}}),
            QList<TColor>({kMenuBar, kMenuBar, kMenuBar, dot, dot, kMenuBar, kMenuBar, dot, kMenuBar}));
  // Detached, the bar draws its own raised frame and grabber again.
  xp->SetActive(false);
  image = GrabControl(bar);
  EXPECT_EQ(At(image, {{0, 5}, {74, 5}, {3, 5}}),
            QList<TColor>({ColorToRGB(clBtnHighlight), ColorToRGB(clBtnShadow), ColorToRGB(clBtnHighlight)}));
}

TEST(XPMenuHooks, AddingAMenuItemOrToolButtonReattachesOnceItIsBuilt) {
  struct Case {
    const char *name;
    std::function<void(TComponent *form)> insert;
    bool autoDetect, reattached;
  };
  const auto toolButton = [](TComponent *form) { new TToolButton(form); };
  const Case cases[] = {
      {"a tool button", toolButton, true, true},
      {"a menu item", [](TComponent *form) { new TMenuItem(form); }, true, true},
      {"a panel", [](TComponent *form) { new TPanel(form); }, true, false},
      {"a tool button without AutoDetect", toolButton, false, false},
      {"a tool button freed at once", [](TComponent *form) { (new TToolButton(form))->Free(); }, true, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TComponent form(nullptr);
    TXPMenu xp(&form);
    xp.SetAutoDetect(c.autoDetect);
    xp.SetActive(true);
    // A control bar arriving does not make the painter look again; the re-attachment gives it the routine.
    auto *bar = new TControlBar(&form);
    QCoreApplication::processEvents();
    ASSERT_FALSE(bar->OnBandPaint);
    c.insert(&form);
    EXPECT_FALSE(bar->OnBandPaint); // not before the event loop runs
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->OnBandPaint == TBandPaintEvent(&xp, &TXPMenu::ControlBarPaint), c.reattached);
  }
}

TEST_F(XPMenuDrawing, CheckMarksTakeTheirShapeFromTheStyleAndTheirShadeFromTheSelection) {
  struct Case {
    const char *name;
    bool flat, radio, selected;
    TColor corner, inside; // the box's top-left pixel and one inside it
    bool tick;
  };
  constexpr TColor kChecked = RGB(0, 0, 200);
  constexpr TColor kSelect = RGB(100, 150, 200);
  const Case cases[] = {
      {"flat box", true, false, false, kChecked, XPLightenColor(kSelect, 75), false},
      {"flat box, selected", true, false, true, kChecked, XPLightenColor(kSelect, 50), false},
      {"flat radio: a rounded box", true, true, false, kIconBack, XPLightenColor(kSelect, 75), false},
      {"plain box with a tick", false, false, false, kChecked, clWhite, true},
      {"plain box, selected", false, false, true, kChecked, clSilver, true},
      {"plain radio: a disc", false, true, false, kIconBack, clWhite, false},
  };
  xp.SetIconWidth(24);
  xp.SetCheckedColor(kChecked);
  xp.SetSelectColor(kSelect);
  f.open->SetChecked(true);
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    f.open->SetRadioItem(c.radio);
    // The item (10, 5) to (110, 30) once extended: the 10 x 10 box from (17, 12), centred in the column.
    const QImage image = DrawOn(xp, f.open, TRect{10, 5, 110, 29}, c.selected, c.flat);
    EXPECT_EQ(At(image, {{17, 12}, {22, 14}}), QList<TColor>({c.corner, ColorToRGB(c.inside)}));
    EXPECT_EQ(At(image, 20, 17) == clBlack, c.tick);
  }
}

TEST_F(XPMenuDrawing, CaptionAndShortcutColoursFollowTheItemsState) {
  struct Case {
    const char *name;
    bool enabled, selected, flat;
    TColor caption, shortcut;
  };
  constexpr TColor kSelectFont = RGB(0, 128, 0);
  constexpr TColor kDisabled = RGB(128, 0, 128);
  const Case cases[] = {
      {"enabled", true, false, true, clBlack, XPDarkenColor(clBlack, -40)},
      {"selected", true, true, true, kSelectFont, XPDarkenColor(kSelectFont, -40)},
      {"disabled, selected", false, true, true, kDisabled, XPDarkenColor(kDisabled, -40)},
      {"selected, few colours", true, true, false, kSelectFont, kSelectFont},
  };
  xp.SetIconWidth(24);
  xp.SetSelectFontColor(kSelectFont);
  xp.SetDisabledColor(kDisabled);
  xp.SetSelectColor(clWhite);
  xp.SetColor(clWhite);
  f.open->SetShortCut(TextToShortCut(QStringLiteral("Ctrl+O")));
  f.open->SetCaption(QStringLiteral("Open")); // no underlined access key: only the text's own colour
  const TRect r{10, 5, 160, 29};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    f.open->SetEnabled(c.enabled);
    const QImage image = DrawOn(xp, f.open, r, c.selected, c.flat);
    // The caption from the text area's left, the shortcut right-aligned 10 pixels from the right edge.
    EXPECT_LE(Nearest(image, TRect{34, 6, 90, 29}, c.caption), 4);
    EXPECT_LE(Nearest(image, TRect{110, 6, 150, 29}, c.shortcut), 4);
    EXPECT_GT(Nearest(image, TRect{150, 6, 160, 29}, c.shortcut), 40);
  }
}

// An icon Width pixels wide and 16 high: a red square in the middle, the rest olive (transparent).
std::unique_ptr<TBitmap> Icon(int Width) {
  QImage image(Width, 16, QImage::Format_RGB32);
  image.fill(QColor(128, 128, 0));
  for (int y = 6; y < 10; ++y)
    for (int x = Width / 2 - 2; x < Width / 2 + 2; ++x) image.setPixel(x, y, qRgb(200, 0, 0));
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetImage(image);
  return bitmap;
}

TEST_F(XPMenuDrawing, AnIconColumnWidensOnlyForABitmapWiderThanIconWidth) {
  struct Case {
    int bitmapWidth, column;
  };
  const Case cases[] = {{16, 24}, {22, 24}, {24, 24}, {25, 29}, {30, 34}};
  xp.SetIconWidth(24);
  xp.SetColor(RGB(250, 240, 230));
  QImage image(10, 10, QImage::Format_RGB32);
  TCanvas canvas(&image);
  TFont font;
  xp.WorkingFont(&font, false);
  canvas.SetFont(&font);
  const int captionWidth = canvas.TextWidth(QStringLiteral("&Open"));
  const int ampersand = canvas.TextWidth(QStringLiteral("&"));
  canvas.Release();
  for (const Case &c : cases) {
    SCOPED_TRACE(c.bitmapWidth);
    f.open->SetBitmap(Icon(c.bitmapWidth).get());
    const QImage drawn = DrawOn(xp, f.open, TRect{10, 5, 110, 29}, false, true);
    // The row above the icon: the column, then the text area.
    EXPECT_EQ(At(drawn, {{10 + c.column - 1, 6}, {10 + c.column, 6}}),
              QList<TColor>({kIconBack, RGB(250, 240, 230)}));
    int w = 0, h = 0;
    xp.MeasureItem(f.open, &canvas, w, h);
    EXPECT_EQ(w, captionWidth - ampersand + c.column + 10);
  }
}

TEST_F(XPMenuDrawing, ADefaultItemsReliefIsDrawnFromTheBackgroundUnderItsCaption) {
  struct Case {
    const char *name;
    bool gradient;
    TColor background; // what lies under the caption's first character
  };
  xp.SetIconWidth(24);
  xp.SetColor(RGB(250, 240, 230));
  // The gradient at the text area's first column, 24 columns into the icon zone.
  const Case cases[] = {{"plain", false, RGB(250, 240, 230)},
                        {"gradient", true, XPLightenColor(kIconBack, 1 + 3 * 24)}};
  f.open->SetCaption(QStringLiteral("LLLL"));
  f.open->SetDefault(true);
  const TRect r{10, 5, 110, 29};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    xp.SetGradient(c.gradient);
    const QImage image = DrawOn(xp, f.open, r, false, true);
    // The copy one pixel down, darkened by 60, shows under the caption's strokes.
    EXPECT_TRUE(HasColour(image, r, XPDarkenColor(c.background, 60)));
  }
}

TEST(XPMenuPopup, ShownMenuIsOwnerDrawnWithAFlatFrame) {
  MenuForm f;
  TXPMenu xp(&f.form);
  xp.SetUseSystemColors(false);
  xp.SetColor(RGB(250, 240, 230));
  xp.SetIconBackColor(kIconBack);
  xp.SetFlatMenu(true);
  xp.SetActive(true);
  MenuForm::Add(f.popup->Items(), "Paste");
  f.popup->Popup(100, 100);
  QMenu *widget = f.popup->MenuWidget();
  const QImage image = widget->grab().toImage();
  widget->hide();
  const TXPMenuColors colours = xp.WorkingColors(XPMenuFlatStyleAvailable());
  const int w = image.width(), h = image.height();
  // The outline's left and top, the icon column running to the frame, the shadow right and below, the
  // corner beside the shadow, an item's text area.
  EXPECT_EQ(
      At(image,
         {{0, h / 2}, {w / 2, 0}, {1, h / 2}, {w - 1, h / 2}, {w / 2, h - 1}, {w - 1, 0}, {w - 20, 6}}),
      QList<TColor>({ColorToRGB(colours.Frame), ColorToRGB(colours.Frame), kIconBack,
                     ColorToRGB(colours.Shadow), ColorToRGB(colours.Shadow), kIconBack, RGB(250, 240, 230)}));
}

// The frame's inner lines follow the reading order; a gradient has no text-area line along the top.
TEST(XPMenuPopup, FlatFramesInnerLinesFollowTheReadingOrderAndTheGradient) {
  struct Case {
    const char *name;
    bool rightToLeft, gradient;
    // Just below the top edge (the text-area line; none: something else), and the inner columns x 1 and 2 at
    // the left and w - 4 at the right (none: not checked).
    std::optional<TColor> top, left1, left2, right4;
  };
  constexpr TColor kText = RGB(250, 240, 230);
  const Case cases[] = {
      {"left to right", false, false, kText, kIconBack, std::nullopt, kText},
      {"left to right, gradient", false, true, std::nullopt, kIconBack, std::nullopt,
       XPLightenColor(kIconBack, 96)},
      {"right to left", true, false, kText, std::nullopt, kText, kIconBack},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    MenuForm f;
    TXPMenu xp(&f.form);
    xp.SetUseSystemColors(false);
    xp.SetColor(kText);
    xp.SetIconBackColor(kIconBack);
    xp.SetFlatMenu(true);
    xp.SetGradient(c.gradient);
    xp.SetActive(true);
    f.popup->SetBiDiMode(c.rightToLeft ? bdRightToLeft : bdLeftToRight);
    f.popup->Popup(100, 100);
    QMenu *widget = f.popup->MenuWidget();
    const QImage image = widget->grab().toImage();
    widget->hide();
    const int w = image.width(), h = image.height();
    if (c.top) {
      EXPECT_EQ(At(image, w / 2, 1), *c.top);
    } else {
      EXPECT_NE(At(image, w / 2, 1), kText);
    }
    const std::pair<std::optional<TColor>, QPoint> columns[] = {
        {c.left1, {1, h / 2}}, {c.left2, {2, h / 2}}, {c.right4, {w - 4, h / 2}}};
    for (const auto &[colour, at] : columns) {
      if (colour) {
        EXPECT_EQ(At(image, at.x(), at.y()), *colour) << at.x() << "," << at.y();
      }
    }
    // The icon column's line along the top: from x 1 up to 2 + IconWidth (right to left: from w - 4 down to
    // w - 3 - IconWidth), its end left out.
    const int step = c.rightToLeft ? -1 : 1;
    const int lead = c.rightToLeft ? w - 4 : 1, end = c.rightToLeft ? w - 3 - 24 : 2 + 24;
    if (!c.gradient) {
      EXPECT_EQ(At(image, {{lead, 2}, {end - step, 2}, {end, 2}}),
                QList<TColor>({kIconBack, kIconBack, kText}));
    }
  }
}

} // namespace
