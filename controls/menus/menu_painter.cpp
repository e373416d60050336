#include "controls/menus/menu_painter.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/image_list.h"
#include "platform/widgets/menus.h"
#include "platform/widgets/tool_bar.h"
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {

constexpr TFontCharset kArabicCharset = 178;

int Clamp(int v) { return std::clamp(v, 0, 255); }

// The system's menu font in the menu-text colour, Tahoma standing in for "MS Sans Serif".
void SystemMenuFont(TFont *Font) {
  const QFont menu = QApplication::font("QMenu");
  QString family = menu.family();
  if (family == QLatin1String("MS Sans Serif")) family = QStringLiteral("Tahoma");
  Font->SetName(family);
  if (menu.pixelSize() > 0)
    Font->SetHeight(-menu.pixelSize());
  else
    Font->SetSize(qRound(menu.pointSizeF()));
  Font->SetColor(clMenuText);
}

TColor Rgb(QRgb p) { return RGB(qRed(p), qGreen(p), qBlue(p)); }

void FillRect(TCanvas *C, const TRect &R, TColor Colour) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Colour);
  C->FillRect(R);
}

// A rectangle with its pen and brush both in Colour.
void SolidRect(TCanvas *C, const TRect &R, TColor Colour) {
  C->Pen()->SetColor(Colour);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Colour);
  C->Rectangle(R);
}

// A one-pixel outline, not filled.
void Outline(TCanvas *C, const TRect &R, TColor Colour) {
  C->Pen()->SetColor(Colour);
  C->Pen()->SetWidth(1);
  C->Brush()->SetStyle(bsClear);
  C->Rectangle(R);
}

void Path(TCanvas *C, TColor Colour, std::initializer_list<TPoint> Points) {
  C->Pen()->SetColor(Colour);
  C->Polyline(std::vector<TPoint>(Points));
}

bool ImageListIcon(TMenuItem *Item) {
  TMenu *menu = Item->GetParentMenu();
  return menu && menu->Images() && Item->ImageIndex() >= 0;
}

// The caption with its shortcut: what is measured and drawn.
QString ShortCutText(TMenuItem *Item) { return ShortCutToText(Item->ShortCut()); }

// Draws Image at (X, Y) leaving out the pixels of its bottom-left pixel's colour.
void DrawTransparent(TCanvas *C, int X, int Y, const QImage &Image) {
  if (Image.isNull()) return;
  QImage argb = Image.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = argb.pixel(0, argb.height() - 1) & 0xFFFFFF;
  for (int y = 0; y < argb.height(); ++y)
    for (int x = 0; x < argb.width(); ++x)
      if ((argb.pixel(x, y) & 0xFFFFFF) == key) argb.setPixel(x, y, 0);
  C->DrawImage(TRect{X, Y, X + argb.width(), Y + argb.height()}, argb, argb.rect());
}

// Every pixel of Image in Transform's colour, keeping the bottom-left (transparent) colour.
template <typename F>
QImage Recolour(const QImage &Image, F Transform) {
  QImage out = Image.convertToFormat(QImage::Format_RGB32);
  const QRgb key = out.pixel(0, out.height() - 1) & 0xFFFFFF;
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) {
      const QRgb p = out.pixel(x, y) & 0xFFFFFF;
      if (p != key) out.setPixel(x, y, ColorToQColor(Transform(Rgb(p))).rgb());
    }
  return out;
}

// Walks the gradient's one-pixel columns across R widened by 2 on the right, in drawing order (from the
// leading edge), calling Column(x, percent) with the percentage the icon-column colour is lightened by.
template <typename F>
void ForEachGradientColumn(const TRect &R, bool RightToLeft, int IconWidth, F Column) {
  int p = 0;
  auto step = [&p, &Column](int x, bool iconZone) {
    p = std::min(96, p + (iconZone ? 3 : 1));
    Column(x, p);
  };
  if (!RightToLeft) {
    for (int x = R.Left; x < R.Right + 2; ++x) step(x, x > R.Left && x < R.Left + IconWidth + 5);
  } else {
    for (int x = R.Right + 1; x > R.Left - 1; --x)
      step(x, x > R.Right + 2 - IconWidth + 5 && x < R.Right + 2);
  }
}

} // namespace

