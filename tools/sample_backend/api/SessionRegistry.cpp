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

constexpr char kSessionsKey[] = "learnerOfSession";
constexpr char kLiveSessionsKey[] = "liveSessionOfLearner";

}  // namespace

ns::Status SessionRegistry::keepIn(state::StateFile file) {
  ns::Result<nlohmann::json> saved = file.read();
  if (!saved.ok()) {
    return saved.error();
  }
  ns::MutexLock lock(mutex_);
  if (!saved->is_null()) {
    try {
      IdMap sessions = saved->at(kSessionsKey).get<IdMap>();
      IdMap live = saved->at(kLiveSessionsKey).get<IdMap>();
      learnerOfSession_ = std::move(sessions);
      liveSessionOfLearner_ = std::move(live);
    } catch (const nlohmann::json::exception& error) {
      return state::damagedStateError(file.path(), std::string("does not hold sessions: ") + error.what());
    }
  }
  file_ = std::move(file);
  return {};
}

void SessionRegistry::writeFileLocked() const {
  if (file_) {
    file_->saveOrWarn({{kSessionsKey, learnerOfSession_}, {kLiveSessionsKey, liveSessionOfLearner_}});
  }
}

std::string SessionRegistry::openSession(const std::string& userId) {
  ns::MutexLock lock(mutex_);
  std::string sessionId = randomSessionId();
  while (learnerOfSession_.contains(sessionId)) {
    sessionId = randomSessionId();
  }
  learnerOfSession_[sessionId] = userId;
  liveSessionOfLearner_[userId] = sessionId;
  writeFileLocked();
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
