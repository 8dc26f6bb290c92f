#include "platform/coredata/ObjectRegistry.h"

#include <algorithm>

#include "platform/coredata/ManagedObject.h"
#include "platform/foundation/check/Check.h"

namespace cd {

ObjectRegistry::ObjectRegistry(const EntityDescription& entity) : indexes_(entity.attributes().size()) {
  for (std::size_t attribute = 0; attribute < entity.attributes().size(); ++attribute) {
    if (entity.attributes()[attribute].indexing == AttributeIndexing::kIndexed) {
      indexes_[attribute].emplace();
    }
  }
}

void ObjectRegistry::add(std::shared_ptr<ManagedObject> object) {
  QM_DCHECK(find(object->primaryKey()) == nullptr, "no object with its key is registered");
  ManagedObject* added = object.get();
  const std::int64_t primaryKey = added->primaryKey();
  if (slots_.empty() || slots_.back().primaryKey < primaryKey) {
    slots_.push_back(Slot{primaryKey, std::move(object)});
  } else {
    slots_.insert(slotOf(primaryKey), Slot{primaryKey, std::move(object)});
  }
  addToIndexes(added);
}

void ObjectRegistry::addLoaded(std::vector<std::shared_ptr<ManagedObject>> objects) {
  const std::size_t before = slots_.size();
  for (std::shared_ptr<ManagedObject>& object : objects) {
    addToIndexes(object.get());
    const std::int64_t primaryKey = object->primaryKey();
    slots_.push_back(Slot{primaryKey, std::move(object)});
  }
  // Objects inserted before the entity was read have larger keys than every stored row.
  std::inplace_merge(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(before), slots_.end(),
                     [](const Slot& a, const Slot& b) { return a.primaryKey < b.primaryKey; });
}

void ObjectRegistry::addToIndexes(ManagedObject* object) {
  for (std::size_t attribute = 0; attribute < indexes_.size(); ++attribute) {
    if (isIndexed(attribute)) {
      addToIndex(attribute, object->attributes_[attribute], object);
    }
  }
}

void ObjectRegistry::remove(const ManagedObject& object) {
  const auto found = slotOf(object.primaryKey());
  if (found == slots_.end() || found->object.get() != &object) {
    return;
  }
  for (std::size_t attribute = 0; attribute < indexes_.size(); ++attribute) {
    if (isIndexed(attribute)) {
      removeFromIndex(attribute, object.attributes_[attribute], &object);
    }
  }
  slots_[static_cast<std::size_t>(found - slots_.begin())].object.reset();
  if (++emptySlots_ * 2 > slots_.size()) {
    std::erase_if(slots_, [](const Slot& slot) { return slot.object == nullptr; });
    emptySlots_ = 0;
  }
}

std::vector<ObjectRegistry::Slot>::const_iterator ObjectRegistry::slotOf(std::int64_t primaryKey) const {
  return std::lower_bound(slots_.begin(), slots_.end(), primaryKey,
                          [](const Slot& slot, std::int64_t key) { return slot.primaryKey < key; });
}

ManagedObject* ObjectRegistry::find(std::int64_t primaryKey) const {
  const auto found = slotOf(primaryKey);
  return found != slots_.end() && found->primaryKey == primaryKey ? found->object.get() : nullptr;
}

std::span<ManagedObject* const> ObjectRegistry::objectsWithText(std::size_t attribute,
                                                                std::string_view text) const {
  QM_DCHECK(isIndexed(attribute), "isIndexed(attribute)");
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
