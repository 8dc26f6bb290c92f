#pragma once

// RunLoopSocketException: what RunLoopSocket throws when it is used against its contract, the way the
// platform raises an exception for such a programming error. It is never thrown for a network failure.
// Thread-safety: a plain value.

#include <stdexcept>
#include <string>

namespace embedded_server {

class RunLoopSocketException : public std::logic_error {
 public:
  explicit RunLoopSocketException(const std::string& reason) : std::logic_error(reason) {}

  // "RunLoopSocketException".
  static const char* name() { return "RunLoopSocketException"; }
  std::string reason() const { return what(); }
};

}  // namespace embedded_server
