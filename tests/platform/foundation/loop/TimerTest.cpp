#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/loop/Timer.h"

namespace ns {
namespace {

using namespace std::chrono_literals;

// Timers on the main loop under its manual clock. Every test invalidates the timers it leaves behind, since
// the main loop (and its clock) is shared by the whole test program.
class TimerTest : public ::testing::Test {
 protected:
  RunLoop& loop_ = RunLoop::main();
  ManualClock& clock_ = loop_.installManualClockForTesting();
  std::vector<std::string> fired_;

  std::shared_ptr<Timer> record(std::string name, Duration interval, Timer::Repeats repeats) {
    return Timer::scheduled(loop_, interval, repeats, [this, name](Timer&) { fired_.push_back(name); });
  }
};

TEST_F(TimerTest, FiresByDateThenInSchedulingOrder) {
  auto late = record("late", 20s, Timer::Repeats::kNo);
  auto first = record("first", 10s, Timer::Repeats::kNo);
  auto second = record("second", 10s, Timer::Repeats::kNo);

  clock_.advance(9s);
  EXPECT_TRUE(fired_.empty());
  clock_.advance(30s);
  EXPECT_EQ(fired_, (std::vector<std::string>{"first", "second", "late"}));
  EXPECT_FALSE(first->isValid());
  EXPECT_FALSE(late->isValid());
}

TEST_F(TimerTest, RepeatingTimerFiresOncePerIntervalWithClockAtEachFireDate) {
  const TimePoint start = loop_.now();
  std::vector<TimePoint> fireTimes;
  auto heartbeat =
      Timer::scheduled(60s, Timer::Repeats::kYes, [&](Timer&) { fireTimes.push_back(loop_.now()); });

  clock_.advance(60s);
  ASSERT_EQ(fireTimes.size(), 1u);
  clock_.advance(180s);
  EXPECT_EQ(fireTimes, (std::vector<TimePoint>{start + 60s, start + 120s, start + 180s, start + 240s}));
  EXPECT_EQ(loop_.now(), start + 240s);
  EXPECT_TRUE(heartbeat->isValid());
  heartbeat->invalidate();
  clock_.advance(600s);
  EXPECT_EQ(fireTimes.size(), 4u);
}

TEST_F(TimerTest, RepeatingAndOneShotInterleaveInDateOrder) {
  auto tick = record("tick", 10s, Timer::Repeats::kYes);
  auto once = record("once", 25s, Timer::Repeats::kNo);
  clock_.advance(40s);
  EXPECT_EQ(fired_, (std::vector<std::string>{"tick", "tick", "once", "tick", "tick"}));
  tick->invalidate();
}

TEST_F(TimerTest, InvalidationInsideCallbacks) {
  std::shared_ptr<Timer> victim;
  int selfStopperFires = 0;
  auto selfStopper = Timer::scheduled(loop_, 5s, Timer::Repeats::kYes, [&](Timer& timer) {
    if (++selfStopperFires == 2) {
      timer.invalidate();
    }
  });
  // Due at the same moment as the victim, and scheduled before it: the victim must not fire afterwards.
  auto killer = Timer::scheduled(loop_, 30s, Timer::Repeats::kNo, [&](Timer&) { victim->invalidate(); });
  victim = record("victim", 30s, Timer::Repeats::kNo);

  clock_.advance(60s);
  EXPECT_EQ(selfStopperFires, 2);
  EXPECT_FALSE(selfStopper->isValid());
  EXPECT_TRUE(fired_.empty());
  EXPECT_FALSE(victim->isValid());
}

TEST_F(TimerTest, SetFireDateMovesTheTimerAndCountsAsSchedulingAnew) {
  auto a = record("a", 10s, Timer::Repeats::kNo);
  auto b = record("b", 10s, Timer::Repeats::kNo);
  a->setFireDate(b->fireDate());  // now scheduled after b
  auto c = record("c", 50s, Timer::Repeats::kNo);
  c->setFireDate(loop_.now() + 5s);

  clock_.advance(10s);
  EXPECT_EQ(fired_, (std::vector<std::string>{"c", "b", "a"}));
}

TEST_F(TimerTest, RepeatingTimerMovedFromItsOwnBlockKeepsItsInterval) {
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

TEST_F(TimerTest, ManualClockTimersWaitForTheClockNotForRealTime) {
  auto soon = record("soon", 1ms, Timer::Repeats::kNo);
  EXPECT_FALSE(loop_.runUntil([&] { return !fired_.empty(); }, 50ms));
  clock_.advance(1ms);
  EXPECT_EQ(fired_, (std::vector<std::string>{"soon"}));
}

TEST_F(TimerTest, DueTimerFiresInTheNextTurnAndFireRunsTheBlockAtOnce) {
  auto zero = record("zero", 0s, Timer::Repeats::kNo);
  loop_.runPending();
  EXPECT_EQ(fired_, (std::vector<std::string>{"zero"}));

  auto manual = record("manual", 100s, Timer::Repeats::kNo);
  manual->fire();
  EXPECT_FALSE(manual->isValid());
  manual->fire();
  clock_.advance(200s);
  EXPECT_EQ(fired_, (std::vector<std::string>{"zero", "manual"}));
}

}  // namespace
}  // namespace ns
