#pragma once

// Installs a logger that keeps every message it is given, for the life of the object; removes every logger
// at destruction.

#include <memory>
#include <mutex>
#include <vector>

#include "embedded_server/logging/LGLog.h"

namespace embedded_server {

namespace server_testing {

class RecordingLogger {
 public:
  RecordingLogger() { LGLog::addLogger(sink_); }
  ~RecordingLogger() { LGLog::removeAllLoggers(); }
  RecordingLogger(const RecordingLogger&) = delete;
  RecordingLogger& operator=(const RecordingLogger&) = delete;

  // The messages delivered so far, after waiting for those already logged.
  std::vector<LGLogMessage> messages() {
    LGLog::flush();
    return delivered();
  }
  // The messages delivered so far, without waiting.
  std::vector<LGLogMessage> delivered() {
    std::lock_guard lock(sink_->mutex);
    return sink_->messages;
  }

 private:
  struct Sink : LGLogger {
    void logMessage(const LGLogMessage& message) override {
      std::lock_guard lock(mutex);
      messages.push_back(message);
    }
    std::mutex mutex;
    std::vector<LGLogMessage> messages;
  };
  std::shared_ptr<Sink> sink_ = std::make_shared<Sink>();
};

}  // namespace server_testing

}  // namespace embedded_server
