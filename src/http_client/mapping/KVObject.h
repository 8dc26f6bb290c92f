#pragma once

// KVObject: any object that the dictionary-to-model mapping passes between its steps: nothing ("none"), a
// platform value (ns::Value: the null object, numbers, text, data, dates, arrays and dictionaries), a URL, a
// decimal number, a model object, or an array that may hold model objects. Model objects are shared, as the
// platform's objects are; everything else is a value.
//
// Thread-safety: a value; model objects inside follow their own class's rule.

#include <memory>
#include <variant>
#include <vector>

#include "http_client/mapping/KVDecimalNumber.h"
#include "platform/foundation/values/Value.h"
#include "platform/net/URL.h"

namespace http_client {

class KVClass;
class KVObject;

using KVObjectArray = std::vector<KVObject>;

// A model object of a class known only at run time.
struct KVModelRef {
  // The class the object was made as (not owned; classes live for the whole process).
  KVClass* modelClass = nullptr;
  std::shared_ptr<void> object;
};

class KVObject {
 public:
  // None: no object at all, unlike the null object.
  KVObject() = default;
  KVObject(ns::Value value) : storage_(std::move(value)) {}
  KVObject(ns::URL url) : storage_(std::move(url)) {}
  KVObject(KVDecimalNumber number) : storage_(std::move(number)) {}
  KVObject(KVModelRef model) : storage_(std::move(model)) {}
  KVObject(KVObjectArray array) : storage_(std::make_shared<const KVObjectArray>(std::move(array))) {}

  bool isNone() const { return storage_.index() == 0; }
  // True for none and for the null object: the values that leave a property as it was.
  bool isNoneOrNull() const { return isNone() || (value() != nullptr && value()->isNull()); }

  // Each returns the object as that kind, or nullptr when it is of another kind.
  const ns::Value* value() const { return std::get_if<ns::Value>(&storage_); }
  const ns::URL* url() const { return std::get_if<ns::URL>(&storage_); }
  const KVDecimalNumber* decimalNumber() const { return std::get_if<KVDecimalNumber>(&storage_); }
  const KVModelRef* model() const { return std::get_if<KVModelRef>(&storage_); }
  // An array that may hold model objects; an array of platform values alone is a value().
  const KVObjectArray* objectArray() const;

  // Returns the class of the object: the platform class of its kind ("NSString", "NSNumber", "NSNull", ...)
  // or the model's class. Returns nullptr for none.
  KVClass* objectClass() const;

 private:
  std::variant<std::monostate, ns::Value, ns::URL, KVDecimalNumber, KVModelRef,
               std::shared_ptr<const KVObjectArray>>
      storage_;
};

}  // namespace http_client
