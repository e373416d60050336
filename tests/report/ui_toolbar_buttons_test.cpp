// The report engine's toolbar buttons: their looks (greyed, hot, down, disabled), clicks, groups, caption
// accelerators, and the toolbar alignment of buttons and separators.
#include "../platform/gui_test_helpers.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include "report/ui/toolbar_buttons.h"
#include "report/ui/toolbar_glyphs.h"
#include <QImage>
#include <gtest/gtest.h>

namespace {

const QRgb kOlive = qRgb(128, 128, 0);

QRgb Px(const QImage &image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
QRgb Sys(TColor color) { return ColorToQColor(color).rgb() & 0xFFFFFF; }

// A 16 x 16 glyph: olive (transparent) around a pure red 8 x 8 square.
std::unique_ptr<TBitmap> RedSquareGlyph() {
  QImage image(16, 16, QImage::Format_RGB32);
  image.fill(kOlive);
  for (int y = 4; y < 12; ++y)
    for (int x = 4; x < 12; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetImage(image);
  return bitmap;
}

class ToolbarButtonsTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetClientSize(200, 100);
  }
  void TearDown() override {
    form->Free();
    guitest::ProcessEvents();
  }
  template <class T>
  T *Add(int left, int top) {
    auto *b = new T(form);
    b->SetParent(form);
    b->SetAlign(alNone);
    b->SetBounds(left, top, 22, 22);
    return b;
  }
  QImage Screen() { return form->Widget()->grab().toImage(); }
  // The form's colours at the points given.
  QList<QRgb> Pixels(std::initializer_list<QPoint> points) {
    const QImage screen = Screen();
    QList<QRgb> colours;
    for (const QPoint &p : points) colours << Px(screen, p.x(), p.y());
    return colours;
  }
  static void Enter(TControl *c) {
    QEvent e(QEvent::Enter);
    QApplication::sendEvent(c->Widget(), &e);
  }
  static void Leave(TControl *c) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(c->Widget(), &e);
  }

  ScopedScriptedServices services;
  TForm *form = nullptr;
};

TEST_F(ToolbarButtonsTest, AFlatGreyedButtonColoursAndRaisesUnderTheMouseAndSinksWhilePressed) {
  auto *button = Add<TfrSpeedButton>(10, 10);
  button->SetFlat(true);
  auto glyph = RedSquareGlyph();
  button->SetGlyph(glyph.get());
  int clicks = 0;
  button->OnClick = TNotifyEvent::From([&](TObject *) { ++clicks; });
  guitest::ShowAndActivate(form);
  // The glyph is centred, 3 pixels in; olive is transparent.
  const QRgb grey = qRgb(76, 76, 76) & 0xFFFFFF, red = qRgb(255, 0, 0) & 0xFFFFFF;
  EXPECT_EQ(Pixels({{21, 21}, {10, 10}, {13, 13}}), (QList<QRgb>{grey, Sys(clBtnFace), Sys(clBtnFace)}))
      << "no frame";

  Enter(button);
  guitest::ProcessEvents();
  EXPECT_EQ(Pixels({{21, 21}, {10, 10}, {31, 31}}), (QList<QRgb>{red, Sys(clBtnHighlight), Sys(clBtnShadow)}))
      << "raised";

  Leave(button);
  guitest::ProcessEvents();
  EXPECT_EQ(Px(Screen(), 21, 21), grey);

  Enter(button);
  guitest::SendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5), Qt::LeftButton);
  guitest::ProcessEvents();
  EXPECT_EQ(Pixels({{10, 10}, {22, 22}, {14, 14}}), (QList<QRgb>{Sys(clBtnShadow), red, Sys(clBtnFace)}))
      << "sunken, the glyph moved one pixel";
  // Dragged out: the button comes up; released outside: no click.
  guitest::SendMouse(button, QEvent::MouseMove, Qt::NoButton, QPoint(40, 5), Qt::LeftButton);
  guitest::SendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(40, 5), Qt::NoButton);
  EXPECT_EQ(clicks, 0);
  guitest::Click(button, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button->Down()) << "a button outside any group never stays down";

  // Disabled: the embossed glyph, and the mouse is ignored.
  button->SetEnabled(false);
  guitest::ProcessEvents();
  Enter(button);
  guitest::Click(button, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Pixels({{17, 17}, {25, 25}}), (QList<QRgb>{Sys(clBtnShadow), Sys(clBtnHighlight)}));
}

