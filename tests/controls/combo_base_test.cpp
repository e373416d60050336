#include "controls/combos/combo_base.h"
#include "controls/combos/mru_list.h"
#include "platform/widgets/std_edits.h"
#include "platform/windowing/control_grab.h"
#include "platform/windowing/virtual_keys.h"
#include "tests/platform/desktop_events.h"
#include "tests/platform/std_test_helpers.h"
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPointer>

namespace {

// ---- the MRU list on its own ----

TEST(MruList, EntriesKeepTheirObjectAndACapacityOfZeroKeepsNone) {
  TOvcMRUList list;
  TObject marker;
  list.NewItem(QStringLiteral("d"), &marker);
  EXPECT_EQ(list.Items()->Objects(0), &marker);
  list.SetMaxItems(0);
  list.NewItem(QStringLiteral("e"), nullptr);
  EXPECT_EQ(list.Items()->Count(), 0);
}

// ---- the combo box ----

class ComboBaseTest : public stdtest::FormTest {
protected:
  TOvcBaseComboBox *AddCombo() {
    auto *combo = Add<TOvcBaseComboBox>(10, 30, 200, 24);
    for (const char *name : {"Apple", "Banana", "Blueberry", "Cherry", "Damson"})
      combo->Items()->Add(QString::fromLatin1(name));
    combo->OnClick = TNotifyEvent::From([this](TObject *) { log.append(QStringLiteral("click")); });
    combo->OnSelectionChange =
        TNotifyEvent::From([this](TObject *) { log.append(QStringLiteral("selection")); });
    return combo;
  }
  // As a person choosing an entry in the open list.
  void Choose(TOvcBaseComboBox *combo, const QString &text) {
    combo->SetDroppedDown(true);
    guitest::ProcessEvents();
    combo->SetItemIndex(combo->Items()->IndexOf(text));
    combo->SetDroppedDown(false);
    guitest::ProcessEvents();
  }
  // Runs the event loop until Done holds or a generous limit passes.
  static bool WaitFor(const std::function<bool()> &Done, int LimitMs = 5000) {
    QDeadlineTimer deadline(LimitMs);
    while (!Done() && !deadline.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return Done();
  }
};

TEST_F(ComboBaseTest, ChosenEntriesGoOnTopWithASeparatorUnderTheLastAndTheListStaysWhole) {
  TOvcBaseComboBox *combo = AddCombo();
  Show();
  for (const char *name : {"Apple", "Banana", "Cherry", "Damson"}) Choose(combo, QString::fromLatin1(name));
  EXPECT_EQ(combo->Items()->CommaText(), "Damson,Cherry,Banana,Apple,Banana,Blueberry,Cherry,Damson");
  // The selection is the entry itself, below the MRU part.
  EXPECT_EQ(combo->ItemIndex(), 7);
  EXPECT_EQ(QList<int>({combo->ListItemHeight(0), combo->ListItemHeight(2), combo->ListItemHeight(3)}),
            QList<int>({combo->ItemHeight(), combo->ItemHeight() + 3, combo->ItemHeight()}));
  EXPECT_EQ(log.count(QStringLiteral("selection")), 4);

  // The MRU copy of Banana, at the top's third place, moves up without growing the list.
  ASSERT_EQ(combo->Items()->IndexOf(QStringLiteral("Banana")), 2);
  Choose(combo, QStringLiteral("Banana"));
  EXPECT_EQ(combo->Items()->CommaText(), "Banana,Damson,Cherry,Apple,Banana,Blueberry,Cherry,Damson");
  EXPECT_EQ(combo->ItemIndex(), 4);

  // A smaller capacity keeps the list whole; the next choice replaces only the MRU part.
  combo->SetMRUListCount(1);
  EXPECT_EQ(combo->Items()->CommaText(), "Banana,Apple,Banana,Blueberry,Cherry,Damson");
  Choose(combo, QStringLiteral("Damson"));
  EXPECT_EQ(combo->Items()->CommaText(), "Damson,Apple,Banana,Blueberry,Cherry,Damson");
  combo->ClearMRUList();
  EXPECT_EQ(combo->Items()->CommaText(), "Apple,Banana,Blueberry,Cherry,Damson");

  // A chosen entry is found by its exact text.
  combo->Items()->Add(QStringLiteral("cherry"));
  combo->SetDroppedDown(true);
  combo->SetItemIndex(5);
  combo->SetDroppedDown(false);
  guitest::ProcessEvents();
  ASSERT_GE(combo->ItemIndex(), 0);
  EXPECT_EQ(combo->Items()->Strings(combo->ItemIndex()), QStringLiteral("cherry"));
}

TEST_F(ComboBaseTest, TypingAPrefixAndPausingCompletesToTheFirstMatchButNotAfterABackspace) {
  TOvcBaseComboBox *combo = AddCombo();
  combo->SetKeyDelay(30);
  Show();
  combo->SetFocus();
  guitest::ProcessEvents();
  Type(QStringLiteral("bl"));
  ASSERT_TRUE(WaitFor([combo] { return combo->Text() == QStringLiteral("Blueberry"); }))
      << combo->Text().toStdString();
  // The typed part stays, the completion is selected.
  EXPECT_EQ(std::pair(combo->SelStart(), combo->SelLength()), std::pair(2, 7));

  // No completion after a backspace: well past the delay the text is what was typed.
  combo->SetText(QString());
  Type(QStringLiteral("chx{Back}"));
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(combo->Text(), QStringLiteral("ch"));
}

TEST_F(ComboBaseTest, EnterPicksTheEntryTheTextStartsOrBeeps) {
  TOvcBaseComboBox *combo = AddCombo();
  combo->SetAutoSearch(false);
  Show();
  combo->SetFocus();
  guitest::ProcessEvents();
  Type(QStringLiteral("zz{Return}"));
  EXPECT_EQ(combo->Text(), QStringLiteral("zz"));
  EXPECT_EQ(services->Beeps().size(), 1);
  EXPECT_FALSE(log.contains(QStringLiteral("click")));
  combo->SetText(QStringLiteral("che"));
  combo->SetFocus();
  Type(QStringLiteral("{Return}"));
  EXPECT_EQ(combo->Text(), QStringLiteral("Cherry"));
  EXPECT_EQ(services->Beeps().size(), 1);
  EXPECT_TRUE(log.contains(QStringLiteral("click")));
}

TEST_F(ComboBaseTest, BordersSwitchBetweenTheFlatAndTheRaisedLookAndANewWindowKeepsTheSelection) {
  TOvcBaseComboBox *combo = AddCombo();
  combo->Borders()->LeftBorder()->SetEnabled(true);
  EXPECT_EQ(std::tuple(combo->HotTrack(), combo->HotTrackBorder(), combo->Ctl3D()),
            std::tuple(true, false, false));
  combo->Borders()->LeftBorder()->SetEnabled(false);
  EXPECT_TRUE(combo->Ctl3D());
  combo->Borders()->TopBorder()->SetEnabled(true);
  combo->Borders()->BottomBorder()->SetEnabled(true);
  combo->SetHotTrackBorder(true);
  EXPECT_FALSE(combo->Borders()->TopBorder()->Enabled());

  // Making the window again keeps the selection.
  Show();
  combo->SetItemIndex(3);
  combo->SetStyle(ocsDropDownList);
  EXPECT_EQ(combo->ItemIndex(), 3);
  EXPECT_EQ(combo->Text(), QStringLiteral("Cherry"));
}

TEST_F(ComboBaseTest, ANewItemHeightMakesTheWindowAgainAndKeepsTheHeightAndTheShownEntry) {
  for (const TOvcComboStyle style : {ocsDropDown, ocsDropDownList}) {
    SCOPED_TRACE(style);
    TOvcBaseComboBox *combo = AddCombo();
    combo->SetStyle(style);
    Show();
    Choose(combo, QStringLiteral("Cherry")); // the MRU part: "Cherry" on top
    ASSERT_EQ(combo->Text(), QStringLiteral("Cherry"));
    const int shown = combo->ItemIndex();
    const QPointer<QWidget> before = combo->Widget();
    combo->SetItemHeight(30);
    guitest::ProcessEvents();
    EXPECT_NE(combo->Widget(), before.data());
    EXPECT_EQ(combo->ItemHeight(), 30);
    // The new window's list has the new height, the last MRU entry 3 more for its separator.
    EXPECT_EQ(std::pair(combo->ListItemHeight(0), combo->ListItemHeight(1)), std::pair(33, 30));
    EXPECT_EQ(combo->ItemIndex(), shown);
    EXPECT_EQ(combo->Text(), QStringLiteral("Cherry"));
    combo->Free();
  }
}

// ---- the box paints itself ----

// Colours as "#rrggbb", as a picture holds them.
std::string Rgb(TColor Color) { return QColor(ColorToQColor(Color).rgb()).name().toStdString(); }
std::string Pixel(const QImage &Image, int X, int Y) {
  return QColor(Image.pixel(X, Y)).name().toStdString();
}

class ComboLookTest : public ComboBaseTest {
protected:
  // A yellow drop-down list showing "Cherry", grabbed after the pointer came in (or left); saved for the eye
  // with TALLYROOK_GRAB_DIR.
  QImage Look(TOvcBaseComboBox *combo, bool mouseInside, const char *name) {
    guitest::ProcessEvents();
    QEvent event(mouseInside ? QEvent::Enter : QEvent::Leave);
    QApplication::sendEvent(combo->Widget(), &event);
    guitest::ProcessEvents();
    const QImage image = GrabControl(combo);
    if (const QString dir = qEnvironmentVariable("TALLYROOK_GRAB_DIR"); !dir.isEmpty())
      image.save(dir + QStringLiteral("/combo_%1.png").arg(QLatin1String(name)));
    return image;
  }
  TOvcBaseComboBox *ListBox() {
    TOvcBaseComboBox *combo = AddCombo();
    combo->SetStyle(ocsDropDownList);
    combo->SetColor(clYellow);
    combo->SetItemIndex(3);
    return combo;
  }
};

TEST_F(ComboLookTest, FrameAndButtonInEachLook) {
  struct Case {
    const char *name;
    std::function<void(TOvcBaseComboBox *)> look;
    bool mouse;
    TColor left, right, buttonTopLeft; // the frame's left and right edges, the button's top-left pixel
    int arrowX, arrowY;                // the arrow's top-left pixel from the button's left and middle
  };
  const Case cases[] = {
      {"3d", [](auto *) {}, false, clBtnShadow, clBtnHighlight, cl3DLight, 5, -2},
      {"flat", [](auto *c) { c->SetCtl3D(false); }, false, clWindowFrame, clWindowFrame, clWindowFrame, 5,
       -2},
      {"cold", [](auto *c) { c->SetHotTrack(true); }, false, clYellow, clYellow, clBtnFace, 3, -1},
      {"hot", [](auto *c) { c->SetHotTrack(true); }, true, clBtnShadow, clBtnHighlight, clBtnHighlight, 4, 0},
      // An enabled border gives the flat look without a frame of its own.
      {"borders",
       [](auto *c) {
         c->Borders()->LeftBorder()->SetPenColor(clRed);
         c->Borders()->LeftBorder()->SetEnabled(true);
       },
       true, clRed, clBtnShadow, clBtnHighlight, 4, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TOvcBaseComboBox *combo = ListBox();
    c.look(combo);
    Show();
    form->SetFocus();
    const QImage image = Look(combo, c.mouse, c.name);
    const TRect button = combo->ButtonRect();
    const int mid = button.Top + button.Height() / 2;
    EXPECT_EQ(Pixel(image, 0, image.height() / 2), Rgb(c.left));
    EXPECT_EQ(Pixel(image, image.width() - 1, image.height() / 2), Rgb(c.right));
    EXPECT_EQ(Pixel(image, button.Left, button.Top), Rgb(c.buttonTopLeft));
    EXPECT_EQ(Pixel(image, button.Left + c.arrowX, mid + c.arrowY), Rgb(clBlack));
    // The box's own colour fills it: nothing of Qt's frame or button shows.
    const TRect edit = combo->EditPartRect();
    EXPECT_EQ(Pixel(image, edit.Right, edit.Top), Rgb(clYellow));
    combo->Free();
  }
}

TEST_F(ComboLookTest, ADropDownListShowsItsEntryHighlightedWhileFocused) {
  TOvcBaseComboBox *combo = ListBox();
  Show();
  // Pixels of the edit part (inside its focus frame) in Color (Contrast 0), or much darker (-1) or lighter.
  const TRect edit = combo->EditPartRect();
  const auto count = [&edit](const QImage &image, TColor Color, int Contrast) {
    const QColor wanted(ColorToQColor(Color).rgb());
    int n = 0;
    for (int y = edit.Top + 1; y < edit.Bottom - 1; ++y)
      for (int x = edit.Left + 1; x < edit.Right - 1; ++x) {
        const QColor pixel(image.pixel(x, y));
        n += Contrast == 0 ? pixel == wanted : (pixel.lightness() - wanted.lightness()) * Contrast > 100;
      }
    return n;
  };
  form->SetFocus();
  const QImage cold = Look(combo, false, "list_unfocused");
  EXPECT_GT(count(cold, clYellow, -1), 10); // the text
  EXPECT_EQ(count(cold, clHighlight, 0), 0);
  combo->SetFocus();
  const QImage focused = Look(combo, false, "list_focused");
  EXPECT_GT(count(focused, clHighlight, 0), edit.Width() * edit.Height() / 2);
}

TEST_F(ComboLookTest, TheEditPartOfAnEditableBoxLiesInsideTheFrame) {
  TOvcBaseComboBox *combo = AddCombo();
  Show();
  QWidget *edit = combo->Widget()->findChild<QLineEdit *>();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->geometry(), combo->EditPartRect().ToQRect());
  combo->SetHotTrack(true);
  combo->SetHotTrackBorder(false);
  EXPECT_EQ(edit->geometry(), combo->EditPartRect().ToQRect());
  EXPECT_EQ(combo->ButtonRect().Right, combo->Width());
}

// The hot look follows the mouse only while the application is the active one: the mouse coming in, or moving
// over the box once the user is back, makes it hot; leaving ends it.
TEST_F(ComboLookTest, TheMouseMakesTheBoxHotOnlyWhileTheApplicationIsActive) {
  struct Step {
    const char *name;
    std::function<void(TOvcBaseComboBox *)> act;
    bool hot; // with HotTrack on
  };
  const auto moveTo = [](int x) { return [x](TOvcBaseComboBox *c) { guitest::MoveMouseTo(c, {x, 10}); }; };
  const Step steps[] = {
      {"the mouse comes in", moveTo(40), true},
      {"it moves on over the box", moveTo(60), true},
      {"it leaves",
       [](auto *c) {
         guitest::MoveMouseTo(c, {40, 100});
       },
       false},
      {"another application is active; the mouse comes in",
       [&](auto *c) {
         guitest::ActivateOtherApplication();
         guitest::MoveMouseTo(c, {40, 10});
       },
       false},
      {"it moves on over the box", moveTo(60), false},
      {"the user is back; the mouse moves over the box",
       [&](auto *c) {
         guitest::ActivateWindowOf(form);
         guitest::MoveMouseTo(c, {80, 10});
       },
       true},
      {"it leaves again",
       [](auto *c) {
         guitest::MoveMouseTo(c, {40, 100});
       },
       false},
  };
  guitest::MouseParker parker;
  for (const bool hotTrack : {true, false}) {
    SCOPED_TRACE(hotTrack ? "hot tracking" : "no hot tracking");
    TOvcBaseComboBox *combo = ListBox();
    combo->SetHotTrack(hotTrack);
    // The focus stays in an edit, also when the user comes back: a focused box would be hot anyway.
    auto *edit = Add<TEdit>(10, 150, 100, 24);
    Show();
    edit->SetFocus();
    guitest::MoveMouseTo(combo, {40, 100});
    for (const Step &step : steps) {
      SCOPED_TRACE(step.name);
      step.act(combo);
      const bool hot = hotTrack && step.hot;
      EXPECT_EQ(combo->IsHot(), hot);
      // The hot frame's shadow edge on the left, else the box's colour (or the 3-D edge without hot
      // tracking).
      const QImage image = GrabControl(combo);
      const TColor left = !hotTrack ? clBtnShadow : hot ? combo->HotTrackColors()->Shadow() : clYellow;
      EXPECT_EQ(Pixel(image, 0, image.height() / 2), Rgb(left));
    }
    combo->Free();
    edit->Free();
  }
}

} // namespace
