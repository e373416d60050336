#include "controls/framework/library_exceptions.h"
#include "controls/framework/timer_pool.h"
#include "platform/windowing/application.h"
#include "tests/platform/raises.h"
#include <gtest/gtest.h>

namespace {

// A timer the test fires by hand, reporting how the pool set it.
struct FakeTimer : TimerSource {
  int interval = 0; // 0 while stopped
  int starts = 0;
  bool refuse = false;
  bool *alive = nullptr; // set to false when the pool frees its timer
  ~FakeTimer() override {
    if (alive) *alive = false;
  }
  bool Start(int ms) override {
    if (refuse) return false;
    interval = ms;
    ++starts;
    return true;
  }
  void Stop() override { interval = 0; }
};

struct Fired {
  int handle;
  quint32 interval;
  int elapsed;
  bool operator==(const Fired &) const = default;
};

class TimerPoolTest : public ::testing::Test {
protected:
  TimerPoolTest() {
    auto timer = std::make_unique<FakeTimer>();
    timer_ = timer.get();
    pool_ = std::make_unique<TOvcTimerPool>(nullptr, std::move(timer), [this] { return now_; });
  }

  TTriggerEvent Recorder() {
    return TTriggerEvent::From([this](TObject *, int handle, quint32 interval, int elapsed) {
      fired_.push_back({handle, interval, elapsed});
    });
  }

  // Advances the clock to At and lets the timer tick there.
  void TickAt(std::int64_t at) {
    now_ = at;
    timer_->OnTimeout();
  }

  std::vector<int> FiredHandles() const {
    std::vector<int> out;
    for (const Fired &f : fired_) out.push_back(f.handle);
    return out;
  }

