#include "http_client/mapping/KVObjectClass.h"

#include "http_client/mapping/KVClass.h"
#include "http_client/mapping/KVFoundation.h"
#include "platform/foundation/check/Check.h"

namespace http_client {

namespace {

using ListHook = std::function<KVNameList()> KVClassHooks::*;
using ListRegistration = std::optional<KVNameList> KVClassRegistrations::*;

void setupList(KVClass& cls, ListRegistration registration, const std::function<KVNameList()>& producer) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(KVClass::mappingChecker());
  cls.registrations().*registration =
      producer ? std::optional<KVNameList>(producer()) : std::optional<KVNameList>();
}

KVNameList totalList(KVClass& cls, ListHook hook, ListRegistration registration) {
  KVNameList total;
  if (const std::function<KVNameList()>& answer = cls.hooks().*hook) {
    total = answer();
  }
  kv_enumerateAllClasses(cls, [&](KVClass& visited, bool&) {
    if (const std::optional<KVNameList>& registered = visited.registrations().*registration) {
      total.insert(total.end(), registered->begin(), registered->end());
    }
  });
  return total;
}

void enumerate(KVClass& cls, const KVClassVisitor& visitor, bool stopAtPlatformClass) {
  if (!visitor) {
    return;
  }
  bool stop = false;
  for (KVClass* walk = &cls; walk != nullptr && !stop; walk = walk->superclass()) {
    if (walk != &cls && stopAtPlatformClass && KVFoundation::isClassFromFoundation(walk)) {
      return;
    }
    visitor(*walk, stop);
  }
}

}  // namespace

void kv_enumerateClasses(KVClass& cls, const KVClassVisitor& visitor) {
  enumerate(cls, visitor, true);
}

void kv_enumerateAllClasses(KVClass& cls, const KVClassVisitor& visitor) {
  enumerate(cls, visitor, false);
}

void kv_setupAllowedPropertyNames(KVClass& cls, const std::function<KVNameList()>& producer) {
  setupList(cls, &KVClassRegistrations::allowedPropertyNames, producer);
}

void kv_setupIgnoredPropertyNames(KVClass& cls, const std::function<KVNameList()>& producer) {
  setupList(cls, &KVClassRegistrations::ignoredPropertyNames, producer);
}

void kv_setupAllowedCodingPropertyNames(KVClass& cls, const std::function<KVNameList()>& producer) {
  setupList(cls, &KVClassRegistrations::allowedCodingPropertyNames, producer);
}

void kv_setupIgnoredCodingPropertyNames(KVClass& cls, const std::function<KVNameList()>& producer) {
  setupList(cls, &KVClassRegistrations::ignoredCodingPropertyNames, producer);
}

KVNameList kv_totalAllowedPropertyNames(KVClass& cls) {
  return totalList(cls, &KVClassHooks::kvAllowedPropertyNames, &KVClassRegistrations::allowedPropertyNames);
}

KVNameList kv_totalIgnoredPropertyNames(KVClass& cls) {
  return totalList(cls, &KVClassHooks::kvIgnoredPropertyNames, &KVClassRegistrations::ignoredPropertyNames);
}

KVNameList kv_totalAllowedCodingPropertyNames(KVClass& cls) {
  return totalList(cls, &KVClassHooks::kvAllowedCodingPropertyNames,
                   &KVClassRegistrations::allowedCodingPropertyNames);
}

KVNameList kv_totalIgnoredCodingPropertyNames(KVClass& cls) {
  return totalList(cls, &KVClassHooks::kvIgnoredCodingPropertyNames,
                   &KVClassRegistrations::ignoredCodingPropertyNames);
}

}  // namespace http_client
