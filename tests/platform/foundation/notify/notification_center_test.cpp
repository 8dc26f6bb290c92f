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

// An observer with a lifetime of its own, recording what it is told into a list that outlives it.
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
  std::shared_ptr<std::vector<std::string>> received_ = std::make_shared<std::vector<std::string>>();
  std::shared_ptr<CountingObserver> observer_ = std::make_shared<CountingObserver>(received_);
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

TEST_F(NotificationCenterTest, ObjectFilterMatchesTheSenderByIdentityAndDeliversObjectAndUserInfo) {
  auto sender = std::make_shared<Sender>();
  std::vector<Notification> filtered;
  std::vector<std::string> unfiltered;
  center_.addObserverForName("QMDLSuccess", sender, nullptr,
                             [&](const Notification& notification) { filtered.push_back(notification); });
  record("QMDLSuccess", nullptr, unfiltered);

  center_.postNotificationName("QMDLSuccess", sender, Dictionary{{"progress", 100}});
  center_.postNotificationName("QMDLSuccess", std::make_shared<Sender>());
  center_.postNotificationName("QMDLSuccess");

  ASSERT_EQ(filtered.size(), 1u);
  EXPECT_EQ(filtered[0].object, sender);
  EXPECT_EQ(filtered[0].userInfo.at("progress"), Value(100));
  EXPECT_EQ(unfiltered.size(), 3u);
}

TEST_F(NotificationCenterTest, RemovalByOwnerByObjectByNameOrAll) {
  auto first = std::make_shared<Sender>();
  auto second = std::make_shared<Sender>();
  center_.addObserver(observer_, &CountingObserver::onNotification, "A", first);
  center_.addObserver(observer_, &CountingObserver::onNotification, "A", second);
  center_.addObserver(observer_, &CountingObserver::onNotification, "B", nullptr);

  center_.removeObserver(observer_.get(), std::nullopt, first);
  center_.postNotificationName("A", first);
  center_.postNotificationName("A", second);
  EXPECT_EQ(*received_, std::vector<std::string>{"A"});

  center_.removeObserver(observer_.get(), std::string("A"), nullptr);
  center_.postNotificationName("A", second);
  center_.postNotificationName("B");
  EXPECT_EQ(*received_, (std::vector<std::string>{"A", "B"}));

  center_.removeObserver(observer_.get());
  center_.postNotificationName("B");
  EXPECT_EQ(received_->size(), 2u);
}

TEST_F(NotificationCenterTest, ObserverRemovedOrOwnerReleasedDuringAPostIsNotCalledLaterInItNorAfter) {
  std::vector<std::string> second;
  NotificationCenter::ObserverToken secondToken;
  center_.addObserverForName("A", nullptr, nullptr, [&](const Notification&) {
    center_.removeObserver(secondToken);
    observer_.reset();
  });
  secondToken = record("A", nullptr, second);
  center_.addObserver(observer_, &CountingObserver::onNotification, "A", nullptr);

  center_.postNotificationName("A");
  center_.postNotificationName("A");

  EXPECT_TRUE(second.empty());
  EXPECT_TRUE(received_->empty()) << "the center holds its owner weakly";
}

// Removal by token is for good, and removing again or with an empty token does nothing.
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

  center_.removeObserver(selfToken);
  center_.removeObserver(NotificationCenter::ObserverToken());
  center_.postNotificationName("A");

  EXPECT_EQ(selfRemovingCalls, 1);
  EXPECT_EQ(addedLater.size(), 2u);
}

// At once when posted on the observer's queue; else through it, unless removed before its turn.
TEST_F(NotificationCenterTest, QueueObserverRunsOnThatQueue) {
  std::vector<std::string> names;
  std::atomic<bool> ranOffMainThread{false};
  const NotificationCenter::ObserverToken token =
      center_.addObserverForName("A", nullptr, &DispatchQueue::main(), [&](const Notification& notification) {
        ranOffMainThread = ranOffMainThread || !RunLoop::isMainThread();
        names.push_back(notification.name);
      });
  const auto postFromAnotherThread = [&] { std::thread([&] { center_.postNotificationName("A"); }).join(); };

  center_.postNotificationName("A");
  EXPECT_EQ(names.size(), 1u);

  postFromAnotherThread();
  EXPECT_EQ(names.size(), 1u) << "the main queue has not run yet";
  ASSERT_TRUE(RunLoop::main().runUntil([&] { return names.size() == 2; }, std::chrono::seconds(5)));

  postFromAnotherThread();
  center_.removeObserver(token);
  RunLoop::main().runPending();
  EXPECT_EQ(names.size(), 2u);
  EXPECT_FALSE(ranOffMainThread);
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
