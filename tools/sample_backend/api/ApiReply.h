#pragma once

// sample_backend::api::ApiReply: the JSON envelope the back end answers with: an integer "code" (0 for
// success, else a code of the client's error table), the server's own "message", the payload under "obj",
// and any top-level members a route adds (the login's "sid", say).
// Thread-safe as a value.

#include <nlohmann/json.hpp>
#include <string>

#include "sample_backend/api/TestControls.h"

namespace sample_backend::api {

// The codes the back end itself answers with; routes use the rest of the table as they need.
inline constexpr int kCodeSuccess = 0;
inline constexpr int kCodeUnknownApplication = 9701;
inline constexpr int kCodeNoSuchUser = 9702;
inline constexpr int kCodeNotSignedIn = 9703;
inline constexpr int kCodeWrongPassword = 9706;
inline constexpr int kCodeSessionInvalid = 9708;
inline constexpr int kCodeMissingParameter = 9801;
inline constexpr int kCodeInternalError = 9999;

struct ApiReply {
  int code = kCodeSuccess;
  std::string message = "ok";
  // Left out of the reply when null.
  nlohmann::json obj;
  // Members added beside "code", "message" and "obj".
  nlohmann::json topLevel = nlohmann::json::object();

  static ApiReply success(nlohmann::json obj) {
    return {kCodeSuccess, "ok", std::move(obj), nlohmann::json::object()};
  }
  static ApiReply refusal(int code, std::string message) {
    return {code, std::move(message), nullptr, nlohmann::json::object()};
  }

  // Returns the reply as JSON text with its code in `form`.
  std::string body(CodeForm form) const;
};

}  // namespace sample_backend::api
