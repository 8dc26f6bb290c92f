// The ways a lesson fails in the player, each reported once through playerDidStop() with its error and tip:
// a playlist missing or refused, a duration below a second, a list without an end, a wrong key, a missing
// segment and one cut short.

#include <fstream>
#include <regex>
#include <sstream>

#include "learning/player/zb_player_test_util.h"
#include "platform/avfoundation/MediaErrors.h"

namespace learning::playertest {
namespace {

using namespace std::chrono_literals;

// Rewrites the text of the file at `path` with `change`.
void rewrite(const std::string& path, const std::function<std::string(std::string)>& change) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  std::ofstream(path, std::ios::trunc) << change(text.str());
}

TEST_F(PlayerTest, APlaylistMissingOrRefusedEndsLoadingWithTheRequestAddressError) {
  for (const auto& [status, code] :
       {std::pair{404u, av::kMediaResourceNotFound}, std::pair{500u, av::kMediaResourceHTTPError}}) {
    SCOPED_TRACE(status);
    delegate_->errors.clear();
    road_.media().controls().faultNextPlaylist({.failWithStatus = status});
    const ns::URL url = onlineURL(0);
    player_->playURL(url, "第1课", 0);
    ASSERT_TRUE(runUntil([&] { return delegate_->errorOf("请求地址错误").has_value(); }));
    const ns::Error error = *delegate_->errorOf("请求地址错误");
    EXPECT_EQ(error.code(), code);
    EXPECT_EQ(error.userInfo().at("absoluteURL").stringValue(), url.absoluteString());
    ASSERT_NE(error.underlyingError(), nullptr);
    EXPECT_EQ(error.underlyingError()->domain(), av::kCoreMediaErrorDomain);
    EXPECT_EQ(delegate_->tipsAtStop.back(), "请求地址错误");
    // Loading is over whatever the code: the player waits for nothing more.
    EXPECT_FALSE(player_->showLoading());
    EXPECT_EQ(player_->tip()->loadingPanel()->superview(), nullptr);
    EXPECT_TRUE(player_->touchView()->tapAvailable());
    EXPECT_FALSE(player_->touchView()->panAvailable());
    EXPECT_FALSE(player_->isPlaying());
    EXPECT_FALSE(player_->hidden());
  }
}

TEST_F(PlayerTest, ADurationBelowASecondIsAParseErrorAndKeepsThePlaceholder) {
  const std::optional<ns::URL> url = offlineURL([](const std::string& folder) {
    rewrite(folder + "/index.m3u8", [](std::string text) {
      return std::regex_replace(text, std::regex("#EXTINF:[0-9.]+,"), "#EXTINF:0,");
    });
  });
  ASSERT_TRUE(url.has_value());
  player_->playURL(*url, "第1课", 0);
  ASSERT_TRUE(runUntil([&] { return !delegate_->errors.empty(); }));
  const ns::Error& error = delegate_->errors.front();
  EXPECT_EQ(error.domain(), "文件解析错误");
  EXPECT_EQ(error.code(), 20160114);
  EXPECT_EQ(error.userInfo().at("absoluteURL").stringValue(), url->absoluteString());
  EXPECT_EQ(delegate_->tipsAtStop.front(), "文件解析错误");
  EXPECT_EQ(player_->backgroundImg()->superview(), player_.get()) << "the placeholder stays";
  EXPECT_EQ(player_->pllayer().player(), nullptr);
}

TEST_F(PlayerTest, AListWithoutAnEndHasNoDurationYetItsTimeIsObserved) {
  const std::optional<ns::URL> url = offlineURL([](const std::string& folder) {
    rewrite(folder + "/index.m3u8",
            [](std::string text) { return std::regex_replace(text, std::regex("#EXT-X-ENDLIST\n?"), ""); });
  });
  ASSERT_TRUE(url.has_value());
  player_->playURL(*url, "第1课", 0);
  // The indefinite duration has no timescale: the ready item must not divide by it.
  ASSERT_TRUE(runUntil([&] {
    return player_->plitem()->status() == av::PlayerItemStatus::kReadyToPlay && !player_->showLoading();
  }));
  EXPECT_EQ(player_->progressBar()->durationSec(), 0u);
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"didStop 文件解析错误 20160114"});
  ASSERT_TRUE(player_->isPlaying());
  play(1600ms);
  EXPECT_EQ(player_->progressBar()->playedSec(), 1u) << "the time observer runs every half second";
}

