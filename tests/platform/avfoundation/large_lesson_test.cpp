// The engine at a real lesson's size: a 1280x720 lesson decodes without holding up the main loop, and a
// lesson of 30 MB segments plays within the segment road's byte bound.

#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/avfoundation/Player.h"
#include "platform/avfoundation/PlayerItem.h"
#include "platform/avfoundation/PlayerLayer.h"
#include "platform/avfoundation/SegmentRoad.h"
#include "platform/avfoundation/engine_pacing_test_util.h"
#include "platform/avfoundation/lesson_decoding_test_util.h"
#include "platform/avfoundation/served_lesson_test_util.h"
#include "platform/avfoundation/transport_stream_test_util.h"
#include "platform/foundation/loop/RunLoop.h"
#include "support/loopback_http_server.h"
#include "support/scoped_manual_clock.h"

namespace {

// The processor time the calling thread has used, in seconds. Unlike the wall clock it does not run while
// the thread waits or is preempted, so a loaded machine does not inflate it.
double threadProcessorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TEST(LargeLesson, TheMainLoopStaysFreeWhileA720pLessonDecodes) {
  constexpr int kFrames = 50;
  // Decoding and converting one such picture takes milliseconds; taking a decoded one takes microseconds.
  constexpr double kLongestMainLoopCall = 0.010;
  testsupport::LoopbackHTTPServer server;
  const std::string url = avtest::serveLesson(
      server, "hd", avtest::segmentsOf(avtest::videoTransportStream(kFrames, 1280, 720), 2), 1.0);
  testsupport::ScopedManualClock clock;
  const auto item = av::PlayerItem::playerItemWithURL(*ns::URL::fromString(url));
  const auto player = av::Player::playerWithPlayerItem(item);
  av::PlayerLayer layer;
  layer.setPlayer(player);
  ASSERT_TRUE(avtest::runUntilKeepingUpOrFailed(*item));
  ASSERT_FALSE(item->error()) << item->error()->localizedDescription();

  // The main thread's processor time is read after every callback of its loop and every tick: the largest
  // step is the longest the engine held the loop.
  double longest = 0;
  double last = threadProcessorSeconds();
  std::set<double> shown;
  const auto measure = [&] {
    const double now = threadProcessorSeconds();
    longest = std::max(longest, now - last);
    last = now;
    if (player->currentPicture()) {
      shown.insert(player->currentPicture()->seconds);
    }
  };
  player->play();
  ASSERT_TRUE(avtest::playUntil(
      clock, *player, [&] { return player->rate() == 0.0F; }, 200, measure));
  EXPECT_EQ(player->currentTime(), item->duration());
  EXPECT_GE(shown.size(), static_cast<std::size_t>(kFrames / 2)) << "picture after picture";
  EXPECT_LT(longest, kLongestMainLoopCall);

  const std::optional<av::RGBAPicture> picture = layer.rgbaPicture();
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 1280);
  EXPECT_EQ(picture->height, 720);
  EXPECT_EQ(picture->rgba.size(), 1280u * 720 * 4);
}

TEST(LargeLesson, ALessonOf30MBSegmentsPlaysWithinTheByteBound) {
  constexpr int kFrames = 30;
  constexpr std::size_t kTransportPacketSize = 188;
  constexpr std::size_t kSegmentBytes = 30'000'000 / kTransportPacketSize * kTransportPacketSize;
  // Each segment is half of a small lesson, filled up with the transport stream's null packets, which a
  // demuxer reads past.
  std::vector<ns::Data> segments = avtest::segmentsOf(avtest::videoTransportStream(kFrames), 2);
  for (ns::Data& segment : segments) {
    ns::Data nullPacket(kTransportPacketSize, 0xff);
    nullPacket[0] = 0x47;
    nullPacket[1] = 0x1f;
    nullPacket[2] = 0xff;
    nullPacket[3] = 0x10;
    segment.reserve(kSegmentBytes);
    while (segment.size() < kSegmentBytes) {
      segment.insert(segment.end(), nullPacket.begin(), nullPacket.end());
    }
  }
  testsupport::LoopbackHTTPServer server;
  const std::string url = avtest::serveLesson(server, "big", segments, 0.4);
  segments.clear();

  const std::shared_ptr<avtest::LessonDecoding> decoded = avtest::decodeLesson(url);
  ASSERT_TRUE(decoded->ended);
  ASSERT_FALSE(decoded->failure) << decoded->failure->localizedDescription();
  EXPECT_EQ(decoded->pictureCount, static_cast<std::size_t>(kFrames));
  EXPECT_GE(decoded->mostBufferedBytes, kSegmentBytes);
  EXPECT_LE(decoded->mostBufferedBytes, av::SegmentStream::kByteCapacity);
}

}  // namespace
