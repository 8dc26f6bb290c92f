#pragma once

// TRTreeView: a table of one section whose rows are the visible nodes below a root node that is not shown
// itself (the root's nodeArray(false)): its first level always, and the children of every open node. It is
// its own data source and delegate and asks its tree delegate for heights, cells and decisions.
//
// A tap on a row tells the delegate first, then opens or closes the node (when the delegate lets it, or, if
// it does not say, when the node has children) and inserts or deletes the rows below it. A swipe on a row
// the delegate lets be edited reveals one delete action; tapping it tells the delegate, which removes the
// node itself. Without a tree delegate the table has no rows. Row separators are off.
//
// Thread-safety: main thread only, like every view.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "learning/tree/TRTreeNodeCell.h"
#include "learning/tree/TRTreeNodeData.h"
#include "learning/tree/TRTreeViewDelegate.h"
#include "platform/uikit/tables/TableView.h"

namespace learning {

class TRTreeView : public uikit::TableView {
 public:
  // The title of the swipe action (three blanks: the action shows its picture only), and the console line
  // its tap writes.
  static constexpr char kDeleteActionTitle[] = "   ";
  static constexpr char kDeleteLine[] = "删除，删除";
  // The bundle picture drawn at the start of the swipe action's background.
  static constexpr char kDeleteImageName[] = "DL_delete";

  explicit TRTreeView(uikit::Rect frame = {}, uikit::TableViewStyle style = uikit::TableViewStyle::kPlain);
  ~TRTreeView() override;

  // The root (not shown), or nullptr.
  const std::shared_ptr<TRTreeNodeData>& nodeData() const { return nodeData_; }
  // Holds `root` and reloads every row.
  void setNodeData(std::shared_ptr<TRTreeNodeData> root);
  const std::weak_ptr<TRTreeViewDelegate>& treeDelegate() const { return treeDelegate_; }
  // Held weakly.
  void setTreeDelegate(std::weak_ptr<TRTreeViewDelegate> delegate);

  // Inserts (the node is open) or deletes (it is closed) the rows of the node `cell` shows, below its row,
  // then tells the delegate. Call it right after the node opened or closed. Does nothing for a cell whose
  // node is not on screen.
  void expandNodeCell(TRTreeNodeCell& cell);

 private:
  // The table's data source and delegate, owned by the tree view; the table holds it weakly.
  class Rows;
  friend class Rows;

  // The rows, in order: the root's visible list, or nothing without a delegate or a root. The list is kept
  // until the root's revision moves, so the table's questions about each row cost no rebuild. The reference
  // is good until the next call: copy a node before calling out.
  const std::vector<std::shared_ptr<TRTreeNodeData>>& shownNodes() const;
  std::optional<std::int64_t> rowOf(const TRTreeNodeData& node) const;
  std::shared_ptr<TRTreeNodeCell> cellOfRow(std::int64_t row);
  std::shared_ptr<TRTreeNodeCell> makeCell(std::int64_t row);
  double heightOfRow(std::int64_t row);
  void tapRow(std::int64_t row);
  bool canEditRow(std::int64_t row);
  std::vector<std::shared_ptr<uikit::TableViewRowAction>> swipeActionsOfRow(std::int64_t row);

  std::shared_ptr<Rows> rows_;
  std::shared_ptr<TRTreeNodeData> nodeData_;
  std::weak_ptr<TRTreeViewDelegate> treeDelegate_;
  // The root's visible list and the root revision it was built at; empty, with no revision, while there is
  // nothing to show and after a new root.
  mutable std::vector<std::shared_ptr<TRTreeNodeData>> shownNodes_;
  mutable std::optional<std::uint64_t> shownRevision_;
};

}  // namespace learning
