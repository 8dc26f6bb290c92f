#pragma once

// Helpers for the tree tests: nodes wrapping a name, and the names of lists and brother chains.

#include <memory>
#include <string>
#include <vector>

#include "learning/tree/TRTreeNodeData.h"
#include "platform/foundation/values/Object.h"

namespace learning::testing {

// The model object the test trees wrap.
class Named : public ns::Object {
 public:
  explicit Named(std::string name) : name(std::move(name)) {}
  const std::string name;
};

inline std::shared_ptr<TRTreeNodeData> node(const std::string& name) {
  return std::make_shared<TRTreeNodeData>(std::make_shared<Named>(name));
}

inline std::string nameOf(const TRTreeNodeData& node) {
  return std::static_pointer_cast<Named>(node.dataModel())->name;
}

inline std::vector<std::string> namesOf(const std::vector<std::shared_ptr<TRTreeNodeData>>& nodes) {
  std::vector<std::string> names;
  for (const auto& node : nodes) {
    names.push_back(nameOf(*node));
  }
  return names;
}

// The names met from the first child along the brother links.
inline std::vector<std::string> brotherChain(const TRTreeNodeData& parent) {
  std::vector<std::string> names;
  for (auto node = parent.child().empty() ? nullptr : parent.child().front(); node; node = node->brother()) {
    names.push_back(nameOf(*node));
  }
  return names;
}

}  // namespace learning::testing
