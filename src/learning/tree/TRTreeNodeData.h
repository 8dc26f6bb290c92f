#pragma once

// TRTreeNodeData: one node of an expandable tree (subject, stage, chapter, unit, lesson) as the tree views
// show it. It wraps any model object and knows its level, its parent, its next sibling (`brother`) and its
// children in display order, whether it is open (`expand`) and whether it is ticked (`selected`).
//
// Ownership: a parent owns its children (std::shared_ptr); `parent` and `brother` are weak, so releasing a
// root releases the whole tree. Insertion and removal keep the links: every child's parent is this node,
// each child's brother is the next child, and the last child's brother is empty.
//
// Thread-safety: main thread only, like the views that show it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/foundation/values/Object.h"

namespace learning {

class TRTreeNodeData : public ns::Object {
 public:
  // A closed node at level 0, without parent, brother or data.
  TRTreeNodeData() = default;
  // The same, wrapping `dataModel`.
  explicit TRTreeNodeData(std::shared_ptr<ns::Object> dataModel);

  // Depth: 0 for a new node, the parent's level + 1 once inserted.
  std::size_t level() const { return level_; }
  // Sets the level and gives every descendant its parent's level + 1.
  void setLevel(std::size_t level);

  // The children in display order. The vector is the node's own list: change it through insertChild() and
  // removeChild() so that the links stay right.
  const std::vector<std::shared_ptr<TRTreeNodeData>>& child() const { return child_; }
  // The parent, or nullptr for a root (or once the parent is released).
  std::shared_ptr<TRTreeNodeData> parent() const { return parent_.lock(); }
  // The next sibling, or nullptr for the last child.
  std::shared_ptr<TRTreeNodeData> brother() const { return brother_.lock(); }

  const std::shared_ptr<ns::Object>& dataModel() const { return dataModel_; }
  void setDataModel(std::shared_ptr<ns::Object> dataModel) { dataModel_ = std::move(dataModel); }

  bool isExpand() const { return expand_; }
  // Opening a node opens its ancestors too; closing closes this node only.
  void setExpand(bool expand);

  bool isSelected() const { return selected_; }
  // Ticks or unticks the node with all its descendants, then brings its ancestors in step
  // (setParentSelected()).
  void setSelected(bool selected);
  // Sets the node and all its descendants.
  void setChildSelected(bool selected);
  // Sets this node; then, while the flag of the parent differs, the parent becomes ticked exactly when all
  // its children are, and the rule climbs to the root.
  void setParentSelected(bool selected);
  // The ticked descendants in pre-order (a ticked child, its ticked descendants, then the next child); an
  // empty list for a node without children.
  std::vector<std::shared_ptr<TRTreeNodeData>> selectedChildren() const;

  // The next node in display order: the first child of an open node with children; else the first brother
  // found from this node upward; nullptr when there is none.
  std::shared_ptr<TRTreeNodeData> nextNode() const;
  // The visible subtree in display order. With `includeSelf` the node itself comes first, then the nodes
  // that follow it while they lie deeper than it. Without it, the node's first level is listed even when
  // the node is closed (a tree view shows its root's list this way), with every open descendant's children.
  std::vector<std::shared_ptr<TRTreeNodeData>> nodeArray(bool includeSelf);
  // 1 for a closed node; 1 + the children's counts for an open one.
  std::size_t nodeCount() const;

  // Appends `node` as the last child: it takes this node as parent and the level below this node's.
  // REQUIRES: node is not nullptr, and this node is held by a std::shared_ptr.
  void insertChild(const std::shared_ptr<TRTreeNodeData>& node);
  // Inserts `node` before the child at `index`; an index at or past the end appends.
  // REQUIRES: as insertChild(node).
  void insertChild(const std::shared_ptr<TRTreeNodeData>& node, std::size_t index);
  // Removes the first child that is `node`. Returns true when one was removed, false when `node` is not a
  // child. The removed node keeps its own links.
  bool removeChild(const std::shared_ptr<TRTreeNodeData>& node);
  // Removes the child at `index`, linking its neighbours. Returns false, changing nothing, when the index
  // is not below the child count.
  bool removeChildAtIndexes(std::size_t index);
  // The top of the tree: this node when it has no parent. REQUIRES: this node is held by a std::shared_ptr.
  std::shared_ptr<TRTreeNodeData> rootNode();
  // Removes every child, without touching their links.
  void clear();

  // A number that changes whenever what nodeArray() or nodeCount() return for this node may have changed:
  // a node at or below it opened, closed, inserted, removed or moved to another level. Views keep their
  // visible-node lists while it stays the same.
  std::uint64_t revision() const { return revision_; }

 private:
  std::shared_ptr<TRTreeNodeData> self() {
    return std::static_pointer_cast<TRTreeNodeData>(shared_from_this());
  }
  void collectSelected(std::vector<std::shared_ptr<TRTreeNodeData>>& found) const;
  void assignLevel(std::size_t level);
  // Marks this node and every ancestor as changed.
  void touch();

  std::size_t level_ = 0;
  std::vector<std::shared_ptr<TRTreeNodeData>> child_;
  std::weak_ptr<TRTreeNodeData> parent_;
  std::weak_ptr<TRTreeNodeData> brother_;
  std::shared_ptr<ns::Object> dataModel_;
  bool expand_ = false;
  bool selected_ = false;
  std::uint64_t revision_ = 0;
};

}  // namespace learning
