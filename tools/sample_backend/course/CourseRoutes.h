#pragma once

// The back end's study paths, served from the catalogue's "courses" section (data/README.md) to signed-in
// learners:
//   "/pravik/vestra/getAllSubjectsInfo"      the learning summary, the subjects of the season "seasonId"
//                                            (else of the first season) and every season, under "sesaons"
//                                            (9723 for an unknown season);
//   "/pravik/vestra/getCourseTreeByStageId"  the tree of the stage "nodeId" under "chapters" (9723 for an
//                                            unknown stage);
//   "/pravik/vestra/live"                    page "page" of "pageSize" live groups of the season, under
//                                            "data", with "totalCount" (a picture the back end serves as a
//                                            URL on the request's host);
//   "/product/queryLiveParams"               the entry parameters of the live lesson "knowledge_id" (9711
//                                            for an unknown one);
//   "/pravik/vestra/checkUserProtocolStatus" whether the learner must sign the course agreement, and the
//                                            address of its page (AgreementPage.h) under "signURL";
//   "/pravik/vestra/signUserProtocol"        signs it (9723 for another agreement, 9730 for a blank name,
//                                            9802 for a wrong identity-card number);
//   "/pravik/vestra/saveProcess"             keeps the position "videoTime" of lesson "nodeId" of subject
//                                            "courseId" as the subject's last play, stamped with the server
//                                            time (9723 unknown subject, 9711 no such lesson in it);
//   "/pravik/vestra/getProcess"              the saved position of lesson "nodeId" of subject "courseId" as
//                                            "timeRecord" ("0" when none was saved).
// A required parameter that is missing or malformed is refused with 9801. The server time is served by the
// common routes ("/common/get/time").
//
// Thread-safety: the handlers may run on any thread; what learners save is kept under a lock
// (LearningRecords.h).

#include <memory>

#include "sample_backend/api/ApiRouter.h"
#include "sample_backend/course/LearningRecords.h"

namespace sample_backend::course {

// Adds the study paths to `router`; they keep what learners save in `records`.
void addCourseRoutes(api::ApiRouter& router, const std::shared_ptr<LearningRecords>& records);

}  // namespace sample_backend::course
