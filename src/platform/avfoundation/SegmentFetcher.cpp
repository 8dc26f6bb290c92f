#include "platform/avfoundation/SegmentFetcher.h"

#include <utility>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/avfoundation/MediaResourceLoad.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/crypto/Aes128Cbc.h"

extern "C" {
#include <libavutil/error.h>
}

namespace av {

namespace {

constexpr std::uint8_t kTransportSyncByte = 0x47;

}  // namespace

class SegmentFetcher::Work {
 public:
  Work(std::shared_ptr<const MediaPlaylist> playlist, std::size_t startIndex,
       std::shared_ptr<SegmentStream> stream, std::shared_ptr<PipelineSignal> signal, Stored stored,
       Failed failed)
      : playlist_(std::move(playlist)),
        stream_(std::move(stream)),
        signal_(std::move(signal)),
        stored_(std::move(stored)),
        failed_(std::move(failed)),
        nextIndex_(startIndex) {}

  void start() {
    if (const std::optional<MediaPlaylist::Key>& key = playlist_->key()) {
      load_ = MediaResourceLoad::start(key->url, MediaResourceLoad::kMaximumKeySize,
                                       [this](ns::Result<ns::Data> body) { keyArrived(std::move(body)); });
      return;
    }
    fetchNext();
  }

  void fetchNext() {
    if (stopped_ || load_ || (playlist_->key() && !key_)) {
      return;
    }
    if (nextIndex_ >= playlist_->segments().size()) {
      stream_->finish();
      return;
    }
    if (!stream_->hasRoom()) {
      return;
    }
    load_ =
        MediaResourceLoad::start(playlist_->segments()[nextIndex_].url,
                                 MediaResourceLoad::kMaximumSegmentSize, [this](ns::Result<ns::Data> body) {
                                   // The address is the load's: read it before the load goes.
                                   segmentArrived(std::move(body), load_->peerAddress());
                                 });
  }

  void stop() {
    stopped_ = true;
    load_.reset();
  }

 private:
  void keyArrived(ns::Result<ns::Data> key) {
    load_.reset();
    if (!key.ok()) {
      fail(mediaFailure(kAVErrorUnknown, key.error()));
      return;
    }
    key_ = std::move(*key);
    fetchNext();
  }

  void segmentArrived(ns::Result<ns::Data> segment, std::optional<std::string> serverAddress) {
    load_.reset();
    if (!segment.ok()) {
      fail(mediaFailure(kAVErrorUnknown, segment.error()));
      return;
    }
    const std::size_t index = nextIndex_;
    ns::Result<ns::Data> plain = std::move(segment);
    if (key_) {
      stream_->expectSegment();
      plain = ns::aes128CbcDecrypt(*key_, playlist_->ivForSegment(playlist_->segments()[index]), *plain);
    }
    if (!plain.ok()) {
      fail(mediaFailure(kAVErrorFileFormatNotRecognized, plain.error()));
      return;
    }
    // Every segment opens with a transport packet. The demuxer would skip a damaged one to the next sync byte
    // and play on; a lesson with a broken segment fails instead.
    if (plain->empty() || plain->front() != kTransportSyncByte) {
      fail(mediaFailure(
          kAVErrorFileFormatNotRecognized,
          libavError(AVERROR_INVALIDDATA, "segment " + std::to_string(index) + " is no MPEG-TS")));
      return;
    }
    stream_->append(std::move(*plain));
    signal_->notify();
    ++nextIndex_;
    stored_(index, std::move(serverAddress));
    fetchNext();
  }

  void fail(ns::Error failure) {
    stopped_ = true;
    // The demuxer may be waiting for bytes that will never come; the owner hears why first.
    failed_(std::move(failure));
    signal_->notify();
  }

  const std::shared_ptr<const MediaPlaylist> playlist_;
  const std::shared_ptr<SegmentStream> stream_;
  const std::shared_ptr<PipelineSignal> signal_;
  const Stored stored_;
  const Failed failed_;
  std::shared_ptr<MediaResourceLoad> load_;
  std::optional<ns::Data> key_;
  std::size_t nextIndex_;
  bool stopped_ = false;
};

SegmentFetcher::SegmentFetcher(std::shared_ptr<const MediaPlaylist> playlist, std::size_t startIndex,
                               std::shared_ptr<SegmentStream> stream, std::shared_ptr<PipelineSignal> signal,
                               Stored stored, Failed failed)
    : work_(std::make_shared<Work>(std::move(playlist), startIndex, std::move(stream), std::move(signal),
                                   std::move(stored), std::move(failed))),
      thread_(std::make_unique<ns::RunLoopThread>("media fetching")) {
  thread_->runLoop().post([work = work_] { work->start(); });
}

SegmentFetcher::~SegmentFetcher() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  // The load is the thread's: it goes there, before the thread ends.
  thread_->runLoop().post([work = work_] { work->stop(); });
  thread_.reset();
}

void SegmentFetcher::fetchNext() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  thread_->runLoop().post([work = work_] { work->fetchNext(); });
}

}  // namespace av
