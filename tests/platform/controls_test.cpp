#include "platform/windowing/application.h"
#include "platform/windowing/controls.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include "platform/windowing/window_functions.h"
#include "std_test_helpers.h"
#include <QImage>
#include <QScreen>
#include <QStringList>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// A focusable painted control that logs what happens to it in a shared log.
class Probe : public TCustomControl {
public:
  Probe(TComponent *owner, const QString &name, QStringList *log) : TCustomControl(owner), log_(log) {
    SetName(name);
    SetTabStop(true);
    SetBounds(0, 0, 60, 20);
    OnEnter = TNotifyEvent::From([this](TObject *) { Log("enter"); });
    OnExit = TNotifyEvent::From([this](TObject *) { Log("exit"); });
  }
  LRESULT dlgCode = 0;
  TColor paintColor = clNone;
  QList<QRect> paintedRegions;
  QList<QRect> clipRects; // the canvas's ClipRect at each paint

  void WndProc(TMessage &m) override {
    if (m.Msg == WM_GETDLGCODE) {
      m.Result = dlgCode;
      return;
    }
    TCustomControl::WndProc(m);
    switch (m.Msg) {
    case WM_SETFOCUS: Log("setfocus from " + NameOf(m.WParam)); break;
    case WM_KILLFOCUS: Log("killfocus to " + NameOf(m.WParam)); break;
    case WM_KEYDOWN: Log(QStringLiteral("keydown %1").arg(m.WParam)); break;
    case WM_CHAR: Log(QStringLiteral("char %1").arg(m.WParam)); break;
    case WM_SIZE: Log(QStringLiteral("size %1x%2").arg(m.LParamLo()).arg(m.LParamHi())); break;
    case WM_CAPTURECHANGED: Log("capturechanged"); break;
    }
  }

  void SetStyle(DWORD style, DWORD exStyle) {
    style_ = style;
    exStyle_ = exStyle;
    RecreateWnd();
  }

protected:
  void CreateParams(TCreateParams &p) override {
    TCustomControl::CreateParams(p);
    p.Style |= style_;
    p.ExStyle |= exStyle_;
  }
  void Paint() override {
    paintedRegions.append(PaintRegion().boundingRect());
    clipRects.append(Canvas()->ClipRect().ToQRect());
    if (paintColor == clNone) return;
    Canvas()->Brush()->SetColor(paintColor);
    Canvas()->FillRect(ClientRect());
  }

private:
  void Log(const QString &what) { log_->append(Name() + ' ' + what); }
  static QString NameOf(WPARAM handle) {
    TWinControl *c = handle ? FindControl(HWND(handle)) : nullptr;
    return handle == 0 ? QStringLiteral("none") : c ? c->Name() : QStringLiteral("?");
  }
  QStringList *log_;
  DWORD style_ = 0;
  DWORD exStyle_ = 0;
};

class ControlsTest : public stdtest::FormTest {
protected:
  Probe *AddProbe(const QString &name, int top) {
    auto *p = new Probe(form, name, &log);
    p->SetParent(form);
    p->SetTop(top);
    return p;
  }
  void Tab() { guitest::PressKey(Qt::Key_Tab, Qt::NoModifier, "\t"); }
};

TEST_F(ControlsTest, FocusStartsAtTheFirstTabStopAndMessagesNameTheOtherControlExitBeforeEnter) {
  Probe *a = AddProbe("A", 0);
  Probe *b = AddProbe("B", 30);
  guitest::ShowAndActivate(form);
  EXPECT_EQ(GetFocus(), a->Handle());
  log.clear();
  b->SetFocus();
  EXPECT_EQ(log, QStringList({"A killfocus to B", "A exit", "B enter", "B setfocus from A"}));
  EXPECT_EQ(form->ActiveControl(), b);
}