TColor XPDarkenColor(TColor Color, int Amount) {
  const TColor c = ColorToRGB(Color);
  return RGB(Clamp(GetRValue(c) - Amount), Clamp(GetGValue(c) - (Amount - 2)), Clamp(GetBValue(c) - Amount));
}

TColor XPLightenColor(TColor Color, int Percent) {
  const int p = std::clamp(Percent, 0, 100);
  const TColor c = ColorToRGB(Color);
  auto lift = [p](int ch) { return ch + (255 - ch) * p / 100; };
  return RGB(lift(GetRValue(c)), lift(GetGValue(c)), lift(GetBValue(c)));
}

TColor XPGrayColor(TColor Color, int Amount) {
  const TColor c = ColorToRGB(Color);
  const int grey = std::min(240, (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3 + std::min(Amount, 100));
  return RGB(Clamp(grey), Clamp(grey), Clamp(grey));
}

bool XPMenuFlatStyleAvailable() {
  const QScreen *screen = QGuiApplication::primaryScreen();
  return !screen || screen->depth() >= 16;
}

// ---- the component ----

TXPMenu::TXPMenu(TComponent *AOwner) : TComponent(AOwner), form_(AOwner) {
  SystemMenuFont(&font_);
  selectFontColor_ = font_.Color();
}

TXPMenu::~TXPMenu() {
  if (active_) Attach(false);
}

void TXPMenu::ApplyMainFormSettings() {
  color_ = 0xF4DCD5;
  iconBackColor_ = clWhite;
  menuBarColor_ = clBtnFace;
  selectColor_ = 0xDF967A;
  selectBorderColor_ = clBlack;
  selectFontColor_ = clWhite;
  disabledColor_ = clInactiveCaption;
  separatorColor_ = clBlack;
  checkedColor_ = clHighlight;
  iconWidth_ = 0;
  drawSelect_ = true;
  useSystemColors_ = false;
  overrideOwnerDraw_ = false;
  gradient_ = false;
  flatMenu_ = false;
  autoDetect_ = true;
  font_.SetName(QStringLiteral("Tahoma"));
  font_.SetHeight(-11);
  font_.SetColor(clBlue);
  SetActive(true);
}

void TXPMenu::SetActive(bool Value) {
  active_ = Value;
  Attach(false);
  if (active_) Attach(true);
}

void TXPMenu::SetOverrideOwnerDraw(bool Value) {
  overrideOwnerDraw_ = Value;
  if (active_) SetActive(true);
}

void TXPMenu::Notification(TComponent *AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    inserted_.removeAll(AComponent);
    return;
  }
  if (!active_ || !autoDetect_ || AComponent == this) return;
  // A new component is announced before its own constructor has run, so what it is shows only later, and a
  // new menu item is placed in its menu after it is made: look at it once the event loop runs.
  inserted_.append(AComponent);
  if (inserted_.size() > 1) return;
  std::weak_ptr<bool> alive = alive_;
  QTimer::singleShot(0, [this, alive] {
    if (!alive.expired()) CheckInserted();
  });
}

void TXPMenu::CheckInserted() {
  const bool found = std::any_of(inserted_.cbegin(), inserted_.cend(), [](TComponent *c) {
    return dynamic_cast<TMenuItem *>(c) || dynamic_cast<TToolButton *>(c);
  });
  inserted_.clear();
  if (found && active_ && autoDetect_) SetActive(true);
}

void TXPMenu::Attach(bool On) {
  if (!form_) return;
  const bool designing = ComponentState().Contains(csDesigning);
  for (int i = 0; i < form_->ComponentCount(); ++i) {
    TComponent *component = form_->Components(i);
    auto *menu = dynamic_cast<TMenu *>(component);
    if (dynamic_cast<TMainMenu *>(menu) || dynamic_cast<TPopupMenu *>(menu)) HookMenu(menu, On);
    if (auto *bar = dynamic_cast<TControlBar *>(component); bar && !designing) HookControlBar(bar, On);
  }
}

