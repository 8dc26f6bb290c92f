#include "app/course/QMLiveGroupModel.h"

#include "app/store/ServerValue.h"
#include "platform/foundation/check/Check.h"

namespace app {

std::shared_ptr<QMLiveGroupModel> QMLiveGroupModel::initWithServerData(const ns::Value& data) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<QMLiveGroupModel> group(new QMLiveGroupModel());
  group->groupID_ = serverTextOrNil(data.find("groupId"));
  group->groupName_ = serverTextOrNil(data.find("groupName"));
  group->groupPicUrl_ = serverTextOrNil(data.find("pic"));
  group->groupConsumerType_ = serverTextOrNil(data.find("consumerType"));
  group->groupBeginTime_ = serverTextOrNil(data.find("beginTime"));
  group->groupEndTime_ = serverTextOrNil(data.find("endTime"));
  group->groupDateTime_ = serverTextOrNil(data.find("dateTime"));
  group->groupTeacherName_ = serverTextOrNil(data.find("teacherName"));
  group->groupStatus_ = serverIntegerOrNil(data.find("status")).value_or(0);
  group->groupTotalNum_ = serverIntegerOrNil(data.find("totalNum")).value_or(0);
  group->groupCurrNum_ = serverIntegerOrNil(data.find("currNum")).value_or(0);
  const ns::Value* lives = data.find("lives");
  if (lives != nullptr && lives->isArray()) {
    for (const ns::Value& entry : lives->asArray()) {
      std::shared_ptr<QMLiveModel> live = QMLiveModel::initWithServerData(entry);
      live->setGroupModel(group);
      group->groupLives_.push_back(std::move(live));
    }
  }
  return group;
}

}  // namespace app
