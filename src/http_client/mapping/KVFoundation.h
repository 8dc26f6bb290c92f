#pragma once

// KVFoundation: which classes are the platform's value and container classes, whose objects the mapping
// passes through as they are instead of mapping them as models: the root class and the managed-object base
// class themselves (not the classes derived from them), and every class that is or derives from NSURL,
// NSDate, NSValue (numbers and decimal numbers included), NSData, NSError, NSArray, NSDictionary, NSString
// or NSAttributedString. The classes of sets and of the null object are not.
//
// Thread-safety: any thread once the class table is made (KVClass).

namespace http_client {

class KVClass;

class KVFoundation {
 public:
  // Returns true for a platform class by the rule above; false for nullptr and for model classes.
  static bool isClassFromFoundation(const KVClass* cls);
};

}  // namespace http_client
