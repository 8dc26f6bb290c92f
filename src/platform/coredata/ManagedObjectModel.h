#pragma once

// cd::ManagedObjectModel: the named set of entities that a store holds. The model is defined in code and
// checked when it is built; a model that contradicts itself (a relationship to an unknown entity, a missing
// or mismatched inverse, a to-many relationship whose inverse is not to-one, a duplicate or reserved name,
// an indexed attribute that is not text) is a programming error and aborts the process with a message.
//
// Thread-safe: immutable once built.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/coredata/EntityDescription.h"

namespace cd {

class ManagedObjectModel {
 public:
  // REQUIRES: `entities` form a consistent model, as the header comment describes.
  ManagedObjectModel(std::string name, std::vector<EntityDescription> entities);

  ManagedObjectModel(const ManagedObjectModel&) = delete;
  ManagedObjectModel& operator=(const ManagedObjectModel&) = delete;

  // The model's name; a store file remembers it and opens only with a model of the same name.
  const std::string& name() const { return name_; }
  const std::vector<EntityDescription>& entities() const { return entities_; }
  // Returns the entity called `name`, or nullptr. The entity lives as long as the model.
  const EntityDescription* entityNamed(std::string_view name) const;

 private:
  void resolveRelationships(EntityDescription& entity);
  void checkAttributes(const EntityDescription& entity) const;

  // Constant after construction.
  std::string name_;
  std::vector<EntityDescription> entities_;
};

}  // namespace cd
