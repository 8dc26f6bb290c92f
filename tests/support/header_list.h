#pragma once

// Header fields as a loopback test server reads and writes them: in order, names as spelled.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

// Returns the value of the first field of `headers` named `name` in any letter case, or nullopt.
std::optional<std::string> findHeader(const HeaderList& headers, std::string_view name);

}  // namespace testsupport
