#pragma once

// The older names of the mapping (KVKeyValue.h, KVKeyValueFiles.h), kept for callers written against them.
// Each plain form calls the kv_ operation of the same stem with the same arguments. Each form that takes
// `error` does the same and then, when `error` is not null, stores in it the last error of the class worked
// for (the receiver's class, or `cls`), which is std::nullopt after a success.
//
// Thread-safety: one thread at a time with the rest of the mapping.

#include <optional>
#include <string_view>

#include "http_client/mapping/KVClass.h"
#include "http_client/mapping/KVKeyValue.h"
#include "http_client/mapping/KVKeyValueFiles.h"

namespace http_client {

namespace kv_internal {

// Stores the last error of `cls` in `error`, when one is asked for.
inline void storeLastError(const KVClass* cls, std::optional<ns::Error>* error) {
  if (error != nullptr) {
    *error = cls != nullptr ? cls->kv_error() : std::nullopt;
  }
}

template <typename Result>
Result withLastError(Result result, const KVClass* cls, std::optional<ns::Error>* error) {
  storeLastError(cls, error);
  return result;
}

}  // namespace kv_internal

inline void setKeyValues(const KVModelRef& object, const KVObject& keyValues,
                         std::optional<ns::Error>* error = nullptr) {
  kv_setKeyValues(object, keyValues);
  kv_internal::storeLastError(object.modelClass, error);
}
inline void setKeyValues(const KVModelRef& object, const KVObject& keyValues,
                         cd::ManagedObjectContext* context, std::optional<ns::Error>* error = nullptr) {
  kv_setKeyValues(object, keyValues, context);
  kv_internal::storeLastError(object.modelClass, error);
}

inline KVObject keyValuesWithKeys(const KVObject& receiver, const KVNameList& keys,
                                  std::optional<ns::Error>* error = nullptr) {
  return kv_internal::withLastError(kv_keyValuesWithKeys(receiver, keys, {}), receiver.objectClass(), error);
}
inline KVObject keyValuesWithIgnoredKeys(const KVObject& receiver, const KVNameList& ignoredKeys,
                                         std::optional<ns::Error>* error = nullptr) {
  return kv_internal::withLastError(kv_keyValuesWithKeys(receiver, {}, ignoredKeys), receiver.objectClass(),
                                    error);
}
inline KVObject keyValues(const KVObject& receiver) {
  return kv_keyValuesWithKeys(receiver, {}, {});
}
inline KVObject keyValuesWithError(const KVObject& receiver, std::optional<ns::Error>* error) {
  return keyValuesWithKeys(receiver, {}, error);
}

inline std::optional<ns::Array> keyValuesArrayWithObjectArray(const KVObject& objectArray,
                                                              const KVNameList& keys,
                                                              const KVNameList& ignoredKeys,
                                                              std::optional<ns::Error>* error = nullptr) {
  return kv_internal::withLastError(kv_keyValuesArrayWithObjectArray(objectArray, keys, ignoredKeys),
                                    &KVClass::rootClass(), error);
}

inline std::optional<KVModelRef> objectWithKeyValues(KVClass& cls, const KVObject& keyValues,
                                                     std::optional<ns::Error>* error = nullptr) {
  return kv_internal::withLastError(kv_objectWithKeyValues(cls, keyValues), &cls, error);
}
inline std::optional<KVModelRef> objectWithKeyValues(KVClass& cls, const KVObject& keyValues,
                                                     cd::ManagedObjectContext* context,
                                                     std::optional<ns::Error>* error = nullptr) {
  return kv_internal::withLastError(kv_objectWithKeyValues(cls, keyValues, context), &cls, error);
}
inline std::optional<KVModelRef> objectWithFilename(KVClass& cls, std::optional<std::string_view> filename,
                                                    std::optional<ns::Error>* error = nullptr) {
  return kv_internal::withLastError(kv_objectWithFilename(cls, filename), &cls, error);
}
inline std::optional<KVModelRef> objectWithFile(KVClass& cls, std::optional<std::string_view> path,
                                                std::optional<ns::Error>* error = nullptr) {
  return kv_internal::withLastError(kv_objectWithFile(cls, path), &cls, error);
}

inline KVObject objectArrayWithKeyValuesArray(KVClass& cls, const KVObject& keyValuesArray,
                                              std::optional<ns::Error>* error = nullptr) {
  return kv_internal::withLastError(kv_objectArrayWithKeyValuesArray(cls, keyValuesArray), &cls, error);
}
inline KVObject objectArrayWithKeyValuesArray(KVClass& cls, const KVObject& keyValuesArray,
                                              cd::ManagedObjectContext* context,
                                              std::optional<ns::Error>* error = nullptr) {
  return kv_internal::withLastError(kv_objectArrayWithKeyValuesArray(cls, keyValuesArray, context), &cls,
                                    error);
}
inline KVObject objectArrayWithFilename(KVClass& cls, std::optional<std::string_view> filename,
                                        std::optional<ns::Error>* error = nullptr) {
  return kv_internal::withLastError(kv_objectArrayWithFilename(cls, filename), &cls, error);
}
inline KVObject objectArrayWithFile(KVClass& cls, std::optional<std::string_view> path,
                                    std::optional<ns::Error>* error = nullptr) {
  return kv_internal::withLastError(kv_objectArrayWithFile(cls, path), &cls, error);
}

inline void referenceReplacedKeyWhenCreatingKeyValues(KVClass& cls, bool reference) {
  kv_referenceReplacedKeyWhenCreatingKeyValues(cls, reference);
}

inline KVObject JSONObject(const KVObject& input) {
  return kv_JSONObject(input);
}
inline std::optional<ns::Data> JSONData(const KVObject& input) {
  return kv_JSONData(input);
}
inline std::optional<std::string> JSONString(const KVObject& input) {
  return kv_JSONString(input);
}

}  // namespace http_client
