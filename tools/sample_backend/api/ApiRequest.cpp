#include "sample_backend/api/ApiRequest.h"

#include <algorithm>
#include <cctype>

namespace sample_backend::api {

std::optional<std::string> ApiRequest::header(std::string_view name) const {
  std::string lowered(name);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  auto found = headers.find(lowered);
  if (found == headers.end()) {
    return std::nullopt;
  }
  return found->second;
}

std::optional<std::string> ApiRequest::parameter(std::string_view key) const {
  auto found = parameters.find(key);
  if (found == parameters.end()) {
    return std::nullopt;
  }
  return found->second;
}

}  // namespace sample_backend::api
