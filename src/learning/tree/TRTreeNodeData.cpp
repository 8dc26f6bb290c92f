#include "learning/tree/TRTreeNodeData.h"

#include <algorithm>

#include "platform/foundation/check/Check.h"

namespace learning {

TRTreeNodeData::TRTreeNodeData(std::shared_ptr<ns::Object> dataModel) : dataModel_(std::move(dataModel)) {}

void TRTreeNodeData::setLevel(std::size_t level) {
  QM_DCHECK_MAIN_THREAD();
  assignLevel(level);
  touch();
}

void TRTreeNodeData::assignLevel(std::size_t level) {
  level_ = level;
  for (const auto& node : child_) {
    node->assignLevel(level + 1);
  }
}

void TRTreeNodeData::touch() {
  ++revision_;
  for (auto up = parent(); up; up = up->parent()) {
    ++up->revision_;
  }
}

void TRTreeNodeData::setExpand(bool expand) {
  QM_DCHECK_MAIN_THREAD();
  expand_ = expand;
  touch();
  if (expand) {
    if (const auto up = parent()) {
      up->setExpand(true);
    }
  }
}

void TRTreeNodeData::setSelected(bool selected) {
  QM_DCHECK_MAIN_THREAD();
  setChildSelected(selected);
  setParentSelected(selected);
}

void TRTreeNodeData::setChildSelected(bool selected) {
  QM_DCHECK_MAIN_THREAD();
  selected_ = selected;
  for (const auto& node : child_) {
    node->setChildSelected(selected);
  }
}

void TRTreeNodeData::setParentSelected(bool selected) {
  QM_DCHECK_MAIN_THREAD();
  selected_ = selected;
  const auto up = parent();
  if (!up || up->selected_ == selected) {
    return;
  }
  const bool allSelected =
      std::all_of(up->child_.begin(), up->child_.end(), [](const auto& node) { return node->selected_; });
  up->setParentSelected(allSelected);
}

std::vector<std::shared_ptr<TRTreeNodeData>> TRTreeNodeData::selectedChildren() const {
  std::vector<std::shared_ptr<TRTreeNodeData>> found;
  collectSelected(found);
  return found;
}

void TRTreeNodeData::collectSelected(std::vector<std::shared_ptr<TRTreeNodeData>>& found) const {
  for (const auto& node : child_) {
    if (node->selected_) {
      found.push_back(node);
    }
    node->collectSelected(found);
  }
}

std::shared_ptr<TRTreeNodeData> TRTreeNodeData::nextNode() const {
  if (expand_ && !child_.empty()) {
    return child_.front();
  }
  if (auto next = brother()) {
    return next;
  }
  for (auto up = parent(); up; up = up->parent()) {
    if (auto next = up->brother()) {
      return next;
    }
  }
  return nullptr;
}

std::vector<std::shared_ptr<TRTreeNodeData>> TRTreeNodeData::nodeArray(bool includeSelf) {
  std::vector<std::shared_ptr<TRTreeNodeData>> nodes;
  std::shared_ptr<TRTreeNodeData> node;
  if (includeSelf) {
    node = self();
  } else if (!child_.empty()) {
    node = child_.front();
  }
  if (node) {
    nodes.push_back(node);
    for (node = node->nextNode(); node && node->level_ > level_; node = node->nextNode()) {
      nodes.push_back(node);
    }
  }
  return nodes;
}

std::size_t TRTreeNodeData::nodeCount() const {
  std::size_t count = 1;
  if (expand_) {
    for (const auto& node : child_) {
      count += node->nodeCount();
    }
  }
  return count;
}

void TRTreeNodeData::insertChild(const std::shared_ptr<TRTreeNodeData>& node) {
  insertChild(node, child_.size());
}

void TRTreeNodeData::insertChild(const std::shared_ptr<TRTreeNodeData>& node, std::size_t index) {
  QM_DCHECK_MAIN_THREAD();
  // An index past the end appends, so an empty list simply takes its first child.
  index = std::min(index, child_.size());
  node->assignLevel(level_ + 1);
  node->parent_ = self();
  node->brother_ = index < child_.size() ? child_[index] : nullptr;
  if (index > 0) {
    child_[index - 1]->brother_ = node;
  }
  child_.insert(child_.begin() + static_cast<std::ptrdiff_t>(index), node);
  touch();
}

bool TRTreeNodeData::removeChild(const std::shared_ptr<TRTreeNodeData>& node) {
  QM_DCHECK_MAIN_THREAD();
  const auto found = std::find(child_.begin(), child_.end(), node);
  if (found == child_.end()) {
    return false;
  }
  return removeChildAtIndexes(static_cast<std::size_t>(found - child_.begin()));
}

bool TRTreeNodeData::removeChildAtIndexes(std::size_t index) {
  QM_DCHECK_MAIN_THREAD();
  if (index >= child_.size()) {
    return false;
  }
  if (index > 0) {
    child_[index - 1]->brother_ = index + 1 < child_.size() ? child_[index + 1] : nullptr;
  }
  child_.erase(child_.begin() + static_cast<std::ptrdiff_t>(index));
  touch();
  return true;
}

void TRTreeNodeData::clear() {
  QM_DCHECK_MAIN_THREAD();
  child_.clear();
  touch();
}

std::shared_ptr<TRTreeNodeData> TRTreeNodeData::rootNode() {
  std::shared_ptr<TRTreeNodeData> node = self();
  while (auto up = node->parent()) {
    node = std::move(up);
  }
  return node;
}

}  // namespace learning
