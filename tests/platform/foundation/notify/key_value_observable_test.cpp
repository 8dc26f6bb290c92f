#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/notify/KeyValueObservable.h"
#include "platform/foundation/values/Object.h"

namespace ns {
namespace {

// Two observable counters, announced through both styles of setter.
class Counters : public Object, public KeyValueObservable {
 public:
  Value valueForKey(std::string_view key) const override {
    if (key == "cached") {
      return Value(cached_);
    }
    return key == "caching" ? Value(caching_) : Value();
  }

  void setCached(std::int64_t value) {
    willChangeValueForKey("cached");
    cached_ = value;
    didChangeValueForKey("cached");
  }

  void setCaching(std::int64_t value) {
    const std::int64_t old = caching_;
    caching_ = value;
    didChangeValueForKey("caching", Value(old), Value(value));
  }

  // Nested will/did pairs, as a state machine that moves two keys at once.
  void moveOneFromCachingToCached() {
    willChangeValueForKey("caching");
    willChangeValueForKey("cached");
    --caching_;
    ++cached_;
    didChangeValueForKey("cached");
    didChangeValueForKey("caching");
  }

 private:
  std::int64_t cached_ = 0;
  std::int64_t caching_ = 0;
};

// Each observer records only the changes of its own key: one told of another key shows up twice.
TEST(KeyValueObservableTest, ReportsOldAndNewValuesFromBothSetterStylesToObserversOfThatKey) {
  auto counters = std::make_shared<Counters>();
  std::vector<std::string> changes;
  auto record = [&](const KeyValueChange& change) {
    changes.push_back(change.key + ":" + describe(change.oldValue) + "->" + describe(change.newValue));
  };
  KeyValueObservation cached = counters->observe("cached", record);
  KeyValueObservation caching = counters->observe("caching", record);

  counters->setCached(3);
  counters->setCaching(2);
  counters->moveOneFromCachingToCached();
  counters->setCached(4);

  EXPECT_EQ(changes, (std::vector<std::string>{"cached:0->3", "caching:0->2", "cached:3->4", "caching:2->1",
                                               "cached:4->4"}));
}

TEST(KeyValueObservableTest, DestroyingOrInvalidatingTheObservationStopsCallbacks) {
  auto counters = std::make_shared<Counters>();
  int calls = 0;
  auto count = [&](const KeyValueChange&) { ++calls; };
  auto destroyed = std::make_unique<KeyValueObservation>(counters->observe("cached", count));
  KeyValueObservation invalidated = counters->observe("cached", count);
  KeyValueObservation replaced = counters->observe("cached", count);

  counters->setCached(1);
  destroyed.reset();
  invalidated.invalidate();
  invalidated.invalidate();
  replaced = KeyValueObservation();
  counters->setCached(2);

  EXPECT_EQ(calls, 3);
}

TEST(KeyValueObservableTest, ObserverMayRemoveItselfAndOthersInsideItsCallback) {
  auto counters = std::make_shared<Counters>();
  int firstCalls = 0;
  int secondCalls = 0;
  KeyValueObservation first;
  KeyValueObservation second;
  first = counters->observe("cached", [&](const KeyValueChange&) {
    ++firstCalls;
    first.invalidate();
    second = KeyValueObservation();
  });
  second = counters->observe("cached", [&](const KeyValueChange&) { ++secondCalls; });

  counters->setCached(1);
  counters->setCached(2);

  EXPECT_EQ(firstCalls, 1);
  EXPECT_EQ(secondCalls, 0);
}

// A list screen rebuilds on every change: it drops all its observations and observes anew from the callback.
TEST(KeyValueObservableTest, CallbackMayReplaceEveryObservationItBelongsTo) {
  auto counters = std::make_shared<Counters>();
  std::vector<KeyValueObservation> observations;
  int rebuilds = 0;
  std::function<void()> rebuild = [&] {
    observations.clear();
    for (const char* key : {"cached", "caching"}) {
      observations.push_back(counters->observe(key, [&](const KeyValueChange&) {
        ++rebuilds;
        rebuild();
      }));
    }
  };
  rebuild();

  counters->setCached(1);
  counters->moveOneFromCachingToCached();

  EXPECT_EQ(rebuilds, 3);
  EXPECT_EQ(observations.size(), 2u);
}

// Both observations outlive the object; invalidating or destroying them then does nothing.
TEST(KeyValueObservableTest, CallbackMayReleaseTheLastReferenceToTheObject) {
  auto counters = std::make_shared<Counters>();
  int laterCalls = 0;
  KeyValueObservation releasing =
      counters->observe("caching", [&](const KeyValueChange&) { counters.reset(); });
  KeyValueObservation later = counters->observe("caching", [&](const KeyValueChange&) { ++laterCalls; });
  Counters* raw = counters.get();

  raw->setCaching(1);

  EXPECT_EQ(counters, nullptr);
  EXPECT_EQ(laterCalls, 1);
  releasing.invalidate();
}

TEST(KeyValueObservableTest, CallbacksRunOnTheChangingThread) {
  auto counters = std::make_shared<Counters>();
  std::thread::id callbackThread;
  KeyValueObservation observation = counters->observe(
      "cached", [&](const KeyValueChange&) { callbackThread = std::this_thread::get_id(); });

  std::thread changer([&] { counters->setCached(7); });
  const std::thread::id changerThread = changer.get_id();
  changer.join();

  EXPECT_EQ(callbackThread, changerThread);
}

}  // namespace
}  // namespace ns
