#include "platform/coredata/ManagedObjectContext.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/coredata/BoundPredicate.h"
#include "platform/coredata/CoreDataErrors.h"
#include "platform/foundation/check/Check.h"

namespace cd {

namespace {

[[noreturn]] void badPrefetch(const EntityDescription& entity, std::string_view keyPath) {
  std::fprintf(stderr, "cd::FetchRequest on %s: \"%.*s\" is not a relationship key path\n",
               entity.name().c_str(), static_cast<int>(keyPath.size()), keyPath.data());
  std::abort();
}

}  // namespace

ManagedObjectContext::ManagedObjectContext(std::shared_ptr<PersistentStoreCoordinator> coordinator)
    : coordinator_(std::move(coordinator)), model_(coordinator_->managedObjectModel()) {
  QM_DCHECK(coordinator_->hasStore(), "the coordinator has a store");
  for (const EntityDescription& entity : model_->entities()) {
    registries_.emplace_back(entity);
  }
}

ManagedObjectContext::~ManagedObjectContext() {
  auto detach = [](ManagedObject& object) {
    object.context_ = nullptr;
    object.dropRelationships();
  };
  for (ObjectRegistry& registry : registries_) {
    registry.forEachObject([&detach](const std::shared_ptr<ManagedObject>& object) { detach(*object); });
  }
  for (const std::shared_ptr<ManagedObject>& object : deleted_) {
    detach(*object);
  }
}

std::shared_ptr<ManagedObject> ManagedObjectContext::insertNewObjectForEntityForName(
    std::string_view entityName) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  const EntityDescription* entity = model_->entityNamed(entityName);
  if (entity == nullptr) {
    return nullptr;
  }
  std::shared_ptr<ManagedObject> object = entity->makeObject();
  object->attach(this, model_, entity, coordinator_->store().takePrimaryKey(*entity), {});
  registries_[entity->index()].add(object);
  inserted_.push_back(object);
  ++pendingChanges_;
  return object;
}

void ManagedObjectContext::deleteObject(ManagedObject& object) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  if (object.context_ != this || object.deleted_) {
    return;
  }
  // The object's own rows are read first, so that a later read cannot bring the deleted row back before the
  // save removes it; and every object that may be linked to this one must be in memory for the delete
  // rules to reach it.
  static_cast<void>(ensureLoaded(object.entity_->index()));
  for (std::size_t relationship = 0; relationship < object.relationships_.size(); ++relationship) {
    static_cast<void>(ensureLoaded(object.entity_->destinationIndex(relationship)));
  }
  std::shared_ptr<ManagedObject> held = object.self();
  registries_[object.entity_->index()].remove(object);
  if (object.persisted_) {
    if (!object.updated_) {
      ++pendingChanges_;
    }
    object.updated_ = false;
    deleted_.push_back(held);
  } else {
    --pendingChanges_;
  }
  object.deleted_ = true;
  applyDeleteRules(object);
  if (!object.persisted_) {
    object.context_ = nullptr;
  }
}

void ManagedObjectContext::applyDeleteRules(ManagedObject& object) {
  const EntityDescription& entity = *object.entity_;
  for (std::size_t relationship = 0; relationship < object.relationships_.size(); ++relationship) {
    const std::size_t inverse = entity.inverseIndex(relationship);
    const bool cascades = entity.relationships()[relationship].deleteRule == DeleteRule::kCascade;
    ManagedObject::RelationshipSlot& slot = object.relationships_[relationship];
    std::vector<ManagedObject*> related = std::move(slot.toMany);
    slot.toMany.clear();
    if (slot.toOne != nullptr) {
      related.push_back(slot.toOne);
      slot.toOne = nullptr;
    }
    for (ManagedObject* other : related) {
      other->unlinkSide(inverse, &object);
      if (cascades) {
        deleteObject(*other);
      }
    }
  }
}

ns::Result<std::vector<std::shared_ptr<ManagedObject>>> ManagedObjectContext::executeFetchRequest(
    const FetchRequest& request) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  const EntityDescription* entity = model_->entityNamed(request.entityName);
  if (entity == nullptr) {
    return storeError(kCoreDataError, "The model has no entity called \"" + request.entityName + "\".");
  }
  static const Predicate kEveryObject = Predicate::allOf({});
  const BoundPredicate predicate(request.predicate ? *request.predicate : kEveryObject, *model_, *entity);
  ns::Status loaded = ensureLoaded(entity->index());
  for (const std::string& keyPath : request.relationshipKeyPathsForPrefetching) {
    if (loaded) {
      loaded = ensureLoadedAlong(*entity, keyPath);
    }
  }
  if (!loaded) {
    return loaded.error();
  }
  const ObjectRegistry& registry = registries_[entity->index()];
  std::vector<std::shared_ptr<ManagedObject>> matches;
  if (const auto equality = predicate.indexedEquality()) {
    for (ManagedObject* candidate : registry.objectsWithText(equality->first, equality->second)) {
      if (predicate.evaluate(*candidate)) {
        matches.push_back(candidate->self());
      }
    }
    // Matches come in insertion order, as from a full scan.
    std::sort(matches.begin(), matches.end(),
              [](const std::shared_ptr<ManagedObject>& a, const std::shared_ptr<ManagedObject>& b) {
                return a->primaryKey() < b->primaryKey();
              });
    return matches;
  }
  registry.forEachObject([&](const std::shared_ptr<ManagedObject>& candidate) {
    if (predicate.evaluate(*candidate)) {
      matches.push_back(candidate);
    }
  });
  return matches;
}

