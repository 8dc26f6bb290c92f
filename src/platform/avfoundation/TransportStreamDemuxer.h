#pragma once

// av::TransportStreamDemuxer: reads an MPEG transport stream from a SegmentStream with libavformat, through
// a custom I/O context (the bytes never touch a file). It blocks while it waits for bytes, so it runs on a
// thread of its own; closing the stream makes every waiting call return. libavformat keeps the demuxer's
// address for its callbacks, so a demuxer is neither copied nor moved.
//
// Thread-safety: used on the thread that made it.

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/avfoundation/LibavPointers.h"
#include "platform/avfoundation/MediaTrack.h"
#include "platform/avfoundation/SegmentStream.h"
#include "platform/foundation/check/ThreadChecker.h"
#include "platform/foundation/values/Result.h"

namespace av {

class TransportStreamDemuxer {
 public:
  explicit TransportStreamDemuxer(std::shared_ptr<SegmentStream> input);
  TransportStreamDemuxer(const TransportStreamDemuxer&) = delete;
  TransportStreamDemuxer& operator=(const TransportStreamDemuxer&) = delete;
  TransportStreamDemuxer(TransportStreamDemuxer&&) = delete;
  TransportStreamDemuxer& operator=(TransportStreamDemuxer&&) = delete;

  // Reads the stream's tables and enough of its packets to know its tracks. Returns the tracks, at least
  // one, or the failure: a kAVFoundationErrorDomain kAVErrorFileFormatNotRecognized error whose
  // underlying error gives libavformat's reason (no MPEG-TS, no track, a stream closed first).
  // REQUIRES: called once, before readPacket().
  ns::Result<std::vector<MediaTrack>> open();
  // Returns the next packet, nullptr at the end of the stream, or the failure as open() describes it.
  // REQUIRES: open() succeeded.
  ns::Result<PacketPointer> readPacket();

 private:
  static int readInput(void* opaque, std::uint8_t* buffer, int capacity);
  static int interrupted(void* opaque);

  // Constant after construction
  const std::shared_ptr<SegmentStream> input_;
  const ns::ThreadChecker thread_;

  IOContextPointer io_;
  InputContextPointer format_;
};

}  // namespace av
