// The segment road against a loopback server: the key and encrypted segments fetched, decrypted and demuxed
// into packets with a bounded look-ahead, and every way a stream can fail ending the road with an error.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <set>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/avfoundation/SegmentRoad.h"
#include "platform/avfoundation/transport_stream_test_util.h"
#include "platform/foundation/crypto/Aes128Cbc.h"
#include "platform/foundation/crypto/Hex.h"
#include "platform/foundation/loop/RunLoop.h"
#include "support/loopback_http_server.h"

namespace {

using testsupport::TestResponse;

constexpr std::size_t kSegmentCount = 3;
const ns::Data kKey = ns::dataFromString("0123456789abcdef");
const ns::Data kIV = ns::dataFromString("fedcba9876543210");

struct RecordingRoadDelegate : av::SegmentRoadDelegate {
  std::vector<std::size_t> loaded;
  // The server address each segment came with.
  std::vector<std::optional<std::string>> servers;
  std::optional<std::size_t> trackCount;
  std::size_t packetsTaken = 0;
  std::size_t mostPacketsWaiting = 0;
  bool endedWell = false;
  std::optional<ns::Error> error;

  bool ended() const { return endedWell || error.has_value(); }
  void segmentRoadLoadedSegment(av::SegmentRoad&, std::size_t index,
                                const std::optional<std::string>& serverAddress) override {
    loaded.push_back(index);
    servers.push_back(serverAddress);
  }
  void segmentRoadFoundTracks(av::SegmentRoad&, std::size_t count) override {
    EXPECT_FALSE(trackCount.has_value()) << "tracks found twice";
    EXPECT_EQ(packetsTaken, 0u) << "packets before the tracks";
    trackCount = count;
  }
  void segmentRoadHasPackets(av::SegmentRoad& road) override {
    EXPECT_TRUE(trackCount.has_value());
    mostPacketsWaiting = std::max(mostPacketsWaiting, road.packets().size());
    while (road.packets().tryPop()) {
      ++packetsTaken;
    }
  }
  void segmentRoadDidEnd(av::SegmentRoad& road) override {
    EXPECT_FALSE(ended()) << "a second ending call";
    endedWell = true;
    segmentRoadHasPackets(road);
  }
  void segmentRoadDidFail(av::SegmentRoad&, const ns::Error& failure) override {
    EXPECT_FALSE(ended()) << "a second ending call";
    error = failure;
  }
};

std::string asText(const ns::Data& data) {
  return ns::stringFromData(data);
}

constexpr int kPacketsPerTrack = 300;

// A lesson of kSegmentCount encrypted segments on a loopback server, under "/lesson/".
struct LessonServer {
  LessonServer() {
    std::string playlist =
        "#EXTM3U\n#EXT-X-TARGETDURATION:4\n#EXT-X-KEY:METHOD=AES-128,URI=\"keys/k.bin\",IV=0x" +
        ns::hexString(kIV) + "\n";
    const std::vector<ns::Data> segments =
        avtest::segmentsOf(avtest::transportStream(kPacketsPerTrack), kSegmentCount);
    for (std::size_t index = 0; index < kSegmentCount; ++index) {
      const std::string name = "seg" + std::to_string(index) + ".ts";
      playlist += "#EXTINF:4.0,\n" + name + "\n";
      server.route("/lesson/" + name,
                   TestResponse::text(200, asText(*ns::aes128CbcEncrypt(kKey, kIV, segments[index]))));
    }
    this->playlist = std::make_shared<const av::MediaPlaylist>(*av::MediaPlaylist::read(
        playlist + "#EXT-X-ENDLIST\n", *ns::URL::fromString(server.url("/lesson/index.m3u8"))));
    server.route("/lesson/keys/k.bin", TestResponse::text(200, asText(kKey)));
  }

  // Runs a road from `startIndex` until it ends, and returns what its delegate saw.
  std::shared_ptr<RecordingRoadDelegate> travel(std::size_t startIndex = 0) {
    auto delegate = std::make_shared<RecordingRoadDelegate>();
    const auto road = av::SegmentRoad::start(playlist, startIndex, delegate);
    EXPECT_TRUE(ns::RunLoop::current().runUntil([&] { return delegate->ended(); }, std::chrono::seconds(20)));
    return delegate;
  }

