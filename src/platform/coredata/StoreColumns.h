#pragma once

// How the SQLite store lays out an entity: one table named after the entity, with the primary key column,
// then one column per attribute (in attribute order) and one per to-one relationship (in relationship
// order, holding the primary key of the related row). To-many relationships have no column: the rows on
// the other side name their owner. Thread-safe: constants and pure functions.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/coredata/EntityDescription.h"

namespace cd {

// The primary key column of every entity table. Keys grow in the order objects were inserted.
inline constexpr std::string_view kPrimaryKeyColumn = "Z_PK";
// The table of the store's own facts, such as the name of the model that wrote it.
inline constexpr std::string_view kMetadataTable = "Z_METADATA";

struct StoreColumn {
  enum class Source { kAttribute, kRelationship };

  std::string_view name;
  // The declared SQL type: "TEXT" or "INTEGER".
  std::string_view sqlType;
  Source source = Source::kAttribute;
  // Position among the entity's attributes or relationships.
  std::size_t index = 0;
};

// Returns the columns of `entity`'s table after the primary key, in table order. The views point into the
// entity, which must outlive them.
std::vector<StoreColumn> storeColumnsOf(const EntityDescription& entity);

// True for names an entity table may not take: the metadata table and SQLite's own tables.
bool isReservedTableName(std::string_view name);

// Returns `name` as an SQL identifier in double quotes, inner quotes doubled.
std::string quotedIdentifier(std::string_view name);

}  // namespace cd
