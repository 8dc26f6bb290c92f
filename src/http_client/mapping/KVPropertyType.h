#pragma once

// KVPropertyType: the classified type of a model property, made from its type code: "@" for an object of
// any class, "@\"Name\"" for an object of class Name (a protocol list "<...>" after the name is not part of
// it), and one letter for a scalar ("q" 64-bit integer, "i" int, "s" short, "c" char, "B" bool, "f" float,
// "d" double, upper case for the unsigned forms). There is one shared instance per code.
//
// Thread-safety: one thread at a time with the rest of the mapping (the table of types is shared).

#include <string>
#include <string_view>

namespace http_client {

class KVClass;

class KVPropertyType {
 public:
  // Returns the shared type for `code`, classified when first asked for and kept for the whole process.
  static const KVPropertyType& cachedTypeWithCode(std::string_view code);

  // The code; for an object of a named class, the bare class name.
  const std::string& code() const { return code_; }
  // An object of any class.
  bool idType() const { return idType_; }
  // A numeric scalar, or an object whose class is NSNumber or derives from it.
  bool numberType() const { return numberType_; }
  // A scalar of code "c", "C" or "B".
  bool boolType() const { return boolType_; }
  // The class the code names; nullptr when it names none or is not an object code.
  KVClass* typeClass() const { return typeClass_; }
  // typeClass() is a platform class (KVFoundation).
  bool fromFoundation() const { return fromFoundation_; }
  // Values of this type cannot be read or written by name (selectors, pointers, the empty code).
  bool KVCDisabled() const { return kvcDisabled_; }

  explicit KVPropertyType(std::string_view code);

 private:
  std::string code_;
  bool idType_ = false;
  bool numberType_ = false;
  bool boolType_ = false;
  KVClass* typeClass_ = nullptr;
  bool fromFoundation_ = false;
  bool kvcDisabled_ = false;
};

}  // namespace http_client
