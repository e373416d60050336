// Menus: TMainMenu (a form's menu bar, QMenuBar) and TPopupMenu (a menu shown at a point or as a control's
// context menu, QMenu), each a tree of TMenuItem. Choosing an item fires its OnClick; an item with sub-items
// fires its OnClick as its sub-menu opens, so that the handler can prepare the sub-items.
//
// Shortcuts: a key press whose key and shift state are an item's ShortCut clicks that item, before the
// focused control sees the key. The menus asked are the popup menus of the focused control and its parents,
// then the main menu of the form. As in the class library, a hidden item's shortcut works and a disabled
// item's shortcut is swallowed without a click.
//
// Owner drawing: in a menu whose OwnerDraw is on, each item is measured by MeasureItem (OnMeasureItem) and
// drawn by AdvancedDrawItem (OnAdvancedDrawItem, else OnDrawItem, else the normal look) on a canvas over the
// menu's window; the items of a main menu's bar are drawn that way too (TopLevel). Such a menu window has a
// 3-pixel border, drawn before the items, and no margins, so that a drawing routine may paint over the border
// (MenuWindowRect gives its rectangle).
#pragma once
#include "platform/core/component.h"
#include "platform/core/types.h"
#include "platform/graphics/bitmap.h"
#include "platform/widgets/std_control_types.h"
#include "platform/windowing/shift_state.h"
#include <QList>
#include <QPointer>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class TCanvas;
class TControl;
class TCustomForm;
class TCustomImageList;
class TMenu;

TALLYROOK_EXCEPTION(EMenuError, Exception)

// ---- shortcuts ----

using TShortCut = WORD;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The shortcut of a virtual key with Shift, Ctrl and Alt from Shift.
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD &Key, TShiftState &Shift);
// "Ctrl+S", "Shift+Del", "F3", ...; empty for scNone.
QString ShortCutToText(TShortCut ShortCut);
// The inverse of ShortCutToText (case-insensitive); scNone for a text that names no key.
TShortCut TextToShortCut(const QString &Text);

// ---- menu items ----

using TMenuDrawItemEvent = TEvent<void(TObject *Sender, TCanvas *ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TEvent<void(TObject *Sender, TCanvas *ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TEvent<void(TObject *Sender, TCanvas *ACanvas, int &Width, int &Height)>;

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent *AOwner);
  ~TMenuItem() override;
  QString ClassName() const override { return QStringLiteral("TMenuItem"); }
  void BeforeDestruction() override;

  // -- the tree --
  int Count() const { return int(items_.size()); }
  TMenuItem *Items(int Index) const;
  // Adds Item (taking it from any other parent) at the end or at Index.
  void Add(TMenuItem *Item);
  void Insert(int Index, TMenuItem *Item);
  // Takes the sub-item out of the tree (it is not freed).
  void Delete(int Index);
  void Remove(TMenuItem *Item);
  int IndexOf(const TMenuItem *Item) const { return int(items_.indexOf(const_cast<TMenuItem *>(Item))); }
  TMenuItem *Parent() const { return parent_; }
  int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
  void SetMenuIndex(int Value);
  // The sub-item with that caption (ignoring "&" and case), nullptr when none.
  TMenuItem *Find(const QString &ACaption) const;
  // The menu the item is in (through its parents), nullptr when none.
  TMenu *GetParentMenu() const;
  // A separator: the caption "-".
  bool IsLine() const { return caption_ == QLatin1String("-"); }

  // -- properties --
  QString Caption() const { return caption_; }
  void SetCaption(const QString &Value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut Value);
  bool Checked() const { return checked_; }
  // Checking a radio item unchecks the radio items of its group (GroupIndex) among its siblings.
  void SetChecked(bool Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  // The default item is shown in bold.
  bool Default() const { return default_; }
  void SetDefault(bool Value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool Value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int Value) { groupIndex_ = Value; }
  // A click toggles Checked.
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool Value) { autoCheck_ = Value; }
  // The icon's index in the menu's Images, -1 for none.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value);
  // An icon of the item's own (used when the menu has no Images).
  TBitmap *Bitmap();
  void SetBitmap(const TBitmap *Value);

  // Fires OnClick when the item is enabled (toggling Checked first when AutoCheck).
  virtual void Click();

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

  // -- owner drawing (called by the menu painting) --
  // Width and Height come in as the normal size of the item; OnMeasureItem may change them.
  virtual void MeasureItem(TCanvas *ACanvas, int &Width, int &Height);
  virtual void AdvancedDrawItem(TCanvas *ACanvas, const TRect &ARect, TOwnerDrawState State, bool TopLevel);

  // -- the Qt side --
  // The action showing the item in its parent's menu (made when first asked for).
  QAction *Action();
  // The menu of the sub-items (nullptr while there are none).
  QMenu *SubMenu() const { return subMenu_; }

private:
  friend class TMenu;
  void UpdateAction();
  void RebuildSubMenu();
  void Changed(bool Structure);
  void SetMenuOfTree(TMenu *Menu);
  void TurnSiblingsOff();

  TMenuItem *parent_ = nullptr;
  TMenu *menu_ = nullptr; // for the root item of a menu
  QList<TMenuItem *> items_;
  QString caption_;
  TShortCut shortCut_ = scNone;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
  bool autoCheck_ = false;
  int imageIndex_ = -1;
  std::unique_ptr<TBitmap> bitmap_;
  QPointer<QAction> action_;
  QPointer<QMenu> subMenu_;
};

