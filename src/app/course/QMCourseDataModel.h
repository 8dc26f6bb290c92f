#pragma once

// QMCourseDataModel: the client of the study side of the back end: the subjects and seasons with the
// learning summary, the live groups and a live lesson's entry parameters, the user-agreement status and its
// signing, a stage's course tree, the server time, and a subject's last play position (save and fetch).
//
// Each operation posts the common parameters (QMNetworkHelper::networkCommonParam) through the shared
// manager and judges the reply's "code" first. A refusal shows the client's own text for the code (except
// for the position fetch) and ends in the operation's Failed callback; so does a transport failure, without
// a toast. On success the payload "obj" is written into the session (QMUser) or the store
// (QMCoreDataHelper), or turned into live models, and then the Success callback runs. Operations that ask
// for the network first (signing, course tree, position save and fetch) send nothing and call nothing back
// without one; the request layer then shows "暂无网络,请检查网络".
//
// A reply is written into the session and the store even when the data model has gone by then; only the
// callbacks need it and its delegate alive. The season, stage, live lesson or subject of a request is held
// until its reply. Requests of one data model may overlap; replies arrive in any order.
//
// A text a request needs that the learner or the object lacks (no session id, say) is sent as empty text.
//
// Thread-safety: main thread only; replies come back on the main queue.

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "app/course/QMCourseDataModelDelegate.h"
#include "app/network/QMAPIRequest.h"
#include "platform/foundation/values/Object.h"
#include "platform/foundation/values/Value.h"

namespace app {

class QMLiveModel;
class QMSeason;
class QMStage;
class QMSubject;

class QMCourseDataModel : public ns::Object {
 public:
  static constexpr std::string_view kAllSubjectsPath = "/pravik/vestra/getAllSubjectsInfo";
  static constexpr std::string_view kLiveCoursePath = "/pravik/vestra/live";
  static constexpr std::string_view kLiveParamPath = "/product/queryLiveParams";
  static constexpr std::string_view kUserProtocolStatusPath = "/pravik/vestra/checkUserProtocolStatus";
  static constexpr std::string_view kSignUserProtocolPath = "/pravik/vestra/signUserProtocol";
  static constexpr std::string_view kCourseTreePath = "/pravik/vestra/getCourseTreeByStageId";
  static constexpr std::string_view kServerTimePath = "/common/get/time";
  static constexpr std::string_view kSaveProgressPath = "/pravik/vestra/saveProcess";
  static constexpr std::string_view kGetProgressPath = "/pravik/vestra/getProcess";
  // The number of live groups asked for per page.
  static constexpr int kLivePageSize = 100;

  // REQUIRES: the data model is owned by a std::shared_ptr before its first operation (its replies hold
  // it weakly).
  QMCourseDataModel() = default;

  // The delegate is held weakly; a delegate that has gone hears nothing.
  std::shared_ptr<QMCourseDataModelDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<QMCourseDataModelDelegate> delegate) { delegate_ = std::move(delegate); }

  // Asks for the learner's subjects of `season` ("seasonId"; with nullptr, the back end's choice). On
  // success the summary goes into QMUser (remainderDays "finalDays", serverTime "sysTime",
  // onLearningSubjectNumber "size", onLearningProcess "totalProcess"), every dictionary of "subjects" and
  // of "sesaons" is created or updated in the store, and every stored subject is linked to `season`, or
  // without one to the first stored season (to none when the reply lists no season). Refusals are shown.
  void networkGetAllSubjectsWithSeason(const std::shared_ptr<QMSeason>& season);

  // Asks for page `pageNumber` (kLivePageSize groups) of the live groups, of `season` when one is given.
  // Sends nothing and calls nothing back unless the learner is logged in. On success each entry of
  // "obj"."data" becomes a QMLiveGroupModel; the total is "obj"."totalCount". Refusals are shown.
  void networkGetLiveCourseWithSeason(const std::shared_ptr<QMSeason>& season, int pageNumber);

  // Asks for the entry parameters of `live` ("type" its group's consumer type, "knowledge_id" its liveID);
  // on success they are set on `live` (QMLiveModel::setParamWithServerData). Sends nothing for nullptr.
  // Refusals are shown.
  void networkGetLiveParamWith(const std::shared_ptr<QMLiveModel>& live);

  // Asks whether the learner must sign the course agreement; on success QMUser holds isNeedSign, protocolID,
  // protocolName, productID and protocolAddress (memory only). Refusals are shown.
  void networkGetUserProtocolStatus();

  // Signs the agreement of QMUser's productID and protocolID with the learner's legal name and
  // identity-card number, under a loading indicator on the key window (taken down before the callback).
  // Asks for the network first. Refusals are shown.
  void networkSignUserProtocolWithRealName(const std::string& realName, const std::string& cardID);

  // Asks for the course tree of `stage` ("nodeId" its stageID), under a loading indicator on the key window
  // (taken down before the callback), and stores every node of "obj"."chapters" under the stage with its
  // whole subtree and the lessons' download records. Asks for the network first; sends nothing for nullptr.
  // Refusals are shown.
  void networkGetCourseTreeWithStage(const std::shared_ptr<QMStage>& stage);

  // Asks for the server time. A reply whose "obj" does not read as a time after 1970 (missing, null, not a
  // number) counts as a failure, so that no lesson URL is ever signed with a time of 0. Refusals are shown.
  void networkGetServerTime();

  // Sends `subject`'s last play position ("nodeId" onClassID, "courseId" courseID, "videoTime"
  // onClassProgress as stored). Asks for the network first; then sends nothing for nullptr or for a
  // position that does not read as a number above 0. Refusals are shown.
  void networkSaveVideoProgress(const std::shared_ptr<QMSubject>& subject);

  // Fetches the server's position of `subject`'s last played lesson ("nodeId" onClassID, "courseId"
  // courseID, "sid" the learner's id, which the session id replaces while logged in); on success the
  // subject's onClassProgress = "obj"."timeRecord" (never-missing text) and the store is saved. Asks for the
  // network first; sends nothing for nullptr, nor while this model's request for the same subject and lesson
  // is on its way (every subject list posts a fetch for each subject it moved, and one answer serves them
  // all). Refusals are not shown.
  void networkGetVideoProgress(const std::shared_ptr<QMSubject>& subject);

 private:
  using RefusalToast = QMAPIRequest::RefusalToast;
  using LoadingIndicator = QMAPIRequest::LoadingIndicator;
  using Callback = void (QMCourseDataModelDelegate::*)();

  // Posts `parameters` and the common ones to `path`. Runs `succeeded` with the reply's "obj" (null when it
  // has none) when the code is 0, else calls back `failed` through the delegate. `settled`, when given, runs
  // first in either case, even when the model is gone.
  void post(std::string_view path, ns::Dictionary parameters, RefusalToast toast, LoadingIndicator indicator,
            std::function<void(const ns::Value& obj)> succeeded, Callback failed,
            std::function<void()> settled = {});

  // Runs `callback` on the delegate of `model`, when both are still there.
  static void tellDelegate(const std::weak_ptr<QMCourseDataModel>& model,
                           const std::function<void(QMCourseDataModelDelegate&)>& callback);
  std::weak_ptr<QMCourseDataModel> weakSelf();

  std::weak_ptr<QMCourseDataModelDelegate> delegate_;
  // The subjects (and their lessons) whose server position is on its way.
  std::set<std::pair<const QMSubject*, std::string>> progressInFlight_;
};

}  // namespace app
