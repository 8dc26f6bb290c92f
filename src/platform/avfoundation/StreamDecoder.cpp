#include "platform/avfoundation/StreamDecoder.h"

#include <cstdio>
#include <utility>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/ThreadName.h"

namespace av {

namespace {

// Returns a copy of `track` that owns its own codec parameters.
ns::Result<MediaTrack> copyOf(const MediaTrack& track) {
  CodecParametersPointer parameters(avcodec_parameters_alloc());
  if (!parameters ||
      (track.parameters && avcodec_parameters_copy(parameters.get(), track.parameters.get()) < 0)) {
    return libavError(AVERROR(ENOMEM), "no memory for a copy of a track");
  }
  return MediaTrack{track.index, track.type, track.timeBase, std::move(parameters)};
}

// Returns a copy of the first track of `type` in `tracks`, nullopt when there is none.
ns::Result<std::optional<MediaTrack>> firstOf(const std::vector<MediaTrack>& tracks, AVMediaType type) {
  for (const MediaTrack& track : tracks) {
    if (track.type != type) {
      continue;
    }
    ns::Result<MediaTrack> copy = copyOf(track);
    if (!copy.ok()) {
      return copy.error();
    }
    return std::optional<MediaTrack>(std::move(*copy));
  }
  return std::optional<MediaTrack>();
}

}  // namespace

ns::Result<std::shared_ptr<StreamDecoder>> StreamDecoder::start(
    std::shared_ptr<PacketQueue> packets, const std::vector<MediaTrack>& tracks, double startSeconds,
    std::shared_ptr<PipelineSignal> signal, std::weak_ptr<StreamDecoderDelegate> delegate) {
  ns::Result<std::optional<MediaTrack>> video = firstOf(tracks, AVMEDIA_TYPE_VIDEO);
  if (!video.ok()) {
    return video.error();
  }
  ns::Result<std::optional<MediaTrack>> audio = firstOf(tracks, AVMEDIA_TYPE_AUDIO);
  if (!audio.ok()) {
    return audio.error();
  }
  auto decoder = std::make_shared<StreamDecoder>(std::move(packets), std::move(*video), std::move(*audio),
                                                 startSeconds, std::move(signal), std::move(delegate));
  decoder->self_ = decoder;
  decoder->decodingThread_ = std::thread(&StreamDecoder::run, decoder.get());
  return decoder;
}

StreamDecoder::StreamDecoder(std::shared_ptr<PacketQueue> packets, std::optional<MediaTrack> video,
                             std::optional<MediaTrack> audio, double startSeconds,
                             std::shared_ptr<PipelineSignal> signal,
                             std::weak_ptr<StreamDecoderDelegate> delegate)
    : packets_(std::move(packets)),
      videoTrack_(std::move(video)),
      audioTrack_(std::move(audio)),
      startSeconds_(startSeconds),
      signal_(std::move(signal)),
      delegate_(std::move(delegate)),
      loop_(ns::RunLoop::current()),
      lookAhead_(videoTrack_.has_value()) {}

StreamDecoder::~StreamDecoder() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  lookAhead_.close();
  packets_->close();
  if (decodingThread_.joinable()) {
    decodingThread_.join();
  }
}

bool StreamDecoder::hasPictures() const {
  QM_DCHECK_CALLED_ON(ownerThread_);
  return videoTrack_.has_value();
}

bool StreamDecoder::isDecodedToEnd() const {
  QM_DCHECK_CALLED_ON(ownerThread_);
  return decodedToEnd_.load();
}

bool StreamDecoder::hasStopped() const {
  QM_DCHECK_CALLED_ON(ownerThread_);
  return stopped_.load();
}

bool StreamDecoder::isWaitingForPackets() const {
  QM_DCHECK_CALLED_ON(ownerThread_);
  return packets_->isReaderWaiting();
}

template <typename Task>
void StreamDecoder::post(Task task) {
  // The thread never holds the decoder itself: its last owner might then drop it here, and the thread
  // would join itself.
  loop_.post([weakDecoder = self_, task = std::move(task)]() mutable {
    const std::shared_ptr<StreamDecoder> decoder = weakDecoder.lock();
    if (!decoder) {
      return;
    }
    if (const std::shared_ptr<StreamDecoderDelegate> delegate = decoder->delegate_.lock()) {
      task(*decoder, *delegate);
    }
  });
}

void StreamDecoder::announce() {
  if (announced_.exchange(true)) {
    return;
  }
  post([](StreamDecoder& decoder, StreamDecoderDelegate& delegate) {
    decoder.announced_.store(false);
    delegate.streamDecoderAdvanced(decoder);
  });
}

