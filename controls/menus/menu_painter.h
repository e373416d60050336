// TXPMenu: placed on a form, it takes over the drawing of the form's main menu and pop-up menus: every item
// becomes owner-drawn and is painted flat with an icon column, a coloured selection rectangle, thin
// separators and an optional gradient, in colours and a font set on the component. The bands of the form's
// control bars are drawn flat too. With AutoDetect, a menu item or tool button added to the form later is
// taken over as well (once the event loop runs, when the new item has been built and placed).
#pragma once
#include "platform/core/component.h"
#include "platform/core/types.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/color.h"
#include "platform/graphics/graphics.h"
#include "platform/widgets/control_bar.h"
#include "platform/widgets/std_control_types.h"
#include <QList>
#include <memory>

class TMenu;
class TMenuItem;

// Colour helpers of the flat menus. Darkening takes Amount from red and blue and Amount - 2 from green (a
// negative amount raises them); lightening moves each channel Percent percent (at most 100) towards 255;
// greying gives the mean of the channels plus Amount (at most 100), capped at 240, as a grey. System colours
// are resolved first.
TColor XPDarkenColor(TColor Color, int Amount);
TColor XPLightenColor(TColor Color, int Percent);
TColor XPGrayColor(TColor Color, int Amount);

// The colours an item is drawn in, worked out from the component's settings.
struct TXPMenuColors {
  TColor Text = clWhite;     // background of the text area
  TColor IconBack = clWhite; // the icon column
  TColor Select = clWhite;
  TColor SelectBorder = clBlack;
  TColor SelectFont = clBlack;
  TColor MenuBar = clBtnFace;
  TColor Disabled = clGray;
  TColor Separator = clGray;
  TColor Checked = clBlack;
  TColor CheckedLight = clWhite;
  TColor CheckedDark = clSilver;
  TColor Frame = clBtnShadow;  // the flat frame and the selected menu-bar tab's outline
  TColor Shadow = clBtnShadow; // their shadow
};

// The flat style needs a display of at least 16 bits per pixel.
bool XPMenuFlatStyleAvailable();

class TXPMenu : public TComponent {
public:
  explicit TXPMenu(TComponent *AOwner);
  ~TXPMenu() override;
  QString ClassName() const override { return QStringLiteral("TXPMenu"); }
  void Notification(TComponent *AComponent, TOperation Operation) override;

  TFont *Font() { return &font_; }
  void SetFont(const TFont *Value) { font_.Assign(Value); }
  TColor Color() const { return color_; }
  void SetColor(TColor Value) { color_ = Value; }
  TColor IconBackColor() const { return iconBackColor_; }
  void SetIconBackColor(TColor Value) { iconBackColor_ = Value; }
  TColor MenuBarColor() const { return menuBarColor_; }
  void SetMenuBarColor(TColor Value) { menuBarColor_ = Value; }
  TColor CheckedColor() const { return checkedColor_; }
  void SetCheckedColor(TColor Value) { checkedColor_ = Value; }
  TColor SeparatorColor() const { return separatorColor_; }
  void SetSeparatorColor(TColor Value) { separatorColor_ = Value; }
  TColor SelectBorderColor() const { return selectBorderColor_; }
  void SetSelectBorderColor(TColor Value) { selectBorderColor_ = Value; }
  TColor SelectColor() const { return selectColor_; }
  void SetSelectColor(TColor Value) { selectColor_ = Value; }
  TColor DisabledColor() const { return disabledColor_; }
  void SetDisabledColor(TColor Value) { disabledColor_ = Value; }
  TColor SelectFontColor() const { return selectFontColor_; }
  void SetSelectFontColor(TColor Value) { selectFontColor_ = Value; }
  int IconWidth() const { return iconWidth_; }
  void SetIconWidth(int Value) { iconWidth_ = Value; }
  bool DrawSelect() const { return drawSelect_; }
  void SetDrawSelect(bool Value) { drawSelect_ = Value; }
  bool UseSystemColors() const { return useSystemColors_; }
  void SetUseSystemColors(bool Value) { useSystemColors_ = Value; }
  bool OverrideOwnerDraw() const { return overrideOwnerDraw_; }
  void SetOverrideOwnerDraw(bool Value);
  bool Gradient() const { return gradient_; }
  void SetGradient(bool Value) { gradient_ = Value; }
  bool FlatMenu() const { return flatMenu_; }
  void SetFlatMenu(bool Value) { flatMenu_ = Value; }
  bool AutoDetect() const { return autoDetect_; }
  void SetAutoDetect(bool Value) { autoDetect_ = Value; }
  bool Active() const { return active_; }
  void SetActive(bool Value);
  TComponent *Form() const { return form_; }

