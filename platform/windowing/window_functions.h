// The Win32 window functions the control code calls, on windows identified by their handles: focus, mouse
// capture, scroll bars, cursor and coordinates.
#pragma once
#include "platform/core/types.h"
#include "platform/windowing/messages.h"
#include <QCursor>

class TControl;

// -- focus --
// The window holding the keyboard focus (0 when none of the application's windows has it).
HWND GetFocus();
// Gives Handle the focus; returns the window that had it.
HWND SetFocus(HWND Handle);

// -- mouse capture --
HWND GetCapture();
// Every mouse message goes to Handle until ReleaseCapture; the window losing the capture gets
// WM_CAPTURECHANGED. Returns the previous holder.
HWND SetCapture(HWND Handle);
bool ReleaseCapture();

// -- scroll bars (Bar: SB_HORZ or SB_VERT) --
constexpr unsigned SIF_RANGE = 0x1;
constexpr unsigned SIF_PAGE = 0x2;
constexpr unsigned SIF_POS = 0x4;

struct TScrollInfo {
  unsigned fMask = 0;
  int nMin = 0;
  int nMax = 0;
  unsigned nPage = 0;
  int nPos = 0;
};

// A scroll bar shows while its range is larger than its page.
// Returns the new position.
int SetScrollInfo(HWND Handle, int Bar, const TScrollInfo &Info, bool Redraw);

// -- windows --
HWND GetParent(HWND Handle);
bool ScreenToClient(HWND Handle, TPoint &Point);

// -- cursor --
// Shows Cursor over the window whose WM_SETCURSOR is being handled (or the window under the mouse) until the
// window's own cursor is set again; returns the cursor it replaced.
QCursor SetCursor(const QCursor &Cursor);
bool GetCursorPos(TPoint &Point);

// -- system metrics --
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CYMENU = 15;
int GetSystemMetrics(int Index);
unsigned GetDoubleClickTime();
unsigned GetCaretBlinkTime();
