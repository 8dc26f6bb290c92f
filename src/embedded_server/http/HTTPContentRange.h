#pragma once

// HTTPContentRange: the values of the Content-Range header. Thread-safety: pure functions.

#include <cstdint>
#include <string>

#include "embedded_server/http/LGRange.h"

namespace embedded_server {

class HTTPContentRange {
 public:
  // Returns "bytes first-last/size". REQUIRES: range.length > 0.
  static std::string forRange(const LGRange& range, std::uint64_t fileSize);
  // Returns "bytes */size", the value sent with 416.
  static std::string unsatisfied(std::uint64_t fileSize);
};

}  // namespace embedded_server
