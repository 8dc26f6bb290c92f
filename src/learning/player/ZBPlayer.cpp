#include "learning/player/ZBPlayer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/store/ConsoleLog.h"
#include "learning/player/ZBPlayerBanner.h"
#include "learning/player/controls/InterfaceScreenBounds.h"
#include "learning/player/controls/ZBImageFromBundle.h"
#include "platform/avfoundation/MediaErrors.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Device.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "ui/popup/PopupMenu.h"

namespace learning {
namespace {

constexpr double kControlsAnimationSeconds = 0.3;
constexpr double kLockButtonCentreX = 40;
// The rate menu hangs from a point this far left of the player's right edge, just below the top bar.
constexpr double kRateMenuFromRight = 50;
constexpr double kRateMenuBelowBar = 5;
constexpr double kRateMenuTint = 0.122;
constexpr float kVolumeAndBrightnessScale = 100;
// The device orientations that enter full screen; the first unless the owner chose the other.
constexpr std::int64_t kLandscapeLeft = 3;
constexpr std::int64_t kLandscapeRight = 4;

constexpr char kFileParseError[] = "文件解析错误";
constexpr std::int64_t kFileParseErrorCode = 20160114;
constexpr char kRequestAddressError[] = "请求地址错误";
constexpr char kUnknownLogValue[] = "N";

// The rate menu: titles and the rates they play at ("1.2 x" plays at 1.25).
constexpr struct {
  const char* title;
  float rate;
} kRates[] = {{"0.8 x", 0.8F}, {"1.0 x", 1.0F}, {"1.2 x", 1.25F}, {"1.5 x", 1.5F}, {"2.0 x", 2.0F}};

uikit::Color barBackground() {
  return uikit::Color::white(31.0 / 255, 0.9);
}

// The whole seconds of `time`: 0 for the indefinite time and a time without a timescale, and never more
// than the bars can hold.
std::uint32_t wholeSecondsOf(av::Time time) {
  if (time.isIndefinite() || time.timescale <= 0 || time.value <= 0) {
    return 0;
  }
  const std::int64_t seconds = time.value / time.timescale;
  return static_cast<std::uint32_t>(
      std::min<std::int64_t>(seconds, std::numeric_limits<std::uint32_t>::max()));
}

// The periodic observer's interval: half the duration's timescale over that timescale, i.e. every half
// second; half a second too when the timescale is too small to halve (a live list's indefinite duration).
av::Time observerIntervalFor(const std::shared_ptr<av::URLAsset>& asset) {
  const std::int32_t timescale = asset ? asset->duration().timescale : 0;
  if (timescale < 2) {
    return av::Time::fromSeconds(0.5);
  }
  return av::Time{timescale / 2, timescale, false};
}

std::string logValue(const std::optional<std::string>& value) {
  return value.value_or(kUnknownLogValue);
}

// The gesture surface's delegate: the player, held weakly. The surface holds its delegate strongly and the
// player owns the surface, so holding the player itself would keep both alive for ever.
class WeakTouchDelegate : public ZBPlayerTouchDelegate {
 public:
  explicit WeakTouchDelegate(std::weak_ptr<ZBPlayerTouchDelegate> target) : target_(std::move(target)) {}
  void touchOnClicked(ZBPlayerTouch& touch, bool clicked) override {
    if (const auto target = target_.lock()) {
      target->touchOnClicked(touch, clicked);
    }
  }
  void touchOnChangingValue(ZBPlayerTouch& touch, float value) override {
    if (const auto target = target_.lock()) {
      target->touchOnChangingValue(touch, value);
    }
  }
  void touchOnChangedValue(ZBPlayerTouch& touch, bool changed) override {
    if (const auto target = target_.lock()) {
      target->touchOnChangedValue(touch, changed);
    }
  }

