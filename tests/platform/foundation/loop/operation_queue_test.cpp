#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "loop_test_util.h"
#include "platform/foundation/loop/BlockOperation.h"
#include "platform/foundation/loop/OperationQueue.h"

namespace ns {
namespace {

using testing::AnnouncementLog;
using testing::Countdown;
using testing::kDeadline;

// A concurrent operation with a paused state of its own, as network operations keep one: it announces under
// its own recursive lock, new state's key first. Its work ends when the test calls finish().
class PausableOperation : public Operation {
 public:
  enum class State { kPaused, kReady, kExecuting, kFinished };

  bool isReady() const override { return state_ == State::kReady && Operation::isReady(); }
  bool isExecuting() const override { return state_ == State::kExecuting; }
  bool isFinished() const override { return state_ == State::kFinished; }
  bool isConcurrent() const override { return true; }
  bool isPaused() const { return state_ == State::kPaused; }
  int starts() const { return starts_; }
  // Waits, with the deadline, until the operation executes, as started from another thread.
  bool waitUntilExecuting() {
    std::unique_lock lock(waitMutex_);
    return changed_.wait_for(lock, kDeadline, [this] { return isExecuting(); });
  }
  std::thread::id startThread() const {
    std::lock_guard lock(mutex_);
    return startThread_;
  }

  void start() override {
    std::lock_guard lock(mutex_);
    if (isCancelled()) {
      setState(State::kFinished);
    } else if (isReady()) {
      ++starts_;
      startThread_ = std::this_thread::get_id();
      setState(State::kExecuting);
    }
  }
  void finish() { setState(State::kFinished); }
  void pause() {
    std::lock_guard lock(mutex_);
    if (!isPaused() && !isFinished() && !isCancelled()) {
      setState(State::kPaused);
    }
  }
  void resume() {
    std::lock_guard lock(mutex_);
    if (isPaused()) {
      setState(State::kReady);
      start();
    }
  }

 private:
  void setState(State to) {
    static constexpr std::string_view kKeys[] = {"isPaused", kIsReadyKey, kIsExecutingKey, kIsFinishedKey};
    const State from = state_;
    if (from == State::kFinished || (from == State::kPaused && to != State::kReady)) {
      return;
    }
    std::lock_guard lock(mutex_);
    willChangeValueForKey(kKeys[static_cast<int>(to)]);
    willChangeValueForKey(kKeys[static_cast<int>(from)]);
    state_ = to;
    didChangeValueForKey(kKeys[static_cast<int>(from)]);
    didChangeValueForKey(kKeys[static_cast<int>(to)]);
    std::lock_guard waitLock(waitMutex_);
    changed_.notify_all();
  }

