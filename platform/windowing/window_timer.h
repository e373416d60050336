// Win32 timers: SetTimer gives a window WM_TIMER (wParam the timer's identifier) every Elapse milliseconds
// until KillTimer; a timer without a window calls its procedure instead. A timer whose window is gone stops.
// The messages pass through the window's main procedure, so an exception raised while handling one reaches
// the application's handler.
//
// GetTickCount is the millisecond clock timers are measured with.
#pragma once
#include "platform/windowing/messages.h"
#include <functional>

using TTimerProc = std::function<void(HWND Handle, UINT Msg, std::uintptr_t IdEvent, DWORD Time)>;

// Starts (or restarts with a new interval) timer IdEvent of Handle. With Handle 0 a new identifier is made
// and Proc is called instead of a message. Intervals below 10 ms count as 10. Returns the identifier, 0 on
// failure (no such window, or neither window nor procedure).
std::uintptr_t SetTimer(HWND Handle, std::uintptr_t IdEvent, UINT Elapse, TTimerProc Proc = nullptr);
bool KillTimer(HWND Handle, std::uintptr_t IdEvent);

// Milliseconds since the program started, wrapping at 2^32 as Win32's does.
DWORD GetTickCount();
