#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/store/ConsoleLog.h"
#include "learning/tree/TRTreeNodeCell.h"
#include "learning/tree/TRTreeView.h"
#include "learning/tree/TRTreeViewDelegate.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/tables/TableViewCellDeleteConfirmationControl.h"
#include "support/process_reset.h"
#include "tree_test_util.h"

namespace learning::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A tree row showing its node's name.
class NameCell : public TRTreeNodeCell {
 public:
  NameCell() : TRTreeNodeCell("NameCell") {}
  void setNodeData(const std::shared_ptr<TRTreeNodeData>& node) override {
    TRTreeNodeCell::setNodeData(node);
    textLabel().setText(nameOf(*node));
  }
};

// Answers rows 50 high (the first 30), writes what the tree tells it into `events` with the node's name, and
// answers the optional questions only when asked to.
class RecordingTreeDelegate : public TRTreeViewDelegate {
 public:
  double treeHeightForNodeData(TRTreeView&, TRTreeNodeData& node) override {
    return nameOf(node) == "ch1" ? 30 : 50;
  }
  std::shared_ptr<TRTreeNodeCell> treeCellForNodeData(TRTreeView& tree,
                                                      const std::shared_ptr<TRTreeNodeData>&) override {
    if (nextCell) {
      return std::exchange(nextCell, nullptr);
    }
    auto cell = std::static_pointer_cast<TRTreeNodeCell>(tree.dequeueReusableCellWithIdentifier("NameCell"));
    return cell ? cell : std::make_shared<NameCell>();
  }
  std::optional<bool> treeShouldExpandAtSeletedNode(TRTreeView&, TRTreeNodeCell& cell) override {
    events.push_back("should expand " + nameOf(*cell.nodeData()));
    return shouldExpand;
  }
  void treeDidExpandAtSeletedNode(TRTreeView&, TRTreeNodeCell& cell) override {
    events.push_back("did expand " + nameOf(*cell.nodeData()));
  }
  void treeDidSelectNodeCell(TRTreeView& tree, TRTreeNodeCell& cell) override {
    events.push_back("select " + nameOf(*cell.nodeData()));
    if (reloadOnSelect) {
      tree.reloadData();
    }
  }
  bool treeCanEditRowAtNodeCell(TRTreeView&, TRTreeNodeCell& cell) override {
    return editable && nameOf(*cell.nodeData()) != "ch2";
  }
  void treeDidDeleteRowAtNodeCell(TRTreeView&, TRTreeNodeCell& cell) override {
    events.push_back("delete " + nameOf(*cell.nodeData()));
  }

  std::optional<bool> shouldExpand;
  bool reloadOnSelect = false;
  bool editable = false;
  // The cell handed out next, instead of a reused or new one.
  std::shared_ptr<TRTreeNodeCell> nextCell;
  std::vector<std::string> events;
};

// root - ch1 - u1 - l1, l2
//            - u2
//      - ch2
class TRTreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetForTesting();
    root_->insertChild(ch1_);
    root_->insertChild(node("ch2"));
    ch1_->insertChild(u1_);
    ch1_->insertChild(node("u2"));
    u1_->insertChild(node("l1"));
    u1_->insertChild(node("l2"));
    tree_->setTreeDelegate(delegate_);
    tree_->setNodeData(root_);
  }
  void TearDown() override {
    app::setConsoleDestination({});
    testsupport::resetForTesting();
  }

  std::vector<std::string> rows() {
    std::vector<std::string> texts;
    for (const auto& cell : tree_->visibleCells()) {
      texts.push_back(cell->textLabel().text());
    }
    return texts;
  }

  std::shared_ptr<TRTreeNodeData> root_ = node("root");
  std::shared_ptr<TRTreeNodeData> ch1_ = node("ch1");
  std::shared_ptr<TRTreeNodeData> u1_ = node("u1");
  std::shared_ptr<RecordingTreeDelegate> delegate_ = std::make_shared<RecordingTreeDelegate>();
  std::shared_ptr<TRTreeView> tree_ = std::make_shared<TRTreeView>(uikit::Rect(0, 0, 375, 600));
};

