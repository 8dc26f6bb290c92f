#include "platform/coredata/ManagedObjectModel.h"

#include <cstdio>
#include <cstdlib>
#include <set>

#include "platform/coredata/StoreColumns.h"

namespace cd {

namespace {

[[noreturn]] void modelError(const std::string& model, const std::string& problem) {
  std::fprintf(stderr, "cd::ManagedObjectModel \"%s\": %s\n", model.c_str(), problem.c_str());
  std::abort();
}

}  // namespace

ManagedObjectModel::ManagedObjectModel(std::string name, std::vector<EntityDescription> entities)
    : name_(std::move(name)), entities_(std::move(entities)) {
  std::set<std::string, std::less<>> entityNames;
  for (std::size_t index = 0; index < entities_.size(); ++index) {
    if (!entityNames.insert(entities_[index].name()).second || isReservedTableName(entities_[index].name())) {
      modelError(name_, "duplicate or reserved entity name " + entities_[index].name());
    }
    entities_[index].index_ = index;
  }
  for (EntityDescription& entity : entities_) {
    checkAttributes(entity);
    resolveRelationships(entity);
  }
}

const EntityDescription* ManagedObjectModel::entityNamed(std::string_view name) const {
  for (const EntityDescription& entity : entities_) {
    if (entity.name() == name) {
      return &entity;
    }
  }
  return nullptr;
}

void ManagedObjectModel::checkAttributes(const EntityDescription& entity) const {
  std::set<std::string, std::less<>> propertyNames;
  auto claim = [&](const std::string& property) {
    if (!propertyNames.insert(property).second || property == kPrimaryKeyColumn) {
      modelError(name_, "duplicate or reserved property " + entity.name() + "." + property);
    }
  };
  for (const AttributeDescription& attribute : entity.attributes()) {
    claim(attribute.name);
    if (attribute.indexing == AttributeIndexing::kIndexed && attribute.type != AttributeType::kText) {
      modelError(name_, "only text attributes can be indexed: " + entity.name() + "." + attribute.name);
    }
  }
  for (const RelationshipDescription& relationship : entity.relationships()) {
    claim(relationship.name);
  }
}

void ManagedObjectModel::resolveRelationships(EntityDescription& entity) {
  for (const RelationshipDescription& relationship : entity.relationships()) {
    const std::string where = entity.name() + "." + relationship.name;
    const EntityDescription* destination = entityNamed(relationship.destinationEntityName);
    if (destination == nullptr) {
      modelError(name_, where + " leads to an unknown entity");
    }
    const std::optional<std::size_t> inverse = destination->relationshipIndex(relationship.inverseName);
    if (!inverse) {
      modelError(name_, where + " has no inverse on " + destination->name());
    }
    const RelationshipDescription& inverseDescription = destination->relationships()[*inverse];
    if (inverseDescription.destinationEntityName != entity.name() ||
        inverseDescription.inverseName != relationship.name) {
      modelError(name_, where + " and its inverse do not name each other");
    }
    if (relationship.cardinality == Cardinality::kToMany &&
        inverseDescription.cardinality != Cardinality::kToOne) {
      modelError(name_, where + " is to-many on both sides");
    }
    entity.destinations_.push_back(destination->index());
    entity.inverses_.push_back(*inverse);
  }
}

}  // namespace cd
