#include "platform/foundation/formats/KeyPath.h"

namespace ns {

void prependKey(std::string& path, std::string_view key) {
  std::string prefixed = "[\"";
  prefixed += key;
  prefixed += "\"]";
  prefixed += path;
  path = std::move(prefixed);
}

void prependIndex(std::string& path, std::size_t index) {
  std::string prefixed = "[";
  prefixed += std::to_string(index);
  prefixed += ']';
  prefixed += path;
  path = std::move(prefixed);
}

std::string failureText(std::string_view what, std::string_view path) {
  std::string text(what);
  if (!path.empty()) {
    text += " at ";
    text += path;
  }
  return text;
}

}  // namespace ns
