#include "sample_backend/course/CourseRoutes.h"

#include <memory>

#include "sample_backend/course/LearnerReplies.h"
#include "sample_backend/course/StudyReplies.h"

namespace sample_backend::course {

void addCourseRoutes(api::ApiRouter& router, const std::shared_ptr<LearningRecords>& records) {
  using api::RouteContext;
  using api::SessionRule;
  router.add("/pravik/vestra/getAllSubjectsInfo", SessionRule::kSignedIn,
             [records](const RouteContext& context) { return allSubjectsReply(context, *records); });
  router.add("/pravik/vestra/getCourseTreeByStageId", SessionRule::kSignedIn, courseTreeReply);
  router.add("/pravik/vestra/live", SessionRule::kSignedIn, liveGroupsReply);
  router.add("/product/queryLiveParams", SessionRule::kSignedIn, liveParamsReply);
  router.add("/pravik/vestra/checkUserProtocolStatus", SessionRule::kSignedIn,
             [records](const RouteContext& context) { return agreementStatusReply(context, *records); });
  router.add("/pravik/vestra/signUserProtocol", SessionRule::kSignedIn,
             [records](const RouteContext& context) { return signAgreementReply(context, *records); });
  router.add("/pravik/vestra/saveProcess", SessionRule::kSignedIn,
             [records](const RouteContext& context) { return saveProgressReply(context, *records); });
  router.add("/pravik/vestra/getProcess", SessionRule::kSignedIn,
             [records](const RouteContext& context) { return progressReply(context, *records); });
}

}  // namespace sample_backend::course
