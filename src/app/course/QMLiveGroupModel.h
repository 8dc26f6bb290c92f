#pragma once

// QMLiveGroupModel: a live group as the back end lists it, owning its live lessons in the reply's order.
// Texts are as the reply gives them (a missing key or a JSON null gives std::nullopt; a non-text value its
// text form); integers read 0 when missing.
//
// Not thread-safe: main thread only, as the screens that list it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/course/QMLiveModel.h"
#include "platform/foundation/values/Object.h"
#include "platform/foundation/values/Value.h"

namespace app {

class QMLiveGroupModel : public ns::Object {
 public:
  // Returns a group filled from one entry of the live list: groupID "groupId", groupName "groupName",
  // groupPicUrl "pic", groupConsumerType "consumerType", groupBeginTime "beginTime", groupEndTime "endTime",
  // groupDateTime "dateTime", groupTeacherName "teacherName", groupStatus "status", groupTotalNum
  // "totalNum", groupCurrNum "currNum", and one QMLiveModel per entry of "lives", in order, each pointing
  // back to the group. The caller owns it; a value that is not a dictionary gives an empty group.
  static std::shared_ptr<QMLiveGroupModel> initWithServerData(const ns::Value& data);

  const std::optional<std::string>& groupID() const { return groupID_; }
  void setGroupID(std::optional<std::string> value) { groupID_ = std::move(value); }
  const std::optional<std::string>& groupName() const { return groupName_; }
  void setGroupName(std::optional<std::string> value) { groupName_ = std::move(value); }
  const std::optional<std::string>& groupPicUrl() const { return groupPicUrl_; }
  void setGroupPicUrl(std::optional<std::string> value) { groupPicUrl_ = std::move(value); }
  // Not filled from the reply.
  const std::optional<std::string>& groupLivingID() const { return groupLivingID_; }
  void setGroupLivingID(std::optional<std::string> value) { groupLivingID_ = std::move(value); }
  // Sent as "type" when a lesson's entry parameters are asked for.
  const std::optional<std::string>& groupConsumerType() const { return groupConsumerType_; }
  void setGroupConsumerType(std::optional<std::string> value) { groupConsumerType_ = std::move(value); }
  const std::optional<std::string>& groupBeginTime() const { return groupBeginTime_; }
  void setGroupBeginTime(std::optional<std::string> value) { groupBeginTime_ = std::move(value); }
  const std::optional<std::string>& groupEndTime() const { return groupEndTime_; }
  void setGroupEndTime(std::optional<std::string> value) { groupEndTime_ = std::move(value); }
  const std::optional<std::string>& groupDateTime() const { return groupDateTime_; }
  void setGroupDateTime(std::optional<std::string> value) { groupDateTime_ = std::move(value); }
  const std::optional<std::string>& groupTeacherName() const { return groupTeacherName_; }
  void setGroupTeacherName(std::optional<std::string> value) { groupTeacherName_ = std::move(value); }
  std::int64_t groupStatus() const { return groupStatus_; }
  void setGroupStatus(std::int64_t value) { groupStatus_ = value; }
  std::int64_t groupTotalNum() const { return groupTotalNum_; }
  void setGroupTotalNum(std::int64_t value) { groupTotalNum_ = value; }
  std::int64_t groupCurrNum() const { return groupCurrNum_; }
  void setGroupCurrNum(std::int64_t value) { groupCurrNum_ = value; }
  const std::vector<std::shared_ptr<QMLiveModel>>& groupLives() const { return groupLives_; }
  void setGroupLives(std::vector<std::shared_ptr<QMLiveModel>> lives) { groupLives_ = std::move(lives); }

 private:
  QMLiveGroupModel() = default;

  std::optional<std::string> groupID_;
  std::optional<std::string> groupName_;
  std::optional<std::string> groupPicUrl_;
  std::optional<std::string> groupLivingID_;
  std::optional<std::string> groupConsumerType_;
  std::optional<std::string> groupBeginTime_;
  std::optional<std::string> groupEndTime_;
  std::optional<std::string> groupDateTime_;
  std::optional<std::string> groupTeacherName_;
  std::int64_t groupStatus_ = 0;
  std::int64_t groupTotalNum_ = 0;
  std::int64_t groupCurrNum_ = 0;
  std::vector<std::shared_ptr<QMLiveModel>> groupLives_;
};

}  // namespace app
