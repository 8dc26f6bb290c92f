#include "platform/coredata/StoreColumns.h"

namespace cd {

std::vector<StoreColumn> storeColumnsOf(const EntityDescription& entity) {
  std::vector<StoreColumn> columns;
  for (std::size_t index = 0; index < entity.attributes().size(); ++index) {
    const AttributeDescription& attribute = entity.attributes()[index];
    columns.push_back(StoreColumn{attribute.name, attribute.type == AttributeType::kText ? "TEXT" : "INTEGER",
                                  StoreColumn::Source::kAttribute, index});
  }
  for (std::size_t index = 0; index < entity.relationships().size(); ++index) {
    const RelationshipDescription& relationship = entity.relationships()[index];
    if (relationship.cardinality == Cardinality::kToOne) {
      columns.push_back(StoreColumn{relationship.name, "INTEGER", StoreColumn::Source::kRelationship, index});
    }
  }
  return columns;
}

bool isReservedTableName(std::string_view name) {
  return name == kMetadataTable || name.starts_with("sqlite_");
}

std::string quotedIdentifier(std::string_view name) {
  std::string quoted = "\"";
  for (const char character : name) {
    quoted += character;
    if (character == '"') {
      quoted += '"';
    }
  }
  quoted += '"';
  return quoted;
}

}  // namespace cd
