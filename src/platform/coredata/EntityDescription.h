#pragma once

// cd::EntityDescription: one entity of a model: its name, its attributes and relationships in declaration
// order, and the factory that makes an object of the entity's class. Attribute and relationship indices are
// positions in those lists; entity classes use them to reach their values without looking names up.
//
// An entity is complete once a ManagedObjectModel has taken it: the model resolves each relationship's
// destination and inverse. Thread-safe for reading once the model is built.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/coredata/AttributeDescription.h"
#include "platform/coredata/RelationshipDescription.h"

namespace cd {

class ManagedObject;

class EntityDescription {
 public:
  // Makes a new, empty object of the entity's class.
  using Factory = std::function<std::shared_ptr<ManagedObject>()>;

  EntityDescription(std::string name, Factory factory, std::vector<AttributeDescription> attributes,
                    std::vector<RelationshipDescription> relationships);

  const std::string& name() const { return name_; }
  const std::vector<AttributeDescription>& attributes() const { return attributes_; }
  const std::vector<RelationshipDescription>& relationships() const { return relationships_; }

  // Returns the position of the attribute or relationship called `name`, or std::nullopt.
  std::optional<std::size_t> attributeIndex(std::string_view name) const;
  std::optional<std::size_t> relationshipIndex(std::string_view name) const;

  // Position of this entity in its model.
  // REQUIRES: the entity belongs to a model (true of every entity a model hands out).
  std::size_t index() const { return index_; }
  // Position of relationship `relationship`'s destination entity in the model, and of its inverse among the
  // destination's relationships.
  std::size_t destinationIndex(std::size_t relationship) const { return destinations_[relationship]; }
  std::size_t inverseIndex(std::size_t relationship) const { return inverses_[relationship]; }

  // Returns a new object of the entity's class, not yet in any context. Owned by the caller.
  std::shared_ptr<ManagedObject> makeObject() const { return factory_(); }

 private:
  friend class ManagedObjectModel;

  std::string name_;
  Factory factory_;
  std::vector<AttributeDescription> attributes_;
  std::vector<RelationshipDescription> relationships_;
  // Filled by the model that takes the entity.
  std::size_t index_ = 0;
  std::vector<std::size_t> destinations_;
  std::vector<std::size_t> inverses_;
};

}  // namespace cd
