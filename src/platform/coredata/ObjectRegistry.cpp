#include "platform/coredata/ObjectRegistry.h"

#include "platform/coredata/ManagedObject.h"

namespace cd {

ObjectRegistry::ObjectRegistry(const EntityDescription& entity) : indexes_(entity.attributes().size()) {
  for (std::size_t attribute = 0; attribute < entity.attributes().size(); ++attribute) {
    if (entity.attributes()[attribute].indexing == AttributeIndexing::kIndexed) {
      indexes_[attribute].emplace();
    }
  }
}

void ObjectRegistry::add(std::shared_ptr<ManagedObject> object) {
  ManagedObject* registered = object.get();
  objects_.emplace(registered->primaryKey(), std::move(object));
  for (std::size_t attribute = 0; attribute < indexes_.size(); ++attribute) {
    if (isIndexed(attribute)) {
      addToIndex(attribute, registered->attributes_[attribute], registered);
    }
  }
}

void ObjectRegistry::remove(const ManagedObject& object) {
  for (std::size_t attribute = 0; attribute < indexes_.size(); ++attribute) {
    if (isIndexed(attribute)) {
      removeFromIndex(attribute, object.attributes_[attribute], &object);
    }
  }
  objects_.erase(object.primaryKey());
}

ManagedObject* ObjectRegistry::find(std::int64_t primaryKey) const {
  const auto found = objects_.find(primaryKey);
  return found != objects_.end() ? found->second.get() : nullptr;
}

std::span<ManagedObject* const> ObjectRegistry::objectsWithText(std::size_t attribute,
                                                                std::string_view text) const {
  const TextIndex& index = *indexes_[attribute];
  const auto found = index.find(text);
  if (found == index.end()) {
    return {};
  }
  return found->second;
}

void ObjectRegistry::attributeDidChange(ManagedObject& object, std::size_t attribute,
                                        const ns::Value& oldValue) {
  if (!isIndexed(attribute) || find(object.primaryKey()) != &object) {
    return;
  }
  removeFromIndex(attribute, oldValue, &object);
  addToIndex(attribute, object.attributes_[attribute], &object);
}

void ObjectRegistry::addToIndex(std::size_t attribute, const ns::Value& value, ManagedObject* object) {
  if (value.isString()) {
    (*indexes_[attribute])[value.asString()].push_back(object);
  }
}

void ObjectRegistry::removeFromIndex(std::size_t attribute, const ns::Value& value,
                                     const ManagedObject* object) {
  if (!value.isString()) {
    return;
  }
  TextIndex& index = *indexes_[attribute];
  const auto found = index.find(value.asString());
  if (found == index.end()) {
    return;
  }
  std::erase(found->second, object);
  if (found->second.empty()) {
    index.erase(found);
  }
}

}  // namespace cd
