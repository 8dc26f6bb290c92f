#pragma once

// The replies of the back end's catalogue paths (CourseRoutes.h): the subjects and seasons with the
// learning summary, a stage's course tree, the live groups and a live lesson's entry parameters.
// Thread-safety: read the catalogue and the records only; safe from any thread.

#include "sample_backend/api/ApiReply.h"
#include "sample_backend/api/ApiRouter.h"
#include "sample_backend/course/LearningRecords.h"

namespace sample_backend::course {

api::ApiReply allSubjectsReply(const api::RouteContext& context, LearningRecords& records);
api::ApiReply courseTreeReply(const api::RouteContext& context);
api::ApiReply liveGroupsReply(const api::RouteContext& context);
api::ApiReply liveParamsReply(const api::RouteContext& context);

}  // namespace sample_backend::course
