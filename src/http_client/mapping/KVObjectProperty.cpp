#include "http_client/mapping/KVObjectProperty.h"

#include <array>
#include <map>

#include "http_client/mapping/KVClass.h"
#include "http_client/mapping/KVFoundation.h"
#include "http_client/mapping/KVObjectClass.h"
#include "http_client/mapping/KVProperty.h"
#include "platform/foundation/check/Check.h"

namespace http_client {

namespace {

// Names that every platform object has and that no reply should set.
constexpr std::array<std::string_view, 4> kExcludedNames = {"hash", "superclass", "description",
                                                            "debugDescription"};

std::map<const KVClass*, std::vector<KVProperty*>>& propertyListCache() {
  static auto* cache = new std::map<const KVClass*, std::vector<KVProperty*>>();
  return *cache;
}

template <typename Entry>
const Entry* entryFor(const std::map<std::string, Entry, std::less<>>& dictionary, std::string_view name) {
  const auto found = dictionary.find(name);
  return found != dictionary.end() ? &found->second : nullptr;
}

}  // namespace

KVClass* KVClassRef::resolve() const {
  if (const auto* cls = std::get_if<KVClass*>(&target)) {
    return *cls;
  }
  return KVClass::named(std::get<std::string>(target));
}

const std::vector<KVProperty*>& properties(KVClass& cls) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  auto& cache = propertyListCache();
  if (const auto found = cache.find(&cls); found != cache.end()) {
    return found->second;
  }
  std::vector<KVProperty*> list;
  kv_enumerateClasses(cls, [&](KVClass& visited, bool&) {
    for (const std::unique_ptr<KVProperty>& property : visited.declaredProperties()) {
      if (std::find(kExcludedNames.begin(), kExcludedNames.end(), property->name()) != kExcludedNames.end()) {
        continue;
      }
      if (const std::optional<KVKey> key = propertyKey(cls, property->name())) {
        property->setOriginKey(*key, cls);
      }
      KVClass* elementClass = propertyObjectClassInArray(cls, property->name());
      property->setObjectClassInArray(
          elementClass != nullptr ? elementClass : property->declaredElementClass(), cls);
      list.push_back(property.get());
    }
  });
  return cache.emplace(&cls, std::move(list)).first->second;
}

void kv_enumerateProperties(KVClass& cls,
                            const std::function<void(KVProperty& property, bool& stop)>& visitor) {
  bool stop = false;
  for (KVProperty* property : properties(cls)) {
    visitor(*property, stop);
    if (stop) {
      return;
    }
  }
}

void kv_setupReplacedKeyFromPropertyName(KVClass& cls, const std::function<KVKeyDictionary()>& producer) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  cls.registrations().replacedKeys = producer ? std::optional<KVKeyDictionary>(producer()) : std::nullopt;
  propertyListCache().clear();
}

void kv_setupReplacedKeyFromPropertyName121(KVClass& cls, KVReplacedKeyFunction function) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  cls.registrations().replacedKeyFunction = std::move(function);
  propertyListCache().clear();
}

void kv_setupObjectClassInArray(KVClass& cls, const std::function<KVClassDictionary()>& producer) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  cls.registrations().objectClassInArray =
      producer ? std::optional<KVClassDictionary>(producer()) : std::nullopt;
  propertyListCache().clear();
}

void kv_setupNewValueFromOldValue(KVClass& cls, KVValueFilter filter) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  cls.registrations().newValueFilter = std::move(filter);
}

KVFilteredValue kv_getNewValueFromObject(KVClass& cls, const void* object, const KVObject& oldValue,
                                         const KVProperty& property) {
  if (cls.hooks().kvNewValueFromOldValue) {
    return cls.hooks().kvNewValueFromOldValue(object, oldValue, property);
  }
  if (cls.hooks().newValueFromOldValue) {
    return cls.hooks().newValueFromOldValue(oldValue, property);
  }
  // Walked directly rather than through kv_enumerateAllClasses: this runs for every property filled.
  for (KVClass* visited = &cls; visited != nullptr; visited = visited->superclass()) {
    if (const KVValueFilter& filter = visited->registrations().newValueFilter) {
      const void* seen = visited->isModelClass() ? cls.upcast(object, *visited) : object;
      return filter(seen, oldValue, property);
    }
  }
  return std::nullopt;
}

bool kvHasValueFilter(KVClass& cls) {
  if (cls.hooks().kvNewValueFromOldValue || cls.hooks().newValueFromOldValue) {
    return true;
  }
  for (KVClass* visited = &cls; visited != nullptr; visited = visited->superclass()) {
    if (visited->registrations().newValueFilter) {
      return true;
    }
  }
  return false;
}

std::optional<KVKey> propertyKey(KVClass& cls, std::string_view name) {
  const KVClassHooks& hooks = cls.hooks();
  std::optional<KVKey> key;
  if (hooks.kvReplacedKeyFromPropertyName121) {
    key = hooks.kvReplacedKeyFromPropertyName121(name);
  }
  // The older hook decides whenever the class answers it, even with no key.
  if (hooks.replacedKeyFromPropertyName121) {
    key = hooks.replacedKeyFromPropertyName121(name);
  }
  if (!key) {
    kv_enumerateAllClasses(cls, [&](KVClass& visited, bool& stop) {
      if (const KVReplacedKeyFunction& function = visited.registrations().replacedKeyFunction) {
        key = function(name);
        stop = key.has_value();
      }
    });
  }
  if (!key && hooks.kvReplacedKeyFromPropertyName) {
    const KVKeyDictionary answer = hooks.kvReplacedKeyFromPropertyName();
    if (const KVKey* entry = entryFor(answer, name)) {
      key = *entry;
    }
  }
  if (!key && hooks.replacedKeyFromPropertyName) {
    const KVKeyDictionary answer = hooks.replacedKeyFromPropertyName();
    if (const KVKey* entry = entryFor(answer, name)) {
      key = *entry;
    }
  }
  if (!key) {
    kv_enumerateAllClasses(cls, [&](KVClass& visited, bool& stop) {
      if (const std::optional<KVKeyDictionary>& registered = visited.registrations().replacedKeys) {
        if (const KVKey* entry = entryFor(*registered, name)) {
          key = *entry;
          stop = true;
        }
      }
    });
  }
  if (!key && !name.empty()) {
    key = KVKey{std::string(name)};
  }
  return key;
}

KVClass* propertyObjectClassInArray(KVClass& cls, std::string_view name) {
  const KVClassHooks& hooks = cls.hooks();
  std::optional<KVClassRef> elementClass;
  if (hooks.kvObjectClassInArray) {
    const KVClassDictionary answer = hooks.kvObjectClassInArray();
    if (const KVClassRef* entry = entryFor(answer, name)) {
      elementClass = *entry;
    }
  }
  // The older hook decides whenever the class answers it, even without an entry for the name.
  if (hooks.objectClassInArray) {
    const KVClassDictionary answer = hooks.objectClassInArray();
    const KVClassRef* entry = entryFor(answer, name);
    elementClass = entry != nullptr ? std::optional<KVClassRef>(*entry) : std::nullopt;
  }
  if (!elementClass) {
    kv_enumerateAllClasses(cls, [&](KVClass& visited, bool& stop) {
      if (const std::optional<KVClassDictionary>& registered = visited.registrations().objectClassInArray) {
        if (const KVClassRef* entry = entryFor(*registered, name)) {
          elementClass = *entry;
          stop = true;
        }
      }
    });
  }
  return elementClass ? elementClass->resolve() : nullptr;
}

}  // namespace http_client
