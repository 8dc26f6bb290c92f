#pragma once

// cd::ObjectRegistry: a context's objects of one entity, by primary key (the identity map: at most one
// object per row), with a lookup table per indexed text attribute. An implementation detail of
// ManagedObjectContext.
//
// Objects are kept in a vector in ascending key order: new objects always take the largest key so far, so
// adding is an append, and finding is a binary search. A removed object leaves an empty slot behind, and
// the slots are compacted once half of them are empty, so that deleting a large tree stays linear.
//
// Not thread-safe: belongs to its context's thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/coredata/EntityDescription.h"
#include "platform/foundation/values/Value.h"

namespace cd {

class ManagedObject;

class ObjectRegistry {
 public:
  explicit ObjectRegistry(const EntityDescription& entity);

  // True once the entity's rows have been read into the registry.
  bool isLoaded() const { return loaded_; }
  void markLoaded() { loaded_ = true; }

  // Adds `object`, which the registry then shares. REQUIRES: no object with its key is registered.
  void add(std::shared_ptr<ManagedObject> object);
  // Adds `objects`, read from the store in ascending key order, in one go.
  // REQUIRES: no object with one of their keys is registered.
  void addLoaded(std::vector<std::shared_ptr<ManagedObject>> objects);
  // Removes `object`, if registered.
  void remove(const ManagedObject& object);
  // Returns the object with `primaryKey`, or nullptr. Not owned.
  ManagedObject* find(std::int64_t primaryKey) const;

  // Calls `visit` with every registered object (a const std::shared_ptr<ManagedObject>&), by ascending
  // primary key. `visit` must not add or remove objects.
  template <typename Visit>
  void forEachObject(Visit visit) const {
    for (const Slot& slot : slots_) {
      if (slot.object != nullptr) {
        visit(slot.object);
      }
    }
  }

  bool isIndexed(std::size_t attribute) const { return indexes_[attribute].has_value(); }
  // Returns the objects whose indexed attribute `attribute` equals `text`, in no particular order, as a view
  // that stays valid until the registry next changes. Not owned. REQUIRES: isIndexed(attribute).
  std::span<ManagedObject* const> objectsWithText(std::size_t attribute, std::string_view text) const;
  // Moves `object` in the lookup table of `attribute` from `oldValue` to its current value.
  void attributeDidChange(ManagedObject& object, std::size_t attribute, const ns::Value& oldValue);

 private:
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
  };
  using TextIndex = std::unordered_map<std::string, std::vector<ManagedObject*>, TextHash, std::equal_to<>>;

  void addToIndex(std::size_t attribute, const ns::Value& value, ManagedObject* object);
  void removeFromIndex(std::size_t attribute, const ns::Value& value, const ManagedObject* object);

  struct Slot {
    std::int64_t primaryKey = 0;
    std::shared_ptr<ManagedObject> object;  // null once removed
  };

  std::vector<Slot>::const_iterator slotOf(std::int64_t primaryKey) const;
  void addToIndexes(ManagedObject* object);

  bool loaded_ = false;
  std::vector<Slot> slots_;  // ascending primary key
  std::size_t emptySlots_ = 0;
  std::vector<std::optional<TextIndex>> indexes_;  // by attribute index; only indexed attributes have one
};

}  // namespace cd
