#pragma once

// KVClass: what the dictionary-to-model mapping knows of a class at run time, since C++ keeps no such record.
// There is one per class for the whole process, known by name: the platform classes that the mapping tells
// apart ("NSObject", the root; "NSString", "NSNumber", "NSDecimalNumber", "NSURL", "NSArray", ...), made at
// first use, and one per model class, made by kvClassOf<T>() (KVModel.h) when it is first asked for.
//
// A model class's KVClass holds its own declared properties in declaration order, its superclass, how to
// make an instance, the hooks it answers, the registrations of the setup operations, and the last error of a
// mapping of the class.
//
// Thread-safety: one thread at a time for the whole mapping (classes, caches and errors are shared).

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "http_client/mapping/KVClassConfiguration.h"
#include "platform/foundation/check/OneThreadAtATimeChecker.h"
#include "platform/foundation/values/Error.h"

namespace cd {
class ManagedObjectContext;
}  // namespace cd

namespace http_client {

class KVProperty;

class KVClass {
 public:
  // How a model class makes an instance and sees one as an instance of its superclass.
  struct ModelParts {
    // Empty for a managed-object class, whose objects are made only in a context.
    std::function<std::shared_ptr<void>()> makeInstance;
    // Returns the same object as an instance of the superclass; nullptr when the superclass is the root.
    void* (*toSuperclass)(void* object) = nullptr;
    // Managed-object classes only: inserts a new object of the entity named like the class into `context`;
    // nullptr when the context's model has no such entity of this class.
    std::function<std::shared_ptr<void>(cd::ManagedObjectContext& context)> makeInContext;
  };

  // The platform classes that the mapping asks for on every value, looked up once.
  struct PlatformClasses {
    KVClass& string;
    KVClass& number;
    KVClass& decimalNumber;
    KVClass& url;
    KVClass& data;
    KVClass& date;
    KVClass& array;
    KVClass& dictionary;
    KVClass& null;
  };

  KVClass(const KVClass&) = delete;
  KVClass& operator=(const KVClass&) = delete;

  // Returns the class of that name, or nullptr when no such class is known. Model classes are known once
  // kvClassOf<T>() has been called for them.
  static KVClass* named(std::string_view name);
  // Returns a platform class.
  // REQUIRES: `name` names one of the platform classes listed in KVClass.cpp.
  static KVClass& platformClass(std::string_view name);
  // The root class, "NSObject".
  static KVClass& rootClass();
  static const PlatformClasses& platformClasses();

  // Checks the thread rule of the whole mapping at its entry points (QM_DCHECK_ONE_THREAD_AT_A_TIME).
  static const ns::OneThreadAtATimeChecker& mappingChecker();

  // Makes and registers the class of a model.
  // REQUIRES: no class of that name exists.
  static KVClass& registerModelClass(std::string name, KVClass& superclass, ModelParts parts);

  const std::string& name() const { return name_; }
  // nullptr for the root class.
  KVClass* superclass() const { return superclass_; }
  bool isModelClass() const { return modelParts_.has_value(); }
  // True for a model class derived from the managed-object base (cd::ManagedObject).
  bool isManagedObjectClass() const { return modelParts_ && modelParts_->makeInContext; }
  // True when this class is `other` or derives from it.
  bool isSubclassOf(const KVClass& other) const;

  // Returns a new instance made by default construction, or nullptr for a platform or managed-object class.
  std::shared_ptr<void> makeInstance() const;
  // Returns a new object inserted into `context`, or nullptr for a class that is no managed-object class or
  // has no entity in the context's model.
  std::shared_ptr<void> makeInstanceInContext(cd::ManagedObjectContext& context) const;
  // Returns `object`, an instance of this class, seen as an instance of `ancestor`.
  // REQUIRES: isSubclassOf(ancestor) and `ancestor` is a model class.
  void* upcast(void* object, const KVClass& ancestor) const;
  const void* upcast(const void* object, const KVClass& ancestor) const;

  // The properties this class itself declares, in declaration order; set once while the class is made.
  const std::vector<std::unique_ptr<KVProperty>>& declaredProperties() const { return declaredProperties_; }
  void setDeclaredProperties(std::vector<std::unique_ptr<KVProperty>> properties);

  const KVClassHooks& hooks() const { return hooks_; }
  void setHooks(KVClassHooks hooks) { hooks_ = std::move(hooks); }
  KVClassRegistrations& registrations() { return registrations_; }

  // The last error of a mapping of this class: code 250, the message as its domain.
  const std::optional<ns::Error>& kv_error() const { return error_; }
  void setKv_error(std::optional<ns::Error> error) { error_ = std::move(error); }

  ~KVClass();

 private:
  friend class KVClassTable;
  KVClass(std::string name, KVClass* superclass, std::optional<ModelParts> modelParts);

  // Constant after construction.
  const std::string name_;
  KVClass* const superclass_;
  const std::optional<ModelParts> modelParts_;

  std::vector<std::unique_ptr<KVProperty>> declaredProperties_;
  KVClassHooks hooks_;
  KVClassRegistrations registrations_;
  std::optional<ns::Error> error_;
};

}  // namespace http_client
