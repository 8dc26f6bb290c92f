#pragma once

// The rows that move between a context and its store. Plain values; thread-safe as values.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/foundation/values/Value.h"

namespace cd {

// One row read from the store: an object's primary key, its attribute values in the entity's attribute
// order, and for each relationship in the entity's relationship order the primary key of the related row
// (std::nullopt for none, and always for to-many relationships, which the other side records).
struct StoreRow {
  std::int64_t primaryKey = 0;
  std::vector<ns::Value> attributes;
  std::vector<std::optional<std::int64_t>> relatedKeys;
};

// One row to write, as a view of an object's values that stays valid for the save.
struct StoreRowWrite {
  std::size_t entityIndex = 0;
  std::int64_t primaryKey = 0;
  std::span<const ns::Value> attributes;
  std::vector<std::optional<std::int64_t>> relatedKeys;
};

// Everything one save writes, in one transaction.
struct StoreChanges {
  std::vector<StoreRowWrite> inserted;
  std::vector<StoreRowWrite> updated;
  // Entity index and primary key of each row to delete.
  std::vector<std::pair<std::size_t, std::int64_t>> deleted;
};

}  // namespace cd
