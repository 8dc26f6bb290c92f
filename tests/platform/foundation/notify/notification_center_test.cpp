#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"

namespace ns {
namespace {

using std::chrono::seconds;

// An observer with a lifetime of its own, counting what it is told into a counter that outlives it.
class CountingObserver : public Object {
 public:
  explicit CountingObserver(std::shared_ptr<std::vector<std::string>> received)
      : received_(std::move(received)) {}
  void onNotification(const Notification& notification) { received_->push_back(notification.name); }

 private:
  std::shared_ptr<std::vector<std::string>> received_;
};

class Sender : public Object {};

class NotificationCenterTest : public ::testing::Test {
 protected:
  // Registers a block observer that records the names it is told into `names`.
  NotificationCenter::ObserverToken record(std::optional<std::string> name,
                                           const std::shared_ptr<Object>& object,
                                           std::vector<std::string>& names) {
    return center_.addObserverForName(
        std::move(name), object, nullptr,
        [&names](const Notification& notification) { names.push_back(notification.name); });
  }

  NotificationCenter center_;
};

TEST_F(NotificationCenterTest, DeliversToObserversOfTheNameAndOfEveryName) {
  std::vector<std::string> ofA, ofB, ofAll;
  record("A", nullptr, ofA);
  record("B", nullptr, ofB);
  record(std::nullopt, nullptr, ofAll);

  center_.postNotificationName("A");
  center_.postNotificationName("B");
  center_.postNotificationName("C");

  EXPECT_EQ(ofA, std::vector<std::string>{"A"});
  EXPECT_EQ(ofB, std::vector<std::string>{"B"});
  EXPECT_EQ(ofAll, (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(NotificationCenterTest, ObjectFilterMatchesTheSenderByIdentityOnly) {
  auto sender = std::make_shared<Sender>();
  auto otherSender = std::make_shared<Sender>();
  std::vector<std::string> filtered, unfiltered;
  record("A", sender, filtered);
  record("A", nullptr, unfiltered);

  center_.postNotificationName("A", sender);
  center_.postNotificationName("A", otherSender);
  center_.postNotificationName("A");

  EXPECT_EQ(filtered.size(), 1u);
  EXPECT_EQ(unfiltered.size(), 3u);
}

TEST_F(NotificationCenterTest, ObserverReceivesObjectAndUserInfo) {
  auto sender = std::make_shared<Sender>();
  std::optional<Notification> received;
  center_.addObserverForName("QMDLSuccess", nullptr, nullptr,
                             [&](const Notification& notification) { received = notification; });

  center_.postNotificationName("QMDLSuccess", sender, Dictionary{{"progress", 100}});

  ASSERT_TRUE(received.has_value());
  EXPECT_EQ(received->object, sender);
  EXPECT_EQ(received->userInfo.at("progress"), Value(100));
}

TEST_F(NotificationCenterTest, RemovalByTokenStopsDeliveryAndIsIdempotent) {
  std::vector<std::string> names;
  const NotificationCenter::ObserverToken token = record("A", nullptr, names);

  center_.postNotificationName("A");
  center_.removeObserver(token);
  center_.removeObserver(token);
  center_.removeObserver(NotificationCenter::ObserverToken());
  center_.postNotificationName("A");

  EXPECT_EQ(names.size(), 1u);
}

TEST_F(NotificationCenterTest, OwnerThatIsGoneIsNeverCalled) {
  auto received = std::make_shared<std::vector<std::string>>();
  auto observer = std::make_shared<CountingObserver>(received);
  center_.addObserver(observer, &CountingObserver::onNotification, "A", nullptr);

  center_.postNotificationName("A");
  observer.reset();
  center_.postNotificationName("A");

  EXPECT_EQ(received->size(), 1u);
}

TEST_F(NotificationCenterTest, RemovalByOwnerAllOrByName) {
  auto received = std::make_shared<std::vector<std::string>>();
  auto observer = std::make_shared<CountingObserver>(received);
  center_.addObserver(observer, &CountingObserver::onNotification, "A", nullptr);
  center_.addObserver(observer, &CountingObserver::onNotification, "B", nullptr);

  center_.removeObserver(observer.get(), std::string("A"), nullptr);
  center_.postNotificationName("A");
  center_.postNotificationName("B");
  EXPECT_EQ(*received, std::vector<std::string>{"B"});

  center_.removeObserver(observer.get());
  center_.postNotificationName("B");
  EXPECT_EQ(received->size(), 1u);
}

TEST_F(NotificationCenterTest, RemovalByOwnerAndObjectKeepsOtherSenders) {
  auto received = std::make_shared<std::vector<std::string>>();
  auto observer = std::make_shared<CountingObserver>(received);
  auto first = std::make_shared<Sender>();
  auto second = std::make_shared<Sender>();
  center_.addObserver(observer, &CountingObserver::onNotification, "A", first);
  center_.addObserver(observer, &CountingObserver::onNotification, "A", second);

  center_.removeObserver(observer.get(), std::nullopt, first);
  center_.postNotificationName("A", first);
  center_.postNotificationName("A", second);

  EXPECT_EQ(received->size(), 1u);
}

TEST_F(NotificationCenterTest, ObserverRemovedDuringAPostIsNotCalledLaterInIt) {
  std::vector<std::string> second;
  NotificationCenter::ObserverToken secondToken;
  center_.addObserverForName("A", nullptr, nullptr,
                             [&](const Notification&) { center_.removeObserver(secondToken); });
  secondToken = record("A", nullptr, second);

  center_.postNotificationName("A");

  EXPECT_TRUE(second.empty());
}

TEST_F(NotificationCenterTest, OwnerReleasedDuringAPostIsNotCalledLaterInIt) {
  auto received = std::make_shared<std::vector<std::string>>();
  auto observer = std::make_shared<CountingObserver>(received);
  center_.addObserverForName("A", nullptr, nullptr, [&](const Notification&) { observer.reset(); });
  center_.addObserver(observer, &CountingObserver::onNotification, "A", nullptr);

  center_.postNotificationName("A");

  EXPECT_TRUE(received->empty());
}

TEST_F(NotificationCenterTest, ObserverMayRemoveItselfAndAddOthersDuringAPost) {
  int selfRemovingCalls = 0;
  std::vector<std::string> addedLater;
  NotificationCenter::ObserverToken selfToken;
  selfToken = center_.addObserverForName("A", nullptr, nullptr, [&](const Notification&) {
    ++selfRemovingCalls;
    center_.removeObserver(selfToken);
    record("A", nullptr, addedLater);
  });

  center_.postNotificationName("A");
  EXPECT_TRUE(addedLater.empty()) << "an observer added during a post hears only later posts";
  center_.postNotificationName("A");

  EXPECT_EQ(selfRemovingCalls, 1);
  EXPECT_EQ(addedLater.size(), 1u);
}

TEST_F(NotificationCenterTest, QueueObserverRunsOnThatQueueWhenPostedFromAnotherThread) {
  std::atomic<int> calls{0};
  std::atomic<bool> ranOnMainThread{false};
  center_.addObserverForName("A", nullptr, &DispatchQueue::main(), [&](const Notification&) {
    ranOnMainThread = RunLoop::isMainThread();
    ++calls;
  });

  std::thread poster([&] { center_.postNotificationName("A"); });
  poster.join();
  EXPECT_EQ(calls.load(), 0) << "the main queue has not run yet";

  ASSERT_TRUE(RunLoop::main().runUntil([&] { return calls.load() == 1; }, seconds(5)));
  EXPECT_TRUE(ranOnMainThread.load());
}

TEST_F(NotificationCenterTest, QueueObserverRunsAtOnceWhenPostedOnThatQueue) {
  int calls = 0;
  center_.addObserverForName("A", nullptr, &DispatchQueue::main(), [&](const Notification&) { ++calls; });

  center_.postNotificationName("A");

  EXPECT_EQ(calls, 1);
}

TEST_F(NotificationCenterTest, QueueObserverRemovedBeforeItsTurnIsNotCalled) {
  int calls = 0;
  const NotificationCenter::ObserverToken token =
      center_.addObserverForName("A", nullptr, &DispatchQueue::main(), [&](const Notification&) { ++calls; });

  std::thread poster([&] { center_.postNotificationName("A"); });
  poster.join();
  center_.removeObserver(token);
  RunLoop::main().runPending();

  EXPECT_EQ(calls, 0);
}

TEST_F(NotificationCenterTest, ConcurrentPostsAndRegistrationsAreSafe) {
  std::atomic<int> calls{0};
  center_.addObserverForName("A", nullptr, nullptr, [&](const Notification&) { ++calls; });
  constexpr int kThreads = 4;
  constexpr int kPostsPerThread = 500;

  std::vector<std::thread> threads;
  for (int index = 0; index < kThreads; ++index) {
    threads.emplace_back([&] {
      for (int post = 0; post < kPostsPerThread; ++post) {
        const auto token = center_.addObserverForName("B", nullptr, nullptr, [](const Notification&) {});
        center_.postNotificationName("A");
        center_.removeObserver(token);
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }

  EXPECT_EQ(calls.load(), kThreads * kPostsPerThread);
}

}  // namespace
}  // namespace ns
