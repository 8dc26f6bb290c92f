#include "platform/uikit/controls/Switch.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/tables/TableView.h"
#include "sample_screens_test_util.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

// The sample list's table, loaded but not on screen.
class TableViewTest : public UikitTest {
 protected:
  std::vector<std::string> shownRows() {
    std::vector<std::string> texts;
    for (const auto& cell : table_->visibleCells()) {
      texts.push_back(cell->textLabel().text());
    }
    return texts;
  }

  std::shared_ptr<QMSampleListController> list_ = std::make_shared<QMSampleListController>();
  // Loading the screen's view makes the table and hands it its data source.
  std::shared_ptr<TableView> table_ = (list_->view(), list_->subjectTable);
};

TEST_F(TableViewTest, LoadsEveryRowOnFirstUsePlacesThemByHeightAndReusesCellsOnReload) {
  EXPECT_THAT(shownRows(), ElementsAre("数学", "英语", "政治"));
  EXPECT_EQ(list_->cellsMade, 3);
  EXPECT_EQ(table_->rectForRowAtIndexPath(IndexPath{0, 1}), Rect(0, 60, 375, 44));
  EXPECT_EQ(table_->contentSize().height, 60 + 44 + 44);
  EXPECT_EQ(table_->cellForRowAtIndexPath(IndexPath{0, 3}), nullptr);

  list_->subjects = {"X", "Y"};
  table_->reloadData();
  EXPECT_THAT(shownRows(), ElementsAre("X", "Y"));
  EXPECT_EQ(list_->cellsMade, 3);
}

TEST_F(TableViewTest, OnlyTheRowsOnScreenHaveCellsAndScrollingHandsTheCellsOn) {
  list_->subjects.clear();
  for (int row = 0; row < 1000; ++row) {
    list_->subjects.push_back("行" + std::to_string(row));
  }
  table_->reloadData();
  table_->selectRowAtIndexPath(IndexPath{0, 1}, false);
  // 603 points of table: the 60-point first row and 13 rows of 44 points, the last of them in part.
  EXPECT_EQ(table_->numberOfRowsInSection(0), 1000);
  EXPECT_EQ(table_->visibleCells().size(), 14u);
  EXPECT_EQ(table_->cellForRowAtIndexPath(IndexPath{0, 14}), nullptr);
  EXPECT_EQ(table_->contentSize().height, 60 + 999 * 44);
  EXPECT_EQ(table_->rectForRowAtIndexPath(IndexPath{0, 999}), Rect(0, 60 + 998 * 44, 375, 44));
  const int made = list_->cellsMade;

  // At the end, the last rows show in the cells the first rows gave back.
  table_->setContentOffset(Point{0, table_->contentSize().height - table_->frame().height()});
  EXPECT_EQ(shownRows().back(), "行999");
  EXPECT_EQ(table_->cellForRowAtIndexPath(IndexPath{0, 0}), nullptr);
  EXPECT_LE(list_->cellsMade, made + 1);
  ScreenText text;
  table_->renderInto(text);
  EXPECT_NE(text.str().find("  [999] 行999 | 3章节\n  (rows 986 to 999 of 1000)\n"), std::string::npos)
      << text.str();
  EXPECT_EQ(text.str().find("[0]"), std::string::npos) << text.str();

  // Back at the top, the selected row's new cell shows the selection; a shorter table shows fewer rows at
  // once.
  table_->setContentOffset(Point{0, 0});
  EXPECT_TRUE(table_->cellForRowAtIndexPath(IndexPath{0, 1})->isSelected());
  table_->setFrame(Rect(0, 64, 375, 104));
  EXPECT_THAT(shownRows(), ElementsAre("行0", "行1"));
}

TEST_F(TableViewTest, UpdatesKeepTheOtherRowsCellsAndAskOnlyForNewRows) {
  const auto cellOfEnglish = table_->cellForRowAtIndexPath(IndexPath{0, 1});
  list_->subjects.insert(list_->subjects.begin() + 1, "new");
  table_->insertRowsAtIndexPaths({IndexPath{0, 1}}, TableViewRowAnimation::kBottom);
  EXPECT_THAT(shownRows(), ElementsAre("数学", "new", "英语", "政治"));
  EXPECT_EQ(table_->cellForRowAtIndexPath(IndexPath{0, 2}), cellOfEnglish);
  EXPECT_EQ(list_->cellsMade, 4);

  list_->subjects.erase(list_->subjects.begin(), list_->subjects.begin() + 2);
  table_->deleteRowsAtIndexPaths({IndexPath{0, 0}, IndexPath{0, 1}}, TableViewRowAnimation::kTop);
  EXPECT_THAT(shownRows(), ElementsAre("英语", "政治"));
  EXPECT_EQ(table_->cellForRowAtIndexPath(IndexPath{0, 0}), cellOfEnglish);
  EXPECT_EQ(table_->rectForRowAtIndexPath(IndexPath{0, 0}).height(), 60);
}

using TableViewDeathTest = TableViewTest;

TEST_F(TableViewDeathTest, AnUpdateThatDoesNotAddUpAbortsWithTheCounts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  table_->visibleCells();
  EXPECT_DEATH(table_->insertRowsAtIndexPaths({IndexPath{0, 3}}, TableViewRowAnimation::kFade),
               "section 0 has 3 rows after the update, but had 3 before, with 1 inserted and 0 deleted");
  list_->subjects.pop_back();
  EXPECT_DEATH(table_->deleteRowsAtIndexPaths({IndexPath{0, 3}}, TableViewRowAnimation::kFade),
               "attempt to delete row 0.3, which does not exist");
}

