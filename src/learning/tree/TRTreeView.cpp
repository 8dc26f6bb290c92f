#include "learning/tree/TRTreeView.h"

#include "app/store/ConsoleLog.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/tables/TableViewDataSource.h"
#include "platform/uikit/tables/TableViewDelegate.h"

namespace learning {

// The tree view's table side: every question of the table goes back to the tree view that owns it.
class TRTreeView::Rows : public uikit::TableViewDataSource, public uikit::TableViewDelegate {
 public:
  explicit Rows(TRTreeView& tree) : tree_(tree) {}

  std::int64_t numberOfRowsInSection(uikit::TableView&, std::int64_t) override {
    return static_cast<std::int64_t>(tree_.shownNodes().size());
  }
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView&,
                                                              const uikit::IndexPath& indexPath) override {
    return tree_.makeCell(indexPath.row);
  }
  bool canEditRowAtIndexPath(uikit::TableView&, const uikit::IndexPath& indexPath) override {
    return tree_.canEditRow(indexPath.row);
  }
  std::optional<double> heightForRowAtIndexPath(uikit::TableView&,
                                                const uikit::IndexPath& indexPath) override {
    return tree_.heightOfRow(indexPath.row);
  }
  void didSelectRowAtIndexPath(uikit::TableView&, const uikit::IndexPath& indexPath) override {
    tree_.tapRow(indexPath.row);
  }
  std::optional<std::vector<std::shared_ptr<uikit::TableViewRowAction>>> editActionsForRowAtIndexPath(
      uikit::TableView&, const uikit::IndexPath& indexPath) override {
    return tree_.swipeActionsOfRow(indexPath.row);
  }

 private:
  // The owner, which outlives its rows.
  TRTreeView& tree_;
};

TRTreeView::TRTreeView(uikit::Rect frame, uikit::TableViewStyle style)
    : uikit::TableView(frame, style), rows_(std::make_shared<Rows>(*this)) {
  setDataSource(rows_);
  setDelegate(rows_);
  setSeparatorStyle(uikit::TableViewCellSeparatorStyle::kNone);
}

TRTreeView::~TRTreeView() = default;

void TRTreeView::setNodeData(std::shared_ptr<TRTreeNodeData> root) {
  QM_DCHECK_MAIN_THREAD();
  nodeData_ = std::move(root);
  shownNodes_.clear();
  shownRevision_.reset();
  reloadData();
}

void TRTreeView::setTreeDelegate(std::weak_ptr<TRTreeViewDelegate> delegate) {
  QM_DCHECK_MAIN_THREAD();
  treeDelegate_ = std::move(delegate);
}

const std::vector<std::shared_ptr<TRTreeNodeData>>& TRTreeView::shownNodes() const {
  if (treeDelegate_.expired() || !nodeData_) {
    shownNodes_.clear();
    shownRevision_.reset();
  } else if (shownRevision_ != nodeData_->revision()) {
    shownNodes_ = nodeData_->nodeArray(false);
    shownRevision_ = nodeData_->revision();
  }
  return shownNodes_;
}

std::optional<std::int64_t> TRTreeView::rowOf(const TRTreeNodeData& node) const {
  const auto& nodes = shownNodes();
  for (std::size_t row = 0; row < nodes.size(); ++row) {
    if (nodes[row].get() == &node) {
      return static_cast<std::int64_t>(row);
    }
  }
  return std::nullopt;
}

std::shared_ptr<TRTreeNodeCell> TRTreeView::cellOfRow(std::int64_t row) {
  return std::static_pointer_cast<TRTreeNodeCell>(cellForRowAtIndexPath(uikit::IndexPath{0, row}));
}

std::shared_ptr<TRTreeNodeCell> TRTreeView::makeCell(std::int64_t row) {
  const auto delegate = treeDelegate_.lock();
  const auto& nodes = shownNodes();
  if (!delegate || row < 0 || row >= static_cast<std::int64_t>(nodes.size())) {
    return nullptr;
  }
  // A copy: the delegate may change the tree, and with it the list, while it makes the cell.
  const std::shared_ptr<TRTreeNodeData> node = nodes[static_cast<std::size_t>(row)];
  std::shared_ptr<TRTreeNodeCell> cell = delegate->treeCellForNodeData(*this, node);
  if (cell) {
    cell->setNodeData(node);
    // The first level lies under the root, which is not shown: it is the top of the screen's hierarchy.
    cell->setIndentationLevel(static_cast<std::int64_t>(node->level()) - 1);
  }
  return cell;
}

