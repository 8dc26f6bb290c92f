// The subject screen's tree: built and merged from stored subjects, in the list's order.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/session/QMUser.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "learning/subject/QMSubjectTree.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "support/process_reset.h"

namespace learning {
namespace {

class SubjectTreeTest : public ::testing::Test {
 protected:
  SubjectTreeTest() {
    testsupport::resetForTesting();
    ns::Sandbox::setHomeDirectory(sandbox_.home());
    app::QMCoreDataHelper::resetSharedInstanceForTesting();
    app::QMCoreDataHelper::sharedInstance().setUserIdSource([] { return std::optional<std::string>("7"); });
  }
  ~SubjectTreeTest() override {
    testsupport::resetForTesting();
    ns::Sandbox::setHomeDirectory(std::nullopt);
  }

  // A stored subject `id` with two stages, and a last-played stage when `playedStage` is not empty.
  static std::shared_ptr<app::QMSubject> subject(const std::string& id, const std::string& playedStage = "") {
    const std::string json = R"({"courseId": )" + id + R"(, "name": "S)" + id + R"(", "available": 1,
        "stageList": [{"nodeId": )" +
                             id + R"(1, "name": "a"}, {"nodeId": )" + id + R"(2, "name": "b"}]})";
    auto stored = app::QMCoreDataHelper::sharedInstance().createSubjectWithDic(
        *ns::JSONSerialization::JSONObjectWithData(json));
    stored->setOnStageID(playedStage);
    return stored;
  }

  // The subject ids of the root's children, in order.
  static std::vector<std::string> order(const TRTreeNodeData& root) {
    std::vector<std::string> ids;
    for (const auto& child : root.child()) {
      ids.push_back(QMSubjectTree::subjectOf(*child)->subjectID().value_or("?"));
    }
    return ids;
  }

  ns::testutil::TemporarySandbox sandbox_;
};

TEST_F(SubjectTreeTest, SubjectNodesHoldThePlayedRowFirstThenTheStagesInSavedOrder) {
  const auto played = subject("1", "11");
  const auto root = QMSubjectTree::createRoot({played, subject("2")});
  ASSERT_EQ(root->child().size(), 2u);
  const auto& first = root->child()[0]->child();
  ASSERT_EQ(first.size(), 3u);
  EXPECT_TRUE(QMSubjectTree::isPlayedNode(*first[0]));
  EXPECT_EQ(std::dynamic_pointer_cast<app::QMStage>(first[1]->dataModel())->stageID(), "11");
  EXPECT_EQ(std::dynamic_pointer_cast<app::QMStage>(first[2]->dataModel())->stageID(), "12");
  EXPECT_EQ(root->child()[1]->child().size(), 2u) << "no played row without a last-played stage";
  EXPECT_EQ(root->child()[0]->level(), 1u);
  EXPECT_EQ(first[0]->level(), 2u);
}

TEST_F(SubjectTreeTest, MergedSubjectsFollowTheListOrderAndKeepTheirNodes) {
  const auto a = subject("1");
  const auto b = subject("2");
  const auto c = subject("3");
  const auto root = QMSubjectTree::createRoot({a});
  const std::shared_ptr<TRTreeNodeData> nodeOfA = root->child()[0];
  nodeOfA->setExpand(true);

  EXPECT_TRUE(QMSubjectTree::merge(*root, {a, b}).empty());
  EXPECT_EQ(order(*root), (std::vector<std::string>{"1", "2"}))
      << "a subject added at the end stays at the end";

  EXPECT_TRUE(QMSubjectTree::merge(*root, {b, c, a}).empty());
  EXPECT_EQ(order(*root), (std::vector<std::string>{"2", "3", "1"}));
  EXPECT_EQ(root->child()[2], nodeOfA);
  EXPECT_TRUE(nodeOfA->isExpand());
  // The siblings are linked in their new order.
  EXPECT_EQ(root->child()[0]->brother(), root->child()[1]);
  EXPECT_EQ(root->child()[1]->brother(), root->child()[2]);
  EXPECT_EQ(root->child()[2]->brother(), nullptr);
}

TEST_F(SubjectTreeTest, MergeReturnsTheSubjectsNoLongerListed) {
  const auto a = subject("1");
  const auto b = subject("2");
  const auto root = QMSubjectTree::createRoot({a, b});
  const auto removed = QMSubjectTree::merge(*root, {b});
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(removed[0], a);
  EXPECT_EQ(order(*root), (std::vector<std::string>{"2"}));
}

TEST_F(SubjectTreeTest, APlayedRowComesWithALastPlayedStageAndStaysWhenItGoes) {
  const auto a = subject("1");
  const auto root = QMSubjectTree::createRoot({a});
  a->setOnStageID("12");
  QMSubjectTree::merge(*root, {a});
  ASSERT_EQ(root->child()[0]->child().size(), 3u);
  EXPECT_TRUE(QMSubjectTree::isPlayedNode(*root->child()[0]->child()[0]));

  QMSubjectTree::merge(*root, {a});
  EXPECT_EQ(root->child()[0]->child().size(), 3u) << "no second played row";

  a->setOnStageID("");
  QMSubjectTree::merge(*root, {a});
  EXPECT_TRUE(QMSubjectTree::isPlayedNode(*root->child()[0]->child()[0]));
}

}  // namespace
}  // namespace learning
