#include "platform/avfoundation/PlaylistKeyAttribute.h"

namespace av {

namespace {

constexpr std::string_view kKeyTag = "#EXT-X-KEY:";

}  // namespace

std::vector<PlaylistKeyAttribute> playlistKeyAttributes(std::string_view keyLine) {
  std::vector<PlaylistKeyAttribute> attributes;
  std::string_view rest = keyLine.substr(kKeyTag.size());
  while (!rest.empty()) {
    const std::size_t equals = rest.find('=');
    if (equals == std::string_view::npos) {
      break;
    }
    const std::string_view name = rest.substr(0, equals);
    rest.remove_prefix(equals + 1);
    std::size_t valueEnd = rest.starts_with('"') ? rest.find('"', 1) : rest.find(',');
    if (rest.starts_with('"') && valueEnd != std::string_view::npos) {
      ++valueEnd;
    }
    const std::string_view value = rest.substr(0, valueEnd);
    attributes.push_back({name, value});
    rest.remove_prefix(value.size());
    if (rest.starts_with(',')) {
      rest.remove_prefix(1);
    }
  }
  return attributes;
}

std::string unquotedAttributeValue(std::string_view value) {
  if (value.size() >= 2 && value.starts_with('"') && value.ends_with('"')) {
    return std::string(value.substr(1, value.size() - 2));
  }
  return std::string(value);
}

}  // namespace av
