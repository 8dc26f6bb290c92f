#pragma once

// The back end's common paths:
//   "/common/baselogin"  "username" and the Base64 "password" of a catalogue learner: opens a session and
//                        answers the top-level "userId", "userName" and "sid" (9702 for an unknown name,
//                        9706 for a wrong password, 9801 when either is missing);
//   "/common/get/time"   the server time in seconds since 1970 under "obj";
//   "/app/latest_ver"    the catalogue's "latestVersion" ("downloadPath", "status", "forceUpdateStatus").
// All three are open to callers without a session.
// Thread-safety: the handlers may run on any thread; they share state only through the session registry and
// the test controls, which lock.

#include "sample_backend/api/ApiRouter.h"

namespace sample_backend::api {

void addCommonRoutes(ApiRouter& router);

}  // namespace sample_backend::api