TEST_F(TRTreeViewTest, ShowsTheRootsFirstLevelWithHeightsFromTheDelegateAndNothingWithoutADelegate) {
  EXPECT_THAT(rows(), ElementsAre("ch1", "ch2"));
  EXPECT_EQ(tree_->rectForRowAtIndexPath(uikit::IndexPath{0, 1}), uikit::Rect(0, 30, 375, 50));
  EXPECT_EQ(tree_->separatorStyle(), uikit::TableViewCellSeparatorStyle::kNone);

  const auto bare = std::make_shared<TRTreeView>();
  bare->setNodeData(root_);
  EXPECT_EQ(bare->numberOfRowsInSection(0), 0);
}

TEST_F(TRTreeViewTest, TappingANodeWithChildrenOpensAndClosesItsRowsKeepingTheOtherCells) {
  const auto cellOfCh2 = tree_->cellForRowAtIndexPath(uikit::IndexPath{0, 1});
  tree_->tapRowAtIndexPath(uikit::IndexPath{0, 0});
  EXPECT_THAT(rows(), ElementsAre("ch1", "u1", "u2", "ch2"));
  EXPECT_EQ(tree_->cellForRowAtIndexPath(uikit::IndexPath{0, 3}), cellOfCh2);
  EXPECT_TRUE(ch1_->isExpand());

  tree_->tapRowAtIndexPath(uikit::IndexPath{0, 1});
  EXPECT_THAT(rows(), ElementsAre("ch1", "u1", "l1", "l2", "u2", "ch2"));
  uikit::ScreenText text;
  tree_->renderInto(text);
  EXPECT_EQ(text.str(),
            "table:\n  [0] ch1\n  [1]   u1 *\n  [2]     l1\n  [3]     l2\n  [4]   u2\n  [5] ch2\n");

  tree_->tapRowAtIndexPath(uikit::IndexPath{0, 0});
  EXPECT_THAT(rows(), ElementsAre("ch1", "ch2")) << "closing removes every open row below";
  EXPECT_TRUE(u1_->isExpand());
  tree_->tapRowAtIndexPath(uikit::IndexPath{0, 0});
  EXPECT_THAT(rows(), ElementsAre("ch1", "u1", "l1", "l2", "u2", "ch2"))
      << "reopening shows the open unit again";
  EXPECT_THAT(delegate_->events,
              ElementsAre("select ch1", "should expand ch1", "did expand ch1", "select u1",
                          "should expand u1", "did expand u1", "select ch1", "should expand ch1",
                          "did expand ch1", "select ch1", "should expand ch1", "did expand ch1"));
}

TEST_F(TRTreeViewTest, RowsFollowEveryChangeTheOwnerMakesToTheTreeBeforeReloading) {
  ch1_->setExpand(true);
  tree_->reloadData();
  EXPECT_THAT(rows(), ElementsAre("ch1", "u1", "u2", "ch2")) << "opened by the owner";

  u1_->setExpand(true);
  u1_->insertChild(node("l0"), 0);
  tree_->reloadData();
  EXPECT_THAT(rows(), ElementsAre("ch1", "u1", "l0", "l1", "l2", "u2", "ch2")) << "a grandchild inserted";

  ch1_->removeChildAtIndexes(0);
  tree_->reloadData();
  EXPECT_THAT(rows(), ElementsAre("ch1", "u2", "ch2")) << "an open child removed";

  u1_->insertChild(node("l3"));
  ch1_->insertChild(u1_, 0);
  tree_->reloadData();
  EXPECT_THAT(rows(), ElementsAre("ch1", "u1", "l0", "l1", "l2", "l3", "u2", "ch2"))
      << "changed while detached, then inserted again";

  ch1_->setExpand(false);
  tree_->reloadData();
  EXPECT_THAT(rows(), ElementsAre("ch1", "ch2")) << "closed by the owner";

  root_->clear();
  tree_->reloadData();
  EXPECT_THAT(rows(), IsEmpty());

  const auto other = node("other");
  other->insertChild(node("only"));
  tree_->setNodeData(other);
  EXPECT_THAT(rows(), ElementsAre("only")) << "a new root";
}

