// A seek while paused, on a real ten-second H.264 + AAC lesson of two five-second segments served on
// loopback: the picture at the target shows and the item keeps up again without play resuming, and play
// then goes on from there.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "platform/avfoundation/Player.h"
#include "platform/avfoundation/PlayerItem.h"
#include "platform/avfoundation/PlayerLayer.h"
#include "platform/avfoundation/engine_pacing_test_util.h"
#include "platform/avfoundation/served_lesson_test_util.h"
#include "platform/foundation/loop/RunLoop.h"
#include "sample_backend/media/LessonEncoding.h"
#include "support/loopback_http_server.h"
#include "support/scoped_manual_clock.h"

namespace {

constexpr double kSegmentSeconds = 5.0;
constexpr double kTarget = 7.5;
// One picture lasts 1/25 s: the picture at a time is the one shown from up to that long before it.
constexpr double kPictureSeconds = 0.04;

TEST(PausedSeekTest, ShowsThePictureAtTheTargetAndKeepsUpAgainWithoutPlaying) {
  testsupport::LoopbackHTTPServer server;
  const std::string url = avtest::serveLesson(
      server, "ten",
      *sample_backend::media::encodeLesson(
          {.segmentCount = 2,
           .framesPerSegment =
               static_cast<std::size_t>(kSegmentSeconds * sample_backend::media::kLessonFramesPerSecond)}),
      kSegmentSeconds);
  testsupport::ScopedManualClock clock;
  const auto item = av::PlayerItem::playerItemWithURL(*ns::URL::fromString(url));
  const auto player = av::Player::playerWithPlayerItem(item);
  av::PlayerLayer layer;
  layer.setPlayer(player);
  ASSERT_TRUE(avtest::runUntilKeepingUpOrFailed(*item));
  ASSERT_FALSE(item->error()) << item->error()->localizedDescription();
  player->play();
  ASSERT_TRUE(avtest::playUntil(clock, *player, [&] { return item->currentSeconds() >= 0.5; }));

  player->setRate(0);
  player->seekToTime(av::Time::fromSeconds(kTarget));
  EXPECT_FALSE(item->isPlaybackLikelyToKeepUp());
  // The item keeps up again once the target is decoded, and the next tick shows the picture there.
  ASSERT_TRUE(avtest::runUntilKeepingUpOrFailed(*item));
  ASSERT_FALSE(item->error());
  clock.advance(av::Player::kTick);
  ns::RunLoop::main().runPending();
  ASSERT_TRUE(layer.picture().has_value());
  EXPECT_NEAR(layer.picture()->seconds, kTarget - kPictureSeconds / 2, kPictureSeconds / 2 + 1e-6);
  // Paused it stays there, however the clock goes on.
  for (int tick = 0; tick < 10; ++tick) {
    clock.advance(av::Player::kTick);
    ns::RunLoop::main().runPending();
  }
  EXPECT_EQ(player->rate(), 0.0F);
  EXPECT_EQ(player->currentTime(), av::Time::fromSeconds(kTarget));
  EXPECT_NEAR(layer.picture()->seconds, kTarget - kPictureSeconds / 2, kPictureSeconds / 2 + 1e-6);

  player->play();
  ASSERT_TRUE(avtest::playUntil(clock, *player, [&] { return item->currentSeconds() >= kTarget + 0.5; }));
  EXPECT_NEAR(layer.picture()->seconds, kTarget + 0.5, kPictureSeconds + 1e-6);
}

}  // namespace
