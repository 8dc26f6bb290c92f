#pragma once

// The class walks of the mapping and the name lists that steer it: which properties a class maps (allowed),
// which it leaves out (ignored), and the same two for object coding (KVCoding.h). A list comes from the
// class's hook and from registrations on the class and on each superclass.
//
// Thread-safety: one thread at a time with the rest of the mapping.

#include <functional>

#include "http_client/mapping/KVClassConfiguration.h"

namespace http_client {

class KVClass;

using KVClassVisitor = std::function<void(KVClass& cls, bool& stop)>;

// Calls `visitor` for `cls`, then for each superclass while it is not a platform class and `stop` is clear.
void kv_enumerateClasses(KVClass& cls, const KVClassVisitor& visitor);
// Calls `visitor` for `cls`, then for every superclass up to and including the root, while `stop` is clear.
void kv_enumerateAllClasses(KVClass& cls, const KVClassVisitor& visitor);

// Registrations on `cls`: the list that `producer` makes now. An empty producer removes the registration.
void kv_setupAllowedPropertyNames(KVClass& cls, const std::function<KVNameList()>& producer);
void kv_setupIgnoredPropertyNames(KVClass& cls, const std::function<KVNameList()>& producer);
void kv_setupAllowedCodingPropertyNames(KVClass& cls, const std::function<KVNameList()>& producer);
void kv_setupIgnoredCodingPropertyNames(KVClass& cls, const std::function<KVNameList()>& producer);

// Return, computed afresh, the class's hook answer followed by the lists registered on the class and its
// superclasses in that order; duplicates stay.
KVNameList kv_totalAllowedPropertyNames(KVClass& cls);
KVNameList kv_totalIgnoredPropertyNames(KVClass& cls);
KVNameList kv_totalAllowedCodingPropertyNames(KVClass& cls);
KVNameList kv_totalIgnoredCodingPropertyNames(KVClass& cls);

}  // namespace http_client
