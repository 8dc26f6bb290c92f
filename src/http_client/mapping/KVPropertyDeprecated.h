#pragma once

// The older names of the property-list operations (KVObjectProperty.h), kept for callers written against
// them: each calls the kv_ operation of the same stem with the same arguments.
//
// Thread-safety: as KVObjectProperty.h.

#include <functional>

#include "http_client/mapping/KVObjectProperty.h"

namespace http_client {

inline void enumerateProperties(KVClass& cls,
                                const std::function<void(KVProperty& property, bool& stop)>& visitor) {
  kv_enumerateProperties(cls, visitor);
}
inline void setupNewValueFromOldValue(KVClass& cls, KVValueFilter filter) {
  kv_setupNewValueFromOldValue(cls, std::move(filter));
}
inline KVFilteredValue getNewValueFromObject(KVClass& cls, const void* object, const KVObject& oldValue,
                                             const KVProperty& property) {
  return kv_getNewValueFromObject(cls, object, oldValue, property);
}
inline void setupReplacedKeyFromPropertyName(KVClass& cls, const std::function<KVKeyDictionary()>& producer) {
  kv_setupReplacedKeyFromPropertyName(cls, producer);
}
inline void setupReplacedKeyFromPropertyName121(KVClass& cls, KVReplacedKeyFunction function) {
  kv_setupReplacedKeyFromPropertyName121(cls, std::move(function));
}
inline void setupObjectClassInArray(KVClass& cls, const std::function<KVClassDictionary()>& producer) {
  kv_setupObjectClassInArray(cls, producer);
}

}  // namespace http_client
