#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "loop_test_util.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "support/scoped_manual_clock.h"

namespace ns {
namespace {

using namespace std::chrono_literals;
using testing::Countdown;
using testing::kDeadline;

// Makers of the queues with threads of their own, for checks that hold for both kinds.
const std::vector<std::function<std::shared_ptr<DispatchQueue>()>> kQueueMakers = {
    [] { return DispatchQueue::createSerial("serial"); },
    [] { return DispatchQueue::createConcurrent("concurrent"); },
};

TEST(SerialDispatchQueueTest, RunsTasksInOrderOnOneThreadNamedAfterTheQueue) {
  auto queue = DispatchQueue::createSerial("com.httpclient.networking.serial");
  EXPECT_FALSE(queue->isCurrent());
  std::vector<int> order;
  std::set<std::thread::id> threads;
  for (int i = 0; i < 500; ++i) {
    queue->async([&, i] {
      order.push_back(i);
      threads.insert(std::this_thread::get_id());
    });
  }
  char threadName[16] = {};
  queue->sync([&] {
    ::pthread_getname_np(::pthread_self(), threadName, sizeof threadName);
    EXPECT_TRUE(queue->isCurrent());
  });
  ASSERT_EQ(order.size(), 500u);
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_EQ(threads.size(), 1u);
  EXPECT_STREQ(threadName, "com.httpclient.");
}

TEST(DispatchQueueTest, SyncFromItsOwnTaskRunsInPlace) {
  for (const auto& makeQueue : kQueueMakers) {
    auto queue = makeQueue();
    std::vector<std::string> steps;
    std::set<std::thread::id> threads;
    queue->sync([&] {
      steps.push_back("outer");
      threads.insert(std::this_thread::get_id());
      queue->sync([&] {
        steps.push_back("inner");
        threads.insert(std::this_thread::get_id());
      });
      steps.push_back("after");
    });
    EXPECT_EQ(steps, (std::vector<std::string>{"outer", "inner", "after"})) << queue->label();
    EXPECT_EQ(threads.size(), 1u) << queue->label();
    EXPECT_FALSE(threads.contains(std::this_thread::get_id())) << queue->label();
  }
}

TEST(DispatchQueueTest, ReleaseRunsTheQueuedTasksFirst) {
  for (const auto& makeQueue : kQueueMakers) {
    for (const bool threadsStarted : {false, true}) {
      std::atomic<int> ran = 0;
      auto queue = makeQueue();
      const std::string label = queue->label() + (threadsStarted ? " started" : " new");
      Countdown started(1);
      queue->async([&] { started.countDown(); });
      for (int i = 0; i < 100; ++i) {
        queue->async([&] { ++ran; });
      }
      if (threadsStarted) {
        ASSERT_TRUE(started.waitFor()) << label;
      }
      queue.reset();
      EXPECT_EQ(ran, 100) << label;
    }
  }
}

TEST(DispatchQueueTest, ReleaseFromItsOwnTaskStillRunsTheQueuedTasks) {
  for (const auto& makeQueue : kQueueMakers) {
    auto holder = std::make_shared<std::shared_ptr<DispatchQueue>>(makeQueue());
    const std::string label = (*holder)->label();
    // Shared with the tasks, which may still be returning from their waits when the test ends.
    auto gate = std::make_shared<Countdown>(1);
    auto released = std::make_shared<Countdown>(1);
    auto laterTasksRan = std::make_shared<Countdown>(20);
    DispatchQueue& queue = **holder;
    queue.async([holder, gate, released] {
      gate->waitFor();
      holder->reset();
      released->countDown();
    });
    for (int i = 0; i < 20; ++i) {
      queue.async([laterTasksRan] { laterTasksRan->countDown(); });
    }
    gate->countDown();
    EXPECT_TRUE(released->waitFor()) << label;
    EXPECT_TRUE(laterTasksRan->waitFor()) << label;
  }
}

TEST(SerialDispatchQueueTest, AfterRunsOnTheQueueOnceTheDelayHasPassed) {
  auto queue = DispatchQueue::createSerial("delayed");
  Countdown ran(1);
  std::atomic<bool> onQueue = false;
  const auto start = SteadyClock::now();
  queue->after(20ms, [&] {
    onQueue = queue->isCurrent();
    ran.countDown();
  });
  ASSERT_TRUE(ran.waitFor());
  EXPECT_GE(SteadyClock::now() - start, 20ms);
  EXPECT_TRUE(onQueue);
}

TEST(ConcurrentDispatchQueueTest, RunsTasksAtTheSameTime) {
  // Each task waits for all the others to have started: only a queue running them at once gets through.
  constexpr int kTasks = 6;
  for (const auto& queue :
       {DispatchQueue::createConcurrent("parallel"), DispatchQueue::global().retained()}) {
    Countdown allStarted(kTasks);
    Countdown allFinished(kTasks);
    std::atomic<int> sawOthers = 0;
    for (int i = 0; i < kTasks; ++i) {
      queue->async([&] {
        EXPECT_TRUE(queue->isCurrent());
        allStarted.countDown();
        if (allStarted.waitFor()) {
          ++sawOthers;
        }
        allFinished.countDown();
      });
    }
    ASSERT_TRUE(allFinished.waitFor(2 * kDeadline)) << queue->label();
    EXPECT_EQ(sawOthers, kTasks) << queue->label();
    EXPECT_FALSE(queue->isCurrent());
  }
}

TEST(MainDispatchQueueTest, RunsTasksOnTheMainLoopAndSyncWaitsForThem) {
  DispatchQueue& main = DispatchQueue::main();
  EXPECT_TRUE(main.isCurrent());
  std::atomic<bool> ran = false;
  std::atomic<bool> ranOnMain = false;
  std::thread worker([&] {
    main.sync([&] {
      ranOnMain = RunLoop::isMainThread();
      ran = true;
    });
  });
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return ran.load(); }, kDeadline));
  worker.join();  // sync() returns once the task has run
  EXPECT_TRUE(ranOnMain);

  bool inPlace = false;
  main.sync([&] { inPlace = true; });
  EXPECT_TRUE(inPlace);
}

TEST(MainDispatchQueueTest, AfterIsDrivenByTheManualClock) {
  testsupport::ScopedManualClock clock;
  DispatchQueue& main = DispatchQueue::main();
  std::vector<std::string> fired;
  main.after(10s, [&] { fired.push_back("main thread"); });

  // From another thread the timer is scheduled by the main loop's next turn.
  Countdown requested(1);
  DispatchQueue::global().async([&] {
    main.after(5s, [&] { fired.push_back("background"); });
    requested.countDown();
  });
  ASSERT_TRUE(requested.waitFor());
  RunLoop::main().runPending();

  clock.advance(4s);
  EXPECT_TRUE(fired.empty());
  clock.advance(1s);
  EXPECT_EQ(fired, (std::vector<std::string>{"background"}));
  clock.advance(5s);
  EXPECT_EQ(fired, (std::vector<std::string>{"background", "main thread"}));
}

}  // namespace
}  // namespace ns
