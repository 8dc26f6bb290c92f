#include "sample_backend/api/FeedbackRoute.h"

namespace sample_backend::api {

void addFeedbackRoute(ApiRouter& router) {
  router.add(kFeedbackPath, SessionRule::kSignedIn, [](const RouteContext& context) {
    if (!context.request.parameter("errorDescription")) {
      return ApiReply::refusal(kCodeMissingParameter, "missing errorDescription");
    }
    return ApiReply::success(nullptr);
  });
}

}  // namespace sample_backend::api