void TXPMenu::HookControlBar(TControlBar *Bar, bool On) {
  const TBandPaintEvent paint(this, &TXPMenu::ControlBarPaint);
  if (On) {
    if (Bar->OnBandPaint && !overrideOwnerDraw_) return;
    Bar->OnBandPaint = paint;
  } else {
    // Only the component's own routine goes; a program's stays.
    if (Bar->OnBandPaint != paint) return;
    Bar->OnBandPaint = nullptr;
  }
  Bar->Invalidate();
}

void TXPMenu::HookMenu(TMenu *Menu, bool On) {
  Menu->SetOwnerDraw(On);
  for (int i = 0; i < Menu->Items()->Count(); ++i) HookItem(Menu->Items()->Items(i), On);
}

void TXPMenu::HookItem(TMenuItem *Item, bool On) {
  const TMenuMeasureItemEvent measure(this, &TXPMenu::MeasureItem);
  const TAdvancedMenuDrawItemEvent draw(this, &TXPMenu::AdvancedDrawItem);
  if (On) {
    const bool ownMeasure = Item->OnMeasureItem && Item->OnMeasureItem != measure;
    const bool ownDraw = (Item->OnAdvancedDrawItem && Item->OnAdvancedDrawItem != draw) || Item->OnDrawItem;
    if (!ownMeasure || overrideOwnerDraw_) Item->OnMeasureItem = measure;
    if (!ownDraw || overrideOwnerDraw_) Item->OnAdvancedDrawItem = draw;
  } else {
    if (Item->OnMeasureItem == measure) Item->OnMeasureItem = nullptr;
    if (Item->OnAdvancedDrawItem == draw) Item->OnAdvancedDrawItem = nullptr;
  }
  for (int i = 0; i < Item->Count(); ++i) HookItem(Item->Items(i), On);
}

// ---- colours and font ----

TXPMenuColors TXPMenu::WorkingColors(bool FlatStyle) const {
  TXPMenuColors c;
  c.SelectFont = selectFontColor_;
  c.Checked = checkedColor_;
  c.Frame = FlatStyle ? XPDarkenColor(clBtnFace, 90) : clBtnShadow;
  c.Shadow = FlatStyle ? XPDarkenColor(clBtnFace, 76) : clBtnShadow;
  if (!useSystemColors_) {
    c.Text = color_;
    c.IconBack = iconBackColor_;
    c.Select = selectColor_;
    c.SelectBorder = selectBorderColor_;
    c.MenuBar = menuBarColor_;
    c.Disabled = disabledColor_;
    c.Separator = separatorColor_;
    c.CheckedLight = FlatStyle ? XPLightenColor(selectColor_, 75) : clWhite;
    c.CheckedDark = FlatStyle ? XPLightenColor(selectColor_, 50) : clSilver;
  } else if (FlatStyle) {
    c.Text = XPLightenColor(clBtnFace, 86);
    c.IconBack = XPLightenColor(clBtnFace, 16);
    c.Select = XPLightenColor(clHighlight, 68);
    c.SelectBorder = clHighlight;
    c.MenuBar = clBtnFace;
    c.Disabled = XPLightenColor(clBtnShadow, 10);
    c.Separator = XPLightenColor(clBtnShadow, 25);
    c.CheckedLight = XPLightenColor(clHighlight, 75);
    c.CheckedDark = XPLightenColor(clHighlight, 50);
  } else {
    c.Text = clWhite;
    c.IconBack = clBtnFace;
    c.Select = clWhite;
    c.SelectBorder = clHighlight;
    c.MenuBar = clBtnFace;
    c.Disabled = clBtnShadow;
    c.Separator = clBtnShadow;
    c.CheckedLight = clWhite;
    c.CheckedDark = clSilver;
  }
  return c;
}

