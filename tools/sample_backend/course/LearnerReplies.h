#pragma once

// The replies of the back end's paths that keep what a learner does (CourseRoutes.h): the course agreement
// (status and signing) and the play positions (save and fetch).
// Thread-safety: safe from any thread; the records lock.

#include "sample_backend/api/ApiReply.h"
#include "sample_backend/api/ApiRouter.h"
#include "sample_backend/course/LearningRecords.h"

namespace sample_backend::course {

api::ApiReply agreementStatusReply(const api::RouteContext& context, const LearningRecords& records);
api::ApiReply signAgreementReply(const api::RouteContext& context, LearningRecords& records);
api::ApiReply saveProgressReply(const api::RouteContext& context, LearningRecords& records);
api::ApiReply progressReply(const api::RouteContext& context, LearningRecords& records);

// Hands the catalogue's "learning" entries to `records`, the first time only.
void seedLearningRecords(const api::RouteContext& context, LearningRecords& records);

}  // namespace sample_backend::course