  mutable std::recursive_mutex mutex_;
  std::atomic<State> state_ = State::kReady;
  std::atomic<int> starts_ = 0;
  std::thread::id startThread_;  // Guarded by mutex_
  std::mutex waitMutex_;
  std::condition_variable changed_;
};

// Finishes `operation` on a thread of its own, as a network thread would, and returns that thread's id.
std::thread::id finishOnAnotherThread(PausableOperation& operation) {
  std::thread::id finisher;
  std::thread network([&] {
    finisher = std::this_thread::get_id();
    operation.finish();
  });
  network.join();
  return finisher;
}

TEST(OperationQueueTest, RunsOperationsOnOtherThreadsInDependencyOrderAndAddOperationsWaitsForThem) {
  OperationQueue queue;
  std::mutex mutex;
  std::vector<std::string> order;
  const auto caller = std::this_thread::get_id();
  auto record = [&](std::string name) {
    return BlockOperation::create([&, name] {
      std::lock_guard lock(mutex);
      order.push_back(std::this_thread::get_id() == caller ? "on caller" : name);
    });
  };
  auto fetch = record("fetch");
  auto parse = record("parse");
  auto report = record("report");
  report->addDependency(parse);
  parse->addDependency(fetch);
  queue.addOperations({report, parse, fetch}, OperationQueue::WaitUntilFinished::kYes);
  std::lock_guard lock(mutex);
  EXPECT_EQ(order, (std::vector<std::string>{"fetch", "parse", "report"}));
  EXPECT_EQ(queue.operationCount(), 0u);
}

TEST(OperationQueueTest, AnOperationMadeReadyByAnotherNeverStartsOnTheAnnouncingThread) {
  OperationQueue queue;
  auto dependency = std::make_shared<PausableOperation>();
  auto dependent = std::make_shared<PausableOperation>();
  dependent->addDependency(dependency);
  queue.addOperation(dependency);
  queue.addOperation(dependent);
  EXPECT_TRUE(dependency->isExecuting());
  EXPECT_FALSE(dependent->isExecuting());

  // The finisher announces under the dependency's lock; starting the dependent there would nest its lock.
  const std::thread::id finisher = finishOnAnotherThread(*dependency);
  ASSERT_TRUE(dependent->waitUntilExecuting());
  EXPECT_NE(dependent->startThread(), finisher);
  EXPECT_NE(dependent->startThread(), std::this_thread::get_id());

  finishOnAnotherThread(*dependent);
  EXPECT_TRUE(queue.waitUntilAllOperationsAreFinished(kDeadline));
}

TEST(OperationQueueTest, ConcurrentOperationsStartInPlaceThenWaitForRoomUnderTheLimitInTheOrderAdded) {
  OperationQueue queue;
  queue.setMaxConcurrentOperationCount(2);
  std::vector<std::shared_ptr<PausableOperation>> operations;
  for (int i = 0; i < 4; ++i) {
    operations.push_back(std::make_shared<PausableOperation>());
    queue.addOperation(operations.back());
  }
  const auto executing = [&] {
    std::vector<bool> states;
    for (const auto& operation : operations) {
      states.push_back(operation->isExecuting());
    }
    return states;
  };
  // A ready one's start() only begins the work, so addOperation() calls it in place.
  EXPECT_EQ(executing(), (std::vector<bool>{true, true, false, false}));
  EXPECT_EQ(operations[0]->startThread(), std::this_thread::get_id());

  finishOnAnotherThread(*operations[0]);
  ASSERT_TRUE(operations[2]->waitUntilExecuting());
  EXPECT_EQ(executing(), (std::vector<bool>{false, true, true, false}));

  finishOnAnotherThread(*operations[1]);
  ASSERT_TRUE(operations[3]->waitUntilExecuting());
  EXPECT_EQ(executing(), (std::vector<bool>{false, false, true, true}));

  finishOnAnotherThread(*operations[2]);
  finishOnAnotherThread(*operations[3]);
  EXPECT_TRUE(queue.waitUntilAllOperationsAreFinished(kDeadline));
  for (const auto& operation : operations) {
    EXPECT_EQ(operation->starts(), 1);
  }
}

TEST(OperationQueueTest, NeverExecutesMoreThanTheLimit) {
  constexpr int kOperations = 8;
  constexpr int kLimit = 2;
  OperationQueue queue;
  queue.setMaxConcurrentOperationCount(kLimit);
  // Each operation holds its slot until the test hands it a permit, so every moment is seen.
  std::mutex mutex;
  std::condition_variable changed;
  int executing = 0;
  int peak = 0;
  int permits = 0;
  int finished = 0;
  for (int i = 0; i < kOperations; ++i) {
    queue.addOperation(BlockOperation::create([&] {
      std::unique_lock lock(mutex);
      peak = std::max(peak, ++executing);
      changed.notify_all();
      changed.wait_for(lock, kDeadline, [&] { return permits > 0; });
      --permits;
      --executing;
      ++finished;
      changed.notify_all();
    }));
  }
  for (int released = 0; released < kOperations; ++released) {
    std::unique_lock lock(mutex);
    const int expected = std::min(kLimit, kOperations - released);
    ASSERT_TRUE(
        changed.wait_for(lock, kDeadline, [&] { return finished == released && executing == expected; }));
    ++permits;
    changed.notify_all();
  }
  ASSERT_TRUE(queue.waitUntilAllOperationsAreFinished(kDeadline));
  EXPECT_EQ(peak, kLimit);
}

TEST(OperationQueueTest, CancelledOperationsFinishWithoutRunningAndCompleteOnce) {
  OperationQueue queue;
  queue.setSuspended(true);
  std::atomic<int> ran = 0;
  std::atomic<int> completions = 0;
  Countdown allCompleted(3);
  std::vector<std::shared_ptr<Operation>> operations;
  for (int i = 0; i < 3; ++i) {
    operations.push_back(BlockOperation::create([&] { ++ran; }));
    operations.back()->setCompletionBlock([&] {
      ++completions;
      allCompleted.countDown();
    });
  }
  queue.addOperations(operations, OperationQueue::WaitUntilFinished::kNo);
  EXPECT_EQ(queue.operations(), operations);

  queue.cancelAllOperations();
  queue.setSuspended(false);
  ASSERT_TRUE(queue.waitUntilAllOperationsAreFinished(kDeadline));
  ASSERT_TRUE(allCompleted.waitFor());
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(completions, 3);
  for (const auto& operation : operations) {
    EXPECT_TRUE(operation->isFinished());
  }
}

TEST(OperationQueueTest, PausedOperationKeepsItsPlaceUntilItFinishes) {
  OperationQueue queue;
  auto operation = std::make_shared<PausableOperation>();
  AnnouncementLog log(*operation);
  Countdown completed(1);
  std::atomic<int> completions = 0;
  operation->setCompletionBlock([&] {
    ++completions;
    completed.countDown();
  });

  queue.addOperation(operation);
  ASSERT_TRUE(operation->waitUntilExecuting());
  operation->pause();
  EXPECT_TRUE(operation->isPaused());
  EXPECT_EQ(queue.operationCount(), 1u);

  operation->resume();
  EXPECT_TRUE(operation->isExecuting());
  EXPECT_EQ(operation->starts(), 2);

  finishOnAnotherThread(*operation);
  ASSERT_TRUE(queue.waitUntilAllOperationsAreFinished(kDeadline));
  ASSERT_TRUE(completed.waitFor());
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(log.entries(),
            (std::vector<std::string>{
                "will isExecuting", "will isReady",     "did isReady",     "did isExecuting",  // start
                "will isPaused",    "will isExecuting", "did isExecuting", "did isPaused",     // pause
                "will isReady",     "will isPaused",    "did isPaused",    "did isReady",      // resume
                "will isExecuting", "will isReady",     "did isReady",     "did isExecuting",  // start again
                "will isFinished",  "will isExecuting", "did isExecuting", "did isFinished"}));
}

TEST(OperationQueueTest, ReleasedQueueStillRunsItsOperations) {
  Countdown ran(2);
  {
    OperationQueue queue;
    queue.setSuspended(true);
    queue.addOperation(BlockOperation::create([&] { ran.countDown(); }));
    queue.addOperation(BlockOperation::create([&] { ran.countDown(); }));
  }
  EXPECT_TRUE(ran.waitFor());
}

}  // namespace
}  // namespace ns
