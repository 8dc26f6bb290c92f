#pragma once

// av::SegmentRoad: the way a lesson's media travels from the server to the decoder. A SegmentFetcher, on a
// thread of its own, fetches the playlist's key and then its segments, in order from a start index, and
// decrypts them into a SegmentStream, which a TransportStreamDemuxer on another thread reads into a bounded
// queue of packets. Fetching keeps at most SegmentStream::kSegmentCapacity segments and
// SegmentStream::kByteCapacity bytes ahead of the demuxer, and the demuxer at most PacketQueue::kCapacity
// packets and PacketQueue::kByteCapacity bytes ahead of whoever takes them, so a road never reads a whole
// lesson into memory. At the end of the stream the demuxer finishes the packet queue. It reports to its
// delegate (SegmentRoadDelegate.h gives the order).
//
// The fetcher and the demuxer notify pipelineSignal() as they hand on data and as the demuxer begins to
// wait for bytes, so that the player can wait for the pipeline (see PlayerItem::waitForDecoding).
//
// Destroying the road stops it: loads are cancelled, the demuxer is released and its thread joined, and no
// further delegate call is made.
//
// Thread-safety: used on the thread whose run loop started it, except packets(), sharedPackets(),
// pipelineSignal(), bufferedBytes() and isStarved(), which are thread-safe.

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/avfoundation/MediaPlaylist.h"
#include "platform/avfoundation/MediaTrack.h"
#include "platform/avfoundation/PacketQueue.h"
#include "platform/avfoundation/PipelineSignal.h"
#include "platform/avfoundation/SegmentFetcher.h"
#include "platform/avfoundation/SegmentRoadDelegate.h"
#include "platform/avfoundation/SegmentStream.h"
#include "platform/foundation/check/ThreadChecker.h"

namespace ns {
class RunLoop;
}

namespace av {

class SegmentRoad : public std::enable_shared_from_this<SegmentRoad> {
 public:
  // Starts fetching `playlist`'s segments from `startIndex` on the calling thread's run loop and returns
  // the road, owned by the caller. A start index at or past the last segment gives an empty stream, which
  // fails as one without tracks.
  static std::shared_ptr<SegmentRoad> start(std::shared_ptr<const MediaPlaylist> playlist,
                                            std::size_t startIndex,
                                            std::weak_ptr<SegmentRoadDelegate> delegate);
  ~SegmentRoad();
  SegmentRoad(const SegmentRoad&) = delete;
  SegmentRoad& operator=(const SegmentRoad&) = delete;

  // The demuxed packets, oldest first.
  PacketQueue& packets() { return *packets_; }
  // The same queue, for a reader that may outlive the road.
  std::shared_ptr<PacketQueue> sharedPackets() const { return packets_; }
  // Notified as the road's data moves on; shared with the decoder of its packets.
  const std::shared_ptr<PipelineSignal>& pipelineSignal() const { return signal_; }
  // The bytes of the decrypted segments waiting for the demuxer.
  std::size_t bufferedBytes() const { return stream_->queuedBytes(); }
  // True while the demuxer has read every byte fetched and waits for the next segment, none being
  // decrypted: only the network can feed the road now.
  bool isStarved() const { return stream_->isReaderStarved(); }
  // The stream's tracks, once SegmentRoadDelegate::segmentRoadFoundTracks has been called; empty before.
  const std::vector<MediaTrack>& tracks() const;

  // Use start(); public for std::make_shared.
  SegmentRoad(std::shared_ptr<const MediaPlaylist> playlist, std::weak_ptr<SegmentRoadDelegate> delegate);

 private:
  void startDemuxing();
  // The demuxer's thread: reads `stream` into `packets` until it ends, fails or is closed, and tells the road
  // on `loop` what happened.
  static void demux(ns::RunLoop& loop, std::weak_ptr<SegmentRoad> road, std::shared_ptr<SegmentStream> stream,
                    std::shared_ptr<PacketQueue> packets, std::shared_ptr<std::atomic<bool>> announced,
                    std::shared_ptr<PipelineSignal> signal);
  void tracksFound(std::shared_ptr<const std::vector<MediaTrack>> tracks);
  void fetchNextSegment();
  void segmentStored(std::size_t index, const std::optional<std::string>& serverAddress);
  void announcePackets();
  void end(std::optional<ns::Error> failure);

  // Constant after construction
  const std::shared_ptr<const MediaPlaylist> playlist_;
  const std::weak_ptr<SegmentRoadDelegate> delegate_;
  ns::RunLoop& loop_;
  const ns::ThreadChecker thread_;
  const std::shared_ptr<PacketQueue> packets_ = std::make_shared<PacketQueue>();
  const std::shared_ptr<PipelineSignal> signal_ = std::make_shared<PipelineSignal>();
  // Set by the demuxer's thread when it posts a packet announcement, cleared when the announcement runs.
  const std::shared_ptr<std::atomic<bool>> packetsAnnounced_ = std::make_shared<std::atomic<bool>>(false);

  std::shared_ptr<SegmentStream> stream_;
  std::thread demuxThread_;
  std::unique_ptr<SegmentFetcher> fetcher_;
  std::shared_ptr<const std::vector<MediaTrack>> tracks_;
  bool ended_ = false;
};

}  // namespace av
