#pragma once

// cd::FetchRequest: what a context fetch asks for: the objects of one entity that match a predicate. The
// result is in no promised order (in practice the order of insertion). A plain value; thread-safe as a
// value.

#include <optional>
#include <string>
#include <vector>

#include "platform/coredata/Predicate.h"

namespace cd {

struct FetchRequest {
  std::string entityName;
  // No predicate: every object of the entity.
  std::optional<Predicate> predicate;
  // Relationship key paths ("course", "ownTask") whose objects the fetch reads in advance. They only steer
  // reading; the result is the same without them.
  std::vector<std::string> relationshipKeyPathsForPrefetching;
};

}  // namespace cd
