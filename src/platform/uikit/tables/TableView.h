#pragma once

// uikit::TableView: a scrolling list of rows in sections, filled by its data source and steered by its
// delegate, the stand-in for the platform's table view.
//
// Loading: the table asks its data source for the sections and rows, and its delegate for every row's height,
// on reloadData(), or on first use (its rows, cells, layout or screen text) after it was made or given a data
// source. As a phone's table does, it asks for cells only for the rows that lie in its bounds (the part of
// its content on screen), so a list of thousands costs what its screenful costs: as the content scrolls or
// the table is resized, cells of rows that leave go back for reuse and rows that come get theirs.
// visibleCells() lists the rows on screen, and cellForRowAtIndexPath() gives nullptr for a row off screen;
// a person reaches those by scrolling.
//
// Updates: insertRowsAtIndexPaths() and deleteRowsAtIndexPaths() keep the other rows' cells and ask for cells
// of the new rows on screen only. Afterwards each section's row count must equal its count before, plus the
// rows inserted, minus the rows deleted, and the section count must not change; like an index out of range, a
// mismatch is a programming error, and the process aborts with a message naming the counts.
//
// Selection: one row at most. A finger's tap (tapRowAtIndexPath()) selects the row and tells the delegate;
// selecting in code tells nobody.
//
// Screen text: "table <id>:" and one line per row on screen, "  [row] text | text" ("[section.row]" when
// there are several sections), indented by two spaces per indentation level of the cell, the names of the
// bundle pictures the cell shows coming first as "(name) " (a check box's state, say), the selected row
// ending in " *"; when rows lie off screen, a line saying which are shown, as a scroll indicator does
// ("  (rows 6 to 9 of 20)", "  (none of 20 rows)"); the header's and footer's texts on lines of their own;
// then the lines of any other view put
// into the table. A switch in a row, whose state the row's text cannot say, adds its own line ("switch <id>:
// on").
//
// Thread-safety: main thread only, like every class of uikit.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/tables/IndexPath.h"
#include "platform/uikit/tables/TableViewCell.h"
#include "platform/uikit/tables/TableViewDataSource.h"
#include "platform/uikit/tables/TableViewDelegate.h"
#include "platform/uikit/views/ScrollView.h"

namespace uikit {

enum class TableViewStyle : int { kPlain = 0, kGrouped = 1 };
enum class TableViewCellSeparatorStyle : int { kNone = 0, kSingleLine = 1 };
enum class TableViewRowAnimation : int {
  kFade = 0,
  kRight = 1,
  kLeft = 2,
  kTop = 3,
  kBottom = 4,
  kNone = 5,
  kMiddle = 6,
  kAutomatic = 100
};

class TableView : public ScrollView {
 public:
  explicit TableView(Rect frame = {}, TableViewStyle style = TableViewStyle::kPlain);

  TableViewStyle style() const { return style_; }
  const std::weak_ptr<TableViewDataSource>& dataSource() const { return dataSource_; }
  // Held weakly; the rows load anew on next use.
  void setDataSource(std::weak_ptr<TableViewDataSource> dataSource);
  const std::weak_ptr<TableViewDelegate>& delegate() const { return delegate_; }
  // Held weakly; also becomes the scroll delegate.
  void setDelegate(std::weak_ptr<TableViewDelegate> delegate);

  double rowHeight() const { return rowHeight_; }
  void setRowHeight(double height) { rowHeight_ = height; }
  TableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
  void setSeparatorStyle(TableViewCellSeparatorStyle style) { separatorStyle_ = style; }
  bool allowsSelection() const { return allowsSelection_; }
  void setAllowsSelection(bool allows) { allowsSelection_ = allows; }
  // Views above the first row and below the last; nullptr for none. The table owns them while set.
  const std::shared_ptr<View>& tableHeaderView() const { return tableHeaderView_; }
  void setTableHeaderView(std::shared_ptr<View> view);
  const std::shared_ptr<View>& tableFooterView() const { return tableFooterView_; }
  void setTableFooterView(std::shared_ptr<View> view);

