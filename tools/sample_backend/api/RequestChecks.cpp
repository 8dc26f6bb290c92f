#include "sample_backend/api/RequestChecks.h"

#include "sample_backend/api/CommonHeaderCheck.h"
#include "sample_backend/api/RequestSign.h"

namespace sample_backend::api {
namespace {

CheckOutcome refused(int code, std::string message) {
  return {ApiReply::refusal(code, std::move(message)), std::nullopt};
}

CheckOutcome checkSession(const ApiRequest& request, const SessionRegistry& sessions,
                          SessionRule sessionRule) {
  const std::optional<std::string> sessionId = request.parameter("sid");
  if (!sessionId || sessionId->empty()) {
    if (sessionRule == SessionRule::kSignedIn) {
      return refused(kCodeNotSignedIn, "not signed in");
    }
    return {};
  }
  const SessionRegistry::Lookup session = sessions.lookup(*sessionId);
  switch (session.state) {
    case SessionRegistry::State::kLive:
      return {std::nullopt, session.userId};
    case SessionRegistry::State::kDisplaced:
      return refused(kCodeSessionInvalid, "session displaced by a newer login");
    case SessionRegistry::State::kUnknown:
      break;
  }
  return refused(kCodeSessionInvalid, "unknown session");
}

}  // namespace

CheckOutcome checkRequest(const ApiRequest& request, const SampleCatalogue& catalogue,
                          const SessionRegistry& sessions, SessionRule sessionRule) {
  const std::optional<std::string> appId = request.parameter("app_id");
  const std::optional<std::string> sign = request.parameter("sign");
  if (!appId || !sign) {
    return refused(kCodeMissingParameter, !appId ? "missing app_id" : "missing sign");
  }
  const CatalogueApplication& application = catalogue.application();
  if (*appId != application.appId) {
    return refused(kCodeUnknownApplication, "unknown app_id " + *appId);
  }
  if (*sign != computeRequestSign(request.parameters, application.signingKey)) {
    return refused(kCodeInternalError, "sign mismatch");
  }
  if (std::optional<std::string> fault = findCommonHeaderFault(request, application)) {
    return refused(kCodeMissingParameter, *fault);
  }
  return checkSession(request, sessions, sessionRule);
}

}  // namespace sample_backend::api