double TRTreeView::heightOfRow(std::int64_t row) {
  const auto delegate = treeDelegate_.lock();
  const auto& nodes = shownNodes();
  if (!delegate || row < 0 || row >= static_cast<std::int64_t>(nodes.size())) {
    return 0;
  }
  const std::shared_ptr<TRTreeNodeData> node = nodes[static_cast<std::size_t>(row)];
  return delegate->treeHeightForNodeData(*this, *node);
}

void TRTreeView::tapRow(std::int64_t row) {
  const auto& nodes = shownNodes();
  const auto delegate = treeDelegate_.lock();
  if (!delegate || row < 0 || row >= static_cast<std::int64_t>(nodes.size())) {
    return;
  }
  const std::shared_ptr<TRTreeNodeData> node = nodes[static_cast<std::size_t>(row)];
  delegate->treeDidSelectNodeCell(*this, *cellOfRow(row));
  // The delegate may have reloaded the rows, handing the cells out anew: go on with the cell that shows
  // the tapped node now.
  const std::optional<std::int64_t> rowNow = rowOf(*node);
  if (!rowNow) {
    return;
  }
  const std::shared_ptr<TRTreeNodeCell> cell = cellOfRow(*rowNow);
  const std::optional<bool> shouldExpand = delegate->treeShouldExpandAtSeletedNode(*this, *cell);
  if (!shouldExpand.value_or(!node->child().empty())) {
    return;
  }
  node->setExpand(!node->isExpand());
  expandNodeCell(*cell);
}

void TRTreeView::expandNodeCell(TRTreeNodeCell& cell) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<TRTreeNodeData> node = cell.nodeData();
  const std::optional<std::int64_t> row = node ? rowOf(*node) : std::nullopt;
  if (!row) {
    return;
  }
  const auto count = static_cast<std::int64_t>(node->nodeArray(false).size());
  std::vector<uikit::IndexPath> paths;
  for (std::int64_t below = 1; below <= count; ++below) {
    paths.push_back(uikit::IndexPath{0, *row + below});
  }
  if (node->isExpand()) {
    insertRowsAtIndexPaths(paths, uikit::TableViewRowAnimation::kBottom);
  } else {
    deleteRowsAtIndexPaths(paths, uikit::TableViewRowAnimation::kTop);
  }
  if (*row == 0) {
    cell.setNeedsDisplay();
  }
  if (const auto delegate = treeDelegate_.lock()) {
    delegate->treeDidExpandAtSeletedNode(*this, cell);
  }
}

bool TRTreeView::canEditRow(std::int64_t row) {
  const auto delegate = treeDelegate_.lock();
  const auto cell = cellOfRow(row);
  return delegate && cell && delegate->treeCanEditRowAtNodeCell(*this, *cell);
}

std::vector<std::shared_ptr<uikit::TableViewRowAction>> TRTreeView::swipeActionsOfRow(std::int64_t row) {
  std::weak_ptr<TRTreeView> weakSelf = std::static_pointer_cast<TRTreeView>(shared_from_this());
  auto action = std::make_shared<uikit::TableViewRowAction>(
      uikit::TableViewRowActionStyle::kDefault, kDeleteActionTitle,
      [weakSelf](uikit::TableViewRowAction&, const uikit::IndexPath& indexPath) {
        const auto self = weakSelf.lock();
        const auto delegate = self ? self->treeDelegate_.lock() : nullptr;
        const auto cell = self ? self->cellOfRow(indexPath.row) : nullptr;
        if (delegate && cell) {
          delegate->treeDidDeleteRowAtNodeCell(*self, *cell);
        }
        app::consoleLog(kDeleteLine);
      });
  // An opaque picture 150 points wide and three rows high, with the delete picture in its first 50 points
  // of the row's height: the action shows that picture rather than a title.
  const double rowHeight = heightOfRow(row);
  action->setBackgroundColor(uikit::Color::patternImage(std::make_shared<uikit::Image>(
      kDeleteImageName, uikit::Size{150, 3 * rowHeight}, uikit::Screen::mainScreen().scale())));
  return {action};
}

}  // namespace learning
