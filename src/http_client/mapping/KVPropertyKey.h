#pragma once

// KVPropertyKey: one step of a key path, by which the mapping finds a property's value inside a dictionary:
// an entry of a dictionary by name, or an element of an array by index ("list[2]" is the step "list" then
// the step 2).
//
// Thread-safety: a value.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/values/Value.h"

namespace http_client {

enum class KVPropertyKeyType : std::int32_t { kDictionary = 0, kArray = 1 };

class KVPropertyKey {
 public:
  KVPropertyKey(std::string name, KVPropertyKeyType type = KVPropertyKeyType::kDictionary)
      : name_(std::move(name)), type_(type) {}

  const std::string& name() const { return name_; }
  KVPropertyKeyType type() const { return type_; }
  // The index of an array step: its name read as a whole number, or -1 when it is none.
  std::int64_t index() const;

  // Returns what this step selects in `object`: the entry under the name of a dictionary, or the element at
  // the index of an array when the index is within it. Returns nullptr in every other case (a missing
  // object, another kind, an absent entry, a negative or too large index).
  const ns::Value* valueInObject(const ns::Value* object) const;

  friend bool operator==(const KVPropertyKey& a, const KVPropertyKey& b) = default;

 private:
  std::string name_;
  KVPropertyKeyType type_;
};

// The steps of one key path, in order.
using KVKeyPath = std::vector<KVPropertyKey>;

}  // namespace http_client