TEST_F(TRTreeViewTest, ALeafOpensOnlyWhenTheDelegateSaysYes) {
  tree_->tapRowAtIndexPath(uikit::IndexPath{0, 1});
  EXPECT_FALSE(root_->child()[1]->isExpand());
  EXPECT_THAT(delegate_->events, ElementsAre("select ch2", "should expand ch2"));

  delegate_->shouldExpand = true;
  tree_->tapRowAtIndexPath(uikit::IndexPath{0, 1});
  EXPECT_TRUE(root_->child()[1]->isExpand());
  EXPECT_THAT(rows(), ElementsAre("ch1", "ch2"));

  delegate_->shouldExpand = false;
  tree_->tapRowAtIndexPath(uikit::IndexPath{0, 0});
  EXPECT_FALSE(ch1_->isExpand()) << "a node with children stays closed when the delegate says no";
  EXPECT_THAT(rows(), ElementsAre("ch1", "ch2"));
}

TEST_F(TRTreeViewTest, ADelegateThatReloadsOnSelectionStillOpensTheTappedNode) {
  delegate_->reloadOnSelect = true;
  tree_->tapRowAtIndexPath(uikit::IndexPath{0, 0});
  EXPECT_THAT(rows(), ElementsAre("ch1", "u1", "u2", "ch2"));
  EXPECT_THAT(delegate_->events, ElementsAre("select ch1", "should expand ch1", "did expand ch1"));
}

TEST_F(TRTreeViewTest, ASwipeOnAnEditableRowOffersOnePictureActionThatAsksTheDelegateToDelete) {
  std::vector<std::string> console;
  app::setConsoleDestination([&console](std::string_view line) { console.emplace_back(line); });

  EXPECT_THAT(tree_->swipeActionsForRowAtIndexPath(uikit::IndexPath{0, 0}), IsEmpty()) << "not editable";
  delegate_->editable = true;
  EXPECT_THAT(tree_->swipeActionsForRowAtIndexPath(uikit::IndexPath{0, 1}), IsEmpty()) << "ch2 never is";

  const auto actions = tree_->swipeActionsForRowAtIndexPath(uikit::IndexPath{0, 0});
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions.front()->title(), "   ");
  ASSERT_TRUE(actions.front()->backgroundColor().has_value());
  const auto picture = actions.front()->backgroundColor()->patternImage();
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->name(), "DL_delete");
  EXPECT_EQ(picture->size(), (uikit::Size{150, 90})) << "three rows of ch1's height";

  // The cell hides the platform's delete button while the actions show.
  class WatchingCell : public NameCell {
   public:
    void willTransitionToState(uikit::TableViewCellStateMask state) override {
      NameCell::willTransitionToState(state);
      for (const auto& view : subviews()) {
        if (dynamic_cast<uikit::TableViewCellDeleteConfirmationControl*>(view.get()) != nullptr) {
          platformButtonHidden = view->subviews().front()->isHidden();
        }
      }
    }
    bool platformButtonHidden = false;
  };
  const auto watching = std::make_shared<WatchingCell>();
  delegate_->nextCell = watching;
  tree_->reloadData();
  ASSERT_EQ(tree_->cellForRowAtIndexPath(uikit::IndexPath{0, 0}), watching);
  EXPECT_TRUE(tree_->swipeRowAndTapFirstAction(uikit::IndexPath{0, 0}));
  EXPECT_TRUE(watching->platformButtonHidden);
  EXPECT_THAT(delegate_->events, ElementsAre("delete ch1"));
  EXPECT_THAT(console, ElementsAre("删除，删除"));
  EXPECT_THAT(rows(), ElementsAre("ch1", "ch2")) << "the delegate removes nodes, not the tree";
}

}  // namespace
}  // namespace learning::testing