TEST_F(ControlsTest, TabFollowsTheTabOrderSkippingWhatCannotTakeTheFocus) {
  Probe *a = AddProbe("A", 0);
  Probe *b = AddProbe("B", 30);
  Probe *c = AddProbe("C", 60);
  Probe *off = AddProbe("Off", 90);
  Probe *hidden = AddProbe("Hidden", 120);
  Probe *noStop = AddProbe("NoStop", 150);
  c->SetTabOrder(0); // C, A, B
  off->SetEnabled(false);
  hidden->SetVisible(false);
  noStop->SetTabStop(false);
  guitest::ShowAndActivate(form);
  QStringList order = {c->Name()};
  for (int i = 0; i < 3; ++i) {
    Tab();
    order << (a->Focused() ? "A" : b->Focused() ? "B" : c->Focused() ? "C" : "?");
  }
  EXPECT_EQ(order, QStringList({"C", "A", "B", "C"})) << "wraps round, skipping the others";
  guitest::PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_TRUE(b->Focused());
  EXPECT_FALSE(log.filter("keydown 9").size()) << "a tab the control does not claim never reaches it";
  EXPECT_THROW(off->SetFocus(), EInvalidOperation);
}

TEST_F(ControlsTest, ArrowsAndTabMoveAmongSiblingsUnlessTheControlClaimsThem) {
  Probe *a = AddProbe("A", 0);
  Probe *b = AddProbe("B", 30);
  guitest::ShowAndActivate(form);
  guitest::PressKey(Qt::Key_Down);
  EXPECT_TRUE(b->Focused());
  guitest::PressKey(Qt::Key_Up);
  EXPECT_TRUE(a->Focused());
  a->dlgCode = DLGC_WANTARROWS;
  log.clear();
  guitest::PressKey(Qt::Key_Down);
  EXPECT_EQ(log, QStringList({QStringLiteral("A keydown %1").arg(VK_DOWN)}));
  a->dlgCode = DLGC_WANTTAB | DLGC_WANTCHARS;
  log.clear();
  Tab();
  EXPECT_EQ(log, QStringList({"A keydown 9", "A char 9"}));
}

TEST_F(ControlsTest, KeyEventsCanChangeOrSwallowKeys) {
  Probe *a = AddProbe("A", 0);
  a->dlgCode = DLGC_WANTCHARS;
  QList<WORD> downs;
  a->OnKeyDown = TKeyEvent::From([&](TObject *, WORD &key, TShiftState shift) {
    downs.append(key);
    EXPECT_TRUE(shift.Contains(ssShift));
    if (key == '2') key = 0;
  });
  a->OnKeyPress = TKeyPressEvent::From([](TObject *, QChar &key) {
    if (key == QLatin1Char('x')) key = QLatin1Char('y');
    if (key == QLatin1Char('!')) key = QChar();
  });
  guitest::ShowAndActivate(form);
  log.clear();
  guitest::PressKey(Qt::Key_X, Qt::ShiftModifier, "x");
  guitest::PressKey(Qt::Key_Exclam, Qt::ShiftModifier, "!", 10);
  guitest::PressKey(Qt::Key_At, Qt::ShiftModifier, "@", 11);
  EXPECT_EQ(downs, QList<WORD>({'X', '1', '2'}));
  // 'x' became 'y'; '!' was swallowed by OnKeyPress; Shift+2 was swallowed by OnKeyDown but, as in Windows,
  // its character still arrives. The control's procedure sees the messages as the handlers left them.
  EXPECT_EQ(log, QStringList(
                     {"A keydown 88", "A char 121", "A keydown 49", "A char 0", "A keydown 0", "A char 64"}));
}