TEST_F(PlayerTest, AWrongKeyFailsTheItemWithItsErrorAndTip) {
  const std::optional<ns::URL> url = offlineURL([](const std::string& folder) {
    rewrite(folder + "/K.bin", [](std::string) { return std::string("0000000000000000"); });
  });
  ASSERT_TRUE(url.has_value());
  player_->playURL(*url, "第1课", 0);
  ASSERT_TRUE(runUntil([&] { return !delegate_->errors.empty(); }));
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"didStop AVFoundationErrorDomain -11828"});
  const ns::Error& error = delegate_->errors.front();
  EXPECT_EQ(error.userInfo().at("IP").stringValue(), "N") << "no load failed, so no server is named";
  EXPECT_TRUE(error.userInfo().at("source_USERINFO").isDictionary());
  EXPECT_EQ(player_->tip()->errorInfoLabel().text(), "The operation could not be completed");
  EXPECT_NE(player_->tip()->errorPanel()->superview(), nullptr);
  EXPECT_TRUE(player_->playerErrorLogs().empty());
  // A failed item counts as ended: the play button only reports.
  player_->progressBar()->btnPlayPause()->performTap();
  EXPECT_EQ(delegate_->events.back(), "playAtEnded 1");
  EXPECT_FALSE(player_->isPlaying());
}

TEST_F(PlayerTest, AnOwnerMayLetGoOfTheMediaWhileTheFailureIsTold) {
  const std::optional<ns::URL> url = offlineURL([](const std::string& folder) {
    rewrite(folder + "/K.bin", [](std::string) { return std::string("0000000000000000"); });
  });
  ASSERT_TRUE(url.has_value());
  // The failure is told from inside the item's own change of status.
  delegate_->whenStopped = [](ZBPlayer& player) { player.breakMedia(); };
  player_->playURL(*url, "第1课", 0);
  ASSERT_TRUE(runUntil([&] { return !delegate_->errors.empty(); }));
  EXPECT_EQ(player_->plitem(), nullptr);
  EXPECT_EQ(player_->player(), nullptr);
  ns::RunLoop::main().runPending();
}

TEST_F(PlayerTest, AMissingSegmentFailsWithItsErrorLogEntry) {
  road_.media().controls().faultNextSegment(1, {.failWithStatus = 404});
  player_->playURL(onlineURL(0), "第1课", 0);
  ASSERT_TRUE(runUntil([&] { return delegate_->errors.size() == 2; }));
  EXPECT_EQ(delegate_->events,
            (std::vector<std::string>{"didStop AVFoundationErrorDomain -11800", "didStop HTTP 404 404"}));
  EXPECT_EQ(delegate_->errors[0].userInfo().at("IP").stringValue(), "127.0.0.1");
  const ns::Error& logged = delegate_->errors[1];
  ASSERT_EQ(player_->playerErrorLogs().size(), 1u);
  const av::PlayerItemErrorLogEvent& event = player_->playerErrorLogs().front();
  ASSERT_TRUE(event.URI.has_value());
  EXPECT_NE(event.URI->find("/seg1.ts"), std::string::npos) << *event.URI;
  EXPECT_EQ(logged.userInfo().at("URI").stringValue(), *event.URI);
  EXPECT_EQ(logged.userInfo().at("serverAddress").stringValue(), "127.0.0.1");
  EXPECT_FALSE(player_->isPlaying());
  EXPECT_FALSE(player_->touchView()->panAvailable());
}

TEST_F(PlayerTest, ASegmentCutShortFailsAsALostConnectionRatherThanLoadingForEver) {
  road_.media().controls().faultNextSegment(1, {.truncateAfterBytes = 1000});
  player_->playURL(onlineURL(0), "第1课", 0);
  ASSERT_TRUE(runUntil([&] { return delegate_->errors.size() == 2; }));
  EXPECT_EQ(player_->plitem()->status(), av::PlayerItemStatus::kFailed);
  EXPECT_EQ(delegate_->errors[0].domain(), av::kAVFoundationErrorDomain);
  // The log entry names a network failure, which the lesson screen tells apart from other failures.
  ASSERT_EQ(player_->playerErrorLogs().size(), 1u);
  EXPECT_EQ(player_->playerErrorLogs().front().errorDomain, av::kCFErrorDomainCFNetwork);
  EXPECT_EQ(delegate_->errors[1].code(), player_->playerErrorLogs().front().errorStatusCode);
  EXPECT_FALSE(player_->isPlaying());
  EXPECT_EQ(delegate_->ends(), 0);
}

}  // namespace
}  // namespace learning::playertest