void TXPMenu::WorkingFont(TFont *Font, bool RightToLeft) const {
  if (useSystemColors_)
    SystemMenuFont(Font);
  else
    Font->Assign(&font_);
  if (RightToLeft) Font->SetCharset(kArabicCharset);
}

int TXPMenu::IconAreaWidth(TMenuItem *Item) const {
  if (ImageListIcon(Item) || Item->Bitmap()->Empty()) return iconWidth_;
  const int bitmapWidth = Item->Bitmap()->Width();
  return bitmapWidth > iconWidth_ ? bitmapWidth + 4 : iconWidth_;
}

// ---- measuring ----

void TXPMenu::MeasureItem(TObject *Sender, TCanvas *ACanvas, int &Width, int &Height) {
  auto *item = dynamic_cast<TMenuItem *>(Sender);
  if (!active_ || !item) return;
  TFont font;
  WorkingFont(&font, false);
  ACanvas->SetFont(&font);
  QString text = item->Caption();
  if (item->ShortCut() != scNone) text += QStringLiteral("WWW") + ShortCutText(item);
  int iconHeight = 0;
  if (ImageListIcon(item))
    iconHeight = item->GetParentMenu()->Images()->Height();
  else if (!item->Bitmap()->Empty())
    iconHeight = item->Bitmap()->Height();
  Width = ACanvas->TextWidth(text) + IconAreaWidth(item) + 10;
  if (item->Caption().contains(QLatin1Char('&'))) Width -= ACanvas->TextWidth(QStringLiteral("&"));
  if (item->IsLine()) {
    Height = 4;
  } else {
    const int textHeight = ACanvas->TextHeight(text);
    Height = std::max(textHeight + (textHeight * 3 + 2) / 4, iconHeight + 4);
  }
}

// ---- drawing ----

void TXPMenu::AdvancedDrawItem(TObject *Sender, TCanvas *ACanvas, TRect ARect, TOwnerDrawState State) {
  if (auto *item = dynamic_cast<TMenuItem *>(Sender))
    DrawItem(item, ACanvas, ARect, State.Contains(odSelected), XPMenuFlatStyleAvailable());
}

void TXPMenu::FillGradient(TCanvas *C, const TRect &R, bool RightToLeft, const TXPMenuColors &Colors) {
  ForEachGradientColumn(R, RightToLeft, iconWidth_, [&](int x, int percent) {
    FillRect(C, TRect{x, R.Top, x + 1, R.Bottom}, XPLightenColor(Colors.IconBack, percent));
  });
}

