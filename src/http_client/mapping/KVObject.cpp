#include "http_client/mapping/KVObject.h"

#include "http_client/mapping/KVClass.h"

namespace http_client {

namespace {

const char* platformClassNameOfValue(const ns::Value& value) {
  switch (value.kind()) {
    case ns::ValueKind::kNull:
      return "NSNull";
    case ns::ValueKind::kBool:
    case ns::ValueKind::kInteger:
    case ns::ValueKind::kDouble:
      return "NSNumber";
    case ns::ValueKind::kString:
      return "NSString";
    case ns::ValueKind::kData:
      return "NSData";
    case ns::ValueKind::kDate:
      return "NSDate";
    case ns::ValueKind::kArray:
      return "NSArray";
    case ns::ValueKind::kDictionary:
      return "NSDictionary";
  }
  return "NSObject";
}

}  // namespace

const KVObjectArray* KVObject::objectArray() const {
  const auto* array = std::get_if<std::shared_ptr<const KVObjectArray>>(&storage_);
  return array != nullptr ? array->get() : nullptr;
}

KVClass* KVObject::objectClass() const {
  if (const ns::Value* plain = value()) {
    return &KVClass::platformClass(platformClassNameOfValue(*plain));
  }
  if (url() != nullptr) {
    return &KVClass::platformClass("NSURL");
  }
  if (decimalNumber() != nullptr) {
    return &KVClass::platformClass("NSDecimalNumber");
  }
  if (const KVModelRef* modelRef = model()) {
    return modelRef->modelClass;
  }
  if (objectArray() != nullptr) {
    return &KVClass::platformClass("NSArray");
  }
  return nullptr;
}

}  // namespace http_client
