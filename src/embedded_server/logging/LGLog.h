#pragma once

// LGLog: the web server's logging framework. Errors are handed to the installed loggers before log()
// returns, so they are never lost when the process ends right after; every other message is handed over
// later, in order, on the serial queue "server.logging", so that logging never slows a connection down.
// Thread-safety: every function may be called from any thread.

#include <memory>
#include <string>

#include "embedded_server/logging/LGLogMessage.h"
#include "embedded_server/logging/LGLogger.h"

namespace embedded_server {

class LGLog {
 public:
  // Delivers every later message to `logger` too. The framework shares ownership of it.
  static void addLogger(std::shared_ptr<LGLogger> logger);
  // Stops delivering to every logger added so far, once the messages already queued have been delivered.
  static void removeAllLoggers();

  // Logs `text`. Costs next to nothing while no logger is installed.
  static void log(LGLogFlag flag, int context, std::string text);

  // Returns once every message logged before the call has been delivered.
  static void flush();
};

}  // namespace embedded_server
