#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "learning/tree/TRTreeNodeData.h"
#include "tree_test_util.h"

namespace learning::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(TRTreeNodeDataTest, IndexedInsertionKeepsParentLevelAndBrotherLinks) {
  struct Case {
    std::vector<std::string> before;
    std::size_t index;
    std::vector<std::string> after;
  };
  const std::vector<Case> cases = {
      {{"A", "B"}, 0, {"new", "A", "B"}},
      {{"A", "B"}, 1, {"A", "new", "B"}},
      // At or past the end the new child comes last, never before the last one.
      {{"A", "B"}, 2, {"A", "B", "new"}},
      {{"A", "B"}, 7, {"A", "B", "new"}},
      // An empty list takes its first child whatever the index.
      {{}, 0, {"new"}},
      {{}, 3, {"new"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("index " + std::to_string(c.index) + " into " + std::to_string(c.before.size()) +
                 " children");
    const auto parent = node("parent");
    parent->setLevel(2);
    for (const std::string& name : c.before) {
      parent->insertChild(node(name));
    }
    const auto added = node("new");
    added->insertChild(node("grandchild"));
    parent->insertChild(added, c.index);

    EXPECT_EQ(namesOf(parent->child()), c.after);
    EXPECT_EQ(brotherChain(*parent), c.after);
    for (const auto& child : parent->child()) {
      EXPECT_EQ(child->parent(), parent);
      EXPECT_EQ(child->level(), 3u);
    }
    EXPECT_EQ(added->child().front()->level(), 4u);
  }
}

TEST(TRTreeNodeDataTest, RemovalLinksTheNeighboursAndRefusesAnIndexPastTheEnd) {
  const auto parent = node("parent");
  const auto a = node("A"), b = node("B"), c = node("C");
  for (const auto& child : {a, b, c}) {
    parent->insertChild(child);
  }
  EXPECT_FALSE(parent->removeChildAtIndexes(3));
  EXPECT_FALSE(parent->removeChild(node("B")));
  EXPECT_EQ(namesOf(parent->child()), (std::vector<std::string>{"A", "B", "C"}));

  EXPECT_TRUE(parent->removeChild(b));
  EXPECT_EQ(a->brother(), c);
  EXPECT_EQ(brotherChain(*parent), (std::vector<std::string>{"A", "C"}));

  EXPECT_TRUE(parent->removeChildAtIndexes(1));
  EXPECT_EQ(a->brother(), nullptr);
  EXPECT_EQ(namesOf(parent->child()), (std::vector<std::string>{"A"}));
}

TEST(TRTreeNodeDataTest, VisibleListsFollowOpenNodesAndTheRootListsItsFirstLevelEvenWhenClosed) {
  // root - ch1 (open) - u1 (closed) - l1
  //                   - u2 (open)   - l2
  //      - ch2 (closed) - u3
  const auto root = node("root");
  const auto ch1 = node("ch1"), ch2 = node("ch2"), u1 = node("u1"), u2 = node("u2"), u3 = node("u3");
  root->insertChild(ch1);
  root->insertChild(ch2);
  ch1->insertChild(u1);
  ch1->insertChild(u2);
  ch2->insertChild(u3);
  u1->insertChild(node("l1"));
  u2->insertChild(node("l2"));
  u2->setExpand(true);

  EXPECT_TRUE(ch1->isExpand()) << "opening a node opens its ancestors";
  EXPECT_TRUE(root->isExpand());
  EXPECT_EQ(namesOf(root->nodeArray(false)), (std::vector<std::string>{"ch1", "u1", "u2", "l2", "ch2"}));
  EXPECT_EQ(namesOf(ch1->nodeArray(true)), (std::vector<std::string>{"ch1", "u1", "u2", "l2"}));
  EXPECT_EQ(namesOf(u1->nodeArray(false)), (std::vector<std::string>{"l1"})) << "a closed node's first level";
  EXPECT_THAT(u3->nodeArray(false), IsEmpty());
  EXPECT_EQ(root->nodeCount(), 6u);
  EXPECT_EQ(ch2->nodeCount(), 1u);
  EXPECT_EQ(u2->child().front()->nextNode(), ch2);
  EXPECT_EQ(ch2->nextNode(), nullptr);

  ch1->setExpand(false);
  EXPECT_TRUE(u2->isExpand()) << "closing closes only the node itself";
  EXPECT_EQ(namesOf(root->nodeArray(false)), (std::vector<std::string>{"ch1", "ch2"}));
  EXPECT_EQ(u2->rootNode(), root);
}

TEST(TRTreeNodeDataTest, TickingKeepsParentsAndChildrenInStep) {
  // root - ch1 - u1 - l1, l2
  //            - u2 - l3
  //      - ch2 - u3 - l4
  const auto root = node("root");
  const auto ch1 = node("ch1"), ch2 = node("ch2"), u1 = node("u1"), u2 = node("u2"), u3 = node("u3");
  const auto l1 = node("l1"), l2 = node("l2"), l3 = node("l3"), l4 = node("l4");
  root->insertChild(ch1);
  root->insertChild(ch2);
  ch1->insertChild(u1);
  ch1->insertChild(u2);
  ch2->insertChild(u3);
  u1->insertChild(l1);
  u1->insertChild(l2);
  u2->insertChild(l3);
  u3->insertChild(l4);

  u2->setSelected(true);
  EXPECT_TRUE(l3->isSelected()) << "children follow";
  EXPECT_FALSE(ch1->isSelected()) << "u1 is not ticked yet";
  l1->setSelected(true);
  EXPECT_FALSE(u1->isSelected());
  l2->setSelected(true);
  EXPECT_TRUE(u1->isSelected()) << "the last unticked child ticks its parent";
  EXPECT_TRUE(ch1->isSelected()) << "and that completes the grandparent";
  EXPECT_FALSE(root->isSelected());
  EXPECT_EQ(namesOf(root->selectedChildren()),
            (std::vector<std::string>{"ch1", "u1", "l1", "l2", "u2", "l3"}));

  ch2->setSelected(true);
  EXPECT_TRUE(root->isSelected()) << "the rule climbs to the root";

  l3->setSelected(false);
  EXPECT_FALSE(u2->isSelected());
  EXPECT_FALSE(ch1->isSelected());
  EXPECT_FALSE(root->isSelected()) << "unticking any child unticks every ancestor";
  EXPECT_TRUE(u1->isSelected());
  EXPECT_THAT(l4->selectedChildren(), IsEmpty());
}

TEST(TRTreeNodeDataTest, ReleasingTheRootReleasesTheWholeTree) {
  std::weak_ptr<TRTreeNodeData> leaf;
  {
    const auto root = node("root");
    const auto chapter = node("chapter");
    root->insertChild(chapter);
    chapter->insertChild(node("l1"));
    chapter->insertChild(node("l2"));
    leaf = chapter->child().back();
  }
  EXPECT_TRUE(leaf.expired());
}

}  // namespace
}  // namespace learning::testing