 private:
  std::weak_ptr<ZBPlayerTouchDelegate> target_;
};

}  // namespace

std::shared_ptr<ZBPlayer> ZBPlayer::playerWithFrame(uikit::Rect frame) {
  auto player = std::make_shared<ZBPlayer>(frame);
  player->setUp();
  return player;
}

std::shared_ptr<ZBPlayer> ZBPlayer::fullScreenPlayer() {
  const uikit::Rect screen = uikit::Screen::mainScreen().bounds();
  auto player = std::make_shared<ZBPlayer>(uikit::Rect(0, 0, std::max(screen.width(), screen.height()),
                                                       std::min(screen.width(), screen.height())));
  player->onlyFull_ = true;
  player->setUp();
  player->setIsFull(true);
  player->progressBar_->setOnlyFull(true);
  return player;
}

ZBPlayer::ZBPlayer(uikit::Rect frame)
    : View(frame),
      pllayer_(std::make_shared<av::PlayerLayer>()),
      progressBar_(std::make_shared<ZBPlayerProgressBar>()),
      navigationBar_(std::make_shared<ZBPlayerNavigationBar>()),
      touchView_(uikit::outlet("playerTouch", std::make_shared<ZBPlayerTouch>())),
      volume_(std::make_shared<ZBPlayerVolume>()),
      tip_(std::make_shared<ZBPlayerTip>()),
      backgroundImg_(std::make_shared<uikit::ImageView>()),
      btnLock_(std::make_shared<uikit::Button>(uikit::Rect(), uikit::ButtonType::kCustom)) {}

ZBPlayer::~ZBPlayer() {
  ns::NotificationCenter::defaultCenter().removeObserver(this);
  stopAutoHideTimer();
  if (lockHideTimer_) {
    lockHideTimer_->invalidate();
  }
  removeTimeObserver();
}

void ZBPlayer::setUp() {
  ZBPlayerBanner::print();
  setClipsToBounds(true);
  const std::shared_ptr<ZBPlayer> player = self();
  for (const auto& rate : kRates) {
    menuItems_.push_back(
        ui::PopupMenuItem::menuItem(rate.title, nullptr, player, &ZBPlayer::changeRate, rate.rate));
  }
  // Every player hears every item's notifications; each handler keeps to its own item.
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  center.addObserver(player, &ZBPlayer::onPlayEnd, std::string(av::kAVPlayerItemDidPlayToEndTimeNotification),
                     nullptr);
  center.addObserver(player, &ZBPlayer::onNewErrorLogEntryNotification,
                     std::string(av::kAVPlayerItemNewErrorLogEntryNotification), nullptr);
  center.addObserver(player, &ZBPlayer::onNewAccessLogEntryNotification,
                     std::string(av::kAVPlayerItemNewAccessLogEntryNotification), nullptr);
  center.addObserver(player, &ZBPlayer::onPlaybackStalledNotification,
                     std::string(av::kAVPlayerItemPlaybackStalledNotification), nullptr);
  center.addObserver(player, &ZBPlayer::didBecomActive, uikit::kApplicationDidBecomeActiveNotification,
                     nullptr);
  center.addObserver(player, &ZBPlayer::didEnterbackground, uikit::kApplicationDidEnterBackgroundNotification,
                     nullptr);

  addSubview(backgroundImg_);
  touchView_->setPanAvailable(false);
  touchView_->setTapAvailable(false);
  touchView_->setDelegate(std::make_shared<WeakTouchDelegate>(player));
  addSubview(touchView_);
  setupProgressBar();
  addSubview(progressBar_);
  navigationBar_->setRate(1.0F);
  setupNavigationBar();
  addSubview(navigationBar_);
  btnLock_->setImage(ZBImageFromBundle::imageWithResourceName("iconUnlock"), uikit::kControlStateNormal);
  btnLock_->setImage(ZBImageFromBundle::imageWithResourceName("iconLock"), uikit::kControlStateSelected);
  btnLock_->addTarget(player, &ZBPlayer::onLockEvent, uikit::kControlEventTouchUpInside);
  tip_->setSView(player);
  center.addObserver(player, &ZBPlayer::screenTransform, uikit::kDeviceOrientationDidChangeNotification,
                     nullptr);

  barObservations_.push_back(progressBar_->observe(
      ZBPlayerProgressBar::kOnPlayKey, reactionOnSelf([](ZBPlayer& self, const ns::Value& playing) {
        self.playingChanged(playing.boolValue());
      })));
}

ns::KeyValueObservable::Callback ZBPlayer::reactionOnSelf(
    std::function<void(ZBPlayer&, const ns::Value&)> reaction) {
  return [weakPlayer = weakSelf(), reaction = std::move(reaction)](const ns::KeyValueChange& change) {
    if (const std::shared_ptr<ZBPlayer> player = weakPlayer.lock()) {
      reaction(*player, change.newValue);
    }
  };
}

void ZBPlayer::playingChanged(bool playing) {
  if (playing) {
    touchView_->setPanAvailable(true);
  }
  if (player_) {
    player_->setRate(playing ? currentRate_ : 0);
  }
}

void ZBPlayer::draggingChanged(bool dragging) {
  if (dragging) {
    stopAutoHideTimer();
  } else {
    resetAutoHiddenInterval();
  }
}

void ZBPlayer::setupProgressBar() {
  const std::shared_ptr<ZBPlayer> player = self();
  progressBar_->btnPlayPause()->addTarget(player, &ZBPlayer::onProgressPPEvent,
                                          uikit::kControlEventTouchUpInside);
  progressBar_->btnLast()->addTarget(player, &ZBPlayer::onProgressLastEvent,
                                     uikit::kControlEventTouchUpInside);
  progressBar_->btnNext()->addTarget(player, &ZBPlayer::onProgressNextEvent,
                                     uikit::kControlEventTouchUpInside);
  progressBar_->btnScreen()->addTarget(player, &ZBPlayer::onProgressScreenEvent,
                                       uikit::kControlEventTouchUpInside);
  progressBar_->addTarget(player, &ZBPlayer::seekToSecond, uikit::kControlEventValueChanged);
  barObservations_.push_back(progressBar_->observe(
      ZBPlayerProgressBar::kOnDragKey, reactionOnSelf([](ZBPlayer& self, const ns::Value& dragging) {
        self.draggingChanged(dragging.boolValue());
      })));
}

void ZBPlayer::setupNavigationBar() {
  const std::shared_ptr<ZBPlayer> player = self();
  navigationBar_->backBtn()->addTarget(player, &ZBPlayer::onNavigationBackEvent,
                                       uikit::kControlEventTouchUpInside);
  navigationBar_->rateBtn()->addTarget(player, &ZBPlayer::onNavigationRateEvent,
                                       uikit::kControlEventTouchUpInside);
  navigationBar_->infoBtn()->addTarget(player, &ZBPlayer::onNavigationInfoEvent,
                                       uikit::kControlEventTouchUpInside);
}

// Layout

void ZBPlayer::drawRect(uikit::Rect rect) {
  const uikit::Rect area = isFull_ ? interfaceScreenBounds() : rect;
  uikit::Application& application = uikit::Application::sharedApplication();
  application.setStatusBarStyle(uikit::StatusBarStyle::kLightContent);
  if (!application.isStatusBarHidden()) {
    application.setStatusBarHidden(true);
    application.setStatusBarHidden(false);
  }

  const bool portrait = uikit::Device::currentDevice().orientation() == uikit::DeviceOrientation::kPortrait;
  if (const auto picture = ZBImageFromBundle::imageWithResourceName(portrait ? "BGV" : "BG")) {
    backgroundImg_->setImage(picture->resizableImageWithCapInsets(uikit::EdgeInsets{}));
    backgroundImg_->setFrame(uikit::Rect(uikit::Point{}, picture->size()));
  }
  backgroundImg_->setCenter(uikit::Point{area.midX(), area.midY()});
  setBackgroundColor(uikit::Color::black());

  // The picture layer has no geometry of its own: it fills the view, as the gesture surface does.
  touchView_->setFrame(area);
  navigationBar_->setFrame(uikit::Rect(0, 0, area.width(), kNavigationBarHeight));
  navigationBar_->setBackgroundColor(barBackground());
  progressBar_->setHiddenLast(hiddenLastButton_);
  progressBar_->setHiddenNext(hiddenNextButton_);
  const double barHeight = progressBar_->height();
  progressBar_->setFrame(uikit::Rect(0, area.height() - barHeight, area.width(), barHeight));
  progressBar_->setBackgroundColor(barBackground());
  if (const std::shared_ptr<uikit::View>& currentTip = tip_->currentTip()) {
    currentTip->setCenter(center());
  }
  if (isFull_) {
    if (btnLock_->superview() != this) {
      addSubview(btnLock_);
    }
    const std::shared_ptr<const uikit::Image> image = btnLock_->currentImage();
    btnLock_->setFrame(uikit::Rect(uikit::Point{}, image ? image->size() : uikit::Size{}));
    btnLock_->setCenter(uikit::Point{kLockButtonCentreX, area.height() / 2});
  } else {
    btnLock_->removeFromSuperview();
  }
  for (const std::shared_ptr<uikit::View>& subview : subviews()) {
    subview->setNeedsDisplay();
  }
}

std::shared_ptr<const uikit::Image> ZBPlayer::livePicture() const {
  std::optional<av::RGBAPicture> picture = pllayer_->rgbaPicture();
  if (!picture) {
    return nullptr;
  }
  return uikit::Image::imageWithRGBAPixels(picture->width, picture->height, std::move(picture->rgba));
}

// Opening a media

void ZBPlayer::playURL(const ns::URL& url, const std::string& title, std::uint32_t fromSecond) {
  QM_DCHECK_MAIN_THREAD();
  showUnopened(title);
  currentURL_ = url;
  setShowLoading(true);
  asset_ = av::URLAsset::URLAssetWithURL(
      url, {.preferPreciseDurationAndTiming = true, .referenceRestrictions = 1});
  plitem_ = av::PlayerItem::playerItemWithAsset(asset_);
  // The engine's player pauses at the item's end by itself.
  player_ = av::Player::playerWithPlayerItem(plitem_);
  progressBar_->setPlayedSec(fromSecond);
  plitem_->seekToTime(av::Time{fromSecond, 1, false});
  observeItem();
  const std::weak_ptr<ZBPlayer> weakPlayer = self();
  const std::weak_ptr<av::URLAsset> weakAsset = asset_;
  asset_->loadValuesAsynchronouslyForKeys({std::string(av::URLAsset::kDurationKey)}, [weakPlayer, weakAsset] {
    const std::shared_ptr<ZBPlayer> player = weakPlayer.lock();
    const std::shared_ptr<av::URLAsset> asset = weakAsset.lock();
    if (player && asset) {
      player->durationLoaded(asset);
    }
  });
}

void ZBPlayer::showUnopened(const std::string& title) {
  QM_DCHECK_MAIN_THREAD();
  breakMedia();
  currentURL_.reset();
  // A new lesson starts from nothing: a save right after the change must not store the former one's second.
  backPointSec_ = 0;
  backDurationSec_ = 0;
  progressBar_->setDurationSec(0);
  progressBar_->setPlayedSec(0);
  navigationBar_->setTitle(title);
}

void ZBPlayer::observeItem() {
  itemObservations_.push_back(plitem_->observe(
      std::string(av::PlayerItem::kStatusKey), reactionOnSelf([](ZBPlayer& self, const ns::Value& status) {
        self.itemStatusChanged(static_cast<int>(status.integerValue()));
      })));
  itemObservations_.push_back(plitem_->observe(std::string(av::PlayerItem::kLoadedTimeRangesKey),
                                               reactionOnSelf([](ZBPlayer& self, const ns::Value&) {
                                                 self.progressBar_->setBufferSec(self.availableDuration());
                                               })));
  itemObservations_.push_back(plitem_->observe(std::string(av::PlayerItem::kPlaybackLikelyToKeepUpKey),
                                               reactionOnSelf([](ZBPlayer& self, const ns::Value& likely) {
                                                 self.playbackLikelyToKeepUpChanged(likely.boolValue());
                                               })));
}

void ZBPlayer::durationLoaded(const std::shared_ptr<av::URLAsset>& asset) {
  // A former media's load, cancelled by breakMedia(), has nothing to say about this one.
  if (asset != asset_) {
    return;
  }
  const std::string absoluteURL = asset->URL().absoluteString();
  std::optional<ns::Error> failure;
  switch (asset->statusOfValueForKey(av::URLAsset::kDurationKey, &failure)) {
    case av::KeyValueStatus::kLoaded:
      atEnded_ = false;
      if (asset->duration().value >= 1) {
        // Nothing would be left to play from a second at or past the end: the media plays from its start.
        if (plitem_->currentSeconds() >= asset->duration().seconds()) {
          progressBar_->setPlayedSec(0);
          plitem_->seekToTime(av::Time::fromSeconds(0));
        }
        pllayer_->setPlayer(player_);
        backgroundImg_->removeFromSuperview();
        return;
      }
      tip_->showErrorInfo(kFileParseError);
      app::consoleLog("L509-ErrorCode:" + std::to_string(kFileParseErrorCode));
      playerDidEndwithError(ns::Error(kFileParseError, kFileParseErrorCode, {{"absoluteURL", absoluteURL}}));
      return;
    case av::KeyValueStatus::kFailed: {
      const ns::Error cause =
          failure && failure->underlyingError()
              ? *failure->underlyingError()
              : failure.value_or(ns::Error(std::string(av::kAVFoundationErrorDomain), av::kAVErrorUnknown));
      app::consoleLog("L470-ErrorCode:" + std::to_string(cause.code()));
      app::consoleLog("^^ -12939:M3u8 文件过期或错误");
      // Whatever the cause (a missing playlist, an expired one, no network), loading is over: the player
      // must not wait for ever.
      tip_->showErrorInfo(kRequestAddressError);
      ns::Error error(kRequestAddressError, cause.code(), {{"absoluteURL", absoluteURL}});
      error.setUnderlyingError(cause);
      endLoading();
      playerDidEndwithError(error);
      return;
    }
    default:
      return;
  }
}

// The item's observed changes

void ZBPlayer::itemStatusChanged(int status) {
  if (status == static_cast<int>(av::PlayerItemStatus::kReadyToPlay)) {
    atEnded_ = false;
    progressBar_->setDurationSec(asset_ ? wholeSecondsOf(asset_->duration()) : 0);
    addTimeObserverIfNone();
    return;
  }
  if (status != static_cast<int>(av::PlayerItemStatus::kFailed) || !plitem_) {
    return;
  }
  const std::shared_ptr<av::PlayerItem> item = plitem_;
  atEnded_ = true;
  const av::PlayerItemErrorLog errorLog = item->errorLog();
  playerErrorLogs_ = errorLog.events();
  const ns::Error itemError =
      item->error().value_or(ns::Error(std::string(av::kAVFoundationErrorDomain), av::kAVErrorUnknown));
  const std::string address =
      playerErrorLogs_.empty() ? kUnknownLogValue : logValue(playerErrorLogs_.back().serverAddress);
  playerDidEndwithError(ns::Error(itemError.domain(), itemError.code(),
                                  {{"source_USERINFO", ns::Value(itemError.userInfo())}, {"IP", address}}));
  const auto description = itemError.userInfo().find(std::string(ns::kLocalizedDescriptionKey));
  tip_->showErrorInfo(description != itemError.userInfo().end() ? description->second.stringValue()
                                                                : std::string());
}

void ZBPlayer::playbackLikelyToKeepUpChanged(bool likely) {
  if (likely) {
    setShowLoading(false);
    addTimeObserverIfNone();
  } else if (progressBar_->playedSec() < progressBar_->durationSec()) {
    setShowLoading(true);
  }
}

void ZBPlayer::addTimeObserverIfNone() {
  if (timeobserver_ || !player_) {
    return;
  }
  const std::weak_ptr<ZBPlayer> weakPlayer = self();
  timeobserver_ =
      player_->addPeriodicTimeObserverForInterval(observerIntervalFor(asset_), [weakPlayer](av::Time time) {
        if (const std::shared_ptr<ZBPlayer> player = weakPlayer.lock()) {
          player->progressBlock(time);
        }
      });
}

void ZBPlayer::removeTimeObserver() {
  if (timeobserver_ && player_) {
    player_->removeTimeObserver(*timeobserver_);
  }
  timeobserver_.reset();
}

void ZBPlayer::progressBlock(av::Time time) {
  if (!plitem_ || plitem_->trackCount() < 2) {
    return;
  }
  progressBar_->setPlayedSec(wholeSecondsOf(time));
  const std::uint32_t buffered = progressBar_->bufferSec();
  if (progressBar_->playedSec() > buffered && !showLoading_ && buffered != 0) {
    setShowLoading(true);
  }
}

std::uint32_t ZBPlayer::availableDuration() const {
  if (!plitem_ || plitem_->loadedTimeRanges().empty()) {
    return 0;
  }
  const av::TimeRange& range = plitem_->loadedTimeRanges().front();
  const float end = static_cast<float>(range.start.seconds()) + static_cast<float>(range.duration.seconds());
  return end > 0 ? static_cast<std::uint32_t>(std::ceil(end)) : 0;
}

// Seeking, end and failure

void ZBPlayer::seekToSecond(ZBPlayerProgressBar& sender) {
  // Until the duration is known every second would count as the end, which the owner takes as the end of
  // the lesson (it saves and moves on).
  if (!durationKnown()) {
    return;
  }
  removeTimeObserver();
  atEnded_ = false;
  const std::uint32_t duration = progressBar_->durationSec();
  if (sender.playedSec() >= duration) {
    progressBar_->setPlayedSec(duration);
    playerDidEndwithError(std::nullopt);
    return;
  }
  if (sender.playedSec() == 0) {
    sender.setPlayedSec(0);
  }
  // Every seek turns the item's playbackLikelyToKeepUp to NO, also inside the loaded range, and back to YES
  // once pictures of the new point are decoded: that brings the time observer back and resumes play.
  player_->seekToTime(av::Time{sender.playedSec(), 1, false});
}

void ZBPlayer::playerDidEndwithError(const std::optional<ns::Error>& error) {
  const std::shared_ptr<ZBPlayer> keepAlive = self();
  if (!error) {
    atEnded_ = true;
  }
  setHidden(false);
  willPause();
  tellDelegate(ZBPlayerDelegate::Callback::kDidStop,
               [&](ZBPlayerDelegate& delegate) { delegate.playerDidStop(*this, error); });
  touchView_->setPanAvailable(false);
}

void ZBPlayer::tellDelegate(ZBPlayerDelegate::Callback callback,
                            const std::function<void(ZBPlayerDelegate&)>& call) {
  const std::shared_ptr<ZBPlayer> keepAlive = self();
  const std::shared_ptr<ZBPlayerDelegate> delegate = delegate_;
  if (delegate && delegate->answers(callback)) {
    call(*delegate);
  }
}

// Controls shown and hidden

void ZBPlayer::setHidden(bool hidden) {
  hidden_ = hidden;
  ui::PopupMenu::dismissMenu();
  progressBar_->setUserInteractionEnabled(!hidden);
  navigationBar_->setUserInteractionEnabled(!hidden);
  if (!isLocked_) {
    btnLock_->setUserInteractionEnabled(!hidden);
  }
  const double alpha = hidden ? 0 : 1;
  uikit::View::animateWithDuration(kControlsAnimationSeconds, [&] {
    uikit::Application::sharedApplication().setStatusBarHidden(hidden);
    progressBar_->setAlpha(alpha);
    if (!isLocked_) {
      btnLock_->setAlpha(alpha);
    }
    navigationBar_->setAlpha(alpha);
  });
}

void ZBPlayer::setIsFull(bool full) {
  isFull_ = full;
  progressBar_->setIsFull(full);
  navigationBar_->setIsFull(full);
}

void ZBPlayer::stopAutoHideTimer() {
  if (styleT_) {
    styleT_->invalidate();
    styleT_.reset();
  }
}

void ZBPlayer::resetAutoHiddenInterval() {
  stopAutoHideTimer();
  const std::weak_ptr<ZBPlayer> weakPlayer = self();
  styleT_ = ns::Timer::scheduled(ns::RunLoop::main(), kAutoHideDelay, ns::Timer::Repeats::kNo,
                                 [weakPlayer](ns::Timer&) {
                                   if (const std::shared_ptr<ZBPlayer> player = weakPlayer.lock()) {
                                     player->timeupToHidden();
                                   }
                                 });
}

void ZBPlayer::timeupToHidden() {
  setHidden(true);
  stopAutoHideTimer();
}

// The lock button hides 5 s after the last tap that showed it.
void ZBPlayer::scheduleLockHide() {
  if (lockHideTimer_) {
    lockHideTimer_->invalidate();
  }
  const std::weak_ptr<ZBPlayer> weakPlayer = self();
  lockHideTimer_ = ns::Timer::scheduled(ns::RunLoop::main(), kAutoHideDelay, ns::Timer::Repeats::kNo,
                                        [weakPlayer](ns::Timer&) {
                                          if (const std::shared_ptr<ZBPlayer> player = weakPlayer.lock()) {
                                            player->timeupToHiddenLock();
                                          }
                                        });
}

void ZBPlayer::timeupToHiddenLock() {
  if (!isLocked_) {
    return;
  }
  setHidden(true);
  btnLock_->setUserInteractionEnabled(false);
  uikit::View::animateWithDuration(kControlsAnimationSeconds, [&] { btnLock_->setAlpha(0); });
}

// Gestures

void ZBPlayer::touchOnClicked(ZBPlayerTouch& /*touch*/, bool /*clicked*/) {
  if (isLocked_) {
    const double alpha = btnLock_->alpha() == 0 ? 1 : 0;
    btnLock_->setAlpha(alpha);
    btnLock_->setUserInteractionEnabled(alpha == 1);
    if (alpha == 1) {
      scheduleLockHide();
    }
    return;
  }
  setHidden(!hidden_);
  if (hidden_) {
    stopAutoHideTimer();
  } else {
    resetAutoHiddenInterval();
  }
}

void ZBPlayer::touchOnChangingValue(ZBPlayerTouch& touch, float value) {
  if (isLocked_) {
    return;
  }
  stopAutoHideTimer();
  if (touch.direction() == ZBPlayerTouch::kDirectionHorizontal) {
    seekSEC_ += value;
    const std::uint32_t played = progressBar_->playedSec();
    const std::uint32_t duration = progressBar_->durationSec();
    const double target = std::max(0.0, static_cast<double>(played) + seekSEC_);
    seekToSEC_ = static_cast<std::uint32_t>(std::min(target, static_cast<double>(duration)));
    seekStepTaken_ = true;
    tip_->setCurrent(ZBPlayerProgressBar::timeStringFromDurationSecond(seekToSEC_),
                     ZBPlayerProgressBar::timeStringFromDurationSecond(duration));
    if (seekToSEC_ > played) {
      tip_->showFF();
    } else {
      tip_->showFW();
    }
  } else if (touch.direction() == ZBPlayerTouch::kDirectionVertical) {
    if (touch.area() == ZBPlayerTouch::kAreaRight) {
      volume_->setVolume(volume_->volume() + value / kVolumeAndBrightnessScale);
      currentvolue_ = volume_->volume();
    } else {
      uikit::Screen& screen = uikit::Screen::mainScreen();
      screen.setBrightness(screen.brightness() + value / kVolumeAndBrightnessScale);
      currentlight_ = static_cast<float>(screen.brightness());
    }
  }
}

void ZBPlayer::touchOnChangedValue(ZBPlayerTouch& touch, bool /*changed*/) {
  // A pan whose direction was decided on its last movement took no step: it has no target to seek to.
  if (!isLocked_ && touch.direction() == ZBPlayerTouch::kDirectionHorizontal && seekStepTaken_) {
    tip_->hideFF();
    tip_->hideFW();
    progressBar_->setPlayedSec(seekToSEC_);
    seekToSecond(*progressBar_);
  }
  seekToSEC_ = 0;
  seekSEC_ = 0;
  seekStepTaken_ = false;
}

// Rate

void ZBPlayer::onNavigationRateEvent(uikit::Button& /*sender*/) {
  ui::PopupMenu::showMenuInView(
      *this,
      uikit::Rect(bounds().width() - kRateMenuFromRight, kNavigationBarHeight + kRateMenuBelowBar, 1, 1),
      menuItems_);
  ui::PopupMenu::setTintColor(uikit::Color::white(kRateMenuTint, 1.0));
}

void ZBPlayer::changeRate(ui::PopupMenuItem& item) {
  setCurrentRate(item.value());
}

void ZBPlayer::setCurrentRate(float rate) {
  currentRate_ = rate;
  if (player_) {
    player_->setRate(progressBar_->onPlay() ? rate : 0);
  }
  navigationBar_->setRate(rate);
}

// Teardown

void ZBPlayer::breakMedia() {
  willPause();
  removeTimeObserver();
  if (player_) {
    player_->replaceCurrentItemWithPlayerItem(nullptr);
    player_.reset();
  }
  atEnded_ = false;
  isLocked_ = false;
  btnLock_->setSelected(false);
  if (asset_) {
    asset_->cancelLoading();
    asset_.reset();
  }
  itemObservations_.clear();
  plitem_.reset();
  playerErrorLogs_.clear();
  playerEventLogs_.clear();
  currentRate_ = 1.0F;
  navigationBar_->setRate(1.0F);
  // Without a media nothing loads.
  endLoading();
}

void ZBPlayer::willRemove() {
  stopAutoHideTimer();
  breakMedia();
  pllayer_->setPlayer(nullptr);
}

// Notifications

bool ZBPlayer::isAboutCurrentItem(const ns::Notification& notification) const {
  return plitem_ && notification.object == plitem_;
}

void ZBPlayer::onPlayEnd(const ns::Notification& notification) {
  if (isAboutCurrentItem(notification)) {
    playerDidEndwithError(std::nullopt);
  }
}

void ZBPlayer::onNewErrorLogEntryNotification(const ns::Notification& notification) {
  if (!isAboutCurrentItem(notification)) {
    return;
  }
  playerErrorLogs_ = plitem_->errorLog().events();
  if (playerErrorLogs_.empty()) {
    return;
  }
  const av::PlayerItemErrorLogEvent event = playerErrorLogs_.back();
  app::consoleLogLines("\n\nEvent-ErrorLog->\nFile\tZbPlayer\nLine\t368\ncode\t" +
                       std::to_string(event.errorStatusCode) + "\ndomain\t" + event.errorDomain +
                       "\ncomment\t" + event.errorComment + "\n\n");
  playerDidEndwithError(
      ns::Error(event.errorComment, event.errorStatusCode,
                {{"URI", logValue(event.URI)}, {"serverAddress", logValue(event.serverAddress)}}));
}

void ZBPlayer::onNewAccessLogEntryNotification(const ns::Notification& notification) {
  if (!isAboutCurrentItem(notification)) {
    return;
  }
  playerEventLogs_ = plitem_->accessLog().events();
}

void ZBPlayer::onPlaybackStalledNotification(const ns::Notification& notification) {
  if (!isAboutCurrentItem(notification)) {
    return;
  }
  willPause();
  setShowLoading(true);
}

void ZBPlayer::didBecomActive(const ns::Notification& /*notification*/) {
  // Stepping back needs a known duration: before it, the seek would count as the end of the lesson.
  if (wannaPause_ || !durationKnown()) {
    return;
  }
  const std::uint32_t played = progressBar_->playedSec();
  progressBar_->setPlayedSec(played > 0 ? played - 1 : 0);
  seekToSecond(*progressBar_);
}

void ZBPlayer::didEnterbackground(const ns::Notification& /*notification*/) {
  willPause();
}

void ZBPlayer::screenTransform(const ns::Notification& /*notification*/) {
  switch (uikit::Device::currentDevice().orientation()) {
    case uikit::DeviceOrientation::kLandscapeLeft:
    case uikit::DeviceOrientation::kLandscapeRight:
      setIsFull(true);
      break;
    case uikit::DeviceOrientation::kPortrait:
      if (!isLocked_) {
        setIsFull(false);
      }
      break;
    default:
      break;
  }
}

// Play and pause

void ZBPlayer::willPlay() {
  if (wannaPause_) {
    wannaPause_ = false;
  } else {
    progressBar_->setOnPlay(true);
  }
  stopAutoHideTimer();
  resetAutoHiddenInterval();
}

void ZBPlayer::willPause() {
  progressBar_->setOnPlay(false);
  stopAutoHideTimer();
}

void ZBPlayer::setStalled(bool stalled) {
  if (stalled) {
    willPause();
    wannaPause_ = true;
  } else {
    willPlay();
    wannaPause_ = false;
  }
}

void ZBPlayer::setShowLoading(bool show) {
  if (!show) {
    endLoading();
    if (!isPlaying() && !wannaPause_) {
      willPlay();
    }
    return;
  }
  showLoading_ = true;
  stopAutoHideTimer();
  if (!isLocked_) {
    setHidden(false);
  }
  tip_->showLoading();
  progressBar_->setOnPlay(false);
  progressBar_->setUserInteractionEnabled(false);
  touchView_->setTapAvailable(false);
  touchView_->setPanAvailable(false);
}

void ZBPlayer::endLoading() {
  showLoading_ = false;
  tip_->hideLoading();
  progressBar_->setUserInteractionEnabled(true);
  touchView_->setPanAvailable(true);
  touchView_->setTapAvailable(true);
}

void ZBPlayer::onProgressPPEvent(uikit::Button& /*sender*/) {
  if (!atEnded_) {
    wannaPause_ = false;
    if (isPlaying()) {
      willPause();
    } else {
      willPlay();
    }
  }
  tellDelegate(ZBPlayerDelegate::Callback::kOnClickedPlayAtEnded,
               [&](ZBPlayerDelegate& delegate) { delegate.playerOnClickedPlayAtEnded(*this, atEnded_); });
}

// Navigation and full screen

void ZBPlayer::onProgressLastEvent(uikit::Button& /*sender*/) {
  tellDelegate(ZBPlayerDelegate::Callback::kOnClickedLast,
               [&](ZBPlayerDelegate& delegate) { delegate.playerOnClickedLast(*this, currentURL_); });
}

void ZBPlayer::onProgressNextEvent(uikit::Button& /*sender*/) {
  tellDelegate(ZBPlayerDelegate::Callback::kOnClickedNext,
               [&](ZBPlayerDelegate& delegate) { delegate.playerOnClickedNext(*this, currentURL_); });
}

// The orientation notification that follows calls setIsFull().
void ZBPlayer::onProgressScreenEvent(uikit::Button& /*sender*/) {
  uikit::Device& device = uikit::Device::currentDevice();
  if (isFull_) {
    if (!btnLock_->isSelected()) {
      device.setOrientation(uikit::DeviceOrientation::kPortrait);
    }
    return;
  }
  if (defaultFullOrientation_ != kLandscapeLeft && defaultFullOrientation_ != kLandscapeRight) {
    defaultFullOrientation_ = kLandscapeLeft;
  }
  device.setOrientation(static_cast<uikit::DeviceOrientation>(defaultFullOrientation_));
}

void ZBPlayer::onNavigationBackEvent(uikit::Button& sender) {
  if (isFull_ && !onlyFull_) {
    onProgressScreenEvent(sender);
    return;
  }
  const std::shared_ptr<ZBPlayer> keepAlive = self();
  const std::shared_ptr<ZBPlayerDelegate> delegate = delegate_;
  if (delegate && delegate->answers(ZBPlayerDelegate::Callback::kOnClickedNavBack)) {
    willRemove();
    delegate->playerOnClickedNavBack(*this, currentURL_);
  }
}

void ZBPlayer::onNavigationInfoEvent(uikit::Button& /*sender*/) {}

// Lock

void ZBPlayer::onLockEvent(uikit::Button& sender) {
  sender.setSelected(!sender.isSelected());
  isLocked_ = sender.isSelected();
  if (isLocked_) {
    setHidden(true);
    scheduleLockHide();
  } else {
    setHidden(false);
  }
}

// Positions

std::uint32_t ZBPlayer::progressSec() {
  if (const std::uint32_t played = progressBar_->playedSec(); played != 0) {
    backPointSec_ = played;
  }
  return backPointSec_;
}

std::uint32_t ZBPlayer::durationSec() {
  if (const std::uint32_t duration = progressBar_->durationSec(); duration != 0) {
    backDurationSec_ = duration;
  }
  return backDurationSec_;
}

}  // namespace learning
