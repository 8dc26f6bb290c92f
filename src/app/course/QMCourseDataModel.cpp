#include "app/course/QMCourseDataModel.h"

#include <optional>
#include <utility>
#include <vector>

#include "app/course/QMLiveGroupModel.h"
#include "app/course/QMLiveModel.h"
#include "app/helpers/TRValidate.h"
#include "app/network/QMNetworkHelper.h"
#include "app/session/QMUser.h"
#include "app/store/ConsoleLog.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMSeason.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "app/store/ServerValue.h"
#include "platform/foundation/check/Check.h"

namespace app {

namespace {

ns::Value textParameter(const std::optional<std::string>& text) {
  return ns::Value(text.value_or(""));
}

int intOf(const ns::Value* value) {
  return value != nullptr ? value->intValue() : 0;
}

// Runs `each` for every dictionary of the array `list`. Anything else in a reply's list (or a list that is
// not an array) is skipped: a stray entry must not become an object with empty keys.
void forEachDictionary(const ns::Value* list, const std::function<void(const ns::Value&)>& each) {
  if (list == nullptr || !list->isArray()) {
    return;
  }
  for (const ns::Value& entry : list->asArray()) {
    if (entry.isDictionary()) {
      each(entry);
    }
  }
}

void storeLearningSummary(const ns::Value& obj) {
  const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
  user->setRemainderDays(serverText(obj.find("finalDays")));
  user->setServerTime(serverText(obj.find("sysTime")));
  user->setOnLearningSubjectNumber(serverText(obj.find("size")));
  user->setOnLearningProcess(serverText(obj.find("totalProcess")));
}

}  // namespace

std::weak_ptr<QMCourseDataModel> QMCourseDataModel::weakSelf() {
  return std::static_pointer_cast<QMCourseDataModel>(shared_from_this());
}

void QMCourseDataModel::tellDelegate(const std::weak_ptr<QMCourseDataModel>& model,
                                     const std::function<void(QMCourseDataModelDelegate&)>& callback) {
  const std::shared_ptr<QMCourseDataModel> alive = model.lock();
  if (const std::shared_ptr<QMCourseDataModelDelegate> delegate = alive ? alive->delegate() : nullptr) {
    callback(*delegate);
  }
}

void QMCourseDataModel::post(std::string_view path, ns::Dictionary parameters, RefusalToast toast,
                             LoadingIndicator indicator, std::function<void(const ns::Value& obj)> succeeded,
                             Callback failed, std::function<void()> settled) {
  QM_DCHECK_MAIN_THREAD();
  QMAPIRequest::post(path, parameters, toast, indicator,
                     [model = weakSelf(), succeeded = std::move(succeeded), failed,
                      settled = std::move(settled)](const std::optional<ns::Value>& reply) {
                       if (settled) {
                         settled();
                       }
                       if (!reply) {
                         tellDelegate(
                             model, [failed](QMCourseDataModelDelegate& delegate) { (delegate.*failed)(); });
                         return;
                       }
                       const ns::Value* obj = reply->find("obj");
                       succeeded(obj != nullptr ? *obj : ns::Value());
                     });
}

void QMCourseDataModel::networkGetAllSubjectsWithSeason(const std::shared_ptr<QMSeason>& season) {
  QM_DCHECK_MAIN_THREAD();
  const std::optional<ns::URL>& baseURL = QMNetworkHelper::commonServerManager()->baseURL();
  consoleLog(baseURL ? baseURL->absoluteString() : "(null)");
  ns::Dictionary parameters;
  if (season != nullptr) {
    parameters["seasonId"] = textParameter(season->seasonId());
  }
  post(
      kAllSubjectsPath, std::move(parameters), RefusalToast::kShow, LoadingIndicator::kNone,
      [model = weakSelf(), season](const ns::Value& obj) {
        storeLearningSummary(obj);
        QMCoreDataHelper& store = QMCoreDataHelper::sharedInstance();
        std::vector<std::shared_ptr<QMSubject>> subjects;
        forEachDictionary(obj.find("subjects"), [&](const ns::Value& entry) {
          if (std::shared_ptr<QMSubject> subject = store.createSubjectWithDic(entry)) {
            subjects.push_back(std::move(subject));
          }
        });
        std::vector<std::shared_ptr<QMSeason>> seasons;
        forEachDictionary(obj.find("sesaons"), [&](const ns::Value& entry) {
          if (std::shared_ptr<QMSeason> stored = store.createSeasonWithDic(entry)) {
            seasons.push_back(std::move(stored));
          }
        });
        const std::shared_ptr<QMSeason> owner = season != nullptr ? season
                                                : seasons.empty() ? nullptr
                                                                  : seasons.front();
        for (const std::shared_ptr<QMSubject>& subject : subjects) {
          subject->setOwnBySeason(owner);
        }
        tellDelegate(model, [&](QMCourseDataModelDelegate& delegate) {
          delegate.networkGetAllSubjectsSuccess(subjects, seasons);
        });
      },
      &QMCourseDataModelDelegate::networkGetAllSubjectsFailed);
}

void QMCourseDataModel::networkGetLiveCourseWithSeason(const std::shared_ptr<QMSeason>& season,
                                                       int pageNumber) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
  if (!user->isLogin()) {
    return;
  }
  ns::Dictionary parameters{
      {"sid", textParameter(user->userSid())},
      {"page", ns::Value(pageNumber)},
      {"pageSize", ns::Value(kLivePageSize)},
  };
  if (season != nullptr) {
    parameters["seasonId"] = textParameter(season->seasonId());
  }
  post(
      kLiveCoursePath, std::move(parameters), RefusalToast::kShow, LoadingIndicator::kNone,
      [model = weakSelf()](const ns::Value& obj) {
        std::vector<std::shared_ptr<QMLiveGroupModel>> groups;
        forEachDictionary(obj.find("data"), [&](const ns::Value& entry) {
          groups.push_back(QMLiveGroupModel::initWithServerData(entry));
        });
        const int total = intOf(obj.find("totalCount"));
        tellDelegate(model, [&](QMCourseDataModelDelegate& delegate) {
          delegate.networkGetLiveCourseSuccess(groups, total);
        });
      },
      &QMCourseDataModelDelegate::networkGetLiveCourseFailed);
}

