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

using namespace std::chrono_literals;
using testing::Countdown;
using testing::kDeadline;

// A concurrent operation with a state machine of its own and a paused state, as network operations keep
// one: it announces its changes under its own recursive lock, new state's key first. Its work ends when the
// test calls finish().
class PausableOperation : public Operation {
 public:
  enum class State { kPaused, kReady, kExecuting, kFinished };

  bool isReady() const override { return state_ == State::kReady && Operation::isReady(); }
  bool isExecuting() const override { return state_ == State::kExecuting; }
  bool isFinished() const override { return state_ == State::kFinished; }
  bool isConcurrent() const override { return true; }
  bool isPaused() const { return state_ == State::kPaused; }
  int starts() const { return starts_; }
  // The thread that last started the operation.
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
  static std::string_view keyOf(State state) {
    switch (state) {
      case State::kPaused:
        return "isPaused";
      case State::kReady:
        return kIsReadyKey;
      case State::kExecuting:
        return kIsExecutingKey;
      case State::kFinished:
        return kIsFinishedKey;
    }
    return {};
  }

  void setState(State to) {
    const State from = state_;
    if (from == State::kFinished || (from == State::kPaused && to != State::kReady)) {
      return;
    }
    std::lock_guard lock(mutex_);
    willChangeValueForKey(keyOf(to));
    willChangeValueForKey(keyOf(from));
    state_ = to;
    didChangeValueForKey(keyOf(from));
    didChangeValueForKey(keyOf(to));
  }

  mutable std::recursive_mutex mutex_;
  std::atomic<State> state_ = State::kReady;
  std::atomic<int> starts_ = 0;
  std::thread::id startThread_;  // Guarded by mutex_
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

// Waits, with the deadline, until `condition` holds for the announcements of one operation.
class StateWaiter {
 public:
  explicit StateWaiter(Operation& operation) {
    operation.addKeyObserver([this](Operation&, std::string_view, KeyChange) {
      std::lock_guard lock(mutex_);
      changed_.notify_all();
    });
  }
  bool waitFor(const std::function<bool()>& condition) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kDeadline, condition);
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
};

TEST(OperationQueueTest, RunsOperationsOnOtherThreadsAndEmpties) {
  OperationQueue queue;
  EXPECT_EQ(queue.maxConcurrentOperationCount(), OperationQueue::kDefaultMaxConcurrentOperationCount);
  std::atomic<bool> onCallingThread = true;
  const auto caller = std::this_thread::get_id();
  queue.addOperation(BlockOperation::create([&] { onCallingThread = std::this_thread::get_id() == caller; }));
  EXPECT_TRUE(queue.waitUntilAllOperationsAreFinished(kDeadline));
  EXPECT_FALSE(onCallingThread);
  EXPECT_EQ(queue.operationCount(), 0u);
}

TEST(OperationQueueTest, AReadyConcurrentOperationStartsBeforeAddOperationReturns) {
  OperationQueue queue;
  auto operation = std::make_shared<PausableOperation>();
  queue.addOperation(operation);
  // Its start() only begins the work, so the queue calls it in place rather than on a thread of its own.
  EXPECT_TRUE(operation->isExecuting());
  EXPECT_EQ(operation->startThread(), std::this_thread::get_id());

  finishOnAnotherThread(*operation);
  EXPECT_TRUE(queue.waitUntilAllOperationsAreFinished(kDeadline));
}

TEST(OperationQueueTest, AnOperationMadeReadyByAnotherNeverStartsOnTheAnnouncingThread) {
  OperationQueue queue;
  auto dependency = std::make_shared<PausableOperation>();
  auto dependent = std::make_shared<PausableOperation>();
  dependent->addDependency(dependency);
  StateWaiter waiter(*dependent);
  queue.addOperation(dependency);
  queue.addOperation(dependent);
  EXPECT_TRUE(dependency->isExecuting());
  EXPECT_FALSE(dependent->isExecuting());

  // The finishing thread holds the dependency's lock while it announces; starting the dependent there
  // would take the dependent's lock beneath it.
  const std::thread::id finisher = finishOnAnotherThread(*dependency);
  ASSERT_TRUE(waiter.waitFor([&] { return dependent->isExecuting(); }));
  EXPECT_NE(dependent->startThread(), finisher);
  EXPECT_NE(dependent->startThread(), std::this_thread::get_id());

  finishOnAnotherThread(*dependent);
  EXPECT_TRUE(queue.waitUntilAllOperationsAreFinished(kDeadline));
}

