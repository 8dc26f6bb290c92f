#pragma once

// sample_backend::api::ApiRouter: the paths the back end serves, each with whether it needs a signed-in
// learner and the handler that answers it. Route sets (CommonRoutes.h and those of later areas) add their
// paths before the server starts.
//
// Thread-safety: thread-safe; a test may replace a route while the server answers another request of it.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/check/Mutex.h"
#include "sample_backend/api/ApiReply.h"
#include "sample_backend/api/ApiRequest.h"

namespace sample_backend::api {

class SampleCatalogue;
class SessionRegistry;
class TestControls;

enum class SessionRule {
  // Anyone may call the path; a session id that is sent must still be live.
  kOpen,
  // The request must carry the live session id of a learner.
  kSignedIn,
};

// What a handler sees of one request and of the back end.
struct RouteContext {
  const ApiRequest& request;
  const SampleCatalogue& catalogue;
  SessionRegistry& sessions;
  const TestControls& controls;
  // The learner of the request's live session, when it carries one.
  std::optional<std::string> userId;
};

struct Route {
  SessionRule sessionRule = SessionRule::kOpen;
  std::function<ApiReply(const RouteContext&)> handler;
};

class ApiRouter {
 public:
  // Adds or replaces the route of `path`.
  void add(std::string path, SessionRule sessionRule, std::function<ApiReply(const RouteContext&)> handler);
  // Returns a copy of the route of `path`, or nullopt.
  std::optional<Route> find(std::string_view path) const;

 private:
  mutable ns::Mutex mutex_;
  std::map<std::string, Route, std::less<>> routes_ QM_GUARDED_BY(mutex_);
};

}  // namespace sample_backend::api
