// The shipped catalogue holds the trees the study side and the downloads are tried against. (The live
// statuses and the subject states are checked end to end, in tests/app/course.)

#include <gtest/gtest.h>

#include <set>

#include "sample_backend/course/CourseCatalogue.h"
#include "tools/sample_backend/api/api_test_util.h"

namespace sample_backend::course {
namespace {

// Walks `nodes`, the children of a node of `parentType` (-1 for a stage), checking every node on the way and
// noting the types of the nodes that hold lessons.
void walk(const nlohmann::json& nodes, int parentType, std::set<std::string>& nodeIds,
          std::set<int>& lessonParentTypes) {
  for (const nlohmann::json& node : nodes) {
    const std::string nodeId = idText(node.at("nodeId"));
    EXPECT_TRUE(nodeIds.insert(nodeId).second) << "node id " << nodeId << " is not unique";
    const int type = node.at("type").get<int>();
    if (type != CourseCatalogue::kLessonType) {
      ASSERT_TRUE(node.contains("children")) << nodeId;
      walk(node["children"], type, nodeIds, lessonParentTypes);
      continue;
    }
    EXPECT_FALSE(node.contains("children")) << nodeId;
    // The media service serves any video id of letters and digits.
    const std::string videoId = idText(node.at("videoId"));
    EXPECT_TRUE(!videoId.empty() && videoId.find_first_not_of("0123456789") == std::string::npos) << nodeId;
    EXPECT_TRUE(node.contains("teacher")) << nodeId;
    lessonParentTypes.insert(parentType);
  }
}

TEST(CourseCatalogueTest, TheShippedCatalogueHoldsEveryCaseTheClientMeets) {
  const api::SampleCatalogue catalogue = api::testutil::defaultCatalogue();
  const CourseCatalogue courses(catalogue.section("courses"));
  EXPECT_GE(courses.seasons().size(), 2u);

  std::set<std::string> nodeIds;
  std::set<int> lessonParentTypes;
  std::set<std::string> states;
  int fullSubjects = 0;
  for (const nlohmann::json& season : courses.seasons()) {
    for (const nlohmann::json* subject : courses.subjectsOf(season)) {
      for (const nlohmann::json& stage : subject->at("stages")) {
        EXPECT_TRUE(nodeIds.insert(idText(stage.at("nodeId"))).second);
        walk(stage.at("chapters"), -1, nodeIds, lessonParentTypes);
      }
      const NodeCounts counts = CourseCatalogue::countNodes(*subject);
      fullSubjects += counts.chapters > 0 && counts.units > 0 && counts.lessons > 0;
      states.insert(subject->value("expired", 0) == 1     ? "expired"
                    : subject->value("available", 1) == 2 ? "frozen"
                                                          : "available");
    }
  }
  EXPECT_GE(fullSubjects, 3);
  EXPECT_TRUE(lessonParentTypes.contains(CourseCatalogue::kChapterType));
  EXPECT_TRUE(lessonParentTypes.contains(-1));
  EXPECT_EQ(states, (std::set<std::string>{"available", "expired", "frozen"}));

  for (const nlohmann::json& entry : courses.learning()) {
    const nlohmann::json* subject = courses.subject(idText(entry.at("courseId")));
    ASSERT_NE(subject, nullptr);
    EXPECT_NE(courses.stageOfLesson(*subject, idText(entry.at("nodeId"))), nullptr);
  }
}

}  // namespace
}  // namespace sample_backend::course
