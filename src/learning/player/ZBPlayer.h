#pragma once

// learning::ZBPlayer: the video player view of the lesson screens. It plays one HLS (or file) URL at a time
// on the media engine (URLAsset, PlayerItem, Player, PlayerLayer) and lays its own controls over the picture:
// the top bar (back, title, rate), the bottom bar (previous, play/pause, next, seek line, times, full
// screen), the gesture surface (tap: controls; horizontal pan: seek; vertical pan: brightness on the left
// half, volume on the right), the overlay tips (loading, seek, error) and, in full screen, the lock button.
//
// One media's life: playURL() -> loading (the loading tip, controls shown, gestures off) -> duration loaded
// (the picture attached, the placeholder removed) -> likely to keep up (loading off, play at currentRate())
// <-> paused (a stall, the background, the play/pause button, setStalled(true)) -> ended or failed (controls
// shown, paused, the delegate's playerDidStop()) -> breakMedia() -> idle. The bottom bar is the model of the
// position: its playedSec, durationSec, bufferSec and onPlay are the player's state. Controls hide 5 s after
// each play, drag end or tap. Full screen follows the device orientation (landscape in, portrait out unless
// locked); the owner sets the frame and asks for a redraw (setNeedsDisplay()), which lays the controls out.
//
// Every player prints the library's banner to standard output when it is made. The player holds its
// delegate strongly; the owner sets it to nullptr when it leaves. To leave: breakMedia(), remove the view,
// set the delegate to nullptr and drop the player.
//
// Thread-safety: main thread only, like every view.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "learning/player/ZBPlayerDelegate.h"
#include "learning/player/controls/ZBPlayerNavigationBar.h"
#include "learning/player/controls/ZBPlayerProgressBar.h"
#include "learning/player/controls/ZBPlayerTip.h"
#include "learning/player/controls/ZBPlayerTouch.h"
#include "learning/player/controls/ZBPlayerTouchDelegate.h"
#include "learning/player/controls/ZBPlayerVolume.h"
#include "platform/avfoundation/Player.h"
#include "platform/avfoundation/PlayerItem.h"
#include "platform/avfoundation/PlayerItemAccessLogEvent.h"
#include "platform/avfoundation/PlayerItemErrorLogEvent.h"
#include "platform/avfoundation/PlayerLayer.h"
#include "platform/avfoundation/URLAsset.h"
#include "platform/foundation/loop/Timer.h"
#include "platform/foundation/notify/KeyValueObservable.h"
#include "platform/foundation/notify/KeyValueObservation.h"
#include "platform/foundation/notify/Notification.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/View.h"
#include "ui/popup/PopupMenuItem.h"

namespace learning {

class ZBPlayer : public uikit::View, public ZBPlayerTouchDelegate {
 public:
  // The top bar's height.
  static constexpr double kNavigationBarHeight = 60;
  // How long the controls stay after a play, a drag or a tap, and the lock button after a tap while locked.
  static constexpr ns::Duration kAutoHideDelay = std::chrono::seconds(5);

  // A player over `frame`, with its controls built and wired and no media.
  static std::shared_ptr<ZBPlayer> playerWithFrame(uikit::Rect frame);
  // A player that never leaves full screen: landscape-sized to the main screen (the longer side as width,
  // however the device is held), full screen, without the full-screen button.
  static std::shared_ptr<ZBPlayer> fullScreenPlayer();
  ~ZBPlayer() override;

  // Opens `url` and starts loading it from `fromSecond`, showing `title` in the top bar; whatever played
  // before is broken off first. A `fromSecond` at or past the media's end (a position saved for a longer
  // media) plays the media from its start. Play starts by itself once the item is likely to keep up,
  // unless the owner asked for a pause (setStalled(true)).
  void playURL(const ns::URL& url, const std::string& title, std::uint32_t fromSecond);
  // Shows `title` at no position and with no media, as a media chosen but not opened: whatever played
  // before is broken off, and progressSec() and durationSec() read 0.
  void showUnopened(const std::string& title);
  // Seeks to `sender`'s playedSec (in practice the bottom bar's). A second at or past the duration ends play
  // (playerDidStop() without an error). Ignored while the duration is unknown (no media, or still loading).
  void seekToSecond(ZBPlayerProgressBar& sender);
  // Stops and discards the current media, and with it any loading tip; progressSec() and durationSec()
  // still read its last position.
  void breakMedia();
  // Ends the player before its view goes away: breakMedia(), and the picture is let go.
  void willRemove();
  // Resumes, unless a pause was requested (which this only clears); restarts the controls' hide timer.
  void willPlay();
  // Pauses; the controls stay as they are.
  void willPause();
  // true: pauses and keeps play from resuming by itself until the play/pause button is tapped; false:
  // willPlay() (which, after such a request, only clears it) and clears the request.
  void setStalled(bool stalled);
  // Whether the bottom bar is playing.
  bool isPlaying() const { return progressBar_->onPlay(); }

