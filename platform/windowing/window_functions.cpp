#include "platform/windowing/window_functions.h"
#include "platform/windowing/control_widget.h"
#include "platform/windowing/controls.h"
#include "platform/windowing/shift_state.h"
#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <QStyleHints>

namespace {
HWND g_capture = 0;
QPointer<QWidget> g_grabbed;

TControl *ControlOf(HWND handle) { return dynamic_cast<TControl *>(FindWindowTarget(handle)); }

// The widget whose cursor SetCursor changes: the one under the mouse.
QWidget *CursorWidget() {
  const QPoint pos = QCursor::pos();
  QWidget *w = QApplication::widgetAt(pos);
  if (!w) return nullptr;
  if (TControl *c = FindControlOfWidget(w)) return c->Widget();
  return w;
}
} // namespace

HWND GetFocus() {
  TControl *c = FindControlOfWidget(QApplication::focusWidget());
  return c && dynamic_cast<TWinControl *>(c) ? static_cast<TWinControl *>(c)->Handle() : 0;
}

HWND SetFocus(HWND Handle) {
  const HWND previous = GetFocus();
  if (TWinControl *c = FindControl(Handle)) {
    c->HandleNeeded();
    if (QWidget *w = c->Widget()) w->setFocus(Qt::OtherFocusReason);
  }
  return previous;
}

HWND GetCapture() {
  if (g_capture && !IsWindow(g_capture)) g_capture = 0;
  return g_capture;
}

HWND SetCapture(HWND Handle) {
  const HWND previous = GetCapture();
  if (previous == Handle) return previous;
  if (previous) ReleaseCapture();
  TControl *c = ControlOf(Handle);
  if (!c) return previous;
  g_capture = Handle;
  // While a button is down Qt already sends every mouse event to the pressed widget; otherwise grab.
  if (QWidget *w = c->Widget(); w && w->isVisible() && InputButtons() == Qt::NoButton) {
    w->grabMouse();
    g_grabbed = w;
  }
  return previous;
}

bool ReleaseCapture() {
  const HWND previous = GetCapture();
  g_capture = 0;
  if (g_grabbed) {
    g_grabbed->releaseMouse();
    g_grabbed = nullptr;
  }
  if (previous) SendMessage(previous, WM_CAPTURECHANGED, 0, 0);
  return true;
}

int SetScrollInfo(HWND Handle, int Bar, const TScrollInfo &Info, bool) {
  TWinControl *c = FindControl(Handle);
  if (!c || (Bar != SB_HORZ && Bar != SB_VERT)) return 0;
  TScrollBarState state = c->ScrollBar(Bar);
  if (Info.fMask & SIF_RANGE) {
    state.Min = Info.nMin;
    state.Max = Info.nMax;
  }
  if (Info.fMask & SIF_PAGE) state.Page = int(Info.nPage);
  if (Info.fMask & SIF_POS) state.Pos = Info.nPos;
  if (Info.fMask & (SIF_RANGE | SIF_PAGE)) {
    const bool room = state.Max > state.Min && (state.Page == 0 || state.Page <= state.Max - state.Min);
    state.Visible = room;
    state.Enabled = room;
  }
  c->SetScrollBar(Bar, state);
  return c->ScrollBar(Bar).Pos;
}

HWND GetParent(HWND Handle) {
  TControl *c = ControlOf(Handle);
  return c && c->Parent() ? c->Parent()->Handle() : 0;
}

bool ScreenToClient(HWND Handle, TPoint &Point) {
  TControl *c = ControlOf(Handle);
  if (!c) return false;
  Point = c->ScreenToClient(Point);
  return true;
}

QCursor SetCursor(const QCursor &Cursor) {
  QWidget *w = CursorWidget();
  if (!w) return QCursor();
  const QCursor previous = w->cursor();
  w->setCursor(Cursor);
  return previous;
}

bool GetCursorPos(TPoint &Point) {
  const QPoint p = QCursor::pos();
  Point = {p.x(), p.y()};
  return true;
}

int GetSystemMetrics(int Index) {
  switch (Index) {
  case SM_CXVSCROLL: return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  case SM_CYBORDER: return 1;
  case SM_CYMENU: return 19;
  default: return 0;
  }
}

unsigned GetDoubleClickTime() { return unsigned(QGuiApplication::styleHints()->mouseDoubleClickInterval()); }

unsigned GetCaretBlinkTime() {
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  return flash > 0 ? unsigned(flash / 2) : 530u;
}