  testsupport::LoopbackHTTPServer server;
  std::shared_ptr<const av::MediaPlaylist> playlist;
};

class SegmentRoadTest : public testing::Test {
 protected:
  LessonServer lesson_;
  testsupport::LoopbackHTTPServer& server_ = lesson_.server;
};

TEST_F(SegmentRoadTest, DemuxesEveryPacketOfTheDecryptedSegmentsWithinTheLookAhead) {
  const auto delegate = lesson_.travel();
  ASSERT_TRUE(delegate->endedWell) << (delegate->error
                                           ? delegate->error->underlyingError()->localizedDescription()
                                           : "");
  EXPECT_EQ(delegate->loaded, (std::vector<std::size_t>{0, 1, 2}));
  EXPECT_EQ(delegate->servers, (std::vector<std::optional<std::string>>(3, "127.0.0.1")));
  EXPECT_EQ(delegate->trackCount, 2u);
  EXPECT_EQ(delegate->packetsTaken, 2u * kPacketsPerTrack);
  EXPECT_LE(delegate->mostPacketsWaiting, av::PacketQueue::kCapacity);
  EXPECT_EQ(server_.requests().at(0).target, "/lesson/keys/k.bin") << "the key resolves against the playlist";
}

TEST_F(SegmentRoadTest, StartsAtTheGivenSegment) {
  const auto delegate = lesson_.travel(1);
  ASSERT_TRUE(delegate->endedWell);
  EXPECT_EQ(delegate->loaded, (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(delegate->trackCount, 2u);
  std::set<std::string> targets;
  for (const auto& request : server_.requests()) {
    targets.insert(request.target);
  }
  EXPECT_FALSE(targets.contains("/lesson/seg0.ts"));
}

// A stream that cannot be read ends the road with an error, never a crash or an endless wait.
TEST(SegmentRoad, AStreamThatWillNotDecryptOrDemuxFails) {
  const std::string garbage = asText(*ns::aes128CbcEncrypt(kKey, kIV, ns::Data(5000, 0x5a)));
  struct Case {
    std::string name, path;
    TestResponse response;
    std::int64_t code;
    std::int64_t underlyingCode;
  };
  for (const Case& c : std::vector<Case>{
           {"wrong key", "/lesson/keys/k.bin", TestResponse::text(200, "FEDCBA9876543210"),
            av::kAVErrorFileFormatNotRecognized, ns::kCryptorDecodeError},
           {"short key", "/lesson/keys/k.bin", TestResponse::text(200, "short"),
            av::kAVErrorFileFormatNotRecognized, ns::kCryptorParameterError},
           {"not MPEG-TS", "/lesson/seg0.ts", TestResponse::text(200, garbage),
            av::kAVErrorFileFormatNotRecognized, 0},
           {"missing key", "/lesson/keys/k.bin", TestResponse::text(404, ""), av::kAVErrorUnknown,
            av::kMediaResourceNotFound},
           {"missing segment", "/lesson/seg1.ts", TestResponse::text(404, ""), av::kAVErrorUnknown,
            av::kMediaResourceNotFound},
       }) {
    SCOPED_TRACE(c.name);
    LessonServer fresh;
    fresh.server.route(c.path, c.response);
    const auto delegate = fresh.travel();
    ASSERT_TRUE(delegate->error.has_value());
    EXPECT_EQ(delegate->error->domain(), "AVFoundationErrorDomain");
    EXPECT_EQ(delegate->error->code(), c.code);
    ASSERT_NE(delegate->error->underlyingError(), nullptr);
    if (c.underlyingCode != 0) {
      EXPECT_EQ(delegate->error->underlyingError()->code(), c.underlyingCode);
    }
  }
}

TEST_F(SegmentRoadTest, DestroyingTheRoadReleasesADemuxerWaitingForBytes) {
  server_.route("/lesson/seg1.ts", TestResponse::noAnswer());
  auto delegate = std::make_shared<RecordingRoadDelegate>();
  auto road = av::SegmentRoad::start(lesson_.playlist, 0, delegate);
  ASSERT_TRUE(
      ns::RunLoop::current().runUntil([&] { return server_.requestCount() == 3; }, std::chrono::seconds(20)));
  road.reset();
  ns::RunLoop::current().runPending();
  EXPECT_FALSE(delegate->ended());
}

}  // namespace
