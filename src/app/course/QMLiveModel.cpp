#include "app/course/QMLiveModel.h"

#include "app/store/ServerValue.h"
#include "platform/foundation/check/Check.h"

namespace app {

std::shared_ptr<QMLiveModel> QMLiveModel::initWithServerData(const ns::Value& data) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<QMLiveModel> live(new QMLiveModel());
  live->liveID_ = serverTextOrNil(data.find("liveId"));
  live->liveName_ = serverTextOrNil(data.find("name"));
  live->liveTeacherName_ = serverTextOrNil(data.find("teacherName"));
  live->liveBeginTime_ = serverTextOrNil(data.find("beginTime"));
  live->liveEndTime_ = serverTextOrNil(data.find("endTime"));
  live->liveDateTime_ = serverTextOrNil(data.find("dateTime"));
  live->liveStatus_ = serverIntegerOrNil(data.find("status")).value_or(0);
  const ns::Value* canReplay = data.find("canReplay");
  if (live->liveStatus_ == kStatusEnded && canReplay != nullptr && canReplay->boolValue()) {
    live->liveStatus_ = kStatusReplay;
  }
  return live;
}

void QMLiveModel::setParamWithServerData(const ns::Value& data) {
  QM_DCHECK_MAIN_THREAD();
  liveCustomer_ = serverTextOrNil(data.find("customer"));
  liveExStr_ = serverTextOrNil(data.find("exStr"));
  liveP_ = serverTextOrNil(data.find("p"));
  liveProviderId_ = serverTextOrNil(data.find("providerId"));
  liveProviderType_ = serverIntegerOrNil(data.find("providerType")).value_or(0);
}

}  // namespace app
