#pragma once

// The back end's feedback path: "/app/insertfeedback" takes a signed-in learner's feedback under
// "errorDescription" (9801 when it is missing) and answers code 0 with no "obj". The back end keeps the
// feedback only in its request record, which tests read (ApiService::recordedRequests()).
// Thread-safety: the handler may run on any thread; it keeps no state.

#include "sample_backend/api/ApiRouter.h"

namespace sample_backend::api {

inline constexpr char kFeedbackPath[] = "/app/insertfeedback";

void addFeedbackRoute(ApiRouter& router);

}  // namespace sample_backend::api
