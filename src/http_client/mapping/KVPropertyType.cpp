#include "http_client/mapping/KVPropertyType.h"

#include <algorithm>
#include <map>
#include <memory>

#include "http_client/mapping/KVClass.h"
#include "http_client/mapping/KVFoundation.h"

namespace http_client {

namespace {

constexpr std::string_view kNumberCodes = "iscbfdlq";

char lowered(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

const KVPropertyType& KVPropertyType::cachedTypeWithCode(std::string_view code) {
  static auto* table = new std::map<std::string, std::unique_ptr<KVPropertyType>, std::less<>>();
  auto found = table->find(code);
  if (found == table->end()) {
    found = table->emplace(std::string(code), std::make_unique<KVPropertyType>(code)).first;
  }
  return *found->second;
}

KVPropertyType::KVPropertyType(std::string_view code) : code_(code) {
  if (code == "@") {
    idType_ = true;
  } else if (code.empty()) {
    kvcDisabled_ = true;
  } else if (code.size() >= 4 && code.starts_with("@\"") && code.ends_with("\"")) {
    std::string_view name = code.substr(2, code.size() - 3);
    // A property that also promises protocols still holds an object of the named class.
    name = name.substr(0, std::min(name.find('<'), name.size()));
    code_ = std::string(name);
    typeClass_ = KVClass::named(name);
    fromFoundation_ = KVFoundation::isClassFromFoundation(typeClass_);
    numberType_ = typeClass_ != nullptr && typeClass_->isSubclassOf(KVClass::platformClass("NSNumber"));
  } else if (code == ":" || code == "^{objc_ivar=}" || code == "^{objc_method=}") {
    kvcDisabled_ = true;
  }
  if (code_.size() == 1 && kNumberCodes.find(lowered(code_[0])) != std::string_view::npos) {
    numberType_ = true;
    boolType_ = lowered(code_[0]) == 'c' || lowered(code_[0]) == 'b';
  }
}

}  // namespace http_client