void QMCourseDataModel::networkGetLiveParamWith(const std::shared_ptr<QMLiveModel>& live) {
  QM_DCHECK_MAIN_THREAD();
  if (live == nullptr) {
    return;
  }
  const std::shared_ptr<QMLiveGroupModel> group = live->groupModel();
  ns::Dictionary parameters{
      {"sid", textParameter(QMUser::sharedInstance()->userSid())},
      {"type", textParameter(group != nullptr ? group->groupConsumerType() : std::nullopt)},
      {"knowledge_id", textParameter(live->liveID())},
      {"user_type", ns::Value("1")},
  };
  post(
      kLiveParamPath, std::move(parameters), RefusalToast::kShow, LoadingIndicator::kNone,
      [model = weakSelf(), live](const ns::Value& obj) {
        live->setParamWithServerData(obj);
        tellDelegate(model,
                     [](QMCourseDataModelDelegate& delegate) { delegate.networkGetLiveParamSuccess(); });
      },
      &QMCourseDataModelDelegate::networkGetLiveParamFailed);
}

void QMCourseDataModel::networkGetUserProtocolStatus() {
  QM_DCHECK_MAIN_THREAD();
  post(
      kUserProtocolStatusPath, {}, RefusalToast::kShow, LoadingIndicator::kNone,
      [model = weakSelf()](const ns::Value& obj) {
        const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
        const ns::Value* needSign = obj.find("needSign");
        user->setIsNeedSign(needSign != nullptr && needSign->boolValue());
        user->setProtocolID(serverText(obj.find("protocolId")));
        user->setProtocolName(serverText(obj.find("name")));
        user->setProductID(serverText(obj.find("memberProductId")));
        user->setProtocolAddress(serverText(obj.find("signURL")));
        tellDelegate(model, [](QMCourseDataModelDelegate& delegate) {
          delegate.networkGetUserProtocolStatusSuccess();
        });
      },
      &QMCourseDataModelDelegate::networkGetUserProtocolStatusFailed);
}

void QMCourseDataModel::networkSignUserProtocolWithRealName(const std::string& realName,
                                                            const std::string& cardID) {
  QM_DCHECK_MAIN_THREAD();
  if (!QMNetworkHelper::isHaveNetwork()) {
    return;
  }
  const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
  ns::Dictionary parameters{
      {"memberProductId", textParameter(user->productID())},
      {"protocolId", textParameter(user->protocolID())},
      {"name", ns::Value(realName)},
      {"superId", ns::Value(cardID)},
  };
  post(
      kSignUserProtocolPath, std::move(parameters), RefusalToast::kShow, LoadingIndicator::kOnKeyWindow,
      [model = weakSelf()](const ns::Value&) {
        tellDelegate(model,
                     [](QMCourseDataModelDelegate& delegate) { delegate.networkSignProtocolSuccess(); });
      },
      &QMCourseDataModelDelegate::networkSignProtocolFailed);
}

