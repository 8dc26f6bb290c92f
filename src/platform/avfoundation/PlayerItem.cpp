#include "platform/avfoundation/PlayerItem.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/net/HostAddressLookup.h"
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
  road_.reset();
  decoder_.reset();
  videoTrackIndex_ = -1;
  streamOrigin_.reset();
  pictures_.clear();
  lastDecodedSeconds_.reset();
  roadEnded_ = false;
  decodedToEnd_ = false;
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

void PlayerItem::segmentRoadLoadedSegment(SegmentRoad& /*road*/, std::size_t index) {
  setLoadedThrough(index);
  logSegmentArrival(index);
}

void PlayerItem::logSegmentArrival(std::size_t segmentIndex) {
  const ns::URL& url = asset_->playlist()->segments()[segmentIndex].url;
  accessLog_.addEvent({.URI = url.absoluteString(), .serverAddress = serverAddressOf(url)});
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
  if (event.URI) {
    if (const std::optional<ns::URL> url = ns::URL::fromString(*event.URI)) {
      event.serverAddress = serverAddressOf(*url);
    }
  }
  errorLog_.addEvent(std::move(event));
  return true;
}

std::optional<std::string> PlayerItem::serverAddressOf(const ns::URL& url) {
  if (!url.host()) {
    return std::nullopt;
  }
  auto known = serverAddresses_.find(*url.host());
  if (known == serverAddresses_.end()) {
    known = serverAddresses_.emplace(*url.host(), ns::firstIPv4AddressOfHost(*url.host())).first;
  }
  return known->second;
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
    if (track.type != AVMEDIA_TYPE_VIDEO) {
      continue;
    }
    ns::Result<std::unique_ptr<VideoDecoder>> opened = VideoDecoder::open(track);
    if (!opened.ok()) {
      fail(mediaFailure(kAVErrorFileFormatNotRecognized, opened.error()));
      return;
    }
    decoder_ = std::move(*opened);
    videoTrackIndex_ = track.index;
    break;
  }
  if (status_ == PlayerItemStatus::kUnknown) {
    setStatus(PlayerItemStatus::kReadyToPlay);
  }
}

void PlayerItem::segmentRoadHasPackets(SegmentRoad& /*road*/) {
  decodeAhead(currentSeconds_);
}

void PlayerItem::segmentRoadDidEnd(SegmentRoad& /*road*/) {
  roadEnded_ = true;
  decodeAhead(currentSeconds_);
}

void PlayerItem::segmentRoadDidFail(SegmentRoad& /*road*/, const ns::Error& error) {
  fail(error);
}

void PlayerItem::decodeThrough(double seconds) {
  decodeAhead(seconds);
}

void PlayerItem::decodeAhead(double horizon) {
  const auto needsMore = [&] {
    return pictures_.size() < kPictureLookAhead || !lastDecodedSeconds_ || *lastDecodedSeconds_ <= horizon;
  };
  while (road_ && !decodedToEnd_ && needsMore()) {
    const PacketPointer packet = road_->packets().tryPop();
    if (!packet) {
      if (!roadEnded_) {
        break;
      }
      decodedToEnd_ = true;
      if (decoder_) {
        ns::Result<std::vector<DecodedPicture>> rest = decoder_->flush();
        if (!rest.ok()) {
          fail(mediaFailure(kAVErrorFileFormatNotRecognized, rest.error()));
          return;
        }
        keepPictures(std::move(*rest), horizon);
      }
      break;
    }
    if (!decoder_ || packet->stream_index != videoTrackIndex_) {
      continue;
    }
    ns::Result<std::vector<DecodedPicture>> decoded = decoder_->decode(*packet);
    if (!decoded.ok()) {
      fail(mediaFailure(kAVErrorFileFormatNotRecognized, decoded.error()));
      return;
    }
    keepPictures(std::move(*decoded), horizon);
  }
  if (status_ != PlayerItemStatus::kFailed && !likelyToKeepUp_) {
    const std::optional<double> through = decodedThroughSeconds();
    const bool lookAheadFull = pictures_.size() >= kPictureLookAhead;
    const bool aheadOfPosition = through && *through > currentSeconds_ && (!decoder_ || lookAheadFull);
    if (decodedToEnd_ || aheadOfPosition) {
      setPlaybackLikelyToKeepUp(true);
    }
  }
}

void PlayerItem::keepPictures(std::vector<DecodedPicture> pictures, double horizon) {
  const double shownBy = std::max(horizon, currentSeconds_);
  for (DecodedPicture& picture : pictures) {
    // The stream's clock need not start at 0; its first picture after the road's start marks the start of
    // the road's first segment.
    if (!streamOrigin_) {
      streamOrigin_ = picture.seconds - roadStartSeconds_;
    }
    picture.seconds -= *streamOrigin_;
    // Of the pictures due by the horizon only the newest can still be shown: the position moves there next,
    // and keeping the others would pile up every picture of a long gap decoded in one step.
    if (picture.seconds <= shownBy) {
      pictures_.clear();
    }
    lastDecodedSeconds_ = picture.seconds;
    pictures_.push_back(std::move(picture));
  }
}

std::optional<double> PlayerItem::decodedThroughSeconds() const {
  std::optional<double> through = lastDecodedSeconds_;
  if (!decoder_ && !loadedTimeRanges_.empty()) {
    through = loadedTimeRanges_.front().start.seconds() + loadedTimeRanges_.front().duration.seconds();
  }
  if (decodedToEnd_ && !duration().isIndefinite()) {
    through = std::max(through.value_or(0), duration().seconds());
  }
  return through;
}

std::optional<DecodedPicture> PlayerItem::advanceTo(double seconds) {
  QM_DCHECK_MAIN_THREAD();
  currentSeconds_ = std::max(currentSeconds_, seconds);
  decodeAhead(currentSeconds_);
  std::optional<DecodedPicture> due;
  while (!pictures_.empty() && pictures_.front().seconds <= currentSeconds_) {
    due = std::move(pictures_.front());
    pictures_.pop_front();
  }
  decodeAhead(currentSeconds_);
  return due;
}

void PlayerItem::playbackStalled() {
  setPlaybackLikelyToKeepUp(false);
}

void PlayerItem::setPlaybackLikelyToKeepUp(bool likely) {
  if (likelyToKeepUp_ == likely) {
    return;
  }
  likelyToKeepUp_ = likely;
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
  road_.reset();
  decoder_.reset();
  pictures_.clear();
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

}  // namespace av
