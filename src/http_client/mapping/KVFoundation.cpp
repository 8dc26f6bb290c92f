#include "http_client/mapping/KVFoundation.h"

#include <vector>

#include "http_client/mapping/KVClass.h"

namespace http_client {

bool KVFoundation::isClassFromFoundation(const KVClass* cls) {
  if (cls == nullptr) {
    return false;
  }
  // The two base classes count themselves, not the classes derived from them.
  if (cls == &KVClass::rootClass() || cls == &KVClass::platformClass("NSManagedObject")) {
    return true;
  }
  static const std::vector<const KVClass*> roots = [] {
    std::vector<const KVClass*> classes;
    for (const char* name : {"NSURL", "NSDate", "NSValue", "NSData", "NSError", "NSArray", "NSDictionary",
                             "NSString", "NSAttributedString"}) {
      classes.push_back(&KVClass::platformClass(name));
    }
    return classes;
  }();
  for (const KVClass* root : roots) {
    if (cls->isSubclassOf(*root)) {
      return true;
    }
  }
  return false;
}

}  // namespace http_client
