#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "loop_test_util.h"
#include "platform/foundation/loop/DispatchQueue.h"

namespace ns {
namespace {

using namespace std::chrono_literals;
using testing::Countdown;
using testing::kDeadline;

std::string currentThreadName() {
  char name[16] = {};
  ::pthread_getname_np(::pthread_self(), name, sizeof name);
  return name;
}

TEST(SerialDispatchQueueTest, RunsTasksInOrderOnOneThreadNamedAfterTheQueue) {
  auto queue = DispatchQueue::createSerial("com.httpclient.networking.serial");
  EXPECT_EQ(queue->label(), "com.httpclient.networking.serial");
  EXPECT_EQ(queue->kind(), DispatchQueue::Kind::kSerial);
  EXPECT_FALSE(queue->isCurrent());

  std::vector<int> order;
  std::set<std::thread::id> threads;
  std::string threadName;
  for (int i = 0; i < 500; ++i) {
    queue->async([&, i] {
      order.push_back(i);
      threads.insert(std::this_thread::get_id());
    });
  }
  queue->sync([&] {
    threadName = currentThreadName();
    EXPECT_TRUE(queue->isCurrent());
  });
  ASSERT_EQ(order.size(), 500u);
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_EQ(threads.size(), 1u);
  EXPECT_EQ(threadName, "com.httpclient.");
}

TEST(SerialDispatchQueueTest, SyncFromItsOwnTaskRunsInPlace) {
  auto queue = DispatchQueue::createSerial("nested");
  std::vector<std::string> steps;
  queue->sync([&] {
    steps.push_back("outer");
    queue->sync([&] { steps.push_back("inner"); });
    steps.push_back("after");
  });
  EXPECT_EQ(steps, (std::vector<std::string>{"outer", "inner", "after"}));
}

TEST(SerialDispatchQueueTest, ReleaseRunsTheQueuedTasksFirst) {
  std::atomic<int> ran = 0;
  auto queue = DispatchQueue::createSerial("drain");
  Countdown started(1);
  queue->async([&] { started.countDown(); });
  for (int i = 0; i < 100; ++i) {
    queue->async([&] { ++ran; });
  }
  ASSERT_TRUE(started.waitFor());
  queue.reset();
  EXPECT_EQ(ran, 100);
}

TEST(SerialDispatchQueueTest, ReleaseFromItsOwnTaskLetsTheThreadEndOnItsOwn) {
  auto holder = std::make_shared<std::shared_ptr<DispatchQueue>>(DispatchQueue::createSerial("self release"));
  Countdown gate(1);
  Countdown laterTaskRan(1);
  DispatchQueue& queue = **holder;
  queue.async([holder, &gate] {
    gate.waitFor();
    holder->reset();
  });
  queue.async([&] { laterTaskRan.countDown(); });
  gate.countDown();
  EXPECT_TRUE(laterTaskRan.waitFor());
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
  auto queue = DispatchQueue::createConcurrent("parallel");
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
  ASSERT_TRUE(allFinished.waitFor(2 * kDeadline));
  EXPECT_EQ(sawOthers, kTasks);
  EXPECT_FALSE(queue->isCurrent());
}

TEST(ConcurrentDispatchQueueTest, SyncFromItsOwnTaskRunsInPlace) {
  auto queue = DispatchQueue::createConcurrent("nested pool");
  std::thread::id outer;
  std::thread::id inner;
  queue->sync([&] {
    outer = std::this_thread::get_id();
    queue->sync([&] { inner = std::this_thread::get_id(); });
  });
  EXPECT_EQ(outer, inner);
  EXPECT_NE(outer, std::this_thread::get_id());
}

TEST(ConcurrentDispatchQueueTest, ReleaseRunsTheQueuedTasks) {
  std::atomic<int> ran = 0;
  auto queue = DispatchQueue::createConcurrent("drain pool");
  for (int i = 0; i < 200; ++i) {
    queue->async([&] { ++ran; });
  }
  queue.reset();
  EXPECT_EQ(ran, 200);
}

TEST(ConcurrentDispatchQueueTest, ReleaseFromItsOwnTaskStillRunsTheQueuedTasks) {
  auto holder =
      std::make_shared<std::shared_ptr<DispatchQueue>>(DispatchQueue::createConcurrent("self pool"));
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
  EXPECT_TRUE(released->waitFor());
  EXPECT_TRUE(laterTasksRan->waitFor());
}

TEST(ConcurrentDispatchQueueTest, GlobalQueueIsConcurrentAndRetainable) {
  DispatchQueue& global = DispatchQueue::global();
  EXPECT_EQ(global.kind(), DispatchQueue::Kind::kConcurrent);
  EXPECT_EQ(global.retained().get(), &global);
  Countdown ran(1);
  global.async([&] { ran.countDown(); });
  EXPECT_TRUE(ran.waitFor());
}

TEST(MainDispatchQueueTest, RunsTasksOnTheMainLoopAndSyncWaitsForThem) {
  DispatchQueue& main = DispatchQueue::main();
  EXPECT_EQ(main.kind(), DispatchQueue::Kind::kMain);
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
  ManualClock& clock = RunLoop::main().installManualClockForTesting();
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
