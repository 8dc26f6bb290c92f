#include "platform/foundation/loop/Timer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/loop/RunLoop.h"
#include "support/scoped_manual_clock.h"

namespace ns {
namespace {

using namespace std::chrono_literals;

// Timers on the main loop's manual clock; each test invalidates the repeating timers it leaves behind.
class TimerTest : public ::testing::Test {
 protected:
  RunLoop& loop_ = RunLoop::main();
  testsupport::ScopedManualClock clock_{loop_};
  std::vector<std::string> fired_;

  std::shared_ptr<Timer> record(std::string name, Duration interval, Timer::Repeats repeats) {
    return Timer::scheduled(loop_, interval, repeats, [this, name](Timer&) { fired_.push_back(name); });
  }
};

TEST_F(TimerTest, FiresByDateThenInSchedulingOrderWithRepeatingAndOneShotInterleaved) {
  auto late = record("late", 20s, Timer::Repeats::kNo);
  auto first = record("first", 10s, Timer::Repeats::kNo);
  auto second = record("second", 10s, Timer::Repeats::kNo);
  auto tick = record("tick", 8s, Timer::Repeats::kYes);

  clock_.advance(7s);
  EXPECT_TRUE(fired_.empty());
  clock_.advance(18s);
  EXPECT_EQ(fired_, (std::vector<std::string>{"tick", "first", "second", "tick", "late", "tick"}));
  EXPECT_FALSE(first->isValid());
  EXPECT_FALSE(late->isValid());
  tick->invalidate();
}

TEST_F(TimerTest, RepeatingTimerFiresOncePerIntervalAndSkipsIntervalsMissed) {
  const TimePoint start = loop_.now();
  std::vector<TimePoint> fireTimes;
  auto heartbeat =
      Timer::scheduled(60s, Timer::Repeats::kYes, [&](Timer&) { fireTimes.push_back(loop_.now()); });

  clock_.advance(60s);
  ASSERT_EQ(fireTimes.size(), 1u);
  clock_.advance(180s);
  EXPECT_EQ(fireTimes, (std::vector<TimePoint>{start + 60s, start + 120s, start + 180s, start + 240s}));
  EXPECT_EQ(loop_.now(), start + 240s);

  // Due 150s ago: one fire now, then back on its grid (start + 90s + whole intervals), not a burst.
  heartbeat->setFireDate(loop_.now() - 150s);
  loop_.runPending();
  clock_.advance(30s);
  EXPECT_EQ(fireTimes.size(), 6u);
  EXPECT_EQ(fireTimes.back(), start + 270s);
  heartbeat->invalidate();
  clock_.advance(600s);
  EXPECT_EQ(fireTimes.size(), 6u);
}

TEST_F(TimerTest, InvalidationInsideCallbacks) {
  std::shared_ptr<Timer> victim;
  int selfStopperFires = 0;
  auto selfStopper = Timer::scheduled(loop_, 5s, Timer::Repeats::kYes, [&](Timer& timer) {
    if (++selfStopperFires == 2) {
      timer.invalidate();
    }
  });
  // Due with the victim and scheduled before it: the victim must not fire afterwards.
  auto killer = Timer::scheduled(loop_, 30s, Timer::Repeats::kNo, [&](Timer&) { victim->invalidate(); });
  victim = record("victim", 30s, Timer::Repeats::kNo);

  clock_.advance(60s);
  EXPECT_EQ(selfStopperFires, 2);
  EXPECT_FALSE(selfStopper->isValid());
  EXPECT_TRUE(fired_.empty());
  EXPECT_FALSE(victim->isValid());
}

TEST_F(TimerTest, SetFireDateMovesTheTimerCountsAsSchedulingAnewAndKeepsTheInterval) {
  auto a = record("a", 10s, Timer::Repeats::kNo);
  auto b = record("b", 10s, Timer::Repeats::kNo);
  a->setFireDate(b->fireDate());  // now scheduled after b
  auto c = record("c", 50s, Timer::Repeats::kNo);
  c->setFireDate(loop_.now() + 5s);
  clock_.advance(10s);
  EXPECT_EQ(fired_, (std::vector<std::string>{"c", "b", "a"}));

  // A repeating timer moved from its own block goes on from the new date.
  const TimePoint start = loop_.now();
  std::vector<TimePoint> fireTimes;
  auto timer = Timer::scheduled(loop_, 10s, Timer::Repeats::kYes, [&](Timer& self) {
    fireTimes.push_back(loop_.now());
    if (fireTimes.size() == 1) {
      self.setFireDate(loop_.now() + 100s);
    }
  });
  clock_.advance(130s);
  EXPECT_EQ(fireTimes, (std::vector<TimePoint>{start + 10s, start + 110s, start + 120s, start + 130s}));
  timer->invalidate();
}

TEST_F(TimerTest, DueTimerFiresInTheNextTurnManualClockTimersWaitForTheClockAndFireRunsTheBlockAtOnce) {
  auto zero = record("zero", 0s, Timer::Repeats::kNo);
  auto soon = record("soon", 1ms, Timer::Repeats::kNo);
  loop_.runPending();
  EXPECT_EQ(fired_, (std::vector<std::string>{"zero"}));
  EXPECT_FALSE(loop_.runUntil([&] { return fired_.size() > 1; }, 20ms));
  clock_.advance(1ms);
  EXPECT_EQ(fired_, (std::vector<std::string>{"zero", "soon"}));

  auto manual = record("manual", 100s, Timer::Repeats::kNo);
  manual->fire();
  EXPECT_FALSE(manual->isValid());
  manual->fire();
  clock_.advance(200s);
  EXPECT_EQ(fired_, (std::vector<std::string>{"zero", "soon", "manual"}));
}

// A test's manual clock ends with its scope: the loop reads the steady clock again, which is far behind the
// hour the manual clock was moved on.
TEST(ScopedManualClockTest, TheLoopReadsTheSteadyClockAgainWhenTheScopeEnds) {
  RunLoop& loop = RunLoop::main();
  TimePoint manualTime;
  {
    testsupport::ScopedManualClock clock(loop);
    clock.advance(1h);
    manualTime = loop.now();
    EXPECT_EQ(manualTime, clock.now());
  }
  EXPECT_LT(loop.now(), manualTime);
}

}  // namespace
}  // namespace ns
