// The player plays sample lessons online (the signed playlist URL) and offline (a downloaded folder served by
// HTTPServer) on the manual clock: loading, the duration, play to the end, seeks, rates, a stall and its
// recovery.

#include <cmath>

#include "learning/player/ZBPlayerBanner.h"
#include "learning/player/zb_player_test_util.h"
#include "platform/uikit/driver/Driver.h"
#include "ui/popup/PopupMenu.h"

namespace learning::playertest {
namespace {

using namespace std::chrono_literals;

TEST(ZBPlayerBannerTest, NamesTheLibraryItsVersionAndItsBuildOnSevenIndentedLines) {
  const std::string banner = ZBPlayerBanner::text();
  const std::string indent(15, ' ');
  ASSERT_EQ(banner.substr(0, 1), "\n");
  std::vector<std::string> lines;
  for (std::size_t start = 1; start < banner.size();) {
    const std::size_t end = banner.find('\n', start);
    lines.push_back(banner.substr(start, end - start));
    start = end + 1;
  }
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], indent + std::string(22, '~'));
  EXPECT_EQ(lines[1], indent + "== ZBVideoPlayer - Portrait & Landscape ==");
  EXPECT_EQ(lines[2], indent);
  EXPECT_EQ(lines[3], indent + "Version 2.1.2");
  EXPECT_EQ(lines[4].substr(0, indent.size() + 8), indent + "Archive ");
  EXPECT_EQ(lines[5], indent + std::string(21, '~'));
  EXPECT_EQ(lines[6], indent);
}

TEST_F(PlayerTest, LoadsALessonOnlineAndOfflineAndPlaysItToTheEnd) {
  const ns::URL online = onlineURL(0);
  player_->playURL(online, "第1课", 0);
  EXPECT_TRUE(player_->showLoading());
  EXPECT_FALSE(player_->touchView()->tapAvailable());
  EXPECT_FALSE(player_->progressBar()->isUserInteractionEnabled());
  layOut();
  const std::string loading = uikit::Driver::screenText();
  for (const char* shown : {"加载中", "第1课", "label: 00:00:00\n", "label: /00:00:00\n"}) {
    EXPECT_NE(loading.find(shown), std::string::npos) << shown << " in\n" << loading;
  }

  ASSERT_TRUE(runUntil([&] { return !player_->showLoading(); }));
  EXPECT_EQ(player_->progressBar()->durationSec(), kLessonSeconds);
  EXPECT_EQ(player_->backgroundImg()->superview(), nullptr)
      << "the placeholder goes once the duration is known";
  EXPECT_EQ(player_->pllayer().player(), player_->player());
  EXPECT_TRUE(player_->isPlaying());
  EXPECT_EQ(player_->player()->rate(), 1.0F);
  EXPECT_TRUE(player_->touchView()->tapAvailable());
  EXPECT_TRUE(player_->touchView()->panAvailable());

  ASSERT_TRUE(playUntil([&] { return delegate_->ends() == 1; }));
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"didStop"});
  // The time observer reads the position every half second, so the last reading may lie a second before.
  EXPECT_GE(player_->progressSec(), kLessonSeconds - 1);
  EXPECT_EQ(player_->durationSec(), kLessonSeconds);
  EXPECT_FALSE(player_->hidden()) << "the controls come back at the end";
  EXPECT_FALSE(player_->isPlaying());
  EXPECT_FALSE(player_->touchView()->panAvailable());
  ASSERT_EQ(player_->playerEventLogs().size(), 4u) << "one access-log entry per segment";
  EXPECT_EQ(player_->playerEventLogs().back().serverAddress, "127.0.0.1");
  ASSERT_NE(player_->livePicture(), nullptr);

  // After the end the play button does not resume: it only reports.
  player_->progressBar()->btnPlayPause()->performTap();
  EXPECT_EQ(delegate_->events.back(), "playAtEnded 1");
  EXPECT_FALSE(player_->isPlaying());

  const std::optional<ns::URL> offline = offlineURL();
  ASSERT_TRUE(offline.has_value());
  ASSERT_TRUE(playUntilLoaded(*offline, 2));
  EXPECT_EQ(player_->currentURL(), offline);
  EXPECT_NEAR(mediaSeconds(), 2, 0.05) << "from the second asked for";
  ASSERT_TRUE(playUntil([&] { return delegate_->ends() == 2; }, 3s));
  EXPECT_NEAR(mediaSeconds(), kLessonSeconds, 0.05);
  EXPECT_EQ(player_->playerEventLogs().size(), 2u) << "segments 2 and 3";
}

