#include "platform/widgets/menus.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/image_list.h"
#include "platform/windowing/controls.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/virtual_keys.h"
#include <QAction>
#include <QApplication>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace {

// ---- shortcut names ----

struct KeyName {
  WORD key;
  const char *name;
};
constexpr KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},    {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"}};

QString KeyText(WORD key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return QString(QChar(key));
  if (key >= VK_F1 && key <= VK_F24) return QStringLiteral("F%1").arg(key - VK_F1 + 1);
  for (const KeyName &k : kKeyNames)
    if (k.key == key) return QString::fromLatin1(k.name);
  return QString();
}

// ---- forms and their main menus ----

QHash<const TCustomForm *, TMainMenu *> &FormMenus() {
  static QHash<const TCustomForm *, TMainMenu *> menus;
  return menus;
}

// ---- the item an action shows ----

TMenuItem *ItemOf(const QAction *action) {
  return action ? static_cast<TMenuItem *>(action->data().value<void *>()) : nullptr;
}

// The item of a style option made by the menu widgets (they pass the action as the option's object).
TMenuItem *ItemOf(const QStyleOption *option) {
  return option ? ItemOf(qobject_cast<const QAction *>(option->styleObject)) : nullptr;
}

bool OwnerDrawn(const TMenuItem *item) {
  const TMenu *menu = item ? item->GetParentMenu() : nullptr;
  return menu && menu->OwnerDraw();
}

bool OwnerDrawnWidget(const QWidget *widget);

// ---- the hooks the control base calls ----

bool PopupHook(TPopupMenu *Menu, TControl *Control, const TPoint &ScreenPos) {
  if (!Menu || !Menu->AutoPopup()) return false;
  Menu->SetPopupComponent(Control);
  Menu->Popup(ScreenPos.X, ScreenPos.Y);
  return true;
}

bool MenuKeyHook(TWinControl *Control, WORD Key, TShiftState Shift) {
  if (Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU || Key == 0) return false;
  for (TControl *c = Control; c; c = c->Parent())
    if (TPopupMenu *menu = c->PopupMenu(); menu && menu->IsShortCut(Key, Shift)) return true;
  if (TCustomForm *form = GetParentForm(Control))
    if (TMainMenu *menu = FormMenu(form); menu && menu->IsShortCut(Key, Shift)) return true;
  return false;
}

void InstallHooks() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  SetPopupMenuHook(&PopupHook);
  SetMenuKeyHook(&MenuKeyHook);
}

// ---- owner drawing ----

// The item being drawn now, for MenuWindowRect.
struct DrawingContext {
  TCanvas *canvas = nullptr;
  const QWidget *window = nullptr;
};
DrawingContext g_drawing;

void SetMenuFont(TCanvas *canvas) {
  const QFont font = QApplication::font("QMenu");
  TFont *f = canvas->Font();
  f->SetName(font.family());
  if (font.pixelSize() > 0)
    f->SetHeight(-font.pixelSize());
  else
    f->SetHeight(-qRound(font.pointSizeF() * kScreenPixelsPerInch / 72.0));
  f->SetColor(clMenuText);
}

// Draws owner-drawn items through their TMenuItem, and gives owner-drawn menu windows their frame and
// measures; everything else is the application style's.
class MenuStyle : public QProxyStyle {
public:
  MenuStyle() : QProxyStyle(static_cast<QStyle *>(nullptr)) {}

  QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                         const QWidget *widget) const override {
    TMenuItem *item = ItemOf(option);
    if ((type != CT_MenuItem && type != CT_MenuBarItem) || !OwnerDrawn(item))
      return QProxyStyle::sizeFromContents(type, option, size, widget);
    const QSize normal = QProxyStyle::sizeFromContents(type, Plain(option, widget).get(), size, widget);
    int width = normal.width();
    int height = normal.height();
    if (item->ShortCut() != scNone && type == CT_MenuItem)
      width += option->fontMetrics.horizontalAdvance(ShortCutToText(item->ShortCut())) + 12;
    TCanvas canvas;
    canvas.SetMeasureDevice(const_cast<QWidget *>(widget));
    SetMenuFont(&canvas);
    try {
      item->MeasureItem(&canvas, width, height);
    } catch (...) {
      HandleCurrentException(item);
    }
    return QSize(std::max(1, width), std::max(1, height));
  }

  void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                   const QWidget *widget) const override {
    TMenuItem *item = ItemOf(option);
    if ((element != CE_MenuItem && element != CE_MenuBarItem) || !OwnerDrawn(item)) {
      QProxyStyle::drawControl(element, Plain(option, widget).get(), painter, widget);
      return;
    }
    TOwnerDrawState state;
    if (option->state & State_Selected) state.Include(odSelected);
    if (!(option->state & State_Enabled)) state.Include(odDisabled).Include(odGrayed);
    if (item->Checked()) state.Include(odChecked);
    if (item->Default()) state.Include(odDefault);
    TCanvas canvas;
    painter->save();
    canvas.SetPainter(painter);
    SetMenuFont(&canvas);
    canvas.Brush()->SetColor(state.Contains(odSelected) ? clHighlight : clMenu);
    if (state.Contains(odSelected)) canvas.Font()->SetColor(clHighlightText);
    const DrawingContext saved = g_drawing;
    g_drawing = {&canvas, widget};
    try {
      item->AdvancedDrawItem(&canvas, TRect::FromQRect(option->rect), state, element == CE_MenuBarItem);
    } catch (...) {
      HandleCurrentException(item);
    }
    g_drawing = saved;
    canvas.SetPainter(nullptr);
    painter->restore();
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override {
    // An owner-drawn menu's window draws its panel and frame before its items (see TMenuWidget).
    if ((element == PE_FrameMenu || element == PE_PanelMenu) && OwnerDrawnWidget(widget)) return;
    QProxyStyle::drawPrimitive(element, Plain(option, widget).get(), painter, widget);
  }

  int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override {
    if (OwnerDrawnWidget(widget)) {
      switch (metric) {
      case PM_MenuPanelWidth: return 3;
      case PM_MenuHMargin:
      case PM_MenuVMargin: return 0;
      default: break;
      }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
  }

  // The normal drawing of an item, with its shortcut beside the caption (an owner-drawn menu's actions carry
  // no shortcut text of their own).
  void DrawPlainItem(const QStyleOption *option, QPainter *painter, const QWidget *widget,
                     bool topLevel) const {
    auto plain = Plain(option, widget);
    if (auto *menuOption = qstyleoption_cast<QStyleOptionMenuItem *>(plain.get())) {
      TMenuItem *item = ItemOf(option);
      if (item && item->ShortCut() != scNone && !topLevel)
        menuOption->text += QLatin1Char('\t') + ShortCutToText(item->ShortCut());
    }
    QProxyStyle::drawControl(topLevel ? CE_MenuBarItem : CE_MenuItem, plain.get(), painter, widget);
  }

private:
  // A copy of the option naming the widget again as its object, for the base style.
  static std::unique_ptr<QStyleOption> Plain(const QStyleOption *option, const QWidget *widget) {
    if (!option) return nullptr;
    std::unique_ptr<QStyleOption> copy;
    if (auto *menu = qstyleoption_cast<const QStyleOptionMenuItem *>(option))
      copy = std::make_unique<QStyleOptionMenuItem>(*menu);
    else if (auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option))
      copy = std::make_unique<QStyleOptionFrame>(*frame);
    else
      copy = std::make_unique<QStyleOption>(*option);
    if (qobject_cast<const QAction *>(copy->styleObject)) copy->styleObject = const_cast<QWidget *>(widget);
    return copy;
  }
};

MenuStyle *TheMenuStyle() {
  static QPointer<MenuStyle> style;
  if (!style) {
    style = new MenuStyle;
    style->setParent(qApp);
  }
  return style;
}

// A menu window (a popup menu or a sub-menu) of a TMenu.
class TMenuWidget : public QMenu {
public:
  explicit TMenuWidget(TMenu *menu) : menu_(menu) { setStyle(TheMenuStyle()); }
  TMenu *Menu() const { return menu_; }
  void Detach() { menu_ = nullptr; }

protected:
  void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override {
    QMenu::initStyleOption(option, action);
    option->styleObject = const_cast<QAction *>(action);
  }
  void paintEvent(QPaintEvent *event) override {
    if (menu_ && menu_->OwnerDraw()) {
      // The panel and the frame first, so that the items may paint over the frame.
      QPainter painter(this);
      QStyleOptionFrame frame;
      frame.initFrom(this);
      frame.rect = rect();
      frame.lineWidth = 3;
      QStyle *base = TheMenuStyle()->baseStyle();
      base->drawPrimitive(QStyle::PE_PanelMenu, &frame, &painter, this);
      base->drawPrimitive(QStyle::PE_FrameMenu, &frame, &painter, this);
    }
    QMenu::paintEvent(event);
  }

private:
  TMenu *menu_;
};

