#pragma once

// cd::AttributeDescription: one attribute of an entity, as the model declares it. Every attribute is
// optional: an object may hold no value (nil) for it. A plain value; thread-safe as a value.

#include <string>

namespace cd {

enum class AttributeType {
  kText,     // UTF-8 text
  kInteger,  // signed 64-bit integer
};

// Whether the context keeps an in-memory lookup table for equality fetches on the attribute. Only text
// attributes may be indexed; use it for the keys that create-or-update operations look objects up by.
enum class AttributeIndexing { kNotIndexed, kIndexed };

struct AttributeDescription {
  std::string name;
  AttributeType type = AttributeType::kText;
  AttributeIndexing indexing = AttributeIndexing::kNotIndexed;
};

}  // namespace cd
