#pragma once

// QMCourseDataModelDelegate: what a QMCourseDataModel tells the screen (or the download manager) that made
// it, one Success or Failed callback per operation. Every callback is optional: the defaults do nothing, so
// a delegate that does not override one does not hear of it. Callbacks run on the main thread, after the
// reply has been written into the session or the store.
//
// Thread-safety: main thread only.

#include <memory>
#include <vector>

namespace app {

class QMLiveGroupModel;
class QMSeason;
class QMStage;
class QMSubject;

class QMCourseDataModelDelegate {
 public:
  virtual ~QMCourseDataModelDelegate() = default;

  // The stored subjects and seasons, in reply order.
  virtual void networkGetAllSubjectsSuccess(const std::vector<std::shared_ptr<QMSubject>>& /*subjects*/,
                                            const std::vector<std::shared_ptr<QMSeason>>& /*seasonArray*/) {}
  virtual void networkGetAllSubjectsFailed() {}

  // The page's live groups, in reply order, and the total number of groups the back end holds.
  virtual void networkGetLiveCourseSuccess(const std::vector<std::shared_ptr<QMLiveGroupModel>>& /*groups*/,
                                           int /*sumNumber*/) {}
  virtual void networkGetLiveCourseFailed() {}

  // The live lesson of the request now holds its entry parameters.
  virtual void networkGetLiveParamSuccess() {}
  virtual void networkGetLiveParamFailed() {}

  // The stage whose course tree was stored.
  virtual void networkGetCourseTreeSuccess(const std::shared_ptr<QMStage>& /*stage*/) {}
  virtual void networkGetCourseTreeFailed() {}

  // The server's time in seconds since 1970.
  virtual void networkGetServerTimeSuccess(double /*serverTime*/) {}
  virtual void networkGetServerTimeFailed() {}

  // QMUser now holds the agreement status.
  virtual void networkGetUserProtocolStatusSuccess() {}
  virtual void networkGetUserProtocolStatusFailed() {}

  virtual void networkSignProtocolSuccess() {}
  virtual void networkSignProtocolFailed() {}

  virtual void networkSaveVideoProgressSuccess() {}
  virtual void networkSaveVideoProgressFailed() {}

  // The subject of the request now holds the server's play position, saved.
  virtual void networkGetVideoProgressSuccess() {}
  virtual void networkGetVideoProgressFailed() {}
};

}  // namespace app
