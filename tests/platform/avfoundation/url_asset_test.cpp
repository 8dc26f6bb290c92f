// Loading an asset's duration from a playlist on a loopback server: the sum of its segments, the indefinite
// time of a list without an end, each kind of failure with its underlying error, and cancellation.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/avfoundation/MediaResourceLoad.h"
#include "platform/avfoundation/URLAsset.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/URLError.h"
#include "support/loopback_http_server.h"

namespace {

using av::KeyValueStatus;
using av::URLAsset;
using testsupport::TestResponse;

constexpr char kPlaylist[] =
    "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10.000,\na.ts\n#EXTINF:9.500,\nb.ts\n#EXTINF:2.25,\nc.ts\n";

class URLAssetTest : public testing::Test {
 protected:
  // Loads the duration of `url` and returns the asset once its handler has run.
  std::shared_ptr<URLAsset> loadDuration(const std::string& url) {
    auto asset = URLAsset::URLAssetWithURL(*ns::URL::fromString(url));
    int handlerCalls = 0;
    asset->loadValuesAsynchronouslyForKeys({"duration"}, [&] { ++handlerCalls; });
    EXPECT_EQ(asset->statusOfValueForKey("duration"), KeyValueStatus::kLoading);
    EXPECT_TRUE(ns::RunLoop::current().runUntil([&] { return handlerCalls > 0; }, std::chrono::seconds(10)));
    ns::RunLoop::current().runPending();
    EXPECT_EQ(handlerCalls, 1);
    return asset;
  }

  testsupport::LoopbackHTTPServer server_;
};

TEST_F(URLAssetTest, DurationIsTheSumOfTheSegmentsOrIndefiniteWithoutAnEnd) {
  server_.route("/ended.m3u8", TestResponse::text(200, std::string(kPlaylist) + "#EXT-X-ENDLIST\n"));
  server_.route("/live.m3u8", TestResponse::text(200, kPlaylist));
  const auto ended = loadDuration(server_.url("/ended.m3u8"));
  ASSERT_EQ(ended->statusOfValueForKey("duration"), KeyValueStatus::kLoaded);
  EXPECT_EQ(ended->duration(), av::Time::fromSeconds(21.75));
  EXPECT_EQ(ended->duration().timescale, 1000);
  ASSERT_NE(ended->playlist(), nullptr);
  EXPECT_EQ(ended->playlist()->segments().at(1).url.absoluteString(), server_.url("/b.ts"));

  const auto live = loadDuration(server_.url("/live.m3u8"));
  ASSERT_EQ(live->statusOfValueForKey("duration"), KeyValueStatus::kLoaded);
  EXPECT_TRUE(live->duration().isIndefinite());
  EXPECT_EQ(live->duration().seconds(), 0);
}

TEST_F(URLAssetTest, AFailedLoadKeepsItsCauseAsTheUnderlyingError) {
  server_.route("/500.m3u8", TestResponse::text(500, "oops"));
  server_.route("/text", TestResponse::text(200, "not a playlist"));
  // Past the bound, whether announced by Content-Length or only found while the chunks arrive.
  const std::string oversized =
      std::string(kPlaylist) + std::string(av::MediaResourceLoad::kMaximumPlaylistSize, '#');
  server_.route("/announced.m3u8", TestResponse::text(200, oversized));
  TestResponse chunked = TestResponse::text(200, oversized);
  chunked.framing = TestResponse::Framing::kChunked;
  chunked.pieceSize = 1 << 16;
  server_.route("/chunked.m3u8", chunked);
  const std::string refused = [] {
    testsupport::LoopbackHTTPServer closed;
    return closed.url("/gone.m3u8");
  }();
  struct Case {
    std::string url;
    std::string domain;
    std::int64_t code;
  };
  for (const Case& c : std::vector<Case>{
           {server_.url("/missing.m3u8"), "CoreMediaErrorDomain", -12938},
           {server_.url("/500.m3u8"), "CoreMediaErrorDomain", -12939},
           {server_.url("/text"), "CoreMediaErrorDomain", av::kMediaPlaylistParseError},
           {server_.url("/announced.m3u8"), "com.quillmark.media", av::kMediaResourceTooLarge},
           {server_.url("/chunked.m3u8"), "com.quillmark.media", av::kMediaResourceTooLarge},
           {refused, "kCFErrorDomainCFNetwork", ns::kURLErrorCannotConnectToHost},
       }) {
    SCOPED_TRACE(c.url);
    const auto asset = loadDuration(c.url);
    std::optional<ns::Error> error;
    ASSERT_EQ(asset->statusOfValueForKey("duration", &error), KeyValueStatus::kFailed);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->domain(), "AVFoundationErrorDomain");
    ASSERT_NE(error->underlyingError(), nullptr);
    EXPECT_EQ(error->underlyingError()->domain(), c.domain);
    EXPECT_EQ(error->underlyingError()->code(), c.code);
  }
}

TEST_F(URLAssetTest, CancellingEndsTheLoadWithCancelledOnALaterTurn) {
  server_.route("/hang.m3u8", TestResponse::noAnswer());
  auto asset = URLAsset::URLAssetWithURL(*ns::URL::fromString(server_.url("/hang.m3u8")));
  int handlerCalls = 0;
  asset->loadValuesAsynchronouslyForKeys({"duration"}, [&] { ++handlerCalls; });
  ASSERT_TRUE(
      ns::RunLoop::current().runUntil([&] { return server_.requestCount() > 0; }, std::chrono::seconds(10)));
  asset->cancelLoading();
  EXPECT_EQ(handlerCalls, 0) << "never inside cancelLoading";
  EXPECT_EQ(asset->statusOfValueForKey("duration"), KeyValueStatus::kCancelled);
  asset.reset();
  EXPECT_TRUE(ns::RunLoop::current().runUntil([&] { return handlerCalls > 0; }, std::chrono::seconds(10)));
  ns::RunLoop::current().runPending();
  EXPECT_EQ(handlerCalls, 1);
}

}  // namespace
