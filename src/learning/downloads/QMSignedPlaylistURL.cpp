#include "learning/downloads/QMSignedPlaylistURL.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "app/network/QMNetworkHelper.h"
#include "app/network/QMServerHosts.h"
#include "app/session/QMUser.h"
#include "app/store/QMCourse.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/net/PercentEscaping.h"
#include "platform/uikit/app/Device.h"

namespace learning {

namespace {

constexpr std::string_view kPlaylistServicePath = "/class/video/get/m3u8/v2";

using QueryPair = std::pair<std::string, ns::Value>;

void appendIfPresent(std::vector<QueryPair>& pairs, std::string key,
                     const std::optional<std::string>& value) {
  if (value) {
    pairs.emplace_back(std::move(key), *value);
  }
}

std::optional<std::string> bundleShortVersion() {
  const ns::Value* version =
      ns::Bundle::mainBundle()->objectForInfoDictionaryKey("CFBundleShortVersionString");
  return version == nullptr ? std::nullopt : std::optional<std::string>(ns::describe(*version));
}

// The server time as the number's text shows it: a whole number of seconds without a fraction.
ns::Value timeValue(double serverTime) {
  constexpr double kLargestWhole = 9007199254740992.0;  // 2^53: every whole double up to it is exact
  if (std::floor(serverTime) == serverTime && std::fabs(serverTime) <= kLargestWhole) {
    return static_cast<std::int64_t>(serverTime);
  }
  return serverTime;
}

// The query's pairs in the order in which the URL writes them; "sign" is added last.
std::vector<QueryPair> unsignedPairs(const app::QMCourse& lesson, double serverTime,
                                     QMSignedPlaylistURL::Use use) {
  app::QMUser& user = *app::QMUser::sharedInstance();
  std::vector<QueryPair> pairs;
  appendIfPresent(pairs, "sid", user.userSid());
  appendIfPresent(pairs, "videoId", lesson.videoID());
  pairs.emplace_back("consumerType", "1002001");
  pairs.emplace_back("time", timeValue(serverTime));
  pairs.emplace_back("bizKeys", "userId,courseId,nodeId,videoId,isFree,isRecommend");
  appendIfPresent(pairs, "userId", user.userId());
  pairs.emplace_back("courseId", "");
  appendIfPresent(pairs, "nodeId", lesson.courseID());
  pairs.emplace_back("isRecommend", false);
  pairs.emplace_back("isFree", false);
  pairs.emplace_back("url", "");
  pairs.emplace_back("isTry", "false");
  pairs.emplace_back("fileType", "");
  pairs.emplace_back("m3u8Host", "");
  pairs.emplace_back("keyVersion", "");
  pairs.emplace_back("encrypt", "false");
  pairs.emplace_back("online", use == QMSignedPlaylistURL::Use::kOnlinePlay ? "true" : "false");
  pairs.emplace_back("hlsOptionsKey", "playerVersion,videoType");
  pairs.emplace_back("playerVersion", "2.0");
  pairs.emplace_back("videoType", "2");
  pairs.emplace_back("app_id", app::kQMApplicationId);
  pairs.emplace_back("os_type", "ios_phone_" + uikit::Device::currentDevice().systemVersion());
  appendIfPresent(pairs, "version", bundleShortVersion());
  return pairs;
}

}  // namespace

std::string QMSignedPlaylistURL::m3u8VideoURLWithServerTime(const app::QMCourse& lesson, double serverTime,
                                                            Use use) {
  QM_DCHECK_MAIN_THREAD();
  std::vector<QueryPair> pairs = unsignedPairs(lesson, serverTime, use);
  const ns::Dictionary signedParameters(pairs.begin(), pairs.end());
  appendIfPresent(pairs, "sign", app::QMNetworkHelper::networkSignParam(signedParameters));

  std::string url = "http://" + app::QMServerHosts::publicWebHost() + std::string(kPlaylistServicePath);
  char separator = '?';
  for (const auto& [key, value] : pairs) {
    url.push_back(separator);
    separator = '&';
    url.append(ns::percentEscape(key, ns::kURLUnreservedPunctuation)).push_back('=');
    url.append(ns::percentEscape(ns::describe(value), ns::kURLUnreservedPunctuation));
  }
  return url;
}

}  // namespace learning
