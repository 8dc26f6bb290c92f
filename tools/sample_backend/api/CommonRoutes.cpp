#include "sample_backend/api/CommonRoutes.h"

#include <openssl/evp.h>

#include <string>
#include <vector>

#include "sample_backend/api/SampleCatalogue.h"
#include "sample_backend/api/SessionRegistry.h"
#include "sample_backend/api/TestControls.h"

namespace sample_backend::api {
namespace {

std::string base64(const std::string& text) {
  std::vector<unsigned char> encoded(4 * ((text.size() + 2) / 3) + 1);
  const int length = EVP_EncodeBlock(encoded.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<int>(text.size()));
  return std::string(reinterpret_cast<const char*>(encoded.data()), static_cast<std::size_t>(length));
}

ApiReply login(const RouteContext& context) {
  const std::optional<std::string> userName = context.request.parameter("username");
  const std::optional<std::string> password = context.request.parameter("password");
  if (!userName || !password) {
    return ApiReply::refusal(kCodeMissingParameter, "missing username or password");
  }
  const nlohmann::json* learner = context.catalogue.learnerNamed(*userName);
  if (learner == nullptr) {
    return ApiReply::refusal(kCodeNoSuchUser, "no learner named " + *userName);
  }
  if (base64(learner->value("password", "")) != *password) {
    return ApiReply::refusal(kCodeWrongPassword, "wrong password");
  }
  const std::string userId = learner->value("userId", "");
  ApiReply reply = ApiReply::success(nullptr);
  reply.topLevel = {
      {"userId", userId},
      {"userName", *userName},
      {"sid", context.sessions.openSession(userId)},
  };
  return reply;
}

ApiReply serverTime(const RouteContext& context) {
  return ApiReply::success(context.controls.serverTime());
}

ApiReply latestVersion(const RouteContext& context) {
  const nlohmann::json& version = context.catalogue.section("latestVersion");
  if (!version.is_object()) {
    return ApiReply::refusal(kCodeInternalError, "the catalogue has no latestVersion");
  }
  return ApiReply::success({
      {"downloadPath", version.value("downloadPath", "")},
      {"status", version.value("status", 1)},
      {"forceUpdateStatus", version.value("forceUpdateStatus", 1)},
  });
}

}  // namespace

void addCommonRoutes(ApiRouter& router) {
  router.add("/common/baselogin", SessionRule::kOpen, login);
  router.add("/common/get/time", SessionRule::kOpen, serverTime);
  router.add("/app/latest_ver", SessionRule::kOpen, latestVersion);
}

}  // namespace sample_backend::api
