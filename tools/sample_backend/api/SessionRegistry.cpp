#include "sample_backend/api/SessionRegistry.h"

#include <random>

namespace sample_backend::api {
namespace {

std::string randomSessionId() {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::random_device randomness;
  std::string id;
  for (int i = 0; i < 32; ++i) {
    id.push_back(kDigits[randomness() % 16]);
  }
  return id;
}

}  // namespace

std::string SessionRegistry::openSession(const std::string& userId) {
  ns::MutexLock lock(mutex_);
  std::string sessionId = randomSessionId();
  while (learnerOfSession_.contains(sessionId)) {
    sessionId = randomSessionId();
  }
  learnerOfSession_[sessionId] = userId;
  liveSessionOfLearner_[userId] = sessionId;
  return sessionId;
}

SessionRegistry::Lookup SessionRegistry::lookup(std::string_view sessionId) const {
  ns::MutexLock lock(mutex_);
  auto session = learnerOfSession_.find(sessionId);
  if (session == learnerOfSession_.end()) {
    return {};
  }
  auto live = liveSessionOfLearner_.find(session->second);
  const bool isLive = live != liveSessionOfLearner_.end() && live->second == sessionId;
  return {isLive ? State::kLive : State::kDisplaced, session->second};
}

}  // namespace sample_backend::api
