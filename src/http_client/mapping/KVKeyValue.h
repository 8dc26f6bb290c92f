#pragma once

// The mapping itself, for classes known at run time: decoded JSON (dictionaries and arrays of platform
// values, or JSON text or data of them) into model objects, and model objects back into dictionaries. A
// property takes the value found under its key path; a missing key or a null leaves it as it was. Nested
// dictionaries become nested models, arrays become arrays of the element class's models, texts become
// numbers, booleans and URLs as the property's type asks, and a value of the wrong kind is not assigned.
// KVModel.h offers the same operations typed for model classes; most code uses those.
//
// Errors are recorded on the class worked for (KVClass::kv_error(): code 250, the message as the domain),
// never thrown and never logged: "keyValues参数不是一个字典", "keyValuesArray参数不是一个数组",
// "不是自定义的模型类", "objectArray参数不是一个数组", or the reason a property could not be converted or
// assigned (the other properties are still mapped). Each operation first clears the error of its class.
//
// Thread-safety: one thread at a time with the rest of the mapping.

#include <optional>
#include <string>

#include "http_client/mapping/KVClassConfiguration.h"
#include "http_client/mapping/KVObject.h"
#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"

namespace cd {
class ManagedObjectContext;
}  // namespace cd

namespace http_client {

class KVClass;

inline constexpr std::int64_t kKVErrorCode = 250;
inline constexpr char kKVNotADictionaryError[] = "keyValues参数不是一个字典";
inline constexpr char kKVNotAnArrayError[] = "keyValuesArray参数不是一个数组";
inline constexpr char kKVNotAModelError[] = "不是自定义的模型类";
inline constexpr char kKVObjectArrayNotAnArrayError[] = "objectArray参数不是一个数组";

// Returns what the object-making operations map from `input`: the array or dictionary that JSON text or
// data holds (none when it does not parse), a model object's dictionary, and any other object unchanged.
KVObject kv_JSONObject(const KVObject& input);
// Returns the JSON bytes of kv_JSONObject(input) (a text's own UTF-8 bytes; data unchanged), or
// std::nullopt when it cannot be written as JSON.
std::optional<ns::Data> kv_JSONData(const KVObject& input);
// Returns the JSON text of kv_JSONObject(input) (a text unchanged; data read as UTF-8), or std::nullopt.
std::optional<std::string> kv_JSONString(const KVObject& input);

// Returns a new model of `cls` filled from `keyValues`. A managed-object class's model is inserted into
// `context` and filled with it, so that nested managed models go there too; any other class's model is
// default-constructed and filled without a context. Returns std::nullopt, recording
// kKVNotADictionaryError on `cls`, when `keyValues` does not give a dictionary, and recording the reason
// when a managed-object class has no context or no entity of its name in the context's model.
// REQUIRES: `cls` is a model class.
std::optional<KVModelRef> kv_objectWithKeyValues(KVClass& cls, const KVObject& keyValues,
                                                 cd::ManagedObjectContext* context = nullptr);
// Fills the model `object` from `keyValues`, property by property (nested models made in `context` as
// kv_objectWithKeyValues does), then calls the object's kv_keyValuesDidFinishConvertingToObject hook.
// Leaves the object unchanged, recording kKVNotADictionaryError, when `keyValues` does not give a
// dictionary.
void kv_setKeyValues(const KVModelRef& object, const KVObject& keyValues,
                     cd::ManagedObjectContext* context = nullptr);
// Returns the models of `cls` made from the elements of an array, in order: dictionaries (or JSON texts of
// them) give models (made with `context` as kv_objectWithKeyValues does), nested arrays give nested arrays,
// and every other element is dropped. A platform `cls` gives the array unchanged. Returns none, recording
// kKVNotAnArrayError, when `keyValuesArray` does not give an array.
KVObject kv_objectArrayWithKeyValuesArray(KVClass& cls, const KVObject& keyValuesArray,
                                          cd::ManagedObjectContext* context = nullptr);

// Returns the dictionary of the model `receiver`: each property's value (nested models as dictionaries,
// URLs as texts) stored along its first key path, or under its name when the class's model-to-dictionary
// flag is clear. `keys`, when not empty, lists the only properties to take; `ignoredKeys` those to leave
// out. Returns `receiver` itself, recording kKVNotAModelError on its class, when it is not a model. Returns
// none, recording the reason on its class, when the model holds itself through its models (a cycle).
KVObject kv_keyValuesWithKeys(const KVObject& receiver, const KVNameList& keys,
                              const KVNameList& ignoredKeys);
// Returns the dictionaries of the models in the array `objectArray` (both lists applied to each), platform
// objects appended as they are. Returns std::nullopt, recording kKVObjectArrayNotAnArrayError on the root
// class, when `objectArray` is not an array, or the reason when one of its models lies on a cycle.
std::optional<ns::Array> kv_keyValuesArrayWithObjectArray(const KVObject& objectArray, const KVNameList& keys,
                                                          const KVNameList& ignoredKeys);

// The model-to-dictionary flag of `cls`: whether dictionaries made from its models follow the replaced key
// paths. Looked up along the class and its superclasses; set on the root class at first use.
void kv_referenceReplacedKeyWhenCreatingKeyValues(KVClass& cls, bool reference);
bool kv_isReferenceReplacedKeyWhenCreatingKeyValues(KVClass& cls);

// Converts a found value for `property` of the model `object` (an instance of `cls`) as filling does (nested
// models made with `context`), then assigns it. None and the null object assign nothing. Returns the reason
// when the value cannot be converted or assigned; the property is then unchanged. Object decoding
// (KVCoding.h) shares it.
ns::Status kvAssignConvertedValue(KVClass& cls, void* object, const KVProperty& property, KVObject value,
                                  cd::ManagedObjectContext* context = nullptr);

// Returns the value of `property` of the model `object` (an instance of `cls`) as a dictionary made from
// the model holds it: nested models as dictionaries, arrays of models as arrays of dictionaries, URLs as
// texts. Returns std::nullopt when the property holds nothing, and the reason when the value leads back to
// a model whose dictionary is being made (a cycle). Object encoding (KVCoding.h) shares it.
ns::Result<std::optional<ns::Value>> kvDictionaryValue(KVClass& cls, const void* object,
                                                       const KVProperty& property);

// Records the error `message` (code 250) as the last error of `cls`.
void kvRecordError(KVClass& cls, std::string message);

}  // namespace http_client
