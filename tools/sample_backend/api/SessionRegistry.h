#pragma once

// sample_backend::api::SessionRegistry: the session ids the back end has handed out. One learner holds one
// live session: a new login opens a new session and displaces the learner's earlier ones, which the back
// end then answers with code 9708, as it does when the learner signs in on another device.
//
// Thread-safety: every method may be called from any thread.

#include <map>
#include <string>
#include <string_view>

#include "platform/foundation/check/Mutex.h"

namespace sample_backend::api {

class SessionRegistry {
 public:
  enum class State { kLive, kDisplaced, kUnknown };

  struct Lookup {
    State state = State::kUnknown;
    // The learner's id; empty for an unknown session.
    std::string userId;
  };

  // Opens a new session for the learner `userId`, displacing the learner's earlier sessions. Returns its
  // id: 32 lower-case hexadecimal characters.
  std::string openSession(const std::string& userId);

  // Returns the state of the session `sessionId` and its learner.
  Lookup lookup(std::string_view sessionId) const;

 private:
  mutable ns::Mutex mutex_;
  // Session id -> learner, and learner -> the live session's id.
  std::map<std::string, std::string, std::less<>> learnerOfSession_ QM_GUARDED_BY(mutex_);
  std::map<std::string, std::string, std::less<>> liveSessionOfLearner_ QM_GUARDED_BY(mutex_);
};

}  // namespace sample_backend::api
