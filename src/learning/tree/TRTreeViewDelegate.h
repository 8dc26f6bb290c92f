#pragma once

// TRTreeViewDelegate: what a tree view asks its owner for and tells it. The height and the cell of a node are
// required; the rest is optional, with the answers of an owner that does not implement them: expansion
// decided by whether the node has children, nothing told, rows not editable. Every callback takes the tree
// view first. Held weakly by the tree view; called on the main thread.

#include <memory>
#include <optional>

namespace learning {

class TRTreeNodeCell;
class TRTreeNodeData;
class TRTreeView;

class TRTreeViewDelegate {
 public:
  virtual ~TRTreeViewDelegate() = default;

  // The height of `node`'s row, in points.
  virtual double treeHeightForNodeData(TRTreeView& tree, TRTreeNodeData& node) = 0;
  // The cell that shows `node`, usually one dequeued from `tree`. The tree view then sets its node.
  // REQUIRES: not nullptr.
  virtual std::shared_ptr<TRTreeNodeCell> treeCellForNodeData(
      TRTreeView& tree, const std::shared_ptr<TRTreeNodeData>& node) = 0;
  // Whether a tap on `cell` opens or closes its node; std::nullopt (not implemented) lets only nodes with
  // children open.
  virtual std::optional<bool> treeShouldExpandAtSeletedNode(TRTreeView& /*tree*/, TRTreeNodeCell& /*cell*/) {
    return std::nullopt;
  }
  // `cell`'s node has just opened or closed, its rows inserted or deleted.
  virtual void treeDidExpandAtSeletedNode(TRTreeView& /*tree*/, TRTreeNodeCell& /*cell*/) {}
  // A finger tapped `cell`'s row (before its node opens or closes).
  virtual void treeDidSelectNodeCell(TRTreeView& /*tree*/, TRTreeNodeCell& /*cell*/) {}
  // Whether a swipe on `cell`'s row reveals the delete action.
  virtual bool treeCanEditRowAtNodeCell(TRTreeView& /*tree*/, TRTreeNodeCell& /*cell*/) { return false; }
  // The delete action of `cell`'s row was tapped. The tree does not remove the node: the owner does.
  virtual void treeDidDeleteRowAtNodeCell(TRTreeView& /*tree*/, TRTreeNodeCell& /*cell*/) {}
};

}  // namespace learning
