#include "platform/coredata/EntityDescription.h"

#include <algorithm>

namespace cd {

namespace {

template <typename Description>
std::optional<std::size_t> positionOf(const std::vector<Description>& descriptions, std::string_view name) {
  const auto found =
      std::find_if(descriptions.begin(), descriptions.end(),
                   [name](const Description& description) { return description.name == name; });
  if (found == descriptions.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(found - descriptions.begin());
}

}  // namespace

EntityDescription::EntityDescription(std::string name, Factory factory,
                                     std::vector<AttributeDescription> attributes,
                                     std::vector<RelationshipDescription> relationships)
    : name_(std::move(name)),
      factory_(std::move(factory)),
      attributes_(std::move(attributes)),
      relationships_(std::move(relationships)) {}

std::optional<std::size_t> EntityDescription::attributeIndex(std::string_view name) const {
  return positionOf(attributes_, name);
}

std::optional<std::size_t> EntityDescription::relationshipIndex(std::string_view name) const {
  return positionOf(relationships_, name);
}

}  // namespace cd
