#include "http_client/mapping/KVKeyValue.h"

#include <algorithm>

#include "http_client/mapping/KVClass.h"
#include "http_client/mapping/KVNumberParser.h"
#include "http_client/mapping/KVObjectClass.h"
#include "http_client/mapping/KVObjectProperty.h"
#include "http_client/mapping/KVProperty.h"
#include "http_client/mapping/KVStringExtension.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/text/CaseMapping.h"

namespace http_client {

namespace {

ns::Result<KVObject> keyValuesOf(const KVObject& receiver, const KVNameList& keys,
                                 const KVNameList& ignoredKeys);
ns::Result<ns::Array> keyValuesArrayOf(const KVObject& objectArray, const KVNameList& keys,
                                       const KVNameList& ignoredKeys);

// The models whose dictionaries are being made, outermost first. A model met again while its own
// dictionary is being made lies on a cycle, which would otherwise be followed until the stack ran out.
std::vector<const void*>& modelsInProgress() {
  static std::vector<const void*> models;
  return models;
}

// Marks a model as in progress for its scope.
class ModelInProgress {
 public:
  explicit ModelInProgress(const void* model) { modelsInProgress().push_back(model); }
  ~ModelInProgress() { modelsInProgress().pop_back(); }
  ModelInProgress(const ModelInProgress&) = delete;
  ModelInProgress& operator=(const ModelInProgress&) = delete;
};

bool contains(const KVNameList& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Whether the allowed and ignored lists let `name` through.
bool passes(const std::string& name, const KVNameList& allowed, const KVNameList& ignored) {
  return (allowed.empty() || contains(allowed, name)) && !contains(ignored, name);
}

KVObject parsedJSON(const ns::Result<ns::Value>& parsed) {
  return parsed.ok() ? KVObject(*parsed) : KVObject();
}

// Returns the value found under the first of the key paths that finds one, or nullptr.
const ns::Value* valueAlongKeyPaths(const ns::Value& dictionary, const std::vector<KVKeyPath>* keyPaths) {
  if (keyPaths == nullptr) {
    return nullptr;
  }
  for (const KVKeyPath& path : *keyPaths) {
    const ns::Value* current = &dictionary;
    for (const KVPropertyKey& step : path) {
      current = step.valueInObject(current);
    }
    if (current != nullptr) {
      return current;
    }
  }
  return nullptr;
}

// Returns the value as the platform value a dictionary holds: URLs as their text, decimal numbers as
// numbers, models as their dictionaries. Fails when a model's graph has a cycle.
ns::Result<ns::Value> plainValue(const KVObject& object) {
  if (const ns::Value* value = object.value()) {
    return *value;
  }
  if (const ns::URL* url = object.url()) {
    return ns::Value(url->absoluteString());
  }
  if (const KVDecimalNumber* number = object.decimalNumber()) {
    return number->numberValue();
  }
  if (const KVObjectArray* array = object.objectArray()) {
    ns::Array plain;
    plain.reserve(array->size());
    for (const KVObject& element : *array) {
      ns::Result<ns::Value> converted = plainValue(element);
      if (!converted.ok()) {
        return converted.error();
      }
      plain.push_back(std::move(*converted));
    }
    return ns::Value(std::move(plain));
  }
  if (object.model() != nullptr) {
    ns::Result<KVObject> dictionary = keyValuesOf(object, {}, {});
    if (!dictionary.ok()) {
      return dictionary.error();
    }
    return plainValue(*dictionary);
  }
  return ns::Value();
}

// Converts a found value for a property that holds neither a model nor an array of models: numbers to text
// for a text, texts to numbers, booleans and URLs as the property asks; a value of another class than the
// property's gives none.
KVObject convertedPlainValue(const KVProperty& property, KVObject value) {
  KVClass* propertyClass = property.type().typeClass();
  const ns::Value* plain = value.value();
  if (propertyClass == &KVClass::platformClasses().string) {
    if (plain != nullptr && plain->isNumber()) {
      value = ns::Value(ns::describe(*plain));
    } else if (const ns::URL* url = value.url()) {
      value = ns::Value(url->absoluteString());
    }
  } else if (plain != nullptr && plain->isString()) {
    const std::string text = plain->asString();
    if (propertyClass == &KVClass::platformClasses().url) {
      const std::optional<ns::URL> url = kv_url(text);
      value = url ? KVObject(*url) : KVObject();
    } else if (property.type().numberType()) {
      if (propertyClass == &KVClass::platformClasses().decimalNumber) {
        const std::optional<KVDecimalNumber> number = KVDecimalNumber::fromString(text);
        value = number ? KVObject(*number) : KVObject();
      } else {
        const std::optional<ns::Value> number = KVNumberParser::numberFromString(text);
        value = number ? KVObject(*number) : KVObject();
      }
      if (property.type().boolType()) {
        const std::string lower = ns::lowercased(text);
        if (lower == "yes" || lower == "true") {
          value = ns::Value(true);
        } else if (lower == "no" || lower == "false") {
          value = ns::Value(false);
        }
      }
    }
  } else if (plain != nullptr && plain->isNumber() &&
             propertyClass == &KVClass::platformClasses().decimalNumber) {
    // A number where a decimal number is expected is the same amount, not a value of the wrong kind.
    const std::optional<KVDecimalNumber> number = KVDecimalNumber::fromNumber(*plain);
    value = number ? KVObject(*number) : KVObject();
  }
  if (propertyClass != nullptr && !value.isNone() && !value.objectClass()->isSubclassOf(*propertyClass)) {
    return {};
  }
  return value;
}

ns::Status failure(std::string reason) {
  return ns::Error(std::move(reason), kKVErrorCode);
}

// The URLs of the texts of an array, for an array property whose elements are URLs. Elements that are not
// texts are dropped; a text that gives no URL fails the property.
ns::Result<KVObject> urlArray(const ns::Array& texts) {
  KVObjectArray urls;
  for (const ns::Value& text : texts) {
    if (!text.isString()) {
      continue;
    }
    std::optional<ns::URL> url = kv_url(text.asString());
    if (!url) {
      return ns::Error("\"" + text.asString() + "\" is not a URL", kKVErrorCode);
    }
    urls.emplace_back(std::move(*url));
  }
  return KVObject(std::move(urls));
}

// Stores `value` in `result` along `path`, making the dictionaries and arrays on the way (an array padded
// with nulls up to the index that follows). Fails when the way is blocked by a value that is no container.
ns::Status storeAlongKeyPath(ns::Value& result, const KVKeyPath& path, ns::Value value) {
  ns::Value* current = &result;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const KVPropertyKey& step = path[i];
    ns::Value* slot = nullptr;
    if (current->isDictionary()) {
      slot = &current->mutableDictionary()[step.name()];
    } else if (current->isArray() && step.type() == KVPropertyKeyType::kArray && step.index() >= 0 &&
               static_cast<std::size_t>(step.index()) < current->count()) {
      slot = &current->mutableArray()[static_cast<std::size_t>(step.index())];
    } else {
      return failure("the key path step \"" + step.name() + "\" meets a value that holds no such place");
    }
    if (i + 1 == path.size()) {
      *slot = std::move(value);
      return {};
    }
    const KVPropertyKey& next = path[i + 1];
    if (slot->isNull()) {
      *slot = next.type() == KVPropertyKeyType::kArray ? ns::Value(ns::Array()) : ns::Value(ns::Dictionary());
    }
    if (slot->isArray() && next.type() == KVPropertyKeyType::kArray) {
      const std::int64_t index = next.index();
      ns::Array& array = slot->mutableArray();
      if (index >= 0 && array.size() <= static_cast<std::size_t>(index)) {
        array.resize(static_cast<std::size_t>(index) + 1);
      }
    }
    current = slot;
  }
  return {};
}

KVClass& modelClassOf(const KVObject& receiver) {
  return *receiver.model()->modelClass;
}

// kv_keyValuesWithKeys() without recording its failure, which is a cycle in the model's graph.
ns::Result<KVObject> keyValuesOf(const KVObject& receiver, const KVNameList& keys,
                                 const KVNameList& ignoredKeys) {
  KVClass* receiverClass = receiver.objectClass();
  if (receiverClass == nullptr) {
    return receiver;
  }
  receiverClass->setKv_error(std::nullopt);
  if (!receiverClass->isModelClass()) {
    kvRecordError(*receiverClass, kKVNotAModelError);
    return receiver;
  }
  KVClass& cls = modelClassOf(receiver);
  const void* object = receiver.model()->object.get();
  const std::vector<const void*>& inProgress = modelsInProgress();
  if (std::find(inProgress.begin(), inProgress.end(), object) != inProgress.end()) {
    return ns::Error("a " + cls.name() +
                         " holds itself through its properties: a model graph with a cycle "
                         "has no dictionary",
                     kKVErrorCode);
  }
  const ModelInProgress marked(object);
  const KVNameList allowed = kv_totalAllowedPropertyNames(cls);
  const KVNameList ignored = kv_totalIgnoredPropertyNames(cls);
  const bool alongKeyPaths = kv_isReferenceReplacedKeyWhenCreatingKeyValues(cls);
  ns::Value result = ns::Dictionary();
  for (const KVProperty* property : properties(cls)) {
    if (!passes(property->name(), allowed, ignored) || !passes(property->name(), keys, ignoredKeys)) {
      continue;
    }
    ns::Result<std::optional<ns::Value>> plain = kvDictionaryValue(cls, object, *property);
    if (!plain.ok()) {
      return plain.error();
    }
    if (!*plain) {
      continue;
    }
    const std::vector<KVKeyPath>* keyPaths = property->propertyKeysForClass(cls);
    const ns::Status stored =
        alongKeyPaths && keyPaths != nullptr
            ? storeAlongKeyPath(result, keyPaths->front(), std::move(**plain))
            : storeAlongKeyPath(result, {KVPropertyKey(property->name())}, std::move(**plain));
    if (!stored.ok()) {
      kvRecordError(cls, stored.error().domain());
    }
  }
  if (cls.hooks().kvObjectDidFinishConvertingToKeyValues) {
    cls.hooks().kvObjectDidFinishConvertingToKeyValues(object);
  }
  return KVObject(std::move(result));
}

// kv_keyValuesArrayWithObjectArray() without recording its failure: not an array, or a cycle.
ns::Result<ns::Array> keyValuesArrayOf(const KVObject& objectArray, const KVNameList& keys,
                                       const KVNameList& ignoredKeys) {
  KVObjectArray elements;
  if (const KVObjectArray* objects = objectArray.objectArray()) {
    elements = *objects;
  } else if (const ns::Value* plain = objectArray.value(); plain != nullptr && plain->isArray()) {
    elements.assign(plain->asArray().begin(), plain->asArray().end());
  } else {
    return ns::Error(kKVObjectArrayNotAnArrayError, kKVErrorCode);
  }
  ns::Array dictionaries;
  dictionaries.reserve(elements.size());
  for (const KVObject& element : elements) {
    ns::Result<KVObject> dictionary = keyValuesOf(element, keys, ignoredKeys);
    if (!dictionary.ok()) {
      return dictionary.error();
    }
    ns::Result<ns::Value> plain = plainValue(*dictionary);
    if (!plain.ok()) {
      return plain.error();
    }
    dictionaries.push_back(std::move(*plain));
  }
  return dictionaries;
}

}  // namespace

void kvRecordError(KVClass& cls, std::string message) {
  cls.setKv_error(ns::Error(std::move(message), kKVErrorCode));
}

KVObject kv_JSONObject(const KVObject& input) {
  if (const ns::Value* value = input.value()) {
    if (value->isString()) {
      return parsedJSON(ns::JSONSerialization::JSONObjectWithData(value->asString()));
    }
    if (value->isData()) {
      return parsedJSON(ns::JSONSerialization::JSONObjectWithData(value->asData()));
    }
  }
  if (input.model() != nullptr) {
    return kv_keyValuesWithKeys(input, {}, {});
  }
  return input;
}

std::optional<ns::Data> kv_JSONData(const KVObject& input) {
  if (const ns::Value* value = input.value()) {
    if (value->isString()) {
      return ns::dataFromString(value->asString());
    }
    if (value->isData()) {
      return value->asData();
    }
  }
  const KVObject object = kv_JSONObject(input);
  if (object.isNone()) {
    return std::nullopt;
  }
  ns::Result<ns::Value> plain = plainValue(object);
  if (!plain.ok()) {
    return std::nullopt;
  }
  ns::Result<ns::Data> written = ns::JSONSerialization::dataWithJSONObject(*plain);
  return written.ok() ? std::optional<ns::Data>(std::move(*written)) : std::nullopt;
}

std::optional<std::string> kv_JSONString(const KVObject& input) {
  if (const ns::Value* value = input.value(); value != nullptr && value->isString()) {
    return value->asString();
  }
  const std::optional<ns::Data> data = kv_JSONData(input);
  return data ? std::optional<std::string>(ns::stringFromData(*data)) : std::nullopt;
}

std::optional<KVModelRef> kv_objectWithKeyValues(KVClass& cls, const KVObject& keyValues,
                                                 cd::ManagedObjectContext* context) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  QM_DCHECK(cls.isModelClass(), "models are made of model classes");
  const KVObject dictionary = kv_JSONObject(keyValues);
  cls.setKv_error(std::nullopt);
  if (dictionary.value() == nullptr || !dictionary.value()->isDictionary()) {
    kvRecordError(cls, kKVNotADictionaryError);
    return std::nullopt;
  }
  if (!cls.isManagedObjectClass()) {
    KVModelRef made{&cls, cls.makeInstance()};
    kv_setKeyValues(made, dictionary);
    return made;
  }
  // A managed object lives in a context: without one, or without its entity there, none can be made.
  std::shared_ptr<void> inserted = context != nullptr ? cls.makeInstanceInContext(*context) : nullptr;
  if (inserted == nullptr) {
    kvRecordError(cls, context != nullptr
                           ? "the context's model has no entity " + cls.name() + " of its class"
                           : "a " + cls.name() + " is a managed object, made only in a context");
    return std::nullopt;
  }
  KVModelRef made{&cls, std::move(inserted)};
  kv_setKeyValues(made, dictionary, context);
  return made;
}

