#pragma once

// cd::ManagedObject: the base class of every object a context manages. An entity class derives from it and
// offers typed accessors over the protected primitives below, by the attribute and relationship indices of
// its EntityDescription.
//
// Attributes: every change is announced to key-value observers (old and new value, on the changing thread,
// which is the context's thread) and, when the value really differs, recorded as a change to save.
// Relationships: only the to-one side is set; the inverse side (a to-many list or the partner's to-one) is
// kept in step at once. A to-many relationship lists its objects in the order they were first inserted
// (ascending primary key).
//
// Objects are made by a context (ManagedObjectContext::insertNewObjectForEntityForName, or by fetches) and
// live in std::shared_ptr. A deleted object, or one whose context is gone, keeps its attribute values but no
// relationships, and changes to it are not saved.
//
// Not thread-safe: an object belongs to its context's thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/foundation/notify/KeyValueObservable.h"
#include "platform/foundation/values/Object.h"
#include "platform/foundation/values/Value.h"

namespace cd {

class ManagedObjectContext;

class ManagedObject : public ns::Object, public ns::KeyValueObservable {
 public:
  ~ManagedObject() override;

  // REQUIRES (for these and every accessor): the object was made by a context.
  const EntityDescription& entity() const { return *entity_; }
  // The object's key in its store. Keys grow in the order objects are inserted and never change.
  std::int64_t primaryKey() const { return primaryKey_; }
  // The context that manages the object, or nullptr once it was deleted and saved, or its context is gone.
  // Not owned.
  ManagedObjectContext* managedObjectContext() const { return context_; }
  // True once the object was deleted from its context.
  bool isDeleted() const { return deleted_; }

  // The value of the attribute `key`: null for nil, else a string or an integer. Null for any other key.
  ns::Value valueForKey(std::string_view key) const override;

 protected:
  ManagedObject() = default;

  // This object, shared with its other owners.
  std::shared_ptr<ManagedObject> self() const;
  template <typename T>
  std::shared_ptr<T> selfAs() const {
    return std::dynamic_pointer_cast<T>(self());
  }

  // Attribute `attribute` as text or integer; std::nullopt for nil.
  // REQUIRES: the attribute has the accessor's type.
  std::optional<std::string> textValue(std::size_t attribute) const;
  std::optional<std::int64_t> integerValue(std::size_t attribute) const;
  // Sets attribute `attribute` (std::nullopt: nil) and announces the change.
  // REQUIRES: the attribute has the setter's type.
  void setTextValue(std::size_t attribute, std::optional<std::string> value);
  void setIntegerValue(std::size_t attribute, std::optional<std::int64_t> value);

  // The object at the end of to-one relationship `relationship`, or nullptr.
  std::shared_ptr<ManagedObject> relatedObject(std::size_t relationship) const;
  template <typename T>
  std::shared_ptr<T> relatedObjectAs(std::size_t relationship) const {
    return std::dynamic_pointer_cast<T>(relatedObject(relationship));
  }
  // Links to-one relationship `relationship` to `object` (nullptr: unlinks) and keeps the inverse in step.
  // REQUIRES: `object` is null or an object of the destination entity in this object's context.
  void setRelatedObject(std::size_t relationship, const std::shared_ptr<ManagedObject>& object);

  // The objects of to-many relationship `relationship`, in the order they were first inserted.
  std::vector<std::shared_ptr<ManagedObject>> relatedObjects(std::size_t relationship) const;
  template <typename T>
  std::vector<std::shared_ptr<T>> relatedObjectsAs(std::size_t relationship) const {
    std::vector<std::shared_ptr<T>> typed;
    for (const std::shared_ptr<ManagedObject>& object : relatedObjects(relationship)) {
      if (std::shared_ptr<T> cast = std::dynamic_pointer_cast<T>(object)) {
        typed.push_back(std::move(cast));
      }
    }
    return typed;
  }

 private:
  friend class ManagedObjectContext;
  friend class BoundPredicate;
  friend class ObjectRegistry;

  struct RelationshipSlot {
    ManagedObject* toOne = nullptr;
    std::vector<ManagedObject*> toMany;  // ascending primary key
  };

  // Called by the context that makes the object.
  void attach(ManagedObjectContext* context, std::shared_ptr<const ManagedObjectModel> model,
              const EntityDescription* entity, std::int64_t primaryKey, std::vector<ns::Value> attributes);
  void setAttribute(std::size_t attribute, ns::Value value);
  // Records that a column of the object's row changed.
  void markUpdated();
  // Adds `other` to, or removes it from, this object's side `relationship` of a link.
  void linkSide(std::size_t relationship, ManagedObject* other);
  void unlinkSide(std::size_t relationship, const ManagedObject* other);
  // Forgets every relationship without touching the other side: the context is tearing the graph down.
  void dropRelationships();

  std::shared_ptr<const ManagedObjectModel> model_;  // keeps entity_ alive
  const EntityDescription* entity_ = nullptr;
  ManagedObjectContext* context_ = nullptr;
  std::int64_t primaryKey_ = 0;
  std::vector<ns::Value> attributes_;            // by attribute index: null or the attribute's kind
  std::vector<RelationshipSlot> relationships_;  // by relationship index
  bool persisted_ = false;                       // a row exists in the store
  bool updated_ = false;                         // the row differs from the object
  bool deleted_ = false;
};

// Returns a new object of entity class T in one allocation, for the entity's factory.
// REQUIRES: T's default constructor is protected or public.
template <typename T>
std::shared_ptr<ManagedObject> makeObjectOf() {
  struct Made final : T {};
  return std::make_shared<Made>();
}

}  // namespace cd
