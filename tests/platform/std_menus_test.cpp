#include "platform/widgets/menus.h"
#include "platform/widgets/std_edits.h"
#include "platform/windowing/virtual_keys.h"
#include "std_test_helpers.h"
#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

class MenusTest : public stdtest::FormTest {
protected:
  TMenuItem *Item(TMenuItem *parent, const QString &caption, TShortCut shortCut = scNone) {
    auto *item = new TMenuItem(form);
    item->SetCaption(caption);
    item->SetShortCut(shortCut);
    item->OnClick = TNotifyEvent::From([this, caption](TObject *) { log.append(caption); });
    parent->Add(item);
    return item;
  }
};

struct ShortCutCase {
  TShortCut shortCut;
  const char *text;
};

TEST(ShortCuts, TextBothWaysAndFromKeyAndShift) {
  const ShortCutCase cases[] = {{TShortCut(scShift | VK_DELETE), "Shift+Del"},
                                {TShortCut(scShift | scCtrl | scAlt | 'A'), "Shift+Ctrl+Alt+A"},
                                {TShortCut(VK_F3), "F3"},
                                {scNone, ""}};
  for (const ShortCutCase &c : cases) {
    EXPECT_EQ(ShortCutToText(c.shortCut), QString::fromLatin1(c.text));
    EXPECT_EQ(TextToShortCut(QString::fromLatin1(c.text)), c.shortCut);
  }

  // From a key and a shift state, and back.
  WORD key = 0;
  TShiftState shift;
  ShortCutToKey(TShortCut(scAlt | scShift | VK_F4), key, shift);
  EXPECT_EQ(key, VK_F4);
  EXPECT_EQ(shift, (TShiftState{ssShift, ssAlt}));
  EXPECT_EQ(TextToShortCut(QStringLiteral("ctrl+nothing")), scNone);
}

TEST_F(MenusTest, ItemTreeAndActions) {
  auto *menu = new TPopupMenu(form);
  TMenuItem *file = Item(menu->Items(), QStringLiteral("&File"));
  TMenuItem *open = Item(file, QStringLiteral("&Open"), TShortCut(scCtrl | 'O'));
  Item(file, QStringLiteral("-"));
  TMenuItem *quit = Item(file, QStringLiteral("E&xit"));
  EXPECT_EQ(file->Find(QStringLiteral("exit")), quit);
  EXPECT_EQ(open->GetParentMenu(), menu);
  menu->MenuWidget();
  QMenu *sub = file->SubMenu();
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->actions().value(0)->text(), QStringLiteral("&Open\tCtrl+O"));
  EXPECT_TRUE(sub->actions().value(1)->isSeparator());
  quit->SetMenuIndex(0);
  EXPECT_EQ(sub->actions().value(0)->text(), QStringLiteral("E&xit"));
  file->Remove(quit);
  EXPECT_EQ(sub->actions().size(), 2);
  quit->Free();
}

TEST_F(MenusTest, ChoosingAnItemClicksItAndCheckedRadioItemsAreExclusive) {
  auto *menu = new TPopupMenu(form);
  TMenuItem *small = Item(menu->Items(), QStringLiteral("Small"));
  TMenuItem *large = Item(menu->Items(), QStringLiteral("Large"));
  TMenuItem *disabled = Item(menu->Items(), QStringLiteral("Disabled"));
  for (TMenuItem *item : {small, large}) {
    item->SetRadioItem(true);
    item->SetGroupIndex(1);
    item->SetAutoCheck(true);
  }
  small->SetChecked(true);
  disabled->SetEnabled(false);
  menu->MenuWidget();
  large->Action()->trigger();
  EXPECT_FALSE(small->Checked());
  EXPECT_FALSE(small->Action()->isChecked());
  disabled->Click();
  EXPECT_EQ(log, QStringList({"Large"}));
}