void TXPMenu::DrawItem(TMenuItem *Item, TCanvas *C, TRect ARect, bool Selected, bool FlatStyle) {
  TMenu *menu = Item->GetParentMenu();
  const bool rtl = menu && menu->IsRightToLeft();
  const TXPMenuColors colors = WorkingColors(FlatStyle);
  TFont font;
  WorkingFont(&font, rtl);
  C->SetFont(&font);
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);

  TRect r = ARect;
  r.Bottom += 1;
  const bool topLevel = dynamic_cast<TMainMenu *>(menu) && Item->Parent() == menu->Items();
  if (topLevel) {
    DrawMenuBarItem(Item, C, r, Selected, FlatStyle, colors);
    return;
  }

  const int iconWidth = IconAreaWidth(Item);
  const TRect column = rtl ? TRect{r.Right - iconWidth, r.Top, r.Right, r.Bottom}
                           : TRect{r.Left, r.Top, r.Left + iconWidth, r.Bottom};
  const TRect textArea =
      rtl ? TRect{r.Left, r.Top, column.Left, r.Bottom} : TRect{column.Right, r.Top, r.Right, r.Bottom};
  // The background under the caption's first character, which a default item's relief is drawn from.
  TColor background = colors.Text;
  if (gradient_ && FlatStyle) {
    FillGradient(C, r, rtl, colors);
    const int textStart = rtl ? textArea.Right - 1 : textArea.Left;
    ForEachGradientColumn(r, rtl, iconWidth_, [&](int x, int percent) {
      if (x == textStart) background = XPLightenColor(colors.IconBack, percent);
    });
  } else {
    FillRect(C, column, colors.IconBack);
    FillRect(C, textArea, colors.Text);
  }
  const bool enabled = Item->Enabled();
  if (Selected && enabled && drawSelect_) {
    C->Pen()->SetColor(colors.SelectBorder);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(colors.Select);
    C->Rectangle(r);
    background = colors.Select;
  }

  if (Item->IsLine()) {
    const int y = r.Top + r.Height() / 2;
    C->Pen()->SetColor(colors.Separator);
    if (rtl) {
      C->MoveTo(textArea.Right - 7, y);
      C->LineTo(textArea.Left, y);
    } else {
      C->MoveTo(textArea.Left + 7, y);
      C->LineTo(textArea.Right, y);
    }
  } else {
    DrawCheck(Item, C, column, r, Selected, FlatStyle, colors);
    DrawIcon(Item, C, column, r, rtl, Selected, false, FlatStyle, colors);

    const int textTop = r.Top + (r.Height() - C->TextHeight(QStringLiteral("W"))) / 2;
    TRect textRect{textArea.Left, textTop, textArea.Right, r.Bottom};
    const unsigned align = rtl ? DT_RIGHT : DT_LEFT;
    const QString caption = QLatin1Char(' ') + Item->Caption();
    C->Brush()->SetStyle(bsClear);
    if (enabled && Item->Default()) {
      const TPoint offsets[] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
      const int amounts[] = {30, 30, 40, 60};
      for (int i = 0; i < 4; ++i) {
        TRect relief{textRect.Left + offsets[i].X, textRect.Top + offsets[i].Y, textRect.Right + offsets[i].X,
                     textRect.Bottom + offsets[i].Y};
        C->Font()->SetColor(XPDarkenColor(background, amounts[i]));
        C->DrawText(caption, relief, align | DT_SINGLELINE);
      }
    }
    const TColor textColour = !enabled ? colors.Disabled : Selected ? colors.SelectFont : font.Color();
    C->Font()->SetColor(textColour);
    C->DrawText(caption, textRect, align | DT_SINGLELINE);
    if (Item->ShortCut() != scNone) {
      C->Font()->SetColor(FlatStyle ? XPDarkenColor(textColour, -40) : textColour);
      TRect shortcutRect{r.Left + 10, textTop, r.Right - 10, r.Bottom};
      C->DrawText(ShortCutText(Item), shortcutRect, (rtl ? DT_LEFT : DT_RIGHT) | DT_SINGLELINE);
    }
  }
  if (flatMenu_) DrawFlatFrame(C, rtl, colors);
}

void TXPMenu::ControlBarPaint(TObject *, TControl *, TCanvas *ACanvas, TRect &ARect,
                              TBandPaintOptions &Options) {
  const TXPMenuColors colors = WorkingColors(XPMenuFlatStyleAvailable());
  FillRect(ACanvas, ARect, colors.MenuBar);
  // The grabber: a column of 2 x 2 dots in the frame colour, every fourth row, down the band's left side.
  for (int y = ARect.Top + 3; y + 2 <= ARect.Bottom - 3; y += 4)
    FillRect(ACanvas, TRect{ARect.Left + 4, y, ARect.Left + 6, y + 2}, colors.Frame);
  Options.Exclude(bpoFrame).Exclude(bpoGrabber);
}

