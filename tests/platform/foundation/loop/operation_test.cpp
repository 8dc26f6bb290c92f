#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "loop_test_util.h"
#include "platform/foundation/loop/BlockOperation.h"
#include "platform/foundation/loop/Operation.h"

namespace ns {
namespace {

using testing::AnnouncementLog;
using testing::Countdown;

TEST(OperationTest, StartRunsMainBetweenExecutingAndFinishedAnnouncements) {
  bool executingInMain = false;
  std::vector<int> blocks;
  std::shared_ptr<BlockOperation> operation;
  operation = BlockOperation::create([&] {
    executingInMain = operation->isExecuting();
    blocks.push_back(1);
  });
  operation->addExecutionBlock([&] { blocks.push_back(2); });
  AnnouncementLog log(*operation);

  operation->start();
  EXPECT_TRUE(executingInMain);
  EXPECT_EQ(blocks, (std::vector<int>{1, 2}));
  EXPECT_TRUE(operation->isFinished());
  EXPECT_FALSE(operation->isExecuting());
  EXPECT_EQ(log.entries(),
            (std::vector<std::string>{"will isExecuting", "did isExecuting", "will isFinished",
                                      "will isExecuting", "did isExecuting", "did isFinished"}));
  operation->start();
  EXPECT_EQ(log.entries().size(), 6u);
}

TEST(OperationTest, CancelledBeforeStartFinishesWithoutRunning) {
  bool ran = false;
  auto operation = BlockOperation::create([&] { ran = true; });
  AnnouncementLog log(*operation);
  operation->cancel();
  operation->cancel();
  EXPECT_TRUE(operation->isCancelled());
  EXPECT_TRUE(operation->isReady());

  operation->start();
  EXPECT_FALSE(ran);
  EXPECT_TRUE(operation->isFinished());
  EXPECT_EQ(log.entries(), (std::vector<std::string>{"will isCancelled", "did isCancelled", "will isFinished",
                                                     "did isFinished"}));
}

TEST(OperationTest, CompletionBlockRunsOnceOnABackgroundThreadAfterFinishing) {
  auto operation = BlockOperation::create([] {});
  Countdown completed(1);
  std::atomic<int> runs = 0;
  std::atomic<bool> finishedFirst = false;
  std::atomic<bool> onMainThread = true;
  operation->setCompletionBlock([&, raw = operation.get()] {
    ++runs;
    finishedFirst = raw->isFinished();
    onMainThread = RunLoop::isMainThread();
    completed.countDown();
  });

  operation->start();
  ASSERT_TRUE(completed.waitFor());
  EXPECT_TRUE(finishedFirst);
  EXPECT_FALSE(onMainThread);
  EXPECT_TRUE(operation->completionBlock() == nullptr);

  // A block set after the operation finished never runs.
  Countdown never(1);
  operation->setCompletionBlock([&] { never.countDown(); });
  operation->start();
  EXPECT_FALSE(never.waitFor(std::chrono::milliseconds(20)));
  EXPECT_EQ(runs, 1);
}

// Runs its completion block in place, as a subclass whose blocks only queue work elsewhere may.
class InPlaceCompletionOperation : public BlockOperation {
 public:
  using BlockOperation::BlockOperation;

 protected:
  void dispatchCompletionBlock(Task block) override { block(); }
};

TEST(OperationTest, ASubclassMayRunTheCompletionBlockOnTheFinishingThreadOnceObserversHeard) {
  auto operation = std::make_shared<InPlaceCompletionOperation>([] {});
  AnnouncementLog log(*operation);
  int runs = 0;
  std::thread::id completionThread;
  std::vector<std::string> heardBeforeCompletion;
  operation->setCompletionBlock([&] {
    ++runs;
    completionThread = std::this_thread::get_id();
    heardBeforeCompletion = log.entries();
  });

  operation->start();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(completionThread, std::this_thread::get_id());
  ASSERT_FALSE(heardBeforeCompletion.empty());
  EXPECT_EQ(heardBeforeCompletion.back(), "did isFinished");
  EXPECT_TRUE(operation->completionBlock() == nullptr);

  operation->start();
  EXPECT_EQ(runs, 1);
}

TEST(OperationTest, DependenciesHoldReadinessUntilFinishedCancelledOrRemoved) {
  auto first = BlockOperation::create([] {});
  auto second = BlockOperation::create([] {});
  auto dependent = BlockOperation::create([] {});
  auto cancelledItself = BlockOperation::create([] {});
  auto removesIt = BlockOperation::create([] {});
  AnnouncementLog log(*dependent);
  dependent->addDependency(first);
  dependent->addDependency(second);
  EXPECT_EQ(dependent->dependencies(), (std::vector<std::shared_ptr<Operation>>{first, second}));
  EXPECT_FALSE(dependent->isReady());
  for (const auto& waiting : {cancelledItself, removesIt}) {
    waiting->addDependency(first);
    EXPECT_FALSE(waiting->isReady());
  }

  dependent->start();  // not ready: ignored
  EXPECT_FALSE(dependent->isFinished());
  cancelledItself->cancel();  // a cancelled operation is ready whatever it waits for
  EXPECT_TRUE(cancelledItself->isReady());
  removesIt->removeDependency(first);
  EXPECT_TRUE(removesIt->isReady());
  EXPECT_TRUE(removesIt->dependencies().empty());

  first->start();
  EXPECT_FALSE(dependent->isReady());
  second->cancel();  // a cancelled dependency that never ran counts as finished
  EXPECT_TRUE(dependent->isReady());
  EXPECT_FALSE(dependent->isCancelled());
  EXPECT_EQ(log.entries(),
            (std::vector<std::string>{"will isReady", "did isReady", "will isReady", "did isReady"}));
}

}  // namespace
}  // namespace ns
