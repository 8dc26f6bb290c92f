#pragma once

// av::PlayerItem: one media a Player plays, made from a URL or a URLAsset. The item loads the asset's
// duration (and with it the playlist), then stands on a SegmentRoad started at the segment holding its seek
// point and a StreamDecoder, which decodes the pictures and the sound on a thread of its own into a bounded
// look-ahead (at most kPictureLookAhead pictures), so that fetching, demuxing and decoding all wait while
// playback does not move. The main loop only takes the picture due at the player's position: no decoding
// and no conversion happen there.
//
// The item's sound goes to a SoundOutput of its own, opened off the main loop once the stream's sound track
// is known: on the sound server's default device, or silent where there is none (CI, a server). The player
// hands the sound over as playback moves (advanceTo()); a device then sets the pace of playback
// (soundClockSeconds()), while a silent output is consumed at the player's pace.
//
// Its status turns ready (1) once the stream's tracks are known and failed (2) with error() when the
// playlist, key or a segment cannot be loaded, or the stream will not decrypt, demux or decode; a failed
// item does nothing more. Media times of the item count from the start of the playlist's first segment.
//
// Every segment that arrives adds an entry to the access log, and a playlist, key or segment load that fails
// (the HTTP status of its server, or a transport failure) adds one to the error log before the item fails;
// each entry posts kAVPlayerItemNewAccessLogEntryNotification or kAVPlayerItemNewErrorLogEntryNotification
// with the item as its object.
//
// Key-value observable: "status", "loadedTimeRanges" and "playbackLikelyToKeepUp". The player posts
// kAVPlayerItemDidPlayToEndTimeNotification and kAVPlayerItemPlaybackStalledNotification with the item as
// their object.
//
// Thread-safety: main thread only.

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/avfoundation/DecodedLookAhead.h"
#include "platform/avfoundation/PlayerItemLog.h"
#include "platform/avfoundation/SegmentRoad.h"
#include "platform/avfoundation/SegmentRoadDelegate.h"
#include "platform/avfoundation/StreamDecoder.h"
#include "platform/avfoundation/StreamDecoderDelegate.h"
#include "platform/avfoundation/Time.h"
#include "platform/avfoundation/TimeRange.h"
#include "platform/avfoundation/URLAsset.h"
#include "platform/avfoundation/VideoFrame.h"
#include "platform/avfoundation/sound/SoundOutput.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/KeyValueObservable.h"
#include "platform/foundation/values/Object.h"

