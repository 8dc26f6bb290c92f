#pragma once

// Model classes of the dictionary-to-model mapping, and the mapping typed for them.
//
// A model class is default-constructible and declares, next to its members, its name and its mappable
// properties in declaration order; a subclass names its superclass and declares only its own members.
// A managed-object class (derived from cd::ManagedObject) declares its attributes through their accessors
// (kvDeclareAccessorProperty) and is made only in a context, as an object of the entity of its name:
//
//   struct Teacher {
//     std::string name;
//     std::int64_t age = 0;
//     static constexpr const char* kvClassName = "Teacher";
//     static std::vector<http_client::KVPropertyDeclaration> kvProperties() {
//       return {QM_KV_PROPERTY(Teacher, name), QM_KV_PROPERTY(Teacher, age)};
//     }
//   };
//   struct HeadTeacher : Teacher {
//     using KVSuperclass = Teacher;
//     ...
//   };
//
// Each property's type code comes from its member's C++ type (KVMemberTraits.h). A class steers the mapping
// with optional static hooks, found at compile time (a hook of a superclass counts for its subclasses):
//   static std::optional<KVKey> kv_replacedKeyFromPropertyName121(std::string_view name), and the older
//     replacedKeyFromPropertyName121, which decides alone when the class has it;
//   static KVKeyDictionary kv_replacedKeyFromPropertyName(), and the older replacedKeyFromPropertyName;
//   static KVClassDictionary kv_objectClassInArray(), and the older objectClassInArray, which decides alone
//     when the class has it;
//   KVFilteredValue kv_newValueFromOldValue(const KVObject& old, const KVProperty&) const (on the object),
//     and the older static newValueFromOldValue(old, property);
//   static KVNameList kv_allowedPropertyNames(), kv_ignoredPropertyNames(), kv_allowedCodingPropertyNames(),
//     kv_ignoredCodingPropertyNames();
//   void kv_keyValuesDidFinishConvertingToObject(), after the object was filled;
//   void kv_objectDidFinishConvertingToKeyValues() const, after its dictionary was made.
// The hooks' answers are taken when the class's property list is first built. Run-time registrations
// (KVObjectProperty.h, KVObjectClass.h) take kvClassOf<T>().
//
// Thread-safety: one thread at a time with the rest of the mapping.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "http_client/mapping/KVClass.h"
#include "http_client/mapping/KVKeyValue.h"
#include "http_client/mapping/KVMemberTraits.h"
#include "http_client/mapping/KVProperty.h"
#include "http_client/mapping/KVPropertyType.h"
#include "platform/coredata/ManagedObjectContext.h"

