#include "platform/avfoundation/SegmentRoad.h"

#include "platform/avfoundation/MediaErrors.h"
#include "platform/avfoundation/TransportStreamDemuxer.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"

namespace av {

namespace {

// Posts `task` to `loop`, to run with the road if it still exists then.
template <typename Task>
void postTo(ns::RunLoop& loop, const std::weak_ptr<SegmentRoad>& road, Task task) {
  loop.post([road, task = std::move(task)]() mutable {
    if (std::shared_ptr<SegmentRoad> alive = road.lock()) {
      task(*alive);
    }
  });
}

}  // namespace

std::shared_ptr<SegmentRoad> SegmentRoad::start(std::shared_ptr<const MediaPlaylist> playlist,
                                                std::size_t startIndex,
                                                std::weak_ptr<SegmentRoadDelegate> delegate) {
  auto road = std::make_shared<SegmentRoad>(std::move(playlist), std::move(delegate));
  road->startDemuxing();
  const std::weak_ptr<SegmentRoad> weakRoad = road;
  ns::RunLoop& loop = road->loop_;
  // The fetcher reports on its own thread; the road hears on its loop, never inside start().
  road->fetcher_ = std::make_unique<SegmentFetcher>(
      road->playlist_, startIndex, road->stream_, road->signal_,
      [&loop, weakRoad](std::size_t index, std::optional<std::string> serverAddress) {
        postTo(loop, weakRoad, [index, serverAddress = std::move(serverAddress)](SegmentRoad& alive) {
          alive.segmentStored(index, serverAddress);
        });
      },
      [&loop, weakRoad](ns::Error failure) {
        postTo(loop, weakRoad, [failure = std::move(failure)](SegmentRoad& alive) { alive.end(failure); });
      });
  return road;
}

SegmentRoad::SegmentRoad(std::shared_ptr<const MediaPlaylist> playlist,
                         std::weak_ptr<SegmentRoadDelegate> delegate)
    : playlist_(std::move(playlist)), delegate_(std::move(delegate)), loop_(ns::RunLoop::current()) {}

SegmentRoad::~SegmentRoad() {
  QM_DCHECK_CALLED_ON(thread_);
  fetcher_.reset();
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

void SegmentRoad::fetchNextSegment() {
  if (!ended_ && fetcher_) {
    fetcher_->fetchNext();
  }
}

void SegmentRoad::segmentStored(std::size_t index, const std::optional<std::string>& serverAddress) {
  if (ended_) {
    return;
  }
  if (std::shared_ptr<SegmentRoadDelegate> delegate = delegate_.lock()) {
    delegate->segmentRoadLoadedSegment(*this, index, serverAddress);
  }
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
  if (failure) {
    fetcher_.reset();
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