void QMCourseDataModel::networkGetCourseTreeWithStage(const std::shared_ptr<QMStage>& stage) {
  QM_DCHECK_MAIN_THREAD();
  if (!QMNetworkHelper::isHaveNetwork() || stage == nullptr) {
    return;
  }
  post(
      kCourseTreePath, {{"nodeId", textParameter(stage->stageID())}}, RefusalToast::kShow,
      LoadingIndicator::kOnKeyWindow,
      [model = weakSelf(), stage](const ns::Value& obj) {
        const ns::Value* chapters = obj.find("chapters");
        forEachDictionary(chapters, [&](const ns::Value& chapter) {
          QMCoreDataHelper::sharedInstance().createCourseWithDic(chapter, stage);
        });
        tellDelegate(
            model, [&](QMCourseDataModelDelegate& delegate) { delegate.networkGetCourseTreeSuccess(stage); });
      },
      &QMCourseDataModelDelegate::networkGetCourseTreeFailed);
}

void QMCourseDataModel::networkGetServerTime() {
  QM_DCHECK_MAIN_THREAD();
  post(
      kServerTimePath, {}, RefusalToast::kShow, LoadingIndicator::kNone,
      [model = weakSelf()](const ns::Value& obj) {
        const double serverTime = obj.doubleValue();
        tellDelegate(model, [serverTime](QMCourseDataModelDelegate& delegate) {
          if (serverTime > 0) {
            delegate.networkGetServerTimeSuccess(serverTime);
          } else {
            delegate.networkGetServerTimeFailed();
          }
        });
      },
      &QMCourseDataModelDelegate::networkGetServerTimeFailed);
}

void QMCourseDataModel::networkSaveVideoProgress(const std::shared_ptr<QMSubject>& subject) {
  QM_DCHECK_MAIN_THREAD();
  // The network is asked first, so that a missing one is reported even when there is nothing to send.
  if (!QMNetworkHelper::isHaveNetwork() || subject == nullptr) {
    return;
  }
  const std::optional<std::string> progress = subject->onClassProgress();
  // Read as the platform reads a float: a text that does not begin with a number reads 0.
  if (!(ns::Value(progress.value_or("")).floatValue() > 0)) {
    return;
  }
  ns::Dictionary parameters{
      {"nodeId", textParameter(subject->onClassID())},
      {"courseId", textParameter(subject->courseID())},
      {"videoTime", ns::Value(*progress)},
  };
  post(
      kSaveProgressPath, std::move(parameters), RefusalToast::kShow, LoadingIndicator::kNone,
      [model = weakSelf()](const ns::Value&) {
        tellDelegate(model,
                     [](QMCourseDataModelDelegate& delegate) { delegate.networkSaveVideoProgressSuccess(); });
      },
      &QMCourseDataModelDelegate::networkSaveVideoProgressFailed);
}

void QMCourseDataModel::networkGetVideoProgress(const std::shared_ptr<QMSubject>& subject) {
  QM_DCHECK_MAIN_THREAD();
  if (!QMNetworkHelper::isHaveNetwork() || subject == nullptr) {
    return;
  }
  std::pair<const QMSubject*, std::string> key(subject.get(), subject->onClassID().value_or(""));
  if (!progressInFlight_.insert(key).second) {
    return;
  }
  ns::Dictionary parameters{
      {"nodeId", textParameter(subject->onClassID())},
      {"courseId", textParameter(subject->courseID())},
      {"sid", textParameter(QMUser::sharedInstance()->userId())},
  };
  post(
      kGetProgressPath, std::move(parameters), RefusalToast::kQuiet, LoadingIndicator::kNone,
      [model = weakSelf(), subject](const ns::Value& obj) {
        subject->setOnClassProgress(TRValidate::validateString(obj.find("timeRecord")));
        QMCoreDataHelper::sharedInstance().saveContext();
        tellDelegate(model,
                     [](QMCourseDataModelDelegate& delegate) { delegate.networkGetVideoProgressSuccess(); });
      },
      &QMCourseDataModelDelegate::networkGetVideoProgressFailed,
      [model = weakSelf(), key = std::move(key)] {
        if (const std::shared_ptr<QMCourseDataModel> alive = model.lock()) {
          alive->progressInFlight_.erase(key);
        }
      });
}

}  // namespace app
