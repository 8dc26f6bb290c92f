#include "learning/player/zb_player_test_util.h"

#include <algorithm>

#include "learning/downloads/QMSignedPlaylistURL.h"
#include "platform/avfoundation/engine_pacing_test_util.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/controllers/ViewController.h"

namespace learning::playertest {

bool RecordingPlayerDelegate::answers(Callback callback) const {
  return std::find(answered.begin(), answered.end(), callback) != answered.end();
}

void RecordingPlayerDelegate::playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error) {
  tipsAtStop.push_back(player.tip()->errorInfoLabel().text());
  if (error) {
    events.push_back("didStop " + error->domain() + " " + std::to_string(error->code()));
    errors.push_back(*error);
  } else {
    events.push_back("didStop");
  }
  if (whenStopped) {
    whenStopped(player);
  }
}

void RecordingPlayerDelegate::playerOnClickedPlayAtEnded(ZBPlayer&, bool atEnded) {
  events.push_back(std::string("playAtEnded ") + (atEnded ? "1" : "0"));
}

void RecordingPlayerDelegate::playerOnClickedNavBack(ZBPlayer&, const std::optional<ns::URL>& url) {
  events.push_back("navBack " + (url ? url->absoluteString() : "-"));
}

void RecordingPlayerDelegate::playerOnClickedLast(ZBPlayer&, const std::optional<ns::URL>& url) {
  events.push_back("last " + (url ? url->absoluteString() : "-"));
}

void RecordingPlayerDelegate::playerOnClickedNext(ZBPlayer&, const std::optional<ns::URL>& url) {
  events.push_back("next " + (url ? url->absoluteString() : "-"));
}

int RecordingPlayerDelegate::ends() const {
  return static_cast<int>(std::count(events.begin(), events.end(), "didStop"));
}

std::optional<ns::Error> RecordingPlayerDelegate::errorOf(const std::string& domain) const {
  for (const ns::Error& error : errors) {
    if (error.domain() == domain) {
      return error;
    }
  }
  return std::nullopt;
}

bool playerPlayUntil(ZBPlayer& player, testsupport::ScopedManualClock& clock,
                     const std::function<bool()>& done, ns::Duration most) {
  const double tickSeconds = std::chrono::duration<double>(av::Player::kTick).count();
  for (ns::Duration played{}; played < most && !done(); played += av::Player::kTick) {
    // While the player waits for data, the clock waits too: the data comes in real time.
    if (player.showLoading() && player.plitem() &&
        player.plitem()->status() != av::PlayerItemStatus::kFailed) {
      ns::RunLoop::main().runUntil([&] { return !player.showLoading() || done(); }, std::chrono::seconds(20));
    }
    // The item decodes on a thread of its own, in real time too: the clock waits until it has decoded what
    // the tick will show.
    if (const std::shared_ptr<av::PlayerItem> item = player.plitem(); item && player.player()) {
      const double next = item->currentSeconds() + player.player()->rate() * tickSeconds;
      ns::RunLoop::main().runUntil([&] { return avtest::isReadyFor(*item, next) || done(); },
                                   std::chrono::seconds(20));
    }
    clock.advance(av::Player::kTick);
    ns::RunLoop::main().runPending();
  }
  return done();
}

PlayerTest::PlayerTest() {
  window_ = std::make_shared<uikit::Window>();
  auto root = std::make_shared<uikit::ViewController>();
  window_->setRootViewController(root);
  window_->makeKeyAndVisible();
  player_ = ZBPlayer::playerWithFrame(uikit::Rect(0, 0, 375, 211));
  player_->setDelegate(delegate_);
  root->view()->addSubview(player_);
  layOut();
}

PlayerTest::~PlayerTest() {
  // As an owner leaves: break the media, take the view away and let go of the delegate.
  player_->breakMedia();
  player_->removeFromSuperview();
  player_->setDelegate(nullptr);
  ns::RunLoop::main().runPending();
}

ns::URL PlayerTest::onlineURL(std::size_t index) {
  return *ns::URL::fromString(QMSignedPlaylistURL::m3u8VideoURLWithServerTime(
      *road_.lesson(index), static_cast<double>(road_.api().controls().serverTime()),
      QMSignedPlaylistURL::Use::kOnlinePlay));
}

std::optional<ns::URL> PlayerTest::offlineURL(const std::function<void(const std::string& folder)>& change) {
  const std::vector<std::string> urls = downloadtest::onlineAndOfflineLessonURLs(road_, server_);
  if (urls.size() != 2) {
    return std::nullopt;
  }
  if (change) {
    change(road_.lessonFolder(0));
  }
  return ns::URL::fromString(urls[1]);
}

::testing::AssertionResult PlayerTest::playUntilLoaded(const ns::URL& url, std::uint32_t fromSecond) {
  const std::size_t eventsBefore = delegate_->events.size();
  player_->playURL(url, "第1课", fromSecond);
  if (!player_->showLoading()) {
    return ::testing::AssertionFailure() << "the player does not show loading while it loads";
  }
  if (!runUntil([&] { return !player_->showLoading() || delegate_->events.size() > eventsBefore; })) {
    return ::testing::AssertionFailure() << "still loading";
  }
  if (delegate_->events.size() > eventsBefore) {
    return ::testing::AssertionFailure() << "the player told " << delegate_->events[eventsBefore];
  }
  return ::testing::AssertionSuccess();
}

bool PlayerTest::runUntil(const std::function<bool()>& done) {
  return ns::RunLoop::main().runUntil(done, std::chrono::seconds(20));
}

bool PlayerTest::playUntil(const std::function<bool()>& done, ns::Duration most) {
  return playerPlayUntil(*player_, clock_, done, most);
}

void PlayerTest::play(ns::Duration by) {
  playUntil([] { return false; }, by);
}

void PlayerTest::dragTo(std::uint32_t second) {
  layOut();
  ZBPlayerSlider& slider = *player_->progressBar()->sliderView();
  // The middle of the second's stretch of the line, so that rounding cannot land in the one before.
  const double width = slider.bounds().width();
  const double x = std::min(width, width * (second + 0.5) / player_->progressBar()->durationSec());
  slider.touchesBegan(uikit::Point{x, 5});
  slider.touchesMoved(uikit::Point{x, 5});
  slider.touchesEnded(uikit::Point{x, 5});
}

double PlayerTest::mediaSeconds() const {
  return player_->player() ? player_->player()->currentTime().seconds() : 0;
}

void PlayerTest::layOut() {
  player_->setNeedsDisplay();
  window_->updateIfNeeded();
}

}  // namespace learning::playertest