void kv_setKeyValues(const KVModelRef& object, const KVObject& keyValues, cd::ManagedObjectContext* context) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  KVClass& cls = *object.modelClass;
  const KVObject normalised = kv_JSONObject(keyValues);
  cls.setKv_error(std::nullopt);
  const ns::Value* dictionary = normalised.value();
  if (dictionary == nullptr || !dictionary->isDictionary()) {
    kvRecordError(cls, kKVNotADictionaryError);
    return;
  }
  const KVNameList allowed = kv_totalAllowedPropertyNames(cls);
  const KVNameList ignored = kv_totalIgnoredPropertyNames(cls);
  const bool filters = kvHasValueFilter(cls);
  for (const KVProperty* property : properties(cls)) {
    if (!passes(property->name(), allowed, ignored)) {
      continue;
    }
    const ns::Value* found = valueAlongKeyPaths(*dictionary, property->propertyKeysForClass(cls));
    const KVFilteredValue filtered =
        filters ? kv_getNewValueFromObject(cls, object.object.get(),
                                           found != nullptr ? KVObject(*found) : KVObject(), *property)
                : std::nullopt;
    if (!filtered && (found == nullptr || found->isNull())) {
      continue;
    }
    const ns::Status status =
        filtered ? property->setValue(*filtered, cls.upcast(object.object.get(), property->srcClass()))
                 : kvAssignConvertedValue(cls, object.object.get(), *property, *found, context);
    if (!status.ok()) {
      kvRecordError(cls, status.error().domain());
    }
  }
  if (cls.hooks().kvKeyValuesDidFinishConvertingToObject) {
    cls.hooks().kvKeyValuesDidFinishConvertingToObject(object.object.get());
  }
}

