#include "controls/framework/timer_source.h"
#include <QElapsedTimer>
#include <QTimer>

QtTimerSource::QtTimerSource() : timer_(std::make_unique<QTimer>()) {
  // The pool accepts a firing up to 27 ms early, so the timer must not drift by the coarse timer's 5 %.
  timer_->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] {
    if (OnTimeout) OnTimeout();
  });
}

QtTimerSource::~QtTimerSource() = default;

bool QtTimerSource::Start(int intervalMs) {
  timer_->start(intervalMs);
  return timer_->isActive();
}

void QtTimerSource::Stop() { timer_->stop(); }

std::int64_t MonotonicTickCount() {
  static const QElapsedTimer started = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return started.elapsed();
}