class TMenuBarWidget : public QMenuBar {
public:
  TMenuBarWidget() { setStyle(TheMenuStyle()); }

protected:
  void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override {
    QMenuBar::initStyleOption(option, action);
    option->styleObject = const_cast<QAction *>(action);
  }
};

bool OwnerDrawnWidget(const QWidget *widget) {
  auto *menu = dynamic_cast<const TMenuWidget *>(widget);
  return menu && menu->Menu() && menu->Menu()->OwnerDraw();
}

} // namespace

// ---- shortcuts ----

TShortCut ShortCut(WORD Key, TShiftState Shift) {
  if (Key & 0xFF00) return scNone;
  TShortCut result = Key;
  if (Shift.Contains(ssShift)) result |= scShift;
  if (Shift.Contains(ssCtrl)) result |= scCtrl;
  if (Shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut ShortCut, WORD &Key, TShiftState &Shift) {
  Key = ShortCut & 0xFF;
  Shift = TShiftState();
  if (ShortCut & scShift) Shift.Include(ssShift);
  if (ShortCut & scCtrl) Shift.Include(ssCtrl);
  if (ShortCut & scAlt) Shift.Include(ssAlt);
}

QString ShortCutToText(TShortCut ShortCut) {
  const QString key = KeyText(ShortCut & 0xFF);
  if (key.isEmpty()) return QString();
  QString result;
  if (ShortCut & scShift) result += QLatin1String("Shift+");
  if (ShortCut & scCtrl) result += QLatin1String("Ctrl+");
  if (ShortCut & scAlt) result += QLatin1String("Alt+");
  return result + key;
}

TShortCut TextToShortCut(const QString &Text) {
  QString rest = Text.trimmed();
  TShortCut modifiers = scNone;
  for (;;) {
    if (rest.startsWith(QLatin1String("Shift+"), Qt::CaseInsensitive)) {
      modifiers |= scShift;
      rest = rest.mid(6);
    } else if (rest.startsWith(QLatin1String("Ctrl+"), Qt::CaseInsensitive)) {
      modifiers |= scCtrl;
      rest = rest.mid(5);
    } else if (rest.startsWith(QLatin1String("Alt+"), Qt::CaseInsensitive)) {
      modifiers |= scAlt;
      rest = rest.mid(4);
    } else {
      break;
    }
  }
  if (rest.isEmpty()) return scNone;
  for (int key = 1; key < 256; ++key) {
    const QString name = KeyText(WORD(key));
    if (!name.isEmpty() && name.compare(rest, Qt::CaseInsensitive) == 0) return TShortCut(modifiers | key);
  }
  return scNone;
}

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent *AOwner) : TComponent(AOwner) { InstallHooks(); }

TMenuItem::~TMenuItem() {
  // Whatever BeforeDestruction has not done (a plain delete).
  for (TMenuItem *child : std::as_const(items_)) child->parent_ = nullptr;
  if (parent_) parent_->items_.removeOne(this);
  if (action_) {
    action_->setData(QVariant());
    action_->deleteLater();
  }
  if (subMenu_) subMenu_->deleteLater();
}

void TMenuItem::BeforeDestruction() {
  Destroying();
  if (parent_) parent_->Remove(this);
  while (!items_.isEmpty()) {
    TMenuItem *child = items_.last();
    Remove(child);
    FreeObject(child);
  }
  if (action_) {
    // Choosing the item now reaches nothing.
    QObject::disconnect(action_, nullptr, nullptr, nullptr);
    action_->setData(QVariant());
  }
  TComponent::BeforeDestruction();
}

TMenuItem *TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= items_.size()) throw EMenuError(QStringLiteral("Menu index out of range"));
  return items_[Index];
}

void TMenuItem::Add(TMenuItem *Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem *Item) {
  if (!Item) return;
  for (const TMenuItem *p = this; p; p = p->parent_)
    if (p == Item) throw EMenuError(QStringLiteral("Menu inserted twice"));
  if (Item->parent_) Item->parent_->Remove(Item);
  Index = std::clamp(Index, 0, Count());
  items_.insert(Index, Item);
  Item->parent_ = this;
  Changed(true);
}

