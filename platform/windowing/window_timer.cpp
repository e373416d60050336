#include "platform/windowing/window_timer.h"
#include <QElapsedTimer>
#include <QHash>
#include <QTimer>
#include <map>
#include <memory>

namespace {

struct TimerKey {
  HWND handle;
  std::uintptr_t id;
  bool operator<(const TimerKey &other) const {
    return handle != other.handle ? handle < other.handle : id < other.id;
  }
};

struct RunningTimer {
  std::unique_ptr<QTimer> timer;
  TTimerProc proc;
};

std::map<TimerKey, RunningTimer> &Timers() {
  static std::map<TimerKey, RunningTimer> timers;
  return timers;
}

std::uintptr_t g_nextWindowlessId = 1;

// Stops a timer and forgets it. It may be the one firing now: Qt deletes it when it is done.
void EraseTimer(std::map<TimerKey, RunningTimer>::iterator it) {
  it->second.timer->stop();
  it->second.timer.release()->deleteLater();
  Timers().erase(it);
}

void Fire(TimerKey key) {
  auto it = Timers().find(key);
  if (it == Timers().end()) return;
  if (key.handle != 0) {
    TMessageTarget *target = FindWindowTarget(key.handle);
    if (!target) {
      EraseTimer(it); // the window is gone: so is its timer
      return;
    }
    TMessage message{WM_TIMER, WPARAM(key.id), 0, 0};
    target->MainWndProc(message);
    return;
  }
  const TTimerProc proc = it->second.proc; // the procedure may kill its own timer
  try {
    proc(0, WM_TIMER, key.id, GetTickCount());
  } catch (...) {
    HandleCurrentException(nullptr);
  }
}

} // namespace

std::uintptr_t SetTimer(HWND Handle, std::uintptr_t IdEvent, UINT Elapse, TTimerProc Proc) {
  if (Handle != 0 && !IsWindow(Handle)) return 0;
  if (Handle == 0) {
    if (!Proc) return 0;
    IdEvent = g_nextWindowlessId++;
  }
  const TimerKey key{Handle, IdEvent};
  RunningTimer &running = Timers()[key];
  if (!running.timer) {
    running.timer = std::make_unique<QTimer>();
    QObject::connect(running.timer.get(), &QTimer::timeout, [key] { Fire(key); });
  }
  running.proc = std::move(Proc);
  running.timer->start(int(std::max<UINT>(Elapse, 10)));
  return IdEvent;
}

bool KillTimer(HWND Handle, std::uintptr_t IdEvent) {
  auto it = Timers().find(TimerKey{Handle, IdEvent});
  if (it == Timers().end()) return false;
  EraseTimer(it);
  return true;
}

DWORD GetTickCount() {
  static QElapsedTimer clock;
  if (!clock.isValid()) clock.start();
  return DWORD(quint64(clock.elapsed()) & 0xFFFFFFFFu);
}