TEST_F(MenusTest, ShortcutsOfTheMainMenuAndOfTheControlsPopupMenu) {
  auto *main = new TMainMenu(form);
  TMenuItem *file = Item(main->Items(), QStringLiteral("&File"));
  Item(file, QStringLiteral("Save"), TShortCut(scCtrl | 'S'));
  TMenuItem *hidden = Item(file, QStringLiteral("Hidden"), TShortCut(VK_F5));
  hidden->SetVisible(false);
  TMenuItem *off = Item(file, QStringLiteral("Off"), TShortCut(VK_F6));
  off->SetEnabled(false);
  SetFormMenu(form, main);
  auto *edit = new TEdit(form);
  edit->SetParent(form);
  auto *popup = new TPopupMenu(form);
  Item(popup->Items(), QStringLiteral("Copy line"), TShortCut(scCtrl | 'L'));
  edit->SetPopupMenu(popup);
  Show();
  ASSERT_TRUE(edit->Focused());
  stdtest::PressCtrl('S');
  stdtest::PressCtrl('L');
  guitest::PressKey(Qt::Key_F5);
  guitest::PressKey(Qt::Key_F6);
  // The keys were the menus': none reached the edit.
  stdtest::TypeText(QStringLiteral("a"));
  EXPECT_EQ(edit->Text(), QStringLiteral("a"));
  EXPECT_EQ(log, QStringList({"Save", "Copy line", "Hidden"}));
  main->Free();
  EXPECT_EQ(form->MenuBarWidget(), nullptr);
}

TEST_F(MenusTest, ContextMenuPopsUpForItsControl) {
  auto *edit = new TEdit(form);
  edit->SetParent(form);
  auto *popup = new TPopupMenu(form);
  Item(popup->Items(), QStringLiteral("Delete Item"));
  edit->SetPopupMenu(popup);
  Show();
  const TPoint at = edit->ClientToScreen(TPoint{5, 5});
  SendMessage(edit->Handle(), WM_CONTEXTMENU, edit->Handle(), MAKELPARAM(at.X, at.Y));
  EXPECT_EQ(popup->PopupComponent(), edit);
  EXPECT_TRUE(popup->MenuWidget()->isVisible());
  popup->MenuWidget()->actions().first()->trigger();
  EXPECT_EQ(log, QStringList({"Delete Item"}));
  popup->MenuWidget()->hide();
}

TEST_F(MenusTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheirHandlers) {
  auto *menu = new TPopupMenu(form);
  menu->SetOwnerDraw(true);
  QStringList drawn;
  TRect drawnRect;
  for (const char *caption : {"One", "-", "Two"}) {
    TMenuItem *item = Item(menu->Items(), QString::fromLatin1(caption), TShortCut(scCtrl | 'T'));
    item->OnMeasureItem = TMenuMeasureItemEvent::From([item](TObject *, TCanvas *, int &width, int &height) {
      width = 150;
      height = item->IsLine() ? 4 : 30;
    });
    item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent::From(
        [&, item](TObject *, TCanvas *canvas, TRect rect, TOwnerDrawState state) {
          drawn.append(item->Caption() + (state.Contains(odSelected) ? " selected" : ""));
          if (item->Caption() == QLatin1String("Two")) drawnRect = rect;
          canvas->Brush()->SetColor(clYellow);
          canvas->FillRect(rect);
        });
  }
  menu->Popup(100, 100);
  QMenu *widget = menu->MenuWidget();
  widget->setActiveAction(menu->Items()->Items(2)->Action());
  const QImage image = widget->grab().toImage();
  EXPECT_TRUE(drawn.contains(QStringLiteral("-")));
  EXPECT_TRUE(drawn.contains(QStringLiteral("Two selected")));
  EXPECT_EQ(drawnRect.Height(), 30);
  // The border is 3 pixels and the items start right after it.
  EXPECT_EQ(widget->actionGeometry(menu->Items()->Items(0)->Action()).topLeft(), QPoint(3, 3));
  EXPECT_EQ(widget->actionGeometry(menu->Items()->Items(1)->Action()).height(), 4);
  EXPECT_EQ(image.pixel(10, 10), qRgb(255, 255, 0));
  widget->hide();
}

} // namespace

TEST(MenuRelease, ItemsOwnedByTheMenuGoWithItWhetherFreedOrDeleted) {
  for (bool useDelete : {false, true}) {
    auto *menu = new TPopupMenu(nullptr);
    for (int i = 0; i < 3; ++i) {
      auto *item = new TMenuItem(menu);
      item->SetCaption(QString::number(i));
      menu->Items()->Add(item);
    }
    if (useDelete)
      delete menu;
    else
      menu->Free();
  }
  // Before the fix, deleting the menu called into its destroyed part and crashed.
}