void TMenuItem::Delete(int Index) {
  TMenuItem *item = Items(Index);
  items_.removeAt(Index);
  item->parent_ = nullptr;
  if (QMenu *menu = subMenu_) {
    if (QAction *action = item->action_) menu->removeAction(action);
  }
  Changed(true);
}

void TMenuItem::Remove(TMenuItem *Item) {
  const int index = IndexOf(Item);
  if (index >= 0) Delete(index);
}

void TMenuItem::SetMenuIndex(int Value) {
  if (!parent_) return;
  TMenuItem *parent = parent_;
  parent->Remove(this);
  parent->Insert(Value, this);
}

TMenuItem *TMenuItem::Find(const QString &ACaption) const {
  const QString wanted = StripHotkey(ACaption);
  for (TMenuItem *item : items_)
    if (StripHotkey(item->caption_).compare(wanted, Qt::CaseInsensitive) == 0) return item;
  return nullptr;
}

TMenu *TMenuItem::GetParentMenu() const {
  const TMenuItem *item = this;
  while (item->parent_) item = item->parent_;
  return item->menu_;
}

void TMenuItem::SetCaption(const QString &Value) {
  if (caption_ == Value) return;
  caption_ = Value;
  Changed(false);
}

void TMenuItem::SetShortCut(TShortCut Value) {
  shortCut_ = Value;
  Changed(false);
}

void TMenuItem::SetChecked(bool Value) {
  if (checked_ == Value) return;
  checked_ = Value;
  if (Value && radioItem_) TurnSiblingsOff();
  Changed(false);
}

void TMenuItem::TurnSiblingsOff() {
  if (!parent_) return;
  for (TMenuItem *sibling : std::as_const(parent_->items_))
    if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_ && sibling->checked_) {
      sibling->checked_ = false;
      sibling->Changed(false);
    }
}

void TMenuItem::SetEnabled(bool Value) {
  enabled_ = Value;
  Changed(false);
}

void TMenuItem::SetVisible(bool Value) {
  visible_ = Value;
  Changed(false);
}

void TMenuItem::SetDefault(bool Value) {
  default_ = Value;
  Changed(false);
}

void TMenuItem::SetRadioItem(bool Value) {
  radioItem_ = Value;
  if (Value && checked_) TurnSiblingsOff();
  Changed(false);
}

void TMenuItem::SetImageIndex(int Value) {
  imageIndex_ = Value;
  Changed(false);
}

TBitmap *TMenuItem::Bitmap() {
  if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
  return bitmap_.get();
}

void TMenuItem::SetBitmap(const TBitmap *Value) {
  Bitmap()->Assign(Value);
  Changed(false);
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (autoCheck_) SetChecked(!checked_);
  if (OnClick) OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas *ACanvas, int &Width, int &Height) {
  if (OnMeasureItem) OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas *ACanvas, const TRect &ARect, TOwnerDrawState State, bool TopLevel) {
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, ACanvas, ARect, State);
    return;
  }
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, State.Contains(odSelected));
    return;
  }
  // The normal look, through the style on the canvas's painter.
  QPainter *painter = ACanvas->Handle();
  const QWidget *window = g_drawing.window;
  QStyleOptionMenuItem option;
  if (window) option.initFrom(window);
  option.rect = ARect.ToQRect();
  option.text = caption_;
  option.menuItemType = IsLine()           ? QStyleOptionMenuItem::Separator
                        : items_.isEmpty() ? QStyleOptionMenuItem::Normal
                                           : QStyleOptionMenuItem::SubMenu;
  option.checkType = radioItem_ ? QStyleOptionMenuItem::Exclusive
                     : checked_ ? QStyleOptionMenuItem::NonExclusive
                                : QStyleOptionMenuItem::NotCheckable;
  option.checked = checked_;
  option.state = QStyle::State_None;
  if (enabled_) option.state |= QStyle::State_Enabled;
  if (State.Contains(odSelected)) option.state |= QStyle::State_Selected;
  option.menuRect = window ? window->rect() : option.rect;
  option.font = QApplication::font("QMenu");
  option.fontMetrics = QFontMetrics(option.font);
  TheMenuStyle()->DrawPlainItem(&option, painter, window, TopLevel);
}

// -- the Qt side --

