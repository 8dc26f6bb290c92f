#pragma once

// The checks every request to the JSON API passes before its route runs, in this order:
//   1. "app_id" and "sign" are present (else 9801);
//   2. "app_id" is the catalogue's application id (else 9701);
//   3. "sign" is the sign of the other parameters (RequestSign.h; else 9999, "sign mismatch");
//   4. the common headers are as the client sends them (CommonHeaderCheck.h; else 9801);
//   5. a non-empty "sid" names a live session (else 9708, also for a session displaced by a newer login),
//      and a route that needs a signed-in learner gets one (else 9703).
// Thread-safe: reads the catalogue and the sessions only.

#include <optional>
#include <string>

#include "sample_backend/api/ApiReply.h"
#include "sample_backend/api/ApiRequest.h"
#include "sample_backend/api/ApiRouter.h"
#include "sample_backend/api/SampleCatalogue.h"
#include "sample_backend/api/SessionRegistry.h"

namespace sample_backend::api {

struct CheckOutcome {
  // The reply of a refused request; std::nullopt when every check passed.
  std::optional<ApiReply> refusal;
  // The learner of the request's live session, when it carries one.
  std::optional<std::string> userId;
};

CheckOutcome checkRequest(const ApiRequest& request, const SampleCatalogue& catalogue,
                          const SessionRegistry& sessions, SessionRule sessionRule);

}  // namespace sample_backend::api
