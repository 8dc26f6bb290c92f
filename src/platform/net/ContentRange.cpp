#include "platform/net/ContentRange.h"

#include <charconv>
#include <string_view>

namespace ns {

std::optional<std::uint64_t> contentRangeStart(const HTTPURLResponse& response) {
  const auto found = response.allHeaderFields().find("Content-Range");
  if (found == response.allHeaderFields().end()) {
    return std::nullopt;
  }
  std::string_view range = found->second;
  constexpr std::string_view kUnit = "bytes ";
  if (!range.starts_with(kUnit)) {
    return std::nullopt;
  }
  range.remove_prefix(kUnit.size());
  std::uint64_t start = 0;
  const auto [end, error] = std::from_chars(range.data(), range.data() + range.size(), start);
  if (error != std::errc() || end == range.data() + range.size() || *end != '-') {
    return std::nullopt;
  }
  return start;
}

bool continuesBodyAt(const HTTPURLResponse& response, std::uint64_t offset) {
  return response.statusCode() == 206 && contentRangeStart(response) == offset;
}

}  // namespace ns