  // Whether the controls are hidden; this hides the controls, not the view.
  bool hidden() const { return hidden_; }
  void setHidden(bool hidden);
  bool isFull() const { return isFull_; }
  // Stores the flag and passes it to both bars; the owner changes the frame and asks for a redraw.
  void setIsFull(bool full);
  bool hiddenLastButton() const { return hiddenLastButton_; }
  void setHiddenLastButton(bool hidden) { hiddenLastButton_ = hidden; }
  bool hiddenNextButton() const { return hiddenNextButton_; }
  void setHiddenNextButton(bool hidden) { hiddenNextButton_ = hidden; }
  bool isLocked() const { return isLocked_; }
  bool showLoading() const { return showLoading_; }
  // The device orientation the full-screen button turns to (3 or 4; anything else counts as 3).
  std::int64_t defaultFullOrientation() const { return defaultFullOrientation_; }
  void setDefaultFullOrientation(std::int64_t orientation) { defaultFullOrientation_ = orientation; }

  const std::shared_ptr<ZBPlayerDelegate>& delegate() const { return delegate_; }
  void setDelegate(std::shared_ptr<ZBPlayerDelegate> delegate) { delegate_ = std::move(delegate); }

  // The playback rate, 1.0 until chosen and after each breakMedia(). A rate chosen while paused applies on
  // the next play.
  float currentRate() const { return currentRate_; }
  void setCurrentRate(float rate);
  // The last screen brightness and system volume set by a pan.
  float currentlight() const { return currentlight_; }
  float currentvolue() const { return currentvolue_; }

  // The played and whole seconds: the bottom bar's when not 0 (and then remembered), else the remembered
  // ones, so that the owner reads the last position after breakMedia(). Both start afresh with playURL().
  std::uint32_t progressSec();
  std::uint32_t durationSec();
  // Seconds loaded from the current seek point: the end of the item's first loaded range, rounded up.
  std::uint32_t availableDuration() const;
  // The events of the current item's error and access logs, as their notifications last brought them.
  const std::vector<av::PlayerItemErrorLogEvent>& playerErrorLogs() const { return playerErrorLogs_; }
  const std::vector<av::PlayerItemAccessLogEvent>& playerEventLogs() const { return playerEventLogs_; }

  // The end of play (no error) or a failure: the controls come back, play pauses, the delegate hears
  // playerDidStop() and the pan gesture turns off. The media stays until breakMedia() or the next URL.
  void playerDidEndwithError(const std::optional<ns::Error>& error);

  // Control auto-hide: restart the 5 s timer; hide the controls now; hide the lock button too while locked.
  void resetAutoHiddenInterval();
  void timeupToHidden();
  void timeupToHiddenLock();

  // The gesture surface's callbacks: a tap shows or hides the controls (while locked: the lock button); a
  // horizontal pan seeks on its end; a vertical one changes the brightness or the volume.
  void touchOnClicked(ZBPlayerTouch& touch, bool clicked) override;
  void touchOnChangingValue(ZBPlayerTouch& touch, float value) override;
  void touchOnChangedValue(ZBPlayerTouch& touch, bool changed) override;

  // The parts, for the owner and tests to read.
  const std::shared_ptr<ZBPlayerProgressBar>& progressBar() const { return progressBar_; }
  const std::shared_ptr<ZBPlayerNavigationBar>& navigationBar() const { return navigationBar_; }
  const std::shared_ptr<ZBPlayerTouch>& touchView() const { return touchView_; }
  const std::shared_ptr<ZBPlayerTip>& tip() const { return tip_; }
  const std::shared_ptr<uikit::Button>& btnLock() const { return btnLock_; }
  const std::shared_ptr<uikit::ImageView>& backgroundImg() const { return backgroundImg_; }
  const av::PlayerLayer& pllayer() const { return *pllayer_; }
  // The media's player and item, nullptr between media.
  const std::shared_ptr<av::Player>& player() const { return player_; }
  const std::shared_ptr<av::PlayerItem>& plitem() const { return plitem_; }
  const std::optional<ns::URL>& currentURL() const { return currentURL_; }

  // Lays the controls out over `rect`, or over the screen while in full screen.
  void drawRect(uikit::Rect rect) override;
  // The picture on show, converted to an image; nullptr before the media's first picture.
  std::shared_ptr<const uikit::Image> livePicture() const override;

  // Use the factories; public for std::make_shared.
  explicit ZBPlayer(uikit::Rect frame);

