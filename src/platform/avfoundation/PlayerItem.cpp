#include "platform/avfoundation/PlayerItem.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/net/URLError.h"

namespace av {

std::shared_ptr<PlayerItem> PlayerItem::playerItemWithURL(ns::URL url) {
  return playerItemWithAsset(URLAsset::URLAssetWithURL(std::move(url)));
}

std::shared_ptr<PlayerItem> PlayerItem::playerItemWithAsset(std::shared_ptr<URLAsset> asset) {
  QM_DCHECK_MAIN_THREAD();
  auto item = std::make_shared<PlayerItem>(std::move(asset));
  std::weak_ptr<PlayerItem> weakItem = item;
  item->asset_->loadValuesAsynchronouslyForKeys({std::string(URLAsset::kDurationKey)}, [weakItem] {
    if (const std::shared_ptr<PlayerItem> strongItem = weakItem.lock()) {
      strongItem->assetLoaded();
    }
  });
  return item;
}

PlayerItem::PlayerItem(std::shared_ptr<URLAsset> asset) : asset_(std::move(asset)) {}

PlayerItem::~PlayerItem() {
  QM_DCHECK_MAIN_THREAD();
  if (soundOpener_.joinable()) {
    soundOpener_.join();
  }
}

void PlayerItem::assetLoaded() {
  std::optional<ns::Error> failure;
  const KeyValueStatus durationStatus = asset_->statusOfValueForKey(URLAsset::kDurationKey, &failure);
  if (durationStatus == KeyValueStatus::kLoaded) {
    seekToTime(Time::fromSeconds(currentSeconds_));
    return;
  }
  // A cancelled load leaves no error of its own, yet the item can never play.
  fail(failure.value_or(ns::Error(std::string(kAVFoundationErrorDomain), kAVErrorUnknown)));
}

void PlayerItem::seekToTime(Time time) {
  QM_DCHECK_MAIN_THREAD();
  if (status_ == PlayerItemStatus::kFailed) {
    return;
  }
  double seconds = std::max(0.0, time.seconds());
  if (asset_->playlist() && !duration().isIndefinite()) {
    seconds = std::min(seconds, duration().seconds());
  }
  currentSeconds_ = seconds;
  setPlaybackLikelyToKeepUp(false);
  if (sound_) {
    sound_->flush();
  }
  lastHeard_.reset();
  heardMovedAt_ = ns::SteadyClock::now();
  if (asset_->playlist()) {
    startRoad();
  }
}

std::pair<std::size_t, double> PlayerItem::segmentHolding(double seconds) const {
  const std::vector<MediaPlaylist::Segment>& segments = asset_->playlist()->segments();
  double start = 0;
  for (std::size_t index = 0; index < segments.size(); ++index) {
    const double end = start + segments[index].duration;
    if (seconds < end || index + 1 == segments.size()) {
      return {index, start};
    }
    start = end;
  }
  return {0, 0};
}

void PlayerItem::startRoad() {
  decoder_.reset();
  road_.reset();
  if (!loadedTimeRanges_.empty()) {
    willChangeValueForKey(kLoadedTimeRangesKey);
    loadedTimeRanges_.clear();
    didChangeValueForKey(kLoadedTimeRangesKey);
  }
  const auto [startIndex, startSeconds] = segmentHolding(currentSeconds_);
  roadStartSeconds_ = startSeconds;
  road_ = SegmentRoad::start(asset_->playlist(), startIndex,
                             std::static_pointer_cast<PlayerItem>(shared_from_this()));
}

void PlayerItem::segmentRoadLoadedSegment(SegmentRoad& /*road*/, std::size_t index,
                                          const std::optional<std::string>& serverAddress) {
  setLoadedThrough(index);
  logSegmentArrival(index, serverAddress);
}

void PlayerItem::logSegmentArrival(std::size_t segmentIndex,
                                   const std::optional<std::string>& serverAddress) {
  const ns::URL& url = asset_->playlist()->segments()[segmentIndex].url;
  accessLog_.addEvent({.URI = url.absoluteString(), .serverAddress = serverAddress});
  ns::NotificationCenter::defaultCenter().postNotificationName(
      std::string(kAVPlayerItemNewAccessLogEntryNotification), shared_from_this());
}

bool PlayerItem::logLoadFailure(const ns::Error& error) {
  const ns::Error* load = &error;
  if (load->domain() == kAVFoundationErrorDomain && load->underlyingError()) {
    load = load->underlyingError().get();
  }
  PlayerItemErrorLogEvent event;
  event.errorStatusCode = load->code();
  event.errorDomain = load->domain();
  const ns::Value info(load->userInfo());
  if (load->domain() == kCoreMediaErrorDomain) {
    const ns::Value* status = info.find("statusCode");
    if (!status) {
      // Not a failed load but a playlist that is none.
      return false;
    }
    event.errorStatusCode = status->integerValue();
    event.errorComment = "HTTP " + std::to_string(event.errorStatusCode);
    if (const ns::Value* uri = info.find("URI")) {
      event.URI = uri->stringValue();
    }
  } else if (load->domain() == kCFErrorDomainCFNetwork) {
    event.errorComment = load->localizedDescription();
    if (const ns::Value* uri = info.find(ns::kURLErrorFailingURLStringErrorKey)) {
      event.URI = uri->stringValue();
    }
  } else {
    return false;
  }
  // A load that never reached a server has no address.
  event.serverAddress = ns::peerAddressOf(*load);
  errorLog_.addEvent(std::move(event));
  return true;
}

void PlayerItem::setLoadedThrough(std::size_t segmentIndex) {
  const std::vector<MediaPlaylist::Segment>& segments = asset_->playlist()->segments();
  double end = 0;
  for (std::size_t index = 0; index <= segmentIndex && index < segments.size(); ++index) {
    end += segments[index].duration;
  }
  willChangeValueForKey(kLoadedTimeRangesKey);
  loadedTimeRanges_ = {
      TimeRange{Time::fromSeconds(roadStartSeconds_), Time::fromSeconds(end - roadStartSeconds_)}};
  didChangeValueForKey(kLoadedTimeRangesKey);
}

void PlayerItem::segmentRoadFoundTracks(SegmentRoad& road, std::size_t trackCount) {
  trackCount_ = trackCount;
  for (const MediaTrack& track : road.tracks()) {
    if (track.type == AVMEDIA_TYPE_AUDIO) {
      openSound(track);
      break;
    }
  }
  ns::Result<std::shared_ptr<StreamDecoder>> started =
      StreamDecoder::start(road.sharedPackets(), road.tracks(), roadStartSeconds_, road.pipelineSignal(),
                           std::static_pointer_cast<PlayerItem>(shared_from_this()));
  if (!started.ok()) {
    fail(mediaFailure(kAVErrorFileFormatNotRecognized, started.error()));
    return;
  }
  decoder_ = std::move(*started);
  // The pictures before the position are never shown: the look-ahead keeps only the newest of them, so
  // that it fills up beyond the position even while the player is paused there after a seek.
  decoder_->lookAhead().raiseHorizon(currentSeconds_);
}

void PlayerItem::segmentRoadHasPackets(SegmentRoad& /*road*/) {
  judgeKeepingUp();
}

void PlayerItem::segmentRoadDidEnd(SegmentRoad& /*road*/) {
  judgeKeepingUp();
}

void PlayerItem::segmentRoadDidFail(SegmentRoad& /*road*/, const ns::Error& error) {
  fail(error);
}

void PlayerItem::streamDecoderOpened(StreamDecoder& decoder) {
  if (&decoder != decoder_.get()) {
    return;
  }
  if (status_ == PlayerItemStatus::kUnknown) {
    setStatus(PlayerItemStatus::kReadyToPlay);
  }
  judgeKeepingUp();
}

void PlayerItem::streamDecoderAdvanced(StreamDecoder& decoder) {
  if (&decoder == decoder_.get()) {
    judgeKeepingUp();
  }
}

void PlayerItem::streamDecoderDidFail(StreamDecoder& decoder, const ns::Error& error) {
  if (&decoder == decoder_.get()) {
    fail(mediaFailure(kAVErrorFileFormatNotRecognized, error));
  }
}

void PlayerItem::decodeThrough(double seconds) {
  QM_DCHECK_MAIN_THREAD();
  if (decoder_) {
    decoder_->lookAhead().raiseHorizon(seconds);
  }
}

std::size_t PlayerItem::waitingPictureCount() const {
  QM_DCHECK_MAIN_THREAD();
  return decoder_ ? decoder_->lookAhead().pictureCount() : 0;
}

void PlayerItem::judgeKeepingUp() {
  if (status_ != PlayerItemStatus::kReadyToPlay || likelyToKeepUp_ || !decoder_) {
    return;
  }
  const std::optional<double> through = decodedThroughSeconds();
  const bool lookAheadFull = !decoder_->hasPictures() || decoder_->lookAhead().isPictureRoomFull();
  if (isDecodedToEnd() || (through && *through > currentSeconds_ && lookAheadFull)) {
    setPlaybackLikelyToKeepUp(true);
  }
}

std::optional<double> PlayerItem::decodedThroughSeconds() const {
  QM_DCHECK_MAIN_THREAD();
  std::optional<double> through;
  if (decoder_ && decoder_->hasPictures()) {
    through = decoder_->lookAhead().newestPictureSeconds();
  } else if (!loadedTimeRanges_.empty()) {
    through = loadedTimeRanges_.front().start.seconds() + loadedTimeRanges_.front().duration.seconds();
  }
  if (isDecodedToEnd() && !duration().isIndefinite()) {
    through = std::max(through.value_or(0), duration().seconds());
  }
  return through;
}

bool PlayerItem::isDecodedToEnd() const {
  QM_DCHECK_MAIN_THREAD();
  return decoder_ && decoder_->isDecodedToEnd();
}

bool PlayerItem::isWaitingForData() const {
  QM_DCHECK_MAIN_THREAD();
  return !decoder_ || !road_ || (road_->isStarved() && decoder_->isWaitingForPackets());
}

void PlayerItem::waitForDecoding(double seconds, ns::Duration most, DecodingWait scope) {
  QM_DCHECK_MAIN_THREAD();
  if (!decoder_ || !road_ || !decoder_->hasPictures()) {
    return;
  }
  const std::shared_ptr<PipelineSignal> signal = road_->pipelineSignal();
  const ns::TimePoint deadline = ns::SteadyClock::now() + most;
  while (true) {
    const std::uint64_t seen = signal->generation();
    const std::optional<double> through = decoder_->lookAhead().newestPictureSeconds();
    if ((through && *through >= seconds) || decoder_->hasStopped() ||
        (scope == DecodingWait::kDataAtHand && isWaitingForData()) ||
        !signal->waitForChange(seen, deadline)) {
      return;
    }
  }
}

std::optional<VideoFrame> PlayerItem::advanceTo(double seconds) {
  QM_DCHECK_MAIN_THREAD();
  currentSeconds_ = std::max(currentSeconds_, seconds);
  if (!decoder_) {
    return std::nullopt;
  }
  DecodedLookAhead& lookAhead = decoder_->lookAhead();
  lookAhead.raiseHorizon(currentSeconds_);
  std::optional<VideoFrame> due = lookAhead.takePicture(currentSeconds_);
  feedSound(lookAhead);
  judgeKeepingUp();
  applySoundRate();
  return due;
}

void PlayerItem::feedSound(DecodedLookAhead& lookAhead) {
  const double position = currentSeconds_;
  if (sound_ && !sound_->hasDevice()) {
    sound_->consumeThrough(position);
  }
  lookAhead.feedSound([this, position](DecodedAudio&& sound) {
    const double end = sound.seconds + sound.duration();
    // Sound that playback has passed is never heard.
    if (!sound_ || end <= position) {
      return true;
    }
    return sound_->append(std::move(sound));
  });
}

void PlayerItem::openSound(const MediaTrack& track) {
  if (sound_ || soundOpening_ || track.parameters->sample_rate <= 0 ||
      track.parameters->ch_layout.nb_channels <= 0) {
    return;
  }
  soundOpening_ = true;
  // Reaching a sound server takes a round trip, and as long as it takes to answer: a thread of its own,
  // joined when the item goes, so that the open never outlives it.
  soundOpener_ = std::thread(
      [weakItem = std::weak_ptr<PlayerItem>(std::static_pointer_cast<PlayerItem>(shared_from_this())),
       sampleRate = track.parameters->sample_rate, channelCount = track.parameters->ch_layout.nb_channels] {
        std::shared_ptr<SoundOutput> output = SoundOutput::open(sampleRate, channelCount);
        ns::DispatchQueue::main().async([weakItem, output] {
          if (const std::shared_ptr<PlayerItem> item = weakItem.lock()) {
            // It starts paused; the next step of playback sets it going.
            item->sound_ = output;
          }
        });
      });
}

void PlayerItem::setSoundRate(float rate) {
  QM_DCHECK_MAIN_THREAD();
  if (soundRate_ <= 0 && rate > 0) {
    heardMovedAt_ = ns::SteadyClock::now();
  }
  soundRate_ = rate;
  // A pause is heard at once; playing starts with the next step of playback, which shows its picture.
  if (rate <= 0) {
    applySoundRate();
  }
}

void PlayerItem::applySoundRate() {
  // The sound waits with the pictures: after a seek until they are there, and through a stall.
  const float rate = likelyToKeepUp_ ? soundRate_ : 0;
  if (sound_ && rate != appliedSoundRate_) {
    appliedSoundRate_ = rate;
    sound_->setRate(rate);
  }
}

std::optional<double> PlayerItem::soundHeardSeconds() const {
  QM_DCHECK_MAIN_THREAD();
  return sound_ ? sound_->heardSeconds() : std::nullopt;
}

std::optional<double> PlayerItem::soundClockSeconds() {
  QM_DCHECK_MAIN_THREAD();
  if (!sound_ || !sound_->hasDevice()) {
    return std::nullopt;
  }
  const std::optional<double> heard = sound_->heardSeconds();
  const ns::TimePoint now = ns::SteadyClock::now();
  if (heard != lastHeard_) {
    lastHeard_ = heard;
    heardMovedAt_ = now;
  }
  if (now - heardMovedAt_ > kSoundClockPatience) {
    return std::nullopt;
  }
  return heard.value_or(currentSeconds_);
}

void PlayerItem::playbackStalled() {
  QM_DCHECK_MAIN_THREAD();
  setPlaybackLikelyToKeepUp(false);
}

void PlayerItem::setPlaybackLikelyToKeepUp(bool likely) {
  if (likelyToKeepUp_ == likely) {
    return;
  }
  likelyToKeepUp_ = likely;
  if (!likely) {
    applySoundRate();
  }
  didChangeValueForKey(kPlaybackLikelyToKeepUpKey, !likely, likely);
}

void PlayerItem::setStatus(PlayerItemStatus status) {
  const PlayerItemStatus old = status_;
  status_ = status;
  didChangeValueForKey(kStatusKey, static_cast<int>(old), static_cast<int>(status));
}

void PlayerItem::fail(ns::Error error) {
  if (status_ == PlayerItemStatus::kFailed) {
    return;
  }
  decoder_.reset();
  road_.reset();
  if (sound_) {
    sound_->flush();
  }
  error_ = std::move(error);
  // The entry is there before the status turns, so that its observers find the failed load's server.
  const bool logged = logLoadFailure(*error_);
  setPlaybackLikelyToKeepUp(false);
  setStatus(PlayerItemStatus::kFailed);
  if (logged) {
    ns::NotificationCenter::defaultCenter().postNotificationName(
        std::string(kAVPlayerItemNewErrorLogEntryNotification), shared_from_this());
  }
}

ns::Value PlayerItem::valueForKey(std::string_view key) const {
  QM_DCHECK_MAIN_THREAD();
  if (key == kStatusKey) {
    return static_cast<int>(status_);
  }
  if (key == kPlaybackLikelyToKeepUpKey) {
    return likelyToKeepUp_;
  }
  if (key == kLoadedTimeRangesKey) {
    ns::Array ranges;
    for (const TimeRange& range : loadedTimeRanges_) {
      ranges.emplace_back(
          ns::Dictionary{{"start", range.start.seconds()}, {"duration", range.duration.seconds()}});
    }
    return ranges;
  }
  return ns::KeyValueObservable::valueForKey(key);
}

const std::shared_ptr<URLAsset>& PlayerItem::asset() const {
  QM_DCHECK_MAIN_THREAD();
  return asset_;
}

PlayerItemStatus PlayerItem::status() const {
  QM_DCHECK_MAIN_THREAD();
  return status_;
}

const std::optional<ns::Error>& PlayerItem::error() const {
  QM_DCHECK_MAIN_THREAD();
  return error_;
}

PlayerItemAccessLog PlayerItem::accessLog() const {
  QM_DCHECK_MAIN_THREAD();
  return accessLog_;
}

PlayerItemErrorLog PlayerItem::errorLog() const {
  QM_DCHECK_MAIN_THREAD();
  return errorLog_;
}

Time PlayerItem::duration() const {
  QM_DCHECK_MAIN_THREAD();
  return asset_->duration();
}

std::size_t PlayerItem::trackCount() const {
  QM_DCHECK_MAIN_THREAD();
  return trackCount_;
}

const std::vector<TimeRange>& PlayerItem::loadedTimeRanges() const {
  QM_DCHECK_MAIN_THREAD();
  return loadedTimeRanges_;
}

bool PlayerItem::isPlaybackLikelyToKeepUp() const {
  QM_DCHECK_MAIN_THREAD();
  return likelyToKeepUp_;
}

Time PlayerItem::currentTime() const {
  QM_DCHECK_MAIN_THREAD();
  return Time::fromSeconds(currentSeconds_);
}

double PlayerItem::currentSeconds() const {
  QM_DCHECK_MAIN_THREAD();
  return currentSeconds_;
}

}  // namespace av
