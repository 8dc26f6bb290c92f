#pragma once

// The property list of a model class, as the mapping walks it: the class's own declared properties first,
// then those of each superclass in turn (up to the first platform class), without the names "hash",
// "superclass", "description" and "debugDescription". Each property carries, for the class listed, its key
// paths and the element class of an array, worked out from the class's hooks and the registrations below.
// The list is cached per class; registering replaced keys or element classes on any class empties the whole
// cache, so that every list is rebuilt with the new configuration.
//
// Thread-safety: one thread at a time with the rest of the mapping.

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "http_client/mapping/KVClassConfiguration.h"

namespace http_client {

class KVClass;
class KVProperty;

// Returns the cached property list of `cls`, built on first use.
const std::vector<KVProperty*>& properties(KVClass& cls);

// Calls `visitor` for each property of the list in order, until it sets `stop`.
void kv_enumerateProperties(KVClass& cls,
                            const std::function<void(KVProperty& property, bool& stop)>& visitor);

// Registrations on `cls`. An empty producer or function removes the registration. The dictionaries are
// made by the producer now; the functions are kept and called per property.
void kv_setupReplacedKeyFromPropertyName(KVClass& cls, const std::function<KVKeyDictionary()>& producer);
void kv_setupReplacedKeyFromPropertyName121(KVClass& cls, KVReplacedKeyFunction function);
void kv_setupObjectClassInArray(KVClass& cls, const std::function<KVClassDictionary()>& producer);
// The filter receives the object seen as an instance of `cls` when `cls` is a model class.
void kv_setupNewValueFromOldValue(KVClass& cls, KVValueFilter filter);

// Returns what the mapping assigns to `property` of `object` (an instance of `cls`) for the value found: the
// answer of the object's kv_newValueFromOldValue hook, else of the class's older newValueFromOldValue hook,
// else of the first filter registered along the class and its superclasses; std::nullopt (the value
// unchanged) when there is none.
KVFilteredValue kv_getNewValueFromObject(KVClass& cls, const void* object, const KVObject& oldValue,
                                         const KVProperty& property);

// Returns true when kv_getNewValueFromObject() may give anything but std::nullopt for models of `cls`: the
// class answers a filter hook, or a filter is registered along it.
bool kvHasValueFilter(KVClass& cls);

// Returns the replaced key of the property `name` of `cls`: from the hooks and registrations in their order
// of precedence, else the name itself.
std::optional<KVKey> propertyKey(KVClass& cls, std::string_view name);
// Returns the element class of the array property `name` of `cls` from the hooks and registrations, or
// nullptr when none is given (or a name given names no class).
KVClass* propertyObjectClassInArray(KVClass& cls, std::string_view name);

}  // namespace http_client
