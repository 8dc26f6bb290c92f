// Decoding a real MPEG-2 lesson that came down the segment road from a loopback server into RGBA pictures.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "platform/avfoundation/lesson_decoding_test_util.h"
#include "platform/avfoundation/transport_stream_test_util.h"
#include "platform/foundation/loop/RunLoop.h"
#include "support/loopback_http_server.h"

namespace {

using testsupport::TestResponse;

constexpr int kFrames = 20;

// The red value of the pixel at (x, y).
std::uint8_t redAt(const av::DecodedPicture& picture, int x, int y) {
  return picture.rgba.at(static_cast<std::size_t>(y * picture.width + x) * 4);
}

TEST(VideoDecoder, DecodesEveryPictureOfALessonFromTheRoad) {
  testsupport::LoopbackHTTPServer server;
  std::string playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:1\n";
  const std::vector<ns::Data> segments = avtest::segmentsOf(avtest::videoTransportStream(kFrames), 2);
  for (std::size_t index = 0; index < segments.size(); ++index) {
    const std::string name = "v" + std::to_string(index) + ".ts";
    playlist += "#EXTINF:0.4,\n" + name + "\n";
    server.route("/" + name, TestResponse::text(200, ns::stringFromData(segments[index])));
  }
  auto parsed = std::make_shared<const av::MediaPlaylist>(
      *av::MediaPlaylist::read(playlist + "#EXT-X-ENDLIST\n", *ns::URL::fromString(server.url("/v.m3u8"))));
  auto delegate = std::make_shared<avtest::LessonDecoding>();
  delegate->keepPictures = true;
  const auto road = av::SegmentRoad::start(parsed, 0, delegate);
  ASSERT_TRUE(ns::RunLoop::current().runUntil([&] { return delegate->ended; }, std::chrono::seconds(20)));
  ASSERT_FALSE(delegate->failure) << delegate->failure->localizedDescription();

  ASSERT_EQ(delegate->pictures.size(), static_cast<std::size_t>(kFrames));
  for (int index = 0; index < kFrames; ++index) {
    SCOPED_TRACE(index);
    const av::DecodedPicture& picture = delegate->pictures[static_cast<std::size_t>(index)];
    ASSERT_EQ(picture.width, 64);
    ASSERT_EQ(picture.height, 48);
    ASSERT_EQ(picture.rgba.size(), 64u * 48 * 4);
    const int bar = (index % 16) * 4 + 2;
    EXPECT_GT(redAt(picture, bar, 24), 180) << "the bar is bright";
    EXPECT_LT(redAt(picture, (bar + 32) % 64, 24), 60) << "the ground is dark";
    if (index > 0) {
      EXPECT_NEAR(picture.seconds - delegate->pictures[static_cast<std::size_t>(index - 1)].seconds, 0.04,
                  0.001);
    }
  }
}

}  // namespace