  std::int64_t now_ = 1'000'000'000'000; // far beyond 32 bits: nothing may wrap
  FakeTimer *timer_ = nullptr;
  std::unique_ptr<TOvcTimerPool> pool_;
  std::vector<Fired> fired_;
};

TEST_F(TimerPoolTest, TimerIntervalDividesEveryTriggerDownToTheMinimumAndShortOnesAreRaised) {
  struct Case {
    std::vector<int> intervals;
    int timer;
  } cases[] = {{{100}, 100}, {{100, 250}, 55}, {{120, 180}, 60}, {{56}, 56}, {{10}, 55}};
  for (const Case &c : cases) {
    TOvcTimerPool pool(nullptr, std::make_unique<FakeTimer>(), [this] { return now_; });
    for (int interval : c.intervals) pool.Add(Recorder(), interval);
    EXPECT_EQ(pool.TimerInterval(), c.timer) << c.intervals.size() << " triggers from " << c.intervals[0];
  }
}

TEST_F(TimerPoolTest, RepeatingTriggersFireEachInterval) {
  const int fast = pool_->Add(Recorder(), 100);
  const int slow = pool_->Add(Recorder(), 300);
  const std::int64_t start = now_;
  for (int tick = 1; tick <= 6; ++tick) TickAt(start + 100 * tick);
  const std::vector<int> expected = {fast, fast, fast, slow, fast, fast, fast, slow};
  EXPECT_EQ(FiredHandles(), expected);
  EXPECT_EQ(fired_.back(), (Fired{slow, 300, 600}));
}

TEST_F(TimerPoolTest, FiresWithinTheToleranceBeforeItsTimeAndCapsTheElapsedTime) {
  pool_->Add(Recorder(), 100);
  const std::int64_t start = now_;
  TickAt(start + 72); // 28 ms early: too soon
  EXPECT_TRUE(fired_.empty());
  TickAt(start + 73); // 27 ms early: close enough
  ASSERT_EQ(fired_.size(), 1u);
  EXPECT_EQ(fired_[0].elapsed, 73);
  // The elapsed time is capped at the largest integer.
  TickAt(now_ + 3'000'000'000LL);
  TickAt(now_ + 100);
  ASSERT_EQ(fired_.size(), 3u);
  EXPECT_EQ(std::pair(fired_[1].elapsed, fired_[2].elapsed), std::pair(2147483647, 2147483647));
}

TEST_F(TimerPoolTest, OneShotFiresOnceItsHandleIsSpentEvenInsideItsEventAndHandlesAreNeverReused) {
  const int once = pool_->AddOneTime(Recorder(), 100);
  const int other = pool_->Add(Recorder(), 1000);
  TickAt(now_ + 100);
  TickAt(now_ + 100);
  EXPECT_EQ(FiredHandles(), std::vector<int>{once});
  EXPECT_FALSE(pool_->HasTrigger(once));
  // The timer follows the remaining trigger: 900 ms to its first firing, reduced to divide its 1000.
  EXPECT_EQ(timer_->interval, 200);

  // Inside its own event a one-shot's handle is spent already.
  bool stillThere = true;
  int handle = -1;
  handle = pool_->AddOneTime(TTriggerEvent::From([&](TObject *, int h, quint32, int) {
                               EXPECT_EQ(h, handle);
                               stillThere = pool_->HasTrigger(h);
                             }),
                             100);
  TickAt(now_ + 200);
  EXPECT_FALSE(stillThere);

  // Handles are never reused.
  std::set<int> seen{once, other, handle};
  for (int i = 0; i < 50; ++i) {
    const int h = i % 2 ? pool_->Add(Recorder(), 100) : pool_->AddOneTime(Recorder(), 100);
    EXPECT_TRUE(seen.insert(h).second) << h;
    if (i % 3 == 0) pool_->Remove(h);
  }
  pool_->Remove(*seen.rbegin());
  EXPECT_TRUE(seen.insert(pool_->Add(Recorder(), 100)).second);
}

TEST_F(TimerPoolTest, RemovingTheLastTriggerStopsTheTimerAndNoTimerRaises) {
  const int a = pool_->Add(Recorder(), 100);
  const int b = pool_->Add(Recorder(), 200);
  pool_->Remove(a);
  EXPECT_EQ(timer_->interval, 200);
  pool_->Remove(12345); // unknown: ignored
  EXPECT_EQ(pool_->ActiveCount(), 1);
  pool_->Remove(b);
  EXPECT_EQ(std::tuple(timer_->interval, pool_->TimerInterval(), pool_->ActiveCount()), std::tuple(0, 0, 0));

  // Without a timer available the pool raises and keeps the trigger.
  timer_->refuse = true;
  EXPECT_EQ(MessageOf<ENoTimersAvailable>([&] { pool_->Add(Recorder(), 100); }),
            "No Window's timers are available");
  EXPECT_EQ(pool_->ActiveCount(), 1);
}

TEST_F(TimerPoolTest, EventsMayAddAndRemoveTriggersWhileFiringAndARemovedOneDoesNotFire) {
  int victim = -1;
  const int killer = pool_->Add(TTriggerEvent::From([&](TObject *, int h, quint32, int) {
                                  fired_.push_back({h, 0, 0});
                                  pool_->Remove(victim);
                                }),
                                100);
  victim = pool_->Add(Recorder(), 100);
  TickAt(now_ + 100);
  EXPECT_EQ(FiredHandles(), std::vector<int>{killer});
  EXPECT_FALSE(pool_->HasTrigger(victim));
  pool_->Remove(killer);
  fired_.clear();

  // Events may add and remove triggers while firing.
  std::vector<int> added;
  const int self = pool_->Add(TTriggerEvent::From([&](TObject *, int h, quint32, int) {
                                fired_.push_back({h, 0, 0});
                                pool_->Remove(h);
                                added.push_back(pool_->Add(Recorder(), 100));
                                added.push_back(pool_->AddOneTime(Recorder(), 100));
                              }),
                              100);
  const int neighbour = pool_->Add(Recorder(), 100);
  TickAt(now_ + 100);
  // The triggers added during the tick are not due yet; the neighbour collected before still fires.
  EXPECT_EQ(FiredHandles(), (std::vector<int>{self, neighbour}));
  fired_.clear();
  TickAt(now_ + 100);
  EXPECT_EQ(FiredHandles(), (std::vector<int>{neighbour, added[0], added[1]}));
  EXPECT_FALSE(pool_->HasTrigger(self));
}

TEST_F(TimerPoolTest, AFailingEventGoesToTheApplicationTheOthersStillFireAndTheAllTriggersEventFollows) {
  std::vector<std::string> reported;
  const TExceptionEvent saved = Application()->OnException;
  Application()->OnException =
      TExceptionEvent::From([&](TObject *, const std::exception &e) { reported.push_back(e.what()); });
  std::vector<std::string> order;
  pool_->OnAllTriggers = TTriggerEvent::From(
      [&](TObject *, int h, quint32, int) { order.push_back("all " + std::to_string(h)); });
  pool_->Add(TTriggerEvent::From([](TObject *, int, quint32, int) { throw Exception("boom"); }), 100);
  pool_->Add(TTriggerEvent::From([](TObject *, int, quint32, int) { Abort(); }), 100);
  const int b = pool_->Add(TTriggerEvent::From([&](TObject *, int h, quint32 interval, int elapsed) {
                             fired_.push_back({h, interval, elapsed});
                             order.push_back("own " + std::to_string(h));
                           }),
                           100);
  TickAt(now_ + 100);
  Application()->OnException = saved;
  EXPECT_EQ(FiredHandles(), std::vector<int>{b});
  EXPECT_EQ(reported, std::vector<std::string>{"boom"}) << "the silent abort is not reported";
  // The all-triggers event follows the trigger's own (for those that did not fail).
  EXPECT_EQ(order, (std::vector<std::string>{"own " + std::to_string(b), "all " + std::to_string(b)}));
}

TEST_F(TimerPoolTest, OwnerFreesThePoolAndItsTimer) {
  auto *owner = new TComponent(nullptr);
  auto timer = std::make_unique<FakeTimer>();
  bool alive = true;
  timer->alive = &alive;
  auto *pool = new TOvcTimerPool(owner, std::move(timer), [this] { return now_; });
  pool->Add(Recorder(), 100);
  owner->Free();
  EXPECT_FALSE(alive);
}

} // namespace
