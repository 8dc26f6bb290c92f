#pragma once

// QMStage: a stage of a subject, holding the top-level nodes of its course tree, with its counters of
// downloading and downloaded lessons and the lists the download screens show.
// Not thread-safe: main thread only, as the store.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/store/QMCountedNode.h"
#include "platform/coredata/EntityDescription.h"
#include "platform/foundation/values/Value.h"

namespace app {

class QMCourse;
class QMSubject;

class QMStage : public QMCountedNode {
 public:
  static constexpr std::string_view kEntityName = "QMStage";
  static cd::EntityDescription entityDescription();

  // Unique key: the subject's subjectID, "_", the server's "nodeId".
  std::optional<std::string> tagID() const { return textValue(kTagID); }
  void setTagID(std::optional<std::string> value) { setTextValue(kTagID, std::move(value)); }
  std::optional<std::string> stageID() const { return textValue(kStageID); }
  void setStageID(std::optional<std::string> value) { setTextValue(kStageID, std::move(value)); }
  std::optional<std::string> stageName() const { return textValue(kStageName); }
  void setStageName(std::optional<std::string> value) { setTextValue(kStageName, std::move(value)); }
  std::optional<std::int64_t> isNew() const { return integerValue(kIsNew); }
  void setIsNew(std::optional<std::int64_t> value) { setIntegerValue(kIsNew, value); }

  std::shared_ptr<QMSubject> ownBySubject() const;
  void setOwnBySubject(const std::shared_ptr<QMSubject>& subject);
  std::vector<std::shared_ptr<QMCourse>> ownCourse() const;

  // Fills the stage from a stage entry: tagID from "tagID", stageID from "nodeId" (as text), stageName
  // from "name", isNew from "isNew".
  void updatePropertyWithDic(const ns::Value& dic);

  // The top-level courses in the order they were first saved.
  std::vector<std::shared_ptr<QMCourse>> sortedCourseArray() const;
  // The lessons directly under this stage whose record has `status`, as an unordered list without
  // duplicates.
  std::vector<std::shared_ptr<QMCourse>> courseWithStatus(std::int64_t status) const;
  // The top-level courses that are, or hold, a lesson not downloaded (status 0 or no record), sorted by
  // courseID's text.
  std::vector<std::shared_ptr<QMCourse>> uncacheRootCourse() const;
  // The stage's lessons whose record is waiting, downloading or failed (status 1, 2, 4) / paused (3), in
  // tree order.
  std::vector<std::shared_ptr<QMCourse>> cachingVideoArray() const;
  std::vector<std::shared_ptr<QMCourse>> pausingVideoArray() const;
  // The top-level courses that are, or hold, a downloading / downloaded lesson, sorted by courseID's text.
  std::vector<std::shared_ptr<QMCourse>> cachingCourse() const;
  std::vector<std::shared_ptr<QMCourse>> cacheDoneCourse() const;

  std::shared_ptr<QMCountedNode> counterParent() const override;

 protected:
  QMStage() = default;

 private:
  enum Attribute { kTagID, kStageID, kStageName, kIsNew, kCachedVideo, kCachingVideo };
  enum Relationship { kOwnBySubject, kOwnCourse };

  std::vector<std::shared_ptr<QMCourse>> lessonsWithStatusIn(
      std::initializer_list<std::int64_t> statuses) const;
};

}  // namespace app
