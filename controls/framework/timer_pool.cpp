#include "controls/framework/timer_pool.h"
#include "controls/framework/library_exceptions.h"
#include "platform/windowing/application.h"
#include <algorithm>
#include <limits>

namespace {

constexpr std::int64_t kMaxInteger = std::numeric_limits<int>::max();

} // namespace

TOvcTimerPool::TOvcTimerPool(TComponent *AOwner, std::unique_ptr<TimerSource> source, TickClock clock)
    : TComponent(AOwner), source_(source ? std::move(source) : std::make_unique<QtTimerSource>()),
      clock_(clock ? std::move(clock) : TickClock(MonotonicTickCount)) {
  source_->OnTimeout = [this] { DoTimer(); };
}

TOvcTimerPool::~TOvcTimerPool() {
  source_->OnTimeout = nullptr;
  source_->Stop();
}

int TOvcTimerPool::Add(const TTriggerEvent &event, int interval) {
  const std::int64_t now = clock_();
  const int handle = nextHandle_++;
  triggers_.push_back(Trigger{handle, now, 0, std::max(interval, MinInterval), now, event, true, true});
  Rearrange();
  return handle;
}

int TOvcTimerPool::AddOneTime(const TTriggerEvent &event, int interval) {
  const int handle = Add(event, interval);
  const auto it = Find(handle);
  if (it == triggers_.end()) return -1;
  it->regular = false;
  return handle;
}

void TOvcTimerPool::Remove(int handle) {
  if (firing_)
    for (Firing &f : *firing_)
      if (f.handle == handle) f.cancelled = true;
  const auto it = Find(handle);
  if (it == triggers_.end()) return;
  triggers_.erase(it);
  Rearrange();
}

bool TOvcTimerPool::HasTrigger(int handle) const {
  return std::any_of(triggers_.begin(), triggers_.end(),
                     [handle](const Trigger &t) { return t.handle == handle; });
}

std::vector<TOvcTimerPool::Trigger>::iterator TOvcTimerPool::Find(int handle) {
  return std::find_if(triggers_.begin(), triggers_.end(),
                      [handle](const Trigger &t) { return t.handle == handle; });
}

int TOvcTimerPool::CalcNewInterval() const {
  const std::int64_t now = clock_();
  std::int64_t value = -1;
  bool any = false;
  for (const Trigger &t : triggers_) {
    if (!t.enabled) continue;
    const std::int64_t remaining = t.interval - (now - t.lastFiring);
    const std::int64_t candidate = std::min<std::int64_t>(t.interval, remaining);
    if (!any || candidate < value) value = candidate;
    any = true;
  }
  if (!any) return 0;
  if (value < MinInterval) value = MinInterval;
  // The largest value not above it that divides every interval, or the minimum.
  bool changed = true;
  while (changed && value > MinInterval) {
    changed = false;
    for (const Trigger &t : triggers_) {
      const std::int64_t remainder = t.interval % value;
      if (remainder != 0) {
        value -= remainder;
        changed = true;
        break;
      }
    }
  }
  return int(std::max<std::int64_t>(value, MinInterval));
}

void TOvcTimerPool::Rearrange() {
  activeCount_ =
      int(std::count_if(triggers_.begin(), triggers_.end(), [](const Trigger &t) { return t.enabled; }));
  std::stable_sort(triggers_.begin(), triggers_.end(),
                   [](const Trigger &a, const Trigger &b) { return a.interval < b.interval; });
  timerInterval_ = CalcNewInterval();
  ResetTimer();
}

void TOvcTimerPool::ResetTimer() {
  source_->Stop();
  if (timerInterval_ != 0 && activeCount_ > 0 && !source_->Start(timerInterval_)) {
    timerInterval_ = 0;
    throw ENoTimersAvailable();
  }
}

void TOvcTimerPool::DoTimer() {
  const std::int64_t now = clock_();
  std::vector<Firing> due;
  bool spentOneShot = false;
  for (auto it = triggers_.begin(); it != triggers_.end();) {
    if (it->enabled) {
      const std::int64_t elapsed = now - it->lastFiring;
      if (elapsed >= it->interval - Tolerance) {
        it->lastFiring = now;
        it->elapsedTime = int(std::min(kMaxInteger, std::int64_t(it->elapsedTime) + elapsed));
        due.push_back(Firing{it->handle, it->interval, it->elapsedTime, it->event, false});
        if (!it->regular) {
          it = triggers_.erase(it);
          spentOneShot = true;
          continue;
        }
      }
    }
    ++it;
  }
  if (spentOneShot) Rearrange();

  // Events may add and remove triggers, and may even free the pool's owner's interest in the rest: each due
  // trigger is checked against removals made by the events before it.
  std::vector<Firing> *outer = firing_;
  firing_ = &due;
  for (size_t i = 0; i < due.size(); ++i) {
    if (due[i].cancelled) continue;
    Fire(due[i]);
  }
  firing_ = outer;
}

void TOvcTimerPool::Fire(const Firing &firing) {
  try {
    if (firing.event) firing.event(this, firing.handle, quint32(firing.interval), firing.elapsedTime);
    if (OnAllTriggers) OnAllTriggers(this, firing.handle, quint32(firing.interval), firing.elapsedTime);
  } catch (...) {
    // Each trigger's failure is reported on its own; the other due triggers still fire.
    Application()->HandleException(this);
  }
}