  // Asks the data source for everything again; cells on screen go back for reuse and selection is cleared.
  void reloadData();
  std::int64_t numberOfSections();
  // Returns 0 for a section that does not exist.
  std::int64_t numberOfRowsInSection(std::int64_t section);
  // Returns a cell that left the screen with `identifier`, ready for reuse (prepareForReuse() called), or
  // nullptr when there is none.
  std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);
  // Returns the row's cell, or nullptr for a row that does not exist or is off screen.
  std::shared_ptr<TableViewCell> cellForRowAtIndexPath(const IndexPath& indexPath);
  // Returns the row of a cell on screen, or std::nullopt.
  std::optional<IndexPath> indexPathForCell(const TableViewCell& cell);
  // The cells of the rows on screen, in order.
  std::vector<std::shared_ptr<TableViewCell>> visibleCells();
  // The row's rectangle in the table's content, or an empty rectangle for a row that does not exist.
  Rect rectForRowAtIndexPath(const IndexPath& indexPath);

  // As the header comment describes. REQUIRES: the data source already answers the new counts.
  void insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);
  void deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);

  // Selection in code; std::nullopt clears it. Tells nobody.
  void selectRowAtIndexPath(std::optional<IndexPath> indexPath, bool animated);
  void deselectRowAtIndexPath(const IndexPath& indexPath, bool animated);
  std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }

  // What a finger's tap on the row does: selects it (deselecting the former row, with the delegate told) and
  // tells the delegate. Nothing when selection is off or the row does not exist.
  void tapRowAtIndexPath(const IndexPath& indexPath);
  // The actions a swipe on the row reveals: none when the data source does not let the row be edited; else
  // the delegate's, or one "Delete" action that commits a delete to the data source.
  std::vector<std::shared_ptr<TableViewRowAction>> swipeActionsForRowAtIndexPath(const IndexPath& indexPath);
  // What a finger swiping the row and tapping its first action does: the cell shows the actions in a
  // TableViewCellDeleteConfirmationControl and passes to kTableViewCellStateShowingDeleteConfirmationMask,
  // the action runs, and the cell goes back to the default state. Returns false, doing nothing, when the
  // swipe reveals no action or the row is off screen.
  bool swipeRowAndTapFirstAction(const IndexPath& indexPath);

  void layoutSubviews() override;
  void renderInto(ScreenText& text) const override;

 protected:
  void contentOffsetDidChange() override;

 private:
  void loadIfNeeded();
  // Asks the data source for the cell of `indexPath`; aborts when it gives none.
  std::shared_ptr<TableViewCell> requestCell(const IndexPath& indexPath);
  // Takes `cell` off the table and keeps it for reuse.
  void enqueueForReuse(const std::shared_ptr<TableViewCell>& cell);
  // Applies one update, as the header comment describes.
  void applyUpdate(const std::vector<IndexPath>& deleted, const std::vector<IndexPath>& inserted);
  // Asks the heights anew, places the header and the footer, and shows the rows on screen.
  void placeRows();
  // Gives the rows on screen their cells, placed, and sends the cells of the rows that left for reuse.
  void showRowsOnScreen();
  bool rowExists(const IndexPath& indexPath) const;
  // "row", or "section.row" when there are several sections.
  std::string describeRow(const IndexPath& indexPath) const;
  std::string rowLabel(const IndexPath& indexPath) const;

  const TableViewStyle style_;
  std::weak_ptr<TableViewDataSource> dataSource_;
  std::weak_ptr<TableViewDelegate> delegate_;
  double rowHeight_ = 44;
  TableViewCellSeparatorStyle separatorStyle_ = TableViewCellSeparatorStyle::kSingleLine;
  bool allowsSelection_ = true;
  std::shared_ptr<View> tableHeaderView_;
  std::shared_ptr<View> tableFooterView_;
  bool loaded_ = false;
  // Every row's rectangle in the content, by section; the row counts are their sizes.
  std::vector<std::vector<Rect>> rowRects_;
  // The cells of the rows on screen, in row order.
  std::map<IndexPath, std::shared_ptr<TableViewCell>> cellsOnScreen_;
  // The bounds the cells on screen were chosen for.
  Rect tiledBounds_;
  std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> reusableCells_;
  std::optional<IndexPath> selected_;
};

}  // namespace uikit