QAction *TMenuItem::Action() {
  if (!action_) {
    action_ = new QAction();
    action_->setData(QVariant::fromValue<void *>(this));
    QObject::connect(action_, &QAction::triggered, action_, [action = action_.data()] {
      TMenuItem *item = ItemOf(action);
      if (!item) return;
      try {
        item->Click();
      } catch (...) {
        HandleCurrentException(nullptr);
      }
    });
    UpdateAction();
  }
  return action_;
}

void TMenuItem::UpdateAction() {
  if (!action_) return;
  const TMenu *menu = GetParentMenu();
  const bool ownerDraw = menu && menu->OwnerDraw();
  action_->setSeparator(IsLine());
  // A normal menu shows the shortcut after a tab; an owner-drawn one draws it itself.
  QString text = caption_;
  if (shortCut_ != scNone && !ownerDraw) text += QLatin1Char('\t') + ShortCutToText(shortCut_);
  action_->setText(text);
  action_->setEnabled(enabled_);
  action_->setVisible(visible_);
  action_->setCheckable(checked_ || radioItem_);
  action_->setChecked(checked_);
  QFont font = action_->font();
  font.setBold(default_);
  action_->setFont(font);
  QIcon icon;
  if (menu && menu->Images() && imageIndex_ >= 0) {
    const QImage image = menu->Images()->Image(imageIndex_);
    if (!image.isNull()) icon = QIcon(QPixmap::fromImage(image));
  } else if (bitmap_ && !bitmap_->Empty()) {
    QImage image = bitmap_->Image().convertToFormat(QImage::Format_ARGB32);
    // The bottom-left pixel's colour is transparent.
    const QRgb transparent = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) == transparent) image.setPixel(x, y, 0);
    icon = QIcon(QPixmap::fromImage(image));
  }
  action_->setIcon(icon);
  RebuildSubMenu();
}

void TMenuItem::RebuildSubMenu() {
  if (!parent_ && menu_) {
    menu_->RebuildRoot();
    return;
  }
  if (!action_) return;
  if (items_.isEmpty()) {
    if (action_->menu()) action_->setMenu(static_cast<QMenu *>(nullptr));
    if (subMenu_) subMenu_->deleteLater();
    return;
  }
  if (!subMenu_) {
    auto *menu = new TMenuWidget(GetParentMenu());
    subMenu_ = menu;
    // The item's OnClick runs as its sub-menu opens.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [action = action_.data()] {
      if (TMenuItem *item = ItemOf(action)) {
        try {
          item->Click();
        } catch (...) {
          HandleCurrentException(nullptr);
        }
      }
    });
  }
  subMenu_->clear();
  for (TMenuItem *child : std::as_const(items_)) subMenu_->addAction(child->Action());
  if (action_->menu() != subMenu_.data()) action_->setMenu(subMenu_.data());
}

void TMenuItem::Changed(bool Structure) {
  if (Structure)
    RebuildSubMenu();
  else
    UpdateAction();
}

void TMenuItem::SetMenuOfTree(TMenu *Menu) { menu_ = Menu; }

// ---- TMenu ----

TMenu::TMenu(TComponent *AOwner) : TComponent(AOwner) {
  InstallHooks();
  items_ = new TMenuItem(this);
  items_->SetMenuOfTree(this);
}

TMenu::~TMenu() {
  // A plain delete: the items go while the menu can still hear of them (TComponent's destructor would free
  // them after the menu's part of the object is gone).
  DestroyComponents();
}

void TMenu::Notification(TComponent *AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == images_) {
    images_ = nullptr;
    RebuildAll();
  }
  if (AComponent == items_) items_ = nullptr;
}

void TMenu::SetImages(TCustomImageList *Value) {
  images_ = Value;
  if (Value) Value->FreeNotification(this);
  RebuildAll();
}

void TMenu::SetOwnerDraw(bool Value) {
  if (ownerDraw_ == Value) return;
  ownerDraw_ = Value;
  RebuildAll();
}

void TMenu::SetBiDiMode(TBiDiMode Value) {
  biDiMode_ = Value;
  RebuildAll();
}

// Brings every action of the tree up to date (texts depend on OwnerDraw, icons on Images).
void TMenu::RebuildAll() {
  if (!items_) return;
  std::function<void(TMenuItem *)> update = [&update](TMenuItem *item) {
    for (TMenuItem *child : std::as_const(item->items_)) {
      child->UpdateAction();
      update(child);
    }
  };
  update(items_);
  RebuildRoot();
}

