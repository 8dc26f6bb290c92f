#include "sample_backend/api/ApiRouter.h"

namespace sample_backend::api {

void ApiRouter::add(std::string path, SessionRule sessionRule,
                    std::function<ApiReply(const RouteContext&)> handler) {
  routes_[std::move(path)] = Route{sessionRule, std::move(handler)};
}

const Route* ApiRouter::find(std::string_view path) const {
  auto found = routes_.find(path);
  return found == routes_.end() ? nullptr : &found->second;
}

}  // namespace sample_backend::api