TEST_F(PlayerTest, SeeksForwardsAndBackwardsAndAtTheEndEndsThePlay) {
  ASSERT_TRUE(playUntilLoaded(onlineURL(0)));
  ASSERT_TRUE(runUntil([&] { return player_->progressBar()->bufferSec() == kLessonSeconds; }));
  // The time observer reads the position every half second.
  play(1600ms);
  EXPECT_EQ(player_->progressBar()->playedSec(), 1u);

  for (const std::uint32_t second : {2u, 0u, 1u}) {
    SCOPED_TRACE(second);
    dragTo(second);
    EXPECT_EQ(player_->progressBar()->playedSec(), second);
    EXPECT_NEAR(mediaSeconds(), second, 0.001);
    // Play resumes once the item keeps up at the new point, and the time observer moves the bar again.
    ASSERT_TRUE(runUntil([&] { return !player_->showLoading() && player_->isPlaying(); }));
    ASSERT_TRUE(runUntil([&] { return player_->progressBar()->bufferSec() >= second + 2; }));
    play(1600ms);
    EXPECT_EQ(player_->progressBar()->playedSec(), second + 1);
    ASSERT_TRUE(player_->player()->currentPicture().has_value());
    EXPECT_NEAR(player_->player()->currentPicture()->seconds, second + 1.6, 0.05);
  }
  EXPECT_EQ(delegate_->events, std::vector<std::string>{});

  dragTo(kLessonSeconds);
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"didStop"}) << "a seek to the end is the end";
  EXPECT_EQ(player_->progressBar()->playedSec(), kLessonSeconds);
}

TEST_F(PlayerTest, TheRateMenuSetsTheRateNowOrOnTheNextPlay) {
  ASSERT_TRUE(playUntilLoaded(onlineURL(0)));
  player_->setIsFull(true);
  layOut();
  ASSERT_TRUE(uikit::Driver::tap("1.0").ok()) << "the rate button shows in full screen";
  const std::shared_ptr<ui::PopupMenu> menu = ui::PopupMenu::shownMenu();
  ASSERT_NE(menu, nullptr);
  std::vector<std::string> titles;
  for (const auto& item : menu->menuItems()) {
    titles.push_back(item->title());
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"0.8 x", "1.0 x", "1.2 x", "1.5 x", "2.0 x"}));

  ASSERT_TRUE(uikit::Driver::tap("1.2 x").ok());
  EXPECT_EQ(ui::PopupMenu::shownMenu(), nullptr);
  EXPECT_EQ(player_->currentRate(), 1.25F) << "\"1.2 x\" plays at 1.25";
  EXPECT_EQ(player_->player()->rate(), 1.25F);
  EXPECT_EQ(player_->navigationBar()->rateBtn()->currentTitle(), "1.2");
  ASSERT_TRUE(runUntil([&] { return player_->progressBar()->bufferSec() == kLessonSeconds; }));
  const double before = mediaSeconds();
  play(800ms);
  EXPECT_NEAR(mediaSeconds() - before, 1.0, 0.05);

  player_->progressBar()->btnPlayPause()->performTap();
  ASSERT_FALSE(player_->isPlaying());
  ASSERT_TRUE(uikit::Driver::tap("1.2").ok());
  ASSERT_TRUE(uikit::Driver::tap("2.0 x").ok());
  EXPECT_EQ(player_->currentRate(), 2.0F);
  EXPECT_EQ(player_->player()->rate(), 0.0F) << "chosen while paused, kept for the next play";
  player_->progressBar()->btnPlayPause()->performTap();
  EXPECT_EQ(player_->player()->rate(), 2.0F);

  player_->breakMedia();
  EXPECT_EQ(player_->currentRate(), 1.0F);
  EXPECT_EQ(player_->navigationBar()->rateBtn()->currentTitle(), "1.0");
}

TEST_F(PlayerTest, AStallPausesWithTheLoadingTipUntilTheDataComes) {
  // The third segment comes slowly, so that play overtakes it.
  road_.media().controls().faultNextSegment(
      2, {.pieceSize = 2048, .pauseBetweenPieces = std::chrono::milliseconds(100)});
  ASSERT_TRUE(playUntilLoaded(onlineURL(0)));
  ASSERT_TRUE(runUntil([&] { return player_->progressBar()->bufferSec() >= 2; }));
  downloadtest::NotificationCount stalls{std::string(av::kAVPlayerItemPlaybackStalledNotification)};
  ASSERT_TRUE(playUntil([&] { return stalls.count > 0; }, 3s));
  ASSERT_EQ(stalls.count, 1);
  EXPECT_FALSE(player_->isPlaying());
  EXPECT_TRUE(player_->showLoading());
  EXPECT_NE(player_->tip()->loadingPanel()->superview(), nullptr);
  EXPECT_GT(mediaSeconds(), 1.5) << "at the end of the data";
  EXPECT_LE(mediaSeconds(), 2.0);

  ASSERT_TRUE(runUntil([&] { return !player_->showLoading(); }));
  EXPECT_TRUE(player_->isPlaying()) << "play resumes by itself";
  ASSERT_TRUE(playUntil([&] { return delegate_->ends() == 1; }));
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"didStop"});
}

}  // namespace
}  // namespace learning::playertest
