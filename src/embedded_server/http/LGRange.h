#pragma once

// LGRange: a run of bytes of a file, as its first byte and its length. Thread-safety: a plain value.

#include <cstdint>

#include "platform/foundation/check/Check.h"

namespace embedded_server {

struct LGRange {
  std::uint64_t location = 0;
  std::uint64_t length = 0;

  // The offset of the last byte. REQUIRES: length > 0.
  std::uint64_t lastByte() const {
    QM_DCHECK(length > 0, "length > 0");
    return location + length - 1;
  }

  friend bool operator==(const LGRange&, const LGRange&) = default;
};

}  // namespace embedded_server
