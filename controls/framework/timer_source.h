// What the timer pool needs of the system: one repeating timer and a millisecond clock. The real ones are a
// Qt timer and a monotonic 64-bit tick count; tests supply their own and fire the timer by hand.
#pragma once
#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <memory>

class QTimer;

// One repeating timer of the main thread.
class TimerSource {
public:
  virtual ~TimerSource() = default;
  // Starts (or restarts) the timer with the interval in milliseconds; false when no timer can be had.
  virtual bool Start(int intervalMs) = 0;
  virtual void Stop() = 0;
  // Called on every expiry; set by the timer's user.
  std::function<void()> OnTimeout;
};

// The timer of the event loop.
class QtTimerSource : public TimerSource {
public:
  QtTimerSource();
  ~QtTimerSource() override;
  bool Start(int intervalMs) override;
  void Stop() override;

private:
  std::unique_ptr<QTimer> timer_;
};

// Milliseconds from an arbitrary start; never goes backwards and never wraps.
using TickClock = std::function<std::int64_t()>;
std::int64_t MonotonicTickCount();
