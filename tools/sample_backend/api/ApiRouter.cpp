#include "sample_backend/api/ApiRouter.h"

namespace sample_backend::api {

void ApiRouter::add(std::string path, SessionRule sessionRule,
                    std::function<ApiReply(const RouteContext&)> handler) {
  ns::MutexLock lock(mutex_);
  routes_[std::move(path)] = Route{sessionRule, std::move(handler)};
}

std::optional<Route> ApiRouter::find(std::string_view path) const {
  ns::MutexLock lock(mutex_);
  auto found = routes_.find(path);
  if (found == routes_.end()) {
    return std::nullopt;
  }
  return found->second;
}

}  // namespace sample_backend::api