void TXPMenu::DrawMenuBarItem(TMenuItem *Item, TCanvas *C, const TRect &R, bool Selected, bool Flat,
                              const TXPMenuColors &Colors) {
  TMenu *menu = Item->GetParentMenu();
  const bool rtl = menu->IsRightToLeft();
  const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
  const TColor M = Colors.MenuBar;
  SolidRect(C, R, M);
  if (Selected && drawSelect_) {
    FillRect(C, R, Colors.IconBack);
    C->Pen()->SetColor(Colors.Frame);
    if (Flat && !rtl) {
      Path(C, Colors.Frame, {{L, B - 1}, {L, T}, {Rt - 8, T}, {Rt - 8, B}});
      FillRect(C, TRect{Rt - 7, T, Rt, B}, XPDarkenColor(M, 10));
      FillRect(C, TRect{Rt - 7, T + 3, Rt - 2, B}, XPDarkenColor(M, 30));
      FillRect(C, TRect{Rt - 7, T + 5, Rt - 3, B}, XPDarkenColor(M, 60));
      FillRect(C, TRect{Rt - 7, T + 6, Rt - 5, B}, XPDarkenColor(M, 100));
      Path(C, M, {{Rt - 5, T + 1}, {Rt - 1, T + 1}, {Rt - 1, T + 6}});
      Path(C, M, {{Rt - 3, T + 2}, {Rt - 2, T + 2}, {Rt - 2, T + 3}, {Rt - 3, T + 3}});
      Path(C, XPDarkenColor(M, 10),
           {{Rt - 6, T + 3}, {Rt - 3, T + 3}, {Rt - 3, T + 6}, {Rt - 4, T + 6}, {Rt - 4, T + 3}});
      Path(C, XPDarkenColor(M, 30), {{Rt - 5, T + 5}, {Rt - 4, T + 5}, {Rt - 4, T + 9}});
      Path(C, XPDarkenColor(M, 40), {{Rt - 6, T + 5}, {Rt - 6, T + 7}});
    } else {
      Path(C, Colors.Frame, {{L, B - 1}, {L, T}, {Rt - 3, T}, {Rt - 3, B}});
      FillRect(C, TRect{Rt - 2, T + 2, Rt, B}, Colors.Shadow);
    }
  }
  const TRect column = rtl ? TRect{Rt - iconWidth_, T, Rt, B} : TRect{L, T, L + iconWidth_, B};
  DrawCheck(Item, C, column, R, Selected, Flat, Colors);
  DrawIcon(Item, C, column, R, rtl, Selected, true, Flat, Colors);

  TRect textRect = rtl ? TRect{L, T, Rt - 5, B} : TRect{L + 5, T, Rt, B};
  if (ImageListIcon(Item)) textRect = rtl ? TRect{L, T, column.Left, B} : TRect{column.Right, T, Rt, B};
  textRect.Top = T + (R.Height() - C->TextHeight(QStringLiteral("W"))) / 2;
  TColor colour = Item->Enabled() ? C->Font()->Color() : Colors.Disabled;
  if (Selected) {
    const TColor back = ColorToRGB(Colors.IconBack);
    const bool dark = (GetRValue(back) + GetBValue(back)) / 2 < 151 && GetGValue(back) < 201;
    colour = dark ? XPLightenColor(back, 90) : C->Font()->Color();
  }
  C->Font()->SetColor(colour);
  C->Brush()->SetStyle(bsClear);
  C->DrawText(Item->Caption(), textRect, (rtl ? DT_RIGHT : DT_LEFT) | DT_SINGLELINE);
}

void TXPMenu::DrawCheck(TMenuItem *Item, TCanvas *C, const TRect &Column, const TRect &R, bool Selected,
                        bool Flat, const TXPMenuColors &Colors) {
  if (!Item->Checked()) return;
  TRect box;
  if (ImageListIcon(Item)) {
    box = TRect{Column.Left + 1, R.Top + 2, Column.Right - 3, R.Bottom - 2};
  } else {
    const int left = Column.Left + (Column.Width() - 10) / 2;
    const int top = R.Top + (R.Height() - 10) / 2;
    box = TRect{left, top, left + 10, top + 10};
  }
  C->Brush()->SetStyle(bsSolid);
  if (Flat) {
    C->Pen()->SetColor(Colors.Checked);
    C->Brush()->SetColor(Selected ? Colors.CheckedDark : Colors.CheckedLight);
    if (Item->RadioItem())
      C->RoundRect(box.Left, box.Top, box.Right, box.Bottom, 6, 6);
    else
      C->Rectangle(box);
    return;
  }
  if (Item->RadioItem()) {
    C->Pen()->SetColor(Colors.Checked);
    C->Brush()->SetColor(Selected ? Colors.CheckedDark : Colors.CheckedLight);
    C->Ellipse(box);
    return;
  }
  C->Pen()->SetColor(Colors.Checked);
  C->Brush()->SetColor(Selected ? Colors.CheckedDark : Colors.CheckedLight);
  C->Rectangle(box);
  // The tick, in short strokes from the lower left up to the right.
  C->Pen()->SetColor(clBlack);
  const int x = box.Left + 2, y = box.Top + 4;
  for (int i = 0; i < 3; ++i) {
    C->MoveTo(x, y + i);
    C->LineTo(x + 2, y + 2 + i);
    C->LineTo(x + 6, y - 2 + i);
  }
}

