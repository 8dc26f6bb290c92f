// The sample back end's video service as the download manager meets it: the signed playlist check, the
// exact reply types, and real MPEG-TS under the bundle's key. Its faults are met on the wire, in the
// download manager's failure tests.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "learning/downloads/ZBM3U8.h"
#include "platform/foundation/crypto/Aes128Cbc.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/net/PercentEscaping.h"
#include "sample_backend/api/RequestSign.h"
#include "sample_backend/media/MediaPaths.h"
#include "sample_backend/media/MediaService.h"
#include "sample_backend/media/TransportStream.h"

namespace {

using sample_backend::media::MediaReply;
using sample_backend::media::MediaService;
using Query = std::map<std::string, std::string, std::less<>>;

constexpr std::int64_t kServerTime = 1700000000;
constexpr std::string_view kHost = "127.0.0.1:8000";

class SampleMedia : public ::testing::Test {
 protected:
  SampleMedia() {
    ns::Result<sample_backend::api::SampleCatalogue> catalogue =
        sample_backend::api::SampleCatalogue::fromFile(sample_backend::api::SampleCatalogue::defaultPath());
    api_ = std::make_shared<sample_backend::api::ApiService>(std::move(catalogue).value());
    api_->controls().fixServerTime(kServerTime);
    learnerId_ = api_->catalogue().section("learners").at(0).value("userId", "");
    sid_ = api_->sessions().openSession(learnerId_);
    sample_backend::media::MediaOptions options;
    options.segmentCount = 3;
    options.packetsPerSegment = 20;
    media_ = std::make_shared<MediaService>(api_, sample_backend::media::MediaLibrary::make(options).value());
  }

  // The query the download manager signs, with `changes` applied before signing.
  Query playlistQuery(const Query& changes = {}) {
    Query query = changes;
    query.insert({{"sid", sid_},
                  {"videoId", "v42"},
                  {"time", std::to_string(kServerTime)},
                  {"userId", learnerId_},
                  {"app_id", "83"},
                  {"bizKeys", "userId,courseId,nodeId"},
                  {"os_type", "ios_phone_9.3"}});
    query["sign"] =
        sample_backend::api::computeRequestSign(query, api_->catalogue().application().signingKey);
    return query;
  }

  static std::string target(const Query& query) {
    std::string text(sample_backend::media::kSignedPlaylistPath);
    for (const auto& [key, value] : query) {
      text += (text.find('?') == std::string::npos ? "?" : "&") + key + "=" + ns::percentEscape(value, "");
    }
    return text;
  }

  MediaReply get(const std::string& target) { return media_->answer("GET", target, kHost); }

  std::shared_ptr<sample_backend::api::ApiService> api_;
  std::shared_ptr<MediaService> media_;
  std::string learnerId_;
  std::string sid_;
};

TEST_F(SampleMedia, ASignedRequestGetsThePlaylistWithItsExactType) {
  const MediaReply reply = get(target(playlistQuery()));
  EXPECT_EQ(reply.status, 200u);
  EXPECT_EQ(reply.contentType, "application/x-mpegURL;charset=utf-8");
  const auto playlist = ZBM3U8::decodeM3U8IndexContext(reply.body);
  ASSERT_TRUE(playlist.has_value());
  EXPECT_EQ(playlist->method(), "AES-128");
  EXPECT_THAT(playlist->tsURIs(),
              ::testing::ElementsAre("http://127.0.0.1:8000/media/v42/seg0.ts?videoId=v42&t=1700000000",
                                     "http://127.0.0.1:8000/media/v42/seg1.ts?videoId=v42&t=1700000000",
                                     "http://127.0.0.1:8000/media/v42/seg2.ts?videoId=v42&t=1700000000"));
}

TEST_F(SampleMedia, RefusesPlaylistRequestsThatFailTheirChecks) {
  auto forged = playlistQuery();
  forged["videoId"] = "v43";
  auto longValue = playlistQuery({{"os_type", std::string(60, 'x')}});
  longValue["os_type"] = std::string(59, 'x') + "y";  // beyond the signed 50 characters: still valid
  EXPECT_EQ(get(target(longValue)).status, 200u);

  const std::vector<Query> refused = {
      forged,
      playlistQuery({{"time", std::to_string(kServerTime - 601)}}),
      playlistQuery({{"time", std::to_string(kServerTime + 601)}}),
      playlistQuery({{"time", "0x6553F100"}}),
      playlistQuery({{"app_id", "84"}}),
      playlistQuery({{"sid", "0123"}}),
      playlistQuery({{"userId", "someone-else"}}),
      playlistQuery({{"videoId", "../v42"}}),
  };
  for (const auto& query : refused) {
    const MediaReply reply = get(target(query));
    EXPECT_EQ(reply.status, 403u) << target(query);
    EXPECT_EQ(reply.contentType, "application/json;charset=UTF-8");
  }
  EXPECT_EQ(get(target(playlistQuery({{"time", std::to_string(kServerTime - 600)}}))).status, 200u);
  EXPECT_EQ(media_->recordedRequests().at(1).refusal, "sign mismatch");
}

// The segments decrypt under the application's own key file to transport stream: whole 188-byte packets,
// each opening with the sync byte.
TEST_F(SampleMedia, SegmentsAreTransportStreamUnderTheBundledKey) {
  const auto playlist = ZBM3U8::decodeM3U8IndexContext(get(target(playlistQuery())).body);
  const ns::Data key = *ns::FileManager::defaultManager().contentsAtPath(
      *ns::Bundle::mainBundle()->pathForResource("K", "bin"));
  ns::Data iv;
  for (std::size_t i = 2; i < playlist->iv()->size(); i += 2) {
    iv.push_back(static_cast<std::uint8_t>(std::stoi(playlist->iv()->substr(i, 2), nullptr, 16)));
  }
  for (std::size_t index = 0; index < 3; ++index) {
    const MediaReply reply = get(sample_backend::media::segmentPath("v42", index) + "?videoId=v42&t=1");
    ASSERT_EQ(reply.status, 200u);
    EXPECT_EQ(reply.contentType, "video/MP2T");
    const ns::Result<ns::Data> plain = ns::aes128CbcDecrypt(key, iv, ns::dataFromString(reply.body));
    ASSERT_TRUE(plain.ok());
    ASSERT_EQ(plain->size(), 20 * sample_backend::media::kTransportPacketSize);
    for (std::size_t packet = 0; packet < plain->size();
         packet += sample_backend::media::kTransportPacketSize) {
      EXPECT_EQ((*plain)[packet], sample_backend::media::kTransportSyncByte);
    }
    EXPECT_EQ(*plain, media_->library().plainSegment(index));
  }
  EXPECT_NE(media_->library().plainSegment(0), media_->library().plainSegment(1));
  EXPECT_EQ(get(sample_backend::media::segmentPath("v42", 3)).status, 404u);
  EXPECT_EQ(media_->answer("POST", sample_backend::media::segmentPath("v42", 0), kHost).status, 405u);
}

}  // namespace
