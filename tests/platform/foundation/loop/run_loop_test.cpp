#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "loop_test_util.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/loop/RunLoopThread.h"

namespace ns {
namespace {

using namespace std::chrono_literals;
using testing::kDeadline;

TEST(RunLoopTest, PostedTasksRunInOrderNeverBeforePostReturnsAndTheirOwnPostsInTheNextTurn) {
  RunLoop& loop = RunLoop::main();
  loop.runUntil([] { return false; }, 0s);  // drop what earlier tests left behind
  std::vector<std::string> order;
  loop.post([&] {
    order.push_back("parent");
    loop.post([&] { order.push_back("child"); });
  });
  loop.post([&] { order.push_back("sibling"); });
  EXPECT_TRUE(order.empty());

  loop.runPending();
  EXPECT_EQ(order, (std::vector<std::string>{"parent", "sibling"}));
  loop.runPending();
  EXPECT_EQ(order, (std::vector<std::string>{"parent", "sibling", "child"}));
}

TEST(RunLoopTest, ManyProducersKeepTheirOwnOrder) {
  RunLoop& loop = RunLoop::main();
  constexpr int kProducers = 4;
  constexpr int kTasksEach = 2000;
  std::vector<std::vector<int>> received(kProducers);
  std::size_t total = 0;
  std::vector<std::thread> producers;
  for (int producer = 0; producer < kProducers; ++producer) {
    producers.emplace_back([&, producer] {
      for (int sequence = 0; sequence < kTasksEach; ++sequence) {
        loop.post([&, producer, sequence] {
          received[producer].push_back(sequence);
          ++total;
        });
      }
    });
  }
  const bool allArrived = loop.runUntil([&] { return total == kProducers * kTasksEach; }, kDeadline);
  for (auto& producer : producers) {
    producer.join();
  }
  ASSERT_TRUE(allArrived);
  for (const auto& sequences : received) {
    ASSERT_EQ(sequences.size(), static_cast<std::size_t>(kTasksEach));
    EXPECT_TRUE(std::is_sorted(sequences.begin(), sequences.end()));
  }
}

TEST(RunLoopTest, RunUntilStopsAtItsPredicateOrItsTimeout) {
  RunLoop& loop = RunLoop::main();
  const auto start = SteadyClock::now();
  EXPECT_FALSE(loop.runUntil([] { return false; }, 30ms));
  EXPECT_GE(SteadyClock::now() - start, 30ms);

  // The predicate is checked after every callback: the second task stays queued.
  int ran = 0;
  loop.post([&] { ++ran; });
  loop.post([&] { ++ran; });
  EXPECT_TRUE(loop.runUntil([&] { return ran == 1; }, kDeadline));
  EXPECT_EQ(ran, 1);
  EXPECT_TRUE(loop.runUntil([&] { return ran == 2; }, kDeadline));
}

TEST(RunLoopTest, PostFromAnotherThreadWakesAWaitingLoop) {
  std::atomic<bool> done = false;
  std::thread poster([&] { RunLoop::main().post([&] { done = true; }); });
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return done.load(); }, kDeadline));
  poster.join();
}

TEST(RunLoopTest, StopEndsRunAfterTheCurrentCallback) {
  RunLoop& loop = RunLoop::main();
  int later = 0;
  loop.post([&] { loop.stop(); });
  loop.post([&] { ++later; });
  loop.run();
  EXPECT_EQ(later, 0);
  EXPECT_TRUE(loop.runUntil([&] { return later == 1; }, kDeadline));

  const auto start = SteadyClock::now();
  std::thread stopper([&] { loop.stop(); });
  EXPECT_FALSE(loop.runUntil([] { return false; }, kDeadline));
  EXPECT_LT(SteadyClock::now() - start, kDeadline);
  stopper.join();
}

TEST(RunLoopThreadTest, RunsTasksOnItsOwnNamedThreadUntilReleased) {
  EXPECT_TRUE(RunLoop::isMainThread());
  EXPECT_EQ(&RunLoop::current(), &RunLoop::main());
  EXPECT_TRUE(RunLoop::main().isCurrent());
  std::thread::id worker;
  testing::Countdown ran(1);
  {
    RunLoopThread thread("HTTPClient");
    EXPECT_FALSE(thread.isCurrent());
    thread.runLoop().post([&] {
      worker = std::this_thread::get_id();
      EXPECT_TRUE(thread.isCurrent());
      EXPECT_EQ(&RunLoop::current(), &thread.runLoop());
      EXPECT_FALSE(RunLoop::isMainThread());
      EXPECT_FALSE(RunLoop::main().isCurrent());
      RunLoop::current().stop();  // stopping the loop does not end the thread
    });
    thread.runLoop().post([&] { ran.countDown(); });
    EXPECT_TRUE(ran.waitFor());
  }
  EXPECT_NE(worker, std::this_thread::get_id());
}

TEST(RunLoopThreadTest, ReleasedWhileItsLoopIsAwakeItEndsWithoutTouchingTheGoneLoop) {
  // The loop may run the ending task and be destroyed before post() has finished waking it (sanitizers).
  for (int round = 0; round < 100; ++round) {
    std::atomic<bool> releasing = false;
    testing::Countdown busy(1);
    auto thread = std::make_unique<RunLoopThread>("loop.release");
    thread->runLoop().post([&] {
      busy.countDown();
      while (!releasing) {
        std::this_thread::yield();
      }
    });
    ASSERT_TRUE(busy.waitFor());
    releasing = true;
    thread.reset();
  }
}

}  // namespace
}  // namespace ns