 private:
  std::shared_ptr<ZBPlayer> self() { return std::static_pointer_cast<ZBPlayer>(shared_from_this()); }
  std::weak_ptr<ZBPlayer> weakSelf() { return self(); }
  // Creation: prints the banner, builds the rate menu, registers for notifications and wires the controls.
  void setUp();
  void setupProgressBar();
  void setupNavigationBar();
  void observeItem();
  // Returns an observer's callback that calls `reaction` with the new value while this player lives.
  ns::KeyValueObservable::Callback reactionOnSelf(std::function<void(ZBPlayer&, const ns::Value&)> reaction);
  // The bottom bar's play state drives the player's rate; its drag holds the controls on screen.
  void playingChanged(bool playing);
  void draggingChanged(bool dragging);
  void progressBlock(av::Time time);
  // Loading: shown (controls shown, play paused, gestures and the bottom bar off) or hidden (gestures and
  // the bottom bar on, then play unless playing or a pause was requested).
  void setShowLoading(bool show);
  // The hidden half of setShowLoading(false), without the resume.
  void endLoading();
  void durationLoaded(const std::shared_ptr<av::URLAsset>& asset);
  void itemStatusChanged(int status);
  void playbackLikelyToKeepUpChanged(bool likely);
  void addTimeObserverIfNone();
  void removeTimeObserver();
  // Whether the media's duration is known: a media is open and its item was ready with a duration.
  bool durationKnown() const { return player_ && progressBar_->durationSec() > 0; }
  // Whether `notification` is about the current item.
  bool isAboutCurrentItem(const ns::Notification& notification) const;
  void stopAutoHideTimer();
  void scheduleLockHide();
  // Calls `call` on the delegate when it answers `callback`, keeping both alive meanwhile.
  void tellDelegate(ZBPlayerDelegate::Callback callback, const std::function<void(ZBPlayerDelegate&)>& call);

  // Control actions.
  void onProgressPPEvent(uikit::Button& sender);
  void onProgressLastEvent(uikit::Button& sender);
  void onProgressNextEvent(uikit::Button& sender);
  void onProgressScreenEvent(uikit::Button& sender);
  void onNavigationBackEvent(uikit::Button& sender);
  void onNavigationRateEvent(uikit::Button& sender);
  // The list button is never shown and does nothing.
  void onNavigationInfoEvent(uikit::Button& sender);
  void changeRate(ui::PopupMenuItem& item);
  void onLockEvent(uikit::Button& sender);

  // Notifications.
  void onPlayEnd(const ns::Notification& notification);
  void onNewErrorLogEntryNotification(const ns::Notification& notification);
  void onNewAccessLogEntryNotification(const ns::Notification& notification);
  void onPlaybackStalledNotification(const ns::Notification& notification);
  void didBecomActive(const ns::Notification& notification);
  void didEnterbackground(const ns::Notification& notification);
  void screenTransform(const ns::Notification& notification);

  // Constant after creation
  std::shared_ptr<av::PlayerLayer> pllayer_;

  // The current media, nullptr between media.
  std::shared_ptr<av::Player> player_;
  std::shared_ptr<av::URLAsset> asset_;
  std::shared_ptr<av::PlayerItem> plitem_;
  std::vector<ns::KeyValueObservation> itemObservations_;

  // The controls, made at creation.
  std::shared_ptr<ZBPlayerProgressBar> progressBar_;
  std::shared_ptr<ZBPlayerNavigationBar> navigationBar_;
  std::shared_ptr<ZBPlayerTouch> touchView_;
  std::shared_ptr<ZBPlayerVolume> volume_;
  std::shared_ptr<ZBPlayerTip> tip_;
  std::shared_ptr<uikit::ImageView> backgroundImg_;
  std::shared_ptr<uikit::Button> btnLock_;
  std::vector<ns::KeyValueObservation> barObservations_;
  std::vector<std::shared_ptr<ui::PopupMenuItem>> menuItems_;

  bool onlyFull_ = false;
  std::optional<av::Player::TimeObserver> timeobserver_;
  std::optional<ns::URL> currentURL_;
  // The pan seek under way: the offset gathered, its target second, and whether a step was taken.
  float seekSEC_ = 0;
  std::uint32_t seekToSEC_ = 0;
  bool seekStepTaken_ = false;
  std::uint32_t backPointSec_ = 0;
  std::uint32_t backDurationSec_ = 0;
  std::shared_ptr<ns::Timer> styleT_;
  std::shared_ptr<ns::Timer> lockHideTimer_;
  // Play reached the end (or the item failed); the play/pause button then only reports.
  bool atEnded_ = false;
  // The owner asked for a pause; play does not resume by itself.
  bool wannaPause_ = false;

  bool hidden_ = false;
  bool isFull_ = false;
  bool hiddenLastButton_ = false;
  bool hiddenNextButton_ = false;
  bool isLocked_ = false;
  bool showLoading_ = false;
  std::int64_t defaultFullOrientation_ = 0;
  std::shared_ptr<ZBPlayerDelegate> delegate_;
  float currentRate_ = 1.0F;
  float currentlight_ = 0;
  float currentvolue_ = 0;
  std::vector<av::PlayerItemErrorLogEvent> playerErrorLogs_;
  std::vector<av::PlayerItemAccessLogEvent> playerEventLogs_;
};

}  // namespace learning
