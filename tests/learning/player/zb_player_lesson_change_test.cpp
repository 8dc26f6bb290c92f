// What must hold when lessons change and players meet: a new lesson's position starts afresh (from its
// start when the second asked for lies at or past its end), a lesson shown unopened reads no position and
// no loading, another player's item never moves this one, and nothing before the duration is known counts
// as the end.

#include "learning/player/zb_player_test_util.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/driver/Driver.h"

namespace learning::playertest {
namespace {

using namespace std::chrono_literals;

TEST_F(PlayerTest, TheSavedSecondStartsAfreshWithEachLesson) {
  ASSERT_TRUE(playUntilLoaded(onlineURL(0)));
  play(2600ms);
  ASSERT_EQ(player_->progressSec(), 2u);
  ASSERT_EQ(player_->durationSec(), kLessonSeconds);
  player_->breakMedia();
  EXPECT_EQ(player_->progressSec(), 2u) << "the last position is still read after the media is gone";

  player_->playURL(onlineURL(1), "第2课", 0);
  EXPECT_EQ(player_->progressSec(), 0u) << "a save right after the change stores nothing of lesson 1";
  EXPECT_EQ(player_->durationSec(), 0u);
  player_->playURL(onlineURL(2), "第3课", 3);
  EXPECT_EQ(player_->progressSec(), 3u);
}

TEST_F(PlayerTest, ASecondAtOrPastTheEndPlaysTheLessonFromItsStart) {
  for (const std::uint32_t second : {kLessonSeconds, 315u}) {
    SCOPED_TRACE(second);
    ASSERT_TRUE(playUntilLoaded(onlineURL(0), second));
    EXPECT_NEAR(mediaSeconds(), 0, 0.001);
    EXPECT_EQ(player_->progressBar()->playedSec(), 0u);
    EXPECT_TRUE(player_->isPlaying());
    ASSERT_TRUE(playUntil([&] { return player_->progressSec() >= 1; }));
    ASSERT_NE(player_->livePicture(), nullptr);
    EXPECT_EQ(delegate_->events, std::vector<std::string>{}) << "no end of the lesson";
  }
}

TEST_F(PlayerTest, ALessonShownUnopenedReadsNoPositionAndNoLoading) {
  player_->playURL(onlineURL(0), "第1课", 2);
  ASSERT_TRUE(player_->showLoading());
  player_->breakMedia();
  EXPECT_FALSE(player_->showLoading()) << "nothing loads without a media";

  ASSERT_TRUE(playUntilLoaded(onlineURL(0)));
  play(2600ms);
  ASSERT_EQ(player_->progressSec(), 2u);
  player_->showUnopened("第2课");
  EXPECT_EQ(player_->player(), nullptr);
  EXPECT_EQ(player_->progressSec(), 0u) << "a save now stores nothing of lesson 1";
  EXPECT_EQ(player_->durationSec(), 0u);
  layOut();
  const std::string shown = uikit::Driver::screenText();
  for (const char* text : {"第2课", "label: 00:00:00\n", "label: /00:00:00\n"}) {
    EXPECT_NE(shown.find(text), std::string::npos) << text << " in\n" << shown;
  }
  EXPECT_EQ(shown.find("加载中"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("第1课"), std::string::npos) << shown;
}

TEST_F(PlayerTest, AnotherPlayersEndOrStallNeverStopsThisOne) {
  auto otherDelegate = std::make_shared<RecordingPlayerDelegate>();
  auto other = ZBPlayer::playerWithFrame(uikit::Rect(0, 0, 375, 211));
  other->setDelegate(otherDelegate);
  other->playURL(onlineURL(1), "第2课", 3);
  ASSERT_TRUE(playUntilLoaded(onlineURL(0)));
  ASSERT_TRUE(runUntil([&] { return !other->showLoading(); }));
  ASSERT_TRUE(runUntil([&] { return player_->progressBar()->bufferSec() >= 2; }));

  ASSERT_TRUE(playUntil([&] { return otherDelegate->ends() == 1; }, 2s));
  EXPECT_EQ(delegate_->events, std::vector<std::string>{});
  EXPECT_TRUE(player_->isPlaying());
  ns::NotificationCenter::defaultCenter().postNotificationName(
      std::string(av::kAVPlayerItemPlaybackStalledNotification), other->plitem());
  EXPECT_TRUE(player_->isPlaying()) << "a stall of another item";
  EXPECT_FALSE(player_->showLoading());

  other->breakMedia();
  other->setDelegate(nullptr);
}

TEST_F(PlayerTest, BecomingActiveOrSeekingBeforeTheDurationIsKnownIsNoEnd) {
  player_->playURL(onlineURL(0), "第1课", 0);
  ASSERT_EQ(player_->progressBar()->durationSec(), 0u);
  uikit::Application::sharedApplication().becomeActive();
  player_->progressBar()->setPlayedSec(2);
  player_->seekToSecond(*player_->progressBar());
  EXPECT_EQ(delegate_->events, std::vector<std::string>{}) << "no end of the lesson to save and move on from";

  ASSERT_TRUE(runUntil([&] { return !player_->showLoading(); }));
  EXPECT_EQ(delegate_->events, std::vector<std::string>{});
  EXPECT_TRUE(player_->isPlaying());
  EXPECT_NEAR(mediaSeconds(), 0, 0.001);

  // With no media at all, nothing is ended either.
  player_->breakMedia();
  uikit::Application::sharedApplication().enterBackground();
  uikit::Application::sharedApplication().becomeActive();
  EXPECT_EQ(delegate_->events, std::vector<std::string>{});
}

}  // namespace
}  // namespace learning::playertest
