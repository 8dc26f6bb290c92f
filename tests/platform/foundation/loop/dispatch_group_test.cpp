#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "loop_test_util.h"
#include "platform/foundation/loop/DispatchGroup.h"
#include "platform/foundation/loop/DispatchQueue.h"

namespace ns {
namespace {

using namespace std::chrono_literals;
using testing::Countdown;
using testing::kDeadline;

TEST(DispatchGroupTest, NotifyRunsOnceAllWorkHasLeftOrAtOnceOnAnEmptyGroup) {
  auto queue = DispatchQueue::createConcurrent("group work");
  DispatchGroup group;
  bool notifiedEmpty = false;
  group.notify(DispatchQueue::main(), [&] { notifiedEmpty = true; });
  EXPECT_FALSE(notifiedEmpty);

  std::atomic<int> done = 0;
  Countdown gate(1);
  for (int i = 0; i < 10; ++i) {
    group.async(*queue, [&] {
      gate.waitFor();
      ++done;
    });
  }
  int doneAtNotify = -1;
  group.notify(DispatchQueue::main(), [&] { doneAtNotify = done; });
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return notifiedEmpty; }, kDeadline));  // work still held
  gate.countDown();
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return doneAtNotify >= 0; }, kDeadline));
  EXPECT_EQ(doneAtNotify, 10);
}

TEST(DispatchGroupTest, NotifyKeepsItsQueueAlive) {
  DispatchGroup group;
  group.enter();
  Countdown notified(1);
  std::atomic<bool> onOtherThread = false;
  {
    auto queue = DispatchQueue::createSerial("short lived");
    group.notify(*queue, [&] {
      onOtherThread = !RunLoop::isMainThread();
      notified.countDown();
    });
  }
  group.leave();
  EXPECT_TRUE(notified.waitFor());
  EXPECT_TRUE(onOtherThread);
}

TEST(DispatchGroupTest, WaitReturnsWhenEmptiedOrAtTheTimeout) {
  DispatchGroup group;
  EXPECT_TRUE(group.wait(0s));

  group.enter();
  EXPECT_FALSE(group.wait(20ms));

  DispatchGroup copy = group;  // copies share the count
  std::thread leaver([copy]() mutable { copy.leave(); });
  EXPECT_TRUE(group.wait(kDeadline));
  leaver.join();

  group.leave();  // unmatched: ignored
  group.enter();
  EXPECT_FALSE(group.wait(0s));
  group.leave();
  EXPECT_TRUE(group.wait(0s));
}

}  // namespace
}  // namespace ns
