#pragma once

// Object coding of model classes: a model's properties written into an archive dictionary (keyed by
// property name) and read back. The archive records the model's class, and reading refuses an archive of
// another class, so that bytes archived from one model never fill another. The allowed and ignored coding
// lists of the class (KVObjectClass.h) choose the properties.
//
// Thread-safety: one thread at a time with the rest of the mapping.

#include "http_client/mapping/KVModel.h"
#include "platform/foundation/values/Result.h"

namespace http_client {

// The archive key of the class name.
inline constexpr char kKVCodingClassKey[] = "$class";

// Writes each chosen property's present value of the model `object` into `coder` under the property name,
// models as their dictionaries and URLs as texts, and the class name under kKVCodingClassKey. Properties
// holding nothing or the null object are left out. Returns an error, writing nothing, when the model holds
// itself through its models (a cycle).
ns::Status kv_encode(const KVModelRef& object, ns::Dictionary& coder);
// Assigns to each chosen property of the model `object` the value archived under its name (or under "_"
// and its name), converted as the mapping converts a found value; a property with nothing archived is left
// alone. Returns an error, assigning nothing, when `coder` records no class or another class than the
// object's.
ns::Status kv_decode(const KVModelRef& object, const ns::Dictionary& coder);

template <KVModelClass T>
ns::Status kv_encode(const T& model, ns::Dictionary& coder) {
  return kv_encode(kv_internal::unownedRef(model), coder);
}

template <KVModelClass T>
ns::Status kv_decode(T& model, const ns::Dictionary& coder) {
  return kv_decode(kv_internal::unownedRef(model), coder);
}

}  // namespace http_client
