#include "sample_backend/api/TestControls.h"

namespace sample_backend::api {

void TestControls::delayNextReply(const std::string& path, std::chrono::milliseconds delay) {
  ns::MutexLock lock(mutex_);
  pending_[path].delay = delay;
}

void TestControls::cutNextConnection(const std::string& path) {
  ns::MutexLock lock(mutex_);
  pending_[path].cutConnection = true;
}

void TestControls::refuseNextRequest(const std::string& path, int code) {
  ns::MutexLock lock(mutex_);
  pending_[path].refusalCode = code;
}

void TestControls::sendNextCodeAs(const std::string& path, CodeForm form) {
  ns::MutexLock lock(mutex_);
  pending_[path].codeForm = form;
}

ReplyControl TestControls::takeControl(const std::string& path) {
  ns::MutexLock lock(mutex_);
  auto found = pending_.find(path);
  if (found == pending_.end()) {
    return {};
  }
  ReplyControl control = found->second;
  pending_.erase(found);
  return control;
}

void TestControls::fixServerTime(std::optional<std::int64_t> secondsSince1970) {
  ns::MutexLock lock(mutex_);
  fixedServerTime_ = secondsSince1970;
}

std::int64_t TestControls::serverTime() const {
  ns::MutexLock lock(mutex_);
  if (fixedServerTime_) {
    return *fixedServerTime_;
  }
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace sample_backend::api
