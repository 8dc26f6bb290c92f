#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/tables/TableView.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

using ::testing::ElementsAre;

// A cell that records the editing states the table moves it through.
class RecordingCell : public TableViewCell {
 public:
  RecordingCell() : TableViewCell(TableViewCellStyle::kDefault, "row") {}
  void willTransitionToState(TableViewCellStateMask state) override { states.push_back(state); }
  std::vector<TableViewCellStateMask> states;
};

// A one-section list of texts that serves as data source and delegate.
class ListSource : public TableViewDataSource, public TableViewDelegate {
 public:
  std::int64_t numberOfRowsInSection(TableView&, std::int64_t) override {
    return static_cast<std::int64_t>(rows.size());
  }

  std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath& path) override {
    auto cell = table.dequeueReusableCellWithIdentifier("row");
    if (!cell) {
      cell = std::make_shared<RecordingCell>();
      ++cellsMade;
    }
    cell->textLabel().setText(rows[static_cast<std::size_t>(path.row)]);
    return cell;
  }

  std::optional<double> heightForRowAtIndexPath(TableView&, const IndexPath& path) override {
    return path.row == 0 ? std::optional<double>(60) : std::nullopt;
  }

  void didSelectRowAtIndexPath(TableView&, const IndexPath& path) override {
    events.push_back("select " + describe(path));
  }
  void didDeselectRowAtIndexPath(TableView&, const IndexPath& path) override {
    events.push_back("deselect " + describe(path));
  }

  bool canEditRowAtIndexPath(TableView&, const IndexPath&) override { return editable; }

  void commitEditingStyle(TableView& table, TableViewCellEditingStyle, const IndexPath& path) override {
    events.push_back("commit " + describe(path));
    rows.erase(rows.begin() + path.row);
    table.deleteRowsAtIndexPaths({path}, TableViewRowAnimation::kFade);
  }

  std::optional<std::vector<std::shared_ptr<TableViewRowAction>>> editActionsForRowAtIndexPath(
      TableView&, const IndexPath&) override {
    return customActions;
  }

  std::vector<std::string> rows{"A", "B", "C"};
  int cellsMade = 0;
  bool editable = false;
  std::vector<std::string> events;
  std::optional<std::vector<std::shared_ptr<TableViewRowAction>>> customActions;
};

class TableViewTest : public UikitTest {
 protected:
  TableViewTest() {
    table_->setAccessibilityIdentifier("list");
    table_->setDataSource(source_);
    table_->setDelegate(source_);
  }

  std::vector<std::string> shownRows() {
    std::vector<std::string> texts;
    for (const auto& cell : table_->visibleCells()) {
      texts.push_back(cell->textLabel().text());
    }
    return texts;
  }

  std::shared_ptr<ListSource> source_ = std::make_shared<ListSource>();
  std::shared_ptr<TableView> table_ = std::make_shared<TableView>(Rect(0, 0, 320, 480));
};

TEST_F(TableViewTest, LoadsEveryRowOnFirstUsePlacesThemByHeightAndReusesCellsOnReload) {
  EXPECT_EQ(table_->numberOfRowsInSection(0), 3);
  EXPECT_THAT(shownRows(), ElementsAre("A", "B", "C"));
  EXPECT_EQ(source_->cellsMade, 3);
  EXPECT_EQ(table_->rectForRowAtIndexPath(IndexPath{0, 0}), Rect(0, 0, 320, 60));
  EXPECT_EQ(table_->rectForRowAtIndexPath(IndexPath{0, 1}), Rect(0, 60, 320, 44));
  EXPECT_EQ(table_->contentSize().height, 60 + 44 + 44);
  EXPECT_EQ(table_->cellForRowAtIndexPath(IndexPath{0, 3}), nullptr);

  source_->rows = {"X", "Y"};
  table_->reloadData();
  EXPECT_THAT(shownRows(), ElementsAre("X", "Y"));
  EXPECT_EQ(source_->cellsMade, 3);
}

TEST_F(TableViewTest, UpdatesKeepTheOtherRowsCellsAndAskOnlyForNewRows) {
  const auto cellOfB = table_->cellForRowAtIndexPath(IndexPath{0, 1});

  source_->rows.insert(source_->rows.begin() + 1, "new");
  table_->insertRowsAtIndexPaths({IndexPath{0, 1}}, TableViewRowAnimation::kBottom);
  EXPECT_THAT(shownRows(), ElementsAre("A", "new", "B", "C"));
  EXPECT_EQ(table_->cellForRowAtIndexPath(IndexPath{0, 2}), cellOfB);
  EXPECT_EQ(source_->cellsMade, 4);

  source_->rows.erase(source_->rows.begin(), source_->rows.begin() + 2);
  table_->deleteRowsAtIndexPaths({IndexPath{0, 0}, IndexPath{0, 1}}, TableViewRowAnimation::kTop);
  EXPECT_THAT(shownRows(), ElementsAre("B", "C"));
  EXPECT_EQ(table_->cellForRowAtIndexPath(IndexPath{0, 0}), cellOfB);
  EXPECT_EQ(table_->rectForRowAtIndexPath(IndexPath{0, 0}).height(), 60);
}