TEST_F(ControlsTest, KeyPreviewLetsTheFormSeeKeysFirst) {
  Probe *a = AddProbe("A", 0);
  a->dlgCode = DLGC_WANTCHARS;
  form->SetKeyPreview(true);
  QStringList order;
  form->OnKeyDown = TKeyEvent::From([&](TObject *, WORD &key, TShiftState) {
    order.append(QStringLiteral("form %1").arg(key));
    if (key == VK_F2) key = 0;
  });
  form->OnKeyPress =
      TKeyPressEvent::From([&](TObject *, QChar &key) { order.append(QStringLiteral("form char ") + key); });
  a->OnKeyDown = TKeyEvent::From(
      [&](TObject *, WORD &key, TShiftState) { order.append(QStringLiteral("A %1").arg(key)); });
  guitest::ShowAndActivate(form);
  guitest::PressKey(Qt::Key_F2);
  guitest::PressKey(Qt::Key_K, Qt::NoModifier, "k");
  EXPECT_EQ(order, QStringList({QStringLiteral("form %1").arg(VK_F2), "form 75", "A 75", "form char k"}));
}

TEST_F(ControlsTest, MouseClickGivesDownClickUpInClientCoordinates) {
  Probe *a = AddProbe("A", 0);
  a->SetBounds(20, 20, 100, 50);
  a->SetStyle(0, WS_EX_CLIENTEDGE);
  QStringList events;
  a->OnMouseDown = TMouseEvent::From([&](TObject *, TMouseButton b, TShiftState s, int x, int y) {
    events.append(QStringLiteral("down %1 %2,%3 left=%4").arg(b).arg(x).arg(y).arg(s.Contains(ssLeft)));
  });
  a->OnClick = TNotifyEvent::From([&](TObject *) { events.append("click"); });
  a->OnMouseUp = TMouseEvent::From([&](TObject *, TMouseButton b, TShiftState, int x, int y) {
    events.append(QStringLiteral("up %1 %2,%3").arg(b).arg(x).arg(y));
  });
  a->OnDblClick = TNotifyEvent::From([&](TObject *) { events.append("dblclick"); });
  guitest::ShowAndActivate(form);
  guitest::Click(a, QPoint(7, 8));
  EXPECT_EQ(events, QStringList({"down 0 7,8 left=1", "click", "up 0 7,8"}));
  EXPECT_FALSE(a->MouseCapture()) << "the capture taken on the press ends with the release";

  events.clear();
  guitest::SendMouse(a, QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(7, 8), Qt::LeftButton);
  guitest::SendMouse(a, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(7, 8), Qt::NoButton);
  EXPECT_EQ(events, QStringList({"dblclick", "down 0 7,8 left=1", "up 0 7,8"}));

  events.clear();
  guitest::SendMouse(a, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(7, 8), Qt::LeftButton);
  guitest::SendMouse(a, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(500, 8), Qt::NoButton);
  EXPECT_EQ(events.filter("click").size(), 0) << "released outside: no click";
}

TEST_F(ControlsTest, PaintedControlPaintsItsClientAreaInsideItsBorder) {
  Probe *a = AddProbe("A", 0);
  a->SetBounds(10, 10, 40, 30);
  a->SetColor(clWhite);
  a->paintColor = clRed;
  a->SetStyle(WS_BORDER, 0);
  guitest::ShowAndActivate(form);
  const QImage image = a->Widget()->grab().toImage();
  ASSERT_EQ(image.size(), QSize(40, 30));
  // Border (k) at the corners and edges, client area (r) inside it.
  QString seen;
  for (QPoint p : {QPoint(0, 0), QPoint(39, 29), QPoint(1, 1), QPoint(38, 28)})
    seen += image.pixelColor(p) == Qt::black ? 'k' : image.pixelColor(p) == Qt::red ? 'r' : '?';
  EXPECT_EQ(seen, "kkrr");
}

TEST_F(ControlsTest, APaintedControlsClipIsItsOwnAreaWhereverItsWindowIsDrawn) {
  Probe *a = AddProbe("A", 0);
  a->SetBounds(30, 40, 50, 20);
  guitest::ShowAndActivate(form);
  // Drawn as part of the form's picture, the control's window is offset in the picture.
  a->clipRects.clear();
  form->Widget()->grab();
  ASSERT_FALSE(a->clipRects.isEmpty());
  EXPECT_EQ(a->clipRects.last(), QRect(0, 0, 50, 20));
}

