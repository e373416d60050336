// Any number of timed triggers served by one timer. Each trigger has an interval (at least 55 ms) and an
// event; repeating triggers fire every interval, one-shot triggers once. The single timer runs at the largest
// interval that divides every trigger's interval, and a trigger fires on the tick that comes within 27 ms of
// its due time.
//
// Handles are never reused, so a handle kept after its trigger is gone can never remove another trigger.
// Trigger events may add and remove triggers: the due triggers are collected before any event runs, and a
// trigger removed by an earlier event of the same tick does not fire.
#pragma once
#include "controls/framework/timer_source.h"
#include "platform/core/component.h"
#include "platform/core/events.h"
#include <QString>
#include <vector>

using TTriggerEvent = TEvent<void(TObject *Sender, int Handle, quint32 Interval, int ElapsedTime)>;

class TOvcTimerPool : public TComponent {
public:
  static constexpr int MinInterval = 55;
  static constexpr int Tolerance = 27;

  // Source and Clock default to the event loop's timer and the monotonic tick count.
  explicit TOvcTimerPool(TComponent *AOwner, std::unique_ptr<TimerSource> source = nullptr,
                         TickClock clock = {});
  ~TOvcTimerPool() override;
  QString ClassName() const override { return QStringLiteral("TOvcTimerPool"); }

  QString About() const { return QStringLiteral("v4.06"); }
  void SetAbout(const QString &) {}

  // Fired after every trigger's own event.
  TTriggerEvent OnAllTriggers;

  // Adds a repeating trigger and returns its handle. Raises ENoTimersAvailable when the timer cannot be set
  // (the trigger stays added).
  int Add(const TTriggerEvent &event, int interval);
  // Adds a trigger that fires once and is then gone; returns its handle.
  int AddOneTime(const TTriggerEvent &event, int interval);
  // Removes a trigger; an unknown or spent handle is ignored.
  void Remove(int handle);

  // Enabled triggers.
  int ActiveCount() const { return activeCount_; }
  // Whether Handle names a trigger still in the pool (a one-shot trigger's handle is spent once it fires).
  bool HasTrigger(int handle) const;
  // The timer's present interval in milliseconds; 0 when it is stopped.
  int TimerInterval() const { return timerInterval_; }

  // Runs on every tick of the timer.
  virtual void DoTimer();

private:
  struct Trigger {
    int handle;
    std::int64_t created;
    int elapsedTime; // accumulated over all firings, capped at the largest Integer
    int interval;
    std::int64_t lastFiring;
    TTriggerEvent event;
    bool enabled;
    bool regular;
  };
  struct Firing {
    int handle;
    int interval;
    int elapsedTime;
    TTriggerEvent event;
    bool cancelled;
  };

  std::vector<Trigger>::iterator Find(int handle);
  int CalcNewInterval() const;
  void Rearrange();
  void ResetTimer();
  void Fire(const Firing &firing);

  std::unique_ptr<TimerSource> source_;
  TickClock clock_;
  std::vector<Trigger> triggers_;         // by interval, shortest first
  std::vector<Firing> *firing_ = nullptr; // the due triggers of the tick being handled
  int nextHandle_ = 0;
  int timerInterval_ = 0;
  int activeCount_ = 0;
};