TEST_F(TableViewTest, SelectionFollowsItsRowThroughUpdates) {
  table_->selectRowAtIndexPath(IndexPath{0, 2}, false);

  source_->rows.erase(source_->rows.begin());
  table_->deleteRowsAtIndexPaths({IndexPath{0, 0}}, TableViewRowAnimation::kFade);
  EXPECT_EQ(table_->indexPathForSelectedRow(), (IndexPath{0, 1}));

  source_->rows.erase(source_->rows.begin() + 1);
  table_->deleteRowsAtIndexPaths({IndexPath{0, 1}}, TableViewRowAnimation::kFade);
  EXPECT_EQ(table_->indexPathForSelectedRow(), std::nullopt);
}

using TableViewDeathTest = TableViewTest;

TEST_F(TableViewDeathTest, AnUpdateThatDoesNotAddUpAbortsWithTheCounts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  table_->visibleCells();
  EXPECT_DEATH(table_->insertRowsAtIndexPaths({IndexPath{0, 3}}, TableViewRowAnimation::kFade),
               "section 0 has 3 rows after the update, but had 3 before, with 1 inserted and 0 deleted");
  source_->rows.pop_back();
  EXPECT_DEATH(table_->deleteRowsAtIndexPaths({IndexPath{0, 3}}, TableViewRowAnimation::kFade),
               "attempt to delete row 0.3, which does not exist");
}

TEST_F(TableViewTest, AFingerTapSelectsTheRowAndTellsTheDelegateButCodeDoesNot) {
  table_->selectRowAtIndexPath(IndexPath{0, 0}, false);
  EXPECT_TRUE(source_->events.empty());
  EXPECT_TRUE(table_->cellForRowAtIndexPath(IndexPath{0, 0})->isSelected());

  table_->tapRowAtIndexPath(IndexPath{0, 1});

  EXPECT_THAT(source_->events, ElementsAre("deselect 0.0", "select 0.1"));
  EXPECT_EQ(table_->indexPathForSelectedRow(), (IndexPath{0, 1}));
  EXPECT_FALSE(table_->cellForRowAtIndexPath(IndexPath{0, 0})->isSelected());

  table_->setAllowsSelection(false);
  table_->tapRowAtIndexPath(IndexPath{0, 2});
  EXPECT_EQ(source_->events.size(), 2u);
}

TEST_F(TableViewTest, SwipeNeedsAnEditableRowAndTapsTheDefaultDeleteOrTheDelegatesFirstAction) {
  EXPECT_FALSE(table_->swipeRowAndTapFirstAction(IndexPath{0, 1}));
  EXPECT_TRUE(source_->events.empty());

  source_->editable = true;
  const auto cell = std::static_pointer_cast<RecordingCell>(table_->cellForRowAtIndexPath(IndexPath{0, 1}));
  ASSERT_EQ(table_->swipeActionsForRowAtIndexPath(IndexPath{0, 1}).front()->title(), "Delete");
  EXPECT_TRUE(table_->swipeRowAndTapFirstAction(IndexPath{0, 1}));

  EXPECT_THAT(source_->events, ElementsAre("commit 0.1"));
  EXPECT_THAT(shownRows(), ElementsAre("A", "C"));
  EXPECT_THAT(cell->states,
              ElementsAre(kTableViewCellStateShowingDeleteConfirmationMask, kTableViewCellStateDefaultMask));

  std::vector<IndexPath> handled;
  source_->customActions =
      std::vector<std::shared_ptr<TableViewRowAction>>{std::make_shared<TableViewRowAction>(
          TableViewRowActionStyle::kDefault, "   ",
          [&handled](TableViewRowAction&, const IndexPath& path) { handled.push_back(path); })};
  EXPECT_TRUE(table_->swipeRowAndTapFirstAction(IndexPath{0, 1}));
  EXPECT_THAT(handled, ElementsAre(IndexPath{0, 1}));
  EXPECT_THAT(source_->events, ElementsAre("commit 0.1"));
}

TEST_F(TableViewTest, ScreenTextListsRowsWithTheSelectionAndTheFooter) {
  auto footer = std::make_shared<Label>(Rect(0, 0, 320, 20));
  footer->setText("end");
  table_->setTableFooterView(footer);
  table_->selectRowAtIndexPath(IndexPath{0, 1}, false);

  ScreenText text;
  table_->renderInto(text);

  EXPECT_EQ(text.str(), "table list:\n  [0] A\n  [1] B *\n  [2] C\n  footer: end\n");
  EXPECT_EQ(footer->frame().minY(), 60 + 44 + 44);
}

}  // namespace
}  // namespace uikit::testing
