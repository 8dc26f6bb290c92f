#pragma once

// LGLogger: where the logging framework delivers messages. None is installed by default, so the web
// server's messages go nowhere until someone adds a logger with LGLog::addLogger().
// Thread-safety: logMessage() is called on the "server.logging" queue, one message at a time, in the order
// the messages were logged.

#include "embedded_server/logging/LGLogMessage.h"

namespace embedded_server {

class LGLogger {
 public:
  virtual ~LGLogger() = default;
  virtual void logMessage(const LGLogMessage& message) = 0;
};

}  // namespace embedded_server
