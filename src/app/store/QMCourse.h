#pragma once

// QMCourse: a node of a stage's course tree: a chapter, a unit or a lesson (type 2). A top-level node hangs
// under its stage (ownByStage), any other under its parent (upLevelCourse). A lesson has a download record
// (fileCacheInfo) once its tree has been stored.
// Not thread-safe: main thread only, as the store.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/store/QMCountedNode.h"
#include "app/store/QMDownloadStatus.h"
#include "platform/coredata/EntityDescription.h"

namespace app {

class QMFileCacheInfo;
class QMStage;
class QMSubject;

class QMCourse : public QMCountedNode {
 public:
  static constexpr std::string_view kEntityName = "QMCourse";
  // The node type of a video lesson.
  static constexpr std::int64_t kLessonType = 2;
  static cd::EntityDescription entityDescription();

  // Unique key: the parent's (stage's or course's) tagID, "_", the server's "nodeId".
  std::optional<std::string> tagID() const { return textValue(kTagID); }
  void setTagID(std::optional<std::string> value) { setTextValue(kTagID, std::move(value)); }
  std::optional<std::string> courseID() const { return textValue(kCourseID); }
  void setCourseID(std::optional<std::string> value) { setTextValue(kCourseID, std::move(value)); }
  std::optional<std::string> videoID() const { return textValue(kVideoID); }
  void setVideoID(std::optional<std::string> value) { setTextValue(kVideoID, std::move(value)); }
  std::optional<std::string> courseName() const { return textValue(kCourseName); }
  void setCourseName(std::optional<std::string> value) { setTextValue(kCourseName, std::move(value)); }
  std::optional<std::string> teacherName() const { return textValue(kTeacherName); }
  void setTeacherName(std::optional<std::string> value) { setTextValue(kTeacherName, std::move(value)); }
  std::optional<std::int64_t> isNew() const { return integerValue(kIsNew); }
  void setIsNew(std::optional<std::int64_t> value) { setIntegerValue(kIsNew, value); }
  // 1 directly under a stage, the parent's level + 1 below.
  std::optional<std::int64_t> level() const { return integerValue(kLevel); }
  void setLevel(std::optional<std::int64_t> value) { setIntegerValue(kLevel, value); }
  std::optional<std::int64_t> type() const { return integerValue(kType); }
  void setType(std::optional<std::int64_t> value) { setIntegerValue(kType, value); }
  std::optional<std::string> cwCode() const { return textValue(kCwCode); }
  void setCwCode(std::optional<std::string> value) { setTextValue(kCwCode, std::move(value)); }
  std::optional<std::string> videoURL() const { return textValue(kVideoURL); }
  void setVideoURL(std::optional<std::string> value) { setTextValue(kVideoURL, std::move(value)); }

  std::vector<std::shared_ptr<QMCourse>> lowLevelCourse() const;
  std::shared_ptr<QMStage> ownByStage() const;
  void setOwnByStage(const std::shared_ptr<QMStage>& stage);
  std::shared_ptr<QMCourse> upLevelCourse() const;
  void setUpLevelCourse(const std::shared_ptr<QMCourse>& parent);
  std::shared_ptr<QMFileCacheInfo> fileCacheInfo() const;

  bool isLesson() const { return type() == kLessonType; }
  // The children in the order they were first saved.
  std::vector<std::shared_ptr<QMCourse>> sortedCourseArray() const;
  // The top-level node above this one (itself when it is top-level).
  std::shared_ptr<QMCourse> rootCourse() const;
  // The subject of the node's tree (root course, its stage, the stage's subject), or nullptr.
  std::shared_ptr<QMSubject> subject() const;
  // True for a lesson whose courseID is its subject's onClassID.
  bool isNearlyPlayed() const;
  // The children that are, or hold, a downloading / downloaded lesson, sorted by courseID's text.
  std::vector<std::shared_ptr<QMCourse>> cachingCourse() const;
  std::vector<std::shared_ptr<QMCourse>> cachedCourse() const;
  // A lesson: whether its record's status is `status` (no record reads as 0). Any other node: whether a
  // node below it is such a lesson.
  bool isHaveCourseWithStatus(std::int64_t status) const;
  // The children for which isHaveCourseWithStatus(status) holds, sorted by courseID's text.
  std::vector<std::shared_ptr<QMCourse>> courseArrayWith(std::int64_t status) const;

  // True when the node's counter of `phase` is above 0, or it is a lesson whose record is in `phase`.
  bool holdsLessonsIn(QMDownloadPhase phase) const;
  // Returns `nodes` sorted by courseID's text.
  static std::vector<std::shared_ptr<QMCourse>> sortedByCourseID(
      std::vector<std::shared_ptr<QMCourse>> nodes);
  // Returns the `nodes` for which holdsLessonsIn(phase) holds, sorted by courseID's text.
  static std::vector<std::shared_ptr<QMCourse>> nodesHoldingLessonsIn(
      std::vector<std::shared_ptr<QMCourse>> nodes, QMDownloadPhase phase);

  // The parent course, or the stage for a top-level node.
  std::shared_ptr<QMCountedNode> counterParent() const override;

 protected:
  QMCourse() = default;

 private:
  enum Attribute {
    kTagID,
    kCourseID,
    kVideoID,
    kCourseName,
    kTeacherName,
    kIsNew,
    kLevel,
    kType,
    kCwCode,
    kVideoURL,
    kCachedVideo,
    kCachingVideo,
  };
  enum Relationship { kLowLevelCourse, kOwnByStage, kUpLevelCourse, kFileCacheInfo };
};

// What a course node hangs under when it is created from the server's tree: its stage or its parent course.
using QMCourseParent = std::variant<std::shared_ptr<QMStage>, std::shared_ptr<QMCourse>>;

}  // namespace app