ns::Status kvAssignConvertedValue(KVClass& cls, void* object, const KVProperty& property, KVObject value,
                                  cd::ManagedObjectContext* context) {
  if (value.isNoneOrNull()) {
    return {};
  }
  KVClass* propertyClass = property.type().typeClass();
  KVClass* elementClass = property.objectClassInArrayForClass(cls);
  if (propertyClass != nullptr && !property.type().fromFoundation()) {
    std::optional<KVModelRef> nested = kv_objectWithKeyValues(*propertyClass, value, context);
    if (!nested) {
      return {};
    }
    value = std::move(*nested);
  } else if (elementClass != nullptr) {
    const ns::Value* plain = value.value();
    if (elementClass == &KVClass::platformClasses().url && plain != nullptr && plain->isArray()) {
      ns::Result<KVObject> urls = urlArray(plain->asArray());
      if (!urls.ok()) {
        return urls.error();
      }
      value = std::move(*urls);
    } else {
      value = kv_objectArrayWithKeyValuesArray(*elementClass, value, context);
    }
  } else {
    value = convertedPlainValue(property, std::move(value));
  }
  return property.setValue(value, cls.upcast(object, property.srcClass()));
}

KVObject kv_objectArrayWithKeyValuesArray(KVClass& cls, const KVObject& keyValuesArray,
                                          cd::ManagedObjectContext* context) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  const KVObject normalised = kv_JSONObject(keyValuesArray);
  cls.setKv_error(std::nullopt);
  const ns::Value* array = normalised.value();
  if (array == nullptr || !array->isArray()) {
    kvRecordError(cls, kKVNotAnArrayError);
    return {};
  }
  if (!cls.isModelClass()) {
    return normalised;
  }
  KVObjectArray models;
  for (const ns::Value& element : array->asArray()) {
    if (element.isArray()) {
      models.push_back(kv_objectArrayWithKeyValuesArray(cls, element, context));
    } else if (std::optional<KVModelRef> model = kv_objectWithKeyValues(cls, element, context)) {
      models.emplace_back(std::move(*model));
    }
  }
  return KVObject(std::move(models));
}

