#pragma once

// av::SegmentRoadDelegate: what a SegmentRoad tells the player item standing on it. All calls come on the
// run loop the road was started on, never inside SegmentRoad::start(), in this order:
//
//   segmentRoadLoadedSegment     each time a segment has been fetched and decrypted, in segment order;
//   segmentRoadFoundTracks       once, when the stream's tracks are known, before any packet;
//   segmentRoadHasPackets        when packets wait in SegmentRoad::packets() that were not announced yet;
//   segmentRoadDidEnd | segmentRoadDidFail   exactly one of them, last.
//
// Segments go on loading while packets are announced. The delegate may destroy the road in any callback.

#include <cstddef>
#include <optional>
#include <string>

#include "platform/foundation/values/Error.h"

namespace av {

class SegmentRoad;

class SegmentRoadDelegate {
 public:
  virtual ~SegmentRoadDelegate() = default;

  // Segment `index` of the playlist has arrived; `index` counts from the playlist's first segment, and
  // `serverAddress` is the numeric address of the server that sent it (nullopt when unknown).
  virtual void segmentRoadLoadedSegment(SegmentRoad& /*road*/, std::size_t /*index*/,
                                        const std::optional<std::string>& /*serverAddress*/) {}
  virtual void segmentRoadFoundTracks(SegmentRoad& /*road*/, std::size_t /*trackCount*/) {}
  virtual void segmentRoadHasPackets(SegmentRoad& /*road*/) {}
  // Every packet of the stream has been demuxed; the last ones may still wait in the queue.
  virtual void segmentRoadDidEnd(SegmentRoad& /*road*/) {}
  // The road stopped: a key or segment load failed (kAVErrorUnknown over MediaResourceLoad's error), or the
  // stream would not decrypt or demux (kAVErrorFileFormatNotRecognized over the cause).
  virtual void segmentRoadDidFail(SegmentRoad& /*road*/, const ns::Error& /*error*/) {}
};

}  // namespace av
