#include "analytics/UsageClick.h"

#include <iostream>
#include <vector>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/crypto/UUID.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/UserDefaults.h"
#include "platform/uikit/app/Application.h"

namespace analytics {

namespace {

struct ClientState {
  std::string appVersion;
  std::string appKey;
  std::uint64_t reportPolicy = 0;
  std::string channelId;
  std::optional<std::string> sessionId;
  std::vector<ns::NotificationCenter::ObserverToken> lifeCycleObservers;
  // Counts resets, so that a session start queued before a reset does nothing after it.
  std::uint64_t generation = 0;
};

ClientState& state() {
  static ClientState client;
  return client;
}

void beginSession() {
  if (!state().sessionId) {
    state().sessionId = ns::UUID::random().uuidString();
  }
}

void endSession() {
  state().sessionId.reset();
}

void followApplicationLifeCycle() {
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  const auto follow = [&center](const char* name, void (*handler)()) {
    state().lifeCycleObservers.push_back(
        center.addObserverForName(name, nullptr, nullptr, [handler](const ns::Notification&) { handler(); }));
  };
  follow(uikit::kApplicationDidBecomeActiveNotification, beginSession);
  follow(uikit::kApplicationWillResignActiveNotification, endSession);
  follow(uikit::kApplicationWillTerminateNotification, endSession);
}

}  // namespace

void UsageClick::setAppVersion(std::string version) {
  QM_DCHECK_MAIN_THREAD();
  state().appVersion = std::move(version);
}

void UsageClick::startWithAppkey(const std::string& appKey, std::uint64_t reportPolicy,
                                 const std::string& channelId) {
  QM_DCHECK(!appKey.empty(), "appKey is not empty");
  QM_DCHECK_MAIN_THREAD();
  ns::UserDefaults& defaults = ns::UserDefaults::standardUserDefaults();
  const std::optional<std::string> storedKey = defaults.stringForKey(kAppKeyDefaultsKey);
  if (storedKey && *storedKey != appKey) {
    std::cerr << "WARNING: Appkey is different from the past." << std::endl;
  }
  defaults.setObject(ns::Value(appKey), kAppKeyDefaultsKey);
  state().appKey = appKey;
  state().reportPolicy = reportPolicy;
  ns::NotificationCenter::defaultCenter().postNotificationName(kUAGotAppkeyNotification);
  if (!channelId.empty()) {
    state().channelId = channelId;
  }
  if (state().lifeCycleObservers.empty()) {
    followApplicationLifeCycle();
  }
  ns::RunLoop::main().post([generation = state().generation] {
    if (generation == state().generation) {
      beginSession();
    }
  });
}

const std::string& UsageClick::appVersion() {
  QM_DCHECK_MAIN_THREAD();
  return state().appVersion;
}

const std::string& UsageClick::appKey() {
  QM_DCHECK_MAIN_THREAD();
  return state().appKey;
}

std::uint64_t UsageClick::reportPolicy() {
  QM_DCHECK_MAIN_THREAD();
  return state().reportPolicy;
}

const std::string& UsageClick::channelId() {
  QM_DCHECK_MAIN_THREAD();
  return state().channelId;
}

const std::optional<std::string>& UsageClick::currentSessionId() {
  QM_DCHECK_MAIN_THREAD();
  return state().sessionId;
}

void UsageClick::resetForTesting() {
  QM_DCHECK_MAIN_THREAD();
  for (const ns::NotificationCenter::ObserverToken& token : state().lifeCycleObservers) {
    ns::NotificationCenter::defaultCenter().removeObserver(token);
  }
  const std::uint64_t nextGeneration = state().generation + 1;
  state() = ClientState{};
  state().generation = nextGeneration;
}

}  // namespace analytics
