#pragma once

// cd::BoundPredicate: a Predicate resolved against one entity, so that evaluating it walks indices instead
// of names. An implementation detail of ManagedObjectContext's fetches.
//
// Not thread-safe: evaluates objects of one context's thread.

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/Predicate.h"

namespace cd {

class BoundPredicate {
 public:
  // REQUIRES: every key path of `predicate` leads from `entity` through to-one relationships to an attribute
  // (or, for an object comparison, a to-one relationship); anything else is a programming error and aborts
  // the process with a message, as it names a property the model does not have.
  BoundPredicate(const Predicate& predicate, const ManagedObjectModel& model,
                 const EntityDescription& entity);

  // True when `object` (of the bound entity) satisfies every term.
  bool evaluate(const ManagedObject& object) const;

  // An equality with a text constant on an indexed attribute of the entity itself, which every match must
  // satisfy: the attribute index and the text. std::nullopt when the predicate has none.
  std::optional<std::pair<std::size_t, std::string_view>> indexedEquality() const;

 private:
  struct BoundTerm {
    std::vector<std::size_t> path;  // to-one relationships walked before the last key
    std::size_t last = 0;           // attribute index, or relationship index for an object comparison
    bool comparesObject = false;
    bool indexed = false;
    AttributeType type = AttributeType::kText;
    ComparisonOperator comparison = ComparisonOperator::kEqualTo;
    ns::Value constant;  // converted to the attribute's type
    const ManagedObject* object = nullptr;
  };

  static BoundTerm bind(const Predicate::Term& term, const ManagedObjectModel& model,
                        const EntityDescription& entity);
  static bool holds(const BoundTerm& term, const ManagedObject& object);

  std::vector<BoundTerm> terms_;
  // Keeps the compared objects alive while the predicate is in use.
  std::vector<std::shared_ptr<const ManagedObject>> objects_;
};

}  // namespace cd
