// The sample back end's video service as the download manager meets it; its faults are met on the road.

#include <gtest/gtest.h>

#include "learning/downloads/ZBM3U8.h"
#include "platform/foundation/crypto/Aes128Cbc.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/net/PercentEscaping.h"
#include "sample_backend/api/RequestSign.h"
#include "sample_backend/media/LessonEncoding.h"
#include "sample_backend/media/MediaPaths.h"
#include "sample_backend/media/MediaService.h"

namespace learning {

namespace {

namespace api = sample_backend::api;
namespace media = sample_backend::media;
using media::MediaReply;
using Query = std::map<std::string, std::string, std::less<>>;

constexpr std::int64_t kServerTime = 1700000000;
constexpr std::string_view kHost = "127.0.0.1:8000";

class SampleMedia : public ::testing::Test {
 protected:
  SampleMedia() { api_->controls().fixServerTime(kServerTime); }

  // The download manager's playlist request, with `signedChanges` made before signing, `forgedChanges` after.
  std::string playlistTarget(const Query& signedChanges = {}, const Query& forgedChanges = {}) {
    Query query = signedChanges;
    query.insert({{"sid", sid_},
                  {"videoId", "v42"},
                  {"time", std::to_string(kServerTime)},
                  {"userId", learnerId_},
                  {"app_id", "83"},
                  {"bizKeys", "userId,courseId,nodeId"},
                  {"os_type", "ios_phone_9.3"}});
    query["sign"] = api::computeRequestSign(query, api_->catalogue().application().signingKey);
    for (const auto& [key, value] : forgedChanges) {
      query[key] = value;
    }
    std::string text(media::kSignedPlaylistPath);
    for (const auto& [key, value] : query) {
      text += (text.find('?') == std::string::npos ? "?" : "&") + key + "=" + ns::percentEscape(value, "");
    }
    return text;
  }

  MediaReply get(const std::string& target) { return media_->answer("GET", target, kHost); }

  std::shared_ptr<api::ApiService> api_ = std::make_shared<api::ApiService>(
      api::SampleCatalogue::fromFile(api::SampleCatalogue::defaultPath()).value());
  std::shared_ptr<media::MediaService> media_ = std::make_shared<media::MediaService>(
      api_, media::MediaLibrary::make({.segmentCount = 3, .segmentDuration = 0.4}).value());
  std::string learnerId_ = api_->catalogue().section("learners").at(0).value("userId", "");
  std::string sid_ = api_->sessions().openSession(learnerId_);
};

TEST_F(SampleMedia, RefusesPlaylistRequestsThatFailTheirChecks) {
  // Beyond the signed 50 characters a value may change and the request stays valid.
  const std::string longValue(60, 'x');
  EXPECT_EQ(get(playlistTarget({{"os_type", longValue}}, {{"os_type", longValue.substr(1) + "y"}})).status,
            200u);
  EXPECT_EQ(get(playlistTarget({{"time", std::to_string(kServerTime - 600)}})).status, 200u);
  const std::vector<std::string> refused = {
      playlistTarget({}, {{"videoId", "v43"}}),
      playlistTarget({{"time", std::to_string(kServerTime - 601)}}),
      playlistTarget({{"time", std::to_string(kServerTime + 601)}}),
      playlistTarget({{"time", "0x6553F100"}}),
      playlistTarget({{"app_id", "84"}}),
      playlistTarget({{"sid", "0123"}}),
      playlistTarget({{"userId", "someone-else"}}),
      playlistTarget({{"videoId", "../v42"}}),
  };
  for (const std::string& target : refused) {
    const MediaReply reply = get(target);
    EXPECT_EQ(reply.status, 403u) << target;
    EXPECT_EQ(reply.contentType, "application/json;charset=UTF-8") << target;
  }
  EXPECT_EQ(media_->recordedRequests().at(2).refusal, "sign mismatch");
}

// The playlist and its segments, with their exact types; the segments decrypt under K.bin to MPEG-TS.
TEST_F(SampleMedia, ASignedRequestGetsThePlaylistWithItsExactType) {
  const MediaReply reply = get(playlistTarget());
  EXPECT_EQ(reply.status, 200u);
  EXPECT_EQ(reply.contentType, "application/x-mpegURL;charset=utf-8");
  const auto playlist = ZBM3U8::decodeM3U8IndexContext(reply.body);
  ASSERT_TRUE(playlist.has_value());
  EXPECT_EQ(playlist->method(), "AES-128");
  ASSERT_EQ(playlist->tsURIs().size(), 3u);
  const ns::Data key = *ns::FileManager::defaultManager().contentsAtPath(
      *ns::Bundle::mainBundle()->pathForResource("K", "bin"));
  ns::Data iv;
  for (std::size_t i = 2; i < playlist->iv()->size(); i += 2) {
    iv.push_back(static_cast<std::uint8_t>(std::stoi(playlist->iv()->substr(i, 2), nullptr, 16)));
  }
  for (std::size_t index = 0; index < 3; ++index) {
    const std::string target = "/media/v42/seg" + std::to_string(index) + ".ts?videoId=v42&t=1700000000";
    EXPECT_EQ(playlist->tsURIs()[index], "http://127.0.0.1:8000" + target);
    const MediaReply segment = get(target);
    ASSERT_EQ(segment.status, 200u);
    EXPECT_EQ(segment.contentType, "video/MP2T");
    const ns::Result<ns::Data> plain = ns::aes128CbcDecrypt(key, iv, ns::dataFromString(segment.body));
    ASSERT_TRUE(plain.ok());
    ASSERT_FALSE(plain->empty());
    ASSERT_EQ(plain->size() % media::kTransportPacketSize, 0u);
    for (std::size_t packet = 0; packet < plain->size(); packet += media::kTransportPacketSize) {
      EXPECT_EQ((*plain)[packet], media::kTransportSyncByte);
    }
    EXPECT_EQ(*plain, media_->library().plainSegment(index));
  }
  EXPECT_NE(media_->library().plainSegment(0), media_->library().plainSegment(1));
  EXPECT_EQ(get(media::segmentPath("v42", 3)).status, 404u);
  EXPECT_EQ(media_->answer("POST", media::segmentPath("v42", 0), kHost).status, 405u);
}

}  // namespace

}  // namespace learning
