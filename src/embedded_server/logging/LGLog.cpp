#include "embedded_server/logging/LGLog.h"

#include <mutex>
#include <vector>

#include "platform/foundation/loop/DispatchQueue.h"

namespace {

using LoggerList = std::vector<std::shared_ptr<LGLogger>>;

struct LoggingState {
  std::mutex mutex;
  // Guarded by mutex
  LoggerList loggers;
  std::shared_ptr<ns::DispatchQueue> queue;
};

LoggingState& state() {
  static LoggingState* const instance = new LoggingState();  // never destroyed: loggers may log at exit
  return *instance;
}

void deliver(const LoggerList& loggers, const LGLogMessage& message) {
  for (const auto& logger : loggers) {
    logger->logMessage(message);
  }
}

}  // namespace

void LGLog::addLogger(std::shared_ptr<LGLogger> logger) {
  LoggingState& s = state();
  std::lock_guard lock(s.mutex);
  s.loggers.push_back(std::move(logger));
  if (!s.queue) {
    s.queue = ns::DispatchQueue::createSerial("server.logging");
  }
}

void LGLog::removeAllLoggers() {
  LoggingState& s = state();
  std::lock_guard lock(s.mutex);
  s.loggers.clear();
}

void LGLog::log(LGLogFlag flag, int context, std::string text) {
  LoggingState& s = state();
  LoggerList loggers;
  std::shared_ptr<ns::DispatchQueue> queue;
  {
    std::lock_guard lock(s.mutex);
    if (s.loggers.empty()) {
      return;
    }
    loggers = s.loggers;
    queue = s.queue;
  }
  auto task = [loggers = std::move(loggers), message = LGLogMessage{flag, context, std::move(text)}] {
    deliver(loggers, message);
  };
  // An error waits behind the messages queued before it, so that loggers still see them in order.
  if (flag == LGLogFlag::kError) {
    queue->sync(std::move(task));
  } else {
    queue->async(std::move(task));
  }
}

void LGLog::flush() {
  std::shared_ptr<ns::DispatchQueue> queue;
  {
    std::lock_guard lock(state().mutex);
    queue = state().queue;
  }
  if (queue) {
    queue->sync([] {});
  }
}
