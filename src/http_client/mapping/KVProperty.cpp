#include "http_client/mapping/KVProperty.h"

#include <algorithm>

namespace http_client {

namespace {

bool isWholeNumber(std::string_view text) {
  if (text.starts_with('-')) {
    text.remove_prefix(1);
  }
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Appends the steps of one component ("name", "name[1][2]", "[0]") to `path`. Returns false when the
// component is no key path.
bool appendComponentSteps(std::string_view component, KVKeyPath& path) {
  const std::size_t open = component.find('[');
  if (open == std::string_view::npos) {
    path.emplace_back(std::string(component));
    return true;
  }
  if (open > 0) {
    path.emplace_back(std::string(component.substr(0, open)));
  }
  std::string_view indexes = component.substr(open);
  while (!indexes.empty()) {
    const std::size_t close = indexes.find(']');
    if (!indexes.starts_with('[') || close == std::string_view::npos) {
      return false;
    }
    const std::string_view index = indexes.substr(1, close - 1);
    if (!isWholeNumber(index)) {
      return false;
    }
    path.emplace_back(std::string(index), KVPropertyKeyType::kArray);
    indexes.remove_prefix(close + 1);
  }
  return true;
}

}  // namespace

KVProperty::KVProperty(std::string name, const KVPropertyType& type, KVClass& srcClass, KVMemberAccess access,
                       KVClass* declaredElementClass)
    : name_(std::move(name)),
      type_(type),
      srcClass_(srcClass),
      access_(std::move(access)),
      declaredElementClass_(declaredElementClass) {}

KVObject KVProperty::valueForObject(const void* object) const {
  if (type_.KVCDisabled()) {
    return ns::Value();
  }
  return access_.read(object);
}

ns::Status KVProperty::setValue(const KVObject& value, void* object) const {
  if (value.isNone() || type_.KVCDisabled()) {
    return {};
  }
  return access_.write(object, value);
}

KVKeyPath KVProperty::propertyKeysWithStringKey(std::string_view key) {
  KVKeyPath path;
  if (key.empty()) {
    return path;
  }
  while (true) {
    const std::size_t dot = key.find('.');
    if (!appendComponentSteps(key.substr(0, dot), path)) {
      return {};
    }
    if (dot == std::string_view::npos) {
      return path;
    }
    key.remove_prefix(dot + 1);
  }
}

void KVProperty::setOriginKey(const KVKey& key, const KVClass& cls) {
  std::vector<KVKeyPath> alternatives;
  for (const std::string& text : key) {
    KVKeyPath path = propertyKeysWithStringKey(text);
    if (!path.empty()) {
      alternatives.push_back(std::move(path));
    }
  }
  setPorpertyKeys(std::move(alternatives), cls);
}

void KVProperty::setPorpertyKeys(std::vector<KVKeyPath> propertyKeys, const KVClass& cls) {
  if (!propertyKeys.empty()) {
    propertyKeysDict_[&cls] = std::move(propertyKeys);
  }
}

const std::vector<KVKeyPath>* KVProperty::propertyKeysForClass(const KVClass& cls) const {
  const auto found = propertyKeysDict_.find(&cls);
  return found != propertyKeysDict_.end() ? &found->second : nullptr;
}

void KVProperty::setObjectClassInArray(KVClass* elementClass, const KVClass& cls) {
  if (elementClass != nullptr) {
    objectClassInArrayDict_[&cls] = elementClass;
  } else {
    objectClassInArrayDict_.erase(&cls);
  }
}

KVClass* KVProperty::objectClassInArrayForClass(const KVClass& cls) const {
  const auto found = objectClassInArrayDict_.find(&cls);
  return found != objectClassInArrayDict_.end() ? found->second : nullptr;
}

}  // namespace http_client
