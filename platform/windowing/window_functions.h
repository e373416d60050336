// The Win32 window functions the control code calls, on windows identified by their handles: focus, mouse
// capture, painting, scrolling, scroll bars, cursor and coordinates.
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

// -- painting and scrolling --
// Marks part of the client area (nullptr: all of it) for repainting. Erase is accepted for compatibility:
// painted windows always erase their background before painting.
bool InvalidateRect(HWND Handle, const TRect *Rect, bool Erase);
bool UpdateWindow(HWND Handle);
// Moves the client area's pixels (or those in ScrollRect) by Dx, Dy; the uncovered part is repainted. Without
// ScrollRect the child windows move along. ClipRect further limits the moved pixels.
bool ScrollWindow(HWND Handle, int Dx, int Dy, const TRect *ScrollRect, const TRect *ClipRect);

// -- scroll bars (Bar: SB_HORZ or SB_VERT) --
constexpr unsigned SIF_RANGE = 0x1;
constexpr unsigned SIF_PAGE = 0x2;
constexpr unsigned SIF_POS = 0x4;
constexpr unsigned SIF_DISABLENOSCROLL = 0x8;
constexpr unsigned SIF_TRACKPOS = 0x10;
constexpr unsigned SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct TScrollInfo {
  unsigned fMask = 0;
  int nMin = 0;
  int nMax = 0;
  unsigned nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// A scroll bar shows while its range is larger than its page (with SIF_DISABLENOSCROLL it stays, disabled).
// Returns the new position.
int SetScrollInfo(HWND Handle, int Bar, const TScrollInfo &Info, bool Redraw);
bool GetScrollInfo(HWND Handle, int Bar, TScrollInfo &Info);
// Returns the previous position.
int SetScrollPos(HWND Handle, int Bar, int Pos, bool Redraw);
int GetScrollPos(HWND Handle, int Bar);
// A range with Min equal to Max hides the scroll bar.
bool SetScrollRange(HWND Handle, int Bar, int Min, int Max, bool Redraw);
bool GetScrollRange(HWND Handle, int Bar, int *Min, int *Max);
bool ShowScrollBar(HWND Handle, int Bar, bool Show);
bool EnableScrollBar(HWND Handle, int Bar, bool Enable);

// -- windows --
bool IsWindowVisible(HWND Handle);
bool IsWindowEnabled(HWND Handle);
bool EnableWindow(HWND Handle, bool Enable);
HWND GetParent(HWND Handle);
bool GetClientRect(HWND Handle, TRect &Rect);
// The window's rectangle in screen coordinates.
bool GetWindowRect(HWND Handle, TRect &Rect);
bool ClientToScreen(HWND Handle, TPoint &Point);
bool ScreenToClient(HWND Handle, TPoint &Point);

// -- cursor --
// Shows Cursor over the window whose WM_SETCURSOR is being handled (or the window under the mouse) until the
// window's own cursor is set again; returns the cursor it replaced.
QCursor SetCursor(const QCursor &Cursor);
bool GetCursorPos(TPoint &Point);

// -- system metrics --
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_SWAPBUTTON = 23;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
int GetSystemMetrics(int Index);
unsigned GetDoubleClickTime();
unsigned GetCaretBlinkTime();
