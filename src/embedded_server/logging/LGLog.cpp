#include "embedded_server/logging/LGLog.h"

#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/DispatchQueue.h"

namespace embedded_server {

namespace {

using LoggerList = std::vector<std::shared_ptr<LGLogger>>;

struct LoggingState {
  ns::Mutex mutex;
  LoggerList loggers QM_GUARDED_BY(mutex);
  std::shared_ptr<ns::DispatchQueue> queue QM_GUARDED_BY(mutex);
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
  ns::MutexLock lock(s.mutex);
  s.loggers.push_back(std::move(logger));
  if (!s.queue) {
    s.queue = ns::DispatchQueue::createSerial("server.logging");
  }
}

void LGLog::removeAllLoggers() {
  LoggingState& s = state();
  ns::MutexLock lock(s.mutex);
  s.loggers.clear();
}

void LGLog::log(LGLogFlag flag, int context, std::string text) {
  LoggingState& s = state();
  LoggerList loggers;
  std::shared_ptr<ns::DispatchQueue> queue;
  {
    ns::MutexLock lock(s.mutex);
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
    ns::MutexLock lock(state().mutex);
    queue = state().queue;
  }
  if (queue) {
    queue->sync([] {});
  }
}

}  // namespace embedded_server
