#pragma once

// testsupport::RecordedRequest: one request as a loopback test server received it.

#include <optional>
#include <string>
#include <string_view>

#include "support/header_list.h"

namespace testsupport {

struct RecordedRequest {
  std::string method;
  // The request target as sent: path and query.
  std::string target;
  // The target without its query.
  std::string path;
  // Header fields in the order received, names as spelled.
  HeaderList headers;
  std::string body;

  // Returns the value of the first header named `name` in any letter case, or nullopt.
  std::optional<std::string> header(std::string_view name) const { return findHeader(headers, name); }
};

}  // namespace testsupport
