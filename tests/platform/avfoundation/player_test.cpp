// A player item and its player against a real H.264 + AAC lesson on a loopback server, driven by the run
// loop's manual clock: ready, played to the end, seeks, a stall and its recovery, and the ways an item fails.
// The item decodes on a thread of its own in real time, so the clock moves only when the engine is ready
// for the next tick (engine_pacing_test_util.h); the BlindStepping cases drive it the other supported way,
// advancing the clock without waiting for the engine.

#include "platform/avfoundation/Player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/avfoundation/PlayerItem.h"
#include "platform/avfoundation/PlayerLayer.h"
#include "platform/avfoundation/engine_pacing_test_util.h"
#include "platform/foundation/crypto/Aes128Cbc.h"
#include "platform/foundation/crypto/Hex.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "sample_backend/media/LessonEncoding.h"
#include "support/loopback_http_server.h"
#include "support/scoped_manual_clock.h"

namespace {

using testsupport::TestResponse;

constexpr std::size_t kSegmentCount = 6;
constexpr double kSegmentSeconds = 0.4;
constexpr double kLessonSeconds = kSegmentCount * kSegmentSeconds;
const ns::Data kKey = ns::dataFromString("0123456789abcdef");
const ns::Data kIV = ns::dataFromString("fedcba9876543210");

// Holds requests back until opened, so that a test can let playback overtake the data.
class Gate {
 public:
  void open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    opened_.notify_all();
  }
  void wait() {
    std::unique_lock lock(mutex_);
    opened_.wait(lock, [&] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

class PlayerTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    segments_ = *sample_backend::media::encodeLesson(
        {.segmentCount = kSegmentCount,
         .framesPerSegment =
             static_cast<std::size_t>(kSegmentSeconds * sample_backend::media::kLessonFramesPerSecond)});
  }

  PlayerTest() {
    std::string playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXT-X-KEY:METHOD=AES-128,URI=\"k.bin\",IV=0x" +
                           ns::hexString(kIV) + "\n";
    for (std::size_t index = 0; index < kSegmentCount; ++index) {
      const std::string name = "s" + std::to_string(index) + ".ts";
      playlist += "#EXTINF:" + std::to_string(kSegmentSeconds) + ",\n" + name + "\n";
      const ns::Data encrypted = *ns::aes128CbcEncrypt(kKey, kIV, segments_[index]);
      server_.route("/lesson/" + name, [this, index, encrypted](const testsupport::RecordedRequest&) {
        if (index == kSegmentCount - 1) {
          lastSegmentGate_->wait();
        }
        return TestResponse::text(200, ns::stringFromData(encrypted));
      });
    }
    server_.route("/lesson/index.m3u8", TestResponse::text(200, playlist + "#EXT-X-ENDLIST\n"));
    server_.route("/lesson/k.bin", TestResponse::text(200, ns::stringFromData(kKey)));
  }
  ~PlayerTest() override { lastSegmentGate_->open(); }

  std::shared_ptr<av::PlayerItem> itemOf(const std::string& path) {
    return av::PlayerItem::playerItemWithURL(*ns::URL::fromString(server_.url(path)));
  }
  // Runs the loop until `done`, with real time for the network and the demuxer.
  static bool runUntil(const std::function<bool()>& done) {
    return ns::RunLoop::main().runUntil(done, std::chrono::seconds(20));
  }
  bool playUntil(const av::Player& player, const std::function<bool()>& done, int maxSteps = 200) {
    return avtest::playUntil(clock_, player, done, maxSteps);
  }
  // Blind stepping is a supported way to drive the player on a manual clock: advance by a tick, run what is
  // due, and never wait for the engine in between. Each step then waits (at most a tick of real time) for
  // the picture it is due, as long as the item has the data for it. Returns done(), false after `maxSteps`.
  bool stepBlindly(const std::function<bool()>& done, int maxSteps = 200) {
    for (int step = 0; step < maxSteps && !done(); ++step) {
      clock_.advance(av::Player::kTick);
      ns::RunLoop::main().runPending();
    }
    return done();
  }
  // The end of the media loaded so far; 0 before any.
  static double loadedThrough(const av::PlayerItem& item) {
    const std::vector<av::TimeRange>& ranges = item.loadedTimeRanges();
    return ranges.empty() ? 0 : ranges[0].start.seconds() + ranges[0].duration.seconds();
  }

  static inline std::vector<ns::Data> segments_;
  testsupport::ScopedManualClock clock_;
  std::shared_ptr<Gate> lastSegmentGate_ = std::make_shared<Gate>();
  testsupport::LoopbackHTTPServer server_;
};

TEST_F(PlayerTest, BecomesReadyAndPlaysToTheEndOnce) {
  lastSegmentGate_->open();
  const auto item = itemOf("/lesson/index.m3u8");
  std::vector<std::string> changes;
  std::vector<ns::KeyValueObservation> observations;
  for (std::string_view key : {av::PlayerItem::kStatusKey, av::PlayerItem::kPlaybackLikelyToKeepUpKey,
                               av::PlayerItem::kLoadedTimeRangesKey}) {
    observations.push_back(item->observe(std::string(key), [&changes, key](const ns::KeyValueChange&) {
      if (changes.empty() || changes.back() != key) {
        changes.emplace_back(key);
      }
    }));
  }
  int ends = 0;
  const auto token = ns::NotificationCenter::defaultCenter().addObserverForName(
      std::string(av::kAVPlayerItemDidPlayToEndTimeNotification), item, nullptr,
      [&](const ns::Notification&) { ++ends; });
  std::size_t accessEntries = 0;
  const auto accessToken = ns::NotificationCenter::defaultCenter().addObserverForName(
      std::string(av::kAVPlayerItemNewAccessLogEntryNotification), item, nullptr,
      [&](const ns::Notification&) { accessEntries = item->accessLog().events().size(); });
  const auto player = av::Player::playerWithPlayerItem(item);
  av::PlayerLayer layer;
  layer.setPlayer(player);
  std::vector<double> observedTimes;
  player->addPeriodicTimeObserverForInterval(av::Time::fromSeconds(0.5),
                                             [&](av::Time time) { observedTimes.push_back(time.seconds()); });

  ASSERT_TRUE(avtest::runUntilKeepingUpOrFailed(*item))
      << (item->error() ? item->error()->localizedDescription() : "still loading");
  EXPECT_EQ(item->status(), av::PlayerItemStatus::kReadyToPlay);
  // Every segment arrives while the look-ahead waits for play: playback never waits for the network.
  ASSERT_TRUE(runUntil([&] { return loadedThrough(*item) >= kLessonSeconds - 0.001; }));
  EXPECT_EQ(item->trackCount(), 2u);
  EXPECT_EQ(item->duration(), av::Time::fromSeconds(kLessonSeconds));
  EXPECT_NE(std::find(changes.begin(), changes.end(), "status"), changes.end());
  EXPECT_FALSE(layer.isReadyForDisplay());

  player->play();
  ASSERT_TRUE(playUntil(*player, [&] { return ends > 0; }));
  EXPECT_EQ(player->rate(), 0.0F);
  EXPECT_EQ(player->currentTime(), item->duration());
  ASSERT_TRUE(layer.picture().has_value());
  EXPECT_GT(layer.picture()->seconds, kLessonSeconds - 0.1);
  EXPECT_EQ(item->loadedTimeRanges(),
            (std::vector<av::TimeRange>{{av::Time::fromSeconds(0), av::Time::fromSeconds(kLessonSeconds)}}));
  EXPECT_NE(std::find(changes.begin(), changes.end(), "loadedTimeRanges"), changes.end());
  // Every half second of play is observed; a wait for late data may add a call, never remove one.
  EXPECT_GE(observedTimes.size(), static_cast<std::size_t>(kLessonSeconds / 0.5));
  EXPECT_TRUE(std::is_sorted(observedTimes.begin(), observedTimes.end()));
  EXPECT_LT(observedTimes.front(), observedTimes.back());

  player->play();
  playUntil(
      *player, [] { return false; }, 20);
  EXPECT_EQ(ends, 1) << "the end is posted once";
  const av::PlayerItemAccessLog accessLog = item->accessLog();
  const std::vector<av::PlayerItemAccessLogEvent>& accessEvents = accessLog.events();
  EXPECT_EQ(accessEntries, kSegmentCount) << "each entry is posted once it is in the log";
  ASSERT_EQ(accessEvents.size(), kSegmentCount);
  EXPECT_EQ(accessEvents.back().URI, server_.url("/lesson/s" + std::to_string(kSegmentCount - 1) + ".ts"));
  EXPECT_EQ(accessEvents.back().serverAddress, "127.0.0.1");
  EXPECT_TRUE(item->errorLog().events().empty());
  ns::NotificationCenter::defaultCenter().removeObserver(token);
  ns::NotificationCenter::defaultCenter().removeObserver(accessToken);
}

TEST_F(PlayerTest, SeeksRestartTheRoadAtTheSegmentHoldingTheTime) {
  lastSegmentGate_->open();
  const auto item = itemOf("/lesson/index.m3u8");
  const auto player = av::Player::playerWithPlayerItem(item);
  // A seek before the asset has loaded sets where the road starts.
  item->seekToTime(av::Time::fromSeconds(1.7));
  ASSERT_TRUE(runUntil([&] { return item->isPlaybackLikelyToKeepUp(); }));
  EXPECT_EQ(server_.requests().at(2).target, "/lesson/s4.ts") << "after the playlist and the key";
  EXPECT_EQ(player->currentTime(), av::Time::fromSeconds(1.7));

  for (const double seconds : {0.9, 0.1}) {
    SCOPED_TRACE(seconds);
    // The segments the road fetched before the seek may still be arriving at the server; the access log
    // holds only the segments of the item's own road.
    const std::size_t entriesBefore = item->accessLog().events().size();
    player->seekToTime(av::Time::fromSeconds(seconds));
    EXPECT_FALSE(item->isPlaybackLikelyToKeepUp());
    EXPECT_EQ(player->currentTime(), av::Time::fromSeconds(seconds));
    ASSERT_TRUE(runUntil([&] { return item->isPlaybackLikelyToKeepUp(); }));
    const std::size_t segment = static_cast<std::size_t>(seconds / kSegmentSeconds);
    ASSERT_GT(item->accessLog().events().size(), entriesBefore);
    EXPECT_EQ(item->accessLog().events()[entriesBefore].URI,
              server_.url("/lesson/s" + std::to_string(segment) + ".ts"));
    EXPECT_DOUBLE_EQ(item->loadedTimeRanges().at(0).start.seconds(), segment * kSegmentSeconds);

    player->play();
    ASSERT_TRUE(playUntil(*player, [&] {
      return player->currentPicture() && std::abs(player->currentPicture()->seconds - seconds) < 0.2;
    }));
    EXPECT_NEAR(player->currentPicture()->seconds, seconds, 0.05);
    player->pause();
  }
}

TEST_F(PlayerTest, StallsWhenPlayOvertakesTheDataAndResumesWhenItComes) {
  const auto item = itemOf("/lesson/index.m3u8");
  int stalls = 0;
  const auto token = ns::NotificationCenter::defaultCenter().addObserverForName(
      std::string(av::kAVPlayerItemPlaybackStalledNotification), item, nullptr,
      [&](const ns::Notification&) { ++stalls; });
  const auto player = av::Player::playerWithPlayerItem(item);
  ASSERT_TRUE(runUntil([&] { return item->isPlaybackLikelyToKeepUp(); }));
  // Everything but the held-back last segment is there before play: the one wait for data is at its start.
  const double available = kLessonSeconds - kSegmentSeconds;
  ASSERT_TRUE(runUntil([&] { return loadedThrough(*item) >= available - 0.001; }));

  player->play();
  ASSERT_TRUE(playUntil(*player, [&] { return stalls > 0; }));
  const av::Time heldAt = player->currentTime();
  EXPECT_LT(heldAt.seconds(), available + 0.1);
  EXPECT_FALSE(item->isPlaybackLikelyToKeepUp());
  playUntil(
      *player, [] { return false; }, 20);
  EXPECT_EQ(player->currentTime(), heldAt) << "the position waits for the data";
  EXPECT_EQ(stalls, 1);

  lastSegmentGate_->open();
  ASSERT_TRUE(runUntil([&] { return item->isPlaybackLikelyToKeepUp(); }));
  ASSERT_TRUE(playUntil(*player, [&] { return player->rate() == 0.0F; }));
  EXPECT_EQ(player->currentTime(), item->duration());
  EXPECT_EQ(stalls, 1);
  ns::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(PlayerTest, BlindSteppingPlaysToTheEndOnce) {
  lastSegmentGate_->open();
  const auto item = itemOf("/lesson/index.m3u8");
  int ends = 0;
  const auto token = ns::NotificationCenter::defaultCenter().addObserverForName(
      std::string(av::kAVPlayerItemDidPlayToEndTimeNotification), item, nullptr,
      [&](const ns::Notification&) { ++ends; });
  const auto player = av::Player::playerWithPlayerItem(item);
  av::PlayerLayer layer;
  layer.setPlayer(player);
  ASSERT_TRUE(avtest::runUntilKeepingUpOrFailed(*item));
  EXPECT_EQ(item->status(), av::PlayerItemStatus::kReadyToPlay);

  player->play();
  ASSERT_TRUE(stepBlindly([&] { return ends > 0; }));
  EXPECT_EQ(player->rate(), 0.0F);
  EXPECT_EQ(player->currentTime(), item->duration());
  ASSERT_TRUE(layer.picture().has_value());
  EXPECT_GT(layer.picture()->seconds, kLessonSeconds - 0.1);
  player->play();
  stepBlindly([] { return false; });
  EXPECT_EQ(ends, 1) << "the end is posted once";
  ns::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(PlayerTest, BlindSteppingLandsSeeksNearTheTimeAsked) {
  lastSegmentGate_->open();
  const auto item = itemOf("/lesson/index.m3u8");
  const auto player = av::Player::playerWithPlayerItem(item);
  ASSERT_TRUE(runUntil([&] { return item->isPlaybackLikelyToKeepUp(); }));
  for (const double seconds : {1.7, 0.9, 0.1}) {
    SCOPED_TRACE(seconds);
    player->seekToTime(av::Time::fromSeconds(seconds));
    ASSERT_TRUE(runUntil([&] { return item->isPlaybackLikelyToKeepUp(); }));
    player->play();
    ASSERT_TRUE(stepBlindly([&] {
      return player->currentPicture() && std::abs(player->currentPicture()->seconds - seconds) < 0.2;
    }));
    EXPECT_NEAR(player->currentPicture()->seconds, seconds, 0.05);
    player->pause();
  }
}

TEST_F(PlayerTest, BlindSteppingStallsOnceWhenTheDataRunsOutAndRecovers) {
  const auto item = itemOf("/lesson/index.m3u8");
  int stalls = 0;
  const auto token = ns::NotificationCenter::defaultCenter().addObserverForName(
      std::string(av::kAVPlayerItemPlaybackStalledNotification), item, nullptr,
      [&](const ns::Notification&) { ++stalls; });
  const auto player = av::Player::playerWithPlayerItem(item);
  ASSERT_TRUE(runUntil([&] { return item->isPlaybackLikelyToKeepUp(); }));

  player->play();
  ASSERT_TRUE(stepBlindly([&] { return stalls > 0; }));
  const av::Time heldAt = player->currentTime();
  EXPECT_LT(heldAt.seconds(), kLessonSeconds - kSegmentSeconds + 0.1);
  EXPECT_FALSE(item->isPlaybackLikelyToKeepUp());
  stepBlindly([] { return false; });
  EXPECT_EQ(player->currentTime(), heldAt) << "the position waits for the data";
  EXPECT_EQ(stalls, 1);

  lastSegmentGate_->open();
  ASSERT_TRUE(runUntil([&] { return item->isPlaybackLikelyToKeepUp(); }));
  ASSERT_TRUE(stepBlindly([&] { return player->rate() == 0.0F; }));
  EXPECT_EQ(player->currentTime(), item->duration());
  EXPECT_EQ(stalls, 1);
  ns::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(PlayerTest, WithoutASoundDeviceTheSoundIsConsumedInStepWithThePictures) {
  // No sound server answers here (no_sound_server_environment.cpp): the item plays on a silent output.
  lastSegmentGate_->open();
  const auto item = itemOf("/lesson/index.m3u8");
  const auto player = av::Player::playerWithPlayerItem(item);
  ASSERT_TRUE(runUntil([&] { return item->isPlaybackLikelyToKeepUp(); }));
  ASSERT_TRUE(runUntil([&] { return loadedThrough(*item) >= kLessonSeconds - 0.001; }));
  // The sound heard and the picture shown, compared after every tick once both have begun.
  int compared = 0;
  double widest = 0;
  const auto compare = [&] {
    const std::optional<double> heard = item->soundHeardSeconds();
    if (heard && player->currentPicture()) {
      ++compared;
      widest = std::max(widest, std::abs(*heard - player->currentPicture()->seconds));
    }
  };
  player->play();
  ASSERT_TRUE(avtest::playUntil(
      clock_, *player, [&] { return item->currentSeconds() >= 1.2; }, 200, compare));
  player->seekToTime(av::Time::fromSeconds(0.3));
  EXPECT_FALSE(item->soundHeardSeconds().has_value()) << "a seek drops the sound not yet heard";
  ASSERT_TRUE(runUntil([&] { return item->isPlaybackLikelyToKeepUp(); }));
  ASSERT_TRUE(avtest::playUntil(
      clock_, *player, [&] { return item->currentSeconds() >= 1.0; }, 200, compare));
  player->setRate(2);
  ASSERT_TRUE(avtest::playUntil(
      clock_, *player, [&] { return player->rate() == 0.0F; }, 200, compare));
  EXPECT_GT(compared, 40);
  EXPECT_LT(widest, 0.04) << "within a picture of each other";
  ASSERT_TRUE(item->soundHeardSeconds().has_value());
  EXPECT_NEAR(*item->soundHeardSeconds(), kLessonSeconds, 0.001)
      << "consumed to the end at the player's pace";
}

TEST_F(PlayerTest, DecodingThroughALongGapKeepsOnlyTheLookAhead) {
  // As when the loop catches up after a long wait: the whole lesson is due in one step.
  lastSegmentGate_->open();
  const auto item = itemOf("/lesson/index.m3u8");
  ASSERT_TRUE(avtest::runUntilKeepingUpOrFailed(*item));
  std::size_t mostWaiting = 0;
  ASSERT_TRUE(runUntil([&] {
    item->decodeThrough(kLessonSeconds);
    mostWaiting = std::max(mostWaiting, item->waitingPictureCount());
    return item->isDecodedToEnd() || item->error();
  }));
  EXPECT_FALSE(item->error());
  EXPECT_LE(mostWaiting, av::PlayerItem::kPictureLookAhead);
}

TEST_F(PlayerTest, AShortLessonFindsItsTracksWithoutItsLastSegment) {
  // Three segments of which the last, held back, stands last: the first two must be enough to know the
  // tracks.
  server_.route("/short/index.m3u8",
                TestResponse::text(200, "#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"/lesson/k.bin\",IV=0x" +
                                            ns::hexString(kIV) +
                                            "\n#EXTINF:0.4,\n/lesson/s0.ts\n#EXTINF:0.4,\n/lesson/s1.ts\n"
                                            "#EXTINF:0.4,\n/lesson/s" +
                                            std::to_string(kSegmentCount - 1) + ".ts\n#EXT-X-ENDLIST\n"));
  const auto item = itemOf("/short/index.m3u8");
  ASSERT_TRUE(runUntil([&] { return item->status() != av::PlayerItemStatus::kUnknown; }));
  EXPECT_EQ(item->status(), av::PlayerItemStatus::kReadyToPlay);
  EXPECT_EQ(item->trackCount(), 2u);
}

TEST_F(PlayerTest, AnItemThatCannotPlayFailsWithItsCause) {
  lastSegmentGate_->open();
  server_.route("/wrong-key/index.m3u8",
                TestResponse::text(200,
                                   "#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"k.bin\"\n"
                                   "#EXTINF:0.4,\n/lesson/s0.ts\n#EXT-X-ENDLIST\n"));
  server_.route("/wrong-key/k.bin", TestResponse::text(200, "fedcba9876543210"));
  server_.route("/not-media/index.m3u8",
                TestResponse::text(200, "#EXTM3U\n#EXTINF:0.4,\n/lesson/k.bin\n#EXT-X-ENDLIST\n"));
  server_.route(
      "/missing-segment/index.m3u8",
      TestResponse::text(200, "#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"/lesson/k.bin\",IV=0x" +
                                  ns::hexString(kIV) +
                                  "\n#EXTINF:0.4,\n/lesson/s0.ts\n#EXTINF:0.4,\ngone.ts\n#EXT-X-ENDLIST\n"));
  server_.route("/server-error/index.m3u8", TestResponse::text(503, "busy"));
  // A failed load names its URL, server and HTTP status in the error log; other failures log nothing.
  const struct {
    std::string path;
    std::int64_t code;
    std::int64_t underlyingCode;
    std::string failedPath;
    std::int64_t loggedStatus;
  } cases[] = {
      {"/missing/index.m3u8", av::kAVErrorUnknown, av::kMediaResourceNotFound, "/missing/index.m3u8", 404},
      {"/server-error/index.m3u8", av::kAVErrorUnknown, av::kMediaResourceHTTPError,
       "/server-error/index.m3u8", 503},
      {"/wrong-key/index.m3u8", av::kAVErrorFileFormatNotRecognized, 0, "", 0},
      {"/not-media/index.m3u8", av::kAVErrorFileFormatNotRecognized, 0, "", 0},
      {"/missing-segment/index.m3u8", av::kAVErrorUnknown, av::kMediaResourceNotFound,
       "/missing-segment/gone.ts", 404},
  };
  for (const auto& failing : cases) {
    SCOPED_TRACE(failing.path);
    const auto item = itemOf(failing.path);
    std::vector<int> statuses;
    std::size_t errorEntriesAtFailure = 0;
    const auto observation =
        item->observe(std::string(av::PlayerItem::kStatusKey), [&](const ns::KeyValueChange& change) {
          statuses.push_back(change.newValue.intValue());
          errorEntriesAtFailure = item->errorLog().events().size();
        });
    int errorEntriesPosted = 0;
    const auto token = ns::NotificationCenter::defaultCenter().addObserverForName(
        std::string(av::kAVPlayerItemNewErrorLogEntryNotification), item, nullptr,
        [&](const ns::Notification&) { ++errorEntriesPosted; });
    ASSERT_TRUE(runUntil([&] { return item->status() == av::PlayerItemStatus::kFailed; }));
    // A segment may fail after the tracks were found: the item is ready before it fails.
    EXPECT_EQ(statuses.back(), 2);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), 2), 1);
    ASSERT_TRUE(item->error().has_value());
    EXPECT_EQ(item->error()->domain(), av::kAVFoundationErrorDomain);
    EXPECT_EQ(item->error()->code(), failing.code);
    if (failing.underlyingCode != 0) {
      EXPECT_EQ(item->error()->underlyingError()->code(), failing.underlyingCode);
    }
    EXPECT_FALSE(item->isPlaybackLikelyToKeepUp());
    ns::NotificationCenter::defaultCenter().removeObserver(token);

    const av::PlayerItemErrorLog errorLog = item->errorLog();
    const std::vector<av::PlayerItemErrorLogEvent>& errorEvents = errorLog.events();
    const std::size_t entries = failing.loggedStatus != 0 ? 1 : 0;
    ASSERT_EQ(errorEvents.size(), entries);
    EXPECT_EQ(errorEntriesAtFailure, entries) << "the entry is logged before the status turns";
    EXPECT_EQ(errorEntriesPosted, static_cast<int>(entries));
    if (entries != 0) {
      EXPECT_EQ(errorEvents[0].URI, server_.url(failing.failedPath));
      EXPECT_EQ(errorEvents[0].serverAddress, "127.0.0.1");
      EXPECT_EQ(errorEvents[0].errorStatusCode, failing.loggedStatus);
      EXPECT_EQ(errorEvents[0].errorDomain, av::kCoreMediaErrorDomain);
    }
  }
}

TEST_F(PlayerTest, ASegmentThatReachesNoServerIsLoggedWithoutAnAddress) {
  const std::string closedPortURL = testsupport::LoopbackHTTPServer().url("/s0.ts");  // Closes with it.
  server_.route("/refused/index.m3u8",
                TestResponse::text(200, "#EXTM3U\n#EXTINF:0.4,\n" + closedPortURL + "\n#EXT-X-ENDLIST\n"));
  const auto item = itemOf("/refused/index.m3u8");
  ASSERT_TRUE(runUntil([&] { return item->status() == av::PlayerItemStatus::kFailed; }));
  const av::PlayerItemErrorLog errorLog = item->errorLog();
  ASSERT_EQ(errorLog.events().size(), 1u);
  EXPECT_EQ(errorLog.events()[0].errorDomain, av::kCFErrorDomainCFNetwork);
  EXPECT_EQ(errorLog.events()[0].URI, closedPortURL);
  EXPECT_EQ(errorLog.events()[0].serverAddress, std::nullopt);
}

}  // namespace
