#pragma once

// sample_backend::api::SessionRegistry: the session ids the back end has handed out. One learner holds one
// live session: a new login opens a new session and displaces the learner's earlier ones, which the back
// end then answers with code 9708, as it does when the learner signs in on another device. Kept in a state
// file (keepIn), the sessions outlive a restart of the back end, so a learner stays signed in.
//
// Thread-safety: every method may be called from any thread.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/values/Result.h"
#include "sample_backend/state/StateFile.h"

namespace sample_backend::api {

class SessionRegistry {
 public:
  enum class State { kLive, kDisplaced, kUnknown };

  struct Lookup {
    State state = State::kUnknown;
    // The learner's id; empty for an unknown session.
    std::string userId;
  };

  // Takes the sessions saved in `file`, if it exists, and saves every later change there. Returns an error
  // naming the file when it is damaged; the registry is then left as it was.
  // REQUIRES: no session opened yet.
  ns::Status keepIn(state::StateFile file);

  // Opens a new session for the learner `userId`, displacing the learner's earlier sessions. Returns its
  // id: 32 lower-case hexadecimal characters.
  std::string openSession(const std::string& userId);

  // Returns the state of the session `sessionId` and its learner.
  Lookup lookup(std::string_view sessionId) const;

 private:
  using IdMap = std::map<std::string, std::string, std::less<>>;

  void writeFileLocked() const QM_REQUIRES(mutex_);

  mutable ns::Mutex mutex_;
  // Session id -> learner, and learner -> the live session's id.
  IdMap learnerOfSession_ QM_GUARDED_BY(mutex_);
  IdMap liveSessionOfLearner_ QM_GUARDED_BY(mutex_);
  std::optional<state::StateFile> file_ QM_GUARDED_BY(mutex_);
};

}  // namespace sample_backend::api
