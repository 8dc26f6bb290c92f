#include "http_client/mapping/KVFoundation.h"

#include <vector>

#include "http_client/mapping/KVClass.h"

namespace http_client {

bool KVFoundation::isClassFromFoundation(const KVClass* cls) {
  if (cls == nullptr) {
    return false;
  }
  if (cls == &KVClass::rootClass()) {
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
