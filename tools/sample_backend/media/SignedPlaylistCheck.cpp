#include "sample_backend/media/SignedPlaylistCheck.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "sample_backend/api/RequestSign.h"

namespace sample_backend::media {
namespace {

constexpr int kCodeNoSuchVideo = 9711;

using Query = std::map<std::string, std::string, std::less<>>;

std::optional<std::string> valueOf(const Query& query, std::string_view key) {
  const auto found = query.find(key);
  return found == query.end() ? std::nullopt : std::optional<std::string>(found->second);
}

// The signed time is the server time's decimal text: digits, perhaps with a fraction.
std::optional<double> signedSeconds(std::string_view text) {
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? "1" : text.substr(point + 1);
  const auto isDigits = [](std::string_view part) {
    return !part.empty() &&
           std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!isDigits(whole) || !isDigits(fraction)) {
    return std::nullopt;
  }
  return std::strtod(std::string(text).c_str(), nullptr);
}

bool isWithinWindow(std::string_view signedTime, std::int64_t serverTime) {
  const std::optional<double> seconds = signedSeconds(signedTime);
  return seconds && std::fabs(*seconds - static_cast<double>(serverTime)) <=
                        static_cast<double>(kSignedPlaylistWindow.count());
}

// Video ids are letters, digits, "-" and "_", so that they stand in paths and queries unescaped.
bool isVideoId(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_';
  });
}

std::optional<api::ApiReply> checkSession(const Query& query, const api::SessionRegistry& sessions) {
  const api::SessionRegistry::Lookup session = sessions.lookup(valueOf(query, "sid").value_or(""));
  if (session.state != api::SessionRegistry::State::kLive) {
    return api::ApiReply::refusal(api::kCodeSessionInvalid, "no live session");
  }
  if (valueOf(query, "userId") != session.userId) {
    return api::ApiReply::refusal(api::kCodeNotSignedIn, "userId is not the session's learner");
  }
  return std::nullopt;
}

}  // namespace

std::optional<api::ApiReply> checkSignedPlaylistRequest(const Query& query,
                                                        const api::SampleCatalogue& catalogue,
                                                        const api::SessionRegistry& sessions,
                                                        std::int64_t serverTime) {
  const std::optional<std::string> appId = valueOf(query, "app_id");
  const std::optional<std::string> sign = valueOf(query, "sign");
  if (!appId || !sign) {
    return api::ApiReply::refusal(api::kCodeMissingParameter, !appId ? "missing app_id" : "missing sign");
  }
  const api::CatalogueApplication& application = catalogue.application();
  if (*appId != application.appId) {
    return api::ApiReply::refusal(api::kCodeUnknownApplication, "unknown app_id " + *appId);
  }
  if (*sign != api::computeRequestSign(query, application.signingKey)) {
    return api::ApiReply::refusal(api::kCodeInternalError, "sign mismatch");
  }
  if (!isWithinWindow(valueOf(query, "time").value_or(""), serverTime)) {
    return api::ApiReply::refusal(api::kCodeInternalError, "time outside the window");
  }
  if (std::optional<api::ApiReply> refusal = checkSession(query, sessions)) {
    return refusal;
  }
  if (!isVideoId(valueOf(query, "videoId").value_or(""))) {
    return api::ApiReply::refusal(kCodeNoSuchVideo, "no such videoId");
  }
  return std::nullopt;
}

}  // namespace sample_backend::media
