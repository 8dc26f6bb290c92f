#include "http_client/mapping/KVFoundation.h"

#include "http_client/mapping/KVClass.h"

namespace http_client {

bool KVFoundation::isClassFromFoundation(const KVClass* cls) {
  if (cls == nullptr) {
    return false;
  }
  if (cls == &KVClass::rootClass()) {
    return true;
  }
  // Sets are containers like arrays and dictionaries: mapping one as a model would read nothing from it.
  static constexpr const char* kFoundationRoots[] = {
      "NSURL",   "NSDate",       "NSValue", "NSData",   "NSError",
      "NSArray", "NSDictionary", "NSSet",   "NSString", "NSAttributedString"};
  for (const char* root : kFoundationRoots) {
    if (cls->isSubclassOf(KVClass::platformClass(root))) {
      return true;
    }
  }
  return false;
}

}  // namespace http_client
