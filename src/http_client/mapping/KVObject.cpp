#include "http_client/mapping/KVObject.h"

#include "http_client/mapping/KVClass.h"

namespace http_client {

namespace {

KVClass& platformClassOfValue(const ns::Value& value) {
  const KVClass::PlatformClasses& classes = KVClass::platformClasses();
  switch (value.kind()) {
    case ns::ValueKind::kNull:
      return classes.null;
    case ns::ValueKind::kBool:
    case ns::ValueKind::kInteger:
    case ns::ValueKind::kDouble:
      return classes.number;
    case ns::ValueKind::kString:
      return classes.string;
    case ns::ValueKind::kData:
      return classes.data;
    case ns::ValueKind::kDate:
      return classes.date;
    case ns::ValueKind::kArray:
      return classes.array;
    case ns::ValueKind::kDictionary:
      return classes.dictionary;
    case ns::ValueKind::kSet:
      return KVClass::platformClass("NSSet");
  }
  return KVClass::rootClass();
}

}  // namespace

const KVObjectArray* KVObject::objectArray() const {
  const auto* array = std::get_if<std::shared_ptr<const KVObjectArray>>(&storage_);
  return array != nullptr ? array->get() : nullptr;
}

KVClass* KVObject::objectClass() const {
  if (const ns::Value* plain = value()) {
    return &platformClassOfValue(*plain);
  }
  if (url() != nullptr) {
    return &KVClass::platformClasses().url;
  }
  if (decimalNumber() != nullptr) {
    return &KVClass::platformClasses().decimalNumber;
  }
  if (const KVModelRef* modelRef = model()) {
    return modelRef->modelClass;
  }
  if (objectArray() != nullptr) {
    return &KVClass::platformClasses().array;
  }
  return nullptr;
}

}  // namespace http_client
