#include "platform/avfoundation/SegmentRoad.h"

#include "platform/avfoundation/MediaErrors.h"
#include "platform/avfoundation/TransportStreamDemuxer.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/crypto/Aes128Cbc.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/loop/RunLoop.h"

extern "C" {
#include <libavutil/error.h>
}

namespace av {

namespace {

constexpr std::uint8_t kTransportSyncByte = 0x47;

// Posts `task` to `loop`, to run with the road if it still exists then.
template <typename Task>
void postTo(ns::RunLoop& loop, const std::weak_ptr<SegmentRoad>& road, Task task) {
  loop.post([road, task = std::move(task)]() mutable {
    if (std::shared_ptr<SegmentRoad> alive = road.lock()) {
      task(*alive);
    }
  });
}

// Appends the plain bytes of segment `index` to `stream`. Returns the failure when they would not decrypt or
// are no MPEG-TS: every segment opens with a transport packet. The demuxer would skip a damaged one to the
// next sync byte and play on; a lesson with a broken segment fails instead.
std::optional<ns::Error> store(SegmentStream& stream, ns::Result<ns::Data> plain, std::size_t index) {
  if (!plain.ok()) {
    return mediaFailure(kAVErrorFileFormatNotRecognized, plain.error());
  }
  if (plain->empty() || plain->front() != kTransportSyncByte) {
    return mediaFailure(
        kAVErrorFileFormatNotRecognized,
        libavError(AVERROR_INVALIDDATA, "segment " + std::to_string(index) + " is no MPEG-TS"));
  }
  stream.append(std::move(*plain));
  return std::nullopt;
}

}  // namespace

std::shared_ptr<SegmentRoad> SegmentRoad::start(std::shared_ptr<const MediaPlaylist> playlist,
                                                std::size_t startIndex,
                                                std::weak_ptr<SegmentRoadDelegate> delegate) {
  auto road = std::make_shared<SegmentRoad>(std::move(playlist), startIndex, std::move(delegate));
  road->startDemuxing();
  if (const std::optional<MediaPlaylist::Key>& key = road->playlist_->key()) {
    std::weak_ptr<SegmentRoad> weakRoad = road;
    road->load_ = MediaResourceLoad::start(key->url, MediaResourceLoad::kMaximumKeySize,
                                           [weakRoad](ns::Result<ns::Data> body) {
                                             if (std::shared_ptr<SegmentRoad> alive = weakRoad.lock()) {
                                               alive->keyArrived(std::move(body));
                                             }
                                           });
  } else {
    // No delegate call may come inside start().
    postTo(road->loop_, road, [](SegmentRoad& alive) { alive.fetchNextSegment(); });
  }
  return road;
}

SegmentRoad::SegmentRoad(std::shared_ptr<const MediaPlaylist> playlist, std::size_t startIndex,
                         std::weak_ptr<SegmentRoadDelegate> delegate)
    : playlist_(std::move(playlist)),
      delegate_(std::move(delegate)),
      loop_(ns::RunLoop::current()),
      nextIndex_(startIndex) {}

SegmentRoad::~SegmentRoad() {
  QM_DCHECK_CALLED_ON(thread_);
  load_.reset();
  if (stream_) {
    stream_->close();
  }
  packets_->close();
  if (demuxThread_.joinable()) {
    demuxThread_.join();
  }
}

const std::vector<MediaTrack>& SegmentRoad::tracks() const {
  QM_DCHECK_CALLED_ON(thread_);
  static const std::vector<MediaTrack> kNone;
  return tracks_ ? *tracks_ : kNone;
}

void SegmentRoad::startDemuxing() {
  const std::weak_ptr<SegmentRoad> weakRoad = weak_from_this();
  ns::RunLoop& loop = loop_;
  stream_ = std::make_shared<SegmentStream>(
      [&loop, weakRoad] { postTo(loop, weakRoad, [](SegmentRoad& road) { road.fetchNextSegment(); }); },
      [signal = signal_] { signal->notify(); });
  // The thread owns what it uses and reaches the road only through its loop.
  demuxThread_ = std::thread(&SegmentRoad::demux, std::ref(loop), weakRoad, stream_, packets_,
                             packetsAnnounced_, signal_);
}

void SegmentRoad::demux(ns::RunLoop& loop, std::weak_ptr<SegmentRoad> road,
                        std::shared_ptr<SegmentStream> stream, std::shared_ptr<PacketQueue> packets,
                        std::shared_ptr<std::atomic<bool>> announced,
                        std::shared_ptr<PipelineSignal> signal) {
  TransportStreamDemuxer demuxer(std::move(stream));
  ns::Result<std::vector<MediaTrack>> tracks = demuxer.open();
  if (!tracks.ok()) {
    postTo(loop, road, [error = tracks.error()](SegmentRoad& alive) { alive.end(error); });
    return;
  }
  auto found = std::make_shared<const std::vector<MediaTrack>>(std::move(*tracks));
  postTo(loop, road, [found](SegmentRoad& alive) { alive.tracksFound(found); });
  while (true) {
    ns::Result<PacketPointer> packet = demuxer.readPacket();
    if (!packet.ok()) {
      // The decoder waits for packets that will not come.
      signal->notify();
      postTo(loop, road, [error = packet.error()](SegmentRoad& alive) { alive.end(error); });
      return;
    }
    if (!*packet) {
      packets->finish();
      postTo(loop, road, [](SegmentRoad& alive) { alive.end(std::nullopt); });
      return;
    }
    if (!packets->push(std::move(*packet))) {
      return;
    }
    if (!announced->exchange(true)) {
      postTo(loop, road, [](SegmentRoad& alive) { alive.announcePackets(); });
    }
  }
}

void SegmentRoad::tracksFound(std::shared_ptr<const std::vector<MediaTrack>> tracks) {
  tracks_ = std::move(tracks);
  if (std::shared_ptr<SegmentRoadDelegate> delegate = ended_ ? nullptr : delegate_.lock()) {
    delegate->segmentRoadFoundTracks(*this, tracks_->size());
  }
}

void SegmentRoad::keyArrived(ns::Result<ns::Data> key) {
  load_.reset();
  if (!key.ok()) {
    end(mediaFailure(kAVErrorUnknown, key.error()));
    return;
  }
  key_ = std::move(*key);
  fetchNextSegment();
}

void SegmentRoad::fetchNextSegment() {
  if (ended_ || load_ || decrypting_ || (playlist_->key() && !key_)) {
    return;
  }
  if (nextIndex_ >= playlist_->segments().size()) {
    stream_->finish();
    return;
  }
  if (!stream_->hasRoom()) {
    // The demuxer's drained callback asks again.
    return;
  }
  std::weak_ptr<SegmentRoad> weakRoad = weak_from_this();
  load_ =
      MediaResourceLoad::start(playlist_->segments()[nextIndex_].url, MediaResourceLoad::kMaximumSegmentSize,
                               [weakRoad](ns::Result<ns::Data> body) {
                                 if (std::shared_ptr<SegmentRoad> alive = weakRoad.lock()) {
                                   // The address is the load's: read it before the load goes.
                                   alive->segmentArrived(std::move(body), alive->load_->peerAddress());
                                 }
                               });
}

void SegmentRoad::segmentArrived(ns::Result<ns::Data> segment, std::optional<std::string> serverAddress) {
  load_.reset();
  if (!segment.ok()) {
    end(mediaFailure(kAVErrorUnknown, segment.error()));
    return;
  }
  if (!key_) {
    segmentStored(store(*stream_, std::move(segment), nextIndex_), serverAddress);
    return;
  }
  // A segment may hold tens of megabytes: its decryption would hold up the loop, which also serves the
  // screens. The decrypted bytes go to the demuxer from there, so that they never wait for the loop.
  decrypting_ = true;
  stream_->expectSegment();
  ns::DispatchQueue::global().async(
      [&loop = loop_, road = weak_from_this(), stream = stream_, signal = signal_, key = *key_,
       iv = playlist_->ivForSegment(playlist_->segments()[nextIndex_]), index = nextIndex_,
       encrypted = std::move(*segment), serverAddress = std::move(serverAddress)] {
        std::optional<ns::Error> failure = store(*stream, ns::aes128CbcDecrypt(key, iv, encrypted), index);
        signal->notify();
        postTo(loop, road,
               [failure = std::move(failure), serverAddress = std::move(serverAddress)](SegmentRoad& alive) {
                 alive.segmentStored(failure, serverAddress);
               });
      });
}

void SegmentRoad::segmentStored(std::optional<ns::Error> failure,
                                const std::optional<std::string>& serverAddress) {
  decrypting_ = false;
  if (ended_) {
    return;
  }
  if (failure) {
    end(std::move(failure));
    return;
  }
  const std::size_t index = nextIndex_++;
  const std::shared_ptr<SegmentRoad> keepAlive = shared_from_this();
  if (std::shared_ptr<SegmentRoadDelegate> delegate = delegate_.lock()) {
    delegate->segmentRoadLoadedSegment(*this, index, serverAddress);
  }
  fetchNextSegment();
}

void SegmentRoad::announcePackets() {
  packetsAnnounced_->store(false);
  if (std::shared_ptr<SegmentRoadDelegate> delegate = ended_ ? nullptr : delegate_.lock()) {
    delegate->segmentRoadHasPackets(*this);
  }
}

void SegmentRoad::end(std::optional<ns::Error> failure) {
  if (ended_) {
    return;
  }
  ended_ = true;
  load_.reset();
  if (failure) {
    // The demuxer may be waiting for bytes that will never come.
    stream_->close();
  }
  std::shared_ptr<SegmentRoadDelegate> delegate = delegate_.lock();
  if (!delegate) {
    return;
  }
  if (failure) {
    delegate->segmentRoadDidFail(*this, *failure);
  } else {
    delegate->segmentRoadDidEnd(*this);
  }
}

}  // namespace av