// ---- menus ----

class TMenu : public TComponent {
public:
  explicit TMenu(TComponent *AOwner);
  ~TMenu() override;
  QString ClassName() const override { return QStringLiteral("TMenu"); }
  void Notification(TComponent *AComponent, TOperation Operation) override;

  // The root item: the menu's items are its sub-items.
  TMenuItem *Items() const { return items_; }
  TCustomImageList *Images() const { return images_; }
  void SetImages(TCustomImageList *Value);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool Value);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode Value);
  bool IsRightToLeft() const { return biDiMode_ != bdLeftToRight; }
  // Clicks the item whose shortcut this is (see the top of this file); false when no item has it.
  bool IsShortCut(WORD Key, TShiftState Shift);
  // The item with that shortcut (depth first), nullptr when none.
  TMenuItem *FindItem(TShortCut ShortCut) const;

protected:
  friend class TMenuItem;
  // The items changed: the menu's widgets follow.
  virtual void RebuildRoot() {}
  void RebuildAll();

private:
  TMenuItem *items_ = nullptr;
  TCustomImageList *images_ = nullptr;
  bool ownerDraw_ = false;
  TBiDiMode biDiMode_ = bdLeftToRight;
};

class TMainMenu : public TMenu {
public:
  explicit TMainMenu(TComponent *AOwner);
  ~TMainMenu() override;
  QString ClassName() const override { return QStringLiteral("TMainMenu"); }
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;
  // The menu bar (made when first asked for).
  QMenuBar *MenuBarWidget();
  TCustomForm *Form() const { return form_; }

protected:
  void RebuildRoot() override;

private:
  friend void SetFormMenu(TCustomForm *Form, TMainMenu *Menu);
  QPointer<QMenuBar> bar_;
  TCustomForm *form_ = nullptr;
};

// The form's main menu: its bar stands above the client area, and its shortcuts work while the form has the
// focus. nullptr removes it.
void SetFormMenu(TCustomForm *Form, TMainMenu *Menu);
TMainMenu *FormMenu(const TCustomForm *Form);

class TPopupMenu : public TMenu {
public:
  explicit TPopupMenu(TComponent *AOwner);
  ~TPopupMenu() override;
  QString ClassName() const override { return QStringLiteral("TPopupMenu"); }
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;

  // Fires OnPopup and shows the menu with its corner (by Alignment) at the screen point; returns at once,
  // the chosen item's OnClick runs when the user chooses it.
  virtual void Popup(int X, int Y);
  // Whether a right click (or the menu key) on a control whose PopupMenu this is shows it.
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool Value) { autoPopup_ = Value; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment Value) { alignment_ = Value; }
  // The control the menu was last shown for.
  TComponent *PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent *Value);
  // Where the menu was last shown.
  TPoint PopupPoint() const { return popupPoint_; }
  // The menu's window (made when first asked for).
  QMenu *MenuWidget();

  TNotifyEvent OnPopup;

protected:
  virtual void DoPopup();
  void RebuildRoot() override;

private:
  QPointer<QMenu> menu_;
  bool autoPopup_ = true;
  TPopupAlignment alignment_ = paLeft;
  TComponent *popupComponent_ = nullptr;
  TPoint popupPoint_;
};

// While an owner-drawn item is drawn on ACanvas: the rectangle of the menu's whole window (border included)
// in the canvas's coordinates. False for any other canvas.
bool MenuWindowRect(TCanvas *ACanvas, TRect &Rect);
