#pragma once

// cd::RelationshipDescription: one side of a relationship between two entities, as the model declares it.
// Every relationship has an inverse on the destination entity, and the store keeps both sides in step.
// A to-many side's inverse must be to-one: each object belongs to at most one owner per relationship.
// A plain value; thread-safe as a value.

#include <string>

namespace cd {

enum class Cardinality { kToOne, kToMany };

// What deleting an object does to the objects this relationship reaches.
enum class DeleteRule {
  kNullify,  // they stay and lose their link to the deleted object
  kCascade,  // they are deleted too
};

struct RelationshipDescription {
  std::string name;
  std::string destinationEntityName;
  Cardinality cardinality = Cardinality::kToOne;
  std::string inverseName;
  DeleteRule deleteRule = DeleteRule::kNullify;
};

}  // namespace cd
