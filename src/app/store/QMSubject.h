#pragma once

// QMSubject: a subject the learner holds, with its stages, its counters of downloading and downloaded
// lessons, and the learner's last play position (onStageID, onClassID, onClassProgress, onClassTime).
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

class QMSeason;
class QMStage;

// Posted with the subject as object when its stored play position is newer than the server's.
inline constexpr std::string_view kUpdateServerProgressNotification = "UpdateServerProgress";
// Posted with the subject as object after it adopted the server's play position.
inline constexpr std::string_view kGetServerProgressNotification = "GetServerProgress";

class QMSubject : public QMCountedNode {
 public:
  static constexpr std::string_view kEntityName = "QMSubject";
  // The text form of onClassTime: the device's wall clock when the learner last played (the back end writes
  // its own). Compared with the server's as wall-clock texts, both read in GMT, where no clock change
  // makes a later text an earlier time.
  static constexpr std::string_view kClassTimeFormat = "yyyy.MM.dd HH:mm";
  static cd::EntityDescription entityDescription();

  std::optional<std::string> subjectName() const { return textValue(kSubjectName); }
  void setSubjectName(std::optional<std::string> value) { setTextValue(kSubjectName, std::move(value)); }
  std::optional<std::string> subjectID() const { return textValue(kSubjectID); }
  void setSubjectID(std::optional<std::string> value) { setTextValue(kSubjectID, std::move(value)); }
  std::optional<std::string> courseID() const { return textValue(kCourseID); }
  void setCourseID(std::optional<std::string> value) { setTextValue(kCourseID, std::move(value)); }
  std::optional<std::string> iconID() const { return textValue(kIconID); }
  void setIconID(std::optional<std::string> value) { setTextValue(kIconID, std::move(value)); }
  std::optional<std::string> stageCount() const { return textValue(kStageCount); }
  void setStageCount(std::optional<std::string> value) { setTextValue(kStageCount, std::move(value)); }
  std::optional<std::string> unitCount() const { return textValue(kUnitCount); }
  void setUnitCount(std::optional<std::string> value) { setTextValue(kUnitCount, std::move(value)); }
  std::optional<std::string> classCount() const { return textValue(kClassCount); }
  void setClassCount(std::optional<std::string> value) { setTextValue(kClassCount, std::move(value)); }
  std::optional<std::string> onClassID() const { return textValue(kOnClassID); }
  void setOnClassID(std::optional<std::string> value) { setTextValue(kOnClassID, std::move(value)); }
  std::optional<std::string> onClassProgress() const { return textValue(kOnClassProgress); }
  void setOnClassProgress(std::optional<std::string> value) {
    setTextValue(kOnClassProgress, std::move(value));
  }
  std::optional<std::string> onStageID() const { return textValue(kOnStageID); }
  void setOnStageID(std::optional<std::string> value) { setTextValue(kOnStageID, std::move(value)); }
  std::optional<std::string> onClassTime() const { return textValue(kOnClassTime); }
  void setOnClassTime(std::optional<std::string> value) { setTextValue(kOnClassTime, std::move(value)); }
  // Availability code "0" to "4" (see subjectStaus()).
  std::optional<std::string> isAvailable() const { return textValue(kIsAvailable); }
  void setIsAvailable(std::optional<std::string> value) { setTextValue(kIsAvailable, std::move(value)); }
  std::optional<std::string> hasTry() const { return textValue(kHasTry); }
  void setHasTry(std::optional<std::string> value) { setTextValue(kHasTry, std::move(value)); }
  std::optional<std::string> isFinished() const { return textValue(kIsFinished); }
  void setIsFinished(std::optional<std::string> value) { setTextValue(kIsFinished, std::move(value)); }
  std::optional<std::string> userID() const { return textValue(kUserID); }
  void setUserID(std::optional<std::string> value) { setTextValue(kUserID, std::move(value)); }

  std::vector<std::shared_ptr<QMStage>> ownStage() const;
  std::shared_ptr<QMSeason> ownBySeason() const;
  void setOwnBySeason(const std::shared_ptr<QMSeason>& season);

  // The availability text: "课程未购买" (0), "课程已冻结" (2), "课程已退课" (3), "课程已过期" (4), and "正常"
  // for any other code.
  std::string subjectStaus() const;
  // The subject's stages in the order they were first saved.
  std::vector<std::shared_ptr<QMStage>> sortedStageArray() const;
  // The stages with downloaded or downloading lessons, sorted by stageID's text.
  std::vector<std::shared_ptr<QMStage>> getAlreadyCacheStage() const;
  // The stage of the last play (stageID equal to onStageID); nullptr when onStageID is empty or no stage
  // matches.
  std::shared_ptr<QMStage> getNearlyPlayedStage() const;

  // Fills the subject from one entry of the back end's subject list, in this order: identity, names and
  // counts; the play position (below); availability ("available", or "4" when "expired" reads 1); trial
  // and finished flags; userID = the current user's id; then each entry of "stageList" is created or
  // updated as a stage with tagID "<subjectID>_<nodeId>" and linked to this subject.
  //
  // Play position, when "onLearning" is a non-empty dictionary whose "date" parses as "yyyy.MM.dd HH:mm":
  // when the stored onClassTime is later, kUpdateServerProgressNotification is posted; otherwise (also
  // when none is stored or it does not parse) the server's position is adopted (onStageID from
  // "onStageId", onClassID from "onLearning"."id", onClassTime from "onLearning"."date") and
  // kGetServerProgressNotification is posted. A "date" that does not parse changes and posts nothing.
  // Both texts are read by one formatter, so the comparison holds whatever zone wrote them, as long as
  // both sides wrote the same one.
  void updatePropertyWithDic(const ns::Value& dic);

  std::shared_ptr<QMCountedNode> counterParent() const override { return nullptr; }

 protected:
  QMSubject() = default;

 private:
  enum Attribute {
    kSubjectName,
    kSubjectID,
    kCourseID,
    kIconID,
    kStageCount,
    kUnitCount,
    kClassCount,
    kOnClassID,
    kOnClassProgress,
    kOnStageID,
    kOnClassTime,
    kIsAvailable,
    kHasTry,
    kIsFinished,
    kCachedVideo,
    kCachingVideo,
    kUserID,
  };
  enum Relationship { kOwnStage, kOwnBySeason };

  void updateLearningPosition(const ns::Value& dic);
  void updateStages(const ns::Value& stageList);
};

}  // namespace app
