#pragma once

// av::StreamDecoder: decodes a road's packets on a thread of its own, for one player item from one seek
// point: the first video track into pictures (the codec's own frame and slice threads doing the work,
// the pictures kept in its format), the first audio track into float sound, both put into item time and
// into a DecodedLookAhead, where they wait for the player. Decoding stops while the look-ahead is full, so a
// paused player holds a bounded look-ahead and an idle decoder. A sound track that will not decode leaves
// the stream without sound (said in a console line); pictures that will not decode fail the decoder.
//
// The stream's clock need not start at 0: its first picture (in a stream without pictures, its first
// sound) marks the item time at which the road's first segment starts.
//
// The decoding thread notifies the pipeline's signal with every picture it puts in the look-ahead, when it
// begins to wait for packets, and when it stops.
//
// Destroying the decoder stops it: the packet queue and the look-ahead are closed, the thread joined, and
// no further delegate call is made.
//
// Thread-safety: used on the thread whose run loop started it, except lookAhead(), which is thread-safe.

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "platform/avfoundation/AudioDecoder.h"
#include "platform/avfoundation/DecodedLookAhead.h"
#include "platform/avfoundation/MediaTrack.h"
#include "platform/avfoundation/PacketQueue.h"
#include "platform/avfoundation/PipelineSignal.h"
#include "platform/avfoundation/StreamDecoderDelegate.h"
#include "platform/avfoundation/VideoDecoder.h"
#include "platform/foundation/check/ThreadChecker.h"
#include "platform/foundation/loop/RunLoop.h"

namespace av {

class StreamDecoder : public std::enable_shared_from_this<StreamDecoder> {
 public:
  // Starts decoding `packets`, the packets of `tracks`, on the calling thread's run loop, and returns the
  // decoder, owned by the caller. `startSeconds` is the item time of the road's first segment; `signal` is
  // the pipeline's (SegmentRoad::pipelineSignal()). Returns a kMediaErrorDomain error when the tracks cannot
  // be copied for the thread.
  static ns::Result<std::shared_ptr<StreamDecoder>> start(std::shared_ptr<PacketQueue> packets,
                                                          const std::vector<MediaTrack>& tracks,
                                                          double startSeconds,
                                                          std::shared_ptr<PipelineSignal> signal,
                                                          std::weak_ptr<StreamDecoderDelegate> delegate);
  ~StreamDecoder();
  StreamDecoder(const StreamDecoder&) = delete;
  StreamDecoder& operator=(const StreamDecoder&) = delete;

  DecodedLookAhead& lookAhead() { return lookAhead_; }
  // Whether the stream has pictures to decode.
  bool hasPictures() const;
  // Whether every packet of the stream has been decoded; the last pictures may still wait to be taken.
  bool isDecodedToEnd() const;
  // True while the decoder has decoded every packet demuxed so far and waits for more.
  bool isWaitingForPackets() const;
  // Whether the decoding thread has stopped: at the end of the stream, or on a failure.
  bool hasStopped() const;

  // Use start(); public for std::make_shared.
  StreamDecoder(std::shared_ptr<PacketQueue> packets, std::optional<MediaTrack> video,
                std::optional<MediaTrack> audio, double startSeconds, std::shared_ptr<PipelineSignal> signal,
                std::weak_ptr<StreamDecoderDelegate> delegate);

 private:
  // The decoding thread's body, and what it alone uses.
  void run();
  void decodeStream();
  bool openDecoders();
  bool decodePacket(const AVPacket& packet);
  bool finishStream();
  bool keepPictures(ns::Result<std::vector<VideoFrame>> pictures);
  bool keepSound(std::vector<DecodedAudio> sound);
  bool releasePendingSound();
  // Posts an advance unless one is posted and not yet delivered.
  void announce();
  // Runs `task` on the decoder's loop with the decoder and its delegate, if both still exist then.
  template <typename Task>
  void post(Task task);

  // Constant after construction
  const std::shared_ptr<PacketQueue> packets_;
  const std::optional<MediaTrack> videoTrack_;
  const std::optional<MediaTrack> audioTrack_;
  const double startSeconds_;
  const std::shared_ptr<PipelineSignal> signal_;
  const std::weak_ptr<StreamDecoderDelegate> delegate_;
  ns::RunLoop& loop_;
  const ns::ThreadChecker ownerThread_;

  DecodedLookAhead lookAhead_;
  std::atomic<bool> decodedToEnd_{false};
  std::atomic<bool> stopped_{false};
  // Set by the decoding thread when it posts an advance, cleared when the advance is delivered.
  std::atomic<bool> announced_{false};
  // The decoding thread's own
  std::weak_ptr<StreamDecoder> self_;
  std::unique_ptr<VideoDecoder> video_;
  std::unique_ptr<AudioDecoder> audio_;
  std::optional<double> streamOrigin_;
  std::vector<DecodedAudio> pendingSound_;
  double pendingSoundSeconds_ = 0;

  std::thread decodingThread_;
};

}  // namespace av
