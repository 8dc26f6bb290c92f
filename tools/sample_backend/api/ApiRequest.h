#pragma once

// sample_backend::api::ApiRequest: one request to the JSON API as the back end received it, and the record
// that tests read back: its path, header fields and decoded form parameters, and how it was answered.
// Thread-safe as a value.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sample_backend::api {

struct ApiRequest {
  std::string method;
  // The request target without its query.
  std::string path;
  // Header fields by name, lower-cased; a repeated field keeps its last value.
  std::map<std::string, std::string, std::less<>> headers;
  // The form-encoded body, decoded; a repeated key keeps its last value.
  std::map<std::string, std::string, std::less<>> parameters;

  // Returns the header `name` (any letter case), or std::nullopt.
  std::optional<std::string> header(std::string_view name) const;
  // Returns the parameter `key`, or std::nullopt.
  std::optional<std::string> parameter(std::string_view key) const;
};

struct RecordedApiRequest {
  ApiRequest request;
  // The reply's code, or std::nullopt when the connection was cut or the path is unknown.
  std::optional<int> code;
  // Why the request was refused before its route ran ("sign mismatch", "missing header imei", ...); empty
  // when it passed every check.
  std::string refusal;
};

}  // namespace sample_backend::api
