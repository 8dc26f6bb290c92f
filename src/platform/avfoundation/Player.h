#pragma once

// av::Player: plays one PlayerItem at a time. While its rate is not 0 the position advances by rate times
// the time passed on the main run loop's clock, in steps of kTick, or, while a sound device plays the item's
// sound, to the item time the device has played (PlayerItem::soundClockSeconds()); each step takes the
// picture due from the item's look-ahead (decoded on the item's own thread) and hands the item's sound on.
// The last picture shown is currentPicture(). The item's sound plays at the player's rate, and pauses when
// the item is replaced or the player goes.
//
// A step serves its picture the way a display's frame deadline does: when the picture due is not decoded
// yet, the step waits for the item's pipeline (PlayerItem::waitForDecoding), on a condition variable, for at
// most kTick of real time: for the decoder and the demuxer while they work on data that has arrived, and,
// unless playback is stalled already, for a segment on its way from the network (fetched on a thread of its
// own). Only a pipeline still waiting for the network after that is a stall; a stalled player waits for no
// network, so that a long stall never holds the main loop. At real pace the pipeline is ahead of the
// position and no step waits, except once at the start of a stall. The wait serves a clock that outruns
// real time: a manual clock that a caller advances by kTick and then runs the loop, without waiting for the
// engine in between, is a supported way to drive the player, and on it the item's threads would otherwise
// fall behind and every step show a wait or a stall. A waiting step uses no processor time.
//
// When playback overtakes what is decoded the position waits there. If the item is waiting for data (not
// merely for its decoder) and was keeping up, its playbackLikelyToKeepUp turns NO and
// kAVPlayerItemPlaybackStalledNotification is posted once. Play resumes by itself as data comes. At the end
// of the media the rate turns 0 and kAVPlayerItemDidPlayToEndTimeNotification is posted once (again only
// after a seek or a new item).
//
// A seek while paused settles on the same clock: its steps move nothing, and once the item keeps up at the
// target (decoded beyond it) they show the picture there and end; they end too when the item fails.
//
// Periodic time observers run on the main run loop at their interval of the loop's clock while they are
// registered; dropping the player removes them.
//
// Thread-safety: main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/avfoundation/PlayerItem.h"
#include "platform/avfoundation/Time.h"
#include "platform/avfoundation/VideoFrame.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/values/Object.h"

namespace ns {
class Timer;
}

namespace av {

class Player : public ns::Object {
 public:
  // The step of the playback clock: one picture at 25 pictures a second.
  static constexpr ns::Duration kTick = std::chrono::milliseconds(40);
  // The shortest interval of a periodic time observer; shorter ones, zero included, are raised to it.
  static constexpr ns::Duration kShortestObserverInterval = std::chrono::milliseconds(10);

  // Names one periodic time observer for removeTimeObserver().
  class TimeObserver {
   private:
    friend class Player;
    std::shared_ptr<ns::Timer> timer_;
  };

  // Returns a paused player of `item` (which may be null).
  static std::shared_ptr<Player> playerWithPlayerItem(std::shared_ptr<PlayerItem> item);
  ~Player() override;

  const std::shared_ptr<PlayerItem>& currentItem() const;
  // Puts `item` (or nothing) in the place of the current item, at its own position; the rate stays.
  void replaceCurrentItemWithPlayerItem(std::shared_ptr<PlayerItem> item);

  float rate() const;
  // 0 pauses; any other rate plays at that many times real time. A negative rate counts as 0.
  void setRate(float rate);
  void play() { setRate(1.0F); }
  void pause() { setRate(0.0F); }

  // The current item's position; a zero time without an item.
  Time currentTime() const;
  // Seeks the current item to `time` (PlayerItem::seekToTime).
  void seekToTime(Time time);

  // The last picture shown, in the decoder's own format (PlayerLayer converts it when asked), or nullopt
  // before the first of the current item.
  const std::optional<VideoFrame>& currentPicture() const;

  // Calls `block` with the current time every `interval` on the main run loop until removeTimeObserver().
  TimeObserver addPeriodicTimeObserverForInterval(Time interval, std::function<void(Time)> block);
  void removeTimeObserver(const TimeObserver& observer);

  // Use playerWithPlayerItem(); public for std::make_shared.
  explicit Player(std::shared_ptr<PlayerItem> item);

 private:
  void tick();
  // While paused after a seek: shows the picture at the position once it is decoded.
  void settleSeek();
  // Moves the position by `elapsedSeconds` of real time at the current rate.
  void advance(double elapsedSeconds);
  void reachEnd();
  void startClock();
  void stopClock();

  std::shared_ptr<PlayerItem> item_;
  float rate_ = 0;
  std::optional<VideoFrame> picture_;
  std::shared_ptr<ns::Timer> clock_;
  ns::TimePoint lastTick_{};
  bool stalled_ = false;
  bool endPosted_ = false;
  // A seek while paused whose picture is not shown yet.
  bool seekSettling_ = false;
  std::vector<std::shared_ptr<ns::Timer>> observers_;
};

}  // namespace av