TEST_F(ControlsTest, ScrollBarsTakeRoomFromTheClientAreaWhenTheyHaveARange) {
  Probe *a = AddProbe("A", 0);
  a->SetBounds(0, 0, 120, 80);
  a->SetStyle(WS_VSCROLL, 0);
  guitest::ShowAndActivate(form);
  const HWND h = a->Handle();
  const int extent = GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(a->ClientWidth(), 120 - extent) << "a window made with WS_VSCROLL shows its scroll bar";
  log.clear();
  TScrollInfo info;
  info.fMask = SIF_RANGE; // a range with Min equal to Max hides the bar
  SetScrollInfo(h, SB_VERT, info, true);
  EXPECT_EQ(a->ClientWidth(), 120);
  EXPECT_EQ(log, QStringList({"A size 120x80"}));
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = 99;
  info.nPage = 10;
  info.nPos = 95;
  EXPECT_EQ(SetScrollInfo(h, SB_VERT, info, true), 90) << "the position stops where the last page begins";
  EXPECT_EQ(a->ClientWidth(), 120 - extent);
  info.nPage = 100;
  info.fMask = SIF_PAGE;
  SetScrollInfo(h, SB_VERT, info, true);
  EXPECT_EQ(a->ClientWidth(), 120) << "everything fits: no scroll bar";
}

TEST_F(ControlsTest, AlignedChildrenFillTheParent) {
  Probe *top = AddProbe("Top", 0);
  Probe *bottom = AddProbe("Bottom", 0);
  Probe *client = AddProbe("Client", 0);
  top->SetHeight(30);
  bottom->SetHeight(20);
  top->SetAlign(alTop);
  bottom->SetAlign(alBottom);
  client->SetAlign(alClient);
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 220, 320, 240));
  form->SetClientSize(400, 300);
  EXPECT_EQ(client->BoundsRect(), Rect(0, 30, 400, 280));
}

TEST_F(ControlsTest, WindowIsMadeWhenTheParentShowsRecreatedOnRequestAndFreedWithItsParent) {
  auto *panel = AddProbe("Panel", 0);
  auto *child = new Probe(nullptr, "Child", &log); // owned by nobody
  child->SetParent(panel);
  EXPECT_FALSE(panel->HandleAllocated()) << "nothing is created before the form shows";
  guitest::ShowAndActivate(form);
  const HWND handle = panel->Handle();
  QWidget *old = panel->Widget();
  panel->SetStyle(WS_BORDER, 0);
  EXPECT_NE(panel->Widget(), old);
  EXPECT_EQ(panel->Handle(), handle) << "the handle names the control for its whole life";

  const HWND childHandle = child->Handle();
  panel->Free();
  EXPECT_FALSE(IsWindow(childHandle));
  EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(ControlsTest, ParentFontAndColorFollowTheParentUntilSetThemselves) {
  Probe *a = AddProbe("A", 0);
  form->Font()->SetSize(12);
  EXPECT_EQ(a->Font()->Size(), 12);
  a->Font()->SetStyle(fsBold);
  form->Font()->SetSize(14);
  EXPECT_EQ(a->Font()->Size(), 12);
  form->SetColor(clYellow);
  EXPECT_EQ(a->Color(), clYellow);
  a->SetColor(clAqua);
  form->SetColor(clRed);
  EXPECT_EQ(a->Color(), clAqua);
}

TEST_F(ControlsTest, TheFormTakesTheFocusWhenTheFocusedControlIsHiddenDisabledOrFreed) {
  Probe *a = AddProbe("A", 0);
  Probe *b = AddProbe("B", 30);
  Probe *c = AddProbe("C", 60);
  guitest::ShowAndActivate(form);
  ASSERT_TRUE(a->Focused());
  log.clear();
  a->Hide();
  EXPECT_TRUE(form->Focused());
  EXPECT_TRUE(log.contains("A exit"));
  b->SetEnabled(false); // not focused: nothing happens
  c->SetFocus();
  c->Free();
  EXPECT_NE(form->ActiveControl(), c);
  EXPECT_TRUE(form->Focused()) << "the form holds the focus, not whatever Qt picks";
}

// A graphic control that fills itself (mouse enter and leave are tested with the hyper button, one of these).
class Swatch : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clLime);
    Canvas()->FillRect(ClientRect());
  }
};