TMenuItem *TMenu::FindItem(TShortCut ShortCut) const {
  if (!items_ || ShortCut == scNone) return nullptr;
  std::function<TMenuItem *(TMenuItem *)> find = [&find, ShortCut](TMenuItem *item) -> TMenuItem * {
    for (TMenuItem *child : std::as_const(item->items_)) {
      if (child->ShortCut() == ShortCut) return child;
      if (TMenuItem *found = find(child)) return found;
    }
    return nullptr;
  };
  return find(items_);
}

bool TMenu::IsShortCut(WORD Key, TShiftState Shift) {
  TMenuItem *item = FindItem(ShortCut(Key, Shift));
  if (!item) return false;
  // An item under a disabled parent is as disabled as a disabled item.
  for (TMenuItem *p = item; p; p = p->Parent())
    if (!p->Enabled()) return true;
  item->Click();
  return true;
}

// ---- TMainMenu ----

TMainMenu::TMainMenu(TComponent *AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() {
  if (form_) FormMenus().remove(form_);
  if (bar_) bar_->deleteLater();
}

void TMainMenu::BeforeDestruction() {
  if (form_) SetFormMenu(form_, nullptr);
  TMenu::BeforeDestruction();
}

void TMainMenu::Notification(TComponent *AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == form_) {
    FormMenus().remove(form_);
    form_ = nullptr;
  }
}

QMenuBar *TMainMenu::MenuBarWidget() {
  if (!bar_) {
    bar_ = new TMenuBarWidget;
    RebuildRoot();
  }
  return bar_;
}

void TMainMenu::RebuildRoot() {
  if (!bar_ || !Items()) return;
  bar_->clear();
  for (int i = 0; i < Items()->Count(); ++i) bar_->addAction(Items()->Items(i)->Action());
  if (form_) form_->Realign();
}

void SetFormMenu(TCustomForm *Form, TMainMenu *Menu) {
  if (!Form) return;
  if (TMainMenu *old = FormMenus().value(Form)) {
    if (old == Menu) return;
    old->form_ = nullptr;
    old->RemoveFreeNotification(Form);
    FormMenus().remove(Form);
    Form->SetMenuBarWidget(nullptr);
  }
  if (!Menu) return;
  if (Menu->form_) SetFormMenu(Menu->form_, nullptr);
  Menu->form_ = Form;
  Menu->FreeNotification(Form);
  FormMenus().insert(Form, Menu);
  Form->SetMenuBarWidget(Menu->MenuBarWidget());
}

TMainMenu *FormMenu(const TCustomForm *Form) { return FormMenus().value(Form); }

// ---- TPopupMenu ----

TPopupMenu::TPopupMenu(TComponent *AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
  if (menu_) menu_->deleteLater();
}

void TPopupMenu::BeforeDestruction() {
  if (auto *menu = dynamic_cast<TMenuWidget *>(menu_.data())) {
    menu->Detach();
    menu->hide();
  }
  TMenu::BeforeDestruction();
}

void TPopupMenu::Notification(TComponent *AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::SetPopupComponent(TComponent *Value) {
  popupComponent_ = Value;
  if (Value) Value->FreeNotification(this);
}

QMenu *TPopupMenu::MenuWidget() {
  if (!menu_) {
    menu_ = new TMenuWidget(this);
    RebuildRoot();
  }
  return menu_;
}

void TPopupMenu::RebuildRoot() {
  if (!menu_ || !Items()) return;
  menu_->clear();
  for (int i = 0; i < Items()->Count(); ++i) menu_->addAction(Items()->Items(i)->Action());
}

void TPopupMenu::DoPopup() {
  if (OnPopup) OnPopup(this);
}

void TPopupMenu::Popup(int X, int Y) {
  popupPoint_ = {X, Y};
  DoPopup();
  QMenu *menu = MenuWidget();
  RebuildAll();
  if (menu->actions().isEmpty()) return;
  QPoint at(X, Y);
  const QSize size = menu->sizeHint();
  if (alignment_ == paRight) at.rx() -= size.width();
  if (alignment_ == paCenter) at.rx() -= size.width() / 2;
  menu->popup(at);
}

bool MenuWindowRect(TCanvas *ACanvas, TRect &Rect) {
  if (!ACanvas || ACanvas != g_drawing.canvas || !g_drawing.window) return false;
  Rect = TRect::FromQRect(g_drawing.window->rect());
  return true;
}
