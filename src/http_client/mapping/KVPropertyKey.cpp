#include "http_client/mapping/KVPropertyKey.h"

#include <charconv>

namespace http_client {

std::int64_t KVPropertyKey::index() const {
  std::int64_t index = -1;
  const auto [end, error] = std::from_chars(name_.data(), name_.data() + name_.size(), index);
  if (error != std::errc() || end != name_.data() + name_.size()) {
    return -1;
  }
  return index;
}

const ns::Value* KVPropertyKey::valueInObject(const ns::Value* object) const {
  if (object == nullptr) {
    return nullptr;
  }
  if (type_ == KVPropertyKeyType::kDictionary) {
    return object->isDictionary() ? object->find(name_) : nullptr;
  }
  const std::int64_t position = index();
  if (!object->isArray() || position < 0) {
    return nullptr;
  }
  return object->element(static_cast<std::size_t>(position));
}

}  // namespace http_client