TEST_F(TableViewTest, AFingerTapSelectsTheRowAndTellsTheDelegateButCodeDoesNot) {
  table_->selectRowAtIndexPath(IndexPath{0, 0}, false);
  EXPECT_TRUE(list_->events.empty());
  EXPECT_TRUE(table_->cellForRowAtIndexPath(IndexPath{0, 0})->isSelected());

  table_->tapRowAtIndexPath(IndexPath{0, 1});
  EXPECT_THAT(list_->events, ElementsAre("deselect 0.0", "select 0.1"));
  EXPECT_EQ(table_->indexPathForSelectedRow(), (IndexPath{0, 1}));
  EXPECT_FALSE(table_->cellForRowAtIndexPath(IndexPath{0, 0})->isSelected());

  table_->setAllowsSelection(false);
  table_->tapRowAtIndexPath(IndexPath{0, 2});
  EXPECT_EQ(list_->events.size(), 2u);
}

TEST_F(TableViewTest, SelectionFollowsItsRowThroughUpdates) {
  table_->selectRowAtIndexPath(IndexPath{0, 2}, false);
  list_->subjects.erase(list_->subjects.begin());
  table_->deleteRowsAtIndexPaths({IndexPath{0, 0}}, TableViewRowAnimation::kFade);
  EXPECT_EQ(table_->indexPathForSelectedRow(), (IndexPath{0, 1}));

  list_->subjects.erase(list_->subjects.begin() + 1);
  table_->deleteRowsAtIndexPaths({IndexPath{0, 1}}, TableViewRowAnimation::kFade);
  EXPECT_EQ(table_->indexPathForSelectedRow(), std::nullopt);
}

TEST_F(TableViewTest, SwipeNeedsAnEditableRowAndTapsTheDefaultDeleteOrTheDelegatesFirstAction) {
  list_->editable = false;
  EXPECT_FALSE(table_->swipeRowAndTapFirstAction(IndexPath{0, 1}));
  EXPECT_TRUE(list_->events.empty());

  list_->editable = true;
  const auto cell = std::static_pointer_cast<SubjectCell>(table_->cellForRowAtIndexPath(IndexPath{0, 1}));
  ASSERT_EQ(table_->swipeActionsForRowAtIndexPath(IndexPath{0, 1}).front()->title(), "Delete");
  EXPECT_TRUE(table_->swipeRowAndTapFirstAction(IndexPath{0, 1}));
  EXPECT_THAT(list_->events, ElementsAre("commit 0.1"));
  EXPECT_THAT(shownRows(), ElementsAre("数学", "政治"));
  EXPECT_THAT(cell->states,
              ElementsAre(kTableViewCellStateShowingDeleteConfirmationMask, kTableViewCellStateDefaultMask));
  EXPECT_THAT(cell->actionsShown, ElementsAre(true, false));

  std::vector<IndexPath> handled;
  list_->customActions = std::vector{std::make_shared<TableViewRowAction>(
      TableViewRowActionStyle::kDefault, "   ",
      [&handled](TableViewRowAction&, const IndexPath& path) { handled.push_back(path); })};
  EXPECT_TRUE(table_->swipeRowAndTapFirstAction(IndexPath{0, 1}));
  EXPECT_THAT(handled, ElementsAre(IndexPath{0, 1}));
  EXPECT_THAT(list_->events, ElementsAre("commit 0.1"));
}

TEST_F(TableViewTest, ScreenTextListsRowsWithTheSelectionAndTheFooter) {
  auto footer = std::make_shared<Label>(Rect(0, 0, 375, 20));
  footer->setText("end");
  table_->setTableFooterView(footer);
  table_->selectRowAtIndexPath(IndexPath{0, 1}, false);
  ScreenText text;
  table_->renderInto(text);
  EXPECT_EQ(
      text.str(),
      "table subjectTable:\n  [0] 数学 | 3章节\n  [1] 英语 | 3章节 *\n  [2] 政治 | 3章节\n  footer: end\n");
  EXPECT_EQ(footer->frame().minY(), 60 + 44 + 44);

  // A row's text cannot say whether a switch in it is on: the switch says so on its own line.
  auto rowSwitch = std::make_shared<Switch>();
  rowSwitch->setAccessibilityIdentifier("wifiPlaySwitch");
  rowSwitch->setOn(true);
  table_->cellForRowAtIndexPath(IndexPath{0, 2})->contentView().addSubview(rowSwitch);
  ScreenText withSwitch;
  table_->renderInto(withSwitch);
  EXPECT_EQ(
      withSwitch.str(),
      "switch wifiPlaySwitch: on\n"
      "table subjectTable:\n  [0] 数学 | 3章节\n  [1] 英语 | 3章节 *\n  [2] 政治 | 3章节\n  footer: end\n");
}

TEST_F(TableViewTest, ScreenTextIndentsARowByItsCellsIndentationLevelAndNamesItsShownPictures) {
  const auto english = table_->cellForRowAtIndexPath(IndexPath{0, 1});
  english->setIndentationLevel(2);
  english->imageView().setImage(Image::imageNamed("DL_select_on"));
  auto hidden = std::make_shared<ImageView>(Image::imageNamed("hidden_picture"));
  hidden->setHidden(true);
  english->contentView().addSubview(hidden);
  table_->cellForRowAtIndexPath(IndexPath{0, 2})
      ->imageView()
      .setImage(std::make_shared<Image>("", Size{10, 10}, 1));
  ScreenText text;
  table_->renderInto(text);
  EXPECT_EQ(text.str(),
            "table subjectTable:\n  [0] 数学 | 3章节\n  [1]     (DL_select_on) 英语 | 3章节\n"
            "  [2] 政治 | 3章节\n");
}

}  // namespace
}  // namespace uikit::testing
