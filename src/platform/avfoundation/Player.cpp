#include "platform/avfoundation/Player.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/Timer.h"
#include "platform/foundation/notify/NotificationCenter.h"

namespace av {

std::shared_ptr<Player> Player::playerWithPlayerItem(std::shared_ptr<PlayerItem> item) {
  QM_DCHECK_MAIN_THREAD();
  return std::make_shared<Player>(std::move(item));
}

Player::Player(std::shared_ptr<PlayerItem> item) : item_(std::move(item)) {}

Player::~Player() {
  QM_DCHECK_MAIN_THREAD();
  stopClock();
  // The item may outlive its player; its sound must not play on.
  if (item_) {
    item_->setSoundRate(0);
  }
  for (const std::shared_ptr<ns::Timer>& observer : observers_) {
    observer->invalidate();
  }
}

void Player::replaceCurrentItemWithPlayerItem(std::shared_ptr<PlayerItem> item) {
  QM_DCHECK_MAIN_THREAD();
  if (item_) {
    item_->setSoundRate(0);
  }
  item_ = std::move(item);
  if (item_) {
    item_->setSoundRate(rate_);
  }
  picture_.reset();
  stalled_ = false;
  endPosted_ = false;
  seekSettling_ = false;
  if (rate_ <= 0) {
    stopClock();
  }
}

void Player::setRate(float rate) {
  QM_DCHECK_MAIN_THREAD();
  rate_ = std::max(rate, 0.0F);
  if (item_) {
    item_->setSoundRate(rate_);
  }
  if (rate_ > 0) {
    seekSettling_ = false;
    startClock();
  } else if (!seekSettling_) {
    stopClock();
  }
}

Time Player::currentTime() const {
  QM_DCHECK_MAIN_THREAD();
  return item_ ? item_->currentTime() : Time::fromSeconds(0);
}

void Player::seekToTime(Time time) {
  QM_DCHECK_MAIN_THREAD();
  if (!item_) {
    return;
  }
  item_->seekToTime(time);
  stalled_ = false;
  endPosted_ = false;
  if (rate_ <= 0) {
    seekSettling_ = true;
    startClock();
  }
}

Player::TimeObserver Player::addPeriodicTimeObserverForInterval(Time interval,
                                                                std::function<void(Time)> block) {
  QM_DCHECK_MAIN_THREAD();
  const auto requested =
      std::chrono::duration_cast<ns::Duration>(std::chrono::duration<double>(interval.seconds()));
  std::weak_ptr<Player> weakPlayer = std::static_pointer_cast<Player>(shared_from_this());
  TimeObserver observer;
  observer.timer_ = ns::Timer::scheduled(ns::RunLoop::main(), std::max(requested, kShortestObserverInterval),
                                         ns::Timer::Repeats::kYes, [weakPlayer, block](ns::Timer&) {
                                           if (const std::shared_ptr<Player> player = weakPlayer.lock()) {
                                             block(player->currentTime());
                                           }
                                         });
  observers_.push_back(observer.timer_);
  return observer;
}

void Player::removeTimeObserver(const TimeObserver& observer) {
  QM_DCHECK_MAIN_THREAD();
  if (!observer.timer_) {
    return;
  }
  observer.timer_->invalidate();
  std::erase(observers_, observer.timer_);
}

void Player::startClock() {
  if (clock_) {
    return;
  }
  lastTick_ = ns::RunLoop::main().now();
  std::weak_ptr<Player> weakPlayer = std::static_pointer_cast<Player>(shared_from_this());
  clock_ =
      ns::Timer::scheduled(ns::RunLoop::main(), kTick, ns::Timer::Repeats::kYes, [weakPlayer](ns::Timer&) {
        if (const std::shared_ptr<Player> player = weakPlayer.lock()) {
          player->tick();
        }
      });
}

void Player::stopClock() {
  if (clock_) {
    clock_->invalidate();
    clock_.reset();
  }
}

void Player::tick() {
  const ns::TimePoint now = ns::RunLoop::main().now();
  const double elapsedSeconds = std::chrono::duration<double>(now - lastTick_).count();
  lastTick_ = now;
  if (seekSettling_) {
    settleSeek();
    return;
  }
  advance(elapsedSeconds);
}

void Player::settleSeek() {
  // Keep the item alive: a key-value observer may replace it.
  const std::shared_ptr<PlayerItem> item = item_;
  if (!item || item->status() == PlayerItemStatus::kFailed) {
    seekSettling_ = false;
    stopClock();
    return;
  }
  if (item->status() != PlayerItemStatus::kReadyToPlay) {
    return;
  }
  const double position = item->currentSeconds();
  // As a playing step does, the picture due is worth a tick's wait for the data at hand.
  item->waitForDecoding(position, kTick, PlayerItem::DecodingWait::kDataAtHand);
  // Keeping up means decoded beyond the position: the picture due there is the newest one before it.
  if (!item->isPlaybackLikelyToKeepUp()) {
    return;
  }
  // The position stays; only the picture due there is taken.
  if (std::optional<VideoFrame> due = item->advanceTo(position)) {
    picture_ = std::move(due);
  }
  seekSettling_ = false;
  stopClock();
}

void Player::advance(double elapsedSeconds) {
  // Keep the item alive: a notification observer may replace it.
  const std::shared_ptr<PlayerItem> item = item_;
  if (!item || item->status() != PlayerItemStatus::kReadyToPlay || rate_ <= 0) {
    return;
  }
  const double position = item->currentSeconds();
  double target = position + rate_ * elapsedSeconds;
  // A sound device plays at its own pace; the pictures follow what it has played.
  if (const std::optional<double> heard = item->soundClockSeconds()) {
    target = std::max(position, *heard);
  }
  const Time duration = item->duration();
  if (!duration.isIndefinite()) {
    target = std::min(target, duration.seconds());
  }
  item->decodeThrough(target);
  // As a frame deadline: the picture due now is worth a tick's wait (Player.h says why).
  item->waitForDecoding(
      target, kTick,
      stalled_ ? PlayerItem::DecodingWait::kDataAtHand : PlayerItem::DecodingWait::kDataOnItsWay);
  const std::optional<double> through = item->decodedThroughSeconds();
  const bool overtaken = !item->isDecodedToEnd() && (!through || target > *through);
  if (overtaken) {
    target = std::clamp(through.value_or(position), position, target);
  }
  if (std::optional<VideoFrame> due = item->advanceTo(target)) {
    picture_ = std::move(due);
  }
  if (overtaken) {
    // Waiting for the first data after a seek is no stall: playback has not yet been keeping up. Nor is
    // waiting for a decoder that has the data and is only behind: playback goes at its pace.
    if (!stalled_ && item->isPlaybackLikelyToKeepUp() && item->isWaitingForData()) {
      stalled_ = true;
      item->playbackStalled();
      ns::NotificationCenter::defaultCenter().postNotificationName(
          std::string(kAVPlayerItemPlaybackStalledNotification), item);
    }
    return;
  }
  stalled_ = false;
  if (!duration.isIndefinite() && item->isDecodedToEnd() && target >= duration.seconds()) {
    reachEnd();
  }
}

void Player::reachEnd() {
  setRate(0);
  if (endPosted_) {
    return;
  }
  endPosted_ = true;
  ns::NotificationCenter::defaultCenter().postNotificationName(
      std::string(kAVPlayerItemDidPlayToEndTimeNotification), item_);
}

const std::shared_ptr<PlayerItem>& Player::currentItem() const {
  QM_DCHECK_MAIN_THREAD();
  return item_;
}

float Player::rate() const {
  QM_DCHECK_MAIN_THREAD();
  return rate_;
}

const std::optional<VideoFrame>& Player::currentPicture() const {
  QM_DCHECK_MAIN_THREAD();
  return picture_;
}

}  // namespace av