namespace http_client {

// One mappable property as a model class declares it.
struct KVPropertyDeclaration {
  std::string name;
  std::string typeCode;
  KVMemberAccess access;
  KVClass* declaredElementClass = nullptr;
};

template <typename Model, typename Member>
KVPropertyDeclaration kvDeclareProperty(std::string name, Member Model::*member) {
  using Traits = KVMemberTraits<Member>;
  KVMemberAccess access{
      [member](const void* object) { return Traits::read(static_cast<const Model*>(object)->*member); },
      [member](void* object, const KVObject& value) {
        return Traits::write(static_cast<Model*>(object)->*member, value);
      }};
  return KVPropertyDeclaration{std::move(name), Traits::typeCode(), std::move(access),
                               Traits::elementClass()};
}

// Declares the member `member` of `Class` as the property of the same name.
#define QM_KV_PROPERTY(Class, member) ::http_client::kvDeclareProperty(#member, &Class::member)

// Declares a property read and written through accessors, as a managed object's attributes are.
template <typename Model, typename Value>
KVPropertyDeclaration kvDeclareAccessorProperty(std::string name, Value (Model::*getter)() const,
                                                void (Model::*setter)(Value)) {
  using Traits = KVMemberTraits<Value>;
  KVMemberAccess access{
      [getter](const void* object) { return Traits::read((static_cast<const Model*>(object)->*getter)()); },
      [getter, setter](void* object, const KVObject& value) {
        Model* model = static_cast<Model*>(object);
        Value member = (model->*getter)();
        const ns::Status written = Traits::write(member, value);
        if (written.ok()) {
          (model->*setter)(std::move(member));
        }
        return written;
      }};
  return KVPropertyDeclaration{std::move(name), Traits::typeCode(), std::move(access),
                               Traits::elementClass()};
}

// A model class is default-constructible, or a managed-object class whose objects a context makes (as an
// object of the entity named kvClassName).
template <typename T>
concept KVModelClass = (std::default_initializable<T> || std::derived_from<T, cd::ManagedObject>)&&requires {
  { T::kvClassName } -> std::convertible_to<std::string_view>;
  { T::kvProperties() } -> std::convertible_to<std::vector<KVPropertyDeclaration>>;
};

namespace kv_internal {

template <typename T>
KVClass& superclassOf() {
  if constexpr (requires { typename T::KVSuperclass; }) {
    return kvClassOf<typename T::KVSuperclass>();
  } else if constexpr (std::derived_from<T, cd::ManagedObject>) {
    return KVClass::platformClass("NSManagedObject");
  } else {
    return KVClass::rootClass();
  }
}

template <typename T>
void* toSuperclass(void* object) {
  if constexpr (requires { typename T::KVSuperclass; }) {
    return static_cast<typename T::KVSuperclass*>(static_cast<T*>(object));
  } else {
    return nullptr;
  }
}

template <typename T>
KVClass::ModelParts modelPartsOf() {
  if constexpr (std::derived_from<T, cd::ManagedObject>) {
    return KVClass::ModelParts{
        nullptr, toSuperclass<T>, [](cd::ManagedObjectContext& context) -> std::shared_ptr<void> {
          return std::dynamic_pointer_cast<T>(context.insertNewObjectForEntityForName(T::kvClassName));
        }};
  } else {
    return KVClass::ModelParts{[] { return std::static_pointer_cast<void>(std::make_shared<T>()); },
                               toSuperclass<T>, nullptr};
  }
}

template <typename T>
KVClassHooks hooksOf() {
  KVClassHooks hooks;
  if constexpr (requires(std::string_view name) { T::kv_replacedKeyFromPropertyName121(name); }) {
    hooks.kvReplacedKeyFromPropertyName121 = [](std::string_view name) -> std::optional<KVKey> {
      return T::kv_replacedKeyFromPropertyName121(name);
    };
  }
  if constexpr (requires(std::string_view name) { T::replacedKeyFromPropertyName121(name); }) {
    hooks.replacedKeyFromPropertyName121 = [](std::string_view name) -> std::optional<KVKey> {
      return T::replacedKeyFromPropertyName121(name);
    };
  }
  if constexpr (requires { T::kv_replacedKeyFromPropertyName(); }) {
    hooks.kvReplacedKeyFromPropertyName = [] { return KVKeyDictionary(T::kv_replacedKeyFromPropertyName()); };
  }
  if constexpr (requires { T::replacedKeyFromPropertyName(); }) {
    hooks.replacedKeyFromPropertyName = [] { return KVKeyDictionary(T::replacedKeyFromPropertyName()); };
  }
  if constexpr (requires { T::kv_objectClassInArray(); }) {
    hooks.kvObjectClassInArray = [] { return KVClassDictionary(T::kv_objectClassInArray()); };
  }
  if constexpr (requires { T::objectClassInArray(); }) {
    hooks.objectClassInArray = [] { return KVClassDictionary(T::objectClassInArray()); };
  }
  if constexpr (requires(const T& model, const KVObject& old, const KVProperty& property) {
                  model.kv_newValueFromOldValue(old, property);
                }) {
    hooks.kvNewValueFromOldValue = [](const void* object, const KVObject& old, const KVProperty& property) {
      return KVFilteredValue(static_cast<const T*>(object)->kv_newValueFromOldValue(old, property));
    };
  }
  if constexpr (requires(const KVObject& old, const KVProperty& property) {
                  T::newValueFromOldValue(old, property);
                }) {
    hooks.newValueFromOldValue = [](const KVObject& old, const KVProperty& property) {
      return KVFilteredValue(T::newValueFromOldValue(old, property));
    };
  }
  if constexpr (requires { T::kv_allowedPropertyNames(); }) {
    hooks.kvAllowedPropertyNames = [] { return KVNameList(T::kv_allowedPropertyNames()); };
  }
  if constexpr (requires { T::kv_ignoredPropertyNames(); }) {
    hooks.kvIgnoredPropertyNames = [] { return KVNameList(T::kv_ignoredPropertyNames()); };
  }
  if constexpr (requires { T::kv_allowedCodingPropertyNames(); }) {
    hooks.kvAllowedCodingPropertyNames = [] { return KVNameList(T::kv_allowedCodingPropertyNames()); };
  }
  if constexpr (requires { T::kv_ignoredCodingPropertyNames(); }) {
    hooks.kvIgnoredCodingPropertyNames = [] { return KVNameList(T::kv_ignoredCodingPropertyNames()); };
  }
  if constexpr (requires(T & model) { model.kv_keyValuesDidFinishConvertingToObject(); }) {
    hooks.kvKeyValuesDidFinishConvertingToObject = [](void* object) {
      static_cast<T*>(object)->kv_keyValuesDidFinishConvertingToObject();
    };
  }
  if constexpr (requires(const T& model) { model.kv_objectDidFinishConvertingToKeyValues(); }) {
    hooks.kvObjectDidFinishConvertingToKeyValues = [](const void* object) {
      static_cast<const T*>(object)->kv_objectDidFinishConvertingToKeyValues();
    };
  }
  return hooks;
}

// Returns `model` as a model object that does not own it.
template <typename T>
KVModelRef unownedRef(const T& model) {
  return KVModelRef{&kvClassOf<T>(), std::shared_ptr<void>(std::shared_ptr<void>(), const_cast<T*>(&model))};
}

}  // namespace kv_internal

// Returns the class of the model T, made and registered under T::kvClassName when first asked for.
// REQUIRES: T declares its own kvClassName and kvProperties (not only inherited ones); no other class has
// that name.
template <typename T>
KVClass& kvClassOf() {
  static_assert(KVModelClass<T>, "a model class declares kvClassName and kvProperties()");
  // Made in two steps so that a model holding models of its own class finds its class while its
  // properties are declared.
  static KVClass* cls = nullptr;
  if (cls == nullptr) {
    cls = &KVClass::registerModelClass(std::string(T::kvClassName), kv_internal::superclassOf<T>(),
                                       kv_internal::modelPartsOf<T>());
    std::vector<std::unique_ptr<KVProperty>> declared;
    for (KVPropertyDeclaration& declaration : T::kvProperties()) {
      declared.push_back(std::make_unique<KVProperty>(
          std::move(declaration.name), KVPropertyType::cachedTypeWithCode(declaration.typeCode), *cls,
          std::move(declaration.access), declaration.declaredElementClass));
    }
    cls->setDeclaredProperties(std::move(declared));
    cls->setHooks(kv_internal::hooksOf<T>());
  }
  return *cls;
}

// Returns `model` as an input of the mapping (which then maps a copy of its dictionary).
template <typename T>
KVObject kvModelObject(const std::shared_ptr<T>& model) {
  return model ? KVObject(KVModelRef{&kvClassOf<T>(), model}) : KVObject();
}

// Returns a new T filled from `keyValues` (a dictionary, JSON text or data of one, or a model), or nullptr
// with the class's error set to "keyValues参数不是一个字典" when it gives no dictionary. A managed-object T
// is made in `context`; see kv_objectWithKeyValues in KVKeyValue.h.
template <KVModelClass T>
std::shared_ptr<T> kv_objectWithKeyValues(const KVObject& keyValues,
                                          cd::ManagedObjectContext* context = nullptr) {
  std::optional<KVModelRef> made = kv_objectWithKeyValues(kvClassOf<T>(), keyValues, context);
  return made ? std::static_pointer_cast<T>(made->object) : nullptr;
}

// Returns the Ts made from the dictionaries of an array (or JSON of one), in order; other elements, nested
// arrays included, are dropped. Returns std::nullopt with the class's error set to
// "keyValuesArray参数不是一个数组" when `keyValuesArray` gives no array.
template <KVModelClass T>
std::optional<std::vector<std::shared_ptr<T>>> kv_objectArrayWithKeyValuesArray(
    const KVObject& keyValuesArray, cd::ManagedObjectContext* context = nullptr) {
  const KVObject made = kv_objectArrayWithKeyValuesArray(kvClassOf<T>(), keyValuesArray, context);
  if (made.objectArray() == nullptr) {
    return std::nullopt;
  }
  std::vector<std::shared_ptr<T>> models;
  for (const KVObject& element : *made.objectArray()) {
    if (const KVModelRef* ref = element.model()) {
      models.push_back(std::static_pointer_cast<T>(ref->object));
    }
  }
  return models;
}

// Fills `model` from `keyValues`; see kv_setKeyValues in KVKeyValue.h.
template <KVModelClass T>
void kv_setKeyValues(T& model, const KVObject& keyValues, cd::ManagedObjectContext* context = nullptr) {
  kv_setKeyValues(kv_internal::unownedRef(model), keyValues, context);
}

// Returns the dictionary of `model`, or std::nullopt when its models lead back to it (a cycle); see
// kv_keyValuesWithKeys in KVKeyValue.h.
template <KVModelClass T>
std::optional<ns::Dictionary> kv_keyValuesWithKeys(const T& model, const KVNameList& keys,
                                                   const KVNameList& ignoredKeys) {
  const KVObject made = kv_keyValuesWithKeys(KVObject(kv_internal::unownedRef(model)), keys, ignoredKeys);
  return made.value() != nullptr ? std::optional<ns::Dictionary>(made.value()->asDictionary()) : std::nullopt;
}
template <KVModelClass T>
std::optional<ns::Dictionary> kv_keyValues(const T& model) {
  return kv_keyValuesWithKeys(model, {}, {});
}

// Returns the dictionaries of `models`, both lists applied to each, or std::nullopt when one of them lies on
// a cycle.
template <typename T>
std::optional<ns::Array> kv_keyValuesArrayWithObjectArray(const std::vector<std::shared_ptr<T>>& models,
                                                          const KVNameList& keys,
                                                          const KVNameList& ignoredKeys) {
  return kv_keyValuesArrayWithObjectArray(KVMemberTraits<std::vector<std::shared_ptr<T>>>::read(models), keys,
                                          ignoredKeys);
}

// The last error of a mapping of T.
template <typename T>
const std::optional<ns::Error>& kv_error() {
  return kvClassOf<T>().kv_error();
}

}  // namespace http_client