TEST_F(ToolbarButtonsTest, ButtonsOfAGroupStayDownOneAtATime) {
  TfrSpeedButton *buttons[3];
  QStringList clicks;
  for (int i = 0; i < 3; ++i) {
    buttons[i] = Add<TfrSpeedButton>(10 + 30 * i, 10);
    buttons[i]->SetGroupIndex(i < 2 ? 1 : 2);
    buttons[i]->OnClick = TNotifyEvent::From([&clicks, i](TObject *) { clicks << QString::number(i); });
  }
  TfrSpeedButton *&first = buttons[0], *&second = buttons[1], *&other = buttons[2];
  const auto downs = [&] { return QList<bool>{first->Down(), second->Down(), other->Down()}; };
  guitest::ShowAndActivate(form);

  guitest::Click(first, QPoint(5, 5));
  guitest::Click(other, QPoint(5, 5));
  EXPECT_EQ(downs(), (QList<bool>{true, false, true})) << "another group is not touched";
  EXPECT_EQ(first->DrawState(), fbsExclusive);
  guitest::Click(second, QPoint(5, 5));
  EXPECT_EQ(downs(), (QList<bool>{false, true, true})) << "pressing one releases the other";
  EXPECT_EQ(first->DrawState(), fbsUp);
  guitest::Click(second, QPoint(5, 5));
  EXPECT_TRUE(second->Down()) << "without AllowAllUp the down button stays down";

  first->SetAllowAllUp(true); // for the whole group
  EXPECT_TRUE(second->AllowAllUp());
  guitest::Click(second, QPoint(5, 5));
  EXPECT_EQ(downs(), (QList<bool>{false, false, true}));
  EXPECT_EQ(clicks, QStringList({"0", "2", "1", "1", "1"})) << "every click inside clicks, down or not";

  // Set by the program, the group follows too.
  first->SetDown(true);
  second->SetDown(true);
  EXPECT_EQ(downs(), (QList<bool>{false, true, true}));
}

TEST_F(ToolbarButtonsTest, TheCaptionsAcceleratorClicksAnEnabledVisibleButton) {
  QStringList clicks;
  const auto add = [&](const char *caption, int left) {
    auto *button = Add<TfrSpeedButton>(left, 10);
    button->SetWidth(40);
    button->SetCaption(QString::fromUtf8(caption));
    button->OnClick =
        TNotifyEvent::From([&clicks, caption](TObject *) { clicks << QString::fromUtf8(caption); });
    return button;
  };
  add("&Zoom", 0);
  TfrSpeedButton *pages = add("&Pages", 45);
  add("A&&B", 90);
  add("Fit && &Close", 135);
  guitest::ShowAndActivate(form);
  const auto alt = [&](Qt::Key key, const char *text) {
    guitest::PressKey(key, Qt::AltModifier, QString::fromLatin1(text), 0, form->Widget());
    guitest::ProcessEvents();
  };
  alt(Qt::Key_Z, "z");
  alt(Qt::Key_P, "P");
  alt(Qt::Key_B, "b"); // "&&" is a plain "&"
  alt(Qt::Key_C, "c");
  EXPECT_EQ(clicks, QStringList({"&Zoom", "&Pages", "Fit && &Close"}));

  clicks.clear();
  pages->SetEnabled(false);
  alt(Qt::Key_P, "p");
  pages->SetEnabled(true);
  pages->SetVisible(false);
  alt(Qt::Key_P, "p");
  EXPECT_TRUE(clicks.isEmpty()) << "a disabled or hidden button ignores its accelerator";
}

TEST_F(ToolbarButtonsTest, ToolbarControlsAlignAcrossTheirParentsDirection) {
  auto *side = new TCustomControl(form);
  side->SetParent(form);
  side->SetAlign(alLeft);
  auto *top = new TCustomControl(form);
  top->SetParent(form);
  top->SetAlign(alTop);
  struct Case {
    TWinControl *parent;
    TAlign expected;
  };
  for (const Case &c : {Case{side, alTop}, Case{top, alLeft}, Case{form, alLeft}}) {
    auto *button = new TfrTBButton(form);
    button->SetParent(c.parent);
    EXPECT_EQ(button->Align(), c.expected);
    auto *separator = new TfrTBSeparator(form);
    separator->SetParent(c.parent);
    EXPECT_EQ(separator->Align(), c.expected);
  }
}

TEST_F(ToolbarButtonsTest, SeparatorDrawsAnEtchedLineAcrossTheToolbar) {
  for (const bool bevel : {true, false}) {
    auto *separator = new TfrTBSeparator(form);
    separator->SetParent(form);
    separator->SetAlign(alNone);
    separator->SetDrawBevel(bevel);
    separator->SetBounds(bevel ? 50 : 80, 10, 8, 22);
  }
  guitest::ShowAndActivate(form);
  EXPECT_EQ(Pixels({{50 + 3, 20}, {50 + 4, 20}, {80 + 3, 20}}),
            (QList<QRgb>{Sys(clBtnShadow), Sys(clBtnHighlight), Sys(clBtnFace)}));
}

TEST(ReportGlyphs, EveryPictureLoadsWithOliveAsItsTransparentColour) {
  for (const char *name : {frGlyphZoom, frGlyphOpen, frGlyphSave, frGlyphPrint, frGlyphFind, frGlyphExit,
                           frGlyphWeb, frGlyphPageUp, frGlyphPageDown, frGlyphPrinter}) {
    TBitmap bitmap;
    frLoadReportGlyph(&bitmap, name);
    EXPECT_FALSE(bitmap.Empty()) << name;
    EXPECT_EQ(bitmap.TransparentColor(), clOlive) << name;
  }
}

} // namespace