KVObject kv_keyValuesWithKeys(const KVObject& receiver, const KVNameList& keys,
                              const KVNameList& ignoredKeys) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  ns::Result<KVObject> made = keyValuesOf(receiver, keys, ignoredKeys);
  if (!made.ok()) {
    kvRecordError(*receiver.objectClass(), made.error().domain());
    return {};
  }
  return std::move(*made);
}

ns::Result<std::optional<ns::Value>> kvDictionaryValue(KVClass& cls, const void* object,
                                                       const KVProperty& property) {
  const KVObject value = property.valueForObject(cls.upcast(object, property.srcClass()));
  if (value.isNone()) {
    return std::optional<ns::Value>();
  }
  ns::Result<ns::Value> plain = ns::Value();
  if (property.type().typeClass() != nullptr && !property.type().fromFoundation()) {
    plain = plainValue(value);
  } else if (value.objectArray() != nullptr || (value.value() != nullptr && value.value()->isArray())) {
    ns::Result<ns::Array> dictionaries = keyValuesArrayOf(value, {}, {});
    plain = dictionaries.ok() ? ns::Result<ns::Value>(ns::Value(std::move(*dictionaries)))
                              : ns::Result<ns::Value>(dictionaries.error());
  } else {
    plain = plainValue(value);
  }
  if (!plain.ok()) {
    return plain.error();
  }
  return std::optional<ns::Value>(std::move(*plain));
}

std::optional<ns::Array> kv_keyValuesArrayWithObjectArray(const KVObject& objectArray, const KVNameList& keys,
                                                          const KVNameList& ignoredKeys) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  KVClass& root = KVClass::rootClass();
  root.setKv_error(std::nullopt);
  ns::Result<ns::Array> dictionaries = keyValuesArrayOf(objectArray, keys, ignoredKeys);
  if (!dictionaries.ok()) {
    kvRecordError(root, dictionaries.error().domain());
    return std::nullopt;
  }
  return std::move(*dictionaries);
}

void kv_referenceReplacedKeyWhenCreatingKeyValues(KVClass& cls, bool reference) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  cls.registrations().referenceReplacedKeyWhenCreatingKeyValues = reference;
}

bool kv_isReferenceReplacedKeyWhenCreatingKeyValues(KVClass& cls) {
  std::optional<bool> reference;
  kv_enumerateAllClasses(cls, [&](KVClass& visited, bool& stop) {
    reference = visited.registrations().referenceReplacedKeyWhenCreatingKeyValues;
    stop = reference.has_value();
  });
  // The root class answers yes unless a class on the way registered otherwise.
  return reference.value_or(true);
}

}  // namespace http_client