TEST(OperationQueueTest, ConcurrentOperationsWaitForRoomUnderTheLimitInTheOrderAdded) {
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
  EXPECT_EQ(executing(), (std::vector<bool>{true, true, false, false}));

  StateWaiter thirdWaiter(*operations[2]);
  finishOnAnotherThread(*operations[0]);
  ASSERT_TRUE(thirdWaiter.waitFor([&] { return operations[2]->isExecuting(); }));
  EXPECT_EQ(executing(), (std::vector<bool>{false, true, true, false}));

  StateWaiter fourthWaiter(*operations[3]);
  finishOnAnotherThread(*operations[1]);
  ASSERT_TRUE(fourthWaiter.waitFor([&] { return operations[3]->isExecuting(); }));
  EXPECT_EQ(executing(), (std::vector<bool>{false, false, true, true}));

  finishOnAnotherThread(*operations[2]);
  finishOnAnotherThread(*operations[3]);
  EXPECT_TRUE(queue.waitUntilAllOperationsAreFinished(kDeadline));
  for (const auto& operation : operations) {
    EXPECT_EQ(operation->starts(), 1);
  }
}

TEST(OperationQueueTest, DependenciesDecideTheOrder) {
  OperationQueue queue;
  std::mutex mutex;
  std::vector<std::string> order;
  auto record = [&](std::string name) {
    return BlockOperation::create([&, name] {
      std::lock_guard lock(mutex);
      order.push_back(name);
    });
  };
  auto fetch = record("fetch");
  auto parse = record("parse");
  auto report = record("report");
  report->addDependency(parse);
  parse->addDependency(fetch);
  queue.addOperation(report);
  queue.addOperation(parse);
  queue.addOperation(fetch);
  ASSERT_TRUE(queue.waitUntilAllOperationsAreFinished(kDeadline));
  EXPECT_EQ(order, (std::vector<std::string>{"fetch", "parse", "report"}));
}

TEST(OperationQueueTest, NeverExecutesMoreThanTheLimit) {
  constexpr int kOperations = 8;
  constexpr int kLimit = 2;
  OperationQueue queue;
  queue.setMaxConcurrentOperationCount(kLimit);

  // Each operation holds its slot until the test hands it a permit, so the test sees every moment at which
  // the queue could start more than the limit.
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

TEST(OperationQueueTest, AddOperationsCanWaitUntilTheyFinish) {
  OperationQueue queue;
  std::atomic<int> ran = 0;
  std::vector<std::shared_ptr<Operation>> operations;
  for (int i = 0; i < 5; ++i) {
    operations.push_back(BlockOperation::create([&] { ++ran; }));
  }
  Countdown returned(1);
  std::atomic<int> ranAtReturn = -1;
  std::thread caller([&] {
    queue.addOperations(operations, OperationQueue::WaitUntilFinished::kYes);
    ranAtReturn = ran.load();
    returned.countDown();
  });
  const bool didReturn = returned.waitFor();
  didReturn ? caller.join() : caller.detach();
  ASSERT_TRUE(didReturn);
  EXPECT_EQ(ranAtReturn, 5);
}

TEST(OperationQueueTest, CancelledOperationsFinishWithoutRunningAndCompleteOnce) {
  OperationQueue queue;
  queue.setSuspended(true);
  EXPECT_TRUE(queue.isSuspended());
  std::atomic<int> ran = 0;
  std::atomic<int> completions = 0;
  Countdown allCompleted(3);
  std::vector<std::shared_ptr<Operation>> operations;
  for (int i = 0; i < 3; ++i) {
    auto operation = BlockOperation::create([&] { ++ran; });
    operation->setCompletionBlock([&] {
      ++completions;
      allCompleted.countDown();
    });
    operations.push_back(operation);
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
  StateWaiter waiter(*operation);
  std::vector<std::string> log;
  std::mutex logMutex;
  operation->addKeyObserver([&](Operation&, std::string_view key, KeyChange change) {
    std::lock_guard lock(logMutex);
    log.push_back((change == KeyChange::kWill ? "will " : "did ") + std::string(key));
  });
  Countdown completed(1);
  std::atomic<int> completions = 0;
  operation->setCompletionBlock([&] {
    ++completions;
    completed.countDown();
  });

  queue.addOperation(operation);
  ASSERT_TRUE(waiter.waitFor([&] { return operation->isExecuting(); }));
  operation->pause();
  EXPECT_TRUE(operation->isPaused());
  EXPECT_FALSE(operation->isFinished());
  EXPECT_EQ(queue.operationCount(), 1u);

  operation->resume();
  EXPECT_TRUE(operation->isExecuting());
  EXPECT_EQ(operation->starts(), 2);

  std::thread network([&] { operation->finish(); });
  network.join();
  ASSERT_TRUE(queue.waitUntilAllOperationsAreFinished(kDeadline));
  ASSERT_TRUE(completed.waitFor());
  EXPECT_EQ(completions, 1);
  std::lock_guard lock(logMutex);
  EXPECT_EQ(log,
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
