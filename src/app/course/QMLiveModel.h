#pragma once

// QMLiveModel: a live lesson of a live group as the back end lists it, and, once fetched, its entry
// parameters for the outside live frameworks. Texts are as the reply gives them (a missing key or a JSON
// null gives std::nullopt; a non-text value its text form); integers read 0 when missing. The lesson holds
// its group weakly: the group owns its lessons.
//
// Not thread-safe: main thread only, as the screens that list it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/values/Object.h"
#include "platform/foundation/values/Value.h"

namespace app {

class QMLiveGroupModel;

class QMLiveModel : public ns::Object {
 public:
  // Live status values.
  static constexpr std::int64_t kStatusEnded = -1;
  static constexpr std::int64_t kStatusNotStarted = 0;
  static constexpr std::int64_t kStatusLive = 1;
  static constexpr std::int64_t kStatusReplay = 2;

  // Returns a lesson filled from one entry of a group's "lives": liveID "liveId", liveName "name",
  // liveTeacherName "teacherName", liveBeginTime "beginTime", liveEndTime "endTime", liveDateTime
  // "dateTime", liveStatus "status" (an ended lesson whose "canReplay" is true reads kStatusReplay). The
  // caller owns it; a value that is not a dictionary gives an empty lesson.
  static std::shared_ptr<QMLiveModel> initWithServerData(const ns::Value& data);

  // Fills the entry parameters from the live-parameter reply's "obj": liveCustomer "customer", liveExStr
  // "exStr", liveP "p", liveProviderId "providerId", liveProviderType "providerType". A later call
  // replaces all five.
  void setParamWithServerData(const ns::Value& data);

  const std::optional<std::string>& liveID() const { return liveID_; }
  void setLiveID(std::optional<std::string> value) { liveID_ = std::move(value); }
  const std::optional<std::string>& liveName() const { return liveName_; }
  void setLiveName(std::optional<std::string> value) { liveName_ = std::move(value); }
  const std::optional<std::string>& liveTeacherName() const { return liveTeacherName_; }
  void setLiveTeacherName(std::optional<std::string> value) { liveTeacherName_ = std::move(value); }
  const std::optional<std::string>& liveBeginTime() const { return liveBeginTime_; }
  void setLiveBeginTime(std::optional<std::string> value) { liveBeginTime_ = std::move(value); }
  const std::optional<std::string>& liveEndTime() const { return liveEndTime_; }
  void setLiveEndTime(std::optional<std::string> value) { liveEndTime_ = std::move(value); }
  const std::optional<std::string>& liveDateTime() const { return liveDateTime_; }
  void setLiveDateTime(std::optional<std::string> value) { liveDateTime_ = std::move(value); }
  std::int64_t liveStatus() const { return liveStatus_; }
  void setLiveStatus(std::int64_t value) { liveStatus_ = value; }
  // The owning group, or nullptr once it is gone.
  std::shared_ptr<QMLiveGroupModel> groupModel() const { return groupModel_.lock(); }
  void setGroupModel(const std::shared_ptr<QMLiveGroupModel>& group) { groupModel_ = group; }
  const std::optional<std::string>& liveCustomer() const { return liveCustomer_; }
  void setLiveCustomer(std::optional<std::string> value) { liveCustomer_ = std::move(value); }
  const std::optional<std::string>& liveExStr() const { return liveExStr_; }
  void setLiveExStr(std::optional<std::string> value) { liveExStr_ = std::move(value); }
  const std::optional<std::string>& liveP() const { return liveP_; }
  void setLiveP(std::optional<std::string> value) { liveP_ = std::move(value); }
  const std::optional<std::string>& liveProviderId() const { return liveProviderId_; }
  void setLiveProviderId(std::optional<std::string> value) { liveProviderId_ = std::move(value); }
  std::int64_t liveProviderType() const { return liveProviderType_; }
  void setLiveProviderType(std::int64_t value) { liveProviderType_ = value; }

 private:
  QMLiveModel() = default;

  std::optional<std::string> liveID_;
  std::optional<std::string> liveName_;
  std::optional<std::string> liveTeacherName_;
  std::optional<std::string> liveBeginTime_;
  std::optional<std::string> liveEndTime_;
  std::optional<std::string> liveDateTime_;
  std::int64_t liveStatus_ = 0;
  std::weak_ptr<QMLiveGroupModel> groupModel_;
  std::optional<std::string> liveCustomer_;
  std::optional<std::string> liveExStr_;
  std::optional<std::string> liveP_;
  std::optional<std::string> liveProviderId_;
  std::int64_t liveProviderType_ = 0;
};

}  // namespace app
