#pragma once

// sample_backend::api::TestControls: what a test asks of the back end's next reply on a path: a delay, a cut
// connection, a refusal with a chosen code, or the code sent as text or left out. Each control applies to
// the next request of its path only; controls set for one path before that request combine. The server
// time can be fixed for tests that compare times.
//
// Thread-safety: every method may be called from any thread.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/foundation/check/Mutex.h"

namespace sample_backend::api {

// How a reply carries its "code".
enum class CodeForm { kNumber, kText, kMissing };

struct ReplyControl {
  std::chrono::milliseconds delay{0};
  bool cutConnection = false;
  std::optional<int> refusalCode;
  CodeForm codeForm = CodeForm::kNumber;
};

class TestControls {
 public:
  void delayNextReply(const std::string& path, std::chrono::milliseconds delay);
  // The next request of `path` is read and recorded, and its connection closed without a reply.
  void cutNextConnection(const std::string& path);
  // The next request of `path` is answered with `code` whatever it holds; its route does not run.
  void refuseNextRequest(const std::string& path, int code);
  void sendNextCodeAs(const std::string& path, CodeForm form);

  // Returns the controls set for `path` and clears them.
  ReplyControl takeControl(const std::string& path);

  // Makes "/common/get/time" answer `secondsSince1970`; std::nullopt returns to the clock.
  void fixServerTime(std::optional<std::int64_t> secondsSince1970);
  // Returns the fixed time, else the system clock's seconds since 1970.
  std::int64_t serverTime() const;

 private:
  mutable ns::Mutex mutex_;
  std::map<std::string, ReplyControl> pending_ QM_GUARDED_BY(mutex_);
  std::optional<std::int64_t> fixedServerTime_ QM_GUARDED_BY(mutex_);
};

}  // namespace sample_backend::api
