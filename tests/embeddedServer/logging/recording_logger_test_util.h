#pragma once

// A logger that keeps every message it is given, installed for the life of the object.

#include <memory>
#include <mutex>
#include <vector>

#include "embeddedServer/logging/LGLog.h"

namespace server_testing {

class RecordingLogger : public LGLogger {
 public:
  void logMessage(const LGLogMessage& message) override {
    std::lock_guard lock(mutex_);
    messages_.push_back(message);
  }

  // Returns the messages delivered so far, after waiting for those already logged.
  std::vector<LGLogMessage> messages() {
    LGLog::flush();
    return delivered();
  }

  // Returns the messages delivered so far, without waiting.
  std::vector<LGLogMessage> delivered() {
    std::lock_guard lock(mutex_);
    return messages_;
  }

 private:
  std::mutex mutex_;
  std::vector<LGLogMessage> messages_;
};

// Installs a RecordingLogger and removes every logger at destruction.
class InstalledRecordingLogger {
 public:
  InstalledRecordingLogger() : logger_(std::make_shared<RecordingLogger>()) { LGLog::addLogger(logger_); }
  ~InstalledRecordingLogger() { LGLog::removeAllLoggers(); }

  RecordingLogger& operator*() const { return *logger_; }
  RecordingLogger* operator->() const { return logger_.get(); }

 private:
  std::shared_ptr<RecordingLogger> logger_;
};

}  // namespace server_testing
