#pragma once

// The per-class configuration of the dictionary-to-model mapping: the answers of the hooks that a model
// class declares (found at compile time, see KVModel.h) and the registrations made at run time by the setup
// operations (KVObjectProperty.h, KVObjectClass.h). Both are kept on the class's KVClass.
//
// Thread-safety: plain data, guarded as KVClass is.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "http_client/mapping/KVObject.h"

namespace http_client {

class KVProperty;

// The key or keys under which a property's value is found: each text is a key path ("info.name",
// "list[1]"), the alternatives tried in order. One text is a key list of one.
using KVKey = std::vector<std::string>;
using KVKeyDictionary = std::map<std::string, KVKey, std::less<>>;

// A class given by itself or by its name.
struct KVClassRef {
  KVClassRef(KVClass& modelClass) : target(&modelClass) {}
  KVClassRef(const char* name) : target(std::string(name)) {}
  KVClassRef(std::string name) : target(std::move(name)) {}

  // Returns the class, or nullptr when a name names no class.
  KVClass* resolve() const;

  std::variant<KVClass*, std::string> target;
};
using KVClassDictionary = std::map<std::string, KVClassRef, std::less<>>;

using KVNameList = std::vector<std::string>;

// A value filter's answer: std::nullopt passes the value on unchanged; an object (none included) is assigned
// as it stands instead (none assigns nothing).
using KVFilteredValue = std::optional<KVObject>;

// Model objects reach the hooks as untyped pointers to an instance of the class that declared the hook.
using KVReplacedKeyFunction = std::function<std::optional<KVKey>(std::string_view propertyName)>;
using KVValueFilter =
    std::function<KVFilteredValue(const void* object, const KVObject& oldValue, const KVProperty& property)>;

// The hooks a model class answers; an empty function is a hook the class does not answer.
struct KVClassHooks {
  KVReplacedKeyFunction kvReplacedKeyFromPropertyName121;
  KVReplacedKeyFunction replacedKeyFromPropertyName121;
  std::function<KVKeyDictionary()> kvReplacedKeyFromPropertyName;
  std::function<KVKeyDictionary()> replacedKeyFromPropertyName;
  std::function<KVClassDictionary()> kvObjectClassInArray;
  std::function<KVClassDictionary()> objectClassInArray;
  // The instance hook, called on the model object being filled.
  KVValueFilter kvNewValueFromOldValue;
  // The older class hook, which does not see the object.
  std::function<KVFilteredValue(const KVObject& oldValue, const KVProperty& property)> newValueFromOldValue;
  std::function<KVNameList()> kvAllowedPropertyNames;
  std::function<KVNameList()> kvIgnoredPropertyNames;
  std::function<KVNameList()> kvAllowedCodingPropertyNames;
  std::function<KVNameList()> kvIgnoredCodingPropertyNames;
  std::function<void(void* object)> kvKeyValuesDidFinishConvertingToObject;
  std::function<void(const void* object)> kvObjectDidFinishConvertingToKeyValues;
};

// What the setup operations registered on one class.
struct KVClassRegistrations {
  std::optional<KVKeyDictionary> replacedKeys;
  KVReplacedKeyFunction replacedKeyFunction;
  std::optional<KVClassDictionary> objectClassInArray;
  // Called with the object seen as an instance of the registering class.
  KVValueFilter newValueFilter;
  std::optional<KVNameList> allowedPropertyNames;
  std::optional<KVNameList> ignoredPropertyNames;
  std::optional<KVNameList> allowedCodingPropertyNames;
  std::optional<KVNameList> ignoredCodingPropertyNames;
  std::optional<bool> referenceReplacedKeyWhenCreatingKeyValues;
};

}  // namespace http_client
