#include "http_client/mapping/KVClass.h"

#include <map>

#include "http_client/mapping/KVProperty.h"
#include "platform/foundation/check/Check.h"

namespace http_client {

namespace {

// The platform classes the mapping tells apart, each after its superclass.
struct PlatformClassEntry {
  const char* name;
  const char* superclass;
};
constexpr PlatformClassEntry kPlatformClasses[] = {
    {"NSObject", nullptr},           {"NSString", "NSObject"},
    {"NSMutableString", "NSString"}, {"NSAttributedString", "NSObject"},
    {"NSValue", "NSObject"},         {"NSNumber", "NSValue"},
    {"NSDecimalNumber", "NSNumber"}, {"NSDate", "NSObject"},
    {"NSData", "NSObject"},          {"NSMutableData", "NSData"},
    {"NSURL", "NSObject"},           {"NSError", "NSObject"},
    {"NSArray", "NSObject"},         {"NSMutableArray", "NSArray"},
    {"NSDictionary", "NSObject"},    {"NSMutableDictionary", "NSDictionary"},
    {"NSSet", "NSObject"},           {"NSMutableSet", "NSSet"},
    {"NSNull", "NSObject"},          {"NSManagedObject", "NSObject"},
};

using ClassTable = std::map<std::string, std::unique_ptr<KVClass>, std::less<>>;

}  // namespace

// The table of every class, made with the platform classes at first use and never dropped.
class KVClassTable {
 public:
  static ClassTable& classes() {
    static ClassTable* table = makeTable();
    return *table;
  }

  static KVClass& add(std::string name, KVClass* superclass, std::optional<KVClass::ModelParts> parts) {
    ClassTable& table = classes();
    if (table.contains(name)) {
      ns::failCheck(__FILE__, __LINE__, "one class of each name");
    }
    std::unique_ptr<KVClass> made(new KVClass(name, superclass, std::move(parts)));
    KVClass& result = *made;
    table.emplace(std::move(name), std::move(made));
    return result;
  }

 private:
  static ClassTable* makeTable() {
    auto* table = new ClassTable();
    for (const PlatformClassEntry& entry : kPlatformClasses) {
      KVClass* superclass = entry.superclass != nullptr ? table->at(entry.superclass).get() : nullptr;
      table->emplace(entry.name, std::unique_ptr<KVClass>(new KVClass(entry.name, superclass, std::nullopt)));
    }
    return table;
  }
};

KVClass::KVClass(std::string name, KVClass* superclass, std::optional<ModelParts> modelParts)
    : name_(std::move(name)), superclass_(superclass), modelParts_(std::move(modelParts)) {}

KVClass::~KVClass() = default;

KVClass* KVClass::named(std::string_view name) {
  ClassTable& table = KVClassTable::classes();
  const auto found = table.find(name);
  return found != table.end() ? found->second.get() : nullptr;
}

KVClass& KVClass::platformClass(std::string_view name) {
  KVClass* found = named(name);
  if (found == nullptr || found->isModelClass()) {
    ns::failCheck(__FILE__, __LINE__, "a platform class of the table");
  }
  return *found;
}

KVClass& KVClass::rootClass() {
  static KVClass& root = platformClass("NSObject");
  return root;
}

const KVClass::PlatformClasses& KVClass::platformClasses() {
  static const PlatformClasses classes{
      platformClass("NSString"), platformClass("NSNumber"),     platformClass("NSDecimalNumber"),
      platformClass("NSURL"),    platformClass("NSData"),       platformClass("NSDate"),
      platformClass("NSArray"),  platformClass("NSDictionary"), platformClass("NSNull")};
  return classes;
}

const ns::OneThreadAtATimeChecker& KVClass::mappingChecker() {
  static const ns::OneThreadAtATimeChecker checker;
  return checker;
}

KVClass& KVClass::registerModelClass(std::string name, KVClass& superclass, ModelParts parts) {
  return KVClassTable::add(std::move(name), &superclass, std::move(parts));
}

bool KVClass::isSubclassOf(const KVClass& other) const {
  for (const KVClass* walk = this; walk != nullptr; walk = walk->superclass_) {
    if (walk == &other) {
      return true;
    }
  }
  return false;
}

std::shared_ptr<void> KVClass::makeInstance() const {
  return modelParts_ && modelParts_->makeInstance ? modelParts_->makeInstance() : nullptr;
}

std::shared_ptr<void> KVClass::makeInstanceInContext(cd::ManagedObjectContext& context) const {
  return isManagedObjectClass() ? modelParts_->makeInContext(context) : nullptr;
}

void* KVClass::upcast(void* object, const KVClass& ancestor) const {
  QM_DCHECK(isSubclassOf(ancestor) && ancestor.isModelClass(),
            "the ancestor is a model class above this one");
  for (const KVClass* walk = this; walk != &ancestor; walk = walk->superclass_) {
    object = walk->modelParts_->toSuperclass(object);
  }
  return object;
}

const void* KVClass::upcast(const void* object, const KVClass& ancestor) const {
  return upcast(const_cast<void*>(object), ancestor);
}

void KVClass::setDeclaredProperties(std::vector<std::unique_ptr<KVProperty>> properties) {
  declaredProperties_ = std::move(properties);
}

}  // namespace http_client