ns::Status ManagedObjectContext::ensureLoadedAlong(const EntityDescription& entity,
                                                   std::string_view keyPath) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  const EntityDescription* current = &entity;
  std::string_view rest = keyPath;
  while (!rest.empty()) {
    const std::size_t dot = rest.find('.');
    const std::optional<std::size_t> relationship = current->relationshipIndex(rest.substr(0, dot));
    if (!relationship) {
      badPrefetch(entity, keyPath);
    }
    current = &model_->entities()[current->destinationIndex(*relationship)];
    ns::Status loaded = ensureLoaded(current->index());
    if (!loaded) {
      return loaded;
    }
    rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
  }
  return ns::Status();
}

ns::Status ManagedObjectContext::ensureLoaded(std::size_t entityIndex) {
  ObjectRegistry& registry = registries_[entityIndex];
  if (registry.isLoaded()) {
    return ns::Status();
  }
  const EntityDescription& entity = model_->entities()[entityIndex];
  ns::Result<std::vector<StoreRow>> rows = coordinator_->store().loadRows(entity);
  if (!rows) {
    return rows.error();
  }
  // Marked before the related entities are read, so that a relationship back to this entity (a course's
  // parent course) stops here instead of reading it again.
  registry.markLoaded();
  // An object inserted here and saved before its entity was read already stands for its row: it is newer
  // than the row, and a second object would break identity.
  std::erase_if(*rows, [&registry](const StoreRow& row) { return registry.find(row.primaryKey) != nullptr; });
  std::vector<std::shared_ptr<ManagedObject>> loaded;
  std::vector<ManagedObject*> objects;
  loaded.reserve(rows->size());
  objects.reserve(rows->size());
  for (StoreRow& row : *rows) {
    std::shared_ptr<ManagedObject> object = entity.makeObject();
    object->attach(this, model_, &entity, row.primaryKey, std::move(row.attributes));
    object->persisted_ = true;
    objects.push_back(object.get());
    loaded.push_back(std::move(object));
  }
  registry.addLoaded(std::move(loaded));
  ns::Status resolved;
  for (std::size_t relationship = 0; relationship < entity.relationships().size(); ++relationship) {
    if (entity.relationships()[relationship].cardinality != Cardinality::kToOne) {
      continue;
    }
    const std::size_t destination = entity.destinationIndex(relationship);
    ns::Status destinationLoaded = ensureLoaded(destination);
    if (!destinationLoaded) {
      // The links into the unread entity stay unresolved; the caller learns why.
      resolved = destinationLoaded;
      continue;
    }
    const std::size_t inverse = entity.inverseIndex(relationship);
    for (std::size_t position = 0; position < objects.size(); ++position) {
      const std::optional<std::int64_t>& key = (*rows)[position].relatedKeys[relationship];
      ManagedObject* target = key ? registries_[destination].find(*key) : nullptr;
      if (target != nullptr && objects[position]->relationships_[relationship].toOne == nullptr) {
        objects[position]->relationships_[relationship].toOne = target;
        ManagedObject::RelationshipSlot& targetSide = target->relationships_[inverse];
        if (target->entity_->relationships()[inverse].cardinality == Cardinality::kToMany) {
          targetSide.toMany.insert(
              std::upper_bound(targetSide.toMany.begin(), targetSide.toMany.end(), objects[position],
                               [](const ManagedObject* a, const ManagedObject* b) {
                                 return a->primaryKey() < b->primaryKey();
                               }),
              objects[position]);
        } else {
          targetSide.toOne = objects[position];
        }
      }
    }
  }
  return resolved;
}

void ManagedObjectContext::attributeDidChange(ManagedObject& object, std::size_t attribute,
                                              const ns::Value& oldValue) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  registries_[object.entity_->index()].attributeDidChange(object, attribute, oldValue);
}

void ManagedObjectContext::objectDidUpdate(ManagedObject& object) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  updated_.push_back(object.self());
  ++pendingChanges_;
}

StoreRowWrite ManagedObjectContext::rowOf(const ManagedObject& object) const {
  StoreRowWrite row;
  row.entityIndex = object.entity_->index();
  row.primaryKey = object.primaryKey_;
  row.attributes = object.attributes_;
  row.relatedKeys.resize(object.relationships_.size());
  for (std::size_t relationship = 0; relationship < object.relationships_.size(); ++relationship) {
    if (const ManagedObject* related = object.relationships_[relationship].toOne) {
      row.relatedKeys[relationship] = related->primaryKey_;
    }
  }
  return row;
}

ns::Status ManagedObjectContext::save() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  if (!hasChanges()) {
    return ns::Status();
  }
  StoreChanges changes;
  changes.inserted.reserve(inserted_.size());
  for (const std::shared_ptr<ManagedObject>& object : inserted_) {
    if (!object->deleted_) {
      changes.inserted.push_back(rowOf(*object));
    }
  }
  for (const std::shared_ptr<ManagedObject>& object : updated_) {
    if (object->updated_ && !object->deleted_) {
      changes.updated.push_back(rowOf(*object));
    }
  }
  for (const std::shared_ptr<ManagedObject>& object : deleted_) {
    changes.deleted.emplace_back(object->entity_->index(), object->primaryKey_);
  }
  ns::Status written = coordinator_->store().write(changes);
  if (!written) {
    return written;
  }
  forgetSavedChanges();
  return ns::Status();
}

void ManagedObjectContext::forgetSavedChanges() {
  for (const std::shared_ptr<ManagedObject>& object : inserted_) {
    object->persisted_ = !object->deleted_;
  }
  for (const std::shared_ptr<ManagedObject>& object : updated_) {
    object->updated_ = false;
  }
  for (const std::shared_ptr<ManagedObject>& object : deleted_) {
    object->persisted_ = false;
    object->context_ = nullptr;
  }
  inserted_.clear();
  updated_.clear();
  deleted_.clear();
  pendingChanges_ = 0;
}

}  // namespace cd