namespace av {

inline constexpr std::string_view kAVPlayerItemDidPlayToEndTimeNotification =
    "AVPlayerItemDidPlayToEndTimeNotification";
inline constexpr std::string_view kAVPlayerItemPlaybackStalledNotification =
    "AVPlayerItemPlaybackStalledNotification";

inline constexpr std::string_view kAVPlayerItemNewAccessLogEntryNotification =
    "AVPlayerItemNewAccessLogEntryNotification";
inline constexpr std::string_view kAVPlayerItemNewErrorLogEntryNotification =
    "AVPlayerItemNewErrorLogEntryNotification";

enum class PlayerItemStatus { kUnknown = 0, kReadyToPlay = 1, kFailed = 2 };

class PlayerItem : public ns::Object,
                   public ns::KeyValueObservable,
                   public SegmentRoadDelegate,
                   public StreamDecoderDelegate {
 public:
  static constexpr std::string_view kStatusKey = "status";
  static constexpr std::string_view kLoadedTimeRangesKey = "loadedTimeRanges";
  static constexpr std::string_view kPlaybackLikelyToKeepUpKey = "playbackLikelyToKeepUp";
  // Decoded pictures kept ahead of the playback position.
  static constexpr std::size_t kPictureLookAhead = DecodedLookAhead::kPictureCapacity;
  // How long (in real time, as a device plays) a sound device may play nothing, from the start of play, a
  // seek, or the last sound it played, before playback follows the run loop's clock instead: the sound has
  // ended, has a gap, or is late.
  static constexpr ns::Duration kSoundClockPatience = std::chrono::milliseconds(250);

  // Returns an item of the asset at `url`, which starts loading at once.
  static std::shared_ptr<PlayerItem> playerItemWithURL(ns::URL url);
  // Returns an item of `asset`, which starts loading its duration unless it has loaded it already.
  static std::shared_ptr<PlayerItem> playerItemWithAsset(std::shared_ptr<URLAsset> asset);

  const std::shared_ptr<URLAsset>& asset() const;
  PlayerItemStatus status() const;
  // The failure of a failed item.
  const std::optional<ns::Error>& error() const;
  // Copies of the logs as they stand.
  PlayerItemAccessLog accessLog() const;
  PlayerItemErrorLog errorLog() const;
  // The asset's duration; a zero time before it has loaded.
  Time duration() const;
  // The number of tracks of the stream; 0 until they are known.
  std::size_t trackCount() const;
  // The media loaded from the current seek point on: one range that grows with every segment that arrives;
  // none before the first.
  const std::vector<TimeRange>& loadedTimeRanges() const;
  // NO after every seek until pictures from the new position are decoded, and while playback waits for
  // data; YES otherwise.
  bool isPlaybackLikelyToKeepUp() const;

  // The playback position.
  Time currentTime() const;
  double currentSeconds() const;
  // Moves the item to `time` (clamped to the media): the road starts again at the segment holding it, the
  // pictures decoded so far are dropped and playbackLikelyToKeepUp turns NO. Before the asset has loaded
  // it only sets the point where the road will start. Does nothing on a failed item.
  void seekToTime(Time time);

  // Lets the decoder run through `seconds`: of the pictures due by then only the newest is kept, since
  // advancing there shows no other. Neither moves the position nor decodes: decoding runs on the item's own
  // thread, at most kPictureLookAhead pictures ahead of what is due.
  void decodeThrough(double seconds);
  // The decoded pictures waiting to be shown: at most kPictureLookAhead, whatever the gap decoded through.
  std::size_t waitingPictureCount() const;
  // The time up to which the stream is decoded: the last decoded picture's time (for a stream without
  // video, the end of the loaded media), and at least the media's end once everything is decoded; nullopt
  // while nothing is decoded since the last seek.
  std::optional<double> decodedThroughSeconds() const;
  // Whether the whole stream has been decoded; its last pictures may still wait to be taken.
  bool isDecodedToEnd() const;
  // True while playback waits on the network: the stream's tracks are not known yet since the last seek,
  // or every segment that has arrived is demuxed and decoded and the pipeline waits for the next. Playback
  // that overtakes the decoded media then stalls; otherwise the decoder is only behind, and playback waits
  // for it.
  bool isWaitingForData() const;
  // What waitForDecoding() waits through besides decoding.
  enum class DecodingWait {
    // Only the work on data that has arrived: demuxing, decoding, and a segment's decryption.
    kDataAtHand,
    // Also a segment's fetching: the network.
    kDataOnItsWay,
  };
  // Blocks the calling thread until the picture due at `seconds` is decoded, the stream is decoded to its
  // end or its decoder stopped, or (with kDataAtHand) the pipeline waits for the network
  // (isWaitingForData()); for at most `most` of real time. Returns at once for a stream without pictures, or
  // before the decoder has started. It waits on a condition variable that the pipeline's threads notify as
  // they make progress, never by polling.
  void waitForDecoding(double seconds, ns::Duration most, DecodingWait scope);
  // Moves the position forward to `seconds` and returns the last picture due there, dropping the older
  // ones; nullopt when no new picture is due. The decoded sound from there on goes to the sound output, as
  // much as it takes; a silent output consumes the sound up to `seconds`.
  std::optional<VideoFrame> advanceTo(double seconds);
  // Playback overtook the decoded media: playbackLikelyToKeepUp turns NO until data is there again.
  void playbackStalled();

  // Plays the sound at `rate` (SoundOutput::setRate: 0 pauses) while playback is likely to keep up; the
  // sound pauses after a seek until the pictures are there, and through a stall. A pause takes effect at
  // once, playing at the next advanceTo(), with the picture it shows. The player calls it as its rate
  // changes.
  void setSoundRate(float rate);
  // The item time of the sound heard now; nullopt while the item has no sound output yet, and from a seek
  // until sound is heard again.
  std::optional<double> soundHeardSeconds() const;
  // The item time a sound device has played, while it sets the pace of playback: what it played moved
  // within kSoundClockPatience (before it first plays after a start or a seek, the position, so that
  // playback waits for it). nullopt otherwise, without a device and while it plays nothing: playback then
  // follows the run loop's clock.
  std::optional<double> soundClockSeconds();

  ns::Value valueForKey(std::string_view key) const override;

  void segmentRoadLoadedSegment(SegmentRoad& road, std::size_t index,
                                const std::optional<std::string>& serverAddress) override;
  void segmentRoadFoundTracks(SegmentRoad& road, std::size_t trackCount) override;
  void segmentRoadHasPackets(SegmentRoad& road) override;
  void segmentRoadDidEnd(SegmentRoad& road) override;
  void segmentRoadDidFail(SegmentRoad& road, const ns::Error& error) override;

  void streamDecoderOpened(StreamDecoder& decoder) override;
  void streamDecoderAdvanced(StreamDecoder& decoder) override;
  void streamDecoderDidFail(StreamDecoder& decoder, const ns::Error& error) override;

  // Use the factories; public for std::make_shared.
  explicit PlayerItem(std::shared_ptr<URLAsset> asset);
  // Waits for a sound output still being opened (SoundServerStream::kOpenTimeout at the most).
  ~PlayerItem() override;

 private:
  void assetLoaded();
  void startRoad();
  // Opens the sound output for `track` off the main loop; the item keeps it for its life.
  void openSound(const MediaTrack& track);
  // Hands the sound waiting in `lookAhead` from the position on to the sound output, as much as it takes.
  void feedSound(DecodedLookAhead& lookAhead);
  // Gives the sound output the player's rate while playback is likely to keep up, else 0.
  void applySoundRate();
  // Turns playbackLikelyToKeepUp YES once the decoder is through the position with a full look-ahead, or
  // at the end of the stream.
  void judgeKeepingUp();
  void setLoadedThrough(std::size_t segmentIndex);
  void setPlaybackLikelyToKeepUp(bool likely);
  void setStatus(PlayerItemStatus status);
  void fail(ns::Error error);
  void logSegmentArrival(std::size_t segmentIndex, const std::optional<std::string>& serverAddress);
  // Adds the error log entry of `error` when it, or its underlying error, is a failed load; returns whether
  // it did.
  bool logLoadFailure(const ns::Error& error);
  // Returns the index of the segment holding `seconds`, and the time at which it starts.
  std::pair<std::size_t, double> segmentHolding(double seconds) const;

  // Constant after construction
  const std::shared_ptr<URLAsset> asset_;

  PlayerItemStatus status_ = PlayerItemStatus::kUnknown;
  std::optional<ns::Error> error_;
  std::size_t trackCount_ = 0;
  std::vector<TimeRange> loadedTimeRanges_;
  bool likelyToKeepUp_ = false;
  double currentSeconds_ = 0;
  PlayerItemAccessLog accessLog_;
  PlayerItemErrorLog errorLog_;

  std::shared_ptr<SegmentRoad> road_;
  // The start of the road's first segment, in item time.
  double roadStartSeconds_ = 0;
  // Made when the road finds its tracks; destroyed before the road, whose packets it reads.
  std::shared_ptr<StreamDecoder> decoder_;

  std::shared_ptr<SoundOutput> sound_;
  bool soundOpening_ = false;
  std::thread soundOpener_;
  float soundRate_ = 0;
  // The rate the output plays at: it starts paused.
  float appliedSoundRate_ = 0;
  // What the device had played at the last look, and when (in real time) that last changed, or play
  // started, or the item seeked.
  std::optional<double> lastHeard_;
  ns::TimePoint heardMovedAt_{};
};

}  // namespace av
