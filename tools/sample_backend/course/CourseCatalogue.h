#pragma once

// sample_backend::course::CourseCatalogue: a read-only view of the catalogue's "courses" section
// (data/README.md): the exam seasons, the subjects with their stages and course trees, the live groups, the
// course agreement and where learners left off. Ids are compared by their text, so a client that sends
// back 101 as "101" finds it.
//
// The view holds a reference: the section must outlive it. Thread-safety: read-only; safe from any thread
// while nobody changes the section.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sample_backend::course {

// Returns the text of an id as the client sends it back: a string as it is, a number in decimal, and empty
// text for anything else.
std::string idText(const nlohmann::json& id);

// The numbers of chapters (type 0), units (type 1) and lessons (type 2) in a tree.
struct NodeCounts {
  int chapters = 0;
  int units = 0;
  int lessons = 0;
};

class CourseCatalogue {
 public:
  static constexpr int kChapterType = 0;
  static constexpr int kUnitType = 1;
  static constexpr int kLessonType = 2;

  // `section` is the catalogue's "courses" section; a missing one (null) reads as empty.
  explicit CourseCatalogue(const nlohmann::json& section) : section_(section) {}

  // Returns every season, in catalogue order (an array; empty when there is none).
  const nlohmann::json& seasons() const { return list("seasons"); }
  // Returns the season whose "id" reads `seasonId`, or the first season when `seasonId` is std::nullopt;
  // nullptr when there is none such.
  const nlohmann::json* season(const std::optional<std::string>& seasonId) const;
  // Returns the subjects of `season`, in the season's order.
  std::vector<const nlohmann::json*> subjectsOf(const nlohmann::json& season) const;
  // Returns the live groups of `season`, in catalogue order.
  std::vector<const nlohmann::json*> liveGroupsOf(const nlohmann::json& season) const;

  // Returns the subject whose "courseId" reads `courseId`, or nullptr.
  const nlohmann::json* subject(std::string_view courseId) const;
  // Returns the stage whose "nodeId" reads `nodeId`, in any subject, or nullptr.
  const nlohmann::json* stage(std::string_view nodeId) const;
  // Returns the stage of `subject` whose tree holds the lesson `nodeId`, or nullptr.
  const nlohmann::json* stageOfLesson(const nlohmann::json& subject, std::string_view nodeId) const;
  // Returns the live lesson whose "liveId" reads `liveId`, or nullptr.
  const nlohmann::json* live(std::string_view liveId) const;

  // Returns the course agreement (an object; empty when the catalogue has none).
  const nlohmann::json& agreement() const;
  // Returns where learners left off before the back end started (an array; empty when there is none).
  const nlohmann::json& learning() const;

  // Returns the numbers of nodes in every stage's tree of `subject`.
  static NodeCounts countNodes(const nlohmann::json& subject);

 private:
  // Returns the member `name` of the section (or of `object`) when it is an array, else an empty array.
  const nlohmann::json& list(std::string_view name) const;
  static const nlohmann::json& listOf(const nlohmann::json& object, std::string_view name);

  const nlohmann::json& section_;
};

}  // namespace sample_backend::course
