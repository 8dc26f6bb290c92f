#pragma once

// KVProperty: one declared property of a model class (KVModel.h declares them), with what the mapping
// records for it per class being mapped: the alternative key paths under which its value is found and the
// element class of an array property. A subclass inherits the property object of its superclass and keeps
// its own key paths and element class in it.
//
// Thread-safety: one thread at a time with the rest of the mapping.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "http_client/mapping/KVClassConfiguration.h"
#include "http_client/mapping/KVObject.h"
#include "http_client/mapping/KVPropertyKey.h"
#include "http_client/mapping/KVPropertyType.h"
#include "platform/foundation/values/Result.h"

namespace http_client {

class KVClass;

// Reads and writes one member. The object is an instance of the class that declares the member.
struct KVMemberAccess {
  // Returns the member's value: scalars as numbers, an absent object as none.
  std::function<KVObject(const void* object)> read;
  // Assigns `value`, converted to the member's type; an error whose domain says why when it cannot be.
  std::function<ns::Status(void* object, const KVObject& value)> write;
};

class KVProperty {
 public:
  // `declaredElementClass` is the element class that the member's own type fixes (an array of models or of
  // URLs), or nullptr.
  KVProperty(std::string name, const KVPropertyType& type, KVClass& srcClass, KVMemberAccess access,
             KVClass* declaredElementClass = nullptr);

  const std::string& name() const { return name_; }
  const KVPropertyType& type() const { return type_; }
  // The class that declares the property (not owned).
  KVClass& srcClass() const { return srcClass_; }
  // The element class that the member's type fixes, used when no hook or registration names one.
  KVClass* declaredElementClass() const { return declaredElementClass_; }

  // Returns the property's value on `object`, an instance of srcClass(): scalars as numbers, an absent
  // object as none, the null object for a type whose values cannot be read by name.
  KVObject valueForObject(const void* object) const;
  // Assigns `value` to the property of `object`, an instance of srcClass(). Nothing happens for none or for
  // a type whose values cannot be written by name. Returns an error whose domain says why when the value
  // cannot be converted to the property's type; the property is then unchanged.
  ns::Status setValue(const KVObject& value, void* object) const;

  // Returns the steps of the key path `key` ("a.b[1].c", "list[2][0]"). Returns an empty path for empty text
  // and for text that is no key path: a "[" that does not follow the leading name of a component or another
  // index, an index that is not a whole number, or anything after an index.
  static KVKeyPath propertyKeysWithStringKey(std::string_view key);

  // Parses each alternative of `key` and records the ones that give a path as this property's key paths
  // for `cls`; records nothing when none does.
  void setOriginKey(const KVKey& key, const KVClass& cls);
  // Records `propertyKeys` for `cls` when it is not empty.
  void setPorpertyKeys(std::vector<KVKeyPath> propertyKeys, const KVClass& cls);
  // Returns the key paths recorded for `cls`, or nullptr when none were.
  const std::vector<KVKeyPath>* propertyKeysForClass(const KVClass& cls) const;

  // Records the element class of this array property for `cls`; nullptr forgets the one recorded, so that
  // a list rebuilt after a registration was removed no longer maps elements with it.
  void setObjectClassInArray(KVClass* elementClass, const KVClass& cls);
  // Returns the element class recorded for `cls`, or nullptr.
  KVClass* objectClassInArrayForClass(const KVClass& cls) const;

 private:
  const std::string name_;
  const KVPropertyType& type_;
  KVClass& srcClass_;
  const KVMemberAccess access_;
  KVClass* const declaredElementClass_;
  std::map<const KVClass*, std::vector<KVKeyPath>> propertyKeysDict_;
  std::map<const KVClass*, KVClass*> objectClassInArrayDict_;
};

}  // namespace http_client
