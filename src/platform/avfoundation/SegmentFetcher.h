#pragma once

// av::SegmentFetcher: fetches a lesson's key and then its segments, in order from a start index, through URL
// loading on the run loop of a thread of its own, decrypts each segment with AES-128-CBC there and appends it
// to a SegmentStream. The network and the decryption so go on in real time whatever the owner's loop is
// doing, and a segment reaches the demuxer without waiting for that loop. It fetches the next segment only
// while the stream has room (SegmentStream::hasRoom()), and looks again at fetchNext(). At the end of the
// playlist it finishes the stream. It reports every segment stored and the first failure, after which it
// fetches nothing more.
//
// Destroying the fetcher cancels the load in flight and joins its thread (after a decryption under way).
//
// Thread-safety: made, used and destroyed on one thread (its owner's); the reports run on the fetching
// thread.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/avfoundation/MediaPlaylist.h"
#include "platform/avfoundation/PipelineSignal.h"
#include "platform/avfoundation/SegmentStream.h"
#include "platform/foundation/check/ThreadChecker.h"
#include "platform/foundation/loop/RunLoopThread.h"
#include "platform/foundation/values/Error.h"

namespace av {

class SegmentFetcher {
 public:
  // Segment `index` is in the stream; `serverAddress` is the numeric address of the server that sent it.
  using Stored = std::function<void(std::size_t index, std::optional<std::string> serverAddress)>;
  // The key or a segment would not load (kAVErrorUnknown over MediaResourceLoad's error), or a segment would
  // not decrypt or is no MPEG-TS (kAVErrorFileFormatNotRecognized).
  using Failed = std::function<void(ns::Error failure)>;

  // Starts fetching `playlist` from segment `startIndex` into `stream`, notifying `signal` as each segment
  // goes in.
  SegmentFetcher(std::shared_ptr<const MediaPlaylist> playlist, std::size_t startIndex,
                 std::shared_ptr<SegmentStream> stream, std::shared_ptr<PipelineSignal> signal, Stored stored,
                 Failed failed);
  ~SegmentFetcher();
  SegmentFetcher(const SegmentFetcher&) = delete;
  SegmentFetcher& operator=(const SegmentFetcher&) = delete;

  // Fetches the next segment if the stream has room now and no load is under way.
  void fetchNext();

 private:
  // What the fetching thread alone uses.
  class Work;

  const ns::ThreadChecker ownerThread_;
  const std::shared_ptr<Work> work_;
  // Declared last, so that it is joined before the rest goes.
  std::unique_ptr<ns::RunLoopThread> thread_;
};

}  // namespace av