void StreamDecoder::run() {
  ns::setCurrentThreadName("media decoding");
  decodeStream();
  stopped_.store(true);
  // Whoever waits for the next picture waits no more: none will come.
  signal_->notify();
}

void StreamDecoder::decodeStream() {
  if (!openDecoders()) {
    return;
  }
  post(
      [](StreamDecoder& decoder, StreamDecoderDelegate& delegate) { delegate.streamDecoderOpened(decoder); });
  while (true) {
    const PacketPointer packet = packets_->pop([this] {
      announce();
      signal_->notify();
    });
    if (!packet) {
      // Closed by the owner, or finished by the demuxer.
      if (packets_->isClosed()) {
        return;
      }
      if (finishStream()) {
        decodedToEnd_.store(true);
        announce();
      }
      return;
    }
    if (!decodePacket(*packet)) {
      return;
    }
  }
}

bool StreamDecoder::openDecoders() {
  if (videoTrack_) {
    ns::Result<std::unique_ptr<VideoDecoder>> opened = VideoDecoder::open(*videoTrack_);
    if (!opened.ok()) {
      post([error = opened.error()](StreamDecoder& decoder, StreamDecoderDelegate& delegate) {
        delegate.streamDecoderDidFail(decoder, error);
      });
      return false;
    }
    video_ = std::move(*opened);
  }
  if (audioTrack_) {
    ns::Result<std::unique_ptr<AudioDecoder>> opened = AudioDecoder::open(*audioTrack_);
    if (opened.ok()) {
      audio_ = std::move(*opened);
    } else {
      std::fprintf(stderr, "av::StreamDecoder: the lesson plays without sound: %s\n",
                   opened.error().localizedDescription().c_str());
    }
  }
  return true;
}

bool StreamDecoder::decodePacket(const AVPacket& packet) {
  if (video_ && packet.stream_index == videoTrack_->index) {
    return keepPictures(video_->decode(packet));
  }
  if (audio_ && packet.stream_index == audioTrack_->index) {
    // A damaged sound packet costs its moment of sound, not the lesson.
    ns::Result<std::vector<DecodedAudio>> sound = audio_->decode(packet);
    return !sound.ok() || keepSound(std::move(*sound));
  }
  return true;
}

bool StreamDecoder::finishStream() {
  if (video_ && !keepPictures(video_->flush())) {
    return false;
  }
  if (audio_) {
    ns::Result<std::vector<DecodedAudio>> sound = audio_->flush();
    if (sound.ok() && !keepSound(std::move(*sound))) {
      return false;
    }
  }
  if (!streamOrigin_ && !pendingSound_.empty()) {
    streamOrigin_ = pendingSound_.front().seconds - startSeconds_;
  }
  return releasePendingSound();
}

bool StreamDecoder::keepPictures(ns::Result<std::vector<VideoFrame>> pictures) {
  if (!pictures.ok()) {
    post([error = pictures.error()](StreamDecoder& decoder, StreamDecoderDelegate& delegate) {
      delegate.streamDecoderDidFail(decoder, error);
    });
    return false;
  }
  for (VideoFrame& picture : *pictures) {
    if (!streamOrigin_) {
      streamOrigin_ = picture.seconds - startSeconds_;
      if (!releasePendingSound()) {
        return false;
      }
    }
    picture.seconds -= *streamOrigin_;
    if (!lookAhead_.pushPicture(std::move(picture))) {
      return false;
    }
    announce();
    signal_->notify();
  }
  return true;
}

bool StreamDecoder::keepSound(std::vector<DecodedAudio> sound) {
  for (DecodedAudio& piece : sound) {
    if (streamOrigin_) {
      piece.seconds -= *streamOrigin_;
      if (!lookAhead_.pushSound(std::move(piece))) {
        return false;
      }
      continue;
    }
    // Sound that comes before the first picture waits for it, which sets the clock; unless pictures are
    // long in coming, or there are none.
    pendingSoundSeconds_ += piece.duration();
    pendingSound_.push_back(std::move(piece));
    if (!video_ || pendingSoundSeconds_ >= DecodedLookAhead::kSoundCapacitySeconds) {
      streamOrigin_ = pendingSound_.front().seconds - startSeconds_;
      if (!releasePendingSound()) {
        return false;
      }
    }
  }
  return true;
}

bool StreamDecoder::releasePendingSound() {
  std::vector<DecodedAudio> pending = std::move(pendingSound_);
  pendingSound_.clear();
  pendingSoundSeconds_ = 0;
  return keepSound(std::move(pending));
}

}  // namespace av
