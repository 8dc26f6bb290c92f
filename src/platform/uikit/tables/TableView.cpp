#include "platform/uikit/tables/TableView.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/foundation/check/Check.h"
#include "platform/uikit/controls/Switch.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/tables/TableViewCellDeleteConfirmationControl.h"
#include "platform/uikit/views/ImageView.h"

namespace uikit {
namespace {

[[noreturn]] void failUpdate(const std::string& message) {
  std::fprintf(stderr, "uikit: invalid table update: %s\n", message.c_str());
  std::abort();
}

std::string joined(const std::vector<std::string>& texts) {
  std::string line;
  for (const auto& text : texts) {
    if (!line.empty()) {
      line += " | ";
    }
    line += text;
  }
  return line;
}

// A row's text cannot say whether a switch in it is on, so each shown switch of the row adds its own line.
void renderSwitchesOf(const View& view, ScreenText& text) {
  for (const auto& subview : view.subviews()) {
    if (!subview->isShown()) {
      continue;
    }
    if (dynamic_cast<const Switch*>(subview.get()) != nullptr) {
      subview->renderInto(text);
    } else {
      renderSwitchesOf(*subview, text);
    }
  }
}

// The names of the bundle pictures shown in `view` and the views inside it, back to front, each as "(name)".
std::string shownPictures(const View& view) {
  if (!view.isShown()) {
    return {};
  }
  std::string pictures;
  const auto* imageView = dynamic_cast<const ImageView*>(&view);
  if (imageView != nullptr && imageView->image() && !imageView->image()->name().empty()) {
    pictures = "(" + imageView->image()->name() + ") ";
  }
  for (const auto& subview : view.subviews()) {
    pictures += shownPictures(*subview);
  }
  return pictures;
}

}  // namespace

TableView::TableView(Rect frame, TableViewStyle style) : ScrollView(frame), style_(style) {}

void TableView::setDataSource(std::weak_ptr<TableViewDataSource> dataSource) {
  QM_DCHECK_MAIN_THREAD();
  dataSource_ = std::move(dataSource);
  loaded_ = false;
  setNeedsLayout();
}

void TableView::setDelegate(std::weak_ptr<TableViewDelegate> delegate) {
  QM_DCHECK_MAIN_THREAD();
  delegate_ = delegate;
  setScrollDelegate(std::move(delegate));
  setNeedsLayout();
}

void TableView::setTableHeaderView(std::shared_ptr<View> view) {
  QM_DCHECK_MAIN_THREAD();
  if (tableHeaderView_) {
    tableHeaderView_->removeFromSuperview();
  }
  tableHeaderView_ = std::move(view);
  if (tableHeaderView_) {
    addSubview(tableHeaderView_);
  }
  setNeedsLayout();
}

void TableView::setTableFooterView(std::shared_ptr<View> view) {
  QM_DCHECK_MAIN_THREAD();
  if (tableFooterView_) {
    tableFooterView_->removeFromSuperview();
  }
  tableFooterView_ = std::move(view);
  if (tableFooterView_) {
    addSubview(tableFooterView_);
  }
  setNeedsLayout();
}

void TableView::loadIfNeeded() {
  if (!loaded_) {
    reloadData();
  } else if (bounds().size != tiledBounds_.size) {
    // Resized since the last layout pass (a list dropped down, say): what a person sees is the new size.
    placeRows();
  }
}

void TableView::reloadData() {
  QM_DCHECK_MAIN_THREAD();
  for (const auto& [path, cell] : cellsOnScreen_) {
    enqueueForReuse(cell);
  }
  cellsOnScreen_.clear();
  rowRects_.clear();
  selected_.reset();
  loaded_ = true;
  const auto dataSource = dataSource_.lock();
  const std::int64_t sectionCount = dataSource ? dataSource->numberOfSectionsInTableView(*this) : 0;
  for (std::int64_t section = 0; section < sectionCount; ++section) {
    const std::int64_t rowCount = dataSource->numberOfRowsInSection(*this, section);
    rowRects_.emplace_back(static_cast<std::size_t>(std::max<std::int64_t>(0, rowCount)));
  }
  placeRows();
}

std::shared_ptr<TableViewCell> TableView::requestCell(const IndexPath& indexPath) {
  const auto dataSource = dataSource_.lock();
  std::shared_ptr<TableViewCell> cell =
      dataSource ? dataSource->cellForRowAtIndexPath(*this, indexPath) : nullptr;
  if (!cell) {
    std::fprintf(stderr, "uikit: the data source of a table returned no cell for row %s\n",
                 describe(indexPath).c_str());
    std::abort();
  }
  addSubview(cell);
  return cell;
}

void TableView::enqueueForReuse(const std::shared_ptr<TableViewCell>& cell) {
  cell->removeFromSuperview();
  cell->setSelected(false, false);
  reusableCells_[cell->reuseIdentifier()].push_back(cell);
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(const std::string& identifier) {
  QM_DCHECK_MAIN_THREAD();
  auto found = reusableCells_.find(identifier);
  if (found == reusableCells_.end() || found->second.empty()) {
    return nullptr;
  }
  std::shared_ptr<TableViewCell> cell = std::move(found->second.back());
  found->second.pop_back();
  cell->prepareForReuse();
  return cell;
}

std::int64_t TableView::numberOfSections() {
  QM_DCHECK_MAIN_THREAD();
  loadIfNeeded();
  return static_cast<std::int64_t>(rowRects_.size());
}

std::int64_t TableView::numberOfRowsInSection(std::int64_t section) {
  QM_DCHECK_MAIN_THREAD();
  loadIfNeeded();
  if (section < 0 || section >= static_cast<std::int64_t>(rowRects_.size())) {
    return 0;
  }
  return static_cast<std::int64_t>(rowRects_[static_cast<std::size_t>(section)].size());
}

bool TableView::rowExists(const IndexPath& indexPath) const {
  return indexPath.section >= 0 && indexPath.section < static_cast<std::int64_t>(rowRects_.size()) &&
         indexPath.row >= 0 &&
         indexPath.row <
             static_cast<std::int64_t>(rowRects_[static_cast<std::size_t>(indexPath.section)].size());
}

std::shared_ptr<TableViewCell> TableView::cellForRowAtIndexPath(const IndexPath& indexPath) {
  QM_DCHECK_MAIN_THREAD();
  loadIfNeeded();
  const auto found = cellsOnScreen_.find(indexPath);
  return found != cellsOnScreen_.end() ? found->second : nullptr;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell& cell) {
  QM_DCHECK_MAIN_THREAD();
  loadIfNeeded();
  for (const auto& [path, shown] : cellsOnScreen_) {
    if (shown.get() == &cell) {
      return path;
    }
  }
  return std::nullopt;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells() {
  QM_DCHECK_MAIN_THREAD();
  loadIfNeeded();
  std::vector<std::shared_ptr<TableViewCell>> cells;
  cells.reserve(cellsOnScreen_.size());
  for (const auto& [path, cell] : cellsOnScreen_) {
    cells.push_back(cell);
  }
  return cells;
}

Rect TableView::rectForRowAtIndexPath(const IndexPath& indexPath) {
  QM_DCHECK_MAIN_THREAD();
  loadIfNeeded();
  if (!rowExists(indexPath)) {
    return Rect();
  }
  return rowRects_[static_cast<std::size_t>(indexPath.section)][static_cast<std::size_t>(indexPath.row)];
}

void TableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation) {
  QM_DCHECK_MAIN_THREAD();
  applyUpdate({}, indexPaths);
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation) {
  QM_DCHECK_MAIN_THREAD();
  applyUpdate(indexPaths, {});
}

namespace {

// Where the row at `path` lies once `sortedDeleted` rows went and then `sortedInserted` came, or std::nullopt
// when it is one of those deleted.
std::optional<IndexPath> movedByUpdate(IndexPath path, const std::vector<IndexPath>& sortedDeleted,
                                       const std::vector<IndexPath>& sortedInserted) {
  if (std::binary_search(sortedDeleted.begin(), sortedDeleted.end(), path)) {
    return std::nullopt;
  }
  IndexPath moved = path;
  for (const IndexPath& deleted : sortedDeleted) {
    moved.row -= deleted.section == path.section && deleted.row < path.row ? 1 : 0;
  }
  for (const IndexPath& inserted : sortedInserted) {
    moved.row += inserted.section == moved.section && inserted.row <= moved.row ? 1 : 0;
  }
  return moved;
}

}  // namespace

void TableView::applyUpdate(const std::vector<IndexPath>& deleted, const std::vector<IndexPath>& inserted) {
  if (!loaded_) {
    // Nothing was shown yet, so there is nothing to move: the new counts simply load.
    reloadData();
    return;
  }
  const auto dataSource = dataSource_.lock();
  const std::int64_t sectionCount = static_cast<std::int64_t>(rowRects_.size());
  const std::int64_t newSectionCount = dataSource ? dataSource->numberOfSectionsInTableView(*this) : 0;
  if (newSectionCount != sectionCount) {
    failUpdate("the number of sections changed from " + std::to_string(sectionCount) + " to " +
               std::to_string(newSectionCount) + " without sections being inserted or deleted");
  }
  std::vector<IndexPath> sortedDeleted = deleted;
  std::vector<IndexPath> sortedInserted = inserted;
  std::sort(sortedDeleted.begin(), sortedDeleted.end());
  std::sort(sortedInserted.begin(), sortedInserted.end());
  for (const IndexPath& path : sortedDeleted) {
    if (!rowExists(path)) {
      failUpdate("attempt to delete row " + describe(path) + ", which does not exist before the update");
    }
  }
  std::vector<std::size_t> newCounts;
  for (std::int64_t section = 0; section < sectionCount; ++section) {
    auto inSection = [section](const IndexPath& path) { return path.section == section; };
    const auto deletedCount = std::count_if(sortedDeleted.begin(), sortedDeleted.end(), inSection);
    const auto insertedCount = std::count_if(sortedInserted.begin(), sortedInserted.end(), inSection);
    const auto before = static_cast<std::int64_t>(rowRects_[static_cast<std::size_t>(section)].size());
    const std::int64_t after = dataSource->numberOfRowsInSection(*this, section);
    if (after != before + insertedCount - deletedCount) {
      failUpdate("section " + std::to_string(section) + " has " + std::to_string(after) +
                 " rows after the update, but had " + std::to_string(before) + " before, with " +
                 std::to_string(insertedCount) + " inserted and " + std::to_string(deletedCount) +
                 " deleted");
    }
    newCounts.push_back(static_cast<std::size_t>(after));
  }
  for (const IndexPath& path : sortedInserted) {
    if (path.section < 0 || path.section >= sectionCount || path.row < 0 ||
        path.row >= static_cast<std::int64_t>(newCounts[static_cast<std::size_t>(path.section)])) {
      failUpdate("attempt to insert row " + describe(path) + " beyond the end of its section");
    }
  }
  // The cells on screen follow their rows; those of deleted rows go back for reuse.
  std::map<IndexPath, std::shared_ptr<TableViewCell>> moved;
  for (auto& [path, cell] : cellsOnScreen_) {
    if (const std::optional<IndexPath> to = movedByUpdate(path, sortedDeleted, sortedInserted)) {
      moved.emplace(*to, std::move(cell));
    } else {
      enqueueForReuse(cell);
    }
  }
  cellsOnScreen_ = std::move(moved);
  if (selected_) {
    selected_ = movedByUpdate(*selected_, sortedDeleted, sortedInserted);
  }
  for (std::size_t section = 0; section < newCounts.size(); ++section) {
    rowRects_[section].resize(newCounts[section]);
  }
  placeRows();
}

void TableView::selectRowAtIndexPath(std::optional<IndexPath> indexPath, bool animated) {
  QM_DCHECK_MAIN_THREAD();
  loadIfNeeded();
  if (selected_) {
    if (auto cell = cellForRowAtIndexPath(*selected_)) {
      cell->setSelected(false, animated);
    }
  }
  selected_ = indexPath && rowExists(*indexPath) ? indexPath : std::nullopt;
  if (selected_) {
    if (auto cell = cellForRowAtIndexPath(*selected_)) {
      cell->setSelected(true, animated);
    }
  }
}

void TableView::deselectRowAtIndexPath(const IndexPath& indexPath, bool animated) {
  QM_DCHECK_MAIN_THREAD();
  if (selected_ == indexPath) {
    selectRowAtIndexPath(std::nullopt, animated);
  }
}

void TableView::tapRowAtIndexPath(const IndexPath& indexPath) {
  QM_DCHECK_MAIN_THREAD();
  loadIfNeeded();
  if (!allowsSelection_ || !rowExists(indexPath)) {
    return;
  }
  const std::optional<IndexPath> former = selected_;
  selectRowAtIndexPath(indexPath, false);
  const auto delegate = delegate_.lock();
  if (!delegate) {
    return;
  }
  if (former && *former != indexPath) {
    delegate->didDeselectRowAtIndexPath(*this, *former);
  }
  delegate->didSelectRowAtIndexPath(*this, indexPath);
}

std::vector<std::shared_ptr<TableViewRowAction>> TableView::swipeActionsForRowAtIndexPath(
    const IndexPath& indexPath) {
  QM_DCHECK_MAIN_THREAD();
  loadIfNeeded();
  const auto dataSource = dataSource_.lock();
  if (!dataSource || !rowExists(indexPath) || !dataSource->canEditRowAtIndexPath(*this, indexPath)) {
    return {};
  }
  if (auto delegate = delegate_.lock()) {
    if (auto actions = delegate->editActionsForRowAtIndexPath(*this, indexPath)) {
      return *actions;
    }
  }
  std::weak_ptr<TableView> weakSelf = std::static_pointer_cast<TableView>(shared_from_this());
  return {std::make_shared<TableViewRowAction>(
      TableViewRowActionStyle::kDefault, "Delete", [weakSelf](TableViewRowAction&, const IndexPath& path) {
        auto self = weakSelf.lock();
        auto source = self ? self->dataSource_.lock() : nullptr;
        if (source) {
          source->commitEditingStyle(*self, TableViewCellEditingStyle::kDelete, path);
        }
      })};
}

bool TableView::swipeRowAndTapFirstAction(const IndexPath& indexPath) {
  QM_DCHECK_MAIN_THREAD();
  // The cell is kept alive through the handler, which may delete its row.
  const std::shared_ptr<TableViewCell> cell = cellForRowAtIndexPath(indexPath);
  if (!cell) {
    return false;
  }
  const auto actions = swipeActionsForRowAtIndexPath(indexPath);
  if (actions.empty()) {
    return false;
  }
  const auto confirmation = std::make_shared<TableViewCellDeleteConfirmationControl>(actions);
  cell->addSubview(confirmation);
  cell->willTransitionToState(kTableViewCellStateShowingDeleteConfirmationMask);
  actions.front()->perform(indexPath);
  confirmation->removeFromSuperview();
  cell->willTransitionToState(kTableViewCellStateDefaultMask);
  return true;
}

void TableView::placeRows() {
  const double width = bounds().width();
  double y = 0;
  if (tableHeaderView_) {
    tableHeaderView_->setFrame(Rect(0, 0, width, tableHeaderView_->frame().height()));
    y = tableHeaderView_->frame().height();
  }
  const auto delegate = delegate_.lock();
  for (std::size_t section = 0; section < rowRects_.size(); ++section) {
    for (std::size_t row = 0; row < rowRects_[section].size(); ++row) {
      const IndexPath path{static_cast<std::int64_t>(section), static_cast<std::int64_t>(row)};
      const std::optional<double> asked =
          delegate ? delegate->heightForRowAtIndexPath(*this, path) : std::nullopt;
      rowRects_[section][row] = Rect(0, y, width, asked.value_or(rowHeight_));
      y = rowRects_[section][row].maxY();
    }
  }
  if (tableFooterView_) {
    tableFooterView_->setFrame(Rect(0, y, width, tableFooterView_->frame().height()));
    y += tableFooterView_->frame().height();
  }
  setContentSize(Size{width, y});
  showRowsOnScreen();
}

void TableView::showRowsOnScreen() {
  const Rect screen = bounds();
  tiledBounds_ = screen;
  const auto onScreen = [&screen](const Rect& rect) {
    return rect.maxY() > screen.minY() && rect.minY() < screen.maxY();
  };
  // Rows that left go first, so that the rows that come can reuse their cells.
  for (auto entry = cellsOnScreen_.begin(); entry != cellsOnScreen_.end();) {
    const IndexPath& path = entry->first;
    if (rowExists(path) &&
        onScreen(rowRects_[static_cast<std::size_t>(path.section)][static_cast<std::size_t>(path.row)])) {
      ++entry;
    } else {
      enqueueForReuse(entry->second);
      entry = cellsOnScreen_.erase(entry);
    }
  }
  for (std::size_t section = 0; section < rowRects_.size(); ++section) {
    const std::vector<Rect>& rects = rowRects_[section];
    // Rows lie one below the other: the first on screen is the first that ends below the screen's top.
    auto first = std::partition_point(rects.begin(), rects.end(),
                                      [&screen](const Rect& rect) { return rect.maxY() <= screen.minY(); });
    for (auto rect = first; rect != rects.end() && rect->minY() < screen.maxY(); ++rect) {
      const IndexPath path{static_cast<std::int64_t>(section), rect - rects.begin()};
      auto shown = cellsOnScreen_.find(path);
      if (shown == cellsOnScreen_.end()) {
        std::shared_ptr<TableViewCell> cell = requestCell(path);
        cell->setSelected(selected_ == path, false);
        shown = cellsOnScreen_.emplace(path, std::move(cell)).first;
      }
      shown->second->setFrame(*rect);
    }
  }
}

void TableView::contentOffsetDidChange() {
  if (loaded_) {
    showRowsOnScreen();
  }
}

void TableView::layoutSubviews() {
  loadIfNeeded();
  placeRows();
}

std::string TableView::describeRow(const IndexPath& indexPath) const {
  return rowRects_.size() > 1 ? describe(indexPath) : std::to_string(indexPath.row);
}

std::string TableView::rowLabel(const IndexPath& indexPath) const {
  return "[" + describeRow(indexPath) + "]";
}

void TableView::renderInto(ScreenText& text) const {
  text.addLine(ScreenText::Section::kTable, "table", *this, loaded_ ? "" : "(not loaded)");
  if (tableHeaderView_ && !tableHeaderView_->shownTexts().empty()) {
    text.addRawLine(ScreenText::Section::kTable, "  header: " + joined(tableHeaderView_->shownTexts()));
  }
  for (const auto& [path, shownCell] : cellsOnScreen_) {
    const TableViewCell& cell = *shownCell;
    if (!cell.isShown()) {
      continue;
    }
    const std::string indentation(
        static_cast<std::size_t>(std::max<std::int64_t>(0, cell.indentationLevel())) * 2, ' ');
    std::string line =
        "  " + rowLabel(path) + " " + indentation + shownPictures(cell) + joined(cell.shownTexts());
    if (selected_ == path) {
      line += " *";
    }
    text.addRawLine(ScreenText::Section::kTable, std::move(line));
    renderSwitchesOf(cell, text);
  }
  std::size_t rowCount = 0;
  for (const std::vector<Rect>& rects : rowRects_) {
    rowCount += rects.size();
  }
  if (cellsOnScreen_.size() < rowCount) {
    const std::string total = std::to_string(rowCount);
    text.addRawLine(ScreenText::Section::kTable,
                    cellsOnScreen_.empty()
                        ? "  (none of " + total + " rows)"
                        : "  (rows " + describeRow(cellsOnScreen_.begin()->first) + " to " +
                              describeRow(cellsOnScreen_.rbegin()->first) + " of " + total + ")");
  }
  if (tableFooterView_ && !tableFooterView_->shownTexts().empty()) {
    text.addRawLine(ScreenText::Section::kTable, "  footer: " + joined(tableFooterView_->shownTexts()));
  }
  // Other views a screen put into the table (a refresh header, say) speak for themselves.
  for (const auto& subview : subviews()) {
    const bool partOfTheList = dynamic_cast<const TableViewCell*>(subview.get()) != nullptr ||
                               subview == tableHeaderView_ || subview == tableFooterView_;
    if (!partOfTheList && subview->isShown()) {
      subview->renderInto(text);
    }
  }
}

}  // namespace uikit