TEST_F(ControlsTest, GraphicControlPaintsOnItsParentAndNeverTakesTheFocus) {
  Probe *a = AddProbe("A", 0);
  auto *swatch = new Swatch(form);
  swatch->SetParent(form);
  swatch->SetBounds(100, 100, 10, 10);
  guitest::ShowAndActivate(form);
  ASSERT_TRUE(a->Focused());
  guitest::Click(swatch, QPoint(2, 2));
  EXPECT_TRUE(a->Focused());
  const QImage image = form->Widget()->grab().toImage();
  EXPECT_EQ(image.pixelColor(109, 105), QColor(Qt::green));
  EXPECT_EQ(image.pixelColor(110, 105), ColorToQColor(clBtnFace)) << "the right edge lies outside";
}

// Keeps the last mouse-wheel message it receives.
class WheelSpy : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  TMessage wheel;
  void WndProc(TMessage &m) override {
    if (m.Msg == WM_MOUSEWHEEL)
      wheel = m;
    else
      TCustomControl::WndProc(m);
  }
};

TEST_F(ControlsTest, MouseWheelCarriesASignedDeltaKeyFlagsAndScreenPosition) {
  auto *spy = new WheelSpy(form);
  spy->SetParent(form);
  spy->SetBounds(150, 0, 50, 50);
  guitest::ShowAndActivate(form);
  const QPoint global = spy->Widget()->mapToGlobal(QPoint(3, 4));
  QWheelEvent down(QPointF(3, 4), QPointF(global), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(spy->Widget(), &down);
  EXPECT_EQ(std::int16_t(spy->wheel.WParamHi()), -120);
  EXPECT_EQ(spy->wheel.WParamLo(), MK_CONTROL);
  EXPECT_EQ(QPoint(GET_X_LPARAM(spy->wheel.LParam), GET_Y_LPARAM(spy->wheel.LParam)), global);
}

TEST_F(ControlsTest, CaptureGoesToOneWindowAndItsLossIsAnnounced) {
  Probe *a = AddProbe("A", 0);
  Probe *b = AddProbe("B", 30);
  Probe *c = AddProbe("C", 60);
  guitest::ShowAndActivate(form);
  c->SetMouseCapture(true);
  log.clear();
  a->SetMouseCapture(true);
  EXPECT_EQ(log.filter("capturechanged"), QStringList({"C capturechanged"}));
  EXPECT_FALSE(c->MouseCapture());
  a->Free();
  EXPECT_EQ(GetCapture(), HWND(0)) << "a freed window holds no capture";
  EXPECT_FALSE(b->MouseCapture());
}

TEST_F(ControlsTest, ScrollWindowMovesThePixelsAndRepaintsOnlyTheUncoveredPart) {
  Probe *a = AddProbe("A", 0);
  a->SetBounds(0, 0, 40, 40);
  a->paintColor = clRed;
  guitest::ShowAndActivate(form);
  a->paintedRegions.clear();
  a->paintColor = clBlue; // what is repainted from now on
  a->ScrollWindow(0, -10);
  guitest::ProcessEvents();
  EXPECT_EQ(a->paintedRegions, QList<QRect>({QRect(0, 30, 40, 10)}));
  QWidget *window = form->Widget();
  const QPoint at = a->Widget()->mapTo(window, QPoint(0, 0));
  const QImage screen = window->screen()->grabWindow(window->winId(), at.x(), at.y(), 40, 40).toImage();
  ASSERT_EQ(screen.size(), QSize(40, 40));
  EXPECT_EQ(screen.pixelColor(20, 5), QColor(Qt::red)) << "moved up";
  EXPECT_EQ(screen.pixelColor(20, 35), QColor(Qt::blue)) << "uncovered and repainted";
}

} // namespace