  // Gives the component the settings the application's main form stores.
  void ApplyMainFormSettings();

  // The working colours for drawing in the flat style or not.
  TXPMenuColors WorkingColors(bool FlatStyle) const;
  // The font items are drawn in (the system menu font with UseSystemColors; Arabic for right-to-left menus).
  void WorkingFont(TFont *Font, bool RightToLeft) const;

  // The measuring and drawing routines hooked to the items.
  void MeasureItem(TObject *Sender, TCanvas *ACanvas, int &Width, int &Height);
  void AdvancedDrawItem(TObject *Sender, TCanvas *ACanvas, TRect ARect, TOwnerDrawState State);
  // The custom-draw routine given to control bars: a band in the menu-bar colour with a dotted grabber, in
  // place of the bar's raised frame and grabber.
  void ControlBarPaint(TObject *Sender, TControl *Control, TCanvas *ACanvas, TRect &ARect,
                       TBandPaintOptions &Options);
  // Draws Item as the drawing routine does, with the flat style given.
  void DrawItem(TMenuItem *Item, TCanvas *ACanvas, TRect ARect, bool Selected, bool FlatStyle);

private:
  void Attach(bool On);
  void HookMenu(TMenu *Menu, bool On);
  void HookItem(TMenuItem *Item, bool On);
  void HookControlBar(TControlBar *Bar, bool On);
  // Re-attaches when a menu item or tool button was among the components inserted since the last look.
  void CheckInserted();
  // The width of the item's icon column: IconWidth, or its own bitmap's width + 4 when that is wider.
  int IconAreaWidth(TMenuItem *Item) const;
  void DrawMenuBarItem(TMenuItem *Item, TCanvas *C, const TRect &R, bool Selected, bool Flat,
                       const TXPMenuColors &Colors);
  void FillGradient(TCanvas *C, const TRect &R, bool RightToLeft, const TXPMenuColors &Colors);
  void DrawIcon(TMenuItem *Item, TCanvas *C, const TRect &Column, const TRect &R, bool RightToLeft,
                bool Selected, bool TopLevel, bool Flat, const TXPMenuColors &Colors);
  void DrawCheck(TMenuItem *Item, TCanvas *C, const TRect &Column, const TRect &R, bool Selected, bool Flat,
                 const TXPMenuColors &Colors);
  void DrawFlatFrame(TCanvas *C, bool RightToLeft, const TXPMenuColors &Colors);

  TFont font_;
  TColor color_ = clBtnFace;
  TColor iconBackColor_ = clBtnFace;
  TColor menuBarColor_ = clBtnFace;
  TColor checkedColor_ = clHighlight;
  TColor separatorColor_ = clBtnFace;
  TColor selectBorderColor_ = clHighlight;
  TColor selectColor_ = clHighlight;
  TColor disabledColor_ = clInactiveCaption;
  TColor selectFontColor_ = clMenuText;
  int iconWidth_ = 24;
  bool drawSelect_ = true;
  bool useSystemColors_ = true;
  bool overrideOwnerDraw_ = false;
  bool gradient_ = false;
  bool flatMenu_ = false;
  bool autoDetect_ = true;
  bool active_ = false;
  TComponent *form_ = nullptr;
  // Components inserted into the form that AutoDetect has still to look at.
  QList<TComponent *> inserted_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
