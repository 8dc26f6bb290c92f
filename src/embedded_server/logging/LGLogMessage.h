#pragma once

// LGLogMessage: one message of the web server's logging framework, as its loggers receive it.
// Thread-safety: a plain value.

#include <string>

namespace embedded_server {

// How serious a message is. Errors are delivered before the logging call returns; the others later.
enum class LGLogFlag { kError, kWarning, kInfo, kVerbose };

struct LGLogMessage {
  LGLogFlag flag;
  // Which component logged it; the web server and its sockets log with kHTTPLogContext.
  int context;
  std::string text;
};

// The context of every message the web server and its sockets log.
inline constexpr int kHTTPLogContext = 80;

}  // namespace embedded_server