void TXPMenu::DrawIcon(TMenuItem *Item, TCanvas *C, const TRect &Column, const TRect &R, bool RightToLeft,
                       bool Selected, bool TopLevel, bool Flat, const TXPMenuColors &Colors) {
  QImage icon;
  TMenu *menu = Item->GetParentMenu();
  if (ImageListIcon(Item)) {
    const TCustomImageList *images = menu->Images();
    if (Item->ImageIndex() >= images->Count()) return;
    icon = QImage(images->Width(), images->Height(), QImage::Format_RGB32);
    icon.fill(ColorToQColor(Colors.IconBack));
    TCanvas canvas(&icon);
    images->Draw(&canvas, 0, 0, Item->ImageIndex());
    canvas.Release();
  } else if (!Item->Bitmap()->Empty()) {
    icon = Item->Bitmap()->Image();
  }
  if (icon.isNull()) return;
  const int w = icon.width();
  int x = w <= iconWidth_ ? Column.Left + (iconWidth_ - w) / 2 - 1
          : RightToLeft   ? R.Right - 2 - w
                          : R.Left + 2;
  int y = R.Top + 4;
  if (!Item->Enabled()) {
    icon = Recolour(icon, [](TColor c) { return XPGrayColor(c, 90); });
  } else if (!Item->Checked()) {
    if (Selected) {
      const TColor shade = XPDarkenColor(Colors.Select, 50);
      DrawTransparent(C, x + 2, y + 2, Recolour(icon, [shade](TColor) { return shade; }));
      if (!TopLevel) {
        x -= 1;
        y -= 1;
      }
    } else if (Flat) {
      icon = Recolour(icon, [](TColor c) { return XPLightenColor(c, 30); });
    }
  }
  DrawTransparent(C, x, y, icon);
}

void TXPMenu::DrawFlatFrame(TCanvas *C, bool RightToLeft, const TXPMenuColors &Colors) {
  if (form_ && form_->ComponentState().Contains(csDesigning)) return;
  TRect w;
  if (!MenuWindowRect(C, w)) return;
  const int L = w.Left, T = w.Top, R = w.Right, B = w.Bottom;
  Outline(C, TRect{L, T, R - 2, B - 2}, Colors.Frame);
  if (!RightToLeft) {
    if (!gradient_) {
      Outline(C, TRect{L + 1, T + 1, R - 4, T + 3}, Colors.Text);
      Path(C, Colors.IconBack, {{L + 1, T + 2}, {L + 2 + iconWidth_, T + 2}});
    }
    Path(C, Colors.IconBack, {{L + 1, T + 1}, {L + 1, B - 4}});
  } else {
    Outline(C, TRect{L + 1, T + 1, R - 4, T + 3}, Colors.Text);
    Path(C, Colors.Text, {{L + 2, T + 2}, {L + 2, B - 4}});
    Path(C, Colors.IconBack, {{R - 4, T + 2}, {R - 4, B - 4}});
    Path(C, Colors.IconBack, {{R - 4, T + 2}, {R - 3 - iconWidth_, T + 2}});
  }
  Outline(C, TRect{L + 2, B - 2, R, B}, Colors.Shadow);
  Outline(C, TRect{R - 2, T + 2, R, B}, Colors.Shadow);
  Outline(C, TRect{L, B - 2, L + 2, B}, Colors.IconBack);
  Outline(C, TRect{R - 2, T, R, T + 2}, Colors.IconBack);
}
