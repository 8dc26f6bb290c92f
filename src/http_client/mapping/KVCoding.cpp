#include "http_client/mapping/KVCoding.h"

#include <algorithm>

#include "http_client/mapping/KVObjectClass.h"
#include "http_client/mapping/KVObjectProperty.h"
#include "platform/foundation/check/Check.h"

namespace http_client {

namespace {

bool contains(const KVNameList& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Returns the properties of the class chosen by its coding lists.
std::vector<KVProperty*> codedProperties(KVClass& cls) {
  const KVNameList allowed = kv_totalAllowedCodingPropertyNames(cls);
  const KVNameList ignored = kv_totalIgnoredCodingPropertyNames(cls);
  std::vector<KVProperty*> chosen;
  for (KVProperty* property : properties(cls)) {
    if ((allowed.empty() || contains(allowed, property->name())) && !contains(ignored, property->name())) {
      chosen.push_back(property);
    }
  }
  return chosen;
}

}  // namespace

ns::Status kv_encode(const KVModelRef& object, ns::Dictionary& coder) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  KVClass& cls = *object.modelClass;
  ns::Dictionary encoded;
  for (const KVProperty* property : codedProperties(cls)) {
    ns::Result<std::optional<ns::Value>> value = kvDictionaryValue(cls, object.object.get(), *property);
    if (!value.ok()) {
      return value.error();
    }
    // A null is left out, since an archive cannot hold one; decoding then leaves the property alone.
    if (*value && !(*value)->isNull()) {
      encoded[property->name()] = std::move(**value);
    }
  }
  encoded[kKVCodingClassKey] = cls.name();
  for (auto& [key, value] : encoded) {
    coder[key] = std::move(value);
  }
  return {};
}

ns::Status kv_decode(const KVModelRef& object, const ns::Dictionary& coder) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  KVClass& cls = *object.modelClass;
  const auto archivedClass = coder.find(kKVCodingClassKey);
  if (archivedClass == coder.end() || !archivedClass->second.isString() ||
      archivedClass->second.asString() != cls.name()) {
    return ns::Error("the archive does not hold a " + cls.name(), kKVErrorCode);
  }
  for (const KVProperty* property : codedProperties(cls)) {
    auto found = coder.find(property->name());
    if (found == coder.end()) {
      found = coder.find("_" + property->name());
    }
    if (found == coder.end()) {
      continue;
    }
    const ns::Status assigned = kvAssignConvertedValue(cls, object.object.get(), *property, found->second);
    if (!assigned.ok()) {
      kvRecordError(cls, assigned.error().domain());
    }
  }
  return {};
}

}  // namespace http_client
