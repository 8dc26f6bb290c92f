#pragma once

// HTTPRangeRequest: what a request's Range header asks of a file of known size. A missing header, a unit
// other than bytes, a value that does not parse, and a list of more than kMaximumRanges ranges all ask for
// the whole file: a server may ignore a Range header it does not follow, and ignoring long lists keeps a
// request for many overlapping ranges from multiplying the bytes sent. Ranges that start beyond the end of
// the file are dropped; when none is left the request cannot be satisfied.
// Thread-safety: a plain value.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "embedded_server/http/LGRange.h"

namespace embedded_server {

class HTTPRangeRequest {
 public:
  enum class Kind { kWholeFile, kRanges, kUnsatisfiable };

  static constexpr std::size_t kMaximumRanges = 64;

  // Reads `header` (the Range header's value, or nullopt when the request has none) for a file of
  // `fileSize` bytes.
  static HTTPRangeRequest parse(std::optional<std::string_view> header, std::uint64_t fileSize);

  Kind kind() const { return kind_; }
  // The satisfiable ranges, in the order asked, each cut to the end of the file. Empty unless kRanges.
  const std::vector<LGRange>& ranges() const { return ranges_; }

 private:
  HTTPRangeRequest(Kind kind, std::vector<LGRange> ranges) : kind_(kind), ranges_(std::move(ranges)) {}

  Kind kind_;
  std::vector<LGRange> ranges_;
};

}  // namespace embedded_server
